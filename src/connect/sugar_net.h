// Residue trees of polysaccharide chains and unique residue serials per chain.
#pragma once

#include <cstdint>

// Gives every polysaccharide chain one walkable path from its tree start to
// its tree end through ires_forw, and each of its residues the connection
// type of the link to its back neighbour.  ierr 1 for an empty model.
// Writes asym_part ires_start_tree, ires_end_tree; resid_inf ires_back,
// ires_forw, iconn_type.
void sugar_net_(int32_t mdoc, int32_t& ierr);

// Renumbers every chain in which a residue serial repeats, consecutively from
// the chain's first serial, and then drops the insertion-code column of the
// mmCIF output.  ierr 1 for an empty model.
// Writes resid_inf ires_serial, com_out_cif out_cif_ins.
void check_residue_num_(int32_t mdoc, int32_t& ierr);
