// Cyclic Jacobi rotations on a symmetric 3 x 3 matrix.  Each rotation puts
// the larger of its two new diagonal values on the higher index, so a block
// out of order is turned by about 90 degrees and the eigenvalues come out
// ascending without a sort.
#include "numeric/eigen3.h"

#include <cmath>

namespace {

inline int at(int i, int j) { return (i - 1) + 3 * (j - 1); }

// Square roots and the half-angle divisions of the single-precision member
// are carried out in double precision and rounded once.
inline float root(float v) { return static_cast<float>(std::sqrt(static_cast<double>(v))); }
inline double root(double v) { return std::sqrt(v); }
inline float quotient(float a, float b) {
  return static_cast<float>(static_cast<double>(a) / static_cast<double>(b));
}
inline double quotient(double a, double b) { return a / b; }

// Working storage of one solver: the symmetrised copy, the sweep count, the
// run of negligible rotations and the rotation scalars.
template <typename T>
struct Jacobi3Work {
  T x[9];
  int32_t ict, ics;
  T dp, dm, op, tm;
};
Jacobi3Work<float> z4_work;
Jacobi3Work<double> zm_work;

template <typename T>
void eigv3sym(Jacobi3Work<T>& wk, const T* w, T* r, T* b, bool& err) {
  const T tol = static_cast<T>(0.01);
  T* x = wk.x;
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) {
      x[at(i, j)] = (w[at(i, j)] + w[at(j, i)]) / 2;
      b[at(i, j)] = i == j ? T(1) : T(0);
    }
  wk.ict = 0;
  wk.ics = 0;
  do {
    ++wk.ict;
    for (int i = 1; i <= 3; ++i)
      for (int j = 1; j < i; ++j) {
        const int k = 6 - i - j;
        wk.dp = x[at(i, i)] + x[at(j, j)];
        wk.dm = x[at(i, i)] - x[at(j, j)];
        wk.op = x[at(j, i)] + x[at(i, j)];
        wk.tm = root(wk.dm * wk.dm + wk.op * wk.op);
        T c2, s2;
        // Stored before the comparison so that it is made in T.
        const volatile T shifted = wk.dp + tol * wk.tm;
        if (shifted == wk.dp) {
          c2 = 1;
          s2 = 0;
        } else {
          c2 = wk.dm / wk.tm;
          s2 = wk.op / wk.tm;
        }
        T c, s;
        if (c2 < 0) {
          s = root((1 - c2) / 2);
          c = quotient(s2, 2 * s);
        } else {
          c = root((1 + c2) / 2);
          s = quotient(s2, 2 * c);
        }
        x[at(i, i)] = (wk.dp + wk.tm) / 2;
        x[at(j, j)] = (wk.dp - wk.tm) / 2;
        x[at(i, j)] = x[at(j, i)] = 0;
        const volatile T one_plus = 1 + tol * s;
        if (one_plus == T(1)) {
          s = 0;
          ++wk.ics;
        } else {
          wk.ics = 0;
        }
        const T xki = x[at(k, i)], xkj = x[at(k, j)];
        x[at(k, i)] = c * xki + s * xkj;
        x[at(k, j)] = c * xkj - s * xki;
        x[at(i, k)] = x[at(k, i)];
        x[at(j, k)] = x[at(k, j)];
        for (int m = 1; m <= 3; ++m) {
          const T bim = b[at(i, m)], bjm = b[at(j, m)];
          b[at(i, m)] = c * bim + s * bjm;
          b[at(j, m)] = c * bjm - s * bim;
        }
      }
    // Three negligible rotations in a row, across sweep boundaries, mean
    // every off-diagonal pair has been seen small.
  } while (wk.ics < 3 && wk.ict < 50);
  for (int k = 1; k <= 3; ++k) r[k - 1] = x[at(k, k)];
  err = wk.ics < 3;
}

struct Seig3Work {
  float eigenvec[9];
  bool error;
};
Seig3Work seig3_work;

}  // namespace

void z4_eigv3sym_(const float* w, float* r, float* b, bool& err) {
  eigv3sym(z4_work, w, r, b, err);
}

void zm_eigv3sym_(const double* w, double* r, double* b, bool& err) {
  eigv3sym(zm_work, w, r, b, err);
}

void seig3dim_(float* amat, float* eigenv, int32_t& ierror) {
  ierror = 0;
  z4_eigv3sym_(amat, eigenv, seig3_work.eigenvec, seig3_work.error);
  if (seig3_work.error) {
    ierror = 1;
    return;
  }
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) amat[at(i, j)] = seig3_work.eigenvec[at(j, i)];
}
