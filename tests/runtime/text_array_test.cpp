// Fixed texts, text views and 1-based tables.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "runtime/array.h"
#include "runtime/fixed_text.h"
#include "runtime/run.h"

namespace {
rt::FixedText<4> g_static_text;
rt::Array1<int32_t, 3> g_static_ints;
}  // namespace

TEST(FixedText, StaticStorageStartsAsZeroBytes) {
  for (char c : g_static_text.view()) EXPECT_EQ(c, '\0');
  EXPECT_FALSE(g_static_text == "    ");  // never set is not the same as blank
  EXPECT_EQ(g_static_ints(3), 0);
}

TEST(FixedText, AssignmentPadsAndCuts) {
  rt::FixedText<4> t = "AB";
  EXPECT_EQ(t.view(), "AB  ");
  t = "ABCDEFG";
  EXPECT_EQ(t.view(), "ABCD");
  EXPECT_EQ(t(1), 'A');
  EXPECT_EQ(t.sub(2, 3), "BC");
  t.sub(3, 4).assign("Z");
  EXPECT_EQ(t.view(), "ABZ ");
  EXPECT_EQ(t.len_trim(), 3);
  EXPECT_EQ(t.trimmed(), "ABZ");
  rt::FixedText<8> wide;
  wide = t;
  EXPECT_EQ(wide.view(), "ABZ     ");
}

// A text copied into a narrower one is cut, into a wider one padded, and
// zero bytes it holds (never set) are copied as they stand, not taken as
// its end.
TEST(FixedText, CopyBetweenWidthsCutsPadsAndKeepsZeroBytes) {
  rt::FixedText<6> six = "ABCDEF";
  rt::FixedText<3> three;
  three = six;
  EXPECT_EQ(three.view(), "ABC");
  six.c[1] = '\0';
  rt::FixedText<8> eight;
  eight.fill('x');
  eight = six;
  EXPECT_EQ(eight.view(), std::string_view("A\0CDEF  ", 8));
}

// Wide fields are trimmed eight characters at a time: whatever stands last,
// wherever in its eight, only blanks and zero bytes after it are cut.
TEST(FixedText, UsedLengthOfWideFieldsStopsAtTheLastCharacter) {
  for (int last = 0; last <= 20; ++last) {
    std::string s(20, ' ');
    for (int i = 0; i < 20; i += 3) s[static_cast<std::size_t>(i)] = '\0';
    if (last > 0) s[static_cast<std::size_t>(last - 1)] = last % 2 != 0 ? 'X' : '\x20' + 1;
    EXPECT_EQ(rt::len_trim_wide(s), last) << last;
    EXPECT_EQ(rt::len_trim(s), last) << last;
  }
  EXPECT_EQ(rt::len_trim_wide(std::string(16, '\0')), 0);
  EXPECT_EQ(rt::len_trim_wide(""), 0);
  std::string inner("AB \0\tC", 6);
  inner.append(9, ' ');
  EXPECT_EQ(rt::len_trim_wide(inner), 6);
}

TEST(FixedText, ComparisonPadsTheShorterSideWithBlanks) {
  rt::FixedText<4> a = "CA";
  rt::FixedText<8> b = "CA";
  EXPECT_TRUE(a == b);
  EXPECT_TRUE(a == "CA");
  EXPECT_TRUE(a == "CA      ");
  EXPECT_FALSE(a == "CA  X");
  EXPECT_FALSE(a == "C");
  EXPECT_TRUE(rt::text_eq("", "   "));
  // A view that was never set holds no pointer (a row without that value).
  EXPECT_TRUE(rt::text_eq(std::string_view(), "  "));
  EXPECT_FALSE(rt::text_eq("ACE", std::string_view()));
  EXPECT_EQ(rt::text_cmp("AB", "AB  "), 0);
  EXPECT_LT(rt::text_cmp("AB", "ABC"), 0);
}

TEST(TextRef, ViewsWriteThrough) {
  rt::FixedText<6> t = "abcdef";
  rt::TextRef r = t.sub(2, 4);
  EXPECT_EQ(r.len(), 3);
  r = "X";
  EXPECT_EQ(t.view(), "aX  ef");
  r(3) = 'Q';
  EXPECT_EQ(t.view(), "aX Qef");
}

// A named string, const or not, or a fixed text is copied in like any other text: the view
// must not come to point into the string's storage.
TEST(TextRef, NamedStringIsCopiedNotBound) {
  rt::FixedText<6> t = "abcdef";
  rt::TextRef r = t.sub(2, 4);
  std::string s = "XYZW";
  r = s;
  EXPECT_EQ(t.view(), "aXYZef");
  const std::string c = "Q";
  r = c;
  EXPECT_EQ(t.view(), "aQ  ef");
  s[0] = '#';
  EXPECT_EQ(t.view(), "aQ  ef");
  rt::FixedText<2> f = "mn";
  r = f;
  EXPECT_EQ(t.view(), "amn ef");
  f = "zz";
  EXPECT_EQ(t.view(), "amn ef");
  EXPECT_EQ(r.len(), 3);
}

TEST(Array, OneBasedFirstIndexFastest) {
  rt::Array2<int, 2, 3> a{};
  a(2, 1) = 5;
  a(1, 2) = 7;
  EXPECT_EQ(a.data()[1], 5);
  EXPECT_EQ(a.data()[2], 7);
  EXPECT_EQ(a.column(2)[0], 7);
  rt::Array1<int, 3, 0> z{};
  z(0) = 1;
  EXPECT_EQ(z.data()[0], 1);
  rt::Array3<int, 2, 2, 2> c{};
  c(2, 2, 2) = 9;
  EXPECT_EQ(c.data()[7], 9);
}

TEST(ArrayDeath, OutOfRangeAbortsNamingTheIndex) {
  rt::Array1<int, 3> a{};
  EXPECT_DEATH(a(4) = 1, "index 4 out of bounds 1:3");
  EXPECT_DEATH(a(0) = 1, "index 0 out of bounds 1:3");
  rt::Array2<int, 2, 3> b{};
  EXPECT_DEATH(b(1, 4) = 1, "second index 4 out of bounds 1:3");
  rt::FixedText<4> t;
  EXPECT_DEATH(t(5) = 'x', "Substring \\(5:5\\)");
}

TEST(RunEnd, StopThrowsAndRunMainReturnsTheStatus) {
  EXPECT_THROW(rt::stop_run(3), rt::RunEnd);
  char arg0[] = "prog";
  char* argv[] = {arg0, nullptr};
  EXPECT_EQ(rt::run_main(1, argv, [](int, char**) { rt::stop_run(9); }), 9);
  EXPECT_EQ(rt::run_main(1, argv, [](int, char**) {}), 0);
}
