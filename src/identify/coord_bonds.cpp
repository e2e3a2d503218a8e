// Bonds from coordinates.  Two atoms are bonded when 0.001 < d <= limit:
// 1.2 A when either is a hydrogen, 1.7 A between two light main-group atoms,
// 2.85 A between two metal-like atoms, 2.4 A otherwise.  A residue or a new
// monomer holds at most 300 atoms, so all pairs are tried.
#include "identify/coord_bonds.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "dictionary/lib_com.h"
#include "foundation/messages.h"
#include "runtime/fixed_text.h"

namespace {

float limit_of(char c1, char c2) {
  if (c1 == 'H' || c2 == 'H') return 1.2f;
  if (c1 == 'C' && c2 == 'C') return 1.7f;
  if (c1 == '$' && c2 == '$') return 2.85f;
  return 2.4f;
}

float distance(float x1, float y1, float z1, float x2, float y2, float z2) {
  const float dx = x1 - x2, dy = y1 - y2, dz = z1 - z2;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

constexpr float kMinDist = 0.001f;
constexpr float kMinOcc = 1.0E-4f;

}  // namespace

char coord_atom_class(std::string_view symb) {
  const rt::FixedText<2> s(symb.substr(0, std::min<std::size_t>(2, symb.size())));
  if (s == "C" || s == "N" || s == "O" || s == "B" || s == "F" || s == "LI") return 'C';
  if (s == "H" || s == "D") return 'H';
  if (s == "P" || s == "S") return 'P';
  return '$';
}

void coor_conn_(int32_t mdoc, std::string_view mode, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  const int n = r.l1a_natom;
  if (n < 2) return;
  const bool conn = rt::FixedText<4>(mode) == "CONN";
  // Pairs named by the tree connections, looked up in constant time.
  static std::vector<unsigned char> listed;
  if (conn) {
    listed.assign(static_cast<std::size_t>(n) * n, 0);
    for (int k = 1; k <= r.l1n_nconn; ++k) {
      const int a = r.l1n_i1atm(k), b = r.l1n_i2atm(k);
      if (a < 1 || a > n || b < 1 || b > n) continue;
      listed[static_cast<std::size_t>(a - 1) * n + (b - 1)] = 1;
      listed[static_cast<std::size_t>(b - 1) * n + (a - 1)] = 1;
    }
  }
  for (int i = 1; i <= n - 1; ++i) {
    if (r.l1a_aname(i).is_blank()) continue;
    for (int j = i + 1; j <= n; ++j) {
      if (r.l1a_aname(j).is_blank()) continue;
      const float lim = limit_of(r.l1a_atype(i)(1), r.l1a_atype(j)(1));
      float d = 0.0f;
      if (r.l1a_coor_flag(i) == "Y" && r.l1a_coor_flag(j) == "Y")
        d = distance(r.l1a_x(i), r.l1a_y(i), r.l1a_z(i), r.l1a_x(j), r.l1a_y(j), r.l1a_z(j));
      const bool by_distance = d > kMinDist && d <= lim;
      const bool by_conn = conn && listed[static_cast<std::size_t>(i - 1) * n + (j - 1)] != 0;
      if (!by_distance && !by_conn) continue;
      if (r.l1b_nbond >= MAX1BND) {
        foundation::table_full(mdoc, " ERROR: number of bonds of new monomer " + r.l1l_mname.str() + " >",
                               MAX1BND, "", {.constant = "MAX1BND", .header = "lib_com.fh", .indent = 10});
        ierr = 1;
        return;
      }
      const int b = ++r.l1b_nbond;
      r.l1b_i1atm(b) = i;
      r.l1b_i2atm(b) = j;
      r.l1b_1atm(b) = r.l1a_aname(i);
      r.l1b_2atm(b) = r.l1a_aname(j);
      r.l1b_type(b) = ".";
      r.l1b_vobs(b) = d;
      if (r.l1a_ndist(i) < MAX1BRN) {
        r.l1a_conn(++r.l1a_ndist(i), i) = j;
        if (r.l1a_atype(j)(1) == 'H') ++r.l1a_lencon(1, i);
      }
      if (r.l1a_ndist(j) < MAX1BRN) {
        r.l1a_conn(++r.l1a_ndist(j), j) = i;
        if (r.l1a_atype(i)(1) == 'H') ++r.l1a_lencon(1, j);
      }
    }
  }
}

void crd_conn_(int32_t /*mdoc*/, std::string_view /*mode*/, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const int n = r.c1_natom;
  for (int i = 1; i <= n; ++i) {
    r.s1_inew(i) = r.s1_iold(i) = i;
    r.s1_ndist(i) = r.s1_iback(i) = r.s1_iforw(i) = r.s1_ichem(i) = 0;
    for (int k = 1; k <= MX1EXT; ++k) r.s1_iextr(k, i) = 0;
    for (int k = 1; k <= MX1BRN; ++k) r.s1_conn(k, i) = r.s1_lencon(k, i) = 0;
    r.s1_back(i) = ".";
    r.s1_forw(i) = ".";
    r.s1_chem(i) = r.c1_asymb(i);
    const char cls = coord_atom_class(r.c1_asymb(i).view());
    r.c1_atype(i) = std::string_view(&cls, 1);
  }
  if (n < 2) return;
  for (int i = 1; i <= n - 1; ++i) {
    if (r.c1_aname(i).is_blank()) continue;
    for (int j = i + 1; j <= n; ++j) {
      if (r.c1_aname(j).is_blank()) continue;
      const float lim = limit_of(r.c1_atype(i)(1), r.c1_atype(j)(1));
      float d = 0.0f;
      if (r.c1_occ(i) > kMinOcc && r.c1_occ(j) > kMinOcc)
        d = distance(r.c1_xyz(1, i), r.c1_xyz(2, i), r.c1_xyz(3, i), r.c1_xyz(1, j), r.c1_xyz(2, j),
                     r.c1_xyz(3, j));
      if (!(d > kMinDist && d <= lim)) continue;
      if (r.s1_ndist(i) < MX1BRN) {
        r.s1_conn(++r.s1_ndist(i), i) = j;
        if (r.c1_atype(j)(1) == 'H') ++r.s1_lencon(1, i);
      }
      if (r.s1_ndist(j) < MX1BRN) {
        r.s1_conn(++r.s1_ndist(j), j) = i;
        if (r.c1_atype(i)(1) == 'H') ++r.s1_lencon(1, j);
      }
    }
  }
}
