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
  // The International Tables number, not the library's own 1146.
  EXPECT_EQ(r.number, 146);

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

// A coordinate file's name and number: the name the library knows gives
// the group, a number that is not its group is named, the number stands in
// for a name missing or unknown, and a group the library lacks leaves the
// identity alone.  The number given back is the International Tables one.
TEST_F(SpaceGroupNames, FileGroupByNameThenNumber) {
  const struct {
    const char* label;
    const char* name;
    int32_t number;
    const char* want_name;
    int32_t want_number;
    int32_t nsym;
    const char* warning;  // "" for none
  } cases[] = {
      {"name and its number", "I 1 2 1", 5, "I 1 2 1", 5, 4, ""},
      {"name and the library's own number", "I 1 2 1", 4005, "I 1 2 1", 5, 4, ""},
      {"a setting other than the number's first", "P 21 2 21", 18, "P 21 2 21", 18, 4, ""},
      {"a number not the name's group", "I 1 2 1", 19, "I 1 2 1", 5, 4,
       "  WARNING: space group number 19 is not that of 'I 1 2 1' (5): the name is used\n"},
      {"a name the library lacks beside a number", "X 1 2 1", 5, "C 1 2 1", 5, 4,
       "  WARNING: space group 'X 1 2 1' is not in the symmetry library: its number 5 gives "
       "'C 1 2 1'\n"},
      {"a name of ? beside a number", "?", 5, "C 1 2 1", 5, 4, ""},
      {"the library's own number alone", "", 4005, "I 1 2 1", 5, 4, ""},
      {"a group the library lacks", "Q 1 2 1", 0, "Q 1 2 1", 0, 1,
       "  WARNING: space group 'Q 1 2 1' is not in the symmetry library\n"
       "           only the identity X,Y,Z stands: no symmetry copy is made\n"},
      {"a number the library lacks", "", 999, "", 999, 1,
       "  WARNING: space group number 999 is not in the symmetry library\n"
       "           only the identity X,Y,Z stands: no symmetry copy is made\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Ops o;
    o.name = c.name;
    o.number = c.number;
    o.out = captured([&] {
      foundation::file_space_group(o.name, o.number, o.nsym, o.rot.data(), o.trn.data(), 192);
    });
    EXPECT_EQ(o.name.trimmed(), c.want_name);
    EXPECT_EQ(o.number, c.want_number);
    ASSERT_EQ(o.nsym, c.nsym);
    EXPECT_EQ(o.out.find("WARNING") != std::string::npos, *c.warning != '\0') << o.out;
    if (*c.warning != '\0') {
      EXPECT_NE(o.out.find(c.warning), std::string::npos) << o.out;
    }
    if (c.nsym == 1) {
      for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) EXPECT_EQ(o.r(1, i, j), i == j ? 1.0f : 0.0f);
      EXPECT_EQ(o.t(1, 1), 0.0f);
      EXPECT_EQ(o.r(2, 1, 1), -9.0f);
    }
  }
  // P 21 2 21 is not P 21 21 2: its fourth operator is -x, y, -z.
  Ops s;
  s.name = "P 21 2 21";
  s.number = 18;
  captured([&] { foundation::file_space_group(s.name, s.number, s.nsym, s.rot.data(), s.trn.data(), 192); });
  EXPECT_EQ(s.r(4, 2, 2), 1.0f);
  EXPECT_EQ(s.t(4, 1), 0.0f);
  EXPECT_EQ(s.t(4, 2), 0.0f);
}

// Short monoclinic names in full, and R on hexagonal axes, by the cell's
// angles: the setting whose unique axis the cell shows.
TEST(SpaceGroupSettings, ShortNamesTakeTheSettingTheCellShows) {
  const float right = 1.5707964f, oblique = 1.7453293f, hex = 2.0943952f;
  const struct {
    const char* label;
    const char* name;
    float beta, gamma;
    const char* want;
    int32_t setting;
  } cases[] = {
      {"C 2, beta oblique", "C 2", oblique, right, "C 1 2 1", 2},
      {"C2, gamma oblique", "C2", right, oblique, "B 1 1 2", 1},
      {"P 21, all right", "P 21", right, right, "P 1 21 1", 2},
      {"P2, both oblique", "P2", oblique, oblique, "P 1 2 1", 2},
      {"R 3 on hexagonal axes", "R 3", right, hex, "H 3", 2},
      {"R 3 otherwise", "R 3", right, right, "R 3", 1},
      {"a full name", "I 1 2 1", oblique, right, "I 1 2 1", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    rt::FixedText<24> name(c.name);
    EXPECT_EQ(foundation::settle_space_group_name(name, c.beta, c.gamma), c.setting);
    EXPECT_EQ(name.trimmed(), c.want);
  }
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
