// Moving the ends of the main chain of the L1 atom tree.  The walks follow
// l1a_iback, which must agree with the names (as set_num_mod_ leaves them).
#pragma once

#include <cstdint>

// itype 0: reverses the main chain (the last atom becomes the first and the
// first the last); 1: makes istart the first atom; 2: makes ifinish the last
// atom; any other value does nothing.  ierr 1 when the atom to work from is
// not above 0.  Writes r_scratch L1 atoms (l1a_back, l1a_forw, l1a_iback,
// l1a_iforw, l1a_type, l1a_istart, l1a_ifinish).
void mod_tree_backbone_(int32_t itype, int32_t istart, int32_t ifinish, int32_t& ierr);
