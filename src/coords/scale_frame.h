// Whether the fractionalisation a coordinate file gives (SCALE records, or
// the mmCIF matrix and vector) is the standard one of the file's cell, so
// that its atoms may be kept as written instead of being taken through
// fractional coordinates and back; and whether a cell value the file gives
// can stand in a cell at all.
#pragma once

#include "runtime/array.h"

namespace coords {

// scale and shift as the file gives them; ort_to_frac the standard matrix
// computed from the cell.
bool standard_frame(const rt::Array2<float, 3, 3>& scale, const rt::Array1<float, 3>& shift,
                    const rt::Array2<float, 3, 3>& ort_to_frac);

// Whether value k of a cell (1-3 the edges in A, 4-6 the angles in
// radians) can stand in a cell.  Both coordinate readers hold a file's cell
// to this one rule and take the default cube for a cell that fails it.
bool cell_value_usable(int k, float v);

}  // namespace coords
