// The atom tree of L1 resolved from its names and checked before anything
// walks it: back and forward atoms, first and last atom, energy types,
// children and extra connections per atom; then the connection table.
#pragma once

#include <cstdint>
#include <string_view>

// mon (8 characters) and pnum (12 characters, left out when it begins with a
// blank) only name the monomer in the warning lines.  Every fault is a
// warning; ierr is 1 when any check failed (the branches then keep index
// order and the atoms the identity numbering) or when the connection table
// could not be made, else 0.  Writes r_scratch L1 atom fields (l1a_inew,
// l1a_iold, internal coordinates, l1a_id_psi, l1a_iback, l1a_iforw,
// l1a_back, l1a_forw, l1a_chem, l1a_ichem, l1a_ndist, l1a_conn, l1a_lencon,
// l1a_nextr, l1a_iextr, l1a_textr, l1a_istart, l1a_ifinish) and l1n_i1atm,
// l1n_i2atm.
void set_num_(int32_t mdoc, std::string_view mon, std::string_view pnum, int32_t& ierr);
