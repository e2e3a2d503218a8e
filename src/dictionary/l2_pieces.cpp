// Piece count of the L2 bond graph by relabelling.
#include "dictionary/l2_pieces.h"

#include "dictionary/lib_com.h"

namespace dictionary {

namespace {

void replace_label(int32_t natom, int32_t from, int32_t to) {
  r_scratch_t& r = r_scratch;
  for (int i = 1; i <= natom; ++i)
    if (r.l2a_icr(i) == from) r.l2a_icr(i) = to;
  for (int b = 1; b <= r.l2b_nbond; ++b) {
    if (r.l2b_i1atm(b) == from) r.l2b_i1atm(b) = to;
    if (r.l2b_i2atm(b) == from) r.l2b_i2atm(b) = to;
  }
}

int32_t distinct_labels(int32_t natom) {
  static rt::Array1<bool, MAX1ATM> seen;
  for (int i = 1; i <= natom; ++i) seen(i) = false;
  int32_t n = 0;
  for (int i = 1; i <= natom; ++i) {
    const int32_t lab = r_scratch.l2a_icr(i);
    // Labels are atom numbers; anything else counts as a piece of its own.
    if (lab < 1 || lab > natom) {
      ++n;
    } else if (!seen(lab)) {
      seen(lab) = true;
      ++n;
    }
  }
  return n;
}

}  // namespace

int32_t merge_l2_pieces(int32_t natom, int32_t max_passes) {
  r_scratch_t& r = r_scratch;
  int32_t npiece = distinct_labels(natom);
  for (int pass = 1; pass <= max_passes; ++pass) {
    for (int k = 1; k <= natom; ++k) {
      for (int b = 1; b <= r.l2b_nbond; ++b) {
        const int32_t lab = r.l2a_icr(k);
        const int32_t x = r.l2b_i1atm(b);
        const int32_t y = r.l2b_i2atm(b);
        if (x == lab && y > 0 && y != lab) replace_label(natom, y, lab);
        else if (y == lab && x > 0 && x != lab) replace_label(natom, x, lab);
      }
    }
    npiece = distinct_labels(natom);
    if (npiece < 2) break;
  }
  return npiece;
}

}  // namespace dictionary
