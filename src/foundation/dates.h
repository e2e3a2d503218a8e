// Dates of coordinate-file headers: DD-MON-YY (PDB form, 9 characters) and
// YYYY-MM-DD (mmCIF form, 10 characters).  The unknown dates "XX-XXX-XX" and
// "XXXX-XX-XX" pass through as each other.
#pragma once

#include <string_view>

#include "runtime/fixed_text.h"

// DD-MON-YY to YYYY-MM-DD; a month name not in JAN..DEC gives month 01.
void chng_date_(std::string_view ch9, rt::TextRef ch10);
// YYYY-MM-DD to DD-MON-YY; a month below 1 becomes JAN, above 12 DEC.
void chng_date_back_(std::string_view ch10, rt::TextRef ch9);

namespace foundation {

// True for DD-MON-YY, the only form the date rule turns into a whole date;
// anything else (no date read, "?", a partial date) is written unknown.
bool pdb_date_form(std::string_view d);

}  // namespace foundation
