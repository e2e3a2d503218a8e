// Finding an atom of the current residue (work description C1 in tree
// order) by name with all its alternate positions, and deciding whether a
// combination of positions may form one restraint.
#pragma once

#include <cstdint>
#include <string_view>

#include "dictionary/lib_com.h"
#include "runtime/array.h"
#include "runtime/fixed_text.h"

namespace restraints {

// Per found position: correction code then alternate code ('.' none; ".."
// an atom common to every conformer), and its place in the tree order.
using AltCodes = rt::Array1<rt::FixedText<2>, MX1ALT>;
using AltPlaces = rt::Array1<int32_t, MX1ALT>;

// The signed number of a code pair, by which the conformers of a plane are
// told apart: + the correction code, - the alternate code, 0 for "..".  A
// nonzero number is added to its own list (corr_codes or alt_codes) the
// first time it is seen.
int32_t conformer_code(const rt::FixedText<2>& pair, int32_t* corr_codes, int& ncorr,
                       int32_t* alt_codes, int& nalt);

// The number conformer_code gives a pair, without adding it to a list.
int32_t code_number(const rt::FixedText<2>& pair);

}  // namespace restraints

// The tree positions of the first atom named `name` (states 'U' and 'D'
// never match, 'M' does) and then of its alternates in tree order: n of
// them, at most MX1ALT.  Each position beyond the limit gives the two-line
// capacity message and ierr 1; the positions held stay valid.
// Writes no table.
void srch_num_(int32_t mdoc, std::string_view name, int32_t& n, restraints::AltCodes& corr,
               restraints::AltPlaces& iname, int32_t& ierr);

// 'Y' when the n positions with the codes corr(1..n) may stand in one
// restraint: every position carries the one correction code in use (or is
// common, ".."), or, with no correction code in use, the one alternate
// code in use.
void chk_alt_(int32_t n, const rt::FixedText<2>* corr, char& check);

namespace restraints {

// Calls visit(idx) for every combination of one position of each of m atoms
// (at most four; atom k has n[k] positions, idx[k] counts from 1), the last
// atom's positions innermost; nothing when an atom has none.
template <typename Visit>
void each_combination(int m, const int32_t* n, Visit visit) {
  for (int k = 0; k < m; ++k)
    if (n[k] < 1) return;
  int32_t idx[4] = {1, 1, 1, 1};
  for (;;) {
    visit(static_cast<const int32_t*>(idx));
    int k = m - 1;
    while (k >= 0 && ++idx[k] > n[k]) idx[k--] = 1;
    if (k < 0) return;
  }
}

// The conformer that m compatible code pairs stand for, read as chk_alt_
// reads them: the correction code (at 1) when one is in use, else the
// alternate code (at 2); letter '.' when every pair is common.
void conformer_of(int32_t m, const rt::FixedText<2>* codes, int& at, char& letter);

// False when the combination idx (codes[k] = code(k, idx[k])) takes the
// common position ("..") of an atom that also has a position coded for the
// combination's conformer: that coded position is the atom's place in the
// conformer, and the common one serves only the conformers the atom has no
// copy of.  Without it, a bond could join a blank-coded atom to another
// atom's B position while the atom's own B copy lies elsewhere.
template <typename Code>
bool common_positions_fit(int m, const int32_t* n, const int32_t* idx,
                          const rt::FixedText<2>* codes, Code code) {
  int at = 0;
  char letter = '.';
  conformer_of(m, codes, at, letter);
  if (letter == '.') return true;
  for (int k = 0; k < m; ++k) {
    if (!(codes[k] == "..")) continue;
    for (int32_t j = 1; j <= n[k]; ++j)
      if (j != idx[k] && code(k, j)(at) == letter) return false;
  }
  return true;
}

// The combinations among those whose codes code(k, idx[k]) may stand in one
// restraint (chk_alt_), each atom in the position it has in the conformer.
template <typename Code, typename Use>
void each_compatible(int m, const int32_t* n, Code code, Use use) {
  each_combination(m, n, [&](const int32_t* idx) {
    rt::FixedText<2> codes[4];
    for (int k = 0; k < m; ++k) codes[k] = code(k, idx[k]);
    char check = 'N';
    chk_alt_(m, codes, check);
    if (check == 'Y' && common_positions_fit(m, n, idx, codes, code)) use(idx);
  });
}

}  // namespace restraints
