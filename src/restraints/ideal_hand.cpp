// Ideal coordinates of library monomers read for the hand of rebuilt atoms.
#include "restraints/ideal_hand.h"

#include <cmath>

#include "dictionary/dict_index.h"
#include "dictionary/lib_com.h"
#include "foundation/kernels.h"
#include "suite/pi.h"

namespace restraints {

namespace {

void cross(const float* a, const float* b, float* c) {
  c[0] = a[1] * b[2] - a[2] * b[1];
  c[1] = a[2] * b[0] - a[0] * b[2];
  c[2] = a[0] * b[1] - a[1] * b[0];
}

void minus(const float* a, const float* b, float* c) {
  for (int k = 0; k < 3; ++k) c[k] = a[k] - b[k];
}

// Tolerance below which a volume or a cross product counts as none: the
// atoms of a plane, or a substituent in line with the axis.
constexpr float kFlat = 1e-3f;

}  // namespace

bool ideal_position(std::string_view mon, std::string_view atom, float* x) {
  const r_scratch_t& r = r_scratch;
  const rt::FixedText<8> code(mon);
  const rt::FixedText<4> name(atom);
  const int32_t l = dictionary::find_list_entry(code.view(), true);
  if (l < 1) return false;
  const int32_t last = dictionary::last_row_of(dictionary::RowTable::Atoms, code.view());
  for (int32_t row = std::max<int32_t>(r.lml_iatom(l), 1);
       row <= std::min<int32_t>(last, r.lma_natom); ++row) {
    if (!(r.lma_mname(row) == code) || !(r.lma_aname(row) == name)) continue;
    if (!(r.lma_coor_flag(row) == "Y")) return false;
    x[0] = r.lma_x(row);
    x[1] = r.lma_y(row);
    x[2] = r.lma_z(row);
    return true;
  }
  return false;
}

float frame_torsion(const float* ref, const float* axis, const float* v) {
  float n1[3], n2[3];
  cross(ref, axis, n1);
  cross(axis, v, n2);
  const float y = foundation::norm3(axis) * foundation::dot3(ref, n2);
  const float x = foundation::dot3(n1, n2);
  float t = std::atan2(y, x) * 180.0f / suite::kPi<float>;
  if (t <= -180.0f) t += 360.0f;
  return t;
}

bool ideal_offset(std::string_view mon, std::string_view from, std::string_view c,
                  std::string_view b, bool b_on_from, std::string_view m, float& offset) {
  float xf[3];
  if (!ideal_position(mon, from, xf)) return false;
  return ideal_offset_at(mon, xf, c, b, b_on_from, m, offset);
}

bool ideal_offset_at(std::string_view mon, const float* xf, std::string_view c, std::string_view b,
                     bool b_on_from, std::string_view m, float& offset) {
  float xc[3], xb[3], xm[3];
  if (!ideal_position(mon, c, xc) || !ideal_position(mon, b, xb) || !ideal_position(mon, m, xm))
    return false;
  float axis[3], ref[3], vb[3], vm[3], t[3];
  minus(xc, xf, axis);
  const float* origin = b_on_from ? xf : xc;
  minus(origin, xb, ref);
  minus(xb, origin, vb);
  minus(xm, xc, vm);
  cross(vb, axis, t);
  if (foundation::norm3(t) < kFlat) return false;
  cross(vm, axis, t);
  if (foundation::norm3(t) < kFlat) return false;
  offset = frame_torsion(ref, axis, vm);
  return true;
}

bool outer_bond(std::string_view mon, std::string_view c, const std::string_view* bonded, int n,
                float* xf) {
  float xc[3];
  if (!ideal_position(mon, c, xc)) return false;
  float sum[3] = {0, 0, 0};
  int used = 0;
  for (int i = 0; i < n; ++i) {
    float x[3], u[3];
    if (!ideal_position(mon, bonded[i], x)) continue;
    minus(x, xc, u);
    const float len = foundation::norm3(u);
    if (len < kFlat) continue;
    for (int k = 0; k < 3; ++k) sum[k] += u[k] / len;
    ++used;
  }
  // One bond leaves the direction of the next one open about it.
  const float len = foundation::norm3(sum);
  if (used < 2 || len < 0.1f) return false;
  for (int k = 0; k < 3; ++k) xf[k] = xc[k] - sum[k] / len;
  return true;
}

int ideal_hand(std::string_view mon, std::string_view c, std::string_view a, std::string_view b,
               std::string_view d) {
  float xc[3], xa[3], xb[3], xd[3];
  if (!ideal_position(mon, c, xc) || !ideal_position(mon, a, xa) || !ideal_position(mon, b, xb) ||
      !ideal_position(mon, d, xd))
    return 0;
  float u[3], v[3], w[3], n[3];
  minus(xa, xc, u);
  minus(xb, xc, v);
  minus(xd, xc, w);
  cross(v, w, n);
  const float vol = foundation::dot3(u, n);
  if (std::fabs(vol) < kFlat) return 0;
  return vol > 0.0f ? 1 : -1;
}

int chiral_mirror(std::string_view mon, std::string_view c) {
  const r_scratch_t& r = r_scratch;
  const rt::FixedText<8> code(mon);
  const rt::FixedText<4> centre(c);
  const int32_t l = dictionary::find_list_entry(code.view(), true);
  if (l < 1) return 1;
  const int32_t last = dictionary::last_row_of(dictionary::RowTable::Chirals, code.view());
  for (int32_t row = std::max<int32_t>(r.lml_ichir(l), 1);
       row <= std::min<int32_t>(last, r.lmc_nchir); ++row) {
    if (!(r.lmc_mname(row) == code) || !(r.lmc_1atm(row) == centre)) continue;
    const std::string_view sign = r.lmc_sign(row).view().substr(0, 3);
    const int want = sign == "pos" ? 1 : (sign == "neg" ? -1 : 0);
    const int have =
        ideal_hand(mon, c, r.lmc_2atm(row).view(), r.lmc_3atm(row).view(), r.lmc_4atm(row).view());
    return want != 0 && have != 0 && want != have ? -1 : 1;
  }
  return 1;
}

}  // namespace restraints
