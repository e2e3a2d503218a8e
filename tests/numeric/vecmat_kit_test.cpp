// Vector and matrix kit: size checks and how a bad size ends the run, the
// summation order and precision of the sums, the products over the leading
// block of column-major storage, and the stack of matrices.
#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "numeric/vecmat_kit.h"
#include "runtime/run.h"
#include "runtime/units.h"

namespace {

struct Stop {
  int status = -1;
  std::string out;
};

// Runs f, which must end the run, and returns the status with standard output.
template <typename F>
Stop run_to_stop(F f) {
  Stop s;
  std::fflush(stdout);
  testing::internal::CaptureStdout();
  try {
    f();
  } catch (const rt::RunEnd& e) {
    s.status = e.status;
  }
  rt::unit_flush(6);
  std::fflush(stdout);
  s.out = testing::internal::GetCapturedStdout();
  return s;
}

// The error writer writes the error line and ends the run through the suite's
// error stop, which repeats the message after the program name (between the
// log's closing markers).
testing::AssertionResult ends_with_error(const Stop& s, const std::string& msg) {
  if (s.status != 1) return testing::AssertionFailure() << "status " << s.status;
  if (s.out.rfind("===> Error: " + msg + "\n", 0) != 0)
    return testing::AssertionFailure() << "output:\n" << s.out;
  if (s.out.find("===> Error:", 1) != std::string::npos)
    return testing::AssertionFailure() << "error line written twice:\n" << s.out;
  if (s.out.find("\n PTQ7:  " + msg + "\n") == std::string::npos)
    return testing::AssertionFailure() << "no error stop:\n" << s.out;
  return testing::AssertionSuccess();
}

}  // namespace

TEST(VectorSizeCheck, DotEndsRunOnZeroOrTooLong) {
  float a[3] = {1, 2, 3};
  for (int32_t n : {0, 4, -1}) {
    const Stop s = run_to_stop([&] { dot_r_(n, 3, a, a); });
    EXPECT_TRUE(ends_with_error(s, "Size mismatch in DOT_R")) << n;
  }
}

TEST(VectorSizeCheck, DoublePrecisionDotUsesTheSameMessage) {
  float a[2] = {1, 2};
  const Stop s = run_to_stop([&] { dot1_r_(3, 2, a, a); });
  EXPECT_TRUE(ends_with_error(s, "Size mismatch in DOT_R"));
}

TEST(VectorSizeCheck, CopyFailsOnlyAboveCapacity) {
  float in[3] = {1, 2, 3}, out[3] = {9, 9, 9};
  veccopy_r_(0, 3, out, 2.0f, in);
  veccopy_r_(-5, 3, out, 2.0f, in);
  EXPECT_EQ(out[0], 9.0f);
  EXPECT_EQ(out[2], 9.0f);
  const Stop s = run_to_stop([&] { veccopy_r_(4, 3, out, 1.0f, in); });
  EXPECT_TRUE(ends_with_error(s, "Size mismatch in VECCOPY_R"));
}

TEST(VectorSizeCheck, ScaledSumKeepsItsCapitalIn) {
  float v[2] = {0, 0};
  int32_t e = 5;
  for (int32_t n : {0, 3}) {
    const Stop s = run_to_stop([&] { avecpvec_r_(n, 2, 1.0f, v, v, v, e); });
    EXPECT_TRUE(ends_with_error(s, "Size mismatch In AVECPVEC")) << n;
  }
}

TEST(VectorSums, DotOverWholeAndPartVector) {
  float a[3] = {1, 2, 3}, b[3] = {4, 5, 6};
  EXPECT_EQ(dot_r_(3, 3, a, b), 32.0f);
  EXPECT_EQ(dot_r_(2, 3, a, b), 14.0f);
  EXPECT_EQ(dot1_r_(1, 3, a, b), 4.0f);
}

TEST(VectorSums, SinglePrecisionSumRunsInAscendingOrder) {
  // 1e8 + 1 is 1e8 in single precision, so ascending order gives 0; any
  // other order, or a double sum, gives 1.
  float a[3] = {1.0e8f, 1.0f, -1.0e8f}, one[3] = {1, 1, 1};
  EXPECT_EQ(dot_r_(3, 3, a, one), 0.0f);
  EXPECT_EQ(dot1_r_(3, 3, a, one), 1.0f);
}

TEST(VectorSums, DoublePrecisionDotRoundsOnce) {
  // 1e8 followed by ten 1.0 terms: each single-precision partial sum stays at
  // 1e8 (the spacing there is 8); the double sum 100000010 rounds to the
  // float 100000008.
  std::vector<float> a(11, 1.0f), b(11, 1.0f);
  a[0] = 1.0e8f;
  EXPECT_EQ(dot_r_(11, 11, a.data(), b.data()), 1.0e8f);
  EXPECT_EQ(dot1_r_(11, 11, a.data(), b.data()), 100000008.0f);
}

TEST(VectorCopies, ScaledCopyAndPlainCopy) {
  float in[3] = {1, 2, 3}, out[3] = {9, 9, 9};
  veccopy_r_(3, 3, out, 2.0f, in);
  EXPECT_EQ(out[0], 2.0f);
  EXPECT_EQ(out[2], 6.0f);
  veccopy_r_(2, 3, out, 1.0f, in);
  EXPECT_EQ(out[0], 1.0f);
  EXPECT_EQ(out[1], 2.0f);
  EXPECT_EQ(out[2], 6.0f);
}

TEST(VectorCopies, ScaledSumSpecialPaths) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  float v1[2] = {nan, nan}, v2[2] = {3, 4}, out[2] = {0, 0};
  int32_t ierror = 7;
  avecpvec_r_(2, 2, 0.0f, v1, v2, out, ierror);
  EXPECT_EQ(out[0], 3.0f);
  EXPECT_EQ(out[1], 4.0f);
  EXPECT_EQ(ierror, 0);
  float w[2] = {1, 2};
  ierror = 7;
  avecpvec_r_(2, 2, 1.0f, w, v2, out, ierror);
  EXPECT_EQ(out[0], 4.0f);
  EXPECT_EQ(out[1], 6.0f);
  EXPECT_EQ(ierror, 0);
  avecpvec_r_(1, 2, -2.0f, w, v2, out, ierror);
  EXPECT_EQ(out[0], 1.0f);
  EXPECT_EQ(out[1], 6.0f);
}

TEST(VectorCopies, InitFillsOnlyRequestedEntries) {
  float v[3] = {0, 0, 0};
  init_vec_(2, v, 1.5f);
  EXPECT_EQ(v[0], 1.5f);
  EXPECT_EQ(v[1], 1.5f);
  EXPECT_EQ(v[2], 0.0f);
  init_vec_(0, v, 9.0f);
  init_vec_(-1, v, 9.0f);
  EXPECT_EQ(v[0], 1.5f);
  int32_t n[3] = {0, 0, 0};
  init_vecn_(2, n, -4);
  EXPECT_EQ(n[0], -4);
  EXPECT_EQ(n[1], -4);
  EXPECT_EQ(n[2], 0);
}

namespace {

using MatFn = void (*)(int32_t, int32_t, const float*, const float*, float*, bool&);

}  // namespace

TEST(MatrixOrder, BadOrderSetsErrorAndLeavesOutputs) {
  float a[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9}, out[9];
  int32_t ia[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9}, iout[9];
  for (float& x : out) x = -1;
  for (int32_t& x : iout) x = -1;
  const MatFn products[] = {mat2mat_, matt2mat_, matt2matt_, mat2matt_, mat2vec_, mat2vect_};
  for (int32_t n : {0, 4, -2}) {
    for (MatFn f : products) {
      bool err = false;
      f(3, n, a, a, out, err);
      EXPECT_TRUE(err) << n;
    }
    bool err = false;
    imat2vect_(3, n, ia, ia, iout, err);
    EXPECT_TRUE(err);
    err = false;
    mattrans_(3, n, a, out, err);
    EXPECT_TRUE(err);
    err = false;
    mat2ident_(3, n, out, err);
    EXPECT_TRUE(err);
  }
  for (float x : out) EXPECT_EQ(x, -1.0f);
  for (int32_t x : iout) EXPECT_EQ(x, -1);
}

TEST(MatrixOrder, GoodOrderClearsAnEarlierError) {
  float a[4] = {1, 0, 0, 1}, out[4];
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
  float out[9];
  for (float& x : out) x = -7;
  bool err = true;
  auto expect_block = [&](float o11, float o21, float o12, float o22) {
    EXPECT_FALSE(err);
    EXPECT_EQ(out[0], o11);
    EXPECT_EQ(out[1], o21);
    EXPECT_EQ(out[3], o12);
    EXPECT_EQ(out[4], o22);
    for (int k : {2, 5, 6, 7, 8}) EXPECT_EQ(out[k], -7.0f) << k;
  };
  mat2mat_(3, 2, a, b, out, err);  // a b = [[19,22],[43,50]]
  expect_block(19, 43, 22, 50);
  matt2mat_(3, 2, a, b, out, err);  // a' b = [[26,30],[38,44]]
  expect_block(26, 38, 30, 44);
  matt2matt_(3, 2, a, b, out, err);  // a' b' = [[23,31],[34,46]]
  expect_block(23, 34, 31, 46);
  mat2matt_(3, 2, a, b, out, err);  // a b' = [[17,23],[39,53]]
  expect_block(17, 39, 23, 53);
}

TEST(MatrixProducts, SumsRunOverKAscendingInSinglePrecision) {
  // Row 1 of a is (1e8, 1, -1e8); b is all ones: ascending k gives 0.
  float a[9] = {1.0e8f, 0, 0, 1, 0, 0, -1.0e8f, 0, 0};
  float ones[9];
  for (float& x : ones) x = 1;
  float at[9];
  bool err;
  mattrans_(3, 3, a, at, err);
  float out[9];
  mat2mat_(3, 3, a, ones, out, err);
  EXPECT_EQ(out[0], 0.0f);
  EXPECT_EQ(out[6], 0.0f);
  matt2mat_(3, 3, at, ones, out, err);
  EXPECT_EQ(out[0], 0.0f);
  matt2matt_(3, 3, at, ones, out, err);
  EXPECT_EQ(out[0], 0.0f);
  mat2matt_(3, 3, a, ones, out, err);
  EXPECT_EQ(out[0], 0.0f);
  float v[3] = {1, 1, 1}, y[3];
  mat2vec_(3, 3, a, v, y, err);
  EXPECT_EQ(y[0], 0.0f);
  mat2vect_(3, 3, at, v, y, err);
  EXPECT_EQ(y[0], 0.0f);
}

TEST(MatrixProducts, MatrixTimesVector) {
  float a[6] = {1, 3, 99, 2, 4, 99};  // np 3, n 2: [[1,2],[3,4]]
  float x[2] = {1, 10}, y[3] = {5, 5, 5};
  bool err = true;
  mat2vec_(3, 2, a, x, y, err);
  EXPECT_FALSE(err);
  EXPECT_EQ(y[0], 21.0f);
  EXPECT_EQ(y[1], 43.0f);
  EXPECT_EQ(y[2], 5.0f);
  mat2vect_(3, 2, a, x, y, err);  // a' x = (31, 42)
  EXPECT_EQ(y[0], 31.0f);
  EXPECT_EQ(y[1], 42.0f);
  EXPECT_EQ(y[2], 5.0f);
}

TEST(MatrixProducts, IntegerTransposeProduct) {
  int32_t ia[4] = {1, 3, 2, 4}, ix[2] = {2, -1}, iy[2];
  bool err = true;
  imat2vect_(2, 2, ia, ix, iy, err);
  EXPECT_FALSE(err);
  EXPECT_EQ(iy[0], -1);  // 1*2 + 3*(-1)
  EXPECT_EQ(iy[1], 0);   // 2*2 + 4*(-1)
}

TEST(MatrixProducts, IntegerOverflowWrapsAsThirtyTwoBits) {
  int32_t ia[1] = {65536}, ix[1] = {65536}, iy[1] = {7};
  bool err = true;
  imat2vect_(1, 1, ia, ix, iy, err);
  EXPECT_FALSE(err);
  EXPECT_EQ(iy[0], 0);  // 2^32 wraps to 0
}

TEST(MatrixProducts, IdentityIsNeutralOnEitherSide) {
  float id[9], a[9] = {2, -1, 0.5f, 3, 7, 1, -4, 0, 6}, out[9];
  bool err;
  for (float& x : id) x = 5;
  mat2ident_(3, 3, id, err);
  const float want_id[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(id[i], want_id[i]);
  mat2mat_(3, 3, id, a, out, err);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(out[i], a[i]);
  mat2mat_(3, 3, a, id, out, err);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(out[i], a[i]);
}

TEST(MatrixProducts, IdentityWritesOnlyTheLeadingBlock) {
  float m[9];
  for (float& x : m) x = 5;
  bool err = true;
  mat2ident_(3, 2, m, err);
  EXPECT_FALSE(err);
  const float want[9] = {1, 0, 5, 0, 1, 5, 5, 5, 5};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(m[i], want[i]) << i;
}

TEST(MatrixTranspose, InPlaceAndIntoOtherStorage) {
  float a[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  float t[9];
  bool err;
  mattrans_(3, 3, a, t, err);
  const float want[9] = {1, 4, 7, 2, 5, 8, 3, 6, 9};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(t[i], want[i]) << i;
  mattrans_(3, 3, a, a, err);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(a[i], want[i]) << i;
}

TEST(MatrixTranspose, LeadingBlockOfLargerStorage) {
  float a[9] = {1, 2, 99, 3, 4, 99, 99, 99, 99};
  bool err;
  mattrans_(3, 2, a, a, err);
  const float want[9] = {1, 3, 99, 2, 4, 99, 99, 99, 99};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(a[i], want[i]) << i;
}

TEST(MatrixStack, PutAndGetSlabs) {
  float stack[2 * 2 * 3];
  for (float& x : stack) x = 0;
  float m[4] = {1, 2, 3, 4};
  bool err = true;
  put_k_matrix_(2, 2, 3, m, stack, 3, err);  // last slab
  EXPECT_FALSE(err);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(stack[8 + i], m[i]);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(stack[i], 0.0f);
  float back[4] = {0, 0, 0, 0};
  get_k_matrix_(2, 2, 3, stack, back, 3, err);
  EXPECT_FALSE(err);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(back[i], m[i]);
}

TEST(MatrixStack, LeadingBlockWithinSlab) {
  // np 3, n 2: only elements (1..2, 1..2) of slab 2 are written.
  float stack[3 * 3 * 2];
  for (float& x : stack) x = 0;
  float m[9] = {1, 2, 8, 3, 4, 8, 8, 8, 8};
  bool err;
  put_k_matrix_(3, 2, 2, m, stack, 2, err);
  const float want[9] = {1, 2, 0, 3, 4, 0, 0, 0, 0};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(stack[9 + i], want[i]) << i;
  float out[9];
  for (float& x : out) x = -1;
  get_k_matrix_(3, 2, 2, stack, out, 2, err);
  const float want_out[9] = {1, 2, -1, 3, 4, -1, -1, -1, -1};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(out[i], want_out[i]) << i;
}

TEST(MatrixStack, BadIndexOrOrderWritesNothing) {
  float stack[2 * 2 * 3];
  for (float& x : stack) x = 0;
  float m[4] = {1, 2, 3, 4};
  float back[4] = {-1, -1, -1, -1};
  for (int32_t k : {0, 4}) {
    bool err = false;
    put_k_matrix_(2, 2, 3, m, stack, k, err);
    EXPECT_TRUE(err) << k;
    err = false;
    get_k_matrix_(2, 2, 3, stack, back, k, err);
    EXPECT_TRUE(err) << k;
  }
  for (int32_t n : {0, 3}) {
    bool err = false;
    put_k_matrix_(2, n, 3, m, stack, 1, err);
    EXPECT_TRUE(err) << n;
    err = false;
    get_k_matrix_(2, n, 3, stack, back, 1, err);
    EXPECT_TRUE(err) << n;
  }
  for (float x : stack) EXPECT_EQ(x, 0.0f);
  for (float x : back) EXPECT_EQ(x, -1.0f);
}
