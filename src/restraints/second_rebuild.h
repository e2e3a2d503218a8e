// The second rebuilding pass over the whole model read back after the
// residue walk: every present atom with known and missing (or rebuilt)
// bonded neighbours, inside residues, along the chain and across links, has
// its missing neighbours placed by the count of its neighbours.
#pragma once

#include <cstdint>

// Walks every chain along its residue tree.  ierr 1 (with the error line)
// for a chain without residues or atoms or with a broken residue tree.
// Writes atom_str as_iextr, as_iextr2 (link neighbours), r_scratch
// lll_ilink, and through the placements atom_crd and atom_inf.
void check_rebuild_(int32_t mdoc, char list, char h_flag, char rflag, int32_t& na_miss, int32_t& na_rebld,
                    int32_t& ierr);
// Records the two atoms of every model link inside the asymmetric unit as
// extra neighbours of each other, naming them from the link dictionary
// when the link does not.  Writes atom_str as_iextr, as_iextr2 and
// r_scratch lll_ilink.
void add_extra_atom_from_link_();
