// Hydrogen placement: when it runs at all, terminal groups from their
// torsion, a hydrogen on a centre with three heavy neighbours, and the two
// hydrogens of a CH2.  Ideal values are the usual sp3 ones (C-H 1.09,
// C-C 1.52, C-O 1.43, tetrahedral angles).
#include "builder/h_coords.h"

#include <gtest/gtest.h>

#include <cmath>

#include "dictionary/l1_kernels.h"
#include "geom_fixture.h"
#include "support/capture.h"

using namespace geomtest;

namespace {

void bond_row(int i, int j, float v) {
  r_scratch_t& s = r_scratch;
  const int l = ++s.l1b_nbond;
  s.l1b_1atm(l) = s.l1a_aname(i);
  s.l1b_2atm(l) = s.l1a_aname(j);
  s.l1b_i1atm(l) = i;
  s.l1b_i2atm(l) = j;
  s.l1b_val(l) = v;
}

void angle_row(int i, int j, int k, float v) {
  r_scratch_t& s = r_scratch;
  const int l = ++s.l1g_nangl;
  s.l1g_1atm(l) = s.l1a_aname(i);
  s.l1g_2atm(l) = s.l1a_aname(j);
  s.l1g_3atm(l) = s.l1a_aname(k);
  s.l1g_i1atm(l) = i;
  s.l1g_i2atm(l) = j;
  s.l1g_i3atm(l) = k;
  s.l1g_val(l) = v;
}

void tors_row(int i, int j, int k, int m, float v) {
  r_scratch_t& s = r_scratch;
  const int l = ++s.l1t_ntors;
  s.l1t_i1atm(l) = i;
  s.l1t_i2atm(l) = j;
  s.l1t_i3atm(l) = k;
  s.l1t_i4atm(l) = m;
  s.l1t_val(l) = v;
}

float angle(int a, int b, int c) {
  float v = 0;
  calc_angobs_(a, b, c, v);
  return v;
}

float torsion(int a, int b, int c, int d) {
  float v = 0;
  calc_trsobs_(a, b, c, d, v);
  return v;
}

float wrap_diff(float a, float b) {
  float d = std::fmod(a - b + 540.0f, 360.0f) - 180.0f;
  return std::fabs(d);
}

struct HCoords : L1Test {
  int32_t rebuild(int32_t imode = 0) {
    int32_t ierr = -1;
    out = captured([&] { h_atom_coors_rebuild_(0, 'N', imode, ierr); });
    return ierr;
  }
  std::string out;
};

// Ethanol-like O1-C1-C2 with a methyl on C2; one hydrogen lacks coordinates.
struct Methyl : HCoords {
  int o = 0, c1 = 0, c2 = 0, h[3] = {};
  void SetUp() override {
    HCoords::SetUp();
    o = atom("O1", "O", "OH1", 0, 1.43f, 0);
    c1 = atom("C1", "C", "CH2", 0, 0, 0, o);
    c2 = atom("C2", "C", "CH3", 1.4348f, -0.5017f, 0, c1);  // 1.52 from C1
    h[0] = atom("H21", "H", "H", 2, 0, 0, c2);
    h[1] = atom("H22", "H", "H", 2, -1, 0, c2);
    h[2] = atom("H23", "H", "H", 0, 0, 0, c2);
    r_scratch.l1a_coor_flag(h[2]) = "N";
    bond_row(c1, o, 1.43f);
    bond_row(c2, c1, 1.52f);
    for (int k : h) bond_row(k, c2, 1.09f);
    angle_row(c2, c1, o, 109.5f);
    for (int k : h) angle_row(k, c2, c1, 109.5f);
    tors_row(h[2], c2, c1, o, 180.0f);
  }
};

TEST_F(Methyl, HydrogensStandAtTheTorsionAndTwoThirdTurns) {
  EXPECT_EQ(rebuild(), 0);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(r_scratch.l1a_coor_flag(h[k]).str(), "Y") << "H" << k;
    EXPECT_NEAR(dist(h[k], c2), 1.09f, 1e-3) << "H" << k;
    EXPECT_NEAR(angle(h[k], c2, c1), 109.5f, 0.05f) << "H" << k;
  }
  EXPECT_LT(wrap_diff(torsion(h[2], c2, c1, o), 180.0f), 0.05f);
  EXPECT_LT(wrap_diff(torsion(h[0], c2, c1, o), -60.0f), 0.05f);
  EXPECT_LT(wrap_diff(torsion(h[1], c2, c1, o), 60.0f), 0.05f);
}

TEST_F(Methyl, NothingMovesWhenEveryAtomHasCoordinates) {
  r_scratch.l1a_coor_flag(h[2]) = "Y";
  const float x = r_scratch.l1a_x(h[0]);
  EXPECT_EQ(rebuild(0), 0);
  EXPECT_FLOAT_EQ(r_scratch.l1a_x(h[0]), x);
  EXPECT_EQ(rebuild(1), 0);  // any other mode places them anyway
  EXPECT_NEAR(dist(h[0], c2), 1.09f, 1e-3);
}

TEST_F(Methyl, HeavyAtomWithoutCoordinatesStopsEverything) {
  r_scratch.l1a_coor_flag(o) = "N";
  const float x = r_scratch.l1a_x(h[0]);
  EXPECT_EQ(rebuild(), 0);
  EXPECT_FLOAT_EQ(r_scratch.l1a_x(h[0]), x);
  EXPECT_EQ(r_scratch.l1a_coor_flag(h[2]).str(), "N");
}

TEST_F(Methyl, MissingBondLeavesTheGroupAsItWas) {
  r_scratch.l1b_1atm(5) = "XX";  // the bond of H23, the reference hydrogen
  const float x = r_scratch.l1a_x(h[0]);
  EXPECT_EQ(rebuild(), 0);
  EXPECT_FLOAT_EQ(r_scratch.l1a_x(h[0]), x);
  EXPECT_EQ(r_scratch.l1a_coor_flag(h[2]).str(), "N");
}

TEST_F(HCoords, ThreeAtomsOrFewerAreLeftAlone) {
  const int c = atom("C1", "C", ".", 0, 0, 0);
  atom("O1", "O", ".", 1.43f, 0, 0, c);
  const int hh = atom("H1", "H", ".", 9, 9, 9, c);
  r_scratch.l1a_coor_flag(hh) = "N";
  tors_row(1, 2, 3, 1, 0);
  int32_t ierr = -1;
  const std::string trace = captured([&] { h_atom_coors_rebuild_(0, 'T', 1, ierr); });
  EXPECT_EQ(trace, "");
  EXPECT_FLOAT_EQ(r_scratch.l1a_x(hh), 9.0f);
}

TEST_F(HCoords, HydrogenOnAThreeNeighbourCentrePointsAwayFromThem) {
  // Tetrahedral directions; the hydrogen belongs on (-1, -1, -1).
  const float s = 1.0f / std::sqrt(3.0f);
  const int n = atom("N1", "N", ".", 1.47f * s, 1.47f * s, 1.47f * s);
  const int c = atom("CA", "C", ".", 0, 0, 0, n);
  const int cb = atom("CB", "C", ".", 1.53f * s, -1.53f * s, -1.53f * s, c);
  const int cc = atom("C", "C", ".", -1.52f * s, 1.52f * s, -1.52f * s, c);
  const int hh = atom("HA", "H", ".", 0, 0, 0, c);
  const int o = atom("OG", "O", ".", 2, -2, -1, cb);
  r_scratch.l1a_coor_flag(hh) = "N";
  bond_row(hh, c, 1.09f);
  tors_row(n, c, cb, o, 60);
  EXPECT_EQ(rebuild(), 0);
  EXPECT_NEAR(dist(hh, c), 1.09f, 1e-3);
  EXPECT_NEAR(r_scratch.l1a_x(hh), -1.09f * s, 1e-3);
  EXPECT_NEAR(r_scratch.l1a_y(hh), 1.09f * s * -1.0f, 1e-3);
  EXPECT_NEAR(r_scratch.l1a_z(hh), 1.09f * s, 1e-3);
  (void)cc;
}

TEST_F(HCoords, TwoHydrogensOfACH2StandEitherSideOfTheHeavyPlane) {
  const int a = atom("C1", "C", ".", -1.26f, 0.87f, 0);
  const int c = atom("C2", "C", ".", 0, 0, 0, a);
  const int b = atom("C3", "C", ".", 1.26f, 0.87f, 0, c);
  const int h1 = atom("H21", "H", ".", 0, 0, 0, c);
  const int h2 = atom("H22", "H", ".", 0, 0, 0, c);
  r_scratch.l1a_coor_flag(h1) = "N";
  r_scratch.l1a_coor_flag(h2) = "N";
  bond_row(h1, c, 1.09f);
  bond_row(h2, c, 1.09f);
  tors_row(a, c, b, a, 0);
  EXPECT_EQ(rebuild(), 0);
  for (int hh : {h1, h2}) {
    EXPECT_NEAR(dist(hh, c), 1.09f, 1e-3);
    EXPECT_NEAR(angle(hh, c, b), 109.54f, 0.05f);
  }
  EXPECT_NEAR(r_scratch.l1a_z(h1), -r_scratch.l1a_z(h2), 1e-4);
  EXPECT_GT(std::fabs(r_scratch.l1a_z(h1)), 0.5f);
  EXPECT_LT(wrap_diff(torsion(h1, c, b, a), 120.0f), 0.1f);
}

}  // namespace
