// Reading a whole CIF coordinate file (mmCIF or small-molecule CIF) into the
// structure tables.
#pragma once

#include <cstdint>
#include <string_view>

// ierr on entry 1: the residue-type tables are already set up.  On return
// 0 read with a space group; 1 not opened; 2 header failed; 3 row reader
// failed (a damaged row), or a header value that is no number where a
// number stands; 4 storing an atom failed; 6 a file that names no chain holds a
// residue number twice where its PDB form would (coords::check_split_numbers),
// or one that labels its chains holds one residue written twice under two
// labels, or a named chain holds a polymer residue's number twice
// (coords::split_numbers_report); 8 read without a space group; else the
// status of the entity-tree step.
// hflag_remove 'Y' leaves out the rows of element H, as the PDB reader does,
// so that the model is that of a file written without them.  The massless
// sites of water models are left out, with one warning counting them, and
// the first row of occupancy below 0 is noted (no_occupancy.h).
// Writes the structure model, crdinf, crdatm, com_crd_cif, com_out_cif, the
// first negative occupancy.
void read_atoms_(int32_t mdoc, std::string_view pathc, std::string_view namec,
                 std::string_view extc, int32_t nospgr_input, const float* cell_input,
                 int32_t& ierr, char hflag_remove = 'N');
