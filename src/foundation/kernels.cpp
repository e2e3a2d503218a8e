// Geometric kernels on explicit coordinates: chiral volumes, the torsion
// from three angles, placing a new atom, and least-squares planes.
#include "foundation/kernels.h"

#include <algorithm>
#include <cmath>

#include "foundation/vec3.h"
#include "runtime/run.h"
#include "runtime/units.h"
#include "suite/pi.h"

namespace foundation {

float clamp_cosine(float c) { return c > 1.0f ? 1.0f : (c < -1.0f ? -1.0f : c); }

float wrapped_degrees(float a) {
  while (a > suite::kPi<float>) a -= 2 * suite::kPi<float>;
  while (a < -suite::kPi<float>) a += 2 * suite::kPi<float>;
  return a / (suite::kPi<float> / 180.0f);
}

float dot3(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
float norm3(const float* a) { return std::sqrt(dot3(a, a)); }

float bond_angle(const float* a, const float* b) {
  float p = norm3(a) * norm3(b);
  if (p < 1e-8f) p = 1.0f;
  return suite::kPi<float> - std::acos(clamp_cosine(dot3(a, b) / p));
}

}  // namespace foundation

using foundation::clamp_cosine;
using foundation::dot3;
using foundation::norm3;
using foundation::wrapped_degrees;

void calc_i_ovol_l_(int32_t, int32_t, int32_t, int32_t, const float* c1, const float* c2, const float* c3,
                    const float* c4, float& volume, float& angle) {
  float a[3], b[3], c[3], bc[3];
  nb_vsub_(c2, c1, a);
  nb_vsub_(c3, c1, b);
  nb_vsub_(c4, c1, c);
  nb_vmult_(b, c, bc);
  volume = dot3(a, bc);
  angle = 0;
  float p[3], u[3], w[3];
  nb_vsub_(c1, c2, p);
  nb_vmult_(p, b, u);
  nb_vmult_(p, c, w);
  const float nu = norm3(u), nw = norm3(w);
  if (nu == 0 || nw == 0) return;
  float prod = nu * nw;
  if (prod < 1e-8f) prod = 1.0f;
  float ang = std::acos(clamp_cosine(dot3(u, w) / prod));
  if (dot3(u, c) < 0) ang = -ang;
  angle = wrapped_degrees(ang);
}

void get_tors_(float a1, float a2, float a12, float& t) {
  if (std::fabs(std::sin(a1 + a2 + a12)) < 0.002f) {
    t = suite::kPi<float>;
    return;
  }
  const float s1 = std::sin(a1), s2 = std::sin(a2);
  if (std::fabs(s1) < 1e-6f || std::fabs(s2) < 1e-6f) {
    t = 0;
    return;
  }
  t = std::acos(clamp_cosine((std::cos(a12) - std::cos(a1) * std::cos(a2)) / (s1 * s2)));
}

void coord_4_(float, float av2, float av3, const float* r, const float* b, float ang1, float ang2, float phi,
              float* n) {
  const float scale = av3 / std::max(av2, 1e-5f);
  const float s2 = std::sin(ang2), c2 = std::cos(ang2);
  float out[3];
  if (std::fabs(s2) < 0.02f) {
    nb_vscal_(b, c2 > 0 ? -scale : scale, out);
    nb_vcopy_(out, n);
    return;
  }
  float ref[3];
  nb_vcopy_(r, ref);
  if (std::fabs(std::sin(ang1)) < 0.02f) {
    // The reference is in line with the bond: take the x axis, or the y
    // axis when that is in line too.
    const float x[3] = {1, 0, 0};
    float xb[3];
    nb_vmult_(x, b, xb);
    const float nb = norm3(b);
    const float sin_xb = nb > 1e-8f ? norm3(xb) / nb : 0.0f;
    if (std::fabs(sin_xb) < 0.02f) {
      ref[0] = 0, ref[1] = 1, ref[2] = 0;
    } else {
      ref[0] = 1, ref[1] = 0, ref[2] = 0;
    }
  }
  float e1[3], e2[3], t[3];
  int32_t ierr;
  nb_vmult_(ref, b, t);
  nb_vunit_(t, e1, ierr);
  nb_vmult_(e1, b, t);
  nb_vunit_(t, e2, ierr);
  const float kb = -c2 * scale;
  const float k2 = s2 * av3 * std::cos(phi);
  const float k1 = s2 * av3 * std::sin(phi);
  for (int i = 0; i < 3; ++i) out[i] = kb * b[i] + k2 * e2[i] + k1 * e1[i];
  nb_vcopy_(out, n);
}

void fit_plane_(int32_t n, const float* x, float* vm, float& d) {
  if (n < 1) {
    rt::write_record(6, " N =< 0 in subroutine \"FIT_PLANE\"");
    rt::stop_run(1);
  }
  double sum[3] = {0, 0, 0};
  double sxy[3][3] = {};
  for (int k = 0; k < n; ++k) {
    const float* p = x + 3 * k;
    for (int i = 0; i < 3; ++i) {
      sum[i] += p[i];
      for (int j = 0; j < 3; ++j) sxy[i][j] += static_cast<double>(p[i]) * p[j];
    }
  }
  float a[3][3];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) a[i][j] = static_cast<float>(sxy[i][j] - sum[i] * sum[j] / n);
  // Adjugate of the moment matrix: its dominant eigenvector is the normal.
  float bm[3][3];
  bm[0][0] = a[1][1] * a[2][2] - a[1][2] * a[2][1];
  bm[0][1] = -(a[0][1] * a[2][2] - a[0][2] * a[2][1]);
  bm[0][2] = a[0][1] * a[1][2] - a[0][2] * a[1][1];
  bm[1][0] = -(a[1][0] * a[2][2] - a[1][2] * a[2][0]);
  bm[1][1] = a[0][0] * a[2][2] - a[0][2] * a[2][0];
  bm[1][2] = -(a[0][0] * a[1][2] - a[0][2] * a[1][0]);
  bm[2][0] = a[1][0] * a[2][1] - a[1][1] * a[2][0];
  bm[2][1] = -(a[0][0] * a[2][1] - a[0][1] * a[2][0]);
  bm[2][2] = a[0][0] * a[1][1] - a[0][1] * a[1][0];

  vm[0] = vm[1] = vm[2] = 0;
  d = 0;
  int col = 0;
  float best = -1;
  for (int j = 0; j < 3; ++j) {
    const float l = bm[0][j] * bm[0][j] + bm[1][j] * bm[1][j] + bm[2][j] * bm[2][j];
    if (l > best) {
      best = l;
      col = j;
    }
  }
  float v[3] = {bm[0][col], bm[1][col], bm[2][col]};
  // The iteration is scaled to a first element of 1, which also fixes the
  // sign of the normal.  When the first element is too small to scale by (a
  // normal with no x part, such as that of a plane z = const) the largest
  // element takes its place, so that such planes are still found.
  int piv = 0;
  if (!(std::fabs(v[0]) > 1e-5f))
    for (int i = 1; i < 3; ++i)
      if (std::fabs(v[i]) > std::fabs(v[piv])) piv = i;
  if (!(std::fabs(v[piv]) > 1e-5f)) return;
  const int o1 = (piv + 1) % 3, o2 = (piv + 2) % 3;
  float s[3];
  for (int it = 0; it < 10; ++it) {
    for (int i = 0; i < 3; ++i) s[i] = v[i] / v[piv];
    nb_vcopy_(s, v);
    if (std::fabs(s[o1]) < 1e-5f || std::fabs(s[o2]) < 1e-5f) break;
    float w[3];
    for (int i = 0; i < 3; ++i) w[i] = bm[i][0] * s[0] + bm[i][1] * s[1] + bm[i][2] * s[2];
    if (std::fabs(w[piv]) < 1e-5f) break;
    const float r1 = w[o1] / w[piv], r2 = w[o2] / w[piv];
    nb_vcopy_(w, v);
    // The scaled vector holds the ratios of the step before.
    if (std::fabs(r1 - s[o1]) < 1e-5f && std::fabs(r2 - s[o2]) < 1e-5f) break;
  }
  float len;
  nb_vmod_(v, len);
  if (len < 1e-5f) return;
  for (int i = 0; i < 3; ++i) vm[i] = v[i] / len;
  d = static_cast<float>((vm[0] * sum[0] + vm[1] * sum[1] + vm[2] * sum[2]) / n);
}
