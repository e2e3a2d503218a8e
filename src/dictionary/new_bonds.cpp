// Bonds and neighbour lists of the monomer in L1.  Distances are measured in
// single precision, as the stored coordinates are; pairs come from a
// neighbour grid in the order of a plain double loop, so the bond list is the
// one an all-pairs scan would give.
#include "dictionary/new_bonds.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "dictionary/l1_kernels.h"
#include "dictionary/l2_pieces.h"
#include "dictionary/lib_com.h"
#include "dictionary/neighbour_grid.h"
#include "dictionary/new_input_checks.h"
#include "dictionary/work_copies.h"
#include "foundation/lookup_index.h"
#include "foundation/messages.h"
#include "runtime/format.h"

namespace {

using Name = rt::FixedText<4>;

using dictionary::kBondReach;

float distance(int i, int j) {
  const r_scratch_t& r = r_scratch;
  const float dx = r.l1a_x(i) - r.l1a_x(j);
  const float dy = r.l1a_y(i) - r.l1a_y(j);
  const float dz = r.l1a_z(i) - r.l1a_z(j);
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

std::string code8() { return std::string(rt::FixedText<8>(r_scratch.l1l_mname.view()).view()); }

// One pass of the distance search; false when the bond table overflowed.
bool bonds_by_distance(int32_t mdoc) {
  r_scratch_t& r = r_scratch;
  static dictionary::NeighbourGrid<MAX1ATM> grid;
  static rt::Array1<int32_t, MAX1ATM> long_partner;
  const int n = r.l1a_natom;
  for (int i = 1; i <= n; ++i) r.l1a_ndist(i) = 0;
  auto cls = [&](int i) { return r.l1a_atype(i)(1); };
  dictionary::long_hydrogen_partners(
      grid, n, r.l1a_x.data(), r.l1a_y.data(), r.l1a_z.data(), distance, cls,
      [&](int i) { return r.l1a_symb(i).view(); }, long_partner);
  bool full = false;
  grid.for_each_candidate(
      n, r.l1a_x.data(), r.l1a_y.data(), r.l1a_z.data(), kBondReach, [&](int i, int j) {
        if (full) return;
        const float d = distance(i, j);
        const bool close = dictionary::class_bonded(d, cls(i), cls(j));
        if (!close && long_partner(i) != j && long_partner(j) != i) return;
        if (r.l1b_nbond >= MAX1BND) {
          foundation::table_full(mdoc, " ERROR: number of bonds of new monomer " + code8() + " >",
                                 MAX1BND, "",
                                 {.constant = "MAX1BND", .header = "lib_com", .indent = 10});
          full = true;
          return;
        }
        dictionary::append_observed_bond(i, j, d);
        ++r.l1a_ndist(i);
        ++r.l1a_ndist(j);
      });
  return !full;
}

bool removed(int b) { return r_scratch.l1b_type(b)(1) == '?'; }

void remove_bond(int32_t mdoc, int b) {
  r_scratch_t& r = r_scratch;
  r.l1b_type(b) = "?";
  msgdoc_(mdoc, std::string(10, ' ') + "bond:" + std::string(r.l1b_1atm(b).view()) + " - " +
                    std::string(r.l1b_2atm(b).view()) + " is removed");
}

void compact_bonds() {
  r_scratch_t& r = r_scratch;
  int k = 0;
  for (int b = 1; b <= r.l1b_nbond; ++b) {
    if (removed(b)) continue;
    ++k;
    if (k == b) continue;
    r.l1b_i1atm(k) = r.l1b_i1atm(b);
    r.l1b_i2atm(k) = r.l1b_i2atm(b);
    r.l1b_1atm(k) = r.l1b_1atm(b);
    r.l1b_2atm(k) = r.l1b_2atm(b);
    r.l1b_val(k) = r.l1b_val(b);
    r.l1b_dev(k) = r.l1b_dev(b);
    r.l1b_vobs(k) = r.l1b_vobs(b);
    r.l1b_type(k) = r.l1b_type(b);
  }
  r.l1b_nbond = k;
}

// Two atoms bonded to one third atom Z are not bonded to each other on
// distance alone when they stand at more than a right angle at Z: the pair
// of a real three-membered ring makes about 60 degrees there, while the
// phosphorus and carbon of a P-O-C ester can come within the 2.4 A reach of
// a phosphorus pair, and a carbon taking that phosphorus as a fourth
// neighbour becomes a chiral centre.  No removal is seen by the test of
// another pair, so the outcome does not depend on the bond order.
void drop_bonds_across_a_shared_atom() {
  r_scratch_t& r = r_scratch;
  const int nb = r.l1b_nbond;
  auto d2 = [&](int i, int j) {
    const float d = distance(i, j);
    return d * d;
  };
  bool any = false;
  for (int b = 1; b <= nb; ++b) {
    const int x = r.l1b_i1atm(b), y = r.l1b_i2atm(b);
    const float xy = d2(x, y);
    bool across = false;
    for (int c = 1; c <= nb && !across; ++c) {
      if (c == b) continue;
      int z = 0;
      if (r.l1b_i1atm(c) == x || r.l1b_i2atm(c) == x)
        z = r.l1b_i1atm(c) == x ? r.l1b_i2atm(c) : r.l1b_i1atm(c);
      if (z == 0 || z == y) continue;
      for (int e = 1; e <= nb && !across; ++e) {
        if (e == b || e == c) continue;
        const bool joins = (r.l1b_i1atm(e) == y && r.l1b_i2atm(e) == z) ||
                           (r.l1b_i1atm(e) == z && r.l1b_i2atm(e) == y);
        across = joins && xy > d2(x, z) + d2(y, z);
      }
    }
    if (!across) continue;
    r.l1b_type(b) = "?";
    --r.l1a_ndist(x);
    --r.l1a_ndist(y);
    any = true;
  }
  if (any) compact_bonds();
}

// The triangle sweep; with hydrogen_rule only triangles whose far atom Y of
// the second bond is a hydrogen are treated.
void triangle_sweep(int32_t mdoc, bool hydrogen_rule) {
  r_scratch_t& r = r_scratch;
  const int nb = r.l1b_nbond;
  if (nb < 3) return;
  auto atom_h = [&](int a) { return r.l1a_atype(a)(1) == 'H'; };
  for (int b1 = 1; b1 <= nb - 2; ++b1) {
    if (removed(b1)) continue;
    bool next_b1 = false;
    for (int b2 = b1 + 1; b2 <= nb - 1 && !next_b1; ++b2) {
      if (removed(b2)) continue;
      const int p1 = r.l1b_i1atm(b1), q1 = r.l1b_i2atm(b1);
      const int p2 = r.l1b_i1atm(b2), q2 = r.l1b_i2atm(b2);
      int a = 0, x = 0, y = 0;
      if (p1 == p2) {
        a = p1, x = q1, y = q2;
      } else if (p1 == q2) {
        a = p1, x = q1, y = p2;
      } else if (q1 == p2) {
        a = q1, x = p1, y = q2;
      } else if (q1 == q2) {
        a = q1, x = p1, y = p2;
      } else {
        continue;
      }
      if (a < 1 || x < 1 || y < 1) continue;
      if (hydrogen_rule && !atom_h(y)) continue;
      for (int b3 = b2 + 1; b3 <= nb; ++b3) {
        if (removed(b3)) continue;
        const int p3 = r.l1b_i1atm(b3), q3 = r.l1b_i2atm(b3);
        if (!((p3 == x && q3 == y) || (p3 == y && q3 == x))) continue;
        msgdoc_(mdoc, " WARNING: " + code8() + " triangle:" + std::string(r.l1a_aname(x).view()) +
                          " - " + std::string(r.l1a_aname(y).view()) + " - " +
                          std::string(r.l1a_aname(a).view()));
        if (hydrogen_rule && atom_h(a)) {
          remove_bond(mdoc, b2);
          next_b1 = true;
          break;
        }
        remove_bond(mdoc, b3);
      }
    }
  }
  compact_bonds();
}

void add_neighbour(int32_t mdoc, int p, int q) {
  r_scratch_t& r = r_scratch;
  if (r.l1a_ndist(p) >= MAX1BRN) {
    foundation::table_full(mdoc,
                           " WARNING: number of connections of new monomer " + code8() + " atom " +
                               std::string(r.l1a_aname(p).view()) + " >",
                           MAX1BRN, "", {.constant = "MAX1BRN", .header = "lib_com", .indent = 10});
    return;
  }
  const int k = ++r.l1a_ndist(p);
  r.l1a_conn(k, p) = q;
  if (r.l1a_atype(q)(1) == 'H') r.l1a_lencon(1, p) += 1;
}

}  // namespace

namespace dictionary {

char bond_class(std::string_view symb) {
  const rt::FixedText<2> s(symb.substr(0, std::min<std::size_t>(2, symb.size())));
  if (s == "C" || s == "N" || s == "O" || s == "B" || s == "F" || s == "LI") return 'C';
  if (s == "H" || s == "D") return 'H';
  if (s == "P" || s == "S") return 'P';
  return '$';
}

float long_hydrogen_bond(std::string_view symb) {
  // Bond lengths of the simple hydrides, rounded.
  struct Row {
    const char* symb;
    float length;
  };
  static constexpr Row rows[] = {{"S", 1.34f},  {"P", 1.42f},  {"SE", 1.47f}, {"SI", 1.48f},
                                 {"GE", 1.53f}, {"AS", 1.52f}, {"TE", 1.66f}, {"SN", 1.71f},
                                 {"SB", 1.70f}, {"CL", 1.27f}, {"BR", 1.41f}, {"I", 1.61f}};
  const rt::FixedText<2> s(symb.substr(0, std::min<std::size_t>(2, symb.size())));
  for (const Row& row : rows)
    if (s == row.symb) return row.length;
  return 0.0f;
}

float bond_limit(char c1, char c2) {
  if (c1 == 'H' || c2 == 'H') return 1.2f;
  if (c1 == 'C' && c2 == 'C') return 1.7f;
  if (c1 == '$' && c2 == '$') return kBondReach;
  return 2.4f;
}

int append_observed_bond(int i, int j, float d) {
  r_scratch_t& r = r_scratch;
  const int b = ++r.l1b_nbond;
  r.l1b_i1atm(b) = i;
  r.l1b_i2atm(b) = j;
  r.l1b_1atm(b) = r.l1a_aname(i);
  r.l1b_2atm(b) = r.l1a_aname(j);
  r.l1b_vobs(b) = d;
  r.l1b_type(b) = ".";
  return b;
}

}  // namespace dictionary

void list_bonds_from_coor_(int32_t mdoc, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  for (bool first = true;; first = false) {
    r.l1b_nbond = 0;
    if (r.l1a_natom < 2) return;
    if (!bonds_by_distance(mdoc)) {
      ierr = 1;
      return;
    }
    drop_bonds_across_a_shared_atom();
    if (!first) return;
    bool marked = false;
    for (int i = 1; i <= r.l1a_natom; ++i) {
      if (r.l1a_atype(i)(1) == 'H' && r.l1a_ndist(i) != 1) {
        r.l1a_atype(i) = "?";
        marked = true;
      }
    }
    if (!marked) return;
    ierr = 0;
    check_list_atom_(mdoc, ierr);
    if (ierr != 0) return;
  }
}

void remove_triangle_h_(int32_t mdoc, int32_t& ierr) {
  ierr = 0;
  triangle_sweep(mdoc, true);
}

void remove_triangle_(int32_t mdoc, int32_t& ierr) {
  ierr = 0;
  triangle_sweep(mdoc, false);
}

void lib_conn_(int32_t mdoc, std::string_view /*mode*/, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const int n = r.l1a_natom;
  for (int i = 1; i <= n; ++i) r.l1a_ndist(i) = 0;
  if (n < 2) return;

  // Every atom pair joined by a bond row, with the first such row: the pair
  // scan of the atoms in ascending order finds the same rows, but this costs
  // one look-up per bond end instead of a bond search per atom pair.
  static foundation::LookupIndex<4, MAX1ATM> by_name;
  static rt::Array2<int32_t, MAX1ATM, MAX1ATM> first_bond;
  static rt::Array1<int32_t, MAX1ATM*(MAX1ATM - 1) / 2> pairs;
  by_name.clear();
  for (int i = 1; i <= n; ++i)
    if (r.l1a_aname(i).len_trim() > 0) by_name.add(r.l1a_aname(i).view(), i);
  int npair = 0;
  for (int b = 1; b <= r.l1b_nbond; ++b) {
    by_name.for_each(r.l1b_1atm(b).view(), [&](int32_t a) {
      by_name.for_each(r.l1b_2atm(b).view(), [&](int32_t c) {
        if (a == c) return;
        const int i = std::min(a, c), j = std::max(a, c);
        if (first_bond(i, j) != 0) return;
        first_bond(i, j) = b;
        pairs(++npair) = i * (MAX1ATM + 1) + j;
      });
    });
  }
  std::sort(pairs.data(), pairs.data() + npair);

  for (int k = 1; k <= npair; ++k) {
    const int i = pairs(k) / (MAX1ATM + 1), j = pairs(k) % (MAX1ATM + 1);
    const int b = first_bond(i, j);
    first_bond(i, j) = 0;
    const bool forward = r.l1b_1atm(b) == r.l1a_aname(i) && r.l1b_2atm(b) == r.l1a_aname(j);
    r.l1b_i1atm(b) = forward ? i : j;
    r.l1b_i2atm(b) = forward ? j : i;
    const bool both = r.l1a_coor_flag(i)(1) == 'Y' && r.l1a_coor_flag(j)(1) == 'Y';
    r.l1b_vobs(b) = both ? distance(i, j) : 0.0f;
    add_neighbour(mdoc, i, j);
    add_neighbour(mdoc, j, i);
  }
}

void check_connectivity_(int32_t mdoc, char list, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const int n = r.l1a_natom;
  if (n < 2) return;
  int32_t icopy = 0;
  copyl2_(mdoc, icopy);
  for (int k = 1; k <= n; ++k) r.l2a_icr(k) = k;
  if (list == 'T') {
    msgdoc_(mdoc, " -- PRECHECK_L1_MON_DESCRIPTION --- ");
    msgdoc_(mdoc, rt::list_line(" --- NA:", n));
    for (int k = 1; k <= n; ++k) msgdoc_(mdoc, rt::list_line(k, r.l2a_aname(k).view()));
    msgdoc_(mdoc, rt::list_line(" --- NB:", r.l2b_nbond));
    for (int b = 1; b <= r.l2b_nbond; ++b)
      msgdoc_(mdoc, rt::list_line(b, r.l2b_i1atm(b), r.l2b_i2atm(b)));
  }
  const int32_t npiece = dictionary::merge_l2_pieces(n, n);
  if (npiece < 2) return;
  if (list == 'T') {
    msgdoc_(mdoc, rt::list_line("---- I,NPIECE:", n + 1, npiece));
    for (int k = 1; k <= n; ++k)
      msgdoc_(mdoc, rt::list_line("--", r.l2a_aname(k).view(), k, r.l2a_icr(k)));
    msgdoc_(mdoc, "-----------------");
  }
  msgerr_(mdoc, " ERROR: monomer:" + code8() + " is not completely connected.");
  ierr = 20;
}

void define_chir_flag_(int32_t /*mdoc*/, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  if (r.l1l_prsnt(1) == 'M') {
    for (int c = 1; c <= r.l1c_nchir; ++c) {
      if (dictionary::metal_shape(r.l1c_sign(c))) continue;
      const int a = r.l1c_i1atm(c);
      if (a >= 1 && a <= r.l1a_natom) r.l1a_ichir(a) = 1;
    }
  }
  if (r.l1a_natom < 4) return;
  for (int i = 1; i <= r.l1a_natom; ++i) {
    if (r.l1a_ndist(i) < 3 || r.l1a_atype(i)(1) == 'H' || r.l1a_ichir(i) > 0) continue;
    int heavy[3] = {0, 0, 0};
    int nheavy = 0, nall = 0;
    for (int k = 1; k <= r.l1a_ndist(i); ++k) {
      const int j = std::abs(r.l1a_conn(k, i));
      ++nall;
      if (r.l1a_atype(j)(1) != 'H') {
        if (nheavy < 3) heavy[nheavy] = j;
        ++nheavy;
      }
    }
    if (nall >= 4) r.l1a_ichir(i) = 2;
    if (nheavy < 3) continue;
    auto has_coords = [&](int a) { return r.l1a_coor_flag(a)(1) != 'N'; };
    if (!has_coords(i) || !has_coords(heavy[0]) || !has_coords(heavy[1]) || !has_coords(heavy[2]))
      continue;
    float v[3][3];
    for (int m = 0; m < 3; ++m) {
      v[m][0] = r.l1a_x(heavy[m]) - r.l1a_x(i);
      v[m][1] = r.l1a_y(heavy[m]) - r.l1a_y(i);
      v[m][2] = r.l1a_z(heavy[m]) - r.l1a_z(i);
    }
    const float cx = v[1][1] * v[2][2] - v[1][2] * v[2][1];
    const float cy = v[1][2] * v[2][0] - v[1][0] * v[2][2];
    const float cz = v[1][0] * v[2][1] - v[1][1] * v[2][0];
    const float vol = v[0][0] * cx + v[0][1] * cy + v[0][2] * cz;
    if (std::abs(vol) > 0.5f) r.l1a_ichir(i) = 2;
  }
}
