// Conversion between the two date forms of coordinate-file headers.
#include "foundation/dates.h"

#include <cstdint>
#include <cstring>

#include "runtime/format.h"

namespace {

const char* const kMonths[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                 "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

char at(std::string_view s, int i) { return i >= 1 && i <= static_cast<int>(s.size()) ? s[i - 1] : ' '; }

}  // namespace

void chng_date_(std::string_view ch9, rt::TextRef ch10) {
  char out[10];
  if (at(ch9, 1) == 'X') {
    ch10.assign("XXXX-XX-XX");
    return;
  }
  const char y = at(ch9, 8);
  const bool this_century = y == '0' || y == '1' || y == '2';
  out[0] = this_century ? '2' : '1';
  out[1] = this_century ? '0' : '9';
  out[2] = at(ch9, 8);
  out[3] = at(ch9, 9);
  out[4] = '-';
  int month = 1;
  const char mon[3] = {at(ch9, 4), at(ch9, 5), at(ch9, 6)};
  for (int k = 0; k < 12; ++k)
    if (std::memcmp(mon, kMonths[k], 3) == 0) {
      month = k + 1;
      break;
    }
  out[5] = static_cast<char>('0' + month / 10);
  out[6] = static_cast<char>('0' + month % 10);
  out[7] = '-';
  out[8] = at(ch9, 1);
  out[9] = at(ch9, 2);
  ch10.assign(std::string_view(out, 10));
}

void chng_date_back_(std::string_view ch10, rt::TextRef ch9) {
  if (at(ch10, 1) == 'X') {
    ch9.assign("XX-XXX-XX");
    return;
  }
  // Characters 6-7 read as a two-digit number (blanks inside the field are
  // ignored); a field that is not a number leaves 0, which becomes JAN.
  int32_t month = 0;
  const char field[2] = {at(ch10, 6), at(ch10, 7)};
  rt::read_fmt(std::string_view(field, 2), "(I2)", month);
  if (month < 1) month = 1;
  if (month > 12) month = 12;
  char out[9];
  out[0] = at(ch10, 9);
  out[1] = at(ch10, 10);
  out[2] = '-';
  std::memcpy(out + 3, kMonths[month - 1], 3);
  out[6] = '-';
  out[7] = at(ch10, 3);
  out[8] = at(ch10, 4);
  ch9.assign(std::string_view(out, 9));
}

namespace foundation {

bool pdb_date_form(std::string_view d) {
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  auto letter = [](char c) { return c >= 'A' && c <= 'Z'; };
  return d.size() >= 9 && digit(d[0]) && digit(d[1]) && d[2] == '-' && letter(d[3]) && letter(d[4]) &&
         letter(d[5]) && d[6] == '-' && digit(d[7]) && digit(d[8]);
}

}  // namespace foundation
