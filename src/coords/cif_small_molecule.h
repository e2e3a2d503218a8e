// Atom rows of a small-molecule crystallographic CIF file: every atom goes
// into one residue "C00" of group "AA"; fractional coordinates are turned
// into orthogonal ones with the working cell.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// Same call protocol as rdcrd_cif_; ierr 1 also for a row with a value
// that is no number where a number stands.
// Writes crdatm, crdstr, crdinf.
void rdcrd_csd_(int32_t mdoc, int32_t in, int32_t& mode, int32_t& iend, int32_t& ierr);
// The error line of the row rdcrd_csd_ refused last, naming the atom, the
// item and the value; empty after a read error.
std::string_view csd_rows_refusal();

// Drops a parenthesised standard uncertainty and what follows it, in place.
void clean_data_csd_(rt::TextRef data);
