// The atom tree of the monomer in L1 built from its bond graph alone: leaves
// are pulled off until only rings remain, one ring bond is cut at a time
// (never a backbone bond of the residue class while another will do), and
// the tree is rooted at the best terminal heavy atom and run to the deepest
// atom.  The cut bonds become the extra connections.
#pragma once

#include <cstdint>

// L1 must hold the neighbour lists (lib_conn_) and l1a_lencon(1, i) the
// hydrogen neighbours of atom i.  ierr 1: no atoms (silent), no bond left to
// cut or no start atom (an error line), or more than MAX1CONN extra
// connections (two error lines).  Writes r_scratch l1a_back, l1a_forw,
// l1a_iback, l1a_iforw, l1a_type, l1a_lencon, l1a_nextr, l1a_iold,
// l1a_istart, l1a_ifinish, l1n_ rows.
void create_tree_new_(int32_t mdoc, char list, int32_t& ierr);

// iring 1 when the atoms still in play (ndist > 0, nextr > 0) stay one piece
// without the bond la1-la2 (so it lies on a ring), else 0; never 1 with four
// or fewer atoms in play or two or fewer other bonds.  Per-atom arrays are
// 1-based in the code's layout: ndist[a-1], nextr[a-1], lencon[(a-1)*max1brn
// + (j-1)]; iac, ipn (max1atm) and i1, i2 (max1bnd) are scratch.  Writes no
// shared table.
void check_ring_for_tree_(int32_t na, int32_t& iring, int32_t la1, int32_t la2,
                          const int32_t* ndist, const int32_t* nextr, const int32_t* lencon,
                          int32_t* iac, int32_t* ipn, int32_t* i1, int32_t* i2, int32_t max1brn,
                          int32_t max1atm, int32_t max1bnd);
