// Pieces of the bond graph held in L2, counted by relabelling: every atom
// starts with its own label in l2a_icr, and a bond whose ends carry two
// labels makes the second label the first everywhere, in the atom labels and
// in both bond-end columns (so L2's bond ends end up holding labels).
#pragma once

#include <cstdint>

namespace dictionary {

// Runs at most max_passes passes over atoms 1..natom and returns the number
// of distinct labels after the last pass run (a pass that leaves fewer than
// two ends the count).  Bond ends that are not positive (unresolved atoms)
// join nothing.  Writes r_scratch l2a_icr, l2b_i1atm, l2b_i2atm.
int32_t merge_l2_pieces(int32_t natom, int32_t max_passes);

}  // namespace dictionary
