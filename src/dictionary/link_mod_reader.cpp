// Reader of the link and modification descriptions.
#include "dictionary/link_mod_reader.h"

#include <string>

#include "dictionary/dict_index.h"
#include "dictionary/lib_com.h"
#include "dictionary/lib_fill_util.h"
#include "dictionary/libcom.h"
#include "dictionary/link_fillers.h"
#include "dictionary/mod_fillers.h"
#include "foundation/cif_tokeniser.h"
#include "foundation/file_open.h"
#include "foundation/messages.h"
#include "runtime/units.h"

namespace {

using dictionary::begins;
using Code = rt::FixedText<8>;

std::string shown(const rt::FixedText<256>& name) {
  const std::string_view v = name.trimmed();
  if (v.empty()) return "?";
  return std::string(v.substr(0, v.size() < 50 ? v.size() : 50));
}

// Reads one open file; false after a filler error (the file is closed).
bool read_descriptions(int32_t mdoc, int32_t iun, int32_t& ierr, int32_t& iend) {
  const r_scratch_t& r = r_scratch;
  Code block_old;
  block_old.blank();
  int32_t cif_end = -1;
  for (;;) {
    if (!dictionary::next_library_record(iun, mdoc, cif_end, iend)) break;
    comcif_rec& c = comcif_info;
    if (c.n_cif == 0) {
      if (!begins(c.blk_cif.view(), "data_comp_")) continue;
      const Code code(c.blk_cif.view().substr(10, 8));
      if (code == block_old) continue;
      if (r.lml_nmon <= 0) {
        msgerr_(mdoc, " ERROR: number of monomers in library = 0");
        ierr = 1;
        return false;
      }
      // A monomer block is read only when its description is in force.
      const int32_t l = dictionary::find_list_entry(code.view(), false);
      c.blk_flag = (l > 0 && r.lml_fuse(l) == "Y") ? "Y" : "N";
      block_old = code;
      continue;
    }
    if (begins(c.blk_cif.view(), "global_")) continue;
    for (int32_t i = 1; i <= c.n_cif; ++i) {
      const std::string_view item = c.itm_cif(i).trimmed();
      if (begins(item, "_chem_comp")) continue;
      const std::string_view data = c.dt_cif(i).trimmed();
      const int32_t leni = static_cast<int32_t>(item.size());
      const int32_t lend = static_cast<int32_t>(data.size());
      if (begins(item, "_chem_mod")) {
        put_mdlib_(mdoc, i, c.blk_cif.view(), c.blk_cif.len_trim(), item, leni, data,
                   c.idt_cif(i), c.fdt_cif(i), lend, ierr);
      } else if (begins(item, "_chem_link")) {
        put_lnlib_(mdoc, i, c.blk_cif.view(), c.blk_cif.len_trim(), item, leni, data,
                   c.idt_cif(i), c.fdt_cif(i), lend, ierr);
      }
      if (ierr != 0) return false;
    }
  }
  return true;
}

}  // namespace

void rd_md_link_lib_(int32_t mdoc, int32_t& ierr, int32_t& iend) {
  libcom_t& lc = libcom;
  for (int32_t pass = 1; pass <= 2; ++pass) {
    lc.lb_pass = pass;
    ierr = 0;
    iend = 0;
    const bool second = pass == 2;
    const rt::FixedText<256>& name = second ? lc.lmi2_file : lc.lmi_file(1);
    int32_t iun = 0;
    openfr_(iun, 99, (second ? lc.lmi2_path : lc.lmi_path).trimmed(), name.trimmed(),
            (second ? lc.lmi2_ext : lc.lmi_ext).trimmed(), ierr);
    if (ierr != 0) {
      msgerr_(mdoc, std::string(" ERROR: can\"t open ") + (second ? "(lbl2):" : "(lbl):") +
                        shown(name));
      return;
    }
    lc.lmi_iun = iun;
    const bool ok = read_descriptions(mdoc, iun, ierr, iend);
    rt::unit_close(iun);
    lc.lmi_iun = 0;
    if (!ok) return;
    if (!dictionary::name_present(lc.lmi2_file.view())) break;
  }
  lc.lb_pass = 0;
}
