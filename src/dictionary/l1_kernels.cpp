// Geometric kernels that measure the L1 work description: distances, bond
// angles, torsions (stepping back along the atom tree past straight angles),
// chiral volumes from coordinates or ideal values, and plane deviations.
#include "dictionary/l1_kernels.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "dictionary/lib_com.h"
#include "foundation/kernels.h"
#include "foundation/vec3.h"
#include "suite/pi.h"

using foundation::bond_angle;
using foundation::clamp_cosine;
using foundation::dot3;
using foundation::norm3;
using foundation::wrapped_degrees;

namespace {

void l1_pos(int32_t i, float* r) {
  r[0] = r_scratch.l1a_x(i);
  r[1] = r_scratch.l1a_y(i);
  r[2] = r_scratch.l1a_z(i);
}

bool chiral_without_volume(int32_t ic) {
  return dictionary::metal_shape(r_scratch.l1c_sign(ic));
}

}  // namespace

bool dictionary::metal_shape(const rt::FixedText<8>& sign) {
  const std::string_view s = sign.view().substr(0, 4);
  return s == "cros" || s == "star";
}

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
    if (bond_angle(a, b) > suite::kPi<float> - 0.0875f && i2 >= 1 && steps <= MAX1ATM) {
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
  const float uw = dot3(u, w);
  const float nu = norm3(u), nw = norm3(w);
  float cs;
  if (nu < 1e-9f || nw < 1e-9f) {
    cs = uw >= 0 ? 1.0f : -1.0f;
  } else {
    float p = nu * nw;
    if (p < 1e-8f) p = 1.0f;
    cs = clamp_cosine(uw / p);
  }
  nb_vmult_(b, c, bc);
  float sn = std::sqrt(std::fabs(1 - cs * cs));
  if (dot3(a, bc) < 0) sn = -sn;
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
  volume = dot3(a, bc);
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
        ang[j] = s.l1g_val(g) * (suite::kPi<float> / 180.0f);
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

void calc_pldev_(int32_t n, const int32_t* idx, float* dev) {
  // Reused between calls: the buffer grows to the largest plane once.
  static std::vector<float> pts;
  pts.resize(3 * static_cast<std::size_t>(n > 0 ? n : 0));
  for (int k = 0; k < n; ++k) l1_pos(idx[k], &pts[3 * k]);
  float vm[3], d;
  fit_plane_(n, pts.data(), vm, d);
  for (int k = 0; k < n; ++k) dev[k] = dot3(vm, &pts[3 * k]) - d;
}
