// Fuzz target: a mutated symmetry data file (one or a few blocks) through the
// space-group loader, by number, by name and by operator list.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz_input.h"
#include "suite/csymlib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::MemoryFile file(data, size);
  if (!file.ok()) return 0;
  ::setenv("SYMINFO", file.path().c_str(), 1);
  fuzz::run_reader([&] {
    for (int number : {1, 4, 19, 146, 230}) {
      SpacegroupPtr sg = ptq7spg_load_by_standard_num(number);
      ptq7spg_free(sg);
    }
    SpacegroupPtr by_name = ptq7spg_load_by_spgname("P 21 21 21");
    ptq7spg_free(by_name);
    SpacegroupPtr by_ptq7_name = ptq7spg_load_by_ptq7_spgname("R 3 :H");
    ptq7spg_free(by_ptq7_name);
  });
  return 0;
}
