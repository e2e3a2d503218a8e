// Rows of the model link and modification tables by residue, so that the
// connectivity stages find the links and modifications of a residue without
// scanning a table per residue.
#pragma once

#include <cstdint>

#include "foundation/atom_com.h"
#include "runtime/array.h"

namespace connect {

// Exchanges the two ends of link row k, every column that belongs to an end,
// so that the row's first end becomes the link description's first partner.
void swap_link_ends(int k);

// A new last row of link_inf, a copy of row k; its index.  A full table
// stops the run.
int copy_link_row(int32_t mdoc, int k);

// Built over rows 1..n of link_inf as they stand; a stage that changes the
// residue columns of those rows builds again.  Visits come in table order.
class LinkRows {
 public:
  void build(int n);
  // f(k) for every row k whose end 1 (or end 2) is residue ir.
  template <typename F>
  void end1(int ir, F f) const {
    if (ir >= 1 && ir <= MAXRESID)
      for (int k = head1_(ir); k != 0; k = next1_(k)) f(k);
  }
  template <typename F>
  void end2(int ir, F f) const {
    if (ir >= 1 && ir <= MAXRESID)
      for (int k = head2_(ir); k != 0; k = next2_(k)) f(k);
  }
  // f(k) for every row with residue ir at one end or both, once each.
  template <typename F>
  void either(int ir, F f) const {
    if (ir < 1 || ir > MAXRESID) return;
    int a = head1_(ir), b = head2_(ir);
    while (a != 0 || b != 0) {
      if (b == 0 || (a != 0 && a < b)) {
        f(a);
        a = next1_(a);
      } else {
        if (a == b) a = next1_(a);
        f(b);
        b = next2_(b);
      }
    }
  }

 private:
  void clear();
  int n_ = 0;
  rt::Array1<int32_t, MAXRESID> head1_, head2_;
  rt::Array1<int32_t, MAXLINK> next1_, next2_;
  rt::Array1<int32_t, MAXLINK> res1_, res2_;  // residues whose heads this build set
};

// Rows of mod_inf by residue, built over the rows as they stand.
class ModRows {
 public:
  void build();
  // The name residue ir of chain ich had before a modification renamed it
  // to `name`: the first row of the residue and chain with a name kept
  // (mod_rnam not ".") and the new name `name`; else `name` itself.
  rt::FixedText<8> name_before(int ir, int ich, const rt::FixedText<8>& name) const;

 private:
  int n_ = 0;
  rt::Array1<int32_t, MAXRESID> head_;
  rt::Array1<int32_t, MAXMODIF> next_;
  rt::Array1<int32_t, MAXMODIF> res_;
};

}  // namespace connect
