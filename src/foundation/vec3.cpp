// The 3-vector and 3x3-matrix kit.  Results are formed in locals first so
// that an output may share storage with an input.
#include "foundation/vec3.h"

#include <cmath>

void nb_vmod_(const float* x, float& d) { d = std::sqrt(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]); }

void nb_vunit_(const float* x, float* y, int32_t& ierr) {
  float d;
  nb_vmod_(x, d);
  if (d > 1e-8f) {
    const float r0 = x[0] / d, r1 = x[1] / d, r2 = x[2] / d;
    y[0] = r0;
    y[1] = r1;
    y[2] = r2;
    ierr = 0;
  } else {
    y[0] = 1;
    y[1] = 0;
    y[2] = 0;
    ierr = 1;
  }
}

void nb_vscal_(const float* x, float s, float* y) {
  for (int k = 0; k < 3; ++k) y[k] = s * x[k];
}

void nb_vadd_(const float* x, const float* y, float* z) {
  for (int k = 0; k < 3; ++k) z[k] = x[k] + y[k];
}

void nb_vsub_(const float* x, const float* y, float* z) {
  for (int k = 0; k < 3; ++k) z[k] = x[k] - y[k];
}

void nb_vprod_(const float* x, const float* y, float& s) { s = x[0] * y[0] + x[1] * y[1] + x[2] * y[2]; }

void nb_vcopy_(const float* x, float* y) {
  for (int k = 0; k < 3; ++k) y[k] = x[k];
}

void nb_vmult_(const float* x, const float* y, float* z) {
  const float r0 = x[1] * y[2] - x[2] * y[1];
  const float r1 = x[2] * y[0] - x[0] * y[2];
  const float r2 = x[0] * y[1] - x[1] * y[0];
  z[0] = r0;
  z[1] = r1;
  z[2] = r2;
}

void nb_mcopy_(const float* a, float* b) {
  for (int k = 0; k < 9; ++k) b[k] = a[k];
}

void nb_matmlt_(const float* x, const float* y, float* z) {
  float r[9];
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 3; ++i) {
      float s = 0;
      for (int k = 0; k < 3; ++k) s += x[i + 3 * k] * y[k + 3 * j];
      r[i + 3 * j] = s;
    }
  nb_mcopy_(r, z);
}

void nb_mvmult_(const float* a, const float* x, float* y) {
  float r[3];
  for (int i = 0; i < 3; ++i) r[i] = a[i] * x[0] + a[i + 3] * x[1] + a[i + 6] * x[2];
  nb_vcopy_(r, y);
}

void nb_mtrans_(const float* a, float* b) {
  float r[9];
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 3; ++i) r[j + 3 * i] = a[i + 3 * j];
  nb_mcopy_(r, b);
}

void nb_invert_(const float* s, float* ss, int32_t& ierr) {
  auto m = [s](int i, int j) { return s[(i - 1) + 3 * (j - 1)]; };
  // Cofactors c(i,j) of element (i,j).
  float c[3][3];
  c[0][0] = m(2, 2) * m(3, 3) - m(2, 3) * m(3, 2);
  c[0][1] = -(m(2, 1) * m(3, 3) - m(2, 3) * m(3, 1));
  c[0][2] = m(2, 1) * m(3, 2) - m(2, 2) * m(3, 1);
  c[1][0] = -(m(1, 2) * m(3, 3) - m(1, 3) * m(3, 2));
  c[1][1] = m(1, 1) * m(3, 3) - m(1, 3) * m(3, 1);
  c[1][2] = -(m(1, 1) * m(3, 2) - m(1, 2) * m(3, 1));
  c[2][0] = m(1, 2) * m(2, 3) - m(1, 3) * m(2, 2);
  c[2][1] = -(m(1, 1) * m(2, 3) - m(1, 3) * m(2, 1));
  c[2][2] = m(1, 1) * m(2, 2) - m(1, 2) * m(2, 1);
  const float det = m(1, 1) * c[0][0] + m(2, 1) * c[1][0] + m(3, 1) * c[2][0];
  if (std::fabs(det) < 1e-30f) {
    ierr = 1;
    for (int k = 0; k < 9; ++k) ss[k] = 0;
    return;
  }
  ierr = 0;
  float r[9];
  // Inverse (i,j) = cofactor (j,i) / det.
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 3; ++i) r[i + 3 * j] = c[j][i] / det;
  nb_mcopy_(r, ss);
}

void nb_eul2matr_(float a1, float a2, float a3, float* r) {
  const float s1 = std::sin(a1), c1 = std::cos(a1);
  const float s2 = std::sin(a2), c2 = std::cos(a2);
  const float s3 = std::sin(a3), c3 = std::cos(a3);
  r[0] = c1 * c2 * c3 - s1 * s3;
  r[1] = s1 * c2 * c3 + c1 * s3;
  r[2] = -s2 * c3;
  r[3] = -(c1 * c2 * s3 + s1 * c3);
  r[4] = c1 * c3 - s1 * c2 * s3;
  r[5] = s2 * s3;
  r[6] = c1 * s2;
  r[7] = s1 * s2;
  r[8] = c2;
}

void nb_frorth_(float a, float b, float c, float alpha, float beta, float gamma, float* frac_to_orth,
                float* orth_to_frac, int32_t& ierr) {
  const float sb = std::sin(beta), cb = std::cos(beta);
  const float sg = std::sin(gamma), cg = std::cos(gamma);
  const float ca = std::cos(alpha);
  // A zero sine makes the cell degenerate; keep the quotient finite so that
  // the inverse reports it instead of spreading NaN through the matrices.
  const float den = sb * sg;
  const float cas = den != 0 ? (cb * cg - ca) / den : 0.0f;
  const float sas = std::sqrt(std::fabs(1 - cas * cas));
  float m[9];
  m[0] = a;
  m[1] = 0;
  m[2] = 0;
  m[3] = b * cg;
  m[4] = b * sg;
  m[5] = 0;
  m[6] = c * cb;
  m[7] = -c * sb * cas;
  m[8] = c * sb * sas;
  nb_mcopy_(m, frac_to_orth);
  nb_invert_(m, orth_to_frac, ierr);
}
