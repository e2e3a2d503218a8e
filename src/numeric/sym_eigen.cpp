// Symmetric and tridiagonal eigen-solvers.  Everything works in the caller's
// arrays: the reflector vectors live in q, the intermediate vector in e, and
// the eigenpairs are reordered cycle by cycle through one spare column.
#include "numeric/sym_eigen.h"

#include <algorithm>
#include <cmath>

#include "runtime/format.h"

namespace {

// Square roots of the single-precision members are taken in double
// precision and rounded once.
inline float root(float v) { return static_cast<float>(std::sqrt(static_cast<double>(v))); }
inline double root(double v) { return std::sqrt(v); }

template <typename T>
struct Mat {
  T* p;
  long ld;
  T& operator()(int32_t i, int32_t j) const { return p[(i - 1) + (j - 1) * ld]; }
};

// A vector addressed from 1.
template <typename T>
struct One {
  T* p;
  T& operator[](int32_t i) const { return p[i - 1]; }
};

template <typename T>
void tred(int32_t m, int32_t n, T* d0, T* q, T* e0) {
  const Mat<T> A{q, m};
  const One<T> d{d0}, e{e0};
  for (int32_t i = n; i >= 3; --i) {
    const int32_t l = i - 1;
    T h = 0;
    for (int32_t k = 1; k <= l; ++k) h += A(k, i) * A(k, i);
    const T f = A(l, i);
    T g = root(h);
    if (f > 0) g = -g;
    const T hh = h - f * g;
    if (!(hh > 0)) {
      // A zero column: this step's reflector is the identity.
      for (int32_t k = 1; k <= l; ++k) A(k, i) = 0;
      e[l] = g;
      continue;
    }
    // u (sum of squares 2) replaces x in column i; p goes to e(1..l).
    const T rs = root(hh);
    for (int32_t k = 1; k < l; ++k) A(k, i) = A(k, i) / rs;
    A(l, i) = (f - g) / rs;
    const One<T> u{&A(1, i)};
    for (int32_t j = 1; j <= l; ++j) {
      T s = 0;
      const One<T> col{&A(1, j)};
      for (int32_t k = 1; k <= l; ++k) s += col[k] * u[k];
      e[j] = s;
    }
    T kk = 0;
    for (int32_t k = 1; k <= l; ++k) kk += u[k] * e[k];
    kk = kk / 2;
    for (int32_t j = 1; j <= l; ++j) e[j] -= kk * u[j];
    // The same sum of two products for (k, j) and (j, k): the block stays
    // exactly symmetric.
    for (int32_t j = 1; j <= l; ++j) {
      const One<T> col{&A(1, j)};
      const T pj = e[j], uj = u[j];
      for (int32_t k = 1; k <= l; ++k) col[k] -= u[k] * pj + e[k] * uj;
    }
    e[l] = g;
  }
  for (int32_t k = 1; k <= n; ++k) d[k] = A(k, k);
  if (n >= 2) e[1] = A(1, 2);
  e[n] = 0;
  // Q = P(n) ... P(3), built from the leading corner outwards.  Each
  // reflector moves one column to the left first, so that the column it
  // builds is its own.
  for (int32_t i = 3; i <= n; ++i)
    for (int32_t k = 1; k <= i - 1; ++k) A(k, i - 1) = A(k, i);
  A(1, 1) = 1;
  for (int32_t j = 2; j <= n - 1; ++j) {
    const One<T> u{&A(1, j)};
    for (int32_t c = 1; c <= j - 1; ++c) {
      const One<T> col{&A(1, c)};
      T s = 0;
      for (int32_t k = 1; k <= j - 1; ++k) s += u[k] * col[k];
      for (int32_t k = 1; k <= j - 1; ++k) col[k] -= u[k] * s;
      col[j] = -u[j] * s;
    }
    const T uj = u[j];
    for (int32_t k = 1; k <= j - 1; ++k) A(k, j) = -A(k, j) * uj;
    A(j, j) = 1 - uj * uj;
  }
  for (int32_t c = 1; c <= n - 1; ++c) {
    A(n, c) = 0;
    A(c, n) = 0;
  }
  A(n, n) = 1;
}

template <typename T>
bool negligible(const One<T>& d, const One<T>& e, int32_t k) {
  const T dd = std::fabs(d[k]) + std::fabs(d[k + 1]);
  const volatile T sum = std::fabs(e[k]) + dd;
  return sum == dd;
}

template <typename T>
void tqli(int32_t m, int32_t n, T* d0, T* q, T* e0, int32_t& info) {
  const Mat<T> Z{q, m};
  const One<T> d{d0}, e{e0};
  const long ncy = 4L * n * n;
  long icy = 0;
  bool spent = false;
  int32_t l = 1;
  for (; l <= n - 1; ++l) {
    if (spent) break;
    for (;;) {
      int32_t mm = l;
      while (mm < n && !negligible(d, e, mm)) ++mm;
      if (mm == l) break;
      // Shift: the larger eigenvalue of the leading 2 x 2 block.
      const T half_diff = (d[l] - d[l + 1]) / 2;
      const T mu = (d[l] + d[l + 1]) / 2 + root(half_diff * half_diff + e[l] * e[l]);
      T g = d[mm] - mu, p = d[mm], c = 1, s = 1;
      for (int32_t i = mm - 1; i >= l; --i) {
        const T f = c * e[i], b = s * e[i];
        const T r = root(b * b + g * g);
        e[i + 1] = r;
        if (r == 0) {
          c = 1;
          s = 0;
        } else {
          c = g / r;
          s = b / r;
        }
        const T alpha = (d[i] + p) / 2, beta = (d[i] - p) / 2;
        const T sigma = 2 * c * s, kappa = c * c - s * s;
        d[i + 1] = alpha - beta * kappa + f * sigma;
        g = beta * sigma + f * kappa;
        p = alpha + beta * kappa - f * sigma;
        T* zi = &Z(1, i);
        T* zi1 = &Z(1, i + 1);
        for (int32_t k = 0; k < n; ++k) {
          const T a = zi[k], bb = zi1[k];
          zi[k] = c * a - s * bb;
          zi1[k] = s * a + c * bb;
        }
      }
      d[l] = p;
      e[l] = g;
      e[mm] = 0;
      icy += mm - l;
      if (icy >= ncy) {
        spent = true;
        break;
      }
    }
  }
  info = n - l;
  // The loop steps past the index in progress when the budget runs out; on
  // the last index that would read as success although its block may not
  // have converged.
  if (spent && info == 0 && n >= 2 && !negligible(d, e, n - 1)) info = 1;
}

template <typename T>
void diff(int32_t nc, int32_t* c0, const T* r0) {
  const One<int32_t> c{c0}, buf{c0 + nc};
  const One<const T> r{r0};
  for (int32_t k = 1; k <= nc; ++k) c[k] = k;
  for (int32_t w = 1; w < nc; w *= 2) {
    int32_t out = 1;
    for (int32_t lo = 1; lo <= nc; lo += 2 * w) {
      const int32_t mid = std::min(lo + w, nc + 1), hi = std::min(lo + 2 * w, nc + 1);
      int32_t i = lo, j = mid;
      // The right run wins only when strictly smaller: equal values keep
      // their order.
      while (i < mid && j < hi) buf[out++] = r[c[j]] < r[c[i]] ? c[j++] : c[i++];
      while (i < mid) buf[out++] = c[i++];
      while (j < hi) buf[out++] = c[j++];
    }
    for (int32_t k = 1; k <= nc; ++k) c[k] = buf[k];
  }
  for (int32_t k = 1; k <= nc; ++k) buf[k] = c[k];
}

template <typename T>
void move(int32_t nc, int32_t* c0, int32_t mr, int32_t nr, T* r, T* r0) {
  const One<int32_t> c{c0};
  auto col = [&](int32_t k) { return r + static_cast<long>(k - 1) * mr; };
  for (int32_t k0 = 1; k0 <= nc; ++k0) {
    if (c[k0] == k0) continue;
    std::copy(col(k0), col(k0) + nr, r0);
    int32_t k = k0;
    for (;;) {
      const int32_t src = c[k];
      c[k] = k;
      if (src == k0) {
        std::copy(r0, r0 + nr, col(k));
        break;
      }
      std::copy(col(src), col(src) + nr, col(k));
      k = src;
    }
  }
}

// The ordering index and eigenvalue temporary of the full-matrix drivers.
struct SyevOrder {
  int32_t c[2 * numeric::SYEV_MO_NMAX];
};
SyevOrder dsyev_order, ssyev_order;
double dsyev_temp;
float ssyev_temp;

template <typename T>
void syev(char ch2, int32_t n, T* q, int32_t m, T* d, T* e, int32_t me, int32_t& info, int32_t* c,
          T& temp) {
  info = 0;
  if (me < n || n > numeric::SYEV_MO_NMAX) {
    info = -8;
  } else if (ch2 != 'U' && ch2 != 'L') {
    info = -2;
  } else if (n < 0) {
    info = -3;
  }
  if (info != 0 || n == 0) return;
  const Mat<T> A{q, m};
  for (int32_t i = 1; i <= n; ++i)
    for (int32_t k = 1; k <= n; ++k)
      if ((ch2 == 'U' && k > i) || (ch2 == 'L' && k < i)) A(k, i) = A(i, k);
  tred(m, n, d, q, e);
  tqli(m, n, d, q, e, info);
  if (info != 0) return;
  diff(n, c, d);
  move(n, c, m, n, q, e);
  diff(n, c, d);
  move(n, c, 1, 1, d, &temp);
}

template <typename T>
void stevd(char ch3, int32_t n, T* d, T* e, T* q, int32_t m, int32_t* c, int32_t mc,
           int32_t& info) {
  info = 0;
  if (mc < 2 * n) {
    info = -10;
  } else if (n < 0) {
    info = -2;
  }
  if (info != 0 || n == 0) return;
  if (ch3 != '@') {
    const Mat<T> Z{q, m};
    for (int32_t j = 1; j <= n; ++j)
      for (int32_t i = 1; i <= n; ++i) Z(i, j) = i == j ? T(1) : T(0);
  }
  tqli(m, n, d, q, e, info);
  if (info != 0) return;
  diff(n, c, d);
  move(n, c, m, n, q, e);
  diff(n, c, d);
  T temp;
  move(n, c, 1, 1, d, &temp);
}

}  // namespace

void q3qd_tred_double_(int32_t m, int32_t n, double* d, double* q, double* e) {
  tred(m, n, d, q, e);
}
void q3qd_tred_single_(int32_t m, int32_t n, float* d, float* q, float* e) { tred(m, n, d, q, e); }
void q3qd_tqli_double_(int32_t m, int32_t n, double* d, double* q, double* e, int32_t& info) {
  tqli(m, n, d, q, e, info);
}
void q3qd_tqli_single_(int32_t m, int32_t n, float* d, float* q, float* e, int32_t& info) {
  tqli(m, n, d, q, e, info);
}
void q3qd_diff_double_(int32_t nc, int32_t* c, const double* r) { diff(nc, c, r); }
void q3qd_diff_single_(int32_t nc, int32_t* c, const float* r) { diff(nc, c, r); }
void q3qd_move_double_(int32_t nc, int32_t* c, int32_t mr, int32_t nr, double* r, double* r0) {
  move(nc, c, mr, nr, r, r0);
}
void q3qd_move_single_(int32_t nc, int32_t* c, int32_t mr, int32_t nr, float* r, float* r0) {
  move(nc, c, mr, nr, r, r0);
}

void dsyev_mo_(char, char ch2, int32_t n, double* q, int32_t m, double* d, double* e, int32_t me,
               int32_t& info) {
  syev(ch2, n, q, m, d, e, me, info, dsyev_order.c, dsyev_temp);
  if (info != 0) rt::write_list(0, "error in dsyev_mo");
}

void ssyev_mo_(char, char ch2, int32_t n, float* q, int32_t m, float* d, float* e, int32_t me,
               int32_t& info) {
  syev(ch2, n, q, m, d, e, me, info, ssyev_order.c, ssyev_temp);
  if (info != 0) rt::write_list(6, info, "error in ssyev_mo");
}

void dstevd_mo_(char ch3, int32_t n, double* d, double* e, double* q, int32_t m, double*, int32_t,
                int32_t* c, int32_t mc, int32_t& info) {
  stevd(ch3, n, d, e, q, m, c, mc, info);
  if (info != 0) rt::write_list(0, "error in dstevd_mo");
}

void sstevd_mo_(char ch3, int32_t n, float* d, float* e, float* q, int32_t m, float*, int32_t,
                int32_t* c, int32_t mc, int32_t& info) {
  stevd(ch3, n, d, e, q, m, c, mc, info);
  if (info != 0) rt::write_list(0, "error in sstevd_mo");
}
