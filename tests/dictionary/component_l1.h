// Monomers for the tree and builder tests, read from the wwPDB chemical
// components in tests/data/components_subset.cif (atom names, elements,
// ideal coordinates and bond lists, copied verbatim from the public
// dictionary) and put into L1 as a library copy or a residue would be.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "descr_builder.h"
#include "dictionary/lib_com.h"

namespace comp {

struct Atom {
  std::string name, symb;
  float x, y, z;
};
struct Component {
  std::vector<Atom> atoms;
  std::vector<std::pair<std::string, std::string>> bonds;
};

// CIF words of a line; quotes around a word are dropped.
inline std::vector<std::string> words(const std::string& line) {
  std::vector<std::string> out;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == ' ') ++i;
    if (i >= line.size()) break;
    if (line[i] == '"') {
      const std::size_t e = line.find('"', i + 1);
      out.push_back(line.substr(i + 1, e - i - 1));
      i = e + 1;
    } else {
      const std::size_t e = std::min(line.find(' ', i), line.size());
      out.push_back(line.substr(i, e - i));
      i = e;
    }
  }
  return out;
}

// The block of `code`; nucleotide names lose their prime for an asterisk
// when `stars`, as older libraries name them.
inline Component read(const std::string& code, bool stars = false) {
  std::ifstream in(std::string(ORB_TEST_DATA_DIR) + "/components_subset.cif");
  Component c;
  std::string line;
  bool in_block = false;
  int loop = 0;  // 1 atom rows, 2 bond rows
  auto fix = [&](std::string n) {
    if (stars)
      for (char& ch : n)
        if (ch == '\'') ch = '*';
    return n;
  };
  while (std::getline(in, line)) {
    if (line.rfind("data_", 0) == 0) {
      if (in_block) break;
      in_block = line == "data_" + code;
      continue;
    }
    if (!in_block) continue;
    if (line.rfind("_chem_comp_atom.pdbx_ordinal", 0) == 0) loop = 1;
    else if (line.rfind("_chem_comp_bond.pdbx_ordinal", 0) == 0) loop = 2;
    else if (line.rfind("#", 0) == 0) loop = 0;
    else if (loop != 0) {
      const std::vector<std::string> w = words(line);
      if (loop == 1 && w.size() >= 15)
        c.atoms.push_back({fix(w[1]), w[3], std::stof(w[12]), std::stof(w[13]), std::stof(w[14])});
      if (loop == 2 && w.size() >= 3) c.bonds.emplace_back(fix(w[1]), fix(w[2]));
    }
  }
  EXPECT_FALSE(c.atoms.empty()) << "no component " << code;
  return c;
}

inline bool hydrogen(const Atom& a) { return a.symb == "H" || a.symb == "D"; }

inline char atom_class(const std::string& s) {
  if (s == "C" || s == "N" || s == "O" || s == "F" || s == "B" || s == "LI") return 'C';
  if (s == "H" || s == "D") return 'H';
  if (s == "P" || s == "S") return 'P';
  return '$';
}

// L1 holding the component (hydrogens too unless heavy_only), no tree, its
// bonds as a user's list (none when !with_bonds).
inline void load_l1(const Component& c, const char* code, bool heavy_only = false,
                    bool with_bonds = true) {
  descr::clear_l1();
  r_scratch_t& r = r_scratch;
  r.l1l_mname = code;
  std::set<std::string> kept;
  for (const Atom& a : c.atoms) {
    if (heavy_only && hydrogen(a)) continue;
    const int i =
        descr::add_l1_atom({a.name.c_str(), a.symb.c_str(), ".", ".", ".", a.x, a.y, a.z});
    r.l1a_atype(i) = std::string(1, atom_class(a.symb));
    r.l1a_ichir(i) = 0;
    r.l1a_ndist(i) = 0;
    for (int k = 1; k <= MAX1BRN; ++k) r.l1a_lencon(k, i) = r.l1a_conn(k, i) = 0;
    kept.insert(a.name);
  }
  if (!with_bonds) return;
  for (const auto& [a1, a2] : c.bonds)
    if (kept.count(a1) && kept.count(a2)) descr::add_l1_bond(a1.c_str(), a2.c_str(), 1.5f);
}

// Bonds of L1 as unordered name pairs.
inline std::set<std::pair<std::string, std::string>> l1_bond_set() {
  std::set<std::pair<std::string, std::string>> s;
  for (int b = 1; b <= r_scratch.l1b_nbond; ++b) {
    std::string a1(r_scratch.l1b_1atm(b).trimmed()), a2(r_scratch.l1b_2atm(b).trimmed());
    if (a2 < a1) std::swap(a1, a2);
    s.emplace(a1, a2);
  }
  return s;
}

inline int l1_atom(const char* name) {
  for (int i = 1; i <= r_scratch.l1a_natom; ++i)
    if (r_scratch.l1a_aname(i) == name) return i;
  return 0;
}

}  // namespace comp
