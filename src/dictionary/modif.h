// Applying a modification of the dictionary to the monomer in L1.
#pragma once

#include <cstdint>
#include <string_view>

// Applies modification mod_in (its first 8 characters) to L1: the atom,
// tree, bond, angle, torsion, plane and chiral-centre records, then removes
// the marked rows, merges planes that share three atoms, renumbers the tree
// and moves its ends where the records say.  "NH3", "AA-STAND" and
// "AA-STPRO" become their variants for a substituted backbone nitrogen (an
// N-CD or N-CN bond).  A code beginning with "." does nothing.
// ierr: 0 applied, and also for a modification the library lacks (or a
// library without modifications): a warning line, L1 unchanged, nothing to
// stop for; the line for a modification the library lacks is given once
// per modification and monomer until forget_missing_modifications(); 1 a
// plane record the plane editor refuses.  L1's code and description state
// never change.
// Writes r_scratch L1 and ldl_imod.
void modif_(int32_t mdoc, std::string_view mod_in, int32_t& ierr);

namespace dictionary {
// Forgets which missing modifications were reported: each library loading
// starts a run, which reports them afresh.
void forget_missing_modifications();
}  // namespace dictionary
