// Subgraph isomorphism in the manner of Ullmann with forward checking, over
// 16-bit slices of one work pool: is the query graph (n atoms, ne bonds) an
// induced subgraph of the candidate graph (m atoms, nei bonds)?
#pragma once

#include <cstdint>

// One slice of the work pool, read 1-based like the arrays it stands for.
struct GmSlices {
  int16_t* mu;   // n: element class of each query atom
  int16_t* ie;   // 3 x ne: query bonds (atom 1, atom 2, label)
  int16_t* mui;  // m: element class of each candidate atom
  int16_t* iei;  // 3 x nei: candidate bonds
  int16_t* iso;  // n: the candidate atom given to each query atom
  int16_t* ip;   // n x m x (n + 1): compatibility matrix of each depth
};

// i = n + 1 when every query atom has a candidate atom (iso), <= n when no
// assignment exists.  Rows are assigned in query order and columns tried in
// ascending order, so the result is the first assignment in that order.
// idirect 0: bonds are undirected.  Writes iso and ip.
void gm_ullman_(int32_t n, int32_t ne, int32_t m, int32_t nei, int32_t idirect, const GmSlices& s, int32_t& i);
// Refines matrix i + 1 after row i was given iso(i): a pair (r -> l) stays
// only when it keeps both the bonds and the non-bonds towards row i.
// iflag 1 when some row has no candidate left.  Writes ip.
void forward_check_gm_(int32_t i, int32_t n, int32_t ne, int32_t m, int32_t nei, int32_t idirect,
                       const GmSlices& s, int32_t& iflag);
