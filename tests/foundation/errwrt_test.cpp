// The error writer (plain, warning and error lines, the XML error document,
// the end of the run) and the scratch-name and open-by-name helpers.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "foundation/errwrt.h"
#include "foundation/messages.h"
#include "runtime/run.h"
#include "runtime/units.h"
#include "support/capture.h"
#include "support/temp_dir.h"

namespace {

class ErrorWriter : public testing::Test {
 protected:
  void SetUp() override {
    files.isysw = 6;
    unsetenv("XMLOUT");
  }
  void TearDown() override { unsetenv("XMLOUT"); }
};

}  // namespace

TEST_F(ErrorWriter, PlainAndWarningLinesUseTheUsedLength) {
  EXPECT_EQ(captured([] { errwrt_(-1, "plain text   "); }), "plain text\n");
  EXPECT_EQ(captured([] { errwrt_(0, "w"); }), "===> Warning: w\n");
}

TEST_F(ErrorWriter, BlankLineStillWritesOneCharacterAfterPrefix) {
  EXPECT_EQ(captured([] { errwrt_(0, "     "); }), "===> Warning:  \n");
}

TEST_F(ErrorWriter, OtherModesWriteNothing) {
  EXPECT_EQ(captured([] {
              errwrt_(2, "x");
              errwrt_(-2, "y");
            }),
            "");
}

TEST_F(ErrorWriter, UnsetOutputUnitFallsBackToStandardOutput) {
  files.isysw = 0;
  EXPECT_EQ(captured([] { errwrt_(-1, "to six"); }), "to six\n");
  EXPECT_EQ(files.isysw, 6);
}

TEST_F(ErrorWriter, ErrorWithoutXmlDocumentEndsRunWithStatus1) {
  std::string out;
  EXPECT_EQ(run_end_status([] { errwrt_(1, "bad things"); }, out), 1);
  EXPECT_EQ(out.rfind("===> Error: bad things\n", 0), 0u) << out;
}

TEST_F(ErrorWriter, ErrorWritesTheXmlDocumentBeforeStopping) {
  const std::string xml = scratch_path() + "errwrt_doc.xml";
  std::remove(xml.c_str());
  setenv("XMLOUT", xml.c_str(), 1);
  std::string out;
  EXPECT_EQ(run_end_status([] { errwrt_(1, "cannot go on  "); }, out), 1);
  EXPECT_EQ(file_text(xml),
            "<?xml version=\"1.0\" encoding=\"ASCII\" standalone=\"yes\"?>\n"
            "<!-- kavlin output  -->\n"
            "<KAVLIN>\n"
            "Error <err_level>         1</err_level><br/>\n"
            "Message <err_message> cannot go on</err_message><br/>\n"
            " </KAVLIN>\n");
  EXPECT_EQ(out.rfind("===> Error: cannot go on\n", 0), 0u) << out;
}

TEST(ScratchName, WithoutTemp1TheNameStartsWithLocal) {
  unsetenv("TEMP1");
  rt::FixedText<40> name;
  find_unique_file_name_(name, ".scr   ");
  EXPECT_EQ(name, "local.scr");
}

TEST(ScratchName, Temp1IsJoinedWithoutSeparatorAndCutToTheField) {
  setenv("TEMP1", "/tmp/run_", 1);
  rt::FixedText<12> name;
  find_unique_file_name_(name, "abcdef");
  EXPECT_EQ(name.view(), "/tmp/run_abc");
  unsetenv("TEMP1");
}

TEST(OpenByName, BlankNameLeavesUnitAlone) {
  int32_t unit = 77, ierr = 9;
  open_form_file_(unit, "   ", ierr);
  EXPECT_EQ(unit, 77);
  EXPECT_EQ(ierr, 0);
}

TEST(OpenByName, FormattedFileOpensOnAFreeUnit) {
  const std::string path = scratch_path() + "open_by_name.txt";
  std::remove(path.c_str());
  int32_t unit = 0, ierr = 9;
  captured([&] { open_form_file_(unit, path + "   ", ierr); });
  EXPECT_EQ(ierr, 0);
  ASSERT_GT(unit, 0);
  EXPECT_TRUE(rt::unit_is_open(unit));
  EXPECT_EQ(rt::write_record(unit, "line"), 0);
  rt::unit_close(unit);
  EXPECT_EQ(file_text(path), "line\n");
}
