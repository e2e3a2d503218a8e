// Fuzz target: a reflection (MTZ) file through the reader, reflections and
// all, in both ways the reader can be asked: whole, and header first with the
// rows read one at a time.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "fuzz_input.h"
#include "reflections/mtz_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::MemoryFile file(data, size);
  if (!file.ok()) return 0;
  fuzz::run_reader([&] {
    std::unique_ptr<MtzFile> whole = MtzGet(file.path().c_str(), 1);
  });
  fuzz::MemoryFile again(data, size);
  fuzz::run_reader([&] {
    std::unique_ptr<MtzFile> head = MtzGet(again.path().c_str(), 0);
    if (!head || !head->file_in || head->ncol_file <= 0) return;
    std::vector<float> row(static_cast<std::size_t>(head->ncol_file));
    for (int i = 0; i < head->nref_file; ++i)
      if (MtzRrefl(head->file_in.get(), head->ncol_file, row.data()) != head->ncol_file) break;
  });
  return 0;
}
