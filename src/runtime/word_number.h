// Conversion of a word to its real and integer values, the work of wtodig_.
// It lives in a header so that the CIF word splitter, which converts every
// word it stores, has it inline; wtodig_ is the entry for the keyword parser
// and the other free-format readers, which take 0 for a word that is no
// number.  The CIF coordinate readers also ask whether the word was one.
#pragma once

#include <cstdint>

namespace word_number_detail {

// Powers of ten for the decimal places and exponents (at most 31).  Every
// entry is the double nearest to the power, as a correctly rounded power
// function gives it; up to 1e22 they are exact.
inline constexpr double kPow10[32] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10,
                                      1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21,
                                      1e22, 1e23, 1e24, 1e25, 1e26, 1e27, 1e28, 1e29, 1e30, 1e31};

// 10^d in single precision, d = 0..8 (all exact).  For a mantissa m that
// is an integer held in single precision, m / kPow10f[d] (rounded once, in
// single precision) equals (float)(m / kPow10[d]) (rounded to double, then
// to float): m / 10^d is never a midpoint between two floats and lies at
// least 2^-43 (relative) away from every one, while the double quotient
// strays from it by at most 2^-53, so both land on the same float.
inline constexpr float kPow10f[9] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f};

// The conversion itself, true when the word is a number: at least one
// digit, then nothing the rules do not allow ('0e5' is the number 0, which
// f and i give as for any other word; '', '-', '.', '1.2.3' and '1e-' are
// none).
// kPadded: the character after the n characters is known to be no digit
// and no point (a blank-padded slot), so the digit loops need not watch the
// length.
template <bool kPadded>
inline bool convert(const char* w, int32_t n, float& f, int32_t& i) {
  bool neg = false;
  int k = 0;
  if (n > 0 && (w[0] == '-' || w[0] == '+')) {
    neg = w[0] == '-';
    k = 1;
  }
  const int first_digit = k;
  unsigned d = 0;
  auto digit_at = [&](int m) {
    if (!kPadded && m >= n) return false;
    d = static_cast<unsigned char>(w[m]) - unsigned{'0'};
    return d <= 9;
  };
  int point = -1;      // position of the decimal point, -1 without
  int ndec = 0;        // digits after the point
  int64_t digits = 0;  // every digit read, as one integer (at most 16 digits)
  for (; digit_at(k); ++k) digits = digits * 10 + d;
  const int64_t ipart = digits;  // wide: sixteen digits do not fit 32 bits
  if ((kPadded || k < n) && w[k] == '.') {
    point = k;
    for (++k; digit_at(k); ++k) {
      digits = digits * 10 + d;
      ++ndec;
    }
  }
  // Up to 2^24 every single-precision step of the mantissa is exact, so it
  // equals the integer of the digits; beyond, the rounded steps are
  // replayed as such.
  float mant = static_cast<float>(digits);
  if (digits > (int64_t{1} << 24)) {
    mant = 0;
    for (int m = first_digit; m < k; ++m)
      if (m != point) mant = mant * 10.0f + static_cast<float>(w[m] - '0');
  }
  const float signed_mant = neg ? -mant : mant;
  const float value = ndec < 9 ? signed_mant / kPow10f[ndec] : static_cast<float>(signed_mant / kPow10[ndec]);
  // The integer part keeps its low 32 bits; the sign is applied modulo 2^32
  // so that -2147483648 does not overflow.
  const uint32_t ulow = static_cast<uint32_t>(ipart);
  const int32_t ivalue = static_cast<int32_t>(neg ? 0U - ulow : ulow);
  const bool any_digit = k - first_digit > (point >= 0 ? 1 : 0);
  if (k == n) {
    f = value;
    i = ivalue;
    return any_digit;
  }
  f = 0;
  i = 0;
  const char c = w[k];
  if ((c != 'e' && c != 'E') || !any_digit) return false;
  // A zero mantissa gives 0 and 0 whatever exponent follows.
  const bool zero = mant == 0;
  // An "e" with no exponent digits after it ('1e', '1e-', a number cut
  // short) keeps the values of the mantissa, as free-format readers have
  // always taken them, but is no number: '1.5e-' is not 1.5.
  if (k + 1 == n || (k + 2 == n && (w[k + 1] == '-' || w[k + 1] == '+'))) {
    if (!zero) {
      f = value;
      i = ivalue;
    }
    return false;
  }
  int esign = 1;
  int expo = 0;
  for (int m = k + 1; m < n; ++m) {
    const char e = w[m];
    if (e >= '0' && e <= '9') {
      expo = expo * 10 + (e - '0');
      if (expo > 31) expo = 31;
    } else if (e == '-' && m == k + 1) {
      esign = -1;
    } else if (e == '+' && m == k + 1) {
    } else {
      return false;
    }
  }
  if (zero) return true;
  const double p = kPow10[expo];
  f = static_cast<float>(esign < 0 ? value / p : value * p);
  return true;
}

}  // namespace word_number_detail

// The real value f and integer value i of the n characters at w, n from 0
// to 16 (the caller has dealt with longer words, which are no number).
// A "-" or "+" may come first; digits, with at most one decimal point, make
// the mantissa, built digit by digit in single precision; an "e" or "E"
// after a non-zero mantissa may bring an exponent (limited to 31), which
// needs a digit: with none the values are the mantissa's but the word is no
// number.  Any other character ends the number and gives 0 and 0.  True
// when the word is a number.
inline bool word_number(const char* w, int32_t n, float& f, int32_t& i) {
  return word_number_detail::convert<false>(w, n, f, i);
}

// The same for a word held in a blank-padded slot of more than n
// characters.
inline bool slot_word_number(const char* w, int32_t n, float& f, int32_t& i) {
  return word_number_detail::convert<true>(w, n, f, i);
}
