// Fixed-capacity tables with the code base's indexing: 1-based by default,
// first index fastest.  Every access is checked; a violation is a programming
// error and aborts with the index, never reads or writes past the table.
#pragma once

#include <cstddef>

namespace rt {

[[noreturn]] void array_index_error(const char* what, long index, long lo, long hi);

template <typename T, int N, int Lo = 1>
struct Array1 {
  static_assert(N > 0);
  T a[N];

  static constexpr int lower() { return Lo; }
  static constexpr int upper() { return Lo + N - 1; }
  static constexpr int size() { return N; }
  T& operator()(int i) {
    if (i < Lo || i > Lo + N - 1) array_index_error("index", i, Lo, Lo + N - 1);
    return a[i - Lo];
  }
  const T& operator()(int i) const {
    if (i < Lo || i > Lo + N - 1) array_index_error("index", i, Lo, Lo + N - 1);
    return a[i - Lo];
  }
  T* data() { return a; }
  const T* data() const { return a; }
  T* begin() { return a; }
  T* end() { return a + N; }
  const T* begin() const { return a; }
  const T* end() const { return a + N; }
};

template <typename T, int N1, int N2>
struct Array2 {
  static_assert(N1 > 0 && N2 > 0);
  T a[N1 * N2];

  static constexpr int extent1() { return N1; }
  static constexpr int extent2() { return N2; }
  T& operator()(int i, int j) {
    check(i, j);
    return a[(j - 1) * N1 + (i - 1)];
  }
  const T& operator()(int i, int j) const {
    check(i, j);
    return a[(j - 1) * N1 + (i - 1)];
  }
  // Column j as a contiguous run of N1 values (first index fastest).
  T* column(int j) {
    check(1, j);
    return a + (j - 1) * N1;
  }
  const T* column(int j) const {
    check(1, j);
    return a + (j - 1) * N1;
  }
  T* data() { return a; }
  const T* data() const { return a; }

 private:
  static void check(int i, int j) {
    if (i < 1 || i > N1) array_index_error("first index", i, 1, N1);
    if (j < 1 || j > N2) array_index_error("second index", j, 1, N2);
  }
};

template <typename T, int N1, int N2, int N3>
struct Array3 {
  static_assert(N1 > 0 && N2 > 0 && N3 > 0);
  T a[N1 * N2 * N3];

  T& operator()(int i, int j, int k) {
    check(i, j, k);
    return a[((k - 1) * N2 + (j - 1)) * N1 + (i - 1)];
  }
  const T& operator()(int i, int j, int k) const {
    check(i, j, k);
    return a[((k - 1) * N2 + (j - 1)) * N1 + (i - 1)];
  }
  T* data() { return a; }
  const T* data() const { return a; }

 private:
  static void check(int i, int j, int k) {
    if (i < 1 || i > N1) array_index_error("first index", i, 1, N1);
    if (j < 1 || j > N2) array_index_error("second index", j, 1, N2);
    if (k < 1 || k > N3) array_index_error("third index", k, 1, N3);
  }
};

}  // namespace rt
