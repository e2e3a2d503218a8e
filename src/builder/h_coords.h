// Coordinates of the hydrogen atoms of a new monomer in L1, from the heavy
// atom that carries them, its other neighbours and the ideal geometry.
#pragma once

#include <cstdint>

// Places every hydrogen it can reach, when some atom lacks coordinates (or
// always with imode non-zero) and every heavy atom has them.  ierr 0.
// Writes r_scratch l1a_x, l1a_y, l1a_z, l1a_coor_flag of hydrogens.
void h_atom_coors_rebuild_(int32_t mdoc, char list, int32_t imode, int32_t& ierr);

// Neighbour list of atom ia in the tree: back atom first, then its forward
// atoms, then its ring-closure partners (at most MAX1BRN in all); nh counts
// the hydrogens.  ia < 1: n = nh = 0, iconn untouched.
// Writes no table.
void set_conn_l_(int32_t ia, int32_t& n, int32_t& nh, int32_t* iconn);
