// End torsions of the kept residue.  Every value written here goes to the S2
// row (measured) and to its L2 atom (ideal) together, so that the structure
// file and the rebuild read the same torsion.
#include "restraints/end_torsions.h"

#include <cmath>
#include <string_view>

#include "dictionary/descr_lookups.h"
#include "dictionary/lib_com.h"
#include "foundation/kernels.h"
#include "foundation/messages.h"
#include "foundation/vec3.h"
#include "restraints/tree_lookups.h"
#include "restraints/work_slot.h"
#include "suite/pi.h"

namespace {

using restraints::l2_ideal_angle;
using restraints::offset_from_angles;

constexpr float kDeg = suite::kPi<float> / 180.0f;

struct Torsion {
  int32_t entry = 0;
  int32_t iph = 0;
  float ph = 0.0f;
  float idl = 0.0f;
  void reverse() {
    ph = -ph;
    idl = -idl;
  }
};

int32_t lib_of(int32_t e) { return restraints::in_rows(e) ? r_scratch.s2_ilib(e) : 0; }

// Ideal angle of three entries of the residue before, from its description.
float ideal_angle(int32_t e1, int32_t e2, int32_t e3) {
  return l2_ideal_angle(0, lib_of(e1), lib_of(e2), lib_of(e3));
}

// Into (-180, 180].
float wrap180(float a) {
  while (a > 180.0f) a -= 360.0f;
  while (a <= -180.0f) a += 360.0f;
  return a;
}

// Writes a result into the S2 row and its L2 atom; a null code keeps the
// codes the rows have.
void give(int32_t e, float ph, float idl, const char* code) {
  r_scratch_t& r = r_scratch;
  if (!restraints::in_rows(e)) return;
  r.s2_psi(e) = ph;
  if (code) r.s2_id_psi(e) = code;
  const int32_t il = r.s2_ilib(e);
  if (il < 1 || il > MAX1ATM) return;
  r.l2a_phi(il) = idl;
  if (code) r.l2a_id_psi(il) = code;
}

void give(const Torsion& t, const char* code) { give(t.entry, t.ph, t.idl, code); }

Torsion psi_of(int32_t i1, int32_t i2, int32_t i3, int32_t i4) {
  Torsion t;
  t.entry = i3;
  calc_psi_s2_(i1, i2, i3, i4, t.iph, t.ph, t.idl);
  return t;
}

Torsion phi_of(int32_t i1, int32_t i2, int32_t i3, int32_t i4, int32_t ifw, float phf = 0.0f) {
  Torsion t;
  t.entry = i4;
  calc_phi_s2_(i1, i2, i3, i4, ifw, t.iph, t.ph, t.idl, phf);
  return t;
}

// Two siblings closer than ten degrees are told apart by turning one: the
// other one when the deciding sibling was measured, else the deciding one.
void ten_degree_rule(Torsion& other, Torsion& deciding) {
  if (std::fabs(other.ph - deciding.ph) >= 10.0f) return;
  if (deciding.iph != 0)
    other.reverse();
  else
    deciding.reverse();
}

// Handedness seen from centre row c: +1 when its chiral entry lists n1, n2,
// n3 in one of their cyclic orders (or it has no entry), else the sign is
// turned; 0 for an entry of neither sign.
int32_t chiral_sign(int32_t mdoc, int32_t c, int32_t n1, int32_t n2, int32_t n3, bool* signed_centre = nullptr) {
  const r_scratch_t& r = r_scratch;
  int32_t is = 1, lc = 0, ierr = 0;
  rt::FixedText<4> a2, a3, a4;
  srch_chir_centre_2_(mdoc, r.c2_aname(c).view(), lc, a2, a3, a4, is, ierr);
  if (signed_centre) *signed_centre = lc > 0 && is != 0;
  if (lc <= 0 || is == 0) return is;
  auto name = [&](int32_t e) -> std::string_view {
    return restraints::in_rows(e) ? r.c2_aname(e).view() : std::string_view();
  };
  auto order = [&](int32_t x, int32_t y, int32_t z) {
    return a2 == name(x) && a3 == name(y) && a4 == name(z);
  };
  if (!order(n1, n2, n3) && !order(n2, n3, n1) && !order(n3, n1, n2)) is = -is;
  return is;
}

float with_sign(float v, bool positive) { return positive ? std::fabs(v) : -std::fabs(v); }

// Forward rows f1, f2, f3 of c in the chain bb-b-c: f1 as measured, f2 with
// the handedness of c, f3 on the other side of f2.
void forward_torsions(int32_t mdoc, int32_t bb, int32_t b, int32_t c, int32_t f1, int32_t f2, int32_t f3,
                      const char* code1, const char* code2, const char* code3) {
  give(phi_of(bb, b, c, f1, 0), code1);
  if (f2 <= 0) return;
  Torsion t2 = phi_of(bb, b, c, f2, 0);
  t2.idl = with_sign(t2.idl, chiral_sign(mdoc, c, f2, f1, b) > 0);
  if (t2.iph == 0) t2.ph = t2.idl;
  give(t2, code2);
  if (f3 <= 0) return;
  Torsion t3 = phi_of(bb, b, c, f3, 0);
  if (t2.idl < 0.0f)
    t3.idl = std::fabs(t3.idl);
  else if (t2.idl > 0.0f)
    t3.idl = -std::fabs(t3.idl);
  if (t3.iph == 0) t3.ph = t3.idl;
  give(t3, code3);
}

bool fragment_start(char flag) { return flag == 'S' || flag == 'G' || flag == 'M'; }

}  // namespace

void calc_psi_s2_(int32_t i1, int32_t i2, int32_t i3, int32_t i4, int32_t& iph, float& ph, float& ph_idl) {
  const restraints::WorkSlot& s = restraints::slot2();
  iph = 0;
  ph = 0.0f;
  if (s.measurable(i1) && s.measurable(i2) && s.measurable(i3) && s.measurable(i4)) {
    float d1[3], d2[3], d3[3], c12[3], c13[3];
    nb_vsub_(s.xyz.column(i2), s.xyz.column(i1), d1);
    nb_vsub_(s.xyz.column(i3), s.xyz.column(i2), d2);
    nb_vsub_(s.xyz.column(i4), s.xyz.column(i2), d3);
    nb_vmult_(d1, d2, c12);
    nb_vmult_(d1, d3, c13);
    float m12, m13, dot, side;
    nb_vmod_(c12, m12);
    nb_vmod_(c13, m13);
    if (m12 > 0.0f && m13 > 0.0f) {
      float prod = m12 * m13;
      if (prod < 1e-8f) prod = 1.0f;
      nb_vprod_(c12, c13, dot);
      float a = std::acos(foundation::clamp_cosine(dot / prod)) / kDeg;
      nb_vprod_(c12, d3, side);
      if (side < 0.0f) a = -a;
      ph = -wrap180(a);
      iph = 1;
    }
  }
  ph_idl = offset_from_angles(ideal_angle(i1, i2, i4), ideal_angle(i1, i2, i3),
                              ideal_angle(i3, i2, i4));
  if (ph < 0.0f) ph_idl = -ph_idl;
  if (iph == 0) ph = ph_idl;
}

void calc_phi_s2_(int32_t i1, int32_t i2, int32_t i3, int32_t i4, int32_t ifw, int32_t& iph, float& ph,
                  float& ph_idl, float phf) {
  const restraints::WorkSlot& s = restraints::slot2();
  iph = 0;
  ph = 0.0f;
  ph_idl = 0.0f;
  // A missing first or second row is a fixed direction, never a reason to
  // leave the torsion unmeasured.
  const bool ok = (i1 == 0 || s.measurable(i1)) && (i2 == 0 || s.measurable(i2)) && s.measurable(i3) &&
                  s.measurable(i4);
  if (ok) {
    float b1[3] = {1, 0, 0}, b2[3] = {0, 1, 0}, b3[3], q1[3], q2[3], q3[3];
    if (i2 != 0) {
      nb_vsub_(s.xyz.column(i3), s.xyz.column(i2), b2);
      if (i1 != 0) nb_vsub_(s.xyz.column(i2), s.xyz.column(i1), b1);
    }
    nb_vsub_(s.xyz.column(i4), s.xyz.column(i3), b3);
    nb_vmult_(b1, b2, q1);
    nb_vmult_(b2, b3, q2);
    float n1, n2, dot, triple;
    nb_vmod_(q1, n1);
    nb_vmod_(q2, n2);
    nb_vprod_(q1, q2, dot);
    float c;
    if (n1 < 1e-9f || n2 < 1e-9f)
      c = dot >= 0.0f ? 1.0f : -1.0f;
    else
      c = dot / (n1 * n2);
    nb_vmult_(b2, b3, q3);
    nb_vprod_(b1, q3, triple);
    const float sn = (triple < 0.0f ? -1.0f : 1.0f) * std::sqrt(std::fabs(1.0f - c * c));
    float a = std::atan2(sn, c) / kDeg - phf;
    if (std::fabs(std::fabs(a) - 180.0f) < 0.1f) a = 180.0f;
    if (std::fabs(a) < 0.1f) a = 0.0f;
    ph = wrap180(a);
    iph = 1;
  }
  if (ifw < 1) {
    ph_idl = ph;
    return;
  }
  ph_idl = offset_from_angles(ideal_angle(i2, i3, ifw), ideal_angle(i2, i3, i4),
                              ideal_angle(ifw, i3, i4));
  if (ph < 0.0f) ph_idl = -ph_idl;
  if (iph == 0) ph = ph_idl;
}

void calc_lthph_(int32_t mdoc, int32_t il, char ch_flag, char, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  ierr = 0;
  if (il != r.l2a_ifinish || ch_flag != 'G') return;
  const restraints::WorkSlot& s = restraints::slot2();
  for (int32_t ic = 1; ic <= std::min<int32_t>(s.igatm, MX1ATOM); ++ic) {
    if (!(s.aname(ic) == r.l2a_aname(il).view())) continue;
    const int32_t b = s.iback(ic);
    const int32_t bb = restraints::in_rows(b) ? s.iback(b) : 0;
    const int32_t f1 = s.conn_from_end(ic, 1);
    if (b <= 0 || bb <= 0 || f1 <= 0) continue;
    forward_torsions(mdoc, bb, b, ic, f1, s.conn_from_end(ic, 2), s.conn_from_end(ic, 3), "vf1 ", "vf2 ",
                     "vf3 ");
  }
}

void init_lthph_(int32_t mdoc, char, char ch_flag_old, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  ierr = 0;
  if (!fragment_start(ch_flag_old)) return;
  if (r.l2a_istart < 1 || r.l2a_istart > MAX1ATM) return;
  const restraints::WorkSlot& s = restraints::slot2();
  for (int32_t ic = 1; ic <= std::min<int32_t>(s.igatm, MX1ATOM); ++ic) {
    if (!(s.aname(ic) == r.l2a_aname(r.l2a_istart).view())) continue;
    const int32_t f1 = s.conn_from_end(ic, 1), f2 = s.conn_from_end(ic, 2);
    const int32_t f3 = s.conn_from_end(ic, 3), f4 = s.conn_from_end(ic, 4);
    const int32_t e = s.nextr(ic) > 0 ? s.iextr(1, ic) : 0;
    give(ic, 0.0f, 0.0f, ".");

    // Two siblings placed by pseudo-torsions about one centre, told apart.
    auto pair_psi = [&](int32_t a1, int32_t c, int32_t x3, int32_t x4, const char* code3, int32_t y3,
                        const char* codey) {
      Torsion t3, t4;
      if (x3 > 0) t3 = psi_of(a1, c, x3, x4);
      if (y3 > 0) t4 = psi_of(a1, c, y3, x4);
      if (x3 > 0 && y3 > 0) ten_degree_rule(t3, t4);
      if (x3 > 0) give(t3, code3);
      if (y3 > 0) give(t4, codey);
    };

    if (r.l2a_istart == r.l2a_ifinish) {
      give(f1, 0.0f, 0.0f, ".");
      give(f2, 0.0f, 0.0f, ".");
      pair_psi(f1, ic, f3, f2, "CO2S", f4, "CO1S");
      continue;
    }
    int32_t icf = f1;
    if (s.ndist(ic) < 1) {
      msgdoc_(mdoc, "WARNING: subr INIT_LTHPH: LND=0");
      icf = s.conn(1, ic);
    }
    if (icf <= 0) {
      msgdoc_(mdoc, "WARNING: subr INIT_LTHPH: ICF=0");
      icf = 1;
    }
    const int32_t g1 = s.conn_from_end(icf, 1), g2 = s.conn_from_end(icf, 2), g3 = s.conn_from_end(icf, 3);
    give(icf, 0.0f, 0.0f, nullptr);
    const bool icf_finish = s.ilib(icf) == r.l2a_ifinish;

    if (icf_finish && s.ndist(icf) < 1) {
      give(f2, 0.0f, 0.0f, ".");
      pair_psi(icf, ic, f3, f2, "CO8S", f4, "CO7S");
      continue;
    }
    if (icf_finish) {
      give(g1, 0.0f, 0.0f, nullptr);
      Torsion t2, t3;
      if (g2 > 0) t2 = psi_of(ic, icf, g2, g1);
      if (g3 > 0) t3 = psi_of(ic, icf, g3, g1);
      if (g2 > 0 && g3 > 0) ten_degree_rule(t2, t3);
      if (g2 > 0) give(t2, "CO4S");
      if (g3 > 0) give(t3, "CO3S");
      if (f1 > 0) give(phi_of(g1, icf, ic, f1, 0), nullptr);
      Torsion u2, u3;
      if (f2 > 0) u2 = phi_of(g1, icf, ic, f2, f1);
      if (f3 > 0) u3 = phi_of(g1, icf, ic, f3, f1);
      if (f2 > 0 && f3 > 0) ten_degree_rule(u2, u3);
      if (f2 > 0) give(u2, "CO6S");
      if (f3 > 0) give(u3, "CO5S");
      continue;
    }

    // The start's first forward atom leads on into the tree.
    if (g1 > 0 && s.id_psi(g1) == "?") give(g1, 0.0f, 0.0f, f1 > 0 ? "vvs " : nullptr);
    Torsion t2, t3;
    const bool g2_free = g2 > 0 && s.id_psi(g2) == "?";
    if (g2_free) {
      t2 = psi_of(ic, icf, g2, g1);
    } else if (g2 > 0) {
      t2.entry = g2;
      t2.iph = 1;
      t2.ph = s.psi(g2);
    }
    if (g3 > 0) t3 = psi_of(ic, icf, g3, g1);
    if (g2 > 0 && g3 > 0) ten_degree_rule(t2, t3);
    if (g2_free) give(t2, "COAS");
    if (g3 > 0) give(t3, "CO9S");

    if (f2 > 0) {
      Torsion u;
      float te = 0.0f;
      const bool via_extra = !s.measurable(f2) && e > 0;
      if (via_extra) {
        te = phi_of(g1, icf, ic, e, 0).ph;
        u = phi_of(g1, icf, ic, f2, e, te);
      } else {
        u = phi_of(g1, icf, ic, f2, 0);
      }
      if (e > 0) {
        bool signed_centre = false;
        const int32_t is = chiral_sign(mdoc, ic, f2, e, icf, &signed_centre);
        if (signed_centre) u.idl = with_sign(u.idl, is > 0);
      }
      if (via_extra) u.ph = u.idl + te;
      give(u, "CODS");
    }
    Torsion u3, u4;
    if (f3 > 0) u3 = phi_of(g1, icf, ic, f3, f2);
    if (f4 > 0) u4 = phi_of(g1, icf, ic, f4, f2);
    if (f3 > 0 && f4 > 0) ten_degree_rule(u4, u3);
    if (f3 > 0) give(u3, "COCS");
    if (f4 > 0) give(u4, "COBS");
    if (f2 > 0)
      forward_torsions(mdoc, icf, ic, f2, s.conn_from_end(f2, 1), s.conn_from_end(f2, 2),
                       s.conn_from_end(f2, 3), nullptr, nullptr, nullptr);
  }
}

void calc_l_th_phi_(int32_t mdoc, char ch_flag, char ch_flag_old, int32_t, int32_t, int32_t, int32_t& ierr) {
  ierr = 0;
  init_lthph_(mdoc, ch_flag, ch_flag_old, ierr);
  if (ierr != 0) return;
  const r_scratch_t& r = r_scratch;
  ierr = restraints::walk_l2_tree(mdoc, [&](int32_t i) {
    int32_t status = 0;
    if (r.l2a_ndist(i) > 0 && r.l2a_iback(i) != r.l2a_istart) calc_lthph_(mdoc, i, ch_flag, ch_flag_old, status);
    return status;
  });
}
