// Whether a centre of a new monomer in L1 carries two substituents that are
// the same: the same element and the same atoms beyond, so that exchanging
// them gives the same molecule and the centre has no hand of its own.
#pragma once

namespace builder {

// True when two neighbours of atom `centre` begin substituents that are the
// same graph (elements, bonds to neighbouring residues counted) and that meet
// neither each other nor another neighbour of the centre: the two methyls of
// an aminoisobutyric CA.  Two ring neighbours of a ring atom are never
// counted alike: the hand of a ring atom sets the ring's relative
// configuration.  Reads the neighbour lists of L1; writes nothing.
bool alike_substituents(int centre);

}  // namespace builder
