// Messages and the record step shared by the library readers and their fillers.
#include "dictionary/lib_fill_util.h"

#include <cstdint>
#include <string>

#include "coords/cif_numbers.h"
#include "dictionary/libcom.h"
#include "foundation/cif_tokeniser.h"
#include "foundation/messages.h"
#include "runtime/units.h"

namespace dictionary {

bool next_library_record(int32_t iun, int32_t mdoc, int32_t& cif_end, int32_t& iend) {
  for (;;) {
    int32_t e = 0;
    getcif_info_(iun, mdoc, e, cif_end);
    if (e != 0) return false;
    if (cif_end == -2) continue;
    if (cif_end != 0) {
      iend = 1;
      return false;
    }
    return true;
  }
}

void misplaced_key(int32_t mdoc, std::string_view text, std::string_view value, int width,
                   std::string_view ending) {
  std::string line(text);
  std::string v(value.substr(0, static_cast<std::size_t>(width) < value.size()
                                    ? static_cast<std::size_t>(width)
                                    : value.size()));
  v.resize(static_cast<std::size_t>(width), ' ');
  line.append(v);
  line.append(ending);
  msgerr_(mdoc, line);
}

void library_limit(int32_t mdoc, std::string_view text, std::string_view id,
                   std::string_view separator, int32_t limit, std::string_view constant) {
  std::string head(text);
  head.append(id);
  head.append(separator);
  dictionary::full_table(mdoc, head, limit, " /lib. limit/", constant);
}

namespace {

// The head of a library row's error line: the file being read, the entry
// and the atoms of the row.
std::string row_head(std::string_view entry, std::string_view atoms) {
  const std::string file = libcom.lmi_iun > 0 ? rt::unit_file_name(libcom.lmi_iun) : std::string();
  // Appended piece by piece, the "?" for no file among them: g++ 12 at -O2
  // takes an assignment of "?" to the name, or a chain of string +, for an
  // overlapping copy and warns (-Wrestrict) where there is none.
  std::string head = "ERROR: library file ";
  head.append(file.empty() ? std::string_view("?") : std::string_view(file))
      .append(", ")
      .append(entry)
      .append(", atoms ")
      .append(atoms)
      .append(": ");
  return head;
}

// The widest numbers the written fields hold: F8.3 from -999.999 to
// 9999.999, I3 from -99 to 999 (a larger one is written as asterisks).
// The value bounds are compared in double: as floats they would round onto
// the widest numbers that still fit.
constexpr double kValueLow = -999.9995, kValueHigh = 9999.9995;
constexpr int32_t kPeriodLow = -99, kPeriodHigh = 999;

}  // namespace

bool row_number(const FillItem& f, std::string_view entry, std::string_view atoms, RowNumber kind,
                bool absent_ok, float& value) {
  float v = 0.0f;
  int32_t period = 0;
  // A period is an integer item: 3.5 cut to 3 would restrain another torsion.
  const coords::CifNumber n = kind == RowNumber::kPeriod ? coords::cif_integer(f.data, period)
                                                         : coords::cif_number(f.data, 0.0f, v);
  if (kind == RowNumber::kPeriod) v = static_cast<float>(period);
  const double d = v;
  auto quoted = [&](std::string_view reason) {
    return std::string(f.item) + " \"" + std::string(f.data) + "\" " + std::string(reason);
  };
  std::string why;
  if (n == coords::CifNumber::kNoNumber || (n == coords::CifNumber::kAbsent && !absent_ok))
    why = kind == RowNumber::kPeriod ? coords::cif_no_integer(f.item, f.data)
                                     : coords::cif_no_number(f.item, f.data);
  else if (kind == RowNumber::kPeriod && !(period >= kPeriodLow && period <= kPeriodHigh))
    why = quoted("is too large for its field (-99 to 999)");
  else if (kind != RowNumber::kPeriod && !(d > kValueLow && d < kValueHigh))
    why = quoted("is too large for its field (-999.999 to 9999.999)");
  else if (kind == RowNumber::kEsd && v < 0.0f)
    why = quoted("is below 0");
  if (!why.empty()) {
    msgerr_(f.mdoc, row_head(entry, atoms) + why);
    return false;
  }
  value = v;
  return true;
}

void row_without(const FillItem& f, std::string_view entry, std::string_view atoms,
                 std::string_view item) {
  msgerr_(f.mdoc, row_head(entry, atoms) + "the row has no " + std::string(item));
}

void full_table(int32_t mdoc, std::string_view head, int32_t limit, std::string_view tail,
                std::string_view constant) {
  foundation::table_full(mdoc, head, limit, tail, foundation::TableLimit{constant, "lib_com", 1});
}

}  // namespace dictionary
