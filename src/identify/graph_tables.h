// The graph work of the residue-to-monomer comparison over mtc_atom:
// topological distances up to 8 bonds, per-atom neighbour vectors with the
// index counts, candidate lists of library atoms with similar surroundings,
// and a greedy one-to-one assignment built one atom per call.  The residue
// side ("_c") keeps its distances above the diagonal of mt_dist, the library
// side ("_l") below it.
#pragma once

#include <cstdint>

#include "runtime/array.h"

// Shortest bond paths up to 8 bonds between the atoms of one side, from the
// bonds (entries 1) already in its triangle; 0 stays for pairs further apart.
// Write mtc_atom.mt_dist (own triangle).
void set_tabconn_c_();
void set_tabconn_l_();
// Neighbour vectors, pair counts by distance and bonded-pair counts by class
// pair (ipair entries 1..6; each pair is counted from both ends).  The counts
// are added to: the caller zeroes them.  Write mt_vec_c / mt_vec_l,
// mt_cnt_c / mt_cnt_l.
void set_vector_c_(rt::Array1<int32_t, 8>& ipair1);
void set_vector_l_(rt::Array1<int32_t, 8>& ipair2);
// Candidate library atoms of every residue atom: same class and a vector
// distance within a tolerance that grows with the difference of the sizes.
// Writes mt_cand, mt_cdist.
void comp_vector_();
// Matches one more residue atom (n_new counts the matched ones; iflag 1 when
// it grew).  ierr 3: an unmatched atom has no candidate left; 4: two atoms
// share a library partner.  Writes mt_corr, mt_cand, mt_cdist and the list of
// matched atoms in mt_cls_c.
void check_equiv_(int32_t mdoc, int32_t& n_new, int32_t& iflag, int32_t& iscore, int32_t& ierr);
