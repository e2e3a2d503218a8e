// The character kit shared by every reader and writer of the code base:
// character classes and codes, case conversion that blanks unprintable
// characters, trailing-comma cleaning, the one-line text writer, conversion
// of a word to numbers and the older free-format word splitter.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "runtime/array.h"
#include "runtime/fixed_text.h"

// Filled and read by foundation (set_byte_ and the word utilities).
// Byte order and character codes of the machine, filled by set_byte_.
struct com_byte_t {
  int32_t ilow;   // which byte (1 or 2) of a 2-byte integer is the low-order one
  int32_t ihigh;  // the other one
  int32_t icode_a_up;  // code of "A"
  int32_t icode_a_lo;  // code of "a"
  int32_t icode_0;     // code of "0"
};
extern com_byte_t com_byte;

inline constexpr int MAXFRDWORD = 60;   // words a split line has room for
inline constexpr int FRDWORDLEN = 80;   // stored characters of a word

// Filled by the word splitters (foundation); read by their callers.
// Work area of a word splitter: the caller puts a line in `line`, the
// splitter fills the words with their lengths and numeric values.
template <int L>
struct comfread_rec {
  rt::Array1<float, MAXFRDWORD> fwrd;    // value of each word as a real number
  int32_t iover;                          // 1 when the line had too many words
  int32_t nwrd;                           // number of words found
  rt::Array1<int32_t, MAXFRDWORD> lwrd;   // length of each word as read (may exceed 80)
  rt::Array1<int32_t, MAXFRDWORD> iwrd;   // value of each word as an integer
  rt::Array1<rt::FixedText<FRDWORDLEN>, MAXFRDWORD> cwrd;  // the words, cut to 80
  rt::FixedText<L> line;                  // the input line
};
using comfread_t = comfread_rec<80>;
extern comfread_t comfread;

namespace words_detail {
constexpr std::array<char, 256> make_classes() {
  std::array<char, 256> t{};
  for (auto& c : t) c = '?';
  for (int c = 'A'; c <= 'Z'; ++c) t[c] = 'L';
  for (int c = 'a'; c <= 'z'; ++c) t[c] = 'l';
  for (int c = '0'; c <= '9'; ++c) t[c] = 'D';
  t['+'] = t['-'] = 'S';
  t['*'] = t['/'] = t['.'] = t['='] = 'O';
  t[' '] = 'B';
  for (char c : std::string_view("'\"@\\`|,!#$%&()<>?[]^~{};:"))
    t[static_cast<unsigned char>(c)] = 'C';
  t['_'] = 'U';
  return t;
}
inline constexpr std::array<char, 256> kClasses = make_classes();
}  // namespace words_detail

// Writes com_byte.
void set_byte_();
// Class of a character: L upper-case letter, l lower-case letter, D digit,
// S sign, O operator (* / . =), B blank, C other punctuation, U underscore,
// ? anything else (control characters, codes above the printable range).
void chksmb_(char c, char& cls);
// Fast form of chksmb_ for the per-character loops of the readers.
inline char char_class(char c) { return words_detail::kClasses[static_cast<unsigned char>(c)]; }
void chtoint_(char c, int32_t& code);
void inttoch_(char& c, int32_t code);
// mode 1 upper-cases, -1 lower-cases, any mode blanks unprintable characters
// (the first 256 characters of the used length only).
void check_line_(int32_t mode, rt::TextRef line);
void clear_line_(rt::TextRef line);
void wrtstr_(int32_t unit, int32_t mdoc, std::string_view line, int32_t& ierr);
// Real value f and integer value i of the first n characters of word; 0 and 0
// when they are not a number.
void wtodig_(std::string_view word, int32_t n, float& f, int32_t& i);
// Splits comfread.line into at most 20 words (apostrophes quote blanks).
// Writes comfread.
void frd_parm_();
