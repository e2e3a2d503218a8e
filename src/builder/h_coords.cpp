// Hydrogen coordinates.  A terminal group (one heavy neighbour) is built by
// internal coordinates from the first torsion that ends in its last
// hydrogen, the others at equal steps around the bond; a single hydrogen
// points away from its heavy neighbours; two hydrogens on a centre with two
// heavy neighbours stand either side of their plane.
#include "builder/h_coords.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "builder/geom_common.h"
#include "dictionary/descr_lookups.h"
#include "foundation/kernels.h"
#include "foundation/vec3.h"
#include "suite/pi.h"

using builder::geom::ff;
using builder::geom::fi;
using builder::geom::is_h_atom;

namespace {

void pos(int32_t a, float* r) {
  r[0] = r_scratch.l1a_x(a);
  r[1] = r_scratch.l1a_y(a);
  r[2] = r_scratch.l1a_z(a);
}

void place(int32_t a, const float* centre, const float* b) {
  r_scratch_t& s = r_scratch;
  s.l1a_x(a) = centre[0] + b[0];
  s.l1a_y(a) = centre[1] + b[1];
  s.l1a_z(a) = centre[2] + b[2];
  s.l1a_coor_flag(a) = "Y";
}

bool lacks_coords(int32_t a) {
  const char f = r_scratch.l1a_coor_flag(a)(1);
  return f == 'N' || f == '.';
}

struct Trace {
  bool on;
  void operator()(const std::string& line) const {
    if (on) std::printf("%s\n", line.c_str());
  }
};

const std::string_view kMon = "        ";

// Methyl, amino, hydroxyl and the like.  Returns 0 placed, 2 no torsion,
// another non-zero status when a bond or angle is missing.
int32_t terminal_group(int32_t mdoc, const Trace& tr, int32_t centre, int32_t n,
                       const int32_t* iconn, int32_t& last_h) {
  const r_scratch_t& s = r_scratch;
  int32_t i = 0;
  for (int k = 0; k < n; ++k)
    if (is_h_atom(iconn[k])) i = iconn[k];
  last_h = i;
  int t = 0;
  for (int q = 1; q <= s.l1t_ntors; ++q)
    if (s.l1t_i1atm(q) == i || s.l1t_i4atm(q) == i) {
      t = q;
      break;
    }
  if (t == 0) return 2;
  int32_t ib, ibb, ibbb;
  if (s.l1t_i1atm(t) == i) {
    ib = s.l1t_i2atm(t), ibb = s.l1t_i3atm(t), ibbb = s.l1t_i4atm(t);
  } else {
    ib = s.l1t_i3atm(t), ibb = s.l1t_i2atm(t), ibbb = s.l1t_i1atm(t);
  }
  const float dtor = suite::kPi<float> / 180.0f;
  float phi = s.l1t_val(t) * dtor;
  (void)centre;
  int32_t nb = 0, nhb = 0, cb[MAX1BRN + 1];
  set_conn_l_(ib, nb, nhb, cb);
  tr("-IB,N,NH:" + fi(ib) + fi(nb) + fi(nhb));
  float av1 = 0, av2 = 0, av3 = 0, ang1 = 0, ang2 = 0;
  int32_t l = 0, st = 0;
  srch_bond_(mdoc, kMon, i, ib, av3, l, st);
  if (st == 0) srch_bond_(mdoc, kMon, ib, ibb, av2, l, st);
  if (st == 0) srch_bond_(mdoc, kMon, ibb, ibbb, av1, l, st);
  if (st == 0) srch_angl_(mdoc, kMon, ib, ibb, ibbb, ang1, l, st);
  if (st == 0) srch_angl_(mdoc, kMon, i, ib, ibb, ang2, l, st);
  if (st != 0) return st;
  ang1 *= dtor;
  ang2 *= dtor;
  float pib[3], pibb[3], pibbb[3], r[3], a[3], b[3];
  pos(ib, pib);
  pos(ibb, pibb);
  pos(ibbb, pibbb);
  nb_vsub_(pibb, pibbb, r);
  nb_vsub_(pib, pibb, a);
  coord_4_(av1, av2, av3, r, a, ang1, ang2, phi, b);
  place(i, pib, b);
  tr("==>" + fi(i) + " " + s.l1a_aname(i).str() + ff(phi));
  if (nhb > 1) {
    const float delta = 2.0f * suite::kPi<float> / static_cast<float>(nhb);
    for (int k = 0; k < std::min<int>(nb, MAX1BRN); ++k) {
      const int32_t ja = cb[k];
      if (!is_h_atom(ja) || ja == i) continue;
      phi += delta;
      coord_4_(av1, av2, av3, r, a, ang1, ang2, phi, b);
      place(ja, pib, b);
      tr("==>" + fi(ja) + " " + s.l1a_aname(ja).str() + ff(phi));
    }
  }
  return 0;
}

void single_hydrogen(int32_t mdoc, const Trace& tr, int32_t centre, int32_t n,
                     const int32_t* iconn) {
  const r_scratch_t& s = r_scratch;
  float sum[3] = {0, 0, 0}, u[3][3];
  int nn = 0;
  float c = -1.0f;
  int32_t jah = 0;
  float pc[3];
  pos(centre, pc);
  for (int k = 0; k < n; ++k) {
    const int32_t ja = iconn[k];
    if (is_h_atom(ja)) {
      jah = ja;
      continue;
    }
    float pj[3], d[3];
    pos(ja, pj);
    nb_vsub_(pc, pj, d);
    float len = 0;
    nb_vmod_(d, len);
    // A neighbour on top of the centre has no direction and adds nothing.
    if (len <= 0.0f) continue;
    float e[3] = {d[0] / len, d[1] / len, d[2] / len};
    nb_vadd_(sum, e, sum);
    if (len > 0.2f) {
      if (nn < 3) nb_vcopy_(e, u[nn]);
      ++nn;
    }
    tr('>' + fi(k + 1) + fi(ja) + " " + s.l1a_aname(ja).str() + fi(nn) + " " +
       s.l1a_symb(ja).str());
  }
  if (jah == 0) return;
  float av3 = 0;
  int32_t l = 0, st = 0;
  srch_bond_(mdoc, kMon, jah, centre, av3, l, st);
  if (st != 0) return;
  if (nn >= 3) {
    float p[3], q[3], w[3], lw = 0;
    nb_vsub_(u[1], u[0], p);
    nb_vsub_(u[2], u[0], q);
    nb_vmult_(p, q, w);
    nb_vmod_(w, lw);
    if (lw > 0.02f) {
      float ls = 0;
      nb_vmod_(sum, ls);
      if (ls > 0.01f) {
        float dt = 0;
        nb_vprod_(sum, w, dt);
        c = dt >= 0 ? 1.0f : -1.0f;
        nb_vscal_(w, c, sum);
      } else {
        nb_vcopy_(w, sum);
      }
    }
  }
  float ls = 0;
  nb_vmod_(sum, ls);
  if (ls < 0.01f) return;
  float b[3];
  nb_vscal_(sum, av3 / ls, b);
  place(jah, pc, b);
  tr("==>" + fi(jah) + " " + s.l1a_aname(jah).str() + ff(ls) + ff(c) + fi(nn));
}

void two_hydrogens(int32_t mdoc, const Trace& tr, int32_t centre, int32_t n, const int32_t* iconn) {
  const r_scratch_t& s = r_scratch;
  int32_t jja = 0, ja = 0, jah = 0;
  for (int k = 0; k < n; ++k) {
    const int32_t a = iconn[k];
    if (is_h_atom(a)) {
      jah = a;
    } else {
      if (jja == 0) jja = a;
      ja = a;
    }
  }
  tr("  ja,jja:" + fi(ja) + fi(jja));
  float pc[3], pj[3], pjj[3], r[3], a[3];
  pos(centre, pc);
  pos(ja, pj);
  pos(jja, pjj);
  nb_vsub_(pjj, pc, r);
  nb_vsub_(pc, pj, a);
  float av1 = 0, av2 = 0;
  nb_vmod_(r, av1);
  nb_vmod_(a, av2);
  if (av1 < 0.01f || av2 < 0.01f) return;
  float dt = 0;
  nb_vprod_(r, a, dt);
  const float pi = suite::kPi<float>;
  const float ang1 = pi - std::acos(foundation::clamp_cosine(dt / (av1 * av2)));
  float av3 = 0;
  int32_t l = 0, st = 0;
  srch_bond_(mdoc, kMon, jah, centre, av3, l, st);
  if (st != 0) return;
  const float dtor = pi / 180.0f;
  const float ang2 = 109.54f * dtor, delta = 120.0f * dtor;
  float phi = -180.0f * dtor;
  for (int k = 0; k < n; ++k) {
    const int32_t h = iconn[k];
    if (!is_h_atom(h)) continue;
    phi += delta;
    float b[3];
    coord_4_(av1, av2, av3, r, a, ang1, ang2, phi, b);
    place(h, pc, b);
    tr("==>" + fi(h) + " " + s.l1a_aname(h).str() + ff(phi));
  }
}

}  // namespace

void set_conn_l_(int32_t ia, int32_t& n, int32_t& nh, int32_t* iconn) {
  const r_scratch_t& s = r_scratch;
  n = nh = 0;
  if (ia < 1) return;
  auto add = [&](int32_t a) {
    if (n >= MAX1BRN) return;
    iconn[n++] = a;
    if (a > 0 && is_h_atom(a)) ++nh;
  };
  if (s.l1a_iback(ia) > 0) add(s.l1a_iback(ia));
  for (int k = 1; k <= std::min<int>(s.l1a_ndist(ia), MAX1BRN); ++k) add(s.l1a_conn(k, ia));
  // The ring-closure partners are neighbours too: without them a hydrogen on
  // the atom that closes a ring is placed as if the ring bond were missing,
  // up to an Angstrom away from where it belongs.
  for (int k = 1; k <= std::min<int>(s.l1a_nextr(ia), MAX1EXT); ++k) add(s.l1a_iextr(k, ia));
}

void h_atom_coors_rebuild_(int32_t mdoc, char list, int32_t imode, int32_t& ierr) {
  const r_scratch_t& s = r_scratch;
  ierr = 0;
  if (s.l1a_natom < 4) return;
  const Trace tr{list == 'T'};
  int icoor = 0, icoor_tot = 0;
  float sum_all = 0, sum_heavy = 0;
  for (int a = 1; a <= s.l1a_natom; ++a) {
    const bool heavy = !is_h_atom(a);
    if (lacks_coords(a)) {
      icoor_tot = 1;
      if (heavy) icoor = 1;
      continue;
    }
    const float v = std::fabs(s.l1a_x(a)) + std::fabs(s.l1a_y(a)) + std::fabs(s.l1a_z(a));
    sum_all += v;
    if (heavy) sum_heavy += v;
  }
  if (sum_heavy < 0.001f) icoor = 1;
  if (sum_all < 0.001f) icoor_tot = 1;
  tr(">>ICOOR,ICOOR_TOT:" + fi(icoor) + fi(icoor_tot));
  if (icoor == 1 || (imode == 0 && icoor_tot == 0) || s.l1t_ntors <= 0) return;
  int32_t status = 0, last_h = 0;
  for (int c = 1; c <= s.l1a_natom; ++c) {
    if (is_h_atom(c)) continue;
    int32_t n = 0, nh = 0, iconn[MAX1BRN];
    set_conn_l_(c, n, nh, iconn);
    tr("========>" + fi(c) + " " + s.l1a_aname(c).str() + fi(n) + fi(nh));
    bool other_cases = true;
    if (nh == n - 1) {
      if (nh == 0) continue;
      status = terminal_group(mdoc, tr, c, n, iconn, last_h);
      other_cases = status == 2;
    } else {
      status = 4;
    }
    if (other_cases) {
      tr("=IBACK,N,NH:" + fi(c) + fi(n) + fi(nh) + fi(status));
      if (nh == 1 && n >= 3) {
        single_hydrogen(mdoc, tr, c, n, iconn);
      } else if (nh == 2 && n == 4) {
        two_hydrogens(mdoc, tr, c, n, iconn);
      }
    }
    tr(">>I,IERR:" + fi(last_h) + fi(status));
    status = 0;
  }
  tr(">>IERR:" + fi(status));
  ierr = 0;
}
