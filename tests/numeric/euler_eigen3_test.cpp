// Euler angles of rotations built from known angles, including the gimbal
// cases, and the 3 x 3 Jacobi eigen-solver on matrices of known spectrum.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "numeric/eigen3.h"
#include "numeric/euler_angles.h"
#include "numeric_check.h"
#include "support/capture.h"

namespace {

const double kPi = std::acos(-1.0);

// Rz(a) Ry(b) Rz(c), column-major, worked out in double precision.
void zyz(double a, double b, double c, float* r) {
  const double ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b);
  const double cc = std::cos(c), sc = std::sin(c);
  const double m[3][3] = {{ca * cb * cc - sa * sc, -ca * cb * sc - sa * cc, ca * sb},
                          {sa * cb * cc + ca * sc, -sa * cb * sc + ca * cc, sa * sb},
                          {-sb * cc, sb * sc, cb}};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r[i + 3 * j] = static_cast<float>(m[i][j]);
}

struct Angles {
  const char* label;
  double a, b, c;     // angles the matrix is built from
  double wa, wb, wc;  // angles expected back
};

}  // namespace

TEST(EulerAngles, RecoversAnglesOfKnownRotations) {
  const Angles rows[] = {
      {"general", 0.3, 1.1, -2.0, 0.3, 1.1, -2.0},
      {"cos al3 zero, r(3,1) zero", 0.7, 0.9, kPi / 2, 0.7, 0.9, kPi / 2},
      {"negative al2: same rotation", 0.5, -0.8, 1.0, 0.5 - kPi, 0.8, 1.0 - kPi},
      {"gimbal al2 = 0: only al1 + al3", 0.4, 0.0, 0.5, 0.9, 0.0, 0.0},
      // al3 = 0 and al1 = atan2(r(2,1), r(1,1)): the rotation up to a half turn about z.
      {"gimbal al2 = pi", 0.3, kPi, 0.0, 0.3 - kPi, kPi, 0.0},
  };
  for (const auto& row : rows) {
    float r[9], al1 = 9, al2 = 9, al3 = 9;
    bool error = true;
    zyz(row.a, row.b, row.c, r);
    const std::string out = captured([&] { matr2eul_(r, al1, al2, al3, error); });
    EXPECT_FALSE(error) << row.label;
    EXPECT_EQ(out, "") << row.label;
    const float got[3] = {al1, al2, al3};
    expect_all_near(got, {row.wa, row.wb, row.wc}, 2e-3, row.label);
  }
}

TEST(EulerAngles, ZeroOfEitherSignGivesPlusPi) {
  // A half turn about z: r(2,1) = -0 must not give -pi.
  const float r[9] = {-1, -0.0f, 0, 0, -1, 0, 0, 0, 1};
  float al1, al2, al3;
  bool error = true;
  matr2eul_(r, al1, al2, al3, error);
  EXPECT_FALSE(error);
  EXPECT_EQ(al1, static_cast<float>(kPi));
}

TEST(EulerAngles, ReflectionWarnsAndStillGivesAngles) {
  const float r[9] = {1, 0, 0, 0, 1, 0, 0, 0, -1};
  float al1 = 9, al2 = 9, al3 = 9;
  bool error = false;
  const std::string out = captured([&] { matr2eul_(r, al1, al2, al3, error); });
  EXPECT_TRUE(error);
  EXPECT_EQ(out, "===> Warning: Matrix is not rotationa matrix\n");
  EXPECT_NEAR(al2, kPi, 1e-6) << "r(3,3) = -1";
}

TEST(EulerAngles, NonOrthogonalWarnsAndWritesNoAngle) {
  const float r[9] = {2, 0, 0, 0, 2, 0, 0, 0, 2};
  float al1 = 9, al2 = 9, al3 = 9;
  bool error = false;
  const std::string out = captured([&] { matr2eul_(r, al1, al2, al3, error); });
  EXPECT_TRUE(error);
  EXPECT_EQ(out, "===> Warning: Matrix is not rotation matrix\n");
  const float got[3] = {al1, al2, al3};
  expect_all_eq(got, {9.0f, 9.0f, 9.0f});
}

TEST(EulerAngles, NanMatrixIsNotARotation) {
  const float nan = std::nanf("");
  const float rows[][9] = {{nan, nan, nan, nan, nan, nan, nan, nan, nan},
                           {1, 0, 0, 0, 1, 0, 0, 0, nan}};
  for (const auto& r : rows) {
    float al1 = 9, al2 = 9, al3 = 9;
    bool error = false;
    const std::string out = captured([&] { matr2eul_(r, al1, al2, al3, error); });
    EXPECT_TRUE(error) << "a NaN element must not pass as a rotation";
    EXPECT_EQ(out, "===> Warning: Matrix is not rotation matrix\n");
  }
}

TEST(SymmetricEigen3, UnorderedDiagonalIsReordered) {
  float a[9] = {3, 0, 0, 0, 1, 0, 0, 0, 2}, ev[3];
  int32_t ierr = 5;
  seig3dim_(a, ev, ierr);
  ASSERT_EQ(ierr, 0);
  expect_all_eq(ev, {1.0f, 2.0f, 3.0f});
  // Columns e2, e3, e1 up to sign.
  const int unit_row[3] = {1, 2, 0};
  for (int k = 0; k < 3; ++k)
    for (int i = 0; i < 3; ++i)
      EXPECT_NEAR(std::fabs(a[i + 3 * k]), i == unit_row[k] ? 1.0 : 0.0, 1e-7) << i << "," << k;
}

TEST(SymmetricEigen3, KnownSpectrumWithRepeatedValue) {
  // Q diag(1, 1, 4) Q^T with Q the rotation of the Pythagorean 3-4-5
  // triangle about x: eigenvalue 4 along Q e3 = (0, -0.8, 0.6).
  const float w[9] = {1, 0, 0, 0, 1 + 3 * 0.64f, -3 * 0.48f, 0, -3 * 0.48f, 1 + 3 * 0.36f};
  float a[9], ev[3];
  for (int k = 0; k < 9; ++k) a[k] = w[k];
  int32_t ierr = 5;
  seig3dim_(a, ev, ierr);
  ASSERT_EQ(ierr, 0);
  expect_all_near(ev, {1, 1, 4}, 1e-6);
  EXPECT_NEAR(std::fabs(a[7]), 0.8, 1e-6);
  EXPECT_NEAR(std::fabs(a[8]), 0.6, 1e-6);
}

TEST(SymmetricEigen3, NonSymmetricInputUsesItsSymmetricPart) {
  // (w + w^T) / 2 = ((2, 1, 0), (1, 2, 0), (0, 0, 5)): eigenvalues 1, 3, 5.
  const double w[9] = {2, 3, 0, -1, 2, 0, 0, 0, 5};
  double r[3], b[9];
  bool err = true;
  zm_eigv3sym_(w, r, b, err);
  ASSERT_FALSE(err);
  expect_all_near(r, {1, 3, 5}, 1e-14);
  // Row 1 of b belongs to 1: +-(1, -1, 0) / sqrt 2.
  EXPECT_NEAR(b[0] + b[3], 0.0, 1e-14);
  EXPECT_NEAR(std::fabs(b[0]), std::sqrt(0.5), 1e-14);
}

TEST(SymmetricEigen3, NoConvergenceLeavesMatrixAndReportsFailure) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  float a[9] = {1, nan, 0, nan, 1, 0, 0, 0, 1}, ev[3];
  int32_t ierr = 0;
  seig3dim_(a, ev, ierr);
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(a[0], 1.0f);
  EXPECT_EQ(a[2], 0.0f);
}
