// Geometric kernels on three-dimensional coordinates in single precision:
// vector products and 3 x 3 determinants with and without derivatives, the
// signed chiral volume of four points, and least-squares planes, plain and
// with the derivatives of the plane by every coordinate.
//
// Matrices are column-major 3 x 3 arrays; a set of n points is a 3 x n array
// whose column i holds point i.  A plane is its unit normal vm and offset d:
// vm . r = d.  The normal's sign is whatever the eigen-solver gives.
#pragma once

#include <cstdint>

namespace numeric {
// Most points plane_and_derivs_r_ takes (its work arrays are fixed).
inline constexpr int32_t PLANE_DERIVS_MAXPT = 50;
}  // namespace numeric

void cross_r_(float* a, const float* b, const float* c);
// dadb(i, j) = d a(i) / d b(j), dadc(i, j) = d a(i) / d c(j), zeros included.
void cross_with_derivs_(float* a, float* dadb, float* dadc, const float* b, const float* c);
float det3_(const float* a);
// ddetde(i, j) = d deter / d mat_in(i, j): the cofactors.
void det3_with_derivs_(const float* mat_in, float& deter, float* ddetde);
// (xyz2 - xyz1) . ((xyz3 - xyz1) x (xyz4 - xyz1)); 0 for coplanar points.
float find_chir_sign_(const float* xyz1, const float* xyz2, const float* xyz3, const float* xyz4);

// Plane through x(3, n).  When the eigen-solver fails, or there are no
// points, writes "Problem in plane" and the code 1 to standard output and
// ends the run with status 1.
void plane_r_(int32_t n, const float* x, float* vm, float& d);

// Plane through x_inp(3, nplane) and its derivatives: dvmdx(r, 3(i-1)+s) =
// d vm(r) / d x_inp(s, i), dddx(s, i) = d d / d x_inp(s, i).  ierror 0 on
// success; 1 when nplane is outside 1..PLANE_DERIVS_MAXPT; 2 when the
// eigen-solver fails.  On an error nothing else is written.
void plane_and_derivs_r_(int32_t nplane, const float* x_inp, float* vm, float& d, float* dvmdx,
                         float* dddx, int32_t& ierror);
