// Machine parameters found by probing must be those of the arithmetic the
// compiler documents for float and double.
#include "numeric/machine_params.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

template <typename T>
struct Expected {
  char letter;
  const char* label;
  T value;
};

template <typename T>
void expect_all(T (*lamch)(char)) {
  using L = std::numeric_limits<T>;
  const Expected<T> rows[] = {
      {'E', "relative precision", L::epsilon() / 2},
      {'S', "safe minimum", L::min()},
      {'B', "base", static_cast<T>(L::radix)},
      {'P', "precision times base", L::epsilon()},
      {'N', "mantissa digits", static_cast<T>(L::digits)},
      {'R', "rounds", T(1)},
      {'M', "smallest exponent", static_cast<T>(L::min_exponent)},
      {'U', "underflow threshold", L::min()},
      {'L', "largest exponent", static_cast<T>(L::max_exponent)},
      {'O', "overflow threshold", L::max()},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(lamch(row.letter), row.value) << row.label;
    EXPECT_EQ(lamch(static_cast<char>(row.letter + 32)), row.value) << row.label << ", lower case";
  }
}

}  // namespace

TEST(MachineParameters, DoubleMatchesNumericLimits) { expect_all<double>(dlamch_); }

TEST(MachineParameters, SingleMatchesNumericLimits) { expect_all<float>(slamch_); }

TEST(MachineParameters, LsameFoldsOnlyLetters) {
  EXPECT_TRUE(lsame_('a', 'A'));
  EXPECT_TRUE(lsame_('Z', 'z'));
  EXPECT_FALSE(lsame_('[', '{')) << "codes 32 apart but not letters";
  EXPECT_FALSE(lsame_('a', 'B'));
}
