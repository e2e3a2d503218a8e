// The scattering-factor file reader: exact columns, the ion fallback, the
// one-letter rule, marked entries, rewinding, and files that are missing.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "runtime/fixed_text.h"
#include "runtime/units.h"
#include "suite/sfread.h"
#include "suite_test_support.h"

namespace {


std::string entry(const std::string& id, int iwt, int nel, double c, double base) {
  char buf[512];
  std::string e = id + std::string(6 - id.size(), ' ') + "\n";
  std::snprintf(buf, sizeof buf, "  %8d  %8d  %14.6f\n", iwt, nel, c);
  e += buf;
  for (int r = 0; r < 3; ++r) {
    std::snprintf(buf, sizeof buf, "  %14.6f  %14.6f  %14.6f  %14.6f\n", base + r + 0.1,
                  base + r + 0.2, base + r + 0.3, base + r + 0.4);
    e += buf;
  }
  return e;
}

struct Read {
  rt::FixedText<4> id;
  float a[4] = {}, b[4] = {}, c = -1, cu[2] = {}, mo[2] = {};
  int32_t iwt = -1, nel = -1, ifail = 99;
  std::string out;
};

Read lookup(const char* id, int32_t ng = 1) {
  Read r;
  r.id = id;
  Capture cap;
  sfread2_(r.id, ng, r.a, r.b, r.c, r.iwt, r.nel, r.cu, r.mo, r.ifail);
  r.out = cap.out();
  return r;
}

class ScatteringFactors : public suite_test::SuiteTest {};

}  // namespace

TEST_F(ScatteringFactors, IonFallsBackToTheNeutralElement) {
  env.set("ATOMSF", std::string(ORB_DATA_DIR) + "/atomsf.lib");
  Read r = lookup("fe2+");
  EXPECT_EQ(r.ifail, 0);
  EXPECT_EQ(r.id, "FE");
  EXPECT_NE(r.out.find(" No match for atom ID FE2+ subtracting one character \n"
                       " No match for atom ID FE2 subtracting one character \n"),
            std::string::npos);
  EXPECT_EQ(r.nel, 26);
  // Iron's first Gaussian of the four-term fit.
  EXPECT_NEAR(r.a[0], 11.7695f, 1e-3f);
  EXPECT_NEAR(r.b[0], 4.7611f, 1e-3f);
}

TEST_F(ScatteringFactors, ColumnsOfTheEntry) {
  TempDir dir;
  env.set("ATOMSF", dir.write("sf.lib", entry("C", 12, 6, 0.2156, 1.0)));
  Read r = lookup("C");
  ASSERT_EQ(r.ifail, 0);
  EXPECT_EQ(r.iwt, 12);
  EXPECT_EQ(r.nel, 6);
  EXPECT_FLOAT_EQ(r.c, 0.2156f);
  EXPECT_FLOAT_EQ(r.a[0], 1.1f);
  EXPECT_FLOAT_EQ(r.a[3], 1.4f);
  EXPECT_FLOAT_EQ(r.b[0], 2.1f);
  EXPECT_FLOAT_EQ(r.b[3], 2.4f);
  EXPECT_FLOAT_EQ(r.cu[0], 3.1f);
  EXPECT_FLOAT_EQ(r.cu[1], 3.2f);
  EXPECT_FLOAT_EQ(r.mo[0], 3.3f);
  EXPECT_FLOAT_EQ(r.mo[1], 3.4f);
  // A second call rewinds the unit the first one opened.
  Read again = lookup("C");
  EXPECT_EQ(again.ifail, 0);
  EXPECT_EQ(again.out.find("opened on unit"), std::string::npos);
  EXPECT_NE(r.out.find("opened on unit  45"), std::string::npos);
}

TEST_F(ScatteringFactors, OneLetterIdentifierSkipsTwoLetterElements) {
  TempDir dir;
  env.set("ATOMSF", dir.write("sf.lib", entry("NA", 23, 11, 0, 1) + entry("NI", 59, 28, 0, 2) +
                                            entry("N+", 14, 6, 0, 3)));
  Read r = lookup("N");
  EXPECT_EQ(r.ifail, 0);
  EXPECT_EQ(r.iwt, 14);
}

TEST_F(ScatteringFactors, LongerIdentifierIsAPrefixTest) {
  TempDir dir;
  env.set("ATOMSF", dir.write("sf.lib", entry("FE2+", 56, 24, 0, 1) + entry("FE", 56, 26, 0, 2)));
  Read r = lookup("FE");
  EXPECT_EQ(r.ifail, 0);
  EXPECT_EQ(r.nel, 24);
}

TEST_F(ScatteringFactors, MarkedEntriesOnly) {
  TempDir dir;
  env.set("ATOMSF", dir.write("sf.lib", entry("S", 32, 16, 0, 1) + entry("S    *", 32, 16, 0, 5)));
  EXPECT_FLOAT_EQ(lookup("S").a[0], 1.1f);
  EXPECT_FLOAT_EQ(lookup("S", 2).a[0], 5.1f);
}

TEST_F(ScatteringFactors, UnknownIdentifierGivesUp) {
  TempDir dir;
  env.set("ATOMSF", dir.write("sf.lib", entry("C", 12, 6, 0, 1)));
  Read r = lookup("XY");
  EXPECT_EQ(r.ifail, -1);
  EXPECT_EQ(r.id, "X");
  EXPECT_NE(r.out.find(" No match for atom ID XY subtracting one character \n"
                       " No match for atom ID X giving up! \n"),
            std::string::npos);
  EXPECT_EQ(r.iwt, -1);
}

TEST_F(ScatteringFactors, MissingFileEndsTheRun) {
  env.set("ATOMSF", "/nonexistent/atomsf.lib");
  Read r;
  r.id = "C";
  Capture cap;
  const int status = run_end_status(
      [&] { sfread2_(r.id, 1, r.a, r.b, r.c, r.iwt, r.nel, r.cu, r.mo, r.ifail); });
  EXPECT_EQ(status, 1);
  EXPECT_NE(cap.out().find("**PTQOPN ERROR**"), std::string::npos);
  EXPECT_NE(cap.err().find("Error opening library file"), std::string::npos);
}

TEST_F(ScatteringFactors, MalformedNumberIsAReadError) {
  TempDir dir;
  std::string e = entry("C", 12, 6, 0, 1);
  e.replace(e.find("1.100000"), 8, "1.1x0000");
  env.set("ATOMSF", dir.write("sf.lib", e));
  Capture cap;
  Read r;
  r.id = "C";
  EXPECT_EQ(run_end_status(
                [&] { sfread2_(r.id, 1, r.a, r.b, r.c, r.iwt, r.nel, r.cu, r.mo, r.ifail); }),
            1);
  EXPECT_NE(cap.err().find("Error reading library file"), std::string::npos);
}

// Words strtod takes for numbers but no entry can hold: the weight and the
// electron count are integers, the coefficients floats.
TEST_F(ScatteringFactors, NumberNoFieldCanHoldIsAReadError) {
  struct Case {
    const char *label, *from, *to;
  };
  const Case cases[] = {
      {"weight not a number", "      12", "     nan"},
      {"electrons past an integer", "       6", "   1e300"},
      {"coefficient past a float", "1.100000", "1.0e+300"},
      {"infinite coefficient", "1.100000", "     inf"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    std::string e = entry("C", 12, 6, 0, 1);
    e.replace(e.find(c.from), std::string(c.from).size(), c.to);
    env.set("ATOMSF", dir.write("sf.lib", e));
    Capture cap;
    Read r;
    r.id = "C";
    EXPECT_EQ(run_end_status(
                  [&] { sfread2_(r.id, 1, r.a, r.b, r.c, r.iwt, r.nel, r.cu, r.mo, r.ifail); }),
              1)
        << c.label;
    EXPECT_NE(cap.err().find("Error reading library file"), std::string::npos) << c.label;
  }
}

// A library cut short would lose the entries past the cut without a word:
// it is refused when opened, whichever element is asked for.
TEST_F(ScatteringFactors, LibraryCutShortIsRefusedWhenOpened) {
  const std::string two = entry("C", 12, 6, 0, 1) + entry("N", 14, 7, 0, 2);
  const struct {
    const char *label, *said;  // said empty: sound
    std::string text;
  } rows[] = {{"only blank lines", "The file holds no entry", "\n  \n"},
              {"cut inside the last record", "cut short", two.substr(0, two.size() - 10)},
              {"whole, without its last newline", "", two.substr(0, two.size() - 1)}};
  for (const auto& row : rows) {
    rt::close_all_units();
    TempDir dir;
    env.set("ATOMSF", dir.write("sf.lib", row.text));
    Capture cap;
    Read r;
    r.id = "C";
    const int status = run_end_status(
        [&] { sfread2_(r.id, 1, r.a, r.b, r.c, r.iwt, r.nel, r.cu, r.mo, r.ifail); });
    EXPECT_EQ(status, *row.said ? 1 : -1) << row.label;
    if (*row.said) {
      EXPECT_NE(cap.out().find(row.said), std::string::npos) << row.label << cap.out();
    }
  }
}
