// The builder's input checks of atoms, bonds and chiral centres.
#include "dictionary/new_input_checks.h"

#include <gtest/gtest.h>

#include "component_l1.h"
#include "support/capture.h"

namespace {

TEST(AtomListCheck, HydrogensWithoutCoordinatesGoSilently) {
  comp::load_l1(comp::read("ALA"), "ALA");
  for (int i = 1; i <= r_scratch.l1a_natom; ++i)
    if (r_scratch.l1a_atype(i) == "H") r_scratch.l1a_coor_flag(i) = "N";
  int32_t ierr = -1;
  EXPECT_EQ(captured([&] { check_list_atom_(0, ierr); }), "");
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(r_scratch.l1a_natom, 6);
  EXPECT_EQ(r_scratch.l1a_aname(6), "OXT");
}

TEST(AtomListCheck, HeavyAtomWithoutCoordinatesStopsTheBuild) {
  comp::load_l1(comp::read("ALA"), "ALA", true);
  r_scratch.l1a_coor_flag(3) = ".";
  int32_t ierr = 0;
  EXPECT_EQ(captured([&] { check_list_atom_(0, ierr); }),
            "  ERROR: ALA     : can not create new monomer\n"
            "                    Some atoms without coordinates\n");
  EXPECT_EQ(ierr, 1);
}

TEST(AtomListCheck, NothingLeftKeepsTheCount) {
  descr::clear_l1();
  for (const char* n : {"H1", "H2"}) {
    const int i = descr::add_l1_atom({n, "H", ".", ".", ".", 0, 0, 0});
    r_scratch.l1a_atype(i) = "H";
    r_scratch.l1a_coor_flag(i) = "N";
  }
  int32_t ierr = 0;
  EXPECT_EQ(captured([&] { check_list_atom_(0, ierr); }), "  ERROR: ALA     : number atoms = 0\n");
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(r_scratch.l1a_natom, 2);
}

TEST(BondListCheck, ReversedRepeatIsDroppedAndAbsentNamesRefused) {
  descr::alanine_l1();
  descr::add_l1_bond("CA", "N", 1.47f);
  descr::add_l1_bond("XX", "YY", 1.47f);
  char route = 'Y';
  int32_t ierr = 0;
  const std::string out = captured([&] { check_list_bond_(0, route, ierr); });
  EXPECT_EQ(r_scratch.l1b_nbond, 6);
  EXPECT_EQ(r_scratch.l1b_1atm(6), "XX");
  EXPECT_EQ(ierr, 2);
  EXPECT_EQ(out,
            "  ERROR: ALA      : list of bonds: ATOM:XX   ?\n"
            "  ERROR: ALA      : list of bonds: ATOM:YY   ?\n");
}

TEST(BondListCheck, RouteFollowsTypesAndChemicalTypes) {
  const struct {
    const char* label;
    const char* bond_type;
    const char* chem;
    int32_t ntypes;
    char route;
  } cases[] = {
      {"complete types", "single", ".", 0, 'B'},
      {"untyped, chemical types unset", ".", ".", 0, 'L'},
      {"untyped, types unknown to the energy library", ".", "CH1", 0, 'L'},
      {"covalent, types known", "covale", "CH1", 1, 'Y'},
  };
  for (const auto& c : cases) {
    descr::alanine_l1();
    for (int i = 1; i <= r_scratch.l1a_natom; ++i) r_scratch.l1a_chem(i) = c.chem;
    for (int b = 1; b <= r_scratch.l1b_nbond; ++b) r_scratch.l1b_type(b) = c.bond_type;
    r_scratch.lea_natom = c.ntypes;
    r_scratch.lea_aname(1) = "CH1";
    char route = 'Y';
    int32_t ierr = 0;
    captured([&] { check_list_bond_(0, route, ierr); });
    EXPECT_EQ(route, c.route) << c.label;
  }
  r_scratch.lea_natom = 0;
}

TEST(ChiralCheck, CentresNeedTheirCentreAndEnoughPartners) {
  descr::alanine_l1();
  descr::add_l1_chir("CA", "N", "C", "CB", "positiv");    // all found: stays
  descr::add_l1_chir("CA", "XX", "C", "CB", "positiv");   // slot 2 missing: stays
  descr::add_l1_chir("CA", "XX", "YY", "CB", "positiv");  // slots 2 and 3 missing: dropped
  descr::add_l1_chir("CA", "XX", "YY", "ZZ", "cross4");   // metal shape: stays
  descr::add_l1_chir("QQ", "N", "C", "CB", "star5");      // centre missing: dropped
  int32_t ierr = -1;
  EXPECT_EQ(captured([&] { check_chir_atom_(0, ierr); }),
            "  WARNING: ALA     : some chirality is not defined\n");
  EXPECT_EQ(ierr, 0);
  ASSERT_EQ(r_scratch.l1c_nchir, 3);
  EXPECT_EQ(r_scratch.l1c_2atm(2), "XX");
  EXPECT_EQ(r_scratch.l1c_i2atm(2), 0);
  EXPECT_EQ(r_scratch.l1c_i3atm(2), 3);
  EXPECT_EQ(r_scratch.l1c_sign(3), "cross4");
}

}  // namespace
