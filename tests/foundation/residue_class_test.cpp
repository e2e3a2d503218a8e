// Residue classes from the built-in lists and from the run-time table, and
// the listing of the table.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "foundation/messages.h"
#include "foundation/residue_class.h"
#include "runtime/units.h"
#include "support/capture.h"

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
  EXPECT_EQ(com_res_type.nrnamed_t, 39);
  EXPECT_EQ(com_res_type.nrnames_t, 14);
}

TEST_F(ResidueClasses, EachListGivesItsClass) {
  const struct {
    const char* name;
    int32_t cls;
  } cases[] = {{"ALA", 3},  {"MSE", 3},  {"5HP", 3}, {"TRY", 3}, {"ACE", 10},
               {"BAL", 10}, {"NME", 10}, {"A", 5},   {"+U", 5},  {"PSU", 5},
               {"Ad", 5},   {"Ir", 5},   {"NAG", 7}, {"MMA", 7}, {"HOH", 9},
               {"DUM", 9},  {"WAT", 1},  {"DA", 5},  {"DC", 5},  {"DG", 5},
               {"DT", 5},   {"DI", 5},   {"DU", 5},  {"DAL", 3}, {"DAR", 3}};
  for (const auto& c : cases) {
    EXPECT_EQ(standard(c.name), c.cls) << c.name;
    EXPECT_EQ(table(c.name), c.cls) << c.name;
  }
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
  int32_t ierr = 5;
  EXPECT_EQ(captured([&] { write_lib_res_type_tab_(0, ierr); }),
            " --- L/D - peptides ---\n    1) CYS\n    2) SER\n --- DNA/RNA ---\n    1) A\n");
  EXPECT_EQ(ierr, 0);
}

TEST(ResidueNameLists, NamesFromAnEightCharacterFieldMatchBlankPadded) {
  const rt::FixedText<8> hyp_d("HYP-D");
  EXPECT_TRUE(foundation::is_proline_like(hyp_d.view()));
  EXPECT_TRUE(foundation::is_n_methyl("SAR     "));
  EXPECT_FALSE(foundation::is_proline_like("PRO-DX"));  // a longer name is another residue
  EXPECT_FALSE(foundation::is_proline_like(std::string_view("PRO\0\0\0\0\0", 8)));  // never set
}
