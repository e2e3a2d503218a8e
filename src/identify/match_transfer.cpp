// Transfer of a subgraph match into the work descriptions.  Every monomer
// atom is paired with a residue atom (heavy atoms through the match,
// hydrogens through the bond to their paired heavy atom), takes the residue
// atom's name, or "????" when it has no partner, and the compression drops
// the unpaired atoms with every record that names them.  A monomer hydrogen
// whose heavy atom is paired but which finds no residue hydrogen keeps its
// dictionary name: the residue merely lacks it.
#include "identify/match_transfer.h"

#include <string>

#include "dictionary/element_table.h"
#include "dictionary/gm_numbering.h"
#include "dictionary/lib_com.h"
#include "dictionary/tree_check.h"
#include "dictionary/work_refs.h"
#include "foundation/messages.h"
#include "runtime/format.h"

namespace {

// The other end of L1 bond b when one end is atom a, else 0.
int other_end(int b, int a) {
  const r_scratch_t& r = r_scratch;
  if (r.l1b_i1atm(b) == a) return r.l1b_i2atm(b);
  if (r.l1b_i2atm(b) == a) return r.l1b_i1atm(b);
  return 0;
}

void pair_hydrogens() {
  r_scratch_t& r = r_scratch;
  for (int a = 1; a <= r.l1a_natom; ++a) {
    if (!dictionary::is_hydrogen(r.l1a_symb(a))) continue;
    int x = 0;
    for (int b = 1; b <= r.l1b_nbond && x == 0; ++b) {
      const int o = other_end(b, a);
      if (o >= 1 && o <= r.l1a_natom && r.l1a_icr(o) > 0) x = o;
    }
    if (x == 0) continue;
    const int p = r.l1a_icr(x);
    int y = 0;
    for (int b = 1; b <= r.l2b_nbond && y == 0; ++b) {
      int o = 0;
      if (r.l2b_i1atm(b) == p) o = r.l2b_i2atm(b);
      if (r.l2b_i2atm(b) == p) o = r.l2b_i1atm(b);
      if (o >= 1 && o <= r.l2a_natom && dictionary::is_hydrogen(r.l2a_symb(o)) &&
          r.l2a_icr(o) == 0)
        y = o;
    }
    if (y == 0) {
      r.l1a_icr(a) = -1;
    } else {
      r.l1a_icr(a) = y;
      r.l2a_icr(y) = a;
    }
  }
}

// Every name field of L1 that refers to atom a by number takes `name`.
void rename_atom(const dictionary::WorkRefs& w, int a, const rt::FixedText<4>& name) {
  for (int b = 1; b <= w.natom; ++b) {
    if (w.iback(b) == a) w.back(b) = name;
    if (w.iforw(b) == a) w.forw(b) = name;
  }
  for (int k = 1; k <= w.nconn; ++k)
    for (int e = 0; e < 2; ++e)
      if ((*w.conn_i[e])(k) == a) (*w.conn_atm[e])(k) = name;
  for (int k = 1; k <= w.nbond; ++k)
    for (int e = 0; e < 2; ++e)
      if ((*w.bond_i[e])(k) == a) (*w.bond_atm[e])(k) = name;
  for (int k = 1; k <= w.nangl; ++k)
    for (int e = 0; e < 3; ++e)
      if ((*w.ang_i[e])(k) == a) (*w.ang_atm[e])(k) = name;
  for (int k = 1; k <= w.ntors; ++k)
    for (int e = 0; e < 4; ++e)
      if ((*w.tor_i[e])(k) == a) (*w.tor_atm[e])(k) = name;
  for (int k = 1; k <= w.nchir; ++k)
    for (int e = 0; e < 9; ++e)
      if ((*w.chir_i[e])(k) == a) (*w.chir_atm[e])(k) = name;
  const bool dropped = name == "????";
  for (int p = 1; p <= w.nplan; ++p) {
    for (int k = 1; k <= w.plan_natom(p); ++k) {
      if (w.plan_iatom(k, p) != a) continue;
      w.plan_atom(k, p) = name;
      if (dropped) w.plan_iatom(k, p) = 0;
    }
  }
  w.aname(a) = name;
}

void trace_atoms(int32_t mdoc, const char* head, bool l2) {
  r_scratch_t& r = r_scratch;
  msgdoc_(mdoc, head);
  const int n = l2 ? r.l2a_natom : r.l1a_natom;
  for (int a = 1; a <= n; ++a) {
    if (l2) {
      msgdoc_(mdoc, rt::fmt("(I4,1X,A4,1X,A4,I5)", a, r.l2a_aname(a), r.l2a_symb(a), r.l2a_icr(a)));
    } else {
      msgdoc_(mdoc, rt::fmt("(I4,1X,A4,1X,A4,I5)", a, r.l1a_aname(a), r.l1a_symb(a), r.l1a_icr(a)));
    }
  }
}

}  // namespace

void corr_description_gm_(int32_t mdoc, char list, int32_t n, int32_t m, const int16_t* /*nu*/,
                          const int16_t* np, const int16_t* /*mu*/, const int16_t* mp, const int16_t* iso,
                          int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  const bool trace = list == 'T';
  for (int a = 1; a <= r.l1a_natom; ++a) r.l1a_icr(a) = 0;
  for (int p = 1; p <= r.l2a_natom; ++p) r.l2a_icr(p) = 0;
  set_num_l1_gm_(mdoc, ierr);
  set_num_l2_gm_(mdoc, ierr);

  // The first query atom of each candidate atom.
  static rt::Array1<int32_t, MAX1ATM> query_of;
  for (int k = 1; k <= m; ++k) query_of(k) = 0;
  for (int q = n; q >= 1; --q)
    if (iso[q - 1] >= 1 && iso[q - 1] <= m) query_of(iso[q - 1]) = q;
  for (int k = 1; k <= m; ++k) {
    const int a = mp[k - 1];
    const int q = query_of(k);
    if (q == 0 || a < 1 || a > r.l1a_natom || r.l1a_icr(a) != 0) continue;
    const int p = np[q - 1];
    if (p < 1 || p > r.l2a_natom) continue;
    r.l1a_icr(a) = p;
    r.l2a_icr(p) = a;
  }
  pair_hydrogens();

  const dictionary::WorkRefs w = dictionary::l1_refs();
  for (int a = 1; a <= r.l1a_natom; ++a) {
    if (r.l1a_icr(a) == -1) continue;
    const rt::FixedText<4> name = r.l1a_icr(a) > 0 ? r.l2a_aname(r.l1a_icr(a)) : rt::FixedText<4>("????");
    rename_atom(w, a, name);
  }

  if (trace) {
    trace_atoms(mdoc, " --- l1 --  CORR_DESCRIPTION_GM:", false);
    trace_atoms(mdoc, " --- l2 --  CORR_DESCRIPTION_GM:", true);
    msgdoc_(mdoc, rt::fmt("(A,2I5)", " --- iso-- CORR_DESCRIPTION_GM:   N,M:", n, m));
    for (int q = 1; q <= n; ++q) msgdoc_(mdoc, rt::fmt("(3I5)", q, np[q - 1], iso[q - 1]));
    trace_atoms(mdoc, " --- l1 --  before compress_GM:", false);
    trace_atoms(mdoc, " --- l2 -- before compress_ _GM:", true);
  }
  compress_l1_gm_(mdoc, ierr);
  if (trace) trace_atoms(mdoc, " --- l1 --  after compress_GM:", false);

  // A partial match cuts the monomer's tree: let the tree check build it anew.
  if (n != m) {
    for (int a = 1; a <= r.l1a_natom; ++a) {
      r.l1a_back(a) = ".";
      r.l1a_forw(a) = ".";
    }
  }
  check_rlib_tree_(mdoc, list, 0, ierr);
}
