// Questions about the link library: a link by its name, the library link that
// joins two residues through two atoms, the bond atoms of a named link, and a
// lenient match by monomer stems and residue classes with its ideal length.
// Names compare as blank-padded texts of their full width (8 characters for
// monomers and links, 4 exact characters for atoms).
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// ilink = first library link named links (trailing blanks ignored), 0 when
// absent or links is blank.  Writes r_scratch: lll_fuse of the link found
// ("Y", unless it is "?" or "C").
void look_link_list_(std::string_view links, int32_t& ilink);

// The library link that joins residue mon1 (atom atom1, residue type itype1)
// to mon2 (atom2, itype2).  links blank or "." accepts any link; a named link
// gives ilink -1 when it does not join the two.  mod1, mod2: modifications the
// link implies for the two residues ("." for none); irevers 1 when the
// residues stand at the library ends in reverse order.  Writes nothing shared.
void look_link_(std::string_view links, std::string_view mon1, std::string_view atom1,
                std::string_view mon2, std::string_view atom2, int32_t itype1, int32_t itype2,
                int32_t& ilink, rt::FixedText<8>& mod1, rt::FixedText<8>& mod2, int32_t& irevers);

// The two atoms of the first bond of link links; ilink 0 (atoms unchanged)
// when the name is blank, ".", "?..." or "gap", or no such link has a bond.
// Writes nothing shared.
void get_link_atom_(std::string_view links, rt::FixedText<4>& atom1, rt::FixedText<4>& atom2,
                    int32_t& ilink);

// A library link (named links unless that is blank or begins with ".") whose
// ends match mon1 and mon2 by their three-character stems or residue classes
// and whose bond joins atom1 of mon1 to atom2 of mon2: ilink and the bond's
// ideal length dideal, else 0 and 0.0.  "gap" links never match.  Writes
// nothing shared.
void check_link_info_(std::string_view links, std::string_view mon1, std::string_view mon2,
                      std::string_view atom1, std::string_view atom2, float& dideal,
                      int32_t& ilink);

namespace dictionary {

// How many times its ideal length a peptide or phosphodiester bond may
// stretch and still join two residues; beyond it the chain has a gap.
inline constexpr float kPolymerBreakFactor = 1.3f;

// The longest a polymer bond may be and still be bonded: kPolymerBreakFactor times its
// ideal length, the break limit of the walk along a chain.  The bond of
// atom `up` of one residue to atom `down` of the next: a peptide C-N (the
// ideal of the library's "TRANS" link, 1.329 A without one) or a
// phosphodiester O3'-P ("p", 1.607 A).  0.0 for any other pair of atoms.
float polymer_bond_limit(std::string_view up, std::string_view down);

}  // namespace dictionary
