// Author residue numbers of mmCIF atom rows too wide for the residue key.
#include "coords/cif_wide_numbers.h"

#include <bitset>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "coords/cif_atom_rows.h"
#include "coords/cif_by_pdb_rules.h"
#include "coords/cif_items.h"
#include "coords/pdb_chains.h"
#include "coords/pdb_corrections.h"
#include "foundation/atom_com.h"
#include "foundation/atom_names.h"
#include "foundation/messages.h"

namespace {

struct Wide {
  enum class Labels { Unknown, Given, None } labels = Labels::Unknown;
  bool any = false;
  // The row before: its chain label as read and author's chain, whether it
  // was a water, the ten-thousands of its number and the four digits kept.
  rt::FixedText<4> group;
  std::string chain;
  bool water = false;
  long long high = 0;
  int32_t low = 0;
  // The further water chain the rows of this label are in, when one is
  // open (files that label their chains only).
  bool in_piece = false;
  rt::FixedText<4> piece;
  int32_t wide_warned = 0, wrap_warned = 0, again_warned = 0;
  // The run of waters of the blank chain being read, and the number and
  // insertion code of the row before.
  pdb::BlankChainNumbers blank_waters;
  char number[5] = {};
  // The author's number of the row before as written, whether it was wider
  // than four columns, and whether this row, at the same key under another
  // such number, begins a residue of its own.
  std::string auth;
  bool auth_wide = false;
  bool parts = false;
  // The last residue named in a warning, as chain, author's number and name.
  std::string warned;
  bool pending = false;           // the row's residue is to be noted when stored
  std::vector<int32_t> residues;  // residues numbered wider than four columns
  // The row's number (wide_number_of_row): whether it is a water's, the
  // author's number as read (five digits where its code was the fifth), and
  // whether it is wider than four columns, with the part they cannot hold.
  bool row_water = false;
  std::string row_auth;
  bool row_wide = false;
  long long row_high = 0;
  // The warnings of such residues, said once the read has named the chains
  // (a chain that the file names by no author is named only then).
  struct Warning {
    std::string rname, number, author, kept;
    int32_t residue = 0;  // the residue stored, 0 before
  };
  std::vector<Warning> warnings;
};
Wide wide;

// The author's number as written: whether it is one (an optional minus and
// digits, an insertion code after them allowed), its width in columns and
// the value of its digits.
struct Number {
  bool given = false;
  int width = 0;
  bool negative = false;
  long long value = 0;
};

Number parse(std::string_view v) {
  Number n;
  std::size_t i = 0;
  while (i < v.size() && v[i] == ' ') ++i;
  if (i < v.size() && v[i] == '-') {
    n.negative = true;
    ++i;
  }
  const std::size_t first = i;
  // Past 18 digits the value is not needed: such a number is refused or
  // named all the same.
  for (; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i)
    if (i - first < 18) n.value = n.value * 10 + (v[i] - '0');
  n.given = i > first;
  n.width = static_cast<int>(i - first) + (n.negative ? 1 : 0);
  return n;
}

// What four columns cannot hold of a number wider than them: the
// ten-thousands of one past 9999, the thousands below 0 with their minus.
long long high_of(const Number& n) { return n.negative ? -(n.value / 1000) : n.value / 10000; }

// `low` (-999 to 9999) right-justified in columns 3-6 of the residue key,
// as a number of four columns or fewer is kept.
void put_low(int32_t low) {
  char* p = crdatm.cr_pnum.c + 2;
  const bool negative = low < 0;
  if (negative) low = -low;
  int i = 3;
  do {
    p[i--] = static_cast<char>('0' + low % 10);
    low /= 10;
  } while (low > 0);
  if (negative) p[i--] = '-';
  for (; i >= 0; --i) p[i] = ' ';
}

// A residue other than a water numbered wider than four columns: named once,
// with the number it is read as.  Its key keeps the text it was read as, so
// that the connections of the file that name it still find it.
void name_residue(const coords::CifAuthorRow& row) {
  const std::string key = std::string(crdatm.cr_group.view()) + std::string(row.auth_seq) + ' ' +
                          std::string(crdatm.cr_rname.view());
  wide.pending = true;
  if (key == wide.warned) return;
  wide.warned = key;
  const std::string kept = std::to_string(cif_read_i4(crdatm.cr_pnum.sub(3, 6)));
  wide.warnings.push_back({std::string(crdatm.cr_rname.trimmed()), std::string(row.auth_seq),
                           std::string(coords::given_value(row.auth_asym)), kept});
}

// A residue key's number and insertion code, the number by its value.
std::string value_of(const rt::FixedText<12>& key) {
  return std::to_string(cif_read_i4(key.sub(3, 6))) + key(7);
}

// A simulation program writes a water's number past 9999 on into the
// insertion code's column of its PDB file (10000 in columns 23-27), and a
// converter gives the fifth digit as the insertion code (number 1000, code
// 0).  Read as the PDB form reads that column, the digit ends the number:
// kept as a code, it would be written back as part of the number (10000),
// which a run on the written model reads as 0.  The five digits in `out`,
// where the row's key so holds them.
bool fifth_digit_of_water(bool water, char out[5]) {
  if (!water || crdinf.cr_soft(1) == 'B') return false;
  const char* key = crdatm.cr_pnum.c + 2;
  for (int i = 0; i < 5; ++i)
    if (key[i] < '0' || key[i] > '9') return false;
  std::memcpy(out, key, 5);
  crdatm.cr_pnum(7) = ' ';
  return true;
}

}  // namespace

long long coords::number_high(std::string_view auth_seq) {
  const Number n = parse(auth_seq);
  return n.given && n.width > 4 ? high_of(n) : 0;
}

rt::FixedText<4> coords::further_chain_name(const rt::FixedText<4>& group, char avoid) {
  // Two-character names are what the later check of chain names tells apart.
  std::bitset<256 * 256> taken;
  const auto at = [](char c1, char c2) {
    return static_cast<std::size_t>(static_cast<unsigned char>(c1)) * 256 +
           static_cast<unsigned char>(c2);
  };
  taken.set(at(group(1), group(2)));
  taken.set(at(group(1), avoid));
  for (int k = 1; k <= asym_part.n_group && k <= MAXCHAIN; ++k) {
    const rt::FixedText<4>& g = asym_part.group_id(k);
    taken.set(at(g(1), g(2)));
  }
  rt::FixedText<4> name;
  name.blank();
  // The chain's own first character while a second one is free; then any
  // free pair, first characters in alphabet order, rather than one name for
  // every chain after the 60th.  The 60 x 60 pairs are more than the chain
  // table holds, so one is always free.
  const auto free_after = [&](char first) {
    for (const char c : kChainIdAlphabet) {
      if (taken.test(at(first, c))) continue;
      name(1) = first;
      name(2) = c;
      return true;
    }
    return false;
  };
  if (free_after(group(1))) return name;
  for (const char first : kChainIdAlphabet)
    if (first != group(1) && free_after(first)) return name;
  return name;
}

void coords::wide_numbers_start() { wide = Wide{}; }

void coords::wide_number_of_row() {
  const CifAuthorRow& row = cif_author_row();
  const bool water = pdb::is_any_water(crdatm.cr_rname.trimmed());
  char five[5];
  wide.row_auth.assign(fifth_digit_of_water(water, five) ? std::string_view(five, 5)
                                                         : row.auth_seq);
  const Number n = parse(wide.row_auth);
  wide.row_water = water;
  // This system's own files write a number and its code as five characters.
  wide.row_wide = n.given && n.width > 4 && crdinf.cr_soft(1) != 'B';
  wide.row_high = wide.row_wide && water ? high_of(n) : 0;
  if (wide.row_wide && water)
    put_low(static_cast<int32_t>(n.negative ? -(n.value % 1000) : n.value % 10000));
}

bool coords::wide_number_row(int32_t mdoc, bool again, bool anew) {
  const CifAuthorRow& row = cif_author_row();
  if (wide.labels == Wide::Labels::Unknown)
    wide.labels = row_labels_chain(row) ? Wide::Labels::Given : Wide::Labels::None;
  const bool water = wide.row_water;
  const std::string_view auth_seq = wide.row_auth;
  const bool too_wide = wide.row_wide;
  const long long high = wide.row_high;
  if (too_wide && !water) name_residue(row);
  const int32_t low = cif_read_i4(crdatm.cr_pnum.sub(3, 6));

  const rt::FixedText<4> group = crdatm.cr_group;
  const std::string_view chain = row.auth_asym;
  const bool same_chain = wide.any && group == wide.group && chain == wide.chain;
  // This system's own files write each water chain under a name of its
  // own: a water at 0 after 9999 there is one the reader numbered anew
  // where no number past 9999 was left, never the numbers wrapping.
  const bool own_file = crdinf.cr_soft(1) == 'B';
  const bool wraps = same_chain && water && wide.water && !anew && !own_file &&
                     pdb::water_number_wraps(wide.high, wide.low, high, low);
  pdb::warn_water_numbers(mdoc, water ? high : 0, wraps && high == wide.high, wide.wide_warned,
                          wide.wrap_warned);
  // Another program's waters of the blank chain, as the PDB reader reads
  // them: one at a number its water chain holds, lying apart from the water
  // that holds it, begins a further water chain.  This system's own files
  // name every chain and never give a water chain a number twice.
  const std::string_view number = crdatm.cr_pnum.sub(3, 7);
  const bool blank_row = crdinf.cr_soft(1) != 'B' && coords::named_chain(row).empty();
  const bool blank_water = water && blank_row;
  // The blank chain's further water chains are its pieces, whatever the
  // rows' labels (unlabelled_chain_of_row).
  const bool labelled = wide.labels == Wide::Labels::Given && !blank_row;
  // So does one that gives the water before again, in any chain, and in a
  // file that labels its chains a ligand of a named chain that gives the
  // ligand before again (elsewhere the chain counter parts them).
  const bool ligand =
      !water && !pdb::is_polymer_class(pdb::residue_class(crdatm.cr_rname.trimmed()));
  const bool given_again =
      same_chain && !wraps && again && (water ? wide.water : labelled && ligand);
  const bool repeats =
      given_again || (same_chain && blank_water && wide.water && !wraps &&
                      number != std::string_view(wide.number, 5) &&
                      wide.blank_waters.begins_further_chain(number, crdatm.cr_xyz.data()));
  if (repeats && blank_water) pdb::warn_water_numbers_again(mdoc, wide.again_warned);
  // A water read anew at the start of a further water chain is told of by
  // the reader's own warning.
  if (given_again && !blank_water && !anew)
    warn_two_at_one_number(named_chain(row), number, crdatm.cr_rname.trimmed(),
                           crdatm.cr_rname.trimmed());
  // Two author's numbers that four columns make one (123456 and 133456, one
  // right after the other) are two residues at that number, refused by
  // wide_numbers_report, never one residue of both.
  wide.parts = same_chain && (too_wide || wide.auth_wide) &&
               number == std::string_view(wide.number, 5) && auth_seq != wide.auth;
  wide.auth.assign(auth_seq);
  wide.auth_wide = too_wide;
  // A further water chain holds none of the numbers of the chain before it:
  // after the wrap past 9999, 199 is no repeat of the 199 before it.
  if (wraps || repeats) wide.blank_waters.clear();
  wide.blank_waters.note(blank_water, group.view(), number, crdatm.cr_xyz.data());
  for (int i = 0; i < 5; ++i) wide.number[i] = number[static_cast<std::size_t>(i)];
  if (!same_chain) wide.in_piece = false;
  if ((wraps || repeats) && labelled) {
    wide.piece = further_chain_name(group);
    wide.in_piece = true;
  }
  wide.any = true;
  wide.group = group;
  wide.chain.assign(chain);
  wide.water = water;
  if (!anew || !same_chain) {
    wide.high = high;
    wide.low = low;
  }
  // A water numbered past 9999 in a chain of its label (after other
  // residues, or the first of the label) is checked as other residues are.
  if (too_wide && water && !wide.in_piece) wide.pending = true;
  if (wide.in_piece) {
    rt::FixedText<12>& pnum = crdatm.cr_pnum;
    crdatm.cr_group = wide.piece;
    pnum(1) = wide.piece(1);
    pnum(2) = wide.piece(2);
    for (int i = 1; i <= 4; ++i) pnum(7 + i) = wide.piece(i);
  }
  return (wraps || repeats) && !labelled;
}

bool coords::wide_number_parts() { return wide.parts; }

void coords::wide_number_stored() {
  if (!wide.pending) return;
  wide.pending = false;
  const int32_t r = resid_inf.n_residue;
  if (!wide.warnings.empty() && wide.warnings.back().residue == 0) wide.warnings.back().residue = r;
  if (wide.residues.empty() || wide.residues.back() != r) wide.residues.push_back(r);
}

void coords::wide_numbers_warn(int32_t mdoc) {
  for (const Wide::Warning& w : wide.warnings) {
    std::string chain = w.author;
    if (chain.empty() && w.residue >= 1 && w.residue <= resid_inf.n_residue)
      chain = asym_part.group_id(resid_inf.i_chain(w.residue)).trimmed();
    msgdoc_(mdoc, " WARNING: residue " + w.rname + " " + w.number + " of chain " + chain +
                      ": number wider than four columns, read as " + w.kept);
  }
  wide.warnings.clear();
}

int32_t coords::wide_numbers_report(int32_t mdoc) {
  // The numbers of each chain that holds such a residue, by their value
  // (the last four digits of a wider number are kept as written, 0001) and
  // insertion code.
  std::unordered_map<int32_t, std::unordered_map<std::string, int>> numbers;
  std::unordered_set<std::string> reported;
  int32_t status = 0;
  for (const int32_t r : wide.residues) {
    if (r < 1 || r > resid_inf.n_residue) continue;
    const int32_t g = resid_inf.i_chain(r);
    auto [it, fresh] = numbers.try_emplace(g);
    if (fresh) {
      const int32_t first = asym_part.ires_first(g);
      for (int32_t k = first; k < first + asym_part.nres_chain(g); ++k)
        ++it->second[value_of(resid_inf.res_num_pdb(k))];
    }
    const rt::FixedText<12>& key = resid_inf.res_num_pdb(r);
    const std::string value = value_of(key);
    if (it->second[value] < 2 || !reported.insert(std::to_string(g) + " " + value).second) continue;
    coords::report_same_number(mdoc, coords::key_chain_name(key), key.sub(3, 7),
                               it->second[value]);
    status = 6;
  }
  return status;
}
