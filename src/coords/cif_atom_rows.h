// Atom rows of an mmCIF coordinate file, one `_atom_site` row per call,
// returned in the one-atom record crdatm.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "runtime/fixed_text.h"

// Filled by the mmCIF readers (coords) and output's read-back; read by both.
// Reading state of the CIF coordinate readers.  iend_cif is the end code of
// the tokeniser between calls (-1 asks it to start afresh).  When the header
// reader stops at the first atom-site record it leaves that record in the
// tokeniser and names its unit in held_unit; the first call of a row reader
// on that unit then takes the record from there instead of rewinding and
// reading the file a second time.  frame_kept is 1 when the header reader
// found the file's fractionalisation to be the standard one of its cell, so
// that set_atom_ keeps the coordinates as written.  by_author is 1 while a
// reader that names chains by the author's items and tells the file's own
// chains apart by their whole label (read_cif_by_pdb_rules) reads the file:
// the header reader then reads the entities of any writer's file for their
// types (keeping those that fit its table rather than stopping), which tell
// that reader the polymers.
// small_molecule is 1 when the header reader found the file to be a
// small-molecule CIF, by its CSD code or by its atom list.
struct com_crd_cif_t {
  int32_t iend_cif;
  int32_t held_unit;
  int32_t frame_kept;
  int32_t by_author;
  int32_t small_molecule;
};
extern com_crd_cif_t com_crd_cif;

// mode 0 after an atom row, 1 when the atom list has ended (or a free line
// was met), 2 after a row of the anisotropic loop (cr_iatold the serial of
// the atom it names, cr_anis its U; nothing else of crdatm is set); iend -1
// on the first call, 1 at the end of the file; ierr 1 after a read error.
// Writes crdatm, crdstr, crdinf.
void rdcrd_cif_(int32_t mdoc, int32_t in, int32_t& mode, int32_t& iend, int32_t& ierr);
// The error line of a row rdcrd_cif_ refused, naming the line the row
// begins on: a row short of values or with values to spare, a quote its
// line does not close, a serial, record kind or model number that is no
// such thing, a value that is no number where a number stands, a value too
// large for its field.  Empty after a plain read error.
std::string_view cif_rows_refusal();

// The fixed-column atom line of the CIF row readers; `shift` 1 moves every
// field one column right (the serial takes six columns).
void cif_atom_line(int shift, rt::TextRef line);

namespace coords {

// The modes of rdcrd_cif_.
inline constexpr int32_t kCifRowAtom = 0;
inline constexpr int32_t kCifRowsEnd = 1;
inline constexpr int32_t kCifRowAniso = 2;

// What the file gave for the atom rdcrd_cif_ returned last, as written
// (views into the tokeniser's record, valid until the next call; empty
// where the row has no such item): what a reader that names chains and
// residues as the author did needs beyond the one-atom record.
struct CifAuthorRow {
  std::string_view group_pdb;   // record kind, "ATOM" or "HETATM"
  std::string_view auth_asym;   // the author's chain
  std::string_view label_asym;  // the file's chain (the entity when absent)
  std::string_view entity;      // the file's entity of the row
  std::string_view atom_name;   // before any name correction
  std::string_view comp_name;
  std::string_view symbol;      // element as written
  std::string_view auth_seq;    // the author's residue number as written
  bool auth_asym_blank = false;  // the author's chain given as an empty text ('' or "")
  bool label_given = false;      // the file has a label_asym_id item
  // A site of a water read as none of its atoms (pdb::WaterInRead), which
  // the reader of rows leaves out as it leaves out a massless site (the
  // road through PDB lines meets the same rule in the PDB reader).
  bool water_site_left_out = false;
};
const CifAuthorRow& cif_author_row();
// For the row rdcrd_cif_ returned last: where a later row of its residue
// is its N or P (a residue written with its hydrogens first), that atom's
// name and coordinates as written.  Rows are looked at where each ends its
// line.
bool cif_chain_atom_ahead(std::string& name, float* xyz);
// For the row rdcrd_cif_ returned last: whether the next row is of its
// residue and names another atom; where hydrogens are left out
// (`no_hydrogens`), the next row kept.
bool cif_next_row_named_otherwise(bool no_hydrogens);
// Each residue number (author's and file's, as written) of the water rows
// after the row rdcrd_cif_ returned last, to the end of the atom list.
void cif_later_water_numbers(const std::function<void(std::string_view)>& note);
// The value of an item of the row, or nothing for "." and "?", which the
// archive writes where an item does not apply.
inline std::string_view given_value(std::string_view v) {
  return v == "." || v == "?" ? std::string_view() : v;
}
// Whether the file labels its chains, as its first row tells: it has the
// label_asym_id item and gives a value there.
inline bool row_labels_chain(const CifAuthorRow& row) {
  return row.label_given && !row.label_asym.empty() && row.label_asym != ".";
}

}  // namespace coords
