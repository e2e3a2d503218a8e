// Character classes and codes, case conversion, the line writer, number
// conversion of words and the free-format word splitter.
#include "foundation/words.h"

#include <cstring>

#include "runtime/word_number.h"
#include "runtime/units.h"

com_byte_t com_byte;
comfread_t comfread;

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

void wtodig_(std::string_view word, int32_t n, float& f, int32_t& i) {
  if (n > 16) {
    f = 0;
    i = 0;
    return;
  }
  if (n > static_cast<int32_t>(word.size())) n = static_cast<int32_t>(word.size());
  if (n < 0) n = 0;
  word_number(word.data(), n, f, i);
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
