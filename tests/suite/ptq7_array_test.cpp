// Resizable arrays: the header before the elements, the growth rule,
// insertion, the two kinds of deletion, and elements taken from the array
// itself while it grows.
#include <gtest/gtest.h>

#include <cstdint>

#include "suite/ptq7_array.h"

namespace {

// The two header words just before the first element: count, capacity.
int32_t header_word(void* p, int k) { return static_cast<int32_t*>(p)[k - 2]; }

struct IntArray {
  void* p = nullptr;
  IntArray() { ptq7array_new_(&p); }
  ~IntArray() { ptq7array_free_(&p); }
  int32_t* data() { return static_cast<int32_t*>(p); }
  int32_t size() { return ptq7array_size_(&p); }
  int32_t count_word() { return header_word(p, 0); }
  int32_t capacity() { return header_word(p, 1); }
  void append(int32_t v) { ptq7array_append_(&p, &v, sizeof v); }
};

}  // namespace

TEST(ResizableArrayGrowth, HeaderHoldsCountThenCapacity) {
  IntArray a;
  EXPECT_EQ(a.size(), 0);
  EXPECT_EQ(a.count_word(), 0);
  EXPECT_EQ(a.capacity(), 0);
  a.append(10);
  a.append(11);
  EXPECT_EQ(a.count_word(), 2);
  EXPECT_EQ(a.size(), 2);
}

TEST(ResizableArrayGrowth, AppendsGrowByTheRule) {
  IntArray a;
  a.append(10);
  EXPECT_EQ(a.size(), 1);
  EXPECT_EQ(a.capacity(), 3);  // 1 * 12 / 10 + 2
  a.append(11);
  a.append(12);
  EXPECT_EQ(a.capacity(), 3);
  a.append(13);  // 4 * 12 / 10 + 2
  EXPECT_EQ(a.capacity(), 6);
  a.append(14);
  a.append(15);
  a.append(16);  // 7 * 12 / 10 + 2
  EXPECT_EQ(a.capacity(), 10);
  ASSERT_EQ(a.size(), 7);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(a.data()[i], 10 + i);
}

TEST(ResizableArrayGrowth, NewWithSize) {
  void* p = nullptr;
  ptq7array_new_size_(&p, 10, 4);
  EXPECT_EQ(ptq7array_size_(&p), 10);
  EXPECT_EQ(header_word(p, 1), 14);
  ptq7array_free_(&p);
  EXPECT_EQ(p, nullptr);
}

TEST(ResizableArrayGrowth, ResizeNeverShrinksBlock) {
  IntArray a;
  ptq7array_resize_(&a.p, 20, 4);
  EXPECT_EQ(a.size(), 20);
  EXPECT_EQ(a.capacity(), 26);
  ptq7array_resize_(&a.p, 2, 4);
  EXPECT_EQ(a.size(), 2);
  EXPECT_EQ(a.capacity(), 26);
  ptq7array_resize_(&a.p, 26, 4);  // fits: no growth
  EXPECT_EQ(a.capacity(), 26);
}

TEST(ResizableArrayGrowth, ReserveSetsCapacityAndCutsCount) {
  IntArray a;
  for (int i = 0; i < 5; ++i) a.append(i);
  ptq7array_reserve_(&a.p, 3, 4);
  EXPECT_EQ(a.capacity(), 3);
  EXPECT_EQ(a.size(), 3);
  EXPECT_EQ(a.data()[2], 2);
  ptq7array_reserve_(&a.p, 8, 4);
  EXPECT_EQ(a.capacity(), 8);
  EXPECT_EQ(a.size(), 3);
  EXPECT_EQ(a.data()[0], 0);
  EXPECT_EQ(a.data()[1], 1);
  EXPECT_EQ(a.data()[2], 2);
}

TEST(ResizableArrayEdit, DeleteUnorderedMovesLast) {
  IntArray a;
  a.append('a');
  a.append('b');
  a.append('c');
  ptq7array_delete_(&a.p, 0, 4);
  ASSERT_EQ(a.size(), 2);
  EXPECT_EQ(a.data()[0], 'c');
  EXPECT_EQ(a.data()[1], 'b');
  ptq7array_delete_(&a.p, 1, 4);  // the last one itself
  ASSERT_EQ(a.size(), 1);
  EXPECT_EQ(a.data()[0], 'c');
}

TEST(ResizableArrayEdit, DeleteOrderedKeepsOrder) {
  IntArray a;
  a.append('a');
  a.append('b');
  a.append('c');
  ptq7array_delete_ordered_(&a.p, 0, 4);
  ASSERT_EQ(a.size(), 2);
  EXPECT_EQ(a.data()[0], 'b');
  EXPECT_EQ(a.data()[1], 'c');
  ptq7array_delete_last_(&a.p);
  ASSERT_EQ(a.size(), 1);
  EXPECT_EQ(a.data()[0], 'b');
}

TEST(ResizableArrayEdit, InsertMovesUpAndAppendsAtEnd) {
  IntArray a;
  a.append(1);
  a.append(3);
  int32_t two = 2;
  ptq7array_insert_(&a.p, 1, &two, 4);
  int32_t nine = 9;
  ptq7array_insert_(&a.p, 3, &nine, 4);
  int32_t zero = 0;
  ptq7array_insert_(&a.p, 0, &zero, 4);
  ASSERT_EQ(a.size(), 5);
  const int32_t want[5] = {0, 1, 2, 3, 9};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(a.data()[i], want[i]) << i;
}

TEST(ResizableArrayEdit, AppendCopiesAndLists) {
  IntArray a;
  a.append(1);
  int32_t seven = 7;
  ptq7array_append_n_(&a.p, &seven, 3, 4);
  const int32_t list[2] = {20, 21};
  ptq7array_append_list_(&a.p, list, 2, 4);
  ptq7array_append_list_(&a.p, list, 0, 4);
  ASSERT_EQ(a.size(), 6);
  const int32_t want[6] = {1, 7, 7, 7, 20, 21};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(a.data()[i], want[i]) << i;
}

TEST(ResizableArrayEdit, ElementsTakenFromTheArrayItself) {
  // Full array (count 3 = capacity 3): every call below moves the block
  // while its source still points into the old one.
  IntArray a;
  a.append(5);
  a.append(6);
  a.append(7);
  ASSERT_EQ(a.capacity(), 3);
  ptq7array_append_(&a.p, a.data(), 4);
  ASSERT_EQ(a.size(), 4);
  EXPECT_EQ(a.data()[3], 5);
  ptq7array_append_list_(&a.p, a.data(), 4, 4);
  ASSERT_EQ(a.size(), 8);
  EXPECT_EQ(a.data()[7], 5);
  EXPECT_EQ(a.data()[5], 6);
  ptq7array_append_n_(&a.p, a.data() + 1, 3, 4);
  ASSERT_EQ(a.size(), 11);
  EXPECT_EQ(a.data()[10], 6);
  // Inserting an element of the array in front of itself.
  ptq7array_insert_(&a.p, 0, a.data() + 2, 4);
  ASSERT_EQ(a.size(), 12);
  EXPECT_EQ(a.data()[0], 7);
  EXPECT_EQ(a.data()[1], 5);
  EXPECT_EQ(a.data()[3], 7);
}
