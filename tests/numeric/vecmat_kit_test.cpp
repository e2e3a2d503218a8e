// Vector and matrix kit: size checks, summation order and the products.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "numeric/vecmat_kit.h"
#include "runtime/run.h"

namespace {

int stop_status(void (*f)()) {
  try {
    f();
  } catch (const rt::RunEnd& e) {
    return e.status;
  }
  return -1;
}

}  // namespace

TEST(VectorKit, DotEndsRunOnBadSize) {
  EXPECT_EQ(stop_status([] {
              float a[3] = {1, 2, 3};
              dot_r_(0, 3, a, a);
            }),
            1);
  EXPECT_EQ(stop_status([] {
              float a[3] = {1, 2, 3};
              dot_r_(4, 3, a, a);
            }),
            1);
  EXPECT_EQ(stop_status([] {
              float a[3] = {1, 2, 3};
              dot1_r_(-1, 3, a, a);
            }),
            1);
  testing::internal::CaptureStdout();
  stop_status([] {
    float a[1] = {1};
    dot_r_(2, 1, a, a);
  });
  EXPECT_NE(testing::internal::GetCapturedStdout().find("Size mismatch in DOT_R"), std::string::npos);
}

TEST(VectorKit, DotOverWholeVector) {
  float a[3] = {1, 2, 3}, b[3] = {4, 5, 6};
  EXPECT_FLOAT_EQ(dot_r_(3, 3, a, b), 32.0f);
  EXPECT_FLOAT_EQ(dot_r_(2, 3, a, b), 14.0f);
}

TEST(VectorKit, DoublePrecisionDotRoundsOnce) {
  // 1e8 followed by ten 1.0 terms: each single-precision partial sum stays at
  // 1e8 (the ulp there is 8), the double sum is 100000010 -> nearest float.
  std::vector<float> a(11, 1.0f), b(11, 1.0f);
  a[0] = 1.0e8f;
  EXPECT_EQ(dot_r_(11, 11, a.data(), b.data()), 1.0e8f);
  EXPECT_EQ(dot1_r_(11, 11, a.data(), b.data()), static_cast<float>(100000010.0));
  EXPECT_NE(dot1_r_(11, 11, a.data(), b.data()), 1.0e8f);
}

TEST(VectorKit, VecCopyScalesAndChecksOnlyUpperBound) {
  float in[3] = {1, 2, 3}, out[3] = {9, 9, 9};
  veccopy_r_(0, 3, out, 2.0f, in);
  EXPECT_EQ(out[0], 9.0f);
  veccopy_r_(3, 3, out, 2.0f, in);
  EXPECT_EQ(out[2], 6.0f);
  veccopy_r_(2, 3, out, 1.0f, in);
  EXPECT_EQ(out[1], 2.0f);
  EXPECT_EQ(out[2], 6.0f);
  EXPECT_EQ(stop_status([] {
              float v[2] = {0, 0};
              veccopy_r_(3, 2, v, 1.0f, v);
            }),
            1);
}

TEST(VectorKit, ScaledSumZeroAlphaIgnoresFirstVector) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  float v1[2] = {nan, nan}, v2[2] = {3, 4}, out[2] = {0, 0};
  int32_t ierror = 7;
  avecpvec_r_(2, 2, 0.0f, v1, v2, out, ierror);
  EXPECT_EQ(out[0], 3.0f);
  EXPECT_EQ(out[1], 4.0f);
  EXPECT_EQ(ierror, 0);
  float w[2] = {1, 2};
  avecpvec_r_(2, 2, 2.0f, w, v2, out, ierror);
  EXPECT_EQ(out[0], 5.0f);
  EXPECT_EQ(out[1], 8.0f);
  EXPECT_EQ(stop_status([] {
              float v[2] = {0, 0};
              int32_t e;
              avecpvec_r_(0, 2, 1.0f, v, v, v, e);
            }),
            1);
}

TEST(VectorKit, InitFillsOnlyRequestedEntries) {
  float v[3] = {0, 0, 0};
  init_vec_(2, v, 1.5f);
  EXPECT_EQ(v[1], 1.5f);
  EXPECT_EQ(v[2], 0.0f);
  init_vec_(0, v, 9.0f);
  EXPECT_EQ(v[0], 1.5f);
  int32_t n[2] = {0, 0};
  init_vecn_(2, n, -4);
  EXPECT_EQ(n[1], -4);
}

TEST(MatrixKit, BadOrderLeavesOutputUntouched) {
  float a[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9}, out[9];
  for (float& x : out) x = -1;
  for (int32_t n : {0, 4, -2}) {
    bool err = false;
    mat2mat_(3, n, a, a, out, err);
    EXPECT_TRUE(err);
    err = false;
    mat2vec_(3, n, a, a, out, err);
    EXPECT_TRUE(err);
    err = false;
    mattrans_(3, n, a, out, err);
    EXPECT_TRUE(err);
    err = false;
    mat2ident_(3, n, out, err);
    EXPECT_TRUE(err);
  }
  for (float x : out) EXPECT_EQ(x, -1.0f);
}

TEST(MatrixKit, ProductsUseLeadingBlockOnly) {
  // np = 3, n = 2: a = [[1,2],[3,4]] column-major with padding row.
  float a[9] = {1, 3, 99, 2, 4, 99, 99, 99, 99};
  float b[9] = {5, 7, 99, 6, 8, 99, 99, 99, 99};
  float out[9];
  for (float& x : out) x = -7;
  bool err = true;
  mat2mat_(3, 2, a, b, out, err);
  ASSERT_FALSE(err);
  // a*b = [[19,22],[43,50]]
  EXPECT_EQ(out[0], 19.0f);
  EXPECT_EQ(out[1], 43.0f);
  EXPECT_EQ(out[3], 22.0f);
  EXPECT_EQ(out[4], 50.0f);
  EXPECT_EQ(out[2], -7.0f);
  EXPECT_EQ(out[8], -7.0f);
  matt2mat_(3, 2, a, b, out, err);  // a^T b = [[26,30],[38,44]]
  EXPECT_EQ(out[0], 26.0f);
  EXPECT_EQ(out[1], 38.0f);
  EXPECT_EQ(out[3], 30.0f);
  EXPECT_EQ(out[4], 44.0f);
  matt2matt_(3, 2, a, b, out, err);  // a^T b^T = [[23,31],[34,46]]
  EXPECT_EQ(out[0], 23.0f);
  EXPECT_EQ(out[1], 34.0f);
  EXPECT_EQ(out[3], 31.0f);
  EXPECT_EQ(out[4], 46.0f);
  mat2matt_(3, 2, a, b, out, err);  // a b^T = [[17,23],[39,53]]
  EXPECT_EQ(out[0], 17.0f);
  EXPECT_EQ(out[1], 39.0f);
  EXPECT_EQ(out[3], 23.0f);
  EXPECT_EQ(out[4], 53.0f);
}

TEST(MatrixKit, MatrixVectorProducts) {
  float a[4] = {1, 3, 2, 4};  // [[1,2],[3,4]]
  float x[2] = {1, 1}, y[2];
  bool err;
  mat2vec_(2, 2, a, x, y, err);
  EXPECT_EQ(y[0], 3.0f);
  EXPECT_EQ(y[1], 7.0f);
  mat2vect_(2, 2, a, x, y, err);
  EXPECT_EQ(y[0], 4.0f);
  EXPECT_EQ(y[1], 6.0f);
  int32_t ia[4] = {1, 3, 2, 4}, ix[2] = {2, -1}, iy[2];
  imat2vect_(2, 2, ia, ix, iy, err);
  EXPECT_FALSE(err);
  EXPECT_EQ(iy[0], -1);
  EXPECT_EQ(iy[1], 0);
}

TEST(MatrixKit, TransposeInPlace) {
  float a[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  bool err;
  mattrans_(3, 3, a, a, err);
  const float want[9] = {1, 4, 7, 2, 5, 8, 3, 6, 9};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(a[i], want[i]) << i;
}

TEST(MatrixKit, IdentityIsNeutral) {
  float id[9], a[9] = {2, -1, 0.5f, 3, 7, 1, -4, 0, 6}, out[9];
  bool err;
  mat2ident_(3, 3, id, err);
  mat2mat_(3, 3, id, a, out, err);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(out[i], a[i]);
  mat2mat_(3, 3, a, id, out, err);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(out[i], a[i]);
}

TEST(MatrixKit, StackSlabs) {
  float stack[2 * 2 * 3];
  for (float& x : stack) x = 0;
  float m[4] = {1, 2, 3, 4};
  bool err;
  put_k_matrix_(2, 2, 3, m, stack, 3, err);
  EXPECT_FALSE(err);
  EXPECT_EQ(stack[8], 1.0f);
  EXPECT_EQ(stack[11], 4.0f);
  EXPECT_EQ(stack[0], 0.0f);
  put_k_matrix_(2, 2, 3, m, stack, 0, err);
  EXPECT_TRUE(err);
  put_k_matrix_(2, 2, 3, m, stack, 4, err);
  EXPECT_TRUE(err);
  float back[4] = {0, 0, 0, 0};
  get_k_matrix_(2, 2, 3, stack, back, 3, err);
  EXPECT_EQ(back[3], 4.0f);
  get_k_matrix_(2, 3, 3, stack, back, 1, err);
  EXPECT_TRUE(err);
}
