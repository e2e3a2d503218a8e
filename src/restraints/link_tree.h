// Internal coordinates across a library link: the tree of the current
// residue (C1/S1/L1) continued into the residue before it (C2/S2/L2) by the
// link's bonds, angles, torsions, chiral centres and planes, with the
// serials that join the two trees (s1_conn_s, s2_conn_f).  Torsion codes
// written here: "vl"/"cl", "vll"/"cll", "vvv", "cO1T".."cO8T", "cO1C".."cO4C",
// "cO1P", "cO2P"; derived offsets only where the code is still "?".
#pragma once

#include <cstdint>
#include <string_view>

// link: the link id; irevers 1 reads the link from its second monomer to its
// first; conn_flag 'Y' writes the internal coordinates (any other value only
// looks the atoms up).  ierr 0 after the early returns (no link library, link
// not found, with their warnings), else as the last search left it.
// Writes r_scratch lll_ilink, l1a_length, l1a_theta, l1a_phi, l1a_id_psi,
// l2a_phi, l2a_id_psi, s1_dist, s1_tht, s1_psi, s1_id_psi, s1_conn_s,
// s2_psi, s2_id_psi, s2_conn_f.
void def_dist_th_ph_link_(int32_t mdoc, std::string_view link, int32_t irevers, char conn_flag, int32_t& ierr);
// The plane rows of link l (named link): 180-degree torsions at the join.
// Writes r_scratch l1a_phi, l1a_id_psi, s1_psi, s1_id_psi, s2_psi, s2_id_psi.
void iplan_dthph_l_(int32_t mdoc, int32_t l, std::string_view link, int32_t& ierr);
// One plane of n atoms: side iglb (1 current residue, 2 residue before),
// tree place iatm, alternate group iatm_a and coordinates xx (three each;
// the last two are not used).
// Writes r_scratch l1a_phi, l1a_id_psi, s1_psi, s1_id_psi, s2_psi, s2_id_psi.
void calc_dtp_plan_l_(int32_t mdoc, int32_t n, const int32_t* iglb, const int32_t* iatm, const int32_t* iatm_a,
                      const float* xx, int32_t& ierr);
