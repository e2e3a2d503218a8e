// Coordinate file type detection: PDB or CIF, from the first lines.
#pragma once

#include <cstdint>

#include "runtime/fixed_text.h"

// in_file_pdb is cleaned in place (trailing commas); flag 'P' or 'C';
// ierr 0, 1 for an unusable name, or the opener's status.
// Writes crdinf.
void pdb_or_cif_(int32_t mdoc, rt::TextRef in_file_pdb, rt::FixedText<1>& flag, int32_t& ierr);
