// The restraint rows of the monomer in L1 pointed at its atoms, and the
// ideal volumes of its chiral centres.
#pragma once

#include <cstdint>

// Bonds, angles, torsions and chiral centres resolve their atom names over
// the full four characters, the last atom of a name winning, and keep their
// old index for a name that matches no atom; plane atoms resolve on trimmed
// names, the first atom winning, and get 0 when unmatched.  list "T" writes a
// listing through msgdoc_.  Writes r_scratch l1b_, l1g_, l1t_, l1c_ and l1p_
// index fields and l1c_vol.
void set_num_lib_(int32_t mdoc, char list);
