// Format texts as the code base writes them, e.g. ('NEW-->',I4,';',A,';') or
// (2X,F14.6): A, Aw, Iw, Iw.m, Fw.d, Ew.d, Gw.d, Lw, nX, Tn, TLn, TRn, /,
// quoted literals, repeat counts, nested groups and format reversion.  Each
// distinct text is parsed once and cached.  A value that does not fit fills
// its field with asterisks.  The same descriptors read fixed columns.
// A malformed format text is a programming error: a message naming the text,
// then abort.  Bad data in a record is a status for the caller.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/fixed_text.h"

namespace rt {

// One output item.
struct FmtArg {
  enum Kind { Int, Real, Double, Text, Logical };
  Kind kind;
  int64_t i = 0;
  double d = 0;
  std::string_view s;

  FmtArg(int v) : kind(Int), i(v) {}
  FmtArg(long v) : kind(Int), i(v) {}
  FmtArg(long long v) : kind(Int), i(v) {}
  FmtArg(unsigned v) : kind(Int), i(v) {}
  FmtArg(unsigned long v) : kind(Int), i(static_cast<int64_t>(v)) {}
  FmtArg(float v) : kind(Real), d(v) {}
  FmtArg(double v) : kind(Double), d(v) {}
  FmtArg(bool v) : kind(Logical), i(v ? 1 : 0) {}
  FmtArg(char c) = delete;  // say what is meant: std::string_view(&c, 1)
  FmtArg(std::string_view v) : kind(Text), s(v) {}
  FmtArg(const char* v) : kind(Text), s(v) {}
  FmtArg(const std::string& v) : kind(Text), s(v) {}
  FmtArg(const TextRef& v) : kind(Text), s(v.view()) {}
  template <int N>
  FmtArg(const FixedText<N>& v) : kind(Text), s(v.view()) {}
};

// One input item.
struct FmtOut {
  enum Kind { Int32, Real, Double, Text, String, Logical };
  Kind kind;
  void* p;
  int n = 0;

  FmtOut(int32_t& v) : kind(Int32), p(&v) {}
  FmtOut(float& v) : kind(Real), p(&v) {}
  FmtOut(double& v) : kind(Double), p(&v) {}
  FmtOut(bool& v) : kind(Logical), p(&v) {}
  FmtOut(std::string& v) : kind(String), p(&v) {}
  FmtOut(const TextRef& v) : kind(Text), p(v.p), n(v.n) {}
  template <int N>
  FmtOut(FixedText<N>& v) : kind(Text), p(v.c), n(N) {}
};

// Formats the items into records; records after the first are separated by '\n'.
// The returned reference is valid until the next call.
const std::string& format_items(std::string_view fmt, const FmtArg* args, int nargs);
// Reads fixed columns of `record` (and of '\n'-separated further records).
// Returns 0, or IOSTAT_BAD_NUMBER when a numeric field is malformed (the
// item keeps its old value and the fields before it are set).
int read_items(std::string_view record, std::string_view fmt, const FmtOut* outs, int nouts);

template <typename... A>
const std::string& fmt(std::string_view format, const A&... a) {
  if constexpr (sizeof...(A) == 0) {
    return format_items(format, nullptr, 0);
  } else {
    const FmtArg args[] = {FmtArg(a)...};
    return format_items(format, args, static_cast<int>(sizeof...(A)));
  }
}

// Fields of a record that a writer lays out itself, set exactly as the
// descriptors Fw.d and Iw set them (right-justified; asterisks when the value
// does not fit): out[0..w) is written, w at least 1.
void put_fixed(char* out, int w, int d, double v);
void put_integer(char* out, int w, int64_t v);

// Writes the records of a format to a unit.  Returns iostat.
int write_formatted(int unit, std::string_view format, const FmtArg* args, int nargs);
template <typename... A>
int write_fmt(int unit, std::string_view format, const A&... a) {
  if constexpr (sizeof...(A) == 0) {
    return write_formatted(unit, format, nullptr, 0);
  } else {
    const FmtArg args[] = {FmtArg(a)...};
    return write_formatted(unit, format, args, static_cast<int>(sizeof...(A)));
  }
}

// Internal write: the first record of the format into `dst`, blank-padded or cut.
template <typename... A>
void write_to(TextRef dst, std::string_view format, const A&... a) {
  const std::string& r = fmt(format, a...);
  const std::size_t nl = r.find('\n');
  dst.assign(nl == std::string::npos ? std::string_view(r) : std::string_view(r).substr(0, nl));
}

template <typename... A>
int read_fmt(std::string_view record, std::string_view format, A&&... a) {
  const FmtOut outs[] = {FmtOut(a)...};
  return read_items(record, format, outs, static_cast<int>(sizeof...(A)));
}

// Reads as many records from `unit` as the format needs, then the items.
// Returns iostat (IOSTAT_END at end of file).
int read_formatted(int unit, std::string_view format, const FmtOut* outs, int nouts);
template <typename... A>
int read_fmt_unit(int unit, std::string_view format, A&&... a) {
  const FmtOut outs[] = {FmtOut(a)...};
  return read_formatted(unit, format, outs, static_cast<int>(sizeof...(A)));
}

// List-directed output, one rule for the whole program: each item is preceded
// by one blank; integers in decimal with no padding; 32-bit reals with up to 7
// and 64-bit reals with up to 15 significant digits in the shorter of fixed and
// exponent form (as %G, trailing zeros kept to one decimal: "1.0", "0.25",
// "1.0E+10"); texts as they stand, trailing blanks kept; logicals "T" or "F".
const std::string& list_items(const FmtArg* args, int nargs);
template <typename... A>
const std::string& list_line(const A&... a) {
  if constexpr (sizeof...(A) == 0) {
    return list_items(nullptr, 0);
  } else {
    const FmtArg args[] = {FmtArg(a)...};
    return list_items(args, static_cast<int>(sizeof...(A)));
  }
}
template <typename... A>
int write_list(int unit, const A&... a);

// List-directed input from a text: values separated by blanks or commas, a
// slash ends the input; texts may be quoted.  Returns 0, IOSTAT_END when the
// text has fewer values than items (the items read so far are set), or
// IOSTAT_BAD_NUMBER for a value that is not a number.
int read_list_items(std::string_view text, const FmtOut* outs, int nouts);
template <typename... A>
int read_list(std::string_view text, A&&... a) {
  const FmtOut outs[] = {FmtOut(a)...};
  return read_list_items(text, outs, static_cast<int>(sizeof...(A)));
}

}  // namespace rt

#include "runtime/units.h"

namespace rt {
template <typename... A>
int write_list(int unit, const A&... a) {
  return write_record(unit, list_line(a...));
}
}  // namespace rt
