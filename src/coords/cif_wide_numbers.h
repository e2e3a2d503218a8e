// Author residue numbers of mmCIF atom rows too wide for the four columns
// of the residue key: waters kept modulo 10000 (below -999 by their last
// three digits and minus) in further water chains,
// other residues named and refused where a chain would hold a number twice.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

namespace coords {

// The name of a further chain of `group`: its first character and the
// first second character that no chain read so far with that first
// character holds, nor `avoid` (the chain of a row not yet stored); once
// all 60 are held, the first pair of characters that no chain holds.
rt::FixedText<4> further_chain_name(const rt::FixedText<4>& group, char avoid = ' ');

// The part of an author's residue number (`auth_seq`, as written) that the
// four columns of the residue key cannot hold, by which a run of waters is
// parted into further water chains: the ten-thousands of a number past
// 9999, the thousands of one below -999 with their minus (the key keeps its
// minus and last three digits); 0 where the columns hold it all.
long long number_high(std::string_view auth_seq);

// Forgets the rows of an earlier read.
void wide_numbers_start();
// For the atom row that rdcrd_cif_ returned last, before it is stored.  A
// water numbered past 9999 keeps the last four digits of its number, one
// below -999 its minus and last three (in another program's file a digit
// given as the insertion code of a water's four-digit number is the
// number's fifth, as in column 27 of the PDB form); the waters of one
// chain after each 10000 (each 1000 below 0), or after a restart after
// 9999, become a further chain: in a file that labels its chains under a
// name of its own (the chain's first character and a free second one), in a file
// that labels none by the chain counter of the PDB form.  So does, in
// another program's file, a water of the blank chain at a number that its
// water chain already holds, lying apart from the water that holds it (the
// PDB reader's reading, pdb::BlankChainNumbers), and a water of any chain
// that gives the water before again (`again`: at its number, lying apart
// from it, as pdb::ResidueAgain tells), as does a ligand so given again
// in a named chain of a file that labels its chains.  True when the row
// starts such a chain in a file that labels none, or of the blank chain in
// one that does.  Any other residue numbered wider than four columns is
// named in a warning with the number it is read as, once the chains are
// named (wide_numbers_warn).  A water the reader read at a number of its
// own (`anew`) never wraps, and the next row's wrap is told from the number
// the file gave the row before it.
bool wide_number_row(int32_t mdoc, bool again = false, bool anew = false);
// Before wide_number_row and before the row is told a residue given again:
// the four columns a water's number is read at, so that a water given again
// at 10000 is compared, and read anew, as one at 0 is.
void wide_number_of_row();
// After wide_number_row: true when the row is another residue than the row
// before, at the same chain and number under another author's number that
// four columns cannot hold (123456 after 133456).
bool wide_number_parts();
// After the row was stored.
void wide_number_stored();
// After the rows, once the chains are named: the warning of each residue
// other than a water numbered wider than four columns, naming the author's
// chain, or where the author names none the chain the model puts it in.
void wide_numbers_warn(int32_t mdoc);
// After the rows: the two error lines of a number held more than once
// (coords::report_same_number, with the residues of the chain that hold it)
// for each residue numbered wider than four columns whose chain holds its
// number twice or more; 6 when any was found, else 0.
int32_t wide_numbers_report(int32_t mdoc);

}  // namespace coords
