// Space-group names from coordinate files to working operators, and element
// scattering factors, through the suite library.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "foundation/spgr_names.h"
#include "runtime/fixed_text.h"
#include "runtime/units.h"
#include "suite/csymlib_f.h"
#include "support/capture.h"

namespace {

class SpaceGroupNames : public testing::Test {
 protected:
  void SetUp() override {
    setenv("SYMINFO", (std::string(ORB_DATA_DIR) + "/syminfo.lib").c_str(), 1);
    setenv("ATOMSF", (std::string(ORB_DATA_DIR) + "/atomsf.lib").c_str(), 1);
  }
  void TearDown() override {
    ptq7spg_mem_tidy();
    rt::close_all_units();
    unsetenv("SYMINFO");
    unsetenv("ATOMSF");
  }

  struct Ops {
    int32_t number = 0;
    rt::FixedText<24> name;
    int32_t nsym = -1, ierr = -1;
    std::vector<float> rot = std::vector<float>(192 * 9 + 9, -9.0f);
    std::vector<float> trn = std::vector<float>(192 * 3 + 3, -9.0f);
    std::string out;
    // Rotation element (i, j), 1-based, of operator k.
    float r(int k, int i, int j) const { return rot[(k - 1) * 9 + (j - 1) * 3 + (i - 1)]; }
    float t(int k, int i) const { return trn[(k - 1) * 3 + (i - 1)]; }
  };

  Ops symm(const char* name, int32_t number = 0, int32_t capacity = 192) {
    Ops o;
    o.name = name;
    o.number = number;
    o.out = captured(
        [&] { get_symm_nb_new_(1, o.number, 1, o.name, o.nsym, o.rot.data(), o.trn.data(), capacity, o.ierr); });
    return o;
  }
};

}  // namespace

TEST_F(SpaceGroupNames, CoordinateFileSpellingsAreNormalised) {
  Ops p = symm("P 1-");
  EXPECT_EQ(p.ierr, 0);
  EXPECT_EQ(p.nsym, 2);
  EXPECT_EQ(p.name, "P -1");
  EXPECT_EQ(p.r(2, 1, 1), -1.0f);
  EXPECT_EQ(p.r(2, 3, 3), -1.0f);

  Ops r = symm("R 3(RHOM)");
  EXPECT_EQ(r.nsym, 3);
  EXPECT_EQ(r.name, "R 3");
  EXPECT_EQ(r.number, 1146);

  Ops a = symm("P 21 21 2 A");
  EXPECT_EQ(a.nsym, 4);
  EXPECT_EQ(a.name, "P 21212(a)");
}

TEST_F(SpaceGroupNames, OperatorsSplitIntoRotationsAndTranslations) {
  Ops o = symm("", 19);
  EXPECT_EQ(o.nsym, 4);
  EXPECT_EQ(o.name, "P 21 21 21");
  // Operator 3 is x+1/2, -y+1/2, -z.
  EXPECT_EQ(o.r(3, 1, 1), 1.0f);
  EXPECT_EQ(o.r(3, 2, 2), -1.0f);
  EXPECT_EQ(o.r(3, 3, 3), -1.0f);
  EXPECT_EQ(o.r(3, 1, 2), 0.0f);
  EXPECT_FLOAT_EQ(o.t(3, 1), 0.5f);
  EXPECT_FLOAT_EQ(o.t(3, 2), 0.5f);
  EXPECT_FLOAT_EQ(o.t(3, 3), 0.0f);
  EXPECT_EQ(o.r(5, 1, 1), -9.0f);
}

TEST_F(SpaceGroupNames, NeverWritesPastTheCallersCapacity) {
  Ops o = symm("P 21 21 21", 0, 2);
  EXPECT_EQ(o.nsym, 2);
  EXPECT_EQ(o.r(3, 1, 1), -9.0f);
  EXPECT_EQ(o.t(3, 1), -9.0f);
}

TEST_F(SpaceGroupNames, UnknownNameGivesNoOperators) {
  Ops o = symm("P 9 9 9");
  EXPECT_EQ(o.ierr, 0);
  EXPECT_EQ(o.nsym, 0);
  EXPECT_EQ(o.r(1, 1, 1), -9.0f);
  EXPECT_NE(o.out.find(" Failed to find spacegroup in SYMINFO! "), std::string::npos);
}

// A file that names its space group neither by name nor by number has
// none, whichever group a file read before loaded.
TEST_F(SpaceGroupNames, NeitherNameNorNumberGivesNoneAfterAnotherGroup) {
  ASSERT_EQ(symm("P 21 21 21", 19).nsym, 4);
  const Ops none = symm("");
  EXPECT_EQ(none.ierr, 0);
  EXPECT_EQ(none.nsym, 0);
  EXPECT_EQ(none.number, 0);
  EXPECT_TRUE(none.name.is_blank()) << none.name.str();
  EXPECT_EQ(none.rot[0], -9.0f);
}

TEST_F(SpaceGroupNames, ScatteringFactorsOfAnElement) {
  int32_t nel = 0, ierr = -1;
  float a1, a2, a3, a4, b1, b2, b3, b4, c, fp, fpp, radius = 5;
  captured([&] { get_sfa_("FE2+", 1, nel, a1, a2, a3, a4, b1, b2, b3, b4, c, fp, fpp, radius, ierr); });
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(nel, 26);
  EXPECT_NEAR(a1, 11.7695f, 1e-4f);
  EXPECT_NEAR(c, 1.0369f, 1e-4f);
  EXPECT_EQ(radius, 0.0f);
}

TEST_F(SpaceGroupNames, UnknownElementIsReportedWhateverTheMessageCode) {
  int32_t nel = -3, ierr = 0;
  float a1 = -1, a2, a3, a4, b1, b2, b3, b4, c, fp, fpp, radius = 5;
  const std::string out =
      captured([&] { get_sfa_("Q", 1, nel, a1, a2, a3, a4, b1, b2, b3, b4, c, fp, fpp, radius, ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(nel, -3);
  EXPECT_EQ(a1, -1.0f);
  EXPECT_EQ(radius, 5.0f);
  EXPECT_NE(out.find("  No match for ATOM IDQ\n"), std::string::npos);
}
