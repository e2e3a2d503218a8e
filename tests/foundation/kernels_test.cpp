// The vector kit and the geometric kernels on hand-computed geometry:
// inverses, cell matrices, Euler rotations, angles, torsion and chirality
// signs, ideal chiral volumes, placing an atom and plane fitting.
#include <gtest/gtest.h>

#include "capture.h"

#include <cmath>
#include <string>

#include "dictionary/lib_com.h"
#include "foundation/kernels.h"
#include "foundation/vec3.h"
#include "runtime/run.h"

namespace {

const float kPi = 4.0f * std::atan(1.0f);
float rad(float deg) { return deg * kPi / 180.0f; }

void expect_vec(const float* v, float x, float y, float z, float tol = 1e-5f) {
  EXPECT_NEAR(v[0], x, tol);
  EXPECT_NEAR(v[1], y, tol);
  EXPECT_NEAR(v[2], z, tol);
}

// L1 atoms from coordinates; names A1, A2, ... with coordinates present.
class L1Geometry : public testing::Test {
 protected:
  void SetUp() override {
    r_scratch.l1a_natom = 0;
    r_scratch.l1b_nbond = 0;
    r_scratch.l1g_nangl = 0;
    r_scratch.l1c_nchir = 0;
  }
  int add(float x, float y, float z, int back = 0) {
    const int i = ++r_scratch.l1a_natom;
    r_scratch.l1a_x(i) = x;
    r_scratch.l1a_y(i) = y;
    r_scratch.l1a_z(i) = z;
    r_scratch.l1a_aname(i) = "A" + std::to_string(i);
    r_scratch.l1a_coor_flag(i) = "Y";
    r_scratch.l1a_iback(i) = back;
    return i;
  }
  void bond(int a, int b, float v) {
    const int k = ++r_scratch.l1b_nbond;
    r_scratch.l1b_i1atm(k) = a;
    r_scratch.l1b_i2atm(k) = b;
    r_scratch.l1b_val(k) = v;
  }
  void angle(int a, int mid, int b, float v) {
    const int k = ++r_scratch.l1g_nangl;
    r_scratch.l1g_i1atm(k) = a;
    r_scratch.l1g_i2atm(k) = mid;
    r_scratch.l1g_i3atm(k) = b;
    r_scratch.l1g_val(k) = v;
  }
  // A1 at the origin, A2..A4 on the axes.
  void axes() {
    add(0, 0, 0);
    add(1, 0, 0);
    add(0, 1, 0);
    add(0, 0, 1);
  }
  int chiral(std::string_view sign, std::string_view c, std::string_view p2, std::string_view p3,
             std::string_view p4) {
    const int k = ++r_scratch.l1c_nchir;
    r_scratch.l1c_sign(k) = sign;
    r_scratch.l1c_1atm(k) = c;
    r_scratch.l1c_2atm(k) = p2;
    r_scratch.l1c_3atm(k) = p3;
    r_scratch.l1c_4atm(k) = p4;
    r_scratch.l1c_i1atm(k) = r_scratch.l1c_i2atm(k) = r_scratch.l1c_i3atm(k) = r_scratch.l1c_i4atm(k) = 0;
    return k;
  }
};

}  // namespace

TEST(VectorKit, UnitVectorOfZeroIsXWithError) {
  const float z[3] = {0, 0, 0};
  float y[3];
  int32_t ierr = 0;
  nb_vunit_(z, y, ierr);
  EXPECT_EQ(ierr, 1);
  expect_vec(y, 1, 0, 0);
  const float v[3] = {3, 0, 4};
  nb_vunit_(v, y, ierr);
  EXPECT_EQ(ierr, 0);
  expect_vec(y, 0.6f, 0, 0.8f);
  float d;
  nb_vmod_(v, d);
  EXPECT_FLOAT_EQ(d, 5);
}

TEST(VectorKit, ProductsAndAliasedOutputs) {
  float x[3] = {1, 0, 0};
  const float y[3] = {0, 1, 0};
  float z[3];
  nb_vmult_(x, y, z);
  expect_vec(z, 0, 0, 1);
  nb_vmult_(x, y, x);  // output over the first input
  expect_vec(x, 0, 0, 1);
  float s;
  const float a[3] = {1, 2, 3}, b[3] = {4, -5, 6};
  nb_vprod_(a, b, s);
  EXPECT_FLOAT_EQ(s, 12);
  nb_vsub_(a, b, z);
  expect_vec(z, -3, 7, -3);
  nb_vadd_(a, b, z);
  expect_vec(z, 5, -3, 9);
  nb_vscal_(a, -2, z);
  expect_vec(z, -2, -4, -6);
}

TEST(VectorKit, MatricesAreColumnByColumnSingularGivesZeros) {
  // Rows (1 2 0 / 0 1 0 / 0 0 2) stored column by column.
  const float m[9] = {1, 0, 0, 2, 1, 0, 0, 0, 2};
  const float v[3] = {1, 1, 1};
  float y[3];
  nb_mvmult_(m, v, y);
  expect_vec(y, 3, 1, 2);
  float inv[9];
  int32_t ierr = 1;
  nb_invert_(m, inv, ierr);
  EXPECT_EQ(ierr, 0);
  const float expected[9] = {1, 0, 0, -2, 1, 0, 0, 0, 0.5f};
  for (int k = 0; k < 9; ++k) EXPECT_NEAR(inv[k], expected[k], 1e-6f) << k;
  float p[9];
  nb_matmlt_(m, inv, p);
  for (int k = 0; k < 9; ++k) EXPECT_NEAR(p[k], k % 4 == 0 ? 1.0f : 0.0f, 1e-6f) << k;
  float t[9];
  nb_mtrans_(m, t);
  EXPECT_EQ(t[1], 2);
  EXPECT_EQ(t[3], 0);
  // A singular matrix gives an error and zeros.
  const float sing[9] = {1, 2, 3, 2, 4, 6, 0, 1, 1};
  for (float& v : inv) v = 7;
  nb_invert_(sing, inv, ierr);
  EXPECT_EQ(ierr, 1);
  for (float v : inv) EXPECT_EQ(v, 0);
}

TEST(VectorKit, EulerRotations) {
  float r[9], y[3];
  const float x[3] = {1, 0, 0};
  nb_eul2matr_(0, 0, 0, r);
  for (int k = 0; k < 9; ++k) EXPECT_NEAR(r[k], k % 4 == 0 ? 1.0f : 0.0f, 1e-6f);
  nb_eul2matr_(kPi / 2, 0, 0, r);
  nb_mvmult_(r, x, y);
  expect_vec(y, 0, 1, 0);
  nb_eul2matr_(0, kPi / 2, 0, r);
  nb_mvmult_(r, x, y);
  expect_vec(y, 0, 0, -1);
}

TEST(VectorKit, CellMatrices) {
  float fo[9], of[9];
  int32_t ierr = 1;
  nb_frorth_(10, 10, 10, kPi / 2, kPi / 2, kPi / 2, fo, of, ierr);
  EXPECT_EQ(ierr, 0);
  for (int k = 0; k < 9; ++k) {
    EXPECT_NEAR(fo[k], k % 4 == 0 ? 10.0f : 0.0f, 1e-5f) << k;
    EXPECT_NEAR(of[k], k % 4 == 0 ? 0.1f : 0.0f, 1e-7f) << k;
  }
  // Monoclinic: c leans back in the xz plane.
  nb_frorth_(10, 20, 30, kPi / 2, rad(120), kPi / 2, fo, of, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_NEAR(fo[6], -15.0f, 1e-4f);
  EXPECT_NEAR(fo[7], 0.0f, 1e-4f);
  EXPECT_NEAR(fo[8], 25.980762f, 1e-4f);
  EXPECT_NEAR(fo[4], 20.0f, 1e-4f);
  nb_frorth_(10, 20, 30, kPi / 2, kPi / 2, 0, fo, of, ierr);
  EXPECT_EQ(ierr, 1);
  for (int k = 0; k < 9; ++k) EXPECT_EQ(of[k], 0);
}

TEST_F(L1Geometry, DistancesAndBondAngles) {
  const int a = add(0, 0, 0), b = add(3, 4, 0), c = add(6, 8, 0), d = add(3, 4, 5);
  float v = -1;
  calc_dobs_(a, b, v);
  EXPECT_FLOAT_EQ(v, 5);
  calc_dobs_(0, b, v);
  EXPECT_EQ(v, 0);
  calc_angobs_(a, b, c, v);
  EXPECT_NEAR(v, 180, 1e-3);
  calc_angobs_(a, b, d, v);
  EXPECT_NEAR(v, 90, 1e-3);
  calc_angobs_(a, 0, d, v);
  EXPECT_EQ(v, 0);
  // Coinciding points: the length product is replaced by 1, cos 0.
  const int e = add(1, 1, 1), f = add(1, 1, 1), g = add(1, 1, 1);
  calc_angobs_(e, f, g, v);
  EXPECT_NEAR(v, 90, 1e-3);
}

TEST_F(L1Geometry, TorsionSigns) {
  const int r1 = add(1, 0, 0), r2 = add(0, 0, 0), r3 = add(0, 0, 1);
  const struct {
    float x, y, t;
  } cases[] = {{1, 0, 0}, {0, 1, 90}, {0, -1, -90}, {0.5f, 0.5f * std::sqrt(3.0f), 60}};
  float t = -1;
  for (const auto& c : cases) {
    calc_trsobs_(r1, r2, r3, add(c.x, c.y, 1), t);
    EXPECT_NEAR(t, c.t, 1e-3) << c.t;
  }
  calc_trsobs_(r1, r2, r3, add(-1, 0, 1), t);  // trans
  EXPECT_NEAR(std::fabs(t), 180, 1e-3);
  calc_trsobs_(r1, r2, 0, r3, t);
  EXPECT_EQ(t, 0);
}

TEST_F(L1Geometry, TorsionStepsBackAlongTreeWhenReferenceIsInLine) {
  const int grand = add(1, 0, -1);
  const int parent = add(0, 0, -1, grand);
  const int below = add(0, 0, -2);
  const int r2 = add(0, 0, 0, parent);
  const int r3 = add(0, 0, 1);
  const int r4 = add(0, 1, 1);
  float t = 0;
  // below, r2, r3 are in line: the torsion is taken from grand, parent.
  calc_trsobs_(below, r2, r3, r4, t);
  EXPECT_NEAR(t, 90, 1e-3);
}

TEST_F(L1Geometry, ChiralVolumeFromNamesStoresIndices) {
  axes();
  const int ic = chiral("positiv", "A1", "A2", "A3", "A4");
  float vol = 0;
  int32_t ierr = 1;
  calc_ovol_(ic, vol, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_FLOAT_EQ(vol, 1);
  EXPECT_EQ(r_scratch.l1c_i1atm(ic), 1);
  EXPECT_EQ(r_scratch.l1c_i4atm(ic), 4);
  const int mirror = chiral("negativ", "A1", "A2", "A4", "A3");
  calc_ovol_(mirror, vol, ierr);
  EXPECT_FLOAT_EQ(vol, -1);
}

TEST_F(L1Geometry, ChiralVolumeNotMeasurable) {
  axes();
  float vol = 5;
  int32_t ierr = 0;
  calc_ovol_(chiral("cross", "A1", "A2", "A3", "A4"), vol, ierr);
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(vol, 0);
  vol = 5;
  calc_ovol_(chiral("positiv", "A1", "A2", "XX", "A4"), vol, ierr);
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(vol, 0);
  r_scratch.l1a_coor_flag(3) = "N";
  const int ic = chiral("positiv", "A1", "A2", "A3", "A4");
  calc_ovol_(ic, vol, ierr);
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(r_scratch.l1c_i2atm(ic), 2);
  calc_ovol_(0, vol, ierr);
  EXPECT_EQ(ierr, 1);
}

TEST_F(L1Geometry, IdealChiralVolumeOfTetrahedralCentre) {
  for (int k = 0; k < 4; ++k) add(0, 0, 0);
  const int ic = chiral("positiv", "A1", "A2", "A3", "A4");
  r_scratch.l1c_i1atm(ic) = 1;
  r_scratch.l1c_i2atm(ic) = 2;
  r_scratch.l1c_i3atm(ic) = 3;
  r_scratch.l1c_i4atm(ic) = 4;
  bond(2, 1, 1.5f);
  bond(1, 3, 1.5f);
  bond(4, 1, 1.5f);
  const float tet = std::acos(-1.0f / 3.0f) * 180.0f / kPi;
  angle(3, 1, 4, tet);
  angle(4, 1, 2, tet);
  angle(2, 1, 3, tet);
  float vol = 0, p1 = 0, p2 = 0, p3 = 0;
  calc_ivol_(ic, vol, p1, p2, p3);
  // 1.5^3 * sqrt(1 - 3/9 - 2/27)
  EXPECT_NEAR(vol, 2.598076f, 1e-4);
  EXPECT_NEAR(p1, 120, 1e-2);
  EXPECT_NEAR(p2, 120, 1e-2);
  EXPECT_NEAR(p3, 120, 1e-2);
  // Without the angle between p2 and p3 nothing is computed.
  r_scratch.l1g_nangl = 2;
  vol = -7;
  calc_ivol_(ic, vol, p1, p2, p3);
  EXPECT_EQ(vol, -7);
}

TEST(ExplicitGeometry, HandednessOfFourPoints) {
  const float c1[3] = {0, 0, 0}, c2[3] = {1, 0, 0}, c3[3] = {0, 1, 0}, up[3] = {0, 0, 1}, down[3] = {0, 0, -1};
  float vol = 0, ang = 0;
  calc_i_ovol_l_(0, 0, 0, 0, c1, c2, c3, up, vol, ang);
  EXPECT_FLOAT_EQ(vol, 1);
  EXPECT_NEAR(ang, -90, 1e-3);
  calc_i_ovol_l_(0, 0, 0, 0, c1, c2, c3, down, vol, ang);
  EXPECT_FLOAT_EQ(vol, -1);
  EXPECT_NEAR(ang, 90, 1e-3);
  // Degenerate: a partner on the centre-c2 line leaves the angle 0.
  const float online[3] = {2, 0, 0};
  calc_i_ovol_l_(0, 0, 0, 0, c1, c2, online, up, vol, ang);
  EXPECT_EQ(ang, 0);
  EXPECT_EQ(vol, 0);
}

TEST(ExplicitGeometry, TorsionFromThreeAngles) {
  float t = -1;
  get_tors_(rad(109.5f), rad(109.5f), rad(109.5f), t);
  EXPECT_NEAR(t * 180 / kPi, 120.0f, 0.2f);
  get_tors_(0, rad(109.5f), rad(100), t);
  EXPECT_EQ(t, 0);
  get_tors_(rad(120), rad(120), rad(120), t);  // angles summing to 360 degrees: flat
  EXPECT_FLOAT_EQ(t, kPi);
  get_tors_(rad(90), rad(90), rad(90), t);
  EXPECT_NEAR(t, kPi / 2, 1e-5);
}

TEST(ExplicitGeometry, PlacingANewBond) {
  const float b[3] = {0, 0, 1.5f}, r[3] = {1, 0, 0};
  float n[3];
  coord_4_(0, 1.5f, 1.0f, r, b, rad(90), kPi, 0, n);
  expect_vec(n, 0, 0, 1);  // straight on along B
  coord_4_(0, 1.5f, 1.0f, r, b, rad(90), 0, 0, n);
  expect_vec(n, 0, 0, -1);  // straight back
  const float b1[3] = {0, 0, 1};
  coord_4_(0, 1, 2, r, b1, rad(90), rad(90), 0, n);
  expect_vec(n, -2, 0, 0);
  coord_4_(0, 1, 2, r, b1, rad(90), rad(90), rad(90), n);
  expect_vec(n, 0, -2, 0);
  coord_4_(0, 1, 2, r, b1, rad(90), rad(120), 0, n);
  expect_vec(n, -2 * std::sin(rad(120)), 0, 1);
  // The reference lies along B: the x axis is used, or the y axis when B is x.
  const float bx[3] = {1, 0, 0}, bz[3] = {0, 0, 1};
  coord_4_(0, 1, 1, bx, bx, 0, rad(90), 0, n);
  expect_vec(n, 0, -1, 0);
  coord_4_(0, 1, 1, bz, bz, 0, rad(90), 0, n);
  expect_vec(n, -1, 0, 0);
}

TEST(PlaneFit, KnownPlanes) {
  const float z2[12] = {0, 0, 2, 1, 0, 2, 0, 1, 2, 1, 1, 2};
  float vm[3], d = 0;
  fit_plane_(4, z2, vm, d);
  EXPECT_NEAR(vm[0], 0, 1e-6);
  EXPECT_NEAR(vm[1], 0, 1e-6);
  EXPECT_NEAR(std::fabs(vm[2]), 1, 1e-6);
  EXPECT_NEAR(d * vm[2], 2, 1e-5);
  const float x3[9] = {3, 1, 7, 3, -2, 0, 3, 5, 5};
  fit_plane_(3, x3, vm, d);
  EXPECT_NEAR(std::fabs(vm[0]), 1, 1e-6);
  EXPECT_NEAR(d * vm[0], 3, 1e-5);
  const float tilted[12] = {3, 0, 0, 0, 3, 0, 0, 0, 3, 1, 1, 1};
  fit_plane_(4, tilted, vm, d);
  const float s = 1 / std::sqrt(3.0f);
  EXPECT_NEAR(std::fabs(vm[0]), s, 1e-4);
  EXPECT_NEAR(vm[0], vm[1], 1e-4);
  EXPECT_NEAR(vm[0], vm[2], 1e-4);
  EXPECT_NEAR(d * vm[0], 1, 1e-4);  // d = 3/sqrt(3), vm = (1,1,1)/sqrt(3)
}

// The normal is scaled to a positive first element, so its sign (and that of
// d and of every deviation) does not depend on which element is largest.
TEST(PlaneFit, NormalTakesTheSignOfItsFirstElement) {
  // Points of x + 2y - 3z = 6; centroid (1.75, 1, -0.75).
  const float pts[12] = {6, 0, 0, 0, 3, 0, 0, 0, -2, 1, 1, -1};
  float vm[3], d = 0;
  fit_plane_(4, pts, vm, d);
  const float s = 1 / std::sqrt(14.0f);
  EXPECT_NEAR(vm[0], s, 1e-4);
  EXPECT_NEAR(vm[1], 2 * s, 1e-4);
  EXPECT_NEAR(vm[2], -3 * s, 1e-4);
  EXPECT_NEAR(d, 6 * s, 1e-4);
}

TEST(PlaneFit, DegeneratePointsGiveZeroNoPointsEndTheRun) {
  const float line[9] = {0, 0, 0, 1, 1, 1, 2, 2, 2};
  float vm[3] = {9, 9, 9}, d = 9;
  fit_plane_(3, line, vm, d);
  expect_vec(vm, 0, 0, 0);
  EXPECT_EQ(d, 0);
  std::string out;
  EXPECT_EQ(run_end_status([&] { fit_plane_(0, nullptr, vm, d); }, out), 1);
  EXPECT_EQ(out, " N =< 0 in subroutine \"FIT_PLANE\"\n");
}

TEST_F(L1Geometry, PlaneDeviationsAreSigned) {
  add(1, 0, 0.1f);
  add(-1, 0, 0.1f);
  add(0, 1, -0.1f);
  add(0, -1, -0.1f);
  const int32_t idx[4] = {1, 2, 3, 4};
  float dev[4];
  calc_pldev_(4, idx, dev);
  EXPECT_NEAR(std::fabs(dev[0]), 0.1f, 1e-5);
  EXPECT_NEAR(dev[0], dev[1], 1e-5);
  EXPECT_NEAR(dev[2], -dev[0], 1e-5);
  EXPECT_NEAR(dev[3], -dev[0], 1e-5);
}
