// Binary file layer: one handle type for reading and writing binary files
// item by item, through a buffered stream or straight through a descriptor,
// with 64-bit positions.  Failures are reported as file-layer error words
// (library 1) and the result of each operation (-1, 0 or null).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

struct LibraryFile;

// Typed transfer routine of an item mode: counts in items.
using LibraryFileReadFn = int (*)(LibraryFile* file, void* buffer, std::size_t n);
using LibraryFileWriteFn = int (*)(LibraryFile* file, const void* buffer, std::size_t n);

struct LibraryFile {
  std::string name;        // file name given to ptq7_file_open; empty for descriptors and streams
  FILE* stream = nullptr;  // used when buffered
  int fd = -1;
  unsigned read : 1 = 0;
  unsigned write : 1 = 0;
  unsigned append : 1 = 0;
  unsigned binary : 1 = 1;
  unsigned scratch : 1 = 0;
  unsigned buffered : 1 = 1;
  unsigned seekable : 1 = 0;  // only regular files can be positioned
  unsigned open : 1 = 0;
  unsigned owned : 1 = 0;    // the layer opened the stream or descriptor and closes it
  unsigned last_op : 2 = 0;  // 0 none or seek, 1 read, 2 write
  int io_status = 0;         // last file-layer error code of this handle
  uint8_t item_mode = 2;
  uint8_t item_size = 4;
  uint8_t int_format = 0;
  uint8_t real_format = 0;
  int64_t length = 0;
  int64_t position = 0;
  int32_t stamp_offset = 0;  // bytes
  LibraryFileReadFn read_fn = nullptr;
  LibraryFileWriteFn write_fn = nullptr;
  std::unique_ptr<char[]> stream_buffer;  // a larger buffer given to the stream, if any
};

// Open flags.
inline constexpr int PTQ7_FILE_OPEN_READ = 0x00;
inline constexpr int PTQ7_FILE_OPEN_WRITE = 0x01;
inline constexpr int PTQ7_FILE_OPEN_READWRITE = 0x02;
inline constexpr int PTQ7_FILE_OPEN_APPEND = 0x08;
inline constexpr int PTQ7_FILE_OPEN_SCRATCH = 0x10;
inline constexpr int PTQ7_FILE_OPEN_TRUNCATE = 0x400;

// Item modes.
inline constexpr int PTQ7_FILE_MODE_CHAR = 0;
inline constexpr int PTQ7_FILE_MODE_SHORT = 1;
inline constexpr int PTQ7_FILE_MODE_FLOAT = 2;
inline constexpr int PTQ7_FILE_MODE_SHORTCOMP = 3;
inline constexpr int PTQ7_FILE_MODE_COMP = 4;
inline constexpr int PTQ7_FILE_MODE_INT = 6;

// Length recorded for a file that is not a regular file.
inline constexpr int64_t PTQ7_FILE_UNKNOWN_LENGTH = 0x7FFFFFFF;

// Opening: a new handle that the caller releases only with ptq7_file_close,
// or null after an error was raised.
LibraryFile* ptq7_file_open(const char* name, int flags);
LibraryFile* ptq7_file_open_fd(int fd, int flags);
LibraryFile* ptq7_file_open_file(FILE* stream, int flags);
// 0 and the handle freed, or -1 (the handle kept when closing failed).
int ptq7_file_close(LibraryFile* file);

// Closes (and frees) a handle that an owner holds.
struct LibraryFileCloser {
  void operator()(LibraryFile* file) const;
};
using LibraryFileHandle = std::unique_ptr<LibraryFile, LibraryFileCloser>;

// Raw bytes, no conversion.
int ptq7_file_raw_read(LibraryFile* file, char* buffer, std::size_t n);
int ptq7_file_raw_write(LibraryFile* file, const char* buffer, std::size_t n);
int64_t ptq7_file_raw_seek(LibraryFile* file, int64_t offset, int whence);
int ptq7_file_raw_setstamp(LibraryFile* file, std::size_t offset);

// Items of the current mode.
int ptq7_file_read(LibraryFile* file, void* buffer, std::size_t n);
int ptq7_file_write(LibraryFile* file, const void* buffer, std::size_t n);
int ptq7_file_seek(LibraryFile* file, int64_t offset, int whence);
int ptq7_file_setstamp(LibraryFile* file, std::size_t offset);
int ptq7_file_setmode(LibraryFile* file, int mode);

int64_t ptq7_file_tell(LibraryFile* file);
int64_t ptq7_file_length(LibraryFile* file);
int ptq7_file_feof(LibraryFile* file);
void ptq7_file_rewind(LibraryFile* file);
void ptq7_file_flush(LibraryFile* file);
void ptq7_file_clearerr(LibraryFile* file);
// Reports the handle's io_status on standard error; the code or 0.
int ptq7_file_error(LibraryFile* file);

// Description of the handle written into [start, end); the position after it.
char* ptq7_file_print(const LibraryFile* file, char* start, char* end);
// Message and file name through ptq7_fatal; ends the run.
[[noreturn]] void ptq7_file_fatal(const LibraryFile* file, const char* message);

// Queries.  The name is empty for a null handle or one without a name.
std::string ptq7_file_name(const LibraryFile* file);
int ptq7_file_status(const LibraryFile* file);
int ptq7_file_is_buffered(const LibraryFile* file);
int ptq7_file_is_scratch(const LibraryFile* file);
int ptq7_file_is_append(const LibraryFile* file);
int ptq7_file_is_read(const LibraryFile* file);
int ptq7_file_is_write(const LibraryFile* file);
int ptq7_file_mode(const LibraryFile* file);
int ptq7_file_itemsize(const LibraryFile* file);
int ptq7_file_byte(const LibraryFile* file);

namespace reflections {

// Raises a file-layer error word at level 3 under `place`.
void file_signal(int code, const char* place);
// Raises a system error (library 0, level 3) under `place`.
void file_system_signal(const char* place);
// Text of a file-layer code (0..12).
const char* file_error_text(int code);
// Seek by 0 from the current position when the last raw operation went the
// other way (`last_op` == opposite); -1 when that seek fails.
int switch_direction(LibraryFile* file, unsigned opposite);
// Gives the stream that the layer opened a buffer of `bytes`, before its
// first transfer; false when the handle has no such stream or the buffer is
// refused (the stream then keeps its own).
bool set_stream_buffer(LibraryFile* file, std::size_t bytes);
// Reads n raw bytes from byte `at` of a regular file without moving the
// handle or raising anything; false unless all n arrived (the caller then
// reads through the handle, which reports the failure).
bool read_at(const LibraryFile* file, int64_t at, char* buffer, std::size_t n);
// Writes n raw bytes at byte `at` of a regular file open for writing, after
// handing on what the stream holds, without moving the handle's position or
// raising anything; false unless all n went out (the caller then writes
// through the handle, which reports the failure).  A stream seeked back
// over a large buffer would first read a whole buffer of the file again.
bool write_at(LibraryFile* file, int64_t at, const void* bytes, std::size_t n);

// Room for n more bytes in the buffer of the handle's stream, when the
// handle last wrote (so the stream is in its writing state), has no error
// standing and the buffer has the room; null otherwise.  The caller fills
// it and calls stream_buffer_filled, to the effect of ptq7_file_raw_write.
// A writer of many small records saves the stream call and its locking on
// each: this is what the C library's own putc does with the same fields.
inline char* stream_buffer_room(LibraryFile* file, std::size_t n) {
#if defined(__GLIBC__)
  FILE* s = file->stream;
  if (!file->buffered || s == nullptr || file->last_op != 2 || !file->write ||
      file->io_status != 0 || s->_IO_write_ptr == nullptr ||
      s->_IO_write_end - s->_IO_write_ptr < static_cast<std::ptrdiff_t>(n))
    return nullptr;
  return s->_IO_write_ptr;
#else
  (void)file;
  (void)n;
  return nullptr;
#endif
}

// The end of the room that stream_buffer_room last offered.
inline char* stream_buffer_end(LibraryFile* file) {
#if defined(__GLIBC__)
  return file->stream->_IO_write_end;
#else
  (void)file;
  return nullptr;
#endif
}

inline void stream_buffer_filled(LibraryFile* file, std::size_t n) {
#if defined(__GLIBC__)
  file->stream->_IO_write_ptr += n;
  file->position += static_cast<int64_t>(n);
  if (file->position > file->length) file->length = file->position;
#else
  (void)file;
  (void)n;
#endif
}

// Appends n bytes through stream_buffer_room; false, with nothing done, when
// there is no room, and the caller takes the general road.
inline bool append_to_stream_buffer(LibraryFile* file, const void* bytes, std::size_t n) {
  char* room = stream_buffer_room(file, n);
  if (room == nullptr) return false;
  std::memcpy(room, bytes, n);
  stream_buffer_filled(file, n);
  return true;
}

}  // namespace reflections
