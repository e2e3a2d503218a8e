// The unit table: numbered record files over C stdio.  Formatted records are
// lines; unformatted sequential records carry a 4-byte length before and after
// so that they can be read back and backspaced over; direct-access records sit
// at (n-1) x record length.
#include "runtime/units.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "runtime/fixed_text.h"
#include "runtime/line_blocks.h"

namespace rt {
namespace {

enum class LastOp { None, Read, Write };

struct Unit {
  std::FILE* fp = nullptr;
  std::string name;
  Form form = Form::Formatted;
  Access access = Access::Sequential;
  int recl = 0;
  bool remove_on_close = false;
  bool preconnected = false;
  bool readonly = false;
  bool write_failed = false;  // a record written to the unit was lost
  bool plain_file = false;    // a plain file or a stream's copy: lines are read ahead in blocks
  bool watched = false;       // opened while an output account is kept
  bool accounted = false;     // the file is in the output account
  bool refuse_reads = false;  // a file of the account that is not as it was written
  LastOp last = LastOp::None;
  // Formatted sequential reading of a plain file; empty until the first read.
  std::unique_ptr<LineBlockReader> lines;
  // The record handed out when lines are read through stdio.
  std::string record;
  // The bytes the unit reads, where it is open on a stream's copy.
  std::shared_ptr<const std::string> copy;
};

Unit g_units[MAX_UNIT + 1];
// No unit above this number has ever been opened: the walks over every unit
// (at the end of each file read, among others) stop there.
int g_top = 6;
bool g_initialised = false;

// The output account: one entry per file written while it is kept.
struct Written {
  enum class State { Open, Closed, Lost };
  std::string name;
  State state = State::Open;
  long long size = -1;  // at the close; -1 when not a plain file
};
bool g_account_on = false;
std::vector<Written> g_account;

Written* account_entry(const std::string& name) {
  for (auto it = g_account.rbegin(); it != g_account.rend(); ++it)
    if (it->name == name) return &*it;
  return nullptr;
}

void account(Unit& u) {
  // A unit opened before the account (a log the caller keeps) stays out of it.
  if (!g_account_on || !u.watched || u.accounted || u.preconnected) return;
  u.accounted = true;
  Written* w = account_entry(u.name);
  if (!w) {
    g_account.push_back({u.name});
    w = &g_account.back();
  }
  w->state = Written::State::Open;
  w->size = -1;
}

void init_preconnected() {
  if (g_initialised) return;
  g_initialised = true;
  g_units[5].fp = stdin;
  g_units[5].name = "stdin";
  g_units[5].preconnected = true;
  g_units[6].fp = stdout;
  g_units[6].name = "stdout";
  g_units[6].preconnected = true;
  g_units[0].fp = stderr;
  g_units[0].name = "stderr";
  g_units[0].preconnected = true;
}

Unit* get(int unit) {
  init_preconnected();
  if (unit < 0 || unit > MAX_UNIT) return nullptr;
  Unit& u = g_units[unit];
  return u.fp ? &u : nullptr;
}

// What was read ahead goes back to the stream, which then stands where the
// records read so far end: every operation but a record read starts so.
void settle(Unit& u) {
  if (u.lines) u.lines->give_back();
}

// Sequential writing makes the record written the last of the file: the first
// write after opening, reading or repositioning cuts the file there.
void before_write(Unit& u) {
  settle(u);
  account(u);
  u.refuse_reads = false;
  if (u.last != LastOp::Write && !u.preconnected && u.access == Access::Sequential) {
    std::fflush(u.fp);
    long pos = std::ftell(u.fp);
    if (pos >= 0) {
      std::fseek(u.fp, pos, SEEK_SET);
      if (ftruncate(fileno(u.fp), pos) != 0) { /* a pipe or device: nothing to cut */ }
    }
  } else if (u.last == LastOp::Read) {
    std::fseek(u.fp, 0, SEEK_CUR);
  }
  u.last = LastOp::Write;
}

void before_read(Unit& u) {
  if (u.last == LastOp::Write && !u.preconnected) {
    if (std::fflush(u.fp) != 0 || std::ferror(u.fp)) u.write_failed = true;
    std::fseek(u.fp, 0, SEEK_CUR);
  }
  u.last = LastOp::Read;
}

std::string trimmed_name(std::string_view file) { return std::string(trim_right(file)); }

// A stream named as an input (a pipe, a FIFO, a terminal) gives its bytes
// once, where a run opens its input several times: to tell its form, to
// read it, to look past its atoms.  The first open of the run takes the
// stream whole; every later open of the same file reads that copy, until
// the run forgets it.  A FIFO is the same file whatever is written into it
// next, so a copy kept past its run would answer the next run with the old
// bytes and leave that run's writer without a reader.
struct StreamCopy {
  dev_t dev;
  ino_t ino;
  std::shared_ptr<const std::string> bytes;  // null: the stream could not be taken
  int error = 0;                             // errno of that failure
};
std::vector<StreamCopy> g_streams;

// Reads the open descriptor to its end into `bytes`; errno of the failure,
// or 0.
int take_stream(int fd, std::string& bytes) {
  char chunk[64 * 1024];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n == 0) return 0;
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (bytes.size() + static_cast<std::size_t>(n) > MAX_STREAM_COPY) return EFBIG;
    bytes.append(chunk, static_cast<std::size_t>(n));
  }
}

// The copy of the stream `name` (`st` its status), taken at its first open;
// null, with errno set, when it could not be taken.  A stream that failed
// once fails again rather than give what was left of it.
std::shared_ptr<const std::string> stream_copy(const std::string& name, const struct stat& st) {
  for (const StreamCopy& s : g_streams) {
    if (s.dev != st.st_dev || s.ino != st.st_ino) continue;
    errno = s.error;
    return s.bytes;
  }
  // Opened for reading only: a descriptor that could write to a pipe would
  // make the run a writer of its own input, whose end then never comes.
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  auto bytes = std::make_shared<std::string>();
  const int error = take_stream(fd, *bytes);
  ::close(fd);
  StreamCopy& s = g_streams.emplace_back(StreamCopy{st.st_dev, st.st_ino, nullptr, error});
  if (error == 0) s.bytes = std::move(bytes);
  errno = error;
  return s.bytes;
}

}  // namespace

int unit_open(int unit, std::string_view file, const OpenOptions& opt) {
  init_preconnected();
  if (unit < 1 || unit > MAX_UNIT || unit == 5 || unit == 6) return IOSTAT_BAD_UNIT;
  if (g_units[unit].fp) unit_close(unit);
  std::string name = trimmed_name(file);
  if (opt.access == Access::Direct && opt.recl <= 0) return IOSTAT_BAD_RECORD;

  std::FILE* fp = nullptr;
  std::shared_ptr<const std::string> copy;
  bool remove_on_close = false;
  bool created = false;  // the open makes the file: it belongs to the run from now
  if (opt.status == OpenStatus::Scratch) {
    if (name.empty()) {
      const char* tmp = std::getenv("TMPDIR");
      std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/scratchXXXXXX";
      int fd = mkstemp(templ.data());
      if (fd < 0) return IOSTAT_OPEN_FAILED;
      // Unlinked at once: a scratch file leaves nothing behind, even after a crash.
      unlink(templ.c_str());
      fp = fdopen(fd, "w+b");
      if (!fp) {
        close(fd);
        return IOSTAT_OPEN_FAILED;
      }
      name = templ;
    } else {
      fp = std::fopen(name.c_str(), "w+b");
      remove_on_close = true;
    }
  } else {
    if (name.empty()) return IOSTAT_OPEN_FAILED;
    // One look at the file tells whether it exists and whether it is a directory.
    struct stat st;
    const bool exists = stat(name.c_str(), &st) == 0;
    switch (opt.status) {
      case OpenStatus::Old:
        if (!exists) return IOSTAT_MISSING;
        break;
      case OpenStatus::New:
        if (exists) return IOSTAT_EXISTS;
        break;
      default:
        break;
    }
    if (exists && S_ISDIR(st.st_mode)) return IOSTAT_OPEN_FAILED;
    created = !opt.readonly && (opt.status == OpenStatus::Replace || !exists);
    // An old file is an input; one that is no plain file is read from its
    // copy, unless the run wrote it (the account then refuses its records).
    const bool written = g_account_on && account_entry(name) != nullptr;
    if (opt.status == OpenStatus::Old && exists && !S_ISREG(st.st_mode) && !written) {
      copy = stream_copy(name, st);
      if (!copy) return IOSTAT_OPEN_FAILED;
      // fmemopen wants a buffer it may hold; in mode "r" it never writes to it.
      fp = fmemopen(const_cast<char*>(copy->data()), copy->size(), "r");
    } else if (opt.status == OpenStatus::Replace) {
      fp = std::fopen(name.c_str(), "w+b");
    } else if (exists) {
      if (!opt.readonly) fp = std::fopen(name.c_str(), "r+b");
      if (!fp) fp = std::fopen(name.c_str(), "rb");
    } else if (!opt.readonly) {
      fp = std::fopen(name.c_str(), "w+b");
    }
  }
  if (!fp) return IOSTAT_OPEN_FAILED;
  if (opt.access == Access::Append) std::fseek(fp, 0, SEEK_END);

  Unit& u = g_units[unit];
  if (unit > g_top) g_top = unit;
  u.fp = fp;
  u.name = name;
  u.form = opt.form;
  u.access = opt.access == Access::Append ? Access::Sequential : opt.access;
  u.recl = opt.recl;
  u.remove_on_close = remove_on_close;
  u.preconnected = false;
  u.readonly = opt.readonly || copy != nullptr;
  struct stat fst;
  const bool regular = copy == nullptr && fstat(fileno(fp), &fst) == 0 && S_ISREG(fst.st_mode);
  // A copy is repositioned as a plain file is.
  u.plain_file = regular || copy != nullptr;
  u.copy = std::move(copy);
  u.lines.reset();
  u.record.clear();
  u.last = opt.access == Access::Append ? LastOp::Write : LastOp::None;
  u.watched = g_account_on;
  u.accounted = false;
  u.refuse_reads = false;
  if (g_account_on) {
    const Written* w = account_entry(name);
    if (w && w->state != Written::State::Open)
      u.refuse_reads = w->state == Written::State::Lost || !regular || fst.st_size != w->size;
    if (created) account(u);
  }
  return IOSTAT_OK;
}

// Only a plain file is removed: a unit may be open on a device such as
// /dev/full, which a run with the rights to do so must not delete.
bool remove_plain_file(std::string_view file) {
  const std::string name = trimmed_name(file);
  struct stat st;
  return stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode) && std::remove(name.c_str()) == 0;
}

int unit_close(int unit, bool remove_file) {
  Unit* u = get(unit);
  if (!u) return IOSTAT_OK;
  if (u->preconnected) {
    std::fflush(u->fp);
    return IOSTAT_OK;
  }
  // A record lost on the way (a full device) fails the close, whether it
  // was lost at its write or only now, when the last records go out.
  bool lost = u->write_failed || (u->last == LastOp::Write && std::ferror(u->fp));
  long long size = -1;
  if (u->accounted) {
    // The size the file is read back against: flushed first, so that it is
    // what is on the disk.
    settle(*u);
    if (std::fflush(u->fp) != 0) lost = true;
    struct stat st;
    if (fstat(fileno(u->fp), &st) == 0 && S_ISREG(st.st_mode)) size = st.st_size;
  }
  int rc = std::fclose(u->fp) == 0 && !lost ? IOSTAT_OK : IOSTAT_WRITE_ERROR;
  const bool removed = remove_file || u->remove_on_close;
  if (removed) remove_plain_file(u->name);
  if (u->accounted) {
    if (Written* w = account_entry(u->name)) {
      if (removed && rc == IOSTAT_OK) {
        g_account.erase(g_account.begin() + (w - g_account.data()));
      } else {
        w->state = rc == IOSTAT_OK ? Written::State::Closed : Written::State::Lost;
        w->size = size;
      }
    }
  }
  *u = Unit{};
  return rc;
}

int unit_close_or_remove(int unit) {
  Unit* u = get(unit);
  if (!u || u->preconnected) return unit_close(unit);
  const std::string name = u->name;
  const int rc = unit_close(unit);
  if (rc != IOSTAT_OK) remove_plain_file(name);
  return rc;
}

bool unit_is_open(int unit) { return get(unit) != nullptr; }

std::string unit_file_name(int unit) {
  Unit* u = get(unit);
  return u ? u->name : std::string();
}

int unit_of_file(std::string_view file) {
  init_preconnected();
  std::string name = trimmed_name(file);
  for (int i = 0; i <= g_top; ++i)
    if (g_units[i].fp && !g_units[i].preconnected && g_units[i].name == name) return i;
  return 0;
}

bool file_exists(std::string_view file) {
  std::string name = trimmed_name(file);
  struct stat st;
  return !name.empty() && stat(name.c_str(), &st) == 0;
}

int free_unit(int from, int to) {
  init_preconnected();
  if (from < 1) from = 1;
  if (to > MAX_UNIT) to = MAX_UNIT;
  for (int i = from; i <= to; ++i) {
    if (i == 5 || i == 6) continue;
    if (!g_units[i].fp) return i;
  }
  return 0;
}

int open_to_look(std::string_view file) {
  const int unit = free_unit(10, 99);
  OpenOptions opt;
  opt.status = OpenStatus::Old;
  opt.readonly = true;
  if (unit < 1 || unit_open(unit, file, opt) != 0) return 0;
  return unit;
}

namespace {

// A stream's copy read through stdio.  The reader holds the copy, which
// close_all_units may forget while a reader still has it open.
struct CopyReader {
  std::shared_ptr<const std::string> bytes;
  std::size_t at = 0;
};

ssize_t copy_read(void* cookie, char* buf, std::size_t size) {
  auto& r = *static_cast<CopyReader*>(cookie);
  const std::size_t n = std::min(size, r.bytes->size() - r.at);
  std::memcpy(buf, r.bytes->data() + r.at, n);
  r.at += n;
  return static_cast<ssize_t>(n);
}

int copy_seek(void* cookie, off64_t* offset, int whence) {
  auto& r = *static_cast<CopyReader*>(cookie);
  const off64_t base = whence == SEEK_SET   ? 0
                       : whence == SEEK_CUR ? static_cast<off64_t>(r.at)
                                            : static_cast<off64_t>(r.bytes->size());
  const off64_t to = base + *offset;
  if (to < 0 || to > static_cast<off64_t>(r.bytes->size())) return -1;
  r.at = static_cast<std::size_t>(to);
  *offset = to;
  return 0;
}

int copy_close(void* cookie) {
  delete static_cast<CopyReader*>(cookie);
  return 0;
}

}  // namespace

std::FILE* open_input_file(std::string_view file) {
  const std::string name = trimmed_name(file);
  struct stat st;
  if (::stat(name.c_str(), &st) != 0 || S_ISREG(st.st_mode) || S_ISDIR(st.st_mode))
    return std::fopen(name.c_str(), "r");
  std::shared_ptr<const std::string> copy = stream_copy(name, st);
  if (!copy) return nullptr;
  auto reader = std::make_unique<CopyReader>(CopyReader{std::move(copy)});
  std::FILE* fp = fopencookie(reader.get(), "r", {copy_read, nullptr, copy_seek, copy_close});
  if (fp) reader.release();
  return fp;
}

namespace {

// A record through stdio, for streams that cannot be read ahead.  The line
// comes in pieces of the chunk; what passes the limit is read and dropped,
// so memory never grows with the length of a line.  The chunk is first
// filled with a character other than NUL: the last NUL after fgets is then
// its terminator, and NULs of the line are kept.
int read_stdio_record(Unit& u, std::string& rec, std::size_t limit) {
  rec.clear();
  char chunk[1024];
  bool any = false, cut = false;
  for (;;) {
    std::memset(chunk, '\n', sizeof chunk);
    if (std::fgets(chunk, sizeof chunk, u.fp) == nullptr) break;
    any = true;
    const char* end = static_cast<const char*>(memrchr(chunk, '\0', sizeof chunk));
    std::size_t n = static_cast<std::size_t>(end - chunk);
    const bool ended = n > 0 && chunk[n - 1] == '\n';
    if (ended) --n;
    const std::size_t room = limit > rec.size() ? limit - rec.size() : 0;
    if (n > room) cut = true;
    rec.append(chunk, n < room ? n : room);
    if (ended) break;
  }
  if (std::ferror(u.fp)) {
    std::clearerr(u.fp);
    return IOSTAT_READ_ERROR;
  }
  if (!any) {
    std::clearerr(u.fp);
    return IOSTAT_END;
  }
  if (!cut && !rec.empty() && rec.back() == '\r') rec.pop_back();
  return IOSTAT_OK;
}

}  // namespace

int read_record_view(int unit, std::string_view& rec, std::size_t limit) {
  Unit* u = get(unit);
  if (!u) return IOSTAT_NOT_OPEN;
  if (u->form != Form::Formatted || u->access != Access::Sequential) return IOSTAT_WRONG_MODE;
  if (u->refuse_reads) return IOSTAT_READ_ERROR;
  before_read(*u);
  if (u->plain_file && !u->preconnected) {
    if (!u->lines) u->lines = std::make_unique<LineBlockReader>(u->fp);
    return u->lines->next(rec, limit);
  }
  const int st = read_stdio_record(*u, u->record, limit);
  rec = u->record;
  return st;
}

int read_record(int unit, std::string& rec, std::size_t limit) {
  std::string_view view;
  const int st = read_record_view(unit, view, limit);
  if (st == IOSTAT_OK)
    rec.assign(view);
  else
    rec.clear();
  return st;
}

int write_record(int unit, std::string_view rec) {
  Unit* u = get(unit);
  if (!u) return IOSTAT_NOT_OPEN;
  if (u->form != Form::Formatted) return IOSTAT_WRONG_MODE;
  if (u->access == Access::Direct) return IOSTAT_WRONG_MODE;
  if (u->readonly) return IOSTAT_WRITE_ERROR;
  before_write(*u);
  if ((!rec.empty() && std::fwrite(rec.data(), 1, rec.size(), u->fp) != rec.size()) ||
      std::fputc('\n', u->fp) == EOF) {
    u->write_failed = true;
    return IOSTAT_WRITE_ERROR;
  }
  return IOSTAT_OK;
}

int read_unformatted(int unit, std::string& bytes) {
  Unit* u = get(unit);
  if (!u) return IOSTAT_NOT_OPEN;
  if (u->form != Form::Unformatted || u->access != Access::Sequential) return IOSTAT_WRONG_MODE;
  if (u->refuse_reads) return IOSTAT_READ_ERROR;
  before_read(*u);
  uint32_t len = 0, tail = 0;
  size_t got = std::fread(&len, 1, 4, u->fp);
  if (got == 0 && std::feof(u->fp)) {
    std::clearerr(u->fp);
    return IOSTAT_END;
  }
  if (got != 4) return IOSTAT_READ_ERROR;
  // A length beyond what the file can hold is a corrupt frame, not a request
  // to allocate it.
  long here = std::ftell(u->fp);
  struct stat st;
  long long size = -1;
  if (u->copy)
    size = static_cast<long long>(u->copy->size());
  else if (fstat(fileno(u->fp), &st) == 0)
    size = st.st_size;
  if (size >= 0 && here >= 0 && static_cast<long long>(len) + 4 > size - here)
    return IOSTAT_READ_ERROR;
  bytes.resize(len);
  if (len > 0 && std::fread(bytes.data(), 1, len, u->fp) != len) return IOSTAT_READ_ERROR;
  if (std::fread(&tail, 1, 4, u->fp) != 4 || tail != len) return IOSTAT_READ_ERROR;
  return IOSTAT_OK;
}

int write_unformatted(int unit, std::string_view bytes) {
  Unit* u = get(unit);
  if (!u) return IOSTAT_NOT_OPEN;
  if (u->form != Form::Unformatted || u->access != Access::Sequential) return IOSTAT_WRONG_MODE;
  if (u->readonly) return IOSTAT_WRITE_ERROR;
  before_write(*u);
  uint32_t len = static_cast<uint32_t>(bytes.size());
  if (std::fwrite(&len, 1, 4, u->fp) != 4 || (len > 0 && std::fwrite(bytes.data(), 1, len, u->fp) != len) ||
      std::fwrite(&len, 1, 4, u->fp) != 4) {
    u->write_failed = true;
    return IOSTAT_WRITE_ERROR;
  }
  return IOSTAT_OK;
}

int read_direct(int unit, int recno, std::string& bytes) {
  Unit* u = get(unit);
  if (!u) return IOSTAT_NOT_OPEN;
  if (u->access != Access::Direct) return IOSTAT_WRONG_MODE;
  if (recno < 1) return IOSTAT_BAD_RECORD;
  if (u->refuse_reads) return IOSTAT_READ_ERROR;
  before_read(*u);
  if (std::fseek(u->fp, static_cast<long>(recno - 1) * u->recl, SEEK_SET) != 0) return IOSTAT_BAD_RECORD;
  bytes.resize(static_cast<size_t>(u->recl));
  size_t got = std::fread(bytes.data(), 1, bytes.size(), u->fp);
  if (got != bytes.size()) {
    std::clearerr(u->fp);
    return got == 0 ? IOSTAT_END : IOSTAT_BAD_RECORD;
  }
  return IOSTAT_OK;
}

int write_direct(int unit, int recno, std::string_view bytes) {
  Unit* u = get(unit);
  if (!u) return IOSTAT_NOT_OPEN;
  if (u->access != Access::Direct) return IOSTAT_WRONG_MODE;
  if (u->readonly) return IOSTAT_WRITE_ERROR;
  if (recno < 1 || bytes.size() > static_cast<size_t>(u->recl)) return IOSTAT_BAD_RECORD;
  if (u->last == LastOp::Read) std::fflush(u->fp);
  u->last = LastOp::Write;
  account(*u);
  u->refuse_reads = false;
  // Records skipped over read back as zero bytes (the file has a hole there).
  if (std::fseek(u->fp, static_cast<long>(recno - 1) * u->recl, SEEK_SET) != 0) return IOSTAT_BAD_RECORD;
  bool put = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), u->fp) == bytes.size();
  const char pad = u->form == Form::Formatted ? ' ' : '\0';
  for (size_t i = bytes.size(); put && i < static_cast<size_t>(u->recl); ++i) put = std::fputc(pad, u->fp) != EOF;
  if (!put) {
    u->write_failed = true;
    return IOSTAT_WRITE_ERROR;
  }
  return IOSTAT_OK;
}

int unit_rewind(int unit) {
  Unit* u = get(unit);
  if (!u) return IOSTAT_NOT_OPEN;
  if (u->preconnected) return IOSTAT_OK;
  settle(*u);
  std::fflush(u->fp);
  std::rewind(u->fp);
  u->last = LastOp::None;
  return IOSTAT_OK;
}

int unit_backspace(int unit) {
  Unit* u = get(unit);
  if (!u) return IOSTAT_NOT_OPEN;
  if (u->preconnected || u->access == Access::Direct) return IOSTAT_OK;
  settle(*u);
  std::fflush(u->fp);
  long pos = std::ftell(u->fp);
  if (pos <= 0) return IOSTAT_OK;
  if (u->form == Form::Unformatted) {
    uint32_t len = 0;
    if (pos < 8 || std::fseek(u->fp, pos - 4, SEEK_SET) != 0 || std::fread(&len, 1, 4, u->fp) != 4)
      return IOSTAT_READ_ERROR;
    long start = pos - 8 - static_cast<long>(len);
    if (start < 0) return IOSTAT_READ_ERROR;
    std::fseek(u->fp, start, SEEK_SET);
  } else {
    // Step back over the terminator of the previous record, then to the start
    // of that record.
    long p = pos - 1;
    while (p > 0) {
      std::fseek(u->fp, p - 1, SEEK_SET);
      if (std::fgetc(u->fp) == '\n') break;
      --p;
    }
    std::fseek(u->fp, p, SEEK_SET);
  }
  u->last = LastOp::None;
  return IOSTAT_OK;
}

long unit_mark(int unit) {
  Unit* u = get(unit);
  if (!u || u->preconnected) return -1;
  if (u->lines) return u->lines->mark();
  return std::ftell(u->fp);
}

int unit_return_to(int unit, long mark) {
  Unit* u = get(unit);
  if (!u) return IOSTAT_NOT_OPEN;
  if (u->preconnected || mark < 0) return IOSTAT_READ_ERROR;
  if (u->lines && u->lines->return_to(mark)) {
    u->last = LastOp::None;
    return IOSTAT_OK;
  }
  settle(*u);
  if (std::fseek(u->fp, mark, SEEK_SET) != 0) return IOSTAT_READ_ERROR;
  u->last = LastOp::None;
  return IOSTAT_OK;
}

void unit_flush(int unit) {
  Unit* u = get(unit);
  if (u) std::fflush(u->fp);
}

void flush_all_units() {
  init_preconnected();
  for (int i = 0; i <= g_top; ++i)
    if (g_units[i].fp) std::fflush(g_units[i].fp);
}

void forget_streams() { g_streams.clear(); }

void close_all_units() {
  init_preconnected();
  for (int i = 0; i <= g_top; ++i)
    if (g_units[i].fp && !g_units[i].preconnected) unit_close(i);
  forget_streams();
}

void output_account_start() {
  output_account_stop();
  g_account_on = true;
}

void output_account_stop() {
  g_account_on = false;
  g_account.clear();
  for (int i = 0; i <= g_top; ++i) {
    g_units[i].watched = false;
    g_units[i].accounted = false;
    g_units[i].refuse_reads = false;
  }
}

std::vector<std::string> output_account_lost() {
  std::vector<std::string> names;
  for (const Written& w : g_account)
    if (w.state == Written::State::Lost) names.push_back(w.name);
  return names;
}

std::vector<std::string> output_account_discard() {
  init_preconnected();
  std::vector<std::string> names;
  for (int i = 0; i <= g_top; ++i) {
    Unit& u = g_units[i];
    if (!u.fp || u.preconnected || !u.accounted) continue;
    const std::string name = u.name;
    unit_close(i);
    struct stat st;
    if (stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(name);
    remove_plain_file(name);
  }
  for (const Written& w : g_account) {
    if (w.state != Written::State::Lost) continue;
    struct stat st;
    if (stat(w.name.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    names.push_back(w.name);
    remove_plain_file(w.name);
  }
  return names;
}

}  // namespace rt
