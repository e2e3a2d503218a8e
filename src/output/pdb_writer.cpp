// PDB coordinate file writer.  The header records are written as fixed
// 80-column records, the atom records without their trailing blanks.
// Coordinates go back into the frame that the written SCALE records
// define; serial numbers above 99999 wrap to mod(serial, 100000) + 1.
#include "output/pdb_writer.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "foundation/atom_com.h"
#include "foundation/file_open.h"
#include "foundation/messages.h"
#include "foundation/vec3.h"
#include "foundation/words.h"
#include "output/cif_out_atoms.h"
#include "output/file_frame.h"
#include "output/out_lines.h"
#include "output/pdb_links.h"
#include "output/pdb_names.h"
#include "output/remark3.h"
#include "runtime/format.h"
#include "runtime/units.h"

namespace {

// The atom record is laid out here rather than through the format
// interpreter, field by field as the format
//   (A4,1X,I6,1X,A4,A1,A3,1X,A1,A5,3X,3F8.3,F6.2,F6.2,6X,A4,A4)
// sets it, and the ANISOU record as
//   (A6,I5,1X,A4,A1,A3,1X,A1,A5,1X,6I7,6X,A4);
// the numbers go through the formatter's own field routines.
class AtomLine {
 public:
  AtomLine() { std::memset(c_, ' ', sizeof c_); }
  // Aw: a longer text is cut, a shorter one right-justified.
  void text(int col, int w, std::string_view s) {
    char* at = c_ + col - 1;
    if (static_cast<int>(s.size()) >= w) {
      std::memcpy(at, s.data(), static_cast<std::size_t>(w));
    } else {
      const std::size_t pad = static_cast<std::size_t>(w) - s.size();
      std::memset(at, ' ', pad);
      std::memcpy(at + pad, s.data(), s.size());
    }
  }
  void integer(int col, int w, int64_t v) { rt::put_integer(c_ + col - 1, w, v); }
  void fixed(int col, int w, int d, float v) { rt::put_fixed(c_ + col - 1, w, d, v); }
  std::string_view view() const { return std::string_view(c_, sizeof c_); }

 private:
  char c_[80];
};

// One header record padded to 80 columns.
template <typename... A>
void put80(int32_t iout, std::string_view format, const A&... a) {
  rt::FixedText<80> rec;
  rt::write_to(rec.ref(), format, a...);
  rt::write_record(iout, rec.view());
}

bool written_type(char t) {
  return t == '.' || t == ' ' || t == 'y' || t == 'Y' || t == 'r' || t == 'R';
}

void dot_to_blank(char& c) {
  if (c == '.') c = ' ';
}

// Element columns 77-80: a one-letter symbol, or one followed by a charge
// sign, starts in column 78.
rt::FixedText<4> element_columns(const rt::FixedText<4>& asymb) {
  const int ln = asymb.len_trim();
  if (ln == 1 || (ln > 1 && (asymb(2) == '+' || asymb(2) == '-'))) {
    rt::FixedText<4> out;
    out.blank();
    out.sub(2, 4).assign(asymb.sub(1, ln < 3 ? ln : 3));
    return out;
  }
  return asymb;
}

void write_header(int32_t iout) {
  const crst_pdb_t& p = crst_pdb;
  put80(iout, "(A6,4X,A40,A9,3X,A4)", "HEADER", p.cs_name_pdb.sub(1, 40), p.cs_date_pdb,
        p.cs_cd_pdb.sub(1, 4));
  put80(iout, "(A6,4X,A60)", "COMPND", p.cs_title.sub(1, 60));
}

void write_cell(int32_t iout) {
  const crst_pdb_t& p = crst_pdb;
  const crst_crd_t& c = crst_crd;
  float ang[3];
  for (int k = 0; k < 3; ++k) ang[k] = c.cs_cell(4 + k) * 180.0f / 3.1415925f;
  put80(iout, "(A6,3F9.3,3F7.2,1X,A11)", "CRYST1", c.cs_cell(1), c.cs_cell(2), c.cs_cell(3), ang[0],
        ang[1], ang[2], c.cs_spgr.sub(1, 11));
  const char* names[3] = {"SCALE1", "SCALE2", "SCALE3"};
  for (int n = 1; n <= 3; ++n)
    put80(iout, "(A6,4X,3F10.6,5X,F10.5)", names[n - 1], p.cs_scale(n, 1), p.cs_scale(n, 2),
          p.cs_scale(n, 3), p.cs_u(n));
}

// Writes the atom records; returns the number written.
int32_t write_atom_records(int32_t mdoc, int32_t iout, char hflag_o, char seg_flag,
                           const output::FileFrame& frame) {
  const float c8pi2 = [] {
    const float pi = 4.0f * std::atan(1.0f);
    return pi * (pi * 8.0f);
  }();
  int32_t na = 0;
  for (int32_t i = 1; i <= atom_inf.n_atom; ++i) {
    int32_t iatold = atom_inf.i_atold(i);
    if (iatold > 99999) iatold = iatold % 100000 + 1;
    const int32_t r = atom_inf.i_resid(i);
    rt::FixedText<3> res(resid_inf.res_name(r).sub(1, 3));
    const rt::FixedText<12>& pnum = resid_inf.res_num_pdb(r);
    rt::FixedText<5> ires(pnum.sub(3, 7));
    rt::FixedText<4> chain(pnum.sub(8, 11));
    const int32_t isf = atom_inf.id_sf(i);
    rt::FixedText<4> asymb;
    asymb.blank();
    if (isf >= 1 && isf <= MAXNSF) asymb = crst_crd.cs_element(isf);
    rt::FixedText<1> alt = atom_inf.id_alt(i);
    if (asymb.sub(1, 2) == "H " && hflag_o != 'Y') continue;

    float xa[3];
    frame.place(&atom_crd.xyz_crd(1, i), xa);
    float b = 0.0f;
    if (atom_inf.b_flag(i) != 0) calc_b_equiv_(&atom_crd.u_aniso(1, i), b);
    else b = c8pi2 * atom_crd.u_aniso(1, i);
    const float occ = atom_crd.occup(i);
    const rt::FixedText<4> atom =
        output::pdb_input_name(atom_inf.atm_name_inp(i).view(), asymb.view(), res.view());
    if (!written_type(atom_inf.atm_type(i)(1))) continue;
    dot_to_blank(alt(1));
    dot_to_blank(chain(1));
    dot_to_blank(chain(2));
    dot_to_blank(ires(5));
    const rt::FixedText<4> ch4 = element_columns(asymb);
    pdb_rname_corr_to_write_(res, 3);
    ++na;
    rt::FixedText<4> seg;
    seg.blank();
    if (seg_flag == 'Y') seg = chain;
    const std::string_view ch1 = chain.sub(1, 1);
    AtomLine line;
    line.text(1, 4, "ATOM");
    line.integer(6, 6, iatold);
    line.text(13, 4, atom.view());
    line.text(17, 1, alt.view());
    line.text(18, 3, res.view());
    line.text(22, 1, ch1);
    line.text(23, 5, ires.view());
    for (int k = 0; k < 3; ++k) line.fixed(31 + 8 * k, 8, 3, xa[k]);
    line.fixed(55, 6, 2, occ);
    line.fixed(61, 6, 2, b);
    line.text(73, 4, seg.view());
    line.text(77, 4, ch4.view());
    int32_t st = 0;
    wrtstr_(iout, mdoc, line.view(), st);
    if (atom_inf.b_flag(i) != 0) {
      // Rounded, not cut: U read as n / 10000 must come back as n, and the
      // product in single precision often falls just below it.
      AtomLine aniso;
      aniso.text(1, 6, "ANISOU");
      aniso.integer(7, 5, iatold);
      aniso.text(13, 4, atom.view());
      aniso.text(17, 1, alt.view());
      aniso.text(18, 3, res.view());
      aniso.text(22, 1, ch1);
      aniso.text(23, 5, ires.view());
      for (int k = 0; k < 6; ++k)
        aniso.integer(29 + 7 * k, 7,
                      static_cast<int32_t>(std::lround(atom_crd.u_aniso(k + 1, i) * 10000.0f)));
      aniso.text(77, 4, ch4.view());
      wrtstr_(iout, mdoc, aniso.view(), st);
    }
  }
  return na;
}

}  // namespace

void write_atoms_pdb_(int32_t mdoc, char& hflag_o, char /*depos*/, char& seg_flag, rt::TextRef path,
                      std::string_view namec, rt::TextRef ext, int32_t& ierr) {
  ierr = 0;
  hflag_o = hflag_o == 'y' || hflag_o == 'Y' ? 'Y' : 'N';
  seg_flag = seg_flag == 'y' || seg_flag == 'Y' ? 'Y' : 'N';
  const int32_t md = -(std::abs(mdoc) + 1);
  if (rt::len_trim(namec) == 0 || namec[0] == ',' || namec[0] == ' ') {
    msgerr_(mdoc, " ERROR: WRONG NAME OF OUT_PDB_FILE");
    ierr = 1;
    return;
  }
  // The inverse of SCALE takes the atoms back into the file's frame; a
  // singular one would put every atom at the origin.
  output::FileFrame frame;
  if (atom_inf.n_atom > 0) {
    if (!frame.set()) {
      msgerr_(mdoc, " ERROR: SCALE matrix is singular; no PDB file written");
      ierr = 1;
      return;
    }
  }
  path.fill(' ');
  ext.fill(' ');
  int32_t iout = crdinf.cro_iun;
  openfw_(iout, md, path, namec, ext, ierr);
  crdinf.cro_iun = iout;
  if (ierr != 0) {
    msgerr_(mdoc, " ERROR: OPEN OUT_PDB_FILE");
    return;
  }
  write_header(iout);
  write_deposit_stats_(iout);
  wrt_link_pdb_(mdoc, iout, seg_flag, ierr);
  wrt_mod_pdb_(mdoc, iout, seg_flag, ierr);
  write_cell(iout);
  int32_t na = 0;
  if (atom_inf.n_atom > 0) {
    na = write_atom_records(mdoc, iout, hflag_o, seg_flag, frame);
    ierr = 0;
  }
  msgdoc_(mdoc, rt::fmt("(A,I8)", " Number of atoms to write :", na));
  // A record lost on the way, at its write or at the close, fails the file,
  // which is not left behind as if it were whole.
  if (rt::unit_close_or_remove(iout) != 0) {
    msgerr_(mdoc, " ERROR: WRITE TO OUTPUT FILE ");
    ierr = 4;
  }
}
