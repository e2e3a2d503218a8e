// Placing missing atoms of a residue area from internal coordinates: the
// permission to place an atom, one atom from a frame, and the children of one
// atom by the rule shared by the rebuild along the tree and at its start.
#pragma once

#include <cstdint>
#include <functional>

#include "restraints/work_slot.h"

namespace restraints {

// Hydrogens (element "H" or "D") are placed with h_flag 'A', other atoms with
// rflag 'Y'; only atoms flagged missing ('M') are ever placed.
struct Permission {
  char h_flag;
  char rflag;
  bool allows(const WorkSlot& s, int32_t a) const;
};

// Puts child at the position of parent plus the bond vector that coord_4_
// gives for the frame (reference vector ref, axis vector axis of nominal
// length axis_len, angle ang1 between them) and the child's bond length,
// bond angle and torsion (degrees).  The child takes the parent's B, flag 'R'
// and one count.  An unset bond length or angle (0 or below) or a position
// that is not finite leaves the child missing: false.  Occupancy is the
// caller's.  Writes r_scratch C1 or C2 rows (xyz, biso, atype).
bool place_atom(const WorkSlot& s, int32_t parent, int32_t child, const float* ref, const float* axis,
                float axis_len, float ang1, float bond, float angle, float torsion, int32_t& na_rebld);

// The torsion (degrees) of child m of ic in the frame (ref, axis), the axis
// running from row `from` of the same area to ic, at which the library's
// ideal coordinates put m beside another neighbour of ic (or of from) that
// has a position, an atom of the model before a rebuilt one.  from 0: the
// axis comes from the residue before, and starts where the ideal bonds of
// ic leave room for the link.  false when m has an occupancy (its torsion
// was measured on the model), no neighbour serves, or the monomer lacks
// ideal coordinates.
bool library_torsion(const WorkSlot& s, int32_t ic, int32_t from, int32_t m, const float* ref,
                     const float* axis, float& ph);

// Children of ic from the last down to the first (skip 1 leaves the last one
// out, the second-last then being the reference child).  The reference child
// sits at torsion ph0 (phe with an extra atom ice >= 1, else its own psi);
// other children at their psi plus ph0; but a child that the library's
// ideal coordinates place beside a neighbour of ic with a position (see
// library_torsion, the axis from row `from`, 0 when it lies in the
// residue before) goes there, so that its side is the library's.  Occupancy from ic unless the
// reference child was placed with a torsion code not beginning with "c" on
// an atom other than carbon.  after(child, placed) runs after every child.
// Writes r_scratch C1 or C2 rows (xyz, occ, biso, atype).
void place_children(const WorkSlot& s, int32_t ic, int32_t from, const float* ref,
                    const float* axis, float axis_len, float ang1, int skip, int32_t ice, float phe,
                    const Permission& permit, int32_t& na_rebld,
                    const std::function<void(int32_t, bool)>& after = {});

}  // namespace restraints
