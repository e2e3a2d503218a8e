// The README's example program run as a user runs it: a separate process on
// a shipped entry with the test library, its status, and every file it
// wrote read back with the system's readers; the README's copy of it, and
// the command and file names the README gives.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <set>
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

// Runs a command line in `dir` with the example program on PATH.
int run_command(const TempDir& dir, const std::string& command, std::string& log) {
  const std::string program = ORB_EXAMPLE_PROGRAM;
  const std::string bin = program.substr(0, program.rfind('/'));
  const std::string file = dir.file("log.txt");
  const std::string cmd = "cd '" + dir.path() + "' && PATH='" + bin + "':\"$PATH\" && " + command +
                          " >'" + file + "' 2>&1";
  const int w = std::system(cmd.c_str());
  log = file_text(file);
  return WIFEXITED(w) ? WEXITSTATUS(w) : -1;
}

// Every regular file under `dir`, by name.
std::set<std::string> files_in(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    if (e.is_regular_file()) names.insert(e.path().filename().string());
  return names;
}

// The README's command line that runs the example, and the file names its
// next paragraph says the run writes.
struct ReadmeRun {
  std::string command, directory;
  std::set<std::string> files;
};

ReadmeRun readme_run() {
  const std::string readme = file_text(std::string(ORB_SOURCE_DIR) + "/README.md");
  ReadmeRun r;
  const std::string indent = "\n    ";
  const std::size_t at = readme.find(indent + "mkdir -p ");
  if (at == std::string::npos) return r;
  const std::size_t from = at + indent.size();
  r.command = readme.substr(from, readme.find('\n', from) - from);
  const std::string lead = "In `";
  const std::size_t para = readme.find("\n" + lead, from);
  if (para == std::string::npos) return r;
  const std::size_t name_from = para + 1 + lead.size();
  r.directory = readme.substr(name_from, readme.find('`', name_from) - name_from);
  const std::size_t end = readme.find("\n\n", para);
  const std::string text = readme.substr(para, end - para);
  for (std::size_t q = text.find('`', name_from - para + r.directory.size() + 1); q != std::string::npos;) {
    const std::size_t close = text.find('`', q + 1);
    if (close == std::string::npos) break;
    r.files.insert(text.substr(q + 1, close - q - 1));
    q = text.find('`', close + 1);
  }
  return r;
}

// A scratch copy of the top of the clone as the README's command sees it:
// tests/ reached through a link, an empty build/.
void clone_top(const TempDir& dir) {
  std::filesystem::create_directory_symlink(std::string(ORB_SOURCE_DIR) + "/tests", dir.file("tests"));
  std::filesystem::create_directory(dir.file("build"));
}

// The command the README gives, run from the top of the clone, writes
// exactly the files the README names, in the directory it names; and keeps
// out of the tracked tree.
TEST(ExampleProgram, ReadmeRunWritesTheFilesTheReadmeNames) {
  const ReadmeRun r = readme_run();
  ASSERT_FALSE(r.command.empty()) << "no command line `mkdir -p ...` in the README";
  ASSERT_EQ(r.directory.rfind("build/", 0), 0u) << r.directory << ": not in the ignored build directory";
  ASSERT_FALSE(r.files.empty());
  TempDir dir;
  clone_top(dir);
  std::string log;
  ASSERT_EQ(run_command(dir, r.command, log), 0) << log;
  EXPECT_EQ(files_in(dir.file(r.directory)), r.files) << log;
  EXPECT_NE(log.find(", and " + r.directory + "/new_lib.cif\n"), std::string::npos) << log;
  EXPECT_FALSE(std::filesystem::exists(dir.file("new_lib.cif"))) << "the new library goes beside the outputs";
}

// A later run that adds nothing to the library leaves the new library of an
// earlier run as it was, and does not say that it wrote one.
TEST(ExampleProgram, RunThatAddsNothingLeavesAnEarlierNewLibraryAlone) {
  TempDir dir;
  std::filesystem::create_directory(dir.file("sub"));
  std::string log;
  const std::string lib = " '" + library_without_slash() + "' sub/out";
  ASSERT_EQ(run_command(dir, "prepare_model '" + pipetest::data("1A8O.pdb") + "'" + lib, log), 0) << log;
  const std::string first = file_text(dir.file("sub/new_lib.cif"));
  ASSERT_NE(first.find("MSE"), std::string::npos);
  ASSERT_EQ(run_command(dir, "prepare_model '" + pipetest::data("disordered.pdb") + "'" + lib, log), 0) << log;
  EXPECT_EQ(log.find("new_lib"), std::string::npos) << log;
  EXPECT_EQ(file_text(dir.file("sub/new_lib.cif")), first);
}

// An output that cannot be opened after a new monomer's report was written
// ends the run with status 1; the finished report stays, whole, and nothing
// after it is written.
TEST(ExampleProgram, ReportFinishedBeforeALaterOutputFailsStaysWhole) {
  TempDir dir;
  std::filesystem::create_directory(dir.file("out.crd"));  // the coordinate file cannot be opened
  const Ran r = run_example(dir, pipetest::data("1A8O.pdb"), pipetest::library());
  EXPECT_EQ(r.status, 1) << r.log;
  const std::string report = file_text(dir.file("out_MSE.ps"));
  EXPECT_EQ(report.rfind("%%EOF"), report.size() - 6) << "report not whole";
  for (const char* f : {"out.str", "out.rst", "new_lib.cif"})
    EXPECT_FALSE(std::filesystem::exists(dir.file(f))) << f;
}

// A chain is called a ring only where one link joins its two ends to each
// other: the pieces of the README's entry, split at its selenomethionines
// and joined at both ends to the pieces either side, are none; a
// diketopiperazine written by hand, closed by a LINK record, is one.
TEST(ExampleProgram, OnlyAChainWhoseEndsAreJoinedToEachOtherIsCalledCyclic) {
  const struct {
    const char* label;
    const char* model;
    const char* warning;  // "" none
  } cases[] = {
      {"1A8O", "1A8O.pdb", ""},
      {"cyclo(Ala-Gly)", "pdb_cyclo_ala_gly.pdb", "  WARNING : chain AA   is cyclic ?\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TempDir dir;
    const Ran r = run_example(dir, pipetest::data(c.model), pipetest::library());
    EXPECT_EQ(r.status, 0) << r.log;
    std::size_t lines = 0;
    for (std::size_t at = r.log.find("is cyclic"); at != std::string::npos;
         at = r.log.find("is cyclic", at + 1))
      ++lines;
    EXPECT_EQ(lines, *c.warning == '\0' ? 0u : 1u) << r.log;
    if (*c.warning != '\0') {
      EXPECT_NE(r.log.find(c.warning), std::string::npos) << r.log;
      // Both peptide bonds of the ring of two residues are restrained, the
      // one the walk along the chain makes and the one that closes it.
      const std::string rst = file_text(dir.file("out.rst"));
      EXPECT_NE(rst.find("# link_'CIS     '_ALA______0001-_AA  -GLY______0002-_AA\n"),
                std::string::npos);
      EXPECT_NE(rst.find("# link_'CIS     '_GLY______0002-_AA  -ALA______0001-_AA\n"),
                std::string::npos);
    }
  }
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
