// Monomers the library lacks, built in whole runs from coordinates as real
// models give them: the public components' ideal coordinates moved at
// random by up to 0.1 A (fixed seeds), hydrogens left out as crystal models
// leave them.  The descriptions written must carry the component's bond
// orders, hydrogens and hands, and no chiral row at an atom the model has
// flat.  (These runs come after the whole-file comparisons of
// pipeline_test.cpp: a run leaves tables behind.)
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "pipeline_fixture.h"
#include "support/random_moves.h"

namespace {

struct Atom {
  std::string name, element;
  double x = 0, y = 0, z = 0;
  std::string stereo;  // "R" or "S" at the component's stereo centres
};

struct Component {
  std::vector<Atom> atoms;
  // Bonds by their names, with the component's order ("AROM" when aromatic).
  std::map<std::pair<std::string, std::string>, std::string> bonds;
};

std::vector<std::string> cif_words(const std::string& line) {
  std::vector<std::string> out;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == ' ') ++i;
    if (i >= line.size()) break;
    const char q = line[i];
    if (q == '"') {
      const std::size_t e = line.find('"', i + 1);
      out.push_back(line.substr(i + 1, e - i - 1));
      i = e + 1;
    } else {
      std::size_t e = line.find(' ', i);
      if (e == std::string::npos) e = line.size();
      std::string w = line.substr(i, e - i);
      // A name with a prime is quoted as 'C1'' by the library writer.
      if (w.size() > 2 && w.front() == '\'' && w.back() == '\'') w = w.substr(1, w.size() - 2);
      out.push_back(w);
      i = e;
    }
  }
  return out;
}

Component component(const std::string& code) {
  std::ifstream in(pipetest::data("components_subset.cif"));
  Component c;
  bool block = false;
  int loop = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("data_")) {
      if (block) break;
      block = line == "data_" + code;
    } else if (block && line.starts_with("_chem_comp_atom.pdbx_ordinal")) {
      loop = 1;
    } else if (block && line.starts_with("_chem_comp_bond.pdbx_ordinal")) {
      loop = 2;
    } else if (line.starts_with("#")) {
      loop = 0;
    } else if (block && loop != 0) {
      const std::vector<std::string> w = cif_words(line);
      if (loop == 1 && w.size() >= 15)
        c.atoms.push_back({w[1], w[3], std::stod(w[12]), std::stod(w[13]), std::stod(w[14]),
                           w[8] == "R" || w[8] == "S" ? w[8] : ""});
      if (loop == 2 && w.size() >= 5) c.bonds[{w[1], w[2]}] = w[4] == "Y" ? "AROM" : w[3];
    }
  }
  EXPECT_FALSE(c.atoms.empty()) << code;
  return c;
}

using Moves = RandomMoves;

// HETATM records of the component's heavy atoms under residue name `res`,
// moved, shifted by `dx` along x.
std::string hetatm(const Component& c, const std::string& res, char chain, double dx, uint64_t seed,
                   int& serial, const std::map<std::string, std::string>& renamed = {}) {
  Moves m{seed * 7919};
  std::string out;
  char line[100];
  for (Atom a : c.atoms) {
    if (a.element == "H") continue;
    m.move(a, 0.1);
    const auto r = renamed.find(a.name);
    const std::string n = r != renamed.end() ? r->second : a.name;
    std::snprintf(line, sizeof line,
                  "HETATM%5d %-4s %3s %c%4d    %8.3f%8.3f%8.3f  1.00 20.00          %2s\n",
                  ++serial, (n.size() < 4 ? " " + n : n).c_str(), res.c_str(), chain, 1, a.x + dx,
                  a.y, a.z, a.element.c_str());
    out += line;
  }
  return out;
}

// What new_lib.cif says of one monomer.
struct Described {
  std::map<std::string, std::string> element;  // atom -> element
  std::map<std::pair<std::string, std::string>, std::string> bonds;
  std::map<std::string, int> hydrogens;  // heavy atom -> hydrogens bonded
  struct Chir {
    std::string centre, a1, a2, a3, sign;
  };
  std::vector<Chir> chirals;
};

Described described(const std::string& lib, const std::string& code) {
  Described d;
  std::string cat;
  bool block = false;
  std::size_t from = 0;
  while (from < lib.size()) {
    std::size_t end = lib.find('\n', from);
    if (end == std::string::npos) end = lib.size();
    const std::string line = lib.substr(from, end - from);
    from = end + 1;
    if (line.starts_with("data_")) {
      block = line == "data_comp_" + code;
      continue;
    }
    if (!block) continue;
    if (line.starts_with("_chem_comp_")) {
      cat = line.substr(0, line.find('.'));
      continue;
    }
    const std::vector<std::string> w = cif_words(line);
    if (w.empty() || w[0] != code) continue;
    if (cat == "_chem_comp_atom" && w.size() >= 3) d.element[w[1]] = w[2];
    if (cat == "_chem_comp_bond" && w.size() >= 4) d.bonds[{w[1], w[2]}] = w[3];
    if (cat == "_chem_comp_chir" && w.size() >= 7)
      d.chirals.push_back({w[2], w[3], w[4], w[5], w[6]});
  }
  for (const auto& [pair, type] : d.bonds) {
    if (d.element[pair.second] == "H") ++d.hydrogens[pair.first];
    if (d.element[pair.first] == "H") ++d.hydrogens[pair.second];
  }
  return d;
}

double volume(const Atom& c, const Atom& a, const Atom& b, const Atom& e) {
  const double v[3][3] = {{a.x - c.x, a.y - c.y, a.z - c.z},
                          {b.x - c.x, b.y - c.y, b.z - c.z},
                          {e.x - c.x, e.y - c.y, e.z - c.z}};
  return v[0][0] * (v[1][1] * v[2][2] - v[1][2] * v[2][1]) -
         v[0][1] * (v[1][0] * v[2][2] - v[1][2] * v[2][0]) +
         v[0][2] * (v[1][0] * v[2][1] - v[1][1] * v[2][0]);
}

// The description of `code` against component c: bonds whose type is not
// the component's order ("A-B type"), heavy atoms whose hydrogen count
// differs ("H A n"), chiral rows at atoms other than the component's stereo
// centres ("row A") or of the other hand ("hand A"), stereo centres
// without a row ("no row A").
std::string differences(const Described& d, const Component& c) {
  std::string out;
  std::map<std::string, const Atom*> at;
  std::map<std::string, int> want_h;
  for (const Atom& a : c.atoms) at[a.name] = &a;
  for (const auto& [pair, order] : c.bonds) {
    if (at[pair.second]->element == "H") {
      ++want_h[pair.first];
      continue;
    }
    if (at[pair.first]->element == "H") {
      ++want_h[pair.second];
      continue;
    }
    auto got = d.bonds.find(pair);
    if (got == d.bonds.end()) got = d.bonds.find({pair.second, pair.first});
    const std::string type = got == d.bonds.end() ? "missing" : got->second;
    const std::string want = order == "AROM" ? "aromatic" : order == "DOUB" ? "double" : "single";
    if (type != want) out += pair.first + "-" + pair.second + " " + type + "; ";
  }
  for (const Atom& a : c.atoms) {
    if (a.element == "H") continue;
    const auto h = d.hydrogens.find(a.name);
    const int got = h == d.hydrogens.end() ? 0 : h->second;
    if (got != want_h[a.name]) out += "H " + a.name + " " + std::to_string(got) + "; ";
  }
  std::set<std::string> rows;
  for (const Described::Chir& r : d.chirals) {
    rows.insert(r.centre);
    if (at[r.centre]->stereo.empty()) out += "row " + r.centre + "; ";
    else if ((volume(*at[r.centre], *at[r.a1], *at[r.a2], *at[r.a3]) > 0) != (r.sign == "positiv"))
      out += "hand " + r.centre + "; ";
  }
  for (const Atom& a : c.atoms)
    if (!a.stereo.empty() && !rows.count(a.name)) out += "no row " + a.name + "; ";
  return out;
}

// Every chiral restraint written with a sign has the hand of the model.
void restraint_hands_follow_the_model(const std::string& rst) {
  for (const pipetest::Record& r : pipetest::records(rst)) {
    if (!r.line.starts_with("CHIR")) continue;
    const std::string sign = pipetest::field(r.line, 13, 20);
    const std::string first = r.line.substr(0, r.line.find('\n'));
    const float observed = std::stof(first.substr(first.find_last_of(' ')));
    EXPECT_NE(sign, "both") << r.line;
    EXPECT_EQ(sign, observed > 0 ? "positiv" : "negativ") << r.line;
  }
}

}  // namespace

// A and DA of the components under names the library lacks (so that they
// are built), each on coordinates moved by up to 0.1 A with three seeds.
// The phosphate without hydrogens is taken as the anion, so OP2 and OP3 get
// none and its P-O bonds are delocalised; the rest is the component's own.
TEST(BuiltChemistry, NucleotidesOnMovedCoordinatesKeepTheirOrdersHydrogensAndHands) {
  const Component a = component("A"), da = component("DA");
  const std::string phosphate = "OP3-P deloc; P-OP1 deloc; P-OP2 deloc; ";
  for (uint64_t seed : {1, 2, 3}) {
    int serial = 0;
    const std::string pdb =
        "CRYST1  100.000  100.000  100.000  90.00  90.00  90.00 P 1           1\n" +
        hetatm(a, "ZAR", 'A', 0.0, seed, serial) + hetatm(da, "ZDN", 'B', 40.0, seed, serial) +
        "END\n";
    TempDir dir;
    pipetest::Options o;
    o.in = dir.write("nucleotides.pdb", pdb);
    const pipetest::Outcome run = pipetest::run(o, dir.path());
    ASSERT_EQ(run.ierr, 0) << run.out;
    EXPECT_EQ(pipetest::read_coordinates(dir.path() + "/out"), 0);
    const std::string lib = file_text(dir.path() + "/new_lib.cif");
    EXPECT_EQ(differences(described(lib, "ZAR"), a), phosphate + "H OP3 0; H OP2 0; ")
        << "seed " << seed;
    EXPECT_EQ(differences(described(lib, "ZDN"), da), phosphate + "H OP3 0; H OP2 0; ")
        << "seed " << seed;
    restraint_hands_follow_the_model(file_text(dir.path() + "/out.rst"));
  }
}

// A D-alanine the library lacks, at the end of its chain with the carboxyl
// oxygens named OT1 and OT2 as simulation programs name them, on moved
// coordinates: the carboxyl carbon stays flat (no hydrogen, no chiral row),
// CA keeps its hydrogen and the model's hand (seeds 7 and 9 once shortened
// CA-CB or CA-C to an aromatic length and took both away).
TEST(BuiltChemistry, CTerminalCarboxylNamedOt1Ot2IsFlat) {
  Component ala = component("ALA");
  for (Atom& at : ala.atoms) at.z = -at.z;  // the mirror image: D-alanine
  for (uint64_t seed : {1, 7, 9}) {
    int serial = 0;
    const std::string pdb =
        "CRYST1  100.000  100.000  100.000  90.00  90.00  90.00 P 1           1\n" +
        hetatm(ala, "DAL", 'A', 0.0, seed, serial, {{"O", "OT1"}, {"OXT", "OT2"}}) + "END\n";
    TempDir dir;
    pipetest::Options o;
    o.in = dir.write("dal.pdb", pdb);
    const pipetest::Outcome run = pipetest::run(o, dir.path());
    ASSERT_EQ(run.ierr, 0) << run.out;
    const Described d = described(file_text(dir.path() + "/new_lib.cif"), "DAL");
    EXPECT_EQ(d.hydrogens.count("C"), 0u) << "seed " << seed;
    EXPECT_EQ(d.hydrogens.at("CA"), 1) << "seed " << seed;
    EXPECT_EQ(d.hydrogens.at("N"), 2) << "seed " << seed;
    ASSERT_EQ(d.chirals.size(), 1u) << "seed " << seed;
    EXPECT_EQ(d.chirals[0].centre, "CA");
    restraint_hands_follow_the_model(file_text(dir.path() + "/out.rst"));
  }
}

// Cysteine with every hydrogen of the component's ideal coordinates, under
// a name the library lacks, as a docking program ships a thiol: its S-H is
// 1.34 A long, past the 1.2 A that bonds a hydrogen to C, N or O, and the
// hydrogen must still be bonded, typed and restrained at that length (it
// was once left out of the monomer, unrestrained, with a warning that the
// monomer is not connected).
TEST(BuiltChemistry, ThiolHydrogenOfACysteineWithAllItsHydrogensIsBondedAtItsLength) {
  const Component cys = component("CYS");
  std::string pdb = "CRYST1  100.000  100.000  100.000  90.00  90.00  90.00 P 1           1\n";
  int serial = 0;
  char line[100];
  for (const Atom& a : cys.atoms) {
    std::snprintf(line, sizeof line,
                  "HETATM%5d %-4s ZCS A   1    %8.3f%8.3f%8.3f  1.00 20.00          %2s\n",
                  ++serial, (a.name.size() < 4 ? " " + a.name : a.name).c_str(), a.x + 10.0,
                  a.y + 10.0, a.z + 10.0, a.element.c_str());
    pdb += line;
  }
  TempDir dir;
  pipetest::Options o;
  o.in = dir.write("zcs.pdb", pdb + "END\n");
  const pipetest::Outcome run = pipetest::run(o, dir.path());
  ASSERT_EQ(run.ierr, 0) << run.out;
  EXPECT_EQ(run.out.find("not completely connected"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("kept without restraints"), std::string::npos) << run.out;
  const Described d = described(file_text(dir.path() + "/new_lib.cif"), "ZCS");
  EXPECT_EQ(differences(d, cys), "");
  std::string sh;
  for (const pipetest::Record& r : pipetest::records(file_text(dir.path() + "/out.rst")))
    if (r.line.starts_with("BOND") &&
        std::set<std::string>(r.names.begin(), r.names.end()) == std::set<std::string>{"SG", "HG"})
      sh += pipetest::field(r.line, 54, 62) + ";";
  EXPECT_EQ(sh, "1.344;") << "one S-H restraint, its ideal the length of the coordinates";
}
