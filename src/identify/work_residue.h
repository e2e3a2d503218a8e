// One conformation of a residue: the alternate location most of its atoms
// use, the residue copied into the coordinate work residue C1, and C1 turned
// into a bare new-monomer description in L1.
#pragma once

#include <cstdint>

#include "runtime/fixed_text.h"

// The alternate code carried by most voting atoms of atoms ias..iaf (the
// first met wins a tie; atoms of type "U", "N" or "D", without an alternate
// code or with occupancy below 0.0001 do not vote; at most 20 codes are
// counted); "." when none.  mdoc and ierr are not used.  Writes no table.
void get_alt_for_copy_(int32_t mdoc, int32_t ias, int32_t iaf, rt::FixedText<1>& alt_for_copy, int32_t& ierr);
// C1 from residue ir of chain ig (atoms ias..iaf) in its chosen
// conformation.  ierr 2 when the residue has more than MX1ATOM atoms or none
// (reported).  c1_biso holds B in both the isotropic and the anisotropic
// case.  Writes r_scratch C1 and S1 (c1_ , s1_icrd, s1_char, s1_chem).
void pre_monom_(int32_t mdoc, int32_t ig, int32_t ir, int32_t ias, int32_t iaf, int32_t& ierr);
// L1 as a new monomer monomer_new made of the atoms of C1 (the first of two
// atoms of one name), no bonds.  ierr: the status of the element look-up
// of the last atom.  Writes r_scratch L1 header, atoms and counts, lsf_
// rows (through the element table).
void copy_c1_l1_(int32_t mdoc, const rt::FixedText<8>& monomer_new, int32_t& ierr);

// The parts of a new monomer's L1 that every way of making one shares: its
// names mon and mname2, the header words of a description not from the
// library, and no bonds, angles, torsions, chiral centres, planes or
// connections.  Atoms, counts of atoms, type and presence are the caller's.
void new_l1_header(const rt::FixedText<8>& mon, const rt::FixedText<8>& mname2);
// Atom n of L1 made from atom k of C1 alone, with chemical type chem: not
// bonded, not in a tree, no element id yet.  Its coordinates count when the
// atom's occupancy is not nil.
void l1_atom_from_c1(int n, int k, const rt::FixedText<4>& chem);
