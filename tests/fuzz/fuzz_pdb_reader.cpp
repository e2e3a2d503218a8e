// Fuzz target: a PDB coordinate file through the reader, as the program reads
// one (reader messages silenced, the tables reset first).
#include <cstddef>
#include <cstdint>

#include "coords/pdb_reader.h"
#include "foundation/atom_com.h"
#include "foundation/paths_defaults.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::MemoryFile file(data, size);
  if (!file.ok()) return 0;
  const int32_t mdoc = -999;
  fuzz::run_reader([&] {
    int32_t ierr = 0;
    init_atm_inf_(mdoc, ierr);
    init_defaults_();
    const float no_cell[6] = {0, 0, 0, 0, 0, 0};
    ierr = 0;
    get_pdb_(mdoc, file.path(), 0, no_cell, 'N', 'N', 'N', ierr);
  });
  return 0;
}
