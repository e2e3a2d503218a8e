// Parsers of the records that follow an atom line: ANISOU, SIGATM, SIGUIJ.
#pragma once

#include <string_view>

// Anisotropic U of the atom now in the one-atom record.
// Writes crdatm.
void rdaniso_(std::string_view line);
// Standard deviations are not kept: these two do nothing.
void rdsigat_(std::string_view line);
void rdsiguij_(std::string_view line);
