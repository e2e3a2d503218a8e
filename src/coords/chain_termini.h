// Start and end terminus types of every chain of the model, from the end
// residues of its residue tree, their terminal atoms and the link table.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// ierr 0, or 1 after an error line (empty model, broken residue tree).  A
// peptide chain's free end whose carboxyl oxygens are named O1 and O2 (as
// GROMOS names them) has them named O and OXT, with a warning.
// Writes atom_inf, resid_inf, asym_part, link_inf.
void set_mod_(int32_t mdoc, int32_t& ierr);

namespace coords {
// The same for the chains g whose chains[g - 1] is set, the others left as
// they are; stops at the first broken residue tree, after its error line.
void set_chain_termini(int32_t mdoc, const std::vector<char>& chains);
}  // namespace coords

// True when atom `up` of one residue bonded to atom `down` of another is the
// bond of a polymer chain: a peptide's C to the next N, a nucleotide's O3'
// to the next P.
bool chain_bond_atoms(std::string_view up, std::string_view down);

// True when a link row of the model (one not made for a special link) bonds
// residue r of chain `chain` to another residue through its chain atom at
// that end, whatever atom it bonds there: N or P for the first end, C or O3'
// for the last.  Such an end is no free terminus, whatever chain the reader
// put the residue in.
bool chain_end_bonded(int32_t r, int32_t chain, bool first_end);
