// Tool start-up of the code base.
#include "foundation/start_up.h"

#include <cstdlib>

#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/hooks.h"
#include "foundation/messages.h"
#include "foundation/paths_defaults.h"
#include "foundation/words.h"

int32_t doc_code_(int32_t mdoc) {
  if (mdoc == 0 || mdoc < -996) return 0;
  if (mdoc <= -99) return -99;
  if (mdoc < 0) return -48;
  if (mdoc <= 98) return 48;
  if (mdoc <= 996) return 99;
  return mdoc;
}

void start_(int32_t ig, int32_t& mdoc, rt::TextRef prog) {
  comlib.iquiet = ig;
  set_byte_();
  comlib.ictl1 = 0;

  init_defaults_();
  set_unit_numbers_();
  set_cif_types_();
  set_unit_corr_();

  int32_t n = 0;
  lenstr_bl_(prog.view(), n);
  if (n == 0 && prog.len() > 0) {
    prog(1) = 'x';
    n = 1;
  }
  if (n > 20) n = 20;
  comlib.prog_name = prog.view().substr(0, n);

  const int32_t d = doc_code_(mdoc);
  if (d >= 997) comlib.doc_name = prog.view().substr(0, n);

  opendoc_(d);

  mdoc = d != 0 ? std::abs(mdoc) : 0;
  if (mdoc >= 997) mdoc = 1;

  int32_t ierr = 0;
  init_atm_inf_(mdoc, ierr);
  init_crd_inf_(mdoc, ierr);
}
