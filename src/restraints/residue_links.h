// The link rows of each residue for the restraint stage.  The walk asks, for
// every residue, which links touch it (to mark the ones it describes, to drop
// the atoms a link replaces, to find special links); on the largest entries
// (a hundred thousand residues, a row for nearly every one) a scan of the
// whole table per residue was most of the stage.
#pragma once

#include <cstdint>

#include "connect/link_rows.h"

namespace restraints {

// While held, the rows by residue of link_inf as it stood at the hold (built
// again should the table have grown since); the restraint driver holds them
// over its walk and again after the read-back replaces the table, and
// releases them when it returns.  Unheld, every look-up builds them anew
// from the table as it stands (no faster than a scan, and never stale).
void hold_residue_links();
void release_residue_links();
const connect::LinkRows& residue_links();

// The monomer the run gave residue ir of chain ig, read as `name`: the name
// a modification row of the residue keeps from before it renamed it to
// `name` (identification's RENAME row of a force-field name such as HID),
// else `name` itself.  The rows by residue of mod_inf are built at the first
// look-up after a hold of the link rows, and again should the table have
// grown.  Reads mod_inf.
rt::FixedText<8> library_name(int32_t ig, int32_t ir, const rt::FixedText<8>& name);

// Sets the link library's use mark of every special row (ln_used "S") with
// both ends in the asymmetric unit, as a look-up of each by name sets it.
// The marks are only ever set during the stage, so while the rows are held
// this is done once; unheld, at every call.  Reads link_inf; writes the
// marks of the link library through look_link_list_.
void mark_special_links_used();

// Holds the rows for a scope, and releases them at its end however it ends.
class ResidueLinksHeld {
 public:
  ResidueLinksHeld() { hold_residue_links(); }
  ~ResidueLinksHeld() { release_residue_links(); }
  ResidueLinksHeld(const ResidueLinksHeld&) = delete;
  ResidueLinksHeld& operator=(const ResidueLinksHeld&) = delete;
};

}  // namespace restraints
