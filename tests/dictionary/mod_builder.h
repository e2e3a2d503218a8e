// Modification records written into the dictionary tables, one call a row.
// The codes and their effects follow the library's standard modifications
// (the peptide "AA-STAND" drops the carboxyl OXT, "NH3" adds the hydrogens of
// a terminal amine), trimmed to what a test needs.
#pragma once

#include <initializer_list>

#include "dictionary/lib_com.h"

namespace descr {

inline void clear_mods() {
  r_scratch_t& r = r_scratch;
  r.ldl_nmod = r.lda_natom = r.ldn_nconn = r.ldb_nbond = r.ldg_nangl = r.ldt_ntors = 0;
  r.ldc_nchir = r.ldp_nplan = 0;
}

// Starts modification `code`; the rows below belong to the last one started.
inline void mod_begin(const char* code) {
  r_scratch_t& r = r_scratch;
  const int l = ++r.ldl_nmod;
  r.ldl_mname(l) = code;
  r.ldl_iatom(l) = r.ldl_iconn(l) = r.ldl_ibond(l) = r.ldl_ithet(l) = 0;
  r.ldl_itors(l) = r.ldl_iplan(l) = r.ldl_ichir(l) = 0;
}

inline void first_row(rt::Array1<int32_t, MAXDMDF>& start, int row) {
  const int l = r_scratch.ldl_nmod;
  if (start(l) == 0) start(l) = row;
}

inline void mod_atom(const char* funct, const char* aname, const char* anew, const char* symb = ".",
                     const char* chem = ".", float charg = 0.0f) {
  r_scratch_t& r = r_scratch;
  const int k = ++r.lda_natom;
  r.lda_mname(k) = r.ldl_mname(r.ldl_nmod);
  r.lda_funct(k) = funct;
  r.lda_aname(k) = aname;
  r.lda_anew(k) = anew;
  r.lda_symb(k) = symb;
  r.lda_chem(k) = chem;
  r.lda_charg(k) = charg;
  first_row(r.ldl_iatom, k);
}

inline void mod_tree(const char* funct, const char* atom, const char* back, const char* forw,
                     const char* type, const char* a1 = ".", const char* a2 = ".",
                     const char* btype = ".") {
  r_scratch_t& r = r_scratch;
  const int k = ++r.ldn_nconn;
  r.ldn_mname(k) = r.ldl_mname(r.ldl_nmod);
  r.ldn_funct(k) = funct;
  r.ldn_atom(k) = atom;
  r.ldn_back(k) = back;
  r.ldn_forw(k) = forw;
  r.ldn_type(k) = type;
  r.ldn_1atm(k) = a1;
  r.ldn_2atm(k) = a2;
  r.ldn_btype(k) = btype;
  first_row(r.ldl_iconn, k);
}

inline void mod_bond(const char* funct, const char* a1, const char* a2, float val,
                     const char* type = ".") {
  r_scratch_t& r = r_scratch;
  const int k = ++r.ldb_nbond;
  r.ldb_mname(k) = r.ldl_mname(r.ldl_nmod);
  r.ldb_funct(k) = funct;
  r.ldb_1atm(k) = a1;
  r.ldb_2atm(k) = a2;
  r.ldb_type(k) = type;
  r.ldb_val(k) = val;
  r.ldb_dev(k) = 0.0f;
  r.ldb_vobs(k) = 0.0f;
  first_row(r.ldl_ibond, k);
}

inline void mod_angle(const char* funct, const char* a1, const char* a2, const char* a3,
                      float val) {
  r_scratch_t& r = r_scratch;
  const int k = ++r.ldg_nangl;
  r.ldg_mname(k) = r.ldl_mname(r.ldl_nmod);
  r.ldg_funct(k) = funct;
  r.ldg_1atm(k) = a1;
  r.ldg_2atm(k) = a2;
  r.ldg_3atm(k) = a3;
  r.ldg_val(k) = val;
  r.ldg_dev(k) = r.ldg_vobs(k) = 0.0f;
  first_row(r.ldl_ithet, k);
}

inline void mod_tors(const char* funct, const char* a1, const char* a2, const char* a3,
                     const char* a4, float val, int prd, const char* label) {
  r_scratch_t& r = r_scratch;
  const int k = ++r.ldt_ntors;
  r.ldt_mname(k) = r.ldl_mname(r.ldl_nmod);
  r.ldt_funct(k) = funct;
  r.ldt_1atm(k) = a1;
  r.ldt_2atm(k) = a2;
  r.ldt_3atm(k) = a3;
  r.ldt_4atm(k) = a4;
  r.ldt_val(k) = val;
  r.ldt_dev(k) = r.ldt_vobs(k) = 0.0f;
  r.ldt_prd(k) = prd;
  r.ldt_label(k) = label;
  first_row(r.ldl_itors, k);
}

inline void mod_chir(const char* funct, const char* c, const char* a2, const char* a3,
                     const char* a4, const char* sign, float vol = 0.0f) {
  r_scratch_t& r = r_scratch;
  const int k = ++r.ldc_nchir;
  r.ldc_mname(k) = r.ldl_mname(r.ldl_nmod);
  r.ldc_funct(k) = funct;
  r.ldc_1atm(k) = c;
  r.ldc_2atm(k) = a2;
  r.ldc_3atm(k) = a3;
  r.ldc_4atm(k) = a4;
  for (auto* col : {&r.ldc_5atm, &r.ldc_6atm, &r.ldc_7atm, &r.ldc_8atm, &r.ldc_9atm})
    (*col)(k) = ".";
  r.ldc_sign(k) = sign;
  r.ldc_vol(k) = vol;
  first_row(r.ldl_ichir, k);
}

inline void mod_plane(const char* funct, const char* label,
                      std::initializer_list<const char*> atoms, float dev = 0.02f) {
  r_scratch_t& r = r_scratch;
  const int k = ++r.ldp_nplan;
  r.ldp_mname(k) = r.ldl_mname(r.ldl_nmod);
  r.ldp_funct(k) = funct;
  r.ldp_label(k) = label;
  int m = 0;
  for (const char* a : atoms) {
    ++m;
    r.ldp_atom(m, k) = a;
    r.ldp_dev(m, k) = dev;
  }
  r.ldp_natom(k) = m;
  first_row(r.ldl_iplan, k);
}

}  // namespace descr
