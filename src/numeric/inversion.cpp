// Gauss-Jordan inversion with full pivoting, and the 3 x 3 cofactor inverse.
#include "numeric/inversion.h"

#include <cmath>
#include <utility>

#include "runtime/array.h"

namespace {

inline long at(int32_t ld, int32_t i, int32_t j) {
  return static_cast<long>(i - 1) + static_cast<long>(j - 1) * ld;
}

// Pivot bookkeeping: how often each column served as pivot column, and the
// row and column of the pivot of each step.
struct GaussjPivots {
  rt::Array1<int32_t, numeric::GAUSSJ_NMAX> ipiv;
  rt::Array1<int32_t, numeric::GAUSSJ_NMAX> indxr;
  rt::Array1<int32_t, numeric::GAUSSJ_NMAX> indxc;
};
GaussjPivots gaussj_piv;

float a_minor[9];

}  // namespace

void gaussj_(float* a, int32_t n, int32_t np, float* b, int32_t m, int32_t mp, bool& error) {
  error = false;
  if (n < 1) return;
  // The bookkeeping has room for numeric::GAUSSJ_NMAX steps; a larger order, or an
  // order beyond the caller's storage, would run past an array.
  if (n > numeric::GAUSSJ_NMAX || n > np || m > mp) {
    error = true;
    return;
  }
  auto& ipiv = gaussj_piv.ipiv;
  auto& indxr = gaussj_piv.indxr;
  auto& indxc = gaussj_piv.indxc;
  for (int32_t j = 1; j <= n; ++j) ipiv(j) = 0;
  int32_t irow = 1, icol = 1;
  for (int32_t i = 1; i <= n; ++i) {
    float big = 0.0f;
    for (int32_t j = 1; j <= n; ++j) {
      if (ipiv(j) == 1) continue;
      for (int32_t k = 1; k <= n; ++k) {
        if (ipiv(k) == 0) {
          // Greater-or-equal: among equal magnitudes the last one scanned
          // wins, so an all-zero remainder still names a pivot.
          if (std::fabs(a[at(np, j, k)]) >= big) {
            big = std::fabs(a[at(np, j, k)]);
            irow = j;
            icol = k;
          }
        } else if (ipiv(k) > 1) {
          error = true;
          return;
        }
      }
    }
    ++ipiv(icol);
    if (irow != icol) {
      for (int32_t l = 1; l <= n; ++l) std::swap(a[at(np, irow, l)], a[at(np, icol, l)]);
      for (int32_t l = 1; l <= m; ++l) std::swap(b[at(np, irow, l)], b[at(np, icol, l)]);
    }
    indxr(i) = irow;
    indxc(i) = icol;
    if (a[at(np, icol, icol)] == 0.0f) {
      error = true;
      return;
    }
    const float pivinv = 1.0f / a[at(np, icol, icol)];
    a[at(np, icol, icol)] = 1.0f;
    for (int32_t l = 1; l <= n; ++l) a[at(np, icol, l)] *= pivinv;
    for (int32_t l = 1; l <= m; ++l) b[at(np, icol, l)] *= pivinv;
    for (int32_t ll = 1; ll <= n; ++ll) {
      if (ll == icol) continue;
      const float dum = a[at(np, ll, icol)];
      a[at(np, ll, icol)] = 0.0f;
      for (int32_t l = 1; l <= n; ++l) a[at(np, ll, l)] -= a[at(np, icol, l)] * dum;
      for (int32_t l = 1; l <= m; ++l) b[at(np, ll, l)] -= b[at(np, icol, l)] * dum;
    }
  }
  // The row exchanges of the elimination are column exchanges of the
  // inverse, undone in reverse order.
  for (int32_t l = n; l >= 1; --l) {
    if (indxr(l) == indxc(l)) continue;
    for (int32_t k = 1; k <= n; ++k) std::swap(a[at(np, k, indxr(l))], a[at(np, k, indxc(l))]);
  }
}

void matinv3_r_(const float* mat_in, float* mat_out) {
  auto A = [&](int i, int j) { return mat_in[at(3, i, j)]; };
  // Row i and column j left out: the other two rows and columns, in order.
  for (int32_t i = 1; i <= 3; ++i)
    for (int32_t j = 1; j <= 3; ++j) {
      const int32_t r1 = i == 1 ? 2 : 1, r2 = i == 3 ? 2 : 3;
      const int32_t c1 = j == 1 ? 2 : 1, c2 = j == 3 ? 2 : 3;
      a_minor[at(3, i, j)] = A(r1, c1) * A(r2, c2) - A(r1, c2) * A(r2, c1);
    }
  const float det = A(1, 1) * a_minor[at(3, 1, 1)] - A(1, 2) * a_minor[at(3, 1, 2)] +
                    A(1, 3) * a_minor[at(3, 1, 3)];
  // Every element of mat_in has been read: mat_out may share its storage.
  for (int32_t i = 1; i <= 3; ++i)
    for (int32_t j = 1; j <= 3; ++j) {
      const float sign = (i + j) % 2 == 0 ? 1.0f : -1.0f;
      mat_out[at(3, i, j)] = sign * a_minor[at(3, j, i)] / det;
    }
}
