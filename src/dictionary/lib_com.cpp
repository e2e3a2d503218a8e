// The dictionary store and its emptying.
#include "dictionary/lib_com.h"

#include "dictionary/dict_index.h"

r_scratch_t r_scratch;
com_conn_lib_t com_conn_lib;

void init_cnt_() {
  r_scratch_t& r = r_scratch;
  dictionary::reset_dictionary_index();
  for (int i = 1; i <= MAXMATM; ++i) {
    r.lma_back(i) = "?";
    r.lma_aname(i) = "?";
    r.lma_chem(i) = "?";
    r.lma_symb(i) = "?";
    r.lma_forw(i) = "?";
    r.lma_charg(i) = 0.0f;
    r.lma_type(i) = ".";
  }
  r.lma_natom = 0;
  r.lmn_nconn = 0;
  r.lmb_nbond = 0;
  r.lmg_nangl = 0;
  r.lmt_ntors = 0;
  r.lmc_nchir = 0;
  r.lmp_nplan = 0;
  r.lla_natom = 0;
  r.lln_nconn = 0;
  r.llb_nbond = 0;
  r.llg_nangl = 0;
  r.llt_ntors = 0;
  r.llc_nchir = 0;
  r.llp_nplan = 0;
  r.lda_natom = 0;
  r.ldn_nconn = 0;
  r.ldb_nbond = 0;
  r.ldg_nangl = 0;
  r.ldt_ntors = 0;
  r.ldc_nchir = 0;
  r.ldp_nplan = 0;
  for (int i = 1; i <= MAXMLIST; ++i) {
    r.lml_pass(i) = 0;
    r.lml_iatom(i) = 0;
    r.lml_iconn(i) = 0;
    r.lml_ibond(i) = 0;
    r.lml_ithet(i) = 0;
    r.lml_itors(i) = 0;
    r.lml_iplan(i) = 0;
    r.lml_ichir(i) = 0;
  }
  for (int i = 1; i <= MAXLLNK; ++i) {
    r.lll_iatom(i) = 0;
    r.lll_iconn(i) = 0;
    r.lll_ibond(i) = 0;
    r.lll_ithet(i) = 0;
    r.lll_itors(i) = 0;
    r.lll_iplan(i) = 0;
    r.lll_ichir(i) = 0;
  }
  for (int i = 1; i <= MAXDMDF; ++i) {
    r.ldl_iatom(i) = 0;
    r.ldl_iconn(i) = 0;
    r.ldl_ibond(i) = 0;
    r.ldl_ithet(i) = 0;
    r.ldl_itors(i) = 0;
    r.ldl_iplan(i) = 0;
    r.ldl_ichir(i) = 0;
  }
}
