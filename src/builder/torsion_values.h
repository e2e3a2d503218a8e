// Torsion rows of a new monomer in L1: observed value, ideal value, period,
// esd and id ("var_" or "CONST_" with a running number).
#pragma once

#include <cstdint>

// Adds torsion i1-i2-i3-i4 (central bond i2-i3).  nv and nc count the
// variable and constant torsions made so far; one of them grows.  Bad
// indices add nothing.  ierr 1 (two error lines) when the table is full.
// Writes r_scratch l1t_ rows.
void set_vtors_(int32_t mdoc, int32_t i1, int32_t i2, int32_t i3, int32_t i4, int32_t& nv,
                int32_t& nc, int32_t& ierr);
