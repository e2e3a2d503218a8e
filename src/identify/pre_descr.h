// Residue identification over the whole model: every residue gets the
// dictionary monomer that describes it, under the dictionary's names, and a
// residue the dictionary lacks gets a new monomer from the builder.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// list "S" silent, "T" trace; check "0" no comparison with the dictionary,
// "N" only for residues other than polymers, sugars and solvent, "Y" for all;
// coor "Y" builds new monomers with ideal values from the coordinates; srch
// goes to the global search; name is the calling program's.  nmnew: new
// monomers added; new_flag_out: "Y" when some residue was not recognised,
// else the last other flag met ("M", "C", "G") or "N"; lib2 set to 1 when a
// residue was not recognised or built outside the second library pass.
// kerr 2 (ierr 0) when the dictionary is empty.  ierr 0, or the status of
// the first failing step: no atoms (1), duplicated atom names in a residue
// (1, every pair reported), a full scattering-type table (1), or the
// failure of a table entry, an atom copy, the search, the builder or a
// dictionary store.
// Writes resid_inf res_name, ires_type, iconn_type, mod_flag; atom_inf
// atm_name, atm_chem, id_sf; asym_part iterm_s_type, iterm_f_type of
// one-residue chains; crst_crd cs_nsfatm, cs_element, cs_atype; mod_inf
// (RENAME rows); link_inf atom names; crdatm, crdstr; libcom lb_pass; the
// dictionary (synonym rows, new monomers, fuse flags) and the work areas
// L1, L2, C1, C2 of r_scratch.
void pre_descr_(int32_t mmdoc, char list, char check, char coor, char srch, std::string_view name,
                int32_t& nmnew, rt::FixedText<1>& new_flag_out, int32_t& lib2, int32_t& kerr, int32_t& ierr);
// ictype 36 when a bond of L1 joins atoms "N" and "CD", 38 when it joins "N"
// and "CN" (the last such bond decides), else 1.  ierr 0; mdoc is not used.
// Writes no table.
void check_conn_type_by_bond_(int32_t mdoc, int32_t& ictype, int32_t& ierr);
