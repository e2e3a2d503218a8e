// Opening a file of the code base named by path, base name and extension.
// The name is joined as path + name + "." + extension (no separator after the
// path; a blank path or extension contributes nothing), cut to 256
// characters, and opened on a unit the suite library picks.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// The joined file name, blank-padded to 256 characters.
rt::FixedText<256> join_file_name(std::string_view path, std::string_view name,
                                  std::string_view ext);

// Formatted, existing file for reading / any file for writing.  An empty
// joined name ends the run; a failed open reports and sets ierr 1.
void openfr_(int32_t& unit, int32_t mdoc, std::string_view path, std::string_view name,
             std::string_view ext, int32_t& ierr);
void openfw_(int32_t& unit, int32_t mdoc, std::string_view path, std::string_view name,
             std::string_view ext, int32_t& ierr);
// Unformatted.  The texts are cleaned in place (commas and an unprintable
// first character of the name become blanks); a failure is reported and
// returned as ierr 1, never fatal here.
void openur_(int32_t& unit, int32_t mdoc, rt::TextRef path, rt::TextRef name, rt::TextRef ext,
             int32_t& ierr);
void openuw_(int32_t& unit, int32_t mdoc, rt::TextRef path, rt::TextRef name, rt::TextRef ext,
             int32_t& ierr);
