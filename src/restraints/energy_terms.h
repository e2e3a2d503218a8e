// Force constants of the energy library for restraint records, by the
// energy types of the atoms: the first bond row of the two types in either
// order, the first angle row of the three types forward or backward, the
// first torsion row whose central pair is the two middle types in either
// order; 0 when no row matches.  Types compare as whole 4-character words.
#pragma once

#include <cstdint>
#include <string_view>

namespace restraints {

float bond_const(std::string_view t1, std::string_view t2);
float angle_const(std::string_view t1, std::string_view t2, std::string_view t3);
float torsion_const(std::string_view t2, std::string_view t3);
// The first row of the energy atom-type table named t, 0 when none.
int32_t energy_type_row(std::string_view t);

}  // namespace restraints
