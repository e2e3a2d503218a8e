// Residue numbers held by two consecutive mmCIF residues of one author's
// chain under different chain labels.
#include "coords/cif_split_numbers.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "coords/cif_atom_rows.h"
#include "coords/pdb_chains.h"
#include "coords/pdb_corrections.h"
#include "foundation/atom_com.h"

namespace {

struct Watch {
  enum class Labels { Unknown, Given, None } labels = Labels::Unknown;
  bool any = false;
  // The row before: its label, author's chain, number and residue name.
  std::string label, chain;
  char number[5] = {};
  rt::FixedText<8> rname;
  bool alt = false;  // the residue being read holds an alternate code
  // A number that the residue being read shares with the residue before
  // it, which held an alternate code or not.
  bool pending = false, pending_alt = false;
  std::string pending_chain, pending_number;
  // Chain and number of each one found.
  std::vector<std::pair<std::string, std::string>> held;
};
Watch watch;

void settle_pending() {
  if (watch.pending && !(watch.pending_alt && watch.alt))
    watch.held.emplace_back(watch.pending_chain, watch.pending_number);
  watch.pending = false;
}

}  // namespace

void coords::split_numbers_start() { watch = Watch{}; }

void coords::split_numbers_row() {
  const CifAuthorRow& row = cif_author_row();
  if (watch.labels == Watch::Labels::Unknown)
    watch.labels = row_labels_chain(row) ? Watch::Labels::Given : Watch::Labels::None;
  if (watch.labels != Watch::Labels::Given) return;
  const std::string_view chain =
      row.auth_asym.empty() || row.auth_asym == "." || row.auth_asym == "?" ? row.label_asym
                                                                            : row.auth_asym;
  const char* number = crdatm.cr_pnum.c + 2;
  const bool same_number = watch.any && std::memcmp(number, watch.number, 5) == 0;
  const bool same_label = watch.any && row.label_asym == watch.label;
  const bool same_chain = watch.any && chain == watch.chain;
  if (!watch.any || !same_number || !same_label || !same_chain ||
      !(crdatm.cr_rname == watch.rname)) {
    settle_pending();
    // Waters numbered from 1 after a chain that ends at 1 are a range of
    // their own, never a residue split in two.
    if (same_number && same_chain && !same_label && !pdb::is_any_water(crdatm.cr_rname.trimmed()) &&
        !pdb::is_any_water(watch.rname.trimmed())) {
      watch.pending = true;
      watch.pending_alt = watch.alt;
      watch.pending_chain.assign(chain);
      watch.pending_number.assign(number, 5);
    }
    watch.alt = false;
  }
  const char alt = crdatm.cr_alt(1);
  watch.alt = watch.alt || (alt != '.' && alt != ' ' && alt != '?');
  watch.any = true;
  watch.label.assign(row.label_asym);
  watch.chain.assign(chain);
  std::memcpy(watch.number, number, 5);
  watch.rname = crdatm.cr_rname;
}

int32_t coords::split_numbers_report(int32_t mdoc) {
  settle_pending();
  for (const auto& [chain, number] : watch.held) coords::report_same_number(mdoc, chain, number);
  return watch.held.empty() ? 0 : 6;
}
