// Block-read lines: every block size gives the lines a plain line-by-line
// split gives, and the stream stands after the last line handed out.
#include <gtest/gtest.h>

#include <cstdio>
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

}  // namespace
