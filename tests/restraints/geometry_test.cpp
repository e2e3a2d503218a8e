// Observed values on residue places and explicit points, checked against the
// geometry computed here in double precision, and the derived 1-3 and 1-4
// distances and ideal chiral volumes from dictionary rows.
#include <gtest/gtest.h>

#include <cmath>

#include "residue_fixture.h"
#include "restraints/link_calc.h"
#include "restraints/res_calc.h"

namespace {

using rtest::Vec;

// A bent, twisted chain with a chiral centre at CA.
const Vec kN{0.0f, 1.4f, 0.3f}, kCA{0.0f, 0.0f, 0.0f}, kC{1.45f, -0.5f, 0.1f},
    kO{2.1f, -0.3f, 1.2f}, kCB{-0.6f, -0.7f, -1.2f};

class ResidueGeometry : public testing::Test {
 protected:
  void SetUp() override {
    rtest::clear_c1();
    rtest::add({"N", kN});
    rtest::add({"CA", kCA});
    rtest::add({"C", kC});
    rtest::add({"O", kO});
    rtest::add({"CB", kCB});
  }
};

}  // namespace

TEST_F(ResidueGeometry, ObservedValuesMatchTheCoordinates) {
  float d, a, t, vol, ph;
  calc_idobs_(1, 2, d);
  EXPECT_NEAR(d, rtest::dist(kN, kCA), 1e-5);
  calc_iangobs_(1, 2, 3, a);
  EXPECT_NEAR(a, rtest::angle_deg(kN, kCA, kC), 1e-3);
  calc_itrsobs_(1, 2, 3, 4, t);
  EXPECT_NEAR(t, rtest::torsion_deg(kN, kCA, kC, kO), 1e-3);
  calc_itrsobs_(4, 3, 2, 5, t);
  EXPECT_NEAR(t, rtest::torsion_deg(kO, kC, kCA, kCB), 1e-3);
  calc_i_ovol_(2, 1, 3, 5, vol, ph);
  EXPECT_NEAR(vol, rtest::chiral_volume(kCA, kN, kC, kCB), 1e-4);
  calc_i_ovol_(2, 3, 1, 5, vol, ph);  // the other hand
  EXPECT_NEAR(vol, rtest::chiral_volume(kCA, kC, kN, kCB), 1e-4);
  EXPECT_LT(vol, 0);
}

TEST_F(ResidueGeometry, AnAtomBelowTheOccupancyLimitGivesZero) {
  r_scratch.c1_occ(3) = 0.0009f;
  float d = -1, a = -1, t = -1, vol = -1, ph = -1;
  calc_idobs_(1, 3, d);
  calc_iangobs_(1, 2, 3, a);
  calc_itrsobs_(1, 2, 3, 4, t);
  calc_i_ovol_(2, 1, 3, 5, vol, ph);
  EXPECT_EQ(d, 0);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(t, 0);
  EXPECT_EQ(vol, 0);
  EXPECT_EQ(ph, 0);
  r_scratch.c1_occ(3) = 0.001f;  // the limit itself takes part
  calc_idobs_(1, 3, d);
  EXPECT_GT(d, 0);
}

TEST_F(ResidueGeometry, APlaceWithoutAnAtomGivesZeroNotAStrayRead) {
  float d = -1;
  calc_idobs_(1, 0, d);
  EXPECT_EQ(d, 0);
  calc_idobs_(1, 299, d);
  EXPECT_EQ(d, 0);
}

TEST(ExplicitGeometry, TorsionsNearTheEndsSnap) {
  const Vec a{1, 0, 0}, b{0, 0, 0}, c{0, 1, 0};
  const float r = static_cast<float>(179.95 * M_PI / 180);
  const Vec trans{std::cos(r), 1, std::sin(r)};
  const float s = static_cast<float>(-0.05 * M_PI / 180);
  const Vec cis{std::cos(s), 1, std::sin(s)};
  float t;
  calc_itrsobs_l_(1, 2, 3, 4, a.data(), b.data(), c.data(), trans.data(), t);
  EXPECT_EQ(t, 180.0f);
  calc_itrsobs_l_(1, 2, 3, 4, a.data(), b.data(), c.data(), cis.data(), t);
  EXPECT_EQ(t, 0.0f);
}

TEST(ExplicitGeometry, DegenerateAnglesGiveValuesNotFailures) {
  const Vec a{0, 0, 0}, b{1, 0, 0}, c{2, 0, 0};
  float ang;
  calc_iangobs_l_(1, 2, 3, a.data(), b.data(), c.data(), ang);
  EXPECT_NEAR(ang, 180.0f, 1e-3);
  calc_iangobs_l_(1, 2, 3, a.data(), b.data(), a.data(), ang);
  EXPECT_NEAR(ang, 0.0f, 1e-3);
  calc_iangobs_l_(1, 2, 3, a.data(), a.data(), c.data(), ang);  // first two coincide
  EXPECT_NEAR(ang, 90.0f, 1e-3);
}

TEST(PlaneDeviations, OneAtomOutOfPlaneAndAtomsWithoutCoordinates) {
  rtest::clear_c1();
  const Vec pts[] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0.5f, 0.5f, 0.5f}};
  for (int i = 0; i < 5; ++i) rtest::add({"P", pts[i]});
  for (int k = 2; k <= 5; ++k) r_scratch.c1_aname(k) = std::string(1, char('P' + k));
  int32_t iatm[6] = {1, 2, 3, 4, 5, 6};
  float dobs[6];
  int32_t nn = 0;
  calc_ipldev_(5, nn, iatm, dobs);
  EXPECT_EQ(nn, 5);
  // The fitted plane is z = 0.1 (mean height); deviations are signed.
  const float sign = dobs[4] > 0 ? 1.0f : -1.0f;
  EXPECT_NEAR(sign * dobs[4], 0.4f, 1e-4);
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(sign * dobs[i], -0.1f, 1e-4);
  // An atom missing or of zero occupancy stays a member with deviation 0.
  r_scratch.c1_occ(5) = 0;
  r_scratch.c1_atype(4) = "M";
  calc_ipldev_(5, nn, iatm, dobs);
  EXPECT_EQ(nn, 3);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(dobs[i], 0.0f);
}

TEST(DerivedDistances, OneThreeAndOneFourFromTheMonomerBondsAndAngles) {
  rtest::clear_l1();
  rtest::l1_bond("N", "CA", 1.458f);
  rtest::l1_bond("C", "CA", 1.525f);
  rtest::l1_bond("C", "O", 1.231f);
  rtest::l1_angle("N", "CA", "C", 111.2f, 2.8f);
  rtest::l1_angle("O", "C", "CA", 120.1f, 2.1f);
  float dist, desd;
  calc_dist_angl_(111.2f, 2.8f, "N", "CA", "C", dist, desd);
  const double a = 111.2 * M_PI / 180;
  const double expect = std::sqrt(1.458 * 1.458 + 1.525 * 1.525 - 2 * 1.458 * 1.525 * std::cos(a));
  EXPECT_NEAR(dist, expect, 1e-4);
  const double dp = std::sqrt(1.458 * 1.458 + 1.525 * 1.525 -
                              2 * 1.458 * 1.525 * std::cos(a + 2.8 * M_PI / 180));
  const double dm = std::sqrt(1.458 * 1.458 + 1.525 * 1.525 -
                              2 * 1.458 * 1.525 * std::cos(a - 2.8 * M_PI / 180));
  EXPECT_NEAR(desd, 0.5 * (std::fabs(expect - dp) + std::fabs(expect - dm)), 1e-4);

  // Build N-CA-C-O at torsion 60 degrees and measure the 1-4 distance.
  float d14, sd14;
  calc_dist_tors_(60.0f, 10.0f, "N", "CA", "C", "O", d14, sd14);
  const double b1 = 1.458, b2 = 1.525, b3 = 1.231, a1 = a, a2 = 120.1 * M_PI / 180,
               phi = 60 * M_PI / 180;
  const Vec pn{0, 0, 0}, pca{float(b1), 0, 0};
  const Vec pc{float(b1 - b2 * std::cos(a1)), float(b2 * std::sin(a1)), 0};
  // O from C: the bond makes a2 with C->CA and the torsion phi about CA-C.
  double e[3] = {pc[0] - pca[0], pc[1] - pca[1], 0};
  const double el = std::sqrt(e[0] * e[0] + e[1] * e[1]);
  for (double& v : e) v /= el;
  const double nrm[3] = {0, 0, 1};                                       // plane normal
  const double m[3] = {nrm[1] * e[2] - nrm[2] * e[1], nrm[2] * e[0] - nrm[0] * e[2],
                       nrm[0] * e[1] - nrm[1] * e[0]};                   // n x e
  const double dx = -b3 * std::cos(a2), dy = b3 * std::sin(a2) * std::cos(phi),
               dz = b3 * std::sin(a2) * std::sin(phi);
  const Vec po{float(pc[0] + dx * e[0] + dy * m[0] + dz * nrm[0]),
               float(pc[1] + dx * e[1] + dy * m[1] + dz * nrm[1]), float(dz)};
  EXPECT_NEAR(std::fabs(rtest::torsion_deg(pn, pca, pc, po)), 60.0, 1e-2);
  EXPECT_NEAR(d14, rtest::dist(pn, po), 1e-3);
  EXPECT_GT(sd14, 0);

  float none, none_sd;
  calc_dist_angl_(109.5f, 3.0f, "N", "CA", "CB", none, none_sd);  // no CA-CB bond
  EXPECT_EQ(none, 0);
  EXPECT_EQ(none_sd, 0);
}

TEST_F(ResidueGeometry, APositionThatIsNotANumberTakesNoPart) {
  r_scratch.c1_xyz(2, 3) = std::nanf("");
  float d = -1, a = -1;
  calc_idobs_(1, 3, d);
  calc_iangobs_(1, 2, 3, a);
  EXPECT_EQ(d, 0);
  EXPECT_EQ(a, 0);
}
