// Subgraph search on small graphs laid out in a work pool as the search
// expects: induced matches, element classes, first assignment, backtracking.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "identify/ullman.h"

namespace {

struct Graph {
  std::vector<int16_t> cls;
  std::vector<std::pair<int, int>> bonds;
};

// Returns i of the search; iso_out receives the assignment.
int search(const Graph& q, const Graph& c, std::vector<int>* iso_out = nullptr) {
  const int n = static_cast<int>(q.cls.size()), m = static_cast<int>(c.cls.size());
  const int ne = static_cast<int>(q.bonds.size()), nei = static_cast<int>(c.bonds.size());
  std::vector<int16_t> pool(2 * n + m + 3 * ne + 3 * nei + static_cast<std::size_t>(m) * n * (n + 1) + 1);
  GmSlices s;
  int16_t* p = pool.data();
  s.mu = p;
  p += n;
  s.ie = p;
  p += 3 * ne;
  s.mui = p;
  p += m;
  s.iei = p;
  p += 3 * nei;
  s.iso = p;
  p += n;
  s.ip = p;
  for (int k = 0; k < n; ++k) s.mu[k] = q.cls[k];
  for (int k = 0; k < m; ++k) s.mui[k] = c.cls[k];
  for (int e = 0; e < ne; ++e) {
    s.ie[3 * e] = static_cast<int16_t>(q.bonds[e].first);
    s.ie[3 * e + 1] = static_cast<int16_t>(q.bonds[e].second);
    s.ie[3 * e + 2] = 1;
  }
  for (int e = 0; e < nei; ++e) {
    s.iei[3 * e] = static_cast<int16_t>(c.bonds[e].first);
    s.iei[3 * e + 1] = static_cast<int16_t>(c.bonds[e].second);
    s.iei[3 * e + 2] = 1;
  }
  int32_t i = 0;
  gm_ullman_(n, ne, m, nei, 0, s, i);
  if (iso_out) iso_out->assign(s.iso, s.iso + n);
  return i;
}

TEST(Ullman, PathInsideALongerPath) {
  const Graph q{{1, 1, 3}, {{1, 2}, {2, 3}}};
  const Graph c{{1, 1, 1, 3}, {{1, 2}, {2, 3}, {3, 4}}};
  std::vector<int> iso;
  EXPECT_EQ(search(q, c, &iso), 4);
  EXPECT_EQ(iso, (std::vector<int>{2, 3, 4}));
}

TEST(Ullman, NonBondsMustMapToNonBonds) {
  const Graph path{{1, 1, 1}, {{1, 2}, {2, 3}}};
  const Graph triangle{{1, 1, 1}, {{1, 2}, {2, 3}, {3, 1}}};
  EXPECT_LE(search(path, triangle), 3) << "path in triangle";
  EXPECT_LE(search(triangle, path), 3) << "triangle in path";
}

// Row 1 first takes N2, whose carbon C1 leaves the oxygen of row 3 no
// bonded partner: row 2 runs out of columns and the search goes back to row 1.
TEST(Ullman, BacktracksToAnEarlierRow) {
  // Query: 1(N)-2(C)-3(O).  Candidate: C1-N2 apart from N3-C4-O5.
  const Graph q{{2, 1, 3}, {{1, 2}, {2, 3}}};
  const Graph c{{1, 2, 2, 1, 3}, {{1, 2}, {3, 4}, {4, 5}}};
  std::vector<int> iso;
  ASSERT_EQ(search(q, c, &iso), 4);
  EXPECT_EQ(iso, (std::vector<int>{3, 4, 5}));
}

}  // namespace
