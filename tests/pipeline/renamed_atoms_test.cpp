// Residues under names the library lacks whose atoms are a library
// monomer's under other names.  The graph match names each atom by its
// bonds; the atoms then either take those names, and the description made
// for the residue speaks them too, or keep their own, in the description as
// well, with a warning that names them.  Either way every restraint of the
// residue lands on the atoms it describes, and a run on the written
// coordinates restrains them alike.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "dictionary/lib_com.h"
#include "dictionary/lib_to_work.h"
#include "dictionary/monlib_fixture.h"
#include "foundation/atom_com.h"
#include "pipeline_fixture.h"

namespace {

using Names = std::map<std::string, std::string>;  // name in 2BEG -> name in the changed entry

// Residue `num` of chain A of 2BEG model 1 (tests/data, PDB or mmCIF form)
// named `res`, its atoms renamed by `names`; written into dir.
std::string changed_2beg(const TempDir& dir, bool cif, const std::string& num, const std::string& res,
                         const Names& names) {
  std::istringstream in(file_text(pipetest::data(cif ? "cif_2BEG.cif" : "2BEG.pdb")));
  std::string out;
  for (std::string l; std::getline(in, l); out += l + "\n") {
    if (!l.starts_with("ATOM") && !l.starts_with("HETATM")) continue;
    if (!cif) {
      if (l[21] != 'A' || pipetest::field(l, 23, 26) != num) continue;
      const auto it = names.find(pipetest::field(l, 13, 16));
      if (it != names.end()) l.replace(12, 4, (" " + it->second + "   ").substr(0, 4));
      l.replace(17, 3, res);
      continue;
    }
    // label_atom_id, label_comp_id, auth_seq_id, auth_comp_id, auth_asym_id
    // and auth_atom_id are words 4, 6, 22, 23, 24 and 25 of an atom row.
    std::istringstream words(l);
    std::vector<std::string> w;
    for (std::string x; words >> x;) w.push_back(x);
    if (w.size() < 26 || w[23] != "A" || w[21] != num) continue;
    w[5] = w[22] = res;
    const auto it = names.find(w[3]);
    if (it != names.end()) w[3] = w[24] = it->second;
    l.clear();
    for (const std::string& x : w) l += x + " ";
  }
  return dir.write(cif ? "changed.cif" : "changed.pdb", out);
}

struct P {
  float x, y, z;
};

// Residue ir of the tables is the changed one: its name, its number and the
// first character of its chain (the PDB road splits chain A around a
// residue it describes anew).
bool target(int ir, const std::string& num, const std::string& res) {
  const rt::FixedText<12>& n = resid_inf.res_num_pdb(ir);
  std::string number(n.sub(3, 7));
  number.erase(0, number.find_first_not_of(' '));
  return resid_inf.res_name(ir).trimmed() == res && rt::trim_right(number) == num && n(8) == 'A';
}

// The atoms of the residue in the coordinate file base.crd, by name.
std::map<std::string, P> residue_atoms(const std::string& base, const std::string& num, const std::string& res) {
  std::map<std::string, P> out;
  EXPECT_EQ(pipetest::read_coordinates(base), 0);
  for (int ia = 1; ia <= atom_inf.n_atom; ++ia) {
    if (!target(atom_inf.i_resid(ia), num, res)) continue;
    out[std::string(atom_inf.atm_name(ia).trimmed())] = {atom_crd.xyz_crd(1, ia), atom_crd.xyz_crd(2, ia),
                                                          atom_crd.xyz_crd(3, ia)};
  }
  return out;
}

// The atoms of residue `num` of chain A of 2BEG model 1 as the entry gives
// them (PDB columns 13-16 the name, 31-54 the coordinates).
std::map<std::string, P> in_2beg(const std::string& num) {
  std::istringstream in(file_text(pipetest::data("2BEG.pdb")));
  std::map<std::string, P> out;
  for (std::string l; std::getline(in, l) && !l.starts_with("ENDMDL");)
    if (l.starts_with("ATOM") && l[21] == 'A' && pipetest::field(l, 23, 26) == num)
      out[pipetest::field(l, 13, 16)] = {std::stof(l.substr(30, 8)), std::stof(l.substr(38, 8)),
                                         std::stof(l.substr(46, 8))};
  return out;
}

float dist(const P& a, const P& b) { return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z); }

float angle(const P& a, const P& b, const P& c) {
  const double ab = dist(a, b), cb = dist(c, b), ac = dist(a, c);
  return static_cast<float>(std::acos((ab * ab + cb * cb - ac * ac) / (2 * ab * cb)) * 180.0 / M_PI);
}

// The bond and angle restraints of one residue read back, each atom named
// as the coordinate file names it; every one held against the geometry of
// the model.  Keys: kind, names, ideal value.
std::multiset<std::string> restraints_of(const std::string& base, const std::string& num, const std::string& res,
                                         std::vector<std::string>& faults) {
  const std::map<std::string, P> atoms = residue_atoms(base, num, res);
  EXPECT_FALSE(atoms.empty()) << base;
  std::map<int, std::string> in_residue;
  for (int ia = 1; ia <= atom_inf.n_atom; ++ia)
    if (target(atom_inf.i_resid(ia), num, res)) in_residue[ia] = std::string(atom_inf.atm_name(ia).trimmed());
  std::vector<pipetest::Restraint> rows;
  EXPECT_TRUE(pipetest::read_restraints(base, rows)) << base;
  std::multiset<std::string> out;
  for (const pipetest::Restraint& r : rows) {
    const int na = r.kind.starts_with("BOND") ? 2 : r.kind.starts_with("ANGL") ? 3 : 0;
    if (na == 0) continue;
    std::vector<std::string> who;
    for (int k = 0; k < na; ++k)
      if (in_residue.count(r.ia[k])) who.push_back(in_residue[r.ia[k]]);
    if (static_cast<int>(who.size()) != na) continue;
    const float model = na == 2 ? dist(atoms.at(who[0]), atoms.at(who[1]))
                                : angle(atoms.at(who[0]), atoms.at(who[1]), atoms.at(who[2]));
    std::string key = r.kind.substr(0, 4);
    for (const std::string& w : who) key += " " + w;
    if (std::fabs(model - r.value) > (na == 2 ? 0.1f : 10.0f))
      faults.push_back(key + ": restrained at " + std::to_string(r.value) + ", model " + std::to_string(model));
    if (who.back() < who.front()) {
      key = r.kind.substr(0, 4);
      for (auto w = who.rbegin(); w != who.rend(); ++w) key += " " + *w;
    }
    char v[16];
    std::snprintf(v, sizeof v, " %.2f", r.value);
    out.insert(key + v);
  }
  return out;
}

// The atom names and energy types of a monomer as the new library written
// by the run describes it, read back with the test library beside it.
std::map<std::string, std::string> described(const std::string& new_lib, const std::string& mon) {
  std::map<std::string, std::string> out;
  std::string log;
  EXPECT_EQ(monlib::load(monlib::test_library(), log, ' ', 'N', new_lib), 0) << log;
  monlib::read_marked({mon.c_str()}, log);
  rt::FixedText<8> code(mon);
  int32_t ierr = 0;
  captured([&] { cp_mlib_(0, code, ierr); });
  EXPECT_EQ(ierr, 0) << mon;
  for (int a = 1; a <= r_scratch.l1a_natom; ++a)
    out[std::string(r_scratch.l1a_aname(a).trimmed())] = std::string(r_scratch.l1a_chem(a).trimmed());
  return out;
}

struct Case {
  const char* why;
  std::string num, res, lib;  // residue number, its new name, the monomer it is
  Names names;
  std::vector<std::string> warning;  // the lines naming the atoms that keep their names
};

// The run on the changed entry, in both forms and with the subgraph search
// off and on, and a run on its coordinates.
void expect_named_by_bonds(const Case& c) {
  for (const bool cif : {false, true}) {
    for (const char srch : {'N', 'G'}) {
      SCOPED_TRACE(std::string(c.why) + (cif ? ", mmCIF" : ", PDB") + ", search " + srch);
      TempDir dir, again;
      pipetest::Options o;
      o.in = changed_2beg(dir, cif, c.num, c.res, c.names);
      o.srch = srch;
      const pipetest::Outcome r = pipetest::run(o, dir.path());
      ASSERT_EQ(r.ierr, 0) << r.out;
      // The residue line (its chain as the road names it), then the atoms.
      std::string warning;
      for (std::size_t k = 1; k < c.warning.size(); ++k) warning += c.warning[k] + "\n";
      const std::size_t at = r.out.find(warning);
      if (srch == 'N') {
        EXPECT_NE(at, std::string::npos) << r.out;
        const std::size_t line = at == std::string::npos ? 0 : r.out.rfind('\n', at - 2) + 1;
        EXPECT_EQ(r.out.substr(line, c.warning[0].size()), c.warning[0]);
      } else {
        EXPECT_EQ(r.out.find("do not fit the bonds"), std::string::npos) << r.out;
      }

      std::vector<std::string> faults;
      const std::string base = dir.path() + "/out";
      const std::multiset<std::string> first = restraints_of(base, c.num, c.res, faults);
      EXPECT_GT(first.size(), 10u);
      for (const std::string& f : faults) ADD_FAILURE() << f;

      // Each atom of the coordinate file under the name expected at its
      // place (the file's own without the search, the monomer's with it),
      // and the description naming the same atoms; with the search each
      // carries the monomer's energy type.
      const std::map<std::string, P> atoms = residue_atoms(base, c.num, c.res);
      const std::map<std::string, P> before = in_2beg(c.num);
      for (const auto& [name, p] : atoms) {
        std::string was = "?";
        for (const auto& [n0, p0] : before)
          if (dist(p, p0) < 0.01f) was = n0;
        const auto renamed = c.names.find(was);
        EXPECT_EQ(name, srch == 'N' && renamed != c.names.end() ? renamed->second : was) << "in 2BEG " << was;
      }
      const std::map<std::string, std::string> descr = described(dir.path() + "/new_lib.cif", c.res);
      EXPECT_EQ(descr.size(), atoms.size());
      for (const auto& [name, p] : atoms) EXPECT_TRUE(descr.count(name)) << name << " is not described";
      if (srch == 'G') {
        const std::map<std::string, std::string> lib = described("", c.lib);
        for (const auto& [name, type] : lib) {
          if (descr.count(name)) {
            EXPECT_EQ(descr.at(name), type) << name;
          }
        }
      }

      pipetest::Options second = o;
      second.in = base + ".crd";
      const pipetest::Outcome r2 = pipetest::run(second, again.path());
      ASSERT_EQ(r2.ierr, 0) << r2.out;
      std::vector<std::string> faults2;
      EXPECT_EQ(restraints_of(again.path() + "/out", c.num, c.res, faults2), first);
      EXPECT_TRUE(faults2.empty());
    }
  }
}

// PHE 19 of chain A made PHX, its ring carbons' names passed one place on
// round the ring (CG to CD1, CD1 to CE1, CE1 to CZ, CZ to CE2, CE2 to CD2,
// CD2 to CG); the hydrogens keep theirs.
TEST(RenamedAtoms, RingNamesPassedRoundLandOnTheirAtoms) {
  expect_named_by_bonds({"ring names passed round",
                         "19",
                         "PHX",
                         "PHE",
                         {{"CG", "CD1"}, {"CD1", "CE1"}, {"CE1", "CZ"}, {"CZ", "CE2"}, {"CE2", "CD2"}, {"CD2", "CG"}},
                         {"  WARNING : residue: PHX        19  chain:A",
                          "            atom names do not fit the bonds of PHE; the new description keeps them:",
                          "            \"CD1 \" is bonded as \"CG  \"", "            \"CE1 \" is bonded as \"CD1 \"",
                          "            \"CG  \" is bonded as \"CD2 \"", "            \"CZ  \" is bonded as \"CE1 \"",
                          "            \"CD2 \" is bonded as \"CE2 \"", "            \"CE2 \" is bonded as \"CZ  \""}});
}

// SER 26 of chain A made SRX with O and OG exchanged: by their names alone
// the atoms fit serine; by their bonds they do not.
TEST(RenamedAtoms, ExchangedOxygensAreNamedByTheirBonds) {
  expect_named_by_bonds({"oxygens exchanged",
                         "26",
                         "SRX",
                         "SER",
                         {{"O", "OG"}, {"OG", "O"}},
                         {"  WARNING : residue: SRX        26  chain:A",
                          "            atom names do not fit the bonds of SER; the new description keeps them:",
                          "            \"OG  \" is bonded as \"O   \"", "            \"O   \" is bonded as \"OG  \""}});
}

}  // namespace
