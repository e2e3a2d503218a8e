// Run start-up: switches, the environment and defaults definition files, and
// command-line pairs of logical name and file name turned into environment
// variables holding full file names.
#pragma once

#include <string>
#include <vector>

// One row of the logical-name table read from environ.def.
struct Ptq7LogicalName {
  std::string pattern;
  std::string type;       // "in", "out", "scr", ... or "undef"
  std::string extension;  // default extension, without the point
};

inline constexpr int PTQ7_MAX_LOGICAL_NAMES = 150;

// 0 on success, 1 or -1 on failure (the error word stays in ptq7_errno).
int ptq7fyp(int argc, const char* const* argv);
// Resolves one logical name; from_default is 1 for default.def lines.
int ptq7setenv(const std::string& name, const std::string& value,
               std::vector<Ptq7LogicalName>& table, int from_default);
// 1 on success, 0 on failure.
int ptqputenv(const char* name, const char* value);
// 1 when the file can be opened for reading.
int ptqexists(const char* path);
