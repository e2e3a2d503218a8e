// Links read from the two file forms of one entry: the archive's connection
// kinds resolved as nameless links, hydrogen bonds left out, the bonds a run
// makes with a weight, and a residue of two kinds refused.  Whole runs of the
// pipeline on real entries and on small excerpts written beside the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/atom_com.h"
#include "pipeline_fixture.h"

namespace {

using pipetest::data;
using pipetest::Options;
using pipetest::Outcome;

// One BOND restraint of a text-form restraint file: the block it stands in
// (a residue or a link, as its comment line gives it), the serials, the
// values and the atom names of its comment.
struct Bond {
  std::string block;
  int ia = 0, ja = 0;
  std::string ideal, esd;
  float vidl = 0, vesd = 0, vobs = 0;
  std::string names;
  bool link() const { return block.starts_with("# link_"); }
  // A link of the consecutive-residue walk rather than one the file names.
  bool chain_link() const {
    for (const char* n : {"'TRANS ", "'CIS ", "'PTRANS ", "'PCIS ", "'NMTRANS ", "'NMCIS ", "'p "})
      if (block.find(n) != std::string::npos) return true;
    return false;
  }
};

std::vector<Bond> bonds(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  std::vector<Bond> out;
  std::string block;
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    const std::string& l = lines[i];
    if (l.starts_with("# data_restr_") || l.starts_with("# link_")) block = l;
    if (!l.starts_with("BOND ")) continue;
    std::istringstream f(l);
    std::vector<std::string> w;
    for (std::string x; f >> x;) w.push_back(x);
    if (w.size() != 11) {
      ADD_FAILURE() << "BOND record of " << w.size() << " fields: " << l;
      continue;
    }
    Bond b;
    b.block = block;
    b.ia = std::stoi(w[4]);
    b.ja = std::stoi(w[5]);
    b.ideal = w[8];
    b.esd = w[9];
    b.vidl = std::stof(w[8]);
    b.vesd = std::stof(w[9]);
    b.vobs = std::stof(w[10]);
    const std::string& second = lines[i + 1];
    b.names = second.substr(second.find('#') + 1);
    out.push_back(b);
  }
  return out;
}

// The coordinate file's atoms by serial: "chain|number|residue|atom|alt".
std::vector<std::string> written_atoms(const std::string& base) {
  EXPECT_EQ(pipetest::read_coordinates(base), 0) << base;
  std::vector<std::string> keys;
  for (int ia = 1; ia <= atom_inf.n_atom; ++ia) keys.push_back(pipetest::atom_key(ia));
  return keys;
}

// "residue number atom" of a written atom, from its key.
std::string residue_atom(const std::vector<std::string>& keys, int serial) {
  if (serial < 1 || serial > static_cast<int>(keys.size()))
    return "serial " + std::to_string(serial);
  std::vector<std::string> f;
  std::istringstream in(keys[serial - 1]);
  for (std::string x; std::getline(in, x, '|');) f.push_back(x);
  std::string num = f.size() > 1 ? f[1] : "";
  num.erase(0, num.find_first_not_of(' '));
  num.erase(num.find_last_not_of(' ') + 1);
  return (f.size() > 3 ? f[2] + num + " " + f[3] : keys[serial - 1]);
}

// The bonds of the links a file names, by what they join (the atoms, by
// residue, in one order) and their esd, each with its ideal.
using LinkBonds = std::multimap<std::string, float>;

LinkBonds link_bonds(const std::string& dir, std::vector<Bond>* all = nullptr) {
  const std::vector<Bond> bs = bonds(file_text(dir + "/out.rst"));
  const std::vector<std::string> keys = written_atoms(dir + "/out");
  LinkBonds out;
  for (const Bond& b : bs) {
    if (!b.link() || b.chain_link()) continue;
    std::string a = residue_atom(keys, b.ia), c = residue_atom(keys, b.ja);
    if (c < a) std::swap(a, c);
    out.emplace(a + " - " + c + " /" + b.esd, b.vidl);
  }
  if (all != nullptr) *all = bs;
  return out;
}

// Two sets of link bonds alike: the same bonds with the same esds, their
// ideals within `tol`.
void expect_same_links(const LinkBonds& a, const LinkBonds& b, float tol) {
  EXPECT_EQ(a.size(), b.size());
  for (auto it = a.begin(); it != a.end(); ++it) {
    const auto other = b.find(it->first);
    if (other == b.end()) {
      ADD_FAILURE() << "only in the first: " << it->first;
      continue;
    }
    EXPECT_NEAR(it->second, other->second, tol) << it->first;
  }
  for (const auto& [k, v] : b)
    if (a.find(k) == a.end()) ADD_FAILURE() << "only in the second: " << k << " " << v;
}

// "loop_" and the item names of a loop, a line each.
std::string loop(std::string_view category, std::initializer_list<std::string_view> items) {
  std::string out = "loop_\n";
  for (std::string_view i : items) out += std::string(category) + "." + std::string(i) + "\n";
  return out;
}

const std::string kAtomLoop =
    loop("_atom_site",
         {"group_PDB", "id", "type_symbol", "label_atom_id", "label_alt_id", "label_comp_id",
          "label_asym_id", "label_entity_id", "label_seq_id", "Cartn_x", "Cartn_y", "Cartn_z",
          "occupancy", "B_iso_or_equiv", "auth_seq_id", "auth_asym_id", "pdbx_PDB_model_num"});

// 1A8O as a PDB file and in the archive's mmCIF form: the same bonds of
// the links the file names, between the same atoms with the same esds, and
// the same ideals to the two places of the PDB file's LINK record (the
// mmCIF rows give the lengths to three).  The links of the walk along each
// chain are left out: the two roads build the chains around the
// selenomethionines differently.  Checked against the files: the disulfide
// CYS198-CYS218 takes the library's SS bond (2.030/0.020).  The six peptide
// bonds to selenomethionine, which the test library lacks, are links of the
// walk too: the built selenomethionine has the peptide backbone, so its
// LINK records and connection rows resolve to the library's trans peptide
// link (ChainInside tests restrain them).
TEST(MmcifLinks, BothFormsOfOneEntryGiveTheSameLinkBonds) {
  TempDir pdb_dir, cif_dir;
  const Outcome p = pipetest::run_model(data("1A8O.pdb"), pdb_dir.path());
  ASSERT_EQ(p.ierr, 0) << p.out;
  const LinkBonds from_pdb = link_bonds(pdb_dir.path());
  const Outcome c = pipetest::run_model(data("cif_1A8O.cif"), cif_dir.path());
  ASSERT_EQ(c.ierr, 0) << c.out;
  const LinkBonds from_cif = link_bonds(cif_dir.path());
  expect_same_links(from_pdb, from_cif, 0.005f);

  const std::set<std::string> pairs = {"CYS198 SG - CYS218 SG /0.020"};
  std::set<std::string> seen;
  for (const auto& [k, ideal] : from_cif) {
    seen.insert(k);
    EXPECT_NEAR(ideal, 2.030f, 0.005f) << k;
  }
  EXPECT_EQ(seen, pairs);
  EXPECT_EQ(from_cif.size(), pairs.size());
}

// The base pair of 1LCD (an excerpt in the archive's form) whose two
// hydrogen-bond rows join atoms 2.85 and 2.88 A apart: no link, no bond
// between the two residues, no link description in the new library.
TEST(MmcifLinks, HydrogenBondRowsGiveNoBond) {
  TempDir dir;
  const Outcome r = pipetest::run_model(data("cif_1LCD_pair.cif"), dir.path());
  ASSERT_LE(r.ierr, 1) << r.out;  // 1: the new nucleotides' unknown atoms
  std::vector<Bond> all;
  EXPECT_TRUE(link_bonds(dir.path(), &all).empty());
  EXPECT_FALSE(all.empty());
  EXPECT_EQ(file_text(dir.file("out.rst")).find("# link_"), std::string::npos);
  if (std::filesystem::exists(dir.file("new_lib.cif"))) {
    const std::string lib = file_text(dir.file("new_lib.cif"));
    EXPECT_EQ(lib.find("data_link_"), std::string::npos) << lib;
    EXPECT_EQ(lib.find("hydrog"), std::string::npos);
  }
  EXPECT_EQ(file_text(dir.file("out.crd")).find("hydrog"), std::string::npos);

  // The same rows as covalent ones do reach the two residues: two links.
  std::string text = file_text(data("cif_1LCD_pair.cif"));
  for (std::size_t at; (at = text.find(" hydrog ")) != std::string::npos;)
    text.replace(at, 8, " covale ");
  TempDir dir2;
  const Outcome r2 = pipetest::run_model(dir2.write("covale.cif", text), dir2.path());
  ASSERT_LE(r2.ierr, 1) << r2.out;
  EXPECT_EQ(link_bonds(dir2.path()).size(), 2u);
}

// A zinc bound to the SG of cysteine 198 of 1A8O (the residue's atoms as
// the entry gives them; the zinc placed by hand 2.330 A from SG, away from
// CB), named by a nameless LINK record in the PDB form and by a metal row,
// with its partners the other way round, in the mmCIF form.  Both give one
// new link whose bond joins SG and ZN at the length the file gives, with the
// default esd 0.020 (the library has no S-ZN link bond).
TEST(MmcifLinks, MetalSiteFromEitherForm) {
  TempDir dir;
  struct At {
    const char *name, *el;
    float x, y, z;
  };
  const At cys[] = {{"N", "N", 14.378f, 45.967f, 14.932f},  {"CA", "C", 14.488f, 44.687f, 14.241f},
                    {"C", "C", 13.443f, 43.638f, 14.633f},  {"O", "O", 12.968f, 42.886f, 13.783f},
                    {"CB", "C", 15.902f, 44.124f, 14.411f}, {"SG", "S", 16.144f, 42.477f, 13.674f}};
  const At zn = {"ZN", "ZN", 16.454f, 40.369f, 12.730f};
  char line[128];
  std::string pdb =
      "LINK         SG  CYS A 198                ZN    ZN B 301     1555   1555  2.33  \n";
  int serial = 0;
  for (const At& a : cys) {
    std::snprintf(line, sizeof line,
                  "ATOM  %5d  %-3s CYS A 198    %8.3f%8.3f%8.3f  1.00 20.00          %2s\n",
                  ++serial, a.name, a.x, a.y, a.z, a.el);
    pdb += line;
  }
  std::snprintf(line, sizeof line,
                "HETATM%5d ZN    ZN B 301    %8.3f%8.3f%8.3f  1.00 20.00          ZN\n", ++serial,
                zn.x, zn.y, zn.z);
  pdb += line;
  pdb += "END\n";
  std::string cif =
      "data_ZNSITE\n" +
      loop("_struct_conn", {"id", "conn_type_id", "ptnr1_label_asym_id", "ptnr1_label_comp_id",
                            "ptnr1_label_seq_id", "ptnr1_label_atom_id", "pdbx_ptnr1_label_alt_id",
                            "ptnr1_symmetry", "ptnr2_label_asym_id", "ptnr2_label_comp_id",
                            "ptnr2_label_seq_id", "ptnr2_label_atom_id", "pdbx_ptnr2_label_alt_id",
                            "ptnr1_auth_asym_id", "ptnr1_auth_seq_id", "ptnr2_auth_asym_id",
                            "ptnr2_auth_seq_id", "ptnr2_symmetry", "pdbx_dist_value"}) +
      "metalc1 metalc B ZN . ZN ? 1_555 A CYS 48 SG ? B 301 A 198 1_555 2.330\n#\n" + kAtomLoop;
  serial = 0;
  for (const At& a : cys) {
    std::snprintf(line, sizeof line,
                  "ATOM %d %s %s . CYS A 1 48 %.3f %.3f %.3f 1.00 20.00 198 A 1\n", ++serial, a.el,
                  a.name, a.x, a.y, a.z);
    cif += line;
  }
  std::snprintf(line, sizeof line,
                "HETATM %d ZN ZN . ZN B 2 . %.3f %.3f %.3f 1.00 20.00 301 B 1\n#\n", ++serial, zn.x,
                zn.y, zn.z);
  cif += line;

  LinkBonds got[2];
  const std::string files[2] = {dir.write("zn.pdb", pdb), dir.write("zn.cif", cif)};
  for (int k = 0; k < 2; ++k) {
    TempDir run_dir;
    const Outcome r = pipetest::run_model(files[k], run_dir.path());
    ASSERT_EQ(r.ierr, 0) << files[k] << "\n" << r.out;
    got[k] = link_bonds(run_dir.path());
    ASSERT_EQ(got[k].size(), 1u) << files[k];
    EXPECT_EQ(got[k].begin()->first, "CYS198 SG - ZN301 ZN /0.020") << files[k];
    EXPECT_FLOAT_EQ(got[k].begin()->second, 2.33f) << files[k];
  }
}

// An mmCIF residue whose alternate conformations are a proline and a serine
// at one number (written by hand in the archive's form from the atoms of
// THR186 of 1A8O, its OG1 taken as the serine's OG and the kinds renamed):
// the run ends as for a PDB file with two residues of one number, with that
// status and message, and writes no restraints.
TEST(MmcifLinks, TwoResidueKindsAtOneNumberEndTheRun) {
  TempDir dir;
  const std::string cif = dir.write(
      "two_kinds.cif", "data_TWO\n" + kAtomLoop +
                           "ATOM 1 N N A PRO A 1 36 16.438 29.964 16.716 0.50 15.55 186 A 1\n"
                           "ATOM 2 C CA A PRO A 1 36 16.375 31.015 15.695 0.50 15.76 186 A 1\n"
                           "ATOM 3 C C A PRO A 1 36 14.950 31.585 15.557 0.50 16.57 186 A 1\n"
                           "ATOM 4 O O A PRO A 1 36 14.778 32.797 15.378 0.50 16.24 186 A 1\n"
                           "ATOM 5 C CB A PRO A 1 36 16.869 30.474 14.331 0.50 15.03 186 A 1\n"
                           "ATOM 6 N N B SER A 1 36 16.438 29.964 16.716 0.50 15.55 186 A 1\n"
                           "ATOM 7 C CA B SER A 1 36 16.375 31.015 15.695 0.50 15.76 186 A 1\n"
                           "ATOM 8 C CB B SER A 1 36 16.869 30.474 14.331 0.50 15.03 186 A 1\n"
                           "ATOM 9 O OG B SER A 1 36 18.228 30.039 14.461 0.50 17.64 186 A 1\n"
                           "#\n");
  const Outcome r = pipetest::run_model(cif, dir.path());
  EXPECT_EQ(r.ierr, 6) << r.out;
  EXPECT_NE(
      r.out.find(
          " ERROR: in chain A residue: 186, given 2 times\n"
          "        different residues have the same number\n"),
      std::string::npos)
      << r.out;
  EXPECT_FALSE(std::filesystem::exists(dir.file("out.rst")));
}

// Every bond restraint the pipeline writes for the shipped entries carries a
// weight and an ideal its model length is within 1 A of, and no two of them
// restrain one atom pair.
void expect_sound_bonds(const std::string& model) {
  TempDir dir;
  const Outcome r = pipetest::run_model(data(model), dir.path());
  ASSERT_LE(r.ierr, 1) << r.out;
  const std::vector<Bond> bs = bonds(file_text(dir.file("out.rst")));
  ASSERT_FALSE(bs.empty()) << model;
  std::set<std::pair<int, int>> pairs;
  for (const Bond& b : bs) {
    EXPECT_TRUE(pairs.insert(std::minmax(b.ia, b.ja)).second)
        << model << " two bond records for " << b.ia << "-" << b.ja << " " << b.names;
    EXPECT_GT(b.vesd, 0.0f) << model << " " << b.block << " " << b.ia << "-" << b.ja << " "
                            << b.names;
    EXPECT_LE(std::fabs(b.vobs - b.vidl), 1.0f)
        << model << " " << b.block << " " << b.ia << "-" << b.ja << " " << b.names << " ideal "
        << b.ideal << " observed " << b.vobs;
  }
}

TEST(MmcifLinks, EveryBondOfTheShippedEntriesHasAWeightAndAFittingIdeal) {
  for (const char* model :
       {"1A8O.pdb", "cif_1A8O.cif", "1SSU_mod.pdb", "cif_1SSU_mod.cif", "2BEG.pdb", "cif_2BEG.cif",
        "1LCD.pdb", "cif_1LCD_dna.cif", "cif_1LCD_pair.cif", "1A8O_gap.pdb", "cif_1A8O_gap.cif",
        "nag_chain.pdb", "pdb_zinc_two_fold_two_links.pdb", "disordered.pdb"}) {
    SCOPED_TRACE(model);
    expect_sound_bonds(model);
  }
}

}  // namespace

// Residues 152-157 and 176-181 of chain A of 1A8O.pdb, 18 residues missing
// between them: the first run leaves the chain broken and records the break
// in its coordinate file; the second run, on that file, reads the break as a
// break again: nothing new for a library, no link description written, the
// same restraints.
TEST(MmcifLinks, ChainBreakReadBackIsABreak) {
  TempDir dir;
  std::string pdb;
  {
    std::istringstream in(file_text(data("1A8O.pdb")));
    for (std::string l; std::getline(in, l);) {
      if (!l.starts_with("ATOM")) continue;
      const int num = std::stoi(l.substr(22, 4));
      if ((num >= 152 && num <= 157) || (num >= 176 && num <= 181)) pdb += l + "\n";
    }
    pdb += "END\n";
  }
  const Outcome r1 = pipetest::run_model(dir.write("broken.pdb", pdb), dir.path());
  ASSERT_EQ(r1.ierr, 0) << r1.out;
  EXPECT_EQ(r1.new_lib, 'N');
  ASSERT_NE(file_text(dir.file("out.crd")).find(" gap "), std::string::npos)
      << "the break is recorded";
  TempDir again;
  const Outcome r2 = pipetest::run_model(dir.file("out.crd"), again.path());
  ASSERT_EQ(r2.ierr, 0) << r2.out;
  EXPECT_EQ(r2.new_lib, 'N') << r2.out;
  EXPECT_EQ(r2.fstop, 'N');
  EXPECT_FALSE(std::filesystem::exists(again.file("new_lib.cif")));
  EXPECT_EQ(r2.out.find("description of link:gap"), std::string::npos) << r2.out;
  EXPECT_EQ(r2.nbond, r1.nbond);
  EXPECT_EQ(r2.nangl, r1.nangl);
  EXPECT_EQ(bonds(file_text(again.file("out.rst"))).size(),
            bonds(file_text(dir.file("out.rst"))).size());
}

namespace {

// The bond, angle and torsion records of a run that join the two residues of
// one of `pairs`: "KIND residue atom ..." (in the direction that sorts
// first) to "ideal esd" as written.
std::multimap<std::string, std::string> restraints_across(
    const std::string& dir, const std::set<std::set<std::string>>& pairs) {
  const std::vector<std::string> keys = written_atoms(dir + "/out");
  std::multimap<std::string, std::string> out;
  for (const pipetest::Record& r : pipetest::records(file_text(dir + "/out.rst"))) {
    std::vector<std::string> atoms;
    std::set<std::string> residues;
    for (int s : r.serials) {
      atoms.push_back(residue_atom(keys, s));
      residues.insert(atoms.back().substr(0, atoms.back().find(' ')));
    }
    if (r.line.starts_with("CHIR") || pairs.count(residues) == 0) continue;
    if (std::vector<std::string>(atoms.rbegin(), atoms.rend()) < atoms)
      std::reverse(atoms.begin(), atoms.end());
    std::string key = r.line.substr(0, 4);
    for (const std::string& a : atoms) key += " " + a;
    std::istringstream first(r.line.substr(0, r.line.find('\n')));
    std::vector<std::string> w;
    for (std::string x; first >> x;) w.push_back(x);
    out.emplace(key, w[w.size() - 3] + " " + w[w.size() - 2]);
  }
  return out;
}

}  // namespace

// 1A8O's peptide bonds from a selenomethionine to the residue after it: the
// mmCIF form names them by covalent rows inside one chain, where the walk
// along the chain would link them too; the PDB form breaks its chain at the
// HETATM records.  Both restrain each once, as the trans peptide link the
// built selenomethionine's backbone gives (the library's C-N bond 1.329 with
// its esd 0.014, three angles and the omega torsion across), also with a
// row's partners the other way round.
TEST(MmcifLinks, BondTheFileLinksInsideAChainIsRestrainedOnce) {
  const std::set<std::set<std::string>> pairs = {
      {"MSE151", "ASP152"}, {"MSE185", "THR186"}, {"MSE215", "THR216"}};
  const std::set<std::string> expected = {"BOND ASP152 N MSE151 C", "BOND MSE185 C THR186 N",
                                          "BOND MSE215 C THR216 N"};
  std::multimap<std::string, std::string> first_model;
  std::string cif = file_text(data("cif_1A8O.cif"));
  const std::string row = "A MSE 1  C  ? ? ? 1_555 A ASP 2  N  ? ? A MSE 151 A ASP 152";
  ASSERT_NE(cif.find(row), std::string::npos);
  TempDir dir;
  cif.replace(cif.find(row), row.size(),
              "A ASP 2  N  ? ? ? 1_555 A MSE 1  C  ? ? A ASP 152 A MSE 151");
  for (const std::string& model :
       {data("1A8O.pdb"), data("cif_1A8O.cif"), dir.write("reversed.cif", cif)}) {
    SCOPED_TRACE(model);
    TempDir run_dir;
    const Outcome r = pipetest::run_model(model, run_dir.path());
    ASSERT_EQ(r.ierr, 0) << r.out;
    EXPECT_EQ(r.nbond, 563);
    const auto got = restraints_across(run_dir.path(), pairs);
    // A bond, three angles and a torsion across each of the three pairs.
    EXPECT_EQ(got.size(), 5 * expected.size());
    int bonds = 0;
    for (const auto& [key, value] : got) {
      EXPECT_EQ(got.count(key), 1u) << key;
      if (!key.starts_with("BOND")) continue;
      ++bonds;
      EXPECT_EQ(expected.count(key), 1u) << key;
      EXPECT_EQ(value, "1.329 0.014") << key;
    }
    EXPECT_EQ(bonds, 3);
    if (first_model.empty()) first_model = got;
    EXPECT_EQ(got, first_model);
  }

  // A name the library lacks, given by the file to the peptide bond of two
  // standard residues, makes such a link as well: it stands alone.
  std::string named = file_text(data("cif_1A8O.cif"));
  named.insert(named.find("covale6 "),
               "covale7 PEPLNK ? A ASP 2 C ? ? ? 1_555 A ILE 3 N ? ? A ASP 152 A ILE 153 1_555 "
               "? ? ? ? ? ? ? 1.330 ?\n");
  const Outcome r = pipetest::run_model(dir.write("named.cif", named), dir.path());
  ASSERT_EQ(r.ierr, 0) << r.out;
  EXPECT_EQ(r.nbond, 563);
  const auto got = restraints_across(dir.path(), {{"ASP152", "ILE153"}});
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got.begin()->first, "BOND ASP152 C ILE153 N");
}
