// Reading and writing symmetry operators as text.
#include "suite/csymlib_symop.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "suite/ptq7_errno.h"

namespace {

void parser_signal(int level, int index, const char* place) {
  ptq7_signal(ptq7_error_word(PTQ7_ERRNO_PARS, level, index), place, nullptr);
}

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

int column_of(char c) {
  switch (c) {
    case 'X': case 'x': case 'H': case 'h': case 'A': case 'a': return 0;
    case 'Y': case 'y': case 'K': case 'k': case 'B': case 'b': return 1;
    case 'Z': case 'z': case 'L': case 'l': case 'C': case 'c': return 2;
    default: return -1;
  }
}

bool is_abc(char c) {
  return c == 'A' || c == 'a' || c == 'B' || c == 'b' || c == 'C' || c == 'c';
}
bool is_hkl(char c) {
  return c == 'H' || c == 'h' || c == 'K' || c == 'k' || c == 'L' || c == 'l';
}

// Reads digits and points from p; the value, or -1 when there is none.
double read_number(const char*& p, const char* end) {
  char buf[64];
  int n = 0;
  while (p < end && ((*p >= '0' && *p <= '9') || *p == '.')) {
    if (n < 63) buf[n++] = *p;
    ++p;
  }
  if (n == 0) return -1.0;
  buf[n] = '\0';
  return std::strtod(buf, nullptr);
}

}  // namespace

void symop_to_mat4_err(const char* start, const char* end) {
  std::printf("\n **SYMMETRY OPERATOR ERROR**\n\n Error in interpreting symop \"%.*s\"\n\n",
              static_cast<int>(end - start), start);
}

const char* symop_to_mat4(const char* start, const char* end, float* mat4) {
  int col = 3;
  double value = 0.0;
  double sign = 1.0;
  int row = 0;
  bool cleared = false;
  int nabc = 0;
  int nhkl = 0;

  auto store = [&]() {
    if (!cleared) {
      for (int i = 0; i < 16; ++i) mat4[i] = 0.0f;
      mat4[15] = 1.0f;
      cleared = true;
    }
    mat4[row * 4 + col] = static_cast<float>(value);
    col = 3;
    value = 0.0;
    nabc = 0;
    nhkl = 0;
  };
  auto fail = [&]() -> const char* {
    symop_to_mat4_err(start, end);
    parser_signal(PTQ7_LEVEL_SUCCESS, 10, "symop_to_mat4");
    return nullptr;
  };

  if (start >= end) return fail();
  const char* p = start;
  while (p < end) {
    const char c = *p;
    if (is_space(c)) {
      ++p;
      continue;
    }
    const int letter = column_of(c);
    if (letter >= 0) {
      col = letter;
      if (value == 0.0) value = sign;
      if (is_hkl(c)) ++nhkl;
      ++p;
      if (is_abc(c)) {
        ++nabc;
        // 'a*' names a reciprocal axis unless it closes a third a, b, c
        // written without any h, k, l: then the '*' separates rows.
        if (p < end && *p == '*' && !(nabc == 3 && nhkl == 0)) ++p;
      }
      continue;
    }
    if (c == '+' || c == '-') {
      if (value != 0.0 || col != 3) store();
      sign = (c == '+') ? 1.0 : -1.0;
      ++p;
      continue;
    }
    if ((c >= '0' && c <= '9') || c == '.') {
      value = read_number(p, end) * sign;
      continue;
    }
    if (c == '/') {
      ++p;
      const double divisor = read_number(p, end);
      if (value == 0.0 || divisor <= 0.0) return fail();
      value /= divisor;
      continue;
    }
    if (c == ',' || c == '*') {
      if (value == 0.0 && col == 3) {
        parser_signal(PTQ7_LEVEL_SUCCESS, 10, "symop_to_mat4");
        return nullptr;
      }
      store();
      ++p;
      if (row == 2) return p;  // one operator only: the text after it is not ours
      ++row;
      sign = 1.0;
      continue;
    }
    ++p;
  }
  if (value != 0.0 || col != 3) store();
  if (row < 2 || !cleared) return fail();
  return p;
}

namespace {

// What a character is to the library check; letters carry their column.
enum OpClass : unsigned char {
  kOther, kSpace, kColumnX, kColumnY, kColumnZ, kDigit, kPoint, kSlash, kPlus, kMinus, kSeparator
};

constexpr std::array<OpClass, 256> make_op_classes() {
  std::array<OpClass, 256> c{};
  for (unsigned char x : {' ', '\t', '\n', '\r'}) c[x] = kSpace;
  for (unsigned char x : {'X', 'x', 'H', 'h', 'A', 'a'}) c[x] = kColumnX;
  for (unsigned char x : {'Y', 'y', 'K', 'k', 'B', 'b'}) c[x] = kColumnY;
  for (unsigned char x : {'Z', 'z', 'L', 'l', 'C', 'c'}) c[x] = kColumnZ;
  for (unsigned char x = '0'; x <= '9'; ++x) c[x] = kDigit;
  c['.'] = kPoint;
  c['/'] = kSlash;
  c['+'] = kPlus;
  c['-'] = kMinus;
  c[','] = c['*'] = kSeparator;
  return c;
}
constexpr std::array<OpClass, 256> kOpClass = make_op_classes();

OpClass op_class(char c) { return kOpClass[static_cast<unsigned char>(c)]; }

// A coefficient of a rotation this large cannot stand in a symmetry
// operator; the bound keeps the determinant an exact integer.
constexpr long kMaxCoefficient = 1L << 16;

// Reads the number at p, digits with at most one point (a second point
// ends it): false unless it holds a digit, is not 0 and fits the 63
// characters read_number keeps.  `whole` tells a number of digits alone,
// `value` its value then (past the bound: above it).
bool strict_number(const char*& p, const char* end, bool& whole, long& value) {
  const char* first = p;
  const char* point = nullptr;
  bool nonzero = false;
  long v = 0;
  for (; p < end; ++p) {
    const unsigned d = static_cast<unsigned char>(*p) - unsigned{'0'};
    if (d <= 9) {
      nonzero = nonzero || d != 0;
      if (!point && v <= kMaxCoefficient) v = v * 10 + d;
    } else if (*p == '.' && !point) {
      point = p;
    } else {
      break;
    }
  }
  whole = point == nullptr;
  value = v;
  return nonzero && p - first <= 63;
}

}  // namespace

bool symop_text_is_operator(const char* start, const char* end) {
  long rot[3][3] = {};
  unsigned named = 0;  // bit 4 x row + column of each term stored, column 3 the translation
  int row = 0;
  // The term being read: its sign (0 when none is given), number, divisor
  // and letter's column (-1 for none).
  int sign = 0;
  bool number = false, whole = false, divided = false;
  long coefficient = 0;
  int column = -1;
  // Stores the term into its row: false when the row has named its column
  // before (the reader would overwrite it) or a letter's coefficient is no
  // whole number of a size a rotation can have.
  const auto store = [&]() -> bool {
    const unsigned bit = 1u << (4 * row + (column >= 0 ? column : 3));
    if (named & bit) return false;
    named |= bit;
    if (column >= 0) {
      const long c = number ? coefficient : 1;
      if ((number && !whole) || divided || c > kMaxCoefficient) return false;
      rot[row][column] = sign < 0 ? -c : c;
    }
    sign = 0;
    number = divided = false;
    column = -1;
    return true;
  };
  for (const char* p = start; p < end;) {
    const char c = *p;
    switch (op_class(c)) {
      case kSpace:
        ++p;
        break;
      case kColumnX:
      case kColumnY:
      case kColumnZ:
        if (column >= 0 || divided) return false;
        column = op_class(c) - kColumnX;
        ++p;
        // 'a*' is the reader's reciprocal axis, not a row's end.
        if (is_abc(c) && p < end && *p == '*') ++p;
        break;
      case kDigit:
      case kPoint:
        if (number || column >= 0) return false;
        number = true;
        if (!strict_number(p, end, whole, coefficient)) return false;
        break;
      case kSlash: {
        if (!number || divided || column >= 0) return false;
        divided = true;
        ++p;
        bool w;
        long v;
        if (!strict_number(p, end, w, v)) return false;
        break;
      }
      case kPlus:
      case kMinus:
        if (number || column >= 0) {
          if (!store()) return false;
        } else if (sign != 0) {
          return false;
        }
        sign = c == '+' ? 1 : -1;
        ++p;
        break;
      case kSeparator:
        // A separator after the third row begins a fourth.
        if (!(number || column >= 0) || !store() || row == 2) return false;
        ++row;
        ++p;
        break;
      case kOther:
        return false;
    }
  }
  if (number || column >= 0) {
    if (!store()) return false;
  } else if (sign != 0) {
    return false;
  }
  // Three rows, the third holding a term.
  if (row != 2 || (named >> 8) == 0) return false;
  const long det = rot[0][0] * (rot[1][1] * rot[2][2] - rot[1][2] * rot[2][1]) -
                   rot[0][1] * (rot[1][0] * rot[2][2] - rot[1][2] * rot[2][0]) +
                   rot[0][2] * (rot[1][0] * rot[2][1] - rot[1][1] * rot[2][0]);
  return det == 1 || det == -1;
}

const char* symop_to_rotandtrn(const char* start, const char* end, Symop& op) {
  float mat4[16];
  const char* r = symop_to_mat4(start, end, mat4);
  if (r) mat4_to_rotandtrn(op, mat4);
  return r;
}

void rotandtrn_to_mat4(float* mat4, const Symop& op) {
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) mat4[i * 4 + j] = op.rot[i][j];
    mat4[i * 4 + 3] = op.trn[i];
  }
  mat4[12] = mat4[13] = mat4[14] = 0.0f;
  mat4[15] = 1.0f;
}

void mat4_to_rotandtrn(Symop& op, const float* mat4) {
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) op.rot[i][j] = mat4[i * 4 + j];
    op.trn[i] = mat4[i * 4 + 3];
  }
}

char* mat4_to_symop(char* start, char* end, const float* mat4) {
  // Twelfths of a cell that have a written fraction, by (t12 - 1) mod 12.
  static const char* const fraction[12] = {nullptr, "1/6", "1/4", "1/3", nullptr, "1/2",
                                           nullptr, "2/3", "3/4", "5/6", nullptr, nullptr};
  static const char letter[3] = {'X', 'Y', 'Z'};
  for (char* q = start; q < end; ++q) *q = ' ';
  char* cur = start;
  auto overflow = [](const char* tag) -> char* {
    ptq7_signal(ptq7_error_word(PTQ7_ERRNO_PARS, PTQ7_LEVEL_ERROR, 9), tag, nullptr);
    return nullptr;
  };

  for (int i = 0; i < 3; ++i) {
    if (cur >= end) return overflow("mat4_to_symop 5");
    *cur = '0';
    bool written = false;
    for (int j = 0; j < 4; ++j) {
      const float v = mat4[i * 4 + j];
      if (v == 0.0f) continue;
      if (j < 3) {
        const int n = static_cast<int>(std::lround(std::fabs(v)));
        if (v < 0.0f) {
          if (cur >= end) return overflow("mat4_to_symop 2");
          *cur++ = '-';
        } else if (written) {
          if (cur >= end) return overflow("mat4_to_symop 1");
          *cur++ = '+';
        }
        const int need = (n != 1 && n < 10) ? 2 : 1;
        if (cur + need > end) return overflow("mat4_to_symop 3");
        if (n != 1 && n < 10) *cur++ = static_cast<char>('0' + n);
        *cur++ = letter[j];
        written = true;
      } else {
        bool plus = false;
        if (v < 0.0f || written) {
          if (cur >= end) return overflow(v < 0.0f ? "mat4_to_symop 2" : "mat4_to_symop 1");
          *cur++ = '+';
          plus = true;
        }
        const int t12 = static_cast<int>(std::lround(12.0f * v));
        const char* f = fraction[((t12 - 1) % 12 + 12) % 12];
        if (!f) {
          // Take the '+' back; on an otherwise empty row it stood on the
          // placeholder, which must read '0' again.
          if (plus) *--cur = written ? ' ' : '0';
          continue;
        }
        if (cur + 3 > end) return overflow("mat4_to_symop 4");
        std::memcpy(cur, f, 3);
        cur += 3;
        written = true;
      }
    }
    if (!written) ++cur;
    if (i < 2) {
      if (cur + 3 > end) return overflow("mat4_to_symop 5");
      *cur++ = ',';
      cur += 2;
    }
  }
  return start;
}

char* rotandtrn_to_symop(char* start, char* end, const Symop& op) {
  float mat4[16];
  rotandtrn_to_mat4(mat4, op);
  return mat4_to_symop(start, end, mat4);
}

char* mat4_to_recip_symop(char* start, char* end, const float* mat4) {
  const long len = end - start;
  if (len <= 0) return nullptr;
  char scratch[256];
  char* s = scratch;
  char* big = nullptr;
  if (len > static_cast<long>(sizeof scratch)) {
    big = new char[len];
    s = big;
  }
  char* r = mat4_to_symop(s, s + len, mat4);
  if (r) {
    char* out = start;
    for (long i = 0; i < len && out < end; ++i) {
      const char c = s[i];
      if (c == ' ') continue;
      char lc = c;
      if (c == 'X') lc = 'h';
      if (c == 'Y') lc = 'k';
      if (c == 'Z') lc = 'l';
      if (lc != c) {
        const bool signed_before = out > start && (out[-1] == '+' || out[-1] == '-');
        if (!signed_before && out < end) *out++ = '+';
        if (out < end) *out++ = lc;
      } else {
        *out++ = c;
      }
    }
    for (; out < end; ++out) *out = ' ';
  }
  delete[] big;
  return r ? start : nullptr;
}

int symfr_driver(const char* text, float* matrices, int capacity) {
  constexpr int max_tokens = 20;
  const char* tb[max_tokens];
  const char* te[max_tokens];
  // Tokens split at blanks; '#' or '!' begins a comment that ends the text
  // (a keyword line handed over whole may still carry one).
  auto is_comment = [](char c) { return c == '#' || c == '!'; };
  int ntok = 0;
  for (const char* p = text; *p;) {
    while (*p == ' ') ++p;
    if (!*p || is_comment(*p)) break;
    if (ntok == max_tokens) {
      parser_signal(PTQ7_LEVEL_SUCCESS, 1, "ptq7_parse");
      break;
    }
    tb[ntok] = p;
    while (*p && *p != ' ' && !is_comment(*p)) ++p;
    te[ntok++] = p;
    if (is_comment(*p)) break;
  }
  if (ntok == 0) return 0;

  char buf[80];
  int len = 0;
  int nops = 0;
  bool single = false;
  auto convert = [&]() -> bool {
    if (nops >= capacity) {
      std::printf("SYMFR: too many symmetry operators!\n");
      return false;
    }
    if (!symop_to_mat4(buf, buf + len, matrices + 16 * nops)) return false;
    ++nops;
    len = 0;
    return true;
  };
  for (int i = 0; i < ntok; ++i) {
    const int tl = static_cast<int>(te[i] - tb[i]);
    const bool star = tl == 1 && tb[i][0] == '*';
    if (star) {
      if (len == 0) {
        single = true;
        continue;
      }
      if (!convert()) return -1;
      continue;
    }
    if (len + tl > 79) {
      std::printf("SYMFR: symmetry operator string is too long!\n");
      return -1;
    }
    std::memcpy(buf + len, tb[i], tl);
    len += tl;
    if (single || i == ntok - 1) {
      single = false;
      if (!convert()) return -1;
    }
  }
  return nops;
}
