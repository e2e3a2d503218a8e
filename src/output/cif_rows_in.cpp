// Record steps of the row readers over the second CIF tokeniser.
#include "output/cif_rows_in.h"

#include "coords/cif_atom_rows.h"
#include "foundation/atom_com.h"
#include "foundation/cif_tokeniser.h"
#include "foundation/messages.h"
#include "runtime/units.h"

namespace output {

void rows_begin(int32_t in, int32_t& iend) {
  if (iend != -1) return;
  rt::unit_rewind(in);
  com_crd_cif.iend_cif = -1;
  iend = 0;
}

RowStep next_row(int32_t in, int32_t mdoc, std::string_view prefix, std::string_view fail_msg,
                 bool show_text, int32_t& mode, int32_t& iend, int32_t& ierr) {
  for (;;) {
    getcif_c_(in, mdoc, ierr, com_crd_cif.iend_cif);
    if (ierr != 0) {
      msgerr_(mdoc, fail_msg);
      rt::unit_close(in);
      ierr = 1;
      return RowStep::Failed;
    }
    const int32_t ie = com_crd_cif.iend_cif;
    if (ie == -2) {
      rt::FixedText<256>& line = crdatm.cr_line;
      line = comcif_c.dt_cif(MAXCIFVAL).view().substr(0, 80);
      if (line.is_blank()) line = "#";
      const char c = line(1);
      if (c != '#' && c != 'C' && c != 'c' && c != 'd' && c != '_') continue;
      mode = 1;
      if (show_text) msgdoc_(mdoc, line.view());
      return RowStep::Text;
    }
    if (ie != 0) {
      rt::unit_close(in);
      iend = 1;
      return RowStep::End;
    }
    if (comcif_c.n_cif < 1) continue;
    if (comcif_c.itm_cif(1).view().substr(0, prefix.size()) != prefix) continue;
    return RowStep::Record;
  }
}

}  // namespace output
