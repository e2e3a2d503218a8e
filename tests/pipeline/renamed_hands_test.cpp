// Whole runs on residues whose graph is a library monomer's under another
// name: a residue of the model's other hand (a D-amino acid, the other
// anomer of a sugar) keeps its name and is described with the hands of its
// coordinates, while a residue under the monomer's own name keeps the
// library's hands; and a residue renamed by its graph keeps the hydrogen
// names of the file as the monomer holds them, on both file forms.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/atom_com.h"
#include "identify/component.h"
#include "model_text.h"
#include "pipeline_fixture.h"

namespace {

using modeltext::Atom;

// The chiral restraints written for a run: centre key (chain|number|
// residue|atom), sign word and observed volume.
struct Chiral {
  std::string centre, sign;
  float observed = 0.0f;
};

std::vector<Chiral> chirals_of(const std::string& dir) {
  std::vector<Chiral> out;
  EXPECT_EQ(pipetest::read_coordinates(dir + "/out"), 0);
  for (const pipetest::Record& r : pipetest::records(file_text(dir + "/out.rst"))) {
    if (!r.line.starts_with("CHIR")) continue;
    // The first character of the chain (the PDB road splits a chain around
    // a residue it sets apart) and the number without blanks.
    const int ia = r.serials[0], ir = atom_inf.i_resid(ia);
    const std::string key = std::string(1, resid_inf.res_num_pdb(ir)(8)) + "|" +
                            modeltext::trimmed(std::string(resid_inf.res_num_pdb(ir).sub(3, 7))) +
                            "|" + std::string(resid_inf.res_name(ir).trimmed()) + "|" +
                            std::string(atom_inf.atm_name(ia).trimmed());
    const std::string first = r.line.substr(0, r.line.find('\n'));
    out.push_back(
        {key, pipetest::field(r.line, 13, 20), std::stof(first.substr(first.find_last_of(' ')))});
  }
  return out;
}

// Atoms beyond the backbone reflected through the plane of N, CA and C of
// residue num: CA and every centre of the side chain take the other hand.
void mirror_side_chain(std::vector<Atom>& atoms, int num) {
  const Atom n = modeltext::named(atoms, num, "N"), ca = modeltext::named(atoms, num, "CA"),
             c = modeltext::named(atoms, num, "C");
  const double u[3] = {n.x - ca.x, n.y - ca.y, n.z - ca.z},
               v[3] = {c.x - ca.x, c.y - ca.y, c.z - ca.z};
  double w[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
  const double len = std::sqrt(w[0] * w[0] + w[1] * w[1] + w[2] * w[2]);
  for (double& x : w) x /= len;
  const std::set<std::string> backbone = {"N", "CA", "C", "O", "H", "OXT"};
  for (Atom& a : atoms) {
    if (a.num != num || backbone.count(a.name)) continue;
    const double d = (a.x - ca.x) * w[0] + (a.y - ca.y) * w[1] + (a.z - ca.z) * w[2];
    a.x -= static_cast<float>(2 * d * w[0]);
    a.y -= static_cast<float>(2 * d * w[1]);
    a.z -= static_cast<float>(2 * d * w[2]);
  }
}

struct Written {
  pipetest::Outcome run;
  std::vector<Chiral> chirals;
  std::string lib;
};

Written run_on(const TempDir& dir, const std::vector<Atom>& atoms, bool cif, char srch = 'N') {
  const std::string cell =
      "CRYST1   60.000   60.000   60.000  90.00  90.00  90.00 P 1           1\n";
  pipetest::Options o;
  o.in = cif ? dir.write("model.cif", modeltext::cif_model(atoms, {}, "60 60 60 90 90 90", "P 1"))
             : dir.write("model.pdb", cell + modeltext::pdb_atoms(atoms) + "END\n");
  o.srch = srch;
  Written r;
  r.run = pipetest::run(o, dir.path());
  r.chirals = chirals_of(dir.path());
  r.lib = file_text(dir.path() + "/new_lib.cif");
  return r;
}

}  // namespace

// Residues 17 to 21 of 2BEG (LVFFA), PHE 19 turned into D-phenylalanine
// (DPN, which the test library lacks) by reflecting its side chain.  The
// graph is phenylalanine's, the hand at CA is not: DPN keeps its name, is
// built with the hand the model gives it, and the L residues beside it keep
// the library's.  The same with the subgraph search on.
TEST(RenamedHands, DAminoAcidBesideLResiduesKeepsItsNameAndHand) {
  for (const bool cif : {false, true}) {
    for (const char srch : {'N', 'G'}) {
      SCOPED_TRACE(std::string(cif ? "mmCIF" : "PDB") + ", search " + srch);
      std::vector<Atom> atoms = modeltext::atoms_of("2BEG.pdb", 'A', 17, 21);
      mirror_side_chain(atoms, 19);
      for (Atom& a : atoms)
        if (a.num == 19) {
          a.res = "DPN";
          a.record = "HETATM";
        }
      TempDir dir;
      const Written r = run_on(dir, atoms, cif, srch);
      ASSERT_EQ(r.run.ierr, 0) << r.run.out;
      EXPECT_NE(r.run.out.find("the model's hand at \"CA  \" is not that of PHE (positiv  -2."),
                std::string::npos)
          << r.run.out;
      EXPECT_EQ(r.run.out.find("\"DPN\" --> \"PHE"), std::string::npos) << r.run.out;
      std::map<std::string, int> centres;
      for (const Chiral& c : r.chirals) {
        ++centres[c.centre];
        EXPECT_GT(std::fabs(c.observed), 2.0f) << c.centre;
        EXPECT_EQ(c.sign, c.observed > 0 ? "positiv" : "negativ") << c.centre;
      }
      EXPECT_EQ(centres, (std::map<std::string, int>{{"A|17|LEU|CA", 1},
                                                     {"A|18|VAL|CA", 1},
                                                     {"A|19|DPN|CA", 1},
                                                     {"A|20|PHE|CA", 1},
                                                     {"A|21|ALA|CA", 1}}));
      EXPECT_NE(r.lib.find("data_comp_DPN"), std::string::npos);
    }
  }
}

// N-acetyl-alpha-D-glucosamine (NDG, which the test library lacks) made
// from the ideal coordinates of the component NAG (the beta anomer, in
// tests/data/components_subset.cif) by moving O1 into the place of H1, 1.43
// A from C1 (C-O of a hemiacetal, Allen et al., J. Chem. Soc. Perkin Trans.
// 2, 1987, S1-S19), without hydrogens.  Under its own name it keeps the
// alpha hand at C1; under the beta anomer's name NAG it takes the library's
// hand, which a refinement then imposes.
TEST(RenamedHands, SugarAnomersKeepTheirHandUnlessTheyCarryTheLibrarysName) {
  const comp::Component nag = comp::load("NAG");
  std::vector<Atom> alpha;
  ASSERT_GT(nag.index("C1") * nag.index("H1"), 0);
  const comp::Atom& c1 = nag.atoms[nag.index("C1") - 1];
  const comp::Atom& h1 = nag.atoms[nag.index("H1") - 1];
  for (const comp::Atom& a : nag.atoms) {
    if (a.symb == "H") continue;
    Atom m;
    m.record = "HETATM";
    m.name = a.name;
    m.res = "NDG";
    m.chain = "B";
    m.num = 1;
    m.element = a.symb;
    m.x = a.x + 20;
    m.y = a.y + 20;
    m.z = a.z + 20;
    if (a.name == "O1") {
      const float d[3] = {h1.x - c1.x, h1.y - c1.y, h1.z - c1.z};
      const float len = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
      m.x = c1.x + 20 + 1.43f * d[0] / len;
      m.y = c1.y + 20 + 1.43f * d[1] / len;
      m.z = c1.z + 20 + 1.43f * d[2] / len;
    }
    alpha.push_back(m);
  }
  for (const bool cif : {false, true}) {
    for (const std::string name : {"NDG", "NAG"}) {
      SCOPED_TRACE(std::string(cif ? "mmCIF, " : "PDB, ") + name);
      for (Atom& a : alpha) a.res = name;
      TempDir dir;
      const Written r = run_on(dir, alpha, cif);
      ASSERT_EQ(r.run.ierr, 0) << r.run.out;
      std::map<std::string, Chiral> by_centre;
      for (const Chiral& c : r.chirals) by_centre[c.centre] = c;
      ASSERT_EQ(by_centre.size(), 5u);
      const Chiral& at_c1 = by_centre["B|1|" + name + "|C1"];
      // The library's NAG: C1 C2 O1 O5 positiv; the model: about -2.4 A^3.
      EXPECT_LT(at_c1.observed, -2.0f);
      EXPECT_EQ(at_c1.sign, name == "NAG" ? "positiv" : "negativ");
      for (const std::string other : {"C2", "C3", "C4", "C5"}) {
        const Chiral& c = by_centre["B|1|" + name + "|" + other];
        EXPECT_EQ(c.sign, c.observed > 0 ? "positiv" : "negativ") << other;
      }
      EXPECT_EQ(r.lib.find("data_comp_" + name) != std::string::npos, name == "NDG");
    }
  }
}

// ARG 22 of the excerpt with hydrogens (current PDB names HH11 to HH22
// written from the first column) as HETATM under another name, AR1: its
// graph is arginine's and so is its hand, so it becomes ARG, and keeps the
// four hydrogens on the PDB road as on the mmCIF one, with their bonds and
// angles.
TEST(RenamedHands, RenamedArginineKeepsItsCurrentHydrogenNames) {
  std::vector<Atom> atoms = modeltext::atoms_of("pdb_arg_tyr_trp_h.pdb", 'A', 22, 22);
  for (Atom& a : atoms) {
    a.res = "AR1";
    a.record = "HETATM";
  }
  std::map<bool, std::multiset<std::string>> kept;
  for (const bool cif : {false, true}) {
    SCOPED_TRACE(cif ? "mmCIF" : "PDB");
    TempDir dir;
    const Written r = run_on(dir, atoms, cif);
    ASSERT_EQ(r.run.ierr, 0) << r.run.out;
    EXPECT_NE(r.run.out.find("\"AR1     \" --> \"ARG"), std::string::npos) << r.run.out;
    // The written coordinates keep the file's residue name.
    std::set<std::string> names;
    for (int ia = 1; ia <= atom_inf.n_atom; ++ia)
      names.insert(std::string(atom_inf.atm_name(ia).trimmed()));
    for (const char* h : {"HH11", "HH12", "HH21", "HH22"}) EXPECT_TRUE(names.count(h)) << h;
    for (const pipetest::Record& rec : pipetest::records(file_text(dir.path() + "/out.rst"))) {
      std::string key = rec.line.substr(0, 4);
      for (const std::string& n : rec.names) key += " " + n;
      if (key.find(" HH") != std::string::npos) kept[cif].insert(key);
    }
  }
  EXPECT_EQ(kept[false], kept[true]);
  EXPECT_GE(kept[false].size(), 4u + 6u);
}

// TYR 17 of the excerpt as TYX with its ring carbons' names passed one place
// on round the ring (CG to CD1, CD1 to CE1, CE1 to CZ, CZ to CE2, CE2 to CD2,
// CD2 to CG), the subgraph search off: the atoms keep the file's names, and
// each ring carbon is typed by its bonds, CR16 with a hydrogen, CR6 at the
// ring's two substituents (now named CD1 and CE2), on both file forms.  The
// test library's energy types lack the ring types: a copy of the library
// gets C1, CR6 and CR16 as rows equal to its CR1 row.
TEST(RenamedHands, RingCarbonsUnderPassedRoundNamesAreTypedByTheirPlace) {
  TempDir dir;
  const std::string lib = dir.path() + "/lib/";
  std::filesystem::copy(pipetest::library(), lib, std::filesystem::copy_options::recursive);
  std::string ener = file_text(lib + "ener_lib.cif");
  const std::string cr1 = "CR1    12.011 N  1.70  1.70  0.00 C  4 2\n";
  ASSERT_NE(ener.find(cr1), std::string::npos);
  ener.insert(ener.find(cr1) + cr1.size(),
              "C1     12.011 N  1.70  1.70  0.00 C  4 2\n"
              "CR6    12.011 N  1.70  1.70  0.00 C  4 2\n"
              "CR16   12.011 N  1.70  1.70  0.00 C  4 2\n");
  dir.write("lib/ener_lib.cif", ener);
  const std::map<std::string, std::string> passed = {{"CG", "CD1"}, {"CD1", "CE1"}, {"CE1", "CZ"},
                                                     {"CZ", "CE2"}, {"CE2", "CD2"}, {"CD2", "CG"}};
  std::vector<Atom> all = modeltext::atoms_of("pdb_arg_tyr_trp_h.pdb", 'A', 17, 17);
  for (Atom& a : all) {
    a.res = "TYX";
    a.record = "HETATM";
    if (passed.count(a.name)) a.name = passed.at(a.name);
  }
  std::vector<Atom> heavy;
  for (const Atom& a : all)
    if (a.element != "H") heavy.push_back(a);
  for (const bool cif : {false, true}) {
    for (const bool with_h : {true, false}) {
      SCOPED_TRACE(std::string(cif ? "mmCIF" : "PDB") +
                   (with_h ? ", its hydrogens" : ", no hydrogens"));
      const std::vector<Atom>& atoms = with_h ? all : heavy;
      TempDir run;
      pipetest::Options o;
      o.in = cif ? run.write("m.cif", modeltext::cif_model(atoms, {}, "60 60 60 90 90 90", "P 1"))
                 : run.write(
                       "m.pdb",
                       "CRYST1   60.000   60.000   60.000  90.00  90.00  90.00 P 1           1\n" +
                           modeltext::pdb_atoms(atoms) + "END\n");
      o.lib_dir = lib;
      const pipetest::Outcome r = pipetest::run(o, run.path());
      ASSERT_EQ(r.ierr, 0) << r.out;
      // Each atom row of the written coordinates is followed by its name and
      // energy type.
      std::map<std::string, std::string> types;
      const std::vector<std::string> lines = pipetest::lines_of(file_text(run.path() + "/out.crd"));
      for (std::size_t k = 0; k + 1 < lines.size(); ++k) {
        std::istringstream row(lines[k]), next(lines[k + 1]);
        std::string serial, name, alt, res, key, type;
        if (!(row >> serial >> name >> alt >> res) || res != "TYX") continue;
        next >> key >> type;
        types[name] = type;
      }
      // The lone residue's own ends (its C and N) are the builder's matter
      // of chain ends, not of names.
      for (const char* end : {"C", "N", "O"}) types.erase(end);
      std::erase_if(types, [](const auto& t) { return t.first[0] == 'H'; });
      EXPECT_EQ(types, (std::map<std::string, std::string>{{"CA", "CH1"},
                                                           {"CB", "CH2"},
                                                           {"CD1", "CR6"},
                                                           {"CE1", "CR16"},
                                                           {"CZ", "CR16"},
                                                           {"CE2", "CR6"},
                                                           {"CD2", "CR16"},
                                                           {"CG", "CR16"},
                                                           {"OH", "OH1"}}));
    }
  }
}
