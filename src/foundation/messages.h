// Message routing of the code base: information and error lines by message
// code, the used length of a blank-padded text, the message control record
// `comlib` and the unit numbers `files`.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/array.h"
#include "runtime/fixed_text.h"

// Filled by foundation (start-up, documentation file); read by the message writers.
// Message control of the run.
struct comlib_t {
  int32_t iquiet;    // non-zero silences msgdoc_ and msgerr_
  int32_t idoc;      // documentation unit; 0 = no documentation file
  int32_t ictl1;     // further control words, cleared at start-up
  int32_t ictl2;
  rt::FixedText<80> doc_name;   // documentation-file name
  rt::FixedText<80> prog_name;  // program name (at most 20 characters used)
};
extern comlib_t comlib;

// Filled by foundation and the TLS program; read by every room that writes to standard output.
// Unit numbers of the run; only isysw, the standard-output unit, is used.
struct files_t {
  int32_t isysr, isysw, ifofc, iscrf, iatmr, idisk, jdisk, newfil, inxyz, ioutx, mtzin;
};
extern files_t files;

// Information line: silent when quiet or |mdoc| >= 99; mdoc >= 0 writes on
// standard output (and the documentation file for mdoc != 0), mdoc < 0 on the
// documentation file only.
void msgdoc_(int32_t mdoc, std::string_view text);
// Error line: silent when quiet or mdoc >= 99 (signed); else always on
// standard output, and the documentation file for mdoc != 0.
void msgerr_(int32_t mdoc, std::string_view text);
// Used length of a blank-padded text (0 when all blank or empty).
void lenstr_bl_(std::string_view text, int32_t& nl);
// Writes the used part of line as one record on unit; nothing for a unit
// below 1 or a blank line; ierr 1 when the write fails.  (Word utilities.)
void wrtstr_(int32_t unit, int32_t mdoc, std::string_view line, int32_t& ierr);

namespace foundation {

// The capacity constant that a full-table message names, and the form of its
// advice line.  Readers of different ages word the line differently, and
// stored logs are compared line for line, so each keeps its form.
struct TableLimit {
  std::string_view constant = {};  // the constant to raise, e.g. "MAXATOM"
  std::string_view header = {};    // its header, e.g. "atom_com"; empty: not named
  int indent = 8;                  // blanks before the advice
  bool quoted = true;              // "Change parameter C in "h"", else "change parameter C in h"
  bool doc = false;                // both lines through msgdoc_ rather than msgerr_
};

// The two lines of a full table: `head` as it stands, then the advice line.
void table_full(int32_t mdoc, std::string_view head, const TableLimit& t);
// The same with a head line of `head`, the limit in six columns and `tail`.
void table_full(int32_t mdoc, std::string_view head, int32_t limit, std::string_view tail,
                const TableLimit& t);

// A table that the structure model of a run needs whole is full: a row left
// out would be a bond or a link lost while the run reported success.  The
// error line `head` with the limit in seven columns, the advice line, a line
// saying the run stops, then the end of the run with status 1 (the pipeline
// then takes back every file it was writing).  Always on the error lines,
// whatever t.doc says.
[[noreturn]] void stop_table_full(int32_t mdoc, std::string_view head, int32_t limit,
                                  const TableLimit& t);

}  // namespace foundation
