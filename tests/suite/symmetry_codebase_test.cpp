// The code base's symmetry entries: the current group loaded by name or
// number, operator arrays in the column layout, operators read from and
// written to text, reflection queries, grids, limits, ranges and channels.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "runtime/fixed_text.h"
#include "suite/csymlib_f.h"
#include "suite/csymlib_grid.h"
#include "symmetry_test_support.h"

namespace {


class CodeBaseSymmetry : public symmetry_test::SymmetryTest {
 protected:
  void TearDown() override {
    ptq7spg_mem_tidy();
    SymmetryTest::TearDown();
  }

  // msymlb3_ with fresh outputs; the captured log in `log`.
  struct Result {
    int32_t number;
    rt::FixedText<20> name, shortname, pg;
    int32_t nsymp = -7, nsym = -7;
    std::vector<float> rsm = std::vector<float>(192 * 16, -9.0f);
    std::string log;
  };
  Result lookup(int32_t number, const char* name) {
    Result r;
    r.number = number;
    r.name = name;
    r.shortname = "unchanged";
    r.pg = "unchanged";
    int32_t ist = 0;
    Capture cap;
    msymlb3_(ist, r.number, r.name, r.shortname, r.pg, r.nsymp, r.nsym, r.rsm.data());
    r.log = cap.out();
    return r;
  }
  // Element (row i, column j), 1-based, of operator n.
  static float el(const std::vector<float>& rsm, int n, int i, int j) {
    return rsm[(n - 1) * 16 + (j - 1) * 4 + (i - 1)];
  }
};

}  // namespace

TEST_F(CodeBaseSymmetry, LookupByLowerCaseShortName) {
  Result r = lookup(0, "p212121");
  EXPECT_EQ(r.number, 19);
  EXPECT_EQ(r.name, "P 21 21 21");
  EXPECT_EQ(r.shortname, "P212121");
  EXPECT_EQ(r.pg, "PG222");
  EXPECT_EQ(r.nsymp, 4);
  EXPECT_EQ(r.nsym, 4);
  for (int n = 1; n <= 4; ++n)
    for (int j = 1; j <= 4; ++j) EXPECT_EQ(el(r.rsm, n, 4, j), j == 4 ? 1.0f : 0.0f);
  // Operator 2 is -x+1/2, -y, z+1/2.
  EXPECT_EQ(el(r.rsm, 2, 1, 1), -1.0f);
  EXPECT_EQ(el(r.rsm, 2, 3, 3), 1.0f);
  EXPECT_FLOAT_EQ(el(r.rsm, 2, 1, 4), 0.5f);
  EXPECT_FLOAT_EQ(el(r.rsm, 2, 3, 4), 0.5f);
  // Operator 4 is -x, y+1/2, -z+1/2.
  EXPECT_EQ(el(r.rsm, 4, 2, 2), 1.0f);
  EXPECT_FLOAT_EQ(el(r.rsm, 4, 2, 4), 0.5f);
  ASSERT_NE(ptq7spg_current(), nullptr);
}

TEST_F(CodeBaseSymmetry, RhombohedralNameComesBackHexagonal) {
  Result r = lookup(0, "R 3 :H");
  EXPECT_EQ(r.name, "H 3");
  EXPECT_EQ(r.shortname, "H3");
  EXPECT_EQ(r.number, 146);
  EXPECT_EQ(r.nsym, 9);
  EXPECT_EQ(r.nsymp, 3);
  Result rr = lookup(1146, "");
  EXPECT_EQ(rr.name, "R 3");
  EXPECT_EQ(rr.number, 1146);
}

TEST_F(CodeBaseSymmetry, NumberComesBackStandardWhenSuiteNumberIsZero) {
  Result r = lookup(0, "A 1");
  EXPECT_EQ(r.number, 1);
  EXPECT_EQ(r.nsym, 2);
  // Only "P 1" keeps its one; 'A 1' loses it like every other blank-one.
  EXPECT_EQ(r.shortname, "A");
}

TEST_F(CodeBaseSymmetry, BlankNameAnswersWithTheCurrentGroup) {
  lookup(0, "P 1 21 1");
  Result r = lookup(0, "");
  EXPECT_EQ(r.name, "P 1 21 1");
  EXPECT_EQ(r.shortname, "P21");
  EXPECT_EQ(r.number, 4);
  EXPECT_EQ(r.nsym, 2);
  // Nothing was read for it.
  EXPECT_EQ(r.log, "");
}

TEST_F(CodeBaseSymmetry, UnknownNameLeavesOutputsAndDropsTheCurrentGroup) {
  lookup(0, "P 1 21 1");
  Result r = lookup(0, "P 9 9 9");
  EXPECT_NE(r.log.find(" Failed to find spacegroup in SYMINFO! \n"), std::string::npos);
  EXPECT_EQ(r.number, 0);
  EXPECT_EQ(r.name, "P 9 9 9");
  EXPECT_EQ(r.shortname, "unchanged");
  EXPECT_EQ(r.nsym, -7);
  EXPECT_EQ(r.rsm[0], -9.0f);
  EXPECT_EQ(ptq7spg_current(), nullptr);
}

TEST_F(CodeBaseSymmetry, OperatorsReadFromTextAppendAtPosition) {
  std::vector<float> rsm(192 * 16, 0.0f);
  int32_t n = 0;
  symfr2_("SYMM X,Y,Z * -X,Y+1/2,-Z", 6, n, rsm.data());
  EXPECT_EQ(n, 2);
  EXPECT_EQ(el(rsm, 1, 1, 1), 1.0f);
  EXPECT_EQ(el(rsm, 2, 1, 1), -1.0f);
  EXPECT_FLOAT_EQ(el(rsm, 2, 2, 4), 0.5f);
  EXPECT_EQ(el(rsm, 2, 4, 4), 1.0f);
  n = 3;
  symfr2_("-X,-Y,Z", 1, n, rsm.data());
  EXPECT_EQ(n, 3);
  EXPECT_EQ(el(rsm, 3, 2, 2), -1.0f);
  EXPECT_EQ(el(rsm, 3, 3, 3), 1.0f);

  int32_t flag = -1;
  {
    Capture cap;
    symfr3_("X,Y", 1, n, rsm.data(), flag);
  }
  EXPECT_EQ(flag, 1);
  symfr3_("X,Y,Z", 1, n, rsm.data(), flag);
  EXPECT_EQ(flag, 0);
  EXPECT_EQ(n, 3);  // stored again at position 3

  Capture cap;
  EXPECT_EQ(run_end_status([&] { symfr2_("X,,Z", 1, n, rsm.data()); }), 1);
  EXPECT_NE(cap.out().find(" **SYMMETRY OPERATOR ERROR**"), std::string::npos);
}

TEST_F(CodeBaseSymmetry, OperatorsWrittenAsText) {
  Result r = lookup(0, "P 21 21 21");
  rt::FixedText<24> texts[4];
  symtr4_(4, r.rsm.data(), texts[0]);
  EXPECT_EQ(texts[0], "X,  Y,  Z");
  EXPECT_EQ(texts[1], "-X+1/2,  -Y,  Z+1/2");
  EXPECT_EQ(texts[3], "-X,  Y+1/2,  -Z+1/2");
  Capture cap;
  symtr3_(2, r.rsm.data(), texts[0], 1);
  EXPECT_EQ(cap.out(), "Symmetry 1 X,  Y,  Z \nSymmetry 2 -X+1/2,  -Y,  Z+1/2 \n");
}

TEST_F(CodeBaseSymmetry, AsymmetricUnitOperatorsWithTheirNegatives) {
  lookup(0, "P 21 21 21");
  std::vector<float> rsm(192 * 16, 0.0f), inv(192 * 16, 0.0f);
  int32_t nsym = 0;
  asusym_(rsm.data(), inv.data(), nsym);
  ASSERT_EQ(nsym, 8);
  for (int n = 1; n <= 8; n += 2) {
    for (int i = 1; i <= 3; ++i)
      for (int j = 1; j <= 4; ++j) {
        EXPECT_EQ(el(rsm, n + 1, i, j), -el(rsm, n, i, j));
        EXPECT_EQ(el(inv, n + 1, i, j), -el(inv, n, i, j));
      }
    EXPECT_EQ(el(rsm, n + 1, 4, 4), 1.0f);
  }
}

TEST_F(CodeBaseSymmetry, ReflectionQueriesOnTheCurrentGroup) {
  lookup(0, "P 21 21 21");
  int32_t hkl[3] = {-1, 2, -3}, out[3] = {0, 0, 0}, back[3] = {0, 0, 0};
  int32_t isym = 0;
  asuput_(hkl, out, isym);
  EXPECT_EQ(std::vector<int32_t>(out, out + 3), (std::vector<int32_t>{1, 2, 3}));
  asuget_(out, back, isym);
  EXPECT_EQ(std::vector<int32_t>(back, back + 3), (std::vector<int32_t>{-1, 2, -3}));

  const int32_t axial[3] = {0, 0, 3};
  int32_t absent = -1, centric = -1;
  float eps = 0.0f;
  sysab_(axial, absent);
  EXPECT_EQ(absent, 1);
  epslon_(axial, eps, absent);
  EXPECT_FLOAT_EQ(eps, 2.0f);
  EXPECT_EQ(absent, 1);
  const int32_t zone[3] = {0, 1, 2};
  centr_(zone, centric);
  EXPECT_EQ(centric, 1);
  float phase = -1.0f;
  centphase_(zone, phase);
  EXPECT_FLOAT_EQ(phase, 90.0f);
  const int32_t general[3] = {1, 2, 3};
  Capture cap;
  centphase_(general, phase);
  EXPECT_EQ(cap.out(), "CENTPHASE: This is not a centric reflection!\n");
  EXPECT_FLOAT_EQ(phase, 90.0f);
}

TEST_F(CodeBaseSymmetry, InAsymmetricUnitUnderAnotherLaueClass) {
  lookup(0, "P 21 21 21");
  const int32_t hkl[3] = {-1, 2, 3};
  EXPECT_EQ(inasu_(hkl, 6), 0);
  // Class -1 puts (-1, 2, 3) inside; the group's own class is restored after.
  EXPECT_EQ(inasu_(hkl, 3), 1);
  EXPECT_EQ(ptq7spg_current()->laue_code, 6);
  EXPECT_EQ(inasu_(hkl, 6), 0);
  Capture cap;
  EXPECT_EQ(inasu_(hkl, 42), 999);
  EXPECT_EQ(cap.out(), "INASU: unrecognised PTQ7 Laue code\n");
}

TEST_F(CodeBaseSymmetry, QueriesWithoutAGroupAreReported) {
  ptq7spg_mem_tidy();
  const int32_t hkl[3] = {1, 2, 3};
  Capture cap;
  EXPECT_EQ(inasu_(hkl, 3), 999);
  float eps = -1.0f;
  int32_t absent = -5;
  epslon_(hkl, eps, absent);
  EXPECT_EQ(eps, -1.0f);
  int32_t hl = 0, hh = 5, kl = 0, kh = 5, ll = 0, lh = 5;
  hklrange_(hl, hh, kl, kh, ll, lh);
  EXPECT_EQ(hl, 0);
  EXPECT_EQ(cap.out(),
            "INASU: No spacegroup loaded yet! \nEPSLON: No spacegroup loaded yet! \n"
            "HKLRANGE: No spacegroup loaded yet! \n");
  Capture quiet;
  EXPECT_EQ(run_end_status([&] {
              int32_t c = 0;
              centr_(hkl, c);
            }),
            1);
}

TEST_F(CodeBaseSymmetry, IndexRangesFollowTheAsymmetricUnit) {
  lookup(0, "P 21 21 21");
  int32_t hl = 0, hh = 10, kl = 0, kh = 10, ll = 0, lh = 10;
  hklrange_(hl, hh, kl, kh, ll, lh);
  EXPECT_EQ((std::vector<int32_t>{hl, hh, kl, kh, ll, lh}), (std::vector<int32_t>{0, 10, 0, 10, 0, 10}));
  lookup(0, "P 1");
  hl = kl = ll = 0;
  hh = kh = lh = 10;
  hklrange_(hl, hh, kl, kh, ll, lh);
  EXPECT_EQ((std::vector<int32_t>{hl, hh, kl, kh, ll, lh}), (std::vector<int32_t>{-10, 10, -10, 10, 0, 10}));
}

TEST_F(CodeBaseSymmetry, MapLimitsAndGrid) {
  float lim[6] = {9, 9, 9, 9, 9, 9};
  {
    Capture cap;
    setlim_(19, lim);
  }
  EXPECT_EQ(lim[0], 0.0f);
  EXPECT_NEAR(lim[1], 0.49999f, 1e-6f);
  EXPECT_NEAR(lim[3], 0.50001f, 1e-6f);
  EXPECT_NEAR(lim[5], 0.99999f, 1e-6f);
  float lim2[6] = {9, 9, 9, 9, 9, 9};
  {
    Capture cap;
    setlim_zero_(4321, lim2);
    EXPECT_NE(cap.out().find("SETLIM_ZERO: failed to load spacegroup info from SYMINFO! \n"),
              std::string::npos);
  }
  EXPECT_EQ(lim2[1], 9.0f);

  lookup(0, "P 21 21 21");
  int32_t nx = 0, ny = 0, nz = 0;
  setgrd_(6, 1.5f, 50, 40, 30, nx, ny, nz);
  // Multiples of 4 with no prime factor above 19 near 1.5 x the minimum.
  EXPECT_EQ((std::vector<int32_t>{nx, ny, nz}), (std::vector<int32_t>{76, 60, 44}));
  Capture cap;
  setgrd_(12, 1.5f, 50, 40, 30, nx, ny, nz);
  EXPECT_EQ(nz, 48);  // class 6/m samples c in multiples of 12
  EXPECT_EQ(ptq7spg_current()->laue_code, 6);
  EXPECT_NE(cap.out().find("NLAUE (supplied) = 12\nNLAUE (library)  = 6\n"), std::string::npos);
}

TEST_F(CodeBaseSymmetry, ChannelsAreIndependentOfTheCurrentGroup) {
  Capture cap;
  ptq7spg_f_load_by_name_(2, "P 61");
  const int32_t hkl[3] = {0, 0, 3};
  int32_t absent = -1;
  ptq7spg_f_is_sysabs_(2, hkl, absent);
  EXPECT_EQ(absent, 1);
  int32_t code = 0;
  rt::FixedText<10> name;
  ptq7spg_f_get_laue_(2, code, name);
  EXPECT_EQ(code, 12);
  EXPECT_EQ(name, "6/m");
  EXPECT_EQ(ptq7spg_current(), nullptr);
  cap.finish();

  Capture cap2;
  ptq7spg_f_is_sysabs_(5, hkl, absent);
  ptq7spg_f_is_sysabs_(3, hkl, absent);
  EXPECT_EQ(ptq7spg_f_inasu_(3, hkl), 999);
  EXPECT_EQ(cap2.out(),
            "Error in PTQ7SPG_F_IS_SYSABS: sindx 5 out of range!\n"
            "PTQ7SPG_F_IS_SYSABS: No spacegroup loaded on channel 3 ! \n"
            "PTQ7SPG_F_INASU: No spacegroup loaded on channel 3 ! \n");
  ptq7spg_f_load_by_name_(2, "");
}

TEST_F(CodeBaseSymmetry, GroupFromOperatorListAndPointGroup) {
  Result r = lookup(0, "P 4 21 2");
  ptq7spg_mem_tidy();
  rt::FixedText<10> pg;
  int32_t number = 0, nsymp = 0, laue = 0, nsym = r.nsym;
  Capture cap;
  asuset_("", number, pg, nsym, r.rsm.data(), nsymp, laue, 0);
  EXPECT_EQ(pg, "PG422");
  EXPECT_EQ(nsymp, 8);
  EXPECT_EQ(laue, 8);
  // The rotations alone give the point group's own group.
  int32_t np = 0;
  rt::FixedText<10> pg2;
  pgdefn_(pg2, np, r.nsym, r.rsm.data(), 0);
  EXPECT_EQ(pg2, "PG422");
  EXPECT_EQ(std::string(ptq7spg_current()->symbol_xhm), "P 4 2 2");
  int32_t code = 0;
  rt::FixedText<10> lname;
  pgnlau_("PG422", code, lname);
  EXPECT_EQ(code, 8);
  EXPECT_EQ(lname, "4/mmm");
}

TEST_F(CodeBaseSymmetry, SmallHelpers) {
  float x = -1, y = -1, z = -1;
  EXPECT_TRUE(handchange_(98, x, y, z));
  EXPECT_FLOAT_EQ(z, 0.25f);
  EXPECT_FALSE(handchange_(19, x, y, z));
  EXPECT_FLOAT_EQ(z, 0.25f);

  setrsl_(10, 20, 25, 90, 90, 90);
  EXPECT_NEAR(sthlsq_(1, 0, 0), 0.0025f, 1e-7f);
  EXPECT_NEAR(sts3r4_(0, 2, 5), (0.01f + 0.04f) / 4.0f, 1e-7f);

  const float s[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0.5f, 0, 0.25f, 1};
  float a[16];
  invsym_(s, a);
  // Inverse of (-y + 1/2, x, z + 1/4) is (y, -x + 1/2, z - 1/4).
  EXPECT_FLOAT_EQ(a[1], -1.0f);
  EXPECT_FLOAT_EQ(a[4], 1.0f);
  EXPECT_FLOAT_EQ(a[12], 0.0f);
  EXPECT_FLOAT_EQ(a[13], 0.5f);
  EXPECT_FLOAT_EQ(a[14], -0.25f);

  int32_t n = 0;
  fndsmp_(50, 2, 1.5f, n);
  EXPECT_EQ(n, 76);
  int32_t cls = 7, cen = 2, screw[3] = {1, 0, 1};
  pgmdf_(cls, cen, screw);
  int32_t c0 = 0, c1 = 0, s0[3] = {0, 0, 0};
  pgmdf_(c0, c1, s0);
  EXPECT_EQ(c0, 7);
  EXPECT_EQ(c1, 2);
  EXPECT_EQ(s0[2], 1);
}

TEST(GridSampling, SizesAndLimits) {
  EXPECT_EQ(get_grid_sample(50, 2, 1.5f), 76);
  EXPECT_EQ(get_grid_sample(0, 4, 2.0f), 4);
  EXPECT_EQ(get_grid_sample(100, 1, 1.0f), 100);  // 2^2 5^2, and none below 1.0 x 100 above 100
  EXPECT_EQ(get_grid_sample(23, 23, 1.0f), -1);   // 23, 46, 69 all hold 23
  EXPECT_EQ(get_grid_sample(10, 2, 0.5f), 16);    // 1.6 x 10
  EXPECT_EQ(all_factors_le_19(1), 0);
  EXPECT_EQ(all_factors_le_19(2 * 3 * 5 * 7 * 11 * 13 * 17 * 19), 1);
  EXPECT_EQ(all_factors_le_19(23 * 2), 0);
  float lim[2];
  range_to_limits("0<=x<1", lim);
  EXPECT_NEAR(lim[0], -0.00001f, 1e-9f);
  EXPECT_NEAR(lim[1], 0.99999f, 1e-7f);
  range_to_limits("0<=y<=1/2", lim);
  EXPECT_NEAR(lim[1], 0.50001f, 1e-7f);
  range_to_limits("-1/4<z<=1/4;", lim);
  EXPECT_NEAR(lim[0], -0.24999f, 1e-7f);
  EXPECT_NEAR(lim[1], 0.25001f, 1e-7f);
  range_to_limits("", lim);
  EXPECT_NEAR(lim[1], -0.00001f, 1e-9f);
}

TEST_F(CodeBaseSymmetry, ChannelLoadedByOperatorsPrintsItsSummary) {
  Result r = lookup(0, "P 21 21 21");
  Capture cap;
  ptq7spg_f_load_by_ops_(1, r.nsym, r.rsm.data());
  EXPECT_NE(cap.out().find("Reciprocal space symmetry: \n"
                           "Space group: \"P 21 21 21\" Point group: \"PG222\" Laue group: \"mmm\" \n"
                           "Reference asymmetric unit: \"h>=0 and k>=0 and l>=0\" \n"
                           "  (change of basis may be applied) \n"
                           "\n Spacegroup 19 \"P 21 21 21\" \n"),
            std::string::npos);
  // Operators of no group end the run.
  std::vector<float> odd(16, 0.0f);
  odd[1] = odd[6] = odd[8] = odd[9] = odd[10] = odd[15] = 1.0f;
  Capture cap2;
  EXPECT_EQ(run_end_status([&] { ptq7spg_f_load_by_ops_(1, 1, odd.data()); }), 1);
  EXPECT_NE(cap2.out().find("PTQ7SPG_F_LOAD_BY_OPS: no spacegroup info! \n"), std::string::npos);
}
