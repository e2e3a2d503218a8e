// The arrangement of a metal centre's neighbours, recognised from the
// coordinates or from the ideal angles, written as a chiral-table row.
#pragma once

#include <cstdint>
#include <string_view>

// From the coordinates: a tetrahedral centre gets a "both" row, an axis with
// side atoms a "cross" row and the angle and torsion correction.  ierr 0 a
// row written or none needed, 1 no known arrangement, 2 a neighbour without
// coordinates, 3 the chiral table full.  Writes r_scratch l1c_ rows, l1g_val,
// l1t_ rows.
void metal_chir_from_coord_(int32_t mdoc, char list, std::string_view mon, int32_t ia, int32_t nc,
                            const int32_t* ibond, int32_t& ierr);

// The same from the ideal angles of the description, for two to four
// neighbours.  ierr 0, 1 not recognised, the look-up status of a missing
// angle, 3 the chiral table full.
// Writes r_scratch l1c_ rows, l1g_val, l1t_ rows.
void check_default_met_chir_(int32_t mdoc, std::string_view mon, int32_t ia, int32_t nc,
                             const int32_t* ibond, char list, int32_t& ierr);
