// Error words, the signal routine, and ending a run by level with its
// markers and exit status.
#include <cerrno>
#include <memory>
#include <string>

#include "suite/library_err.h"
#include "suite/library_f.h"
#include "suite_test_support.h"


namespace {

class ErrorWords : public suite_test::SuiteTest {};
class EndOfRun : public suite_test::SuiteTest {};
class SummaryMarkers : public suite_test::SuiteTest {};

int callback_calls = 0;
int count_call() {
  ++callback_calls;
  return 42;
}

TEST_F(ErrorWords, WordPacksLibraryLevelAndIndex) {
  const int32_t w = ptq7_error_word(PTQ7_ERRNO_GENERAL, PTQ7_LEVEL_ERROR, 11);
  EXPECT_EQ(w, (8 << 24) | (3 << 16) | 11);
  EXPECT_EQ(ptq7_error_library(w), 8);
  EXPECT_EQ(ptq7_error_level(w), 3);
  EXPECT_EQ(ptq7_error_index(w), 11);
}

TEST_F(ErrorWords, SignalWithPlacePrintsTwoLinesAndStoresWord) {
  const int32_t w = ptq7_error_word(PTQ7_ERRNO_GENERAL, PTQ7_LEVEL_SUCCESS, 7);
  Capture cap;
  EXPECT_EQ(ptq7_signal(w, "ptq7fyp", nullptr), 0);
  EXPECT_EQ(cap.out(),
            ">>>>>> PTQ7 library signal ptq7_general:Cannot open environ.def\n"
            "\t raised in ptq7fyp <<<<<<\n");
  EXPECT_EQ(ptq7_errno, w);
  Capture cap2;
  ptq7_signal(ptq7_error_word(PTQ7_ERRNO_SYM, PTQ7_LEVEL_ERROR, 5), nullptr, nullptr);
  EXPECT_EQ(cap2.out(),
            ">>>>>> PTQ7 library signal csym:Undefined Laue code for this spacegroup (Error) <<<<<<\n");
}

TEST_F(ErrorWords, FatalLevelCallsCallbackThenEndsWithStatusOne) {
  callback_calls = 0;
  Capture cap;
  const int status = run_end_status([] {
    ptq7_signal(ptq7_error_word(PTQ7_ERRNO_MTZ, PTQ7_LEVEL_FATAL, 12), "MtzMalloc", count_call);
  });
  EXPECT_EQ(status, 1);
  EXPECT_EQ(callback_calls, 1);
  EXPECT_NE(cap.out().find("mtz:Cannot allocate memory (FATAL ERROR)"), std::string::npos);
  EXPECT_EQ(ptq7_signal(ptq7_error_word(PTQ7_ERRNO_PARS, PTQ7_LEVEL_WARNING, 1), "x", count_call), 42);
  EXPECT_EQ(callback_calls, 2);
}

TEST_F(ErrorWords, SilentVerbosityOnlyStoresEvenFatalWords) {
  callback_calls = 0;
  ptq7_liberr_verbosity(0);
  const int32_t w = ptq7_error_word(PTQ7_ERRNO_GENERAL, PTQ7_LEVEL_FATAL, 1);
  Capture cap;
  EXPECT_EQ(run_end_status([&] { ptq7_signal(w, "here", count_call); }), -1);
  EXPECT_EQ(cap.out(), "");
  EXPECT_EQ(callback_calls, 0);
  EXPECT_EQ(ptq7_errno, w);
  EXPECT_EQ(ptq7_liberr_verbosity(-1), 0);
}

TEST_F(ErrorWords, MessageTextsAndOutOfRangeWords) {
  EXPECT_STREQ(ptq7_strerror(ptq7_error_word(PTQ7_ERRNO_MTZ, 3, 9)), "Invalid cell dimensions");
  EXPECT_STREQ(ptq7_strerror(ptq7_error_word(PTQ7_ERRNO_MTZ, 3, 22)), "Batch headers corrupted");
  EXPECT_STREQ(ptq7_strerror(ptq7_error_word(PTQ7_ERRNO_MTZ, 3, 23)), "bad error code");
  EXPECT_STREQ(ptq7_strerror(ptq7_error_word(PTQ7_ERRNO_GENERAL, 0, 16)),
               "Cannot read input file: permission denied");
  EXPECT_STREQ(ptq7_strerror(ptq7_error_word(PTQ7_ERRNO_GENERAL, 0, 17)), "Input file is a directory");
  EXPECT_STREQ(ptq7_strerror(ptq7_error_word(PTQ7_ERRNO_GENERAL, 0, 18)), "bad error code");
  EXPECT_STREQ(ptq7_strerror(ptq7_error_word(2, 0, 0)), "bad error code");
  EXPECT_STREQ(ptq7_strerror(ptq7_error_word(9, 0, 0)), "bad system error");
  EXPECT_STREQ(ptq7_strerror(ptq7_error_word(PTQ7_ERRNO_MAP, 0, 8)),
               "Parameter or dimension is incorrect    ");
  EXPECT_STREQ(ptq7_strerror(ptq7_error_word(PTQ7_ERRNO_FILE, 0, 10)), "No fileFile not open");
  errno = ENOENT;
  EXPECT_STREQ(ptq7_strerror(-1), std::strerror(ENOENT));
}

TEST_F(ErrorWords, ErrorPrinterNamesLibraryAndLevel) {
  ptq7_errno = ptq7_error_word(PTQ7_ERRNO_GENERAL, PTQ7_LEVEL_WARNING, 7);
  errno = 0;
  Capture cap;
  ptq7_error("start");
  ptq7_errno = ptq7_error_word(PTQ7_ERRNO_PARS, 0, 3);
  EXPECT_EQ(run_end_status([] { ptq7_fatal(""); }), 1);
  EXPECT_EQ(cap.err(), "start: Cannot open environ.def\nSystem: ptq7_general\nLevel: 2\n"
                       "Null pointer\nSystem: ptq7_parser\nLevel: 0\n");
}

TEST_F(ErrorWords, FileLayerPerrorKnownAndUnknownIndex) {
  Capture cap;
  ptq7_errno = ptq7_error_word(PTQ7_ERRNO_FILE, 3, 4);
  EXPECT_EQ(CFile_Perror("read"), 4);
  ptq7_errno = ptq7_error_word(PTQ7_ERRNO_FILE, 3, 0);
  EXPECT_EQ(CFile_Perror("read"), -1);
  EXPECT_EQ(cap.err(), "read: Read failed \nUnknown error code\n");
}

TEST_F(EndOfRun, WarningLevelWritesBlockInsideSummaryAndReturns) {
  Capture cap;
  EXPECT_EQ(run_end_status([] { ptqerr_(2, "careful"); }), -1);
  EXPECT_EQ(cap.out(),
            "<B><FONT COLOR=\"#FF0000\"><!--SUMMARY_BEGIN-->\n"
            " \n $TEXT:Warning: $$ comment $$ \n WARNING: careful\n $$\n"
            "<!--SUMMARY_END--></FONT></B>\n");
}

TEST_F(EndOfRun, NormalEndPrintsNameMessageAndClosingMarkers) {
  ptq7ProgramName("orbinate");
  Capture cap;
  EXPECT_EQ(run_end_status([] { ptqerr_(0, "Normal termination"); }), 0);
  // The clock was never started, so no times line.
  EXPECT_EQ(cap.out(),
            "<B><FONT COLOR=\"#FF0000\"><!--SUMMARY_BEGIN-->\n"
            " orbinate:  Normal termination\n"
            "</pre>\n</html>\n"
            "<!--SUMMARY_END-->\n");
  EXPECT_EQ(cap.err(), "");
}

TEST_F(EndOfRun, NormalEndPrintsTimesLineOnceClockRuns) {
  ptq7ProgramTime(1);
  env.set("PTQ_SUPPRESS_HTML", "1");
  env.set("PTQ_SUPPRESS_SUMMARY", "1");
  Capture cap;
  EXPECT_EQ(run_end_status([] { ptqerr_(0, "done"); }), 0);
  const std::string head = " PTQ7:  done\n";
  ASSERT_TRUE(cap.out().starts_with(head)) << cap.out();
  EXPECT_EQ(suite_test::digits_zeroed(cap.out().substr(head.size())), ptq7_times_line(0, 0, 0));
}

TEST_F(EndOfRun, FatalLevelWritesStandardErrorAndEndsWithOne) {
  env.set("PTQ_SUPPRESS_HTML", "1");
  Capture cap;
  EXPECT_EQ(run_end_status([] { ptqerr_(1, "bad input"); }), 1);
  EXPECT_EQ(cap.err(), " PTQ7:  bad input\n");
  EXPECT_EQ(cap.out(), "<!--SUMMARY_BEGIN-->\n PTQ7:  bad input\n<!--SUMMARY_END-->\n");
}

TEST_F(EndOfRun, SystemLevelAddsLastSystemMessage) {
  env.set("PTQ_SUPPRESS_HTML", "1");
  env.set("PTQ_SUPPRESS_SUMMARY", "1");
  errno = ENOENT;
  Capture cap;
  EXPECT_EQ(run_end_status([] { ptqerr_(-1, "open"); }), 1);
  EXPECT_EQ(cap.err(), "Last system error message: " + std::string(std::strerror(ENOENT)) +
                           "\n PTQ7:  open\n");
}

TEST_F(EndOfRun, SystemLevelWithoutSystemErrorAddsNothing) {
  env.set("PTQ_SUPPRESS_HTML", "1");
  env.set("PTQ_SUPPRESS_SUMMARY", "1");
  errno = 0;
  Capture cap;
  EXPECT_EQ(run_end_status([] { ptqerr_(-1, "open"); }), 1);
  EXPECT_EQ(cap.err(), " PTQ7:  open\n");
}

TEST_F(EndOfRun, PlainLevelsPrintOnlyTheMessage) {
  const std::string longer = std::string(120, 'x') + "       tail";  // cut at 127, blanks kept
  Capture cap;
  EXPECT_EQ(run_end_status([&] {
              ptqerr_(3, "three");
              ptqerr_(4, "four");
              ptqerr_(-3, "silent");
              ptqerr_(3, longer);
            }),
            -1);
  EXPECT_EQ(cap.out(), "three\nfour\n" + longer.substr(0, 127) + "\n");
}

TEST_F(EndOfRun, LibraryExitFlagsAreOffBeforeStartUp) {
  // Without ptq7h_init_lib_ the library side adds no closing markers.
  Capture cap;
  EXPECT_EQ(run_end_status([] { ptqerror(0, "early"); }), 0);
  EXPECT_EQ(cap.out(), " PTQ7:  early\n");
}

int records_freed = 0;
void free_records() { ++records_freed; }

TEST_F(EndOfRun, NormalAndFatalEndsFreeLibraryRecords) {
  env.set("PTQ_SUPPRESS_SUMMARY", "1");
  ptq7f_register_tidy(free_records);
  ptq7f_register_tidy(free_records);  // a second registration runs it once
  records_freed = 0;
  {
    Capture cap;
    run_end_status([] { ptqerr_(0, "end"); });
  }
  EXPECT_EQ(records_freed, 1);
  {
    Capture cap;
    run_end_status([] { ptqerr_(1, "fatal"); });
  }
  EXPECT_EQ(records_freed, 2);
  {
    Capture cap;
    run_end_status([] { ptqerr_(2, "warn"); });
  }
  EXPECT_EQ(records_freed, 2);
}

TEST_F(SummaryMarkers, NestingSuppressionAndPlainMarkers) {
  const std::string html_beg = "<B><FONT COLOR=\"#FF0000\"><!--SUMMARY_BEGIN-->\n";
  {  // nested blocks: one begin, one end; an end without a block writes nothing
    Capture cap;
    ptq7h_summary_end_();
    ptq7h_summary_beg_();
    ptq7h_summary_beg_();
    ptq7h_summary_end_();
    ptq7h_summary_end_();
    EXPECT_EQ(cap.out(), html_beg + "<!--SUMMARY_END--></FONT></B>\n");
  }
  ptq7h_reset_for_tests();
  env.set("PTQ_SUPPRESS_HTML", "   ");  // blank value leaves markers on
  {
    Capture cap;
    ptq7h_pre_beg_();
    EXPECT_EQ(cap.out(), "<pre>\n");
  }
  ptq7h_reset_for_tests();
  env.set("PTQ_SUPPRESS_HTML", "1");
  {
    Capture cap;
    ptq7h_pre_beg_();
    ptq7h_summary_beg_();
    ptq7h_summary_end_();
    EXPECT_EQ(cap.out(), "<!--SUMMARY_BEGIN-->\n<!--SUMMARY_END-->\n");
  }
  ptq7h_reset_for_tests();
  env.set("PTQ_SUPPRESS_SUMMARY", "1");
  Capture cap;
  ptq7h_summary_beg_();
  ptq7h_summary_end_();
  EXPECT_EQ(cap.out(), "");
  EXPECT_EQ(summary_output(-1), 0);
}

TEST_F(SummaryMarkers, NegativeArgumentTurnsMarkersOff) {
  ptq7h_init_lib_(-1, 0);
  ptq7h_init_lib_(0, -1);  // later calls change nothing
  EXPECT_EQ(html_log_output(-1), 0);
  EXPECT_EQ(summary_output(-1), 1);
}

}  // namespace
