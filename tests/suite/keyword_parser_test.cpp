// The keyword parser: tokens and their classes, number reading, and logical
// lines read with continuations, comments and command files.
#include <filesystem>
#include <string>

#include "suite/ptq7_parser.h"
#include "suite_test_support.h"


namespace {

class Tokeniser : public suite_test::SuiteTest {
 protected:
  ParserArray& parse(const std::string& line, int max = 20) {
    parser = ptq7_parse_start(max);
    ptq7_parse(line.c_str(), parser.get());
    return *parser;
  }
  ParserPtr parser;
};
class NumberReading : public suite_test::SuiteTest {};
class LogicalLines : public suite_test::SuiteTest {
 protected:
  void SetUp() override {
    SuiteTest::SetUp();
    parser = ptq7_parse_start(20);
  }
  void TearDown() override {
    if (parser && parser->fp) std::fclose(parser->fp);
    SuiteTest::TearDown();
  }
  int next(std::string& line, int capacity = 80, int print = 1) {
    return ptq7_parser(line, capacity, parser.get(), print);
  }
  ParserPtr parser;
};

TEST_F(Tokeniser, BlankSeparatedWordsWithPositions) {
  const ParserArray& p = parse("X Y Z");
  ASSERT_EQ(p.ntokens, 3);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(p.token[k].ibeg, 2 * k);
    EXPECT_EQ(p.token[k].iend, 2 * k);
    EXPECT_EQ(p.token[k].isstring, 1);
    EXPECT_EQ(p.token[k].strlength, 1);
  }
  EXPECT_EQ(p.token[2].fullstring, "Z");
  const ParserArray& w = parse("abcdef Xy");  // word: first four characters as typed
  EXPECT_STREQ(w.token[0].word, "abcd");
  EXPECT_STREQ(w.token[1].word, "Xy");
}

TEST_F(Tokeniser, AdjacentNullDelimitersGiveNullTokens) {
  const ParserArray& p = parse("A,,B");
  ASSERT_EQ(p.ntokens, 3);
  EXPECT_EQ(p.token[1].isnull, 1);
  EXPECT_EQ(p.token[1].ibeg, 1);
  EXPECT_EQ(p.token[1].iend, 1);
  EXPECT_EQ(p.token[1].isstring, 0);
  EXPECT_EQ(p.token[1].isnumber, 0);
  EXPECT_STREQ(p.token[1].word, "");
  EXPECT_EQ(p.token[2].fullstring, "B");
  EXPECT_EQ(parse("A,B").ntokens, 2);
  EXPECT_EQ(parse("A, ,B").ntokens, 2);
  EXPECT_EQ(parse("A,=B").ntokens, 3);
  const ParserArray& three = parse("A,,,B");
  ASSERT_EQ(three.ntokens, 4);
  EXPECT_EQ(three.token[1].isnull + three.token[2].isnull, 2);
}

TEST_F(Tokeniser, QuotedTokenKeepsBlanksAndDropsQuotes) {
  const ParserArray& p = parse("'two words' 3");
  ASSERT_EQ(p.ntokens, 2);
  EXPECT_EQ(p.token[0].fullstring, "two words");
  EXPECT_EQ(p.token[0].isquoted, 1);
  EXPECT_EQ(p.token[0].isstring, 1);
  EXPECT_EQ(p.token[0].strlength, 9);
  EXPECT_STREQ(p.token[0].word, "two ");
  EXPECT_EQ(p.token[1].isnumber, 1);
  EXPECT_EQ(p.token[1].value, 3.0);
  EXPECT_EQ(p.token[1].intdigits, 1);
  const ParserArray& n = parse("N \"12\"");
  ASSERT_EQ(n.ntokens, 2);
  EXPECT_EQ(n.token[1].isnumber, 1);
  EXPECT_EQ(n.token[1].isquoted, 1);
  EXPECT_EQ(n.token[1].value, 12.0);
  // An unclosed quote loses its token; a closing quote not followed by a delimiter does not close.
  EXPECT_EQ(parse("A 'open").ntokens, 1);
  EXPECT_EQ(parse("A 'x'y B").ntokens, 1);
}

TEST_F(Tokeniser, CommentCharacterEndsTheLineOutsideQuotes) {
  const ParserArray& p = parse("ab#cd");
  ASSERT_EQ(p.ntokens, 1);
  EXPECT_EQ(p.token[0].fullstring, "ab");
  const ParserArray& q = parse("LABIN FP=F1 # comment");
  ASSERT_EQ(q.ntokens, 3);
  EXPECT_EQ(q.token[1].fullstring, "FP");
  EXPECT_EQ(q.token[2].fullstring, "F1");
  const ParserArray& r = parse("'a#b' c ! more");
  ASSERT_EQ(r.ntokens, 2);
  EXPECT_EQ(r.token[0].fullstring, "a#b");
  EXPECT_EQ(parse("# all comment").ntokens, 0);
}

TEST_F(Tokeniser, TooManyTokensStopsAtTheRoomAndSignals) {
  Capture cap;
  const ParserArray& p = parse("A B C D E", 3);
  EXPECT_EQ(p.ntokens, 3);
  EXPECT_EQ(cap.out(),
            ">>>>>> PTQ7 library signal ptq7_parser:Maximum number of tokens exceeded\n"
            "\t raised in ptq7_parse <<<<<<\n");
  Capture cap2;
  EXPECT_EQ(parse("A,,", 1).ntokens, 1);  // a null token needs room too
  EXPECT_NE(cap2.out().find("Maximum number of tokens exceeded"), std::string::npos);
  EXPECT_EQ(ptq7_parse_start(0), nullptr);
}

TEST_F(Tokeniser, SecondCallAppendsAfterLastToken) {
  parser = ptq7_parse_start(10);
  EXPECT_EQ(ptq7_parse("AB CD", parser.get()), 2);
  EXPECT_EQ(ptq7_parse("AB CD EF", parser.get()), 3);
  EXPECT_EQ(parser->token[2].fullstring, "EF");
  EXPECT_EQ(parser->token[2].ibeg, 6);
  ptq7_parse_reset(parser.get());
  EXPECT_EQ(parser->ntokens, 0);
  EXPECT_EQ(ptq7_parse("", parser.get()), 0);
}

TEST_F(Tokeniser, ResumedScanIgnoresCharactersBeforeItsStart) {
  // The scan resumes after 'ABC' (position 3); position 2 reads as a blank,
  // so '1234' starts a token of its own.
  parser = ptq7_parse_start(10);
  ptq7_parse("ABC", parser.get());
  ASSERT_EQ(ptq7_parse("XYZ1234 W", parser.get()), 3);
  EXPECT_EQ(parser->token[1].fullstring, "1234");
  EXPECT_EQ(parser->token[1].ibeg, 3);
  EXPECT_EQ(parser->token[1].iend, 6);
  EXPECT_EQ(parser->token[2].fullstring, "W");
  EXPECT_EQ(parser->token[2].ibeg, 8);
  // Resumed after a null token: no second null.
  parser = ptq7_parse_start(10);
  ASSERT_EQ(ptq7_parse("A,,", parser.get()), 2);
  ASSERT_EQ(ptq7_parse("A,, B", parser.get()), 3);
  EXPECT_EQ(parser->token[1].isnull, 1);
  EXPECT_EQ(parser->token[2].fullstring, "B");
  EXPECT_EQ(parser->token[2].ibeg, 4);
}

TEST_F(Tokeniser, ChangedDelimitersAndComments) {
  parser = ptq7_parse_start(10);
  ptq7_parse_delimiters(parser.get(), " ;", ";");
  ptq7_parse_comments(parser.get(), "%");
  EXPECT_EQ(ptq7_parse("a,b;;c % d # e", parser.get()), 3);
  EXPECT_EQ(parser->token[0].fullstring, "a,b");
  EXPECT_EQ(parser->token[1].isnull, 1);
  ptq7_parse_reset(parser.get());
  ptq7_parse_delimiters(parser.get(), nullptr, nullptr);
  ptq7_parse_comments(parser.get(), nullptr);
  EXPECT_EQ(ptq7_parse("a,b # c", parser.get()), 2);
}

TEST_F(Tokeniser, DelimiterAboveSevenBitsSplitsTokens) {
  parser = ptq7_parse_start(10);
  ptq7_parse_delimiters(parser.get(), " \xA7", nullptr);
  ASSERT_EQ(ptq7_parse("a\xA7" "b \xE9", parser.get()), 3);
  EXPECT_EQ(parser->token[0].fullstring, "a");
  EXPECT_EQ(parser->token[1].fullstring, "b");
  EXPECT_EQ(parser->token[2].fullstring, "\xE9");
}

double number(const char* text, int* ok = nullptr, int* id = nullptr, int* fd = nullptr,
              double max = 308, double min = -307) {
  double v, iv, fv, ev;
  int i, f, e;
  const int r = doublefromstr(text, max, min, &v, &iv, &i, &fv, &f, &ev, &e);
  if (ok) *ok = r;
  if (id) *id = i;
  if (fd) *fd = f;
  return v;
}

TEST_F(NumberReading, DigitsFractionAndExponent) {
  int ok, id, fd;
  EXPECT_DOUBLE_EQ(number("1.25E2", &ok, &id, &fd), 125.0);
  EXPECT_EQ(ok, 1);
  EXPECT_EQ(id, 1);
  EXPECT_EQ(fd, 2);
  EXPECT_DOUBLE_EQ(number("-3.5", &ok), -3.5);
  EXPECT_DOUBLE_EQ(number("1e-2", &ok), 0.01);
  EXPECT_DOUBLE_EQ(number("+5", &ok), 5.0);
  EXPECT_DOUBLE_EQ(number(".5", &ok, &id, &fd), 0.5);
  EXPECT_EQ(id, 0);
  EXPECT_EQ(fd, 1);
  // A fraction digit is divided by its power of ten: 3/10 is the double
  // nearest 0.3, 3 * (1/10) one unit above it.
  EXPECT_EQ(number("0.3"), 0.3);
  EXPECT_EQ(number("-0.7"), -0.7);
  EXPECT_EQ(number(".07"), 0.07);
  EXPECT_EQ(number("5.5"), 5.5);
}

TEST_F(NumberReading, LoneSignsAreZeroAndMisplacedCharactersMakeStrings) {
  // A huge exponent without digits is zero, not NaN.
  for (const char* t : {"-", ".", "E1", "e", "E999"}) {
    int ok;
    EXPECT_EQ(number(t, &ok), 0.0) << t;
    EXPECT_EQ(ok, 1) << t;
  }
  for (const char* t : {"1-2", "EE", "1..2", "12a", "A", ""}) {
    int ok;
    number(t, &ok);
    EXPECT_EQ(ok, 0) << t;
  }
}

TEST_F(NumberReading, OverflowAndUnderflowGiveZeroNumbers) {
  int ok;
  Capture cap;
  EXPECT_EQ(number("1E400", &ok), 0.0);
  EXPECT_EQ(ok, 1);
  EXPECT_EQ(cap.out(),
            ">>>>>> PTQ7 library signal ptq7_parser:Overflow - exponent is too big to be evaluated"
            "\n\t raised in doublefromstr <<<<<<\nDOUBLEFROMSTR: Token is \"1E400\"\n");
}

TEST_F(NumberReading, LimitsCountIntegerDigitsForOverflowOnly) {
  Capture cap;
  int ok;
  EXPECT_EQ(number("12E38", &ok, nullptr, nullptr, 38, -37), 0.0);
  EXPECT_DOUBLE_EQ(number("1E38", &ok, nullptr, nullptr, 38, -37), 1e38);
  EXPECT_EQ(number("5E-38", &ok, nullptr, nullptr, 38, -37), 0.0);
  EXPECT_DOUBLE_EQ(number("0.5E-37", &ok, nullptr, nullptr, 38, -37), 0.5e-37);
  const std::string& out = cap.out();
  EXPECT_NE(out.find("Token is \"12E38\""), std::string::npos);
  EXPECT_NE(out.find("Underflow - exponent is too small to be evaluated"), std::string::npos);
  EXPECT_EQ(out.find("Token is \"1E38\""), std::string::npos);
}

TEST_F(NumberReading, KeywordAndCharacterMatching) {
  EXPECT_EQ(ptq7_keymatch("TLS", "tls"), 1);
  EXPECT_EQ(ptq7_keymatch("GROUP", "grou"), 1);
  EXPECT_EQ(ptq7_keymatch("GR", "GROUP"), 0);
  EXPECT_EQ(ptq7_keymatch("CHAI", "CHAO"), 0);
  EXPECT_EQ(charmatch(',', ",="), 1);
  EXPECT_EQ(charmatch('x', ""), 0);
  EXPECT_EQ(charmatch('x', nullptr), 0);
  EXPECT_EQ(strmatch("abc", "abc"), 1);
  EXPECT_EQ(strmatch("abc", "ABC"), 0);
  EXPECT_EQ(strmatch("abc", nullptr), 0);
  EXPECT_EQ(strtoupper("aBc1"), "ABC1");
  EXPECT_EQ(strtolower("aBc1"), "abc1");
}

TEST_F(LogicalLines, ContinuationJoinsPieces) {
  StdinFeed in("TLS GROUP &\nCHAIN\n");
  std::string line;
  Capture cap;
  EXPECT_EQ(next(line), 3);
  EXPECT_EQ(line, "TLS GROUP CHAIN");
  EXPECT_STREQ(parser->keyword, "TLS");
  EXPECT_EQ(parser->token[2].fullstring, "CHAIN");
  EXPECT_EQ(cap.out(), " Data line--- TLS GROUP CHAIN\n");
}

TEST_F(LogicalLines, ContinuationAfterNullTokenKeepsOneNull) {
  StdinFeed in("A,, &\nB\n");
  std::string line;
  Capture cap;
  ASSERT_EQ(next(line), 3);
  EXPECT_EQ(line, "A,, B");
  EXPECT_EQ(parser->token[1].isnull, 1);
  EXPECT_EQ(parser->token[2].fullstring, "B");
}

TEST_F(LogicalLines, CommentInsideContinuationIsDroppedSilently) {
  // A backslash glued to a word is part of it, not a continuation mark.
  StdinFeed in("TLS GROUP -\n# between\n\nCHAIN \\\nA\\\n");
  std::string line;
  Capture cap;
  EXPECT_EQ(next(line), 4);
  EXPECT_EQ(line, "TLS GROUP CHAIN A\\");
  EXPECT_EQ(cap.out(), " Data line--- TLS GROUP CHAIN A\\\n");
}

TEST_F(LogicalLines, CommentLinesEchoedAndEmptyLinesSkipped) {
  StdinFeed in("# first\n\n! second\nEND\n");
  std::string line;
  Capture cap;
  EXPECT_EQ(next(line), 1);
  EXPECT_EQ(cap.out(), " Comment line--- # first\n Comment line--- ! second\n Data line--- END\n");
}

TEST_F(LogicalLines, PrintZeroIsSilentNegativeTraces) {
  StdinFeed in("# c\nEND\ntls group\n");
  std::string line;
  {
    Capture cap;
    EXPECT_EQ(next(line, 80, 0), 1);
    EXPECT_EQ(cap.out(), "");
  }
  Capture trace;
  line.clear();
  next(line, 80, -1);
  EXPECT_EQ(trace.out().rfind("PTQ7_PARSER: ", 0), 0u);
  EXPECT_STREQ(parser->keyword, "TLS");  // keyword upper-cased, word kept as typed
  EXPECT_STREQ(parser->token[0].word, "tls");
}

TEST_F(LogicalLines, EndOfInputReturnsZeroDroppingUnfinishedLine) {
  StdinFeed in("TLS &\n");
  std::string line;
  Capture cap;
  EXPECT_EQ(next(line), 0);
  EXPECT_EQ(parser->ntokens, 0);
  EXPECT_EQ(next(line), 0);
}

TEST_F(LogicalLines, CommandFileIsReadThenStandardInputAgain) {
  TempDir dir;
  const std::string cmds = dir.write("cmds", "RESO 2.5\n@nested\nTLS\n");
  StdinFeed in("@" + cmds + "\nEND\n");
  std::string line;
  Capture cap;
  EXPECT_EQ(next(line), 2);
  EXPECT_EQ(line, "RESO 2.5");
  EXPECT_NE(parser->fp, nullptr);
  line.clear();
  // An '@' line inside a command file is an ordinary keyword line.
  EXPECT_EQ(next(line), 1);
  EXPECT_EQ(line, "@nested");
  line.clear();
  EXPECT_EQ(next(line), 1);
  EXPECT_EQ(line, "TLS");
  line.clear();
  EXPECT_EQ(next(line), 1);
  EXPECT_EQ(line, "END");
  EXPECT_EQ(parser->fp, nullptr);
  line.clear();
  EXPECT_EQ(next(line), 0);
}

int open_descriptors() {
  int n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
  return n;
}

TEST_F(LogicalLines, SuppliedCommandFileClosesTheOneOpen) {
  TempDir dir;
  const std::string first = dir.write("first", "A1\nA2\n");
  const std::string second = dir.write("second", "B1\n");
  StdinFeed in("@" + first + "\nEND\n");
  Capture cap;
  const int before = open_descriptors();
  std::string line;
  EXPECT_EQ(next(line), 1);
  EXPECT_EQ(line, "A1");
  line = "@" + second;
  EXPECT_EQ(next(line), 1);
  EXPECT_EQ(line, "B1");
  line.clear();
  EXPECT_EQ(next(line), 1);
  EXPECT_EQ(line, "END");
  EXPECT_EQ(parser->fp, nullptr);
  const int after = open_descriptors();
  cap.finish();
  EXPECT_EQ(after, before);
}

// The file is named for the caller, who must not run without its keywords.
TEST_F(LogicalLines, BadCommandFilesSignalAndReadingGoesOn) {
  TempDir dir;
  const std::string folder = dir.file("cmds.d");
  std::filesystem::create_directory(folder);
  struct Case {
    std::string at, report, unread;
  } cases[] = {
      {"@/nonexistent/dir/cmds", "ptq7_parser:Failed to open external command file",
       "/nonexistent/dir/cmds (No such file or directory)"},
      // Opened, it gave no line, as an empty file would.
      {"@" + folder, "ptq7_parser:Failed to open external command file",
       folder + " (Is a directory)"},
      {"@", "Failed to get name for external file", "@ (no file name)"},
      {"@" + std::string(250, 'c'), "Failed to get name for external file",
       std::string(250, 'c') + " (a name of 200 characters or more)"},
  };
  for (const Case& c : cases) {
    StdinFeed in(c.at + "\nEND\n");
    std::string line;
    Capture cap;
    EXPECT_EQ(next(line, 300), 1);
    EXPECT_EQ(line, "END");
    EXPECT_NE(cap.out().find(c.report), std::string::npos) << c.at;
    EXPECT_EQ(parser->unread_command_file, c.unread) << c.at;
  }
}

TEST_F(LogicalLines, ApplicationLineIsUsedWithoutReading) {
  StdinFeed in("NOT READ\n");
  std::string line = "RESO 3";
  Capture cap;
  EXPECT_EQ(next(line), 2);
  EXPECT_EQ(parser->token[1].value, 3.0);
  line = "# only comment";
  EXPECT_EQ(next(line), 0);
  line.clear();
  EXPECT_EQ(next(line), 2);
  EXPECT_EQ(line, "NOT READ");
}

TEST_F(LogicalLines, ApplicationLineContinuesFromStandardInput) {
  StdinFeed in("B C\n");
  std::string line = "A &";
  Capture cap;
  EXPECT_EQ(next(line), 3);
  EXPECT_EQ(line, "A B C");
}

TEST_F(LogicalLines, OverlongLineIsCutAndItsRestDropped) {
  StdinFeed in("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789\nEND\n");
  std::string line;
  Capture cap;
  EXPECT_EQ(next(line, 10), 1);
  EXPECT_EQ(line, "ABCDEFGHIJ");
  line.clear();
  EXPECT_EQ(next(line, 10), 1);
  EXPECT_EQ(line, "END");
  EXPECT_NE(cap.out().find("Line is longer than allocated length, so truncated"),
            std::string::npos);
}

TEST_F(LogicalLines, ContinuedPiecesMayNotOverrunCapacity) {
  StdinFeed in("ABCDEF &\nGHIJKLMNOP\n");
  std::string line;
  Capture cap;
  EXPECT_EQ(next(line, 12), 2);
  EXPECT_EQ(line, "ABCDEF GHIJK");
  EXPECT_LE(line.size(), 12u);
}

// The end of input still returns 0 where a continued line waits for its
// next piece, but the words held are kept for the caller to see; a line that
// ended, and a mark with nothing before it, leave nothing behind.
TEST_F(LogicalLines, ContinuationCutByEndOfInputIsKept) {
  struct Case {
    const char* label;
    const char* input;
    int lines_before;
    const char* unfinished;
  } cases[] = {
      {"ampersand on the last line", "TLS GROUP DEFINE AA &\n", 0, "TLS GROUP DEFINE AA "},
      {"backslash, after a comment piece", "A B \\\n# more\n", 0, "A B "},
      {"minus after two pieces", "A &\nB -\n", 0, "A B "},
      {"after a finished line", "END\nX &", 1, "X "},
      {"finished line only", "A B\n", 1, ""},
      {"a lone mark", "&\n", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    StdinFeed in(c.input);
    Capture cap;
    std::string line;
    for (int k = 0; k < c.lines_before; ++k) {
      line.clear();
      EXPECT_GT(next(line), 0);
      EXPECT_EQ(parser->unfinished, "");
    }
    line.clear();
    EXPECT_EQ(next(line), 0);
    EXPECT_EQ(parser->ntokens, 0);
    EXPECT_EQ(parser->unfinished, c.unfinished);
  }
}

TEST_F(LogicalLines, NullParserIsRefused) {
  std::string line;
  Capture cap;
  EXPECT_EQ(ptq7_parser(line, 80, nullptr, 1), -1);
  EXPECT_NE(cap.out().find("Null pointer"), std::string::npos);
}

}  // namespace
