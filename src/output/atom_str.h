// Filled by the output room's structure-description reader (read_str_),
// after the restraint generator has cleared its rows (clear_atom_str); read
// by the structure-description writer and the restraint generator.
// The per-atom values kept beside the coordinates: radii, charge, the
// internal coordinates, the back, forward and extra partner atoms (atom
// serial numbers, 0 for none), the hydrogen type and the psi identifier.
// Indexed by atom serial number, parallel to atom_inf.
#pragma once

#include <cstdint>

#include "foundation/atom_com.h"

struct atom_str_t {
  rt::Array1<float, MAXATOM> as_vdw;       // van der Waals radius
  rt::Array1<float, MAXATOM> as_ion;       // ionic radius
  rt::Array1<float, MAXATOM> as_char;      // charge
  rt::Array1<float, MAXATOM> as_dist;      // internal-coordinate distance
  rt::Array1<float, MAXATOM> as_tht;       // internal-coordinate theta
  rt::Array1<float, MAXATOM> as_psi;       // internal-coordinate psi
  rt::Array1<int32_t, MAXATOM> as_iback;   // back partner atom
  rt::Array1<int32_t, MAXATOM> as_ifor;    // forward partner atom
  rt::Array1<int32_t, MAXATOM> as_iextr;   // first extra partner atom
  rt::Array1<int32_t, MAXATOM> as_iextr2;  // second extra partner atom
  rt::Array1<int32_t, MAXATOM> as_iextr3;  // third, made by the reader only
  rt::Array1<int32_t, MAXATOM> as_iwork1;  // work values, 0 for every atom read
  rt::Array1<int32_t, MAXATOM> as_iwork2;
  rt::Array1<Text<4>, MAXATOM> as_chem;    // chemical type, from atom_inf
  rt::Array1<Text<1>, MAXATOM> as_hbt;     // hydrogen type
  rt::Array1<Text<4>, MAXATOM> as_id_psi;  // psi identifier
};
extern atom_str_t atom_str;

namespace output {

// The members of rows 1..n that the structure-file reader takes from a row
// alone (radii, charge, internal coordinates, hydrogen type, psi
// identifier) back to the zero bytes they hold when a process starts.  The
// file read back gives no row to the atoms its writer appends, and the
// reader leaves those members as they stand: in a second pipeline call of
// one process they would be the first call's.
// Writes atom_str.
void clear_atom_str(int32_t n);

}  // namespace output
