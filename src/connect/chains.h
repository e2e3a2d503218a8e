// Chains of the model, rebuilt from the residue classes and the links once
// the links are known.
#pragma once

#include <cstdint>

// Orients the links as the library gives their atoms, divides the residues
// into chains anew (sugars hang in branched trees on the residues their links
// name), checks sugar anomer names against their links, orders sugar
// networks, makes residue serials unique per chain and gives colliding chain
// identifiers new ones.  sugar_flag "D" lets the anomer check rename
// modifications marked "U"; chain_flag is not read; list goes to the library
// look-up.  ierr 1 for an empty model or a full chain table.
// Writes asym_part, resid_inf (i_chain, ires_back, ires_forw, iconn_type,
// res_num_pdb chain columns, ires_serial), link_inf, mod_inf mod_rnam,
// com_crt_link, com_out_cif out_cif_ins, and r_scratch through the library look-up.
void set_chain_(int32_t mdoc, char sugar_flag, char chain_flag, char list, int32_t& ierr);
