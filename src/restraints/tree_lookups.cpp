// Look-ups shared by the residue and link trees.
#include "restraints/tree_lookups.h"

#include <algorithm>

#include "dictionary/descr_lookups.h"
#include "dictionary/lib_com.h"
#include "foundation/kernels.h"
#include "suite/pi.h"

namespace {

constexpr float kDeg = suite::kPi<float> / 180.0f;

bool l1_atom(int32_t a) { return a >= 1 && a <= MAX1ATM; }

}  // namespace

namespace restraints {

float l1_ideal_angle(int32_t mdoc, int32_t a, int32_t b, int32_t c) {
  float val = 0.0f;
  int32_t lg = 0, ierr = 0;
  srch_angl_(mdoc, "", a, b, c, val, lg, ierr);
  return val;
}

float l2_ideal_angle(int32_t mdoc, int32_t a, int32_t b, int32_t c) {
  float val = 0.0f;
  int32_t lg = 0, ierr = 0;
  srch_angl_2_(mdoc, "", a, b, c, val, lg, ierr);
  return val;
}

float offset_from_angles(float a_bx, float a_by, float a_xy) {
  float t = 0.0f;
  get_tors_(a_bx * kDeg, a_by * kDeg, a_xy * kDeg, t);
  return t / kDeg;
}

int32_t l1_forward_from_end(int32_t a, int k) {
  const r_scratch_t& r = r_scratch;
  if (!l1_atom(a)) return 0;
  const int n = r.l1a_ndist(a) - k + 1;
  return n >= 1 && n <= MX1BRN ? r.l1a_conn(n, a) : 0;
}

int32_t l1_extra_partner(int32_t a) {
  const r_scratch_t& r = r_scratch;
  int32_t e = 0;
  for (int k = 1; k <= std::min<int32_t>(r.l1n_nconn, MAX1CONN); ++k) {
    if (r.l1n_i1atm(k) == a) e = r.l1n_i2atm(k);
    if (r.l1n_i2atm(k) == a) e = r.l1n_i1atm(k);
  }
  return e;
}

}  // namespace restraints
