// The occupancies of a model as the restraints take them.  An atom of
// occupancy 0 (0.001 or less) is left out of every restraint, so a file
// whose occupancy column holds something else, or nothing, must not pass
// for a model whose atoms are all absent.
#pragma once

#include <cstdint>

namespace pipeline {

// After the coordinates are read.  False, with one ERROR line naming the
// first atom record or row whose occupancy is below 0 (the column holds no
// occupancy, as a PQR file's charges do).  A model whose every atom has
// occupancy 0 has none either: each atom takes 1.0, as where a file has no
// occupancy column, with one WARNING.
// Reads the first atom below 0 that the readers noted; writes atom_crd
// occup.
bool occupancies_read(int32_t mdoc);

}  // namespace pipeline
