// Opening numbered units on logical names: free units, status and type
// words, the log lines, scratch and null files, and the three failure modes.
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "runtime/units.h"
#include "suite/library_f.h"
#include "suite_test_support.h"


namespace {

class UnitOpening : public suite_test::SuiteTest {
 protected:
  void SetUp() override {
    SuiteTest::SetUp();
    for (const char* n : {"TLSOUT", "XYZIN", "SCRTEST", "NULLOUT", "DIRECT", "data"})
      env.remember(n);
    env.unset("data");
  }
  // Runs f with the working directory set to the scratch directory.
  template <typename F>
  void in_dir(F&& f) {
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    f();
    std::filesystem::current_path(old);
  }
  TempDir dir;
};

const std::string OPEN_LOG_HTML_BEGIN = "<B><FONT COLOR=\"#FF0000\"><!--SUMMARY_BEGIN-->\n";
const std::string OPEN_LOG_HTML_END = "<!--SUMMARY_END--></FONT></B>\n";

TEST_F(UnitOpening, FreeUnitIsLowestFromSevenAndOpenIsLogged) {
  env.set("TLSOUT", dir.file("t.tls"));
  int32_t iun = 0, ifail = 0;
  Capture cap;
  ptqdpn_(iun, "TLSOUT", "UNKNOWN", "F", 0, ifail);
  EXPECT_EQ(iun, 7);
  EXPECT_EQ(ifail, 0);
  EXPECT_TRUE(rt::unit_is_open(7));
  EXPECT_EQ(cap.out(), "\nFORMATTED      UNKNOWN file opened on unit   7\n" + OPEN_LOG_HTML_BEGIN +
                           "Logical name: TLSOUT, Filename: " + dir.file("t.tls") + "\n" +
                           OPEN_LOG_HTML_END + "\n");
  int32_t second = 0;
  ifail = -1;
  env.set("SCRTEST", dir.file("s.tmp"));
  ptqdpn_(second, "SCRTEST", "SCRATCH", "U", 0, ifail);
  EXPECT_EQ(second, 8);
}

TEST_F(UnitOpening, NegativeFailFlagOpensSilently) {
  env.set("TLSOUT", dir.file("t.tls"));
  int32_t iun = 0, ifail = -1;
  Capture cap;
  ptqdpn_(iun, "TLSOUT", "UNKNOWN", "F", 0, ifail);
  EXPECT_EQ(cap.out(), "");
  EXPECT_EQ(ifail, 0);
  EXPECT_TRUE(rt::unit_is_open(iun));
}

TEST_F(UnitOpening, VerbosityZeroLeavesOnlyTheMarkers) {
  env.set("PTQ_SUPPRESS_HTML", "1");
  env.set("TLSOUT", dir.file("t.tls"));
  ptq7VerbosityLevel(0);
  int32_t iun = 0, ifail = 0;
  Capture cap;
  ptqdpn_(iun, "TLSOUT", "new", "f", 0, ifail);
  EXPECT_EQ(cap.out(), "<!--SUMMARY_BEGIN-->\n<!--SUMMARY_END-->\n");
}

TEST_F(UnitOpening, UnsetLogicalNameIsTheFileName) {
  in_dir([&] {
    int32_t iun = 0, ifail = -1;
    ptqdpn_(iun, "XYZTEST", "NEW", "F", 0, ifail);
    rt::unit_close(iun);
  });
  EXPECT_TRUE(std::filesystem::exists(dir.file("XYZTEST")));
}

TEST_F(UnitOpening, PreconnectedNamesOpenNothing) {
  for (const char* name : {"TERMINAL", "DATA", "PRINTER", "TERM"}) {
    int32_t iun = 9, ifail = 5;
    Capture cap;
    ptqdpn_(iun, name, "OLD", "F", 0, ifail);
    EXPECT_EQ(ifail, 5) << name;
    EXPECT_FALSE(rt::unit_is_open(9)) << name;
    EXPECT_EQ(cap.out(), "") << name;
  }
  in_dir([&] {
    int32_t iun = 9, ifail = -1;
    ptqdpn_(iun, "data", "NEW", "F", 0, ifail);
    EXPECT_TRUE(rt::unit_is_open(9));
  });
  EXPECT_TRUE(std::filesystem::exists(dir.file("data")));
}

TEST_F(UnitOpening, ScratchFileLeavesNothingBehind) {
  env.set("SCRTEST", dir.file("s.tmp"));
  int32_t iun = 0, ifail = 0;
  Capture cap;
  ptqdpn_(iun, "SCRTEST", "SCRATCH", "F", 0, ifail);
  EXPECT_FALSE(std::filesystem::exists(dir.file("s.tmp")));
  EXPECT_EQ(rt::write_record(iun, "still writable"), 0);
  EXPECT_NE(cap.out().find("FORMATTED      SCRATCH file opened on unit   7"), std::string::npos);
}

TEST_F(UnitOpening, IllegalStatusEndsTheRunWithCallersWord) {
  env.set("PTQ_SUPPRESS_HTML", "1");
  env.set("PTQ_SUPPRESS_SUMMARY", "1");
  int32_t iun = 7, ifail = 1;
  Capture cap;
  EXPECT_EQ(run_end_status([&] { ptqdpn_(iun, "TLSOUT", "Append", "F", 0, ifail); }), 1);
  EXPECT_EQ(cap.out(), " PTQ7:   PTQDPN: illegal status : Append\n");
}

TEST_F(UnitOpening, StatusWordComparesFirstEightCharacters) {
  env.set("TLSOUT", dir.write("t.tls", "x\n"));
  int32_t iun = 0, ifail = -1;
  ptqdpn_(iun, "TLSOUT", "readonlyXYZ", "F", 0, ifail);
  EXPECT_TRUE(rt::unit_is_open(iun));
  EXPECT_EQ(run_end_status([&] {
              Capture cap;
              int32_t u = 0, f = -1;
              ptqdpn_(u, "TLSOUT", "OLDX", "F", 0, f);
            }),
            1);
}

TEST_F(UnitOpening, IllegalTypeEndsTheRun) {
  env.set("PTQ_SUPPRESS_HTML", "1");
  env.set("PTQ_SUPPRESS_SUMMARY", "1");
  int32_t iun = 7, ifail = 1;
  Capture cap;
  EXPECT_EQ(run_end_status([&] { ptqdpn_(iun, "TLSOUT", "NEW", "X", 0, ifail); }), 1);
  EXPECT_EQ(cap.out(), " PTQ7:   PTQDPN: illegal type: X\n");
}

TEST_F(UnitOpening, NullDeviceNames) {
  env.set("NULLOUT", "NL:");
  int32_t iun = 0, ifail = 0;
  Capture cap;
  ptqdpn_(iun, "NULLOUT", "NEW", "F", 0, ifail);
  EXPECT_EQ(ifail, 0);
  EXPECT_EQ(rt::unit_file_name(iun), "/dev/null");
  // A NEW open of the null device is made as UNKNOWN.
  EXPECT_NE(cap.out().find("FORMATTED      UNKNOWN file opened"), std::string::npos);
  EXPECT_NE(cap.out().find("Filename: /dev/null"), std::string::npos);
  in_dir([&] {
    env.set("NULLOUT", "NL:x");
    int32_t u = 0, f = -1;
    ptqdpn_(u, "NULLOUT", "NEW", "F", 0, f);
  });
  EXPECT_TRUE(std::filesystem::exists(dir.file("NL:x")));
}

TEST_F(UnitOpening, ReportedFailureReturnsMinusOne) {
  env.set("XYZIN", "/nonexistent/x.pdb");
  int32_t iun = 0, ifail = 1;
  Capture cap;
  ptqdpn_(iun, "XYZIN", "OLD", "F", 0, ifail);
  EXPECT_EQ(ifail, -1);
  const std::string& out = cap.out();
  const std::string head =
      " **PTQOPN ERROR**  FORMATTED      OLD     file open failure on unit   7\n"
      " Logical name: XYZIN, File name: /nonexistent/x.pdb\n ";
  EXPECT_EQ(out.substr(0, head.size()), head);
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3);
}

TEST_F(UnitOpening, FatalFailureNamesUnitAndFile) {
  env.set("PTQ_SUPPRESS_HTML", "1");
  env.set("PTQ_SUPPRESS_SUMMARY", "1");
  env.set("XYZIN", "/nonexistent/x.pdb");
  int32_t iun = 12, ifail = 0;
  Capture cap;
  EXPECT_EQ(run_end_status([&] { ptqdpn_(iun, "XYZIN", "READONLY", "F", 0, ifail); }), 1);
  EXPECT_EQ(cap.out(),
            " Open failed: Unit:  12, File: /nonexistent/x.pdb (logical: XYZIN)\n"
            " PTQ7:   Open failed: File: /nonexistent/x.pdb\n");
}

TEST_F(UnitOpening, SilentOpenFailureIsFatalToo) {
  env.set("XYZIN", "/nonexistent/x.pdb");
  int32_t iun = 0, ifail = -1;
  Capture cap;
  EXPECT_EQ(run_end_status([&] { ptqdpn_(iun, "XYZIN", "OLD", "F", 0, ifail); }), 1);
}

TEST_F(UnitOpening, NegativeUnitAndFlagFailSilently) {
  env.set("XYZIN", "/nonexistent/x.pdb");
  int32_t iun = -7, ifail = -1;
  Capture cap;
  ptqdpn_(iun, "XYZIN", "OLD", "F", 0, ifail);
  EXPECT_EQ(ifail, -1);
  EXPECT_EQ(cap.out(), "");
}

TEST_F(UnitOpening, DirectRecordLengthIsInWords) {
  env.set("DIRECT", dir.file("d.bin"));
  int32_t iun = 0, ifail = -1;
  ptqdpn_(iun, "DIRECT", "NEW", "DU", 10, ifail);
  EXPECT_EQ(rt::write_direct(iun, 2, "abc"), 0);
  rt::unit_close(iun);
  EXPECT_EQ(std::filesystem::file_size(dir.file("d.bin")), 80u);
}

TEST_F(UnitOpening, InvalidCodesReportedOrFatal) {
  int32_t ifail = 1;
  {
    Capture cap;
    ptqopn_(7, "TLSOUT", 7, 1, 0, ifail);
    EXPECT_EQ(ifail, -1);
    EXPECT_EQ(cap.out(), " **PTQOPN ERROR** Invalid parameters in call\n\n");
  }
  ifail = 0;
  Capture cap;
  EXPECT_EQ(run_end_status([&] { ptqopn_(7, "TLSOUT", 1, 5, 0, ifail); }), 1);
  EXPECT_NE(cap.out().find("**PTQOPN ERROR** Invalid parameters in call"), std::string::npos);
}

TEST_F(UnitOpening, NewOnExistingFileUnlessOpenPolicySaysUnknown) {
  const std::string f = dir.write("exists.tls", "old\n");
  env.set("TLSOUT", f);
  int32_t iun = 0, ifail = 2;
  ptqdpn_(iun, "TLSOUT", "NEW", "F", 0, ifail);
  EXPECT_EQ(ifail, -1);
  env.set("PTQ7_OPEN", "UNKNOWN");
  iun = 0;
  ifail = -1;
  Capture cap;
  ptqdpn_(iun, "TLSOUT", "NEW", "F", 0, ifail);
  EXPECT_EQ(ifail, 0);
  EXPECT_TRUE(rt::unit_is_open(iun));
}

TEST_F(UnitOpening, BlankNameIsFatal) {
  env.set("PTQ_SUPPRESS_HTML", "1");
  env.set("PTQ_SUPPRESS_SUMMARY", "1");
  int32_t iun = 7, ifail = 1;
  Capture cap;
  EXPECT_EQ(run_end_status([&] { ptqdpn_(iun, "        ", "OLD", "F", 0, ifail); }), 1);
  EXPECT_EQ(cap.out(), " PTQ7:   Open failed on unit    7: PTQOPN has received a blank filename.\n");
}

TEST_F(UnitOpening, EnvironmentCompanions) {
  env.set("TLSOUT", "/a/b.tls");
  rt::FixedText<12> value;
  ugtenv_("TLSOUT   ", value);
  EXPECT_EQ(value.view(), "/a/b.tls    ");
  ugtenv_("NOSUCHNAME", value);
  EXPECT_EQ(value.view(), "            ");
  env.set("TLSOUT", ORB_DATA_DIR "/environ.def");
  EXPECT_TRUE(ptqexs_("TLSOUT"));
  EXPECT_TRUE(ptqexs_(ORB_DATA_DIR "/default.def"));
  EXPECT_FALSE(ptqexs_("/nonexistent/file"));
}

TEST_F(UnitOpening, SystemErrorText) {
  rt::FixedText<60> text;
  int32_t status = -2;
  errno = ENOENT;
  Capture cap;
  ugerr_(status, text);
  EXPECT_EQ(status, 2);
  EXPECT_EQ(text.trimmed(), std::strerror(ENOENT));
  EXPECT_EQ(cap.out(), " UGERR: " + std::string(std::strerror(ENOENT)) + "\n");
  errno = 0;
  ugerr_(status, text);
  EXPECT_TRUE(text.is_blank());
}

}  // namespace
