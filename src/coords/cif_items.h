// The table of CIF item names and category prefixes shared by the mmCIF
// coordinate readers (and writers), and the name tests of the CIF readers.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "runtime/fixed_text.h"

inline constexpr int NCIF_ITEMS = 135;

// Entry i (1-based) of the item-name table, without its blank padding.
// Entries 1-102 are item names or category prefixes; 103-135 are the
// sub-item names of the atom-site category.
std::string_view cif_item(int i);
// Entries first to last (1-based) of the table, for a writer that puts out
// those items in table order.
std::span<const std::string_view> cif_item_run(int first, int last);

// True when the blank-padded text `item` begins with `name` (taken without
// its trailing blanks): the prefix test of every CIF reader.
inline bool cif_match(std::string_view item, std::string_view name) {
  name = rt::trim_right(name);
  if (name.empty()) return true;
  if (item.size() < name.size()) return false;
  return item.substr(0, name.size()) == name;
}

// True when the used part of `item` is exactly `name`.
inline bool cif_match_whole(std::string_view item, std::string_view name) {
  return rt::trim_right(item) == rt::trim_right(name);
}

// Residue-number form of an author residue number: the first five
// characters of the value right-aligned in five columns; when the last
// column then holds a digit everything moves one place left, so the number
// stands in columns 1-4 and an insertion code, if any, in column 5.
// `drop_inner_blanks` also squeezes out blanks inside the value.  A number
// wider than four columns keeps its last four digits as written, or its
// minus and last three ("-10030" is "-030"), its insertion letter after
// them.
void cif_residue_number(std::string_view value, char out[5], bool drop_inner_blanks);

// Integer of a fixed field (blanks around the digits allowed, an optional
// sign); a field that is not a number reads as 0.
int32_t cif_read_i4(std::string_view field);

// Steps shared by the two atom-row readers.

// First call of a row reader (iend -1): takes over the record the header
// reader left for this unit, or rewinds the unit.  Returns whether a record
// is held for the first step.
bool cif_rows_begin(int32_t in, int32_t& iend);

// The next record, unless one is held.  A read error is reported, the file
// closed and ierr set to 1; the result is then false.
bool cif_rows_read(int32_t in, int32_t mdoc, bool& held, int32_t& ierr);

// A comment line or the start of a new data block (tokeniser end flag `ie`).
enum class CifFreeLine { None, Skip, EndsList };
// For a free line: EndsList when it ends the atom list (mode 1, the line in
// the atom record's line, shown through msgdoc_ with `msg_code`), Skip when
// it is passed over; None when the record is not a free line.
CifFreeLine cif_rows_free_line(int32_t ie, int32_t& mode, int32_t msg_code);
