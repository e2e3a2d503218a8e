// The one reading of a number from outside input.
#include "runtime/number_word.h"

#include <charconv>
#include <cstdint>

#include "runtime/fixed_text.h"
#include "runtime/word_number.h"

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

}  // namespace

rt::NumberWord rt::read_number(std::string_view value, float& f) {
  f = 0.0f;
  const std::string_view v = rt::trim_right(value);
  if (v == "?" || v == ".") return NumberWord::kAbsent;
  std::string_view number = v;
  if (!v.empty() && v.back() == ')') {
    const std::size_t open = v.find('(');
    if (open == std::string_view::npos) return NumberWord::kNoNumber;
    const std::string_view su = v.substr(open + 1, v.size() - open - 2);
    if (su.empty() || su.find_first_not_of("0123456789") != std::string_view::npos)
      return NumberWord::kNoNumber;
    number = v.substr(0, open);
  }
  int32_t ignored = 0;
  const bool read =
      number.size() <= 16
          ? word_number(number.data(), static_cast<int32_t>(number.size()), f, ignored)
          : long_number(number, f);
  if (read) return NumberWord::kRead;
  f = 0.0f;
  return NumberWord::kNoNumber;
}
