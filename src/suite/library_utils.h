// Small services of the suite library: text conversion between blank-padded
// fields and terminated texts, file-name splitting, environment, file modes
// and directories, the missing-number marker and column-range helpers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/fixed_text.h"

// Copy of a blank-padded text without its trailing blanks.
std::string ptq7_FtoCString(std::string_view text);
// Into a blank-padded field: null gives blanks, longer texts are cut.
void ptq7_CtoFString(rt::TextRef dest, const char* text);
// Length without trailing blanks (0 when all blank).
int ptq7_utils_flength(std::string_view text);

// The system allocation; a failure for a non-zero size prints the system
// error after "Failure in <routine>" and ends the run.  The code base's own
// records use owners: these serve callers that hand memory to C interfaces.
void* ptq7_utils_malloc(std::size_t size);
void* ptq7_utils_calloc(std::size_t count, std::size_t size);
void* ptq7_utils_realloc(void* pointer, std::size_t size);

std::string ptq7_utils_joinfilenames(const std::string& dir, const std::string& name);
std::string ptq7_utils_pathname(const std::string& path);   // up to the last '/'
std::string ptq7_utils_basename(const std::string& path);   // no directory, no extension
std::string ptq7_utils_extension(const std::string& path);  // after the last '.' past the last '/'

// 'NAME=value': 0 on success; -1 (error word stored) without '=' or on failure.
int ptq7_utils_setenv(const char* text);
std::string ptq7_utils_username();
// Mode from an octal text of 1..4 digits (others: 07777); the system result.
int ptq7_utils_chmod(const char* path, const char* mode);
// 0 made, 1 already there, -1 other failure.
int ptq7_utils_mkdir(const char* path, const char* mode);
int ptq7_utils_outbuf();
int ptq7_utils_noinpbuf();
void ptq7_utils_print(const char* text);
void ptq7_utils_hgetlimits(int32_t& imax, double& fmax);

// Native float format code of this build and the missing-number marker.
int ptq7_native_ft();
void ptq7_nan(float* word);
int ptq7_utils_isnan(const float* word);
void ptq7_utils_wrg(int n, const float* row, float* ranges);
void ptq7_utils_bml(int n, float* row);
int ptq7_utils_translate_mode_float(float* out, const void* in, int n, int mode);

// Code-base entries.
void ptqupc_(rt::TextRef text);
void ptqlwc_(rt::TextRef text);
void ustenv_(std::string_view text, int32_t& istat);
void cchmod_(std::string_view file, std::string_view mode, int32_t& istat);
void cmkdir_(std::string_view dir, std::string_view mode, int32_t& istat);
void cunlink_(std::string_view name);
void outbuf_();
bool isatty_(int32_t n);
void gerror_(rt::TextRef text);
int32_t ustime_();
void hgetlimits_(int32_t& imax, float& fmax);
void qnan_(float& x);
bool qisnan_(const float& x);
void ptqwrg_(int32_t n, const float* row, float* ranges);
void ptqbml_(int32_t n, float* row);
// Calls routine with n zeroed arrays of the given types and sizes, then frees
// them.  Types: 1, 2 four-byte, 3, 4 eight-byte, 5 two-byte elements.
void ptqal1_(void (*routine)(int32_t n, const int32_t* sizes, void* const* arrays), int32_t n,
             const int32_t* types, const int32_t* sizes);
