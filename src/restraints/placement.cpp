// Placement from internal coordinates in one residue area.
#include "restraints/placement.h"

#include <cmath>
#include <string_view>

#include "dictionary/element_table.h"
#include "foundation/kernels.h"
#include "restraints/ideal_hand.h"
#include "suite/pi.h"

namespace restraints {

namespace {
constexpr float kDeg = suite::kPi<float> / 180.0f;
}

bool Permission::allows(const WorkSlot& s, int32_t a) const {
  if (!in_rows(a) || s.atype(a)(1) != 'M') return false;
  return dictionary::is_hydrogen(s.asymb(a)) ? h_flag == 'A' : rflag == 'Y';
}

bool place_atom(const WorkSlot& s, int32_t parent, int32_t child, const float* ref, const float* axis,
                float axis_len, float ang1, float bond, float angle, float torsion, int32_t& na_rebld) {
  if (!(bond > 0.0f) || !(angle > 0.0f)) return false;
  // An axis whose length was never set would scale the bond by 1e5: the
  // axis is then taken at its real length.
  if (!(axis_len > 1e-5f)) {
    axis_len = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
  }
  // Likewise an unset reference angle would send coord_4_ to its fallback
  // frame although the reference vector is good.
  if (!(ang1 > 0.0f)) ang1 = foundation::bond_angle(ref, axis) / kDeg;
  float v[3];
  coord_4_(0.0f, axis_len, bond, ref, axis, ang1 * kDeg, angle * kDeg, torsion * kDeg, v);
  float x[3];
  for (int k = 0; k < 3; ++k) {
    x[k] = s.xyz(k + 1, parent) + v[k];
    // A frame built on a broken position must not leak into the files.
    if (!std::isfinite(x[k])) return false;
  }
  for (int k = 0; k < 3; ++k) s.xyz(k + 1, child) = x[k];
  s.biso(child) = s.biso(parent);
  s.atype(child) = "R";
  ++na_rebld;
  return true;
}

bool library_torsion(const WorkSlot& s, int32_t ic, int32_t from, int32_t m, const float* ref,
                     const float* axis, float& ph) {
  if (!s.usable(ic) || !in_rows(m)) return false;
  // An atom with an occupancy had its torsion measured on the model when
  // the residue was described, and that puts it back where it was; one the
  // model never had has no occupancy.
  if (s.occ(m) >= 0.001f) return false;
  // The neighbours in the area of ic, then of from: back atom, tree
  // children, ring closures.
  auto neighbours = [&](int32_t a, int32_t* out) {
    int n = 0;
    out[n++] = s.iback(a);
    for (int k = 1; k <= std::min<int32_t>(s.ndist(a), MX1BRN); ++k) out[n++] = s.conn(k, a);
    for (int k = 1; k <= std::min<int32_t>(s.nextr(a), MX1EXT); ++k) out[n++] = s.iextr(k, a);
    return n;
  };
  int32_t cand[1 + MX1BRN + MX1EXT];
  const IdealCoordinates ideal(s.mname.view());
  float xc[3], xm[3];
  if (!ideal.at(s.aname(ic).view(), xc) || !ideal.at(s.aname(m).view(), xm)) return false;
  // An axis from the residue before (the link) has its start outside the
  // monomer: the ideal coordinates give it the room their bonds leave.
  const bool inside = from >= 1;
  float xf[3];
  if (inside) {
    if (!s.usable(from) || !ideal.at(s.aname(from).view(), xf)) return false;
  } else {
    std::string_view names[1 + MX1BRN + MX1EXT];
    int k = 0;
    const int n = neighbours(ic, cand);
    for (int i = 0; i < n; ++i)
      if (in_rows(cand[i])) names[k++] = s.aname(cand[i]).view();
    if (!outer_bond(ideal, s.aname(ic).view(), names, k, xf)) return false;
  }
  // A torsion of the library itself stands unless a neighbour of ic has a
  // position; one derived from the model or from other atoms gives way to
  // the ideal coordinates.
  const bool library_given = s.id_psi(m) == "vv" || s.id_psi(m) == "cvv";
  for (const bool on_from : {false, true}) {
    if (on_from && (library_given || !inside)) return false;
    const int32_t centre = on_from ? from : ic;
    const int n = neighbours(centre, cand);
    // An atom of the model is a better guide than a rebuilt one.
    for (const bool rebuilt : {false, true}) {
      for (int i = 0; i < n; ++i) {
        const int32_t b = cand[i];
        if (b == from || b == m || b == ic || !s.usable(b) || (s.atype(b)(1) == 'R') != rebuilt)
          continue;
        float off = 0.0f, xb[3];
        if (!ideal.at(s.aname(b).view(), xb) || !offset_about(xf, xc, xb, on_from, xm, off))
          continue;
        float v[3], t[3];
        for (int k = 0; k < 3; ++k) v[k] = s.xyz(k + 1, b) - s.xyz(k + 1, centre);
        t[0] = v[1] * axis[2] - v[2] * axis[1];
        t[1] = v[2] * axis[0] - v[0] * axis[2];
        t[2] = v[0] * axis[1] - v[1] * axis[0];
        // A neighbour in line with the axis has no side.
        if (foundation::norm3(t) < 1e-3f * foundation::norm3(v) * foundation::norm3(axis)) continue;
        // Where the chiral row and the ideal coordinates disagree about ic,
        // the row decides: two substituents of ic swap sides about the bond.
        if (!on_from) off *= static_cast<float>(ideal.chiral_mirror(s.aname(ic).view()));
        ph = frame_torsion(ref, axis, v) + off;
        return true;
      }
    }
  }
  return false;
}

void place_children(const WorkSlot& s, int32_t ic, int32_t from, const float* ref,
                    const float* axis, float axis_len, float ang1, int skip, int32_t ice, float phe,
                    const Permission& permit, int32_t& na_rebld,
                    const std::function<void(int32_t, bool)>& after) {
  const int32_t nd = std::min<int32_t>(s.ndist(ic), MX1BRN);
  const int32_t first = nd - skip;
  if (first < 1) return;
  float ph0 = 0.0f;
  int switch_occ = 1;
  const bool carbon = s.asymb(ic) == "C   ";
  for (int32_t k = first; k >= 1; --k) {
    const int32_t child = s.conn(k, ic);
    if (!in_rows(child)) continue;
    const bool reference = k == first;
    if (reference) ph0 = ice >= 1 ? phe : s.psi(child);
    bool placed = false;
    if (permit.allows(s, child)) {
      float ph;
      if (reference)
        ph = ice < 1 ? ph0 : s.psi(child) + phe;
      else
        ph = s.psi(child) + ph0;
      float lib = 0.0f;
      if (library_torsion(s, ic, from, child, ref, axis, lib)) ph = lib;
      placed = place_atom(s, ic, child, ref, axis, axis_len, ang1, s.dist(child), s.tht(child), ph, na_rebld);
      if (placed) {
        if (reference) {
          const char c0 = s.id_psi(child)(1);
          switch_occ = (c0 == 'c' || c0 == 'C' || carbon) ? 1 : 0;
        }
        s.occ(child) = switch_occ == 1 ? s.occ(ic) : 0.0f;
      }
    }
    if (after) after(child, placed);
  }
}

}  // namespace restraints
