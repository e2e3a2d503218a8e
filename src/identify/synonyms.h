// Atom renamings remembered as synonyms of a dictionary monomer, carried into
// the model's link table, and applied back to the atoms of a residue.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// Records atom_old -> atom_new as a synonym row of mon unless the row exists,
// the list is full or mon is "." or blank; the first row added for a residue
// (ifirst 0 -> 1) is preceded by a warning naming the residue (res, chain).
// dnew "Y" when a row was added.  ierr is not changed.
// Writes r_scratch lms_ rows and counts.
void put_synonym_to_list_(int32_t mdoc, std::string_view mon, int32_t& ifirst, std::string_view res,
                          std::string_view chain, std::string_view atom_old, std::string_view atom_new,
                          rt::FixedText<1>& dnew, int32_t& ierr);
// Renames atom_old to atom_new on every link end in residue ires1 of chain
// ich1.  Writes link_inf ln_atom1, ln_atom2.
void change_atom_in_link_tab_(int32_t mdoc, int32_t ich1, int32_t ires1, std::string_view atom_old,
                              std::string_view atom_new, int32_t& ierr);
// Gives the atoms of residue ir (chain ig) the dictionary names that the
// synonym rows of its monomer record.  Writes atom_inf atm_name.
void replace_synonym_(int32_t ig, int32_t ir);
