// Copies between the work descriptions L1 and L2 and between the residues C1
// and C2 with their structure parts.  Each member is listed once as a pair of
// member pointers, so the C1/C2 copy serves both directions and no member
// can be forgotten in one of them.
#include "dictionary/work_copies.h"

#include <algorithm>
#include <tuple>

#include "dictionary/lib_com.h"
#include "foundation/messages.h"

namespace {

template <typename M>
struct Pair {
  M r_scratch_t::*one;
  M r_scratch_t::*two;
};
// Spelled out for compilers without deduction for aggregates.
template <typename M>
Pair(M r_scratch_t::*, M r_scratch_t::*) -> Pair<M>;

// Rows 1..n of a per-item column, or whole columns 1..n of a per-item table.
template <typename T, int N, int Lo>
void copy_rows(const rt::Array1<T, N, Lo>& from, rt::Array1<T, N, Lo>& to, int n) {
  std::copy_n(from.data(), std::min(n, N), to.data());
}
template <typename T, int N1, int N2>
void copy_rows(const rt::Array2<T, N1, N2>& from, rt::Array2<T, N1, N2>& to, int n) {
  std::copy_n(from.data(), N1 * std::min(n, N2), to.data());
}
template <typename T>
void copy_rows(const T& from, T& to, int) {
  to = from;
}

template <typename Tuple>
void copy_members(const Tuple& members, bool one_to_two, int n) {
  r_scratch_t& r = r_scratch;
  std::apply(
      [&](const auto&... p) {
        ((one_to_two ? copy_rows(r.*(p.one), r.*(p.two), n) : copy_rows(r.*(p.two), r.*(p.one), n)),
         ...);
      },
      members);
}

// The first k entries of column i of a per-atom list.
template <typename T, int N1, int N2>
void copy_list(const rt::Array2<T, N1, N2>& from, rt::Array2<T, N1, N2>& to, int i, int k) {
  std::copy_n(from.column(i), std::clamp(k, 0, N1), to.column(i));
}

// The residue header, per-atom fields and the tree flag of C1/S1 and C2/S2.
const auto kResidueScalars =
    std::make_tuple(Pair{&r_scratch_t::c1_natom, &r_scratch_t::c2_natom},
                    Pair{&r_scratch_t::c1_iglobal, &r_scratch_t::c2_iglobal},
                    Pair{&r_scratch_t::c1_igatm, &r_scratch_t::c2_igatm},
                    Pair{&r_scratch_t::c1_ires, &r_scratch_t::c2_ires},
                    Pair{&r_scratch_t::c1_igres, &r_scratch_t::c2_igres},
                    Pair{&r_scratch_t::c1_ich, &r_scratch_t::c2_ich},
                    Pair{&r_scratch_t::c1_rname, &r_scratch_t::c2_rname},
                    Pair{&r_scratch_t::c1_code1, &r_scratch_t::c2_code1},
                    Pair{&r_scratch_t::c1_pnum, &r_scratch_t::c2_pnum},
                    Pair{&r_scratch_t::c1_rtype, &r_scratch_t::c2_rtype},
                    Pair{&r_scratch_t::c1_s_term, &r_scratch_t::c2_s_term},
                    Pair{&r_scratch_t::c1_f_term, &r_scratch_t::c2_f_term},
                    Pair{&r_scratch_t::s1_ftree, &r_scratch_t::s2_ftree});

const auto kResidueAtoms =
    std::make_tuple(Pair{&r_scratch_t::c1_xyz, &r_scratch_t::c2_xyz},
                    Pair{&r_scratch_t::c1_csd, &r_scratch_t::c2_csd},
                    Pair{&r_scratch_t::c1_biso, &r_scratch_t::c2_biso},
                    Pair{&r_scratch_t::c1_bsd, &r_scratch_t::c2_bsd},
                    Pair{&r_scratch_t::c1_anis, &r_scratch_t::c2_anis},
                    Pair{&r_scratch_t::c1_asd, &r_scratch_t::c2_asd},
                    Pair{&r_scratch_t::c1_occ, &r_scratch_t::c2_occ},
                    Pair{&r_scratch_t::c1_osd, &r_scratch_t::c2_osd},
                    Pair{&r_scratch_t::c1_user, &r_scratch_t::c2_user},
                    Pair{&r_scratch_t::c1_nalt, &r_scratch_t::c2_nalt},
                    Pair{&r_scratch_t::c1_ialt, &r_scratch_t::c2_ialt},
                    Pair{&r_scratch_t::c1_sf_id, &r_scratch_t::c2_sf_id},
                    Pair{&r_scratch_t::c1_aname, &r_scratch_t::c2_aname},
                    Pair{&r_scratch_t::c1_aname_inp, &r_scratch_t::c2_aname_inp},
                    Pair{&r_scratch_t::c1_asymb, &r_scratch_t::c2_asymb},
                    Pair{&r_scratch_t::c1_atype, &r_scratch_t::c2_atype},
                    Pair{&r_scratch_t::c1_alt, &r_scratch_t::c2_alt},
                    Pair{&r_scratch_t::c1_corr, &r_scratch_t::c2_corr},
                    Pair{&r_scratch_t::c1_btype, &r_scratch_t::c2_btype},
                    Pair{&r_scratch_t::c1_fsc, &r_scratch_t::c2_fsc},
                    Pair{&r_scratch_t::c1_fsa, &r_scratch_t::c2_fsa},
                    Pair{&r_scratch_t::c1_fus, &r_scratch_t::c2_fus},
                    Pair{&r_scratch_t::c1_hflag, &r_scratch_t::c2_hflag},
                    Pair{&r_scratch_t::s1_vdw, &r_scratch_t::s2_vdw},
                    Pair{&r_scratch_t::s1_ion, &r_scratch_t::s2_ion},
                    Pair{&r_scratch_t::s1_char, &r_scratch_t::s2_char},
                    Pair{&r_scratch_t::s1_dist, &r_scratch_t::s2_dist},
                    Pair{&r_scratch_t::s1_tht, &r_scratch_t::s2_tht},
                    Pair{&r_scratch_t::s1_psi, &r_scratch_t::s2_psi},
                    Pair{&r_scratch_t::s1_inew, &r_scratch_t::s2_inew},
                    Pair{&r_scratch_t::s1_iold, &r_scratch_t::s2_iold},
                    Pair{&r_scratch_t::s1_ilib, &r_scratch_t::s2_ilib},
                    Pair{&r_scratch_t::s1_icrd, &r_scratch_t::s2_icrd},
                    Pair{&r_scratch_t::s1_ndist, &r_scratch_t::s2_ndist},
                    Pair{&r_scratch_t::s1_conn, &r_scratch_t::s2_conn},
                    Pair{&r_scratch_t::s1_lencon, &r_scratch_t::s2_lencon},
                    Pair{&r_scratch_t::s1_nextr, &r_scratch_t::s2_nextr},
                    Pair{&r_scratch_t::s1_iextr, &r_scratch_t::s2_iextr},
                    Pair{&r_scratch_t::s1_iback, &r_scratch_t::s2_iback},
                    Pair{&r_scratch_t::s1_iforw, &r_scratch_t::s2_iforw},
                    Pair{&r_scratch_t::s1_ichem, &r_scratch_t::s2_ichem},
                    Pair{&r_scratch_t::s1_istart, &r_scratch_t::s2_istart},
                    Pair{&r_scratch_t::s1_ifinish, &r_scratch_t::s2_ifinish},
                    Pair{&r_scratch_t::s1_conn_s, &r_scratch_t::s2_conn_s},
                    Pair{&r_scratch_t::s1_conn_f, &r_scratch_t::s2_conn_f},
                    Pair{&r_scratch_t::s1_back, &r_scratch_t::s2_back},
                    Pair{&r_scratch_t::s1_forw, &r_scratch_t::s2_forw},
                    Pair{&r_scratch_t::s1_chem, &r_scratch_t::s2_chem},
                    Pair{&r_scratch_t::s1_hbt, &r_scratch_t::s2_hbt},
                    Pair{&r_scratch_t::s1_id_psi, &r_scratch_t::s2_id_psi});

// The L1 header and atom-list scalars.
const auto kDescrScalars =
    std::make_tuple(Pair{&r_scratch_t::l1l_natm, &r_scratch_t::l2l_natm},
                    Pair{&r_scratch_t::l1l_nhatm, &r_scratch_t::l2l_nhatm},
                    Pair{&r_scratch_t::l1l_mname, &r_scratch_t::l2l_mname},
                    Pair{&r_scratch_t::l1l_mname2, &r_scratch_t::l2l_mname2},
                    Pair{&r_scratch_t::l1l_code1, &r_scratch_t::l2l_code1},
                    Pair{&r_scratch_t::l1l_name, &r_scratch_t::l2l_name},
                    Pair{&r_scratch_t::l1l_form, &r_scratch_t::l2l_form},
                    Pair{&r_scratch_t::l1l_type, &r_scratch_t::l2l_type},
                    Pair{&r_scratch_t::l1l_mode, &r_scratch_t::l2l_mode},
                    Pair{&r_scratch_t::l1l_fuse, &r_scratch_t::l2l_fuse},
                    Pair{&r_scratch_t::l1l_hflag, &r_scratch_t::l2l_hflag},
                    Pair{&r_scratch_t::l1l_prsnt, &r_scratch_t::l2l_prsnt},
                    Pair{&r_scratch_t::l1a_natom, &r_scratch_t::l2a_natom},
                    Pair{&r_scratch_t::l1a_nhatom, &r_scratch_t::l2a_nhatom},
                    Pair{&r_scratch_t::l1a_igatm, &r_scratch_t::l2a_igatm},
                    Pair{&r_scratch_t::l1a_istart, &r_scratch_t::l2a_istart},
                    Pair{&r_scratch_t::l1a_ifinish, &r_scratch_t::l2a_ifinish},
                    Pair{&r_scratch_t::l1a_i2start, &r_scratch_t::l2a_i2start},
                    Pair{&r_scratch_t::l1a_i2finish, &r_scratch_t::l2a_i2finish});

// Per-atom fields L2 shares with L1 (L2 has no ring flatness and no chirality mark).
const auto kDescrAtoms = std::make_tuple(
    Pair{&r_scratch_t::l1a_aname, &r_scratch_t::l2a_aname},
    Pair{&r_scratch_t::l1a_symb, &r_scratch_t::l2a_symb},
    Pair{&r_scratch_t::l1a_chem, &r_scratch_t::l2a_chem},
    Pair{&r_scratch_t::l1a_type, &r_scratch_t::l2a_type},
    Pair{&r_scratch_t::l1a_back, &r_scratch_t::l2a_back},
    Pair{&r_scratch_t::l1a_forw, &r_scratch_t::l2a_forw},
    Pair{&r_scratch_t::l1a_atype, &r_scratch_t::l2a_atype},
    Pair{&r_scratch_t::l1a_coor_flag, &r_scratch_t::l2a_coor_flag},
    Pair{&r_scratch_t::l1a_id_psi, &r_scratch_t::l2a_id_psi},
    Pair{&r_scratch_t::l1a_charg, &r_scratch_t::l2a_charg},
    Pair{&r_scratch_t::l1a_x, &r_scratch_t::l2a_x}, Pair{&r_scratch_t::l1a_y, &r_scratch_t::l2a_y},
    Pair{&r_scratch_t::l1a_z, &r_scratch_t::l2a_z},
    Pair{&r_scratch_t::l1a_length, &r_scratch_t::l2a_length},
    Pair{&r_scratch_t::l1a_theta, &r_scratch_t::l2a_theta},
    Pair{&r_scratch_t::l1a_phi, &r_scratch_t::l2a_phi},
    Pair{&r_scratch_t::l1a_inew, &r_scratch_t::l2a_inew},
    Pair{&r_scratch_t::l1a_iold, &r_scratch_t::l2a_iold},
    Pair{&r_scratch_t::l1a_icr, &r_scratch_t::l2a_icr},
    Pair{&r_scratch_t::l1a_iback, &r_scratch_t::l2a_iback},
    Pair{&r_scratch_t::l1a_iforw, &r_scratch_t::l2a_iforw},
    Pair{&r_scratch_t::l1a_ndist, &r_scratch_t::l2a_ndist},
    Pair{&r_scratch_t::l1a_nextr, &r_scratch_t::l2a_nextr},
    Pair{&r_scratch_t::l1a_ichem, &r_scratch_t::l2a_ichem},
    Pair{&r_scratch_t::l1a_nring, &r_scratch_t::l2a_nring},
    Pair{&r_scratch_t::l1a_sf_id, &r_scratch_t::l2a_sf_id});

const auto kConnRows = std::make_tuple(Pair{&r_scratch_t::l1n_1atm, &r_scratch_t::l2n_1atm},
                                       Pair{&r_scratch_t::l1n_2atm, &r_scratch_t::l2n_2atm},
                                       Pair{&r_scratch_t::l1n_i1atm, &r_scratch_t::l2n_i1atm},
                                       Pair{&r_scratch_t::l1n_i2atm, &r_scratch_t::l2n_i2atm},
                                       Pair{&r_scratch_t::l1n_type, &r_scratch_t::l2n_type});

const auto kBondRows = std::make_tuple(Pair{&r_scratch_t::l1b_1atm, &r_scratch_t::l2b_1atm},
                                       Pair{&r_scratch_t::l1b_2atm, &r_scratch_t::l2b_2atm},
                                       Pair{&r_scratch_t::l1b_i1atm, &r_scratch_t::l2b_i1atm},
                                       Pair{&r_scratch_t::l1b_i2atm, &r_scratch_t::l2b_i2atm},
                                       Pair{&r_scratch_t::l1b_type, &r_scratch_t::l2b_type},
                                       Pair{&r_scratch_t::l1b_val, &r_scratch_t::l2b_val},
                                       Pair{&r_scratch_t::l1b_dev, &r_scratch_t::l2b_dev},
                                       Pair{&r_scratch_t::l1b_vobs, &r_scratch_t::l2b_vobs},
                                       Pair{&r_scratch_t::l1b_eval, &r_scratch_t::l2b_eval},
                                       Pair{&r_scratch_t::l1b_flag, &r_scratch_t::l2b_flag});

const auto kAngleRows = std::make_tuple(Pair{&r_scratch_t::l1g_1atm, &r_scratch_t::l2g_1atm},
                                        Pair{&r_scratch_t::l1g_2atm, &r_scratch_t::l2g_2atm},
                                        Pair{&r_scratch_t::l1g_3atm, &r_scratch_t::l2g_3atm},
                                        Pair{&r_scratch_t::l1g_i1atm, &r_scratch_t::l2g_i1atm},
                                        Pair{&r_scratch_t::l1g_i2atm, &r_scratch_t::l2g_i2atm},
                                        Pair{&r_scratch_t::l1g_i3atm, &r_scratch_t::l2g_i3atm},
                                        Pair{&r_scratch_t::l1g_val, &r_scratch_t::l2g_val},
                                        Pair{&r_scratch_t::l1g_dev, &r_scratch_t::l2g_dev},
                                        Pair{&r_scratch_t::l1g_vobs, &r_scratch_t::l2g_vobs},
                                        Pair{&r_scratch_t::l1g_eval, &r_scratch_t::l2g_eval},
                                        Pair{&r_scratch_t::l1g_flag, &r_scratch_t::l2g_flag});

const auto kTorsionRows = std::make_tuple(Pair{&r_scratch_t::l1t_1atm, &r_scratch_t::l2t_1atm},
                                          Pair{&r_scratch_t::l1t_2atm, &r_scratch_t::l2t_2atm},
                                          Pair{&r_scratch_t::l1t_3atm, &r_scratch_t::l2t_3atm},
                                          Pair{&r_scratch_t::l1t_4atm, &r_scratch_t::l2t_4atm},
                                          Pair{&r_scratch_t::l1t_i1atm, &r_scratch_t::l2t_i1atm},
                                          Pair{&r_scratch_t::l1t_i2atm, &r_scratch_t::l2t_i2atm},
                                          Pair{&r_scratch_t::l1t_i3atm, &r_scratch_t::l2t_i3atm},
                                          Pair{&r_scratch_t::l1t_i4atm, &r_scratch_t::l2t_i4atm},
                                          Pair{&r_scratch_t::l1t_label, &r_scratch_t::l2t_label},
                                          Pair{&r_scratch_t::l1t_prd, &r_scratch_t::l2t_prd},
                                          Pair{&r_scratch_t::l1t_val, &r_scratch_t::l2t_val},
                                          Pair{&r_scratch_t::l1t_dev, &r_scratch_t::l2t_dev},
                                          Pair{&r_scratch_t::l1t_vobs, &r_scratch_t::l2t_vobs},
                                          Pair{&r_scratch_t::l1t_eval, &r_scratch_t::l2t_eval},
                                          Pair{&r_scratch_t::l1t_flag, &r_scratch_t::l2t_flag});

const auto kChiralRows = std::make_tuple(Pair{&r_scratch_t::l1c_1atm, &r_scratch_t::l2c_1atm},
                                         Pair{&r_scratch_t::l1c_2atm, &r_scratch_t::l2c_2atm},
                                         Pair{&r_scratch_t::l1c_3atm, &r_scratch_t::l2c_3atm},
                                         Pair{&r_scratch_t::l1c_4atm, &r_scratch_t::l2c_4atm},
                                         Pair{&r_scratch_t::l1c_5atm, &r_scratch_t::l2c_5atm},
                                         Pair{&r_scratch_t::l1c_6atm, &r_scratch_t::l2c_6atm},
                                         Pair{&r_scratch_t::l1c_7atm, &r_scratch_t::l2c_7atm},
                                         Pair{&r_scratch_t::l1c_8atm, &r_scratch_t::l2c_8atm},
                                         Pair{&r_scratch_t::l1c_9atm, &r_scratch_t::l2c_9atm},
                                         Pair{&r_scratch_t::l1c_i1atm, &r_scratch_t::l2c_i1atm},
                                         Pair{&r_scratch_t::l1c_i2atm, &r_scratch_t::l2c_i2atm},
                                         Pair{&r_scratch_t::l1c_i3atm, &r_scratch_t::l2c_i3atm},
                                         Pair{&r_scratch_t::l1c_i4atm, &r_scratch_t::l2c_i4atm},
                                         Pair{&r_scratch_t::l1c_i5atm, &r_scratch_t::l2c_i5atm},
                                         Pair{&r_scratch_t::l1c_i6atm, &r_scratch_t::l2c_i6atm},
                                         Pair{&r_scratch_t::l1c_i7atm, &r_scratch_t::l2c_i7atm},
                                         Pair{&r_scratch_t::l1c_i8atm, &r_scratch_t::l2c_i8atm},
                                         Pair{&r_scratch_t::l1c_i9atm, &r_scratch_t::l2c_i9atm},
                                         Pair{&r_scratch_t::l1c_sign, &r_scratch_t::l2c_sign},
                                         Pair{&r_scratch_t::l1c_vol, &r_scratch_t::l2c_vol},
                                         Pair{&r_scratch_t::l1c_vobs, &r_scratch_t::l2c_vobs},
                                         Pair{&r_scratch_t::l1c_evol, &r_scratch_t::l2c_evol},
                                         Pair{&r_scratch_t::l1c_flag, &r_scratch_t::l2c_flag});

const auto kPlaneRows = std::make_tuple(Pair{&r_scratch_t::l1p_natom, &r_scratch_t::l2p_natom},
                                        Pair{&r_scratch_t::l1p_label, &r_scratch_t::l2p_label});

void copy_residue(int32_t mdoc, bool one_to_two, int32_t& ierr) {
  const int32_t n = one_to_two ? r_scratch.c1_natom : r_scratch.c2_natom;
  if (n <= 0) {
    msgerr_(mdoc, one_to_two ? " ERR: C1 --> C2 number of atoms =0"
                             : " ERR: C2 --> C1 number of atoms =0");
    ierr = 1;
    return;
  }
  copy_members(kResidueScalars, one_to_two, 0);
  copy_members(kResidueAtoms, one_to_two, n);
}

}  // namespace

void copyl2_(int32_t mdoc, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  if (r.l1a_natom < 1) {
    msgerr_(mdoc, " ERROR : L1A --> L2A number of atoms =0");
    ierr = 1;
    return;
  }
  const int natom = std::min(r.l1a_natom, MAX1ATM);
  copy_members(kDescrScalars, true, 0);
  copy_members(kDescrAtoms, true, natom);
  for (int i = 1; i <= natom; ++i) {
    copy_list(r.l1a_conn, r.l2a_conn, i, r.l1a_ndist(i));
    copy_list(r.l1a_lencon, r.l2a_lencon, i, r.l1a_ndist(i));
    copy_list(r.l1a_iextr, r.l2a_iextr, i, r.l1a_nextr(i));
    copy_list(r.l1a_textr, r.l2a_textr, i, r.l1a_nextr(i));
    copy_list(r.l1a_ring_id, r.l2a_ring_id, i, r.l1a_nring(i));
    copy_list(r.l1a_ring_ord, r.l2a_ring_ord, i, r.l1a_nring(i));
  }
  r.l2n_nconn = r.l1n_nconn;
  copy_members(kConnRows, true, r.l1n_nconn);
  r.l2b_nbond = r.l1b_nbond;
  copy_members(kBondRows, true, r.l1b_nbond);
  r.l2g_nangl = r.l1g_nangl;
  copy_members(kAngleRows, true, r.l1g_nangl);
  r.l2t_ntors = r.l1t_ntors;
  copy_members(kTorsionRows, true, r.l1t_ntors);
  r.l2c_nchir = r.l1c_nchir;
  copy_members(kChiralRows, true, r.l1c_nchir);
  r.l2p_nplan = r.l1p_nplan;
  copy_members(kPlaneRows, true, r.l1p_nplan);
  for (int p = 1; p <= std::min(r.l1p_nplan, MAX1PLN); ++p) {
    const int k = r.l1p_natom(p);
    copy_list(r.l1p_atom, r.l2p_atom, p, k);
    copy_list(r.l1p_iatom, r.l2p_iatom, p, k);
    copy_list(r.l1p_dev, r.l2p_dev, p, k);
    copy_list(r.l1p_dobs, r.l2p_dobs, p, k);
    copy_list(r.l1p_edev, r.l2p_edev, p, k);
    copy_list(r.l1p_flag, r.l2p_flag, p, k);
  }
}

void copyc2_(int32_t mdoc, int32_t& ierr) { copy_residue(mdoc, true, ierr); }

void copyc1_(int32_t mdoc, int32_t& ierr) { copy_residue(mdoc, false, ierr); }
