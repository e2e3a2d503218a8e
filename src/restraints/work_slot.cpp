// Views of the two residue areas and the shared walk of the kept residue's
// library tree.
#include "restraints/work_slot.h"

#include <string>

#include "foundation/messages.h"
#include "runtime/format.h"

namespace restraints {

bool WorkSlot::usable(int32_t a) const {
  if (!in_rows(a)) return false;
  const char t = atype(a)(1);
  return t != 'M' && t != 'U' && t != 'D';
}

bool WorkSlot::measurable(int32_t a) const {
  return in_rows(a) && occ(a) >= 0.001f && atype(a)(1) != 'M';
}

int32_t WorkSlot::conn_from_end(int32_t a, int k) const {
  if (!in_rows(a)) return 0;
  const int n = ndist(a) - k + 1;
  if (n < 1 || n > MX1BRN) return 0;
  return conn(n, a);
}

int32_t WorkSlot::row_of(int32_t n) const { return in_rows(n) ? inew(n) : 0; }

const WorkSlot& slot1() {
  r_scratch_t& r = r_scratch;
  static const WorkSlot s{
      r.c1_natom, r.c1_igatm, r.c1_iglobal, r.c1_rname,  r.c1_pnum,   r.c1_xyz,    r.c1_occ,
      r.c1_biso,  r.c1_nalt,  r.c1_ialt,    r.c1_aname,  r.c1_asymb,  r.c1_atype,  r.s1_dist,
      r.s1_tht,   r.s1_psi,   r.s1_inew,    r.s1_iold,   r.s1_ilib,   r.s1_ndist,  r.s1_conn,
      r.s1_nextr, r.s1_iextr, r.s1_iback,   r.s1_conn_s, r.s1_conn_f, r.s1_id_psi, r.l1l_mname};
  return s;
}

const WorkSlot& slot2() {
  r_scratch_t& r = r_scratch;
  static const WorkSlot s{
      r.c2_natom, r.c2_igatm, r.c2_iglobal, r.c2_rname,  r.c2_pnum,   r.c2_xyz,    r.c2_occ,
      r.c2_biso,  r.c2_nalt,  r.c2_ialt,    r.c2_aname,  r.c2_asymb,  r.c2_atype,  r.s2_dist,
      r.s2_tht,   r.s2_psi,   r.s2_inew,    r.s2_iold,   r.s2_ilib,   r.s2_ndist,  r.s2_conn,
      r.s2_nextr, r.s2_iextr, r.s2_iback,   r.s2_conn_s, r.s2_conn_f, r.s2_id_psi, r.l2l_mname};
  return s;
}

int32_t walk_l2_tree(int32_t mdoc, const std::function<int32_t(int32_t)>& visit) {
  constexpr int nstlim = 10;
  const r_scratch_t& r = r_scratch;
  int32_t stack_atom[nstlim], stack_next[nstlim];
  int depth = 0;
  int32_t i = r.l2a_istart;
  int32_t c = 1;
  std::string line;
  auto wrong_tree = [&] {
    line = " WARNING : ";
    line.append(r.c2_rname.view()).append(" ").append(r.c2_pnum.view());
    line += " : wrong tree structure";
    msgdoc_(mdoc, line);
    return 1;
  };
  // A start outside the atom list is a tree without atoms.
  while (i >= 1 && i <= MAX1ATM) {
    if (c == 1) {
      const int32_t status = visit(i);
      if (status != 0) return status;
    }
    const int32_t nd = r.l2a_ndist(i);
    if (nd <= 0) {
      if (depth == 0) return 0;
      if (nd < 0) return wrong_tree();
      --depth;
      i = stack_atom[depth];
      c = stack_next[depth];
      continue;
    }
    if (nd == 1) {
      i = r.l2a_conn(1, i);
      c = 1;
      continue;
    }
    if (c > nd || c > MAX1BRN) return wrong_tree();
    const int32_t next = r.l2a_conn(c, i);
    if (c < nd) {
      if (depth == nstlim) {
        line = " WARNING : ";
        line.append(r.c2_rname.view()).append(" : N-stack > ").append(rt::fmt("(I6)", nstlim));
        msgdoc_(mdoc, line);
        return wrong_tree();
      }
      stack_atom[depth] = i;
      stack_next[depth] = c + 1;
      ++depth;
    }
    i = next;
    c = 1;
  }
  return 0;
}

}  // namespace restraints
