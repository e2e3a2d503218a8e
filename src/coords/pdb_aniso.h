// Parsers of the records that follow an atom line: ANISOU, SIGATM, SIGUIJ.
#pragma once

#include <cstdint>
#include <string_view>

// Anisotropic U of the atom now in the one-atom record.  An ANISOU record
// that names another atom than the atom line before it (columns 7-27,
// sttcrec.st_last_atom_id) is passed over with a warning.  Returns 0, or 1
// after the error lines when a field is no number (a blank one reads as 0).
// Writes crdatm.
int32_t rdaniso_(std::string_view line);
// Standard deviations are not kept: these two do nothing.
void rdsigat_(std::string_view line);
void rdsiguij_(std::string_view line);
