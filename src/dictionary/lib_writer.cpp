// The control of the monomer-library writers: opening, the title block and
// the lists, the description calls and the closing, driven by a mode word.
// A call keeps no state of its own between calls besides libcom lmo_iun.
#include "dictionary/lib_writer.h"

#include "dictionary/lib_com.h"
#include "dictionary/lib_entry_writer.h"
#include "dictionary/libcom.h"
#include "foundation/atom_com.h"
#include "foundation/file_open.h"
#include "foundation/lookup_index.h"
#include "foundation/messages.h"
#include "runtime/units.h"

namespace {

using dictionary::LibLines;

// The entry choice of the mode word's fourth letter.
bool chosen(char letter, const rt::FixedText<1>& fuse) {
  switch (letter) {
    case 'C':
      return fuse == "C";
    case 'A':
      return true;
    case 'L':
      return !(fuse == "N" || fuse == "?");
    default:
      return false;
  }
}

// Synonyms carry no fuse flag: "C" takes the synonyms of later passes, and
// only when a user library brought new ones.
bool synonym_chosen(char letter, int32_t k) {
  const r_scratch_t& r = r_scratch;
  if (letter != 'C') return true;
  return r.lms_new > 0 && r.lms_flag(k) == "N";
}

void title_block(LibLines& w) {
  dictionary::LibValue v;
  w.put("(A,6X,A)", rt::FixedText<12>("_lib_name"), v.make(libcom.lb_name.view(), 16));
  w.put("(A,6X,A)", rt::FixedText<12>("_lib_version"), v.make(libcom.lb_vers.view(), 16));
  w.put("(A,6X,A)", rt::FixedText<12>("_lib_update"), v.make(libcom.lb_date.view(), 16));
}

void synonym_lists(LibLines& w, char letter) {
  const r_scratch_t& r = r_scratch;
  bool first = true;
  for (int32_t k = 1; k <= r.lms_nsyn; ++k) {
    if (!synonym_chosen(letter, k) || !(r.lms_atom(k) == ".")) continue;
    if (first) {
      for (std::string_view t : {"#", "# ---   LIST OF SYNONYMS ---", "#", "data_comp_synonym_list",
                                 "loop_", "_chem_comp_synonym.comp_id",
                                 "_chem_comp_synonym.comp_alternative_id",
                                 "_chem_comp_synonym.mod_id"})
        w.text(t);
    }
    first = false;
    dictionary::LibValue a, b, c;
    w.put("(A,4X,A,1X,A)", a.make(r.lms_mname(k).view(), 8), b.make(r.lms_amname(k).view(), 8),
          c.make(r.lms_mod(k).view(), 8));
  }
  bool first_atom = true;
  for (int32_t k = 1; k <= r.lms_nsyn; ++k) {
    if (!synonym_chosen(letter, k) || r.lms_atom(k) == ".") continue;
    if (first_atom) {
      if (first) {
        w.text("#");
        w.text("# ---   LIST OF SYNONYMS ---");
      }
      for (std::string_view t :
           {"#", "data_comp_synonym_atom_list", "loop_", "_chem_comp_synonym_atom.comp_id",
            "_chem_comp_synonym_atom.comp_alternative_id", "_chem_comp_synonym_atom.atom_id",
            "_chem_comp_synonym_atom.atom_alternative_id"})
        w.text(t);
    }
    first_atom = false;
    dictionary::LibValue a, b;
    output::CifName x, y;
    w.put("(A,4X,A,1X,A,1X,A)", a.make(r.lms_mname(k).view(), 8),
          b.make(r.lms_amname(k).view(), 8), x.make(output::or_dot(r.lms_atom(k).view()), 6),
          y.make(output::or_dot(r.lms_aatom(k).view()), 6));
  }
}

void lists(LibLines& w, char letter) {
  const r_scratch_t& r = r_scratch;
  bool first = true;
  for (int32_t l = 1; l <= r.lml_nmon; ++l) {
    if (!chosen(letter, r.lml_fuse(l))) continue;
    if (first) {
      w.text("# ------------------------------------------------");
      w.text("#");
      w.text("# ---   LIST OF NEW MONOMERS ---");
      dictionary::monomer_list_head(w);
    }
    first = false;
    dictionary::monomer_list_row(w, l);
  }
  if (r.lms_nsyn > 0) synonym_lists(w, letter);
  first = true;
  for (int32_t l = 1; l <= r.lll_nlink; ++l) {
    if (!chosen(letter, r.lll_fuse(l))) continue;
    if (first) {
      w.text("#");
      w.text("# ---   LIST OF LINKS ---");
      dictionary::link_list_head(w);
    }
    first = false;
    dictionary::link_list_row(w, l);
  }
  first = true;
  for (int32_t l = 1; l <= r.ldl_nmod; ++l) {
    if (!chosen(letter, r.ldl_fuse(l))) continue;
    if (first) {
      w.text("#");
      w.text("# ---   LIST OF MODIFICATIONS ---");
      dictionary::mod_list_head(w);
    }
    first = false;
    dictionary::mod_list_row(w, l);
  }
}

void title_call(int32_t mdoc, std::string_view mode, char letter, int32_t icrd, int32_t& ierr) {
  libcom_t& lc = libcom;
  int32_t unit = icrd;
  bool opened = false;
  if (icrd == 0) {
    if (lc.lmo_file.is_blank()) return;
    ierr = 0;
    if (lc.lmo_iun != 0) {
      msgerr_(mdoc, " ERR: output_lib_file was open before");
      ierr = 1;
      return;
    }
    openfw_(unit, 99, lc.lmo_path.view(), lc.lmo_file.view(), lc.lmo_ext.view(), ierr);
    crdinf.cro3_iun = unit;
    if (ierr != 0) {
      msgerr_(mdoc, " ERR: can't open output_lib_file");
      return;
    }
    lc.lmo_iun = unit;
    opened = true;
  } else if (icrd < 0) {
    msgerr_(mdoc, " ERR: output_CIFile isn't open.");
    ierr = 1;
    return;
  }
  LibLines w(unit);
  if (opened) {
    w.text("global_");
    title_block(w);
  }
  const bool empty = r_scratch.lml_nmon == 0;
  if (empty && mode.substr(0, 4) != "TITC") {
    msgdoc_(mdoc, " Number of monomers = 0");
    w.finish(mdoc, dictionary::kLibWriteFailed, ierr);
    // The file holds its title block and is ended here: left open it could
    // no longer be closed, as the output library counts as not open.
    if (opened) {
      if (rt::unit_close(unit) != rt::IOSTAT_OK && ierr == 0) {
        msgerr_(mdoc, dictionary::kLibWriteFailed);
        ierr = 1;
      }
      lc.lmo_iun = 0;
    }
    return;
  }
  lists(w, letter);
  w.finish(mdoc, dictionary::kLibWriteFailed, ierr);
}

// Each link id once: a repeated id is written with the rows of the first
// link of that id that is written.
void link_blocks(LibLines& w, char letter) {
  static foundation::LookupIndex<8, MAXLLNK> written;
  written.clear();
  const r_scratch_t& r = r_scratch;
  for (int32_t i = 1; i <= r.lll_nlink; ++i) {
    if (!chosen(letter, r.lll_fuse(i)) || written.contains(r.lll_lname(i).view())) continue;
    written.add(r.lll_lname(i).view(), i);
    dictionary::link_block(w, i);
  }
}

void description_call(int32_t mdoc, std::string_view kind, char letter, int32_t icrd,
                      dictionary::BlockForm form, int32_t& ierr) {
  const int32_t unit = icrd > 0 ? icrd : libcom.lmo_iun;
  if (unit == 0) {
    msgerr_(mdoc, " ERR: output_lib_file isn't open..");
    ierr = 1;
    return;
  }
  const r_scratch_t& r = r_scratch;
  LibLines w(unit);
  if (kind == "MON" && r.lml_nmon > 0) {
    w.text("#");
    w.text("# --- DESCRIPTION OF MONOMERS ---");
    w.text("#");
    for (int32_t i = 1; i <= r.lml_nmon; ++i)
      if (chosen(letter, r.lml_fuse(i))) dictionary::monomer_block(w, i, form);
  } else if (kind == "LIN" && r.lll_nlink > 0) {
    w.text("#");
    w.text("# --- DESCRIPTION OF LINKS ---");
    w.text("#");
    link_blocks(w, letter);
  } else if (kind == "MOD" && r.ldl_nmod > 0) {
    w.text("#");
    w.text("# --- DESCRIPTION OF MODIFICATIONS ---");
    w.text("#");
    for (int32_t i = 1; i <= r.ldl_nmod; ++i)
      if (chosen(letter, r.ldl_fuse(i))) dictionary::mod_block(w, i);
  }
  w.text("# ------------------------------------------------------");
  w.finish(mdoc, dictionary::kLibWriteFailed, ierr);
}

void stop_call(int32_t mdoc, int32_t& ierr) {
  libcom_t& lc = libcom;
  if (lc.lmo_iun == 0) {
    msgerr_(mdoc, " ERR: output_lib_file can't be close");
    ierr = 1;
    return;
  }
  // Lines still buffered go out at the close: a full disk shows only here.
  const int rc = rt::unit_close(lc.lmo_iun);
  lc.lmo_iun = 0;
  ierr = 0;
  if (rc != rt::IOSTAT_OK) {
    msgerr_(mdoc, dictionary::kLibWriteFailed);
    ierr = 1;
  }
}

void write_library(int32_t mdoc, std::string_view mode, int32_t icrd, int32_t& ierr,
                   dictionary::BlockForm form) {
  if (mode.substr(0, 4) == "STOP" && rt::len_trim(mode) == 4) {
    stop_call(mdoc, ierr);
    return;
  }
  const std::string_view kind = mode.substr(0, 3);
  const char letter = mode.size() >= 4 ? mode[3] : ' ';
  if (kind == "TIT")
    title_call(mdoc, mode, letter, icrd, ierr);
  else if (kind == "MON" || kind == "LIN" || kind == "MOD")
    description_call(mdoc, kind, letter, icrd, form, ierr);
}

}  // namespace

void wrt_lib_(int32_t mdoc, std::string_view mode, int32_t icrd, int32_t& ierr) {
  write_library(mdoc, mode, icrd, ierr, dictionary::BlockForm::Library);
}

void wrt_lib_new_(int32_t mdoc, std::string_view mode, int32_t icrd, int32_t& ierr) {
  write_library(mdoc, mode, icrd, ierr, dictionary::BlockForm::PerEntry);
}
