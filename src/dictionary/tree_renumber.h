// The atom tree of L1 made consistent again after an edit.
#pragma once

#include <cstdint>
#include <string_view>

// Resets the numbering of L1 to the identity and the internal coordinates,
// resolves the back and forward names of the tree to atom indexes, checks the
// tree (duplicated names, absent back or forward atoms, first and last atom)
// and, when it is sound, re-derives the forward links of the main chain from
// the last atom back to the first.  Every fault is a warning line that names
// mon (8 characters) and pnum (12 characters, left out when it begins with a
// blank); ierr is 1 after any warning, else 0.  A hydrogen whose back atom is
// absent is detached from the tree without a warning.
// Writes r_scratch L1 atoms (l1a_iold, l1a_inew, l1a_length, l1a_theta,
// l1a_phi, l1a_id_psi, l1a_iback, l1a_iforw, l1a_back, l1a_forw, l1a_ndist,
// l1a_nextr, l1a_istart, l1a_ifinish).
void set_num_mod_(int32_t mdoc, std::string_view mon, std::string_view pnum, int32_t& ierr);
