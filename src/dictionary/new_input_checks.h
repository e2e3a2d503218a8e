// Checks of a monomer description before the builder derives anything from
// it: the atom list, the user's bond list and the user's chiral centres.
// Every message goes through the information routing (msgdoc_), also those
// that say "ERROR".
#pragma once

#include <cstdint>

// Drops hydrogens without coordinates and atoms of class '?', compacting the
// atom table.  ierr 1 when no atom is left (the count unchanged) or a kept
// atom lacks coordinates.  Writes r_scratch l1a_ (names, symbols, chemical
// types, classes, coordinate flags, coordinates) and l1a_natom.
void check_list_atom_(int32_t mdoc, int32_t& ierr);
// Drops repeated bonds, refuses bonds naming absent atoms (ierr 2, one line
// per absent name), and sets the bond-typing route chem_flag: 'B' the types
// are complete, 'Y' from the atoms' chemical types, 'L' from the elements.
// Writes r_scratch l1b_ rows.
void check_list_bond_(int32_t mdoc, char& chem_flag, int32_t& ierr);
// Resolves the atom names of the chiral centres and drops the centres that
// cannot be used, with one warning line.  ierr 0.  Writes r_scratch l1c_ rows.
void check_chir_atom_(int32_t mdoc, int32_t& ierr);
