// Symmetry operators as text: reading rows and terms, the writer's fractions,
// round trips, reciprocal letters and operator lists.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "suite/csymlib_symop.h"
#include "suite_test_support.h"

namespace {


struct Mat {
  float m[16];
  float at(int i, int j) const { return m[i * 4 + j]; }
};

bool read_op(const std::string& text, Mat& out) {
  return symop_to_mat4(text.data(), text.data() + text.size(), out.m) != nullptr;
}

std::string write_op(const Mat& m, int width = 40) {
  std::string buf(width, '#');
  if (!mat4_to_symop(buf.data(), buf.data() + width, m.m)) return "<null>";
  while (!buf.empty() && buf.back() == ' ') buf.pop_back();
  return buf;
}

Mat rows(std::initializer_list<float> v) {
  Mat m{};
  int i = 0;
  for (float x : v) m.m[i++] = x;
  m.m[12] = m.m[13] = m.m[14] = 0.0f;
  m.m[15] = 1.0f;
  return m;
}

void expect_matrix(const Mat& m, std::initializer_list<float> first12) {
  int i = 0;
  for (float x : first12) {
    EXPECT_FLOAT_EQ(m.m[i], x) << "element " << i;
    ++i;
  }
  EXPECT_EQ(m.m[12], 0.0f);
  EXPECT_EQ(m.m[13], 0.0f);
  EXPECT_EQ(m.m[14], 0.0f);
  EXPECT_EQ(m.m[15], 1.0f);
}

}  // namespace

TEST(SymopText, IdentityInAnyLettersAndSpacing) {
  for (const char* t : {"x,y,z", "X, Y, Z", "h,k,l", "a*,b*,c*", "  x ,\ty , z\n"}) {
    Mat m;
    ASSERT_TRUE(read_op(t, m)) << t;
    expect_matrix(m, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0});
  }
}

TEST(SymopText, SignsCoefficientsAndTranslations) {
  Mat m;
  ASSERT_TRUE(read_op("-y,x-y,z+1/3", m));
  expect_matrix(m, {0, -1, 0, 0, 1, -1, 0, 0, 0, 0, 1, 1.0f / 3});
  ASSERT_TRUE(read_op("1/2+x,-y,1/2-z", m));
  expect_matrix(m, {1, 0, 0, 0.5f, 0, -1, 0, 0, 0, 0, -1, 0.5f});
  ASSERT_TRUE(read_op("x/2,y,z", m));
  EXPECT_FLOAT_EQ(m.at(0, 0), 0.5f);
  ASSERT_TRUE(read_op("x,y,z+0.25", m));
  EXPECT_FLOAT_EQ(m.at(2, 3), 0.25f);
  ASSERT_TRUE(read_op("2x,y,-z-1/4", m));
  EXPECT_FLOAT_EQ(m.at(0, 0), 2.0f);
  EXPECT_FLOAT_EQ(m.at(2, 3), -0.25f);
  // Rows may also be separated by '*'.
  ASSERT_TRUE(read_op("-x*y*-z", m));
  expect_matrix(m, {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0});
}

TEST(SymopText, RepeatedLetterInARowOverwrites) {
  Mat m;
  ASSERT_TRUE(read_op("x+x,y,z", m));
  EXPECT_FLOAT_EQ(m.at(0, 0), 1.0f);
}

TEST(SymopText, MalformedOperatorsAreRefusedWithReport) {
  Mat m;
  {
    Capture cap;
    EXPECT_FALSE(read_op("x,y", m));
    EXPECT_NE(cap.out().find(" **SYMMETRY OPERATOR ERROR**\n\n Error in interpreting symop \"x,y\""),
              std::string::npos);
    EXPECT_NE(cap.out().find("Failed to interpret symop string"), std::string::npos);
  }
  {
    Capture cap;
    EXPECT_FALSE(read_op("", m));
    EXPECT_NE(cap.out().find("**SYMMETRY OPERATOR ERROR**"), std::string::npos);
  }
  {
    // A separator with nothing before it: only the library signal.
    Capture cap;
    EXPECT_FALSE(read_op("x,,z", m));
    EXPECT_EQ(cap.out().find("**SYMMETRY OPERATOR ERROR**"), std::string::npos);
    EXPECT_NE(cap.out().find("ptq7_parser:Failed to interpret symop string"), std::string::npos);
  }
  {
    Capture cap;
    EXPECT_FALSE(read_op("x/0,y,z", m));
    EXPECT_FALSE(read_op("/2,y,z", m));
  }
}

TEST(SymopText, SecondOperatorInOneSpanIsCut) {
  Mat m;
  const std::string t = "x,y,z,-x,-y,-z";
  const char* stop = symop_to_mat4(t.data(), t.data() + t.size(), m.m);
  ASSERT_NE(stop, nullptr);
  EXPECT_EQ(std::string(stop), "-x,-y,-z");
  expect_matrix(m, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0});
}

TEST(SymopWriter, IdentityAndScrewAxis) {
  EXPECT_EQ(write_op(rows({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0})), "X,  Y,  Z");
  EXPECT_EQ(write_op(rows({-1, 0, 0, 0, 0, 1, 0, 0.5f, 0, 0, -1, 0})), "-X,  Y+1/2,  -Z");
  EXPECT_EQ(write_op(rows({0, -1, 0, 0, 1, -1, 0, 0, 0, 0, 1, 1.0f / 3})), "-Y,  X-Y,  Z+1/3");
  EXPECT_EQ(write_op(rows({2, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0})), "2X,  Y,  Z");
}

TEST(SymopWriter, FractionTableOfTwelfths) {
  // Translation t after a letter: written fraction, or nothing.
  struct Case {
    float t;
    const char* text;
  } cases[] = {
      {1.0f / 12, "X"},      {1.0f / 6, "X+1/6"}, {0.25f, "X+1/4"},      {1.0f / 3, "X+1/3"},
      {5.0f / 12, "X"},      {0.5f, "X+1/2"},     {7.0f / 12, "X"},      {2.0f / 3, "X+2/3"},
      {0.75f, "X+3/4"},      {5.0f / 6, "X+5/6"}, {11.0f / 12, "X"},     {1.0f, "X"},
      {0.5000001f, "X+1/2"}, {-0.5f, "X+1/2"},    {-1.0f / 3, "X+2/3"},  {-0.25f, "X+3/4"},
  };
  for (const Case& c : cases) {
    const std::string s = write_op(rows({1, 0, 0, c.t, 0, 1, 0, 0, 0, 0, 1, 0}));
    EXPECT_EQ(s.substr(0, s.find(',')), c.text) << "t = " << c.t;
  }
  // A translation alone in a row: no leading '+' when positive, '+' kept when negative.
  EXPECT_EQ(write_op(rows({0, 0, 0, 0.5f, 0, 1, 0, 0, 0, 0, 1, 0})), "1/2,  Y,  Z");
  EXPECT_EQ(write_op(rows({0, 0, 0, -0.5f, 0, 1, 0, 0, 0, 0, 1, 0})), "+1/2,  Y,  Z");
  // An empty row keeps its placeholder, also when a whole translation was
  // begun on it and taken back.
  EXPECT_EQ(write_op(rows({0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0})), "0,  Y,  Z");
  EXPECT_EQ(write_op(rows({0, 0, 0, 1.0f, 0, 1, 0, 0, 0, 0, 1, 0})), "0,  Y,  Z");
  EXPECT_EQ(write_op(rows({0, 0, 0, -1.0f, 0, 1, 0, 0, 0, 0, 1, 0})), "0,  Y,  Z");
  EXPECT_EQ(write_op(rows({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, -1.0f})), "X,  Y,  0");
}

TEST(SymopWriter, TooShortSpanIsReported) {
  Capture cap;
  EXPECT_EQ(write_op(rows({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0}), 5), "<null>");
  EXPECT_NE(cap.out().find("Problem in mat4_to_symop"), std::string::npos);
  EXPECT_NE(cap.out().find("raised in mat4_to_symop 5"), std::string::npos);
}

TEST(SymopWriter, TextRoundTripsThroughMatrix) {
  for (const char* t : {"X,  Y,  Z", "-X,  Y+1/2,  -Z", "-Y,  X-Y,  Z+1/3", "Y,  -X+Y,  Z+5/6",
                        "X+1/4,  Z+3/4,  -Y+1/4", "-X+Y,  Y,  -Z+2/3", "Z,  X,  Y"}) {
    Mat m;
    ASSERT_TRUE(read_op(t, m)) << t;
    EXPECT_EQ(write_op(m), t);
  }
}

TEST(SymopWriter, ReciprocalLetters) {
  char buf[20];
  const Mat id = rows({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0});
  ASSERT_NE(mat4_to_recip_symop(buf, buf + 20, id.m), nullptr);
  EXPECT_EQ(std::string(buf, 20), "+h,+k,+l" + std::string(12, ' '));
  const Mat m = rows({0, -1, 0, 0, 1, -1, 0, 0, 0, 0, -1, 0});
  ASSERT_NE(mat4_to_recip_symop(buf, buf + 20, m.m), nullptr);
  EXPECT_EQ(std::string(buf, 20), "-k,+h-k,-l" + std::string(10, ' '));
}

TEST(SymopList, OperatorsSeparatedByStars) {
  float mats[16 * 4];
  EXPECT_EQ(symfr_driver("X,Y,Z * -X,Y+1/2,-Z", mats, 4), 2);
  EXPECT_FLOAT_EQ(mats[16 + 0], -1.0f);
  EXPECT_FLOAT_EQ(mats[16 + 7], 0.5f);
  EXPECT_EQ(symfr_driver("X, Y, Z", mats, 4), 1);
  EXPECT_EQ(symfr_driver("   ", mats, 4), 0);
}

TEST(SymopList, CommentEndsTheList) {
  float mats[16 * 4];
  // Read as operator text, the letters of the comment would move the third
  // row's 1 to another column (the last of c, h, e, c, k is k: column y).
  EXPECT_EQ(symfr_driver("X,Y,Z # check", mats, 4), 1);
  EXPECT_FLOAT_EQ(mats[9], 0.0f);
  EXPECT_FLOAT_EQ(mats[10], 1.0f);
  EXPECT_EQ(symfr_driver("X,Y,Z * -X,-Y,Z!back", mats, 4), 2);
  EXPECT_FLOAT_EQ(mats[16 + 9], 0.0f);
  EXPECT_FLOAT_EQ(mats[16 + 10], 1.0f);
  EXPECT_EQ(symfr_driver("# nothing", mats, 4), 0);
}

TEST(SymopList, ErrorsGiveMinusOne) {
  float mats[16 * 4];
  Capture cap;
  EXPECT_EQ(symfr_driver("X,Y * -X,Y,-Z", mats, 4), -1);
  const std::string longop(90, 'X');
  EXPECT_EQ(symfr_driver(longop.c_str(), mats, 4), -1);
  EXPECT_NE(cap.out().find("SYMFR: symmetry operator string is too long!"), std::string::npos);
  // More operators than the caller's room: refused, nothing written past it.
  EXPECT_EQ(symfr_driver("X,Y,Z * -X,-Y,Z * X,-Y,-Z", mats, 2), -1);
}

// The library check takes an operator only when the reader reads it as
// written; every other text is no operator.
TEST(SymopText, LibraryOperatorsAreReadAsWritten) {
  const std::string long_zero = "x,y,z+" + std::string(63, '0') + "1";
  const struct {
    const char* label;
    std::string text;
    bool is_operator;
  } rows[] = {
      {"identity", "x,y,z", true},
      {"translations after and before letters", "-y+1/2,x+1/2,z+3/4", true},
      {"a number before a letter term", "1/2+x,-y,1/2-z", true},
      {"upper case, blanks and a line end", " X , Y , Z \n", true},
      {"reciprocal axes with their stars", "a*,b*,c*", true},
      {"rows separated by stars", "-x*y*-z", true},
      {"a whole coefficient", "2x-y,x,z", true},
      {"a decimal translation", "x,y,z+0.25", true},
      {"a rotation of determinant -1", "-x,-y,-z", true},
      {"a term of two divisors", "-y+1/2,x+1/2,z+3/4/5", false},
      {"a letter divided", "-x,y,-z/2", false},
      {"a fraction before a letter", "1/2x,y,z", false},
      {"a point in a coefficient", "1.0x,y,z", false},
      {"a separator after the third row", "x,y,z,", false},
      {"a fourth row", "x,y,z,x", false},
      {"two rows", "x,y", false},
      {"an empty third row", "x,y,", false},
      {"an empty second row", "x,,z", false},
      {"a singular rotation", "x,x,z", false},
      {"a rotation that doubles volume", "2x,y,z", false},
      {"a character the reader passes over", "x,y,q", false},
      {"a comment", "x,y,z # c", false},
      {"a letter named twice in a row", "x+x,y,z", false},
      {"a translation given twice in a row", "x,y,z+1/2+1/4", false},
      {"two signs", "+-x,y,z", false},
      {"a sign ending the text", "x,y,z+", false},
      {"a digit after a letter", "x2,y,z", false},
      {"a letter after a letter", "xy,y,z", false},
      {"a number of value 0", "x,y,z+0", false},
      {"a number of two points", "x,y,z+1..5", false},
      {"a divisor of 0", "x,y,z+1/0", false},
      {"a divisor apart from its slash", "x,y,z+1/ 2", false},
      {"a number longer than the reader keeps", long_zero, false},
      {"a coefficient past the bound", "x+65537y,y,z", false},
  };
  for (const auto& row : rows)
    EXPECT_EQ(symop_text_is_operator(row.text.data(), row.text.data() + row.text.size()), row.is_operator)
        << row.label;
}
