// Residue and atom names as a PDB record writes them.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// The residue name cut to three characters, the one-letter nucleotide
// names for "Ad", "Ar", "Cd", ... and right-justified in its first three
// columns; the rest of rname blank.  len: the declared length (3).
// Writes no table.
void pdb_rname_corr_to_write_(rt::TextRef rname, int32_t len);

// The atom name placed in its four PDB columns (13-16) from its element:
// two-letter element names start in column 13, others in 14; a fourth
// digit, quote or asterisk moves to the front (HG11 becomes 1HG1); the
// porphyrin nitrogens of HEM become " N A" .. " N D".  aname: the
// characters after its used length are blanked.
// Writes no table.
void pdb_aname_(rt::TextRef aname, std::string_view asymb, std::string_view rname,
                rt::TextRef atom);

namespace output {
// An atom name as read, placed in its PDB columns: a name whose fourth
// character is "_" moves one column right, and the underscores then left at
// its end become blanks (CA__ becomes " CA ").  A shorter name without that
// marker stays in column 13 unless the PDB reader would take it there for
// another name or another kind of atom (hydrogen, ordinary, heavy element)
// than from column 14, and from column 14 for an atom of `element` (the
// atom's element symbol, blank when unknown): then it starts in column 14.
// rname: the residue name (water names change what the reader makes of a
// name).
rt::FixedText<4> pdb_input_name(std::string_view aname, std::string_view element,
                                std::string_view rname);
}  // namespace output
