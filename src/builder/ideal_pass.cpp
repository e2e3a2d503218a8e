// The ideal-value pass.  The tree is walked depth first from its root with
// an explicit stack of pending branches (ten deep, as the stored trees of
// the library never branch deeper); every bond, angle and torsion of the
// monomer is made at the atom where the walk first reaches it.
#include "builder/ideal_pass.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "builder/bond_angle_values.h"
#include "builder/geom_common.h"
#include "builder/metal_centres.h"
#include "builder/ring_torsions.h"
#include "builder/torsion_values.h"
#include "dictionary/l1_kernels.h"
#include "foundation/messages.h"

using builder::geom::fi;
using builder::geom::fw;
using builder::geom::has_coords;
using builder::geom::is_h_atom;
using builder::geom::iw;

namespace {

constexpr int kStackLimit = 10;

bool dummy(int32_t a) { return r_scratch.l1a_type(a) == "DUMMY"; }
bool usable(int32_t a) { return a > 0 && !dummy(a); }

void closing_warning(int32_t mdoc, std::string_view mon) {
  msgerr_(mdoc, " WARNING : " + std::string(mon) + " /subroutine CALC_VOBSN/");
}

// The first atom of the torsion about the tree bond i3 -> i2.
int32_t first_torsion_atom(int32_t i2, int32_t i3, int ne3) {
  const r_scratch_t& s = r_scratch;
  const int32_t b = s.l1a_iback(i2);
  if (usable(b)) return b;
  const int n = s.l1a_ndist(i2);
  if (n > 1) {
    const int32_t last = s.l1a_conn(n, i2);
    const int32_t second = s.l1a_conn(n - 1, i2);
    const int32_t pick = last != i3 ? last : second != i3 ? second : 0;
    // A hydrogen the builder added has no position in the model, so a
    // torsion over it is never restrained.  Which atom is the root follows
    // the order the atoms came in, so without a stand-in a second run on the
    // written coordinates would lose a torsion the first run kept: a forward
    // atom the model places takes its part.
    if (pick == 0 || has_coords(pick)) return pick;
    for (int k = n; k >= 1; --k) {
      const int32_t a = s.l1a_conn(k, i2);
      if (a != i3 && has_coords(a)) return a;
    }
    return pick;
  }
  // The middle atom is the root with at most one forward atom: a ring
  // closure of it stands in for the missing back atom, and only where the
  // current atom closes a ring itself.
  if (ne3 == 0) return 0;
  for (int k = 1; k <= std::min<int>(s.l1a_nextr(i2), MAX1EXT); ++k) {
    const int32_t e = s.l1a_iextr(k, i2);
    if (e > 0 && e != i3 && e != i2) return e;
  }
  return 0;
}

}  // namespace

void calc_vobsnn_(int32_t mdoc, char list, int32_t i, int32_t& nv, int32_t& nc,
                  std::string_view mon, int32_t& ierr) {
  const r_scratch_t& s = r_scratch;
  ierr = 0;
  if (list == 'T') std::printf("   CALC_VOBSNN-->%s%s\n", fi(i).c_str(), fi(s.l1b_nbond).c_str());
  const int32_t back = s.l1a_iback(i);
  const bool tree_bond = back > 0 && !dummy(i);
  const int n = std::min<int>(s.l1a_ndist(i), MAX1BRN);
  const int ne = std::min<int>(s.l1a_nextr(i), MAX1EXT);
  if (tree_bond) {
    set_vbond_(mdoc, mon, i, back, ierr);
    if (ierr != 0) return;
  }
  for (int k = 1; k <= ne; ++k) {
    const int32_t e = s.l1a_iextr(k, i);
    if (i < e) {
      set_vbond_(mdoc, mon, i, e, ierr);
      if (ierr != 0) return;
    }
  }
  auto angle = [&](int32_t a, int32_t b) {
    set_vangl_(mdoc, mon, a, i, b, ierr);
    return ierr == 0;
  };
  if (tree_bond) {
    for (int k = 1; k <= n; ++k)
      if (usable(s.l1a_conn(k, i)) && !angle(back, s.l1a_conn(k, i))) return;
    for (int k = 1; k <= ne; ++k)
      if (!angle(back, s.l1a_iextr(k, i))) return;
  }
  for (int k = 2; k <= n; ++k) {
    const int32_t b = s.l1a_conn(k, i);
    if (!usable(b)) continue;
    for (int m = 1; m < k; ++m)
      if (usable(s.l1a_conn(m, i)) && !angle(s.l1a_conn(m, i), b)) return;
  }
  for (int k = 2; k <= ne; ++k)
    for (int m = 1; m < k; ++m)
      if (!angle(s.l1a_iextr(m, i), s.l1a_iextr(k, i))) return;
  if (ne > 0 && n > 0)
    for (int k = 1; k <= ne; ++k)
      for (int m = 1; m <= n; ++m)
        if (usable(s.l1a_conn(m, i)) && !angle(s.l1a_conn(m, i), s.l1a_iextr(k, i))) return;

  if (!tree_bond) return;
  const int32_t i3 = i, i2 = back;
  const int32_t i1 = first_torsion_atom(i2, i3, ne);
  if (i1 > 0) {
    int32_t i4 = s.l1a_iforw(i);
    if (!usable(i4)) i4 = 0;
    if (i4 > 0 && is_h_atom(i4) && ne > 0) i4 = s.l1a_iextr(1, i);
    if (i4 > 0) {
      const bool distinct = i1 != i2 && i1 != i3 && i1 != i4 && i2 != i3 && i2 != i4 && i3 != i4;
      if (distinct) {
        set_vtors_(mdoc, i1, i2, i3, i4, nv, nc, ierr);
        if (ierr != 0) return;
      }
    } else {
      if (ne == 0) return;
      if (i1 != i2 && i1 != i3 && i2 != i3) {
        int32_t e = 0;
        for (int k = 1; k <= ne && e == 0; ++k)
          if (s.l1a_iextr(k, i) > 0) e = s.l1a_iextr(k, i);
        if (e > 0) {
          set_vtors_(mdoc, i1, i2, i3, e, nv, nc, ierr);
          if (ierr != 0) return;
        }
      }
    }
  }
  for (int k = 1; k <= ne; ++k) {
    const int32_t i4 = s.l1a_iextr(k, i);
    if (i4 <= 0) continue;
    int32_t i5 = s.l1a_iback(i4);
    if (i5 > 0) {
      if (!(i < i4)) continue;
    } else {
      i5 = s.l1a_iforw(i4);
    }
    if (i5 > 0) {
      set_vtors_(mdoc, i2, i, i4, i5, nv, nc, ierr);
      if (ierr != 0) return;
    }
  }
}

void calc_vobsn_(int32_t mdoc, char list, std::string_view mon, int32_t nringt, int32_t& ierr) {
  r_scratch_t& s = r_scratch;
  ierr = 0;
  int32_t nv = 0, nc = 0;
  int ic = 1, nstck = 0;
  int32_t istack[kStackLimit + 1], icstack[kStackLimit + 1];
  int32_t i = s.l1a_istart;
  // Each atom is entered once, so the walk ends within the atom count even
  // on a damaged tree.
  for (int steps = 0; i >= 1 && i <= s.l1a_natom && steps <= 2 * MAX1ATM + 2; ++steps) {
    const int n = s.l1a_ndist(i);
    if (list == 'T') {
      std::printf("---CALC_VOBSN--\n");
      std::printf("i,ic,NST,n,NE,%s%s%s%s%s %s %s\n", iw(i, 3).c_str(), iw(ic, 3).c_str(),
                  iw(nstck, 3).c_str(), iw(n, 3).c_str(), iw(s.l1a_nextr(i), 3).c_str(),
                  s.l1a_aname(i).str().c_str(), iw(s.l1a_conn(1, i), 3).c_str());
    }
    if (ic == 1) {
      calc_vobsnn_(mdoc, list, i, nv, nc, mon, ierr);
      if (ierr != 0) return;
    }
    if (n > 1) {
      const int32_t j = s.l1a_conn(std::min(ic, MAX1BRN), i);
      if (ic < n) {
        ++ic;
        ++nstck;
        if (nstck > kStackLimit) {
          msgerr_(mdoc, " ERROR: " + std::string(mon) + " : N-stack > " + iw(kStackLimit, 6));
          ierr = 1;
          closing_warning(mdoc, mon);
          return;
        }
        istack[nstck] = i;
        icstack[nstck] = ic;
      }
      i = j;
      ic = 1;
    } else if (n == 1) {
      i = s.l1a_conn(1, i);
      ic = 1;
    } else {
      if (nstck == 0) break;
      if (n < 0) {
        msgerr_(mdoc, " WARNING : " + std::string(mon) + " : bad tree structure ");
        ierr = 1;
        closing_warning(mdoc, mon);
        return;
      }
      i = istack[nstck];
      ic = icstack[nstck];
      --nstck;
    }
  }
  if (list == 'T') std::printf("---end CALC_VOBSN--\n");
  int32_t st = 0;
  set_triangle_angles_(mdoc, list, st);
  if (list == 'T') print_lib_lbc_(1, st);
  bool skip_rings = false;
  check_metal_chir_(mdoc, mon, 0, list, ierr);
  if (ierr != 0) {
    bool no_coords = false;
    float sum = 0;
    for (int a = 1; a <= s.l1a_natom; ++a) {
      if (is_h_atom(a)) continue;
      const char f = s.l1a_coor_flag(a)(1);
      if (f == 'N' || f == '.') no_coords = true;
      sum += std::fabs(s.l1a_x(a)) + std::fabs(s.l1a_y(a)) + std::fabs(s.l1a_z(a));
    }
    if (no_coords || sum < 0.001f) {
      closing_warning(mdoc, mon);
      return;
    }
    ierr = 0;
    skip_rings = true;
  }
  if (list == 'T') {
    std::printf("---before TORS_CORR --\n");
    print_lib_lbc_(1, st);
  }
  if (!skip_rings) {
    torsion_correction_(mdoc, list, nringt, ierr);
    if (ierr != 0) {
      closing_warning(mdoc, mon);
      return;
    }
  }
  if (list == 'T') std::printf("---after TORS_CORR --%s\n", fi(s.l1b_nbond).c_str());
  for (int c = 1; c <= s.l1c_nchir; ++c) {
    float vi = 0, vo = 0, p1 = 0, p2 = 0, p3 = 0;
    calc_ivol_(c, vi, p1, p2, p3);
    calc_ovol_(c, vo, st);
    s.l1c_vol(c) = vi;
    s.l1c_vobs(c) = vo;
  }
  plan_rstr_(mdoc, st);
  if (list == 'T') {
    std::printf("---end end CALC_VOBSN--%s\n", fi(s.l1b_nbond).c_str());
    print_lib_lbc_(1, st);
  }
}

void plan_rstr_(int32_t /*mdoc*/, int32_t& ierr) {
  r_scratch_t& s = r_scratch;
  ierr = 0;
  int32_t idx[MAX1APL];
  int slot[MAX1APL];
  float dev[MAX1APL];
  for (int p = 1; p <= s.l1p_nplan; ++p) {
    const int na = std::min<int>(s.l1p_natom(p), MAX1APL);
    if (na <= 3) continue;
    int m = 0;
    for (int q = 1; q <= na; ++q) {
      s.l1p_dobs(q, p) = 0.0f;
      for (int a = 1; a <= s.l1a_natom; ++a)
        if (s.l1a_aname(a) == s.l1p_atom(q, p)) {
          if (has_coords(a)) {
            idx[m] = a;
            slot[m] = q;
            ++m;
          }
          break;
        }
    }
    if (m <= 3) continue;
    calc_pldev_(m, idx, dev);
    for (int k = 0; k < m; ++k) s.l1p_dobs(slot[k], p) = dev[k];
  }
}

void set_vobs_to_vidl_(int32_t /*mdoc*/, int32_t& /*ierr*/) {
  r_scratch_t& s = r_scratch;
  for (int b = 1; b <= s.l1b_nbond; ++b) {
    if (s.l1b_vobs(b) > 0.001f) s.l1b_val(b) = s.l1b_vobs(b);
    if (s.l1b_type(b) == ".") s.l1b_type(b) = "coval";
  }
  for (int g = 1; g <= s.l1g_nangl; ++g)
    if (s.l1g_vobs(g) > 0.001f) s.l1g_val(g) = s.l1g_vobs(g);
  for (int t = 1; t <= s.l1t_ntors; ++t) s.l1t_val(t) = s.l1t_vobs(t);
}

void print_lib_lbc_(int32_t mdoc, int32_t& /*ierr*/) {
  const r_scratch_t& s = r_scratch;
  if (std::abs(mdoc) >= 99) return;
  msgdoc_(mdoc, " N BOND,ANGLE,TORS,CHIR,PLAN:" + iw(s.l1b_nbond, 4) + iw(s.l1g_nangl, 4) +
                    iw(s.l1t_ntors, 4) + iw(s.l1c_nchir, 4) + iw(s.l1p_nplan, 4));
  for (int b = 1; b <= s.l1b_nbond; ++b)
    msgdoc_(mdoc, iw(b, 4) + " bond " + s.l1b_1atm(b).str() + " - " + s.l1b_2atm(b).str() + " :" +
                      fw(s.l1b_val(b), 8, 3) + fw(s.l1b_vobs(b), 8, 3) + iw(s.l1b_i1atm(b), 3) +
                      iw(s.l1b_i2atm(b), 3) + s.l1b_type(b).str());
  for (int g = 1; g <= s.l1g_nangl; ++g)
    msgdoc_(mdoc, iw(g, 4) + " angle " + s.l1g_1atm(g).str() + " - " + s.l1g_2atm(g).str() + " - " +
                      s.l1g_3atm(g).str() + fw(s.l1g_val(g), 8, 3) + fw(s.l1g_vobs(g), 8, 3) +
                      iw(s.l1g_i1atm(g), 3) + iw(s.l1g_i2atm(g), 3) + iw(s.l1g_i3atm(g), 3));
  for (int t = 1; t <= s.l1t_ntors; ++t)
    msgdoc_(mdoc, iw(t, 4) + "tr:" + s.l1t_1atm(t).str() + " - " + s.l1t_2atm(t).str() + " - " +
                      s.l1t_3atm(t).str() + " - " + s.l1t_4atm(t).str() + " :" +
                      fw(s.l1t_val(t), 6, 1) + fw(s.l1t_vobs(t), 6, 1) + iw(s.l1t_prd(t), 2) +
                      s.l1t_label(t).str() + iw(s.l1t_i1atm(t), 3) + iw(s.l1t_i2atm(t), 3) +
                      iw(s.l1t_i3atm(t), 3) + iw(s.l1t_i4atm(t), 3));
  for (int c = 1; c <= s.l1c_nchir; ++c)
    msgdoc_(mdoc, iw(c, 4) + "ch:" + s.l1c_1atm(c).str() + " " + s.l1c_2atm(c).str() + " " +
                      s.l1c_3atm(c).str() + " " + s.l1c_4atm(c).str() + " :" +
                      fw(s.l1c_vol(c), 7, 2) + fw(s.l1c_vobs(c), 7, 2) + s.l1c_sign(c).str() +
                      iw(s.l1c_i1atm(c), 3) + iw(s.l1c_i2atm(c), 3) + iw(s.l1c_i3atm(c), 3) +
                      iw(s.l1c_i4atm(c), 3) + s.l1c_flag(c).str());
  for (int p = 1; p <= s.l1p_nplan; ++p)
    for (int q = 1; q <= std::min<int>(s.l1p_natom(p), MAX1APL); ++q)
      msgdoc_(mdoc, iw(p, 4) + " " + s.l1p_label(p).str() + " atom " + s.l1p_atom(q, p).str() +
                        iw(s.l1p_iatom(q, p), 4));
}
