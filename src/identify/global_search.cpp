// Global library search for one residue.  The index (a fingerprint of the
// heavy-atom graph) picks a monomer of the same size and shape, which is
// accepted only when the graph match gives every atom its own name and the
// model has the monomer's hands; else the candidate pool is searched for a
// larger monomer that contains the residue, again with the model's hands;
// else the residue gets a description of its bare atoms for the builder.
#include "identify/global_search.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "dictionary/dict_index.h"
#include "dictionary/element_table.h"
#include "dictionary/lib_com.h"
#include "dictionary/lib_loading.h"
#include "dictionary/lib_to_work.h"
#include "dictionary/new_bonds.h"
#include "dictionary/new_entries.h"
#include "foundation/atom_com.h"
#include "foundation/lookup_index.h"
#include "foundation/messages.h"
#include "identify/candidate_pool.h"
#include "identify/coord_bonds.h"
#include "identify/graph_compare.h"
#include "identify/name_transfer.h"
#include "identify/residue_index.h"
#include "identify/subgraph_search.h"
#include "identify/work_residue.h"
#include "runtime/format.h"

namespace {

void set_class(rt::FixedText<1>& out, std::string_view symb) {
  const char c = dictionary::bond_class(symb);
  out = std::string_view(&c, 1);
}

// L1 as a new monomer made of the residue's atoms: no bonds, no tree.
// ierr 1 when the element table is full (reported by the table).
void l1_from_coordinates(int32_t mdoc, std::string_view mon, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  const rt::FixedText<8> name(mon);
  new_l1_header(name, name);
  r.l1l_type = "non-polymer";
  r.l1l_prsnt = "N";
  r.c1_rname = name;
  r.l1a_natom = r.l1l_natm = r.c1_natom;
  r.l1l_nhatm = r.l1a_nhatom = 0;
  for (int i = 1; i <= r.c1_natom; ++i) {
    l1_atom_from_c1(i, i, r.c1_asymb(i));
    const int sf = r.c1_sf_id(i);
    if (sf < 1 || sf > MAXNSF) continue;
    rt::FixedText<4> symb = crst_crd.cs_atype(sf);
    int32_t insf = 0, status = 0;
    chkasym_(mdoc, symb, insf, status);
    r.l1a_sf_id(i) = insf;
    // An element the table does not know is a warning (it stands in as
    // nitrogen); only a full table is an error.
    if (status == 1) ierr = 1;
  }
}

// C2 names all different from one another, so that renaming the residue's
// atoms by them gives no two atoms one name.
bool c2_names_distinct() {
  r_scratch_t& r = r_scratch;
  static foundation::LookupIndex<4, MX1ATOM> seen;
  seen.clear();
  for (int i = 1; i <= r.c1_natom; ++i) {
    if (seen.contains(r.c2_aname(i).view())) return false;
    seen.add(r.c2_aname(i).view(), i);
  }
  return true;
}

// The residue's atoms keep their own names (C2 back to C1's names) for a
// description made under them, with a warning that names each atom whose
// name the bonds give to another atom of the monomer mon_lib.
void keep_own_names(int32_t mdd, std::string_view mon, std::string_view mon_lib) {
  r_scratch_t& r = r_scratch;
  bool first = true;
  for (int i = 1; i <= r.c1_natom; ++i) {
    if (r.c2_aname(i) == r.c1_aname(i)) continue;
    if (first) {
      msgdoc_(mdd, rt::fmt("(' WARNING : residue: ',A8,' ',A5,' chain:',A4)", mon, r.c1_pnum.sub(3, 7),
                           r.c1_pnum.sub(8, 11)));
      msgdoc_(mdd, "           atom names do not fit the bonds of " + std::string(rt::trim_right(mon_lib)) +
                       "; the new description keeps them:");
      first = false;
    }
    msgdoc_(mdd, "           \"" + r.c1_aname(i).str() + "\" is bonded as \"" + r.c2_aname(i).str() + "\"");
    r.c2_aname(i) = r.c1_aname(i);
  }
}

// A centre the model gives a volume smaller than this (A^3) has no hand
// to keep: it is as good as flat, or its atoms are misplaced.
constexpr float kHandVolume = 0.5f;

// Position of the residue atom named `name` in C1, when it has coordinates.
bool c1_position(const rt::FixedText<4>& name, float (&x)[3]) {
  const r_scratch_t& r = r_scratch;
  for (int i = 1; i <= r.c1_natom; ++i) {
    if (!(r.c1_aname(i) == name)) continue;
    if (r.c1_occ(i) < 1.0e-4f) return false;
    for (int k = 0; k < 3; ++k) x[k] = r.c1_xyz(k + 1, i);
    return true;
  }
  return false;
}

// The first signed chiral row of L1 (named as the residue's atoms in C1)
// whose sign the residue's coordinates oppose beyond a small volume, with
// that volume; 0 when none does.  A row with an atom the residue lacks is
// not judged.
int opposed_hand(float& volume) {
  const r_scratch_t& r = r_scratch;
  for (int k = 1; k <= r.l1c_nchir; ++k) {
    const std::string_view sign = r.l1c_sign(k).view();
    const bool positive = sign.starts_with("posi");
    if (!positive && !sign.starts_with("nega")) continue;
    float p[4][3];
    if (!c1_position(r.l1c_1atm(k), p[0]) || !c1_position(r.l1c_2atm(k), p[1]) ||
        !c1_position(r.l1c_3atm(k), p[2]) || !c1_position(r.l1c_4atm(k), p[3]))
      continue;
    double a[3], b[3], c[3];
    for (int j = 0; j < 3; ++j) {
      a[j] = p[1][j] - p[0][j];
      b[j] = p[2][j] - p[0][j];
      c[j] = p[3][j] - p[0][j];
    }
    const double v = a[0] * (b[1] * c[2] - b[2] * c[1]) + a[1] * (b[2] * c[0] - b[0] * c[2]) +
                     a[2] * (b[0] * c[1] - b[1] * c[0]);
    if (std::fabs(v) < kHandVolume || (v > 0) == positive) continue;
    volume = static_cast<float>(v);
    return k;
  }
  return 0;
}

// A monomer the graph match found is taken only with the model's hands: a
// residue of the opposite hand (a D-amino acid, the other anomer of a
// sugar) keeps its name and gets a description of its own.  False, with a
// warning naming the first opposed centre, when the hands disagree.
bool hands_agree(int32_t mdd, std::string_view mon, std::string_view mon_lib) {
  const r_scratch_t& r = r_scratch;
  float v = 0;
  const int k = opposed_hand(v);
  if (k == 0) return true;
  msgdoc_(mdd, rt::fmt("(' WARNING : residue: ',A8,' ',A5,' chain:',A4)", mon, r.c1_pnum.sub(3, 7),
                       r.c1_pnum.sub(8, 11)));
  msgdoc_(mdd, "           the model's hand at \"" + r.l1c_1atm(k).str() + "\" is not that of " +
                   std::string(rt::trim_right(mon_lib)) + " (" + std::string(r.l1c_sign(k).trimmed()) +
                   rt::fmt("(F7.2)", v) + " A^3); the new description keeps the model's hands");
  return false;
}

// Entry i of the library index whose list entry exists; first in index order.
int index_winner(int32_t n, const rt::FixedText<30>& c_content, const rt::FixedText<24>& c_index,
                 const rt::FixedText<24>& c_pair, int32_t md, int& l) {
  r_scratch_t& r = r_scratch;
  for (int i = 1; i <= r.lmx_nmon; ++i) {
    if (r.lmx_natom(i) != n) continue;
    int32_t dc = 0, di = 0, dp = 0, ierr = 0;
    calc_index_diff_(99, c_content, c_index, c_pair, r.lmx_content(i), r.lmx_index(i), r.lmx_pair(i), dc, di, dp,
                     ierr);
    if (dc != 0 || di != 0 || dp != 0) continue;
    msgdoc_(md, rt::fmt("('-->',I4,';',A,';',A30,';',A24,';')", r.lmx_natom(i), r.lmx_mname(i), r.lmx_content(i),
                        r.lmx_index(i)));
    msgdoc_(md, rt::fmt("('          :',A24,';',3I4)", r.lmx_pair(i), dc, di, dp));
    l = dictionary::find_list_entry(r.lmx_mname(i).view(), false);
    if (l > 0) return i;
  }
  return 0;
}

}  // namespace

void check_cmp_mon3_(int32_t& mdoc, char list, int32_t it, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  if (list == 'S') mdoc = 99;
  if (r.l1a_natom < 1) {
    msgerr_(mdoc, rt::fmt("(A,A,A,I6)", " ERROR: number of atoms in monomer (lib) ", r.l1l_mname, " = ", r.l1a_natom));
    ierr = 1;
    return;
  }
  const rt::FixedText<8> mon = r.l1l_mname;
  const std::string chain(r.c1_pnum.sub(1, 2));
  const std::string resnum(r.c1_pnum.sub(3, 7));
  if (r.c1_natom < 1) return;
  r.l1a_nhatom = 0;
  for (int i = 1; i <= r.l1a_natom; ++i) {
    r.l1a_inew(i) = r.l1a_iold(i) = i;
    r.l1a_icr(i) = r.l1a_ndist(i) = r.l1a_iback(i) = r.l1a_iforw(i) = r.l1a_ichem(i) = 0;
    for (int k = 1; k <= MAX1BRN; ++k) r.l1a_conn(k, i) = r.l1a_lencon(k, i) = 0;
    for (int k = 1; k <= MAX1EXT; ++k) r.l1a_iextr(k, i) = r.l1a_textr(k, i) = 0;
    set_class(r.l1a_atype(i), r.l1a_symb(i).view());
    if (r.l1a_atype(i) == "H") ++r.l1a_nhatom;
  }
  if (it == 1) return;
  lib_conn_(mdoc, "    ", ierr);
  crd_conn_(mdoc, "    ", ierr);
  check_compl_(mdoc, list, "    ", 2, mon, ierr);
  if ((list == 'T' || list == 'L') && ierr != 0) {
    msgerr_(mdoc, rt::fmt("(' WARNING : residue: ',A,' ',A,' chain:',A)", mon, resnum, chain));
    msgerr_(mdoc, rt::fmt("(A,A,A,I2)", " WARNING : ", mon, " : program can not match library description....", ierr));
  }
}

void global_search_new_(int32_t mdoc, char list, std::string_view mon, rt::FixedText<8>& mon_new,
                        rt::FixedText<1>& new_flag, char srch, int32_t /*nmon_crt_new*/, int32_t /*ig*/,
                        int32_t /*ir*/, int32_t /*ias*/, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  int32_t m = 99;  // the callees here work silently
  const int32_t quiet = -std::abs(mdoc) - 1;
  const int32_t md = list == 'T' ? mdoc : quiet;
  const int32_t mdd = (list == 'T' || list == 'L' || list == 'M') ? mdoc : quiet;
  const rt::FixedText<8> monf(mon);
  rt::FixedText<30> c_content(".");
  rt::FixedText<24> c_index("."), c_pair(".");
  int32_t n = 0;
  int l = 0;
  // The index's monomer, when the graph match gave some atoms other names
  // (C2 then holds them).
  rt::FixedText<8> renamed_by("");

  bool by_index = false;
  if (r.lmx_nmon < 1 || r.c1_natom <= 5) {
    mon_new.blank();
  } else {
    for (int i = 1; i <= r.c1_natom; ++i) {
      r.s1_ndist(i) = 0;
      set_class(r.c1_atype(i), r.c1_asymb(i).view());
    }
    crd_conn_(mdoc, "    ", ierr);
    calc_index_crd_(m, monf, n, c_content, c_index, c_pair, ierr);
    msgdoc_(md, rt::fmt("('OLD-->',I4,';',A,';',A30,';',A24,';')", n, monf, c_content, c_index));
    msgdoc_(md, rt::fmt("('          :',A24,';')", c_pair));
    msgdoc_(md, "");
    const int win = index_winner(n, c_content, c_index, c_pair, md, l);
    if (win == 0 || r.lmx_mname(win) == monf) {
      mon_new.blank();
    } else {
      mon_new = r.lmx_mname(win);
      msgdoc_(mdd, " WARNING : monomer looks like " + mon_new.str() + "the program will try to use this");
      if (r.lml_fuse(l) == "N") {
        r.lml_fuse(l) = "R";
        read_lib_(m, "M", 'N', list, ierr);
        if (ierr != 0) return;
      }
      if (list == 'T') {
        msgerr_(mdoc, "           program will try to use this one");
        rt::write_fmt(6, "('NEW-->',I4,';',A,';',A30,';',A24,';')", n, r.lmx_mname(win), r.lmx_content(win),
                      r.lmx_index(win));
        rt::write_fmt(6, "('          :',A24,';')", r.lmx_pair(win));
      }
      by_index = true;
    }
  }
  if (list == 'T') msgdoc_(mdoc, "--G-S :" + mon_new.str() + ";" + monf.str() + ";" + new_flag.str() + ";");

  if (by_index) {
    r.l1l_mname = mon_new;
    r.l1l_mname2 = mon_new;
    r.l1l_name = ".";
    new_flag = "Y";
    r.c1_rname = mon_new;
    const bool minimal = r.lml_prsnt(l) == "M";
    if (minimal) new_flag = "M";
    cp_mlib_(mdoc, mon_new, ierr);
    if (ierr != 0) return;
    check_cmp_mon3_(m, list, 0, ierr);
    if (ierr != 0) {
      ierr = 0;
      mon_new.blank();
      new_flag = "Y";
    } else {
      bool same = true;
      for (int i = 1; i <= r.c1_natom && same; ++i) same = r.c1_aname(i) == r.c2_aname(i);
      if (same && hands_agree(mdd, monf.view(), mon_new.view())) {
        new_flag = "N";
        if (minimal) {
          new_flag = "M";
          msgdoc_(mdd, " WARNING : monomer has the minimal description");
        }
        return;
      }
      if (!same) {
        msgdoc_(mdd, " WARNING: Some of the atom names of the monomer " + monf.str() +
                         " is different from the library desciption");
        msgdoc_(mdd, "         The program will create a new description");
        renamed_by = mon_new;
        if (minimal) msgdoc_(mdd, " WARNING : monomer has the minimal description");
      }
      new_flag = "Y";
      mon_new.blank();
    }
  }

  // The descriptions below are made under the residue's own names, while C2
  // may hold the names the graph match gave: the residue's atoms take the C2
  // names, so the description must speak them too, or the atoms keep their
  // own.
  const bool renamed = !renamed_by.is_blank();
  new_flag = "Y";
  l1_from_coordinates(mdoc, monf, ierr);
  if (srch != 'G') {
    if (renamed) keep_own_names(mdd, monf.view(), renamed_by.view());
    return;
  }
  coor_conn_(mdoc, "    ", ierr);
  int32_t nac = 0;
  lib_create_test_index2_(mdoc, 0, nac, c_content, c_index, c_pair, ierr);
  if (ierr != 0) {
    msgerr_(mdoc, " ERROR : monomer " + monf.str() + " in subroutine LIB_CREATE_TEST_INDEX2");
    ierr = 1;
    return;
  }
  if (list == 'T') {
    msgdoc_(mdoc, rt::fmt("(I4,1X,2X,1X,A8,1X,I4,1X,A30,1X,A24)", 0, monf, nac, c_content, c_index));
    msgdoc_(mdoc, rt::fmt("(17X,A24)", c_pair));
    msgdoc_(mdoc, "--- test_gm ---");
  }
  test_gm_(mdoc, list, srch, nac, c_content, c_index, c_pair, ierr);
  // The monomer holding the residue lends it its hands only where the
  // model has them too (its rows are named as the residue's atoms).
  if (ierr == 0 && !hands_agree(mdd, monf.view(), "the monomer holding it")) ierr = 1;
  if (ierr == 0) {
    mon_new = r.l1l_mname;
    new_flag = "G";
    // The derived description is the monomer's chemistry on the residue's
    // atoms: the atoms take the names the bonds gave them, and so does it,
    // in the dictionary too when the transfer stored it there.
    if (renamed && c2_names_distinct()) {
      identify::l1_names_to_c2();
      if (dictionary::find_list_entry(r.l1l_mname.view(), false) > 0) cpl_mlib_(mdoc, ierr);
    } else if (renamed) {
      keep_own_names(mdd, monf.view(), renamed_by.view());
    }
    return;
  }
  ierr = 0;
  mon_new.blank();
  l1_from_coordinates(mdoc, monf, ierr);
  if (renamed) keep_own_names(mdd, monf.view(), renamed_by.view());
}
