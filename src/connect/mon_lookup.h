// A monomer of the library by name, synonym or derivative.
#pragma once

#include <cstdint>

#include "runtime/fixed_text.h"

// Finds mon in the monomer list, else through a synonym's alternative name,
// else through up to two derivative steps; a hit replaces mon by the listed
// name and loads the monomer's description when it is not loaded yet.
// ierr 0 found, 1 not found, 2 empty library.
// Writes r_scratch (through read_lib_ when a description is loaded) and lml_fuse.
void look_mon_lib2_(int32_t mdoc, rt::FixedText<8>& mon, char list, int32_t& ierr);
