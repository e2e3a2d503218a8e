// Work descriptions for the builder's geometry tests, built through the L1
// tables: atoms with coordinates, an atom tree given as back-atom links,
// ring closures, and energy-library rows.  Coordinates are chosen by hand
// (regular polyhedra, standard organic bond lengths) unless a test says
// where they come from.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <string>

#include "dictionary/lib_com.h"

namespace geomtest {

// L1 and the energy library emptied.
inline void clear_all() {
  r_scratch_t& r = r_scratch;
  for (int i = 1; i <= MAX1ATM; ++i) {
    r.l1a_iback(i) = r.l1a_iforw(i) = r.l1a_ndist(i) = r.l1a_nextr(i) = r.l1a_nring(i) = 0;
    for (int k = 1; k <= MAX1BRN; ++k) {
      r.l1a_conn(k, i) = r.l1a_ring_id(k, i) = r.l1a_ring_flat(k, i) = r.l1a_ring_ord(k, i) = 0;
      r.l1a_iextr(k, i) = 0;
    }
  }
  r.l1a_natom = r.l1a_nhatom = r.l1n_nconn = r.l1b_nbond = r.l1g_nangl = r.l1t_ntors = 0;
  r.l1c_nchir = r.l1p_nplan = 0;
  r.l1a_istart = r.l1a_ifinish = 0;
  r.l1l_mname = "TST";
  r.l1l_prsnt = ".";
  r.lea_natom = r.leb_nbond = r.leg_nangl = r.let_ntors = 0;
}

// An atom; back: index of its back atom in the tree (0 for the root).
inline int atom(const char* name, const char* symb, const char* chem, float x, float y, float z,
                int back = 0) {
  r_scratch_t& r = r_scratch;
  const int i = ++r.l1a_natom;
  r.l1a_aname(i) = name;
  r.l1a_symb(i) = symb;
  r.l1a_chem(i) = chem;
  r.l1a_type(i) = ".";
  r.l1a_x(i) = x;
  r.l1a_y(i) = y;
  r.l1a_z(i) = z;
  r.l1a_coor_flag(i) = "Y";
  r.l1a_iback(i) = back;
  if (back > 0) {
    const int k = ++r.l1a_ndist(back);
    r.l1a_conn(k, back) = i;
    if (r.l1a_iforw(back) == 0) r.l1a_iforw(back) = i;
  } else if (r.l1a_istart == 0) {
    r.l1a_istart = i;
  }
  return i;
}

// A ring-closing bond between a and b, listed at both ends.
inline void close_ring(int a, int b) {
  r_scratch_t& r = r_scratch;
  r.l1a_iextr(++r.l1a_nextr(a), a) = b;
  r.l1a_iextr(++r.l1a_nextr(b), b) = a;
}

// Ring membership: ring `id` of size n, flat or not, at each atom.
inline void in_ring(int id, int n, bool flat, std::initializer_list<int> atoms) {
  r_scratch_t& r = r_scratch;
  for (int a : atoms) {
    const int k = ++r.l1a_nring(a);
    r.l1a_ring_id(k, a) = id;
    r.l1a_ring_ord(k, a) = n;
    r.l1a_ring_flat(k, a) = flat ? 1 : 0;
  }
}

inline void lib_bond(const char* t1, const char* t2, const char* type, float len) {
  r_scratch_t& r = r_scratch;
  const int k = ++r.leb_nbond;
  r.leb_1atm(k) = t1;
  r.leb_2atm(k) = t2;
  r.leb_type(k) = type;
  r.leb_length(k) = len;
}

inline void lib_angle(const char* t1, const char* t2, const char* t3, float a) {
  r_scratch_t& r = r_scratch;
  const int k = ++r.leg_nangl;
  r.leg_1atm(k) = t1;
  r.leg_2atm(k) = t2;
  r.leg_3atm(k) = t3;
  r.leg_angle(k) = a;
}

inline void lib_tors(const char* t1, const char* t2, const char* t3, const char* t4, float cst,
                     float a, int prd) {
  r_scratch_t& r = r_scratch;
  const int k = ++r.let_ntors;
  r.let_1atm(k) = t1;
  r.let_2atm(k) = t2;
  r.let_3atm(k) = t3;
  r.let_4atm(k) = t4;
  r.let_const(k) = cst;
  r.let_angle(k) = a;
  r.let_prd(k) = prd;
}

inline void lib_type(const char* name, const char* elem, int sp) {
  r_scratch_t& r = r_scratch;
  const int k = ++r.lea_natom;
  r.lea_aname(k) = name;
  r.lea_ename(k) = elem;
  r.lea_sp(k) = sp;
}

inline int plane(std::initializer_list<const char*> names) {
  r_scratch_t& r = r_scratch;
  const int p = ++r.l1p_nplan;
  r.l1p_natom(p) = 0;
  r.l1p_label(p) = "plan-" + std::to_string(p);
  for (const char* n : names) {
    const int q = ++r.l1p_natom(p);
    r.l1p_atom(q, p) = n;
    r.l1p_dev(q, p) = 0.02f;
  }
  return p;
}

inline float dist(int a, int b) {
  const r_scratch_t& r = r_scratch;
  const float dx = r.l1a_x(a) - r.l1a_x(b), dy = r.l1a_y(a) - r.l1a_y(b),
              dz = r.l1a_z(a) - r.l1a_z(b);
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

struct L1Test : ::testing::Test {
  void SetUp() override { clear_all(); }
};

}  // namespace geomtest
