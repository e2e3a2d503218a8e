// The error writer shared with the refinement-side code (plain, warning and
// error lines; on an error an XML error document and the end of the run) and
// helpers for a scratch-file name and opening a file by name.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// i -1 the line, 0 a warning, 1 an error (never returns); other modes nothing.
// Writes files (a missing output unit becomes 6).
void errwrt_(int32_t i, std::string_view line);
// file_out = value of TEMP1 (or "local") immediately followed by extension.
void find_unique_file_name_(rt::TextRef file_out, std::string_view extension);
// Open a formatted / unformatted file on a unit the suite library picks.
void open_form_file_(int32_t& iunit, std::string_view file_name, int32_t& ierr);
void open_unform_file_(int32_t& iunit, std::string_view file_name, int32_t& ierr);
