// Chiral centres and the small planes around trigonal atoms of a new monomer
// in L1.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/fixed_text.h"

// Prunes the user's chiral rows, then gives every tetrahedral atom with three
// heavy neighbours a chiral row (sign "both" when two of its substituents are
// alike, else from the coordinates -- the hand most of the model's copies
// have, when the caller named them -- the peptide rule for "CA", else
// "both")
// and every trigonal atom with two or more partners a plane of itself and up
// to three partners.  itype_res: residue-type code (3 L-peptide, 4
// D-peptide).  ierr 1 (two error lines) when the plane or the
// chiral table is full.  Writes r_scratch l1c_ rows, l1p_ rows, l1a_ichem.
void check_chir_(int32_t mdoc, char list, int32_t itype_res, int32_t& ierr);

// Keeps the user's chiral rows that describe metal shapes, sit on a metal
// (with a user bond list) or on an atom flagged tetrahedral.  ierr 0.
// Writes r_scratch l1c_ rows.
void remove_user_chir_centre_(int32_t mdoc, char list, int32_t& ierr);

// Sign of a "CA" centre from the order of its partners "N", "C", "CB":
// "positiv"/'R' for an even order in an L-peptide, "negativ"/'L' for an odd
// one, the reverse for any other itype_res.  Other names change nothing.
// Writes no table.
void peptide_chir_corr_(int32_t mdoc, char list, int32_t itype_res, std::string_view atom1,
                        std::string_view atom2, std::string_view atom3, rt::FixedText<8>& sign,
                        rt::FixedText<1>& flag, int32_t& ierr);

namespace builder {

// The model's copies of the monomer about to be built, the one it is built
// from among them: a sign taken from the coordinates is the hand most copies
// have at that centre, "both" when as many have one hand as the other, and
// a WARNING names each copy of the other hand.  Copy c holds atoms
// first[c] .. first[c + 1] - 1 (first has one entry more than label); the
// first atom of a name in a copy counts, and a copy lacking an atom of a
// centre takes no part for it.  The caller names them before the build and
// clears them after it.  Writes no table.
struct CopyAtom {
  rt::FixedText<4> name;
  float x = 0.0f, y = 0.0f, z = 0.0f;
};
struct MonomerCopies {
  std::vector<std::string> label;  // "residue 12 chain AA"
  std::vector<int32_t> first;      // 0-based, into atoms
  std::vector<CopyAtom> atoms;
};
void set_monomer_copies(MonomerCopies copies);

}  // namespace builder
