// The entry header of the coordinate tables at its start values, shared by
// the start of a run and the start of every coordinate file.
#pragma once

#include <string_view>

#include "runtime/fixed_text.h"

namespace foundation {

// Space group P 1 with its one operator, no NCS, no multiplicity and model
// number 0; the placeholders of the PDB code, name, date, title, resolution
// and R factor; the experiment's numbers 0 and its texts "?".
// Writes crdinf (cr_nspgr, cr_sett, cr_nsym, cr_ncs, cr_mult_flag,
// cr_model_pdb, cr_symop, cr_spgr, cr_cd_pdb, cr_name_pdb, cr_date_pdb,
// cr_title, cr_resl_pdb, cr_rfac_pdb) and crdpdb.
void clear_entry_header();

// Stores an entry's title or keywords read from a file: a text longer than
// the store is cut to it, and the log says which item lost how much, since
// the model written later carries the text as stored.
void put_entry_text(rt::TextRef store, std::string_view text, std::string_view item);

}  // namespace foundation
