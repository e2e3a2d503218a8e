// The atom-name field of a PDB record for an atom of a new monomer.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// atom: aname aligned by its element symbol asymb: names of two-letter
// elements (and of the one-letter heavy elements of the table) stay left,
// hydrogens move their fourth character to the front, other names of up to
// three characters that begin with their element get a leading blank.  In a
// residue whose name begins "HEM" the porphyrin nitrogens NA..ND become
// " N A" .. " N D".  list 'T' traces the name in and out through msgdoc_.
// Writes no table.
void pdb_aname_mnew_(int32_t mdoc, char list, const rt::FixedText<4>& aname,
                     const rt::FixedText<4>& asymb, std::string_view rname, rt::FixedText<4>& atom);
