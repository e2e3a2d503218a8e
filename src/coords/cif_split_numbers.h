// A residue number of one author's chain held by two mmCIF residues that
// follow one another under different chain labels: the PDB form of such a
// file holds one number twice in a chain (a microheterogeneity whose
// alternate codes the writer dropped, the second residue given a chain
// label of its own), and linking the two would bond coinciding atoms.
#pragma once

#include <cstdint>

namespace coords {

// Forgets the rows of an earlier read.
void split_numbers_start();
// For the atom row that rdcrd_cif_ returned last.  Only files that label
// their chains are watched: the rows of a file that labels none are checked
// on the chains of their PDB form (check_split_numbers).
void split_numbers_row();
// After the rows: the two error lines of two residues at one number for
// each number so held, where the two residues do not both hold alternate
// codes (those are the conformers of one microheterogeneity); 6 when any
// was found, else 0.
int32_t split_numbers_report(int32_t mdoc);

}  // namespace coords
