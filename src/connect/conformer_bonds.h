// Whether the two atoms of a link bond in each conformer they stand in.  A
// link names its atoms only; where one of them has alternate positions, each
// pair of positions that can stand together is a bond of its own, and a
// conformer whose atoms lie further apart than a bond can be (a flipped side
// chain turned towards another partner) takes no restraint.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/fixed_text.h"

namespace connect {

// The farthest apart two atoms named n1 and n2 may lie and still bond, for
// a link whose bond is `ideal` long: within the chain's break limit for a
// peptide C-N or a phosphodiester O3'-P bond; otherwise twice the ideal, or
// 3.5 A when that is more.
float bond_reach(std::string_view n1, std::string_view n2, float ideal);

// One pair of positions of a link's two atoms (model atoms ia and ja).
struct ConformerPair {
  int ia = 0, ja = 0;
  float dist = 0.0f;
};

// The pairs of positions of atom n1 of residue ir1 and atom n2 of residue
// ir2 that may stand together (an atom without an alternate code stands
// with every position, two codes only with themselves), in model order;
// alt1 and alt2 keep a side to one position when they name a code ("." or
// blank: any).  Dummy, missing and unknown atoms take no part.
void conformer_pairs(int ir1, std::string_view n1, const rt::FixedText<1>& alt1, int ir2,
                     std::string_view n2, const rt::FixedText<1>& alt2,
                     std::vector<ConformerPair>& out);

// "A    res:  10  HIS      at:NE2 A": chain ich, residue ir, atom ia, as the
// link messages name an end.
std::string link_end_text(int ich, int ir, int ia);

// The warning for pair p of a link that holds in other conformers only;
// ich1 and ich2 are the chains of the residues of p.ia and p.ja.
void warn_conformers_apart(int32_t mdoc, const rt::FixedText<8>& link, int ich1, int ich2,
                           const ConformerPair& p, float ideal);

}  // namespace connect
