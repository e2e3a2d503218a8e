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
  const double dp =
      std::sqrt(1.458 * 1.458 + 1.525 * 1.525 - 2 * 1.458 * 1.525 * std::cos(a + 2.8 * M_PI / 180));
  const double dm =
      std::sqrt(1.458 * 1.458 + 1.525 * 1.525 - 2 * 1.458 * 1.525 * std::cos(a - 2.8 * M_PI / 180));
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
  const double nrm[3] = {0, 0, 1};  // plane normal
  const double m[3] = {nrm[1] * e[2] - nrm[2] * e[1], nrm[2] * e[0] - nrm[0] * e[2],
                       nrm[0] * e[1] - nrm[1] * e[0]};  // n x e
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

namespace {

// Rows of a link "LK" appended to the loaded link tables (whose counts are
// put back afterwards): its atoms A and C lie in the first monomer (stored
// side 1, flag 2) and B in the second (stored side 2, flag 1).
class LinkIdealValues : public testing::Test {
 protected:
  void SetUp() override {
    r_scratch_t& r = r_scratch;
    nbond = r.llb_nbond;
    nangl = r.llg_nangl;
    nener = r.leb_nbond;
    bond("A", 1, "B", 2, 1.33f);
    bond("C", 1, "B", 2, 1.46f);
    // First the same names with the sides the other way round.
    angle("A", 2, "B", 1, "C", 2, 100.0f);
    angle("C", 1, "B", 2, "A", 1, 121.7f);
  }
  void TearDown() override {
    r_scratch_t& r = r_scratch;
    r.llb_nbond = nbond;
    r.llg_nangl = nangl;
    r.leb_nbond = nener;
  }
  void bond(const char* a, int fa, const char* b, int fb, float v) {
    r_scratch_t& r = r_scratch;
    const int i = ++r.llb_nbond;
    r.llb_lname(i) = "LK";
    r.llb_1atm(i) = a;
    r.llb_f1atm(i) = fa;
    r.llb_2atm(i) = b;
    r.llb_f2atm(i) = fb;
    r.llb_val(i) = v;
  }
  void angle(const char* a, int fa, const char* c, int fc, const char* b, int fb, float v) {
    r_scratch_t& r = r_scratch;
    const int i = ++r.llg_nangl;
    r.llg_lname(i) = "LK";
    r.llg_1atm(i) = a;
    r.llg_f1atm(i) = fa;
    r.llg_2atm(i) = c;
    r.llg_f2atm(i) = fc;
    r.llg_3atm(i) = b;
    r.llg_f3atm(i) = fb;
    r.llg_val(i) = v;
  }
  int32_t nbond = 0, nangl = 0, nener = 0;
};

}  // namespace

TEST_F(LinkIdealValues, AngleRowsMatchOnlyWithTheAtomsSides) {
  const int32_t ifl[3] = {2, 1, 2};
  const rt::FixedText<8> mon[3] = {"ALA", "GLY", "ALA"};
  const rt::FixedText<4> names[3] = {"A", "B", "C"};
  float dist = 0, desd = 0;
  calc_distl_angl_(121.7f, 1.8f, nbond + 1, ifl, mon, names, "LK", dist, desd);
  const double a = 121.7 * M_PI / 180;
  EXPECT_NEAR(dist, std::sqrt(1.33 * 1.33 + 1.46 * 1.46 - 2 * 1.33 * 1.46 * std::cos(a)), 1e-4);
  EXPECT_GT(desd, 0);
  // Bonds searched from a row past the link's: nothing found, nothing made.
  calc_distl_angl_(121.7f, 1.8f, nbond + 3, ifl, mon, names, "LK", dist, desd);
  EXPECT_EQ(dist, 0);
  EXPECT_EQ(desd, 0);
}

TEST_F(LinkIdealValues, ChiralVolumeFromLinkRowsAndTheEnergyLibrary) {
  // Centre B with A, C and H of the other monomer: the link gives B-A, B-C
  // and the angle A-B-C of the matching sides; B-H and the angles with H
  // come from the energy library, or 110 degrees without a row (the types
  // here are in no row of the loaded library).
  const int32_t cfl[4] = {1, 2, 2, 2};
  const rt::FixedText<8> cmon[4] = {"GLY", "ALA", "ALA", "ALA"};
  const rt::FixedText<4> catom[4] = {"B", "A", "C", "H"};
  const rt::FixedText<4> chem[4] = {"QN", "QC", "QC2", "QH"};
  float vol = -1, ph1, ph2, ph3;
  calc_iivol_l_(cfl, cmon, catom, chem, "LK", vol, ph1, ph2, ph3);
  EXPECT_EQ(vol, 0.0f);  // no length for B-H anywhere: 0 rather than a guess
  r_scratch_t& r = r_scratch;
  const int32_t e = ++r.leb_nbond;
  r.leb_1atm(e) = "QH";
  r.leb_2atm(e) = "QN";
  r.leb_length(e) = 0.86f;
  calc_iivol_l_(cfl, cmon, catom, chem, "LK", vol, ph1, ph2, ph3);
  const double u = std::cos(121.7 * M_PI / 180), v = std::cos(110 * M_PI / 180), w = v;
  EXPECT_NEAR(vol,
              1.33 * 1.46 * 0.86 * std::sqrt(std::fabs(1 - u * u - v * v - w * w + 2 * u * v * w)),
              1e-3);
}
