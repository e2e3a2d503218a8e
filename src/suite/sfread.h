// Reader of the scattering-factor file (logical name ATOMSF): form-factor
// coefficients of one atom type, falling back from an ion to the neutral
// element by dropping trailing characters of the identifier.
#pragma once

#include <cstdint>

#include "runtime/fixed_text.h"

// id: 4-character identifier, shortened in place when a shorter one is used.
// ng 2 takes only entries marked in column 6.  a, b: 4 values; cu, mo: 2.
// ifail: 0 found, -1 not found.
void sfread2_(rt::TextRef id, int32_t ng, float* a, float* b, float& c, int32_t& iwt,
              int32_t& nel, float* cu, float* mo, int32_t& ifail);
