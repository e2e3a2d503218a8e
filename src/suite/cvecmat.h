// Small matrix and vector helpers of the suite library: 3x3 and 4x4 inverses
// and products, the cross product and an integer power.
#pragma once

// 4x4 inverse of 32-bit floats, row-major; returns the determinant.  A
// determinant of magnitude at most 1e-30 is singular: 0, ai untouched.
float invert4matrix(const float a[4][4], float ai[4][4]);
// The same for 3x3 of 64-bit floats.
double invert3matrix(const double a[3][3], double ai[3][3]);
// c = a x b.
void ptq7_4matmul(float c[4][4], const float a[4][4], const float b[4][4]);
void ptq7_3matmul(double c[3][3], const double a[3][3], const double b[3][3]);
// c = a cross b.
void ptq7_dcross(const double a[3], const double b[3], double c[3]);
// x to the power n by repeated multiplication; 1 for n below 1.
float ptq7_pow_ii(float x, int n);
