// Missing neighbours of one centre atom, placed from its known neighbours.
#include "restraints/neighbour_rebuild.h"

#include <cmath>
#include <utility>

#include "foundation/atom_com.h"
#include "foundation/kernels.h"
#include "foundation/messages.h"
#include "output/atom_str.h"
#include "output/cif_out_atoms.h"
#include "restraints/ideal_hand.h"
#include "restraints/link_calc.h"
#include "runtime/format.h"
#include "suite/pi.h"

namespace {

constexpr float kPi = suite::kPi<float>;
constexpr float kDeg = kPi / 180.0f;

struct Pos {
  float x[3];
};

Pos pos(int32_t a) {
  const atom_crd_t& c = atom_crd;
  return {{c.xyz_crd(1, a), c.xyz_crd(2, a), c.xyz_crd(3, a)}};
}
Pos minus(const Pos& a, const Pos& b) { return {{a.x[0] - b.x[0], a.x[1] - b.x[1], a.x[2] - b.x[2]}}; }
Pos plus(const Pos& a, const Pos& b) { return {{a.x[0] + b.x[0], a.x[1] + b.x[1], a.x[2] + b.x[2]}}; }
float dist(const Pos& a, const Pos& b) {
  float d = 0.0f;
  calc_idobs_l_(0, 0, a.x, b.x, d);
  return d;
}
float angle(const Pos& a, const Pos& b, const Pos& c) {
  float t = 0.0f;
  calc_iangobs_l_(1, 1, 1, a.x, b.x, c.x, t);
  return t;
}

char type(int32_t a) { return atom_inf.atm_type(a)(1); }

// A rebuilt atom hangs on its tree back atom, whose ideal bond and angle
// the structure table holds; from any other centre (a ring closure, a
// link) those values are not its own, and that centre leaves it where it
// is.
bool foreign(int32_t ia, int32_t q) { return type(q) == 'R' && atom_str.as_iback(q) != ia; }

// Sign of the volume of the bonds ia->k1, ia->k2, ia->q that the library's
// ideal coordinates give (mirrored where the centre's chiral row says
// otherwise) when the four atoms belong to one residue; 0 when they say
// nothing.
int library_hand(int32_t ia, int32_t k1, int32_t k2, int32_t q) {
  const int32_t ir = atom_inf.i_resid(ia);
  if (ir < 1 || ir > resid_inf.n_residue || atom_inf.i_resid(k1) != ir ||
      atom_inf.i_resid(k2) != ir || atom_inf.i_resid(q) != ir)
    return 0;
  const restraints::IdealCoordinates ideal(resid_inf.res_name(ir).view());
  return ideal.hand(atom_inf.atm_name(ia).view(), atom_inf.atm_name(k1).view(),
                    atom_inf.atm_name(k2).view(), atom_inf.atm_name(q).view()) *
         ideal.chiral_mirror(atom_inf.atm_name(ia).view());
}

// True when the library's ideal coordinates put the centre ia out of the
// plane of k1, k2 and q (all of one residue): a tetrahedral centre whose
// fourth atom the model lacks and the run does not make (a hydrogen).  Its
// atoms then belong at the places of a tetrahedron, not in the plane of a
// trigonal centre.
bool tetrahedral_in_library(int32_t ia, int32_t k1, int32_t k2, int32_t q) {
  // A flat centre has no volume; a tetrahedral one with bonds of 1 A (an
  // N-H, an O-H) still has more than 1 A^3.
  constexpr float kPyramid = 0.5f;
  const int32_t ir = atom_inf.i_resid(ia);
  if (ir < 1 || ir > resid_inf.n_residue || atom_inf.i_resid(k1) != ir ||
      atom_inf.i_resid(k2) != ir || atom_inf.i_resid(q) != ir)
    return false;
  const restraints::IdealCoordinates ideal(resid_inf.res_name(ir).view());
  float vol = 0.0f;
  return ideal.volume(atom_inf.atm_name(ia).view(), atom_inf.atm_name(k1).view(),
                      atom_inf.atm_name(k2).view(), atom_inf.atm_name(q).view(), vol) &&
         std::fabs(vol) > kPyramid;
}

int hand(const Pos& c, const Pos& a, const Pos& b, const Pos& d) {
  const Pos u = minus(a, c), v = minus(b, c), w = minus(d, c);
  const float vol = u.x[0] * (v.x[1] * w.x[2] - v.x[2] * w.x[1]) -
                    u.x[1] * (v.x[0] * w.x[2] - v.x[2] * w.x[0]) +
                    u.x[2] * (v.x[0] * w.x[1] - v.x[1] * w.x[0]);
  return vol > 0.0f ? 1 : (vol < 0.0f ? -1 : 0);
}

bool hydrogen(int32_t q) {
  const int32_t sf = atom_inf.id_sf(q);
  if (sf > 0 && sf <= MAXNSF) return crst_crd.cs_element(sf).view().substr(0, 2) == "H ";
  return true;
}

// Missing atoms need the run's permission; rebuilt ones are always tested.
bool permitted(int32_t q, char h_flag, char rflag) {
  if (type(q) != 'M') return true;
  return hydrogen(q) ? h_flag == 'A' : rflag == 'Y';
}

float bond_of(int32_t q) {
  const float d = atom_str.as_dist(q);
  return d > 0.5f ? d : (hydrogen(q) ? 1.0f : 1.4f);
}
float angle_of(int32_t q) {
  const float t = atom_str.as_tht(q);
  return (t > 80.0f && t < 140.0f) ? t : 110.0f;
}

// New position of q bonded to P3 at angle P2-P3-q and torsion P1-P2-P3-q.
// false when the frame yields no finite position.
bool place(const Pos& p1, const Pos& p2, const Pos& p3, float b, float theta, float phi, Pos& out) {
  const Pos ref = minus(p2, p1), axis = minus(p3, p2);
  float v[3];
  coord_4_(0.0f, dist(p2, p3), b, ref.x, axis.x, angle(p1, p2, p3) * kDeg, theta * kDeg, phi * kDeg, v);
  out = plus(p3, Pos{{v[0], v[1], v[2]}});
  return std::isfinite(out.x[0]) && std::isfinite(out.x[1]) && std::isfinite(out.x[2]);
}

struct Counters {
  int32_t& na_miss;
  int32_t& na_rebld;
};

// Writes a new position of q unless q is a rebuilt atom already within
// 0.1 A of it; true when written.
bool write_back(int32_t ia, int32_t q, const Pos& p, Counters& n) {
  if (type(q) == 'R' && dist(p, pos(q)) < 0.1f) return false;
  for (int k = 0; k < 3; ++k) atom_crd.xyz_crd(k + 1, q) = p.x[k];
  if (type(q) == 'M') {
    atom_inf.atm_type(q) = "R";
    ++n.na_miss;
    atom_crd.occup(q) = atom_crd.occup(ia);
  }
  ++n.na_rebld;
  return true;
}

// The centre's displacement given to q as an isotropic value.
void take_displacement(int32_t ia, int32_t q) {
  float b = 0.0f;
  const float c = 8.0f * kPi * kPi;
  if (atom_inf.b_flag(ia) == 0)
    b = c * atom_crd.u_aniso(1, ia);
  else
    calc_b_equiv_(atom_crd.u_aniso.column(ia), b);
  atom_crd.u_aniso(1, q) = b / c;
  atom_inf.b_flag(q) = 0;
}

// q bonded to ia whose only known neighbour is k; true when q has (or
// keeps) a good position.  A rebuilt q close to the ideal geometry stays.
bool one_neighbour(int32_t mdoc, char list, int32_t ia, int32_t k, int32_t q, float phi, Counters& n,
                   bool* written = nullptr, bool* accepted = nullptr) {
  if (foreign(ia, q)) {
    if (accepted) *accepted = true;
    return true;
  }
  const Pos pk = pos(k), pi = pos(ia);
  Pos p1{{pk.x[0] - 1.0f, pk.x[1], pk.x[2]}};
  const float d_id = atom_str.as_dist(q), t_id = atom_str.as_tht(q);
  if (type(q) == 'R' && d_id > 0.5f && t_id > 50.0f && t_id < 150.0f) {
    const Pos pq = pos(q);
    const float dobs = dist(pi, pq), aobs = angle(pk, pi, pq);
    if (std::fabs(d_id - dobs) < 0.15f && std::fabs(t_id - aobs) < 15.0f) {
      if (list == 'T') msgdoc_(mdoc, rt::fmt("(' OK ',I8)", q));
      if (accepted) *accepted = true;
      return true;
    }
    // Off the ideal geometry: keep the present direction of q as the frame.
    p1 = minus(pk, minus(pq, pi));
  } else if (const float a = angle(p1, pk, pi); a < 10.0f || a > 170.0f) {
    p1 = Pos{{pk.x[0], pk.x[1] - 1.0f, pk.x[2]}};
  }
  Pos p;
  if (!place(p1, pk, pi, bond_of(q), angle_of(q), phi, p)) return false;
  const bool w = write_back(ia, q, p, n);
  if (written) *written = w;
  return true;
}

// Frame of two known neighbours k1, k2 of ia: the point Y = k1 + (ia - k2),
// so that torsion Y-k1-ia-q = 0 puts q in their plane opposite k2.
Pos reference_point(int32_t ia, int32_t k1, int32_t k2) { return plus(pos(k1), minus(pos(ia), pos(k2))); }

// The ideal angle of an atom at the centre is counted from one neighbour of
// the centre, which the structure table does not name (the back atom's back
// atom, the start atom's forward atom, a link partner).  A rebuilt atom
// was placed at that angle: of two known neighbours the one from which it
// lies at its ideal angle comes first, so that the angle is laid off from
// it again.
void angle_reference_first(int32_t ia, int32_t q, int32_t& k1, int32_t& k2) {
  if (type(q) != 'R') return;
  const float t = atom_str.as_tht(q);
  const Pos pq = pos(q), pi = pos(ia);
  if (std::fabs(angle(pos(k2), pi, pq) - t) + 1.0f < std::fabs(angle(pos(k1), pi, pq) - t))
    std::swap(k1, k2);
}

void set_occupancy(int32_t ia, int32_t q, int32_t nat) {
  atom_crd.occup(q) = nat >= 2 ? atom_crd.occup(ia) : 0.0f;
}

}  // namespace

void check_rbld_2_(int32_t mdoc, char list, int32_t ia, int32_t, int32_t, const int32_t* jka, const int32_t* jkr,
                   char h_flag, char rflag, int32_t& na_miss, int32_t& na_rebld, int32_t& ierr) {
  ierr = 0;
  const int32_t q = jkr[0];
  if (!permitted(q, h_flag, rflag)) return;
  Counters n{na_miss, na_rebld};
  const char before = type(q);
  bool written = false, accepted = false;
  if (!one_neighbour(mdoc, list, ia, jka[0], q, 180.0f, n, &written, &accepted)) return;
  if (written)
    take_displacement(ia, q);
  else if (before == 'R' && !accepted)
    msgdoc_(mdoc, "--OK--");
}

void check_rbld_3_(int32_t mdoc, char list, int32_t ia, int32_t nat, int32_t nrb,
                   const int32_t* jka, const int32_t* jkr, char h_flag, char rflag,
                   int32_t& na_miss, int32_t& na_rebld, int32_t& ierr) {
  ierr = 0;
  const int32_t third = nat == 1 ? jkr[1] : jka[1];
  if (tetrahedral_in_library(ia, jka[0], third, jkr[0])) {
    check_rbld_4_(mdoc, list, ia, nat, nrb, jka, jkr, h_flag, rflag, na_miss, na_rebld, ierr);
    return;
  }
  Counters n{na_miss, na_rebld};
  int32_t k1 = jka[0], k2 = 0, q = 0;
  if (nat == 1) {
    int32_t p = jkr[0];
    if (!permitted(p, h_flag, rflag)) p = jkr[1];
    if (!permitted(p, h_flag, rflag)) return;
    bool written = false;
    if (!one_neighbour(mdoc, list, ia, k1, p, 180.0f, n, &written)) return;
    if (written) set_occupancy(ia, p, nat);
    if (p == jkr[1]) return;
    k2 = p;
    q = jkr[1];
  } else {
    k2 = jka[1];
    q = jkr[0];
    angle_reference_first(ia, q, k1, k2);
  }
  if (!permitted(q, h_flag, rflag) || foreign(ia, q)) return;
  Pos p;
  if (!place(reference_point(ia, k1, k2), pos(k1), pos(ia), bond_of(q), angle_of(q), 0.0f, p)) return;
  if (write_back(ia, q, p, n)) {
    take_displacement(ia, q);
    set_occupancy(ia, q, nat);
  }
}

void check_rbld_4_(int32_t mdoc, char list, int32_t ia, int32_t nat, int32_t nrb, const int32_t* jka,
                   const int32_t* jkr, char h_flag, char rflag, int32_t& na_miss, int32_t& na_rebld,
                   int32_t& ierr) {
  ierr = 0;
  Counters n{na_miss, na_rebld};
  int32_t k1 = jka[0];
  int32_t k2 = 0;
  int next = 0;  // the next of jkr to look at
  if (nat == 1) {
    while (next < nrb && !permitted(jkr[next], h_flag, rflag)) ++next;
    if (next == nrb) return;
    const int32_t p = jkr[next++];
    if (!one_neighbour(mdoc, list, ia, k1, p, 0.0f, n)) return;
    if (!foreign(ia, p)) set_occupancy(ia, p, nat);
    k2 = p;
  } else {
    k2 = jka[1];
  }
  while (next < nrb && !permitted(jkr[next], h_flag, rflag)) ++next;
  if (next == nrb) return;
  const int32_t q = jkr[next++];
  if (nat == 2) angle_reference_first(ia, q, k1, k2);
  const Pos y = reference_point(ia, k1, k2), pk1 = pos(k1), pia = pos(ia);
  float phi = 60.0f;
  if (nat == 3) {
    float t2 = 0.0f, t3 = 0.0f;
    calc_itrsobs_l_(1, 1, 1, 1, y.x, pk1.x, pia.x, pos(k2).x, t2);
    calc_itrsobs_l_(1, 1, 1, 1, y.x, pk1.x, pia.x, pos(jka[2]).x, t3);
    float t = t3 - t2;
    while (t > 180.0f) t -= 360.0f;
    while (t <= -180.0f) t += 360.0f;
    t += t >= 0.0f ? 120.0f : -120.0f;
    phi = t2 + t;
    while (phi >= 360.0f) phi -= 360.0f;
    while (phi < 0.0f) phi += 360.0f;
  }
  Pos p;
  if (!place(y, pk1, pia, bond_of(q), angle_of(q), phi, p)) return;
  // The two free places about k1 are mirror images: the library's ideal
  // coordinates say which one q takes; without them a rebuilt q keeps the
  // one it is nearer.
  const int want = nat == 3 ? 0 : library_hand(ia, k1, k2, q);
  Pos mirror;
  if (want != 0) {
    if (hand(pia, pk1, pos(k2), p) != want &&
        place(y, pk1, pia, bond_of(q), angle_of(q), -phi, mirror)) {
      phi = -phi;
      p = mirror;
    }
  } else if (type(q) == 'R' && dist(p, pos(q)) >= 0.1f) {
    if (place(y, pk1, pia, bond_of(q), angle_of(q), -phi, mirror) && dist(mirror, pos(q)) < 0.1f) {
      phi = -phi;
      p = mirror;
    }
  }
  if (!foreign(ia, q)) {
    write_back(ia, q, p, n);
    set_occupancy(ia, q, nat);
  }
  if (next >= nrb) return;
  const int32_t r = jkr[next];
  if (!permitted(r, h_flag, rflag) || foreign(ia, r)) return;
  phi += phi >= 0.0f ? -120.0f : 120.0f;
  if (!place(y, pk1, pia, bond_of(r), angle_of(r), phi, p)) return;
  if (write_back(ia, r, p, n)) take_displacement(ia, r);
  set_occupancy(ia, r, nat);
}
