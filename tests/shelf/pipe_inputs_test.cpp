// Models given as a shell gives them, through a pipe (`<(zcat model.gz)`,
// `zcat model.gz | prepare_model /dev/stdin`): each program reads them as
// the file itself, though it opens its input more than once.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "prepare_process.h"

#ifdef ORB_PREPARE_MODEL
TEST(PipeInputs, BothProgramsReadAPipeAsTheFileItself) {
  for (const char* entry : {"1A8O.pdb", "cif_1A8O.cif", "1d3z.pdb"}) {
    const std::string path = pipetest::data(entry), lib = " '" + pipetest::library() + "' out";
    TempDir plain, tls;
    ASSERT_EQ(shelftest::run_prepare(path, plain).status, 0);
    ASSERT_EQ(shelftest::run_orbinate(path, tls).status, 0);
    // Run by bash, whose is `<(...)`; a run that waits for ever is stopped.
    const struct {
      std::string command;
      const TempDir& same_as;
    } runs[] = {{"timeout 60 '" ORB_PREPARE_MODEL "' <(cat '" + path + "')" + lib, plain},
                {"cat '" + path + "' | timeout 60 '" ORB_PREPARE_MODEL "' /dev/stdin" + lib, plain},
                {"timeout 60 '" ORB_ORBINATE "' XYZIN <(cat '" + path +
                     "') TLSOUT groups.tls <<<$'TLS GROUP CHAIN\\nEND'",
                 tls},
                // The model on standard input after its keywords, given there
                // or in a keyword file named by the stream's first line.
                {"{ printf 'TLS GROUP CHAIN\\nEND\\n'; cat '" + path + "'; } | timeout 60 '" ORB_ORBINATE
                 "' XYZIN /dev/stdin TLSOUT groups.tls",
                 tls},
                {"printf 'TLS GROUP CHAIN\\nEND\\n' >keywords && { echo @keywords; cat '" + path +
                     "'; } | timeout 60 '" ORB_ORBINATE "' XYZIN /dev/stdin TLSOUT groups.tls",
                 tls},
                // The symmetry library too, which each program opens more
                // than once (to check it whole, then to load the group).
                {"SYMINFO=<(cat \"$SYMINFO\") timeout 60 '" ORB_PREPARE_MODEL "' '" + path + "'" + lib,
                 plain},
                {"SYMINFO=<(cat \"$SYMINFO\") timeout 60 '" ORB_ORBINATE "' XYZIN '" + path +
                     "' TLSOUT groups.tls <<<$'TLS GROUP CHAIN\\nEND'",
                 tls}};
    for (const auto& run : runs) {
      SCOPED_TRACE(run.command);
      TempDir piped;
      piped.write("run.sh", "cd '" + piped.path() + "' && " + run.command + " >log.txt 2>&1\n");
      const int w = std::system(("bash '" + piped.file("run.sh") + "'").c_str());
      const std::string log = file_text(piped.file("log.txt"));
      EXPECT_TRUE(WIFEXITED(w) && WEXITSTATUS(w) == 0) << log;
      // orbinate writes no space group: its log tells one lost.
      EXPECT_EQ(log.find("Failed to find spacegroup"), std::string::npos) << log;
      for (const char* f :
           {"out.crd", "out.str", "out.rst", "new_lib.cif", "out_MSE.ps", "groups.tls"})
        EXPECT_TRUE(file_text(piped.file(f)) == file_text(run.same_as.file(f))) << f << " differs";
    }
  }
}

// A model on standard input without keywords before it is read as keyword
// lines, which leave the model empty: the run is refused for that, before
// it names a type for the empty file.
TEST(PipeInputs, ModelOnStandardInputWithoutKeywordsIsRefusedAsEmpty) {
  TempDir piped;
  piped.write("run.sh", "cd '" + piped.path() + "' && cat '" + pipetest::data("1A8O.pdb") +
                            "' | timeout 60 '" ORB_ORBINATE
                            "' XYZIN /dev/stdin TLSOUT groups.tls >log.txt 2>&1\n");
  const int w = std::system(("bash '" + piped.file("run.sh") + "'").c_str());
  const std::string log = file_text(piped.file("log.txt"));
  EXPECT_TRUE(WIFEXITED(w) && WEXITSTATUS(w) == 1) << log;
  EXPECT_NE(log.find("Line not understood and ignored: ATOM "), std::string::npos) << log;
  EXPECT_NE(log.find("\n  ERROR: input file is empty\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("file type ="), std::string::npos) << log;
  EXPECT_FALSE(std::filesystem::exists(piped.file("groups.tls")));
}
#endif
