// mmCIF atom rows through the PDB reader's atom decoding and atom loop.
// The PDB form of an entry names chains by the author's letter and breaks
// them at TER records, at HETATM residues and at the waters; its mmCIF form
// carries the same facts in other items: the author's chain, number and
// insertion code beside the file's own (label) names, the record kind in
// group_PDB, and a new label chain where the PDB form has a TER record.
// Each row is written as the PDB form's atom line and read by the PDB
// reader's own code, so that the two forms cannot drift apart.
#include "coords/cif_by_pdb_rules.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "coords/cif_atom_rows.h"
#include "coords/cif_header.h"
#include "coords/cif_items.h"
#include "coords/cif_split_numbers.h"
#include "coords/cif_unlabelled_chains.h"
#include "coords/cif_wide_numbers.h"
#include "coords/ions.h"
#include "coords/pdb_aniso.h"
#include "coords/pdb_chains.h"
#include "coords/pdb_corrections.h"
#include "coords/pdb_reader.h"
#include "coords/pdb_records.h"
#include "coords/pdb_state.h"
#include "foundation/atom_com.h"
#include "foundation/atom_names.h"
#include "foundation/cif_tokeniser.h"
#include "foundation/cif_vocab.h"
#include "foundation/lookup_index.h"
#include "foundation/messages.h"
#include "foundation/residue_class.h"
#include "runtime/format.h"
#include "runtime/units.h"

namespace {

void put(char* line, int first, int width, std::string_view v) {
  for (int i = 0; i < width; ++i)
    line[first - 1 + i] = i < static_cast<int>(v.size()) ? v[static_cast<std::size_t>(i)] : ' ';
}

// Right-justified in its columns, as the PDB form writes short residue
// names and element symbols.
void put_right(char* line, int first, int width, std::string_view v) {
  const int n = static_cast<int>(v.size()) < width ? static_cast<int>(v.size()) : width;
  put(line, first, width - n, {});
  put(line, first + width - n, n, v);
}

// A fixed-point field of the PDB form; the caller's values fit (the row
// reader refuses those that do not).  std::to_chars writes the digits that
// "%.*f" writes, without the formatted-output machinery that took half
// the time of this reading.
void put_real(char* line, int first, int width, int decimals, float v) {
  char buf[64];
  const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, static_cast<double>(v),
                                               std::chars_format::fixed, decimals);
  put_right(line, first, width, std::string_view(buf, static_cast<std::size_t>(r.ptr - buf)));
}

// The entities of the header, by identifier: whether each is a polymer.
foundation::LookupIndex<4, MAXENTITY> entity_index;

void index_entities() {
  entity_index.clear();
  const int n = std::min(cif_entity_list.n_chn_ent, static_cast<int32_t>(MAXENTITY));
  for (int e = 1; e <= n; ++e) entity_index.add(cif_entity_list.ent_chain_id(e).view(), e);
}

int entity_polymer(std::string_view entity) {
  if (entity.empty()) return -1;
  const int32_t e = entity_index.first(entity.substr(0, 4));
  if (e == 0) return -1;
  const std::string_view type = cif_entity_list.ent_chain_type(e).trimmed();
  if (type.empty() || type == "." || type == "?") return -1;
  constexpr std::string_view kPolymer = "polymer";
  if (type.size() != kPolymer.size()) return 0;
  for (std::size_t i = 0; i < type.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(type[i])) != kPolymer[i]) return 0;
  return 1;
}

// The author's chain of the row, whole.  An author's chain written empty,
// or as "." (not applicable), is the PDB form's blank chain (files from
// simulations have no chain letters); only where the author gave no chain
// at all does the file's own chain stand in.  A file that labels no chain
// either (Open Babel writes neither item, only the entity, one for each
// chain of the entry) gives the blank chain, as the pipeline reads it.
std::string_view whole_author_chain(const coords::CifAuthorRow& row) {
  std::string_view chain = coords::given_value(row.auth_asym);
  if (chain.empty() && !coords::author_chain_blank(row) && coords::row_labels_chain(row))
    chain = row.label_asym;
  return chain;
}

// A water of the PDB reader, which reads the other names of water as "HOH"
// (the name stands right-justified in columns 18-20, a four-letter one
// runs on into column 21), and so a residue without a name too.
// `long_name`: the row's name is longer than four letters.
bool water_as_read(const char* line, bool long_name) {
  const std::string_view name(line + 17, 3);
  if (name == "   " && line[20] == ' ') return true;
  if ((long_name || line[20] != ' ') && foundation::is_cut_water_name(name))
    return !long_name && foundation::is_water_name(std::string_view(line + 17, 4));
  return pdb::is_any_water(name) ||
         (line[20] != ' ' && foundation::is_water_name(std::string_view(line + 17, 4)));
}

}  // namespace

bool coords::author_chain_blank(const CifAuthorRow& row) {
  return row.auth_asym_blank || row.auth_asym == ".";
}

std::string_view coords::named_chain(const CifAuthorRow& row) {
  const std::string_view chain = given_value(row.auth_asym);
  if (!chain.empty() || author_chain_blank(row) || !row_labels_chain(row)) return chain;
  return row.label_asym;
}

namespace {

// The record kind from the residue name and the row's kind, past the
// name lists.
bool hetatm_by_lists(const coords::CifAuthorRow& row, int polymer_entity) {
  const std::string_view kind = row.group_pdb.substr(0, 4);
  // A force-field name (HID, CYX; CHARMM's and Amber's nucleotides) stands
  // for a standard residue, as the PDB reader takes it whatever its record.
  // No standard name is one, so a standard residue not written as HETATM
  // is answered before the nucleotides' names are searched.
  if (!foundation::force_field_standard(row.comp_name).empty()) return false;
  const bool het_kind = kind == "HETA";
  if (!het_kind && foundation::name_in(row.comp_name, foundation::kPdbStandard)) return false;
  if (!foundation::force_field_nucleotide_name(row.comp_name, row.atom_name).empty()) return false;
  if (het_kind) return true;
  // The archive's older mmCIF files call a modified residue inside a chain
  // ATOM where its PDB form says HETATM: a residue off the standard list is
  // HETATM whatever the row says.  The chain caps and the one-letter
  // nucleotides of older files are no modified residues: the PDB form keeps
  // them in the chain when it writes them as ATOM, which the row says, or,
  // where the row gives no kind, its polymer entity does.  A one-letter
  // nucleotide without a kind and without an entity type (Open Babel
  // writes neither) is a nucleotide as A and G beside it are: read as
  // HETATM, each T would part its strand.
  const bool kindless = coords::given_value(row.group_pdb).empty();
  const bool one_letter = foundation::name_in(row.comp_name, foundation::kOneLetterNucleotides);
  if (kindless && one_letter && polymer_entity == -1) return false;
  const bool atom = kind == "ATOM" || (kindless && polymer_entity == 1);
  return !(atom && (foundation::name_in(row.comp_name, foundation::kPolymerCaps) || one_letter));
}

}  // namespace

bool coords::cif_row_hetatm(const CifAuthorRow& row, int polymer_entity) {
  // Rows come a residue at a time and each is asked of more than once: the
  // answer for the row before is kept, so that the name lists are searched
  // once a residue rather than for every atom.
  // An atom that bears its residue's name (an ion, RU) may be answered
  // otherwise than the residue's other atoms.
  static struct {
    std::string comp, kind;
    int entity = -2;
    bool named_as_residue = false;
    bool het = false;
  } last;
  const bool named_as_residue =
      row.atom_name.size() == row.comp_name.size() &&
      std::equal(row.atom_name.begin(), row.atom_name.end(), row.comp_name.begin(),
                 [](char a, char c) { return std::toupper(static_cast<unsigned char>(a)) == c; });
  if (polymer_entity == last.entity && row.comp_name == last.comp && row.group_pdb == last.kind &&
      named_as_residue == last.named_as_residue)
    return last.het;
  last.comp.assign(row.comp_name);
  last.kind.assign(row.group_pdb);
  last.entity = polymer_entity;
  last.named_as_residue = named_as_residue;
  last.het = hetatm_by_lists(row, polymer_entity);
  return last.het;
}

bool coords::pdb_line_of_cif_row(char segid, char line[80]) {
  const CifAuthorRow& row = cif_author_row();
  std::memset(line, ' ', 80);
  put(line, 1, 6, cif_row_hetatm(row, entity_polymer(row.entity)) ? "HETATM" : "ATOM");
  char serial[8];
  const std::to_chars_result r =
      std::to_chars(serial, serial + sizeof serial, crdatm.cr_iatold % 100000);
  put_right(line, 7, 5, std::string_view(serial, static_cast<std::size_t>(r.ptr - serial)));

  // The atom name stands from column 14 unless it fills all four columns,
  // its element has two letters, or it begins with a digit (a hydrogen name
  // of the older form): the column tells a calcium "CA" from an alpha carbon.
  // A row without an element takes the one its name and residue give, and
  // the line then carries it as the PDB form does.
  const std::string_view name = row.atom_name.empty() ? crdatm.cr_aname.trimmed() : row.atom_name;
  // An ion named by its residue is laid out as its name alone reads and
  // left without element, for the PDB reader's ion rule, which looks at the
  // whole residue.
  std::string_view element = coords::given_value(row.symbol);
  rt::FixedText<4> derived("");
  bool ion = false;
  if (element.empty()) {
    ion = !coords::ion_symbol(name, row.comp_name).is_blank();
    derived = pdb::element_of_left_name(name, ion ? std::string_view() : row.comp_name);
    if (derived(1) >= 'A' && derived(1) <= 'Z') element = derived.trimmed();
  }
  const bool digit_first = !name.empty() && name[0] >= '0' && name[0] <= '9';
  const bool from_13 = name.size() >= 4 || element.size() == 2 || digit_first;
  if (ion) element = {};
  put(line, from_13 ? 13 : 14, from_13 ? 4 : 3, name);
  const char alt = crdatm.cr_alt(1);
  line[16] = alt == '.' || alt == '?' ? ' ' : alt;
  // A residue without a name ("." or "?") stands blank, as the PDB form
  // writes it.
  put_right(line, 18, 3, coords::given_value(row.comp_name));
  // Simulation programs write four-letter names (TIP3) on into column 21.
  if (row.comp_name.size() == 4) line[20] = row.comp_name[3];

  const std::string_view chain = whole_author_chain(row);
  if (chain.size() > 1 && segid != 'Y') return false;
  line[21] = chain.empty() ? ' ' : chain[0];
  // Columns 3-7 of the residue key: the author's number and insertion code,
  // or the file's own number where the author gave none.
  for (int i = 0; i < 5; ++i) line[22 + i] = crdatm.cr_pnum(3 + i);
  // A water's author number of five digits runs on into column 27, as
  // simulation programs write it, so that the PDB reader keeps each water
  // apart and names what it met.
  const std::string_view seq = row.auth_seq;
  if (seq.size() == 5 && seq.find_first_not_of("0123456789") == std::string_view::npos &&
      water_as_read(line, row.comp_name.size() > 4))
    for (int i = 0; i < 5; ++i) line[22 + i] = seq[static_cast<std::size_t>(i)];

  put_real(line, 31, 8, 3, crdatm.cr_xyz(1));
  put_real(line, 39, 8, 3, crdatm.cr_xyz(2));
  put_real(line, 47, 8, 3, crdatm.cr_xyz(3));
  put_real(line, 55, 6, 2, crdatm.cr_occ);
  put_real(line, 61, 6, 2, crdatm.cr_biso);
  if (segid == 'Y') put(line, 73, 4, chain.substr(0, 4));
  put_right(line, 77, 2, element);
  return true;
}

namespace {

// A water's author number that columns 23-27 cannot hold, six digits or
// more or below -999: the columns take the last digits that the residue
// key keeps, as a number of four columns stands, and the rest is returned
// for the PDB reader, which parts the run of waters where it changes as it
// parts them at the fifth digit of a five-digit number.  0 for any other.
int32_t wide_water_number(char* line, const coords::CifAuthorRow& row) {
  const long long high = coords::number_high(row.auth_seq);
  if (high == 0 || !water_as_read(line, row.comp_name.size() > 4)) return 0;
  const std::string_view written(line + 22, 5);
  if (written.find_first_not_of("0123456789") == std::string_view::npos) return 0;
  const int32_t low = cif_read_i4(written.substr(0, 4));
  char digits[8];
  const std::to_chars_result r = std::to_chars(digits, digits + sizeof digits, low);
  put_right(line, 23, 4, std::string_view(digits, static_cast<std::size_t>(r.ptr - digits)));
  // Past what 32 bits hold the number is parted all the same.
  return static_cast<int32_t>(std::clamp<long long>(high, -2000000000LL, 2000000000LL));
}

void count_line(int32_t mdoc, const char* label, int32_t n) {
  msgdoc_(mdoc, rt::fmt("(A,I8)", label, n));
}

// The header as read_atoms_ reads it; false after its message and status.
bool read_header(int32_t mdoc, std::string_view file, int32_t& in, int32_t& ierr) {
  const int32_t md = -(std::abs(mdoc) + 1);
  const float no_cell[6] = {0, 0, 0, 0, 0, 0};
  int32_t isg_flag = 0, icell_flag = 0;
  in = crdinf.cri_iun;
  open_crdcif_(md, in, "", file, "", 0, no_cell, isg_flag, icell_flag, ierr);
  crdinf.cri_iun = in;
  if (ierr != 0) {
    coords::header_failed(mdoc, in, ierr);
    return false;
  }
  return true;
}

}  // namespace

namespace {

// A run of rows of one file chain (label identifier), the unit that the
// PDB form moves about.
struct Block {
  std::string label;  // the file's chain
  std::string chain;  // the author's chain of its first row
  int first = 0, count = 0;
  bool water = true;
  // Polymer by the file's entity type: 1 polymer, 0 not, -1 not given.
  int entity_polymer = -1;
  bool polymer_residue = false;  // a residue of a peptide or a nucleic acid
  bool polymer = false;
  int rank = 0;  // the place of its author chain in the PDB form
  // The file's chain by number, one for each label, 0 for a blank chain:
  // two runs of one author chain under different labels (one segment shared
  // by two chains) may each number their residues from 1, and the same
  // label again holds its residues twice.
  int32_t label_part = 0;
};

// The PDB form writes the polymers first, whatever the file says of their
// sequence numbers: the file's entity type decides where it gives one,
// otherwise the residues do, classed as the PDB reader classes them.
bool is_polymer(const Block& b) {
  if (b.entity_polymer >= 0) return b.entity_polymer == 1;
  return b.polymer_residue;
}

// A row of the block as an atom line; a residue is classed at its first
// row (where the residue name or the number with insertion code changes).
void add_row(Block& b, const char* line, const char* prev, bool long_name) {
  b.count += 1;
  b.water = b.water && water_as_read(line, long_name);
  if (prev != nullptr && std::memcmp(line + 17, prev + 17, 3) == 0 &&
      std::memcmp(line + 22, prev + 22, 5) == 0)
    return;
  if (b.polymer_residue) return;
  std::string_view name(line + 17, 3);  // right-justified in its columns
  while (!name.empty() && name[0] == ' ') name.remove_prefix(1);
  int32_t c = pdb::residue_class(name);
  // A force field's nucleotide (URA, RU5) is the nucleotide it names.
  if (c == 1)
    if (const std::string_view n =
            foundation::force_field_nucleotide_name(name, std::string_view(line + 12, 4));
        !n.empty())
      c = pdb::residue_class(n);
  b.polymer_residue = c >= 3 && c <= 6;
}

// The author chains in the order of the PDB form, by identifier (the
// chain column, or the segment columns).  More chains than the chain table
// holds cannot be read anyway: they share the last place.
foundation::LookupIndex<4, MAXCHAIN> chain_rank;

// The PDB form's order of the blocks: the polymers as the file gives them,
// then the other residues chain by chain, then the waters chain by chain,
// the chains in the order of the polymers (chains without a polymer after
// them, in the order they come).
std::vector<int> pdb_form_order(std::vector<Block>& blocks) {
  chain_rank.clear();
  const auto rank_of = [](const std::string& c) {
    if (const int32_t r = chain_rank.first(c); r != 0) return r;
    if (chain_rank.full()) return static_cast<int32_t>(MAXCHAIN + 1);
    const int32_t r = chain_rank.size() + 1;
    chain_rank.add(c, r);
    return r;
  };
  for (Block& b : blocks) b.polymer = is_polymer(b);
  for (Block& b : blocks)
    if (b.polymer) b.rank = rank_of(b.chain);
  for (Block& b : blocks)
    if (!b.polymer) b.rank = rank_of(b.chain);
  std::vector<int> order;
  order.reserve(blocks.size());
  for (std::size_t i = 0; i < blocks.size(); ++i)
    if (blocks[i].polymer) order.push_back(static_cast<int>(i));
  for (const bool water : {false, true}) {
    std::vector<int> part;
    for (std::size_t i = 0; i < blocks.size(); ++i)
      if (!blocks[i].polymer && blocks[i].water == water) part.push_back(static_cast<int>(i));
    const auto rank = [&](int k) { return blocks[static_cast<std::size_t>(k)].rank; };
    std::stable_sort(part.begin(), part.end(), [&](int x, int y) { return rank(x) < rank(y); });
    order.insert(order.end(), part.begin(), part.end());
  }
  return order;
}

// The PDB form ends a polymer with a TER record, but writes the waters of
// a chain as one run: a new label between two runs of waters (one label
// per water or dummy atom, as some writers give) is no break there.
bool terminator_before(const Block& prev, const Block& next) { return !(prev.water && next.water); }

// The waters of one author chain run on across their labels, as the PDB
// form writes them.  But a label that gives again a number the run already
// holds is another chain's waters (a chain's waters labelled apart from
// its own, each numbered from 1): it begins a further water chain, as the
// pipeline, which names chains by their labels, reads it, rather than a
// number held twice.
class WaterRun {
 public:
  // True when block `next` begins a further water chain after `prev`
  // (null for the first block).
  bool labelled_again(const Block* prev, const Block& next,
                      const std::vector<std::array<char, 80>>& lines) {
    const bool runs_on =
        prev != nullptr && prev->water && next.water && prev->chain == next.chain;
    if (!runs_on) numbers_.clear();
    if (runs_on && prev->label_part != next.label_part && holds_any(next, lines)) {
      numbers_.clear();
      note(next, lines);
      return true;
    }
    if (next.water) note(next, lines);
    return false;
  }

 private:
  static std::string number(const std::array<char, 80>& line) {
    return std::string(line.data() + 22, 5);
  }
  bool holds_any(const Block& b, const std::vector<std::array<char, 80>>& lines) const {
    for (int i = b.first; i < b.first + b.count; ++i)
      if (numbers_.count(number(lines[static_cast<std::size_t>(i)])) != 0) return true;
    return false;
  }
  void note(const Block& b, const std::vector<std::array<char, 80>>& lines) {
    for (int i = b.first; i < b.first + b.count; ++i)
      numbers_.insert(number(lines[static_cast<std::size_t>(i)]));
  }
  std::unordered_set<std::string> numbers_;
};

// The author chains of a read by segment columns, each once, in the order
// they come, and the runs of lines that each holds.
struct AuthorChain {
  std::string name;   // whole
  std::string label;  // the file's chain of its first row
  std::string seg;    // what the segment columns get
};
struct AuthorRun {
  int first_line;
  int author;
};

// Four columns hold a chain name.  A longer author name is cut to them
// unless that would run it into another author chain: then the file's own
// chain of its first row names it, where that fits and is no other chain's
// name.  False after the error line naming the two chains when neither
// serves.
bool name_long_author_chains(int32_t mdoc, std::vector<AuthorChain>& authors) {
  bool any_long = false;
  std::unordered_map<std::string, int> holders;  // authors by the name they get
  for (AuthorChain& a : authors) {
    a.seg = a.name.substr(0, 4);
    holders[a.seg] += 1;
    any_long = any_long || a.name.size() > 4;
  }
  if (!any_long) return true;
  // The chain whose name begins as that of a, for the error line.
  const auto partner = [&](const AuthorChain& a) -> const std::string& {
    for (const AuthorChain& b : authors)
      if (&b != &a && b.name.compare(0, 4, a.name, 0, 4) == 0) return b.name;
    return a.name;
  };
  std::vector<char> clashing(authors.size(), 0);
  for (std::size_t i = 0; i < authors.size(); ++i)
    clashing[i] = authors[i].name.size() > 4 && holders[authors[i].seg] > 1;
  for (std::size_t i = 0; i < authors.size(); ++i) {
    AuthorChain& a = authors[i];
    if (a.name.size() <= 4) continue;
    if (clashing[i] == 0) {
      msgdoc_(1, " WARNING: author chain " + a.name + " is cut to " + a.seg +
                     ": a chain name holds 4 characters");
      continue;
    }
    const std::string label(coords::given_value(a.label));
    if (label.empty() || label.size() > 4 || holders[label] > 0) {
      msgerr_(mdoc, " ERROR: author chains " + a.name + " and " + partner(a) +
                        " agree in their first 4 characters, all that a chain name holds");
      return false;
    }
    holders[a.seg] -= 1;
    a.seg = label;
    holders[label] += 1;
    msgdoc_(1, " WARNING: author chain " + a.name + " is named " + label +
                   ", its label chain: a chain name holds 4 characters");
  }
  return true;
}

// The file's chain of the row, by which its runs of rows and the parts of
// an author chain are told apart.  A file that labels no chain (PyMOL
// writes "." in every row; a file without the item gives the entity in its
// place) tells its chains apart by the author's chain alone, as the
// pipeline reads it, so the author's chain is part of the key there.
void file_chain_of(const coords::CifAuthorRow& row, std::string& out) {
  // The blank chain is one run of rows whatever their entities and labels
  // (a blank author's chain under one label for the whole file, or one for
  // each piece or water): its chains are those the pipeline finds in it.
  if (coords::named_chain(row).empty()) {
    out.assign(1, '\x01');
    return;
  }
  out.assign(row.label_asym);
  // A label over several author's chains (PyMOL writes its segment column
  // there, which older entries fill with the entry code) is a part of each:
  // the archive's labels never span two author's chains.
  if (row.label_given && !coords::given_value(row.label_asym).empty()) {
    out.push_back('\x01');
    out.append(coords::given_value(row.auth_asym));
    return;
  }
  // Nor does an entity that stands in for a missing label part an author's
  // chain: the PDB form keeps a chain whole where the entity changes in it.
  if (!row.label_given && !coords::given_value(row.auth_asym).empty()) out.clear();
  out.push_back('\x01');
  out.append(coords::given_value(row.auth_asym));
}

// The residue's N or P that the rows' look-ahead found for the residue of
// row `r` (counted from 1), if any.
const coords::CifChainAtom* chain_atom_ahead_of(const std::vector<coords::CifChainAtom>& ahead,
                                                int32_t r) {
  const auto after =
      std::upper_bound(ahead.begin(), ahead.end(), r,
                       [](int32_t v, const coords::CifChainAtom& a) { return v < a.row; });
  if (after == ahead.begin()) return nullptr;
  const coords::CifChainAtom& a = *(after - 1);
  return a.end == 0 || r < a.end ? &a : nullptr;
}

// Marks the file as read by the author's items for the rows and header
// readers, for as long as the read lasts.
struct ReadingByAuthor {
  ReadingByAuthor() { com_crd_cif.by_author = 1; }
  ~ReadingByAuthor() { com_crd_cif.by_author = 0; }
  ReadingByAuthor(const ReadingByAuthor&) = delete;
  ReadingByAuthor& operator=(const ReadingByAuthor&) = delete;
};

}  // namespace

void coords::read_cif_by_pdb_rules(int32_t mdoc, std::string_view file, char seg_flag,
                                   char hflag_remove, int32_t& ierr) {
  init_res_type_tab_();
  if (cif_types.n_conn_type == 0) set_cif_types_();
  ierr = 0;
  int32_t in = 0;
  const ReadingByAuthor by_author;
  if (!read_header(mdoc, file, in, ierr)) return;
  index_entities();
  split_numbers_start();
  unlabelled_chains_start();

  // The rows of the first model as atom lines of the PDB form, in runs of
  // one file chain.
  std::vector<std::array<char, 80>> lines;
  std::vector<CifRowOfLine> rows_of_lines;
  std::vector<Block> blocks;
  int32_t mode = 0, iend = -1;
  std::vector<AuthorChain> authors;
  std::unordered_map<std::string, int> author_index;
  std::vector<AuthorRun> runs;
  std::unordered_map<std::string, int32_t> label_parts;
  std::string label;
  int32_t zero_aniso = 0;  // anisotropic rows of six zeros
  for (;;) {
    rdcrd_cif_(99, in, mode, iend, ierr);
    if (ierr != 0) {
      if (!cif_rows_refusal().empty()) msgerr_(mdoc, cif_rows_refusal());
      msgerr_(mdoc, " ERROR: read input file");
      rt::unit_close(crdinf.cri_iun);
      ierr = 3;
      return;
    }
    if (iend != 0) break;
    // The anisotropic rows give nothing that groups need; those of six
    // zeros are counted all the same, as the pipeline counts them.
    if (mode == kCifRowAniso && aniso_all_zero(crdatm.cr_anis.data())) ++zero_aniso;
    if (mode != kCifRowAtom || crdatm.cr_iatold <= 0) continue;
    std::array<char, 80>& line = lines.emplace_back();
    if (!pdb_line_of_cif_row(seg_flag, line.data())) {
      rt::unit_close(crdinf.cri_iun);
      ierr = kCifLongChainIds;
      return;
    }
    const CifAuthorRow& row = cif_author_row();
    rows_of_lines.push_back({{crdatm.cr_xyz(1), crdatm.cr_xyz(2), crdatm.cr_xyz(3)},
                             crdatm.cr_iatold,
                             cif_record_place_info().line,
                             row.comp_name.size() > 4,
                             wide_water_number(line.data(), row)});
    split_numbers_row();
    if (seg_flag == 'Y') {
      const std::string_view chain = whole_author_chain(row);
      if (runs.empty() || authors[static_cast<std::size_t>(runs.back().author)].name != chain) {
        const auto [at, added] =
            author_index.try_emplace(std::string(chain), static_cast<int>(authors.size()));
        if (added) authors.push_back({std::string(chain), std::string(row.label_asym), {}});
        runs.push_back({static_cast<int>(lines.size()) - 1, at->second});
      }
    }
    // The labels are compared whole: they only say where the file's chains
    // change, and long ones (a chain and a residue number, as some writers
    // name a ligand's chain) may agree in their first characters.
    file_chain_of(row, label);
    const char* prev = nullptr;
    if (blocks.empty() || blocks.back().label != label) {
      Block& b = blocks.emplace_back();
      b.label = label;
      b.chain = std::string(line.data() + 21, 1);
      if (seg_flag == 'Y') b.chain = std::string(line.data() + 72, 4);
      b.first = static_cast<int>(lines.size()) - 1;
      b.entity_polymer = entity_polymer(row.entity);
      // A blank chain is no chain of its own; nor is the chain of a file
      // that names none, whatever its rows' entity.
      if (!named_chain(row).empty())
        b.label_part =
            label_parts.try_emplace(b.label, static_cast<int32_t>(label_parts.size()) + 1)
                .first->second;
    } else {
      prev = lines[lines.size() - 2].data();
    }
    add_row(blocks.back(), line.data(), prev, row.comp_name.size() > 4);
    // Last: it rewrites the row's chain key in crdatm.
    unlabelled_chain_of_row();
  }
  // The further chains of a blank chain that the pipeline begins where its
  // numbers start again, each parted from the rows before as by a TER
  // record, so that both programs read the same chains.
  std::vector<char> chain_starts(lines.size(), 0);
  for (const int32_t r : unlabelled_chain_starts())
    if (r >= 1 && static_cast<std::size_t>(r) <= lines.size())
      chain_starts[static_cast<std::size_t>(r - 1)] = 1;
  // Where the numbers drop at a residue that begins otherwise than with its
  // N or P (with CA, or with hydrogens the run keeps), the PDB reader judges
  // the chain bond at the N or P that the rows' look-ahead found.
  const std::vector<CifChainAtom>& atoms_ahead = unlabelled_chain_atoms_ahead();

  if (!name_long_author_chains(mdoc, authors)) {
    rt::unit_close(crdinf.cri_iun);
    ierr = kCifChainNamesClash;
    return;
  }
  for (std::size_t r = 0; r < runs.size(); ++r) {
    const std::string& seg = authors[static_cast<std::size_t>(runs[r].author)].seg;
    const std::size_t end =
        r + 1 < runs.size() ? static_cast<std::size_t>(runs[r + 1].first_line) : lines.size();
    for (std::size_t i = static_cast<std::size_t>(runs[r].first_line); i < end; ++i)
      put(lines[i].data(), 73, 4, seg);
  }
  if (seg_flag == 'Y')
    for (Block& b : blocks) b.chain.assign(lines[static_cast<std::size_t>(b.first)].data() + 72, 4);

  PdbAtomLoop loop;
  pdb_atom_loop_start(loop, seg_flag);
  rt::FixedText<4> acode;
  pdb_atom_state_open(acode);
  // The header reader has set up the cell, the symmetry and the frame of
  // the coordinates: the atom decoding takes its frame from there instead
  // of from CRYST1 and SCALE records.
  sttcrec.st_first_atom_done = 1;
  sttcrec.st_scale_flag = 1;
  sttcrec.st_frame_kept = com_crd_cif.frame_kept;
  rt::FixedText<6> rec;
  rec.blank();
  const Block* before = nullptr;
  WaterRun waters;
  const std::vector<int> order = pdb_form_order(blocks);
  std::vector<CifLineRun> runs_read;
  runs_read.reserve(order.size());
  for (const int k : order)
    runs_read.push_back({blocks[static_cast<std::size_t>(k)].first,
                         blocks[static_cast<std::size_t>(k)].count});
  cif_lines_of_file(lines.data(), runs_read.data(), static_cast<int32_t>(runs_read.size()));
  for (std::size_t o = 0; o < order.size(); ++o) {
    const Block& b = blocks[static_cast<std::size_t>(order[o])];
    // The PDB form has a TER record where a polymer ends; where a HETATM
    // residue or a water starts a chain the PDB reader breaks it anyway, and
    // a terminator there adds no second break.
    const bool again = waters.labelled_again(before, b, lines);
    if (before != nullptr && (terminator_before(*before, b) || again)) rec = "TER   ";
    before = &b;
    char part[12];
    std::snprintf(part, sizeof part, "L%07d", b.label_part);
    const rt::FixedText<8> line_part(b.label_part != 0 ? std::string_view(part, 8)
                                                       : std::string_view());
    for (int i = b.first; i < b.first + b.count; ++i) {
      if (chain_starts[static_cast<std::size_t>(i)] != 0) rec = "TER   ";
      if (rec == std::string_view("?")) rec = "ATOM  ";
      const std::string_view line(lines[static_cast<std::size_t>(i)].data(), 80);
      const int32_t n_ahead = b.first + b.count - i - 1;
      cif_line_read(static_cast<int32_t>(o), i);
      cif_rows_ahead(n_ahead > 0 ? &lines[static_cast<std::size_t>(i) + 1] : nullptr,
                     n_ahead > 0 ? &rows_of_lines[static_cast<std::size_t>(i) + 1] : nullptr,
                     n_ahead);
      // The atom takes the row's coordinates, not the line's three
      // decimals: both programs judge one site where the file puts it.
      const CifChainAtom* ahead =
          atoms_ahead.empty() ? nullptr : chain_atom_ahead_of(atoms_ahead, i + 1);
      if (rdatom_cif_row(line, rows_of_lines[static_cast<std::size_t>(i)], rec, acode, hflag_remove,
                         ahead) != 0) {
        msgerr_(mdoc, " ERROR: read input file");
        ierr = 3;
        return;
      }
      if (!(rec.sub(1, 4) == std::string_view("ATOM"))) continue;  // a dropped hydrogen
      sttcrec.st_line_part = line_part;
      pdb_atom_loop_store(loop, mdoc, 'F', acode, ierr);
      if (ierr != 0) {
        msgerr_(mdoc, " ERROR: read input file");
        ierr = 4;
        return;
      }
      unlabelled_row_stored(i + 1);
    }
  }
  cif_rows_ahead(nullptr, nullptr, 0);
  cif_lines_of_file(nullptr, nullptr, 0);
  pdb_post_read_passes(mdoc, 'F', 'N', true, ierr);
  warn_zero_aniso("_atom_site_anisotrop row", zero_aniso);
  count_line(mdoc, " Number of atoms    :", atom_inf.n_atom);
  count_line(mdoc, " Number of residues :", resid_inf.n_residue);
  count_line(mdoc, " Number of chains   :", asym_part.n_group);
  check_num_in_chain_(mdoc, ierr);
  // Residues under different labels are put in the PDB form's order above,
  // which may take them apart: those are watched in the file's order.
  int32_t split = split_numbers_report(mdoc);
  if (split == 0) check_split_numbers(mdoc, split);
  if (split != 0) ierr = split;
  const int32_t again = numbers_given_again_report(mdoc);
  if (again != 0) ierr = again;
  const int32_t copies = interleaved_copies_report(mdoc);
  if (copies != 0) ierr = copies;
}
