// The SSE2 character scans against the plain ones, byte for byte, on the
// cases where vector code goes wrong: every character value, runs across the
// 16-character block edge, masks cut inside a block, stale slot contents.
#include "foundation/cif_scan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#if defined(__SSE2__)

namespace {

namespace plain = foundation::cif_scan::plain;
namespace simd = foundation::cif_scan::simd;

TEST(CifScan, PlainRunStopsAtTheSameCharacterForEveryValue) {
  for (int c = 0; c < 256; ++c) {
    for (int at : {0, 15, 16, 31}) {
      char buf[32];
      std::memset(buf, 'A', sizeof buf);
      buf[at] = static_cast<char>(c);
      EXPECT_EQ(simd::plain_run32(buf), plain::plain_run32(buf))
          << "character " << c << " at " << at;
    }
  }
}

TEST(CifScan, ShortWordWritesTheSameSlotOverAnyOldContent) {
  const char* src = "abcdefghijklmnopqrstuvwxyz012345";
  for (int len = 0; len < 32; ++len) {
    for (int old = 0; old <= 80; old += 8) {
      char a[80], b[80];
      std::memset(a, '#', sizeof a);
      std::memset(b, '#', sizeof b);
      simd::put_short_word(a, src, len, old);
      plain::put_short_word(b, src, len, old);
      EXPECT_EQ(std::string(a, 80), std::string(b, 80)) << "length " << len << ", old " << old;
    }
  }
}

TEST(CifScan, MaskCutAtTheUsedLength) {
  char line[256];
  std::memset(line, ' ', sizeof line);
  std::memcpy(line, "ATOM 1 N\x01 \x7f\xe9 CA  12.5", 22);
  line[40] = '\'';  // beyond n for the shorter lengths
  for (int n : {1, 15, 16, 17, 22, 40, 41, 64, 200}) {
    uint64_t ms[5] = {}, mp[5] = {};
    const bool rs = simd::plain_mask(line, n, ms);
    const bool rp = plain::plain_mask(line, n, mp);
    EXPECT_EQ(rs, rp) << "n " << n;
    if (rs) {
      for (int i = 0; i < 5; ++i) EXPECT_EQ(ms[i], mp[i]) << "n " << n << ", word " << i;
    }
  }
}

// A line of bare values: every character value at the block edges, inside
// and beyond the used length, gives the same answer and mask both ways.
TEST(CifScan, BareValueMaskStopsAtTheSameCharacters) {
  for (int c = 0; c < 256; ++c) {
    for (int at : {0, 15, 16, 40}) {
      char line[80];
      std::memset(line, ' ', sizeof line);
      std::memcpy(line, "1 N ALA A 12.5 -3.0", 19);
      line[at] = static_cast<char>(c);
      for (int n : {16, 17, 41, 64}) {
        uint64_t ms[2] = {}, mp[2] = {};
        const bool rs = simd::bare_value_mask(line, n, ms);
        const bool rp = plain::bare_value_mask(line, n, mp);
        ASSERT_EQ(rs, rp) << "character " << c << " at " << at << ", n " << n;
        const bool stops = c == '_' || c == '#' || c == '<' || c == '\'' || c == '"';
        EXPECT_EQ(rp, !(stops && at < n)) << "character " << c << " at " << at << ", n " << n;
        if (rs) {
          EXPECT_TRUE(ms[0] == mp[0] && ms[1] == mp[1]) << "character " << c << " at " << at;
        }
      }
    }
  }
}

TEST(CifScan, HashFoundOnlyWithinTheUsedLength) {
  char line[64];
  std::memset(line, 'x', sizeof line);
  line[20] = '#';
  for (int n : {0, 16, 20, 21, 48}) {
    EXPECT_EQ(simd::has_hash(line, n), plain::has_hash(line, n)) << "n " << n;
    EXPECT_EQ(plain::has_hash(line, n), n > 20) << "n " << n;
  }
}

}  // namespace

#endif
