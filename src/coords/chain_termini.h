// Start and end terminus types of every chain of the model, from the end
// residues of its residue tree, their terminal atoms and the link table.
#pragma once

#include <cstdint>

// ierr 0, or 1 after an error line (empty model, broken residue tree).
// Writes atom_inf, resid_inf, asym_part, link_inf.
void set_mod_(int32_t mdoc, int32_t& ierr);
