// Work areas of one residue for the restraint generator.
#include "restraints/residue_work.h"

#include <cstdio>
#include <string>

#include "dictionary/lib_com.h"
#include "dictionary/tree_backbone.h"
#include "dictionary/tree_renumber.h"
#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"
#include "output/cif_out_atoms.h"
#include "suite/pi.h"

namespace {

// Model atoms of these kinds never enter C1: they are written after the
// residue's described atoms instead.
bool stays_out(char t) { return t == 'U' || t == 'D' || t == 'M' || t == 'N'; }

// The 8-character name of connection code iconn, or blank when it is not a
// named connection.
rt::FixedText<8> conn_name(int32_t iconn) {
  rt::FixedText<8> name("");
  if (iconn >= 1 && iconn <= cif_types.n_conn_type) name = cif_types.conn_type(iconn);
  return name;
}

// The name of the link between a residue and its neighbour `far` of a
// branched chain: the neighbour's own connection code when the neighbour
// points back at `near` (the code naming the link into `far`), else the
// branch code 10 (the neighbour hangs from another residue).
rt::FixedText<8> link_into(int32_t near, int32_t far, bool far_is_forward) {
  const int32_t points_to = far_is_forward ? resid_inf.ires_back(far) : resid_inf.ires_forw(far);
  const int32_t owner = far_is_forward ? far : near;
  const int32_t code = points_to == near ? resid_inf.iconn_type(owner) : 10;
  if (code <= 1) return rt::FixedText<8>("");
  return conn_name(code);
}

// L1 index of residue ir's atom in the first unspecial link named `link`
// between ir and nb in chain ig; 0 when there is none.
int32_t link_atom_in_l1(std::string_view link, int32_t ig, int32_t ir, int32_t nb) {
  if (rt::len_trim(link) == 0) return 0;
  const link_inf_t& l = link_inf;
  for (int i = 1; i <= l.ln_n; ++i) {
    if (l.ln_used(i) == "S" || !(l.ln_id(i) == link)) continue;
    if (l.ln_1ichn(i) != ig || l.ln_2ichn(i) != ig) continue;
    const bool first = l.ln_1ires(i) == ir && l.ln_2ires(i) == nb;
    const bool second = l.ln_1ires(i) == nb && l.ln_2ires(i) == ir;
    if (!first && !second) continue;
    const rt::FixedText<4> atom(first ? l.ln_atom1(i).sub(1, 4) : l.ln_atom2(i).sub(1, 4));
    const r_scratch_t& r = r_scratch;
    for (int a = 1; a <= r.l1a_natom; ++a)
      if (r.l1a_aname(a) == atom) return a;
    return 0;
  }
  return 0;
}

void report_overflow(int32_t mdoc, int32_t ir) {
  const std::string head = " ERROR: number of atoms of monomer " + std::string(resid_inf.res_num_pdb(ir).view()) + " >";
  foundation::table_full(mdoc, head, MX1ATOM, "", {.constant = "MX1ATOM", .header = "lib_com", .indent = 9});
}

void store_atom(int32_t n, int32_t ia, int32_t first) {
  r_scratch_t& r = r_scratch;
  const atom_inf_t& a = atom_inf;
  const atom_crd_t& c = atom_crd;
  r.c1_ialt(n) = first;
  r.c1_nalt(n) = first == 0 ? 1 : 0;
  for (int k = 1; k <= 3; ++k) r.c1_xyz(k, n) = c.xyz_crd(k, ia);
  r.c1_occ(n) = c.occup(ia);
  r.c1_aname(n) = a.atm_name(ia);
  r.c1_aname_inp(n) = a.atm_name_inp(ia);
  const int32_t sf = a.id_sf(ia);
  if (sf >= 1 && sf <= crst_crd.cs_nsfatm)
    r.c1_asymb(n) = crst_crd.cs_atype(sf);
  else
    r.c1_asymb(n) = "";
  r.c1_sf_id(n) = sf;
  r.c1_user(n) = static_cast<float>(c.mult_factor(ia)) + 0.001f;
  r.c1_atype(n) = a.atm_type(ia) == "R" ? "m" : "M";
  r.c1_alt(n) = a.id_alt(ia);
  r.c1_corr(n) = a.id_corr(ia);
  r.s1_icrd(n) = ia;
  r.s1_chem(n) = a.atm_chem(ia);
  r.c1_fsc(n) = "N";
  r.c1_fsa(n) = "N";
  r.c1_fus(n) = "N";
  if (a.b_flag(ia) >= 1) {
    r.c1_btype(n) = "A";
    for (int k = 1; k <= 6; ++k) r.c1_anis(k, n) = c.u_aniso(k, ia);
    calc_b_equiv_(&r.c1_anis(1, n), r.c1_biso(n));
  } else {
    r.c1_btype(n) = "I";
    r.c1_anis(1, n) = c.u_aniso(1, ia);
    for (int k = 2; k <= 6; ++k) r.c1_anis(k, n) = 0.0f;
    const float pi = suite::kPi<float>;
    r.c1_biso(n) = 8.0f * pi * pi * c.u_aniso(1, ia);
  }
}

void set_residue_fields(int32_t ig, int32_t ir) {
  r_scratch_t& r = r_scratch;
  r.c1_ich = ig;
  r.c1_ires = ir;
  r.c1_rname = resid_inf.res_name(ir);
  r.c1_code1 = ".";
  r.c1_pnum = resid_inf.res_num_pdb(ir);
  const int32_t it = resid_inf.ires_type(ir);
  r.c1_rtype = it >= 1 && it <= cif_types.n_res_type ? cif_types.res_type(it).view() : std::string_view(".");
  const int32_t its = ig >= 1 && ig <= asym_part.n_group ? asym_part.iterm_s_type(ig) : 0;
  if (its >= 2 && its <= cif_types.n_sterm_type)
    r.c1_s_term = cif_types.term_s_type(its);
  else
    r.c1_s_term = ".";
}

}  // namespace

void get_monom_(int32_t mdoc, char list, int32_t ig, int32_t ir, int32_t ias, int32_t iaf, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  atom_inf_t& a = atom_inf;
  r.c1_natom = 0;
  if (list == 'T') msgdoc_(mdoc, "--GET_MONOM");
  set_residue_fields(ig, ir);
  for (int32_t ia = ias; ia <= iaf; ++ia) {
    if (list == 'T') msgdoc_(mdoc, std::string(" ") + std::string(a.atm_name(ia).view()));
    if (stays_out(a.atm_type(ia)(1))) continue;
    int32_t first = 0;
    for (int j = 1; j <= r.c1_natom; ++j) {
      if (r.c1_aname(j) == a.atm_name(ia)) {
        first = j;
        break;
      }
    }
    if (first > 0) {
      r.c1_ialt(first) = 0;
      r.c1_nalt(first) += 1;
      if (a.id_alt(ia) == r.c1_alt(first)) {
        msgdoc_(mdoc, " WARNING : " + std::string(a.atm_name(ia).view()) + " double atom\"s occurrence:" +
                          std::string(resid_inf.res_num_pdb(ir).view()) + ", Now alt_id = \"?\"");
        a.id_alt(ia) = "?";
      }
    }
    if (r.c1_natom >= MX1ATOM) {
      report_overflow(mdoc, ir);
      ierr = 2;
      return;
    }
    const int32_t n = r.c1_natom + 1;
    r.c1_natom = n;
    store_atom(n, ia, first);
  }
}

void initcs_2_() {
  r_scratch_t& r = r_scratch;
  for (int k = 1; k <= MX1ATOM; ++k) {
    r.s2_back(k) = "?";
    r.s2_forw(k) = "?";
    r.s2_chem(k) = "-";
    r.c2_atype(k) = "U";
    r.s2_hbt(k) = ".";
    r.s2_id_psi(k) = "?";
    r.s2_inew(k) = r.s2_iold(k) = r.s2_ilib(k) = r.s2_icrd(k) = 0;
    r.s2_ndist(k) = r.s2_iback(k) = r.s2_iforw(k) = r.s2_ichem(k) = 0;
    r.s2_istart(k) = r.s2_ifinish(k) = r.s2_conn_s(k) = 0;
    for (int e = 1; e <= MX1EXT; ++e) r.s2_iextr(e, k) = 0;
    for (int c = 1; c <= MX1BRN; ++c) {
      r.s2_conn(c, k) = 0;
      r.s2_lencon(c, k) = 0;
    }
    r.s2_vdw(k) = r.s2_ion(k) = r.s2_char(k) = r.s2_psi(k) = 0.0f;
    r.s2_dist(k) = r.s2_tht(k) = -1.0f;
  }
  r.c2_code1 = "?";
  r.c2_pnum = ".";
  r.s2_ftree = "N";
}

void change_tree_sugar_(int32_t mdoc, int32_t ig, int32_t ir, int32_t& ierr) {
  ierr = 0;
  int32_t istart = 0;
  int32_t ifinish = 0;
  const int32_t irb = resid_inf.ires_back(ir);
  // The back neighbour's forward pointer tells whether ir continues its
  // line or branches off it; the forward neighbour's back pointer likewise.
  if (irb > 0) istart = link_atom_in_l1(link_into(ir, irb, false).view(), ig, ir, irb);
  const int32_t irf = resid_inf.ires_forw(ir);
  if (irf > 0) ifinish = link_atom_in_l1(link_into(ir, irf, true).view(), ig, ir, irf);

  r_scratch_t& r = r_scratch;
  int32_t jerr = 0;
  set_num_mod_(mdoc, r.l1l_mname.view(), rt::FixedText<12>("").view(), jerr);
  if (jerr != 0) return;

  int32_t type = -1;
  if (istart == r.l1a_istart && (ifinish == 0 || ifinish == r.l1a_ifinish))
    return;
  else if (istart > 0 && istart == r.l1a_ifinish)
    type = 0;
  else if (istart > 0 && istart != r.l1a_istart)
    type = 1;
  else if (ifinish > 0 && ifinish != r.l1a_ifinish)
    type = 2;
  if (type < 0) return;
  mod_tree_backbone_(type, istart, ifinish, jerr);
}

void add_u_atoms_(int32_t /*mdoc*/, int32_t /*ig*/, int32_t /*ir*/, int32_t ias, int32_t iaf, int32_t& nadd,
                  char /*hflag*/, int32_t& ierr) {
  nadd = 0;
  ierr = 0;
  const r_scratch_t& r = r_scratch;
  for (int k = 1; k <= r.c1_natom; ++k) {
    const bool uncovered = (r.c1_atype(k) == "D" && r.s1_ilib(k) != 0) || r.c1_atype(k) == "U";
    if (uncovered && !(r.c1_asymb(k).sub(1, 2) == "H ")) ++nadd;
  }
  for (int32_t ia = ias; ia <= iaf; ++ia) {
    const char t = atom_inf.atm_type(ia)(1);
    if ((t == 'U' || t == 'D' || t == 'N') && !(atom_inf.atm_chem(ia).sub(1, 2) == "H ")) ++nadd;
  }
}
