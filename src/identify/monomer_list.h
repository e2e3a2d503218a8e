// The monomers a model needs, marked in the dictionary's monomer list and
// read from the library before any residue is identified.
#pragma once

#include <cstdint>

#include "runtime/fixed_text.h"

// Marks the entry of every residue of the model (by its name or the name a
// modification row of the model gives it) and reads the marked descriptions.
// ierr 0; 1 the model is empty; 2 the monomer list is empty; otherwise the
// status of the reader.  Writes r_scratch lml_fuse, the monomer rows
// (emptied first, then read) and whatever the reader fills.
void pre_monom_list_(int32_t mdoc, char list, int32_t& ierr);
// mon: the residue name in, the dictionary name found out (directly, by a
// synonym's alternative name, or as a derivative up to two generations).
// ierr 0 found (its entry marked "R" when it was "N"), 1 not found, 2 the
// monomer list is empty (reported).  Writes r_scratch lml_fuse.
void look_mon_lib_(int32_t mdoc, rt::FixedText<8>& mon, int32_t& ierr);
