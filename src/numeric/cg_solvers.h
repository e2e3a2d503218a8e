// Conjugate-gradient solvers for large symmetric positive systems that never
// hold the matrix themselves: the caller passes four procedures that scale
// the system, multiply a vector by the matrix, rescale the solution and undo
// the scaling; a, sk, workspace and lwork are only passed through to them.
// Vectors are single precision, declared with nmax entries of which nv are
// used.  toler <= 0 is replaced by the solver's default and written back.
//
//   cgsolve_   minimises x.A.x/2 + x.v (A dv = -v), default toler 1e-12
//   cgsolve1_  the same with 1e-6 in place of 1e-12, and a closing line
//   cgsol_r_   A dv = v, default toler 1e-8
//   cgsol_rm_  (A + gamma I) dv = v, default toler 5e-8, with a damping gamma
//              raised while the iteration fails and lowered after success,
//              carried from call to call with its step and flags
//
// The progress lines go to standard output; the warnings of cgsolve_ and
// cgsolve1_ go through the error writer at warning level and end the solver
// without the closing procedures.
#pragma once

#include <cstdint>

namespace numeric {

using CgScaleSystem = void (*)(int32_t nv, int32_t nmax, float* f, float* a, float* sk, float* v,
                               float* workspace, int32_t lwork, int32_t& ierror);
// f = A x.
using CgMultiplyMatrix = void (*)(int32_t nv, int32_t nmax, const float* x, float* a, float* f,
                                  float* workspace, int32_t lwork, int32_t& ierror);
using CgScaleShifts = void (*)(int32_t nv, int32_t nmax, float* sk, float* dv, int32_t& ierror);
using CgUnscaleSystem = CgScaleSystem;

}  // namespace numeric

void cgsolve_(int32_t nv, int32_t nmax, int32_t ncycl, float& toler, float* a, float* v, float* dv,
              float* r, float* sk, float* p, float* f, float* workspace, int32_t lwork,
              numeric::CgScaleSystem scale_system, numeric::CgMultiplyMatrix multiply_matrix,
              numeric::CgScaleShifts scale_shifts, numeric::CgUnscaleSystem unscale_system,
              int32_t& ierror);
void cgsolve1_(int32_t nv, int32_t nmax, int32_t ncycl, float& toler, float* a, float* v, float* dv,
               float* r, float* sk, float* p, float* f, float* workspace, int32_t lwork,
               numeric::CgScaleSystem scale_system, numeric::CgMultiplyMatrix multiply_matrix,
               numeric::CgScaleShifts scale_shifts, numeric::CgUnscaleSystem unscale_system,
               int32_t& ierror);
void cgsol_r_(int32_t nv, int32_t nmax, int32_t ncycl, float& toler, float* a, float* v, float* dv,
              float* r, float* sk, float* p, float* f, float* workspace, int32_t lwork,
              numeric::CgScaleSystem scale_system, numeric::CgMultiplyMatrix multiply_matrix,
              numeric::CgScaleShifts scale_shifts, numeric::CgUnscaleSystem unscale_system,
              int32_t& ierror);
void cgsol_rm_(int32_t nv, int32_t nmax, int32_t ncycl, float& toler, float* a, float* v, float* dv,
               float* r, float* sk, float* p, float* f, float* workspace, int32_t lwork,
               numeric::CgScaleSystem scale_system, numeric::CgMultiplyMatrix multiply_matrix,
               numeric::CgScaleShifts scale_shifts, numeric::CgUnscaleSystem unscale_system,
               int32_t& ierror, bool& gamma_flag, float& gamma, bool& step_flag, float& step);
