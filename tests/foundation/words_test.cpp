// Character classes and codes, case conversion, trailing commas, the line
// writer, number conversion of words and the free-format word splitter.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

#include "foundation/words.h"
#include "runtime/units.h"
#include "support/capture.h"
#include "support/temp_dir.h"

namespace {

char cls(char c) {
  char k = 0;
  chksmb_(c, k);
  return k;
}

struct Num {
  float f;
  int32_t i;
};

Num num(std::string_view w) {
  Num r{-99, -99};
  wtodig_(w, static_cast<int32_t>(w.size()), r.f, r.i);
  return r;
}

void split(std::string_view line) {
  comfread.line = line;
  frd_parm_();
}

}  // namespace

TEST(CharacterKit, ClassesOfEveryKind) {
  const struct {
    const char* chars;
    char cls;
  } kinds[] = {{"AZ", 'L'}, {"az", 'l'}, {"09", 'D'}, {"+-", 'S'}, {"*/.=", 'O'}, {" ", 'B'},
               {"'\"@\\`|,!#$%&()<>?[]^~{};:", 'C'}, {"_", 'U'}, {"\t\r\x7f\xe9", '?'}};
  for (const auto& k : kinds)
    for (char c : std::string_view(k.chars)) EXPECT_EQ(cls(c), k.cls) << c;
  EXPECT_EQ(cls('\0'), '?');
}

TEST(CharacterKit, CodesAreUnsignedBytes) {
  set_byte_();
  int32_t code = 0;
  chtoint_('A', code);
  EXPECT_EQ(code, 65);
  chtoint_('\xff', code);
  EXPECT_EQ(code, 255);
  char c = 0;
  inttoch_(c, 0x141);  // only the low-order byte counts
  EXPECT_EQ(c, 'A');
  inttoch_(c, 200);
  EXPECT_EQ(static_cast<unsigned char>(c), 200);
}

TEST(CharacterKit, CheckLineConvertsCaseAndBlanksUnprintable) {
  const std::pair<int32_t, const char*> modes[] = {{1, "AB CD_9     "}, {-1, "ab cd_9     "}, {0, "ab Cd_9     "}};
  for (const auto& [mode, want] : modes) {
    rt::FixedText<12> t("ab\tCd_9\r");
    check_line_(mode, t);
    EXPECT_EQ(t.str(), want) << mode;
  }
}

TEST(CharacterKit, CheckLineStopsAtCharacter256) {
  rt::FixedText<300> t;
  t.blank();
  t(1) = 'a';
  t(256) = 'b';
  t(257) = 'c';
  t(280) = '\t';
  check_line_(1, t);
  EXPECT_EQ(t(1), 'A');
  EXPECT_EQ(t(256), 'B');
  EXPECT_EQ(t(257), 'c');
  EXPECT_EQ(t(280), '\t');
}

TEST(CharacterKit, ClearLineDropsTrailingCommasOnly) {
  rt::FixedText<10> t("A, B,,, ");
  clear_line_(t);
  EXPECT_EQ(t.str(), "A, B      ");
  t = ",,";
  clear_line_(t);
  EXPECT_TRUE(t.is_blank());
  t = "x,y";
  clear_line_(t);
  EXPECT_EQ(t.str(), "x,y       ");
}

TEST(LineWriter, WritesUsedPartAndSkipsBlankLines) {
  const std::string path = scratch_path() + "words_wrtstr.txt";
  rt::OpenOptions opt;
  opt.status = rt::OpenStatus::Replace;
  ASSERT_EQ(rt::unit_open(71, path, opt), 0);
  int32_t ierr = 7;
  wrtstr_(71, 0, "first   ", ierr);
  EXPECT_EQ(ierr, 0);
  ierr = 7;
  wrtstr_(71, 0, "        ", ierr);
  EXPECT_EQ(ierr, 0);
  wrtstr_(71, 0, "", ierr);
  wrtstr_(71, 0, "  second", ierr);
  wrtstr_(0, 0, "to no unit", ierr);
  EXPECT_EQ(ierr, 0);
  rt::unit_close(71);
  EXPECT_EQ(file_text(path), "first\n  second\n");
}

TEST(WordNumbers, PlainIntegersRealsAndExponents) {
  const struct {
    const char* w;
    float f;
    int32_t i;
  } cases[] = {{"-5", -5, -5},      {"+5", 5, 5},          {"-12.7", -12.7f, -12}, {"10.5", 10.5f, 10},
               {".25", 0.25f, 0},   {"1e", 1, 1},          {"2E-3", 0.002f, 0},    {"1.5e2", 150, 0},
               {"3E+2", 300, 0},    {"1e99", 1e31f, 0},    {"1e-99", 1e-31f, 0},
               // Not numbers: zeros.
               {"5-", 0, 0},        {"1-2", 0, 0},         {"1.2.3", 0, 0},        {"abc", 0, 0},
               {"0e5", 0, 0},       {"1e5x", 0, 0},        {"1e+-3", 0, 0},        {"A1", 0, 0}};
  for (const auto& c : cases) {
    const Num n = num(c.w);
    EXPECT_FLOAT_EQ(n.f, c.f) << c.w;
    EXPECT_EQ(n.i, c.i) << c.w;
  }
}

TEST(WordNumbers, LengthLimitIsSixteen) {
  Num n = num("1234567890123456");
  EXPECT_NEAR(n.f, 1.2345678e15f, 1e9f);
  n = num("12345678901234567");
  EXPECT_EQ(n.f, 0.0f);
  EXPECT_EQ(n.i, 0);
  // Only the first n characters are read.
  float f = 0;
  int32_t i = 0;
  wtodig_("12xyz", 2, f, i);
  EXPECT_EQ(f, 12.0f);
  EXPECT_EQ(i, 12);
  // No characters, or a negative count: nothing is read.
  f = 9;
  i = 9;
  wtodig_(std::string_view(), -1, f, i);
  EXPECT_EQ(f, 0.0f);
  EXPECT_EQ(i, 0);
  wtodig_("34", 0, f, i);
  EXPECT_EQ(f, 0.0f);
  EXPECT_EQ(i, 0);
}

TEST(WordNumbers, DecimalPlacesAndExponentsScaleExactly) {
  // Mantissas below 2^24 are exact in single precision, so these results
  // are the correctly rounded quotients and products.
  EXPECT_EQ(num("1048576.5").f, 1048576.5f);
  EXPECT_EQ(num("-0.125").f, -0.125f);
  EXPECT_EQ(num(".000000000000001").f, static_cast<float>(1.0 / 1e15));
  EXPECT_EQ(num("1e31").f, static_cast<float>(1e31));
  EXPECT_EQ(num("2.5e30").f, static_cast<float>(2.5 * 1e30));
  EXPECT_EQ(num("1.5e-7").f, static_cast<float>(1.5 / 1e7));
  EXPECT_EQ(num("7E+22").f, static_cast<float>(7.0 * 1e22));
  EXPECT_EQ(num("-").f, 0.0f);
  EXPECT_EQ(num(".").f, 0.0f);
  EXPECT_EQ(num("-.5").f, -0.5f);
  EXPECT_EQ(num("+-5").i, 0);
}

TEST(WordNumbers, IntegerPartKeepsItsLow32Bits) {
  // The mantissa is rounded to single precision after every digit (ties to
  // even): 2147483648 passes 214748360 -> 214748352 and ends at 2147483520;
  // 4294967297 passes 42949670 -> 42949672, 429496720 -> 429496704 and ends
  // at 4294967040.
  Num n = num("-2147483648");
  EXPECT_EQ(n.i, INT32_MIN);
  EXPECT_EQ(n.f, -2147483520.0f);
  // 4294967297 = 2^32 + 1: the integer keeps its low 32 bits, 1.
  n = num("4294967297");
  EXPECT_EQ(n.i, 1);
  EXPECT_EQ(n.f, 4294967040.0f);
}

TEST(FreeFormatWords, QuotedWordsKeepBlanks) {
  split("ab 'c d' 7");
  ASSERT_EQ(comfread.nwrd, 3);
  EXPECT_EQ(comfread.iover, 0);
  EXPECT_EQ(comfread.cwrd(1).trimmed(), "ab");
  EXPECT_EQ(comfread.cwrd(2).trimmed(), "c d");
  EXPECT_EQ(comfread.lwrd(2), 3);
  EXPECT_EQ(comfread.cwrd(3).trimmed(), "7");
  EXPECT_EQ(comfread.iwrd(3), 7);
  EXPECT_EQ(comfread.fwrd(3), 7.0f);
}

TEST(FreeFormatWords, EmptyQuotesGiveQuestionMarkOrNothing) {
  split("'' x");
  ASSERT_EQ(comfread.nwrd, 2);
  EXPECT_EQ(comfread.cwrd(1).trimmed(), "?");
  EXPECT_EQ(comfread.lwrd(1), 1);
  EXPECT_EQ(comfread.cwrd(2).trimmed(), "x");
  split("''");
  EXPECT_EQ(comfread.nwrd, 0);
  split("    ");
  EXPECT_EQ(comfread.nwrd, 0);
}

TEST(FreeFormatWords, TabsSeparateAndTwentyOneWordsOverflow) {
  split("1.5\t-2");
  ASSERT_EQ(comfread.nwrd, 2);
  EXPECT_EQ(comfread.fwrd(1), 1.5f);
  EXPECT_EQ(comfread.iwrd(2), -2);
  split("a b c d e f g h i j k l m n o p q r s t u v");
  EXPECT_EQ(comfread.iover, 1);
  EXPECT_EQ(comfread.nwrd, 20);
  EXPECT_EQ(comfread.cwrd(20).trimmed(), "t");
}
