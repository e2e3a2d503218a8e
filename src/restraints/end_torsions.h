// Torsions at the two ends of the kept residue's tree (the residue in L2 and
// C2/S2), completed once the flag of the following residue is known: those
// near the tree start when the kept residue begins a fragment, and those of
// the forward atoms of the tree's last atom when a gap follows.  Ideal values
// go to l2a_phi and l2a_id_psi, measured ones to s2_psi and s2_id_psi.
#pragma once

#include <cstdint>

// Start torsions, then a walk of the L2 tree giving each atom's forward
// atoms their torsions.  ir, irs and irf are accepted and not read.  ierr 1
// when the tree is broken or too deep (with its warnings), else 0.
// Writes r_scratch s2_psi, s2_id_psi, l2a_phi, l2a_id_psi.
void calc_l_th_phi_(int32_t mdoc, char ch_flag, char ch_flag_old, int32_t ir, int32_t irs, int32_t irf,
                    int32_t& ierr);
// Torsions around the tree start of a kept residue that begins a fragment.
// Writes r_scratch s2_psi, s2_id_psi, l2a_phi, l2a_id_psi.
void init_lthph_(int32_t mdoc, char ch_flag, char ch_flag_old, int32_t& ierr);
// Torsions of the forward atoms of L2 atom il when il is the tree's last
// atom and a gap follows.
// Writes r_scratch s2_psi, s2_id_psi, l2a_phi, l2a_id_psi.
void calc_lthph_(int32_t mdoc, int32_t il, char ch_flag, char ch_flag_old, int32_t& ierr);
// Pseudo-torsion of S2 rows i3 and i4 about the centre i2 seen from i1
// (degrees): ph measured (iph 1) or the ideal value when the rows cannot be
// measured, ph_idl from the ideal angles at i2.  Writes nothing.
void calc_psi_s2_(int32_t i1, int32_t i2, int32_t i3, int32_t i4, int32_t& iph, float& ph,
                  float& ph_idl);
// Torsion i1-i2-i3-i4 of S2 rows less phf (degrees), snapped to 0 and 180
// within 0.1; the ideal value is the measured one when ifw < 1, else the
// offset from forward row ifw derived from the ideal angles at i3.  Row 0 as
// i1 or i2 stands for a fixed direction.  Writes nothing.
void calc_phi_s2_(int32_t i1, int32_t i2, int32_t i3, int32_t i4, int32_t ifw, int32_t& iph, float& ph,
                  float& ph_idl, float phf);
