// Chain keys of the PDB form for mmCIF atom rows without a chain label.
#include "coords/cif_unlabelled_chains.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "coords/cif_atom_rows.h"
#include "coords/cif_by_pdb_rules.h"
#include "coords/pdb_chains.h"
#include "coords/pdb_corrections.h"
#include "foundation/residue_class.h"
#include "foundation/atom_com.h"
#include "foundation/atom_names.h"
#include "foundation/residue_class.h"

namespace {

// The read so far, as the PDB reader keeps it between atom lines.
struct Keys {
  // Whether the file names its chains, as its first row tells: unknown
  // before that row.
  enum class Labels { Unknown, Given, None } labels = Labels::Unknown;
  bool any = false;     // a row was given its key
  int32_t counter = 0;  // the chain counter, 0 to 9
  // The row before.
  std::string chain;  // the author's chain, whole
  char number[5] = {};
  rt::FixedText<8> rname;
  bool hetatm = false;        // as the counter took it
  bool standard_het = false;  // a standard residue written as HETATM, so taken
  bool joined = false;        // chain-bonded to the residue before it
  char digit = '0';
  // The class of the residue before, and whether that residue held an OXT.
  int32_t class_old = 1;
  bool oxt_prev = false;
  std::string entity;  // the file's entity of the row before
  // The residues other than waters of the blank chain being read, by
  // number, with their atoms' positions, and where its numbers start again.
  pdb::BlankChainNumbers blank_residues;
  pdb::BlankChainRestarts restarts;
  int32_t row = 0;              // rows keyed so far
  std::vector<int32_t> starts;  // unlabelled_chain_starts
  std::vector<coords::CifChainAtom> ahead;  // unlabelled_chain_atoms_ahead
  // The rows at which the entity turns, ascending, and the piece of the
  // blank chain so begun (counted from 0) of each residue stored.
  std::vector<int32_t> entity_starts;
  std::vector<int32_t> residue_piece;
  // In a file that labels its chains: whether the row before was of the
  // blank chain, its label, and the name of the blank chain's piece it
  // stood in.
  bool blank_before = false;
  std::string label;
  rt::FixedText<4> piece;
  int32_t pieces = 0;  // the blank chain's pieces named so far
  coords::InterleavedCopies copies;
};
Keys keys;

char next_digit() {
  keys.counter = (keys.counter + 1) % 10;
  return static_cast<char>('0' + keys.counter);
}

// The author's chain of the row; "." and "?" are the blank chain, as an
// absent one is.
std::string_view author_chain(const coords::CifAuthorRow& row) {
  if (row.auth_asym == "." || row.auth_asym == "?") return {};
  return row.auth_asym;
}

// The counter as the PDB reader raises it when it reads the line, and at
// the first atom.
char read_digit(bool het, bool het_before, bool chain_differs, bool number_differs, bool wraps) {
  if (!keys.any || wraps) return next_digit();
  const rt::FixedText<8>& rname = crdatm.cr_rname;
  const bool rises = pdb::counter_rises(
      het, het_before, number_differs, rname.sub(1, 3) == keys.rname.sub(1, 3),
      pdb::is_water(rname.sub(1, 3)), pdb::is_water(keys.rname.sub(1, 3)), chain_differs);
  return rises ? next_digit() : keys.digit;
}

// The counter as the PDB reader's atom loop raises it at a new residue of
// the same key whose class does not continue the chain.
char residue_digit(char digit, bool key_differs) {
  const int32_t c = pdb::residue_class(crdatm.cr_rname.view());
  const int32_t old = keys.class_old;
  if (!key_differs && pdb::class_ends_chain(c, old, keys.oxt_prev)) digit = next_digit();
  keys.oxt_prev = false;
  keys.class_old = c;
  return digit;
}

// A chain of the model, stored so far, holds the name.
bool chain_holds(const rt::FixedText<4>& name) {
  for (int32_t g = 1; g <= asym_part.n_group && g <= MAXCHAIN; ++g)
    if (asym_part.group_id(g) == name) return true;
  return false;
}

// The name of the blank chain's next piece in a file that labels its
// chains, as the PDB reader names the pieces of a blank chain: XX, then X
// and a second character, then X and two more, skipping names that a
// chain read so far holds.  The names are given in order, so the search
// goes on from the last one given.
rt::FixedText<4> next_piece_name() {
  constexpr int32_t n = static_cast<int32_t>(kChainIdAlphabet.size());
  rt::FixedText<4> name("");
  for (;; ++keys.pieces) {
    const int32_t k = keys.pieces;
    name.blank();
    name(1) = 'X';
    if (k == 0) {
      name(2) = 'X';
    } else if (k <= n) {
      name(2) = kChainIdAlphabet[static_cast<std::size_t>(k - 1)];
    } else if (k <= n + n * n) {
      name(2) = kChainIdAlphabet[static_cast<std::size_t>((k - n - 1) / n)];
      name(3) = kChainIdAlphabet[static_cast<std::size_t>((k - n - 1) % n)];
    } else {
      return name;  // more pieces than the chain table holds
    }
    if (!chain_holds(name)) break;
  }
  ++keys.pieces;
  return name;
}

// The numbers start again with no chain bond, judged at the residue's N or
// P wherever it stands among its rows.
bool restarts_unbonded(std::string_view number, const float* xyz) {
  const rt::FixedText<4>& name = crdatm.cr_aname;
  if (!keys.restarts.begins_chain(number, name.view(), xyz)) return false;
  float ahead[3];
  std::string ahead_name;
  if (name == "N   " || name == "P   " || !coords::cif_chain_atom_ahead(ahead_name, ahead))
    return true;
  if (!keys.ahead.empty() && keys.ahead.back().end == 0) keys.ahead.back().end = keys.row;
  coords::CifChainAtom& found = keys.ahead.emplace_back();
  found.row = keys.row;
  found.name = ahead_name;
  std::copy(ahead, ahead + 3, found.xyz);
  return keys.restarts.begins_chain(number, ahead_name, ahead);
}

// The residue is chain-bonded to the residue before, judged at its N or P
// wherever it stands among its rows.
bool bonded_to_before(const float* xyz) {
  const rt::FixedText<4>& name = crdatm.cr_aname;
  if (keys.restarts.bonded(name.view(), xyz)) return true;
  float ahead[3];
  std::string ahead_name;
  if (name == "N   " || name == "P   " || !keys.restarts.may_bond() ||
      !coords::cif_chain_atom_ahead(ahead_name, ahead))
    return false;
  return keys.restarts.bonded(ahead_name, ahead);
}

}  // namespace

void coords::unlabelled_chains_start() {
  keys = Keys{};
}

void coords::unlabelled_chain_of_row(bool wraps, bool again) {
  const CifAuthorRow& row = cif_author_row();
  // An entity in place of a missing label names no chain: a writer that
  // gives every atom one entity (protein and waters alike) would make them
  // one chain.
  if (keys.labels == Keys::Labels::Unknown)
    keys.labels = row_labels_chain(row) ? Keys::Labels::Given : Keys::Labels::None;
  // In a file that labels its chains the rows of the blank chain (a blank
  // author's chain, whatever the label: Biopython writes one label for all
  // the chains of a file without chain letters, gemmi one for each piece
  // it finds, CHARMM's waters one each) are parted as the PDB form parts
  // its blank chain, not by their labels.  The other rows keep their
  // labels' chains and are followed only for the row before.
  const bool labelled = keys.labels == Keys::Labels::Given;
  const bool keyed = !labelled || named_chain(row).empty();
  const std::string_view chain = labelled ? named_chain(row) : author_chain(row);
  const bool het = cif_row_hetatm(row, -1);
  rt::FixedText<12>& pnum = crdatm.cr_pnum;
  const bool chain_differs = keys.any && chain != keys.chain;
  const char digit_before = keys.digit;
  const bool number_differs = !keys.any || std::memcmp(pnum.c + 2, keys.number, 5) != 0;
  // A writer that names no chain gives all the chains of an entry as one
  // blank chain.  A further chain begins where the file's entity changes
  // (Open Babel writes each chain's number there, the same for its ligands
  // and waters), where the numbers start again across a break in the
  // covalent chain (pdb::BlankChainRestarts), and at a residue at a number
  // that the piece already holds, lying apart from the residue holding it.
  // A residue lying on an earlier one of its number is that residue given
  // again, left to the check of numbers held twice.  Read as one chain, the
  // pieces would run on from one chain of the entry into the next, or
  // share their numbers in the file written, whose links could not tell
  // them apart.
  const std::string_view number = pnum.sub(3, 7);
  const float* xyz = crdatm.cr_xyz.data();
  const bool blank_residue = chain.empty() && !pdb::is_any_water(crdatm.cr_rname.trimmed());
  const bool name_differs = !(crdatm.cr_rname == keys.rname);
  ++keys.row;
  const bool next_residue = keys.any && !chain_differs && (number_differs || name_differs);
  const bool label_differs = labelled && keyed && row.label_asym != keys.label;
  // In a file that names no chain, a residue chain-bonded to the one before
  // (its N or P within a bond of that residue's C or O3') goes on with its
  // chain whatever its label or entity (gemmi gives each residue of a
  // strand it does not know for a polymer a label and an entity of its
  // own), and a standard residue written as HETATM (OpenMM's T) whatever
  // its record kind, as the PDB reader reads it.  Judged at a residue's
  // first row, for the rows that could part it.
  const bool entity_differs = keys.any && !chain_differs && row.entity != keys.entity;
  const bool standard_het =
      het && (foundation::standard_residue_name(rt::trim(row.comp_name)) ||
              foundation::standard_residue_name(rt::trim(crdatm.cr_rname.view())));
  if (!keys.any || chain_differs || next_residue)
    keys.joined = blank_residue && next_residue && !wraps &&
                  (entity_differs || label_differs || standard_het ||
                   (keys.hetatm && keys.standard_het)) &&
                  bonded_to_before(xyz);
  const bool joined = keys.joined;
  const bool het_read = het && !(joined && standard_het);
  // Two chains' ligands may follow one another under one number and name.
  const bool entity_turns = entity_differs && chain.empty() && !joined;
  const bool numbers_again =
      blank_residue && next_residue && number_differs && !wraps &&
      (keys.blank_residues.begins_further_chain(number, xyz) ||
       (restarts_unbonded(number, xyz) && !keys.blank_residues.lies_on(number, xyz)));
  // Under a blank author the label may be all that tells two chains apart
  // (PyMOL writes its segments there: two DNA strands numbered 1-11 and
  // 51-61 run on by their numbers), so a change of label begins a further
  // chain, as the segment or the TER record does in the PDB form.  Not from
  // one water to the next (CHARMM's boxes give each its label), nor to a
  // residue chain-bonded to the one before (gemmi labels each residue of a
  // blank chain after its first strand).  A row of the blank chain that is
  // not blank_residue is a water.
  const bool label_turns =
      label_differs && keys.blank_before && !chain_differs &&
      !(blank_residue ? joined || (!next_residue && bonded_to_before(xyz))
                      : pdb::is_any_water(keys.rname.trimmed()));
  const bool restarts = entity_turns || numbers_again || label_turns ||
                        (again && !chain_differs && (blank_residue || het));
  if (restarts) keys.starts.push_back(keys.row);
  if (entity_turns) keys.entity_starts.push_back(keys.row);
  char digit = read_digit(het_read, keys.hetatm && !(joined && keys.standard_het), chain_differs,
                          number_differs, wraps || restarts);
  const bool key_differs = !keys.any || chain_differs || digit != keys.digit;
  const bool first_of_residue = key_differs || number_differs || name_differs;
  if (first_of_residue && !keys.ahead.empty() && keys.ahead.back().end == 0 &&
      keys.ahead.back().row != keys.row)
    keys.ahead.back().end = keys.row;
  if (first_of_residue) {
    keys.copies.residue(blank_residue && !het_read, again, crdatm.cr_rname.view(), number);
    digit = residue_digit(digit, key_differs);
    const bool same_piece = keys.any && !chain_differs && digit == keys.digit;
    if (!blank_residue || !same_piece) keys.restarts.clear();
  }
  if (blank_residue) keys.restarts.atom(first_of_residue, number, crdatm.cr_aname.view(), xyz);

  keys.any = true;
  keys.chain.assign(chain);
  keys.entity.assign(row.entity);
  std::memcpy(keys.number, pnum.c + 2, 5);
  keys.rname = crdatm.cr_rname;
  keys.hetatm = het_read;
  keys.standard_het = het_read && standard_het;
  keys.digit = digit;
  if (crdatm.cr_aname == "OXT ") keys.oxt_prev = true;

  rt::FixedText<4> key("");
  key(1) = chain.empty() ? ' ' : chain[0];
  key(2) = digit;
  keys.blank_residues.note(blank_residue, key.view(), number, crdatm.cr_xyz.data());
  const bool piece_goes_on = keys.blank_before && !chain_differs && digit == digit_before;
  keys.blank_before = labelled && keyed;
  if (!keyed) return;
  if (label_differs) keys.label.assign(row.label_asym);
  if (labelled && !piece_goes_on) keys.piece = next_piece_name();
  const rt::FixedText<4>& group = labelled ? keys.piece : key;
  crdatm.cr_group = group;
  pnum(1) = group(1);
  pnum(2) = group(2);
  for (int i = 1; i <= 4; ++i) pnum(7 + i) = group(i);
}

const std::vector<int32_t>& coords::unlabelled_chain_starts() { return keys.starts; }

const std::vector<coords::CifChainAtom>& coords::unlabelled_chain_atoms_ahead() {
  return keys.ahead;
}

int32_t coords::unlabelled_copies_report(int32_t mdoc) { return keys.copies.report(mdoc); }

void coords::unlabelled_row_stored(int32_t row) {
  if (keys.labels != Keys::Labels::None) return;
  if (row == 0) row = keys.row;
  const auto piece = std::upper_bound(keys.entity_starts.begin(), keys.entity_starts.end(), row) -
                     keys.entity_starts.begin();
  while (keys.residue_piece.size() < static_cast<std::size_t>(resid_inf.n_residue))
    keys.residue_piece.push_back(static_cast<int32_t>(piece));
}

bool coords::unlabelled_pieces_differ(int32_t q, int32_t r) {
  // A pass after the read that adds or removes residues leaves the record
  // behind: then no piece is told apart.
  if (keys.residue_piece.size() != static_cast<std::size_t>(resid_inf.n_residue)) return false;
  if (q < 1 || r < 1 || q > resid_inf.n_residue || r > resid_inf.n_residue) return false;
  return keys.residue_piece[static_cast<std::size_t>(q - 1)] !=
         keys.residue_piece[static_cast<std::size_t>(r - 1)];
}

bool coords::unlabelled_chain_ids(int32_t mdoc) {
  if (keys.labels != Keys::Labels::None || asym_part.n_group < 1) return false;
  int32_t inew = 0, ierr = 0;
  check_chain_id_pdb_(mdoc, inew, ierr);
  return true;
}
