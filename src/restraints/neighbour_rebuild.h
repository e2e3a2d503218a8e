// Placing the missing (or testing the rebuilt) bonded neighbours of one
// centre atom of the whole model from the positions of its known
// neighbours and the ideal bond lengths and angles of the structure table:
// one known and one missing neighbour, trigonal centres and tetrahedral
// centres.  A missing neighbour ('M') is placed and becomes 'R'; a rebuilt
// one ('R') is moved only when it lies off the ideal geometry.
#pragma once

#include <cstdint>

// ia the centre; jka[0..nat-1] its known neighbours, jkr[0..nrb-1] those to
// place (nat + nrb is 2, 3 or 4 respectively).  h_flag 'A' allows
// hydrogens, rflag 'Y' other atoms.  na_miss counts atoms placed for the
// first time, na_rebld every position written.  ierr 0.
// Writes atom_crd (xyz_crd, occup, u_aniso) and atom_inf (atm_type, b_flag).
void check_rbld_2_(int32_t mdoc, char list, int32_t ia, int32_t nat, int32_t nrb, const int32_t* jka,
                   const int32_t* jkr, char h_flag, char rflag, int32_t& na_miss, int32_t& na_rebld,
                   int32_t& ierr);
// A centre that the library's ideal coordinates make tetrahedral (its fourth
// atom a hydrogen the run does not make) is handed to check_rbld_4_.
// Writes atom_crd (xyz_crd, occup, u_aniso) and atom_inf (atm_type, b_flag).
void check_rbld_3_(int32_t mdoc, char list, int32_t ia, int32_t nat, int32_t nrb, const int32_t* jka,
                   const int32_t* jkr, char h_flag, char rflag, int32_t& na_miss, int32_t& na_rebld,
                   int32_t& ierr);
// Writes atom_crd (xyz_crd, occup, u_aniso) and atom_inf (atm_type, b_flag).
void check_rbld_4_(int32_t mdoc, char list, int32_t ia, int32_t nat, int32_t nrb, const int32_t* jka,
                   const int32_t* jkr, char h_flag, char rflag, int32_t& na_miss, int32_t& na_rebld,
                   int32_t& ierr);
