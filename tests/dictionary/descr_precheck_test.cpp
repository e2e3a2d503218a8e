// The description precheck: pieces of the bond graph, "DUMMY" tree
// connections, and bonds naming absent atoms.
#include "dictionary/descr_precheck.h"

#include <gtest/gtest.h>

#include "descr_builder.h"
#include "support/capture.h"

namespace {

// Sodium chloride as two ions; with `hung`, the library tree hangs the
// chloride on the sodium by a "DUMMY" connection.
void salt(bool hung) {
  descr::clear_l1();
  r_scratch.l1l_mname = "NACL";
  descr::add_l1_atom({"NA", "NA", "NA", ".", "CL", 0, 0, 0});
  descr::add_l1_atom({"CL", "CL", "CL", hung ? "NA" : ".", "END", 2.8f, 0, 0});
  if (hung) r_scratch.l1a_type(2) = "DUMMY";
}

TEST(DescriptionPrecheck, SaltOfTwoIonsIsInTwoPieces) {
  salt(false);
  int32_t ierr = 0;
  const std::string out = captured([&] { precheck_l1_mon_description_(0, 'N', ierr); });
  EXPECT_EQ(ierr, 10);
  EXPECT_EQ(out,
            "  WARNING: monomer:NACL     not completely connected.\n"
            "           program will add    1 additional connections in tree structure\n");
}

TEST(DescriptionPrecheck, DummyTreeConnectionJoinsThePieces) {
  salt(true);
  int32_t ierr = 0;
  const std::string out = captured([&] { precheck_l1_mon_description_(0, 'N', ierr); });
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(out, "");
  EXPECT_EQ(r_scratch.l1b_nbond, 0);  // the joining bond lives in the scratch copy only
}

TEST(DescriptionPrecheck, MinimalDescriptionIgnoresTreeConnections) {
  salt(true);
  r_scratch.l1l_prsnt = "M";
  int32_t ierr = 0;
  captured([&] { precheck_l1_mon_description_(0, 'N', ierr); });
  EXPECT_EQ(ierr, 10);
}

TEST(DescriptionPrecheck, BondToAnAbsentAtomAddsHundred) {
  descr::alanine_l1();
  descr::add_l1_bond("C", "OT2", 1.25f);
  int32_t ierr = 0;
  captured([&] { precheck_l1_mon_description_(0, 'N', ierr); });
  EXPECT_EQ(ierr, 100);
  descr::alanine_l1();
  descr::add_l1_bond("C", "OT2", 1.25f);
  descr::add_l1_atom({"ZN", "ZN", "ZN", ".", ".", 9, 9, 9});
  captured([&] { precheck_l1_mon_description_(0, 'N', ierr); });
  EXPECT_EQ(ierr, 110);
}

}  // namespace
