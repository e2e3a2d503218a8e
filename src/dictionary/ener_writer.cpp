// Energy library writing.  The rows of a two-type term are written with the
// type that stands later in the type table first, grouped by that type in
// table order and then by the other type; angles are grouped by their centre
// type and then the same way by their end types.  The order is worked out
// by sorting on the types' places in the table rather than by walking every
// pair of types over every row, which would cost the cube of the table size.
#include "dictionary/ener_writer.h"

#include <algorithm>
#include <vector>

#include "dictionary/lib_com.h"
#include "dictionary/lib_write_lines.h"
#include "dictionary/libcom.h"
#include "foundation/file_open.h"
#include "foundation/lookup_index.h"
#include "foundation/messages.h"
#include "runtime/units.h"

namespace {

using dictionary::LibLines;
using dictionary::LibValue;

constexpr std::string_view kWriteFailed = " ERR: can't write output ener_lib file";

constexpr std::string_view kAtomItems[] = {
    "_lib_atom.type",         "_lib_atom.weight",     "_lib_atom.hb_type",
    "_lib_atom.vdw_radius",   "_lib_atom.vdwh_radius", "_lib_atom.ion_radius",
    "_lib_atom.element",      "_lib_atom.valency",    "_lib_atom.sp",
};
constexpr std::string_view kPolarItems[] = {"_lib_atom.polar", "_lib_atom.hpolar"};
constexpr std::string_view kBondItems[] = {"_lib_bond.atom_type_1", "_lib_bond.atom_type_2",
                                           "_lib_bond.type", "_lib_bond.const",
                                           "_lib_bond.length"};
constexpr std::string_view kAngleItems[] = {"_lib_angle.atom_type_1", "_lib_angle.atom_type_2",
                                            "_lib_angle.atom_type_3", "_lib_angle.const",
                                            "_lib_angle.value"};
// The reader takes the torsion terms under the category _lib_tors.
constexpr std::string_view kTorItems[] = {
    "_lib_tors.atom_type_1", "_lib_tors.atom_type_2", "_lib_tors.atom_type_3",
    "_lib_tors.atom_type_4", "_lib_tors.label",       "_lib_tors.const",
    "_lib_tors.angle",       "_lib_tors.period",
};
constexpr std::string_view kVdwItems[] = {"_lib_vdw.atom_type_1", "_lib_vdw.atom_type_2",
                                          "_lib_vdw.energy_min", "_lib_vdw.radius_min",
                                          "_lib_vdw.H_flag"};
constexpr std::string_view kHbondItems[] = {"_lib_hbond.atom_type_1", "_lib_hbond.atom_type_2",
                                            "_lib_hbond.min", "_lib_hbond.dist"};
constexpr std::string_view kSynonymItems[] = {"_lib_synonym.atom_type",
                                              "_lib_synonym.atom_alternative_type"};

// Place of each type name in the type table: its first row.  A name that
// stands twice keeps its first place, so its terms are written once.
foundation::LookupIndex<4, MAXETYP>& type_places() {
  static foundation::LookupIndex<4, MAXETYP> places;
  places.clear();
  const r_scratch_t& r = r_scratch;
  for (int32_t i = 1; i <= r.lea_natom; ++i)
    if (!places.contains(r.lea_aname(i).view())) places.add(r.lea_aname(i).view(), i);
  return places;
}

// A term row in writing order: its sort keys, its row and whether its end
// types are written exchanged.
struct Placed {
  int32_t k1, k2, k3;
  int32_t row;
  bool swap;
};

bool before(const Placed& a, const Placed& b) {
  if (a.k1 != b.k1) return a.k1 < b.k1;
  if (a.k2 != b.k2) return a.k2 < b.k2;
  return a.k3 < b.k3;
}

// The rows of a two-type term in writing order; rows whose types are not
// both in the type table are left out.
template <typename T1, typename T2>
std::vector<Placed> pair_order(int32_t n, const T1& t1, const T2& t2,
                               const foundation::LookupIndex<4, MAXETYP>& places) {
  std::vector<Placed> out;
  out.reserve(static_cast<std::size_t>(n));
  for (int32_t j = 1; j <= n; ++j) {
    const int32_t p1 = places.first(t1(j).view());
    const int32_t p2 = places.first(t2(j).view());
    if (p1 == 0 || p2 == 0) continue;
    out.push_back(Placed{std::max(p1, p2), std::min(p1, p2), 0, j, p1 < p2});
  }
  std::stable_sort(out.begin(), out.end(), before);
  return out;
}

std::vector<Placed> angle_order(const foundation::LookupIndex<4, MAXETYP>& places) {
  const r_scratch_t& r = r_scratch;
  std::vector<Placed> out;
  out.reserve(static_cast<std::size_t>(r.leg_nangl));
  for (int32_t j = 1; j <= r.leg_nangl; ++j) {
    const int32_t p1 = places.first(r.leg_1atm(j).view());
    const int32_t pc = places.first(r.leg_2atm(j).view());
    const int32_t p3 = places.first(r.leg_3atm(j).view());
    if (p1 == 0 || pc == 0 || p3 == 0) continue;
    out.push_back(Placed{pc, std::max(p1, p3), std::min(p1, p3), j, p1 < p3});
  }
  std::stable_sort(out.begin(), out.end(), before);
  return out;
}

void section_head(LibLines& w, std::string_view title) {
  w.text("#");
  w.text(title);
  w.text("#");
  w.text("loop_");
}

void atom_types(LibLines& w) {
  const r_scratch_t& r = r_scratch;
  // The polarisabilities get columns only when some type has one, so that a
  // library without them keeps its layout and one with them loses nothing.
  bool polar = false;
  for (int32_t i = 1; i <= r.lea_natom; ++i)
    if (r.lea_polar(i) != 0.0f || r.lea_hpolar(i) != 0.0f) polar = true;
  w.text("loop_");
  w.items(kAtomItems);
  if (polar) w.items(kPolarItems);
  for (int32_t i = 1; i <= r.lea_natom; ++i) {
    LibValue a, h, e;
    const std::string_view type = a.make(r.lea_aname(i).view(), 4);
    const std::string_view hb = h.make(r.lea_htype(i).view(), 1);
    const std::string_view element = e.make(r.lea_ename(i).view(), 4);
    if (polar)
      w.put("(1X,A,2X,F10.5,2X,A,2X,F8.3,2X,F8.3,F8.3,2X,A,I5,1X,I3,2X,F8.3,2X,F8.3)", type,
            r.lea_weight(i), hb, r.lea_radius(i), r.lea_hradius(i), r.lea_iradius(i), element,
            r.lea_valency(i), r.lea_sp(i), r.lea_polar(i), r.lea_hpolar(i));
    else
      w.put("(1X,A,2X,F10.5,2X,A,2X,F8.3,2X,F8.3,F8.3,2X,A,I5,1X,I3)", type, r.lea_weight(i), hb,
            r.lea_radius(i), r.lea_hradius(i), r.lea_iradius(i), element, r.lea_valency(i),
            r.lea_sp(i));
  }
}

template <typename T>
std::string_view first_of(const Placed& p, const T& t1, const T& t2) {
  return p.swap ? t2(p.row).view() : t1(p.row).view();
}

void term_loops(int32_t mdoc, LibLines& w) {
  const r_scratch_t& r = r_scratch;
  const auto& places = type_places();
  // An empty term table is reported and passed over; the tables after it
  // are still written.
  if (r.leb_nbond == 0) {
    msgdoc_(mdoc, "#   Number of bonds = 0");
  } else {
    section_head(w, "# ---  BONDS ---");
    w.items(kBondItems);
    for (const Placed& p : pair_order(r.leb_nbond, r.leb_1atm, r.leb_2atm, places)) {
      LibValue a, b, t;
      w.put("(1X,A,1X,A,1X,A,1X,F8.3,1X,F8.3)", a.make(first_of(p, r.leb_1atm, r.leb_2atm), 4),
            b.make(first_of(p, r.leb_2atm, r.leb_1atm), 4), t.make(r.leb_type(p.row).view(), 8),
            r.leb_const(p.row), r.leb_length(p.row));
    }
  }
  if (r.leg_nangl == 0) {
    msgdoc_(mdoc, "#  Number of angles = 0");
  } else {
    section_head(w, "# ---  ANGLES ---");
    w.items(kAngleItems);
    for (const Placed& p : angle_order(places)) {
      LibValue a, b, c;
      w.put("(1X,A,1X,A,1X,A,1X,F8.3,1X,F8.3)", a.make(first_of(p, r.leg_1atm, r.leg_3atm), 4),
            b.make(r.leg_2atm(p.row).view(), 4), c.make(first_of(p, r.leg_3atm, r.leg_1atm), 4),
            r.leg_const(p.row), r.leg_angle(p.row));
    }
  }
  if (r.let_ntors == 0) {
    msgdoc_(mdoc, "# Number of tortions = 0");
  } else {
    section_head(w, "# ---  TORSIONS ---");
    w.items(kTorItems);
    for (int32_t j = 1; j <= r.let_ntors; ++j) {
      LibValue a, b, c, d, l;
      w.put("(1X,A,1X,A,1X,A,1X,A,1X,A,1X,F8.3,1X,F8.3,1X,I5)", a.make(r.let_1atm(j).view(), 4),
            b.make(r.let_2atm(j).view(), 4), c.make(r.let_3atm(j).view(), 4),
            d.make(r.let_4atm(j).view(), 4), l.make(r.let_label(j).view(), 8), r.let_const(j),
            r.let_angle(j), r.let_prd(j));
    }
  }
  if (r.lew_ncont == 0) {
    msgdoc_(mdoc, "#   Number of VDW contacts = 0");
  } else {
    section_head(w, "# ---  VDW contacts ---");
    w.items(kVdwItems);
    for (const Placed& p : pair_order(r.lew_ncont, r.lew_1atm, r.lew_2atm, places)) {
      LibValue a, b, h;
      w.put("(1X,A,1X,A,2X,F10.5,2X,F8.3,3X,A)", a.make(first_of(p, r.lew_1atm, r.lew_2atm), 4),
            b.make(first_of(p, r.lew_2atm, r.lew_1atm), 4), r.lew_emin(p.row),
            r.lew_rmin(p.row), h.make(r.lew_hflag(p.row).view(), 1));
    }
  }
  if (r.leh_nhbond == 0) {
    msgdoc_(mdoc, "#   Number of H - bonds = 0");
  } else {
    section_head(w, "# ---  H-BONDS ---");
    w.items(kHbondItems);
    for (const Placed& p : pair_order(r.leh_nhbond, r.leh_1atm, r.leh_2atm, places)) {
      LibValue a, b;
      w.put("(1X,A,1X,A,1X,F8.3,1X,F8.3)", a.make(first_of(p, r.leh_1atm, r.leh_2atm), 4),
            b.make(first_of(p, r.leh_2atm, r.leh_1atm), 4), r.leh_emin(p.row),
            r.leh_dist(p.row));
    }
  }
  // Without the synonyms a type known only by its other name would not be
  // found when the written library is read.
  if (r.les_nsyn > 0) {
    section_head(w, "# ---  SYNONYMS ---");
    w.items(kSynonymItems);
    for (int32_t j = 1; j <= r.les_nsyn; ++j) {
      LibValue a, b;
      w.put("(1X,A,1X,A)", a.make(r.les_atyp(j).view(), 4), b.make(r.les_styp(j).view(), 4));
    }
  }
  w.text("# ----------------------");
}

void title(int32_t mdoc, int32_t& ierr) {
  libcom_t& lc = libcom;
  if (lc.leo_iun != 0) {
    msgerr_(mdoc, " ERROR: output_ener_lib_file was open before");
    ierr = 1;
    return;
  }
  int32_t unit = 0;
  openfw_(unit, 99, lc.leo_path.view(), lc.leo_file.view(), lc.leo_ext.view(), ierr);
  if (ierr != 0) {
    msgerr_(mdoc, " ERR: can't open output ener_lib file");
    return;
  }
  lc.leo_iun = unit;
  LibLines w(unit);
  for (std::string_view t : {"#", "data_ener_lib", "#", "# --- ATOM ---", "#"}) w.text(t);
  if (r_scratch.lea_natom == 0)
    msgdoc_(mdoc, "#  Number of atoms = 0");
  else
    atom_types(w);
  w.finish(mdoc, kWriteFailed, ierr);
}

void stop(int32_t mdoc, int32_t& ierr) {
  libcom_t& lc = libcom;
  if (lc.leo_iun == 0) {
    msgerr_(mdoc, " ERROR: output \"ener_lib.cif\": can't be closed");
    ierr = 1;
    return;
  }
  // Buffered lines go out at the close: a full disk shows only here.
  const int rc = rt::unit_close(lc.leo_iun);
  lc.leo_iun = 0;
  if (rc != rt::IOSTAT_OK) {
    msgerr_(mdoc, kWriteFailed);
    ierr = 1;
  }
}

}  // namespace

void wrt_elib_(std::string_view mode, int32_t mdoc, int32_t& ierr) {
  if (libcom.leo_file.is_blank()) return;
  ierr = 0;
  if (rt::text_eq(mode, "TITL")) {
    title(mdoc, ierr);
  } else if (rt::text_eq(mode, "WRIT")) {
    if (libcom.leo_iun == 0) {
      msgerr_(mdoc, " ERR: output_ener_lib_file isn't open");
      ierr = 1;
      return;
    }
    LibLines w(libcom.leo_iun);
    term_loops(mdoc, w);
    w.finish(mdoc, kWriteFailed, ierr);
  } else if (rt::text_eq(mode, "STOP")) {
    stop(mdoc, ierr);
  }
}
