// Ullmann's depth-first search with forward checking.  Every depth keeps its
// own compatibility matrix, copied from the one above at each assignment, so
// backtracking needs no restore.  The bond tests of the forward check look
// each bond up once per call rather than once per matrix entry.
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

// Label of the bond from a to b (the reverse too when undirected), 0 for none.
int16_t label_between(const int16_t* bonds, int nb, int a, int b, bool undirected) {
  for (int e = 0; e < nb; ++e) {
    const int16_t* row = bonds + 3 * e;
    if ((row[0] == a && row[1] == b) || (undirected && row[0] == b && row[1] == a)) return row[2];
  }
  return 0;
}

}  // namespace

void forward_check_gm_(int32_t i, int32_t n, int32_t ne, int32_t m, int32_t nei, int32_t idirect,
                       const GmSlices& s, int32_t& iflag) {
  const Dims dim{n, m};
  const bool undirected = idirect == 0;
  const int k = i;
  const int lk = s.iso[k - 1];
  // Labels of the candidate bonds towards iso(i), for every column at once.
  static std::vector<int16_t> clab;
  clab.assign(static_cast<std::size_t>(m) + 1, 0);
  for (int f = 0; f < nei; ++f) {
    const int16_t* row = s.iei + 3 * f;
    if (row[1] == lk && row[0] >= 1 && row[0] <= m && clab[row[0]] == 0) clab[row[0]] = row[2];
    if (undirected && row[0] == lk && row[1] >= 1 && row[1] <= m && clab[row[1]] == 0) clab[row[1]] = row[2];
  }
  for (int r = i + 1; r <= n; ++r) {
    const int16_t q = label_between(s.ie, ne, r, k, undirected);
    for (int l = 1; l <= m; ++l) {
      int16_t& cell = s.ip[dim.at(r, l, i + 1)];
      if (cell < 1) continue;
      const int16_t c = clab[l];
      const int f1 = q != 0 ? (c == q ? 1 : -1) : 0;
      const int f2 = c != 0 ? (q == c ? 1 : -1) : 0;
      if (f1 == -1 || f2 == -1) cell = 0;
    }
  }
  iflag = 0;
  if (m < 1) {
    iflag = 1;
    return;
  }
  for (int r = 1; r <= n; ++r) {
    bool any = false;
    for (int l = 1; l <= m && !any; ++l) any = s.ip[dim.at(r, l, i + 1)] > 0;
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
        // Matrix i + 1: a copy of matrix i in which no later row may take column j.
        int16_t* next = s.ip + dim.at(1, 1, i + 1);
        std::memcpy(next, s.ip + dim.at(1, 1, i), sizeof(int16_t) * static_cast<std::size_t>(n) * m);
        for (int r = i + 1; r <= n; ++r) next[dim.at(r, j, 1)] = 0;
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
