// Cell helpers: lattice-shifted distances, site multiplicity, placing a point
// in the unit cell.
#include <gtest/gtest.h>

#include <cmath>

#include "foundation/atom_com.h"
#include "foundation/cell_helpers.h"

namespace {

// A cubic cell of edge a: frac-to-orth = a*I, orth-to-frac = I/a; only the
// identity operator.
void cubic_cell(float a) {
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) {
      crst_crd.cs_frac_to_ort(i, j) = i == j ? a : 0.0f;
      crst_crd.cs_ort_to_frac(i, j) = i == j ? 1.0f / a : 0.0f;
    }
  crst_crd.cs_nsym = 1;
  for (int i = 1; i <= 3; ++i) {
    for (int j = 1; j <= 3; ++j) crst_crd.cs_m_cs(i, j, 1) = i == j ? 1.0f : 0.0f;
    crst_crd.cs_v_cs(i, 1) = 0.0f;
  }
}

// Operator k: diagonal rotation (sx, sy, sz) and translation t.
void set_op(int k, float sx, float sy, float sz, float tx, float ty, float tz) {
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) crst_crd.cs_m_cs(i, j, k) = 0.0f;
  crst_crd.cs_m_cs(1, 1, k) = sx;
  crst_crd.cs_m_cs(2, 2, k) = sy;
  crst_crd.cs_m_cs(3, 3, k) = sz;
  crst_crd.cs_v_cs(1, k) = tx;
  crst_crd.cs_v_cs(2, k) = ty;
  crst_crd.cs_v_cs(3, k) = tz;
}

// P 2 2 2: x,y,z; -x,-y,z; -x,y,-z; x,-y,-z.
void p222(float a) {
  cubic_cell(a);
  crst_crd.cs_nsym = 4;
  set_op(1, 1, 1, 1, 0, 0, 0);
  set_op(2, -1, -1, 1, 0, 0, 0);
  set_op(3, -1, 1, -1, 0, 0, 0);
  set_op(4, 1, -1, -1, 0, 0, 0);
}

}  // namespace

TEST(CellHelpers, DistanceWrapsByLatticeShift) {
  cubic_cell(10.0f);
  float d2;
  int32_t tx, ty, tz;
  const float a[3] = {0.9f, 0, 0}, b[3] = {0.1f, 0, 0};
  calc_dist_(a, b, d2, tx, ty, tz);
  EXPECT_EQ(tx, -1);
  EXPECT_NEAR(d2, 4.0f, 1e-4f);  // -0.2 * 10, squared
  calc_dist_(b, a, d2, tx, ty, tz);
  EXPECT_EQ(tx, 1);
  EXPECT_NEAR(d2, 4.0f, 1e-4f);
  EXPECT_EQ(ty, 0);
  EXPECT_EQ(tz, 0);
  // A difference of half a cell becomes minus a half.
  cubic_cell(2.0f);
  const float c[3] = {0.75f, 0.5f, 0}, d[3] = {0.25f, 0, 0};
  calc_dist_(c, d, d2, tx, ty, tz);
  EXPECT_EQ(tx, -1);
  EXPECT_EQ(ty, -1);
  EXPECT_FLOAT_EQ(d2, 2.0f);  // (-0.5*2)^2 * 2
}

TEST(CellHelpers, HugeCoordinateDifferenceEnds) {
  cubic_cell(10.0f);
  float d2;
  int32_t tx, ty, tz;
  const float a[3] = {1.0e9f, 0, 0}, b[3] = {0, 0, 0};
  calc_dist_(a, b, d2, tx, ty, tz);
  SUCCEED();
}

TEST(CellHelpers, SiteMultiplicity) {
  p222(10.0f);
  int32_t ispec = 0;
  const float general[3] = {0.1f, 0.2f, 0.3f};
  check_spec_pos_(general, 0.01f, ispec);
  EXPECT_EQ(ispec, 1);
  EXPECT_EQ(com_atm_old.n_atm_old, 4);
  // On the twofold axis along z: x = y = 0.
  const float axis[3] = {0.0f, 0.0f, 0.3f};
  check_spec_pos_(axis, 0.01f, ispec);
  EXPECT_EQ(ispec, 2);
  EXPECT_EQ(com_atm_old.n_atm_old, 2);
  EXPECT_EQ(com_atm_old.isym_atm_old(2), 3);
  cubic_cell(10.0f);  // no symmetry
  check_spec_pos_(axis, 0.01f, ispec);
  EXPECT_EQ(ispec, 1);
}

TEST(CellHelpers, PlaceInCellRegion) {
  p222(10.0f);
  float xo, yo, zo, trans[3];
  int32_t jsym, ierr;
  // Identity image has y = 0.6, rejected by region 1; operator 2 gives
  // (-0.2, -0.6, 0.3) -> (0.8, 0.4, 0.3) with shifts (1, 1, 0).
  nb_ascell_(1, 0.2f, 0.6f, 0.3f, 1.0f, xo, yo, zo, jsym, trans, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(jsym, 2);
  EXPECT_NEAR(xo, 0.8f, 1e-6f);
  EXPECT_NEAR(yo, 0.4f, 1e-6f);
  EXPECT_NEAR(zo, 0.3f, 1e-6f);
  EXPECT_EQ(trans[0], 1.0f);
  EXPECT_EQ(trans[1], 1.0f);
  EXPECT_EQ(trans[2], 0.0f);
  // Region 2 needs x <= 0.5 too: operator 3 gives (-0.2, 0.6, -0.3) -> y 0.6 no;
  // operator 4 gives (0.2, -0.6, -0.3) -> (0.2, 0.4, 0.7).
  nb_ascell_(2, 0.2f, 0.6f, 0.3f, 1.0f, xo, yo, zo, jsym, trans, ierr);
  EXPECT_EQ(jsym, 4);
  EXPECT_NEAR(zo, 0.7f, 1e-6f);
  EXPECT_EQ(trans[2], 1.0f);
  // z above zmax for every image.
  nb_ascell_(0, 0.2f, 0.6f, 0.3f, 0.1f, xo, yo, zo, jsym, trans, ierr);
  EXPECT_EQ(ierr, 1);
  // The last operator tried is left in jsym, its z shift in trans: operator
  // 4 takes z to -0.3, moved to 0.7 by one cell.
  EXPECT_EQ(jsym, 4);
  EXPECT_EQ(trans[0], 0.0f);
  EXPECT_EQ(trans[1], 0.0f);
  EXPECT_EQ(trans[2], 1.0f);
  nb_ascell_(7, 0.2f, 0.2f, 0.3f, 1.0f, xo, yo, zo, jsym, trans, ierr);
  EXPECT_EQ(ierr, 1);
  crst_crd.cs_nsym = 0;
  nb_ascell_(0, 0.2f, 0.2f, 0.3f, 1.0f, xo, yo, zo, jsym, trans, ierr);
  EXPECT_EQ(ierr, 1);
}

TEST(CellHelpers, FractionalOrthogonalRoundTrip) {
  cubic_cell(20.0f);
  const float f[3] = {0.5f, 0.25f, 0.1f};
  float o[3], back[3];
  int32_t ierr = 9;
  nb_ftoo_(f, o, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_FLOAT_EQ(o[0], 10.0f);
  EXPECT_FLOAT_EQ(o[1], 5.0f);
  nb_otof_(o, back, ierr);
  EXPECT_FLOAT_EQ(back[2], 0.1f);
}
