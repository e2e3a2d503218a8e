// Code-base entries of the suite library: the start-up, the end-of-run
// message, and opening numbered units on logical names.
#include "suite/library_f.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/units.h"
#include "suite/library_err.h"
#include "suite/library_utils.h"
#include "suite/ptq7_errno.h"
#include "suite/ptq7_general.h"
#include "suite/ptq7_html.h"
#include "suite/ptq7_parser.h"
#include "suite/ptq7_program.h"

namespace {

// Each argument is fetched in a field of this many characters.
constexpr std::size_t MAX_ARGUMENT = 500;
// ptqerr_ copies at most this many characters of its message.
constexpr std::size_t MAX_MESSAGE = 127;

std::vector<std::string> registered_args;
// Tidy routines registered by the parts of the library that hold records.
constexpr int kMaxTidy = 8;
void (*tidy_routines[kMaxTidy])() = {};
int n_tidy = 0;

const char* const status_words[] = {"UNKNOWN", "SCRATCH", "OLD", "NEW", "READONLY", "PRINTER"};
const char* const type_words[] = {"F", "U", "DF", "DU"};

// The first `width` characters of `word`, blank-padded and upper-cased.
std::string key_of(std::string_view word, std::size_t width) {
  std::string k(word.substr(0, std::min(width, word.size())));
  k.resize(width, ' ');
  return strtoupper(k.c_str());
}

std::string padded(const char* word, std::size_t width) {
  std::string s(word);
  s.resize(std::max(width, s.size()), ' ');
  return s;
}

std::string i_field(int value, int width) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%*d", width, value);
  if (static_cast<int>(std::strlen(buf)) > width) return std::string(width, '*');
  return buf;
}

}  // namespace

void ptq7_command_line(int argc, const char* const* argv) {
  registered_args.clear();
  for (int i = 0; i < argc; ++i) registered_args.emplace_back(argv[i] ? argv[i] : "");
}

void ptqfyp_(int argc, const char* const* argv) {
  if (ptq7_utils_outbuf() != 0) std::printf("OUTBUF:Can't turn off output buffering\n");
  if (ptq7_utils_noinpbuf() != 0) std::printf("NOINPBUF:Can't turn off input buffering\n");

  std::vector<std::string> args;
  args.reserve(argc > 0 ? argc : 1);
  for (int i = 0; i < argc; ++i) {
    std::string a(argv[i] ? argv[i] : "");
    a.resize(ptq7_utils_flength(a));
    // An argument is held in a field of MAX_ARGUMENT characters; a longer one
    // (a file name, say) cut there could name another file, so the run ends.
    if (a.size() > MAX_ARGUMENT)
      ptqerror(1, ("Command-line argument " + std::to_string(i) + " is longer than " +
                   std::to_string(MAX_ARGUMENT) + " characters")
                      .c_str());
    args.push_back(std::move(a));
  }
  if (args.empty()) args.emplace_back("");
  std::vector<const char*> list;
  for (const auto& a : args) list.push_back(a.c_str());

  const int r = ptq7fyp(static_cast<int>(list.size()), list.data());
  if (r != 0) ptqerror(r, ptq7_strerror(ptq7_errno));
  ptq7h_init_lib_(0, 0);
}

void ptqfyp_() {
  std::vector<const char*> list;
  for (const auto& a : registered_args) list.push_back(a.c_str());
  ptqfyp_(static_cast<int>(list.size()), list.data());
}

void ptq7f_register_tidy(void (*tidy)()) {
  for (int i = 0; i < n_tidy; ++i)
    if (tidy_routines[i] == tidy) return;
  if (n_tidy == kMaxTidy) {
    std::fprintf(stderr, "ptq7f_register_tidy: more than %d tidy routines\n", kMaxTidy);
    std::abort();
  }
  tidy_routines[n_tidy++] = tidy;
}

void ptq7f_mem_tidy() {
  for (int i = 0; i < n_tidy; ++i) tidy_routines[i]();
}

void ptqerr_(int32_t level, std::string_view message) {
  const std::string copy(message.substr(0, std::min(MAX_MESSAGE, message.size())));
  const int32_t mag = level < 0 ? -level : level;
  if (mag < 3) ptq7h_summary_beg_();
  if (level == 0 || level == 1) ptq7f_mem_tidy();
  ptqerror(level, copy.c_str());
  if (mag <= 2) ptq7h_summary_end_();
}

int32_t ptqnun_() {
  const int unit = rt::free_unit(7, 99);
  if (unit == 0) ptqerr_(1, "PTQNUN: Can't find an unused unit");
  return unit;
}

void ptqdpn_(int32_t& iun, std::string_view lognam, std::string_view status,
             std::string_view type, int32_t lrec, int32_t& ifail) {
  if (iun == 0) iun = ptqnun_();

  const std::string skey = key_of(status, 8);
  int32_t istat = 0;
  for (int k = 0; k < 6; ++k)
    if (skey == padded(status_words[k], 8)) istat = k + 1;
  if (istat == 0) ptqerr_(1, std::string(" PTQDPN: illegal status : ") + std::string(status));

  const std::string tkey = key_of(type, 2);
  int32_t itype = 0;
  for (int k = 0; k < 4; ++k)
    if (tkey == padded(type_words[k], 2)) itype = k + 1;
  if (itype == 0) ptqerr_(1, std::string(" PTQDPN: illegal type: ") + std::string(type));

  int32_t unit = iun;
  if (ifail < 0 && iun > 0) {
    ifail = 0;
    unit = -iun;
  }
  ptqopn_(unit, lognam, istat, itype, lrec, ifail);
}

void ptqopn_(int32_t iun, std::string_view lognam, int32_t istat, int32_t itype, int32_t lrec,
             int32_t& ifail) {
  if (istat < 1 || istat > 6 || itype < 1 || itype > 4) {
    if (ifail != 0) {
      std::printf(" **PTQOPN ERROR** Invalid parameters in call\n\n");
      ifail = -1;
      return;
    }
    ptqerr_(1, "**PTQOPN ERROR** Invalid parameters in call");
  }

  if (rt::text_eq(lognam, "DATA") || rt::text_eq(lognam, "PRINTER") ||
      lognam.substr(0, 4) == "TERM")
    return;

  const bool logged = iun > 0;
  const int unit = iun < 0 ? -iun : iun;
  const std::string name = ptq7_FtoCString(lognam);

  const char* open_status = istat == 1 || istat == 2 || istat == 6 ? "UNKNOWN"
                            : istat == 4                           ? "NEW"
                                                                   : "OLD";
  if (istat == 4) {
    const char* po = std::getenv("PTQ7_OPEN");
    if (po && std::strcmp(po, "UNKNOWN") == 0) open_status = "UNKNOWN";
  }

  rt::FixedText<255> value;
  ugtenv_(name, value);
  std::string file(value.trimmed());
  if (file.empty()) file = name;
  if (file.empty())
    ptqerr_(1, " Open failed on unit " + i_field(unit, 4) + ": PTQOPN has received a blank filename.");
  if (file == "NL:" || file == "nl:") file = "/dev/null";
  if (file == "/dev/null") open_status = "UNKNOWN";

  const bool formatted = itype == 1 || itype == 3 || (istat == 6 && itype == 2);
  const bool direct = itype == 3 || itype == 4;
  rt::OpenOptions opt;
  opt.status = std::strcmp(open_status, "NEW") == 0   ? rt::OpenStatus::New
               : std::strcmp(open_status, "OLD") == 0 ? rt::OpenStatus::Old
                                                      : rt::OpenStatus::Unknown;
  opt.form = formatted ? rt::Form::Formatted : rt::Form::Unformatted;
  opt.access = direct ? rt::Access::Direct : rt::Access::Sequential;
  opt.recl = direct ? lrec * 4 : 0;
  opt.readonly = istat == 5;

  errno = 0;
  const int iostat = rt::unit_open(unit, file, opt);
  const int open_errno = errno;
  const std::string form_text = padded(formatted ? "FORMATTED" : "UNFORMATTED", 12);
  const std::string status_text = padded(istat == 2 ? "SCRATCH" : open_status, 7);

  if (iostat == 0) {
    // The unit keeps the file open; unlinking now removes it when the unit closes.
    if (istat == 2) ::unlink(file.c_str());
    if (logged) {
      qprint_(1, " ");
      qprint_(1, form_text + "   " + status_text + " file opened on unit " + i_field(unit, 3));
      ptq7h_summary_beg_();
      qprint_(1, "Logical name: " + name + ", Filename: " + file);
      ptq7h_summary_end_();
      qprint_(1, " ");
    }
    return;
  }

  errno = open_errno;
  rt::FixedText<256> errtext;
  int32_t st = 0;
  ugerr_(st, errtext);
  if (ifail == 0) {
    std::printf(" Open failed: Unit:%s, File: %s (logical: %s)\n", i_field(unit, 4).c_str(),
                file.c_str(), name.c_str());
    ptqerr_(-1, " Open failed: File: " + file);
  } else if (ifail == 1) {
    std::printf(" **PTQOPN ERROR**  %s   %s file open failure on unit %s\n", form_text.c_str(),
                status_text.c_str(), i_field(unit, 3).c_str());
    std::printf(" Logical name: %s, File name: %s\n", name.c_str(), file.c_str());
    std::printf(" %s\n", std::string(errtext.trimmed()).c_str());
    ifail = -1;
  } else {
    ifail = -1;
  }
}

void ugtenv_(std::string_view name, rt::TextRef value) {
  const std::string n = ptq7_FtoCString(name);
  const char* v = std::getenv(n.c_str());
  value.assign(v ? std::string_view(v) : std::string_view());
}

void ugerr_(int32_t& status, rt::TextRef text) {
  if (errno == 0)
    text.fill(' ');
  else
    text.assign(std::strerror(errno));
  if (status < 0) {
    status = -status;
    std::printf(" UGERR: %s\n", std::string(text.trimmed()).c_str());
  }
}

int32_t lunsto_() { return 6; }

void ubytes_(int32_t& n, rt::TextRef word) {
  n = 4;
  word.assign("BYTES");
}

bool ptqexs_(std::string_view name) {
  const std::string n = ptq7_FtoCString(name);
  const char* v = std::getenv(n.c_str());
  return ptqexists(v ? v : n.c_str()) != 0;
}
