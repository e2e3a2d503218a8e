// Crystallographic helpers over the working cell and symmetry of crst_crd:
// fractional/orthogonal conversion, the shortest lattice-translated distance
// of two fractional points, the multiplicity of a site, and placing a point
// in a chosen region of the unit cell.
#pragma once

#include <cstdint>

#include "foundation/atom_com.h"

// Filled and read by the special-position test (foundation).
// Images of one position under the symmetry operators, kept by the
// special-position test: the positions and the operator that gave each.
struct com_atm_old_t {
  int32_t n_atm_old;
  rt::Array2<float, 3, MAXNSO> x_atm_old;
  rt::Array1<int32_t, MAXNSO> isym_atm_old;
};
extern com_atm_old_t com_atm_old;

// y = frac-to-orth * x; ierr = 0.
void nb_ftoo_(const float* x, float* y, int32_t& ierr);
// y = orth-to-frac * x; ierr = 0.
void nb_otof_(const float* x, float* y, int32_t& ierr);
// Squared orthogonal distance between fractional points zz and xx after each
// component of zz - xx is brought into [-0.5, 0.5); itx, ity, itz count the
// lattice shifts added.
void calc_dist_(const float* zz, const float* xx, float& d2, int32_t& itx, int32_t& ity,
                int32_t& itz);
// Multiplicity of the site x (fractional): images closer than sqrt(dmin2)
// count as one.
// Writes com_atm_old.
void check_spec_pos_(const float* x, float dmin2, int32_t& ispec);
// The first symmetry image of (xi, yi, zi), moved into the unit cell, with
// z <= zmax and inside region itype (0 all, 1 y <= 0.5, 2 x and y <= 0.5).
void nb_ascell_(int32_t itype, float xi, float yi, float zi, float zmax, float& xo, float& yo,
                float& zo, int32_t& jsym, float* trans, int32_t& ierr);
