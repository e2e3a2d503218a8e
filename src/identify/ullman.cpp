// Ullmann's depth-first search with forward checking.  Every depth keeps its
// own compatibility matrix, copied from the one above at each assignment, so
// backtracking needs no restore.
#include "identify/ullman.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

struct Dims {
  int n, m;
  // ip(r, l, d), r = query row, l = candidate column, d = depth.
  std::size_t at(int r, int l, int d) const {
    return (static_cast<std::size_t>(d - 1) * m + (l - 1)) * n + (r - 1);
  }
};

// Labels of the bonds towards atom k, for every atom of a graph at once: one
// pass over the bond list instead of one a matrix entry.
void labels_towards(const int16_t* bonds, int nb, int k, int count, bool undirected, std::vector<int16_t>& lab) {
  lab.assign(static_cast<std::size_t>(count) + 1, 0);
  for (int e = 0; e < nb; ++e) {
    const int16_t* row = bonds + 3 * e;
    if (row[1] == k && row[0] >= 1 && row[0] <= count && lab[row[0]] == 0) lab[row[0]] = row[2];
    if (undirected && row[0] == k && row[1] >= 1 && row[1] <= count && lab[row[1]] == 0) lab[row[1]] = row[2];
  }
}

}  // namespace

// Rows up to i of matrix i + 1 are never read again (each keeps the column
// it was given), so only the later rows are copied, refined and tested.
void forward_check_gm_(int32_t i, int32_t n, int32_t ne, int32_t m, int32_t nei, int32_t idirect,
                       const GmSlices& s, int32_t& iflag) {
  const Dims dim{n, m};
  const bool undirected = idirect == 0;
  static std::vector<int16_t> qlab, clab;
  labels_towards(s.ie, ne, i, n, undirected, qlab);
  labels_towards(s.iei, nei, s.iso[i - 1], m, undirected, clab);
  iflag = m < 1 ? 1 : 0;
  for (int r = i + 1; r <= n; ++r) {
    const int16_t q = qlab[r];
    bool any = false;
    for (int l = 1; l <= m; ++l) {
      int16_t& cell = s.ip[dim.at(r, l, i + 1)];
      if (cell < 1) continue;
      const int16_t c = clab[l];
      const int f1 = q != 0 ? (c == q ? 1 : -1) : 0;
      const int f2 = c != 0 ? (q == c ? 1 : -1) : 0;
      if (f1 == -1 || f2 == -1) {
        cell = 0;
      } else {
        any = true;
      }
    }
    if (!any) {
      iflag = 1;
      return;
    }
  }
}

void gm_ullman_(int32_t n, int32_t ne, int32_t m, int32_t nei, int32_t idirect, const GmSlices& s, int32_t& i) {
  const Dims dim{n, m};
  for (int r = 1; r <= n; ++r)
    for (int l = 1; l <= m; ++l) s.ip[dim.at(r, l, 1)] = s.mu[r - 1] == s.mui[l - 1] ? 1 : 0;
  i = 1;
  int j = 1;
  for (;;) {
    while (j <= m) {
      if (i > n) return;
      if (s.ip[dim.at(i, j, i)] != 0) {
        s.iso[i - 1] = static_cast<int16_t>(j);
        // Matrix i + 1: the later rows of matrix i, none of which may take column j.
        for (int l = 1; l <= m && i < n; ++l)
          std::memcpy(s.ip + dim.at(i + 1, l, i + 1), s.ip + dim.at(i + 1, l, i),
                      sizeof(int16_t) * static_cast<std::size_t>(n - i));
        for (int r = i + 1; r <= n; ++r) s.ip[dim.at(r, j, i + 1)] = 0;
        int32_t iflag = 0;
        forward_check_gm_(i, n, ne, m, nei, idirect, s, iflag);
        if (iflag == 0) {
          ++i;
          j = 1;
        } else {
          j = s.iso[i - 1] + 1;
        }
      } else {
        ++j;
      }
    }
    if (i > n) return;
    // Backtrack to the last row that has a column left to try.
    do {
      if (i <= 1) return;
      --i;
      j = s.iso[i - 1] + 1;
    } while (j > m);
  }
}
