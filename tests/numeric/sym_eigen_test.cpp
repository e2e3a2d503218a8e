// Symmetric and tridiagonal eigen-solvers on matrices of known spectrum,
// the stable ordering of the eigenpairs, the argument checks and the report
// of an iteration that did not converge.
#include "numeric/sym_eigen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "numeric_check.h"
#include "support/capture.h"

namespace {

const double kPi = std::acos(-1.0);

// A = H diag(lambda) H with the reflector H = I - 2 u u^T / u.u of an
// integer vector u: a dense matrix whose spectrum is lambda.
std::vector<double> reflected_spectrum(const std::vector<double>& lambda,
                                       const std::vector<double>& u) {
  const size_t n = lambda.size();
  double uu = 0;
  for (double x : u) uu += x * x;
  std::vector<double> h(n * n), a(n * n, 0.0);
  for (size_t i = 0; i < n; ++i)
    for (size_t j = 0; j < n; ++j) h[i + j * n] = (i == j ? 1.0 : 0.0) - 2 * u[i] * u[j] / uu;
  for (size_t i = 0; i < n; ++i)
    for (size_t j = 0; j < n; ++j)
      for (size_t k = 0; k < n; ++k) a[i + j * n] += h[i + k * n] * lambda[k] * h[j + k * n];
  return a;
}

// Largest |A q_k - d_k q_k| and largest deviation of Q^T Q from I.
template <typename T>
void expect_eigenpairs(const std::vector<double>& a, const T* q, int ld, const T* d, int n,
                       double tol) {
  for (int k = 0; k < n; ++k) {
    for (int i = 0; i < n; ++i) {
      double s = 0;
      for (int j = 0; j < n; ++j) s += a[i + j * n] * q[j + k * ld];
      EXPECT_NEAR(s, d[k] * q[i + k * ld], tol) << "residual, pair " << k << " row " << i;
    }
    for (int l = 0; l < n; ++l) {
      double s = 0;
      for (int i = 0; i < n; ++i) s += static_cast<double>(q[i + k * ld]) * q[i + l * ld];
      EXPECT_NEAR(s, k == l ? 1.0 : 0.0, tol) << "orthonormality " << k << "," << l;
    }
  }
}

}  // namespace

TEST(SymmetricEigen, KnownSpectrumFromUpperTriangle) {
  const std::vector<double> lambda = {3, -1, 3, 0.5, 7, 3};
  const int n = 6, m = 8;
  const std::vector<double> a = reflected_spectrum(lambda, {1, -2, 0, 3, 1, 1});
  std::vector<double> q(m * n, 0.0), d(n), e(n);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i <= j; ++i) q[i + j * m] = a[i + j * n];
  // The lower triangle is not part of the input.
  for (int j = 0; j < n; ++j)
    for (int i = j + 1; i < n; ++i) q[i + j * m] = 99;
  int32_t info = 5;
  dsyev_mo_('N', 'U', n, q.data(), m, d.data(), e.data(), n, info);
  ASSERT_EQ(info, 0);
  expect_all_near(d.data(), {-1, 0.5, 3, 3, 3, 7}, 1e-13, "eigenvalues");
  expect_eigenpairs(a, q.data(), m, d.data(), n, 1e-13);
}

TEST(SymmetricEigen, SingleTwinFromLowerTriangle) {
  const int n = 4;
  const std::vector<double> a = reflected_spectrum({2, -5, 1, 1}, {1, 1, -1, 2});
  std::vector<float> q(n * n, 0.0f), d(n), e(n);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) q[i + j * n] = i >= j ? static_cast<float>(a[i + j * n]) : -42.0f;
  int32_t info = 5;
  ssyev_mo_('V', 'L', n, q.data(), n, d.data(), e.data(), n, info);
  ASSERT_EQ(info, 0);
  expect_all_near(d.data(), {-5, 1, 1, 2}, 1e-5, "eigenvalues");
  expect_eigenpairs(a, q.data(), n, d.data(), n, 1e-5);
}

TEST(SymmetricEigen, OrderOneIsItsOwnEigenvector) {
  double q1[1] = {-3.5}, d1[1], e1[1];
  int32_t info = 5;
  dsyev_mo_('V', 'U', 1, q1, 1, d1, e1, 1, info);
  EXPECT_EQ(info, 0);
  EXPECT_EQ(d1[0], -3.5);
  EXPECT_EQ(q1[0], 1.0);
}

TEST(SymmetricEigen, ArgumentErrorsWriteNothing) {
  struct Case {
    const char* label;
    char ch2;
    int32_t n, me, want;
  } cases[] = {
      {"lower-case triangle", 'u', 2, 2, -2},
      {"work area shorter than n", 'U', 2, 1, -8},
      {"order above the ordering index", 'U', numeric::SYEV_MO_NMAX + 1, numeric::SYEV_MO_NMAX + 1,
       -8},
      {"negative order", 'U', -1, 2, -3},
  };
  for (const auto& c : cases) {
    double q[4] = {1, 2, 2, 1}, d[2] = {9, 9}, e[2];
    int32_t info = 5;
    dsyev_mo_('V', c.ch2, c.n, q, 2, d, e, c.me, info);
    EXPECT_EQ(info, c.want) << c.label;
    EXPECT_EQ(q[1], 2.0) << c.label;
    EXPECT_EQ(d[0], 9.0) << c.label;
  }
  float q[4] = {1, 2, 2, 1}, d[2], e[2];
  int32_t info = 0;
  EXPECT_EQ(captured([&] { ssyev_mo_('V', 'l', 2, q, 2, d, e, 2, info); }),
            " -2 error in ssyev_mo\n");
}

TEST(SymmetricEigen, UnfinishedLastBlockReportsFailure) {
  // A NaN never passes the negligibility test: the rotation budget runs out
  // while the last index is in progress, which must not read as success.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  double d[2] = {1, 2}, e[2] = {nan, 0}, q[4] = {1, 0, 0, 1};
  int32_t info = 0;
  q3qd_tqli_double_(2, 2, d, q, e, info);
  EXPECT_GT(info, 0) << "order 2";
  float qs[9] = {1, 0, 0, 0, std::nanf(""), 0, 0, 0, 1}, ds[3], es[3];
  std::string out = captured([&] { ssyev_mo_('V', 'U', 3, qs, 3, ds, es, 3, info); });
  EXPECT_GT(info, 0) << "order 3 through the driver";
  std::string want = " ";
  want.append(std::to_string(info)).append(" error in ssyev_mo\n");
  EXPECT_EQ(out, want);
}

TEST(TridiagonalEigen, SecondDifferenceMatrixClosedForm) {
  // tridiag(-1, 2, -1) of order n: eigenvalues 2 - 2 cos(k pi / (n + 1)),
  // eigenvectors sin(j k pi / (n + 1)).
  const int n = 7;
  for (char ch3 : {'N', '@'}) {
    std::vector<double> d(n, 2.0), e(n, -1.0), q(n * n, 0.0), w(1);
    std::vector<int32_t> c(2 * n);
    for (int i = 0; i < n; ++i) q[i + i * n] = 1.0;  // Z = I for "@"
    int32_t info = 5;
    dstevd_mo_(ch3, n, d.data(), e.data(), q.data(), n, w.data(), 1, c.data(), 2 * n, info);
    ASSERT_EQ(info, 0) << ch3;
    for (int k = 1; k <= n; ++k) {
      EXPECT_NEAR(d[k - 1], 2 - 2 * std::cos(k * kPi / (n + 1)), 1e-14)
          << ch3 << " eigenvalue " << k;
      double norm = 0, dot = 0;
      for (int j = 1; j <= n; ++j) {
        const double s = std::sin(j * k * kPi / (n + 1));
        norm += s * s;
        dot += s * q[(j - 1) + (k - 1) * n];
      }
      EXPECT_NEAR(std::fabs(dot) / std::sqrt(norm), 1.0, 1e-13) << ch3 << " eigenvector " << k;
    }
  }
  float d[2] = {1, 1}, e[2] = {1, 0}, q[4], w[1];
  int32_t c[3], info = 0;
  sstevd_mo_('N', 2, d, e, q, 2, w, 1, c, 3, info);
  EXPECT_EQ(info, -10) << "ordering index shorter than 2n";
}

TEST(EigenOrdering, StableIndexSort) {
  const double r[6] = {3, 1, 3, 0, 1, 3};
  int32_t c[12];
  q3qd_diff_double_(6, c, r);
  const int32_t want[6] = {4, 2, 5, 1, 3, 6};
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(c[k], want[k]) << "position " << k << ": ties keep index order";
    EXPECT_EQ(c[6 + k], want[k]) << "copy in the second half, position " << k;
  }
}
