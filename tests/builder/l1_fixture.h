// Small new-monomer descriptions written straight into L1 as the earlier
// builder stages leave them (atoms with classes and coordinates, bonds with
// their atom indexes and observed lengths, neighbour lists, rings), and a
// small energy library written by hand.
//
// Energy bond lengths are the mean values of Allen et al. (1987), "Tables of
// bond lengths determined by X-ray and neutron diffraction", J. Chem. Soc.
// Perkin Trans. 2, S1-S19: C-C sp3 1.530, C=C 1.335, aromatic C-C 1.384,
// C-N amine 1.469, C=N 1.279, aromatic C-N 1.355, C-N amide 1.334 (listed as
// delocalised), C-O alcohol 1.426, C=O 1.210, carboxylate C-O 1.254, C#N
// 1.136, C-S 1.817, S-S 2.048, P-O ester 1.600, P=O 1.485, S=O 1.431;
// neutron C-H 1.083, N-H 1.009, O-H 0.967.
#pragma once

#include <cmath>
#include <initializer_list>
#include <string>

#include "dictionary/lib_com.h"
#include "foundation/messages.h"

namespace fx {

inline r_scratch_t& R() { return r_scratch; }

// Class letter of the driver from the element symbol.
inline const char* class_of(const std::string& s) {
  const std::string e = s.substr(0, 2);
  if (e == "C" || e == "N" || e == "O" || e == "B" || e == "F" || e == "LI") return "C";
  if (e == "H" || e == "D") return "H";
  if (e == "P" || e == "S") return "P";
  return "$";
}

inline void clear_l1(const char* code = "NEW") {
  r_scratch_t& r = R();
  r.l1a_natom = r.l1a_nhatom = r.l1b_nbond = r.l1c_nchir = r.l1p_nplan = 0;
  r.l1n_nconn = r.l1g_nangl = r.l1t_ntors = 0;
  r.l1l_mname = code;
  r.l1l_prsnt = "N";
  r.l1l_natm = r.l1l_nhatm = 0;
  comlib.iquiet = 0;
  comlib.idoc = 0;
}

inline int atom(const char* name, const char* symb, float x = 0, float y = 0, float z = 0,
                bool coords = true) {
  r_scratch_t& r = R();
  const int i = ++r.l1a_natom;
  r.l1a_aname(i) = name;
  r.l1a_symb(i) = symb;
  r.l1a_chem(i) = ".";
  r.l1a_type(i) = ".";
  r.l1a_atype(i) = class_of(symb);
  r.l1a_coor_flag(i) = coords ? "Y" : "N";
  r.l1a_x(i) = x;
  r.l1a_y(i) = y;
  r.l1a_z(i) = z;
  r.l1a_charg(i) = 0.0f;
  r.l1a_ndist(i) = r.l1a_nring(i) = r.l1a_ichir(i) = r.l1a_ichem(i) = r.l1a_icr(i) = 0;
  r.l1a_iback(i) = r.l1a_iforw(i) = r.l1a_nextr(i) = 0;
  for (int k = 1; k <= MAX1BRN; ++k) {
    r.l1a_conn(k, i) = r.l1a_lencon(k, i) = 0;
    r.l1a_ring_id(k, i) = r.l1a_ring_ord(k, i) = r.l1a_ring_flat(k, i) = 0;
  }
  return i;
}

inline int index_of(const std::string& name) {
  for (int i = 1; i <= R().l1a_natom; ++i)
    if (R().l1a_aname(i) == name) return i;
  return 0;
}

// A bond row with both atom indexes, its observed length and a neighbour
// entry on each side (counting hydrogen neighbours as the neighbour lists do).
inline int bond(const char* a1, const char* a2, const char* type = ".") {
  r_scratch_t& r = R();
  const int i = index_of(a1), j = index_of(a2);
  const int b = ++r.l1b_nbond;
  r.l1b_1atm(b) = a1;
  r.l1b_2atm(b) = a2;
  r.l1b_i1atm(b) = i;
  r.l1b_i2atm(b) = j;
  r.l1b_type(b) = type;
  r.l1b_val(b) = 0.0f;
  const float dx = r.l1a_x(i) - r.l1a_x(j), dy = r.l1a_y(i) - r.l1a_y(j),
              dz = r.l1a_z(i) - r.l1a_z(j);
  r.l1b_vobs(b) = std::sqrt(dx * dx + dy * dy + dz * dz);
  r.l1a_conn(++r.l1a_ndist(i), i) = j;
  r.l1a_conn(++r.l1a_ndist(j), j) = i;
  if (r.l1a_atype(j) == "H") r.l1a_lencon(1, i) += 1;
  if (r.l1a_atype(i) == "H") r.l1a_lencon(1, j) += 1;
  return b;
}

// Ring number `id` of the given atoms (their size, flat unless said).
inline void ring(int id, std::initializer_list<const char*> names, bool flat = true) {
  r_scratch_t& r = R();
  for (const char* n : names) {
    const int i = index_of(n);
    const int s = ++r.l1a_nring(i);
    r.l1a_ring_id(s, i) = id;
    r.l1a_ring_ord(s, i) = static_cast<int>(names.size());
    r.l1a_ring_flat(s, i) = flat ? 1 : 0;
  }
}

inline void clear_energy() {
  r_scratch_t& r = R();
  r.lea_natom = r.leb_nbond = r.les_nsyn = 0;
}

inline int energy_type(const char* name, const char* elem) {
  r_scratch_t& r = R();
  const int k = ++r.lea_natom;
  r.lea_aname(k) = name;
  r.lea_ename(k) = elem;
  return k;
}

inline int type_index(const char* name) {
  for (int k = 1; k <= R().lea_natom; ++k)
    if (R().lea_aname(k) == name) return k;
  return 0;
}

inline void energy_bond(const char* t1, const char* t2, float len, const char* type) {
  r_scratch_t& r = R();
  const int k = ++r.leb_nbond;
  r.leb_1atm(k) = t1;
  r.leb_2atm(k) = t2;
  r.leb_i1atm(k) = type_index(t1);
  r.leb_i2atm(k) = type_index(t2);
  r.leb_length(k) = len;
  r.leb_type(k) = type;
}

// The hand-written energy library of these tests (lengths in the header).
inline void small_energy_library() {
  clear_energy();
  for (const char* t : {"CH1", "CH2", "CH3", "CT", "C", "C1", "C2", "CR6", "CR16", "CR5", "CR15",
                        "CR56", "CR66", "CSP", "CSP1"})
    energy_type(t, "C");
  for (const char* t : {"N", "NH1", "NH2", "NT", "NT1", "NT2", "NT3", "NR5", "NR15", "NRD5", "NR6",
                        "NRD6", "NR16", "NS"})
    energy_type(t, "N");
  for (const char* t : {"O", "O2", "OH1", "OC", "OS", "OP"}) energy_type(t, "O");
  for (const char* t : {"S2", "SH1", "S1", "S3", "ST"}) energy_type(t, "S");
  energy_type("P", "P");
  energy_type("H", "H");
  energy_bond("CH2", "CH2", 1.530f, "single");
  energy_bond("C", "C", 1.335f, "double");
  energy_bond("CR6", "CR6", 1.384f, "aromatic");
  energy_bond("CH1", "NT1", 1.469f, "single");
  energy_bond("C", "N", 1.279f, "double");
  energy_bond("CR5", "NR5", 1.355f, "aromatic");
  energy_bond("C", "NH1", 1.334f, "deloc");
  energy_bond("CH1", "OH1", 1.426f, "single");
  energy_bond("C", "O", 1.210f, "double");
  energy_bond("C", "OC", 1.254f, "deloc");
  energy_bond("CSP", "NS", 1.136f, "triple");
  energy_bond("CH2", "S2", 1.817f, "single");
  energy_bond("S2", "S2", 2.048f, "single");
  energy_bond("P", "O2", 1.600f, "single");
  energy_bond("P", "OP", 1.485f, "double");
  energy_bond("ST", "OS", 1.431f, "double");
  energy_bond("CH1", "H", 1.083f, "single");
  energy_bond("NH1", "H", 1.009f, "single");
  energy_bond("OH1", "H", 0.967f, "single");
}

// A bond whose observed length is given instead of measured.
inline int bond_len(const char* a1, const char* a2, float len, const char* type = ".") {
  const int b = bond(a1, a2, type);
  R().l1b_vobs(b) = len;
  return b;
}

inline std::string type_of(int b) { return std::string(R().l1b_type(b).trimmed()); }
inline std::string chem_of(const char* name) {
  return std::string(R().l1a_chem(index_of(name)).trimmed());
}

}  // namespace fx
