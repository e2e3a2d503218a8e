// Structure-description file reading.  Only "_struct_atom." records are
// taken; the global block and the atom-type loop are passed over.  The file
// does not carry the third extra partner: it is made here, when an atom is
// named as extra partner by more atoms than it names itself.
#include "output/str_read.h"

#include <cstdlib>

#include "foundation/atom_com.h"
#include "foundation/cif_tokeniser.h"
#include "foundation/file_open.h"
#include "foundation/messages.h"
#include "output/atom_str.h"
#include "output/cif_rows_in.h"
#include "runtime/format.h"
#include "runtime/units.h"

namespace {

constexpr std::string_view kPrefix = "_struct_atom.";

// Item names after the prefix, first match wins: "2extr" takes "2extra",
// "psi_id" stands before "psi".
constexpr std::string_view kItems[] = {
    "serial_number", "chem_type", "hydrogen_type", "PDB_res_id", "back",
    "forward",       "extra",     "2extr",         "psi_id",     "distance",
    "theta",         "psi",       "charge",        "radius",     "ion_radius",
};

void reset_row() {
  crdstr_t& s = crdstr;
  s.st_ia = 0;
  s.st_chem = ".";
  s.st_hbt = ".";
  s.st_pnum = ".";
  s.st_iback = s.st_ifor = s.st_iextr = s.st_iextr2 = s.st_iextr3 = 0;
  s.st_id_psi = ".";
  s.st_dist = s.st_tht = s.st_psi = s.st_char = s.st_vdw = s.st_ion = 0.0f;
}

void take_items() {
  crdstr_t& s = crdstr;
  auto take = [&](int index, std::string_view text, int32_t iv, float rv) {
    switch (index) {
      case 0:
        s.st_ia = iv;
        break;
      case 1:
        s.st_chem = text.substr(0, 4);
        break;
      case 2:
        s.st_hbt = text.substr(0, 1);
        break;
      case 3:
        s.st_pnum = text.substr(0, 12);
        break;
      case 4:
        s.st_iback = iv;
        break;
      case 5:
        s.st_ifor = iv;
        break;
      case 6:
        s.st_iextr = iv;
        break;
      case 7:
        s.st_iextr2 = iv;
        break;
      case 8:
        s.st_id_psi = text.substr(0, 4);
        break;
      case 9:
        s.st_dist = rv;
        break;
      case 10:
        s.st_tht = rv;
        break;
      case 11:
        s.st_psi = rv;
        break;
      case 12:
        s.st_char = rv;
        break;
      case 13:
        s.st_vdw = rv;
        break;
      case 14:
        s.st_ion = rv;
        break;
      default:
        break;
    }
  };
  output::take_row_items(kPrefix, kItems, take);
}

void store_row(int32_t ia) {
  atom_str_t& a = atom_str;
  const crdstr_t& s = crdstr;
  a.as_vdw(ia) = s.st_vdw;
  a.as_ion(ia) = s.st_ion;
  a.as_char(ia) = s.st_char;
  a.as_dist(ia) = s.st_dist;
  a.as_tht(ia) = s.st_tht;
  a.as_psi(ia) = s.st_psi;
  a.as_iback(ia) = s.st_iback;
  a.as_ifor(ia) = s.st_ifor;
  a.as_iextr(ia) = s.st_iextr;
  a.as_iextr2(ia) = s.st_iextr2;
  a.as_iextr3(ia) = s.st_iextr3;
  a.as_hbt(ia) = s.st_hbt;
  a.as_id_psi(ia) = s.st_id_psi;
  a.as_chem(ia) = atom_inf.atm_chem(ia);
  a.as_iwork1(ia) = 0;
  a.as_iwork2(ia) = 0;
}

void make_extras_mutual() {
  atom_str_t& a = atom_str;
  const int32_t n = atom_inf.n_atom;
  for (int32_t i = 1; i <= n; ++i) {
    const int32_t j = a.as_iextr(i);
    if (j < 1 || j > n) continue;
    if (a.as_iextr(j) == 0) a.as_iextr(j) = i;
    else if (a.as_iextr(j) == i || a.as_iextr(j) < 0) continue;
    else if (a.as_iextr2(j) <= 0) a.as_iextr2(j) = i;
    else if (a.as_iextr2(j) != i) a.as_iextr3(j) = i;
  }
}

}  // namespace

void orstr_cif_(int32_t mdoc, int32_t& in, rt::TextRef path, std::string_view name,
                std::string_view ext, int32_t& ierr) {
  ierr = 0;
  path.fill(' ');
  openfr_(in, 99, path, name, ext, ierr);
  crdinf.crs_iun = in;
  if (ierr != 0) msgerr_(mdoc, " ERR: OPEN INPUT_FILE");
}

void rdstr_cif_(int32_t mdoc, int32_t in, int32_t& mode, int32_t& iend, int32_t& ierr) {
  ierr = 0;
  output::rows_begin(in, iend);
  if (output::next_row(in, mdoc, kPrefix, " ERROR: read of file /str/", true, mode, iend, ierr) !=
      output::RowStep::Record)
    return;
  reset_row();
  take_items();
  mode = 0;
  const crdstr_t& s = crdstr;
  // The echo line keeps the row layout of the writer, with the charge and
  // the radius in its last two fields.
  rt::write_to(crdatm.cr_line.ref(), "(I6,1X,A1,1X,A5,4(1X,I6),1X,A4,3(1X,F7.2),2(1X,F6.2))",
               s.st_ia, s.st_hbt, s.st_pnum.sub(1, 5), s.st_iback, s.st_ifor, s.st_iextr,
               s.st_iextr2, s.st_id_psi, s.st_dist, s.st_tht, s.st_psi, s.st_char, s.st_vdw);
  msgdoc_(mdoc, crdatm.cr_line.view());
}

void read_str_(int32_t mdoc, rt::TextRef pathc, std::string_view namec, std::string_view extc,
               int32_t& ierr) {
  ierr = 0;
  int32_t in = crdinf.crs_iun;
  orstr_cif_(-(std::abs(mdoc) + 1), in, pathc, namec, extc, ierr);
  crdinf.crs_iun = in;
  if (ierr != 0) {
    msgerr_(mdoc, " ERROR: open input file /str/");
    ierr = 1;
    return;
  }
  atom_str_t& a = atom_str;
  for (int32_t i = 1; i <= atom_inf.n_atom; ++i) {
    a.as_chem(i) = ".";
    a.as_iback(i) = a.as_ifor(i) = a.as_iextr(i) = a.as_iextr2(i) = a.as_iextr3(i) = 0;
  }
  int32_t iend = -1;
  for (;;) {
    int32_t mode = 0;
    rdstr_cif_(mdoc, in, mode, iend, ierr);
    if (ierr != 0) {
      msgerr_(mdoc, " ERROR: read input file /str/");
      rt::unit_close(crdinf.crs_iun);
      return;
    }
    if (iend != 0) break;
    if (mode != 0) continue;
    const int32_t ia = crdstr.st_ia;
    if (ia < 1 || ia > atom_inf.n_atom) continue;
    store_row(ia);
  }
  make_extras_mutual();
}
