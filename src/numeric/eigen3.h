// Eigenvalues and eigenvectors of a symmetric 3 x 3 matrix by cyclic Jacobi
// plane rotations, in single (z4_) and double (zm_) precision, and the form
// the plane fits call (seig3dim_: eigenvectors as columns, values ascending).
// Matrices are column-major 3 x 3 arrays.
#pragma once

#include <cstdint>

// Eigen-decomposition of (w + transpose(w)) / 2: eigenvalues r(k), row k of
// b the unit eigenvector of r(k); on convergence r is ascending.  err true
// when 50 sweeps did not converge (r and b as reached).  w is only read.
void z4_eigv3sym_(const float* w, float* r, float* b, bool& err);
void zm_eigv3sym_(const double* w, double* r, double* b, bool& err);

// On success amat(:, k) = unit eigenvector of eigenv(k), eigenv ascending,
// ierror 0.  Without convergence ierror 1 and amat as passed in.
void seig3dim_(float* amat, float* eigenv, int32_t& ierror);
