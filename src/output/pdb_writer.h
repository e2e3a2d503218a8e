// The model as a PDB coordinate file: HEADER and COMPND, the REMARK 3
// block, SSBOND, CISPEP, LINK and MODRES records, CRYST1 and SCALE1-3, then
// an ATOM record per atom and an ANISOU record after each anisotropic one.
// No TER or END record is written.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// hflag_o 'Y' writes hydrogen atoms; seg_flag 'Y' writes segment
// identifiers.  Both are normalised in place ('y' becomes 'Y', anything
// else but 'Y' becomes 'N'); depos is not read.  The file is opened by
// namec alone: path and ext are blanked.  Writes crdinf.cro_iun.  ierr 0;
// 1 an unusable name, a failed open, or a singular SCALE matrix (nothing is
// then written: no atom would stand where the file says); with no atoms
// the status of the modification records.
void write_atoms_pdb_(int32_t mdoc, char& hflag_o, char depos, char& seg_flag, rt::TextRef path,
                      std::string_view namec, rt::TextRef ext, int32_t& ierr);
