// Residues inside a chain that are not ordinary, through whole runs: a
// residue written as HETATM between the ATOM records of its chain and joined
// to its neighbours by LINK records, a residue the library lacks, residue
// numbers that jump.  Each model is run from a PDB file and from an mmCIF
// file, both changed from a shipped entry by the test, and the restraints of
// the two are compared atom by atom; the written coordinates are run again.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/atom_com.h"
#include "model_text.h"
#include "output/str_read.h"
#include "pipeline_fixture.h"
#include "restraint_sets.h"

namespace {

using pipetest::Options;
using pipetest::Outcome;
using pipetest::lines_of;
using rsets::Restraints;
using rsets::across;
using rsets::expect_same;
using rsets::restraints_of;
using rsets::words;
using rsets::written_atoms;

std::string joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\n";
  return out;
}

// ------------------------------------------------------------ the models

// Changes of 2BEG (model 1, chain A): residue `het` written as HETATM,
// residue 35 renamed MSE with SD renamed SE (element SE), LINK records
// joining `het`'s N and C to its neighbours, chain A renumbered by `shift`
// from residue `from` on, residue `drop` left out; with `cis`, chain A alone
// with a cis peptide between 34 and 35 (cis_positions).
struct Change {
  int het = 0;
  bool mse = false, links = false, cis = false;
  int from = 0, shift = 0, drop = 0;
};

using Xyz = std::array<double, 3>;

// p turned by `angle` (radians) about the axis through `at` along unit k.
Xyz turned(const Xyz& p, const Xyz& at, const Xyz& k, double angle) {
  const Xyz v = {p[0] - at[0], p[1] - at[1], p[2] - at[2]};
  const double c = std::cos(angle), s = std::sin(angle),
               d = v[0] * k[0] + v[1] * k[1] + v[2] * k[2];
  const Xyz x = {k[1] * v[2] - k[2] * v[1], k[2] * v[0] - k[0] * v[2], k[0] * v[1] - k[1] * v[0]};
  Xyz out;
  for (int i = 0; i < 3; ++i) out[i] = at[i] + v[i] * c + x[i] * s + k[i] * d * (1 - c);
  return out;
}

Xyz along(const Xyz& a, const Xyz& b) {
  const Xyz v = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
  const double l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  return {v[0] / l, v[1] / l, v[2] / l};
}

// Chain A of 2BEG with omega 34-35 made cis: residues 35 on turned half a
// turn about the C34-N35 bond, every atom past CA35 (but its H) turned 310
// degrees about N35-CA35, and the side chain of residue 35 beyond CB turned
// 240 degrees about CA35-CB35.  That keeps every two heavy atoms of
// different residues (but the backbone atoms of neighbours) 2.7 A apart or
// more, beyond any bond limit.  By residue number and atom name.
std::map<std::pair<int, std::string>, Xyz> cis_positions() {
  std::map<std::pair<int, std::string>, Xyz> at;
  for (const std::string& l : lines_of(file_text(pipetest::data("2BEG.pdb")))) {
    if (l.starts_with("ENDMDL")) break;
    if (!l.starts_with("ATOM") || l[21] != 'A') continue;
    std::string name = l.substr(12, 4);
    name.erase(0, name.find_first_not_of(' '));
    name.erase(name.find_last_not_of(' ') + 1);
    at[{std::stoi(l.substr(22, 4)), name}] = {
        std::stod(l.substr(30, 8)), std::stod(l.substr(38, 8)), std::stod(l.substr(46, 8))};
  }
  const Xyz c34 = at[{34, "C"}];
  const Xyz k = along(c34, at[{35, "N"}]);
  for (auto& [key, p] : at)
    if (key.first >= 35) p = turned(p, c34, k, std::acos(-1.0));
  const Xyz n35 = at[{35, "N"}];
  const Xyz k2 = along(n35, at[{35, "CA"}]);
  for (auto& [key, p] : at)
    if (key.first > 35 ||
        (key.first == 35 && key.second != "N" && key.second != "H" && key.second != "CA"))
      p = turned(p, n35, k2, 310.0 * std::acos(-1.0) / 180.0);
  const Xyz ca35 = at[{35, "CA"}];
  const Xyz k3 = along(ca35, at[{35, "CB"}]);
  for (auto& [key, p] : at)
    if (key.first == 35 &&
        !(key.second == "N" || key.second == "H" || key.second == "CA" || key.second == "C" ||
          key.second == "O" || key.second == "HA" || key.second == "CB"))
      p = turned(p, ca35, k3, 240.0 * std::acos(-1.0) / 180.0);
  return at;
}

bool chain_a(const std::string& l, int n) {
  return (l.starts_with("ATOM") || l.starts_with("HETATM")) && l.size() > 26 && l[21] == 'A' &&
         std::stoi(l.substr(22, 4)) == n;
}

std::string link_record(const std::string& res1, int n1, const std::string& res2, int n2) {
  char line[96];
  std::snprintf(line, sizeof line,
                "LINK         C   %s A%4d                 N   %s A%4d     1555   1555  1.33  ",
                res1.c_str(), n1, res2.c_str(), n2);
  return line;
}

// The residue name of chain A residue n in 2BEG.
std::string name_2beg(int n) {
  for (const std::string& l : lines_of(file_text(pipetest::data("2BEG.pdb"))))
    if (chain_a(l, n)) return l.substr(17, 3);
  return "";
}

std::string pdb_model(const Change& c) {
  std::vector<std::string> out;
  const auto cis = c.cis ? cis_positions() : std::map<std::pair<int, std::string>, Xyz>{};
  for (std::string l : lines_of(file_text(pipetest::data("2BEG.pdb")))) {
    const bool atom = l.starts_with("ATOM") || l.starts_with("HETATM");
    if (c.cis && (atom || l.starts_with("TER   ")) && l.size() > 21 && l[21] != 'A') continue;
    if (c.cis && atom) {
      std::string name = l.substr(12, 4);
      name.erase(0, name.find_first_not_of(' '));
      name.erase(name.find_last_not_of(' ') + 1);
      const auto p = cis.find({std::stoi(l.substr(22, 4)), name});
      if (p != cis.end()) {
        char xyz[32];
        std::snprintf(xyz, sizeof xyz, "%8.3f%8.3f%8.3f", p->second[0], p->second[1], p->second[2]);
        l.replace(30, 24, xyz);
      }
    }
    if (l.starts_with("CRYST1") && c.links) {
      const std::string het = c.mse && c.het == 35 ? "MSE" : name_2beg(c.het);
      if (c.het > 17) out.push_back(link_record(name_2beg(c.het - 1), c.het - 1, het, c.het));
      out.push_back(link_record(het, c.het, name_2beg(c.het + 1), c.het + 1));
    }
    if (c.drop != 0 && chain_a(l, c.drop)) continue;
    if (c.het != 0 && chain_a(l, c.het)) l = "HETATM" + l.substr(6);
    if (c.mse && chain_a(l, 35)) {
      l.replace(17, 3, "MSE");
      if (l.substr(12, 4) == " SD ")
        l = l.substr(0, 12) + "SE  " + l.substr(16, 60) + "SE" + l.substr(78);
    }
    const bool numbered =
        l.starts_with("ATOM") || l.starts_with("HETATM") || l.starts_with("TER   ");
    if (c.shift != 0 && numbered && l.size() > 26 && l[21] == 'A' &&
        std::stoi(l.substr(22, 4)) >= c.from) {
      char num[8];
      std::snprintf(num, sizeof num, "%4d", std::stoi(l.substr(22, 4)) + c.shift);
      l.replace(22, 4, num);
    }
    out.push_back(l);
  }
  return joined(out);
}

// The same changes of the archive's mmCIF form of 2BEG, its atom rows taken
// word by word (group, id, element, atom, alt, residue, chain, entity, number,
// ..., author number 22nd, author residue, author chain, author atom); the
// links are connection rows.
std::string cif_model(const Change& c) {
  std::vector<std::string> out;
  const auto cis = c.cis ? cis_positions() : std::map<std::pair<int, std::string>, Xyz>{};
  for (std::string l : lines_of(file_text(pipetest::data("cif_2BEG.cif")))) {
    if (l.starts_with("loop_") && c.links) {
      // Only before the atom rows: the connection loop goes in first.
      static const char* kItems[] = {"id",
                                     "conn_type_id",
                                     "ptnr1_label_asym_id",
                                     "ptnr1_label_comp_id",
                                     "ptnr1_label_seq_id",
                                     "ptnr1_label_atom_id",
                                     "pdbx_ptnr1_label_alt_id",
                                     "ptnr1_symmetry",
                                     "ptnr2_label_asym_id",
                                     "ptnr2_label_comp_id",
                                     "ptnr2_label_seq_id",
                                     "ptnr2_label_atom_id",
                                     "pdbx_ptnr2_label_alt_id",
                                     "ptnr1_auth_asym_id",
                                     "ptnr1_auth_seq_id",
                                     "ptnr2_auth_asym_id",
                                     "ptnr2_auth_seq_id",
                                     "ptnr2_symmetry",
                                     "pdbx_dist_value"};
      if (std::find(out.begin(), out.end(), "_struct_conn.id") == out.end()) {
        out.push_back("loop_");
        for (const char* i : kItems) out.push_back(std::string("_struct_conn.") + i);
        const std::string het = c.mse && c.het == 35 ? "MSE" : name_2beg(c.het);
        auto row = [&](int k, const std::string& r1, int n1, const std::string& r2, int n2) {
          const std::string a = std::to_string(n1), b = std::to_string(n2);
          out.push_back("covale" + std::to_string(k) + " covale A " + r1 + " " + a +
                        " C ? 1_555 A " + r2 + " " + b + " N ? A " + a + " A " + b + " 1_555 1.33");
        };
        if (c.het > 17) row(1, name_2beg(c.het - 1), c.het - 1, het, c.het);
        row(2, het, c.het, name_2beg(c.het + 1), c.het + 1);
        out.push_back("#");
      }
    }
    std::vector<std::string> w = words(l);
    const bool atom = !w.empty() && (w[0] == "ATOM" || w[0] == "HETATM") && w.size() >= 26;
    if (c.cis && atom && (w[6] != "A" || w[25] != "1")) continue;
    if (!atom || w[6] != "A") {
      out.push_back(l);
      continue;
    }
    const int n = std::stoi(w[21]);
    if (c.cis) {
      const auto p = cis.find({n, w[3]});
      if (p != cis.end())
        for (int k = 0; k < 3; ++k) {
          char x[16];
          std::snprintf(x, sizeof x, "%.3f", p->second[k]);
          w[10 + k] = x;
        }
    }
    if (n == c.drop) continue;
    if (n == c.het) w[0] = "HETATM";
    if (c.mse && n == 35) {
      w[5] = w[22] = "MSE";
      if (w[3] == "SD") w[2] = w[3] = w[24] = "SE";
    }
    if (c.shift != 0 && n >= c.from) w[21] = std::to_string(n + c.shift);
    std::string row;
    for (const std::string& x : w) row += (row.empty() ? "" : " ") + x;
    out.push_back(row);
  }
  return joined(out);
}

// ------------------------------------------------------------ the restraints

// The model run in a scratch directory of its own; the structure file read
// back; the restraints by atoms.
struct ModelRun {
  TempDir dir;
  Outcome out;
  Restraints restraints;
  std::string crd;
};

void run_model(const std::string& model, ModelRun& r, const std::string& lib2 = "") {
  Options o;
  o.in = model;
  o.lib2 = lib2;
  r.out = pipetest::run(o, r.dir.path());
  ASSERT_EQ(r.out.ierr, 0) << model << "\n" << r.out.out;
  const std::string base = r.dir.path() + "/out";
  r.crd = file_text(base + ".crd");
  int32_t ierr = 0;
  rt::FixedText<256> path("");
  captured([&] { read_str_(0, path.ref(), base, "str", ierr); });
  rt::close_all_units();
  EXPECT_EQ(ierr, 0) << "structure file of " << model;
  r.restraints = restraints_of(base);
}

// The PDB and the mmCIF form of one model give the same restraints, and so
// does a second run on the coordinates the PDB run wrote.
void expect_both_forms_and_rerun(const std::string& label, const std::string& pdb,
                                 const std::string& cif, ModelRun& p,
                                 const std::string& lib2 = "") {
  run_model(pdb, p, lib2);
  ModelRun c, again;
  run_model(cif, c, lib2);
  expect_same(label + ": PDB and mmCIF forms", p.restraints, c.restraints);
  run_model(p.dir.path() + "/out.crd", again, lib2);
  expect_same(label + ": second run on the written coordinates", p.restraints, again.restraints);
}

// The atoms of the written coordinates that `pick` takes, as "number
// residue atom".
std::vector<std::string> atoms_where(const std::string& dir, const std::function<bool(int)>& pick) {
  std::vector<std::string> out;
  const std::vector<std::string> keys = written_atoms(dir + "/out");
  for (int ia = 1; ia <= atom_inf.n_atom; ++ia)
    if (pick(ia)) out.push_back(keys[ia - 1]);
  return out;
}

// A main-chain N typed as the amine of a free N terminus.
bool amine_n(int ia) { return atom_inf.atm_name(ia) == "N" && atom_inf.atm_chem(ia) == "NT3"; }

}  // namespace

// 2BEG with MET35 written as HETATM and LINK records (connection rows in the
// mmCIF form) joining its N and C to LEU34 and VAL36, and with the chain's
// first residue LEU17 written so and linked by its C to VAL18: neither is a
// chain end where it is linked, so the restraints are those of the entry as
// it is, atom for atom; no terminal atom is added and MET35's N keeps the
// peptide's type.
TEST(ChainInside, ResidueTheInputLinksIsNoChainEndThere) {
  ModelRun plain;
  run_model(pipetest::data("2BEG.pdb"), plain);
  for (const int het : {35, 17}) {
    SCOPED_TRACE(het);
    Change ch;
    ch.het = het;
    ch.links = true;
    TempDir models;
    ModelRun p;
    expect_both_forms_and_rerun("HETATM " + std::to_string(het),
                                models.write("het.pdb", pdb_model(ch)),
                                models.write("het.cif", cif_model(ch)), p);
    expect_same("HETATM " + std::to_string(het) + " against the entry", plain.restraints,
                p.restraints);
    EXPECT_TRUE(
        atoms_where(p.dir.path(), [](int ia) { return atom_inf.atm_name(ia) == "OXT"; }).empty());
    const auto nt3 = atoms_where(p.dir.path(), amine_n);
    const auto nt3_plain = atoms_where(plain.dir.path(), amine_n);
    EXPECT_EQ(nt3, nt3_plain);
    EXPECT_EQ(p.crd.find("0.000    0.000    0.000  0.00"), std::string::npos);
  }
}

// 1A8O with a user library that describes MSE as an L-peptide: each of the
// four selenomethionines, HETATM records between ATOM records in the PDB
// form, takes no terminal group where LINK records join it (MSE151, the
// chain's first residue, keeps its N-terminal group only), and both forms
// and a second run give the same restraints.
TEST(ChainInside, SelenomethionineOfAUserLibraryIsInsideItsChain) {
  const std::string lib = std::string(ORB_TEST_DATA_DIR) + "/monlib_user/mse_lib.cif";
  ModelRun p;
  expect_both_forms_and_rerun("1A8O", pipetest::data("1A8O.pdb"), pipetest::data("cif_1A8O.cif"), p,
                              lib);
  EXPECT_EQ(p.out.new_lib, 'N') << p.out.out;
  const auto oxt = atoms_where(p.dir.path(), [](int ia) { return atom_inf.atm_name(ia) == "OXT"; });
  for (const std::string& a : oxt) EXPECT_EQ(a.find("MSE"), std::string::npos) << a;
  const auto nt3 = atoms_where(p.dir.path(), amine_n);
  EXPECT_EQ(nt3, std::vector<std::string>{"A151 MSE N"});
  EXPECT_EQ(p.crd.find("0.000    0.000    0.000  0.00"), std::string::npos);
}

// The last five residues of 1UBI (72 to 76) with both glycines renamed GLZ,
// which the test library lacks: GLZ is built from GLY76, whose OXT the model
// has, and GLY75's C is peptide-linked to GLY76's N.  The link takes the
// place of the hydroxyl oxygen there, so GLY75 gets no OXT (neither written
// at the origin as missing nor restrained) while GLY76 keeps its own, in both
// forms and on a second run.
TEST(ChainInside, BuiltResidueLinkedByItsCarboxylHasNoHydroxylOxygenThere) {
  std::vector<modeltext::Atom> atoms = modeltext::atoms_of("1ubi.pdb", 'A', 72, 76);
  for (modeltext::Atom& a : atoms)
    if (a.num >= 75) a.res = "GLZ";
  TempDir models;
  ModelRun p;
  expect_both_forms_and_rerun("GLZ", models.write("glz.pdb", modeltext::pdb_atoms(atoms) + "END\n"),
                              models.write("glz.cif", modeltext::cif_model(atoms, {})), p);
  EXPECT_EQ(p.out.new_lib, 'Y') << p.out.out;
  const auto oxt = atoms_where(p.dir.path(), [](int ia) { return atom_inf.atm_name(ia) == "OXT"; });
  EXPECT_EQ(oxt, std::vector<std::string>{"A76 GLZ OXT"});
  EXPECT_EQ(p.crd.find("0.000    0.000    0.000  0.00"), std::string::npos);
  int oxt_bonds = 0;
  for (const std::string& k : p.restraints)
    if (k.starts_with("BOND") && k.find(" OXT") != std::string::npos) {
      EXPECT_NE(k.find("A76 GLZ C | A76 GLZ OXT"), std::string::npos) << k;
      ++oxt_bonds;
    }
  EXPECT_EQ(oxt_bonds, 1);
}

// Residues 1 to 4 of 1LCD's chain B (DA DA DT DT), which the test library
// lacks: DA is built from DA2, which has its phosphate, and DA1 is the free
// 5' end without one.  DA1 gets no P, OP1 or OP2 (neither written at the
// origin as missing nor restrained) and its restraints name only atoms it
// has; a 5' end with its phosphate (the same chain from DA2 on) keeps it, and
// the restraints of the residues after the 5' one are the same in both runs.
TEST(ChainInside, BuiltNucleotideAtAFreeFivePrimeEndHasNoPhosphate) {
  const std::vector<modeltext::Atom> atoms = modeltext::atoms_of("1LCD.pdb", 'B', 1, 4);
  TempDir models;
  ModelRun p;
  expect_both_forms_and_rerun("DA1", models.write("b1.pdb", modeltext::pdb_atoms(atoms) + "END\n"),
                              models.write("b1.cif", modeltext::cif_model(atoms, {})), p);
  EXPECT_EQ(p.out.new_lib, 'Y') << p.out.out;
  EXPECT_EQ(p.crd.find("0.000    0.000    0.000"), std::string::npos);
  auto phosphate = [](int ia) {
    const std::string n(atom_inf.atm_name(ia).trimmed());
    return n == "P" || n == "OP1" || n == "OP2" || n == "OP3" || n == "O1P" || n == "O2P" || n == "O3P";
  };
  const auto written = atoms_where(p.dir.path(), phosphate);
  EXPECT_EQ(std::count_if(written.begin(), written.end(), [](const std::string& k) { return k.starts_with("B1 "); }),
            0);
  EXPECT_EQ(written.size(), 9u);
  std::set<std::string> own;
  for (const modeltext::Atom& a : atoms)
    if (a.num == 1) own.insert("B1 " + a.res + " " + a.name);
  int first = 0;
  for (const std::string& k : p.restraints)
    for (const std::string& w : rsets::words(k))
      if (w == "B1") ++first;
  EXPECT_GT(first, 20);
  for (const std::string& k : p.restraints) {
    std::istringstream in(k);
    for (std::string part; std::getline(in, part, '|');) {
      const std::string a = modeltext::trimmed(part);
      if (a.starts_with("B1 ")) {
        EXPECT_TRUE(own.count(a)) << k;
      }
    }
  }

  std::vector<modeltext::Atom> from2;
  for (const modeltext::Atom& a : atoms)
    if (a.num >= 2) from2.push_back(a);
  ModelRun q;
  expect_both_forms_and_rerun("DA2", models.write("b2.pdb", modeltext::pdb_atoms(from2) + "END\n"),
                              models.write("b2.cif", modeltext::cif_model(from2, {})), q);
  EXPECT_EQ(q.crd.find("0.000    0.000    0.000"), std::string::npos);
  const auto kept = atoms_where(q.dir.path(), phosphate);
  EXPECT_EQ(std::count_if(kept.begin(), kept.end(), [](const std::string& k) { return k.starts_with("B2 "); }), 3);
  auto after_two = [](const Restraints& all) {
    Restraints out;
    for (const std::string& k : all)
      if (k.find("B1 ") == std::string::npos && k.find("B2 ") == std::string::npos) out.insert(k);
    return out;
  };
  EXPECT_FALSE(after_two(p.restraints).empty());
  expect_same("residues after the 5' end", after_two(q.restraints), after_two(p.restraints));
}

// 2BEG with MET35 renamed MSE and SD renamed SE, which the test library
// lacks: as ATOM records, as HETATM records, as HETATM records with LINK
// records, in both forms (connection rows in the mmCIF form).  Every form
// restrains the same, each peptide C-N bond once, and the restraints across
// the residues are those of the methionine it replaced: the trans peptide
// link on both sides.  The shipped 1A8O, whose selenomethionines are built,
// restrains alike from both its forms.
TEST(ChainInside, BuiltResidueKeepsItsPeptideGeometry) {
  ModelRun plain;
  run_model(pipetest::data("2BEG.pdb"), plain);
  Restraints met_across;
  for (std::string k : across(plain.restraints)) {
    for (std::size_t at; (at = k.find("A35 MET")) != std::string::npos;)
      k.replace(at, 7, "A35 MSE");
    met_across.insert(k);
  }
  Restraints first;
  for (const int het : {0, 35}) {
    for (const bool links : {false, true}) {
      if (het == 0 && links) continue;
      const std::string label = het == 0 ? "ATOM" : links ? "HETATM with links" : "HETATM";
      SCOPED_TRACE(label);
      Change ch;
      ch.mse = true;
      ch.het = het;
      ch.links = links;
      TempDir models;
      ModelRun p;
      expect_both_forms_and_rerun(label, models.write("mse.pdb", pdb_model(ch)),
                                  models.write("mse.cif", cif_model(ch)), p);
      expect_same(label + ": across residues against MET", met_across, across(p.restraints));
      std::set<std::string> bonds;
      for (const std::string& k : p.restraints)
        if (k.starts_with("BOND")) {
          EXPECT_TRUE(bonds.insert(k.substr(0, k.rfind('|'))).second) << k;
        }
      if (first.empty()) first = p.restraints;
      expect_same(label + " against ATOM", first, p.restraints);
    }
  }
  // The selenomethionines of the shipped 1A8O, built in either form.
  ModelRun p;
  expect_both_forms_and_rerun("1A8O", pipetest::data("1A8O.pdb"), pipetest::data("cif_1A8O.cif"),
                              p);
}

// 2BEG with chain A renumbered by +10 from residue 30 on: LEU29 and ALA40
// (the former 30) are bonded, and both forms restrain them as the entry
// does, atom for atom.  With ALA30 left out as well, GLY29 and ILE41 are
// 4.4 A apart: no restraint joins them on either road.
TEST(ChainInside, JumpInNumbersIsNoBreakWhereTheAtomsAreBonded) {
  ModelRun plain;
  run_model(pipetest::data("2BEG.pdb"), plain);
  Restraints renumbered;
  for (std::string k : plain.restraints) {
    std::string out;
    std::istringstream in(k);
    for (std::string part; std::getline(in, part, '|');) {
      const std::vector<std::string> w = words(part);
      if (w.size() == 3 && w[0][0] == 'A' && std::stoi(w[0].substr(1)) >= 30)
        part =
            " A" + std::to_string(std::stoi(w[0].substr(1)) + 10) + " " + w[1] + " " + w[2] + " ";
      out += (out.empty() ? "" : "|") + part;
    }
    renumbered.insert(out);
  }
  Change ch;
  ch.from = 30;
  ch.shift = 10;
  TempDir models;
  ModelRun p;
  expect_both_forms_and_rerun("renumbered", models.write("renum.pdb", pdb_model(ch)),
                              models.write("renum.cif", cif_model(ch)), p);
  expect_same("renumbered against the entry", renumbered, p.restraints);

  ch.drop = 30;
  ModelRun gap;
  expect_both_forms_and_rerun("renumbered without ALA30", models.write("gap.pdb", pdb_model(ch)),
                              models.write("gap.cif", cif_model(ch)), gap);
  for (const std::string& k : across(gap.restraints))
    EXPECT_FALSE(k.find("A29 GLY") != std::string::npos && k.find("A41 ILE") != std::string::npos)
        << k;
}

// The same built residue after a cis peptide to LEU34 (chain A of 2BEG
// alone, the chain turned at that bond): every form takes the cis link the
// model has, with its omega restrained at 0, as the methionine does; the
// trans link to VAL36 stays trans.
TEST(ChainInside, BuiltResidueTakesTheCisLinkTheModelHas) {
  Change ch;
  ch.cis = true;
  TempDir models;
  ModelRun plain;
  run_model(models.write("met_cis.pdb", pdb_model(ch)), plain);
  Restraints met_across;
  for (std::string k : across(plain.restraints)) {
    for (std::size_t at; (at = k.find("A35 MET")) != std::string::npos;)
      k.replace(at, 7, "A35 MSE");
    met_across.insert(k);
  }
  EXPECT_EQ(
      met_across.count("TORS | A34 LEU CA | A34 LEU C | A35 MSE N | A35 MSE CA | 0.000 5.000"), 1u);
  EXPECT_EQ(
      met_across.count("TORS | A35 MSE CA | A35 MSE C | A36 VAL N | A36 VAL CA | 180.000 5.000"),
      1u);
  ch.mse = true;
  for (const int het : {0, 35}) {
    for (const bool links : {false, true}) {
      if (het == 0 && links) continue;
      const std::string label = het == 0 ? "ATOM" : links ? "HETATM with links" : "HETATM";
      SCOPED_TRACE(label);
      ch.het = het;
      ch.links = links;
      ModelRun p;
      expect_both_forms_and_rerun(label, models.write("mse.pdb", pdb_model(ch)),
                                  models.write("mse.cif", cif_model(ch)), p);
      expect_same(label + ": across residues against MET", met_across, across(p.restraints));
      if (het == 35) {
        EXPECT_NE(p.out.out.find(" WARNING : CIS peptide bond is found, angle ="),
                  std::string::npos);
      }
    }
  }
}
