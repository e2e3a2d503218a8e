// The atom and tree editors of a modification: they apply the atom and tree
// records of modification `mod` (rows from `first` to the end of the record
// table that carry its code) to L1.  Deleted items are only marked (blank
// names, plane slots of four zero bytes) and their deletion flags raised;
// the caller removes them afterwards.  Both always return ierr 0.
#pragma once

#include <cstdint>
#include <string_view>

// Deletes, changes (charge, element, energy type, name) and adds atoms.
// istart and ifinish report a tree end moved by the deletion of an end atom.
// Writes r_scratch L1 atoms and the names of every L1 row.
void mod_amlib_(int32_t mdoc, std::string_view mod, int32_t ia, std::string_view tree,
                int32_t& istart, int32_t& ifinish, int32_t& idela, int32_t& ideln, int32_t& idelb,
                int32_t& idelg, int32_t& idelt, int32_t& idelc, int32_t& idelp, int32_t& ierr);
// Changes the tree links of atoms and the extra connections.  istart_old and
// ifinish_old report an old first or last atom given a back or forward atom;
// istart and ifinish the atoms a record names as new tree ends.
// Writes r_scratch L1 atoms (l1a_back, l1a_forw, l1a_type) and l1n_ rows.
void mod_nmlib_(int32_t mdoc, std::string_view mod, int32_t in, std::string_view tree,
                int32_t& istart, int32_t& ifinish, int32_t& istart_old, int32_t& ifinish_old,
                int32_t& idel, int32_t& ierr);
