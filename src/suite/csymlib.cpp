// The symmetry data file loader and the space-group name and operator-list
// comparisons it matches blocks with.
//
// A run loads space groups many times (each coordinate file read loads at
// least one), so the file is read once and held in memory with an index of
// its blocks; it is read again only when its path, identity, size or time of
// change differ.  Each load walks the index from the top as a scan of the
// file would, with the same messages for refused blocks; only the block that
// matches (or, for an operator list, each block of the right size) is
// tokenised again, its lines cut exactly as a line-by-line read cuts them.
// The record last built by number or name is kept with the index it came
// from, and copied when the same group is loaded again from that index.
//
// Every run checks the whole file at start, so the index is built in one
// pass that tokenises only the lines it keeps something of and judges each
// distinct operator text once: the check costs about a bare read of the
// lines.
#include "suite/csymlib.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>
#include <time.h>

#include "runtime/units.h"
#include "suite/csymlib_grid.h"
#include "suite/csymlib_recip.h"
#include "suite/csymlib_symop.h"
#include "suite/cvecmat.h"
#include "suite/ptq7_errno.h"

namespace {

void csym_signal(int index, const char* place) {
  ptq7_signal(ptq7_error_word(PTQ7_ERRNO_SYM, PTQ7_LEVEL_SUCCESS, index), place, nullptr);
}

// ---- Tokens of one data-file line --------------------------------------------

struct Token {
  const char* p;
  int n;
};

constexpr int kMaxTokens = 20;

// The data file is tokenised with blank, tab and comma as delimiters (the
// comma also a null delimiter); the line end counts as a delimiter too.
// Every line of the file passes through here, so the classes are a table.
enum CharClass : unsigned char { kPlain = 0, kDelim = 1, kComment = 2, kQuote = 4 };

constexpr std::array<unsigned char, 256> make_classes() {
  std::array<unsigned char, 256> c{};
  for (unsigned char d : {' ', '\t', ',', '\n', '\r'}) c[d] = kDelim;
  c['#'] = c['!'] = kComment;
  c['\''] = c['"'] = kQuote;
  return c;
}
constexpr std::array<unsigned char, 256> kClass = make_classes();

unsigned char class_of(char c) { return kClass[static_cast<unsigned char>(c)]; }
bool is_delim(char c) { return class_of(c) == kDelim; }

// A token begins after a delimiter (the line begins after one): a quote
// there opens a quoted token that a like quote before a delimiter closes
// (one never closed is lost with the rest of the line); a comment character
// there ends the line; two commas give an empty token; any other character
// begins a token that runs to the next delimiter or comment character.  At
// most `most` tokens are taken, the first ones of the line.
int tokenise(const char* line, int len, Token* tok, int most) {
  int ntok = 0;
  char before = ' ';  // the delimiter before position i
  for (int i = 0; i < len;) {
    const char c = line[i];
    const unsigned char cls = class_of(c);
    if (cls == kDelim) {
      if (before == ',' && c == ',') {
        if (ntok == most) return ntok;
        tok[ntok++] = Token{line + i - 1, 0};
      }
      before = c;
      ++i;
      continue;
    }
    if (cls == kComment) return ntok;
    if (ntok == most) return ntok;
    int j = i + 1;
    if (cls == kQuote) {
      while (j < len && !(line[j] == c && (j + 1 == len || is_delim(line[j + 1])))) ++j;
      if (j == len) return ntok;
      tok[ntok++] = Token{line + i + 1, j - i - 1};
      ++j;  // the delimiter after the closing quote, if any
    } else {
      while (j < len && (class_of(line[j]) & (kDelim | kComment)) == 0) ++j;
      tok[ntok++] = Token{line + i, j - i};
      if (j < len && class_of(line[j]) == kComment) return ntok;
    }
    if (j >= len) return ntok;
    before = line[j];
    i = j + 1;
  }
  return ntok;
}

// The keys are compared on their first four characters with case ignored:
// the four bytes are read as one number with every letter made lower case
// (or-ing 0x20 leaves a byte a lower-case letter only when it was that
// letter in either case; the '_' of "end_" is tested apart, as DEL would
// pass too).
uint32_t four_bytes(const char* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

constexpr uint32_t key_of(const char (&k)[5]) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(k[i]);
  // The bytes as four_bytes reads them on this machine.
  if constexpr (std::endian::native == std::endian::big)
    v = (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
  return v | 0x20202020u;
}

constexpr uint32_t kKeyNumber = key_of("numb");
constexpr uint32_t kKeyBasisop = key_of("basi");
constexpr uint32_t kKeySymbol = key_of("symb");
constexpr uint32_t kKeyHklasu = key_of("hkla");
constexpr uint32_t kKeyMapasu = key_of("mapa");
constexpr uint32_t kKeySymop = key_of("symo");
constexpr uint32_t kKeyCenop = key_of("ceno");
constexpr uint32_t kKeyBegin = key_of("begi");
constexpr uint32_t kKeyEnd = key_of("end_");

// The key a token names, 0 for none (a token shorter than four characters
// names none).
uint32_t key_code(const Token& t) {
  if (t.n < 4) return 0;
  const uint32_t code = four_bytes(t.p) | 0x20202020u;
  switch (code) {
    case kKeyNumber: case kKeyBasisop: case kKeySymbol: case kKeyHklasu: case kKeyMapasu:
    case kKeySymop: case kKeyCenop: case kKeyBegin:
      return code;
    case kKeyEnd:
      return t.p[3] == '_' ? code : 0;
    default:
      return 0;
  }
}

bool token_is(const Token& t, const char* word) {
  const int n = static_cast<int>(std::strlen(word));
  return t.n == n && std::memcmp(t.p, word, n) == 0;
}

int token_int(const Token& t) {
  // Digits alone, as every group number of a sound file is written, give
  // the value the conversion below would.
  if (t.n > 0 && t.n <= 9) {
    int v = 0, i = 0;
    for (; i < t.n && t.p[i] >= '0' && t.p[i] <= '9'; ++i) v = v * 10 + (t.p[i] - '0');
    if (i == t.n) return v;
  }
  char buf[32];
  const int n = std::min(t.n, 31);
  std::memcpy(buf, t.p, n);
  buf[n] = '\0';
  const double v = std::strtod(buf, nullptr);
  // A value beyond the range of int (or not a number) is no group number.
  if (!(v > std::numeric_limits<int>::min() - 1.0 && v < std::numeric_limits<int>::max() + 1.0))
    return 0;
  return static_cast<int>(v);
}

// Copies a text into a field of `cap` bytes; false when it does not fit.
bool copy_text(char* dst, int cap, const char* src, int n) {
  if (n >= cap) return false;
  std::memcpy(dst, src, n);
  dst[n] = '\0';
  return true;
}

// ---- One block of the data file ---------------------------------------------

constexpr int kOpTextLen = 80;    // operator and condition texts: 79 characters
constexpr int kRangeLen = 12;     // one map range text: 11 characters
constexpr int kPointGroupLen = 18;  // 17 characters after the "PG" prefix

struct Block {
  int number;
  int ptq7_number;
  char hall[SPG_HALL_LEN];
  char xhm[SPG_NAME_LEN];
  char old[SPG_NAME_LEN];
  char patt[SPG_NAME_LEN];
  char pgrp[kPointGroupLen];
  char hklasu[kOpTextLen];
  char basisop[kOpTextLen];
  char map_zero[3][kRangeLen];
  char map_ptq7[3][kRangeLen];
  int nsym;
  int ncen;
  char symop[SYMINFO_MAX_SYMOP][kOpTextLen];
  char cenop[SYMINFO_MAX_CENOP][kOpTextLen];
  const char* too_big;  // what exceeded a capacity, or null
};

void clear_block(Block& b) {
  b.number = 0;
  b.ptq7_number = 0;
  b.hall[0] = b.xhm[0] = b.old[0] = b.patt[0] = b.pgrp[0] = '\0';
  b.hklasu[0] = b.basisop[0] = '\0';
  for (int i = 0; i < 3; ++i) b.map_zero[i][0] = b.map_ptq7[i][0] = '\0';
  b.nsym = 0;
  b.ncen = 0;
  b.too_big = nullptr;
}

// The raw line from column `from` (1-based) on, line end included.
void take_raw(Block& b, char* dst, const char* line, int len, int from, const char* what) {
  const int start = std::min(from - 1, len);
  if (!copy_text(dst, kOpTextLen, line + start, len - start) && !b.too_big) b.too_big = what;
}

void take_token(Block& b, char* dst, int cap, const Token& t, const char* what) {
  if (!copy_text(dst, cap, t.p, t.n) && !b.too_big) b.too_big = what;
}

// Counts an operator line of the block and, when `text` is set, keeps its
// text; false when the block has no room for it.
bool take_operator(Block& b, uint32_t key, const char* line, int len, bool text) {
  const bool symop = key == kKeySymop;
  int& n = symop ? b.nsym : b.ncen;
  if (n == (symop ? SYMINFO_MAX_SYMOP : SYMINFO_MAX_CENOP)) {
    if (!b.too_big) b.too_big = symop ? "number of symop lines" : "number of cenop lines";
    return false;
  }
  if (text)
    take_raw(b, symop ? b.symop[n] : b.cenop[n], line, len, 7, symop ? "symop text" : "cenop text");
  ++n;
  return true;
}

// Takes what a line of key `key` holds into the block.
void collect_line(Block& b, uint32_t key, const char* line, int len, const Token* tok, int ntok) {
  if (key == kKeyNumber) {
    if (ntok > 1) b.number = token_int(tok[1]);
  } else if (key == kKeyBasisop) {
    take_raw(b, b.basisop, line, len, 9, "basisop text");
  } else if (key == kKeySymbol) {
    if (ntok < 2) return;
    const Token& sub = tok[1];
    if (token_is(sub, "ptq7")) {
      if (ntok > 2) b.ptq7_number = token_int(tok[2]);
    } else if (token_is(sub, "Hall")) {
      if (ntok > 2) take_token(b, b.hall, SPG_HALL_LEN, tok[2], "Hall symbol");
    } else if (token_is(sub, "xHM")) {
      if (ntok > 2) take_token(b, b.xhm, SPG_NAME_LEN, tok[2], "extended symbol");
    } else if (token_is(sub, "old")) {
      if (ntok > 2) take_token(b, b.old, SPG_NAME_LEN, tok[2], "old symbol");
    } else if (token_is(sub, "patt")) {
      if (ntok > 3) take_token(b, b.patt, SPG_NAME_LEN, tok[3], "Laue-group text");
    } else if (token_is(sub, "pgrp")) {
      if (ntok > 3) take_token(b, b.pgrp, kPointGroupLen, tok[3], "point-group text");
    }
  } else if (key == kKeyHklasu) {
    if (ntok > 2 && token_is(tok[1], "ptq7"))
      take_token(b, b.hklasu, kOpTextLen, tok[2], "asymmetric-unit condition");
  } else if (key == kKeyMapasu) {
    if (ntok < 2) return;
    char(*dst)[kRangeLen] = nullptr;
    if (token_is(tok[1], "zero")) dst = b.map_zero;
    if (token_is(tok[1], "ptq7")) dst = b.map_ptq7;
    if (!dst) return;
    for (int i = 0; i < 3; ++i) {
      if (ntok > 2 + i)
        take_token(b, dst[i], kRangeLen, tok[2 + i], "map range text");
      else
        dst[i][0] = '\0';
    }
  } else if (key == kKeySymop || key == kKeyCenop) {
    take_operator(b, key, line, len, true);
  }
}

// The block's operators: for each centring operator, each primitive one,
// centring applied after it, translations in [0, 1).  False when a text
// cannot be read.
bool block_operators(const Block& b, Symop* ops) {
  Symop prim[SYMINFO_MAX_SYMOP];
  for (int i = 0; i < b.nsym; ++i) {
    const char* t = b.symop[i];
    if (!symop_to_rotandtrn(t, t + std::strlen(t), prim[i])) return false;
  }
  int n = 0;
  for (int c = 0; c < b.ncen; ++c) {
    Symop cen;
    const char* t = b.cenop[c];
    if (!symop_to_rotandtrn(t, t + std::strlen(t), cen)) return false;
    for (int i = 0; i < b.nsym; ++i) {
      ptq7spg_symop_product(ops[n], cen, prim[i]);
      ptq7spg_norm_trans(ops[n]);
      ++n;
    }
  }
  return true;
}

struct Key {
  int number = 0;
  int ptq7_number = 0;
  const char* name = nullptr;
  const char* ptq7_name = nullptr;
  int nops = 0;
  const Symop* ops = nullptr;
};

// Everything one load needs, allocated once per load.
struct ScanState {
  Block block;
  Symop ops[SYMINFO_MAX_SYMOP * SYMINFO_MAX_CENOP];
};

bool block_matches(const Key& key, ScanState& s, const Symop* wanted) {
  const Block& b = s.block;
  if (key.number != 0) return b.number == key.number;
  if (key.ptq7_number != 0) return b.ptq7_number == key.ptq7_number;
  if (key.name) return ptq7spg_name_equal_to_lib(b.xhm, key.name) != 0;
  if (key.ptq7_name)
    return ptq7spg_name_equal_to_lib(b.old, key.ptq7_name) != 0 ||
           ptq7spg_name_equal_to_lib(b.xhm, key.ptq7_name) != 0;
  if (b.nsym * b.ncen != key.nops) return false;
  if (!block_operators(b, s.ops)) return false;
  return ptq7_spgrp_equal(key.nops, s.ops, key.nops, wanted) != 0;
}

// Patterson group of a Laue class and lattice letter.
void set_patterson(Spacegroup& sg) {
  struct Entry {
    char letter;  // 0: any lattice
    int number;
    const char* name;
  };
  struct Row {
    int code;
    Entry e[4];
  };
  static const Row rows[] = {
      {3, {{0, 2, "P-1"}}},
      {4, {{'P', 10, "P2/m"}, {'C', 12, "C2/m"}}},
      {6, {{'P', 47, "Pmmm"}, {'C', 65, "Cmmm"}, {'I', 71, "Immm"}, {'F', 69, "Fmmm"}}},
      {7, {{'P', 83, "P4/m"}, {'I', 87, "I4/m"}}},
      {8, {{'P', 123, "P4/mmm"}, {'I', 139, "I4/mmm"}}},
      {9, {{'P', 147, "P-3"}, {'H', 148, "H-3"}, {'R', 1148, "R-3"}}},
      {10, {{0, 162, "P-31m"}}},
      {11, {{'P', 164, "P-3m1"}, {'H', 166, "H-3m"}, {'R', 1166, "R-3m"}}},
      {12, {{0, 175, "P6/m"}}},
      {13, {{0, 191, "P6/mmm"}}},
      {14, {{'P', 200, "Pm-3"}, {'I', 204, "Im-3"}, {'F', 202, "Fm-3"}}},
      {15, {{'P', 221, "Pm-3m"}, {'I', 229, "Im-3m"}, {'F', 225, "Fm-3m"}}},
  };
  sg.patterson_number = 0;
  sg.patterson_name[0] = '\0';
  for (const Row& r : rows) {
    if (r.code != sg.laue_code) continue;
    for (const Entry& e : r.e) {
      if (!e.name) break;
      const bool hit = e.letter == 0 ||
                       (e.letter == 'H' ? std::strchr(sg.symbol_xhm, 'H') != nullptr
                                        : std::strchr(sg.symbol_hall, e.letter) != nullptr);
      if (hit) {
        sg.patterson_number = e.number;
        std::snprintf(sg.patterson_name, sizeof sg.patterson_name, "%s", e.name);
        return;
      }
    }
  }
}

void set_map_asu(char* descr, float* upper, const char (*ranges)[kRangeLen]) {
  std::snprintf(descr, SPG_DESCR_LEN, "%s %s %s", ranges[0], ranges[1], ranges[2]);
  for (int i = 0; i < 3; ++i) {
    float lim[2];
    range_to_limits(ranges[i], lim);
    upper[i] = lim[1];
  }
}

void fill_inverse(Symop& out, const Symop& in, bool normalise) {
  ptq7spg_symop_inverse(out, in);
  if (normalise) ptq7spg_norm_trans(out);
}

SpacegroupPtr build_record(ScanState& s, const Key& key) {
  const Block& b = s.block;
  auto sg = std::make_unique<Spacegroup>();
  sg->number = b.number;
  sg->ptq7_number = b.ptq7_number;
  std::snprintf(sg->symbol_hall, sizeof sg->symbol_hall, "%s", b.hall);
  std::snprintf(sg->symbol_xhm, sizeof sg->symbol_xhm, "%s", b.xhm);
  std::snprintf(sg->symbol_old, sizeof sg->symbol_old, "%s", b.old);
  std::snprintf(sg->point_group, sizeof sg->point_group, "PG%s", b.pgrp);

  float chb4[16];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) sg->chb[i][j] = (i == j) ? 1.0f : 0.0f;
  if (symop_to_mat4(b.basisop, b.basisop + std::strlen(b.basisop), chb4))
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) sg->chb[i][j] = chb4[i * 4 + j];

  sg->nsymop_prim = b.nsym;
  if (key.nops > 0 && !key.name && !key.ptq7_name && key.number == 0 && key.ptq7_number == 0) {
    // Loaded by operators: the caller's list, in the caller's order.
    sg->nsymop = key.nops;
    sg->symop.assign(key.ops, key.ops + key.nops);
    sg->invsymop.resize(key.nops);
    for (int i = 0; i < key.nops; ++i) fill_inverse(sg->invsymop[i], sg->symop[i], false);
  } else {
    sg->nsymop = b.nsym * b.ncen;
    sg->symop.resize(sg->nsymop);
    if (!block_operators(b, sg->symop.data())) return nullptr;
    sg->invsymop.resize(sg->nsymop);
    for (int i = 0; i < sg->nsymop; ++i) fill_inverse(sg->invsymop[i], sg->symop[i], true);
  }

  std::snprintf(sg->asu_descr, sizeof sg->asu_descr, "%s", b.hklasu);
  const int code = ptq7spg_laue_code_of(b.hklasu, b.patt);
  if (code == 0) {
    csym_signal(4, "ptq7spg_load_spacegroup");
    return nullptr;
  }
  if (ptq7spg_load_laue(sg.get(), code) != 0) {
    csym_signal(5, "ptq7spg_load_spacegroup");
    return nullptr;
  }
  set_patterson(*sg);

  set_map_asu(sg->mapasu_zero_descr, sg->mapasu_zero, b.map_zero);
  float first[2];
  range_to_limits(b.map_ptq7[0], first);
  if (first[1] > 0.0f) {
    set_map_asu(sg->mapasu_ptq7_descr, sg->mapasu_ptq7, b.map_ptq7);
  } else {
    std::memcpy(sg->mapasu_ptq7_descr, sg->mapasu_zero_descr, sizeof sg->mapasu_ptq7_descr);
    std::memcpy(sg->mapasu_ptq7, sg->mapasu_zero, sizeof sg->mapasu_ptq7);
  }

  ptq7spg_set_centric_zones(sg.get());
  ptq7spg_set_epsilon_zones(sg.get());
  return sg;
}

// The data file named by SYMINFO, else syminfo.lib under PTQ7; empty when
// neither is set.  The load and the check of the whole file read this one.
std::string library_path() {
  if (const char* v = std::getenv("SYMINFO")) return v;
  if (const char* p = std::getenv("PTQ7")) return std::string(p) + "/lib/data/syminfo.lib";
  return {};
}

// The data file named by SYMINFO, else under PTQ7; false when neither is set.
bool find_file(char* path, int cap) {
  const std::string file = library_path();
  if (std::getenv("SYMINFO") != nullptr) {
    std::printf("\n Spacegroup information obtained from library file: \n");
    std::printf(" Logical Name: SYMINFO   Filename: %s\n\n", file.c_str());
    std::snprintf(path, cap, "%s", file.c_str());
    return true;
  }
  std::printf("Environment variable SYMINFO not set ... guessing location of symmetry file. \n");
  if (!file.empty()) {
    std::snprintf(path, cap, "%s", file.c_str());
    std::printf(" SYMINFO file set to %s \n", path);
    return true;
  }
  std::printf("Environment variable PTQ7 not set ... big trouble! \n");
  return false;
}

constexpr int kNameBuf = 256;

void upper_copy(char* out, const char* in) {
  int i = 0;
  for (; in[i] && i < kNameBuf - 1; ++i)
    out[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(in[i])));
  out[i] = '\0';
}

// Equal when the characters agree, blanks after the first character skipped.
bool blank_free_equal(const char* a, const char* b) {
  int i = 0, j = 0;
  while (a[i] && b[j]) {
    if (a[i] != b[j]) return false;
    ++i;
    ++j;
    while (a[i] == ' ') ++i;
    while (b[j] == ' ') ++j;
  }
  return a[i] == '\0' && b[j] == '\0';
}

// A name as the comparison of a library name with a user's sees it: upper
// case, a colon suffix settled, and its short form when it holds " 1 ".
template <int N>
struct ComparedName {
  char full[N];
  char brief[N];
  bool has_one;
};

// A library name always fits its field; a longer text is cut.
void cut_copy(char* dst, std::size_t cap, const char* src) {
  const std::size_t n = ::strnlen(src, cap - 1);
  std::memcpy(dst, src, n);
  dst[n] = '\0';
}

template <int N>
void set_compared(ComparedName<N>& out, const char* name) {
  char up[kNameBuf];
  upper_copy(up, name);
  ptq7spg_name_de_colon(up);
  cut_copy(out.full, N, up);
  out.has_one = std::strstr(up, " 1 ") != nullptr;
  out.brief[0] = '\0';
  if (out.has_one) {
    char brief[kNameBuf];
    ptq7spg_to_shortname(brief, up);
    cut_copy(out.brief, N, brief);
  }
}

template <int L, int U>
bool library_name_equal(const ComparedName<L>& lib, const ComparedName<U>& user) {
  if (blank_free_equal(lib.full, user.full)) return true;
  return lib.has_one && !user.has_one && blank_free_equal(lib.brief, user.full);
}

// ---- The data file in memory -----------------------------------------------------

// What the walk over the blocks needs of one block without tokenising it again.
struct BlockEntry {
  std::size_t begin;  // offset of the block's first line in the text
  int number;
  int ptq7_number;
  int nsym;
  int ncen;
  char xhm[SPG_NAME_LEN];
  ComparedName<SPG_NAME_LEN> xhm_compared;
  ComparedName<SPG_NAME_LEN> old_compared;
  const char* too_big;
  // The first symop and the first cenop text that is no operator: offset
  // in the text and length, length -1 for none.
  std::size_t bad_symop;
  int bad_symop_len;
  std::size_t bad_cenop;
  int bad_cenop_len;
};

// A file's text, read into storage that is not cleared first: the file
// fills it.
struct FileText {
  std::unique_ptr<char[]> bytes;
  std::size_t size = 0;
  const char* data() const { return bytes.get(); }
  std::string_view view() const { return {bytes.get(), size}; }
};

struct FileIndex {
  std::string path;
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = -1;
  struct timespec mtime = {};
  bool unsettled = false;  // changed too recently for its time of change to tell
  FileText text;
  bool has_nul = false;  // a NUL byte ends the text of the line it stands in
  std::vector<BlockEntry> blocks;
  // Lines of a block after the last end_spacegroup: the file was cut inside
  // a group.
  bool open_tail = false;
  uint64_t generation = 0;  // a new number each time the file is indexed
};

// The next line of the text from `pos` as a read into a buffer of 80 bytes
// takes it: at most 79 characters, the line end included when it fits, and
// the buffer's text ending at a NUL byte.  False at the end of the text.
bool next_line(const FileIndex& ix, std::size_t& pos, const char*& line, int& len) {
  if (pos >= ix.text.size) return false;
  const char* p = ix.text.data() + pos;
  const std::size_t room = std::min<std::size_t>(79, ix.text.size - pos);
  const void* nl = std::memchr(p, '\n', room);
  const std::size_t n = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - p) + 1 : room;
  pos += n;
  line = p;
  len = static_cast<int>(n);
  if (ix.has_nul)
    if (const void* z = std::memchr(p, '\0', n)) len = static_cast<int>(static_cast<const char*>(z) - p);
  return true;
}

// Tokenises (up to `most` tokens of) the next line that holds a token; its
// length and token count.  False at the end of the text.
bool next_tokens(const FileIndex& ix, std::size_t& pos, const char*& line, Token* tok, int& len,
                 int& ntok, int most = kMaxTokens) {
  while (next_line(ix, pos, line, len)) {
    if (len < 2) continue;
    ntok = tokenise(line, len, tok, most);
    if (ntok > 0) return true;
  }
  return false;
}

// Whether a key belongs to a space-group block, or opens one.
bool block_key(uint32_t key) {
  return key == kKeyBegin || key == kKeyNumber || key == kKeyBasisop || key == kKeySymbol ||
         key == kKeyHklasu || key == kKeyMapasu || key == kKeySymop || key == kKeyCenop;
}

// The verdicts on the operator texts met in one pass over a file: a
// library repeats a few hundred texts thousands of times, and each is
// judged once.  Texts past the table's fill are judged each time.
class OperatorVerdicts {
 public:
  bool is_operator(const char* text, int n) {
    uint64_t h = static_cast<uint64_t>(n);
    int i = 0;
    for (; i + 8 <= n; i += 8) {
      uint64_t w;
      std::memcpy(&w, text + i, 8);
      h = (h ^ w) * 0x9E3779B97F4A7C15u;
    }
    if (i < n && n >= 8) {
      uint64_t w;  // the last eight bytes, overlapping the words before
      std::memcpy(&w, text + n - 8, 8);
      h = (h ^ w) * 0x9E3779B97F4A7C15u;
    } else {
      for (; i < n; ++i) h = (h ^ static_cast<unsigned char>(text[i])) * 0x100000001B3u;
    }
    h ^= h >> 29;
    for (uint32_t k = static_cast<uint32_t>(h);; ++k) {
      Slot& slot = slots_[k & (kSlots - 1)];
      if (!slot.text) {
        const bool verdict = symop_text_is_operator(text, text + n);
        if (used_ < kSlots / 2) {
          slot = Slot{text, n, verdict};
          ++used_;
        }
        return verdict;
      }
      if (slot.n == n && std::memcmp(slot.text, text, static_cast<std::size_t>(n)) == 0)
        return slot.verdict;
    }
  }

 private:
  struct Slot {
    const char* text;
    int n;
    bool verdict;
  };
  static constexpr uint32_t kSlots = 1024;
  std::array<Slot, kSlots> slots_{};
  uint32_t used_ = 0;
};

// Notes an operator text of the block that is no operator, the first of its kind.
void judge_operator(const FileIndex& ix, OperatorVerdicts& verdicts, BlockEntry& e, uint32_t key,
                    const char* line, int len) {
  std::size_t& at = key == kKeySymop ? e.bad_symop : e.bad_cenop;
  int& n = key == kKeySymop ? e.bad_symop_len : e.bad_cenop_len;
  if (n >= 0) return;
  const int from = std::min(6, len);
  if (verdicts.is_operator(line + from, len - from)) return;
  at = static_cast<std::size_t>(line + from - ix.text.data());
  n = len - from;
}

// The key of a line that holds a token, 0 for none: most lines begin with
// their key, whose first four characters then decide.
uint32_t line_key(const char* line, int len) {
  // A key's four characters are letters (and '_'), which end no token.
  if (class_of(line[0]) == kPlain) return len < 4 ? 0 : key_code(Token{line, 4});
  Token first;
  return tokenise(line, len, &first, 1) == 1 ? key_code(first) : 0;
}

// Whether the index must take a symbol line: for a name or number it
// keeps, or for a text that may not fit its field (one shorter than the
// rest of the line after the sub-key always fits).
bool symbol_line_matters(const char* line, int len, Token* tok) {
  if (tokenise(line, len, tok, 2) < 2) return false;
  const Token& sub = tok[1];
  if (token_is(sub, "ptq7") || token_is(sub, "xHM") || token_is(sub, "old")) return true;
  const int rest = len - static_cast<int>(sub.p + sub.n - line);
  if (token_is(sub, "Hall")) return rest >= SPG_HALL_LEN;
  if (token_is(sub, "patt") || token_is(sub, "pgrp")) return rest >= kPointGroupLen;
  return false;
}

// One pass over the text: the entry of each block, whether the text ends
// inside one, and each operator text judged.  Operator lines, most of the
// file, are only counted and judged: their text is taken when a load
// collects the block again.  So are the hklasu and basisop lines, whose
// texts, cut from a line of 79 characters, always fit their fields.
void index_blocks(FileIndex& ix) {
  ix.blocks.clear();
  ix.has_nul = std::memchr(ix.text.data(), '\0', ix.text.size) != nullptr;
  auto block = std::make_unique_for_overwrite<Block>();
  Block& b = *block;
  clear_block(b);
  auto verdicts = std::make_unique<OperatorVerdicts>();
  const auto fresh_entry = [](std::size_t begin) {
    return BlockEntry{begin, 0, 0, 0, 0, {}, {}, {}, nullptr, 0, -1, 0, -1};
  };
  BlockEntry e = fresh_entry(0);
  const char* line = nullptr;
  Token tok[kMaxTokens];
  std::size_t pos = 0;
  int len = 0, ntok = 0;
  ix.open_tail = false;
  while (next_line(ix, pos, line, len)) {
    if (len < 2) continue;
    const uint32_t key = line_key(line, len);
    if (key != kKeyEnd) {
      if (key == kKeySymop || key == kKeyCenop) {
        if (take_operator(b, key, line, len, false)) judge_operator(ix, *verdicts, e, key, line, len);
      } else if (key == kKeySymbol) {
        if (symbol_line_matters(line, len, tok)) {
          ntok = tokenise(line, len, tok, 4);
          collect_line(b, key, line, len, tok, ntok);
        }
      } else if (key == kKeyNumber || key == kKeyMapasu) {
        // As many tokens as the key reads.
        ntok = tokenise(line, len, tok, key == kKeyNumber ? 2 : 5);
        collect_line(b, key, line, len, tok, ntok);
      }
      ix.open_tail = ix.open_tail || block_key(key);
      continue;
    }
    ix.open_tail = false;
    e.number = b.number;
    e.ptq7_number = b.ptq7_number;
    e.nsym = b.nsym;
    e.ncen = b.ncen;
    e.too_big = b.too_big;
    std::memcpy(e.xhm, b.xhm, sizeof e.xhm);
    set_compared(e.xhm_compared, b.xhm);
    set_compared(e.old_compared, b.old);
    ix.blocks.push_back(e);
    clear_block(b);
    e = fresh_entry(pos);
  }
}

// The block whose first line is at `begin`, collected again.
void collect_block(const FileIndex& ix, std::size_t begin, ScanState& s) {
  clear_block(s.block);
  const char* line = nullptr;
  Token tok[kMaxTokens];
  std::size_t pos = begin;
  int len = 0, ntok = 0;
  while (next_tokens(ix, pos, line, tok, len, ntok)) {
    const uint32_t key = key_code(tok[0]);
    if (key == kKeyEnd) break;
    collect_line(s.block, key, line, len, tok, ntok);
  }
}

bool same_file(const FileIndex& ix, const char* path, const struct stat& st) {
  return ix.path == path && ix.dev == st.st_dev && ix.ino == st.st_ino && ix.size == st.st_size &&
         ix.mtime.tv_sec == st.st_mtim.tv_sec && ix.mtime.tv_nsec == st.st_mtim.tv_nsec;
}

// A file changed in the last two seconds may change again without its time
// of change moving (file times are coarse): its text is compared instead.
bool recently_changed(const struct stat& st) {
  struct timespec now;
  ::clock_gettime(CLOCK_REALTIME, &now);
  return now.tv_sec - st.st_mtim.tv_sec < 2;
}

// The text of the open file; `size` is what the file's size was (it may
// change while it is read).
FileText whole_text(std::FILE* fp, off_t size) {
  FileText t;
  std::size_t room = static_cast<std::size_t>(std::max<off_t>(size, 0)) + 1;
  t.bytes = std::make_unique_for_overwrite<char[]>(room);
  for (;;) {
    if (t.size == room) {
      auto more = std::make_unique_for_overwrite<char[]>(2 * room);
      std::memcpy(more.get(), t.bytes.get(), t.size);
      t.bytes = std::move(more);
      room *= 2;
    }
    const std::size_t got = std::fread(t.bytes.get() + t.size, 1, room - t.size, fp);
    if (got == 0) break;
    t.size += got;
  }
  return t;
}

// The index of the open file fp named `path`: the one held when the file is
// the regular file read last time, else read now (and held when regular).
FileIndex& file_index(std::FILE* fp, const char* path) {
  static FileIndex held;
  static FileIndex once;
  // A stream's copy has no descriptor, and is indexed as a stream is.
  struct stat st = {};
  const bool regular = ::fstat(fileno(fp), &st) == 0 && S_ISREG(st.st_mode);
  const bool same = regular && same_file(held, path, st);
  if (same && !held.unsettled) return held;
  FileText text = whole_text(fp, regular ? st.st_size : 0);
  if (same && text.view() == held.text.view()) {
    held.unsettled = recently_changed(st);
    return held;
  }
  FileIndex& ix = regular ? held : once;
  ix.path = regular ? path : "";
  ix.text = std::move(text);
  ix.dev = st.st_dev;
  ix.ino = st.st_ino;
  ix.size = st.st_size;
  ix.mtime = st.st_mtim;
  ix.unsettled = recently_changed(st);
  // Changed while it was read: the next load reads it again.
  if (static_cast<off_t>(ix.text.size) != st.st_size) ix.size = -1;
  index_blocks(ix);
  static uint64_t generations = 0;
  ix.generation = ++generations;
  return ix;
}

// The record last built by group number or name, with the index and block it
// came from: a run that reads many files of one space group builds its
// record once.  Refused loads and loads by operators are not kept.
struct BuiltRecord {
  uint64_t generation = 0;  // of the index it came from; 0 none
  int number = 0;
  int ptq7_number = 0;
  int name_kind = 0;  // 1 name, 2 old-style name
  std::string name;
  std::size_t block = 0;  // its block in the index
  Spacegroup record;
};
BuiltRecord built;

bool built_for(const Key& key, const FileIndex& ix) {
  if (built.generation == 0 || built.generation != ix.generation) return false;
  if (key.number != 0) return built.number == key.number && built.name_kind == 0;
  if (key.ptq7_number != 0) return built.ptq7_number == key.ptq7_number && built.name_kind == 0;
  if (key.name) return built.name_kind == 1 && built.name == key.name;
  if (key.ptq7_name) return built.name_kind == 2 && built.name == key.ptq7_name;
  return false;
}

void keep_built(const Key& key, const FileIndex& ix, std::size_t block, const Spacegroup& sg) {
  built.generation = 0;
  if (key.number == 0 && key.ptq7_number == 0 && !key.name && !key.ptq7_name) return;
  built.number = key.number;
  built.ptq7_number = key.ptq7_number;
  built.name_kind = key.number != 0 || key.ptq7_number != 0 ? 0 : key.name ? 1 : 2;
  built.name = key.name ? key.name : key.ptq7_name ? key.ptq7_name : "";
  built.block = block;
  built.record = sg;
  built.generation = ix.generation;
}

// A block the loader cannot take is reported and passed over: true for one.
bool refused(const BlockEntry& e) {
  if (e.too_big) {
    std::printf(" Spacegroup %d (%s) in SYMINFO exceeds the loader's capacity (%s); "
                "block ignored \n",
                e.number, e.xhm, e.too_big);
    return true;
  }
  if (e.nsym > 0 && e.ncen == 0) {
    // Without its identity centring line a block has no operators to build
    // a record from: refused like an oversized one, not indexed empty.
    std::printf(" Spacegroup %d (%s) in SYMINFO has no cenop line; block ignored \n",
                e.number, e.xhm);
    return true;
  }
  return false;
}

// Whether block e (collected into s.block when its operators are compared)
// is the one wanted.
bool entry_matches(const Key& key, const ComparedName<kNameBuf>& name, const FileIndex& ix,
                   const BlockEntry& e, ScanState& s, const Symop* wanted) {
  if (key.number != 0) return e.number == key.number;
  if (key.ptq7_number != 0) return e.ptq7_number == key.ptq7_number;
  if (key.name) return library_name_equal(e.xhm_compared, name);
  if (key.ptq7_name)
    return library_name_equal(e.old_compared, name) || library_name_equal(e.xhm_compared, name);
  if (e.nsym * e.ncen != key.nops) return false;
  collect_block(ix, e.begin, s);
  return block_matches(key, s, wanted);
}

// Why a load cannot build the record of block e, or empty: it is passed
// over (too big, without a centring line), found empty, or holds an
// operator text that is no operator.
std::string unusable_group(const FileIndex& ix, const BlockEntry& e) {
  if (e.too_big) return std::string("beyond the loader's capacity (") + e.too_big + ")";
  if (e.nsym == 0) return "no symop line";
  if (e.ncen == 0) return "no cenop line";
  const auto named = [&](const char* key, std::size_t at, int n) {
    std::string text(ix.text.view().substr(at, static_cast<std::size_t>(n)));
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
    return std::string(key) + " \"" + text + "\" is no operator";
  };
  if (e.bad_symop_len >= 0) return named("symop", e.bad_symop, e.bad_symop_len);
  if (e.bad_cenop_len >= 0) return named("cenop", e.bad_cenop, e.bad_cenop_len);
  return {};
}

}  // namespace

// ---- Loading -------------------------------------------------------------------

SpacegroupPtr ptq7spg_load_spacegroup(int number, int ptq7_number, const char* name,
                                      const char* ptq7_name, int nops, const Symop* ops) {
  Key key;
  if (number != 0)
    key.number = number;
  else if (ptq7_number != 0)
    key.ptq7_number = ptq7_number;
  else if (name)
    key.name = name;
  else if (ptq7_name)
    key.ptq7_name = ptq7_name;
  else {
    key.nops = nops;
    key.ops = ops;
  }

  char path[4096];
  if (!find_file(path, sizeof path)) return nullptr;
  std::FILE* fp = rt::open_input_file(path);
  if (!fp) {
    csym_signal(2, "ptq7spg_load_spacegroup");
    return nullptr;
  }
  const FileIndex& ix = file_index(fp, path);
  std::fclose(fp);
  if (built_for(key, ix)) {
    // What the walk to its block would report is reported again.
    for (std::size_t i = 0; i < built.block; ++i) refused(ix.blocks[i]);
    return std::make_unique<Spacegroup>(built.record);
  }

  std::vector<Symop> wanted;
  if (key.nops > 0 && key.ops) {
    wanted.assign(key.ops, key.ops + key.nops);
    for (Symop& op : wanted) ptq7spg_norm_trans(op);
  }

  ComparedName<kNameBuf> wanted_name;
  set_compared(wanted_name, key.name ? key.name : key.ptq7_name ? key.ptq7_name : "");

  // Filled as far as it is read: collecting a block clears what it holds.
  auto state = std::make_unique_for_overwrite<ScanState>();
  ScanState& s = *state;
  const BlockEntry* found = nullptr;
  for (const BlockEntry& e : ix.blocks) {
    if (refused(e)) continue;
    if (entry_matches(key, wanted_name, ix, e, s, wanted.data())) {
      found = &e;
      break;
    }
  }

  if (!found || found->nsym == 0) {
    std::printf(" Failed to find spacegroup in SYMINFO! \n");
    return nullptr;
  }
  collect_block(ix, found->begin, s);
  SpacegroupPtr sg = build_record(s, key);
  if (sg) keep_built(key, ix, static_cast<std::size_t>(found - ix.blocks.data()), *sg);
  return sg;
}

suite::SymmetryLibrary suite::symmetry_library_state(const char* path, std::string* which) {
  // A directory opens for reading too, and reads as no text.
  struct stat st;
  if (::stat(path, &st) == 0 && S_ISDIR(st.st_mode)) return SymmetryLibrary::kUnreadable;
  std::FILE* fp = rt::open_input_file(path);
  if (!fp) return SymmetryLibrary::kUnreadable;
  FileIndex& ix = file_index(fp, path);
  std::fclose(fp);
  if (ix.text.view().find_first_not_of(" \t\r\n") == std::string_view::npos)
    return SymmetryLibrary::kEmpty;
  if (ix.blocks.empty()) return SymmetryLibrary::kNoGroup;
  if (ix.open_tail) return SymmetryLibrary::kCutInGroup;
  // A group that a load would pass over, or build from only the operators it
  // could read, loses the model's space group or some of its operators while
  // the run goes on: the file is as damaged as a cut one.
  for (const BlockEntry& e : ix.blocks) {
    const std::string fault = unusable_group(ix, e);
    if (fault.empty()) continue;
    if (which) *which = "space group " + std::to_string(e.number) + " '" + e.xhm + "': " + fault;
    return SymmetryLibrary::kUnusableGroup;
  }
  return SymmetryLibrary::kSound;
}

std::string suite::symmetry_library_fault() {
  const std::string path = library_path();
  if (path.empty()) return "is not named: set SYMINFO to the file syminfo.lib";
  std::string which;
  switch (symmetry_library_state(path.c_str(), &which)) {
    case SymmetryLibrary::kSound:
      return {};
    case SymmetryLibrary::kUnreadable:
      return "cannot be read: " + path;
    case SymmetryLibrary::kEmpty:
      return "is empty: " + path;
    case SymmetryLibrary::kNoGroup:
      return "holds no space group: " + path;
    case SymmetryLibrary::kCutInGroup:
      return "ends inside a space group (cut short): " + path;
    case SymmetryLibrary::kUnusableGroup:
      return "holds a space group that cannot be used (" + which + "): " + path;
  }
  return {};
}

SpacegroupPtr ptq7spg_load_by_standard_num(int number) {
  return ptq7spg_load_spacegroup(number, 0, nullptr, nullptr, 0, nullptr);
}
SpacegroupPtr ptq7spg_load_by_ptq7_num(int ptq7_number) {
  return ptq7spg_load_spacegroup(0, ptq7_number, nullptr, nullptr, 0, nullptr);
}
SpacegroupPtr ptq7spg_load_by_spgname(const char* name) {
  return ptq7spg_load_spacegroup(0, 0, name, nullptr, 0, nullptr);
}
SpacegroupPtr ptq7spg_load_by_ptq7_spgname(const char* ptq7_name) {
  return ptq7spg_load_spacegroup(0, 0, nullptr, ptq7_name, 0, nullptr);
}
SpacegroupPtr ptq7_spgrp_reverse_lookup(int nops, const Symop* ops) {
  return ptq7spg_load_spacegroup(0, 0, nullptr, nullptr, nops, ops);
}

void ptq7spg_free(SpacegroupPtr& sg) { sg.reset(); }

const char* ptq7spg_symbol_Hall(const Spacegroup* sg) {
  if (!sg) {
    ptq7_signal(ptq7_error_word(PTQ7_ERRNO_SYM, PTQ7_LEVEL_SUCCESS, 3), "ptq7spg_symbol_Hall",
                nullptr);
    return nullptr;
  }
  return sg->symbol_hall;
}

// ---- Names ---------------------------------------------------------------------

char* ptq7spg_name_de_colon(char* name) {
  if (char* p = std::strstr(name, ":R")) {
    p[0] = p[1] = ' ';
  } else if (char* q = std::strstr(name, ":H")) {
    q[0] = q[1] = ' ';
    if (char* r = std::strchr(name, 'R')) *r = 'H';
  }
  return name;
}

char* ptq7spg_to_shortname(char* out, const char* name) {
  const bool keep_ones = std::strncmp(name, "P 3", 3) == 0 || std::strncmp(name, "P -3", 4) == 0 ||
                         std::strncmp(name, "R 3", 3) == 0 || std::strncmp(name, "R -3", 4) == 0;
  int n = 0;
  if (std::strcmp(name, "P 1") == 0) {
    std::memcpy(out, "P1", 3);
    return out;
  }
  for (int i = 0; name[i]; ++i) {
    if (!keep_ones && name[i] == ' ' && name[i + 1] == '1') {
      ++i;
      continue;
    }
    if (name[i] == ' ') continue;
    out[n++] = name[i];
  }
  out[n] = '\0';
  return out;
}

int ptq7spg_name_equal_to_lib(const char* library_name, const char* user_name) {
  ComparedName<kNameBuf> lib, user;
  set_compared(lib, library_name);
  set_compared(user, user_name);
  return library_name_equal(lib, user) ? 1 : 0;
}

int ptq7spg_name_equal(const char* a, const char* b) {
  for (;; ++a, ++b) {
    if (std::toupper(static_cast<unsigned char>(*a)) != std::toupper(static_cast<unsigned char>(*b)))
      return 0;
    if (!*a) return 1;
  }
}

int ptq7spg_pgname_equal(const char* a, const char* b) {
  char ua[kNameBuf], ub[kNameBuf];
  upper_copy(ua, a);
  upper_copy(ub, b);
  const char* pa = std::strncmp(ua, "PG", 2) == 0 ? ua + 2 : ua;
  const char* pb = std::strncmp(ub, "PG", 2) == 0 ? ub + 2 : ub;
  return blank_free_equal(pa, pb) ? 1 : 0;
}

// ---- Operators -----------------------------------------------------------------

void ptq7spg_norm_trans(Symop& op) {
  // Whole cells come off in one exact step (the same value the loops
  // would reach): a huge translation would keep them going for ever.
  for (float& t : op.trn) {
    if (std::fabs(t) >= 1.0f) {
      t = std::fmod(t, 1.0f);
      if (t == 0.0f) t = 0.0f;  // a whole negative cell ends at +0, as by steps
    }
    while (t < 0.0f) t += 1.0f;
    while (t >= 1.0f) t -= 1.0f;
  }
}

int32_t ptq7_symop_code(const Symop& op) {
  uint32_t code = 0;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      code = code * 4 + (static_cast<uint32_t>(std::lround(op.rot[i][j])) & 3u);
  for (int i = 0; i < 3; ++i)
    code = code * 16 + (static_cast<uint32_t>(std::lround(12.0f * op.trn[i])) & 15u);
  return static_cast<int32_t>(code);
}

int ptq7_int_compare(const void* a, const void* b) {
  return *static_cast<const int32_t*>(a) - *static_cast<const int32_t*>(b);
}

int ptq7_spgrp_equal(int nops_a, const Symop* ops_a, int nops_b, const Symop* ops_b) {
  if (nops_a != nops_b) return 0;
  constexpr int kLocal = SYMINFO_MAX_SYMOP * SYMINFO_MAX_CENOP;
  int32_t local_a[kLocal], local_b[kLocal];
  std::vector<int32_t> big_a, big_b;
  int32_t* ca = local_a;
  int32_t* cb = local_b;
  if (nops_a > kLocal) {
    big_a.resize(nops_a);
    big_b.resize(nops_a);
    ca = big_a.data();
    cb = big_b.data();
  }
  for (int i = 0; i < nops_a; ++i) {
    ca[i] = ptq7_symop_code(ops_a[i]);
    cb[i] = ptq7_symop_code(ops_b[i]);
  }
  std::sort(ca, ca + nops_a);
  std::sort(cb, cb + nops_a);
  return std::equal(ca, ca + nops_a, cb) ? 1 : 0;
}

void ptq7spg_symop_product(Symop& out, const Symop& a, const Symop& b) {
  Symop r;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      float s = 0.0f;
      for (int k = 0; k < 3; ++k) s += a.rot[i][k] * b.rot[k][j];
      r.rot[i][j] = s;
    }
    float t = a.trn[i];
    for (int k = 0; k < 3; ++k) t += a.rot[i][k] * b.trn[k];
    r.trn[i] = t;
  }
  out = r;
}

void ptq7spg_symop_inverse(Symop& out, const Symop& in) {
  float m[4][4], mi[4][4];
  rotandtrn_to_mat4(&m[0][0], in);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) mi[i][j] = (i == j) ? 1.0f : 0.0f;
  invert4matrix(m, mi);
  mat4_to_rotandtrn(out, &mi[0][0]);
}
