// Header dates between the PDB and the mmCIF forms.
#include <gtest/gtest.h>

#include "foundation/dates.h"

namespace {

std::string to_cif(const char* d) {
  rt::FixedText<10> out;
  chng_date_(d, out);
  return out.str();
}

std::string to_pdb(const char* d) {
  rt::FixedText<9> out;
  chng_date_back_(d, out);
  return out.str();
}

}  // namespace

TEST(Dates, PdbToCifChoosesCenturyByFirstYearDigit) {
  EXPECT_EQ(to_cif("05-MAR-98"), "1998-03-05");
  EXPECT_EQ(to_cif("05-MAR-05"), "2005-03-05");
  EXPECT_EQ(to_cif("05-MAR-30"), "1930-03-05");
  EXPECT_EQ(to_cif("31-DEC-29"), "2029-12-31");
  EXPECT_EQ(to_cif("01-OCT-21"), "2021-10-01");
}

TEST(Dates, UnknownMonthNameGivesJanuary) {
  EXPECT_EQ(to_cif("05-Mar-98"), "1998-01-05");
  EXPECT_EQ(to_cif("05-XYZ-98"), "1998-01-05");
}

TEST(Dates, CifToPdbClampsMonth) {
  EXPECT_EQ(to_pdb("2004-11-07"), "07-NOV-04");
  EXPECT_EQ(to_pdb("2004-13-07"), "07-DEC-04");
  EXPECT_EQ(to_pdb("2004-00-07"), "07-JAN-04");
  EXPECT_EQ(to_pdb("1998-02-28"), "28-FEB-98");
}

TEST(Dates, UnknownDatesPassThrough) {
  EXPECT_EQ(to_cif("XX-XXX-XX"), "XXXX-XX-XX");
  EXPECT_EQ(to_pdb("XXXX-XX-XX"), "XX-XXX-XX");
}
