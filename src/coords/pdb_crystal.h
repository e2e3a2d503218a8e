// Parsers of the crystal records CRYST1, SCALEn and MTRIXn: the unit cell,
// the space group with its operators, the SCALE matrix and the NCS operators.
#pragma once

#include <cstdint>
#include <string_view>

// nospgr_input: a space-group number that replaces the file's when non-zero.
// Returns 0, or 1 after the error lines when a cell field is no number
// (nothing is then stored; a blank field reads as 0, a wrong cell).
// Writes crdinf, crst_crd, sttcrec.
int32_t rdcryst1_(std::string_view line, int32_t nospgr_input);
// Returns 0, or 1 after the error lines when a field is no number (the row
// is then not stored).  The rows read are noted in sttcrec.st_scale_rows.
// Writes crdinf, crst_pdb, sttcrec.
int32_t rdscale_(std::string_view line);
// Writes crdinf, crst_crd.
void rdmtrix_(std::string_view line);
