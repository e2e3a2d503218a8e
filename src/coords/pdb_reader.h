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

namespace coords {

// The atom loop of get_pdb_, for a reader that hands it atoms from another
// source: its state across the atoms of one read.
struct PdbAtomLoop {
  rt::FixedText<6> rec;
  rt::FixedText<12> ch12;
  rt::FixedText<5> ch5;
  rt::FixedText<8> rname_old;
  int32_t ir_type_old = 1;
  int32_t ir = 0;
  int32_t ipres = 0;
  int32_t ipres_old = -1000;
  int32_t ic_flag = 0;
  int32_t ir_flag = 0;
  int32_t id = 0;
  int32_t iend = 0;
  bool class_break = false;  // the atom's residue opens a chain by its class alone
};
// Empties the model and sets the loop up, as get_pdb_ does before its first
// record.  Writes the structure model counts, link_inf, mod_inf, pdb_hent,
// cif_asym_part, cif_entity_list, cif_ent_link, crdinf, com_rdat, com_out_cif.
void pdb_atom_loop_start(PdbAtomLoop& s, char seg_flag);
// The chain and residue decision for the atom in crdatm (as rdatom_ leaves
// it) and its storing; ierr from cp_crd_.
void pdb_atom_loop_store(PdbAtomLoop& s, int32_t mdoc, char list, rt::FixedText<4>& acode,
                         int32_t& ierr);
// The passes after the last atom: links from bond records, the residues
// of a named chain given again noted (numbers_given_again_report names
// them), chain regrouping, sugar and peptide corrections, chain
// identifiers, terminus types; serials made the atoms' indexes.  ierr is 0
// after them.  `atom_residues_in_chain`: a residue written as ATOM between
// two residues of its chain stays in that chain, whatever its name (the TLS
// groups).
void pdb_post_read_passes(int32_t mdoc, char list, char pept_flag, bool atom_residues_in_chain,
                          int32_t& ierr);

}  // namespace coords
