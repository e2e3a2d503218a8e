// The library file set, the loading sequence and the reading dispatcher.
#include "dictionary/lib_loading.h"

#include <cstdio>
#include <string>

#include "dictionary/ener_reader.h"
#include "dictionary/lib_fill_util.h"
#include "dictionary/lib_index.h"
#include "dictionary/lib_list.h"
#include "dictionary/libcom.h"
#include "dictionary/link_mod_reader.h"
#include "dictionary/mon_reader.h"
#include "dictionary/new_entries.h"
#include "foundation/lookup_index.h"
#include "foundation/messages.h"

namespace {

using dictionary::name_present;

void blank_all(rt::FixedText<256>& a, rt::FixedText<256>& b, rt::FixedText<256>& c) {
  a.blank();
  b.blank();
  c.blank();
}

// The dictionary as the loading finds it: no entries, lists or rows.
void empty_dictionary() {
  r_scratch_t& r = r_scratch;
  r.lml_nmon = r.lml_imon = r.lml_nprsnt = 0;
  r.lms_nsyn = r.lms_isyn = r.lms_new = 0;
  r.ldr_nder = r.ldr_ider = 0;
  r.lrl_nmon = 0;
  r.lll_nlink = r.lll_ilink = 0;
  r.ldl_nmod = r.ldl_imod = 0;
  r.lmr_nrec = 0;
  r.lsf_nasymb = 0;
  r.lso_nsym = 0;
  r.lea_natom = r.lea_iatom = 0;
  r.leb_nbond = r.leg_nangl = r.let_ntors = r.lew_ncont = r.leh_nhbond = r.les_nsyn = 0;
  r.lmx_nmon = 0;
  for (int32_t l = 1; l <= MAXMLIST; ++l) {
    r.lml_mname(l) = "?";
    r.lml_fuse(l) = "N";
  }
  for (int32_t l = 1; l <= MAXLLNK; ++l) {
    r.lll_lname(l) = "?";
    r.lll_fuse(l) = "N";
  }
  for (int32_t l = 1; l <= MAXDMDF; ++l) {
    r.ldl_mname(l) = "?";
    r.ldl_fuse(l) = "N";
  }
  init_cnt_();
}

}  // namespace

void initlib_(int32_t mdoc, char nodist, int32_t& numb_lib, std::string_view libm_path,
              std::string_view libe_path, std::string_view libs_path, LibNames& libm_name,
              rt::TextRef libe_name, std::string_view libs_name, rt::TextRef libm_ext,
              rt::TextRef libe_ext, std::string_view libs_ext, std::string_view lib2_name,
              rt::TextRef lib_ind, rt::TextRef file_lib_out, int32_t& ierr) {
  libcom_t& lc = libcom;
  ierr = 0;
  char num[16];
  std::snprintf(num, sizeof num, "%10d", LIB_COM_BYTES);
  msgdoc_(mdoc, std::string(" Size of lib_com(bytes) :") + num);
  for (int k = 1; k <= MAXLIB; ++k) libm_name(k).blank();
  numb_lib = 1;
  if (nodist == 'Y') {
    if (name_present(lib2_name)) libm_name(1) = lib2_name;
  } else {
    libm_name(1) = "list/mon_lib_list";
    libm_ext = "cif";
    lib_ind = "mon_lib_ind";
  }
  libe_name = "ener_lib";
  libe_ext = "cif";
  for (int k = 1; k <= MAXLIB; ++k) lc.lmi_file(k).blank();
  lc.lmi_path.blank();
  lc.lmi_ext.blank();
  int32_t count = 0;
  for (int k = 1; k <= numb_lib; ++k) {
    if (!name_present(libm_name(k).view())) continue;
    if (++count > MAXLIB) {
      char lim[16];
      std::snprintf(lim, sizeof lim, "%5d", MAXLIB);
      msgerr_(mdoc, std::string(" ERROR: number of dictionaries >") + lim + " /lib. limit/ ");
      ierr = 1;
      return;
    }
    lc.lb_numb_lib = count;
    lc.lmi_file(count) = libm_name(k);
    lc.lmi_path = libm_path;
    lc.lmi_ext = libm_ext.view();
  }
  lc.lb_numb_lib = count;
  // With one main library, entry 2 carries the single-file marker that the
  // description reader tests.
  lc.lmi_file(2) = std::string(1, nodist);
  blank_all(lc.lei_file, lc.lei_path, lc.lei_ext);
  if (name_present(libe_name.view())) {
    lc.lei_file = libe_name.view();
    lc.lei_path = libe_path;
    lc.lei_ext = libe_ext.view();
  }
  blank_all(lc.lmi2_file, lc.lmi2_path, lc.lmi2_ext);
  if (name_present(lib2_name)) lc.lmi2_file = lib2_name;
  blank_all(lc.lin_file, lc.lin_path, lc.lin_ext);
  if (name_present(lib_ind.view())) {
    lc.lin_file = lib_ind.view();
    lc.lin_path = libm_path;
    lc.lin_ext = libm_ext.view();
  }
  blank_all(lc.lmo_file, lc.lmo_path, lc.lmo_ext);
  if (name_present(file_lib_out.view())) {
    lc.lmo_file = file_lib_out.view();
  } else {
    lc.lmo_file = "new.lib";
    file_lib_out = "new.lib";
  }
  blank_all(lc.leo_file, lc.leo_path, lc.leo_ext);
  lc.leo_file = "new_ener_lib";
  lc.leo_ext = "cif";
  lc.lmi_iun = lc.lmi2_iun = lc.lmo_iun = lc.lei_iun = lc.leo_iun = lc.lsi_iun = 0;
  blank_all(lc.lsi_file, lc.lsi_path, lc.lsi_ext);
  if (name_present(libs_name)) {
    lc.lsi_path = libs_path;
    lc.lsi_file = libs_name;
    lc.lsi_ext = libs_ext;
  }
  lc.lb_pass = 0;
  lc.lb_name = lc.lb_vers = lc.lb_date = "?";
  lc.lb2_name = lc.lb2_vers = lc.lb2_date = "?";
  lc.lb_hflag = "N";
  lc.lb_tflag = "N";
  empty_dictionary();
}

void getlib_(int32_t mmdoc, char list, char nodist, int32_t& numb_lib, std::string_view libm_path,
             std::string_view libe_path, std::string_view libs_path, LibNames& libm_name,
             rt::TextRef libe_name, std::string_view libs_name, rt::TextRef libm_ext,
             rt::TextRef libe_ext, std::string_view libs_ext, std::string_view lib2_name,
             rt::TextRef lib_ind, rt::TextRef file_lib_out, int32_t& ierr) {
  int32_t mdoc = mmdoc, mdoc_init = mmdoc;
  if (list == 'S') mdoc = mdoc_init = 999;
  if (list == 'M') mdoc_init = 999;
  ierr = 0;
  initlib_(mdoc_init, nodist, numb_lib, libm_path, libe_path, libs_path, libm_name, libe_name,
           libs_name, libm_ext, libe_ext, libs_ext, lib2_name, lib_ind, file_lib_out, ierr);
  if (ierr != 0) return;
  libcom.lb_tflag = "N";
  get_llist_(mdoc, ierr);
  if (ierr != 0) return;
  get_index_(mdoc, ierr);
  if (ierr != 0) return;
  sset_fuse_('N', 'N');
  msgdoc_(mdoc, " I am reading libraries. Please wait.");
  msgdoc_(mdoc, "     - energy parameters");
  read_lib_(mdoc, "E", nodist, list, ierr);
  if (ierr != 0) return;
  msgdoc_(mdoc, "     - monomer\"s description (links & mod )");
  read_lib_(mdoc, "N", nodist, list, ierr);
  if (ierr != 0) return;
  init_conn_inf_(mdoc, ierr);
}

void read_lib_(int32_t mdoc, std::string_view mod, char nodist, char list, int32_t& ierr) {
  ierr = 0;
  int32_t iend = 0;
  const char m = mod.empty() ? ' ' : mod[0];
  auto descriptions = [&]() {
    int32_t e = 0;
    check_fuse_r_(mdoc, e);
    rd_monlib_(mdoc, nodist, list, ierr, iend);
    if (ierr == 0) {
      set_fuse_y_(mdoc, e);
    } else {
      // Rows of a monomer whose reading failed are retired, so that nothing
      // of it is left half-stored; the entry stays marked "R".
      check_fuse_r_(mdoc, e);
    }
  };
  auto energy = [&]() {
    rd_enrlib_(mdoc, "ALL ", ierr);
    if (ierr == 0) set_ener_pointer_to_atom_(mdoc, ierr);
  };
  switch (m) {
    case 'A':
      rd_md_link_lib_(mdoc, ierr, iend);
      if (ierr == 0) descriptions();
      if (ierr == 0) energy();
      break;
    case 'N':
      rd_md_link_lib_(mdoc, ierr, iend);
      break;
    case 'M':
      descriptions();
      break;
    case 'E':
      energy();
      break;
    default:
      break;
  }
}

void sset_fuse_(char ch1, char ch2) {
  (void)ch2;
  r_scratch_t& r = r_scratch;
  if (r.lml_nmon < 1) return;
  if (ch1 == 'N') {
    r.lma_natom = r.lmn_nconn = r.lmb_nbond = r.lmg_nangl = r.lmt_ntors = r.lmc_nchir =
        r.lmp_nplan = 0;
    for (int32_t l = 1; l <= MAXMLIST; ++l) {
      r.lml_iatom(l) = r.lml_iconn(l) = r.lml_ibond(l) = r.lml_ithet(l) = r.lml_itors(l) =
          r.lml_iplan(l) = r.lml_ichir(l) = 0;
    }
    return;
  }
  if (ch1 == ' ') return;
  for (int32_t l = 1; l <= r.lml_nmon; ++l) r.lml_fuse(l) = std::string_view(&ch1, 1);
}

void init_conn_inf_(int32_t mdoc, int32_t& ierr) {
  (void)mdoc;
  r_scratch_t& r = r_scratch;
  ierr = 0;
  static constexpr std::string_view kSeed[] = {"CA", "C", "N", "OXT", "O1P", "O2P", "P",
                                               "O3*", "O5*", "O2*", "OT", "O5T", "O3T"};
  r.n_stor = 0;
  for (std::string_view s : kSeed) r.atom_stor(++r.n_stor) = s;
  // The bonds of every link, by link name: each link looks at its own rows
  // only, whatever their number.
  static foundation::LookupIndex<8, MAXLBND> bonds_of;
  bonds_of.clear();
  for (int32_t b = 1; b <= r.llb_nbond; ++b) bonds_of.add(r.llb_lname(b).view(), b);
  auto slot = [&](const rt::FixedText<4>& name) -> int32_t {
    for (int32_t k = 1; k <= r.n_stor; ++k)
      if (r.atom_stor(k) == name) return k;
    if (r.n_stor >= nstor_par) return 0;
    r.atom_stor(++r.n_stor) = name;
    return r.n_stor;
  };
  for (int32_t i = 1; i <= r.lll_nlink; ++i) {
    r.iconn_atom_ind(1, i) = 0;
    r.iconn_atom_ind(2, i) = 0;
    const int32_t first = r.lll_ibond(i);
    if (first < 1) continue;
    bool full = false;
    bonds_of.for_each(r.lll_lname(i).view(), [&](int32_t b) {
      if (full || b < first || !(r.llb_lname(b) == r.lll_lname(i))) return;
      const rt::FixedText<4>& a1 = r.llb_1atm(b);
      const rt::FixedText<4>& a2 = r.llb_2atm(b);
      if (a1 == "." || a1.is_blank() || a2 == "." || a2.is_blank()) return;
      const int32_t k1 = slot(a1);
      const int32_t k2 = k1 == 0 ? 0 : slot(a2);
      if (k1 == 0 || k2 == 0) {
        full = true;
        return;
      }
      r.iconn_atom_ind(1, i) = k1;
      r.iconn_atom_ind(2, i) = k2;
      r.bond_idl(i) = r.llb_val(b);
    });
    if (full) return;
  }
}
