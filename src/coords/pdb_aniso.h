// Parsers of the records that follow an atom line: ANISOU, SIGATM, SIGUIJ.
#pragma once

#include <cstdint>
#include <string_view>

// Anisotropic U of the atom now in the one-atom record.  An ANISOU record
// that names another atom than the atom line before it (columns 7-27,
// sttcrec.st_last_atom_id) is passed over with a warning; one of six zeros
// is passed over and counted in sttcrec.st_zero_aniso, the atom keeping the
// B of its atom line.  Returns 0, or 1 after the error lines when a field is
// no number (a blank one reads as 0).  Writes crdatm.
int32_t rdaniso_(std::string_view line);
// Standard deviations are not kept: these two do nothing.
void rdsigat_(std::string_view line);
void rdsiguij_(std::string_view line);

namespace coords {

// Whether the six components U11 .. U23 are all zero: no anisotropic
// displacement, but what writers put for an atom that has none.
bool aniso_all_zero(const float* u);

// One line for the n anisotropic records of six zeros passed over, `record`
// naming their kind in the singular ("ANISOU record"); nothing when n is 0.
// With message code 1, so that the TLS group driver, which silences the
// rest of the read, shows it too.
void warn_zero_aniso(std::string_view record, int32_t n);

}  // namespace coords
