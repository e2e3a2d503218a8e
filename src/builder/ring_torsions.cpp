// Ring torsion correction.  A ring's record holds, per position k, ring
// atom k and the ring bond k -> k+1; torsion codes count 60-degree steps
// (+-2 for 30 degrees), offsets of outer atoms count 30-degree steps, and
// every value written is brought into -150..180.
#include "builder/ring_torsions.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "builder/geom_common.h"
#include "builder/torsion_values.h"
#include "dictionary/descr_lookups.h"
#include "dictionary/l1_kernels.h"
#include "dictionary/ring_perception.h"
#include "foundation/messages.h"

using builder::geom::atom_type;
using builder::geom::begins;
using builder::geom::has_coords;
using builder::geom::is_metal_row;

namespace {

constexpr int kTab5[2][5] = {{0, 1, -1, 1, -1}, {0, -1, 1, -1, 1}};
constexpr int kTab6[9][6] = {{0, 1, -1, 0, 1, -1},  {0, -1, 1, 0, -1, 1},  {0, 0, 1, -1, 1, -1},
                             {0, 0, -1, 1, -1, 1},  {0, 1, 0, -1, 1, -1},  {0, -1, 0, 1, -1, 1},
                             {1, -1, 1, -1, 1, -1}, {-1, 1, -1, 1, -1, 1}, {0, 0, 0, 0, 0, 0}};

int cyc(int k, int nr) { return ((k - 1) % nr + nr) % nr + 1; }

// Into the range -5..6 of 30-degree steps.
int wrap12(int x) {
  while (x > 6) x -= 12;
  while (x < -5) x += 12;
  return x;
}

int template_value(int nr, int t, int pos) {
  return nr == 5 ? kTab5[t - 1][cyc(pos, 5) - 1] : kTab6[t - 1][cyc(pos, 6) - 1];
}

std::vector<int32_t> ring_atoms(int32_t iring) {
  const r_scratch_t& s = r_scratch;
  std::vector<int32_t> v;
  for (int a = 1; a <= s.l1a_natom; ++a)
    for (int k = 1; k <= std::min<int>(s.l1a_nring(a), MAX1BRN); ++k)
      if (s.l1a_ring_id(k, a) == iring) {
        v.push_back(a);
        break;
      }
  return v;
}

void get_ring_order_(int32_t iring, builder::RingRecord& r, int32_t& ierr) {
  std::vector<int32_t> left(r.iatom + 2, r.iatom + 1 + r.nr);
  (void)iring;
  for (int k = 2; k <= r.nr; ++k) {
    r.iatom[k] = 0;
    for (std::size_t m = 0; m < left.size(); ++m) {
      int32_t f = 0;
      check_atom_conn_(left[m], r.iatom[k - 1], f);
      if (f == 1) {
        r.iatom[k] = left[m];
        left.erase(left.begin() + static_cast<long>(m));
        break;
      }
    }
  }
  for (int i = 1; i <= r.nr; ++i) {
    float v = 0;
    int32_t lg = 0, st = 0;
    srch_angl_(99, "        ", r.iatom[i], r.iatom[cyc(i + 1, r.nr)], r.iatom[cyc(i + 2, r.nr)], v,
               lg, st);
    if (st != 0 || v < 10.0f || v > 170.0f) {
      ierr = 3;
      return;
    }
  }
}

// Outer atoms of torsion row t oriented so that t1 is bonded to a2, t4 to a3.
void outer_atoms(int t, int32_t a2, int32_t& t1, int32_t& t4) {
  const r_scratch_t& s = r_scratch;
  if (s.l1t_i2atm(t) == a2) {
    t1 = s.l1t_i1atm(t);
    t4 = s.l1t_i4atm(t);
  } else {
    t1 = s.l1t_i4atm(t);
    t4 = s.l1t_i1atm(t);
  }
}

void get_ring_tors_(builder::RingRecord& r) {
  r_scratch_t& s = r_scratch;
  const int nr = r.nr;
  for (int k = 1; k <= nr; ++k) {
    const int k1 = cyc(k + 1, nr);
    const int32_t a1 = r.iatom[cyc(k - 1, nr)], a2 = r.iatom[k], a3 = r.iatom[k1],
                  a4 = r.iatom[cyc(k + 2, nr)];
    r.nphi[k] = 0;
    r.iphi[k] = 9;
    int t = 0;
    for (int q = 1; q <= s.l1t_ntors; ++q)
      if ((s.l1t_i2atm(q) == a2 && s.l1t_i3atm(q) == a3) ||
          (s.l1t_i2atm(q) == a3 && s.l1t_i3atm(q) == a2)) {
        t = q;
        break;
      }
    r.nphi[k] = t;
    if (t == 0) continue;
    if (!(s.l1t_flag(t) == "C" || s.l1t_flag(t) == "D")) continue;
    if ((r.nch[k] > 0 && r.ichir[k] == 9) || (r.nch[k1] > 0 && r.ichir[k1] == 9)) continue;
    if (r.iconn[k] > 0 || r.iconn[k1] > 0) {
      r.iphi[k] = 0;
      continue;
    }
    s.l1t_flag(t) = "D";
    int32_t t1 = 0, t4 = 0;
    outer_atoms(t, a2, t1, t4);
    int32_t d1 = 0, d2 = 0, e1 = 0, e2 = 0;
    convert_tors_angle_(t1, a1, r.nch[k], r.iachir[k], r.ichir[k], d1, e1);
    convert_tors_angle_(t4, a4, r.nch[k1], r.iachir[k1], r.ichir[k1], d2, e2);
    if (e1 != 0 || e2 != 0) continue;
    d2 = wrap12(-d2);
    const float v = s.l1t_vobs(t);
    int q = static_cast<int>(std::fabs(v) / 30.0f + 0.5f);
    if (v < 0) q = -q;
    q = wrap12(q);
    s.l1t_vobs(t) = 30.0f * static_cast<float>(q);
    int m = wrap12(wrap12(q - d1) - d2) / 2;
    if (m == 3) m = 0;
    else if (m == 2) m = -1;
    else if (m == -2) m = 1;
    r.iphi[k] = m;
  }
}

void get_ring_bond_(builder::RingRecord& r, int32_t iring) {
  const r_scratch_t& s = r_scratch;
  const int nr = r.nr;
  for (int k = 1; k <= nr; ++k) {
    const int k1 = cyc(k + 1, nr);
    const int32_t a1 = r.iatom[cyc(k - 1, nr)], a2 = r.iatom[k], a3 = r.iatom[k1],
                  a4 = r.iatom[cyc(k + 2, nr)];
    r.ibond[k] = 0;
    bool done = false;
    for (int q = 1; q <= std::min<int>(s.l1a_nring(a2), MAX1BRN) && !done; ++q) {
      const int32_t p = s.l1a_ring_id(q, a2);
      if (p == iring || p <= 0 || !dictionary::atom_in_ring(a3, p)) continue;
      const std::vector<int32_t> atoms = ring_atoms(p);
      int32_t fa = 0, fb = 0;
      for (int32_t a : atoms) {
        if (a == a1 || a == a2 || a == a3) continue;
        int32_t f = 0;
        check_atom_conn_(a2, a, f);
        if (f == 1) {
          fa = a;
          break;
        }
      }
      for (int32_t b : atoms) {
        if (b == fa || b == a2 || b == a3 || b == a4) continue;
        int32_t f = 0;
        check_atom_conn_(a3, b, f);
        if (f == 1) {
          fb = b;
          break;
        }
      }
      if (fa == 0 || fb == 0) continue;
      int32_t flat = 0;
      check_ring_is_plan_(p, flat);
      if (flat != 2) continue;
      const int first = (r.nch[k] > 0 && fa > 0 && r.iachir[k] != fa) ? 20 : 10;
      const int second = (r.nch[k1] > 0 && fb > 0 && r.iachir[k1] != fb) ? 2 : 1;
      r.ibond[k] = 200 + first + second;
      done = true;
    }
  }
}

// Adds the torsions the ring bonds lack; false when the table is full.
bool add_missing_torsions(int32_t mdoc, builder::RingRecord& r, bool flat, int32_t& ierr) {
  r_scratch_t& s = r_scratch;
  const int nr = r.nr;
  for (int k = 1; k <= nr; ++k) {
    if (r.nphi[k] >= 1) continue;
    const int k1 = cyc(k + 1, nr);
    const int32_t a1 = r.iatom[cyc(k - 1, nr)], a2 = r.iatom[k], a3 = r.iatom[k1],
                  a4 = r.iatom[cyc(k + 2, nr)];
    msgerr_(mdoc, " WARNING: in TORSION_CORRECTION: missing tors.:" + s.l1a_aname(a2).str() +
                      " - " + s.l1a_aname(a3).str());
    int32_t nv = 0, nc = 0;
    const int before = s.l1t_ntors;
    set_vtors_(mdoc, a1, a2, a3, a4, nv, nc, ierr);
    if (ierr != 0) return false;
    if (s.l1t_ntors == before) continue;
    const int t = s.l1t_ntors;
    r.nphi[k] = t;
    r.iphi[k] = 9;
    if (flat) {
      s.l1t_vobs(t) = 0.0f;
      if (r.iconn[k] > 0 || r.iconn[k1] > 0) s.l1t_val(t) = 0.0f;
    }
  }
  return true;
}

void tors_to_list_(int32_t mdoc, builder::RingRecord& r) {
  r_scratch_t& s = r_scratch;
  const int nr = r.nr;
  for (int k = 1; k <= nr; ++k) {
    const int k1 = cyc(k + 1, nr);
    const int32_t a1 = r.iatom[cyc(k - 1, nr)], a2 = r.iatom[k], a3 = r.iatom[k1],
                  a4 = r.iatom[cyc(k + 2, nr)];
    const int t = r.nphi[k];
    if (t < 1 || t > s.l1t_ntors) continue;
    if (!((s.l1t_i2atm(t) == a2 && s.l1t_i3atm(t) == a3) ||
          (s.l1t_i2atm(t) == a3 && s.l1t_i3atm(t) == a2)))
      continue;
    if (s.l1t_flag(t) == "D" || r.iconn[k] > 0 || r.iconn[k1] > 0) continue;
    int32_t t1 = 0, t4 = 0;
    outer_atoms(t, a2, t1, t4);
    int32_t d1 = 0, d2 = 0, e1 = 0, e2 = 0;
    convert_tors_angle_(t1, a1, r.nch[k], r.iachir[k], r.ichir[k], d1, e1);
    convert_tors_angle_(t4, a4, r.nch[k1], r.iachir[k1], r.ichir[k1], d2, e2);
    if (e1 != 0 || e2 != 0)
      msgerr_(mdoc, " WARNING: in TORSION_CORRECTION: not all chir. are defined");
    d2 = wrap12(-d2);
    int h = 2 * r.iphi[k];
    if (h == 4) h = 1;
    else if (h == -4) h = -1;
    else if (h == -6) h = 6;
    int p = wrap12(h + d1);
    p = wrap12(p + d2);
    s.l1t_vobs(t) = 30.0f * static_cast<float>(p);
    s.l1t_flag(t) = "D";
  }
}

void set_plan_tors_(int32_t mdoc, builder::RingRecord& r, int32_t iring, char list, int32_t& ierr) {
  const int nr = r.nr;
  if (!add_missing_torsions(mdoc, r, true, ierr)) return;
  for (int k = 1; k <= nr; ++k) {
    if (r.ibond[k] <= 0) continue;
    const int k1 = cyc(k + 1, nr);
    int32_t s2 = 0, s3 = 0;
    get_correct_chir_(r.ichir[k], r.ichir[k1], r.ibond[k], s2, s3);
    if (r.iphi[k] == 9) {
      r.iphi[k] = 0;
      if (r.nch[k] == 0 || r.nch[k1] == 0) {
        const int k2 = cyc(k + 2, nr), km = cyc(k - 1, nr);
        if (s2 == 0 && s3 == 9 && r.ibond[k1] > 0) {
          if (r.ichir[k2] >= 0 && r.ichir[k2] != 9) s3 = 1;
          else if (r.ichir[k2] == -1) s3 = -1;
        } else if (s2 == 9 && s3 == 0 && r.ibond[km] > 0) {
          if (r.ichir[km] > 0 && r.ichir[km] != 9) s2 = 1;
          else if (r.ichir[km] == -1) s2 = -1;
        }
      } else {
        if (s2 == 9) {
          if (s3 == 1 || s3 == -1) {
            s2 = s3;
          } else {
            s2 = s3 = 1;
          }
        }
        if (s3 == 9 && s2 == 1) s3 = 1;
      }
    }
    set_correct_chir_(s2, s3, r.ibond[k], r.ichir[k], r.ichir[k1]);
  }
  for (int k = 1; k <= nr; ++k) {
    if (r.ibond[k] > 0) continue;
    if (r.ichir[k] == 9) r.ichir[k] = r.ichir[cyc(k + 1, nr)] == 1 ? -1 : 1;
    if (r.iphi[k] == 9 && r.nphi[k] > 0) r.iphi[k] = 0;
  }
  chir_to_list_(mdoc, iring, r, list, ierr);
  tors_to_list_(mdoc, r);
}

void set_ring_tors_(int32_t mdoc, builder::RingRecord& r, int32_t iring, char list, int32_t& ierr) {
  const int nr = r.nr;
  if (!add_missing_torsions(mdoc, r, false, ierr)) return;
  int32_t ps[7], nps[7], frame[7] = {};
  for (int k = 1; k <= nr; ++k) {
    ps[k] = r.iphi[k];
    nps[k] = 9;
    if (r.iphi[k] != 9) continue;
    int32_t s2 = 0, s3 = 0;
    get_correct_chir_(r.ichir[k], r.ichir[cyc(k + 1, nr)], r.ibond[k], s2, s3);
    const bool a = (s2 == -1 && s3 == 0) || (s2 == -1 && s3 == 1) || (s2 == 0 && s3 == 1);
    if (r.ibond[k] < 100) {
      if (a) ps[k] = 0, nps[k] = -1;
    } else {
      // Fused bonds with the pairs (0,0), (+1,-1), (+1,+1) stay unconstrained.
      if (a || (s2 == -1 && s3 == -1)) {
        ps[k] = 0, nps[k] = -1;
      } else if ((s2 == 0 && s3 == -1) || (s2 == 1 && s3 == 0)) {
        nps[k] = 0;
      }
    }
  }
  int32_t score = 0, tbest = 0;
  get_frame_(nr, ps + 1, nps + 1, frame + 1, score, tbest);
  auto sweep = [&](auto&& change) {
    for (int k = 1; k <= nr; ++k) {
      if (r.ibond[k] <= 0 || r.nphi[k] <= 0) continue;
      const int k1 = cyc(k + 1, nr);
      int32_t s2 = 0, s3 = 0;
      get_correct_chir_(r.ichir[k], r.ichir[k1], r.ibond[k], s2, s3);
      change(k, s2, s3);
      set_correct_chir_(s2, s3, r.ibond[k], r.ichir[k], r.ichir[k1]);
    }
  };
  sweep([&](int k, int32_t& s2, int32_t& s3) {
    if (r.iphi[k] == 9 && frame[k] == 1) {
      if (s2 == 9) s2 = -1;
      if (s3 == 9) s3 = 1;
    }
  });
  sweep([&](int k, int32_t& s2, int32_t& s3) {
    if (r.iphi[k] == 9 && frame[k] == -1) {
      if (s2 == 9) s2 = 1;
      if (s3 == 9) s3 = -1;
    }
  });
  sweep([&](int k, int32_t& s2, int32_t& s3) {
    if (r.iphi[k] != 9) return;
    r.iphi[k] = frame[k];
    if (frame[k] != 0) return;
    if (s2 == 9) {
      if (s3 == -1) {
        s2 = -1;
      } else if (s3 == 9) {
        s2 = s3 = 1;
      } else {
        s2 = 1;
      }
    } else if (s3 == 9) {
      s3 = s2 == -1 ? -1 : 1;
    }
  });
  const bool six_flat_ends = nr == 6 && (tbest == 5 || tbest == 6);
  const bool five_env = nr == 5 && (tbest == 1 || tbest == 2);
  for (int k = 1; k <= nr; ++k) {
    if (r.ibond[k] > 0) continue;
    const int k1 = cyc(k + 1, nr), km = cyc(k - 1, nr);
    if (r.ichir[k] == 9) r.ichir[k] = r.ichir[k1] == 1 ? -1 : 1;
    if (r.nphi[k] > 0 && r.iphi[k] == 9) {
      r.iphi[k] = frame[k];
      if ((six_flat_ends && frame[k1] == 0) || (five_env && (frame[km] == 0 || frame[k1] == 0)))
        r.iphi[k] = frame[k] >= 0 ? 2 : -2;
    }
  }
  chir_to_list_(mdoc, iring, r, list, ierr);
  tors_to_list_(mdoc, r);
}

}  // namespace

void check_atom_conn_(int32_t ia1, int32_t ia2, int32_t& iflag) {
  const r_scratch_t& s = r_scratch;
  iflag = 0;
  if (ia1 < 1 || ia2 < 1) return;
  if (s.l1a_iback(ia2) == ia1) {
    iflag = 1;
    return;
  }
  for (int k = 1; k <= std::min<int>(s.l1a_ndist(ia2), MAX1BRN); ++k)
    if (s.l1a_conn(k, ia2) == ia1) {
      iflag = 1;
      return;
    }
  for (int k = 1; k <= std::min<int>(s.l1a_nextr(ia2), MAX1EXT); ++k)
    if (s.l1a_iextr(k, ia2) == ia1) {
      iflag = 1;
      return;
    }
}

void check_ring_is_plan_(int32_t iring, int32_t& iflagp) {
  const r_scratch_t& s = r_scratch;
  iflagp = 0;
  const std::vector<int32_t> atoms = ring_atoms(iring);
  if (atoms.size() >= 4) {
    for (int p = 1; p <= s.l1p_nplan; ++p) {
      bool all = true;
      for (int32_t a : atoms) {
        bool in = false;
        for (int q = 1; q <= s.l1p_natom(p); ++q)
          if (s.l1p_atom(q, p) == s.l1a_aname(a)) {
            in = true;
            break;
          }
        if (!in) {
          all = false;
          break;
        }
      }
      if (all) {
        iflagp = 2;
        return;
      }
    }
  }
  int nsp2 = 0;
  for (int32_t a : atoms) {
    const builder::geom::Name t = atom_type(a);
    for (int e = 1; e <= s.lea_natom; ++e)
      if (s.lea_aname(e) == t) {
        if (s.lea_sp(e) == 2) ++nsp2;
        break;
      }
  }
  const std::size_t n = atoms.size();
  if ((n == 6 && nsp2 >= 5) || (n == 5 && nsp2 >= 3)) iflagp = 1;
}

void convert_tors_angle_(int32_t it, int32_t ia, int32_t nch, int32_t iachir, int32_t ichir,
                         int32_t& id, int32_t& ierr) {
  id = 0;
  ierr = 0;
  if (it == ia) return;
  id = 6;
  if (nch == 0) return;
  const bool other = iachir != it;
  if (ichir == 9) {
    ierr = 1;
    id = other ? 4 : -4;
  } else if (ichir == 1) {
    id = other ? 4 : -4;
  } else if (ichir == -1) {
    id = other ? -4 : 4;
  }
}

void get_frame_(int32_t nr, const int32_t* iframe_ps, const int32_t* iframe_nps, int32_t* iframe,
                int32_t& iscore, int32_t& itbest) {
  const int ntab = nr == 5 ? 2 : 9;
  int best = 10000, bt = 0, bs = 0;
  for (int t = 1; t <= ntab; ++t)
    for (int st = 1; st <= nr; ++st) {
      int sc = 0;
      for (int k = 1; k <= nr; ++k) {
        const int v = template_value(nr, t, st + k - 1);
        if (iframe_ps[k - 1] != 9 && iframe_ps[k - 1] != v) ++sc;
        if (iframe_nps[k - 1] != 9 && iframe_nps[k - 1] == v) ++sc;
      }
      if (sc < best) {
        best = sc;
        bt = t;
        bs = st;
      }
    }
  iscore = best;
  itbest = bt;
  for (int k = 1; k <= nr; ++k) iframe[k - 1] = bt > 0 ? template_value(nr, bt, bs + k - 1) : 0;
}

void get_ring_(int32_t mdoc, int32_t iring, builder::RingRecord& r, char /*list*/, int32_t& ierr) {
  ierr = 0;
  r = builder::RingRecord{};
  const std::vector<int32_t> atoms = ring_atoms(iring);
  const int n = static_cast<int>(atoms.size());
  if (n != 5 && n != 6) {
    ierr = 1;
    return;
  }
  r.nr = n;
  for (int k = 1; k <= n; ++k) r.iatom[k] = atoms[k - 1];
  get_ring_order_(iring, r, ierr);
  if (ierr != 0) return;
  int32_t flat = 0;
  check_ring_is_plan_(iring, flat);
  r.iflat = flat > 0 ? flat : 0;
  builder::RingRecord chir = r;
  get_ring_chir_(mdoc, iring, chir, ierr);
  const int32_t own = chir.iflat;
  chir.iflat = r.iflat;
  if (own > 0 && chir.iflat < 1) chir.iflat = own;
  r = chir;
  if (ierr != 0) return;
  get_ring_tors_(r);
  get_ring_bond_(r, iring);
}

void torsion_correction_(int32_t mdoc, char list, int32_t nringt, int32_t& ierr) {
  r_scratch_t& s = r_scratch;
  ierr = 0;
  if (s.l1a_natom < 4 || s.l1t_ntors <= 0) return;
  for (int c = 1; c <= s.l1c_nchir; ++c) {
    if (is_metal_row(s.l1c_sign(c))) {
      s.l1c_flag(c) = "X";
      continue;
    }
    if (!(s.l1c_flag(c) == "N")) continue;
    const char expect = begins(s.l1c_sign(c).view(), "pos")   ? 'R'
                        : begins(s.l1c_sign(c).view(), "neg") ? 'L'
                                                              : 'B';
    float vol = 0;
    int32_t st = 0;
    calc_ovol_(c, vol, st);
    const char got = st == 0 ? (vol >= 0 ? 'R' : 'L') : expect;
    s.l1c_flag(c) = std::string_view(&got, 1);
    if (expect != 'B' && expect != got) {
      msgerr_(mdoc, " WARNING: in TORSION_CORRECTION: problem with chir:" + s.l1c_1atm(c).str());
      msgerr_(mdoc, std::string(10, ' ') + "user chiralities<->from coords (accepted)");
    }
  }
  if (nringt <= 0) return;
  {
    std::vector<int32_t> order, score;
    bool gave_up = false;
    builder::RingRecord r;
    for (int ring = 1; ring <= nringt && order.size() < 200; ++ring) {
      get_ring_(mdoc, ring, r, list, ierr);
      if (ierr == 2) {
        msgerr_(mdoc, " WARNING: not possible to do Torsion Correction");
        ierr = 0;
        gave_up = true;
        break;
      }
      if (ierr != 0) {
        ierr = 0;
        continue;
      }
      int nfused = 0;
      for (int k = 1; k <= r.nr; ++k)
        if (r.ibond[k] > 0) ++nfused;
      int weight;
      if (r.iflat == 2) weight = 10000;
      else if (r.iflat == 1) weight = r.nr == 6 ? 1000 : 100;
      else weight = r.nr == 6 ? 10 : 1;
      order.push_back(ring);
      score.push_back((1 + nfused) * weight);
    }
    if (!gave_up && order.empty()) msgerr_(mdoc, " WARNING: all rings are not 5 or 6 order");
    if (!gave_up && !order.empty()) {
      const std::size_t n = order.size();
      for (std::size_t i = 0; i + 1 < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j)
          if (score[i] < score[j]) {
            std::swap(score[i], score[j]);
            std::swap(order[i], order[j]);
          }
      for (int pass = 0; pass < 2; ++pass)
        for (int32_t ring : order) {
          int32_t st = 0;
          get_ring_(mdoc, ring, r, list, st);
          if (st != 0) continue;
          const bool flat = r.iflat > 0;
          if (pass == 0 && flat) set_plan_tors_(mdoc, r, ring, list, ierr);
          if (pass == 1 && !flat) set_ring_tors_(mdoc, r, ring, list, ierr);
          if (ierr != 0) return;
        }
    }
  }
  for (int t = 1; t <= s.l1t_ntors; ++t) {
    if (!(s.l1t_flag(t) == "D")) continue;
    s.l1t_val(t) = s.l1t_vobs(t);
    const int32_t a[4] = {s.l1t_i1atm(t), s.l1t_i2atm(t), s.l1t_i3atm(t), s.l1t_i4atm(t)};
    if (a[0] > 0 && a[1] > 0 && a[2] > 0 && a[3] > 0 && has_coords(a[0]) && has_coords(a[1]) &&
        has_coords(a[2]) && has_coords(a[3])) {
      float v = 0;
      calc_trsobs_(a[0], a[1], a[2], a[3], v);
      s.l1t_vobs(t) = v;
    }
  }
}
