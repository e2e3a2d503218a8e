// Small rings of the monomer in L1 (4, 5 and 6 atoms) from its neighbour
// lists: per atom the rings it belongs to, their sizes and flatness.  The
// bond that closes each ring is marked in l1a_conn by negative entries on
// both sides; a marked entry is never followed again.
#pragma once

#include <cstdint>

// iprsnt: search mode, 1 (the only one).  ierr 0.  An atom that already
// lies in MAX1BRN rings takes no further ring: that ring is not recorded
// (two warning lines).  Writes r_scratch l1a_nring, l1a_ring_id,
// l1a_ring_ord, l1a_ring_flat, l1a_conn (marks).
void ring_(int32_t mdoc, char list, int32_t& nringt, int32_t iprsnt, int32_t& ierr);
// iring_id: a recorded ring holding the nr atoms iring(1..nr), or at least
// three of them; 0 when there is none.  Writes nothing.
void is_there_this_ring_(int32_t nr, const int32_t* iring, int32_t nringt, int32_t& iring_id);
// iring_id: the lowest recorded ring that every atom of iring(1..nr) belongs
// to; 0 when there is none.  Writes nothing.
void ring_srch_(int32_t nr, const int32_t* iring, int32_t nringt, int32_t& iring_id);
// Records ring nringt of atoms iring(1..nr); flat unless an atom is marked -1
// in ichem (indexed by atom, 1-based: ichem[a-1]).  Writes r_scratch
// l1a_nring, l1a_ring_id, l1a_ring_ord, l1a_ring_flat.
void add_this_ring_(int32_t nr, const int32_t* iring, int32_t nringt, const int32_t* ichem);

namespace dictionary {
// Whether atom a of the monomer in L1 belongs to recorded ring `ring` (its
// ring list read up to MAX1BRN entries).  Reads r_scratch.
bool atom_in_ring(int32_t a, int32_t ring);
}  // namespace dictionary
