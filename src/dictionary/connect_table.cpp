// Connection table of a resolved tree.  Branches are placed bottom-up (an
// atom completes once all its children have), each recording the number of
// atoms below and including it as its branch length; the children are then
// ordered for walking and the tree is walked depth-first with a small stack
// of pending branch points.
#include "dictionary/connect_table.h"

#include <string>
#include <utility>

#include "dictionary/lib_com.h"
#include "foundation/messages.h"
#include "runtime/format.h"

namespace dictionary {

std::string tree_warning(std::string_view mon, std::string_view pnum, std::string_view text) {
  std::string line = " WARNING : ";
  line.append(mon.substr(0, 245));
  const rt::FixedText<12> p(pnum);
  if (p(1) != ' ') {
    line += ' ';
    line.append(p.view());
  }
  line.append(text);
  return line;
}

}  // namespace dictionary

namespace {

constexpr int nstlim = 10;

bool starts_h(int a) { return r_scratch.l1a_aname(a)(1) == 'H'; }

void swap_slots(int i, int k, int l) {
  r_scratch_t& r = r_scratch;
  std::swap(r.l1a_conn(k, i), r.l1a_conn(l, i));
  std::swap(r.l1a_lencon(k, i), r.l1a_lencon(l, i));
}

// Slots 1..n-1 of atom i: hydrogens (names beginning "H") first, then the
// shorter branches; equal keys keep their placement order.
void order_side_branches(int i, int n) {
  r_scratch_t& r = r_scratch;
  auto key_less = [&](int a, int b) {
    const bool ha = starts_h(r.l1a_conn(a, i)), hb = starts_h(r.l1a_conn(b, i));
    if (ha != hb) return ha;
    return r.l1a_lencon(a, i) < r.l1a_lencon(b, i);
  };
  for (int k = 2; k <= n - 1; ++k)
    for (int l = k; l > 1 && key_less(l, l - 1); --l) swap_slots(i, l, l - 1);
}

}  // namespace

void connect_(int32_t mdoc, std::string_view mon, std::string_view pnum, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const int n = r.l1a_natom;
  auto warn = [&](std::string_view text) {
    msgerr_(mdoc, dictionary::tree_warning(mon, pnum, text));
  };
  auto fail = [&](std::string_view text) {
    warn(text);
    warn(" wrong tree structure /in subr. CONNECT/");
    ierr = 1;
  };
  static rt::Array1<int32_t, MAX1ATM> inew_t, iold_t;
  static rt::Array1<bool, MAX1ATM> numbered;
  for (int i = 1; i <= n; ++i) {
    inew_t(i) = r.l1a_ndist(i);
    iold_t(i) = r.l1a_iold(i);
    numbered(i) = false;
  }

  // Placement passes until the root completes.  A pass that places nothing
  // means a branch can never complete (a loop of back atoms).
  for (bool root_done = false; !root_done;) {
    bool placed = false;
    for (int i = 1; i <= n && !root_done; ++i) {
      if (inew_t(i) != 0) continue;
      const int b = r.l1a_iback(i);
      if (b == -1) {
        root_done = true;
        break;
      }
      if (b < 1 || b > n) continue;  // detached: not part of the walk
      const int p = r.l1a_ndist(b) - inew_t(b) + 1;
      if (p < 1 || p > MAX1BRN) {
        rt::write_list(6, "Problem in connect", p, MAX1BRN);
        ierr = 1;
        return;
      }
      int length = 1;
      for (int k = 1; k <= r.l1a_ndist(i); ++k) length += r.l1a_lencon(k, i);
      r.l1a_lencon(p, b) = length;
      r.l1a_conn(p, b) = i;
      inew_t(i) = -1;
      inew_t(b) -= 1;
      placed = true;
    }
    if (!root_done && !placed) {
      fail(" : bad tree structure");
      return;
    }
  }

  for (int i = 1; i <= n; ++i) {
    const int nd = r.l1a_ndist(i);
    if (nd < 2) continue;
    int kf = 0;
    for (int k = 1; k <= nd && kf == 0; ++k)
      if (r.l1a_aname(r.l1a_conn(k, i)) == r.l1a_forw(i)) kf = k;
    if (kf != 0) {
      swap_slots(i, kf, nd);
    } else if (r.l1a_iforw(i) != -1) {
      fail(" : forward_atom " + std::string(r.l1a_forw(i).view()) + " (for " +
           std::string(r.l1a_aname(i).view()) + ") is not in the table of connects");
      return;
    }
    order_side_branches(i, nd);
  }

  int32_t istack[nstlim], icstack[nstlim];
  int nstck = 0;
  int m = 0;
  auto number = [&](int atom) {
    ++m;
    inew_t(atom) = m;
    iold_t(m) = atom;
    numbered(atom) = true;
  };
  int k = r.l1a_istart;
  number(k);
  int j = 1;
  for (int steps = 0; steps <= n * (nstlim + 2); ++steps) {
    const int nd = r.l1a_ndist(k);
    if (nd == 1) {
      k = r.l1a_conn(1, k);
      number(k);
      j = 1;
    } else if (nd >= 2) {
      const int child = r.l1a_conn(j, k);
      if (j < nd) {
        if (nstck >= nstlim) {
          fail(" : N-stack > " + rt::fmt("(I6)", nstlim));
          return;
        }
        istack[nstck] = k;
        icstack[nstck] = j + 1;
        ++nstck;
      }
      number(child);
      j = 1;
      k = child;
    } else if (nd < 0 && nstck > 0) {
      fail(" : bad tree structure");
      return;
    } else {
      if (nstck == 0) break;
      --nstck;
      k = istack[nstck];
      j = icstack[nstck];
    }
    if (m > n) {
      fail(" : bad tree structure");
      return;
    }
  }
  for (int i = 1; i <= n; ++i)
    if (!numbered(i)) number(i);
  for (int i = 1; i <= n; ++i) {
    r.l1a_inew(i) = inew_t(i);
    r.l1a_iold(i) = iold_t(i);
  }
}
