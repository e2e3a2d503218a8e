// Error words of the suite library: the message tables, the signal routine
// and the plain error printers.
#include "suite/ptq7_errno.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "runtime/run.h"

int32_t ptq7_errno = 0;

namespace {

int liberr_verbosity = 1;

const char* const level_names[] = {"Success", "Informational", "Warning", "Error", "FATAL ERROR"};

const char* const file_messages[] = {
    "Error 0",    "Bad mode",    "Cannot open file",    "Too many open files",
    "Read failed", "Write failed", "Close fail",         "Seek fail",
    "Null pointer passed", "End of File", "No fileFile not open", "Unlink failed"};

const char* const mtz_messages[] = {
    "Error 0",
    "Unassigned unit",
    "Null file handle, file not opened",
    "Logical name does not exist",
    "Cannot open file",
    "No associated header",
    "Read failed",
    "Write failed",
    "Function parameter is incorrect",
    "Invalid cell dimensions",
    "File stamp error",
    "Symmetry",
    "Cannot allocate memory",
    "Too many open files",
    "Failed to initialise parser",
    "File not identified as MTZ",
    "Missing or incomplete dataset information in input file.",
    "No architecture information in file.",
    "Attempt to access unallocated dataset",
    "Input MTZ file has incorrect version",
    "MTZ header is corrupted: missing tokens in SYMINF record",
    "MTZ header is corrupted: missing tokens in COLUMN record",
    "Batch headers corrupted"};

const char* const map_messages[] = {"Error 0",
                                    "Unassigned unit",
                                    "Unassigned unit or disposed file",
                                    "Logical name does not exist",
                                    "Cannot open file",
                                    "No associated header",
                                    "Read failed",
                                    "Write failed",
                                    "Parameter or dimension is incorrect    ",
                                    "Unrecognised keyword",
                                    "File stamp error",
                                    "Symmetry",
                                    "Cannot allocate memory",
                                    "Too many open files"};

const char* const parser_messages[] = {"Error 0",
                                       "Maximum number of tokens exceeded",
                                       "Cannot allocate memory",
                                       "Null pointer",
                                       "Line is longer than allocated length, so truncated",
                                       "Failed to open external command file",
                                       "Failed to get name for external file",
                                       "Overflow - exponent is too big to be evaluated",
                                       "Underflow - exponent is too small to be evaluated",
                                       "Problem in mat4_to_symop",
                                       "Failed to interpret symop string"};

const char* const sym_messages[] = {"Error 0",
                                    "Failed to initialise parser",
                                    "Cannot find SYMINFO file - no symmetry information",
                                    "Pointer to spacegroup structure is NULL",
                                    "ASU definition not found for this spacegroup",
                                    "Undefined Laue code for this spacegroup"};

const char* const general_messages[] = {"Error 0",
                                        "Cannot allocate memory",
                                        "Cannot set environment variable",
                                        "Maximum number of logical names exceeded",
                                        "Use: -e filename",
                                        "Use: -d filename",
                                        "Use: <logical name> <file name>",
                                        "Cannot open environ.def",
                                        "Cannot open default.def",
                                        "Cannot parse environ.def file",
                                        "Cannot parse default.def file",
                                        "Cannot find input file",
                                        "Failed to set path for environ.def file",
                                        "Failed to set path for default.def file",
                                        "Cannot get CLIBD from environment",
                                        "Cannot get PTQ7_SCR from environment",
                                        "Cannot read input file: permission denied",
                                        "Input file is a directory"};

struct Library {
  const char* name;
  int count;
  const char* const* messages;
};

template <int N>
constexpr Library lib(const char* name, const char* const (&m)[N]) {
  return {name, N, m};
}

const Library libraries[] = {
    {"system", 0, nullptr},
    lib("library_file", file_messages),
    {"", 0, nullptr},
    lib("mtz", mtz_messages),
    lib("ptq7_map", map_messages),
    {"utils", 0, nullptr},
    lib("ptq7_parser", parser_messages),
    lib("csym", sym_messages),
    lib("ptq7_general", general_messages),
};
constexpr int n_libraries = sizeof(libraries) / sizeof(libraries[0]);

const char* level_name(int32_t word) {
  const int32_t level = ptq7_error_level(word);
  return level <= PTQ7_LEVEL_FATAL ? level_names[level] : "bad level";
}

}  // namespace

int ptq7_liberr_verbosity(int n) {
  if (n >= 0) liberr_verbosity = n;
  return liberr_verbosity;
}

const char* ptq7_strerror(int32_t word) {
  if (word == -1 || ptq7_error_library(word) == PTQ7_ERRNO_SYSTEM) return std::strerror(errno);
  const int32_t id = ptq7_error_library(word);
  if (id >= n_libraries) return "bad system error";
  const int32_t index = ptq7_error_index(word);
  if (index >= libraries[id].count) return "bad error code";
  return libraries[id].messages[index];
}

int ptq7_signal(int32_t word, const char* place, int (*callback)()) {
  ptq7_errno = word;
  if (liberr_verbosity == 0) return 0;
  const int32_t id = ptq7_error_library(word);
  // The level rides in brackets after the text; level 0 says "Success",
  // which beside an error only misleads, so it is left out.
  const std::string level =
      ptq7_error_level(word) == 0 ? std::string() : std::string(" (") + level_name(word) + ")";
  if (id != PTQ7_ERRNO_SYSTEM) {
    const char* name = id < n_libraries ? libraries[id].name : "unknown";
    if (place)
      std::printf(">>>>>> PTQ7 library signal %s:%s%s\n\t raised in %s <<<<<<\n", name,
                  ptq7_strerror(word), level.c_str(), place);
    else
      std::printf(">>>>>> PTQ7 library signal %s:%s%s <<<<<<\n", name, ptq7_strerror(word),
                  level.c_str());
  } else {
    const int sys = errno;
    if (place)
      std::printf(">>>>>> System signal %d:%s%s\n\t raised in %s <<<<<<\n", sys,
                  std::strerror(sys), level.c_str(), place);
    else
      std::printf(">>>>>> System signal %d:%s%s <<<<<<", sys, std::strerror(sys), level.c_str());
    ptq7_errno = sys;
  }
  int result = 0;
  if (callback) result = callback();
  if (ptq7_error_level(word) == PTQ7_LEVEL_FATAL) rt::stop_run(1);
  return result;
}

void ptq7_error(const char* message) {
  const char* msg = message ? message : "";
  std::fflush(stdout);
  std::fprintf(stderr, "%s%s%s\n", msg, msg[0] ? ": " : "", ptq7_strerror(ptq7_errno));
  if (ptq7_errno != -1 && ptq7_error_library(ptq7_errno) != PTQ7_ERRNO_SYSTEM) {
    const int32_t id = ptq7_error_library(ptq7_errno);
    std::fprintf(stderr, "System: %s\nLevel: %d\n", id < n_libraries ? libraries[id].name : "",
                 ptq7_error_level(ptq7_errno));
    if (errno != 0) std::fprintf(stderr, "Last system message: %s\n", std::strerror(errno));
  }
}

void ptq7_fatal(const char* message) {
  ptq7_error(message);
  rt::stop_run(1);
}

int CFile_Perror(const char* message) {
  const int32_t index = ptq7_error_index(ptq7_errno);
  constexpr int count = sizeof(file_messages) / sizeof(file_messages[0]);
  if (index != 0 && index < count) {
    const char* msg = message ? message : "";
    std::fprintf(stderr, "%s%s%s \n", msg, message ? ": " : "", file_messages[index]);
    return index;
  }
  std::fprintf(stderr, "Unknown error code\n");
  return -1;
}
