// Applying a modification to L1: the seven record editors in a fixed order,
// then one pass that removes what they marked, the merging of planes, and the
// repair of the atom tree.
#include "dictionary/modif.h"

#include <initializer_list>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "dictionary/element_table.h"
#include "dictionary/lib_com.h"
#include "dictionary/mod_atom_editors.h"
#include "dictionary/mod_row_editors.h"
#include "dictionary/tree_backbone.h"
#include "dictionary/tree_renumber.h"
#include "dictionary/work_refs.h"
#include "foundation/atom_names.h"
#include "foundation/messages.h"

namespace {

using dictionary::is_hydrogen;
using Name = rt::FixedText<4>;
using Code = rt::FixedText<8>;

// A substituted backbone nitrogen (proline ring or N-methyl) takes the
// variant of the standard and terminal-amine modifications.
void choose_variant(Code& mod) {
  const r_scratch_t& r = r_scratch;
  if (!(mod == "NH3" || mod == "AA-STAND" || mod == "AA-STPRO")) return;
  if (r.l1a_natom <= 3 || r.l1b_nbond <= 2) return;
  for (int j = 1; j <= r.l1b_nbond; ++j) {
    const Name &a1 = r.l1b_1atm(j), &a2 = r.l1b_2atm(j);
    const bool cd = (a1 == "N" && a2 == "CD") || (a1 == "CD" && a2 == "N");
    const bool cn = (a1 == "N" && a2 == "CN") || (a1 == "CN" && a2 == "N");
    if (!cd && !cn) continue;
    if (mod == "NH3") mod = cn ? "NH2N" : "NH2";
    if (mod == "AA-STAND") mod = "AA-STPRO";
    return;
  }
}

struct Ends {
  int32_t istart = 0, ifinish = 0, istart_old = 0, ifinish_old = 0;
};

// Drops the atoms whose name is blank; the tree indexes that named a kept
// atom follow it, those that named a dropped atom become 0.
void remove_atoms(Ends& ends) {
  r_scratch_t& r = r_scratch;
  int32_t* const pointers[] = {&r.l1a_istart, &r.l1a_ifinish, &ends.istart, &ends.ifinish};
  int32_t moved[4] = {0, 0, 0, 0};
  int k = 0, nh = 0;
  for (int i = 1; i <= r.l1a_natom; ++i) {
    if (r.l1a_aname(i).is_blank()) continue;
    ++k;
    for (int m = 0; m < 4; ++m)
      if (*pointers[m] == i) moved[m] = k;
    r.l1a_charg(k) = r.l1a_charg(i);
    r.l1a_symb(k) = r.l1a_symb(i);
    r.l1a_coor_flag(k) = r.l1a_coor_flag(i);
    r.l1a_back(k) = r.l1a_back(i);
    r.l1a_forw(k) = r.l1a_forw(i);
    r.l1a_aname(k) = r.l1a_aname(i);
    r.l1a_chem(k) = r.l1a_chem(i);
    r.l1a_type(k) = r.l1a_type(i);
    const bool xyz = r.l1a_coor_flag(i) == "Y";
    r.l1a_x(k) = xyz ? r.l1a_x(i) : 0.0f;
    r.l1a_y(k) = xyz ? r.l1a_y(i) : 0.0f;
    r.l1a_z(k) = xyz ? r.l1a_z(i) : 0.0f;
    r.l1a_inew(k) = r.l1a_iold(k) = k;
    r.l1a_ndist(k) = r.l1a_icr(k) = r.l1a_iback(k) = r.l1a_iforw(k) = 0;
    r.l1a_atype(k) = "M";
    if (!is_hydrogen(r.l1a_symb(k))) ++nh;
  }
  // Every neighbour list of L1 is cleared, also of atoms that did not move.
  for (int i = 1; i <= k; ++i) {
    for (int m = 1; m <= MAX1BRN; ++m) r.l1a_conn(m, i) = r.l1a_lencon(m, i) = 0;
    for (int m = 1; m <= MAX1EXT; ++m) r.l1a_iextr(m, i) = r.l1a_textr(m, i) = 0;
  }
  for (int m = 0; m < 4; ++m) *pointers[m] = moved[m];
  r.l1a_natom = k;
  r.l1a_nhatom = nh;
}

// Keeps the rows whose first name is not blank, clearing their atom numbers.
template <int N, typename Move>
int32_t remove_rows(int32_t n, const rt::Array1<Name, N>& first_names, Move move) {
  int32_t k = 0;
  for (int32_t i = 1; i <= n; ++i) {
    if (first_names(i).is_blank()) continue;
    move(i, ++k);
  }
  return k;
}

void remove_marked_rows(const int32_t (&del)[5]) {
  r_scratch_t& r = r_scratch;
  const dictionary::WorkRefs w = dictionary::l1_refs();
  if (del[0] > 0 && r.l1b_nbond > 0) {
    r.l1b_nbond = remove_rows(r.l1b_nbond, r.l1b_1atm, [&](int i, int k) {
      r.l1b_1atm(k) = r.l1b_1atm(i);
      r.l1b_2atm(k) = r.l1b_2atm(i);
      r.l1b_type(k) = r.l1b_type(i);
      r.l1b_flag(k) = r.l1b_flag(i);
      r.l1b_val(k) = r.l1b_val(i);
      r.l1b_dev(k) = r.l1b_dev(i);
      r.l1b_vobs(k) = r.l1b_vobs(i);
      r.l1b_i1atm(k) = r.l1b_i2atm(k) = 0;
    });
  }
  if (del[1] > 0 && r.l1n_nconn > 0) {
    r.l1n_nconn = remove_rows(r.l1n_nconn, r.l1n_1atm, [&](int i, int k) {
      r.l1n_1atm(k) = r.l1n_1atm(i);
      r.l1n_2atm(k) = r.l1n_2atm(i);
      r.l1n_type(k) = r.l1n_type(i);
      r.l1n_i1atm(k) = r.l1n_i2atm(k) = 0;
    });
  }
  if (del[2] > 0 && r.l1g_nangl > 0) {
    r.l1g_nangl = remove_rows(r.l1g_nangl, r.l1g_1atm, [&](int i, int k) {
      for (int m = 0; m < 3; ++m) {
        (*w.ang_atm[m])(k) = (*w.ang_atm[m])(i);
        (*w.ang_i[m])(k) = 0;
      }
      r.l1g_flag(k) = r.l1g_flag(i);
      r.l1g_val(k) = r.l1g_val(i);
      r.l1g_dev(k) = r.l1g_dev(i);
      r.l1g_vobs(k) = r.l1g_vobs(i);
    });
  }
  if (del[3] > 0 && r.l1t_ntors > 0) {
    r.l1t_ntors = remove_rows(r.l1t_ntors, r.l1t_1atm, [&](int i, int k) {
      for (int m = 0; m < 4; ++m) {
        (*w.tor_atm[m])(k) = (*w.tor_atm[m])(i);
        (*w.tor_i[m])(k) = 0;
      }
      r.l1t_label(k) = r.l1t_label(i);
      r.l1t_flag(k) = r.l1t_flag(i);
      r.l1t_val(k) = r.l1t_val(i);
      r.l1t_dev(k) = r.l1t_dev(i);
      r.l1t_vobs(k) = r.l1t_vobs(i);
      r.l1t_prd(k) = r.l1t_prd(i);
    });
  }
  if (del[4] > 0 && r.l1c_nchir > 0) {
    r.l1c_nchir = remove_rows(r.l1c_nchir, r.l1c_1atm, [&](int i, int k) {
      for (int m = 0; m < 9; ++m) {
        (*w.chir_atm[m])(k) = (*w.chir_atm[m])(i);
        (*w.chir_i[m])(k) = 0;
      }
      r.l1c_sign(k) = r.l1c_sign(i);
      r.l1c_flag(k) = r.l1c_flag(i);
      r.l1c_vol(k) = r.l1c_vol(i);
      r.l1c_vobs(k) = r.l1c_vobs(i);
    });
  }
}

bool slot_deleted(const Name& n) {
  for (char c : n.c)
    if (c != '\0') return false;
  return true;
}

void move_slot(int from_slot, int from_plane, int to_slot, int to_plane) {
  r_scratch_t& r = r_scratch;
  r.l1p_atom(to_slot, to_plane) = r.l1p_atom(from_slot, from_plane);
  r.l1p_iatom(to_slot, to_plane) = r.l1p_iatom(from_slot, from_plane);
  r.l1p_flag(to_slot, to_plane) = r.l1p_flag(from_slot, from_plane);
  r.l1p_dev(to_slot, to_plane) = r.l1p_dev(from_slot, from_plane);
  r.l1p_dobs(to_slot, to_plane) = r.l1p_dobs(from_slot, from_plane);
  r.l1p_edev(to_slot, to_plane) = r.l1p_edev(from_slot, from_plane);
}

bool plane_holds(int p, int nslots, const Name& name) {
  for (int m = 1; m <= nslots; ++m)
    if (r_scratch.l1p_atom(m, p) == name) return true;
  return false;
}

// Planes without their deleted slots; planes that share three or more atoms
// merged into the earlier one; planes left with fewer than four atoms gone.
void tidy_planes() {
  r_scratch_t& r = r_scratch;
  for (int p = 1; p <= r.l1p_nplan; ++p) {
    int k = 0;
    for (int m = 1; m <= r.l1p_natom(p); ++m) {
      if (slot_deleted(r.l1p_atom(m, p))) continue;
      if (++k != m) move_slot(m, p, k, p);
    }
    r.l1p_natom(p) = k < 4 ? 0 : k;
  }
  for (int p = 1; p < r.l1p_nplan; ++p) {
    for (int q = p + 1; q <= r.l1p_nplan; ++q) {
      if (r.l1p_natom(p) == 0 || r.l1p_natom(q) == 0) continue;
      const int np = r.l1p_natom(p);
      int shared = 0;
      for (int a = 1; a <= np; ++a)
        for (int b = 1; b <= r.l1p_natom(q); ++b)
          if (r.l1p_atom(a, p) == r.l1p_atom(b, q)) ++shared;
      if (shared < 3) continue;
      int n = np;
      for (int b = 1; b <= r.l1p_natom(q); ++b) {
        // A plane holds at most MAX1APL atoms; what a merge cannot place is left out.
        if (n >= MAX1APL) break;
        if (!plane_holds(p, np, r.l1p_atom(b, q))) move_slot(b, q, ++n, p);
      }
      r.l1p_natom(p) = n;
      r.l1p_natom(q) = 0;
    }
  }
  int k = 0;
  for (int p = 1; p <= r.l1p_nplan; ++p) {
    if (r.l1p_natom(p) == 0) continue;
    if (++k == p) continue;
    r.l1p_natom(k) = r.l1p_natom(p);
    r.l1p_label(k) = r.l1p_label(p);
    for (int m = 1; m <= r.l1p_natom(p); ++m) move_slot(m, p, m, k);
  }
  r.l1p_nplan = k;
}

int find_atom(const Name& name) {
  for (int i = 1; i <= r_scratch.l1a_natom; ++i)
    if (r_scratch.l1a_aname(i) == name) return i;
  return 0;
}

bool full_description() { return r_scratch.l1l_prsnt == "Y" || r_scratch.l1l_prsnt == "."; }

// Renumbers the tree; a tree it rejects is no longer repaired.
void renumber(int32_t mdoc, bool& tree) {
  int32_t ierr = 0;
  set_num_mod_(mdoc, r_scratch.l1l_mname.view(), "            ", ierr);
  if (ierr != 0) tree = false;
}

// The library may spell a modification's nucleotide atoms in the other
// style than the monomer it is applied to ("O5*", "O1P" against "O5'",
// "OP1"); unmatched, a deletion leaves the phosphate oxygens of a 5' end
// behind without their phosphorus.  While one modification is applied its
// rows are written in the monomer's spelling, and given back afterwards.
// A monomer may mix the two (a one-letter nucleotide's sugar atoms take the
// star while its phosphate oxygens keep "OP1"): a name the monomer holds in
// either spelling takes that one, any other (an atom to add) the spelling of
// the monomer's first such atom.
class ModSpelling {
 public:
  explicit ModSpelling(const Code& mod) {
    using foundation::NucleotideStyle;
    r_scratch_t& r = r_scratch;
    for (int i = 1; i <= r.l1a_natom && style_ == NucleotideStyle::None; ++i)
      style_ = foundation::nucleotide_style(r.l1a_aname(i).view());
    if (style_ == NucleotideStyle::None) return;
    for (int k = 1; k <= r.lda_natom; ++k)
      if (r.lda_mname(k) == mod)
        respell({&r.lda_aname(k), &r.lda_anew(k), &r.lda_back(k), &r.lda_forw(k)});
    for (int k = 1; k <= r.ldn_nconn; ++k)
      if (r.ldn_mname(k) == mod)
        respell({&r.ldn_atom(k), &r.ldn_back(k), &r.ldn_forw(k), &r.ldn_1atm(k), &r.ldn_2atm(k)});
    for (int k = 1; k <= r.ldb_nbond; ++k)
      if (r.ldb_mname(k) == mod) respell({&r.ldb_1atm(k), &r.ldb_2atm(k)});
    for (int k = 1; k <= r.ldg_nangl; ++k)
      if (r.ldg_mname(k) == mod) respell({&r.ldg_1atm(k), &r.ldg_2atm(k), &r.ldg_3atm(k)});
    for (int k = 1; k <= r.ldt_ntors; ++k)
      if (r.ldt_mname(k) == mod)
        respell({&r.ldt_1atm(k), &r.ldt_2atm(k), &r.ldt_3atm(k), &r.ldt_4atm(k)});
    for (int k = 1; k <= r.ldc_nchir; ++k)
      if (r.ldc_mname(k) == mod)
        respell({&r.ldc_1atm(k), &r.ldc_2atm(k), &r.ldc_3atm(k), &r.ldc_4atm(k), &r.ldc_5atm(k),
                 &r.ldc_6atm(k), &r.ldc_7atm(k), &r.ldc_8atm(k), &r.ldc_9atm(k)});
    for (int k = 1; k <= r.ldp_nplan; ++k)
      if (r.ldp_mname(k) == mod)
        for (int m = 1; m <= r.ldp_natom(k) && m <= MAXDAPL; ++m) respell({&r.ldp_atom(m, k)});
  }
  ~ModSpelling() {
    for (const auto& [at, was] : saved_) *at = was;
  }
  ModSpelling(const ModSpelling&) = delete;
  ModSpelling& operator=(const ModSpelling&) = delete;

 private:
  void respell(std::initializer_list<Name*> names) {
    using foundation::NucleotideStyle;
    for (Name* n : names) {
      if (find_atom(*n) != 0) continue;
      const NucleotideStyle own = foundation::nucleotide_style(n->view());
      const NucleotideStyle other =
          own == NucleotideStyle::Star ? NucleotideStyle::Prime : NucleotideStyle::Star;
      const std::string held = foundation::nucleotide_name_as(n->view(), other);
      const std::string to =
          find_atom(Name(held)) != 0 ? held : foundation::nucleotide_name_as(n->view(), style_);
      if (to == n->view()) continue;
      saved_.emplace_back(n, *n);
      *n = to;
    }
  }
  foundation::NucleotideStyle style_ = foundation::NucleotideStyle::None;
  std::vector<std::pair<Name*, Name>> saved_;
};

}  // namespace

namespace {

// Modification and monomer codes (8 characters each) already reported
// missing.  A modification is asked for every residue of a monomer, at
// identification and again at the restraints: one line a pair says it all.
std::set<std::string>& missing_reported() {
  static std::set<std::string> said;
  return said;
}

}  // namespace

namespace dictionary {
void forget_missing_modifications() { missing_reported().clear(); }
}  // namespace dictionary

void modif_(int32_t mdoc, std::string_view mod_in, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  Code mod(mod_in.substr(0, 8));
  ierr = 0;
  if (mod(1) == '.') return;
  if (r.ldl_nmod < 1) {
    msgdoc_(mdoc, " WARNING: number of modifications in library = 0");
    return;
  }
  choose_variant(mod);
  int l = 0;
  for (int k = 1; k <= r.ldl_nmod && l == 0; ++k)
    if (r.ldl_mname(k) == mod) l = k;
  if (l == 0) {
    if (missing_reported().insert(mod.str() + r.l1l_mname.str()).second)
      msgdoc_(mdoc, " WARNING: the library has no modification " + std::string(mod.trimmed()) +
                        ": " + std::string(r.l1l_mname.trimmed()) + " is described without it");
    return;
  }
  r.ldl_imod = l;
  const ModSpelling spelling(mod);

  bool tree = false;
  if (full_description()) {
    for (int i = 1; i <= r.l1a_natom && !tree; ++i) tree = !(r.l1a_back(i) == ".");
    if (tree) renumber(mdoc, tree);
  }

  // A monomer without its full description gets only atoms, bonds and chiral centres.
  const bool full = full_description();
  const int32_t ia = r.ldl_iatom(l), in = full ? r.ldl_iconn(l) : 0, ib = r.ldl_ibond(l);
  const int32_t ig = full ? r.ldl_ithet(l) : 0, it = full ? r.ldl_itors(l) : 0;
  const int32_t ip = full ? r.ldl_iplan(l) : 0, ic = r.ldl_ichir(l);
  int32_t idela = 0, ideln = 0, idelb = 0, idelg = 0, idelt = 0, idelc = 0, idelp = 0;
  Ends ends;
  const std::string_view tree_flag = tree ? "Y" : "N";
  const std::string_view code = mod.view();
  if (ia > 0) {
    mod_amlib_(mdoc, code, ia, tree_flag, ends.istart, ends.ifinish, idela, ideln, idelb, idelg,
               idelt, idelc, idelp, ierr);
    if (ierr != 0) return;
  }
  if (in > 0) {
    mod_nmlib_(mdoc, code, in, tree_flag, ends.istart, ends.ifinish, ends.istart_old,
               ends.ifinish_old, ideln, ierr);
    if (ierr != 0) return;
  }
  struct {
    int32_t first;
    void (*edit)(int32_t, std::string_view, int32_t, int32_t&, int32_t&);
    int32_t& del;
  } const rows[] = {{ib, mod_bmlib_, idelb},
                    {ig, mod_gmlib_, idelg},
                    {it, mod_tmlib_, idelt},
                    {ip, mod_pmlib_, idelp},
                    {ic, mod_cmlib_, idelc}};
  for (const auto& e : rows) {
    if (e.first <= 0) continue;
    e.edit(mdoc, code, e.first, e.del, ierr);
    if (ierr != 0) return;
  }

  if (ends.istart_old > 0) {
    if (const int j = find_atom(r.l1a_back(ends.istart_old))) r.l1a_back(j) = ".";
  }
  if (ends.ifinish_old > 0) {
    if (const int j = find_atom(r.l1a_forw(ends.ifinish_old))) r.l1a_forw(j) = "END";
  }
  if (idela > 0) remove_atoms(ends);
  remove_marked_rows({idelb, ideln, idelg, idelt, idelc});
  if (idelp > 0 && r.l1p_nplan > 0) tidy_planes();

  if (full && tree) renumber(mdoc, tree);
  if (!tree) return;
  const bool start_moves = ends.istart != 0 && ends.istart != r.l1a_istart;
  const bool finish_moves = ends.ifinish != 0 && ends.ifinish != r.l1a_ifinish;
  if (!start_moves && !finish_moves) return;
  int32_t status = 0;
  if (ends.istart > 0 && ends.istart == r.l1a_ifinish)
    mod_tree_backbone_(0, ends.istart, ends.ifinish, status);
  if (status == 0 && ends.istart > 0 && ends.istart != r.l1a_istart)
    mod_tree_backbone_(1, ends.istart, ends.ifinish, status);
  if (status == 0 && ends.ifinish > 0 && ends.ifinish != r.l1a_ifinish)
    mod_tree_backbone_(2, ends.istart, ends.ifinish, status);
}
