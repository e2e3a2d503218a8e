// Covalent bonds of a residue from its coordinates: each interatomic
// distance against the limit of the bonding classes of the two atoms, and
// for a hydrogen past its limit the X-H length of its partner's element.
#pragma once

#include <cstdint>
#include <string_view>

// Appends the bonds of L1 found by distance (mode "CONN": also every pair of
// L1's tree connections) to L1's bond list and neighbour lists.  ierr 1 when
// the bond list is full (reported; the bonds found so far stay); not cleared
// on entry.  Writes r_scratch l1b_ rows, l1a_ndist, l1a_conn, l1a_lencon.
void coor_conn_(int32_t mdoc, std::string_view mode, int32_t& ierr);
// Neighbour lists of C1 by distance, after resetting its tree fields and
// setting every atom's class; no bond list.  ierr 0.
// Writes r_scratch s1_ tree fields, s1_ndist, s1_conn, s1_lencon, c1_atype.
void crd_conn_(int32_t mdoc, std::string_view mode, int32_t& ierr);
