// Gauss-Jordan inversion and the 3 x 3 cofactor inverse against inverses
// known in closed form.
#include "numeric/inversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "numeric_check.h"

namespace {

// The 4 x 4 Hilbert matrix h(i, j) = 1 / (i + j - 1) and its exact integer
// inverse (a classical closed form; condition number about 1.6e4).
const double kHilbert4Inverse[4][4] = {{16, -120, 240, -140},
                                       {-120, 1200, -2700, 1680},
                                       {240, -2700, 6480, -4200},
                                       {-140, 1680, -4200, 2800}};

}  // namespace

TEST(GaussJordan, HilbertInverseAndSolutions) {
  const int np = 5, n = 4, mp = 3, m = 2;
  std::vector<float> a(np * np, -7.0f), b(np * mp, -7.0f);
  for (int j = 1; j <= n; ++j)
    for (int i = 1; i <= n; ++i) a[(i - 1) + (j - 1) * np] = 1.0f / static_cast<float>(i + j - 1);
  // Right-hand sides: H (1, 1, 1, 1) and H (1, -1, 1, -1).
  for (int i = 1; i <= n; ++i) {
    double s1 = 0, s2 = 0;
    for (int j = 1; j <= n; ++j) {
      s1 += 1.0 / (i + j - 1);
      s2 += (j % 2 ? 1.0 : -1.0) / (i + j - 1);
    }
    b[i - 1] = static_cast<float>(s1);
    b[(i - 1) + np] = static_cast<float>(s2);
  }
  bool error = true;
  gaussj_(a.data(), n, np, b.data(), m, mp, error);
  ASSERT_FALSE(error);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j)
      EXPECT_NEAR(a[i + j * np], kHilbert4Inverse[i][j], 1e-3 * std::fabs(kHilbert4Inverse[i][j]))
          << i << "," << j;
  for (int i = 0; i < n; ++i) {
    EXPECT_NEAR(b[i], 1.0, 2e-3) << "first right-hand side, row " << i;
    EXPECT_NEAR(b[i + np], i % 2 ? -1.0 : 1.0, 2e-3) << "second right-hand side, row " << i;
  }
  EXPECT_EQ(a[4], -7.0f) << "row outside the leading block";
  EXPECT_EQ(b[2 * np], -7.0f) << "column beyond m";
}

TEST(GaussJordan, OffDiagonalPivot) {
  // ((0, 2), (1, 0)) as rows: the inverse ((0, 1), (0.5, 0)) exactly.
  float a[4] = {0, 1, 2, 0};
  bool error = true;
  gaussj_(a, 2, 2, nullptr, 0, 0, error);  // m = 0: b is never read
  ASSERT_FALSE(error);
  expect_all_eq(a, {0.0f, 0.5f, 1.0f, 0.0f});
}

TEST(GaussJordan, RefusesSingularAndOversizedMatrices) {
  float two_equal_rows[4] = {1, 1, 2, 2};
  bool error = false;
  gaussj_(two_equal_rows, 2, 2, nullptr, 0, 0, error);
  EXPECT_TRUE(error) << "singular";
  float untouched[1] = {3.0f};
  gaussj_(untouched, 0, 1, nullptr, 0, 0, error);
  EXPECT_FALSE(error) << "order 0";
  // One more than the pivot bookkeeping holds: refused before anything is
  // written.
  const int n = numeric::GAUSSJ_NMAX + 1;
  std::vector<float> big(static_cast<size_t>(n) * n, 0.0f);
  for (int i = 0; i < n; ++i) big[i + static_cast<size_t>(i) * n] = 2.0f;
  gaussj_(big.data(), n, n, nullptr, 0, 0, error);
  EXPECT_TRUE(error) << "order 501";
  EXPECT_EQ(big[0], 2.0f);
  float small[4] = {1, 0, 0, 1};
  gaussj_(small, 2, 1, nullptr, 0, 0, error);
  EXPECT_TRUE(error) << "order beyond the leading dimension";
}

TEST(Inverse3, RotationDiagonalAndInPlace) {
  // Rotation with exact Pythagorean entries: its inverse is its transpose.
  const float r[9] = {0.6f, 0.8f, 0, -0.8f, 0.6f, 0, 0, 0, 1};
  float inv[9];
  matinv3_r_(r, inv);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(inv[i + 3 * j], r[j + 3 * i], 1e-6) << i << "," << j;
  float d[9] = {2, 0, 0, 0, 4, 0, 0, 0, -8};
  matinv3_r_(d, d);
  expect_all_eq(d, {0.5f, 0, 0, 0, 0.25f, 0, 0, 0, -0.125f}, "in place");
}
