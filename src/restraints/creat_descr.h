// The single entry of the restraint generator: every residue of the model,
// chain by chain along its residue tree, is described against its library
// monomer (restraints, internal coordinates, rebuilt atoms) and written to
// the new coordinate and structure files; then the remaining, special and
// symmetry-related links are described and a summary is printed.
#pragma once

#include <cstdint>

// restr_flag 'A' writes the restraint file; h_flag 'A' or rflag 'Y' run the
// second rebuild pass; symm_flag 'N' leaves out symmetry-related links; the
// van der Waals step runs when cutoff > 0.  ierr 0 when every residue and
// link was described and no atom was unknown, else 1 or the status of a
// failing writer.  An output file the call could not finish (a stop on a
// fatal error, a failed writer or read-back) is removed, with a message.
// Atoms that no restraint takes for their occupancy (0.001 or less), and
// hydrogens whose names the library monomers lack, are written all the same
// and counted in one warning each.  A status of 1 from the walk ends with
// an error line for each cause: the first residues and links left out, the
// unknown atoms with the first of them named.
// Writes the model tables (rebuilt atoms, ires_global; replaced by the
// read-back of the written files), atom_str (cleared for the read-back),
// link_inf.ln_used, crdinf.cr_hflag, the work areas C1/C2/L1/L2, crdatm,
// crdstr, crdrst.
void creat_descr_(int32_t mmdoc, char list, char restr_flag, float cutoff, float dmin, char symm_flag,
                  char h_flag, char rflag, int32_t& ierr);
