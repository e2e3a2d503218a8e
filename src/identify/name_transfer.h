// The residue's own atom names put back into the library description.
#pragma once

// Wherever L1 names an atom by the C2 name of a residue atom, the atom's C1
// name takes its place: atom list and tree links, tree connections, bonds,
// angles, torsions, chiral centres and planes.  Every name is compared in
// its state before the call, so names that swap or chain are carried over
// in one pass; of two residue atoms with one C2 name the later gives its
// name.  Writes r_scratch L1 atom names.
void cp_aname_c1_l1_();

namespace identify {
// The other way round: wherever L1 names an atom by the C1 name of a
// residue atom, the atom's C2 name takes its place, so a description made
// under the residue's names speaks the names the residue is about to take.
// Writes r_scratch L1 atom names.
void l1_names_to_c2();
}  // namespace identify
