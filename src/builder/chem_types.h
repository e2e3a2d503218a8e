// Chemical (energy) types of the atoms of a new monomer in L1.
#pragma once

#include <cstdint>

// Types every atom with neighbours from its element, neighbour and hydrogen
// counts, flat rings and oxygen groups, checked against the energy library
// and its synonyms (an unknown type falls back to the element, with two
// warning lines).  Sets the flat/tetrahedral flag of each atom and marks the
// flat rings.  ierr 1 when a carbon carries too many hydrogens for its
// neighbour count; non-zero when a nitrogen's bond row is missing.
// Writes r_scratch l1a_chem, l1a_ichir, l1a_ring_flat.
void check_chem_dd_min_(int32_t mdoc, char list, int32_t& ierr);
