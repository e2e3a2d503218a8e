// Space-group names and scattering factors for the code base: the bridges
// from a coordinate file's space-group name to the working symmetry
// operators, and from an element symbol to its form-factor coefficients.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// Operators of the named (or numbered) group: rotations (capacity x 3x3,
// column by column) and translations (capacity x 3).  The name is
// normalised in place and given back as the library knows the group; ierr is 0.
void get_symm_nb_new_(int32_t mdoc, int32_t& number, int32_t setting, rt::TextRef name,
                      int32_t& nsym, float* rotations, float* translations, int32_t capacity,
                      int32_t& ierr);

// Form-factor coefficients of an element (4 characters); ierr 1 when the
// scattering-factor file has no entry for it.  The radius is always 0.
void get_sfa_(std::string_view element, int32_t n, int32_t& nel, float& a1, float& a2, float& a3,
              float& a4, float& b1, float& b2, float& b3, float& b4, float& c, float& fp,
              float& fpp, float& radius, int32_t& ierr);
