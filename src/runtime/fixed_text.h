// Fixed-width, blank-padded texts and the one text view the code base passes
// around.  A FixedText<N> always holds exactly N characters; assignment pads
// with blanks or cuts.  Static storage starts as zero bytes: the shared tables
// rely on "never set" being distinguishable from "set to blanks".
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

namespace rt {

// Used length of a blank-padded text: trailing blanks and zero bytes do not count.
inline int len_trim(std::string_view s) {
  int n = static_cast<int>(s.size());
  while (n > 0 && (s[n - 1] == ' ' || s[n - 1] == '\0')) --n;
  return n;
}

inline std::string_view trim_right(std::string_view s) { return s.substr(0, len_trim(s)); }

// len_trim for a wide field that its text seldom fills (an mmCIF value's
// eighty columns): the padding is passed eight characters at a time.
int len_trim_wide(std::string_view s);

// Without its blanks either side (and trailing zero bytes, as trim_right).
inline std::string_view trim(std::string_view s) {
  const std::size_t lead = s.find_first_not_of(' ');
  return lead == std::string_view::npos ? std::string_view() : trim_right(s.substr(lead));
}

// Compare as the code base compares texts: the shorter side is padded with blanks.
inline bool text_eq(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  // An empty view may hold no pointer at all, which memcmp may not be given.
  // Most texts compared differ at once (a name against a list of names).
  if (n > 0 && (a[0] != b[0] || std::memcmp(a.data(), b.data(), n) != 0)) return false;
  std::string_view rest = a.size() > n ? a.substr(n) : b.substr(n);
  for (char c : rest)
    if (c != ' ') return false;
  return true;
}

// Ordering with blank padding, for sorting and look-ups.
inline int text_cmp(std::string_view a, std::string_view b) {
  const std::size_t n = std::max(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char ca = i < a.size() ? static_cast<unsigned char>(a[i]) : ' ';
    unsigned char cb = i < b.size() ? static_cast<unsigned char>(b[i]) : ' ';
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return 0;
}

[[noreturn]] void text_range_error(int i, int j, int n);

// A changeable text of any length: pointer and length into someone else's
// storage.  Every FixedText<N> and any sub-range of one converts to it, so no
// routine needs to be a template over the width.
struct TextRef {
  char* p = nullptr;
  int n = 0;

  TextRef() = default;
  TextRef(char* ptr, int len) : p(ptr), n(len) {}
  TextRef(std::string& s) : p(s.data()), n(static_cast<int>(s.size())) {}

  int len() const { return n; }
  char& operator()(int i) const {
    if (i < 1 || i > n) text_range_error(i, i, n);
    return p[i - 1];
  }
  // Characters i..j (1-based, inclusive).
  TextRef sub(int i, int j) const {
    if (i < 1 || j > n || j < i - 1) text_range_error(i, j, n);
    return TextRef(p + i - 1, j - i + 1);
  }
  // Characters i..end.
  TextRef sub(int i) const { return sub(i, n); }
  // Worked in sizes from a length known to be positive: a text's size taken
  // as an int could come out negative.
  void assign(std::string_view s) const {
    if (n <= 0) return;
    const std::size_t room = static_cast<std::size_t>(n);
    const std::size_t m = std::min(room, s.size());
    if (m > 0) std::memmove(p, s.data(), m);
    if (room > m) std::memset(p + m, ' ', room - m);
  }
  // Assignment copies text in, whatever holds it.  Only another TextRef
  // rebinds; without these a named std::string or a FixedText would convert
  // to a TextRef and rebind this view to its storage.  A non-const view
  // needs its own overload to win over the copy assignment.
  template <class S>
    requires std::is_convertible_v<const S&, std::string_view> && (!std::is_same_v<S, TextRef>)
  const TextRef& operator=(const S& s) const {
    assign(std::string_view(s));
    return *this;
  }
  template <class S>
    requires std::is_convertible_v<const S&, std::string_view> && (!std::is_same_v<S, TextRef>)
  TextRef& operator=(const S& s) {
    assign(std::string_view(s));
    return *this;
  }
  void fill(char c) const {
    if (n > 0) std::memset(p, c, n);
  }
  std::string_view view() const { return std::string_view(p, n); }
  operator std::string_view() const { return view(); }
  int len_trim() const { return rt::len_trim(view()); }
  std::string_view trimmed() const { return trim_right(view()); }
  std::string str() const { return std::string(view()); }
};

// Trivially constructible on purpose: the shared tables hold hundreds of
// thousands of these, and a table of trivial members is zero-filled static
// storage with no start-up cost.  (Automatic variables are zero-filled by the
// build's -ftrivial-auto-var-init=zero, so a local never starts as garbage.)
template <int N>
struct FixedText {
  static_assert(N > 0);
  char c[N];

  FixedText() = default;
  FixedText(std::string_view s) { assign(s); }
  FixedText(const char* s) { assign(std::string_view(s)); }

  static constexpr int size() { return N; }
  static constexpr int len() { return N; }
  FixedText& operator=(std::string_view s) {
    assign(s);
    return *this;
  }
  FixedText& operator=(const char* s) {
    assign(std::string_view(s));
    return *this;
  }
  // Both widths are known here, so the copy is a few moves rather than a
  // call: texts of the tables are copied into one another for every atom.
  template <int M>
  FixedText& operator=(const FixedText<M>& o) {
    std::memmove(c, o.c, M < N ? M : N);
    if constexpr (M < N) std::memset(c + M, ' ', N - M);
    return *this;
  }
  void assign(std::string_view s) { ref().assign(s); }
  void blank() { std::memset(c, ' ', N); }
  void fill(char ch) { std::memset(c, ch, N); }
  void clear_bytes() { std::memset(c, 0, N); }

  char& operator()(int i) {
    if (i < 1 || i > N) text_range_error(i, i, N);
    return c[i - 1];
  }
  char operator()(int i) const {
    if (i < 1 || i > N) text_range_error(i, i, N);
    return c[i - 1];
  }
  TextRef ref() { return TextRef(c, N); }
  TextRef sub(int i, int j) { return ref().sub(i, j); }
  TextRef sub(int i) { return ref().sub(i, N); }
  std::string_view sub(int i, int j) const {
    if (i < 1 || j > N || j < i - 1) text_range_error(i, j, N);
    return std::string_view(c + i - 1, j - i + 1);
  }
  operator TextRef() { return ref(); }
  std::string_view view() const { return std::string_view(c, N); }
  operator std::string_view() const { return view(); }
  int len_trim() const { return rt::len_trim(view()); }
  std::string_view trimmed() const { return trim_right(view()); }
  std::string str() const { return std::string(view()); }
  // True when every character is a blank (zero bytes count as blank here too).
  bool is_blank() const { return len_trim() == 0; }

  friend bool operator==(const FixedText& a, std::string_view b) { return text_eq(a.view(), b); }
  template <int M>
  friend bool operator==(const FixedText& a, const FixedText<M>& b) {
    return text_eq(a.view(), b.view());
  }
};

inline bool operator==(const TextRef& a, std::string_view b) { return text_eq(a.view(), b); }

}  // namespace rt
