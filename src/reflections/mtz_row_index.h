// Miller indices of a reflection row, shared by the row readers and
// writers.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "reflections/mtz_records.h"

namespace reflections {

// A column value as an index: truncated toward zero; 0 for a value that is
// not finite or is beyond the range of an index.
inline int truncated_index(float v) {
  return std::isfinite(v) && std::fabs(v) < 2.0e9f ? static_cast<int>(v) : 0;
}

// Miller indices of the row `adata` whose values stand for the columns of
// `lookup` (ncol of them; null for none): its first three values when those
// three columns are all of type H, else the values of the index columns that
// MtzFindInd names, each 0 when the look-up does not hold its column.
void row_hkl(const MtzFile* mtz, MtzCol* const* lookup, int ncol, const float* adata,
             int32_t hkl[3]);
// Where row_hkl takes each index from: a position in the row, or -1 where
// the index is 0.
void row_hkl_positions(const MtzFile* mtz, MtzCol* const* lookup, int ncol, int at[3]);

// Widens lo and hi over the value MtzInd2reso gives for each of n rows of
// index columns h, k and l.  A value that is not a number changes neither;
// with positive_only a value not above zero is left out too.
void widen_reso_range(const float* h, const float* k, const float* l, std::size_t n,
                      const double coefs[6], bool positive_only, float& lo, float& hi);

}  // namespace reflections
