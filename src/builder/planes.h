// Plane restraints of a new monomer in L1: the atom-centred planes widened
// by flat rings, one plane per flat ring, merged where they share atoms, and
// later the hydrogens of their trigonal atoms.
#pragma once

#include <cstdint>

// nring: number of rings of the monomer.  Leaves in l1a_icr each atom's
// highest flat ring (0 for none).  ierr 1 (two error lines) when the plane
// table or a plane is full; the planes made so far stay.
// Writes r_scratch l1p_ rows, l1a_icr.
void check_plan_(int32_t mdoc, int32_t nring, char list, int32_t& ierr);

// iflat 1 when atoms ia and ja share a ring that is flat for ia, -1 when they
// share rings none of which is flat for ia, 0 when they share no ring.
// Writes no table.
void check_plan_connection_(char list, int32_t ia, int32_t ja, int32_t& iflat);

// Appends to each plane the hydrogen neighbours of its trigonal atoms (read
// from the atom tree).  ierr 1 (two error lines) when a plane is full.
// Writes r_scratch l1p_ rows.
void add_hatom_to_plan_(int32_t mdoc, int32_t& ierr);
