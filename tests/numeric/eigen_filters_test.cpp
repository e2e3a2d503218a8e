// Eigenvalue filters: ordinary and pseudo-inverses of matrices whose
// inverses are known in closed form, the relative cut-off, and the run
// ending when the single-precision solver does not converge.
#include "numeric/eigen_filters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "numeric_check.h"
#include "support/capture.h"

namespace {

// tridiag(-1, 2, -1) of order 3 and its inverse ((3,2,1),(2,4,2),(1,2,3))/4.
const double kSecondDiff[9] = {2, -1, 0, -1, 2, -1, 0, -1, 2};
const double kSecondDiffInv[9] = {0.75, 0.5, 0.25, 0.5, 1, 0.5, 0.25, 0.5, 0.75};

}  // namespace

TEST(EigenFilterInverse, PositiveDefiniteGivesOrdinaryInverse) {
  std::vector<double> a(kSecondDiff, kSecondDiff + 9), dinv(9, 7.0), ws(6);
  deigen_filter_inverse_r_(0.0, a.data(), 3, 3, dinv.data(), ws.data(), 6);
  for (int k = 0; k < 9; ++k) EXPECT_NEAR(dinv[k], kSecondDiffInv[k], 1e-14) << k;
}

TEST(EigenFilterInverse, ZeroEigenvalueGivesPseudoInverse) {
  // ((1, 1), (1, 1)): eigenvalues 0 and 2; the pseudo-inverse is the matrix / 4.
  // The zero comes out of the solver as a rounding error, which a small
  // relative cut-off drops.
  std::vector<double> a = {1, 1, 1, 1}, dinv(4), ws(4);
  deigen_filter_inverse_r_(1e-10, a.data(), 2, 2, dinv.data(), ws.data(), 4);
  for (int k = 0; k < 4; ++k) EXPECT_NEAR(dinv[k], 0.25, 1e-15) << k;
}

TEST(EigenFilterInverse, CutOffDropsEverythingAtOrBelowTau) {
  struct Row {
    const char* label;
    double rank;
    double scale;
  } rows[] = {
      {"rank 1 keeps nothing", 1.0, 1.0},
      {"negative definite", 0.0, -1.0},
      {"zero matrix", 0.0, 0.0},
  };
  for (const auto& row : rows) {
    std::vector<double> a(9), dinv(9, 7.0), ws(6);
    for (int k = 0; k < 9; ++k) a[k] = row.scale * kSecondDiff[k];
    deigen_filter_inverse_r_(row.rank, a.data(), 3, 3, dinv.data(), ws.data(), 6);
    for (int k = 0; k < 9; ++k) EXPECT_EQ(dinv[k], 0.0) << row.label << ", element " << k;
  }
}

TEST(EigenFilterShifts, DoubleSolvesSystem) {
  std::vector<double> d2f(kSecondDiff, kSecondDiff + 9), ws(6);
  const double df[3] = {1, 0, 1};  // d2f (1, 1, 1) = (1, 0, 1)
  double shifts[3];
  deigen_filter_r_(0.0, d2f.data(), 3, 3, df, shifts, ws.data(), 6);
  expect_all_near(shifts, {1, 1, 1}, 1e-14);
}

TEST(EigenFilterShifts, SingleSolvesSystem) {
  std::vector<float> a(kSecondDiff, kSecondDiff + 9), ws(6);
  const float df[3] = {1, 0, 1};
  float shifts[3] = {7, 7, 7};
  eigen_filter_r_(0.0f, a.data(), 3, 3, df, shifts, ws.data(), 6);
  expect_all_near(shifts, {1, 1, 1}, 1e-5);
}

TEST(EigenFilterShifts, SingleEndsRunWithFailureWhenSolverFails) {
  std::vector<float> a = {1, std::nanf(""), std::nanf(""), 1}, ws(4);
  const float df[2] = {1, 1};
  float shifts[2] = {7, 7};
  std::string out;
  EXPECT_EQ(
      run_end_status([&] { eigen_filter_r_(0.0f, a.data(), 2, 2, df, shifts, ws.data(), 4); }, out),
      1);
  EXPECT_EQ(out, " 1 error in ssyev_mo\n Problem in eigen_filter_r 1\n");
  EXPECT_EQ(shifts[0], 7.0f);
}

TEST(EigenFilterShifts, SingleEndsRunWhenSolverRefusesItsArguments) {
  // A work area shorter than the order: the solver computes nothing, so the
  // eigenvalue entries hold only what the caller left there.
  std::vector<float> a(kSecondDiff, kSecondDiff + 9), ws(4, 1.0f);
  const float df[3] = {1, 0, 1};
  float shifts[3] = {7, 7, 7};
  std::string out;
  EXPECT_EQ(
      run_end_status([&] { eigen_filter_r_(0.0f, a.data(), 3, 3, df, shifts, ws.data(), 4); }, out),
      1);
  EXPECT_EQ(out, " -8 error in ssyev_mo\n Problem in eigen_filter_r -8\n");
  EXPECT_EQ(shifts[0], 7.0f);
}

TEST(EigenFilterShifts, DoubleFiltersEndRunWhenSolverFails) {
  struct Row {
    const char* label;
    std::vector<double> a;
    int32_t nworkspace;
    const char* out;
  } rows[] = {
      {"no convergence", {1, std::nan(""), std::nan(""), 1}, 4,
       " Problem in deigen_filter_r 1\n"},
      {"work area too small", {2, -1, -1, 2}, 3, " Problem in deigen_filter_r -8\n"},
  };
  for (auto& row : rows) {
    SCOPED_TRACE(row.label);
    std::vector<double> a = row.a, ws(4, 1.0);
    const double df[2] = {1, 1};
    double shifts[2] = {7, 7};
    Capture cap;
    EXPECT_EQ(run_end_status([&] {
                deigen_filter_r_(0.0, a.data(), 2, 2, df, shifts, ws.data(), row.nworkspace);
              }),
              1);
    EXPECT_EQ(cap.out(), row.out);
    EXPECT_EQ(cap.err(), " error in dsyev_mo\n");
    EXPECT_EQ(shifts[0], 7.0);
    a = row.a;
    std::vector<double> dinv(4, 7.0);
    Capture cap2;
    EXPECT_EQ(run_end_status([&] {
                deigen_filter_inverse_r_(0.0, a.data(), 2, 2, dinv.data(), ws.data(),
                                         row.nworkspace);
              }),
              1);
    EXPECT_NE(cap2.out().find(" Problem in deigen_filter_inverse_r "), std::string::npos);
    EXPECT_EQ(dinv[0], 7.0);
  }
}
