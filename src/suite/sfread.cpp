// The scattering-factor file reader.  Each entry of the file is five records:
// the identifier (columns 1-6), then iwt, nel and c, the four a, the four b,
// and the copper and molybdenum anomalous terms, in fixed columns.
#include "suite/sfread.h"

#include <cctype>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/run.h"
#include "runtime/units.h"
#include "suite/library_f.h"

namespace {

constexpr int kUnit = 45;
constexpr int kEntryRecords = 5;
// The last field of an entry's last record ends in this column.
constexpr std::size_t kLastColumn = 64;

// The file named, and what is wrong with it, before the run ends.
[[noreturn]] void read_failure(const std::string& what) {
  std::printf(" Logical name: ATOMSF, File name: %s\n %s\n", rt::unit_file_name(kUnit).c_str(),
              what.c_str());
  ptqerr_(1, "Error reading library file");
  rt::stop_run(1);  // not reached: a level-1 end of run does not return
}

// A library cut short loses every entry past the cut without a word: an
// element among them is not found, falls back to nitrogen, and the run
// writes its atoms as nitrogen under a status of success.  So the whole
// file is looked at once, when it is opened: it must hold an entry and end
// with a whole one.  A last line without its newline that stops short of
// its last field was cut inside it.  Blank lines at the end are no entry.
// Empty where the file is sound, else what is wrong with it.
std::string library_fault(const std::string& file) {
  std::FILE* fp = rt::open_input_file(file);
  if (!fp) return std::string("The file cannot be read: ") + std::strerror(errno);
  long lines = 0;
  long used = 0;  // lines up to the last that is not blank
  std::size_t length = 0, used_length = 0;
  bool blank = true, open_line = false, last_open = false;
  for (int ch; (ch = std::getc(fp)) != EOF;) {
    if (ch != '\n') {
      open_line = true;
      ++length;
      if (ch != ' ' && ch != '\t' && ch != '\r') blank = false;
      continue;
    }
    ++lines;
    if (!blank) {
      used = lines;
      used_length = length;
      last_open = false;
    }
    length = 0;
    blank = true;
    open_line = false;
  }
  if (open_line && !blank) {
    used = lines + 1;
    used_length = length;
    last_open = true;
  }
  const bool failed = std::ferror(fp) != 0;
  std::fclose(fp);
  if (failed) return "The file cannot be read";
  if (used == 0) return "The file holds no entry";
  if (used % kEntryRecords != 0 || (last_open && used_length < kLastColumn))
    return "The file ends inside an entry (cut short)";
  return {};
}

// One fixed-column field: blank reads as zero; anything but a number is a read error.
double field(const std::string& rec, int first, int last) {
  char buf[32];
  int n = 0;
  for (int col = first; col <= last && col <= static_cast<int>(rec.size()); ++col) {
    const char ch = rec[col - 1];
    if (ch != ' ' && n < 31) buf[n++] = ch;
  }
  if (n == 0) return 0.0;
  buf[n] = '\0';
  char* end = nullptr;
  const double v = std::strtod(buf, &end);
  // "nan", "inf" or a number past a float read as numbers, but no entry of
  // the file can hold one: the values are taken as floats and integers.
  if (*end != '\0' || !(std::fabs(v) <= FLT_MAX))
    read_failure("A field of an entry is no number: " + std::string(buf));
  return v;
}

// An integer field: a number that is not a whole one in range is a read error.
int32_t int_field(const std::string& rec, int first, int last) {
  const double v = field(rec, first, last);
  if (v < -2147483648.0 || v > 2147483647.0) read_failure("A field of an entry is no integer");
  return static_cast<int32_t>(v);
}

void next_record(std::string& rec) {
  const int st = rt::read_record(kUnit, rec);
  if (st < 0) read_failure("The file ends inside an entry (cut short)");
  if (st > 0) read_failure("A record cannot be read");
}

// Four values in columns 3-16, 19-32, 35-48 and 51-64.
void four_values(const std::string& rec, float* out) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<float>(field(rec, 3 + 16 * i, 16 + 16 * i));
}

bool identifier_matches(const std::string& rec, const char* key, int len, int32_t ng) {
  auto at = [&](int i) -> char {
    return i < static_cast<int>(rec.size())
               ? static_cast<char>(std::toupper(static_cast<unsigned char>(rec[i])))
               : ' ';
  };
  if (len == 1) {
    // A one-letter key must not take 'NA' or 'NI' for 'N'.
    const char second = at(1);
    if (at(0) != key[0] || !(second == '+' || second == '-' || second == ' ')) return false;
  } else {
    for (int i = 0; i < len; ++i)
      if (at(i) != key[i]) return false;
  }
  return ng != 2 || at(5) != ' ';
}

}  // namespace

void sfread2_(rt::TextRef id, int32_t ng, float* a, float* b, float& c, int32_t& iwt,
              int32_t& nel, float* cu, float* mo, int32_t& ifail) {
  char key[4] = {' ', ' ', ' ', ' '};
  for (int i = 0; i < 4 && i < id.n; ++i) {
    id.p[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(id.p[i])));
    key[i] = id.p[i] == '\0' ? ' ' : id.p[i];
  }

  if (!rt::unit_is_open(kUnit)) {
    int32_t unit = kUnit;
    int32_t open_fail = 1;
    ptqdpn_(unit, "ATOMSF", "READONLY", "F", 0, open_fail);
    if (open_fail < 0) ptqerr_(1, "Error opening library file");
    if (const std::string fault = library_fault(rt::unit_file_name(kUnit)); !fault.empty())
      read_failure(fault);
  } else {
    rt::unit_rewind(kUnit);
  }

  ifail = -1;
  int len = 4;
  while (len > 0 && key[len - 1] == ' ') --len;
  std::string rec;
  std::string data[4];
  for (; len >= 1; --len) {
    rt::unit_rewind(kUnit);
    for (;;) {
      const int st = rt::read_record(kUnit, rec);
      if (st < 0) break;
      if (st > 0) read_failure("A record cannot be read");
      if (!identifier_matches(rec, key, len, ng)) {
        for (int r = 0; r < 4; ++r) {
          const int s2 = rt::read_record(kUnit, data[0]);
          if (s2 < 0) break;
          if (s2 > 0) read_failure("A record cannot be read");
        }
        continue;
      }
      for (std::string& d : data) next_record(d);
      iwt = int_field(data[0], 3, 10);
      nel = int_field(data[0], 13, 20);
      c = static_cast<float>(field(data[0], 23, 36));
      four_values(data[1], a);
      four_values(data[2], b);
      float anom[4];
      four_values(data[3], anom);
      cu[0] = anom[0];
      cu[1] = anom[1];
      mo[0] = anom[2];
      mo[1] = anom[3];
      ifail = 0;
      return;
    }
    if (len == 1) break;
    ptqerr_(4, " No match for atom ID " + std::string(key, len) + " subtracting one character ");
    key[len - 1] = ' ';
    for (int i = len; i <= id.n; ++i) id.p[i - 1] = ' ';
  }
  ptqerr_(4, " No match for atom ID " + std::string(key, 1) + " giving up! ");
  ifail = -1;
}
