// The restraint file: its controller (open with the header, the block of the
// current residue, close), the block titles and the opening of a link
// block.  Two forms, chosen by crdinf.cr_form_rst: 'U' one unformatted
// record per restraint and per title, anything else a CIF text whose first
// line is "global_", one loop of fourteen items and a comment line before
// each block.  A blank crdinf.crro_file means no file is wanted: every
// writer then returns at once.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

namespace restraints {

// The message code the file was opened with ("TITL").
int32_t rst_log_code();
// True when the file is written in the unformatted form.
bool rst_unformatted();
// One unformatted record of the fourteen fields; false when the write
// failed (the message given, the unit closed).
bool put_rst_record(std::string_view name, int32_t num, std::string_view label, int32_t iperiod,
                    int32_t ia1, int32_t ia2, int32_t ia3, int32_t ia4, float vidl, float sd,
                    float vobs, float dist, float desd, float econst, int32_t mdoc,
                    std::string_view failure);
// The comment line that opens a link block: the link, then each residue's
// name, number with insertion code and chain, from its name and its
// 12-character residue text.  ierr as wrtstr_ leaves it.
void put_link_comment(std::string_view link, std::string_view rname1, std::string_view pnum1,
                      std::string_view rname2, std::string_view pnum2, int32_t& ierr);
// A value as written: a value that is not a number goes out as 0.
float finite_or_zero(float v);

}  // namespace restraints

// mode "TITL" opens the file (header in the text form), "WRIT" writes the
// title of the residue block of C1, "STOP" closes; any other word nothing.
// ierr: the opener's status, or 1 for a block or close without an open file.
// Writes crdinf (crro_iun; crro_file blanked when blank; cr_title "---"
// when blank).
void wrt_rst_(std::string_view mode, int32_t mdoc, int32_t& ierr);
// One block title: source "MONO" or "LINK" and its id.
void wrt_rst_title_(int32_t iun, int32_t mdoc, std::string_view source, std::string_view source_id,
                    int32_t& ierr);
// Opens the block of link `link` between the residues in C2 (first) and C1.
void wrt_t_l_(int32_t mdoc, std::string_view link, int32_t& ierr);
