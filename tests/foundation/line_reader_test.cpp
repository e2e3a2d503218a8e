// The line reader against its rules written out plainly, over lines whose
// trailing blanks, widths and line-end characters fall on every side of the
// word-sized steps the reader takes.
#include "foundation/line_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "foundation/words.h"
#include "runtime/units.h"
#include "support/temp_dir.h"

namespace {

constexpr int kUnit = 85;

struct Expected {
  std::string text;
  int used;
};

// Trailing blanks dropped, cut to the width, blank-padded, a control
// character among the last two kept characters blanked.
Expected expected(const std::string& line, int width) {
  std::size_t m = line.size() < 1024 ? line.size() : 1024;
  while (m > 0 && line[m - 1] == ' ') --m;
  if (m == 0) return {std::string(width, ' '), 0};
  const int copied = static_cast<int>(m) < width ? static_cast<int>(m) : width;
  std::string text = line.substr(0, copied) + std::string(width - copied, ' ');
  for (int k = copied - 1; k >= copied - 2 && k >= 0; --k)
    if (char_class(text[k]) == '?') text[k] = ' ';
  int used = copied;
  while (used > 0 && (text[used - 1] == ' ' || text[used - 1] == '\0')) --used;
  return {text, used};
}

TEST(LineReader, TrailingBlanksWidthsAndLineEndsFollowThePlainRules) {
  std::vector<std::string> lines;
  for (int body : {0, 1, 7, 8, 9, 15, 16, 17, 31, 40})
    for (int blanks : {0, 1, 7, 8, 9, 16, 25})
      for (const char* end : {"", "\r", "\t", " \r"})
        lines.push_back(std::string(body, 'a') + (body > 2 ? "b c" : "") +
                        std::string(blanks, ' ') + end);
  lines.push_back(std::string(1100, 'z') + "   ");  // past the longest record kept
  lines.push_back(std::string(1030, ' ') + "q");   // its only character past the limit
  TempDir dir;
  const std::string path = dir.file("lines");
  {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    for (const std::string& l : lines) std::fprintf(f, "%s\n", l.c_str());
    std::fclose(f);
  }
  for (int width : {4, 16, 80, 256}) {
    rt::OpenOptions o;
    o.status = rt::OpenStatus::Old;
    o.readonly = true;
    ASSERT_EQ(rt::unit_open(kUnit, path, o), 0);
    std::string buf(width, '#');
    for (std::size_t i = 0; i < lines.size(); ++i) {
      SCOPED_TRACE("width " + std::to_string(width) + ", line " + std::to_string(i));
      int32_t ierr = 5, iend = 5;
      const int used = foundation::read_line(kUnit, 0, rt::TextRef(buf.data(), width), ierr, iend);
      ASSERT_EQ(ierr, 0);
      ASSERT_EQ(iend, 0);
      const Expected want = expected(lines[i], width);
      EXPECT_EQ(buf, want.text);
      EXPECT_EQ(used, want.used);
    }
    rt::unit_close(kUnit);
  }
}

// The line-end bytes blanked, as their columns, other than a carriage
// return: a reader that refuses control bytes inside its fields learns of
// them here.
TEST(LineReader, BlankedLineEndBytesAreReportedButNotACarriageReturn) {
  const struct {
    const char* label;
    std::string line;
    int32_t last, before_last;
  } cases[] = {
      {"NUL last", std::string("abc") + '\0', 4, 0},
      {"NUL before the last", std::string("ab") + '\0' + "c", 0, 3},
      {"tab before the line's carriage return", "abc\t\r", 4, 0},
      {"carriage return before a NUL", std::string("abc\r") + '\0', 5, 0},
      {"two carriage returns", "abc\r\r", 0, 0},
      {"NUL in the middle", std::string("a") + '\0' + "bc", 0, 0},
  };
  TempDir dir;
  const std::string path = dir.file("ends");
  {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    for (const auto& c : cases) {
      std::fwrite(c.line.data(), 1, c.line.size(), f);
      std::fputc('\n', f);
    }
    std::fclose(f);
  }
  rt::OpenOptions o;
  o.status = rt::OpenStatus::Old;
  o.readonly = true;
  ASSERT_EQ(rt::unit_open(kUnit, path, o), 0);
  std::string buf(16, '#');
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    int32_t ierr = 5, iend = 5;
    foundation::LineEndControls got{9, 9};
    foundation::read_line(kUnit, 0, rt::TextRef(buf.data(), 16), ierr, iend, nullptr, &got);
    ASSERT_EQ(ierr, 0);
    EXPECT_EQ(got.last, c.last);
    EXPECT_EQ(got.before_last, c.before_last);
  }
  rt::unit_close(kUnit);
}

}  // namespace
