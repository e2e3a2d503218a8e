// Vector and matrix kit: size checks and how a bad size ends the run, the
// summation order and precision of the sums, the products over the leading
// block of column-major storage, and the stack of matrices.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "numeric/vecmat_kit.h"
#include "runtime/run.h"
#include "runtime/units.h"

namespace {

// Runs f, which must end the run through the error writer: status 1, the
// error line written once and first, then repeated by the suite's error stop.
testing::AssertionResult ends_with_error(const std::function<void()>& f, const std::string& msg) {
  int status = -1;
  std::fflush(stdout);
  testing::internal::CaptureStdout();
  try {
    f();
  } catch (const rt::RunEnd& e) {
    status = e.status;
  }
  rt::unit_flush(6);
  std::fflush(stdout);
  const std::string out = testing::internal::GetCapturedStdout();
  if (status != 1) return testing::AssertionFailure() << "status " << status;
  if (out.rfind("===> Error: " + msg + "\n", 0) != 0 || out.find("===> Error:", 1) != std::string::npos ||
      out.find("\n PTQ7:  " + msg + "\n") == std::string::npos)
    return testing::AssertionFailure() << "output:\n" << out;
  return testing::AssertionSuccess();
}

template <typename T>
void expect_array(const T* got, std::vector<T> want) {
  for (std::size_t i = 0; i < want.size(); ++i) EXPECT_EQ(got[i], want[i]) << "index " << i;
}

}  // namespace

TEST(VectorSizeCheck, BadSizesEndTheRun) {
  float a[3] = {1, 2, 3}, out[3] = {9, 9, 9};
  int32_t e = 5;
  for (int32_t n : {0, 4, -1}) EXPECT_TRUE(ends_with_error([&] { dot_r_(n, 3, a, a); }, "Size mismatch in DOT_R")) << n;
  EXPECT_TRUE(ends_with_error([&] { dot1_r_(4, 3, a, a); }, "Size mismatch in DOT_R"));
  EXPECT_TRUE(ends_with_error([&] { veccopy_r_(4, 3, out, 1.0f, a); }, "Size mismatch in VECCOPY_R"));
  for (int32_t n : {0, 4})
    EXPECT_TRUE(ends_with_error([&] { avecpvec_r_(n, 3, 1.0f, a, a, a, e); }, "Size mismatch In AVECPVEC")) << n;
  // A copy of no entries is no error and writes nothing.
  veccopy_r_(0, 3, out, 2.0f, a);
  veccopy_r_(-5, 3, out, 2.0f, a);
  expect_array(out, {9.0f, 9.0f, 9.0f});
}

TEST(VectorSums, OrderAndPrecision) {
  float a[3] = {1, 2, 3}, b[3] = {4, 5, 6};
  EXPECT_EQ(dot_r_(3, 3, a, b), 32.0f);
  EXPECT_EQ(dot_r_(2, 3, a, b), 14.0f);
  EXPECT_EQ(dot1_r_(1, 3, a, b), 4.0f);
  // 1e8 + 1 is 1e8 in single precision: ascending order gives 0; a double
  // sum gives 1.
  float c[3] = {1.0e8f, 1.0f, -1.0e8f}, one[3] = {1, 1, 1};
  EXPECT_EQ(dot_r_(3, 3, c, one), 0.0f);
  EXPECT_EQ(dot1_r_(3, 3, c, one), 1.0f);
  // 1e8 and ten 1.0 terms: the double sum 100000010 rounds once to 100000008.
  std::vector<float> d(11, 1.0f), ones(11, 1.0f);
  d[0] = 1.0e8f;
  EXPECT_EQ(dot_r_(11, 11, d.data(), ones.data()), 1.0e8f);
  EXPECT_EQ(dot1_r_(11, 11, d.data(), ones.data()), 100000008.0f);
}

TEST(VectorCopies, CopyScaledSumAndInit) {
  float in[3] = {1, 2, 3}, out[3];
  veccopy_r_(3, 3, out, 2.0f, in);
  expect_array(out, {2.0f, 4.0f, 6.0f});
  veccopy_r_(2, 3, out, 1.0f, in);
  expect_array(out, {1.0f, 2.0f, 6.0f});
  // A zero factor never reads the first vector, NaN included.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  float v1[2] = {nan, nan}, v2[2] = {3, 4}, w[2] = {1, 2}, s[2] = {0, 0};
  int32_t ierror = 7;
  avecpvec_r_(2, 2, 0.0f, v1, v2, s, ierror);
  expect_array(s, {3.0f, 4.0f});
  EXPECT_EQ(ierror, 0);
  ierror = 7;
  avecpvec_r_(2, 2, 1.0f, w, v2, s, ierror);
  expect_array(s, {4.0f, 6.0f});
  EXPECT_EQ(ierror, 0);
  avecpvec_r_(1, 2, -2.0f, w, v2, s, ierror);
  expect_array(s, {1.0f, 6.0f});
  float v[3] = {0, 0, 0};
  init_vec_(2, v, 1.5f);
  init_vec_(0, v, 9.0f);
  init_vec_(-1, v, 9.0f);
  expect_array(v, {1.5f, 1.5f, 0.0f});
  int32_t n[3] = {0, 0, 0};
  init_vecn_(2, n, -4);
  expect_array(n, {-4, -4, 0});
}

namespace {
using MatFn = void (*)(int32_t, int32_t, const float*, const float*, float*, bool&);
const MatFn kProducts[] = {mat2mat_, matt2mat_, matt2matt_, mat2matt_, mat2vec_, mat2vect_};
}  // namespace

TEST(MatrixOrder, BadOrderSetsErrorAndLeavesOutputs) {
  float a[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9}, out[9] = {-1, -1, -1, -1, -1, -1, -1, -1, -1};
  int32_t ia[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9}, iout[9] = {-1, -1, -1, -1, -1, -1, -1, -1, -1};
  for (int32_t n : {0, 4, -2}) {
    bool err[9] = {};
    for (int k = 0; k < 6; ++k) kProducts[k](3, n, a, a, out, err[k]);
    imat2vect_(3, n, ia, ia, iout, err[6]);
    mattrans_(3, n, a, out, err[7]);
    mat2ident_(3, n, out, err[8]);
    for (int k = 0; k < 9; ++k) EXPECT_TRUE(err[k]) << n << " routine " << k;
  }
  for (float x : out) EXPECT_EQ(x, -1.0f);
  for (int32_t x : iout) EXPECT_EQ(x, -1);
  // A good order clears an earlier error.
  bool err = true;
  mat2mat_(2, 2, a, a, out, err);
  EXPECT_FALSE(err);
  err = true;
  mattrans_(2, 1, a, out, err);
  EXPECT_FALSE(err);
}

TEST(MatrixProducts, UseLeadingBlockOnly) {
  // np = 3, n = 2: a = [[1,2],[3,4]], b = [[5,6],[7,8]] column-major; the
  // third row and column hold 99 and must not be read or written.
  float a[9] = {1, 3, 99, 2, 4, 99, 99, 99, 99};
  float b[9] = {5, 7, 99, 6, 8, 99, 99, 99, 99};
  const std::vector<float> want[4] = {
      {19, 43, -7, 22, 50, -7, -7, -7, -7},   // a b
      {26, 38, -7, 30, 44, -7, -7, -7, -7},   // a' b
      {23, 34, -7, 31, 46, -7, -7, -7, -7},   // a' b'
      {17, 39, -7, 23, 53, -7, -7, -7, -7}};  // a b'
  for (int k = 0; k < 4; ++k) {
    float out[9];
    for (float& x : out) x = -7;
    bool err = true;
    kProducts[k](3, 2, a, b, out, err);
    EXPECT_FALSE(err);
    expect_array(out, want[k]);
  }
  float x[2] = {1, 10}, y[3] = {5, 5, 5};
  bool err = true;
  mat2vec_(3, 2, a, x, y, err);
  EXPECT_FALSE(err);
  expect_array(y, {21.0f, 43.0f, 5.0f});
  mat2vect_(3, 2, a, x, y, err);
  expect_array(y, {31.0f, 42.0f, 5.0f});
}

TEST(MatrixProducts, SumsRunOverKAscendingInSinglePrecision) {
  // Row 1 of a is (1e8, 1, -1e8), at its transpose; b is all ones.
  float a[9] = {1.0e8f, 0, 0, 1, 0, 0, -1.0e8f, 0, 0}, ones[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1}, at[9], out[9];
  bool err;
  mattrans_(3, 3, a, at, err);
  for (int k = 0; k < 6; ++k) {
    const bool plain_a = k == 0 || k == 3 || k == 4;
    kProducts[k](3, 3, plain_a ? a : at, ones, out, err);
    EXPECT_EQ(out[0], 0.0f) << "routine " << k;
  }
}

TEST(MatrixProducts, IntegerTransposeProductWrapsAsThirtyTwoBits) {
  int32_t ia[4] = {1, 3, 2, 4}, ix[2] = {2, -1}, iy[2], big = 65536, iz = 7;
  bool err = true;
  imat2vect_(2, 2, ia, ix, iy, err);
  EXPECT_FALSE(err);
  expect_array(iy, {-1, 0});
  imat2vect_(1, 1, &big, &big, &iz, err);
  EXPECT_EQ(iz, 0);  // 2^32 wraps to 0
}

TEST(MatrixProducts, IdentityIsNeutralAndWritesOnlyTheLeadingBlock) {
  float id[9] = {5, 5, 5, 5, 5, 5, 5, 5, 5}, a[9] = {2, -1, 0.5f, 3, 7, 1, -4, 0, 6}, out[9];
  bool err = true;
  mat2ident_(3, 2, id, err);
  EXPECT_FALSE(err);
  expect_array(id, {1, 0, 5, 0, 1, 5, 5, 5, 5});
  mat2ident_(3, 3, id, err);
  expect_array(id, {1, 0, 0, 0, 1, 0, 0, 0, 1});
  mat2mat_(3, 3, id, a, out, err);
  expect_array(out, std::vector<float>(a, a + 9));
  mat2mat_(3, 3, a, id, out, err);
  expect_array(out, std::vector<float>(a, a + 9));
}

TEST(MatrixTranspose, InPlaceIntoOtherStorageAndLeadingBlock) {
  float a[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9}, t[9];
  bool err;
  mattrans_(3, 3, a, t, err);
  expect_array(t, {1, 4, 7, 2, 5, 8, 3, 6, 9});
  mattrans_(3, 3, a, a, err);
  expect_array(a, {1, 4, 7, 2, 5, 8, 3, 6, 9});
  float b[9] = {1, 2, 99, 3, 4, 99, 99, 99, 99};
  mattrans_(3, 2, b, b, err);
  expect_array(b, {1, 3, 99, 2, 4, 99, 99, 99, 99});
}

TEST(MatrixStack, PutAndGetLeadingBlockOfASlab) {
  // np 3, n 2, two slabs: only elements (1..2, 1..2) of slab 2 are touched.
  float stack[18] = {}, m[9] = {1, 2, 8, 3, 4, 8, 8, 8, 8}, out[9] = {-1, -1, -1, -1, -1, -1, -1, -1, -1};
  bool err = true;
  put_k_matrix_(3, 2, 2, m, stack, 2, err);
  EXPECT_FALSE(err);
  expect_array(stack, {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 0, 3, 4, 0, 0, 0, 0});
  err = true;
  get_k_matrix_(3, 2, 2, stack, out, 2, err);
  EXPECT_FALSE(err);
  expect_array(out, {1, 2, -1, 3, 4, -1, -1, -1, -1});
}

TEST(MatrixStack, BadIndexOrOrderWritesNothing) {
  float stack[12] = {}, m[4] = {1, 2, 3, 4}, back[4] = {-1, -1, -1, -1};
  const int32_t bad[4][2] = {{2, 0}, {2, 4}, {0, 1}, {3, 1}};  // order, slab
  for (const auto& b : bad) {
    bool err1 = false, err2 = false;
    put_k_matrix_(2, b[0], 3, m, stack, b[1], err1);
    get_k_matrix_(2, b[0], 3, stack, back, b[1], err2);
    EXPECT_TRUE(err1 && err2) << b[0] << " " << b[1];
  }
  for (float x : stack) EXPECT_EQ(x, 0.0f);
  for (float x : back) EXPECT_EQ(x, -1.0f);
}
