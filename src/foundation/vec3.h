// 3-vectors and 3x3 matrices of 32-bit floats for the coordinate geometry of
// the code base.  A vector is three floats; a matrix nine, column by column
// (element (i,j) at (i-1) + 3(j-1)).  Every operation writes its result into
// an output argument, which may be one of the inputs.  Angles in radians.
#pragma once

#include <cstdint>

void nb_vmod_(const float* x, float& d);
void nb_vunit_(const float* x, float* y, int32_t& ierr);
void nb_vscal_(const float* x, float s, float* y);
void nb_vadd_(const float* x, const float* y, float* z);
void nb_vsub_(const float* x, const float* y, float* z);
void nb_vprod_(const float* x, const float* y, float& s);
void nb_vcopy_(const float* x, float* y);
void nb_vmult_(const float* x, const float* y, float* z);
void nb_mcopy_(const float* a, float* b);
void nb_matmlt_(const float* x, const float* y, float* z);
void nb_mvmult_(const float* a, const float* x, float* y);
void nb_mtrans_(const float* a, float* b);
void nb_invert_(const float* s, float* ss, int32_t& ierr);
// Rotation about z by a1, then y by a2, then z by a3 as a product
// Rz(a1) Ry(a2) Rz(a3).
void nb_eul2matr_(float a1, float a2, float a3, float* r);
// Cell edges (Angstrom) and angles (radians) to the fractional-to-orthogonal
// matrix (a along x, b in the xy plane) and its inverse; ierr 1 for a
// degenerate cell.
void nb_frorth_(float a, float b, float c, float alpha, float beta, float gamma, float* frac_to_orth,
                float* orth_to_frac, int32_t& ierr);
