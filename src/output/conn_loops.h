// The model's links and residue modifications written into an output mmCIF
// coordinate file as the _struct_conn and _ptq7_struct_asym_mod loops.
// Both read link_inf, mod_inf, resid_inf and asym_part and write no table.
#pragma once

#include <cstdint>

#include "runtime/fixed_text.h"

// iun: the open output unit; ifirst: 0 asks for the banner and loop header
// ahead of the first row, then 1.  Nothing is written, whatever the unit,
// when no entry is selected.  ierr 0; 1 a line failed; 5 the unit is 0.
void wrt_link_(int32_t mdoc, int32_t iun, int32_t& ifirst, int32_t& ierr);
void wrt_mod_(int32_t mdoc, int32_t iun, int32_t& ifirst, int32_t& ierr);

namespace output {

// The alternate code written for one partner (alt, its ln_alt1 or ln_alt2)
// of link row i, so that a run on the written file restrains the pairs of
// conformers the writing run did.  A special row (ln_used "S") is restrained
// for the conformers it names and keeps them, one row a conformer; any
// other row names its atoms only and is restrained for every conformer of
// them, so it is written with no alternate ("."), which the readers take
// for every conformer.  The mmCIF and the PDB link writers both use it.
rt::FixedText<1> link_alt_written(int32_t i, const rt::FixedText<1>& alt);

}  // namespace output
