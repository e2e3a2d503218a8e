// The fixed-column atom line of the CIF row readers, field by field: the
// serial (I5), residue number (I4), coordinates (F8.3), occupancy and B
// (F6.2) and multiplicity (I2) right-justified, rounded half to even, and
// filled with asterisks when a value does not fit its columns.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "coords/cif_atom_rows.h"
#include "foundation/atom_com.h"

namespace {

class CifAtomLine : public testing::Test {
 protected:
  void SetUp() override {
    crdatm.cr_iatold = 1;
    crdatm.cr_aname = "CA";
    crdatm.cr_asymb = "C";
    crdatm.cr_atype = ".";
    crdatm.cr_alt = ".";
    crdatm.cr_corr = ".";
    crdatm.cr_rname = "ALA";
    crdatm.cr_ires = 1;
    crdatm.cr_group = "AA";
    for (int i = 1; i <= 3; ++i) crdatm.cr_xyz(i) = 0.0f;
    crdatm.cr_occ = 1.0f;
    crdatm.cr_biso = 10.0f;
    crdatm.cr_btype = ".";
    crdatm.cr_mult_factor = 1;
  }
  std::string line() {
    cif_atom_line(0, crdatm.cr_line);
    return crdatm.cr_line.str();
  }
  // Columns from..to (1-based, inclusive) of the line.
  std::string cols(int from, int to) { return line().substr(from - 1, to - from + 1); }
  std::string x_field(float v) {
    crdatm.cr_xyz(1) = v;
    return cols(35, 42);
  }
  std::string occ_field(float v) {
    crdatm.cr_occ = v;
    return cols(62, 67);
  }
};

}  // namespace

TEST_F(CifAtomLine, CoordinateFitsEightColumnsOrGivesAsterisks) {
  const float inf = std::numeric_limits<float>::infinity();
  // 9999.999 is 9999.99902 in single precision: 9999999 thousandths, which
  // fit; 0.0005 is slightly above the half.
  for (auto [v, want] : {std::pair{-1.5f, "  -1.500"}, {1234.5f, "1234.500"}, {-999.5f, "-999.500"},
                         {0.25f, "   0.250"}, {0.0f, "   0.000"}, {9999.999f, "9999.999"}, {0.0005f, "   0.001"},
                         {10000.0f, "********"}, {-1000.0f, "********"}, {3.0e9f, "********"},
                         {2.0e15f, "********"}, {inf, "********"}, {std::nanf(""), "********"}})
    EXPECT_EQ(x_field(v), want) << v;
}

TEST_F(CifAtomLine, OccupancyAndBFitSixColumnsRoundingHalfToEven) {
  // 0.125 and 0.375 are exact binary values: 12.5 and 37.5 hundredths.
  for (auto [v, want] : {std::pair{0.125f, "  0.12"}, {0.375f, "  0.38"}, {-2.625f, " -2.62"}, {999.99f, "999.99"},
                         {-99.5f, "-99.50"}, {1000.0f, "******"}, {-100.0f, "******"}})
    EXPECT_EQ(occ_field(v), want) << v;
  crdatm.cr_biso = 12.25f;
  EXPECT_EQ(cols(69, 74), " 12.25");
}

TEST_F(CifAtomLine, IntegerFieldsAndTheirLimits) {
  for (auto [v, want] : {std::pair{99999, "99999"}, {100000, "*****"}, {-9999, "-9999"}, {-10000, "*****"}, {7, "    7"}}) {
    crdatm.cr_iatold = v;
    EXPECT_EQ(cols(1, 5), want) << v;
  }
  for (auto [v, want] : {std::pair{9999, "9999"}, {10000, "****"}, {-999, "-999"}, {-1000, "****"}}) {
    crdatm.cr_ires = v;
    EXPECT_EQ(cols(27, 30), want) << v;
  }
}

TEST_F(CifAtomLine, MultiplicityColumns) {
  EXPECT_EQ(cols(78, 79), ". ");
  crdatm.cr_mult_factor = 5;
  EXPECT_EQ(cols(78, 79), " 5");
  crdatm.cr_mult_factor = 150;
  EXPECT_EQ(cols(78, 79), "99");
}

TEST_F(CifAtomLine, WholeLineEndsInBlanks) {
  crdatm.cr_iatold = 17;
  crdatm.cr_alt = "B";
  crdatm.cr_ires = 5;
  crdatm.cr_xyz(1) = -1.5f;
  crdatm.cr_xyz(2) = 22.125f;
  crdatm.cr_xyz(3) = 3.0f;
  crdatm.cr_occ = 0.5f;
  crdatm.cr_biso = 12.25f;
  const std::string l = line();
  EXPECT_EQ(l.substr(0, 78), "   17 CA   C    . B . ALA    5 AA   -1.500   22.125    3.000   0.50  12.25 . .");
  EXPECT_EQ(l.substr(78), std::string(256 - 78, ' '));
}
