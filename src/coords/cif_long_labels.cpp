// Chain names of four characters for mmCIF chain labels of any length.
#include "coords/cif_long_labels.h"

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "coords/cif_atom_rows.h"
#include "coords/cif_by_pdb_rules.h"
#include "coords/cif_header.h"
#include "coords/cif_store_atom.h"
#include "coords/cif_wide_numbers.h"
#include "foundation/atom_com.h"
#include "foundation/atom_names.h"
#include "foundation/messages.h"

namespace {

struct Labels {
  // The chain name of each label read so far, whole.
  std::unordered_map<std::string, rt::FixedText<4>> name_of;
  // The names given, and whether a label longer than four characters holds
  // the name: only such a label makes a name taken for a shorter label,
  // so that files whose labels all fit read as they always have.
  std::unordered_map<std::string, bool> given;
  // The labels named anew and their names, in the order met: those cut to
  // four characters, and those whose name another chain holds.
  std::vector<std::pair<std::string, std::string>> renamed, clashed;
  // The label of the row before, its name and cut, and the residue number
  // of its last row: labels come in runs of rows.
  bool any = false;
  std::string last;
  rt::FixedText<4> name, cut;
  int32_t width = 0;  // coords::label_width of the label
  bool anew = false;
  char number[5] = {};
  // The author's chain of the label's rows so far, empty before the first
  // row that names one, and the name of the further chain that its rows of
  // a later author's chain take (blank while none).
  std::string author;
  rt::FixedText<4> piece;
  // The author's chains read as chains of their own under another's label:
  // the label, the author's chain and the name taken.
  std::vector<std::array<std::string, 3>> pieces;
  // Another program's file that labels its chains, as its first row tells.
  bool others_labels = false;
};
Labels labels;

std::string key(const rt::FixedText<4>& t) { return std::string(t.view()); }

// The first name that no label holds: the label's first three characters
// and one more, then its first two and two more, then its first and three.
rt::FixedText<4> free_name(std::string_view label, const rt::FixedText<4>& cut) {
  const std::string_view abc = kChainIdAlphabet;
  for (int keep = 3; keep >= 1; --keep) {
    if (static_cast<int>(label.size()) < keep) continue;
    rt::FixedText<4> t = cut;
    // The characters after the kept ones run through the alphabet as the
    // digits of a number.
    const int free = 4 - keep;
    int total = 1;
    for (int i = 0; i < free; ++i) total *= static_cast<int>(abc.size());
    for (int n = 0; n < total; ++n) {
      int v = n;
      for (int i = 4; i > keep; --i) {
        t(i) = abc[static_cast<std::size_t>(v % static_cast<int>(abc.size()))];
        v /= static_cast<int>(abc.size());
      }
      if (!labels.given.contains(key(t))) return t;
    }
  }
  return cut;
}

// A chain read so far holds the name (one of the names the read gives
// chains of its own: further water chains, a chain's waters and ligands
// parted from it).
bool chain_named(const rt::FixedText<4>& name) {
  for (int g = 1; g <= asym_part.n_group && g <= MAXCHAIN; ++g)
    if (asym_part.group_id(g) == name) return true;
  return false;
}

// The first name of the label's first character and a second of the
// alphabet that no label and no chain holds, as a further piece of a chain
// is named (Aa, Ab, ...).
rt::FixedText<4> free_second(std::string_view label, const rt::FixedText<4>& cut) {
  rt::FixedText<4> t("");
  t(1) = cut(1);
  for (const char c : kChainIdAlphabet) {
    t(2) = c;
    if (!labels.given.contains(key(t)) && !chain_named(t)) return t;
  }
  return free_name(label, cut);
}

rt::FixedText<4> name_label(std::string_view label, const rt::FixedText<4>& cut) {
  const bool long_label = label.size() > 4;
  const auto held = labels.given.find(key(cut));
  const bool taken = held != labels.given.end() && (long_label || held->second);
  // Two labels that fit are held under one name where one has a single
  // character, held doubled (A as AA, the name of a label AA), and a label
  // may name a chain the read has named itself: the later takes a name of
  // its own, or the two would be read and written as one chain.
  const bool clash = !taken && (held != labels.given.end() || chain_named(cut));
  const rt::FixedText<4> name = taken   ? free_name(label, cut)
                                : clash ? free_second(label, cut)
                                        : cut;
  if (taken) labels.renamed.emplace_back(std::string(label), std::string(name.trimmed()));
  if (clash) labels.clashed.emplace_back(std::string(label), std::string(name.trimmed()));
  labels.given[key(name)] |= long_label;
  return name;
}

// The link and modification rows that name residue `number` of the chain
// `cut` by a label of the width of the one being read, and have not found
// it yet, name it in the chain `name`.
void rename_rows(const rt::FixedText<4>& cut, const rt::FixedText<4>& name, std::string_view number) {
  bool any = false;
  const int nl = link_inf.ln_n < MAXLINK ? link_inf.ln_n : MAXLINK;
  const auto own = [](int l, int e) {
    return coords::label_widths_agree(coords::conn_label_width(l, e), labels.width);
  };
  for (int l = 1; l <= nl; ++l) {
    if (link_inf.ln_1ires(l) == 0 && link_inf.ln_1chn(l) == cut && link_inf.ln_seq1(l) == number &&
        own(l, 1)) {
      link_inf.ln_1chn(l) = name;
      any = true;
    }
    if (link_inf.ln_2ires(l) == 0 && link_inf.ln_2chn(l) == cut && link_inf.ln_seq2(l) == number &&
        own(l, 2)) {
      link_inf.ln_2chn(l) = name;
      any = true;
    }
  }
  const int nm = mod_inf.mod_n < MAXMODIF ? mod_inf.mod_n : MAXMODIF;
  for (int m = 1; m <= nm; ++m)
    if (mod_inf.mod_ires(m) == 0 && mod_inf.mod_chn(m) == cut && mod_inf.mod_seq(m) == number)
      mod_inf.mod_chn(m) = name;
  if (any) coords::link_rows_renamed();
}

// A label never spans two author's chains in the archive, but a writer
// that fills it from another column may give one label to all: PyMOL
// writes the segment there, which older files fill with the entry code
// (1HPV on chains A, B and the waters alike).  Read as one chain, chain B
// would run on from A's last residue through its OXT.  Each change of the
// author's chain under one label begins a further chain, as the PDB form
// and orbinate begin one; rows of a blank author's chain are named apart
// already and change nothing.  True for a row of such a further chain,
// which takes the name labels.piece.
bool author_piece(const coords::CifAuthorRow& row, bool new_label) {
  const std::string_view author =
      coords::author_chain_blank(row) ? std::string_view() : coords::given_value(row.auth_asym);
  const bool labelled = row.label_given && !coords::given_value(row.label_asym).empty();
  if (new_label) {
    labels.author.assign(labelled ? author : std::string_view());
    labels.piece.blank();
    return false;
  }
  if (!labelled || author.empty()) return false;
  if (author != labels.author) {
    if (!labels.author.empty()) {
      labels.piece = coords::further_chain_name(crdatm.cr_group);
      labels.pieces.push_back({labels.last, std::string(author), std::string(labels.piece.trimmed())});
    }
    labels.author.assign(author);
  }
  return !labels.piece.is_blank();
}

}  // namespace

void coords::long_labels_start() { labels = Labels{}; }

void coords::long_label_row() {
  const CifAuthorRow& row = cif_author_row();
  const std::string_view label = row.label_asym;
  const bool new_label = !labels.any || label != labels.last;
  if (!labels.any) labels.others_labels = crdinf.cr_soft(1) != 'B' && row_labels_chain(row);
  if (new_label) {
    labels.any = true;
    labels.last.assign(label);
    labels.cut = crdatm.cr_group;
    labels.width = row.label_given ? label_width(label) : 0;
    const auto it = labels.name_of.find(labels.last);
    const bool returns = it != labels.name_of.end();
    labels.name = returns ? it->second : name_label(label, labels.cut);
    if (!returns) labels.name_of.emplace(labels.last, labels.name);
    // ParmEd and OpenMM keep the PDB form's order and give a chain's waters
    // and ligands the chain's label, after all the chains: under the
    // label's name they would be a second chain of that name, in the
    // written model too.  Each return of a label is a further chain, as the
    // PDB form's chain letter returning for its waters is.
    if (returns && labels.others_labels && !given_value(label).empty())
      labels.name = coords::further_chain_name(labels.name);
    labels.anew = !(labels.name == labels.cut);
    labels.number[0] = '\0';
  }
  rt::FixedText<12>& pnum = crdatm.cr_pnum;
  const auto name_row = [&](const rt::FixedText<4>& name) {
    crdatm.cr_group = name;
    pnum(1) = name(1);
    pnum(2) = name(2);
    for (int i = 1; i <= 4; ++i) pnum(7 + i) = name(i);
  };
  if (labels.anew) name_row(labels.name);
  if (author_piece(row, new_label)) {
    name_row(labels.piece);
    return;
  }
  if (!labels.anew) return;
  const std::string_view number = pnum.sub(3, 7);
  if (number != std::string_view(labels.number, 5)) {
    for (int i = 0; i < 5; ++i) labels.number[i] = number[static_cast<std::size_t>(i)];
    rename_rows(labels.cut, labels.name, number);
  }
}

void coords::long_labels_report(int32_t mdoc) {
  if (const std::size_t n = labels.pieces.size(); n > 0) {
    std::string line = " WARNING: " + std::to_string(n) +
                       (n == 1 ? " author chain shares another's chain label, and is read as a chain of its own:"
                               : " author chains share another's chain label, and are read as chains of their own:");
    for (std::size_t i = 0; i < n && i < 5; ++i)
      line += (i == 0 ? " " : ", ") + labels.pieces[i][1] + " under " + labels.pieces[i][0] +
              " as " + labels.pieces[i][2];
    if (n > 5) line += ", ...";
    msgdoc_(mdoc, line);
  }
  if (const std::size_t n = labels.clashed.size(); n > 0) {
    std::string line = " WARNING: " + std::to_string(n) +
                       (n == 1 ? " chain label would give its chain another chain's name"
                               : " chain labels would give their chains other chains' names") +
                       ", and " + (n == 1 ? "is" : "are") + " named anew:";
    for (std::size_t i = 0; i < n && i < 5; ++i)
      line += (i == 0 ? " " : ", ") + labels.clashed[i].first + " as " + labels.clashed[i].second;
    if (n > 5) line += ", ...";
    msgdoc_(mdoc, line);
  }
  const std::size_t n = labels.renamed.size();
  if (n == 0) return;
  std::string line = " WARNING: " + std::to_string(n) + (n == 1 ? " chain label agrees" : " chain labels agree") +
                     " with another in the first 4 characters, all that a chain name holds, and " +
                     (n == 1 ? "is" : "are") + " named anew:";
  for (std::size_t i = 0; i < n && i < 5; ++i)
    line += (i == 0 ? " " : ", ") + labels.renamed[i].first + " as " + labels.renamed[i].second;
  if (n > 5) line += ", ...";
  msgdoc_(mdoc, line);
}
