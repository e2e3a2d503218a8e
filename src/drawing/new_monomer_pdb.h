// The atoms of a new monomer (L1 work description) as a PDB coordinate file:
// HEADER, MODRES when the code is longer than a residue name, CRYST1 with a
// dummy cell and one ATOM record per atom with coordinates.
#pragma once

#include <cstdint>
#include <string_view>

// Writes every record on the open unit iun and closes it; `prog` names the
// program in the title.  mdoc and ierr are not used.
// Writes no table.
void wr_pdb_new_(int32_t mdoc, int32_t iun, std::string_view prog, int32_t& ierr);
