// An mmCIF coordinate file read into the structure tables by the PDB
// reader's rules: chains, residue numbers and insertion codes as the author
// gave them, and chains broken where the PDB form of the same entry breaks
// them, so that both forms of an entry give the same chains.
#pragma once

#include <cstdint>
#include <string_view>

#include "coords/cif_atom_rows.h"

namespace coords {

// The status with which a read by one-character chain identifiers stops
// when an author's chain identifier is longer: the file is to be read again
// with seg_flag 'Y', the identifiers then standing where segment
// identifiers stand.
inline constexpr int32_t kCifLongChainIds = 11;
// The status of a read by segment columns that stops because two author
// chains of more than four characters agree in their first four and the
// file's own chain cannot name them apart.
inline constexpr int32_t kCifChainNamesClash = 12;

// Reads the first model of the mmCIF file `file` (hydrogens dropped when
// hflag_remove is 'Y').  The header is read as read_atoms_ reads it (cell,
// space group, its messages); the atom rows as rdcrd_cif_ reads them; then
// each atom goes through the PDB reader's atom decoding and atom loop, with
// "ATOM" or "HETATM" from the record kind of the row and a chain terminator
// where the file's own chain identifier changes (and, in a file that names
// no chain, where the pipeline begins a further chain of the blank chain:
// unlabelled_chain_starts), and the PDB reader's
// post-read passes follow.  ierr: 0; 1 not opened; 2 header failed (no atom
// rows); 3 a row, or a header value that is no number, was refused; 4
// storing an atom failed; 6 two residues of one chain share a number;
// kCifLongChainIds (seg_flag 'N' only);
// kCifChainNamesClash (seg_flag 'Y' only).
// Writes the structure model, crdinf, crdatm, crst_crd, crst_pdb, com_crd_cif, com_out_cif and
// the PDB reader state (pdb_state.h).
void read_cif_by_pdb_rules(int32_t mdoc, std::string_view file, char seg_flag, char hflag_remove,
                           int32_t& ierr);

// The record kind of the PDB form for an atom row: true for HETATM.
// `polymer_entity` is 1 when the file's entity of the row is a polymer, 0
// when it is not, -1 when the file does not say.
bool cif_row_hetatm(const CifAuthorRow& row, int polymer_entity);
// The author's chain of the row is the PDB form's blank chain.
bool author_chain_blank(const CifAuthorRow& row);
// The chain that the row names, within which its residue numbers must
// differ: the author's, or where the author gives none the file's label.
// Empty for a blank author's chain, and where the file names neither (Open
// Babel writes no chain at all): a blank chain is no chain of its own.
std::string_view named_chain(const CifAuthorRow& row);
// The 80-column ATOM or HETATM line of the PDB form for the atom row that
// rdcrd_cif_ returned last; `segid` 'Y' puts the chain identifier (up to
// four characters) in the segment-identifier columns as well.  Returns
// false when the author's chain identifier is longer than one character
// and `segid` is not 'Y'.
bool pdb_line_of_cif_row(char segid, char line[80]);

}  // namespace coords
