// Bond orders from the model's shape.  A bond length moved by a few
// hundredths of an angstrom falls nearer another library row, but the shape
// of a whole ring or of an atom's neighbourhood does not change under such
// noise: a tetrahedral atom has no double bond, and a flat ring of
// trigonal atoms is conjugated as a whole.  Its double bonds are chosen
// together, so that every ring carbon carries one and the nitrogens left
// without one keep their hydrogen.
#include "builder/conjugation.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <vector>

#include "builder/chem_text.h"
#include "builder/metals.h"
#include "dictionary/descr_lookups.h"
#include "dictionary/lib_com.h"
#include "foundation/kernels.h"
#include "foundation/vec3.h"
#include "suite/pi.h"

namespace {

using builder::begins;
using builder::is_elem;
using builder::nb;

constexpr float kDegrees = 180.0f / suite::kPi<float>;

// The largest ring torsion, in degrees, of a ring the model has flat.
constexpr float kMostTwist = 25.0f;

bool coords(int ia) { return r_scratch.l1a_coor_flag(ia) == "Y"; }

// The shape at atom ia is known when it and its partners have coordinates
// and stand apart (a description placed all at one point has none).
bool shape_known(int ia, std::initializer_list<int> partners) {
  const r_scratch_t& r = r_scratch;
  if (!coords(ia)) return false;
  for (int p : partners) {
    if (!coords(p)) return false;
    const float d[3] = {r.l1a_x(p) - r.l1a_x(ia), r.l1a_y(p) - r.l1a_y(ia),
                        r.l1a_z(p) - r.l1a_z(ia)};
    if (foundation::norm3(d) < 0.5f) return false;
  }
  return true;
}

float angle_at(int a, int z, int b) {
  const r_scratch_t& r = r_scratch;
  const float u[3] = {r.l1a_x(a) - r.l1a_x(z), r.l1a_y(a) - r.l1a_y(z), r.l1a_z(a) - r.l1a_z(z)};
  const float v[3] = {r.l1a_x(b) - r.l1a_x(z), r.l1a_y(b) - r.l1a_y(z), r.l1a_z(b) - r.l1a_z(z)};
  const float c = foundation::dot3(u, v) / (foundation::norm3(u) * foundation::norm3(v));
  return std::acos(foundation::clamp_cosine(c)) * kDegrees;
}

float torsion(int a, int b, int c, int d) {
  const r_scratch_t& r = r_scratch;
  auto at = [&](int i, float* x) {
    x[0] = r.l1a_x(i);
    x[1] = r.l1a_y(i);
    x[2] = r.l1a_z(i);
  };
  float pa[3], pb[3], pc[3], pd[3], b1[3], b2[3], b3[3], n1[3], n2[3], m[3];
  at(a, pa);
  at(b, pb);
  at(c, pc);
  at(d, pd);
  nb_vsub_(pb, pa, b1);
  nb_vsub_(pc, pb, b2);
  nb_vsub_(pd, pc, b3);
  nb_vmult_(b1, b2, n1);
  nb_vmult_(b2, b3, n2);
  nb_vmult_(n1, n2, m);
  const float y = foundation::dot3(m, b2) / foundation::norm3(b2);
  return std::atan2(y, foundation::dot3(n1, n2)) * kDegrees;
}

bool metal_bond(int lb) { return begins(r_scratch.l1b_type(lb).view(), "meta"); }

bool metal_atom(int ia) { return is_it_metal_(r_scratch.l1a_symb(ia).view()); }

// The neighbours of atom ia other than metals, in list order: a metal bound
// to a porphyrin nitrogen or a carboxylate oxygen changes neither's shape
// as its bonds count it.
std::vector<int> partners(int ia) {
  std::vector<int> out;
  for (int j = 1; j <= r_scratch.l1a_ndist(ia); ++j)
    if (!metal_atom(nb(j, ia))) out.push_back(nb(j, ia));
  return out;
}

// An atom whose bonds are all single by its shape in the model: carbon or
// nitrogen with four neighbours or as the apex of a pyramid of three, a
// chain carbon or nitrogen of two whose angle is near the tetrahedral one
// (a trigonal one opens to 120 degrees), an oxygen of two neighbours.
bool tetrahedral(int ia) {
  const r_scratch_t& r = r_scratch;
  const builder::Name& s = r.l1a_symb(ia);
  const std::vector<int> p = partners(ia);
  const int n = static_cast<int>(p.size());
  if (is_elem(s, "O ")) return n == 2;
  if (!is_elem(s, "C ") && !is_elem(s, "N ")) return false;
  if (n >= 4) return true;
  if (n == 3)
    return shape_known(ia, {p[0], p[1], p[2]}) && !builder::flat_in_model(ia, p[0], p[1], p[2]);
  if (n == 2 && r.l1a_nring(ia) == 0) {
    const int a = p[0], b = p[1];
    constexpr float kOpenerThanTetrahedral = 115.0f;
    return shape_known(ia, {a, b}) && angle_at(a, ia, b) < kOpenerThanTetrahedral;
  }
  return false;
}

bool carries(int ia, int ring) {
  const r_scratch_t& r = r_scratch;
  for (int k = 1; k <= r.l1a_nring(ia) && k <= MAX1BRN; ++k)
    if (r.l1a_ring_id(k, ia) == ring) return true;
  return false;
}

int largest_ring_id() {
  const r_scratch_t& r = r_scratch;
  int top = 0;
  for (int i = 1; i <= r.l1a_natom; ++i)
    for (int k = 1; k <= r.l1a_nring(i) && k <= MAX1BRN; ++k)
      top = std::max(top, r.l1a_ring_id(k, i));
  return top;
}

// The atoms of ring `ring` in walking order; empty unless it is a simple
// cycle of 5 or 6 atoms.
std::vector<int> ring_cycle(int ring) {
  const r_scratch_t& r = r_scratch;
  std::vector<int> members;
  for (int i = 1; i <= r.l1a_natom; ++i)
    if (carries(i, ring)) members.push_back(i);
  const int size = static_cast<int>(members.size());
  if (size != 5 && size != 6) return {};
  std::vector<int> cycle = {members.front()};
  int prev = 0;
  while (static_cast<int>(cycle.size()) <= size) {
    const int at = cycle.back();
    int next = 0, inside = 0;
    for (int j = 1; j <= r.l1a_ndist(at); ++j) {
      const int c = nb(j, at);
      if (!carries(c, ring)) continue;
      ++inside;
      if (c != prev && next == 0) next = c;
    }
    if (inside != 2) return {};
    if (next == cycle.front()) break;
    prev = at;
    cycle.push_back(next);
  }
  if (static_cast<int>(cycle.size()) != size) return {};
  return cycle;
}

// A ring whose atoms can all be trigonal (carbon or nitrogen of two or of
// three flat neighbours, one oxygen or sulfur of two in a ring of five) and
// which the model has flat: its torsions stay near zero, where a saturated
// ring of five or six twists by 30 degrees and more.
bool conjugated_ring(const std::vector<int>& cycle) {
  const r_scratch_t& r = r_scratch;
  if (cycle.empty()) return false;
  int hetero = 0;
  for (int ia : cycle) {
    const builder::Name& s = r.l1a_symb(ia);
    const std::vector<int> p = partners(ia);
    const int n = static_cast<int>(p.size());
    if (!coords(ia)) return false;
    if (is_elem(s, "C ") || is_elem(s, "N ")) {
      if (n < 2 || n > 3) return false;
      if (n == 3 && !builder::flat_in_model(ia, p[0], p[1], p[2])) return false;
    } else if (is_elem(s, "O ") || is_elem(s, "S ")) {
      if (n != 2 || cycle.size() != 5 || ++hetero > 1) return false;
    } else {
      return false;
    }
  }
  const int size = static_cast<int>(cycle.size());
  float sum = 0.0f, most = 0.0f;
  for (int k = 0; k < size; ++k) {
    const float t = std::fabs(
        torsion(cycle[k], cycle[(k + 1) % size], cycle[(k + 2) % size], cycle[(k + 3) % size]));
    sum += t;
    most = std::max(most, t);
  }
  constexpr float kMeanTwist = 12.0f;
  return sum / static_cast<float>(size) < kMeanTwist && most < kMostTwist;
}

// The choice of double bonds over one set of ring atoms.  Each carbon of
// the rings must carry one double bond (1000 a carbon served); a terminal
// oxygen or sulfur takes one gladly (the keto form of a base), a terminal
// amino nitrogen and a nitrogen of three neighbours (which the double bond
// charges) only where nothing else serves, and a ring nitrogen beside a
// carbonyl carbon rather not.  Ties go to the bond met first
// in the order of the atoms' names, so neither noise in the coordinates nor
// the order of the atoms can change the choice.
struct Choice {
  std::vector<int> atoms;                 // atoms that can take a double bond, in order
  std::vector<int> slot;                  // per L1 atom: its index in atoms, or -1
  std::vector<std::vector<int>> partner;  // per atom: indexes into atoms it may pair with
  std::vector<int> need, gain;            // per atom: a carbon to serve; its own gain
  std::vector<int> mate, best_mate;
  long best = -1;
  long steps = 0;

  int score(int k) const { return (need[k] ? 1000 : 0) + gain[k]; }

  void search(std::size_t k, long now) {
    if (++steps > 200000) return;
    while (k < atoms.size() && mate[k] != -1) ++k;
    if (k == atoms.size()) {
      if (now > best) {
        best = now;
        best_mate = mate;
      }
      return;
    }
    long bound = now;
    for (std::size_t q = k; q < atoms.size(); ++q)
      if (mate[q] == -1) bound += (need[q] ? 1000 : 0) + std::max(gain[q], 0);
    if (bound <= best) return;
    for (int p : partner[k]) {
      if (mate[p] != -1) continue;
      mate[k] = p;
      mate[p] = static_cast<int>(k);
      search(k + 1, now + score(static_cast<int>(k)) + score(p));
      mate[k] = mate[p] = -1;
    }
    mate[k] = -2;  // left without a double bond
    search(k + 1, now);
    mate[k] = -1;
  }
};

bool terminal(int ia) { return r_scratch.l1a_ndist(ia) == 1; }

bool is_terminal_oxygen_or_sulfur(int ia) {
  const builder::Name& s = r_scratch.l1a_symb(ia);
  return terminal(ia) && (is_elem(s, "O ") || is_elem(s, "S "));
}

// A ring nitrogen next to a carbon with a terminal oxygen or sulfur: it
// keeps its hydrogen where the rings leave the choice (the lactam form of
// guanine's N1, as of uracil's N3).
bool beside_carbonyl(int ia) {
  const r_scratch_t& r = r_scratch;
  for (int j = 1; j <= r.l1a_ndist(ia); ++j) {
    const int c = nb(j, ia);
    if (!is_elem(r.l1a_symb(c), "C ")) continue;
    for (int k = 1; k <= r.l1a_ndist(c); ++k)
      if (is_terminal_oxygen_or_sulfur(nb(k, c))) return true;
  }
  return false;
}

// A flat carbon of three neighbours outside the conjugated rings.  With one
// terminal oxygen (or sulfur) it is a carbonyl: that bond is double and the
// others single, so an amide, ester or acid keeps its hydrogens whatever
// lengths the noise gives.  Without one, and with two or more trigonal
// nitrogens, it is a guanidine or amidine: its bonds to them are
// delocalised alike.  Two terminal oxygens are a carboxylate, settled with
// the other oxygen groups.
void settle_trigonal_carbon(int ia) {
  r_scratch_t& r = r_scratch;
  if (!is_elem(r.l1a_symb(ia), "C ") || !builder::flat_of_three_in_model(ia)) return;
  int bonds[3] = {}, ends = 0, end = 0, nitrogens = 0;
  bool carbon_double = false;
  for (int j = 1; j <= 3; ++j) {
    const int c = nb(j, ia);
    bonds[j - 1] = builder::bond_row(0, ia, c);
    if (bonds[j - 1] < 1 || metal_bond(bonds[j - 1])) return;
    const builder::Word& t = r.l1b_type(bonds[j - 1]);
    if (begins(t.view(), "trip")) return;
    if (is_terminal_oxygen_or_sulfur(c)) {
      ++ends;
      end = j;
    } else if (is_elem(r.l1a_symb(c), "N ") && !tetrahedral(c)) {
      ++nitrogens;
    } else if (is_elem(r.l1a_symb(c), "C ") && begins(t.view(), "doub")) {
      carbon_double = true;
    }
  }
  if (ends == 1) {
    for (int j = 1; j <= 3; ++j) r.l1b_type(bonds[j - 1]) = j == end ? "double" : "single";
  } else if (ends == 0 && nitrogens >= 2 && !carbon_double) {
    // The nitrogens' other bonds are single: their lone pairs lie in the group.
    for (int j = 1; j <= 3; ++j) {
      const int c = nb(j, ia);
      if (!is_elem(r.l1a_symb(c), "N ") || tetrahedral(c)) {
        r.l1b_type(bonds[j - 1]) = "single";
        continue;
      }
      r.l1b_type(bonds[j - 1]) = "deloc";
      for (int k = 1; k <= r.l1a_ndist(c); ++k) {
        const int lb = builder::bond_row(0, c, nb(k, c));
        if (nb(k, c) != ia && lb > 0 && !metal_bond(lb)) r.l1b_type(lb) = "single";
      }
    }
  }
}

// A heavy atom with no other neighbour than its partner cannot share an
// aromatic or delocalised bond: a methyl carbon beside a carbonyl is single.
void settle_terminal_carbon(int lb) {
  r_scratch_t& r = r_scratch;
  const int a = std::abs(r.l1b_i1atm(lb)), b = std::abs(r.l1b_i2atm(lb));
  auto lone_carbon = [&](int ia) { return terminal(ia) && r.l1a_symb(ia) == "C"; };
  if (builder::is_arom(r.l1b_type(lb)) && (lone_carbon(a) || lone_carbon(b)))
    r.l1b_type(lb) = "single";
}

void single_bonds_at_tetrahedral_atoms() {
  r_scratch_t& r = r_scratch;
  for (int lb = 1; lb <= r.l1b_nbond; ++lb) {
    const int a = std::abs(r.l1b_i1atm(lb)), b = std::abs(r.l1b_i2atm(lb));
    if (a < 1 || b < 1 || metal_bond(lb) || metal_atom(a) || metal_atom(b)) continue;
    if (tetrahedral(a) || tetrahedral(b)) r.l1b_type(lb) = "single";
    settle_terminal_carbon(lb);
  }
}

// A double or aromatic bond holds its neighbours in one plane, so a ring
// bond about which the model twists the ring (the torsion of the four ring
// atoms through it) beyond the largest twist of a flat ring is single,
// whatever its length: a C-N of a puckered proline ring shortened by noise
// to a C=N length stays single.
void single_bonds_in_puckered_rings() {
  r_scratch_t& r = r_scratch;
  for (int ring = 1; ring <= largest_ring_id(); ++ring) {
    const std::vector<int> cycle = ring_cycle(ring);
    const int size = static_cast<int>(cycle.size());
    for (int k = 0; k < size; ++k) {
      const int w = cycle[k], a = cycle[(k + 1) % size], b = cycle[(k + 2) % size],
                z = cycle[(k + 3) % size];
      if (!shape_known(a, {w, b}) || !shape_known(b, {a, z})) continue;
      const int lb = builder::bond_row(0, a, b);
      if (lb < 1 || metal_bond(lb) || begins(r.l1b_type(lb).view(), "sing")) continue;
      if (std::fabs(torsion(w, a, b, z)) > kMostTwist) r.l1b_type(lb) = "single";
    }
  }
}

// The conjugated rings and the atoms they hold.
struct RingSystem {
  std::vector<int> in_system;
  std::vector<std::vector<int>> rings;
  bool ring_bond(int a, int b) const {
    for (const std::vector<int>& c : rings)
      if (std::find(c.begin(), c.end(), a) != c.end() &&
          std::find(c.begin(), c.end(), b) != c.end())
        return true;
    return false;
  }
};

RingSystem conjugated_rings() {
  RingSystem sys;
  sys.in_system.assign(r_scratch.l1a_natom + 1, 0);
  for (int ring = 1; ring <= largest_ring_id(); ++ring) {
    const std::vector<int> cycle = ring_cycle(ring);
    if (!conjugated_ring(cycle)) continue;
    sys.rings.push_back(cycle);
    for (int ia : cycle) sys.in_system[ia] = 1;
  }
  return sys;
}

// The bonds whose order the choice settles: those of the rings and those
// from a ring carbon to a terminal atom.  Of the other bonds out of the
// rings, a double bond to a carbon outside serves the ring atom (a
// conjugated chain) and every other one becomes single.
std::vector<std::pair<int, int>> bonds_to_choose(const RingSystem& sys, std::vector<int>& served) {
  r_scratch_t& r = r_scratch;
  std::vector<std::pair<int, int>> candidates;
  for (int ia = 1; ia <= r.l1a_natom; ++ia) {
    if (!sys.in_system[ia]) continue;
    for (int j = 1; j <= r.l1a_ndist(ia); ++j) {
      const int c = nb(j, ia);
      const int lb = builder::bond_row(0, ia, c);
      if (lb < 1 || metal_bond(lb) || metal_atom(c)) continue;
      if (sys.in_system[c] && sys.ring_bond(ia, c)) {
        if (ia < c) candidates.emplace_back(ia, c);
        continue;
      }
      if (sys.in_system[c]) {
        r.l1b_type(lb) = "single";
        continue;
      }
      const builder::Name& s = r.l1a_symb(c);
      const bool end = terminal(c) && (is_elem(s, "O ") || is_elem(s, "S ") || is_elem(s, "N "));
      if (end && is_elem(r.l1a_symb(ia), "C ")) candidates.emplace_back(ia, c);
      else if (begins(r.l1b_type(lb).view(), "doub") && is_elem(s, "C ")) served[ia] = 1;
      else if (!begins(r.l1b_type(lb).view(), "trip")) r.l1b_type(lb) = "single";
    }
  }
  return candidates;
}

// What atom ia gains by a double bond (see Choice).
int gain_of(const RingSystem& sys, int ia) {
  const builder::Name& s = r_scratch.l1a_symb(ia);
  if (!sys.in_system[ia]) return is_elem(s, "N ") ? -2 : 2;
  if (!is_elem(s, "N ")) return 0;
  if (partners(ia).size() == 3) return -3;
  if (beside_carbonyl(ia)) return -1;
  // A nitrogen bound to a metal gives it the lone pair a hydrogen would take.
  if (partners(ia).size() < static_cast<std::size_t>(r_scratch.l1a_ndist(ia))) return 1;
  return 0;
}

Choice choice_over(const RingSystem& sys, const std::vector<std::pair<int, int>>& candidates,
                   const std::vector<int>& served) {
  const r_scratch_t& r = r_scratch;
  Choice ch;
  ch.slot.assign(r.l1a_natom + 1, -1);
  auto add_atom = [&](int ia) {
    const builder::Name& s = r.l1a_symb(ia);
    const bool can = !sys.in_system[ia] || ((is_elem(s, "C ") || is_elem(s, "N ")) && !served[ia]);
    if (ch.slot[ia] != -1 || !can) return;
    ch.slot[ia] = static_cast<int>(ch.atoms.size());
    ch.atoms.push_back(ia);
    ch.need.push_back(sys.in_system[ia] && is_elem(s, "C ") ? 1 : 0);
    ch.gain.push_back(gain_of(sys, ia));
    ch.partner.emplace_back();
  };
  // Atoms and partners are met in the order of their names, not of the
  // model's atoms: the same residue written in another order keeps its
  // choice (which nitrogen of a histidine keeps its hydrogen).
  const auto by_name = [&](int a, int b) {
    return r.l1a_aname(a).view() != r.l1a_aname(b).view()
               ? r.l1a_aname(a).view() < r.l1a_aname(b).view()
               : a < b;
  };
  std::vector<int> order;
  for (int ia = 1; ia <= r.l1a_natom; ++ia)
    if (sys.in_system[ia]) order.push_back(ia);
  std::sort(order.begin(), order.end(), by_name);
  for (const int ia : order) add_atom(ia);
  order.clear();
  for (const auto& [a, b] : candidates) order.push_back(b);
  std::sort(order.begin(), order.end(), by_name);
  for (const int ia : order) add_atom(ia);
  for (const auto& [a, b] : candidates) {
    if (ch.slot[a] == -1 || ch.slot[b] == -1) continue;
    ch.partner[ch.slot[a]].push_back(ch.slot[b]);
    ch.partner[ch.slot[b]].push_back(ch.slot[a]);
  }
  for (std::vector<int>& p : ch.partner)
    std::sort(p.begin(), p.end(), [&](int x, int y) { return by_name(ch.atoms[x], ch.atoms[y]); });
  ch.mate.assign(ch.atoms.size(), -1);
  ch.best_mate = ch.mate;
  return ch;
}

// Writes ch.best_mate part by part: atoms that no chain of candidate bonds
// joins (two ring systems of one ligand) choose apart, and the best choice
// of the whole is the best of each part, the first one met of each as the
// search over the whole would meet it.  One search over the whole would try
// each part's choices again for every choice of the parts before it, so a
// ligand of several ring systems cost far more than its parts.
void search_by_parts(Choice& ch) {
  const std::size_t n = ch.atoms.size();
  std::vector<int> part(n, -1);
  int parts = 0;
  for (std::size_t s = 0; s < n; ++s) {
    if (part[s] != -1) continue;
    std::vector<int> stack{static_cast<int>(s)};
    part[s] = parts;
    while (!stack.empty()) {
      const int k = stack.back();
      stack.pop_back();
      for (int p : ch.partner[static_cast<std::size_t>(k)])
        if (part[static_cast<std::size_t>(p)] == -1) {
          part[static_cast<std::size_t>(p)] = parts;
          stack.push_back(p);
        }
    }
    ++parts;
  }
  ch.best_mate.assign(n, -2);
  std::vector<int> local(n, -1);
  for (int c = 0; c < parts; ++c) {
    Choice sub;
    std::vector<int> whole;  // per atom of the part: its index in ch
    for (std::size_t k = 0; k < n; ++k) {
      if (part[k] != c) continue;
      local[k] = static_cast<int>(whole.size());
      whole.push_back(static_cast<int>(k));
      sub.atoms.push_back(ch.atoms[k]);
      sub.need.push_back(ch.need[k]);
      sub.gain.push_back(ch.gain[k]);
    }
    for (int k : whole) {
      std::vector<int>& mates = sub.partner.emplace_back();
      for (int p : ch.partner[static_cast<std::size_t>(k)])
        mates.push_back(local[static_cast<std::size_t>(p)]);
    }
    sub.mate.assign(whole.size(), -1);
    sub.best_mate = sub.mate;
    sub.search(0, 0);
    for (std::size_t i = 0; i < whole.size(); ++i) {
      const int m = sub.best_mate[i];
      ch.best_mate[static_cast<std::size_t>(whole[i])] =
          m >= 0 ? whole[static_cast<std::size_t>(m)] : m;
    }
  }
}

}  // namespace

namespace builder {

// A regular tetrahedral centre has a chiral volume of sqrt(16/27) times the
// product of its three bond lengths; a trigonal atom bent by the noise of a
// model (a few degrees in an NMR model or at low resolution) stays below
// half of that, a real pyramid (an amine, a phosphine) comes near the whole.
bool flat_in_model(int ia, int a, int b, int c) {
  const r_scratch_t& r = r_scratch;
  for (int k : {ia, a, b, c})
    if (r.l1a_coor_flag(k) != "Y") return false;
  const float x0[3] = {r.l1a_x(ia), r.l1a_y(ia), r.l1a_z(ia)};
  float v[3][3];
  const int corner[3] = {a, b, c};
  for (int m = 0; m < 3; ++m) {
    const float xm[3] = {r.l1a_x(corner[m]), r.l1a_y(corner[m]), r.l1a_z(corner[m])};
    nb_vsub_(xm, x0, v[m]);
  }
  float n[3];
  nb_vmult_(v[1], v[2], n);
  constexpr float kHalfTetrahedron = 0.5f * 0.7698f;
  const float lengths = foundation::norm3(v[0]) * foundation::norm3(v[1]) * foundation::norm3(v[2]);
  return std::fabs(foundation::dot3(v[0], n)) < kHalfTetrahedron * lengths;
}

bool tetrahedral_in_model(int ia) { return tetrahedral(ia); }

bool flat_of_three_in_model(int ia) {
  const r_scratch_t& r = r_scratch;
  return r.l1a_ndist(ia) == 3 && flat_in_model(ia, nb(1, ia), nb(2, ia), nb(3, ia));
}

void settle_ring_systems() {
  single_bonds_at_tetrahedral_atoms();
  single_bonds_in_puckered_rings();
  const RingSystem sys = conjugated_rings();
  for (int ia = 1; ia <= r_scratch.l1a_natom; ++ia)
    if (!sys.in_system[ia]) settle_trigonal_carbon(ia);
  if (sys.rings.empty()) return;
  std::vector<int> served(r_scratch.l1a_natom + 1, 0);
  const std::vector<std::pair<int, int>> candidates = bonds_to_choose(sys, served);
  Choice ch = choice_over(sys, candidates, served);
  search_by_parts(ch);
  for (const auto& [a, b] : candidates) {
    const int lb = builder::bond_row(0, a, b);
    if (lb < 1) continue;
    const bool dbl = ch.slot[a] != -1 && ch.slot[b] != -1 && ch.best_mate[ch.slot[a]] == ch.slot[b];
    r_scratch.l1b_type(lb) = dbl ? "double" : "single";
  }
}

void type_aromatic_rings() {
  r_scratch_t& r = r_scratch;
  // Every ring is judged on the single and double bonds before any is
  // written, so that a ring fused to one already typed is judged alike.
  std::vector<std::vector<int>> aromatic;
  for (int ring = 1; ring <= largest_ring_id(); ++ring) {
    const std::vector<int> cycle = ring_cycle(ring);
    if (cycle.empty()) continue;
    int electrons = 0;
    bool taking_part = true;
    for (int ia : cycle) {
      const builder::Name& s = r.l1a_symb(ia);
      int doubles = 0, mate = 0;
      for (int j = 1; j <= r.l1a_ndist(ia); ++j) {
        const int lb = builder::bond_row(0, ia, nb(j, ia));
        if (lb < 1 || metal_atom(nb(j, ia))) continue;
        const builder::Word& t = r.l1b_type(lb);
        if (begins(t.view(), "doub")) {
          ++doubles;
          mate = nb(j, ia);
        } else if (!begins(t.view(), "sing")) {
          taking_part = false;
        }
      }
      if (doubles == 1 && r.l1a_nring(mate) > 0 && !terminal(mate)) electrons += 1;
      else if (doubles == 0 && partners(ia).size() <= 3 &&
               (is_elem(s, "N ") || is_elem(s, "O ") || is_elem(s, "S ")))
        electrons += 2;
      else taking_part = false;
    }
    if (taking_part && electrons % 4 == 2) aromatic.push_back(cycle);
  }
  for (const std::vector<int>& cycle : aromatic)
    for (std::size_t k = 0; k < cycle.size(); ++k) {
      const int lb = builder::bond_row(0, cycle[k], cycle[(k + 1) % cycle.size()]);
      if (lb > 0) r.l1b_type(lb) = "aromatic";
    }
}

}  // namespace builder
