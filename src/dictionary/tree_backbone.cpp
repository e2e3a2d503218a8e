// New first or last atom of the L1 atom tree.  A new first atom reverses the
// path from it to the old first atom; the connection type of each atom on
// that path describes its link to its back atom, so the types move one step
// along the path with the links.  Every walk is bounded by the atom count,
// so a malformed tree cannot make it run on.
#include "dictionary/tree_backbone.h"

#include <utility>

#include "dictionary/lib_com.h"

namespace {

// Reverses the back links from s up to the old first atom and makes s the
// first atom.
void reverse_to_root(int32_t s) {
  r_scratch_t& r = r_scratch;
  int32_t cur = s, prev = 0;
  rt::FixedText<8> carried(".");
  for (int steps = 0; steps <= r.l1a_natom; ++steps) {
    const int32_t b = r.l1a_iback(cur);
    if (b >= 1) {
      r.l1a_iforw(cur) = b;
      r.l1a_forw(cur) = r.l1a_aname(b);
      if (prev > 0) {
        r.l1a_iback(cur) = prev;
        r.l1a_back(cur) = r.l1a_aname(prev);
        std::swap(r.l1a_type(cur), carried);
      }
      prev = cur;
      cur = b;
      continue;
    }
    if (prev > 0) {
      r.l1a_forw(cur) = ".";
      r.l1a_type(cur) = carried;
      r.l1a_back(cur) = r.l1a_aname(prev);
      r.l1a_iback(cur) = prev;
      r.l1a_iforw(cur) = 0;
    }
    break;
  }
  r.l1a_istart = s;
  r.l1a_iback(s) = -1;
  r.l1a_back(s) = ".";
}

// Forward links along the path from atom f up to the first atom, f the last
// atom.  Returns the atoms visited through marks in `on_path` when given.
void forward_chain(int32_t f, rt::Array1<bool, MAX1ATM>* on_path) {
  r_scratch_t& r = r_scratch;
  r.l1a_forw(f) = "END";
  r.l1a_iforw(f) = -1;
  int32_t x = f;
  for (int steps = 0; steps < r.l1a_natom; ++steps) {
    const int32_t b = r.l1a_iback(x);
    if (b < 1) break;
    r.l1a_iforw(b) = x;
    r.l1a_forw(b) = r.l1a_aname(x);
    if (on_path) (*on_path)(b) = true;
    x = b;
  }
}

void new_first(int32_t s, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  if (s < 1) {
    ierr = 1;
    return;
  }
  reverse_to_root(s);
  if (r.l1a_ifinish < 1) {
    ierr = 1;
    return;
  }
  forward_chain(r.l1a_ifinish, nullptr);
}

void new_last(int32_t e, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  if (e < 1) {
    ierr = 1;
    return;
  }
  static rt::Array1<bool, MAX1ATM> on_path;
  for (int i = 1; i <= r.l1a_natom; ++i) on_path(i) = false;
  on_path(e) = true;
  forward_chain(e, &on_path);
  const int32_t old = r.l1a_ifinish;
  r.l1a_ifinish = e;
  // The old last atom loses its forward link only when it is off the new
  // main chain: on it, the link just set is the one that leads to e.
  if (old >= 1 && !on_path(old)) {
    r.l1a_forw(old) = ".";
    r.l1a_iforw(old) = 0;
  }
}

// The whole main chain reversed: the old last atom becomes the first, the old
// first atom the last.
void reverse_chain(int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  const int32_t last = r.l1a_ifinish, first = r.l1a_istart;
  if (last < 1 || first < 1) {
    ierr = 1;
    return;
  }
  if (last == first) return;
  reverse_to_root(last);
  r.l1a_ifinish = first;
  forward_chain(first, nullptr);
}

}  // namespace

void mod_tree_backbone_(int32_t itype, int32_t istart, int32_t ifinish, int32_t& ierr) {
  ierr = 0;
  switch (itype) {
    case 0:
      reverse_chain(ierr);
      break;
    case 1:
      new_first(istart, ierr);
      break;
    case 2:
      new_last(ifinish, ierr);
      break;
    default:
      break;
  }
}
