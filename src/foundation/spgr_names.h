// Space-group names and scattering factors for the code base: the bridges
// from a coordinate file's space-group name to the working symmetry
// operators, and from an element symbol to its form-factor coefficients.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// Operators of the named (or numbered) group: rotations (capacity x 3x3,
// column by column) and translations (capacity x 3).  The name is
// normalised in place and given back as the library knows the group; the
// number given back is the group's International Tables number, which is
// what coordinate files mean by a space-group number (the library's own
// number of a setting, as 4005 for I 1 2 1, is no such number).  A group the
// library lacks gives nsym 0 and leaves number and name; ierr is 0.
void get_symm_nb_new_(int32_t mdoc, int32_t& number, int32_t setting, rt::TextRef name,
                      int32_t& nsym, float* rotations, float* translations, int32_t capacity,
                      int32_t& ierr);

namespace foundation {

// A short monoclinic name ("P 21", "C2") written in full, and a
// rhombohedral one ("R 3") put on hexagonal axes ("H 3"), in the setting the
// cell's angles (radians) show; the setting, 1 or 2, is given back.  A short
// name is the b-unique setting ("C 1 2 1") unless gamma is oblique while
// beta is right ("B 1 1 2").  Any other name is left as it is.
int32_t settle_space_group_name(rt::FixedText<24>& name, float beta, float gamma);

// The operators of the space group a coordinate file gives by its name, its
// number (0 for none) or both.  The name, where the library knows it, gives
// the group, and a number that is neither the group's International Tables
// number nor the library's own number of it is named in a warning; where the
// name is missing ("", "?", ".") or unknown, the number gives the group.  A
// group the library lacks is named in a warning, and the identity alone
// stands: no symmetry copy is made of an operator that is not known.  On
// return, number and name are the group's as get_symm_nb_new_ gives them
// (kept as given when the library lacks the group).  A file that gives
// neither (a blank name and no number) has no group: nsym 0, no message.
// The warnings go out with message code 1, whatever the reader's.
void file_space_group(rt::FixedText<24>& name, int32_t& number, int32_t& nsym, float* rotations,
                      float* translations, int32_t capacity);

}  // namespace foundation

// Form-factor coefficients of an element (4 characters); ierr 1 when the
// scattering-factor file has no entry for it.  The radius is always 0.
void get_sfa_(std::string_view element, int32_t n, int32_t& nel, float& a1, float& a2, float& a3,
              float& a4, float& b1, float& b2, float& b3, float& b4, float& c, float& fp,
              float& fpp, float& radius, int32_t& ierr);
