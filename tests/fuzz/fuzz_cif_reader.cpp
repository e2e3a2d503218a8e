// Fuzz target: an mmCIF or small-molecule CIF file through the CIF
// coordinate reader (messages silenced, the tables reset by the reader).
#include <cstddef>
#include <cstdint>

#include "coords/read_atoms.h"
#include "foundation/paths_defaults.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::MemoryFile file(data, size);
  if (!file.ok()) return 0;
  fuzz::run_reader([&] {
    init_defaults_();
    const float no_cell[6] = {0, 0, 0, 0, 0, 0};
    int32_t ierr = 0;
    read_atoms_(-999, file.directory(), file.name(), "", 0, no_cell, ierr);
  });
  return 0;
}
