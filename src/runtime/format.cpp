// The format interpreter.  A format text is compiled once into a flat program
// (group starts and ends carry their repeat counts) and cached by its text;
// writing and reading walk the program with the items.
#include "runtime/format.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "runtime/units.h"

namespace rt {
namespace {

enum class Op { Lit, A, I, F, E, D, G, L, X, T, TL, TR, Slash, Colon, GroupStart, GroupEnd };

struct Ins {
  Ins(Op o = Op::Lit) : op(o) {}
  Op op;
  int w = -1;      // field width; -1 when absent
  int d = -1;      // decimals, or minimum digits of Iw.m
  int e = -1;      // exponent digits of Ew.dEe
  int rep = 1;     // group repeat count
  int jump = 0;    // GroupStart: index of its end; GroupEnd: index of its start
  std::string lit;
};

struct Program {
  std::vector<Ins> ins;
  int reversion = 0;  // where format reversion restarts
  bool has_data = false;
};

[[noreturn]] void bad_format(std::string_view text, const char* why) {
  std::fflush(stdout);
  std::fprintf(stderr, "Malformed format text %.*s: %s\n", static_cast<int>(text.size()), text.data(), why);
  std::abort();
}

bool is_data(Op op) {
  return op == Op::A || op == Op::I || op == Op::F || op == Op::E || op == Op::D || op == Op::G || op == Op::L;
}

class Compiler {
 public:
  explicit Compiler(std::string_view text) : text_(text) {}

  Program run() {
    skip_blanks();
    if (pos_ >= text_.size() || text_[pos_] != '(') bad_format(text_, "must begin with '('");
    ++pos_;
    int last_top_group = -1;
    list(0, last_top_group);
    skip_blanks();
    if (pos_ != text_.size()) bad_format(text_, "text after the closing ')'");
    prog_.reversion = last_top_group >= 0 ? last_top_group : 0;
    for (const Ins& i : prog_.ins)
      if (is_data(i.op)) prog_.has_data = true;
    return std::move(prog_);
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
  Program prog_;

  void skip_blanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  }
  bool peek_digit() {
    skip_blanks();
    return pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_]));
  }
  int number() {
    skip_blanks();
    if (!peek_digit()) bad_format(text_, "number expected");
    int v = 0;
    while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) {
      v = v * 10 + (text_[pos_] - '0');
      if (v > 100000) bad_format(text_, "number too large");
      ++pos_;
    }
    return v;
  }

  // Items up to the matching ')'.  `depth` 0 is the outermost list.
  void list(int depth, int& last_top_group) {
    bool need_sep = false;
    for (;;) {
      skip_blanks();
      if (pos_ >= text_.size()) bad_format(text_, "missing ')'");
      char c = text_[pos_];
      if (c == ')') {
        ++pos_;
        return;
      }
      if (c == ',') {
        ++pos_;
        need_sep = false;
        continue;
      }
      if (c == '/' || c == ':') {
        ++pos_;
        prog_.ins.push_back(Ins{c == '/' ? Op::Slash : Op::Colon});
        need_sep = false;
        continue;
      }
      (void)need_sep;
      item(depth, last_top_group);
      need_sep = true;
    }
  }

  void item(int depth, int& last_top_group) {
    int rep = -1;
    if (peek_digit()) rep = number();
    skip_blanks();
    if (pos_ >= text_.size()) bad_format(text_, "unexpected end");
    char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text_[pos_])));
    if (c == '\'' || c == '"') {
      if (rep >= 0) bad_format(text_, "repeat count before a literal");
      literal(text_[pos_]);
      return;
    }
    if (c == '(') {
      ++pos_;
      int start = static_cast<int>(prog_.ins.size());
      Ins gs{Op::GroupStart};
      gs.rep = rep < 0 ? 1 : rep;
      prog_.ins.push_back(gs);
      int dummy = -1;
      list(depth + 1, dummy);
      Ins ge{Op::GroupEnd};
      ge.jump = start;
      ge.rep = gs.rep;
      prog_.ins[start].jump = static_cast<int>(prog_.ins.size());
      prog_.ins.push_back(ge);
      if (depth == 0) last_top_group = start;
      return;
    }
    ++pos_;
    Ins in{Op::Lit};
    switch (c) {
      case 'A':
        in.op = Op::A;
        if (peek_digit()) in.w = number();
        break;
      case 'I':
        in.op = Op::I;
        in.w = number();
        if (pos_ < text_.size() && text_[pos_] == '.') {
          ++pos_;
          in.d = number();
        }
        break;
      case 'F':
      case 'E':
      case 'D':
      case 'G':
        in.op = c == 'F' ? Op::F : c == 'E' ? Op::E : c == 'D' ? Op::D : Op::G;
        in.w = number();
        if (pos_ < text_.size() && text_[pos_] == '.') {
          ++pos_;
          in.d = number();
        } else if (in.op != Op::G) {
          bad_format(text_, "decimals expected");
        }
        if (pos_ < text_.size() && (text_[pos_] == 'E' || text_[pos_] == 'e') && in.op != Op::F) {
          ++pos_;
          in.e = number();
        }
        break;
      case 'L':
        in.op = Op::L;
        in.w = number();
        break;
      case 'X':
        in.op = Op::X;
        in.w = rep < 0 ? 1 : rep;
        rep = -1;
        break;
      case 'T': {
        skip_blanks();
        char n = pos_ < text_.size() ? static_cast<char>(std::toupper(static_cast<unsigned char>(text_[pos_]))) : 0;
        if (n == 'L' || n == 'R') {
          ++pos_;
          in.op = n == 'L' ? Op::TL : Op::TR;
        } else {
          in.op = Op::T;
        }
        in.w = number();
        break;
      }
      case 'P':
        // A scale factor is accepted and has no effect on the items here.
        return;
      default:
        bad_format(text_, "unknown edit descriptor");
    }
    if (rep > 1 && in.op != Op::X) {
      Ins gs{Op::GroupStart};
      gs.rep = rep;
      int start = static_cast<int>(prog_.ins.size());
      prog_.ins.push_back(gs);
      prog_.ins.push_back(in);
      Ins ge{Op::GroupEnd};
      ge.jump = start;
      ge.rep = rep;
      prog_.ins[start].jump = static_cast<int>(prog_.ins.size());
      prog_.ins.push_back(ge);
    } else if (rep == 0 && in.op != Op::X) {
      // zero repeat: the descriptor is skipped
    } else {
      prog_.ins.push_back(in);
    }
  }

  void literal(char quote) {
    ++pos_;
    Ins in{Op::Lit};
    for (;;) {
      if (pos_ >= text_.size()) bad_format(text_, "unterminated literal");
      char c = text_[pos_++];
      if (c == quote) {
        if (pos_ < text_.size() && text_[pos_] == quote) {
          in.lit.push_back(quote);
          ++pos_;
          continue;
        }
        break;
      }
      in.lit.push_back(c);
    }
    prog_.ins.push_back(std::move(in));
  }
};

const Program& compiled(std::string_view text) {
  static std::unordered_map<std::string, std::unique_ptr<Program>> cache;
  static std::string last_text;
  static const Program* last_prog = nullptr;
  // The code writes one format per atom in a loop: the last one is the common hit.
  if (last_prog && text == last_text) return *last_prog;
  auto it = cache.find(std::string(text));
  if (it == cache.end()) {
    auto p = std::make_unique<Program>(Compiler(text).run());
    it = cache.emplace(std::string(text), std::move(p)).first;
  }
  last_text.assign(text);
  last_prog = it->second.get();
  return *last_prog;
}

// ---------------------------------------------------------------- output

struct Record {
  std::string* out;    // all records, '\n'-separated
  size_t start = 0;    // start of the current record in *out
  int pos = 0;         // column (0-based) in the current record

  void put(std::string_view s) {
    size_t at = start + static_cast<size_t>(pos);
    if (out->size() < at) out->append(at - out->size(), ' ');
    size_t over = std::min(s.size(), out->size() - at);
    out->replace(at, over, s.substr(0, over));
    if (s.size() > over) out->append(s.substr(over));
    pos += static_cast<int>(s.size());
  }
  void next() {
    out->push_back('\n');
    start = out->size();
    pos = 0;
  }
};

void stars(Record& r, int w) {
  char buf[64];
  if (w <= static_cast<int>(sizeof buf)) {
    std::memset(buf, '*', w);
    r.put(std::string_view(buf, w));
  } else {
    r.put(std::string(w, '*'));
  }
}

// Right-justify s in a field of w; asterisks when it does not fit.
void field(Record& r, int w, std::string_view s) {
  if (w <= 0) {
    r.put(s);
    return;
  }
  if (static_cast<int>(s.size()) > w) {
    stars(r, w);
    return;
  }
  char buf[128];
  if (w <= static_cast<int>(sizeof buf)) {
    int pad = w - static_cast<int>(s.size());
    std::memset(buf, ' ', pad);
    if (!s.empty()) std::memcpy(buf + pad, s.data(), s.size());
    r.put(std::string_view(buf, w));
  } else {
    r.put(std::string(w - s.size(), ' ') + std::string(s));
  }
}

// The digits of v with its sign, at least m of them (m < 0: no minimum), in buf (48 bytes).
std::string_view int_text(int64_t v, int m, char* buf) {
  int n = 0;
  uint64_t mag = v < 0 ? static_cast<uint64_t>(-(v + 1)) + 1 : static_cast<uint64_t>(v);
  char digits[24];
  int nd = 0;
  do {
    digits[nd++] = static_cast<char>('0' + mag % 10);
    mag /= 10;
  } while (mag);
  while (nd < m && nd < 22) digits[nd++] = '0';
  if (v < 0) buf[n++] = '-';
  while (nd) buf[n++] = digits[--nd];
  return std::string_view(buf, static_cast<std::size_t>(n));
}

void put_int(Record& r, const Ins& in, int64_t v) {
  if (in.d == 0 && v == 0) {
    field(r, in.w, std::string_view());
    if (in.w == 0) r.put("0");
    return;
  }
  char buf[48];
  field(r, in.w, int_text(v, in.d, buf));
}

// Digits of |v| with d decimals, rounded half away from zero ("0.125" at two
// decimals is "0.13"), without sign.  Returns false when not finite.
bool fixed_digits(double v, int d, std::string& s) {
  if (!std::isfinite(v)) return false;
  double a = std::fabs(v);
  static const double p10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                               1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  if (d <= 22) {
    const double t = a * p10[d];
    if (t < 4.0e15) {
      // The exact product is t + e (the error of a product is representable),
      // so the decision to round up is taken on the exact value.
      const double fl = std::floor(t);
      const double e = std::fma(a, p10[d], -t);
      uint64_t q = static_cast<uint64_t>(fl);
      if ((t - fl - 0.5) + e >= 0) ++q;
      char digits[24];
      int nd = 0;
      do {
        digits[nd++] = static_cast<char>('0' + q % 10);
        q /= 10;
      } while (q);
      while (nd <= d) digits[nd++] = '0';
      s.clear();
      for (int i = nd - 1; i >= d; --i) s.push_back(digits[i]);
      s.push_back('.');
      for (int i = d - 1; i >= 0; --i) s.push_back(digits[i]);
      return true;
    }
  }
  char buf[400];
  int n = std::snprintf(buf, sizeof buf, "%.*f", d, a);
  if (n <= 0 || n >= static_cast<int>(sizeof buf)) return false;
  s.assign(buf, n);
  if (d == 0) s.push_back('.');
  return true;
}

bool negative(double v) { return std::signbit(v) && !std::isnan(v); }

// The text of Fw.d for v before it is set in its field (buf: 420 bytes):
// longer than w when the field takes asterisks.
std::string_view f_text(double v, int w, int d, char* buf) {
  static std::string s;
  if (!fixed_digits(v, d, s)) return std::isnan(v) ? "NaN" : (v < 0 ? "-Infinity" : "Infinity");
  // A value that rounds to zero keeps its sign, as "-0.00".
  const bool neg = negative(v);
  int len = static_cast<int>(s.size()) + (neg ? 1 : 0);
  std::string_view body(s);
  if (w > 0 && len > w && body.size() >= 2 && body[0] == '0' && body[1] == '.') {
    body.remove_prefix(1);  // the optional leading zero gives way first
    --len;
  }
  int n = 0;
  if (neg) buf[n++] = '-';
  std::memcpy(buf + n, body.data(), body.size());
  n += static_cast<int>(body.size());
  return std::string_view(buf, static_cast<std::size_t>(n));
}

void put_f(Record& r, const Ins& in, double v) {
  char buf[420];
  field(r, in.w, f_text(v, in.w, in.d, buf));
}

// A text right-justified in out[0..w), or asterisks when it is longer.
void set_field(char* out, int w, std::string_view s) {
  if (static_cast<int>(s.size()) > w) {
    std::memset(out, '*', static_cast<std::size_t>(w));
    return;
  }
  const std::size_t pad = static_cast<std::size_t>(w) - s.size();
  std::memset(out, ' ', pad);
  std::memcpy(out + pad, s.data(), s.size());
}

void put_e(Record& r, const Ins& in, double v, char letter) {
  const int d = in.d;
  if (!std::isfinite(v)) {
    field(r, in.w, std::isnan(v) ? "NaN" : (v < 0 ? "-Infinity" : "Infinity"));
    return;
  }
  double a = std::fabs(v);
  int exp10 = 0;
  std::string mant;
  if (a == 0) {
    mant.assign(static_cast<size_t>(d), '0');
  } else {
    // Exact decimal digits of the binary value, then rounded half away from
    // zero at d significant digits.
    char buf[400];
    int n = std::snprintf(buf, sizeof buf, "%.60e", a);
    char* epos = std::strchr(buf, 'e');
    if (!epos || n <= 0) {
      stars(r, in.w);
      return;
    }
    exp10 = std::atoi(epos + 1) + 1;
    std::string all;
    for (char* p = buf; p < epos; ++p)
      if (std::isdigit(static_cast<unsigned char>(*p))) all.push_back(*p);
    const int keep = d;
    bool up = keep < static_cast<int>(all.size()) && all[keep] >= '5';
    mant = all.substr(0, keep);
    if (up) {
      int i = keep - 1;
      while (i >= 0 && mant[i] == '9') mant[i--] = '0';
      if (i >= 0) {
        ++mant[i];
      } else {
        // 0.999.. rounds to 1.000..: one more power of ten.
        if (keep > 0) mant.insert(mant.begin(), '1'), mant.pop_back();
        ++exp10;
      }
    }
  }
  char expbuf[16];
  int ae = std::abs(exp10);
  int edigits = in.e > 0 ? in.e : 2;
  int elen;
  if (in.e > 0) {
    if (ae >= static_cast<int>(std::pow(10, edigits))) {
      stars(r, in.w);
      return;
    }
    elen = std::snprintf(expbuf, sizeof expbuf, "%c%c%0*d", letter, exp10 < 0 ? '-' : '+', edigits, ae);
  } else if (ae <= 99) {
    elen = std::snprintf(expbuf, sizeof expbuf, "%c%c%02d", letter, exp10 < 0 ? '-' : '+', ae);
  } else if (ae <= 999) {
    elen = std::snprintf(expbuf, sizeof expbuf, "%c%03d", exp10 < 0 ? '-' : '+', ae);
  } else {
    stars(r, in.w);
    return;
  }
  std::string s;
  if (negative(v)) s.push_back('-');
  s += "0.";
  s += mant;
  s.append(expbuf, elen);
  if (in.w > 0 && static_cast<int>(s.size()) > in.w) {
    size_t z = s.find("0.");
    if (z != std::string::npos && static_cast<int>(s.size()) - 1 <= in.w) s.erase(z, 1);
  }
  field(r, in.w, s);
}

void put_g(Record& r, const Ins& in, double v) {
  const int d = in.d < 0 ? 0 : in.d;
  double a = std::fabs(v);
  if (std::isfinite(v) && in.d >= 0) {
    const int ne = in.e > 0 ? in.e + 2 : 4;
    if (a == 0) {
      Ins f{Op::F};
      f.w = in.w - ne;
      f.d = d > 0 ? d - 1 : 0;
      put_f(r, f, v);
      r.put(std::string(static_cast<size_t>(ne), ' '));
      return;
    }
    // The magnitude decides after rounding to d significant digits.
    for (int k = 0; k <= d; ++k) {
      double lo = k == 0 ? 0.1 - 0.5 * std::pow(10.0, -d - 1) : std::pow(10.0, k - 1) - 0.5 * std::pow(10.0, k - 1 - d);
      double hi = std::pow(10.0, k) - 0.5 * std::pow(10.0, k - d);
      if (a >= lo && a < hi) {
        Ins f{Op::F};
        f.w = in.w - ne;
        f.d = d - k;
        put_f(r, f, v);
        r.put(std::string(static_cast<size_t>(ne), ' '));
        return;
      }
    }
  }
  Ins e = in;
  e.d = d;
  put_e(r, e, v, 'E');
}

void put_item(Record& r, const Ins& in, const FmtArg& a, std::string_view fmt_text) {
  switch (in.op) {
    case Op::A:
      if (a.kind == FmtArg::Text) {
        if (in.w < 0) {
          r.put(a.s);
        } else if (static_cast<int>(a.s.size()) >= in.w) {
          r.put(a.s.substr(0, in.w));
        } else {
          field(r, in.w, a.s);
        }
        return;
      }
      break;
    case Op::I:
      if (a.kind == FmtArg::Int || a.kind == FmtArg::Logical) return put_int(r, in, a.i);
      if (a.kind == FmtArg::Real || a.kind == FmtArg::Double) return put_int(r, in, static_cast<int64_t>(a.d));
      break;
    case Op::F:
      if (a.kind == FmtArg::Real || a.kind == FmtArg::Double) return put_f(r, in, a.d);
      if (a.kind == FmtArg::Int) return put_f(r, in, static_cast<double>(a.i));
      break;
    case Op::E:
    case Op::D:
      if (a.kind == FmtArg::Real || a.kind == FmtArg::Double) return put_e(r, in, a.d, in.op == Op::E ? 'E' : 'D');
      if (a.kind == FmtArg::Int) return put_e(r, in, static_cast<double>(a.i), in.op == Op::E ? 'E' : 'D');
      break;
    case Op::G:
      if (a.kind == FmtArg::Real || a.kind == FmtArg::Double) return put_g(r, in, a.d);
      if (a.kind == FmtArg::Int) {
        Ins i = in;
        i.d = -1;
        return put_int(r, i, a.i);
      }
      if (a.kind == FmtArg::Text) return field(r, in.w, a.s.substr(0, std::min<size_t>(a.s.size(), in.w)));
      if (a.kind == FmtArg::Logical) return field(r, in.w, a.i ? "T" : "F");
      break;
    case Op::L:
      if (a.kind == FmtArg::Logical || a.kind == FmtArg::Int) return field(r, in.w, a.i ? "T" : "F");
      break;
    default:
      break;
  }
  bad_format(fmt_text, "item does not match its edit descriptor");
}

// Repeat counts of the groups being walked.  step() takes a group start or
// end and moves the program counter; it returns false for any other descriptor.
class Groups {
 public:
  void reset() { sp_ = 0; }
  bool step(const Ins& in, int& pc, std::string_view fmt_text) {
    if (in.op == Op::GroupStart) {
      if (in.rep == 0) {
        pc = in.jump + 1;
        return true;
      }
      if (sp_ >= kDepth) bad_format(fmt_text, "groups nested too deeply");
      stack_[sp_++] = Frame{pc, in.rep};
      ++pc;
      return true;
    }
    if (in.op == Op::GroupEnd) {
      if (sp_ > 0 && --stack_[sp_ - 1].left > 0) {
        pc = stack_[sp_ - 1].start + 1;
      } else {
        if (sp_ > 0) --sp_;
        ++pc;
      }
      return true;
    }
    return false;
  }

 private:
  struct Frame {
    int start;
    int left;
  };
  static constexpr int kDepth = 32;
  Frame stack_[kDepth];
  int sp_ = 0;
};

// Positioning moves the column alike on output and input; false for any
// other descriptor.
bool position(const Ins& in, int& pos) {
  switch (in.op) {
    case Op::X:
    case Op::TR:
      pos += in.w;
      return true;
    case Op::TL:
      pos = std::max(0, pos - in.w);
      return true;
    case Op::T:
      pos = std::max(0, in.w - 1);
      return true;
    default:
      return false;
  }
}

}  // namespace

const std::string& format_items(std::string_view fmt_text, const FmtArg* args, int nargs) {
  static std::string out;
  out.clear();
  const Program& prog = compiled(fmt_text);
  if (nargs > 0 && !prog.has_data) bad_format(fmt_text, "items but no data edit descriptor");
  Record r{&out};
  Groups groups;
  int next = 0;
  const int n = static_cast<int>(prog.ins.size());
  int pc = 0;
  for (;;) {
    if (pc >= n) {
      if (next >= nargs) break;
      r.next();
      pc = prog.reversion;
      groups.reset();
      continue;
    }
    const Ins& in = prog.ins[pc];
    if (groups.step(in, pc, fmt_text)) continue;
    if (!position(in, r.pos)) {
      switch (in.op) {
        case Op::Lit:
          r.put(in.lit);
          break;
        case Op::Slash:
          r.next();
          break;
        case Op::Colon:
          if (next >= nargs) goto done;
          break;
        default:
          if (next >= nargs) goto done;
          put_item(r, in, args[next++], fmt_text);
          break;
      }
    }
    ++pc;
  }
done:
  return out;
}

void put_fixed(char* out, int w, int d, double v) {
  char buf[420];
  set_field(out, w, f_text(v, w, d, buf));
}

void put_integer(char* out, int w, int64_t v) {
  char buf[48];
  set_field(out, w, int_text(v, -1, buf));
}

int write_formatted(int unit, std::string_view format, const FmtArg* args, int nargs) {
  const std::string& s = format_items(format, args, nargs);
  size_t from = 0;
  for (;;) {
    size_t nl = s.find('\n', from);
    std::string_view rec = nl == std::string::npos ? std::string_view(s).substr(from)
                                                   : std::string_view(s).substr(from, nl - from);
    int rc = write_record(unit, rec);
    if (rc != IOSTAT_OK) return rc;
    if (nl == std::string::npos) return IOSTAT_OK;
    from = nl + 1;
  }
}

// ---------------------------------------------------------------- input

namespace {

// A numeric field without its blanks (blanks are ignored inside numeric
// input fields).  A field of nothing but blanks and zero bytes is a text
// never set (static storage starts as zero bytes) and reads as zero like a
// blank one; a zero byte beside anything else is kept, so that the number
// is refused rather than read with the byte passed over.
std::string_view squeeze(std::string_view f, char* buf, size_t cap) {
  size_t n = 0;
  bool zero_byte = false;
  for (char c : f) {
    if (c == ' ' || c == '\t') continue;
    zero_byte |= c == '\0';
    if (n < cap) buf[n++] = c;
  }
  if (!zero_byte) return std::string_view(buf, n);
  for (size_t i = 0; i < n; ++i)
    if (buf[i] != '\0') return std::string_view(buf, n);
  return std::string_view(buf, 0);
}

bool parse_int(std::string_view f, int32_t& out) {
  char buf[128];
  std::string_view s = squeeze(f, buf, sizeof buf);
  if (s.empty()) {
    out = 0;
    return true;
  }
  size_t i = 0;
  bool neg = false;
  if (s[0] == '+' || s[0] == '-') {
    neg = s[0] == '-';
    i = 1;
  }
  if (i >= s.size()) return false;
  int64_t v = 0;
  for (; i < s.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
    v = v * 10 + (s[i] - '0');
    if (v > 2147483648LL) return false;
  }
  if (neg) v = -v;
  if (v > 2147483647LL || v < -2147483648LL) return false;
  out = static_cast<int32_t>(v);
  return true;
}

// A real field: an optional sign, digits with an optional point, an optional
// exponent (E, D, or a bare sign).  Without a point, the last d digits are
// decimals.  The value is converted straight to the width of the item, so a
// 32-bit real is rounded once, as a direct read into it would be.
template <typename Real>
bool parse_real(std::string_view f, int d, Real& out) {
  char buf[128];
  std::string_view s = squeeze(f, buf, sizeof buf - 8);
  if (s.empty()) {
    out = 0;
    return true;
  }
  char num[160];
  size_t n = 0, i = 0;
  if (s[0] == '+' || s[0] == '-') num[n++] = s[i++];
  bool digits = false, point = false;
  uint64_t m = 0;
  int nd = 0, frac = 0;
  for (; i < s.size(); ++i) {
    char c = s[i];
    if (std::isdigit(static_cast<unsigned char>(c))) {
      digits = true;
      num[n++] = c;
      if (point) ++frac;
      if (m != 0 || c != '0') {
        if (nd < 19) m = m * 10 + static_cast<uint64_t>(c - '0');
        ++nd;
      }
    } else if (c == '.' && !point) {
      point = true;
      num[n++] = c;
    } else {
      break;
    }
  }
  if (!digits) return false;
  int exp = 0;
  if (i < s.size()) {
    char c = static_cast<char>(std::toupper(static_cast<unsigned char>(s[i])));
    if (c == 'E' || c == 'D' || c == 'Q') ++i;
    else if (c != '+' && c != '-') return false;
    bool eneg = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) eneg = s[i++] == '-';
    if (i >= s.size()) return false;
    for (; i < s.size(); ++i) {
      if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
      exp = exp * 10 + (s[i] - '0');
      if (exp > 9999) return false;
    }
    if (eneg) exp = -exp;
  }
  if (!point && d > 0) exp -= d;
  const bool neg = num[0] == '-';
  const int p = exp - frac;
  // Fast path: the digits and the power of ten are exact in the item's width,
  // so one division or multiplication rounds correctly.
  if constexpr (sizeof(Real) == sizeof(float)) {
    static const float p10f[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    if (nd <= 7 && p >= -10 && p <= 10) {
      float v = static_cast<float>(m);
      v = p < 0 ? v / p10f[-p] : v * p10f[p];
      out = neg ? -v : v;
      return true;
    }
  } else {
    static const double p10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (nd <= 15 && p >= -22 && p <= 22) {
      double v = static_cast<double>(m);
      v = p < 0 ? v / p10[-p] : v * p10[p];
      out = neg ? -v : v;
      return true;
    }
  }
  n += static_cast<size_t>(std::snprintf(num + n, sizeof num - n, "e%d", exp));
  num[n] = '\0';
  if constexpr (sizeof(Real) == sizeof(float)) out = std::strtof(num, nullptr);
  else out = std::strtod(num, nullptr);
  return true;
}

bool parse_logical(std::string_view f, bool& out) {
  size_t i = 0;
  while (i < f.size() && f[i] == ' ') ++i;
  if (i < f.size() && f[i] == '.') ++i;
  if (i >= f.size()) return false;
  char c = static_cast<char>(std::toupper(static_cast<unsigned char>(f[i])));
  if (c == 'T') out = true;
  else if (c == 'F') out = false;
  else return false;
  return true;
}

struct InRecords {
  std::string_view all;
  size_t start = 0;
  size_t len = 0;
  int pos = 0;
  int unit = -1;        // >= 0: further records come from this unit
  std::string buf;      // record read from the unit
  bool exhausted = false;

  std::string_view cur() const { return unit >= 0 ? std::string_view(buf) : all.substr(start, len); }
  bool next() {
    pos = 0;
    if (unit >= 0) return read_record(unit, buf) == IOSTAT_OK;
    size_t from = start + len;
    if (from >= all.size()) return false;
    start = from + 1;
    size_t nl = all.find('\n', start);
    len = (nl == std::string_view::npos ? all.size() : nl) - start;
    return true;
  }
  // The next w columns, blank-padded past the end of the record.
  std::string_view take(int w, char* pad, size_t cap) {
    std::string_view rec = cur();
    size_t from = static_cast<size_t>(pos);
    pos += w;
    if (from + w <= rec.size()) return rec.substr(from, w);
    size_t have = from < rec.size() ? rec.size() - from : 0;
    size_t total = std::min<size_t>(w, cap);
    std::memset(pad, ' ', total);
    if (have) std::memcpy(pad, rec.data() + from, std::min(have, total));
    return std::string_view(pad, total);
  }
};

int read_program(InRecords& rec, std::string_view fmt_text, const FmtOut* outs, int nouts) {
  const Program& prog = compiled(fmt_text);
  if (nouts > 0 && !prog.has_data) bad_format(fmt_text, "items but no data edit descriptor");
  Groups groups;
  int next = 0, pc = 0;
  const int n = static_cast<int>(prog.ins.size());
  char pad[512];
  while (next < nouts) {
    if (pc >= n) {
      if (!rec.next()) return IOSTAT_END;
      pc = prog.reversion;
      groups.reset();
      continue;
    }
    const Ins& in = prog.ins[pc];
    if (groups.step(in, pc, fmt_text)) continue;
    if (position(in, rec.pos)) {
      ++pc;
      continue;
    }
    switch (in.op) {
      case Op::Lit:
        rec.pos += static_cast<int>(in.lit.size());
        break;
      case Op::Slash:
        if (!rec.next()) return IOSTAT_END;
        break;
      case Op::Colon:
        break;
      default: {
        const FmtOut& o = outs[next++];
        if (in.op == Op::A) {
          if (o.kind == FmtOut::String) {
            std::string& s = *static_cast<std::string*>(o.p);
            if (in.w < 0) {
              std::string_view c = rec.cur();
              s.assign(rec.pos < static_cast<int>(c.size()) ? c.substr(rec.pos) : std::string_view());
              rec.pos = static_cast<int>(c.size());
            } else {
              s.assign(rec.take(in.w, pad, sizeof pad));
            }
          } else if (o.kind == FmtOut::Text) {
            TextRef t(static_cast<char*>(o.p), o.n);
            int w = in.w < 0 ? o.n : in.w;
            std::string_view f = rec.take(w, pad, sizeof pad);
            // A field wider than the text keeps its rightmost characters.
            if (static_cast<int>(f.size()) > t.n) f = f.substr(f.size() - t.n);
            t.assign(f);
          } else {
            bad_format(fmt_text, "A descriptor for a numeric item");
          }
          break;
        }
        if (in.w <= 0) bad_format(fmt_text, "input field needs a width");
        std::string_view f = rec.take(in.w, pad, sizeof pad);
        bool ok = true;
        switch (o.kind) {
          case FmtOut::Int32: {
            int32_t v;
            if (in.op == Op::I) {
              ok = parse_int(f, v);
            } else {
              double dv;
              ok = parse_real(f, in.d, dv);
              v = static_cast<int32_t>(dv);
            }
            if (ok) *static_cast<int32_t*>(o.p) = v;
            break;
          }
          case FmtOut::Real:
          case FmtOut::Double: {
            if (in.op == Op::I) {
              int32_t iv;
              ok = parse_int(f, iv);
              if (ok && o.kind == FmtOut::Real) *static_cast<float*>(o.p) = static_cast<float>(iv);
              if (ok && o.kind == FmtOut::Double) *static_cast<double*>(o.p) = iv;
            } else if (o.kind == FmtOut::Real) {
              float v;
              ok = parse_real(f, in.d < 0 ? 0 : in.d, v);
              if (ok) *static_cast<float*>(o.p) = v;
            } else {
              double v;
              ok = parse_real(f, in.d < 0 ? 0 : in.d, v);
              if (ok) *static_cast<double*>(o.p) = v;
            }
            break;
          }
          case FmtOut::Logical: {
            bool b;
            ok = parse_logical(f, b);
            if (ok) *static_cast<bool*>(o.p) = b;
            break;
          }
          default:
            bad_format(fmt_text, "numeric descriptor for a text item");
        }
        if (!ok) return IOSTAT_BAD_NUMBER;
        break;
      }
    }
    ++pc;
  }
  return IOSTAT_OK;
}

}  // namespace

int read_items(std::string_view record, std::string_view fmt_text, const FmtOut* outs, int nouts) {
  InRecords rec;
  rec.all = record;
  size_t nl = record.find('\n');
  rec.len = nl == std::string_view::npos ? record.size() : nl;
  return read_program(rec, fmt_text, outs, nouts);
}

int read_formatted(int unit, std::string_view fmt_text, const FmtOut* outs, int nouts) {
  InRecords rec;
  rec.unit = unit;
  int rc = read_record(unit, rec.buf);
  if (rc != IOSTAT_OK) return rc;
  return read_program(rec, fmt_text, outs, nouts);
}

// ---------------------------------------------------------------- list-directed

namespace {

void list_real(std::string& out, double v, int digits) {
  char buf[64];
  if (v == 0) {
    out += std::signbit(v) ? "-0.0" : "0.0";
    return;
  }
  if (!std::isfinite(v)) {
    out += std::isnan(v) ? "NaN" : (v < 0 ? "-Infinity" : "Infinity");
    return;
  }
  int n = std::snprintf(buf, sizeof buf, "%.*G", digits, v);
  std::string_view s(buf, n);
  size_t e = s.find('E');
  std::string_view mant = e == std::string_view::npos ? s : s.substr(0, e);
  out += mant;
  if (mant.find('.') == std::string_view::npos) out += ".0";
  if (e != std::string_view::npos) out += s.substr(e);
}

}  // namespace

const std::string& list_items(const FmtArg* args, int nargs) {
  static std::string out;
  out.clear();
  char buf[32];
  for (int k = 0; k < nargs; ++k) {
    const FmtArg& a = args[k];
    out.push_back(' ');
    switch (a.kind) {
      case FmtArg::Int:
        out.append(buf, std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(a.i)));
        break;
      case FmtArg::Real:
        list_real(out, a.d, 7);
        break;
      case FmtArg::Double:
        list_real(out, a.d, 15);
        break;
      case FmtArg::Text:
        out += a.s;
        break;
      case FmtArg::Logical:
        out.push_back(a.i ? 'T' : 'F');
        break;
    }
  }
  return out;
}

int read_list_items(std::string_view text, const FmtOut* outs, int nouts) {
  size_t i = 0;
  const size_t n = text.size();
  int k = 0;
  bool after_value = false;  // a separator comma after a value is not a null value
  while (k < nouts) {
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i >= n) return IOSTAT_END;
    char c = text[i];
    if (c == '/') return IOSTAT_OK;
    if (c == ',') {
      ++i;
      if (!after_value) ++k;  // null value: the item keeps its value
      after_value = false;
      continue;
    }
    std::string_view tok;
    std::string quoted;
    bool is_quoted = false;
    if (c == '\'' || c == '"') {
      is_quoted = true;
      ++i;
      while (i < n) {
        if (text[i] == c) {
          if (i + 1 < n && text[i + 1] == c) {
            quoted.push_back(c);
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        quoted.push_back(text[i++]);
      }
      tok = quoted;
    } else {
      size_t b = i;
      while (i < n && text[i] != ' ' && text[i] != '\t' && text[i] != ',' && text[i] != '/') ++i;
      tok = text.substr(b, i - b);
    }
    const FmtOut& o = outs[k++];
    after_value = true;
    bool ok = true;
    switch (o.kind) {
      case FmtOut::Int32: {
        int32_t v;
        ok = !is_quoted && parse_int(tok, v);
        if (ok) *static_cast<int32_t*>(o.p) = v;
        break;
      }
      case FmtOut::Real: {
        float v;
        ok = !is_quoted && parse_real(tok, 0, v);
        if (ok) *static_cast<float*>(o.p) = v;
        break;
      }
      case FmtOut::Double: {
        double v;
        ok = !is_quoted && parse_real(tok, 0, v);
        if (ok) *static_cast<double*>(o.p) = v;
        break;
      }
      case FmtOut::Logical: {
        bool b;
        ok = parse_logical(tok, b);
        if (ok) *static_cast<bool*>(o.p) = b;
        break;
      }
      case FmtOut::Text:
        TextRef(static_cast<char*>(o.p), o.n).assign(tok);
        break;
      case FmtOut::String:
        static_cast<std::string*>(o.p)->assign(tok);
        break;
    }
    if (!ok) return IOSTAT_BAD_NUMBER;
  }
  return IOSTAT_OK;
}

}  // namespace rt
