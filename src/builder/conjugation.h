// Bond orders of the model's shape rather than of single bond lengths: an
// atom the model holds tetrahedral carries only single bonds, a planar ring
// of trigonal atoms takes one set of alternating double bonds for the
// whole ring system, and after the hydrogens are counted such a ring with
// an aromatic count of electrons is typed aromatic as a whole.
#pragma once

namespace builder {

// True when atom ia lies in the plane of its neighbours a, b and c in the
// model (false without coordinates).
bool flat_in_model(int ia, int a, int b, int c);

// True when atom ia has three neighbours and lies in their plane.
bool flat_of_three_in_model(int ia);

// True when the model holds atom ia tetrahedral, so that all its bonds are
// single: a carbon or nitrogen of four neighbours or at the apex of a
// pyramid of three, a chain carbon or nitrogen of two at a near-tetrahedral
// angle, an oxygen of two neighbours (metal partners not counted).
bool tetrahedral_in_model(int ia);

// Writes l1b_type: bonds at atoms the model has tetrahedral become single;
// the bonds of planar rings of trigonal atoms, and the bonds from them to
// terminal atoms, become single or double so that each ring carbon carries
// one double bond.  Reads the neighbour lists, rings and coordinates of L1.
void settle_ring_systems();

// Writes l1b_type: the single and double bonds of each ring (of 5 or 6
// atoms) whose atoms all take part, with an aromatic count of electrons,
// become "aromatic".  Run after the hydrogens are added.
void type_aromatic_rings();

}  // namespace builder
