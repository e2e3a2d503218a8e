// Special positions: the multiplicity an atom on a symmetry axis gets, the
// lines that report it, and the atoms that are not tested.
#include <gtest/gtest.h>

#include "connect/spec_pos.h"
#include "coords/pdb_fixture.h"

namespace {

using pdbtest::line;

// P 2 2 2 (four operators): an atom at fractional (0, 0, z) sits on the
// two-fold axis along c, an atom at a general place on none.
pdbtest::ReadResult read_axis_model() {
  const std::vector<std::string> lines = {
      "CRYST1   50.000   60.000   70.000  90.00  90.00  90.00 P 2 2 2       4",
      line({.rec = "HETATM", .serial = 1, .name = "ZN  ", .res = "ZN", .resnum = 1, .x = 0, .y = 0,
            .z = 10, .elem = "ZN"}),
      line({.rec = "HETATM", .serial = 2, .name = " O  ", .res = "HOH", .resnum = 2, .x = 11,
            .y = 13, .z = 17, .elem = " O"}),
  };
  return pdbtest::read_pdb(lines);
}

TEST(SpecialPositions, AtomOnTwoFoldAxisGetsMultiplicityTwoAndKeepsTheColumn) {
  ASSERT_EQ(read_axis_model().ierr, 0);
  com_out_cif.out_cif_mult = 1;
  int32_t ierr = -1;
  const std::string out = captured([&] { def_spec_pos_(0, 'Y', 0.5f, ierr); });
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(atom_crd.mult_factor(1), 2);
  EXPECT_EQ(atom_crd.mult_factor(2), 1);
  EXPECT_EQ(com_out_cif.out_cif_mult, 0);
  const std::string key(resid_inf.res_num_pdb(1).view());
  EXPECT_EQ(out, "  WARNING : Atom ZN   . of residue: ZN       Ir:" + key.substr(2, 5) + " ch:" + key +
                     " in special position\n            mult=  2;  please, check occupancy.\n");
}

TEST(SpecialPositions, ReportOnlyLeavesMultiplicityAndColumn) {
  ASSERT_EQ(read_axis_model().ierr, 0);
  com_out_cif.out_cif_mult = 1;
  int32_t ierr = -1;
  const std::string out = captured([&] { def_spec_pos_(0, 'N', 0.5f, ierr); });
  EXPECT_EQ(atom_crd.mult_factor(1), 1);
  EXPECT_EQ(com_out_cif.out_cif_mult, 1);
  const std::string key(resid_inf.res_num_pdb(1).view());
  EXPECT_EQ(out, "  INFO:     Atom ZN   . of residue: ZN       Ir:" + key.substr(2, 5) + " ch" + key +
                     " in special position\n            mult=  2, now atom\"s mult=  1 program did not "
                     "change it\n");
}

TEST(SpecialPositions, OccupancyAtTheThresholdIsNotTestedJustAboveItIs) {
  ASSERT_EQ(read_axis_model().ierr, 0);
  int32_t ierr = 0;
  atom_crd.occup(1) = 0.0001f;
  captured([&] { def_spec_pos_(0, 'Y', 0.5f, ierr); });
  EXPECT_EQ(atom_crd.mult_factor(1), 1);
  atom_crd.occup(1) = 0.00011f;
  captured([&] { def_spec_pos_(0, 'Y', 0.5f, ierr); });
  EXPECT_EQ(atom_crd.mult_factor(1), 2);
}

TEST(SpecialPositions, DummyAtomsAndAZeroLimitAreNotTested) {
  ASSERT_EQ(read_axis_model().ierr, 0);
  int32_t ierr = -1;
  EXPECT_EQ(captured([&] { def_spec_pos_(0, 'Y', 0.0f, ierr); }), "");
  EXPECT_EQ(ierr, 0);
  atom_inf.atm_type(1) = "D";
  EXPECT_EQ(captured([&] { def_spec_pos_(0, 'Y', 0.5f, ierr); }), "");
  EXPECT_EQ(atom_crd.mult_factor(1), 1);
}

TEST(SpecialPositions, EmptyModelIsAnError) {
  int32_t ierr = 0;
  init_atm_inf_(0, ierr);
  const std::string out = captured([&] { def_spec_pos_(0, 'Y', 0.5f, ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(out, " ERROR: in \"DEF_SPEC_POS\", N_GROUP or N_ATOM = 0\n");
}

}  // namespace
