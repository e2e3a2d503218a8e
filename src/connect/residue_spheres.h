// Bounding spheres of the residues, so that the link search by distance
// measures atom by atom only residue pairs whose spheres come close.
#pragma once

#include <cstdint>

#include "foundation/atom_com.h"
#include "runtime/array.h"

// Filled by connect (def_center_); read by connect and the rooms above it.
// One sphere per residue, indexed like resid_inf.
struct resid_inf_2_t {
  rt::Array2<float, 3, MAXRESID> center_res;  // centre x y z, orthogonal Angstrom
  // Largest distance from the centre to a counted atom; 0.0 for a residue of
  // one atom or none; -1.0 when no atom of the residue counts.
  rt::Array1<float, MAXRESID> radius_res;
  // 0 usable; -1 the residue takes part in an explicit atom-pair connection
  // of the coordinate file, so its sphere may not pass over any pair.
  rt::Array1<int32_t, MAXRESID> iflag_res;
};
extern resid_inf_2_t resid_inf_2;

// Spheres of every residue of every chain; ierr 1 (no message) for an empty
// model, otherwise left as the caller set it.  mdoc is not used.
// Writes resid_inf_2.
void def_center_(int32_t mdoc, int32_t& ierr);

// Verdict on residues ir1, ir2 with margin dlim: -1 a sphere flagged unusable,
// 3 a residue without counted atoms, 2 a residue of one atom or none, 1 the
// spheres come within dlim, 0 they are farther apart.
void check_centr_(int32_t ir1, int32_t ir2, float dlim, int32_t& iout);
