// The work areas of the restraint generator for one residue: gathering the
// residue's atoms into C1, the empty state of C2, re-rooting a sugar's tree
// at its link atoms, and the count of atoms the description does not cover.
#pragma once

#include <cstdint>

// Gathers model atoms ias..iaf of residue ir in chain ig into C1; atoms
// flagged "U", "D", "M" or "N" stay out.  A second atom of one name is its
// first occurrence's alternate.  ierr is 2 after the 300-atom limit (the
// atoms gathered so far stay) and is left as it came otherwise.
// Writes r_scratch C1/S1 (c1_*, s1_icrd), atom_inf.id_alt of a duplicate.
void get_monom_(int32_t mdoc, char list, int32_t ig, int32_t ir, int32_t ias, int32_t iaf, int32_t& ierr);

// Puts C2 and its structure part S2 into the empty state.
// Writes r_scratch C2/S2.
void initcs_2_();

// Re-roots the L1 tree of residue ir (a sugar of a branched chain) so that
// it starts at the atom linking its back neighbour and ends at the atom
// linking its forward neighbour.  Never fails: ierr ends 0.
// Writes r_scratch L1 tree (through set_num_mod_ and mod_tree_backbone_).
void change_tree_sugar_(int32_t mdoc, int32_t ig, int32_t ir, int32_t& ierr);

// nadd = heavy atoms of residue ir that its description does not cover: C1
// atoms deleted from the library or absent in it, and the model atoms that
// were never gathered.  Writes no table.
void add_u_atoms_(int32_t mdoc, int32_t ig, int32_t ir, int32_t ias, int32_t iaf, int32_t& nadd, char hflag,
                  int32_t& ierr);
