// The character scans under the CIF tokeniser, one of the two hand-vectorised
// units of the code base (the other turns reflection rows into columns).
// Each scan exists twice: in SSE2 (namespace simd) and as plain code
// (namespace plain) that gives the same results byte for byte.
// The tokeniser calls foundation::cif_scan::..., which is the SSE2 one where
// the compiler targets SSE2 and ORB_CIF_SCAN_PLAIN is not defined, the plain
// one otherwise; both are compiled and compared with each other by the tests.
//
// Every scan may read the 32 (run and word copies) or 16 (masks) characters
// from where it starts: callers pass lines with that much room.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

#include "foundation/words.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#if defined(__SSE2__) && !defined(ORB_CIF_SCAN_PLAIN)
#define ORB_CIF_SCAN_SIMD 1
#else
#define ORB_CIF_SCAN_SIMD 0
#endif

namespace foundation::cif_scan {

// Characters that are stored as they are and never end a word: everything
// but blanks, apostrophes and unprintable characters.
constexpr std::array<bool, 256> make_plain() {
  std::array<bool, 256> t{};
  for (int c = 0; c < 256; ++c) t[c] = words_detail::kClasses[c] != '?' && c != ' ' && c != '\'';
  return t;
}
inline constexpr std::array<bool, 256> kPlain = make_plain();

inline bool is_plain(char c) { return kPlain[static_cast<unsigned char>(c)]; }

// Blanks the 16-character blocks of a word slot from `from` (a multiple of
// 16) up to `old`, the length its last content used.
inline void blank_rest(char* slot, int from, int old) {
  for (int b = from; b < old; b += 16) std::memset(slot + b, ' ', 16);
}

#if !ORB_CIF_SCAN_SIMD
inline
#endif
    namespace plain {

// Plain characters at the start of p, counted up to 32.
inline int plain_run32(const char* p) {
  int i = 0;
  while (i < 32 && is_plain(p[i])) ++i;
  return i;
}

// A word of len < 32 characters at src written into a slot whose last
// content used `old` characters: the blocks the word or that content reach
// hold the word, then blanks.
inline void put_short_word(char* dst, const char* src, int len, int old) {
  const int lim = len > 16 || old > 16 ? 32 : 16;
  std::memcpy(dst, src, len);
  std::memset(dst + len, ' ', lim - len);
  blank_rest(dst, 32, old);
}

// Bit j of mask (64 characters a word) set when character j of the first n
// is plain; the mask words must start as zero.  False, with the mask
// unfinished, when the first n characters hold an apostrophe or a double
// quote.
inline bool plain_mask(const char* line, int n, uint64_t* mask) {
  for (int j = 0; j < n; ++j) {
    if (line[j] == '\'' || line[j] == '"') return false;
    if (is_plain(line[j])) mask[j / 64] |= uint64_t{1} << (j % 64);
  }
  return true;
}

// A "#" among the first n characters.
inline bool has_hash(const char* line, int n) { return std::memchr(line, '#', n) != nullptr; }

// plain_mask of a line that holds bare values alone: false as well when the
// first n characters hold an underscore (which every name, block and loop
// word holds) or a character that opens a comment ("#", "<").
inline bool bare_value_mask(const char* line, int n, uint64_t* mask) {
  for (int j = 0; j < n; ++j)
    if (line[j] == '_' || line[j] == '#' || line[j] == '<') return false;
  return plain_mask(line, n, mask);
}

}  // namespace plain

// Built wherever the compiler targets SSE2, chosen or not, so that the tests
// compare it with the plain scans in every build.
#if defined(__SSE2__)
#if ORB_CIF_SCAN_SIMD
inline
#endif
    namespace simd {

// 32 bytes of 0xFF then 32 zero bytes: the 16 bytes from 32 - m keep the
// first m characters of a block (m from -16 to 32: none up to 0, all from
// 16 on).
alignas(16) inline constexpr unsigned char kKeepFirst[64] = {
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

// Bit j set when character j of the block is not plain: a blank, a control
// character, one at 127 and above, or an apostrophe.  Adding 1 turns 127
// into -128, so one signed comparison with 34 finds all but the apostrophe.
inline uint32_t not_plain_bits(__m128i v) {
  const __m128i low = _mm_cmplt_epi8(_mm_add_epi8(v, _mm_set1_epi8(1)), _mm_set1_epi8(34));
  const __m128i apo = _mm_cmpeq_epi8(v, _mm_set1_epi8('\''));
  return static_cast<uint32_t>(_mm_movemask_epi8(_mm_or_si128(low, apo)));
}

// The first m characters of v, blanks after them.
inline __m128i keep_first(__m128i v, int m) {
  const __m128i keep = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kKeepFirst + 32 - m));
  const __m128i blanks = _mm_set1_epi8(' ');
  return _mm_or_si128(_mm_and_si128(keep, v), _mm_andnot_si128(keep, blanks));
}

inline __m128i load16(const char* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline int plain_run32(const char* p) {
  const uint32_t stop = not_plain_bits(load16(p)) | not_plain_bits(load16(p + 16)) << 16;
  return stop == 0 ? 32 : __builtin_ctz(stop);
}

inline void put_short_word(char* dst, const char* src, int len, int old) {
  __m128i* out = reinterpret_cast<__m128i*>(dst);
  _mm_storeu_si128(out, keep_first(load16(src), len));
  if (len > 16 || old > 16) _mm_storeu_si128(out + 1, keep_first(load16(src + 16), len - 16));
  blank_rest(dst, 32, old);
}

inline bool plain_mask(const char* line, int n, uint64_t* mask) {
  const __m128i apo = _mm_set1_epi8('\'');
  const __m128i dquote = _mm_set1_epi8('"');
  for (int c = 0; c * 16 < n; ++c) {
    const __m128i v = load16(line + 16 * c);
    const uint32_t inside = n - 16 * c >= 16 ? 0xFFFFU : (1U << (n - 16 * c)) - 1;
    const __m128i quotes = _mm_or_si128(_mm_cmpeq_epi8(v, apo), _mm_cmpeq_epi8(v, dquote));
    if ((static_cast<uint32_t>(_mm_movemask_epi8(quotes)) & inside) != 0) return false;
    const uint32_t bits = ~not_plain_bits(v) & inside;
    mask[c / 4] |= static_cast<uint64_t>(bits) << (16 * (c % 4));
  }
  return true;
}

inline bool bare_value_mask(const char* line, int n, uint64_t* mask) {
  const __m128i apo = _mm_set1_epi8('\'');
  const __m128i dquote = _mm_set1_epi8('"');
  const __m128i under = _mm_set1_epi8('_');
  const __m128i hash = _mm_set1_epi8('#');
  const __m128i angle = _mm_set1_epi8('<');
  for (int c = 0; c * 16 < n; ++c) {
    const __m128i v = load16(line + 16 * c);
    const uint32_t inside = n - 16 * c >= 16 ? 0xFFFFU : (1U << (n - 16 * c)) - 1;
    const __m128i stops =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, apo), _mm_cmpeq_epi8(v, dquote)),
                     _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, under), _mm_cmpeq_epi8(v, hash)),
                                  _mm_cmpeq_epi8(v, angle)));
    if ((static_cast<uint32_t>(_mm_movemask_epi8(stops)) & inside) != 0) return false;
    const uint32_t bits = ~not_plain_bits(v) & inside;
    mask[c / 4] |= static_cast<uint64_t>(bits) << (16 * (c % 4));
  }
  return true;
}
inline bool has_hash(const char* line, int n) {
  const __m128i hash = _mm_set1_epi8('#');
  for (int c = 0; c * 16 < n; ++c) {
    uint32_t bits =
        static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(load16(line + 16 * c), hash)));
    if (n - 16 * c < 16) bits &= (1U << (n - 16 * c)) - 1;
    if (bits != 0) return true;
  }
  return false;
}

}  // namespace simd
#endif

}  // namespace foundation::cif_scan
