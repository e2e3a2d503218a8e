// Bond types of a new monomer in L1, by one of three routes: from the
// observed lengths against the energy library, from the user's chemical
// types, or from the elements and neighbour counts of the user's list.
#pragma once

#include <cstdint>

// Types every untyped bond ("." or blank) from its elements and its observed
// length against the energy bond table, then settles triple bonds, bonds to
// hydrogen and conjugated carbon and nitrogen atoms.  No C, N or O is left
// with more bond order than its valence: where the lengths give more, a
// double bond to an oxygen without other neighbours stays, then the double
// bonds found first in bond order, and the others become single.  Where
// the model gives the hydrogens, the double bonds are then chosen so that
// every atom's bond orders and hydrogens add up to its valence, with a
// warning line for each atom where no choice does.
// ierr 1 with no bonds
// (silent), or when some bond matched nothing or some atom's element is not
// in the energy library (error lines naming the elements the library lacks
// and the bonds left untyped); non-zero when a neighbour had no bond row.
// Writes r_scratch l1b_type, l1a_charg.
void add_type_using_coord_(int32_t mdoc, char list, int32_t& ierr);

// Types the bonds from the elements and neighbour counts of the user's list:
// single bonds that the elements decide, metal bonds, aromatic bonds of flat
// rings, single bonds at nitrogen with more than two neighbours.  ierr 0.
// Writes r_scratch l1b_type, l1a_ichir (0, or -1 on flat atoms).
void add_type_using_list_(int32_t mdoc, char list, int32_t& ierr);

// Types each untyped bond ("." or "cov...") from the energy bond row of the
// two atoms' given chemical types (the row nearest the observed length when
// the pair has several), then completes the rest as add_type_using_list_
// does.  ierr 0.  Writes r_scratch l1b_type, l1a_ichir.
void add_type_using_chem_(int32_t mdoc, char list, int32_t& ierr);
