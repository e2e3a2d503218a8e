// An occupancy column that holds no occupancy: a value below 0 (a PQR
// file's charge) ends the run with status 1 and an ERROR naming the first
// such atom; a model whose every atom has occupancy 0 (OpenMM's PDBx
// writer) has no occupancies either, and its atoms are read as 1.0 with one
// WARNING.  The model: MET 1, GLN 2 and ILE 3 of 1UBI, 25 atoms, in both
// file forms.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "model_text.h"
#include "pipeline_fixture.h"

namespace {

using modeltext::Atom;

std::size_t count_of(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

std::vector<Atom> three_residues() { return modeltext::atoms_of("1ubi.pdb", 'A', 1, 3); }

// The model as a file, with the occupancy of the second atom (CA of MET 1)
// written as `ca` (as the file form writes it) and that of every other atom
// as `others`.
std::string model_text(bool cif, float others, const std::string& ca) {
  std::vector<Atom> atoms = three_residues();
  for (Atom& a : atoms) a.occ = others;
  std::string text = cif ? modeltext::cif_model(atoms, {}) : modeltext::pdb_atoms(atoms);
  const std::size_t row = cif ? text.find("\nATOM 2 ") + 1 : text.find('\n') + 1;
  const std::size_t end = text.find('\n', row);
  std::string line = text.substr(row, end - row);
  if (cif) {
    const std::size_t b = line.rfind(" 20.00 ");
    const std::size_t o = line.rfind(' ', b - 1);
    line.replace(o + 1, b - o - 1, ca);
  } else {
    line.replace(54, 6, ca);
  }
  return text.replace(row, end - row, line);
}

constexpr const char* kNoOccupancy =
    ": the occupancy column holds no occupancy (as a PQR file's charges do)\n";
constexpr const char* kEveryAtomZero =
    "  WARNING: every atom has occupancy 0 (0.001 or less): the file gives no occupancies, each "
    "atom is read as 1.0\n";
constexpr const char* kLeftOut = " atoms of occupancy 0.001 or less are left out of the restraints";

}  // namespace

TEST(OccupancyColumn, OccupancyBelowZeroEndsTheRunNamingTheFirstSuchAtom) {
  const struct {
    const char* label;
    bool cif;
    const char* ca;
    int32_t ierr;
    const char* error;  // "" none
  } rows[] = {
      {"PDB, CA at -0.001", false, "-0.001", 1,
       "  ERROR: occupancy below 0 (-0.001) in PDB atom record, line 2"},
      {"PDB, CA at -0.57", false, " -0.57", 1,
       "  ERROR: occupancy below 0 (-0.57) in PDB atom record, line 2"},
      {"PDB, CA at 0", false, "  0.00", 0, ""},
      {"mmCIF, CA at -0.001", true, "-0.001", 1,
       "  ERROR: occupancy below 0 (-0.001) of atom 2, row at line 21"},
      {"mmCIF, CA at 0", true, "0.0", 0, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TempDir models, dir;
    const std::string text = model_text(row.cif, 1.0f, row.ca);
    const pipetest::Outcome r =
        pipetest::run_model(models.write(row.cif ? "m.cif" : "m.pdb", text), dir.path());
    EXPECT_EQ(r.ierr, row.ierr) << r.out;
    EXPECT_EQ(std::filesystem::exists(dir.file("out.crd")), row.ierr == 0);
    EXPECT_EQ(count_of(r.out, kEveryAtomZero), 0u) << r.out;
    if (*row.error == '\0') {
      EXPECT_EQ(count_of(r.out, "ERROR"), 0u) << r.out;
      EXPECT_EQ(count_of(r.out, "  WARNING : 1" + std::string(kLeftOut)), 1u) << r.out;
      continue;
    }
    EXPECT_EQ(count_of(r.out, "ERROR"), 1u) << r.out;
    // The PDB record follows as the file gives it.
    const std::string record =
        row.cif ? "" : " " + pipetest::lines_of(text)[1].substr(0, 80) + "\n";
    EXPECT_NE(r.out.find(std::string(row.error) + kNoOccupancy + record), std::string::npos)
        << r.out;
  }
}

TEST(OccupancyColumn, EveryAtomAtZeroIsReadAsOneWhereOneAtomAtHalfKeepsThemAll) {
  TempDir first_dir;
  const pipetest::Outcome whole =
      pipetest::run_model(TempDir().write("m.pdb", model_text(false, 1.0f, "  1.00")), first_dir.path());
  ASSERT_EQ(whole.ierr, 0) << whole.out;
  ASSERT_GT(whole.nbond, 20);
  const struct {
    const char* label;
    bool cif;
    const char* ca;
    bool read_as_one;
    const char* left_out;  // the count of the warning on atoms left out, "" none
  } rows[] = {
      {"PDB, every atom at 0", false, "  0.00", true, ""},
      {"PDB, every atom at 0 but CA at 0.5", false, "  0.50", false, "  WARNING : 24"},
      {"mmCIF, every atom at 0.0 as OpenMM writes it", true, "0.0", true, ""},
      {"mmCIF, every atom at 0 but CA at 0.5", true, "0.5", false, "  WARNING : 24"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TempDir models, dir;
    const pipetest::Outcome r = pipetest::run_model(
        models.write(row.cif ? "m.cif" : "m.pdb", model_text(row.cif, 0.0f, row.ca)), dir.path());
    EXPECT_EQ(r.ierr, 0) << r.out;
    EXPECT_EQ(count_of(r.out, kEveryAtomZero), row.read_as_one ? 1u : 0u) << r.out;
    EXPECT_EQ(count_of(r.out, kLeftOut), *row.left_out == '\0' ? 0u : 1u) << r.out;
    if (*row.left_out != '\0') {
      EXPECT_EQ(count_of(r.out, row.left_out + std::string(kLeftOut)), 1u) << r.out;
    }
    // Read as 1.0, the model is restrained as with its occupancies given;
    // with one atom at 0.5 only the restraints on that atom alone remain.
    if (row.read_as_one) {
      EXPECT_EQ(r.nbond, whole.nbond);
      EXPECT_EQ(r.nangl, whole.nangl);
    } else {
      EXPECT_LT(r.nbond, 2);
    }
    ASSERT_EQ(pipetest::read_coordinates(dir.file("out")), 0);
    int at_one = 0;
    for (int ia = 1; ia <= atom_inf.n_atom; ++ia) at_one += atom_crd.occup(ia) == 1.0f;
    EXPECT_EQ(at_one, row.read_as_one ? 25 : 0);
  }
}
