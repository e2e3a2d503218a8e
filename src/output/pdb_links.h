// The model's links and modifications as PDB records: SSBOND, CISPEP and
// LINK from link_inf, MODRES from mod_inf.  Read link_inf, mod_inf,
// resid_inf and atom_inf; write no table.
#pragma once

#include <cstdint>

// iun: the open PDB unit; seg_flag 'Y' writes segment identifiers.  ierr 0;
// 1 a line failed (the records before it stay); 5 the unit is 0 while the
// table has entries.  An empty table writes nothing, whatever the unit.
void wrt_link_pdb_(int32_t mdoc, int32_t iun, char seg_flag, int32_t& ierr);
void wrt_mod_pdb_(int32_t mdoc, int32_t iun, char seg_flag, int32_t& ierr);
