// Close pairs of a point set without testing all pairs: the points are put
// into cubic cells whose edge is the largest reach asked for, and a point
// meets only the points of its own and the 26 neighbouring cells.  When the
// cells of the bounding box fit the table they are numbered directly;
// points spread wider (a far outlier) are hashed into it instead.
// Pairs (i, j), i < j, come out with i ascending and, within one i, j
// ascending: the order of a plain double loop, so callers that append bonds
// keep their order.  Points with a coordinate that is not finite are never
// paired, as a distance test on them would fail.
//
// N is the most points.  The tables grow to the largest point set given and
// are kept for the next call, so an instance costs nothing until it is used
// and a small model never pays for the largest.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

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
    place(n, x, y, z, reach);
    for (int i = 1; i < n; ++i) {
      if (!ok_[i]) continue;
      int nc = 0;
      auto take = [&](int b) {
        for (int j = head_[b]; j != 0; j = next_[j])
          if (j > i && near(cx_[i], cx_[j]) && near(cy_[i], cy_[j]) && near(cz_[i], cz_[j]))
            cand_[nc++] = j;
      };
      if (dense_) {
        for (int64_t dz = -1; dz <= 1; ++dz)
          for (int64_t dy = -1; dy <= 1; ++dy)
            for (int64_t dx = -1; dx <= 1; ++dx)
              if (inside(cx_[i] + dx, cy_[i] + dy, cz_[i] + dz))
                take(dense_index(cx_[i] + dx, cy_[i] + dy, cz_[i] + dz));
      } else {
        // Neighbouring cells may share a bucket: visit each bucket once.
        int nb = 0;
        for (int64_t dz = -1; dz <= 1; ++dz)
          for (int64_t dy = -1; dy <= 1; ++dy)
            for (int64_t dx = -1; dx <= 1; ++dx)
              seen_[nb++] = hashed(cx_[i] + dx, cy_[i] + dy, cz_[i] + dz);
        std::sort(seen_, seen_ + nb);
        nb = static_cast<int>(std::unique(seen_, seen_ + nb) - seen_);
        for (int k = 0; k < nb; ++k) take(seen_[k]);
      }
      std::sort(cand_.data(), cand_.data() + nc);
      for (int k = 0; k < nc; ++k) pair(i, cand_[k]);
    }
  }

 private:
  // Eight table slots a point keep hashed neighbouring cells mostly apart.
  static constexpr int slots_for(int n) {
    int s = 1;
    while (s < 8 * n) s <<= 1;
    return s;
  }

  // Cell numbers are clamped so that far-flung coordinates stay integers.
  static int64_t cell(float v, float reach) {
    const double c = std::floor(static_cast<double>(v) / reach);
    return static_cast<int64_t>(std::clamp(c, -1.0e9, 1.0e9));
  }
  static bool near(int64_t a, int64_t b) { return a - b <= 1 && b - a <= 1; }

  // Neighbouring cells differ by small steps in each axis; a full 64-bit mix
  // keeps them from piling into a few buckets.
  int hashed(int64_t cx, int64_t cy, int64_t cz) const {
    uint64_t h = static_cast<uint64_t>(cx) * 0x9E3779B97F4A7C15ull +
                 static_cast<uint64_t>(cy) * 0xC2B2AE3D27D4EB4Full +
                 static_cast<uint64_t>(cz) * 0x165667B19E3779F9ull;
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 29;
    return static_cast<int>(h & static_cast<uint64_t>(slots_ - 1));
  }
  bool inside(int64_t cx, int64_t cy, int64_t cz) const {
    return cx >= lo_[0] && cx <= hi_[0] && cy >= lo_[1] && cy <= hi_[1] && cz >= lo_[2] &&
           cz <= hi_[2];
  }
  int dense_index(int64_t cx, int64_t cy, int64_t cz) const {
    return static_cast<int>((cx - lo_[0]) + ext_[0] * ((cy - lo_[1]) + ext_[1] * (cz - lo_[2])));
  }

  // The tables of n points, 1-based; grown, never shrunk.
  void reserve(int n) {
    slots_ = slots_for(n);
    if (static_cast<int>(head_.size()) < slots_) head_.resize(slots_);
    if (static_cast<int>(next_.size()) <= n) {
      for (auto* v : {&next_, &cand_}) v->resize(n + 1);
      for (auto* v : {&cx_, &cy_, &cz_}) v->resize(n + 1);
      ok_.resize(n + 1);
    }
  }

  void place(int n, const float* x, const float* y, const float* z, float reach) {
    reserve(n);
    bool any = false;
    for (int i = 1; i <= n; ++i) {
      ok_[i] = std::isfinite(x[i - 1]) && std::isfinite(y[i - 1]) && std::isfinite(z[i - 1]);
      if (!ok_[i]) continue;
      cx_[i] = cell(x[i - 1], reach);
      cy_[i] = cell(y[i - 1], reach);
      cz_[i] = cell(z[i - 1], reach);
      const int64_t c[3] = {cx_[i], cy_[i], cz_[i]};
      for (int a = 0; a < 3; ++a) {
        lo_[a] = any ? std::min(lo_[a], c[a]) : c[a];
        hi_[a] = any ? std::max(hi_[a], c[a]) : c[a];
      }
      any = true;
    }
    dense_ = false;
    if (any) {
      double cells = 1.0;
      for (int a = 0; a < 3; ++a) {
        ext_[a] = hi_[a] - lo_[a] + 1;
        cells *= static_cast<double>(ext_[a]);
      }
      dense_ = cells <= slots_;
    }
    std::fill(head_.begin(), head_.begin() + slots_, 0);
    for (int i = n; i >= 1; --i) {
      if (!ok_[i]) continue;
      const int b = dense_ ? dense_index(cx_[i], cy_[i], cz_[i]) : hashed(cx_[i], cy_[i], cz_[i]);
      next_[i] = head_[b];
      head_[b] = i;
    }
  }

  bool dense_ = false;
  int slots_ = 1;
  int64_t lo_[3] = {0, 0, 0}, hi_[3] = {0, 0, 0}, ext_[3] = {1, 1, 1};
  std::vector<int32_t> head_;  // first point of a cell or bucket (0-based), 0 none
  std::vector<int32_t> next_;  // next point of the same cell or bucket
  std::vector<int64_t> cx_, cy_, cz_;
  std::vector<char> ok_;
  std::vector<int32_t> cand_;  // 0-based
  int seen_[27] = {};
};

}  // namespace dictionary
