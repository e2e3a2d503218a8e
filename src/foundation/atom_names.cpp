// Atom-name normalisation, element symbols and classes, chain-identifier
// repair and CIF quoting of atom names.
#include "foundation/atom_names.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

#include "foundation/atom_com.h"
#include "foundation/residue_class.h"
#include "foundation/words.h"

namespace {

// The heavy-element list, by the first two characters of a symbol (a
// one-letter symbol is the letter and a blank).  It is the only copy: the
// PDB name repair, the builder's metals and the distance-limit classes of
// the links all ask is_heavy_element.
constexpr std::string_view kElements[] = {
    "CO", "MG", "CA", "ZN", "CU", "FE", "CL", "BR", "MN", "PB", "HG", "AL", "GD", "NA", "CD", "NI",
    "SR", "IN", "HO", "YB", "TE", "LI", "RB", "BA", "CS", "SM", "TL", "PT", "BE", "SE", "MO", "SI",
    "I ", "NE", "AR", "SC", "TI", "CR", "GA", "GE", "AS", "KR", "HE", "ZR", "NB", "TC", "RU", "RH",
    "PD", "AG", "SN", "SB", "XE", "LA", "HF", "TA", "RE", "OS", "IR", "AU", "BI", "PO", "AT", "RN",
    "FR", "RA", "AC", "CE", "PR", "ND", "PM", "EU", "TB", "DY", "ER", "TM", "LU", "TH", "PA", "NP",
    "PU", "AM", "CM", "BK", "CF", "ES", "FM", "MD", "NO", "LR", "K ", "V ", "Y ", "U ", "W "};
static_assert(std::size(kElements) == 95);

// Second character index: 0-25 a letter, 26 a blank.
constexpr int second_index(char c) { return c == ' ' ? 26 : (c >= 'A' && c <= 'Z' ? c - 'A' : -1); }

constexpr std::array<std::array<bool, 27>, 26> make_element_table() {
  std::array<std::array<bool, 27>, 26> t{};
  for (std::string_view e : kElements) t[e[0] - 'A'][second_index(e[1])] = true;
  return t;
}
constexpr auto kElementTable = make_element_table();

// Four characters of a text, blank-padded.
struct Name4 {
  char c[4];
  explicit Name4(std::string_view s) {
    for (int i = 0; i < 4; ++i) c[i] = i < static_cast<int>(s.size()) ? s[i] : ' ';
  }
  int used() const {
    int n = 4;
    while (n > 0 && (c[n - 1] == ' ' || c[n - 1] == '\0')) --n;
    return n;
  }
  bool is(std::string_view s) const { return rt::text_eq(std::string_view(c, 4), s); }
  void set(std::string_view s) {
    for (int i = 0; i < 4; ++i) c[i] = i < static_cast<int>(s.size()) ? s[i] : ' ';
  }
  std::string_view view() const { return std::string_view(c, 4); }
};

}  // namespace

bool is_heavy_element(char c1, char c2) {
  if (c1 < 'A' || c1 > 'Z') return false;
  const int j = second_index(c2);
  return j >= 0 && kElementTable[c1 - 'A'][j];
}

void set_ctype_(std::string_view asymb, rt::TextRef ctype) {
  const Name4 s(asymb);
  if (is_heavy_element(s.c[0], s.c[1]))
    ctype = "$";
  else if (rt::text_eq(asymb, "H") || rt::text_eq(asymb, "D"))
    ctype = "H";
  else
    ctype = "C";
}

void corr_name_(rt::TextRef aname, rt::TextRef rname, rt::TextRef asymb, rt::TextRef ctype) {
  Name4 a(aname.view());
  char r[8];
  for (int i = 0; i < 8; ++i) r[i] = i < rname.len() ? rname.p[i] : ' ';
  auto rname_is = [&r](std::string_view s) { return rt::text_eq(std::string_view(r, 8), s); };

  char elem[2] = {'\0', '\0'};  // element symbol chosen here; '\0' in place 1 means none
  bool have_elem = false;
  auto set_elem1 = [&](char c) {
    elem[0] = c;
    elem[1] = ' ';
    have_elem = true;
  };
  auto elem_is = [&](char c) { return have_elem && elem[0] == c && elem[1] == ' '; };

  // 1-4: element and class from the leading characters.
  const char first = a.c[0];
  const char cls = char_class(first);
  bool heavy2 = false;
  if (first == ' ') {
    const char e = a.c[1] == 'M' ? 'C' : a.c[1];
    set_elem1(e);
    ctype = (e == 'C' || e == 'N' || e == 'O' || e == 'B' || e == 'F') ? "C" : "$";
    a.c[0] = a.c[1];
    a.c[1] = a.c[2];
    a.c[2] = a.c[3];
    a.c[3] = ' ';
  } else if (cls == 'D' || first == '\'' || first == '*') {
    int n = a.used();
    if (n == 1) {
      a.c[1] = 'H';
      n = 2;
    }
    set_elem1(a.c[1]);
    // The leading character goes behind the used part: 1HB -> HB1.
    for (int i = 0; i < n - 1; ++i) a.c[i] = a.c[i + 1];
    a.c[n - 1] = first;
  } else if (cls == 'L' || cls == 'l') {
    if (is_heavy_element(a.c[0], a.c[1])) {
      elem[0] = a.c[0];
      elem[1] = a.c[1];
      have_elem = true;
      heavy2 = true;
      ctype = "$";
    } else {
      set_elem1(a.c[1]);
      ctype = "C";
    }
  }
  if (!heavy2 && elem_is('H')) ctype = "H";

  // 5: a blank in position 2 closes up.
  if (a.c[1] == ' ') {
    a.c[1] = a.c[2];
    a.c[2] = a.c[3];
    a.c[3] = ' ';
  }

  // 6: residue name.
  for (int t = 0; t < 2 && r[0] == ' '; ++t) {
    for (int i = 0; i < 7; ++i) r[i] = r[i + 1];
    r[7] = ' ';
  }
  auto set_rname = [&r](std::string_view s) {
    for (int i = 0; i < 8; ++i) r[i] = i < static_cast<int>(s.size()) ? s[i] : ' ';
  };
  if (foundation::is_water_name(std::string_view(r, 8)) ||
      foundation::is_cut_water_name(std::string_view(r, 8)))
    set_rname("HOH");
  else if (const std::string_view n =
               foundation::force_field_nucleotide_name(std::string_view(r, 8), a.view());
           !n.empty())
    set_rname(n);

  // 7: primes of nucleotide atom names become stars.
  static constexpr std::string_view kPrimed[] = {"C",  "+C", "A",   "+A",  "T",   "+T", "G", "+G",
                                                 "U",  "+U", "YG",  "PSU", "1MA", "1MG", "I", "Ir"};
  for (std::string_view s : kPrimed)
    if (rname_is(s)) {
      for (char& c : a.c)
        if (c == '\'') c = '*';
      break;
    }
  for (int i = 0; i < 3; ++i)
    if (r[i] == '\'') r[i] = ',';
  if (const std::string_view n = foundation::one_letter_nucleotide_name(std::string_view(r, 8));
      !n.empty())
    set_rname(n);

  // 8: inner blanks become underscores.
  {
    const int n = a.used();
    for (int i = 2; i <= 3; ++i)
      if (i <= n && a.c[i - 1] == ' ') a.c[i - 1] = '_';
  }
  if (a.is("OT")) a.set("OXT");

  // 9: deuterium and the hydrogens whose names look like heavy elements.
  if (elem_is('D')) {
    set_elem1('H');
    ctype = "H";
  }
  if (a.is("HE21") || a.is("HE22") || a.is("HD21") || a.is("HD22") || a.is("HH11") || a.is("HH12") ||
      a.is("HH21") || a.is("HH22")) {
    set_elem1('H');
    ctype = "H";
  }

  // 10: dummy atoms and waters.
  if (rname_is("DUM")) {
    a.set("DUM");
    set_elem1('O');
    ctype = "C";
  } else if (rname_is("HOH")) {
    if (elem_is('O') || (!elem_is('H') && !elem_is('D'))) {
      a.set("O");
      set_elem1('O');
      ctype = "C";
    } else {
      set_elem1('H');
      ctype = "H";
      if (const std::string_view h = foundation::water_hydrogen_name(a.view()); !h.empty())
        a.set(h);
    }
  }

  // 11: names that depend on the residue class.
  int32_t itype = 1, ierr = 0;
  const std::string_view rv(r, 8);
  get_standard_res_type_(0, std::string_view(), rv, itype, ierr);
  if (itype == 1) get_ini_res_type_(0, std::string_view(), rv, itype, ierr);
  if (itype == 5) {
    if (a.is("P5")) {
      a.set("P");
      ctype = "C";
    } else if (a.is("O51")) {
      a.set("O1P");
      ctype = "C";
    } else if (a.is("O52")) {
      a.set("O2P");
      ctype = "C";
    }
  } else if (itype == 3 || itype == 4) {
    if (a.is("H0")) {
      a.set("H");
      ctype = "H";
    } else if (a.is("HT1") || a.is("HT2") || a.is("HT3")) {
      const char d = a.c[2];
      a.set("H");
      a.c[1] = d;
      set_elem1('H');
      ctype = "H";
    }
  }

  aname.assign(a.view());
  rname.assign(std::string_view(r, 8));
  if (have_elem) asymb.assign(std::string_view(elem, 2));
}

namespace {

// First alphabet character that no chain k != self with the given prefix
// (compared over the first `plen` characters of group_id) holds in place
// `pos`; a zero byte when every character is taken.
char first_free_character(int self, int plen, int pos) {
  const asym_part_t& ap = asym_part;
  const rt::FixedText<4>& gi = ap.group_id(self);
  bool taken[256] = {};
  for (int k = 1; k <= ap.n_group; ++k) {
    if (k == self) continue;
    const rt::FixedText<4>& gk = ap.group_id(k);
    if (std::memcmp(gk.c, gi.c, plen) == 0) taken[static_cast<unsigned char>(gk.c[pos - 1])] = true;
  }
  for (char c : kChainIdAlphabet)
    if (!taken[static_cast<unsigned char>(c)]) return c;
  return '\0';
}

// As above, with the last character, "9", when every character is taken.
char free_character(int self, int plen, int pos) {
  const char c = first_free_character(self, plen, pos);
  return c != '\0' ? c : kChainIdAlphabet.back();
}

// Position of a character in the identifier alphabet, -1 for none.
constexpr std::array<int8_t, 256> make_alphabet_index() {
  std::array<int8_t, 256> t{};
  for (auto& x : t) x = -1;
  for (std::size_t i = 0; i < kChainIdAlphabet.size(); ++i)
    t[static_cast<unsigned char>(kChainIdAlphabet[i])] = static_cast<int8_t>(i);
  return t;
}
constexpr std::array<int8_t, 256> kAlphabetIndex = make_alphabet_index();

// A chain whose first character already has all 60 second characters in
// use takes a third one: the first pair of alphabet characters, second then
// third, that no other chain with the same first character holds in places
// 2 and 3.  Without it the 61st and later chains would all repeat the last
// second character, and the TLS file would name one range for several
// groups.  60 x 60 pairs are more than the chain table holds.
void give_third_character(int self) {
  constexpr int n = static_cast<int>(kChainIdAlphabet.size());
  asym_part_t& ap = asym_part;
  rt::FixedText<4>& gi = ap.group_id(self);
  bool taken[n][n] = {};
  for (int k = 1; k <= ap.n_group; ++k) {
    const rt::FixedText<4>& gk = ap.group_id(k);
    if (k == self || gk.c[0] != gi.c[0]) continue;
    const int s = kAlphabetIndex[static_cast<unsigned char>(gk.c[1])];
    const int t = kAlphabetIndex[static_cast<unsigned char>(gk.c[2])];
    if (s >= 0 && t >= 0) taken[s][t] = true;
  }
  for (int s = 0; s < n; ++s) {
    for (int t = 0; t < n; ++t) {
      if (!taken[s][t]) {
        gi.c[1] = kChainIdAlphabet[s];
        gi.c[2] = kChainIdAlphabet[t];
        return;
      }
    }
  }
}

// Index of an earlier chain whose group_id equals that of chain i over the
// first n characters, else 0.
int earlier_same(int i, int n) {
  const asym_part_t& ap = asym_part;
  for (int j = 1; j < i; ++j)
    if (std::memcmp(ap.group_id(j).c, ap.group_id(i).c, n) == 0) return j;
  return 0;
}

// Whether a chain after chain i has its group_id over the first n
// characters.
bool later_same(int i, int n) {
  const asym_part_t& ap = asym_part;
  for (int j = i + 1; j <= ap.n_group; ++j)
    if (std::memcmp(ap.group_id(j).c, ap.group_id(i).c, n) == 0) return true;
  return false;
}

void renumber_residues(int i, bool blank_last) {
  const asym_part_t& ap = asym_part;
  const rt::FixedText<4>& g = ap.group_id(i);
  const int first = ap.ires_first(i);
  for (int r = first; r < first + ap.nres_chain(i); ++r) {
    rt::FixedText<12>& key = resid_inf.res_num_pdb(r);
    key.c[0] = g.c[0];
    key.c[1] = g.c[1];
    std::memcpy(key.c + 7, g.c, 4);
    if (blank_last) key.c[11] = ' ';
  }
}

// The third character stays blank except for a chain that needed one (see
// give_third_character).
void chain_id_pass(int32_t& inew) {
  asym_part_t& ap = asym_part;
  for (int i = 1; i <= ap.n_group; ++i) {
    rt::FixedText<4>& g = ap.group_id(i);
    if (g.c[0] == ' ') g.c[0] = 'X';
    if (g.c[0] == '.') {
      g.c[0] = 'X';
      g.c[1] = 'X';
    } else {
      g.c[1] = g.c[0];
    }
    g.c[2] = ' ';
    g.c[3] = ' ';
  }
  for (int i = 2; i <= ap.n_group; ++i) {
    if (earlier_same(i, 2) == 0) continue;
    const char c = first_free_character(i, 1, 2);
    if (c != '\0')
      ap.group_id(i).c[1] = c;
    else
      give_third_character(i);
  }
  for (int i = 1; i <= ap.n_group; ++i) {
    rt::FixedText<4>& g = ap.group_id(i);
    if (g.c[1] != g.c[0] || g.c[2] != ' ') inew = 1;
    ap.chain_id(i) = g;
    renumber_residues(i, false);
  }
}

// A chain read by segments whose identifier is blank (rows without an
// author's chain among chains named by long ones) is the blank chain, named
// as a read by chain letters names it: XX, or X and the first second
// character that no chain holds, never a blank name.
void name_blank_segments() {
  asym_part_t& ap = asym_part;
  for (int i = 1; i <= ap.n_group; ++i) {
    rt::FixedText<4>& g = ap.group_id(i);
    if (!g.is_blank()) continue;
    g = "XX";
    if (earlier_same(i, 4) != 0 || later_same(i, 4)) {
      const char c = first_free_character(i, 1, 2);
      if (c != '\0') g.c[1] = c;
    }
    ap.chain_id(i) = g;
    renumber_residues(i, true);
  }
}

}  // namespace

void check_chain_id_pdb_(int32_t, int32_t& inew, int32_t& ierr) {
  inew = 0;
  ierr = 0;
  if (asym_part.n_group <= 0) return;
  chain_id_pass(inew);
}

void check_chain_id_cif_(int32_t, int32_t& inew, int32_t& ierr) {
  inew = 0;
  ierr = 0;
  if (asym_part.n_group < 2) return;
  bool shared = false;
  for (int i = 2; i <= asym_part.n_group && !shared; ++i) shared = earlier_same(i, 2) != 0;
  if (!shared) return;
  chain_id_pass(inew);
}

void check_chain_id_seg_(int32_t, int32_t& inew, int32_t& ierr) {
  inew = 0;
  ierr = 0;
  asym_part_t& ap = asym_part;
  name_blank_segments();
  if (ap.n_group < 2) return;
  bool shared = false;
  for (int i = 2; i <= ap.n_group && !shared; ++i) shared = earlier_same(i, 4) != 0;
  if (!shared) return;
  // A repeated identifier gets a fourth character that none of the chains
  // sharing its first three characters holds yet.
  for (int i = 2; i <= ap.n_group; ++i)
    if (earlier_same(i, 4) != 0) ap.group_id(i).c[3] = free_character(i, 3, 4);
  for (int i = 1; i <= ap.n_group; ++i) {
    rt::FixedText<4>& g = ap.group_id(i);
    if (g.c[3] != ' ') {
      if (g.c[1] == ' ') g.c[1] = '_';
      if (g.c[2] == ' ') g.c[2] = '_';
    }
    renumber_residues(i, true);
  }
  for (int i = 2; i <= ap.n_group && inew == 0; ++i)
    if (earlier_same(i, 4) != 0) inew = 1;
}

void corr_name_cif_out_(rt::TextRef atom) {
  const int n = atom.len_trim();
  if (n == 0) return;
  char* p = atom.p;
  if (p[0] == '\'' || p[0] == '"' || p[0] == '*') {
    const char c = p[0];
    std::memmove(p, p + 1, n - 1);
    p[n - 1] = c;
  }
  bool prime = false;
  for (int i = 0; i < n; ++i) {
    if (p[i] == ' ') p[i] = '_';
    if (p[i] == '\'') prime = true;
  }
  if (!prime) return;
  char buf[81];
  const int m = n < 79 ? n : 79;
  buf[0] = '\'';
  std::memcpy(buf + 1, p, m);
  buf[m + 1] = '\'';
  const int len = m + 2 < 80 ? m + 2 : 80;
  const int cut = atom.len() < 80 ? atom.len() : 80;
  atom.sub(1, cut).assign(std::string_view(buf, len));
}

namespace foundation {

namespace {

// "O1P" and "OP1" with their digit; 0 for any other name.
char phosphate_oxygen(std::string_view n, bool star) {
  if (n.size() != 3 || n[0] != 'O') return 0;
  const char d = star ? n[1] : n[2], p = star ? n[2] : n[1];
  return p == 'P' && d >= '1' && d <= '3' ? d : 0;
}

}  // namespace

namespace {

struct Rename {
  std::string_view from, to;
};
constexpr Rename kOneLetterRenames[] = {{"C", "Cd"}, {"+C", "Cd"}, {"A", "Ad"}, {"+A", "Ad"},
                                        {"T", "Td"}, {"+T", "Td"}, {"G", "Gd"}, {"+G", "Gd"},
                                        {"U", "Ur"}, {"+U", "Ur"}, {"I", "Ir"}, {"Ir", "Ir"}};

}  // namespace

std::string_view one_letter_nucleotide_name(std::string_view rname) {
  for (const Rename& r : kOneLetterRenames)
    if (rt::text_eq(rname, r.from)) return r.to;
  return {};
}

namespace {

// A name of two or three characters as one integer: the table below is
// asked at every residue of a read, most of them named otherwise.
constexpr uint32_t packed_name(std::string_view s) {
  uint32_t k = 0;
  for (const char c : s) k = k << 8 | static_cast<unsigned char>(c);
  return k;
}

// CHARMM's names, and Amber's: its RNA (RA, RC, RG, RU) and DNA, each with
// the 5' and 3' ends of a strand apart.
constexpr Rename kForceFieldNucleotides[] = {
    {"CYT", "C"},  {"ADE", "A"},  {"THY", "T"},  {"GUA", "G"},  {"URI", "U"},  {"URA", "U"},
    {"RA", "A"},   {"RA5", "A"},  {"RA3", "A"},  {"RC", "C"},   {"RC5", "C"},  {"RC3", "C"},
    {"RG", "G"},   {"RG5", "G"},  {"RG3", "G"},  {"RU", "U"},   {"RU5", "U"},  {"RU3", "U"},
    {"DA5", "DA"}, {"DA3", "DA"}, {"DC5", "DC"}, {"DC3", "DC"}, {"DG5", "DG"}, {"DG3", "DG"},
    {"DT5", "DT"}, {"DT3", "DT"}};
constexpr auto kForceFieldKeys = [] {
  std::array<uint32_t, std::size(kForceFieldNucleotides)> keys{};
  for (std::size_t i = 0; i < keys.size(); ++i)
    keys[i] = packed_name(kForceFieldNucleotides[i].from);
  return keys;
}();

}  // namespace

std::string_view force_field_nucleotide_name(std::string_view rname, std::string_view aname) {
  rname = rt::trim(rname);
  if (rname.size() < 2 || rname.size() > 3) return {};
  const uint32_t key = packed_name(rname);
  for (std::size_t i = 0; i < kForceFieldKeys.size(); ++i) {
    if (kForceFieldKeys[i] != key) continue;
    // No atom of a nucleotide bears its residue's name: one that does is an
    // ion named by its residue (ruthenium, RU; radium, RA).
    const std::string_view a = rt::trim(aname);
    if (a.size() == rname.size() &&
        std::equal(a.begin(), a.end(), rname.begin(),
                   [](char x, char y) { return std::toupper(static_cast<unsigned char>(x)) == y; }))
      return {};
    return kForceFieldNucleotides[i].to;
  }
  return {};
}

bool is_one_letter_nucleotide_monomer(std::string_view name) {
  for (const Rename& r : kOneLetterRenames)
    if (rt::text_eq(name, r.to)) return true;
  return false;
}

NucleotideStyle nucleotide_style(std::string_view name) {
  const std::size_t end = name.find_last_not_of(' ');
  const std::string_view n =
      end == std::string_view::npos ? std::string_view() : name.substr(0, end + 1);
  if (n.find('*') != std::string_view::npos || phosphate_oxygen(n, true))
    return NucleotideStyle::Star;
  if (n.find('\'') != std::string_view::npos || phosphate_oxygen(n, false))
    return NucleotideStyle::Prime;
  return NucleotideStyle::None;
}

std::string nucleotide_name_as(std::string_view name, NucleotideStyle style) {
  const NucleotideStyle from = nucleotide_style(name);
  std::string s(name);
  if (style == NucleotideStyle::None || from == NucleotideStyle::None || from == style) return s;
  const bool to_star = style == NucleotideStyle::Star;
  const std::size_t end = s.find_last_not_of(' ');
  if (const char d = phosphate_oxygen(std::string_view(s).substr(0, end + 1), !to_star)) {
    s[1] = to_star ? d : 'P';
    s[2] = to_star ? 'P' : d;
    return s;
  }
  for (char& c : s)
    if (c == (to_star ? '\'' : '*')) c = to_star ? '*' : '\'';
  return s;
}

bool same_nucleotide_atom(std::string_view a, std::string_view b) {
  const std::string_view y = rt::trim_right(b);
  return nucleotide_name_as(rt::trim_right(a), nucleotide_style(y)) == y;
}

std::string_view dummy_atom_name(int32_t n) {
  static constexpr std::string_view kNames =
      "DUM DUM2DUM3DUM4DUM5DUM6DUM7DUM8DUM9DUMADUMBDUMCDUMDDUMEDUMFDUMGDUMHDUMIDUMJDUMKDUMLDUMMDUMN"
      "DUMODUMPDUMQDUMRDUMSDUMTDUMUDUMVDUMWDUMXDUMYDUMZ";
  if (n < 1 || n > static_cast<int32_t>(kNames.size()) / 4) n = 1;
  return rt::trim_right(kNames.substr(4 * (n - 1), 4));
}

}  // namespace foundation
