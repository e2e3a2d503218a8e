// Atoms of a residue that its description does not cover (model atoms
// flagged "U", "D" or "N"): they still belong in the new coordinate and
// structure files, numbered after the residue's described atoms.
#pragma once

#include <cstdint>

// One coordinate row on crdinf.cro_iun and one structure row on
// crdinf.crso_iun per uncovered atom of model atoms ias..iaf, with serials
// after the kept residue's (c2_iglobal + c2_igatm + k).  ierr is the status
// of the last row written (0 when nothing was written).
// Writes crdatm, crdstr.
void copy2_u_atoms_(int32_t mdoc, int32_t ig, int32_t ir, int32_t ias, int32_t iaf, int32_t& ierr);

// The same coordinate rows numbered after the current residue's
// (c1_iglobal + c1_igatm + k), without structure rows.
// Writes crdatm, crdstr.st_chem.
void copy_u_atoms_(int32_t mdoc, int32_t ig, int32_t ir, int32_t ias, int32_t iaf, int32_t& ierr);
