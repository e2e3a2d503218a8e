// The TLS group file: one group per chain of the model, or the groups
// defined on TLS GROUP DEFINE lines after a check that their chains exist.
#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>
#include <utility>

#include "file_names.h"
#include "foundation/atom_com.h"
#include "foundation/lookup_index.h"
#include "orbinate_blocks.h"
#include "runtime/format.h"
#include "runtime/run.h"
#include "runtime/units.h"
#include "suite/library_f.h"
#include "suite/ptq7_parser_f.h"

namespace {

// The records of the file; `ok` stays false from the first failed write.
struct TlsOut {
  int32_t unit;
  bool ok = true;
  void line(std::string_view text) {
    if (ok && rt::write_fmt(unit, "(A)", text) != 0) ok = false;
  }
};

// The identifier that names chain i in the file.  After a PDB read the
// chain identifier is the chain's own; after an mmCIF read the chains
// belong to assembly groups, the chain identifier names the chain's entity
// (shared by every chain of that entity) and the group identifier, the
// file's asym identifier, names the chain.
const rt::FixedText<4>& chain_name(int i) {
  return cif_asym_part.n_grp_asm > 0 ? asym_part.group_id(i) : asym_part.chain_id(i);
}

// Chains read from segment identifiers keep the segment's name, so several
// chains of one segment (its polymer pieces, ligands and waters) share
// it: one group names it once, where it first comes.
foundation::LookupIndex<4, MAXCHAIN> names;

// The lowest residue number of each chain, and then of each name at the
// first chain that bears it.
rt::Array1<int32_t, MAXCHAIN> lowest;

// Each name of the model once, under the first chain that bears it, with
// the lowest residue number its chains hold (1 where none is lower).
void index_chain_names() {
  for (int i = 1; i <= asym_part.n_group; ++i) lowest(i) = 1;
  for (int r = 1; r <= resid_inf.n_residue; ++r) {
    // The residue's number as the file gives it: four columns of its key,
    // the reader keeping no more.
    const std::string_view text = rt::trim(std::as_const(resid_inf.res_num_pdb(r)).sub(3, 6));
    int32_t number = 0;
    const auto read = std::from_chars(text.data(), text.data() + text.size(), number);
    if (read.ec != std::errc() || read.ptr != text.data() + text.size()) continue;
    int32_t& low = lowest(resid_inf.i_chain(r));
    low = std::min(low, number);
  }
  names.clear();
  for (int i = 1; i <= asym_part.n_group; ++i) {
    const int first = names.first(chain_name(i).view());
    if (first == 0)
      names.add(chain_name(i).view(), i);
    else
      lowest(first) = std::min(lowest(first), lowest(i));
  }
}

// A range runs from 1 to 9999, as refinement programs have always been
// given it, or from the chain's lowest number where that is below 1 (a DNA
// strand numbered from -73, waters whose numbers wrapped to 0), so that the
// group holds every residue of its chain.  The reader keeps no number above
// 9999.
void write_range(TlsOut& out, const rt::FixedText<4>& id) {
  out.line("range from " + std::to_string(lowest(names.first(id.view()))) + " " +
           std::string(id.view()) + " to 9999 " + std::string(id.view()));
}

// Names of defined groups that the model lacks, each once.
foundation::LookupIndex<4, MAXCHAIN> absent;

void append_name(std::string& list, const rt::FixedText<4>& id) {
  list += ' ';
  list += id.trimmed();
}

// Whether every chain of the defined groups is a chain of the model; when
// not, the log says which are missing and which the model has, since a
// misspelt identifier is the usual cause.
bool defined_chains_present() {
  std::string own;
  for (int i = 1; i <= asym_part.n_group; ++i)
    if (names.first(chain_name(i).view()) == i) append_name(own, chain_name(i));
  absent.clear();
  std::string missing;
  for (int g = 1; g <= tls_int.ngroup_tls; ++g) {
    for (int p = 1; p <= tls_int.ntls_pieces(g); ++p) {
      const rt::FixedText<4>& id = tls_char.chains_gr(g, p);
      if (names.contains(id.view()) || absent.contains(id.view())) continue;
      // Past the index's room the first ones named tell the user enough.
      if (absent.full()) continue;
      absent.add(id.view(), 1);
      append_name(missing, id);
    }
  }
  if (tls_int.ngroup_tls > 0 && absent.size() == 0) return true;
  rt::write_list(6, cif_asym_part.n_grp_asm, asym_part.n_group);
  rt::write_list(6, "Error ==> One or more chains are absent in the PDB");
  rt::write_list(6, tls_int.ngroup_tls == 0 ? "No chain is named on a TLS GROUP DEFINE line"
                                            : "Chains absent:" + missing);
  rt::write_list(6, "Chains in the model:" + own);
  return false;
}

}  // namespace

void write_tls_params_() {
  // Defined groups are checked against the chains before the file is
  // opened: a run that cannot write them fails and leaves no file.
  index_chain_names();
  if (tls_char.tls_define_flag(1) != 'C' && !defined_chains_present()) rt::stop_run(1);

  rt::FixedText<512> tls_file;
  logical_file_name("TLSOUT", tls_file);
  if (lenstr_(tls_file) < 1) tls_file = "tls_file.tls";
  int32_t itls_out = 0;
  int32_t ifail = -1;
  ptqdpn_(itls_out, tls_file.trimmed(), "UNKNOWN", "F", 0, ifail);
  rt::write_list(6, cif_asym_part.n_grp_asm, asym_part.n_group);

  TlsOut out{itls_out};
  if (tls_char.tls_define_flag(1) == 'C') {
    for (int i = 1; i <= asym_part.n_group; ++i) {
      if (names.first(chain_name(i).view()) != i) continue;
      out.line("TLS");
      write_range(out, chain_name(i));
      out.line("");
    }
  } else {
    for (int g = 1; g <= tls_int.ngroup_tls; ++g) {
      out.line("TLS ");
      for (int p = 1; p <= tls_int.ntls_pieces(g); ++p) write_range(out, tls_char.chains_gr(g, p));
      out.line("");
    }
  }
  // The last records reach the file only when it is closed: a full device
  // shows there.  A file not written whole is removed, so that no
  // refinement takes it for the groups of this model.
  if (!out.ok)
    rt::unit_close(itls_out, true);
  else if (rt::unit_close_or_remove(itls_out) != 0)
    out.ok = false;
  if (!out.ok) {
    rt::write_list(6, "Error: Cannot write the TLS file " + std::string(tls_file.trimmed()));
    rt::stop_run(1);
  }
}
