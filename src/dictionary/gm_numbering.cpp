// Renumbering of L1 and L2 from atom names, and the compression of L1 after
// a graph match.  Names are resolved through an index of the atom list, so
// renumbering costs one pass over the records, not one per atom.
#include "dictionary/gm_numbering.h"

#include "dictionary/lib_com.h"
#include "dictionary/work_refs.h"
#include "foundation/lookup_index.h"

namespace {

using Name = rt::FixedText<4>;
using dictionary::WorkRefs;

constexpr std::string_view kUnmatched = "????";

template <typename Names, typename Ints>
void resolve(const foundation::LookupIndex<4, MAX1ATM>& index, const Names& names, Ints& ints,
             int n) {
  for (int j = 1; j <= n; ++j) ints(j) = index.last(names(j).view());
}

void set_num_gm(const WorkRefs& w) {
  for (int j = 1; j <= w.nconn; ++j) (*w.conn_i[0])(j) = (*w.conn_i[1])(j) = 0;
  for (int j = 1; j <= w.nbond; ++j) (*w.bond_i[0])(j) = (*w.bond_i[1])(j) = 0;
  for (int j = 1; j <= w.nangl; ++j)
    for (auto* col : w.ang_i) (*col)(j) = 0;
  for (int j = 1; j <= w.ntors; ++j)
    for (auto* col : w.tor_i) (*col)(j) = 0;
  for (int j = 1; j <= w.nchir; ++j)
    for (auto* col : w.chir_i) (*col)(j) = 0;
  for (int p = 1; p <= w.nplan; ++p)
    for (int m = 1; m <= w.plan_natom(p); ++m) w.plan_iatom(m, p) = 0;
  if (w.natom < 1) return;

  // The later of two atoms of one name wins, as an atom-by-atom pass would.
  static foundation::LookupIndex<4, MAX1ATM> index;
  index.clear();
  for (int i = 1; i <= w.natom; ++i) index.add(w.aname(i).view(), i);

  for (int k = 1; k <= w.natom; ++k) {
    if (const int32_t b = index.last(w.back(k).view())) w.iback(k) = b;
    if (const int32_t f = index.last(w.forw(k).view())) w.iforw(k) = f;
  }
  for (int m = 0; m < 2; ++m) resolve(index, *w.conn_atm[m], *w.conn_i[m], w.nconn);
  for (int m = 0; m < 2; ++m) resolve(index, *w.bond_atm[m], *w.bond_i[m], w.nbond);
  for (int m = 0; m < 3; ++m) resolve(index, *w.ang_atm[m], *w.ang_i[m], w.nangl);
  for (int m = 0; m < 4; ++m) resolve(index, *w.tor_atm[m], *w.tor_i[m], w.ntors);
  for (int m = 0; m < 9; ++m) resolve(index, *w.chir_atm[m], *w.chir_i[m], w.nchir);
  for (int p = 1; p <= w.nplan; ++p)
    for (int m = 1; m <= w.plan_natom(p); ++m)
      w.plan_iatom(m, p) = index.last(w.plan_atom(m, p).view());
}

// Keeps the rows 1..n for which keep(i) holds, in order, moving row i to k
// with move(i, k); returns the number kept.
template <typename Keep, typename Move>
int32_t compact(int32_t n, Keep keep, Move move) {
  int32_t k = 0;
  for (int32_t i = 1; i <= n; ++i) {
    if (!keep(i)) continue;
    ++k;
    if (k != i) move(i, k);
  }
  return k;
}

void compress_atoms(r_scratch_t& r) {
  r.l1a_natom = compact(
      r.l1a_natom, [&](int i) { return !(r.l1a_aname(i) == kUnmatched) && r.l1a_icr(i) != 0; },
      [&](int i, int k) {
        r.l1a_icr(k) = r.l1a_icr(i);
        r.l1a_charg(k) = r.l1a_charg(i);
        r.l1a_x(k) = r.l1a_x(i);
        r.l1a_y(k) = r.l1a_y(i);
        r.l1a_z(k) = r.l1a_z(i);
        r.l1a_length(k) = r.l1a_length(i);
        r.l1a_theta(k) = r.l1a_theta(i);
        r.l1a_phi(k) = r.l1a_phi(i);
        r.l1a_inew(k) = r.l1a_inew(i);
        r.l1a_iold(k) = r.l1a_iold(i);
        r.l1a_ndist(k) = r.l1a_ndist(i);
        r.l1a_nextr(k) = r.l1a_nextr(i);
        r.l1a_iback(k) = r.l1a_iback(i);
        r.l1a_iforw(k) = r.l1a_iforw(i);
        r.l1a_nring(k) = r.l1a_nring(i);
        r.l1a_ichem(k) = r.l1a_ichem(i);
        r.l1a_sf_id(k) = r.l1a_sf_id(i);
        r.l1a_aname(k) = r.l1a_aname(i);
        r.l1a_symb(k) = r.l1a_symb(i);
        r.l1a_back(k) = r.l1a_back(i);
        r.l1a_forw(k) = r.l1a_forw(i);
        r.l1a_chem(k) = r.l1a_chem(i);
        r.l1a_atype(k) = r.l1a_atype(i);
        r.l1a_coor_flag(k) = r.l1a_coor_flag(i);
        r.l1a_id_psi(k) = r.l1a_id_psi(i);
        r.l1a_type(k) = r.l1a_type(i);
      });
}

void compress_rows(r_scratch_t& r) {
  r.l1n_nconn = compact(
      r.l1n_nconn,
      [&](int i) {
        return !(r.l1n_1atm(i) == kUnmatched) && !(r.l1n_2atm(i) == kUnmatched) &&
               r.l1n_i1atm(i) != 0 && r.l1n_i2atm(i) != 0;
      },
      [&](int i, int k) {
        r.l1n_1atm(k) = r.l1n_1atm(i);
        r.l1n_2atm(k) = r.l1n_2atm(i);
        r.l1n_i1atm(k) = r.l1n_i1atm(i);
        r.l1n_i2atm(k) = r.l1n_i2atm(i);
        r.l1n_type(k) = r.l1n_type(i);
      });
  r.l1b_nbond = compact(
      r.l1b_nbond,
      [&](int i) {
        return !(r.l1b_1atm(i) == kUnmatched) && !(r.l1b_2atm(i) == kUnmatched) &&
               r.l1b_i1atm(i) != 0 && r.l1b_i2atm(i) != 0;
      },
      [&](int i, int k) {
        r.l1b_1atm(k) = r.l1b_1atm(i);
        r.l1b_2atm(k) = r.l1b_2atm(i);
        r.l1b_i1atm(k) = r.l1b_i1atm(i);
        r.l1b_i2atm(k) = r.l1b_i2atm(i);
        r.l1b_type(k) = r.l1b_type(i);
        r.l1b_val(k) = r.l1b_val(i);
        r.l1b_dev(k) = r.l1b_dev(i);
        r.l1b_vobs(k) = r.l1b_vobs(i);
        r.l1b_eval(k) = r.l1b_eval(i);
        r.l1b_flag(k) = r.l1b_flag(i);
      });
  r.l1g_nangl = compact(
      r.l1g_nangl,
      [&](int i) {
        return !(r.l1g_1atm(i) == kUnmatched) && !(r.l1g_2atm(i) == kUnmatched) &&
               !(r.l1g_3atm(i) == kUnmatched) && r.l1g_i1atm(i) != 0 && r.l1g_i2atm(i) != 0 &&
               r.l1g_i3atm(i) != 0;
      },
      [&](int i, int k) {
        r.l1g_1atm(k) = r.l1g_1atm(i);
        r.l1g_2atm(k) = r.l1g_2atm(i);
        r.l1g_3atm(k) = r.l1g_3atm(i);
        r.l1g_i1atm(k) = r.l1g_i1atm(i);
        r.l1g_i2atm(k) = r.l1g_i2atm(i);
        r.l1g_i3atm(k) = r.l1g_i3atm(i);
        r.l1g_val(k) = r.l1g_val(i);
        r.l1g_dev(k) = r.l1g_dev(i);
        r.l1g_vobs(k) = r.l1g_vobs(i);
        r.l1g_eval(k) = r.l1g_eval(i);
        r.l1g_flag(k) = r.l1g_flag(i);
      });
  const auto tw = dictionary::l1_refs();
  r.l1t_ntors = compact(
      r.l1t_ntors,
      [&](int i) {
        for (int m = 0; m < 4; ++m)
          if ((*tw.tor_atm[m])(i) == kUnmatched || (*tw.tor_i[m])(i) == 0) return false;
        return true;
      },
      [&](int i, int k) {
        for (int m = 0; m < 4; ++m) {
          (*tw.tor_atm[m])(k) = (*tw.tor_atm[m])(i);
          (*tw.tor_i[m])(k) = (*tw.tor_i[m])(i);
        }
        r.l1t_label(k) = r.l1t_label(i);
        r.l1t_prd(k) = r.l1t_prd(i);
        r.l1t_val(k) = r.l1t_val(i);
        r.l1t_dev(k) = r.l1t_dev(i);
        r.l1t_vobs(k) = r.l1t_vobs(i);
        r.l1t_eval(k) = r.l1t_eval(i);
        r.l1t_flag(k) = r.l1t_flag(i);
      });
  r.l1c_nchir = compact(
      r.l1c_nchir,
      [&](int i) {
        for (int m = 0; m < 4; ++m)
          if ((*tw.chir_atm[m])(i) == kUnmatched) return false;
        if (r.l1c_i1atm(i) == 0) return false;
        // A "cross" centre needs only its centre; the others all four atoms.
        if (r.l1c_sign(i).view().substr(0, 4) == "cros") return true;
        return r.l1c_i2atm(i) != 0 && r.l1c_i3atm(i) != 0 && r.l1c_i4atm(i) != 0;
      },
      [&](int i, int k) {
        for (int m = 0; m < 9; ++m) {
          (*tw.chir_atm[m])(k) = (*tw.chir_atm[m])(i);
          (*tw.chir_i[m])(k) = (*tw.chir_i[m])(i);
        }
        r.l1c_sign(k) = r.l1c_sign(i);
        r.l1c_vol(k) = r.l1c_vol(i);
        r.l1c_vobs(k) = r.l1c_vobs(i);
        r.l1c_evol(k) = r.l1c_evol(i);
        r.l1c_flag(k) = r.l1c_flag(i);
      });
}

void compress_planes(r_scratch_t& r) {
  for (int p = 1; p <= r.l1p_nplan; ++p) {
    r.l1p_natom(p) = compact(
        r.l1p_natom(p), [&](int m) { return r.l1p_iatom(m, p) > 0; },
        [&](int m, int k) {
          r.l1p_iatom(k, p) = r.l1p_iatom(m, p);
          r.l1p_atom(k, p) = r.l1p_atom(m, p);
          r.l1p_flag(k, p) = r.l1p_flag(m, p);
          r.l1p_dev(k, p) = r.l1p_dev(m, p);
          r.l1p_dobs(k, p) = r.l1p_dobs(m, p);
          r.l1p_edev(k, p) = r.l1p_edev(m, p);
        });
  }
  r.l1p_nplan = compact(
      r.l1p_nplan, [&](int p) { return r.l1p_natom(p) > 3; },
      [&](int p, int k) {
        r.l1p_natom(k) = r.l1p_natom(p);
        r.l1p_label(k) = r.l1p_label(p);
        for (int m = 1; m <= r.l1p_natom(p); ++m) {
          r.l1p_iatom(m, k) = r.l1p_iatom(m, p);
          r.l1p_atom(m, k) = r.l1p_atom(m, p);
          r.l1p_flag(m, k) = r.l1p_flag(m, p);
          r.l1p_dev(m, k) = r.l1p_dev(m, p);
          r.l1p_dobs(m, k) = r.l1p_dobs(m, p);
          r.l1p_edev(m, k) = r.l1p_edev(m, p);
        }
      });
}

}  // namespace

void set_num_l1_gm_(int32_t, int32_t&) { set_num_gm(dictionary::l1_refs()); }

void set_num_l2_gm_(int32_t, int32_t&) { set_num_gm(dictionary::l2_refs()); }

void compress_l1_gm_(int32_t, int32_t&) {
  r_scratch_t& r = r_scratch;
  compress_atoms(r);
  compress_rows(r);
  compress_planes(r);
}
