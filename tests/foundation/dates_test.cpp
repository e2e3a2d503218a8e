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

// The century follows the first year digit; the day is copied as it stands;
// an unknown month name gives January.
TEST(Dates, PdbToCif) {
  const char* cases[][2] = {{"05-MAR-98", "1998-03-05"}, {"05-MAR-05", "2005-03-05"},
                            {"05-MAR-30", "1930-03-05"}, {"31-DEC-29", "2029-12-31"},
                            {"01-OCT-21", "2021-10-01"}, {" 5-JUN-01", "2001-06- 5"},
                            {"17-SEP-99", "1999-09-17"}, {"05-Mar-98", "1998-01-05"},
                            {"05-XYZ-98", "1998-01-05"}, {"XX-XXX-XX", "XXXX-XX-XX"}};
  for (const auto& c : cases) EXPECT_EQ(to_cif(c[0]), c[1]) << c[0];
}

// The month is clamped and read as a number field: blanks inside are
// ignored, and a field that is no number gives month 1.
TEST(Dates, CifToPdb) {
  const char* cases[][2] = {{"2004-11-07", "07-NOV-04"}, {"2004-13-07", "07-DEC-04"},
                            {"2004-00-07", "07-JAN-04"}, {"1998-02-28", "28-FEB-98"},
                            {"2010-12-31", "31-DEC-10"}, {"2004-1 -07", "07-JAN-04"},
                            {"2004- 9-07", "07-SEP-04"}, {"2004-+3-07", "07-MAR-04"},
                            {"2004--3-07", "07-JAN-04"}, {"2004-ab-07", "07-JAN-04"},
                            {"XXXX-XX-XX", "XX-XXX-XX"}};
  for (const auto& c : cases) EXPECT_EQ(to_pdb(c[0]), c[1]) << c[0];
}
