// Only the monomers the model uses are read from the library: one pass over
// the residues marks their entries, one call of the reader reads them all.
#include "identify/monomer_list.h"

#include "dictionary/dict_index.h"
#include "dictionary/lib_com.h"
#include "dictionary/lib_loading.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "identify/model_mods.h"

namespace {

using Code = rt::FixedText<8>;

int32_t listed(const Code& mon) { return dictionary::find_list_entry(mon.view(), false); }

}  // namespace

void look_mon_lib_(int32_t mdoc, Code& mon, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  if (r.lml_nmon < 1) {
    msgerr_(mdoc, " ERR: number of monomer in the library = 0");
    ierr = 2;
    return;
  }
  int32_t k = listed(mon);
  for (int j = 1; j <= r.lms_nsyn && k == 0; ++j) {
    if (!dictionary::synonym_names(j, mon.view())) continue;
    mon = r.lms_mname(j);
    k = listed(mon);
  }
  for (int j = 1; j <= r.ldr_nder && k == 0; ++j) {
    if (!(r.ldr_mname(j) == mon)) continue;
    const Code parent = r.ldr_smname(j);
    k = listed(parent);
    if (k != 0) {
      mon = parent;
      break;
    }
    for (int i = 1; i <= r.ldr_nder && k == 0; ++i) {
      if (!(r.ldr_mname(i) == parent)) continue;
      k = listed(r.ldr_smname(i));
      if (k != 0) mon = r.ldr_smname(i);
    }
  }
  if (k == 0) {
    ierr = 1;
    return;
  }
  if (r.lml_fuse(k) == "N") r.lml_fuse(k) = "R";
}

void pre_monom_list_(int32_t mdoc, char list, int32_t& ierr) {
  ierr = 0;
  const int32_t info = mdoc == 999 ? 999 : 0;
  if (atom_inf.n_atom < 1 || asym_part.n_group < 1) {
    msgerr_(mdoc, " ERROR: number of atoms = 0...");
    ierr = 1;
    return;
  }
  sset_fuse_('N', ' ');
  identify::ModelMods& mods = identify::model_mods();
  mods.reset();
  for (int ig = 1; ig <= asym_part.n_group; ++ig) {
    const int first = asym_part.ires_first(ig);
    for (int ir = first; ir < first + asym_part.nres_chain(ig); ++ir) {
      Code mon = resid_inf.res_name(ir);
      const int32_t m = mods.first_row(ig, ir, [&](int32_t row) { return mod_inf.mod_rnam_new(row) == mon; });
      if (m != 0) mon = mod_inf.mod_rnam(m);
      look_mon_lib_(mdoc, mon, ierr);
      if (ierr == 2) return;
      ierr = 0;
    }
  }
  msgdoc_(info, " I am reading library. Please wait.");
  msgdoc_(info, "               mon_lib.cif");
  read_lib_(mdoc, "M", 'N', list, ierr);
}
