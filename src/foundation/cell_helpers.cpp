// Cell and symmetry helpers over crst_crd.
#include "foundation/cell_helpers.h"

#include <cmath>

com_atm_old_t com_atm_old;

namespace {

// y = a x for a 3x3 column-major matrix, summed in single precision.
void mvmult(const rt::Array2<float, 3, 3>& a, const float* x, float* y) {
  for (int i = 1; i <= 3; ++i) {
    float s = 0.0f;
    for (int j = 1; j <= 3; ++j) s += a(i, j) * x[j - 1];
    y[i - 1] = s;
  }
}

// Adds or subtracts whole cells until lo <= v < lo + 1; `shift` counts the
// cells added.  A value too large for unit steps to change it is moved in
// one step, so the loops always end.
void into_cell(float& v, float lo, float& shift) {
  if (!std::isfinite(v)) return;
  if (std::fabs(v) > 1.0e6f) {
    const float k = std::floor(v - lo);
    v -= k;
    shift -= k;
  }
  while (v < lo) {
    v += 1.0f;
    shift += 1.0f;
  }
  while (v >= lo + 1.0f) {
    v -= 1.0f;
    shift -= 1.0f;
  }
}

void image(int k, const float* x, float* y) {
  for (int i = 1; i <= 3; ++i) {
    float s = 0.0f;
    for (int j = 1; j <= 3; ++j) s += crst_crd.cs_m_cs(i, j, k) * x[j - 1];
    y[i - 1] = s + crst_crd.cs_v_cs(i, k);
  }
}

}  // namespace

void nb_ftoo_(const float* x, float* y, int32_t& ierr) {
  mvmult(crst_crd.cs_frac_to_ort, x, y);
  ierr = 0;
}

void nb_otof_(const float* x, float* y, int32_t& ierr) {
  mvmult(crst_crd.cs_ort_to_frac, x, y);
  ierr = 0;
}

void calc_dist_(const float* zz, const float* xx, float& d2, int32_t& itx, int32_t& ity,
                int32_t& itz) {
  float d[3];
  float shift[3] = {0, 0, 0};
  for (int i = 0; i < 3; ++i) {
    d[i] = zz[i] - xx[i];
    // The component goes first above 0, then below 0.5: a difference of
    // exactly 0.5 ends as -0.5.
    if (std::isfinite(d[i])) {
      while (d[i] < 0.0f) {
        d[i] += 1.0f;
        shift[i] += 1.0f;
        if (shift[i] > 1.0e6f) break;
      }
      while (d[i] >= 0.5f) {
        d[i] -= 1.0f;
        shift[i] -= 1.0f;
        if (shift[i] < -1.0e6f) break;
      }
    }
  }
  itx = static_cast<int32_t>(shift[0]);
  ity = static_cast<int32_t>(shift[1]);
  itz = static_cast<int32_t>(shift[2]);
  float o[3];
  int32_t ierr;
  nb_ftoo_(d, o, ierr);
  d2 = o[0] * o[0] + o[1] * o[1] + o[2] * o[2];
}

void check_spec_pos_(const float* x, float dmin2, int32_t& ispec) {
  ispec = 1;
  com_atm_old.n_atm_old = 1;
  for (int i = 1; i <= 3; ++i) com_atm_old.x_atm_old(i, 1) = x[i - 1];
  com_atm_old.isym_atm_old(1) = 1;
  const int nsym = crst_crd.cs_nsym;
  if (nsym < 2) return;
  // The image list has room for every operator of the largest group.
  const int kmax = nsym < MAXNSO ? nsym : MAXNSO;
  for (int k = 2; k <= kmax; ++k) {
    float z[3];
    image(k, x, z);
    bool is_new = true;
    for (int m = com_atm_old.n_atm_old; m >= 1; --m) {
      float old[3] = {com_atm_old.x_atm_old(1, m), com_atm_old.x_atm_old(2, m),
                      com_atm_old.x_atm_old(3, m)};
      float d2;
      int32_t tx, ty, tz;
      calc_dist_(z, old, d2, tx, ty, tz);
      if (d2 < dmin2) {
        is_new = false;
        break;
      }
    }
    if (is_new) {
      const int m = ++com_atm_old.n_atm_old;
      for (int i = 1; i <= 3; ++i) com_atm_old.x_atm_old(i, m) = z[i - 1];
      com_atm_old.isym_atm_old(m) = k;
    }
  }
  ispec = nsym / com_atm_old.n_atm_old;
}

void nb_ascell_(int32_t itype, float xi, float yi, float zi, float zmax, float& xo, float& yo,
                float& zo, int32_t& jsym, float* trans, int32_t& ierr) {
  ierr = 0;
  const int nsym = crst_crd.cs_nsym < MAXNSO ? crst_crd.cs_nsym : MAXNSO;
  if (nsym <= 0) {
    ierr = 1;
    return;
  }
  const float x[3] = {xi, yi, zi};
  for (int k = 1; k <= nsym; ++k) {
    jsym = k;
    float y[3];
    image(k, x, y);
    // The shifts are counted in trans itself, afresh for every operator.
    for (int i = 0; i < 3; ++i) trans[i] = 0.0f;
    into_cell(y[2], 0.0f, trans[2]);
    if (y[2] > zmax) continue;
    into_cell(y[0], 0.0f, trans[0]);
    into_cell(y[1], 0.0f, trans[1]);
    bool accept = false;
    switch (itype) {
      case 0: accept = true; break;
      case 1: accept = y[1] <= 0.5f; break;
      case 2: accept = y[1] <= 0.5f && y[0] <= 0.5f; break;
      default: accept = false; break;
    }
    if (accept) {
      xo = y[0];
      yo = y[1];
      zo = y[2];
      return;
    }
  }
  ierr = 1;
}
