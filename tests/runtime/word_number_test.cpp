// The inline word-to-number conversion against its plain definition: the
// digits make a single-precision mantissa, which is divided in double
// precision by the power of ten of the decimal places and rounded to float.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "runtime/word_number.h"

namespace {

// The plain definition for a word of an optional sign, digits, a point and
// more digits (no exponent).
float plain_value(const std::string& w) {
  std::size_t k = 0;
  float sign = 1;
  if (w[0] == '-' || w[0] == '+') {
    sign = w[0] == '-' ? -1.0f : 1.0f;
    k = 1;
  }
  float mant = 0;
  int ndec = 0;
  bool after_point = false;
  for (; k < w.size(); ++k) {
    if (w[k] == '.') {
      after_point = true;
      continue;
    }
    mant = mant * 10.0f + static_cast<float>(w[k] - '0');
    if (after_point) ++ndec;
  }
  return static_cast<float>(sign * mant / std::pow(10.0, ndec));
}

uint32_t bits(float f) {
  uint32_t u;
  std::memcpy(&u, &f, 4);
  return u;
}

float value_of(const std::string& w) {
  float f = -99;
  int32_t i = -99;
  word_number(w.data(), static_cast<int32_t>(w.size()), f, i);
  return f;
}

}  // namespace

TEST(WordNumber, DecimalsRoundAsTheDivisionDoes) {
  // Values whose last bit depends on rounding the quotient correctly.
  for (const char* w : {"0.1", "0.3", "2.675", "1.005", "16777.217", "-8388.6085", "0.00000001",
                        "9999999.9", "33554433.5", "-0.000", "123456.78901234", "1.23456789012"}) {
    EXPECT_EQ(bits(value_of(w)), bits(plain_value(w))) << w;
  }
  EXPECT_EQ(bits(value_of("-0.0")), bits(-0.0f));
}

TEST(WordNumber, RandomDecimalsMatchThePlainDefinition) {
  std::mt19937 gen(20240611);
  for (int t = 0; t < 200000; ++t) {
    const int ndigit = 1 + static_cast<int>(gen() % 14);
    std::string w;
    if (gen() % 3 == 0) w += gen() % 2 ? '-' : '+';
    const int point = static_cast<int>(gen() % (ndigit + 1));
    for (int d = 0; d < ndigit; ++d) {
      if (d == point) w += '.';
      w += static_cast<char>('0' + gen() % 10);
    }
    ASSERT_EQ(bits(value_of(w)), bits(plain_value(w))) << w;
  }
}
