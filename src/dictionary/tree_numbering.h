// The atom tree of L1 resolved from its names and checked before anything
// walks it: back and forward atoms, first and last atom, energy types,
// children and extra connections per atom; then the connection table.
#pragma once

#include <cstdint>
#include <string_view>

#include "dictionary/lib_com.h"
#include "foundation/lookup_index.h"

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

namespace dictionary {

// What was wrong with an atom's tree names (each is a warning of the caller).
struct TreeLinkFaults {
  bool back_absent = false;     // no atom of the back name (not a hydrogen)
  bool wrong_forward = false;   // the forward atom's back atom is another
  bool forward_absent = false;  // no atom of the forward name
};

// Resolves the back and forward names of L1 atom i to atom indexes through
// `by_name` (l1a_iback, l1a_iforw: -1 for the first and last atom, 0 for none)
// and counts first and last atoms.  A blank forward name becomes "."; a
// hydrogen whose back atom is absent is detached (both names ".") without a
// fault.  Writes r_scratch l1a_iback, l1a_iforw, l1a_back, l1a_forw,
// l1a_istart, l1a_ifinish.
TreeLinkFaults link_tree_atom(int i, const foundation::LookupIndex<4, MAX1ATM>& by_name,
                              int& nfirst, int& nlast);

}  // namespace dictionary
