#include "foundation/lookup_index.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Index = foundation::LookupIndex<5, 4>;

TEST(LookupIndex, ShortKeysMatchTheirBlankPaddedForm) {
  static Index x;
  x.clear();
  x.add("12", 7);
  EXPECT_EQ(x.first("12   "), 7);
  EXPECT_EQ(x.first("12     "), 7);  // excess blanks beyond the width
  EXPECT_EQ(x.first("12  A"), 0);
  EXPECT_EQ(x.first(" 12"), 0);
  EXPECT_EQ(x.first("12   X"), 0);  // a non-blank excess never matches
}

TEST(LookupIndex, ValuesUnderOneKeyKeepTheirOrder) {
  static Index x;
  x.clear();
  x.add("A", 3);
  x.add("B", 9);
  x.add("A", 1);
  x.add("A", 5);
  EXPECT_EQ(x.first("A"), 3);
  EXPECT_EQ(x.last("A"), 5);
  std::vector<int> seen;
  x.for_each("A", [&](int v) { seen.push_back(v); });
  EXPECT_EQ(seen, (std::vector<int>{3, 1, 5}));
  EXPECT_EQ(x.last("B"), 9);
}

TEST(LookupIndex, ClearForgetsEveryKeyAndFreesTheCapacity) {
  static Index x;
  x.clear();
  for (int i = 1; i <= 4; ++i) x.add(std::string(1, static_cast<char>('0' + i)), i);
  EXPECT_TRUE(x.full());
  x.clear();
  EXPECT_EQ(x.size(), 0);
  EXPECT_FALSE(x.contains("1"));
  x.add("1", 8);  // the same key again, now alone
  EXPECT_EQ(x.first("1"), 8);
  EXPECT_EQ(x.last("1"), 8);
}

TEST(LookupIndexDeath, AddingPastTheCapacityAborts) {
  static Index x;
  x.clear();
  for (int i = 1; i <= 4; ++i) x.add("K", i);
  EXPECT_DEATH(x.add("L", 5), "look-up index entry 5 out of bounds 1:4");
}

TEST(LookupIndexDeath, AKeyThatWouldBeCutAborts) {
  static Index x;
  x.clear();
  EXPECT_DEATH(x.add("123456", 1), "Substring \\(1:6\\) out of bounds of a text of length 5");
}

TEST(LookupIndex, CollidingKeysOfAFullTableStayApart) {
  // Every slot run in a table this small collides somewhere; all keys must
  // still come back with their own values.
  static foundation::LookupIndex<2, 64> x;
  x.clear();
  for (int i = 0; i < 64; ++i)
    x.add(std::string{static_cast<char>('A' + i / 8), static_cast<char>('a' + i % 8)}, i + 1);
  for (int i = 0; i < 64; ++i)
    EXPECT_EQ(x.first(std::string{static_cast<char>('A' + i / 8), static_cast<char>('a' + i % 8)}),
              i + 1)
        << i;
}

}  // namespace
