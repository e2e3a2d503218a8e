// The connectivity driver: the stages in their fixed order, each reading
// what the stages before it left in the shared tables.
#include "connect/connect_driver.h"

#include "connect/chains.h"
#include "connect/consecutive_links.h"
#include "connect/distance_links.h"
#include "connect/spec_pos.h"
#include "coords/chain_termini.h"
#include "coords/entity_descr.h"
#include "dictionary/lib_com.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "identify/info_trace.h"
#include "runtime/format.h"

void check_descr_structure_(int32_t mmdoc, char list, char check_spec, float dmin_spec,
                            char conn_flag, char cis_flag, char lnk_flag, char chain_flag,
                            char& dnew, char /*new_flag*/, char ss_flag, char sugar_flag,
                            char /*check*/, char /*coor*/, int32_t& ierr) {
  ierr = 0;
  const int32_t mdoc = list == 'S' ? 999 : mmdoc;
  const int32_t md = mmdoc;
  const bool trace = list == 'T';
  dnew = 'N';
  int32_t nsug = 0;
  r_scratch.lso_nsym = crst_crd.cs_nsym;
  if (trace) {
    msgdoc_(md, " --- CHECK_DESCR_STRUCTURE --- ");
    print_info_test_(md);
  }
  const int32_t ln_n_init = link_inf.ln_n;

  def_spec_pos_(mdoc, check_spec, dmin_spec, ierr);
  if (ierr != 0) return;
  if (trace) msgdoc_(md, " --- DEF_CONN --- ");
  if (conn_flag != '0') {
    def_conn_(mmdoc, list, conn_flag, cis_flag, sugar_flag, ln_n_init, dnew, nsug, ierr);
    if (ierr != 0) return;
  }
  if (trace) msgdoc_(md, " --- DEF_LINK_NEW --- ");
  if (lnk_flag != '0') {
    def_link_new_(mdoc, list, lnk_flag, ss_flag, sugar_flag, ln_n_init, dnew, nsug, ierr);
    if (ierr != 0) return;
  }
  connect::peptide_link_forms(mdoc, cis_flag, ln_n_init);
  if (trace) rt::write_list(6, "--> nsug: ", nsug, asym_part.n_group);

  if (chain_flag == 'Y' || nsug >= 1) {
    if (trace) {
      msgdoc_(md, " --- SET_CHAIN --- ");
      print_info_test_(md);
    }
    set_chain_(mdoc, sugar_flag, chain_flag, list, ierr);
    if (ierr != 0) return;
    if (trace) {
      msgdoc_(md, " --- SET_MOD --- ");
      print_info_test_(md);
    }
    set_mod_(mdoc, ierr);
    if (ierr != 0) return;
  }
  if (trace) {
    msgdoc_(md, " --- CREAT_ENT_DESCR --- ");
    print_info_test_(md);
  }
  creat_ent_descr_(mdoc, std::string_view(&list, 1), ierr);
}
