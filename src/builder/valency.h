// Valency of a new monomer in L1: delocalised oxygen groups with their
// charges, and the hydrogen atoms that the bond orders leave missing.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "runtime/fixed_text.h"

// Delocalised groups, then per heavy atom present on entry the missing
// hydrogen atoms, appended with names, a neighbour entry and a "single" bond
// row.  ierr 1 (two error lines) when the atom table is full.
// Writes r_scratch l1a_ rows and counts, l1l_natm, l1l_nhatm, l1b_ rows
// (types and appended rows), l1a_charg.
void use_valency_(int32_t mdoc, char list, int32_t& ierr);

// Carboxylate, nitro, sulfate, sulfonate and phosphate oxygens: their bonds
// "deloc" (or single/double where the group is not delocalised) and their
// charges.  Writes r_scratch l1b_type, l1a_charg.
void check_oxygens_bond_(int32_t mdoc, char list, int32_t& ierr);

// Number of hydrogen atoms an atom of element asymb lacks: nbond the rounded
// and anbond the real sum of its bond orders, nbond_atom its counted bonds,
// oxidation its charge.  An unknown element gets none, with a warning line.
// Writes no table.
void find_hydr_type_(int32_t mdoc, int32_t nbond, float anbond, int32_t nbond_atom, float oxidation,
                     int32_t& n_missing, std::string_view asymb);

namespace builder {

// Atoms of the monomer about to be built that bond an atom of a neighbouring
// residue of the model (a polymer residue's chain atoms): each such bond
// stands where a hydrogen would, so the atom gets one hydrogen fewer.  The
// caller names them before the build and clears them after it.  Writes no
// table.
void set_outside_bonds(const std::vector<rt::FixedText<4>>& names);

// How many of those bonds atom `name` makes (0 for most atoms).
int outside_bonds(const rt::FixedText<4>& name);

}  // namespace builder
