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


namespace {

// PHE 19 and PHE 20 of chain A of 2BEG (model 1, with hydrogens), the last
// one's O written OC1 and a second terminal oxygen OC2 1.25 A from C, the
// mirror of OC1 through the CA-C line: the library's PHE does not fit it, so
// the run builds it.  `reversed` writes the built residue's atoms backwards.
std::string terminal_phe(const TempDir& dir, bool reversed) {
  std::vector<Atom> atoms = modeltext::atoms_of("2BEG.pdb", 'A', 19, 20);
  std::vector<Atom> out;
  const Atom ca = modeltext::named(atoms, 20, "CA"), c = modeltext::named(atoms, 20, "C");
  for (Atom a : atoms) {
    if (a.num == 20 && a.name == "OXT") continue;
    if (a.num == 20 && a.name == "O") {
      a.name = "OC1";
      out.push_back(a);
      const float u[3] = {ca.x - c.x, ca.y - c.y, ca.z - c.z};
      const float v[3] = {a.x - c.x, a.y - c.y, a.z - c.z};
      const float uu = u[0] * u[0] + u[1] * u[1] + u[2] * u[2];
      const float along = (u[0] * v[0] + u[1] * v[1] + u[2] * v[2]) / uu;
      float m[3];
      for (int k = 0; k < 3; ++k) m[k] = 2.0f * along * u[k] - v[k];
      const float len = std::sqrt(m[0] * m[0] + m[1] * m[1] + m[2] * m[2]);
      Atom o2 = a;
      o2.name = "OC2";
      o2.x = c.x + m[0] * 1.25f / len;
      o2.y = c.y + m[1] * 1.25f / len;
      o2.z = c.z + m[2] * 1.25f / len;
      out.push_back(o2);
      continue;
    }
    out.push_back(a);
  }
  if (reversed) {
    auto first = std::find_if(out.begin(), out.end(), [](const Atom& a) { return a.num == 20; });
    std::reverse(first, out.end());
  }
  const std::string cell =
      "CRYST1    1.000    1.000    1.000  90.00  90.00  90.00 P 1           1\n";
  return dir.write(reversed ? "phe_reversed.pdb" : "phe.pdb",
                   cell + modeltext::pdb_atoms(out) + "END\n");
}

// The planes of a run's restraint file, each as the sorted names of its
// atoms, sorted.
std::vector<std::string> plane_atoms(const std::string& dir) {
  std::map<std::string, std::vector<std::string>> by_number;
  for (const std::string& line : pipetest::lines_of(file_text(dir + "/out.rst")))
    if (line.starts_with("PLAN"))
      by_number[pipetest::field(line, 6, 11)].push_back(line.substr(line.find('#') + 2));
  std::vector<std::string> out;
  for (auto& [number, names] : by_number) {
    std::sort(names.begin(), names.end());
    std::string joined;
    for (const std::string& n : names) joined += (joined.empty() ? "" : " ") + n;
    out.push_back(joined);
  }
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace

// The built terminal PHE is described alike from the model, from its atoms
// in the other order, and from the coordinates each run wrote (the residue
// then under the new monomer's name, its atoms in the description's order):
// its carboxylate is a plane every time.  The other PHE, which the library
// describes, bonds its neighbour by its C; that bond once took the built
// residue's free C for a bonded one, and only the run on the written model
// gave the carboxylate its plane.
TEST(FlagRuns, BuiltTerminalResidueIsDescribedAlikeWhateverItsAtomOrder) {
  TempDir models;
  std::vector<std::vector<std::string>> planes;
  std::vector<pipetest::Outcome> runs;
  for (const bool reversed : {false, true}) {
    pipetest::Options o;
    o.in = terminal_phe(models, reversed);
    TempDir first, again;
    runs.push_back(pipetest::run(o, first.path()));
    ASSERT_EQ(runs.back().ierr, 0) << runs.back().out;
    ASSERT_EQ(runs.back().new_lib, 'Y');
    planes.push_back(plane_atoms(first.path()));
    o.in = first.file("out.crd");
    runs.push_back(pipetest::run(o, again.path()));
    ASSERT_EQ(runs.back().ierr, 0) << runs.back().out;
    planes.push_back(plane_atoms(again.path()));
  }
  const std::vector<std::string>& want = planes.front();
  EXPECT_NE(std::find(want.begin(), want.end(), "C CA OC1 OC2"), want.end());
  for (std::size_t k = 0; k < runs.size(); ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(planes[k], want);
    EXPECT_EQ(runs[k].nbond, runs.front().nbond);
    EXPECT_EQ(runs[k].nangl, runs.front().nangl);
    EXPECT_EQ(runs[k].nchir, runs.front().nchir);
  }
}


// Hydrogens removed on reading leave the model of a file written without
// them, whichever form it is read from: 4CUP's ligand ZYB, whose only
// hydrogens the file gives, needs the energy library's fluorine without
// them, which the test library lacks.  The mmCIF entry stops at
// identification as the run on its written coordinates does (the entry once
// kept its hydrogens for the builder and went on).
TEST(FlagRuns, HydrogensRemovedOnReadingGiveTheModelWithoutThem) {
  const std::string message = " ERROR: Atom F with element name F\n";
  pipetest::Options o;
  o.in = pipetest::data("cif_4CUP.cif");
  TempDir kept;
  const pipetest::Outcome with_h = pipetest::run(o, kept.path());
  ASSERT_EQ(with_h.ierr, 0) << with_h.out;
  o.h = 'N';
  for (const std::string& model : {pipetest::data("cif_4CUP.cif"), kept.file("out.crd")}) {
    SCOPED_TRACE(model);
    o.in = model;
    TempDir dir;
    const pipetest::Outcome r = pipetest::run(o, dir.path());
    EXPECT_EQ(r.ierr, 1) << r.out;
    EXPECT_NE(r.out.find(message), std::string::npos) << r.out;
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.crd")));
  }
}
