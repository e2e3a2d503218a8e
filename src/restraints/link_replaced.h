// Atoms of a residue that one of its links replaces: a leaving atom the
// model lacks, whose place the link's atom of the other residue takes.
#pragma once

#include <cstdint>

namespace restraints {

// Marks deleted in L1 ('D', as a modification's delete row would) every
// atom of residue ir of chain ig that a link replaces: a heavy atom the
// model lacks, bonded in the monomer to the link's atom of this residue,
// of the element of the link's atom in the other residue, with no heavy
// neighbour besides, when it is the only such atom; its hydrogens go with
// it.  Under a link from a carboxyl carbon to a nitrogen the atom may be the
// carboxyl's hydroxyl oxygen, when the carbon's other oxygen is in the model
// (a monomer built from a C-terminal residue, linked elsewhere inside a
// chain).  Every link counts.  A library link whose modification deletes the
// leaving atom has already taken it out; a link the library lacks (found by
// distance, named in the file) does not know to, and without this the
// rebuild would put the leaving atom on top of the linked one.  With `report` each atom
// so taken gets one line through msgdoc_ with mdoc.  Reads link_inf,
// resid_inf, atom_inf, crst_crd and the L1 atoms and bonds of r_scratch;
// writes l1a_atype.
void drop_link_replaced_atoms(int32_t mdoc, int32_t ig, int32_t ir, bool report);

// Marks deleted in L1 the phosphate of a nucleotide (residue ir of chain ig)
// at a free 5' end: P, when the model lacks it and no link bonds it, and
// its terminal oxygens the model lacks, with their hydrogens.  A monomer
// built from an inner residue holds the phosphate that a chain start has
// not, and takes no terminal group that would remove it; without this those
// atoms would be written at the origin as missing.  A library nucleotide's
// start group has already taken them.  Reads as above; writes l1a_atype.
void drop_free_end_phosphate(int32_t ig, int32_t ir);

}  // namespace restraints
