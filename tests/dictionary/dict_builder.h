// Dictionary entries written into the monomer list and its row tables, as
// the library readers leave them: an entry, then its rows in order, each
// kind starting at the entry's start pointer.
#pragma once

#include <initializer_list>

#include "descr_builder.h"
#include "dictionary/lib_com.h"
#include "foundation/residue_class.h"
#include "mod_builder.h"

namespace descr {

inline void clear_dictionary() {
  init_cnt_();
  r_scratch_t& r = r_scratch;
  r.lml_nmon = r.lml_imon = r.lms_nsyn = r.ldr_nder = 0;
  clear_mods();
  init_res_type_tab_();
}

inline int add_entry(const char* code, const char* fuse = "Y", const char* name = ".") {
  r_scratch_t& r = r_scratch;
  const int l = ++r.lml_nmon;
  r.lml_mname(l) = code;
  r.lml_mname2(l) = code;
  r.lml_code1(l) = ".";
  r.lml_name(l) = name;
  r.lml_form(l) = ".";
  r.lml_type(l) = "L-peptide";
  r.lml_mode(l) = ".";
  r.lml_fuse(l) = fuse;
  r.lml_prsnt(l) = ".";
  r.lml_pass(l) = 1;
  r.lml_natm(l) = r.lml_nhatm(l) = 0;
  r.lml_iatom(l) = r.lml_iconn(l) = r.lml_ibond(l) = r.lml_ithet(l) = 0;
  r.lml_itors(l) = r.lml_iplan(l) = r.lml_ichir(l) = 0;
  return l;
}

inline int next_row(int32_t& count, rt::Array1<int32_t, MAXMLIST>& start, int l) {
  const int row = ++count;
  if (start(l) == 0) start(l) = row;
  return row;
}

inline void row_atom(int l, const Atom& a) {
  r_scratch_t& r = r_scratch;
  const int row = next_row(r.lma_natom, r.lml_iatom, l);
  r.lma_mname(row) = r.lml_mname(l);
  r.lma_aname(row) = a.name;
  r.lma_symb(row) = a.symb;
  r.lma_chem(row) = a.chem;
  r.lma_back(row) = a.back;
  r.lma_forw(row) = a.forw;
  r.lma_type(row) = ".";
  r.lma_coor_flag(row) = "Y";
  r.lma_x(row) = a.x;
  r.lma_y(row) = a.y;
  r.lma_z(row) = a.z;
  r.lma_charg(row) = 0.0f;
  r.lma_sf_id(row) = 0;
  ++r.lml_natm(l);
}

inline void row_bond(int l, const char* a1, const char* a2, float val) {
  r_scratch_t& r = r_scratch;
  const int row = next_row(r.lmb_nbond, r.lml_ibond, l);
  r.lmb_mname(row) = r.lml_mname(l);
  r.lmb_1atm(row) = a1;
  r.lmb_2atm(row) = a2;
  r.lmb_type(row) = "single";
  r.lmb_val(row) = val;
  r.lmb_dev(row) = 0.02f;
}

inline void row_angle(int l, const char* a1, const char* a2, const char* a3, float val) {
  r_scratch_t& r = r_scratch;
  const int row = next_row(r.lmg_nangl, r.lml_ithet, l);
  r.lmg_mname(row) = r.lml_mname(l);
  r.lmg_1atm(row) = a1;
  r.lmg_2atm(row) = a2;
  r.lmg_3atm(row) = a3;
  r.lmg_val(row) = val;
  r.lmg_dev(row) = 3.0f;
}

inline void row_conn(int l, const char* a1, const char* a2) {
  r_scratch_t& r = r_scratch;
  const int row = next_row(r.lmn_nconn, r.lml_iconn, l);
  r.lmn_mname(row) = r.lml_mname(l);
  r.lmn_1atm(row) = a1;
  r.lmn_2atm(row) = a2;
  r.lmn_type(row) = "ADD";
}

// Alanine's heavy atoms, bonds and backbone angle (Engh & Huber 1991).
inline int alanine_entry(const char* code = "ALA", const char* fuse = "Y") {
  const int l = add_entry(code, fuse, "ALANINE");
  row_atom(l, {"N", "N", "NH1", ".", "CA", -0.966f, 0.493f, 1.500f});
  row_atom(l, {"CA", "C", "CH1", "N", "C", 0.257f, 0.418f, 0.692f});
  row_atom(l, {"C", "C", "C", "CA", "END", -0.094f, 0.017f, -0.716f});
  row_atom(l, {"O", "O", "O", "C", ".", -1.056f, -0.682f, -0.923f});
  row_atom(l, {"CB", "C", "CH3", "CA", ".", 1.204f, -0.620f, 1.296f});
  row_atom(l, {"OXT", "O", "OC", "C", ".", 0.661f, 0.439f, -1.742f});
  row_bond(l, "N", "CA", 1.468f);
  row_bond(l, "CA", "C", 1.505f);
  row_bond(l, "CA", "CB", 1.529f);
  row_bond(l, "C", "O", 1.207f);
  row_bond(l, "C", "OXT", 1.342f);
  row_angle(l, "N", "CA", "C", 111.2f);
  return l;
}

// The pyranose ring of N-acetylglucosamine (NAG), its tree running
// C1-C2-C3-C4-C5-O5; the ring closes with the bond O5-C1.
inline int sugar_entry() {
  const int l = add_entry("NAG", "Y", "N-ACETYL-D-GLUCOSAMINE");
  r_scratch.lml_type(l) = "D-pyranose";
  row_atom(l, {"C1", "C", "CH1", ".", "C2", 0.185f, 1.082f, -0.421f});
  row_atom(l, {"C2", "C", "CH1", "C1", "C3", 0.790f, -0.220f, 0.112f});
  row_atom(l, {"C3", "C", "CH1", "C2", "C4", -0.124f, -1.390f, -0.265f});
  row_atom(l, {"C4", "C", "CH1", "C3", "C5", -1.526f, -1.129f, 0.294f});
  row_atom(l, {"C5", "C", "CH1", "C4", "O5", -2.042f, 0.207f, -0.246f});
  row_atom(l, {"O5", "O", "O2", "C5", "END", -1.130f, 1.248f, 0.113f});
  row_bond(l, "C1", "C2", 1.531f);
  row_bond(l, "C2", "C3", 1.532f);
  row_bond(l, "C3", "C4", 1.532f);
  row_bond(l, "C4", "C5", 1.531f);
  row_bond(l, "C5", "O5", 1.430f);
  row_bond(l, "C1", "O5", 1.429f);
  row_angle(l, "C1", "C2", "C3", 110.0f);
  return l;
}

}  // namespace descr
