// Links between consecutive residues of each chain: peptides (trans and cis,
// proline and N-methyl kinds), nucleic-acid phosphates, glycosidic links of
// pyranoses, caps and special residues, links named in the input, and gaps.
#pragma once

#include <cstdint>

// Walks every chain along its residue tree and gives each residue the
// connection type of the link to the residue before it (a peptide or
// phosphate connection only where its atoms are within 1.3 times the ideal
// bond, else a gap, also for a residue the residue types do not link; a
// peptide link to a proline in the proline form); non-standard links
// and the modifications links demand enter the model tables.  list "S"
// silences every line, "M" the lines about missing atoms and gaps.  Rows
// 1..ln_n_init of link_inf came with the input.  nsug counts the sugar links
// made or confirmed.  dnew is not consulted.  ierr 1 for a broken residue
// tree or a full modification table.
// Writes resid_inf iconn_type, link_inf, mod_inf, r_scratch iflag_stor,
// x_stor, y_stor, z_stor and lll_fuse.
void def_conn_(int32_t mmdoc, char list, char conn_flag, char cis_flag, char sugar_flag,
               int32_t ln_n_init, char& dnew, int32_t& nsug, int32_t& ierr);

// Length of the bond of library link ilink between the atoms in the two sides
// of the link-atom store, the shorter of the two assignments (irevers 1 when
// the reversed one).  idist -1 not measurable, 0 within 1.3 times the ideal
// length dist_idl, 1 too long or atoms absent; ia1, ia2 the link's slots.
void calc_conn_dist_(int32_t ilink, float& dist_idl, float& dist, int32_t& idist, int32_t& ia1,
                     int32_t& ia2, int32_t& irevers);

// Peptide torsion CA-C-N-CA (degrees, 0..360) between the two sides of the
// link-atom store; ierr 1 when an atom is missing.
void calc_pep_bond_angle_(int32_t mdoc, float& angobs, int32_t& ierr);

namespace connect {

// Peptide links of the link table that the walk along a chain did not make
// (between residues of two chains, such as a residue written as HETATM
// between the ATOM records of its chain, joined to its neighbours by LINK
// records or found by distance; or a bond a connection row names inside a
// chain) take the form the model shows, as the walk gives its own links: a
// link to a proline (the residue on the N side) takes the proline form and
// that form's modifications, whatever the flag; with cis_flag "Y", a trans
// link over an omega below 90 degrees becomes the cis link of its kind, and
// a cis link over an omega above 90 degrees that no input row named (rows
// 1..ln_n_init came with the input) becomes trans; each cis or trans change
// is reported.  A pair the walk links under the row's old name follows it.
// Writes link_inf ln_id and ln_dist, resid_inf iconn_type, mod_inf.
void peptide_link_forms(int32_t mdoc, char cis_flag, int32_t ln_n_init);

}  // namespace connect
