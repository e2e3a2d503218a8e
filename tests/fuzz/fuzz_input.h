// What every fuzz target shares: the mutated bytes as a file that lives only
// in memory (so a target never leaves files behind), and a run of a reader
// that may end the run the way the program's main would see it.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "runtime/run.h"
#include "runtime/units.h"

namespace fuzz {

// The bytes as an anonymous in-memory file, named through /proc.
class MemoryFile {
 public:
  MemoryFile(const uint8_t* data, std::size_t size) {
    fd_ = ::memfd_create("fuzz-input", 0);
    if (fd_ < 0) return;
    std::size_t done = 0;
    while (done < size) {
      const ssize_t n = ::write(fd_, data + done, size - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    ::lseek(fd_, 0, SEEK_SET);
  }
  ~MemoryFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  bool ok() const { return fd_ >= 0; }
  std::string directory() const { return "/proc/self/fd/"; }
  std::string name() const { return std::to_string(fd_); }
  std::string path() const { return directory() + name(); }

 private:
  int fd_ = -1;
};

// Runs a reader; a stop of the run is an ordinary outcome for bad input.
// Units it left open are closed, as the end of a run would.
template <class F>
void run_reader(F&& f) {
  try {
    f();
  } catch (const rt::RunEnd&) {
  }
  rt::close_all_units();
  std::fflush(stdout);
}

}  // namespace fuzz
