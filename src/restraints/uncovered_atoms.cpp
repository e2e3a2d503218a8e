// Output of a residue's uncovered atoms.
#include "restraints/uncovered_atoms.h"

#include "dictionary/lib_com.h"
#include "foundation/atom_com.h"
#include "output/cif_out_atoms.h"
#include "output/str_write.h"
#include "suite/pi.h"

namespace {

bool uncovered(int32_t ia) {
  const char t = atom_inf.atm_type(ia)(1);
  return t == 'U' || t == 'D' || t == 'N';
}

void fill_atom_record(int32_t ia, int32_t serial) {
  crdatm_t& r = crdatm;
  const atom_inf_t& a = atom_inf;
  const atom_crd_t& c = atom_crd;
  const int32_t ires = a.i_resid(ia);
  for (int k = 1; k <= 3; ++k) r.cr_xyz(k) = c.xyz_crd(k, ia);
  r.cr_occ = c.occup(ia);
  if (a.b_flag(ia) >= 1) {
    for (int k = 1; k <= 6; ++k) r.cr_anis(k) = c.u_aniso(k, ia);
    r.cr_b_flag = 1;
    calc_b_equiv_(r.cr_anis.data(), r.cr_biso);
  } else {
    r.cr_anis(1) = c.u_aniso(1, ia);
    for (int k = 2; k <= 6; ++k) r.cr_anis(k) = 0.0f;
    r.cr_b_flag = 0;
    const float pi = suite::kPi<float>;
    r.cr_biso = 8.0f * pi * pi * c.u_aniso(1, ia);
  }
  r.cr_btype = a.n_aniso > 0 ? "A" : ".";
  r.cr_iatold = serial;
  r.cr_ires = resid_inf.ires_serial(ires);
  const int32_t ich = resid_inf.i_chain(ires);
  r.cr_igroup = ich;
  r.cr_rname = resid_inf.res_name(ires);
  r.cr_pnum = resid_inf.res_num_pdb(ires);
  r.cr_group = ich >= 1 ? asym_part.group_id(ich) : rt::FixedText<4>("");
  r.cr_aname = a.atm_name(ia);
  r.cr_aname_inp = a.atm_name_inp(ia);
  const int32_t sf = a.id_sf(ia);
  if (sf >= 1 && sf <= crst_crd.cs_nsfatm) {
    // A type without a known element is written under its own name.
    r.cr_asymb = crst_crd.cs_element(sf) == "?" ? crst_crd.cs_atype(sf) : crst_crd.cs_element(sf);
  } else {
    r.cr_asymb = "";
  }
  r.cr_alt = a.id_alt(ia);
  r.cr_corr = a.id_corr(ia);
  r.cr_atype = a.atm_type(ia);
  r.cr_mult_factor = c.mult_factor(ia);
  r.cr_sf_id = sf;
  // The row's type column is read from crdstr: left as it was, it would
  // carry the type of the atom written before this one.
  crdstr.st_chem = a.atm_chem(ia);
}

void fill_structure_record(int32_t ia, int32_t serial) {
  crdstr_t& s = crdstr;
  s.st_vdw = s.st_ion = s.st_char = 0.0f;
  s.st_dist = s.st_tht = s.st_psi = 0.0f;
  s.st_ia = serial;
  s.st_iback = s.st_ifor = s.st_iextr = 0;
  s.st_chem = atom_inf.atm_chem(ia);
  s.st_hbt = ".";
  // Number and insertion code only: the chain is the structure file's own.
  s.st_pnum = resid_inf.res_num_pdb(atom_inf.i_resid(ia)).sub(3, 7).view();
  s.st_id_psi = ".";
}

void write_uncovered(int32_t mdoc, int32_t ias, int32_t iaf, int32_t base, bool with_structure, int32_t& ierr) {
  ierr = 0;
  int32_t k = 0;
  for (int32_t ia = ias; ia <= iaf; ++ia) {
    if (!uncovered(ia)) continue;
    ++k;
    fill_atom_record(ia, base + k);
    wrcrd_cif_(mdoc, crdinf.cro_iun, 0, 0, ierr);
    if (!with_structure) continue;
    fill_structure_record(ia, base + k);
    wrstr_cif_(mdoc, crdinf.crso_iun, 0, 0, ierr);
  }
}

}  // namespace

void copy2_u_atoms_(int32_t mdoc, int32_t /*ig*/, int32_t /*ir*/, int32_t ias, int32_t iaf, int32_t& ierr) {
  write_uncovered(mdoc, ias, iaf, r_scratch.c2_iglobal + r_scratch.c2_igatm, true, ierr);
}

void copy_u_atoms_(int32_t mdoc, int32_t /*ig*/, int32_t /*ir*/, int32_t ias, int32_t iaf, int32_t& ierr) {
  write_uncovered(mdoc, ias, iaf, r_scratch.c1_iglobal + r_scratch.c1_igatm, false, ierr);
}
