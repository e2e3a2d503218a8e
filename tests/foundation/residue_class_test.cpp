// Residue classes from the built-in lists and from the run-time table, and
// the listing of the table.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "foundation/messages.h"
#include "foundation/residue_class.h"
#include "runtime/units.h"

namespace {

int32_t standard(std::string_view name) {
  int32_t t = -1, ierr = -1;
  get_standard_res_type_(0, "", name, t, ierr);
  EXPECT_EQ(ierr, 0);
  return t;
}

int32_t table(std::string_view name) {
  int32_t t = -1, ierr = -1;
  get_ini_res_type_(0, "", name, t, ierr);
  EXPECT_EQ(ierr, 0);
  return t;
}

class ResidueClasses : public testing::Test {
 protected:
  void SetUp() override {
    com_res_type = com_res_type_t{};
    init_res_type_tab_();
  }
};

}  // namespace

TEST_F(ResidueClasses, TableStartsFromBuiltInLists) {
  EXPECT_EQ(com_res_type.nrname_t, 63);
  EXPECT_EQ(com_res_type.nrnamep_t, 17);
  EXPECT_EQ(com_res_type.nrnamed_t, 33);
  EXPECT_EQ(com_res_type.nrnames_t, 14);
  EXPECT_EQ(com_res_type.rname_t(1).str(), "CYS     ");
  EXPECT_EQ(com_res_type.rname_t(63).str(), "CSO     ");
  EXPECT_EQ(com_res_type.rname_t(401).str(), "STA     ");
  EXPECT_EQ(com_res_type.rname_t(633).str(), "Ir      ");
  EXPECT_EQ(com_res_type.rname_t(814).str(), "MMA     ");
}

TEST_F(ResidueClasses, EachListGivesItsClass) {
  for (std::string_view n : {"ALA", "MSE", "5HP", "TRY"}) {
    EXPECT_EQ(standard(n), 3) << n;
    EXPECT_EQ(table(n), 3) << n;
  }
  for (std::string_view n : {"ACE", "BAL", "NME"}) {
    EXPECT_EQ(standard(n), 10) << n;
    EXPECT_EQ(table(n), 10) << n;
  }
  for (std::string_view n : {"A", "+U", "PSU", "Ad", "Ir"}) {
    EXPECT_EQ(standard(n), 5) << n;
    EXPECT_EQ(table(n), 5) << n;
  }
  for (std::string_view n : {"NAG", "MMA"}) {
    EXPECT_EQ(standard(n), 7) << n;
    EXPECT_EQ(table(n), 7) << n;
  }
}

TEST_F(ResidueClasses, WaterAndUnknownNames) {
  EXPECT_EQ(standard("HOH"), 9);
  EXPECT_EQ(table("HOH"), 9);
  EXPECT_EQ(standard("DUM"), 9);
  EXPECT_EQ(table("DUM"), 9);
  EXPECT_EQ(standard("WAT"), 1);
  EXPECT_EQ(table("WAT"), 1);
  EXPECT_EQ(standard("ad"), 1);  // case matters
  EXPECT_EQ(standard("ZZZ"), 1);
  EXPECT_EQ(standard(""), 1);
}

TEST_F(ResidueClasses, BuiltInListsCompareThreeCharacters) {
  EXPECT_EQ(standard("MSE1"), 3);
  EXPECT_EQ(table("MSE1"), 1);
  EXPECT_EQ(standard("ALA     "), 3);
  EXPECT_EQ(standard("AB"), 1);  // "A" matches only with blanks behind it
  EXPECT_EQ(standard("A  X"), 5);
  EXPECT_EQ(table("A  X"), 1);
}

TEST_F(ResidueClasses, LibraryAdditionsAreSeenByTableOnly) {
  const int k = ++com_res_type.nrnames_t;
  com_res_type.rname_t(800 + k) = "BGC";
  EXPECT_EQ(table("BGC"), 7);
  EXPECT_EQ(standard("BGC"), 1);
  com_res_type.nrname_t = 64;
  com_res_type.rname_t(64) = "LONGNAME";
  EXPECT_EQ(table("LONGNAME"), 3);
  EXPECT_EQ(table("LONGNAMEX"), 1);
  // A name beyond the count is not part of the table.
  com_res_type.rname_t(65) = "XTRA";
  EXPECT_EQ(table("XTRA"), 1);
}

TEST_F(ResidueClasses, ListingSkipsEmptyLists) {
  com_res_type.nrname_t = 2;
  com_res_type.nrnamep_t = 0;
  com_res_type.nrnamed_t = 1;
  com_res_type.nrnames_t = 0;
  comlib.iquiet = 0;
  comlib.idoc = 0;
  std::fflush(stdout);
  testing::internal::CaptureStdout();
  int32_t ierr = 5;
  write_lib_res_type_tab_(0, ierr);
  rt::unit_flush(6);
  std::fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            " --- L/D - peptides ---\n    1) CYS\n    2) SER\n --- DNA/RNA ---\n    1) A\n");
  EXPECT_EQ(ierr, 0);
}
