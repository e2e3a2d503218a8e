// Geometric kernels: distances, bond angles, torsions, chiral volumes and
// planes measured on the atoms of the L1 work description (r_scratch), the
// same from explicit coordinates, and placing a new atom from a bond length,
// a bond angle and a torsion.  Angles given in degrees come out in the range
// -180 to 180; angles passed in are radians.
#pragma once

#include <cstdint>

void calc_dobs_(int32_t i1, int32_t i2, float& d);
void calc_angobs_(int32_t i1, int32_t i2, int32_t i3, float& angle);
void calc_trsobs_(int32_t i1, int32_t i2, int32_t i3, int32_t i4, float& angle);
// Chiral volume of L1 chiral entry ic from coordinates; also stores the atom
// indices of the entry.  ierr 1 when the entry cannot be measured.
void calc_ovol_(int32_t ic, float& volume, int32_t& ierr);
// Ideal (unsigned) chiral volume of entry ic from the ideal bonds and angles,
// and three torsions about the centre derived from the angles (degrees).
void calc_ivol_(int32_t ic, float& volume, float& ph1, float& ph2, float& ph3);
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
// Signed distances of the L1 atoms idx(1..n) from their best plane.
void calc_pldev_(int32_t n, const int32_t* idx, float* dev);
