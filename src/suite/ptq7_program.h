// The run's identity (program name, version, RCS date), its verbosity level,
// its clock and the times line, conditional printing and the banner.
#pragma once

#include <cstdint>
#include <string>

inline constexpr const char* PTQ7_VERSION = "5.0";
inline constexpr const char* PTQ7_PATCH_LEVEL = "5.0.2";

// Non-null: store a copy (at most 79 characters) and return it; null: the stored value.
const char* ptq7ProgramName(const char* name);
const char* ptq7_prog_vers(const char* version);
// Non-null: derive the date 'dd/mm/yy' from an RCS keyword or a 'yyyy/mm/dd' text.
const char* ptq7RCSDate(const char* text);
// 0..9 sets the level; any value returns the level in force.
int ptq7VerbosityLevel(int level);
// printf when level <= the verbosity level; the count printed, or 0.
int ptq7printf(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Non-zero: start the run clock.  Zero: print the times line when started,
// else start the clock silently.
void ptq7ProgramTime(int init);
void ptq7_banner();

// User and system CPU seconds of the process; returns their sum.
double ptq7_utils_etime(float times[2]);
std::string ptq7_utils_time();  // 'hh:mm:ss'
void ptq7_utils_itime(int32_t t[3]);
std::string ptq7_utils_date();  // 'dd/mm/yyyy', numbers blank-padded
void ptq7_utils_idate(int32_t d[3]);

// The times line for given CPU seconds and elapsed wall seconds.
std::string ptq7_times_line(float user, float system, long elapsed);
// Back to the state at process start (name, version, date, level, clock).
void ptq7_program_reset_for_tests();
