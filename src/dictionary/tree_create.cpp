// Tree construction from the bond graph.  During construction l1a_lencon
// holds the working neighbour lists: an entry is positive for a bond still in
// play, 0 for a bond consumed by leaf removal (cleared on the parent's side
// only) and negative for a bond cut as a ring closure (both sides).  Entry 1
// of each row carries the hydrogen-neighbour count in and out, so it is kept
// in l1a_iold meanwhile.
#include "dictionary/tree_create.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <string_view>

#include "dictionary/element_table.h"
#include "dictionary/lib_com.h"
#include "dictionary/res_class_detect.h"
#include "foundation/messages.h"
#include "runtime/format.h"

namespace {

using Name = rt::FixedText<4>;

bool hydrogen_symbol(int a) { return dictionary::is_hydrogen(r_scratch.l1a_symb(a)); }

struct NamePair {
  std::string_view a, b;
};
constexpr std::array<NamePair, 1> kNucleotideKept = {{{"C4*", "C3*"}}};
constexpr std::array<NamePair, 5> kPyranoseKept = {
    {{"C1", "C2"}, {"C2", "C3"}, {"C3", "C4"}, {"C4", "C5"}, {"C5", "O5"}}};
constexpr std::array<NamePair, 1> kPeptideKept = {{{"N", "CA"}}};

bool has_class_backbone(int cls) {
  return cls == 3 || cls == 4 || cls == 5 || cls == 6 || cls == 7 || cls == 8 || cls == 10;
}

template <std::size_t N>
bool in_pairs(const std::array<NamePair, N>& pairs, const Name& x, const Name& y) {
  for (const NamePair& p : pairs)
    if ((x == p.a && y == p.b) || (x == p.b && y == p.a)) return true;
  return false;
}

// A backbone bond of the residue class, never cut while another will do.
bool kept_bond(int cls, int i, int j) {
  const Name& x = r_scratch.l1a_aname(i);
  const Name& y = r_scratch.l1a_aname(j);
  if (cls == 5 || cls == 6) return in_pairs(kNucleotideKept, x, y);
  if (cls == 7 || cls == 8) return in_pairs(kPyranoseKept, x, y);
  if (cls == 3 || cls == 4 || cls == 10) return in_pairs(kPeptideKept, x, y);
  return false;
}

void set_back(int i, int j) {
  r_scratch_t& r = r_scratch;
  r.l1a_iback(i) = j;
  r.l1a_back(i) = j > 0 ? r.l1a_aname(j).view() : std::string_view(".");
}
void set_forw(int i, int j) {
  r_scratch_t& r = r_scratch;
  r.l1a_iforw(i) = j;
  r.l1a_forw(i) = j > 0 ? r.l1a_aname(j).view() : std::string_view(".");
}
void set_last(int i) {
  r_scratch.l1a_iforw(i) = 0;
  r_scratch.l1a_forw(i) = "END";
}
bool has_back(int i) { return !(r_scratch.l1a_back(i) == "."); }
bool has_forw(int i) { return !(r_scratch.l1a_forw(i) == "."); }

int32_t& entry(int k, int i) { return r_scratch.l1a_lencon(k, i); }

// Slot of the first live entry of atom j pointing to atom i; 0 when none.
int live_slot(int j, int i) {
  for (int k = 1; k <= r_scratch.l1a_ndist(j); ++k)
    if (entry(k, j) == i) return k;
  return 0;
}

class TreeBuilder {
 public:
  TreeBuilder(int32_t mdoc, char list)
      : mdoc_(mdoc), list_(list), r_(r_scratch), na_(r_scratch.l1a_natom) {}

  int32_t build();

 private:
  void prepare();
  void remove_leaves_once();
  bool cut_one_bond();
  void cut(int i, int ki, int j, int kj);
  bool cut_if_ring(int i, bool class_step);
  int32_t reroot_and_run();
  bool store_extra_connections();
  void hang_loose_atoms();
  void restore_hydrogen_counts();
  int depth(int a) const;

  int32_t mdoc_;
  char list_;
  r_scratch_t& r_;
  int na_;
  int cls_ = 1;
  int nc_ = 0;
  int pass_ = 0;
  int first_leaf_ = 0;
  int best_all_ = 0, best_free_ = 0;
  int key_all_[2] = {0, 0}, key_free_[2] = {0, 0};
  int start_ = 0, last_ = 0;
};

void TreeBuilder::prepare() {
  nc_ = 0;
  for (int i = 1; i <= na_; ++i) {
    r_.l1a_iold(i) = r_.l1a_lencon(1, i);
    r_.l1a_nextr(i) = 0;
    const int nd = std::min<int32_t>(r_.l1a_ndist(i), MAX1BRN);
    for (int k = 1; k <= nd; ++k) {
      entry(k, i) = std::abs(r_.l1a_conn(k, i));
      if (entry(k, i) > 0) ++r_.l1a_nextr(i);
    }
    set_back(i, 0);
    set_forw(i, 0);
    nc_ += r_.l1a_nextr(i);
  }
}

void TreeBuilder::remove_leaves_once() {
  for (int i = na_; i >= 1; --i) {
    if (r_.l1a_ndist(i) <= 0 || r_.l1a_nextr(i) != 1) continue;
    int ia = 0;
    for (int k = 1; k <= r_.l1a_ndist(i) && ia == 0; ++k)
      if (entry(k, i) > 0) ia = entry(k, i);
    if (ia == 0) continue;
    --nc_;
    r_.l1a_nextr(i) = 0;
    set_back(i, ia);
    if (first_leaf_ == 0) first_leaf_ = i;
    if (pass_ == 0 && !hydrogen_symbol(i)) {
      const int nh = r_.l1a_iold(i);
      const int key[2] = {r_.l1a_ndist(i) - nh, nh};
      auto better = [&](const int* cur) {
        return key[0] < cur[0] || (key[0] == cur[0] && key[1] < cur[1]);
      };
      if (best_all_ == 0 || better(key_all_)) {
        best_all_ = i;
        key_all_[0] = key[0], key_all_[1] = key[1];
      }
      if (r_.l1a_nring(i) < 1 && (best_free_ == 0 || better(key_free_))) {
        best_free_ = i;
        key_free_[0] = key[0], key_free_[1] = key[1];
      }
    }
    if (r_.l1a_nextr(ia) > 0) {
      if (const int k = live_slot(ia, i)) {
        entry(k, ia) = 0;
        --r_.l1a_nextr(ia);
        --nc_;
      }
    }
  }
  ++pass_;
}

void TreeBuilder::cut(int i, int ki, int j, int kj) {
  entry(ki, i) = -entry(ki, i);
  entry(kj, j) = -entry(kj, j);
  --r_.l1a_nextr(i);
  --r_.l1a_nextr(j);
  nc_ -= 2;
  if (list_ == 'T') msgdoc_(mdoc_, rt::list_line("ITEMP_r,I,J:", i, j));
}

// Cuts the first ring bond at atom i (two bonds in play); class_step keeps
// the backbone bonds of the residue class.
bool TreeBuilder::cut_if_ring(int i, bool class_step) {
  static int32_t iac[MAX1ATM], ipn[MAX1ATM], i1[MAX1BND], i2[MAX1BND];
  for (int k = 1; k <= r_.l1a_ndist(i); ++k) {
    const int j = entry(k, i);
    if (j <= 0) continue;
    if (class_step && kept_bond(cls_, i, j)) continue;
    const int kj = live_slot(j, i);
    if (kj == 0) continue;
    int32_t iring = 0;
    check_ring_for_tree_(na_, iring, i, j, r_.l1a_ndist.data(), r_.l1a_nextr.data(),
                         r_.l1a_lencon.data(), iac, ipn, i1, i2, MAX1BRN, MAX1ATM, MAX1BND);
    if (iring == 1) {
      cut(i, k, j, kj);
      return true;
    }
  }
  return false;
}

bool TreeBuilder::cut_one_bond() {
  if (has_class_backbone(cls_)) {
    for (int i = 1; i <= na_; ++i)
      if (r_.l1a_ndist(i) > 0 && r_.l1a_nextr(i) == 2 && cut_if_ring(i, true)) return true;
  }
  for (int i = 1; i <= na_; ++i)
    if (r_.l1a_ndist(i) > 0 && r_.l1a_nextr(i) == 2 && cut_if_ring(i, false)) return true;
  // No ring bond found: cut without the ring test, at atoms with two bonds
  // in play first, then at atoms with more.
  for (int more = 0; more < 2; ++more) {
    for (int i = 1; i <= na_; ++i) {
      const int nx = r_.l1a_nextr(i);
      if (more == 0 ? nx != 2 : nx <= 2) continue;
      for (int k = 1; k <= r_.l1a_ndist(i); ++k) {
        const int j = entry(k, i);
        if (j <= 0 || r_.l1a_ndist(j) <= 0) continue;
        if (const int kj = live_slot(j, i)) {
          cut(i, k, j, kj);
          return true;
        }
      }
    }
  }
  return false;
}

int TreeBuilder::depth(int a) const {
  int d = 0;
  for (int p = r_.l1a_iback(a); p > 0 && d <= na_; p = r_.l1a_iback(p)) ++d;
  return d < 1 ? 1 : d;
}

int32_t TreeBuilder::reroot_and_run() {
  // Re-root at the start atom: reverse the back links on its path to the root.
  static int32_t path[MAX1ATM];
  int np = 0;
  path[np++] = start_;
  for (int p = start_; r_.l1a_iback(p) > 0 && np < na_;) {
    const int parent = r_.l1a_iback(p);
    set_forw(parent, p);
    path[np++] = parent;
    p = parent;
  }
  for (int m = 0; m < np; ++m) {
    const int a = path[m];
    const int32_t b = r_.l1a_iback(a), f = r_.l1a_iforw(a);
    const Name bn = r_.l1a_back(a), fn = r_.l1a_forw(a);
    r_.l1a_iback(a) = f;
    r_.l1a_back(a) = fn;
    r_.l1a_iforw(a) = b;
    r_.l1a_forw(a) = bn;
  }
  set_back(start_, 0);
  set_last(path[np - 1]);

  // The last atom is the deepest; of equally deep atoms the last heavy one.
  last_ = 0;
  int best = 0;
  for (int a = 1; a <= na_; ++a) {
    if (a == start_) continue;
    const int d = depth(a);
    if (d > best || (d == best && !hydrogen_symbol(a))) {
      best = d;
      last_ = a;
    }
  }
  if (last_ == 0) last_ = start_;

  for (int a = 1; a <= na_; ++a) set_forw(a, 0);
  set_last(last_);
  for (int c = last_, p = r_.l1a_iback(c), steps = 0; p > 0 && steps < na_;
       c = p, p = r_.l1a_iback(p), ++steps)
    set_forw(p, c);
  // Branches continue into heavy atoms before hydrogens, lower positions first.
  for (int hyd = 0; hyd < 2; ++hyd) {
    for (int a = 1; a <= na_; ++a) {
      if (a == start_ || hydrogen_symbol(a) != (hyd == 1)) continue;
      for (int c = a, p = r_.l1a_iback(a), steps = 0; p > 0 && steps < na_;
           c = p, p = r_.l1a_iback(p), ++steps)
        if (!has_forw(p)) set_forw(p, c);
    }
  }
  for (int k = 1; k <= r_.l1a_ndist(start_); ++k) {
    const int j = entry(k, start_);
    if (j <= 0 || r_.l1a_iback(j) == start_) continue;
    if (!has_forw(j)) set_forw(j, r_.l1a_iback(j));
    if (r_.l1a_iforw(j) == start_) set_forw(j, 0);
    set_back(j, start_);
  }
  return 0;
}

bool TreeBuilder::store_extra_connections() {
  r_.l1n_nconn = 0;
  for (int i = 1; i <= na_; ++i) {
    for (int k = 1; k <= r_.l1a_ndist(i); ++k) {
      const int v = entry(k, i);
      if (v >= 0 || -v <= i) continue;
      if (r_.l1n_nconn >= MAX1CONN) {
        foundation::table_full(mdoc_,
                               " ERROR: number of extra connections of new monomer" +
                                   std::string(rt::FixedText<8>(r_.l1l_mname.view()).view()) + " >",
                               MAX1CONN, "",
                               {.constant = "MAX1CONN", .header = "lib_com", .indent = 10});
        return false;
      }
      const int n = ++r_.l1n_nconn;
      r_.l1n_i1atm(n) = i;
      r_.l1n_i2atm(n) = -v;
      r_.l1n_1atm(n) = r_.l1a_aname(i);
      r_.l1n_2atm(n) = r_.l1a_aname(-v);
      r_.l1n_type(n) = ".";
    }
  }
  return true;
}

void TreeBuilder::hang_loose_atoms() {
  int hang = last_;
  for (int a = 1; a <= na_; ++a) {
    if (a == hang || a == start_ || has_back(a) || has_forw(a)) continue;
    set_back(a, hang);
    r_.l1a_type(a) = "DUMMY";
    if (hang != last_) set_forw(hang, a);
    hang = a;
  }
  for (int a = 1; a <= na_; ++a) {
    if (a == start_ || has_back(a)) continue;
    set_back(a, start_);
    r_.l1a_type(a) = "DUMMY";
  }
}

void TreeBuilder::restore_hydrogen_counts() {
  for (int i = 1; i <= na_; ++i) {
    r_.l1a_lencon(1, i) = r_.l1a_iold(i);
    r_.l1a_iold(i) = 0;
  }
}

int32_t TreeBuilder::build() {
  if (na_ < 1) return 1;
  int32_t ierr = 0;
  precheck_res_type_(mdoc_, cls_, ierr);
  prepare();

  if (r_.l1b_nbond == 0) {
    for (int i = 1; i <= na_; ++i) {
      if (i > 1) {
        set_back(i, i - 1);
        r_.l1a_type(i) = "DUMMY";
      }
      if (i < na_) set_forw(i, i + 1);
    }
    set_last(na_);
    start_ = 1;
    last_ = na_;
  } else {
    while (nc_ > 1) {
      const int before = nc_;
      remove_leaves_once();
      if (list_ == 'T') msgdoc_(mdoc_, rt::list_line("->ICYCLE,NC:", pass_, nc_));
      if (nc_ == before && nc_ > 1 && !cut_one_bond()) {
        msgerr_(mdoc_, " ERROR: can not create tree structure");
        restore_hydrogen_counts();
        return 1;
      }
    }
    start_ = best_free_ != 0 ? best_free_ : best_all_ != 0 ? best_all_ : first_leaf_;
    // Bonds whose atoms were never entered in the neighbour lists leave no
    // leaf at all, so no atom to start from.
    if (start_ == 0) {
      msgerr_(mdoc_, " ERROR: can not create tree structure");
      restore_hydrogen_counts();
      return 1;
    }
    reroot_and_run();
    if (!store_extra_connections()) {
      restore_hydrogen_counts();
      return 1;
    }
  }
  hang_loose_atoms();
  r_.l1a_istart = start_;
  r_.l1a_ifinish = last_;
  restore_hydrogen_counts();
  if (list_ == 'T') msgdoc_(mdoc_, rt::list_line("== create tree: tree,ierr", start_, last_, 0));
  return 0;
}

}  // namespace

void create_tree_new_(int32_t mdoc, char list, int32_t& ierr) {
  TreeBuilder builder(mdoc, list);
  ierr = builder.build();
}

void check_ring_for_tree_(int32_t na, int32_t& iring, int32_t la1, int32_t la2,
                          const int32_t* ndist, const int32_t* nextr, const int32_t* lencon,
                          int32_t* iac, int32_t* ipn, int32_t* i1, int32_t* i2, int32_t max1brn,
                          int32_t max1atm, int32_t max1bnd) {
  iring = 0;
  const int n = std::min(na, max1atm);
  int nact = 0;
  for (int a = 1; a <= n; ++a) {
    ipn[a - 1] = 0;
    if (ndist[a - 1] > 0 && nextr[a - 1] > 0) {
      ipn[a - 1] = ++nact;
      iac[nact - 1] = nact;
    }
  }
  if (nact <= 4) return;
  int nb = 0;
  for (int a = 1; a <= n; ++a) {
    if (ipn[a - 1] == 0) continue;
    const int nd = std::min(ndist[a - 1], max1brn);
    for (int k = 1; k <= nd; ++k) {
      const int v = lencon[(a - 1) * max1brn + (k - 1)];
      if (v <= a || v > n || ipn[v - 1] == 0) continue;
      if ((a == la1 && v == la2) || (a == la2 && v == la1)) continue;
      if (nb >= max1bnd) break;
      i1[nb] = ipn[a - 1];
      i2[nb] = ipn[v - 1];
      ++nb;
    }
  }
  if (nb <= 2) return;
  // Groups merged along the bonds; one group left means the atoms stay
  // connected without the tested bond.  iac holds each group's parent.
  auto root = [&](int x) {
    while (iac[x - 1] != x) {
      iac[x - 1] = iac[iac[x - 1] - 1];
      x = iac[x - 1];
    }
    return x;
  };
  int groups = nact;
  for (int b = 0; b < nb; ++b) {
    const int x = root(i1[b]), y = root(i2[b]);
    if (x == y) continue;
    iac[std::max(x, y) - 1] = std::min(x, y);
    --groups;
  }
  if (groups == 1) iring = 1;
}
