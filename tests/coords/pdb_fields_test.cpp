// Number fields of PDB records: the quick reading of plain decimals must
// give what the general field reader gives, and leave every other shape to it.
#include "coords/pdb_fields.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

namespace {

TEST(PdbFields, PlainDecimalsReadAsTheGeneralReaderReadsThem) {
  const char* plain[] = {"  12.345", " -12.345", "  -0.000", "   0.500", "9999.999", "-999.999",
                         "1234567.12345678", "0.1", "  1.00", " 100.00", "99999999999999.9"};
  for (const char* text : plain) {
    float quick = 7.0f, general = 9.0f;
    EXPECT_TRUE(pdbf::read_plain_decimal(text, quick)) << text;
    ASSERT_TRUE(pdbf::read_real_general(text, 3, general)) << text;
    EXPECT_EQ(std::bit_cast<uint32_t>(quick), std::bit_cast<uint32_t>(general)) << text;
  }
  // Every coordinate a three-decimal field can hold, in steps that cover
  // the ends of the range and both signs.
  for (int32_t m = -9999999; m <= 99999999; m += 997) {
    char text[16];
    std::snprintf(text, sizeof text, "%8.3f", m / 1000.0);
    float quick = 0.0f, general = 0.0f;
    ASSERT_TRUE(pdbf::read_plain_decimal(text, quick)) << text;
    ASSERT_TRUE(pdbf::read_real_general(text, 3, general)) << text;
    ASSERT_EQ(std::bit_cast<uint32_t>(quick), std::bit_cast<uint32_t>(general)) << text;
  }
}

TEST(PdbFields, OtherShapesAreLeftToTheGeneralReader) {
  // Each of these the quick reading refuses, leaving its result untouched;
  // the field reader still reads those the general rules allow.
  struct Case {
    const char* label;
    const char* text;
    bool readable;
    float value;
  };
  const Case cases[] = {
      {"no digits before the point", "   -.500", true, -0.5f},
      {"plus sign", "  +1.250", true, 1.25f},
      {"no point: implied decimals", "   12345", true, 12.345f},
      {"point without decimals", "     12.", true, 12.0f},
      {"exponent", "  1.5E02", true, 150.0f},
      {"blank inside the digits", " 1 2.345", true, 12.345f},
      {"trailing blank", " 12.345 ", true, 12.345f},
      {"nine decimals", "0.123456789", true, 0.123456789f},
      {"blank field", "        ", true, 0.0f},
      {"letters", "  12.3a5", false, 0.0f},
      {"sign alone", "       -", false, 0.0f},
  };
  for (const Case& c : cases) {
    float quick = 42.0f;
    EXPECT_FALSE(pdbf::read_plain_decimal(c.text, quick)) << c.label;
    EXPECT_EQ(quick, 42.0f) << c.label;
    float read = 42.0f;
    EXPECT_EQ(pdbf::read_real(c.text, 3, read), c.readable) << c.label;
    if (c.readable) EXPECT_FLOAT_EQ(read, c.value) << c.label;
    else EXPECT_EQ(read, 42.0f) << c.label;
  }
}

// The bounds of what the coordinate files' fields hold: eight columns with
// three decimals for a coordinate, six with two for occupancy and B.
TEST(PdbFields, AtomValuesFitTheirFields) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    const char* label;
    float x, occ, b;
    bool fits;
  };
  const Case cases[] = {
      {"ordinary atom", 12.5f, 1.0f, 20.0f, true},
      {"largest coordinate", 9999.999f, 1.0f, 20.0f, true},
      {"smallest coordinate", -999.999f, 1.0f, 20.0f, true},
      {"coordinate past nine columns", 10000.0f, 1.0f, 20.0f, false},
      {"coordinate below -999.999", -1000.0f, 1.0f, 20.0f, false},
      {"infinite coordinate", inf, 1.0f, 20.0f, false},
      {"coordinate not a number", nan, 1.0f, 20.0f, false},
      {"largest B", 1.0f, 1.0f, 999.99f, true},
      {"B past six columns", 1.0f, 1.0f, 1000.0f, false},
      {"huge occupancy", 1.0f, 1e38f, 20.0f, false},
      {"negative B past its field", 1.0f, 1.0f, -100.0f, false},
  };
  for (const Case& c : cases) {
    const float xyz[3] = {0.0f, c.x, 0.0f};
    EXPECT_EQ(pdbf::atom_values_fit(xyz, c.occ, c.b), c.fits) << c.label;
  }
}

}  // namespace
