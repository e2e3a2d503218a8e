// Miller indices of a reflection row.
#include "reflections/mtz_row_index.h"

#include <algorithm>
#include <bit>
#include <limits>

#include "reflections/mtz_hierarchy.h"

namespace reflections {

void row_hkl_positions(const MtzFile* mtz, MtzCol* const* lookup, int ncol, int at[3]) {
  at[0] = at[1] = at[2] = -1;
  if (ncol >= 3 && lookup[0] && lookup[1] && lookup[2] && lookup[0]->type == "H" &&
      lookup[1]->type == "H" && lookup[2]->type == "H") {
    for (int k = 0; k < 3; ++k) at[k] = k;
    return;
  }
  int xi = 0, si = 0, index[3];
  MtzFindInd(mtz, xi, si, index);
  const MtzXtal* x = mtz->xtals.empty() ? nullptr : mtz->xtals[static_cast<std::size_t>(xi)].get();
  if (x == nullptr || si >= static_cast<int>(x->sets.size())) return;
  const auto& cols = x->sets[static_cast<std::size_t>(si)]->cols;
  for (int k = 0; k < 3; ++k) {
    if (index[k] >= static_cast<int>(cols.size())) continue;
    const MtzCol* c = cols[static_cast<std::size_t>(index[k])].get();
    for (int i = 0; i < ncol; ++i) {
      if (lookup[i] == c) {
        at[k] = i;
        break;
      }
    }
  }
}

void row_hkl(const MtzFile* mtz, MtzCol* const* lookup, int ncol, const float* adata,
             int32_t hkl[3]) {
  int at[3];
  row_hkl_positions(mtz, lookup, ncol, at);
  for (int k = 0; k < 3; ++k) hkl[k] = at[k] >= 0 ? truncated_index(adata[at[k]]) : 0;
}

namespace {

// truncated_index as a double, without branches, so that rows are worked
// out side by side: |v| < 2e9 is tested on the bits of |v|, which orders
// them as their values (and puts infinities and NaNs above the bound), and a
// value out of range has its bits cleared to 0.0 before the conversion.
inline double index_value(float v) {
  constexpr uint32_t kBound = std::bit_cast<uint32_t>(2.0e9f);
  const uint32_t bits = std::bit_cast<uint32_t>(v);
  const uint32_t keep = (bits & 0x7FFFFFFFu) < kBound ? 0xFFFFFFFFu : 0u;
  return static_cast<double>(static_cast<int>(std::bit_cast<float>(bits & keep)));
}

// Where the processor has 256-bit vectors the rows below are worked out four
// at a time instead of two: the same operations in the same order (no fused
// multiply-add), so the same bits.
#if defined(__x86_64__) && defined(__GNUC__)
#define ORB_WIDER_VECTORS __attribute__((target_clones("avx2", "default")))
#else
#define ORB_WIDER_VECTORS
#endif

}  // namespace

ORB_WIDER_VECTORS
void widen_reso_range(const float* h, const float* k, const float* l, std::size_t n,
                      const double coefs[6], bool positive_only, float& lo, float& hi) {
  constexpr std::size_t kChunk = 256;
  constexpr std::size_t kLanes = 4;
  constexpr float kInf = std::numeric_limits<float>::infinity();
  float s[kChunk], s_lo[kChunk];
  float lane_lo[kLanes], lane_hi[kLanes];
  for (std::size_t j = 0; j < kLanes; ++j) {
    lane_lo[j] = lo;
    lane_hi[j] = hi;
  }
  for (std::size_t first = 0; first < n; first += kChunk) {
    const std::size_t m = std::min(kChunk, n - first);
    // The products of MtzInd2reso in double: each index is below 2^31, so
    // the product of two, exact in 64 bits, rounds to the same double as
    // the product of the two doubles.  No row depends on another, so the
    // values are worked out apart from the comparisons.
    for (std::size_t r = 0; r < m; ++r) {
      const double hd = index_value(h[first + r]), kd = index_value(k[first + r]),
                   ld = index_value(l[first + r]);
      double q = coefs[1] * (hd * kd);
      q += coefs[0] * (hd * hd);
      q += coefs[2] * (hd * ld);
      q += coefs[3] * (kd * kd);
      q += coefs[4] * (kd * ld);
      q += coefs[5] * (ld * ld);
      s[r] = static_cast<float>(4.0 * q);
    }
    if (positive_only)
      for (std::size_t r = 0; r < m; ++r) {
        if (s[r] <= 0.0f) {
          s_lo[r] = kInf;
          s[r] = -kInf;
        } else {
          s_lo[r] = s[r];
        }
      }
    const float* for_lo = positive_only ? s_lo : s;
    // Four running ranges side by side; a value that is not a number passes
    // every comparison by, so they merge into the range of one running pass.
    std::size_t r = 0;
    for (; r + kLanes <= m; r += kLanes)
      for (std::size_t j = 0; j < kLanes; ++j) {
        lane_lo[j] = for_lo[r + j] < lane_lo[j] ? for_lo[r + j] : lane_lo[j];
        lane_hi[j] = s[r + j] > lane_hi[j] ? s[r + j] : lane_hi[j];
      }
    for (; r < m; ++r) {
      lane_lo[0] = for_lo[r] < lane_lo[0] ? for_lo[r] : lane_lo[0];
      lane_hi[0] = s[r] > lane_hi[0] ? s[r] : lane_hi[0];
    }
  }
  for (std::size_t j = 0; j < kLanes; ++j) {
    if (lane_lo[j] < lo) lo = lane_lo[j];
    if (lane_hi[j] > hi) hi = lane_hi[j];
  }
}

}  // namespace reflections
