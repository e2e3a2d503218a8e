// The REMARK 3 refinement-statistics block of a PDB file, written from the
// refinement-side tables (refine_tables.h).  While those tables hold no
// reflections the block writes nothing.
#pragma once

#include <cstdint>

// Writes the whole block on unit iout_file, or nothing when the working
// set has no reflections.  Writes no table.
void write_deposit_stats_(int32_t iout_file);

// Mean B value of the model in A**2 over the atoms of positive occupancy,
// divided by the whole atom count.
// Writes no table.
void find_b_over_coor_(float& b_over_coor);

// Number of atoms whose refinement flag (modulo 10) is above 2.
// Writes no table.
void find_nrefined_atoms_(int32_t& n_refined_atoms);
