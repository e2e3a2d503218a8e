// Fuzz target: the test that tells a PDB file from an mmCIF file by its first
// lines, on a mutated coordinate file.
#include <cstddef>
#include <cstdint>

#include "coords/file_type.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::MemoryFile file(data, size);
  if (!file.ok()) return 0;
  fuzz::run_reader([&] {
    rt::FixedText<256> name(file.path());
    rt::FixedText<1> flag;
    int32_t ierr = 0;
    pdb_or_cif_(-999, name.ref(), flag, ierr);
    if (ierr == 0 && !(flag == "P" || flag == "C")) __builtin_trap();
  });
  return 0;
}
