// Work arrays of the graph comparison of a residue (C1) with a library
// monomer (L1), and the three index strings of the last graph built.  Filled
// by the graph comparison (identify room), read by the residue index and the
// candidate pool (identify room).  Both sides hold heavy atoms only, at most
// MXGATM each; every comparison rewrites the block.
#pragma once

#include <cstdint>

#include "runtime/array.h"
#include "runtime/fixed_text.h"

inline constexpr int MXGATM = 300;  // heavy atoms of one side
inline constexpr int MXGDIST = 8;   // longest bond path measured
inline constexpr int MXGCLS = 4;    // atom classes: carbon, nitrogen, oxygen, other

// Candidate lists: (i, 0) the count of residue-side atom i, (n, i) its n-th
// candidate library-side atom.  The second index starts at 0.
struct CandTable {
  rt::Array2<int32_t, MXGATM, MXGATM + 1> a;
  int32_t& operator()(int i, int j) { return a(i, j + 1); }
  int32_t operator()(int i, int j) const { return a(i, j + 1); }
};

struct mtc_atom_t {
  // Residue-side atom i -> library-side atom matched to it (0 = none yet).
  rt::Array1<int32_t, MXGATM> mt_corr;
  // Topological distances (1..8 bonds, 0 = further or apart): the residue side
  // keeps pair a < b in (a, b), the library side in (b, a).
  rt::Array2<int32_t, MXGATM, MXGATM> mt_dist;
  int32_t mt_nel;                           // distinct element symbols of both sides
  rt::Array1<int32_t, MXGATM> mt_elc;       // residue-side atoms of element k
  rt::Array1<int32_t, MXGATM> mt_ell;       // library-side atoms of element k
  int32_t mt_nc;                            // residue-side atoms
  int32_t mt_nl;                            // library-side atoms
  rt::Array1<int32_t, MXGATM> mt_cidx;      // C1 atom of residue-side atom k
  rt::Array1<int32_t, MXGATM> mt_lidx;      // L1 atom of library-side atom k
  rt::Array1<int32_t, MXGATM> mt_cmap;      // residue-side number of C1 atom i, 0 = not taken
  rt::Array1<int32_t, MXGATM> mt_lmap;      // library-side number of L1 atom i, 0 = not taken
  rt::Array1<int32_t, MXGDIST> mt_cnt_c;    // ordered residue-side pairs at distance d
  rt::Array1<int32_t, MXGDIST> mt_cnt_l;    // the same, library side
  // Neighbour vectors: (atom, distance, class) -> atoms of that class at that distance.
  rt::Array3<int32_t, MXGATM, MXGDIST, MXGCLS> mt_vec_c;
  rt::Array3<int32_t, MXGATM, MXGDIST, MXGCLS> mt_vec_l;
  // Class of residue-side atom k (1 C, 2 N, 3 O, 4 other); once the
  // assignment has begun, the list of residue-side atoms already matched.
  rt::Array1<int32_t, MXGATM> mt_cls_c;
  rt::Array1<int32_t, MXGATM> mt_cls_l;     // class of library-side atom k
  CandTable mt_cand;
  rt::Array2<int32_t, MXGATM, MXGATM> mt_cdist;  // (n, i): distance of candidate n of atom i
  rt::Array1<rt::FixedText<4>, MXGATM> mt_cname;   // atom name of residue-side atom k
  rt::Array1<rt::FixedText<4>, MXGATM> mt_lname;   // atom name of library-side atom k
  rt::Array1<rt::FixedText<4>, MXGATM> mt_elsymb;  // element k: two characters and two blanks
  rt::FixedText<24> c_index;    // pairs by shortest bond path, eight 3-digit fields
  rt::FixedText<30> c_content;  // heavy atoms by element, fifteen 2-digit fields
  rt::FixedText<24> c_pair;     // bonds by class pair, eight 3-digit fields
};
extern mtc_atom_t mtc_atom;
