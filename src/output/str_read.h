// Reading a structure-description file back into atom_str, one record at
// a time through the second CIF tokeniser.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// Reads the file named by path, name and extension into atom_str (and
// writes crdinf.crs_iun): partners and chemical types of every atom are
// reset first, each "_struct_atom." row fills its atom, then the extra
// partner links are made mutual.  pathc is blank afterwards.  ierr 0, or 1
// when the file failed to open or a read failed.
// Writes atom_str, crdinf, crdstr, crdatm.cr_line, com_crd_cif.iend_cif.
void read_str_(int32_t mdoc, rt::TextRef pathc, std::string_view namec, std::string_view extc,
               int32_t& ierr);

// Opens the file by name and extension alone (path is blanked first) for
// reading; in out: the unit, also stored in crdinf.crs_iun.  ierr 0 or 1.
void orstr_cif_(int32_t mdoc, int32_t& in, rt::TextRef path, std::string_view name,
                std::string_view ext, int32_t& ierr);

// One record: iend -1 on the first call (rewinds), 0 after; 1 at the end of
// the file (the unit is then closed).  mode 0: an atom row in crdstr with
// its echo line in crdatm.cr_line; mode 1: a text line in cr_line.  ierr 1
// after a read failure (the unit closed).  Writes crdstr, crdatm.cr_line
// and com_crd_cif.iend_cif.
void rdstr_cif_(int32_t mdoc, int32_t in, int32_t& mode, int32_t& iend, int32_t& ierr);
