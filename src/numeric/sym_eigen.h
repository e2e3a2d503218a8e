// Complete eigen-decomposition of a real symmetric matrix (dsyev_mo_,
// ssyev_mo_) and of a real symmetric tridiagonal matrix (dstevd_mo_,
// sstevd_mo_): Householder reduction to tridiagonal form, implicit QL
// iteration with a budget of 4 n^2 rotations, and a stable reordering of the
// eigenpairs by ascending eigenvalue.  The argument lists follow the usual
// symmetric-eigenproblem drivers (job, triangle, order, matrix, leading
// dimension, eigenvalues, workspace, its size, info).
//
// Matrices are column-major with leading dimension m, used over the leading
// n x n block.  A tridiagonal matrix is its diagonal d(1..n) and its
// off-diagonal e(k) = element (k, k+1), k < n; e needs n entries.  On
// success d is ascending and column k of q the unit eigenvector of d(k).
//
// info: 0 success; -8 me < n or n above SYEV_MO_NMAX; -2 a triangle other
// than "U" or "L"; -3 (-2 for the tridiagonal drivers) n < 0; -10 mc < 2n;
// positive when the QL iteration ran out of rotations.  A non-zero info is
// also reported by one line: "error in dsyev_mo" (standard error), info and
// "error in ssyev_mo" (standard output), "error in dstevd_mo" and
// "error in sstevd_mo" (standard error).  The run goes on.
#pragma once

#include <cstdint>

namespace numeric {
// Largest order of dsyev_mo_ and ssyev_mo_: their ordering index is static.
inline constexpr int32_t SYEV_MO_NMAX = 5000;
}  // namespace numeric

// ch1 (the job) is not examined: eigenvectors are always computed.  ch2 "U"
// or "L" names the triangle of q that holds the matrix.
void dsyev_mo_(char ch1, char ch2, int32_t n, double* q, int32_t m, double* d, double* e,
               int32_t me, int32_t& info);
void ssyev_mo_(char ch1, char ch2, int32_t n, float* q, int32_t m, float* d, float* e, int32_t me,
               int32_t& info);

// ch3 "@": q holds a matrix Z on entry and returns Z times the eigenvectors;
// anything else: q starts as the identity.  w and mw are not used; c is the
// caller's ordering index of mc >= 2n entries.
void dstevd_mo_(char ch3, int32_t n, double* d, double* e, double* q, int32_t m, double* w,
                int32_t mw, int32_t* c, int32_t mc, int32_t& info);
void sstevd_mo_(char ch3, int32_t n, float* d, float* e, float* q, int32_t m, float* w, int32_t mw,
                int32_t* c, int32_t mc, int32_t& info);

// Reduction of the full symmetric matrix in q to (d, e); q returns the
// orthogonal transformation Q with transpose(Q) A Q tridiagonal.
void q3qd_tred_double_(int32_t m, int32_t n, double* d, double* q, double* e);
void q3qd_tred_single_(int32_t m, int32_t n, float* d, float* q, float* e);
// QL iteration on (d, e), rotations applied to the columns of q; eigenvalues
// unordered.  info positive when the rotation budget ran out.
void q3qd_tqli_double_(int32_t m, int32_t n, double* d, double* q, double* e, int32_t& info);
void q3qd_tqli_single_(int32_t m, int32_t n, float* d, float* q, float* e, int32_t& info);
// c(k) = index of the k-th smallest r, ties in index order; c has 2 nc
// entries (the second half is the merge buffer).
void q3qd_diff_double_(int32_t nc, int32_t* c, const double* r);
void q3qd_diff_single_(int32_t nc, int32_t* c, const float* r);
// New column k of r(mr, nc) (rows 1..nr) is old column c(k); r0 holds one
// column; c returns as the identity.
void q3qd_move_double_(int32_t nc, int32_t* c, int32_t mr, int32_t nr, double* r, double* r0);
void q3qd_move_single_(int32_t nc, int32_t* c, int32_t mr, int32_t nr, float* r, float* r0);
