// The PDB reader: one call reads a PDB coordinate file into the structure
// model tables, decides chains and residues atom by atom, runs the post-read
// passes and returns a status.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// cell_input: six floats (a, b, c, alpha, beta, gamma in degrees); its first
// value 1.0 or less means no user cell.  ierr in: run options (98 or more
// switches the trace on, 1 selects program code 'M'); out: the status
// (0; 1 unreadable or a full table; 6 duplicate residue numbers; 7 space
// group without cell; 8 cell without space group; 9 neither; 10 user cell
// refused).
// Writes the structure model, crst_pdb, crdinf, crdatm and the PDB reader state (pdb_state.h).
void get_pdb_(int32_t mdoc, std::string_view file_pdb, int32_t nospgr_input,
              const float* cell_input, char pept_flag, char seg_flag, char hflag_remove,
              int32_t& ierr);

// Stores the atom held in crdatm; ic_flag 1 opens a chain, ir_flag 1 a
// residue; idelta is the residue-number step.  ierr 1 after a capacity message.
// Writes atom_inf, atom_crd, resid_inf, asym_part, crst_crd (scattering types), crdatm.
void cp_crd_(int32_t mdoc, int32_t ic_flag, int32_t ir_flag, int32_t idelta,
             rt::FixedText<4>& acode, char list, int32_t& ierr);
