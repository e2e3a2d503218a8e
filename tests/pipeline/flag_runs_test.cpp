// Whole runs under the flags other than the tests' defaults, each run again
// on the coordinate file it wrote: the graph search, every hydrogen rebuilt,
// hydrogens removed on reading, and a monomer built for a residue the
// library names but its atoms do not fit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/atom_com.h"
#include "model_text.h"
#include "pipeline_fixture.h"

namespace {

using modeltext::Atom;

// Chain, residue number and atom name of an atom of the written coordinates.
struct Where {
  std::string residue, name;
  int num = 0;
};

Where where(int serial) {
  std::istringstream key(pipetest::atom_key(serial));
  std::string chain, num, residue, atom;
  std::getline(key, chain, '|');
  std::getline(key, num, '|');
  std::getline(key, residue, '|');
  std::getline(key, atom, '|');
  return {residue, atom, std::stoi(num)};
}

// The ideal lengths of the bonds restrained between O3' of residue `up` and
// P of residue `up` + 1, read against the coordinates the run wrote.
std::vector<std::string> phosphate_bonds(const std::string& dir, int up) {
  std::vector<std::string> out;
  const std::string base = dir + "/out";
  EXPECT_EQ(pipetest::read_coordinates(base), 0);
  for (const pipetest::Record& rec : pipetest::records(file_text(base + ".rst"))) {
    if (!rec.line.starts_with("BOND")) continue;
    Where a = where(rec.serials[0]), b = where(rec.serials[1]);
    if (a.num > b.num) std::swap(a, b);
    if (a.num != up || b.num != up + 1 || a.name != "O3'" || b.name != "P") continue;
    std::istringstream w(rec.line);
    std::string word;
    for (int i = 0; i < 9 && w >> word;) ++i;
    out.push_back(word);
  }
  return out;
}

}  // namespace

// Two DA of 1LCD under the graph search: the library lacks DA and the
// search takes each for its adenosine "A", whose tree spells O3* where the
// model writes O3'.  The walk along the chain joins them by the library's
// phosphodiester link; the search by distance adds no link of its own on the
// same two atoms (it made a new link DA-DA at 1.500 A beside it), and none
// again on the coordinates the run wrote.
TEST(FlagRuns, GraphSearchedNucleotidesKeepOnePhosphodiesterBond) {
  const std::vector<Atom> atoms = modeltext::atoms_of("1LCD.pdb", 'B', 1, 2);
  ASSERT_EQ(atoms.front().res, "DA");
  ASSERT_EQ(atoms.back().res, "DA");
  TempDir models;
  const std::string cell =
      "CRYST1   60.000   60.000   60.000  90.00  90.00  90.00 P 1           1\n";
  {
    pipetest::Options o;
    o.in = models.write("da.pdb", cell + modeltext::pdb_atoms(atoms) + "END\n");
    o.srch = 'G';
    TempDir first, again;
    const pipetest::Outcome r1 = pipetest::run(o, first.path());
    ASSERT_EQ(r1.ierr, 0) << r1.out;
    EXPECT_EQ(r1.out.find("is found dist"), std::string::npos) << r1.out;
    EXPECT_EQ(file_text(first.file("out.rst")).find("DA-DA"), std::string::npos);
    EXPECT_EQ(phosphate_bonds(first.path(), 1), std::vector<std::string>{"1.607"});

    o.in = first.file("out.crd");
    const pipetest::Outcome r2 = pipetest::run(o, again.path());
    ASSERT_EQ(r2.ierr, 0) << r2.out;
    EXPECT_EQ(r2.out.find("is found dist"), std::string::npos) << r2.out;
    EXPECT_EQ(phosphate_bonds(again.path(), 1), std::vector<std::string>{"1.607"});
    EXPECT_EQ(r2.nbond, r1.nbond);
  }
}

