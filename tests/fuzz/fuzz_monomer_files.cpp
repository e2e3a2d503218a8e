// Fuzz target: a mutated file of a library directory's per-monomer files
// (a/ALA.cif) through the description reader, with the rest of the library
// (list, index, energy library, links) the test library's own, read once.
// The file lives in a scratch directory of its own, removed at the end.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "dictionary/dict_index.h"
#include "dictionary/lib_com.h"
#include "dictionary/lib_loading.h"
#include "dictionary/libcom.h"
#include "fuzz_input.h"

namespace {

std::string scratch;

void remove_scratch() {
  if (scratch.empty()) return;
  std::remove((scratch + "/a/ALA.cif").c_str());
  ::rmdir((scratch + "/a").c_str());
  ::rmdir(scratch.c_str());
}

// The test library once; false when it cannot be read (nothing to fuzz).
bool library_loaded() {
  static int state = 0;
  if (state != 0) return state > 0;
  state = -1;
  char dir[] = "/tmp/fuzz_monomer_files.XXXXXX";
  if (::mkdtemp(dir) == nullptr) return false;
  scratch = dir;
  std::atexit(remove_scratch);
  if (::mkdir((scratch + "/a").c_str(), 0700) != 0) return false;
  fuzz::run_reader([&] {
    static LibNames names;
    rt::FixedText<256> libe, libm_ext, libe_ext, lib_ind, lib_out;
    for (auto* t : {&libe, &libm_ext, &libe_ext, &lib_ind, &lib_out}) t->blank();
    int32_t numb = 0, ierr = 1;
    getlib_(999, 'S', 'N', numb, ORB_FUZZ_MONLIB, ORB_FUZZ_MONLIB, "", names, libe.ref(), "",
            libm_ext.ref(), libe_ext.ref(), "", "", lib_ind.ref(), lib_out.ref(), ierr);
    if (ierr == 0 && dictionary::find_list_entry("ALA", false) > 0) state = 1;
  });
  return state > 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (!library_loaded()) return 0;
  const std::string path = scratch + "/a/ALA.cif";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return 0;
  const bool whole = std::fwrite(data, 1, size, f) == size;
  if (std::fclose(f) != 0 || !whole) return 0;
  fuzz::run_reader([&] {
    libcom.lmi_path = scratch + "/";
    libcom.lmi_ext = "cif";
    sset_fuse_('N', ' ');
    const int32_t l = dictionary::find_list_entry("ALA", false);
    r_scratch.lml_fuse(l) = "R";
    r_scratch.lml_pass(l) = 1;
    int32_t ierr = 0;
    read_lib_(999, "M", 'N', ' ', ierr);
  });
  return 0;
}
