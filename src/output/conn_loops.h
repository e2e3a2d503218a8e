// The model's links and residue modifications written into an output mmCIF
// coordinate file as the _struct_conn and _ptq7_struct_asym_mod loops.
// Both read link_inf, mod_inf, resid_inf and asym_part and write no table.
#pragma once

#include <cstdint>

// iun: the open output unit; ifirst: 0 asks for the banner and loop header
// ahead of the first row, then 1.  Nothing is written, whatever the unit,
// when no entry is selected.  ierr 0; 1 a line failed; 5 the unit is 0.
void wrt_link_(int32_t mdoc, int32_t iun, int32_t& ifirst, int32_t& ierr);
void wrt_mod_(int32_t mdoc, int32_t iun, int32_t& ifirst, int32_t& ierr);
