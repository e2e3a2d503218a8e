// The occupancies of a model as the restraints take them.
#include "pipeline/occupancies.h"

#include <cstdio>
#include <string>

#include "coords/no_occupancy.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"

namespace {

// The occupancy at or below which the restraints leave an atom out.
constexpr float kUnoccupied = 0.001f;

constexpr const char* kNoOccupancy =
    ": the occupancy column holds no occupancy (as a PQR file's charges do)";

void refuse(int32_t mdoc, const coords::NegativeOccupancy& at) {
  char value[32];
  std::snprintf(value, sizeof value, "%g", static_cast<double>(at.occ));
  std::string place = at.serial == 0 ? std::string(" in PDB atom record, line ")
                                     : " of atom " + std::to_string(at.serial) + ", row at line ";
  msgerr_(mdoc, " ERROR: occupancy below 0 (" + std::string(value) + ")" + place +
                    std::to_string(at.line) + kNoOccupancy);
  if (at.serial == 0) msgerr_(mdoc, at.record.trimmed());
}

}  // namespace

bool pipeline::occupancies_read(int32_t mdoc) {
  const coords::NegativeOccupancy& below = coords::negative_occupancy();
  if (below.line != 0) {
    refuse(mdoc, below);
    return false;
  }
  const int32_t n = atom_inf.n_atom;
  if (n == 0) return true;
  for (int32_t ia = 1; ia <= n; ++ia)
    if (atom_crd.occup(ia) > kUnoccupied) return true;
  for (int32_t ia = 1; ia <= n; ++ia) atom_crd.occup(ia) = 1.0f;
  msgdoc_(mdoc, " WARNING: every atom has occupancy 0 (0.001 or less): the file gives no "
                "occupancies, each atom is read as 1.0");
  return true;
}
