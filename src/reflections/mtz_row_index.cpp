// Miller indices of a reflection row.
#include "reflections/mtz_row_index.h"

#include "reflections/mtz_hierarchy.h"

namespace reflections {

void row_hkl(const MtzFile* mtz, MtzCol* const* lookup, int ncol, const float* adata,
             int32_t hkl[3]) {
  hkl[0] = hkl[1] = hkl[2] = 0;
  if (ncol >= 3 && lookup[0] && lookup[1] && lookup[2] && lookup[0]->type == "H" &&
      lookup[1]->type == "H" && lookup[2]->type == "H") {
    for (int k = 0; k < 3; ++k) hkl[k] = truncated_index(adata[k]);
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
        hkl[k] = truncated_index(adata[i]);
        break;
      }
    }
  }
}

}  // namespace reflections
