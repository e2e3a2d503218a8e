// Link rows by residue, and the exchange of a row's two ends.
#include "connect/link_rows.h"

#include <utility>

#include "foundation/messages.h"

namespace connect {

void swap_link_ends(int k) {
  auto& l = link_inf;
  std::swap(l.ln_1ires(k), l.ln_2ires(k));
  std::swap(l.ln_1ichn(k), l.ln_2ichn(k));
  std::swap(l.ln_1rnam(k), l.ln_2rnam(k));
  std::swap(l.ln_seq1(k), l.ln_seq2(k));
  std::swap(l.ln_1chn(k), l.ln_2chn(k));
  std::swap(l.ln_atom1(k), l.ln_atom2(k));
  std::swap(l.ln_symm1(k), l.ln_symm2(k));
  std::swap(l.ln_alt1(k), l.ln_alt2(k));
}

int copy_link_row(int32_t mdoc, int k) {
  auto& l = link_inf;
  // A conformer's bond left out would be one the run drops while reporting
  // success.
  if (l.ln_n >= MAXLINK)
    foundation::stop_table_full(mdoc, " ERROR : Number of links >", MAXLINK,
                                {.constant = "MAXLINK", .header = "atom_com.fh", .indent = 11});
  const int n = ++l.ln_n;
  foundation::copy_link_fields(k, n);
  return n;
}

void LinkRows::clear() {
  for (int k = 1; k <= n_; ++k) {
    if (res1_(k) >= 1) head1_(res1_(k)) = 0;
    if (res2_(k) >= 1) head2_(res2_(k)) = 0;
  }
  n_ = 0;
}

void LinkRows::build(int n) {
  clear();
  n_ = n < MAXLINK ? n : MAXLINK;
  // Rows are threaded from the last, so each list runs in table order.
  for (int k = n_; k >= 1; --k) {
    const int r1 = link_inf.ln_1ires(k), r2 = link_inf.ln_2ires(k);
    res1_(k) = r1 >= 1 && r1 <= MAXRESID ? r1 : 0;
    res2_(k) = r2 >= 1 && r2 <= MAXRESID ? r2 : 0;
    next1_(k) = 0;
    next2_(k) = 0;
    if (res1_(k) != 0) {
      next1_(k) = head1_(r1);
      head1_(r1) = k;
    }
    if (res2_(k) != 0) {
      next2_(k) = head2_(r2);
      head2_(r2) = k;
    }
  }
}

void ModRows::build() {
  for (int k = 1; k <= n_; ++k)
    if (res_(k) >= 1) head_(res_(k)) = 0;
  n_ = mod_inf.mod_n < MAXMODIF ? mod_inf.mod_n : MAXMODIF;
  for (int k = n_; k >= 1; --k) {
    const int r = mod_inf.mod_ires(k);
    res_(k) = r >= 1 && r <= MAXRESID ? r : 0;
    next_(k) = 0;
    if (res_(k) != 0) {
      next_(k) = head_(r);
      head_(r) = k;
    }
  }
}

rt::FixedText<8> ModRows::name_before(int ir, int ich, const rt::FixedText<8>& name) const {
  if (ir < 1 || ir > MAXRESID) return name;
  for (int k = head_(ir); k != 0; k = next_(k)) {
    if (mod_inf.mod_ichn(k) != ich || mod_inf.mod_rnam(k) == ".") continue;
    if (mod_inf.mod_rnam_new(k) == name) return mod_inf.mod_rnam(k);
  }
  return name;
}

}  // namespace connect
