// Waters and ligands parted from the chain whose mmCIF label they carry.
#include "coords/cif_label_tails.h"

#include "coords/cif_atom_rows.h"
#include "coords/cif_by_pdb_rules.h"
#include "coords/cif_wide_numbers.h"
#include "coords/pdb_chains.h"
#include "coords/pdb_corrections.h"
#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"
#include "foundation/residue_class.h"

namespace {

// The chain being read.
struct Tail {
  enum class Labels { Unknown, Given, None } labels = Labels::Unknown;
  // Its rows may hold a tail: the file labels its chains, and the chain's
  // first row names no entity.  A label of the file's entity is one
  // molecule, so a HETATM residue under it (a selenomethionine or a cap at
  // the chain's end) is part of it.
  bool open = false;
  int32_t residues = 0;      // residues of the model after its latest row
  int32_t last_polymer = 0;  // its last residue written as ATOM, not a water
};
Tail tail;

// The record kind as the row writes it; a row without one takes that of
// its PDB form.
bool written_hetatm(const coords::CifAuthorRow& row) {
  if (!coords::given_value(row.group_pdb).empty()) return row.group_pdb.substr(0, 4) == "HETA";
  return coords::cif_row_hetatm(row, -1);
}

bool water(int32_t r) { return pdb::is_any_water(resid_inf.res_name(r).trimmed()); }

// The chain type and terminus types as set_atom_ leaves them for a chain of
// residues first..last: the type from the class of its last residue's name
// (before any modification of the file reclassed it), the terminus types
// from its atoms.
void chain_types(int32_t g, int32_t first, int32_t last) {
  int32_t cls = 1, ierr = 0;
  get_ini_res_type_(0, std::string_view(), resid_inf.res_name(last).view(), cls, ierr);
  int32_t type = 2;
  if (last > first) type = cls == 3 ? 3 : cls == 5 ? 5 : cls == 7 ? 7 : 10;
  if (foundation::name_in(resid_inf.res_name(last).view(), foundation::kSolvent)) type = 9;
  asym_part.ich_type(g) = type;
  asym_part.iterm_s_type(g) = 1;
  asym_part.iterm_f_type(g) = 1;
  for (int32_t r = first; r <= last; ++r) {
    const int32_t c = resid_inf.ires_type(r);
    if (c != 3 && c != 4 && c != 5) continue;
    const int32_t a0 = resid_inf.iratm_first(r);
    for (int32_t a = a0; a < a0 + resid_inf.natm_res(r); ++a) {
      const rt::FixedText<4>& name = atom_inf.atm_name(a);
      if (c == 5 && name == "O3T ") asym_part.iterm_s_type(g) = 4;
      if (c != 5 && name == "OXT ") asym_part.iterm_f_type(g) = 2;
    }
  }
}

// The connection of a chain's first residue: none, unless a link row of the
// file ends there with a connection of the vocabulary.
int32_t first_connection(int32_t r) {
  int32_t conn = 1;
  const int32_t n = link_inf.ln_n < MAXLINK ? link_inf.ln_n : MAXLINK;
  for (int32_t l = 1; l <= n; ++l) {
    if (link_inf.ln_2ires(l) != r) continue;
    int32_t c = 1;
    set_iconn_(link_inf.ln_id(l).view(), c);
    if (c > 1 && c <= cif_types.n_conn_type) conn = c;
  }
  return conn;
}

}  // namespace

void coords::make_chain(int32_t g, int32_t first, int32_t last, const rt::FixedText<4>& name) {
  asym_part.i_ncs(g) = 1;
  asym_part.nres_chain(g) = last - first + 1;
  int32_t atoms = 0;
  for (int32_t r = first; r <= last; ++r) {
    atoms += resid_inf.natm_res(r);
    resid_inf.i_chain(r) = g;
    rt::FixedText<12>& key = resid_inf.res_num_pdb(r);
    key(1) = name(1);
    key(2) = name(2);
    for (int i = 1; i <= 4; ++i) key(7 + i) = name(i);
  }
  asym_part.natm_chain(g) = atoms;
  asym_part.iatom_first(g) = resid_inf.iratm_first(first);
  asym_part.ires_first(g) = first;
  asym_part.ires_start_tree(g) = first;
  asym_part.ires_end_tree(g) = last;
  asym_part.ichain_grp(g) = g;
  asym_part.mult_flag(g) = 1;
  asym_part.ncs_flag(g) = ".";
  asym_part.igroup_asm(g) = 0;
  asym_part.group_id(g) = name;
  asym_part.chain_id(g) = name;
  resid_inf.ires_back(first) = -1;
  resid_inf.ires_forw(last) = 0;
  resid_inf.iconn_type(first) = first_connection(first);
  chain_types(g, first, last);

  const int32_t nl = link_inf.ln_n < MAXLINK ? link_inf.ln_n : MAXLINK;
  for (int32_t l = 1; l <= nl; ++l) {
    if (link_inf.ln_1ires(l) >= first && link_inf.ln_1ires(l) <= last) {
      link_inf.ln_1ichn(l) = g;
      link_inf.ln_1chn(l) = name;
    }
    if (link_inf.ln_2ires(l) >= first && link_inf.ln_2ires(l) <= last) {
      link_inf.ln_2ichn(l) = g;
      link_inf.ln_2chn(l) = name;
    }
  }
  const int32_t nm = mod_inf.mod_n < MAXMODIF ? mod_inf.mod_n : MAXMODIF;
  for (int32_t m = 1; m <= nm; ++m) {
    if (mod_inf.mod_ires(m) < first || mod_inf.mod_ires(m) > last) continue;
    mod_inf.mod_ichn(m) = g;
    mod_inf.mod_chn(m) = name;
  }
}

void coords::end_chain_at(int32_t g, int32_t last, int32_t was_last) {
  asym_part.nres_chain(g) = last - asym_part.ires_first(g) + 1;
  for (int32_t r = last + 1; r <= was_last; ++r) asym_part.natm_chain(g) -= resid_inf.natm_res(r);
  asym_part.ires_end_tree(g) = last;
  resid_inf.ires_forw(last) = 0;
  chain_types(g, asym_part.ires_first(g), last);
}

namespace {

// The residues after the last chain's last polymer residue become chains of
// their own: each run of waters one, each other residue one.  `pending` is
// the group of the row about to be stored, whose name a new chain must not
// take.
bool part_tail(int32_t mdoc, const rt::FixedText<4>& pending) {
  const int32_t g = asym_part.n_group;
  const int32_t last = resid_inf.n_residue;
  const int32_t p = tail.last_polymer;
  const bool parts = tail.open && p > 0 && p < last && g >= 1 && g <= MAXCHAIN;
  tail.open = false;
  if (!parts) return true;
  const rt::FixedText<4> group = asym_part.group_id(g);
  coords::end_chain_at(g, p, last);

  for (int32_t first = p + 1; first <= last;) {
    int32_t end = first;
    if (water(first))
      while (end < last && water(end + 1)) ++end;
    if (asym_part.n_group >= MAXCHAIN) {
      foundation::table_full(mdoc, " ERROR: number of chains in asym. part > limit ",
                             {.constant = "MAXCHAIN", .header = "atom_com", .quoted = false});
      coords::explain_chain_limit(mdoc, resid_inf.res_name(first).view(),
                                  resid_inf.res_num_pdb(first).sub(3, 7),
                                  coords::key_chain_name(resid_inf.res_num_pdb(first)));
      return false;
    }
    const char avoid = pending(1) == group(1) ? pending(2) : ' ';
    const rt::FixedText<4> name = coords::further_chain_name(group, avoid);
    coords::make_chain(++asym_part.n_group, first, end, name);
    first = end + 1;
  }
  return true;
}

}  // namespace

void coords::label_tails_start() { tail = Tail{}; }

bool coords::label_tail_row(int32_t mdoc, std::string_view group_old) {
  const CifAuthorRow& row = cif_author_row();
  if (tail.labels == Tail::Labels::Unknown)
    tail.labels = row_labels_chain(row) ? Tail::Labels::Given : Tail::Labels::None;
  if (tail.labels != Tail::Labels::Given || rt::text_eq(crdatm.cr_group.view(), group_old))
    return true;
  if (!part_tail(mdoc, crdatm.cr_group)) return false;
  tail.open = coords::given_value(row.entity).empty();
  tail.residues = resid_inf.n_residue;
  tail.last_polymer = 0;
  return true;
}

void coords::label_tail_stored() {
  if (!tail.open || resid_inf.n_residue == tail.residues) return;
  tail.residues = resid_inf.n_residue;
  const int32_t r = resid_inf.n_residue;
  if (!water(r) && !written_hetatm(cif_author_row())) tail.last_polymer = r;
}

bool coords::label_tails_end(int32_t mdoc) {
  rt::FixedText<4> none;
  none.blank();
  return part_tail(mdoc, none);
}
