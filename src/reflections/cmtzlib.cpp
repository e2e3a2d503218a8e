// Resolution arithmetic of the reflection-file library and the file slots of
// its code-base interface.
#include "reflections/cmtzlib.h"

#include <cstdio>
#include <cstdlib>

#include "suite/library_f.h"
#include "suite/ptq7_unitcell.h"

namespace {

std::unique_ptr<MtzFile> slots[MTZ_MAX_SLOTS];

}  // namespace

int MtzHklcoeffs(const float cell[6], double coefs[6]) { return suite::hkl_coeffs(cell, coefs); }

float MtzInd2reso(const int32_t hkl[3], const double coefs[6]) { return suite::ind_to_reso(hkl, coefs); }

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
  for (auto& s : slots) s.reset();
}
