// Internal coordinates across a link.  The residue being described is in
// C1/S1/L1 (the link's second monomer), the residue before it in C2/S2/L2.
#include "restraints/link_tree.h"

#include <cmath>
#include <string>
#include <vector>

#include "dictionary/descr_lookups.h"
#include "dictionary/lib_com.h"
#include "foundation/kernels.h"
#include "foundation/messages.h"
#include "restraints/atom_lookup.h"
#include "restraints/link_atoms.h"
#include "restraints/link_calc.h"
#include "restraints/res_calc.h"
#include "restraints/tree_lookups.h"
#include "runtime/format.h"
#include "suite/pi.h"

namespace {

using restraints::l1_extra_partner;
using restraints::l1_forward_from_end;
using restraints::offset_from_angles;

// Sides as the link rows give them: 1 the residue before, 2 the current one.
constexpr int kBefore = 1;
constexpr int kCurrent = 2;

// Every position of one link atom on its side.
struct LinkAtom {
  int side = kCurrent;
  int32_t n = 0;
  rt::FixedText<2> corr[MX1ALT];
  int32_t place[MX1ALT] = {};
  int32_t iat[MX1ALT] = {};
  float x[MX1ALT][3] = {};
};

bool rows(int32_t a) { return a >= 1 && a <= MX1ATOM; }
bool l1_atom(int32_t a) { return a >= 1 && a <= MAX1ATM; }

int32_t entry_of(int side, int32_t place) {
  if (!rows(place)) return 0;
  return side == kCurrent ? r_scratch.s1_inew(place) : r_scratch.s2_inew(place);
}
int32_t lib_of(int side, int32_t place) {
  const int32_t e = entry_of(side, place);
  if (!rows(e)) return 0;
  return side == kCurrent ? r_scratch.s1_ilib(e) : r_scratch.s2_ilib(e);
}

// The positions of name on its side (every alternate, none left out), with
// their atom numbers inside the residue and their coordinates.
LinkAtom find(int32_t mdoc, int side, std::string_view name, int32_t& ierr) {
  LinkAtom f;
  f.side = side;
  restraints::AltCodes corr;
  restraints::AltPlaces place;
  restraints::AltNumbers iat;
  restraints::AltPoints x;
  int32_t n = 0;
  if (side == kCurrent)
    srch_num1_(mdoc, name, '.', n, corr, place, iat, x, 0, "", 0, ierr);
  else
    srch_num2_(mdoc, name, '.', n, corr, place, iat, x, 0, "", 0, ierr);
  f.n = std::min<int32_t>(n, MX1ALT);
  for (int k = 0; k < f.n; ++k) {
    f.corr[k] = corr(k + 1);
    f.place[k] = place(k + 1);
    f.iat[k] = iat(k + 1);
    if (f.iat[k] != 0)
      for (int j = 0; j < 3; ++j) f.x[k][j] = x(j + 1, k + 1);
  }
  return f;
}

// Side of a link row's atom flag, exchanged when the link is read backwards.
int side_of(int32_t flag, bool reversed) {
  const int s = flag == 1 ? kBefore : kCurrent;
  if (!reversed) return s;
  return s == kBefore ? kCurrent : kBefore;
}

// Every combination of positions of the k atoms whose codes may stand in one
// restraint, handed to use(indices) counted from 0.
template <int K, typename Use>
void combinations(const LinkAtom* const (&f)[K], Use use) {
  int32_t n[K];
  for (int k = 0; k < K; ++k) n[k] = f[k]->n;
  restraints::each_compatible(
      K, n, [&](int k, int32_t i) { return f[k]->corr[i - 1]; },
      [&](const int32_t* idx) {
        int at[K];
        for (int k = 0; k < K; ++k) at[k] = idx[k] - 1;
        use(static_cast<const int*>(at));
      });
}

bool codes_agree(std::initializer_list<rt::FixedText<2>> codes) {
  std::vector<rt::FixedText<2>> v(codes);
  char check = 'N';
  chk_alt_(static_cast<int32_t>(v.size()), v.data(), check);
  return check == 'Y';
}

// Torsion values of an entry of either side and its library atom.
void set_torsion(int side, int32_t e, float ideal, float measured, const char* code, bool only_unset) {
  r_scratch_t& r = r_scratch;
  if (!rows(e)) return;
  const bool cur = side == kCurrent;
  rt::FixedText<8>& id = cur ? r.s1_id_psi(e) : r.s2_id_psi(e);
  if (only_unset && !(id == "?")) return;
  (cur ? r.s1_psi(e) : r.s2_psi(e)) = measured;
  id = code;
  const int32_t il = cur ? r.s1_ilib(e) : r.s2_ilib(e);
  if (!l1_atom(il)) return;
  (cur ? r.l1a_phi(il) : r.l2a_phi(il)) = ideal;
  (cur ? r.l1a_id_psi(il) : r.l2a_id_psi(il)) = code;
}

// Ideal angle a-b-c of atoms given by library index and side: within one
// monomer from its description, across the link from the link angles.
float ideal_angle(int32_t mdoc, int32_t a, int sa, int32_t b, int sb, int32_t c, int sc) {
  if (sa == sb && sb == sc)
    return sa == kCurrent ? restraints::l1_ideal_angle(mdoc, a, b, c)
                          : restraints::l2_ideal_angle(mdoc, a, b, c);
  float val = 0.0f;
  int32_t lg = 0, ierr = 0;
  auto flag = [](int s) { return s == kCurrent ? 1 : 2; };
  srch_angl_l_(mdoc, "", a, b, c, flag(sa), flag(sb), flag(sc), val, lg, ierr);
  return val;
}

// Neighbour list of entry e of a side: the k-th from its last, 0 if none.
int32_t s_conn_from_end(int side, int32_t e, int k) {
  const r_scratch_t& r = r_scratch;
  if (!rows(e)) return 0;
  const int32_t nd = side == kCurrent ? r.s1_ndist(e) : r.s2_ndist(e);
  const int n = nd - k + 1;
  if (n < 1 || n > MX1BRN) return 0;
  return side == kCurrent ? r.s1_conn(n, e) : r.s2_conn(n, e);
}
int32_t s_first_extra(int side, int32_t e) {
  const r_scratch_t& r = r_scratch;
  if (!rows(e)) return 0;
  const int32_t n = side == kCurrent ? r.s1_nextr(e) : r.s2_nextr(e);
  if (n < 1) return 0;
  return side == kCurrent ? r.s1_iextr(1, e) : r.s2_iextr(1, e);
}
const float* xyz_of(int side, int32_t e) {
  r_scratch_t& r = r_scratch;
  return side == kCurrent ? r.c1_xyz.column(e) : r.c2_xyz.column(e);
}
bool has_coordinates(int side, int32_t e) {
  const r_scratch_t& r = r_scratch;
  if (!rows(e)) return false;
  const bool cur = side == kCurrent;
  return (cur ? r.c1_occ(e) : r.c2_occ(e)) > 0.001f && (cur ? r.c1_atype(e)(1) : r.c2_atype(e)(1)) != 'M';
}
// The derived offset of sibling s of atom 4 about the bond 2-3, signed by
// the observed offset when the four atoms have coordinates.
struct Offset {
  float ideal;
  float observed;
};
Offset sibling_offset(float ideal, const float* x3, const float* x2, const float* xs, const float* x4) {
  Offset o{ideal, ideal};
  if (x3 && x2 && xs && x4) {
    float vol = 0.0f, ph = 0.0f;
    calc_i_ovol_l_(1, 1, 1, 1, x3, x2, xs, x4, vol, ph);
    o.observed = -ph;
    if (o.observed < 0.0f) o.ideal = -std::fabs(ideal);
  }
  return o;
}

class LinkTree {
 public:
  LinkTree(int32_t mdoc, std::string_view link, int32_t l, bool reversed, bool write, int32_t& ierr)
      : mdoc_(mdoc), link_(link), l_(l), reversed_(reversed), write_(write), ierr_(ierr) {}

  void bonds();
  void angles();
  void torsions();
  void chiral_centres();

 private:
  bool same_link(const rt::FixedText<8>& name) const { return name == link_; }
  void torsion_before_third(const LinkAtom* const* f, const int* idx);
  void torsion_current_third(const LinkAtom* const* f, const int* idx, float ideal, float observed, int32_t prd);

  int32_t mdoc_;
  rt::FixedText<8> link_;
  int32_t l_;
  bool reversed_;
  bool write_;
  int32_t& ierr_;
};

void LinkTree::bonds() {
  r_scratch_t& r = r_scratch;
  const int32_t first = r.lll_ibond(l_);
  if (first < 1) return;
  for (int32_t i = first; i <= std::min<int32_t>(r.llb_nbond, MAXLBND); ++i) {
    if (!same_link(r.llb_lname(i))) continue;
    const LinkAtom f1 = find(mdoc_, side_of(r.llb_f1atm(i), reversed_), r.llb_1atm(i).view(), ierr_);
    const LinkAtom f2 = find(mdoc_, side_of(r.llb_f2atm(i), reversed_), r.llb_2atm(i).view(), ierr_);
    const LinkAtom* const f[2] = {&f1, &f2};
    combinations(f, [&](const int* idx) {
      float d = r.llb_val(i);
      if (f1.iat[idx[0]] != 0 && f2.iat[idx[1]] != 0) calc_idobs_l_(0, 0, f1.x[idx[0]], f2.x[idx[1]], d);
      if (!write_ || f1.side == f2.side) return;
      const bool one_current = f1.side == kCurrent;
      const int32_t pa = one_current ? f1.place[idx[0]] : f2.place[idx[1]];
      const int32_t pb = one_current ? f2.place[idx[1]] : f1.place[idx[0]];
      const int32_t a = entry_of(kCurrent, pa), b = entry_of(kBefore, pb);
      const int32_t il = lib_of(kCurrent, pa);
      if (!l1_atom(il) || r.l1a_iback(il) != -1 || !rows(a) || !rows(b)) return;
      r.l1a_length(il) = r.llb_val(i);
      r.s1_dist(a) = d;
      r.s1_conn_s(a) = r.c2_iglobal + pb;
      r.s2_conn_f(b) = r.c1_iglobal + pa;
    });
  }
}

void LinkTree::angles() {
  r_scratch_t& r = r_scratch;
  const int32_t first = r.lll_ithet(l_);
  if (first < 1) return;
  for (int32_t i = first; i <= std::min<int32_t>(r.llg_nangl, MAXLANG); ++i) {
    if (!same_link(r.llg_lname(i))) continue;
    const LinkAtom f1 = find(mdoc_, side_of(r.llg_f1atm(i), reversed_), r.llg_1atm(i).view(), ierr_);
    const LinkAtom f2 = find(mdoc_, side_of(r.llg_f2atm(i), reversed_), r.llg_2atm(i).view(), ierr_);
    const LinkAtom f3 = find(mdoc_, side_of(r.llg_f3atm(i), reversed_), r.llg_3atm(i).view(), ierr_);
    const LinkAtom* const f[3] = {&f1, &f2, &f3};
    combinations(f, [&](const int* idx) {
      float t = r.llg_val(i);
      if (f1.iat[idx[0]] != 0 && f2.iat[idx[1]] != 0 && f3.iat[idx[2]] != 0)
        calc_iangobs_l_(1, 1, 1, f1.x[idx[0]], f2.x[idx[1]], f3.x[idx[2]], t);
      if (!write_) return;
      int32_t place = 0;
      if (f1.side == kCurrent)
        place = f1.place[idx[0]];
      else if (f3.side == kCurrent)
        place = f3.place[idx[2]];
      const int32_t a = entry_of(kCurrent, place);
      if (!rows(a)) return;
      const int32_t il = lib_of(kCurrent, place);
      if (l1_atom(il)) r.l1a_theta(il) = r.llg_val(i);
      r.s1_tht(a) = t;
    });
  }
}

// Atom 4 in the current residue, atom 3 in the residue before: the other
// neighbours of atom 3 get their offsets from atom 4.
void LinkTree::torsion_before_third(const LinkAtom* const* f, const int* idx) {
  r_scratch_t& r = r_scratch;
  const int32_t p3 = f[2]->place[idx[2]];
  const int32_t a3 = entry_of(kBefore, p3);
  if (!rows(a3)) return;
  int32_t lc = 0;
  srch_chir_centre_l_(mdoc_, link_.view(), r.c2_aname(a3).view(), lc, ierr_);
  if (lc > 0) return;
  const int32_t il2 = lib_of(f[1]->side, f[1]->place[idx[1]]);
  const int32_t il3 = lib_of(kBefore, p3), il4 = lib_of(kCurrent, f[3]->place[idx[3]]);
  const int32_t extra = s_first_extra(kBefore, a3);
  const char* codes[2] = {"cO5T", "cO6T"};
  int done = 0;
  for (int k = 1; k <= 2; ++k) {
    const int32_t a5 = s_conn_from_end(kBefore, a3, k);
    if (a5 == 0 || a5 == extra || !rows(a5)) continue;
    const int32_t il5 = r.s2_ilib(a5);
    ierr_ = 0;
    const float ideal =
        offset_from_angles(ideal_angle(mdoc_, il2, f[1]->side, il3, kBefore, il4, kCurrent),
                           ideal_angle(mdoc_, il5, kBefore, il3, kBefore, il4, kCurrent),
                           ideal_angle(mdoc_, il5, kBefore, il3, kBefore, il2, f[1]->side));
    const bool coords = f[2]->iat[idx[2]] != 0 && f[1]->iat[idx[1]] != 0 && f[3]->iat[idx[3]] != 0 &&
                        has_coordinates(kBefore, a5);
    const Offset o = sibling_offset(ideal, coords ? f[2]->x[idx[2]] : nullptr, f[1]->x[idx[1]],
                                    coords ? xyz_of(kBefore, a5) : nullptr, f[3]->x[idx[3]]);
    set_torsion(kBefore, a5, o.ideal, o.observed, codes[done++], true);
  }
}

void LinkTree::torsion_current_third(const LinkAtom* const* f, const int* idx, float ideal, float observed,
                                     int32_t prd) {
  r_scratch_t& r = r_scratch;
  const int32_t p3 = f[2]->place[idx[2]], p4 = f[3]->place[idx[3]];
  const int32_t a3 = entry_of(kCurrent, p3), a4 = entry_of(kCurrent, p4);
  const int32_t il3 = lib_of(kCurrent, p3), il4 = lib_of(kCurrent, p4);
  if (!l1_atom(il3) || !rows(a3) || !rows(a4)) return;
  const int32_t n1 = l1_forward_from_end(il3, 1), n2 = l1_forward_from_end(il3, 2),
                n3 = l1_forward_from_end(il3, 3);
  const int32_t t = l1_extra_partner(il3);
  const bool second_current = f[1]->side == kCurrent;
  if (il4 == n1) set_torsion(kCurrent, a4, ideal, observed, prd > 0 ? "vll" : "cll", false);
  int32_t lc = 0;
  auto chiral = [&] {
    srch_chir_centre_(mdoc_, "", il3, lc, ierr_);
    return lc > 0;
  };
  if ((il4 == n1 || il4 == t) && second_current) {
    const int32_t il2 = lib_of(kCurrent, f[1]->place[idx[1]]);
    if (!((r.l1a_iback(il4) == il3 || t == il4) && r.l1a_iback(il3) == il2 && l1_atom(il2) &&
          r.l1a_iback(il2) == -1))
      return;
    if (chiral()) return;
    const int32_t sibs[2] = {il4 == n1 ? n2 : n1, il4 == n1 ? n3 : n2};
    const char* codes[2] = {"cO7T", "cO8T"};
    for (int k = 0; k < 2; ++k) {
      const int32_t s = sibs[k];
      if (s <= 0) continue;
      int32_t lp = 0;
      srch_plan_(mdoc_, "", il2, il3, il4, s, lp, ierr_);
      if (lp > 0) continue;
      int32_t ns = 0;
      restraints::AltCodes corr;
      restraints::AltPlaces pos;
      srch_num_(mdoc_, r.l1a_aname(s).view(), ns, corr, pos, ierr_);
      for (int j = 1; j <= ns; ++j) {
        if (!codes_agree({f[0]->corr[idx[0]], f[1]->corr[idx[1]], f[2]->corr[idx[2]], f[3]->corr[idx[3]], corr(j)}))
          continue;
        const int32_t es = r.s1_inew(pos(j));
        ierr_ = 0;
        const float id =
            offset_from_angles(ideal_angle(mdoc_, il2, kCurrent, il3, kCurrent, il4, kCurrent),
                               ideal_angle(mdoc_, il2, kCurrent, il3, kCurrent, s, kCurrent),
                               ideal_angle(mdoc_, il4, kCurrent, il3, kCurrent, s, kCurrent));
        const int32_t e2 = entry_of(kCurrent, f[1]->place[idx[1]]);
        const bool coords = rows(es) && r.c1_atype(a3) != "M" && r.c1_atype(a4) != "M" && rows(e2) &&
                            r.c1_atype(e2) != "M" && r.c1_atype(es) != "M";
        Offset o{id, id};
        if (coords) {
          float vol = 0.0f, ph = 0.0f;
          calc_i_ovol_(p3, f[1]->place[idx[1]], pos(j), p4, vol, ph);
          o.observed = -ph;
          if (o.observed < 0.0f) o.ideal = -std::fabs(id);
        }
        set_torsion(kCurrent, es, o.ideal, o.observed, codes[k], true);
      }
    }
    return;
  }
  if (il4 == n1 && !second_current) {
    if (chiral()) return;
    const int32_t extra = s_first_extra(kCurrent, a3);
    const int32_t il2 = lib_of(kBefore, f[1]->place[idx[1]]);
    const char* codes[2] = {"cO1T", "cO2T"};
    int done = 0;
    for (int k = 1; k <= r.s1_ndist(a3) && done < 2; ++k) {
      const int32_t as = s_conn_from_end(kCurrent, a3, k);
      if (as == 0 || as == extra || as == a4 || !rows(as)) continue;
      const int32_t ils = r.s1_ilib(as);
      ierr_ = 0;
      const float id =
          offset_from_angles(ideal_angle(mdoc_, il2, kBefore, il3, kCurrent, il4, kCurrent),
                             ideal_angle(mdoc_, il2, kBefore, il3, kCurrent, ils, kCurrent),
                             ideal_angle(mdoc_, il4, kCurrent, il3, kCurrent, ils, kCurrent));
      const bool coords = f[1]->iat[idx[1]] != 0 && f[2]->iat[idx[2]] != 0 && f[3]->iat[idx[3]] != 0 &&
                          has_coordinates(kCurrent, as);
      const Offset o = sibling_offset(id, coords ? f[2]->x[idx[2]] : nullptr, f[1]->x[idx[1]],
                                      coords ? xyz_of(kCurrent, as) : nullptr, f[3]->x[idx[3]]);
      set_torsion(kCurrent, as, o.ideal, o.observed, codes[done++], true);
    }
    return;
  }
  if (il4 == n1 || il4 == t) return;
  if (n1 == 0) {
    set_torsion(kCurrent, a4, ideal, observed, "cO3T", false);
    return;
  }
  // The torsion names another forward atom: the last-listed one is measured.
  const LinkAtom f5 = find(mdoc_, kCurrent, r.l1a_aname(n1).view(), ierr_);
  for (int j = 0; j < f5.n; ++j) {
    if (!codes_agree({f[0]->corr[idx[0]], f[1]->corr[idx[1]], f[2]->corr[idx[2]], f[3]->corr[idx[3]], f5.corr[j]}))
      continue;
    if (f[0]->iat[idx[0]] == 0 || f[1]->iat[idx[1]] == 0 || f[2]->iat[idx[2]] == 0 || f5.iat[j] == 0) continue;
    float v = 0.0f;
    calc_itrsobs_l_(1, 1, 1, 1, f[0]->x[idx[0]], f[1]->x[idx[1]], f[2]->x[idx[2]], f5.x[j], v);
    set_torsion(kCurrent, entry_of(kCurrent, f5.place[j]), 0.0f, v, "vvv", false);
  }
}

void LinkTree::torsions() {
  r_scratch_t& r = r_scratch;
  const int32_t first = r.lll_itors(l_);
  if (first < 1) return;
  for (int32_t i = first; i <= std::min<int32_t>(r.llt_ntors, MAXLTOR); ++i) {
    if (!same_link(r.llt_lname(i))) continue;
    std::string_view names[4] = {r.llt_1atm(i).view(), r.llt_2atm(i).view(), r.llt_3atm(i).view(),
                                 r.llt_4atm(i).view()};
    int32_t flags[4] = {r.llt_f1atm(i), r.llt_f2atm(i), r.llt_f3atm(i), r.llt_f4atm(i)};
    const float ideal = r.llt_val(i);
    if (reversed_) {
      // The same four atoms read from the other end: a dihedral angle is the
      // same seen from either end, so the ideal value keeps its sign.
      std::swap(names[0], names[3]);
      std::swap(names[1], names[2]);
      std::swap(flags[0], flags[3]);
      std::swap(flags[1], flags[2]);
    }
    LinkAtom fa[4];
    for (int k = 0; k < 4; ++k) fa[k] = find(mdoc_, side_of(flags[k], reversed_), names[k], ierr_);
    const LinkAtom* const f[4] = {&fa[0], &fa[1], &fa[2], &fa[3]};
    const int32_t prd = r.llt_prd(i);
    combinations(f, [&](const int* idx) {
      float observed = ideal;
      if (fa[0].iat[idx[0]] && fa[1].iat[idx[1]] && fa[2].iat[idx[2]] && fa[3].iat[idx[3]])
        calc_itrsobs_l_(1, 1, 1, 1, fa[0].x[idx[0]], fa[1].x[idx[1]], fa[2].x[idx[2]], fa[3].x[idx[3]], observed);
      if (!write_ || fa[0].side == kCurrent || fa[3].side != kCurrent) return;
      const int32_t p4 = fa[3].place[idx[3]];
      if (fa[2].side == kBefore) {
        set_torsion(kCurrent, entry_of(kCurrent, p4), ideal, observed, prd > 0 ? "vl" : "cl", false);
        torsion_before_third(f, idx);
      } else {
        torsion_current_third(f, idx, ideal, observed, prd);
      }
    });
  }
}

void LinkTree::chiral_centres() {
  r_scratch_t& r = r_scratch;
  const int32_t first = r.lll_ichir(l_);
  if (first < 1) return;
  for (int32_t i = first; i <= std::min<int32_t>(r.llc_nchir, MAXLCHR); ++i) {
    if (!same_link(r.llc_lname(i))) continue;
    const std::string_view names[4] = {r.llc_1atm(i).view(), r.llc_2atm(i).view(), r.llc_3atm(i).view(),
                                       r.llc_4atm(i).view()};
    const int32_t flags[4] = {r.llc_f1atm(i), r.llc_f2atm(i), r.llc_f3atm(i), r.llc_f4atm(i)};
    LinkAtom fa[4];
    for (int k = 0; k < 4; ++k) fa[k] = find(mdoc_, side_of(flags[k], reversed_), names[k], ierr_);
    if (fa[0].n < 1 || fa[1].n < 1 || fa[2].n < 1 || fa[3].n < 1) continue;
    // Ideal volume and torsions from the names, types and monomers.
    int32_t ifl[4];
    rt::FixedText<8> mon[4];
    rt::FixedText<4> latom[4], lchem[4];
    for (int k = 0; k < 4; ++k) {
      const bool cur = fa[k].side == kCurrent;
      ifl[k] = cur ? 1 : 2;
      mon[k] = cur ? r.c1_rname.view() : r.c2_rname.view();
      latom[k] = names[k];
      const int32_t e = entry_of(fa[k].side, fa[k].place[0]);
      lchem[k] = rows(e) ? (cur ? r.s1_chem(e).view() : r.s2_chem(e).view()) : std::string_view("");
    }
    float volidl = 0.0f, ph[3] = {};
    calc_iivol_l_(ifl, mon, latom, lchem, link_.view(), volidl, ph[0], ph[1], ph[2]);
    const std::string_view sign = r.llc_sign(i).view();
    const int h0 = sign.substr(0, 3) == "pos" ? 1 : (sign.substr(0, 3) == "neg" ? -1 : 0);
    if (!write_) continue;
    const LinkAtom* const f[4] = {&fa[0], &fa[1], &fa[2], &fa[3]};
    bool row_ends = false;
    combinations(f, [&](const int* idx) {
      if (row_ends) return;
      // Outer atoms renumbered so that the one in the residue before is the
      // second, keeping their turn.
      int o[3] = {1, 2, 3};
      float t = ph[0];
      int h = h0;
      if (fa[1].side == kBefore) {
      } else if (fa[3].side == kBefore) {
        o[0] = 3, o[1] = 1, o[2] = 2, t = ph[2];
      } else if (fa[2].side == kBefore) {
        o[0] = 2, o[1] = 3, o[2] = 1, t = ph[1];
      } else {
        return;
      }
      const int cs = fa[0].side;
      const int32_t c = entry_of(cs, fa[0].place[idx[0]]);
      const int32_t cl = lib_of(cs, fa[0].place[idx[0]]);
      if (!rows(c)) return;
      if (cs == kCurrent && (fa[o[1]].side != kCurrent || fa[o[2]].side != kCurrent)) {
        row_ends = true;
        return;
      }
      // The fourth outer atom should be the centre's last-listed neighbour.
      const int32_t last = cs == kCurrent ? l1_forward_from_end(cl, 1) : 0;
      const int32_t e4 = entry_of(fa[o[2]].side, fa[o[2]].place[idx[o[2]]]);
      const int32_t lib4 = lib_of(fa[o[2]].side, fa[o[2]].place[idx[o[2]]]);
      const int32_t extra = s_first_extra(cs, c);
      if (cs == kCurrent && !(lib4 == last && (extra == 0 || extra == e4))) {
        std::swap(o[1], o[2]);
        h = -h;
      }
      const LinkAtom& a2 = fa[o[0]];
      const LinkAtom& a3 = fa[o[1]];
      const LinkAtom& a4 = fa[o[2]];
      const int j2 = idx[o[0]], j3 = idx[o[1]], j4 = idx[o[2]];
      float observed = t;
      const bool coords = fa[0].iat[idx[0]] && a2.iat[j2] && a3.iat[j3] && a4.iat[j4];
      if (coords) {
        float vol = 0.0f, off = 0.0f;
        calc_i_ovol_l_(1, 1, 1, 1, fa[0].x[idx[0]], a2.x[j2], a3.x[j3], a4.x[j4], vol, off);
        observed = -off;
        if (vol < -0.5f) t = -t;
      } else if (h != 0) {
        t *= static_cast<float>(h);
        observed = t;
      }
      const int32_t e3 = entry_of(a3.side, a3.place[j3]);
      if (e3 != extra) set_torsion(a3.side, e3, t, observed, a3.side == kCurrent ? "cO1C" : "cO2C", true);
      const int32_t nlast = s_conn_from_end(cs, c, 1);
      if (nlast != 0 && nlast == extra) return;
      const int32_t a5 = s_conn_from_end(cs, c, 2);
      if (!rows(a5)) return;
      const int32_t il5 = cs == kCurrent ? r.s1_ilib(a5) : r.s2_ilib(a5);
      const int32_t il2 = lib_of(a2.side, a2.place[j2]), il4 = lib_of(a4.side, a4.place[j4]);
      ierr_ = 0;
      const float id = offset_from_angles(ideal_angle(mdoc_, il2, a2.side, cl, cs, il4, a4.side),
                                          ideal_angle(mdoc_, il2, a2.side, cl, cs, il5, cs),
                                          ideal_angle(mdoc_, il4, a4.side, cl, cs, il5, cs));
      const bool c5 = coords && has_coordinates(cs, a5);
      const Offset off5 = sibling_offset(id, c5 ? fa[0].x[idx[0]] : nullptr, a2.x[j2], c5 ? xyz_of(cs, a5) : nullptr,
                                         a4.x[j4]);
      set_torsion(cs, a5, off5.ideal, off5.observed, cs == kCurrent ? "cO3C" : "cO4C", true);
    });
  }
}

}  // namespace

void calc_dtp_plan_l_(int32_t, int32_t n, const int32_t* iglb, const int32_t* iatm, const int32_t*, const float*,
                      int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  // iglb 1: current residue, 2: residue before.
  auto lib = [&](int k) { return lib_of(iglb[k] == 1 ? kCurrent : kBefore, iatm[k]); };
  auto entry = [&](int k) { return entry_of(iglb[k] == 1 ? kCurrent : kBefore, iatm[k]); };
  for (int i = 0; i < n; ++i) {
    int partner = -1, reference = -1, target = -1;
    const int32_t ip = lib(i), ep = entry(i);
    if (!rows(ep)) continue;
    if (iglb[i] == 1 && l1_atom(ip) && r.l1a_iback(ip) == -1) {
      for (int j = 0; j < n; ++j) {
        if (j == i) continue;
        const int32_t lj = lib(j), ej = entry(j);
        if (!rows(ej)) continue;
        if (iglb[j] == 2 && r.s2_iforw(ej) < 0) partner = j;
        if (iglb[j] == 1 && l1_atom(lj) && r.l1a_iback(lj) == ip) {
          if (lj == l1_forward_from_end(ip, 1))
            reference = j;
          else
            target = j;
        }
      }
    } else if (iglb[i] == 2 && r.s2_iforw(ep) < 0 && r.s2_iback(ep) > 0) {
      for (int j = 0; j < n; ++j) {
        if (j == i) continue;
        const int32_t lj = lib(j), ej = entry(j);
        if (!rows(ej)) continue;
        if (iglb[j] == 2 && r.s2_iback(ep) == ej) partner = j;
        if (iglb[j] == 1 && l1_atom(lj) && r.l1a_iback(lj) == -1) reference = j;
        if (iglb[j] == 2 && r.s2_iback(ej) == ep) target = j;
      }
    }
    if (partner < 0 || reference < 0 || target < 0) continue;
    const int32_t lt = lib(target);
    if (iglb[target] == 1 && iglb[reference] == 1 && l1_atom(lt) && r.l1a_iback(lt) == ip) {
      set_torsion(kCurrent, entry(target), 180.0f, 180.0f, "cO1P", false);
    } else if (iglb[i] == 2 && iglb[partner] == 2) {
      r.s2_psi(entry(target)) = 180.0f;
      r.s2_id_psi(entry(target)) = "cO2P";
    }
  }
}

void iplan_dthph_l_(int32_t mdoc, int32_t l, std::string_view link, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  if (l < 1 || l > MAXLLNK) return;
  const int32_t first = r.lll_iplan(l);
  if (first < 1) return;
  const rt::FixedText<8> name(link);
  for (int32_t p = first; p <= std::min<int32_t>(r.llp_nplan, MAXLPLN); ++p) {
    if (!(r.llp_lname(p) == name.view()) || r.llp_natom(p) < 1) continue;
    std::vector<LinkAtom> atoms;
    for (int k = 1; k <= std::min<int32_t>(r.llp_natom(p), MAXLAPL); ++k) {
      // The plane rows are read as stored, whatever the direction of the link.
      LinkAtom f = find(mdoc, side_of(r.llp_fatom(k, p), false), r.llp_atom(k, p).view(), ierr);
      if (f.n > 0) atoms.push_back(f);
    }
    if (atoms.size() <= 3) continue;
    // One group per alternate code; positions without a code go in every
    // group, and a group takes at most one position of each atom.
    std::vector<char> groups;
    for (const LinkAtom& a : atoms)
      for (int j = 0; j < a.n; ++j) {
        const char c = a.corr[j](2);
        if (c == '.') continue;
        bool seen = false;
        for (char g : groups) seen = seen || g == c;
        if (!seen) groups.push_back(c);
      }
    if (groups.empty()) groups.push_back('.');
    for (size_t gi = 0; gi < groups.size(); ++gi) {
      const char g = groups[gi];
      std::vector<int32_t> side, place, group;
      std::vector<float> xx;
      for (const LinkAtom& a : atoms)
        for (int j = 0; j < a.n; ++j) {
          const char c = a.corr[j](2);
          if (c != '.' && c != g) continue;
          side.push_back(a.side == kCurrent ? 1 : 2);
          place.push_back(a.place[j]);
          group.push_back(static_cast<int32_t>(gi + 1));
          xx.insert(xx.end(), a.x[j], a.x[j] + 3);
          break;
        }
      if (side.size() > 3)
        calc_dtp_plan_l_(mdoc, static_cast<int32_t>(side.size()), side.data(), place.data(), group.data(),
                         xx.data(), ierr);
    }
  }
}

void def_dist_th_ph_link_(int32_t mdoc, std::string_view link, int32_t irevers, char conn_flag, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  if (r.lll_nlink < 1) {
    msgdoc_(mdoc, " WARNING : number of links in library = 0");
    return;
  }
  const rt::FixedText<8> name(link);
  int32_t l = 0;
  for (int k = 1; k <= std::min<int32_t>(r.lll_nlink, MAXLLNK) && l == 0; ++k)
    if (r.lll_lname(k) == name.view()) l = k;
  if (l == 0) {
    std::string line = " WARNING : link ";
    line.append(name.view()).append(" not found in library.");
    msgdoc_(mdoc, line);
    return;
  }
  r.lll_ilink = l;
  LinkTree tree(mdoc, name.view(), l, irevers == 1, conn_flag == 'Y', ierr);
  tree.bonds();
  tree.angles();
  tree.torsions();
  tree.chiral_centres();
  iplan_dthph_l_(mdoc, l, name.view(), ierr);
}
