// Structure-description file writing.  The atom rows carry, per atom
// serial number, the partner atoms, the internal coordinates and the radii
// that the restraint generator keeps beside the coordinates; the reader of
// this file takes them back into atom_str.
#include "output/str_write.h"

#include <cstdlib>

#include "coords/cif_items.h"
#include "foundation/atom_com.h"
#include "foundation/file_open.h"
#include "foundation/messages.h"
#include "foundation/spgr_names.h"
#include "output/atom_str.h"
#include "output/out_lines.h"
#include "runtime/units.h"

namespace {

constexpr std::string_view kAtomItems[] = {
    "_struct_atom.serial_number", "_struct_atom.hydrogen_type", "_struct_atom.PDB_res_id",
    "_struct_atom.back",          "_struct_atom.forward",       "_struct_atom.extra",
    "_struct_atom.2extra",        "_struct_atom.psi_id",        "_struct_atom.distance",
    "_struct_atom.theta",         "_struct_atom.psi",           "_struct_atom.radius",
    "_struct_atom.ion_radius",
};

constexpr std::string_view kRowFormat = "(I6,1X,A1,1X,A5,4(1X,I6),1X,A4,3(1X,F7.2),2(1X,F6.2))";

// Header lines with the first failure kept.
struct Lines {
  explicit Lines(int32_t unit) : iun(unit) {}
  int32_t iun;
  bool ok = true;
  output::Line line;

  void text(std::string_view t) {
    if (!ok) return;
    int32_t ierr = 0;
    output::put_text(iun, ierr, t);
    ok = ierr == 0;
  }
  template <typename... A>
  void put(std::string_view format, const A&... a) {
    if (!ok) return;
    int32_t ierr = 0;
    output::put_line(iun, line, ierr, format, a...);
    ok = ierr == 0;
  }
  void quoted(std::string_view lead, std::string_view value) {
    if (!ok) return;
    int32_t ierr = 0;
    output::put_quoted(iun, ierr, lead, value);
    ok = ierr == 0;
  }
};

void put_global_block(Lines& w) {
  crdinf_t& c = crdinf;
  w.text("global_");
  w.put("(A,6X,A)", "_entry.id   ", output::or_dot(c.cr_cd_pdb.view()));
  if (c.cr_name_pdb.is_blank()) c.cr_name_pdb = "-";
  w.quoted("_struct.keywords    ", c.cr_name_pdb.trimmed());
  w.put("(A,1X,A)", "_audit.creation_date   ", output::or_dot(c.cr_date_pdb.view()));
  if (c.cr_title.is_blank()) c.cr_title = "-";
  const std::string_view title = c.cr_title.trimmed();
  w.quoted("_struct.title  ", title.substr(0, title.size() < 58 ? title.size() : 58));
  w.text("#");
  w.text("data_struct_list");
}

// Scattering factors of type i into crst_crd; false when even the default
// symbol is missing, and the type keeps the values it had.
bool look_up_type(int32_t mdoc, int32_t i, int& warned) {
  crst_crd_t& cs = crst_crd;
  rt::FixedText<4> symbol = cs.cs_element(i);
  if (symbol(1) == '?') symbol = cs.cs_atype(i);
  for (int attempt = 0; attempt < 2; ++attempt) {
    int32_t nel = 0, ierr = 0;
    float a[4], b[4], c = 0, fi = 0, fii = 0, rad = 0;
    get_sfa_(symbol.view(), 0, nel, a[0], a[1], a[2], a[3], b[0], b[1], b[2], b[3], c, fi, fii, rad,
             ierr);
    if (ierr == 0) {
      for (int k = 1; k <= 4; ++k) {
        cs.cs_a(k, i) = a[k - 1];
        cs.cs_b(k, i) = b[k - 1];
      }
      cs.cs_c(i) = c;
      cs.cs_fi(i) = fi;
      cs.cs_fii(i) = fii;
      cs.cs_radius(i) = rad;
      cs.cs_nelec(i) = nel;
      return true;
    }
    // Nitrogen stands in for a symbol the data lack; its own absence ends
    // the lookup rather than repeating it.
    if (attempt == 1) break;
    if (warned < 4) {
      msgdoc_(
          mdoc,
          std::string("  WARNING : atom\"s type \"").append(symbol.view()).append("\" not found"));
      ++warned;
    } else if (warned == 4) {
      msgdoc_(mdoc, "   ... more ...");
      ++warned;
    }
    if (warned <= 4) msgdoc_(mdoc, "  WARNING : default type  is \"N   \".");
    symbol = "N";
  }
  return false;
}

void put_types(Lines& w, int32_t mdoc) {
  crst_crd_t& cs = crst_crd;
  const int32_t n = cs.cs_nsfatm < MAXNSF ? cs.cs_nsfatm : MAXNSF;
  if (n <= 0) return;
  w.text("loop_");
  // The readers' atom-type items, _atom_type.symbol to .radius_contact.
  for (std::string_view item : cif_item_run(82, 94)) w.text(item);
  int warned = 0;
  for (int32_t i = 1; i <= n; ++i) look_up_type(mdoc, i, warned);
  for (int32_t i = 1; i <= n; ++i) {
    w.put("(2X,A4,4(1X,F9.5))", output::field<4>(cs.cs_element(i)), cs.cs_a(1, i), cs.cs_a(2, i),
          cs.cs_a(3, i), cs.cs_a(4, i));
    w.put("(2X,4X,4(1X,F9.5))", cs.cs_b(1, i), cs.cs_b(2, i), cs.cs_b(3, i), cs.cs_b(4, i));
    w.put("(2X,4X,4(1X,F9.5))", cs.cs_c(i), cs.cs_fi(i), cs.cs_fii(i), cs.cs_radius(i));
  }
}

}  // namespace

void owstr_cif_(int32_t mdoc, int32_t& iun, std::string_view path, std::string_view nameo,
                std::string_view ext, int32_t& ierr) {
  ierr = 0;
  if (rt::len_trim(nameo) == 0 || nameo[0] == ',' || nameo[0] == ' ') {
    ierr = 1;
    msgerr_(mdoc, " ERROR: WRONG NAME OF OUTPUT_FILE /str/");
    return;
  }
  iun = crdinf.crso_iun;
  openfw_(iun, 99, path, nameo, ext, ierr);
  crdinf.crso_iun = iun;
  if (ierr != 0) {
    ierr = 1;
    msgerr_(mdoc, " ERROR: OPEN OUTPUT_FILE /str/");
    return;
  }
  Lines w(iun);
  put_global_block(w);
  put_types(w, mdoc);
  w.text("loop_");
  for (std::string_view item : kAtomItems) w.text(item);
  if (!w.ok) {
    rt::unit_close_or_remove(iun);
    ierr = 4;
  }
}

void wrstr_cif_(int32_t mdoc, int32_t iout, int32_t mode, int32_t iend, int32_t& ierr) {
  ierr = 0;
  if (iend > 0) {
    // The last records go out at the close: a full device shows there.
    if (iout > 0 && rt::unit_close_or_remove(iout) != 0) {
      msgerr_(mdoc, " ERROR: WRITE TO OUTPUT FILE /str/");
      ierr = 4;
    }
    return;
  }
  if (mode != 0) {
    if (iout > 0) wrtstr_(iout, 0, crdatm.cr_line.view(), ierr);
  } else {
    crdstr_t& s = crdstr;
    if (s.st_hbt(1) == ' ' || s.st_hbt(1) == '\0') s.st_hbt = ".";
    if (s.st_id_psi.is_blank()) s.st_id_psi = ".";
    // A blank residue number would leave the row a value short.
    const rt::FixedText<5> pnum = output::field<5>(s.st_pnum.sub(1, 5));
    output::Line line;
    rt::write_to(line.ref(), kRowFormat, s.st_ia, s.st_hbt, pnum, s.st_iback, s.st_ifor, s.st_iextr,
                 s.st_iextr2, s.st_id_psi, s.st_dist, s.st_tht, s.st_psi, s.st_vdw, s.st_ion);
    if (iout > 0) wrtstr_(iout, 0, line.view(), ierr);
  }
  if (ierr != 0) {
    msgerr_(mdoc, " ERROR: WRITE TO OUTPUT FILE /str/");
    rt::unit_close_or_remove(iout);
    ierr = 4;
  }
}

void write_str_(int32_t mdoc, std::string_view path, std::string_view namec, std::string_view ext,
                int32_t& ierr) {
  ierr = 0;
  int32_t iun = crdinf.crso_iun;
  int32_t st = 0;
  owstr_cif_(-(std::abs(mdoc) + 1), iun, path, namec, ext, st);
  crdinf.crso_iun = iun;
  if (st == 1) {
    msgerr_(mdoc, " ERROR: open output file /str/");
    ierr = 1;
    return;
  }
  if (st != 0) {
    msgerr_(mdoc, " ERROR: writing titles of output file /str/");
    ierr = st;
    return;
  }
  if (atom_inf.n_atom <= 0) {
    msgerr_(mdoc, " ERROR: number of atoms = 0");
    ierr = 2;
    return;
  }
  const atom_str_t& a = atom_str;
  crdstr_t& s = crdstr;
  for (int32_t i = 1; i <= atom_inf.n_atom; ++i) {
    s.st_ia = i;
    s.st_vdw = a.as_vdw(i);
    s.st_ion = a.as_ion(i);
    s.st_char = a.as_char(i);
    s.st_dist = a.as_dist(i);
    s.st_tht = a.as_tht(i);
    s.st_psi = a.as_psi(i);
    s.st_iback = a.as_iback(i);
    s.st_ifor = a.as_ifor(i);
    s.st_iextr = a.as_iextr(i);
    s.st_iextr2 = a.as_iextr2(i);
    s.st_iextr3 = a.as_iextr3(i);
    s.st_chem = a.as_chem(i);
    s.st_hbt = a.as_hbt(i);
    s.st_id_psi = a.as_id_psi(i);
    const int32_t ir = atom_inf.i_resid(i);
    s.st_pnum = ir >= 1 ? resid_inf.res_num_pdb(ir).sub(3, 7) : std::string_view(".");
    wrstr_cif_(99, iun, 0, -1, ierr);
    if (ierr != 0) return;
  }
  wrstr_cif_(mdoc, iun, 0, 1, ierr);
}
