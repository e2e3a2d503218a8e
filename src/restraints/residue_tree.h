// Internal coordinates of the current residue along the atom tree of its
// library monomer: per atom the bond length to its back atom, the bond angle
// at the back atom and a torsion (or a pseudo-torsion about a branch point),
// taken from the monomer's bonds, angles, torsions, chiral centres and planes.
// Each value is kept twice: ideal in the L1 atom (l1a_length, l1a_theta,
// l1a_phi, l1a_id_psi) and measured on the model in the S1 row (s1_dist,
// s1_tht, s1_psi, s1_id_psi).  The torsion code tells the rebuild where a
// torsion came from; "?" marks one not given yet.
#pragma once

#include <cstdint>

// The whole tree of the residue in C1/S1 with its monomer in L1; ch_flag is
// the residue's position in the chain walk ('S', 'M', 'G' begin a
// fragment).  list 'T' prints trace lines.  ierr as the look-ups leave it.
// Writes r_scratch l1a_length, l1a_theta, l1a_phi, l1a_id_psi, l1c_vol,
// s1_dist, s1_tht, s1_psi, s1_id_psi.
void def_dist_th_ph_(int32_t mdoc, char list, char ch_flag, int32_t& ierr);
// Torsions fixed by the planes of L1 (nothing without planes).
// Writes r_scratch l1a_phi, l1a_id_psi, s1_psi, s1_id_psi.
void iplan_def_dthph_(int32_t mdoc, int32_t& ierr);
// One set of n plane atoms given by their tree places iatm[0..n-1].
// Writes r_scratch l1a_phi, l1a_id_psi, s1_psi, s1_id_psi.
void calc_dtp_plan_(int32_t mdoc, int32_t n, const int32_t* iatm, int32_t& ierr);
// The torsion l-k-j-i (L1 atoms) of a ring by the ring codes of their
// energy types: 0 or 180.  Writes nothing.
void check_ring_ph_(int32_t l, int32_t k, int32_t j, int32_t i, float& val);
