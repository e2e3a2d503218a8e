// The hand of a library monomer where a rebuilt atom's side is not fixed by
// a torsion of the library: the monomer's ideal coordinates say on which
// side of its neighbours each atom lies, and a placement follows them.
#pragma once

#include <cstdint>
#include <string_view>

namespace restraints {

struct IdealRows;

// The ideal coordinates of one library monomer (the entry in force for its
// code), found once and then read by atom name.  Reads r_scratch lml_, lma_
// and lmc_ rows; valid until the dictionary changes.
class IdealCoordinates {
 public:
  explicit IdealCoordinates(std::string_view mon);
  // False when the monomer or the atom has no ideal coordinates.
  bool at(std::string_view atom, float* x) const;
  // Volume of the bonds c->a, c->b, c->d (A^3); false when one of the four
  // lacks coordinates.
  bool volume(std::string_view c, std::string_view a, std::string_view b, std::string_view d,
              float& vol) const;
  // Sign of that volume: +1, -1, or 0 when one lacks coordinates or the
  // four lie in a plane.
  int hand(std::string_view c, std::string_view a, std::string_view b, std::string_view d) const;
  // -1 when the chiral row of centre c has the sign opposite to the volume
  // of the ideal coordinates (the row's sign then decides, and the
  // coordinates are read as their mirror image about c), else 1: no row, a
  // row of either sign, no coordinates, or the two agree.
  int chiral_mirror(std::string_view c) const;

 private:
  const IdealRows* rows_;
};

// Drops the monomers kept for IdealCoordinates.  A library loaded again, or
// a monomer built again from other coordinates, can give the same counts the
// kept rows were checked by, so each run starts with none kept.
void forget_ideal_coordinates();

// Torsion in degrees, in (-180, 180], of the bond vector v about the axis
// vector axis, counted from the reference vector ref as the placement of
// atoms counts it (ref pointing into the axis; 0 puts v on ref's side).
float frame_torsion(const float* ref, const float* axis, const float* v);

// Torsion of atom m (bonded to c) about the bond from -> c relative to atom
// b, from the positions xf, xc, xb, xm; b is bonded to c, or to from when
// b_on_from.  The torsion that puts m on b's side is 0.  False when b or m
// lies in line with the bond.
bool offset_about(const float* xf, const float* xc, const float* xb, bool b_on_from,
                  const float* xm, float& offset);

// The same read from the ideal coordinates of monomer mon by atom names;
// false also when one of the four has none.
bool ideal_offset(std::string_view mon, std::string_view from, std::string_view c,
                  std::string_view b, bool b_on_from, std::string_view m, float& offset);

// Where the ideal coordinates leave room for a bond from outside the
// monomer (a link) to atom c: a point 1 A from c opposite the sum of the
// unit bonds to the n atoms bonded[] that have ideal coordinates.  False
// when fewer than two have them or the bonds cancel.
bool outer_bond(const IdealCoordinates& ideal, std::string_view c, const std::string_view* bonded,
                int n, float* xf);

// Shorthands over IdealCoordinates(mon).
bool ideal_position(std::string_view mon, std::string_view atom, float* x);
int ideal_hand(std::string_view mon, std::string_view c, std::string_view a, std::string_view b,
               std::string_view d);
int chiral_mirror(std::string_view mon, std::string_view c);

}  // namespace restraints
