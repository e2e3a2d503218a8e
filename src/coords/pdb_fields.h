// Fixed-column number fields of PDB records, read the way a fixed-width
// numeric edit descriptor reads them: blanks are ignored, an all-blank field
// is 0, and a real field without a decimal point takes its last `decimals`
// digits as decimals.  Reading never allocates; a malformed field is a false
// result, the value is then left unchanged.
#pragma once

#include <cstdint>
#include <string_view>

namespace pdbf {

// Characters i..j (1-based, inclusive) of a line, cut at its end.
inline std::string_view cols(std::string_view line, int i, int j) {
  if (i < 1) i = 1;
  if (static_cast<int>(line.size()) < i) return std::string_view();
  const int last = j < static_cast<int>(line.size()) ? j : static_cast<int>(line.size());
  return line.substr(static_cast<std::size_t>(i - 1), static_cast<std::size_t>(last - i + 1));
}

inline bool read_int(std::string_view field, int32_t& out) {
  int64_t v = 0;
  int sign = 1;
  bool digits = false, sign_seen = false;
  for (char c : field) {
    if (c == ' ') continue;
    if ((c == '+' || c == '-') && !digits && !sign_seen) {
      sign_seen = true;
      if (c == '-') sign = -1;
    } else if (c >= '0' && c <= '9') {
      digits = true;
      v = v * 10 + (c - '0');
      if (v > 2147483647LL) return false;
    } else {
      return false;
    }
  }
  if (sign_seen && !digits) return false;
  out = static_cast<int32_t>(sign * v);
  return true;
}

inline bool read_real_general(std::string_view field, int decimals, float& out) {
  double mant = 0;
  int sign = 1, frac = 0, exp = 0, exp_sign = 1;
  bool digits = false, point = false, sign_seen = false, in_exp = false, exp_digits = false,
       exp_sign_seen = false;
  for (char c : field) {
    if (c == ' ') continue;
    if (!in_exp) {
      if ((c == '+' || c == '-') && !digits && !point && !sign_seen) {
        sign_seen = true;
        if (c == '-') sign = -1;
      } else if (c >= '0' && c <= '9') {
        digits = true;
        mant = mant * 10 + (c - '0');
        if (point) ++frac;
      } else if (c == '.' && !point) {
        point = true;
      } else if ((c == 'E' || c == 'e' || c == 'D' || c == 'd') && digits) {
        in_exp = true;
      } else if ((c == '+' || c == '-') && digits) {
        in_exp = true;
        exp_sign_seen = true;
        if (c == '-') exp_sign = -1;
      } else {
        return false;
      }
    } else {
      if ((c == '+' || c == '-') && !exp_digits && !exp_sign_seen) {
        exp_sign_seen = true;
        if (c == '-') exp_sign = -1;
      } else if (c >= '0' && c <= '9') {
        exp_digits = true;
        exp = exp * 10 + (c - '0');
        if (exp > 400) return false;
      } else {
        return false;
      }
    }
  }
  if (!digits) {
    if (sign_seen || point) return false;
    out = 0.0f;
    return true;
  }
  if (in_exp && !exp_digits) return false;
  int scale = exp_sign * exp - (point ? frac : decimals);
  static constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
  double v = mant;
  while (scale > 8) { v *= 1e8; scale -= 8; }
  while (scale < -8) { v /= 1e8; scale += 8; }
  if (scale >= 0)
    v *= kPow10[scale];
  else
    v /= kPow10[-scale];
  out = static_cast<float>(sign * v);
  return true;
}

// The common shape of a coordinate field: blanks, an optional minus, digits,
// a point and one to eight digits, nothing after.  The value is worked out
// as the general reader works it out; false for any other shape, which the
// general reader then takes.
inline bool read_plain_decimal(std::string_view field, float& out) {
  const char* p = field.data();
  const char* const end = p + field.size();
  while (p != end && *p == ' ') ++p;
  const bool minus = p != end && *p == '-';
  if (minus) ++p;
  int64_t m = 0;
  int whole = 0, frac = 0;
  for (; p != end && *p >= '0' && *p <= '9'; ++p, ++whole) m = m * 10 + (*p - '0');
  if (whole == 0 || p == end || *p != '.') return false;
  for (++p; p != end && *p >= '0' && *p <= '9'; ++p, ++frac) m = m * 10 + (*p - '0');
  if (p != end || frac == 0 || frac > 8 || whole + frac > 15) return false;
  static constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
  out = static_cast<float>((minus ? -1 : 1) * (static_cast<double>(m) / kPow10[frac]));
  return true;
}

inline bool read_real(std::string_view field, int decimals, float& out) {
  return read_plain_decimal(field, out) || read_real_general(field, decimals, out);
}

// Whether an atom's values can be written back: coordinates in the eight
// columns with three decimals of the coordinate files, occupancy and B in six
// with two.  A value that is not finite, or too large for its field, would
// come out as a field of stars or as zero.
inline bool atom_values_fit(const float* xyz, float occ, float biso) {
  const auto within = [](float v, float lo, float hi) { return v >= lo && v <= hi; };  // false for NaN
  for (int k = 0; k < 3; ++k)
    if (!within(xyz[k], -999.999f, 9999.999f)) return false;
  return within(occ, -99.99f, 999.99f) && within(biso, -99.99f, 999.99f);
}

// The same for the six components of an anisotropic U, written in nine
// columns with four decimals: every float inside these bounds is written
// without rounding up to them (9999.9999 is the float 10000).
inline bool aniso_values_fit(const float* u) {
  for (int k = 0; k < 6; ++k)
    if (!(u[k] > -1000.0f && u[k] < 10000.0f)) return false;  // false for NaN
  return true;
}

}  // namespace pdbf
