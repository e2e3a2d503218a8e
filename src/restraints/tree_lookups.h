// Look-ups shared by the internal coordinates of a residue and of a link:
// ideal angles within one monomer, the offset about a centre that three
// ideal angles give, and walks along the L1 atom tree.  They write nothing.
#pragma once

#include <cstdint>

namespace restraints {

// Ideal angle a-b-c of atoms of the current monomer (L1 library indices);
// 0 when the description has none.
float l1_ideal_angle(int32_t mdoc, int32_t a, int32_t b, int32_t c);
// The same for the monomer before (L2).
float l2_ideal_angle(int32_t mdoc, int32_t a, int32_t b, int32_t c);
// Offset about a centre between x and y seen from b, from the ideal angles
// b-centre-x, b-centre-y and x-centre-y (degrees; not negative).
float offset_from_angles(float a_bx, float a_by, float a_xy);
// The k-th forward atom of L1 atom a counted from its last; 0 when none.
int32_t l1_forward_from_end(int32_t a, int k);
// The other atom of the last extra tree connection that holds L1 atom a;
// 0 when none does.
int32_t l1_extra_partner(int32_t a);

}  // namespace restraints
