// Ring chirality signs.  A centre's hand is read against the rotation of its
// three listed partners; a triple that names one atom outside the partners
// stands for the missing partner with the rotation reversed.
#include "builder/ring_chirality.h"

#include <cstdio>
#include <string>

#include "builder/geom_common.h"
#include "builder/metal_centres.h"
#include "builder/metals.h"
#include "dictionary/ring_perception.h"
#include "foundation/messages.h"

using builder::geom::fi;
using builder::geom::is_h_atom;
using builder::geom::is_metal_row;

namespace {

int cyc(int k, int nr) { return ((k - 1) % nr + nr) % nr + 1; }

// Orientation of x, y, z against the partners of entry e: +1 in order, -1
// reversed; 0 when more than one is missing from the partners.
int orientation(int e, int32_t x, int32_t y, int32_t z) {
  const r_scratch_t& s = r_scratch;
  const int32_t p[3] = {s.l1c_i2atm(e), s.l1c_i3atm(e), s.l1c_i4atm(e)};
  int32_t g[3] = {x, y, z};
  int missing = -1, nmiss = 0;
  bool used[3] = {false, false, false};
  for (int i = 0; i < 3; ++i) {
    bool hit = false;
    for (int j = 0; j < 3; ++j)
      if (g[i] == p[j]) {
        hit = true;
        used[j] = true;
      }
    if (!hit) {
      ++nmiss;
      missing = i;
    }
  }
  if (nmiss > 1) return 0;
  int o = 1;
  if (nmiss == 1) {
    for (int j = 0; j < 3; ++j)
      if (!used[j]) g[missing] = p[j];
    o = -1;
  }
  const bool in_order = (g[0] == p[0] && g[1] == p[1] && g[2] == p[2]) ||
                        (g[0] == p[1] && g[1] == p[2] && g[2] == p[0]) ||
                        (g[0] == p[2] && g[1] == p[0] && g[2] == p[1]);
  return in_order ? o : -o;
}


}  // namespace

void get_chir_sign_(int32_t icn, int32_t ia1, int32_t ia2, int32_t ia3, int32_t& ichir,
                    int32_t& isign) {
  const r_scratch_t& s = r_scratch;
  ichir = 0;
  isign = 0;
  int e = 0;
  for (int c = 1; c <= s.l1c_nchir; ++c)
    if (!is_metal_row(s.l1c_sign(c)) && s.l1c_i1atm(c) == icn) {
      e = c;
      break;
    }
  if (e == 0) return;
  const int o = orientation(e, ia1, ia2, ia3);
  if (o == 0) return;
  ichir = e;
  const char f = s.l1c_flag(e)(1);
  if (f == 'B') {
    isign = 9;
    return;
  }
  const int h = f == 'R' ? 1 : (f == 'L' ? -1 : 0);
  isign = o * h;
}

void set_chir_sign_(int32_t ich, int32_t icn, int32_t ia1, int32_t ia2, int32_t ia3,
                    int32_t isign) {
  r_scratch_t& s = r_scratch;
  if (ich < 1 || ich > s.l1c_nchir) return;
  if (isign != 1 && isign != -1) return;
  if (s.l1c_i1atm(ich) != icn) return;
  const int o = orientation(ich, ia1, ia2, ia3);
  if (o == 0 || !(s.l1c_flag(ich) == "B")) return;
  s.l1c_flag(ich) = isign * o == 1 ? "R" : "L";
}

void get_ring_chir_(int32_t mdoc, int32_t iring, builder::RingRecord& r, int32_t& ierr) {
  const r_scratch_t& s = r_scratch;
  const int nr = r.nr;
  for (int k = 1; k <= nr; ++k) {
    r.iflat = 0;
    r.ichir[k] = r.nch[k] = r.iachir[k] = r.iconn[k] = 0;
  }
  if (s.l1c_nchir <= 0) return;
  for (int k = 1; k <= nr; ++k) {
    const int32_t p = r.iatom[cyc(k - 1, nr)], c = r.iatom[k], n = r.iatom[cyc(k + 1, nr)];
    if (is_it_metal_(s.l1a_symb(c).view())) {
      int32_t ibc = 0, ifr = 0, icross = 0, lc = 0, st = 0;
      int32_t imc[10] = {};
      rt::FixedText<8> sign;
      srch_metal_chir_(mdoc, s.l1l_mname.view(), c, 0, ibc, ifr, imc, icross, sign, lc, st);
      if (st == 0) {
        r.iconn[k] = 1;
        r.iflat = 1;
        continue;
      }
      if (lc <= 0) continue;
    }
    int32_t cand[40];
    int ncand = 0;
    const int nconn = (s.l1a_iback(c) > 0 ? 1 : 0) + s.l1a_ndist(c) + s.l1a_nextr(c);
    if (nconn >= 3) {
      const int32_t b = s.l1a_iback(c);
      if (b > 0 && b != p && b != n) cand[ncand++] = b;
      for (int q = 1; q <= std::min<int>(s.l1a_ndist(c), MAX1BRN); ++q) {
        const int32_t a = s.l1a_conn(q, c);
        if (a > 0 && a != p && a != n && !is_h_atom(a)) cand[ncand++] = a;
      }
      for (int q = 1; q <= std::min<int>(s.l1a_nextr(c), MAX1EXT); ++q) {
        const int32_t a = s.l1a_iextr(q, c);
        if (a > 0 && a != p && a != n && !is_h_atom(a)) cand[ncand++] = a;
      }
    }
    int32_t sub = 0;
    if (ncand >= 1) sub = cand[0];
    if (ncand > 1 && s.l1a_nring(c) > 1) {
      bool done = false;
      for (int q = 1; q <= std::min<int>(s.l1a_nring(c), MAX1BRN) && !done; ++q) {
        const int32_t other = s.l1a_ring_id(q, c);
        if (other == iring) continue;
        for (int m = 0; m < ncand; ++m)
          if (s.l1a_nring(cand[m]) >= 2 && dictionary::atom_in_ring(cand[m], other)) {
            sub = cand[m];
            done = true;
            break;
          }
      }
    }
    if (sub <= 0) continue;
    int32_t e = 0, g = 0;
    get_chir_sign_(c, p, sub, n, e, g);
    if (e > 0 && g == 0) {
      msgerr_(mdoc, " WARNING: problem with chirality:" + s.l1a_aname(c).str());
      ierr = 2;
    }
    if (e == 0) sub = 0;
    r.nch[k] = e;
    r.iachir[k] = sub;
    r.ichir[k] = g;
  }
  // The flatness output is cleared position by position and so tells only
  // whether the first ring atom is a metal centre with its descriptor.
  r.iflat = r.iconn[1];
}

void chir_to_list_(int32_t /*mdoc*/, int32_t /*iring*/, builder::RingRecord& r, char list,
                   int32_t& /*ierr*/) {
  const r_scratch_t& s = r_scratch;
  const int nr = r.nr;
  for (int k = 1; k <= nr; ++k) {
    if (r.nch[k] <= 0) continue;
    const int32_t p = r.iatom[cyc(k - 1, nr)], n = r.iatom[cyc(k + 1, nr)];
    set_chir_sign_(r.nch[k], r.iatom[k], p, r.iachir[k], n, r.ichir[k]);
    if (list == 'T') {
      const int e = r.nch[k];
      std::printf("%s\n", ("--cnt:" + fi(k) + fi(r.iatom[k])).c_str());
      std::printf("%s\n", ("-- cH:" + fi(p) + fi(r.iachir[k]) + fi(n) + fi(r.ichir[k])).c_str());
      std::printf(
          "%s\n",
          (" list:" + fi(s.l1c_i2atm(e)) + fi(s.l1c_i3atm(e)) + fi(s.l1c_i4atm(e))).c_str());
      std::printf("%s\n", (" flag:" + s.l1c_flag(e).str()).c_str());
    }
  }
}

void get_correct_chir_(int32_t ichir1, int32_t ichir2, int32_t ibond, int32_t& ich1,
                       int32_t& ich2) {
  const int b = ibond % 100;
  ich1 = ichir1;
  ich2 = ichir2;
  if (b > 20 && ich1 != 9) ich1 = -ich1;
  if (b % 2 == 0 && ich2 != 9) ich2 = -ich2;
}

void set_correct_chir_(int32_t ich1, int32_t ich2, int32_t ibond, int32_t& ichir1,
                       int32_t& ichir2) {
  const int b = ibond % 100;
  if (ichir1 == 9) ichir1 = b > 20 ? -ich1 : ich1;
  if (ichir2 == 9) ichir2 = b % 2 == 0 ? -ich2 : ich2;
}
