// The two residue areas of the work description (C1 with S1, C2 with S2) seen
// through one set of references, so that a placement rule written once serves
// the residue being described and the residue kept from the step before; and
// the walk of a library tree shared by the end torsions and the rebuild.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "dictionary/lib_com.h"

namespace restraints {

// References into r_scratch: slot 1 is C1/S1, slot 2 is C2/S2.
struct WorkSlot {
  int32_t& natom;
  int32_t& igatm;
  int32_t& iglobal;
  rt::FixedText<8>& rname;
  rt::FixedText<12>& pnum;
  rt::Array2<float, 3, MX1ATOM>& xyz;
  rt::Array1<float, MX1ATOM>& occ;
  rt::Array1<float, MX1ATOM>& biso;
  rt::Array1<int32_t, MX1ATOM>& nalt;
  rt::Array1<int32_t, MX1ATOM>& ialt;
  rt::Array1<rt::FixedText<4>, MX1ATOM>& aname;
  rt::Array1<rt::FixedText<4>, MX1ATOM>& asymb;
  rt::Array1<rt::FixedText<1>, MX1ATOM>& atype;
  rt::Array1<float, MX1ATOM>& dist;
  rt::Array1<float, MX1ATOM>& tht;
  rt::Array1<float, MX1ATOM>& psi;
  rt::Array1<int32_t, MX1ATOM>& inew;
  rt::Array1<int32_t, MX1ATOM>& iold;
  rt::Array1<int32_t, MX1ATOM>& ilib;
  rt::Array1<int32_t, MX1ATOM>& ndist;
  rt::Array2<int32_t, MX1BRN, MX1ATOM>& conn;
  rt::Array1<int32_t, MX1ATOM>& nextr;
  rt::Array2<int32_t, MX1EXT, MX1ATOM>& iextr;
  rt::Array1<int32_t, MX1ATOM>& iback;
  rt::Array1<int32_t, MX1ATOM>& conn_s;
  rt::Array1<int32_t, MX1ATOM>& conn_f;
  rt::Array1<rt::FixedText<8>, MX1ATOM>& id_psi;
  // Code of the library monomer of the area (L1 for slot 1, L2 for slot 2).
  rt::FixedText<8>& mname;

  // A row that exists and has a position: not missing, absent or deleted.
  bool usable(int32_t a) const;
  // A row whose position may be measured: occupancy of at least 0.001 and
  // not missing.
  bool measurable(int32_t a) const;
  // The k-th forward row of a counted from its last (k = 1 the last); 0 when
  // a has fewer.
  int32_t conn_from_end(int32_t a, int k) const;
  // Row of the residue atom number n (1..MX1ATOM), 0 outside.
  int32_t row_of(int32_t n) const;
};

// The views are built once: the tables they refer to live for the run.
const WorkSlot& slot1();
const WorkSlot& slot2();

// A row number within the capacity of a residue area.
inline bool in_rows(int32_t a) { return a >= 1 && a <= MX1ATOM; }

// Depth-first walk of the L2 library tree from l2a_istart, forward atoms in
// stored order, keeping at most 10 pending branch points.  visit(atom) runs
// on the first arrival at every atom; a non-zero return ends the walk with
// that status.  A deeper walk or a negative forward count with branches
// pending gives the warnings of a broken tree through msgdoc_ (residue named
// from C2) and returns 1; the end of the tree returns 0.
int32_t walk_l2_tree(int32_t mdoc, const std::function<int32_t(int32_t)>& visit);

}  // namespace restraints
