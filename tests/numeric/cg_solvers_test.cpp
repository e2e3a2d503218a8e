// Conjugate-gradient solvers through caller procedures: a small system with
// a known answer, the closing procedures, warnings and the damping.
#include "numeric/cg_solvers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/format.h"
#include "support/capture.h"

namespace {

// How often the procedures were called; a failing multiply returns its code.
struct Calls {
  int scale = 0, multiply = 0, closing = 0, fail_multiply = 0;
} calls;

void scale_sys(int32_t, int32_t, float*, float*, float*, float*, float*, int32_t, int32_t&) {
  ++calls.scale;
}
void unscale_sys(int32_t, int32_t, float*, float*, float*, float*, float*, int32_t, int32_t&) {
  ++calls.closing;
}
void scale_sh(int32_t, int32_t, float*, float*, int32_t&) { ++calls.closing; }
// f = A x with a the dense nv x nv matrix.
void multiply(int32_t nv, int32_t, const float* x, float* a, float* f, float*, int32_t,
              int32_t& ierror) {
  ++calls.multiply;
  for (int i = 0; i < nv; ++i) {
    f[i] = 0;
    for (int j = 0; j < nv; ++j) f[i] += a[i + j * nv] * x[j];
  }
  ierror = calls.fail_multiply;
}

// tridiag(-1, diag, -1) of order 5; with diag 4 and the solution
// (1, 2, 3, 4, 5) the right-hand side is (2, 4, 6, 8, 16).  The damping
// state is what cgsol_rm_ carries from call to call.
struct System {
  std::vector<float> a, v, dv, r, sk, p, f, ws;
  bool gflag = false, sflag = false;
  float gamma = 0, step = 0;
  explicit System(float sign, float diag = 4)
      : a(25, 0.0f), v{2, 4, 6, 8, 16}, dv(5, 9.0f), r(5), sk(5), p(5), f(5), ws(1) {
    for (int i = 0; i < 5; ++i) {
      a[i + 5 * i] = diag;
      if (i > 0) a[i + 5 * (i - 1)] = a[(i - 1) + 5 * i] = -1;
    }
    for (float& x : v) x *= sign;
    calls = Calls{};
  }
  std::string solve(decltype(&cgsol_r_) solver, int32_t nv, int32_t& ierr) {
    float toler = 1e-6f;
    return captured([&] {
      solver(nv, 5, 50, toler, a.data(), v.data(), dv.data(), r.data(), sk.data(), p.data(),
             f.data(), ws.data(), 1, scale_sys, multiply, scale_sh, unscale_sys, ierr);
    });
  }
  std::string solve_damped() {
    float toler = 1e-5f;
    int32_t ierr = 0;
    return captured([&] {
      cgsol_rm_(5, 5, 50, toler, a.data(), v.data(), dv.data(), r.data(), sk.data(), p.data(),
                f.data(), ws.data(), 1, scale_sys, multiply, scale_sh, unscale_sys, ierr, gflag,
                gamma, sflag, step);
    });
  }
};

}  // namespace

TEST(ConjugateGradients, EachVariantSolvesItsSystem) {
  struct Row {
    const char* label;
    decltype(&cgsol_r_) solve;
    float sign;  // the minimising variants solve A x = -v
  } rows[] = {{"cgsolve_", cgsolve_, -1}, {"cgsolve1_", cgsolve1_, -1}, {"cgsol_r_", cgsol_r_, 1}};
  for (const auto& row : rows) {
    System s(row.sign);
    int32_t ierr = 9;
    s.solve(row.solve, 5, ierr);
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(s.dv[i], i + 1, 1e-4) << row.label << ", " << i;
    EXPECT_EQ(calls.closing, 2) << row.label;
  }
  System s(1);
  EXPECT_EQ(s.solve_damped(),
            " Trying gamma equal  0.0\n Convergence reached with no gamma cycles \n");
  for (int i = 0; i < 5; ++i) EXPECT_NEAR(s.dv[i], i + 1, 1e-4) << "cgsol_rm_, " << i;
}

TEST(ConjugateGradients, ZeroRightHandSideSkipsOnlyMinimisersClosing) {
  struct Row {
    const char* label;
    decltype(&cgsol_r_) solve;
    int closing;
  } rows[] = {{"cgsolve_", cgsolve_, 0}, {"cgsol_r_", cgsol_r_, 2}};
  for (const auto& row : rows) {
    System s(0);
    int32_t ierr;
    EXPECT_EQ(s.solve(row.solve, 5, ierr), "") << row.label;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(s.dv[i], 0.0f) << row.label;
    EXPECT_EQ(calls.multiply, 0) << row.label;
    EXPECT_EQ(calls.closing, row.closing) << row.label;
  }
}

TEST(ConjugateGradients, WarningsEndTheSolverEarly) {
  System s(1);
  int32_t ierr = 0;
  EXPECT_EQ(s.solve(cgsolve_, 6, ierr), "===> Warning: CGSOLVE Size mismatch\n");
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(calls.scale, 0);
  System t(1);
  calls.fail_multiply = 3;
  EXPECT_EQ(t.solve(cgsolve1_, 5, ierr), "===> Warning: In CGSOLVE, After MATMUL1 1\n");
  EXPECT_EQ(ierr, 3);
  EXPECT_EQ(calls.closing, 0);
}

TEST(ConjugateGradients, DampingRisesOnDivergenceAndIsCarriedOver) {
  // Diagonal 0.5: indefinite, so the residual grows until gamma makes
  // A + gamma I positive; the next call starts from the lowered gamma.
  System s(1, 0.5f);
  const std::string out = s.solve_damped();
  EXPECT_NE(out.find(" Not converging with gamma equal  0.0\n"), std::string::npos) << out;
  EXPECT_NE(out.find(" Gamma decreased to "), std::string::npos) << out;
  EXPECT_TRUE(s.gflag);
  EXPECT_TRUE(s.sflag);
  const float carried = s.gamma, carried_step = s.step;
  EXPECT_GT(carried, 1.0f) << "smallest eigenvalue 0.5 - 2 cos(pi/6)";
  const std::string again = s.solve_damped();
  EXPECT_EQ(again.rfind(rt::list_line("Trying gamma equal ", carried) + "\n", 0), 0u) << again;
  EXPECT_LE(s.step, carried_step);
}
