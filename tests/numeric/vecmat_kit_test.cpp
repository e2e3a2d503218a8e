// Vector and matrix kit: the precision of the sums, the products over the
// leading block of column-major storage, and the stack of matrices.
#include "numeric/vecmat_kit.h"

#include <gtest/gtest.h>

#include <limits>

#include "numeric_check.h"

TEST(VectorSums, OrderAndPrecision) {
  float a[3] = {1, 2, 3}, b[3] = {4, 5, 6};
  EXPECT_EQ(dot_r_(2, 3, a, b), 14.0f) << "only the first n entries";
  // 1e8 + 1 is 1e8 in single precision: the single sum gives 0, the double one 1.
  float c[3] = {1.0e8f, 1.0f, -1.0e8f}, one[3] = {1, 1, 1};
  EXPECT_EQ(dot_r_(3, 3, c, one), 0.0f);
  EXPECT_EQ(dot1_r_(3, 3, c, one), 1.0f);
}

TEST(VectorCopies, CopyStopsAtN) {
  float in[3] = {1, 2, 3}, out[3] = {9, 9, 9};
  veccopy_r_(2, 3, out, -2.0f, in);
  expect_all_eq(out, {-2.0f, -4.0f, 9.0f}, "scaled");
  veccopy_r_(1, 3, out, 1.0f, in);
  expect_all_eq(out, {1.0f, -4.0f, 9.0f}, "plain");
}

TEST(VectorSums, ScaledSumOverFirstNEntries) {
  float w[2] = {1, 2}, v2[2] = {3, 4}, s[2] = {0, 0};
  int32_t ierror = 7;
  avecpvec_r_(2, 2, 1.0f, w, v2, s, ierror);
  expect_all_eq(s, {4.0f, 6.0f}, "factor 1");
  EXPECT_EQ(ierror, 0);
  avecpvec_r_(1, 2, -2.0f, w, v2, s, ierror);
  expect_all_eq(s, {1.0f, 6.0f}, "factor -2");
}

TEST(VectorSums, ZeroFactorNeverReadsTheFirstVector) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  float v1[2] = {nan, nan}, v2[2] = {3, 4}, s[2] = {0, 0};
  int32_t ierror = 7;
  avecpvec_r_(2, 2, 0.0f, v1, v2, s, ierror);
  expect_all_eq(s, {3.0f, 4.0f});
}

namespace {
using MatFn = void (*)(int32_t, int32_t, const float*, const float*, float*, bool&);
const MatFn kProducts[] = {mat2mat_, matt2mat_, matt2matt_, mat2matt_, mat2vec_, mat2vect_};
}  // namespace

TEST(MatrixOrder, BadOrderSetsErrorAndLeavesOutputs) {
  float a[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9}, out[9] = {-1, -1, -1, -1, -1, -1, -1, -1, -1};
  int32_t ia[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9}, iout[9] = {-1, -1, -1, -1, -1, -1, -1, -1, -1};
  for (int32_t n : {0, 4}) {
    bool err[9] = {};
    for (int k = 0; k < 6; ++k) kProducts[k](3, n, a, a, out, err[k]);
    imat2vect_(3, n, ia, ia, iout, err[6]);
    mattrans_(3, n, a, out, err[7]);
    mat2ident_(3, n, out, err[8]);
    for (int k = 0; k < 9; ++k) EXPECT_TRUE(err[k]) << "order " << n << ", routine " << k;
  }
  for (float x : out) EXPECT_EQ(x, -1.0f);
  for (int32_t x : iout) EXPECT_EQ(x, -1);
  bool err = true;
  mat2mat_(2, 2, a, a, out, err);
  EXPECT_FALSE(err) << "a good order clears an earlier error";
}

TEST(MatrixProducts, UseLeadingBlockOnly) {
  // np = 3, n = 2: a = [[1,2],[3,4]], b = [[5,6],[7,8]] column-major; the
  // third row and column hold 99 and must not be read or written.
  float a[9] = {1, 3, 99, 2, 4, 99, 99, 99, 99};
  float b[9] = {5, 7, 99, 6, 8, 99, 99, 99, 99};
  const struct {
    const char* label;
    std::initializer_list<float> want;
  } rows[4] = {{"a b", {19, 43, -7, 22, 50, -7, -7, -7, -7}},
               {"a' b", {26, 38, -7, 30, 44, -7, -7, -7, -7}},
               {"a' b'", {23, 34, -7, 31, 46, -7, -7, -7, -7}},
               {"a b'", {17, 39, -7, 23, 53, -7, -7, -7, -7}}};
  for (int k = 0; k < 4; ++k) {
    float out[9] = {-7, -7, -7, -7, -7, -7, -7, -7, -7};
    bool err = true;
    kProducts[k](3, 2, a, b, out, err);
    EXPECT_FALSE(err) << rows[k].label;
    expect_all_eq(out, rows[k].want, rows[k].label);
  }
  float x[2] = {1, 10}, y[3] = {5, 5, 5};
  bool err = true;
  mat2vec_(3, 2, a, x, y, err);
  expect_all_eq(y, {21.0f, 43.0f, 5.0f}, "a x");
  mat2vect_(3, 2, a, x, y, err);
  expect_all_eq(y, {31.0f, 42.0f, 5.0f}, "a' x");
}

TEST(MatrixProducts, IntegerTransposeProductWrapsAsThirtyTwoBits) {
  int32_t ia[4] = {1, 3, 2, 4}, ix[2] = {2, -1}, iy[2], big = 65536, iz = 7;
  bool err = true;
  imat2vect_(2, 2, ia, ix, iy, err);
  EXPECT_FALSE(err);
  expect_all_eq(iy, {-1, 0});
  imat2vect_(1, 1, &big, &big, &iz, err);
  EXPECT_EQ(iz, 0) << "2^32 wraps to 0";
}

TEST(MatrixProducts, IdentityWritesOnlyTheLeadingBlock) {
  float id[9] = {5, 5, 5, 5, 5, 5, 5, 5, 5};
  bool err = true;
  mat2ident_(3, 2, id, err);
  EXPECT_FALSE(err);
  expect_all_eq(id, {1, 0, 5, 0, 1, 5, 5, 5, 5});
}

TEST(MatrixTranspose, InPlaceOverTheLeadingBlock) {
  float a[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  bool err;
  mattrans_(3, 3, a, a, err);
  expect_all_eq(a, {1, 4, 7, 2, 5, 8, 3, 6, 9}, "whole matrix");
  float b[9] = {1, 2, 99, 3, 4, 99, 99, 99, 99};
  mattrans_(3, 2, b, b, err);
  expect_all_eq(b, {1, 3, 99, 2, 4, 99, 99, 99, 99}, "leading block");
}

TEST(MatrixStack, PutAndGetLeadingBlockOfASlab) {
  // np 3, n 2, two slabs: only elements (1..2, 1..2) of slab 2 are touched.
  float stack[18] = {}, m[9] = {1, 2, 8, 3, 4, 8, 8, 8, 8},
        out[9] = {-1, -1, -1, -1, -1, -1, -1, -1, -1};
  bool err = true;
  put_k_matrix_(3, 2, 2, m, stack, 2, err);
  EXPECT_FALSE(err);
  expect_all_eq(stack, {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 0, 3, 4, 0, 0, 0, 0}, "stack");
  err = true;
  get_k_matrix_(3, 2, 2, stack, out, 2, err);
  EXPECT_FALSE(err);
  expect_all_eq(out, {1, 2, -1, 3, 4, -1, -1, -1, -1}, "slab read back");
}

TEST(MatrixStack, BadIndexOrOrderWritesNothing) {
  float stack[12] = {}, m[4] = {1, 2, 3, 4}, back[4] = {-1, -1, -1, -1};
  const struct {
    const char* label;
    int32_t n, k;
  } rows[] = {{"order 0", 0, 1}, {"slab 0", 2, 0}, {"slab beyond nmax", 2, 4}};
  for (const auto& row : rows) {
    bool err1 = false, err2 = false;
    put_k_matrix_(2, row.n, 3, m, stack, row.k, err1);
    get_k_matrix_(2, row.n, 3, stack, back, row.k, err2);
    EXPECT_TRUE(err1 && err2) << row.label;
  }
  for (float x : stack) EXPECT_EQ(x, 0.0f);
  for (float x : back) EXPECT_EQ(x, -1.0f);
}
