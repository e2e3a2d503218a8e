// Atoms whose occupancy column holds no occupancy.  A PQR file keeps each
// atom's charge where a PDB file has the occupancy, so some atoms read
// below 0; the readers note the first such atom of a read, and a program
// that restrains atoms by their occupancy refuses the model by it (orbinate,
// whose groups take no occupancy, reads the file as it is).
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

namespace coords {

// Filled by the PDB and mmCIF readers (coords); read by the pipeline.
struct NegativeOccupancy {
  int32_t line = 0;          // the file's line of the atom, 0 when no atom was below 0
  int32_t serial = 0;        // the atom's serial of an mmCIF row; 0 for a PDB record
  float occ = 0.0f;          // its occupancy as read
  rt::FixedText<80> record;  // the PDB atom record as written; blank for an mmCIF row
};

// Forgets the atom of an earlier read.
void negative_occupancy_start();
// Notes the atom of a PDB record, or of an mmCIF row (`record` empty), when
// it is the first of the read whose occupancy is below 0.
void note_negative_occupancy(float occ, int32_t line, int32_t serial, std::string_view record);
const NegativeOccupancy& negative_occupancy();

}  // namespace coords
