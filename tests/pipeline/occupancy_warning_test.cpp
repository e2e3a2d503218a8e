// Atoms that the restraint stage leaves out for their occupancy (0.001 or
// less) are counted in one warning of the run, and written all the same.
// The models: 1A8O, whose LYS 203 holds CD, CE and NZ at occupancy 0.00,
// and 1UBI (683 atoms, every monomer in the library) with every occupancy
// 0.00, 0.001 or -99.00 (as some structure-alignment programs write them):
// a model without an atom of occupancy has none at all, and a value below 0
// is no occupancy.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "pipeline_fixture.h"

namespace {

using pipetest::Outcome;

// The entry with the occupancy columns of every atom record replaced.
std::string every_occupancy(const std::string& entry, const std::string& columns) {
  std::string text = file_text(pipetest::data(entry));
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find('\n', at);
    if ((text.compare(at, 4, "ATOM") == 0 || text.compare(at, 6, "HETATM") == 0) && end - at >= 60)
      text.replace(at + 54, 6, columns);
    at = end == std::string::npos ? text.size() : end + 1;
  }
  return text;
}

std::size_t count_of(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

constexpr const char* kWarning =
    " atoms of occupancy 0.001 or less are left out of the restraints\n";
constexpr const char* kEveryAtomZero =
    "  WARNING: every atom has occupancy 0 (0.001 or less): the file gives no occupancies, each "
    "atom is read as 1.0\n";

}  // namespace

TEST(OccupancyWarning, UnoccupiedAtomsAreCountedOnceAndKept) {
  const struct {
    const char* label;
    const char* entry;
    int atoms;
    const char* occupancy;  // columns 55-60 of every atom, "" as the entry has them
    const char* warning;    // "" none
    bool restrained;
    int ierr = 0;
    bool read_as_one = false;  // every occupancy taken as 1.0, with its warning
  } rows[] = {
      {"1A8O: three atoms of LYS 203 at 0.00", "1A8O.pdb", 644, "", "  WARNING : 3", true},
      {"1UBI as it is", "1ubi.pdb", 683, "", "", true},
      {"1UBI, every atom at 0.00: read as 1.0", "1ubi.pdb", 683, "  0.00", "", true, 0, true},
      {"1UBI, every atom at 0.001, the bound itself: read as 1.0", "1ubi.pdb", 683, " 0.001", "",
       true, 0, true},
      {"1UBI, every atom at -99.00: refused", "1ubi.pdb", 683, "-99.00", "", false, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TempDir models, dir;
    const std::string model =
        *row.occupancy == '\0' ? pipetest::data(row.entry)
                               : models.write("m.pdb", every_occupancy(row.entry, row.occupancy));
    const Outcome r = pipetest::run_model(model, dir.path());
    EXPECT_EQ(r.ierr, row.ierr) << r.out;
    EXPECT_EQ(count_of(r.out, kEveryAtomZero), row.read_as_one ? 1u : 0u) << r.out;
    if (row.ierr != 0) {
      EXPECT_FALSE(std::filesystem::exists(dir.file("out.crd")));
      continue;
    }
    if (*row.warning != '\0') {
      EXPECT_EQ(count_of(r.out, std::string(row.warning) + kWarning), 1u) << r.out;
      // Before the residues are walked, after the title block.
      EXPECT_LT(r.out.find(" PDB_date:"), r.out.find(kWarning));
    }
    EXPECT_EQ(count_of(r.out, kWarning), *row.warning != '\0' ? 1u : 0u) << r.out;
    EXPECT_EQ(r.nbond > 0, row.restrained) << r.nbond;
    // Every atom written, with the occupancy it was read with.
    ASSERT_EQ(pipetest::read_coordinates(dir.file("out")), 0);
    EXPECT_EQ(atom_inf.n_atom, row.atoms);
    int unoccupied = 0;
    for (int ia = 1; ia <= atom_inf.n_atom; ++ia) unoccupied += atom_crd.occup(ia) <= 0.001f;
    EXPECT_EQ(unoccupied,
              *row.warning != '\0' ? std::stoi(std::string(row.warning).substr(12)) : 0);
  }
}

// A run on this system's own coordinate file: an atom that a run marked
// missing (calc_flag "M", occupancy 0.00) is left out for that, and is not
// counted among the unoccupied ones; the same atom at 0.00 unmarked is.
TEST(OccupancyWarning, AtomsMarkedMissingAreNotCountedAsUnoccupied) {
  TempDir first;
  ASSERT_EQ(pipetest::run_model(pipetest::data("1ubi.pdb"), first.path()).ierr, 0);
  const std::string written = file_text(first.file("out.crd"));
  // The first atom row: "     1 N      . MET ... 1.00  <B> N    ."
  const std::size_t row = written.find("\n     1 N ");
  ASSERT_NE(row, std::string::npos);
  const std::size_t end = written.find('\n', row + 1);
  const std::size_t occ = written.find(" 1.00 ", row);
  ASSERT_LT(occ, end);
  ASSERT_EQ(written[end - 1], '.');
  for (const char flag : {'M', '.'}) {
    SCOPED_TRACE(std::string("calc_flag ") + flag);
    std::string text = written;
    text.replace(occ, 6, " 0.00 ");
    text[end - 1] = flag;
    TempDir models, dir;
    const Outcome r = pipetest::run_model(models.write("m.cif", text), dir.path());
    EXPECT_EQ(count_of(r.out, kWarning), flag == 'M' ? 0u : 1u) << r.out;
    if (flag == '.') {
      EXPECT_NE(r.out.find("  WARNING : 1" + std::string(kWarning)), std::string::npos);
    }
  }
}
