// Geometry on explicit coordinates and ideal values across a link: the
// observed distance, bond angle, torsion and plane deviations of given
// points, the 1-4 distance of a chain of three bonds, and the ideal 1-3 and
// 1-4 distances and chiral volume of atoms that lie in one or both monomers
// of a link.  Angles are degrees at the interfaces except for dist_14_.
//
// Side flags: ifl(k) names the work residue that holds atom k; atoms with
// equal flags lie in one monomer, whose ideal values come from the monomer
// dictionary, the others from the link's rows of the link dictionary.  A
// link angle row matches only where its stored side of each atom (1 the
// link's first monomer, 2 its second) plus one, 3 read as 1, is the flag of
// the atom matched to it.
#pragma once

#include <cmath>
#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

namespace restraints {

// Distance between the outer ends of bonds b1 and b2 at the angle a
// (radians).
float law_of_cosines(float b1, float b2, float a);

// Half the summed change of f when x moves by +-dx, at = f(x): the sd of a
// derived distance.
template <typename F>
float spread(F f, float x, float dx, float at) {
  return 0.5f * (std::fabs(at - f(x + dx)) + std::fabs(at - f(x - dx)));
}

// The 1-3 distance across an angle of ang degrees between bonds b1 and b2,
// and its sd for an angle sd of dev degrees.
void angle_distance(float b1, float b2, float ang, float dev, float& dist, float& desd);

// The 1-4 distance across a torsion of ang degrees on bonds b1, b2, b3 and
// angles a1, a2 (degrees), and its sd for a torsion sd of dev degrees.
void torsion_distance(float b1, float b2, float b3, float a1, float a2, float ang, float dev,
                      float& dist, float& desd);

}  // namespace restraints

// |xx2 - xx1|; the indices are not read.
void calc_idobs_l_(int32_t i1, int32_t i2, const float* xx1, const float* xx2, float& dobs);
// Bond angle at xx2 in degrees (0..180); ia1 = 0 takes (1, 0, 0) as the
// first bond.
void calc_iangobs_l_(int32_t ia1, int32_t ia2, int32_t ia3, const float* xx1, const float* xx2,
                     const float* xx3, float& angobs);
// Torsion xx1-xx2-xx3-xx4 in degrees, within 0.1 of 180 or 0 snapped to
// them; ia1 = 0 takes (1, 0, 0) as the first bond.
void calc_itrsobs_l_(int32_t ia1, int32_t ia2, int32_t ia3, int32_t ia4, const float* xx1,
                     const float* xx2, const float* xx3, const float* xx4, float& angobs);
// Distance between the ends of the chain of bonds av1, av2, av3 with the
// bond angles ang1, ang2 and the torsion phi (radians).
void dist_14_(float av1, float av2, float av3, float ang1, float ang2, float phi, float& dist);

// Ideal chiral volume (unsigned) of the centre latom[0] with the outer
// atoms latom[1..3] (four entries each array), and the three torsions
// (degrees) that the angles at the centre imply.  Bond lengths and angles
// come from the monomer or link dictionary, else from the energy library
// by the types lchem; an angle found nowhere is 110 degrees, a bond length
// found nowhere 0 (so the volume is 0).
void calc_iivol_l_(const int32_t* ifl, const rt::FixedText<8>* mon, const rt::FixedText<4>* latom,
                   const rt::FixedText<4>* lchem, std::string_view link, float& volidl, float& ph1,
                   float& ph2, float& ph3);
// 1-3 distance of latom[0..2] from the ideal bonds (link bonds searched from
// row lb) and the angle ang with its sd dev; dist = desd = 0 when a bond is
// unknown.
void calc_distl_angl_(float ang, float dev, int32_t lb, const int32_t* ifl,
                      const rt::FixedText<8>* mon, const rt::FixedText<4>* latom,
                      std::string_view link, float& dist, float& desd);
// 1-4 distance of latom[0..3] from three ideal bonds (from link row lb), two
// ideal angles (from link row lg) and the torsion ang with its sd dev.
void calc_distl_tors_(float ang, float dev, int32_t lb, int32_t lg, const int32_t* ifl,
                      const rt::FixedText<8>* mon, const rt::FixedText<4>* latom,
                      std::string_view link, float& dist, float& desd);
// Signed deviations dobs[0..n-1] of the points xx (three coordinates each)
// from their least-squares plane; all 0 when n < 4.  iatm and iatm_a are
// not read.
void calc_ipldev_l_(int32_t mdoc, char list, int32_t n, const int32_t* iatm, const int32_t* iatm_a,
                    const float* xx, float* dobs);
