// One look-up index from C2 name to C1 name serves every name field, so the
// transfer costs one look-up per field instead of a pass over the residue.
#include "identify/name_transfer.h"

#include "dictionary/lib_com.h"
#include "foundation/lookup_index.h"

namespace {

using Name = rt::FixedText<4>;

using Names = rt::Array1<Name, MX1ATOM>;

struct Renames {
  foundation::LookupIndex<4, MX1ATOM> by_from;
  const Names* to = nullptr;

  // Each field is replaced from its own value, never from a value written
  // by this pass.
  void apply(Name& field) const {
    const int32_t j = by_from.last(field.view());
    if (j != 0) field = (*to)(j);
  }
};

Renames& renames() {
  static Renames s;
  return s;
}

// Every L1 name that is some residue atom's name in `from` becomes that
// atom's name in `to`.
void rename_l1(const Names& from, const Names& to) {
  r_scratch_t& r = r_scratch;
  Renames& m = renames();
  m.by_from.clear();
  m.to = &to;
  const int n = r.c1_natom < MX1ATOM ? r.c1_natom : MX1ATOM;
  for (int j = 1; j <= n; ++j) m.by_from.add(from(j).view(), j);
  if (n < 1) return;
  for (int i = 1; i <= r.l1a_natom; ++i) {
    m.apply(r.l1a_aname(i));
    m.apply(r.l1a_back(i));
    m.apply(r.l1a_forw(i));
  }
  for (int i = 1; i <= r.l1n_nconn; ++i) {
    m.apply(r.l1n_1atm(i));
    m.apply(r.l1n_2atm(i));
  }
  for (int i = 1; i <= r.l1b_nbond; ++i) {
    m.apply(r.l1b_1atm(i));
    m.apply(r.l1b_2atm(i));
  }
  for (int i = 1; i <= r.l1g_nangl; ++i) {
    m.apply(r.l1g_1atm(i));
    m.apply(r.l1g_2atm(i));
    m.apply(r.l1g_3atm(i));
  }
  for (int i = 1; i <= r.l1t_ntors; ++i) {
    m.apply(r.l1t_1atm(i));
    m.apply(r.l1t_2atm(i));
    m.apply(r.l1t_3atm(i));
    m.apply(r.l1t_4atm(i));
  }
  for (int i = 1; i <= r.l1c_nchir; ++i) {
    for (Name* f : {&r.l1c_1atm(i), &r.l1c_2atm(i), &r.l1c_3atm(i), &r.l1c_4atm(i), &r.l1c_5atm(i),
                    &r.l1c_6atm(i), &r.l1c_7atm(i), &r.l1c_8atm(i), &r.l1c_9atm(i)})
      m.apply(*f);
  }
  for (int p = 1; p <= r.l1p_nplan; ++p)
    for (int k = 1; k <= r.l1p_natom(p) && k <= MAX1APL; ++k) m.apply(r.l1p_atom(k, p));
}

}  // namespace

void cp_aname_c1_l1_() { rename_l1(r_scratch.c2_aname, r_scratch.c1_aname); }

void identify::l1_names_to_c2() { rename_l1(r_scratch.c1_aname, r_scratch.c2_aname); }
