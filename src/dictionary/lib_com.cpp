// The dictionary store and its emptying.
#include "dictionary/lib_com.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "dictionary/dict_index.h"

r_scratch_t r_scratch;
com_conn_lib_t com_conn_lib;

namespace {

// Every element of a table set to one value.  The atom tables are emptied
// at every library load and hold a hundred thousand rows: copying the rows
// already set over the rest, in doubling blocks, takes a few block copies
// instead of an assignment a row.
template <typename T, int N>
void fill_all(rt::Array1<T, N>& table, const T& value) {
  static_assert(std::is_trivially_copyable_v<T>);
  T* const p = table.data();
  p[0] = value;
  for (std::size_t done = 1; done < static_cast<std::size_t>(N);) {
    const std::size_t n = std::min(done, static_cast<std::size_t>(N) - done);
    std::memcpy(p + done, p, n * sizeof(T));
    done += n;
  }
}

}  // namespace

void init_cnt_() {
  r_scratch_t& r = r_scratch;
  dictionary::reset_dictionary_index();
  const rt::FixedText<4> unknown("?");
  fill_all(r.lma_back, unknown);
  fill_all(r.lma_aname, unknown);
  fill_all(r.lma_chem, unknown);
  fill_all(r.lma_symb, unknown);
  fill_all(r.lma_forw, unknown);
  fill_all(r.lma_charg, 0.0f);
  fill_all(r.lma_type, rt::FixedText<8>("."));
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
  fill_all(r.lml_pass, 0);
  fill_all(r.lml_iatom, 0);
  fill_all(r.lml_iconn, 0);
  fill_all(r.lml_ibond, 0);
  fill_all(r.lml_ithet, 0);
  fill_all(r.lml_itors, 0);
  fill_all(r.lml_iplan, 0);
  fill_all(r.lml_ichir, 0);
  fill_all(r.lll_iatom, 0);
  fill_all(r.lll_iconn, 0);
  fill_all(r.lll_ibond, 0);
  fill_all(r.lll_ithet, 0);
  fill_all(r.lll_itors, 0);
  fill_all(r.lll_iplan, 0);
  fill_all(r.lll_ichir, 0);
  fill_all(r.ldl_iatom, 0);
  fill_all(r.ldl_iconn, 0);
  fill_all(r.ldl_ibond, 0);
  fill_all(r.ldl_ithet, 0);
  fill_all(r.ldl_itors, 0);
  fill_all(r.ldl_iplan, 0);
  fill_all(r.ldl_ichir, 0);
}
