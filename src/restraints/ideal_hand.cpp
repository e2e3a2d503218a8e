// Ideal coordinates of library monomers read for the hand of rebuilt atoms.
#include "restraints/ideal_hand.h"

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "dictionary/dict_index.h"
#include "dictionary/lib_com.h"
#include "foundation/kernels.h"
#include "foundation/vec3.h"
#include "suite/pi.h"

namespace restraints {

// The atom rows of one monomer with ideal coordinates, and where its chiral
// rows lie (their signs are read when asked, as they stand then).
struct IdealRows {
  rt::FixedText<8> code;
  int32_t entry = 0, nmon = 0, natom = 0, nchir = 0, chir_first = 0, chir_last = 0;
  std::vector<uint32_t> names;  // the four characters of each name
  std::vector<std::array<float, 3>> xyz;
};

namespace {

// Tolerance below which a volume or a cross product counts as none: the
// atoms of a plane, or a substituent in line with the axis.
constexpr float kFlat = 1e-3f;

// An atom name as one word: names are compared once per atom and neighbour
// of every rebuilt atom.
uint32_t word(const rt::FixedText<4>& name) {
  uint32_t w = 0;
  std::memcpy(&w, name.view().data(), 4);
  return w;
}

// The rebuild reads the monomers of the two residues it works on, atom
// after atom: the last few monomers are kept.  The monomer list and the
// atom and chiral tables only grow while restraints are made (new
// monomers), so their counts tell when what was kept may be out of date.
constexpr int kKept = 4;
std::array<IdealRows, kKept> g_kept;
int g_next = 0;

bool current(const IdealRows& k, const rt::FixedText<8>& code) {
  const r_scratch_t& r = r_scratch;
  return k.entry > 0 && k.nmon == r.lml_nmon && k.natom == r.lma_natom && k.nchir == r.lmc_nchir &&
         k.code == code;
}

const IdealRows* rows_of(std::string_view mon) {
  const r_scratch_t& r = r_scratch;
  const rt::FixedText<8> code(mon);
  for (const IdealRows& k : g_kept)
    if (current(k, code)) return &k;
  const int32_t l = dictionary::find_list_entry(code.view(), true);
  if (l < 1) return nullptr;
  IdealRows& k = g_kept[g_next];
  g_next = (g_next + 1) % kKept;
  k.code = code;
  k.entry = l;
  k.nmon = r.lml_nmon;
  k.natom = r.lma_natom;
  k.nchir = r.lmc_nchir;
  k.names.clear();
  k.xyz.clear();
  const int32_t last = dictionary::last_row_of(dictionary::RowTable::Atoms, code.view());
  for (int32_t row = std::max<int32_t>(r.lml_iatom(l), 1);
       row <= std::min<int32_t>(last, r.lma_natom); ++row) {
    if (!(r.lma_mname(row) == code) || !(r.lma_coor_flag(row) == "Y")) continue;
    k.names.push_back(word(r.lma_aname(row)));
    k.xyz.push_back({r.lma_x(row), r.lma_y(row), r.lma_z(row)});
  }
  k.chir_first = std::max<int32_t>(r.lml_ichir(l), 1);
  k.chir_last = std::min<int32_t>(
      dictionary::last_row_of(dictionary::RowTable::Chirals, code.view()), r.lmc_nchir);
  return &k;
}

}  // namespace

void forget_ideal_coordinates() {
  for (IdealRows& k : g_kept) k = IdealRows{};
}

IdealCoordinates::IdealCoordinates(std::string_view mon) : rows_(rows_of(mon)) {}

bool IdealCoordinates::at(std::string_view atom, float* x) const {
  if (!rows_) return false;
  const uint32_t name = word(rt::FixedText<4>(atom));
  for (std::size_t i = 0; i < rows_->names.size(); ++i) {
    if (rows_->names[i] != name) continue;
    for (int k = 0; k < 3; ++k) x[k] = rows_->xyz[i][k];
    return true;
  }
  return false;
}

bool IdealCoordinates::volume(std::string_view c, std::string_view a, std::string_view b,
                              std::string_view d, float& vol) const {
  float xc[3], xa[3], xb[3], xd[3];
  if (!at(c, xc) || !at(a, xa) || !at(b, xb) || !at(d, xd)) return false;
  float u[3], v[3], w[3], n[3];
  nb_vsub_(xa, xc, u);
  nb_vsub_(xb, xc, v);
  nb_vsub_(xd, xc, w);
  nb_vmult_(v, w, n);
  vol = foundation::dot3(u, n);
  return true;
}

int IdealCoordinates::hand(std::string_view c, std::string_view a, std::string_view b,
                           std::string_view d) const {
  float vol = 0.0f;
  if (!volume(c, a, b, d, vol) || std::fabs(vol) < kFlat) return 0;
  return vol > 0.0f ? 1 : -1;
}

int IdealCoordinates::chiral_mirror(std::string_view c) const {
  if (!rows_) return 1;
  const r_scratch_t& r = r_scratch;
  const rt::FixedText<4> centre(c);
  for (int32_t row = rows_->chir_first; row <= std::min<int32_t>(rows_->chir_last, r.lmc_nchir);
       ++row) {
    if (!(r.lmc_mname(row) == rows_->code) || !(r.lmc_1atm(row) == centre)) continue;
    const std::string_view sign = r.lmc_sign(row).view().substr(0, 3);
    const int want = sign == "pos" ? 1 : (sign == "neg" ? -1 : 0);
    const int have =
        hand(c, r.lmc_2atm(row).view(), r.lmc_3atm(row).view(), r.lmc_4atm(row).view());
    return want != 0 && have != 0 && want != have ? -1 : 1;
  }
  return 1;
}

float frame_torsion(const float* ref, const float* axis, const float* v) {
  float n1[3], n2[3];
  nb_vmult_(ref, axis, n1);
  nb_vmult_(axis, v, n2);
  const float y = foundation::norm3(axis) * foundation::dot3(ref, n2);
  const float x = foundation::dot3(n1, n2);
  float t = std::atan2(y, x) * 180.0f / suite::kPi<float>;
  if (t <= -180.0f) t += 360.0f;
  return t;
}

bool offset_about(const float* xf, const float* xc, const float* xb, bool b_on_from,
                  const float* xm, float& offset) {
  float axis[3], ref[3], vb[3], vm[3], t[3];
  nb_vsub_(xc, xf, axis);
  const float* origin = b_on_from ? xf : xc;
  nb_vsub_(origin, xb, ref);
  nb_vsub_(xb, origin, vb);
  nb_vsub_(xm, xc, vm);
  nb_vmult_(vb, axis, t);
  if (foundation::norm3(t) < kFlat) return false;
  nb_vmult_(vm, axis, t);
  if (foundation::norm3(t) < kFlat) return false;
  offset = frame_torsion(ref, axis, vm);
  return true;
}

bool ideal_offset(std::string_view mon, std::string_view from, std::string_view c,
                  std::string_view b, bool b_on_from, std::string_view m, float& offset) {
  const IdealCoordinates ideal(mon);
  float xf[3], xc[3], xb[3], xm[3];
  if (!ideal.at(from, xf) || !ideal.at(c, xc) || !ideal.at(b, xb) || !ideal.at(m, xm)) return false;
  return offset_about(xf, xc, xb, b_on_from, xm, offset);
}

bool outer_bond(const IdealCoordinates& ideal, std::string_view c, const std::string_view* bonded,
                int n, float* xf) {
  float xc[3];
  if (!ideal.at(c, xc)) return false;
  float sum[3] = {0, 0, 0};
  int used = 0;
  for (int i = 0; i < n; ++i) {
    float x[3], u[3];
    if (!ideal.at(bonded[i], x)) continue;
    nb_vsub_(x, xc, u);
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

bool ideal_position(std::string_view mon, std::string_view atom, float* x) {
  return IdealCoordinates(mon).at(atom, x);
}

int ideal_hand(std::string_view mon, std::string_view c, std::string_view a, std::string_view b,
               std::string_view d) {
  return IdealCoordinates(mon).hand(c, a, b, d);
}

int chiral_mirror(std::string_view mon, std::string_view c) {
  return IdealCoordinates(mon).chiral_mirror(c);
}

}  // namespace restraints
