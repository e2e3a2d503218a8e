// The run's identity, verbosity level and clock; the times line, the banner
// and the time and date queries, with their code-base entries.
#include "suite/ptq7_program.h"

#include <pwd.h>
#include <sys/times.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "suite/library_f.h"
#include "suite/library_utils.h"
#include "suite/ptq7_html.h"

namespace {

constexpr std::size_t MAX_NAME = 79;

std::string program_name = "PTQ7";
std::string program_version;
std::string rcs_date;
int verbosity = 1;

long clock_start = 0;
float cpu_user_start = 0;
float cpu_sys_start = 0;

float cputm_start = 0;
long tim_start = 0;
float tim_cpu_start = 0;

std::string cut(const char* s) {
  std::string r(s);
  if (r.size() > MAX_NAME) r.resize(MAX_NAME);
  return r;
}

std::tm local_now() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return tm;
}

}  // namespace

const char* ptq7ProgramName(const char* name) {
  if (name) program_name = cut(name);
  return program_name.c_str();
}

const char* ptq7_prog_vers(const char* version) {
  if (version) program_version = cut(version);
  return program_version.c_str();
}

const char* ptq7RCSDate(const char* text) {
  if (!text) return rcs_date.c_str();
  const std::string t(text);
  rcs_date.clear();
  // Positions are 1-based in the comments: '$Date: yyyy/mm/dd' and 'yyyy/mm/dd'.
  if (t.compare(0, 7, "$Date: ") == 0) {
    if (t.size() >= 17) rcs_date = t.substr(15, 2) + "/" + t.substr(12, 2) + "/" + t.substr(9, 2);
  } else if (t.size() > 10 && (t.compare(0, 2, "19") == 0 || t.compare(0, 2, "20") == 0)) {
    rcs_date = t.substr(8, 2) + "/" + t.substr(5, 2) + "/" + t.substr(2, 2);
  }
  return rcs_date.c_str();
}

int ptq7VerbosityLevel(int level) {
  if (level >= 0 && level <= 9) verbosity = level;
  return verbosity;
}

int ptq7printf(int level, const char* format, ...) {
  if (level > verbosity) return 0;
  va_list ap;
  va_start(ap, format);
  const int n = std::vprintf(format, ap);
  va_end(ap);
  return n;
}

double ptq7_utils_etime(float times[2]) {
  struct tms t {};
  ::times(&t);
  const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
  times[0] = static_cast<float>(static_cast<double>(t.tms_utime) / ticks);
  times[1] = static_cast<float>(static_cast<double>(t.tms_stime) / ticks);
  return static_cast<double>(times[0]) + static_cast<double>(times[1]);
}

std::string ptq7_times_line(float user, float system, long elapsed) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "Times: User: %9.1fs System: %6.1fs Elapsed: %5ld:%2.2ld  \n",
                static_cast<double>(user), static_cast<double>(system), elapsed / 60,
                elapsed % 60);
  return buf;
}

void ptq7ProgramTime(int init) {
  float t[2];
  if (init || clock_start == 0) {
    clock_start = static_cast<long>(std::time(nullptr));
    ptq7_utils_etime(t);
    cpu_user_start = t[0];
    cpu_sys_start = t[1];
    return;
  }
  const long elapsed = static_cast<long>(std::time(nullptr)) - clock_start;
  ptq7_utils_etime(t);
  std::fputs(ptq7_times_line(t[0] - cpu_user_start, t[1] - cpu_sys_start, elapsed).c_str(), stdout);
}

std::string ptq7_utils_time() {
  const std::tm tm = local_now();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%2.2d:%2.2d:%2.2d", tm.tm_hour, tm.tm_min, tm.tm_sec);
  return buf;
}

void ptq7_utils_itime(int32_t t[3]) {
  const std::tm tm = local_now();
  t[0] = tm.tm_hour;
  t[1] = tm.tm_min;
  t[2] = tm.tm_sec;
}

std::string ptq7_utils_date() {
  const std::tm tm = local_now();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%2d/%2d/%4d", tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900);
  return buf;
}

void ptq7_utils_idate(int32_t d[3]) {
  const std::tm tm = local_now();
  d[0] = tm.tm_mday;
  d[1] = tm.tm_mon + 1;
  d[2] = tm.tm_year + 1900;
}

void ptq7_banner() {
  char version[64];
  std::snprintf(version, sizeof version, "version %-10s",
                program_version.empty() ? PTQ7_VERSION : program_version.c_str());
  const std::string hashes(63, '#');
  std::printf(" \n");
  for (int i = 0; i < 3; ++i) std::printf(" %s\n", hashes.c_str());
  std::printf(" ### PTQ7 %3s: %-17s  %-18s: %-8s##\n", PTQ7_VERSION, program_name.c_str(),
              version, rcs_date.c_str());
  std::printf(" %s\n", hashes.c_str());
  std::printf(" User: %s  Run date: %s Run time: %s \n\n\n", ptq7_utils_username().c_str(),
              ptq7_utils_date().c_str(), ptq7_utils_time().c_str());
  std::printf(" Please reference the suite in any publication of results obtained with it.\n");
  std::printf(" The programs and their library are described in the suite's documentation;\n");
  std::printf(" cite the program's own reference as well where it has one.\n");
}

void ptq7_program_reset_for_tests() {
  program_name = "PTQ7";
  program_version.clear();
  rcs_date.clear();
  verbosity = 1;
  clock_start = 0;
}

// Code-base entries.

void getelapsed_() { ptq7ProgramTime(0); }

void ptqpnm_(rt::TextRef name) { name.assign(program_name); }

void ptq7_prog_version_(rt::TextRef version, int32_t mode) {
  if (mode == 0)
    ptq7_prog_vers(ptq7_FtoCString(version.view()).c_str());
  else
    version.assign(program_version);
}

void ptq7_version_(rt::TextRef version) { version.assign(PTQ7_VERSION); }

void qprint_(int32_t level, std::string_view text) {
  const std::string t = ptq7_FtoCString(text);
  ptq7printf(level, "%s\n", t.c_str());
}

void utime_(rt::TextRef time) { time.assign(ptq7_utils_time()); }

void ptqdat_(rt::TextRef date) {
  const std::tm tm = local_now();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%2d/%2d/%2.2d", tm.tm_mday, tm.tm_mon + 1,
                (tm.tm_year + 1900) % 100);
  date.assign(buf);
}

void uidate_(int32_t& month, int32_t& day, int32_t& year) {
  int32_t d[3];
  ptq7_utils_idate(d);
  day = d[0];
  month = d[1];
  year = d[2];
}

void ucputm_(float& t) {
  float tt[2];
  const float total = static_cast<float>(ptq7_utils_etime(tt));
  if (t == 0.0f) {
    cputm_start = total;
    t = total;
  } else {
    t = total - cputm_start;
  }
}

void ptqtim_(int32_t iflag, float& cpu, float& elapsed) {
  float tt[2];
  const float total = static_cast<float>(ptq7_utils_etime(tt));
  if (iflag == 0) {
    tim_start = static_cast<long>(std::time(nullptr));
    tim_cpu_start = total;
    cpu = total;
    elapsed = 0;
  } else {
    cpu = total - tim_cpu_start;
    elapsed = static_cast<float>(static_cast<long>(std::time(nullptr)) - tim_start);
  }
}

void ptqvrs_(int32_t /*unit*/, std::string_view program, std::string_view /*date*/) {
  ptq7ProgramName(ptq7_FtoCString(program).c_str());
  ptq7h_pre_beg_();
  ptq7h_summary_beg_();
  ptq7_banner();
  ptq7h_summary_end_();
}

void ptqrcs_(int32_t /*unit*/, std::string_view program, std::string_view datekeyword) {
  ptq7ProgramName(ptq7_FtoCString(program).c_str());
  ptq7RCSDate(ptq7_FtoCString(datekeyword).c_str());
  ptq7h_pre_beg_();
  ptq7h_summary_beg_();
  ptq7_banner();
  ptq7h_summary_end_();
}
