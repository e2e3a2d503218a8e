// Work descriptions built by hand for the restraint tests: atoms of the
// current residue in C1 with their tree order in S1, and library rows in L1.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

#include "dictionary/lib_com.h"

namespace rtest {

using Vec = std::array<float, 3>;

struct Atom {
  const char* name;
  Vec x;
  const char* alt = ".";
  float occ = 1.0f;
  const char* state = "Y";
  const char* corr = ".";
  const char* chem = "CH1";
};

inline void clear_c1() {
  r_scratch_t& r = r_scratch;
  r.c1_natom = r.c1_igatm = 0;
  r.c1_iglobal = 0;
  for (int k = 1; k <= MX1ATOM; ++k) {
    r.c1_aname(k) = "";
    r.c1_atype(k) = "U";
    r.c1_nalt(k) = r.c1_ialt(k) = 0;
    r.s1_inew(k) = r.s1_iold(k) = r.s1_icrd(k) = 0;
  }
}

// Appends an atom in tree order; an atom whose name is already there
// becomes one of its alternates.  Returns its C1 index.
inline int add(const Atom& a) {
  r_scratch_t& r = r_scratch;
  const int k = ++r.c1_natom;
  r.c1_aname(k) = a.name;
  for (int i = 0; i < 3; ++i) r.c1_xyz(i + 1, k) = a.x[i];
  r.c1_alt(k) = a.alt;
  r.c1_corr(k) = a.corr;
  r.c1_occ(k) = a.occ;
  r.c1_atype(k) = a.state;
  r.s1_chem(k) = a.chem;
  r.c1_nalt(k) = 1;
  r.c1_ialt(k) = 0;
  for (int j = 1; j < k; ++j)
    if (r.c1_aname(j) == a.name && r.c1_ialt(j) == 0) {
      r.c1_nalt(k) = 0;
      r.c1_ialt(k) = j;
      ++r.c1_nalt(j);
      break;
    }
  r.c1_igatm = k;
  r.s1_inew(k) = k;
  r.s1_iold(k) = k;
  return k;
}

inline void clear_l1() {
  r_scratch_t& r = r_scratch;
  r.l1b_nbond = r.l1g_nangl = r.l1t_ntors = r.l1c_nchir = r.l1p_nplan = 0;
}

inline void l1_bond(const char* a, const char* b, float v, float dev = 0.02f,
                    const char* type = "single") {
  r_scratch_t& r = r_scratch;
  const int i = ++r.l1b_nbond;
  r.l1b_1atm(i) = a;
  r.l1b_2atm(i) = b;
  r.l1b_val(i) = v;
  r.l1b_dev(i) = dev;
  r.l1b_type(i) = type;
}

inline void l1_angle(const char* a, const char* c, const char* b, float v, float dev = 3.0f) {
  r_scratch_t& r = r_scratch;
  const int i = ++r.l1g_nangl;
  r.l1g_1atm(i) = a;
  r.l1g_2atm(i) = c;
  r.l1g_3atm(i) = b;
  r.l1g_val(i) = v;
  r.l1g_dev(i) = dev;
}

// Independent geometry of the tests, in double precision.
inline double dist(const Vec& a, const Vec& b) {
  return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                   (a[2] - b[2]) * (a[2] - b[2]));
}
inline std::array<double, 3> sub(const Vec& a, const Vec& b) {
  return {double(a[0]) - b[0], double(a[1]) - b[1], double(a[2]) - b[2]};
}
inline std::array<double, 3> cross(const std::array<double, 3>& a, const std::array<double, 3>& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
inline double dot(const std::array<double, 3>& a, const std::array<double, 3>& b) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
inline double angle_deg(const Vec& a, const Vec& c, const Vec& b) {
  const auto u = sub(a, c), w = sub(b, c);
  return std::acos(dot(u, w) / std::sqrt(dot(u, u) * dot(w, w))) * 180.0 / M_PI;
}
// IUPAC torsion a-b-c-d.
inline double torsion_deg(const Vec& a, const Vec& b, const Vec& c, const Vec& d) {
  const auto b1 = sub(b, a), b2 = sub(c, b), b3 = sub(d, c);
  const double y = std::sqrt(dot(b2, b2)) * dot(b1, cross(b2, b3));
  return std::atan2(y, dot(cross(b1, b2), cross(b2, b3))) * 180.0 / M_PI;
}
inline double chiral_volume(const Vec& c, const Vec& a, const Vec& b, const Vec& d) {
  return dot(sub(a, c), cross(sub(b, c), sub(d, c)));
}

}  // namespace rtest
