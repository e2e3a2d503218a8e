// The CIF tokeniser on small files: blocks, scalar items, loops, quotes and
// comments, quoted values that read like names, comment lines, multi-line
// text fields, format errors, word and item limits, the two instances, and
// line reading.
#include "foundation/cif_tokeniser.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/line_reader.h"
#include "foundation/messages.h"
#include "runtime/units.h"
#include "support/capture.h"
#include "support/temp_dir.h"

namespace {

constexpr int kUnit = 83;
constexpr int kUnit2 = 84;

void open_text(int unit, const std::string& name, const std::string& text) {
  const std::string path = scratch_path() + name;
  {
    std::ofstream out(path, std::ios::binary);
    out << text;
  }
  rt::OpenOptions opt;
  opt.status = rt::OpenStatus::Old;
  opt.readonly = true;
  ASSERT_EQ(rt::unit_open(unit, path, opt), 0);
}

class CifTokeniser : public testing::Test {
 protected:
  void SetUp() override {
    comlib.iquiet = 0;
    comlib.idoc = 0;
  }
  void TearDown() override {
    rt::unit_close(kUnit);
    rt::unit_close(kUnit2);
  }
  // Opens the text on the first unit and resets instance 1.
  void open(const std::string& text) {
    rt::unit_close(kUnit);
    open_text(kUnit,
              "cif_tok_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) +
                  std::to_string(++opened) + ".cif",
              text);
    iend = -1;
  }
  int next() {
    getcif_info_(kUnit, 0, ierr, iend);
    return iend;
  }
  std::string value(int k) const { return std::string(comcif_info.dt_cif(k).trimmed()); }
  std::string item(int k) const { return std::string(comcif_info.itm_cif(k).trimmed()); }
  // The record just read as the call tables write it: "block" for a block
  // word, else each item with its value.
  std::string record() const {
    if (comcif_info.n_cif == 0) return "block";
    std::string text;
    for (int i = 1; i <= comcif_info.n_cif; ++i) {
      if (i > 1) text += ' ';
      text.append(item(i)).append(":").append(value(i));
    }
    return text;
  }
  // The records of the rest of the text (ten at most), as the call tables
  // write them: "comment", a record, then "end" or "error", apart by " | ".
  std::string calls_to_end() {
    std::string calls;
    for (int k = 0; k < 10; ++k) {
      if (k > 0) calls += " | ";
      const int e = next();
      if (e == 1 || ierr != 0) return calls + (e == 1 ? "end" : "error");
      calls += e == -2 ? "comment" : record();
    }
    return calls;
  }

  int32_t ierr = 0;
  int32_t iend = -1;
  int opened = 0;
};

}  // namespace

TEST_F(CifTokeniser, BlockAnnouncementAndGlobalWord) {
  open("junk line\n_item.x 5\n# note\ndata_abc\n");
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(comcif_info.n_cif, 0);
  EXPECT_EQ(comcif_info.blk_cif.trimmed(), "data_abc");
  EXPECT_EQ(comcif_info.blk_flag.str(), "Y");
  EXPECT_EQ(next(), 1);
  // global_ opens a block without an announcement.
  open("global_ _a.b 7\n");
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(comcif_info.blk_cif.trimmed(), "global_");
  ASSERT_EQ(comcif_info.n_cif, 1);
  EXPECT_EQ(item(1), "_a.b");
  EXPECT_EQ(comcif_info.idt_cif(1), 7);
}

TEST_F(CifTokeniser, ScalarItemWithNumericValues) {
  open("data_x\n_cell.length_a 10.5\n_symmetry.Int_Tables_number   20\n");
  ASSERT_EQ(next(), 0);
  ASSERT_EQ(next(), 0);
  ASSERT_EQ(comcif_info.n_cif, 1);
  EXPECT_EQ(item(1), "_cell.length_a");
  EXPECT_EQ(value(1), "10.5");
  EXPECT_EQ(comcif_info.fdt_cif(1), 10.5f);
  EXPECT_EQ(comcif_info.idt_cif(1), 10);
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(item(1), "_symmetry.Int_Tables_number");
  EXPECT_EQ(comcif_info.idt_cif(1), 20);
  EXPECT_EQ(next(), 1);
}

TEST_F(CifTokeniser, LoopRowsComeOnePerCallWithTheSameNames) {
  open("data_x\nloop_\n_a.x\n_a.y\n_a.z\n1 2\n3 4 5 6\n");
  ASSERT_EQ(next(), 0);
  ASSERT_EQ(next(), 0);
  ASSERT_EQ(comcif_info.n_cif, 3);
  EXPECT_EQ(value(1) + value(2) + value(3), "123");
  EXPECT_EQ(item(1) + item(2) + item(3), "_a.x_a.y_a.z");
  ASSERT_EQ(next(), 0);
  ASSERT_EQ(comcif_info.n_cif, 3);
  EXPECT_EQ(value(1) + value(2) + value(3), "456");
  EXPECT_EQ(item(3), "_a.z");
  EXPECT_EQ(next(), 1);
}

// Item-value pairs of one category outside a loop, the form of a category
// of one row, come back as one record: that row.  Each call is shown as
// its record's items and values, "comment" or "block"; the last is "end".
TEST_F(CifTokeniser, PairsOfOneCategoryComeAsOneRecord) {
  std::string sixty_one = "data_x\n";
  std::string first_sixty;
  for (int i = 1; i <= 61; ++i) {
    const std::string item = "_a.i" + std::to_string(i), v = std::to_string(i);
    sixty_one += item + " " + v + "\n";
    if (i <= 60) first_sixty += (i > 1 ? " " : "") + item + ":" + v;
  }
  const struct {
    const char* label;
    std::string text;
    std::string calls;
  } rows[] = {
      {"pairs of one category, then another",
       "data_x\n_a.x 1\n_a.y 'two w' _a.z\n;text\n;\n_b.q 3\n",
       "block | _a.x:1 _a.y:two w _a.z:text | _b.q:3 | end"},
      {"a comment between two pairs leaves them one record", "data_x\n_a.x 1\n#\n_a.y 2\n",
       "block | comment | _a.x:1 _a.y:2 | end"},
      {"comments after the pairs, then another category", "data_x\n_a.x 1\n#\n# b\n_b.y 2\n",
       "block | comment | comment | _a.x:1 | _b.y:2 | end"},
      {"a name without a value just before a loop", "data_x\n_a.x 1\n_a.y\nloop_\n_a.z\n3\n4\n",
       "block | _a.x:1 | _a.z:3 | _a.z:4 | end"},
      {"a comment between a name and its value", "data_x\n_a.x 1 _a.y\n# note\n2\n",
       "block | comment | _a.x:1 _a.y:2 | end"},
      {"a loop of the category after its pairs", "data_x\n_a.x 1\nloop_\n_a.y\n2\n3\n",
       "block | _a.x:1 | _a.y:2 | _a.y:3 | end"},
      {"a pair after a loop of its category", "data_x\nloop_\n_a.x\n1\n_a.y 2\n",
       "block | _a.x:1 | _a.y:2 | end"},
      {"a name without a value is let go", "data_x\n_a.x 1\n_a.y\n_a.z 3\n",
       "block | _a.x:1 | _a.z:3 | end"},
      {"a name without a value at the end", "data_x\n_a.x 1\n_a.y\n", "block | _a.x:1 | end"},
      {"a quoted value that reads like a name", "data_x\n_a.x 1 '_a.y'\n",
       "block | _a.x:1 | _a.x:_a.y | end"},
      {"a block word ends the pairs", "data_x\n_a.x 1\ndata_y\n_a.y 2\n",
       "block | _a.x:1 | block | _a.y:2 | end"},
      {"names without a category stand alone", "data_x\n_cell_length_a 1\n_cell_length_b 2\n",
       "block | _cell_length_a:1 | _cell_length_b:2 | end"},
      {"sixty items fill a record", sixty_one, "block | " + first_sixty + " | _a.i61:61 | end"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.label);
    open(r.text);
    std::string calls;
    const std::string out = captured([&] { calls = calls_to_end(); });
    EXPECT_EQ(calls, r.calls);
    EXPECT_EQ(out, "");
  }
}

// Asked for (as the coordinate readers ask), a name given twice in one data
// block ends the read with a syntax error naming it and both its lines;
// the rows read before it come back.  Calls are written as above.
TEST_F(CifTokeniser, ItemGivenTwiceInOneBlockIsRefusedWhenAsked) {
  const struct {
    const char* label;
    bool asked;
    std::string text;
    std::string calls;
    std::string error;  // the error line, empty for none
  } rows[] = {
      {"two pairs of one name", true, "data_x\n_a.x 1\n_a.x 2\n", "block | error", "item _a.x in line 3"
       " is given twice in data block x (first in line 2)"},
      {"a pair and a loop of the name", true, "data_x\n_a.x 1\nloop_\n_a.y\n_a.x\n2 3\n",
       "block | _a.x:1 | error", "item _a.x in line 5 is given twice in data block x (first in line 2)"},
      {"one loop naming an item twice", true, "data_x\nloop_\n_a.x\n_a.y\n_a.x\n1 2 3\n",
       "block | error", "item _a.x in line 5 is given twice in data block x (first in line 3)"},
      {"a loop given twice", true, "data_x\nloop_\n_a.x\n1\nloop_\n_a.x\n2\n",
       "block | _a.x:1 | error", "item _a.x in line 6 is given twice in data block x (first in line 3)"},
      {"names differing in letter case", true, "data_x\n_a.x 1\n_b.y 2\n_A.X 3\n",
       "block | _a.x:1 | _b.y:2 | error", "item _A.X in line 4 is given twice in data block x (first in line 2)"},
      {"the name again in the next block", true, "data_x\n_a.x 1\ndata_y\n_a.x 2\n",
       "block | _a.x:1 | block | _a.x:2 | end", ""},
      {"names alike up to their ends", true, "data_x\n_a.x 1\n_a.xy 2\n", "block | _a.x:1 _a.xy:2 | end",
       ""},
      {"not asked (a library file)", false, "data_x\n_a.x 1\n_a.x 2\n", "block | _a.x:1 _a.x:2 | end", ""},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.label);
    if (r.asked) cif_refuse_repeated_items_info();
    open(r.text);
    std::string calls;
    const std::string out = captured([&] { calls = calls_to_end(); });
    EXPECT_EQ(calls, r.calls);
    EXPECT_EQ(cif_repeated_item_info(), !r.error.empty());
    if (r.error.empty()) {
      EXPECT_EQ(out, "");
      EXPECT_EQ(cif_syntax_error_info(), "");
    } else {
      EXPECT_EQ(out, "  ERROR: CIF_read: " + r.error + "\n");
      EXPECT_EQ(cif_syntax_error_info(), " ERROR: CIF_read: " + r.error);
    }
  }
  // The next reset that is not asked for watches no more.
  open("data_x\n_a.x 1\n_a.x 2\n");
  ASSERT_EQ(next(), 0);
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(comcif_info.n_cif, 2);
}

TEST_F(CifTokeniser, QuotesAndTrailingComments) {
  // The first name has no category, so that no look for more of it reads
  // the next line into the word area.
  open("data_x\n_a_b 'two words'\n_c.c word # a note\n_d.d 'x # y'\n_e.e O5'A\n_f.f \"N\"\n");
  ASSERT_EQ(next(), 0);
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(value(1), "two words");
  EXPECT_EQ(comfread_info.lwrd(2), 9);
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(value(1), "word");
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(value(1), "x # y");
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(value(1), "O5'A");
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(value(1), "N");
  EXPECT_EQ(next(), 1);
}

TEST_F(CifTokeniser, DoubleQuotedValuesLoseTheirQuotes) {
  // The archive's quoting of primed atom names, a blank and a "#" inside
  // double quotes, and a comment after a double-quoted value.
  open("data_x\nloop_\n_a.n\n_a.m\n\"O5'\" \"C1'\"\n\"a b\" \"x # y\" # note\n");
  ASSERT_EQ(next(), 0);
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(value(1), "O5'");
  EXPECT_EQ(value(2), "C1'");
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(value(1), "a b");
  EXPECT_EQ(value(2), "x # y");
  EXPECT_EQ(next(), 1);
}

TEST_F(CifTokeniser, CommentAfterAPrimedValueIsDropped) {
  // A prime inside or at the end of a bare word, or inside a quoted one,
  // opens no quotes: the "#" after it still starts a comment, while one
  // inside quotes that a prime does not close stays in the value.
  open("data_x\nloop_\n_a.n\n_a.m\nO5' 1 # x'\n'C1'' O3' # note\n'it's # no' 2\n");
  ASSERT_EQ(next(), 0);
  const char* want[3][2] = {{"O5'", "1"}, {"C1'", "O3'"}, {"it's # no", "2"}};
  for (const auto& row : want) {
    SCOPED_TRACE(row[0]);
    ASSERT_EQ(next(), 0);
    ASSERT_EQ(comcif_info.n_cif, 2);
    EXPECT_EQ(value(1), row[0]);
    EXPECT_EQ(value(2), row[1]);
  }
  EXPECT_EQ(next(), 1);
}

TEST_F(CifTokeniser, DoubleQuotesInsideAWordStayOrdinary) {
  // Only a word that begins with a double quote is quoted by it: one inside
  // a word, or inside apostrophes, is kept, and does not hide a comment.
  open("data_x\n_a.b x\"y\n_c.c 'p\"q'\n_d.d O5\" # note\n");
  ASSERT_EQ(next(), 0);
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(value(1), "x\"y");
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(value(1), "p\"q");
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(value(1), "O5\"");
  EXPECT_EQ(next(), 1);
}

TEST_F(CifTokeniser, QuotedWordsAreValuesWhateverTheyReadLike) {
  // Values that spell item names, block words or "loop_" stay values when
  // quoted; the loop keeps its four columns and no set is reported broken.
  open("data_x\nloop_\n_r.ordinal\n_r.revision\n_r.type\n_r.item\n"
       "1 5 'Structure model' '_atom_site.Cartn_x'\n"
       "2 5 'data_y' 'loop_'\n"
       "3 5 'global_' ;\n");
  const std::string out = captured([&] {
    ASSERT_EQ(next(), 0);
    ASSERT_EQ(next(), 0);
    ASSERT_EQ(comcif_info.n_cif, 4);
    EXPECT_EQ(value(3), "Structure model");
    EXPECT_EQ(value(4), "_atom_site.Cartn_x");
    EXPECT_EQ(item(4), "_r.item");
    ASSERT_EQ(next(), 0);
    ASSERT_EQ(comcif_info.n_cif, 4);
    EXPECT_EQ(value(1), "2");
    EXPECT_EQ(value(3), "data_y");
    EXPECT_EQ(value(4), "loop_");
    EXPECT_EQ(comcif_info.blk_cif.trimmed(), "data_x");
    ASSERT_EQ(next(), 0);
    ASSERT_EQ(comcif_info.n_cif, 4);
    EXPECT_EQ(value(3), "global_");
    // A ";" that does not begin its line is an ordinary value.
    EXPECT_EQ(value(4), ";");
    EXPECT_EQ(next(), 1);
  });
  EXPECT_EQ(out.find("number of data > number of items"), std::string::npos) << out;
}

TEST_F(CifTokeniser, TextFieldBeginningWithUnderscoreIsAValue) {
  open("data_x\n_a.note\n;\n_looks.like_an_item 12\n;\n_b.next 3\n");
  ASSERT_EQ(next(), 0);
  ASSERT_EQ(next(), 0);
  ASSERT_EQ(comcif_info.n_cif, 1);
  EXPECT_EQ(item(1), "_a.note");
  EXPECT_EQ(value(1), "_looks.like_an_item 12");
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(item(1), "_b.next");
  EXPECT_EQ(comcif_info.idt_cif(1), 3);
  EXPECT_EQ(next(), 1);
}

TEST_F(CifTokeniser, BareNamesAndBlockWordsStillWork) {
  // An apostrophe inside a word does not quote it: the word stays an item
  // name, and a block word after a quoted value still opens a block.
  open("data_x\n_a.b'c 'q'\n_c.c 'v' data_next\n_a.d 1\n");
  ASSERT_EQ(next(), 0);
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(item(1), "_a.b'c");
  EXPECT_EQ(value(1), "q");
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(item(1), "_c.c");
  EXPECT_EQ(value(1), "v");
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(comcif_info.n_cif, 0);
  EXPECT_EQ(comcif_info.blk_cif.trimmed(), "data_next");
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(item(1), "_a.d");
}

TEST_F(CifTokeniser, CommentLinesAreReturnedAndReadingGoesOn) {
  // Names without a category, each a record of its own.
  open("data_x\n# hello there\n_a_b 1\n#again\n_a_c 2\n");
  ASSERT_EQ(next(), 0);
  ASSERT_EQ(next(), -2);
  EXPECT_EQ(comcif_info.dt_cif(60).trimmed(), "# hello there");
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(item(1), "_a_b");
  ASSERT_EQ(next(), -2);
  iend = 0;
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(item(1), "_a_c");
}

TEST_F(CifTokeniser, AngleBracketLineIsACommentForTheFirstInstanceOnly) {
  open("data_x\n<html>\n_a.b 1\n");
  ASSERT_EQ(next(), 0);
  ASSERT_EQ(next(), -2);
  EXPECT_EQ(comcif_info.dt_cif(60).trimmed(), "<html>");
  open_text(kUnit2, "cif_tok_angle2.cif", "data_x\n_a.b\n<html>\n");
  int32_t e = -1, err = 0;
  getcif_c_(kUnit2, 0, err, e);
  ASSERT_EQ(e, 0);
  getcif_c_(kUnit2, 0, err, e);
  ASSERT_EQ(e, 0);
  ASSERT_EQ(comcif_c.n_cif, 1);
  EXPECT_EQ(comcif_c.dt_cif(1).trimmed(), "<html>");
}

TEST_F(CifTokeniser, TextFieldBecomesOneValueWithQuotesTurnedDouble) {
  open("data_x\n_a.b\n;\nit's a   text\nmore text\n;\n_c.c 5\n");
  ASSERT_EQ(next(), 0);
  ASSERT_EQ(next(), 0);
  ASSERT_EQ(comcif_info.n_cif, 1);
  EXPECT_EQ(value(1), "it\"s a   text");
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(item(1), "_c.c");
  EXPECT_EQ(comcif_info.idt_cif(1), 5);
  // The field may start on its opening line, or close on its only line.
  open("data_x\nloop_\n_a.b\n_a.c\n;  first line\nsecond\n;\n7\n");
  ASSERT_EQ(next(), 0);
  ASSERT_EQ(next(), 0);
  ASSERT_EQ(comcif_info.n_cif, 2);
  EXPECT_EQ(value(1), "first line");
  EXPECT_EQ(value(2), "7");
  open("data_x\n_a.b\n;\n;closing text\n_c.c 1\n");
  ASSERT_EQ(next(), 0);
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(value(1), "closing text");
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(item(1), "_c.c");
  // End of file inside a field.
  open("data_x\n_a.b\n;\nunfinished\n");
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(next(), 1);
  EXPECT_EQ(ierr, 0);
}

TEST_F(CifTokeniser, ValueBeforeAnyItemIsReported) {
  open("data_x\n5 6\n");
  ASSERT_EQ(next(), 0);
  const std::string out = captured([&] { next(); });
  EXPECT_EQ(out,
            "  ERR: CIF_read: number of items =0 / before the data /\n 5 6\n"
            "  ERR: CIF_read: number of items =0 / before the data /\n 5 6\n");
  EXPECT_EQ(iend, 1);
}

TEST_F(CifTokeniser, IncompleteItemSetIsReportedAndDropped) {
  open("data_x\nloop_\n_a.x\n_a.y\n1 2 3\ndata_y\n");
  ASSERT_EQ(next(), 0);
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(value(1) + value(2), "12");
  std::string out = captured([&] { next(); });
  EXPECT_EQ(out,
            "  ERR: CIF_read: number of data > number of items\n"
            "        last items :<_a.x            >\n");
  EXPECT_EQ(iend, 0);
  EXPECT_EQ(comcif_info.n_cif, 0);
  EXPECT_EQ(comcif_info.blk_cif.trimmed(), "data_y");
  EXPECT_EQ(comcif_info.n_data, 0);
}

TEST_F(CifTokeniser, IncompleteSetReportShowsAnUnfilledNameSlotAsBlanks) {
  // Two values before any item name, then a loop: the report names slot 2,
  // which no name has filled.
  open("data_x\n5 6\nloop_\n_a.x\n1\n");
  std::memset(comcif_info.itm_cif(2).c, 0, 80);
  ASSERT_EQ(next(), 0);
  const std::string out = captured([&] { next(); });
  EXPECT_NE(out.find("  ERR: CIF_read: number of data > number of items\n"
                     "        last items :<                >\n"),
            std::string::npos)
      << out;
  EXPECT_EQ(out.find('\0'), std::string::npos);
  EXPECT_EQ(iend, 0);
  EXPECT_EQ(value(1), "1");
}

TEST_F(CifTokeniser, SixtyOneWordsKeepSixtyAndWarnOnlyInFirstInstance) {
  std::string words;
  for (int k = 1; k <= 61; ++k) words += std::to_string(k) + " ";
  const std::string text = "data_x\nloop_\n_a.v\n" + words + "\n";
  open(text);
  ASSERT_EQ(next(), 0);
  std::string out = captured([&] { next(); });
  EXPECT_EQ(out, "  WARNING: CIF_read: number of words > limit\n");
  EXPECT_EQ(comcif_info.idt_cif(1), 1);
  int rows = 1;
  while (next() == 0) {
    ++rows;
    EXPECT_EQ(comcif_info.idt_cif(1), rows);
  }
  EXPECT_EQ(rows, 60);

  open_text(kUnit2, "cif_tok_words2.cif", text);
  int32_t e = -1, err = 0;
  getcif_c_(kUnit2, 0, err, e);
  out = captured([&] { getcif_c_(kUnit2, 0, err, e); });
  EXPECT_EQ(out, "");
  EXPECT_EQ(comfread_c.nwrd, 60);
  EXPECT_EQ(comfread_c.iover, 1);
}

TEST_F(CifTokeniser, WideLoopKeepsRowsAlignedPastSixtyItems) {
  std::string text = "data_x\nloop_\n";
  for (int k = 1; k <= 62; ++k) text += "_w.i" + std::to_string(k) + "\n";
  for (int row = 0; row < 2; ++row) {
    for (int k = 1; k <= 62; ++k) text += std::to_string(100 * row + k) + (k % 31 == 0 ? "\n" : " ");
  }
  open(text);
  ASSERT_EQ(next(), 0);
  const std::string out = captured([&] { next(); });
  EXPECT_EQ(out,
            "  ERR: CIF_read: too many items in the loop >    60\n"
            "  ERR: CIF_read: too many items in the loop >    60\n");
  ASSERT_EQ(iend, 0);
  EXPECT_EQ(comcif_info.n_cif, 60);
  EXPECT_EQ(comcif_info.idt_cif(60), 60);
  EXPECT_EQ(item(60), "_w.i60");
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(comcif_info.idt_cif(1), 101);
  EXPECT_EQ(comcif_info.idt_cif(60), 160);
  EXPECT_EQ(next(), 1);
}

TEST_F(CifTokeniser, ContinuationMinusTwoDiffersBetweenInstances) {
  const std::string text = "data_x\nloop_\n_a.x\n1 2 3\n4\n";
  open(text);
  ASSERT_EQ(next(), 0);
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(value(1), "1");
  iend = -2;  // drops the rest of the line
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(value(1), "4");

  open_text(kUnit2, "cif_tok_cont2.cif", text);
  int32_t e = -1, err = 0;
  getcif_c_(kUnit2, 0, err, e);
  getcif_c_(kUnit2, 0, err, e);
  EXPECT_EQ(comcif_c.dt_cif(1).trimmed(), "1");
  e = -2;  // goes on with the next word
  getcif_c_(kUnit2, 0, err, e);
  ASSERT_EQ(e, 0);
  EXPECT_EQ(comcif_c.dt_cif(1).trimmed(), "2");
}

TEST_F(CifTokeniser, InstancesKeepSeparateState) {
  open("data_one\n_a.b 1\n_c.c 2\n");
  open_text(kUnit2, "cif_tok_two.cif", "data_two\n_z.y 9\n");
  int32_t e = -1, err = 0;
  ASSERT_EQ(next(), 0);
  getcif_c_(kUnit2, 0, err, e);
  ASSERT_EQ(next(), 0);
  getcif_c_(kUnit2, 0, err, e);
  EXPECT_EQ(item(1), "_a.b");
  EXPECT_EQ(comcif_c.itm_cif(1).trimmed(), "_z.y");
  EXPECT_EQ(comcif_info.blk_cif.trimmed(), "data_one");
  EXPECT_EQ(comcif_c.blk_cif.trimmed(), "data_two");
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(item(1), "_c.c");
}

TEST(CifWords, OpeningQuoteTakesNextCharacterAndLoneQuoteIsBlank) {
  comfread_info.line = "'x' a '";
  frd_parm_info_();
  ASSERT_EQ(comfread_info.nwrd, 2);
  EXPECT_EQ(comfread_info.cwrd(1).trimmed(), "x");
  EXPECT_EQ(comfread_info.cwrd(2).trimmed(), "a");
  // The character after an opening quote starts the word even when it is a
  // quote or a blank, and a blank inside quotes is kept.
  comfread_info.line = "''a b' x";
  frd_parm_info_();
  ASSERT_EQ(comfread_info.nwrd, 2);
  EXPECT_EQ(comfread_info.cwrd(1).trimmed(), "'a b");
  EXPECT_EQ(comfread_info.lwrd(1), 4);
  comfread_info.line = "' a' x";
  frd_parm_info_();
  ASSERT_EQ(comfread_info.nwrd, 2);
  EXPECT_EQ(comfread_info.cwrd(1).str().substr(0, 3), " a ");
  comfread_c.line = "\t-3.5\t'x'";
  frd_parmc_();
  ASSERT_EQ(comfread_c.nwrd, 2);
  EXPECT_EQ(comfread_c.fwrd(1), -3.5f);
  EXPECT_EQ(comfread_c.cwrd(2).trimmed(), "x");
}

TEST(CifWords, EmptyQuotedValuesAreEmptyWords) {
  // A quote closed at once, before a blank or the line end, is a value of
  // its own with no characters; the words after it keep their places.
  for (const char* line : {"1 '' O 2 ''", "1 \"\" O 2 \"\""}) {
    SCOPED_TRACE(line);
    comfread_info.line = line;
    frd_parm_info_();
    ASSERT_EQ(comfread_info.nwrd, 5);
    EXPECT_EQ(comfread_info.cwrd(2).trimmed(), "");
    EXPECT_EQ(comfread_info.lwrd(2), 0);
    EXPECT_EQ(comfread_info.qwrd(2), 'Y');
    EXPECT_EQ(comfread_info.cwrd(3).trimmed(), "O");
    EXPECT_EQ(comfread_info.iwrd(4), 2);
    EXPECT_EQ(comfread_info.lwrd(5), 0);
  }
}

TEST(CifWords, QuotedWordsAreMarked) {
  comfread_info.line = "_a.b '_c.d' x'y 'e f' \"g\"";
  frd_parm_info_();
  ASSERT_EQ(comfread_info.nwrd, 5);
  const char expect[5] = {'N', 'Y', 'N', 'Y', 'Y'};
  for (int w = 1; w <= 5; ++w) EXPECT_EQ(comfread_info.qwrd(w), expect[w - 1]) << w;
  EXPECT_EQ(comfread_info.cwrd(2).trimmed(), "_c.d");
  EXPECT_EQ(comfread_info.cwrd(3).trimmed(), "x'y");
  EXPECT_EQ(comfread_info.cwrd(4).trimmed(), "e f");
  EXPECT_EQ(comfread_info.cwrd(5).trimmed(), "g");
}

TEST(CifWords, DoubleQuoteEndsOnlyBeforeABlankOrTheLineEnd) {
  // "a"b" is one word a"b; a lone double quote at the end is a blank; the
  // character after an opening double quote starts the word whatever it is.
  comfread_info.line = "\"a\"b\" \"it's\"x\" \"";
  frd_parm_info_();
  ASSERT_EQ(comfread_info.nwrd, 2);
  EXPECT_EQ(comfread_info.cwrd(1).trimmed(), "a\"b");
  EXPECT_EQ(comfread_info.lwrd(1), 3);
  EXPECT_EQ(comfread_info.cwrd(2).trimmed(), "it's\"x");
  // An unclosed double quote runs to the line end, blanks kept.
  comfread_info.line = "\"x y";
  frd_parm_info_();
  ASSERT_EQ(comfread_info.nwrd, 1);
  EXPECT_EQ(comfread_info.cwrd(1).trimmed(), "x y");
  EXPECT_EQ(comfread_info.qwrd(1), 'Y');
}

TEST(CifWords, ApostropheInABareWordIsAnOrdinaryCharacter) {
  // Only an apostrophe that opens a word quotes it: primed atom names
  // written bare keep their prime, before a blank, inside the word and at
  // the line end, and the words after them keep their places.  A quoted
  // word closes only at an apostrophe before a blank ('C1'' is C1').
  comfread_info.line = "O5' x'y 'C1'' \"O5'\" ab' cd' 'a'b c' O3'";
  frd_parm_info_();
  const struct {
    const char* text;
    char quoted;
  } want[] = {{"O5'", 'N'}, {"x'y", 'N'}, {"C1'", 'Y'}, {"O5'", 'Y'}, {"ab'", 'N'},
              {"cd'", 'N'}, {"a'b c", 'Y'}, {"O3'", 'N'}};
  ASSERT_EQ(comfread_info.nwrd, 8);
  for (int w = 1; w <= 8; ++w) {
    SCOPED_TRACE(w);
    EXPECT_EQ(comfread_info.cwrd(w).trimmed(), want[w - 1].text);
    EXPECT_EQ(comfread_info.lwrd(w), static_cast<int>(std::strlen(want[w - 1].text)));
    EXPECT_EQ(comfread_info.qwrd(w), want[w - 1].quoted);
  }
  // A bare word that is no more than a prime and a quote opened mid-word
  // do not quote what follows.
  comfread_info.line = "1'' x 2'y z";
  frd_parm_info_();
  ASSERT_EQ(comfread_info.nwrd, 4);
  EXPECT_EQ(comfread_info.cwrd(1).trimmed(), "1''");
  EXPECT_EQ(comfread_info.cwrd(3).trimmed(), "2'y");
  EXPECT_EQ(comfread_info.cwrd(4).trimmed(), "z");
}

TEST(CifWords, NumbersOfWordsAndNonNumbers) {
  comfread_info.line = "12.5 -7 .5 A1 1e2 ? . x12 +3";
  frd_parm_info_();
  ASSERT_EQ(comfread_info.nwrd, 9);
  const float f[9] = {12.5f, -7.0f, 0.5f, 0.0f, 100.0f, 0.0f, 0.0f, 0.0f, 3.0f};
  const int32_t i[9] = {12, -7, 0, 0, 0, 0, 0, 0, 3};
  for (int w = 1; w <= 9; ++w) {
    EXPECT_EQ(comfread_info.fwrd(w), f[w - 1]) << w;
    EXPECT_EQ(comfread_info.iwrd(w), i[w - 1]) << w;
  }
}

TEST_F(CifTokeniser, LineReaderCutsAndClearsLineEnds) {
  open(std::string("abc\r\n") + std::string(300, 'x') + "\n\n");
  rt::FixedText<256> line("old");
  int32_t err = 5, e = 5;
  getline_(kUnit, 0, line, err, e);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(e, 0);
  EXPECT_EQ(line.trimmed(), "abc");
  getline_(kUnit, 0, line, err, e);
  EXPECT_EQ(line.str(), std::string(256, 'x'));
  getline_(kUnit, 0, line, err, e);
  EXPECT_TRUE(line.is_blank());
  line = "kept";
  getline_(kUnit, 0, line, err, e);
  EXPECT_EQ(e, 1);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(line.trimmed(), "kept");
}

TEST_F(CifTokeniser, RealEntryWithPrimesQuotesAndTextFields) {
  // A secondary-structure loop of a real entry: identifiers with primes,
  // double-quoted values, an apostrophe-quoted value holding both kinds
  // of quote, and text fields that hold an apostrophe.  Every row comes back
  // whole, with as many values as the loop has names.
  const std::string path = ORB_TEST_DATA_DIR "/cif_1MOM_min.cif";
  std::ifstream in(path);
  std::vector<std::string> row_starts;
  int names = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("_struct_conf.", 0) == 0) ++names;
    if (line.rfind("HELX_P ", 0) == 0 || line.rfind("TURN_P ", 0) == 0) row_starts.push_back(line);
  }
  ASSERT_EQ(names, 20);
  rt::OpenOptions opt;
  opt.status = rt::OpenStatus::Old;
  opt.readonly = true;
  ASSERT_EQ(rt::unit_open(kUnit, path, opt), 0);
  iend = -1;
  std::vector<std::vector<std::string>> rows;
  const std::string out = captured([&] {
    ASSERT_EQ(next(), 0);
    EXPECT_EQ(comcif_info.blk_cif.trimmed(), "data_1MOM");
    while (next() == 0) {
      ASSERT_EQ(comcif_info.n_cif, names);
      std::vector<std::string> r;
      for (int k = 1; k <= names; ++k) r.push_back(value(k));
      rows.push_back(r);
    }
  });
  EXPECT_EQ(out, "");
  EXPECT_EQ(iend, 1);
  EXPECT_EQ(ierr, 0);
  ASSERT_EQ(rows.size(), row_starts.size());
  for (std::size_t r = 0; r < rows.size(); ++r) {
    std::istringstream words(row_starts[r]);
    std::string w1, w2;
    words >> w1 >> w2;
    EXPECT_EQ(rows[r][0], w1) << r;
    EXPECT_EQ(rows[r][1], w2) << r;
  }
  EXPECT_EQ(rows[1][2], "A'");   // HELX_P2: "A'" quoted by double quotes
  EXPECT_EQ(rows[13][2], "A'\"");    // TURN_P1: 'A'"' quoted by apostrophes
  EXPECT_EQ(rows[13][18], "TYPE I\"");  // text field: its apostrophe turned double
  EXPECT_EQ(rows[13][19], "?");
  EXPECT_EQ(rows[15][18], "TYPE I (H-BOND O65-N69)");
  EXPECT_EQ(rows[16][18], "TYPE II\"");
}

TEST_F(CifTokeniser, QuoteItsLineDoesNotCloseIsAnErrorNamingTheLine) {
  // Either quote; the call ends with ierr 1 and the next call goes on with
  // the next line.  Quotes in comments, and a quote closed only beyond the
  // room of a line cut to 256 characters, are no error.
  const struct {
    const char* label;
    const char* open;
  } quotes[] = {{"apostrophe", "'"}, {"double quote", "\""}};
  for (const auto& q : quotes) {
    SCOPED_TRACE(q.label);
    open(std::string("data_x\n# it's a note\n_a.b word # don't\n_a.c ") + q.open +
         "never closed\n_a.d 5\n");
    ASSERT_EQ(next(), 0);
    EXPECT_EQ(next(), -2);
    ASSERT_EQ(next(), 0);
    EXPECT_EQ(value(1), "word");
    const std::string out = captured([&] { next(); });
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(out, "  ERROR: CIF_read: unterminated quote in line 4\n");
    EXPECT_EQ(cif_syntax_error_info(), " ERROR: CIF_read: unterminated quote in line 4");
    ASSERT_EQ(next(), 0);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(item(1), "_a.d");
    EXPECT_EQ(cif_syntax_error_info(), "");
  }
  open("data_x\n_a.t '" + std::string(300, 'x') + "'\n_a.u 1\n");
  ASSERT_EQ(next(), 0);
  ASSERT_EQ(next(), 0);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(value(1), std::string(80, 'x'));
}

TEST_F(CifTokeniser, RecordPlaceGivesItsLinesAndWhetherItKeepsToWholeLines) {
  // Lines: 1 data_x, 2 loop_, 3-5 names, then the values.
  open(
      "data_x\nloop_\n_a.x\n_a.y\n_a.z\n1 2 3\n4 5\n6\n7 8 9 10\n11 12\n;a text\nfield\n;\n13 "
      "14\n");
  ASSERT_EQ(next(), 0);
  const CifRecordPlace& p = cif_record_place_info();
  const struct {
    const char* label;
    int32_t line, line_end, values_before, words_end;
    bool starts, ends;
  } rows[] = {
      {"one line", 6, 6, 0, 3, true, true},
      {"two lines", 7, 8, 2, 1, true, true},
      {"a value to spare", 9, 9, 0, 4, true, false},
      {"begun inside a line", 9, 10, 1, 2, false, true},
      {"text field then a line", 11, 14, 1, 2, true, true},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.label);
    ASSERT_EQ(next(), 0);
    EXPECT_EQ(p.line, r.line);
    EXPECT_EQ(p.line_end, r.line_end);
    EXPECT_EQ(p.values_before, r.values_before);
    EXPECT_EQ(p.words_end, r.words_end);
    EXPECT_EQ(p.starts_line, r.starts);
    EXPECT_EQ(p.ends_line, r.ends);
  }
  EXPECT_EQ(value(1), "a text");
  // A set dropped for want of values keeps the place where it began.
  open("data_x\nloop_\n_a.x\n_a.y\n1 2\n3\nloop_\n_b.x\n4\n");
  ASSERT_EQ(next(), 0);
  ASSERT_EQ(next(), 0);
  captured([&] { next(); });
  EXPECT_EQ(cif_dropped_set_info().place.line, 6);
  EXPECT_EQ(value(1), "4");
  EXPECT_EQ(p.line, 9);
}

// Passing over the rest of a loop (items _a.) after its first row leaves
// everything after the loop as reading every row does: the same records,
// the same lines, the same reports.  The transcript of a read keeps each
// record that is no _a row, with the line of its first value, then what
// went to standard output.
TEST_F(CifTokeniser, PassingOverLoopRowsLeavesWhatFollowsAsReadingThem) {
  const std::string names = "data_x\nloop_\n_a.x\n_a.y\n_a.z\n";
  const struct {
    const char* label;
    std::string text;
  } cases[] = {
      {"rows of a line each, then a name", names + "1 2 3\n4 5 6\n7 8 9\n_b.x 5\n"},
      {"a row over two lines, blank lines, then a loop", names + "1 2 3\n4 5\n\n6\n7 8 9\nloop_\n_b.x\n1\n2\n"},
      {"values holding an underscore", names + "1 2 3\nC_1 D_2 E_3\n4 5 6\n_b.x 5\n"},
      {"quoted values and a comment among the rows",
       names + "1 2 3\n'A B' \"C\" D\n# note\n4 5 6\n_b.x 5\n"},
      {"a text field as a value", names + "1 2 3\n4 5\n;text\n;\n7 8 9\n_b.x 5\n"},
      {"the next name on the line of the last row", names + "1 2 3\n4 5 6 _b.x 5\n"},
      {"a row short of its values", names + "1 2 3\n4 5\n_b.x 5\n"},
      {"a row short of its values at the end of the file", names + "1 2 3\n4 5\n"},
      {"another data block", names + "1 2 3\n4 5 6\ndata_y\n_b.x 5\n"},
      {"an angle-bracket line", names + "1 2 3\n<html> x\n4 5 6\n_b.x 5\n"},
  };
  const auto transcript = [&](const std::string& text, bool pass_over) {
    open(text);
    std::string t;
    t += captured([&] {
      for (int n = 0; n < 100; ++n) {
        const int e = next();
        if (ierr != 0) {
          t += "error\n";
          break;
        }
        if (e == 1) break;
        if (e == -2) {
          t += "comment\n";
          continue;
        }
        if (comcif_info.n_cif > 0 && item(1) == "_a.x") {
          if (pass_over) {
            cif_pass_over_rows_info(kUnit, 0, ierr);
            if (ierr != 0) t += "error\n";
          }
          continue;
        }
        t += record();
        if (comcif_info.n_cif > 0) t += " @" + std::to_string(cif_record_place_info().line);
        t += "\n";
      }
    });
    return t;
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string read_all = transcript(c.text, false);
    EXPECT_EQ(transcript(c.text, true), read_all);
    EXPECT_NE(read_all.find("block"), std::string::npos) << read_all;
  }
  // The line numbers follow the lines passed over.
  EXPECT_EQ(transcript(cases[1].text, true), "block\n_b.x:1 @13\n_b.x:2 @14\n");
  // A row short of its values is reported as ever (the transcript gives
  // standard output last).
  EXPECT_EQ(transcript(cases[6].text, true),
            "block\n_b.x:5 @8\n  ERR: CIF_read: number of data > number of items\n"
            "        last items :<_a.y            >\n");
}
