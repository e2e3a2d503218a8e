// Residue class detection from atom names, bonds and tree neighbours.
#include "dictionary/res_class_detect.h"

#include <gtest/gtest.h>

#include "component_l1.h"
#include "foundation/residue_class.h"

namespace {

int32_t by_names() {
  int32_t itype = 0, ierr = -1;
  precheck_res_type_(0, itype, ierr);
  EXPECT_EQ(ierr, 0);
  return itype;
}

void names_only(std::initializer_list<const char*> names) {
  descr::clear_l1();
  for (const char* n : names) descr::add_l1_atom({n, "C", ".", ".", ".", 0, 0, 0});
}

TEST(ResidueClassByNames, Components) {
  const struct {
    const char* label;
    const char* code;
    bool stars;
    int32_t expected;
  } cases[] = {
      {"peptide", "ALA", false, 3},
      {"nucleotide with asterisks", "A", true, 5},
      {"nucleotide with primes", "A", false, 1},
      {"pyranose", "NAG", false, 7},
      {"water", "HOH", false, 1},
  };
  for (const auto& c : cases) {
    comp::load_l1(comp::read(c.code, c.stars), c.code);
    EXPECT_EQ(by_names(), c.expected) << c.label;
  }
}

TEST(ResidueClassByNames, SugarNamesWinOverAPeptideBackbone) {
  names_only({"N", "CA", "C", "O", "C1", "C2", "C3", "C4", "C5", "O5"});
  EXPECT_EQ(by_names(), 7);
}

TEST(ResidueClassByBonds, RiboseMarkerMakesRna) {
  comp::load_l1(comp::read("A", true), "A");
  int32_t itype = 0, ierr = 0;
  check_res_type_by_atom_and_bond_(0, itype, ierr);
  EXPECT_EQ(itype, 5);
  EXPECT_EQ(r_scratch.l1l_type, "RNA");
  comp::load_l1(comp::read("DA", true), "DA");
  r_scratch.l1l_type = ".";
  check_res_type_by_atom_and_bond_(0, itype, ierr);
  EXPECT_EQ(itype, 5);
  EXPECT_EQ(r_scratch.l1l_type, "DNA");
}

TEST(ResidueClassByTree, PeptideCodeEnteredOnce) {
  init_res_type_tab_();
  names_only({"N", "CA", "C", "O"});
  r_scratch.l1l_mname = "XPP";
  const int32_t back[] = {0, 1, 2, 3};
  for (int i = 1; i <= 4; ++i) r_scratch.l1a_iback(i) = back[i - 1];
  const int32_t before = com_res_type.nrname_t;
  int32_t itype = 0, ierr = 0;
  check_res_type_(0, itype, ierr);
  check_res_type_(0, itype, ierr);
  EXPECT_EQ(itype, 3);
  EXPECT_EQ(com_res_type.nrname_t, before + 1);
  EXPECT_EQ(com_res_type.rname_t(before + 1), "XPP");
  init_res_type_tab_();
}

}  // namespace
