// Fuzz target: the second file of the library index (the candidate pool of
// the graph search) through its reader, in the text form the library
// directory holds and in the unformatted form.
#include <cstddef>
#include <cstdint>

#include "dictionary/lib_index.h"
#include "fuzz_input.h"
#include "runtime/units.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::MemoryFile file(data, size);
  if (!file.ok()) return 0;
  constexpr int kUnit = 31;
  for (const char form : {'F', 'U'}) {
    fuzz::run_reader([&] {
      rt::OpenOptions opt;
      opt.status = rt::OpenStatus::Old;
      opt.readonly = true;
      opt.form = form == 'U' ? rt::Form::Unformatted : rt::Form::Formatted;
      if (rt::unit_open(kUnit, file.path(), opt) != 0) return;
      int32_t ierr = 0;
      lib_read_index2_(999, kUnit, form, ierr);
      // A pool that was taken must be one the graph search can walk.
      const com_match_pool_t& p = com_match_pool;
      if (ierr == 0)
        for (int32_t k = 1; k <= p.match_nmon; ++k)
          if (p.match_pointer(k) < 1 || p.match_pointer(k) > p.mem_tot) __builtin_trap();
    });
  }
  return 0;
}
