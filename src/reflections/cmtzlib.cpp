// The file slots of the reflection-file library's code-base interface.
#include "reflections/cmtzlib.h"

#include <cstdio>
#include <cstdlib>

#include "reflections/mtz_hierarchy.h"
#include "suite/library_f.h"

namespace {

std::unique_ptr<MtzFile> slots[MTZ_MAX_SLOTS];

}  // namespace

std::unique_ptr<MtzFile>& mtz_slot(int mindx) {
  if (mindx < 1 || mindx > MTZ_MAX_SLOTS) {
    std::fprintf(stderr, "mtz_slot: index %d outside 1..%d\n", mindx, MTZ_MAX_SLOTS);
    std::abort();
  }
  // Only a run that touches a slot has records to free at its end.
  ptq7f_register_tidy(MtzMemTidy);
  return slots[mindx - 1];
}

void MtzMemTidy() {
  for (auto& s : slots)
    if (s) MtzFree(std::move(s));
}
