// Geometric kernels over the L1 work description and explicit coordinates.
#include "foundation/kernels.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "dictionary/lib_com.h"
#include "foundation/vec3.h"
#include "runtime/run.h"
#include "runtime/units.h"

namespace {

const float kPi = 4.0f * std::atan(1.0f);

float clamp1(float c) { return c > 1.0f ? 1.0f : (c < -1.0f ? -1.0f : c); }

// Radians wrapped to -pi..pi, then degrees.
float wrapped_degrees(float a) {
  while (a > kPi) a -= 2 * kPi;
  while (a < -kPi) a += 2 * kPi;
  return a / (kPi / 180.0f);
}

void l1_pos(int32_t i, float* r) {
  r[0] = r_scratch.l1a_x(i);
  r[1] = r_scratch.l1a_y(i);
  r[2] = r_scratch.l1a_z(i);
}

float dot(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
float norm(const float* a) { return std::sqrt(dot(a, a)); }

// Bond angle between a and b taken as consecutive bond vectors (pi when in
// line); a length product below 1e-8 is replaced by 1.
float bond_angle(const float* a, const float* b) {
  float p = norm(a) * norm(b);
  if (p < 1e-8f) p = 1.0f;
  return kPi - std::acos(clamp1(dot(a, b) / p));
}

bool chiral_without_volume(int32_t ic) {
  const rt::FixedText<8>& s = r_scratch.l1c_sign(ic);
  return std::memcmp(s.c, "star", 4) == 0 || std::memcmp(s.c, "cros", 4) == 0;
}

}  // namespace

void calc_dobs_(int32_t i1, int32_t i2, float& d) {
  d = 0;
  if (i1 < 1 || i2 < 1) return;
  float a[3], b[3];
  l1_pos(i1, a);
  l1_pos(i2, b);
  const float dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
  d = std::sqrt(std::fabs(dx * dx + dy * dy + dz * dz));
}

void calc_angobs_(int32_t i1, int32_t i2, int32_t i3, float& angle) {
  angle = 0;
  if (i1 < 1 || i2 < 1 || i3 < 1) return;
  float r1[3], r2[3], r3[3], a[3], b[3];
  l1_pos(i1, r1);
  l1_pos(i2, r2);
  l1_pos(i3, r3);
  nb_vsub_(r2, r1, a);
  nb_vsub_(r3, r2, b);
  angle = wrapped_degrees(bond_angle(a, b));
}

void calc_trsobs_(int32_t i1, int32_t i2, int32_t i3, int32_t i4, float& angle) {
  angle = 0;
  if (i3 < 1 || i4 < 1) return;
  float r1[3], r2[3], r3[3], r4[3], a[3], b[3], c[3];
  l1_pos(i3, r3);
  l1_pos(i4, r4);
  // Steps back along the atom tree are bounded by the atom count, so a
  // cycle of back-pointers cannot hold the loop.
  for (int steps = 0;; ++steps) {
    if (i2 >= 1) {
      l1_pos(i2, r2);
    } else {
      r2[0] = -1, r2[1] = 0, r2[2] = 0;
    }
    if (i2 >= 1 && i1 >= 1) {
      l1_pos(i1, r1);
    } else if (i2 >= 1) {
      r1[0] = -1, r1[1] = 0, r1[2] = 0;
    } else {
      r1[0] = -1, r1[1] = 1, r1[2] = 0;
    }
    nb_vsub_(r2, r1, a);
    nb_vsub_(r3, r2, b);
    if (bond_angle(a, b) > kPi - 0.0875f && i2 >= 1 && steps <= MAX1ATM) {
      i2 = r_scratch.l1a_iback(i2);
      i1 = i2 >= 1 ? r_scratch.l1a_iback(i2) : 0;
      continue;
    }
    break;
  }
  nb_vsub_(r4, r3, c);
  float u[3], w[3], bc[3];
  nb_vmult_(a, b, u);
  nb_vmult_(b, c, w);
  const float uw = dot(u, w);
  const float nu = norm(u), nw = norm(w);
  float cs;
  if (nu < 1e-9f || nw < 1e-9f) {
    cs = uw >= 0 ? 1.0f : -1.0f;
  } else {
    float p = nu * nw;
    if (p < 1e-8f) p = 1.0f;
    cs = clamp1(uw / p);
  }
  nb_vmult_(b, c, bc);
  float sn = std::sqrt(std::fabs(1 - cs * cs));
  if (dot(a, bc) < 0) sn = -sn;
  angle = wrapped_degrees(std::atan2(sn, cs));
}

void calc_ovol_(int32_t ic, float& volume, int32_t& ierr) {
  volume = 0;
  ierr = 1;
  if (ic < 1) return;
  r_scratch_t& s = r_scratch;
  if (chiral_without_volume(ic)) return;
  const rt::FixedText<4>* names[4] = {&s.l1c_1atm(ic), &s.l1c_2atm(ic), &s.l1c_3atm(ic), &s.l1c_4atm(ic)};
  int32_t* slots[4] = {&s.l1c_i1atm(ic), &s.l1c_i2atm(ic), &s.l1c_i3atm(ic), &s.l1c_i4atm(ic)};
  float r[4][3];
  for (int j = 0; j < 4; ++j) {
    int found = 0;
    for (int i = 1; i <= s.l1a_natom; ++i)
      if (std::memcmp(s.l1a_aname(i).c, names[j]->c, 4) == 0) {
        found = i;
        break;
      }
    if (found == 0) return;
    *slots[j] = found;
    if (s.l1a_coor_flag(found).c[0] == 'N') return;
    l1_pos(found, r[j]);
  }
  float a[3], b[3], c[3], bc[3];
  nb_vsub_(r[1], r[0], a);
  nb_vsub_(r[2], r[0], b);
  nb_vsub_(r[3], r[0], c);
  nb_vmult_(b, c, bc);
  volume = dot(a, bc);
  ierr = 0;
}

void calc_ivol_(int32_t ic, float& volume, float& ph1, float& ph2, float& ph3) {
  if (chiral_without_volume(ic)) return;
  const r_scratch_t& s = r_scratch;
  const int32_t c = s.l1c_i1atm(ic);
  const int32_t p[3] = {s.l1c_i2atm(ic), s.l1c_i3atm(ic), s.l1c_i4atm(ic)};

  // Ideal bond lengths centre-p2, centre-p3, centre-p4.
  float d[3];
  bool have_d[3] = {false, false, false};
  for (int j = 0; j < 3; ++j)
    for (int b = 1; b <= s.l1b_nbond; ++b) {
      const int32_t x = s.l1b_i1atm(b), y = s.l1b_i2atm(b);
      if ((x == c && y == p[j]) || (x == p[j] && y == c)) {
        d[j] = s.l1b_val(b);
        have_d[j] = true;
        break;
      }
    }
  // Ideal angles at the centre opposite each partner: a1 between p3 and p4,
  // a2 between p2 and p4, a3 between p2 and p3.
  const int32_t sets[3][2] = {{p[1], p[2]}, {p[0], p[2]}, {p[0], p[1]}};
  float ang[3];
  bool have_a[3] = {false, false, false};
  for (int j = 0; j < 3; ++j)
    for (int g = 1; g <= s.l1g_nangl; ++g) {
      if (s.l1g_i2atm(g) != c) continue;
      const int32_t o1 = s.l1g_i1atm(g), o3 = s.l1g_i3atm(g);
      const bool in1 = o1 == sets[j][0] || o1 == sets[j][1];
      const bool in3 = o3 == sets[j][0] || o3 == sets[j][1];
      if (in1 && in3) {
        ang[j] = s.l1g_val(g) * (kPi / 180.0f);
        have_a[j] = true;
        break;
      }
    }
  for (int j = 0; j < 3; ++j)
    if (!have_d[j] || !have_a[j]) return;
  const float c1 = std::cos(ang[0]), c2 = std::cos(ang[1]), c3 = std::cos(ang[2]);
  volume = d[0] * d[1] * d[2] * std::sqrt(std::fabs(1 - c1 * c1 - c2 * c2 - c3 * c3 + 2 * c1 * c2 * c3));
  float t;
  get_tors_(ang[2], ang[1], ang[0], t);
  ph1 = wrapped_degrees(t);
  get_tors_(ang[0], ang[2], ang[1], t);
  ph2 = wrapped_degrees(t);
  get_tors_(ang[1], ang[0], ang[2], t);
  ph3 = wrapped_degrees(t);
}

void calc_i_ovol_l_(int32_t, int32_t, int32_t, int32_t, const float* c1, const float* c2, const float* c3,
                    const float* c4, float& volume, float& angle) {
  float a[3], b[3], c[3], bc[3];
  nb_vsub_(c2, c1, a);
  nb_vsub_(c3, c1, b);
  nb_vsub_(c4, c1, c);
  nb_vmult_(b, c, bc);
  volume = dot(a, bc);
  angle = 0;
  float p[3], u[3], w[3];
  nb_vsub_(c1, c2, p);
  nb_vmult_(p, b, u);
  nb_vmult_(p, c, w);
  const float nu = norm(u), nw = norm(w);
  if (nu == 0 || nw == 0) return;
  float prod = nu * nw;
  if (prod < 1e-8f) prod = 1.0f;
  float ang = std::acos(clamp1(dot(u, w) / prod));
  if (dot(u, c) < 0) ang = -ang;
  angle = wrapped_degrees(ang);
}

void get_tors_(float a1, float a2, float a12, float& t) {
  if (std::fabs(std::sin(a1 + a2 + a12)) < 0.002f) {
    t = kPi;
    return;
  }
  const float s1 = std::sin(a1), s2 = std::sin(a2);
  if (std::fabs(s1) < 1e-6f || std::fabs(s2) < 1e-6f) {
    t = 0;
    return;
  }
  t = std::acos(clamp1((std::cos(a12) - std::cos(a1) * std::cos(a2)) / (s1 * s2)));
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
    const float nb = norm(b);
    const float sin_xb = nb > 1e-8f ? norm(xb) / nb : 0.0f;
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

void calc_pldev_(int32_t n, const int32_t* idx, float* dev) {
  // Reused between calls: the buffer grows to the largest plane once.
  static std::vector<float> pts;
  pts.resize(3 * static_cast<std::size_t>(n > 0 ? n : 0));
  for (int k = 0; k < n; ++k) l1_pos(idx[k], &pts[3 * k]);
  float vm[3], d;
  fit_plane_(n, pts.data(), vm, d);
  for (int k = 0; k < n; ++k) dev[k] = dot(vm, &pts[3 * k]) - d;
}
