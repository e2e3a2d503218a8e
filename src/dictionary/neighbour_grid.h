// Close pairs of a point set without testing all pairs: the points are
// hashed into cubic cells whose edge is the largest reach asked for, and a
// point meets only the points of its own and the 26 neighbouring cells.
// Pairs (i, j), i < j, come out with i ascending and, within one i, j
// ascending: the order of a plain double loop, so callers that append bonds
// keep their order.  Points with a coordinate that is not finite are never
// paired, as a distance test on them would fail.
//
// N is the most points; keep instances in static storage (a few arrays of N).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "runtime/array.h"

namespace dictionary {

template <int N>
class NeighbourGrid {
 public:
  // Calls pair(i, j) for every pair of points 1..n (1-based) that share a
  // cell or sit in neighbouring cells of edge `reach`; the caller measures.
  template <typename Pair>
  void for_each_candidate(int n, const float* x, const float* y, const float* z, float reach,
                          Pair pair) {
    if (n > N) rt::array_index_error("neighbour grid point", n, 1, N);
    if (n < 2 || !(reach > 0.0f)) return;
    for (int b = 0; b < kBuckets; ++b) head_(b) = 0;
    for (int i = 1; i <= n; ++i) {
      ok_(i) = std::isfinite(x[i - 1]) && std::isfinite(y[i - 1]) && std::isfinite(z[i - 1]);
      if (!ok_(i)) continue;
      cx_(i) = cell(x[i - 1], reach);
      cy_(i) = cell(y[i - 1], reach);
      cz_(i) = cell(z[i - 1], reach);
      const int b = bucket(cx_(i), cy_(i), cz_(i));
      next_(i) = head_(b);
      head_(b) = i;
    }
    for (int i = 1; i < n; ++i) {
      if (!ok_(i)) continue;
      // Neighbouring cells may share a bucket: visit each bucket once.
      int nb = 0;
      for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
          for (int dz = -1; dz <= 1; ++dz)
            seen_[nb++] = bucket(cx_(i) + dx, cy_(i) + dy, cz_(i) + dz);
      std::sort(seen_, seen_ + nb);
      nb = static_cast<int>(std::unique(seen_, seen_ + nb) - seen_);
      int nc = 0;
      for (int k = 0; k < nb; ++k)
        for (int j = head_(seen_[k]); j != 0; j = next_(j))
          if (j > i) cand_(++nc) = j;
      std::sort(cand_.data(), cand_.data() + nc);
      for (int k = 1; k <= nc; ++k) pair(i, cand_(k));
    }
  }

 private:
  static constexpr int buckets_for(int n) {
    int s = 1;
    while (s < 2 * n) s <<= 1;
    return s;
  }
  static constexpr int kBuckets = buckets_for(N);

  // Cell numbers are clamped so that far-flung coordinates stay integers.
  static int64_t cell(float v, float reach) {
    const double c = std::floor(static_cast<double>(v) / reach);
    return static_cast<int64_t>(std::clamp(c, -1.0e9, 1.0e9));
  }
  static int bucket(int64_t cx, int64_t cy, int64_t cz) {
    const uint64_t h = static_cast<uint64_t>(cx) * 73856093u ^
                       static_cast<uint64_t>(cy) * 19349663u ^
                       static_cast<uint64_t>(cz) * 83492791u;
    return static_cast<int>(h & (kBuckets - 1));
  }

  rt::Array1<int32_t, kBuckets, 0> head_{};  // first point of a bucket, 0 none
  rt::Array1<int32_t, N> next_{};            // next point of the same bucket
  rt::Array1<int64_t, N> cx_{}, cy_{}, cz_{};
  rt::Array1<bool, N> ok_{};
  rt::Array1<int32_t, N> cand_{};
  int seen_[27] = {};
};

}  // namespace dictionary
