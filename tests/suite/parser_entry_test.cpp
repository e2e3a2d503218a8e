// The code base's keyword entries: parser_, parse_, parsdl_ and lenstr_,
// with blank-padded texts and 1-based per-token arrays.
#include <filesystem>
#include <iterator>
#include <string>

#include "runtime/array.h"
#include "suite/ptq7_parser_f.h"
#include "suite_test_support.h"


namespace {

namespace fs = std::filesystem;
constexpr int CAP = 40;

class KeywordEntry : public suite_test::SuiteTest {
 protected:
  void SetUp() override {
    SuiteTest::SetUp();
    key = "OLD";
    line.blank();
    for (int k = 1; k <= CAP; ++k) {
      cvalue(k) = "ZZZZ";
      idec(k) = -7;
      fvalue(k) = -7;
      ityp(k) = -7;
    }
  }
  void read(const std::string& text = "", bool print = false, int32_t capacity = 20) {
    line = text;
    ntok = capacity;
    parser_(key, line, &ibeg(1), &iend(1), &ityp(1), &fvalue(1), &cvalue(1), &idec(1), ntok,
            lend, print);
  }
  void tokenise(const std::string& text, int32_t n) {
    ntok = n;
    parse_(text, &ibeg(1), &iend(1), &ityp(1), &fvalue(1), &cvalue(1), &idec(1), ntok);
  }
  rt::FixedText<4> key;
  rt::FixedText<80> line;
  rt::Array1<int32_t, CAP> ibeg, iend, ityp, idec;
  rt::Array1<float, CAP> fvalue;
  rt::Array1<rt::FixedText<4>, CAP> cvalue;
  int32_t ntok = 0;
  bool lend = false;
};

TEST_F(KeywordEntry, DefineLineGivesKeyWordsAndLengths) {
  read("TLS GROUP DEFINE A B");
  EXPECT_FALSE(lend);
  EXPECT_EQ(ntok, 5);
  EXPECT_EQ(key, "TLS");
  for (int k = 1; k <= 5; ++k) EXPECT_EQ(ityp(k), 1) << k;
  EXPECT_EQ(cvalue(3), "DEFI");
  EXPECT_EQ(idec(3), 4);
  EXPECT_EQ(cvalue(4), "A");
  EXPECT_EQ(idec(4), 1);
  EXPECT_EQ(ibeg(3), 11);
  EXPECT_EQ(iend(3), 16);
  EXPECT_EQ(line, "TLS GROUP DEFINE A B");
}

TEST_F(KeywordEntry, NumbersCarryValueAndDigitCode) {
  read("RESO 2.5 12.345 12 -4");
  EXPECT_EQ(ityp(2), 2);
  EXPECT_FLOAT_EQ(fvalue(2), 2.5f);
  EXPECT_EQ(idec(2), 201);
  EXPECT_EQ(idec(3), 303);
  EXPECT_FLOAT_EQ(fvalue(3), 12.345f);
  EXPECT_EQ(idec(4), 2);
  EXPECT_FLOAT_EQ(fvalue(5), -4.0f);
  EXPECT_EQ(cvalue(3), "12.3");
}

TEST_F(KeywordEntry, NullTokenLeavesOtherArraysAlone) {
  read("A,,B");
  EXPECT_EQ(ntok, 3);
  EXPECT_EQ(ityp(2), 0);
  EXPECT_EQ(ibeg(2), 2);
  EXPECT_EQ(iend(2), 2);
  EXPECT_EQ(cvalue(2), "ZZZZ");
  EXPECT_EQ(idec(2), -7);
  EXPECT_FLOAT_EQ(fvalue(2), -7.0f);
  EXPECT_EQ(ityp(3), 1);
}

TEST_F(KeywordEntry, CapacityIsClampedAndWrittenBack) {
  read("A", false, 5);
  EXPECT_EQ(ntok, 1);
  ntok = 5;
  line = "A B";
  int32_t cap = 5;
  parser_(key, line, &ibeg(1), &iend(1), &ityp(1), &fvalue(1), &cvalue(1), &idec(1), cap, lend,
          false);
  EXPECT_EQ(cap, 2);
  // The clamp itself: 25 tokens fit although 5 were asked for.
  std::string many;
  for (int k = 0; k < 25; ++k) many += "X ";
  Capture out;
  read(many, false, 5);
  EXPECT_EQ(ntok, 20);
  EXPECT_NE(out.out().find("Maximum number of tokens exceeded"), std::string::npos);
}

TEST_F(KeywordEntry, SingleFloatLimitsApply) {
  Capture cap;
  read("V 1E39 1E38");
  EXPECT_EQ(ityp(2), 2);
  EXPECT_FLOAT_EQ(fvalue(2), 0.0f);
  EXPECT_FLOAT_EQ(fvalue(3), 1e38f);
  EXPECT_NE(cap.out().find("Overflow"), std::string::npos);
}

TEST_F(KeywordEntry, BlankLineReadsStandardInputAndEchoes) {
  StdinFeed in("# note\ntls group chain\n");
  Capture cap;
  read("", true);
  EXPECT_EQ(key, "TLS");
  EXPECT_EQ(cvalue(1), "tls");
  EXPECT_EQ(line, "tls group chain");
  EXPECT_EQ(cap.out(), " Comment line--- # note\n Data line--- tls group chain\n");
}

TEST_F(KeywordEntry, ZeroFilledLineFieldReadsStandardInput) {
  StdinFeed in("END\n");
  char field[80] = {};
  ntok = 20;
  parser_(key, rt::TextRef(field, 80), &ibeg(1), &iend(1), &ityp(1), &fvalue(1), &cvalue(1),
          &idec(1), ntok, lend, false);
  EXPECT_FALSE(lend);
  EXPECT_EQ(ntok, 1);
  EXPECT_EQ(key, "END");
  EXPECT_EQ(std::string(field, 80), "END" + std::string(77, ' '));
}

TEST_F(KeywordEntry, EndOfInputSetsLendAndKeepsOutputs) {
  StdinFeed in("");
  read("");
  EXPECT_TRUE(lend);
  EXPECT_EQ(ntok, 0);
  EXPECT_EQ(key, "OLD");
  EXPECT_EQ(ityp(1), -7);
}

TEST_F(KeywordEntry, CommandFileStaysOpenBetweenCalls) {
  TempDir dir;
  const std::string cmds = dir.write("cmds", "CHAIN A\nCHAIN B\n");
  StdinFeed in("@" + cmds + "\nEND\n");
  read("");
  EXPECT_EQ(line, "CHAIN A");
  read("");
  EXPECT_EQ(line, "CHAIN B");
  read("");
  EXPECT_EQ(key, "END");
  read("");
  EXPECT_TRUE(lend);
}

// Keywords that end at the END of a command file leave it open: closed on
// request, its descriptor is given back and the next line comes from
// standard input, never from the lines after its END.
TEST_F(KeywordEntry, CommandFileEndedBeforeItsEndIsClosedOnRequest) {
  TempDir dir;
  const std::string cmds = dir.write("cmds", "END\nCHAIN B\n");
  StdinFeed in("@" + cmds + "\nNEXT\n");
  const auto descriptors = [] {
    return std::distance(fs::directory_iterator("/proc/self/fd"), {});
  };
  const auto before = descriptors();
  read("");
  EXPECT_EQ(key, "END");
  EXPECT_EQ(descriptors(), before + 1);
  suite::parser_close_command_file();
  EXPECT_EQ(descriptors(), before);
  read("");
  EXPECT_EQ(line, "NEXT");
}

TEST_F(KeywordEntry, OverlongLineIsCutToTheField) {
  StdinFeed in(std::string(100, 'Q') + " TAIL\nNEXT\n");
  Capture cap;
  read("");
  EXPECT_EQ(line, std::string(80, 'Q'));
  read("");
  EXPECT_EQ(key, "NEXT");
}

// A caller that must not act on part of a line learns what was left out,
// for the line just returned only; a line that fits its field exactly lost
// nothing.
TEST_F(KeywordEntry, CutLineOrTokensAreReportedForThatLineOnly) {
  StdinFeed in(std::string(81, 'Q') + "\n" + std::string(80, 'R') + "\n" + "A B C\n" +
               std::string(70, 'T') + " &\n" + "UVWXYZUVWXYZ\n");
  Capture cap;
  read("");
  EXPECT_TRUE(suite::parser_last_cut().chars);
  EXPECT_FALSE(suite::parser_last_cut().tokens);
  read("");
  EXPECT_EQ(line, std::string(80, 'R'));
  EXPECT_FALSE(suite::parser_last_cut().chars);
  read("");
  EXPECT_EQ(ntok, 3);
  read("");  // a continued line whose second piece runs past the field
  EXPECT_TRUE(suite::parser_last_cut().chars);
  read("");
  EXPECT_TRUE(lend);
  EXPECT_FALSE(suite::parser_last_cut().chars);
}

// The entry reports the line the end of input left unfinished at that
// call only.
TEST_F(KeywordEntry, UnfinishedLineAtEndOfInputIsReported) {
  StdinFeed in("TLS GROUP DEFINE AA\nTLS GROUP DEFINE Ab &\n");
  Capture cap;
  read("");
  EXPECT_EQ(suite::parser_last_cut().unfinished, "");
  read("");
  EXPECT_TRUE(lend);
  EXPECT_EQ(ntok, 0);
  EXPECT_EQ(suite::parser_last_cut().unfinished, "TLS GROUP DEFINE Ab ");
  read("");
  EXPECT_TRUE(lend);
  EXPECT_EQ(suite::parser_last_cut().unfinished, "");
}

TEST_F(KeywordEntry, TokensPastTheCapacityAreReported) {
  std::string many;
  for (int k = 0; k < 21; ++k) many += "W ";
  StdinFeed in(many + "\n" + many.substr(2) + "\n");
  Capture cap;
  read("");
  EXPECT_EQ(ntok, 20);
  EXPECT_TRUE(suite::parser_last_cut().tokens);
  read("");
  EXPECT_EQ(ntok, 20);
  EXPECT_FALSE(suite::parser_last_cut().tokens);
}

TEST_F(KeywordEntry, ChangedDelimitersPersistUntilReset) {
  parsdl_(" ;:", 3, 1);
  read("A;;B:C");
  EXPECT_EQ(ntok, 4);
  EXPECT_EQ(ityp(2), 0);
  read("A,,B");
  EXPECT_EQ(ntok, 1);
  EXPECT_EQ(cvalue(1), "A,,B");
  parsdl_("", 0, 0);
  read("A,,B");
  EXPECT_EQ(ntok, 3);
}

TEST_F(KeywordEntry, NoNullDelimitersWhenAllAreSpecial) {
  parsdl_(" ,", 2, 2);
  read("A,,B");
  EXPECT_EQ(ntok, 2);
}

TEST_F(KeywordEntry, TooFewDelimiterCharactersChangeNothing) {
  Capture cap;
  parsdl_(" ;", 5, 1);
  EXPECT_EQ(cap.out(), "PARSDL: too few delimiter characters supplied\n");
  read("A,,B");
  EXPECT_EQ(ntok, 3);
}

TEST_F(KeywordEntry, ParseNeedsACapacityOnce) {
  Capture cap;
  tokenise("A B", 0);
  EXPECT_EQ(cap.out(), "PARSE: zero number of tokens specified - aborting\n");
  EXPECT_EQ(ntok, 0);
  tokenise("A B C", -2);
  EXPECT_EQ(ntok, 2);
  tokenise("X 1.5   ", 0);
  EXPECT_EQ(ntok, 2);
  EXPECT_EQ(ityp(2), 2);
  EXPECT_EQ(idec(2), 201);
}

TEST_F(KeywordEntry, ParseUsesWideExponentLimits) {
  Capture cap;
  tokenise("1E39", -5);
  EXPECT_EQ(ityp(1), 2);
  EXPECT_EQ(cap.out(), "");
}

TEST_F(KeywordEntry, UsedLengthIgnoresBlanksNulsAndReturns) {
  EXPECT_EQ(lenstr_(std::string("abc  \0\r ", 8)), 3);
  EXPECT_EQ(lenstr_("    "), 0);
  EXPECT_EQ(lenstr_(""), 0);
  EXPECT_EQ(lenstr_(" a"), 2);
}

TEST(FieldHelpers, PaddedCopyStopsAtWidthAndAtTextEnd) {
  char field[7] = "xxxxxx";
  fparse_strncpypad(field, "abc", 6);
  EXPECT_STREQ(field, "abc   ");
  fparse_strncpypad(field, "abcdefgh", 6);
  EXPECT_STREQ(field, "abcdef") << "cut at the width, nothing written past it";
  fparse_strncpypad(field, nullptr, 6);
  EXPECT_STREQ(field, "      ");
  fparse_strncpypad(field, "zz", 0);
  EXPECT_STREQ(field, "      ");
}

TEST(FieldHelpers, BlankMeansBlanksTabsAndNewlinesOnly) {
  EXPECT_EQ(fparse_isblank(" \t\n ", 4), 1);
  EXPECT_EQ(fparse_isblank("  \r", 3), 0);
  EXPECT_EQ(fparse_isblank("   x", 3), 1) << "only the first n characters count";
  EXPECT_EQ(fparse_isblank("", 0), 0);
  EXPECT_EQ(fparse_isblank("  ", -1), 0);
}

}  // namespace
