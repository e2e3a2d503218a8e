// Geometric kernels on explicit coordinates: the chiral volume of four points,
// the torsion implied by three angles, placing a new atom from a bond length,
// a bond angle and a torsion, and least-squares planes.  Angles given in
// degrees come out in the range -180 to 180; angles passed in are radians.
#pragma once

#include <cstdint>

// Chiral volume of four points (c1 the centre) and a signed angle whose sign
// gives their handedness.  The four indices are not used.
void calc_i_ovol_l_(int32_t i1, int32_t i2, int32_t i3, int32_t i4, const float* c1, const float* c2,
                    const float* c3, const float* c4, float& volume, float& angle);
// Torsion (radians, 0..pi) about a bond from the two bond angles a1, a2 at
// its ends and the angle a12 between the outer bonds.
void get_tors_(float a1, float a2, float a12, float& t);
// New bond vector n of length av3 making the bond angle ang2 with the bond
// vector b (length av2) and the torsion phi from the reference vector r,
// which makes the angle ang1 with b.  av1 is not used.
void coord_4_(float av1, float av2, float av3, const float* r, const float* b, float ang1, float ang2,
              float phi, float* n);
// Least-squares plane vm.x = d through n points, x holding the three
// coordinates of each point in turn.  n < 1 ends the run.
void fit_plane_(int32_t n, const float* x, float* vm, float& d);

namespace foundation {

// A cosine pulled into -1..1 against rounding before acos.
float clamp_cosine(float c);
// Radians wrapped to -pi..pi, then degrees.
float wrapped_degrees(float a);
float dot3(const float* a, const float* b);
float norm3(const float* a);
// Bond angle between a and b taken as consecutive bond vectors (pi when in
// line); a length product below 1e-8 is replaced by 1.
float bond_angle(const float* a, const float* b);

}  // namespace foundation
