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

}  // namespace
