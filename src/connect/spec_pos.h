// Atoms on crystallographic special positions: atoms that symmetry operators
// of the working cell map onto themselves within a distance limit.
#pragma once

#include <cstdint>

// Reports every atom on a special position; with check_spec "Y" stores its
// multiplicity and lets the mmCIF writer keep the multiplicity column.
// Images closer than dmin count as one; dmin <= 0 tests nothing.
// ierr 1 for an empty model.
// Writes atom_crd mult_factor, com_out_cif out_cif_mult.
void def_spec_pos_(int32_t mdoc, char check_spec, float dmin, int32_t& ierr);
