// Atom numbers of a work description recomputed from its names, and the
// removal of unmatched atoms ("????" or without a coordinate match) with
// every record that names them.
#pragma once

#include <cstdint>

// Every atom-number field of L1 from the atom names; with two atoms of one
// name the later wins; a name that matches no atom leaves 0 (the tree
// numbers l1a_iback, l1a_iforw are then left as they were).  Writes r_scratch
// L1 number fields.
void set_num_l1_gm_(int32_t mdoc, int32_t& ierr);
// The same for L2.  Writes r_scratch L2 number fields.
void set_num_l2_gm_(int32_t mdoc, int32_t& ierr);
// Drops L1 atoms named "????" or whose l1a_icr is 0, and every record that
// refers to a dropped atom (by the numbers it holds); does not renumber.
// Writes r_scratch L1.
void compress_l1_gm_(int32_t mdoc, int32_t& ierr);
