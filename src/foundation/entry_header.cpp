// Start values of the entry header of the coordinate tables.
#include "foundation/entry_header.h"

#include <string>

#include "foundation/atom_com.h"
#include "foundation/messages.h"

namespace foundation {

void clear_entry_header() {
  crdinf_t& c = crdinf;
  c.cr_nspgr = 1;
  c.cr_sett = 1;
  c.cr_nsym = 1;
  c.cr_ncs = 0;
  c.cr_mult_flag = 0;
  c.cr_model_pdb = 0;
  c.cr_symop = "X,Y,Z";
  c.cr_spgr = "P 1";
  c.cr_cd_pdb = "xxxx";
  c.cr_name_pdb = "----";
  c.cr_date_pdb = "XX-XXX-XX";
  c.cr_title = "---";
  c.cr_resl_pdb = ".";
  c.cr_rfac_pdb = ".";

  crdpdb_t& d = crdpdb;
  d.cr_temper = d.cr_wavel = d.cr_res_min = d.cr_res_max = 0.0f;
  d.cr_rfac_all = d.cr_rfac_obs = d.cr_sigma_i = d.cr_sigma_f = 0.0f;
  d.cr_cd_ndb = "?";
  d.cr_cd_csd = "?";
  d.cr_date_ndb = "?";
  d.cr_date_creat = "?";
  d.cr_program = "?";
  d.cr_method = "?";
}

void put_entry_text(rt::TextRef store, std::string_view text, std::string_view item) {
  text = rt::trim_right(text);
  const int n = static_cast<int>(text.size());
  if (n > store.len()) {
    msgdoc_(1, " WARNING: " + std::string(item) + " of " + std::to_string(n) +
                   " characters is cut to its first " + std::to_string(store.len()));
    text = text.substr(0, static_cast<std::size_t>(store.len()));
  }
  store.assign(text);
}

}  // namespace foundation
