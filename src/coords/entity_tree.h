// Tying the entity description read from an mmCIF file to the model after
// its atoms are stored: residue trees, connection and terminus codes of each
// chain from its entity, repaired into one tree per chain.
#pragma once

#include <cstdint>

// ierr 0, or the status of building the description from the model when the
// file brought none.
// Writes resid_inf, asym_part and the entity tables.
void copy_entity_tree_(int32_t mdoc, int32_t& ierr);

// Checks and repairs the residue tree over positions irs..irf of the
// 1-based arrays iback, iforw, itype (pointers to element 1): loops are cut,
// pieces joined with connection code 10 ("gap"), forward links threaded from
// istart to ifinish.  nres is not used; ierr is always 0.
void check_tree_crd_(int32_t mdoc, int32_t nres, int32_t& istart, int32_t& ifinish, int32_t irs,
                     int32_t irf, int32_t* iback, int32_t* iforw, int32_t* itype, int32_t& ierr);

// A peptide or polymer chain whose end residue holds an OXT atom gets the
// end terminus "COO" when its code is ".", "COO" or "TERMINUS".
// Writes asym_part, cif_entity_list.
void check_terminus_(int32_t mdoc, int32_t& ierr);
