// Small matrix and vector helpers: inverses by cofactors, products, cross product.
#include "suite/cvecmat.h"

#include <cmath>

float ptq7_pow_ii(float x, int n) {
  float r = 1.0f;
  for (int i = 0; i < n; ++i) r *= x;
  return r;
}

float invert4matrix(const float a[4][4], float ai[4][4]) {
  float c[4][4];
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      // Minor of element (i, j): the 3x3 left after removing row i and column j.
      float m[3][3];
      int r = 0;
      for (int ii = 0; ii < 4; ++ii) {
        if (ii == i) continue;
        int s = 0;
        for (int jj = 0; jj < 4; ++jj) {
          if (jj == j) continue;
          m[r][s++] = a[ii][jj];
        }
        ++r;
      }
      const float det3 = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                         m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                         m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
      c[i][j] = ptq7_pow_ii(-1.0f, i + j) * det3;
    }
  }
  float det = 0.0f;
  for (int i = 0; i < 4; ++i) det += a[i][0] * c[i][0];
  if (std::fabs(det) <= 1e-30f) return 0.0f;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) ai[i][j] = c[j][i] / det;
  return det;
}

double invert3matrix(const double a[3][3], double ai[3][3]) {
  double c[3][3];
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      const int i1 = (i == 0) ? 1 : 0, i2 = (i == 2) ? 1 : 2;
      const int j1 = (j == 0) ? 1 : 0, j2 = (j == 2) ? 1 : 2;
      const double minor = a[i1][j1] * a[i2][j2] - a[i1][j2] * a[i2][j1];
      c[i][j] = static_cast<double>(ptq7_pow_ii(-1.0f, i + j)) * minor;
    }
  }
  double det = 0.0;
  for (int i = 0; i < 3; ++i) det += a[i][0] * c[i][0];
  if (std::fabs(det) <= 1e-30) return 0.0;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) ai[i][j] = c[j][i] / det;
  return det;
}

void ptq7_4matmul(float c[4][4], const float a[4][4], const float b[4][4]) {
  float t[4][4];
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      float s = 0.0f;
      for (int k = 0; k < 4; ++k) s += a[i][k] * b[k][j];
      t[i][j] = s;
    }
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) c[i][j] = t[i][j];
}

void ptq7_3matmul(double c[3][3], const double a[3][3], const double b[3][3]) {
  double t[3][3];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      double s = 0.0;
      for (int k = 0; k < 3; ++k) s += a[i][k] * b[k][j];
      t[i][j] = s;
    }
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) c[i][j] = t[i][j];
}

void ptq7_dcross(const double a[3], const double b[3], double c[3]) {
  const double x = a[1] * b[2] - a[2] * b[1];
  const double y = a[2] * b[0] - a[0] * b[2];
  const double z = a[0] * b[1] - a[1] * b[0];
  c[0] = x;
  c[1] = y;
  c[2] = z;
}
