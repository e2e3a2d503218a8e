// Ring torsion correction of a new monomer in L1: the torsions about the
// bonds of five- and six-membered rings set to one consistent conformation
// (0 and 180 in flat rings, the signs of the best conformation template in
// puckered ones), in multiples of 30 degrees.
#pragma once

#include <cstdint>

#include "builder/ring_chirality.h"

// Checks the chiral flags against the coordinates, then corrects the rings
// 1..nringt, flat ones first.  ierr 1 only when a missing ring torsion
// cannot be added.  Writes r_scratch l1t_ rows, l1c_flag.
void torsion_correction_(int32_t mdoc, char list, int32_t nringt, int32_t& ierr);

// The work record of ring iring: ordered atoms, flatness, signs, torsions,
// fused bonds.  ierr 1 not five or six atoms, 2 an unsettled sign, 3 atoms
// that cannot be ordered or a ring angle outside 10..170.
// Writes r_scratch l1t_flag, l1t_vobs.
void get_ring_(int32_t mdoc, int32_t iring, builder::RingRecord& r, char list, int32_t& ierr);

// 2 when a plane holds every atom of ring iring, 1 flat by hybridisation, 0.
// Writes no table.
void check_ring_is_plan_(int32_t iring, int32_t& iflagp);

// iflag 1 when ia1 is the back atom, a forward atom or an extra connection of ia2.
// Writes no table.
void check_atom_conn_(int32_t ia1, int32_t ia2, int32_t& iflag);

// Offset in 30-degree units of outer atom it against the ring neighbour ia,
// from the ring-relative sign of the position.
// Writes no table.
void convert_tors_angle_(int32_t it, int32_t ia, int32_t nch, int32_t iachir, int32_t ichir,
                         int32_t& id, int32_t& ierr);

// Best conformation template and start for the constraints of a ring.
// Writes no table.
void get_frame_(int32_t nr, const int32_t* iframe_ps, const int32_t* iframe_nps, int32_t* iframe,
                int32_t& iscore, int32_t& itbest);
