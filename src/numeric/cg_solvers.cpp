// Conjugate-gradient solvers over caller-supplied matrix procedures.  The
// scalar products and updates go through the size-checked vector kit.
#include "numeric/cg_solvers.h"

#include <algorithm>
#include <cmath>

#include "foundation/errwrt.h"
#include "numeric/vecmat_kit.h"
#include "runtime/format.h"

namespace {

// The constants in which cgsolve_ and cgsolve1_ differ.
struct CgsolveVariant {
  float tol;          // default toler, start threshold on r.r, function-value test
  bool closing_line;  // "R2sum" line at the end
};

// Scalars of the last call of each solver.
struct CgScalars {
  float alpha, beta, limit, f0, f1, r1, r2;
};
CgScalars cgsolve_s, cgsolve1_s, cgsol_r_s, cgsol_rm_s;

void cgsolve_any(const CgsolveVariant& var, CgScalars& s, int32_t nv, int32_t nmax, int32_t ncycl,
                 float& toler, float* a, float* v, float* dv, float* r, float* sk, float* p,
                 float* f, float* workspace, int32_t lwork, numeric::CgScaleSystem scale_system,
                 numeric::CgMultiplyMatrix multiply_matrix, numeric::CgScaleShifts scale_shifts,
                 numeric::CgUnscaleSystem unscale_system, int32_t& ierror) {
  if (toler <= 0.0f) toler = var.tol;
  ierror = 0;
  if (nv > nmax || nv <= 0) {
    ierror = 1;
    errwrt_(0, "CGSOLVE Size mismatch");
    return;
  }
  scale_system(nv, nmax, f, a, sk, v, workspace, lwork, ierror);
  if (ierror > 0) {
    errwrt_(0, "In CGSOLVE, after SCALE1");
    return;
  }
  init_vec_(nv, dv, 0.0f);
  veccopy_r_(nv, nmax, r, -1.0f, v);
  veccopy_r_(nv, nmax, p, -1.0f, v);
  s.r1 = dot_r_(nv, nmax, r, r);
  // Nothing to solve: the closing procedures are not called either.
  if (s.r1 <= var.tol) return;
  multiply_matrix(nv, nmax, p, a, f, workspace, lwork, ierror);
  if (ierror > 0) {
    errwrt_(0, "In CGSOLVE, After MATMUL1 1");
    return;
  }
  s.alpha = s.r1 / dot_r_(nv, nmax, p, f);
  avecpvec_r_(nv, nmax, s.alpha, p, dv, dv, ierror);
  avecpvec_r_(nv, nmax, -s.alpha, f, r, r, ierror);
  s.r2 = dot_r_(nv, nmax, r, r);
  s.limit = toler * std::sqrt(dot_r_(nv, nmax, v, v));
  if (std::sqrt(s.r2) > s.limit) {
    s.f0 = 0.0f;
    for (int32_t it = 1; it <= ncycl; ++it) {
      s.beta = s.r2 / s.r1;
      avecpvec_r_(nv, nmax, s.beta, p, r, p, ierror);
      multiply_matrix(nv, nmax, p, a, f, workspace, lwork, ierror);
      if (ierror > 0) {
        errwrt_(0, "In CGSOLVE after MATMUL1");
        return;
      }
      s.alpha = s.r2 / dot_r_(nv, nmax, p, f);
      avecpvec_r_(nv, nmax, s.alpha, p, dv, dv, ierror);
      avecpvec_r_(nv, nmax, -s.alpha, f, r, r, ierror);
      s.r1 = s.r2;
      s.r2 = dot_r_(nv, nmax, r, r);
      // The value of the quadratic form at dv, watched for stagnation.
      multiply_matrix(nv, nmax, dv, a, f, workspace, lwork, ierror);
      s.f1 = 0.5f * dot_r_(nv, nmax, f, dv) + dot_r_(nv, nmax, dv, v);
      rt::write_list(6, s.f1, s.f0, std::sqrt(s.r2), s.limit);
      if (2.0f * std::fabs(s.f0 - s.f1) <= var.tol * (std::fabs(s.f0) + std::fabs(s.f1) + 1.0e-8f))
        break;
      s.f0 = s.f1;
      if (std::sqrt(s.r2) <= s.limit) break;
    }
  }
  if (var.closing_line) rt::write_list(6, "R2sum ", std::sqrt(s.r2), s.limit);
  scale_shifts(nv, nmax, sk, dv, ierror);
  if (ierror > 0) {
    errwrt_(0, "In CGSOLVE after SCALE_SHIFTS");
    return;
  }
  unscale_system(nv, nmax, f, a, sk, v, workspace, lwork, ierror);
}

}  // namespace

void cgsolve_(int32_t nv, int32_t nmax, int32_t ncycl, float& toler, float* a, float* v, float* dv,
              float* r, float* sk, float* p, float* f, float* workspace, int32_t lwork,
              numeric::CgScaleSystem scale_system, numeric::CgMultiplyMatrix multiply_matrix,
              numeric::CgScaleShifts scale_shifts, numeric::CgUnscaleSystem unscale_system,
              int32_t& ierror) {
  cgsolve_any({1.0e-12f, false}, cgsolve_s, nv, nmax, ncycl, toler, a, v, dv, r, sk, p, f,
              workspace, lwork, scale_system, multiply_matrix, scale_shifts, unscale_system,
              ierror);
}

void cgsolve1_(int32_t nv, int32_t nmax, int32_t ncycl, float& toler, float* a, float* v, float* dv,
               float* r, float* sk, float* p, float* f, float* workspace, int32_t lwork,
               numeric::CgScaleSystem scale_system, numeric::CgMultiplyMatrix multiply_matrix,
               numeric::CgScaleShifts scale_shifts, numeric::CgUnscaleSystem unscale_system,
               int32_t& ierror) {
  cgsolve_any({1.0e-6f, true}, cgsolve1_s, nv, nmax, ncycl, toler, a, v, dv, r, sk, p, f, workspace,
              lwork, scale_system, multiply_matrix, scale_shifts, unscale_system, ierror);
}

void cgsol_r_(int32_t nv, int32_t nmax, int32_t ncycl, float& toler, float* a, float* v, float* dv,
              float* r, float* sk, float* p, float* f, float* workspace, int32_t lwork,
              numeric::CgScaleSystem scale_system, numeric::CgMultiplyMatrix multiply_matrix,
              numeric::CgScaleShifts scale_shifts, numeric::CgUnscaleSystem unscale_system,
              int32_t& ierror) {
  CgScalars& s = cgsol_r_s;
  ierror = 0;
  if (toler <= 0.0f) toler = 1.0e-8f;
  scale_system(nv, nmax, f, a, sk, v, workspace, lwork, ierror);
  s.limit = toler * std::sqrt(dot_r_(nv, nmax, v, v));
  init_vec_(nv, dv, 0.0f);
  veccopy_r_(nv, nmax, r, 1.0f, v);
  // Only the last two squared residual norms are needed.
  float rho_prev = dot_r_(nv, nmax, r, r), rho_prev2 = 0.0f;
  if (!(rho_prev < 1.0e-8f) && ncycl > 0) {
    for (int32_t k = 1; k <= ncycl; ++k) {
      if (k == 1) veccopy_r_(nv, nmax, p, 1.0f, r);
      else avecpvec_r_(nv, nmax, rho_prev / rho_prev2, p, r, p, ierror);
      multiply_matrix(nv, nmax, p, a, f, workspace, lwork, ierror);
      s.alpha = rho_prev / dot_r_(nv, nmax, p, f);
      avecpvec_r_(nv, nmax, s.alpha, p, dv, dv, ierror);
      avecpvec_r_(nv, nmax, -s.alpha, f, r, r, ierror);
      rho_prev2 = rho_prev;
      rho_prev = dot_r_(nv, nmax, r, r);
      rt::write_list(6, std::sqrt(rho_prev), s.limit);
      if (std::sqrt(rho_prev) < s.limit) {
        rt::write_list(6, " Convergence reached");
        rt::write_list(6, std::sqrt(dot_r_(nv, nmax, dv, dv)));
        break;
      }
    }
  }
  scale_shifts(nv, nmax, sk, dv, ierror);
  unscale_system(nv, nmax, f, a, sk, v, workspace, lwork, ierror);
}

void cgsol_rm_(int32_t nv, int32_t nmax, int32_t ncycl, float& toler, float* a, float* v, float* dv,
               float* r, float* sk, float* p, float* f, float* workspace, int32_t lwork,
               numeric::CgScaleSystem scale_system, numeric::CgMultiplyMatrix multiply_matrix,
               numeric::CgScaleShifts scale_shifts, numeric::CgUnscaleSystem unscale_system,
               int32_t& ierror, bool& gamma_flag, float& gamma, bool& step_flag, float& step) {
  constexpr int32_t max_cycles = 500;
  CgScalars& s = cgsol_rm_s;
  ierror = 0;
  if (toler <= 0.0f) toler = 5.0e-8f;
  if (!gamma_flag) gamma = 0.0f;
  init_vec_(nv, dv, 0.0f);
  scale_system(nv, nmax, f, a, sk, v, workspace, lwork, ierror);
  s.limit = toler * std::sqrt(dot_r_(nv, nmax, v, v));
  if (!step_flag) step = 0.05f;
  bool converged = false;
  for (int32_t cycle = 1; cycle <= max_cycles && !converged; ++cycle) {
    if (cycle > 1) gamma += step;
    rt::write_list(6, "Trying gamma equal ", gamma);
    // r = v - A dv - gamma dv
    multiply_matrix(nv, nmax, dv, a, r, workspace, lwork, ierror);
    avecpvec_r_(nv, nmax, -1.0f, r, v, r, ierror);
    avecpvec_r_(nv, nmax, -gamma, dv, r, r, ierror);
    float rho_prev = dot_r_(nv, nmax, r, r), rho_prev2 = 0.0f;
    if (rho_prev < 5.0e-8f) break;
    for (int32_t k = 1; k <= ncycl; ++k) {
      if (k == 1) veccopy_r_(nv, nmax, p, 1.0f, r);
      else avecpvec_r_(nv, nmax, rho_prev / rho_prev2, p, r, p, ierror);
      multiply_matrix(nv, nmax, p, a, f, workspace, lwork, ierror);
      avecpvec_r_(nv, nmax, gamma, p, f, f, ierror);
      s.alpha = rho_prev / dot_r_(nv, nmax, p, f);
      avecpvec_r_(nv, nmax, s.alpha, p, dv, dv, ierror);
      avecpvec_r_(nv, nmax, -s.alpha, f, r, r, ierror);
      rho_prev2 = rho_prev;
      rho_prev = dot_r_(nv, nmax, r, r);
      if (std::sqrt(rho_prev) > 2.0f * std::sqrt(rho_prev2)) {
        rt::write_list(6, "Not converging with gamma equal ", gamma);
        step = step * 1.1f;
        break;
      }
      if (std::sqrt(rho_prev) < s.limit) {
        converged = true;
        break;
      }
    }
    if (converged) {
      if (!gamma_flag) {
        rt::write_list(6, "Convergence reached with no gamma cycles ");
      } else {
        step_flag = true;
        gamma = std::max(gamma - step / 5.0f, 0.0f);
        step = step / 1.1f;
        rt::write_list(6, "Gamma decreased to ", gamma);
      }
    } else {
      // This damping failed: start again from zero with a larger one.
      gamma_flag = true;
      init_vec_(nv, dv, 0.0f);
    }
  }
  veccopy_r_(nv, nmax, dv, 1.0f + gamma, dv);
  scale_shifts(nv, nmax, sk, dv, ierror);
  unscale_system(nv, nmax, f, a, sk, v, workspace, lwork, ierror);
}
