// Residue numbers held by two consecutive mmCIF residues of one author's
// chain under different chain labels, and polymer residues of a named chain
// given again.
#include "coords/cif_split_numbers.h"

#include <cstring>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "coords/cif_atom_rows.h"
#include "coords/cif_by_pdb_rules.h"
#include "coords/pdb_chains.h"
#include "coords/pdb_corrections.h"
#include "foundation/atom_com.h"
#include "foundation/lookup_index.h"

namespace {

// A residue as the rows give it: a run of rows of one label, author's
// chain, number and residue name.
struct Residue {
  std::string label, chain;
  char number[5] = {};
  rt::FixedText<8> rname;
  bool alt = false;        // a row holds an alternate code
  std::vector<float> xyz;  // x, y and z of each row
};

// How a residue ended a pair at one number: refused, named in a warning,
// or neither.
enum class Tail { None, Refused, Warned };

struct Watch {
  enum class Labels { Unknown, Given, None } labels = Labels::Unknown;
  bool any = false;
  Residue before, current;
  // The residues before and current stand at one number under different
  // labels; settled when the residue after them is known.  `pending_after`:
  // how `before` ended the pair before it, so that a run at one number is
  // named once.
  bool pending = false;
  Tail pending_after = Tail::None, tail = Tail::None;
  // The numbers refused, with the residues that hold each.
  coords::SameNumbers held;
  // Chain, number and the two names of each pair read as two residues.
  struct Warned {
    std::string chain, number, name1, name2;
  };
  std::vector<Warned> warned;

  // Polymer residues of a named chain given again (the reads that ask).
  bool given_again = false;
  std::unordered_map<std::string, int32_t> parts;  // author's chain and label to a number
  std::string part_chain, part_label;              // those of the last residue's rows
  int32_t part = 0;
  char last_key[9] = {};  // part and number of the last residue
  std::string again_label, again_chain;
  char again_number[5] = {};
  rt::FixedText<8> again_rname;
  bool again_any = false;

  // Polymer residues of a blank chain, which may hold a number once for
  // each chain of the entry: the atoms of each with their names, and by
  // number the residues read so far (indexes into `blank_atoms`), whatever
  // their labels.
  std::vector<std::vector<float>> blank_atoms;
  std::vector<std::vector<rt::FixedText<4>>> blank_names;
  std::unordered_map<std::string, std::vector<int32_t>> blank_at;
  int32_t blank_current = -1;           // the residue being read, -1 none
  std::vector<int32_t> blank_earlier;  // the earlier residues at its number
  char blank_number[5] = {};
};
Watch watch;
// The part and number of each polymer residue of a named chain so far.
foundation::LookupIndex<9, MAXRESID> numbers_held;

// The pair (before, current), now that the residue after it is known (none
// at the end of the rows): one residue split by a line of another name
// (the first name returns) or written twice over itself under two names
// (coinciding atoms) is held; two residues otherwise, named in a warning.
// An atom of `r` lies within a bond of the point `xyz`.
bool near_atom(const Residue& r, const float* xyz) {
  return coords::positions_within(r.xyz.data(), r.xyz.size() / 3, xyz, 1, coords::kChainBondReach);
}

void settle_pending(std::string_view next_chain, const char* next_number,
                    const rt::FixedText<8>* next_rname, const float* next_xyz) {
  Tail t = Tail::None;
  if (watch.pending && !(watch.before.alt && watch.current.alt)) {
    const Residue& a = watch.before;
    const Residue& b = watch.current;
    const std::string number(b.number, 5);
    // A ligand's name returning at a distance is a further ligand of the
    // number (ligands of several chains at number 0): a part split off a
    // residue is bonded to it, or to the line that split it.
    const bool returns =
        next_rname != nullptr && next_chain == b.chain &&
        std::memcmp(next_number, b.number, 5) == 0 && *next_rname == a.rname &&
        (pdb::is_polymer_class(pdb::residue_class(a.rname.trimmed())) ||
         near_atom(a, next_xyz) || near_atom(b, next_xyz));
    if (watch.pending_after == Tail::Refused) {
      watch.held.add(b.chain, number);
      t = Tail::Refused;
    } else if (returns || coords::positions_coincide(a.xyz.data(), a.xyz.size() / 3, b.xyz.data(),
                                                     b.xyz.size() / 3)) {
      watch.held.add(b.chain, number);
      t = Tail::Refused;
    } else {
      if (watch.pending_after != Tail::Warned)
        watch.warned.push_back(
            {b.chain, number, std::string(a.rname.trimmed()), std::string(b.rname.trimmed())});
      t = Tail::Warned;
    }
  }
  watch.pending = false;
  watch.tail = t;
}

// An atom of the blank chain's residue being read.  A residue whose atoms
// lie on their namesakes of an earlier residue of its number (as two models
// written as one do, however loosely they agree) is that residue given
// again, and held once; residues of other chains of the entry at that
// number lie elsewhere.
void blank_atom() {
  if (watch.blank_current < 0) return;
  const float xyz[3] = {crdatm.cr_xyz(1), crdatm.cr_xyz(2), crdatm.cr_xyz(3)};
  for (const int32_t e : watch.blank_earlier) {
    const std::size_t i = static_cast<std::size_t>(e);
    const std::vector<float>& b = watch.blank_atoms[i];
    if (coords::namesakes_coincide(xyz, &crdatm.cr_aname, 1, b.data(), watch.blank_names[i].data(),
                                   b.size() / 3)) {
      // Named as the PDB reader names the blank chain.
      watch.held.add(" ", std::string_view(watch.blank_number, 5));
      watch.blank_earlier.clear();
      break;
    }
  }
  const std::size_t mine = static_cast<std::size_t>(watch.blank_current);
  watch.blank_atoms[mine].insert(watch.blank_atoms[mine].end(), xyz, xyz + 3);
  watch.blank_names[mine].push_back(crdatm.cr_aname);
}

// A polymer residue of the blank chain begins (`key`: its part and number);
// `after_same`: the residue read before it stood at that number.
void blank_residue(const char key[9], bool after_same) {
  const int32_t id = static_cast<int32_t>(watch.blank_atoms.size());
  watch.blank_atoms.emplace_back();
  watch.blank_names.emplace_back();
  std::vector<int32_t>& at = watch.blank_at[std::string(key + 4, 5)];
  // Residues at one number side by side are the split check's matter.
  watch.blank_earlier = after_same ? std::vector<int32_t>() : at;
  at.push_back(id);
  watch.blank_current = id;
  std::memcpy(watch.blank_number, key + 4, 5);
}

// The part of a water of the named chain `chain` under `label`: its own,
// apart from the polymer residues of that label, and one for each further
// water chain the waters past 9999 are read into (its group), whose
// numbers are no repeat of those before it.
int32_t water_part(std::string_view chain, std::string_view label) {
  std::string k(chain);
  k.append(1, '\n').append(label).append(1, '\n').append(crdatm.cr_group.view());
  return watch.parts.try_emplace(std::move(k), static_cast<int32_t>(watch.parts.size()) + 1)
      .first->second;
}

// A polymer residue or water of a named chain whose number the chain held
// before, with residues of other numbers between them: the chain holds it
// twice, as the PDB form's chain (its waters one chain of their own) does.
// Stored, each such water would share its residue key (chain and number)
// with the first, and the written model would name the two as one residue.
// The chain is the author's with the file's label, since one author chain
// may hold two labelled chains (a segment shared by chains) each numbered
// from 1.  A blank chain is no chain of its own: its waters at a number
// held before begin a further water chain (coords::wide_number_row).
void watch_given_again(const coords::CifAuthorRow& row, bool again) {
  const char* number = crdatm.cr_pnum.c + 2;
  const std::string_view chain = coords::named_chain(row);
  if (!again && watch.again_any && std::memcmp(number, watch.again_number, 5) == 0 &&
      row.label_asym == watch.again_label && chain == watch.again_chain &&
      crdatm.cr_rname == watch.again_rname) {
    blank_atom();
    return;
  }
  watch.blank_current = -1;
  watch.again_any = true;
  watch.again_label.assign(row.label_asym);
  watch.again_chain.assign(chain);
  std::memcpy(watch.again_number, number, 5);
  watch.again_rname = crdatm.cr_rname;

  if (chain != watch.part_chain || row.label_asym != watch.part_label || watch.part == 0) {
    watch.part_chain.assign(chain);
    watch.part_label.assign(row.label_asym);
    std::string k(chain);
    k.append(1, '\n').append(row.label_asym);
    watch.part = watch.parts.try_emplace(std::move(k), static_cast<int32_t>(watch.parts.size()) + 1)
                     .first->second;
  }
  const bool polymer = pdb::is_polymer_class(pdb::residue_class(crdatm.cr_rname.trimmed()));
  const bool water = !polymer && !chain.empty() && pdb::is_any_water(crdatm.cr_rname.trimmed());
  const int32_t part = water ? water_part(chain, row.label_asym) : watch.part;
  char key[9];
  std::memcpy(key, &part, 4);
  std::memcpy(key + 4, number, 5);
  const bool after_same = !again && std::memcmp(key, watch.last_key, 9) == 0;
  std::memcpy(watch.last_key, key, 9);
  if (!polymer && !water) return;
  if (chain.empty()) {
    blank_residue(key, after_same);
    blank_atom();
    return;
  }
  if (after_same) return;
  const std::string_view kv(key, 9);
  if (numbers_held.contains(kv)) {
    watch.held.add(chain, std::string_view(number, 5));
  } else if (!numbers_held.full()) {
    // Past the capacity the read stops at the table of residues anyway.
    numbers_held.add(kv, 1);
  }
}

}  // namespace

void coords::split_numbers_start(bool given_again) {
  watch = Watch{};
  watch.given_again = given_again;
  numbers_held.clear();
  two_at_one_number_start();
}

void coords::split_numbers_row(bool again) {
  const CifAuthorRow& row = cif_author_row();
  if (watch.given_again) watch_given_again(row, again);
  if (watch.labels == Watch::Labels::Unknown)
    watch.labels = row_labels_chain(row) ? Watch::Labels::Given : Watch::Labels::None;
  if (watch.labels != Watch::Labels::Given) return;
  const std::string_view chain =
      row.auth_asym.empty() || row.auth_asym == "." || row.auth_asym == "?" ? row.label_asym
                                                                            : row.auth_asym;
  const char* number = crdatm.cr_pnum.c + 2;
  Residue& cur = watch.current;
  const bool same_number = watch.any && std::memcmp(number, cur.number, 5) == 0;
  const bool same_label = watch.any && row.label_asym == cur.label;
  const bool same_chain = watch.any && chain == cur.chain;
  if (!watch.any || !same_number || !same_label || !same_chain || !(crdatm.cr_rname == cur.rname) ||
      again) {
    if (watch.any) settle_pending(chain, number, &crdatm.cr_rname, crdatm.cr_xyz.data());
    // Waters numbered from 1 after a chain that ends at 1 are a range of
    // their own, never a residue split in two.
    watch.pending = same_number && same_chain && !same_label &&
                    !pdb::is_any_water(crdatm.cr_rname.trimmed()) &&
                    !pdb::is_any_water(cur.rname.trimmed());
    watch.pending_after = watch.tail;
    std::swap(watch.before, watch.current);
    Residue& r = watch.current;
    r.label.assign(row.label_asym);
    r.chain.assign(chain);
    std::memcpy(r.number, number, 5);
    r.rname = crdatm.cr_rname;
    r.alt = false;
    r.xyz.clear();
    watch.any = true;
  }
  const char alt = crdatm.cr_alt(1);
  Residue& r = watch.current;
  r.alt = r.alt || (alt != '.' && alt != ' ' && alt != '?');
  for (int i = 1; i <= 3; ++i) r.xyz.push_back(crdatm.cr_xyz(i));
}

int32_t coords::split_numbers_report(int32_t mdoc) {
  settle_pending({}, nullptr, nullptr, nullptr);
  for (const auto& w : watch.warned) warn_two_at_one_number(w.chain, w.number, w.name1, w.name2);
  return watch.held.report(mdoc);
}
