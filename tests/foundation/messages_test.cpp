// Message routing by message code, the documentation-file copy, the used
// length of texts and the two lines of a full table.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "foundation/messages.h"
#include "runtime/units.h"
#include "support/capture.h"
#include "support/temp_dir.h"

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

// Standard output by code: information lines are silent from magnitude 99
// and for negative codes, error lines only from +99; a blank text gives an
// empty line.
TEST_F(MessageRouting, StandardOutputByCode) {
  const struct {
    bool error;
    int code;
    const char *text, *out;
  } cases[] = {{false, 0, "abc     ", " abc\n"}, {false, 98, "x", " x\n"},     {false, 99, "a", ""},
               {false, -99, "b", ""},          {false, 999, "c", ""},        {false, -999, "d", ""},
               {false, -1, "a", ""},           {false, -98, "b", ""},        {true, -999, "neg", " neg\n"},
               {true, -1, "m1", " m1\n"},       {true, 98, "p98", " p98\n"}, {true, 99, "x", ""},
               {true, 999, "y", ""},           {false, 0, "      ", "\n"}, {true, 0, "", "\n"},
               {true, -999, "   ", "\n"}};
  for (const auto& c : cases) {
    EXPECT_EQ(captured([&] { c.error ? msgerr_(c.code, c.text) : msgdoc_(c.code, c.text); }), c.out)
        << c.error << " " << c.code << " '" << c.text << "'";
  }
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
  const std::string path = scratch_path() + "messages_blank_doc.txt";
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
  EXPECT_EQ(file_text(path), "\n\n");
}

TEST_F(MessageRouting, DocumentationCopyFollowsTheCodeBands) {
  const std::string path = scratch_path() + "messages_doc.txt";
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
  EXPECT_EQ(file_text(path), "b\nc\nd\nf\n");
}

TEST(UsedLength, TrailingBlanksDoNotCount) {
  const struct {
    const char* text;
    int32_t n;
  } cases[] = {{"ab  ", 2}, {" a", 2}, {"    ", 0}, {"", 0}};
  for (const auto& c : cases) {
    int32_t n = -1;
    lenstr_bl_(c.text, n);
    EXPECT_EQ(n, c.n) << c.text;
  }
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
  const std::string out = captured([] {
    foundation::table_full(-999, " ERROR: number of atoms  >", 450000, "",
                           {.constant = "MAXATOM", .header = "atom_com"});
  });
  EXPECT_EQ(out,
            "  ERROR: number of atoms  >450000\n"
            "         Change parameter MAXATOM in \"atom_com\"\n");
}

TEST(TableFull, DictionaryLimitKeepsSixColumnsAndTail) {
  comlib.iquiet = 0;
  const std::string out = captured([] {
    foundation::table_full(0, " ERR: number of links >", 300, " /lib. limit/",
                           {.constant = "MAXLLNK", .header = "lib_com", .indent = 1});
  });
  EXPECT_EQ(out,
            "  ERR: number of links >   300 /lib. limit/\n"
            "  Change parameter MAXLLNK in \"lib_com\"\n");
}

TEST(TableFull, SilentForPositiveCodesFrom99) {
  comlib.iquiet = 0;
  EXPECT_EQ(captured([] { foundation::table_full(999, "x", 1, "", {.constant = "MAXCHAIN"}); }), "");
}

// The mmCIF readers name the constant without quotes, and the PDB reader's
// scattering-type table without its header.
TEST(TableFull, PlainAdviceLeavesHeaderUnquotedOrOut) {
  comlib.iquiet = 0;
  const std::string out = captured([] {
    foundation::table_full(0, " ERROR: number of atoms > limit.",
                           {.constant = "MAXATOM", .header = "atom_com", .quoted = false});
    foundation::table_full(0, " ERR: x", {.constant = "MAXNSF", .indent = 6, .quoted = false});
  });
  EXPECT_EQ(out,
            "  ERROR: number of atoms > limit.\n"
            "         change parameter MAXATOM in atom_com\n"
            "  ERR: x\n"
            "       change parameter MAXNSF\n");
}

TEST(TableFull, DocumentationRoutingKeepsPairOffStandardOutput) {
  comlib.iquiet = 0;
  EXPECT_EQ(captured([] { foundation::table_full(-1, "x", {.constant = "MAXLINK", .doc = true}); }), "");
}
