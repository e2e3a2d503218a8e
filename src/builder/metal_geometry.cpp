// Metal coordination geometry.  From coordinates: pairs near 180 degrees
// give the axis, the smallest angle between the remaining (side) neighbours
// classifies the polygon around it (90 square, 60 hexagon, 120 triangle, 72
// or 144 pentagon), and the side atoms are ordered around the axis by their
// angle to the first one and the hand of the turn.
#include "builder/metal_geometry.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "builder/geom_common.h"
#include "builder/metal_centres.h"
#include "dictionary/descr_lookups.h"
#include "dictionary/l1_kernels.h"
#include "foundation/messages.h"

using builder::geom::ff;
using builder::geom::fi;
using builder::geom::ints;
using builder::geom::is_h_atom;
using builder::geom::iw;
using builder::geom::trace;

namespace {

// The ordinary "both" row of a tetrahedral metal from its first three heavy
// neighbours.  0 written or nothing to write, 3 the table full.
int32_t tetrahedral_row(int32_t mdoc, std::string_view mon, int32_t ia, int32_t nc,
                        const int32_t* ibond) {
  r_scratch_t& s = r_scratch;
  int32_t heavy[3];
  int nh = 0;
  for (int i = 0; i < nc && nh < 3; ++i)
    if (!is_h_atom(ibond[i])) heavy[nh++] = ibond[i];
  if (nh < 3) return 0;
  if (builder::chiral_table_full(mdoc, mon)) return 3;
  const int k = ++s.l1c_nchir;
  builder::set_centre_atoms(k, {ia, heavy[0], heavy[1], heavy[2], 0, 0, 0, 0, 0});
  s.l1c_sign(k) = "both";
  s.l1c_flag(k) = "L";
  float vi = 0, p1 = 0, p2 = 0, p3 = 0, vo = 0;
  int32_t st = 0;
  calc_ivol_(k, vi, p1, p2, p3);
  calc_ovol_(k, vo, st);
  s.l1c_vol(k) = vi;
  s.l1c_vobs(k) = vo;
  return 0;
}

// Writes the row and applies the correction; 3 when either fails.
int32_t write_cross(int32_t mdoc, char list, std::string_view mon, int32_t nc, int32_t ia,
                    int32_t ibc, int32_t ifr, int32_t* imc, int32_t icross, bool default_path) {
  int32_t lc = 0, st = 0;
  set_metal_chirality_(mdoc, mon, icross, ia, ibc, ifr, imc, lc, st);
  if (st != 0) return 3;
  if (default_path && list == 'T') {
    trace("---METAL_ang--corr");
    trace("-ia,nc,icross:" + fi(ia) + fi(nc) + fi(icross));
    trace("-ibc,ifr,mc(1234):" + fi(ibc) + fi(ifr) + ints(imc, 4));
  }
  int32_t st2 = 0;
  metal_angle_tors_correction_(mdoc, mon, nc, ia, ibc, ifr, imc, icross, st2);
  return st2 != 0 ? 3 : 0;
}

float angle_at(int32_t a, int32_t centre, int32_t b) {
  float v = 0;
  calc_angobs_(a, centre, b, v);
  return v;
}

}  // namespace

void metal_chir_from_coord_(int32_t mdoc, char list, std::string_view mon, int32_t ia, int32_t nc,
                            const int32_t* ibond, int32_t& ierr) {
  const r_scratch_t& s = r_scratch;
  ierr = 0;
  const float delta = 18.0f;
  if (nc < 2) return;
  if (list == 'T') trace("---METAL_CHIR_FROM_COORD--" + ff(delta));
  for (int i = 0; i < nc; ++i)
    if (!(s.l1a_coor_flag(ibond[i]) == "Y")) {
      ierr = 2;
      return;
    }
  auto fail = [&](int32_t st) {
    ierr = st;
    if (list == 'T') {
      trace("---ierr=" + fi(st));
      trace("-ib:" + ints(ibond, nc));
      for (int i = 0; i < nc; ++i)
        for (int j = i + 1; j < nc; ++j)
          trace("-i,j,ang:" + fi(i + 1) + fi(j + 1) + ff(angle_at(ibond[i], ia, ibond[j])));
    }
  };
  int32_t i180[10][2] = {};
  int n180 = 0;
  bool tetra = true;
  for (int i = 0; i < nc; ++i)
    for (int j = i + 1; j < nc; ++j) {
      const float a = angle_at(ibond[i], ia, ibond[j]);
      if (a > 180.0f - delta) {
        ++n180;
        if (n180 <= 10) {
          i180[n180 - 1][0] = ibond[i];
          i180[n180 - 1][1] = ibond[j];
        }
      }
      if (std::fabs(a - 109.5f) > delta / 3.0f) tetra = false;
    }
  if (tetra && (nc == 3 || nc == 4)) {
    ierr = tetrahedral_row(mdoc, mon, ia, nc, ibond);
    return;
  }
  int32_t ibc = 0, ifr = 0;
  for (int i = 0; i < nc && ibc == 0; ++i) {
    bool axis = true;
    for (int j = 0; j < nc; ++j) {
      if (j == i) continue;
      const float a = angle_at(ibond[i], ia, ibond[j]);
      if (!(std::fabs(a - 90.0f) <= delta || a >= 180.0f - delta)) axis = false;
    }
    if (axis) ibc = ibond[i];
  }
  if (ibc > 0)
    for (int p = 0; p < std::min(n180, 10); ++p) {
      if (i180[p][0] == ibc) {
        ifr = i180[p][1];
        break;
      }
      if (i180[p][1] == ibc) {
        ifr = i180[p][0];
        break;
      }
    }
  auto side = [&](int32_t a) { return a != ibc && a != ifr; };
  float amin = 1000.0f;
  int32_t imin[2] = {0, 0};
  int nside = 0;
  for (int i = 0; i < nc; ++i) {
    if (!side(ibond[i])) continue;
    ++nside;
    for (int j = i + 1; j < nc; ++j) {
      if (!side(ibond[j])) continue;
      const float a = angle_at(ibond[i], ia, ibond[j]);
      if (a < amin) {
        amin = a;
        imin[0] = ibond[i];
        imin[1] = ibond[j];
      }
    }
  }
  const int ns180 = (ibc > 0 && ifr > 0) ? n180 - 1 : n180;
  if (list == 'T') {
    trace("-ia,nc,nside:" + fi(ia) + fi(nc) + fi(nside));
    trace("-ibc,ifr,n180:" + fi(ibc) + fi(ifr) + fi(n180) + fi(ns180));
    trace("-amin:" + ff(amin) + ints(imin, 2));
    trace("-ib:" + ints(ibond, nc));
  }
  int32_t imc[10] = {};
  int icross = -1;
  const int sd = nside, t = ns180;
  const float a = amin;
  if (sd == 0) {
    if (ibc <= 0) return fail(1);
    icross = 0;
  } else if (sd == 1) {
    if (ibc <= 0) return fail(1);
    icross = 1;
    for (int i = 0; i < nc; ++i)
      if (side(ibond[i])) imc[0] = ibond[i];
  } else if (sd == 2 && t == 1) {
    if (ibc <= 0 || ifr <= 0) return fail(1);
    icross = 2;
  } else if (std::fabs(a - 90.0f) < 10.0f && sd <= 4 &&
             ((sd >= 3 && t >= 1) || (sd == 2 && t <= 0))) {
    icross = 4;
  } else if (std::fabs(a - 60.0f) < 10.0f && sd <= 6 &&
             ((sd >= 4 && t >= 1) || (sd == 2 && t <= 0))) {
    icross = 6;
  } else if (std::fabs(a - 120.0f) < 10.0f && sd <= 3 && t <= 0) {
    icross = 3;
  } else if (((std::fabs(a - 144.0f) < 10.0f && sd == 2) ||
              (std::fabs(a - 72.0f) < 10.0f && sd >= 2)) &&
             sd <= 5 && t <= 0) {
    icross = 5;
  } else {
    return fail(1);
  }
  if (icross >= 2) {
    const int step = 360 / icross;
    imc[0] = imin[0];
    float rc[3] = {s.l1a_x(ia), s.l1a_y(ia), s.l1a_z(ia)};
    auto vec = [&](int32_t at, float* v) {
      v[0] = s.l1a_x(at) - rc[0];
      v[1] = s.l1a_y(at) - rc[1];
      v[2] = s.l1a_z(at) - rc[2];
    };
    for (int i = 0; i < nc; ++i) {
      const int32_t b = ibond[i];
      if (b == ibc || b == ifr || b == imc[0]) continue;
      const float ang = angle_at(b, ia, imc[0]);
      float vol = 0;
      if (ibc > 0) {
        float u[3], m[3], w[3];
        vec(ibc, u);
        vec(imc[0], m);
        vec(b, w);
        const float cx = m[1] * w[2] - m[2] * w[1], cy = m[2] * w[0] - m[0] * w[2],
                    cz = m[0] * w[1] - m[1] * w[0];
        vol = u[0] * cx + u[1] * cy + u[2] * cz;
      }
      int k = static_cast<int>(ang / static_cast<float>(step) + 0.5f);
      if (k < 0) k = 0;
      if (k > icross) k -= icross;
      if (vol < 0) k = icross - k;
      if (k == icross) k = 0;
      k = k + 1;
      if (k < 2) k = 2;
      if (k > icross) k = icross;
      if (imc[k - 1] == 0) {
        imc[k - 1] = b;
      } else if (k > 2 && imc[k - 2] == 0) {
        imc[k - 2] = b;
      } else if (k < icross && imc[k] == 0) {
        imc[k] = b;
      } else {
        imc[k - 1] = b;
      }
    }
    if (list == 'T') trace("-imc:" + ints(imc, 6));
    if (imc[1] == 0 && imc[icross - 1] != 0) {
      int32_t tmp[6];
      for (int p = 2; p <= icross; ++p) tmp[p - 2] = imc[p - 1];
      for (int p = 2; p <= icross; ++p) imc[p - 1] = tmp[icross - p];
      if (list == 'T') trace("=imc:" + ints(imc, 6));
    }
  }
  ierr = write_cross(mdoc, list, mon, nc, ia, ibc, ifr, imc, icross, false);
}

void check_default_met_chir_(int32_t mdoc, std::string_view mon, int32_t ia, int32_t nc,
                             const int32_t* ibond, char list, int32_t& ierr) {
  ierr = 0;
  if (nc < 2 || nc > 4) {
    ierr = 1;
    return;
  }
  int32_t imc[10] = {};
  int32_t i180[10][2] = {};
  int n180 = 0, n90 = 0, n120 = 0;
  bool tetra = true;
  for (int i = 0; i < nc; ++i)
    for (int j = i + 1; j < nc; ++j) {
      float g = 0;
      int32_t lg = 0, st = 0;
      srch_angl_(mdoc, mon, ibond[i], ia, ibond[j], g, lg, st);
      if (st != 0) {
        ierr = st;
        return;
      }
      if (g > 162.0f) {
        ++n180;
        if (n180 <= 10) {
          i180[n180 - 1][0] = ibond[i];
          i180[n180 - 1][1] = ibond[j];
        }
      }
      if (std::fabs(g - 90.0f) < 10.0f) ++n90;
      if (std::fabs(g - 120.0f) < 10.0f) ++n120;
      if (std::fabs(g - 109.5f) > 5.0f) tetra = false;
    }
  int32_t ibc = 0, ifr = 0, icross = 0;
  if (nc == 2) {
    if (n180 != 1) return;
    ibc = ibond[0];
    ifr = ibond[1];
  } else if (tetra) {
    ierr = tetrahedral_row(mdoc, mon, ia, nc, ibond);
    return;
  } else if (nc == 4) {
    if (!(n180 == 2 && n90 == 4)) {
      ierr = 1;
      return;
    }
    icross = 2;
    ibc = i180[0][0];
    ifr = i180[0][1];
    int m = 0;
    for (int i = 0; i < nc; ++i)
      if (ibond[i] != ibc && ibond[i] != ifr && m < 2) imc[m++] = ibond[i];
  } else if (n180 == 1 && n90 == 2) {
    icross = 1;
    ibc = i180[0][0];
    ifr = i180[0][1];
    for (int i = 0; i < nc; ++i)
      if (ibond[i] != ibc && ibond[i] != ifr) imc[0] = ibond[i];
  } else if (n120 == 2 && n180 == 0) {
    icross = 3;
    for (int i = 0; i < 3; ++i) imc[i] = ibond[i];
  } else {
    ierr = 1;
    return;
  }
  ierr = write_cross(mdoc, list, mon, nc, ia, ibc, ifr, imc, icross, true);
}
