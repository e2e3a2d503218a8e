// The vector kit and the geometric kernels on explicit coordinates, on
// hand-computed geometry: inverses, cell matrices, Euler rotations, chirality
// signs, torsions from angles, placing an atom and plane fitting.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "foundation/kernels.h"
#include "foundation/vec3.h"
#include "runtime/run.h"
#include "support/capture.h"

namespace {

const float kPi = 4.0f * std::atan(1.0f);
float rad(float deg) { return deg * kPi / 180.0f; }

void expect_vec(const float* v, float x, float y, float z, float tol = 1e-5f) {
  EXPECT_NEAR(v[0], x, tol);
  EXPECT_NEAR(v[1], y, tol);
  EXPECT_NEAR(v[2], z, tol);
}


}  // namespace

TEST(VectorKit, UnitVectorOfZeroIsXWithError) {
  const float z[3] = {0, 0, 0};
  float y[3];
  int32_t ierr = 0;
  nb_vunit_(z, y, ierr);
  EXPECT_EQ(ierr, 1);
  expect_vec(y, 1, 0, 0);
  const float v[3] = {3, 0, 4};
  nb_vunit_(v, y, ierr);
  EXPECT_EQ(ierr, 0);
  expect_vec(y, 0.6f, 0, 0.8f);
  float d;
  nb_vmod_(v, d);
  EXPECT_FLOAT_EQ(d, 5);
}

TEST(VectorKit, ProductsAndAliasedOutputs) {
  float x[3] = {1, 0, 0};
  const float y[3] = {0, 1, 0};
  float z[3];
  nb_vmult_(x, y, z);
  expect_vec(z, 0, 0, 1);
  nb_vmult_(x, y, x);  // output over the first input
  expect_vec(x, 0, 0, 1);
  float s;
  const float a[3] = {1, 2, 3}, b[3] = {4, -5, 6};
  nb_vprod_(a, b, s);
  EXPECT_FLOAT_EQ(s, 12);
  nb_vsub_(a, b, z);
  expect_vec(z, -3, 7, -3);
  nb_vadd_(a, b, z);
  expect_vec(z, 5, -3, 9);
  nb_vscal_(a, -2, z);
  expect_vec(z, -2, -4, -6);
}

TEST(VectorKit, MatricesAreColumnByColumn) {
  // Rows (1 2 0 / 0 1 0 / 0 0 2) stored column by column.
  const float m[9] = {1, 0, 0, 2, 1, 0, 0, 0, 2};
  const float v[3] = {1, 1, 1};
  float y[3];
  nb_mvmult_(m, v, y);
  expect_vec(y, 3, 1, 2);
  float inv[9];
  int32_t ierr = 1;
  nb_invert_(m, inv, ierr);
  EXPECT_EQ(ierr, 0);
  const float expected[9] = {1, 0, 0, -2, 1, 0, 0, 0, 0.5f};
  for (int k = 0; k < 9; ++k) EXPECT_NEAR(inv[k], expected[k], 1e-6f) << k;
  float p[9];
  nb_matmlt_(m, inv, p);
  for (int k = 0; k < 9; ++k) EXPECT_NEAR(p[k], k % 4 == 0 ? 1.0f : 0.0f, 1e-6f) << k;
  float t[9];
  nb_mtrans_(m, t);
  EXPECT_EQ(t[1], 2);
  EXPECT_EQ(t[3], 0);
}

TEST(VectorKit, SingularMatrixGivesErrorAndZeros) {
  const float sing[9] = {1, 2, 3, 2, 4, 6, 0, 1, 1};
  float inv[9];
  int32_t ierr = 0;
  for (float& x : inv) x = 7;
  nb_invert_(sing, inv, ierr);
  EXPECT_EQ(ierr, 1);
  for (float x : inv) EXPECT_EQ(x, 0);
}

TEST(VectorKit, EulerRotations) {
  float r[9], y[3];
  const float x[3] = {1, 0, 0};
  nb_eul2matr_(0, 0, 0, r);
  for (int k = 0; k < 9; ++k) EXPECT_NEAR(r[k], k % 4 == 0 ? 1.0f : 0.0f, 1e-6f);
  nb_eul2matr_(kPi / 2, 0, 0, r);
  nb_mvmult_(r, x, y);
  expect_vec(y, 0, 1, 0);
  nb_eul2matr_(0, kPi / 2, 0, r);
  nb_mvmult_(r, x, y);
  expect_vec(y, 0, 0, -1);
}

TEST(VectorKit, CellMatrices) {
  float fo[9], of[9];
  int32_t ierr = 1;
  nb_frorth_(10, 10, 10, kPi / 2, kPi / 2, kPi / 2, fo, of, ierr);
  EXPECT_EQ(ierr, 0);
  for (int k = 0; k < 9; ++k) {
    EXPECT_NEAR(fo[k], k % 4 == 0 ? 10.0f : 0.0f, 1e-5f) << k;
    EXPECT_NEAR(of[k], k % 4 == 0 ? 0.1f : 0.0f, 1e-7f) << k;
  }
  // Monoclinic: c leans back in the xz plane.
  nb_frorth_(10, 20, 30, kPi / 2, rad(120), kPi / 2, fo, of, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_NEAR(fo[6], -15.0f, 1e-4f);
  EXPECT_NEAR(fo[7], 0.0f, 1e-4f);
  EXPECT_NEAR(fo[8], 25.980762f, 1e-4f);
  EXPECT_NEAR(fo[4], 20.0f, 1e-4f);
  nb_frorth_(10, 20, 30, kPi / 2, kPi / 2, 0, fo, of, ierr);
  EXPECT_EQ(ierr, 1);
  for (int k = 0; k < 9; ++k) EXPECT_EQ(of[k], 0);
}

TEST(ExplicitGeometry, HandednessOfFourPoints) {
  const float c1[3] = {0, 0, 0}, c2[3] = {1, 0, 0}, c3[3] = {0, 1, 0}, up[3] = {0, 0, 1}, down[3] = {0, 0, -1};
  float vol = 0, ang = 0;
  calc_i_ovol_l_(0, 0, 0, 0, c1, c2, c3, up, vol, ang);
  EXPECT_FLOAT_EQ(vol, 1);
  EXPECT_NEAR(ang, -90, 1e-3);
  calc_i_ovol_l_(0, 0, 0, 0, c1, c2, c3, down, vol, ang);
  EXPECT_FLOAT_EQ(vol, -1);
  EXPECT_NEAR(ang, 90, 1e-3);
  // Degenerate: a partner on the centre-c2 line leaves the angle 0.
  const float online[3] = {2, 0, 0};
  calc_i_ovol_l_(0, 0, 0, 0, c1, c2, online, up, vol, ang);
  EXPECT_EQ(ang, 0);
  EXPECT_EQ(vol, 0);
}

TEST(ExplicitGeometry, TorsionFromThreeAngles) {
  float t = -1;
  get_tors_(rad(109.5f), rad(109.5f), rad(109.5f), t);
  EXPECT_NEAR(t * 180 / kPi, 120.0f, 0.2f);
  get_tors_(0, rad(109.5f), rad(100), t);
  EXPECT_EQ(t, 0);
  get_tors_(rad(120), rad(120), rad(120), t);  // angles summing to 360 degrees: flat
  EXPECT_FLOAT_EQ(t, kPi);
  get_tors_(rad(90), rad(90), rad(90), t);
  EXPECT_NEAR(t, kPi / 2, 1e-5);
}

TEST(ExplicitGeometry, PlacingANewBond) {
  const float b[3] = {0, 0, 1.5f}, r[3] = {1, 0, 0};
  float n[3];
  coord_4_(0, 1.5f, 1.0f, r, b, rad(90), kPi, 0, n);
  expect_vec(n, 0, 0, 1);  // straight on along B
  coord_4_(0, 1.5f, 1.0f, r, b, rad(90), 0, 0, n);
  expect_vec(n, 0, 0, -1);  // straight back
  const float b1[3] = {0, 0, 1};
  coord_4_(0, 1, 2, r, b1, rad(90), rad(90), 0, n);
  expect_vec(n, -2, 0, 0);
  coord_4_(0, 1, 2, r, b1, rad(90), rad(90), rad(90), n);
  expect_vec(n, 0, -2, 0);
  coord_4_(0, 1, 2, r, b1, rad(90), rad(120), 0, n);
  expect_vec(n, -2 * std::sin(rad(120)), 0, 1);
}

TEST(ExplicitGeometry, PlacingWithReferenceInLine) {
  // The reference lies along B: the x axis is used, or the y axis when B is x.
  const float bx[3] = {1, 0, 0}, bz[3] = {0, 0, 1};
  float n[3];
  coord_4_(0, 1, 1, bx, bx, 0, rad(90), 0, n);
  expect_vec(n, 0, -1, 0);
  coord_4_(0, 1, 1, bz, bz, 0, rad(90), 0, n);
  expect_vec(n, -1, 0, 0);
}

TEST(PlaneFit, KnownPlanes) {
  const float z2[12] = {0, 0, 2, 1, 0, 2, 0, 1, 2, 1, 1, 2};
  float vm[3], d = 0;
  fit_plane_(4, z2, vm, d);
  EXPECT_NEAR(vm[0], 0, 1e-6);
  EXPECT_NEAR(vm[1], 0, 1e-6);
  EXPECT_NEAR(std::fabs(vm[2]), 1, 1e-6);
  EXPECT_NEAR(d * vm[2], 2, 1e-5);
  const float x3[9] = {3, 1, 7, 3, -2, 0, 3, 5, 5};
  fit_plane_(3, x3, vm, d);
  EXPECT_NEAR(std::fabs(vm[0]), 1, 1e-6);
  EXPECT_NEAR(d * vm[0], 3, 1e-5);
  const float tilted[12] = {3, 0, 0, 0, 3, 0, 0, 0, 3, 1, 1, 1};
  fit_plane_(4, tilted, vm, d);
  const float s = 1 / std::sqrt(3.0f);
  EXPECT_NEAR(std::fabs(vm[0]), s, 1e-4);
  EXPECT_NEAR(vm[0], vm[1], 1e-4);
  EXPECT_NEAR(vm[0], vm[2], 1e-4);
  EXPECT_NEAR(d * vm[0], 1, 1e-4);  // d = 3/sqrt(3), vm = (1,1,1)/sqrt(3)
}

// The normal is scaled to a positive first element, so its sign (and that of
// d and of every deviation) does not depend on which element is largest.
TEST(PlaneFit, NormalTakesTheSignOfItsFirstElement) {
  // Points of x + 2y - 3z = 6; centroid (1.75, 1, -0.75).
  const float pts[12] = {6, 0, 0, 0, 3, 0, 0, 0, -2, 1, 1, -1};
  float vm[3], d = 0;
  fit_plane_(4, pts, vm, d);
  const float s = 1 / std::sqrt(14.0f);
  EXPECT_NEAR(vm[0], s, 1e-4);
  EXPECT_NEAR(vm[1], 2 * s, 1e-4);
  EXPECT_NEAR(vm[2], -3 * s, 1e-4);
  EXPECT_NEAR(d, 6 * s, 1e-4);
}

TEST(PlaneFit, DegeneratePointsGiveZero) {
  const float line[9] = {0, 0, 0, 1, 1, 1, 2, 2, 2};
  float vm[3] = {9, 9, 9}, d = 9;
  fit_plane_(3, line, vm, d);
  expect_vec(vm, 0, 0, 0);
  EXPECT_EQ(d, 0);
}

TEST(PlaneFit, NoPointsEndTheRun) {
  float vm[3], d;
  EXPECT_EQ(expect_stop(1, [&] { fit_plane_(0, nullptr, vm, d); }), " N =< 0 in subroutine \"FIT_PLANE\"\n");
}
