// The phosphodiester link between two nucleotides through whole runs, where
// one or both are the test library's adenosine "A" (older spelling: O3*,
// O1P) and the other a nucleotide the library lacks, in either spelling.
// The models are two nucleotides made from the ideal coordinates of the
// library's "A": the second is the first moved so that its P lies 1.607 A
// from the first one's O3*, in the direction that keeps every other pair of
// atoms at least 2.4 A apart.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "pipeline_fixture.h"

namespace {

struct Atom {
  std::string name, element;
  double x, y, z;
};

// The heavy atoms of the library's "A" with their ideal coordinates.
std::vector<Atom> ideal_adenosine() {
  std::ifstream in(pipetest::library() + "a/A.cif");
  std::vector<Atom> atoms;
  for (std::string l; std::getline(in, l);) {
    std::istringstream w(l);
    std::string comp, name, element, type, charge;
    Atom a;
    if (!(w >> comp >> name >> element >> type >> charge >> a.x >> a.y >> a.z) || comp != "A" ||
        element == "H")
      continue;
    a.name = name;
    a.element = element;
    atoms.push_back(a);
  }
  return atoms;
}

std::string current_spelling(std::string n) {
  for (char& c : n)
    if (c == '*') c = '\'';
  if (n == "O1P") return "OP1";
  if (n == "O2P") return "OP2";
  return n;
}

// Two nucleotides named `names`, the second moved as the file header says;
// `current` spells each residue's atoms the current way ("O3'", "OP1").
std::string two_nucleotides(const std::array<const char*, 2>& names, const std::array<bool, 2>& current) {
  const std::vector<Atom> atoms = ideal_adenosine();
  const double shift[3] = {-5.682, 1.533, 3.630};
  std::string out = "CRYST1   60.000   60.000   60.000  90.00  90.00  90.00 P 1           1\n";
  int serial = 0;
  for (int k = 0; k < 2; ++k)
    for (const Atom& a : atoms) {
      const std::string name = current[k] ? current_spelling(a.name) : a.name;
      char line[100];
      std::snprintf(line, sizeof line, "ATOM  %5d  %-3s %3s A%4d    %8.3f%8.3f%8.3f  1.00 20.00           %s\n",
                    ++serial, name.c_str(), names[k], k + 1, a.x + k * shift[0], a.y + k * shift[1],
                    a.z + k * shift[2], a.element.c_str());
      out += line;
    }
  return out + "END\n";
}

struct PairRun {
  pipetest::Outcome run;
  std::string rst, lib;
  // The ideal lengths of the bonds restrained between O3' (either spelling)
  // of residue 1 and P of residue 2.
  std::vector<std::string> phosphate_bonds;
};

PairRun run_pair(const std::string& model, const TempDir& dir) {
  PairRun r;
  pipetest::Options o;
  o.in = model;
  r.run = pipetest::run(o, dir.path());
  const std::string base = dir.path() + "/out";
  r.rst = file_text(base + ".rst");
  r.lib = file_text(dir.path() + "/new_lib.cif");
  EXPECT_EQ(pipetest::read_coordinates(base), 0);
  // Residue number and atom name of an atom of the written coordinates.
  auto is = [](int serial, int number, std::initializer_list<const char*> names) {
    std::istringstream key(pipetest::atom_key(serial));
    std::string chain, num, residue, atom;
    std::getline(key, chain, '|');
    std::getline(key, num, '|');
    std::getline(key, residue, '|');
    std::getline(key, atom, '|');
    if (std::stoi(num) != number) return false;
    for (const char* n : names)
      if (atom == n) return true;
    return false;
  };
  for (const pipetest::Record& rec : pipetest::records(r.rst)) {
    if (!rec.line.starts_with("BOND")) continue;
    const int a = rec.serials[0], b = rec.serials[1];
    if ((is(a, 1, {"O3*", "O3'"}) && is(b, 2, {"P"})) || (is(b, 1, {"O3*", "O3'"}) && is(a, 2, {"P"}))) {
      std::istringstream w(rec.line);
      std::string word;
      for (int i = 0; i < 9 && w >> word;) ++i;
      r.phosphate_bonds.push_back(word);
    }
  }
  return r;
}

}  // namespace

// Two library nucleotides: the reader names "A" a deoxy "Ad", the residue
// class makes it "Ar", and the library's graph index finds "A" again.  The
// residue is described as "A" (its renaming kept in its one RENAME row), the
// chain is restrained whole and the two are joined by the library link.
TEST(NucleotideLinks, TwoLibraryNucleotidesAreDescribedAndLinked) {
  TempDir dir;
  const std::string model = dir.write("aa.pdb", two_nucleotides({"A", "A"}, {false, false}));
  TempDir out;
  const PairRun r = run_pair(model, out);
  ASSERT_EQ(r.run.ierr, 0) << r.run.out;
  EXPECT_EQ(r.run.out.find("Check synonyms"), std::string::npos);
  EXPECT_NE(r.run.out.find("Number of chains                  :       1"), std::string::npos) << r.run.out;
  EXPECT_NE(r.run.out.find("Total number of monomers          :       2"), std::string::npos) << r.run.out;
  EXPECT_EQ(r.run.out.find("description of the link:p        is not present"), std::string::npos);
  EXPECT_EQ(r.phosphate_bonds, std::vector<std::string>{"1.607"});
  EXPECT_NE(r.rst.find("\nLINK . p "), std::string::npos);
}

// A library nucleotide beside one the library lacks (a "G" of the same atoms
// in the older spelling, a "DA" in the current one), in either order: the
// O3'-P bond is the library's phosphodiester link, once, and no link is made
// up for the pair.
TEST(NucleotideLinks, LibraryAndBuiltNucleotideTakeTheLibraryLink) {
  struct Case {
    const char* label;
    std::array<const char*, 2> names;
    std::array<bool, 2> current;
  };
  const Case cases[] = {
      {"A then built G", {"A", "G"}, {false, false}},
      {"built G then A", {"G", "A"}, {false, false}},
      {"A then DA, current spelling", {"A", "DA"}, {false, true}},
      {"DA, current spelling, then A", {"DA", "A"}, {true, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TempDir dir;
    const std::string model = dir.write("pair.pdb", two_nucleotides(c.names, c.current));
    TempDir out;
    const PairRun r = run_pair(model, out);
    ASSERT_EQ(r.run.ierr, 0) << r.run.out;
    EXPECT_EQ(r.phosphate_bonds, std::vector<std::string>{"1.607"}) << r.rst;
    EXPECT_EQ(r.run.out.find("big distance for conn"), std::string::npos);
    EXPECT_EQ(r.run.out.find("is not in the dictionary"), std::string::npos);
    EXPECT_EQ(r.lib.find("_chem_link.id"), std::string::npos);
  }
}
