// The header reader of CIF coordinate files: opens the file and reads every
// category that stands before the atom rows (entry values, cell,
// fractionalisation matrix, space group, chains, entities, links,
// modifications, scattering types), puts in defaults for a missing cell or
// space group and builds the working cell and symmetry.  The file is left
// open at the first atom-site record for the row readers.
#pragma once

#include <cstdint>
#include <string_view>

// in: unit out; cell_input: six values (Angstrom, degrees; a first value of
// 1.0 or less means none); isg_flag 1 when a space group came from the file
// or the user; icell_flag 1 after a completed read; ierr 0, 1 not opened,
// 2 end of file before the atom rows, 3 tokeniser failure, 4 a cell length
// or angle or a connection distance that is no number, or an item given
// twice in the block (kHeaderNoNumber, after its error line; the file is
// left open).
// Writes crdinf, crst_crd, crst_pdb, crdpdb, crdpdb_2, the entity tables, cif_asym_part, link_inf,
// mod_inf, com_crd_cif, com_dict_file.
void open_crdcif_(int32_t mdoc, int32_t& in, std::string_view path, std::string_view name,
                  std::string_view ext, int32_t nospgr_input, const float* cell_input,
                  int32_t& isg_flag, int32_t& icell_flag, int32_t& ierr);

namespace coords {

// The status of open_crdcif_ for a value that is no number.
inline constexpr int32_t kHeaderNoNumber = 4;

// True when `name` (as a link row holds it, cut to eight characters) is
// one of the archive's covalent connection kinds ("covale" and its
// sub-kinds, "disulf", "metalc", "modres"), which say what kind of bond a
// connection row is and not which link joins its atoms.  Hydrogen-bond,
// salt-bridge and mismatch rows are not read as links at all.
bool covalent_conn_kind(std::string_view name);

// The file's sequence number (label_seq_id) by which end e (1 or 2) of
// link row l names its residue: a connection row of the current read that
// gives no author number.  0 for an end named by the author's number, or
// by no number, and for rows of other kinds.
int32_t conn_label_seq(int32_t l, int e);

// How end e (1 or 2) of link row l names its chain: 1 by a label of one
// character, which is held doubled as the atom rows hold it (A as AA, the
// name that a label AA has too), 2 by a longer label, 0 by none ("." or
// "?") and for rows that no connection row of the current read gave.
int32_t conn_label_width(int32_t l, int e);
// The same for a label as an atom row gives it, whole.
inline int32_t label_width(std::string_view label) {
  if (label.empty() || label == "." || label == "?") return 0;
  return label.size() == 1 ? 1 : 2;
}
// Whether an end of that width may name a chain whose label has width
// `chain_width`: a one-character label and a longer one never name one
// chain, whatever the names they are held under.
inline bool label_widths_agree(int32_t end_width, int32_t chain_width) {
  return end_width == 0 || chain_width == 0 || (end_width == 1) == (chain_width == 1);
}

// What a scan of a file's lines finds: no character but blanks (or a file
// that cannot be opened), no atom record nor atom list, atom lists none of
// which has a row, or atoms.  Lines are read to a bound, so a line without
// end is never held whole.
enum class AtomScan { kEmpty, kNoAtoms, kAtomListWithoutRows, kAtoms };
AtomScan scan_for_atoms(std::string_view file);

// The error line of a file without atoms: an empty one, or one that holds
// no atoms.
void no_atoms_message(int32_t mdoc, bool empty);

// The one error line of a header read that failed (open_crdcif_'s status
// in ierr, not 0), the unit `in` closed, and the reader's status: 1 not
// opened; 3 a header value that is no number, as for a damaged row; 2 for
// the rest: the file is empty (no character but blanks), or it holds no
// atoms, in records or in a list (the file type detection takes either for
// CIF, whose header then finds nothing), or else its header could not be
// read.
void header_failed(int32_t mdoc, int32_t in, int32_t& ierr);

}  // namespace coords
