// Library-to-work copies.  The entry of a code is found through the
// dictionary's code index; the rows of a monomer are taken from its start
// pointer to the last row that can carry its code, which is every row a scan
// to the end of the table would take, without the rows below it.
#include "dictionary/lib_to_work.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "dictionary/dict_index.h"
#include "dictionary/element_table.h"
#include "dictionary/lib_com.h"
#include "dictionary/libcom.h"
#include "dictionary/modif.h"
#include "foundation/lookup_index.h"
#include "foundation/messages.h"
#include "foundation/residue_class.h"
#include "runtime/units.h"

namespace {

using dictionary::is_hydrogen;
using Code = rt::FixedText<8>;
using Name = rt::FixedText<4>;
using dictionary::RowTable;

// The two lines of a full L1 table; `constant` empty gives only the first.
void l1_full(int32_t mdoc, std::string_view text, std::string_view code, std::string_view sep,
             int32_t limit, std::string_view constant) {
  const std::string head = std::string(text) + std::string(Code(code).view()) + std::string(sep);
  if (constant.empty()) {
    char num[16];
    std::snprintf(num, sizeof num, "%6d", static_cast<int>(limit));
    msgerr_(mdoc, head + num);
    return;
  }
  foundation::table_full(mdoc, head, limit, "",
                         {.constant = constant, .header = "lib_com", .indent = 11});
}

// Calls take(r) for the rows first..(last row of the code) that carry it.
template <int N, typename Take>
void scan_rows(RowTable table, const rt::Array1<Code, N>& codes, int32_t first,
               std::string_view mon, Take take) {
  const Code code(mon);
  const int32_t last = dictionary::last_row_of(table, code.view());
  for (int32_t r = first; r <= last; ++r)
    if (codes(r) == code && !take(r)) return;
}

// Start of a row copy: false (and nothing to copy) when the table is empty
// or `first` lies outside it.
bool in_table(int32_t first, int32_t count) { return count >= 1 && first >= 1 && first <= count; }

}  // namespace

void cp_amlib_(int32_t mdoc, std::string_view mon, int32_t ia, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  r.l1a_natom = 0;
  r.l1a_nhatom = 0;
  if (!in_table(ia, r.lma_natom)) {
    msgerr_(mdoc, " ERR: number of atoms in monomer = 0");
    ierr = 1;
    return;
  }
  scan_rows(RowTable::Atoms, r.lma_mname, ia, mon, [&](int32_t row) {
    // The count stays within L1: a row that does not fit is reported, not stored.
    if (r.l1a_natom >= MAX1ATM) {
      l1_full(mdoc, " ERR: number of atoms in monomer ", mon, " >", MAX1ATM, "MAX1ATM");
      ierr = 1;
      return false;
    }
    const int n = ++r.l1a_natom;
    r.l1a_coor_flag(n) = r.lma_coor_flag(row);
    r.l1a_symb(n) = r.lma_symb(row);
    r.l1a_charg(n) = r.lma_charg(row);
    r.l1a_type(n) = r.lma_type(row);
    r.l1a_sf_id(n) = r.lma_sf_id(row);
    r.l1a_back(n) = r.lma_back(row);
    r.l1a_forw(n) = r.lma_forw(row);
    r.l1a_aname(n) = r.lma_aname(row);
    r.l1a_chem(n) = r.lma_chem(row);
    const bool xyz = r.lma_coor_flag(row) == "Y";
    r.l1a_x(n) = xyz ? r.lma_x(row) : 0.0f;
    r.l1a_y(n) = xyz ? r.lma_y(row) : 0.0f;
    r.l1a_z(n) = xyz ? r.lma_z(row) : 0.0f;
    r.l1a_inew(n) = r.l1a_iold(n) = n;
    r.l1a_length(n) = r.l1a_theta(n) = r.l1a_phi(n) = 0.0f;
    r.l1a_icr(n) = r.l1a_ndist(n) = r.l1a_iback(n) = r.l1a_iforw(n) = 0;
    for (int m = 1; m <= MAX1BRN; ++m) r.l1a_conn(m, n) = r.l1a_lencon(m, n) = 0;
    for (int m = 1; m <= MAX1EXT; ++m) r.l1a_iextr(m, n) = r.l1a_textr(m, n) = 0;
    r.l1a_atype(n) = "M";
    r.l1a_id_psi(n) = ".";
    if (is_hydrogen(r.l1a_symb(n))) r.l1a_chem(n) = "H";
    else ++r.l1a_nhatom;
    return true;
  });
  r.l1a_igatm = r.l1a_istart = r.l1a_ifinish = r.l1a_i2start = r.l1a_i2finish = 0;
  if (r.l1a_natom == 1) r.l1a_forw(1) = "END ";
}

void cp_nmlib_(int32_t mdoc, std::string_view mon, int32_t in, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  r.l1n_nconn = 0;
  if (!in_table(in, r.lmn_nconn)) {
    msgerr_(mdoc, " ERR: number of atoms in monomer = 0");
    ierr = 1;
    return;
  }
  scan_rows(RowTable::Conns, r.lmn_mname, in, mon, [&](int32_t row) {
    if (r.l1n_nconn >= MAX1CONN) {
      l1_full(mdoc, " ERR: number of connections in monomer ", mon, ">", MAX1CONN, "");
      ierr = 1;
      return false;
    }
    const int n = ++r.l1n_nconn;
    r.l1n_1atm(n) = r.lmn_1atm(row);
    r.l1n_2atm(n) = r.lmn_2atm(row);
    r.l1n_type(n) = r.lmn_type(row);
    return true;
  });
}

void cp_bmlib_(int32_t mdoc, std::string_view mon, int32_t ib, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  r.l1b_nbond = 0;
  if (!in_table(ib, r.lmb_nbond)) return;
  scan_rows(RowTable::Bonds, r.lmb_mname, ib, mon, [&](int32_t row) {
    if (r.l1b_nbond >= MAX1BND) {
      l1_full(mdoc, " ERR: number of bonds in monomer ", mon, " >", MAX1BND, "MAX1BND");
      ierr = 1;
      return false;
    }
    const int n = ++r.l1b_nbond;
    r.l1b_1atm(n) = r.lmb_1atm(row);
    r.l1b_2atm(n) = r.lmb_2atm(row);
    r.l1b_type(n) = r.lmb_type(row);
    r.l1b_val(n) = r.lmb_val(row);
    r.l1b_dev(n) = r.lmb_dev(row);
    r.l1b_vobs(n) = r.l1b_eval(n) = 0.0f;
    r.l1b_i1atm(n) = r.l1b_i2atm(n) = 0;
    r.l1b_flag(n) = "N";
    return true;
  });
}

void cp_gmlib_(int32_t mdoc, std::string_view mon, int32_t ig, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  r.l1g_nangl = 0;
  if (!in_table(ig, r.lmg_nangl)) return;
  scan_rows(RowTable::Angles, r.lmg_mname, ig, mon, [&](int32_t row) {
    if (r.l1g_nangl >= MAX1ANG) {
      l1_full(mdoc, " ERR: number of angles in monomer ", mon, " >", MAX1ANG, "MAX1ANG");
      ierr = 1;
      return false;
    }
    const int n = ++r.l1g_nangl;
    r.l1g_1atm(n) = r.lmg_1atm(row);
    r.l1g_2atm(n) = r.lmg_2atm(row);
    r.l1g_3atm(n) = r.lmg_3atm(row);
    r.l1g_val(n) = r.lmg_val(row);
    r.l1g_dev(n) = r.lmg_dev(row);
    r.l1g_vobs(n) = r.l1g_eval(n) = 0.0f;
    r.l1g_i1atm(n) = r.l1g_i2atm(n) = r.l1g_i3atm(n) = 0;
    r.l1g_flag(n) = "N";
    return true;
  });
}

void cp_tmlib_(int32_t mdoc, std::string_view mon, int32_t it, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  r.l1t_ntors = 0;
  if (!in_table(it, r.lmt_ntors)) return;
  scan_rows(RowTable::Torsions, r.lmt_mname, it, mon, [&](int32_t row) {
    if (r.l1t_ntors >= MAX1TOR) {
      l1_full(mdoc, " ERR: number of torsions in monomer ", mon, " >", MAX1TOR, "MAX1TOR");
      ierr = 1;
      return false;
    }
    const int n = ++r.l1t_ntors;
    r.l1t_1atm(n) = r.lmt_1atm(row);
    r.l1t_2atm(n) = r.lmt_2atm(row);
    r.l1t_3atm(n) = r.lmt_3atm(row);
    r.l1t_4atm(n) = r.lmt_4atm(row);
    r.l1t_val(n) = r.lmt_val(row);
    r.l1t_dev(n) = r.lmt_dev(row);
    r.l1t_prd(n) = r.lmt_prd(row);
    r.l1t_label(n) = r.lmt_label(row);
    r.l1t_vobs(n) = r.l1t_eval(n) = 0.0f;
    r.l1t_i1atm(n) = r.l1t_i2atm(n) = r.l1t_i3atm(n) = r.l1t_i4atm(n) = 0;
    r.l1t_flag(n) = "N";
    return true;
  });
}

void cp_pmlib_(int32_t mdoc, std::string_view mon, int32_t ip, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  r.l1p_nplan = 0;
  if (!in_table(ip, r.lmp_nplan)) return;
  scan_rows(RowTable::Planes, r.lmp_mname, ip, mon, [&](int32_t row) {
    if (r.l1p_nplan >= MAX1PLN) {
      l1_full(mdoc, " ERR: number of planar groups in monomer ", mon, " >", MAX1PLN, "MAX1PLN");
      ierr = 1;
      return false;
    }
    const int32_t natom = r.lmp_natom(row);
    if (natom < 1 || natom > MAX1APL) {
      l1_full(mdoc, " ERR: number of plan atoms in monomer ", mon, " >", MAX1APL, "MAX1APL");
      ierr = 1;
      return false;
    }
    const int n = ++r.l1p_nplan;
    r.l1p_natom(n) = natom;
    r.l1p_label(n) = r.lmp_label(row);
    for (int m = 1; m <= natom; ++m) {
      r.l1p_atom(m, n) = r.lmp_atom(m, row);
      r.l1p_dev(m, n) = r.lmp_dev(m, row);
      r.l1p_iatom(m, n) = r.l1p_flag(m, n) = 0;
      r.l1p_dobs(m, n) = r.l1p_edev(m, n) = 0.0f;
    }
    return true;
  });
}

void cp_cmlib_(int32_t mdoc, std::string_view mon, int32_t ic, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  r.l1c_nchir = 0;
  if (!in_table(ic, r.lmc_nchir)) return;
  const rt::Array1<Name, MAXMCHR>* from[9] = {&r.lmc_1atm, &r.lmc_2atm, &r.lmc_3atm,
                                              &r.lmc_4atm, &r.lmc_5atm, &r.lmc_6atm,
                                              &r.lmc_7atm, &r.lmc_8atm, &r.lmc_9atm};
  rt::Array1<Name, MAX1CHR>* to[9] = {&r.l1c_1atm, &r.l1c_2atm, &r.l1c_3atm,
                                      &r.l1c_4atm, &r.l1c_5atm, &r.l1c_6atm,
                                      &r.l1c_7atm, &r.l1c_8atm, &r.l1c_9atm};
  rt::Array1<int32_t, MAX1CHR>* idx[9] = {&r.l1c_i1atm, &r.l1c_i2atm, &r.l1c_i3atm,
                                          &r.l1c_i4atm, &r.l1c_i5atm, &r.l1c_i6atm,
                                          &r.l1c_i7atm, &r.l1c_i8atm, &r.l1c_i9atm};
  scan_rows(RowTable::Chirals, r.lmc_mname, ic, mon, [&](int32_t row) {
    if (r.l1c_nchir >= MAX1CHR) {
      l1_full(mdoc, " ERR: number of chiral centres in monomer ", mon, " >", MAX1CHR, "MAX1CHR");
      ierr = 1;
      return false;
    }
    const int n = ++r.l1c_nchir;
    for (int m = 0; m < 9; ++m) {
      (*to[m])(n) = (*from[m])(row);
      (*idx[m])(n) = 0;
    }
    r.l1c_sign(n) = r.lmc_sign(row);
    r.l1c_flag(n) = r.lmc_flag(row);
    r.l1c_vol(n) = r.l1c_vobs(n) = r.l1c_evol(n) = 0.0f;
    return true;
  });
}

void check_extra_conn_(int32_t mdoc, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  if (r.l1a_natom < 3 || r.l1b_nbond < 3) return;
  int linked = 0;
  for (int i = 1; i <= r.l1a_natom; ++i) {
    const Name& b = r.l1a_back(i);
    if (!(b == ".") && !b.is_blank() && !(b == "n/a")) ++linked;
  }
  if (linked < 2) return;

  // Tree edges as (atom, back) pairs and connections as pairs in both orders,
  // each keyed by the two names side by side.
  static foundation::LookupIndex<8, MAX1ATM> edges;
  static foundation::LookupIndex<8, 2 * MAX1CONN> conns;
  edges.clear();
  conns.clear();
  const auto pair = [](const Name& a, const Name& b) {
    Code key;
    std::memcpy(key.c, a.c, 4);
    std::memcpy(key.c + 4, b.c, 4);
    return key;
  };
  for (int i = 1; i <= r.l1a_natom; ++i) edges.add(pair(r.l1a_aname(i), r.l1a_back(i)).view(), i);
  for (int c = 1; c <= r.l1n_nconn; ++c) {
    conns.add(pair(r.l1n_1atm(c), r.l1n_2atm(c)).view(), c);
    conns.add(pair(r.l1n_2atm(c), r.l1n_1atm(c)).view(), c);
  }
  for (int b = 1; b <= r.l1b_nbond; ++b) {
    const Name &a1 = r.l1b_1atm(b), &a2 = r.l1b_2atm(b);
    if (edges.contains(pair(a1, a2).view()) || edges.contains(pair(a2, a1).view())) continue;
    if (conns.contains(pair(a1, a2).view())) continue;
    if (r.l1n_nconn >= MAX1CONN) {
      l1_full(mdoc, " ERR: number of connections in monomer ", r.l1l_mname.view(), ">", MAX1CONN,
              "");
      ierr = 1;
      return;
    }
    const int c = ++r.l1n_nconn;
    r.l1n_1atm(c) = a1;
    r.l1n_2atm(c) = a2;
    r.l1n_type(c) = ".";
    conns.add(pair(a1, a2).view(), c);
    conns.add(pair(a2, a1).view(), c);
  }
}

void count_natom_lib_(int32_t mdoc, std::string_view mon, int32_t ia, int32_t& natom,
                      int32_t& nhatom, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  natom = 0;
  nhatom = 0;
  if (ia < 1) {
    msgerr_(mdoc, " ERR: monomer " + Code(mon).str() + " number of atoms = 0");
    ierr = 1;
    return;
  }
  // The walk ends at the table's count: rows past it hold no monomer, and
  // the rows of any monomer, wherever in the table, are counted.
  const Code code(mon);
  for (int32_t row = ia; row <= r.lma_natom && r.lma_mname(row) == code; ++row) {
    ++natom;
    if (!is_hydrogen(r.lma_symb(row))) ++nhatom;
  }
}

void cp_mlib_(int32_t mdoc, rt::FixedText<8>& mon, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  if (r.lml_nmon <= 0) {
    msgerr_(mdoc, " ERR: number of monomers in library = 0");
    ierr = 1;
    return;
  }
  Code mod, mod1, mod2;
  mod.blank();
  mod1.blank();
  mod2.blank();
  int32_t ldr = 0;
  int32_t l = dictionary::find_list_entry(mon.view(), true);

  if (l == 0) {
    Code mon2 = mon;
    rt::write_record(6, " We are here. Check synonyms");
    for (int i = 1; i <= r.lms_nsyn && l == 0; ++i) {
      if (!dictionary::synonym_names(i, mon.view())) continue;
      mon2 = r.lms_mname(i);
      l = dictionary::find_list_entry(mon2.view(), true);
      if (l != 0) mod = r.lms_mod(i);
    }
    // Without a synonym's entry the derivatives are searched for the code of
    // the last synonym that named mon.
    mon = mon2;
  }
  for (int i = 1; i <= r.ldr_nder && l == 0; ++i) {
    if (!(r.ldr_mname(i) == mon)) continue;
    const Code mon2 = r.ldr_smname(i);
    l = dictionary::find_list_entry(mon2.view(), true);
    if (l != 0) {
      ldr = i;
      mod1 = r.ldr_mod(i);
      break;
    }
    for (int j = 1; j <= r.ldr_nder && l == 0; ++j) {
      if (!(r.ldr_mname(j) == mon2)) continue;
      // The source of a derivative of a derivative is taken whatever its state.
      l = dictionary::find_list_entry(r.ldr_smname(j).view(), false);
      if (l != 0) {
        ldr = j;
        mod2 = r.ldr_mod(i);
      }
    }
  }
  if (l == 0) {
    msgdoc_(mdoc, " ERR: monomer " + mon.str() + " not found in library..");
    ierr = 2;
    return;
  }

  r.l1l_mname = r.lml_mname(l);
  r.l1l_mname2 = r.lml_mname2(l);
  r.l1l_code1 = r.lml_code1(l);
  r.l1l_name = ldr > 0 ? r.ldr_name(ldr) : r.lml_name(l);
  r.l1l_form = r.lml_form(l);
  r.l1l_type = ldr > 0 ? r.ldr_type(ldr) : r.lml_type(l);
  r.l1l_mode = r.lml_mode(l);
  r.l1l_fuse = r.lml_fuse(l);
  r.l1l_prsnt = r.lml_prsnt(l);
  r.l1l_hflag = libcom.lb_hflag;
  r.l1l_natm = r.lml_natm(l);
  r.l1l_nhatm = r.lml_nhatm(l);
  r.l1a_natom = r.l1a_nhatom = r.l1a_ndummy = 0;
  r.l1n_nconn = r.l1b_nbond = r.l1g_nangl = r.l1t_ntors = r.l1c_nchir = r.l1p_nplan = 0;
  const Code mon2 = r.lml_mname(l);
  const std::string_view code = mon2.view();

  struct {
    int32_t first;
    void (*copy)(int32_t, std::string_view, int32_t, int32_t&);
  } const rows[] = {{r.lml_iatom(l), cp_amlib_}, {r.lml_iconn(l), cp_nmlib_},
                    {r.lml_ibond(l), cp_bmlib_}, {r.lml_ithet(l), cp_gmlib_},
                    {r.lml_itors(l), cp_tmlib_}, {r.lml_iplan(l), cp_pmlib_},
                    {r.lml_ichir(l), cp_cmlib_}};
  for (const auto& row : rows) {
    if (row.first <= 0) continue;
    row.copy(mdoc, code, row.first, ierr);
    if (ierr != 0) return;
  }

  r.l1a_istart = r.l1a_ifinish = 0;
  for (int i = 1; i <= r.l1a_natom; ++i) {
    r.l1a_inew(i) = r.l1a_iold(i) = i;
    r.l1a_icr(i) = r.l1a_ndist(i) = r.l1a_ichem(i) = r.l1a_iback(i) = r.l1a_iforw(i) = 0;
    for (int m = 1; m <= MAX1BRN; ++m) r.l1a_conn(m, i) = r.l1a_lencon(m, i) = 0;
    for (int m = 1; m <= MAX1EXT; ++m) r.l1a_iextr(m, i) = r.l1a_textr(m, i) = 0;
  }

  // Each modification is applied when the list holds its code; what it
  // returns does not change the copy's status.
  const auto in_list = [&](const Code& code8) {
    for (int k = 1; k <= r.ldl_nmod; ++k)
      if (r.ldl_mname(k) == code8) return true;
    return false;
  };
  int32_t status = 0;
  const Code mode = r.l1l_mode;
  if (in_list(mode)) modif_(mdoc, mode.view(), status);
  for (const Code* m : {&mod, &mod1, &mod2})
    if (!m->is_blank() && in_list(*m)) modif_(mdoc, m->view(), status);

  if (r.l1b_nbond >= 2 && r.l1g_nangl <= 0) {
    r.l1l_prsnt = "M";
    r.lml_prsnt(l) = "M";
  }

  int32_t itype = 0;
  get_ini_res_type_(mdoc, std::string_view(), mon.view(), itype, ierr);
  if (itype == 3) modif_(mdoc, "AA-STAND", status);
  if (itype == 5) modif_(mdoc, "NA-STAND", status);
  ierr = 0;
  if (!(r.l1l_prsnt == "M")) check_extra_conn_(mdoc, ierr);
}
