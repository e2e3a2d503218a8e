// Whole runs on 1A8O as other programs write it: models counted from 0,
// atom lines cut after their coordinates, an atom list without
// occupancies.  Each gives the restraints of the archive's own file.  And
// 1A8O damaged: two residues at one number without a cell, a control byte
// at the end of a cut line, each ending the run with its status and nothing
// written.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/atom_com.h"
#include "model_text.h"
#include "pipeline_fixture.h"

namespace {

using pipetest::data;
using pipetest::Outcome;

bool begins(const std::string& s, const char* p) { return s.rfind(p, 0) == 0; }
bool is_atom(const std::string& l) { return begins(l, "ATOM") || begins(l, "HETATM"); }

std::vector<std::string> lines(const std::string& path) {
  return pipetest::lines_of(file_text(path));
}

std::string joined(const std::vector<std::string>& ls) {
  std::string s;
  for (const std::string& l : ls) s += l + "\n";
  return s;
}

// The words of an mmCIF atom row (1A8O's rows hold no quoted values).
std::vector<std::string> words(const std::string& l) {
  std::istringstream in(l);
  std::vector<std::string> w;
  for (std::string x; in >> x;) w.push_back(x);
  return w;
}

std::string unwords(const std::vector<std::string>& w) {
  std::string s;
  for (const std::string& x : w) s += (s.empty() ? "" : " ") + x;
  return s;
}

// What a run read and restrained.
struct Counts {
  int32_t ierr = -1;
  int atoms = 0;
  int32_t bonds = 0, angles = 0, torsions = 0, chirals = 0, planes = 0;
  bool operator==(const Counts&) const = default;
};

std::ostream& operator<<(std::ostream& o, const Counts& c) {
  return o << "status " << c.ierr << ", " << c.atoms << " atoms, " << c.bonds << " bonds, "
           << c.angles << " angles, " << c.torsions << " torsions, " << c.chirals << " chirals, "
           << c.planes << " planes";
}

Counts run_counts(const std::string& model) {
  TempDir dir;
  const Outcome r = pipetest::run_model(model, dir.path());
  Counts c{r.ierr, 0, r.nbond, r.nangl, r.ntors, r.nchir, r.nplan};
  if (r.ierr == 0 && pipetest::read_coordinates(dir.file("out")) == 0) c.atoms = atom_inf.n_atom;
  return c;
}

// 1A8O.pdb with its atom records written twice, as models 0 and 1 of a
// simulation program, the second moved by 0.3 A.
std::string pdb_models_from_0() {
  std::vector<std::string> in = lines(data("1A8O.pdb")), atoms, out;
  for (const std::string& l : in)
    if (is_atom(l)) atoms.push_back(l);
  bool done = false;
  for (const std::string& l : in) {
    if (!is_atom(l)) {
      out.push_back(l);
      continue;
    }
    if (done) continue;
    done = true;
    out.push_back("MODEL        0");
    out.insert(out.end(), atoms.begin(), atoms.end());
    out.push_back("ENDMDL");
    out.push_back("MODEL        1");
    for (std::string a : atoms) {
      char x[16];
      std::snprintf(x, sizeof x, "%8.3f", std::stod(a.substr(30, 8)) + 0.3);
      out.push_back(a.replace(30, 8, x));
    }
    out.push_back("ENDMDL");
  }
  return joined(out);
}

// cif_1A8O.cif with its atom rows under model 0, then again under model 1.
std::string cif_models_from_0() {
  std::vector<std::string> out, second;
  for (const std::string& l : lines(data("cif_1A8O.cif"))) {
    if (!is_atom(l)) {
      if (!second.empty()) {
        out.insert(out.end(), second.begin(), second.end());
        second.clear();
      }
      out.push_back(l);
      continue;
    }
    std::vector<std::string> w = words(l);
    w.back() = "0";
    out.push_back(unwords(w));
    w.back() = "1";
    w[1] = std::to_string(std::stoi(w[1]) + 1000);
    second.push_back(unwords(w));
  }
  return joined(out);
}

// 1A8O.pdb with every atom line cut after its coordinates (column 54), or
// with every occupancy written 1.00 (three atoms of the entry have 0).
std::string pdb_cut_after_coordinates() {
  std::vector<std::string> out;
  for (std::string l : lines(data("1A8O.pdb"))) out.push_back(is_atom(l) ? l.substr(0, 54) : l);
  return joined(out);
}

std::string pdb_occupancies_one() {
  std::vector<std::string> out;
  for (std::string l : lines(data("1A8O.pdb")))
    out.push_back(is_atom(l) ? l.replace(54, 6, "  1.00") : l);
  return joined(out);
}

// cif_1A8O.cif with the occupancy item left out, or with `mark` written
// for every occupancy.
std::string cif_occupancy(const std::string& mark) {
  std::vector<std::string> out;
  int item = -1, k = 0;
  for (const std::string& l : lines(data("cif_1A8O.cif"))) {
    if (begins(l, "_atom_site.")) {
      if (begins(l, "_atom_site.occupancy ")) {
        item = k;
        if (mark.empty()) continue;
      }
      ++k;
    } else if (is_atom(l) && item >= 0) {
      std::vector<std::string> w = words(l);
      if (mark.empty()) w.erase(w.begin() + item);
      else w[static_cast<std::size_t>(item)] = mark;
      out.push_back(unwords(w));
      continue;
    }
    out.push_back(l);
  }
  return joined(out);
}

}  // namespace

// mdtraj, GROMACS and OpenMM count models from 0: only the first model is
// read, whatever its number, so the run restrains 1A8O's atoms once and
// finds no bond between two models.
TEST(WriterForms, ModelsCountedFromZeroGiveTheFirstModelsRestraints) {
  const Counts pdb = run_counts(data("1A8O.pdb"));
  const Counts cif = run_counts(data("cif_1A8O.cif"));
  ASSERT_EQ(pdb.ierr, 0);
  ASSERT_EQ(pdb.atoms, 644);
  ASSERT_GT(pdb.bonds, 0);
  TempDir files;
  EXPECT_EQ(run_counts(files.write("models.pdb", pdb_models_from_0())), pdb);
  EXPECT_EQ(run_counts(files.write("models.cif", cif_models_from_0())), cif);
}

// A missing occupancy is 1: atom lines cut after their coordinates, and an
// mmCIF atom list without occupancies or with "?" for each, give the
// restraints of the full file with every occupancy 1.00.
TEST(WriterForms, MissingOccupancyKeepsEveryAtomRestrained) {
  TempDir files;
  const Counts pdb = run_counts(files.write("one.pdb", pdb_occupancies_one()));
  const Counts cif = run_counts(files.write("one.cif", cif_occupancy("1.00")));
  ASSERT_EQ(pdb.atoms, 644);
  ASSERT_GT(pdb.bonds, run_counts(data("1A8O.pdb")).bonds);
  ASSERT_EQ(cif, pdb);
  EXPECT_EQ(run_counts(files.write("cut.pdb", pdb_cut_after_coordinates())), pdb);
  EXPECT_EQ(run_counts(files.write("no_occupancy.cif", cif_occupancy(""))), cif);
  EXPECT_EQ(run_counts(files.write("unknown_occupancy.cif", cif_occupancy("?"))), cif);
}

// Residue 153 of 1A8O numbered 152, as ASP 152 before it: the run ends with
// status 6 and its message, and writes nothing, whether or not the file
// gives its cell.
TEST(WriterForms, TwoResiduesAtOneNumberEndTheRunWithOrWithoutACell) {
  for (const bool cell : {true, false}) {
    SCOPED_TRACE(cell ? "with CRYST1" : "without CRYST1, SCALE, ORIGX");
    std::vector<std::string> out;
    for (std::string l : lines(data("1A8O.pdb"))) {
      if (!cell && (begins(l, "CRYST1") || begins(l, "SCALE") || begins(l, "ORIGX"))) continue;
      if (is_atom(l) && l.substr(17, 10) == "ILE A 153 ") l.replace(22, 4, " 152");
      out.push_back(l);
    }
    TempDir dir;
    const Outcome r = pipetest::run_model(dir.write("same_number.pdb", joined(out)), dir.path());
    EXPECT_EQ(r.ierr, 6) << r.out;
    EXPECT_NE(r.out.find(" ERROR: in chain A residue: 152, given 2 times\n        different "
                         "residues have the same number\n"),
              std::string::npos)
        << r.out;
    for (const char* f : {"out.crd", "out.str", "out.rst", "new_lib.cif"})
      EXPECT_FALSE(std::filesystem::exists(dir.file(f))) << f;
  }
}

// An atom line of 1A8O cut after column 66 with a NUL byte in column 65, or
// in column 66: refused as the same byte inside a full line is.
TEST(WriterForms, ControlByteAtTheEndOfACutLineIsRefused) {
  for (const int column : {65, 66}) {
    SCOPED_TRACE("NUL in column " + std::to_string(column));
    std::vector<std::string> out;
    for (std::string l : lines(data("1A8O.pdb"))) {
      if (begins(l, "ATOM    209 ")) {
        l.resize(66);
        l[static_cast<std::size_t>(column - 1)] = '\0';
      }
      out.push_back(l);
    }
    TempDir dir;
    const Outcome r = pipetest::run_model(dir.write("nul.pdb", joined(out)), dir.path());
    EXPECT_EQ(r.ierr, 1) << r.out;
    EXPECT_NE(r.out.find("  ERROR: wrong number in PDB atom record:\n"), std::string::npos)
        << r.out;
    for (const char* f : {"out.crd", "out.str", "out.rst", "new_lib.cif"})
      EXPECT_FALSE(std::filesystem::exists(dir.file(f))) << f;
  }
}

// ALA-LYS of chain A and two waters labelled by chain and number (A2601,
// A2602), as gemmi labels the ligands and waters of a PDB file without
// SEQRES: the labels agree in their first four characters, and the run
// gives the restraints of the same file with the waters labelled B and C.
TEST(WriterForms, LabelsLongerThanFourCharactersGiveTheRestraintsOfShortOnes) {
  TempDir files;
  std::string short_labels = file_text(data("cif_label_long.cif"));
  for (const char* l : {"A2601", "A2602"})
    short_labels.replace(short_labels.find(l), 5, l[4] == '1' ? "B    " : "C    ");
  const Counts plain = run_counts(files.write("short.cif", short_labels));
  ASSERT_EQ(plain.ierr, 0);
  ASSERT_EQ(plain.bonds, 13);
  EXPECT_EQ(run_counts(data("cif_label_long.cif")), plain);
}

namespace {

// The tab-separated rows of Open Babel's mmCIF: serial, element, atom,
// residue, entity and number on one line, the coordinates on the next.
std::vector<modeltext::Atom> obabel_atoms(const std::string& text) {
  std::vector<modeltext::Atom> atoms;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) {
    std::istringstream w(l);
    std::string serial, element, name, res, entity;
    int num = 0;
    if (l.empty() || l[0] != '\t' || !(w >> serial >> element >> name >> res >> entity >> num)) continue;
    modeltext::Atom a;
    a.record = "ATOM", a.name = name, a.res = res, a.chain = "A", a.element = element, a.num = num;
    std::getline(in, l);
    std::istringstream(l) >> a.x >> a.y >> a.z;
    atoms.push_back(a);
  }
  return atoms;
}

}  // namespace

// CYS 4 to LEU 6 of the first two models of 1AS5 as Open Babel writes the
// entry's mmCIF: one data block, no chain label, no author's chain, each
// model's atoms after the other's.  LEU 6 of the second model lies on that
// of the first (atoms within 0.5 A): the blank chain holds it twice, and
// the run ends with status 6 naming it and writes nothing, as on the same
// rows with a chain label and on their PDB form.
TEST(WriterForms, TwoModelsInOneUnlabelledChainAreRefusedAsInTheOtherForms) {
  const std::string obabel = file_text(data("peers/modified_prolines/1AS5_cys4_leu6_obabel.cif"));
  const std::vector<modeltext::Atom> atoms = obabel_atoms(obabel);
  ASSERT_EQ(atoms.size(), 78u);
  std::string labelled;
  for (const std::string& l : lines(data("peers/modified_prolines/1AS5_cys4_leu6_obabel.cif"))) {
    std::string row = l;
    if (l == "_atom_site.label_comp_id") row += "\n_atom_site.label_asym_id";
    if (l.size() > 1 && l[0] == '\t' && std::count(l.begin(), l.end(), '\t') == 6)
      row.insert(row.rfind('\t', row.rfind('\t') - 1), "\tA");
    labelled += row + "\n";
  }
  const std::string pdb = "CRYST1    1.000    1.000    1.000  90.00  90.00  90.00 P 1           1\n" +
                          modeltext::pdb_atoms(atoms) + "END\n";
  const struct {
    const char* label;
    const char* file;
    const std::string& text;
    const char* line;
  } forms[] = {
      {"Open Babel's mmCIF", "obabel.cif", obabel,
       " ERROR: in chain   residue:   6, given 2 times\n"},
      {"with a chain label", "labelled.cif", labelled,
       " ERROR: in chain A residue:   6, given 2 times\n"},
      {"PDB form", "two_models.pdb", pdb, " ERROR: in chain A residue:   6, given 2 times\n"},
  };
  for (const auto& f : forms) {
    SCOPED_TRACE(f.label);
    TempDir dir;
    const Outcome r = pipetest::run_model(dir.write(f.file, f.text), dir.path());
    EXPECT_EQ(r.ierr, 6) << r.out;
    EXPECT_NE(r.out.find(std::string(f.line) + "        different residues have the same number\n"),
              std::string::npos)
        << r.out;
    for (const char* out : {"out.crd", "out.str", "out.rst", "new_lib.cif"})
      EXPECT_FALSE(std::filesystem::exists(dir.file(out))) << out;
  }
}

