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

}  // namespace
