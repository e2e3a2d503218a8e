// Metal centres.  A centre's row is looked up once; the row passes when the
// centre's neighbours fill its axis and side slots, and then sets the
// centre's ideal angles (180 on the axis, 90 to the side, the polygon angles
// around it) and turns the torsions about its bonds to run through atoms
// that make a proper angle.
#include "builder/metal_centres.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "builder/geom_common.h"
#include "builder/metal_geometry.h"
#include "builder/metals.h"
#include "dictionary/descr_lookups.h"
#include "foundation/messages.h"

using builder::geom::fi;
using builder::geom::ints;
using builder::geom::is_h_atom;
using builder::geom::iw;
using builder::geom::trace;
using builder::geom::Word;

namespace builder {

int centre_neighbours(int32_t ia, int32_t* ibond, int cap) {
  const r_scratch_t& s = r_scratch;
  int n = 0;
  auto add = [&](int32_t a) {
    if (n < cap) ibond[n] = a;
    ++n;
  };
  if (s.l1a_iback(ia) > 0) add(s.l1a_iback(ia));
  for (int k = 1; k <= std::min<int>(s.l1a_ndist(ia), MAX1BRN); ++k) add(s.l1a_conn(k, ia));
  for (int k = 1; k <= std::min<int>(s.l1a_nextr(ia), MAX1EXT); ++k) add(s.l1a_iextr(k, ia));
  return std::min(n, cap);
}

bool chiral_table_full(int32_t mdoc, std::string_view mon) {
  if (r_scratch.l1c_nchir < MAX1CHR) return false;
  foundation::table_full(mdoc,
                         "ERROR: number of chiral centres in monomer " + std::string(mon) + " >",
                         MAX1CHR, "", {"MAX1CHR", "lib_com", 10});
  return true;
}

void set_centre_atoms(int k, const int32_t (&slot)[9]) {
  r_scratch_t& s = r_scratch;
  int32_t* idx[9] = {&s.l1c_i1atm(k), &s.l1c_i2atm(k), &s.l1c_i3atm(k),
                     &s.l1c_i4atm(k), &s.l1c_i5atm(k), &s.l1c_i6atm(k),
                     &s.l1c_i7atm(k), &s.l1c_i8atm(k), &s.l1c_i9atm(k)};
  rt::FixedText<4>* nm[9] = {&s.l1c_1atm(k), &s.l1c_2atm(k), &s.l1c_3atm(k),
                             &s.l1c_4atm(k), &s.l1c_5atm(k), &s.l1c_6atm(k),
                             &s.l1c_7atm(k), &s.l1c_8atm(k), &s.l1c_9atm(k)};
  for (int j = 0; j < 9; ++j) {
    *idx[j] = slot[j] > 0 ? slot[j] : 0;
    *nm[j] = slot[j] > 0 ? s.l1a_aname(slot[j]).view() : std::string_view(".");
  }
}

}  // namespace builder

void srch_metal_chir_(int32_t /*mdoc*/, std::string_view /*mon*/, int32_t ic, int32_t /*ib*/,
                      int32_t& ibc, int32_t& ifr, int32_t* imc, int32_t& icross,
                      rt::FixedText<8>& sign, int32_t& lc, int32_t& ierr) {
  const r_scratch_t& s = r_scratch;
  ibc = ifr = icross = lc = 0;
  ierr = 0;
  if (s.l1c_nchir <= 0 || ic < 1) {
    ierr = 1;
    return;
  }
  int k = 0;
  for (int c = 1; c <= s.l1c_nchir; ++c)
    if (s.l1c_i1atm(c) == ic) {
      k = c;
      break;
    }
  if (k == 0) {
    ierr = 2;
    return;
  }
  const Word& w = s.l1c_sign(k);
  char digit;
  if (builder::geom::begins(w.view(), "cros")) {
    digit = w(6);
  } else if (builder::geom::begins(w.view(), "star")) {
    digit = w(5);
  } else {
    lc = k;
    ierr = 9;
    return;
  }
  if (digit < '0' || digit > '9') {
    ierr = 3;
    return;
  }
  icross = digit - '0';
  lc = k;
  sign = w;
  const int32_t slot[9] = {s.l1c_i1atm(k), s.l1c_i2atm(k), s.l1c_i3atm(k),
                           s.l1c_i4atm(k), s.l1c_i5atm(k), s.l1c_i6atm(k),
                           s.l1c_i7atm(k), s.l1c_i8atm(k), s.l1c_i9atm(k)};
  if (w(1) == 'c') {
    ibc = slot[1];
    ifr = slot[2];
    for (int j = 1; j <= std::min(icross, 6); ++j) imc[j - 1] = slot[2 + j];
  } else {
    for (int j = 1; j <= 6; ++j) imc[j - 1] = slot[j];
  }
}

void set_metal_chirality_(int32_t mdoc, std::string_view mon, int32_t icross, int32_t ia,
                          int32_t ibc, int32_t ifr, const int32_t* imc, int32_t& lc,
                          int32_t& ierr) {
  r_scratch_t& s = r_scratch;
  lc = 0;
  ierr = 0;
  if (builder::chiral_table_full(mdoc, mon)) {
    ierr = 1;
    return;
  }
  if (ia < 1) return;
  const int k = ++s.l1c_nchir;
  int32_t slot[9] = {ia, ibc, ifr, imc[0], 0, 0, 0, 0, 0};
  if (icross > 2)
    for (int j = 1; j <= 5; ++j) slot[3 + j] = imc[j];
  builder::set_centre_atoms(k, slot);
  s.l1c_sign(k) = "cross" + std::to_string(icross % 10);
  s.l1c_flag(k) = "X";
  s.l1c_vol(k) = s.l1c_vobs(k) = 0.0f;
  lc = k;
}

void change_angle_value_(int32_t i1, int32_t i2, int32_t i3, float val) {
  r_scratch_t& s = r_scratch;
  if (s.l1g_nangl <= 0 || i1 < 1 || i2 < 1 || i3 < 1) return;
  for (int l = 1; l <= s.l1g_nangl; ++l) {
    if (s.l1g_i2atm(l) != i2) continue;
    if ((s.l1g_i1atm(l) == i1 && s.l1g_i3atm(l) == i3) ||
        (s.l1g_i1atm(l) == i3 && s.l1g_i3atm(l) == i1)) {
      s.l1g_val(l) = val;
      return;
    }
  }
}

void metal_angle_tors_correction_(int32_t mdoc, std::string_view mon, int32_t /*nc*/, int32_t ic,
                                  int32_t ibc, int32_t ifr, const int32_t* imc, int32_t icross,
                                  int32_t& /*ierr*/) {
  r_scratch_t& s = r_scratch;
  const int nside = std::min(icross, 10);
  if (ibc > 0 && ifr > 0) change_angle_value_(ibc, ic, ifr, 180.0f);
  for (int j = 0; j < nside; ++j) {
    const int32_t a = imc[j];
    if (a <= 0) continue;
    if (ibc > 0) change_angle_value_(ibc, ic, a, 90.0f);
    if (ifr > 0) change_angle_value_(ifr, ic, a, 90.0f);
  }
  if (icross > 1) {
    const float step = 360.0f / static_cast<float>(icross);
    for (int i = 1; i <= nside - 1; ++i) {
      if (imc[i - 1] <= 0) continue;
      for (int j = i + 1; j <= nside; ++j) {
        if (imc[j - 1] <= 0) continue;
        float v = static_cast<float>(j - i) * step;
        if (v > 180.0f) v = 360.0f - v;
        change_angle_value_(imc[i - 1], ic, imc[j - 1], std::trunc(v + 0.1f));
      }
    }
  }
  // The list of the centre's arranged neighbours, twelve entries at most.
  int32_t lst[12];
  int nl = 0;
  if (ibc > 0) lst[nl++] = ibc;
  if (ifr > 0) lst[nl++] = ifr;
  for (int j = 0; j < nside && nl < 12; ++j) lst[nl++] = imc[j];
  for (int t = 1; t <= s.l1t_ntors; ++t) {
    int32_t p2;
    if (s.l1t_i2atm(t) == ic) {
      p2 = s.l1t_i3atm(t);
    } else if (s.l1t_i3atm(t) == ic) {
      p2 = s.l1t_i2atm(t);
    } else {
      continue;
    }
    for (int e = 0; e < nl; ++e) {
      if (lst[e] != p2) continue;
      int best = -1;
      int32_t b1 = 0, b4 = 0;
      float bval = 180.0f;
      int32_t nbp2[12];
      const int n2 = builder::centre_neighbours(p2, nbp2, 12);
      for (int f = 0; f < nl; ++f) {
        const int32_t p4 = lst[f];
        // An empty side position names no atom and never ends a torsion.
        if (p4 == p2 || p4 <= 0) continue;
        float a4 = 0;
        int32_t lg = 0, st = 0;
        srch_angl_(mdoc, mon, p2, ic, p4, a4, lg, st);
        const bool usable = a4 >= 10.0f && a4 <= 170.0f;
        for (int g = 0; g < n2; ++g) {
          const int32_t p1 = nbp2[g];
          if (p1 == ic) continue;
          float a1 = 0;
          srch_angl_(mdoc, mon, p1, p2, ic, a1, lg, st);
          int score = 0;
          float val = 180.0f;
          if (a1 >= 10.0f && a1 <= 170.0f && usable) {
            score = 1;
            int32_t id = 0, st2 = 0;
            float phi = 0;
            check_ring_id_(mdoc, p1, p2, ic, p4, id, phi, st2);
            val = phi;
            if (id == 3) score = 2;
          }
          if (score > best) {
            best = score;
            b1 = p1;
            b4 = p4;
            bval = val;
          }
        }
      }
      if (best >= 0) {
        const int32_t q[4] = {b1, p2, ic, b4};
        int32_t* idx[4] = {&s.l1t_i1atm(t), &s.l1t_i2atm(t), &s.l1t_i3atm(t), &s.l1t_i4atm(t)};
        rt::FixedText<4>* nm[4] = {&s.l1t_1atm(t), &s.l1t_2atm(t), &s.l1t_3atm(t), &s.l1t_4atm(t)};
        for (int a = 0; a < 4; ++a) {
          *idx[a] = q[a];
          *nm[a] = q[a] > 0 ? s.l1a_aname(q[a]).view() : std::string_view(".");
        }
        s.l1t_val(t) = bval;
      }
    }
  }
}

void check_metal_chir_(int32_t mdoc, std::string_view mon, int32_t iangl, char list,
                       int32_t& ierr) {
  const r_scratch_t& s = r_scratch;
  ierr = 0;
  int32_t kept = 0;
  if (list == 'T') trace("---CHECK_METAL_CHIR--" + fi(s.l1c_nchir));
  for (int ia = 1; ia <= s.l1a_natom; ++ia) {
    if (!is_it_metal_(s.l1a_symb(ia).view())) continue;
    int32_t ibond[10] = {};
    const int nc = builder::centre_neighbours(ia, ibond, 10);
    int nh = 0;
    for (int i = 0; i < nc; ++i)
      if (ibond[i] > 0 && is_h_atom(ibond[i])) ++nh;
    if (!(nc > 1 && nc - nh > 1)) continue;

    int32_t ibc = 0, ifr = 0, icross = 0, lc = 0, st = 0;
    int32_t imc[10] = {};
    Word sign;
    bool found = false, ordinary = false;
    for (int b = 0; b < nc; ++b) {
      for (int32_t& m : imc) m = 0;
      srch_metal_chir_(mdoc, mon, ia, ibond[b], ibc, ifr, imc, icross, sign, lc, st);
      if (list == 'T') {
        trace("srch_m_c:" + fi(ia) + fi(ibond[b]) + fi(lc) + fi(st));
        trace("  IBC,IFR,ICROSS:" + fi(ibc) + fi(ifr) + fi(icross));
        trace("  IB:" + ints(ibond, 4));
        trace("  IM:" + ints(imc, 4));
      }
      if (st == 0) {
        found = true;
        break;
      }
      if (st == 9 && lc > 0) {
        ordinary = true;
        break;
      }
    }
    if (ordinary) continue;
    if (!found) {
      msgerr_(mdoc, " WARNING: there is not metal chirality for:" + s.l1a_aname(ia).str());
      int32_t st2 = 0;
      metal_chir_from_coord_(mdoc, list, mon, ia, nc, ibond, st2);
      if (st2 == 1) msgerr_(mdoc, " WARNING: coords are not good enough to create Chirality");
      if (st2 == 1 || st2 == 2) {
        if (iangl == 1) {
          if (list == 'T') {
            trace("--chek_MET_chir--");
            trace("-ia,nc:" + fi(ia) + fi(nc));
            trace("-ibond(1234):" + ints(ibond, 4));
          }
          int32_t st3 = 0;
          check_default_met_chir_(mdoc, mon, ia, nc, ibond, list, st3);
          if (st3 != 0) kept = st3;
        } else {
          kept = st2;
        }
      } else if (st2 >= 3) {
        kept = st2;
      }
      continue;
    }
    kept = 1;
    int nfound1 = 0, nfound2 = 0;
    for (int b = 0; b < nc; ++b) {
      const int32_t a = ibond[b];
      if (a == ibc || a == ifr) {
        ++nfound1;
        continue;
      }
      for (int j = 0; j < std::min(icross, 10); ++j)
        if (imc[j] == a) {
          ++nfound2;
          break;
        }
    }
    const bool cross = builder::geom::begins(sign.view(), "cros");
    if (cross && icross == 2 && nc >= 1) {
      const int32_t slot4 = s.l1c_i4atm(lc);
      for (int b = 0; b < nc; ++b) {
        const int32_t a = ibond[b];
        if (a == ibc || a == ifr || a == slot4) continue;
        ++nfound2;
        imc[1] = a;
      }
    }
    bool pass;
    if (nfound1 > 0 && builder::geom::begins(sign.view(), "star")) {
      pass = false;
    } else {
      const bool sides = icross > 0 && nfound2 >= 1 && nfound2 <= icross;
      pass = (nfound1 >= 2 && ((icross == 0 && nfound2 == 0) || sides)) || (nfound1 <= 1 && sides);
    }
    if (pass) {
      if (list == 'T') {
        trace("---METAL_ang--corr");
        trace("-ia,nc,icross:" + fi(ia) + fi(nc) + fi(icross));
        trace("-ibc,ifr,mc(1234):" + fi(ibc) + fi(ifr) + ints(imc, 6));
      }
      int32_t st4 = 0;
      metal_angle_tors_correction_(mdoc, mon, nc, ia, ibc, ifr, imc, icross, st4);
      kept = 0;
    } else {
      if (list == 'T') trace(" NF1,NF2,ICROSS:" + fi(nfound1) + fi(nfound2) + fi(icross));
      msgerr_(mdoc, " ERROR: wrong metal chirality for:" + s.l1a_aname(ia).str());
    }
  }
  ierr = kept;
}
