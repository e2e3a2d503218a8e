// Whole runs of the pipeline on real entries with the test library: the four
// output files of two small entries against files checked by hand, the
// invariants of every written file on the larger entries, the stage that
// fails and what it leaves behind, and the option flags.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "coords/pdb_reader.h"
#include "foundation/atom_com.h"
#include "output/atom_str.h"
#include "output/str_read.h"
#include "pipeline_fixture.h"

namespace {

using pipetest::data;
using pipetest::Options;
using pipetest::Restraint;
using pipetest::Outcome;

std::string expected(const std::string& name) { return file_text(std::string(ORB_TEST_SOURCE_DIR) + "/expected/" + name); }
bool exists(const std::string& path) { return std::filesystem::exists(path); }

Options on(const std::string& model) {
  Options o;
  o.in = data(model);
  return o;
}

// ------------------------------------------------------ whole output files

// disordered.pdb (residues 25-30 of one chain, no cell): the coordinate,
// structure and restraint files.  Checked by hand: the coordinate rows in
// the columns of the atom-row layout, in the library's tree order with
// serials 1-50 and every input atom once (the arginine's blank-coded CZ
// beside CZ B, NH1 and NH2 A and B); the sequence rows NH3 at the start,
// TRANS back links, TERMINUS at the end; the structure rows' back serials
// with distances equal to those of the written coordinates; the restraint
// header lines and loop items, a MONO block per residue and a LINK block
// per peptide in walk order, the comment lines' name, number and chain
// fields; ideals and deviations against the library files (MET N-CA
// 1.469/0.020, N-CA-C 109.43/3.00, var_1 30.02/15 period 2; TRANS C-N
// 1.329/0.014, CA-C-N 116.2/2.0, O-C-N 123.0/1.6, C-N-CA 121.7/1.8, omega
// 180/5); observed values worked out from the input coordinates (MET N-CA
// 1.474, the MET-SER peptide C-N 1.331) and for every bond by script; each
// restraint's atom names equal the coordinate file's names at its serials;
// every column of the BOND, ANGL, TORS and PLAN layouts; the arginine's
// blank-coded CZ restrained with NE, NH1 A and NH2 A only and CZ B with the B
// atoms (NE-CZ and CG-CD-NE-CZ once for each CZ), its guanidine plane once
// per conformer, each on its own CZ.  The N-terminal
// N-CA and angles at N carry energy constant 0: the test energy library has
// no bond or angle of the terminal NT3 nitrogen with CH1.
TEST(PipelineFiles, SmallEntryWritesItsThreeFilesWhole) {
  TempDir dir;
  const Outcome r = pipetest::run(on("disordered.pdb"), dir.path());
  EXPECT_EQ(r.ierr, 0) << r.out;
  EXPECT_EQ(r.new_lib, 'N');
  EXPECT_EQ(r.fstop, 'N');
  EXPECT_EQ(file_text(dir.file("out.crd")), expected("disordered/out.crd"));
  EXPECT_EQ(file_text(dir.file("out.str")), expected("disordered/out.str"));
  EXPECT_EQ(file_text(dir.file("out.rst")), expected("disordered/out.rst"));
  EXPECT_FALSE(exists(dir.file("new_lib.cif"))) << "nothing new: no library";
}

// 1SSU_mod.pdb (two one-atom aspartates 1.49 A apart, two models, the first
// read): the link the library lacks goes to a new library.  Checked by hand:
// the new library holds its global lines, the link list row ASP-ASP and the
// link's one bond N-N 1.500 (the length given to a new link) with esd 0.020;
// the restraint file one LINK block whose BOND joins serials 1 and 10 with
// the observed 1.486 worked out from the two N atoms of model 1 (a new link's
// bond carries the default esd 0.020 in the restraint); the coordinate file the
// present N of each residue (typed NH1, not as the amine NT3 of a chain start:
// the link bonds it) and its missing atoms flagged M at the origin
// with occupancy 0, the connection row of the link; the structure rows of
// both residues, their back serials inside each residue.
TEST(PipelineFiles, NewLinkGoesToTheNewLibrary) {
  TempDir dir;
  const Outcome r = pipetest::run(on("1SSU_mod.pdb"), dir.path());
  EXPECT_EQ(r.ierr, 0) << r.out;
  EXPECT_EQ(r.new_lib, 'Y');
  EXPECT_EQ(r.fstop, 'Y');
  EXPECT_NE(r.out.find(" I am writing new library:"), std::string::npos) << r.out;
  EXPECT_EQ(file_text(dir.file("out.crd")), expected("1SSU_mod/out.crd"));
  EXPECT_EQ(file_text(dir.file("out.str")), expected("1SSU_mod/out.str"));
  EXPECT_EQ(file_text(dir.file("out.rst")), expected("1SSU_mod/out.rst"));
  EXPECT_EQ(file_text(dir.file("new_lib.cif")), expected("1SSU_mod/new_lib.cif"));
}

// The links a coordinate file gives the model's table, one text each.
std::vector<std::string> links_read_back(const std::string& base) {
  EXPECT_EQ(pipetest::read_coordinates(base), 0) << base;
  const link_inf_t& k = link_inf;
  std::vector<std::string> out;
  for (int i = 1; i <= k.ln_n; ++i)
    out.push_back(std::string(k.ln_id(i).view()) + "|" + std::string(k.ln_1chn(i).view()) + "|" +
                  std::string(k.ln_seq1(i).view()) + "|" + std::string(k.ln_1rnam(i).view()) + "|" +
                  std::string(k.ln_atom1(i).view()) + "|" + std::string(k.ln_2chn(i).view()) + "|" +
                  std::string(k.ln_seq2(i).view()) + "|" + std::string(k.ln_2rnam(i).view()) + "|" +
                  std::string(k.ln_atom2(i).view()) + "|" + std::to_string(k.ln_dist(i)));
  return out;
}

// The connection rows name each partner's chain twice, as the label and as
// the author's (other readers need one whole key); files written before,
// without the author's chains, read the same.
TEST(PipelineFiles, WrittenConnectionsReadBackWithOrWithoutAuthorChains) {
  TempDir dir;
  const Outcome r = pipetest::run(on("1SSU_mod.pdb"), dir.path());
  ASSERT_EQ(r.ierr, 0) << r.out;
  const std::string now = file_text(dir.file("out.crd"));
  std::string before = now;
  for (std::string_view cut : {"_struct_conn.ptnr1_auth_asym_id\n", "_struct_conn.ptnr2_auth_asym_id\n",
                                " AA   BB"}) {
    const std::size_t at = before.find(cut);
    ASSERT_NE(at, std::string::npos) << cut;
    before.erase(at, cut.size());
  }
  dir.write("before.crd", before);
  const std::vector<std::string> want = {
      "ASP-ASP |AA  |   1 |ASP     |N    |BB  |   1 |ASP     |N    |" + std::to_string(1.5f)};
  EXPECT_EQ(links_read_back(dir.file("out")), want);
  EXPECT_EQ(links_read_back(dir.file("before")), want);
}

// The two aspartates of 1SSU_mod.pdb (model 1) with a LINK record naming
// their N-N link NNLINK, which the library lacks: the run makes its
// description from the record and must restrain it like any other link.
// Checked by hand: the one LINK block of the restraint file joins serials 1
// and 10 (the present N of each residue) with the observed 1.486 of the two
// N atoms of model 1, the ideal the new description holds and the default
// esd 0.020 of a bond the run makes (the library has no N-N link bond).
TEST(PipelineFiles, InputLinkTheLibraryLacksIsRestrained) {
  TempDir dir;
  const std::string pdb = dir.write(
      "nnlink.pdb",
      "LINK         N   ASP A   1                 N   ASP B   1     1555   1555NNLINK\n"
      "ATOM      1  N   ASP A   1      -1.058   1.426 -20.149  1.00  0.00           N\n"
      "ATOM      2  N   ASP B   1      -0.025   1.151 -19.117  1.00  0.00           N\n"
      "END\n");
  Options o;
  o.in = pdb;
  const Outcome r = pipetest::run(o, dir.path());
  EXPECT_EQ(r.ierr, 0) << r.out;
  EXPECT_EQ(r.new_lib, 'Y') << "the new link goes to a new library";
  EXPECT_EQ(r.fstop, 'Y');
  EXPECT_NE(file_text(dir.file("new_lib.cif")).find("NNLINK"), std::string::npos);
  EXPECT_NE(r.out.find(" WARNING : description of link:NNLINK   is not in the dictionary"), std::string::npos)
      << r.out;
  const std::string rst = file_text(dir.file("out.rst"));
  EXPECT_NE(rst.find("# link_'NNLINK  '_ASP______0001-_AA  -ASP______0001-_BB\n"
                     "LINK . NNLINK   . . . . . . . . . . .\n"
                     "BOND      1 .        .         1     10      .      .    1.500    0.020    1.486\n"
                     "    .        .       0.000 # N     N\n"),
            std::string::npos)
      << rst;
  EXPECT_EQ(r.nbond, 1);
}

// 1A8O gives the peptide bonds of its selenomethionines as LINK records
// with their lengths (1.33) where a named link has its name.  Every link
// bond of the restraint file joins the atoms its record names, C of one
// residue and N of the next: the records resolve to the library's trans
// peptide link (the built selenomethionine has the peptide backbone), whose
// bond has 1.329 A, within the records' two places of their 1.33.
TEST(PipelineFiles, LinkRecordLengthsMakeTheLinkBonds) {
  TempDir dir;
  const Outcome r = pipetest::run(on("1A8O.pdb"), dir.path());
  EXPECT_EQ(r.ierr, 0) << r.out;
  std::istringstream rst(file_text(dir.file("out.rst")));
  std::vector<std::string> lines;
  for (std::string l; std::getline(rst, l);) lines.push_back(l);
  int mse_links = 0;
  for (std::size_t i = 0; i + 2 < lines.size(); ++i) {
    if (!lines[i].starts_with("# link_") || lines[i].find("MSE") == std::string::npos) continue;
    ++mse_links;
    ASSERT_TRUE(lines[i + 2].starts_with("BOND")) << lines[i];
    std::istringstream f(lines[i + 2]);
    std::vector<std::string> w;
    for (std::string x; f >> x;) w.push_back(x);
    ASSERT_EQ(w.size(), 11u) << lines[i + 2];
    EXPECT_EQ(w[8], "1.329") << lines[i] << "\n" << lines[i + 2];
    EXPECT_NEAR(std::stof(w[10]), 1.33f, 0.02f) << lines[i] << "\n" << lines[i + 2];
    const std::string names = lines[i + 3].substr(lines[i + 3].find('#'));
    EXPECT_TRUE(names == "# C     N" || names == "# N     C") << lines[i] << "\n" << lines[i + 3];
  }
  EXPECT_EQ(mse_links, 6);
}

// ------------------------------------------------------------ invariants

struct Written {
  std::vector<std::string> keys;  // the coordinate file's atoms, by serial
  std::vector<char> state;        // their atom type ('.' present, 'M' missing, ...)
};

// The coordinate file read back; every serial is the row's index.
Written coordinates(const std::string& base) {
  Written w;
  EXPECT_EQ(pipetest::read_coordinates(base), 0) << base;
  for (int ia = 1; ia <= atom_inf.n_atom; ++ia) {
    w.keys.push_back(pipetest::atom_key(ia));
    w.state.push_back(atom_inf.atm_type(ia)(1));
  }
  return w;
}

// The atoms of the model as the reader of its input gives them.
std::vector<std::pair<std::string, std::string>> input_atoms(const std::string& path) {
  int32_t ierr = 0;
  const float cell[6] = {0, 0, 0, 0, 0, 0};
  if (path.ends_with(".pdb"))
    captured([&] { get_pdb_(0, path, 0, cell, 'N', 'N', 'N', ierr); });
  else
    captured([&] { read_atoms_(0, "", path, "", 0, cell, ierr); });
  rt::close_all_units();
  EXPECT_TRUE(ierr == 0 || ierr >= 7) << path << " " << ierr;
  // Each atom under the reader's name and under the name the file wrote:
  // identification keeps a written name that its monomer holds (HH11 of an
  // arginine, which the reader's correction makes H11H).
  std::vector<std::pair<std::string, std::string>> keys;
  for (int ia = 1; ia <= atom_inf.n_atom; ++ia) {
    const std::string read = pipetest::atom_key(ia);
    std::string written = read;
    const std::string_view inp = atom_inf.atm_name_inp(ia).trimmed();
    if (inp.find('_') == std::string_view::npos) {
      atom_inf.atm_name(ia) = inp;
      written = pipetest::atom_key(ia);
    }
    keys.emplace_back(read, written);
  }
  return keys;
}

// The restraints of a restraint file by what they restrain, without the
// serials: the block (a residue or a link, the link's name trimmed), the
// kind, the atom names in one direction and every value written.
// Restraints of residues named in `built` (new monomers, whose description
// is built from the coordinates in the order the file gives them) count
// only by block and kind for torsions, chiral centres and planes: which
// torsions, in which atom order, follow the built atom tree.
std::multiset<std::string> restrained(const std::string& text, const std::set<std::string>& built) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  std::multiset<std::string> out;
  std::string block;
  bool new_monomer = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& l = lines[i];
    if (l.starts_with("# data_restr_") || l.starts_with("# link_")) {
      block = l;
      const std::size_t q = block.find('\'');
      if (q != std::string::npos) {
        const std::size_t e = block.find('\'', q + 1);
        std::string name = block.substr(q + 1, e - q - 1);
        name.erase(0, name.find_first_not_of(' '));
        name.erase(name.find_last_not_of(' ') + 1);
        block = block.substr(0, q + 1) + name + block.substr(e);
      }
      const std::string res = l.starts_with("# data_restr_") ? l.substr(13, l.find('_', 13) - 13) : "";
      new_monomer = built.count(res) != 0;
      continue;
    }
    const std::string kind = l.substr(0, 4);
    if (kind != "BOND" && kind != "ANGL" && kind != "TORS" && kind != "CHIR" && kind != "PLAN") continue;
    if (new_monomer && (kind == "TORS" || kind == "CHIR" || kind == "PLAN")) {
      out.insert(block + " " + kind);
      if (kind != "PLAN") ++i;
      continue;
    }
    std::istringstream f(l);
    std::vector<std::string> w;
    for (std::string x; f >> x;) w.push_back(x);
    std::string key = block + " " + kind;
    if (kind == "PLAN") {
      // The label, the atom name and the values; not the serial.
      for (std::size_t k : {2u, 7u, 8u, 9u, 10u, 11u, 12u, 13u, 15u}) key += " " + (k < w.size() ? w[k] : "");
      out.insert(key);
      continue;
    }
    const std::string& second = lines[i + 1];
    std::istringstream names_in(second.substr(second.find('#') + 1));
    std::vector<std::string> names;
    for (std::string x; names_in >> x;) names.push_back(x);
    if (kind == "BOND" && names.size() == 2 && names[1] < names[0]) std::swap(names[0], names[1]);
    if (kind == "ANGL" && names.size() == 3 && names[2] < names[0]) std::swap(names[0], names[2]);
    for (const std::string& n : names) key += " " + n;
    key += " |" + l.substr(std::min<std::size_t>(l.size(), 11), 15) + "|" + l.substr(std::min<std::size_t>(l.size(), 53));
    key += " |" + second.substr(0, second.find('#'));
    out.insert(key);
    ++i;
  }
  return out;
}

void expect_invariants(const std::string& model, int32_t want_ierr, std::size_t min_atoms,
                       const std::set<std::string>& built = {}) {
  TempDir dir;
  Options o = on(model);
  const Outcome r = pipetest::run(o, dir.path());
  EXPECT_EQ(r.ierr, want_ierr) << r.out;
  const std::string base = dir.path() + "/out";

  // Every atom written once: no two rows of the coordinate file name the
  // same atom, and the model's present atoms are all there.
  const std::vector<std::pair<std::string, std::string>> model_atoms = input_atoms(o.in);
  const Written w = coordinates(base);
  ASSERT_GE(w.keys.size(), min_atoms);
  std::set<std::string> seen;
  for (std::size_t i = 0; i < w.keys.size(); ++i)
    EXPECT_TRUE(seen.insert(w.keys[i]).second) << "written twice: " << w.keys[i] << " serial " << i + 1;
  for (const auto& [read, written] : model_atoms)
    EXPECT_EQ(seen.count(read) + (written == read ? 0 : seen.count(written)), 1u) << "not written: " << read;

  // The structure file: one row a serial, tree links inside the file.
  int32_t ierr = 0;
  rt::FixedText<256> path("");
  captured([&] { read_str_(0, path.ref(), base, "str", ierr); });
  rt::close_all_units();
  EXPECT_EQ(ierr, 0);
  const int n = static_cast<int>(w.keys.size());
  for (int ia = 1; ia <= n; ++ia) {
    EXPECT_LE(atom_str.as_iback(ia), n) << ia;
    EXPECT_LE(atom_str.as_ifor(ia), n) << ia;
  }

  // The restraint file through the row reader: the counts of the run and
  // the serials of the text.
  std::vector<Restraint> rows;
  ASSERT_TRUE(pipetest::read_restraints(base, rows));
  int bonds = 0, angles = 0, torsions = 0, chirals = 0, planes = 0;
  for (const Restraint& x : rows) {
    bonds += x.kind == "BOND";
    angles += x.kind == "ANGL";
    torsions += x.kind == "TORS";
    chirals += x.kind == "CHIR";
    if (x.kind == "PLAN") planes = std::max(planes, x.num);
  }
  EXPECT_EQ(bonds, r.nbond);
  EXPECT_EQ(angles, r.nangl);
  EXPECT_EQ(torsions, r.ntors);
  EXPECT_EQ(chirals, r.nchir);
  EXPECT_EQ(planes, r.nplan);
  // Every atom of a restraint is the atom of that serial in the coordinate
  // file, as the restraint's comment names it.
  const std::vector<pipetest::Record> recs = pipetest::records(file_text(base + ".rst"));
  ASSERT_EQ(recs.size(), rows.size());
  for (std::size_t i = 0; i < recs.size(); ++i) {
    const pipetest::Record& x = recs[i];
    for (std::size_t k = 0; k < x.serials.size(); ++k) {
      EXPECT_EQ(x.serials[k], rows[i].ia[k]) << x.line;
      ASSERT_GE(x.serials[k], 1) << x.line;
      ASSERT_LE(x.serials[k], n) << x.line;
      const std::string& key = w.keys[x.serials[k] - 1];
      const std::string atom = key.substr(0, key.rfind('|'));
      EXPECT_EQ(x.names[k], atom.substr(atom.rfind('|') + 1)) << x.line << " serial " << x.serials[k] << " is " << key;
    }
  }

  // A second run on the written coordinates gives the same restraints.
  // New monomers are built again from the atoms in the written order, so
  // there the serials and the tree-borne restraints may differ, and the
  // links whose description the run makes are described after the others.
  TempDir again;
  Options o2 = on(model);
  o2.in = base + ".crd";
  const Outcome r2 = pipetest::run(o2, again.path());
  EXPECT_EQ(r2.ierr, want_ierr) << r2.out;
  const std::string rst2 = file_text(again.path() + "/out.rst");
  const std::vector<pipetest::Record> recs2 = pipetest::records(rst2);
  ASSERT_EQ(recs2.size(), recs.size());
  if (built.empty()) {
    for (std::size_t i = 0; i < recs.size(); ++i) EXPECT_EQ(recs2[i].line, recs[i].line) << "restraint " << i + 1;
    return;
  }
  const std::multiset<std::string> first = restrained(file_text(base + ".rst"), built);
  const std::multiset<std::string> second = restrained(rst2, built);
  for (const std::string& k : first) EXPECT_EQ(second.count(k), first.count(k)) << "first run: " << k;
  for (const std::string& k : second) EXPECT_EQ(first.count(k), second.count(k)) << "second run: " << k;
}

TEST(PipelineInvariants, PeptideFibrilFromPdb) { expect_invariants("2BEG.pdb", 0, 1855); }
TEST(PipelineInvariants, PeptideFibrilFromMmcif) { expect_invariants("cif_2BEG.cif", 0, 1855); }
// DNA the test library lacks: the nucleotides and the sodium are built as
// new monomers, each from its fullest instance, so no atom of a later
// instance is left unknown and the run ends with status 0 (the 5' ends
// lack the phosphate, which is written as missing).  The second run reads
// the nucleotide links from the written connection rows and makes their
// descriptions itself, and must still restrain every one.
TEST(PipelineInvariants, DnaWithNewMonomers) {
  expect_invariants("1LCD.pdb", 0, 1000, {"DA", "DC", "DG", "DT", "NA"});
}
// Selenomethionine, which the test library lacks, built as a new monomer
// with the library's selenium type; its peptide bonds come as LINK records
// with their lengths, and the second run as connection rows.
TEST(PipelineInvariants, SelenomethionineAsNewMonomer) { expect_invariants("1A8O.pdb", 0, 644, {"MSE"}); }

// The words of a line of a CIF loop; a quoted word ends at its quote
// followed by a blank, so the primes of nucleotide names stay inside it.
std::vector<std::string> words(const std::string& l) {
  std::vector<std::string> w;
  for (std::size_t k = 0; k < l.size();) {
    if (l[k] == ' ') {
      ++k;
    } else if (l[k] == '\'') {
      std::size_t e = k + 1;
      while (e < l.size() && !(l[e] == '\'' && (e + 1 == l.size() || l[e + 1] == ' '))) ++e;
      w.push_back(l.substr(k + 1, e - k - 1));
      k = e + 1;
    } else {
      const std::size_t e = std::min(l.find(' ', k), l.size());
      w.push_back(l.substr(k, e - k));
      k = e;
    }
  }
  return w;
}

// An aromatic or delocalised bond counts one: its second half may lie on
// another bond of its system.
int order(const std::string& type) {
  const std::string t = type.substr(0, 4);
  return t == "doub" ? 2 : t == "trip" ? 3 : 1;
}

// The atoms of the new library's monomers that carry more than their
// valence (C 4, N 3 or 4 when its charge is positive, O 2), as
// "code atom order"; `monomers` counts the monomer blocks read.
std::vector<std::string> over_valent(const std::string& lib, int& monomers) {
  struct Atom {
    std::string element;
    float charge = 0;
    int carried = 0;
  };
  std::map<std::string, std::map<std::string, Atom>> atoms;
  std::istringstream in(lib);
  std::string block, item;
  for (std::string l; std::getline(in, l);) {
    if (l.starts_with("data_comp_") && l != "data_comp_list") {
      block = l.substr(10);
      ++monomers;
    } else if (l.starts_with("_")) {
      item = l.substr(0, l.find('.'));
    } else if (!block.empty() && !l.starts_with("#") && !l.starts_with("loop_")) {
      const std::vector<std::string> w = words(l);
      if (item == "_chem_comp_atom" && w.size() >= 5) {
        atoms[block][w[1]].element = w[2];
        atoms[block][w[1]].charge = std::stof(w[4]);
      } else if (item == "_chem_comp_bond" && w.size() >= 4) {
        atoms[block][w[1]].carried += order(w[3]);
        atoms[block][w[2]].carried += order(w[3]);
      }
    }
  }
  const std::map<std::string, int> valence = {{"C", 4}, {"N", 3}, {"O", 2}};
  std::vector<std::string> out;
  for (const auto& [code, in_code] : atoms)
    for (const auto& [name, a] : in_code) {
      const auto v = valence.find(a.element);
      if (v == valence.end()) continue;
      const int limit = v->second + (a.element == "N" && a.charge > 0 ? 1 : 0);
      if (a.carried > limit) out.push_back(code + " " + name + " " + std::to_string(a.carried));
    }
  return out;
}

// Every monomer built from the shipped entries whose residues the test
// library lacks (nucleotides from PDB and mmCIF, selenomethionine, a ligand),
// read back from the new library: no carbon, nitrogen or oxygen carries
// more bond order than its element allows.
TEST(PipelineInvariants, BuiltMonomersWithinValence) {
  const struct {
    const char* model;
    int monomers;
  } cases[] = {{"1LCD.pdb", 5}, {"cif_1LCD_dna.cif", 2}, {"1A8O.pdb", 1}, {"pdb_62_ligands.pdb", 1}};
  for (const auto& c : cases) {
    TempDir dir;
    pipetest::Options o;
    o.in = pipetest::data(c.model);
    const pipetest::Outcome r = pipetest::run(o, dir.path());
    ASSERT_EQ(r.new_lib, 'Y') << c.model;
    int monomers = 0;
    const std::vector<std::string> bad = over_valent(file_text(dir.file("new_lib.cif")), monomers);
    EXPECT_EQ(monomers, c.monomers) << c.model;
    for (const std::string& b : bad) ADD_FAILURE() << c.model << ": " << b;
  }
}

// An ether oxygen between two carbons, both bonds 1.24 A long, nearest the
// library's C=O row: the oxygen cannot take a double bond besides its two
// single ones, so both stay single and each carbon keeps two hydrogens.  An
// oxygen allowed three would keep the first C=O and drop a hydrogen of C1.
TEST(PipelineInvariants, EtherOxygenWithShortBondsTakesNoDoubleBond) {
  TempDir dir;
  Options o;
  o.in = dir.write("ether.pdb",
                   "CRYST1   30.000   30.000   30.000  90.00  90.00  90.00 P 1           1\n"
                   "HETATM    1  C2  LIG A   1      10.000  10.000  10.000  1.00 20.00           C\n"
                   "HETATM    2  C1  LIG A   1      11.260  10.850  10.000  1.00 20.00           C\n"
                   "HETATM    3  O1  LIG A   1      12.288  10.157  10.000  1.00 20.00           O\n"
                   "HETATM    4  C3  LIG A   1      13.316  10.850  10.000  1.00 20.00           C\n"
                   "HETATM    5  C4  LIG A   1      14.576  10.000  10.000  1.00 20.00           C\n"
                   "END\n");
  const Outcome r = pipetest::run(o, dir.path());
  ASSERT_EQ(r.new_lib, 'Y') << r.out;
  const std::string lib = file_text(dir.file("new_lib.cif"));
  int monomers = 0;
  for (const std::string& b : over_valent(lib, monomers)) ADD_FAILURE() << b;
  EXPECT_EQ(monomers, 1);
  // The bonds of the monomer: their types, and the hydrogens of each atom.
  std::map<std::string, std::string> types;
  std::map<std::string, int> hydrogens;
  std::string item;
  bool in_lig = false;
  std::istringstream in(lib);
  for (std::string l; std::getline(in, l);) {
    if (l.starts_with("data_")) in_lig = l == "data_comp_LIG";
    if (l.starts_with("_")) item = l.substr(0, l.find('.'));
    const std::vector<std::string> w = words(l);
    if (!in_lig || item != "_chem_comp_bond" || w.size() < 4 || w[0] != "LIG") continue;
    types[w[1] + "-" + w[2]] = w[3];
    if (w[2].starts_with("H")) ++hydrogens[w[1]];
    if (w[1].starts_with("H")) ++hydrogens[w[2]];
  }
  for (const char* co : {"C1-O1", "O1-C3"}) {
    const std::string reversed = std::string(co).substr(3) + "-" + std::string(co).substr(0, 2);
    const std::string t = types.count(co) ? types[co] : types[reversed];
    EXPECT_EQ(t.substr(0, 4), "sing") << co << "\n" << lib;
  }
  EXPECT_EQ(hydrogens["C1"], 2) << lib;
  EXPECT_EQ(hydrogens["C3"], 2) << lib;
  EXPECT_EQ(hydrogens["O1"], 0) << lib;
  EXPECT_EQ(hydrogens["C2"], 3) << lib;
}

// --------------------------------------------------- a stage that fails

// Each failing stage says so and leaves no output behind it: a file that
// cannot be opened ends the run with status 1 and the file's name, a stage
// that fails returns its status with its own message.
void expect_nothing_written(const TempDir& dir) {
  for (const char* f : {"out.crd", "out.str", "out.rst", "new_lib.cif"}) EXPECT_FALSE(exists(dir.file(f))) << f;
}

TEST(PipelineStages, MissingCoordinateFileEndsTheRunBeforeTheLibrary) {
  TempDir dir;
  const Outcome r = pipetest::run(on("no_such_model.pdb"), dir.path());
  EXPECT_EQ(r.stop, 1);
  EXPECT_NE(r.out.find(" Open failed: File: " + data("no_such_model.pdb")), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("LIBRARY OF MONOMERS"), std::string::npos) << r.out;
  EXPECT_EQ(r.new_lib, 'N');
  expect_nothing_written(dir);
}

TEST(PipelineStages, MissingLibraryEndsTheRunBeforeTheCoordinates) {
  TempDir dir;
  Options o = on("disordered.pdb");
  o.lib_dir = dir.path() + "/no_library/";
  const Outcome r = pipetest::run(o, dir.path());
  EXPECT_EQ(r.stop, 1);
  EXPECT_NE(r.out.find(" Open failed: File: " + dir.path() + "/no_library/list/mon_lib_list.cif"), std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.find(" I am reading PDB_file"), std::string::npos) << r.out;
  expect_nothing_written(dir);
}

// 1A8O holds selenomethionines; with a copy of the test library whose
// energy library lacks selenium the new monomer cannot be built and
// identification fails.
TEST(PipelineStages, IdentificationFailureStopsBeforeTheRestraints) {
  TempDir dir;
  const std::string lib = dir.path() + "/lib/";
  std::filesystem::copy(pipetest::library(), lib, std::filesystem::copy_options::recursive);
  std::istringstream ener(file_text(lib + "ener_lib.cif"));
  std::string kept;
  for (std::string l; std::getline(ener, l);)
    if (l.find(" SE ") == std::string::npos && !l.starts_with("SE ")) kept += l + "\n";
  dir.write("lib/ener_lib.cif", kept);
  Options o = on("1A8O.pdb");
  o.lib_dir = lib;
  const Outcome r = pipetest::run(o, dir.path());
  EXPECT_EQ(r.stop, -1);
  EXPECT_EQ(r.ierr, 1);
  EXPECT_NE(r.out.find("does not exist in theenergetic library"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find(" I am creating restraints"), std::string::npos) << r.out;
  EXPECT_EQ(r.new_lib, 'N');
  EXPECT_EQ(r.fstop, 'N');
  expect_nothing_written(dir);
}

// Outputs in a directory that does not exist: the restraint stage cannot
// open its first file and the run ends there, nothing written.
TEST(PipelineStages, OutputThatCannotBeOpenedEndsTheRunAtTheRestraints) {
  TempDir dir;
  Options o = on("disordered.pdb");
  o.out_base = dir.path() + "/no_dir/out";
  const Outcome r = pipetest::run(o, dir.path());
  EXPECT_EQ(r.stop, 1);
  EXPECT_NE(r.out.find(" I am creating restraints"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(" Open failed: File: " + dir.path() + "/no_dir/out.crd"), std::string::npos) << r.out;
  expect_nothing_written(dir);
}

// Without a readable symmetry library every space group would be lost from
// the written model while the run said success: the run is refused before
// anything is read, with a message that names the variable.
TEST(PipelineStages, NoSymmetryLibraryRefusesTheRun) {
  const std::string saved = std::getenv("SYMINFO") ? std::getenv("SYMINFO") : "";
  const std::string library = file_text(saved);
  TempDir dir;
  const struct {
    const char* label;
    std::string value;  // empty: unset
    const char* said;
  } rows[] = {{"unset", "", "set SYMINFO"},
              {"no such file", dir.file("no_syminfo.lib"), "cannot be read"},
              {"empty file", dir.write("empty.lib", ""), "is empty"},
              {"cut inside a group", dir.write("cut.lib", library.substr(0, 20000)),
               "ends inside a space group (cut short)"},
              {"garbage", dir.write("garbage.lib", "\x7f\x45LF\x02\x01 binary\nwords and more\n"),
               "holds no space group"},
              // Once passed over: the run went on with space group 0.
              {"only group without number or centring line",
               dir.write("nocen.lib", "begin_spacegroup\nsymop x,y,z\nend_spacegroup\n"),
               "holds a space group that cannot be used (space group 0 '': no cenop line)"},
              // Once built from the other seven operators of P 43 21 2.
              {"operator of the model's group that cannot be read",
               dir.write("badop.lib", std::string(library).replace(
                                          library.find("symop -x,-y,z+1/2", library.find("'P 43 21 2'")),
                                          17, "symop -x,,z+1/2")),
               "(space group 96 'P 43 21 2': symop \"-x,,z+1/2\" is no operator)"},
              // Read before as 1/2-Y,1/2+X,Z+0.15, a translation the group never had.
              {"operator of the model's group with a term of two divisors",
               dir.write("twodiv.lib", std::string(library).replace(
                                           library.find("symop -y+1/2,x+1/2,z+3/4\n", library.find("'P 43 21 2'")),
                                           25, "symop -y+1/2,x+1/2,z+3/4/5\n")),
               "(space group 96 'P 43 21 2': symop \"-y+1/2,x+1/2,z+3/4/5\" is no operator)"},
              {"centring operator of another group that is none",
               dir.write("cenop.lib", std::string(library).replace(library.find("cenop x,y,z\n"), 12,
                                                                   "cenop x,y,q\n")),
               "(space group 1 'P 1': cenop \"x,y,q\" is no operator)"}};
  for (const auto& row : rows) {
    if (row.value.empty())
      unsetenv("SYMINFO");
    else
      setenv("SYMINFO", row.value.c_str(), 1);
    const Outcome r = pipetest::run(on("1A8O.pdb"), dir.path());
    EXPECT_EQ(r.stop, -1) << row.label;
    EXPECT_EQ(r.ierr, pipeline::kFailed) << row.label;
    EXPECT_NE(r.out.find(" ERROR: the symmetry library"), std::string::npos) << row.label << r.out;
    EXPECT_NE(r.out.find(row.said), std::string::npos) << row.label << r.out;
    EXPECT_EQ(r.out.find("LIBRARY OF MONOMERS"), std::string::npos) << row.label << r.out;
    expect_nothing_written(dir);
  }
  // A whole library that lacks the model's group is no damaged one: the
  // run goes on, the group reported missing.
  const std::string first_group = library.substr(0, library.find("end_spacegroup\n") + 15);
  setenv("SYMINFO", dir.write("p1_only.lib", first_group).c_str(), 1);
  const Outcome short_lib = pipetest::run(on("1A8O.pdb"), dir.path());
  EXPECT_EQ(short_lib.ierr, pipeline::kOk) << short_lib.out;
  EXPECT_NE(short_lib.out.find(" Failed to find spacegroup in SYMINFO!"), std::string::npos) << short_lib.out;
  setenv("SYMINFO", saved.c_str(), 1);
  const Outcome back = pipetest::run(on("1A8O.pdb"), dir.path());
  EXPECT_EQ(back.ierr, pipeline::kOk) << back.out;
}

// A scattering-factor library cut before sulphur let the run write each
// cysteine's SG as nitrogen under a status of success.
TEST(PipelineStages, ScatteringLibraryCutShortRefusesTheRun) {
  const std::string saved = std::getenv("ATOMSF");
  const std::string library = file_text(saved);
  TempDir dir;
  const std::string cut = dir.write("cut.lib", library.substr(0, library.find("\nS ") - 30));
  setenv("ATOMSF", cut.c_str(), 1);
  const Outcome r = pipetest::run(on("1A8O.pdb"), dir.path());
  setenv("ATOMSF", saved.c_str(), 1);
  EXPECT_EQ(r.stop, 1);
  EXPECT_NE(r.out.find("ATOMSF, File name: " + cut + "\n The file ends inside an entry (cut short)"),
            std::string::npos) << r.out;
  expect_nothing_written(dir);
}

// The library directory with its '/', without it, or with two: the same
// files are read and the same files written.
TEST(PipelineFiles, LibraryDirectoryWithOrWithoutItsSlash) {
  std::string bare = pipetest::library();
  while (bare.back() == '/') bare.pop_back();
  std::string first;
  for (const std::string& lib : {bare + "/", bare, bare + "//"}) {
    TempDir dir;
    Options o = on("disordered.pdb");
    o.lib_dir = lib;
    const Outcome r = pipetest::run(o, dir.path());
    EXPECT_EQ(r.stop, -1) << lib << r.out;
    EXPECT_EQ(r.ierr, 0) << lib << r.out;
    EXPECT_EQ(r.out.find("monliblist"), std::string::npos) << lib;
    const std::string rst = file_text(dir.file("out.rst"));
    EXPECT_FALSE(rst.empty()) << lib;
    if (first.empty())
      first = rst;
    else
      EXPECT_EQ(rst, first) << lib;
  }
}

// nag_chain (the four N-acetylglucosamines of a_structure) comes with the
// RENAME rows of identification, which the restraint stage meets again
// among the residue's modifications;
// the library holds no modification of that name, and that is no failure:
// status 0, every file whole and read back, the sugars restrained.
TEST(PipelineStages, SugarRenameRowsLeaveTheStatusAt0) {
  TempDir dir;
  const Outcome r = pipetest::run(on("nag_chain.pdb"), dir.path());
  EXPECT_EQ(r.stop, -1) << r.out;
  ASSERT_EQ(r.ierr, pipeline::kOk) << r.out;
  EXPECT_EQ(r.out.find(" ERROR"), std::string::npos) << r.out;
  EXPECT_EQ(pipetest::read_coordinates(dir.file("out")), 0);
  std::vector<Restraint> rows;
  ASSERT_TRUE(pipetest::read_restraints(dir.file("out"), rows));
  // At least the six ring bonds of each sugar and the three links between
  // them, every one at a C-C, C-N or C-O length.
  int bonds = 0;
  for (const Restraint& row : rows) {
    if (!row.kind.starts_with("BOND")) continue;
    ++bonds;
    EXPECT_GT(row.value, 1.2f) << row.echo;
    EXPECT_LT(row.value, 1.6f) << row.echo;
  }
  EXPECT_GE(bonds, 4 * 6 + 3);
}

// ------------------------------------------------------------ the options

// Each one-character flag with the values it accepts, its default last.
struct FlagRule {
  const char* name;
  char Options::*flag;
  std::string_view values;
};

// What the documented rule makes of c: a listed value is kept, the lower
// case of a listed letter becomes that letter, anything else the default.
char by_rule(const FlagRule& rule, char c) {
  if (rule.values.find(c) != std::string_view::npos) return c;
  const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  if (upper != c && rule.values.find(upper) != std::string_view::npos) return upper;
  return rule.values.back();
}

// A run that stops at once still normalises every flag in place, each by
// the rule above, whatever character it is given.
TEST(PipelineFlags, EveryFlagNormalisedInPlace) {
  const FlagRule rules[] = {
      {"check", &Options::check, "Y0N"},     {"check_spec", &Options::check_spec, "YN"},
      {"rflag", &Options::rflag, "YN"},      {"coor", &Options::coor, "YN"},
      {"form", &Options::form, "UF"},        {"pept", &Options::pept, "YN"},
      {"seg", &Options::seg, "YN"},          {"ss", &Options::ss, "NDY"},
      {"chain", &Options::chain, "YN"},      {"symm", &Options::symm, "YCN"},
      {"conn", &Options::conn, "YD0N"},      {"cis", &Options::cis, "YN"},
      {"sugar", &Options::sugar, "YDNS"},    {"lnk", &Options::lnk, "YD0N"},
      {"h", &Options::h, "NAY"},             {"srch", &Options::srch, "YAGN"},
      {"list", &Options::list, "SLTM"},
  };
  std::string given = " 019?";
  for (char c = 'A'; c <= 'Z'; ++c) given += {c, static_cast<char>(c - 'A' + 'a')};
  TempDir dir;
  for (const char c : given) {
    Options o = on("no_such_model.pdb");
    for (const FlagRule& rule : rules) o.*rule.flag = c;
    const Outcome r = pipetest::run(o, dir.path());
    for (const FlagRule& rule : rules)
      EXPECT_EQ(r.after.*rule.flag, by_rule(rule, c)) << rule.name << " given '" << c << "'";
    if (c == 'y') {
      EXPECT_EQ(crdinf.cr_segflag.str(), "Y") << "the segment flag is kept for the readers";
    }
  }
  // Flags are normalised each on its own: one given in lower case, the
  // others left as set.
  Options o = on("no_such_model.pdb");
  o.h = 'a';
  o.ss = 'd';
  const Outcome r = pipetest::run(o, dir.path());
  EXPECT_EQ(r.after.h, 'A');
  EXPECT_EQ(r.after.ss, 'D');
  EXPECT_EQ(r.after.sugar, 'Y');
  EXPECT_EQ(r.after.conn, 'Y');
}

TEST(PipelineFlags, NearlyZeroDistanceBecomesHalfAnAngstrom) {
  TempDir dir;
  const struct {
    const char* label;
    float given, after;
  } rows[] = {{"zero", 0.0f, 0.5f}, {"below 1e-5", 5e-6f, 0.5f}, {"negative kept", -0.3f, -0.3f}, {"kept", 1.2f, 1.2f}};
  for (const auto& row : rows) {
    Options o = on("no_such_model.pdb");
    o.dmin = row.given;
    EXPECT_EQ(pipetest::run(o, dir.path()).after.dmin, row.after) << row.label;
  }
}

// A silent run still shows its progress lines, and of the stages' lines
// only the PDB atom reader's warnings on a missing cell, which that reader
// prints with a message code of its own whatever code it is given.
TEST(PipelineFlags, SilentRunShowsOnlyItsProgress) {
  TempDir dir;
  Options o = on("disordered.pdb");
  o.list = 's';
  const Outcome r = pipetest::run(o, dir.path());
  EXPECT_EQ(r.ierr, 0);
  EXPECT_EQ(r.after.list, 'S');
  for (const char* shown : {" I am reading PDB_file", " I am creating restraints",
                            " WARNING: \"CRYST1\" card is absent in input PDB file\n"
                            "           Default: 100,100,100,90,90,90\n"
                            "  WARNING: \"SCALE\" card is absent in input PDB file\n"})
    EXPECT_NE(r.out.find(shown), std::string::npos) << shown << r.out;
  for (const char* silent : {"LIBRARY OF MONOMERS", "title of input coord file", "Number of chains"})
    EXPECT_EQ(r.out.find(silent), std::string::npos) << silent << r.out;
  EXPECT_EQ(file_text(dir.file("out.rst")), expected("disordered/out.rst")) << "silence changes no file";
}

// Inside the program that must have a cell, a PDB file without one ends the
// run at the reader, without progress lines; any other program reads on.
TEST(PipelineFlags, ProgramThatNeedsACellStopsAtTheReader) {
  TempDir dir;
  Options o = on("disordered.pdb");
  o.prog = "kavlin";
  const Outcome r = pipetest::run(o, dir.path());
  EXPECT_GE(r.ierr, 7);
  EXPECT_LE(r.ierr, 10);
  EXPECT_EQ(r.out.find(" I am reading PDB_file"), std::string::npos) << r.out;
  expect_nothing_written(dir);
}

// Hydrogens "all" (and rebuilding) write no restraint file; the coordinate
// and structure files are still written.
TEST(PipelineFlags, HydrogensAllOrRebuildWriteNoRestraints) {
  for (const char* which : {"h a", "rflag y"}) {
    TempDir dir;
    Options o = on("disordered.pdb");
    if (which[0] == 'h')
      o.h = 'a';
    else
      o.rflag = 'y';
    const Outcome r = pipetest::run(o, dir.path());
    EXPECT_EQ(r.ierr, 0) << which << r.out;
    EXPECT_FALSE(exists(dir.file("out.rst"))) << which;
    EXPECT_TRUE(exists(dir.file("out.crd"))) << which;
    EXPECT_TRUE(exists(dir.file("out.str"))) << which;
    EXPECT_EQ(r.out.find("Number of bonds restraints"), std::string::npos) << which;
  }
}

}  // namespace
