// Chain labels (label_asym_id) longer than the four characters a chain name
// holds.  Some writers label each ligand and water, or each residue, by its
// chain and number (A2601, A132A, A132B for residues 132A and 132B), so
// that labels may agree in their first four characters.  A label only says
// where the file's chains change: each is read whole, and keeps its first
// four characters as its chain's name where no other label's chain has that
// name; otherwise the chain takes a free name, so that the chains stay apart
// in the files a run writes and in a run on them.
#pragma once

#include <cstdint>

namespace coords {

// Forgets the labels of an earlier read.
void long_labels_start();
// For the atom row that rdcrd_cif_ returned last, before it is stored: the
// row's group (crdatm cr_group and the chain characters of cr_pnum) becomes
// its label's chain name, or, in another program's file, where the label is
// given again after another's rows, a further chain of that name
// (coords::further_chain_name).  At a new residue of a chain named anew,
// the link and modification rows that name that residue by the label's
// first four characters take the new name.
// Writes crdatm, link_inf, mod_inf.
void long_label_row();
// After the rows: one line counting the labels named anew and naming the
// first five.
void long_labels_report(int32_t mdoc);

}  // namespace coords
