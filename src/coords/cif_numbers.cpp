// The numbers of CIF values, and the error line of a value that is none.
#include "coords/cif_numbers.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

#include "foundation/word_number.h"
#include "runtime/fixed_text.h"

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// A number of more than 16 characters, as programs that write full double
// precision give one ("-20.2140000000000"): the form the word conversion
// allows (a sign, digits with at most one point, an exponent after "e" or
// "E" limited to 31), its value rounded once from double to float.
bool long_number(std::string_view s, float& f) {
  std::size_t k = 0;
  const bool neg = s[0] == '-';
  if (s[0] == '-' || s[0] == '+') k = 1;
  const std::size_t first = k;
  int digits = 0;
  bool point = false;
  for (; k < s.size(); ++k) {
    if (is_digit(s[k])) ++digits;
    else if (s[k] == '.' && !point) point = true;
    else break;
  }
  if (digits == 0) return false;
  const std::string_view mantissa = s.substr(first, k - first);
  int esign = 1;
  int expo = 0;
  if (k < s.size()) {
    if (s[k] != 'e' && s[k] != 'E') return false;
    ++k;
    if (k < s.size() && (s[k] == '-' || s[k] == '+')) esign = s[k++] == '-' ? -1 : 1;
    if (k == s.size()) return false;  // no exponent digit: a number cut short
    for (; k < s.size(); ++k) {
      if (!is_digit(s[k])) return false;
      expo = expo * 10 + (s[k] - '0');
      if (expo > 31) expo = 31;
    }
  }
  double m = 0.0;
  std::from_chars(mantissa.data(), mantissa.data() + mantissa.size(), m);
  if (neg) m = -m;
  const double p = word_number_detail::kPow10[expo];
  f = static_cast<float>(esign < 0 ? m / p : m * p);
  return true;
}

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
  const std::string_view v = rt::trim_right(value);
  if (v == "?" || v == ".") return CifNumber::kAbsent;
  std::string_view number = v;
  if (!v.empty() && v.back() == ')') {
    const std::size_t open = v.find('(');
    if (open == std::string_view::npos) return CifNumber::kNoNumber;
    const std::string_view su = v.substr(open + 1, v.size() - open - 2);
    if (su.empty() || su.find_first_not_of("0123456789") != std::string_view::npos)
      return CifNumber::kNoNumber;
    number = v.substr(0, open);
  }
  int32_t ignored = 0;
  const bool read =
      number.size() <= 16
          ? word_number(number.data(), static_cast<int32_t>(number.size()), f, ignored)
          : long_number(number, f);
  if (read) return CifNumber::kRead;
  f = 0.0f;
  return CifNumber::kNoNumber;
}

std::string coords::cif_no_number(std::string_view item, std::string_view value) {
  return std::string(rt::trim_right(item)) + " \"" + std::string(rt::trim_right(value)) +
         "\" is not a number";
}

coords::CifNumber coords::cif_integer(std::string_view value, int32_t& i) {
  i = 0;
  std::string_view v = rt::trim_right(value);
  if (v == "?" || v == ".") return CifNumber::kAbsent;
  // Digits with a sign, the form every writer gives: read exactly, any
  // length that fits.
  const std::string_view digits = !v.empty() && v[0] == '+' ? v.substr(1) : v;
  if (!digits.empty() && (is_digit(digits[0]) || (digits[0] == '-' && digits.size() == v.size()))) {
    const char* end = digits.data() + digits.size();
    const auto [p, ec] = std::from_chars(digits.data(), end, i);
    if (p == end) {
      if (ec == std::errc()) return CifNumber::kRead;
      i = 0;
      return CifNumber::kNoNumber;  // too large for the integer it stands for
    }
    i = 0;
  }
  // Any other number whose value is whole ("17.0", "1.7e1", "5(1)").
  float f = 0.0f;
  if (cif_number(value, 0.0f, f) != CifNumber::kRead) return CifNumber::kNoNumber;
  if (!(std::fabs(f) < 16777216.0f) || f != std::trunc(f)) return CifNumber::kNoNumber;
  i = static_cast<int32_t>(f);
  return CifNumber::kRead;
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
