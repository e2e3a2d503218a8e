// The identification driver.  One residue at a time goes through the work
// areas: its name against the library, its atoms into C1 and (for a monomer
// the library lacks) L1, the comparison of names, the global search, the
// builder, and then the names, elements and scattering types written back
// into the model.  Each residue overwrites the work areas: every copy into
// them resets their counts and sets each atom it fills, so two new monomers
// of one model never share state.
#include "identify/pre_descr.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "builder/chiral_centres.h"
#include "builder/creat_new.h"
#include "builder/valency.h"
#include "coords/chain_termini.h"
#include "coords/pdb_corrections.h"
#include "dictionary/descr_precheck.h"
#include "dictionary/element_table.h"
#include "dictionary/lib_com.h"
#include "dictionary/libcom.h"
#include "dictionary/link_lookup.h"
#include "dictionary/modif.h"
#include "dictionary/new_entries.h"
#include "dictionary/res_class_detect.h"
#include "dictionary/work_copies.h"
#include "foundation/atom_com.h"
#include "foundation/atom_names.h"
#include "foundation/cif_vocab.h"
#include "foundation/hooks.h"
#include "foundation/lookup_index.h"
#include "foundation/messages.h"
#include "foundation/residue_class.h"
#include "foundation/words.h"
#include "identify/coord_bonds.h"
#include "identify/global_search.h"
#include "identify/info_trace.h"
#include "identify/lib_lookup.h"
#include "identify/lput_new.h"
#include "identify/model_mods.h"
#include "identify/model_tables.h"
#include "identify/monomer_list.h"
#include "identify/name_compare.h"
#include "identify/synonyms.h"
#include "identify/work_residue.h"
#include "runtime/format.h"

namespace {

using Code = rt::FixedText<8>;
using Name = rt::FixedText<4>;
using Flag = rt::FixedText<1>;

constexpr int kConnGap = 10;
constexpr int kConnPcis = 37;
constexpr int kConnNmcis = 39;

// The state of the residue being identified.
struct Residue {
  int32_t ig = 0, ir = 0, ias = 0, iaf = 0;
  rt::FixedText<12> ch12;
  rt::FixedText<5> res;
  rt::FixedText<4> chain;
  Code mon, mon_old, mon_new, amon, mod;
  Flag new_flag, mod_flg;
  int32_t rename_row = 0;  // the residue's RENAME row of mod_inf, 0 none
  int32_t nmon_crt_new = 0;
};

// The run state the steps share.
struct Run {
  int32_t mdoc = 0, md = 0, m = 99;
  char list = ' ', check = ' ';
  char coor = ' ', srch = ' ';  // the builder's and the global search's switches
  std::string_view name;        // handed to the builder
  int32_t nmuse = 0;
  rt::FixedText<16> type;
  Flag summary;
};

bool one_of(int v, std::initializer_list<int> set) {
  for (int s : set)
    if (v == s) return true;
  return false;
}

// The first residue type whose leading characters are the used part of the
// monomer's type in L1; else the first whose short type is that text (the
// library calls glycine's group plain "peptide", which begins no full type:
// taken as no type, every glycine would break its chain); 0 when none.
int type_index(std::string_view monomer_type) {
  const std::string_view t = rt::trim_right(monomer_type);
  if (t.empty()) return 0;
  for (int k = 1; k <= cif_types.n_res_type; ++k)
    if (cif_types.res_type(k).view().substr(0, t.size()) == t) return k;
  for (int k = 1; k <= cif_types.n_res_type; ++k)
    if (cif_types.res_ltype(k) == t) return k;
  return 0;
}

int type_of_l1() { return type_index(r_scratch.l1l_type.view()); }

// A residue of type it (a peptide, nucleotide or other polymer member by its
// name) takes the more particular type its monomer's library type gives
// (monomer_type: "D-peptide", "RNA" ...), where there is one.
int32_t refined_type(int32_t it, std::string_view monomer_type) {
  if (!one_of(it, {3, 5, 7, 8})) return it;
  const int itt = type_index(monomer_type);
  return one_of(itt, {4, 6, 7, 8}) ? itt : it;
}

// The residue type of a monomer (1 when unknown); the look-up's status is
// not examined.
int32_t res_type_of(std::string_view mon) {
  int32_t it = 1, ierr = 0;
  get_ini_res_type_(0, "", mon, it, ierr);
  return it;
}

bool compared(char check, int32_t itt) { return check == 'Y' || (check == 'N' && !(itt >= 3 && itt <= 10)); }

int32_t find_rename(const Residue& r, bool by_new_name, const Code& name) {
  return identify::model_mods().first_row(r.ig, r.ir, [&](int32_t row) {
    if (!(mod_inf.mod_id(row) == "RENAME")) return false;
    return by_new_name ? mod_inf.mod_rnam_new(row) == name : mod_inf.mod_rnam(row) == name;
  });
}

// A RENAME row for the residue's new name mon; false after a failed entry.
bool add_rename(const Run& run, Residue& r, int32_t& ierr) {
  Code mon = r.mon;
  put_m_tabl_(run.mdoc, "RENAME", r.ig, r.ir, 0, mon, "N", ierr);
  if (ierr != 0) return false;
  r.rename_row = find_rename(r, false, r.mon);
  r.mod_flg = r.rename_row != 0 ? "Y" : "N";
  resid_inf.mod_flag(r.ir) = r.mod_flg;
  return true;
}

void rename_lines(const Run& run, const Residue& r) {
  msgdoc_(run.mdoc, " WARNING : residue: " + r.mon.str() + " " + r.res.str() + " chain:" + r.chain.str() + " - rename");
  msgdoc_(run.mdoc, "          \"" + r.mon.str() + "\" --> \"" + r.mon_new.str() + "\" ");
}

// The residue's record of a name change to mon_new, with the two lines.
bool rename_residue(const Run& run, Residue& r, int32_t& ierr) {
  if (r.mon_new == r.mon || r.mon_new(1) == ' ') return true;
  Code mon_new = r.mon_new;
  // A residue renamed before (a nucleotide given its deoxy or ribo name)
  // has its RENAME row already, which the table keeps one of a residue:
  // that row names the monomer found now, or the later stages would look
  // the residue up under a name the library lacks.
  if (const int32_t row = find_rename(r, true, resid_inf.res_name(r.ir)); row != 0) {
    mod_inf.mod_rnam(row) = mon_new;
  } else {
    put_m_tabl_(run.m, "RENAME", r.ig, r.ir, r.ias, mon_new, "N", ierr);
    if (ierr != 0) return false;
  }
  rename_lines(run, r);
  const int it = type_of_l1();
  r.mon = r.mon_new;
  resid_inf.ires_type(r.ir) = it == 0 ? 1 : it;
  return true;
}

// The library names that C2 gives the residue's atoms: recorded as synonyms
// of mon_new, carried into the link table and written to the model's atoms.
// Each atom takes the name paired with its name before the pass, so names
// that trade places come out right.  The statuses of the synonym list and
// of the link table are not examined.
void rename_atoms(const Run& run, const Residue& r) {
  r_scratch_t& s = r_scratch;
  int32_t ifirst = 0, ierr = 0;
  Flag dnew;
  bool any = false;
  for (int k = 1; k <= s.c1_natom; ++k) {
    if (s.c2_aname(k) == s.c1_aname(k)) continue;
    any = true;
    put_synonym_to_list_(run.mdoc, r.mon_new, ifirst, r.res, r.chain, s.c1_aname(k), s.c2_aname(k), dnew, ierr);
    change_atom_in_link_tab_(run.mdoc, r.ig, r.ir, s.c1_aname(k), s.c2_aname(k), ierr);
  }
  if (!any) return;
  for (int32_t ia = r.ias; ia <= r.iaf; ++ia)
    for (int k = 1; k <= s.c1_natom; ++k)
      if (atom_inf.atm_name(ia) == s.c1_aname(k) && !(s.c2_aname(k) == s.c1_aname(k))) {
        atom_inf.atm_name(ia) = s.c2_aname(k);
        break;
      }
}

// The name of a nucleotide of type it (5 DNA, 6 RNA) with its second
// character telling deoxy ("d") from ribo ("r"), and its type: a DNA residue
// with an atom that the synonyms (amon, mod as the look-up left them) make
// "O2*" is RNA.  A name from the input's RENAME row (from_row) keeps a
// thymine's second character as RNA.  Reads only.
struct Nucleic {
  Code name;
  int32_t type = 0;
};

Nucleic nucleic_name(Code name, int32_t it, bool from_row, int32_t ias, int32_t iaf,
                     const Code& amon, const Code& mod) {
  if (it == 6) {
    const bool thymine = name(1) == 'T' || (name(1) == '+' && name(2) == 'T');
    if ((name(2) == 'd' || name(2) == ' ') && !(from_row && thymine)) name(2) = 'r';
    return {name, it};
  }
  if ((name(2) == 'r' || name(2) == ' ') && name(1) != 'U') name(2) = 'd';
  for (int32_t ia = ias; ia <= iaf; ++ia) {
    Name aname = atom_inf.atm_name(ia), alt;
    check_aname_(name, amon, mod, aname, alt);
    if (aname == "O2*") {
      if (name(2) == 'd') name(2) = 'r';
      return {name, 6};
    }
  }
  return {name, it};
}

void store_name(const Residue& r) {
  if (r.mod_flg == "N")
    resid_inf.res_name(r.ir) = r.mon;
  else if (r.rename_row != 0)
    mod_inf.mod_rnam(r.rename_row) = r.mon;
}

// Every pair of atoms with one name and one alternate code; false when any.
bool no_duplicates(const Run& run, const Residue& r) {
  bool clean = true;
  for (int32_t ia = r.ias; ia <= r.iaf; ++ia)
    for (int32_t ja = ia + 1; ja <= r.iaf; ++ja) {
      if (!(atom_inf.atm_name(ia) == atom_inf.atm_name(ja)) || !(atom_inf.id_alt(ia) == atom_inf.id_alt(ja)))
        continue;
      msgerr_(run.mdoc, " ERROR : " + r.mon.str() + " : duplicated atom_name : \"" + atom_inf.atm_name(ia).str() + "\".");
      msgerr_(run.mdoc, "         chain: " + r.chain.str() + " residue: " + r.res.str());
      clean = false;
    }
  return clean;
}

// The residue's atoms into C1 (and L1 for a new or minimal description).
bool copy_atoms(const Run& run, const Residue& r, int32_t itt, int32_t& ierr) {
  r_scratch_t& s = r_scratch;
  Flag alt_for_copy;
  // The choice of alternate cannot fail: its status is not examined.
  get_alt_for_copy_(run.mdoc, r.ias, r.iaf, alt_for_copy, ierr);
  ierr = 0;
  s.c1_natom = 0;
  for (int32_t ia = r.ias; ia <= r.iaf; ++ia) {
    const int sf = atom_inf.id_sf(ia);
    const Name asymb = sf >= 1 && sf <= MAXNSF ? crst_crd.cs_atype(sf) : Name("?");
    Name ctype;
    set_ctype_(asymb, ctype);
    crdatm.cr_aname = atom_inf.atm_name(ia);
    crdatm.cr_aname_inp = atom_inf.atm_name_inp(ia);
    crdatm.cr_atype = std::string_view(&ctype(1), 1);
    crdatm.cr_alt = atom_inf.id_alt(ia);
    crdatm.cr_corr = atom_inf.id_corr(ia);
    crdstr.st_chem = atom_inf.atm_chem(ia);
    if (atom_inf.atm_type(ia) == "D" || atom_inf.atm_type(ia) == "U") continue;
    crdatm.cr_sf_id = sf;
    for (int d = 1; d <= 3; ++d) crdatm.cr_xyz(d) = atom_crd.xyz_crd(d, ia);
    crdatm.cr_occ = atom_crd.occup(ia);
    crdatm.cr_asymb = asymb;
    lput_new_(run.mdoc, run.list, alt_for_copy, itt, ierr);
    if (ierr != 0) return false;
  }
  if (s.c1_natom > 0) {
    copyc2_(run.mdoc, ierr);
    if (ierr != 0) return false;
  }
  return true;
}

// The symbol of the scattering type of atom ia that the dictionary's element
// is looked up under; cr_asymb the dictionary's symbol.
Name symbol_to_look_up(const Run& run, const Residue& r, int32_t ia, int l) {
  const r_scratch_t& s = r_scratch;
  Name look = s.l1a_symb(l);
  const int sf = atom_inf.id_sf(ia);
  if (sf < 1 || sf > MAXNSF || crst_crd.cs_element(sf)(1) == '?') return look;
  Name el_d = s.l1a_symb(l);
  Name el_f = crst_crd.cs_element(sf);
  const Name& at = crst_crd.cs_atype(sf);
  const int lat = at.len_trim();
  auto sign = [](char c) { return c == '+' || c == '-'; };
  if ((lat >= 3 && sign(at(2))) || (lat >= 4 && sign(at(3)))) el_f = at;
  look = el_f;
  cut_el_name_(el_d);
  cut_el_name_(el_f);
  if (!(el_d == el_f)) {
    msgerr_(run.mdoc, " WARNING : residue: " + r.mon.str() + " " + r.res.str() + " chain:" + r.chain.str());
    msgerr_(run.mdoc, "           different element name: file:\"" + el_f.str() + "\"  dict:\"" + el_d.str() + "\"");
    look = s.l1a_symb(l);
  }
  return look;
}

// Chemical types and scattering types of the residue's atoms from L1; false,
// with ierr 1, when the scattering-type table is full.
bool set_elements(const Run& run, const Residue& r, int32_t& ierr) {
  const r_scratch_t& s = r_scratch;
  crst_crd_t& c = crst_crd;
  for (int l = 1; l <= s.l1a_natom; ++l) {
    for (int32_t ia = r.ias; ia <= r.iaf; ++ia) {
      if (!(atom_inf.atm_name(ia) == s.l1a_aname(l))) continue;
      atom_inf.atm_chem(ia) = s.l1a_chem(l);
      crdatm.cr_asymb = s.l1a_symb(l);
      const Name look = symbol_to_look_up(run, r, ia, l);
      char cls = ' ';
      chksmb_(crdatm.cr_asymb(2), cls);
      if (cls == 'D' || cls == 'S') crdatm.cr_asymb(2) = ' ';
      crdatm.cr_asymb(3) = ' ';
      crdatm.cr_asymb(4) = ' ';
      int k = 1;
      while (k <= c.cs_nsfatm && !(c.cs_element(k) == look)) ++k;
      if (k > c.cs_nsfatm) {
        if (c.cs_nsfatm >= MAXNSF) {
          msgerr_(run.mdoc, " ERROR: number of atomic scattering or chemical types > limit.");
          msgerr_(run.mdoc, "        change parameter MAXNSF in atom_com.fh");
          ierr = 1;
          return false;
        }
        k = ++c.cs_nsfatm;
        c.cs_element(k) = look;
        c.cs_atype(k) = crdatm.cr_asymb;
      }
      atom_inf.id_sf(ia) = k;
    }
  }
  return true;
}

// Heavy atoms of residue ir that have coordinates (a file this system wrote
// keeps missing atoms as rows without them).
int heavy_atoms(int32_t ir) {
  int n = 0;
  const int32_t first = resid_inf.iratm_first(ir);
  for (int32_t ia = first; ia < first + resid_inf.natm_res(ir); ++ia) {
    const char t = atom_inf.atm_type(ia)(1);
    if (t == 'M' || t == 'U' || t == 'D' || atom_crd.occup(ia) <= 0.0001f) continue;
    const int sf = atom_inf.id_sf(ia);
    const Name el = sf >= 1 && sf <= MAXNSF ? crst_crd.cs_atype(sf) : Name("?");
    if (!(el == "H") && !(el == "D")) ++n;
  }
  return n;
}

// The name identification gives residue ir of chain ig by its first steps
// (the input's RENAME row, the library's synonyms, the deoxy or ribo name of
// a nucleotide), and whether the library lists that name.  Reads only: the
// steps themselves come later, residue by residue.
Code name_to_have(int32_t ig, int32_t ir, bool& listed) {
  Code mon = resid_inf.res_name(ir);
  const int32_t row = identify::model_mods().first_row(ig, ir, [&](int32_t k) {
    return mod_inf.mod_id(k) == "RENAME" && mod_inf.mod_rnam_new(k) == mon;
  });
  if (row != 0) mon = mod_inf.mod_rnam(row);
  Code amon, mod;
  rt::FixedText<16> type;
  listed = identify::in_library(mon, amon, mod, type);
  const int32_t it = refined_type(
      resid_inf.ires_type(ir) < 3 ? res_type_of(mon) : resid_inf.ires_type(ir), type.view());
  if (it != 5 && it != 6) return mon;
  const int32_t ias = resid_inf.iratm_first(ir);
  const int32_t iaf = ias + resid_inf.natm_res(ir) - 1;
  Code renamed = nucleic_name(mon, it, row != 0, ias, iaf, amon, mod).name;
  if (renamed == mon) return mon;
  listed = identify::in_library(renamed, amon, mod, type);
  return renamed;
}

// Per residue, the name identification will give it (name_to_have), as the
// order of identification found it.
std::vector<Code>& names_to_have() {
  static std::vector<Code> names;
  return names;
}

// The residues (chain, residue) in the order they are identified: the
// model's order, except that a monomer the library lacks is built from its
// instance with the most heavy atoms, which is taken just before the first
// instance.  A description built from a chain-end instance would lack the
// atoms that bond the others to their neighbours (a 5' nucleotide has no
// phosphate), and every later instance would carry those atoms as unknown.
// Instances are grouped, and the library asked, by the name each residue
// will have: a one-letter nucleotide the library holds may be renamed to
// its deoxy or ribo form, which it lacks.
const std::vector<std::pair<int32_t, int32_t>>& identification_order() {
  static std::vector<std::pair<int32_t, int32_t>> order;
  static foundation::LookupIndex<8, MAXRESID> by_name;
  order.clear();
  by_name.clear();
  std::vector<Code>& names = names_to_have();
  names.assign(resid_inf.n_residue + 1, Code());
  std::vector<std::pair<int32_t, int32_t>> best_of;  // per name: the fullest instance so far
  std::vector<int32_t> first_of;
  std::vector<char> lacking;  // per name: the library lacks it
  for (int32_t ig = 1; ig <= asym_part.n_group; ++ig) {
    const int32_t first = asym_part.ires_first(ig);
    for (int32_t ir = first; ir < first + asym_part.nres_chain(ig); ++ir) {
      order.emplace_back(ig, ir);
      if (foundation::name_in(resid_inf.res_name(ir).view(), foundation::kSolvent)) continue;
      bool listed = false;
      names[ir] = name_to_have(ig, ir, listed);
      const int32_t k = by_name.first(names[ir].view());
      if (k < 1) {
        by_name.add(names[ir].view(), static_cast<int32_t>(first_of.size()) + 1);
        first_of.push_back(ir);
        best_of.emplace_back(ig, ir);
        lacking.push_back(listed ? 0 : 1);
      } else if (heavy_atoms(ir) > heavy_atoms(best_of[k - 1].second)) {
        best_of[k - 1] = {ig, ir};
      }
    }
  }
  bool moved = false;
  // The residue to take before each one, and the residues so taken.
  std::vector<std::pair<int32_t, int32_t>> ahead(resid_inf.n_residue + 1, {0, 0});
  std::vector<char> taken(resid_inf.n_residue + 1, 0);
  for (std::size_t k = 0; k < first_of.size(); ++k) {
    if (best_of[k].second == first_of[k] || !lacking[k]) continue;
    ahead[first_of[k]] = best_of[k];
    taken[best_of[k].second] = 1;
    moved = true;
  }
  if (!moved) return order;
  std::vector<std::pair<int32_t, int32_t>> plain;
  plain.swap(order);
  for (const auto& [ig, ir] : plain) {
    if (taken[ir]) continue;
    if (ahead[ir].second > 0) order.push_back(ahead[ir]);
    order.emplace_back(ig, ir);
  }
  return order;
}

// The placed atoms of the model by cubic cells one polymer bond limit wide,
// so that the partners of a chain atom are found wherever their residue
// stands in the file (a sorting program moves HETATM residues to its end).
// Built once a run: identification renames atoms but moves none.
class AtomCells {
 public:
  void build() {
    // The longest peptide or phosphodiester bond that still bonds.
    edge_ = std::max(dictionary::polymer_bond_limit("C", "N"),
                     dictionary::polymer_bond_limit("O3'", "P"));
    cells_.clear();
    cells_.reserve(static_cast<std::size_t>(atom_inf.n_atom));
    for (int32_t ia = 1; ia <= atom_inf.n_atom; ++ia) {
      if (atom_crd.occup(ia) < 0.0001f) continue;
      cells_.push_back({key(cell_of(ia, 1), cell_of(ia, 2), cell_of(ia, 3)), ia});
    }
    std::sort(cells_.begin(), cells_.end());
  }
  // Calls f(ja) for every placed atom in the cell of atom ia and the 26
  // around it.
  template <typename F>
  void near(int32_t ia, F f) const {
    const int64_t c[3] = {cell_of(ia, 1), cell_of(ia, 2), cell_of(ia, 3)};
    for (int64_t dz = -1; dz <= 1; ++dz)
      for (int64_t dy = -1; dy <= 1; ++dy)
        for (int64_t dx = -1; dx <= 1; ++dx) {
          const uint64_t k = key(c[0] + dx, c[1] + dy, c[2] + dz);
          auto it = std::lower_bound(cells_.begin(), cells_.end(), std::pair<uint64_t, int32_t>{k, 0});
          for (; it != cells_.end() && it->first == k; ++it) f(it->second);
        }
  }

 private:
  int64_t cell_of(int32_t ia, int axis) const {
    const double v = std::floor(static_cast<double>(atom_crd.xyz_crd(axis, ia)) / edge_);
    // Far-flung or unset coordinates stay integers of 21 bits.
    return static_cast<int64_t>(std::clamp(v, -1.0e6, 1.0e6));
  }
  static uint64_t key(int64_t x, int64_t y, int64_t z) {
    constexpr int64_t kBias = 1 << 20;
    return static_cast<uint64_t>(x + kBias) << 42 | static_cast<uint64_t>(y + kBias) << 21 |
           static_cast<uint64_t>(z + kBias);
  }
  float edge_ = 2.1f;
  std::vector<std::pair<uint64_t, int32_t>> cells_;
};
AtomCells g_atom_cells;

// Residue ir's chain atoms (C and N, O3' and P) that bond another residue
// of the model, whatever their places in the file, within the chain's
// break limit (1.3 times the ideal peptide or phosphodiester bond), added
// to out once each.
void chain_bonded_atoms(int32_t ir, std::vector<Name>& out) {
  const int32_t ias = resid_inf.iratm_first(ir);
  for (int32_t ia = ias; ia < ias + resid_inf.natm_res(ir); ++ia) {
    if (atom_crd.occup(ia) < 0.0001f) continue;
    const std::string_view a = atom_inf.atm_name(ia).trimmed();
    if (!(chain_bond_atoms(a, "N") || chain_bond_atoms(a, "P") || chain_bond_atoms("C", a) ||
          chain_bond_atoms("O3'", a)))
      continue;
    bool bonded = false;
    g_atom_cells.near(ia, [&](int32_t ja) {
      if (bonded || atom_inf.i_resid(ja) == ir) return;
      const std::string_view b = atom_inf.atm_name(ja).trimmed();
      // ir's atom up the chain from ja's, or down from it.
      float limit = chain_bond_atoms(a, b) ? dictionary::polymer_bond_limit(a, b) : 0.0f;
      if (limit == 0.0f && chain_bond_atoms(b, a)) limit = dictionary::polymer_bond_limit(b, a);
      if (limit == 0.0f) return;
      float d2 = 0.0f;
      for (int k = 1; k <= 3; ++k) {
        const float dk = atom_crd.xyz_crd(k, ia) - atom_crd.xyz_crd(k, ja);
        d2 += dk * dk;
      }
      bonded = d2 <= limit * limit;
    });
    if (!bonded) continue;
    bool known = false;
    for (const Name& n : out) known = known || n == atom_inf.atm_name(ia);
    if (!known) out.push_back(atom_inf.atm_name(ia));
  }
}

// The residues that are instances of the monomer of residue ir, in the
// model's order.  Instances are known by the name identification gives
// them, which the residues not yet identified do not carry.  A residue
// whose name the library lists is built only because its atoms do not fit
// that monomer (terminal oxygens under other names, say): the other
// residues of the name are the library's, and their bonds and hands would
// make the description depend on the name, not on this residue, so that a
// run on the written model, where the residue carries the new monomer's
// name, built it otherwise.
std::vector<int32_t> instances_of(int32_t ir) {
  std::vector<int32_t> out;
  const std::vector<Code>& names = names_to_have();
  const auto name_of = [&](int32_t k) {
    const bool known = k < static_cast<int32_t>(names.size()) && !names[k].is_blank();
    return known ? names[k] : resid_inf.res_name(k);
  };
  const Code mon = name_of(ir);
  Code listed = mon, amon, mod;
  rt::FixedText<16> type;
  if (identify::in_library(listed, amon, mod, type)) return {ir};
  for (int32_t jr = 1; jr <= resid_inf.n_residue; ++jr)
    if (name_of(jr) == mon) out.push_back(jr);
  return out;
}

// The chain atoms that bond a neighbour in any instance of the monomer:
// one description serves the chain ends and the middle alike.
std::vector<Name> chain_bonded_atoms_of(const std::vector<int32_t>& instances) {
  std::vector<Name> out;
  for (const int32_t jr : instances) chain_bonded_atoms(jr, out);
  return out;
}

// The atoms with coordinates of every instance of the monomer, for the
// hands of its chiral centres.
builder::MonomerCopies copies_of(const std::vector<int32_t>& instances) {
  builder::MonomerCopies c;
  for (const int32_t jr : instances) {
    const rt::FixedText<12>& key = resid_inf.res_num_pdb(jr);
    c.label.push_back("residue " + std::string(rt::trim(key.sub(3, 7))) + " chain " +
                      std::string(rt::trim(key.sub(8, 11))));
    c.first.push_back(static_cast<int32_t>(c.atoms.size()));
    const int32_t ias = resid_inf.iratm_first(jr);
    for (int32_t ia = ias; ia < ias + resid_inf.natm_res(jr); ++ia) {
      const char t = atom_inf.atm_type(ia)(1);
      if (t == 'M' || t == 'U' || t == 'D' || atom_crd.occup(ia) < 0.0001f) continue;
      c.atoms.push_back({atom_inf.atm_name(ia), atom_crd.xyz_crd(1, ia), atom_crd.xyz_crd(2, ia),
                         atom_crd.xyz_crd(3, ia)});
    }
  }
  c.first.push_back(static_cast<int32_t>(c.atoms.size()));
  return c;
}

// The terminal groups of peptides and nucleic acids belong to residues of
// those kinds: a chain end that identification left as another kind (a
// residue the library lacks, described from its own atoms) takes none, nor
// does such a residue taken into a peptide for the bonds to its neighbours
// or kept a nucleotide for its name (`built_polymers`, in residue order): the
// builder gives a free end the hydrogens it has, and its own atom tree is not
// the library's backbone tree that the terminal modifications edit.
void no_termini_off_polymers(const std::vector<int32_t>& built_polymers) {
  auto polymer = [&](int32_t ir) {
    if (ir < 1 || ir > resid_inf.n_residue) return true;
    if (std::binary_search(built_polymers.begin(), built_polymers.end(), ir)) return false;
    return pdb::is_polymer_class(resid_inf.ires_type(ir));
  };
  // The start groups NH3 .. NH3-COO, the end groups COO .. NH3-COO and
  // CM-COO; any other code (none, the bare terminus) stays.
  auto group = [](int32_t t, bool end) { return (t >= 2 && t <= 6) || (end && t == 8); };
  for (int32_t ig = 1; ig <= asym_part.n_group; ++ig) {
    if (!polymer(asym_part.ires_start_tree(ig)) && group(asym_part.iterm_s_type(ig), false))
      asym_part.iterm_s_type(ig) = 1;
    if (!polymer(asym_part.ires_end_tree(ig)) && group(asym_part.iterm_f_type(ig), true))
      asym_part.iterm_f_type(ig) = 1;
  }
}

constexpr int32_t kTypeLPeptide = 3;

// A residue whose monomer has no polymer type (one the builder described
// from the coordinates, above all), whose description has the peptide
// backbone N-CA-C(=O) and whose N or C bonds the residue before or after it:
// it is a peptide for its links, so the chain stages give it the peptide
// link on each side it joins (cis where the walk along a chain measures a
// cis omega), as they do a library amino acid, and the search by distance
// bonds no atom pair of those links a second time.
// The rule holds whether the monomer is built in this run or read back from
// the library a run wrote, so both runs restrain the model alike.
bool joins_peptides(const Residue& r) {
  if (!one_of(resid_inf.ires_type(r.ir), {1, 2})) return false;
  r_scratch_t& s = r_scratch;
  const rt::FixedText<16> type = s.l1l_type;
  int32_t cls = 1, jerr = 0;
  check_res_type_by_atom_and_bond_(0, cls, jerr);
  s.l1l_type = type;
  if (cls != kTypeLPeptide) return false;
  std::vector<Name> bonded;
  chain_bonded_atoms(r.ir, bonded);
  for (const Name& a : bonded)
    if (a == "N" || a == "C") return true;
  return false;
}

// The class of a residue whose monomer has no type of its own (one the
// builder described from the coordinates): a nucleotide when the built-in
// name lists know its name (the deoxynucleotides "DA" ... "DU" of current
// files, which no library need hold), RNA when it has the 2' oxygen; 1
// otherwise.  It stays a nucleotide for its links, so the chain stages join
// it to its neighbours by the phosphodiester link and the search by distance
// bonds no O3'-P pair a second time.
int32_t listed_nucleotide(const Residue& r) {
  int32_t it = 1, jerr = 0;
  get_standard_res_type_(0, "", r.mon.view(), it, jerr);
  if (it != 5) return 1;
  for (int32_t ia = r.ias; ia <= r.iaf; ++ia)
    if (atom_inf.atm_name(ia) == "O2*" || atom_inf.atm_name(ia) == "O2'") return 6;
  return 5;
}

// Heavy atoms of L1 that the residue's copy in C1 holds at occupancy 0
// (below 1e-4, as the work copy reads it): `zero` of them, out of `heavy`.
// They lack positions for the builder, though the file gives coordinates.
// An atom without coordinates that the residue does not hold (one a
// modification added) is left to the builder's own check (`other`).
struct Unplaced {
  int zero = 0, heavy = 0;
  bool other = false;
};

Unplaced unplaced_atoms() {
  const r_scratch_t& s = r_scratch;
  Unplaced u;
  for (int i = 1; i <= s.l1a_natom; ++i) {
    if (dictionary::is_hydrogen(s.l1a_symb(i))) continue;
    ++u.heavy;
    if (s.l1a_coor_flag(i)(1) == 'Y') continue;
    int k = 1;
    while (k <= s.c1_natom && !(s.c1_aname(k) == s.l1a_aname(i))) ++k;
    if (k <= s.c1_natom && s.c1_occ(k) < 1.0E-4f) ++u.zero;
    else u.other = true;
  }
  return u;
}

// A monomer the library lacks cannot be built from atoms of occupancy 0:
// the builder's check would call them atoms without coordinates.  The
// copy is the residue's fullest in the model (most heavy atoms above
// occupancy 0), so where it has none above 0 no copy has.
bool refuse_unplaced(int32_t md, const Residue& r) {
  const Unplaced u = unplaced_atoms();
  if (u.zero == 0 || u.other) return false;
  const r_scratch_t& s = r_scratch;
  msgdoc_(md, " ERROR: " + std::string(rt::FixedText<8>(s.l1l_mname.view()).view()) +
                  ": can not create new monomer");
  const std::string n = std::to_string(u.heavy);
  msgdoc_(md,
          std::string(19, ' ') +
              (u.zero == u.heavy ? "its " + n + " atoms have occupancy 0 in every copy in the model"
                                 : std::to_string(u.zero) + " of its " + n +
                                       " atoms have occupancy 0 in its fullest copy, " +
                                       std::string(rt::trim(r.mon.view())) + " " +
                                       std::string(rt::trim(r.res.view())) + " chain " +
                                       std::string(rt::trim(r.chain.view()))));
  return true;
}

// Builder road: standard modifications for the class, then the builder and
// the new dictionary entry.
bool build_new(const Run& run, Residue& r, char coor, std::string_view name, int32_t& nmnew, int32_t& lib2,
               int32_t& ierr) {
  r_scratch_t& s = r_scratch;
  const std::string mode = coor == 'Y' ? "TEST" : "    ";
  msgdoc_(run.mdoc, "                   program will create complete description for:" + s.c1_rname.str());
  int32_t it = 1;
  if (s.l1l_prsnt == "N") {
    s.l1l_type = cif_types.res_type(1);
  } else {
    get_ini_res_type_(run.mdoc, "", s.c1_rname, it, ierr);
    if (ierr != 0) return false;
  }
  // The standard modifications and their check only prepare what the
  // builder refines: their statuses are reset.
  int e = 0;
  if (it == 3 || it == 4) {
    modif_(run.mdoc, "AA-STAND", ierr);
    e = 2;
  } else if (it == 5 || it == 6) {
    modif_(run.mdoc, "NA-STAND", ierr);
    e = 4;
  }
  ierr = 0;
  if (e != 0) {
    modif_(run.mdoc, cif_types.term_s_type(e), ierr);
    ierr = 0;
    modif_(run.mdoc, cif_types.term_f_type(e), ierr);
    ierr = 0;
    precheck_l1_mon_description_(run.mdoc, run.list, ierr);
    ierr = 0;
  }
  int32_t code = run.mdoc;
  if (libcom.lb_pass == 1 && run.list != 'T' && rt::text_eq(name, "kavlin")) code = 99;
  // A polymer residue's chain atoms take no hydrogen for the bonds to the
  // residues either side of it.
  const std::vector<int32_t> instances = instances_of(r.ir);
  if (refuse_unplaced(run.list == 'S' ? 99 : code, r)) {
    ierr = 1;
    return false;
  }
  builder::set_outside_bonds(chain_bonded_atoms_of(instances));
  builder::set_monomer_copies(copies_of(instances));
  creat_new_(code, run.list, mode, s.c1_pnum, name, 0.0f, ierr);
  builder::set_outside_bonds({});
  builder::set_monomer_copies({});
  if (ierr != 0) return false;
  cpl_mlib_(run.mdoc, ierr);
  if (ierr != 0) return false;
  ++nmnew;
  if (libcom.lb_pass != 1) lib2 = 1;
  r.mon_new = s.l1l_mname;
  return true;
}

void trace(const Run& run, const Residue& r, std::string_view step) {
  if (run.list != 'T') return;
  msgdoc_(run.mdoc, rt::list_line(std::string(step), r.ir, r.mon, r.mon_new, r.new_flag, r.mod_flg,
                                  r_scratch.c1_natom, r_scratch.l1a_natom, r_scratch.l1l_prsnt));
}

// ---------------------------------------------------------------- steps

// How a step of one residue leaves the run.
enum class Step {
  On,     // on to the residue's next step
  Fail,   // the error exit: the run returns with kerr 0 and the failing call's ierr
  Empty,  // the dictionary is empty: the run returns at once with kerr 2
};

// What the run hands back, written as the residues go.
struct Out {
  int32_t& nmnew;  // new kinds of monomers added to the dictionary
  Flag& new_flag;  // the most telling new flag of the residues so far
  int32_t& lib2;   // 1 once the run needs the second library pass
  // Residues without a type of their own taken as peptides by their bonds or
  // as nucleotides by their names.
  std::vector<int32_t> built_polymers = {};
};

// The chain of the residue being identified.  Its terminus types change
// when the chain is one amino acid or nucleotide.
struct Chain {
  int32_t ig = 0, first = 0, its = 0, itf = 0;
};

Residue start_residue(const Chain& ch, int32_t ir) {
  Residue r;
  r.ig = ch.ig;
  r.ir = ir;
  r.ias = resid_inf.iratm_first(ir);
  r.iaf = r.ias + resid_inf.natm_res(ir) - 1;
  r.ch12 = resid_inf.res_num_pdb(ir);
  r.res = r.ch12.sub(3, 7);
  r.chain = r.ch12.sub(8, 11);
  r.mon = resid_inf.res_name(ir);
  r.amon.blank();
  r.mod.blank();
  r.new_flag = "N";
  r.mod_flg = "N";
  crdatm.cr_rname = r.mon;
  return r;
}

// The residue's name looked up in the dictionary; a residue renamed by the
// input is looked up under its standard name.  A name the look-up changes
// is kept in the residue's RENAME row.  Look-up statuses other than the
// empty dictionary are not examined.
Step look_up_name(Run& run, Residue& r, Out& out, int32_t& ierr) {
  r.rename_row = find_rename(r, true, r.mon);
  if (r.rename_row != 0) {
    r.mon = mod_inf.mod_rnam(r.rename_row);
    r.mod_flg = "Y";
    resid_inf.mod_flag(r.ir) = "Y";
  }
  r.mon_old = r.mon;
  int32_t jerr = 0;
  check_mon_lib_(run.mdoc, r.mon, r.ch12, r.amon, r.mod, r.new_flag, run.nmuse, out.nmnew, run.type,
                 run.list, jerr);
  if (jerr == 2) return Step::Empty;
  if (!(r.mon == r.mon_old)) {
    if (r.rename_row != 0) {
      mod_inf.mod_rnam(r.rename_row) = r.mon;
    } else if (!add_rename(run, r, ierr)) {
      return Step::Fail;
    }
  }
  if (r.rename_row == 0) {
    r.mod_flg = "N";
    resid_inf.mod_flag(r.ir) = "N";
  }
  return Step::On;
}

// The residue type, refined by the monomer's own type in L1; a nucleotide
// also gets its deoxy or ribo name and is looked up again under it.
Step settle_type(Run& run, Residue& r, Out& out, int32_t& ierr) {
  int32_t it = res_type_of(r.mon);
  if (resid_inf.ires_type(r.ir) < 3) resid_inf.ires_type(r.ir) = it;
  else it = resid_inf.ires_type(r.ir);
  if (const int32_t itt = refined_type(it, r_scratch.l1l_type.view()); itt != it)
    resid_inf.ires_type(r.ir) = it = itt;
  if (it != 5 && it != 6) return Step::On;
  const Nucleic nucleic = nucleic_name(r.mon, it, r.mod_flg == "Y", r.ias, r.iaf, r.amon, r.mod);
  r.mon = nucleic.name;
  if (nucleic.type != it) resid_inf.ires_type(r.ir) = nucleic.type;
  store_name(r);
  if (r.mod_flg == "N" && !(r.mon == r.mon_old) && !add_rename(run, r, ierr)) return Step::Fail;
  int32_t jerr = 0;
  check_mon_lib_(run.mdoc, r.mon, r.ch12, r.amon, r.mod, r.new_flag, run.nmuse, out.nmnew, run.type,
                 run.list, jerr);
  return jerr == 2 ? Step::Empty : Step::On;
}

// An atom of the monomer in L1 by that name.
bool l1_holds(const Name& name) {
  const r_scratch_t& s = r_scratch;
  for (int32_t l = 1; l <= s.l1a_natom; ++l)
    if (s.l1a_aname(l) == name) return true;
  return false;
}

// Whether the reader's correction made `name` of `written` by moving a
// first letter before an H to the end (HH31 -> H31H), rather than a digit,
// quote or star.
bool letter_rotated(const Name& written, const Name& name) {
  const char c1 = written(1);
  if (!((c1 >= 'A' && c1 <= 'Z') || (c1 >= 'a' && c1 <= 'z')) || written(2) != 'H') return false;
  const int used = written.len_trim();
  Name rotated;
  rotated(1) = written(2);
  rotated(2) = used >= 3 ? written(3) : '_';
  rotated(3) = used >= 4 ? written(4) : '_';
  rotated(4) = c1;
  return rotated == name;
}

// The name the file wrote, where the monomer holds it as written and not the
// name the reader's correction made of it.  The PDB correction takes a
// first letter before an H for an old-style prefix and rotates it to the
// end: current files write arginine's HH11 to HH22 (and some programs
// tyrosine's HH and tryptophan's HH2) from the first column, and those would
// become H11H, H__H and H2_H, atoms the monomer does not have.  Old-style
// names (1HB, a digit first) are not held as written and keep the
// correction.  A name the reader moved one place left and padded with '_'
// was never rotated.  The link rows that name the atom follow it.
//
// A monomer that holds neither name (one the library lacks, which the run
// builds from the model's names) takes the name as written where only a
// first letter was rotated: the caps' HH31 to HH33 stay HH31 to HH33, in the
// files written and in a run on them, which reads names as written.
void keep_written_name(const Run& run, const Residue& r, int32_t ia) {
  const Name& written = atom_inf.atm_name_inp(ia);
  Name& name = atom_inf.atm_name(ia);
  if (written == name || written.is_blank() || written(1) == '.') return;
  for (char c : written.c)
    if (c == '_') return;
  if (l1_holds(name)) return;
  if (!l1_holds(written) && !letter_rotated(written, name)) return;
  int32_t jerr = 0;
  change_atom_in_link_tab_(run.mdoc, r.ig, r.ir, name.view(), written.view(), jerr);
  name = written;
}

// A residue renamed to a library monomer by its graph: its atoms' names as
// the file wrote them where that monomer holds them so (L1 holds it now),
// in the model and in C1 and C2 alike.
void keep_written_names(const Run& run, const Residue& r) {
  r_scratch_t& s = r_scratch;
  for (int32_t ia = r.ias; ia <= r.iaf; ++ia) {
    const Name before = atom_inf.atm_name(ia);
    keep_written_name(run, r, ia);
    if (atom_inf.atm_name(ia) == before) continue;
    for (int k = 1; k <= s.c1_natom; ++k)
      if (s.c1_aname(k) == before) {
        s.c1_aname(k) = s.c2_aname(k) = atom_inf.atm_name(ia);
        break;
      }
  }
}

// The model's atom names in the dictionary's spelling; two atoms left with
// one name and one alternate code fail the run with ierr 1, after every
// such pair is reported.
Step check_atom_names(const Run& run, Residue& r, int32_t& ierr) {
  for (int32_t ia = r.ias; ia <= r.iaf; ++ia) {
    Name alt;
    check_aname_(r.mon, r.amon, r.mod, atom_inf.atm_name(ia), alt);
    keep_written_name(run, r, ia);
  }
  if (no_duplicates(run, r)) return Step::On;
  ierr = 1;
  return Step::Fail;
}

// The residue's atoms into the work areas.  A chain of one amino acid or
// nucleotide is both its start and its end, so it takes that class's
// terminus types first, on each side that no link of the input bonds to a
// neighbour (a residue the reader set apart, written as HETATM between the
// residues of its chain, is no chain end where the file links it).
Step copy_to_work_areas(const Run& run, Chain& ch, const Residue& r, int32_t& ierr) {
  const int32_t itt = res_type_of(r.mon);
  if (asym_part.nres_chain(ch.ig) == 1 && (itt == 3 || itt == 5)) {
    const int32_t end = itt == 3 ? 2 : 4;
    ch.its = chain_end_bonded(r.ir, ch.ig, true) ? 1 : end;
    ch.itf = chain_end_bonded(r.ir, ch.ig, false) ? 1 : end;
    asym_part.iterm_s_type(ch.ig) = ch.its;
    asym_part.iterm_f_type(ch.ig) = ch.itf;
  }
  trace(run, r, "--- types:");
  if (!copy_atoms(run, r, itt, ierr)) return Step::Fail;
  trace(run, r, "--- work residue:");
  return Step::On;
}

// The residue's atom names compared with those of its monomer, carrying
// the chain's terminus and the input's modifications.  The statuses of the
// terminus modifications, of a modification the dictionary lacks (2) and
// of the comparison are dropped: the comparison's verdict is the new flag.
Step compare_names(const Run& run, const Chain& ch, Residue& r, int32_t& ierr) {
  if (r.new_flag == "Y") {
    if (run.check == '0') r.mon_new.blank();
    else r.mon_new = r.mon;
    return Step::On;
  }
  r.mon_new = r.mon;
  if (!compared(run.check, res_type_of(r.mon))) return Step::On;
  if (r.ir == asym_part.ires_start_tree(ch.ig) && ch.its > 1 && ch.its <= cif_types.n_sterm_type) {
    modif_(run.mdoc, cif_types.term_s_type(ch.its), ierr);
    ierr = 0;
  }
  if (r.ir == asym_part.ires_end_tree(ch.ig) && ch.itf > 1 && ch.itf <= cif_types.n_fterm_type) {
    modif_(run.mdoc, cif_types.term_f_type(ch.itf), ierr);
    ierr = 0;
  }
  bool failed = false;
  identify::model_mods().each_row(ch.ig, r.ir, [&](int32_t row) {
    // A RENAME row records another name of the residue, no modification.
    if (failed || mod_inf.mod_id(row) == "RENAME") return;
    modif_(run.mdoc, mod_inf.mod_id(row), ierr);
    if (ierr == 2) ierr = 0;
    failed = ierr != 0;
  });
  if (failed) return Step::Fail;
  trace(run, r, "--- before name comparison:");
  check_cmp_mon5_(run.mdoc, run.list, run.check, ch.ig, r.ir, r.ias, r.nmon_crt_new, r.mon_new,
                  r.new_flag, ierr);
  ierr = 0;
  trace(run, r, "--- after name comparison:");
  if (r.new_flag == "Y") {
    msgerr_(run.mdoc,
            " WARNING : " + r.mon.str() + " : program can not match library description....");
    r.mon_new.blank();
  }
  return Step::On;
}

// A residue without a description sends the run to the second library
// pass; the run's new flag keeps "Y" once any residue had it.
void note_new_flag(Run& run, const Residue& r, Out& out) {
  if (r.new_flag == "Y") {
    out.lib2 = 1;
    libcom.lb_pass = 0;
  }
  if (!(r.new_flag == "N") && (r.new_flag == "Y" || !(run.summary == "Y"))) {
    run.summary = r.new_flag;
    out.new_flag = r.new_flag;
  }
}

// A residue the comparison could not match, searched for among all
// monomers of the dictionary.  A monomer found whole ("C", "G") becomes the
// residue's description, unless its description is faulty ("M").
Step search_dictionary(const Run& run, Residue& r, Out& out, int32_t& ierr) {
  r_scratch_t& s = r_scratch;
  if (!(r.new_flag == "Y") || r.mon_new(1) == ' ') return Step::On;
  trace(run, r, "--- before global search:");
  global_search_new_(run.mdoc, run.list, r.mon, r.mon_new, r.new_flag, run.srch, r.nmon_crt_new,
                     r.ig, r.ir, r.ias, ierr);
  if (ierr != 0) return Step::Fail;
  trace(run, r, "--- after global search:");
  if (!(r.new_flag == "C" || r.new_flag == "G")) return Step::On;
  if (s.l1l_prsnt == "M") {
    r.new_flag = "M";
    return Step::On;
  }
  s.l1l_prsnt = ".";
  s.l1l_fuse = "C";
  if (r.new_flag == "C") {
    cpl_mlib_(run.mdoc, ierr);
    if (ierr != 0) return Step::Fail;
  }
  r.new_flag = "N";
  ++out.nmnew;
  return Step::On;
}

// The comparison's names written to the residue, the model and C1; a
// description found faulty is marked "M" for the builder.  The statuses of
// the copy back, of the bonds from coordinates and of the check are
// dropped: the check's verdict is the "M" mark.
Step take_new_names(const Run& run, Residue& r, int32_t& ierr) {
  r_scratch_t& s = r_scratch;
  const bool renamed = !(r.mon_new == r.mon) && r.mon_new(1) != ' ' && r.new_flag == "N";
  if (!rename_residue(run, r, ierr)) return Step::Fail;
  rename_atoms(run, r);
  for (int k = 1; k <= s.c1_natom; ++k) s.c1_aname(k) = s.c2_aname(k);
  if (renamed) keep_written_names(run, r);
  // C2 holds another residue when this one put no atom into C1.
  if (s.c1_natom > 0) copyc1_(run.mdoc, ierr);
  ierr = 0;
  s.c1_rname = r.mon;
  if (s.l1l_prsnt == "N") coor_conn_(run.mdoc, "    ", ierr);
  ierr = 0;
  if (compared(run.check, res_type_of(r.mon))) {
    precheck_l1_mon_description_(run.mdoc, run.list, ierr);
    if (ierr != 0) {
      r.new_flag = "M";
      if (!(s.l1l_prsnt == "N")) s.l1l_prsnt = "M";
      ierr = 0;
    }
  }
  return Step::On;
}

// A residue still without a name or with a faulty description gets a new
// one from the builder.
Step build_if_needed(const Run& run, Residue& r, Out& out, int32_t& ierr) {
  if (r.mon_new(1) != ' ' && !(r.new_flag == "M")) return Step::On;
  trace(run, r, "--- before the builder:");
  if (!build_new(run, r, run.coor, run.name, out.nmnew, out.lib2, ierr)) return Step::Fail;
  if (!rename_residue(run, r, ierr)) return Step::Fail;
  return Step::On;
}

// The final type, names, elements and scattering types into the model.  A
// peptide link whose bonds show a proline or N-methyl residue takes that
// link's code (the code of the cis forms and of a gap is kept).
Step types_into_model(const Run& run, const Chain& ch, const Residue& r, Out& out, int32_t& ierr) {
  const int itl = type_of_l1();
  resid_inf.ires_type(r.ir) = itl == 0 ? 1 : itl;
  if (const int32_t listed = itl <= 1 ? listed_nucleotide(r) : 1; listed != 1) {
    resid_inf.ires_type(r.ir) = listed;
    out.built_polymers.push_back(r.ir);
  }
  if (joins_peptides(r)) {
    resid_inf.ires_type(r.ir) = kTypeLPeptide;
    out.built_polymers.push_back(r.ir);
  }
  rename_atoms(run, r);
  if (!set_elements(run, r, ierr)) return Step::Fail;
  if (r.ir != ch.first && one_of(resid_inf.ires_type(r.ir), {3, 4}) &&
      !one_of(resid_inf.iconn_type(r.ir), {kConnPcis, kConnGap, kConnNmcis})) {
    int32_t ictype = 1;
    // It cannot fail: its status is not examined.
    check_conn_type_by_bond_(run.mdoc, ictype, ierr);
    if (ictype > 1) resid_inf.iconn_type(r.ir) = ictype;
  }
  return Step::On;
}

// The trace header, the model checked for atoms and chains, and the list
// of monomers the model uses; false, with ierr, when either fails.  These
// failures leave kerr as the caller set it.
bool open_run(const Run& run, int32_t& ierr) {
  if (run.list == 'T') {
    msgdoc_(run.mdoc, " --- PRE_DESCR --- ");
    print_info_test_(run.mdoc);
  }
  if (atom_inf.n_atom < 1 || asym_part.n_group < 1) {
    msgerr_(run.mdoc, " ERROR: number of atoms = 0...");
    ierr = 1;
    return false;
  }
  if (run.list == 'T') msgdoc_(run.mdoc, " --- PRE_MONOM_LIST --- ");
  pre_monom_list_(run.mdoc, run.list, ierr);
  if (ierr != 0) return false;
  identify::model_mods().reset();
  return true;
}

Step identify_residue(Run& run, Chain& ch, int32_t ir, Out& out, int32_t& ierr) {
  Residue r = start_residue(ch, ir);
  Step st = look_up_name(run, r, out, ierr);
  if (st == Step::On) st = settle_type(run, r, out, ierr);
  if (st == Step::On) st = check_atom_names(run, r, ierr);
  if (st == Step::On) st = copy_to_work_areas(run, ch, r, ierr);
  if (st == Step::On) st = compare_names(run, ch, r, ierr);
  if (st != Step::On) return st;
  note_new_flag(run, r, out);
  st = search_dictionary(run, r, out, ierr);
  if (st == Step::On) st = take_new_names(run, r, ierr);
  if (st == Step::On) st = build_if_needed(run, r, out, ierr);
  if (st == Step::On) st = types_into_model(run, ch, r, out, ierr);
  return st;
}

}  // namespace

void check_conn_type_by_bond_(int32_t /*mdoc*/, int32_t& ictype, int32_t& ierr) {
  const r_scratch_t& s = r_scratch;
  ierr = 0;
  ictype = 1;
  for (int b = 1; b <= s.l1b_nbond; ++b) {
    const Name& a1 = s.l1b_1atm(b);
    const Name& a2 = s.l1b_2atm(b);
    if ((a1 == "N" && a2 == "CD") || (a1 == "CD" && a2 == "N")) ictype = 36;
    if ((a1 == "N" && a2 == "CN") || (a1 == "CN" && a2 == "N")) ictype = 38;
  }
}

void pre_descr_(int32_t mmdoc, char list, char check, char coor, char srch, std::string_view name,
                int32_t& nmnew, Flag& new_flag_out, int32_t& lib2, int32_t& kerr, int32_t& ierr) {
  Run run;
  run.mdoc = mmdoc;
  run.md = -std::abs(mmdoc) - 1;
  run.list = list;
  run.check = check;
  run.coor = coor;
  run.srch = srch;
  run.name = name;
  ierr = 0;
  if (list == 'S') run.mdoc = run.md = 999;
  if (!open_run(run, ierr)) return;

  run.type = "?";
  kerr = 0;
  nmnew = 0;
  new_flag_out = "N";
  run.summary = "N";
  set_link_corr_();
  if (list == 'T') msgdoc_(run.mdoc, " --- after set_link_corr --- ");

  Out out{nmnew, new_flag_out, lib2};
  g_atom_cells.build();
  for (const auto& [ig, ir] : identification_order()) {
    Chain ch{ig, asym_part.ires_first(ig), asym_part.iterm_s_type(ig), asym_part.iterm_f_type(ig)};
    switch (identify_residue(run, ch, ir, out, ierr)) {
      case Step::On:
        break;
      case Step::Fail:
        kerr = 0;
        return;
      case Step::Empty:
        kerr = 2;
        return;
    }
    kerr = 0;
  }
  std::sort(out.built_polymers.begin(), out.built_polymers.end());
  no_termini_off_polymers(out.built_polymers);
  if (nmnew > 0) msgdoc_(run.md, rt::fmt("(A,I6)", " number of new kinds of monomers            :", nmnew));
  if (list == 'T') {
    msgdoc_(run.mdoc, " --- END PRE_DESCR --- ");
    print_info_test_(run.mdoc);
  }
}
