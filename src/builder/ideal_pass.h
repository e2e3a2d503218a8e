// The ideal-value pass of a new monomer in L1: bonds, angles and torsions
// made along the atom tree with observed and ideal values, then triangles,
// metal centres, ring torsions, chiral volumes and plane deviations; the
// "TEST" switch and the listing of the rows.
#pragma once

#include <cstdint>
#include <string_view>

// The whole pass.  list 'T' traces; nringt the number of rings.  ierr non-zero
// for a bad tree, a stack deeper than ten, a full table or a failed ring
// correction (with the closing warning).  Writes r_scratch l1b_, l1g_, l1t_,
// l1c_ rows and l1p_dobs.
void calc_vobsn_(int32_t mdoc, char list, std::string_view mon, int32_t nringt, int32_t& ierr);

// The bonds, angles and torsion made at tree atom i0; nv, nc the torsion
// counters.  ierr the first failing creation's status.
// Writes r_scratch l1b_, l1g_, l1t_ rows.
void calc_vobsnn_(int32_t mdoc, char list, int32_t i0, int32_t& nv, int32_t& nc,
                  std::string_view mon, int32_t& ierr);

// Observed deviations of the plane atoms.  ierr 0.  Writes r_scratch l1p_dobs.
void plan_rstr_(int32_t mdoc, int32_t& ierr);

// Observed values become ideal ("TEST" mode); untyped bonds become "coval".
// Writes r_scratch l1b_val, l1b_type, l1g_val, l1t_val.
void set_vobs_to_vidl_(int32_t mdoc, int32_t& ierr);

// Listing of the bond, angle, torsion, chiral and plane rows through msgdoc_
// when |mdoc| < 99.
// Writes no table.
void print_lib_lbc_(int32_t mdoc, int32_t& ierr);
