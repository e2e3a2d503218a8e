// Internal coordinates of the current residue.  Every library restraint is
// looked up by names with all alternate positions of its atoms; each
// combination of positions that may stand together writes its values, so a
// later conformer overwrites an earlier one.
#include "restraints/residue_tree.h"

#include <cmath>
#include <string>
#include <vector>

#include "dictionary/descr_lookups.h"
#include "dictionary/element_table.h"
#include "dictionary/l1_kernels.h"
#include "dictionary/lib_com.h"
#include "foundation/kernels.h"
#include "foundation/messages.h"
#include "restraints/atom_lookup.h"
#include "restraints/res_calc.h"
#include "restraints/tree_lookups.h"
#include "runtime/format.h"
#include "suite/pi.h"

namespace {

using restraints::l1_extra_partner;
using restraints::l1_forward_from_end;
using restraints::l1_ideal_angle;
using restraints::offset_from_angles;

// All positions of one atom name.
struct Found {
  int32_t n = 0;
  restraints::AltCodes corr;
  restraints::AltPlaces pos;
};

Found find(int32_t mdoc, std::string_view name, int32_t& ierr) {
  Found f;
  srch_num_(mdoc, name, f.n, f.corr, f.pos, ierr);
  return f;
}

int32_t entry(int32_t pos) { return r_scratch.s1_inew(pos); }
int32_t lib(int32_t pos) {
  const int32_t e = entry(pos);
  return e >= 1 && e <= MX1ATOM ? r_scratch.s1_ilib(e) : 0;
}
bool l1_atom(int32_t a) { return a >= 1 && a <= MAX1ATM; }

// Every combination of positions of the k atoms whose codes may stand in one
// restraint, handed to use(positions).
template <int K, typename Use>
void combinations(const Found* const (&f)[K], Use use) {
  int32_t n[K];
  for (int k = 0; k < K; ++k) n[k] = f[k]->n;
  restraints::each_compatible(
      K, n, [&](int k, int32_t i) { return f[k]->corr(i); },
      [&](const int32_t* idx) {
        int32_t pos[K];
        for (int k = 0; k < K; ++k) pos[k] = f[k]->pos(idx[k]);
        use(static_cast<const int32_t*>(pos));
      });
}

// Measured values are taken only from atoms with coordinates: not missing
// and with an occupancy above 0.001.
bool measurable(const int32_t* pos, int n) {
  const r_scratch_t& r = r_scratch;
  for (int i = 0; i < n; ++i) {
    const int32_t e = entry(pos[i]);
    if (e < 1 || e > MX1ATOM || r.c1_atype(e) == "M" || !(r.c1_occ(e) > 0.001f)) return false;
  }
  return true;
}

void set_torsion(int32_t a, int32_t e, float ideal, float measured, const char* code) {
  r_scratch_t& r = r_scratch;
  if (l1_atom(a)) {
    r.l1a_phi(a) = ideal;
    if (code) r.l1a_id_psi(a) = code;
  }
  if (e >= 1 && e <= MX1ATOM) {
    r.s1_psi(e) = measured;
    if (code) r.s1_id_psi(e) = code;
  }
}

bool unset(int32_t e) { return e >= 1 && e <= MX1ATOM && r_scratch.s1_id_psi(e) == "?"; }

// Offset about the centre c between x and y seen from b, from the ideal
// angles b-c-x, b-c-y and x-c-y (degrees, not negative).
float ideal_offset(int32_t mdoc, int32_t b, int32_t c, int32_t x, int32_t y) {
  return offset_from_angles(l1_ideal_angle(mdoc, b, c, x), l1_ideal_angle(mdoc, b, c, y),
                            l1_ideal_angle(mdoc, x, c, y));
}

bool fragment_start(char flag) { return flag == 'S' || flag == 'M' || flag == 'G'; }

class Tracer {
 public:
  Tracer(int32_t mdoc, bool on) : mdoc_(mdoc), on_(on) {}
  void heading(const char* h) const {
    if (on_) msgdoc_(mdoc_, h);
  }
  template <typename... A>
  void line(std::string_view format, const A&... a) const {
    if (on_) msgdoc_(mdoc_, rt::fmt(format, a...));
  }

 private:
  int32_t mdoc_;
  bool on_;
};

void bonds(int32_t mdoc, const Tracer& trace, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  trace.heading(" --- tree ---bond");
  for (int b = 1; b <= std::min<int32_t>(r.l1b_nbond, MAX1BND); ++b) {
    const Found f1 = find(mdoc, r.l1b_1atm(b).view(), ierr);
    const Found f2 = find(mdoc, r.l1b_2atm(b).view(), ierr);
    const Found* const f[2] = {&f1, &f2};
    combinations(f, [&](const int32_t* p) {
      float d = r.l1b_val(b);
      if (measurable(p, 2)) calc_idobs_(p[0], p[1], d);
      const int32_t a1 = lib(p[0]), a2 = lib(p[1]);
      if (!l1_atom(a1) || !l1_atom(a2)) return;
      int32_t a = 0, e = 0;
      if (r.l1a_iback(a1) == a2) {
        a = a1, e = entry(p[0]);
      } else if (r.l1a_iback(a2) == a1) {
        a = a2, e = entry(p[1]);
      }
      if (a == 0) return;
      r.l1a_length(a) = r.l1b_val(b);
      r.s1_dist(e) = d;
      trace.line("(1X,A,1X,A,2I4,2F8.3)", r.l1b_1atm(b).view(), r.l1b_2atm(b).view(), a1, a2, r.l1b_val(b), d);
    });
  }
}

void angles(int32_t mdoc, char ch_flag, const Tracer& trace, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  trace.heading(" --- tree --- angle");
  const bool start = fragment_start(ch_flag);
  for (int g = 1; g <= std::min<int32_t>(r.l1g_nangl, MAX1ANG); ++g) {
    const Found f1 = find(mdoc, r.l1g_1atm(g).view(), ierr);
    const Found f2 = find(mdoc, r.l1g_2atm(g).view(), ierr);
    const Found f3 = find(mdoc, r.l1g_3atm(g).view(), ierr);
    const Found* const f[3] = {&f1, &f2, &f3};
    const float ideal = r.l1g_val(g);
    combinations(f, [&](const int32_t* p) {
      float t = ideal;
      if (measurable(p, 3)) calc_iangobs_(p[0], p[1], p[2], t);
      const int32_t a1 = lib(p[0]), a2 = lib(p[1]), a3 = lib(p[2]);
      if (!l1_atom(a1) || !l1_atom(a2) || !l1_atom(a3)) return;
      const int32_t e1 = entry(p[0]), e3 = entry(p[2]);
      const int32_t b1 = r.l1a_iback(a1), b2 = r.l1a_iback(a2), b3 = r.l1a_iback(a3);
      // The measured angle travels with the atom, so that the structure
      // file describes the model as it is.
      auto give = [&](int32_t a, int32_t e, float measured) {
        r.l1a_theta(a) = ideal;
        r.s1_tht(e) = measured;
      };
      auto no_torsion = [&] {
        for (int k = 0; k < 3; ++k) set_torsion(lib(p[k]), entry(p[k]), 0.0f, 0.0f, ".");
      };
      if (b2 >= 1 && b1 == a2 && b2 == a3) {
        give(a1, e1, t);
        if (b3 < 0 && start && r.l1a_iforw(a2) == a1) no_torsion();
      } else if (b2 >= 1 && b3 == a2 && b2 == a1) {
        give(a3, e3, t);
        if (b1 < 0 && start && r.l1a_iforw(a2) == a3) no_torsion();
      } else if (b2 < 0 && start && b1 == a2 && b3 == a2) {
        const int32_t fw = r.l1a_iforw(a2);
        const int32_t u1 = l1_forward_from_end(a2, 1), u2 = l1_forward_from_end(a2, 2);
        if (fw > 0 && a1 == fw) {
          give(a3, e3, t);
          if (a3 == u2) give(a1, e1, t);
        } else if (fw > 0 && a3 == fw) {
          give(a1, e1, t);
          if (a1 == u2) give(a3, e3, t);
        } else if (fw <= 0 && u1 > 0 && a1 == u1) {
          give(a3, e3, t);
          if (a3 == u2) give(a1, e1, ideal);
        } else if (fw <= 0 && a1 != u1 && a3 == u1) {
          give(a1, e1, ideal);
          if (u2 > 0 && a1 == u2) give(a3, e3, t);
        } else {
          return;
        }
      } else {
        return;
      }
      trace.line("(1X,3(A,1X),3I4,2F8.2)", r.l1g_1atm(g).view(), r.l1g_2atm(g).view(), r.l1g_3atm(g).view(), a1,
                 a2, a3, ideal, t);
    });
  }
}

// Offsets of the siblings of a4 about the bond a2-a3 (step of the torsions).
void torsion_siblings(int32_t mdoc, const int32_t* p, int32_t a2, int32_t a3, int32_t a4,
                      const std::vector<int32_t>& sibs, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  int32_t lc = 0;
  srch_chir_centre_(mdoc, "", a3, lc, ierr);
  if (lc > 0) return;
  bool first_done = false;
  float first_offset = 0.0f;
  for (size_t k = 0; k < sibs.size() && k < 2; ++k) {
    const int32_t s = sibs[k];
    if (s <= 0) continue;
    int32_t lp = 0;
    srch_plan_(mdoc, "", a2, a3, a4, s, lp, ierr);
    if (lp > 0) continue;
    const Found fs = find(mdoc, r.l1a_aname(s).view(), ierr);
    for (int j = 1; j <= fs.n; ++j) {
      const int32_t es = entry(fs.pos(j));
      if (!unset(es)) continue;
      rt::FixedText<2> codes[5] = {};
      int32_t pos5[5] = {p[0], p[1], p[2], p[3], fs.pos(j)};
      for (int i = 0; i < 5; ++i) {
        const int32_t e = entry(pos5[i]);
        codes[i](1) = r.c1_corr(e)(1);
        codes[i](2) = r.c1_alt(e)(1);
      }
      char check = 'N';
      chk_alt_(5, codes, check);
      if (check != 'Y') continue;
      ierr = 0;
      float offset = ideal_offset(mdoc, a2, a3, a4, s);
      float measured = offset;
      const int32_t quad[4] = {p[2], p[1], fs.pos(j), p[3]};
      const bool ok = measurable(quad, 4);
      if (ok) {
        float vol = 0.0f, ph = 0.0f;
        calc_i_ovol_(p[2], p[1], fs.pos(j), p[3], vol, ph);
        measured = -ph;
      }
      const bool second = k == 1 && first_done;
      if (second) {
        const bool positive = first_offset < 0.0f;
        offset = positive ? std::fabs(offset) : -std::fabs(offset);
        measured = ok ? (positive ? std::fabs(measured) : -std::fabs(measured)) : offset;
      } else if (ok && measured < 0.0f) {
        offset = -std::fabs(offset);
      }
      if (k == 0) {
        first_done = true;
        first_offset = offset;
      }
      set_torsion(s, es, offset, measured, k == 0 ? "Co5T" : "Co6T");
    }
  }
}

void torsions(int32_t mdoc, const Tracer& trace, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  trace.heading(" --- tree --- tors");
  auto index_of = [&](std::string_view name) -> int32_t {
    for (int a = 1; a <= std::min<int32_t>(r.l1a_natom, MAX1ATM); ++a)
      if (r.l1a_aname(a) == name) return a;
    return 0;
  };
  for (int t = 1; t <= std::min<int32_t>(r.l1t_ntors, MAX1TOR); ++t) {
    int32_t a[4] = {index_of(r.l1t_1atm(t).view()), index_of(r.l1t_2atm(t).view()),
                    index_of(r.l1t_3atm(t).view()), index_of(r.l1t_4atm(t).view())};
    if (!l1_atom(a[0]) || !l1_atom(a[1]) || !l1_atom(a[2]) || !l1_atom(a[3])) continue;
    float p = r.l1t_val(t);
    int32_t prd = r.l1t_prd(t);
    if (r.l1a_iback(a[1]) == a[2]) {
      // Read against the tree: the same torsion, a dihedral angle being the
      // same seen from either end, so its value keeps its sign.
      std::swap(a[0], a[3]);
      std::swap(a[1], a[2]);
    } else if (r.l1a_iback(a[0]) == a[1] && r.l1a_iback(a[1]) > 0 && r.l1a_iback(a[1]) != a[0]) {
      a[0] = r.l1a_iback(a[1]);
      p = 0.0f;
      prd = 1;
    }
    const int32_t e3 = l1_extra_partner(a[2]);
    const bool hangs = r.l1a_iback(a[3]) == a[2] || (e3 != 0 && e3 == a[3]);
    if (!hangs || r.l1a_iback(a[2]) != a[1] || r.l1a_iback(a[1]) != a[0]) continue;
    const Found f1 = find(mdoc, r.l1a_aname(a[0]).view(), ierr);
    const Found f2 = find(mdoc, r.l1a_aname(a[1]).view(), ierr);
    const Found f3 = find(mdoc, r.l1a_aname(a[2]).view(), ierr);
    const Found f4 = find(mdoc, r.l1a_aname(a[3]).view(), ierr);
    const Found* const f[4] = {&f1, &f2, &f3, &f4};
    const int32_t fw = r.l1a_iforw(a[2]);
    const int32_t u1 = l1_forward_from_end(a[2], 1), u2 = l1_forward_from_end(a[2], 2),
                  u3 = l1_forward_from_end(a[2], 3);
    const char* code_vv = prd > 0 ? "vv" : "cvv";
    combinations(f, [&](const int32_t* pos) {
      const bool ok = measurable(pos, 4);
      float phi = 0.0f;
      if (ok) calc_itrsobs_(pos[0], pos[1], pos[2], pos[3], phi);
      const int32_t e4 = entry(pos[3]);
      std::vector<int32_t> sibs;
      auto without_a4 = [&](int32_t x, int32_t y) {
        if (x != a[3]) sibs.push_back(x);
        if (y != a[3]) sibs.push_back(y);
      };
      if (a[3] == u1) {
        set_torsion(a[3], e4, p, r.c1_atype(e4) == "M" ? p : phi, code_vv);
        sibs = {u2, u3};
      } else if (a[3] == e3) {
        sibs = {u1, u2};
      } else if (fw <= 0) {  // -1 marks the end of the tree: no forward atom either
        set_torsion(a[3], e4, p, ok ? phi : p, "Co1T");
        without_a4(u2, u3);
      } else {
        const Found ff = find(mdoc, r.l1a_aname(fw).view(), ierr);
        for (int j = 1; j <= ff.n; ++j) {
          const int32_t quad[4] = {pos[0], pos[1], pos[2], ff.pos(j)};
          float v = 0.0f;
          if (measurable(quad, 4)) calc_itrsobs_(pos[0], pos[1], pos[2], ff.pos(j), v);
          set_torsion(fw, entry(ff.pos(j)), 0.0f, v, "v");
        }
        if (a[3] == fw || a[3] == u1)
          without_a4(u2, u3);
        else
          without_a4(u1, u2);
      }
      trace.line("(1X,4(A,1X),4I4,2F8.1)", r.l1a_aname(a[0]).view(), r.l1a_aname(a[1]).view(),
                 r.l1a_aname(a[2]).view(), r.l1a_aname(a[3]).view(), a[0], a[1], a[2], a[3], p, phi);
      torsion_siblings(mdoc, pos, a[1], a[2], a[3], sibs, ierr);
    });
  }
}

void chiral_centres(int32_t mdoc, const Tracer& trace, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  trace.heading(" --- tree --- chir");
  for (int ic = 1; ic <= std::min<int32_t>(r.l1c_nchir, MAX1CHR); ++ic) {
    const std::string_view sign = r.l1c_sign(ic).view();
    if (sign.substr(0, 4) == "star" || sign.substr(0, 4) == "cros") continue;
    const int s0 = sign.substr(0, 3) == "pos" ? 1 : (sign.substr(0, 3) == "neg" ? -1 : 0);
    float vol = 0.0f, ph[3] = {};
    calc_ivol_(ic, vol, ph[0], ph[1], ph[2]);
    r.l1c_vol(ic) = vol;
    const Found f1 = find(mdoc, r.l1c_1atm(ic).view(), ierr);
    const Found f2 = find(mdoc, r.l1c_2atm(ic).view(), ierr);
    const Found f3 = find(mdoc, r.l1c_3atm(ic).view(), ierr);
    const Found f4 = find(mdoc, r.l1c_4atm(ic).view(), ierr);
    const Found* const f[4] = {&f1, &f2, &f3, &f4};
    combinations(f, [&](const int32_t* pos) {
      const int32_t c = lib(pos[0]);
      if (!l1_atom(c)) return;
      // Turn the partners until the back atom of the centre comes first.
      int32_t q[3] = {pos[1], pos[2], pos[3]};
      int rot = -1;
      for (int k = 0; k < 3; ++k)
        if (lib(q[k]) == r.l1a_iback(c)) rot = k;
      if (rot < 0) return;
      float ideal = ph[rot];
      int32_t pp[3] = {q[rot], q[(rot + 1) % 3], q[(rot + 2) % 3]};
      int s = s0;
      const int32_t e = l1_extra_partner(c);
      const int32_t u1 = l1_forward_from_end(c, 1), u2 = l1_forward_from_end(c, 2),
                    u3 = l1_forward_from_end(c, 3);
      const int32_t want = e != 0 ? e : u1;
      if (lib(pp[1]) != want) {
        std::swap(pp[1], pp[2]);
        s = -s;
        if (e != 0 && lib(pp[1]) != e && lib(pp[1]) != u1) return;
      }
      const int32_t quad[4] = {pos[0], pp[0], pp[1], pp[2]};
      const bool ok = measurable(quad, 4);
      float measured, v = 0.0f, phm = 0.0f;
      if (!ok) {
        if (s != 0) ideal *= static_cast<float>(s);
        measured = ideal;
      } else {
        calc_i_ovol_(pos[0], pp[0], pp[1], pp[2], v, phm);
        measured = -phm;
        if (v < -0.5f) ideal = -ideal;
      }
      const int32_t p3 = lib(pp[1]), p4 = lib(pp[2]);
      const int32_t ep3 = entry(pp[1]);
      if (l1_atom(p3) && r.l1a_iback(p3) == c && unset(ep3)) set_torsion(p3, ep3, ideal, measured, "Co1C");
      if (u2 <= 0) return;
      const int32_t s5 = ((p3 == u1 || p4 == u1) && u2 != p3 && u2 != p4) ? u2 : u3;
      if (s5 <= 0) return;
      const Found fs = find(mdoc, r.l1a_aname(s5).view(), ierr);
      for (int j = 1; j <= fs.n; ++j) {
        const int32_t es = entry(fs.pos(j));
        if (!unset(es)) continue;
        ierr = 0;
        float offset = ideal_offset(mdoc, lib(pp[0]), c, p4, s5);
        float meas5 = offset;
        const int32_t quad5[4] = {pos[0], pp[0], fs.pos(j), pp[2]};
        if (measurable(quad5, 4)) {
          float v5 = 0.0f, ph5 = 0.0f;
          calc_i_ovol_(pos[0], pp[0], fs.pos(j), pp[2], v5, ph5);
          float sgn = v5 < -0.5f ? ph5 : -ph5;
          if (p4 != r.l1a_iforw(c)) sgn = -sgn;
          offset = sgn < 0.0f ? -std::fabs(offset) : std::fabs(offset);
          meas5 = sgn;
        }
        set_torsion(s5, es, offset, meas5, "Co5C");
      }
      trace.line("(1X,A,3I4,3F8.1)", r.l1c_1atm(ic).view(), c, p3, p4, vol, ideal, measured);
    });
  }
}

// A torsion of a plane: 0 or 180 from the model, else by the ring rule.
struct PlaneTorsion {
  float value;
  bool measured;
};

PlaneTorsion plane_torsion(const int32_t* quad_pos, const int32_t* quad_lib) {
  if (measurable(quad_pos, 4)) {
    float t = 0.0f;
    calc_itrsobs_(quad_pos[0], quad_pos[1], quad_pos[2], quad_pos[3], t);
    return {std::fabs(t) < 90.0f ? 0.0f : 180.0f, true};
  }
  float v = 0.0f;
  check_ring_ph_(quad_lib[0], quad_lib[1], quad_lib[2], quad_lib[3], v);
  return {v, false};
}

bool hydrogen_like(int32_t a) { return dictionary::is_hydrogen(r_scratch.l1a_symb(a)); }

}  // namespace

void check_ring_ph_(int32_t l, int32_t k, int32_t j, int32_t i, float& val) {
  const r_scratch_t& r = r_scratch;
  auto code = [&](int32_t a) {
    rt::FixedText<3> ring("N  ");
    if (l1_atom(a)) check_ring_(r.l1a_chem(a).view(), ring);
    return ring;
  };
  const rt::FixedText<3> r1 = code(l), r2 = code(k), r3 = code(j), r4 = code(i);
  val = 0.0f;
  if (r2(1) != 'R' || r3(1) != 'R') return;
  const bool k2 = r2(2) == 'R', j2 = r3(2) == 'R';
  const bool l_ring = r1(1) == 'R', i_ring = r4(1) == 'R';
  if (k2 && j2)
    val = (r2(3) == '5' && r1(2) == r4(2)) ? 0.0f : 180.0f;
  else if (k2)
    val = i_ring ? 180.0f : 0.0f;
  else if (j2)
    val = l_ring ? 180.0f : 0.0f;
  else
    val = l_ring == i_ring ? 0.0f : 180.0f;
}

void calc_dtp_plan_(int32_t, int32_t n, const int32_t* iatm, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  // Place in the set of each library atom; 0 when it is not in the set.
  // Kept between calls and cleared entry by entry, as planes come per residue.
  static int32_t at[MAX1ATM + 1] = {};
  struct Clear {
    int32_t n;
    const int32_t* iatm;
    ~Clear() {
      for (int32_t i = 0; i < n; ++i)
        if (l1_atom(lib(iatm[i]))) at[lib(iatm[i])] = 0;
    }
  } clear{n, iatm};
  for (int32_t i = 0; i < n; ++i) {
    const int32_t a = lib(iatm[i]);
    if (l1_atom(a)) at[a] = iatm[i];
  }
  auto in = [&](int32_t a) { return l1_atom(a) && at[a] != 0; };
  auto put = [&](int32_t a, float v, const char* code) { set_torsion(a, entry(at[a]), v, v, code); };
  for (int32_t i = 0; i < n; ++i) {
    const int32_t a = lib(iatm[i]);
    if (!l1_atom(a)) continue;
    const int32_t b = r.l1a_iback(a);
    if (!in(b)) continue;
    const int32_t last = l1_forward_from_end(a, 1);
    int32_t f1 = 0, f2 = 0;
    if (r.l1a_ndist(a) == 1) {
      f1 = l1_extra_partner(a);
      f2 = last;
    } else {
      f1 = last;
      for (int k = 1; k < r.l1a_ndist(a) && k <= MX1BRN; ++k)
        if (in(r.l1a_conn(k, a))) f2 = r.l1a_conn(k, a);
    }
    if (!in(f1) || !in(f2)) continue;
    const int32_t e = r.l1a_iback(b);
    if (f1 == last) {
      put(f2, 180.0f, "Co1P");
      if (in(e)) {
        const int32_t qp[4] = {at[e], at[b], at[a], at[f1]}, ql[4] = {e, b, a, f1};
        const PlaneTorsion t = plane_torsion(qp, ql);
        put(f1, t.value, t.measured ? "Co2P" : "Co3P");
      }
    } else if (in(e)) {
      const int32_t qp[4] = {at[e], at[b], at[a], at[f2]}, ql[4] = {e, b, a, f2};
      PlaneTorsion t = plane_torsion(qp, ql);
      if (!t.measured && hydrogen_like(f2)) t.value = 180.0f;
      put(f2, t.value, t.measured ? "Co4P" : "Co5P");
    }
  }
  for (int32_t i = 0; i < n; ++i) {
    const int32_t a = lib(iatm[i]);
    if (!l1_atom(a)) continue;
    const int32_t x = r.l1a_iback(a);
    if (!in(x) || l1_forward_from_end(x, 1) != a) continue;
    const int32_t y = r.l1a_iback(x);
    if (!in(y)) continue;
    const int32_t z = r.l1a_iback(y);
    if (!in(z)) continue;
    const int32_t qp[4] = {at[z], at[y], at[x], at[a]}, ql[4] = {z, y, x, a};
    PlaneTorsion t = plane_torsion(qp, ql);
    if (!t.measured && hydrogen_like(a)) t.value = 180.0f;
    put(a, t.value, t.measured ? "Co6P" : "Co7P");
  }
}

void iplan_def_dthph_(int32_t mdoc, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  for (int pl = 1; pl <= std::min<int32_t>(r.l1p_nplan, MAX1PLN); ++pl) {
    std::vector<Found> atoms;
    for (int k = 1; k <= std::min<int32_t>(r.l1p_natom(pl), MAX1APL); ++k) {
      Found f = find(mdoc, r.l1p_atom(k, pl).view(), ierr);
      if (f.n > 0) atoms.push_back(f);
    }
    if (atoms.size() < 4) continue;
    // Codes of the alternates: the first kind from a correction code, the
    // second from an alternate code; ".." none.
    std::vector<char> first_kind, second_kind;
    auto note = [](std::vector<char>& v, char c) {
      for (char x : v)
        if (x == c) return;
      v.push_back(c);
    };
    for (const Found& f : atoms)
      for (int j = 1; j <= f.n; ++j) {
        const char c1 = f.corr(j)(1), c2 = f.corr(j)(2);
        if (c1 != '.') {
          note(first_kind, c1);
        } else if (c2 != '.') {
          note(second_kind, c2);
        }
      }
    const bool by_first = !first_kind.empty();
    std::vector<char> sets = by_first ? first_kind : second_kind;
    if (sets.empty()) sets.push_back('.');
    for (char code : sets) {
      std::vector<int32_t> set;
      for (const Found& f : atoms)
        for (int j = 1; j <= f.n; ++j) {
          const char c = by_first ? f.corr(j)(1) : f.corr(j)(2);
          const bool none = f.corr(j)(1) == '.' && f.corr(j)(2) == '.';
          if (c == code || none || code == '.') {
            set.push_back(f.pos(j));
            break;
          }
        }
      if (set.size() > 3) calc_dtp_plan_(mdoc, static_cast<int32_t>(set.size()), set.data(), ierr);
    }
  }
}

void def_dist_th_ph_(int32_t mdoc, char list, char ch_flag, int32_t& ierr) {
  ierr = 0;
  const Tracer trace(mdoc, list == 'T');
  bonds(mdoc, trace, ierr);
  angles(mdoc, ch_flag, trace, ierr);
  torsions(mdoc, trace, ierr);
  chiral_centres(mdoc, trace, ierr);
  trace.heading(" --- tree --- plan");
  if (r_scratch.l1p_nplan > 0) iplan_def_dthph_(mdoc, ierr);
  trace.heading(" --- tree --- end");
}
