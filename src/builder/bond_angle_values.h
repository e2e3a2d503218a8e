// Bond and angle rows of a new monomer in L1 with their observed and ideal
// values: the energy library first, then its generic per-type values, then a
// plausible observed value, then fixed defaults; and the angles of
// three-membered rings from their ideal sides.
#pragma once

#include <cstdint>
#include <string_view>

// Bond i1-i2: reuses the row that names the pair (keeping its type) or opens
// a "coval" row.  ierr 1 (two error lines) when the table is full.
// Writes r_scratch l1b_ rows.
void set_vbond_(int32_t mdoc, std::string_view mon, int32_t i1, int32_t i2, int32_t& ierr);

// Appends the angle i1-i2-i3 (vertex i2); no look-up of an existing row.
// ierr 1 (two error lines) when the table is full.  Writes r_scratch l1g_ rows.
void set_vangl_(int32_t mdoc, std::string_view mon, int32_t i1, int32_t i2, int32_t i3,
                int32_t& ierr);

// Every triangle of bond rows gets the angles of its ideal sides.  ierr 0.
// Writes r_scratch l1g_ rows.
void set_triangle_angles_(int32_t mdoc, char list, int32_t& ierr);

// The three angles of triangle ia1-ia2-ia3 whose sides are among bond rows
// i, j, k.  ierr 1 when the angle table is full.  Writes r_scratch l1g_ rows.
void set_tangle_value_(int32_t mdoc, std::string_view mon, int32_t i, int32_t j, int32_t k,
                       int32_t ia1, int32_t ia2, int32_t ia3, int32_t& ierr);
