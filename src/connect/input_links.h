// The links and modifications that the input model names, resolved against
// the link library before the connectivity stages run.
#pragma once

#include <cstdint>

// Every row of link_inf: a row without both residues is marked nameless
// ("?"), and so is a row of the file's own (ln_ent "C") naming an atom its
// residue lacks in either spelling of a nucleotide atom ("O3'", "O3*"),
// such a row with a warning naming it, while a row whose atoms are there
// takes the model's spelling of their names; a name that is a number alone is the bond
// length of a PDB LINK record and leaves the row nameless with that length (unless it has one);
// missing bond atoms come from the library; a nameless sugar-protein
// link is named after its two residues; a link the library lacks gets a new
// description (the row is then marked "S" and takes no modifications), at
// the model's distance for a bond to a metal without a row length or a
// length in the energy library; a
// row whose atoms lie too far apart to bond is dropped, and one whose atoms
// bond in some of their conformers only keeps those (a row marked "S" for
// each pair of conformers, naming its alternates, without modifications),
// each left out with a warning; the modifications a resolved link implies
// enter mod_inf.  list "T" traces.
// dnew becomes "Y" when a description was made (else it is left as it
// is), so that the new link reaches the new library.  ierr 0, or the status
// of a failing callee.
// Writes link_inf, mod_inf, resid_inf mod_flag, and the link library through creat_link_.
void def_link_mod_(int32_t mdoc, char list, char& dnew, int32_t& ierr);
