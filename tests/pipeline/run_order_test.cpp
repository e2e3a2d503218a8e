// A program may call the pipeline more than once: each run must write what
// it would write as the first run of its process.
#include <gtest/gtest.h>

#include <string>

#include "pipeline_fixture.h"

namespace {

std::string expected(const std::string& name) {
  return file_text(std::string(ORB_TEST_SOURCE_DIR) + "/expected/" + name);
}

// The entries run first leave torsions and their codes in residue slots that
// the small entry's residues use without setting (CB of every residue):
// those must come out unset, as in the files checked by hand.
TEST(RunOrder, SmallEntryWritesTheSameFilesAfterOtherRuns) {
  for (const char* first : {"1SSU_mod.pdb", "1A8O.pdb"}) {
    SCOPED_TRACE(first);
    TempDir before;
    pipetest::Options o;
    o.in = pipetest::data(first);
    pipetest::run(o, before.path());

    TempDir dir;
    o.in = pipetest::data("disordered.pdb");
    const pipetest::Outcome r = pipetest::run(o, dir.path());
    EXPECT_EQ(r.ierr, 0) << r.out;
    EXPECT_EQ(file_text(dir.file("out.str")), expected("disordered/out.str"));
    EXPECT_EQ(file_text(dir.file("out.rst")), expected("disordered/out.rst"));
    EXPECT_EQ(file_text(dir.file("out.crd")), expected("disordered/out.crd"));
  }
}

}  // namespace
