// Geometric kernels measured on the atoms of the L1 work description
// (r_scratch): distances, bond angles, torsions, chiral volumes and plane
// deviations.  Angles come out in degrees, -180 to 180.  Writes only the atom
// indices of an L1 chiral entry (calc_ovol_).
#pragma once

#include <cstdint>

#include "runtime/fixed_text.h"

namespace dictionary {
// A chiral row whose sign begins "cros" or "star" gives the shape of a metal
// centre: it has neither a handedness nor a volume.
bool metal_shape(const rt::FixedText<8>& sign);
}  // namespace dictionary

// calc_dobs_, calc_angobs_ and calc_trsobs_ write nothing.
void calc_dobs_(int32_t i1, int32_t i2, float& d);
void calc_angobs_(int32_t i1, int32_t i2, int32_t i3, float& angle);
void calc_trsobs_(int32_t i1, int32_t i2, int32_t i3, int32_t i4, float& angle);
// Chiral volume of L1 chiral entry ic from coordinates; also stores the atom
// indices of the entry.  ierr 1 when the entry cannot be measured.
// Writes r_scratch l1c_i1atm..l1c_i4atm (the L1 work description).
void calc_ovol_(int32_t ic, float& volume, int32_t& ierr);
// Ideal (unsigned) chiral volume of entry ic from the ideal bonds and angles,
// and three torsions about the centre derived from the angles (degrees).
// Writes nothing.
void calc_ivol_(int32_t ic, float& volume, float& ph1, float& ph2, float& ph3);
// Signed distances of the L1 atoms idx(1..n) from their best plane.
// Writes nothing.
void calc_pldev_(int32_t n, const int32_t* idx, float* dev);
