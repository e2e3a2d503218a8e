// Small work descriptions and dictionary entries built through the tables.
// Atom names and ideal coordinates are those of the wwPDB chemical
// components ALA, PRO and NAG (../shared/data/components); bond lengths are
// measured on those ideal coordinates, angles are the Engh & Huber (1991)
// peptide values where a test needs one.
#pragma once

#include <initializer_list>

#include "dictionary/lib_com.h"

namespace descr {

struct Atom {
  const char* name;
  const char* symb;
  const char* chem;
  const char* back;
  const char* forw;
  float x, y, z;
};

// L1 emptied: every count 0, header texts ".".
inline void clear_l1() {
  r_scratch_t& r = r_scratch;
  r.l1a_natom = r.l1a_nhatom = r.l1n_nconn = r.l1b_nbond = r.l1g_nangl = r.l1t_ntors = 0;
  r.l1c_nchir = r.l1p_nplan = 0;
  r.l1a_istart = r.l1a_ifinish = 0;
  r.l1l_mname = "ALA";
  r.l1l_prsnt = ".";
}

inline int add_l1_atom(const Atom& a) {
  r_scratch_t& r = r_scratch;
  const int i = ++r.l1a_natom;
  r.l1a_aname(i) = a.name;
  r.l1a_symb(i) = a.symb;
  r.l1a_chem(i) = a.chem;
  r.l1a_back(i) = a.back;
  r.l1a_forw(i) = a.forw;
  r.l1a_type(i) = ".";
  r.l1a_x(i) = a.x;
  r.l1a_y(i) = a.y;
  r.l1a_z(i) = a.z;
  r.l1a_coor_flag(i) = "Y";
  r.l1a_icr(i) = r.l1a_iold(i) = i;
  r.l1a_iback(i) = r.l1a_iforw(i) = 0;
  r.l1a_nring(i) = 0;
  return i;
}

inline int add_l1_bond(const char* a1, const char* a2, float val) {
  r_scratch_t& r = r_scratch;
  const int j = ++r.l1b_nbond;
  r.l1b_1atm(j) = a1;
  r.l1b_2atm(j) = a2;
  r.l1b_val(j) = val;
  r.l1b_dev(j) = 0.02f;
  r.l1b_type(j) = "single";
  r.l1b_i1atm(j) = r.l1b_i2atm(j) = 0;
  return j;
}

inline int add_l1_angle(const char* a1, const char* a2, const char* a3, float val) {
  r_scratch_t& r = r_scratch;
  const int j = ++r.l1g_nangl;
  r.l1g_1atm(j) = a1;
  r.l1g_2atm(j) = a2;
  r.l1g_3atm(j) = a3;
  r.l1g_val(j) = val;
  r.l1g_dev(j) = 3.0f;
  return j;
}

inline int add_l1_tors(const char* a1, const char* a2, const char* a3, const char* a4, float val,
                       const char* label = "chi1") {
  r_scratch_t& r = r_scratch;
  const int j = ++r.l1t_ntors;
  r.l1t_1atm(j) = a1;
  r.l1t_2atm(j) = a2;
  r.l1t_3atm(j) = a3;
  r.l1t_4atm(j) = a4;
  r.l1t_val(j) = val;
  r.l1t_dev(j) = 15.0f;
  r.l1t_prd(j) = 3;
  r.l1t_label(j) = label;
  return j;
}

inline int add_l1_chir(const char* c, const char* a2, const char* a3, const char* a4,
                       const char* sign, const char* flag = "N") {
  r_scratch_t& r = r_scratch;
  const int j = ++r.l1c_nchir;
  r.l1c_1atm(j) = c;
  r.l1c_2atm(j) = a2;
  r.l1c_3atm(j) = a3;
  r.l1c_4atm(j) = a4;
  for (auto* col : {&r.l1c_5atm, &r.l1c_6atm, &r.l1c_7atm, &r.l1c_8atm, &r.l1c_9atm})
    (*col)(j) = ".";
  r.l1c_sign(j) = sign;
  r.l1c_flag(j) = flag;
  r.l1c_vol(j) = 2.5f;
  return j;
}

inline int add_l1_plane(const char* label, std::initializer_list<const char*> atoms) {
  r_scratch_t& r = r_scratch;
  const int p = ++r.l1p_nplan;
  r.l1p_label(p) = label;
  int m = 0;
  for (const char* a : atoms) {
    ++m;
    r.l1p_atom(m, p) = a;
    r.l1p_dev(m, p) = 0.02f;
    r.l1p_iatom(m, p) = 0;
  }
  r.l1p_natom(p) = m;
  return p;
}

// Heavy atoms of alanine along its backbone tree N-CA-C-O (CB and OXT hang
// on CA and C), ideal coordinates of the component.
inline void alanine_l1() {
  clear_l1();
  add_l1_atom({"N", "N", "NH1", ".", "CA", -0.966f, 0.493f, 1.500f});
  add_l1_atom({"CA", "C", "CH1", "N", "C", 0.257f, 0.418f, 0.692f});
  add_l1_atom({"C", "C", "C", "CA", "END", -0.094f, 0.017f, -0.716f});
  add_l1_atom({"O", "O", "O", "C", ".", -1.056f, -0.682f, -0.923f});
  add_l1_atom({"CB", "C", "CH3", "CA", ".", 1.204f, -0.620f, 1.296f});
  add_l1_atom({"OXT", "O", "OC", "C", ".", 0.661f, 0.439f, -1.742f});
  add_l1_bond("N", "CA", 1.468f);
  add_l1_bond("CA", "C", 1.505f);
  add_l1_bond("CA", "CB", 1.529f);
  add_l1_bond("C", "O", 1.207f);
  add_l1_bond("C", "OXT", 1.342f);
}

// Heavy atoms of proline: the ring closes on the backbone nitrogen (N-CD).
inline void proline_l1() {
  clear_l1();
  r_scratch.l1l_mname = "PRO";
  add_l1_atom({"N", "N", "N", ".", "CA", -0.816f, 1.108f, 0.254f});
  add_l1_atom({"CA", "C", "CH1", "N", "C", 0.001f, -0.107f, 0.509f});
  add_l1_atom({"C", "C", "C", "CA", "END", 1.408f, 0.091f, 0.005f});
  add_l1_atom({"O", "O", "O", "C", ".", 1.650f, 0.980f, -0.777f});
  add_l1_atom({"CB", "C", "CH2", "CA", ".", -0.703f, -1.227f, -0.286f});
  add_l1_atom({"CG", "C", "CH2", "CB", ".", -2.163f, -0.753f, -0.439f});
  add_l1_atom({"CD", "C", "CH2", "CG", ".", -2.218f, 0.614f, 0.276f});
  add_l1_bond("N", "CA", 1.486f);
  add_l1_bond("N", "CD", 1.487f);
  add_l1_bond("CA", "C", 1.508f);
  add_l1_bond("CA", "CB", 1.543f);
  add_l1_bond("C", "O", 1.208f);
  add_l1_bond("CB", "CG", 1.543f);
  add_l1_bond("CG", "CD", 1.544f);
}

// The pyranose ring of N-acetylglucosamine (NAG), its tree running
// C1-C2-C3-C4-C5-O5; the ring closes with the bond C1-O5.
inline void sugar_l1() {
  clear_l1();
  r_scratch.l1l_mname = "NAG";
  add_l1_atom({"C1", "C", "CH1", ".", "C2", 0.185f, 1.082f, -0.421f});
  add_l1_atom({"C2", "C", "CH1", "C1", "C3", 0.790f, -0.220f, 0.112f});
  add_l1_atom({"C3", "C", "CH1", "C2", "C4", -0.124f, -1.390f, -0.265f});
  add_l1_atom({"C4", "C", "CH1", "C3", "C5", -1.526f, -1.129f, 0.294f});
  add_l1_atom({"C5", "C", "CH1", "C4", "O5", -2.042f, 0.207f, -0.246f});
  add_l1_atom({"O5", "O", "O2", "C5", "END", -1.130f, 1.248f, 0.113f});
  const char* ring[] = {"C1", "C2", "C3", "C4", "C5", "O5", "C1"};
  const float length[] = {1.531f, 1.532f, 1.532f, 1.531f, 1.430f, 1.429f};
  for (int k = 0; k < 6; ++k) add_l1_bond(ring[k], ring[k + 1], length[k]);
}

}  // namespace descr
