// Whole runs under the flags other than the tests' defaults, each run again
// on the coordinate file it wrote: the graph search, every hydrogen rebuilt,
// hydrogens removed on reading, and a monomer built for a residue the
// library names but its atoms do not fit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
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

int count_of(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
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

// LEU 56 and SER 57 of the first model of 1D3Z with their hydrogens, the
// methylene hydrogens under a force field's names (HB2, HB3 written HB1,
// HB2), and a water 2.8 A from the serine's OG with its hydrogens at the
// ideal geometry (0.9572 A, 104.52 degrees) as HW1 and HW2: 18 hydrogens.
std::vector<Atom> force_field_cut() {
  std::vector<Atom> atoms = modeltext::atoms_of("1d3z_model1.pdb", 'A', 56, 57);
  for (Atom& a : atoms) {
    if (a.name == "HB2") a.name = "HB1";
    else if (a.name == "HB3") a.name = "HB2";
  }
  const Atom& og = modeltext::named(atoms, 57, "OG");
  Atom o;
  o.record = "HETATM", o.name = "O", o.res = "HOH", o.chain = "A", o.element = "O", o.num = 101;
  o.x = og.x + 2.8f, o.y = og.y, o.z = og.z;
  const float d = 0.9572f, angle = 104.52f * 3.14159265f / 180.0f;
  Atom h1 = o, h2 = o;
  h1.name = "HW1", h1.element = "H", h1.x += d;
  h2.name = "HW2", h2.element = "H", h2.x += d * std::cos(angle), h2.y += d * std::sin(angle);
  atoms.insert(atoms.end(), {o, h1, h2});
  return atoms;
}

// Per residue, the hydrogens of the written coordinates, and the closest two
// atoms of one residue.
struct Hydrogens {
  std::map<std::string, std::vector<std::string>> names;
  float closest = 99.0f;
};

Hydrogens hydrogens_written(const std::string& base) {
  Hydrogens h;
  EXPECT_EQ(pipetest::read_coordinates(base), 0);
  for (int ia = 1; ia <= atom_inf.n_atom; ++ia) {
    const Where w = where(ia);
    if (w.name[0] == 'H') h.names[w.residue].push_back(w.name);
    for (int ja = ia + 1; ja <= atom_inf.n_atom && atom_inf.i_resid(ja) == atom_inf.i_resid(ia);
         ++ja) {
      float d2 = 0.0f;
      for (int k = 1; k <= 3; ++k)
        d2 += std::pow(atom_crd.xyz_crd(k, ia) - atom_crd.xyz_crd(k, ja), 2.0f);
      h.closest = std::min(h.closest, std::sqrt(d2));
    }
  }
  return h;
}

}  // namespace

// Every hydrogen rebuilt: the model's hydrogens give way to the monomers'
// own, one WARNING counting them; those under names the library lacks are
// not written beside the rebuilt ones (a serine CB kept three hydrogens, two
// of them 0.09 A apart, the water four).  The run on the written model
// drops and rebuilds the same hydrogens.
TEST(FlagRuns, EveryHydrogenRebuiltReplacesTheModelsHydrogens) {
  TempDir models;
  const std::string cell =
      "CRYST1    1.000    1.000    1.000  90.00  90.00  90.00 P 1           1\n";
  const std::string model =
      models.write("leu_ser_water.pdb", cell + modeltext::pdb_atoms(force_field_cut()) + "END\n");
  pipetest::Options o;
  o.in = model;
  o.h = 'A';
  TempDir first, again;
  const pipetest::Outcome r1 = pipetest::run(o, first.path());
  ASSERT_EQ(r1.ierr, 0) << r1.out;
  const std::string warning =
      " WARNING : 18 hydrogens of the model dropped: every hydrogen of the monomers is rebuilt\n";
  EXPECT_EQ(count_of(r1.out, warning), 1) << r1.out;
  EXPECT_EQ(count_of(r1.out, "hydrogens of the model dropped"), 1);
  const Hydrogens h1 = hydrogens_written(first.path() + "/out");
  using Names = std::vector<std::string>;
  EXPECT_EQ(h1.names.at("LEU"), (Names{"H", "HA", "HB2", "HB3", "HG", "HD11", "HD12", "HD13",
                                       "HD21", "HD22", "HD23", "H2", "H3"}));
  EXPECT_EQ(h1.names.at("SER"), (Names{"H", "HA", "HB2", "HB3", "HG"}));
  EXPECT_EQ(h1.names.at("HOH"), (Names{"H1", "H2"}));
  EXPECT_GT(h1.closest, 0.8f);

  o.in = first.file("out.crd");
  const pipetest::Outcome r2 = pipetest::run(o, again.path());
  ASSERT_EQ(r2.ierr, 0) << r2.out;
  EXPECT_EQ(count_of(r2.out, " WARNING : 20 hydrogens of the model dropped"), 1) << r2.out;
  const Hydrogens h2 = hydrogens_written(again.path() + "/out");
  EXPECT_EQ(h2.names, h1.names);
  EXPECT_GT(h2.closest, 0.8f);
}

// A monomer the run builds from the model is described with the model's
// own hydrogens: they stay where they stand (2-aminoisobutyric acid in
// 2BEG's chain, which the test library lacks; 7 of the model's 155
// hydrogens), and the run on the written model builds it and places the
// others alike.  Replaced, some came back at occupancy 0, and a run on the
// written model built the monomer without those.
TEST(FlagRuns, BuiltMonomerKeepsTheHydrogensItIsBuiltFrom) {
  pipetest::Options o;
  o.in = pipetest::data("pdb_aib_n_terminal.pdb");
  o.h = 'A';
  TempDir first, again;
  const pipetest::Outcome r1 = pipetest::run(o, first.path());
  ASSERT_EQ(r1.ierr, 0) << r1.out;
  EXPECT_EQ(count_of(r1.out, " WARNING : 148 hydrogens of the model dropped"), 1) << r1.out;
  const Hydrogens h1 = hydrogens_written(first.path() + "/out");
  const int hb11 = [] {
    for (int ia = 1; ia <= atom_inf.n_atom; ++ia)
      if (where(ia).residue == "AIB" && where(ia).name == "HB11") return ia;
    return 0;
  }();
  ASSERT_GT(hb11, 0);
  EXPECT_NEAR(atom_crd.xyz_crd(1, hb11), -2.363f, 0.001f);
  EXPECT_NEAR(atom_crd.occup(hb11), 1.0f, 0.001f);

  o.in = first.file("out.crd");
  const pipetest::Outcome r2 = pipetest::run(o, again.path());
  ASSERT_EQ(r2.ierr, 0) << r2.out;
  EXPECT_EQ(hydrogens_written(again.path() + "/out").names, h1.names);
}

// A model without hydrogens drops none and says nothing of it; the flag's
// other runs keep the model's hydrogens and say nothing either.
TEST(FlagRuns, NoWarningWhereNoHydrogenIsDropped) {
  TempDir models;
  std::vector<Atom> heavy;
  for (const Atom& a : force_field_cut())
    if (a.element != "H") heavy.push_back(a);
  const std::string cell =
      "CRYST1    1.000    1.000    1.000  90.00  90.00  90.00 P 1           1\n";
  const std::string bare = models.write("bare.pdb", cell + modeltext::pdb_atoms(heavy) + "END\n");
  const std::string full =
      models.write("full.pdb", cell + modeltext::pdb_atoms(force_field_cut()) + "END\n");
  const struct {
    const char* label;
    std::string model;
    char h;
  } rows[] = {{"no hydrogens, all rebuilt", bare, 'A'},
              {"hydrogens kept", full, 'Y'},
              {"hydrogens removed", full, 'N'}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    pipetest::Options o;
    o.in = row.model;
    o.h = row.h;
    TempDir dir;
    const pipetest::Outcome r = pipetest::run(o, dir.path());
    EXPECT_EQ(r.out.find("hydrogens of the model dropped"), std::string::npos) << r.out;
  }
}

namespace {

// Residues last - 1 and last of a chain of an entry, the last one's O
// written OC1 and a second terminal oxygen OC2 1.25 A from C, the mirror of
// OC1 through the CA-C line: the library's monomer does not fit it, so the
// run builds it.  `reversed` writes the built residue's atoms backwards.
std::string terminal_residue(const TempDir& dir, const std::string& entry, char chain, int last,
                             bool reversed) {
  std::vector<Atom> atoms = modeltext::atoms_of(entry, chain, last - 1, last);
  std::vector<Atom> out;
  const Atom ca = modeltext::named(atoms, last, "CA"), c = modeltext::named(atoms, last, "C");
  for (Atom a : atoms) {
    if (a.num == last && a.name == "OXT") continue;
    if (a.num == last && a.name == "O") {
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
    auto first = std::find_if(out.begin(), out.end(), [&](const Atom& a) { return a.num == last; });
    std::reverse(first, out.end());
  }
  const std::string cell =
      "CRYST1    1.000    1.000    1.000  90.00  90.00  90.00 P 1           1\n";
  return dir.write(entry + (reversed ? "_reversed.pdb" : ".pdb"),
                   cell + modeltext::pdb_atoms(out) + "END\n");
}

// The atoms of the monomer the run built with their energy types, as the
// rows of the new library's atom loop give them (the monomer, name,
// element, type, charge and coordinates), sorted.
std::vector<std::string> built_atoms(const std::string& dir, const std::string& code) {
  std::vector<std::string> out;
  for (const std::string& line : pipetest::lines_of(file_text(dir + "/new_lib.cif"))) {
    std::istringstream w(line);
    std::vector<std::string> v;
    for (std::string word; w >> word;) v.push_back(word);
    if (v.size() != 8 || v[0] != code || v[2].size() > 2 ||
        !std::isalpha(static_cast<unsigned char>(v[2][0])))
      continue;
    bool numbers = true;
    for (std::size_t k = 4; k < 8; ++k)
      numbers = numbers && v[k].find_first_not_of("-.0123456789") == std::string::npos;
    if (!numbers) continue;
    out.push_back(v[1] + " " + v[3]);
  }
  std::sort(out.begin(), out.end());
  return out;
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
    o.in = terminal_residue(models, "2BEG.pdb", 'A', 20, reversed);
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

// A histidine the run builds (the last of chain A of 3MHT, its oxygens
// OC1 and OC2, without hydrogens) keeps the same nitrogen protonated and
// the same types whichever order its atoms come in, and from the
// coordinates each run wrote: where the two tautomers fit the model alike,
// the choice went to whichever nitrogen came first.
TEST(FlagRuns, BuiltHistidineKeepsItsTautomerWhateverItsAtomOrder) {
  TempDir models;
  std::vector<std::vector<std::string>> atoms;
  for (const bool reversed : {false, true}) {
    pipetest::Options o;
    o.in = terminal_residue(models, "3mht.pdb", 'A', 148, reversed);
    TempDir first, again;
    const pipetest::Outcome r1 = pipetest::run(o, first.path());
    ASSERT_EQ(r1.ierr, 0) << r1.out;
    atoms.push_back(built_atoms(first.path(), "HIS_N1"));
    o.in = first.file("out.crd");
    const pipetest::Outcome r2 = pipetest::run(o, again.path());
    ASSERT_EQ(r2.ierr, 0) << r2.out;
    atoms.push_back(built_atoms(again.path(), "HIS_N1"));
  }
  const std::vector<std::string>& want = atoms.front();
  EXPECT_NE(std::find(want.begin(), want.end(), "HNE2 H"), want.end());
  for (std::size_t k = 1; k < atoms.size(); ++k) EXPECT_EQ(atoms[k], want) << k;
}

namespace {

// 4CUP with ZYB's fluorine row moved to the end of its residue, after the
// hydrogens.
std::string fluorine_last() {
  std::string text = file_text(pipetest::data("cif_4CUP.cif"));
  const std::size_t f = text.find("HETATM 938  F F   . ZYB");
  if (f == std::string::npos) {
    ADD_FAILURE() << "no fluorine row";
    return text;
  }
  const std::string row = text.substr(f, text.find('\n', f) + 1 - f);
  text.erase(f, row.size());
  text.insert(text.find('\n', text.find("HETATM 955  H HB  . ZYB")) + 1, row);
  return text;
}

}  // namespace

// An element the energy library lacks ends the run whatever becomes of the
// hydrogens: 4CUP's ligand ZYB holds a fluorine, which the test library
// lacks.  Kept, removed or rebuilt, the run stops at identification with
// status 1, names the atom and writes no coordinates; where the hydrogens
// were removed, a bond they would have settled is named too.  (Kept, the
// fluorine once took its bare element as a type and its bonds the model's
// lengths, and the run went on.)  The fluorine counts as the residue's last
// atom too.
TEST(FlagRuns, ElementTheLibraryLacksEndsTheRunUnderEveryHydrogenFlag) {
  const std::string atom =
      " ERROR: Atom F with element name F\n"
      "        does not exist in theenergetic library \"ener_lib.cif\"\n";
  const std::string bond =
      " ERROR: Bond N1 - O of elements N - O fits no bond of \"ener_lib.cif\"\n";
  const std::string incomplete = " ERROR: Energetic library - \"ener_lib.cif\" is incomplete\n";
  TempDir models;
  const std::string entry = pipetest::data("cif_4CUP.cif");
  const std::string last = models.write("4cup_fluorine_last.cif", fluorine_last());
  const struct {
    const char* label;
    std::string model;
    char h;
    std::string said;
  } rows[] = {
      {"hydrogens kept", entry, 'Y', atom + incomplete},
      {"hydrogens removed", entry, 'N', atom + bond + incomplete},
      {"hydrogens rebuilt", entry, 'A', atom + incomplete},
      {"hydrogens kept, the fluorine after them", last, 'Y', atom + incomplete},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    pipetest::Options o;
    o.in = row.model;
    o.h = row.h;
    TempDir dir;
    const pipetest::Outcome r = pipetest::run(o, dir.path());
    EXPECT_EQ(r.ierr, 1) << r.out;
    const std::size_t from = r.out.find(" ERROR:");
    const std::size_t to = r.out.find("is incomplete\n");
    ASSERT_NE(from, std::string::npos) << r.out;
    ASSERT_NE(to, std::string::npos) << r.out;
    EXPECT_EQ(r.out.substr(from, to + 14 - from), row.said);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.crd")));
  }
}
