// The README's example program run as a user runs it: a separate process on
// a shipped entry with the test library, its status, and every file it
// wrote read back with the system's readers; and the README's copy of it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "output/str_read.h"
#include "pipeline/pipeline_fixture.h"
#include "support/temp_dir.h"

namespace {

struct Ran {
  int status = -1;
  std::string log;
};

// Runs the example in `dir` with `env` (assignments or "-u NAME") before it.
Ran run_example(const TempDir& dir, const std::string& model, const std::string& library,
                const std::string& env = "") {
  const std::string log = dir.file("log.txt");
  const std::string cmd = "cd '" + dir.path() + "' && env " + env + " '" + ORB_EXAMPLE_PROGRAM + "' '" + model +
                          "' '" + library + "' out >'" + log + "' 2>&1";
  const int w = std::system(cmd.c_str());
  Ran r;
  r.status = WIFEXITED(w) ? WEXITSTATUS(w) : -1;
  r.log = file_text(log);
  return r;
}

// The library directory given as a user might type it, without its '/'.
std::string library_without_slash() {
  std::string lib = pipetest::library();
  while (!lib.empty() && lib.back() == '/') lib.pop_back();
  return lib;
}

// nag_chain (the four N-acetylglucosamines of a_structure): identification
// renames each through RENAME rows that the restraint stage meets again as
// modifications the library lacks, which must not make the status say that
// anything failed.
TEST(ExampleProgram, EntryWithSugarsEndsWithStatus0AndItsFilesReadBack) {
  TempDir dir;
  const Ran r = run_example(dir, pipetest::data("nag_chain.pdb"), library_without_slash());
  ASSERT_EQ(r.status, 0) << r.log;
  EXPECT_NE(r.log.find("prepare_model: out.crd, out.str and out.rst written"), std::string::npos) << r.log;
  const std::string base = dir.file("out");
  EXPECT_EQ(pipetest::read_coordinates(base), 0);
  EXPECT_GE(atom_inf.n_atom, 56) << "every atom of the four sugars";
  std::vector<pipetest::Restraint> rows;
  ASSERT_TRUE(pipetest::read_restraints(base, rows));
  EXPECT_GT(rows.size(), 100u);
  int32_t ierr = 0;
  rt::FixedText<256> path("");
  captured([&] { read_str_(0, path.ref(), base, "str", ierr); });
  rt::close_all_units();
  EXPECT_EQ(ierr, 0);
}

// Without the symmetry library the run is refused before it reads or
// writes anything, and says which variable to set.
TEST(ExampleProgram, RunWithoutSymmetryLibraryFailsAndSaysWhy) {
  TempDir dir;
  const Ran r = run_example(dir, pipetest::data("disordered.pdb"), pipetest::library(), "-u SYMINFO -u PTQ7");
  EXPECT_EQ(r.status, 1) << r.log;
  EXPECT_NE(r.log.find("set SYMINFO"), std::string::npos) << r.log;
  EXPECT_EQ(r.log.find("written"), std::string::npos) << r.log;
  for (const char* f : {"out.crd", "out.str", "out.rst"}) EXPECT_FALSE(std::filesystem::exists(dir.file(f))) << f;
}

// The README shows the program whole, in the fenced block after the line
// that names its file: the two must not drift apart.
TEST(ExampleProgram, ReadmeQuotesTheProgramWhole) {
  const std::string readme = file_text(std::string(ORB_SOURCE_DIR) + "/README.md");
  const std::string program = file_text(std::string(ORB_SOURCE_DIR) + "/examples/prepare_model.cpp");
  ASSERT_FALSE(program.empty());
  const std::size_t named = readme.find("`examples/prepare_model.cpp`");
  ASSERT_NE(named, std::string::npos);
  const std::string fence = "```cpp\n";
  const std::size_t open = readme.find(fence, named);
  ASSERT_NE(open, std::string::npos);
  const std::size_t from = open + fence.size();
  const std::size_t close = readme.find("```\n", from);
  ASSERT_NE(close, std::string::npos);
  EXPECT_EQ(readme.substr(from, close - from), program);
}

}  // namespace
