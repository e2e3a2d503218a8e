// Atom lookup by name over the tree order of C1, and the compatibility rule
// of alternate and correction codes.
#include "restraints/atom_lookup.h"

#include "foundation/messages.h"
#include "foundation/words.h"

namespace {

bool findable(char state) { return state != 'U' && state != 'D'; }

rt::FixedText<2> code_pair(char corr, char alt) {
  rt::FixedText<2> p;
  p(1) = corr;
  p(2) = alt;
  return p;
}

// The code in use among the characters at `at` (1 or 2) of the pairs: the
// last one that is not '.', or '.' when there is none.
char code_in_use(int32_t n, const rt::FixedText<2>* corr, int at) {
  char letter = '.';
  for (int32_t i = 0; i < n; ++i) {
    const char c = corr[i](at);
    if (c != '.' && c != letter) letter = c;
  }
  return letter;
}

bool all_carry(int32_t n, const rt::FixedText<2>* corr, int at, char letter) {
  for (int32_t i = 0; i < n; ++i)
    if (corr[i](at) != letter && !(corr[i](1) == '.' && corr[i](2) == '.')) return false;
  return true;
}

void add_once(int32_t* list, int& count, int32_t code) {
  for (int k = 0; k < count; ++k)
    if (list[k] == code) return;
  list[count++] = code;
}

}  // namespace

namespace restraints {

int32_t code_number(const rt::FixedText<2>& pair) {
  int32_t corr[1], alt[1];
  int ncorr = 0, nalt = 0;
  return conformer_code(pair, corr, ncorr, alt, nalt);
}

void conformer_of(int32_t m, const rt::FixedText<2>* codes, int& at, char& letter) {
  at = 1;
  letter = code_in_use(m, codes, 1);
  if (letter != '.') return;
  at = 2;
  letter = code_in_use(m, codes, 2);
}

int32_t conformer_code(const rt::FixedText<2>& pair, int32_t* corr_codes, int& ncorr,
                       int32_t* alt_codes, int& nalt) {
  const char c = pair(1), a = pair(2);
  if (c == '.' && a == '.') return 0;
  int32_t code = 0;
  if (c == '.') {
    chtoint_(a, code);
    code = -code;
    add_once(alt_codes, nalt, code);
  } else {
    chtoint_(c, code);
    add_once(corr_codes, ncorr, code);
  }
  return code;
}

}  // namespace restraints

void srch_num_(int32_t mdoc, std::string_view name, int32_t& n, restraints::AltCodes& corr,
               restraints::AltPlaces& iname, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  n = 0;
  ierr = 0;
  const std::string_view key = name.substr(0, 4);
  int32_t main_atom = 0;
  for (int32_t i = 1; i <= r.c1_igatm; ++i) {
    const int32_t k = r.s1_inew(i);
    if (k < 1) continue;
    if (r.c1_aname(k) == key && findable(r.c1_atype(k)(1))) {
      main_atom = k;
      n = 1;
      iname(1) = i;
      corr(1) = code_pair(r.c1_corr(k)(1), r.c1_alt(k)(1));
      break;
    }
  }
  if (main_atom == 0 || r.c1_nalt(main_atom) <= 1) return;
  for (int32_t j = 1; j <= r.c1_igatm; ++j) {
    const int32_t m = r.s1_inew(j);
    if (m < 1 || r.c1_ialt(m) != main_atom) continue;
    if (n >= MX1ALT) {
      // The caller's arrays end here: the position is reported and dropped.
      foundation::table_full(mdoc, " ERR: number of alt. positions >", MX1ALT, "",
                             {.constant = "MX1ALT", .header = "lib_com", .indent = 9});
      ierr = 1;
      continue;
    }
    ++n;
    iname(n) = j;
    corr(n) = code_pair(r.c1_corr(m)(1), r.c1_alt(m)(1));
  }
}

void chk_alt_(int32_t n, const rt::FixedText<2>* corr, char& check) {
  check = 'N';
  char letter = code_in_use(n, corr, 1);
  if (letter != '.') {
    if (all_carry(n, corr, 1, letter)) check = 'Y';
    return;
  }
  letter = code_in_use(n, corr, 2);
  if (all_carry(n, corr, 2, letter)) check = 'Y';
}
