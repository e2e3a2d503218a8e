// The statuses a caller tests by name.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "pipeline_fixture.h"

namespace {

// pdb_five_groups.pdb holds a ligand LIG the library lacks whose atoms lie
// apart: identification cannot build it, and the run says which residue,
// ends with the status named for it and writes nothing.
TEST(PipelineStatus, LigandInPiecesEndsWithItsOwnStatusAndNothingWritten) {
  TempDir dir;
  pipetest::Options o;
  o.in = pipetest::data("pdb_five_groups.pdb");
  const pipetest::Outcome r = pipetest::run(o, dir.path());
  EXPECT_EQ(r.ierr, pipeline::kNewMonomerNotConnected) << r.out;
  EXPECT_NE(r.out.find(" ERROR: monomer:LIG      is not completely connected."), std::string::npos) << r.out;
  EXPECT_FALSE(std::filesystem::exists(dir.file("out.crd")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("out.rst")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("new_lib.cif")));
}

// A file without CRYST1 read with a space group given (number 19) has a
// space group but no cell, reader status 7: the run reads on in that
// space group, as without one (status 9).
TEST(PipelineStatus, SpaceGroupWithoutCellReadsOn) {
  TempDir dir;
  pipetest::Options o;
  o.in = pipetest::data("pdb_no_cryst1.pdb");
  o.nospgr = 19;
  const pipetest::Outcome r = pipetest::run(o, dir.path());
  EXPECT_EQ(r.ierr, 0) << r.out;
  EXPECT_GT(r.nbond, 0);
  EXPECT_NE(file_text(dir.file("out.crd")).find("P 21 21 21"), std::string::npos);
}

// A copy of the test library whose ALA gives its N-CA bond the length
// "abc": the run stops at the library with status 1, a line naming the
// file, the monomer, the atoms and the item, and writes nothing.
TEST(PipelineStatus, LibraryValueThatIsNoNumberStopsTheRunAndNothingIsWritten) {
  TempDir dir;
  const std::string lib = dir.file("monlib");
  std::filesystem::copy(pipetest::library(), lib, std::filesystem::copy_options::recursive);
  std::string ala = file_text(lib + "/a/ALA.cif");
  ala.replace(ala.find("1.468 0.020"), 5, "abc  ");
  dir.write("monlib/a/ALA.cif", ala);
  pipetest::Options o;
  o.in = pipetest::data("1A8O.pdb");
  o.lib_dir = lib + "/";
  const pipetest::Outcome r = pipetest::run(o, dir.path());
  EXPECT_EQ(r.ierr, pipeline::kFailed) << r.out;
  EXPECT_NE(r.out.find(" ERROR: library file " + lib +
                       "/a/ALA.cif, monomer ALA, atoms N CA: _chem_comp_bond.value_dist \"abc\" "
                       "is not a number\n"),
            std::string::npos)
      << r.out;
  for (const char* f : {"out.crd", "out.rst", "out.str", "new_lib.cif", "out_MSE.ps"})
    EXPECT_FALSE(std::filesystem::exists(dir.file(f))) << f;
}

}  // namespace
