// Coordinate and structure output during restraint generation.
#include "restraints/coord_output.h"

#include "dictionary/element_table.h"
#include "dictionary/lib_com.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "foundation/words.h"
#include "output/cif_out_atoms.h"
#include "output/cif_out_header.h"
#include "output/out_lines.h"
#include "output/str_write.h"
#include "restraints/energy_terms.h"
#include "restraints/rst_file.h"
#include "runtime/units.h"

namespace {

template <typename T>
using Atoms = rt::Array1<T, MX1ATOM>;

// One residue work area (C1 with S1, or C2 with S2), by reference.
struct Work {
  int32_t& natom;
  int32_t& igatm;
  int32_t& iglobal;
  int32_t& ires;
  int32_t& ich;
  rt::FixedText<8>& rname;
  rt::FixedText<12>& pnum;
  rt::Array2<float, 3, MX1ATOM>& xyz;
  rt::Array2<float, 6, MX1ATOM>& anis;
  Atoms<float>& biso;
  Atoms<float>& occ;
  Atoms<float>& user;
  Atoms<int32_t>& sf_id;
  Atoms<rt::FixedText<4>>& aname;
  Atoms<rt::FixedText<4>>& aname_inp;
  Atoms<rt::FixedText<4>>& asymb;
  Atoms<rt::FixedText<1>>& atype;
  Atoms<rt::FixedText<1>>& alt;
  Atoms<rt::FixedText<1>>& corr;
  Atoms<rt::FixedText<1>>& btype;
  Atoms<int32_t>& inew;
  Atoms<int32_t>& ilib;
  Atoms<rt::FixedText<4>>& chem;
};

Work first_work() {
  r_scratch_t& r = r_scratch;
  return {r.c1_natom, r.c1_igatm, r.c1_iglobal,   r.c1_ires,  r.c1_ich,   r.c1_rname,
          r.c1_pnum,  r.c1_xyz,   r.c1_anis,      r.c1_biso,  r.c1_occ,   r.c1_user,
          r.c1_sf_id, r.c1_aname, r.c1_aname_inp, r.c1_asymb, r.c1_atype, r.c1_alt,
          r.c1_corr,  r.c1_btype, r.s1_inew,      r.s1_ilib,  r.s1_chem};
}

Work second_work() {
  r_scratch_t& r = r_scratch;
  return {r.c2_natom, r.c2_igatm, r.c2_iglobal,   r.c2_ires,  r.c2_ich,   r.c2_rname,
          r.c2_pnum,  r.c2_xyz,   r.c2_anis,      r.c2_biso,  r.c2_occ,   r.c2_user,
          r.c2_sf_id, r.c2_aname, r.c2_aname_inp, r.c2_asymb, r.c2_atype, r.c2_alt,
          r.c2_corr,  r.c2_btype, r.s2_inew,      r.s2_ilib,  r.s2_chem};
}

bool blank_name(rt::FixedText<256>& name) {
  int32_t nl = 0;
  lenstr_bl_(name, nl);
  if (nl > 0) return false;
  name = "";
  return true;
}

rt::FixedText<4> element_of(const Work& w, int32_t k) {
  rt::FixedText<4> e(w.asymb(k).sub(1, 2));
  if (e(1) == ' ') e(1) = '.';
  char cls = ' ';
  chksmb_(e(1), cls);
  if (cls == '?') e = "?";
  const int32_t sf = w.sf_id(k);
  if (sf > 0 && sf <= crst_crd.cs_nsfatm)
    e = crst_crd.cs_element(sf) == "?" ? crst_crd.cs_atype(sf) : crst_crd.cs_element(sf);
  return e;
}

void fill_atom(Work& w, int32_t k, int32_t serial, int32_t naniso) {
  crdatm_t& c = crdatm;
  for (int i = 1; i <= 3; ++i) c.cr_xyz(i) = w.xyz(i, k);
  c.cr_biso = w.biso(k);
  c.cr_occ = w.occ(k);
  c.cr_anis(1) = w.anis(1, k);
  for (int i = 2; i <= 6; ++i) c.cr_anis(i) = naniso >= 1 ? w.anis(i, k) : 0.0f;
  c.cr_btype = naniso >= 1 ? "A" : ".";
  c.cr_b_flag = (w.btype(k) == "A" || w.btype(k) == "a") ? 1 : 0;
  c.cr_iatold = serial;
  c.cr_mult_factor = static_cast<int32_t>(w.user(k));
  c.cr_aname = w.aname(k);
  // A name whose first column is blank (a PDB name written from column 15)
  // goes out as the connection rows write it, blanks as "_": a "." in its
  // place would name another atom, and one a link row takes for none.
  if (c.cr_aname.is_blank()) c.cr_aname = ".";
  c.cr_aname_inp = w.aname_inp(k);
  c.cr_alt = w.alt(k);
  c.cr_corr = w.corr(k);
  c.cr_rname = w.rname;
  c.cr_pnum = w.pnum;
  c.cr_group = w.pnum.sub(8, 11);
  if (c.cr_group(1) == ' ') c.cr_group(1) = '.';
  c.cr_ires = w.ires;
  c.cr_igroup = w.ich;
  c.cr_sf_id = w.sf_id(k);
  crdstr.st_chem = w.chem(k);
  if (w.atype(k) == "Y") w.atype(k) = ".";
  if (w.atype(k).is_blank()) w.atype(k) = ".";
  c.cr_atype = w.atype(k);
  c.cr_asymb = element_of(w, k);
  // A position that is not a number would be written as text the readers
  // refuse: it goes out as the origin.
  for (int i = 1; i <= 3; ++i) c.cr_xyz(i) = restraints::finite_or_zero(c.cr_xyz(i));
}

void write_residue(Work w, int32_t mdoc, int32_t naniso, int32_t& ierr) {
  const int32_t iun = crdinf.cro_iun;
  if (iun == 0) {
    msgerr_(mdoc, " ERR: output_CRD_file isn't open");
    ierr = 1;
    return;
  }
  int32_t n = 0;
  for (int32_t i = 1; i <= w.igatm; ++i) {
    const int32_t k = w.inew(i);
    if (k < 1 || w.atype(k) == "D") continue;
    fill_atom(w, k, w.iglobal + ++n, naniso);
    wrcrd_cif_(mdoc, iun, 0, 0, ierr);
  }
  for (int32_t k = 1; k <= w.natom; ++k) {
    if (!(w.atype(k) == "U" || (w.atype(k) == "D" && w.ilib(k) != 0))) continue;
    fill_atom(w, k, w.iglobal + ++n, naniso);
    wrcrd_cif_(mdoc, iun, 0, 0, ierr);
    ++w.igatm;
  }
}

void coordinates(Work w, std::string_view mode, int32_t mdoc, int32_t naniso, int32_t& ierr) {
  crdinf_t& c = crdinf;
  if (blank_name(c.cro_file)) return;
  ierr = 0;
  const rt::FixedText<4> word(mode);
  if (word == "TITL") {
    int32_t iun = c.cro_iun;
    owcrd_cif_(mdoc, iun, c.cro_path, c.cro_file, c.cro_ext, ierr);
    c.cro_iun = iun;
    if (ierr == 1) msgerr_(mdoc, " ERROR: open output file");
    else if (ierr != 0) msgerr_(mdoc, " ERROR: writing titles of output file");
  } else if (word == "WRIT") {
    write_residue(w, mdoc, naniso, ierr);
  } else if (word == "STOP") {
    if (c.cro_iun == 0) {
      msgerr_(mdoc, " ERR: output_CRD_file can't be close");
      ierr = 1;
      return;
    }
    wrcrd_cif_(mdoc, c.cro_iun, 0, 1, ierr);
  }
}

// Serial of a tree partner: inside the residue by its place, else the
// serial across the link, else the link value as it stands.
int32_t partner_serial(int32_t link, int32_t across) {
  const r_scratch_t& r = r_scratch;
  if (link > 0) return r.c2_iglobal + r.s2_iold(link);
  if (across > 0) return across;
  return link;
}

void structure_rows(int32_t mdoc, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  const int32_t iun = crdinf.crso_iun;
  if (iun == 0) {
    msgerr_(mdoc, " ERR: output_STR_file isn't open");
    ierr = 1;
    return;
  }
  // The coordinate controller may have raised c2_igatm by appended atoms;
  // those have no place in the tree order and get no row.
  const int32_t places = std::min(r.c2_igatm, MX1ATOM);
  for (int32_t i = 1; i <= places; ++i)
    if (r.s2_inew(i) > 0) r.s2_hbt(r.s2_inew(i)) = "N";
  for (int32_t i = 1; i <= places; ++i) {
    const int32_t k = r.s2_inew(i);
    if (k > 0 && dictionary::is_hydrogen(r.c2_asymb(k)) && r.s2_iback(k) > 0) r.s2_hbt(r.s2_iback(k)) = "H";
  }
  output::Line line;
  int32_t n = 0;
  for (int32_t i = 1; i <= places; ++i) {
    const int32_t k = r.s2_inew(i);
    if (k < 1 || r.c2_atype(k) == "D" || r.c2_atype(k) == "U") continue;
    const int32_t serial = r.c2_iglobal + ++n;
    const int32_t back = partner_serial(r.s2_iback(k), r.s2_conn_s(k));
    const int32_t forw = partner_serial(r.s2_iforw(k), r.s2_conn_f(k));
    const int32_t nx = r.s2_nextr(k);
    const int32_t extr1 = nx >= 1 ? r.c2_iglobal + r.s2_iold(r.s2_iextr(1, k)) : 0;
    const int32_t extr2 = nx >= 2 ? r.c2_iglobal + r.s2_iold(r.s2_iextr(2, k)) : 0;
    if (dictionary::is_hydrogen(r.c2_asymb(k))) r.s2_hbt(k) = "H";
    rt::FixedText<4> t = r.s2_chem(k);
    if (t.is_blank()) t = ".";
    const int32_t e = restraints::energy_type_row(t);
    if (e == 0) {
      r.s2_hbt(k) = ".";
    } else {
      const bool carries_h = r.s2_hbt(k) == "H";
      r.s2_hbt(k) = r.lea_htype(e);
      if (carries_h) {
        r.s2_vdw(k) = r.lea_radius(e);
      } else {
        r.s2_vdw(k) = r.lea_hradius(e) <= 1.0e-6f ? r.lea_radius(e) : r.lea_hradius(e);
      }
      r.s2_ion(k) = r.lea_iradius(e);
    }
    // An identifier never set (zero bytes) or blank is written as "." so
    // that the row keeps its count of values.
    rt::FixedText<4> psi_id(r.s2_id_psi(k).sub(1, 4));
    for (int c = 1; c <= 4; ++c)
      if (psi_id(c) == '\0') psi_id(c) = ' ';
    if (psi_id.is_blank()) psi_id = ".";
    using restraints::finite_or_zero;
    output::put_line(iun, line, ierr, "(I6,1X,A1,1X,A5,4(1X,I6),1X,A4,3(1X,F7.2),2(1X,F6.2))",
                     serial, r.s2_hbt(k), r.c2_pnum.sub(3, 7), back, forw, extr1, extr2, psi_id,
                     finite_or_zero(r.s2_dist(k)), finite_or_zero(r.s2_tht(k)),
                     finite_or_zero(r.s2_psi(k)), finite_or_zero(r.s2_vdw(k)),
                     finite_or_zero(r.s2_ion(k)));
  }
}

}  // namespace

void wrt_ccrd_(std::string_view mode, int32_t mdoc, int32_t naniso, int32_t& ierr) {
  coordinates(first_work(), mode, mdoc, naniso, ierr);
}

void wrt_ccrd2_(std::string_view mode, int32_t mdoc, int32_t naniso, int32_t& ierr) {
  coordinates(second_work(), mode, mdoc, naniso, ierr);
}

void wrt_str_(std::string_view mode, int32_t mdoc, int32_t& ierr) {
  crdinf_t& c = crdinf;
  if (blank_name(c.crso_file)) return;
  ierr = 0;
  const rt::FixedText<4> word(mode);
  if (word == "TITL") {
    const rt::FixedText<80> path(c.crso_path.sub(1, 80)), ext(c.crso_ext.sub(1, 80));
    int32_t iun = c.crso_iun;
    owstr_cif_(99, iun, path, c.crso_file, ext, ierr);
    if (ierr != 0) msgerr_(mdoc, " ERR: can't open output_STR_file");
  } else if (word == "WRIT") {
    structure_rows(mdoc, ierr);
  } else if (word == "STOP") {
    if (c.crso_iun == 0) {
      msgerr_(mdoc, " ERR: output_STR_file can't be close");
      ierr = 1;
      return;
    }
    // The rows' statuses are not tested between rows: a row lost at its
    // write, or buffered rows lost now, show at the close.
    if (rt::unit_close_or_remove(c.crso_iun) != rt::IOSTAT_OK) {
      msgerr_(mdoc, " ERROR: WRITE TO OUTPUT FILE /str/");
      ierr = 4;
    }
  }
}
