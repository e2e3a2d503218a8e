// Bond orders that add up where the model gives the monomer's hydrogens.
#pragma once

#include <cstdint>
#include <vector>

namespace builder {

// Where the model gives the hydrogens of the monomer (some carbon of L1 has
// a hydrogen neighbour), each hydrogen fills one unit of its atom's valence
// for good, so an atom already full cannot take a double bond.  For every
// group of carbon, nitrogen and oxygen atoms joined by single, double or
// chain-aromatic bonds in which some atom's bond orders and hydrogens do
// not add up to its valence (C 4; N 3, or 4 as a cation; O 2, or 1 as one
// oxygen of a group of terminal oxygens), the double bonds of the group are
// chosen anew so that every atom adds up, with the fewest charges and then
// the fewest changes to the types the lengths gave; a bond may be double
// only where its length was not typed single (multiple[lb] set), so that a
// hydrogen the model lost is added back rather than taken for a double bond.
// Where no choice adds up, the types stay and a warning line names each atom
// that does not.
// Where the model gives hydrogens on N, O or S but none on carbon, as
// docking programs write a ligand, only the atoms carrying a hydrogen have
// their count fixed; every other atom may take the hydrogens the valency
// stage adds, so it adds up with any count of double bonds its valence
// leaves room for.  Every group is then chosen anew: with the fewest
// hydrogens added, then the fewest charges, then the fewest changes.
// Atoms with delocalised or ring-aromatic bonds, metal partners or bonds to
// a neighbouring residue are left as they are.  Nothing is done for a
// monomer given without hydrogens on C, N, O or S.
// Writes r_scratch l1b_type, l1a_charg (of nitrogens whose double bond moved).
void orders_for_given_hydrogens(int32_t mdoc, const std::vector<char>& multiple);

}  // namespace builder
