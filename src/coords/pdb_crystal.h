// Parsers of the crystal records CRYST1, SCALEn and MTRIXn: the unit cell,
// the space group with its operators, the SCALE matrix and the NCS operators.
#pragma once

#include <cstdint>
#include <string_view>

// nospgr_input: a space-group number that replaces the file's when non-zero.
// Writes crdinf, crst_crd, sttcrec.
void rdcryst1_(std::string_view line, int32_t nospgr_input);
// Writes crdinf, crst_pdb, sttcrec.
void rdscale_(std::string_view line);
// Writes crdinf, crst_crd.
void rdmtrix_(std::string_view line);
