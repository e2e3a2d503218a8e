// The reflection-file programming interface: a file written through the
// writing entries reads back through the reading entries and the reader,
// column by column and bit for bit; copies, label assignment, history lines,
// header printing and bad calls.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "mtz_files.h"
#include "reflections/cmtzlib.h"
#include "reflections/mtz_hierarchy.h"
#include "reflections/mtz_labels.h"
#include "reflections/mtz_print.h"
#include "reflections/mtz_read_api.h"
#include "reflections/mtz_write_api.h"
#include "suite/ptq7_errno.h"
#include "suite/ptq7_program.h"

namespace {

using namespace mtz_test;

// Every index free and the in-memory switch off, before and after each test.
class MtzApi : public testing::Test {
 protected:
  void SetUp() override {
    reflections::mtz_slots_reset_for_tests();
    ::unsetenv("CMTZ_IN_MEMORY");
  }
  void TearDown() override {
    reflections::mtz_slots_reset_for_tests();
    ::unsetenv("CMTZ_IN_MEMORY");
  }
};

rt::FixedText<30> LABELS[6] = {"H", "K", "L", "FP", "SIGFP", "M/ISYM"};
rt::FixedText<30> TYPES[6] = {"H", "H", "H", "F", "Q", "Y"};
const float CELL6[6] = {40, 50, 60, 90, 90, 90};

std::vector<float> reflection(int i) {
  std::vector<float> v = {static_cast<float>(i),         1,    2,
                          10.5f * static_cast<float>(i), 0.5f, static_cast<float>(i % 3)};
  if (i == 2) v[3] = from_bits(NAN_WORD);
  return v;
}

// A file of five reflections written through the interface on index 1.
void write_standard(const char* path) {
  lwopen_(1, path);
  lwtitl_(1, "written by   ", 0);
  lwtitl_(1, "the test", 1);
  lwassn_(1, TextArray(LABELS), 6, TextArray(TYPES), 0);
  lwidx_(1, "proj", "xtal", "native", CELL6, 1.5f);
  rt::FixedText<10> xn[6] = {"", "", "", "xtal", "xtal", "xtal"};
  rt::FixedText<10> dn[6] = {"", "", "", "native", "native", "native"};
  lwidasx_(1, 6, TextArray(xn), TextArray(dn), 0);
  lwcell_(1, CELL6);
  const float p1[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  lwsymm_(1, 1, 1, p1, "P", 1, "P 1", "PG1");
  rt::FixedText<80> hist[2] = {"  first history line", "second"};
  lwhist_(1, TextArray(hist), 2);
  float rbatch[185] = {};
  const int32_t head[3] = {185, 29, 156};
  std::memcpy(rbatch, head, sizeof head);
  rbatch[29 + 86] = 1.5f;
  lwbat_(1, 7, rbatch, "batch seven");
  const int32_t sort[5] = {1, 2, 3, 0, 0};
  lwsort_(1, sort);
  for (int i = 1; i <= 5; ++i) lwrefl_(1, reflection(i).data());
  lwclos_(1, 0);
}

TEST_F(MtzApi, WrittenFileReadsBackThroughBothInterfaces) {
  for (bool in_memory : {false, true}) {
    SCOPED_TRACE(in_memory ? "files whole in memory" : "rows straight to disk");
    reflections::mtz_slots_reset_for_tests();
    if (in_memory) ::setenv("CMTZ_IN_MEMORY", "1", 1);
    TempFile t;
    captured([&] { write_standard(t.c_str()); });
    auto mtz = read_file(t.read(), 1);
    ASSERT_TRUE(mtz);
    EXPECT_EQ(mtz->title, "written by the test");
    EXPECT_EQ(mtz->nref, 5);
    const MtzCol* fp = MtzColLookup(mtz.get(), "/xtal/native/FP");
    ASSERT_NE(fp, nullptr);
    EXPECT_EQ(bits(fp->values[1]), NAN_WORD);
    EXPECT_EQ(fp->values[4], 52.5f);
    EXPECT_EQ(fp->min_value, 10.5f);
    EXPECT_NE(MtzColLookup(mtz.get(), "/xtal/native/M_ISYM"), nullptr);
    EXPECT_EQ(MtzSetLookup(mtz.get(), "native")->wavelength, 1.5f);
    EXPECT_EQ(mtz->xtals[1]->cell[1], 50.0f);
    EXPECT_EQ(mtz->spacegroup_name, "P 1");
    EXPECT_EQ(std::string(mtz->history.data(), 18), "first history line");
    EXPECT_EQ(mtz->batches->batch_number, 7);
    EXPECT_EQ(mtz->batches->wavelength, 1.5f);
    EXPECT_EQ(mtz->sort_order[2], MtzColLookup(mtz.get(), "L"));

    int32_t ifail = 0;
    captured([&] { lropen_(2, t.c_str(), 0, ifail); });
    ASSERT_EQ(ifail, 0);
    rt::FixedText<30> want[3] = {"FP", "M/ISYM", "H"};
    rt::FixedText<30> types[3] = {"F", "Y", "H"};
    int32_t lookup[3] = {-1, -1, -1};
    captured([&] { lrassn_(2, TextArray(want), 3, lookup, TextArray(types)); });
    EXPECT_EQ(lookup[0], 4);
    EXPECT_EQ(lookup[1], 6);
    float resol, row[6];
    bool eof = false;
    lrreff_(2, resol, row, eof);
    lrreff_(2, resol, row, eof);
    EXPECT_EQ(bits(row[0]), NAN_WORD);
    EXPECT_EQ(row[1], 2.0f);
    // Only H is among the program's columns: K and L count as 0.
    EXPECT_NEAR(resol, 4.0f / 1600, 1e-7);
    int32_t logmss[3];
    lrrefm_(2, logmss);
    EXPECT_EQ(logmss[0], 1);
    EXPECT_EQ(logmss[1], 0);
    lrseek_(2, 5);
    lrrefl_(2, resol, row, eof);
    EXPECT_FALSE(eof);
    EXPECT_EQ(row[3], 52.5f);
    lrrefl_(2, resol, row, eof);
    EXPECT_TRUE(eof);
    lrrewd_(2);
    lrrefl_(2, resol, row, eof);
    EXPECT_EQ(row[0], 1.0f);
    lrclos_(2);
    EXPECT_EQ(mtz_slot(2), nullptr);
  }
}

TEST_F(MtzApi, CopyThroughOneIndexKeepsTheFile) {
  TempFile source, copy, again;
  captured([&] { write_standard(source.c_str()); });
  auto copy_file = [](const TempFile& from, const TempFile& to) {
    int32_t ifail = 0, ncol = 0, nref = 0;
    lropen_(1, from.c_str(), 0, ifail);
    ASSERT_EQ(ifail, 0);
    lwopen_(1, to.c_str());
    rt::FixedText<10> vers;
    float ranges[12];
    lrinfo_(1, vers, ncol, nref, ranges);
    float resol, row[6];
    bool eof = false;
    for (lrrefl_(1, resol, row, eof); !eof; lrrefl_(1, resol, row, eof)) lwrefl_(1, row);
    lrclos_(1);
    ASSERT_NE(mtz_slot(1), nullptr);  // kept for the writer
    lwclos_(1, 0);
    EXPECT_EQ(mtz_slot(1), nullptr);
  };
  captured([&] { copy_file(source, copy); });
  captured([&] { copy_file(copy, again); });
  const std::string a = source.read(), b = copy.read(), c = again.read();
  EXPECT_EQ(b, c);
  // Rows and records are those of the source; only the resolution record
  // may differ, being measured from the rows again.
  ASSERT_EQ(a.size(), b.size());
  EXPECT_EQ(a.substr(0, 80 + 5 * 6 * 4), b.substr(0, 80 + 5 * 6 * 4));
  auto without_reso = [](std::string s) {
    const std::size_t at = s.find("RESO ");
    return s.erase(at, 80);
  };
  EXPECT_EQ(without_reso(a), without_reso(b));
}

TEST_F(MtzApi, LabinLinesPairEitherWayRound) {
  const std::vector<std::string> prog = {"FP", "SIGFP"};
  struct Case {
    const char* label;
    const char* line;
    int result;
    const char* fp_user;
    const char* printed;
  };
  const Case cases[] = {
      {"two pairs", "LABIN FP=F1 SIGFP=SIGF1", 2, "F1", ""},
      {"pair written backwards", "LABIN F1=FP", 1, "F1", ""},
      {"label without partner", "LABIN FP", -1, "",
       "MtzParseLabin: run out of labels trying to match \"FP\"\n"},
      {"neither label known", "LABIN FX=FY", -1, "",
       "MtzParseLabin: neither label recognised: FX FY \n"},
      {"lower case keyword, labels exact", "labin fp=f1", -1, "",
       "MtzParseLabin: neither label recognised: fp f1 \n"},
      {"not a LABIN line", "LABEL FP=F1", 1, "F1",
       "Warning in MtzParseLabin: Input is not LABIN or LABOUT line !!\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    MtzLabelPair table[2];
    int r = 0;
    EXPECT_EQ(captured([&] { r = MtzParseLabin(c.line, prog, 2, table); }), c.printed);
    EXPECT_EQ(r, c.result);
    if (r > 0) {
      EXPECT_STREQ(table[0].user, c.fp_user);
    }
  }
  std::string out;
  MtzLabelPair table[2];
  out = captured([&] { EXPECT_EQ(MtzParseLabin("", prog, 2, table), -1); });
  EXPECT_EQ(ptq7_errno, ptq7_error_word(PTQ7_ERRNO_MTZ, PTQ7_LEVEL_ERROR, 14));
}

TEST_F(MtzApi, LabelAssignmentsOnInputAndOutput) {
  TempFile t, out_file;
  captured([&] { write_standard(t.c_str()); });
  rt::FixedText<30> prog[3] = {"F", "SIGF", "PHI"};
  rt::FixedText<1> none[1];
  int32_t ifail = 0;
  captured([&] {
    lropen_(1, t.c_str(), 0, ifail);
    lkyin_(1, TextArray(prog), 3, 3, "LABIN F=FP SIGF=SIGFP", nullptr, nullptr);
  });
  int32_t lookup[3] = {-1, -1, 0};  // PHI optional, absent
  const std::string printed =
      captured([&] { lrassn_(1, TextArray(prog), 3, lookup, TextArray(none[0].c, 0)); });
  EXPECT_EQ(printed, "");
  EXPECT_EQ(lookup[0], 4);
  EXPECT_EQ(lookup[1], 5);
  EXPECT_EQ(lookup[2], 0);
  // Written back under the user's labels; LABOUT renames the third.
  captured([&] {
    lkyout_(1, TextArray(prog), 3, 3, "LABOUT PHI=PHIB", nullptr, nullptr);
    lwopen_(1, out_file.c_str());
  });
  rt::FixedText<30> types[3] = {"F", "Q", "P"};
  captured([&] { lwassn_(1, TextArray(prog), 3, TextArray(types), 0); });
  EXPECT_EQ(MtzNumActiveCol(mtz_slot(1).get()), 3);
  EXPECT_NE(MtzColLookup(mtz_slot(1).get(), "PHIB"), nullptr);
  EXPECT_EQ(mtz_index_slot(1).col_out[0], MtzColLookup(mtz_slot(1).get(), "FP"));
  // A compulsory label missing from the file, and a LABIN label missing.
  struct Case {
    const char* label;
    const char* line;
    const char* message;
  };
  const Case cases[] = {
      {"compulsory label absent", nullptr, "Error: label PHI not found in file!\n"},
      {"LABIN label absent", "LABIN PHI=NOPE", "Error in LABIN: label NOPE not found in file!\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    if (c.line) captured([&] { lkyin_(1, TextArray(prog), 3, 3, c.line, nullptr, nullptr); });
    int32_t all[3] = {-1, -1, -1};
    std::string text;
    EXPECT_EQ(
        run_end_status([&] { lrassn_(1, TextArray(prog), 3, all, TextArray(none[0].c, 0)); }, text),
        1);
    EXPECT_NE(text.find(c.message), std::string::npos) << text;
  }
}

TEST_F(MtzApi, HistoryLineCarriesProgramDateAndTime) {
  TempFile t;
  captured([&] {
    lwopen_(1, t.c_str());
    lwhstl_(1, "refined   ");
  });
  const std::string line(mtz_slot(1)->history.data());
  const std::string head = std::string("From ") + ptq7ProgramName(nullptr) + " " + ptq7_utils_date() + " ";
  ASSERT_TRUE(line.starts_with(head)) << line;
  std::string time = line.substr(head.size());
  for (char& c : time) {
    if (c >= '0' && c <= '9') c = '0';
  }
  EXPECT_EQ(time, "00:00:00 refined");
  EXPECT_EQ(captured([] { lwhstl_(5, "x"); }), "Error in lwhstl: mindx out of range!\n");
  EXPECT_EQ(captured([] { lwhstl_(2, "x"); }),
            "Error in lwhstl: mindx not open for write (or read)!\n");
}

TEST_F(MtzApi, BadCallsAreRefused) {
  TempFile t;
  captured([&] { write_standard(t.c_str()); });
  TempFile damaged;
  int32_t ifail = 0;
  float resol, row[6];
  bool eof = false;
  struct Case {
    const char* label;
    std::function<void()> call;
    const char* printed;
  };
  const Case cases[] = {
      {"index out of range", [&] { lrrefl_(5, resol, row, eof); },
       "Error in LRREFL: mindx 5 out of range!\n"},
      {"index not open for reading", [&] { lrrefl_(3, resol, row, eof); },
       "Error in LRREFL: mindx 3 not open for read!\n"},
      {"index not open for writing", [&] { lwrefl_noexit_(3, row, ifail); },
       "Error in LWREFL_NOEXIT: mindx 3 not open for write!\n"},
      {"logical name that names no file", [&] { lropen_(2, "NO_SUCH_HKLIN", 0, ifail); },
       "Error: failed to open file for read!\n"},
      // The reader's refusals hold on this road too.
      {"file whose SYMM record is no operator",
       [&] {
         FileLayout layout;
         for (auto& r : layout.records)
           if (r.rfind("SYMM -X", 0) == 0) r = "SYMM X,Y,Q";
         damaged.write(build(false, layout));
         lropen_(2, damaged.c_str(), 0, ifail);
       },
       "Error: failed to open file for read!\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string out = captured(c.call);
    EXPECT_NE(out.find(c.printed), std::string::npos) << out;
  }
  EXPECT_EQ(ifail, -1);
  EXPECT_EQ(mtz_slot(2), nullptr);
  captured([&] { lwopen_noexit_(2, "/tmp", ifail); });
  EXPECT_EQ(ifail, 1);
  EXPECT_EQ(mtz_index_slot(2).open_write, 0);
  std::string text;
  EXPECT_EQ(run_end_status([] { lwopen_(2, "/tmp"); }, text), 1);
  EXPECT_NE(text.find("LWOPEN: failed to open output file"), std::string::npos);
}

TEST_F(MtzApi, FailedWritesAreNeverReportedAsWritten) {
  TempFile out_file, readonly;
  readonly.write("");
  int32_t iflag = 0;
  captured([&] {
    lwopen_(1, out_file.c_str());
    lwassn_(1, TextArray(LABELS), 6, TextArray(TYPES), 0);
  });
  const int fd = ::open(readonly.c_str(), O_RDONLY);
  mtz_slot(1)->file_out.reset(ptq7_file_open_fd(fd, PTQ7_FILE_OPEN_WRITE));
  captured([&] { lwrefl_noexit_(1, reflection(1).data(), iflag); });
  EXPECT_EQ(iflag, 1);
  const std::string out = captured([&] { lwclos_noexit_(1, 0, iflag); });
  EXPECT_EQ(iflag, 1);
  EXPECT_EQ(out.find("WRITTEN OUTPUT MTZ FILE"), std::string::npos);
  EXPECT_EQ(mtz_index_slot(1).open_write, 1);
  std::string text;
  EXPECT_EQ(run_end_status([] { lwclos_(1, 0); }, text), 1);
  EXPECT_NE(text.find("LWCLOS: failed to write output file"), std::string::npos);
  mtz_slot(1)->file_out.reset();
  ::close(fd);
}

TEST_F(MtzApi, HeaderListingByLevel) {
  TempFile t;
  captured([&] { write_standard(t.c_str()); });
  auto mtz = read_file(t.read(), 1);
  const std::string expected =
      " * Title:\n\n written by the test\n\n"
      " * Base dataset:\n\n        0 HKL_base\n          HKL_base\n          HKL_base\n"
      "\n * Number of Datasets = 1\n\n"
      " * Dataset ID, project/crystal/dataset names, cell dimensions, wavelength:\n\n"
      "        1 proj\n          xtal\n          native\n"
      "             40.0000   50.0000   60.0000   90.0000   90.0000   90.0000\n"
      "             1.50000\n"
      "\n * Number of Columns = 6\n\n * Number of Reflections = 5\n\n"
      " * Missing value set to NaN in input mtz file\n\n"
      " * Number of Batches = 1\n\n"
      " * Column Labels :\n\n H K L FP SIGFP M/ISYM\n\n"
      " * Column Types :\n\n H H H F Q Y\n\n"
      " * Associated datasets :\n\n 0 0 0 1 1 1\n\n"
      " * Cell Dimensions : (obsolete - use crystal cells)\n\n"
      "   40.0000   50.0000   60.0000   90.0000   90.0000   90.0000 \n\n"
      " *  Resolution Range :\n\n"
      "    0.00214    0.01714     (     21.637 -      7.639 A )\n\n"
      " * Sort Order :\n\n      1     2     3     0     0\n\n"
      " * Space group = 'P 1' (number     1)\n\n";
  EXPECT_EQ(captured([&] { ptq7_lhprt(mtz.get(), 1); }), expected);
  EXPECT_EQ(captured([&] { EXPECT_EQ(ptq7_lhprt(mtz.get(), 0), 2); }), "");
  struct Level {
    const char* label;
    int level;
    bool history, ranges, operators;
  };
  const Level levels[] = {
      {"level 2: history and lists", 2, true, false, false},
      {"level 3: history, ranges and operators", 3, true, true, true},
      {"level 4: lists and operators", 4, false, false, true},
  };
  for (const Level& l : levels) {
    SCOPED_TRACE(l.label);
    const std::string out = captured([&] { ptq7_lhprt(mtz.get(), l.level); });
    EXPECT_EQ(out.find(" first history line   ") != std::string::npos, l.history);
    EXPECT_EQ(out.find(" FP                              F             10.5000             52.5000 "
                       "       1 \n") != std::string::npos,
              l.ranges);
    EXPECT_EQ(out.find(" * Column Labels :\n\n H K L FP SIGFP M/ISYM\n") != std::string::npos,
              !l.ranges);
    EXPECT_EQ(out.find(" Symmetry 1 X,  Y,  Z\n  1.00  0.00  0.00  0.00 \n") != std::string::npos,
              l.operators);
  }
}

TEST_F(MtzApi, BatchHeaderPrintout) {
  MtzBatch b;
  b.batch_number = 3;
  b.title = "phi scan";
  b.data_type = 7;
  b.n_gonio_axes = 1;
  b.axis_labels[0] = "PHI";
  b.n_batch_scales = 2;
  const std::string out = captured([&] { MtzPrintBatchHeader(&b); });
  EXPECT_EQ(out.rfind(" Batch number: \n      3    phi scan\n", 0), 0u);
  EXPECT_NE(out.find(" Orientation data for batch       3     *** unknown data type ***  \n"),
            std::string::npos);
  EXPECT_NE(out.find("   Reciprocal axis nearest PHI..   none\n"), std::string::npos);
  EXPECT_NE(out.find("   Datum goniostat angles (degrees)..    0.000\n"), std::string::npos);
  EXPECT_EQ(out.find("Scan axis"), std::string::npos);
  EXPECT_EQ(out.find("Batch scale"), std::string::npos);
  // As arrays, at level 1: the short lines, then the whole header.
  float rbatch[185] = {};
  const std::string twice = captured([&] { lbprt_(5, 1, rbatch, "title five"); });
  EXPECT_EQ(twice.rfind(" Batch number: \n      5    title five\n Batch number: \n", 0), 0u);
  EXPECT_EQ(captured([&] { lbprt_(5, 0, rbatch, "title five"); }), "");
}

TEST_F(MtzApi, LookupsDoNotOutliveTheirFile) {
  TempFile t;
  captured([&] { write_standard(t.c_str()); });
  int32_t ifail = 0;
  int32_t lookup[2] = {-1, -1};
  rt::FixedText<30> want[2] = {"FP", "SIGFP"};
  captured([&] {
    lropen_(1, t.c_str(), 0, ifail);
    lrassn_(1, TextArray(want), 2, lookup, TextArray(want[0].c, 0));
    lrclos_(1);
    lropen_(1, t.c_str(), 0, ifail);
  });
  // Without a new assignment nothing is read through the old file's columns.
  float resol = -1, row[2] = {-7, -7};
  bool eof = true;
  lrreff_(1, resol, row, eof);
  EXPECT_FALSE(eof);
  EXPECT_EQ(row[0], -7.0f);
}

}  // namespace
