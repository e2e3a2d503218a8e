// Element classes of the automatic link search and the bond lengths that new
// link and modification descriptions take: the ideal length of a library
// link's bond, and a length for two energy types from the energy library.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// itype = class of element symbol asymb: 1 hydrogen or deuterium, 3 "P" or
// "S", 4 a metal or ion (first two characters in the metal table), 2 anything
// else.  Writes nothing shared.
void set_idlim_(std::string_view asymb, int32_t& itype);

// dist_idl = ideal length of the first bond of library link l, 0.0 when l is
// not a link or it has no bond.  Writes nothing shared.
void get_idl_bond_lenth_(int32_t l, float& dist_idl);

// val = length of a bond between energy types chem1 and chem2: the energy
// library's pair (def_flag "N"), else the mean of the two types' generic
// lengths, else 1.5 A (def_flag "Y").  mdoc is not used; ierr is always 0.
// Writes nothing shared.
void get_default_vbond_(int32_t mdoc, std::string_view chem1, std::string_view chem2, float& val,
                        rt::FixedText<1>& def_flag, int32_t& ierr);

namespace connect {

// Whether the energy library gives a length for a bond between energy types
// chem1 and chem2: the pair's own, or a generic length for each type.
// Without one, get_default_vbond_ falls back to 1.5 A.  `def_flag`: the
// flag get_default_vbond_ gave for the pair.  Writes nothing shared.
bool library_bond_length(std::string_view chem1, std::string_view chem2,
                         const rt::FixedText<1>& def_flag);

// The element symbol of model atom ia, that of its scattering type; blank
// without one.  Writes nothing shared.
std::string_view atom_element(int ia);

// Whether a bond between atoms of elements e1 and e2 is one to a metal
// (class 4 above) whose length the energy library does not give for the two
// elements: such a bond has no length but the one the model or its file
// gives it.  Writes nothing shared.
bool unmeasured_metal_bond(std::string_view e1, std::string_view e2);

// The line that follows the warning of a new link description to a metal
// made at the model's distance, for want of a length in the library.
inline constexpr std::string_view kObservedMetalLength =
    "           no length in the library for this bond to a metal: the model's distance is taken";

}  // namespace connect
