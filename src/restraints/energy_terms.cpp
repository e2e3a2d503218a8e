// Energy-library force constants by atom types.  A restraint file of a large
// model asks for them once per record, so each table is indexed by its type
// words; an index is made again whenever its table is not the one indexed.
#include "restraints/energy_terms.h"

#include <initializer_list>
#include <string>

#include "dictionary/lib_com.h"
#include "foundation/lookup_index.h"

namespace {

using Name = rt::FixedText<4>;

// What an index was made from: the row count and the first and last rows'
// words, enough to notice a table loaded or changed since.
struct Stamp {
  int32_t rows = -1;
  std::string ends;
  bool same(int32_t n, const std::string& e) const { return rows == n && ends == e; }
};

template <int W, int N>
struct TypeIndex {
  foundation::LookupIndex<W, N> index;
  Stamp stamp;
};

std::string key(std::initializer_list<std::string_view> parts) {
  std::string k;
  for (std::string_view p : parts) k.append(Name(p).view());
  return k;
}

TypeIndex<8, 2 * MAXBTYP> bonds;
TypeIndex<12, 2 * MAXATYP> angles;
TypeIndex<8, 2 * MAXTTYP> torsions;
TypeIndex<4, MAXETYP> types;

void fresh_types() {
  const r_scratch_t& r = r_scratch;
  const int32_t n = r.lea_natom;
  const std::string ends = n > 0 ? key({r.lea_aname(1), r.lea_aname(n)}) : "";
  if (types.stamp.same(n, ends)) return;
  types.index.clear();
  for (int32_t i = 1; i <= n; ++i) types.index.add(r.lea_aname(i).view(), i);
  types.stamp = {n, ends};
}

void fresh_bonds() {
  const r_scratch_t& r = r_scratch;
  const int32_t n = r.leb_nbond;
  const std::string ends =
      n > 0 ? key({r.leb_1atm(1), r.leb_2atm(1), r.leb_1atm(n), r.leb_2atm(n)}) : "";
  if (bonds.stamp.same(n, ends)) return;
  bonds.index.clear();
  for (int32_t i = 1; i <= n; ++i) {
    bonds.index.add(key({r.leb_1atm(i), r.leb_2atm(i)}), i);
    bonds.index.add(key({r.leb_2atm(i), r.leb_1atm(i)}), i);
  }
  bonds.stamp = {n, ends};
}

void fresh_angles() {
  const r_scratch_t& r = r_scratch;
  const int32_t n = r.leg_nangl;
  const std::string ends = n > 0 ? key({r.leg_1atm(1), r.leg_2atm(1), r.leg_3atm(1), r.leg_1atm(n),
                                        r.leg_2atm(n), r.leg_3atm(n)})
                                 : "";
  if (angles.stamp.same(n, ends)) return;
  angles.index.clear();
  for (int32_t i = 1; i <= n; ++i) {
    angles.index.add(key({r.leg_1atm(i), r.leg_2atm(i), r.leg_3atm(i)}), i);
    angles.index.add(key({r.leg_3atm(i), r.leg_2atm(i), r.leg_1atm(i)}), i);
  }
  angles.stamp = {n, ends};
}

void fresh_torsions() {
  const r_scratch_t& r = r_scratch;
  const int32_t n = r.let_ntors;
  const std::string ends =
      n > 0 ? key({r.let_2atm(1), r.let_3atm(1), r.let_2atm(n), r.let_3atm(n)}) : "";
  if (torsions.stamp.same(n, ends)) return;
  torsions.index.clear();
  for (int32_t i = 1; i <= n; ++i) {
    torsions.index.add(key({r.let_2atm(i), r.let_3atm(i)}), i);
    torsions.index.add(key({r.let_3atm(i), r.let_2atm(i)}), i);
  }
  torsions.stamp = {n, ends};
}

}  // namespace

namespace restraints {

float bond_const(std::string_view t1, std::string_view t2) {
  fresh_bonds();
  const int32_t i = bonds.index.first(key({t1, t2}));
  return i > 0 ? r_scratch.leb_const(i) : 0.0f;
}

float angle_const(std::string_view t1, std::string_view t2, std::string_view t3) {
  fresh_angles();
  const int32_t i = angles.index.first(key({t1, t2, t3}));
  return i > 0 ? r_scratch.leg_const(i) : 0.0f;
}

float torsion_const(std::string_view t2, std::string_view t3) {
  fresh_torsions();
  const int32_t i = torsions.index.first(key({t2, t3}));
  return i > 0 ? r_scratch.let_const(i) : 0.0f;
}

int32_t energy_type_row(std::string_view t) {
  fresh_types();
  return types.index.first(Name(t).view());
}

}  // namespace restraints
