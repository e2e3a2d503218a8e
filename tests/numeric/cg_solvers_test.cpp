// Conjugate-gradient solvers through caller procedures: solutions of small
// systems with known answers, the sign conventions of the variants, the
// defaults written back, the closing procedures, warnings and damping.
#include "numeric/cg_solvers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "runtime/format.h"
#include "support/capture.h"

namespace {

// What the procedures saw.  a holds a dense nv x nv matrix.
struct Calls {
  int scale = 0, multiply = 0, shifts = 0, unscale = 0;
  int fail_multiply = 0;  // ierror the multiplication reports
};
Calls calls;

void scale_sys(int32_t, int32_t, float*, float*, float*, float*, float*, int32_t, int32_t&) {
  ++calls.scale;
}
void unscale_sys(int32_t, int32_t, float*, float*, float*, float*, float*, int32_t, int32_t&) {
  ++calls.unscale;
}
void scale_sh(int32_t, int32_t, float*, float*, int32_t&) { ++calls.shifts; }
void multiply(int32_t nv, int32_t, const float* x, float* a, float* f, float*, int32_t,
              int32_t& ierror) {
  ++calls.multiply;
  for (int i = 0; i < nv; ++i) {
    f[i] = 0;
    for (int j = 0; j < nv; ++j) f[i] += a[i + j * nv] * x[j];
  }
  ierror = calls.fail_multiply;
}

// tridiag(-1, 4, -1) of order 5 with the solution (1, 2, 3, 4, 5): A x has
// integer entries (2, 4, 6, 8, 16).
struct System {
  std::vector<float> a, v, dv, r, sk, p, f, ws;
  explicit System(float sign = 1.0f)
      : a(25, 0.0f), v{2, 4, 6, 8, 16}, dv(5, 9.0f), r(5), sk(5), p(5), f(5), ws(1) {
    for (int i = 0; i < 5; ++i) {
      a[i + 5 * i] = 4;
      if (i > 0) a[i + 5 * (i - 1)] = a[(i - 1) + 5 * i] = -1;
    }
    for (float& x : v) x *= sign;
    calls = Calls{};
  }
};

using Solver = void (*)(int32_t, int32_t, int32_t, float&, float*, float*, float*, float*, float*,
                        float*, float*, float*, int32_t, CgScaleSystem, CgMultiplyMatrix,
                        CgScaleShifts, CgUnscaleSystem, int32_t&);

std::string run(Solver solve, System& s, int32_t nv, float& toler, int32_t& ierr) {
  return captured([&] {
    solve(nv, 5, 50, toler, s.a.data(), s.v.data(), s.dv.data(), s.r.data(), s.sk.data(),
          s.p.data(), s.f.data(), s.ws.data(), 1, scale_sys, multiply, scale_sh, unscale_sys, ierr);
  });
}

std::string run_rm(System& s, float& toler, bool& gflag, float& gamma, bool& sflag, float& step) {
  int32_t ierr = 0;
  return captured([&] {
    cgsol_rm_(5, 5, 50, toler, s.a.data(), s.v.data(), s.dv.data(), s.r.data(), s.sk.data(),
              s.p.data(), s.f.data(), s.ws.data(), 1, scale_sys, multiply, scale_sh, unscale_sys,
              ierr, gflag, gamma, sflag, step);
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
    float toler = 1e-6f;
    int32_t ierr = 9;
    run(row.solve, s, 5, toler, ierr);
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(s.dv[i], i + 1, 1e-4) << row.label << ", unknown " << i;
    EXPECT_EQ(calls.shifts, 1) << row.label;
    EXPECT_EQ(calls.unscale, 1) << row.label;
  }
  System s;
  float toler = 1e-6f, gamma = 0, step = 0;
  bool gflag = false, sflag = false;
  EXPECT_EQ(run_rm(s, toler, gflag, gamma, sflag, step),
            " Trying gamma equal  0.0\n Convergence reached with no gamma cycles \n");
  for (int i = 0; i < 5; ++i) EXPECT_NEAR(s.dv[i], i + 1, 1e-4) << "cgsol_rm_, unknown " << i;
}

TEST(ConjugateGradients, ZeroToleranceTakesTheDefault) {
  struct Row {
    const char* label;
    Solver solve;
    float want;
  } rows[] = {{"cgsolve_", cgsolve_, 1e-12f},
              {"cgsolve1_", cgsolve1_, 1e-6f},
              {"cgsol_r_", cgsol_r_, 1e-8f}};
  for (const auto& row : rows) {
    System s;
    float toler = 0;
    int32_t ierr;
    run(row.solve, s, 5, toler, ierr);
    EXPECT_EQ(toler, row.want) << row.label;
  }
  System s;
  float toler = -1, gamma = 0, step = 0;
  bool gflag = false, sflag = false;
  run_rm(s, toler, gflag, gamma, sflag, step);
  EXPECT_EQ(toler, 5e-8f) << "cgsol_rm_";
}

TEST(ConjugateGradients, ZeroRightHandSide) {
  struct Row {
    const char* label;
    Solver solve;
    int closing;  // calls of the two closing procedures
  } rows[] = {{"cgsolve_", cgsolve_, 0}, {"cgsolve1_", cgsolve1_, 0}, {"cgsol_r_", cgsol_r_, 1}};
  for (const auto& row : rows) {
    System s(0.0f);
    float toler = 0;
    int32_t ierr;
    const std::string out = run(row.solve, s, 5, toler, ierr);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(s.dv[i], 0.0f) << row.label;
    EXPECT_EQ(calls.multiply, 0) << row.label;
    EXPECT_EQ(calls.shifts, row.closing) << row.label;
    EXPECT_EQ(calls.unscale, row.closing) << row.label;
    EXPECT_EQ(out, "") << row.label;
  }
}

TEST(ConjugateGradients, WarningsEndTheSolverEarly) {
  System s;
  float toler = 0;
  int32_t ierr = 0;
  EXPECT_EQ(run(cgsolve_, s, 6, toler, ierr), "===> Warning: CGSOLVE Size mismatch\n");
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(calls.scale, 0);
  System t;
  calls.fail_multiply = 3;
  EXPECT_EQ(run(cgsolve1_, t, 5, toler, ierr), "===> Warning: In CGSOLVE, After MATMUL1 1\n");
  EXPECT_EQ(ierr, 3);
  EXPECT_EQ(calls.shifts, 0);
  EXPECT_EQ(calls.unscale, 0);
}

TEST(ConjugateGradients, CgsolveOneClosesWithResidualLine) {
  System s(-1.0f);
  float toler = 1e-6f;
  int32_t ierr;
  const std::string out = run(cgsolve1_, s, 5, toler, ierr);
  const size_t last = out.rfind('\n', out.size() - 2);
  EXPECT_EQ(out.compare(last + 1, 8, " R2sum  "), 0) << out;
}

TEST(ConjugateGradients, DampingRisesOnDivergenceAndIsCarriedOver) {
  // An indefinite matrix: the residual grows, so the damping is raised
  // until A + gamma I is positive, then lowered for the next call.
  System s;
  for (int i = 0; i < 5; ++i) s.a[i + 5 * i] = 0.5f;
  float toler = 1e-5f, gamma = 0, step = 0;
  bool gflag = false, sflag = false;
  const std::string out = run_rm(s, toler, gflag, gamma, sflag, step);
  EXPECT_NE(out.find(" Not converging with gamma equal  0.0\n"), std::string::npos) << out;
  EXPECT_NE(out.find(" Gamma decreased to "), std::string::npos) << out;
  EXPECT_TRUE(gflag);
  EXPECT_TRUE(sflag);
  EXPECT_GT(gamma, 0.0f);
  const float carried = gamma, carried_step = step;
  System t;
  for (int i = 0; i < 5; ++i) t.a[i + 5 * i] = 0.5f;
  const std::string again = run_rm(t, toler, gflag, gamma, sflag, step);
  // The second call starts from the lowered damping.
  EXPECT_EQ(again.rfind(rt::list_line("Trying gamma equal ", carried) + "\n", 0), 0u) << again;
  EXPECT_LE(step, carried_step);
}
