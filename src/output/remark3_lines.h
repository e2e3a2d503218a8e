// Line kinds of the REMARK 3 block, shared by its sections: every line is
// one record written as it stands (trailing blanks of a label included), a
// value line is its label followed by one formatted value, and a missing
// value gives the label followed by "NULL".
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/format.h"
#include "runtime/units.h"

namespace output::r3 {

inline void text(int32_t iun, std::string_view t) { rt::write_record(iun, t); }

// The items formatted by `format` as one record.
template <typename... A>
void line(int32_t iun, std::string_view format, const A&... a) {
  rt::write_record(iun, rt::fmt(format, a...));
}

void null_line(int32_t iun, std::string_view label);

// One kind of row of a restraint-statistics table: its 51-character label
// and the restraint kind name it takes; `first` 0 asks the whole name to
// be the selector, k > 0 only its first k characters.
struct RowKind {
  std::string_view label, selector;
  int first = 0;
};

// For each kind in order, one row per matching entry of rhar_geom in entry
// order: the label, the count (I6), " ;", the rms (F6.3), " ;", the weight.
void stats_rows(int32_t iun, const RowKind* kinds, int n);
template <std::size_t N>
void stats_rows(int32_t iun, const RowKind (&kinds)[N]) {
  stats_rows(iun, kinds, static_cast<int>(N));
}

// The sections after the atom count, in the order of the block.
void b_values_to_geometry(int32_t iun);
void thermal_and_ncs(int32_t iun);
void tls_solvent_and_remarks(int32_t iun, float rtd2);

}  // namespace output::r3
