// Residue class detection from atom names.  An atom counts once, in the
// first group that holds its name; the groups are disjoint, so the order of
// the tests below only matters for the class chosen when several groups
// reach their thresholds.
#include "dictionary/res_class_detect.h"

#include <array>
#include <string_view>

#include "dictionary/lib_com.h"
#include "foundation/residue_class.h"

namespace {

using Name = rt::FixedText<4>;

constexpr std::array<std::string_view, 9> kNucleotide = {"O4*", "O5*", "C5*", "C4*", "C3*",
                                                         "O3*", "C1*", "C2*", "P"};
constexpr std::array<std::string_view, 6> kPyranose = {"C1", "C2", "C3", "C4", "C5", "O5"};
constexpr std::array<std::string_view, 4> kPeptide = {"N", "CA", "C", "O"};

constexpr int kClassNone = 1;
constexpr int kClassPeptide = 3;
constexpr int kClassNucleotide = 5;
constexpr int kClassPyranose = 7;

template <std::size_t N>
bool in_group(const Name& name, const std::array<std::string_view, N>& group) {
  for (std::string_view g : group)
    if (name == g) return true;
  return false;
}

struct Counts {
  int dna = 0, sug = 0, prot = 0;
};

// peptide_o: whether "O" belongs to the peptide group.
Counts count_groups(bool peptide_o) {
  const r_scratch_t& r = r_scratch;
  Counts c;
  for (int i = 1; i <= r.l1a_natom; ++i) {
    const Name& a = r.l1a_aname(i);
    if (in_group(a, kNucleotide)) ++c.dna;
    else if (in_group(a, kPyranose)) ++c.sug;
    else if (in_group(a, kPeptide) && (peptide_o || !(a == "O"))) ++c.prot;
  }
  return c;
}

struct Pair {
  std::string_view a, b;
};

template <std::size_t N>
int count_bond_rows(const std::array<Pair, N>& pairs) {
  const r_scratch_t& r = r_scratch;
  int n = 0;
  for (int k = 1; k <= r.l1b_nbond; ++k) {
    const Name& x = r.l1b_1atm(k);
    const Name& y = r.l1b_2atm(k);
    for (const Pair& p : pairs) {
      if ((x == p.a && y == p.b) || (x == p.b && y == p.a)) {
        ++n;
        break;
      }
    }
  }
  return n;
}

constexpr std::array<Pair, 9> kNucleotideBonds = {{{"P", "O5*"},
                                                   {"O5*", "C5*"},
                                                   {"C5*", "C4*"},
                                                   {"C4*", "O4*"},
                                                   {"C4*", "C3*"},
                                                   {"O4*", "C1*"},
                                                   {"C3*", "O3*"},
                                                   {"C3*", "C2*"},
                                                   {"C2*", "C1*"}}};
constexpr std::array<Pair, 6> kPyranoseBonds = {
    {{"C1", "C2"}, {"C2", "C3"}, {"C3", "C4"}, {"C4", "C5"}, {"C5", "O5"}, {"O5", "C1"}}};
constexpr std::array<Pair, 3> kPeptideBonds = {{{"N", "CA"}, {"CA", "C"}, {"C", "O"}}};

// A rule of the tree test: atom `atom` needs `need` tree neighbours named
// one of `names` (the second name empty for a one-name rule).
struct TreeRule {
  int group;  // 0 nucleotide, 1 pyranose, 2 peptide
  std::string_view atom;
  std::string_view n1, n2;
  int need;
};
constexpr std::array<TreeRule, 11> kTreeRules = {{
    {0, "C5*", "O5*", "C4*", 2},
    {0, "C4*", "C5*", "C3*", 2},
    {0, "C3*", "C4*", "O3*", 2},
    {0, "O3*", "C3*", "", 1},
    {0, "O5*", "C5*", "", 1},
    {1, "C2", "C1", "C3", 2},
    {1, "C3", "C2", "C4", 2},
    {1, "C4", "C3", "C5", 2},
    {1, "C5", "O5", "", 1},
    {2, "CA", "N", "C", 2},
    {2, "C", "CA", "O", 2},
}};

// Tree neighbours of atom i named n1 or n2: its back atom, and every atom
// whose back atom bears i's name.
int tree_neighbours_named(int i, std::string_view n1, std::string_view n2) {
  const r_scratch_t& r = r_scratch;
  auto named = [&](int k) {
    const Name& a = r.l1a_aname(k);
    return a == n1 || (!n2.empty() && a == n2);
  };
  int n = 0;
  const int b = r.l1a_iback(i);
  if (b >= 1 && b <= r.l1a_natom && named(b)) ++n;
  for (int j = 1; j <= r.l1a_natom; ++j) {
    const int bj = r.l1a_iback(j);
    if (bj >= 1 && bj <= r.l1a_natom && r.l1a_aname(bj) == r.l1a_aname(i) && named(j)) ++n;
  }
  return n;
}

// Enters code into the slice of rname_t that starts after slot `first0`,
// whose count is `count`; a full slice takes nothing.
void enter_code(const rt::FixedText<8>& code, int first0, int capacity, int32_t& count) {
  for (int k = 1; k <= count; ++k)
    if (com_res_type.rname_t(first0 + k) == code) return;
  if (count >= capacity) return;
  ++count;
  com_res_type.rname_t(first0 + count) = code;
}

}  // namespace

void precheck_res_type_(int32_t /*mdoc*/, int32_t& itype_res, int32_t& ierr) {
  itype_res = kClassNone;
  ierr = 0;
  const Counts c = count_groups(true);
  if (c.dna >= 9) itype_res = kClassNucleotide;
  else if (c.sug >= 6) itype_res = kClassPyranose;
  else if (c.prot >= 4) itype_res = kClassPeptide;
}

void check_res_type_by_atom_and_bond_(int32_t /*mdoc*/, int32_t& itype_res, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  itype_res = kClassNone;
  ierr = 0;
  const Counts c = count_groups(true);
  int n_o2 = 0;
  for (int i = 1; i <= r.l1a_natom; ++i)
    if (r.l1a_aname(i) == "O2*") ++n_o2;
  if (c.dna >= 9) {
    if (count_bond_rows(kNucleotideBonds) == 9) {
      itype_res = kClassNucleotide;
      r.l1l_type = n_o2 > 0 ? "RNA" : "DNA";
    }
  } else if (c.sug >= 6) {
    if (count_bond_rows(kPyranoseBonds) == 6) {
      itype_res = kClassPyranose;
      r.l1l_type = "D-pyranose";
    }
  } else if (c.prot >= 4) {
    if (count_bond_rows(kPeptideBonds) == 3) {
      itype_res = kClassPeptide;
      r.l1l_type = "L-peptide";
    }
  }
}

void check_res_type_(int32_t /*mdoc*/, int32_t& itype_res, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  itype_res = kClassNone;
  ierr = 0;
  const Counts c = count_groups(false);
  bool consistent[3] = {true, true, true};
  for (int i = 1; i <= r.l1a_natom; ++i) {
    for (const TreeRule& rule : kTreeRules) {
      if (!(r.l1a_aname(i) == rule.atom)) continue;
      if (tree_neighbours_named(i, rule.n1, rule.n2) < rule.need) consistent[rule.group] = false;
    }
  }
  if (c.dna >= 9 && consistent[0]) {
    itype_res = kClassNucleotide;
    r.l1l_type = "DNA";
  } else if (c.sug >= 6 && consistent[1]) {
    if (r.l1b_nbond > 0 && count_bond_rows(std::array<Pair, 1>{{{"O5", "C1"}}}) == 0) return;
    itype_res = kClassPyranose;
    r.l1l_type = "D-pyranose";
  } else if (c.prot >= 3 && consistent[2]) {
    itype_res = kClassPeptide;
    r.l1l_type = "L-peptide";
  } else {
    return;
  }
  const rt::FixedText<8> code(r.l1l_mname.view());
  if (itype_res == kClassPeptide)
    enter_code(code, RNAME_PEPT0, RNAME_POLY0 - RNAME_PEPT0, com_res_type.nrname_t);
  else if (itype_res == kClassNucleotide)
    enter_code(code, RNAME_NUCL0, RNAME_SUGR0 - RNAME_NUCL0, com_res_type.nrnamed_t);
  else enter_code(code, RNAME_SUGR0, MAXRNAME - RNAME_SUGR0, com_res_type.nrnames_t);
}
