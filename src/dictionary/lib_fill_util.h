// Small pieces shared by the record fillers of the library readers: the
// filler arguments as one value, item-name prefix tests and the messages
// every category repeats (a key out of place, a full table).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "runtime/fixed_text.h"

namespace dictionary {

// The record-filler arguments: value i of its row, the block, the item name,
// the value as text, integer and real.  Texts are cut to their used lengths.
struct FillItem {
  int32_t mdoc;
  int32_t i;
  std::string_view block;
  std::string_view item;
  std::string_view data;
  int32_t idata;
  float fdata;
};

inline FillItem fill_item(int32_t mdoc, int32_t i, std::string_view block, int32_t lenb,
                          std::string_view item, int32_t leni, std::string_view data,
                          int32_t idata, float fdata, int32_t lend) {
  auto cut = [](std::string_view s, int32_t n) {
    if (n < 0) n = 0;
    return s.substr(0, static_cast<std::size_t>(n) < s.size() ? static_cast<std::size_t>(n)
                                                              : s.size());
  };
  return FillItem{mdoc, i, cut(block, lenb), cut(item, leni), cut(data, lend), idata, fdata};
}

// A name is recognised by its beginning: `name` begins with `prefix`,
// compared over the prefix's length.
inline bool begins(std::string_view name, std::string_view prefix) {
  return name.size() >= prefix.size() && name.substr(0, prefix.size()) == prefix;
}

// A code value (monomer, link, modification) as its 8-character field:
// a longer value is cut.
inline rt::FixedText<8> code_of(std::string_view v) {
  return rt::FixedText<8>(v.substr(0, v.size() < 8 ? v.size() : 8));
}

// The next record of an open library file through the first CIF
// tokeniser (comcif_info), comment records passed over.  False after a read
// error, or at the end of the file, where iend becomes 1.  cif_end is the
// tokeniser's end flag, -1 before the first call.
bool next_library_record(int32_t iun, int32_t mdoc, int32_t& cif_end, int32_t& iend);

// The attribute part of an item name after a category prefix of n characters.
inline std::string_view attribute(std::string_view item, std::size_t n) {
  return item.size() > n ? item.substr(n) : std::string_view();
}

// "text" + the value cut or padded to `width` + "ending", through msgerr_.
void misplaced_key(int32_t mdoc, std::string_view text, std::string_view value, int width,
                   std::string_view ending);
// The two lines of a full library table: text + id + separator + the limit
// in six columns + " /lib. limit/", then " Change parameter <constant> in
// "lib_com"".
void library_limit(int32_t mdoc, std::string_view text, std::string_view id,
                   std::string_view separator, int32_t limit, std::string_view constant);

}  // namespace dictionary

namespace dictionary {
// A file name of the library file set counts when its used length is at
// least 1 and it begins with neither a blank nor a comma.
inline bool name_present(std::string_view name) {
  std::size_t n = name.size();
  while (n > 0 && (name[n - 1] == ' ' || name[n - 1] == '\0')) --n;
  return n > 0 && name[0] != ' ' && name[0] != ',';
}
}  // namespace dictionary

namespace dictionary {

// What a restraint number of a library row is: a value (length, angle), an
// esd, which must not be below 0, or a torsion period (an integer, digits
// with a sign).
enum class RowNumber { kValue, kEsd, kPeriod };

// The number of item f of a library row, read by the one reading of numbers
// of outside input (a standard uncertainty in parentheses dropped), a
// period as an integer item of a CIF file is read (cif_integer).  Every
// number must fit the fields the run writes it into (F8.3 in the restraint
// file and the new library, I3 for a period).  A value that is no number,
// an esd below 0 or a number too large is refused with the error line
// "ERROR: library file <file>, <entry>, atoms <atoms>: <item> "<value>" ..."
// (the file on unit libcom.lmi_iun) and false; so is "?" or "." unless
// absent_ok, when it gives 0 as it always has.  An esd of exactly 0 stays.
bool row_number(const FillItem& f, std::string_view entry, std::string_view atoms, RowNumber kind,
                bool absent_ok, float& value);

// The atom names of a row as the error lines give them: trimmed, one blank
// between.
inline std::string row_atoms(std::initializer_list<std::string_view> names) {
  std::string s;
  for (std::string_view n : names) {
    while (!n.empty() && n.back() == ' ') n.remove_suffix(1);
    if (!s.empty()) s += ' ';
    s += n;
  }
  return s;
}

// The error line of a row whose record lacks the restraint number `item`
// (the full item name), in the form of row_number's.
void row_without(const FillItem& f, std::string_view entry, std::string_view atoms,
                 std::string_view item);

}  // namespace dictionary

namespace dictionary {
// The two lines of a full dictionary table: head, the limit in six columns
// and tail, then " Change parameter <constant> in "lib_com"".
void full_table(int32_t mdoc, std::string_view head, int32_t limit, std::string_view tail,
                std::string_view constant);
}  // namespace dictionary
