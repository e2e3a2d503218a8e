// Line helpers shared by the writers of this room: every line is formatted
// into a 256-character work line and written trimmed through wrtstr_, so a
// blank line is never written.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "foundation/words.h"
#include "runtime/fixed_text.h"
#include "runtime/format.h"

namespace output {

using Line = rt::FixedText<256>;

// Formats the items into `line` and writes it; ierr as wrtstr_ leaves it.
template <typename... A>
void put_line(int32_t iun, Line& line, int32_t& ierr, std::string_view format, const A&... a) {
  rt::write_to(line.ref(), format, a...);
  wrtstr_(iun, 0, line.view(), ierr);
}

// A text line written as it stands.
inline void put_text(int32_t iun, int32_t& ierr, std::string_view text) {
  wrtstr_(iun, 0, text, ierr);
}

// The three-line banner of a category: a rule of '#' as long as the title
// line "## <title> ##", the title line, the rule again.  Only the status of
// the last line is left in ierr.
void put_banner(int32_t iun, std::string_view title, int32_t& ierr);

// An item with a text value in apostrophes: `lead` (the item name and the
// blanks before the value), then the value between apostrophes.  A value
// holding an apostrophe before a blank would end early between apostrophes,
// and one whose quoted line would pass `width` characters (when width is
// not 0) would have to be cut, so such a value goes into a text field
// instead: the item name alone, then the whole value on a line opened by
// ';', then a line ';'.  Only the status of the last line is left in ierr.
void put_quoted(int32_t iun, int32_t& ierr, std::string_view lead,
                std::string_view value, std::size_t width = 0);

// Lines of one file that keep their first failure: once a line has failed
// nothing more is written, so a writer checks ok() once at the end instead of
// after every line.
class LineSink {
 public:
  explicit LineSink(int32_t iun) : iun_(iun) {}

  int32_t unit() const { return iun_; }
  bool ok() const { return ok_; }

  void text(std::string_view t) {
    if (!ok_) return;
    int32_t ierr = 0;
    put_text(iun_, ierr, t);
    ok_ = ierr == 0;
  }
  template <typename... A>
  void put(std::string_view format, const A&... a) {
    if (!ok_) return;
    int32_t ierr = 0;
    put_line(iun_, line_, ierr, format, a...);
    ok_ = ierr == 0;
  }

 protected:
  int32_t iun_;
  bool ok_ = true;
  Line line_;
};

// An atom name as one CIF value, blank-padded to at least `width`
// characters.  corr_name_cif_out_ moves a leading quote or asterisk to the
// end, turns blanks into underscores and puts a name holding an apostrophe
// in apostrophes; a name that then begins with a character a CIF reader
// takes for the start of something else (an item name, a comment, a data
// name or text field) is put in apostrophes too.  The work text is as long
// as the quoted name needs, so a name is never cut to fit its column.
class CifName {
 public:
  std::string_view make(std::string_view name, int width);

 private:
  rt::FixedText<96> buf_;
};

// The quote a CIF value needs, 0 for none: a value holding a blank, or
// beginning with a character a CIF reader takes for the start of something
// else (an item name, a comment, a quote, a text field, a bracket), or
// beginning with a reserved word (data_, save_, loop_, global_, stop_), would
// not read back as the one value it is.  An apostrophe followed by a blank
// would end an apostrophe-quoted value early, so such a text takes double
// quotes.
char cif_quote_for(std::string_view t);

// A text of a fixed column as one CIF value, at least `width` characters:
// written as before (cut to the column, blank-padded) when it reads back as
// itself, "." when it is blank, otherwise its trimmed text quoted (then it
// may be wider than the column, never cut).
std::string cif_cell(std::string_view text, int width);

// The text, or "." when it is all blank.
inline std::string_view or_dot(std::string_view text) {
  return rt::len_trim(text) == 0 ? "." : text;
}

// A residue's number and insertion code (five columns) as one value of this
// system's own categories.  Where the code is a digit the number is filled
// with zeros to four columns ("00123" is 12 with the code 3), which the
// reader tells from residue 123; any other text is returned as it stands.
rt::FixedText<5> own_author_number(std::string_view five);

// The same as a text of N characters, so that an Aw edit keeps it
// left-justified as a stored text would be.
template <int N>
rt::FixedText<N> field(std::string_view text) {
  return rt::FixedText<N>(or_dot(text));
}

}  // namespace output
