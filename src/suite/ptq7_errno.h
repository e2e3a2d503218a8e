// Error words of the suite library and the signal routine that reports them.
// A word packs the library id (bits 24-31), the level (bits 16-19) and the
// message index (bits 0-15).  Reporting a word ends the run only at level 4.
#pragma once

#include <cstdint>

// Library ids.
inline constexpr int32_t PTQ7_ERRNO_SYSTEM = 0;
inline constexpr int32_t PTQ7_ERRNO_FILE = 1;
inline constexpr int32_t PTQ7_ERRNO_MTZ = 3;
inline constexpr int32_t PTQ7_ERRNO_MAP = 4;
inline constexpr int32_t PTQ7_ERRNO_UTILS = 5;
inline constexpr int32_t PTQ7_ERRNO_PARS = 6;
inline constexpr int32_t PTQ7_ERRNO_SYM = 7;
inline constexpr int32_t PTQ7_ERRNO_GENERAL = 8;

// Levels.
inline constexpr int32_t PTQ7_LEVEL_SUCCESS = 0;
inline constexpr int32_t PTQ7_LEVEL_INFO = 1;
inline constexpr int32_t PTQ7_LEVEL_WARNING = 2;
inline constexpr int32_t PTQ7_LEVEL_ERROR = 3;
inline constexpr int32_t PTQ7_LEVEL_FATAL = 4;

constexpr int32_t ptq7_error_word(int32_t library, int32_t level, int32_t index) {
  return static_cast<int32_t>((static_cast<uint32_t>(library) << 24) |
                              ((static_cast<uint32_t>(level) & 0xF) << 16) |
                              (static_cast<uint32_t>(index) & 0xFFFF));
}
constexpr int32_t ptq7_error_library(int32_t word) {
  return static_cast<int32_t>((static_cast<uint32_t>(word) >> 24) & 0xFF);
}
constexpr int32_t ptq7_error_level(int32_t word) {
  return static_cast<int32_t>((static_cast<uint32_t>(word) >> 16) & 0xF);
}
constexpr int32_t ptq7_error_index(int32_t word) {
  return static_cast<int32_t>(static_cast<uint32_t>(word) & 0xFFFF);
}

// The last error word reported (0 at start).
extern int32_t ptq7_errno;

// Reports `word` on standard output, naming the routine `place` (may be
// null), then calls `callback` (may be null) and returns its result (0 when
// there is none).  Level 4 ends the run with status 1.  With the library
// error verbosity at 0 the word is only stored.
int ptq7_signal(int32_t word, const char* place, int (*callback)());

// n >= 0 sets the library error verbosity; always returns the value in force.
int ptq7_liberr_verbosity(int n);

// Message text of an error word (system text for id 0 or word -1).
const char* ptq7_strerror(int32_t word);

// Message and the text of the last error word on standard error.
void ptq7_error(const char* message);
// ptq7_error, then the run ends with status 1.
[[noreturn]] void ptq7_fatal(const char* message);
// File layer's text of the last error word on standard error; its index or -1.
int CFile_Perror(const char* message);
