// Rebuilding the atoms of the kept residue (L2, C2/S2) that its monomer has
// and the model lacks: hydrogens with h_flag 'A', other atoms with rflag 'Y'.
// Each is placed from three placed atoms by its bond length, bond angle and
// torsion along the library tree; at the tree's last atom the first two tree
// levels of the following residue (C1/S1) are placed across the link.
#pragma once

#include <cstdint>

// The whole kept residue: start of the tree (init_rebuild_), then every atom
// in tree order.  ir, irs, irf are accepted and not read.  ierr 1 for a
// broken or too deep tree (with its warnings), else 0.
// Writes r_scratch C2 and C1 rows (xyz, occ, biso, atype).
void rebuild_(int32_t mdoc, char list, char ch_flag, char ch_flag_old, int32_t ir, int32_t irs, int32_t irf,
              char h_flag, char rflag, int32_t& na_rebld, int32_t& ierr);
// Children of every usable C2 copy of L2 atom il, and across the link into
// C1 at the tree's last atom.  ierr 0.
// Writes r_scratch C2 and C1 rows (xyz, occ, biso, atype).
void rebuild_atom_(int32_t mdoc, char list, int32_t il, char ch_flag, char ch_flag_old, char hflag, char rflag,
                   int32_t& na_rebld, int32_t& ierr);
