// Placement at the start of a residue tree (rows of C2).
#include "restraints/rebuild_start.h"

#include <string>

#include "dictionary/lib_com.h"
#include "foundation/messages.h"
#include "foundation/vec3.h"
#include "restraints/placement.h"
#include "runtime/format.h"

namespace {

using restraints::in_rows;

// Axis length from the first positive of the given bond lengths, else 1.
float axis_length(float a, float b) {
  if (a > 1e-5f) return a;
  if (b > 1e-5f) return b;
  return 1.0f;
}

void difference(const restraints::WorkSlot& s, int32_t a, int32_t b, float* v) {
  nb_vsub_(s.xyz.column(a), s.xyz.column(b), v);
}

// Perpendicular to the axis in the xy plane: with it the first child of a
// start atom gets a fixed, reproducible place.
void perpendicular(const float* axis, float* ref) {
  ref[0] = -axis[1];
  ref[1] = axis[0];
  ref[2] = 0.0f;
}

// The branches conn(from..1) of ic placed about the axis, each at the
// pivot's torsion plus its own and at the supplement of the pivot's angle;
// a branch keeps ic's occupancy only while the pivot's counts.
void place_fan(const restraints::WorkSlot& s, const restraints::Permission& permit, int32_t ic,
               int32_t pivot, int32_t from, int32_t axis_from, const float* axis, float len,
               int32_t& na_rebld) {
  float ref[3];
  difference(s, ic, pivot, ref);
  for (int32_t j = from; j >= 1; --j) {
    const int32_t m = s.conn(j, ic);
    if (!permit.allows(s, m)) continue;
    float ph = s.psi(pivot) + s.psi(m);
    restraints::library_torsion(s, ic, axis_from, m, ref, axis, ph);
    if (restraints::place_atom(s, ic, m, ref, axis, len, 180.0f - s.tht(pivot), s.dist(m), s.tht(m),
                               ph, na_rebld))
      s.occ(m) = s.occ(pivot) >= 0.0001f ? s.occ(ic) : 0.0f;
  }
}

}  // namespace

void rebuild_13_(int32_t, int32_t ic, int32_t icb, char hflag, char rflag, int32_t& na_rebld, int32_t& ierr) {
  ierr = 0;
  const restraints::WorkSlot& s = restraints::slot2();
  const restraints::Permission permit{hflag, rflag};
  if (!s.usable(ic) || !s.usable(icb) || s.ndist(ic) < 1) return;
  const int32_t nd = std::min<int32_t>(s.ndist(ic), MX1BRN);
  const float len = axis_length(s.dist(ic), s.dist(icb));
  float axis[3], ref[3];
  difference(s, ic, icb, axis);
  const int32_t k = s.conn(nd, ic);
  if (!in_rows(k)) return;
  if (permit.allows(s, k)) {
    perpendicular(axis, ref);
    float ph = 0.0f;
    restraints::library_torsion(s, ic, icb, k, ref, axis, ph);
    if (restraints::place_atom(s, ic, k, ref, axis, len, 90.0f, s.dist(k), s.tht(k), ph, na_rebld))
      s.occ(k) = s.asymb(ic) == "C   " ? s.occ(ic) : 0.0f;
  }
  if (!s.usable(k) || nd < 2) return;
  place_fan(s, permit, ic, k, nd - 1, icb, axis, len, na_rebld);
}

void rebuild_13b_(int32_t, int32_t ic, int32_t icb, char hflag, char rflag, int32_t& na_rebld,
                  int32_t& ierr) {
  ierr = 0;
  const restraints::WorkSlot& s = restraints::slot2();
  const restraints::Permission permit{hflag, rflag};
  if (!s.usable(ic) || !in_rows(icb)) return;
  if (permit.allows(s, icb) && s.dist(icb) > 0.0f) {
    s.xyz(1, icb) = s.xyz(1, ic) + s.dist(icb);
    s.xyz(2, icb) = s.xyz(2, ic);
    s.xyz(3, icb) = s.xyz(3, ic);
    s.occ(icb) = 0.0f;
    s.biso(icb) = s.biso(ic);
    s.atype(icb) = "R";
    ++na_rebld;
  }
  if (!s.usable(icb)) return;
  const int32_t nd = std::min<int32_t>(s.ndist(ic), MX1BRN);
  if (nd < 2) return;
  const float len = axis_length(s.dist(ic), s.dist(icb));
  float axis[3], ref[3];
  difference(s, ic, icb, axis);
  const int32_t m1 = s.conn(nd - 1, ic);
  if (!in_rows(m1)) return;
  if (permit.allows(s, m1)) {
    const float own = s.occ(m1);
    perpendicular(axis, ref);
    float ph = 0.0f;
    restraints::library_torsion(s, ic, icb, m1, ref, axis, ph);
    if (restraints::place_atom(s, ic, m1, ref, axis, len, 90.0f, s.dist(m1), s.tht(m1), ph,
                               na_rebld))
      s.occ(m1) = own >= 0.0001f ? s.occ(ic) : 0.0f;
  }
  if (!s.usable(m1) || nd < 3) return;
  place_fan(s, permit, ic, m1, nd - 2, icb, axis, len, na_rebld);
}

void rebuild_14_(int32_t, int32_t ic, int32_t icb, int32_t icbb, char hflag, char rflag, int32_t& na_rebld,
                 int32_t& ierr) {
  ierr = 0;
  const restraints::WorkSlot& s = restraints::slot2();
  if (!s.usable(ic) || !s.usable(icb) || !s.usable(icbb) || s.ndist(ic) < 1) return;
  float ref[3], axis[3];
  difference(s, icb, icbb, ref);
  difference(s, ic, icb, axis);
  restraints::place_children(s, ic, icb, ref, axis, s.dist(ic), s.tht(ic), 0, 0, 0.0f,
                             {hflag, rflag}, na_rebld);
}

void rebuild_14b_(int32_t, int32_t ic, int32_t icb, int32_t icbb, char hflag, char rflag, int32_t& na_rebld,
                  int32_t& ierr) {
  ierr = 0;
  const restraints::WorkSlot& s = restraints::slot2();
  if (!s.usable(ic) || !s.usable(icb) || !s.usable(icbb) || s.ndist(ic) < 2) return;
  float ref[3], axis[3];
  difference(s, icb, icbb, ref);
  difference(s, ic, icb, axis);
  restraints::place_children(s, ic, icb, ref, axis, axis_length(s.dist(icb), s.dist(icbb)),
                             s.tht(icbb), 1, 0, 0.0f, {hflag, rflag}, na_rebld);
}

void init_rebuild_(int32_t mdoc, char list, char, char ch_flag_old, char hflag, char rflag, int32_t& na_rebld,
                   int32_t& ierr) {
  ierr = 0;
  const r_scratch_t& r = r_scratch;
  if (r.l2a_istart < 1 || r.l2a_istart > MAX1ATM) return;
  const restraints::WorkSlot& s = restraints::slot2();
  const bool trace = list == 'T';
  int32_t status = 0;
  std::string line;
  for (int32_t ic = 1; ic <= std::min<int32_t>(s.igatm, MX1ATOM); ++ic) {
    if (!(s.aname(ic) == r.l2a_aname(r.l2a_istart).view())) continue;
    if (trace) msgdoc_(mdoc, rt::fmt("(' init_rebuild: row ',I4,1X,A,' flag ',A)", ic, s.aname(ic).view(),
                                     std::string_view(&ch_flag_old, 1)));
    if (ch_flag_old != 'S' && ch_flag_old != 'G' && ch_flag_old != 'M') {
      if (trace) msgdoc_(mdoc, " CH_FGLAG_OLD ne M,S,G");
      continue;
    }
    const int32_t icn = s.conn_from_end(ic, 1), icn1 = s.conn_from_end(ic, 2);
    if (icn <= 0) continue;
    if (r.l2a_istart == r.l2a_ifinish) {
      if (icn1 > 0) rebuild_13b_(mdoc, ic, icn, hflag, rflag, na_rebld, status);
      continue;
    }
    const int32_t icf = icn;
    const int32_t icfn = s.conn_from_end(icf, 1);
    if (trace) msgdoc_(mdoc, rt::fmt("(' init_rebuild: first ',I4,' next ',I4,' sibling ',I4)", icf, icfn, icn1));
    if (s.ilib(icf) == r.l2a_ifinish) {
      if (icfn == 0) {
        if (icn1 > 0) rebuild_13b_(mdoc, ic, icn, hflag, rflag, na_rebld, status);
      } else {
        rebuild_13_(mdoc, icf, ic, hflag, rflag, na_rebld, status);
        if (icn1 > 0) rebuild_14b_(mdoc, ic, icf, icfn, hflag, rflag, na_rebld, status);
      }
      continue;
    }
    rebuild_13_(mdoc, icf, ic, hflag, rflag, na_rebld, status);
    for (int32_t k = std::min<int32_t>(s.ndist(icf), MX1BRN); k >= 1; --k)
      rebuild_14_(mdoc, s.conn(k, icf), icf, ic, hflag, rflag, na_rebld, status);
    if (icn1 > 0) {
      rebuild_14b_(mdoc, ic, icf, s.conn_from_end(icf, 1), hflag, rflag, na_rebld, status);
      for (int32_t k = std::min<int32_t>(s.ndist(ic), MX1BRN); k >= 1; --k)
        rebuild_14_(mdoc, s.conn(k, ic), ic, icf, hflag, rflag, na_rebld, status);
    }
  }
  if (trace) msgdoc_(mdoc, "---end init-------------------");
}
