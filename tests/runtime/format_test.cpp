// Format interpreter: records worked out by hand from the edit descriptors.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "runtime/format.h"

using rt::fmt;

TEST(FormatWrite, LiteralsTextsAndIntegers) {
  EXPECT_EQ(fmt("('NEW-->',I4,';',A,';',A30,';',A24,';')", 12, "ab", "x", "y"),
            "NEW-->  12;ab;" + std::string(29, ' ') + "x;" + std::string(23, ' ') + "y;");
  EXPECT_EQ(fmt("(1X,A,I5)", "N", -42), " N  -42");
  EXPECT_EQ(fmt("(A)", "  keep  "), "  keep  ");
  EXPECT_EQ(fmt("(A3)", "abcdef"), "abc");
  EXPECT_EQ(fmt("(A5)", "ab"), "   ab");
  EXPECT_EQ(fmt("(I5.3)", 7), "  007");
  EXPECT_EQ(fmt("(I5.3)", -7), " -007");
  EXPECT_EQ(fmt("(I3.0)", 0), "   ");
  EXPECT_EQ(fmt("(I0)", -1234), "-1234");
  EXPECT_EQ(fmt("('it''s')"), "it's");
  EXPECT_EQ(fmt("(\"q\",I2)", 5), "q 5");
}

TEST(FormatWrite, OverflowFillsWithAsterisks) {
  EXPECT_EQ(fmt("(I3)", 1000), "***");
  EXPECT_EQ(fmt("(I3)", -100), "***");
  EXPECT_EQ(fmt("(I3)", -99), "-99");
  EXPECT_EQ(fmt("(F5.2)", 100.0), "*****");
  EXPECT_EQ(fmt("(F6.2)", 100.0), "100.00");  // fits exactly
  EXPECT_EQ(fmt("(F4.2)", -0.5), "-.50");     // the leading zero gives way first
  EXPECT_EQ(fmt("(F3.2)", -0.5), "***");
  EXPECT_EQ(fmt("(E8.3)", 12345.0), ".123E+05");  // the optional leading zero gives way
  EXPECT_EQ(fmt("(E7.3)", 12345.0), "*******");
}

TEST(FormatWrite, FixedPointRounding) {
  EXPECT_EQ(fmt("(F8.3)", 12.3456f), "  12.346");
  EXPECT_EQ(fmt("(F8.3)", -1.0), "  -1.000");
  EXPECT_EQ(fmt("(F5.2)", 0.125), " 0.13");  // an exact half rounds away from zero
  EXPECT_EQ(fmt("(F5.2)", -0.125), "-0.13");
  EXPECT_EQ(fmt("(F3.0)", 2.5), " 3.");
  EXPECT_EQ(fmt("(F6.2)", -0.001), " -0.00");  // negative values rounding to zero keep the sign
  EXPECT_EQ(fmt("(F6.2)", 0.0), "  0.00");
  EXPECT_EQ(fmt("(2X,F14.6)", 3.14159265), "        3.141593");
  EXPECT_EQ(fmt("(F8.3)", 5), "   5.000");  // an integer item is converted
}

TEST(FormatWrite, ExponentAndGeneralForms) {
  EXPECT_EQ(fmt("(E12.4)", 1234.5678), "  0.1235E+04");
  EXPECT_EQ(fmt("(E12.4)", -0.00012346), " -0.1235E-03");
  EXPECT_EQ(fmt("(E10.3)", 0.0), " 0.000E+00");
  EXPECT_EQ(fmt("(E12.3E3)", 1.0e-5), "  0.100E-004");
  EXPECT_EQ(fmt("(D10.3)", 1.0), " 0.100D+01");
  EXPECT_EQ(fmt("(E10.3)", 0.9999), " 0.100E+01");  // rounding carries into the exponent
  // G: fixed form with four trailing blanks inside 0.1 <= |x| < 10**d.
  EXPECT_EQ(fmt("(G12.4)", 1.5), "   1.500    ");
  EXPECT_EQ(fmt("(G12.4)", 123.4), "   123.4    ");
  EXPECT_EQ(fmt("(G12.4)", 0.05), "  0.5000E-01");
  EXPECT_EQ(fmt("(G12.4)", 12345.0), "  0.1235E+05");
  EXPECT_EQ(fmt("(G12.4)", 9999.6), "  0.1000E+05");  // rounds up out of the fixed range
  EXPECT_EQ(fmt("(G10.3)", 0.0), "  0.00    ");
  EXPECT_EQ(fmt("(G6.2)", 7), "     7");
}

TEST(FormatWrite, PositioningGroupsAndReversion) {
  EXPECT_EQ(fmt("(3F8.3)", 1.0f, 2.0f, 3.0f), "   1.000   2.000   3.000");
  EXPECT_EQ(fmt("(T5,A,T1,A)", "x", "y"), "y   x");
  EXPECT_EQ(fmt("(A,TL1,A)", "ab", "c"), "ac");
  EXPECT_EQ(fmt("(A,TR2,A)", "a", "b"), "a  b");
  EXPECT_EQ(fmt("(A,5X)", "a"), "a");  // positioning alone writes nothing
  EXPECT_EQ(fmt("(A/A)", "1", "2"), "1\n2");
  EXPECT_EQ(fmt("(2(I2,','))", 1, 2), " 1, 2,");
  EXPECT_EQ(fmt("(2(A,2(I1)))", "a", 1, 2, "b", 3, 4), "a12b34");
  EXPECT_EQ(fmt("(0(I2),I3)", 5), "  5");  // a zero repeat skips its group
  // Reversion restarts at the last top-level group, on a new record.
  EXPECT_EQ(fmt("('H',2(I2))", 1, 2, 3, 4, 5), "H 1 2\n 3 4\n 5");
  EXPECT_EQ(fmt("(I2)", 1, 2), " 1\n 2");
  // Output stops at the first data descriptor without an item.
  EXPECT_EQ(fmt("('a',I3,' end',I3,' never')", 5), "a  5 end");
  EXPECT_EQ(fmt("(I3,:,' tail')", 5), "  5");
  EXPECT_EQ(fmt("(L2,L1)", true, false), " TF");
}

TEST(FormatRead, FixedColumns) {
  std::string rec = "ATOM      1  N   MET A   1      11.104  13.207   2.100  1.00 20.00           N";
  rt::FixedText<6> name;
  int32_t serial = -1;
  rt::FixedText<4> aname;
  float x = 0, y = 0, z = 0, occ = 0, b = 0;
  ASSERT_EQ(rt::read_fmt(rec, "(A6,I5,1X,A4,T31,3F8.3,2F6.2)", name, serial, aname, x, y, z, occ, b), 0);
  EXPECT_EQ(name, "ATOM");
  EXPECT_EQ(serial, 1);
  EXPECT_EQ(aname, " N");
  EXPECT_FLOAT_EQ(x, 11.104f);
  EXPECT_FLOAT_EQ(y, 13.207f);
  EXPECT_FLOAT_EQ(z, 2.1f);
  EXPECT_FLOAT_EQ(occ, 1.0f);
  EXPECT_FLOAT_EQ(b, 20.0f);
}

TEST(FormatRead, BlankShortAndImpliedDecimals) {
  int32_t i = 99;
  float f = 99;
  EXPECT_EQ(rt::read_fmt("     ", "(I5)", i), 0);
  EXPECT_EQ(i, 0);  // a blank numeric field reads as zero
  EXPECT_EQ(rt::read_fmt("12", "(I5,F8.3)", i, f), 0);  // short record: padded with blanks
  EXPECT_EQ(i, 12);
  EXPECT_EQ(f, 0.0f);
  EXPECT_EQ(rt::read_fmt("  1234", "(F6.2)", f), 0);  // no point: the last two digits are decimals
  EXPECT_FLOAT_EQ(f, 12.34f);
  EXPECT_EQ(rt::read_fmt(" 1.5E2", "(F6.2)", f), 0);
  EXPECT_FLOAT_EQ(f, 150.0f);
  EXPECT_EQ(rt::read_fmt(" 1 2 ", "(I5)", i), 0);  // blanks inside are ignored
  EXPECT_EQ(i, 12);
  rt::FixedText<3> t;
  EXPECT_EQ(rt::read_fmt("abcdef", "(A5)", t), 0);  // a wide field keeps its rightmost characters
  EXPECT_EQ(t, "cde");
  std::string line;
  EXPECT_EQ(rt::read_fmt("rest of line", "(5X,A)", line), 0);
  EXPECT_EQ(line, "of line");
}

TEST(FormatRead, MalformedNumberIsAStatus) {
  int32_t i = 7;
  float f = 3;
  EXPECT_EQ(rt::read_fmt("  x12", "(I5)", i), rt::IOSTAT_BAD_NUMBER);
  EXPECT_EQ(i, 7);
  EXPECT_EQ(rt::read_fmt(" 1.2.3", "(F6.2)", f), rt::IOSTAT_BAD_NUMBER);
  EXPECT_EQ(rt::read_fmt("    -", "(I5)", i), rt::IOSTAT_BAD_NUMBER);
  EXPECT_EQ(rt::read_fmt("99999999999", "(I11)", i), rt::IOSTAT_BAD_NUMBER);
  EXPECT_EQ(f, 3.0f);
}

TEST(FormatRead, ZeroByteBesideADigitIsRefusedAndAZeroFieldReadsAsZero) {
  // A text never set holds zero bytes and reads as a blank field; a zero
  // byte inside a number is no blank.
  int32_t i = 7;
  float f = 3;
  EXPECT_EQ(rt::read_fmt(std::string_view("-2\0.052", 7), "(F7.3)", f), rt::IOSTAT_BAD_NUMBER);
  EXPECT_EQ(f, 3.0f);
  EXPECT_EQ(rt::read_fmt(std::string_view(" 1\0", 3), "(I3)", i), rt::IOSTAT_BAD_NUMBER);
  EXPECT_EQ(i, 7);
  EXPECT_EQ(rt::read_fmt(std::string_view("\0\0 \0", 4), "(I4)", i), 0);
  EXPECT_EQ(i, 0);
  EXPECT_EQ(rt::read_fmt(std::string_view("\0\0\0\0\0\0", 6), "(F6.2)", f), 0);
  EXPECT_EQ(f, 0.0f);
}

TEST(FormatRead, SlashMovesToTheNextRecord) {
  int32_t a = 0, b = 0;
  EXPECT_EQ(rt::read_fmt(" 1\n 2", "(I2/I2)", a, b), 0);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 2);
  EXPECT_EQ(rt::read_fmt(" 1", "(I2/I2)", a, b), rt::IOSTAT_END);
  int32_t c = 0, d = 0;
  EXPECT_EQ(rt::read_fmt("1234", "(2(I1,1X))", a, b), 0);  // groups repeat on input too
  EXPECT_EQ(a * 10 + b, 13);
  EXPECT_EQ(rt::read_fmt("12\n34", "(2I1)", a, b, c, d), 0);  // reversion takes the next record
  EXPECT_EQ(c * 10 + d, 34);
}

TEST(ListDirected, OneRuleForAllItems) {
  EXPECT_EQ(rt::list_line(1, -2, "txt"), " 1 -2 txt");
  EXPECT_EQ(rt::list_line(1.0f, 0.25f, 1.0e10f), " 1.0 0.25 1.0E+10");
  EXPECT_EQ(rt::list_line(1.0 / 3.0), " 0.333333333333333");
  EXPECT_EQ(rt::list_line(true, false), " T F");
  EXPECT_EQ(rt::list_line(), "");
}

TEST(ListDirected, ReadingValues) {
  int32_t i = 0, j = 5;
  float x = 0;
  std::string s;
  EXPECT_EQ(rt::read_list("  3, 2.5 'a b'", i, x, s), 0);
  EXPECT_EQ(i, 3);
  EXPECT_FLOAT_EQ(x, 2.5f);
  EXPECT_EQ(s, "a b");
  EXPECT_EQ(rt::read_list("7,,", i, j), 0);  // null value keeps j
  EXPECT_EQ(j, 5);
  EXPECT_EQ(rt::read_list("8 /", i, j), 0);
  EXPECT_EQ(i, 8);
  EXPECT_EQ(rt::read_list("9", i, j), rt::IOSTAT_END);
  EXPECT_EQ(rt::read_list("abc", i), rt::IOSTAT_BAD_NUMBER);
}

TEST(FormatDeath, MalformedFormatTextAborts) {
  EXPECT_DEATH(fmt("(I5", 1), "Malformed format text \\(I5");
  EXPECT_DEATH(fmt("(Q5)", 1), "unknown edit descriptor");
  EXPECT_DEATH(fmt("(I5)", "text"), "does not match");
}

// The fast paths of fixed-point writing and real reading must agree with the
// C library's correctly rounded conversions away from exact halves.
TEST(FormatConsistency, AgreesWithCorrectlyRoundedConversions) {
  uint64_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    return seed >> 11;
  };
  char want[64];
  for (int k = 0; k < 20000; ++k) {
    double v = (static_cast<double>(next()) / 9007199254740992.0 - 0.5) * std::pow(10.0, static_cast<int>(next() % 9));
    std::snprintf(want, sizeof want, "%12.3f", v);
    std::string got = fmt("(F12.3)", v);
    if (std::string_view(want).size() > 12) {
      ASSERT_EQ(got, std::string(12, '*'));
    } else if (got != want) {
      // Only an exact binary half may differ (written away from zero).
      double t = std::fabs(v) * 1000.0;
      ASSERT_EQ(t - std::floor(t), 0.5) << v << " gave " << got << " not " << want;
    }
    float f = 0;
    if (std::snprintf(want, sizeof want, "%10.4f", v) > 10) continue;
    ASSERT_EQ(rt::read_fmt(want, "(F10.4)", f), 0);
    ASSERT_EQ(f, std::strtof(want, nullptr)) << want;
    double dv = 0;
    std::snprintf(want, sizeof want, "%22.15e", v);
    ASSERT_EQ(rt::read_fmt(want, "(E22.15)", dv), 0);
    ASSERT_EQ(dv, std::strtod(want, nullptr)) << want;
  }
}

// A writer that lays out its own record sets each number with the
// formatter's field routines: the field must be what the format gives.
TEST(FormatFields, FixedAndIntegerFieldsAsTheFormatSetsThem) {
  const double reals[] = {0.0,     -0.0,     0.0005,   -0.0005,    0.00049,  12.3456, -12.3455,
                          999.9995, 9999.9995, -999.9995, -1000.0,   1.0e10,   1.0e-45, 0.5,
                          -0.5,     0.125,    -0.125,   std::nan(""), INFINITY, -INFINITY};
  const int widths[][2] = {{8, 3}, {6, 2}, {4, 2}, {3, 2}, {10, 5}};
  for (const auto& wd : widths) {
    const std::string format = "(F" + std::to_string(wd[0]) + "." + std::to_string(wd[1]) + ")";
    for (double v : reals) {
      char out[16];
      rt::put_fixed(out, wd[0], wd[1], v);
      EXPECT_EQ(std::string(out, static_cast<std::size_t>(wd[0])), rt::fmt(format, v))
          << format << " of " << v;
    }
    // A sweep over single-precision values of both signs.
    for (int m = -2000000; m <= 2000000; m += 1237) {
      const float v = static_cast<float>(m) / 997.0f;
      char out[16];
      rt::put_fixed(out, wd[0], wd[1], v);
      ASSERT_EQ(std::string(out, static_cast<std::size_t>(wd[0])), rt::fmt(format, v))
          << format << " of " << v;
    }
  }
  const int64_t ints[] = {0, 1, -1, 99999, 999999, 1000000, -99999, -100000, INT32_MIN, INT32_MAX};
  for (int w : {5, 6, 7}) {
    const std::string format = "(I" + std::to_string(w) + ")";
    for (int64_t v : ints) {
      char out[16];
      rt::put_integer(out, w, v);
      EXPECT_EQ(std::string(out, static_cast<std::size_t>(w)), rt::fmt(format, v))
          << format << " of " << v;
    }
  }
}
