// The kernels that measure the L1 work description, on hand-computed
// geometry: distances, bond angles, torsion signs, chiral volumes and plane
// deviations.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "dictionary/l1_kernels.h"
#include "dictionary/lib_com.h"

namespace {

const float kPi = 4.0f * std::atan(1.0f);

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
    r_scratch.l1a_aname(i) = 'A' + std::to_string(i);
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

// The reference atom counts as in line when the bond angle at the second atom
// is within 0.0875 rad (5.01 degrees) of a straight line.  The torsion is 90
// from the tree's reference and -90 from the atom's own, across the line.
TEST_F(L1Geometry, TorsionNearLinearThresholdIsFiveDegrees) {
  const struct {
    const char* name;
    float off_line_deg;
    float torsion;
  } cases[] = {
      {"4.9 degrees off the line steps back", 4.9f, 90},
      {"5.1 degrees off the line keeps its reference", 5.1f, -90},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    const int grand = add(1, 0, -1);
    const int parent = add(0, 0, -1, grand);
    const float off = c.off_line_deg * kPi / 180.0f;
    const int ref = add(-std::sin(off), 0, -std::cos(off));
    const int r2 = add(0, 0, 0, parent);
    const int r3 = add(0, 0, 1);
    const int r4 = add(0, 1, 1);
    float t = 0;
    calc_trsobs_(ref, r2, r3, r4, t);
    EXPECT_NEAR(t, c.torsion, 1e-2);
  }
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
