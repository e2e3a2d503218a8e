// Reader of the library lists.  Each record value goes to the filler of its
// list category; the first item of a description category ends the list
// part of a file.
#include "dictionary/lib_list.h"

#include <cstdio>
#include <string>
#include <string_view>

#include "dictionary/lib_com.h"
#include "dictionary/lib_fill_util.h"
#include "dictionary/libcom.h"
#include "dictionary/link_fillers.h"
#include "dictionary/mod_fillers.h"
#include "dictionary/modif.h"
#include "dictionary/mon_list_fillers.h"
#include "foundation/cif_tokeniser.h"
#include "foundation/file_open.h"
#include "foundation/lookup_index.h"
#include "foundation/messages.h"
#include "foundation/residue_class.h"
#include "runtime/units.h"

namespace {

using dictionary::begins;

// The item line of the global_ block: the item name's first 12 characters,
// six blanks and the value cut to 60 characters.
void item_line(int32_t mdoc, std::string_view item, std::string_view value) {
  std::string line(rt::FixedText<12>(item).view());
  line.append(6, ' ');
  line.append(value.substr(0, value.size() < 60 ? value.size() : 60));
  msgdoc_(mdoc, line);
}

bool present(const rt::FixedText<256>& name) { return dictionary::name_present(name.view()); }

const std::string_view kDashes = " ------------------------------";

// What a record value of a list file leads to.
enum class Route { Skip, List, Synonym, Derivative, Mod, Link, EndOfList };

Route route_of(std::string_view item) {
  // The synonym-atom prefix is tested before the synonym prefix it extends.
  if (begins(item, "_chem_comp.")) return Route::List;
  if (begins(item, "_chem_comp_synonym_atom.") || begins(item, "_chem_comp_synonym."))
    return Route::Synonym;
  if (begins(item, "_chem_comp_deriv.")) return Route::Derivative;
  if (begins(item, "_chem_mod.")) return Route::Mod;
  if (begins(item, "_chem_link.")) return Route::Link;
  if (begins(item, "_chem_comp_atom.") || begins(item, "_chem_mod_atom.") ||
      begins(item, "_chem_link_bond."))
    return Route::EndOfList;
  return Route::Skip;
}

// Reads one list file open on iun.  Returns false when the reading must stop
// with ierr (a failing monomer-list record).
bool read_list_file(int32_t mdoc, int32_t iun, int32_t& ierr) {
  int32_t iend = -1;
  for (;;) {
    int32_t e = 0;
    getcif_info_(iun, mdoc, e, iend);
    if (e != 0) return true;
    if (iend == -2) continue;
    if (iend != 0) return true;
    const comcif_rec& c = comcif_info;
    const std::string_view block = c.blk_cif.trimmed();
    const int32_t lenb = (block.empty() || block.size() > 60) ? 1 : static_cast<int32_t>(block.size());
    for (int32_t i = 1; i <= c.n_cif; ++i) {
      const std::string_view item = c.itm_cif(i).trimmed();
      const std::string_view data = c.dt_cif(i).trimmed();
      if (begins(c.blk_cif.view(), "global_")) {
        const std::string_view value = c.dt_cif(i).view();
        if (item == "_lib_name") {
          libcom.lb_name = value;
          msgdoc_(mdoc, kDashes);
          msgdoc_(mdoc, " ---  LIBRARY OF MONOMERS   ---");
          item_line(mdoc, item, data);
        } else if (item == "_lib_version") {
          libcom.lb_vers = value;
          item_line(mdoc, item, data);
        } else if (item == "_lib_update") {
          libcom.lb_date = value;
          item_line(mdoc, item, data);
          msgdoc_(mdoc, kDashes);
        }
        continue;
      }
      const int32_t leni = static_cast<int32_t>(item.size());
      const int32_t lend = static_cast<int32_t>(data.size());
      int32_t e2 = 0;
      switch (route_of(item)) {
        case Route::List:
          pt_mlist_(mdoc, i, block, lenb, item, leni, data, c.idt_cif(i), c.fdt_cif(i), lend, ierr);
          if (ierr != 0) return false;
          break;
        case Route::Synonym:
          pt_msyn_(mdoc, i, block, lenb, item, leni, data, c.idt_cif(i), c.fdt_cif(i), lend, e2);
          break;
        case Route::Derivative:
          pt_mder_(mdoc, i, block, lenb, item, leni, data, c.idt_cif(i), c.fdt_cif(i), lend, e2);
          break;
        case Route::Mod:
          pt_mdlist_(mdoc, i, block, lenb, item, leni, data, c.idt_cif(i), c.fdt_cif(i), lend, e2);
          break;
        case Route::Link:
          pt_lnlist_(mdoc, i, block, lenb, item, leni, data, c.idt_cif(i), c.fdt_cif(i), lend, e2);
          break;
        case Route::EndOfList:
          return true;
        case Route::Skip:
          break;
      }
    }
  }
}

void count_line(int32_t mdoc, std::string_view text, int32_t n) {
  char num[16];
  std::snprintf(num, sizeof num, "%6d", static_cast<int>(n));
  msgdoc_(mdoc, std::string(text) + num);
}

}  // namespace

void get_llist_(int32_t mdoc, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  libcom_t& lc = libcom;
  lc.lb_pass = 0;
  r.lml_nmon = r.lml_imon = r.lml_nprsnt = r.lll_nlink = r.ldl_nmod = 0;
  dictionary::forget_missing_modifications();
  init_cnt_();
  for (;;) {
    ++lc.lb_pass;
    ierr = 0;
    const bool second = lc.lb_pass > lc.lb_numb_lib;
    // A blank name skips the pass; with no main library named (lb_numb_lib
    // 0) and no second library that leaves nothing to open.
    const bool named = second ? present(lc.lmi2_file) : !lc.lmi_file(lc.lb_pass).is_blank();
    if (named) {
      const rt::FixedText<256>& name = second ? lc.lmi2_file : lc.lmi_file(lc.lb_pass);
      int32_t iun = 0;
      openfr_(iun, 99, (second ? lc.lmi2_path : lc.lmi_path).trimmed(), name.trimmed(),
              (second ? lc.lmi2_ext : lc.lmi_ext).trimmed(), ierr);
      if (ierr != 0) {
        msgerr_(mdoc, std::string(" ERROR: can\"t open ") + (second ? "(lib2) " : "(lib) ") +
                          std::string(name.view().substr(0, 60)));
        return;
      }
      lc.lmi_iun = iun;
      rt::unit_rewind(iun);
      const bool ok = read_list_file(mdoc, iun, ierr);
      rt::unit_close(iun);
      lc.lmi_iun = 0;
      if (!ok) return;
    }
    if (lc.lb_pass < lc.lb_numb_lib) continue;
    if (lc.lb_pass == lc.lb_numb_lib && present(lc.lmi2_file)) continue;
    break;
  }
  int32_t nmon = 0;
  r.lml_nprsnt = 0;
  for (int32_t l = 1; l <= r.lml_nmon; ++l) {
    if (r.lml_prsnt(l) == "." || r.lml_prsnt(l) == "C") ++r.lml_nprsnt;
    if (!begins(r.lml_mname(l).view(), "???")) ++nmon;
  }
  set_lib_res_type_tab_(mdoc, ierr);
  lc.lb_pass = 0;
  count_line(mdoc, " NUMBER OF MONOMERS IN THE LIBRARY          :", nmon);
  count_line(mdoc, "               with complete description    :", r.lml_nprsnt);
  count_line(mdoc, " NUMBER OF MODIFICATIONS                    :", r.ldl_nmod);
  count_line(mdoc, " NUMBER OF LINKS                            :", r.lll_nlink);
}

void set_lib_res_type_tab_(int32_t mdoc, int32_t& ierr) {
  (void)mdoc;
  ierr = 0;
  com_res_type_t& t = com_res_type;
  const r_scratch_t& r = r_scratch;
  struct ClassList {
    int32_t* count;
    int offset;
    int capacity;
  };
  ClassList lists[] = {{&t.nrname_t, RNAME_PEPT0, RNAME_POLY0 - RNAME_PEPT0},
                       {&t.nrnamep_t, RNAME_POLY0, RNAME_NUCL0 - RNAME_POLY0},
                       {&t.nrnamed_t, RNAME_NUCL0, RNAME_SUGR0 - RNAME_NUCL0},
                       {&t.nrnames_t, RNAME_SUGR0, MAXRNAME - RNAME_SUGR0}};
  // Codes already in each list: a code listed twice is kept once.
  static foundation::LookupIndex<8, MAXRNAME> seen[4];
  for (int k = 0; k < 4; ++k) {
    *lists[k].count = 0;
    seen[k].clear();
  }
  auto classify = [](std::string_view group) -> int {
    const std::string_view g4 = group.substr(0, 4);
    if (g4 == "L-pe" || g4 == "D-pe" || g4 == "pept") return 0;
    if (g4 == "poly") return 1;
    if (group.substr(0, 3) == "DNA" || group.substr(0, 3) == "RNA") return 2;
    if (g4 == "L-py" || g4 == "D-py" || g4 == "pyra") return 3;
    return -1;
  };
  auto add = [&](const rt::FixedText<8>& code, std::string_view group) {
    const int k = classify(group);
    if (k < 0 || seen[k].contains(code.view())) return;
    // A full class list takes no more codes: the lists hold 400 peptides and
    // 200 codes of every other class.
    if (*lists[k].count >= lists[k].capacity) return;
    const int32_t n = ++*lists[k].count;
    t.rname_t(lists[k].offset + n) = code;
    seen[k].add(code.view(), n);
  };
  com_water_name.cut_name_monomer = 0;
  for (int32_t l = 1; l <= r.lml_nmon; ++l) {
    add(r.lml_mname(l), r.lml_type(l).view());
    if (r.lml_mname(l) == foundation::kCutWaterName) com_water_name.cut_name_monomer = 1;
  }
  for (int32_t d = 1; d <= r.ldr_nder; ++d) add(r.ldr_mname(d), r.ldr_type(d).view());
}
