// Chain regrouping after a PDB read (consecutive pieces of one chain key are
// joined when their residue classes fit) and the check that no chain holds
// two residues with the same number and insertion code.
#pragma once

#include <cstdint>

// ierr is always 0; list 'T' writes a trace on standard output.
// Writes resid_inf, asym_part, link_inf, mod_inf.
void corr_number_chain_pdb_(int32_t mdoc, char list, int32_t& ierr);
// ierr 6 when a chain holds a duplicate residue number (two error lines each).
void check_num_in_chain_(int32_t mdoc, int32_t& ierr);

namespace coords {

// ierr 6 when one residue number and insertion code of an author's chain
// is held by two residues that follow one another in the file but stand in
// different chains of the model (two error lines each, as above): a residue
// split by a line of another residue name, or two residue names at one
// number without alternate codes (a microheterogeneity whose codes a writer
// dropped).  Two residues that both hold alternate codes are the
// conformers of one microheterogeneity and pass.  Runs after the
// chain-identifier pass.
void check_split_numbers(int32_t mdoc, int32_t& ierr);

}  // namespace coords
