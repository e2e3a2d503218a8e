// A monomer the library lacks is built from its instance with the most
// atoms, found by the name the residue will have.  The first model: residues 1
// and 2 of DNA chain B of 1LCD (heavy atoms), both named "A", in each
// spelling of the nucleotide atoms.  The test library holds "A" but not the
// deoxy or ribo form the residues are renamed to ("Ad" by the PDB reader,
// "Ar" by identification on the mmCIF road), so the monomer is built, and
// from residue 2: residue 1 is a 5' end without a phosphate.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "model_text.h"
#include "pipeline_fixture.h"
#include "restraint_sets.h"

namespace {

using modeltext::Atom;

std::vector<Atom> dna_named_a(bool older) {
  std::vector<Atom> atoms;
  for (Atom a : modeltext::atoms_of("1LCD.pdb", 'B', 1, 2)) {
    if (a.element == "H") continue;
    a.res = "A";
    if (older) {
      for (char& c : a.name)
        if (c == '\'') c = '*';
      if (a.name == "OP1") a.name = "O1P";
      if (a.name == "OP2") a.name = "O2P";
    }
    atoms.push_back(a);
  }
  return atoms;
}

// The restraints with the residue's deoxy or ribo name made one.
rsets::Restraints unnamed(const rsets::Restraints& all) {
  static const std::regex name(" A[dr] ");
  rsets::Restraints out;
  for (const std::string& k : all) out.insert(std::regex_replace(k, name, " A? "));
  return out;
}

}  // namespace

// Both roads describe the monomer from residue 2: status 0, every atom of
// both residues in a bond restraint (the phosphate of residue 2 too, which
// a description of residue 1 lacks), the same restraints from both forms,
// and again on the written coordinates.
TEST(FullestInstance, OneLetterNucleotideIsBuiltWithItsPhosphateOnBothRoads) {
  for (const bool older : {false, true}) {
    SCOPED_TRACE(older ? "O5*, O1P" : "O5', OP1");
    const std::vector<Atom> atoms = dna_named_a(older);
    TempDir models;
    rsets::ModelRun p, c, again;
    rsets::run_model(models.write("a.pdb", modeltext::pdb_atoms(atoms) + "END\n"), p);
    rsets::run_model(models.write("a.cif", modeltext::cif_model(atoms, {})), c);
    rsets::run_model(c.dir.path() + "/out.crd", again);
    EXPECT_EQ(c.out.new_lib, 'Y');
    std::set<std::string> bonded;
    for (const std::string& k : c.restraints) {
      if (!k.starts_with("BOND | ")) continue;
      const std::size_t first = 7, second = k.find(" | ", first) + 3;
      bonded.insert(k.substr(first, second - 3 - first));
      bonded.insert(k.substr(second, k.find(" | ", second) - second));
    }
    const std::vector<std::string> written = rsets::written_atoms(c.dir.path() + "/out");
    EXPECT_EQ(written.size(), atoms.size());
    for (const std::string& a : written) EXPECT_TRUE(bonded.count(a)) << a << " has no bond";
    rsets::expect_same("PDB and mmCIF forms", unnamed(p.restraints), unnamed(c.restraints));
    rsets::expect_same("on the written coordinates", c.restraints, again.restraints);
  }
}

namespace {

// The angle a-b-c of three model atoms, in degrees.
double angle_at(const Atom& a, const Atom& b, const Atom& c) {
  const double u[3] = {a.x - b.x, a.y - b.y, a.z - b.z}, w[3] = {c.x - b.x, c.y - b.y, c.z - b.z};
  const double uw = u[0] * w[0] + u[1] * w[1] + u[2] * w[2];
  const double uu = u[0] * u[0] + u[1] * u[1] + u[2] * u[2],
               ww = w[0] * w[0] + w[1] * w[1] + w[2] * w[2];
  return std::acos(uw / std::sqrt(uu * ww)) * 180.0 / M_PI;
}

}  // namespace

// Of instances equally full the first is taken: the four selenomethionines
// of 1A8O (151, 185, 214, 215) hold their eight heavy atoms each, and the
// description is MSE 151's.  Its measured values, checked against the
// model: angle CB-CG-SE 115.424 (MSE 215 has 114.045) and the torsions
// O-C-CA-CB, C-CA-CB-CG and CA-CB-CG-SE of 46.216, 58.581 and 58.737 as the
// description signs them (from MSE 215: -95.720, 166.848, -174.916).
TEST(FullestInstance, FirstOfEquallyFullInstancesDescribesTheMonomer) {
  TempDir dir;
  const pipetest::Outcome r = pipetest::run_model(pipetest::data("1A8O.pdb"), dir.path());
  ASSERT_EQ(r.ierr, 0) << r.out;
  ASSERT_EQ(r.new_lib, 'Y');
  const std::string lib = file_text(dir.file("new_lib.cif"));
  for (const char* line :
       {" MSE      CB     CG     SE      115.424    3.000\n",
        " MSE      var_1    O      C      CA     CB        46.216   20.000   1\n",
        " MSE      var_3    C      CA     CB     CG        58.581   20.000   3\n",
        " MSE      var_4    CA     CB     CG     SE        58.737   20.000   1\n"})
    EXPECT_NE(lib.find(line), std::string::npos) << line << lib;
  for (const int num : {151, 185, 214, 215}) {
    std::vector<Atom> mse = modeltext::atoms_of("1A8O.pdb", 'A', num, num);
    EXPECT_EQ(mse.size(), 8u) << num;
    const double cb_cg_se =
        angle_at(modeltext::named(mse, num, "CB"), modeltext::named(mse, num, "CG"),
                 modeltext::named(mse, num, "SE"));
    EXPECT_EQ(std::fabs(cb_cg_se - 115.424) < 0.001, num == 151) << num << ": " << cb_cg_se;
  }
}
