// Reciprocal space of loaded groups: asymmetric units of every Laue class,
// systematic absences, centric and epsilon zones, origins, and the printed
// summaries.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <tuple>

#include "suite/csymlib.h"
#include "suite/csymlib_recip.h"
#include "symmetry_test_support.h"

namespace {

using symmetry_test::quietly;

class ReciprocalSpace : public symmetry_test::SymmetryTest {
 protected:
  SpacegroupPtr load(const char* name) {
    SpacegroupPtr sg = quietly([&] { return ptq7spg_load_by_spgname(name); });
    EXPECT_TRUE(sg) << name;
    return sg;
  }
};

using Hkl = std::tuple<int, int, int>;

Hkl mate(const Symop& op, int h, int k, int l, int sign) {
  auto r = [&](int j) {
    return sign * static_cast<int>(std::lround(h * op.rot[0][j] + k * op.rot[1][j] + l * op.rot[2][j]));
  };
  return {r(0), r(1), r(2)};
}

}  // namespace

TEST_F(ReciprocalSpace, AsymmetricUnitRoundTripForEveryLaueClass) {
  struct Case {
    const char* name;
    int code;
  } cases[] = {{"P 1", 3},      {"P 1 2 1", 4}, {"P 2 2 2", 6},   {"P 4", 7},
               {"P 4 2 2", 8},  {"P 3", 9},     {"P 3 1 2", 10},  {"P 3 2 1", 11},
               {"P 6", 12},     {"P 6 2 2", 13}, {"P 2 3", 14},   {"P 4 3 2", 15},
               {"R 3 :R", 9},   {"A 1", 3},     {"I 41/a :2", 7}, {"F d -3 m :1", 15}};
  for (const Case& c : cases) {
    SpacegroupPtr sg = load(c.name);
    ASSERT_TRUE(sg);
    EXPECT_EQ(sg->laue_code, c.code) << c.name;
    for (int h = -4; h <= 4; ++h)
      for (int k = -4; k <= 4; ++k)
        for (int l = -4; l <= 4; ++l) {
          int ho = 99, ko = 99, lo = 99;
          const int isym = ptq7spg_put_in_asu(sg.get(), h, k, l, ho, ko, lo);
          ASSERT_GT(isym, 0) << c.name << " " << h << k << l;
          EXPECT_EQ(ptq7spg_is_in_asu(sg.get(), ho, ko, lo), 1);
          int hb = 99, kb = 99, lb = 99;
          ptq7spg_generate_indices(sg.get(), isym, ho, ko, lo, hb, kb, lb);
          EXPECT_EQ(Hkl(hb, kb, lb), Hkl(h, k, l)) << c.name << " isym " << isym;
          // Exactly one member of the orbit (Friedel mates included) is inside.
          std::set<Hkl> orbit;
          for (int i = 0; i < sg->nsymop_prim; ++i)
            for (int s : {1, -1}) orbit.insert(mate(sg->symop[i], h, k, l, s));
          int inside = 0;
          for (const Hkl& m : orbit)
            inside += ptq7spg_is_in_asu(sg.get(), std::get<0>(m), std::get<1>(m), std::get<2>(m));
          EXPECT_EQ(inside, 1) << c.name << " " << h << " " << k << " " << l;
        }
  }
}

// Centred settings are mapped to their primitive reference by h'' = h P, P the
// change of basis of the data file; the reference's asymmetric unit then picks
// the representative.  Worked out by hand:
//   F 1      (k+l)/2, (h+l)/2, (h+k)/2  in the -1 unit: l''>0, or l''=0 and
//            (h''>0, or h''=0 and k''>=0); else the Friedel mate (ISYM 2)
//   I 1      (-h+k+l)/2, (h-k+l)/2, (h+k-l)/2  in the same unit
//   C 1 1 2  (k-h)/2, l, h    2/m unit k''>=0 and (l''>0 or l''=0 and h''>=0),
//            so here l>=0 and (h>0, or h=0 and k>=0); mates (-h,-k,l) are ISYM 3/4
//   C 4 2 2  (h-k)/2, (h+k)/2, l   4/mmm unit h''>=k''>=0, l''>=0, so here
//            k<=0, h>=-k, l>=0; operators in file order x,y,z; -y,x,z; -x,-y,z;
//            y,-x,z; ... give mates (h,k,l) (k,-h,l) (-h,-k,l) (-k,h,l) ...
TEST_F(ReciprocalSpace, CentredSettingsPickRepresentativesThroughTheirChangeOfBasis) {
  struct Case {
    const char* label;
    const char* name;
    Hkl in;
    int isym;
    Hkl out;
  } cases[] = {
      {"F 1: reference 1 1 1 inside", "F 1", {1, 1, 1}, 1, {1, 1, 1}},
      {"F 1: reference 0 1 0 inside", "F 1", {1, -1, 1}, 1, {1, -1, 1}},
      {"F 1: reference -1 1 0 needs its Friedel mate", "F 1", {2, -2, 0}, 2, {-2, 2, 0}},
      {"F 1: reference 0 0 -1 needs its Friedel mate", "F 1", {-1, -1, 1}, 2, {1, 1, -1}},
      {"F 1: reference 0 -1 1 inside", "F 1", {0, 2, -2}, 1, {0, 2, -2}},
      {"I 1: reference 0 1 1 inside", "I 1", {1, 1, 0}, 1, {1, 1, 0}},
      {"I 1: reference 0 1 0 inside", "I 1", {1, 0, 1}, 1, {1, 0, 1}},
      {"I 1: reference -1 1 0 needs its Friedel mate", "I 1", {1, -1, 0}, 2, {-1, 1, 0}},
      {"I 1: reference 1 1 -1 needs its Friedel mate", "I 1", {0, 0, 2}, 2, {0, 0, -2}},
      {"I 1: reference -1 1 1 inside", "I 1", {2, 0, 0}, 1, {2, 0, 0}},
      {"C 1 1 2: reference 0 1 1 inside", "C 1 1 2", {1, 1, 1}, 1, {1, 1, 1}},
      {"C 1 1 2: the 2-fold mate", "C 1 1 2", {-1, 1, 2}, 3, {1, -1, 2}},
      {"C 1 1 2: Friedel mate of the 2-fold mate", "C 1 1 2", {0, 2, -1}, 4, {0, 2, 1}},
      {"C 1 1 2: h=0 needs k>=0", "C 1 1 2", {0, -2, 3}, 3, {0, 2, 3}},
      {"C 1 1 2: Friedel mate on l=0", "C 1 1 2", {-2, 0, 0}, 2, {2, 0, 0}},
      {"C 4 2 2: reference 1 1 1 inside", "C 4 2 2", {2, 0, 1}, 1, {2, 0, 1}},
      {"C 4 2 2: the 4-fold mate", "C 4 2 2", {1, 1, 1}, 3, {1, -1, 1}},
      {"C 4 2 2: the 4-fold mate onto the k=0 edge", "C 4 2 2", {0, 2, 3}, 3, {2, 0, 3}},
      {"C 4 2 2: the 2-fold mate", "C 4 2 2", {-3, 1, 2}, 5, {3, -1, 2}},
      {"C 4 2 2: Friedel mate of the 4-cubed mate", "C 4 2 2", {1, 1, -2}, 8, {1, -1, 2}},
      {"C 4 2 2: Friedel mate of 0 0 -4", "C 4 2 2", {0, 0, -4}, 2, {0, 0, 4}},
  };
  for (const Case& c : cases) {
    SpacegroupPtr sg = load(c.name);
    ASSERT_TRUE(sg) << c.label;
    auto [h, k, l] = c.in;
    int ho = 99, ko = 99, lo = 99;
    EXPECT_EQ(ptq7spg_put_in_asu(sg.get(), h, k, l, ho, ko, lo), c.isym) << c.label;
    EXPECT_EQ(Hkl(ho, ko, lo), c.out) << c.label;
  }
}

// The change of basis of a centred setting takes absent reflections to half
// indices, which the asymmetric-unit test rounds.  Rounding half away from zero
// is odd and commutes with the signed permutations of these reference groups,
// so every index still has exactly one representative and an ISYM that leads
// back to it.
TEST_F(ReciprocalSpace, AbsentReflectionsOfCentredSettingsKeepOneRepresentative) {
  const char* names[] = {"A 1",       "B 1",     "C 1",      "F 1",      "I 1",
                         "A -1",      "B -1",    "C -1",     "F -1",     "I -1",
                         "C 1 1 2",   "C 1 1 21", "F 1 2/m 1", "C 4 2 2", "C 4 2 21",
                         "F 4 2 2",   "C -4 2 m", "C -4 2 b", "F 4/m m m"};
  for (const char* name : names) {
    SpacegroupPtr sg = load(name);
    ASSERT_TRUE(sg) << name;
    int absent = 0;
    Capture cap;
    for (int h = -6; h <= 6; ++h)
      for (int k = -6; k <= 6; ++k)
        for (int l = -6; l <= 6; ++l) {
          int ho = 99, ko = 99, lo = 99;
          const int isym = ptq7spg_put_in_asu(sg.get(), h, k, l, ho, ko, lo);
          ASSERT_GT(isym, 0) << name << " " << h << " " << k << " " << l;
          int hb = 99, kb = 99, lb = 99;
          ptq7spg_generate_indices(sg.get(), isym, ho, ko, lo, hb, kb, lb);
          EXPECT_EQ(Hkl(hb, kb, lb), Hkl(h, k, l)) << name << " isym " << isym;
          std::set<Hkl> orbit;
          for (int i = 0; i < sg->nsymop_prim; ++i)
            for (int s : {1, -1}) orbit.insert(mate(sg->symop[i], h, k, l, s));
          int inside = 0;
          for (const Hkl& m : orbit)
            inside += ptq7spg_is_in_asu(sg.get(), std::get<0>(m), std::get<1>(m), std::get<2>(m));
          EXPECT_EQ(inside, 1) << name << " " << h << " " << k << " " << l;
          absent += ptq7spg_is_sysabs(sg.get(), h, k, l);
        }
    EXPECT_GT(absent, 0) << name;
    EXPECT_EQ(cap.out(), "") << name;
  }
}

TEST_F(ReciprocalSpace, PlusMinusAsymmetricUnit) {
  SpacegroupPtr sg = load("P -1");
  ASSERT_TRUE(sg);
  EXPECT_EQ(ptq7spg_is_in_pm_asu(sg.get(), 0, 0, 0), 1);
  EXPECT_EQ(ptq7spg_is_in_pm_asu(sg.get(), 0, -1, 0), -1);
  EXPECT_EQ(ptq7spg_is_in_pm_asu(sg.get(), 1, 2, 3), 1);
  EXPECT_EQ(ptq7spg_is_in_pm_asu(sg.get(), 1, 2, -3), -1);
  int h, k, l;
  EXPECT_EQ(ptq7spg_put_in_asu(sg.get(), 1, 2, -3, h, k, l), 2);
  EXPECT_EQ(Hkl(h, k, l), Hkl(-1, -2, 3));
  Capture cap;
  EXPECT_EQ(ptq7spg_is_in_asu(nullptr, 1, 1, 1), 0);
  EXPECT_NE(cap.out().find("raised in ptq7spg_is_in_asu"), std::string::npos);
}

TEST_F(ReciprocalSpace, AbsencesOfScrewAxesAndCentring) {
  SpacegroupPtr p212121 = load("P 21 21 21");
  ASSERT_TRUE(p212121);
  for (Hkl a : {Hkl(0, 0, 1), Hkl(0, 0, 3), Hkl(1, 0, 0), Hkl(0, 5, 0)})
    EXPECT_EQ(ptq7spg_is_sysabs(p212121.get(), std::get<0>(a), std::get<1>(a), std::get<2>(a)), 1);
  for (Hkl p : {Hkl(0, 0, 2), Hkl(2, 0, 0), Hkl(1, 1, 0), Hkl(1, 0, 1), Hkl(1, 2, 3)})
    EXPECT_EQ(ptq7spg_is_sysabs(p212121.get(), std::get<0>(p), std::get<1>(p), std::get<2>(p)), 0);

  SpacegroupPtr p61 = load("P 61");
  ASSERT_TRUE(p61);
  for (int l = 1; l <= 12; ++l)
    EXPECT_EQ(ptq7spg_is_sysabs(p61.get(), 0, 0, l), l % 6 == 0 ? 0 : 1) << l;
  EXPECT_EQ(ptq7spg_is_sysabs(p61.get(), 1, 0, 1), 0);

  // I 41/a: h+k+l even; hk0 with h and k even; 00l with l a multiple of 4.
  SpacegroupPtr i41a = load("I 41/a :1");
  ASSERT_TRUE(i41a);
  struct Case {
    Hkl hkl;
    int absent;
  } cases[] = {{{1, 0, 0}, 1}, {{1, 1, 1}, 1}, {{1, 1, 0}, 1}, {{0, 0, 2}, 1}, {{0, 0, 6}, 1},
               {{2, 0, 0}, 0}, {{0, 0, 4}, 0}, {{1, 1, 2}, 0}, {{2, 2, 0}, 0}, {{1, 2, 1}, 0},
               {{3, 1, 0}, 1}};
  for (const Case& c : cases) {
    auto [h, k, l] = c.hkl;
    EXPECT_EQ(ptq7spg_is_sysabs(i41a.get(), h, k, l), c.absent) << h << " " << k << " " << l;
  }
  Capture cap;
  EXPECT_EQ(ptq7spg_is_sysabs(nullptr, 1, 0, 0), -1);
}

TEST_F(ReciprocalSpace, CentricAndEpsilonZonesOfP4) {
  SpacegroupPtr sg = load("P 4");
  ASSERT_TRUE(sg);
  // Only hk0 is centric: the 2-fold along c sends (h, k, 0) to (-h, -k, 0).
  for (int z = 0; z < 12; ++z) EXPECT_EQ(sg->centric_zones[z] != 0, z == 2) << "zone " << z + 1;
  EXPECT_EQ(ptq7spg_is_centric(sg.get(), 1, 2, 0), 1);
  EXPECT_EQ(ptq7spg_is_centric(sg.get(), 1, 2, 3), 0);
  EXPECT_EQ(ptq7spg_is_centric(sg.get(), 0, 0, 2), 0);
  EXPECT_FLOAT_EQ(ptq7spg_centric_phase(sg.get(), 3, 1, 0), 0.0f);
  EXPECT_EQ(ptq7spg_get_multiplicity(sg.get(), 0, 0, 2), 4);
  EXPECT_EQ(ptq7spg_get_multiplicity(sg.get(), 1, 2, 3), 1);
  EXPECT_EQ(ptq7spg_get_multiplicity(sg.get(), 1, 1, 0), 1);
  EXPECT_EQ(sg->epsilon_zones[12], 1);
}

TEST_F(ReciprocalSpace, CentricAndEpsilonZonesOfC2) {
  SpacegroupPtr sg = load("C 1 2 1");
  ASSERT_TRUE(sg);
  EXPECT_EQ(ptq7spg_is_centric(sg.get(), 1, 0, 2), 1);
  EXPECT_EQ(ptq7spg_is_centric(sg.get(), 1, 1, 2), 0);
  EXPECT_FLOAT_EQ(ptq7spg_centric_phase(sg.get(), 1, 0, 1), 0.0f);
  // b-axis 2-fold times C centring.
  EXPECT_EQ(ptq7spg_get_multiplicity(sg.get(), 0, 2, 0), 4);
  EXPECT_EQ(ptq7spg_get_multiplicity(sg.get(), 1, 2, 3), 2);
  EXPECT_EQ(ptq7spg_is_sysabs(sg.get(), 1, 0, 0), 1);
  EXPECT_EQ(ptq7spg_is_sysabs(sg.get(), 0, 1, 1), 1);
  EXPECT_EQ(ptq7spg_is_sysabs(sg.get(), 1, 1, 0), 0);
}

TEST_F(ReciprocalSpace, CentricPhaseOfAScrewAxisZone) {
  // P 1 21 1: h0l is centric through the 21 axis, whose translation (0, 1/2, 0)
  // gives phase 0; in P 21 21 21 the 21 along a with (1/2, 1/2, 0) gives 0kl
  // reflections a phase of 90 when k is odd.
  SpacegroupPtr p21 = load("P 1 21 1");
  ASSERT_TRUE(p21);
  EXPECT_FLOAT_EQ(ptq7spg_centric_phase(p21.get(), 1, 0, 1), 0.0f);
  SpacegroupPtr p212121 = load("P 21 21 21");
  ASSERT_TRUE(p212121);
  EXPECT_EQ(ptq7spg_is_centric(p212121.get(), 0, 1, 2), 1);
  EXPECT_FLOAT_EQ(ptq7spg_centric_phase(p212121.get(), 0, 1, 2), 90.0f);
  EXPECT_FLOAT_EQ(ptq7spg_centric_phase(p212121.get(), 0, 2, 1), 0.0f);
}

TEST_F(ReciprocalSpace, EveryReflectionOfPMinus1IsCentric) {
  SpacegroupPtr sg = load("P -1");
  ASSERT_TRUE(sg);
  EXPECT_EQ(ptq7spg_is_centric(sg.get(), 1, 2, 3), 1);
  EXPECT_EQ(ptq7spg_is_centric(sg.get(), -3, 5, 7), 1);
  EXPECT_EQ(ptq7spg_get_multiplicity(sg.get(), 0, 0, 2), 1);
  EXPECT_EQ(ptq7spg_get_multiplicity(sg.get(), 1, 2, 3), 1);
}

TEST(ReflectionZones, ZoneTestsAndDescriptions) {
  EXPECT_EQ(ptq7spg_check_centric_zone(4, 3, 3, 7), 0);
  EXPECT_NE(ptq7spg_check_centric_zone(4, 3, 2, 7), 0);
  EXPECT_EQ(ptq7spg_check_centric_zone(10, -1, 2, 5), 0);
  EXPECT_EQ(ptq7spg_check_epsilon_zone(12, 4, 4, 4), 0);
  EXPECT_NE(ptq7spg_check_epsilon_zone(12, 4, 4, 3), 0);
  EXPECT_NE(ptq7spg_check_epsilon_zone(1, 1, 0, 1), 0);
  EXPECT_EQ(ptq7spg_check_epsilon_zone(13, 1, 2, 3), 0);
  Capture cap;
  EXPECT_EQ(ptq7spg_check_centric_zone(0, 1, 1, 1), 0);
  EXPECT_EQ(ptq7spg_check_epsilon_zone(14, 1, 1, 1), 0);
  EXPECT_EQ(cap.out(), "Invalid nzone ! \nInvalid nzone ! \n");
  char buf[16];
  EXPECT_STREQ(ptq7spg_describe_centric_zone(7, buf), "h -hl");
  EXPECT_STREQ(ptq7spg_describe_epsilon_zone(10, buf), "-h 2h 0");
  EXPECT_STREQ(ptq7spg_describe_epsilon_zone(14, buf), "null");
}

TEST(ReflectionZones, PhaseShiftStaysInOneTurn) {
  const float t[3] = {0.5f, 0.0f, 0.25f};
  EXPECT_FLOAT_EQ(ptq7spg_phase_shift(1, 0, 0, 30.0f, t, 1), 210.0f);
  EXPECT_FLOAT_EQ(ptq7spg_phase_shift(1, 0, 0, 30.0f, t, -1), 150.0f);
  EXPECT_FLOAT_EQ(ptq7spg_phase_shift(0, 0, -1, 0.0f, t, 1), 270.0f);
}

TEST_F(ReciprocalSpace, PrintedZonesAndOperators) {
  SpacegroupPtr sg = load("P 4");
  ASSERT_TRUE(sg);
  Capture cap;
  ptq7spg_print_centric_zones(sg.get());
  ptq7spg_print_epsilon_zones(sg.get());
  ptq7spg_print_recip_ops(sg.get());
  EXPECT_EQ(cap.out(),
            "\n  ******   CENTRIC ZONES  ****** \n\n"
            "  CENTRIC Zone   1\n  Reflections of type  hk0 \n\n"
            "\n  ******   EPSILON ZONES -  Reflection Classes and their multiplicity ****** \n"
            "\n  EPSILON Zone   1\n  Reflections of type  00l \n  Multiplicity   4\n"
            "\n  EPSILON Zone   2\n  Reflections of type  hkl \n  Multiplicity   1\n"
            "\n Spacegroup 75 \"P 4\" \n"
            " Original indices for reflection hkl with symmetry number ISYM \n\n"
            "                              Bijvoet positive \n"
            "       ISYM              ISYM              ISYM              ISYM              \n"
            "  ISYM   1  +h,+k,+l       3  -k,+h,+l       5  -h,-k,+l       7  +k,-h,+l    \n"
            "\n                              Bijvoet negative \n"
            "       ISYM              ISYM              ISYM              ISYM              \n"
            "  ISYM   2  -h,-k,-l       4  +k,-h,-l       6  +h,+k,-l       8  -k,+h,-l    \n");
}

TEST(AlternativeOrigins, P212121AndP1) {
  // P 21 21 21 in the code base's column layout.
  float rsm[4 * 16] = {};
  const float rot[4][3] = {{1, 1, 1}, {-1, -1, 1}, {-1, 1, -1}, {1, -1, -1}};
  const float trn[4][3] = {{0, 0, 0}, {0.5f, 0, 0.5f}, {0, 0.5f, 0.5f}, {0.5f, 0.5f, 0}};
  for (int n = 0; n < 4; ++n) {
    for (int i = 0; i < 3; ++i) {
      rsm[n * 16 + i * 4 + i] = rot[n][i];
      rsm[n * 16 + 12 + i] = trn[n][i];
    }
    rsm[n * 16 + 15] = 1.0f;
  }
  float origins[216][3];
  int px = -1, py = -1, pz = -1;
  Capture cap;
  const int n = ptq7spg_generate_origins("P 21 21 21", 4, rsm, origins, px, py, pz, 1);
  // Any shift by halves along the axes: 8 origins, the first (0, 0, 0).
  EXPECT_EQ(n, 8);
  EXPECT_EQ(px + py + pz, 0);
  EXPECT_FLOAT_EQ(origins[1][2], 0.5f);
  EXPECT_FLOAT_EQ(origins[1][0], 0.0f);
  const std::string out = cap.out();
  EXPECT_NE(out.find(" Number of alternate origins for spacegroup:   P 21 21 21  is: 8 \n"),
            std::string::npos);
  EXPECT_NE(out.find("       2  0.0000  0.0000  0.5000\n"), std::string::npos);

  float id[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  Capture cap2;
  EXPECT_EQ(ptq7spg_generate_origins("P 1", 1, id, origins, px, py, pz, 1), 1);
  EXPECT_EQ(px + py + pz, 3);
  EXPECT_NE(cap2.out().find(" this is p1: origin anywhere\n"), std::string::npos);
  EXPECT_NE(cap2.out().find("       1     ??      ??      ?? \n"), std::string::npos);
}

namespace {

// Two operators in the code base's column layout: the identity and a
// diagonal rotation.
void identity_and_diagonal(float rsm[32], float d0, float d1, float d2) {
  for (int i = 0; i < 32; ++i) rsm[i] = 0.0f;
  const float d[3] = {d0, d1, d2};
  for (int i = 0; i < 3; ++i) {
    rsm[i * 4 + i] = 1.0f;
    rsm[16 + i * 4 + i] = d[i];
  }
  rsm[15] = rsm[31] = 1.0f;
}

}  // namespace

TEST(AlternativeOrigins, OnePolarAxisLeavesLinesOfOrigins) {
  // P 1 2 1: the 2-fold along b leaves y free; shifts of 0 or 1/2 along a
  // and c survive (2 x 12 s must be a multiple of 12).
  float rsm[32];
  identity_and_diagonal(rsm, -1, 1, -1);
  float origins[216][3];
  int px = -1, py = -1, pz = -1;
  Capture cap;
  EXPECT_EQ(ptq7spg_generate_origins("P 1 2 1", 2, rsm, origins, px, py, pz, 1), 4);
  EXPECT_EQ(px, 0);
  EXPECT_EQ(py, 1);
  EXPECT_EQ(pz, 0);
  EXPECT_EQ(cap.out(),
            " this is a polar spacegroup: origin is not fixed along b axis\n"
            " Number of alternate origin containing lines for spacegroup:  P 1 2 1  is: 4 \n"
            "\n Norigin     Ox      Oy      Oz\n\n"
            "       1  0.0000     ??   0.0000\n"
            "       2  0.0000     ??   0.5000\n"
            "       3  0.5000     ??   0.0000\n"
            "       4  0.5000     ??   0.5000\n");
}

TEST(AlternativeOrigins, TwoPolarAxesLeavePlanesOfOrigins) {
  // P 1 m 1: the mirror keeps x and z; only 0 and 1/2 along b remain.
  float rsm[32];
  identity_and_diagonal(rsm, 1, -1, 1);
  float origins[216][3];
  int px = -1, py = -1, pz = -1;
  Capture cap;
  EXPECT_EQ(ptq7spg_generate_origins("P 1 m 1", 2, rsm, origins, px, py, pz, 1), 2);
  EXPECT_FLOAT_EQ(origins[1][1], 0.5f);
  EXPECT_EQ(cap.out(),
            " this is a polar+ spacegroup: origin anywhere in a c plane\n"
            " Number of alternate origin containing planes for spacegroup: P 1 m 1  is: 2 \n"
            "\n Norigin     Ox      Oy      Oz\n\n"
            "       1     ??   0.0000     ?? \n"
            "       2     ??   0.5000     ?? \n");
  // Without the print flag nothing is written.
  Capture quiet;
  EXPECT_EQ(ptq7spg_generate_origins("P 1 m 1", 2, rsm, origins, px, py, pz, 0), 2);
  EXPECT_EQ(quiet.out(), "");
}

TEST_F(ReciprocalSpace, GroupWithoutCentricZones) {
  SpacegroupPtr sg = load("P 1");
  ASSERT_TRUE(sg);
  Capture cap;
  ptq7spg_print_centric_zones(sg.get());
  ptq7spg_print_epsilon_zones(sg.get());
  EXPECT_EQ(cap.out(),
            "\n  ******   CENTRIC ZONES  ****** \n\n"
            "  (no centric zones for this spacegroup) \n"
            "\n  ******   EPSILON ZONES -  Reflection Classes and their multiplicity ****** \n"
            "\n  EPSILON Zone   1\n  Reflections of type  hkl \n  Multiplicity   1\n");
  EXPECT_EQ(ptq7spg_is_centric(sg.get(), 1, 0, 0), 0);
}

TEST(Centring, TranslationsByLatticeLetter) {
  float ops[4][3];
  EXPECT_EQ(ptq7_spg_get_centering("P 21", ops), 1);
  EXPECT_EQ(ptq7_spg_get_centering("C 1 2 1", ops), 2);
  EXPECT_FLOAT_EQ(ops[1][0], 0.5f);
  EXPECT_FLOAT_EQ(ops[1][2], 0.0f);
  EXPECT_EQ(ptq7_spg_get_centering("F 2 3", ops), 4);
  EXPECT_EQ(ptq7_spg_get_centering("H 3", ops), 3);
  EXPECT_FLOAT_EQ(ops[1][0], 2.0f / 3.0f);
  EXPECT_EQ(ptq7_spg_get_centering("R 3", ops), 1);
  EXPECT_EQ(ptq7_spg_get_centering("x", ops), 0);
}
