// Fuzz target: the restraint, van der Waals and structure-description files
// read back row by row, each reader in turn on the same bytes, over a small
// model of ten atoms.
#include <cstddef>
#include <cstdint>

#include "foundation/atom_com.h"
#include "fuzz_input.h"
#include "output/rst_read.h"
#include "output/str_read.h"
#include "runtime/fixed_text.h"

namespace {

constexpr int32_t kQuiet = 99;

// Reads rows until the end, a failure, or as many rows as the file has bytes
// (a reader that stops advancing must not hold the target).
template <class Read>
void read_rows(std::size_t size, Read&& read) {
  int32_t mode = 0, iend = -1, ierr = 0;
  for (std::size_t n = 0; n <= size + 1; ++n) {
    read(mode, iend, ierr);
    if (iend == 1 || ierr != 0) return;
    iend = 0;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::MemoryFile file(data, size);
  if (!file.ok()) return 0;
  atom_inf.n_atom = 10;
  fuzz::run_reader([&] {
    rt::FixedText<256> path;
    int32_t in = 0, ierr = 0;
    orrst_cif_(kQuiet, in, path, file.path(), "", ierr);
    if (ierr != 0) return;
    read_rows(size, [&](int32_t& mode, int32_t& iend, int32_t& e) {
      rdrst_cif_(kQuiet, in, mode, iend, e);
    });
  });
  fuzz::MemoryFile vdw(data, size);
  fuzz::run_reader([&] {
    rt::FixedText<256> path;
    int32_t in = 0, ierr = 0;
    orvdw_cif_(kQuiet, in, path, vdw.path(), "", ierr);
    if (ierr != 0) return;
    read_rows(size, [&](int32_t& mode, int32_t& iend, int32_t& e) {
      rdvdw_cif_(kQuiet, in, mode, iend, e);
    });
  });
  fuzz::MemoryFile str(data, size);
  fuzz::run_reader([&] {
    rt::FixedText<256> path;
    int32_t ierr = 0;
    read_str_(kQuiet, path, str.path(), "", ierr);
  });
  return 0;
}
