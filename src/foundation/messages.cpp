// Message routing: information and error lines by message code, and the used
// length of blank-padded texts.  Lines on standard output begin with one blank;
// the documentation-file copy carries the bare text.
#include "foundation/messages.h"

#include <cstdio>
#include <string>

#include "runtime/format.h"
#include "runtime/run.h"
#include "runtime/units.h"

comlib_t comlib;
files_t files;

namespace {

// One reused buffer: the message routines run per atom in the readers.
std::string& line_buffer() {
  static std::string buf;
  return buf;
}

// A blank line of text comes out as an empty record, without the blank.
void write_stdout(std::string_view used) {
  if (used.empty()) {
    rt::write_record(6, used);
    return;
  }
  std::string& buf = line_buffer();
  buf.assign(1, ' ');
  buf.append(used);
  rt::write_record(6, buf);
}

void write_doc(int32_t mdoc, std::string_view used) {
  if (mdoc != 0 && comlib.idoc > 0) rt::write_record(comlib.idoc, used);
}

}  // namespace

void lenstr_bl_(std::string_view text, int32_t& nl) {
  int n = static_cast<int>(text.size());
  // A field never set holds zero bytes; they count as blanks too.
  while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\0')) --n;
  nl = n;
}

void msgdoc_(int32_t mdoc, std::string_view text) {
  if (comlib.iquiet != 0 || mdoc >= 99 || mdoc <= -99) return;
  int32_t n = 0;
  lenstr_bl_(text, n);
  const std::string_view used = text.substr(0, n);
  if (mdoc >= 0) write_stdout(used);
  write_doc(mdoc, used);
}

void msgerr_(int32_t mdoc, std::string_view text) {
  if (comlib.iquiet != 0 || mdoc >= 99) return;
  int32_t n = 0;
  lenstr_bl_(text, n);
  const std::string_view used = text.substr(0, n);
  write_stdout(used);
  write_doc(mdoc, used);
}

namespace foundation {

void table_full(int32_t mdoc, std::string_view head, const TableLimit& t) {
  auto write = [&](std::string_view line) { t.doc ? msgdoc_(mdoc, line) : msgerr_(mdoc, line); };
  write(head);
  std::string line(t.indent > 0 ? t.indent : 0, ' ');
  line.append(t.quoted ? "Change parameter " : "change parameter ");
  line.append(t.constant);
  if (!t.header.empty()) {
    line.append(" in ");
    if (t.quoted) line.append("\"");
    line.append(t.header);
    if (t.quoted) line.append("\"");
  }
  write(line);
}

void table_full(int32_t mdoc, std::string_view head, int32_t limit, std::string_view tail,
                const TableLimit& t) {
  // A copy: the formatter's buffer is reused by the writers below.
  const std::string line = rt::fmt("(A,I6,A)", head, limit, tail);
  table_full(mdoc, line, t);
}

void stop_table_full(int32_t mdoc, std::string_view head, int32_t limit, const TableLimit& t) {
  TableLimit as_error = t;
  as_error.doc = false;
  const std::string line = rt::fmt("(A,I7)", head, limit);
  table_full(mdoc, line, as_error);
  msgerr_(mdoc, " ERROR: the run stops: table " + std::string(t.constant) + " holds " +
                    std::to_string(limit) + " rows and no more");
  rt::stop_run(1);
}

}  // namespace foundation
