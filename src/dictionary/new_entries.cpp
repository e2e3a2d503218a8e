// New list entries from L1 and the retirement of older ones.  The dictionary
// only grows: a retired entry keeps its place and its rows keep theirs (coded
// "?"), all still counting toward the capacities.
#include "dictionary/new_entries.h"

#include <cstdio>
#include <string>

#include "dictionary/dict_index.h"
#include "dictionary/element_table.h"
#include "dictionary/lib_com.h"
#include "foundation/messages.h"

namespace {

using dictionary::is_hydrogen;
using Code = rt::FixedText<8>;
using Name = rt::FixedText<4>;
using dictionary::RowTable;

// The two lines of a full dictionary table, then the store stops.
void table_full(int32_t mdoc, std::string_view text, std::string_view mon, std::string_view sep,
                int32_t limit, std::string_view constant, int32_t& ierr) {
  const std::string head = std::string(text) + std::string(Code(mon).view()) + std::string(sep);
  foundation::table_full(mdoc, head, limit, " /lib. limit/",
                         {.constant = constant, .header = "lib_com", .indent = 11});
  r_scratch.lml_imon = 0;
  ierr = 1;
}

// Codes the rows of `mon` from `start` on "?" (those a scan to the end of
// the table would find).
template <int N>
void retire_rows(RowTable table, rt::Array1<Code, N>& codes, int32_t count, int32_t start,
                 const Code& mon) {
  if (start < 1 || start > count) return;
  const int32_t last = dictionary::last_row_of(table, mon.view());
  for (int32_t row = start; row <= last; ++row)
    if (codes(row) == mon) codes(row) = "?";
}

void retire_entry_rows(int32_t l) {
  r_scratch_t& r = r_scratch;
  const Code mon = r.lml_mname(l);
  retire_rows(RowTable::Atoms, r.lma_mname, r.lma_natom, r.lml_iatom(l), mon);
  retire_rows(RowTable::Conns, r.lmn_mname, r.lmn_nconn, r.lml_iconn(l), mon);
  retire_rows(RowTable::Bonds, r.lmb_mname, r.lmb_nbond, r.lml_ibond(l), mon);
  retire_rows(RowTable::Angles, r.lmg_mname, r.lmg_nangl, r.lml_ithet(l), mon);
  retire_rows(RowTable::Torsions, r.lmt_mname, r.lmt_ntors, r.lml_itors(l), mon);
  retire_rows(RowTable::Chirals, r.lmc_mname, r.lmc_nchir, r.lml_ichir(l), mon);
  retire_rows(RowTable::Planes, r.lmp_mname, r.lmp_nplan, r.lml_iplan(l), mon);
  r.lml_iatom(l) = r.lml_iconn(l) = r.lml_ibond(l) = r.lml_ithet(l) = 0;
  r.lml_itors(l) = r.lml_iplan(l) = r.lml_ichir(l) = 0;
}

// Appends one row to a dictionary table for entry lml_imon; 0 when full.
int32_t append_row(int32_t& count, int32_t capacity, rt::Array1<int32_t, MAXMLIST>& start) {
  if (count >= capacity) return 0;
  const int32_t row = ++count;
  const int32_t n = r_scratch.lml_imon;
  if (start(n) == 0) start(n) = row;
  return row;
}

}  // namespace

void cpl_amlib_(int32_t mdoc, std::string_view mon, int32_t ia, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  const int32_t n = r.lml_imon;
  if (n < 1) return;
  int32_t nh = 0;
  for (int k = 1; k <= ia; ++k) {
    const int32_t row = append_row(r.lma_natom, MAXMATM, r.lml_iatom);
    if (row == 0) {
      table_full(mdoc, " ERR: number of atoms for monomer ", mon, " >", MAXMATM, "MAXMATM", ierr);
      return;
    }
    // Stored in numbering order, so that a later copy gives L1 in that order.
    const int32_t old = r.l1a_iold(k);
    const int i = old >= 1 && old <= r.l1a_natom ? old : k;
    r.lma_mname(row) = mon;
    r.lma_coor_flag(row) = r.l1a_coor_flag(i);
    r.lma_charg(row) = r.l1a_charg(i);
    r.lma_type(row) = r.l1a_type(i);
    r.lma_back(row) = r.l1a_back(i);
    r.lma_forw(row) = r.l1a_forw(i);
    r.lma_symb(row) = r.l1a_symb(i);
    r.lma_aname(row) = r.l1a_aname(i);
    r.lma_sf_id(row) = r.l1a_sf_id(i);
    r.lma_chem(row) = r.l1a_chem(i);
    const bool xyz = r.l1a_coor_flag(i) == "Y";
    r.lma_x(row) = xyz ? r.l1a_x(i) : 0.0f;
    r.lma_y(row) = xyz ? r.l1a_y(i) : 0.0f;
    r.lma_z(row) = xyz ? r.l1a_z(i) : 0.0f;
    if (!is_hydrogen(r.l1a_symb(i))) ++nh;
  }
  r.lml_natm(n) = ia;
  r.lml_nhatm(n) = nh;
}

void cpl_nmlib_(int32_t mdoc, std::string_view mon, int32_t in, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  if (r.lml_imon < 1) return;
  for (int k = 1; k <= in; ++k) {
    const int32_t row = append_row(r.lmn_nconn, MAXMCNN, r.lml_iconn);
    if (row == 0) {
      table_full(mdoc, " ERR: number of connections for monomer ", mon, " >", MAXMCNN, "MAXMCNN",
                 ierr);
      return;
    }
    r.lmn_mname(row) = mon;
    r.lmn_1atm(row) = r.l1n_1atm(k);
    r.lmn_2atm(row) = r.l1n_2atm(k);
    r.lmn_type(row) = r.l1n_type(k);
  }
}

void cpl_bmlib_(int32_t mdoc, std::string_view mon, int32_t ib, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  if (r.lml_imon < 1) return;
  for (int k = 1; k <= ib; ++k) {
    const int32_t row = append_row(r.lmb_nbond, MAXMBND, r.lml_ibond);
    if (row == 0) {
      table_full(mdoc, " ERR: number of bonds for monomer ", mon, "  >", MAXMBND, "MAXMBND", ierr);
      return;
    }
    r.lmb_mname(row) = mon;
    r.lmb_1atm(row) = r.l1b_1atm(k);
    r.lmb_2atm(row) = r.l1b_2atm(k);
    r.lmb_type(row) = r.l1b_type(k);
    r.lmb_val(row) = r.l1b_val(k);
    r.lmb_dev(row) = r.l1b_dev(k);
  }
}

void cpl_gmlib_(int32_t mdoc, std::string_view mon, int32_t ig, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  if (r.lml_imon < 1) return;
  for (int k = 1; k <= ig; ++k) {
    const int32_t row = append_row(r.lmg_nangl, MAXMANG, r.lml_ithet);
    if (row == 0) {
      table_full(mdoc, " ERR: number of angles for monomer ", mon, " >", MAXMANG, "MAXMANG", ierr);
      return;
    }
    r.lmg_mname(row) = mon;
    r.lmg_1atm(row) = r.l1g_1atm(k);
    r.lmg_2atm(row) = r.l1g_2atm(k);
    r.lmg_3atm(row) = r.l1g_3atm(k);
    r.lmg_val(row) = r.l1g_val(k);
    r.lmg_dev(row) = r.l1g_dev(k);
  }
}

void cpl_tmlib_(int32_t mdoc, std::string_view mon, int32_t it, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  if (r.lml_imon < 1) return;
  for (int k = 1; k <= it; ++k) {
    const int32_t row = append_row(r.lmt_ntors, MAXMTOR, r.lml_itors);
    if (row == 0) {
      table_full(mdoc, " ERR: number of torsions for monomer ", mon, " >", MAXMTOR, "MAXMTOR",
                 ierr);
      return;
    }
    r.lmt_mname(row) = mon;
    r.lmt_1atm(row) = r.l1t_1atm(k);
    r.lmt_2atm(row) = r.l1t_2atm(k);
    r.lmt_3atm(row) = r.l1t_3atm(k);
    r.lmt_4atm(row) = r.l1t_4atm(k);
    r.lmt_val(row) = r.l1t_val(k);
    r.lmt_dev(row) = r.l1t_dev(k);
    r.lmt_prd(row) = r.l1t_prd(k);
    r.lmt_label(row) = r.l1t_label(k);
  }
}

void cpl_pmlib_(int32_t mdoc, std::string_view mon, int32_t ip, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  if (r.lml_imon < 1) return;
  for (int k = 1; k <= ip; ++k) {
    const int32_t natom = r.l1p_natom(k);
    if (natom < 1 || natom > MAXMAPL) {
      const std::string head = " ERR: number of plan atoms in monomer " + Code(mon).str() + " >";
      foundation::table_full(mdoc, head, MAXMAPL, "  or = 0",
                             {.constant = "MAXMAPL", .header = "lib_com", .indent = 11});
      r.lml_imon = 0;
      ierr = 1;
      return;
    }
    const int32_t row = append_row(r.lmp_nplan, MAXMPLN, r.lml_iplan);
    if (row == 0) {
      table_full(mdoc, " ERR: number of plan groups for monomer ", mon, " >", MAXMPLN, "MAXMPLN",
                 ierr);
      return;
    }
    r.lmp_mname(row) = mon;
    r.lmp_natom(row) = natom;
    r.lmp_label(row) = r.l1p_label(k);
    for (int m = 1; m <= natom; ++m) {
      r.lmp_atom(m, row) = r.l1p_atom(m, k);
      r.lmp_dev(m, row) = r.l1p_dev(m, k);
    }
  }
}

void cpl_cmlib_(int32_t mdoc, std::string_view mon, int32_t ic, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  if (r.lml_imon < 1) return;
  const rt::Array1<Name, MAX1CHR>* from[9] = {&r.l1c_1atm, &r.l1c_2atm, &r.l1c_3atm,
                                              &r.l1c_4atm, &r.l1c_5atm, &r.l1c_6atm,
                                              &r.l1c_7atm, &r.l1c_8atm, &r.l1c_9atm};
  rt::Array1<Name, MAXMCHR>* to[9] = {&r.lmc_1atm, &r.lmc_2atm, &r.lmc_3atm,
                                      &r.lmc_4atm, &r.lmc_5atm, &r.lmc_6atm,
                                      &r.lmc_7atm, &r.lmc_8atm, &r.lmc_9atm};
  for (int k = 1; k <= ic; ++k) {
    const int32_t row = append_row(r.lmc_nchir, MAXMCHR, r.lml_ichir);
    if (row == 0) {
      table_full(mdoc, " ERR: number of chiralities for monomer ", mon, " >", MAXMCHR, "MAXMCHR",
                 ierr);
      return;
    }
    r.lmc_mname(row) = mon;
    for (int m = 0; m < 9; ++m) (*to[m])(row) = (*from[m])(k);
    r.lmc_sign(row) = r.l1c_sign(k);
    r.lmc_flag(row) = r.l1c_flag(k);
  }
}

void cpl_mlib_(int32_t mdoc, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const Code code = r.l1l_mname;
  if (r.l1a_natom < 1) {
    msgerr_(mdoc, " ERR: number of atoms of monomer in library_L1 = 0");
    ierr = 1;
    return;
  }
  if (r.lml_nmon >= MAXMLIST) {
    foundation::table_full(mdoc, " ERR: number of monomers >", MAXMLIST, " /lib. limit/",
                           {.constant = "MAXMLIST", .header = "lib_com", .indent = 11});
    ierr = 1;
    return;
  }
  int32_t pass = 3;
  dictionary::list_entries(code.view(), [&](int32_t l) {
    pass = r.lml_pass(l);
    retire_entry_rows(l);
    r.lml_fuse(l) = "N";
    r.lml_mname(l) = "???";
  });

  const int32_t n = r.lml_nmon + 1;
  r.lml_mname(n) = code;
  r.lml_mname2(n) = r.l1l_mname2;
  r.lml_code1(n) = r.l1l_code1;
  r.lml_name(n) = r.l1l_name;
  r.lml_form(n) = r.l1l_form;
  r.lml_type(n) = r.l1l_type;
  r.lml_mode(n) = r.l1l_mode;
  r.lml_fuse(n) = r.l1l_fuse;
  r.lml_prsnt(n) = r.l1l_prsnt;
  r.lml_natm(n) = r.l1l_natm;
  r.lml_nhatm(n) = r.l1l_nhatm;
  r.lml_pass(n) = pass;
  r.lml_iatom(n) = r.lml_iconn(n) = r.lml_ibond(n) = r.lml_ithet(n) = 0;
  r.lml_itors(n) = r.lml_iplan(n) = r.lml_ichir(n) = 0;
  r.lml_nmon = n;
  r.lml_imon = n;

  const std::string_view mon = code.view();
  cpl_amlib_(mdoc, mon, r.l1a_natom, ierr);
  struct {
    int32_t count;
    void (*store)(int32_t, std::string_view, int32_t, int32_t&);
  } const rows[] = {{r.l1n_nconn, cpl_nmlib_}, {r.l1b_nbond, cpl_bmlib_},
                    {r.l1g_nangl, cpl_gmlib_}, {r.l1t_ntors, cpl_tmlib_},
                    {r.l1p_nplan, cpl_pmlib_}, {r.l1c_nchir, cpl_cmlib_}};
  for (const auto& row : rows)
    if (ierr == 0 && row.count >= 1) row.store(mdoc, mon, row.count, ierr);
}

void check_fuse_r_(int32_t, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  for (int32_t l = 1; l <= r.lml_nmon; ++l)
    if (r.lml_fuse(l) == "R") retire_entry_rows(l);
}

void set_fuse_y_(int32_t, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  for (int32_t l = 1; l <= r.lml_nmon; ++l)
    if (r.lml_fuse(l) == "R") r.lml_fuse(l) = "Y";
}
