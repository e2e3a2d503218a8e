// Placement at the start of a residue tree: the first tree levels of a
// residue with no linked predecessor, where the start atom has no back atom
// to build from.  Reference atoms are chosen among the start atom's own
// children, with a fixed frame along the axes as the last resort.  Rows are
// those of C2; placed atoms take flag 'R', B of the atom they hang on, and
// count in na_rebld.
#pragma once

#include <cstdint>

// First tree levels of the kept residue when it begins a fragment
// (ch_flag_old 'S', 'G' or 'M'); nothing for a linked residue.  ierr 0.
// Writes r_scratch C2 rows (xyz, occ, biso, atype).
void init_rebuild_(int32_t mdoc, char list, char ch_flag, char ch_flag_old, char hflag, char rflag,
                   int32_t& na_rebld, int32_t& ierr);
// Children of ic whose back atom icb is the tree start (no back-back atom).
// Writes r_scratch C2 rows.
void rebuild_13_(int32_t mdoc, int32_t ic, int32_t icb, char hflag, char rflag, int32_t& na_rebld,
                 int32_t& ierr);
// Children of the start atom ic with its last child icb as the only
// reference; a missing icb goes along +x.  Writes r_scratch C2 rows.
void rebuild_13b_(int32_t mdoc, int32_t ic, int32_t icb, char hflag, char rflag, int32_t& na_rebld,
                  int32_t& ierr);
// Children of ic from back atom icb and torsion reference icbb.
// Writes r_scratch C2 rows.
void rebuild_14_(int32_t mdoc, int32_t ic, int32_t icb, int32_t icbb, char hflag, char rflag,
                 int32_t& na_rebld, int32_t& ierr);
// Children of ic other than its child icb, seen from icb and icb's child icbb.
// Writes r_scratch C2 rows.
void rebuild_14b_(int32_t mdoc, int32_t ic, int32_t icb, int32_t icbb, char hflag, char rflag,
                  int32_t& na_rebld, int32_t& ierr);
