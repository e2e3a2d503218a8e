// The library tree check: a tree given by the library is kept when it
// renumbers cleanly and can be turned along the backbone; anything else
// gets a tree built from the bonds, and only built trees are stored back.
#include "dictionary/tree_check.h"

#include <string>
#include <string_view>

#include "dictionary/descr_precheck.h"
#include "dictionary/lib_com.h"
#include "dictionary/lib_to_work.h"
#include "dictionary/new_bonds.h"
#include "dictionary/new_entries.h"
#include "dictionary/ring_perception.h"
#include "dictionary/tree_backbone.h"
#include "dictionary/tree_create.h"
#include "dictionary/tree_renumber.h"
#include "foundation/messages.h"
#include "foundation/residue_class.h"
#include "runtime/format.h"

namespace {

void reset_work_fields() {
  r_scratch_t& r = r_scratch;
  r.l1a_istart = r.l1a_ifinish = 0;
  for (int i = 1; i <= r.l1a_natom; ++i) {
    r.l1a_inew(i) = r.l1a_iold(i) = i;
    r.l1a_icr(i) = r.l1a_ndist(i) = r.l1a_iback(i) = r.l1a_iforw(i) = r.l1a_ichem(i) = 0;
    for (int k = 1; k <= MAX1BRN; ++k) {
      r.l1a_conn(k, i) = 0;
      r.l1a_lencon(k, i) = 0;
    }
    for (int k = 1; k <= MAX1EXT; ++k) {
      r.l1a_iextr(k, i) = 0;
      r.l1a_textr(k, i) = 0;
    }
    const char c = dictionary::bond_class(r.l1a_symb(i).view());
    r.l1a_atype(i) = std::string_view(&c, 1);
  }
}

// Position of the last atom named name; 0 when there is none.
int last_named(std::string_view name) {
  const r_scratch_t& r = r_scratch;
  int pos = 0;
  for (int i = 1; i <= r.l1a_natom; ++i)
    if (r.l1a_aname(i) == name) pos = i;
  return pos;
}

}  // namespace

void check_tree_direction_(int32_t /*mdoc*/, char /*list*/, int32_t itype_res, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  if (r.l1a_natom < 3) return;
  int s_pos = 0, f_pos = 0;
  if (itype_res == 5 || itype_res == 6) {
    s_pos = last_named("O3T");
    if (s_pos == 0) s_pos = last_named("P");
    if (s_pos == 0) s_pos = last_named("O5*");
    f_pos = last_named("O3*");
  } else if (itype_res == 7 || itype_res == 8) {
    s_pos = last_named("C1");
    f_pos = last_named("O5");
  } else if (itype_res == 3 || itype_res == 4 || itype_res == 10) {
    s_pos = last_named("N");
    f_pos = last_named("C");
  } else {
    return;
  }
  if ((s_pos == 0 || s_pos == r.l1a_istart) && (f_pos == 0 || f_pos == r.l1a_ifinish)) return;
  int32_t istat = 0;
  if (s_pos >= 1 && s_pos == r.l1a_ifinish) {
    mod_tree_backbone_(0, 0, 0, istat);
    if (istat != 0) {
      ierr = 1;
      return;
    }
  }
  if (s_pos >= 1 && s_pos != r.l1a_istart) {
    mod_tree_backbone_(1, s_pos, 0, istat);
    if (istat != 0) {
      ierr = 1;
      return;
    }
  }
  if (f_pos >= 1 && f_pos != r.l1a_ifinish) {
    mod_tree_backbone_(2, 0, f_pos, istat);
    if (istat != 0) ierr = 1;
  }
}

void check_rlib_tree_(int32_t mdoc, char list, int32_t l, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  rt::FixedText<8> code;
  if (l >= 1) {
    code = r.lml_mname(l);
    int32_t natm = 0, nhatm = 0;
    count_natom_lib_(mdoc, code.view(), r.lml_iatom(l), natm, nhatm, ierr);
    if (ierr != 0) return;
    r.lml_fuse(l) = "Y";
    r.lml_natm(l) = natm;
    r.lml_nhatm(l) = nhatm;
    cp_mlib_(mdoc, code, ierr);
    if (ierr != 0) return;
    if (r.l1b_nbond >= 2 && r.l1g_nangl == 0) {
      r.lml_prsnt(l) = "M";
      r.l1l_prsnt = "M";
    }
  } else {
    code = r.l1l_mname;
  }
  if (list == 'T') msgdoc_(mdoc, "--check_rlib: " + std::string(code.view()));
  if (r.l1a_natom <= 1) return;

  char tree = 'N';
  for (int i = 1; i <= r.l1a_natom; ++i)
    if (!(r.l1a_back(i) == ".")) tree = 'Y';
  // A monomer read in a later pass of the loading keeps no library tree.
  if (l >= 1 && r.lml_pass(l) > 1) tree = 'N';

  int32_t itype_res = 1, istat = 0;
  get_ini_res_type_(mdoc, std::string(256, ' '), code.view(), itype_res, istat);

  precheck_l1_mon_description_(mdoc, list, istat);
  if (istat != 0 && istat < 100) tree = 'N';

  reset_work_fields();
  lib_conn_(mdoc, "    ", istat);

  if (r.l1l_prsnt(1) != 'M') {
    if (tree == 'Y') {
      set_num_mod_(mdoc, code.view(), rt::FixedText<12>("").view(), ierr);
      if (ierr != 0) return;
      int32_t idir = 0;
      check_tree_direction_(mdoc, list, itype_res, idir);
      if (idir != 0) tree = 'N';
    }
    if (tree == 'N') {
      int32_t nringt = 0;
      ring_(mdoc, list, nringt, 1, istat);
      create_tree_new_(mdoc, list, ierr);
      set_num_mod_(mdoc, code.view(), rt::FixedText<12>("").view(), ierr);
      if (ierr == 0) {
        check_tree_direction_(mdoc, list, itype_res, ierr);
        if (ierr == 0) tree = 'C';
      }
    }
    if (list == 'T')
      msgdoc_(mdoc, rt::list_line("== create tree: tree,ierr", std::string_view(&tree, 1), ierr));
  }
  if (ierr != 0) return;
  if (tree == 'C' || l <= 0) {
    // Any library entry, the first of the list too, is stored as read from
    // the library; only a description filled by the caller is a new one.
    r.l1l_fuse = l >= 1 ? "Y" : "C";
    cpl_mlib_(mdoc, ierr);
  }
}
