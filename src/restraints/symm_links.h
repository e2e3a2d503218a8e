// Links of the model to symmetry copies: for each link whose symmetry codes
// are not both the identity, the operator and lattice translation that
// bring the first atom nearest to the second, an information line and one
// bond record "BNDS" per compatible pair of alternate positions; for each
// link inside the asymmetric unit that the chain walk did not cover, the
// two atoms become extra neighbours of each other in atom_str.
#pragma once

#include <cstdint>
#include <string_view>

#include "dictionary/lib_com.h"
#include "restraints/atom_lookup.h"
#include "runtime/array.h"
#include "runtime/fixed_text.h"

namespace restraints {

// The positions of one link atom in the model.
struct ModelPositions {
  int32_t n = 0;
  rt::Array1<rt::FixedText<2>, MX1ALT> corr;  // correction code, alternate code
  rt::Array2<float, 3, MX1ALT> x;
  rt::Array1<int32_t, MX1ALT> iat;  // model atom
  rt::Array1<int32_t, MX1ALT> ifl;  // 1 with occupancy above 0.0001
  rt::FixedText<4> chem;            // energy type of the last position
};

}  // namespace restraints

// Every model link, in order.  Records and messages only with restr_flag
// 'A'; list and symm_flag are not consulted.  A pair of positions whose
// nearest image lies beyond the reach of a bond gets a warning, no record.
// ierr: 0, or the status of a failed block title.
// Writes r_scratch lll_ilink, atom_str as_iextr/as_iextr2, crdrst.rs_nbnds.
void dscr_links_symm_(int32_t mdoc, char list, char restr_flag, char symm_flag, int32_t& ierr);
// The positions of atom `atom` in residue ir with alternate code alt ('.'
// any); ic and symm are not consulted; at most MX1ALT positions are kept.
void srch_num_link_(int32_t mdoc, int32_t ic, int32_t ir, std::string_view atom, char alt,
                    std::string_view symm, restraints::ModelPositions& p, int32_t& ierr);
// 'Y' when positions with codes corr[0], corr[1] match the link row's
// alternate codes alt1, alt2.
void chk_alt_symm_(const rt::FixedText<2>* corr, char alt1, char alt2, char& check);
// The operator (the lowest of the nearest, the identity last) and
// translation that bring x1 nearest to x2; symm1 becomes its code ("s_ddd",
// digit = translation + 5), symm2 ".", dobs the distance.  Without any
// operator, or with a translation outside -5..4 that no digit holds, the
// codes and dobs stay as they are.
void change_link_symm_(rt::FixedText<8>& symm1, rt::FixedText<8>& symm2, const float* x1,
                       const float* x2, int32_t ia, int32_t ja, float& dobs);
// Squared orthogonal distance of fractional points zz and xx with each
// difference brought into [-0.5, 0.5); itx..itz the cells added to zz.
void calc_dist_symm_link_(const float* zz, const float* xx, float& d2, int32_t& itx, int32_t& ity,
                          int32_t& itz);
// x (orthogonal) moved by symmetry code symm in place; the identity, a code
// without "_" at place 2 to 4 or an unknown operator leave it unchanged.
void get_symm_coor_(std::string_view symm, float* x);
// The three comment lines before the first symmetry-link block (text form).
void wrt_t_symm_(int32_t mdoc, int32_t& ierr);
