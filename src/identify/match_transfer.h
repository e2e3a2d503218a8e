// A subgraph match turned into a description of the residue: the library
// monomer in L1 restricted to the atoms the residue (in L2) has, under the
// residue's atom names.
#pragma once

#include <cstdint>

// n, m: query (residue) and candidate (monomer) heavy atoms; np(q) and mp(k)
// their atom numbers in L2 and L1; iso(q) the candidate atom of query atom q
// (all 1-based arrays).  nu and mu, their element classes, are not read.
// ierr from the renumbering and the tree check.
// Writes r_scratch L1 (every group, through the compression and the tree
// check), l1a_icr, l2a_icr and the L2 number fields.
void corr_description_gm_(int32_t mdoc, char list, int32_t n, int32_t m, const int16_t* nu, const int16_t* np,
                          const int16_t* mu, const int16_t* mp, const int16_t* iso, int32_t& ierr);
