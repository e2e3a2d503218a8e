// Atoms into the work areas one at a time.  Names are checked against C1 and
// L1 by a scan: a residue holds at most a few hundred atoms.
#include "identify/lput_new.h"

#include <cstdio>
#include <string>

#include "coords/pdb_state.h"
#include "dictionary/element_table.h"
#include "dictionary/lib_com.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "runtime/format.h"

namespace {

using Name = rt::FixedText<4>;

constexpr float kMinOcc = 1.0E-4f;

constexpr std::string_view kPeptideEnds[] = {"OXT", "HXT", "HN1", "HN2", "HN3", "H1", "H2", "H3", "H"};
constexpr std::string_view kNucleotideEnds[] = {"O3T", "O3P", "HOP1", "HOP2", "HOP3", "HO3*"};

template <std::size_t K>
bool one_of(const Name& n, const std::string_view (&names)[K]) {
  for (std::string_view s : names)
    if (n == s) return true;
  return false;
}

bool in_c1(const Name& n) {
  const r_scratch_t& r = r_scratch;
  for (int k = 1; k <= r.c1_natom; ++k)
    if (r.c1_aname(k) == n) return true;
  return false;
}

int in_l1(const Name& n) {
  const r_scratch_t& r = r_scratch;
  for (int k = 1; k <= r.l1a_natom; ++k)
    if (r.l1a_aname(k) == n) return k;
  return 0;
}

void clear_links(int k) {
  r_scratch_t& r = r_scratch;
  for (int j = 1; j <= MAX1EXT; ++j) r.l1a_iextr(j, k) = 0;
  for (int j = 1; j <= MAX1BRN; ++j) r.l1a_conn(j, k) = r.l1a_lencon(j, k) = 0;
}

void set_xyz(int k) {
  r_scratch_t& r = r_scratch;
  r.l1a_x(k) = crdatm.cr_xyz(1);
  r.l1a_y(k) = crdatm.cr_xyz(2);
  r.l1a_z(k) = crdatm.cr_xyz(3);
  r.l1a_coor_flag(k) = crdatm.cr_occ < kMinOcc ? "N" : "Y";
  r.l1a_inew(k) = r.l1a_iold(k) = k;
  r.l1a_back(k) = ".";
  r.l1a_forw(k) = ".";
  r.l1a_type(k) = ".";
}

// A sign in character 2 with the digit in 3, or in 3 with the digit in 4.
int charge_of(const Name& e) {
  const int len = e.len_trim();
  auto digit = [](char c) { return c >= '0' && c <= '9' ? c - '0' : 0; };
  if (len > 2) {
    if (e(2) == '+') return digit(e(3));
    if (e(2) == '-') return -digit(e(3));
    if (len >= 4) {
      if (e(3) == '+') return digit(e(4));
      if (e(3) == '-') return -digit(e(4));
    }
  }
  return 0;
}

std::string l1_limit_head(std::string_view tail) {
  return " ERROR: in \"LPUT_NEW\", number of atoms in monomer " + std::string(r_scratch.l1l_mname.sub(1, 3)) +
         std::string(tail);
}

}  // namespace

void cut_el_name_(Name& char4) {
  int k = 1;
  while (k <= 4 && char4(k) != '+' && char4(k) != '-') ++k;
  for (int j = k; j <= 4; ++j) char4(j) = ' ';
}

void lput_new_(int32_t mdoc, char list, const rt::FixedText<1>& alt_for_copy, int32_t itype, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  const crdatm_t& cr = crdatm;
  if (r.c1_natom >= 0) {
    if (r.c1_natom >= MX1ATOM) {
      msgerr_(mdoc, rt::fmt("(A50,A8,A,I6)", " ERROR: in \"LPUT_NEW\", number of atoms in monomer ", r.c1_rname, " >",
                            MX1ATOM));
      msgerr_(mdoc, "          Change parameter MX1ATOM in \"lib_com.fh\"");
      ierr = 0;
      r.c1_natom = -1;
    } else {
      if (list == 'T')
        rt::write_list(6, "LPUT:", r.c1_natom, ";", cr.cr_aname, ";", cr.cr_alt, ";", alt_for_copy, ";",
                       cr.cr_aname_inp, ";", cr.cr_asymb, ";", cr.cr_sf_id);
      if (!(cr.cr_alt == ".") && !(cr.cr_alt == alt_for_copy)) return;
      if (itype == 3 && one_of(cr.cr_aname, kPeptideEnds)) return;
      if (itype == 5 && one_of(cr.cr_aname, kNucleotideEnds)) return;
      if (in_c1(cr.cr_aname)) return;
      const int n = ++r.c1_natom;
      r.c1_rname = cr.cr_rname;
      r.c1_aname(n) = cr.cr_aname;
      r.c1_aname_inp(n) = cr.cr_aname_inp;
      r.c1_asymb(n) = cr.cr_asymb;
      r.c1_atype(n) = cr.cr_atype;
      r.c1_alt(n) = cr.cr_alt;
      r.c1_corr(n) = cr.cr_corr;
      for (int d = 1; d <= 3; ++d) r.c1_xyz(d, n) = cr.cr_xyz(d);
      r.c1_occ(n) = cr.cr_occ;
      r.c1_sf_id(n) = cr.cr_sf_id;
      r.s1_chem(n) = crdstr.st_chem;
      r.s1_back(n) = ".";
      r.s1_forw(n) = ".";
      r.s1_inew(n) = r.s1_iold(n) = n;
      r.s1_icrd(n) = r.s1_ndist(n) = r.s1_iback(n) = r.s1_iforw(n) = 0;
      r.s1_char(n) = 0.0f;
      for (int j = 1; j <= MX1BRN; ++j) r.s1_conn(j, n) = r.s1_lencon(j, n) = 0;
      for (int j = 1; j <= MX1EXT; ++j) r.s1_iextr(j, n) = 0;
    }
  }

  if (list == 'T') {
    rt::write_list(6, "-L1L_PRSNT", r.l1l_prsnt);
    rt::write_list(6, "--");
  }
  const int sf = cr.cr_sf_id;
  const bool sf_known = sf >= 1 && sf <= MAXNSF;
  if (r.l1l_prsnt == "M") {
    if (r.l1a_natom < 1) {
      msgerr_(mdoc, l1_limit_head(" <"));
      ierr = 1;
      return;
    }
    const int k = in_l1(cr.cr_aname);
    if (k == 0) {
      msgdoc_(mdoc, rt::fmt("(A21,A8,A,A4,A,A)", " WARNING: in monomer ", r.l1l_mname, " atom :", cr.cr_aname,
                            " is not", " in the library list"));
      return;
    }
    set_xyz(k);
    r.l1a_symb(k) = cr.cr_asymb;
    Name symb = sf_known ? crst_crd.cs_atype(sf) : cr.cr_asymb;
    int32_t insf = 0;
    chkasym_(mdoc, symb, insf, ierr);
    r.l1a_sf_id(k) = insf;
    clear_links(k);
    return;
  }
  if (!(r.l1l_prsnt == "N")) return;
  if (in_l1(cr.cr_aname) != 0) return;
  if (r.l1a_natom >= MAX1ATM) {
    msgerr_(mdoc, l1_limit_head(rt::fmt("(A,I6)", " >", MAX1ATM)));
    msgerr_(mdoc, "          Change parameter MAX1ATM in \"lib_com.fh\"");
    ierr = 1;
    return;
  }
  const int n = ++r.l1a_natom;
  set_xyz(n);
  r.l1a_sf_id(n) = sf;
  r.l1a_aname(n) = cr.cr_aname;
  Name e = sf_known ? crst_crd.cs_element(sf) : Name("?");
  int charge = 0;
  if (e(1) == '?') {
    e = cr.cr_asymb;
  } else {
    charge = charge_of(e);
  }
  cut_el_name_(e);
  r.l1a_chem(n) = cr.cr_asymb;
  r.l1a_symb(n) = e;
  r.l1a_atype(n) = cr.cr_atype;
  r.l1a_charg(n) = static_cast<float>(charge);
  if (!dictionary::is_hydrogen(cr.cr_asymb)) ++r.l1a_nhatom;
  clear_links(n);
  const pdb_hent_t& h = pdb_hent;
  for (int j = 1; j <= h.het_n && j <= MAXHETREC; ++j) {
    if (!(h.het_id(j) == r.l1l_mname)) continue;
    r.l1l_name = h.het_name(j);
    r.l1l_form = h.het_formula(j);
  }
}
