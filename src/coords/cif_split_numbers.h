// A residue number of one author's chain held by two mmCIF residues that
// follow one another under different chain labels: the PDB form of such a
// file holds one number twice in a chain (a microheterogeneity whose
// alternate codes the writer dropped, the second residue given a chain
// label of its own), and linking the two would bond coinciding atoms.
// Also, where the reader asks, a polymer residue's or water's number that
// its chain held before (two models written as one, waters numbered twice).
#pragma once

#include <cstdint>

namespace coords {

// Forgets the rows of an earlier read.  `given_again`: the polymer residues
// and waters of a named chain given again are watched too (the mmCIF reading entry,
// whose chains no later check compares; the PDB rules compare the chains
// of the PDB form).
void split_numbers_start(bool given_again = false);
// For the atom row that rdcrd_cif_ returned last.  Two residues at one
// number are watched in files that label their chains only: the rows of a
// file that labels none are checked on the chains of their PDB form
// (check_split_numbers).  A polymer residue given again is watched in
// every file that names its chains, by the author's chain and the label
// together (one author's chain may hold two labelled chains, each numbered
// from 1): one given again with residues of other numbers between them is
// held.  So is a water, among the waters of its chain, label and water
// chain (those past 9999 are a further one).  A blank chain may hold a number once for each chain of the entry:
// a residue of it is held where it lies on an earlier residue of its number
// (an atom on the atom of its name, namesakes_coincide).  `again`: the row
// begins the residue before again (pdb::ResidueAgain), another residue.
void split_numbers_row(bool again = false);
// After the rows: the two error lines of a number held more than once
// (coords::report_same_number, with the residues that hold it) for each
// number so held: one residue split by a line of another name (the first
// name returns after the second), or written twice under two names (an
// atom of one within 0.5 A of an atom of the other), where the two do not
// both hold alternate codes (those are the conformers of one
// microheterogeneity); and of each number of a polymer residue or water
// given again.  Two residues at one number otherwise are named in one
// warning each.  6 when any was held, else 0.
int32_t split_numbers_report(int32_t mdoc);

}  // namespace coords
