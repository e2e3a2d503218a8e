// A run on an mmCIF entry, the model it leaves written as a PDB file, and a
// run on that file: the names the mmCIF reader keeps carry no PDB column, and
// the PDB file must put each where the PDB reader takes it back as the same
// atom (water hydrogens as hydrogens, not as a second and third oxygen).
#include <gtest/gtest.h>

#include <string>

#include "foundation/atom_com.h"
#include "output/pdb_writer.h"
#include "pipeline_fixture.h"
#include "runtime/units.h"

TEST(WrittenPdb, RunOnTheTablesOfAnMmcifRunRestrainsTheSameModel) {
  TempDir dir;
  pipetest::Options o;
  o.in = pipetest::data("cif_1LCD.cif");
  const pipetest::Outcome first = pipetest::run(o, dir.path());
  ASSERT_EQ(first.ierr, 0) << first.out;
  char h = 'Y', seg = 'N';
  rt::FixedText<256> path(""), ext("");
  int32_t ierr = 0;
  const std::string pdb = dir.path() + "/tables.pdb";
  captured([&] { write_atoms_pdb_(0, h, 'N', seg, path.ref(), pdb, ext.ref(), ierr); });
  rt::close_all_units();
  ASSERT_EQ(ierr, 0);
  TempDir again;
  o.in = pdb;
  const pipetest::Outcome second = pipetest::run(o, again.path());
  ASSERT_EQ(second.ierr, 0) << second.out;
  EXPECT_EQ(second.out.find("duplicated atom_name"), std::string::npos);
  EXPECT_EQ(second.nbond, first.nbond);
  EXPECT_EQ(second.nangl, first.nangl);
  EXPECT_EQ(second.nchir, first.nchir);
  EXPECT_EQ(second.nplan, first.nplan);
}
