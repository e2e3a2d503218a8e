// The CIF line tokeniser: line reading, CIF word splitting and the record
// state machine shared by the two instances.  Buffers are static and reused,
// so reading a file allocates nothing per line.
#include "foundation/cif_tokeniser.h"

#include <array>
#include <cstring>
#include <string>

#include "foundation/messages.h"
#include "foundation/word_number.h"
#include "runtime/units.h"

comcif_rec comcif_info;
comcif_rec comcif_c;
comfread_cif_t comfread_info;
comfread_cif_t comfread_c;

namespace {

// Longest record taken from a file; the rest of a longer record is dropped.
constexpr std::size_t kMaxRecord = 1024;
// Lines a text field may span before it is taken as closed.
constexpr int kMaxFieldLines = 32000;

inline char blank_unprintable(char c) { return char_class(c) == '?' ? ' ' : c; }

inline bool starts_with(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && std::memcmp(s.data(), prefix.data(), prefix.size()) == 0;
}

// Characters that are stored as they are and never end a word: everything
// but blanks, apostrophes and unprintable characters.
constexpr std::array<bool, 256> make_plain() {
  std::array<bool, 256> t{};
  for (int c = 0; c < 256; ++c) t[c] = words_detail::kClasses[c] != '?' && c != ' ' && c != '\'';
  return t;
}
constexpr std::array<bool, 256> kPlain = make_plain();

inline bool is_plain(char c) { return kPlain[static_cast<unsigned char>(c)]; }

// wtodig_ reads a word as a number only when it begins with a digit, a sign
// or a point; any other word gives 0 and 0 at once.
inline bool may_be_number(char c) { return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.'; }

// Used length of the first n characters of a line (blanks and zero bytes
// at the end do not count).
inline int used_length(const char* p, int n) {
  while (n > 0 && (p[n - 1] == ' ' || p[n - 1] == '\0')) --n;
  return n;
}

// Closes word w of len characters (its slot already written).
inline void end_word(comfread_cif_t& fr, int w, int len, bool quoted) {
  fr.nwrd = w;
  fr.lwrd(w) = len;
  fr.qwrd(w) = quoted ? 'Y' : 'N';
  const char* dst = fr.cwrd(w).c;
  if (len > 16 || !may_be_number(dst[0])) {
    // Not a number (too long, or a first character that no number has).
    fr.fwrd(w) = 0;
    fr.iwrd(w) = 0;
  } else {
    word_number(dst, len, fr.fwrd(w), fr.iwrd(w));
  }
}

// Splits the first n characters (the used length) of the work area's line.
// A word is written straight into its slot; only the slot's tail beyond the
// stored characters is blanked.
void split_cif_words(comfread_cif_t& fr, const int n) {
  fr.iover = 0;
  fr.nwrd = 0;
  const char* line = fr.line.c;
  int k = 0;
  while (k < n) {
    char c = blank_unprintable(line[k]);
    // Between words the quote count is always 0; a lone apostrophe that
    // ends the line counts as a blank.
    if (c == ' ' || (c == '\'' && k == n - 1)) {
      ++k;
      continue;
    }
    if (fr.nwrd == MAXFRDWORD) {
      fr.iover = 1;
      return;
    }
    const int w = fr.nwrd + 1;
    char* dst = fr.cwrd(w).c;
    // Blanking the whole slot first is a few fixed-width stores; the word
    // then overwrites its own characters.
    std::memset(dst, ' ', FRDWORDLEN);
    int len = 0;
    auto put = [&](char ch) {
      if (len < FRDWORDLEN) dst[len] = ch;
      ++len;
    };
    int quote = 0;
    const bool quoted = c == '\'';
    if (quoted) {
      // An opening quote: the next character starts the word whatever it is.
      quote = 1;
      put(blank_unprintable(line[k + 1]));
      k += 2;
    }
    while (k < n) {
      // A run of plain characters: copied while the slot has room, then only
      // counted.
      const int room = len < FRDWORDLEN ? FRDWORDLEN - len : 0;
      const int lim = n - k > room ? k + room : n;
      while (k < lim && is_plain(line[k])) dst[len++] = line[k++];
      if (k < n && is_plain(line[k])) {
        int e = k;
        while (e < n && is_plain(line[e])) ++e;
        len += e - k;
        k = e;
      }
      if (k == n) break;
      c = blank_unprintable(line[k]);
      if (c == '\'') {
        if (k + 1 < n && blank_unprintable(line[k + 1]) != ' ') {
          put(c);  // an apostrophe inside a word, as in O5'A
          ++k;
          continue;
        }
        // An apostrophe before a blank or the line end acts as a blank.
        c = ' ';
        if (++quote == 2) quote = 0;
      }
      ++k;
      if (quote == 0) break;  // a blank outside quotes ends the word
      put(c);
    }
    end_word(fr, w, len, quoted);
  }
}

struct Instance {
  comcif_rec& c;
  comfread_cif_t& fr;
  bool first;  // instance 1: "<" also marks a comment, overflow is reported
  uint32_t& names_serial;  // raised whenever item names are stored
};

uint32_t names_serial_info = 0;
uint32_t names_serial_c = 0;

bool is_comment_start(const Instance& in, char c) { return c == '#' || (in.first && c == '<'); }

void report_incomplete(const Instance& in, int32_t mdoc) {
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
// characters of the line and returns the used length that remains.
int strip_comment(Instance& in, int n) {
  char* p = in.fr.line.c;
  if (std::memchr(p, '#', n) == nullptr) return n;
  bool inq = false;
  for (int k = 0; k < n; ++k) {
    if (p[k] == '\'') {
      inq = !inq;
    } else if (p[k] == '#' && !inq) {
      std::memset(p + k, ' ', n - k);
      return used_length(p, k);
    }
  }
  return n;
}

int read_line(int32_t unit, int32_t mdoc, rt::TextRef text, int32_t& ierr, int32_t& iend);

// Reads a text field that the current line opened and puts it, quoted, in
// place of the line.  Returns false when the read ended the call.
bool read_text_field(Instance& in, int32_t unit, int32_t mdoc, int32_t& ierr, int32_t& iend) {
  static rt::FixedText<CIFLINELEN> kept;
  static rt::FixedText<CIFLINELEN> next;
  bool have = false;
  if (in.fr.line.len_trim() > 1) {
    kept = in.fr.line;
    kept.c[0] = ' ';
    have = true;
  }
  for (int lines = 0; lines < kMaxFieldLines; ++lines) {
    const int used = read_line(unit, mdoc, next, ierr, iend);
    if (ierr != 0 || iend != 0) return false;
    if (!have && used > 1) {
      kept = next;
      have = true;
      if (kept.c[0] == ';') {
        kept.c[0] = ' ';
        break;
      }
      continue;
    }
    if (next.c[0] == ';') break;
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
  return true;
}

void getcif(Instance in, int32_t unit, int32_t mdoc, int32_t& ierr, int32_t& iend) {
  comcif_rec& c = in.c;
  comfread_cif_t& fr = in.fr;
  ierr = 0;
  if (iend == -1) {
    ++in.names_serial;
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

  for (;;) {
    while (c.i_cif == fr.nwrd) {
      int n = read_line(unit, mdoc, fr.line, ierr, iend);
      if (ierr != 0 || iend != 0) return;
      const char first = fr.line.c[0];
      if (n > 1 && first != ';' && !is_comment_start(in, first)) n = strip_comment(in, n);
      if (c.blk_flag.c[0] == 'N') {
        const std::string_view l = fr.line.view();
        if (!starts_with(l, "data_") && !starts_with(l, "global_")) continue;
      }
      if (first == ';') {
        if (!read_text_field(in, unit, mdoc, ierr, iend)) return;
        n = fr.line.len_trim();
      }
      split_cif_words(fr, n);
      if (fr.iover != 0 && in.first) msgerr_(mdoc, " WARNING: CIF_read: number of words > limit");
      if (fr.nwrd == 0) {
        c.i_cif = 0;
        continue;
      }
      if (is_comment_start(in, fr.cwrd(1).c[0])) {
        c.dt_cif(MAXCIFVAL) = fr.line.sub(1, 79);
        fr.nwrd = c.i_cif;
        iend = -2;
        return;
      }
      c.i_cif = 0;
    }

    const int w = ++c.i_cif;
    const rt::FixedText<80>& word = fr.cwrd(w);
    const std::string_view wv = word.view();
    // A quoted word is a value whatever it reads like.
    const bool bare = fr.qwrd(w) != 'Y';
    const char w0 = wv[0];
    if (bare && ((w0 == 'd' && starts_with(wv, "data_")) || (w0 == 'g' && starts_with(wv, "global_")))) {
      c.blk_cif = word;
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
    ++c.n_data;
    c.loop_flag.c[0] = 'N';
    // Names and values past the record's room are counted, so that the rows
    // of a wide loop stay aligned, but not stored.
    c.n_cif = c.n_data < MAXCIFVAL ? c.n_data : MAXCIFVAL;
    if (c.n_data <= MAXCIFVAL) {
      std::memcpy(c.dt_cif(c.n_data).c, word.c, FRDWORDLEN);
      c.idt_cif(c.n_data) = fr.iwrd(w);
      c.fdt_cif(c.n_data) = fr.fwrd(w);
    }
    if (c.n_data == c.n_item) {
      c.n_data = 0;
      return;
    }
  }
}

// One record of the unit into text, cut and blank-padded; returns the used
// length of the text (undefined when ierr or iend is set, the text being
// left as it was).
int read_line(int32_t unit, int32_t mdoc, rt::TextRef text, int32_t& ierr, int32_t& iend) {
  static std::string rec;
  ierr = 0;
  iend = 0;
  const int st = rt::read_record(unit, rec);
  if (st < 0) {
    iend = 1;
    return 0;
  }
  if (st != rt::IOSTAT_OK) {
    msgdoc_(mdoc, " ERROR: read error.");
    ierr = 1;
    return 0;
  }
  std::size_t m = rec.size() < kMaxRecord ? rec.size() : kMaxRecord;
  while (m > 0 && rec[m - 1] == ' ') --m;
  if (m == 0) {
    text.fill(' ');
    return 0;
  }
  const int copied = static_cast<int>(m) < text.len() ? static_cast<int>(m) : text.len();
  std::memcpy(text.p, rec.data(), copied);
  if (copied < text.len()) std::memset(text.p + copied, ' ', text.len() - copied);
  // A line-end control character (a carriage return) is cleared.
  if (copied >= 1 && char_class(text.p[copied - 1]) == '?') text.p[copied - 1] = ' ';
  if (copied >= 2 && char_class(text.p[copied - 2]) == '?') text.p[copied - 2] = ' ';
  return used_length(text.p, copied);
}

}  // namespace

uint32_t cif_names_serial_info() { return names_serial_info; }

void frd_parm_info_() { split_cif_words(comfread_info, comfread_info.line.len_trim()); }

void frd_parmc_() { split_cif_words(comfread_c, comfread_c.line.len_trim()); }

void getline_(int32_t unit, int32_t mdoc, rt::TextRef text, int32_t& ierr, int32_t& iend) {
  read_line(unit, mdoc, text, ierr, iend);
}

void getcif_info_(int32_t unit, int32_t mdoc, int32_t& ierr, int32_t& iend) {
  getcif(Instance{comcif_info, comfread_info, true, names_serial_info}, unit, mdoc, ierr, iend);
}

void getcif_c_(int32_t unit, int32_t mdoc, int32_t& ierr, int32_t& iend) {
  getcif(Instance{comcif_c, comfread_c, false, names_serial_c}, unit, mdoc, ierr, iend);
}
