// Atom rows of an mmCIF coordinate file, one `_atom_site` row per call,
// returned in the one-atom record crdatm.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// Filled by the mmCIF readers (coords) and output's read-back; read by both.
// Reading state of the CIF coordinate readers.  iend_cif is the end code of
// the tokeniser between calls (-1 asks it to start afresh).  When the header
// reader stops at the first atom-site record it leaves that record in the
// tokeniser and names its unit in held_unit; the first call of a row reader
// on that unit then takes the record from there instead of rewinding and
// reading the file a second time.  frame_kept is 1 when the header reader
// found the file's fractionalisation to be the standard one of its cell, so
// that set_atom_ keeps the coordinates as written.
struct com_crd_cif_t {
  int32_t iend_cif;
  int32_t held_unit;
  int32_t frame_kept;
};
extern com_crd_cif_t com_crd_cif;

// mode 0 after an atom row, 1 when the atom list has ended (or a free line
// was met); iend -1 on the first call, 1 at the end of the file; ierr 1 after
// a read error.
// Writes crdatm, crdstr, crdinf.
void rdcrd_cif_(int32_t mdoc, int32_t in, int32_t& mode, int32_t& iend, int32_t& ierr);
// The error line of a row rdcrd_cif_ refused (two chain identifiers that the
// four-character group field cannot tell apart); empty after a read error.
std::string_view cif_rows_refusal();

// The fixed-column atom line of the CIF row readers; `shift` 1 moves every
// field one column right (the serial takes six columns).
void cif_atom_line(int shift, rt::TextRef line);
