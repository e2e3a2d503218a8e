// Monomer look-up by name, synonym or derivative, loading the description
// on first use.
#include "connect/mon_lookup.h"

#include "dictionary/dict_index.h"
#include "dictionary/lib_com.h"
#include "dictionary/lib_loading.h"
#include "foundation/messages.h"

namespace {

int listed(std::string_view name) { return dictionary::find_list_entry(name, false); }

// The parent of a derivative named `name`, or blank when it is none.
rt::FixedText<8> parent_of(std::string_view name) {
  const auto& r = r_scratch;
  for (int k = 1; k <= r.ldr_nder; ++k)
    if (r.ldr_mname(k) == name) return r.ldr_smname(k);
  return rt::FixedText<8>("");
}

}  // namespace

void look_mon_lib2_(int32_t mdoc, rt::FixedText<8>& mon, char list, int32_t& ierr) {
  ierr = 0;
  auto& r = r_scratch;
  if (r.lml_nmon < 1) {
    msgerr_(mdoc, " ERR: number of monomer in the library = 0");
    ierr = 2;
    return;
  }
  int l = listed(mon);
  for (int k = 1; l == 0 && k <= r.lms_nsyn; ++k) {
    if (!dictionary::synonym_names(k, mon.view())) continue;
    mon = r.lms_mname(k);
    l = listed(mon);
  }
  for (int k = 1; l == 0 && k <= r.ldr_nder; ++k) {
    if (!(r.ldr_mname(k) == mon)) continue;
    rt::FixedText<8> source = r.ldr_smname(k);
    l = listed(source);
    if (l == 0) {
      const rt::FixedText<8> grand = parent_of(source);
      if (!grand.is_blank()) {
        source = grand;
        l = listed(source);
      }
    }
    if (l != 0) mon = source;
  }
  if (l == 0) {
    ierr = 1;
    return;
  }
  if (r.lml_fuse(l) == "N") {
    r.lml_fuse(l) = "R";
    read_lib_(mdoc, "M", 'N', list, ierr);
  }
}
