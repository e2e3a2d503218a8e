// The element table of the dictionary (one row of X-ray scattering data per
// element met in the run) and the list of the energy types of all
// dictionary atoms.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// Row of element asymb in the table, appended from the scattering-factor file
// on first use.  An element the file lacks becomes "N   " (asymb is
// overwritten) with a warning and ierr 2; a full table gives ierr 1 and
// insf 0.  Writes r_scratch lsf_ rows.
void chkasym_(int32_t mdoc, rt::FixedText<4>& asymb, int32_t& insf, int32_t& ierr);

// The distinct energy types of the dictionary atoms, in row order, as the
// energy-library atom table.  ierr 1 past its capacity, 2 with no atoms.
// Writes r_scratch lea_natom, lea_aname, lea_type.
void get_clist_(int32_t mdoc, int32_t& ierr);

namespace dictionary {
// A hydrogen (or deuterium) atom by its element symbol.
inline bool is_hydrogen(const rt::FixedText<4>& symb) {
  const std::string_view s = symb.view().substr(0, 2);
  return s == "H " || s == "D ";
}
}  // namespace dictionary
