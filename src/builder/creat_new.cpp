// The builder driver.  It owns only the order of the stages, the message
// routing, the resets between stages, the atom classes, the residue-type
// look-up and the final bookkeeping; every stage reports through its status
// and the first failure ends the build with L1 as that stage left it.
#include "builder/creat_new.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "builder/bond_types.h"
#include "builder/chem_types.h"
#include "builder/chiral_centres.h"
#include "builder/conjugation.h"
#include "builder/descr_dump.h"
#include "builder/geom_common.h"
#include "builder/h_coords.h"
#include "builder/ideal_pass.h"
#include "builder/planes.h"
#include "builder/valency.h"
#include "dictionary/element_table.h"
#include "dictionary/lib_com.h"
#include "dictionary/new_bonds.h"
#include "dictionary/new_input_checks.h"
#include "dictionary/ring_perception.h"
#include "dictionary/tree_check.h"
#include "dictionary/tree_create.h"
#include "dictionary/tree_numbering.h"
#include "drawing/new_monomer_report.h"
#include "foundation/atom_names.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"

using builder::geom::fi;
using builder::geom::iw;
using builder::geom::Name;

namespace {

int heavy_atoms() {
  const r_scratch_t& s = r_scratch;
  int n = 0;
  for (int a = 1; a <= s.l1a_natom; ++a)
    if (!dictionary::is_hydrogen(s.l1a_symb(a))) ++n;
  return n;
}

// Position of the monomer's type in the residue-type vocabulary, compared
// over the used length of l1l_type only; 1 when none matches.
int32_t residue_type_code() {
  const std::string_view t = r_scratch.l1l_type.trimmed();
  for (int p = 1; p <= cif_types.n_res_type; ++p) {
    const std::string_view v = cif_types.res_type(p).view();
    if (v.substr(0, t.size()) == t) return p;
  }
  return 1;
}

// The per-atom table of the trace mode.
void atom_table(int32_t mdoc, bool charges) {
  const r_scratch_t& s = r_scratch;
  for (int a = 1; a <= s.l1a_natom; ++a) {
    if (charges) std::printf("charge:%s\n", builder::geom::ff(s.l1a_charg(a)).c_str());
    std::string line = iw(a, 4) + " " + s.l1a_aname(a).str() + iw(s.l1a_iback(a), 4) +
                       iw(s.l1a_iforw(a), 4) + iw(s.l1a_ichir(a), 4) + iw(s.l1a_ichem(a), 4) +
                       iw(s.l1a_ndist(a), 4);
    for (int k = 1; k <= 5; ++k) line += iw(s.l1a_conn(k, a), 4);
    line += iw(s.l1a_nextr(a), 4);
    for (int k = 1; k <= 5; ++k) line += iw(s.l1a_iextr(k, a), 4);
    line += ' ' + s.l1a_chem(a).str();
    msgdoc_(mdoc, line);
  }
}

void fail_line(int32_t mdoc, std::string_view routine) {
  msgerr_(mdoc, " ERROR: in subroutine " + std::string(routine));
}

}  // namespace

void creat_new_(int32_t mmdoc, char list, std::string_view mode_i, std::string_view pnum,
                std::string_view name, float vangle, int32_t& ierr) {
  r_scratch_t& s = r_scratch;
  int32_t mdoc = mmdoc, md = mmdoc, mt = 99;
  if (list == 'T') {
    mt = mmdoc;
  } else if (list == 'S') {
    mdoc = md = 99;
  } else if (list != 'L') {
    md = -(std::abs(mmdoc) + 1);
  }
  ierr = 0;
  std::string mode = "CONN";
  const char coor = rt::text_eq(mode_i, "TEST") ? 'Y' : 'N';
  const std::string mon = s.l1l_mname.str();
  const char prsnt = s.l1l_prsnt(1);
  if (prsnt != 'N' && prsnt != 'M') {
    msgdoc_(md, " ERROR in MAKE_NEW: " + mon + " : L1L_PRSNT must be N or M");
    ierr = 1;
    return;
  }
  if (list == 'T')
    msgerr_(mdoc, "---make_new :prsnt,coor: " + s.l1l_prsnt.str() + " " + std::string(1, coor));
  if (s.l1a_natom <= 0) {
    msgerr_(mdoc, " ERROR: number of atoms in new monomer " + mon + " = " + iw(s.l1a_natom, 4));
    ierr = 1;
    return;
  }
  for (int i = 1; i <= s.l1a_natom; ++i)
    for (int j = i + 1; j <= s.l1a_natom; ++j)
      if (std::memcmp(s.l1a_aname(i).c, s.l1a_aname(j).c, 4) == 0) {
        msgerr_(mdoc,
                " ERROR : " + mon + " : duplicated atom_name : \"" + s.l1a_aname(i).str() + "\".");
        ierr = 1;
      }
  if (ierr != 0) return;
  for (int a = 1; a <= s.l1a_natom; ++a)
    s.l1a_atype(a)(1) = dictionary::bond_class(s.l1a_symb(a).view());

  char chem_flag = 'N';
  if (prsnt == 'N') {
    mode = "COOR";
    check_list_atom_(mdoc, ierr);
    if (ierr != 0) return;
  } else {
    mode = "CONN";
    chem_flag = 'Y';
    check_list_bond_(mdoc, chem_flag, ierr);
    if (ierr != 0) return;
  }
  if (list == 'T') msgerr_(mdoc, "---chir before:" + fi(s.l1c_nchir) + " " + s.l1l_prsnt.str());
  s.l1a_nhatom = 0;
  if (prsnt == 'M') {
    check_chir_atom_(mdoc, ierr);
    if (ierr != 0) return;
  } else {
    s.l1c_nchir = 0;
  }
  if (list == 'T') msgerr_(mdoc, "---chir after:" + fi(s.l1c_nchir) + " " + s.l1l_prsnt.str());

  s.l1n_nconn = s.l1t_ntors = s.l1p_nplan = s.l1g_nangl = 0;
  for (int i = 1; i <= s.l1a_natom; ++i) {
    s.l1a_ichir(i) = s.l1a_ndist(i) = s.l1a_ichem(i) = s.l1a_icr(i) = 0;
    s.l1a_iback(i) = s.l1a_iforw(i) = s.l1a_nring(i) = 0;
    for (int k = 1; k <= MAX1BRN; ++k) {
      s.l1a_conn(k, i) = s.l1a_lencon(k, i) = 0;
      s.l1a_ring_id(k, i) = s.l1a_ring_ord(k, i) = s.l1a_ring_flat(k, i) = 0;
    }
    for (int k = 1; k <= MAX1EXT; ++k) s.l1a_iextr(k, i) = s.l1a_textr(k, i) = 0;
    s.l1a_iold(i) = s.l1a_inew(i) = i;
    s.l1a_type(i) = ".";
    s.l1a_back(i) = ".";
    s.l1a_forw(i) = ".";
    if (chem_flag != 'Y') s.l1a_chem(i) = ".";
  }

  int32_t itype_res = 1, nringt = 0;
  if (s.l1a_natom == 1) {
    s.l1a_istart = s.l1a_ifinish = 1;
    s.l1a_nring(1) = 0;
    s.l1a_back(1) = ".";
    s.l1a_chem(1) = s.l1a_symb(1);
    s.l1a_forw(1) = "END";
  } else if (rt::text_eq(s.l1l_mname.view(), foundation::kDummyResidue)) {
    // Dummy atoms mark places (OPM's membrane planes, far apart) and are
    // bonded to nothing: each hangs on the one before without a bond, so
    // that none is restrained.
    const int n = s.l1a_natom;
    s.l1a_istart = 1;
    s.l1a_ifinish = n;
    for (int i = 1; i <= n; ++i) {
      s.l1a_chem(i) = s.l1a_symb(i);
      s.l1a_iback(i) = i - 1;
      s.l1a_iforw(i) = i == n ? 0 : i + 1;
      if (i > 1) {
        s.l1a_back(i) = s.l1a_aname(i - 1);
        s.l1a_type(i) = "DUMMY";
      }
      if (i < n) s.l1a_forw(i) = s.l1a_aname(i + 1);
      else s.l1a_forw(i) = "END";
    }
  } else {
    write_test_(mt, 1, " --- before lib_conn/coor_conn ---");
    if (prsnt != 'M') {
      list_bonds_from_coor_(mdoc, ierr);
      if (ierr != 0) return;
    }
    write_test_(mt, 2, " --- before REMOVE_TRIANGLE_H ---");
    remove_triangle_h_(mdoc, ierr);
    ierr = 0;
    write_test_(mt, 2, " --- after REMOVE_TRIANGLE_H ---");
    lib_conn_(mdoc, mode, ierr);
    if (ierr != 0) return;
    write_test_(mt, 2, " --- after lib_conn/coor_conn ---");
    check_connectivity_(mdoc, list, ierr);
    if (ierr != 0) return;
    write_test_(mt, 2, " --- after  CHECK_CONNECTIVITY---");
    define_chir_flag_(mdoc, ierr);
    if (ierr != 0) return;
    if (list == 'T') {
      msgdoc_(mdoc, " --- before ring -- chem_flag:" + std::string(1, chem_flag));
      msgdoc_(mdoc, "first,LAST:" + fi(s.l1a_istart) + fi(s.l1a_ifinish));
      atom_table(mdoc, true);
    }
    const int32_t iprsnt = 1;
    ring_(mdoc, list, nringt, iprsnt, ierr);
    if (ierr != 0) return;
    if (list == 'T') {
      msgdoc_(mdoc, " --- after ring -- chem_flag:" + std::string(1, chem_flag));
      msgdoc_(mdoc, "first,LAST:" + fi(s.l1a_istart) + fi(s.l1a_ifinish));
      atom_table(mdoc, false);
    }
    if (chem_flag == 'N') {
      add_type_using_coord_(mdoc, list, ierr);
      if (ierr != 0) return fail_line(mdoc, "ADD_TYPE_USING_COORD");
    } else if (chem_flag == 'Y') {
      // Written straight to standard output, whatever the log mode.
      std::printf("We are here \n");
      add_type_using_chem_(mdoc, list, ierr);
      if (ierr != 0) return fail_line(mdoc, "ADD_TYPE_USING_CHEM");
    } else if (chem_flag == 'L') {
      add_type_using_list_(mdoc, list, ierr);
      if (ierr != 0) return fail_line(mdoc, "ADD_TYPE_USING_LIST");
    }
    use_valency_(mdoc, list, ierr);
    if (ierr != 0) return fail_line(mdoc, "USE_VALENCY");
    // The rings were given single and double bonds for the hydrogen count.
    if (chem_flag == 'N') builder::type_aromatic_rings();
    check_chem_dd_min_(mdoc, list, ierr);
    if (ierr != 0) return fail_line(mdoc, "CHECK_CHEM_DD_MIN");
    if (list == 'T') {
      write_test_(mt, 3, " --- after check_chem_dd ---");
      msgdoc_(mdoc, " --- rings ---n,id,ord,flat");
      for (int a = 1; a <= s.l1a_natom; ++a) {
        std::string line = iw(a, 4) + " " + s.l1a_aname(a).str() + iw(s.l1a_nring(a), 4);
        for (int k = 1; k <= 5; ++k)
          line += iw(s.l1a_ring_id(k, a), 4) + iw(s.l1a_ring_ord(k, a), 4) +
                  iw(s.l1a_ring_flat(k, a), 4);
        msgdoc_(mdoc, line);
      }
      msgdoc_(mdoc, " ------");
    }
    itype_res = residue_type_code();
    check_chir_(mdoc, list, itype_res, ierr);
    if (ierr != 0) return;
    s.l1l_natm = s.l1a_natom;
    s.l1l_nhatm = s.l1a_nhatom = heavy_atoms();
    check_plan_(mdoc, nringt, list, ierr);
    if (ierr != 0) return;
    create_tree_new_(mdoc, list, ierr);
    if (ierr != 0) return fail_line(mdoc, "CREATE_TREE_NEW");
    itype_res = residue_type_code();
    check_tree_direction_(mdoc, list, itype_res, ierr);
    if (ierr != 0) return;
  }
  s.l1a_nhatom = heavy_atoms();
  if (list == 'T') {
    msgdoc_(mdoc, "-  after create_tree -" + fi(s.l1c_nchir) + fi(s.l1p_nplan));
    msgdoc_(mdoc, "==res_type" + fi(itype_res));
    write_test_(mt, 4, "==res_type" + fi(itype_res));
  }
  set_num_(mdoc, mon, pnum, ierr);
  if (ierr != 0) return;
  if (list == 'T') {
    msgdoc_(mdoc, "first,LAST:" + fi(s.l1a_istart) + fi(s.l1a_ifinish));
    msgdoc_(mdoc, "aname,  back ,  forw  ,      nd,conn(1..5) ,  next,iext(1..5)");
    for (int a = 1; a <= s.l1a_natom; ++a) {
      std::string line = iw(a, 4) + iw(s.l1a_iold(a), 4) + " " + s.l1a_aname(a).str() +
                         iw(s.l1a_iback(a), 4) + iw(s.l1a_iforw(a), 4) + " " + s.l1a_back(a).str() +
                         " " + s.l1a_forw(a).str() + iw(s.l1a_ndist(a), 4);
      for (int k = 1; k <= 5; ++k) line += iw(s.l1a_conn(k, a), 4);
      line += iw(s.l1a_nextr(a), 4);
      for (int k = 1; k <= 5; ++k) line += iw(s.l1a_iextr(k, a), 4);
      msgdoc_(mdoc, line);
    }
  }
  add_hatom_to_plan_(mdoc, ierr);
  ierr = 0;
  s.l1g_nangl = 0;
  s.l1t_ntors = 0;
  calc_vobsn_(mdoc, list, mon, nringt, ierr);
  if (ierr != 0) return;
  if (coor == 'Y') {
    set_vobs_to_vidl_(mdoc, ierr);
    if (ierr != 0) return;
  }
  int32_t hst = 0;
  h_atom_coors_rebuild_(mdoc, list, 0, hst);
  if (list == 'T') std::printf(" --- ps---\n");
  if (name.empty() || name[0] != '?') {
    graph_newl_(mdoc, "C", "        ", name, vangle, ierr);
    ierr = 0;
  }
  if (list == 'T') std::printf(" ---end  ps---\n");
  s.l1a_nhatom = s.l1l_nhatm = heavy_atoms();
  s.l1l_natm = s.l1a_natom;
  s.l1l_prsnt = ".";
  s.l1l_fuse = "C";
  if (list == 'T') std::printf(" ---end  make_new---\n");
}
