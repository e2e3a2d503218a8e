// Bond and angle rows: library matching by type, generic and observed
// fall-backs with their warnings, defaults, triangles and full tables.
#include "builder/bond_angle_values.h"

#include <gtest/gtest.h>

#include "geom_fixture.h"
#include "support/capture.h"

using namespace geomtest;

namespace {

struct BondValues : L1Test {};

TEST_F(BondValues, FirstEntryWhoseTypeAgreesOnFourLettersWins) {
  const int a = atom("C1", "C", "CR6", 0, 0, 0);
  const int b = atom("C2", "C", "CR6", 1.4f, 0, 0, a);
  lib_bond("CR6", "CR6", "single", 1.50f);
  lib_bond("CR6", "CR6", "doub", 1.34f);
  lib_bond("CR6", "CR6", "double", 1.30f);
  r_scratch.l1b_nbond = 1;
  r_scratch.l1b_1atm(1) = "C1";
  r_scratch.l1b_2atm(1) = "C2";
  r_scratch.l1b_type(1) = "double";
  int32_t ierr = 9;
  set_vbond_(0, "TST", a, b, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(r_scratch.l1b_nbond, 1);
  EXPECT_EQ(r_scratch.l1b_type(1).str(), "double  ");
  EXPECT_FLOAT_EQ(r_scratch.l1b_val(1), 1.34f);
  EXPECT_FLOAT_EQ(r_scratch.l1b_eval(1), 1.34f);
  EXPECT_NEAR(r_scratch.l1b_vobs(1), 1.4f, 1e-5);
}

TEST_F(BondValues, NoTypeAgreesTakesTheLastMatchingEntry) {
  const int a = atom("C1", "C", "CH2", 0, 0, 0);
  const int b = atom("C2", "C", "CH3", 1.5f, 0, 0, a);
  lib_bond("CH3", "CH2", "single", 1.52f);
  lib_bond("CH2", "CH3", "double", 1.33f);
  int32_t ierr = 0;
  set_vbond_(0, "TST", a, b, ierr);
  EXPECT_EQ(r_scratch.l1b_type(1).str(), "coval   ");
  EXPECT_FLOAT_EQ(r_scratch.l1b_val(1), 1.33f);
}

TEST_F(BondValues, GenericLengthsOfBothTypesAreAveraged) {
  const int a = atom("C1", "C", "CH2", 0, 0, 0);
  const int b = atom("N1", "N", "NH1", 1.5f, 0, 0, a);
  lib_bond("CH2", ".", "single", 0.77f);
  lib_bond("NH1", ".", "single", 0.70f);
  int32_t ierr = 0;
  set_vbond_(0, "TST", a, b, ierr);
  EXPECT_FLOAT_EQ(r_scratch.l1b_val(1), 0.735f);
  EXPECT_FLOAT_EQ(r_scratch.l1b_eval(1), 0.735f);
}

TEST_F(BondValues, PlausibleObservedLengthIsUsedWithTwoWarningLines) {
  const int a = atom("C1", "C", "CH3", 0, 0, 0);
  const int b = atom("H1", "H", "HCH3", 1.09f, 0, 0, a);
  int32_t ierr = 0;
  const std::string out = captured([&] { set_vbond_(0, "TST     ", a, b, ierr); });
  EXPECT_FLOAT_EQ(r_scratch.l1b_val(1), 1.09f);
  EXPECT_FLOAT_EQ(r_scratch.l1b_eval(1), 0.0f);
  EXPECT_EQ(out,
            "  WARNING : TST      : observed bond legnth will be used\n"
            "              chem_type: CH3 -H       1.090 (C1  -H1  )\n");
}

TEST_F(BondValues, ImplausibleOrBorderObservedLengthGivesTheSilentDefault) {
  struct Row {
    const char* label;
    const char* s1;
    const char* s2;
    float obs, want;
  } rows[] = {
      {"C-H at 1.25 is too long", "C", "H", 1.25f, 0.96f},
      {"C-H at exactly 1.2 is not below the limit", "C", "H", 1.2f, 0.96f},
      {"two metals at 2.6", "ZN", "CU", 2.6f, 2.6f},
      {"C-S at 1.82", "C", "S", 1.82f, 1.82f},
      {"C-S at 2.1", "C", "S", 2.1f, 1.8f},
      {"no coordinates", "C", "C", 0.0f, 1.45f},
  };
  for (const Row& row : rows) {
    clear_all();
    const int a = atom("A1", row.s1, ".", 0, 0, 0);
    const int b = atom("A2", row.s2, ".", row.obs, 0, 0, a);
    if (row.obs == 0.0f) r_scratch.l1a_coor_flag(b) = "N";
    int32_t ierr = 0;
    captured([&] { set_vbond_(0, "TST", a, b, ierr); });
    EXPECT_NEAR(r_scratch.l1b_val(1), row.want, 1e-5) << row.label;
  }
}

TEST_F(BondValues, HydrogenOnSulfurOrHeavierTakesTheLengthOfItsElement) {
  struct Row {
    const char* label;
    const char* s1;
    const char* s2;
    float obs, want;
  } rows[] = {
      {"S-H at its real 1.34 is plausible", "S", "H", 1.34f, 1.34f},
      {"H-S at 0.96 is too short for sulfur", "H", "S", 0.96f, 1.34f},
      {"P-H at 1.7 is too long", "P", "H", 1.7f, 1.42f},
      {"Se-H without coordinates", "SE", "H", 0.0f, 1.47f},
      {"H-H keeps the hydrogen row", "H", "H", 1.1f, 1.1f},
      {"N-H at 1.3 keeps the hydrogen row", "N", "H", 1.3f, 0.96f},
  };
  for (const Row& row : rows) {
    clear_all();
    const int a = atom("A1", row.s1, ".", 0, 0, 0);
    const int b = atom("A2", row.s2, ".", row.obs, 0, 0, a);
    if (row.obs == 0.0f) r_scratch.l1a_coor_flag(b) = "N";
    int32_t ierr = 0;
    captured([&] { set_vbond_(0, "TST", a, b, ierr); });
    EXPECT_NEAR(r_scratch.l1b_val(1), row.want, 1e-5) << row.label;
  }
}

TEST_F(BondValues, FullBondTableRefusesANewBond) {
  const int a = atom("C1", "C", ".", 0, 0, 0);
  const int b = atom("C2", "C", ".", 1.5f, 0, 0, a);
  r_scratch.l1b_nbond = MAX1BND;
  for (int l = 1; l <= MAX1BND; ++l) r_scratch.l1b_1atm(l) = r_scratch.l1b_2atm(l) = "X";
  int32_t ierr = 0;
  const std::string out = captured([&] { set_vbond_(0, "TST", a, b, ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(r_scratch.l1b_nbond, MAX1BND);
  EXPECT_EQ(out,
            "  ERROR: number of bonds of monomer >   300\n"
            "          Change parameter MAX1BND in \"lib_com\"\n");
}

struct AngleValues : L1Test {};

TEST_F(AngleValues, LibraryAngleMatchesInReverseOrder) {
  const int a = atom("C1", "C", "CH3", 0, 0, 0);
  const int b = atom("C2", "C", "CH2", 1.5f, 0, 0, a);
  const int c = atom("O1", "O", "OH1", 2.0f, 1.4f, 0, b);
  lib_angle("OH1", "CH2", "CH3", 109.0f);
  int32_t ierr = 0;
  set_vangl_(0, "TST", a, b, c, ierr);
  EXPECT_FLOAT_EQ(r_scratch.l1g_val(1), 109.0f);
  EXPECT_FLOAT_EQ(r_scratch.l1g_eval(1), 109.0f);
  EXPECT_FLOAT_EQ(r_scratch.l1g_dev(1), 3.0f);
}

TEST_F(AngleValues, WithoutLibraryOrCoordinatesTheAngleIsTetrahedral) {
  const int a = atom("C1", "C", "CH3", 0, 0, 0);
  const int b = atom("C2", "C", "CH2", 1.5f, 0, 0, a);
  const int c = atom("O1", "O", "OH1", 2.0f, 1.4f, 0, b);
  r_scratch.l1a_coor_flag(c) = "N";
  int32_t ierr = 0;
  const std::string out = captured([&] { set_vangl_(0, "TST", a, b, c, ierr); });
  EXPECT_EQ(out, "");
  EXPECT_FLOAT_EQ(r_scratch.l1g_val(1), 109.47f);
  EXPECT_FLOAT_EQ(r_scratch.l1g_vobs(1), 0.0f);
}

TEST_F(AngleValues, GenericRightAngleAtALinearMetalBecomesStraight) {
  const int m = atom("ZN", "ZN", "ZN", 0, 0, 0);
  const int a = atom("N1", "N", "N", 2.0f, 0, 0, m);
  const int b = atom("N2", "N", "N", -2.0f, 0.1f, 0, m);
  lib_angle(".", "ZN", ".", 90.0f);
  int32_t ierr = 0;
  set_vangl_(0, "TST", a, m, b, ierr);
  EXPECT_FLOAT_EQ(r_scratch.l1g_val(1), 180.0f);
}

TEST_F(AngleValues, CyclopropaneAnglesComeFromTheIdealSides) {
  const int a = atom("C1", "C", "CH2", 0, 0, 0);
  const int b = atom("C2", "C", "CH2", 1.51f, 0, 0, a);
  const int c = atom("C3", "C", "CH2", 0.755f, 1.3f, 0, b);
  lib_bond("CH2", "CH2", "single", 1.51f);
  int32_t ierr = 0;
  set_vbond_(0, "TST", a, b, ierr);
  set_vbond_(0, "TST", b, c, ierr);
  set_vbond_(0, "TST", c, a, ierr);
  lib_angle("CH2", "CH2", "CH2", 111.0f);
  set_vangl_(0, "TST", a, b, c, ierr);
  set_triangle_angles_(0, 'N', ierr);
  EXPECT_EQ(ierr, 0);
  ASSERT_EQ(r_scratch.l1g_nangl, 3);  // the existing row replaced, two rows added
  for (int g = 1; g <= 3; ++g) EXPECT_NEAR(r_scratch.l1g_val(g), 60.0f, 1e-3) << "row " << g;
}

}  // namespace
