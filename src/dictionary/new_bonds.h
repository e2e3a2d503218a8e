// The bond graph of a monomer in L1: bonds from interatomic distances,
// three-membered cycles through a hydrogen broken, per-atom neighbour lists
// from the bond list, the one-piece test and the candidate chiral centres.
#pragma once

#include <cstdint>
#include <string_view>

#include "dictionary/neighbour_grid.h"
#include "runtime/array.h"

namespace dictionary {

// The bonding class of an element symbol: 'C' for C N O B F LI, 'H' for
// hydrogen and deuterium, 'P' for P and S, '$' for anything else.  It is
// what l1a_atype and c1_atype hold while bonds are found from coordinates.
char bond_class(std::string_view symb);
// Longest distance at which atoms of classes c1 and c2 are bonded: 1.2 A
// when either is a hydrogen, 1.7 A for two 'C', 2.85 A for two '$', else
// 2.4 A.
float bond_limit(char c1, char c2);
// The largest of the limits: no bond is longer.
inline constexpr float kBondReach = 2.85f;
// Atoms closer than this stand at one place and are never bonded.
inline constexpr float kSamePlace = 0.001f;
// Whether two atoms of bonding classes c1 and c2, d apart, bond by the
// limits of their classes.
inline bool class_bonded(float d, char c1, char c2) {
  return d > kSamePlace && d <= bond_limit(c1, c2);
}
// Typical length of the bond from a hydrogen to an atom of element symb, for
// the p-block elements whose X-H bond is longer than the 1.2 A a hydrogen
// bonds within (S-H 1.34, P-H 1.42, Se-H 1.47, Si-H 1.48 A and the heavier
// ones); 0 for any other element.
float long_hydrogen_bond(std::string_view symb);
// How far past its typical length such a bond is still taken as one.
inline constexpr float kLongHydrogenMargin = 0.2f;
// The atom each hydrogen bonds past the limit of its class: a hydrogen
// that no atom bonds by the class limits takes the nearest atom whose
// element has a long X-H bond, within that length and its margin.  So a
// hydrogen still bonds to one atom, and one the class limits bond keeps
// exactly those bonds.  partner(i) is that atom for hydrogen i, else 0.
// cls(i) gives the class letter of atom i, symb(i) its element symbol,
// dist(i, j) the distance of a pair (0 for a pair never to be bonded).
template <int N, typename Dist, typename Cls, typename Symb>
void long_hydrogen_partners(NeighbourGrid<N>& grid, int n, const float* x, const float* y,
                            const float* z, Dist dist, Cls cls, Symb symb,
                            rt::Array1<int32_t, N>& partner) {
  static rt::Array1<float, N> nearest;
  static rt::Array1<bool, N> close;
  for (int i = 1; i <= n; ++i) {
    partner(i) = 0;
    close(i) = false;
  }
  grid.for_each_candidate(n, x, y, z, kBondReach, [&](int i, int j) {
    const char ci = cls(i), cj = cls(j);
    if (ci != 'H' && cj != 'H') return;
    const float d = dist(i, j);
    if (!(d > kSamePlace)) return;
    if (d <= bond_limit(ci, cj)) {
      close(i) = close(j) = true;
      return;
    }
    if (ci == cj) return;
    const int h = ci == 'H' ? i : j, other = ci == 'H' ? j : i;
    const float length = long_hydrogen_bond(symb(other));
    if (!(length > 0.0f && d <= length + kLongHydrogenMargin)) return;
    if (partner(h) == 0 || d < nearest(h)) {
      partner(h) = other;
      nearest(h) = d;
    }
  });
  for (int i = 1; i <= n; ++i)
    if (close(i)) partner(i) = 0;
}
// Appends to L1's bond list the row of atoms i and j at observed length d,
// its type not yet set ('.'); the caller has made sure the list has room.
// Returns the row.
int append_observed_bond(int i, int j, float d);

}  // namespace dictionary

// Replaces the bond list by the pairs closer than the limit of their atom
// classes (hydrogen 1.2, both 'C' 1.7, both '$' 2.85, else 2.4 Angstrom).
// A hydrogen with no partner that close bonds to the nearest atom whose
// element has a long X-H bond, within its typical length and the margin.
// Hydrogens left with other than one bond are marked '?', dropped by
// check_list_atom_, and the bonds found once more.  ierr 1 when more than
// MAX1BND bonds are found (the first MAX1BND stay), or the status of the
// atom-list check.  Writes r_scratch l1b_ rows, l1a_ndist, and through the
// atom-list check the atom table.
void list_bonds_from_coor_(int32_t mdoc, int32_t& ierr);
// Removes, from each triangle of bonds whose far atom is a hydrogen, the bond
// between the two hydrogens (or the bond opposite a heavy shared atom), with
// a warning line.  ierr 0.  Writes r_scratch l1b_ rows.
void remove_triangle_h_(int32_t mdoc, int32_t& ierr);
// The same sweep for every triangle, always removing the third bond.
// Writes r_scratch l1b_ rows.
void remove_triangle_(int32_t mdoc, int32_t& ierr);
// Neighbour lists of L1 from its bond list, in ascending atom order; resolves
// the atom numbers and observed lengths of the bonds, and adds the hydrogen
// neighbours of each atom to l1a_lencon(1, i).  An atom with MAX1BRN
// neighbours takes no more (two warning lines).  mode is not used.  ierr 0.
// Writes r_scratch l1a_ndist, l1a_conn, l1a_lencon(1, .), l1b_i1atm,
// l1b_i2atm, l1b_vobs.
void lib_conn_(int32_t mdoc, std::string_view mode, int32_t& ierr);
// ierr 20 (with an error line) when the bonds leave the atoms in two or more
// pieces.  Overwrites L2 (left relabelled).  Writes r_scratch L2.
void check_connectivity_(int32_t mdoc, char list, int32_t& ierr);
// l1a_ichir: 1 for the user's chiral centres of a description with a bond
// list, 2 for an atom with four neighbours or a pyramid of three heavy
// neighbours.  ierr 0.  Writes r_scratch l1a_ichir.
void define_chir_flag_(int32_t mdoc, int32_t& ierr);
