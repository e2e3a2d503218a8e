// Vector products, determinants, chiral volumes and least-squares planes:
// exact points, closed forms, and the plane derivatives against finite
// differences of the plane itself.
#include "numeric/planes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "numeric_check.h"
#include "support/capture.h"

TEST(CrossProduct, DerivativesAreTheLinearMaps) {
  // The product is linear in each factor: a(b + e_j) - a(b) is column j of
  // dadb exactly for small integers.
  const float b[3] = {1, -2, 3}, c[3] = {4, 5, -6};
  float a[3], dadb[9], dadc[9];
  cross_with_derivs_(a, dadb, dadc, b, c);
  expect_all_eq(a, {-3.0f, 18.0f, 13.0f});
  for (int j = 0; j < 3; ++j) {
    float bj[3] = {b[0], b[1], b[2]}, cj[3] = {c[0], c[1], c[2]}, ab[3], ac[3];
    bj[j] += 1;
    cj[j] += 1;
    cross_r_(ab, bj, c);
    cross_r_(ac, b, cj);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(ab[i] - a[i], dadb[i + 3 * j]) << "dadb " << i << "," << j;
      EXPECT_EQ(ac[i] - a[i], dadc[i + 3 * j]) << "dadc " << i << "," << j;
    }
  }
}

TEST(Determinant, CofactorsSatisfyAdjugateIdentity) {
  const float m[9] = {2, 1, 0, -1, 3, 4, 5, 0, 1};
  float det, cof[9];
  det3_with_derivs_(m, det, cof);
  EXPECT_EQ(det, 27.0f);
  EXPECT_EQ(det3_(m), 27.0f);
  // m times transpose(cofactors) = det times the identity.
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      float s = 0;
      for (int k = 0; k < 3; ++k) s += m[i + 3 * k] * cof[j + 3 * k];
      EXPECT_EQ(s, i == j ? 27.0f : 0.0f) << i << "," << j;
    }
}

TEST(ChiralVolume, SignFollowsHandednessAndVanishesWhenCoplanar) {
  const float c[3] = {0, 0, 0}, x[3] = {1, 0, 0}, y[3] = {0, 1, 0}, z[3] = {0, 0, 2};
  EXPECT_EQ(find_chir_sign_(c, x, y, z), 2.0f);
  EXPECT_EQ(find_chir_sign_(c, y, x, z), -2.0f) << "two neighbours exchanged";
  const float xy[3] = {1, 1, 0};
  EXPECT_EQ(find_chir_sign_(c, x, y, xy), 0.0f) << "coplanar";
}

TEST(PlaneFit, ExactPointsInZEqualsFive) {
  const float x[12] = {0, 0, 5, 2, 0, 5, 0, 3, 5, -1, 4, 5};
  float vm[3], d;
  plane_r_(4, x, vm, d);
  expect_all_near(vm, {0, 0, vm[2] > 0 ? 1.0 : -1.0}, 1e-6);
  EXPECT_NEAR(d, 5.0f * vm[2], 1e-5) << "offset sign matches the normal";
}

TEST(PlaneFit, NoPointsEndTheRunWithFailure) {
  float vm[3] = {7, 7, 7}, d = 7;
  std::string out;
  EXPECT_EQ(run_end_status([&] { plane_r_(0, nullptr, vm, d); }, out), 1);
  EXPECT_EQ(out, " Problem in plane 1\n");
  EXPECT_EQ(vm[0], 7.0f);
}

namespace {

// Points near the plane z = 0.1 x + 0.2 y + 1, not exactly on it.
std::vector<float> tilted_points() {
  const float xy[6][2] = {{0, 0}, {2, 0}, {0, 2}, {2, 2}, {1, 3}, {-1, 1}};
  const float bump[6] = {0.05f, -0.03f, 0.02f, -0.04f, 0.01f, 0.0f};
  std::vector<float> x;
  for (int i = 0; i < 6; ++i) {
    x.push_back(xy[i][0]);
    x.push_back(xy[i][1]);
    x.push_back(0.1f * xy[i][0] + 0.2f * xy[i][1] + 1 + bump[i]);
  }
  return x;
}

}  // namespace

TEST(PlaneDerivatives, MatchFiniteDifferencesOfThePlane) {
  std::vector<float> x = tilted_points();
  const int n = 6;
  float vm[3], d, dvmdx[3 * 18], dddx[18];
  int32_t ierr = 9;
  plane_and_derivs_r_(n, x.data(), vm, d, dvmdx, dddx, ierr);
  ASSERT_EQ(ierr, 0);
  const float h = 1e-2f;
  for (int col = 0; col < 3 * n; ++col) {
    float vp[3], vmn[3], dp, dm;
    std::vector<float> xp = x, xm = x;
    xp[col] += h;
    xm[col] -= h;
    plane_r_(n, xp.data(), vp, dp);
    plane_r_(n, xm.data(), vmn, dm);
    // The plain fit may return either sign of the normal.
    const float sp = vp[0] * vm[0] + vp[1] * vm[1] + vp[2] * vm[2] > 0 ? 1.0f : -1.0f;
    const float sm = vmn[0] * vm[0] + vmn[1] * vm[1] + vmn[2] * vm[2] > 0 ? 1.0f : -1.0f;
    for (int r = 0; r < 3; ++r)
      EXPECT_NEAR(dvmdx[r + 3 * col], (sp * vp[r] - sm * vmn[r]) / (2 * h), 2e-3)
          << "normal " << r << " by coordinate " << col;
    EXPECT_NEAR(dddx[col], (sp * dp - sm * dm) / (2 * h), 2e-3) << "offset by coordinate " << col;
    const float along =
        dvmdx[3 * col] * vm[0] + dvmdx[3 * col + 1] * vm[1] + dvmdx[3 * col + 2] * vm[2];
    EXPECT_NEAR(along, 0.0, 1e-5) << "column " << col << " orthogonal to the normal";
  }
}

TEST(PlaneDerivatives, RefusesCountsOutsideWorkStorage) {
  std::vector<float> x(3 * (numeric::PLANE_DERIVS_MAXPT + 1), 1.0f);
  for (int32_t n : {0, numeric::PLANE_DERIVS_MAXPT + 1}) {
    float vm[3] = {7, 7, 7}, d = 7, dvmdx[3] = {7, 7, 7}, dddx[3] = {7, 7, 7};
    int32_t ierr = 0;
    plane_and_derivs_r_(n, x.data(), vm, d, dvmdx, dddx, ierr);
    EXPECT_EQ(ierr, 1) << n << " points";
    const float got[4] = {vm[0], d, dvmdx[0], dddx[0]};
    expect_all_eq(got, {7.0f, 7.0f, 7.0f, 7.0f}, std::to_string(n) + " points");
  }
}

TEST(PlaneDerivatives, EigenSolverFailureIsReported) {
  std::vector<float> x = tilted_points();
  x[4] = std::nanf("");
  float vm[3] = {7, 7, 7}, d = 7, dvmdx[54], dddx[18];
  int32_t ierr = 0;
  plane_and_derivs_r_(6, x.data(), vm, d, dvmdx, dddx, ierr);
  EXPECT_EQ(ierr, 2);
  EXPECT_EQ(vm[0], 7.0f);
}
