// The CIF line tokeniser: line reading, CIF word splitting and the record
// state machine shared by the two instances.  Buffers are static and reused,
// so reading a file allocates nothing per line.
#include "foundation/cif_tokeniser.h"

#include <cstring>
#include <string>

#include "foundation/messages.h"
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
  return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

void split_cif_words(comfread_cif_t& fr) {
  fr.iover = 0;
  fr.nwrd = 0;
  const int n = fr.line.len_trim();
  if (n == 0) return;
  const char* line = fr.line.c;
  char buf[CIFLINELEN];
  int len = 0;
  bool open = false;
  int quote = 0;

  auto open_word = [&]() {
    if (fr.nwrd == MAXFRDWORD) {
      fr.iover = 1;
      return false;
    }
    open = true;
    len = 0;
    return true;
  };
  auto end_word = [&]() {
    open = false;
    const int w = ++fr.nwrd;
    const int stored = len < FRDWORDLEN ? len : FRDWORDLEN;
    fr.cwrd(w) = std::string_view(buf, stored);
    fr.lwrd(w) = len;
    wtodig_(std::string_view(buf, len), len, fr.fwrd(w), fr.iwrd(w));
  };

  for (int k = 1; k <= n; ++k) {
    char c = blank_unprintable(line[k - 1]);
    if (c == '\'') {
      if (!open) {
        if (k == n) {
          c = ' ';
        } else {
          // An opening quote: the next character starts the word whatever it is.
          quote = 1;
          if (!open_word()) return;
          ++k;
          buf[len++] = blank_unprintable(line[k - 1]);
          if (k == n) end_word();
          continue;
        }
      } else if (k == n || blank_unprintable(line[k]) == ' ') {
        c = ' ';
        if (++quote == 2) quote = 0;
      } else {
        buf[len++] = c;  // an apostrophe inside a word, as in O5'A
        if (k == n) end_word();
        continue;
      }
    }
    if (c == ' ') {
      if (quote == 1) {
        if (!open && !open_word()) return;
        buf[len++] = c;
      } else if (open) {
        end_word();
      }
    } else {
      if (!open && !open_word()) return;
      buf[len++] = c;
    }
    if (k == n && open && len > 0) end_word();
  }
}

struct Instance {
  comcif_rec& c;
  comfread_cif_t& fr;
  bool first;  // instance 1: "<" also marks a comment, overflow is reported
};

bool is_comment_start(const Instance& in, char c) { return c == '#' || (in.first && c == '<'); }

void report_incomplete(const Instance& in, int32_t mdoc) {
  msgerr_(mdoc, " ERR: CIF_read: number of data > number of items");
  int k = in.c.n_data;
  if (k > MAXCIFVAL) k = MAXCIFVAL;
  if (k < 1) k = 1;
  static constexpr std::string_view kHead = "       last items :<";
  char line[64];
  std::memcpy(line, kHead.data(), kHead.size());
  std::memcpy(line + kHead.size(), in.c.itm_cif(k).c, 16);
  line[kHead.size() + 16] = '>';
  msgerr_(mdoc, std::string_view(line, kHead.size() + 17));
}

// Blanks a comment that starts outside quotes.
void strip_comment(Instance& in) {
  char* p = in.fr.line.c;
  const int n = in.fr.line.len_trim();
  bool inq = false;
  for (int k = 0; k < n; ++k) {
    if (p[k] == '\'') {
      inq = !inq;
    } else if (p[k] == '#' && !inq) {
      std::memset(p + k, ' ', n - k);
      return;
    }
  }
}

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
    getline_(unit, mdoc, next, ierr, iend);
    if (ierr != 0 || iend != 0) return false;
    if (!have && next.len_trim() > 1) {
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
    c.loop_flag = "N";
  }
  iend = 0;

  for (;;) {
    while (c.i_cif == fr.nwrd) {
      getline_(unit, mdoc, fr.line, ierr, iend);
      if (ierr != 0 || iend != 0) return;
      const char first = fr.line.c[0];
      if (fr.line.len_trim() > 1 && first != ';' && !is_comment_start(in, first)) strip_comment(in);
      if (c.blk_flag == "N") {
        const std::string_view l = fr.line.view();
        if (!starts_with(l, "data_") && !starts_with(l, "global_")) continue;
      }
      if (first == ';' && !read_text_field(in, unit, mdoc, ierr, iend)) return;
      split_cif_words(fr);
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
    if (starts_with(wv, "data_") || starts_with(wv, "global_")) {
      c.blk_cif = word;
      if (c.n_data != 0) report_incomplete(in, mdoc);
      c.n_data = 0;
      c.n_item = 0;
      c.blk_flag = "Y";
      c.loop_flag = "N";
      if (starts_with(wv, "data_")) {
        fr.nwrd = 0;
        c.n_cif = 0;
        c.i_cif = 0;
        return;
      }
      continue;
    }
    if (c.blk_flag == "N") {
      c.i_cif = fr.nwrd;
      continue;
    }
    if (starts_with(wv, "loop_")) {
      if (c.n_data != 0) report_incomplete(in, mdoc);
      c.n_data = 0;
      c.n_item = 0;
      c.loop_flag = "Y";
      continue;
    }
    if (wv[0] == '_') {
      if (c.loop_flag == "N") c.n_item = 0;
      if (c.n_data != 0) report_incomplete(in, mdoc);
      c.n_data = 0;
      ++c.n_item;
      if (c.n_item > MAXCIFVAL) {
        msgerr_(mdoc, " ERR: CIF_read: too many items in the loop >    60");
      } else {
        c.itm_cif(c.n_item) = word;
      }
      continue;
    }
    if (c.n_item < 1) {
      msgerr_(mdoc, " ERR: CIF_read: number of items =0 / before the data /");
      msgerr_(mdoc, fr.line.view());
    }
    ++c.n_data;
    c.loop_flag = "N";
    // Names and values past the record's room are counted, so that the rows
    // of a wide loop stay aligned, but not stored.
    c.n_cif = c.n_data < MAXCIFVAL ? c.n_data : MAXCIFVAL;
    if (c.n_data <= MAXCIFVAL) {
      c.dt_cif(c.n_data) = word;
      c.idt_cif(c.n_data) = fr.iwrd(w);
      c.fdt_cif(c.n_data) = fr.fwrd(w);
    }
    if (c.n_data == c.n_item) {
      c.n_data = 0;
      return;
    }
  }
}

}  // namespace

void frd_parm_info_() { split_cif_words(comfread_info); }

void frd_parmc_() { split_cif_words(comfread_c); }

void getline_(int32_t unit, int32_t mdoc, rt::TextRef text, int32_t& ierr, int32_t& iend) {
  static std::string rec;
  ierr = 0;
  iend = 0;
  const int st = rt::read_record(unit, rec);
  if (st < 0) {
    iend = 1;
    return;
  }
  if (st != rt::IOSTAT_OK) {
    msgdoc_(mdoc, " ERROR: read error.");
    ierr = 1;
    return;
  }
  std::size_t m = rec.size() < kMaxRecord ? rec.size() : kMaxRecord;
  while (m > 0 && rec[m - 1] == ' ') --m;
  if (m == 0) {
    text.fill(' ');
    return;
  }
  const int copied = static_cast<int>(m) < text.len() ? static_cast<int>(m) : text.len();
  text.assign(std::string_view(rec.data(), copied));
  // A line-end control character (a carriage return) is cleared.
  if (copied >= 1 && char_class(text.p[copied - 1]) == '?') text.p[copied - 1] = ' ';
  if (copied >= 2 && char_class(text.p[copied - 2]) == '?') text.p[copied - 2] = ' ';
}

void getcif_info_(int32_t unit, int32_t mdoc, int32_t& ierr, int32_t& iend) {
  getcif(Instance{comcif_info, comfread_info, true}, unit, mdoc, ierr, iend);
}

void getcif_c_(int32_t unit, int32_t mdoc, int32_t& ierr, int32_t& iend) {
  getcif(Instance{comcif_c, comfread_c, false}, unit, mdoc, ierr, iend);
}
