// Binary file layer: handles, opening and closing, raw byte transfers,
// positioning, error state and queries.  The typed transfers and the machine
// stamp live in machine_stamp.cpp.
#include "reflections/library_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "reflections/machine_stamp.h"
#include "suite/ptq7_errno.h"

namespace reflections {

namespace {

constexpr const char* file_texts[] = {
    "Error 0",      "Bad mode",      "Cannot open file", "Too many open files", "Read failed",
    "Write failed", "Close fail",    "Seek fail",        "Null pointer passed", "End of File",
    "No file",      "File not open", "Unlink failed"};

struct ModeEntry {
  uint8_t size;
  LibraryFileReadFn reader;
  LibraryFileWriteFn writer;
};

// Indexed by the item mode; mode 5 has no routines and is refused.
constexpr ModeEntry mode_table[] = {
    {1, ptq7_file_readchar, ptq7_file_writechar},
    {2, ptq7_file_readshort, ptq7_file_writeshort},
    {4, ptq7_file_readfloat, ptq7_file_writefloat},
    {4, ptq7_file_readshortcomp, ptq7_file_writeshortcomp},
    {8, ptq7_file_readcomp, ptq7_file_writecomp},
    {4, nullptr, nullptr},
    {4, ptq7_file_readint, ptq7_file_writeint},
};

bool uses_stream(const LibraryFile* f) { return f->buffered && f->stream != nullptr; }

// A fresh handle with the layer's defaults.
LibraryFile* file_init() {
  auto* f = new (std::nothrow) LibraryFile;
  if (f == nullptr) return nullptr;
  f->read_fn = ptq7_file_readfloat;
  f->write_fn = ptq7_file_writefloat;
  initial_formats(f);
  return f;
}

void apply_flags(LibraryFile* f, int flags) {
  if (flags & PTQ7_FILE_OPEN_SCRATCH) f->scratch = 1;
  if ((flags & (PTQ7_FILE_OPEN_WRITE | PTQ7_FILE_OPEN_READWRITE | PTQ7_FILE_OPEN_APPEND)) == 0) {
    f->read = 1;
    return;
  }
  f->write = 1;
  if (flags & PTQ7_FILE_OPEN_READWRITE) f->read = 1;
  if (flags & PTQ7_FILE_OPEN_APPEND) f->append = 1;
}

const char* stream_mode(const LibraryFile* f, int flags) {
  if (f->append) return f->read ? "a+" : "a";
  if (f->read && f->write) return (flags & PTQ7_FILE_OPEN_TRUNCATE) ? "w+" : "r+";
  if (f->write) return "w";
  return "r";
}

// Size of a regular file behind descriptor fd, or -1 for anything else.
int64_t regular_size(int fd) {
  struct stat st;
  if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_size);
}

void set_extent(LibraryFile* f, int64_t size) {
  if (size >= 0) {
    f->seekable = 1;
    f->length = size;
  } else {
    f->seekable = 0;
    f->length = PTQ7_FILE_UNKNOWN_LENGTH;
  }
}

// Reads from a descriptor until n bytes arrived or the input ended.
ssize_t read_fully(int fd, char* buffer, std::size_t n) {
  std::size_t got = 0;
  while (got < n) {
    const ssize_t r = ::read(fd, buffer + got, n - got);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return got > 0 ? static_cast<ssize_t>(got) : -1;
    if (r == 0) break;
    got += static_cast<std::size_t>(r);
  }
  return static_cast<ssize_t>(got);
}

ssize_t write_fully(int fd, const char* buffer, std::size_t n) {
  std::size_t put = 0;
  while (put < n) {
    const ssize_t r = ::write(fd, buffer + put, n - put);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    put += static_cast<std::size_t>(r);
  }
  return static_cast<ssize_t>(put);
}

void clear_error_state(LibraryFile* f) {
  f->io_status = 0;
  if (f->stream != nullptr) std::clearerr(f->stream);
}

}  // namespace

void file_signal(int code, const char* place) {
  ptq7_signal(ptq7_error_word(PTQ7_ERRNO_FILE, PTQ7_LEVEL_ERROR, code), place, nullptr);
}

void file_system_signal(const char* place) {
  ptq7_signal(ptq7_error_word(PTQ7_ERRNO_SYSTEM, PTQ7_LEVEL_ERROR, 0), place, nullptr);
}

const char* file_error_text(int code) {
  constexpr int count = sizeof(file_texts) / sizeof(file_texts[0]);
  return (code >= 0 && code < count) ? file_texts[code] : "bad error code";
}

int switch_direction(LibraryFile* file, unsigned opposite) {
  if (file->last_op != opposite) return 0;
  return ptq7_file_raw_seek(file, 0, SEEK_CUR) < 0 ? -1 : 0;
}

}  // namespace reflections

using reflections::file_signal;
using reflections::file_system_signal;

LibraryFile* ptq7_file_open(const char* name, int flags) {
  if (name == nullptr) {
    file_signal(8, "ptq7_file_open");
    return nullptr;
  }
  std::unique_ptr<LibraryFile> f(reflections::file_init());
  if (!f) {
    file_system_signal("ptq7_file_open");
    return nullptr;
  }
  reflections::apply_flags(f.get(), flags);
  f->stream = std::fopen(name, reflections::stream_mode(f.get(), flags));
  if (f->stream == nullptr) {
    f->io_status = 2;
    file_signal(2, "ptq7_file_open2");
    return nullptr;
  }
  if (f->scratch && ::unlink(name) != 0) {
    f->io_status = 12;
    file_signal(12, "ptq7_file_open(unlink)");
    std::fclose(f->stream);
    return nullptr;
  }
  f->name = name;
  f->open = 1;
  f->owned = 1;
  reflections::set_extent(f.get(), reflections::regular_size(fileno(f->stream)));
  f->position = f->append ? f->length : 0;
  return f.release();
}

LibraryFile* ptq7_file_open_fd(int fd, int flags) {
  LibraryFile* f = reflections::file_init();
  if (f == nullptr) {
    file_system_signal("ptq7_file_open_fd");
    return nullptr;
  }
  reflections::apply_flags(f, flags);
  f->fd = fd;
  f->buffered = 0;
  f->open = 1;
  const int64_t size = fd == 0 ? -1 : reflections::regular_size(fd);
  reflections::set_extent(f, size);
  f->position = 0;
  if (size >= 0) {
    const off_t at = ::lseek(fd, 0, SEEK_CUR);
    f->position = at < 0 ? 0 : static_cast<int64_t>(at);
  }
  return f;
}

LibraryFile* ptq7_file_open_file(FILE* stream, int flags) {
  if (stream == nullptr) {
    file_signal(8, "ptq7_file_open_file");
    return nullptr;
  }
  LibraryFile* f = reflections::file_init();
  if (f == nullptr) {
    file_system_signal("ptq7_file_open_file");
    return nullptr;
  }
  reflections::apply_flags(f, flags);
  f->stream = stream;
  f->open = 1;
  const int64_t size = stream == stdin ? -1 : reflections::regular_size(fileno(stream));
  reflections::set_extent(f, size);
  const off_t at = ::ftello(stream);
  f->position = at < 0 ? 0 : static_cast<int64_t>(at);
  return f;
}

int ptq7_file_close(LibraryFile* file) {
  if (file == nullptr) {
    file_signal(8, "ptq7_file_close");
    return -1;
  }
  int r = 0;
  if (reflections::uses_stream(file)) {
    if (file->owned) {
      r = std::fclose(file->stream);
      // The stream is gone even when closing failed: never close it twice.
      file->stream = nullptr;
    } else {
      r = std::fflush(file->stream);
    }
  } else if (file->owned && file->fd >= 0) {
    r = ::close(file->fd);
  }
  if (r != 0) {
    file->io_status = 6;
    file_system_signal("ptq7_file_close");
    return -1;
  }
  delete file;
  return 0;
}

void LibraryFileCloser::operator()(LibraryFile* file) const {
  if (file != nullptr && ptq7_file_close(file) != 0) delete file;
}

int ptq7_file_raw_read(LibraryFile* file, char* buffer, std::size_t n) {
  if (file == nullptr) {
    file_signal(8, "ptq7_file_raw_read");
    return -1;
  }
  file->last_op = 1;
  if (reflections::uses_stream(file)) {
    const std::size_t got = std::fread(buffer, 1, n, file->stream);
    file->position += static_cast<int64_t>(got);
    if (got == n) return static_cast<int>(got);
    if (std::feof(file->stream)) {
      file->io_status = 9;
      file_signal(9, "ptq7_file_raw_read");
      return -1;
    }
    file->io_status = 4;
    file_system_signal("ptq7_file_raw_read");
    return 0;
  }
  const ssize_t got = reflections::read_fully(file->fd, buffer, n);
  if (got > 0) file->position += got;
  if (n > 0 && got < 1) {
    file->io_status = 4;
    file_signal(4, "ptq7_file_raw_read");
    return 0;
  }
  return static_cast<int>(got);
}

int ptq7_file_raw_write(LibraryFile* file, const char* buffer, std::size_t n) {
  if (file == nullptr) {
    file_signal(8, "ptq7_file_raw_write");
    return -1;
  }
  file->last_op = 2;
  std::size_t put = 0;
  if (reflections::uses_stream(file)) {
    put = std::fwrite(buffer, 1, n, file->stream);
  } else {
    const ssize_t r = reflections::write_fully(file->fd, buffer, n);
    put = r < 0 ? 0 : static_cast<std::size_t>(r);
  }
  if (put != n) {
    file->io_status = 5;
    file_signal(5, "ptq7_file_raw_write");
    ptq7_file_tell(file);
    file->last_op = 2;
  } else {
    file->position += static_cast<int64_t>(n);
  }
  if (file->position > file->length) file->length = file->position;
  return static_cast<int>(put);
}

int64_t ptq7_file_raw_seek(LibraryFile* file, int64_t offset, int whence) {
  if (file == nullptr) {
    file_signal(8, "ptq7_file_raw_seek");
    return -1;
  }
  if (!file->seekable) {
    file_signal(1, "ptq7_file_raw_seek");
    return -1;
  }
  int64_t result = -1;
  if (reflections::uses_stream(file)) {
    if (::fseeko(file->stream, static_cast<off_t>(offset), whence) == 0)
      result = static_cast<int64_t>(::ftello(file->stream));
  } else {
    result = static_cast<int64_t>(::lseek(file->fd, static_cast<off_t>(offset), whence));
  }
  file->last_op = 0;
  if (result < 0) {
    file->io_status = 7;
    file_signal(7, "ptq7_file_raw_seek");
    return -1;
  }
  file->position = result;
  return result;
}

int ptq7_file_raw_setstamp(LibraryFile* file, std::size_t offset) {
  if (file == nullptr) {
    file_signal(8, "ptq7_file_raw_setstamp");
    return -1;
  }
  file->stamp_offset = static_cast<int32_t>(offset);
  return 0;
}

int ptq7_file_read(LibraryFile* file, void* buffer, std::size_t n) {
  if (file == nullptr || file->read_fn == nullptr) {
    file_signal(8, "ptq7_file_read");
    return -1;
  }
  const int r = file->read_fn(file, buffer, n);
  if (r != static_cast<int>(n)) file_system_signal("ptq7_file_read");
  return r;
}

int ptq7_file_write(LibraryFile* file, const void* buffer, std::size_t n) {
  if (file == nullptr || file->write_fn == nullptr) {
    file_signal(8, "ptq7_file_write");
    return -1;
  }
  const int r = file->write_fn(file, buffer, n);
  if (r != static_cast<int>(n)) file_system_signal("ptq7_file_write");
  return r;
}

int ptq7_file_seek(LibraryFile* file, int64_t offset, int whence) {
  if (file == nullptr) {
    file_signal(8, "ptq7_file_seek");
    return -1;
  }
  if (ptq7_file_raw_seek(file, offset * file->item_size, whence) < 0) return -1;
  reflections::clear_error_state(file);
  return 0;
}

int ptq7_file_setstamp(LibraryFile* file, std::size_t offset) {
  if (file == nullptr) {
    file_signal(8, "ptq7_file_setstamp");
    return -1;
  }
  file->stamp_offset = static_cast<int32_t>(offset * file->item_size);
  return 0;
}

int ptq7_file_setmode(LibraryFile* file, int mode) {
  if (file == nullptr) {
    file_signal(8, "ptq7_file_mode");
    return -1;
  }
  if (mode < 0 || mode > 6 || mode == 5) {
    file_signal(1, "ptq7_file_mode");
    return -1;
  }
  const auto& e = reflections::mode_table[mode];
  file->item_mode = static_cast<uint8_t>(mode);
  file->item_size = e.size;
  file->read_fn = e.reader;
  file->write_fn = e.writer;
  return 0;
}

int64_t ptq7_file_tell(LibraryFile* file) {
  if (file == nullptr) {
    file_signal(8, "ptq7_file_tell");
    return -1;
  }
  file->last_op = 0;
  int64_t at;
  if (reflections::uses_stream(file)) {
    std::fflush(file->stream);
    at = static_cast<int64_t>(::ftello(file->stream));
  } else {
    at = static_cast<int64_t>(::lseek(file->fd, 0, SEEK_CUR));
  }
  file->position = at;
  return at;
}

int64_t ptq7_file_length(LibraryFile* file) {
  if (file == nullptr) {
    file_signal(8, "ptq7_file_length");
    return -1;
  }
  file->last_op = 0;
  int fd = file->fd;
  if (reflections::uses_stream(file)) {
    std::fflush(file->stream);
    fd = fileno(file->stream);
  }
  struct stat st;
  if (fd < 0 || ::fstat(fd, &st) != 0) {
    file_system_signal("ptq7_file_length");
    return -1;
  }
  file->length = static_cast<int64_t>(st.st_size);
  return file->length;
}

int ptq7_file_feof(LibraryFile* file) {
  if (file == nullptr) {
    file_signal(8, "ptq7_file_feof");
    return -1;
  }
  if (file->stream != nullptr) return std::feof(file->stream) ? 1 : 0;
  return file->position >= file->length ? 1 : 0;
}

void ptq7_file_rewind(LibraryFile* file) {
  if (file == nullptr) {
    file_signal(8, "ptq7_file_rewind");
    return;
  }
  if (ptq7_file_raw_seek(file, 0, SEEK_SET) < 0) {
    file_system_signal("ptq7_file_rewind");
    return;
  }
  reflections::clear_error_state(file);
}

void ptq7_file_flush(LibraryFile* file) {
  if (file != nullptr && reflections::uses_stream(file)) std::fflush(file->stream);
}

void ptq7_file_clearerr(LibraryFile* file) {
  if (file == nullptr || file->stream == nullptr) return;
  reflections::clear_error_state(file);
}

int ptq7_file_error(LibraryFile* file) {
  if (file == nullptr || file->io_status == 0) return 0;
  std::fprintf(stderr, "%s %s \n", file->name.c_str(),
               reflections::file_error_text(file->io_status));
  return file->io_status & 0xFFFF;
}

char* ptq7_file_print(const LibraryFile* file, char* start, char* end) {
  if (file == nullptr) return start;
  char* p = start;
  auto add = [&](const char* text, std::size_t len, bool fits) {
    if (!fits) return;
    std::memcpy(p, text, len);
    p += len;
  };
  const std::size_t name_len = file->name.size();
  add(file->name.c_str(), name_len, end - p > static_cast<std::ptrdiff_t>(name_len));
  add(" opened", 7, file->open && end - p >= 7);
  const char* phrase = file->append                  ? ", append mode"
                       : (file->read && file->write) ? ", read-write mode"
                       : file->write                 ? ", write mode"
                                                     : ", read mode";
  const std::size_t phrase_len = std::strlen(phrase);
  add(phrase, phrase_len, end - p > static_cast<std::ptrdiff_t>(phrase_len));
  if (p < end) *p = '\0';
  return p;
}

void ptq7_file_fatal(const LibraryFile* file, const char* message) {
  const std::string text = message != nullptr ? message : "";
  if (file == nullptr) {
    file_signal(8, "ptq7_file_fatal");
    ptq7_fatal(text.c_str());
  }
  ptq7_fatal((text + file->name).c_str());
}

std::string ptq7_file_name(const LibraryFile* file) {
  return file == nullptr ? std::string() : file->name;
}
int ptq7_file_status(const LibraryFile* file) { return file == nullptr ? 0 : file->io_status; }
int ptq7_file_is_buffered(const LibraryFile* file) { return file == nullptr ? 0 : file->buffered; }
int ptq7_file_is_scratch(const LibraryFile* file) { return file == nullptr ? 0 : file->scratch; }
int ptq7_file_is_append(const LibraryFile* file) { return file == nullptr ? 0 : file->append; }
int ptq7_file_is_read(const LibraryFile* file) { return file == nullptr ? 0 : file->read; }
int ptq7_file_is_write(const LibraryFile* file) { return file == nullptr ? 0 : file->write; }

int ptq7_file_mode(const LibraryFile* file) {
  if (file == nullptr) {
    file_signal(8, "ptq7_file_mode");
    return -1;
  }
  return file->item_mode;
}

int ptq7_file_itemsize(const LibraryFile* file) {
  if (file == nullptr) {
    file_signal(1, "ptq7_file_itemsize");
    return -1;
  }
  return file->item_size;
}

int ptq7_file_byte(const LibraryFile* file) {
  return file == nullptr ? 0 : file->int_format * 256 + file->real_format;
}

namespace reflections {

bool set_stream_buffer(LibraryFile* file, std::size_t bytes) {
  if (file == nullptr || !uses_stream(file) || !file->owned) return false;
  auto buffer = std::make_unique_for_overwrite<char[]>(bytes);
  if (std::setvbuf(file->stream, buffer.get(), _IOFBF, bytes) != 0) return false;
  file->stream_buffer = std::move(buffer);
  return true;
}

bool read_at(const LibraryFile* file, int64_t at, char* buffer, std::size_t n) {
  if (file == nullptr || !file->seekable || at < 0) return false;
  const int fd = uses_stream(file) ? fileno(file->stream) : file->fd;
  if (fd < 0) return false;
  std::size_t got = 0;
  while (got < n) {
    const ssize_t r =
        ::pread(fd, buffer + got, n - got, static_cast<off_t>(at) + static_cast<off_t>(got));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    got += static_cast<std::size_t>(r);
  }
  return true;
}

bool write_at(LibraryFile* file, int64_t at, const void* bytes, std::size_t n) {
  if (file == nullptr || !file->seekable || !file->write || at < 0 || file->io_status != 0)
    return false;
  if (uses_stream(file) && std::fflush(file->stream) != 0) return false;
  const int fd = uses_stream(file) ? fileno(file->stream) : file->fd;
  if (fd < 0) return false;
  const char* from = static_cast<const char*>(bytes);
  std::size_t put = 0;
  while (put < n) {
    const ssize_t r =
        ::pwrite(fd, from + put, n - put, static_cast<off_t>(at) + static_cast<off_t>(put));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    put += static_cast<std::size_t>(r);
  }
  if (at + static_cast<int64_t>(n) > file->length) file->length = at + static_cast<int64_t>(n);
  return true;
}

}  // namespace reflections
