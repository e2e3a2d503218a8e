// Scratch directories for tests that write files, and whole-file reads.
#pragma once

#include <string>
#include <string_view>

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // The path of `name` inside the directory.
  std::string file(std::string_view name) const;
  // Writes `text` to `name` (a relative path; missing directories are made)
  // and returns its path.
  std::string write(std::string_view name, std::string_view text) const;

 private:
  std::string path_;
};

// A scratch directory of the test program's own, with a closing slash; it is
// removed when the program ends.  For files whose names tests fix.
const std::string& scratch_path();

// The whole content of a file ("" when it cannot be read).
std::string file_text(const std::string& path);
