// Vector products, determinants, chiral volumes and least-squares planes.
// The plane's normal is the eigenvector of the smallest eigenvalue of the
// scatter matrix; its derivatives come from first-order perturbation of that
// eigenvector, with directions of near-zero eigenvalue gaps dropped.
#include "numeric/planes.h"

#include <algorithm>
#include <cmath>

#include "numeric/eigen3.h"
#include "numeric/machine_params.h"
#include "numeric/vecmat_kit.h"
#include "runtime/format.h"
#include "runtime/run.h"

namespace {

inline int at(int i, int j) { return (i - 1) + 3 * (j - 1); }

// The difference matrix of find_chir_sign_.
float chir_diff[9];

// Work arrays of plane_and_derivs_r_, sized for numeric::PLANE_DERIVS_MAXPT points.
struct PlaneDerivsWork {
  float xc[3 * numeric::PLANE_DERIVS_MAXPT];  // centred coordinates
  float s[9];                                 // scatter matrix, then its eigenvectors
  float xs[3];                                // centroid
  float eig[3];
  float rhs[3], proj[3];
};
PlaneDerivsWork pd_work;

// A plane that cannot be fitted leaves the caller nothing to go on with.
[[noreturn]] void plane_failure(int32_t code) {
  rt::write_list(6, "Problem in plane", code);
  rt::stop_run(1);
}

}  // namespace

void cross_r_(float* a, const float* b, const float* c) {
  a[0] = b[1] * c[2] - b[2] * c[1];
  a[1] = b[2] * c[0] - b[0] * c[2];
  a[2] = b[0] * c[1] - b[1] * c[0];
}

void cross_with_derivs_(float* a, float* dadb, float* dadc, const float* b, const float* c) {
  cross_r_(a, b, c);
  const float db[9] = {0.0f, -c[2], c[1], c[2], 0.0f, -c[0], -c[1], c[0], 0.0f};
  const float dc[9] = {0.0f, b[2], -b[1], -b[2], 0.0f, b[0], b[1], -b[0], 0.0f};
  for (int k = 0; k < 9; ++k) {
    dadb[k] = db[k];
    dadc[k] = dc[k];
  }
}

float det3_(const float* a) {
  auto A = [&](int i, int j) { return a[at(i, j)]; };
  return A(1, 1) * (A(2, 2) * A(3, 3) - A(2, 3) * A(3, 2)) -
         A(1, 2) * (A(2, 1) * A(3, 3) - A(2, 3) * A(3, 1)) +
         A(1, 3) * (A(2, 1) * A(3, 2) - A(2, 2) * A(3, 1));
}

void det3_with_derivs_(const float* mat_in, float& deter, float* ddetde) {
  auto A = [&](int i, int j) { return mat_in[at(i, j)]; };
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) {
      const int r1 = i == 1 ? 2 : 1, r2 = i == 3 ? 2 : 3;
      const int c1 = j == 1 ? 2 : 1, c2 = j == 3 ? 2 : 3;
      const float minor = A(r1, c1) * A(r2, c2) - A(r1, c2) * A(r2, c1);
      ddetde[at(i, j)] = (i + j) % 2 == 0 ? minor : -minor;
    }
  deter = A(1, 1) * ddetde[at(1, 1)] + A(1, 2) * ddetde[at(1, 2)] + A(1, 3) * ddetde[at(1, 3)];
}

float find_chir_sign_(const float* xyz1, const float* xyz2, const float* xyz3, const float* xyz4) {
  for (int k = 1; k <= 3; ++k) {
    chir_diff[at(k, 1)] = xyz2[k - 1] - xyz1[k - 1];
    chir_diff[at(k, 2)] = xyz3[k - 1] - xyz1[k - 1];
    chir_diff[at(k, 3)] = xyz4[k - 1] - xyz1[k - 1];
  }
  return det3_(chir_diff);
}

void plane_r_(int32_t n, const float* x, float* vm, float& d) {
  // No points: the moments would be 0/0 and no plane exists.
  if (n < 1) plane_failure(1);
  float sum[3] = {0.0f, 0.0f, 0.0f};
  float mom[9] = {0.0f};
  for (int32_t i = 1; i <= n; ++i) {
    const float* p = x + 3 * static_cast<long>(i - 1);
    for (int a = 0; a < 3; ++a) sum[a] += p[a];
    for (int a = 0; a < 3; ++a)
      for (int b = a; b < 3; ++b) mom[a + 3 * b] += p[a] * p[b];
  }
  const float fn = static_cast<float>(n);
  float s[9];
  for (int a = 0; a < 3; ++a)
    for (int b = 0; b < 3; ++b)
      s[a + 3 * b] = mom[std::min(a, b) + 3 * std::max(a, b)] - sum[a] * sum[b] / fn;
  float eig[3];
  int32_t ierr = 0;
  seig3dim_(s, eig, ierr);
  if (ierr != 0) plane_failure(ierr);
  const double len = std::sqrt(static_cast<double>(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]));
  for (int a = 0; a < 3; ++a) vm[a] = s[a] / static_cast<float>(len);
  d = (vm[0] * sum[0] + vm[1] * sum[1] + vm[2] * sum[2]) / fn;
}

void plane_and_derivs_r_(int32_t nplane, const float* x_inp, float* vm, float& d, float* dvmdx,
                         float* dddx, int32_t& ierror) {
  const float sfmin = slamch_('S');
  ierror = 0;
  if (nplane < 1 || nplane > numeric::PLANE_DERIVS_MAXPT) {
    ierror = 1;
    return;
  }
  PlaneDerivsWork& w = pd_work;
  const float fn = static_cast<float>(nplane);
  for (int k = 0; k < 3; ++k) {
    float sk = 0.0f;
    for (int32_t i = 0; i < nplane; ++i) sk += x_inp[k + 3 * i];
    w.xs[k] = sk / fn;
  }
  for (int32_t i = 0; i < nplane; ++i)
    for (int k = 0; k < 3; ++k) w.xc[k + 3 * i] = x_inp[k + 3 * i] - w.xs[k];
  for (int p = 0; p < 3; ++p)
    for (int q = 0; q < 3; ++q) {
      float spq = 0.0f;
      for (int32_t i = 0; i < nplane; ++i) spq += w.xc[p + 3 * i] * w.xc[q + 3 * i];
      w.s[p + 3 * q] = spq;
    }
  int32_t eig_err = 0;
  seig3dim_(w.s, w.eig, eig_err);
  if (eig_err != 0) {
    ierror = 2;
    return;
  }
  for (int r = 0; r < 3; ++r) vm[r] = w.s[r];
  d = vm[0] * w.xs[0] + vm[1] * w.xs[1] + vm[2] * w.xs[2];
  // Minus the part orthogonal to vm of d(S vm) / d x_inp(s, i).
  for (int32_t i = 0; i < nplane; ++i) {
    const float* c = w.xc + 3 * i;
    const float t = vm[0] * c[0] + vm[1] * c[1] + vm[2] * c[2];
    for (int s = 0; s < 3; ++s) {
      float* col = dvmdx + 3 * (3 * i + s);
      for (int r = 0; r < 3; ++r)
        col[r] = 2.0f * t * vm[s] * vm[r] - vm[s] * c[r] - (r == s ? t : 0.0f);
    }
  }
  // Divide by the eigenvalue gaps above the smallest; a gap at or below thr
  // (and the normal's own direction) contributes nothing.
  w.eig[1] -= w.eig[0];
  w.eig[2] -= w.eig[0];
  w.eig[0] = 0.0f;
  const float toler_l = 1.0e-6f;
  const float thr = std::max(toler_l * w.eig[2], sfmin);
  bool flag = false;
  for (int32_t j = 0; j < 3 * nplane; ++j) {
    float* col = dvmdx + 3 * j;
    mat2vect_(3, 3, w.s, col, w.rhs, flag);
    for (int k = 0; k < 3; ++k) w.rhs[k] = w.eig[k] > thr ? w.rhs[k] / w.eig[k] : 0.0f;
    mat2vec_(3, 3, w.s, w.rhs, w.proj, flag);
    for (int r = 0; r < 3; ++r) col[r] = w.proj[r];
  }
  for (int32_t i = 0; i < nplane; ++i)
    for (int s = 0; s < 3; ++s) {
      const float* col = dvmdx + 3 * (3 * i + s);
      dddx[s + 3 * i] = col[0] * w.xs[0] + col[1] * w.xs[1] + col[2] * w.xs[2] + vm[s] / fn;
    }
}
