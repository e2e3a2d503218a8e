// The CIF line tokeniser: CIF word splitting and the record state machine
// shared by the two instances, over the character scans of cif_scan.h.
// Buffers are static and reused, so reading a file allocates nothing per line.
#include "foundation/cif_tokeniser.h"

#include <array>
#include <cctype>
#include <cstring>
#include <string>
#include <unordered_map>

#include "foundation/cif_scan.h"
#include "foundation/line_reader.h"
#include "foundation/messages.h"
#include "runtime/word_number.h"
#include "runtime/units.h"

comcif_rec comcif_info;
comcif_rec comcif_c;
comfread_cif_t comfread_info;
comfread_cif_t comfread_c;

namespace {

namespace cif_scan = foundation::cif_scan;

// Lines a text field may span before it is taken as closed.
constexpr int kMaxFieldLines = 32000;

inline char blank_unprintable(char c) { return char_class(c) == '?' ? ' ' : c; }

inline bool starts_with(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && std::memcmp(s.data(), prefix.data(), prefix.size()) == 0;
}

// First characters of the bare words that are not plain values: "data_",
// "global_", "loop_" and item names.
constexpr std::array<bool, 256> make_may_open_name() {
  std::array<bool, 256> t{};
  t['d'] = t['g'] = t['l'] = t['_'] = true;
  return t;
}
constexpr std::array<bool, 256> kMayOpenName = make_may_open_name();

// wtodig_ reads a word as a number only when it begins with a digit, a sign
// or a point; any other word gives 0 and 0 at once.
inline bool may_be_number(char c) { return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.'; }

// How many leading characters of each word slot and value slot may differ
// from blanks, kept so that a new word blanks only what the last one used
// rather than the whole 80 characters; the slots stay byte for byte what a
// blank-padded copy gives.  Only the tokeniser writes the slots.  80 (all)
// until a slot is first written: static slots start as zero bytes.
struct SlotUse {
  std::array<uint8_t, MAXFRDWORD> word;
  std::array<uint8_t, MAXCIFVAL> value;
};
constexpr SlotUse all_used() {
  SlotUse u{};
  for (auto& x : u.word) x = FRDWORDLEN;
  for (auto& x : u.value) x = FRDWORDLEN;
  return u;
}
SlotUse use_info = all_used();
SlotUse use_c = all_used();

SlotUse& slot_use(const comfread_cif_t& fr) { return &fr == &comfread_c ? use_c : use_info; }

// Copies a word slot into a value slot: only the blocks that the word or the
// value slot's last content reach.
inline void copy_slot(char* dst, uint8_t& dst_used, const char* src, uint8_t src_used) {
  static_assert(FRDWORDLEN == 80, "slots are copied as five 16-character blocks");
  const int m = src_used > dst_used ? src_used : dst_used;
  std::memcpy(dst, src, 16);  // every word has a first block
  for (int b = 16; b < m; b += 16) std::memcpy(dst + b, src + b, 16);
  dst_used = src_used;
}

// The common word, taken whole: plain characters ended by a blank, an
// unprintable character or the end of the line, fewer than 32 of them and
// the 32 line characters from k within the line's room.  Writes the word
// into its slot and returns its length; returns -1 (slot untouched) for
// anything else, which the general path then takes.
template <int L>
inline int quick_word(const rt::FixedText<L>& text, int k, int n, char* dst, int old) {
  static_assert(FRDWORDLEN == 80, "a slot is written as five 16-character blocks");
  if (k + 32 > L) return -1;
  const char* p = text.c + k;
  int len = cif_scan::plain_run32(p);
  if (n - k < len) len = n - k;
  if (len == 32) return -1;
  // An apostrophe may go on the word or open a quoted stretch.
  if (k + len < n && p[len] == '\'') return -1;
  cif_scan::put_short_word(dst, p, len, old);
  return len;
}

// A word opened by a double quote at k: the next character starts it
// whatever it is, and it ends at the next double quote that is followed by a
// blank or ends the line.  Apostrophes inside it are ordinary characters, so
// that the archive's primed atom names ("O5'") come through whole.  Written
// and returned as general_word below does; `closed` false when the line
// ends inside it.
int double_quoted_word(const char* line, int& k, const int n, char* dst, bool& closed) {
  std::memset(dst, ' ', FRDWORDLEN);
  int len = 0;
  auto put = [&](char ch) {
    if (len < FRDWORDLEN) dst[len] = ch;
    ++len;
  };
  put(blank_unprintable(line[k + 1]));
  k += 2;
  closed = false;
  while (k < n) {
    const char c = blank_unprintable(line[k++]);
    if (c == '"' && (k == n || blank_unprintable(line[k]) == ' ')) {
      closed = true;
      break;
    }
    put(c);
  }
  return len;
}

// Any word, from its first character at k (an apostrophe there opens a
// quoted word): written into its slot (blanked whole first), its length
// returned (it may exceed the slot, whose room then holds the first 80
// characters), k left after the character that ended it.  Only a word that
// an apostrophe opens is quoted: in a bare word every apostrophe is an
// ordinary character, so that a primed atom name written without quotes
// (O5' before a blank) stays one word and the row keeps its columns.
// `closed` is false when the line ends inside a quoted word.
int general_word(const char* line, int& k, const int n, char* dst, bool quoted, bool& closed) {
  std::memset(dst, ' ', FRDWORDLEN);
  int len = 0;
  auto put = [&](char ch) {
    if (len < FRDWORDLEN) dst[len] = ch;
    ++len;
  };
  closed = !quoted;
  if (quoted) {
    // An opening quote: the next character starts the word whatever it is.
    put(blank_unprintable(line[k + 1]));
    k += 2;
  }
  while (k < n) {
    // A run of plain characters: copied while the slot has room, then only
    // counted.
    const int room = len < FRDWORDLEN ? FRDWORDLEN - len : 0;
    const int lim = n - k > room ? k + room : n;
    while (k < lim && cif_scan::is_plain(line[k])) dst[len++] = line[k++];
    if (k < n && cif_scan::is_plain(line[k])) {
      int e = k;
      while (e < n && cif_scan::is_plain(line[e])) ++e;
      len += e - k;
      k = e;
    }
    if (k == n) break;
    const char c = blank_unprintable(line[k++]);
    // A quoted word ends only at an apostrophe before a blank or the line
    // end ('C1'' is C1'); a bare word at any blank.
    const bool closes = quoted && c == '\'' && (k == n || blank_unprintable(line[k]) == ' ');
    if (closes) closed = true;
    if (closes || (c == ' ' && !quoted)) break;
    put(c);
  }
  return len;
}

// Word w (0-based), of len characters from `start` in the line, is longer
// than its slot: its whole text is taken from the line when it becomes a
// value.
static_assert(MAXFRDWORD <= 64, "a line's long words are bits of one word");
inline void mark_long(comfread_cif_t& fr, int w, int len, int start) {
  if (len <= FRDWORDLEN) return;
  fr.long_words |= uint64_t{1} << w;
  fr.long_start.data()[w] = start;
}

// Length, quote mark and numbers of word w (0-based), its slot written.
// The characters are read from `word`: the slot, or the same characters in
// the line when a character that is no digit and no point follows them.
inline void close_word(comfread_cif_t& fr, uint8_t& used, int w, int len, bool quoted, const char* word) {
  used = static_cast<uint8_t>(len < FRDWORDLEN ? len : FRDWORDLEN);
  fr.lwrd.data()[w] = len;
  fr.qwrd.data()[w] = quoted ? 'Y' : 'N';
  if (len > 16 || !may_be_number(word[0])) {
    // Not a number (too long, or a first character that no number has).
    fr.fwrd.data()[w] = 0;
    fr.iwrd.data()[w] = 0;
  } else {
    slot_word_number(word, len, fr.fwrd.data()[w], fr.iwrd.data()[w]);
  }
}

// A line without quotes, the usual kind: every word is a run of plain
// characters, found from a bit mask of the whole line.  Returns false, with
// nothing written, when the first n characters hold an apostrophe or a
// double quote (a double quote matters only where it opens a word, which the
// general path sorts out).
bool split_plain_line(comfread_cif_t& fr, uint8_t* used, const int n) {
  constexpr int L = CIFLINELEN;
  static_assert(L % 64 == 0);
  const char* line = fr.line.c;
  // Bit j of the mask: character j is plain; the word after the last one
  // stays 0 so that every run of plain characters ends inside the mask.
  uint64_t plain[L / 64 + 1] = {};
  if (!cif_scan::plain_mask(line, n, plain)) return false;
  rt::FixedText<FRDWORDLEN>* const slot = fr.cwrd.data();
  int nw = 0;
  const int blocks = (n + 63) / 64;
  uint64_t carry = 0;  // the character before the block is plain
  for (int i = 0; i < blocks; ++i) {
    // Bit j: a word starts at character 64 i + j.
    uint64_t starts = plain[i] & ~((plain[i] << 1) | carry);
    carry = plain[i] >> 63;
    for (; starts != 0; starts &= starts - 1) {
      if (nw == MAXFRDWORD) {
        fr.iover = 1;
        fr.nwrd = nw;
        return true;
      }
      const int s = i * 64 + __builtin_ctzll(starts);
      // The first character after it that is not plain ends it.
      int m = i;
      uint64_t rest = ~plain[m] & (~0ULL << (s & 63));
      while (rest == 0) rest = ~plain[++m];
      const int e = m * 64 + __builtin_ctzll(rest);
      const int len = e - s;
      char* dst = slot[nw].c;
      if (len < 32 && s + 32 <= L) {
        cif_scan::put_short_word(dst, line + s, len, used[nw]);
      } else {
        std::memset(dst, ' ', FRDWORDLEN);
        std::memcpy(dst, line + s, len < FRDWORDLEN ? len : FRDWORDLEN);
        mark_long(fr, nw, len, s);
      }
      // The word's characters are read from the line, which the slot copy
      // need not wait for; a character that is not plain follows them.
      close_word(fr, used[nw], nw, len, false, e < L ? line + s : dst);
      ++nw;
    }
  }
  fr.nwrd = nw;
  return true;
}

// A quote at k closed by the same quote at once, before a blank or the line
// end: an empty value ('' or "").
inline bool empty_quoted(const char* line, int k, int n) {
  return k + 1 < n && line[k + 1] == line[k] &&
         (k + 2 == n || blank_unprintable(line[k + 2]) == ' ');
}

// Splits the first n characters (the used length) of the work area's line.
// A word is written straight into its slot, blank-padded.
void split_cif_words(comfread_cif_t& fr, const int n) {
  fr.iover = 0;
  fr.nwrd = 0;
  fr.open_quote = 0;
  fr.long_words = 0;
  uint8_t* const used = slot_use(fr).word.data();
  if (split_plain_line(fr, used, n)) return;
  const char* line = fr.line.c;
  rt::FixedText<FRDWORDLEN>* const slot = fr.cwrd.data();
  int nw = 0;
  int k = 0;
  while (k < n) {
    const char c = blank_unprintable(line[k]);
    // Between words the quote count is always 0; a lone quote that ends
    // the line counts as a blank.
    const bool quote = c == '\'' || c == '"';
    if (c == ' ' || (quote && k == n - 1)) {
      ++k;
      continue;
    }
    if (nw == MAXFRDWORD) {
      fr.iover = 1;
      break;
    }
    char* dst = slot[nw].c;
    int len = quote ? -1 : quick_word(fr.line, k, n, dst, used[nw]);
    if (len >= 0) {
      k += len;
    } else if (quote && empty_quoted(line, k, n)) {
      // Other programs write a blank value (a blank chain name above all)
      // so; taking the second quote as the first character of a word would
      // swallow the rest of the line and shift every later value of the row.
      std::memset(dst, ' ', FRDWORDLEN);
      len = 0;
      k += 2;
    } else {
      bool closed = true;
      const int start = quote ? k + 1 : k;
      if (c == '"') len = double_quoted_word(line, k, n, dst, closed);
      else len = general_word(line, k, n, dst, quote, closed);
      if (!closed && fr.open_quote == 0) fr.open_quote = nw + 1;
      mark_long(fr, nw, len, start);
    }
    close_word(fr, used[nw], nw, len, quote, dst);
    ++nw;
  }
  fr.nwrd = nw;
}

// What a look past a finished scalar set met that must wait for the next
// call: a comment line, the end of the file, or a line that a quote leaves
// open.
enum class Held { None, End, Quote };

// Where an instance stands in its file.
struct Position {
  int32_t lines = 0;       // lines read since the reset
  int32_t words_line = 0;  // the line the current words came from (where a text field began)
  CifRecordPlace place;    // of the record being collected or returned last
  std::string syntax_error;
  bool scalar_set = false;  // the current set's first name came outside any loop
  // The items of a scalar set, all with their values, while the set may
  // still take another item of its category; 0 when no set is so open.
  int32_t gathered = 0;
  Held held = Held::None;
  int32_t held_iend = 0;  // the end code a held end of file gives
  // A line that the pass over a loop's rows read and left in the work
  // area to be taken apart: its used length and whether it was cut.
  bool line_kept = false;
  int32_t kept_used = 0;
  bool kept_cut = false;
  // Item names of the current data block, lower-cased (CIF names ignore
  // case), with the line of each, while repeated names are refused.
  bool watch_names = false;
  bool repeated = false;  // the syntax error is a name given twice
  std::unordered_map<std::string, int32_t> block_names;
  // The whole record of the current line, valid until the unit is read
  // again: a word longer than its slot, or than the line's room, is taken
  // from it.
  std::string_view record;
  // The current line is a text field made into one quoted word; `field`
  // holds the field's lines joined.
  bool field_line = false;
  std::string field;
  // Bit k-1: value k of the record has its whole text in whole[k-1].  The
  // strings keep their room, so a file of many long values allocates once.
  uint64_t long_values = 0;
  std::array<std::string, MAXCIFVAL> whole;
};

struct Instance {
  comcif_rec& c;
  comfread_cif_t& fr;
  SlotUse& use;
  bool first;  // instance 1: "<" also marks a comment, overflow is reported
  uint32_t& names_serial;  // raised whenever item names are stored
  Position& pos;
};

uint32_t names_serial_info = 0;
uint32_t names_serial_c = 0;
Position pos_info;
Position pos_c;

// Passed by reference: a copy built for every record cost a stall per call.
const Instance kInstance1{comcif_info, comfread_info, use_info, true, names_serial_info, pos_info};
const Instance kInstance2{comcif_c, comfread_c, use_c, false, names_serial_c, pos_c};

// Values first to w (0-based words, w excluded) of the current line were
// added to the record, which held `before` values until then: the place
// follows them.  `done` when the record is then complete.
inline void values_taken(const Instance& in, int first, int w, int32_t before, bool done) {
  CifRecordPlace& p = in.pos.place;
  const int32_t line = in.pos.words_line;
  if (before == 0) {
    p.line = line;
    p.starts_line = first == 0;
    p.values_before = 0;
  } else if (p.line_end != line) {
    p.values_before = before;
  }
  p.line_end = line;
  p.words_end = in.fr.nwrd;
  p.ends_line = done && w == in.fr.nwrd;
}

// A "#" among the first n characters of the line.
bool has_hash(const rt::FixedText<CIFLINELEN>& line, int n) {
  return cif_scan::has_hash(line.c, n);
}

bool is_comment_start(const Instance& in, char c) { return c == '#' || (in.first && c == '<'); }

// The archive and common writers put a category of one row as item-value
// pairs, not as a loop of one row, and readers store a row at the last
// value of a record: so the pairs of one category that follow each other
// outside a loop come back as one record, its row, not as a record each.
// A category is told by the name up to its first point; a name without one
// (core CIF) stands alone.  The look for a further pair reads past the
// set: what it meets that ends the set waits for the next call.
int category_length(const rt::FixedText<FRDWORDLEN>& name) {
  const void* dot = std::memchr(name.c, '.', FRDWORDLEN);
  return dot == nullptr ? 0 : static_cast<int>(static_cast<const char*>(dot) - name.c) + 1;
}

// The record just completed is a scalar set that may take more items of its
// category: it is then kept open.
bool opens_gathering(const Instance& in) {
  const bool open =
      in.pos.scalar_set && in.c.n_item < MAXCIFVAL && category_length(in.c.itm_cif(1)) != 0;
  in.pos.gathered = open ? in.c.n_item : 0;
  return open;
}

// Word w (1-based) of the line is an item name of the open set's category.
bool same_category_name(const Instance& in, int w) {
  if (in.fr.qwrd(w) == 'Y') return false;
  const rt::FixedText<FRDWORDLEN>& word = in.fr.cwrd(w);
  const int n = category_length(in.c.itm_cif(1));
  return word.c[0] == '_' && category_length(word) == n &&
         std::memcmp(word.c, in.c.itm_cif(1).c, n) == 0;
}

// Word w (1-based) opens a name, a loop or a block, so is no value.
bool opens_no_value(const Instance& in, int w) {
  if (in.fr.qwrd(w) == 'Y') return false;
  const std::string_view v = in.fr.cwrd(w).view();
  return v[0] == '_' || starts_with(v, "loop_") || starts_with(v, "data_") ||
         starts_with(v, "global_");
}

// The open set as a record of its items that have their values: a name
// that got none is let go, as a lone name without a value always was.
void close_gathered(const Instance& in) {
  in.c.n_item = in.pos.gathered;
  in.c.n_cif = in.pos.gathered;
  in.c.n_data = 0;
  in.pos.gathered = 0;
}

CifDroppedSet dropped_info{};

void report_incomplete(const Instance& in, int32_t mdoc) {
  if (in.first) {
    // Kept whole, names and values, so that a reader whose message code
    // silences the report can still tell which of its rows was lost.
    ++dropped_info.count;
    dropped_info.set = in.c;
    dropped_info.place = in.pos.place;
    dropped_info.set.n_cif = in.c.n_data < MAXCIFVAL ? in.c.n_data : MAXCIFVAL;
  }
  msgerr_(mdoc, " ERR: CIF_read: number of data > number of items");
  int k = in.c.n_data;
  if (k > MAXCIFVAL) k = MAXCIFVAL;
  if (k < 1) k = 1;
  static constexpr std::string_view kHead = "       last items :<";
  char line[64];
  std::memcpy(line, kHead.data(), kHead.size());
  // A slot that no name has filled yet holds zero bytes: they go out as
  // blanks, not as raw bytes in the log.
  for (int i = 0; i < 16; ++i) {
    const char ch = in.c.itm_cif(k).c[i];
    line[kHead.size() + i] = ch == '\0' ? ' ' : ch;
  }
  line[kHead.size() + 16] = '>';
  msgerr_(mdoc, std::string_view(line, kHead.size() + 17));
}

// Blanks a comment that starts outside quotes in the first n (used)
// characters of the line and returns the used length that remains.  Quotes
// are read as the word splitter reads them: an apostrophe or a double quote
// opens quoted text only where it opens a word, and the same quote closes
// it only before a blank or the line end; any other quote is an ordinary
// character.
int strip_comment(const Instance& in, int n) {
  char* p = in.fr.line.c;
  if (!has_hash(in.fr.line, n)) return n;
  char inq = 0;  // the quote character of the open quoted text
  for (int k = 0; k < n; ++k) {
    const char c = p[k];
    if (inq != 0) {
      if (c == inq && (k + 1 == n || blank_unprintable(p[k + 1]) == ' ')) inq = 0;
    } else if ((c == '\'' || c == '"') && (k == 0 || blank_unprintable(p[k - 1]) == ' ')) {
      inq = c;
    } else if (c == '#') {
      std::memset(p + k, ' ', n - k);
      return rt::len_trim(std::string_view(p, k));
    }
  }
  return n;
}

// Reads a text field that the current line opened and puts it, quoted, in
// place of the line.  Returns false when the read ended the call.
// `cut` tells whether the quoted text lost its closing quote to the line's
// room.
bool read_text_field(const Instance& in, int32_t unit, int32_t mdoc, int32_t& ierr, int32_t& iend,
                     bool& cut) {
  static rt::FixedText<CIFLINELEN> kept;
  static rt::FixedText<CIFLINELEN> next;
  std::string& field = in.pos.field;
  field.clear();
  // Each line trimmed, the lines with text joined by one blank: what a
  // title or keywords wrapped over lines read as.
  const auto join = [&](std::string_view text) {
    std::string_view t = text;
    while (!t.empty() && blank_unprintable(t.back()) == ' ') t.remove_suffix(1);
    while (!t.empty() && blank_unprintable(t.front()) == ' ') t.remove_prefix(1);
    if (t.empty()) return;
    if (!field.empty()) field.push_back(' ');
    for (char ch : t) field.push_back(blank_unprintable(ch));
  };
  // The opening line's record goes with the first read below.
  join(in.pos.record.substr(in.pos.record.empty() ? 0 : 1));
  bool have = false;
  if (in.fr.line.len_trim() > 1) {
    kept = in.fr.line;
    kept.c[0] = ' ';
    have = true;
  }
  for (int lines = 0; lines < kMaxFieldLines; ++lines) {
    const std::string_view rec = foundation::next_record(unit, mdoc, ierr, iend);
    if (ierr != 0 || iend != 0) return false;
    const int used = foundation::put_record(rec, next);
    ++in.pos.lines;
    if (next.c[0] == ';') {
      if (!have) {
        join(rec.substr(1));
        if (used > 1) {
          kept = next;
          kept.c[0] = ' ';
          have = true;
        }
      }
      break;
    }
    join(rec);
    if (!have && used > 1) {
      kept = next;
      have = true;
    }
  }
  if (!have) kept.blank();
  for (char& ch : kept.c)
    if (ch == '\'') ch = '"';
  const int n = kept.len_trim();
  int s = 0;
  while (s < n && kept.c[s] == ' ') ++s;
  char buf[CIFLINELEN + 2];
  buf[0] = '\'';
  std::memcpy(buf + 1, kept.c + s, n - s);
  buf[n - s + 1] = '\'';
  const int len = n - s + 2;
  in.fr.line = std::string_view(buf, len < CIFLINELEN ? len : CIFLINELEN);
  cut = len > CIFLINELEN;
  return true;
}

// The rest of the line would become one value and every later value of its
// item set would stand under the wrong name.
void refuse_open_quote(const Instance& in, int32_t mdoc, int32_t& ierr) {
  in.pos.syntax_error =
      " ERROR: CIF_read: unterminated quote in line " + std::to_string(in.pos.words_line);
  msgerr_(mdoc, in.pos.syntax_error);
  in.fr.nwrd = 0;
  in.c.i_cif = 0;
  ierr = 1;
}

bool repeated_items_asked = false;

// An item name met in the current data block: refused as a syntax error
// when the block gave it before, whose value would otherwise be lost to
// the later one or merged with it.  True when the name may stand.
bool name_once(const Instance& in, const rt::FixedText<FRDWORDLEN>& word, int32_t mdoc,
               int32_t& ierr) {
  const std::string_view name = word.trimmed();
  // A lone underscore names no item (it turns up in damaged text).
  if (!in.pos.watch_names || name.size() < 2) return true;
  std::string key(name);
  for (char& ch : key) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  const auto [at, added] = in.pos.block_names.try_emplace(std::move(key), in.pos.words_line);
  if (added) return true;
  std::string_view block = in.c.blk_cif.trimmed();
  if (starts_with(block, "data_")) block.remove_prefix(5);
  in.pos.syntax_error = " ERROR: CIF_read: item " + std::string(name) + " in line " +
                        std::to_string(in.pos.words_line) + " is given twice in data block " +
                        std::string(block) + " (first in line " + std::to_string(at->second) + ")";
  msgerr_(mdoc, in.pos.syntax_error);
  in.pos.repeated = true;
  in.fr.nwrd = 0;
  in.c.i_cif = 0;
  ierr = 1;
  return false;
}

// The whole text of word w (0-based) of the current line, read from its
// record by the rules the splitter follows: a bare word ends at a blank, a
// quoted one at its quote before a blank or the end of the record.
void whole_word(const Instance& in, int w, std::string& out) {
  out.clear();
  if (in.pos.field_line && w == 0) {
    out = in.pos.field;
    return;
  }
  const std::string_view rec = in.pos.record;
  const std::size_t s = static_cast<std::size_t>(in.fr.long_start.data()[w]);
  const char q = in.fr.qwrd.data()[w] == 'Y' && s > 0 ? rec[s - 1] : 0;
  for (std::size_t k = s; k < rec.size(); ++k) {
    const char ch = blank_unprintable(rec[k]);
    if (q == 0 && ch == ' ') break;
    if (q != 0 && ch == q && (k + 1 == rec.size() || blank_unprintable(rec[k + 1]) == ' ')) break;
    out.push_back(ch);
  }
}

// Value v (0-based) of the record was copied from word w (0-based): its
// whole text is kept when the slot cannot hold it.
void keep_whole(const Instance& in, int w, int v) {
  const uint64_t bit = uint64_t{1} << v;
  if ((in.fr.long_words >> w) & 1) {
    whole_word(in, w, in.pos.whole[static_cast<std::size_t>(v)]);
    in.pos.long_values |= bit;
  } else {
    in.pos.long_values &= ~bit;
  }
}

void getcif(const Instance& in, int32_t unit, int32_t mdoc, int32_t& ierr, int32_t& iend) {
  comcif_rec& c = in.c;
  comfread_cif_t& fr = in.fr;
  ierr = 0;
  if (!in.pos.syntax_error.empty()) in.pos.syntax_error.clear();
  in.pos.repeated = false;
  if (iend == -1) {
    ++in.names_serial;
    in.pos.lines = 0;
    in.pos.words_line = 0;
    in.pos.place = CifRecordPlace{};
    in.pos.scalar_set = false;
    in.pos.gathered = 0;
    in.pos.held = Held::None;
    in.pos.line_kept = false;
    in.pos.long_values = 0;
    in.pos.watch_names = in.first && repeated_items_asked;
    repeated_items_asked = false;
    in.pos.block_names.clear();
    c.n_cif = 0;
    c.i_cif = 0;
    c.n_data = 0;
    c.n_item = 0;
    fr.nwrd = 0;
    c.blk_cif.blank();
    c.loop_flag = "N";
    c.blk_flag = "N";
  } else if (iend == -2) {
    if (in.first) c.i_cif = fr.nwrd;
  } else {
    c.loop_flag.c[0] = 'N';
  }
  iend = 0;
  if (in.pos.held != Held::None) {
    const Held held = in.pos.held;
    in.pos.held = Held::None;
    if (held == Held::End) {
      iend = in.pos.held_iend;
    } else {
      refuse_open_quote(in, mdoc, ierr);
    }
    return;
  }

  // The end of the file after a gathered set: the set is returned first,
  // the end at the next call.
  const auto end_of_file = [&]() {
    if (ierr != 0 || in.pos.gathered == 0) return;
    close_gathered(in);
    in.pos.held = Held::End;
    in.pos.held_iend = iend;
    iend = 0;
  };

  for (;;) {
    while (c.i_cif == fr.nwrd) {
      bool cut = false;
      int n = 0;
      if (in.pos.line_kept) {
        in.pos.line_kept = false;
        n = in.pos.kept_used;
        cut = in.pos.kept_cut;
      } else {
        const std::string_view rec = foundation::next_record(unit, mdoc, ierr, iend);
        if (ierr != 0 || iend != 0) {
          end_of_file();
          return;
        }
        in.pos.record = rec;
        n = foundation::put_record(rec, fr.line, &cut);
      }
      in.pos.field_line = false;
      in.pos.words_line = ++in.pos.lines;
      const char first = fr.line.c[0];
      if (n > 1 && first != ';' && !is_comment_start(in, first)) n = strip_comment(in, n);
      if (c.blk_flag.c[0] == 'N') {
        const std::string_view l = fr.line.view();
        if (!starts_with(l, "data_") && !starts_with(l, "global_")) continue;
      }
      if (first == ';') {
        if (!read_text_field(in, unit, mdoc, ierr, iend, cut)) {
          end_of_file();
          return;
        }
        n = fr.line.len_trim();
        in.pos.field_line = true;
      }
      split_cif_words(fr, n);
      if (in.pos.field_line && fr.nwrd > 0) fr.long_words |= 1;
      if (fr.iover != 0 && in.first) msgerr_(mdoc, " WARNING: CIF_read: number of words > limit");
      if (fr.nwrd == 0) {
        c.i_cif = 0;
        continue;
      }
      // A comment may stand anywhere, also between two pairs of one set:
      // it is returned on its own and the set stays open (the archive
      // writes one after each category, which the next name ends anyway).
      if (is_comment_start(in, fr.cwrd(1).c[0])) {
        fr.nwrd = c.i_cif;
        c.dt_cif(MAXCIFVAL) = fr.line.sub(1, 79);
        in.use.value[MAXCIFVAL - 1] = FRDWORDLEN;
        iend = -2;
        return;
      }
      // A comment line may hold any text.
      if (fr.open_quote != 0 && !cut) {
        if (in.pos.gathered != 0 && c.n_item == in.pos.gathered) {
          in.pos.gathered = 0;
          in.pos.held = Held::Quote;
          return;
        }
        refuse_open_quote(in, mdoc, ierr);
        return;
      }
      c.i_cif = 0;
    }

    if (in.pos.gathered != 0) {
      const int w = c.i_cif + 1;
      if (c.n_item == in.pos.gathered) {
        // A finished set takes the next item of its category, or is
        // returned, the next word left for the next call.
        if (!same_category_name(in, w)) {
          in.pos.gathered = 0;
          return;
        }
        c.i_cif = w;
        if (!name_once(in, fr.cwrd(w), mdoc, ierr)) return;
        c.n_data = in.pos.gathered;
        ++c.n_item;
        std::memcpy(c.itm_cif(c.n_item).c, fr.cwrd(w).c, FRDWORDLEN);
        ++in.names_serial;
        continue;
      }
      if (opens_no_value(in, w)) {
        close_gathered(in);
        return;
      }
    }

    // Values of an item set inside a block, the bulk of a file: a word that
    // is quoted or cannot start a block, loop or item name goes straight
    // into the record, as the general steps below would put it.
    if (c.blk_flag.c[0] == 'Y' && c.n_item >= 1) {
      const rt::FixedText<FRDWORDLEN>* const words = fr.cwrd.data();
      const char* const quoted = fr.qwrd.data();
      const int nwrd = fr.nwrd;
      const int n_item = c.n_item;
      const int first = c.i_cif;
      int w = first;  // 0-based
      int d = c.n_data;
      bool done = false;
      while (w < nwrd) {
        if (quoted[w] != 'Y' && kMayOpenName[static_cast<unsigned char>(words[w].c[0])]) break;
        ++d;
        if (d <= MAXCIFVAL) {
          copy_slot(c.dt_cif.data()[d - 1].c, in.use.value[d - 1], words[w].c, in.use.word[w]);
          c.idt_cif.data()[d - 1] = fr.iwrd.data()[w];
          c.fdt_cif.data()[d - 1] = fr.fwrd.data()[w];
          if ((fr.long_words | in.pos.long_values) != 0) keep_whole(in, w, d - 1);
        }
        ++w;
        if (d == n_item) {
          done = true;
          break;
        }
      }
      if (w != first) {
        c.loop_flag.c[0] = 'N';
        c.n_cif = d < MAXCIFVAL ? d : MAXCIFVAL;
        values_taken(in, first, w, c.n_data, done);
      }
      c.i_cif = w;
      c.n_data = done ? 0 : d;
      if (done && !opens_gathering(in)) return;
      if (done || w == nwrd) continue;
    }

    const int w = ++c.i_cif;
    const rt::FixedText<80>& word = fr.cwrd(w);
    const std::string_view wv = word.view();
    // A quoted word is a value whatever it reads like.
    const bool bare = fr.qwrd(w) != 'Y';
    const char w0 = wv[0];
    if (bare && ((w0 == 'd' && starts_with(wv, "data_")) || (w0 == 'g' && starts_with(wv, "global_")))) {
      c.blk_cif = word;
      in.pos.block_names.clear();
      if (c.n_data != 0) report_incomplete(in, mdoc);
      c.n_data = 0;
      c.n_item = 0;
      c.blk_flag.c[0] = 'Y';
      c.loop_flag.c[0] = 'N';
      if (w0 == 'd') {
        fr.nwrd = 0;
        c.n_cif = 0;
        c.i_cif = 0;
        return;
      }
      continue;
    }
    if (c.blk_flag.c[0] == 'N') {
      c.i_cif = fr.nwrd;
      continue;
    }
    if (bare && w0 == 'l' && starts_with(wv, "loop_")) {
      if (c.n_data != 0) report_incomplete(in, mdoc);
      c.n_data = 0;
      c.n_item = 0;
      c.loop_flag.c[0] = 'Y';
      continue;
    }
    if (bare && w0 == '_') {
      if (!name_once(in, word, mdoc, ierr)) return;
      in.pos.scalar_set = c.loop_flag.c[0] == 'N';
      if (c.loop_flag.c[0] == 'N') c.n_item = 0;
      if (c.n_data != 0) report_incomplete(in, mdoc);
      c.n_data = 0;
      ++c.n_item;
      if (c.n_item > MAXCIFVAL) {
        msgerr_(mdoc, " ERR: CIF_read: too many items in the loop >    60");
      } else {
        std::memcpy(c.itm_cif(c.n_item).c, word.c, FRDWORDLEN);
        ++in.names_serial;
      }
      continue;
    }
    if (c.n_item < 1) {
      msgerr_(mdoc, " ERR: CIF_read: number of items =0 / before the data /");
      msgerr_(mdoc, fr.line.view());
    }
    values_taken(in, w - 1, w, c.n_data, c.n_data + 1 == c.n_item);
    ++c.n_data;
    c.loop_flag.c[0] = 'N';
    // Names and values past the record's room are counted, so that the rows
    // of a wide loop stay aligned, but not stored.
    c.n_cif = c.n_data < MAXCIFVAL ? c.n_data : MAXCIFVAL;
    if (c.n_data <= MAXCIFVAL) {
      copy_slot(c.dt_cif(c.n_data).c, in.use.value[c.n_data - 1], word.c, in.use.word[w - 1]);
      c.idt_cif(c.n_data) = fr.iwrd(w);
      c.fdt_cif(c.n_data) = fr.fwrd(w);
      if ((fr.long_words | in.pos.long_values) != 0) keep_whole(in, w - 1, c.n_data - 1);
    }
    if (c.n_data == c.n_item) {
      c.n_data = 0;
      if (!opens_gathering(in)) return;
    }
  }
}

// Set bits of x.  The build targets no instruction for it, and the library
// call it would make costs more than these few steps.
inline int bits_set(uint64_t x) {
  x -= (x >> 1) & 0x5555555555555555ULL;
  x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
  x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
  return static_cast<int>((x * 0x0101010101010101ULL) >> 56);
}

// The number of words of record `rec` when it holds bare values alone, as
// the splitter would take them apart; -1 when it may hold anything else: a
// name, a block or loop word (all hold "_"), a quote, a comment ("#", or
// "<" for instance 1), a text field, more words than a record takes, or
// more characters than a line keeps.
int bare_values(std::string_view rec) {
  if (rec.size() > CIFLINELEN || (!rec.empty() && rec[0] == ';')) return -1;
  // The scans read whole 16-character blocks.
  alignas(16) static char line[CIFLINELEN + 16];
  const int n = static_cast<int>(rec.size());
  std::memcpy(line, rec.data(), rec.size());
  uint64_t plain[CIFLINELEN / 64 + 1] = {};
  if (!cif_scan::bare_value_mask(line, n, plain)) return -1;
  int words = 0;
  uint64_t carry = 0;
  for (int i = 0; i * 64 < n; ++i) {
    words += bits_set(plain[i] & ~((plain[i] << 1) | carry));
    carry = plain[i] >> 63;
  }
  return words <= MAXFRDWORD ? words : -1;
}

void pass_over_rows(const Instance& in, int32_t unit, int32_t mdoc, int32_t& ierr) {
  comcif_rec& c = in.c;
  comfread_cif_t& fr = in.fr;
  ierr = 0;
  if (in.pos.scalar_set || in.pos.gathered != 0 || in.pos.held != Held::None || in.pos.line_kept ||
      c.n_data != 0 || c.n_item < 1)
    return;
  const int32_t n_item = c.n_item;
  int32_t d = 0;  // values of the row under way
  // The rest of the line of the last row returned, which the next name may
  // share.
  for (; c.i_cif < fr.nwrd; ++c.i_cif) {
    if (opens_no_value(in, c.i_cif + 1)) {
      c.n_data = d;
      return;
    }
    if (++d == n_item) d = 0;
  }
  for (;;) {
    int32_t iend = 0;
    const std::string_view rec = foundation::next_record(unit, mdoc, ierr, iend);
    if (ierr != 0) return;
    if (iend != 0) {
      in.pos.held = Held::End;
      in.pos.held_iend = iend;
      break;
    }
    const int words = bare_values(rec);
    if (words < 0) {
      // Taken apart by the next call, as if it had read the line itself.
      in.pos.line_kept = true;
      in.pos.record = rec;
      in.pos.kept_used = foundation::put_record(rec, fr.line, &in.pos.kept_cut);
      break;
    }
    ++in.pos.lines;
    d = (d + words) % n_item;
  }
  c.n_data = d;
  c.i_cif = fr.nwrd;
}

}  // namespace

void cif_pass_over_rows_info(int32_t unit, int32_t mdoc, int32_t& ierr) {
  pass_over_rows(kInstance1, unit, mdoc, ierr);
}

uint32_t cif_names_serial_info() { return names_serial_info; }

const CifDroppedSet& cif_dropped_set_info() { return dropped_info; }

const CifRecordPlace& cif_record_place_info() { return pos_info.place; }

std::string_view cif_value_whole_info(int32_t k) {
  if (k < 1 || k > MAXCIFVAL || ((pos_info.long_values >> (k - 1)) & 1) == 0) return {};
  return pos_info.whole[static_cast<std::size_t>(k - 1)];
}

std::string_view cif_syntax_error_info() { return pos_info.syntax_error; }

bool cif_repeated_item_info() { return pos_info.repeated; }

void frd_parm_info_() { split_cif_words(comfread_info, comfread_info.line.len_trim()); }

void frd_parmc_() { split_cif_words(comfread_c, comfread_c.line.len_trim()); }

void cif_refuse_repeated_items_info() { repeated_items_asked = true; }

void getcif_info_(int32_t unit, int32_t mdoc, int32_t& ierr, int32_t& iend) {
  getcif(kInstance1, unit, mdoc, ierr, iend);
}

void getcif_c_(int32_t unit, int32_t mdoc, int32_t& ierr, int32_t& iend) {
  getcif(kInstance2, unit, mdoc, ierr, iend);
}
