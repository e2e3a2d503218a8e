// Rotation matrix to Euler angles: r = Rz(al1) Ry(al2) Rz(al3), al1 and al3
// in (-pi, pi], al2 in [0, pi], radians.  r is a column-major 3 x 3 array.
#pragma once

// Tests first that r is a rotation: when its inverse and transpose differ,
// warns "Matrix is not rotation matrix", sets error and writes no angle;
// when its determinant is not 1, warns "Matrix is not rotationa matrix",
// sets error and still returns the angles.  The warnings never end the run.
void matr2eul_(const float* r, float& al1, float& al2, float& al3, bool& error);
// The same angles without the tests.
void matr2eul_unsafe_(const float* r, float& al1, float& al2, float& al3);
