// Miller indices of a reflection row, shared by the row readers and
// writers.
#pragma once

#include <cmath>
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

}  // namespace reflections
