// Chain keys of the PDB form for mmCIF atom rows without a chain label.
#include "coords/cif_unlabelled_chains.h"

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "coords/chain_termini.h"
#include "coords/cif_atom_rows.h"
#include "coords/cif_by_pdb_rules.h"
#include "coords/cif_label_tails.h"
#include "coords/cif_store_atom.h"
#include "coords/pdb_chains.h"
#include "coords/pdb_corrections.h"
#include "foundation/atom_com.h"
#include "foundation/atom_names.h"
#include "foundation/residue_class.h"

namespace {

// The bonds that make a polymer chain (a peptide's C to the next N, a
// nucleotide's O3' to the next P) are at most 1.3 times their length where
// the link stage accepts them (1.73 and 2.09 A); two residues not bonded
// keep such atoms a contact apart, 2.5 A and more.
constexpr float kChainBondReach = 2.1f;

// An atom of the blank chain's piece being read, by its residue's number.
struct PieceAtom {
  char number[5];
  float xyz[3];
};

// An atom of a residue that bonds the next residue of a polymer chain.
struct UpAtom {
  rt::FixedText<4> name;
  float xyz[3];
};

// The covalent chain of the piece of the blank chain being read, one
// residue at a time: where it last broke inside the piece.
struct Bonds {
  int32_t first_row = 0;          // the first row of the residue being read
  bool opens_piece = true;        // that residue is the first of its piece
  bool bonded = false;            // it is bonded to the residue before
  std::vector<UpAtom> up;         // its C and O3'
  std::vector<UpAtom> up_before;  // those of the residue before
  // The first row of the residue after the piece's latest break, 0 where
  // it has none; the piece's atoms from that residue on, and where the
  // residue being read begins among them.
  int32_t after_break = 0;
  std::vector<PieceAtom> tail;
  std::size_t tail_residue = 0;
};

// A further chain begun by a number held again, until the residue at that
// number is read whole: only then is it known whether that residue is
// bonded to the one before, and so whether the chain begins at an earlier
// break.
struct Pending {
  bool open = false;
  int32_t row = 0;          // the first row of the residue at that number
  int32_t after_break = 0;  // as in Bonds, for the piece it ended
  std::vector<PieceAtom> tail;
};

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
  bool hetatm = false;
  char digit = '0';
  // The class of the residue before, and whether that residue held an OXT.
  int32_t class_old = 1;
  bool oxt_prev = false;
  // The residues other than waters of the blank chain being read, by
  // number, with their atoms' positions.
  pdb::BlankChainNumbers blank_residues;
  rt::FixedText<4> group;  // the chain key of the row before
  int32_t row = 0;         // rows keyed so far
  Bonds bonds;
  Pending pending;
  std::vector<int32_t> starts;  // unlabelled_chain_starts
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
char read_digit(bool het, bool chain_differs, bool number_differs, bool wraps) {
  if (!keys.any || wraps) return next_digit();
  const rt::FixedText<8>& rname = crdatm.cr_rname;
  const bool rises = pdb::counter_rises(
      het, keys.hetatm, number_differs, rname.sub(1, 3) == keys.rname.sub(1, 3),
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

// The residue at a number held again is read whole.  Bonded to the residue
// before, its chain begins after the latest break before it, and the
// residues from there on hold their numbers in that chain, for the numbers
// still to come.
void settle_pending() {
  Pending& p = keys.pending;
  p.open = false;
  const bool back = p.after_break != 0 && keys.bonds.bonded;
  keys.starts.push_back(back ? p.after_break : p.row);
  if (!back) return;
  for (const PieceAtom& a : p.tail)
    keys.blank_residues.note(true, keys.group.view(), std::string_view(a.number, 5), a.xyz);
}

// At the first row of a residue, the residue before read whole.
// `in_piece`: the residue stands in the piece of the blank chain being
// read, or begins a further one (`restarts`).
void residue_begins(bool in_piece, bool restarts) {
  Bonds& b = keys.bonds;
  if (b.first_row != 0 && !b.opens_piece && !b.bonded) {
    b.after_break = b.first_row;
    b.tail.erase(b.tail.begin(), b.tail.begin() + static_cast<std::ptrdiff_t>(b.tail_residue));
  } else if (b.after_break == 0) {
    b.tail.clear();
  }
  if (restarts) {
    keys.pending.open = true;
    keys.pending.row = keys.row;
    keys.pending.after_break = b.after_break;
    keys.pending.tail = std::move(b.tail);
  }
  if (!in_piece || restarts) {
    b.after_break = 0;
    b.tail.clear();
  }
  b.opens_piece = !in_piece || restarts;
  // A residue at a number held again may still be bonded to the residue
  // before it.
  if (in_piece)
    std::swap(b.up_before, b.up);
  else
    b.up_before.clear();
  b.up.clear();
  b.first_row = keys.row;
  b.bonded = false;
  b.tail_residue = b.tail.size();
}

// An atom of the blank chain other than a water's.
void atom_of_piece(std::string_view number) {
  Bonds& b = keys.bonds;
  const float* xyz = crdatm.cr_xyz.data();
  const std::string_view name = crdatm.cr_aname.trimmed();
  for (const UpAtom& u : b.up_before)
    if (!b.bonded && chain_bond_atoms(u.name.trimmed(), name) && coords::nearer(u.xyz, xyz, kChainBondReach))
      b.bonded = true;
  if (chain_bond_atoms(name, "N") || chain_bond_atoms(name, "P"))
    b.up.push_back({crdatm.cr_aname, {xyz[0], xyz[1], xyz[2]}});
  PieceAtom& a = b.tail.emplace_back();
  std::memcpy(a.number, number.data(), 5);
  std::memcpy(a.xyz, xyz, sizeof a.xyz);
}

}  // namespace

void coords::unlabelled_chains_start() { keys = Keys{}; }

void coords::unlabelled_chain_of_row(bool wraps) {
  const CifAuthorRow& row = cif_author_row();
  // An entity in place of a missing label names no chain: a writer that
  // gives every atom one entity (protein and waters alike) would make them
  // one chain.
  if (keys.labels == Keys::Labels::Unknown)
    keys.labels = row_labels_chain(row) ? Keys::Labels::Given : Keys::Labels::None;
  if (keys.labels == Keys::Labels::Given) return;
  const std::string_view chain = author_chain(row);
  const bool het = cif_row_hetatm(row, -1);
  rt::FixedText<12>& pnum = crdatm.cr_pnum;
  const bool chain_differs = keys.any && chain != keys.chain;
  const bool number_differs = !keys.any || std::memcmp(pnum.c + 2, keys.number, 5) != 0;
  // A writer that names no chain and numbers each chain of the entry from 1
  // (Open Babel) gives all its polymers as one blank chain whose numbers
  // start again.  A residue at a number that chain already holds, lying
  // apart from the residue holding it, begins a further chain, as a water
  // does; one lying on it is that residue given again, left to the check
  // of numbers held twice.  Read as one chain, the pieces would share their
  // numbers in the file written, whose links could not tell them apart.
  // The further chain takes in the residues after the break in the
  // covalent chain before that residue, which the chain before never held
  // (unlabelled_chain_starts).
  const std::string_view number = pnum.sub(3, 7);
  const bool blank_residue = chain.empty() && !pdb::is_any_water(crdatm.cr_rname.trimmed());
  const bool name_differs = !(crdatm.cr_rname == keys.rname);
  ++keys.row;
  if (keys.pending.open && (chain_differs || number_differs || name_differs)) settle_pending();
  const bool restarts = blank_residue && keys.any && !chain_differs && number_differs && !wraps &&
                        keys.blank_residues.begins_further_chain(number, crdatm.cr_xyz.data());
  char digit = read_digit(het, chain_differs, number_differs, wraps || restarts);
  const bool key_differs = !keys.any || chain_differs || digit != keys.digit;
  if (key_differs || number_differs || name_differs) {
    digit = residue_digit(digit, key_differs);
    const bool same_piece = keys.any && !chain_differs && digit == keys.digit;
    residue_begins(blank_residue && (same_piece || restarts), restarts);
  }
  if (blank_residue) atom_of_piece(number);

  keys.any = true;
  keys.chain.assign(chain);
  std::memcpy(keys.number, pnum.c + 2, 5);
  keys.rname = crdatm.cr_rname;
  keys.hetatm = het;
  keys.digit = digit;
  if (crdatm.cr_aname == "OXT ") keys.oxt_prev = true;

  rt::FixedText<4>& group = crdatm.cr_group;
  group.blank();
  group(1) = chain.empty() ? ' ' : chain[0];
  group(2) = digit;
  pnum(1) = group(1);
  pnum(2) = group(2);
  for (int i = 1; i <= 4; ++i) pnum(7 + i) = group(i);
  keys.group = group;
  keys.blank_residues.note(blank_residue, group.view(), number, crdatm.cr_xyz.data());
}

const std::vector<int32_t>& coords::unlabelled_chain_starts() {
  if (keys.pending.open) settle_pending();
  return keys.starts;
}

void coords::unlabelled_chains_settle() {
  for (const int32_t row : unlabelled_chain_starts()) {
    if (row < 1 || row > atom_inf.n_atom) continue;
    const int32_t first = atom_inf.i_resid(row);
    const int32_t g = resid_inf.i_chain(first);
    if (resid_inf.ires_back(first) == -1 || g >= asym_part.n_group) continue;
    // The residue at the number held again opened chain g + 1 right after
    // the residues that now join it.
    const int32_t held = asym_part.ires_first(g + 1);
    const int32_t last = held + asym_part.nres_chain(g + 1) - 1;
    if (held <= first || resid_inf.i_chain(held - 1) != g) continue;
    end_chain_at(g, first - 1, held - 1);
    make_chain(g + 1, first, last, asym_part.group_id(g + 1));
    resid_inf.ires_forw(held - 1) = held;
    resid_inf.ires_back(held) = held - 1;
    // Its connection to the residue before, as set_atom_ gives it inside a
    // chain, unless a link row of the file gave it one.
    if (resid_inf.iconn_type(held) == 1 &&
        !foundation::name_in(resid_inf.res_name(held).view(), foundation::kSolvent))
      resid_inf.iconn_type(held) =
          connection_in_chain(resid_inf.ires_type(held), resid_inf.res_name(held).view());
  }
}

bool coords::unlabelled_chain_ids(int32_t mdoc) {
  if (keys.labels != Keys::Labels::None || asym_part.n_group < 1) return false;
  int32_t inew = 0, ierr = 0;
  check_chain_id_pdb_(mdoc, inew, ierr);
  return true;
}
