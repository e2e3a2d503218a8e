// Fillers of the monomer list, synonym and derivative categories.
#include "dictionary/mon_list_fillers.h"

#include <string>

#include "dictionary/dict_index.h"
#include "dictionary/lib_com.h"
#include "dictionary/lib_fill_util.h"
#include "dictionary/libcom.h"
#include "foundation/messages.h"

namespace {

using dictionary::begins;
using Code = rt::FixedText<8>;

}  // namespace

void pt_mlist_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const dictionary::FillItem f =
      dictionary::fill_item(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend);
  if (begins(f.item, "_chem_comp.id")) {
    if (f.i != 1) {
      msgerr_(f.mdoc, " ERR: item _chem_comp.id : must be first in the string");
      r.lml_imon = 0;
      ierr = 1;
      return;
    }
    const Code code = dictionary::code_of(f.data);
    int32_t l = dictionary::find_list_entry(code.view(), false);
    if (l != 0) {
      msgdoc_(f.mdoc, std::string(" WARNING: duplicated name of monomer ") + code.str());
      msgdoc_(f.mdoc, "          Last entry will be used.");
    } else {
      if (r.lml_nmon >= MAXMLIST) {
        dictionary::full_table(f.mdoc, " ERROR: number of monomers >", MAXMLIST, " /lib. limit/", "MAXMLIST");
        r.lml_imon = 0;
        ierr = 1;
        return;
      }
      l = ++r.lml_nmon;
      r.lml_natm(l) = 0;
      r.lml_nhatm(l) = 0;
    }
    r.lml_imon = l;
    r.lml_mname(l) = code;
    r.lml_mname2(l) = code.view().substr(0, 3);
    r.lml_code1(l) = ".";
    r.lml_type(l) = ".";
    r.lml_name(l) = ".";
    r.lml_form(l) = ".";
    r.lml_fuse(l) = "N";
    r.lml_prsnt(l) = ".";
    r.lml_pass(l) = libcom.lb_pass;
    return;
  }
  if (r.lml_imon < 1 || f.i < 2) return;
  const int32_t l = r.lml_imon;
  const std::string_view a = dictionary::attribute(f.item, 11);
  if (begins(a, "one_letter_code")) {
    r.lml_code1(l) = f.data;
  } else if (begins(a, "three_letter_code")) {
    r.lml_mname2(l) = f.data;
  } else if (begins(a, "group")) {
    r.lml_type(l) = f.data;
  } else if (begins(a, "number_atoms_all")) {
    r.lml_natm(l) = f.idata;
  } else if (begins(a, "number_atoms_nh")) {
    r.lml_nhatm(l) = f.idata;
  } else if (begins(a, "name")) {
    r.lml_name(l) = f.data;
  } else if (begins(a, "formula")) {
    r.lml_form(l) = f.data;
  } else if (begins(a, "desc_level")) {
    r.lml_prsnt(l) = f.data.substr(0, 1) == "m" ? std::string_view("M") : f.data;
  }
}

void pt_msyn_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const dictionary::FillItem f =
      dictionary::fill_item(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend);
  std::string_view a;
  if (begins(f.item, "_chem_comp_synonym_atom."))
    a = dictionary::attribute(f.item, 24);
  else if (begins(f.item, "_chem_comp_synonym."))
    a = dictionary::attribute(f.item, 19);
  else
    return;
  if (begins(a, "comp_id")) {
    if (f.i != 1) {
      msgerr_(f.mdoc, " ERR: item _chem_comp_synonym.comp_id : must be first in the string");
      r.lml_imon = 0;
      ierr = 1;
      return;
    }
    if (r.lml_imon == 0) r.lml_imon = 1;
    if (r.lms_nsyn >= MAXMLIST) {
      dictionary::full_table(f.mdoc, " ERROR: read number of synonyms", MAXMLIST, " /lib. limit/", "MAXMLIST");
      r.lml_imon = 0;
      ierr = 1;
      return;
    }
    const int32_t k = ++r.lms_nsyn;
    r.lms_mname(k) = dictionary::code_of(f.data);
    r.lms_mname2(k) = ".";
    r.lms_amname2(k) = ".";
    r.lms_mod(k) = ".";
    r.lms_amname(k) = ".";
    r.lms_atom(k) = ".";
    r.lms_aatom(k) = ".";
    r.lms_flag(k) = libcom.lb_pass > libcom.lb_numb_lib ? "N" : ".";
    r.lms_isyn = 0;
    return;
  }
  if (r.lml_imon < 1 || f.i < 2 || r.lms_nsyn < 1) return;
  const int32_t k = r.lms_nsyn;
  if (begins(a, "atom_id")) {
    r.lms_atom(k) = f.data;
  } else if (begins(a, "mod_id")) {
    r.lms_mod(k) = f.data;
  } else if (begins(a, "atom_altern")) {
    r.lms_aatom(k) = f.data;
  } else if (begins(a, "comp_altern")) {
    r.lms_amname(k) = f.data;
  }
}

void pt_mder_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const dictionary::FillItem f =
      dictionary::fill_item(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend);
  const std::string_view a = dictionary::attribute(f.item, 17);
  if (begins(a, "comp_id")) {
    if (f.i != 1) {
      msgerr_(f.mdoc, " ERR: item _chem_comp_deriv.comp_id : must be first in the string");
      r.ldr_ider = 0;
      ierr = 1;
      return;
    }
    if (r.ldr_nder >= MAXMLIST) {
      dictionary::full_table(f.mdoc, " ERR: read number of derivatives ", MAXMLIST, " /lib. limit/", "MAXMLIST");
      r.ldr_ider = 0;
      ierr = 1;
      return;
    }
    const int32_t k = ++r.ldr_nder;
    r.ldr_ider = k;
    r.ldr_mname(k) = dictionary::code_of(f.data);
    r.ldr_type(k) = ".";
    r.ldr_smname(k) = ".";
    r.ldr_mod(k) = ".";
    r.ldr_name(k) = ".";
    return;
  }
  if (r.ldr_ider < 1 || f.i < 2) return;
  const int32_t k = r.ldr_ider;
  if (begins(a, "mod_id")) {
    r.ldr_mod(k) = f.data;
  } else if (begins(a, "source_comp_id")) {
    r.ldr_smname(k) = f.data;
  } else if (begins(a, "name")) {
    r.ldr_name(k) = f.data;
  } else if (begins(a, "group")) {
    r.ldr_type(k) = f.data;
  }
}
