// A run with a user library beside the main one: a monomer the user
// library describes only minimally is described anew, and the run says that
// the new library must be looked at before the next one.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "foundation/atom_com.h"
#include "pipeline_fixture.h"

namespace {

// XET, an ethyl group bound to an oxygen (C1-C2-O3), with its atoms, tree
// and two bonds but no angles: a minimal description.  The lengths are the
// usual single-bond values C-C 1.53 and C-O 1.43 A (Allen et al., J. Chem.
// Soc. Perkin Trans. 2, 1987, S1-S19).
constexpr const char* kUserLibrary =
    "global_\n"
    "_lib_name         user\n"
    "_lib_version      1.0\n"
    "data_comp_list\n"
    "loop_\n"
    "_chem_comp.id\n"
    "_chem_comp.three_letter_code\n"
    "_chem_comp.name\n"
    "_chem_comp.group\n"
    "_chem_comp.number_atoms_all\n"
    "_chem_comp.number_atoms_nh\n"
    "_chem_comp.desc_level\n"
    "XET  XET  'ETHOXY' non-polymer  3  3 .\n"
    "data_comp_XET\n"
    "loop_\n"
    "_chem_comp_atom.comp_id\n"
    "_chem_comp_atom.atom_id\n"
    "_chem_comp_atom.type_symbol\n"
    "_chem_comp_atom.type_energy\n"
    "_chem_comp_atom.partial_charge\n"
    "_chem_comp_atom.x\n"
    "_chem_comp_atom.y\n"
    "_chem_comp_atom.z\n"
    "XET  C1  C  CH3  0.000  0.000  0.000  0.000\n"
    "XET  C2  C  CH2  0.000  1.530  0.000  0.000\n"
    "XET  O3  O  OH1  0.000  2.000  1.350  0.000\n"
    "loop_\n"
    "_chem_comp_tree.comp_id\n"
    "_chem_comp_tree.atom_id\n"
    "_chem_comp_tree.atom_back\n"
    "_chem_comp_tree.atom_forward\n"
    "_chem_comp_tree.connect_type\n"
    "XET  C1  n/a  C2  START\n"
    "XET  C2  C1   O3  .\n"
    "XET  O3  C2   .   END\n"
    "loop_\n"
    "_chem_comp_bond.comp_id\n"
    "_chem_comp_bond.atom_id_1\n"
    "_chem_comp_bond.atom_id_2\n"
    "_chem_comp_bond.type\n"
    "_chem_comp_bond.value_dist\n"
    "_chem_comp_bond.value_dist_esd\n"
    "XET  C1  C2  single  1.530  0.020\n"
    "XET  C2  O3  single  1.430  0.020\n";

TEST(PipelineUserLibrary, AMinimalDescriptionOfTheUserLibraryIsMadeAnew) {
  TempDir dir;
  const std::string lib = dir.write("user.cif", kUserLibrary);
  const std::string pdb = dir.write(
      "xet.pdb",
      "CRYST1   30.000   30.000   30.000  90.00  90.00  90.00 P 1                    \n"
      "HETATM    1  C1  XET A   1      10.000  10.000  10.000  1.00 20.00           C\n"
      "HETATM    2  C2  XET A   1      11.530  10.000  10.000  1.00 20.00           C\n"
      "HETATM    3  O3  XET A   1      12.000  11.350  10.000  1.00 20.00           O\n"
      "END\n");
  pipetest::Options o;
  o.in = pdb;
  o.lib2 = lib;
  const pipetest::Outcome r = pipetest::run(o, dir.path());
  EXPECT_EQ(r.ierr, 0) << r.out;
  EXPECT_EQ(r.new_lib, 'Y') << r.out;
  EXPECT_EQ(r.fstop, 'Y') << r.out;
  EXPECT_NE(r.out.find("has the minimal description"), std::string::npos) << r.out;
  // Nothing else is new: the status that asks for a look at the new
  // library comes from the user library's monomer alone.
  const std::string lib_out = file_text(dir.file("new_lib.cif"));
  EXPECT_NE(lib_out.find("data_comp_XET"), std::string::npos) << lib_out;
  EXPECT_NE(lib_out.find("_chem_comp_angle"), std::string::npos) << "the new description has its angle";
  EXPECT_EQ(lib_out.find("data_link_"), std::string::npos) << lib_out;
}

// XHN, a methylamine of the user whose nitrogen holds two hydrogens named
// HH11 and H11H; C-N 1.47 and N-H 1.01 A (Allen et al., J. Chem. Soc.
// Perkin Trans. 2, 1987, S1-S19), tetrahedral angles.  A PDB file that
// writes HH11 from the first column is read as H11H by the correction of
// old-style names; the monomer holds that name too, so the correction
// stands and the model's atom is H11H.
constexpr const char* kTwoSpellings =
    "global_\n"
    "_lib_name         user\n"
    "_lib_version      1.0\n"
    "data_comp_list\n"
    "loop_\n"
    "_chem_comp.id\n"
    "_chem_comp.three_letter_code\n"
    "_chem_comp.name\n"
    "_chem_comp.group\n"
    "_chem_comp.number_atoms_all\n"
    "_chem_comp.number_atoms_nh\n"
    "_chem_comp.desc_level\n"
    "XHN  XHN  'METHYLAMINE' non-polymer  4  2 .\n"
    "data_comp_XHN\n"
    "loop_\n"
    "_chem_comp_atom.comp_id\n"
    "_chem_comp_atom.atom_id\n"
    "_chem_comp_atom.type_symbol\n"
    "_chem_comp_atom.type_energy\n"
    "_chem_comp_atom.partial_charge\n"
    "_chem_comp_atom.x\n"
    "_chem_comp_atom.y\n"
    "_chem_comp_atom.z\n"
    "XHN  C1    C  CH3  0.000  0.000  0.000  0.000\n"
    "XHN  N1    N  NT2  0.000  1.470  0.000  0.000\n"
    "XHN  HH11  H  H    0.000  1.807  0.952  0.000\n"
    "XHN  H11H  H  H    0.000  1.807 -0.476  0.825\n"
    "loop_\n"
    "_chem_comp_tree.comp_id\n"
    "_chem_comp_tree.atom_id\n"
    "_chem_comp_tree.atom_back\n"
    "_chem_comp_tree.atom_forward\n"
    "_chem_comp_tree.connect_type\n"
    "XHN  C1    n/a  N1   START\n"
    "XHN  N1    C1   .    .\n"
    "XHN  HH11  N1   .    .\n"
    "XHN  H11H  N1   .    END\n"
    "loop_\n"
    "_chem_comp_bond.comp_id\n"
    "_chem_comp_bond.atom_id_1\n"
    "_chem_comp_bond.atom_id_2\n"
    "_chem_comp_bond.type\n"
    "_chem_comp_bond.value_dist\n"
    "_chem_comp_bond.value_dist_esd\n"
    "XHN  C1    N1    single  1.470  0.020\n"
    "XHN  N1    HH11  single  1.010  0.020\n"
    "XHN  N1    H11H  single  1.010  0.020\n";

TEST(PipelineUserLibrary, AMonomerHoldingBothSpellingsKeepsTheCorrectedName) {
  TempDir dir;
  pipetest::Options o;
  o.lib2 = dir.write("user.cif", kTwoSpellings);
  o.in = dir.write(
      "xhn.pdb",
      "CRYST1   30.000   30.000   30.000  90.00  90.00  90.00 P 1                    \n"
      "HETATM    1  C1  XHN A   1      10.000  10.000  10.000  1.00 20.00           C\n"
      "HETATM    2  N1  XHN A   1      11.470  10.000  10.000  1.00 20.00           N\n"
      "HETATM    3 HH11 XHN A   1      11.807  10.952  10.000  1.00 20.00           H\n"
      "END\n");
  const pipetest::Outcome r = pipetest::run(o, dir.path());
  ASSERT_EQ(r.ierr, 0) << r.out;
  ASSERT_EQ(pipetest::read_coordinates(dir.file("out")), 0);
  std::vector<std::string> names;
  for (int ia = 1; ia <= atom_inf.n_atom; ++ia) names.push_back(std::string(atom_inf.atm_name(ia).trimmed()));
  EXPECT_EQ(names, (std::vector<std::string>{"C1", "N1", "H11H"}));
}

// A bond length of the user library that is no number stops the run at the
// library, as one of the main library does: status 1, a line naming the
// file, the monomer, the atoms and the item, and no file written.  One with
// its uncertainty is read.
TEST(PipelineUserLibrary, ABondLengthThatIsNoNumberStopsTheRun) {
  const std::string xet_pdb =
      "CRYST1   30.000   30.000   30.000  90.00  90.00  90.00 P 1                    \n"
      "HETATM    1  C1  XET A   1      10.000  10.000  10.000  1.00 20.00           C\n"
      "HETATM    2  C2  XET A   1      11.530  10.000  10.000  1.00 20.00           C\n"
      "HETATM    3  O3  XET A   1      12.000  11.350  10.000  1.00 20.00           O\n"
      "END\n";
  std::string damaged = kUserLibrary;
  damaged.replace(damaged.find("1.530  0.020"), 5, "abc  ");
  TempDir dir;
  pipetest::Options o;
  o.in = dir.write("xet.pdb", xet_pdb);
  o.lib2 = dir.write("user.cif", damaged);
  const pipetest::Outcome r = pipetest::run(o, dir.path());
  EXPECT_EQ(r.ierr, pipeline::kFailed) << r.out;
  EXPECT_NE(r.out.find("ERROR: library file " + o.lib2 +
                       ", monomer XET, atoms C1 C2: _chem_comp_bond.value_dist \"abc\" is not a "
                       "number\n"),
            std::string::npos)
      << r.out;
  for (const char* f : {"out.crd", "out.rst", "out.str", "new_lib.cif"})
    EXPECT_FALSE(std::filesystem::exists(dir.file(f))) << f;

  std::string with_su = kUserLibrary;
  with_su.replace(with_su.find("1.530  0.020"), 12, "1.530(4) 0.020");
  TempDir dir2;
  o.in = dir2.write("xet.pdb", xet_pdb);
  o.lib2 = dir2.write("user.cif", with_su);
  const pipetest::Outcome r2 = pipetest::run(o, dir2.path());
  EXPECT_EQ(r2.ierr, 0) << r2.out;
  EXPECT_EQ(r2.out.find("ERROR: library file"), std::string::npos) << r2.out;
}

}  // namespace
