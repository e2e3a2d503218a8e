// Line helpers of the library writers: every line is composed in a
// 256-character work line and written trimmed through wrtstr_, and the first
// failed line of a call is remembered, so that a call whose file could not
// take every line reports failure even when later lines went through.
#pragma once

#include <cstdint>
#include <string_view>

#include "foundation/messages.h"
#include "output/out_lines.h"
#include "runtime/fixed_text.h"

namespace dictionary {

class LibLines : public output::LineSink {
 public:
  using LineSink::LineSink;

  // Item names, one a line.
  template <std::size_t N>
  void items(const std::string_view (&names)[N]) {
    for (std::string_view n : names) text(n);
  }

  // The status a call leaves: 0 when every line went out.  The first
  // failure of the call is reported once, naming the file kind.
  void finish(int32_t mdoc, std::string_view failure, int32_t& ierr) {
    if (ok_) {
      ierr = 0;
      return;
    }
    if (!reported_) msgerr_(mdoc, failure);
    reported_ = true;
    ierr = 1;
  }

 private:
  bool reported_ = false;
};

// A stored text (code, group, name, label, sign, type) as one CIF value in a
// column of at least `width` characters.  Stored texts may hold blanks, and
// a name such as "trans peptide link" written bare would read back as three
// values and shift the rest of its row; an empty one would drop its column.
// So a blank text is written ".", and one holding a blank or beginning with
// a character a CIF reader takes for something else is put in apostrophes
// (in double quotes when it holds an apostrophe followed by a blank).
class LibValue {
 public:
  std::string_view make(std::string_view text, int width) {
    text = rt::trim_right(text);
    if (text.size() > kMax) text = text.substr(0, kMax);
    buf_.blank();
    if (text.empty()) text = ".";
    const char q = quote_for(text);
    int n = 0;
    if (q != 0) buf_.c[n++] = q;
    for (char ch : text) buf_.c[n++] = ch;
    if (q != 0) buf_.c[n++] = q;
    return buf_.view().substr(0, n > width ? n : width);
  }

  // The quote a text needs, 0 for none.
  static char quote_for(std::string_view t) { return output::cif_quote_for(t); }
  // True when q inside t would end a value quoted with q.
  static bool closes(std::string_view t, char q) {
    for (std::size_t k = 0; k < t.size(); ++k)
      if (t[k] == q && (k + 1 == t.size() || t[k + 1] == ' ')) return true;
    return false;
  }

 private:
  static constexpr std::size_t kMax = 96;
  rt::FixedText<kMax + 2> buf_;
};

}  // namespace dictionary
