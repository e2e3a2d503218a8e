// Dictionary entries as the library readers leave them, made by storing a
// work description built in L1 as a new entry.
#pragma once

#include "descr_builder.h"
#include "dictionary/lib_com.h"
#include "dictionary/new_entries.h"
#include "foundation/messages.h"
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

// Stores L1 under code with fuse flag fuse; returns the entry.
inline int store_l1(const char* code, const char* fuse = "Y", const char* name = ".") {
  r_scratch_t& r = r_scratch;
  r.l1l_mname = code;
  r.l1l_fuse = fuse;
  r.l1l_name = name;
  r.l1l_prsnt = ".";
  r.l1l_mode = ".";
  int32_t ierr = 0;
  cpl_mlib_(0, ierr);
  return r.lml_nmon;
}

// Alanine as an entry, with the backbone angle N-CA-C (Engh & Huber 1991).
inline int alanine_entry(const char* code = "ALA", const char* fuse = "Y") {
  alanine_l1();
  add_l1_angle("N", "CA", "C", 111.2f);
  return store_l1(code, fuse, "ALANINE");
}

inline int sugar_entry() {
  sugar_l1();
  add_l1_angle("C1", "C2", "C3", 110.0f);
  const int l = store_l1("NAG", "Y", "N-ACETYL-D-GLUCOSAMINE");
  r_scratch.lml_type(l) = "D-pyranose";
  return l;
}

}  // namespace descr
