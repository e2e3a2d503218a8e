// Readers of the library index and of the candidate pool.  Both files are
// read in fixed columns; the capacities of the index (5000 entries) and of
// the pool (3499 records, the last pointer being the query slot of the
// graph search, and 1600000 words) are checked before anything is stored.
#include "dictionary/lib_index.h"

#include <cstring>
#include <string>
#include <string_view>

#include "dictionary/lib_com.h"
#include "dictionary/lib_fill_util.h"
#include "dictionary/libcom.h"
#include "foundation/atom_com.h"
#include "foundation/file_open.h"
#include "foundation/messages.h"
#include "runtime/units.h"

com_match_pool_t com_match_pool;

namespace {

// Integer of columns [first, first + width) of line; a blank field reads as
// 0.  False when the field holds anything but an optionally signed number.
bool field_int(std::string_view line, std::size_t first, std::size_t width, int64_t& v) {
  v = 0;
  std::string_view f = first - 1 < line.size() ? line.substr(first - 1, width) : std::string_view();
  while (!f.empty() && f.front() == ' ') f.remove_prefix(1);
  while (!f.empty() && (f.back() == ' ' || f.back() == '\r')) f.remove_suffix(1);
  if (f.empty()) return true;
  bool neg = false;
  if (f.front() == '-' || f.front() == '+') {
    neg = f.front() == '-';
    f.remove_prefix(1);
  }
  if (f.empty() || f.size() > 12) return false;
  for (char c : f) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (neg) v = -v;
  return true;
}

std::string_view columns(std::string_view line, std::size_t first, std::size_t width) {
  return first - 1 < line.size() ? line.substr(first - 1, width) : std::string_view();
}

// Reads `n` values of `width` columns, `per_line` a line, into put(k, value).
template <typename Put>
bool read_values(int32_t iun, int32_t n, int per_line, int width, std::string& line, Put put) {
  for (int32_t k = 1; k <= n;) {
    if (rt::read_record(iun, line) != rt::IOSTAT_OK) return false;
    for (int j = 0; j < per_line && k <= n; ++j, ++k) {
      int64_t v = 0;
      if (!field_int(line, static_cast<std::size_t>(j * width + 1), static_cast<std::size_t>(width), v) ||
          !put(k, v))
        return false;
    }
  }
  return true;
}

void pool_damaged(int32_t mdoc, int32_t& ierr) {
  msgerr_(mdoc, " ERROR: candidate pool of the library index is damaged or cut short");
  com_match_pool.match_nmon = 0;
  ierr = 1;
}

bool read_pool_unformatted(int32_t iun, int32_t& nmon, int32_t& mem, std::string& bytes) {
  if (rt::read_unformatted(iun, bytes) != rt::IOSTAT_OK || bytes.size() < 8) return false;
  std::memcpy(&nmon, bytes.data(), 4);
  std::memcpy(&mem, bytes.data() + 4, 4);
  return true;
}

}  // namespace

void lib_read_index2_(int32_t mdoc, int32_t iun, char form, int32_t& ierr) {
  com_match_pool_t& p = com_match_pool;
  ierr = 0;
  std::string line;
  int32_t nmon = 0, mem = 0;
  const bool unformatted = form == 'U';
  if (unformatted) {
    if (!read_pool_unformatted(iun, nmon, mem, line)) nmon = mem = 0;
  } else if (rt::read_record(iun, line) == rt::IOSTAT_OK) {
    int64_t a = 0, b = 0;
    if (field_int(line, 1, 5, a) && field_int(line, 6, 12, b) && a < (1 << 30) && b < (1 << 30)) {
      nmon = static_cast<int32_t>(a);
      mem = static_cast<int32_t>(b);
    }
  }
  if (nmon <= 0 || mem <= 0) {
    p.match_nmon = 0;
    ierr = 1;
    return;
  }
  if (mem > maxmpool) {
    msgerr_(mdoc, " ERROR: in LIB_CREATE_INDEX2: Insufficient memory:");
    p.match_nmon = 0;
    ierr = 1;
    return;
  }
  // The pointer after the last record is the query slot of the graph search.
  if (nmon > maxmponter - 1) {
    dictionary::full_table(mdoc, " ERROR: number of records in the candidate pool >", maxmponter - 1, " /lib. limit/", "maxmponter");
    p.match_nmon = 0;
    ierr = 1;
    return;
  }
  bool ok = true;
  if (unformatted) {
    ok = rt::read_unformatted(iun, line) == rt::IOSTAT_OK &&
         line.size() >= static_cast<std::size_t>(nmon) * 4;
    for (int32_t k = 1; ok && k <= nmon; ++k) {
      int32_t v = 0;
      std::memcpy(&v, line.data() + 4 * (k - 1), 4);
      ok = v >= 1 && v <= mem;
      p.match_pointer(k) = v;
    }
    ok = ok && rt::read_unformatted(iun, line) == rt::IOSTAT_OK &&
         line.size() >= static_cast<std::size_t>(mem) * 2;
    for (int32_t k = 1; ok && k <= mem; ++k) {
      int16_t v = 0;
      std::memcpy(&v, line.data() + 2 * (k - 1), 2);
      p.match_pool(k) = v;
    }
  } else {
    ok = read_values(iun, nmon, 10, 8, line, [&](int32_t k, int64_t v) {
           p.match_pointer(k) = static_cast<int32_t>(v);
           return v >= 1 && v <= mem;
         }) &&
         read_values(iun, mem, 20, 4, line, [&](int32_t k, int64_t v) {
           p.match_pool(k) = static_cast<int16_t>(v);
           return v >= -32768 && v <= 32767;
         });
  }
  if (!ok) {
    pool_damaged(mdoc, ierr);
    return;
  }
  p.match_nmon = nmon;
  p.mem_tot = mem;
}

void get_index_(int32_t mdoc, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  const libcom_t& lc = libcom;
  ierr = 0;
  r.lmx_nmon = 0;
  if (lc.lin_file.len_trim() < 1 || lc.lin_file(1) == ' ' || lc.lin_file(1) == ',') return;
  int32_t iun = 0;
  openfr_(iun, 99, lc.lin_path.trimmed(), lc.lin_file.trimmed(), lc.lin_ext.trimmed(), ierr);
  if (ierr != 0) {
    msgerr_(mdoc, std::string(" ERROR: can\"t open (index) ") +
                      std::string(lc.lin_file.view().substr(0, 229)));
    return;
  }
  crdinf.cro_iun = iun;
  std::string line1, line2;
  bool warned = false;
  for (;;) {
    if (rt::read_record(iun, line1) != rt::IOSTAT_OK) break;
    int64_t seq = 0, natom = 0;
    if (!field_int(line1, 1, 4, seq) || !field_int(line1, 18, 4, natom)) break;
    if (rt::read_record(iun, line2) != rt::IOSTAT_OK) break;
    if (r.lmx_nmon >= MAXMLIST) {
      if (!warned)
        dictionary::full_table(mdoc, " ERROR: number of monomers in the library index >", MAXMLIST, " /lib. limit/ (the rest is not read)", "MAXMLIST");
      warned = true;
      break;
    }
    const int32_t k = ++r.lmx_nmon;
    r.lmx_mname(k) = columns(line1, 9, 8);
    r.lmx_natom(k) = static_cast<int32_t>(natom);
    r.lmx_content(k) = columns(line1, 23, 30);
    r.lmx_index(k) = columns(line1, 54, 24);
    r.lmx_pair(k) = columns(line2, 18, 24);
  }
  rt::unit_close(iun);
  std::string name(lc.lin_file.trimmed());
  name.push_back('2');
  if (name.size() > 256) name.resize(256);
  openfr_(iun, 99, lc.lin_path.trimmed(), name, lc.lin_ext.trimmed(), ierr);
  if (ierr != 0) {
    msgerr_(mdoc, std::string(" ERROR: can\"t open (index2) ") + name.substr(0, 228));
    return;
  }
  crdinf.cro_iun = iun;
  lib_read_index2_(mdoc, iun, 'F', ierr);
  rt::unit_close(iun);
}
