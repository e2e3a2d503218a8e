// Dense inversions in single precision: Gauss-Jordan elimination with full
// pivoting (inverse in place and any number of right-hand sides solved in
// the same pass) and the closed-form inverse of a 3 x 3 matrix.
#pragma once

#include <cstdint>

namespace numeric {
// Largest order gaussj_ handles: its pivot bookkeeping is fixed at this size.
inline constexpr int32_t GAUSSJ_NMAX = 500;
}  // namespace numeric

// a(np, np): the leading n x n block is replaced by its inverse; b(np, mp):
// its first m columns are replaced by the solutions of A X = B.  error is
// true for a singular matrix (a and b then hold a partial elimination) and
// for an order the bookkeeping or the storage cannot hold (nothing written).
void gaussj_(float* a, int32_t n, int32_t np, float* b, int32_t m, int32_t mp, bool& error);

// mat_out = inverse of mat_in by cofactors; mat_out may be mat_in.  A
// singular matrix gives non-finite elements.
void matinv3_r_(const float* mat_in, float* mat_out);
