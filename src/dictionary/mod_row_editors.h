// The bond, angle, torsion, chiral-centre and plane editors of a
// modification: they apply the records of modification `mod` (rows from
// `first` to the end of each record table that carry its code) to L1.
// Items are found by atom names (a plane by its label); deleted rows are
// marked with blank names (a plane slot with four zero bytes) and idel
// raised, for the caller to remove.  Only the plane editor fails (ierr 1).
#pragma once

#include <cstdint>
#include <string_view>

// Writes r_scratch l1b_ rows.
void mod_bmlib_(int32_t mdoc, std::string_view mod, int32_t ib, int32_t& idel, int32_t& ierr);
// Writes r_scratch l1g_ rows.
void mod_gmlib_(int32_t mdoc, std::string_view mod, int32_t ig, int32_t& idel, int32_t& ierr);
// Writes r_scratch l1t_ rows.
void mod_tmlib_(int32_t mdoc, std::string_view mod, int32_t it, int32_t& idel, int32_t& ierr);
// Writes r_scratch l1c_ rows.
void mod_cmlib_(int32_t mdoc, std::string_view mod, int32_t ic, int32_t& idel, int32_t& ierr);
// ierr 1 when a plane would exceed the planes of L1 or a record holds more
// than 96 atoms.  Writes r_scratch l1p_ planes.
void mod_pmlib_(int32_t mdoc, std::string_view mod, int32_t ip, int32_t& idel, int32_t& ierr);
