// Rigid shift of the whole model for a changed cell: all atoms move by the
// displacement that the cell change gives to the model's centre, so that the
// internal geometry is kept.
#pragma once

#include <cstdint>

// frac_to_ort_new and ort_to_frac_old are 3x3 column-major matrices.
// Writes atom_crd.
void make_correction_to_cell_diff_(const float* frac_to_ort_new, const float* ort_to_frac_old,
                                   int32_t& ierr);
