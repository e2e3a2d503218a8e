// Hands of the monomers built in whole runs: an atom flat in the model gets
// a plane and no chiral row, and a centre whose two substituents are alike
// gets a row with the sign "both", so that no refinement forces a hand the
// chemistry does not have.  (These runs come after the whole-file
// comparisons of pipeline_test.cpp: a run leaves tables behind.)
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>
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

namespace {

// O-methylthreonine, a ligand the test library lacks: the heavy atoms of
// threonine at the ideal coordinates of the public chemical components,
// with a methyl CM on OG1, 1.42 A along the bond of the hydroxyl hydrogen
// HG1.  Copy k stands 10 A along x from copy k-1.  A copy of the other hand
// at CB has CG2 reflected through the plane of CB, CA and OG1, onto the
// place of CB's hydrogen; CA keeps its hand.
struct XyzName {
  const char* name;
  float x, y, z;
};
constexpr XyzName kThreonine[] = {
    {"N", 1.543f, -0.702f, 0.430f},    {"CA", 0.122f, -0.706f, 0.056f},
    {"C", -0.038f, -0.090f, -1.309f},  {"O", 0.732f, 0.761f, -1.683f},
    {"CB", -0.675f, 0.104f, 1.079f},   {"OG1", -0.193f, 1.448f, 1.103f},
    {"CG2", -0.511f, -0.521f, 2.466f}, {"OXT", -1.039f, -0.488f, -2.110f}};
constexpr XyzName kHg1 = {"HG1", 0.740f, 1.406f, 1.352f};

using Xyz = std::array<float, 3>;
Xyz at(const XyzName& a) { return {a.x, a.y, a.z}; }
Xyz minus(const Xyz& a, const Xyz& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
float dot(const Xyz& a, const Xyz& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

std::string methylthreonine_copies(const std::vector<bool>& other_hand) {
  std::map<std::string, Xyz> pos;
  for (const XyzName& a : kThreonine) pos[a.name] = at(a);
  const Xyz oh = minus(at(kHg1), pos["OG1"]);
  const float s = 1.42f / std::sqrt(dot(oh, oh));
  pos["CM"] = {pos["OG1"][0] + s * oh[0], pos["OG1"][1] + s * oh[1], pos["OG1"][2] + s * oh[2]};
  const Xyz u = minus(pos["CA"], pos["CB"]), v = minus(pos["OG1"], pos["CB"]);
  Xyz n = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
  const float len = std::sqrt(dot(n, n));
  for (float& c : n) c /= len;
  const float off = dot(minus(pos["CG2"], pos["CB"]), n);
  const Xyz mirrored = {pos["CG2"][0] - 2 * off * n[0], pos["CG2"][1] - 2 * off * n[1],
                        pos["CG2"][2] - 2 * off * n[2]};
  std::string pdb = "CRYST1   60.000   30.000   30.000  90.00  90.00  90.00 P 1           1\n";
  int serial = 0;
  char line[100];
  for (std::size_t k = 0; k < other_hand.size(); ++k)
    for (const char* name : {"N", "CA", "C", "O", "OXT", "CB", "OG1", "CG2", "CM"}) {
      const Xyz p = other_hand[k] && std::string(name) == "CG2" ? mirrored : pos[name];
      std::snprintf(line, sizeof line,
                    "HETATM%5d  %-3s TMO A%4d    %8.3f%8.3f%8.3f  1.00 20.00          %2s\n",
                    ++serial, name, static_cast<int>(k + 1), p[0] + 10.0f * k + 5.0f, p[1] + 10.0f,
                    p[2] + 10.0f, std::string(name, 1).c_str());
      pdb += line;
    }
  return pdb + "END\n";
}

// The sign the new library gives centre `atom` of TMO.
std::string library_sign(const std::string& lib, const std::string& atom) {
  for (const std::string& line : pipetest::lines_of(lib)) {
    std::istringstream in(line);
    std::vector<std::string> w;
    for (std::string s; in >> s;) w.push_back(s);
    if (w.size() == 7 && w[0] == "TMO" && w[1].starts_with("chir_") && w[2] == atom) return w[6];
  }
  return "?";
}

std::size_t count_of(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

}  // namespace

// Copies of a ligand of which one has the other hand at CB: the sign of
// CB is the hand of the others whether the monomer is built from that copy
// (the first) or from another, and one WARNING names the odd copy; CA,
// alike in all copies, keeps its sign and warns of nothing.
TEST(BuiltHands, SignIsTheHandMostCopiesHaveAndTheOddCopyIsNamed) {
  TempDir plain_dir;
  const Written plain = run_on(
      plain_dir.write("m.pdb", methylthreonine_copies({false, false, false, false})), plain_dir);
  ASSERT_EQ(plain.run.ierr, 0) << plain.run.out;
  const std::string cb = library_sign(plain.lib, "CB"), ca = library_sign(plain.lib, "CA");
  ASSERT_TRUE(cb == "positiv" || cb == "negativ") << plain.lib;
  ASSERT_TRUE(ca == "positiv" || ca == "negativ") << plain.lib;
  EXPECT_EQ(plain.run.out.find("chiral centre"), std::string::npos) << plain.run.out;
  const std::string other = cb == "positiv" ? "negativ" : "positiv";
  const struct {
    const char* label;
    std::vector<bool> other_hand;
    const char* odd;  // its residue and the chain the reader makes of it
  } cases[] = {
      {"odd copy first", {true, false, false, false}, "1 chain AA"},
      {"odd copy third", {false, false, true, false}, "3 chain Ab"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TempDir dir;
    const Written w = run_on(dir.write("m.pdb", methylthreonine_copies(c.other_hand)), dir);
    ASSERT_EQ(w.run.ierr, 0) << w.run.out;
    EXPECT_EQ(library_sign(w.lib, "CB"), cb);
    EXPECT_EQ(library_sign(w.lib, "CA"), ca);
    const std::string warning = " WARNING: TMO : chiral centre CB is " + other + " in residue " +
                                c.odd + ", " + cb + " in 3 of 4 copies\n";
    EXPECT_EQ(count_of(w.run.out, warning), 1u) << w.run.out;
    EXPECT_EQ(count_of(w.run.out, "chiral centre"), 1u) << w.run.out;
    // Every copy is restrained to that sign, the odd one too.
    int restrained = 0;
    for (const Chiral& ch : w.chirals)
      if (ch.keys[0].find("|TMO|CB|") != std::string::npos) {
        ++restrained;
        EXPECT_EQ(ch.sign, cb) << ch.keys[0];
      }
    EXPECT_EQ(restrained, 4);
  }
}

// One copy of each hand: CB has no sign of its own ("both"), said in one
// WARNING; CA keeps its sign.
TEST(BuiltHands, CopiesSplitEvenlyLeaveTheCentreBoth) {
  TempDir plain_dir, dir;
  const Written plain =
      run_on(plain_dir.write("m.pdb", methylthreonine_copies({false, false})), plain_dir);
  const Written w = run_on(dir.write("m.pdb", methylthreonine_copies({false, true})), dir);
  ASSERT_EQ(w.run.ierr, 0) << w.run.out;
  EXPECT_EQ(library_sign(w.lib, "CB"), "both");
  EXPECT_EQ(library_sign(w.lib, "CA"), library_sign(plain.lib, "CA"));
  EXPECT_EQ(count_of(w.run.out,
                     " WARNING: TMO : chiral centre CB is positiv in 1 copy and "
                     "negativ in 1: its sign is both\n"),
            1u)
      << w.run.out;
  EXPECT_EQ(count_of(w.run.out, "chiral centre"), 1u) << w.run.out;
}
