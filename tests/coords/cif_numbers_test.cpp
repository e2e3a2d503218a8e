// The numbers of CIF values: each form read, refused or taken as absent,
// given with the tokeniser's conversion of it as the readers pass it.
#include "coords/cif_numbers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "foundation/words.h"

namespace {

using coords::CifNumber;

// The tokeniser converts a word as wtodig_ does.
float tokenised(const std::string& text) {
  float f = 0;
  int32_t i = 0;
  wtodig_(text, static_cast<int32_t>(text.size()), f, i);
  return f;
}

uint32_t bits(float f) {
  uint32_t u;
  std::memcpy(&u, &f, 4);
  return u;
}

}  // namespace

TEST(CifNumber, EachFormIsReadRefusedOrAbsent) {
  const struct {
    const char* label;
    const char* text;
    CifNumber want;
    const char* read_as;  // the short number whose value it must give
  } rows[] = {
      {"a number as written today", "20.214", CifNumber::kRead, "20.214"},
      {"exponent", "2.0214e1", CifNumber::kRead, "2.0214e1"},
      {"exponent with its sign", "20.214E+00", CifNumber::kRead, "20.214E+00"},
      {"trailing point", "20.", CifNumber::kRead, "20"},
      {"leading plus", "+20.214", CifNumber::kRead, "20.214"},
      {"zero", "0.000", CifNumber::kRead, "0"},
      {"zero with an exponent", "0.0E+00", CifNumber::kRead, "0"},
      {"uncertainty", "20.214(3)", CifNumber::kRead, "20.214"},
      {"cell length with its uncertainty", "41.980(5)", CifNumber::kRead, "41.980"},
      {"exponent and uncertainty", "1.5e1(2)", CifNumber::kRead, "15"},
      {"17 characters", "-20.2140000000000", CifNumber::kRead, "-20.214"},
      {"long with an exponent", "2.02140000000000e1", CifNumber::kRead, "20.214"},
      {"letters", "abc", CifNumber::kNoNumber, "0"},
      {"second point", "1.2.3", CifNumber::kNoNumber, "0"},
      {"comma", "12,5", CifNumber::kNoNumber, "0"},
      {"nan", "nan", CifNumber::kNoNumber, "0"},
      {"inf", "inf", CifNumber::kNoNumber, "0"},
      {"empty quoted text", "", CifNumber::kNoNumber, "0"},
      {"sign alone", "-", CifNumber::kNoNumber, "0"},
      {"unclosed parenthesis", "20.214(3", CifNumber::kNoNumber, "0"},
      {"empty parenthesis", "20.214()", CifNumber::kNoNumber, "0"},
      {"letters in the parenthesis", "20.214(x)", CifNumber::kNoNumber, "0"},
      {"uncertainty without a number", "(3)", CifNumber::kNoNumber, "0"},
      {"long with letters", "-20.2140000000000x", CifNumber::kNoNumber, "0"},
      {"unknown", "?", CifNumber::kAbsent, "0"},
      {"not applicable", ".", CifNumber::kAbsent, "0"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    float f = -99.0f;
    // As the tokeniser's record holds it: blank-padded.
    const std::string slot = std::string(row.text) + "    ";
    EXPECT_EQ(coords::cif_number(slot, tokenised(row.text), f), row.want);
    EXPECT_EQ(bits(f), bits(tokenised(row.read_as))) << f;
  }
}
