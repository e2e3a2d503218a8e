// Atom and tree records of a modification applied to L1.  Atoms are found by
// name (the first of equal names); rows that name a deleted atom are marked
// with blank names so that one pass afterwards removes them all.
#include "dictionary/mod_atom_editors.h"

#include <string>

#include "dictionary/element_table.h"
#include "dictionary/lib_com.h"
#include "dictionary/mod_editor_frame.h"
#include "dictionary/work_refs.h"
#include "foundation/messages.h"

namespace {

using dictionary::is_hydrogen;
using Name = rt::FixedText<4>;
using dictionary::given;
using dictionary::ModFunction;

int find_atom(const Name& name) {
  const r_scratch_t& r = r_scratch;
  for (int i = 1; i <= r.l1a_natom; ++i)
    if (r.l1a_aname(i) == name) return i;
  return 0;
}

// Blanks every name of the rows (1..n) in which `name` appears; true when any.
template <int N>
bool blank_rows_naming(rt::FixedText<4> name, rt::Array1<Name, N>* const* cols, int ncols, int n) {
  bool hit = false;
  for (int j = 1; j <= n; ++j) {
    bool names = false;
    for (int m = 0; m < ncols; ++m) names = names || (*cols[m])(j) == name;
    if (!names) continue;
    for (int m = 0; m < ncols; ++m) (*cols[m])(j).blank();
    hit = true;
  }
  return hit;
}

// In each row the first position holding `from` takes `to`.
template <int N>
void rename_in_rows(const Name& from, const Name& to, rt::Array1<Name, N>* const* cols, int ncols,
                    int n) {
  for (int j = 1; j <= n; ++j) {
    for (int m = 0; m < ncols; ++m) {
      if ((*cols[m])(j) == from) {
        (*cols[m])(j) = to;
        break;
      }
    }
  }
}

void empty_warning(int32_t mdoc, std::string_view mod) {
  std::string line(" WARNING: number of atoms in mon ");
  line.append(r_scratch.l1l_mname.view());
  line.append(" for mod ");
  line.append(rt::FixedText<8>(mod).view());
  line.append(" = 0");
  msgdoc_(mdoc, line);
}

struct DeletionFlags {
  int32_t &atoms, &conns, &bonds, &angles, &torsions, &chirals, &planes;
};

void delete_atom(int i, int32_t& istart, int32_t& ifinish, const DeletionFlags& del) {
  r_scratch_t& r = r_scratch;
  const Name old = r.l1a_aname(i);
  r.l1a_aname(i).blank();
  r.l1a_atype(i) = "D";
  del.atoms = 1;
  for (int k = 1; k <= r.l1a_natom; ++k)
    if (r.l1a_forw(k) == old) r.l1a_forw(k) = ".";
  if (i == r.l1a_istart) {
    istart = r.l1a_iforw(i);
    if (istart > 0) {
      r.l1a_istart = istart;
      r.l1a_iback(istart) = -1;
      r.l1a_back(istart) = ".";
    }
  } else if (i == r.l1a_ifinish) {
    ifinish = r.l1a_iback(i);
    if (ifinish > 0) {
      r.l1a_ifinish = ifinish;
      r.l1a_forw(ifinish) = "END";
      r.l1a_iforw(ifinish) = -1;
    }
  }
  const dictionary::WorkRefs w = dictionary::l1_refs();
  if (blank_rows_naming(old, w.bond_atm, 2, r.l1b_nbond)) del.bonds = 1;
  if (blank_rows_naming(old, w.ang_atm, 3, r.l1g_nangl)) del.angles = 1;
  if (blank_rows_naming(old, w.tor_atm, 4, r.l1t_ntors)) del.torsions = 1;
  if (blank_rows_naming(old, w.chir_atm, 9, r.l1c_nchir)) del.chirals = 1;
  if (blank_rows_naming(old, w.conn_atm, 2, r.l1n_nconn)) del.conns = 1;
  for (int p = 1; p <= r.l1p_nplan; ++p)
    for (int m = 1; m <= r.l1p_natom(p); ++m)
      if (r.l1p_atom(m, p) == old) r.l1p_atom(m, p).clear_bytes();
  if (r.l1p_nplan > 0) del.planes = 1;
}

void change_atom(int i, int k) {
  r_scratch_t& r = r_scratch;
  if (r.lda_charg(k) != 0.0f) r.l1a_charg(i) = r.lda_charg(k);
  if (given(r.lda_anew(k))) {
    const Name old = r.l1a_aname(i);
    r.l1a_aname(i) = r.lda_anew(k);
    // Plane slots and the tree's back and forward names keep the old name.
    const dictionary::WorkRefs w = dictionary::l1_refs();
    rename_in_rows(old, r.lda_anew(k), w.bond_atm, 2, r.l1b_nbond);
    rename_in_rows(old, r.lda_anew(k), w.ang_atm, 3, r.l1g_nangl);
    rename_in_rows(old, r.lda_anew(k), w.tor_atm, 4, r.l1t_ntors);
    rename_in_rows(old, r.lda_anew(k), w.chir_atm, 9, r.l1c_nchir);
    rename_in_rows(old, r.lda_anew(k), w.conn_atm, 2, r.l1n_nconn);
  }
  if (given(r.lda_symb(k))) r.l1a_symb(i) = r.lda_symb(k);
  if (given(r.lda_chem(k))) r.l1a_chem(i) = r.lda_chem(k);
}

void add_atom(int32_t mdoc, int k) {
  r_scratch_t& r = r_scratch;
  if (r.l1a_natom >= MAX1ATM) {
    dictionary::mod_limit_warning(mdoc, " WARNING: number of atoms in monomer ", r.l1l_mname.view(),
                                  MAX1ATM, "MAX1ATM");
    return;
  }
  if (find_atom(r.lda_anew(k)) != 0) return;
  const int n = ++r.l1a_natom;
  r.l1a_aname(n) = r.lda_anew(k);
  r.l1a_symb(n) = r.lda_symb(k);
  r.l1a_chem(n) = r.lda_chem(k);
  r.l1a_charg(n) = r.lda_charg(k);
  r.l1a_type(n).blank();
  r.l1a_back(n).blank();
  r.l1a_forw(n).blank();
  r.l1a_coor_flag(n) = "N";
  r.l1a_x(n) = r.l1a_y(n) = r.l1a_z(n) = 0.0f;
  r.l1a_atype(n) = "M";
  r.l1a_inew(n) = r.l1a_iold(n) = n;
  r.l1a_ndist(n) = r.l1a_icr(n) = r.l1a_iback(n) = r.l1a_iforw(n) = 0;
  for (int m = 1; m <= MAX1BRN; ++m) r.l1a_conn(m, n) = r.l1a_lencon(m, n) = 0;
  for (int m = 1; m <= MAX1EXT; ++m) r.l1a_iextr(m, n) = r.l1a_textr(m, n) = 0;
  if (!is_hydrogen(r.l1a_symb(n))) ++r.l1a_nhatom;
}

// The tree links of atom i from record k.
void retree_atom(int i, int k, bool note_old_ends, int32_t& istart, int32_t& ifinish,
                 int32_t& istart_old, int32_t& ifinish_old) {
  r_scratch_t& r = r_scratch;
  if (given(r.ldn_back(k))) {
    if (note_old_ends && (r.l1a_back(i) == "." || r.l1a_back(i) == "n/a")) istart_old = i;
    r.l1a_back(i) = r.ldn_back(k);
  }
  if (given(r.ldn_forw(k))) {
    if (note_old_ends && r.l1a_forw(i) == "END") ifinish_old = i;
    r.l1a_forw(i) = r.ldn_forw(k);
  }
  if (given(r.ldn_btype(k))) r.l1a_type(i) = r.ldn_btype(k);
  const std::string_view type = r.ldn_type(k).view();
  if (type.substr(0, 3) == "END") ifinish = i;
  if (type.substr(0, 5) == "START") istart = i;
}

int find_connection(int k) {
  const r_scratch_t& r = r_scratch;
  const Name &a1 = r.ldn_1atm(k), &a2 = r.ldn_2atm(k);
  for (int c = 1; c <= r.l1n_nconn; ++c) {
    const Name &c1 = r.l1n_1atm(c), &c2 = r.l1n_2atm(c);
    if ((c1 == a1 && c2 == a2) || (c1 == a2 && c2 == a1)) return c;
  }
  return 0;
}

void rewrite_connection(int c, int k) {
  r_scratch_t& r = r_scratch;
  r.l1n_1atm(c) = r.ldn_1atm(k);
  r.l1n_2atm(c) = r.ldn_2atm(k);
  r.l1n_type(c) = r.ldn_type(k);
}

}  // namespace

void mod_amlib_(int32_t mdoc, std::string_view mod, int32_t ia, std::string_view, int32_t& istart,
                int32_t& ifinish, int32_t& idela, int32_t& ideln, int32_t& idelb, int32_t& idelg,
                int32_t& idelt, int32_t& idelc, int32_t& idelp, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const int n = r.lda_natom;
  if (n < 1 || ia > n || ia < 1) return;
  const DeletionFlags del{idela, ideln, idelb, idelg, idelt, idelc, idelp};
  for (int k = ia; k <= n; ++k) {
    if (!(r.lda_mname(k) == mod)) continue;
    const ModFunction f = dictionary::mod_function(r.lda_funct(k));
    if (f == ModFunction::Add) {
      add_atom(mdoc, k);
      continue;
    }
    if (f == ModFunction::None) continue;
    if (r.l1a_natom < 1) {
      empty_warning(mdoc, mod);
      continue;
    }
    const int i = find_atom(r.lda_aname(k));
    if (i == 0) continue;
    if (f == ModFunction::Delete) delete_atom(i, istart, ifinish, del);
    else change_atom(i, k);
  }
}

void mod_nmlib_(int32_t mdoc, std::string_view mod, int32_t in, std::string_view, int32_t& istart,
                int32_t& ifinish, int32_t& istart_old, int32_t& ifinish_old, int32_t& idel,
                int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const int n = r.ldn_nconn;
  if (n < 1 || in > n || in < 1) return;
  for (int k = in; k <= n; ++k) {
    if (!(r.ldn_mname(k) == mod)) continue;
    const ModFunction f = dictionary::mod_function(r.ldn_funct(k));
    if (f == ModFunction::None) continue;
    if (f == ModFunction::Delete) {
      if (const int c = find_connection(k)) {
        r.l1n_1atm(c).blank();
        r.l1n_2atm(c).blank();
        r.l1n_type(c).blank();
        idel = 1;
      }
      continue;
    }
    const int i = r.l1a_natom >= 1 ? find_atom(r.ldn_atom(k)) : 0;
    if (i != 0) {
      // Only a change notes the old tree ends it moves; an add sets links.
      retree_atom(i, k, f == ModFunction::Change, istart, ifinish, istart_old, ifinish_old);
      continue;
    }
    if (const int c = find_connection(k)) {
      rewrite_connection(c, k);
      continue;
    }
    if (f != ModFunction::Add) continue;
    if (r.l1n_nconn >= MAX1CONN) {
      dictionary::mod_limit_warning(mdoc, " WARNING: number of CONNs in monomer ",
                                    r.l1l_mname.view(), MAX1CONN, "MAX1CONN");
      continue;
    }
    const int c = ++r.l1n_nconn;
    rewrite_connection(c, k);
    r.l1n_i1atm(c) = r.l1n_i2atm(c) = 0;
  }
}
