// The description dump.  Lines go through the information routing, so the
// driver's message code decides where they land; the magnitude test keeps
// the dump out of every log but a trace.
#include "builder/descr_dump.h"

#include <cstdlib>
#include <string>

#include "dictionary/lib_com.h"
#include "foundation/messages.h"
#include "runtime/format.h"

namespace {

void atom_lines(int32_t mdoc) {
  const r_scratch_t& r = r_scratch;
  msgdoc_(mdoc, "--aname,atype,chem,coor_flag");
  for (int i = 1; i <= r.l1a_natom; ++i)
    msgdoc_(mdoc, rt::list_line(i, r.l1a_aname(i), "/", r.l1a_atype(i), "/", r.l1a_chem(i), "/",
                                r.l1a_coor_flag(i), "/", r.l1a_x(i), r.l1a_y(i), r.l1a_z(i),
                                r.l1a_ndist(i)));
}

void neighbour_lines(int32_t mdoc) {
  const r_scratch_t& r = r_scratch;
  msgdoc_(mdoc, "--aname,atype,ndist,conn(1,..)");
  for (int i = 1; i <= r.l1a_natom; ++i) {
    const int nd = std::min(r.l1a_ndist(i), MAX1BRN);
    std::string line = rt::fmt("(I5,'/',A,'/',A,'/')", i, r.l1a_aname(i), r.l1a_atype(i));
    if (nd > 0) {
      line += rt::fmt("(I5)", nd);
      for (int j = 1; j <= nd; ++j) line += rt::fmt("(I5)", r.l1a_conn(j, i));
    } else {
      line += rt::fmt("(I8)", nd);
    }
    msgdoc_(mdoc, line);
  }
}

void bond_lines(int32_t mdoc) {
  const r_scratch_t& r = r_scratch;
  for (int j = 1; j <= r.l1b_nbond; ++j) {
    const int i1 = r.l1b_i1atm(j), i2 = r.l1b_i2atm(j);
    if (i1 < 1 || i2 < 1 || i1 > MAX1ATM || i2 > MAX1ATM) {
      msgdoc_(mdoc, rt::list_line(j, " -- wrong bond"));
      continue;
    }
    msgdoc_(mdoc, rt::list_line(j, "/", r.l1a_aname(i1), "--", r.l1a_aname(i2), "/", r.l1b_vobs(j),
                                r.l1b_type(j)));
  }
}

void tree_lines(int32_t mdoc) {
  const r_scratch_t& r = r_scratch;
  msgdoc_(mdoc, "--aname,atypr,chem,ichir,ichem,ibackiforw,len(1),len(2),nr,rid(1),r_ord,r_flt");
  for (int i = 1; i <= r.l1a_natom; ++i)
    msgdoc_(mdoc, rt::fmt("(I5,A,'/',A,'/',A,'/',10I5)", i, r.l1a_aname(i), r.l1a_atype(i),
                          r.l1a_chem(i), r.l1a_ichir(i), r.l1a_ichem(i), r.l1a_iback(i),
                          r.l1a_iforw(i), r.l1a_lencon(1, i), r.l1a_lencon(2, i), r.l1a_nring(i),
                          r.l1a_ring_id(1, i), r.l1a_ring_ord(1, i), r.l1a_ring_flat(1, i)));
}

}  // namespace

void write_test_(int32_t mdoc, int32_t k, std::string_view str) {
  const r_scratch_t& r = r_scratch;
  if (std::abs(mdoc) >= 99) return;
  msgdoc_(mdoc, "----------");
  msgdoc_(mdoc, str);
  msgdoc_(mdoc, rt::list_line("--", r.l1l_mname, "--", r.l1l_prsnt, "--", k));
  msgdoc_(mdoc,
          rt::fmt("('--',5I5)", r.l1a_natom, r.l1n_nconn, r.c1_natom, r.l1a_nhatom, r.l1b_nbond));
  atom_lines(mdoc);
  if (k == 1) return;
  neighbour_lines(mdoc);
  msgdoc_(mdoc, "----");
  msgdoc_(mdoc, rt::fmt("(' -- Nbond:',I5)", r.l1b_nbond));
  if (k == 2) bond_lines(mdoc);
  msgdoc_(mdoc, "----------");
  if (k == 2) return;
  tree_lines(mdoc);
  msgdoc_(mdoc, "----------");
}
