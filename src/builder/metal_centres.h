// Metal centres of a new monomer in L1: the metal-centre rows of the chiral
// table ("cross" + digit, "star" + digit), their check against each centre's
// neighbours, and the ideal angles and torsions that follow from them.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// Checks every metal with at least two heavy neighbours: a row that fits is
// applied, a centre without a row gets one from the coordinates (with
// iangl 1, else from the ideal angles).  ierr: the last status any centre
// set (0 when the last centre with a row passed).  Writes r_scratch l1c_,
// l1g_val, l1t_ rows.
void check_metal_chir_(int32_t mdoc, std::string_view mon, int32_t iangl, char list, int32_t& ierr);

// Metal-centre row of centre ic: the axis pair ibc, ifr, the side atoms
// imc(1..6) (imc points at 10 entries), the digit icross, the sign word and
// the row lc.  ierr 0 found, 1 no rows or ic < 1, 2 no row of ic, 3 a digit
// that is not a decimal digit, 9 the centre's first row is an ordinary one.
// Writes no table.
void srch_metal_chir_(int32_t mdoc, std::string_view mon, int32_t ic, int32_t ib, int32_t& ibc,
                      int32_t& ifr, int32_t* imc, int32_t& icross, rt::FixedText<8>& sign,
                      int32_t& lc, int32_t& ierr);

// Appends a "cross" row for centre ia.  lc the new row (0 when none);
// ierr 1 (two error lines) when the table is full.  Writes r_scratch l1c_ rows.
void set_metal_chirality_(int32_t mdoc, std::string_view mon, int32_t icross, int32_t ia,
                          int32_t ibc, int32_t ifr, const int32_t* imc, int32_t& lc, int32_t& ierr);

// Ideal angles around centre ic from its arrangement, and the torsions about
// its bonds rewritten to run through the arrangement.  ierr untouched.
// Writes r_scratch l1g_val, l1t_ rows.
void metal_angle_tors_correction_(int32_t mdoc, std::string_view mon, int32_t nc, int32_t ic,
                                  int32_t ibc, int32_t ifr, const int32_t* imc, int32_t icross,
                                  int32_t& ierr);

// Ideal value of the angle row i1-i2-i3 (either direction).  Writes r_scratch l1g_val.
void change_angle_value_(int32_t i1, int32_t i2, int32_t i3, float val);

namespace builder {

// Neighbour list of an atom after the tree stage: back atom, forward atoms,
// extra connections; at most cap entries are kept.  Returns their number.
int centre_neighbours(int32_t ia, int32_t* ibond, int cap);

// True, after the two lines of a full table, when the chiral table of L1 has
// no room for another row.
bool chiral_table_full(int32_t mdoc, std::string_view mon);

// The nine atom places of chiral row k: the atoms of slot, a place whose
// entry is below 1 left empty (index 0, name ".").  Writes r_scratch l1c_ row k.
void set_centre_atoms(int k, const int32_t (&slot)[9]);

}  // namespace builder
