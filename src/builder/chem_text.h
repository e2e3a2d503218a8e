// Small word tests shared by the chemistry stages of the builder: element
// symbols compared on their first two characters, bond-type words on their
// first letters, and the bond-order value of a type word.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "dictionary/descr_lookups.h"
#include "dictionary/lib_com.h"
#include "foundation/messages.h"
#include "runtime/fixed_text.h"

namespace builder {

using Name = rt::FixedText<4>;
using Word = rt::FixedText<8>;

inline bool begins(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// First two characters of an element symbol, "C " for carbon.
inline std::string_view elem2(const Name& symb) { return symb.view().substr(0, 2); }

inline bool is_elem(const Name& symb, std::string_view e2) { return elem2(symb) == e2; }

// Atom of L1 behind a neighbour entry; ring perception makes some entries negative.
inline int nb(int slot, int ia) { return std::abs(r_scratch.l1a_conn(slot, ia)); }

// The bond row of atoms i and j of the monomer in L1; 0 when they have none.
inline int bond_row(int32_t mdoc, int i, int j) {
  float val = 0.0f;
  int32_t lb = 0, st = 0;
  srch_bond_(mdoc, r_scratch.l1l_mname.view(), i, j, val, lb, st);
  return st == 0 ? lb : 0;
}

// arom/deloc: a type beginning "arom" or "delo".
inline bool is_arom(const Word& t) { return begins(t.view(), "arom") || begins(t.view(), "delo"); }

// Counted as untyped by the list routes: "." or a word beginning "cov".
inline bool untyped_list(const Word& t) { return t == "." || begins(t.view(), "cov"); }

// Plane label "plan-" and the number as a two-digit field without its leading blank.
inline Word plane_label(int p) {
  char buf[16];
  const char* digits = "0123456789";
  int n = 0;
  if (p >= 10) buf[n++] = digits[(p / 10) % 10];
  buf[n++] = digits[p % 10];
  std::string label = "plan-";
  label.append(buf, n);
  return Word(label);
}

// The two lines of a full work table of the builder: head, the limit in six
// columns, then `indent` blanks and the advice naming the constant of lib_com.
inline void work_table_full(int32_t mdoc, const std::string& head, int32_t limit,
                            std::string_view constant, int indent) {
  foundation::TableLimit t;
  t.constant = constant;
  t.header = "lib_com";
  t.indent = indent;
  foundation::table_full(mdoc, head, limit, "", t);
}

}  // namespace builder
