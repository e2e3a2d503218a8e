// Unit-cell calculations and the small matrix helpers: volumes, reciprocal
// cells, orthogonalisation against a cell worked out by hand, tensors, cell
// comparison, setting tests and inverses.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "suite/csymlib.h"
#include "suite/csymlib_symop.h"
#include "suite/cvecmat.h"
#include "suite/ptq7_unitcell.h"
#include "symmetry_test_support.h"

namespace {


const double kCubic[6] = {10, 10, 10, 90, 90, 90};
// A triclinic cell: a = 10, b = 12, c = 15, alpha 70, beta 80, gamma 100.
const double kTric[6] = {10, 12, 15, 70, 80, 100};

// The cell edges as vectors with a along X and b in the XY plane, from the
// plain geometry of the cell (not the reciprocal-angle route of the library).
struct Edges {
  double a[3], b[3], c[3], volume;
};
Edges edges_of(const double cell[6]) {
  const double d = std::acos(-1.0) / 180.0;
  const double ca = std::cos(cell[3] * d), cb = std::cos(cell[4] * d), cg = std::cos(cell[5] * d);
  const double sg = std::sin(cell[5] * d);
  Edges e{};
  e.volume = cell[0] * cell[1] * cell[2] *
             std::sqrt(1 - ca * ca - cb * cb - cg * cg + 2 * ca * cb * cg);
  e.a[0] = cell[0];
  e.b[0] = cell[1] * cg;
  e.b[1] = cell[1] * sg;
  e.c[0] = cell[2] * cb;
  e.c[1] = cell[2] * (ca - cb * cg) / sg;
  e.c[2] = e.volume / (cell[0] * cell[1] * sg);
  return e;
}

}  // namespace

TEST(UnitCell, CubicVolumeAndReciprocalCell) {
  EXPECT_NEAR(ptq7uc_calc_cell_volume(kCubic), 1000.0, 0.01);
  double r[6];
  EXPECT_NEAR(ptq7uc_calc_rcell(kCubic, r), 0.001, 1e-7);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(r[i], 0.1, 1e-6);
  for (int i = 3; i < 6; ++i) EXPECT_NEAR(r[i], 90.0, 1e-3);
}

TEST(UnitCell, TriclinicVolumeAndReciprocalLengths) {
  const Edges e = edges_of(kTric);
  EXPECT_NEAR(e.volume, 1612.069, 1e-3);
  // The library's rounded pi moves the volume by far less than a part in 10^4.
  EXPECT_NEAR(ptq7uc_calc_cell_volume(kTric), e.volume, e.volume * 1e-4);
  double r[6];
  ptq7uc_calc_rcell(kTric, r);
  // c* is perpendicular to a and b: its length is 1 / (height of c over the ab plane).
  EXPECT_NEAR(r[2], 1.0 / e.c[2], 1e-5);
}

TEST(UnitCell, OrthogonalisationOfATriclinicCell) {
  double ro[3][3], rf[3][3];
  const Edges e = edges_of(kTric);
  const double det = ptq7uc_frac_orth_mat(kTric, 1, ro, rf);
  EXPECT_NEAR(det, e.volume, 1e-6);
  const double* cols[3] = {e.a, e.b, e.c};
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(ro[i][j], cols[j][i], 1e-9) << i << "," << j;
  // rf undoes ro.
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      double s = 0;
      for (int k = 0; k < 3; ++k) s += rf[i][k] * ro[k][j];
      EXPECT_NEAR(s, i == j ? 1.0 : 0.0, 1e-12);
    }
  const double f[3] = {0.5, 0.25, 1.0};
  double x[3], back[3];
  ptq7uc_frac_to_orth(ro, f, x);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(x[i], 0.5 * e.a[i] + 0.25 * e.b[i] + e.c[i], 1e-9);
  ptq7uc_orth_to_frac(rf, x, back);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(back[i], f[i], 1e-12);
}

TEST(UnitCell, AxisChoicesAndUnknownCode) {
  double ro[3][3], rf[3][3];
  EXPECT_NEAR(ptq7uc_frac_orth_mat(kCubic, 1, ro, rf), 1000.0, 1e-9);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      EXPECT_NEAR(ro[i][j], i == j ? 10.0 : 0.0, 1e-12);
      EXPECT_NEAR(rf[i][j], i == j ? 0.1 : 0.0, 1e-12);
    }
  // Code 3 puts c along X.
  ptq7uc_frac_orth_mat(kTric, 3, ro, rf);
  EXPECT_NEAR(ro[0][2], 15.0, 1e-12);
  EXPECT_EQ(ro[2][0], 0.0);
  rf[0][0] = 42.0;
  EXPECT_EQ(ptq7uc_frac_orth_mat(kCubic, 7, ro, rf), 0.0);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_EQ(ro[i][j], 0.0);
  EXPECT_EQ(rf[0][0], 42.0);  // a singular matrix leaves the output alone
}

TEST(UnitCell, DisplacementTensors) {
  double ro[3][3], rf[3][3];
  ptq7uc_frac_orth_mat(kCubic, 1, ro, rf);
  const double uf[6] = {0.01, 0.02, 0.03, 0.001, 0, 0};
  double uo[6], back[6];
  ptq7uc_fracu_to_orthu(ro, uf, uo);
  EXPECT_NEAR(uo[0], 1.0, 1e-12);
  EXPECT_NEAR(uo[1], 2.0, 1e-12);
  EXPECT_NEAR(uo[2], 3.0, 1e-12);
  EXPECT_NEAR(uo[3], 0.1, 1e-12);
  ptq7uc_orthu_to_fracu(rf, uo, back);
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(back[i], uf[i], 1e-14);
}

TEST(UnitCell, CellComparison) {
  {
    Capture cap;
    EXPECT_EQ(ptq7uc_cells_differ(kTric, kTric, 0.001), 0);
    EXPECT_EQ(cap.out(), "");
  }
  {
    const double longer[6] = {10.1, 10, 10, 90, 90, 90};
    Capture cap;
    EXPECT_EQ(ptq7uc_cells_differ(kCubic, longer, 0.001), 1);
    EXPECT_EQ(cap.out().substr(0, 37), "Difference in cell volumes detected.\n");
    EXPECT_NE(cap.out().find("  vol1 = "), std::string::npos);
  }
  {
    const double c1[6] = {10, 20, 30, 90, 90, 90}, c2[6] = {20, 10, 30, 90, 90, 90};
    Capture cap;
    EXPECT_EQ(ptq7uc_cells_differ(c1, c2, 0.001), 1);
    EXPECT_EQ(cap.out(),
              "Large difference in cell parameters detected.\n"
              "  cell1 = 10.000000 20.000000 30.000000 90.000000 90.000000 90.000000 \n"
              "  cell2 = 20.000000 10.000000 30.000000 90.000000 90.000000 90.000000 \n");
  }
  {
    // D = 0.05 / 2 / 180.05, between 1 and 3 times a tolerance of 0.0001.
    const double c1[6] = {10, 10, 10, 90, 90, 90}, c2[6] = {10, 10, 10, 90, 90, 90.05};
    Capture cap;
    EXPECT_EQ(ptq7uc_cells_differ(c1, c2, 0.0001), 1);
    EXPECT_EQ(cap.out().substr(0, 46), "Small difference in cell parameters detected.\n");
  }
}

TEST(UnitCell, SettingTests) {
  const float hex[6] = {10, 10, 12, 90, 90, 120};
  const float nearly[6] = {10, 10.02f, 12, 90, 90, 120};
  const float rho[6] = {8, 8, 8, 75, 75, 75};
  EXPECT_EQ(ptq7uc_is_hexagonal(hex, 0.01), 1);
  EXPECT_EQ(ptq7uc_is_hexagonal(nearly, 0.01), 0);
  EXPECT_EQ(ptq7uc_is_rhombohedral(rho, 0.01), 1);
  EXPECT_EQ(ptq7uc_is_rhombohedral(hex, 0.01), 0);
}

class CellForSetting : public symmetry_test::SymmetryTest {};

TEST_F(CellForSetting, RhombohedralGroupsWantTheirOwnCell) {
  SpacegroupPtr h = symmetry_test::quietly([] { return ptq7spg_load_by_spgname("R 3 :H"); });
  ASSERT_TRUE(h);
  float ops[9][4][4];
  for (int n = 0; n < h->nsymop; ++n) rotandtrn_to_mat4(&ops[n][0][0], h->symop[n]);
  const float hex[6] = {10, 10, 12, 90, 90, 120};
  const float rho[6] = {8, 8, 8, 75, 75, 75};
  Capture cap;
  EXPECT_EQ(ptq7spg_check_symm_cell(h->nsymop, ops, hex), 1);
  EXPECT_EQ(ptq7spg_check_symm_cell(h->nsymop, ops, rho), 0);
  // An operator list of no group is accepted.
  float odd[1][4][4] = {{{0, 1, 0, 0}, {0, 0, 1, 0}, {1, 1, 1, 0}, {0, 0, 0, 1}}};
  EXPECT_EQ(ptq7spg_check_symm_cell(1, odd, rho), 1);
}

TEST(SmallMatrices, InversesProductsAndPowers) {
  const float inv4[4][4] = {{-1, 0, 0, 0}, {0, -1, 0, 0}, {0, 0, -1, 0}, {0, 0, 0, 1}};
  float out[4][4];
  EXPECT_FLOAT_EQ(invert4matrix(inv4, out), -1.0f);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_FLOAT_EQ(out[i][j], inv4[i][j]);
  const float screw[4][4] = {{0, -1, 0, 0.5f}, {1, 0, 0, 0}, {0, 0, 1, 0.25f}, {0, 0, 0, 1}};
  float si[4][4], prod[4][4];
  EXPECT_FLOAT_EQ(invert4matrix(screw, si), 1.0f);
  ptq7_4matmul(prod, screw, si);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(prod[i][j], i == j ? 1.0f : 0.0f, 1e-6f);
  const float singular[4][4] = {{1, 2, 3, 4}, {2, 4, 6, 8}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  out[0][0] = 7.0f;
  EXPECT_EQ(invert4matrix(singular, out), 0.0f);
  EXPECT_EQ(out[0][0], 7.0f);

  const double m3[3][3] = {{2, 0, 0}, {0, 4, 1}, {0, 0, 0.5}};
  double m3i[3][3], p3[3][3];
  EXPECT_DOUBLE_EQ(invert3matrix(m3, m3i), 4.0);
  ptq7_3matmul(p3, m3, m3i);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(p3[i][j], i == j ? 1.0 : 0.0, 1e-15);
  EXPECT_DOUBLE_EQ(m3i[1][2], -0.5);

  const double x[3] = {1, 0, 0}, y[3] = {0, 1, 0};
  double z[3];
  ptq7_dcross(x, y, z);
  EXPECT_EQ(z[2], 1.0);
  EXPECT_EQ(ptq7_pow_ii(-1.0f, 3), -1.0f);
  EXPECT_EQ(ptq7_pow_ii(2.0f, 10), 1024.0f);
  EXPECT_EQ(ptq7_pow_ii(5.0f, 0), 1.0f);
  EXPECT_EQ(ptq7_pow_ii(5.0f, -2), 1.0f);
}
