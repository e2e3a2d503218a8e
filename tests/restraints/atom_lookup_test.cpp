// Finding residue atoms with their alternate positions, and which
// combinations of positions may form one restraint.
#include "restraints/atom_lookup.h"

#include <gtest/gtest.h>

#include "residue_fixture.h"
#include "support/capture.h"

namespace {

class AtomLookup : public testing::Test {
 protected:
  void SetUp() override { rtest::clear_c1(); }
  int32_t find(const char* name) {
    ierr = -1;
    srch_num_(0, name, n, corr, iname, ierr);
    return n;
  }
  int32_t n = -1, ierr = -1;
  restraints::AltCodes corr;
  restraints::AltPlaces iname;
};

}  // namespace

TEST_F(AtomLookup, MainPositionFirstThenAlternatesInTreeOrder) {
  rtest::add({"N", {0, 0, 0}});
  rtest::add({"CB", {1, 0, 0}, "A"});
  rtest::add({"CA", {2, 0, 0}});
  rtest::add({"CB", {1, 1, 0}, "B"});
  rtest::add({"CB", {1, 2, 0}, "C", 1, "Y", "2"});
  ASSERT_EQ(find("CB"), 3);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(iname(1), 2);
  EXPECT_EQ(iname(2), 4);
  EXPECT_EQ(iname(3), 5);
  EXPECT_EQ(corr(1), ".A");
  EXPECT_EQ(corr(2), ".B");
  EXPECT_EQ(corr(3), "2C");
}

TEST_F(AtomLookup, AbsentAndDeletedAtomsAreNotFoundMissingOnesAre) {
  rtest::add({"OXT", {0, 0, 0}, ".", 1, "U"});
  rtest::add({"H", {0, 0, 0}, ".", 1, "D"});
  rtest::add({"CG", {0, 0, 0}, ".", 0, "M"});
  EXPECT_EQ(find("OXT"), 0);
  EXPECT_EQ(find("H"), 0);
  EXPECT_EQ(find("CG"), 1);
  EXPECT_EQ(find("CG1"), 0);  // a longer name is another name
}

TEST_F(AtomLookup, PositionsBeyondTheTableAreReportedAndDropped) {
  const char* codes = "ABCDEFGHIJKLMNOPQRSTUV";  // 22 positions of one name
  for (int i = 0; i < 22; ++i) rtest::add({"SG", {0, 0, float(i)}, std::string(1, codes[i]).c_str()});
  std::string out = captured([&] { find("SG"); });
  EXPECT_EQ(n, MX1ALT);
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(iname(MX1ALT), MX1ALT);
  const std::string twice =
      "  ERR: number of alt. positions >    20\n"
      "          Change parameter MX1ALT in \"lib_com\"\n";
  EXPECT_EQ(out, twice + twice);
}

TEST(AltCompatibility, CodesThatMayShareARestraint) {
  struct Row {
    const char* label;
    std::vector<const char*> codes;
    char expect;
  };
  const Row rows[] = {
      {"common atom with conformer A", {"..", ".A"}, 'Y'},
      {"conformers A and B", {".A", ".B"}, 'N'},
      {"correction code against a conformer", {"1.", ".A"}, 'N'},
      {"two common atoms", {"..", ".."}, 'Y'},
      {"one correction code throughout", {"1A", "..", "1B"}, 'Y'},
      {"two correction codes", {"1.", "2."}, 'N'},
      {"torsion A A B A", {".A", ".A", ".B", ".A"}, 'N'},
      {"torsion A common A common", {".A", "..", ".A", ".."}, 'Y'},
  };
  for (const Row& row : rows) {
    std::vector<rt::FixedText<2>> corr;
    for (const char* c : row.codes) corr.emplace_back(c);
    char check = '?';
    chk_alt_(static_cast<int32_t>(corr.size()), corr.data(), check);
    EXPECT_EQ(check, row.expect) << row.label;
  }
}
