// Planes.  The atom-centred planes of the chirality stage are small; flat
// rings draw them together.  Two planes sharing two atoms merge only when the
// shared bond keeps them coplanar: a multiple bond outside puckered rings, or
// a single bond inside a ring that is flat.  l1p_dobs serves as a mark while
// two planes are compared, since nothing has been measured yet.
#include "builder/planes.h"

#include <string>

#include "builder/chem_text.h"
#include "dictionary/descr_lookups.h"
#include "dictionary/element_table.h"
#include "dictionary/lib_com.h"
#include "foundation/messages.h"
#include "runtime/format.h"

namespace {

using builder::begins;
using builder::Name;
using builder::nb;

void plane_table_full(int32_t mdoc) {
  builder::work_table_full(
      mdoc, " ERROR: number of planar groups in new monomer" + r_scratch.l1l_mname.str() + " >",
      MAX1PLN, "MAX1PLN", 10);
}

void plane_full(int32_t mdoc) {
  builder::work_table_full(
      mdoc,
      " ERROR: number of atoms in planar group of new monomer" + r_scratch.l1l_mname.str() + " >",
      MAX1APL, "MAX1APL", 10);
}

// Slot of ring `ring` among the rings of atom ia, 0 when it has not that ring.
int ring_slot(int ia, int ring) {
  const r_scratch_t& r = r_scratch;
  for (int k = 1; k <= r.l1a_nring(ia) && k <= MAX1BRN; ++k)
    if (r.l1a_ring_id(k, ia) == ring) return k;
  return 0;
}

bool flat_ring_of(int ia, int ring) {
  const int k = ring_slot(ia, ring);
  return k > 0 && r_scratch.l1a_ring_flat(k, ia) > 0;
}

void ring_marks(int nring) {
  r_scratch_t& r = r_scratch;
  for (int i = 1; i <= r.l1a_natom; ++i) r.l1a_icr(i) = 0;
  for (int j = 1; j <= nring; ++j)
    for (int i = 1; i <= r.l1a_natom; ++i)
      if (flat_ring_of(i, j)) r.l1a_icr(i) = j;
}

bool plane_has_index(int p, int ia) {
  const r_scratch_t& r = r_scratch;
  for (int a = 1; a <= r.l1p_natom(p); ++a)
    if (r.l1p_iatom(a, p) == ia) return true;
  return false;
}

bool plane_has_name(int p, const Name& name, int upto) {
  const r_scratch_t& r = r_scratch;
  for (int a = 1; a <= upto; ++a)
    if (r.l1p_atom(a, p) == name) return true;
  return false;
}

// Appends atom ia to plane p; false when the plane is full.
bool append(int p, int ia, float dobs = 0.0f) {
  r_scratch_t& r = r_scratch;
  if (r.l1p_natom(p) >= MAX1APL) return false;
  const int a = ++r.l1p_natom(p);
  r.l1p_iatom(a, p) = ia;
  r.l1p_atom(a, p) = r.l1a_aname(ia);
  r.l1p_dev(a, p) = 0.02f;
  r.l1p_dobs(a, p) = dobs;
  return true;
}

bool is_h(int ia) { return dictionary::is_hydrogen(r_scratch.l1a_symb(ia)); }

// Ring atoms drawn into the planes that already hold two or more of them.
bool widen_planes(int32_t mdoc, int nring) {
  r_scratch_t& r = r_scratch;
  for (int p = 1; p <= r.l1p_nplan; ++p) {
    for (int j = 1; j <= nring; ++j) {
      int count = 0;
      for (int a = 1; a <= r.l1p_natom(p); ++a) {
        const int ia = r.l1p_iatom(a, p);
        if (ia >= 1 && ia <= r.l1a_natom && r.l1a_icr(ia) == j) ++count;
      }
      if (count < 2) continue;
      for (int k = 1; k <= r.l1a_natom; ++k) {
        if (r.l1a_icr(k) != j) continue;
        bool first_four = false;
        for (int a = 1; a <= r.l1p_natom(p) && a <= 4; ++a)
          first_four = first_four || r.l1p_iatom(a, p) == k;
        if (!first_four && !append(p, k)) {
          plane_full(mdoc);
          return false;
        }
        r.l1a_icr(k) = 0;
      }
    }
  }
  return true;
}

bool ring_planes(int32_t mdoc, int nring) {
  r_scratch_t& r = r_scratch;
  for (int j = 1; j <= nring; ++j) {
    int p = 0;
    for (int i = 1; i <= r.l1a_natom; ++i) {
      r.l1a_icr(i) = 0;
      if (!flat_ring_of(i, j)) continue;
      r.l1a_icr(i) = j;
      if (p == 0) {
        if (r.l1p_nplan >= MAX1PLN) {
          plane_table_full(mdoc);
          return false;
        }
        p = ++r.l1p_nplan;
        r.l1p_natom(p) = 0;
        r.l1p_label(p) = builder::plane_label(p);
      }
      if (r.l1p_natom(p) >= MAX1APL) {
        plane_full(mdoc);
        return false;
      }
      if (is_h(i)) continue;
      if (!plane_has_index(p, i)) append(p, i);
      r.l1a_icr(i) = 0;
      if (r.l1a_ndist(i) != 3) continue;
      // A ring plane holds at most six ring atoms and one substituent each,
      // far below the plane capacity.
      for (int s = 1; s <= 3; ++s) {
        const int c = nb(s, i);
        if (c == 0 || r.l1a_icr(c) > 0 || is_h(c) || plane_has_index(p, c)) continue;
        append(p, c);
      }
    }
  }
  ring_marks(nring);
  return true;
}

void trace_planes(int32_t mdoc, const char* head, bool with_mark, bool with_dobs) {
  const r_scratch_t& r = r_scratch;
  for (int p = 1; p <= r.l1p_nplan; ++p)
    for (int a = 1; a <= r.l1p_natom(p); ++a) {
      const int ia = r.l1p_iatom(a, p);
      const int mark = ia >= 1 && ia <= r.l1a_natom ? r.l1a_icr(ia) : 0;
      if (with_mark && with_dobs)
        msgdoc_(mdoc, rt::list_line(head, p, a, mark, r.l1p_atom(a, p), r.l1p_dobs(a, p)));
      else if (with_mark) msgdoc_(mdoc, rt::list_line(head, p, a, mark, r.l1p_atom(a, p)));
      else if (with_dobs)
        msgdoc_(mdoc, rt::list_line(head, p, a, r.l1p_atom(a, p), r.l1p_dobs(a, p)));
      else msgdoc_(mdoc, rt::list_line(head, p, a, r.l1p_atom(a, p)));
    }
}

// Whether planes i and j (both non-empty) merge; marks the shared atoms of j.
bool should_merge(int32_t mdoc, char list, int pi, int pj, bool first_pass) {
  r_scratch_t& r = r_scratch;
  int n = 0, shared[2] = {0, 0};
  for (int a = 1; a <= r.l1p_natom(pj); ++a) {
    if (!plane_has_name(pi, r.l1p_atom(a, pj), r.l1p_natom(pi))) continue;
    r.l1p_dobs(a, pj) = -1.0f;
    if (n < 2) shared[n] = r.l1p_iatom(a, pj);
    ++n;
  }
  if (list == 'T')
    msgdoc_(mdoc, rt::fmt(first_pass ? "('---i,j,n;',3I5)" : "('-=-i,j,n;',3I5)", pi, pj, n));
  if (n >= 3) return true;
  if (!first_pass || n != 2) return false;
  int32_t iflat = 0;
  check_plan_connection_(list, shared[0], shared[1], iflat);
  float val = 0.0f;
  int32_t lb = 0, st = 0;
  srch_bond_(mdoc, r.l1l_mname.view(), shared[0], shared[1], val, lb, st);
  bool merge = false;
  if (st == 0) {
    const std::string_view t = r.l1b_type(lb).view();
    const bool single = begins(t, "sing") || begins(t, "cova") || begins(t, ".");
    merge = single ? iflat == 1 : iflat != -1;
  }
  if (list == 'T')
    msgdoc_(mdoc, rt::list_line("---ia,ja,n,ib;", shared[0], shared[1], r.l1a_aname(shared[0]),
                                r.l1a_aname(shared[1]), merge ? 3 : 0, merge ? 2 : 1, iflat, st));
  return merge;
}

bool merging_pass(int32_t mdoc, char list, bool first_pass) {
  r_scratch_t& r = r_scratch;
  for (int pi = 1; pi < r.l1p_nplan; ++pi) {
    for (int pj = pi + 1; pj <= r.l1p_nplan; ++pj) {
      if (r.l1p_natom(pi) == 0 || r.l1p_natom(pj) == 0) continue;
      if (!should_merge(mdoc, list, pi, pj, first_pass)) {
        for (int a = 1; a <= r.l1p_natom(pj); ++a) r.l1p_dobs(a, pj) = 0.0f;
        continue;
      }
      for (int a = 1; a <= r.l1p_natom(pj); ++a) {
        if (r.l1p_dobs(a, pj) == -1.0f) continue;
        if (r.l1p_natom(pi) >= MAX1APL) {
          plane_full(mdoc);
          return false;
        }
        const int b = ++r.l1p_natom(pi);
        r.l1p_iatom(b, pi) = r.l1p_iatom(a, pj);
        r.l1p_atom(b, pi) = r.l1p_atom(a, pj);
        r.l1p_dev(b, pi) = r.l1p_dev(a, pj);
        r.l1p_dobs(b, pi) = r.l1p_dobs(a, pj);
      }
      r.l1p_natom(pj) = 0;
    }
  }
  return true;
}

void renumber_planes() {
  r_scratch_t& r = r_scratch;
  int kept = 0;
  for (int p = 1; p <= r.l1p_nplan; ++p) {
    if (r.l1p_natom(p) == 0) continue;
    ++kept;
    r.l1p_natom(kept) = r.l1p_natom(p);
    r.l1p_label(kept) = builder::plane_label(kept);
    for (int a = 1; a <= r.l1p_natom(p); ++a) {
      r.l1p_iatom(a, kept) = r.l1p_iatom(a, p);
      r.l1p_atom(a, kept) = r.l1p_atom(a, p);
      r.l1p_dobs(a, kept) = r.l1p_dobs(a, p);
      r.l1p_dev(a, kept) = 0.02f;
    }
  }
  r.l1p_nplan = kept;
}

}  // namespace

void check_plan_connection_(char list, int32_t ia, int32_t ja, int32_t& iflat) {
  const r_scratch_t& r = r_scratch;
  iflat = 0;
  if (list == 'T')
    rt::write_list(6, "-- CHECK_PLAN_CONNECTION--", ia, ja, r.l1a_nring(ia), r.l1a_nring(ja));
  if (r.l1a_nring(ia) <= 0 || r.l1a_nring(ja) <= 0) return;
  for (int k = 1; k <= r.l1a_nring(ia) && k <= MAX1BRN; ++k)
    for (int l = 1; l <= r.l1a_nring(ja) && l <= MAX1BRN; ++l) {
      if (r.l1a_ring_id(k, ia) != r.l1a_ring_id(l, ja)) continue;
      if (r.l1a_ring_flat(k, ia) > 0) iflat = 1;
      else if (iflat == 0) iflat = -1;
    }
}

void check_plan_(int32_t mdoc, int32_t nring, char list, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ring_marks(nring);
  if (list == 'T' && r.l1p_nplan > 0) {
    msgdoc_(mdoc, "ip,iap,icr,ichir(<0 flat,>0 chir");
    for (int p = 1; p <= r.l1p_nplan; ++p)
      for (int a = 1; a <= r.l1p_natom(p); ++a) {
        const int ia = r.l1p_iatom(a, p);
        const bool ok = ia >= 1 && ia <= r.l1a_natom;
        msgdoc_(mdoc, rt::fmt("('plan-;',4I5,1X,A)", p, a, ok ? r.l1a_icr(ia) : 0,
                              ok ? r.l1a_ichir(ia) : 0, r.l1p_atom(a, p)));
      }
  }
  if (nring > 0 && r.l1p_nplan > 0) {
    if (!widen_planes(mdoc, nring)) {
      ierr = 1;
      return;
    }
    if (list == 'T') trace_planes(mdoc, "plan=;", true, false);
  }
  if (nring > 0) {
    if (!ring_planes(mdoc, nring)) {
      ierr = 1;
      return;
    }
    if (list == 'T') trace_planes(mdoc, "plan==;", true, true);
  }
  if (r.l1p_nplan < 2) return;
  if (!merging_pass(mdoc, list, true)) {
    ierr = 1;
    return;
  }
  if (list == 'T') trace_planes(mdoc, "plan...;", false, true);
  if (!merging_pass(mdoc, list, false)) {
    ierr = 1;
    return;
  }
  renumber_planes();
  if (list == 'T') trace_planes(mdoc, "plan===;", false, false);
}

void add_hatom_to_plan_(int32_t mdoc, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  for (int p = 1; p <= r.l1p_nplan; ++p) {
    const int n0 = r.l1p_natom(p);
    for (int a = 1; a <= n0; ++a) {
      const int ia = r.l1p_iatom(a, p);
      if (ia < 1 || ia > r.l1a_natom) continue;
      const int nd = r.l1a_ndist(ia);
      const int links = nd + r.l1a_nextr(ia) + (r.l1a_iback(ia) > 0 ? 1 : 0);
      if (r.l1a_ichir(ia) >= 0 || nd <= 0 || links < 2) continue;
      for (int j = 1; j <= nd && j <= MAX1BRN; ++j) {
        const int c = nb(j, ia);
        if (c < 1 || !(r.l1a_atype(c) == "H" || r.l1a_atype(c) == "M")) continue;
        if (plane_has_name(p, r.l1a_aname(c), n0)) continue;
        if (!append(p, c)) {
          plane_full(mdoc);
          ierr = 1;
          return;
        }
      }
    }
  }
}
