// Observed and derived values of the current residue, on the places of its
// tree order.  The formulas are those of the explicit-coordinate variants;
// these add the mapping through s1_inew and the occupancy test.
#include "restraints/res_calc.h"

#include <algorithm>
#include <cmath>

#include "dictionary/lib_com.h"
#include "foundation/kernels.h"
#include "restraints/link_calc.h"

namespace {

using Name = rt::FixedText<4>;

constexpr float kMinOcc = 0.001f;

// The C1 atom at tree place i, 0 when the place holds none.
int32_t atom_at(int32_t i) {
  if (i < 1 || i > MX1ATOM) return 0;
  const int32_t k = r_scratch.s1_inew(i);
  return (k >= 1 && k <= MX1ATOM) ? k : 0;
}

bool finite_position(int32_t k) {
  const r_scratch_t& r = r_scratch;
  return std::isfinite(r.c1_xyz(1, k)) && std::isfinite(r.c1_xyz(2, k)) &&
         std::isfinite(r.c1_xyz(3, k));
}

// The coordinates of the atoms at the places, when every one of them is
// there with enough occupancy and a position that is a number.
template <int N>
bool usable(const int32_t (&place)[N], const float* (&x)[N]) {
  for (int j = 0; j < N; ++j) {
    const int32_t k = atom_at(place[j]);
    if (k == 0 || !(r_scratch.c1_occ(k) >= kMinOcc) || !finite_position(k)) return false;
    x[j] = &r_scratch.c1_xyz(1, k);
  }
  return true;
}

bool l1_bond(std::string_view x, std::string_view y, float& v) {
  const r_scratch_t& r = r_scratch;
  for (int32_t i = 1; i <= r.l1b_nbond; ++i)
    if ((r.l1b_1atm(i) == x && r.l1b_2atm(i) == y) || (r.l1b_1atm(i) == y && r.l1b_2atm(i) == x)) {
      v = r.l1b_val(i);
      return true;
    }
  return false;
}

bool l1_angle(std::string_view x, std::string_view centre, std::string_view y, float& v) {
  const r_scratch_t& r = r_scratch;
  for (int32_t i = 1; i <= r.l1g_nangl; ++i)
    if (r.l1g_2atm(i) == centre && ((r.l1g_1atm(i) == x && r.l1g_3atm(i) == y) ||
                                    (r.l1g_1atm(i) == y && r.l1g_3atm(i) == x))) {
      v = r.l1g_val(i);
      return true;
    }
  return false;
}

}  // namespace

void calc_idobs_(int32_t i1, int32_t i2, float& dobs) {
  dobs = 0;
  const float* x[2];
  if (usable({i1, i2}, x)) calc_idobs_l_(i1, i2, x[0], x[1], dobs);
}

void calc_iangobs_(int32_t i1, int32_t i2, int32_t i3, float& angobs) {
  angobs = 0;
  const float* x[3];
  if (usable({i1, i2, i3}, x)) calc_iangobs_l_(1, 1, 1, x[0], x[1], x[2], angobs);
}

void calc_itrsobs_(int32_t i1, int32_t i2, int32_t i3, int32_t i4, float& angobs) {
  angobs = 0;
  const float* x[4];
  if (usable({i1, i2, i3, i4}, x)) calc_itrsobs_l_(1, 1, 1, 1, x[0], x[1], x[2], x[3], angobs);
}

void calc_i_ovol_(int32_t i1, int32_t i2, int32_t i3, int32_t i4, float& volobs, float& ph) {
  volobs = ph = 0;
  const float* x[4];
  if (usable({i1, i2, i3, i4}, x))
    calc_i_ovol_l_(i1, i2, i3, i4, x[0], x[1], x[2], x[3], volobs, ph);
}

void calc_dist_angl_(float ang, float dev, std::string_view atm1, std::string_view atm2,
                     std::string_view atm3, float& dist, float& desd) {
  dist = desd = 0;
  float b1, b2;
  if (!l1_bond(atm1, atm2, b1) || !l1_bond(atm2, atm3, b2)) return;
  restraints::angle_distance(b1, b2, ang, dev, dist, desd);
}

void calc_dist_tors_(float ang, float dev, std::string_view atm1, std::string_view atm2,
                     std::string_view atm3, std::string_view atm4, float& dist, float& desd) {
  dist = desd = 0;
  const r_scratch_t& r = r_scratch;
  if (r.l1b_nbond < 1 || r.l1g_nangl < 1) return;
  float b1, b2, b3, a1, a2;
  if (!l1_bond(atm1, atm2, b1) || !l1_bond(atm2, atm3, b2) || !l1_bond(atm3, atm4, b3) ||
      !l1_angle(atm1, atm2, atm3, a1) || !l1_angle(atm2, atm3, atm4, a2))
    return;
  restraints::torsion_distance(b1, b2, b3, a1, a2, ang, dev, dist, desd);
}

void calc_ipldev_(int32_t n, int32_t& nn, const int32_t* iatm, float* dobs) {
  const r_scratch_t& r = r_scratch;
  // A monomer plane holds at most MAX1APL atoms; the link planes fewer.
  float xx[3 * MAX1APL];
  int kept[MAX1APL];
  nn = 0;
  for (int32_t i = 0; i < n; ++i) dobs[i] = 0;
  for (int32_t i = 0; i < n && nn < MAX1APL; ++i) {
    const int32_t k = atom_at(iatm[i]);
    if (k == 0 || !(r.c1_occ(k) > kMinOcc) || r.c1_atype(k) == "M" || !finite_position(k)) continue;
    std::copy_n(&r.c1_xyz(1, k), 3, xx + 3 * nn);
    kept[nn++] = i;
  }
  if (nn < 4) return;
  float vm[3], d;
  fit_plane_(nn, xx, vm, d);
  for (int32_t j = 0; j < nn; ++j) dobs[kept[j]] = foundation::dot3(vm, xx + 3 * j) - d;
}
