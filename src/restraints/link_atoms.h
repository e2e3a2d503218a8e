// Finding a link atom with its alternate positions in one of the two work
// residues of a link: C1 (srch_num1_) or C2 (srch_num2_).  Beside the
// residue look-up they filter by alternate code, return the atom numbers
// and coordinates of the positions, and keep to MX1ALT positions.
#pragma once

#include <cstdint>
#include <string_view>

#include "dictionary/lib_com.h"
#include "restraints/atom_lookup.h"
#include "runtime/array.h"

namespace restraints {

using AltNumbers = rt::Array1<int32_t, MX1ALT>;
using AltPoints = rt::Array2<float, 3, MX1ALT>;

}  // namespace restraints

// The first atom named `name` (first four characters; states 'U' and 'D'
// never match) and its alternates in tree order, each kept when alt is '.'
// or its code, and its code is none of the first nout codes of alt_out.
// iat: the atom in C1 (lid <= 0) or its model-wide number s1_icrd (lid > 0);
// 0 for a position without coordinates ('M', or occupancy 0.001 or less),
// whose x is then left as it was.  More than MX1ALT positions: a message
// for each one left out and ierr 1.
// Writes no table.
void srch_num1_(int32_t mdoc, std::string_view name, char alt, int32_t& n,
                restraints::AltCodes& corr, restraints::AltPlaces& iname,
                restraints::AltNumbers& iat, restraints::AltPoints& x, int32_t nout,
                std::string_view alt_out, int32_t lid, int32_t& ierr);
// The same in C2.
void srch_num2_(int32_t mdoc, std::string_view name, char alt, int32_t& n,
                restraints::AltCodes& corr, restraints::AltPlaces& iname,
                restraints::AltNumbers& iat, restraints::AltPoints& x, int32_t nout,
                std::string_view alt_out, int32_t lid, int32_t& ierr);
