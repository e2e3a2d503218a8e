// Torsion values and periods.  The energy library is matched on the two
// central types only; a constant library torsion between ring atoms takes 0
// or 180 by the ring codes, and a torsion lying in a plane of the
// description becomes constant.
#include "builder/torsion_values.h"

#include <cmath>
#include <string>

#include "builder/geom_common.h"
#include "dictionary/descr_lookups.h"
#include "dictionary/l1_kernels.h"
#include "foundation/messages.h"

using builder::geom::atom_type;
using builder::geom::has_coords;
using builder::geom::lib_type;
using builder::geom::Name;

namespace {

using Ring = rt::FixedText<3>;

// 0 or 180 for a constant torsion about a bond between two ring atoms.
float ring_rule(const Ring c[4]) {
  const bool f2 = c[1](2) == 'R', f3 = c[2](2) == 'R';
  if (f2 && f3) return (c[1](3) == '5' && c[0](2) == c[3](2)) ? 0.0f : 180.0f;
  if (f2) return c[3](1) == 'R' ? 180.0f : 0.0f;
  if (f3) return c[0](1) == 'R' ? 180.0f : 0.0f;
  return c[0](1) == c[3](1) ? 0.0f : 180.0f;
}

}  // namespace

void set_vtors_(int32_t mdoc, int32_t i1, int32_t i2, int32_t i3, int32_t i4, int32_t& nv,
                int32_t& nc, int32_t& ierr) {
  r_scratch_t& s = r_scratch;
  ierr = 0;
  const int32_t ia[4] = {i1, i2, i3, i4};
  for (int a = 0; a < 4; ++a) {
    if (ia[a] <= 0) return;
    for (int b = a + 1; b < 4; ++b)
      if (ia[a] == ia[b]) return;
  }
  bool observed = has_coords(i1) && has_coords(i2) && has_coords(i3) && has_coords(i4);
  float obs = 180.0f;
  if (observed) calc_trsobs_(i1, i2, i3, i4, obs);
  if (s.l1t_ntors >= MAX1TOR) {
    foundation::table_full(mdoc, " ERROR: number of tors. angles of monomer >", MAX1TOR, "",
                           {"MAX1TOR", "lib_com", 9});
    ierr = 1;
    return;
  }
  const int n = ++s.l1t_ntors;
  Name* names[4] = {&s.l1t_1atm(n), &s.l1t_2atm(n), &s.l1t_3atm(n), &s.l1t_4atm(n)};
  int32_t* idx[4] = {&s.l1t_i1atm(n), &s.l1t_i2atm(n), &s.l1t_i3atm(n), &s.l1t_i4atm(n)};
  for (int a = 0; a < 4; ++a) {
    *names[a] = s.l1a_aname(ia[a]);
    *idx[a] = ia[a];
  }
  s.l1t_val(n) = s.l1t_vobs(n) = obs;
  s.l1t_flag(n) = observed ? "C" : "N";
  s.l1t_prd(n) = 1;
  s.l1t_dev(n) = 20.0f;
  s.l1t_eval(n) = 0.0f;

  Ring code[4];
  Name type[4];
  for (int a = 0; a < 4; ++a) {
    check_ring_(s.l1a_chem(ia[a]).view(), code[a]);
    type[a] = atom_type(ia[a]);
  }
  for (int k = 1; k <= s.let_ntors; ++k) {
    const Name e2 = lib_type(s.let_2atm(k)), e3 = lib_type(s.let_3atm(k));
    if (!((e2 == type[1] && e3 == type[2]) || (e2 == type[2] && e3 == type[1]))) continue;
    if (s.let_const(k) <= 2.0f) {
      s.l1t_eval(n) = s.let_angle(k);
      s.l1t_prd(n) = s.let_prd(k);
    } else {
      float v = s.let_angle(k);
      if (code[1](1) == 'R' && code[2](1) == 'R') v = ring_rule(code);
      s.l1t_val(n) = s.l1t_eval(n) = v;
      const float d = std::fabs(v - obs);
      if (observed && d > 90.0f && d < 270.0f) {
        float w = v + 180.0f;
        if (w >= 360.0f) w -= 360.0f;
        s.l1t_val(n) = w;
      }
      s.l1t_prd(n) = 0;
    }
    if (s.l1t_eval(n) <= -180.0f) s.l1t_eval(n) += 360.0f;
    break;
  }

  int32_t id = 0;
  float phi = 0;
  if (s.l1t_prd(n) != 0) {
    for (int p = 1; p <= s.l1p_nplan; ++p) {
      int32_t hit[4];
      int nhit = 0;
      for (int a = 0; a < 4; ++a)
        for (int q = 1; q <= s.l1p_natom(p); ++q)
          if (s.l1p_atom(q, p) == *names[a]) {
            hit[nhit++] = ia[a];
            break;
          }
      if (nhit == 4) {
        s.l1t_prd(n) = 0;
        break;
      }
      if (nhit == 3) {
        int32_t st = 0;
        check_ring_id_(mdoc, hit[0], hit[1], hit[2], hit[0], id, phi, st);
        if (id > 1) {
          s.l1t_prd(n) = 0;
          break;
        }
      }
    }
  }
  if (s.l1t_prd(n) > 0) {
    ++nv;
    s.l1t_label(n) = "var_" + std::to_string(nv);
  } else {
    ++nc;
    // The id field holds eight characters: of a longer counter only the
    // last two digits remain.
    std::string digits = std::to_string(nc);
    if (digits.size() > 2) digits = digits.substr(digits.size() - 2);
    s.l1t_label(n) = "CONST_" + digits;
    s.l1t_dev(n) = 0.0f;
  }
  if (s.l1t_label(n)(1) == 'C') {
    if (id != 0) {
      s.l1t_val(n) = phi;
      if (!observed) s.l1t_vobs(n) = phi;
    }
  } else if (!observed) {
    if (id > 0) {
      s.l1t_val(n) = s.l1t_vobs(n) = phi;
    } else if (s.l1t_val(n) < 5.0f) {
      s.l1t_val(n) = 5.0f;
    } else if (s.l1t_val(n) > 175.0f) {
      s.l1t_val(n) = 175.0f;
    }
  }
}
