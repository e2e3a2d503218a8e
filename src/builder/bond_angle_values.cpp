// Bond and angle values.  The library is matched on the energy types of the
// atoms (hydrogens as "H"); what the library lacks is taken from the
// coordinates only when the observed value is plausible for the elements.
#include "builder/bond_angle_values.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "builder/geom_common.h"
#include "dictionary/descr_lookups.h"
#include "dictionary/l1_kernels.h"
#include "dictionary/new_bonds.h"
#include "foundation/messages.h"
#include "suite/pi.h"

using builder::geom::atom_type;
using builder::geom::fw;
using builder::geom::has_coords;
using builder::geom::lib_type;
using builder::geom::Name;
using builder::geom::Word;

namespace {

// Element class of a symbol for the default bond lengths.
enum Klass { kLight, kHydrogen, kPS, kOther };

Klass klass(const Name& symb) {
  const std::string_view e = symb.view().substr(0, 2);
  if (e == "C " || e == "N " || e == "O " || e == "B " || e == "F ") return kLight;
  if (e == "H " || e == "D ") return kHydrogen;
  if (e == "P " || e == "S ") return kPS;
  return kOther;
}

struct Plausible {
  float lo, hi, def;
};

Plausible plausible(const Name& s1, const Name& s2) {
  const Klass a = klass(s1), b = klass(s2);
  if (a == kHydrogen || b == kHydrogen) {
    // A hydrogen on S, P, Se, Si... is as long as that element makes it.
    const float d = dictionary::long_hydrogen_bond((a == kHydrogen ? s2 : s1).view());
    if (d > 0.0f)
      return {d - dictionary::kLongHydrogenMargin, d + dictionary::kLongHydrogenMargin, d};
    return {0.75f, 1.2f, 0.96f};
  }
  if (a == kLight && b == kLight) return {1.1f, 1.6f, 1.45f};
  if (a == kOther && b == kOther) return {1.8f, 3.0f, 2.5f};
  return {1.5f, 2.0f, 1.8f};
}

bool bond_types_agree(const Word& lib, const Word& row) {
  if (lib == ".") return row == ".";
  return lib.view().substr(0, 4) == row.view().substr(0, 4);
}

// Ideal length of bond row l between atoms i1 and i2.
void ideal_bond_length(int32_t mdoc, std::string_view mon, int l, int i1, int i2) {
  r_scratch_t& s = r_scratch;
  const Name t1 = atom_type(i1), t2 = atom_type(i2);
  int last = 0;
  for (int k = 1; k <= s.leb_nbond; ++k) {
    const Name e1 = lib_type(s.leb_1atm(k)), e2 = lib_type(s.leb_2atm(k));
    if (!((e1 == t1 && e2 == t2) || (e1 == t2 && e2 == t1))) continue;
    last = k;
    if (bond_types_agree(s.leb_type(k), s.l1b_type(l))) break;
  }
  if (last > 0) {
    s.l1b_val(l) = s.l1b_eval(l) = s.leb_length(last);
    return;
  }
  float r1 = 0, r2 = 0;
  for (int k = 1; k <= s.leb_nbond; ++k) {
    if (s.leb_2atm(k)(1) != '.') continue;
    const Name e1 = lib_type(s.leb_1atm(k));
    if (e1 == t1) r1 = s.leb_length(k);
    if (e1 == t2) r2 = s.leb_length(k);
  }
  if (r1 > 0 && r2 > 0) {
    s.l1b_val(l) = s.l1b_eval(l) = (r1 + r2) / 2;
    return;
  }
  const Plausible p = plausible(s.l1a_symb(i1), s.l1a_symb(i2));
  const float obs = s.l1b_vobs(l);
  if (obs > p.lo && obs < p.hi) {
    s.l1b_val(l) = obs;
    msgdoc_(mdoc, " WARNING : " + std::string(mon) + " : observed bond legnth will be used ");
    msgdoc_(mdoc, std::string(12, ' ') + " chem_type: " + t1.str() + "-" + t2.str() + " " +
                      fw(obs, 8, 3) + " (" + s.l1a_aname(i1).str() + "-" + s.l1a_aname(i2).str() +
                      ")");
  } else {
    s.l1b_val(l) = p.def;
  }
}

// Ideal value of angle row l over atoms i1-i2-i3.
void ideal_angle(int32_t mdoc, std::string_view mon, int l, int i1, int i2, int i3) {
  r_scratch_t& s = r_scratch;
  const Name t1 = atom_type(i1), t2 = atom_type(i2), t3 = atom_type(i3);
  for (int k = 1; k <= s.leg_nangl; ++k) {
    const Name e1 = lib_type(s.leg_1atm(k)), e2 = lib_type(s.leg_2atm(k)),
               e3 = lib_type(s.leg_3atm(k));
    if (e2 == t2 && ((e1 == t1 && e3 == t3) || (e1 == t3 && e3 == t1))) {
      s.l1g_val(l) = s.l1g_eval(l) = s.leg_angle(k);
      return;
    }
  }
  float a = 0;
  for (int k = 1; k <= s.leg_nangl; ++k)
    if (s.leg_1atm(k)(1) == '.' && s.leg_3atm(k)(1) == '.' && lib_type(s.leg_2atm(k)) == t2)
      a = s.leg_angle(k);
  const float obs = s.l1g_vobs(l);
  if (a > 0) {
    // A linear arrangement at a centre whose generic angle is a right angle.
    if (obs > 165.0f && std::fabs(a - 90.0f) < 1.0f) a = 180.0f;
    s.l1g_val(l) = s.l1g_eval(l) = a;
    return;
  }
  if (obs > 30.0f) {
    s.l1g_val(l) = obs;
    msgdoc_(mdoc, " WARNING : " + std::string(mon) + " : observed angle value will be used ");
    msgdoc_(mdoc, std::string(16, ' ') + " chem_type : " + t1.str() + "-" + t2.str() + "-" +
                      t3.str() + " " + fw(obs, 8, 3) + " (" + s.l1a_aname(i1).str() + "-" +
                      s.l1a_aname(i2).str() + "-" + s.l1a_aname(i3).str() + ")");
  } else {
    s.l1g_val(l) = 109.47f;
  }
}

void angle_table_full(int32_t mdoc) {
  foundation::table_full(mdoc, " ERROR: number of angles of monomer >", MAX1ANG, "",
                         {"MAX1ANG", "lib_com", 9});
}

// Appends an angle row without values of its own; 0 when the table is full.
int new_angle_row(int32_t mdoc, int i1, int i2, int i3, float vobs) {
  r_scratch_t& s = r_scratch;
  if (s.l1g_nangl >= MAX1ANG) {
    angle_table_full(mdoc);
    return 0;
  }
  const int l = ++s.l1g_nangl;
  s.l1g_1atm(l) = s.l1a_aname(i1);
  s.l1g_2atm(l) = s.l1a_aname(i2);
  s.l1g_3atm(l) = s.l1a_aname(i3);
  s.l1g_i1atm(l) = i1;
  s.l1g_i2atm(l) = i2;
  s.l1g_i3atm(l) = i3;
  s.l1g_vobs(l) = vobs;
  s.l1g_eval(l) = 0;
  s.l1g_dev(l) = 3.0f;
  return l;
}

}  // namespace

void set_vbond_(int32_t mdoc, std::string_view mon, int32_t i1, int32_t i2, int32_t& ierr) {
  r_scratch_t& s = r_scratch;
  ierr = 0;
  float obs = 0;
  if (has_coords(i1) && has_coords(i2)) calc_dobs_(i1, i2, obs);
  float val = 0;
  int32_t l = 0, st = 0;
  srch_bond_(mdoc, mon, i1, i2, val, l, st);
  if (st != 0) {
    if (s.l1b_nbond >= MAX1BND) {
      foundation::table_full(mdoc, " ERROR: number of bonds of monomer >", MAX1BND, "",
                             {"MAX1BND", "lib_com", 9});
      ierr = 1;
      return;
    }
    l = ++s.l1b_nbond;
    s.l1b_type(l) = "coval";
  }
  s.l1b_1atm(l) = s.l1a_aname(i1);
  s.l1b_2atm(l) = s.l1a_aname(i2);
  s.l1b_i1atm(l) = i1;
  s.l1b_i2atm(l) = i2;
  s.l1b_vobs(l) = obs;
  s.l1b_dev(l) = 0.02f;
  s.l1b_eval(l) = 0;
  ideal_bond_length(mdoc, mon, l, i1, i2);
}

void set_vangl_(int32_t mdoc, std::string_view mon, int32_t i1, int32_t i2, int32_t i3,
                int32_t& ierr) {
  ierr = 0;
  float obs = 0;
  if (has_coords(i1) && has_coords(i2) && has_coords(i3)) calc_angobs_(i1, i2, i3, obs);
  const int l = new_angle_row(mdoc, i1, i2, i3, obs);
  if (l == 0) {
    ierr = 1;
    return;
  }
  ideal_angle(mdoc, mon, l, i1, i2, i3);
}

void set_triangle_angles_(int32_t mdoc, char list, int32_t& ierr) {
  r_scratch_t& s = r_scratch;
  ierr = 0;
  const int n = s.l1b_nbond;
  if (n <= 2) return;
  // Bond rows per atom, so that each pair of bonds sharing an atom is met
  // once instead of scanning all triples of rows.
  std::vector<std::vector<int>> at(s.l1a_natom + 1);
  for (int b = 1; b <= n; ++b)
    for (int32_t a : {s.l1b_i1atm(b), s.l1b_i2atm(b)})
      if (a >= 1 && a <= s.l1a_natom) at[a].push_back(b);
  auto other = [&](int b, int a) { return s.l1b_i1atm(b) == a ? s.l1b_i2atm(b) : s.l1b_i1atm(b); };
  struct Tri {
    int i, j, k, a1, a2, a3;
  };
  std::vector<Tri> found;
  // Two bonds of a triangle always share an atom, so the pairs of bonds at
  // each atom are all the pairs (i, j) worth testing.
  for (int v = 1; v <= s.l1a_natom; ++v) {
    const std::vector<int>& bv = at[v];
    for (std::size_t p = 0; p < bv.size(); ++p)
      for (std::size_t q = p + 1; q < bv.size(); ++q) {
        const int i = std::min(bv[p], bv[q]), j = std::max(bv[p], bv[q]);
        if (i == j) continue;
        const int a1 = other(i, v), a2 = other(j, v);
        if (a1 < 1 || a1 > s.l1a_natom || a1 == a2) continue;
        for (int k : at[a1])
          if (k > j && other(k, a1) == a2) found.push_back({i, j, k, a1, a2, v});
      }
  }
  std::sort(found.begin(), found.end(), [](const Tri& x, const Tri& y) {
    if (x.i != y.i) return x.i < y.i;
    if (x.j != y.j) return x.j < y.j;
    return x.k < y.k;
  });
  const std::string_view mon = s.l1l_mname.view();
  for (const Tri& t : found) {
    if (list == 'T') {
      msgdoc_(mdoc, " WARNING: " + std::string(mon) + " triangle:" + s.l1a_aname(t.a1).str() +
                        " - " + s.l1a_aname(t.a2).str() + " - " + s.l1a_aname(t.a3).str());
      msgdoc_(mdoc, std::string(10, ' ') + "bond:" + s.l1b_1atm(t.k).str() + " - " +
                        s.l1b_2atm(t.k).str());
    }
    int32_t st = 0;
    set_tangle_value_(mdoc, mon, t.i, t.j, t.k, t.a1, t.a2, t.a3, st);
  }
}

void set_tangle_value_(int32_t mdoc, std::string_view mon, int32_t i, int32_t j, int32_t k,
                       int32_t ia1, int32_t ia2, int32_t ia3, int32_t& ierr) {
  r_scratch_t& s = r_scratch;
  ierr = 0;
  auto side = [&](int32_t p, int32_t q) -> float {
    for (int32_t b : {i, j, k})
      if ((s.l1b_i1atm(b) == p && s.l1b_i2atm(b) == q) ||
          (s.l1b_i1atm(b) == q && s.l1b_i2atm(b) == p))
        return s.l1b_val(b);
    return -1.0f;
  };
  const float c = side(ia1, ia2), a = side(ia2, ia3), b = side(ia1, ia3);
  if (c < 0.001f || a < 0.001f || b < 0.001f) return;
  const float pi = suite::kPi<float>;
  struct Corner {
    int32_t x, v, y;
    float s1, s2, opp;
  };
  const Corner corners[3] = {
      {ia1, ia2, ia3, c, a, b}, {ia3, ia1, ia2, b, c, a}, {ia2, ia3, ia1, a, b, c}};
  for (const Corner& q : corners) {
    const float den = 2.0f * q.s1 * q.s2;
    if (den < 0.0001f) continue;
    const float cs = (q.s1 * q.s1 + q.s2 * q.s2 - q.opp * q.opp) / den;
    if (std::fabs(cs) > 1.0f) continue;
    const float ang = std::acos(cs) * 180.0f / pi;
    float val = 0;
    int32_t lg = 0, st = 0;
    srch_angl_(mdoc, mon, q.x, q.v, q.y, val, lg, st);
    if (st == 0) {
      s.l1g_val(lg) = ang;
      continue;
    }
    const int l = new_angle_row(mdoc, q.x, q.v, q.y, 0.0f);
    if (l == 0) {
      ierr = 1;
      return;
    }
    s.l1g_val(l) = ang;
  }
}
