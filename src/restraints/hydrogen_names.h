// Hydrogens of a residue written by older conventions, given the names of
// the library monomer where the monomer leaves one reading only: a group of
// one parent numbered from 1 where the monomer numbers it from 2 (1HB, 2HB
// read as HB1, HB2 for the monomer's HB2, HB3), and the amide hydrogen HN
// of files for molecular mechanics where the monomer calls it H.
#pragma once

#include <cstdint>
#include <string_view>

namespace restraints {

// Renames the hydrogens of C1 that the monomer in L1 does not name, where
// one of the two rules fits, before the atoms are matched by name.  Heavy
// atoms are never renamed, nor is any atom renamed onto a name the residue
// holds.  With tally each renamed atom is added to renamed_hydrogens(),
// named with mon; the count renamed is returned.
// Writes r_scratch C1 c1_aname.  Reads r_scratch L1 (names, elements,
// bonds), C1 (names, elements, coordinates, occupancies, conformers).
int32_t older_hydrogen_names(std::string_view mon, bool tally);

}  // namespace restraints
