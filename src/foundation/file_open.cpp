// File-open helpers for files named by path, name and extension.
#include "foundation/file_open.h"

#include <string>

#include "foundation/errwrt.h"
#include "foundation/messages.h"
#include "foundation/words.h"
#include "suite/library_f.h"
#include "suite/ptq7_parser_f.h"

rt::FixedText<256> join_file_name(std::string_view path, std::string_view name,
                                  std::string_view ext) {
  char buf[256 * 3 + 1];
  int n = 0;
  auto put = [&](std::string_view s) {
    for (char c : s)
      if (n < static_cast<int>(sizeof buf)) buf[n++] = c;
  };
  put(rt::trim_right(path));
  put(rt::trim_right(name));
  if (rt::len_trim(ext) >= 1) {
    put(".");
    put(rt::trim_right(ext));
  }
  // Anything beyond 256 characters is cut off by the assignment.
  return rt::FixedText<256>(std::string_view(buf, n));
}

namespace {

// A joined name longer than its field is refused, never cut: cut, it would
// name another file.  Code 99 only silences the opening itself, so the
// refusal is said then too.
bool joined_name_fits(int32_t mdoc, std::string_view path, std::string_view name, std::string_view ext) {
  std::string whole(rt::trim_right(path));
  whole.append(rt::trim_right(name));
  if (rt::len_trim(ext) >= 1) {
    whole.push_back('.');
    whole.append(rt::trim_right(ext));
  }
  if (whole.size() <= 256) return true;
  msgerr_(mdoc == 99 ? 0 : mdoc, " ERROR: file name longer than 256 characters: " + whole);
  return false;
}

void open_formatted(int32_t& unit, int32_t mdoc, std::string_view path, std::string_view name,
                    std::string_view ext, std::string_view status, std::string_view empty_msg,
                    std::string_view fail_msg, int32_t& ierr) {
  ierr = 0;
  unit = 0;
  if (!joined_name_fits(mdoc, path, name, ext)) {
    ierr = 1;
    return;
  }
  const rt::FixedText<256> full = join_file_name(path, name, ext);
  int32_t ifail = -1;
  if (full.len_trim() < 1) errwrt_(1, empty_msg);
  ptqdpn_(unit, full.trimmed(), status, "F", 0, ifail);
  if (ifail != 0) {
    msgerr_(mdoc, fail_msg);
    ierr = 1;
  }
}

// The unformatted routines measure texts as the suite library does: a
// trailing carriage return counts as a blank.
std::string_view used_part(rt::TextRef t) { return t.view().substr(0, lenstr_(t.view())); }

// Blanks the commas of a text from its second character to its used length.
void blank_commas(rt::TextRef t) {
  const int n = lenstr_(t.view());
  for (int i = 2; i <= n; ++i)
    if (t(i) == ',') t(i) = ' ';
}

void report_line(int32_t mdoc, std::string_view label, std::string_view text) {
  const int n = lenstr_(text);
  if (n <= 0) return;
  std::string line(label);
  line.append(text.substr(0, n < 65 ? n : 65));
  line.push_back(';');
  msgerr_(mdoc, line);
}

void open_unformatted(int32_t& unit, int32_t mdoc, rt::TextRef path, rt::TextRef name,
                      rt::TextRef ext, std::string_view status, std::string_view header,
                      int32_t& ierr) {
  ierr = 0;
  if (name.len() > 0) {
    char cls = ' ';
    chksmb_(name(1), cls);
    if (cls == '?' || name(1) == ' ' || name(1) == ',') name(1) = ' ';
  }
  blank_commas(name);
  blank_commas(path);
  blank_commas(ext);

  if (name.len() > 0 && name(1) != ' ' && lenstr_(name.view()) > 0) {
    if (!joined_name_fits(mdoc, used_part(path), used_part(name), used_part(ext))) {
      ierr = 1;
      return;
    }
    const rt::FixedText<256> full = join_file_name(used_part(path), used_part(name), used_part(ext));
    unit = 0;
    int32_t ifail = -1;
    ptqdpn_(unit, full.trimmed(), status, "U", 0, ifail);
    if (ifail <= 0) return;
  }
  msgerr_(mdoc, header);
  report_line(mdoc, "        PATH :", path.view());
  report_line(mdoc, "        NAME :", name.view());
  report_line(mdoc, "   EXTENTION :", ext.view());
  ierr = 1;
}

}  // namespace

void openfr_(int32_t& unit, int32_t mdoc, std::string_view path, std::string_view name,
             std::string_view ext, int32_t& ierr) {
  open_formatted(unit, mdoc, path, name, ext, "OLD", "File length is 0. Cannot open for reading",
                 "Open failed in in OPENFR", ierr);
}

void openfw_(int32_t& unit, int32_t mdoc, std::string_view path, std::string_view name,
             std::string_view ext, int32_t& ierr) {
  open_formatted(unit, mdoc, path, name, ext, "UNKNOWN",
                 "LENGTH of file is 0. Cannot open UNKNOW file", "Open failed in in OPENFW", ierr);
}

void openur_(int32_t& unit, int32_t mdoc, rt::TextRef path, rt::TextRef name, rt::TextRef ext,
             int32_t& ierr) {
  open_unformatted(unit, mdoc, path, name, ext, "OLD", " ERR: OPEN FILE /FOR READ/ ", ierr);
}

void openuw_(int32_t& unit, int32_t mdoc, rt::TextRef path, rt::TextRef name, rt::TextRef ext,
             int32_t& ierr) {
  open_unformatted(unit, mdoc, path, name, ext, "UNKNOWN", " ERR: OPEN FILE /FOR WRITE/ ", ierr);
}
