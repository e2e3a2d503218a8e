// Hands of the monomers built in whole runs: an atom flat in the model gets
// a plane and no chiral row, and a centre whose two substituents are alike
// gets a row with the sign "both", so that no refinement forces a hand the
// chemistry does not have.  (These runs come after the whole-file
// comparisons of pipeline_test.cpp: a run leaves tables behind.)
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "pipeline_fixture.h"

namespace {

// A chiral restraint as written: centre first, with its atom keys
// (chain|number|residue|atom|alt), its sign word and observed volume.
struct Chiral {
  std::vector<std::string> keys;
  std::string sign;
  float observed = 0.0f;
};

struct Written {
  pipetest::Outcome run;
  std::vector<Chiral> chirals;
  std::map<int, std::set<std::string>> planes;  // plane record number -> atom keys
  std::string lib;
};

// "chain|number|residue|atom" of an atom key, the alternate code dropped.
std::string without_alt(const std::string& key) { return key.substr(0, key.rfind('|')); }

Written run_on(const std::string& model, const TempDir& dir) {
  Written w;
  pipetest::Options o;
  o.in = model;
  w.run = pipetest::run(o, dir.path());
  w.lib = file_text(dir.path() + "/new_lib.cif");
  const std::string rst = file_text(dir.path() + "/out.rst");
  EXPECT_EQ(pipetest::read_coordinates(dir.path() + "/out"), 0);
  for (const pipetest::Record& r : pipetest::records(rst)) {
    if (r.line.starts_with("CHIR")) {
      Chiral c;
      for (int s : r.serials) c.keys.push_back(pipetest::atom_key(s));
      c.sign = pipetest::field(r.line, 13, 20);
      const std::string first = r.line.substr(0, r.line.find('\n'));
      c.observed = std::stof(first.substr(first.find_last_of(' ')));
      w.chirals.push_back(c);
    } else if (r.line.starts_with("PLAN")) {
      w.planes[std::stoi(pipetest::field(r.line, 5, 11))].insert(
          without_alt(pipetest::atom_key(r.serials[0])));
    }
  }
  return w;
}

}  // namespace

// 1LCD's DNA is built: DA, DC, DG and DT are not in the test library.  The
// base nitrogens of an NMR model stand up to 0.6 A^3 out of the plane of
// their neighbours, either way; none gets a chiral row, and each lies in one
// plane with C1' and its ring.
TEST(BuiltHands, FlatAtomsOfBuiltNucleotidesGetPlanesNotChiralRows) {
  TempDir dir;
  const Written w = run_on(pipetest::data("1LCD.pdb"), dir);
  ASSERT_EQ(w.run.ierr, 0) << w.run.out;
  for (const Chiral& c : w.chirals) EXPECT_GT(std::fabs(c.observed), 1.0f) << c.keys[0];

  const std::map<std::string, std::vector<std::string>> base = {{"DA", {"N9", "C1'", "C4", "C8"}},
                                                                {"DG", {"N9", "C1'", "C4", "C8"}},
                                                                {"DC", {"N1", "C1'", "C2", "C6"}},
                                                                {"DT", {"N1", "C1'", "C2", "C6"}}};
  std::set<std::string> residues, flat;
  for (const Chiral& c : w.chirals) {
    const std::string k = without_alt(c.keys[0]);
    const std::string res = k.substr(0, k.rfind('|'));
    if (base.count(res.substr(res.rfind('|') + 1))) residues.insert(res);
  }
  for (const auto& [number, atoms] : w.planes)
    for (const std::string& res : residues) {
      bool all = true;
      for (const std::string& a : base.at(res.substr(res.rfind('|') + 1)))
        all = all && atoms.count(res + "|" + a);
      if (all) flat.insert(res);
    }
  EXPECT_EQ(residues.size(), 22u);
  EXPECT_EQ(flat, residues);
}

// The aminoisobutyric acid of the test entry, built: its CA carries the two
// methyls CB1 and CB2.  Its row is written "both"; the library residues
// around it keep their hands.
TEST(BuiltHands, AibCentreWithTwoMethylsHasNoHand) {
  TempDir dir;
  const Written w = run_on(pipetest::data("pdb_aib.pdb"), dir);
  ASSERT_EQ(w.run.ierr, 0) << w.run.out;
  int aib = 0;
  for (const Chiral& c : w.chirals) {
    if (c.keys[0].find("|AIB|") != std::string::npos) {
      ++aib;
      EXPECT_EQ(c.sign, "both");
    } else {
      EXPECT_EQ(c.sign, c.observed > 0 ? "positiv" : "negativ") << c.keys[0];
    }
  }
  EXPECT_EQ(aib, 1);
  EXPECT_NE(w.lib.find(" AIB      chir_01  CA     N      C      CB1       both"), std::string::npos)
      << w.lib;
}

// 2-methyl-2,4-pentanediol in two conformers whose methyls C1 and CM trade
// names, as in deposited entries: C2 has opposite volumes in the two and
// gets "both" in each; C4 (H, O4, C3, C5) keeps one hand in both.  Bond
// lengths C-C 1.530 and C-O 1.426 A (Allen et al. 1987, J. Chem. Soc.
// Perkin Trans. 2, S1-S19), tetrahedral angles, C2-C3-C4 opened to 116
// degrees so that O2...O4 is 2.69 A.
TEST(BuiltHands, MpdMethylsTradingNamesLeaveC2WithoutAHand) {
  const std::string a[] = {
      " C1 AMPD A 301      10.000  12.000  14.000", " C2 AMPD A 301      11.530  12.000  14.000",
      " O2 AMPD A 301      12.005  11.327  12.836", " CM AMPD A 301      12.039  11.278  15.249",
      " C3 AMPD A 301      12.041  13.442  14.000", " C4 AMPD A 301      13.561  13.615  14.000",
      " O4 AMPD A 301      14.110  13.002  12.836", " C5 AMPD A 301      13.905  15.106  14.000"};
  std::string pdb = "CRYST1   30.000   30.000   30.000  90.00  90.00  90.00 P 1           1\n";
  int serial = 0;
  for (const char alt : {'A', 'B'})
    for (std::string line : a) {
      line[4] = alt;
      if (alt == 'B' && line.starts_with(" C1 ")) line.replace(0, 4, " CM ");
      else if (alt == 'B' && line.starts_with(" CM ")) line.replace(0, 4, " C1 ");
      const std::string s = std::to_string(++serial);
      pdb += "HETATM" + std::string(5 - s.size(), ' ') + s + " " + line +
             "  0.50 20.00           " + line[1] + "\n";
    }
  TempDir dir;
  const std::string model = dir.write("mpd.pdb", pdb + "END\n");
  const Written w = run_on(model, dir);
  ASSERT_EQ(w.run.ierr, 0) << w.run.out;
  std::map<std::string, std::vector<const Chiral*>> by_centre;
  for (const Chiral& c : w.chirals) {
    const std::string k = without_alt(c.keys[0]);
    by_centre[k.substr(k.rfind('|') + 1)].push_back(&c);
  }
  ASSERT_EQ(by_centre["C2"].size(), 2u);
  EXPECT_LT(by_centre["C2"][0]->observed * by_centre["C2"][1]->observed, 0.0f);
  for (const Chiral* c : by_centre["C2"]) EXPECT_EQ(c->sign, "both");
  ASSERT_EQ(by_centre["C4"].size(), 2u);
  for (const Chiral* c : by_centre["C4"])
    EXPECT_EQ(c->sign, c->observed > 0 ? "positiv" : "negativ");
}
