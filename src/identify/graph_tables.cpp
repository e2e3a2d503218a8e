// Distance tables, neighbour vectors, candidate lists and the greedy
// assignment of the graph comparison.  The distances come from a
// breadth-first walk from every atom, cut at 8 bonds: it gives the same
// shortest paths as enumerating simple paths, without the cost of that
// enumeration in fused ring systems.
#include "identify/graph_tables.h"

#include <algorithm>
#include <cstdlib>

#include "identify/mtc_atom.h"

namespace {

// One side of the comparison: its atom count, classes, vectors and triangle.
struct Side {
  bool lib;
  int n() const { return lib ? mtc_atom.mt_nl : mtc_atom.mt_nc; }
  int32_t& dist(int a, int b) const {
    return lib ? mtc_atom.mt_dist(std::max(a, b), std::min(a, b))
               : mtc_atom.mt_dist(std::min(a, b), std::max(a, b));
  }
  int32_t cls(int a) const { return lib ? mtc_atom.mt_cls_l(a) : mtc_atom.mt_cls_c(a); }
  int32_t& vec(int a, int d, int k) const {
    return lib ? mtc_atom.mt_vec_l(a, d, k) : mtc_atom.mt_vec_c(a, d, k);
  }
  int32_t& cnt(int d) const { return lib ? mtc_atom.mt_cnt_l(d) : mtc_atom.mt_cnt_c(d); }
};

// Adjacency of one side and the breadth-first work arrays; static because a
// side holds up to 300 atoms and a comparison runs for every residue.
struct Walk {
  rt::Array1<int16_t, MXGATM * MXGATM> adj;
  rt::Array1<int32_t, MXGATM> nadj;
  rt::Array1<int32_t, MXGATM> level;
  rt::Array1<int32_t, MXGATM> queue;
};
Walk walk;

void tabconn(const Side& s) {
  const int n = s.n();
  if (n < 1) return;
  for (int a = 1; a <= n; ++a) {
    walk.nadj(a) = 0;
    for (int b = 1; b <= n; ++b)
      if (b != a && s.dist(a, b) == 1) walk.adj((a - 1) * MXGATM + ++walk.nadj(a)) = static_cast<int16_t>(b);
  }
  for (int a1 = 1; a1 <= n; ++a1) {
    for (int v = 1; v <= n; ++v) walk.level(v) = -1;
    walk.level(a1) = 0;
    int head = 1, tail = 0;
    walk.queue(++tail) = a1;
    while (head <= tail) {
      const int v = walk.queue(head++);
      const int d = walk.level(v);
      if (d >= MXGDIST) continue;
      for (int e = 1; e <= walk.nadj(v); ++e) {
        const int w = walk.adj((v - 1) * MXGATM + e);
        if (walk.level(w) >= 0) continue;
        walk.level(w) = d + 1;
        walk.queue(++tail) = w;
        // Bonds (entries 1) are never rewritten; longer paths only shorten.
        int32_t& cell = s.dist(a1, w);
        if (d + 1 >= 2 && (cell == 0 || cell > d + 1)) cell = d + 1;
      }
    }
  }
}

// Code of a bonded class pair: CC 1, CN 2, CO 3, NN 4, NO 5, OO 6; 0 when a
// class-4 atom takes part.
int pair_code(int ci, int cj) {
  if (ci < 1 || ci > 3 || cj < 1 || cj > 3) return 0;
  const int lo = std::min(ci, cj), hi = std::max(ci, cj);
  static constexpr int code[3][3] = {{1, 2, 3}, {0, 4, 5}, {0, 0, 6}};
  return code[lo - 1][hi - 1];
}

void vectors(const Side& s, rt::Array1<int32_t, 8>& ipair) {
  const int n = s.n();
  for (int i = 1; i <= n; ++i)
    for (int d = 1; d <= MXGDIST; ++d)
      for (int k = 1; k <= MXGCLS; ++k) s.vec(i, d, k) = 0;
  const int dmax = std::min(n, MXGDIST);
  if (n < 1) return;
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      if (j == i) continue;
      const int d = s.dist(i, j);
      const int k = s.cls(j);
      if (d < 1 || d > dmax || k < 1 || k > MXGCLS) continue;
      ++s.vec(i, d, k);
      ++s.cnt(d);
      if (d == 1) {
        const int p = pair_code(s.cls(i), k);
        if (p > 0) ++ipair(p);
      }
    }
  }
}

int residue_dist(int a, int b) { return mtc_atom.mt_dist(std::min(a, b), std::max(a, b)); }
int library_dist(int a, int b) { return mtc_atom.mt_dist(std::max(a, b), std::min(a, b)); }

}  // namespace

void set_tabconn_c_() { tabconn(Side{false}); }
void set_tabconn_l_() { tabconn(Side{true}); }
void set_vector_c_(rt::Array1<int32_t, 8>& ipair1) { vectors(Side{false}, ipair1); }
void set_vector_l_(rt::Array1<int32_t, 8>& ipair2) { vectors(Side{true}, ipair2); }

void comp_vector_() {
  mtc_atom_t& mt = mtc_atom;
  int idel = std::abs(mt.mt_nl - mt.mt_nc);
  if (mt.mt_nl < 5 && idel > 0) {
    idel = 1;
  } else if (mt.mt_nl < 10 && idel > 1) {
    idel = 2;
  } else if (idel > 10) {
    idel = 10;
  }
  if (mt.mt_nc < 1) return;
  for (int i = 1; i <= mt.mt_nc; ++i) mt.mt_cand(i, 0) = 0;
  if (mt.mt_nl < 1) return;
  for (int i = 1; i <= mt.mt_nc; ++i) {
    for (int j = 1; j <= mt.mt_nl; ++j) {
      if (mt.mt_cls_c(i) != mt.mt_cls_l(j)) continue;
      int s = 0;
      for (int k = 1; k <= MXGCLS; ++k)
        for (int d = 1; d <= MXGDIST; ++d) s += std::abs(mt.mt_vec_c(i, d, k) - mt.mt_vec_l(j, d, k));
      if (s > idel) continue;
      const int n = ++mt.mt_cand(i, 0);
      mt.mt_cand(n, i) = j;
      mt.mt_cdist(n, i) = s;
    }
  }
}

void check_equiv_(int32_t /*mdoc*/, int32_t& n_new, int32_t& iflag, int32_t& iscore, int32_t& ierr) {
  mtc_atom_t& mt = mtc_atom;
  iflag = 0;
  ierr = 0;
  const int n_old = n_new;
  int imin = 0, nmin = 0, isel = 0;
  for (int i = 1; i <= mt.mt_nc; ++i) {
    if (mt.mt_corr(i) != 0) continue;
    const int nc = mt.mt_cand(i, 0);
    if (nc == 0) {
      ierr = 3;
      return;
    }
    if (imin == 0 || nc < nmin) {
      imin = i;
      nmin = nc;
    }
    if (nc != 1) continue;
    if (isel == 0 || mt.mt_cdist(1, i) < mt.mt_cdist(1, isel) ||
        (mt.mt_cdist(1, i) == mt.mt_cdist(1, isel) && mt.mt_cname(i) == mt.mt_lname(mt.mt_cand(1, i))))
      isel = i;
  }
  int jnew = 0;
  if (isel > 0) {
    jnew = mt.mt_cand(1, isel);
    mt.mt_corr(isel) = jnew;
    iscore += mt.mt_cdist(1, isel);
  } else if (imin > 0) {
    const int i = imin;
    int best = 1000, best_sum = 100000, nbest = 0;
    for (int n = 1; n <= mt.mt_cand(i, 0); ++n) {
      const int j = mt.mt_cand(n, i);
      const int s = mt.mt_cdist(n, i);
      const bool same_name = mt.mt_cname(i) == mt.mt_lname(j);
      if (n_old > 0) {
        if (s > best) continue;
        int t = 0;
        for (int m = 1; m <= n_old; ++m) {
          const int a = mt.mt_cls_c(m);
          t += std::abs(residue_dist(i, a) - library_dist(j, mt.mt_corr(a)));
        }
        if (s < best || t < best_sum || (t == best_sum && same_name)) {
          best = s;
          best_sum = t;
          nbest = n;
        }
      } else if (s < best || (s == best && same_name)) {
        best = s;
        nbest = n;
      }
    }
    jnew = mt.mt_cand(nbest, i);
    mt.mt_corr(i) = jnew;
    iscore += best;
  }
  // A library atom claimed twice means the lists were inconsistent.
  static rt::Array1<int32_t, MXGATM> owner;
  for (int j = 1; j <= mt.mt_nl; ++j) owner(j) = 0;
  for (int i = 1; i <= mt.mt_nc; ++i) {
    const int j = mt.mt_corr(i);
    if (j == 0) continue;
    if (owner(j) != 0) {
      ierr = 4;
      return;
    }
    owner(j) = i;
  }
  n_new = 0;
  for (int i = 1; i <= mt.mt_nc; ++i) {
    if (mt.mt_corr(i) == 0) {
      int& count = mt.mt_cand(i, 0);
      int kept = 0;
      for (int n = 1; n <= count; ++n) {
        if (mt.mt_cand(n, i) == jnew) continue;
        ++kept;
        mt.mt_cand(kept, i) = mt.mt_cand(n, i);
        mt.mt_cdist(kept, i) = mt.mt_cdist(n, i);
      }
      count = kept;
    } else {
      mt.mt_cls_c(++n_new) = i;
    }
  }
  if (n_new > n_old) iflag = 1;
}
