// Numbering of library entries: names resolved through an index of the atom
// list, so each name costs one look-up rather than a pass over the atoms.
#include "dictionary/lib_numbering.h"

#include <string>

#include "dictionary/l1_kernels.h"
#include "dictionary/lib_com.h"
#include "dictionary/work_refs.h"
#include "foundation/lookup_index.h"
#include "foundation/messages.h"
#include "runtime/format.h"

namespace {

template <typename Names, typename Ints>
void resolve_last(const foundation::LookupIndex<4, MAX1ATM>& index, const Names& names, Ints& ints,
                  int nrow) {
  for (int row = 1; row <= nrow; ++row)
    if (const int32_t j = index.last(names(row).view())) ints(row) = j;
}

}  // namespace

void set_num_lib_(int32_t mdoc, char list) {
  r_scratch_t& r = r_scratch;
  if (list == 'T')
    msgdoc_(mdoc, "set_num_lib:" + rt::fmt("(5I4)", r.l1a_natom, r.l1b_nbond, r.l1g_nangl,
                                           r.l1t_ntors, r.l1c_nchir));
  const int n = r.l1a_natom;
  if (n < 1) return;

  static foundation::LookupIndex<4, MAX1ATM> index;
  index.clear();
  for (int i = 1; i <= n; ++i) index.add(r.l1a_aname(i).view(), i);

  const dictionary::WorkRefs w = dictionary::l1_refs();
  for (int c = 0; c < 2; ++c) resolve_last(index, *w.bond_atm[c], *w.bond_i[c], r.l1b_nbond);
  for (int c = 0; c < 3; ++c) resolve_last(index, *w.ang_atm[c], *w.ang_i[c], r.l1g_nangl);
  for (int c = 0; c < 4; ++c) resolve_last(index, *w.tor_atm[c], *w.tor_i[c], r.l1t_ntors);
  for (int ic = 1; ic <= r.l1c_nchir; ++ic) {
    for (int c = 0; c < 9; ++c)
      if (const int32_t j = index.last((*w.chir_atm[c])(ic).view())) (*w.chir_i[c])(ic) = j;
    float vol = 0.0f, ph1 = 0.0f, ph2 = 0.0f, ph3 = 0.0f;
    calc_ivol_(ic, vol, ph1, ph2, ph3);
    r.l1c_vol(ic) = vol;
  }

  for (int p = 1; p <= r.l1p_nplan; ++p) {
    for (int a = 1; a <= r.l1p_natom(p); ++a) {
      const rt::FixedText<4>& name = r.l1p_atom(a, p);
      auto line = [&](int len) {
        // Each formatted field is copied out before the next is formatted.
        std::string text = "set_num_lib:";
        text += rt::fmt("(2I3)", p, a);
        text.append(":").append(r.l1p_label(p).view()).append(":").append(name.view()).append(":");
        text += rt::fmt("(2I3)", len, r.l1p_iatom(a, p));
        msgdoc_(mdoc, text);
      };
      if (list == 'T') line(name.len_trim());
      const int32_t j = index.first(name.view());
      r.l1p_iatom(a, p) = j;
      // The listing shows the used length of the last atom name compared.
      if (list == 'T') line(r.l1a_aname(j > 0 ? j : n).len_trim());
    }
  }
}
