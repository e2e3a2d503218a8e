// Chain terminus types: "NH3"/"COO" for peptides, the 5' and 3' ends of
// nucleic acids, a few capping groups, and nothing for an end joined to
// another residue by a polymer link or, for a peptide, by any link at its N
// or C.
#include "coords/chain_termini.h"

#include <string>
#include <vector>

#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"

namespace {

// A row passed over at the chain ends: one marked special, but for a row
// that holds for some conformers of its atoms only (a LINK record naming an
// alternate): those atoms are bonded, and a ring closed in one conformer
// is a ring.
bool passed_over(int l) {
  const link_inf_t& k = link_inf;
  if (k.ln_used(l)(1) != 'S') return false;
  const auto plain = [](const rt::FixedText<1>& a) { return a(1) == '.' || a(1) == ' '; };
  return !link_in_unit(l) || (plain(k.ln_alt1(l)) && plain(k.ln_alt2(l)));
}

bool name3(const rt::FixedText<8>& n, const char* s) { return n.sub(1, 3) == std::string_view(s); }

bool name3_any(const rt::FixedText<8>& n, std::initializer_list<const char*> names) {
  for (const char* s : names)
    if (name3(n, s)) return true;
  return false;
}

// True when link row k inside the asymmetric unit bonds atom `atom` of
// residue r to another residue, whatever the link's name: a peptide end
// bonded on that way is no charged terminus.
bool row_bonds_at(int k, int32_t r, const rt::FixedText<4>& name) {
  const link_inf_t& l = link_inf;
  if (passed_over(k) || l.ln_id(k) == "gap" || l.ln_id(k) == "?") return false;
  if (l.ln_1ires(k) == l.ln_2ires(k) && l.ln_1ichn(k) == l.ln_2ichn(k)) return false;
  return (l.ln_1ires(k) == r && rt::FixedText<4>(l.ln_atom1(k).sub(1, 4)) == name) ||
         (l.ln_2ires(k) == r && rt::FixedText<4>(l.ln_atom2(k).sub(1, 4)) == name);
}

bool bonded_at(int32_t r, std::string_view atom) {
  const rt::FixedText<4> name(atom);
  for (int32_t k = 1; k <= link_inf.ln_n; ++k)
    if (row_bonds_at(k, r, name)) return true;
  return false;
}

std::string_view atom_of(const rt::FixedText<5>& name) { return rt::trim_right(name.view().substr(0, 4)); }

// A link row that bonds residue r's chain atom at this end to another
// residue, whatever the row is named: a residue the library lacks is joined
// to its neighbours by such rows.
bool chain_bond(int l, int32_t r, int32_t chain, bool first_end) {
  const auto& k = link_inf;
  for (int side = 1; side <= 2; ++side) {
    const bool here = side == 1 ? k.ln_1ires(l) == r && k.ln_1ichn(l) == chain
                                : k.ln_2ires(l) == r && k.ln_2ichn(l) == chain;
    if (!here) continue;
    const std::string_view mine = atom_of(side == 1 ? k.ln_atom1(l) : k.ln_atom2(l));
    const std::string_view other = atom_of(side == 1 ? k.ln_atom2(l) : k.ln_atom1(l));
    if (first_end ? chain_bond_atoms(other, mine) : chain_bond_atoms(mine, other)) return true;
  }
  return false;
}

// True when link row l joins this end of residue r to the rest of a
// polymer.
bool row_joins(int l, int32_t r, int32_t chain, bool first_end) {
  if (passed_over(l)) return false;
  if (chain_bond(l, r, chain, first_end)) return true;
  const int32_t cls = resid_inf.ires_type(r);
  const int32_t lr = first_end ? link_inf.ln_2ires(l) : link_inf.ln_1ires(l);
  const int32_t lc = first_end ? link_inf.ln_2ichn(l) : link_inf.ln_1ichn(l);
  if (lr == r && lc == chain) {
    int32_t c = 0;
    set_iconn_(link_inf.ln_id(l), c);
    if ((cls == 3 || cls == 4) &&
        (c == 2 || c == 3 || c == 36 || c == 37 || c == 38 || c == 39))
      return true;
    if ((cls == 5 || cls == 6) && c == 4) return true;
  }
  return (cls == 3 || cls == 4) && row_bonds_at(l, r, rt::FixedText<4>(first_end ? "N" : "C"));
}

// The link rows that name each residue at either end, in table order.  A
// row joins an end of a residue only where it names that residue, so the
// ends of every chain are looked up among their own residues' rows rather
// than in the whole table once per chain (a model of many chains and many
// rows would otherwise take their product).
class RowsByResidue {
 public:
  void build() {
    const int32_t nres = resid_inf.n_residue;
    start_.assign(static_cast<std::size_t>(nres) + 2, 0);
    const auto each_residue = [&](int l, auto&& take) {
      const int32_t r1 = link_inf.ln_1ires(l), r2 = link_inf.ln_2ires(l);
      if (r1 >= 1 && r1 <= nres) take(r1);
      if (r2 >= 1 && r2 <= nres && r2 != r1) take(r2);
    };
    for (int l = 1; l <= link_inf.ln_n; ++l)
      each_residue(l, [&](int32_t r) { ++start_[static_cast<std::size_t>(r) + 1]; });
    for (std::size_t r = 1; r < start_.size(); ++r) start_[r] += start_[r - 1];
    rows_.resize(static_cast<std::size_t>(start_.back()));
    std::vector<int> fill(start_.begin(), start_.end() - 1);
    for (int l = 1; l <= link_inf.ln_n; ++l)
      each_residue(l, [&](int32_t r) {
        rows_[static_cast<std::size_t>(fill[static_cast<std::size_t>(r)]++)] = l;
      });
  }
  // Calls row(l) for each row naming residue r until it returns true.
  template <typename Row>
  bool any(int32_t r, Row row) const {
    if (r < 1 || static_cast<std::size_t>(r) + 1 >= start_.size()) return false;
    for (int k = start_[static_cast<std::size_t>(r)]; k < start_[static_cast<std::size_t>(r) + 1];
         ++k)
      if (row(rows_[static_cast<std::size_t>(k)])) return true;
    return false;
  }

 private:
  std::vector<int> start_;  // rows of residue r: rows_[start_[r] .. start_[r+1]-1]
  std::vector<int> rows_;
};

bool joined(const RowsByResidue& rows, int32_t r, int32_t chain, bool first_end) {
  return rows.any(r, [&](int l) { return row_joins(l, r, chain, first_end); });
}

// A ring: one link row joins the chain's first residue at its start to its
// last residue at its end.  A piece the reader set apart (a modified
// residue written as HETATM) is joined at both ends too, but to the
// residues either side of it.
bool ends_joined_to_each_other(const RowsByResidue& rows, int32_t rs, int32_t re, int32_t chain) {
  return rows.any(
      rs, [&](int l) { return row_joins(l, rs, chain, true) && row_joins(l, re, chain, false); });
}

// GROMOS ends a peptide chain with its carboxyl oxygens named O1 and O2.
// Where the last residue of a chain has both, each bonded to its C, and
// neither O nor OXT, they take the library's names O and OXT, so that the
// residue stays the library's monomer with its terminal group, whichever
// form of the file it comes from; O1 and O2 of any other residue name other
// atoms and stay.  Atoms first .. first + n - 1 are the residue's.
bool name_carboxyl_oxygens(int32_t mdoc, int32_t r, int32_t g, int32_t first, int32_t n) {
  int32_t c = 0;
  bool o1 = false, o2 = false;
  for (int a = first; a < first + n && a <= atom_inf.n_atom; ++a) {
    const rt::FixedText<4>& an = atom_inf.atm_name(a);
    if (an == std::string_view("O") || an == std::string_view("OXT")) return false;
    if (an == std::string_view("C") && c == 0) c = a;
    o1 = o1 || an == std::string_view("O1");
    o2 = o2 || an == std::string_view("O2");
  }
  if (c == 0 || !o1 || !o2) return false;
  const auto bonded_to_c = [&](int a) {
    float d2 = 0.0f;
    for (int i = 1; i <= 3; ++i) {
      const float d = atom_crd.xyz_crd(i, a) - atom_crd.xyz_crd(i, c);
      d2 += d * d;
    }
    return d2 < 1.7f * 1.7f;
  };
  for (int a = first; a < first + n && a <= atom_inf.n_atom; ++a) {
    const rt::FixedText<4>& an = atom_inf.atm_name(a);
    if ((an == std::string_view("O1") || an == std::string_view("O2")) && !bonded_to_c(a)) return false;
  }
  for (int a = first; a < first + n && a <= atom_inf.n_atom; ++a) {
    rt::FixedText<4>& an = atom_inf.atm_name(a);
    if (an == std::string_view("O1"))
      an = "O";
    else if (an == std::string_view("O2"))
      an = "OXT";
  }
  msgdoc_(mdoc, " WARNING : residue " + std::string(resid_inf.res_name(r).trimmed()) + " " +
                    std::string(rt::trim_right(resid_inf.res_num_pdb(r).sub(3, 7))) + " chain " +
                    std::string(asym_part.group_id(g).trimmed()) +
                    ": terminal oxygens O1 and O2 read as O and OXT");
  return true;
}

}  // namespace

bool chain_end_bonded(int32_t r, int32_t chain, bool first_end) {
  for (int l = 1; l <= link_inf.ln_n; ++l)
    if (!passed_over(l) && chain_bond(l, r, chain, first_end)) return true;
  if (first_end) return bonded_at(r, "N") || bonded_at(r, "P");
  return bonded_at(r, "C") || bonded_at(r, "O3'") || bonded_at(r, "O3*");
}

bool chain_bond_atoms(std::string_view up, std::string_view down) {
  return (up == "C" && down == "N") || ((up == "O3'" || up == "O3*") && down == "P");
}

namespace {

// The terminus types of the chains g whose chosen[g - 1] is set, of every
// chain when chosen is null; ierr 1 after the error line of a broken
// residue tree.
void set_termini(int32_t mdoc, const std::vector<char>* chosen, int32_t& ierr) {
  RowsByResidue rows;
  rows.build();
  for (int g = 1; g <= asym_part.n_group; ++g) {
    if (chosen != nullptr && (g > static_cast<int>(chosen->size()) || !(*chosen)[g - 1])) continue;
    const int32_t rs = asym_part.ires_start_tree(g);
    const int32_t re = asym_part.ires_end_tree(g);
    int32_t atom = asym_part.iatom_first(g);
    bool p_first = false, oxt_last = false, pt_last = false;
    int32_t last_first = 0;  // the first atom of the last residue
    int32_t r = rs;
    for (;;) {
      if (r < 1 || r > resid_inf.n_residue) {
        msgerr_(mdoc, " ERROR: wrong tree structure .....");
        ierr = 1;
        return;
      }
      const int32_t n = resid_inf.natm_res(r);
      if (r == re) last_first = atom;
      for (int a = atom; a < atom + n && a <= atom_inf.n_atom; ++a) {
        const char t = atom_inf.atm_type(a)(1);
        if (t == 'U' || t == 'D') continue;
        const rt::FixedText<4>& an = atom_inf.atm_name(a);
        if (r == rs && an == std::string_view("P")) p_first = true;
        if (r == re && an == std::string_view("OXT")) oxt_last = true;
        if (r == re && an == std::string_view("PT")) pt_last = true;
      }
      atom += n;
      if (r == re) break;
      r = resid_inf.ires_forw(r);
    }

    const int32_t chain = asym_part.ichain_grp(g);
    int joined_ends = 0;
    if (joined(rows, rs, chain, true)) {
      ++joined_ends;
    } else {
      const int32_t c = resid_inf.ires_type(rs);
      const rt::FixedText<8>& name = resid_inf.res_name(rs);
      if (c == 3 || c == 4) {
        asym_part.iterm_s_type(g) = name3(name, "ILG") ? 1 : 2;
      } else if (c == 10) {
        if (name3(name, "FOR")) asym_part.iterm_s_type(g) = 3;
        else if (name3(name, "BAL")) asym_part.iterm_s_type(g) = 2;
      } else if (c == 5 || c == 6) {
        asym_part.iterm_s_type(g) = p_first ? 4 : 5;
      }
    }
    if (joined(rows, re, chain, false)) {
      ++joined_ends;
    } else {
      const int32_t c = resid_inf.ires_type(re);
      const rt::FixedText<8>& name = resid_inf.res_name(re);
      if ((c == 3 || c == 4) && !oxt_last)
        oxt_last = name_carboxyl_oxygens(mdoc, re, g, last_first, resid_inf.natm_res(re));
      if (c == 3 || c == 4) {
        if (name3_any(name, {"BLE", "B1F", "B2F", "B2A", "B2I", "B2V", "BLY", "ILG"}))
          asym_part.iterm_f_type(g) = 1;
        else
          asym_part.iterm_f_type(g) = oxt_last ? 2 : 1;
      } else if (c == 10) {
        if (name3(name, "FOR")) asym_part.iterm_f_type(g) = 3;
        else if (name3(name, "BAL") && oxt_last) asym_part.iterm_f_type(g) = 2;
        else if (name3_any(name, {"DFO", "STA"})) asym_part.iterm_f_type(g) = 8;
      } else if (c == 5 || c == 6) {
        asym_part.iterm_f_type(g) = pt_last ? 4 : 5;
      }
    }
    if (joined_ends == 2 && ends_joined_to_each_other(rows, rs, re, chain))
      msgdoc_(mdoc, std::string(" WARNING : chain ") + std::string(asym_part.group_id(g).view()) +
                        " is cyclic ?");
  }
}

}  // namespace

void set_mod_(int32_t mdoc, int32_t& ierr) {
  ierr = 0;
  if (asym_part.n_group < 1 || atom_inf.n_atom < 1) {
    msgerr_(mdoc, "ERROR: in \"SET_MOD\", N_GROUP or N_ATOM = 0");
    ierr = 1;
    return;
  }
  set_termini(mdoc, nullptr, ierr);
}

void coords::set_chain_termini(int32_t mdoc, const std::vector<char>& chains) {
  if (asym_part.n_group < 1 || atom_inf.n_atom < 1) return;
  int32_t ierr = 0;
  set_termini(mdoc, &chains, ierr);
}
