// Observed and derived values inside the current residue.  Positions are
// places in the tree order of C1 (mapped through s1_inew); an atom takes
// part only with an occupancy of at least 0.001, and any atom that does not
// (or a place that maps to no atom) makes the result 0.  Angles are degrees.
#pragma once

#include <cstdint>
#include <string_view>

void calc_idobs_(int32_t i1, int32_t i2, float& dobs);
// Bond angle at i2, 0..180.
void calc_iangobs_(int32_t i1, int32_t i2, int32_t i3, float& angobs);
// Torsion i1-i2-i3-i4, snapped to 180 or 0 within 0.1.
void calc_itrsobs_(int32_t i1, int32_t i2, int32_t i3, int32_t i4, float& angobs);
// Chiral volume about the centre i1 and the signed angle between the planes
// through the axis i1-i2 and the bonds to i3 and i4.
void calc_i_ovol_(int32_t i1, int32_t i2, int32_t i3, int32_t i4, float& volobs, float& ph);
// 1-3 distance atm1..atm3 and its sd from the ideal bonds of L1 and the
// angle ang (sd dev); 0 when a bond is missing.
void calc_dist_angl_(float ang, float dev, std::string_view atm1, std::string_view atm2,
                     std::string_view atm3, float& dist, float& desd);
// 1-4 distance atm1..atm4 and its sd from three ideal bonds and two ideal
// angles of L1 and the torsion ang (sd dev); 0 when one is missing.
void calc_dist_tors_(float ang, float dev, std::string_view atm1, std::string_view atm2,
                     std::string_view atm3, std::string_view atm4, float& dist, float& desd);
// Signed deviations of the atoms at places iatm[0..n-1] from their best
// plane; nn the atoms with coordinates (not 'M', occupancy above 0.001).
// Atoms left out, and all of them when nn < 4, get 0.
void calc_ipldev_(int32_t n, int32_t& nn, const int32_t* iatm, float* dobs);
