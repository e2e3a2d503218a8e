// Grid sizes that suit a space group and a fast Fourier transform, and the
// limits of a map asymmetric unit read from its range texts.
#include "suite/csymlib_grid.h"

#include <algorithm>
#include <cmath>

#include "suite/ptq7_errno.h"

int all_factors_le_19(int n) {
  if (n <= 1) return 0;
  static const int primes[8] = {2, 3, 5, 7, 11, 13, 17, 19};
  for (int p : primes)
    while (n % p == 0) n /= p;
  return n == 1 ? 1 : 0;
}

int get_grid_sample(int minsmp, int nmul, float sample) {
  if (minsmp < 1) return nmul;
  if (nmul < 1) return -1;
  // Nearest integer with halves to even, as the sizes have always been chosen.
  auto near = [](float x) { return static_cast<int>(std::nearbyint(x)); };
  float r = sample >= 1.0f ? sample : 1.6f;
  int n = nmul * near(r * minsmp / nmul);
  while (n > minsmp) {
    if (all_factors_le_19(n)) return n;
    n -= nmul;
  }
  r = sample >= 1.0f ? std::max(1.0f, 0.95f * sample) : 1.4f;
  n = nmul * near(r * minsmp / nmul);
  if (n >= 4 * minsmp) return -1;
  while (!all_factors_le_19(n)) {
    n += nmul;
    if (n >= 4 * minsmp) return -1;
  }
  return n;
}

void set_fft_grid(const Spacegroup* sg, int nxmin, int nymin, int nzmin, float sample, int& nx,
                  int& ny, int& nz) {
  if (!sg) {
    ptq7_signal(ptq7_error_word(PTQ7_ERRNO_SYM, PTQ7_LEVEL_SUCCESS, 3), "set_fft_grid", nullptr);
    return;
  }
  nx = get_grid_sample(nxmin, sg->laue_sampling[0], sample);
  ny = get_grid_sample(nymin, sg->laue_sampling[1], sample);
  nz = get_grid_sample(nzmin, sg->laue_sampling[2], sample);
}

namespace {

// One bound: an optional '-', a digit, optionally '/' and a digit.  Of a
// longer numerator or denominator only the last digit counts.
float read_bound(const char* p, const char* end) {
  float sign = 1.0f;
  int num = 0, den = 1;
  bool in_den = false;
  for (; p < end; ++p) {
    if (*p == '-') sign = -1.0f;
    else if (*p == '/') in_den = true;
    else if (*p >= '0' && *p <= '9') (in_den ? den : num) = *p - '0';
  }
  if (den == 0) den = 1;
  return sign * static_cast<float>(num) / static_cast<float>(den);
}

}  // namespace

void range_to_limits(const char* text, float limits[2]) {
  char buf[128];
  int n = 0;
  for (const char* p = text; *p && n < 127; ++p)
    if (*p != ' ' && *p != ';' && *p != '\n' && *p != '\t') buf[n++] = *p;
  buf[n] = '\0';
  constexpr float delta = 0.00001f;
  limits[0] = 0.0f;
  limits[1] = -delta;
  if (n == 0) return;
  const char* end = buf + n;
  const char* lt1 = std::find(static_cast<const char*>(buf), end, '<');
  if (lt1 == end) return;
  const float lower = read_bound(buf, lt1);
  const bool lower_eq = lt1 + 1 < end && lt1[1] == '=';
  const char* lt2 = std::find(lt1 + 1, end, '<');
  if (lt2 == end) return;
  const bool upper_eq = lt2 + 1 < end && lt2[1] == '=';
  const float upper = read_bound(lt2 + (upper_eq ? 2 : 1), end);
  limits[0] = lower_eq ? lower - delta : lower + delta;
  limits[1] = upper_eq ? upper + delta : upper - delta;
}
