// Unit-cell calculations: volume, reciprocal cell, the matrices between
// fractional and orthogonal coordinates, displacement tensors, comparison of
// two cells and the rhombohedral and hexagonal setting tests.  Cells are
// a, b, c (Angstrom) and alpha, beta, gamma (degrees).
#pragma once

#include <cstdint>

double ptq7uc_calc_cell_volume(const double cell[6]);
// rcell = a*, b*, c*, alpha*, beta*, gamma* (degrees); returns 1 / volume.
double ptq7uc_calc_rcell(const double cell[6], double rcell[6]);
// ro: orthogonal = ro x fractional; rf its inverse (both row-major).  Code 1-6
// chooses the axes; any other code leaves ro zero.  Returns det(ro).
double ptq7uc_frac_orth_mat(const double cell[6], int code, double ro[3][3], double rf[3][3]);
void ptq7uc_frac_to_orth(const double ro[3][3], const double x[3], double out[3]);
void ptq7uc_orth_to_frac(const double rf[3][3], const double x[3], double out[3]);
// Symmetric tensors as (u11, u22, u33, u12, u13, u23): out = M U M-transposed.
void ptq7uc_fracu_to_orthu(const double ro[3][3], const double u[6], double out[6]);
void ptq7uc_orthu_to_fracu(const double rf[3][3], const double u[6], double out[6]);
// 1 when the cells differ beyond the tolerance (with a printed report), else 0.
int ptq7uc_cells_differ(const double cell1[6], const double cell2[6], double tolerance);
int ptq7uc_is_hexagonal(const float cell[6], double tolerance);
int ptq7uc_is_rhombohedral(const float cell[6], double tolerance);
// Whether a cell suits the setting of the group of the operators (4x4
// row-major each); 1 for an operator list that matches no group.
int ptq7spg_check_symm_cell(int nops, const float (*ops)[4][4], const float cell[6]);

namespace suite {

// Six reciprocal-metric coefficients of a cell (a, b, c, alpha, beta, gamma in
// degrees), for the resolution of reflections; 1, or 0 with all zero and the
// reflection library's error signalled for a cell value below 0.001.
int hkl_coeffs(const float cell[6], double coefs[6]);
// 1/d^2 of reflection hkl.  Inline: writers and readers work it out for
// every reflection row.
inline float ind_to_reso(const int32_t hkl[3], const double coefs[6]) {
  const int64_t h = hkl[0], k = hkl[1], l = hkl[2];
  const double hh = static_cast<double>(h * h), hk = static_cast<double>(h * k),
               hl = static_cast<double>(h * l), kk = static_cast<double>(k * k),
               kl = static_cast<double>(k * l), ll = static_cast<double>(l * l);
  double q = coefs[1] * hk;
  q += coefs[0] * hh;
  q += coefs[2] * hl;
  q += coefs[3] * kk;
  q += coefs[4] * kl;
  q += coefs[5] * ll;
  return static_cast<float>(4.0 * q);
}

}  // namespace suite
