// The coordinate work residue of one conformation.  A residue never has more
// than MX1ATOM atoms in C1; the alternate-code table is small and scanned.
#include "identify/work_residue.h"

#include "dictionary/element_table.h"
#include "dictionary/lib_com.h"
#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"
#include "output/cif_out_atoms.h"
#include "runtime/format.h"
#include "suite/pi.h"

namespace {

constexpr int kMaxAlt = 20;
constexpr float kMinOcc = 1.0E-4f;

bool not_copied(const rt::FixedText<1>& atm_type) {
  return atm_type == "U" || atm_type == "N" || atm_type == "D";
}

// The slot of C1 already named aname, 0 when none.
int c1_slot(const rt::FixedText<4>& aname) {
  const r_scratch_t& r = r_scratch;
  for (int k = 1; k <= r.c1_natom; ++k)
    if (r.c1_aname(k) == aname) return k;
  return 0;
}

void fill_slot(int k, int32_t ia) {
  r_scratch_t& r = r_scratch;
  const atom_inf_t& a = atom_inf;
  const atom_crd_t& c = atom_crd;
  for (int d = 1; d <= 3; ++d) r.c1_xyz(d, k) = c.xyz_crd(d, ia);
  r.c1_nalt(k) = 1;
  r.c1_sf_id(k) = a.id_sf(ia);
  r.c1_ialt(k) = 0;
  r.s1_icrd(k) = ia;
  r.s1_char(k) = 0.0f;
  r.c1_atype(k) = "M";
  r.c1_corr(k) = a.id_corr(ia);
  r.c1_alt(k) = a.id_alt(ia);
  r.s1_chem(k) = a.atm_chem(ia);
  r.c1_aname_inp(k) = a.atm_name_inp(ia);
  r.c1_aname(k) = a.atm_name(ia);
  const int sf = a.id_sf(ia);
  if (sf >= 1 && sf <= MAXNSF)
    r.c1_asymb(k) = crst_crd.cs_atype(sf);
  else
    r.c1_asymb(k) = ".";
  r.c1_occ(k) = c.occup(ia);
  r.c1_user(k) = static_cast<float>(c.mult_factor(ia)) + 0.001f;
  constexpr float c8pi2 = 8.0f * suite::kPi<float> * suite::kPi<float>;
  for (int d = 1; d <= 6; ++d) r.c1_anis(d, k) = 0.0f;
  if (a.b_flag(ia) < 1) {
    r.c1_btype(k) = "I";
    r.c1_anis(1, k) = c.u_aniso(1, ia);
    // The atom tables keep U; C1 carries B in both branches.
    r.c1_biso(k) = c.u_aniso(1, ia) * c8pi2;
  } else {
    r.c1_btype(k) = "A";
    for (int d = 1; d <= 6; ++d) r.c1_anis(d, k) = c.u_aniso(d, ia);
    calc_b_equiv_(&c.u_aniso(1, ia), r.c1_biso(k));
  }
}

}  // namespace

void get_alt_for_copy_(int32_t /*mdoc*/, int32_t ias, int32_t iaf, rt::FixedText<1>& alt_for_copy,
                       int32_t& /*ierr*/) {
  const atom_inf_t& a = atom_inf;
  rt::Array1<rt::FixedText<1>, kMaxAlt> alt;
  rt::Array1<int32_t, kMaxAlt> i_alt;
  int n_alt = 0;
  alt_for_copy = ".";
  for (int32_t ia = ias; ia <= iaf; ++ia) {
    if (not_copied(a.atm_type(ia)) || atom_crd.occup(ia) < kMinOcc || a.id_alt(ia) == ".") continue;
    int k = 1;
    while (k <= n_alt && !(alt(k) == a.id_alt(ia))) ++k;
    if (k <= n_alt) {
      ++i_alt(k);
    } else if (n_alt < kMaxAlt) {
      alt(++n_alt) = a.id_alt(ia);
      i_alt(n_alt) = 1;
    }
  }
  int best = 0;
  for (int k = 1; k <= n_alt; ++k)
    if (best == 0 || i_alt(k) > i_alt(best)) best = k;
  if (best != 0) alt_for_copy = alt(best);
}

void pre_monom_(int32_t mdoc, int32_t ig, int32_t ir, int32_t ias, int32_t iaf, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  const atom_inf_t& a = atom_inf;
  r.c1_natom = 0;
  rt::FixedText<1> alt_for_copy;
  get_alt_for_copy_(mdoc, ias, iaf, alt_for_copy, ierr);
  for (int32_t ia = ias; ia <= iaf; ++ia) {
    if (not_copied(a.atm_type(ia))) continue;
    int k = c1_slot(a.atm_name(ia));
    if (k != 0) {
      // Another conformation of a stored atom: it replaces the stored one
      // only when it is of the chosen alternate and the stored one has none.
      if (!(a.id_alt(ia) == ".") && (!(a.id_alt(ia) == alt_for_copy) || r.c1_alt(k) == ".")) continue;
    } else {
      if (r.c1_natom >= MX1ATOM) {
        msgerr_(mdoc, rt::fmt("(' ERROR: number of atoms of monomer ',A7,' >',I6)", resid_inf.res_num_pdb(ir),
                              MX1ATOM));
        msgerr_(mdoc, "         Change parameter MX1ATOM in \"lib_com.fh\"");
        ierr = 2;
        return;
      }
      k = ++r.c1_natom;
    }
    fill_slot(k, ia);
  }
  r.c1_ires = ir;
  r.c1_ich = ig;
  r.c1_rname = resid_inf.res_name(ir);
  r.c1_pnum = resid_inf.res_num_pdb(ir);
  r.c1_code1 = ".";
  const int t = resid_inf.ires_type(ir);
  r.c1_rtype = t >= 1 && t <= MAXRESTYPE ? cif_types.res_type(t) : rt::FixedText<16>(".");
  for (int k = 1; k <= r.c1_natom; ++k) {
    r.c1_fsc(k) = "N";
    r.c1_fsa(k) = "N";
    r.c1_fus(k) = "N";
  }
  if (r.c1_natom == 0) {
    msgerr_(mdoc, " ERROR: number of atoms of monomer (c1_natom)=0");
    ierr = 2;
  }
}

void new_l1_header(const rt::FixedText<8>& mon, const rt::FixedText<8>& mname2) {
  r_scratch_t& r = r_scratch;
  r.l1l_mname = mon;
  r.l1l_mname2 = mname2;
  r.l1l_code1 = "x";
  r.l1l_name = ".";
  r.l1l_form = ".";
  r.l1l_mode = ".";
  r.l1l_fuse = "?";
  r.l1l_hflag = ".";
  r.l1b_nbond = r.l1g_nangl = r.l1t_ntors = r.l1c_nchir = r.l1p_nplan = r.l1n_nconn = 0;
}

void l1_atom_from_c1(int n, int k, const rt::FixedText<4>& chem) {
  r_scratch_t& r = r_scratch;
  r.l1a_iold(n) = r.l1a_inew(n) = k;
  r.l1a_x(n) = r.c1_xyz(1, k);
  r.l1a_y(n) = r.c1_xyz(2, k);
  r.l1a_z(n) = r.c1_xyz(3, k);
  r.l1a_charg(n) = r.s1_char(k);
  r.l1a_aname(n) = r.c1_aname(k);
  r.l1a_symb(n) = r.c1_asymb(k);
  r.l1a_chem(n) = chem;
  r.l1a_atype(n) = r.c1_atype(k);
  r.l1a_type(n) = ".";
  r.l1a_back(n) = ".";
  r.l1a_forw(n) = ".";
  r.l1a_icr(n) = r.l1a_ndist(n) = r.l1a_iback(n) = r.l1a_iforw(n) = 0;
  for (int j = 1; j <= MAX1BRN; ++j) r.l1a_conn(j, n) = r.l1a_lencon(j, n) = 0;
  for (int j = 1; j <= MAX1EXT; ++j) r.l1a_iextr(j, n) = 0;
  r.l1a_coor_flag(n) = r.c1_occ(k) < kMinOcc ? "N" : "Y";
  r.l1a_sf_id(n) = 0;
}

void copy_c1_l1_(int32_t mdoc, const rt::FixedText<8>& monomer_new, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  new_l1_header(monomer_new, monomer_new);
  int n = 0, nh = 0;
  for (int k = 1; k <= r.c1_natom; ++k) {
    bool seen = false;
    for (int l = 1; l <= n && !seen; ++l) seen = r.l1a_aname(l) == r.c1_aname(k);
    if (seen) continue;
    ++n;
    l1_atom_from_c1(n, k, r.s1_chem(k));
    const int sf = r.c1_sf_id(k);
    if (sf >= 1 && sf <= MAXNSF) {
      rt::FixedText<4> symb = crst_crd.cs_atype(sf);
      int32_t insf = 0;
      chkasym_(mdoc, symb, insf, ierr);
      r.l1a_sf_id(n) = insf;
    }
    if (!dictionary::is_hydrogen(r.l1a_symb(n))) ++nh;
  }
  r.l1l_natm = r.l1a_natom = n;
  r.l1l_nhatm = r.l1a_nhatom = nh;
}
