// The residue's own atom names put back into the library description.
#pragma once

// Wherever L1 names an atom by the C2 name of a residue atom, the atom's C1
// name takes its place: atom list and tree links, tree connections, bonds,
// angles, torsions, chiral centres and planes.  Every name is compared in
// its state before the call, so names that swap or chain are carried over
// in one pass; of two residue atoms with one C2 name the later gives its
// name.  Writes r_scratch L1 atom names.
void cp_aname_c1_l1_();
