// Fuzz target: the pass over a PDB file's atom lines for segment
// identifiers, on a mutated coordinate file.
#include <cstddef>
#include <cstdint>

#include "coords/pdb_segids.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::MemoryFile file(data, size);
  if (!file.ok()) return 0;
  fuzz::run_reader([&] { (void)coords::pdb_has_segment_ids(file.path()); });
  return 0;
}
