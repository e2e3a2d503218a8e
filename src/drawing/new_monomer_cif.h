// The atoms of a new monomer (L1 work description) as a small mmCIF
// coordinate file: one data block with a dummy 100 A cube in P 1, one entity,
// one chain and a row per atom.
#pragma once

#include <cstdint>
#include <string_view>

// Writes every line on the open unit iun and closes it; `prog` names the
// program in the title.  ierr is the status of the last line written.
// Writes no table.
void wr_cif_new_(int32_t mdoc, int32_t iun, std::string_view prog, int32_t& ierr);
