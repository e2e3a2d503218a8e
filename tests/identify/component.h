// Real chemical components (wwPDB Chemical Component Dictionary, CC0, the
// copy in tests/data) as residues and monomers of the identification tests:
// atom names, elements and ideal coordinates of _chem_comp_atom, bonds of
// _chem_comp_bond.  The work areas C1 (a residue read from coordinates) and
// L1 (a library monomer with neighbour lists from its bonds) are filled
// through the tables.
#pragma once

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "dictionary/lib_com.h"

namespace comp {

struct Atom {
  std::string name, symb;
  float x, y, z;
};
struct Bond {
  std::string a1, a2, order;
};
struct Component {
  std::vector<Atom> atoms;
  std::vector<Bond> bonds;
  int index(const std::string& name) const {
    for (std::size_t k = 0; k < atoms.size(); ++k)
      if (atoms[k].name == name) return static_cast<int>(k) + 1;
    return 0;
  }
};

inline std::vector<std::string> tokens(const std::string& line) {
  std::vector<std::string> t;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == ' ') ++i;
    if (i >= line.size()) break;
    if (line[i] == '"' || line[i] == '\'') {
      const char q = line[i];
      const std::size_t e = line.find(q, i + 1);
      t.push_back(line.substr(i + 1, e - i - 1));
      i = e + 1;
    } else {
      std::size_t e = line.find(' ', i);
      if (e == std::string::npos) e = line.size();
      t.push_back(line.substr(i, e - i));
      i = e;
    }
  }
  return t;
}

// The block of `code`; atoms in `drop` (leaving atoms, say) are left out with
// their bonds.
inline Component load(const std::string& code, const std::set<std::string>& drop = {}) {
  std::ifstream in(std::string(ORB_TEST_DATA_DIR) + "/components_subset.cif");
  Component c;
  std::string line;
  bool inside = false;
  while (std::getline(in, line)) {
    if (line.rfind("data_", 0) == 0) {
      if (inside) break;
      inside = line == "data_" + code;
      continue;
    }
    if (!inside) continue;
    const auto t = tokens(line);
    if (t.size() == 18 && t[0] == code && !drop.count(t[1]))
      c.atoms.push_back({t[1], t[3], std::stof(t[12]), std::stof(t[13]), std::stof(t[14])});
    if (t.size() == 7 && t[0] == code && !drop.count(t[1]) && !drop.count(t[2]))
      c.bonds.push_back({t[1], t[2], t[3]});
  }
  return c;
}

inline bool is_h(const Atom& a) { return a.symb == "H" || a.symb == "D"; }

// C1 (and its structure part) from the component's ideal coordinates under
// the names in `rename` (old -> new); hydrogens kept only when asked.
inline void fill_c1(const Component& c, const std::string& rname,
                    const std::map<std::string, std::string>& rename = {}, bool hydrogens = false) {
  r_scratch_t& r = r_scratch;
  r.c1_natom = 0;
  r.c1_rname = rname;
  r.c1_pnum = "A    1      ";
  for (const Atom& a : c.atoms) {
    if (!hydrogens && is_h(a)) continue;
    const int i = ++r.c1_natom;
    const auto it = rename.find(a.name);
    r.c1_aname(i) = it == rename.end() ? a.name : it->second;
    r.c1_aname_inp(i) = r.c1_aname(i);
    r.c1_asymb(i) = a.symb;
    r.c1_xyz(1, i) = a.x;
    r.c1_xyz(2, i) = a.y;
    r.c1_xyz(3, i) = a.z;
    r.c1_occ(i) = 1.0f;
    r.s1_ndist(i) = 0;
  }
}

// L1 from the component: atoms, bonds (type from the order) and the
// neighbour lists of the bonds.
inline void fill_l1(const Component& c, const std::string& mname, bool hydrogens = true) {
  r_scratch_t& r = r_scratch;
  r.l1l_mname = mname;
  r.l1l_mname2 = mname;
  r.l1l_name = ".";
  r.l1l_type = "L-peptide";
  r.l1a_natom = r.l1b_nbond = r.l1n_nconn = r.l1g_nangl = r.l1t_ntors = r.l1c_nchir = r.l1p_nplan = 0;
  std::map<std::string, int> at;
  for (const Atom& a : c.atoms) {
    if (!hydrogens && is_h(a)) continue;
    const int i = ++r.l1a_natom;
    at[a.name] = i;
    r.l1a_aname(i) = a.name;
    r.l1a_symb(i) = a.symb;
    r.l1a_chem(i) = a.symb;
    r.l1a_x(i) = a.x;
    r.l1a_y(i) = a.y;
    r.l1a_z(i) = a.z;
    r.l1a_coor_flag(i) = "Y";
    r.l1a_ndist(i) = 0;
    r.l1a_back(i) = ".";
    r.l1a_forw(i) = ".";
    r.l1a_icr(i) = 0;
  }
  for (const Bond& b : c.bonds) {
    if (!at.count(b.a1) || !at.count(b.a2)) continue;
    const int k = ++r.l1b_nbond;
    const int i = at[b.a1], j = at[b.a2];
    r.l1b_1atm(k) = b.a1;
    r.l1b_2atm(k) = b.a2;
    r.l1b_i1atm(k) = i;
    r.l1b_i2atm(k) = j;
    r.l1b_type(k) = b.order == "DOUB" ? "double" : b.order == "TRIP" ? "triple" : "single";
    r.l1a_conn(++r.l1a_ndist(i), i) = j;
    r.l1a_conn(++r.l1a_ndist(j), j) = i;
  }
}

}  // namespace comp
