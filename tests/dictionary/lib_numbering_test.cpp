// Numbering of library entries: restraint rows pointed at atoms, plane
// atoms on trimmed names, and the ideal volumes of chiral centres.
#include "dictionary/lib_numbering.h"

#include <gtest/gtest.h>

#include "descr_builder.h"

namespace {

TEST(LibraryNumbering, BondTakesTheLaterAtomOfANameAndAPlaneTheFirst) {
  descr::alanine_l1();
  descr::add_l1_atom({"CB", "C", "CH3", "CA", ".", 0, 0, 0});  // atom 7 repeats CB
  descr::add_l1_plane("plan-1", {"CA", "CB", "N"});
  set_num_lib_(0, 'N');
  EXPECT_EQ(r_scratch.l1b_i2atm(3), 7);
  EXPECT_EQ(r_scratch.l1p_iatom(2, 1), 5);
}

TEST(LibraryNumbering, UnmatchedBondKeepsItsIndexAndUnmatchedPlaneAtomGetsNone) {
  descr::alanine_l1();
  descr::add_l1_bond("C", "OT2", 1.25f);
  r_scratch.l1b_i2atm(6) = 42;
  descr::add_l1_plane("plan-1", {"C", "OT2"});
  r_scratch.l1p_iatom(2, 1) = 42;
  set_num_lib_(0, 'N');
  EXPECT_EQ(r_scratch.l1b_i1atm(6), 3);
  EXPECT_EQ(r_scratch.l1b_i2atm(6), 42);
  EXPECT_EQ(r_scratch.l1p_iatom(1, 1), 3);
  EXPECT_EQ(r_scratch.l1p_iatom(2, 1), 0);
}

TEST(LibraryNumbering, ChiralCentreGetsItsIdealVolume) {
  // Tetrahedral CA of alanine: N-CA 1.458, CA-C 1.525, CA-CB 1.520 (Engh &
  // Huber 1991) and all angles 109.47: 1.458 * 1.525 * 1.520 *
  // sqrt(1 - 3/9 - 2/27) = 2.6017.
  descr::alanine_l1();
  r_scratch.l1b_nbond = 0;
  descr::add_l1_bond("N", "CA", 1.458f);
  descr::add_l1_bond("CA", "C", 1.525f);
  descr::add_l1_bond("CA", "CB", 1.520f);
  descr::add_l1_angle("N", "CA", "C", 109.47f);
  descr::add_l1_angle("N", "CA", "CB", 109.47f);
  descr::add_l1_angle("C", "CA", "CB", 109.47f);
  descr::add_l1_chir("CA", "N", "C", "CB", "negativ");
  r_scratch.l1c_vol(1) = 0.0f;
  set_num_lib_(0, 'N');
  EXPECT_EQ(r_scratch.l1c_i1atm(1), 2);
  EXPECT_EQ(r_scratch.l1c_i4atm(1), 5);
  EXPECT_NEAR(r_scratch.l1c_vol(1), 2.6017f, 0.002f);
}

}  // namespace
