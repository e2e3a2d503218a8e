// Program identity, verbosity, the times line and dates; file-name
// splitting, text conversion, modes, the missing-number marker and ranges.
#include <sys/stat.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "runtime/array.h"
#include "suite/library_f.h"
#include "suite/library_utils.h"
#include "suite_test_support.h"


namespace {

class ProgramInfo : public suite_test::SuiteTest {};
class FileNames : public suite_test::SuiteTest {};
class TextFields : public suite_test::SuiteTest {};
class SystemServices : public suite_test::SuiteTest {};
class MissingNumbers : public suite_test::SuiteTest {};

TEST_F(ProgramInfo, RcsDateFromKeywordOrPlainDate) {
  EXPECT_STREQ(ptq7RCSDate("$Date: 2004/01/26 11:49:20 $"), "26/01/04");
  EXPECT_STREQ(ptq7RCSDate("2004/01/26 11:49"), "26/01/04");
  EXPECT_STREQ(ptq7RCSDate("1999/12/31 23:59"), "31/12/99");
  EXPECT_STREQ(ptq7RCSDate("Jan 26 2004"), "");
  EXPECT_STREQ(ptq7RCSDate(nullptr), "");
  EXPECT_STREQ(ptq7RCSDate("2004/01/26"), "");
  // A keyword too short to hold a date gives none rather than reading past it.
  EXPECT_STREQ(ptq7RCSDate("$Date: 20"), "");
}

TEST_F(ProgramInfo, NamesAreCutTo79Characters) {
  const std::string longname(100, 'n');
  EXPECT_EQ(std::string(ptq7ProgramName(longname.c_str())), longname.substr(0, 79));
  EXPECT_EQ(std::string(ptq7ProgramName(nullptr)).size(), 79u);
  ptq7_prog_vers(longname.c_str());
  EXPECT_EQ(std::strlen(ptq7_prog_vers(nullptr)), 79u);
}

TEST_F(ProgramInfo, VerbosityGatesPrinting) {
  Capture cap;
  EXPECT_EQ(ptq7printf(2, "hidden %d\n", 2), 0);
  EXPECT_EQ(ptq7printf(1, "shown %d\n", 1), 8);
  EXPECT_EQ(ptq7VerbosityLevel(12), 1);
  EXPECT_EQ(ptq7VerbosityLevel(0), 0);
  EXPECT_EQ(ptq7printf(1, "hidden\n"), 0);
  EXPECT_EQ(ptq7printf(0, "always\n"), 7);
  EXPECT_EQ(cap.out(), "shown 1\nalways\n");
}

TEST_F(ProgramInfo, TimesLineLayout) {
  EXPECT_EQ(ptq7_times_line(1.25f, 0.5f, 125),
            "Times: User:       1.2s System:    0.5s Elapsed:     2:05  \n");
  EXPECT_EQ(ptq7_times_line(0, 0, 3600), "Times: User:       0.0s System:    0.0s Elapsed:    60:00  \n");
}

TEST_F(ProgramInfo, TimesLineBeforeStartStartsTheClock) {
  Capture cap;
  ptq7ProgramTime(0);
  getelapsed_();
  EXPECT_EQ(suite_test::digits_zeroed(cap.out()), ptq7_times_line(0, 0, 0));
}

TEST_F(ProgramInfo, CodeBaseEntries) {
  ptq7ProgramName("orbinate");
  rt::FixedText<12> text;
  ptqpnm_(text);
  EXPECT_EQ(text.view(), "orbinate    ");
  ptq7_version_(text);
  EXPECT_EQ(text, "5.0");
  text = "0.1";
  ptq7_prog_version_(text, 0);
  EXPECT_STREQ(ptq7_prog_vers(nullptr), "0.1");
  text = "x";
  ptq7_prog_version_(text, 1);
  EXPECT_EQ(text, "0.1");
  Capture cap;
  qprint_(1, "line   ");
  qprint_(1, "   ");
  qprint_(2, "quiet");
  EXPECT_EQ(cap.out(), "line\n\n");
}

TEST_F(ProgramInfo, ClockTimeIsHoursMinutesSecondsInTwoDigitsEach) {
  rt::FixedText<10> t;
  utime_(t);
  EXPECT_EQ(suite_test::digits_zeroed(t.view()), "00:00:00  ");
}

// The date texts follow the calendar date the integer entry gives.
TEST_F(ProgramInfo, DateTextsAreDayMonthYear) {
  int32_t month, day, year;
  uidate_(month, day, year);
  rt::FixedText<10> t;
  ptqdat_(t);
  char expected[32];
  std::snprintf(expected, sizeof expected, "%2d/%2d/%02d  ", day, month, year % 100);
  EXPECT_EQ(t.view(), expected);
  std::snprintf(expected, sizeof expected, "%2d/%2d/%4d", day, month, year);
  EXPECT_EQ(ptq7_utils_date(), expected);
}

TEST_F(ProgramInfo, BannerCarriesNameVersionAndDate) {
  ptq7ProgramName("orbinate");
  ptq7RCSDate("2004/01/26 11:49");
  Capture cap;
  ptq7_banner();
  EXPECT_NE(cap.out().find(" ### PTQ7 5.0: orbinate           version 5.0       : 26/01/04##\n"),
            std::string::npos)
      << cap.out();
  EXPECT_NE(cap.out().find(" " + std::string(63, '#') + "\n"), std::string::npos);
}

TEST_F(FileNames, SplitIntoDirectoryBaseAndExtension) {
  EXPECT_EQ(ptq7_utils_basename("/a/b/c.pdb"), "c");
  EXPECT_EQ(ptq7_utils_pathname("/a/b/c.pdb"), "/a/b/");
  EXPECT_EQ(ptq7_utils_extension("/a/b/c.pdb"), "pdb");
  EXPECT_EQ(ptq7_utils_extension("a.b/c"), "");
  EXPECT_EQ(ptq7_utils_basename("a.b/c"), "c");
  EXPECT_EQ(ptq7_utils_pathname("c.x.y"), "");
  EXPECT_EQ(ptq7_utils_basename("c.x.y"), "c.x");
  EXPECT_EQ(ptq7_utils_extension("c.x.y"), "y");
  EXPECT_EQ(ptq7_utils_joinfilenames("/d", "f.def"), "/d/f.def");
}

TEST_F(TextFields, ConversionBetweenPaddedAndTerminated) {
  char field[6];
  ptq7_CtoFString(rt::TextRef(field, 6), "abc");
  EXPECT_EQ(std::string(field, 6), "abc   ");
  ptq7_CtoFString(rt::TextRef(field, 6), nullptr);
  EXPECT_EQ(std::string(field, 6), "      ");
  ptq7_CtoFString(rt::TextRef(field, 6), "abcdefgh");
  EXPECT_EQ(std::string(field, 6), "abcdef");
  EXPECT_EQ(ptq7_FtoCString("ab c   "), "ab c");
  EXPECT_EQ(ptq7_utils_flength("     "), 0);
  EXPECT_EQ(ptq7_utils_flength(" x "), 2);
}

TEST_F(SystemServices, ModesFromOctalTexts) {
  TempDir dir;
  const std::string f = dir.write("m", "x");
  auto mode = [&] {
    struct stat st {};
    stat(f.c_str(), &st);
    return st.st_mode & 07777;
  };
  EXPECT_EQ(ptq7_utils_chmod(f.c_str(), "644"), 0);
  EXPECT_EQ(mode(), 0644u);
  int32_t istat = -5;
  cchmod_(f, "600   ", istat);
  EXPECT_EQ(istat, 0);
  EXPECT_EQ(mode(), 0600u);
  EXPECT_EQ(ptq7_utils_chmod(f.c_str(), "64400"), 0);
  EXPECT_EQ(mode() & 0777, 0777u);
  EXPECT_EQ(ptq7_utils_chmod(f.c_str(), ""), 0);
  EXPECT_EQ(mode() & 0777, 0777u);
}

TEST_F(SystemServices, DirectoriesMadeOnceThenReported) {
  TempDir dir;
  const std::string d = dir.file("sub");
  EXPECT_EQ(ptq7_utils_mkdir(d.c_str(), "755"), 0);
  EXPECT_EQ(ptq7_utils_mkdir(d.c_str(), "755"), 1);
  int32_t istat = 0;
  cmkdir_(dir.file("no/such/parent"), "755", istat);
  EXPECT_EQ(istat, -1);
}

TEST_F(SystemServices, SetenvNeedsAnEqualsSign) {
  env.remember("SUITE_T1");
  EXPECT_EQ(ptq7_utils_setenv("SUITE_T1"), -1);
  EXPECT_EQ(ptq7_error_library(ptq7_errno), PTQ7_ERRNO_UTILS);
  EXPECT_EQ(ptq7_utils_setenv("SUITE_T1=a=b"), 0);
  EXPECT_STREQ(std::getenv("SUITE_T1"), "a=b");
  int32_t istat = 5;
  ustenv_("SUITE_T1=c   ", istat);
  EXPECT_EQ(istat, 0);
  EXPECT_STREQ(std::getenv("SUITE_T1"), "c");
}

TEST_F(SystemServices, UnlinkFailureIsReported) {
  Capture cap;
  cunlink_("/nonexistent/file   ");
  EXPECT_EQ(cap.out(), "CUNLINK: Can't unlink\n");
}

TEST_F(SystemServices, AllocationOfNothingIsNotAFailure) {
  const int status = run_end_status([] {
    std::free(ptq7_utils_malloc(0));
    std::free(ptq7_utils_calloc(0, 8));
    std::free(ptq7_utils_calloc(8, 0));
  });
  EXPECT_EQ(status, -1) << "a null answer for a zero size must not end the run";
  auto* p = static_cast<char*>(ptq7_utils_calloc(4, 1));
  EXPECT_EQ(std::string(p, 4), std::string(4, '\0'));
  std::memcpy(p, "abcd", 4);
  p = static_cast<char*>(ptq7_utils_realloc(p, 4096));
  EXPECT_EQ(std::string(p, 4), "abcd");
  std::free(p);
}

// The address sanitizer reports an impossible size itself before the
// allocator can answer null, so the failure path is checked without it.
#if defined(__SANITIZE_ADDRESS__)
#define ORB_SKIP_IMPOSSIBLE_ALLOCATION 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORB_SKIP_IMPOSSIBLE_ALLOCATION 1
#endif
#endif

TEST_F(SystemServices, ImpossibleAllocationEndsTheRunNamingTheRoutine) {
#ifdef ORB_SKIP_IMPOSSIBLE_ALLOCATION
  GTEST_SKIP() << "the sanitizer intercepts the allocation";
#else
  const std::size_t huge = SIZE_MAX / 2;
  struct Case {
    const char* routine;
    std::function<void()> call;
  };
  const Case cases[] = {
      {"ptq7_utils_malloc", [&] { ptq7_utils_malloc(huge); }},
      {"ptq7_utils_calloc", [&] { ptq7_utils_calloc(huge, 4); }},
      {"ptq7_utils_realloc", [&] { ptq7_utils_realloc(nullptr, huge); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.routine);
    Capture cap;
    EXPECT_EQ(run_end_status(c.call), 1);
    EXPECT_EQ(cap.err().rfind(std::string("Failure in ") + c.routine + ": ", 0), 0u) << cap.err();
  }
#endif
}

std::vector<int32_t> seen_sizes;
std::vector<bool> seen_zero;
void check_arrays(int32_t n, const int32_t* sizes, void* const* arrays) {
  for (int i = 0; i < n; ++i) {
    seen_sizes.push_back(sizes[i]);
    const auto* bytes = static_cast<const unsigned char*>(arrays[i]);
    bool zero = true;
    for (int b = 0; b < sizes[i] * 2; ++b) zero = zero && bytes[b] == 0;
    seen_zero.push_back(zero);
  }
}

TEST_F(SystemServices, DynamicArraysAreZeroedAndPassedInOrder) {
  seen_sizes.clear();
  seen_zero.clear();
  const int32_t types[] = {1, 3, 5};
  const int32_t sizes[] = {4, 2, 7};
  ptqal1_(check_arrays, 3, types, sizes);
  EXPECT_EQ(seen_sizes, (std::vector<int32_t>{4, 2, 7}));
  EXPECT_EQ(seen_zero, (std::vector<bool>{true, true, true}));
  seen_sizes.clear();
  ptqal1_(check_arrays, 13, types, sizes);
  EXPECT_TRUE(seen_sizes.empty());
}

TEST_F(MissingNumbers, MarkerPatternAndTest) {
  float x = 1.0f;
  qnan_(x);
  uint32_t bits;
  std::memcpy(&bits, &x, 4);
  EXPECT_EQ(bits, 0xFFFA5A5Au);
  EXPECT_TRUE(qisnan_(x));
  EXPECT_FALSE(qisnan_(1.0f));
  EXPECT_TRUE(qisnan_(INFINITY));
  EXPECT_EQ(ptq7_native_ft(), 1);
}

TEST_F(MissingNumbers, RangesSkipMarkersAndAbsentValues) {
  float row[3] = {2.0f, -2e10f, 5.0f};
  ptq7_nan(&row[2]);
  float ranges[6] = {1.0f, 1.5f, 0.0f, 0.0f, 9.0f, 9.0f};
  ptqwrg_(3, row, ranges);
  EXPECT_EQ(std::vector<float>(ranges, ranges + 5), (std::vector<float>{1, 2, 0, 0, 9}));
  ptqbml_(3, row);
  EXPECT_EQ(row[1], 0.0f);
  EXPECT_TRUE(qisnan_(row[2]));
  EXPECT_EQ(row[0], 2.0f);
}

TEST_F(MissingNumbers, MapModesToFloats) {
  const unsigned char bytes[] = {0, 255};
  float out[2];
  EXPECT_EQ(ptq7_utils_translate_mode_float(out, bytes, 2, 0), 2);
  EXPECT_EQ(out[1], 255.0f);
  const uint16_t pairs[] = {3, 4, 6, 8};
  EXPECT_EQ(ptq7_utils_translate_mode_float(out, pairs, 2, 3), 2);
  EXPECT_EQ(out[0], 5.0f);
  EXPECT_EQ(out[1], 10.0f);
  const float fpairs[] = {5.0f, 12.0f};
  EXPECT_EQ(ptq7_utils_translate_mode_float(out, fpairs, 1, 4), 1);
  EXPECT_EQ(out[0], 13.0f);
  EXPECT_EQ(ptq7_utils_translate_mode_float(out, fpairs, 1, 2), 0);
}

}  // namespace
