// Platform helpers and the empty call points of the code base.
#include "foundation/hooks.h"

#include <ctime>
#include <string>

#include "foundation/messages.h"
#include "runtime/units.h"
#include "suite/library_f.h"

void get_path_(int32_t /*mdoc*/, std::string_view name, rt::TextRef path, int32_t& ierr) {
  ierr = 0;
  rt::FixedText<256> value;
  ugtenv_(name, value);
  if (value.is_blank()) ugtenv_("CLIBD_MON", value);
  path.assign(value.view());
}

void displ_bl_(std::string_view line) {
  int n = rt::len_trim(line);
  if (n > 79) n = 79;
  std::string rec(1, ' ');
  rec.append(line.substr(0, n));
  rt::write_record(6, rec);
}

void clock_(int32_t* ih) {
  const std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  ih[0] = 0;
  ih[1] = t.tm_sec;
  ih[2] = t.tm_min;
  ih[3] = t.tm_hour;
  ih[4] = t.tm_mday;
  ih[5] = t.tm_mon + 1;
  ih[6] = t.tm_year + 1900;
}

void getnos_(rt::TextRef ch3) { ch3.assign("UNX"); }

void set_unit_corr_() {}
void set_link_corr_() {}
void wrt_batch_(std::string_view /*line*/) {}
void close_batch_(int32_t /*m*/) {}
void finish_() {}

void opendoc_(int32_t /*mmdoc*/) { comlib.idoc = 0; }

void creat_vdw_rest_(int32_t /*mdoc*/, std::string_view /*nameo*/, float /*cutoff*/,
                     float /*dmin*/, int32_t& ierr) {
  ierr = 0;
}

void kavlin_clean_up_files_() {}
