// Links between consecutive residues through whole runs: a chain stays one
// where its chain atoms (C-N, O3'-P) are bonded, whether a residue is in the
// library or built as a new monomer, and breaks where they are far apart,
// from a PDB file and from an mmCIF file alike.  (These runs come after the
// whole-file comparisons of pipeline_test.cpp: a run leaves tables behind
// that change a later run's structure file.)
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/atom_com.h"
#include "pipeline_fixture.h"

namespace {

// A bond restraint by the atoms it joins: "chain|number|residue|atom" twice,
// in written order.
using Bond = std::pair<std::string, std::string>;

struct Written {
  pipetest::Outcome run;
  std::vector<Bond> bonds;
  std::string crd, rst, lib;
};

std::string key_without_alt(int serial) {
  const std::string k = pipetest::atom_key(serial);
  return k.substr(0, k.rfind('|'));
}

Written run_on(const std::string& model, const TempDir& dir) {
  Written w;
  pipetest::Options o;
  o.in = model;
  w.run = pipetest::run(o, dir.path());
  const std::string base = dir.path() + "/out";
  w.crd = file_text(base + ".crd");
  w.rst = file_text(base + ".rst");
  w.lib = file_text(dir.path() + "/new_lib.cif");
  EXPECT_EQ(pipetest::read_coordinates(base), 0);
  for (const pipetest::Record& r : pipetest::records(w.rst))
    if (r.line.starts_with("BOND")) w.bonds.emplace_back(key_without_alt(r.serials[0]), key_without_alt(r.serials[1]));
  return w;
}

// Bond restraints between atom `up` of residue n1 and atom `down` of n2.
int bonds_between(const Written& w, int n1, const std::string& up, int n2, const std::string& down) {
  auto is = [](const std::string& key, int n, const std::string& atom) {
    std::istringstream in(key);
    std::string chain, number, residue, name;
    std::getline(in, chain, '|');
    std::getline(in, number, '|');
    std::getline(in, residue, '|');
    std::getline(in, name, '|');
    return std::stoi(number) == n && name == atom;
  };
  int count = 0;
  for (const auto& [a, b] : w.bonds)
    count += (is(a, n1, up) && is(b, n2, down)) || (is(b, n1, up) && is(a, n2, down));
  return count;
}

// The sequence rows of the written coordinates that carry a terminal group.
std::set<std::string> termini(const std::string& crd) {
  std::set<std::string> out;
  std::istringstream in(crd);
  for (std::string l; std::getline(in, l);)
    for (const char* t : {" NH3", " COO", " 5*END", " p5*END", " 3*END", " p3*END"})
      if (l.size() > 4 && l.ends_with(t)) out.insert(l);
  return out;
}

// The atom lines of the first model of a PDB entry of tests/data whose chain
// is `chain` and residue number lies in [first, last], with the CRYST1
// record and the LINK records when asked for.
std::string excerpt(const std::string& entry, char chain, int first, int last, bool links) {
  std::ifstream in(pipetest::data(entry));
  std::string out;
  for (std::string l; std::getline(in, l) && !l.starts_with("ENDMDL");) {
    const bool atom = l.starts_with("ATOM") || l.starts_with("HETATM");
    if (l.starts_with("CRYST1") || (links && l.starts_with("LINK")) ||
        (atom && l[21] == chain && std::stoi(l.substr(22, 4)) >= first && std::stoi(l.substr(22, 4)) <= last))
      out += l + "\n";
  }
  return out + "END\n";
}

}  // namespace

// Residues 152-158 and 172-177 of 1A8O: C of LYS158 and N of LEU172 are
// 20.1 A apart.  Neither form links them; both link the residues either side.
TEST(ChainGaps, TwentyAngstromBreakUnlinkedInBothForms) {
  for (const char* model : {"1A8O_gap.pdb", "cif_1A8O_gap.cif"}) {
    SCOPED_TRACE(model);
    TempDir dir;
    const Written w = run_on(pipetest::data(model), dir);
    EXPECT_EQ(w.run.ierr, 0) << w.run.out;
    EXPECT_EQ(bonds_between(w, 158, "C", 172, "N"), 0);
    EXPECT_EQ(w.rst.find("LYS______0158-_AA  -LEU______0172"), std::string::npos);
    EXPECT_EQ(bonds_between(w, 157, "C", 158, "N"), 1);
    EXPECT_EQ(bonds_between(w, 172, "C", 173, "N"), 1);
    EXPECT_EQ(bonds_between(w, 176, "C", 177, "N"), 1);
  }
}

// DA1-DA2-DT3-DT4 of 1LCD chain B, none of them in the test library.  DA is
// built from DA2, which has the phosphate the 5' residue DA1 lacks, so no
// atom is left unknown and every O3'-P bond is restrained.
TEST(ChainLinks, DnaExcerptRestrainsEveryPhosphateBond) {
  TempDir dir;
  const std::string model = dir.write("dna.pdb", excerpt("1LCD.pdb", 'B', 1, 4, false));
  TempDir out;
  const Written w = run_on(model, out);
  EXPECT_EQ(w.run.ierr, 0) << w.run.out;
  EXPECT_NE(w.run.out.find("Number of unknown atoms           :       0"), std::string::npos);
  for (int n = 1; n <= 3; ++n) EXPECT_EQ(bonds_between(w, n, "O3'", n + 1, "P"), 1) << n;
  // The built nucleotide: O3' with no hydrogen, typed as the ester oxygen it is.
  EXPECT_EQ(w.lib.find("HO3'"), std::string::npos);
  EXPECT_NE(w.lib.find(" DA            'O3''  O    O2 "), std::string::npos) << w.lib;
}

// The same bond from the mmCIF form: the two residues are consecutive in one
// chain, and the bond is still found and restrained.
TEST(ChainLinks, DnaFromMmcifRestrainsThePhosphateBond) {
  TempDir dir;
  const Written w = run_on(pipetest::data("cif_1LCD_dna.cif"), dir);
  EXPECT_EQ(bonds_between(w, 1, "O3'", 2, "P"), 1);
}

// The two DNA strands of 1LCD under the names current files give them ("DA"
// ... "DT", atoms "O3'", "OP1"), none in the test library, from either form
// of the entry: each strand is one chain whose nucleotides the library's
// phosphodiester link joins, its atoms found under the library's older
// spelling; every O3'-P bond is restrained once, with the link's angles,
// and no link is made up for a pair of nucleotides.  Both forms give the
// same restraints.
TEST(ChainLinks, CurrentDnaStrandsAreJoinedByTheLibraryLink) {
  int32_t counts[2][5] = {};
  int form = 0;
  for (const char* model : {"1LCD.pdb", "cif_1LCD.cif"}) {
    SCOPED_TRACE(model);
    TempDir dir;
    const Written w = run_on(pipetest::data(model), dir);
    EXPECT_EQ(w.run.ierr, 0) << w.run.out;
    // Two strands of eleven: each pair of neighbours once in each strand.
    for (int n = 1; n <= 10; ++n) EXPECT_EQ(bonds_between(w, n, "O3'", n + 1, "P"), 2) << n;
    std::size_t links = 0, angles = 0;
    for (std::size_t at = w.rst.find("\nLINK . p "); at != std::string::npos;
         at = w.rst.find("\nLINK . p ", at + 1))
      ++links;
    for (std::size_t at = w.rst.find("# C3'   O3'   P"); at != std::string::npos;
         at = w.rst.find("# C3'   O3'   P", at + 1))
      ++angles;
    EXPECT_EQ(links, 20u);
    EXPECT_EQ(angles, 20u);
    for (const char* made_up : {"DA-DA", "DT-DG", "DC-DA"}) {
      EXPECT_EQ(w.rst.find(made_up), std::string::npos) << made_up;
      EXPECT_EQ(w.lib.find(made_up), std::string::npos) << made_up;
    }
    const int32_t c[5] = {w.run.nbond, w.run.nangl, w.run.ntors, w.run.nchir, w.run.nplan};
    std::copy(c, c + 5, counts[form++]);
  }
  for (int k = 0; k < 5; ++k) EXPECT_EQ(counts[0][k], counts[1][k]) << k;
}

// ASN183-GLU187 of 1A8O with the selenomethionine at 185, built as a new
// monomer.  Every peptide bond is restrained, THR186 after it takes no
// terminal group (only the excerpt's first residue does), and the built
// selenomethionine has no hydrogen on its carbonyl C and one on its N.  The
// same with and without the LINK records.
TEST(ChainLinks, SelenomethioninePeptideStaysOneChain) {
  for (const bool links : {true, false}) {
    SCOPED_TRACE(links ? "with LINK records" : "without LINK records");
    TempDir dir;
    const std::string model = dir.write("mse.pdb", excerpt("1A8O.pdb", 'A', 183, 187, links));
    TempDir out;
    const Written w = run_on(model, out);
    EXPECT_EQ(w.run.ierr, 0) << w.run.out;
    for (int n = 183; n <= 186; ++n) EXPECT_EQ(bonds_between(w, n, "C", n + 1, "N"), 1) << n;
    const std::set<std::string> ends = termini(w.crd);
    for (const std::string& l : ends) EXPECT_NE(l.find(" ASN       183 "), std::string::npos) << l;
    const std::size_t mse = w.lib.find("data_comp_MSE");
    ASSERT_NE(mse, std::string::npos);
    const std::string comp = w.lib.substr(mse, w.lib.find("data_", mse + 5) - mse);
    EXPECT_NE(comp.find(" MSE           N      N    NH1 "), std::string::npos) << comp;
    EXPECT_NE(comp.find(" MSE           C      C    C "), std::string::npos) << comp;
    int n_h = 0, c_h = 0;
    std::istringstream in(comp);
    for (std::string l; std::getline(in, l);) {
      std::istringstream f(l);
      std::string id, a1, a2, type;
      if (!(f >> id >> a1 >> a2 >> type) || id != "MSE" || (type != "single" && type != "double")) continue;
      const bool h = a1[0] == 'H' || a2[0] == 'H';
      n_h += h && (a1 == "N" || a2 == "N");
      c_h += h && (a1 == "C" || a2 == "C");
    }
    EXPECT_EQ(n_h, 1);
    EXPECT_EQ(c_h, 0);
  }
}
