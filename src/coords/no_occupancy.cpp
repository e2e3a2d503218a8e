// The first atom of a read whose occupancy column holds no occupancy.
#include "coords/no_occupancy.h"

namespace {

coords::NegativeOccupancy first;

}  // namespace

void coords::negative_occupancy_start() {
  first = NegativeOccupancy{};
  first.record.blank();
}

void coords::note_negative_occupancy(float occ, int32_t line, int32_t serial,
                                     std::string_view record) {
  if (!(occ < 0.0f) || first.line != 0) return;
  first.line = line;
  first.serial = serial;
  first.occ = occ;
  first.record = record;
}

const coords::NegativeOccupancy& coords::negative_occupancy() { return first; }
