// Bond records and connection rows whose two ends lie in one residue.  A
// simulation program's mmCIF writer lists every bond of a residue it does
// not take for standard among the connection rows, and converters make
// LINK records of them: such a row is a bond the residue's own description
// holds, and made a link it would restrain that bond twice.  A record
// naming one atom at both ends is no bond at all.  Neither becomes a link;
// ends in different copies of the model (a disulfide across a symmetry
// axis) are different atoms and are left alone.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/fixed_text.h"

namespace coords {

// Whether two link ends with symmetry codes s1 and s2 (as link rows hold
// them: "1_555", "." or blank for the identity) lie in one copy of the model.
bool same_copy(const rt::FixedText<8>& s1, const rt::FixedText<8>& s2);

// Whether two atom names given at the ends of a record name one atom: the
// same name, or one nucleotide atom spelled both ways ("O3'", "O3*").  A
// name not given (blank or ".") names no atom.
bool same_atom_name(std::string_view a, std::string_view b);

// The one line for a file in which `n` records (`record` names one, as
// "LINK record") join two atoms of one residue; nothing for n 0.
void note_rows_in_one_residue(int32_t mdoc, std::string_view record, int32_t n);

// The warning for a record (`record` as above) that joins atom `end` (as
// "SE MSE A 74") to itself.
void warn_atom_to_itself(int32_t mdoc, std::string_view record, const std::string& end);

// "NA NA C12 12": end e (1 or 2) of link row k as the row names it (atom
// with its alternate code, residue name, chain, number).
std::string link_row_end_text(int32_t k, int e);

// Whether link row k's two ends lie in one residue of one copy: ends the
// read found when they found the same residue, ends it did not find when
// they name the same chain, number and residue name.
bool connection_row_in_one_residue(int32_t k);

// After an mmCIF read: the rows of link_inf that the file's connection
// category gave (ln_ent "C") and whose ends lie in one residue of one copy
// are taken out of the table, with a warning for each that names one atom
// twice and the one line above for the rest.  Ends the read found are one
// residue when they found the same one; ends it did not find, when they
// name the same chain, number and residue name.  The rows' sequence
// numbers of the read (conn_label_seq) have served by then and are not
// moved with them.
// Writes link_inf.
void pass_over_connection_rows_in_one_residue(int32_t mdoc);

}  // namespace coords
