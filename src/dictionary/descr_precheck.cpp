// The piece count runs on a copy of L1 in L2, so the description itself
// keeps its bonds; only its numbering is refreshed.
#include "dictionary/descr_precheck.h"

#include <string>

#include "dictionary/gm_numbering.h"
#include "dictionary/l2_pieces.h"
#include "dictionary/lib_com.h"
#include "dictionary/work_copies.h"
#include "foundation/lookup_index.h"
#include "foundation/messages.h"
#include "runtime/format.h"

namespace {

void reset_labels(int n) {
  for (int i = 1; i <= n; ++i) r_scratch.l2a_icr(i) = i;
}

void trace_description(int32_t mdoc) {
  const r_scratch_t& r = r_scratch;
  msgdoc_(mdoc, " -- PRECHECK_L1_MON_DESCRIPTION --- ");
  msgdoc_(mdoc, rt::list_line(" --- NA:", r.l1a_natom));
  for (int i = 1; i <= r.l1a_natom; ++i) msgdoc_(mdoc, rt::list_line(i, r.l1a_aname(i).view()));
  msgdoc_(mdoc, rt::list_line(" --- NB:", r.l1b_nbond));
  for (int b = 1; b <= r.l1b_nbond; ++b)
    msgdoc_(mdoc, rt::list_line(b, r.l1b_1atm(b).view(), r.l1b_2atm(b).view()));
}

void trace_pieces(int32_t mdoc, int32_t npiece) {
  const r_scratch_t& r = r_scratch;
  msgdoc_(mdoc, rt::list_line("---- I,NPIECE:", r.l1a_natom + 1, npiece));
  for (int i = 1; i <= r.l1a_natom; ++i)
    msgdoc_(mdoc, rt::list_line("--", r.l1a_aname(i).view(), i, r.l2a_icr(i)));
}

}  // namespace

void precheck_l1_mon_description_(int32_t mdoc, char list, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const int n = r.l1a_natom;
  if (n < 2) return;
  if (list == 'T') trace_description(mdoc);

  int32_t istat = 0;
  copyl2_(mdoc, istat);
  reset_labels(n);
  for (int i = 1; i <= n; ++i) r.l1a_icr(i) = i;
  set_num_l1_gm_(mdoc, istat);
  set_num_l2_gm_(mdoc, istat);

  int32_t npiece = dictionary::merge_l2_pieces(n, n);
  if (npiece >= 2) {
    bool tree = false;
    for (int i = 1; i <= n; ++i)
      if (!(r.l2a_back(i) == ".")) tree = true;
    if (tree && r.l1l_prsnt(1) != 'M') {
      reset_labels(n);
      set_num_l2_gm_(mdoc, istat);
      // Back atoms by name, the later of two equal names winning as in the
      // renumbering, so that a stale back position never adds a bond.
      static foundation::LookupIndex<4, MAX1ATM> by_name;
      by_name.clear();
      for (int i = 1; i <= n; ++i) by_name.add(r.l2a_aname(i).view(), i);
      for (int i = 1; i <= n; ++i) {
        if (!(r.l2a_type(i) == "DUMMY")) continue;
        const int32_t b = by_name.last(r.l2a_back(i).view());
        if (b <= 0) continue;
        if (r.l2b_nbond >= MAX1BND) {
          foundation::table_full(mdoc, " ERROR: number of bonds of monomer >", MAX1BND, "",
                                 {.constant = "MAX1BND", .header = "lib_com", .indent = 9});
          ierr = 1;
          return;
        }
        const int k = ++r.l2b_nbond;
        r.l2b_i1atm(k) = b;
        r.l2b_i2atm(k) = i;
        r.l2b_1atm(k) = r.l2a_aname(b);
        r.l2b_2atm(k) = r.l2a_aname(i);
      }
      npiece = dictionary::merge_l2_pieces(n, n);
    }
  }
  if (npiece >= 2) {
    if (list == 'T') trace_pieces(mdoc, npiece);
    msgerr_(mdoc, " WARNING: monomer:" + std::string(rt::FixedText<8>(r.l1l_mname.view()).view()) +
                      " not completely connected.");
    msgerr_(mdoc, "          program will add " + rt::fmt("(I4)", npiece - 1) +
                      " additional connections in tree structure");
    ierr = 10;
  }

  bool absent = false;
  for (int k = 1; k <= r.l1n_nconn; ++k)
    if (r.l1n_i1atm(k) == 0 || r.l1n_i2atm(k) == 0) absent = true;
  for (int b = 1; b <= r.l1b_nbond; ++b)
    if (r.l1b_i1atm(b) == 0 || r.l1b_i2atm(b) == 0) absent = true;
  if (absent) ierr += 100;
  compress_l1_gm_(mdoc, istat);
}
