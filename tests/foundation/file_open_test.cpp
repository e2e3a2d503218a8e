// Opening files named by path, name and extension: joining the name, the
// formatted and unformatted opens, the fatal empty name and the failure report.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "foundation/file_open.h"
#include "foundation/messages.h"
#include "runtime/run.h"
#include "runtime/units.h"
#include "support/capture.h"
#include "support/temp_dir.h"

namespace {

void make_file(const std::string& path, const std::string& text) {
  std::ofstream out(path);
  out << text;
}

class FileOpen : public testing::Test {
 protected:
  void SetUp() override {
    comlib.iquiet = 0;
    files.isysw = 6;
    unsetenv("XMLOUT");
  }
};

}  // namespace

TEST(FileNames, PathIsJoinedWithoutSeparator) {
  EXPECT_EQ(join_file_name("/data/", "model", "pdb"), "/data/model.pdb");
  EXPECT_EQ(join_file_name("/data", "model", "pdb"), "/datamodel.pdb");
}

TEST(FileNames, BlankPartsContributeNothing) {
  EXPECT_EQ(join_file_name("", "model  ", "   "), "model");
  EXPECT_EQ(join_file_name("    ", "model", "pdb  "), "model.pdb");
  EXPECT_TRUE(join_file_name(" ", " ", " ").is_blank());
}

TEST(FileNames, JoinedNameIsCutAt256) {
  const std::string path(250, 'p');
  EXPECT_EQ(join_file_name(path, "abcdef", "ext").view(), path + "abcdef");
}

TEST_F(FileOpen, FormattedReadOpensExistingFile) {
  const std::string dir = scratch_path();
  make_file(dir + "fo_model.pdb", "ATOM\n");
  int32_t unit = -5;
  int32_t ierr = 9;
  captured([&] { openfr_(unit, 0, dir, "fo_model", "pdb", ierr); });
  EXPECT_EQ(ierr, 0);
  ASSERT_GT(unit, 0);
  std::string rec;
  EXPECT_EQ(rt::read_record(unit, rec), 0);
  EXPECT_EQ(rec, "ATOM");
  rt::unit_close(unit);
}

TEST_F(FileOpen, FormattedWriteCreatesFile) {
  const std::string dir = scratch_path();
  std::remove((dir + "fo_written").c_str());
  int32_t unit = 0;
  int32_t ierr = 9;
  captured([&] { openfw_(unit, 0, dir, "fo_written", "", ierr); });
  EXPECT_EQ(ierr, 0);
  ASSERT_GT(unit, 0);
  rt::unit_close(unit);
  EXPECT_TRUE(rt::file_exists(dir + "fo_written"));
}

TEST_F(FileOpen, EmptyNameForReadingEndsTheRun) {
  int32_t unit = 0, ierr = 0;
  const std::string out = expect_stop(1, [&] { openfr_(unit, 0, "  ", "  ", "  ", ierr); });
  EXPECT_TRUE(out.starts_with("===> Error: File length is 0. Cannot open for reading\n")) << out;
}

TEST_F(FileOpen, EmptyNameForWritingEndsTheRun) {
  int32_t unit = 0, ierr = 0;
  const std::string out = expect_stop(1, [&] { openfw_(unit, 0, "", "", "", ierr); });
  EXPECT_TRUE(out.starts_with("===> Error: LENGTH of file is 0. Cannot open UNKNOW file\n")) << out;
}

TEST_F(FileOpen, UnformattedNameWithLeadingCommaIsReportedNotFatal) {
  rt::FixedText<8> path;
  rt::FixedText<8> name(",abc");
  rt::FixedText<4> ext("bin");
  int32_t unit = 0;
  int32_t ierr = 0;
  const std::string out = captured([&] { openur_(unit, 0, path, name, ext, ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(name.view(), " abc    ");
  EXPECT_EQ(out,
            "  ERR: OPEN FILE /FOR READ/\n"
            "         NAME : abc;\n"
            "    EXTENTION :bin;\n");
}

TEST_F(FileOpen, UnformattedCommasBecomeBlanksInCallersTexts) {
  const std::string dir = scratch_path();
  make_file(dir + "a b.bin", "x");
  rt::FixedText<256> path(dir);
  rt::FixedText<8> name("a,b");
  rt::FixedText<8> ext("bin,");
  int32_t unit = 0;
  int32_t ierr = 9;
  captured([&] { openur_(unit, 0, path, name, ext, ierr); });
  EXPECT_EQ(name, "a b");
  EXPECT_EQ(ext, "bin");
  EXPECT_EQ(ierr, 0);
  ASSERT_GT(unit, 0);
  EXPECT_EQ(rt::unit_file_name(unit), dir + "a b.bin");
  rt::unit_close(unit);
}

// Names read from a file with carriage-return line ends still open the file.
TEST_F(FileOpen, UnformattedTrailingCarriageReturnIsNotPartOfTheName) {
  const std::string dir = scratch_path();
  make_file(dir + "cr_name.bin", "x");
  rt::FixedText<256> path(dir);
  rt::FixedText<12> name("cr_name\r");
  rt::FixedText<8> ext("bin\r");
  int32_t unit = 0;
  int32_t ierr = 9;
  captured([&] { openur_(unit, 0, path, name, ext, ierr); });
  EXPECT_EQ(ierr, 0);
  ASSERT_GT(unit, 0);
  EXPECT_EQ(rt::unit_file_name(unit), dir + "cr_name.bin");
  rt::unit_close(unit);
}

TEST_F(FileOpen, UnformattedWriteReportCutsLongTextsTo65) {
  const std::string longpath(70, 'q');
  rt::FixedText<80> path(longpath);
  rt::FixedText<8> name(",");
  rt::FixedText<8> ext;
  int32_t unit = 0;
  int32_t ierr = 0;
  const std::string out = captured([&] { openuw_(unit, 0, path, name, ext, ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(out, "  ERR: OPEN FILE /FOR WRITE/\n         PATH :" + std::string(65, 'q') + ";\n");
}

TEST_F(FileOpen, UnformattedReportFollowsTheMessageCode) {
  rt::FixedText<8> path;
  rt::FixedText<8> name(" ");
  rt::FixedText<8> ext;
  int32_t unit = 0;
  int32_t ierr = 0;
  EXPECT_EQ(captured([&] { openuw_(unit, 100, path, name, ext, ierr); }), "");
  EXPECT_EQ(ierr, 1);
}
