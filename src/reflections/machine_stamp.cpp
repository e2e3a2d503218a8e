// Machine stamps and number conversion.  Reads convert in place after one raw
// read; writes without conversion are one raw write, writes that convert go
// through a small buffer so that the caller's data is never changed.
#include "reflections/machine_stamp.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "reflections/library_file.h"

namespace reflections {

namespace {

enum class Kind { bytes, integers, reals };

struct EnvFormats {
  const char* name;
  uint8_t int_format;
  uint8_t real_format;
};

constexpr EnvFormats convert_from_names[] = {
    {"BEIEEE", PTQ7_FORMAT_BE, PTQ7_FORMAT_BE},
    {"LEIEEE", PTQ7_FORMAT_LE, PTQ7_FORMAT_LE},
    {"VAX", PTQ7_FORMAT_LE, PTQ7_FORMAT_VAX},
    {"CONVEXNATIVE", PTQ7_FORMAT_BE, PTQ7_FORMAT_CONVEX},
};

bool convertible_int(int format) { return format == PTQ7_FORMAT_BE || format == PTQ7_FORMAT_LE; }

bool convertible_real(int format) {
  return format == PTQ7_FORMAT_BE || format == PTQ7_FORMAT_VAX || format == PTQ7_FORMAT_LE ||
         format == PTQ7_FORMAT_CONVEX;
}

void reverse_units(unsigned char* p, std::size_t units, std::size_t unit) {
  for (std::size_t i = 0; i < units; ++i, p += unit)
    for (std::size_t a = 0, b = unit - 1; a < b; ++a, --b) std::swap(p[a], p[b]);
}

// Reals of `format` to big-endian IEEE, in place.
void reals_to_be(int format, unsigned char* p, std::size_t n) {
  if (format == PTQ7_FORMAT_VAX) vaxF2ieeeF(p, n);
  if (format == PTQ7_FORMAT_LE) reverse_units(p, n, 4);
  if (format == PTQ7_FORMAT_CONVEX) convexF2ieeeF(p, n);
}

// Big-endian IEEE reals to `format`, in place.
void reals_from_be(int format, unsigned char* p, std::size_t n) {
  if (format == PTQ7_FORMAT_VAX) ieeeF2vaxF(p, n);
  if (format == PTQ7_FORMAT_LE) reverse_units(p, n, 4);
  if (format == PTQ7_FORMAT_CONVEX) ieeeF2convexF(p, n);
}

bool usable(LibraryFile* f, bool reading, const char* place) {
  if (f == nullptr) {
    file_signal(8, place);
    return false;
  }
  if (!(reading ? f->read : f->write) || f->io_status != 0) {
    file_signal(1, place);
    return false;
  }
  if (switch_direction(f, reading ? 2u : 1u) != 0) {
    file_system_signal(place);
    return false;
  }
  return true;
}

// unit: bytes of one convertible unit (2 or 4); item: bytes of one item.
int typed_read(LibraryFile* f, void* buffer, std::size_t n, std::size_t item, std::size_t unit,
               Kind kind, const char* place) {
  if (!usable(f, true, place)) return -1;
  const std::size_t bytes = n * item;
  auto* p = static_cast<unsigned char*>(buffer);
  const int r = ptq7_file_raw_read(f, reinterpret_cast<char*>(p), bytes);
  if (r < 0 || static_cast<std::size_t>(r) != bytes) {
    file_system_signal(place);
    if (f->stream != nullptr && !std::feof(f->stream)) return -1;
  }
  if (kind == Kind::bytes) return r;
  const int count = r / static_cast<int>(item);
  if (count <= 0) return count;
  const std::size_t units = static_cast<std::size_t>(count) * item / unit;
  if (kind == Kind::integers) {
    if (f->int_format == PTQ7_NATIVE_INT_FORMAT) return count;
    if (!convertible_int(f->int_format)) {
      file_signal(1, place);
      return -1;
    }
    reverse_units(p, units, unit);
    return count;
  }
  if (f->real_format == PTQ7_NATIVE_REAL_FORMAT) return count;
  if (!convertible_real(f->real_format)) {
    file_signal(1, place);
    return -1;
  }
  reals_to_be(f->real_format, p, units);
  reals_from_be(PTQ7_NATIVE_REAL_FORMAT, p, units);
  return count;
}

int typed_write(LibraryFile* f, const void* buffer, std::size_t n, std::size_t item,
                std::size_t unit, Kind kind, const char* place) {
  if (!usable(f, false, place)) return -1;
  const auto* src = static_cast<const char*>(buffer);
  const bool native =
      kind == Kind::bytes || (kind == Kind::integers ? f->int_format == PTQ7_NATIVE_INT_FORMAT
                                                     : f->real_format == PTQ7_NATIVE_REAL_FORMAT);
  std::size_t written = 0;
  if (native) {
    const int put = ptq7_file_raw_write(f, src, n * item);
    written = put < 0 ? 0 : static_cast<std::size_t>(put);
  } else {
    if (kind == Kind::integers ? !convertible_int(f->int_format)
                               : !convertible_real(f->real_format)) {
      file_signal(1, place);
      return -1;
    }
    // Converted copies go out a block at a time.
    constexpr std::size_t block_bytes = 4096;
    unsigned char tmp[block_bytes];
    const std::size_t per_block = block_bytes / item;
    for (std::size_t done = 0; done < n;) {
      const std::size_t k = std::min(per_block, n - done);
      const std::size_t bytes = k * item;
      std::memcpy(tmp, src + done * item, bytes);
      if (kind == Kind::integers) {
        reverse_units(tmp, bytes / unit, unit);
      } else {
        reals_to_be(PTQ7_NATIVE_REAL_FORMAT, tmp, bytes / 4);
        reals_from_be(f->real_format, tmp, bytes / 4);
      }
      const int put = ptq7_file_raw_write(f, reinterpret_cast<const char*>(tmp), bytes);
      written += put < 0 ? 0 : static_cast<std::size_t>(put);
      if (put < 0 || static_cast<std::size_t>(put) != bytes) break;
      done += k;
    }
  }
  const std::size_t count = written / item;
  if (count < n) file_system_signal(place);
  return static_cast<int>(count);
}

// Convex bytes (big-endian layout) of one big-endian IEEE real.
void ieee_to_convex(unsigned char* b) {
  const int e = ((b[0] & 0x7F) << 1) | (b[1] >> 7);
  const unsigned char sign = b[0] & 0x80;
  if (e >= 1 && e <= 253) {
    b[0] = static_cast<unsigned char>(b[0] + 1);
  } else if (e == 254) {
    b[0] = 0x80;
    b[1] = b[2] = b[3] = 0;
  } else if (e == 255) {
    b[0] = 0x80;
    b[1] &= 0x7F;
  } else if (b[1] & 0x40) {
    const uint32_t frac = ((static_cast<uint32_t>(b[1] & 0x7F) << 16) | (b[2] << 8) | b[3]) << 1;
    b[0] = static_cast<unsigned char>(sign | 1);
    b[1] = static_cast<unsigned char>((frac >> 16) & 0x7F);
    b[2] = static_cast<unsigned char>(frac >> 8);
    b[3] = static_cast<unsigned char>(frac);
  } else if (b[1] & 0x20) {
    const uint32_t frac = ((static_cast<uint32_t>(b[1] & 0x7F) << 16) | (b[2] << 8) | b[3]) << 2;
    b[0] = sign;
    b[1] = static_cast<unsigned char>(frac >> 16);
    b[2] = static_cast<unsigned char>(frac >> 8);
    b[3] = static_cast<unsigned char>(frac);
  } else {
    b[0] = b[1] = b[2] = b[3] = 0;
  }
}

// Big-endian IEEE bytes of one Convex real (big-endian layout).
void convex_to_ieee(unsigned char* b) {
  const int e = ((b[0] & 0x7F) << 1) | (b[1] >> 7);
  if (e == 0 && b[0] == 0) {
    b[1] = b[2] = b[3] = 0;
  } else if (e >= 3) {
    b[0] = static_cast<unsigned char>(b[0] - 1);
  } else if (e == 1 || e == 2) {
    const int s = 3 - e;
    const unsigned char b1 = b[1], b2 = b[2], b3 = b[3];
    b[0] &= 0x80;
    b[1] = static_cast<unsigned char>(((b1 & 0x7F) >> s) | (0x10 << e));
    b[2] = static_cast<unsigned char>((b1 << (5 + e)) | (b2 >> s));
    b[3] = static_cast<unsigned char>((b2 << (5 + e)) | (b3 >> s));
  } else {
    b[0] = 0xFF;
    b[1] |= 0x80;
  }
}

}  // namespace

void initial_formats(LibraryFile* file) {
  file->int_format = PTQ7_NATIVE_INT_FORMAT;
  file->real_format = PTQ7_NATIVE_REAL_FORMAT;
  if (std::getenv("NATIVEMTZ") != nullptr) return;
  const char* from = std::getenv("CONVERT_FROM");
  if (from == nullptr) return;
  file->int_format = 0;
  file->real_format = 0;
  for (const auto& e : convert_from_names)
    if (std::strcmp(from, e.name) == 0) {
      file->int_format = e.int_format;
      file->real_format = e.real_format;
    }
}

}  // namespace reflections

using reflections::file_signal;
using reflections::file_system_signal;

int ptq7_file_warch(LibraryFile* file) {
  if (file == nullptr) {
    file_signal(8, "ptq7_file_warch");
    return -1;
  }
  const char stamp[4] = {static_cast<char>((file->real_format << 4) | file->real_format),
                         static_cast<char>((file->int_format << 4) | 1), 0, 0};
  if (ptq7_file_raw_seek(file, file->stamp_offset, SEEK_SET) < 0 ||
      ptq7_file_raw_write(file, stamp, 4) != 4) {
    file_system_signal("ptq7_file_warch");
    return -1;
  }
  return 0;
}

int ptq7_file_rarch(LibraryFile* file) {
  if (file == nullptr) {
    file_signal(8, "ptq7_file_rarch");
    return -1;
  }
  if (std::getenv("NATIVEMTZ") != nullptr)
    return PTQ7_NATIVE_INT_FORMAT * 256 + PTQ7_NATIVE_REAL_FORMAT;
  if (std::getenv("CONVERT_FROM") != nullptr) return ptq7_file_byte(file);
  unsigned char stamp[4];
  if (ptq7_file_raw_seek(file, file->stamp_offset, SEEK_SET) < 0 ||
      ptq7_file_raw_read(file, reinterpret_cast<char*>(stamp), 4) != 4) {
    file_system_signal("ptq7_file_rarch");
    return -1;
  }
  file->real_format = static_cast<uint8_t>(stamp[0] >> 4);
  file->int_format = static_cast<uint8_t>(stamp[1] >> 4);
  return ptq7_file_byte(file);
}

int ptq7_file_setbyte(LibraryFile* file, int code) {
  if (file == nullptr) {
    file_signal(8, "ptq7_file_setbyte");
    return -1;
  }
  const int old = ptq7_file_byte(file);
  int int_format;
  switch (code) {
    case PTQ7_FORMAT_BE:
    case PTQ7_FORMAT_CONVEX:
      int_format = PTQ7_FORMAT_BE;
      break;
    case PTQ7_FORMAT_VAX:
    case PTQ7_FORMAT_LE:
      int_format = PTQ7_FORMAT_LE;
      break;
    default:
      file_signal(1, "ptq7_file_setbyte");
      return 0;
  }
  file->int_format = static_cast<uint8_t>(int_format);
  file->real_format = static_cast<uint8_t>(code);
  return old;
}

using reflections::Kind;

int ptq7_file_readchar(LibraryFile* file, void* buffer, std::size_t n) {
  return reflections::typed_read(file, buffer, n, 1, 1, Kind::bytes, "ptq7_file_readchar");
}
int ptq7_file_readshort(LibraryFile* file, void* buffer, std::size_t n) {
  return reflections::typed_read(file, buffer, n, 2, 2, Kind::integers, "ptq7_file_readshort");
}
int ptq7_file_readfloat(LibraryFile* file, void* buffer, std::size_t n) {
  return reflections::typed_read(file, buffer, n, 4, 4, Kind::reals, "ptq7_file_readfloat");
}
int ptq7_file_readshortcomp(LibraryFile* file, void* buffer, std::size_t n) {
  return reflections::typed_read(file, buffer, n, 4, 2, Kind::integers, "ptq7_file_readshortcomp");
}
int ptq7_file_readcomp(LibraryFile* file, void* buffer, std::size_t n) {
  return reflections::typed_read(file, buffer, n, 8, 4, Kind::reals, "ptq7_file_readcomp");
}
int ptq7_file_readint(LibraryFile* file, void* buffer, std::size_t n) {
  return reflections::typed_read(file, buffer, n, 4, 4, Kind::integers, "ptq7_file_readint");
}
int ptq7_file_writechar(LibraryFile* file, const void* buffer, std::size_t n) {
  return reflections::typed_write(file, buffer, n, 1, 1, Kind::bytes, "ptq7_file_writechar");
}
int ptq7_file_writeshort(LibraryFile* file, const void* buffer, std::size_t n) {
  return reflections::typed_write(file, buffer, n, 2, 2, Kind::integers, "ptq7_file_writeshort");
}
int ptq7_file_writefloat(LibraryFile* file, const void* buffer, std::size_t n) {
  return reflections::typed_write(file, buffer, n, 4, 4, Kind::reals, "ptq7_file_writefloat");
}
int ptq7_file_writeshortcomp(LibraryFile* file, const void* buffer, std::size_t n) {
  return reflections::typed_write(file, buffer, n, 4, 2, Kind::integers,
                                  "ptq7_file_writeshortcomp");
}
int ptq7_file_writecomp(LibraryFile* file, const void* buffer, std::size_t n) {
  return reflections::typed_write(file, buffer, n, 8, 4, Kind::reals, "ptq7_file_writecomp");
}
int ptq7_file_writeint(LibraryFile* file, const void* buffer, std::size_t n) {
  return reflections::typed_write(file, buffer, n, 4, 4, Kind::integers, "ptq7_file_writeint");
}

void ieeeF2convexF(unsigned char* buffer, std::size_t n) {
  if (buffer == nullptr) return;
  for (std::size_t i = 0; i < n; ++i) reflections::ieee_to_convex(buffer + 4 * i);
}

void convexF2ieeeF(unsigned char* buffer, std::size_t n) {
  if (buffer == nullptr) return;
  for (std::size_t i = 0; i < n; ++i) reflections::convex_to_ieee(buffer + 4 * i);
}

void ieeeF2vaxF(unsigned char* buffer, std::size_t n) {
  if (buffer == nullptr) return;
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char* b = buffer + 4 * i;
    reflections::ieee_to_convex(b);
    std::swap(b[0], b[1]);
    std::swap(b[2], b[3]);
  }
}

void vaxF2ieeeF(unsigned char* buffer, std::size_t n) {
  if (buffer == nullptr) return;
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char* b = buffer + 4 * i;
    std::swap(b[0], b[1]);
    std::swap(b[2], b[3]);
    reflections::convex_to_ieee(b);
  }
}
