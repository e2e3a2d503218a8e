// The numbers of CIF values, and the error line of a value that is none.
#include "coords/cif_numbers.h"

#include <charconv>
#include <cstdint>
#include <system_error>

#include "runtime/number_word.h"
#include "runtime/fixed_text.h"

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The last character of the word at the start of a blank-padded value.
char last_of_word(std::string_view v) {
  std::size_t k = 0;
  while (k < v.size() && v[k] != ' ' && v[k] != '\0') ++k;
  return k == 0 ? ' ' : v[k - 1];
}

}  // namespace

coords::CifNumber coords::cif_number(std::string_view value, float tokenised, float& f) {
  // The tokeniser's conversion gives 0 for every word it cannot read but one
  // cut short after its "e" ("1e", "1.5e-"), which keeps its mantissa; any
  // other value that is not 0 is a number it read whole.
  if (tokenised != 0.0f) {
    const char last = last_of_word(value);
    if (is_digit(last) || last == '.') {
      f = tokenised;
      return CifNumber::kRead;
    }
    f = 0.0f;
    return CifNumber::kNoNumber;
  }
  f = 0.0f;
  return rt::read_number(value, f);
}

std::string coords::cif_no_number(std::string_view item, std::string_view value) {
  return std::string(rt::trim_right(item)) + " \"" + std::string(rt::trim_right(value)) +
         "\" is not a number";
}

coords::CifNumber coords::cif_integer(std::string_view value, int32_t& i) {
  i = 0;
  std::string_view v = rt::trim_right(value);
  if (v == "?" || v == ".") return CifNumber::kAbsent;
  // Digits with a sign, as every writer gives an integer and as an author's
  // residue number is read: a decimal point, an exponent or an uncertainty
  // ("17.0", "1e2", "5(1)") makes none.
  const std::string_view digits = !v.empty() && v[0] == '+' ? v.substr(1) : v;
  if (digits.empty() || !(is_digit(digits[0]) || (digits[0] == '-' && digits.size() == v.size())))
    return CifNumber::kNoNumber;
  const char* end = digits.data() + digits.size();
  const auto [p, ec] = std::from_chars(digits.data(), end, i);
  if (p == end && ec == std::errc()) return CifNumber::kRead;
  // Not digits throughout, or too large for the integer it stands for.
  i = 0;
  return CifNumber::kNoNumber;
}

bool coords::cif_author_number(std::string_view value) {
  std::string_view v = rt::trim_right(value);
  while (!v.empty() && v[0] == ' ') v.remove_prefix(1);
  if (!v.empty() && (v[0] == '-' || v[0] == '+')) v.remove_prefix(1);
  std::size_t k = 0;
  while (k < v.size() && is_digit(v[k])) ++k;
  if (k == 0) return false;
  if (k == v.size()) return true;
  const char c = v[k];
  return k + 1 == v.size() && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'));
}

std::string coords::cif_no_integer(std::string_view item, std::string_view value) {
  return std::string(rt::trim_right(item)) + " \"" + std::string(rt::trim_right(value)) +
         "\" is not an integer";
}

bool coords::cif_long_code(std::string_view value) { return rt::trim(value).size() > 1; }

std::string coords::cif_no_code(std::string_view item, std::string_view value) {
  return std::string(rt::trim_right(item)) + " \"" + std::string(rt::trim(value)) +
         "\" is more than one character";
}
