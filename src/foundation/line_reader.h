// The line reader: one record of a text file into a blank-padded text, the
// way every reader of the code base takes its lines (the PDB reader, and the
// CIF tokeniser under its records).
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// Reads the next record of the unit into text (cut, blank-padded; a control
// character at the end is blanked).  iend 1 at end of file; ierr 1 after a
// read error, reported through msgdoc_.
void getline_(int32_t unit, int32_t mdoc, rt::TextRef text, int32_t& ierr, int32_t& iend);

namespace foundation {

// Columns (1-based) of the characters that the clean-up of a line's end
// blanked, other than a carriage return; 0 where there is none.  A reader
// that refuses such bytes inside its fields learns of them here, since the
// text it gets holds blanks in their place.
struct LineEndControls {
  int32_t last = 0;         // the last character copied
  int32_t before_last = 0;  // the one before it
};

// getline_ that also returns the used length of the text (undefined when
// ierr or iend is set, the text then being left as it was).  `cut`, when
// given, tells whether the record was longer than the text holds;
// `controls`, when given, receives the line-end bytes blanked.
int read_line(int32_t unit, int32_t mdoc, rt::TextRef text, int32_t& ierr, int32_t& iend,
              bool* cut = nullptr, LineEndControls* controls = nullptr);

// read_line in two steps, for a reader that looks at a record before it
// takes it: the next record as a view into the unit's buffer, valid until
// the unit is read again (empty, with ierr and iend set as read_line sets
// them, at the end of the file or after a read error) ...
std::string_view next_record(int32_t unit, int32_t mdoc, int32_t& ierr, int32_t& iend);
// ... and that record put into text as read_line puts it, with the same
// result, `cut` and `controls`.
int put_record(std::string_view rec, rt::TextRef text, bool* cut = nullptr,
               LineEndControls* controls = nullptr);

}  // namespace foundation
