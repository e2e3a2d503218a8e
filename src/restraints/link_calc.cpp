// Geometry on explicit coordinates and the ideal values of bonds, angles and
// chiral centres that span one or both monomers of a link.
#include "restraints/link_calc.h"

#include <cmath>

#include "dictionary/dict_index.h"
#include "dictionary/lib_com.h"
#include "foundation/kernels.h"
#include "foundation/vec3.h"
#include "suite/pi.h"

namespace {

using foundation::bond_angle;
using foundation::norm3;
using foundation::wrapped_degrees;
using restraints::law_of_cosines;
using restraints::spread;
using Name = rt::FixedText<4>;

constexpr float kDeg = suite::kPi<float> / 180.0f;

bool pair_is(const Name& a, const Name& b, std::string_view x, std::string_view y) {
  return (a == x && b == y) || (a == y && b == x);
}

// The ideal length of bond x-y of monomer `mon`: the first row of the first
// list entry of that code that has one.
bool monomer_bond(std::string_view mon, std::string_view x, std::string_view y, float& v) {
  const r_scratch_t& r = r_scratch;
  const int32_t last =
      std::min(r.lmb_nbond, dictionary::last_row_of(dictionary::RowTable::Bonds, mon));
  bool found = false;
  dictionary::list_entries(mon, [&](int32_t l) {
    if (found) return;
    for (int32_t i = std::max(r.lml_ibond(l), 1); i <= last; ++i)
      if (r.lmb_mname(i) == mon && pair_is(r.lmb_1atm(i), r.lmb_2atm(i), x, y)) {
        v = r.lmb_val(i);
        found = true;
        return;
      }
  });
  return found;
}

bool monomer_angle(std::string_view mon, std::string_view x, std::string_view centre,
                   std::string_view y, float& v) {
  const r_scratch_t& r = r_scratch;
  const int32_t last =
      std::min(r.lmg_nangl, dictionary::last_row_of(dictionary::RowTable::Angles, mon));
  bool found = false;
  dictionary::list_entries(mon, [&](int32_t l) {
    if (found) return;
    for (int32_t i = std::max(r.lml_ithet(l), 1); i <= last; ++i)
      if (r.lmg_mname(i) == mon && r.lmg_2atm(i) == centre &&
          pair_is(r.lmg_1atm(i), r.lmg_3atm(i), x, y)) {
        v = r.lmg_val(i);
        found = true;
        return;
      }
  });
  return found;
}

bool link_bond(std::string_view link, int32_t from, std::string_view x, std::string_view y,
               float& v) {
  const r_scratch_t& r = r_scratch;
  for (int32_t i = std::max(from, 1); i <= r.llb_nbond; ++i)
    if (r.llb_lname(i) == link && pair_is(r.llb_1atm(i), r.llb_2atm(i), x, y)) {
      v = r.llb_val(i);
      return true;
    }
  return false;
}

// A stored link side (1 first monomer, 2 second) seen as a side flag.
int32_t flag_of_side(int32_t side) {
  const int32_t f = side + 1;
  return f == 3 ? 1 : f;
}

// Link angle x-centre-y with the flags fx, fc, fy of the three atoms.
bool link_angle(std::string_view link, int32_t from, std::string_view x, int32_t fx,
                std::string_view centre, int32_t fc, std::string_view y, int32_t fy, float& v) {
  const r_scratch_t& r = r_scratch;
  for (int32_t i = std::max(from, 1); i <= r.llg_nangl; ++i) {
    if (!(r.llg_lname(i) == link) || !(r.llg_2atm(i) == centre)) continue;
    if (flag_of_side(r.llg_f2atm(i)) != fc) continue;
    const int32_t s1 = flag_of_side(r.llg_f1atm(i)), s3 = flag_of_side(r.llg_f3atm(i));
    if ((r.llg_1atm(i) == x && r.llg_3atm(i) == y && s1 == fx && s3 == fy) ||
        (r.llg_1atm(i) == y && r.llg_3atm(i) == x && s1 == fy && s3 == fx)) {
      v = r.llg_val(i);
      return true;
    }
  }
  return false;
}

struct LinkAtoms {
  const int32_t* ifl;
  const rt::FixedText<8>* mon;
  const Name* latom;
  std::string_view link;
};

// Ideal bond a-b (0-based indices) where its atoms lie.
bool ideal_bond(const LinkAtoms& s, int a, int b, int32_t lb, float& v) {
  if (s.ifl[a] == s.ifl[b]) return monomer_bond(s.mon[a].view(), s.latom[a], s.latom[b], v);
  return link_bond(s.link, lb, s.latom[a], s.latom[b], v);
}

bool ideal_angle(const LinkAtoms& s, int a, int c, int b, int32_t lg, float& v) {
  if (s.ifl[a] == s.ifl[c] && s.ifl[c] == s.ifl[b])
    return monomer_angle(s.mon[a].view(), s.latom[a], s.latom[c], s.latom[b], v);
  return link_angle(s.link, lg, s.latom[a], s.ifl[a], s.latom[c], s.ifl[c], s.latom[b], s.ifl[b],
                    v);
}

// Energy-library bond length of the types t1, t2: the pair row, else the
// mean of the two wildcard rows when both give a length; 0 when unknown.
float energy_length(const Name& t1, const Name& t2) {
  const r_scratch_t& r = r_scratch;
  for (int32_t i = 1; i <= r.leb_nbond; ++i)
    if (pair_is(r.leb_1atm(i), r.leb_2atm(i), t1, t2)) return r.leb_length(i);
  float l1 = 0, l2 = 0;
  for (int32_t i = 1; i <= r.leb_nbond; ++i) {
    if (r.leb_2atm(i)(1) != '.') continue;
    if (r.leb_1atm(i) == t1) l1 = r.leb_length(i);
    if (r.leb_1atm(i) == t2) l2 = r.leb_length(i);
  }
  return (l1 > 0 && l2 > 0) ? 0.5f * (l1 + l2) : 0.0f;
}

float energy_angle(const Name& t1, const Name& tc, const Name& t3) {
  const r_scratch_t& r = r_scratch;
  for (int32_t i = 1; i <= r.leg_nangl; ++i)
    if (r.leg_2atm(i) == tc && pair_is(r.leg_1atm(i), r.leg_3atm(i), t1, t3)) return r.leg_angle(i);
  for (int32_t i = 1; i <= r.leg_nangl; ++i)
    if (r.leg_2atm(i) == tc && r.leg_1atm(i)(1) == '.' && r.leg_3atm(i)(1) == '.')
      return r.leg_angle(i);
  return 110.0f;
}

}  // namespace

float restraints::law_of_cosines(float b1, float b2, float a) {
  // Under the root a value can only go below 0 by rounding.
  return std::sqrt(std::fabs(b1 * b1 + b2 * b2 - 2 * b1 * b2 * std::cos(a)));
}

void restraints::angle_distance(float b1, float b2, float ang, float dev, float& dist,
                                float& desd) {
  auto f = [&](float a) { return law_of_cosines(b1, b2, a); };
  dist = f(ang * kDeg);
  desd = spread(f, ang * kDeg, dev * kDeg, dist);
}

void restraints::torsion_distance(float b1, float b2, float b3, float a1, float a2, float ang,
                                  float dev, float& dist, float& desd) {
  auto f = [&](float phi) {
    float r;
    dist_14_(b1, b2, b3, a1 * kDeg, a2 * kDeg, phi, r);
    return r;
  };
  dist = f(ang * kDeg);
  desd = spread(f, ang * kDeg, dev * kDeg, dist);
}

void calc_idobs_l_(int32_t, int32_t, const float* xx1, const float* xx2, float& dobs) {
  float d[3];
  nb_vsub_(xx2, xx1, d);
  dobs = norm3(d);
}

void calc_iangobs_l_(int32_t ia1, int32_t, int32_t, const float* xx1, const float* xx2,
                     const float* xx3, float& angobs) {
  float u[3] = {1, 0, 0}, w[3];
  if (ia1 != 0) nb_vsub_(xx2, xx1, u);
  nb_vsub_(xx3, xx2, w);
  angobs = wrapped_degrees(bond_angle(u, w));
}

void calc_itrsobs_l_(int32_t ia1, int32_t, int32_t, int32_t, const float* xx1, const float* xx2,
                     const float* xx3, const float* xx4, float& angobs) {
  float b1[3] = {1, 0, 0}, b2[3], b3[3], q1[3], q2[3], b23[3];
  if (ia1 != 0) nb_vsub_(xx2, xx1, b1);
  nb_vsub_(xx3, xx2, b2);
  nb_vsub_(xx4, xx3, b3);
  nb_vmult_(b1, b2, q1);
  nb_vmult_(b2, b3, q2);
  const float n1 = norm3(q1), n2 = norm3(q2);
  const float q12 = foundation::dot3(q1, q2);
  float c;
  if (n1 < 1e-9f || n2 < 1e-9f) c = q12 >= 0 ? 1.0f : -1.0f;
  else c = q12 / (n1 * n2);
  nb_vmult_(b2, b3, b23);
  const float sign = foundation::dot3(b1, b23) < 0 ? -1.0f : 1.0f;
  float a = wrapped_degrees(std::atan2(sign * std::sqrt(std::fabs(1 - c * c)), c));
  if (std::fabs(std::fabs(a) - 180.0f) < 0.1f) a = 180.0f;
  else if (std::fabs(a) < 0.1f) a = 0.0f;
  angobs = a;
}

void dist_14_(float av1, float av2, float av3, float ang1, float ang2, float phi, float& dist) {
  const float u1[3] = {av1, 0, 0};
  const float u2[3] = {-av2 * std::cos(ang1), av2 * std::sin(ang1), 0};
  float t[3], q12[3], p12[3];
  int32_t ierr;
  nb_vmult_(u1, u2, t);
  nb_vunit_(t, q12, ierr);
  nb_vmult_(q12, u2, t);
  nb_vunit_(t, p12, ierr);
  const float b2 = std::fabs(av2) < 1e-8f ? 1.0f : av2;
  const float k2 = -av3 * std::cos(ang2) / b2;
  const float kp = av3 * std::sin(ang2) * std::cos(phi);
  const float kq = av3 * std::sin(ang2) * std::sin(phi);
  float s[3];
  for (int i = 0; i < 3; ++i) s[i] = u1[i] + u2[i] + k2 * u2[i] + kp * p12[i] + kq * q12[i];
  dist = norm3(s);
}

void calc_iivol_l_(const int32_t* ifl, const rt::FixedText<8>* mon, const Name* latom,
                   const Name* lchem, std::string_view link, float& volidl, float& ph1, float& ph2,
                   float& ph3) {
  const LinkAtoms s{ifl, mon, latom, link};
  float d[4] = {0, 0, 0, 0};
  for (int i = 1; i <= 3; ++i) {
    float v = 0;
    bool found;
    if (ifl[0] == ifl[i]) found = monomer_bond(mon[0].view(), latom[0], latom[i], v);
    else found = link_bond(link, 1, latom[0], latom[i], v);
    d[i] = found ? v : energy_length(lchem[0], lchem[i]);
  }
  // Angles at the centre between the outer atoms (2,3), (2,4), (3,4).
  constexpr int kOuter[3][2] = {{1, 2}, {1, 3}, {2, 3}};
  float a[3];
  for (int k = 0; k < 3; ++k) {
    const int x = kOuter[k][0], y = kOuter[k][1];
    float v = 0;
    bool found;
    if (ifl[x] == ifl[0] && ifl[y] == ifl[0])
      found = monomer_angle(mon[x].view(), latom[x], latom[0], latom[y], v);
    else found = ideal_angle(s, x, 0, y, 1, v);
    a[k] = (found ? v : energy_angle(lchem[x], lchem[0], lchem[y])) * kDeg;
  }
  const float u = std::cos(a[0]), v = std::cos(a[1]), w = std::cos(a[2]);
  volidl = d[1] * d[2] * d[3] * std::sqrt(std::fabs(1 - u * u - v * v - w * w + 2 * u * v * w));
  float t;
  get_tors_(a[0], a[1], a[2], t);
  ph1 = wrapped_degrees(t);
  get_tors_(a[2], a[0], a[1], t);
  ph2 = wrapped_degrees(t);
  get_tors_(a[1], a[2], a[0], t);
  ph3 = wrapped_degrees(t);
}

void calc_distl_angl_(float ang, float dev, int32_t lb, const int32_t* ifl,
                      const rt::FixedText<8>* mon, const Name* latom, std::string_view link,
                      float& dist, float& desd) {
  dist = desd = 0;
  const LinkAtoms s{ifl, mon, latom, link};
  float b1, b2;
  if (!ideal_bond(s, 0, 1, lb, b1) || !ideal_bond(s, 1, 2, lb, b2)) return;
  restraints::angle_distance(b1, b2, ang, dev, dist, desd);
}

void calc_distl_tors_(float ang, float dev, int32_t lb, int32_t lg, const int32_t* ifl,
                      const rt::FixedText<8>* mon, const Name* latom, std::string_view link,
                      float& dist, float& desd) {
  dist = desd = 0;
  const LinkAtoms s{ifl, mon, latom, link};
  float b1, b2, b3, a1, a2;
  if (!ideal_bond(s, 0, 1, lb, b1) || !ideal_bond(s, 1, 2, lb, b2) ||
      !ideal_bond(s, 2, 3, lb, b3) || !ideal_angle(s, 0, 1, 2, lg, a1) ||
      !ideal_angle(s, 1, 2, 3, lg, a2))
    return;
  restraints::torsion_distance(b1, b2, b3, a1, a2, ang, dev, dist, desd);
}

void calc_ipldev_l_(int32_t, char, int32_t n, const int32_t*, const int32_t*, const float* xx,
                    float* dobs) {
  for (int32_t i = 0; i < n; ++i) dobs[i] = 0;
  if (n < 4) return;
  float vm[3], d;
  fit_plane_(n, xx, vm, d);
  for (int32_t i = 0; i < n; ++i) dobs[i] = foundation::dot3(vm, xx + 3 * i) - d;
}
