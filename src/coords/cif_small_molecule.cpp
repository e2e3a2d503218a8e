// The small-molecule CIF atom-row reader and the uncertainty cleaner.
#include "coords/cif_small_molecule.h"

#include <cctype>
#include <cstring>
#include <string>

#include "coords/cif_atom_rows.h"
#include "coords/cif_items.h"
#include "coords/cif_numbers.h"
#include "coords/pdb_fields.h"
#include "foundation/atom_com.h"
#include "foundation/atom_names.h"
#include "foundation/cell_helpers.h"
#include "foundation/cif_tokeniser.h"
#include "foundation/messages.h"
#include "foundation/words.h"
#include "runtime/units.h"

void clean_data_csd_(rt::TextRef data) {
  const int n = data.len_trim();
  char saved[256];
  const int m = n < 256 ? n : 256;
  if (m > 0) std::memcpy(saved, data.p, m);
  data.fill(' ');
  for (int i = 0; i < m && i < data.len(); ++i) {
    if (saved[i] == '(') break;
    data.p[i] = saved[i];
  }
}

namespace {

enum Item {
  kSerial, kAtomName, kSymbol, kAtype, kAlt, kCorr, kResName, kSeq, kAuthSeq, kGroup,
  kX, kY, kZ, kFx, kFy, kFz, kOcc, kB, kThermal, kMult, kU11, kU22, kU33, kU12, kU13,
  kU23, kNone
};

Item classify(std::string_view name) {
  const std::string_view rest = name.size() > 11 ? name.substr(11) : std::string_view();
  auto m = [&](std::string_view n) { return cif_match(rest, n); };
  auto w = [&](std::string_view n) { return cif_match_whole(rest, n); };
  auto full = [&](std::string_view n) { return cif_match_whole(name, n); };
  if (m("atom_number") || m("id")) return kSerial;
  if (m("label_atom_id") || full("_atom_site_label")) return kAtomName;
  if (m("type_symbol") || full("_atom_site_type_symbol")) return kSymbol;
  if (m("atom_type") || m("calc_flag")) return kAtype;
  if (m("label_alt_id")) return kAlt;
  if (m("label_corr_id") || m("footnote_id")) return kCorr;
  if (m("label_res_id") || m("label_comp_id")) return kResName;
  if (m("label_seq_id")) return kSeq;
  if (m("auth_seq_id")) return kAuthSeq;
  if (m("label_entity_id") || m("label_asym_id")) return kGroup;
  if (w("Cartn_x") || w("cartn_x")) return kX;
  if (w("Cartn_y") || w("cartn_y")) return kY;
  if (w("Cartn_z") || w("cartn_z")) return kZ;
  if (full("_atom_site_fract_x")) return kFx;
  if (full("_atom_site_fract_y")) return kFy;
  if (full("_atom_site_fract_z")) return kFz;
  if (w("occupancy")) return kOcc;
  if (w("B_iso_or_equiv")) return kB;
  if (m("thermal_displace_type")) return kThermal;
  if (m("symmetry_multiplicity")) return kMult;
  if (m("aniso_U[1][1]")) return kU11;
  if (m("aniso_U[2][2]")) return kU22;
  if (m("aniso_U[3][3]")) return kU33;
  if (m("aniso_U[1][2]")) return kU12;
  if (m("aniso_U[1][3]")) return kU13;
  if (m("aniso_U[2][3]")) return kU23;
  return kNone;
}

// Why the last row was refused.
std::string refusal;

// The element of a small-molecule atom from its label, blank when the label
// tells none.  Labels start with the element and go on with digits and
// letters of their own ("Be1", "O1W", "C12A"): a lower-case second letter
// belongs to the element when the two make one ("Cl1" is chlorine, "Ow1"
// oxygen), an upper-case one never does ("CA" is a carbon's label, not
// calcium's).
rt::FixedText<4> element_of_label(std::string_view label) {
  constexpr std::string_view kOneLetter = "HDBCNOFPS";  // with the heavy list's K, V, Y, I, U, W
  rt::FixedText<4> e;
  if (label.empty()) return e;
  const char c1 = static_cast<char>(std::toupper(static_cast<unsigned char>(label[0])));
  if (c1 < 'A' || c1 > 'Z') return e;
  if (label.size() > 1 && label[1] >= 'a' && label[1] <= 'z') {
    const char c2 = static_cast<char>(label[1] - 'a' + 'A');
    if (is_heavy_element(c1, c2)) {
      const char two[2] = {c1, c2};
      e = std::string_view(two, 2);
      return e;
    }
  }
  if (kOneLetter.find(c1) != std::string_view::npos || is_heavy_element(c1, ' '))
    e = std::string_view(&c1, 1);
  return e;
}

// A type symbol that names no element: "?", "." or nothing.
bool no_symbol(const rt::FixedText<4>& s) { return s(1) == '.' || s(1) == '?' || s.is_blank(); }

// The atom of a refused row, named by its serial, else by its label, as the
// row gives them.
std::string refused_atom(int serial_column, int label_column) {
  const int named = serial_column != 0 ? serial_column : label_column;
  return named != 0 ? "atom " + std::string(comcif_info.dt_cif(named).trimmed()) : "an atom row";
}

// A value that is no number in column k of the record.
[[gnu::noinline]] void refuse_no_number(int k, int serial_column, int label_column) {
  refusal = " ERROR: " + refused_atom(serial_column, label_column) + ": " +
            coords::cif_no_number(comcif_info.itm_cif(k).view(), comcif_info.dt_cif(k).view()) +
            ", row at line " + std::to_string(cif_record_place_info().line);
}

// An anisotropic U that its field in the written files cannot hold.
[[gnu::noinline]] void refuse_aniso(int serial_column, int label_column) {
  refusal = " ERROR: " + refused_atom(serial_column, label_column) +
            ": anisotropic U not finite or too large for its field, row at line " +
            std::to_string(cif_record_place_info().line);
}

// The first coordinate a row lacks, kNone when it has its three: the
// fractional ones when it gives any, else the Cartesian ones when it gives
// any, else the fractional ones, which small-molecule files give.
Item missing_coordinate(const bool (&seen)[kNone + 1]) {
  const bool fractional = seen[kFx] || seen[kFy] || seen[kFz];
  const bool cartesian = seen[kX] || seen[kY] || seen[kZ];
  const Item first = fractional || !cartesian ? kFx : kX;
  for (int i = 0; i < 3; ++i)
    if (!seen[first + i]) return static_cast<Item>(first + i);
  return kNone;
}

// A row without a type symbol whose label tells no element.
[[gnu::noinline]] void refuse_no_element(int serial_column, int label_column) {
  refusal = " ERROR: " + refused_atom(serial_column, label_column) +
            ": its label begins with no element and the row gives no _atom_site_type_symbol, "
            "row at line " +
            std::to_string(cif_record_place_info().line);
}

[[gnu::noinline]] void refuse_missing_coordinate(Item missing) {
  const int axis = missing >= kFx ? missing - kFx : missing - kX;
  const std::string item = missing >= kFx ? std::string("_atom_site_fract_") + static_cast<char>('x' + axis)
                                          : std::string(comcif_info.itm_cif(1).sub(1, 11)) + "Cartn_" +
                                                static_cast<char>('x' + axis);
  refusal = " ERROR: the atom list has no item " + item + ", row at line " +
            std::to_string(cif_record_place_info().line);
}

bool taken_category(std::string_view first) {
  // The anisotropic-displacement loop of a core CIF shares the atom-site
  // prefix but describes atoms already read; taking its rows would add a
  // second, coordinate-less copy of every anisotropic atom.
  if (cif_match(first, "_atom_site_aniso") || cif_match(first, "_ccdc_atom_site_aniso")) return false;
  return first.substr(0, 11) == "_atom_site_" || first.substr(0, 16) == "_ccdc_atom_site_" ||
         first.substr(0, 11) == "_atom_site.";
}

}  // namespace

void rdcrd_csd_(int32_t mdoc, int32_t in, int32_t& mode, int32_t& iend, int32_t& ierr) {
  bool held = false;
  if (iend == -1) {
    refusal.clear();
    held = cif_rows_begin(in, iend);
  }
  ierr = 0;
  for (;;) {
    if (!cif_rows_read(in, mdoc, held, ierr)) return;
    const int32_t ie = com_crd_cif.iend_cif;
    const CifFreeLine free = cif_rows_free_line(ie, mode, mdoc);
    if (free == CifFreeLine::EndsList) return;
    if (free == CifFreeLine::Skip) continue;
    if (ie != 0) {
      rt::unit_close(crdinf.cri_iun);
      iend = 1;
      return;
    }
    const int n = comcif_info.n_cif;
    if (n < 1 || !taken_category(comcif_info.itm_cif(1).view())) continue;

    crdatm.cr_aname = ".";
    crdatm.cr_asymb = ".";
    crdatm.cr_group = ".";
    crdatm.cr_rname = ".";
    crdatm.cr_atype = ".";
    crdatm.cr_corr = ".";
    crdatm.cr_btype = ".";
    crdatm.cr_iatold = 0;
    crdatm.cr_ires = 0;
    crdatm.cr_igroup = 0;
    crdatm.cr_sf_id = 0;
    crdatm.cr_pnum.blank();
    crdinf.cr_mult_flag = 1;
    bool seen_auth = false, seen_seq = false, fractional = false;
    int serial_column = 0, label_column = 0, no_number = 0;
    bool seen[kNone + 1] = {};
    // Either set of coordinates, as read; the fractional ones place the
    // atom when the row gives them, whatever Cartesian item stands beside.
    float cartesian[3] = {}, fractional_xyz[3] = {};
    for (int k = 1; k <= n; ++k) {
      const std::string_view val = comcif_info.dt_cif(k).view();
      const int32_t iv = comcif_info.idt_cif(k);
      const Item kind = classify(comcif_info.itm_cif(k).view());
      seen[kind] = true;
      // Every numeric item: "?" and "." give 0, as they always have, save
      // for a coordinate, which has no default.
      float fv = 0.0f;
      if (kind >= kX && kind <= kU23 && kind != kThermal && kind != kMult) {
        const coords::CifNumber got = coords::cif_number(val, comcif_info.fdt_cif(k), fv);
        const bool position = kind <= kFz;
        if (got == coords::CifNumber::kNoNumber ||
            (position && got == coords::CifNumber::kAbsent)) {
          if (no_number == 0) no_number = k;
          continue;
        }
      }
      if (kind == kSerial) serial_column = k;
      if (kind == kAtomName) label_column = k;
      switch (kind) {
        case kSerial: crdatm.cr_iatold = iv; break;
        case kAtomName: crdatm.cr_aname = val; break;
        case kSymbol:
          crdatm.cr_asymb = val;
          check_line_(1, crdatm.cr_asymb);
          break;
        case kAtype: crdatm.cr_atype = val.substr(0, 1); break;
        case kAlt: crdatm.cr_alt = val.substr(0, 1); break;
        case kCorr: crdatm.cr_corr = val.substr(0, 1); break;
        case kResName: crdatm.cr_rname = val; break;
        case kSeq:
          crdatm.cr_ires = iv;
          seen_seq = true;
          break;
        case kAuthSeq:
          if (rt::len_trim(val) > 0) {
            char num[5];
            cif_residue_number(val, num, true);
            for (int i = 0; i < 5; ++i) crdatm.cr_pnum(3 + i) = num[i];
            seen_auth = true;
          }
          break;
        case kGroup: crdatm.cr_group = val.substr(0, 4); break;
        case kX: case kY: case kZ: cartesian[kind - kX] = fv; break;
        case kFx: case kFy: case kFz:
          fractional_xyz[kind - kFx] = fv;
          fractional = true;
          break;
        case kOcc: crdatm.cr_occ = fv; break;
        case kB: crdatm.cr_biso = fv; break;
        case kThermal:
          crdatm.cr_btype = ".";
          if (val.substr(0, 4) == "Uani" || val[0] == 'A' || val[0] == 'a') crdatm.cr_btype = "A";
          break;
        case kMult: crdatm.cr_mult_factor = val[0] == '.' ? 1 : iv; break;
        case kU11: case kU22: case kU33: case kU12: case kU13: case kU23:
          crdatm.cr_anis(static_cast<int>(kind) - static_cast<int>(kU11) + 1) = fv;
          crdatm.cr_btype = "A";
          crdatm.cr_flag_user = "A";
          break;
        case kNone: break;
      }
    }
    if (const Item missing = missing_coordinate(seen); missing != kNone) {
      refuse_missing_coordinate(missing);
      ierr = 1;
      return;
    }
    if (no_number != 0) {
      refuse_no_number(no_number, serial_column, label_column);
      ierr = 1;
      return;
    }
    // Files of the open crystallography databases often give no type
    // symbols: the label tells the element, as it does to any reader of
    // such files.
    if (no_symbol(crdatm.cr_asymb)) {
      crdatm.cr_asymb = element_of_label(crdatm.cr_aname.trimmed());
      if (crdatm.cr_asymb.is_blank()) {
        refuse_no_element(serial_column, label_column);
        ierr = 1;
        return;
      }
    }
    if (crdatm.cr_btype(1) == 'A' && !pdbf::aniso_values_fit(crdatm.cr_anis.data())) {
      refuse_aniso(serial_column, label_column);
      ierr = 1;
      return;
    }
    mode = 0;
    crdatm.cr_iatom += 1;
    check_line_(1, crdatm.cr_asymb);
    crdatm.cr_ires = 1;
    rt::FixedText<12>& pnum = crdatm.cr_pnum;
    if (!seen_auth) {
      pnum(3) = ' ';
      pnum(4) = ' ';
      pnum(5) = ' ';
      pnum(6) = '1';
      pnum(7) = ' ';
    }
    if (!seen_seq) crdatm.cr_ires = cif_read_i4(pnum.sub(3, 6));
    if (fractional) {
      float o[3];
      int32_t e = 0;
      nb_ftoo_(fractional_xyz, o, e);
      for (int i = 1; i <= 3; ++i) crdatm.cr_xyz(i) = o[i - 1];
    } else {
      for (int i = 1; i <= 3; ++i) crdatm.cr_xyz(i) = cartesian[i - 1];
    }
    crdatm.cr_rname = "C00";
    crdatm.cr_igroup = 1;
    crdatm.cr_group = "AA";
    crdinf.cr_mult_flag = 1;
    crdatm.cr_ires = cif_read_i4(pnum.sub(3, 6));
    pnum(1) = 'A';
    pnum(2) = 'A';
    pnum(7) = ' ';
    crdatm.cr_iatold = crdatm.cr_iatom;
    crdatm.cr_occ = 1.0f;
    crdatm.cr_biso = 20.0f;
    crdstr.st_chem = crdatm.cr_asymb;
    cif_atom_line(1, crdatm.cr_line);
    msgdoc_(mdoc, crdatm.cr_line.trimmed());
    return;
  }
}

std::string_view csd_rows_refusal() { return refusal; }
