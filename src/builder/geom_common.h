// Small tests shared by the geometry stages of the builder: the hydrogen
// test, energy types as the library comparisons see them, prefixes of
// blank-padded words, and numbers formatted into message fields.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "dictionary/lib_com.h"
#include "runtime/fixed_text.h"

namespace builder::geom {

using Name = rt::FixedText<4>;
using Word = rt::FixedText<8>;

inline bool begins(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Hydrogen or deuterium by the whole 4-character symbol.
inline bool is_h(const Name& symb) { return symb == "H" || symb == "D"; }
inline bool is_h_atom(int ia) { return is_h(r_scratch.l1a_symb(ia)); }

// An atom's type for the energy library: hydrogens are "H".
inline Name atom_type(int ia) { return is_h_atom(ia) ? Name("H") : r_scratch.l1a_chem(ia); }

// A library type of three or more characters beginning "H" stands for hydrogen.
inline Name lib_type(const Name& t) { return (t(1) == 'H' && t.len_trim() > 2) ? Name("H") : t; }

inline bool has_coords(int ia) { return r_scratch.l1a_coor_flag(ia) == "Y"; }

// Metal-centre rows of the chiral table carry no handedness.
inline bool is_metal_row(const Word& sign) {
  return begins(sign.view(), "cros") || begins(sign.view(), "star");
}

// Integer right-aligned in w columns.
inline std::string iw(long v, int w) {
  char b[32];
  std::snprintf(b, sizeof b, "%*ld", w, v);
  return b;
}

// Real in w columns with d decimals.
inline std::string fw(double v, int w, int d) {
  char b[64];
  std::snprintf(b, sizeof b, "%*.*f", w, d, v);
  return b;
}

// Free-format number: a blank, then the value without padding.
inline std::string fi(long v) { return ' ' + std::to_string(v); }
inline std::string ff(double v) {
  char b[64];
  std::snprintf(b, sizeof b, " %.5g", v);
  return b;
}

// n integers, each in free format.
inline std::string ints(const int32_t* v, int n) {
  std::string t;
  for (int i = 0; i < n; ++i) t += fi(v[i]);
  return t;
}

// A line of the trace mode on standard output.
inline void trace(const std::string& line) { std::printf("%s\n", line.c_str()); }

}  // namespace builder::geom
