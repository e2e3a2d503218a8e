// Atom rows of the mmCIF coordinate output.  Each row is two physical
// lines: the label, coordinate, occupancy, B and element columns, then the
// input name and chemical type, the multiplicity and footnote columns when
// the model carries them, and the six U values when it has anisotropic
// atoms.  Coordinates go back into the frame of the file that was read.
#include "output/cif_out_atoms.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "foundation/atom_com.h"
#include "foundation/atom_names.h"
#include "foundation/messages.h"
#include "foundation/vec3.h"
#include "output/cif_out_header.h"
#include "output/file_frame.h"
#include "output/out_lines.h"
#include "runtime/units.h"
#include "suite/pi.h"

namespace {

// Both lines of a row in one format, so that a run of rows keeps hitting
// the formatter's last compiled format.  Line 2 in six variants: with or
// without the multiplicity block (ch8), and with the U values, their "."
// placeholders or neither.
#define ORB_ROW1 \
  "I6,1X,A,1X,A,1X,A,1X,A,1X,A,1X,A,1X,F8.3,1X,F8.3,1X,F8.3,1X,F5.2,1X,F6.2,1X,A,1X,A/"
constexpr std::string_view kRowPlain = "(" ORB_ROW1 "7X,A,1X,A)";
constexpr std::string_view kRowMult = "(" ORB_ROW1 "7X,A,1X,A,A8)";
constexpr std::string_view kRowU = "(" ORB_ROW1 "7X,A,1X,A,1X,6(1X,F9.4))";
constexpr std::string_view kRowUDots = "(" ORB_ROW1 "7X,A,1X,A,1X,A)";
constexpr std::string_view kRowMultU = "(" ORB_ROW1 "A,1X,A,A8,1X,6(1X,F9.4))";
constexpr std::string_view kRowMultUDots = "(" ORB_ROW1 "A,1X,A,A8,1X,A)";
#undef ORB_ROW1
constexpr std::string_view kNoU = " . . . . . .";

float eight_pi_squared() {
  constexpr float pi = suite::kPi<float>;
  return pi * (pi * 8.0f);
}

void clamp(float& v, float lo, float hi) {
  if (v < lo) v = lo;
  if (v > hi) v = hi;
}

void dot_if_blank(rt::FixedText<1>& c) {
  if (c(1) == ' ' || c(1) == '\0') c = ".";
}

// Element symbol of atom ia from its scattering type, else from its name.
rt::FixedText<4> element_of(int32_t ia, int32_t ires) {
  const int32_t isf = atom_inf.id_sf(ia);
  if (isf > 0 && isf <= crst_crd.cs_nsfatm) {
    if (crst_crd.cs_element(isf) == "?") return crst_crd.cs_atype(isf);
    return crst_crd.cs_element(isf);
  }
  const rt::FixedText<4>& name = atom_inf.atm_name(ia);
  const int n = name.len_trim();
  const std::string_view two = name.sub(1, 2);
  if (n > 2 && (two == "HG" || two == "HO")) return rt::FixedText<4>("H");
  if (two == "CA" || two == "CD") {
    const int32_t t = resid_inf.ires_type(ires);
    return rt::FixedText<4>(t == 3 || t == 4 ? std::string_view("C") : two);
  }
  rt::FixedText<4> ctype;
  set_ctype_(rt::FixedText<4>(two).view(), ctype);
  return rt::FixedText<4>(ctype(1) == '$' ? two : name.sub(1, 1));
}

// crdatm (and crdstr.st_chem) from atom ia of residue ires in chain ig.
void fill_record(int32_t ia, int32_t ires, int32_t ig, float c8pi2) {
  crdatm_t& r = crdatm;
  for (int k = 1; k <= 3; ++k) r.cr_xyz(k) = atom_crd.xyz_crd(k, ia);
  if (atom_inf.b_flag(ia) == 0) {
    r.cr_b_flag = 0;
    for (int k = 1; k <= 6; ++k) r.cr_anis(k) = 0.0f;
    r.cr_biso = atom_crd.u_aniso(1, ia) * c8pi2;
  } else {
    r.cr_b_flag = 1;
    for (int k = 1; k <= 6; ++k) r.cr_anis(k) = atom_crd.u_aniso(k, ia);
    calc_b_equiv_(r.cr_anis.data(), r.cr_biso);
  }
  r.cr_occ = atom_crd.occup(ia);
  r.cr_mult_factor = atom_crd.mult_factor(ia);
  r.cr_iatold = atom_inf.i_atold(ia);
  r.cr_aname = atom_inf.atm_name(ia);
  r.cr_aname_inp = atom_inf.atm_name_inp(ia);
  r.cr_asymb = element_of(ia, ires);
  r.cr_atype = atom_inf.atm_type(ia);
  r.cr_alt = atom_inf.id_alt(ia);
  r.cr_corr = atom_inf.id_corr(ia);
  r.cr_btype = atom_inf.n_aniso > 0 ? "A" : ".";
  r.cr_rname = resid_inf.res_name(ires);
  r.cr_pnum = resid_inf.res_num_pdb(ires);
  r.cr_group = asym_part.group_id(ig);
  crdstr.st_chem = atom_inf.atm_chem(ia);
}

constexpr std::string_view kSingular = " ERROR: SCALE matrix is singular";

int32_t write_error(int32_t mdoc, int32_t iout) {
  msgerr_(mdoc, " ERROR: WRITE TO OUTPUT FILE ");
  rt::unit_close_or_remove(iout);
  return 4;
}

// Writes the records of one formatted row: lines split at '\n'.
bool put_records(int32_t iout, const std::string& rec) {
  std::string_view rest(rec);
  for (;;) {
    const std::size_t nl = rest.find('\n');
    int32_t ierr = 0;
    wrtstr_(iout, 0, rest.substr(0, nl), ierr);
    if (ierr != 0) return false;
    if (nl == std::string_view::npos) return true;
    rest.remove_prefix(nl + 1);
  }
}

}  // namespace

void calc_b_equiv_(const float* u_anis, float& b_equiv) {
  const float c = eight_pi_squared();
  b_equiv = ((u_anis[0] + u_anis[1]) + u_anis[2]) / 3.0f * c;
}

void get_sf_id_(int32_t /*mdoc*/, std::string_view element, int32_t& insf, int32_t& ierr) {
  insf = 0;
  ierr = 0;
  if (crst_crd.cs_nsfatm <= 0) {
    ierr = 1;
    return;
  }
  const rt::FixedText<4> want(element);
  for (int32_t i = 1; i <= crst_crd.cs_nsfatm && i <= MAXNSF; ++i)
    if (crst_crd.cs_element(i).view() == want.view()) {
      insf = i;
      return;
    }
  ierr = 1;
}

void wrcrd_cif_(int32_t mdoc, int32_t iout, int32_t mode, int32_t iend, int32_t& ierr) {
  ierr = 0;
  crdatm_t& r = crdatm;
  if (iend > 0) {
    // Sequential writes already cut the file at the last record written.
    // The last records go out at the close: a full device shows there.
    if (iout > 0 && rt::unit_close_or_remove(iout) != 0) {
      msgerr_(mdoc, " ERROR: WRITE TO OUTPUT FILE ");
      ierr = 4;
    }
    return;
  }
  if (mode != 0) {
    if (iout <= 0) return;
    wrtstr_(iout, 0, r.cr_line.view(), ierr);
    if (ierr != 0) ierr = write_error(mdoc, iout);
    return;
  }

  rt::FixedText<2> mult(". ");
  if (r.cr_mult_factor >= 2 && r.cr_mult_factor <= 99)
    rt::write_to(mult.ref(), "(I2)", r.cr_mult_factor);
  const std::string_view h2 = r.cr_asymb.sub(1, 2);
  if (crdinf.cr_hflag(1) == 'N' && (h2 == "H " || h2 == "D ") &&
      (r.cr_atype(1) == 'U' || r.cr_atype(1) == 'M'))
    return;
  dot_if_blank(r.cr_atype);
  dot_if_blank(r.cr_alt);
  dot_if_blank(r.cr_corr);
  clamp(r.cr_biso, -99.99f, 999.99f);
  clamp(r.cr_occ, -9.99f, 99.99f);
  if (crdstr.st_chem.is_blank()) crdstr.st_chem = ".";

  rt::FixedText<8> ch8;
  ch8.blank();
  const bool with_mult = !(com_out_cif.out_cif_corr > 0 && com_out_cif.out_cif_mult > 0);
  if (with_mult) {
    ch8(3) = mult(1);
    ch8(4) = mult(2);
    ch8(6) = r.cr_corr(1);
  }
  // A singular SCALE matrix would put the atom at the origin: the row is
  // refused rather than written with coordinates that are not its own.
  output::FileFrame frame;
  if (!frame.set()) {
    msgerr_(mdoc, kSingular);
    if (iout > 0) rt::unit_close(iout, true);
    ierr = 4;
    return;
  }
  float xa[3];
  frame.place(r.cr_xyz.data(), xa);

  output::CifName name1, name2, name3;
  std::string_view watom1 = name1.make(r.cr_aname.view(), 6);
  if (rt::len_trim(watom1) == 0) watom1 = name1.make("?", 6);
  std::string_view watom2 = name2.make(r.cr_aname_inp.view(), 6);
  if (rt::len_trim(watom2) == 0) watom2 = watom1;

  // An element taken from a name such as "_A_" needs the name's quoting; a
  // blank one (an atom without name or element) would drop its column.
  const std::string_view symbol = name3.make(output::or_dot(r.cr_asymb.view()), 4);
  // Blank residue, chain or number texts would leave the row a value short,
  // and a residue named "#" would start a comment: each text of a fixed
  // column is written as one value.
  using output::cif_cell;
  const std::string alt = cif_cell(r.cr_alt.view(), 1);
  const std::string rname = cif_cell(r.cr_rname.view(), 8);
  const std::string group = cif_cell(r.cr_group.view(), 4);
  // The number and its insertion code go under items of their own: as one
  // value, residue 12 with the code 3 would be read back as residue 123,
  // by this system and by any other reader.
  const std::string seq = cif_cell(r.cr_pnum.sub(3, 6), 4);
  const std::string code = cif_cell(r.cr_pnum.sub(7, 7), 1);
  const std::string atype = cif_cell(r.cr_atype.view(), 1);
  // A type read from a file may begin with a character that would end the
  // row early (a "_" begins an item name): it is written as one value.
  const std::string chem = cif_cell(crdstr.st_chem.view(), 4);
  const bool aniso = r.cr_btype(1) == 'A';
  const bool values = r.cr_b_flag == 1;
  const rt::Array1<float, 6>& u = r.cr_anis;
#define ORB_ROW1_ARGS                                                                         \
  r.cr_iatold, watom1, alt, rname, group, seq, code, xa[0], xa[1], xa[2], r.cr_occ, r.cr_biso, symbol, \
      atype
  const std::string* rec;
  if (!aniso)
    rec = with_mult ? &rt::fmt(kRowMult, ORB_ROW1_ARGS, watom2, chem, ch8)
                    : &rt::fmt(kRowPlain, ORB_ROW1_ARGS, watom2, chem);
  else if (with_mult)
    rec = values ? &rt::fmt(kRowMultU, ORB_ROW1_ARGS, watom2, chem, ch8, u(1), u(2), u(3), u(4),
                            u(5), u(6))
                 : &rt::fmt(kRowMultUDots, ORB_ROW1_ARGS, watom2, chem, ch8, kNoU);
  else
    rec = values ? &rt::fmt(kRowU, ORB_ROW1_ARGS, watom2, chem, u(1), u(2), u(3), u(4), u(5), u(6))
                 : &rt::fmt(kRowUDots, ORB_ROW1_ARGS, watom2, chem, kNoU);
#undef ORB_ROW1_ARGS
  if (iout <= 0) return;
  if (!put_records(iout, *rec)) ierr = write_error(mdoc, iout);
}

void write_atoms_(int32_t mdoc, std::string_view path, std::string_view namec, std::string_view ext,
                  int32_t& ierr) {
  ierr = 0;
  if (atom_inf.n_atom > 0) {
    output::FileFrame frame;
    if (!frame.set()) {
      msgerr_(mdoc, std::string(kSingular).append(" /write_atoms/"));
      ierr = 1;
      return;
    }
  }
  const int32_t code = -(std::abs(mdoc) + 1);
  int32_t iun = crdinf.cro_iun;
  int32_t st = 0;
  owcrd_cif_(code, iun, path, namec, ext, st);
  crdinf.cro_iun = iun;
  if (st == 1) {
    msgerr_(mdoc, " ERROR: open output file");
    ierr = 1;
    return;
  }
  if (st != 0) {
    msgerr_(mdoc, " ERROR: writing titles of output file");
    ierr = st;
    return;
  }
  int32_t natom = 0;
  if (atom_inf.n_atom <= 0) {
    msgerr_(mdoc, " ERROR: number of atoms = 0 /write_atoms/");
    ierr = 2;
    return;
  }
  const float c8pi2 = eight_pi_squared();
  const asym_part_t& a = asym_part;
  for (int32_t ig = 1; ig <= a.n_group; ++ig) {
    const int32_t nres = a.nres_chain(ig);
    const int32_t first = a.ires_first(ig);
    if (nres <= 0) {
      msgerr_(mdoc, " ERROR: N-residues = 0 /write_atoms/");
      ierr = 1;
      return;
    }
    if (first <= 0) {
      msgerr_(mdoc, " ERROR: Ires_first = 0 /write_atoms/");
      ierr = 1;
      return;
    }
    if (a.ires_start_tree(ig) <= 0 || a.ires_end_tree(ig) <= 0) {
      msgerr_(mdoc, " ERROR: wrong tree structure .../write_atoms/");
      ierr = 1;
      return;
    }
    // A forward chain that comes back to a residue already written is
    // caught by counting: a chain has no more steps than residues.
    int32_t ires = a.ires_start_tree(ig);
    for (int32_t visited = 1;; ++visited) {
      const int32_t na = resid_inf.natm_res(ires);
      const int32_t ia0 = resid_inf.iratm_first(ires);
      if (na <= 0 || ia0 <= 0) {
        msgerr_(mdoc, " ERROR: N-atoms = 0 /write_atoms/");
        ierr = 1;
        return;
      }
      for (int32_t ia = ia0; ia <= ia0 + na - 1; ++ia) {
        fill_record(ia, ires, ig, c8pi2);
        ++natom;
        wrcrd_cif_(99, iun, 0, -1, ierr);
        if (ierr != 0) return;
      }
      if (ires == a.ires_end_tree(ig)) break;
      ires = resid_inf.ires_forw(ires);
      if (ires <= 0 || ires < first || ires > first + nres - 1 || visited >= nres) {
        msgerr_(mdoc, " ERROR: wrong tree structure ...../write_atoms/");
        ierr = 1;
        return;
      }
    }
  }
  wrcrd_cif_(mdoc, iun, 0, 1, ierr);
  msgdoc_(mdoc, rt::fmt("(A,I8)", " Number of atoms to write :", natom));
}
