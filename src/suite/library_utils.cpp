// Small services of the suite library and their code-base entries.
#include "suite/library_utils.h"

#include <pwd.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "runtime/run.h"
#include "suite/library_err.h"
#include "suite/ptq7_errno.h"

namespace {

constexpr uint32_t MISSING_WORD = 0xFFFA5A5Au;

uint32_t bits_of(const float* f) {
  uint32_t u;
  std::memcpy(&u, f, sizeof u);
  return u;
}

// Octal mode text of 1..4 characters, each character's lowest three bits one digit.
mode_t mode_of(const char* text) {
  const std::size_t n = text ? std::strlen(text) : 0;
  if (n < 1 || n > 4) return 07777;
  mode_t m = 0;
  for (std::size_t i = 0; i < n; ++i) m = (m << 3) | (static_cast<unsigned char>(text[i]) & 7u);
  return m;
}

}  // namespace

std::string ptq7_FtoCString(std::string_view text) {
  return std::string(text.substr(0, ptq7_utils_flength(text)));
}

void ptq7_CtoFString(rt::TextRef dest, const char* text) {
  dest.assign(text ? std::string_view(text) : std::string_view());
}

int ptq7_utils_flength(std::string_view text) {
  int n = static_cast<int>(text.size());
  while (n > 0 && text[n - 1] == ' ') --n;
  return n;
}

namespace {

[[noreturn]] void allocation_failed(const char* routine) {
  const int saved = errno;
  std::fflush(stdout);
  const std::string prefix = std::string("Failure in ") + routine;
  errno = saved;
  std::perror(prefix.c_str());
  rt::stop_run(1);
}

}  // namespace

// A null result for a size of 0 is the system's own answer, not a failure.
void* ptq7_utils_malloc(std::size_t size) {
  void* p = std::malloc(size);
  if (p == nullptr && size != 0) allocation_failed("ptq7_utils_malloc");
  return p;
}

void* ptq7_utils_calloc(std::size_t count, std::size_t size) {
  void* p = std::calloc(count, size);
  if (p == nullptr && count != 0 && size != 0) allocation_failed("ptq7_utils_calloc");
  return p;
}

void* ptq7_utils_realloc(void* pointer, std::size_t size) {
  void* p = std::realloc(pointer, size);
  if (p == nullptr && size != 0) allocation_failed("ptq7_utils_realloc");
  return p;
}

std::string ptq7_utils_joinfilenames(const std::string& dir, const std::string& name) {
  return dir + "/" + name;
}

std::string ptq7_utils_pathname(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ptq7_utils_basename(const std::string& path) {
  const auto slash = path.rfind('/');
  std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  const auto dot = base.rfind('.');
  if (dot != std::string::npos) base.resize(dot);
  return base;
}

std::string ptq7_utils_extension(const std::string& path) {
  const auto slash = path.rfind('/');
  const auto dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return path.substr(dot + 1);
}

int ptq7_utils_setenv(const char* text) {
  const char* eq = text ? std::strchr(text, '=') : nullptr;
  if (!eq) {
    ptq7_errno = ptq7_error_word(PTQ7_ERRNO_UTILS, 0, EINVAL);
    return -1;
  }
  const std::string name(text, eq);
  if (::setenv(name.c_str(), eq + 1, 1) != 0) {
    ptq7_errno = ptq7_error_word(PTQ7_ERRNO_UTILS, 0, errno);
    return -1;
  }
  return 0;
}

std::string ptq7_utils_username() {
  if (const char* login = ::getlogin()) return login;
  if (const passwd* pw = ::getpwuid(::getuid())) return pw->pw_name;
  return "";
}

int ptq7_utils_chmod(const char* path, const char* mode) { return ::chmod(path, mode_of(mode)); }

int ptq7_utils_mkdir(const char* path, const char* mode) {
  if (::mkdir(path, mode_of(mode)) == 0) return 0;
  return errno == EEXIST ? 1 : -1;
}

int ptq7_utils_outbuf() {
  // stdout may only be re-buffered before its first use; later calls keep
  // the buffering already in force.
  static bool done = false;
  static char buffer[80];
  if (done) return 0;
  done = true;
  return std::setvbuf(stdout, buffer, _IOLBF, sizeof buffer);
}

int ptq7_utils_noinpbuf() {
  static bool done = false;
  if (done) return 0;
  done = true;
  return std::setvbuf(stdin, nullptr, _IONBF, 0);
}

void ptq7_utils_print(const char* text) { std::printf("%s\n", text ? text : ""); }

void ptq7_utils_hgetlimits(int32_t& imax, double& fmax) {
  imax = 2147483647;
  fmax = 3.4028235e38;
}

int ptq7_native_ft() { return 1; }

void ptq7_nan(float* word) { std::memcpy(word, &MISSING_WORD, sizeof MISSING_WORD); }

int ptq7_utils_isnan(const float* word) {
  const uint32_t u = bits_of(word);
  switch (ptq7_native_ft()) {
    case 1:
    case 4:
      return (u & 0x7F800000u) == 0x7F800000u;
    case 2:
      return (u & 0xFF80u) == 0x8000u;
    case 5:
      return (u & 0xFF800000u) == 0x80000000u;
    default:
      ptq7_fatal("PTQ7_UTILS_ISNAN: bad nativeFT");
  }
}

void ptq7_utils_wrg(int n, const float* row, float* ranges) {
  for (int i = 0; i < n; ++i) {
    if (ptq7_utils_isnan(&row[i]) || row[i] <= -1.0e10f) continue;
    if (row[i] < ranges[2 * i]) ranges[2 * i] = row[i];
    if (row[i] > ranges[2 * i + 1]) ranges[2 * i + 1] = row[i];
  }
}

void ptq7_utils_bml(int n, float* row) {
  for (int i = 0; i < n; ++i)
    if (!ptq7_utils_isnan(&row[i]) && row[i] <= -1.0e10f) row[i] = 0.0f;
}

int ptq7_utils_translate_mode_float(float* out, const void* in, int n, int mode) {
  switch (mode) {
    case 0: {
      const auto* p = static_cast<const unsigned char*>(in);
      for (int i = 0; i < n; ++i) out[i] = static_cast<float>(p[i]);
      return n;
    }
    case 1: {
      const auto* p = static_cast<const uint16_t*>(in);
      for (int i = 0; i < n; ++i) out[i] = static_cast<float>(p[i]);
      return n;
    }
    case 3: {
      const auto* p = static_cast<const uint16_t*>(in);
      for (int i = 0; i < n; ++i)
        out[i] = static_cast<float>(std::sqrt(double(p[2 * i]) * p[2 * i] + double(p[2 * i + 1]) * p[2 * i + 1]));
      return n;
    }
    case 4: {
      const auto* p = static_cast<const float*>(in);
      for (int i = 0; i < n; ++i)
        out[i] = static_cast<float>(std::sqrt(double(p[2 * i]) * p[2 * i] + double(p[2 * i + 1]) * p[2 * i + 1]));
      return n;
    }
    default:
      return 0;
  }
}

// Code-base entries.

void ptqupc_(rt::TextRef text) {
  for (int i = 0; i < text.n; ++i)
    text.p[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(text.p[i])));
}

void ptqlwc_(rt::TextRef text) {
  for (int i = 0; i < text.n; ++i)
    text.p[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(text.p[i])));
}

void ustenv_(std::string_view text, int32_t& istat) {
  const std::string t = ptq7_FtoCString(text);
  istat = ptq7_utils_setenv(t.c_str());
}

void cchmod_(std::string_view file, std::string_view mode, int32_t& istat) {
  istat = ptq7_utils_chmod(ptq7_FtoCString(file).c_str(), ptq7_FtoCString(mode).c_str());
}

void cmkdir_(std::string_view dir, std::string_view mode, int32_t& istat) {
  istat = ptq7_utils_mkdir(ptq7_FtoCString(dir).c_str(), ptq7_FtoCString(mode).c_str());
}

void cunlink_(std::string_view name) {
  if (::unlink(ptq7_FtoCString(name).c_str()) != 0) std::printf("CUNLINK: Can't unlink\n");
}

void outbuf_() {
  if (ptq7_utils_outbuf() != 0) std::printf("OUTBUF:Can't turn off buffering\n");
}

bool isatty_(int32_t n) { return ::isatty(n) == 1; }

void gerror_(rt::TextRef text) {
  if (errno == 0)
    text.fill(' ');
  else
    text.assign(std::strerror(errno));
}

int32_t ustime_() { return static_cast<int32_t>(::time(nullptr)); }

void hgetlimits_(int32_t& imax, float& fmax) {
  double f;
  ptq7_utils_hgetlimits(imax, f);
  fmax = static_cast<float>(f);
}

void qnan_(float& x) { ptq7_nan(&x); }

bool qisnan_(const float& x) { return ptq7_utils_isnan(&x) != 0; }

void ptqwrg_(int32_t n, const float* row, float* ranges) { ptq7_utils_wrg(n, row, ranges); }

void ptqbml_(int32_t n, float* row) { ptq7_utils_bml(n, row); }

void ptqal1_(void (*routine)(int32_t n, const int32_t* sizes, void* const* arrays), int32_t n,
             const int32_t* types, const int32_t* sizes) {
  if (n < 1 || n > 12) return;
  std::vector<std::unique_ptr<unsigned char[]>> owned(n);
  std::vector<void*> arrays(n);
  for (int i = 0; i < n; ++i) {
    int elem = 4;
    if (types[i] == 3 || types[i] == 4) elem = 8;
    if (types[i] == 5) elem = 2;
    const std::size_t bytes = static_cast<std::size_t>(sizes[i] > 0 ? sizes[i] : 0) * elem;
    owned[i].reset(new (std::nothrow) unsigned char[bytes > 0 ? bytes : 1]());
    if (!owned[i]) ptq7_fatal("PTQALC: can't allocate memory");
    arrays[i] = owned[i].get();
  }
  routine(n, sizes, arrays.data());
}
