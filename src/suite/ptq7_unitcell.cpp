// Unit-cell calculations of the suite library.
#include "suite/ptq7_unitcell.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "suite/csymlib.h"
#include "suite/csymlib_symop.h"
#include "suite/cvecmat.h"
#include "suite/pi.h"
#include "suite/ptq7_errno.h"

namespace {
// The rounded value of pi of the volume and reciprocal-cell formulae, kept
// because stored volumes and reciprocal cells were made with it; the matrices
// use the exact one.
constexpr double kPiRounded = 3.14159;
}  // namespace

double ptq7uc_calc_cell_volume(const double cell[6]) {
  const double d = kPiRounded / 180.0;
  const double al = cell[3] * d, be = cell[4] * d, ga = cell[5] * d;
  const double s = (al + be + ga) / 2.0;
  return 2.0 * cell[0] * cell[1] * cell[2] *
         std::sqrt(std::sin(s) * std::sin(s - al) * std::sin(s - be) * std::sin(s - ga));
}

double ptq7uc_calc_rcell(const double cell[6], double rcell[6]) {
  const double d = kPiRounded / 180.0;
  const double v = ptq7uc_calc_cell_volume(cell);
  const double al = cell[3] * d, be = cell[4] * d, ga = cell[5] * d;
  const double sa = std::sin(al), sb = std::sin(be), sg = std::sin(ga);
  const double ca = std::cos(al), cb = std::cos(be), cg = std::cos(ga);
  rcell[0] = cell[1] * cell[2] * sa / v;
  rcell[1] = cell[2] * cell[0] * sb / v;
  rcell[2] = cell[0] * cell[1] * sg / v;
  const double cas = (cb * cg - ca) / (sb * sg);
  const double cbs = (ca * cg - cb) / (sa * sg);
  const double cgs = (ca * cb - cg) / (sa * sb);
  rcell[3] = std::atan2(std::sqrt(1.0 - cas * cas), cas) / d;
  rcell[4] = std::atan2(std::sqrt(1.0 - cbs * cbs), cbs) / d;
  rcell[5] = std::atan2(std::sqrt(1.0 - cgs * cgs), cgs) / d;
  return 1.0 / v;
}

double ptq7uc_frac_orth_mat(const double cell[6], int code, double ro[3][3], double rf[3][3]) {
  const double d = suite::kPi<double> / 180.0;
  const double a = cell[0], b = cell[1], c = cell[2];
  const double sa = std::sin(cell[3] * d), sb = std::sin(cell[4] * d), sg = std::sin(cell[5] * d);
  const double ca = std::cos(cell[3] * d), cb = std::cos(cell[4] * d), cg = std::cos(cell[5] * d);
  const double cas = (cb * cg - ca) / (sb * sg);
  const double cbs = (ca * cg - cb) / (sa * sg);
  const double cgs = (ca * cb - cg) / (sa * sb);
  const double sas = std::sqrt(1.0 - cas * cas);
  const double sbs = std::sqrt(1.0 - cbs * cbs);
  const double sgs = std::sqrt(1.0 - cgs * cgs);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) ro[i][j] = 0.0;
  switch (code) {
    case 1:
      ro[0][0] = a; ro[0][1] = b * cg; ro[0][2] = c * cb;
      ro[1][1] = b * sg; ro[1][2] = -c * sb * cas;
      ro[2][2] = c * sb * sas;
      break;
    case 2:
      ro[0][0] = a * cg; ro[0][1] = b; ro[0][2] = c * ca;
      ro[1][0] = -a * sg * cbs; ro[1][2] = c * sa;
      ro[2][0] = a * sg * sbs;
      break;
    case 3:
      ro[0][0] = a * cb; ro[0][1] = b * ca; ro[0][2] = c;
      ro[1][0] = a * sb; ro[1][1] = -b * sa * cgs;
      ro[2][1] = b * sa * sgs;
      break;
    case 4:
      ro[0][0] = a / 2.0; ro[0][1] = a / 2.0;
      ro[1][0] = -a * sg; ro[1][1] = a * sg;
      ro[2][2] = c;
      break;
    case 5:
      ro[0][0] = a * sb * sgs;
      ro[1][0] = -a * sb * cgs; ro[1][1] = b * sa;
      ro[2][0] = a * cb; ro[2][1] = b * ca; ro[2][2] = c;
      break;
    case 6:
      ro[0][0] = a; ro[0][1] = b * cg; ro[0][2] = c * cb;
      ro[1][1] = b * sg * sas;
      ro[2][1] = -b * sg * cas; ro[2][2] = c * sb;
      break;
    default:
      break;
  }
  return invert3matrix(ro, rf);
}

void ptq7uc_frac_to_orth(const double ro[3][3], const double x[3], double out[3]) {
  double t[3];
  for (int i = 0; i < 3; ++i) t[i] = ro[i][0] * x[0] + ro[i][1] * x[1] + ro[i][2] * x[2];
  for (int i = 0; i < 3; ++i) out[i] = t[i];
}

void ptq7uc_orth_to_frac(const double rf[3][3], const double x[3], double out[3]) {
  ptq7uc_frac_to_orth(rf, x, out);
}

namespace {
void transform_tensor(const double m[3][3], const double u[6], double out[6]) {
  const double um[3][3] = {{u[0], u[3], u[4]}, {u[3], u[1], u[5]}, {u[4], u[5], u[2]}};
  double mt[3][3], t[3][3], r[3][3];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) mt[i][j] = m[j][i];
  ptq7_3matmul(t, m, um);
  ptq7_3matmul(r, t, mt);
  out[0] = r[0][0];
  out[1] = r[1][1];
  out[2] = r[2][2];
  out[3] = r[0][1];
  out[4] = r[0][2];
  out[5] = r[1][2];
}
}  // namespace

void ptq7uc_fracu_to_orthu(const double ro[3][3], const double u[6], double out[6]) {
  transform_tensor(ro, u, out);
}

void ptq7uc_orthu_to_fracu(const double rf[3][3], const double u[6], double out[6]) {
  transform_tensor(rf, u, out);
}

int ptq7uc_cells_differ(const double cell1[6], const double cell2[6], double tolerance) {
  const double v1 = ptq7uc_calc_cell_volume(cell1);
  const double v2 = ptq7uc_calc_cell_volume(cell2);
  if (std::fabs(v1 - v2) / 2.0 / (v1 + v2) > tolerance) {
    std::printf("Difference in cell volumes detected.\n");
    std::printf("  vol1 = %lf  vol2 = %lf \n", v1, v2);
    return 1;
  }
  double diff = 0.0;
  for (int i = 0; i < 6; ++i) diff += std::fabs(cell2[i] - cell1[i]) / 2.0 / (cell2[i] + cell1[i]);
  if (diff > tolerance) {
    if (diff > 3.0 * tolerance)
      std::printf("Large difference in cell parameters detected.\n");
    else
      std::printf("Small difference in cell parameters detected.\n");
    std::printf("  cell1 = %lf %lf %lf %lf %lf %lf \n", cell1[0], cell1[1], cell1[2], cell1[3],
                cell1[4], cell1[5]);
    std::printf("  cell2 = %lf %lf %lf %lf %lf %lf \n", cell2[0], cell2[1], cell2[2], cell2[3],
                cell2[4], cell2[5]);
    return 1;
  }
  return 0;
}

int ptq7uc_is_hexagonal(const float cell[6], double tolerance) {
  const double sum = std::fabs(cell[0] - cell[1]) + std::fabs(cell[3] - 90.0) +
                     std::fabs(cell[4] - 90.0) + std::fabs(cell[5] - 120.0);
  return sum <= tolerance ? 1 : 0;
}

int ptq7uc_is_rhombohedral(const float cell[6], double tolerance) {
  const double sum = std::fabs(cell[0] - cell[1]) + std::fabs(cell[1] - cell[2]) +
                     std::fabs(cell[0] - cell[2]) + std::fabs(cell[3] - cell[4]) +
                     std::fabs(cell[3] - cell[5]) + std::fabs(cell[4] - cell[5]);
  return sum <= tolerance ? 1 : 0;
}

int ptq7spg_check_symm_cell(int nops, const float (*ops)[4][4], const float cell[6]) {
  std::vector<Symop> list(nops > 0 ? nops : 0);
  for (int n = 0; n < nops; ++n) mat4_to_rotandtrn(list[n], &ops[n][0][0]);
  SpacegroupPtr sg = ptq7_spgrp_reverse_lookup(nops, list.data());
  if (!sg) return 1;
  if (std::strstr(sg->symbol_xhm, ":R")) return ptq7uc_is_rhombohedral(cell, 0.01);
  if (std::strstr(sg->symbol_xhm, ":H")) return ptq7uc_is_hexagonal(cell, 0.01);
  return 1;
}

namespace suite {

int hkl_coeffs(const float cell[6], double coefs[6]) {
  for (int i = 0; i < 6; ++i) coefs[i] = 0.0;
  for (int i = 0; i < 6; ++i)
    if (cell[i] < 0.001f) {
      ptq7_signal(ptq7_error_word(PTQ7_ERRNO_MTZ, PTQ7_LEVEL_ERROR, 9), "MtzHklcoeffs", nullptr);
      return 0;
    }
  const double degtorad = suite::kPi<double> / 180.0;
  const double a = cell[0], b = cell[1], c = cell[2];
  const double alpha = cell[3] * degtorad, beta = cell[4] * degtorad, gamma = cell[5] * degtorad;
  const double bcg = b * std::cos(gamma);
  const double bsg = b * std::sin(gamma);
  const double ccb = c * std::cos(beta);
  // The product b*c is taken in single precision, as stored files were made so.
  const double bc = static_cast<double>(cell[1] * cell[2]);
  const double t = (bc * std::cos(alpha) - bcg * ccb) / bsg;
  const double z = std::sqrt(c * c - ccb * ccb - t * t);
  const double v = bsg * a * z;
  const double f01 = -bcg * z / v;
  const double f02 = (bcg * t - ccb * bsg) / v;
  const double f12 = -t * a / v;
  coefs[0] = (1.0 / (a * a) + f01 * f01 + f02 * f02) / 4.0;
  coefs[1] = (f01 / bsg + f02 * f12) / 2.0;
  coefs[2] = (f02 / z) / 2.0;
  coefs[3] = (1.0 / (bsg * bsg) + f12 * f12) / 4.0;
  coefs[4] = (f12 / z) / 2.0;
  coefs[5] = (1.0 / (z * z)) / 4.0;
  return 1;
}

}  // namespace suite
