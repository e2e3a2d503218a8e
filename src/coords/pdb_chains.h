// Chain regrouping after a PDB read (consecutive pieces of one chain key are
// joined when their residue classes fit) and the check that no chain holds
// two residues with the same number and insertion code.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/fixed_text.h"

// ierr is always 0; list 'T' writes a trace on standard output.  Joins
// also the chains that bridge_atom_residues marked.
// Writes resid_inf, asym_part, link_inf, mod_inf.
void corr_number_chain_pdb_(int32_t mdoc, char list, int32_t& ierr);
// ierr 6 when a chain holds a duplicate residue number (two error lines each).
void check_num_in_chain_(int32_t mdoc, int32_t& ierr);

namespace coords {

// The two error lines of two residues of `chain` at one number (`number`:
// the five columns of number and insertion code).
void report_same_number(int32_t mdoc, std::string_view chain, std::string_view number);
// The chain named in such a line from a residue key of the mmCIF road,
// where a one-character chain is held doubled: it is named once.
std::string key_chain_name(const rt::FixedText<12>& key);

// ierr 6 when one residue number and insertion code of an author's chain
// is held by two residues that follow one another in the file but stand in
// different chains of the model (two error lines each, as above): a residue
// split by a line of another residue name, or two residue names at one
// number without alternate codes (a microheterogeneity whose codes a writer
// dropped).  Two residues that both hold alternate codes are the
// conformers of one microheterogeneity and pass.  Runs after the
// chain-identifier pass.
void check_split_numbers(int32_t mdoc, int32_t& ierr);

// Marks for the regrouping (sttcrec st_chain_bridged) the residues written
// as ATOM that stand between two residues of one chain, each a chain of its
// own by its class alone (a name off the polymer lists), and the rest of the
// chain after them: a polymer residue whose class continues the one before
// them (no OXT between) follows them with nothing but their own chain
// breaks between.  A residue at the number of either neighbour is a residue
// split by a mistyped name and is left apart, to be refused.  Reads
// asym_part, resid_inf and sttcrec st_chain_by_class; runs before
// corr_number_chain_pdb_.
void bridge_atom_residues();

}  // namespace coords
