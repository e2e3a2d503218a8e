// Chains of mmCIF atom rows whose file names no chain of its own.  Some
// viewers write the label "." on every row, so that the labels cannot tell
// a chain from the waters and ligands after it; the PDB form of the same
// atoms ends the chain there.  Such rows are given the chain key of the PDB
// form: the author's chain and a counter raised where the PDB reader ends a
// chain (a HETATM residue, the first water, a residue of a class that does
// not continue the chain, a residue after the chain's OXT).
#pragma once

#include <cstdint>
#include <vector>

#include "coords/pdb_records.h"

namespace coords {

// Forgets the rows of an earlier read.
void unlabelled_chains_start();
// For the atom row that rdcrd_cif_ returned last, in a file whose first
// row names no chain (no label item, or the label "."): the
// row's group (crdatm cr_group and the chain characters of cr_pnum) becomes
// the PDB form's chain key, the author's chain followed by the counter
// digit.  In a file that names its chains, the rows of the blank chain
// (named_chain empty: a blank author's chain whatever the label) are
// keyed so too, whatever their labels, each piece named as the PDB reader
// names the pieces of a blank chain (XX, Xa, ..., Xaa, ...) and no chain
// read so far holds; its other rows are left as read.
// `wraps`: the row starts a further water chain (its number went past 9999
// or restarted after it), which raises the counter as the PDB reader does.
// So does a row of the blank chain whose entity is not that of the row
// before, and a residue of the blank chain other than a water whose numbers
// start again (below the residue before, no chain bond between them) or
// that holds a number its piece already holds, lying apart from the residue
// holding it: the chains of an entry whose writer named none.  `again`:
// the row gives the residue before again, lying apart from it
// (pdb::ResidueAgain), which a ligand, or a residue of the blank chain,
// begins a further chain with.
// Writes crdatm.
void unlabelled_chain_of_row(bool wraps = false, bool again = false);
// After the last row: the rows (counted from 1 in the order of the calls
// above) at which such a further chain begins, ascending.
const std::vector<int32_t>& unlabelled_chain_starts();
// After the last row: where the numbers of the blank chain dropped at a
// residue whose first row is no N or P, the residue's N or P that the
// look-ahead found further on, by the residue's rows, ascending; so that a
// second reading of the rows judges the chain bond there too.
const std::vector<CifChainAtom>& unlabelled_chain_atoms_ahead();
// After the last row: copies of a chain written residue by residue among
// the rows keyed (coords::InterleavedCopies), refused with an error line
// and 6; else 0.
int32_t unlabelled_copies_report(int32_t mdoc);
// After the atom of keyed row `row` (0: the last row keyed) was stored: the
// residues stored since take the piece of the blank chain that the row
// stands in, each piece begun where the file's entity turns.  Nothing in a
// file that names its chains.
// Reads resid_inf.
void unlabelled_row_stored(int32_t row = 0);
// Whether residues q and r of such a file stand in pieces of the blank chain
// under different entities: chains of their own, each holding its own
// numbers.  False on any other read.
// Reads resid_inf.
bool unlabelled_pieces_differ(int32_t q, int32_t r);
// After the read of a file that names no chain: the chain identifiers as
// the PDB reader gives them from those keys, and true.  Nothing otherwise,
// and false.
// Writes asym_part and resid_inf.
bool unlabelled_chain_ids(int32_t mdoc);

}  // namespace coords
