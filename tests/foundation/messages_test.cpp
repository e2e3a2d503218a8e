// Message routing by message code, the documentation-file copy, the used
// length of texts and the two lines of a full table.
#include <gtest/gtest.h>

#include "capture.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "foundation/messages.h"
#include "runtime/units.h"

namespace {

class MessageRouting : public testing::Test {
 protected:
  void SetUp() override {
    comlib.iquiet = 0;
    comlib.idoc = 0;
  }
  void TearDown() override {
    if (comlib.idoc > 0) rt::unit_close(comlib.idoc);
    comlib.idoc = 0;
    comlib.iquiet = 0;
  }
};

}  // namespace

TEST_F(MessageRouting, InformationLineBeginsWithBlankAndLosesTrailingBlanks) {
  EXPECT_EQ(captured([] { msgdoc_(0, "abc     "); }), " abc\n");
  EXPECT_EQ(captured([] { msgdoc_(98, "x"); }), " x\n");
}

TEST_F(MessageRouting, InformationSilentFromMagnitude99BothSigns) {
  EXPECT_EQ(captured([] {
              msgdoc_(99, "a");
              msgdoc_(-99, "b");
              msgdoc_(999, "c");
              msgdoc_(-999, "d");
            }),
            "");
}

TEST_F(MessageRouting, NegativeInformationCodeNeverReachesStandardOutput) {
  EXPECT_EQ(captured([] {
              msgdoc_(-1, "a");
              msgdoc_(-98, "b");
            }),
            "");
}

TEST_F(MessageRouting, ErrorsSilentOnlyFromPlus99) {
  EXPECT_EQ(captured([] { msgerr_(-999, "neg"); }), " neg\n");
  EXPECT_EQ(captured([] { msgerr_(-1, "m1"); }), " m1\n");
  EXPECT_EQ(captured([] { msgerr_(98, "p98"); }), " p98\n");
  EXPECT_EQ(captured([] {
              msgerr_(99, "x");
              msgerr_(999, "y");
            }),
            "");
}

TEST_F(MessageRouting, QuietFlagSilencesBothRoutines) {
  comlib.iquiet = 1;
  EXPECT_EQ(captured([] {
              msgdoc_(0, "a");
              msgerr_(-999, "b");
            }),
            "");
}

TEST_F(MessageRouting, BlankTextGivesAnEmptyLine) {
  EXPECT_EQ(captured([] { msgdoc_(0, "      "); }), "\n");
  EXPECT_EQ(captured([] { msgerr_(0, ""); }), "\n");
  EXPECT_EQ(captured([] { msgerr_(-999, "   "); }), "\n");
}

TEST_F(MessageRouting, BlankTextGivesAnEmptyDocumentationRecord) {
  const std::string path = testing::TempDir() + "messages_blank_doc.txt";
  rt::OpenOptions opt;
  ASSERT_EQ(rt::unit_open(48, path, opt), 0);
  comlib.idoc = 48;
  EXPECT_EQ(captured([] {
              msgdoc_(-5, "    ");
              msgerr_(5, "");
            }),
            "\n");
  rt::unit_close(48);
  comlib.idoc = 0;
  std::ifstream in(path);
  std::stringstream ss;
  ss << in.rdbuf();
  EXPECT_EQ(ss.str(), "\n\n");
}

TEST_F(MessageRouting, DocumentationCopyFollowsTheCodeBands) {
  const std::string path = testing::TempDir() + "messages_doc.txt";
  rt::OpenOptions opt;
  ASSERT_EQ(rt::unit_open(48, path, opt), 0);
  comlib.idoc = 48;
  const std::string out = captured([] {
    msgdoc_(0, "a");      // standard output only: code 0 never reaches the file
    msgdoc_(5, "b");      // both
    msgdoc_(-5, "c");     // file only
    msgdoc_(150, "skip"); // silent
    msgerr_(-5, "d");     // both
    msgerr_(0, "e");      // standard output only
    msgerr_(-150, "f");   // both: errors are silent only from +99
    msgerr_(150, "g");    // silent
  });
  EXPECT_EQ(out, " a\n b\n d\n e\n f\n");
  rt::unit_close(48);
  comlib.idoc = 0;
  std::ifstream in(path);
  std::stringstream ss;
  ss << in.rdbuf();
  EXPECT_EQ(ss.str(), "b\nc\nd\nf\n");
}

TEST(UsedLength, TrailingBlanksDoNotCount) {
  int32_t n = -1;
  lenstr_bl_("ab  ", n);
  EXPECT_EQ(n, 2);
  lenstr_bl_(" a", n);
  EXPECT_EQ(n, 2);
  lenstr_bl_("    ", n);
  EXPECT_EQ(n, 0);
  lenstr_bl_("", n);
  EXPECT_EQ(n, 0);
}

TEST(UsedLength, FieldNeverSetCountsAsBlank) {
  static rt::FixedText<6> never_set;
  int32_t n = -1;
  lenstr_bl_(never_set, n);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(captured([] { msgerr_(0, never_set); }), "\n");
}

// The text handed over begins with its own blank; standard output adds one.
TEST(TableFull, StructureTableNamesConstantAndHeader) {
  comlib.iquiet = 0;
  const std::string out = captured(
      [] { msg_table_full_(-999, " ERROR: number of atoms  >", 450000, "", 8, "MAXATOM", "atom_com"); });
  EXPECT_EQ(out,
            "  ERROR: number of atoms  >450000\n"
            "         Change parameter MAXATOM in \"atom_com\"\n");
}

TEST(TableFull, DictionaryLimitKeepsSixColumnsAndTail) {
  comlib.iquiet = 0;
  const std::string out = captured(
      [] { msg_table_full_(0, " ERR: number of links >", 300, " /lib. limit/", 1, "MAXLLNK", "lib_com"); });
  EXPECT_EQ(out,
            "  ERR: number of links >   300 /lib. limit/\n"
            "  Change parameter MAXLLNK in \"lib_com\"\n");
}

TEST(TableFull, SilentForPositiveCodesFrom99) {
  comlib.iquiet = 0;
  EXPECT_EQ(captured([] { msg_table_full_(999, "x", 1, "", 8, "MAXCHAIN", "atom_com"); }), "");
}
