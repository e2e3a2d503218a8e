// Machine stamps and number conversion: the integer and real formats of a
// binary file, the 4-byte stamp that records them, the environment switches
// that override it, and the typed transfers that convert item by item
// between the file's formats and those of the running machine.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

struct LibraryFile;

// Format codes: 1 big-endian IEEE / big-endian integers, 2 VAX F-floating,
// 4 little-endian IEEE / little-endian integers, 5 Convex native F-floating.
inline constexpr int PTQ7_FORMAT_BE = 1;
inline constexpr int PTQ7_FORMAT_VAX = 2;
inline constexpr int PTQ7_FORMAT_LE = 4;
inline constexpr int PTQ7_FORMAT_CONVEX = 5;

// The formats of the machine the code is built for.
inline constexpr int PTQ7_NATIVE_REAL_FORMAT =
    std::endian::native == std::endian::little ? PTQ7_FORMAT_LE : PTQ7_FORMAT_BE;
inline constexpr int PTQ7_NATIVE_INT_FORMAT = PTQ7_NATIVE_REAL_FORMAT;

// Writes the stamp at the handle's stamp offset; 0 or -1.
int ptq7_file_warch(LibraryFile* file);
// The file's formats as int_format * 256 + real_format (read from the stamp
// unless NATIVEMTZ or CONVERT_FROM is set); -1 on failure.
int ptq7_file_rarch(LibraryFile* file);
// Both formats from one code; the old int_format * 256 + real_format, or 0.
int ptq7_file_setbyte(LibraryFile* file, int code);

// Typed transfers: counts in items; the number transferred or -1.
int ptq7_file_readchar(LibraryFile* file, void* buffer, std::size_t n);
int ptq7_file_readshort(LibraryFile* file, void* buffer, std::size_t n);
int ptq7_file_readfloat(LibraryFile* file, void* buffer, std::size_t n);
int ptq7_file_readshortcomp(LibraryFile* file, void* buffer, std::size_t n);
int ptq7_file_readcomp(LibraryFile* file, void* buffer, std::size_t n);
int ptq7_file_readint(LibraryFile* file, void* buffer, std::size_t n);
int ptq7_file_writechar(LibraryFile* file, const void* buffer, std::size_t n);
int ptq7_file_writeshort(LibraryFile* file, const void* buffer, std::size_t n);
int ptq7_file_writefloat(LibraryFile* file, const void* buffer, std::size_t n);
int ptq7_file_writeshortcomp(LibraryFile* file, const void* buffer, std::size_t n);
int ptq7_file_writecomp(LibraryFile* file, const void* buffer, std::size_t n);
int ptq7_file_writeint(LibraryFile* file, const void* buffer, std::size_t n);

// In-place conversion of n 4-byte reals; the IEEE side is big-endian.
void ieeeF2convexF(unsigned char* buffer, std::size_t n);
void convexF2ieeeF(unsigned char* buffer, std::size_t n);
void ieeeF2vaxF(unsigned char* buffer, std::size_t n);
void vaxF2ieeeF(unsigned char* buffer, std::size_t n);

namespace reflections {

// Formats of a new handle: native, or those named by CONVERT_FROM.
void initial_formats(LibraryFile* file);

}  // namespace reflections
