// Atom rows of a small-molecule crystallographic CIF file: every atom goes
// into one residue "C00" of group "AA"; fractional coordinates are turned
// into orthogonal ones with the working cell.
#pragma once

#include <cstdint>

#include "runtime/fixed_text.h"

// Same call protocol as rdcrd_cif_.
// Writes crdatm, crdstr, crdinf.
void rdcrd_csd_(int32_t mdoc, int32_t in, int32_t& mode, int32_t& iend, int32_t& ierr);

// Drops a parenthesised standard uncertainty and what follows it, in place.
void clean_data_csd_(rt::TextRef data);
