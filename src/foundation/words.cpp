// Character classes and codes, case conversion, the line writer, number
// conversion of words and the free-format word splitter.
#include "foundation/words.h"

#include <cstring>

#include "runtime/units.h"


com_byte_t com_byte;
comfread_t comfread;

namespace {

// Powers of ten for the decimal places and exponents of wtodig_ (at most 31).
// Every entry is the double nearest to the power, as a correctly rounded
// power function gives it; up to 1e22 they are exact.
constexpr double kPow10[32] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10,
                               1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21,
                               1e22, 1e23, 1e24, 1e25, 1e26, 1e27, 1e28, 1e29, 1e30, 1e31};

}  // namespace

void set_byte_() {
  // The codes are taken from the characters themselves, so the classifier
  // does not depend on the byte order; the positions record it all the same.
  const uint16_t probe = 1;
  unsigned char b[2];
  std::memcpy(b, &probe, 2);
  com_byte.ilow = b[0] == 1 ? 1 : 2;
  com_byte.ihigh = 3 - com_byte.ilow;
  com_byte.icode_a_up = static_cast<unsigned char>('A');
  com_byte.icode_a_lo = static_cast<unsigned char>('a');
  com_byte.icode_0 = static_cast<unsigned char>('0');
}

void chksmb_(char c, char& cls) { cls = char_class(c); }

void chtoint_(char c, int32_t& code) { code = static_cast<unsigned char>(c); }

void inttoch_(char& c, int32_t code) { c = static_cast<char>(static_cast<unsigned char>(code & 0xff)); }

void check_line_(int32_t mode, rt::TextRef line) {
  int n = line.len_trim();
  if (n > 256) n = 256;
  for (int k = 0; k < n; ++k) {
    char& c = line.p[k];
    const char cls = char_class(c);
    if (mode == 1 && cls == 'l')
      c = static_cast<char>(c - ('a' - 'A'));
    else if (mode == -1 && cls == 'L')
      c = static_cast<char>(c + ('a' - 'A'));
    else if (cls == '?')
      c = ' ';
  }
}

void clear_line_(rt::TextRef line) {
  for (int k = line.len_trim(); k >= 1; --k) {
    char& c = line.p[k - 1];
    if (c == ',')
      c = ' ';
    else if (c != ' ')
      break;
  }
}

void wrtstr_(int32_t unit, int32_t /*mdoc*/, std::string_view line, int32_t& ierr) {
  ierr = 0;
  if (unit < 1) return;
  const int n = rt::len_trim(line);
  if (n < 1) return;
  if (rt::write_record(unit, line.substr(0, n)) != rt::IOSTAT_OK) ierr = 1;
}

namespace {

// What the scan of a word found: the sign, the digits before and after the
// decimal point as one integer, the integer part, and where the scan stopped.
struct Scan {
  float sign;
  int first_digit;  // position of the first digit (after the sign)
  int point;        // position of the decimal point, -1 without
  int ndec;         // digits after the point
  int end;          // position of the first character that is not part of the number
  int64_t digits;   // every digit read, as one integer (at most 16 digits)
  int64_t ipart;    // the digits before the point
};

// The results of wtodig_ from the scan of the first n characters of w.
void finish_number(const char* w, int32_t n, const Scan& s, float& f, int32_t& i) {
  // The mantissa is built in single precision, digit by digit.  Up to 2^24
  // every step is exact, so it equals the integer of the digits; beyond,
  // the steps are rounded and are replayed as such.
  float mant = static_cast<float>(s.digits);
  if (s.digits > (int64_t{1} << 24)) {
    mant = 0;
    for (int m = s.first_digit; m < s.end; ++m)
      if (m != s.point) mant = mant * 10.0f + static_cast<float>(w[m] - '0');
  }
  const float value = static_cast<float>(s.sign * mant / kPow10[s.ndec]);
  // The integer part keeps its low 32 bits; the sign is applied modulo 2^32
  // so that -2147483648 does not overflow.
  const uint32_t ulow = static_cast<uint32_t>(s.ipart);
  const int32_t ivalue = static_cast<int32_t>(s.sign < 0 ? 0U - ulow : ulow);
  const int k = s.end;
  if (k == n) {
    f = value;
    i = ivalue;
    return;
  }
  const char c = w[k];
  if (!((c == 'e' || c == 'E') && mant != 0)) return;
  if (k + 1 == n) {
    f = value;
    i = ivalue;
    return;
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
      return;
    }
  }
  const double p = kPow10[expo];
  f = static_cast<float>(esign < 0 ? value / p : value * p);
}


}  // namespace

void wtodig_(std::string_view word, int32_t n, float& f, int32_t& i) {
  f = 0;
  i = 0;
  if (n > 16) return;
  if (n > static_cast<int32_t>(word.size())) n = static_cast<int32_t>(word.size());
  const char* w = word.data();
  Scan s{1.0f, 0, -1, 0, 0, 0, 0};
  int k = 0;
  // A sign counts only as the first character.
  if (n > 0 && (w[0] == '-' || w[0] == '+')) {
    if (w[0] == '-') s.sign = -1;
    k = 1;
  }
  s.first_digit = k;
  for (; k < n && w[k] >= '0' && w[k] <= '9'; ++k) s.digits = s.digits * 10 + (w[k] - '0');
  s.ipart = s.digits;
  if (k < n && w[k] == '.') {
    s.point = k;
    for (++k; k < n && w[k] >= '0' && w[k] <= '9'; ++k) {
      s.digits = s.digits * 10 + (w[k] - '0');
      ++s.ndec;
    }
  }
  s.end = k;
  finish_number(w, n, s, f, i);
}

void frd_parm_() {
  comfread_t& fr = comfread;
  fr.iover = 0;
  fr.nwrd = 0;
  const int n = fr.line.len_trim();
  if (n == 0) return;
  char buf[80];
  bool open = false;
  int nopen = 0;   // words opened so far
  int len = 0;     // characters of the open word
  int quote = 0;
  auto end_word = [&](bool by_blank) {
    open = false;
    if (len == 0 && !by_blank) return;  // an empty word at the end of the line is dropped
    const int w = nopen;
    fr.nwrd = w;
    if (len == 0) {
      fr.cwrd(w) = "?";
      fr.lwrd(w) = 1;
      fr.fwrd(w) = 0;
      fr.iwrd(w) = 0;
    } else {
      const int stored = len < 80 ? len : 80;
      fr.cwrd(w) = std::string_view(buf, stored);
      fr.lwrd(w) = len;
      wtodig_(std::string_view(buf, stored), len, fr.fwrd(w), fr.iwrd(w));
    }
    len = 0;
  };
  auto open_word = [&]() {
    if (nopen == 20) {
      fr.iover = 1;
      return false;
    }
    ++nopen;
    open = true;
    len = 0;
    return true;
  };
  auto store = [&](char c) {
    if (len < 80) buf[len] = c;
    ++len;
  };
  for (int k = 1; k <= n; ++k) {
    char c = fr.line(k);
    if (char_class(c) == '?') c = ' ';
    if (c == '\'') {
      quote ^= 1;
      if (!open && !open_word()) return;
    } else if (c == ' ') {
      if (quote == 1) {
        if (!open && !open_word()) return;
        store(c);
      } else if (open) {
        end_word(true);
      }
    } else {
      if (!open && !open_word()) return;
      store(c);
    }
    if (k == n && open) end_word(false);
  }
}
