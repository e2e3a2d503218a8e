// The shared look-up index: fixed-width texts (residue numbers, names, bond
// codes) to 1-based entry numbers of a table, in constant time per look-up.
// Every per-residue or per-code look-up of the code base goes through it.
//
// Keys are compared as the code base compares texts: a key shorter than the
// width is padded with blanks, and a longer one matches only when its excess
// is blank.  Several values may stand under one key; they are kept in the
// order they were added.  The capacity is fixed and every access is checked:
// adding past the capacity, or a key whose excess over the width is not blank
// (it would be cut silently), aborts like any other bounds violation.
//
// The storage is a few megabytes at the largest capacities: keep instances in
// static storage.  Clearing costs the number of keys stored, not the capacity,
// so one instance can serve many short ranges in turn.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

#include "runtime/array.h"
#include "runtime/fixed_text.h"

namespace foundation {

// W: key width in characters; N: most values held between two clears.
template <int W, int N>
class LookupIndex {
  static_assert(W > 0 && N > 0);

 public:
  static constexpr int width() { return W; }
  static constexpr int capacity() { return N; }
  int size() const { return count_; }
  bool full() const { return count_ == N; }

  void clear() {
    for (int k = 1; k <= nkeys_; ++k) slot_(key_slot_(k)) = 0;
    nkeys_ = 0;
    count_ = 0;
  }

  void add(std::string_view key, int32_t value) {
    char k[W];
    if (!padded(key, k)) rt::text_range_error(1, static_cast<int>(key.size()), W);
    if (count_ == N) rt::array_index_error("look-up index entry", N + 1L, 1, N);
    const int e = ++count_;
    value_(e) = value;
    next_(e) = 0;
    int s = home(k);
    for (;; s = (s + 1) & (kSlots - 1)) {
      const int kn = slot_(s);
      if (kn == 0) break;
      if (std::memcmp(keys_(kn).c, k, W) == 0) {
        next_(key_last_(kn)) = e;
        key_last_(kn) = e;
        return;
      }
    }
    const int kn = ++nkeys_;
    std::memcpy(keys_(kn).c, k, W);
    key_first_(kn) = e;
    key_last_(kn) = e;
    key_slot_(kn) = s;
    slot_(s) = kn;
  }

  // The first or the last value added under key; 0 when there is none.
  int32_t first(std::string_view key) const {
    const int kn = find(key);
    return kn == 0 ? 0 : value_(key_first_(kn));
  }
  int32_t last(std::string_view key) const {
    const int kn = find(key);
    return kn == 0 ? 0 : value_(key_last_(kn));
  }
  bool contains(std::string_view key) const { return find(key) != 0; }

  // Calls f(value) for every value under key, in the order they were added.
  template <typename F>
  void for_each(std::string_view key, F f) const {
    const int kn = find(key);
    if (kn == 0) return;
    for (int e = key_first_(kn); e != 0; e = next_(e)) f(value_(e));
  }

 private:
  // Twice the capacity in slots, rounded up to a power of two, keeps the
  // probe runs short even when every value has a key of its own.
  static constexpr int slots_for(int n) {
    int s = 1;
    while (s < 2 * n) s <<= 1;
    return s;
  }
  static constexpr int kSlots = slots_for(N);

  // The key as W blank-padded characters; false when its excess is not blank.
  static bool padded(std::string_view key, char* k) {
    if (key.size() > static_cast<std::size_t>(W)) {
      for (std::size_t i = W; i < key.size(); ++i)
        if (key[i] != ' ') return false;
      key = key.substr(0, W);
    }
    std::memcpy(k, key.data(), key.size());
    std::memset(k + key.size(), ' ', W - key.size());
    return true;
  }

  static int home(const char* k) {
    uint32_t h = 2166136261u;
    for (int i = 0; i < W; ++i) h = (h ^ static_cast<unsigned char>(k[i])) * 16777619u;
    return static_cast<int>(h & (kSlots - 1));
  }

  // Key number of key, 0 when it is not stored.
  int find(std::string_view key) const {
    char k[W];
    if (!padded(key, k)) return 0;
    for (int s = home(k);; s = (s + 1) & (kSlots - 1)) {
      const int kn = slot_(s);
      if (kn == 0) return 0;
      if (std::memcmp(keys_(kn).c, k, W) == 0) return kn;
    }
  }

  int32_t count_ = 0;                      // values held
  int32_t nkeys_ = 0;                      // distinct keys held
  rt::Array1<int32_t, kSlots, 0> slot_{};  // key number stored in a slot, 0 empty
  rt::Array1<rt::FixedText<W>, N> keys_{};
  rt::Array1<int32_t, N> key_first_{};  // first and last value entry of a key
  rt::Array1<int32_t, N> key_last_{};
  rt::Array1<int32_t, N> key_slot_{};  // the slot a key sits in, for clearing
  rt::Array1<int32_t, N> value_{};
  rt::Array1<int32_t, N> next_{};  // next entry under the same key, 0 none
};

}  // namespace foundation
