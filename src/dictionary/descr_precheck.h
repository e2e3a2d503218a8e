// Precheck of the monomer description in L1 before its tree is validated or
// built: is its bond graph one piece (with the help of the library's "DUMMY"
// tree connections), and do all bonds and extra connections name atoms that
// exist.
#pragma once

#include <cstdint>

// ierr: 0 sound; 10 two or more pieces (two warning lines); plus 100 when a
// bond or extra connection names an absent atom; 1 when the tree connections
// overflow the L2 bond list (two error lines, returned at once).  Renumbers
// L1 and drops its atoms named "????"; overwrites L2 (its bond ends are left
// holding piece labels).  Writes r_scratch L1 number fields and atom rows, L2.
void precheck_l1_mon_description_(int32_t mdoc, char list, int32_t& ierr);
