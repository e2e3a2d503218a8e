// The line reader.  The record is taken as a view into the unit's block of
// lines, so reading a file allocates and copies nothing per line but the
// copy into the caller's text.
#include "foundation/line_reader.h"

#include <cstring>
#include <string_view>

#include "foundation/messages.h"
#include "foundation/words.h"
#include "runtime/units.h"

namespace {

// Longest record taken from a file; the rest of a longer record is dropped.
constexpr std::size_t kMaxRecord = 1024;

}  // namespace

namespace foundation {

std::string_view next_record(int32_t unit, int32_t mdoc, int32_t& ierr, int32_t& iend) {
  std::string_view rec;
  ierr = 0;
  iend = 0;
  const int st = rt::read_record_view(unit, rec, kMaxRecord);
  if (st < 0) {
    iend = 1;
    return {};
  }
  if (st != rt::IOSTAT_OK) {
    msgdoc_(mdoc, " ERROR: read error.");
    ierr = 1;
    return {};
  }
  return rec;
}

int put_record(std::string_view rec, rt::TextRef text, bool* cut, LineEndControls* controls) {
  if (controls != nullptr) *controls = LineEndControls{};
  const int room = text.len();
  std::size_t m = rec.size() < kMaxRecord ? rec.size() : kMaxRecord;
  // Trailing blanks are dropped eight at a time first: records padded to a
  // fixed width end in dozens of them.
  const char* from = rec.data();
  for (uint64_t w; m >= 8 && (std::memcpy(&w, from + m - 8, 8), w == 0x2020202020202020ull);) m -= 8;
  while (m > 0 && from[m - 1] == ' ') --m;
  const int copied = static_cast<int>(m) < room ? static_cast<int>(m) : room;
  if (cut != nullptr) *cut = copied < static_cast<int>(m);
  if (copied >= 16) {
    // Copied in 16-character blocks: a general copy of a few dozen
    // characters costs more than the blocks.
    int j = 0;
    for (; j + 16 <= copied; j += 16) std::memcpy(text.p + j, from + j, 16);
    if (j < copied) std::memcpy(text.p + copied - 16, from + copied - 16, 16);
  } else {
    for (int j = 0; j < copied; ++j) text.p[j] = from[j];
  }
  if (m == 0) {
    text.fill(' ');
    return 0;
  }
  if (copied < room) std::memset(text.p + copied, ' ', room - copied);
  // A line-end control character (a carriage return) is cleared.
  const auto clear = [&](int k, int32_t LineEndControls::*column) {
    if (char_class(text.p[k - 1]) != '?') return;
    if (controls != nullptr && text.p[k - 1] != '\r') controls->*column = k;
    text.p[k - 1] = ' ';
  };
  if (copied >= 1) clear(copied, &LineEndControls::last);
  if (copied >= 2) clear(copied - 1, &LineEndControls::before_last);
  return rt::len_trim(std::string_view(text.p, copied));
}

int read_line(int32_t unit, int32_t mdoc, rt::TextRef text, int32_t& ierr, int32_t& iend, bool* cut,
              LineEndControls* controls) {
  if (controls != nullptr) *controls = LineEndControls{};
  const std::string_view rec = next_record(unit, mdoc, ierr, iend);
  if (ierr != 0 || iend != 0) return 0;
  return put_record(rec, text, cut, controls);
}

}  // namespace foundation

void getline_(int32_t unit, int32_t mdoc, rt::TextRef text, int32_t& ierr, int32_t& iend) {
  foundation::read_line(unit, mdoc, text, ierr, iend);
}
