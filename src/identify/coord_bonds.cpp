// Bonds from coordinates.  Two atoms are bonded when 0.001 < d <= the limit
// of their bonding classes, and a hydrogen that no atom bonds so is bonded
// to its nearest S, P, Se... within their own X-H length (the dictionary's
// rule).  The pairs come from a neighbour grid in the order of a plain
// double loop, so the bonds and the neighbour lists are the ones an
// all-pairs scan would give.
#include "identify/coord_bonds.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "dictionary/lib_com.h"
#include "dictionary/neighbour_grid.h"
#include "dictionary/new_bonds.h"
#include "foundation/messages.h"
#include "runtime/fixed_text.h"

namespace {

float distance(float x1, float y1, float z1, float x2, float y2, float z2) {
  const float dx = x1 - x2, dy = y1 - y2, dz = z1 - z2;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

constexpr float kMinOcc = 1.0E-4f;

using Pairs = std::vector<std::pair<int, int>>;

}  // namespace

void coor_conn_(int32_t mdoc, std::string_view mode, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  const int n = r.l1a_natom;
  if (n < 2) return;
  const bool conn = rt::FixedText<4>(mode) == "CONN";
  auto measured = [&](int i, int j) {
    if (r.l1a_coor_flag(i) == "Y" && r.l1a_coor_flag(j) == "Y")
      return distance(r.l1a_x(i), r.l1a_y(i), r.l1a_z(i), r.l1a_x(j), r.l1a_y(j), r.l1a_z(j));
    return 0.0f;
  };
  // The pairs to bond, in double-loop order: those close enough for their
  // classes and, in mode CONN, every pair of a tree connection.
  static Pairs pairs;
  static dictionary::NeighbourGrid<MAX1ATM> grid;
  static rt::Array1<int32_t, MAX1ATM> long_partner;
  auto cls = [&](int i) { return r.l1a_atype(i)(1); };
  dictionary::long_hydrogen_partners(
      grid, n, r.l1a_x.data(), r.l1a_y.data(), r.l1a_z.data(), measured, cls,
      [&](int i) { return r.l1a_symb(i).view(); }, long_partner);
  pairs.clear();
  grid.for_each_candidate(n, r.l1a_x.data(), r.l1a_y.data(), r.l1a_z.data(),
                          dictionary::kBondReach, [&](int i, int j) {
                            const float d = measured(i, j);
                            if (dictionary::class_bonded(d, cls(i), cls(j)) ||
                                long_partner(i) == j || long_partner(j) == i)
                              pairs.emplace_back(i, j);
                          });
  if (conn) {
    for (int k = 1; k <= r.l1n_nconn; ++k) {
      const int a = r.l1n_i1atm(k), b = r.l1n_i2atm(k);
      if (a < 1 || a > n || b < 1 || b > n || a == b) continue;
      pairs.emplace_back(std::min(a, b), std::max(a, b));
    }
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
  }
  for (const auto& [i, j] : pairs) {
    if (r.l1a_aname(i).is_blank() || r.l1a_aname(j).is_blank()) continue;
    const float d = measured(i, j);
    if (r.l1b_nbond >= MAX1BND) {
      foundation::table_full(
          mdoc, " ERROR: number of bonds of new monomer " + r.l1l_mname.str() + " >", MAX1BND, "",
          {.constant = "MAX1BND", .header = "lib_com.fh", .indent = 10});
      ierr = 1;
      return;
    }
    dictionary::append_observed_bond(i, j, d);
    if (r.l1a_ndist(i) < MAX1BRN) {
      r.l1a_conn(++r.l1a_ndist(i), i) = j;
      if (r.l1a_atype(j)(1) == 'H') ++r.l1a_lencon(1, i);
    }
    if (r.l1a_ndist(j) < MAX1BRN) {
      r.l1a_conn(++r.l1a_ndist(j), j) = i;
      if (r.l1a_atype(i)(1) == 'H') ++r.l1a_lencon(1, j);
    }
  }
}

void crd_conn_(int32_t /*mdoc*/, std::string_view /*mode*/, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const int n = r.c1_natom;
  for (int i = 1; i <= n; ++i) {
    r.s1_inew(i) = r.s1_iold(i) = i;
    r.s1_ndist(i) = r.s1_iback(i) = r.s1_iforw(i) = r.s1_ichem(i) = 0;
    for (int k = 1; k <= MX1EXT; ++k) r.s1_iextr(k, i) = 0;
    for (int k = 1; k <= MX1BRN; ++k) r.s1_conn(k, i) = r.s1_lencon(k, i) = 0;
    r.s1_back(i) = ".";
    r.s1_forw(i) = ".";
    r.s1_chem(i) = r.c1_asymb(i);
    const char cls = dictionary::bond_class(r.c1_asymb(i).view());
    r.c1_atype(i) = std::string_view(&cls, 1);
  }
  if (n < 2) return;
  // The grid wants one array an axis; C1 keeps x, y and z together.
  static std::vector<float> x, y, z;
  x.resize(n);
  y.resize(n);
  z.resize(n);
  for (int i = 1; i <= n; ++i) {
    x[i - 1] = r.c1_xyz(1, i);
    y[i - 1] = r.c1_xyz(2, i);
    z[i - 1] = r.c1_xyz(3, i);
  }
  auto measured = [&](int i, int j) {
    if (r.c1_aname(i).is_blank() || r.c1_aname(j).is_blank()) return 0.0f;
    if (!(r.c1_occ(i) > kMinOcc && r.c1_occ(j) > kMinOcc)) return 0.0f;
    return distance(r.c1_xyz(1, i), r.c1_xyz(2, i), r.c1_xyz(3, i), r.c1_xyz(1, j), r.c1_xyz(2, j),
                    r.c1_xyz(3, j));
  };
  auto cls = [&](int i) { return r.c1_atype(i)(1); };
  static Pairs pairs;
  static dictionary::NeighbourGrid<MX1ATOM> grid;
  static rt::Array1<int32_t, MX1ATOM> long_partner;
  dictionary::long_hydrogen_partners(
      grid, n, x.data(), y.data(), z.data(), measured, cls,
      [&](int i) { return r.c1_asymb(i).view(); }, long_partner);
  pairs.clear();
  grid.for_each_candidate(n, x.data(), y.data(), z.data(), dictionary::kBondReach,
                          [&](int i, int j) { pairs.emplace_back(i, j); });
  for (const auto& [i, j] : pairs) {
    if (r.c1_aname(i).is_blank() || r.c1_aname(j).is_blank()) continue;
    const float d = measured(i, j);
    const bool close = dictionary::class_bonded(d, cls(i), cls(j));
    if (!close && long_partner(i) != j && long_partner(j) != i) continue;
    if (r.s1_ndist(i) < MX1BRN) {
      r.s1_conn(++r.s1_ndist(i), i) = j;
      if (r.c1_atype(j)(1) == 'H') ++r.s1_lencon(1, i);
    }
    if (r.s1_ndist(j) < MX1BRN) {
      r.s1_conn(++r.s1_ndist(j), j) = i;
      if (r.c1_atype(i)(1) == 'H') ++r.s1_lencon(1, j);
    }
  }
}
