// Reading restraint files one restraint at a time: the text form (a CIF
// file that begins with "global_") or the unformatted form (one record per
// restraint), and van der Waals restraint files (text form only).
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// Opens a restraint file by name and extension (path is blanked first) and
// records its form in crdinf.cr_form_rst: 'F' when the first line begins
// with "global_", else the file is reopened unformatted, 'U'.  in out: the
// unit; crdinf.crr_iun keeps the unit of the first open.  ierr 0; 1 the
// file failed to open; 100 the file is empty (the unit left open).
void orrst_cif_(int32_t mdoc, int32_t& in, rt::TextRef path, std::string_view name,
                std::string_view ext, int32_t& ierr);

// The next restraint into crdrst: iend -1 on the first call (rewinds), 0
// after; 1 at the end of the file (the unit closed).  mode 0 a restraint
// (with, in the text form, its echo line in crdatm.cr_line), 1 a text line
// in cr_line.  Title records ("MONO", "LINK") are not returned: they set
// rs_source and rs_source_id.  Fields a record does not name keep their
// values.  ierr 1 after a read failure or a record too short for its
// fields (the unit closed).
// Writes crdrst, crdatm.cr_line, com_crd_cif.iend_cif.
void rdrst_cif_(int32_t mdoc, int32_t in, int32_t& mode, int32_t& iend, int32_t& ierr);

// Opens a van der Waals restraint file (path blanked first); in out: the
// unit, also in crdinf.crv_iun.  ierr 0 or 1.
void orvdw_cif_(int32_t mdoc, int32_t& in, rt::TextRef path, std::string_view name,
                std::string_view ext, int32_t& ierr);

// The next van der Waals restraint into crdrsv, with the protocol of
// rdrst_cif_; every record and returned text line is also shown through
// msgdoc_.
// Writes crdrsv, crdatm.cr_line, com_crd_cif.iend_cif.
void rdvdw_cif_(int32_t mdoc, int32_t in, int32_t& mode, int32_t& iend, int32_t& ierr);
