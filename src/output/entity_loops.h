// The entity description written into an output mmCIF coordinate file: the
// residue sequences as the _entity_poly_seq loop and the links inside
// entities as the _entity_link loop, with the suite's own items for back
// connections, back neighbours, termini and link descriptions.  Both read
// cif_entity_list, cif_ent_poly_seq, cif_ent_link and write no table.
#pragma once

#include <cstdint>

// iun: the open output unit (0 none); ifirst: 0 until the category header
// has been written, then 1.  ierr 0; 1 a wrong entity tree (or the status
// of the last line written); 5 no open unit.
void wrt_entity_poly_(int32_t mdoc, int32_t iun, int32_t& ifirst, int32_t& ierr);
void wrt_entity_link_(int32_t mdoc, int32_t iun, int32_t& ifirst, int32_t& ierr);
