// Inversion of a symmetric matrix of second derivatives through its
// eigen-decomposition, dropping the directions whose eigenvalue is not above
// tau = max(|largest eigenvalue| * rank, safe minimum); zero and negative
// eigenvalues are always dropped.
//
// d2f(nmaxpar, nparam): only its upper triangle is read; it returns the
// eigenvectors as columns, by ascending eigenvalue.  workspace(nworkspace):
// entries 1..nparam receive the eigenvalues and then their filtered
// inverses (0 for a dropped direction); the vector filters keep the
// projected vector in nparam+1..2 nparam; entries nmaxpar+1.. are the
// eigen-solver's work area, so nworkspace - nmaxpar must be at least nparam.
#pragma once

#include <cstdint>

// When the eigen-solver fails (it does not converge, or refuses its
// arguments) each routine writes "Problem in <routine>" and the solver's
// code to standard output and ends the run with status 1.

// d_inv = V diag(phi) transpose(V).
void deigen_filter_inverse_r_(double rank, double* d2f, int32_t nparam, int32_t nmaxpar,
                              double* d_inv, double* workspace, int32_t nworkspace);
// shifts = V diag(phi) transpose(V) df.
void deigen_filter_r_(double rank, double* d2f, int32_t nparam, int32_t nmaxpar, const double* df,
                      double* shifts, double* workspace, int32_t nworkspace);
// The same in single precision.
void eigen_filter_r_(float rank, float* d2f, int32_t nparam, int32_t nmaxpar, const float* df,
                     float* shifts, float* workspace, int32_t nworkspace);
