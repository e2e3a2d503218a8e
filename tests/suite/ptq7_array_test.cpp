// Resizable arrays: growth rule, insertion and the two kinds of deletion.
#include <gtest/gtest.h>

#include "suite/ptq7_array.h"

namespace {

struct IntArray {
  void* p = nullptr;
  IntArray() { ptq7array_new_(&p); }
  ~IntArray() { ptq7array_free_(&p); }
  int32_t* data() { return static_cast<int32_t*>(p); }
  int32_t size() { return ptq7array_size_(&p); }
  int32_t capacity() { return ptq7array_capacity_(&p); }
  void append(int32_t v) { ptq7array_append_(&p, &v, sizeof v); }
};

}  // namespace

TEST(ResizableArray, GrowthRuleOnAppend) {
  IntArray a;
  EXPECT_EQ(a.size(), 0);
  EXPECT_EQ(a.capacity(), 0);
  a.append(10);
  EXPECT_EQ(a.size(), 1);
  EXPECT_EQ(a.capacity(), 3);
  a.append(11);
  a.append(12);
  EXPECT_EQ(a.capacity(), 3);
  a.append(13);  // count 4 exceeds 3: 4 * 12 / 10 + 2 = 6
  EXPECT_EQ(a.capacity(), 6);
  EXPECT_EQ(a.size(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(a.data()[i], 10 + i);
}

TEST(ResizableArray, NewWithSize) {
  void* p = nullptr;
  ptq7array_new_size_(&p, 10, 4);
  EXPECT_EQ(ptq7array_size_(&p), 10);
  EXPECT_EQ(ptq7array_capacity_(&p), 14);
  ptq7array_free_(&p);
  EXPECT_EQ(p, nullptr);
}

TEST(ResizableArray, ResizeNeverShrinksBlock) {
  IntArray a;
  ptq7array_resize_(&a.p, 20, 4);
  EXPECT_EQ(a.capacity(), 26);
  ptq7array_resize_(&a.p, 2, 4);
  EXPECT_EQ(a.size(), 2);
  EXPECT_EQ(a.capacity(), 26);
}

TEST(ResizableArray, ReserveCutsCount) {
  IntArray a;
  for (int i = 0; i < 5; ++i) a.append(i);
  ptq7array_reserve_(&a.p, 3, 4);
  EXPECT_EQ(a.capacity(), 3);
  EXPECT_EQ(a.size(), 3);
  EXPECT_EQ(a.data()[2], 2);
  ptq7array_reserve_(&a.p, 8, 4);
  EXPECT_EQ(a.capacity(), 8);
  EXPECT_EQ(a.size(), 3);
  EXPECT_EQ(a.data()[1], 1);
}

TEST(ResizableArray, DeleteUnorderedMovesLast) {
  IntArray a;
  a.append('a');
  a.append('b');
  a.append('c');
  ptq7array_delete_(&a.p, 0, 4);
  ASSERT_EQ(a.size(), 2);
  EXPECT_EQ(a.data()[0], 'c');
  EXPECT_EQ(a.data()[1], 'b');
}

TEST(ResizableArray, DeleteOrderedKeepsOrder) {
  IntArray a;
  a.append('a');
  a.append('b');
  a.append('c');
  ptq7array_delete_ordered_(&a.p, 0, 4);
  ASSERT_EQ(a.size(), 2);
  EXPECT_EQ(a.data()[0], 'b');
  EXPECT_EQ(a.data()[1], 'c');
  ptq7array_delete_last_(&a.p);
  EXPECT_EQ(a.size(), 1);
}

TEST(ResizableArray, InsertAndAppendMany) {
  IntArray a;
  a.append(1);
  a.append(3);
  int32_t two = 2;
  ptq7array_insert_(&a.p, 1, &two, 4);
  int32_t nine = 9;
  ptq7array_insert_(&a.p, 3, &nine, 4);
  ASSERT_EQ(a.size(), 4);
  EXPECT_EQ(a.data()[0], 1);
  EXPECT_EQ(a.data()[1], 2);
  EXPECT_EQ(a.data()[2], 3);
  EXPECT_EQ(a.data()[3], 9);
  int32_t seven = 7;
  ptq7array_append_n_(&a.p, &seven, 3, 4);
  const int32_t list[2] = {20, 21};
  ptq7array_append_list_(&a.p, list, 2, 4);
  ASSERT_EQ(a.size(), 9);
  EXPECT_EQ(a.data()[6], 7);
  EXPECT_EQ(a.data()[8], 21);
}
