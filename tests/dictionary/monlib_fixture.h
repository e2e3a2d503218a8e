// The test monomer library of tests/data/monlib loaded through the loading
// sequence, and small library files written into a temporary directory.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <string>

#include "dictionary/lib_com.h"
#include "dictionary/lib_loading.h"
#include "support/capture.h"
#include "support/temp_dir.h"

namespace monlib {

// The library directory, ending in "/" as paths are joined without one.
inline std::string test_library() { return std::string(ORB_TEST_DATA_DIR) + "/monlib/"; }

struct Names {
  LibNames libm{};
  rt::FixedText<256> libe{""}, libm_ext{""}, libe_ext{""}, lib_ind{""}, lib_out{""};
};

// getlib_ on directory dir, the energy library from the same directory.
inline int32_t load_raw(const std::string& dir, char list = ' ', char nodist = 'N',
                        const std::string& lib2 = "", Names* names = nullptr) {
  setenv("ATOMSF", ORB_DATA_DIR "/atomsf.lib", 0);
  Names local;
  Names& n = names ? *names : local;
  int32_t numb = 0, ierr = -1;
  getlib_(0, list, nodist, numb, dir, dir, "", n.libm, n.libe.ref(), "", n.libm_ext.ref(),
          n.libe_ext.ref(), "", lib2, n.lib_ind.ref(), n.lib_out.ref(), ierr);
  return ierr;
}

// The same with the log of the loading in out.
inline int32_t load(const std::string& dir, std::string& out, char list = ' ', char nodist = 'N',
                    const std::string& lib2 = "", Names* names = nullptr) {
  int32_t ierr = -1;
  out = captured([&] { ierr = load_raw(dir, list, nodist, lib2, names); });
  return ierr;
}

// Marks the entries of the codes "R" and reads them (read_lib_ "M").
inline int32_t read_marked(std::initializer_list<const char*> codes, std::string& out,
                           char nodist = 'N') {
  r_scratch_t& r = r_scratch;
  for (const char* c : codes)
    for (int l = 1; l <= r.lml_nmon; ++l)
      if (r.lml_mname(l) == c) r.lml_fuse(l) = "R";
  int32_t ierr = -1;
  out = captured([&] { read_lib_(0, "M", nodist, ' ', ierr); });
  return ierr;
}

inline int entry_of(const char* code) {
  for (int l = 1; l <= r_scratch.lml_nmon; ++l)
    if (r_scratch.lml_mname(l) == code) return l;
  return 0;
}

// The support library's scratch directory, named with a trailing "/" as the
// library readers take it.
class TempDir : public ::TempDir {
 public:
  std::string dir() const { return path() + "/"; }
};

}  // namespace monlib

namespace monlib {
inline std::string file_text(const std::string& path) { return ::file_text(path); }
}  // namespace monlib
