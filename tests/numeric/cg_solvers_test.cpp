// Conjugate-gradient solvers through caller procedures: a small system with
// a known answer, the closing procedures, warnings and the damping.
#include "numeric/cg_solvers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/format.h"
#include "support/capture.h"

namespace {

// What the procedures saw; a holds a dense 5 x 5 matrix.
struct Calls {
  int scale = 0, multiply = 0, closing = 0, fail_multiply = 0;
};
Calls calls;

void scale_sys(int32_t, int32_t, float*, float*, float*, float*, float*, int32_t, int32_t&) {
  ++calls.scale;
}
void unscale_sys(int32_t, int32_t, float*, float*, float*, float*, float*, int32_t, int32_t&) {
  ++calls.closing;
}
void scale_sh(int32_t, int32_t, float*, float*, int32_t&) { ++calls.closing; }
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
// (1, 2, 3, 4, 5) the right-hand side is (2, 4, 6, 8, 16).
struct System {
  std::vector<float> a, v, dv, r, sk, p, f, ws;
  System(float sign, float diag = 4)
      : a(25, 0.0f), v{2, 4, 6, 8, 16}, dv(5, 9.0f), r(5), sk(5), p(5), f(5), ws(1) {
    for (int i = 0; i < 5; ++i) {
      a[i + 5 * i] = diag;
      if (i > 0) a[i + 5 * (i - 1)] = a[(i - 1) + 5 * i] = -1;
    }
    for (float& x : v) x *= sign;
    calls = Calls{};
  }
};

using Solver = decltype(&cgsol_r_);

std::string run(Solver solve, System& s, int32_t nv, int32_t& ierr) {
  float toler = 1e-6f;
  return captured([&] {
    solve(nv, 5, 50, toler, s.a.data(), s.v.data(), s.dv.data(), s.r.data(), s.sk.data(),
          s.p.data(), s.f.data(), s.ws.data(), 1, scale_sys, multiply, scale_sh, unscale_sys, ierr);
  });
}

struct Damping {
  bool gflag = false, sflag = false;
  float gamma = 0, step = 0;
};

std::string run_rm(System& s, Damping& dmp) {
  float toler = 1e-5f;
  int32_t ierr = 0;
  return captured([&] {
    cgsol_rm_(5, 5, 50, toler, s.a.data(), s.v.data(), s.dv.data(), s.r.data(), s.sk.data(),
              s.p.data(), s.f.data(), s.ws.data(), 1, scale_sys, multiply, scale_sh, unscale_sys,
              ierr, dmp.gflag, dmp.gamma, dmp.sflag, dmp.step);
  });
}

}  // namespace

TEST(ConjugateGradients, EachVariantSolvesItsSystem) {
  struct Row {
    const char* label;
    Solver solve;
    float sign;  // the minimising variants solve A x = -v
  } rows[] = {{"cgsolve_", cgsolve_, -1}, {"cgsolve1_", cgsolve1_, -1}, {"cgsol_r_", cgsol_r_, 1}};
  for (const auto& row : rows) {
    System s(row.sign);
    int32_t ierr = 9;
    run(row.solve, s, 5, ierr);
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(s.dv[i], i + 1, 1e-4) << row.label << ", " << i;
    EXPECT_EQ(calls.closing, 2) << row.label;
  }
  System s(1);
  Damping dmp;
  EXPECT_EQ(run_rm(s, dmp),
            " Trying gamma equal  0.0\n Convergence reached with no gamma cycles \n");
  for (int i = 0; i < 5; ++i) EXPECT_NEAR(s.dv[i], i + 1, 1e-4) << "cgsol_rm_, " << i;
}

TEST(ConjugateGradients, ZeroRightHandSideSkipsOnlyMinimisersClosing) {
  struct Row {
    const char* label;
    Solver solve;
    int closing;
  } rows[] = {{"cgsolve_", cgsolve_, 0}, {"cgsolve1_", cgsolve1_, 0}, {"cgsol_r_", cgsol_r_, 2}};
  for (const auto& row : rows) {
    System s(0);
    int32_t ierr;
    EXPECT_EQ(run(row.solve, s, 5, ierr), "") << row.label;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(s.dv[i], 0.0f) << row.label;
    EXPECT_EQ(calls.multiply, 0) << row.label;
    EXPECT_EQ(calls.closing, row.closing) << row.label;
  }
}

TEST(ConjugateGradients, WarningsEndTheSolverEarly) {
  System s(1);
  int32_t ierr = 0;
  EXPECT_EQ(run(cgsolve_, s, 6, ierr), "===> Warning: CGSOLVE Size mismatch\n");
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(calls.scale, 0);
  System t(1);
  calls.fail_multiply = 3;
  EXPECT_EQ(run(cgsolve1_, t, 5, ierr), "===> Warning: In CGSOLVE, After MATMUL1 1\n");
  EXPECT_EQ(ierr, 3);
  EXPECT_EQ(calls.closing, 0);
}

TEST(ConjugateGradients, DampingRisesOnDivergenceAndIsCarriedOver) {
  // Diagonal 0.5: indefinite, so the residual grows until gamma makes
  // A + gamma I positive; the next call starts from the lowered gamma.
  System s(1, 0.5f);
  Damping dmp;
  const std::string out = run_rm(s, dmp);
  EXPECT_NE(out.find(" Not converging with gamma equal  0.0\n"), std::string::npos) << out;
  EXPECT_NE(out.find(" Gamma decreased to "), std::string::npos) << out;
  EXPECT_TRUE(dmp.gflag);
  EXPECT_TRUE(dmp.sflag);
  const float carried = dmp.gamma, carried_step = dmp.step;
  EXPECT_GT(carried, 1.0f) << "smallest eigenvalue 0.5 - 2 cos(pi/6)";
  System t(1, 0.5f);
  const std::string again = run_rm(t, dmp);
  EXPECT_EQ(again.rfind(rt::list_line("Trying gamma equal ", carried) + "\n", 0), 0u) << again;
  EXPECT_LE(dmp.step, carried_step);
}
