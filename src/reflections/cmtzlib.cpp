// Resolution arithmetic of the reflection-file library and the file slots of
// its code-base interface.
#include "reflections/cmtzlib.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "suite/ptq7_errno.h"

namespace {

std::unique_ptr<MtzFile> slots[MTZ_MAX_SLOTS];

}  // namespace

int MtzHklcoeffs(const float cell[6], double coefs[6]) {
  for (int i = 0; i < 6; ++i) coefs[i] = 0.0;
  for (int i = 0; i < 6; ++i)
    if (cell[i] < 0.001f) {
      ptq7_signal(ptq7_error_word(PTQ7_ERRNO_MTZ, PTQ7_LEVEL_ERROR, 9), "MtzHklcoeffs", nullptr);
      return 0;
    }
  const double degtorad = std::atan(1.0) / 45.0;
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

float MtzInd2reso(const int32_t hkl[3], const double coefs[6]) {
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

std::unique_ptr<MtzFile>& mtz_slot(int mindx) {
  if (mindx < 1 || mindx > MTZ_MAX_SLOTS) {
    std::fprintf(stderr, "mtz_slot: index %d outside 1..%d\n", mindx, MTZ_MAX_SLOTS);
    std::abort();
  }
  return slots[mindx - 1];
}

void MtzMemTidy() {
  for (auto& s : slots) s.reset();
}
