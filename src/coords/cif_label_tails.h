// Waters and ligands that an mmCIF file gives the label of the chain before
// them.  Some converters and simulation programs write every row of a
// chain, its waters and ligands too, under the chain's label_asym_id and
// name no entity for them.  Read so, a water would be taken for the chain's
// C-terminus and a ligand linked to its last residue.  The PDB form of the
// same atoms ends the chain there: the residues after the chain's last
// polymer residue (a water, or a residue written as HETATM) are parted from
// it, each ligand a chain of its own and each run of waters one.  A chain
// whose rows name an entity (label_entity_id) is one molecule of that
// entity, and is left whole.  Also the remaking of chains from residues
// already stored, by which such tails are parted.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

namespace coords {

// Forgets the rows of an earlier read.
void label_tails_start();
// For the atom row that rdcrd_cif_ returned last, before it is stored: a
// row of another chain (its group differs from `group_old`, that of the row
// stored before) first parts the tail of the chain read so far.  False after
// the message of a full chain table.
// Writes asym_part, resid_inf, link_inf, mod_inf.
bool label_tail_row(int32_t mdoc, std::string_view group_old);
// After the row was stored.
void label_tail_stored();
// After the rows: parts the tail of the last chain; false as above.
// Writes asym_part, resid_inf, link_inf, mod_inf.
bool label_tails_end(int32_t mdoc);

// Residues first..last, consecutive in the model, become chain g named
// `name`, with the chain and terminus types that set_atom_ gives such a
// chain; the rows of the file's links and modifications that name them
// follow.  The residue before `first` and the one after `last` are left
// pointing at them.
// Writes asym_part, resid_inf, link_inf, mod_inf.
void make_chain(int32_t g, int32_t first, int32_t last, const rt::FixedText<4>& name);
// Chain g, whose residues ran to `was_last`, ends at residue `last`.
// Writes asym_part, resid_inf.
void end_chain_at(int32_t g, int32_t last, int32_t was_last);

}  // namespace coords
