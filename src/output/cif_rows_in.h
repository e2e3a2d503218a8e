// The record step shared by the row readers of structure-description,
// restraint and van der Waals files: the second CIF tokeniser's next item
// record of one category, or a text line that the caller hands back.
#pragma once

#include <cstdint>
#include <string_view>

#include "foundation/cif_tokeniser.h"

namespace output {

enum class RowStep { Record, Text, End, Failed };

// Reads on until a record whose first item name begins with `prefix`
// (Record; in comcif_c), a text line (Text; mode 1 and the line in
// crdatm.cr_line, shown through msgdoc_ when `show_text`), the end of the
// file (End; the unit closed, iend 1) or a read failure (Failed; `fail_msg`
// through msgerr_, the unit closed, ierr 1).  A comment line is a text line
// when it is blank (it becomes "#") or begins with '#', 'C', 'c', 'd' or
// '_'; other comment lines are passed over.
RowStep next_row(int32_t in, int32_t mdoc, std::string_view prefix, std::string_view fail_msg,
                 bool show_text, int32_t& mode, int32_t& iend, int32_t& ierr);

// First call of a file (iend -1): rewinds the unit and resets the tokeniser.
void rows_begin(int32_t in, int32_t& iend);

// Index (0-based) of the first name of `names` that the item name, after
// its category prefix, begins with; -1 when none does.
template <std::size_t N>
int item_index(std::string_view rest, const std::string_view (&names)[N]) {
  for (std::size_t k = 0; k < N; ++k)
    if (rest.substr(0, names[k].size()) == names[k]) return static_cast<int>(k);
  return -1;
}

// Calls take(index, text, integer, real) for every item of the record in
// comcif_c whose name begins with `prefix`: index as item_index gives it for
// the name after the prefix, then the item's value in its three forms.
template <std::size_t N, typename Take>
void take_row_items(std::string_view prefix, const std::string_view (&names)[N], Take&& take) {
  const comcif_rec& c = comcif_c;
  for (int k = 1; k <= c.n_cif && k <= MAXCIFVAL; ++k) {
    const std::string_view name = c.itm_cif(k).view();
    if (name.substr(0, prefix.size()) != prefix) continue;
    take(item_index(name.substr(prefix.size()), names), c.dt_cif(k).view(), c.idt_cif(k),
         c.fdt_cif(k));
  }
}

}  // namespace output
