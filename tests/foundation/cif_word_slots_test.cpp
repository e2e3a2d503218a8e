// The CIF word splitter and the record values against a plain reference:
// every slot must hold exactly its word cut to 80 characters and padded with
// blanks, whatever longer or shorter words the same slot held before, and
// the lengths, quote marks and numbers must be those of the plain rules.
// Lines and files are generated at random (fixed seeds), mixing short and
// long words, quotes, control characters, tabs and high bytes.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "foundation/cif_tokeniser.h"
#include "foundation/messages.h"
#include "foundation/words.h"
#include "runtime/units.h"
#include "support/temp_dir.h"

namespace {

using Slot = std::array<char, 80>;

// The plain splitting rules, one character at a time.
struct RefSplit {
  std::array<Slot, MAXFRDWORD> slot{};
  int nwrd = 0;
  int iover = 0;
  int lwrd[MAXFRDWORD] = {};
  char qwrd[MAXFRDWORD] = {};
  float fwrd[MAXFRDWORD] = {};
  int32_t iwrd[MAXFRDWORD] = {};

  static char unprintable_as_blank(char c) { return char_class(c) == '?' ? ' ' : c; }

  void split(const std::string& line) {
    const int n = rt::len_trim(line);
    nwrd = 0;
    iover = 0;
    int k = 0;
    while (k < n) {
      char c = unprintable_as_blank(line[k]);
      if (c == ' ' || ((c == '\'' || c == '"') && k == n - 1)) {
        ++k;
        continue;
      }
      if (nwrd == MAXFRDWORD) {
        iover = 1;
        return;
      }
      Slot& s = slot[nwrd];
      s.fill(' ');
      int len = 0;
      if ((c == '\'' || c == '"') && line[k + 1] == line[k] &&
          (k + 2 == n || unprintable_as_blank(line[k + 2]) == ' ')) {
        // An empty quoted value.
        k += 2;
        lwrd[nwrd] = 0;
        qwrd[nwrd] = 'Y';
        fwrd[nwrd] = 0;
        iwrd[nwrd] = 0;
        ++nwrd;
        continue;
      }
      auto put = [&](char ch) {
        if (len < 80) s[len] = ch;
        ++len;
      };
      int quote = 0;
      const bool quoted = c == '\'' || c == '"';
      const bool dq = c == '"';
      if (dq) {
        // Ends at a double quote before a blank or the line end; nothing
        // else inside is special.
        put(unprintable_as_blank(line[k + 1]));
        k += 2;
        while (k < n) {
          c = unprintable_as_blank(line[k++]);
          if (c == '"' && (k == n || unprintable_as_blank(line[k]) == ' ')) break;
          put(c);
        }
      } else if (quoted) {
        quote = 1;
        put(unprintable_as_blank(line[k + 1]));
        k += 2;
      }
      while (!dq && k < n) {
        c = unprintable_as_blank(line[k]);
        if (c != ' ' && c != '\'') {
          put(c);
          ++k;
          continue;
        }
        if (c == '\'') {
          if (k + 1 < n && unprintable_as_blank(line[k + 1]) != ' ') {
            put(c);
            ++k;
            continue;
          }
          c = ' ';
          quote = 1 - quote;
        }
        ++k;
        if (quote == 0) break;
        put(c);
      }
      lwrd[nwrd] = len;
      qwrd[nwrd] = quoted ? 'Y' : 'N';
      const char c0 = s[0];
      const bool may_be_number = (c0 >= '0' && c0 <= '9') || c0 == '-' || c0 == '+' || c0 == '.';
      fwrd[nwrd] = 0;
      iwrd[nwrd] = 0;
      if (len <= 16 && may_be_number) wtodig_(std::string_view(s.data(), 80), len, fwrd[nwrd], iwrd[nwrd]);
      ++nwrd;
    }
  }
};

uint32_t bits(float f) {
  uint32_t u;
  std::memcpy(&u, &f, 4);
  return u;
}

// A random line of the given kind, at most 256 characters.
std::string random_line(std::mt19937& gen, int kind) {
  auto pick = [&](std::string_view from) { return from[gen() % from.size()]; };
  std::string line;
  const int target = static_cast<int>(gen() % 257);
  while (static_cast<int>(line.size()) < target) {
    const int shape = static_cast<int>(gen() % 8);
    std::string word;
    if (shape < 3) {
      // A number-like word of 1 to 20 characters.
      const int m = 1 + static_cast<int>(gen() % 20);
      for (int i = 0; i < m; ++i) word += pick("0123456789012345678.-+eE");
    } else if (shape < 5) {
      const int m = 1 + static_cast<int>(gen() % (gen() % 4 == 0 ? 120 : 12));
      for (int i = 0; i < m; ++i) word += pick("ABCdgl_xyz0123.-#;\"[]");
    } else if (shape == 5 && gen() % 2) {
      word = '\'' + std::string(1 + gen() % 5, pick("ab c")) + (gen() % 2 ? "'" : "' x");
    } else if (shape == 5) {
      // Double-quoted, with an apostrophe or a double quote inside, closed
      // or left open.
      word = '"' + std::string(1 + gen() % 5, pick("ab c'\"")) + (gen() % 2 ? "\"" : "\" x");
    } else if (shape == 6 && kind > 0) {
      const int m = 1 + static_cast<int>(gen() % 10);
      for (int i = 0; i < m; ++i) word += static_cast<char>(gen() % 256);
    } else {
      word = std::string(1 + gen() % 3, kind > 0 ? pick("\t\r\x01\x7f\xe9'") : '\'');
    }
    line += word;
    line += std::string(gen() % 3 == 0 ? 0 : 1 + gen() % 3, ' ');
  }
  if (line.size() > 256) line.resize(256);
  return line;
}

void expect_same(const comfread_cif_t& fr, const RefSplit& ref, const std::string& line) {
  ASSERT_EQ(fr.nwrd, ref.nwrd) << line;
  ASSERT_EQ(fr.iover, ref.iover) << line;
  for (int w = 0; w < ref.nwrd; ++w) {
    ASSERT_EQ(fr.lwrd.data()[w], ref.lwrd[w]) << line << " word " << w;
    ASSERT_EQ(fr.qwrd.data()[w], ref.qwrd[w]) << line << " word " << w;
    ASSERT_EQ(bits(fr.fwrd.data()[w]), bits(ref.fwrd[w])) << line << " word " << w;
    ASSERT_EQ(fr.iwrd.data()[w], ref.iwrd[w]) << line << " word " << w;
  }
  // Every slot, the unused ones too: they keep what they held.
  for (int w = 0; w < MAXFRDWORD; ++w)
    ASSERT_EQ(std::memcmp(fr.cwrd.data()[w].c, ref.slot[w].data(), 80), 0)
        << line << " slot " << w << ": [" << std::string(fr.cwrd.data()[w].c, 80) << "]";
}

void run_lines(comfread_cif_t& fr, void (*split)(), unsigned seed, int kind) {
  RefSplit ref;
  for (int w = 0; w < MAXFRDWORD; ++w) std::memcpy(ref.slot[w].data(), fr.cwrd.data()[w].c, 80);
  std::mt19937 gen(seed);
  for (int t = 0; t < 20000; ++t) {
    const std::string line = random_line(gen, kind);
    fr.line = line;
    split();
    ref.split(line);
    expect_same(fr, ref, line);
    if (testing::Test::HasFatalFailure()) return;
  }
}

}  // namespace

TEST(CifWordSlots, PrintableLinesMatchThePlainRules) { run_lines(comfread_info, frd_parm_info_, 11, 0); }

TEST(CifWordSlots, LinesWithControlAndHighBytesMatchThePlainRules) {
  run_lines(comfread_info, frd_parm_info_, 12, 1);
}

TEST(CifWordSlots, SecondInstanceMatchesThePlainRules) { run_lines(comfread_c, frd_parmc_, 13, 1); }

TEST(CifWordSlots, ShortWordAfterLongOneInTheSameSlot) {
  // Slot 1 holds 90 characters (80 stored), then 33, then 1: each time the
  // rest of the slot is blank.
  for (const std::string& w : {std::string(90, 'a'), std::string(33, 'b'), std::string(17, 'c'), std::string("d")}) {
    comfread_info.line = w + " 7";
    frd_parm_info_();
    ASSERT_EQ(comfread_info.nwrd, 2);
    std::string expect = w.substr(0, 80);
    expect.resize(80, ' ');
    EXPECT_EQ(comfread_info.cwrd(1).str(), expect);
    EXPECT_EQ(comfread_info.cwrd(2).str(), "7" + std::string(79, ' '));
    EXPECT_EQ(comfread_info.lwrd(1), static_cast<int>(w.size()));
  }
}

TEST(CifWordSlots, WordAtTheEndOfAFullLine) {
  // The last word ends at character 256, where the line's room ends.
  comfread_info.line = std::string(230, ' ') + "-12.5" + std::string(20, ' ') + "x";
  frd_parm_info_();
  ASSERT_EQ(comfread_info.nwrd, 2);
  EXPECT_EQ(comfread_info.fwrd(1), -12.5f);
  EXPECT_EQ(comfread_info.cwrd(2).str(), 'x' + std::string(79, ' '));
  comfread_info.line.blank();
  comfread_info.line.sub(251) = "123456";
  frd_parm_info_();
  ASSERT_EQ(comfread_info.nwrd, 1);
  EXPECT_EQ(comfread_info.iwrd(1), 123456);
  EXPECT_EQ(comfread_info.cwrd(1).str(), "123456" + std::string(74, ' '));
}

namespace {

// The value slots of loop rows read through the tokeniser: every value is
// its word cut to 80 characters and blank-padded, after longer and shorter
// values in the same slot.
struct Row {
  std::vector<std::string> text;    // as written in the file
  std::vector<std::string> stored;  // the expected 80 characters
};

std::string random_value(std::mt19937& gen, std::string& stored) {
  const int shape = static_cast<int>(gen() % 4);
  std::string word;
  if (shape == 0) {
    const int m = 1 + static_cast<int>(gen() % 100);
    for (int i = 0; i < m; ++i) word += "0123456789.-+ABCxyz"[gen() % 19];
    if (word[0] == '.' && m == 1) word = "5";
    stored = word;
  } else if (shape == 1) {
    const int m = 1 + static_cast<int>(gen() % 8);
    for (int i = 0; i < m; ++i) word += "0123456789"[gen() % 10];
    stored = word;
  } else if (shape == 2) {
    // Quoted, with a blank inside; a word that would read like a name.
    std::string inner = std::string(1 + gen() % 40, 'q') + " " + (gen() % 2 ? "data_x" : "_y");
    word = "'" + inner + "'";
    stored = inner;
  } else {
    word = gen() % 2 ? "?" : "A1";
    stored = word;
  }
  stored = stored.substr(0, 80);
  stored.resize(80, ' ');
  return word;
}

}  // namespace

TEST(CifWordSlots, LoopValuesAreBlankPaddedWords) {
  constexpr int kItems = 7;
  std::mt19937 gen(21);
  std::vector<Row> rows(3000);
  std::string text = "data_t\nloop_\n";
  for (int i = 0; i < kItems; ++i) text += "_t.c" + std::to_string(i) + "\n";
  for (Row& r : rows) {
    for (int i = 0; i < kItems; ++i) {
      std::string stored;
      r.text.push_back(random_value(gen, stored));
      r.stored.push_back(stored);
    }
    // A row over one or more lines, none longer than the 256 characters
    // that are kept of a line.
    std::size_t used = 0;
    for (int i = 0; i < kItems; ++i) {
      if (used > 0 && (used + r.text[i].size() > 250 || gen() % 8 == 0)) {
        text += "\n";
        used = 0;
      }
      text += r.text[i] + " ";
      used += r.text[i].size() + 1;
    }
    text += "\n";
  }
  const std::string path = scratch_path() + "cif_word_slots_loop.cif";
  {
    std::ofstream out(path, std::ios::binary);
    out << text;
  }
  rt::OpenOptions opt;
  opt.status = rt::OpenStatus::Old;
  opt.readonly = true;
  ASSERT_EQ(rt::unit_open(85, path, opt), 0);
  comlib.iquiet = 1;
  int32_t ierr = 0, iend = -1;
  getcif_info_(85, 0, ierr, iend);  // the block
  ASSERT_EQ(iend, 0);
  ASSERT_EQ(comcif_info.n_cif, 0);
  for (const Row& r : rows) {
    getcif_info_(85, 0, ierr, iend);
    ASSERT_EQ(iend, 0);
    ASSERT_EQ(comcif_info.n_cif, kItems);
    for (int k = 1; k <= kItems; ++k) {
      ASSERT_EQ(comcif_info.dt_cif(k).str(), r.stored[k - 1]) << "value " << k;
      float f = 0;
      int32_t i = 0;
      const int n = static_cast<int>(rt::len_trim(r.stored[k - 1]));
      const char c0 = r.stored[k - 1][0];
      if (n <= 16 && ((c0 >= '0' && c0 <= '9') || c0 == '-' || c0 == '+' || c0 == '.'))
        wtodig_(r.stored[k - 1], n, f, i);
      ASSERT_EQ(bits(comcif_info.fdt_cif(k)), bits(f)) << r.text[k - 1];
      ASSERT_EQ(comcif_info.idt_cif(k), i) << r.text[k - 1];
    }
  }
  getcif_info_(85, 0, ierr, iend);
  EXPECT_EQ(iend, 1);
  rt::unit_close(85);
  comlib.iquiet = 0;
}
