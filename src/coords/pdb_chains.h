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
