// The connectivity stage of the dictionary preparation.
#pragma once

#include <cstdint>

// Runs, over the structure model, the special positions, the links between
// consecutive residues, the links by distance, the proline, cis or trans
// form of the peptide links the walk along a chain did not make, the chains
// and sugar networks with their terminus types (when chain_flag is "Y" or
// sugar links were found), and the entity description.  list "T" traces, "S" silences the
// stages.  dnew "Y" when a stage added a link description to the library.
// new_flag, check and coor are not used.  ierr: the status of the first
// stage that failed; later stages do not run.
// Writes the structure model (atom_crd mult_factor, resid_inf, asym_part,
// link_inf, mod_inf, the entity tables), r_scratch lso_nsym and the link
// library through the stages.
void check_descr_structure_(int32_t mmdoc, char list, char check_spec, float dmin_spec,
                            char conn_flag, char cis_flag, char lnk_flag, char chain_flag,
                            char& dnew, char new_flag, char ss_flag, char sugar_flag, char check,
                            char coor, int32_t& ierr);
