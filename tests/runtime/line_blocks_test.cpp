// Block-read lines: every block size gives the lines a plain line-by-line
// split gives, the stream stands after the last line handed out, and a look
// ahead comes back to its mark.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/line_blocks.h"
#include "runtime/units.h"

namespace {

// The rule written out plainly: split at line feeds, a last piece without
// one is a line when not empty, cut at the limit, a carriage return ending
// a line not cut dropped.
std::vector<std::string> expected_lines(const std::string& text, std::size_t limit) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t nl = text.find('\n', start);
    const std::size_t end = nl == std::string::npos ? text.size() : nl;
    std::string line = text.substr(start, end - start);
    if (line.size() > limit)
      line.resize(limit);
    else if (!line.empty() && line.back() == '\r')
      line.pop_back();
    out.push_back(line);
    start = end + 1;
  }
  return out;
}

std::FILE* file_with(const std::string& text) {
  std::FILE* f = std::tmpfile();
  std::fwrite(text.data(), 1, text.size(), f);
  std::rewind(f);
  return f;
}

const struct {
  const char* label;
  std::string text;
} kInputs[] = {
    {"empty file", ""},
    {"one line without terminator", "abc"},
    {"CRLF lines and a last line without terminator", "ab\r\ncd\r\nef"},
    {"empty lines, one with only a carriage return", "\n\n\r\nx\n\n"},
    {"a carriage return inside a line is kept", "a\rb\n"},
    {"a NUL inside a line is kept", std::string("n\0l\n", 4)},
    {"lines longer than the limit, CR just past it", "0123456789\r\n01234567\r\nshort\n"},
    {"a line as long as a block and longer", std::string(16, 'q') + "\n" + std::string(40, 'w') +
                                                 "\r\n" + std::string(17, 'e')},
};

TEST(LineBlocks, EveryBlockSizeGivesThePlainSplit) {
  for (const auto& in : kInputs) {
    for (std::size_t limit : {std::size_t{8}, std::size_t{1024}}) {
      for (std::size_t block : {1, 2, 3, 5, 7, 8, 9, 16, 17, 4096}) {
        SCOPED_TRACE(std::string(in.label) + ", limit " + std::to_string(limit) + ", block " +
                     std::to_string(block));
        std::FILE* f = file_with(in.text);
        rt::LineBlockReader reader(f, block);
        std::vector<std::string> got;
        std::string_view line;
        int st;
        while ((st = reader.next(line, limit)) == rt::IOSTAT_OK) got.emplace_back(line);
        EXPECT_EQ(st, rt::IOSTAT_END);
        EXPECT_EQ(got, expected_lines(in.text, limit));
        EXPECT_EQ(reader.next(line, limit), rt::IOSTAT_END) << "end of file is repeated";
        std::fclose(f);
      }
    }
  }
}

TEST(LineBlocks, GivingBackLeavesTheStreamAfterTheLastLineHandedOut) {
  for (std::size_t block : {3, 5, 64}) {
    SCOPED_TRACE("block " + std::to_string(block));
    std::FILE* f = file_with("first\nsecond\nthird\n");
    rt::LineBlockReader reader(f, block);
    std::string_view line;
    ASSERT_EQ(reader.next(line, 80), rt::IOSTAT_OK);
    EXPECT_EQ(line, "first");
    reader.give_back();
    EXPECT_EQ(std::ftell(f), 6);
    char rest[16] = {};
    ASSERT_NE(std::fgets(rest, sizeof rest, f), nullptr);
    EXPECT_STREQ(rest, "second\n");
    // Reading on starts where the stream stands.
    ASSERT_EQ(reader.next(line, 80), rt::IOSTAT_OK);
    EXPECT_EQ(line, "third");
    std::fclose(f);
  }
}

TEST(LineBlocks, AFileThatGrowsIsReadOn) {
  std::FILE* f = file_with("a\n");
  rt::LineBlockReader reader(f, 4);
  std::string_view line;
  ASSERT_EQ(reader.next(line, 80), rt::IOSTAT_OK);
  EXPECT_EQ(reader.next(line, 80), rt::IOSTAT_END);
  reader.give_back();
  std::fseek(f, 0, SEEK_END);
  std::fputs("b\n", f);
  std::fseek(f, 2, SEEK_SET);
  ASSERT_EQ(reader.next(line, 80), rt::IOSTAT_OK);
  EXPECT_EQ(line, "b");
  std::fclose(f);
}

// The lines after each line, looked at and returned from, at every block
// size and look length: the lines looked at and those read on are the
// plain split's.  A look the block no longer holds is set back by a seek,
// as the units do.
TEST(LineBlocks, ALookAheadComesBackToItsMarkAtEveryBlockSize) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += std::string(static_cast<std::size_t>(i % 7), 'a' + i % 26) + "\n";
  const std::vector<std::string> lines = expected_lines(text, 1024);
  for (std::size_t block : {1, 2, 3, 5, 8, 13, 64, 4096}) {
    for (std::size_t ahead : {1, 2, 5, 40}) {
      SCOPED_TRACE("block " + std::to_string(block) + ", " + std::to_string(ahead) + " ahead");
      std::FILE* f = file_with(text);
      rt::LineBlockReader reader(f, block);
      std::string_view line;
      for (std::size_t i = 0; i < lines.size(); ++i) {
        const long mark = reader.mark();
        for (std::size_t k = i; k < i + ahead && k < lines.size(); ++k) {
          ASSERT_EQ(reader.next(line, 1024), rt::IOSTAT_OK);
          ASSERT_EQ(line, lines[k]) << "looked at from line " << i;
        }
        if (!reader.return_to(mark)) {
          reader.give_back();
          std::fseek(f, mark, SEEK_SET);
        }
        ASSERT_EQ(reader.next(line, 1024), rt::IOSTAT_OK);
        ASSERT_EQ(line, lines[i]) << "read on after the look";
      }
      EXPECT_EQ(reader.next(line, 1024), rt::IOSTAT_END);
      std::fclose(f);
    }
  }
}

// A stream that counts the reads and seeks asked of it.
struct Counted {
  std::string text;
  std::size_t at = 0;
  int reads = 0, seeks = 0;
};

std::FILE* counted_stream(Counted& counted) {
  cookie_io_functions_t io{};
  io.read = [](void* p, char* buf, std::size_t size) -> ssize_t {
    Counted& c = *static_cast<Counted*>(p);
    ++c.reads;
    const std::size_t n = std::min(size, c.text.size() - c.at);
    std::memcpy(buf, c.text.data() + c.at, n);
    c.at += n;
    return static_cast<ssize_t>(n);
  };
  io.seek = [](void* p, off64_t* offset, int whence) {
    Counted& c = *static_cast<Counted*>(p);
    ++c.seeks;
    const off64_t to = (whence == SEEK_SET ? 0 : whence == SEEK_CUR ? static_cast<off64_t>(c.at)
                                                                   : static_cast<off64_t>(c.text.size())) +
                       *offset;
    c.at = static_cast<std::size_t>(to);
    *offset = to;
    return 0;
  };
  return fopencookie(&counted, "r", io);
}

// A look at the next line from every line, as the mmCIF rows' test of a
// conformer asks at each water given again, reads the file as a plain
// reading does (but for asking the stream once more at its end) and never
// seeks but to learn the place once.
TEST(LineBlocks, ALookAtTheNextLineReadsNothingTwice) {
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "HETATM " + std::to_string(i) + " O HOH 1\n";
  const auto count = [&](bool look) {
    Counted c{text};
    std::FILE* f = counted_stream(c);
    rt::LineBlockReader reader(f, 4096);
    std::string_view line;
    for (;;) {
      const long mark = look ? reader.mark() : 0;
      if (look && reader.next(line, 80) == rt::IOSTAT_OK) {
        EXPECT_TRUE(reader.return_to(mark));
      }
      if (reader.next(line, 80) != rt::IOSTAT_OK) break;
    }
    std::fclose(f);
    return std::pair(c.reads, c.seeks);
  };
  const auto [plain_reads, plain_seeks] = count(false);
  const auto [reads, seeks] = count(true);
  EXPECT_EQ(plain_seeks, 0);
  EXPECT_GE(reads, plain_reads);
  EXPECT_LE(reads, plain_reads + 1);
  EXPECT_LE(seeks, 1);
}

}  // namespace
