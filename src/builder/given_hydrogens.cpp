// Bond orders where the model gives the hydrogens.  Lengths alone type the
// N-C bond of an enaminone (1.39 A) as C=N, although its nitrogen already
// carries a hydrogen, and leave the carbon beyond with one bond too few.
// With the given hydrogens counted as fixed valence only C=C and C=O add
// up.  Docking programs keep the hydrogens of N, O and S and none on carbon:
// then only the atoms that carry one have their count fixed, the others take
// what the valency stage adds, and the double bonds the lengths allow are
// chosen so that these need as few as they can.  Without any hydrogen the
// count is open everywhere, so there is nothing to hold the orders to.
#include "builder/given_hydrogens.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "builder/chem_text.h"
#include "builder/conjugation.h"
#include "builder/metals.h"
#include "builder/valency.h"
#include "dictionary/descr_lookups.h"
#include "dictionary/element_table.h"
#include "dictionary/l1_kernels.h"
#include "dictionary/lib_com.h"
#include "dictionary/ring_perception.h"
#include "foundation/messages.h"

namespace {

using builder::begins;
using builder::is_elem;
using builder::nb;

// A bound on the search of one group: a group whose choices it cannot all
// try takes the best found by then, or keeps its types.
constexpr long kMostSteps = 200000;
// A charge weighs more than any number of changed bonds.
constexpr long kChargeCost = 1000;
// Where only polar hydrogens are given, a hydrogen added to an atom that the
// lengths and the shape allow a double bond weighs more than any number of
// charges: a flat carbon between two NH2 groups is an amidinium carbon, not
// a CH.  An atom of one neighbour shows no shape (an N-methyl carbon whose
// bond came out short in a noisy model is no =CH2): it weighs nothing here.
constexpr long kAddedHydrogenCost = 1000000;

// Which hydrogens the model gives the monomer: those on carbon among them,
// only those on N, O and S (as docking programs leave them), or none.
enum class Given { None, Polar, All };

bool hydrogen(int ia) { return dictionary::is_hydrogen(r_scratch.l1a_symb(ia)); }

bool metal(int ia) { return is_it_metal_(r_scratch.l1a_symb(ia).view()); }

bool share_ring(int a, int b) {
  const r_scratch_t& r = r_scratch;
  for (int k = 1; k <= r.l1a_nring(a) && k <= MAX1BRN; ++k)
    if (dictionary::atom_in_ring(b, r.l1a_ring_id(k, a))) return true;
  return false;
}

bool terminal_oxygen(int ia) {
  return is_elem(r_scratch.l1a_symb(ia), "O ") && r_scratch.l1a_ndist(ia) == 1;
}

// One of two or more terminal oxygens on one atom (carboxylate, nitro,
// phosphate, sulfonate): the valency stage makes the group delocalised and
// shares a charge among them, so one of them may end a single bond short.
bool group_oxygen(int ia) {
  if (!terminal_oxygen(ia)) return false;
  const int x = nb(1, ia);
  for (int j = 1; j <= r_scratch.l1a_ndist(x); ++j)
    if (nb(j, x) != ia && terminal_oxygen(nb(j, x))) return true;
  return false;
}

// How a bond takes part: its order is chosen here, is fixed, or keeps the
// atoms at its ends out of the choice (delocalised, ring-aromatic, metal).
enum class Kind { Chosen, Fixed, Blocks };

struct Bond {
  int lb = 0, a = 0, b = 0;
  Kind kind = Kind::Blocks;
  int order = 0;  // fixed order; for a chosen bond the order now, 0 when aromatic
  bool may_double = false;
};

Bond classify(int lb) {
  const r_scratch_t& r = r_scratch;
  Bond bd;
  bd.lb = lb;
  bd.a = std::abs(r.l1b_i1atm(lb));
  bd.b = std::abs(r.l1b_i2atm(lb));
  if (bd.a < 1 || bd.b < 1 || bd.a > r.l1a_natom || bd.b > r.l1a_natom) return bd;
  const std::string_view t = r.l1b_type(lb).view();
  if (metal(bd.a) || metal(bd.b) || begins(t, "meta")) return bd;
  if (hydrogen(bd.a) || hydrogen(bd.b)) {
    bd.kind = Kind::Fixed;
    bd.order = 1;
  } else if (begins(t, "trip")) {
    bd.kind = Kind::Fixed;
    bd.order = 3;
  } else if (begins(t, "sing") || begins(t, "doub")) {
    bd.kind = Kind::Chosen;
    bd.order = begins(t, "doub") ? 2 : 1;
  } else if (begins(t, "arom") && !share_ring(bd.a, bd.b)) {
    bd.kind = Kind::Chosen;
  }
  return bd;
}

// What an atom of the choice may carry: its fixed bond orders (hydrogens
// included), its chosen bonds, and how many of those may be double.
struct Atom {
  bool checked = false;
  int fixed = 0, open = 0;
  int lo = 0, hi = 0;
  int ion = -1;  // the count of double bonds that makes it an ion; -1 none
  int now = 0;   // double bonds now; -1 when a chosen bond is aromatic
  int group = -1;
  // Without hydrogens of its own in a model of polar hydrogens: the valency
  // stage adds as many as the double bonds leave short of `need`.
  bool adds_hydrogens = false;
  bool shaped = false;  // two neighbours or more: the model shows its shape
  int need = 0;
  int hydrogens = 0;  // neighbours that are hydrogens
};

struct Problem {
  std::vector<Bond> bonds;  // the chosen bonds
  std::vector<Atom> atoms;  // by L1 index
};

bool linear(int ia) {
  const r_scratch_t& r = r_scratch;
  if (r.l1a_ndist(ia) != 2 || r.l1a_coor_flag(ia) != "Y") return false;
  const int a = nb(1, ia), b = nb(2, ia);
  if (r.l1a_coor_flag(a) != "Y" || r.l1a_coor_flag(b) != "Y") return false;
  constexpr float kNearlyStraight = 160.0f;
  float angle = 0.0f;
  calc_angobs_(a, ia, b, angle);
  return angle > kNearlyStraight;
}

void valence_range(int ia, Atom& at) {
  const r_scratch_t& r = r_scratch;
  const builder::Name& s = r.l1a_symb(ia);
  const int base = at.fixed + at.open;
  int vmin = 4, vmax = 4, vion = 0;
  if (is_elem(s, "N ")) {
    vmin = r.l1a_ndist(ia) >= 4 ? 4 : 3;
    vion = vmin == 3 ? 4 : 0;
  } else if (is_elem(s, "O ")) {
    vmax = 2;
    vmin = group_oxygen(ia) ? 1 : 2;
    vion = vmin == 1 ? 1 : 0;
  }
  at.need = vmin - base;
  at.lo = at.adds_hydrogens ? 0 : std::max(vmin - base, 0);
  // Two double bonds meet only at a linear atom (an allene or ketene carbon).
  at.hi = std::min({vmax - base, at.open, linear(ia) ? 2 : 1});
  at.ion = vion > 0 ? vion - base : -1;
}

Problem problem_of(int32_t mdoc, const std::vector<char>& multiple, Given given) {
  const r_scratch_t& r = r_scratch;
  Problem p;
  p.atoms.assign(r.l1a_natom + 1, Atom{});
  std::vector<Bond> all;
  for (int lb = 1; lb <= r.l1b_nbond; ++lb) {
    all.push_back(classify(lb));
    Bond& bd = all.back();
    const bool by_length = static_cast<std::size_t>(lb) < multiple.size() && multiple[lb];
    bd.may_double = bd.order == 2 ||
                    (bd.kind == Kind::Chosen && by_length && !builder::tetrahedral_in_model(bd.a) &&
                     !builder::tetrahedral_in_model(bd.b));
  }
  std::vector<char> blocked(r.l1a_natom + 1, 0);
  for (const Bond& bd : all)
    for (int end : {bd.a, bd.b})
      if (bd.kind == Kind::Blocks && end >= 1 && end <= r.l1a_natom) blocked[end] = 1;
  for (int ia = 1; ia <= r.l1a_natom; ++ia) {
    const builder::Name& s = r.l1a_symb(ia);
    bool ok = (is_elem(s, "C ") || is_elem(s, "N ") || is_elem(s, "O ")) && !blocked[ia] &&
              builder::outside_bonds(r.l1a_aname(ia)) == 0 && r.l1a_ndist(ia) > 0;
    // Every neighbour must have its bond row, or the sums say nothing.
    for (int j = 1; j <= r.l1a_ndist(ia) && ok; ++j) ok = builder::bond_row(mdoc, ia, nb(j, ia)) > 0;
    p.atoms[ia].checked = ok;
  }
  for (const Bond& bd : all) {
    if (bd.kind == Kind::Blocks) continue;
    for (int end : {bd.a, bd.b}) {
      Atom& at = p.atoms[end];
      if (bd.kind == Kind::Fixed) {
        at.fixed += bd.order;
        if (hydrogen(bd.a) || hydrogen(bd.b)) ++at.hydrogens;
        continue;
      }
      ++at.open;
      if (bd.order == 0) at.now = -1;
      else if (bd.order == 2 && at.now >= 0) ++at.now;
    }
    if (bd.kind == Kind::Chosen && (p.atoms[bd.a].checked || p.atoms[bd.b].checked))
      p.bonds.push_back(bd);
  }
  for (int ia = 1; ia <= r.l1a_natom; ++ia) {
    Atom& at = p.atoms[ia];
    if (!at.checked) continue;
    at.adds_hydrogens = given == Given::Polar && at.hydrogens == 0;
    at.shaped = r.l1a_ndist(ia) >= 2;
    valence_range(ia, at);
  }
  return p;
}

bool adds_up(const Atom& at) { return at.now >= 0 && at.lo <= at.now && at.now <= at.hi; }

// Groups of checked atoms joined by chosen bonds, numbered from 0.
int number_groups(Problem& p) {
  int groups = 0;
  for (std::size_t s = 1; s < p.atoms.size(); ++s) {
    if (!p.atoms[s].checked || p.atoms[s].group != -1) continue;
    std::vector<int> stack{static_cast<int>(s)};
    p.atoms[s].group = groups;
    while (!stack.empty()) {
      const int ia = stack.back();
      stack.pop_back();
      for (const Bond& bd : p.bonds) {
        if (bd.a != ia && bd.b != ia) continue;
        const int other = bd.a == ia ? bd.b : bd.a;
        if (p.atoms[other].checked && p.atoms[other].group == -1) {
          p.atoms[other].group = groups;
          stack.push_back(other);
        }
      }
    }
    ++groups;
  }
  return groups;
}

// Depth-first choice of the orders of one group's bonds, each end held
// within its range; the order now is tried first, so the first choice
// found is the one nearest to what the lengths gave.
struct Search {
  const Problem& p;
  std::vector<const Bond*> bonds;  // in walking order from the group's first atom
  std::vector<int> doubles, left;  // per L1 atom
  std::vector<int> order, best_order;
  long best = -1, steps = 0;

  explicit Search(const Problem& pr) : p(pr) {}

  bool within(int ia, int d, int rem) const {
    const Atom& at = p.atoms[ia];
    return !at.checked || (d <= at.hi && d + rem >= at.lo);
  }

  long ion_cost(int ia) const {
    const Atom& at = p.atoms[ia];
    return at.checked && left[ia] == 0 && doubles[ia] == at.ion ? kChargeCost : 0;
  }

  long added_hydrogen_cost(int ia) const {
    const Atom& at = p.atoms[ia];
    if (!at.checked || !at.adds_hydrogens || !at.shaped || left[ia] != 0) return 0;
    return kAddedHydrogenCost * std::max(at.need - doubles[ia], 0);
  }

  void run(std::size_t k, long cost) {
    if (++steps > kMostSteps || (best >= 0 && cost >= best)) return;
    if (k == bonds.size()) {
      best = cost;
      best_order = order;
      return;
    }
    const Bond& bd = *bonds[k];
    const int first = bd.order == 0 ? 1 : bd.order;
    for (int o : {first, 3 - first}) {
      if (o == 2 && !bd.may_double) continue;
      const int add = o == 2 ? 1 : 0;
      if (!within(bd.a, doubles[bd.a] + add, left[bd.a] - 1) ||
          !within(bd.b, doubles[bd.b] + add, left[bd.b] - 1))
        continue;
      doubles[bd.a] += add;
      doubles[bd.b] += add;
      --left[bd.a];
      --left[bd.b];
      order[k] = o;
      const long step = (bd.order != 0 && o != bd.order ? 1 : 0) + ion_cost(bd.a) + ion_cost(bd.b) +
                        added_hydrogen_cost(bd.a) + added_hydrogen_cost(bd.b);
      run(k + 1, cost + step);
      doubles[bd.a] -= add;
      doubles[bd.b] -= add;
      ++left[bd.a];
      ++left[bd.b];
    }
  }
};

// The group's bonds in the order a walk from its first atom meets them, so
// that atoms are closed early and a wrong branch is cut soon.
std::vector<const Bond*> walk(const Problem& p, int group) {
  std::vector<const Bond*> out;
  std::vector<char> taken(p.bonds.size(), 0), seen(p.atoms.size(), 0);
  std::vector<int> queue;
  for (std::size_t ia = 1; ia < p.atoms.size(); ++ia)
    if (p.atoms[ia].checked && p.atoms[ia].group == group) {
      queue.push_back(static_cast<int>(ia));
      seen[ia] = 1;
      break;
    }
  for (std::size_t q = 0; q < queue.size(); ++q) {
    const int ia = queue[q];
    for (std::size_t k = 0; k < p.bonds.size(); ++k) {
      const Bond& bd = p.bonds[k];
      if (taken[k] || (bd.a != ia && bd.b != ia)) continue;
      taken[k] = 1;
      out.push_back(&bd);
      const int other = bd.a == ia ? bd.b : bd.a;
      if (!seen[other] && p.atoms[other].checked) {
        seen[other] = 1;
        queue.push_back(other);
      }
    }
  }
  return out;
}

void write_choice(const Search& s) {
  r_scratch_t& r = r_scratch;
  for (std::size_t k = 0; k < s.bonds.size(); ++k)
    r.l1b_type(s.bonds[k]->lb) = s.best_order[k] == 2 ? "double" : "single";
  // A nitrogen of three neighbours is a cation exactly when it keeps four
  // bond orders; the bond stage charged it by the types it had.
  for (const Bond* bd : s.bonds)
    for (int ia : {bd->a, bd->b}) {
      const Atom& at = s.p.atoms[ia];
      if (!at.checked || !is_elem(r.l1a_symb(ia), "N ") || r.l1a_ndist(ia) >= 4) continue;
      const bool ion = s.doubles[ia] == at.ion;
      if (ion) r.l1a_charg(ia) = 1.0f;
      else if (r.l1a_charg(ia) == 1.0f) r.l1a_charg(ia) = 0.0f;
    }
}

void warn(int32_t mdoc, int ia) {
  const r_scratch_t& r = r_scratch;
  msgerr_(mdoc, " WARNING: " + r.l1l_mname.str() +
                    " : no choice of bond orders adds up to the valence of atom " +
                    std::string(r.l1a_aname(ia).trimmed()));
}

Given hydrogens_given() {
  const r_scratch_t& r = r_scratch;
  bool polar = false;
  for (int ia = 1; ia <= r.l1a_natom; ++ia) {
    const builder::Name& s = r.l1a_symb(ia);
    const bool carbon = is_elem(s, "C ");
    if (!carbon && !is_elem(s, "N ") && !is_elem(s, "O ") && !is_elem(s, "S ")) continue;
    for (int j = 1; j <= r.l1a_ndist(ia); ++j) {
      if (!hydrogen(nb(j, ia))) continue;
      if (carbon) return Given::All;
      polar = true;
    }
  }
  return polar ? Given::Polar : Given::None;
}

}  // namespace

namespace builder {

void orders_for_given_hydrogens(int32_t mdoc, const std::vector<char>& multiple) {
  const Given given = hydrogens_given();
  if (given == Given::None) return;
  Problem p = problem_of(mdoc, multiple, given);
  const int groups = number_groups(p);
  for (int g = 0; g < groups; ++g) {
    // With polar hydrogens alone a group may add up with a charge, or with
    // hydrogens added where the lengths gave a double bond, that a choice
    // of fewer does without; so every group is searched.
    bool sound = given == Given::All;
    for (const Atom& at : p.atoms) sound = sound && !(at.checked && at.group == g && !adds_up(at));
    if (sound) continue;
    bool open = true;
    for (const Atom& at : p.atoms) open = open && !(at.checked && at.group == g && at.lo > at.hi);
    Search s(p);
    if (open) s.bonds = walk(p, g);
    s.doubles.assign(p.atoms.size(), 0);
    s.left.assign(p.atoms.size(), 0);
    for (const Bond* bd : s.bonds) {
      ++s.left[bd->a];
      ++s.left[bd->b];
    }
    s.order.assign(s.bonds.size(), 0);
    if (open) s.run(0, 0);
    if (s.best >= 0) {
      // The search leaves the counts at zero; those of the choice made are
      // needed for the charges.
      for (std::size_t k = 0; k < s.bonds.size(); ++k)
        if (s.best_order[k] == 2) {
          ++s.doubles[s.bonds[k]->a];
          ++s.doubles[s.bonds[k]->b];
        }
      write_choice(s);
      continue;
    }
    // The atoms that no choice can serve, when there are such; else every
    // atom the types leave short or over.
    for (std::size_t ia = 1; ia < p.atoms.size(); ++ia) {
      const Atom& at = p.atoms[ia];
      if (at.checked && at.group == g && (open ? !adds_up(at) : at.lo > at.hi))
        warn(mdoc, static_cast<int>(ia));
    }
  }
}

}  // namespace builder
