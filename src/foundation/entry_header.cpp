// Start values of the entry header of the coordinate tables.
#include "foundation/entry_header.h"

#include "foundation/atom_com.h"

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

}  // namespace foundation
