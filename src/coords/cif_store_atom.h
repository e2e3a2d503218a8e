// Storing the atom of the one-atom record crdatm, as read by a CIF row
// reader, in the structure tables: a new chain when the group identifier
// changes, a new residue when the residue number text changes.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// cr_res_old: residue number text (5 characters) of the previous atom, in
// and out; cr_group_old: its group identifier; cr_ires_old in and out;
// cr_igroup_old is not used.  ierr 1 after a capacity message.  A new
// residue becomes the residue of the link rows that name it, by the author
// number, or by the file's sequence number where a connection row gave no
// author number (the row then takes the residue's author number).
// Writes atom_inf, atom_crd, resid_inf, asym_part, cif_asym_part, crst_crd, com_out_cif, crdatm,
// link_inf, mod_inf.
void set_atom_(int32_t mdoc, rt::TextRef cr_res_old, std::string_view cr_group_old,
               int32_t& cr_ires_old, int32_t cr_igroup_old, int32_t& ierr);

// After a CIF read: the residues at whose number the rows named more than one
// residue kind (alternate conformations that are different residues, which
// the rows keep in one residue of the first kind).  Each is reported as the
// PDB reader reports residues with one number (as many as its kinds), and
// ierr = 6; ierr = 0 when there is none.  Writes nothing shared.
void check_kinds_in_residues_(int32_t mdoc, int32_t& ierr);

namespace coords {

// The anisotropic U of crdatm (cr_anis) onto the stored atom whose serial is
// crdatm's cr_iatold; false when no atom of the model has that serial (an
// atom of a later model, or none).  Writes atom_inf, atom_crd.
bool set_atom_aniso(int32_t& cursor);

// The connection code that set_atom_ gives a residue of class `cls` named
// `rname` after the first of its chain, before any link row of the file.
int32_t connection_in_chain(int32_t cls, std::string_view rname);

// The chains of link rows were changed during the read: the next residue
// stored looks its link rows up afresh.
void link_rows_renamed();

}  // namespace coords
