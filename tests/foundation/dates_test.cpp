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

TEST(Dates, PdbToCifCopiesDayAsItStands) {
  EXPECT_EQ(to_cif(" 5-JUN-01"), "2001-06- 5");
  EXPECT_EQ(to_cif("17-SEP-99"), "1999-09-17");
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
  EXPECT_EQ(to_pdb("2010-12-31"), "31-DEC-10");
}

TEST(Dates, CifMonthReadAsNumberField) {
  // Blanks inside the number field are ignored, as in any numeric field.
  EXPECT_EQ(to_pdb("2004-1 -07"), "07-JAN-04");
  EXPECT_EQ(to_pdb("2004- 9-07"), "07-SEP-04");
  EXPECT_EQ(to_pdb("2004-+3-07"), "07-MAR-04");
  EXPECT_EQ(to_pdb("2004--3-07"), "07-JAN-04");
  // A field that is no number does not stop the conversion: month 1.
  EXPECT_EQ(to_pdb("2004-ab-07"), "07-JAN-04");
}

TEST(Dates, UnknownDatesPassThrough) {
  EXPECT_EQ(to_cif("XX-XXX-XX"), "XXXX-XX-XX");
  EXPECT_EQ(to_pdb("XXXX-XX-XX"), "XX-XXX-XX");
}
