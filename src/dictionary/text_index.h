// A fixed-capacity look-up index from a fixed-width, blank-padded text (an
// atom name, a monomer code) to a 1-based row number.  Open addressing over
// twice the capacity, so a look-up costs a hash and a probe or two instead of
// a scan of the table it indexes.  Emptying costs only the keys it holds,
// which keeps a per-residue index cheap to reuse.
//
// Keys compare byte for byte over their full width: for texts of one width
// that is exactly the comparison of the tables (a name of four zero bytes is
// not a blank name).  The rooms below may later offer one shared index of
// this kind; this unit keeps the dictionary's uses behind one small interface
// so that it can be swapped.
#pragma once

#include <cstdint>
#include <cstring>

#include "runtime/array.h"
#include "runtime/fixed_text.h"

namespace dictionary {

template <int W, int CAP>
class TextIndex {
  static constexpr int slots_for(int n) {
    int s = 16;
    while (s < 2 * n) s *= 2;
    return s;
  }
  static constexpr int kSlots = slots_for(CAP);

 public:
  static constexpr int capacity() { return CAP; }
  int count() const { return n_; }
  bool full() const { return n_ >= CAP; }

  // Row of key, 0 when the index does not hold it.
  int32_t find(const rt::FixedText<W>& key) const {
    for (int s = home(key);; s = (s + 1) & (kSlots - 1)) {
      if (rows_[s] == 0) return 0;
      if (std::memcmp(keys_[s].c, key.c, W) == 0) return rows_[s];
    }
  }

  // Enters key with row unless the key is present; returns the row the index
  // holds afterwards (the earlier one when present).  row must be >= 1.
  int32_t insert(const rt::FixedText<W>& key, int32_t row) { return put(key, row, false); }
  // Enters key with row, replacing the row of a key already present.
  void assign(const rt::FixedText<W>& key, int32_t row) { put(key, row, true); }

  void clear() {
    for (int k = 0; k < n_; ++k) rows_[used_[k]] = 0;
    n_ = 0;
  }

 private:
  static int home(const rt::FixedText<W>& key) {
    uint32_t h = 2166136261u;
    for (int i = 0; i < W; ++i) h = (h ^ static_cast<unsigned char>(key.c[i])) * 16777619u;
    return static_cast<int>(h & (kSlots - 1));
  }

  int32_t put(const rt::FixedText<W>& key, int32_t row, bool replace) {
    if (row < 1) rt::array_index_error("index row", row, 1, CAP);
    int s = home(key);
    for (; rows_[s] != 0; s = (s + 1) & (kSlots - 1)) {
      if (std::memcmp(keys_[s].c, key.c, W) == 0) {
        if (replace) rows_[s] = row;
        return rows_[s];
      }
    }
    // More keys than the capacity is a fault of the caller, whose table is
    // no larger than CAP.
    if (n_ >= CAP) rt::array_index_error("index key count", n_ + 1, 1, CAP);
    keys_[s] = key;
    rows_[s] = row;
    used_[n_++] = s;
    return row;
  }

  rt::FixedText<W> keys_[kSlots];
  int32_t rows_[kSlots] = {};
  int32_t used_[CAP];
  int n_ = 0;
};

}  // namespace dictionary
