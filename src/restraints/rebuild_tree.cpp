// Rebuilding along the tree of the kept residue.
#include "restraints/rebuild_tree.h"

#include <string>

#include "dictionary/lib_com.h"
#include "foundation/lookup_index.h"
#include "foundation/messages.h"
#include "foundation/vec3.h"
#include "restraints/end_torsions.h"
#include "restraints/placement.h"
#include "restraints/rebuild_start.h"
#include "restraints/residue_links.h"
#include "runtime/format.h"

namespace {

using restraints::in_rows;
using restraints::WorkSlot;

// Second tree level of the following residue: the children of its start row
// icc (hanging on icb of the rebuilt residue, whose back row is icbb), and
// the children of each of them.
void into_next_residue(const WorkSlot& s2, const WorkSlot& s1, int32_t icc, int32_t icb, int32_t icbb,
                       const restraints::Permission& permit, int32_t& na_rebld) {
  float ref[3], axis[3];
  nb_vsub_(s2.xyz.column(icb), s2.xyz.column(icbb), ref);
  nb_vsub_(s1.xyz.column(icc), s2.xyz.column(icb), axis);
  restraints::place_children(s1, icc, 0, ref, axis, s1.dist(icc), s1.tht(icc), 0, 0, 0.0f, permit,
                             na_rebld, [&](int32_t icn, bool) {
                               if (!s1.usable(icn) || !s1.usable(icc) || !s2.usable(icb)) return;
                               float ref2[3], axis2[3];
                               nb_vsub_(s1.xyz.column(icc), s2.xyz.column(icb), ref2);
                               nb_vsub_(s1.xyz.column(icn), s1.xyz.column(icc), axis2);
                               restraints::place_children(s1, icn, icc, ref2, axis2, s1.dist(icn),
                                                          s1.tht(icn), 0, 0, 0.0f, permit,
                                                          na_rebld);
                             });
}

// The following residue's start atom and its alternate copies, for the copy
// ic of the rebuilt residue's last atom.
void step_across(const WorkSlot& s2, const WorkSlot& s1, int32_t ic, const restraints::Permission& permit,
                 int32_t& na_rebld, bool& stop) {
  int32_t s = s1.row_of(s2.conn_f(ic) - s1.iglobal);
  if (!in_rows(s)) return;
  if (s1.ialt(s) > 0) s = s1.ialt(s);
  if (!in_rows(s)) return;
  const int32_t n = s1.nalt(s);
  int32_t counted = 0;
  const int32_t from = s1.iold(s);
  if (from <= 0) return;
  for (int32_t num = from; num <= std::min<int32_t>(s1.natom, MX1ATOM); ++num) {
    const int32_t icc = s1.row_of(num);
    const bool counts = in_rows(icc) && ((icc == s && s1.ialt(icc) == 0) || s1.ialt(icc) == s);
    if (counts) {
      ++counted;
      const int32_t g = s1.conn_s(icc);
      if (g > 0 && s1.usable(icc)) {
        const int32_t icb = s2.row_of(g - s2.iglobal);
        const int32_t icbb = in_rows(icb) ? s2.iback(icb) : 0;
        if (icb <= 0 || icbb <= 0 || !in_rows(icbb)) {
          stop = true;
          return;
        }
        if (s2.usable(icb) && s2.usable(icbb)) into_next_residue(s2, s1, icc, icb, icbb, permit, na_rebld);
      }
    }
    if (counted == n) return;
  }
}

void trace_rows(int32_t mdoc, const WorkSlot& s, const char* label) {
  msgdoc_(mdoc, rt::fmt("(1X,A,' rows ',I4,' base ',I8)", std::string_view(label), s.igatm, s.iglobal));
  for (int32_t i = 1; i <= std::min<int32_t>(s.igatm, MX1ATOM); ++i) {
    std::string line = rt::fmt("(I4,1X,A,I4,I4,I3,I3,1X,A)", i, s.aname(i).view(), s.iback(i), s.ialt(i),
                               s.ndist(i), s.nextr(i), s.atype(i).view());
    for (int k = 1; k <= std::min<int32_t>(s.ndist(i), 10); ++k) line += rt::fmt("(I4)", s.conn(k, i));
    for (int k = 1; k <= std::min<int32_t>(s.nextr(i), 10); ++k) line += rt::fmt("(I4)", s.iextr(k, i));
    msgdoc_(mdoc, line);
  }
}

// C2 rows by name, built once per residue: each tree atom finds its copies
// without a pass over all rows.
foundation::LookupIndex<4, MX1ATOM> g_rows;

void index_rows(const WorkSlot& s2) {
  g_rows.clear();
  for (int32_t ic = 1; ic <= std::min<int32_t>(s2.igatm, MX1ATOM); ++ic) g_rows.add(s2.aname(ic).view(), ic);
}

void children_of_copies(int32_t il, char ch_flag, char ch_flag_old, char hflag, char rflag, int32_t& na_rebld);

}  // namespace

void rebuild_atom_(int32_t, char, int32_t il, char ch_flag, char ch_flag_old, char hflag, char rflag,
                   int32_t& na_rebld, int32_t& ierr) {
  ierr = 0;
  if (il < 1 || il > MAX1ATM) return;
  index_rows(restraints::slot2());
  children_of_copies(il, ch_flag, ch_flag_old, hflag, rflag, na_rebld);
}

namespace {

void children_of_copies(int32_t il, char ch_flag, char ch_flag_old, char hflag, char rflag, int32_t& na_rebld) {
  const r_scratch_t& r = r_scratch;
  const WorkSlot& s2 = restraints::slot2();
  const WorkSlot& s1 = restraints::slot1();
  const restraints::Permission permit{hflag, rflag};
  // A histidine read under a force-field name (HID, HIE) is the run's HIS:
  // its rebuilt ring hydrogens are as unsure as those of one read as HIS.
  const bool his = restraints::library_name(r.c2_ich, r.c2_ires, r.c2_rname) == "HIS";
  const bool across = il == r.l2a_ifinish && ch_flag != 'G' && ch_flag != 'S' && ch_flag != 'M' &&
                      ch_flag_old != 'M';
  bool done = false;
  g_rows.for_each(r.l2a_aname(il).view(), [&](int32_t ic) {
    if (done || !s2.usable(ic)) return;
    const int32_t icb = s2.iback(ic);
    const int32_t icbb = in_rows(icb) ? s2.iback(icb) : 0;
    if (!in_rows(icb) || !in_rows(icbb)) {
      done = true;
      return;
    }
    if (!s2.usable(icb) || !s2.usable(icbb)) return;
    float ref[3], axis[3];
    nb_vsub_(s2.xyz.column(icb), s2.xyz.column(icbb), ref);
    nb_vsub_(s2.xyz.column(ic), s2.xyz.column(icb), axis);
    int32_t ice = 0;
    float phe = 0.0f;
    if (s2.nextr(ic) > 0) {
      ice = s2.iextr(1, ic);
      int32_t iph = 0;
      float ideal = 0.0f;
      calc_phi_s2_(icbb, icb, ic, ice, 0, iph, phe, ideal, 0.0f);
    }
    restraints::place_children(s2, ic, icb, ref, axis, s2.dist(ic), s2.tht(ic), 0, ice, phe, permit,
                               na_rebld, [&](int32_t child, bool placed) {
                                 if (placed && his && (s2.aname(child) == "HD1" || s2.aname(child) == "HE2"))
                                   s2.occ(child) = 0.0f;
                               });
    if (across && s2.conn_f(ic) > 0) step_across(s2, s1, ic, permit, na_rebld, done);
  });
}

}  // namespace

void rebuild_(int32_t mdoc, char list, char ch_flag, char ch_flag_old, int32_t, int32_t, int32_t, char h_flag,
              char rflag, int32_t& na_rebld, int32_t& ierr) {
  ierr = 0;
  if (h_flag != 'A' && rflag != 'Y') return;
  const r_scratch_t& r = r_scratch;
  if (list == 'T') {
    msgdoc_(mdoc, rt::fmt("(' rebuild: start ',I4,' finish ',I4,' flags ',A,1X,A)", r.l2a_istart, r.l2a_ifinish,
                          std::string_view(&ch_flag, 1), std::string_view(&ch_flag_old, 1)));
    trace_rows(mdoc, restraints::slot2(), "C2");
    trace_rows(mdoc, restraints::slot1(), "C1");
  }
  init_rebuild_(mdoc, list, ch_flag, ch_flag_old, h_flag, rflag, na_rebld, ierr);
  if (ierr != 0) return;
  index_rows(restraints::slot2());
  ierr = restraints::walk_l2_tree(mdoc, [&](int32_t i) {
    if (r.l2a_iback(i) != r.l2a_istart) children_of_copies(i, ch_flag, ch_flag_old, h_flag, rflag, na_rebld);
    return 0;
  });
}
