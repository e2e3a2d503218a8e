// Fuzz target: a mutated scattering-factor file through its reader, for a
// neutral element, an ion that falls back to its element, a one-letter
// symbol that must not take a two-letter entry, and the marked-entries form.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "foundation/spgr_names.h"
#include "fuzz_input.h"
#include "suite/sfread.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::MemoryFile file(data, size);
  if (!file.ok()) return 0;
  ::setenv("ATOMSF", file.path().c_str(), 1);
  fuzz::run_reader([&] {
    for (const char* element : {"C", "FE2+", "N", "SE"}) {
      int32_t nel = 0, ierr = 0;
      float a1, a2, a3, a4, b1, b2, b3, b4, c, fp, fpp, radius;
      get_sfa_(element, 0, nel, a1, a2, a3, a4, b1, b2, b3, b4, c, fp, fpp, radius, ierr);
    }
    rt::FixedText<4> id("ZN");
    float a[4], b[4], cu[2], mo[2], c = 0.0f;
    int32_t iwt = 0, nel = 0, ifail = 0;
    sfread2_(id, 2, a, b, c, iwt, nel, cu, mo, ifail);
  });
  return 0;
}
