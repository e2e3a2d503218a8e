// The atom-name column rule of PDB coordinate records: where a name stands in
// columns 13-16, decided by its element.
#pragma once

#include <string_view>

#include "runtime/fixed_text.h"

// `aname` (4 characters) has the characters after its used length set to
// blanks; `atom` receives the 4-column field.  Heavy elements of the element
// table keep a two-letter symbol in column 13 and a one-letter one in 14;
// hydrogen and other elements start in column 14 unless the name has four
// characters, and a fourth character that is a digit, quote or asterisk
// moves to the front.  In residue "HEM" the nitrogens NA .. ND are written
// " N A" .. " N D".
void pdb_aname_(rt::TextRef aname, std::string_view asymb, std::string_view rname,
                rt::FixedText<4>& atom);
