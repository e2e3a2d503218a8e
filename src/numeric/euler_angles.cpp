// Euler angles of a rotation matrix.  When sin(al2) vanishes only al1 + al3
// (or al1 - al3) is defined; al3 is then taken as 0.
#include "numeric/euler_angles.h"

#include <cmath>

#include "foundation/errwrt.h"
#include "numeric/inversion.h"
#include "numeric/planes.h"
#include "numeric/vecmat_kit.h"

namespace {

inline int at(int i, int j) { return (i - 1) + 3 * (j - 1); }

// A zero y of either sign counts as +0, so that the angles stay in
// (-pi, pi] and never come out as -pi.
inline float atan2_pos(float y, float x) { return std::atan2(y == 0.0f ? 0.0f : y, x); }

// eps: the degenerate-angle test; split: al2 is 0 above this r(3,3), else pi.
void angles(const float* r, float eps, float split, float& al1, float& al2, float& al3) {
  auto R = [&](int i, int j) { return r[at(i, j)]; };
  if (std::sqrt(std::fabs(R(3, 1) * R(3, 1) + R(3, 2) * R(3, 2))) < eps) {
    al2 = R(3, 3) > split ? 0.0f : 4.0f * std::atan2(1.0f, 1.0f);
    al3 = 0.0f;
    al1 = atan2_pos(R(2, 1), R(1, 1));
    return;
  }
  al3 = atan2_pos(R(3, 2), -R(3, 1));
  // Divide by whichever of cos(al3) and sin(al3) is safely away from 0.
  if (std::fabs(R(3, 1)) > eps) al2 = atan2_pos(-R(3, 1) / std::cos(al3), R(3, 3));
  else al2 = atan2_pos(R(3, 2) / std::sin(al3), R(3, 3));
  al1 = atan2_pos(R(2, 3), R(1, 3));
}

struct Matr2eulWork {
  float rinv[9];
  float rtrans[9];
  float adiff;
};
Matr2eulWork m2e_work;

}  // namespace

void matr2eul_(const float* r, float& al1, float& al2, float& al3, bool& error) {
  const float eps_loc = 1.0e-6f;
  error = false;
  matinv3_r_(r, m2e_work.rinv);
  mattrans_(3, 3, r, m2e_work.rtrans, error);
  m2e_work.adiff = 0.0f;
  for (int k = 0; k < 9; ++k) {
    const float diff = m2e_work.rinv[k] - m2e_work.rtrans[k];
    m2e_work.adiff += diff * diff;
  }
  // Written so that a NaN anywhere in r fails the test rather than passing it.
  if (!(std::sqrt(std::fabs(m2e_work.adiff)) <= eps_loc)) {
    error = true;
    errwrt_(0, "Matrix is not rotation matrix");
    return;
  }
  if (!(std::fabs(det3_(r) - 1.0f) <= eps_loc)) {
    error = true;
    errwrt_(0, "Matrix is not rotationa matrix");
  }
  angles(r, eps_loc, 1.0f - eps_loc, al1, al2, al3);
}

void matr2eul_unsafe_(const float* r, float& al1, float& al2, float& al3) {
  angles(r, 1.0e-8f, 0.5f, al1, al2, al3);
}
