// Run start-up: switches, the environ.def and default.def files, and
// command-line pairs of logical name and file name.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "suite/library_f.h"
#include "suite/ptq7_general.h"
#include "suite_test_support.h"


namespace {

std::string env_of(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "<unset>";
}

class StartUp : public suite_test::SuiteTest {
 protected:
  void SetUp() override {
    SuiteTest::SetUp();
    for (const char* n : {"XYZIN", "XYZOUT", "XYZIN2", "TLSOUT", "SYMINFO", "ATOMSF", "FOO", "3",
                          "SCRATCH", "MONLIB", "CINCL", "HOME", "CLIBD", "PTQ7_SCR", "NEWNAME",
                          "LIBIN"})
      env.remember(n);
    env.set("CINCL", ORB_DATA_DIR);
    env.set("CLIBD", ORB_DATA_DIR);
    env.unset("SYMINFO");
    env.unset("ATOMSF");
    env.unset("XYZIN");
    env.unset("XYZOUT");
    env.unset("TLSOUT");
  }
  int run(std::vector<std::string> args) {
    args.insert(args.begin(), "/usr/local/bin/prog.exe");
    std::vector<const char*> argv;
    for (auto& a : args) argv.push_back(a.c_str());
    return ptq7fyp(static_cast<int>(argv.size()), argv.data());
  }
  TempDir dir;
};

TEST_F(StartUp, NoArgumentsReadsSiteFilesSilently) {
  Capture cap;
  EXPECT_EQ(run({}), 0);
  EXPECT_EQ(cap.out(), "");
  EXPECT_STREQ(ptq7ProgramName(nullptr), "prog");
  EXPECT_EQ(ptq7VerbosityLevel(-1), 1);
  EXPECT_EQ(env_of("SYMINFO"), std::string(ORB_DATA_DIR) + "/syminfo.lib");
  EXPECT_EQ(env_of("ATOMSF"), std::string(ORB_DATA_DIR) + "/atomsf.lib");
}

TEST_F(StartUp, LevelTwoReportsEachStage) {
  Capture cap;
  EXPECT_EQ(run({"-v", "2"}), 0);
  const std::string d = ORB_DATA_DIR;
  EXPECT_EQ(cap.out(), "Opening file \"" + d + "/environ.def\"\nOpening file \"" + d +
                           "/default.def\"\nProcessing Command Line Arguments\nEnd of "
                           "pre-processing stage\n");
}

TEST_F(StartUp, VerbosityNeedsOneDigitAfterTheSwitch) {
  Capture cap;
  EXPECT_EQ(run({"-v", "3"}), 0);
  EXPECT_EQ(ptq7VerbosityLevel(-1), 3);
  EXPECT_EQ(run({"-v", "12"}), 0);
  EXPECT_EQ(ptq7VerbosityLevel(-1), 1);
  EXPECT_EQ(run({"-h", "x"}), 0);
  EXPECT_EQ(ptq7VerbosityLevel(-1), 1);
  EXPECT_EQ(run({"-verbose", "4"}), 0);
  EXPECT_EQ(ptq7VerbosityLevel(-1), 4);
  EXPECT_EQ(run({"-v"}), 0);
  EXPECT_EQ(ptq7VerbosityLevel(-1), 1);
  EXPECT_EQ(run({"3", "x"}), 0);  // a digit without the switch is a logical name
  EXPECT_EQ(ptq7VerbosityLevel(-1), 1);
  EXPECT_EQ(env_of("3"), "x");
}

TEST_F(StartUp, UnrecognisedSwitchesAreReportedAndSkipped) {
  Capture cap;
  EXPECT_EQ(run({"-x", "-", "-nox", "TLSOUT", "t"}), 0);
  EXPECT_EQ(cap.out(), "Ignoring unrecognised switch \"-x\"\nIgnoring unrecognised switch \"-\"\n");
  EXPECT_EQ(env_of("TLSOUT"), "t.tls");
  EXPECT_EQ(run({"-nohtml", "-NOSUMMARY"}), 0);
  EXPECT_EQ(env_of("PTQ_SUPPRESS_HTML"), "1");
  EXPECT_EQ(env_of("PTQ_SUPPRESS_SUMMARY"), "1");
}

TEST_F(StartUp, InfoSwitchPrintsVersionsAndEndsWithZero) {
  ptq7_prog_vers("1.2");
  Capture cap;
  EXPECT_EQ(run_end_status([&] { run({"-i"}); }), 0);
  EXPECT_EQ(cap.out(),
            "PTQ7 software suite: library version 5.0\n"
            "PTQ7 software suite: patch level     5.0.2\n"
            "Program:             prog; version 1.2\n");
}

TEST_F(StartUp, MissingEnvironFileFailsTheRun) {
  env.set("CINCL", dir.path());
  Capture cap;
  EXPECT_EQ(run_end_status([] {
              const char* argv[] = {"/bin/tlsprog"};
              ptqfyp_(1, argv);
            }),
            1);
  const std::string head =
      ">>>>>> PTQ7 library signal ptq7_general:Cannot open environ.def\n"
      "\t raised in ptq7fyp <<<<<<\n tlsprog:  Cannot open environ.def\n";
  ASSERT_TRUE(cap.out().starts_with(head)) << cap.out();
  EXPECT_EQ(suite_test::digits_zeroed(cap.out().substr(head.size())), ptq7_times_line(0, 0, 0));
  EXPECT_EQ(cap.err(), " tlsprog:  Cannot open environ.def\n");
}

TEST_F(StartUp, MissingDefaultsFileIsAnError) {
  dir.write("environ.def", "XYZIN=in.pdb\n");
  env.set("CINCL", dir.path());
  Capture cap;
  EXPECT_EQ(run({}), 1);
  EXPECT_NE(cap.out().find("Cannot open default.def"), std::string::npos);
  EXPECT_EQ(ptq7_errno, ptq7_error_word(PTQ7_ERRNO_GENERAL, 0, 8));
}

TEST_F(StartUp, NoFilesSwitchReadsNeither) {
  env.set("CINCL", dir.path());
  Capture cap;
  EXPECT_EQ(run({"-n", "FOO", "bar.txt"}), 0);
  EXPECT_EQ(env_of("FOO"), "bar.txt");
  EXPECT_EQ(env_of("SYMINFO"), "<unset>");
}

TEST_F(StartUp, EnvironSwitchReenablesAndLooksInHome) {
  dir.write("my.def", "FOO=out.xyz\n");
  env.set("HOME", dir.path());
  env.set("CINCL", "/nonexistent");
  Capture cap;
  EXPECT_EQ(run({"-n", "-e", "my.def", "foo", "bar"}), 0);
  EXPECT_EQ(env_of("FOO"), "bar.xyz");
  EXPECT_EQ(run({"-e", "my.def", "-n", "foo", "baz"}), 0);
  EXPECT_EQ(env_of("FOO"), "baz.xyz");
}

TEST_F(StartUp, DefaultsSwitchTakesItsOwnFile) {
  const std::string defs = dir.write("d.def", "FOO /some/where.txt\n");
  Capture cap;
  EXPECT_EQ(run({"-d", defs}), 0);
  EXPECT_EQ(env_of("FOO"), "/some/where.txt");
}

TEST_F(StartUp, SwitchWithoutFileNameFails) {
  for (const char* sw : {"-e", "-d"}) {
    Capture cap;
    EXPECT_EQ(run({sw}), 1);
    EXPECT_NE(cap.out().find("ptq7_general:Use: " + std::string(sw) + " filename"),
              std::string::npos);
  }
}

TEST_F(StartUp, PairsSetFullFileNames) {
  const std::string pdb = dir.write("a.pdb", "END\n");
  dir.write("model.pdb", "END\n");
  Capture cap;
  EXPECT_EQ(run({"xyzin", pdb, "TLSOUT", "groups"}), 0);
  EXPECT_EQ(env_of("XYZIN"), pdb);
  EXPECT_EQ(env_of("TLSOUT"), "groups.tls");
  EXPECT_EQ(run({"XYZIN", dir.file("model")}), 0);  // input without extension takes the default
  EXPECT_EQ(env_of("XYZIN"), dir.file("model.pdb"));
  EXPECT_EQ(run({"XYZIN", "/dev/null", "TLSOUT", "NL:"}), 0);  // null names pass unchanged
  EXPECT_EQ(env_of("XYZIN"), "/dev/null");
  EXPECT_EQ(env_of("TLSOUT"), "NL:");
}

TEST_F(StartUp, LoneNameAfterPairsFails) {
  Capture cap;
  EXPECT_EQ(run({"TLSOUT", "t", "XYZIN"}), 1);
  EXPECT_NE(cap.out().find("Use: <logical name> <file name>"), std::string::npos);
}

TEST_F(StartUp, MissingInputFileIsReportedWithItsFullName) {
  Capture cap;
  EXPECT_EQ(run({"XYZIN", "/nonexistent/a"}), -1);
  EXPECT_EQ(cap.out(),
            "File: \"/nonexistent/a.pdb\"\nCannot be opened for reading\n"
            ">>>>>> PTQ7 library signal ptq7_general:Cannot find input file\n"
            "\t raised in ptq7setenv <<<<<<\n");
  Capture cap2;
  EXPECT_EQ(run({"XYZIN2", "/nonexistent/b"}), -1);  // the prefix pattern covers longer names
  EXPECT_NE(cap2.out().find("File: \"/nonexistent/b.pdb\""), std::string::npos);
}

TEST_F(StartUp, MissingInputFileEndsRunThroughEntry) {
  Capture cap;
  const int status = run_end_status([] {
    const char* argv[] = {"prog", "XYZIN", "/nonexistent/a.pdb"};
    ptqfyp_(3, argv);
  });
  EXPECT_EQ(status, 1);
  EXPECT_NE(cap.err().find("Last system error message"), std::string::npos);
  EXPECT_NE(cap.err().find(" prog:  Cannot find input file\n"), std::string::npos);
}

// A file that is there but is no readable input is not reported as missing:
// the message, the system error and the status of the run's end say which.
TEST_F(StartUp, InputDirectoryIsReportedAsADirectory) {
  const std::string d = dir.file("model.pdb");
  ASSERT_EQ(::mkdir(d.c_str(), 0755), 0);
  Capture cap;
  EXPECT_EQ(run({"XYZIN", d}), -1);
  EXPECT_EQ(cap.out(), "File: \"" + d + "\"\nCannot be opened for reading\n" +
                           ">>>>>> PTQ7 library signal ptq7_general:Input file is a directory\n"
                           "\t raised in ptq7setenv <<<<<<\n");
  Capture cap2;
  const int status = run_end_status([&] {
    const char* argv[] = {"prog", "XYZIN", d.c_str()};
    ptqfyp_(3, argv);
  });
  EXPECT_EQ(status, 1);
  EXPECT_NE(cap2.err().find("Last system error message: Is a directory\n"), std::string::npos);
  EXPECT_NE(cap2.err().find(" prog:  Input file is a directory\n"), std::string::npos);
}

// A name without extension takes the default one; where only the name as
// given exists, and is a directory, the run names that directory, not a
// missing file of the other name.  A file of the longer name still wins.
TEST_F(StartUp, DirectoryNamedWithoutExtensionIsReportedAsADirectory) {
  const std::string d = dir.file("model");
  ASSERT_EQ(::mkdir(d.c_str(), 0755), 0);
  const std::string said = "File: \"" + d + "\"\nCannot be opened for reading\n" +
                           ">>>>>> PTQ7 library signal ptq7_general:Input file is a directory\n"
                           "\t raised in ptq7setenv <<<<<<\n";
  {
    Capture cap;
    EXPECT_EQ(run({"XYZIN", d}), -1);
    EXPECT_EQ(cap.out(), said);
  }
  {
    Capture cap;
    EXPECT_EQ(run({"XYZIN", d + "/"}), -1) << "written with its slash";
    EXPECT_NE(cap.out().find("ptq7_general:Input file is a directory\n"), std::string::npos);
  }
  {
    Capture cap;
    EXPECT_EQ(run({"XYZIN", dir.file("absent")}), -1) << "neither name exists";
    EXPECT_NE(cap.out().find("File: \"" + dir.file("absent.pdb") + "\""), std::string::npos);
    EXPECT_NE(cap.out().find("Cannot find input file"), std::string::npos);
  }
  dir.write("model.pdb", "END\n");
  Capture cap;
  EXPECT_EQ(run({"XYZIN", d}), 0) << "the file with the extension added is read";
  EXPECT_EQ(env_of("XYZIN"), d + ".pdb");
}

TEST_F(StartUp, UnreadableInputIsReportedAsPermissionDenied) {
  const std::string f = dir.file("model.pdb");
  std::FILE* fp = std::fopen(f.c_str(), "w");
  ASSERT_NE(fp, nullptr);
  std::fclose(fp);
  ASSERT_EQ(::chmod(f.c_str(), 0), 0);
  ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);  // the file itself refuses, not its directory
  // The superuser reads any file: the check runs in a child that is not.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
    std::string out, err;
    int status = 0;
    {
      Capture cap;
      status = run_end_status([&] {
        const char* argv[] = {"prog", "XYZIN", f.c_str()};
        ptqfyp_(3, argv);
      });
      out = cap.out();
      err = cap.err();
    }
    const bool said =
        out.find("ptq7_general:Cannot read input file: permission denied\n") != std::string::npos &&
        err.find("Last system error message: Permission denied\n") != std::string::npos &&
        err.find(" prog:  Cannot read input file: permission denied\n") != std::string::npos;
    ::_exit(status == 1 && said ? 0 : 1);
  }
  int w = 0;
  ASSERT_EQ(::waitpid(child, &w, 0), child);
  ASSERT_TRUE(WIFEXITED(w));
  EXPECT_EQ(WEXITSTATUS(w), 0) << "1: wrong status or message; 3: could not leave the superuser";
}

TEST_F(StartUp, DefaultNeverReplacesASetVariable) {
  env.set("SYMINFO", "/my/own/syminfo.lib");
  Capture cap;
  EXPECT_EQ(run({}), 0);
  EXPECT_EQ(env_of("SYMINFO"), "/my/own/syminfo.lib");
  // The site file is an input file, so it must exist.
  EXPECT_EQ(run({"SYMINFO", ORB_DATA_DIR "/atomsf.lib"}), 0);
  EXPECT_EQ(env_of("SYMINFO"), ORB_DATA_DIR "/atomsf.lib");
}

TEST_F(StartUp, LibraryFilesGoToTheLibraryDirectory) {
  env.set("CLIBD", "/lib/dir");
  Capture cap;
  EXPECT_EQ(run({"MONLIB", "mon.lib"}), 0);
  EXPECT_EQ(env_of("MONLIB"), "/lib/dir/mon.lib");
  EXPECT_EQ(run({"MONLIB", "./mon.lib"}), 0);
  EXPECT_EQ(env_of("MONLIB"), "./mon.lib");
}

TEST_F(StartUp, LibraryFileWithoutLibraryDirectoryFails) {
  env.set("CINCL", dir.path());
  dir.write("environ.def", "");
  dir.write("default.def", "");
  env.unset("CLIBD");
  Capture cap;
  EXPECT_EQ(run({"MONLIB", "mon.dic"}), 1);
  EXPECT_EQ(cap.out(),
            ">>>>>> PTQ7 library signal ptq7_general:Cannot get CLIBD from environment\n"
            "\t raised in ptq7setenv <<<<<<\n"
            "Couldn't CLIBD from the environment - check setup\n");
}

TEST_F(StartUp, ScratchFilesAreNamedByProgramAndProcess) {
  env.set("PTQ7_SCR", "/scratch");
  Capture cap;
  EXPECT_EQ(run({"SCRATCH", "work"}), 0);
  char pid[16];
  std::snprintf(pid, sizeof pid, "%05d", static_cast<int>(::getpid() % 100000));
  EXPECT_EQ(env_of("SCRATCH"), std::string("/scratch/prog_work.") + pid);
  env.unset("PTQ7_SCR");
  EXPECT_EQ(run({"SCRATCH", "work"}), 1);
  EXPECT_NE(cap.out().find("Cannot get PTQ7_SCR from environment"), std::string::npos);
}

TEST_F(StartUp, EnvironLinesNeedThreeTokensWithText) {
  env.set("CINCL", dir.path());
  dir.write("default.def", "");
  dir.write("environ.def", "# comment\n\nONLY=two\nFOO=out.xyz.more\nLIBIN=in.cif");
  Capture cap;
  EXPECT_EQ(run({"foo", "a", "LIBIN", dir.file("missing")}), -1);
  EXPECT_EQ(env_of("FOO"), "a.xyz");
  // The last line had no newline and still keeps its whole extension.
  EXPECT_NE(cap.out().find("File: \"" + dir.file("missing.cif") + "\""), std::string::npos);
  EXPECT_NE(cap.out().find("Maximum number of tokens exceeded"), std::string::npos);
}

TEST_F(StartUp, SiteFileLineWithNullTokenFails) {
  env.set("CINCL", dir.path());
  for (const char* f : {"environ.def", "default.def"}) {
    dir.write("environ.def", "");
    dir.write(f, std::string(f) == "environ.def" ? "BAD==x\n" : "==X\n");
    Capture cap;
    EXPECT_EQ(run({}), -1);
    EXPECT_NE(cap.out().find("Cannot parse " + std::string(f) + " file"), std::string::npos);
  }
}

TEST_F(StartUp, TableHoldsAtMost149Names) {
  env.set("CINCL", dir.path());
  dir.write("default.def", "");
  std::string lines;
  for (int i = 0; i < 149; ++i) lines += 'N' + std::to_string(i) + "=out.x\n";
  dir.write("environ.def", lines);
  Capture cap;
  EXPECT_EQ(run({}), 0);
  // Every place is taken, so a new name finds no room.
  EXPECT_EQ(run({"NEWNAME", "v"}), 1);
  EXPECT_NE(cap.out().find("Maximum number of logical names exceeded"), std::string::npos);
  dir.write("environ.def", lines + "N149=out.x\n");
  EXPECT_EQ(run({}), 1);
  EXPECT_EQ(ptq7_errno, ptq7_error_word(PTQ7_ERRNO_GENERAL, 0, 3));
}

TEST_F(StartUp, NameOutsideTheTableIsAddedAsUndefined) {
  std::vector<Ptq7LogicalName> table;
  EXPECT_EQ(ptq7setenv("NEWNAME", "a/b.ext", table, 0), 0);
  ASSERT_EQ(table.size(), 1u);
  EXPECT_EQ(table[0].pattern, "NEWNAME");
  EXPECT_EQ(table[0].type, "undef");
  EXPECT_EQ(table[0].extension, "ext");
  EXPECT_EQ(env_of("NEWNAME"), "a/b.ext");
}

TEST_F(StartUp, TrailingBlanksOfArgumentsAreStripped) {
  Capture cap;
  EXPECT_EQ(run_end_status([&] {
              const char* argv[] = {"prog", "TLSOUT", "abc   "};
              ptqfyp_(3, argv);
            }),
            -1);
  EXPECT_EQ(env_of("TLSOUT"), "abc.tls");
}

TEST_F(StartUp, ArgumentLongerThanItsFieldEndsTheRun) {
  Capture cap;
  const std::string at_limit(500, 'x'), beyond(501, 'y');
  EXPECT_EQ(run_end_status([&] {
              const char* argv[] = {"prog", "XYZOUT", at_limit.c_str()};
              ptqfyp_(3, argv);
            }),
            -1);
  EXPECT_EQ(env_of("XYZOUT"), at_limit + ".pdb");
  EXPECT_EQ(run_end_status([&] {
              const char* argv[] = {"prog", "HKLOUT", beyond.c_str()};
              ptqfyp_(3, argv);
            }),
            1);
  EXPECT_NE(cap.out().find("Command-line argument 2 is longer than 500 characters\n"),
            std::string::npos);
}

TEST_F(StartUp, PutenvAndExistsRefuseNulls) {
  EXPECT_EQ(ptqputenv(nullptr, "x"), 0);
  EXPECT_EQ(ptqputenv("FOO", nullptr), 0);
  EXPECT_EQ(ptqputenv("FOO", "v"), 1);
  EXPECT_EQ(env_of("FOO"), "v");
  EXPECT_EQ(ptqexists(nullptr), 0);
  EXPECT_EQ(ptqexists("/nonexistent/file"), 0);
  EXPECT_EQ(ptqexists(ORB_DATA_DIR "/environ.def"), 1);
}

}  // namespace
