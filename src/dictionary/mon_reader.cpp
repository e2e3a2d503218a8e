// Reader of monomer descriptions.  Rows go to the dictionary only for list
// entries marked "R" and only in the pass their list entry came from; every
// entry is read at most once a call, so that a single-file library is not
// read again for monomers it already gave.
#include "dictionary/mon_reader.h"

#include <cstdio>
#include <string>

#include "dictionary/dict_index.h"
#include "dictionary/lib_com.h"
#include "dictionary/lib_fill_util.h"
#include "dictionary/libcom.h"
#include "dictionary/mon_fillers.h"
#include "dictionary/tree_check.h"
#include "foundation/cif_tokeniser.h"
#include "foundation/file_open.h"
#include "foundation/messages.h"
#include "runtime/units.h"

namespace {

using dictionary::begins;
using Code = rt::FixedText<8>;

// Entries whose description was met during the current call of rd_monlib_.
rt::Array1<int32_t, MAXMLIST> read_mark;
int32_t read_serial = 0;

void mark_read(int32_t l) { read_mark(l) = read_serial; }
bool was_read(int32_t l) { return read_mark(l) == read_serial; }

std::string cut_name(std::string_view name, std::size_t n) {
  name = rt::trim_right(name);
  if (name.empty()) return "?";
  return std::string(name.substr(0, name.size() < n ? name.size() : n));
}

bool marked(int32_t l) {
  const r_scratch_t& r = r_scratch;
  return l >= 1 && l <= r.lml_nmon && r.lml_fuse(l) == "R";
}

void close_unit(int32_t iun) {
  rt::unit_close(iun);
  libcom.lmi_iun = 0;
}

// One file of a pass: opened, read once; false after a failure (ierr set).
bool read_file(int32_t mdoc, std::string_view path, std::string_view name, std::string_view ext,
               std::string_view label, std::string_view shown, char nodist, char list,
               int32_t& ierr, int32_t& iend) {
  int32_t iun = 0;
  openfr_(iun, 99, path, name, ext, ierr);
  if (ierr != 0) {
    msgerr_(mdoc, std::string(" ERROR: can\"t open ") + std::string(label) + cut_name(shown, 50));
    return false;
  }
  rd_monlib_one_(mdoc, 'M', iun, nodist, list, ierr, iend);
  libcom.lmi_iun = 0;
  return ierr == 0;
}

}  // namespace

std::string mon_file_part(std::string_view code) {
  const Code c(code);
  std::string part;
  if (c == "CD" || c == "CR" || c == "GD" || c == "AR" || c == "IR")
    part = std::string(c.trimmed()) + "_EL";
  else if (c == "COM")
    part = "COM_COM";
  else
    part = std::string(c.trimmed());
  for (char& ch : part)
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  char first = c(1);
  if (first >= 'A' && first <= 'Z') first = static_cast<char>(first - 'A' + 'a');
  return std::string(1, first) + "/" + part;
}

void rd_monlib_one_(int32_t mdoc, char mod, int32_t iun, char nodist, char list, int32_t& ierr,
                    int32_t& iend) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  libcom.lmi_iun = iun;
  int32_t l = 0, l_old = -1;
  Code previous;
  previous.blank();
  rt::unit_rewind(iun);
  iend = 0;
  int32_t cif_end = -1;
  for (;;) {
    if (!dictionary::next_library_record(iun, mdoc, cif_end, iend)) break;
    comcif_rec& c = comcif_info;
    if (c.n_cif == 0) {
      if (!begins(c.blk_cif.view(), "data_comp_")) continue;
      const Code code(c.blk_cif.view().substr(10, 8));
      if (code == previous) continue;
      if (r.lml_nmon < 1) {
        msgerr_(mdoc, " ERROR: number of monomers in library = 0");
        ierr = 1;
        close_unit(iun);
        return;
      }
      const int32_t found = dictionary::find_list_entry(code.view(), false);
      if (found > 0) {
        l = found;
        // Blocks of entries that take no rows are skipped by the tokeniser.
        c.blk_flag = marked(l) ? "Y" : "N";
        r.lml_imon = l;
        if (list == 'T')
          std::printf("RM_ONE: %5d %s %s %5d\n", static_cast<int>(l), code.str().c_str(),
                      r.lml_fuse(l).str().c_str(), static_cast<int>(l_old));
        if (l_old > 0 && marked(l_old)) check_rlib_tree_(mdoc, list, l_old, ierr);
        if (marked(l)) mark_read(l);
        l_old = l;
      } else {
        l = r.lml_nmon + 1;
        c.blk_flag = "N";
      }
      previous = code;
      continue;
    }
    if (begins(c.blk_cif.view(), "global_") || c.blk_cif == "data_comp_list" || mod == 'N' ||
        !marked(l))
      continue;
    for (int32_t i = 1; i <= c.n_cif; ++i) {
      const std::string_view item = c.itm_cif(i).trimmed();
      if (!begins(item, "_chem_comp")) continue;
      const std::string_view data = c.dt_cif(i).trimmed();
      put_mnlib_(mdoc, i, c.blk_cif.view(), c.blk_cif.len_trim(), item,
                 static_cast<int32_t>(item.size()), data, c.idt_cif(i), c.fdt_cif(i),
                 static_cast<int32_t>(data.size()), ierr);
      if (ierr != 0) {
        close_unit(iun);
        return;
      }
    }
  }
  // The last monomer of the file is checked whatever its place in the list:
  // the first entry of the list, read from its own file, used to go
  // unchecked here.
  (void)nodist;
  if (iend == 1 && l_old > 0 && marked(l_old)) check_rlib_tree_(mdoc, list, l_old, ierr);
  rt::unit_close(iun);
}

void rd_monlib_(int32_t mdoc, char nodist, char list, int32_t& ierr, int32_t& iend) {
  r_scratch_t& r = r_scratch;
  libcom_t& lc = libcom;
  lc.lb_pass = 0;
  if (r.lml_nmon < 1) {
    msgerr_(mdoc, " ERROR: number of monomers in library = 0.");
    ierr = 1;
    return;
  }
  ++read_serial;
  const bool single = nodist == 'Y' || (lc.lb_numb_lib == 1 && lc.lmi_file(2) == "Y");
  for (int32_t pass = 1;; ++pass) {
    lc.lb_pass = pass;
    bool any = false;
    for (int32_t l = 1; l <= r.lml_nmon && !any; ++l)
      any = r.lml_fuse(l) == "R" && r.lml_pass(l) == pass;
    if (any) {
      ierr = 0;
      iend = 0;
      if (pass == 1) {
        for (int32_t l = 1; l <= r.lml_nmon; ++l) {
          if (!(r.lml_fuse(l) == "R" && r.lml_pass(l) == 1) || was_read(l)) continue;
          bool ok;
          if (single) {
            ok = read_file(mdoc, lc.lmi_path.trimmed(), lc.lmi_file(1).trimmed(),
                           lc.lmi_ext.trimmed(), "(lib.):", lc.lmi_file(1).view(), nodist, list,
                           ierr, iend);
          } else {
            const std::string part = mon_file_part(r.lml_mname(l).view());
            ok = read_file(mdoc, lc.lmi_path.trimmed(), part, lc.lmi_ext.trimmed(), "(lib.):", part,
                           nodist, list, ierr, iend);
          }
          if (!ok) return;
          // A monomer its file lacks is not read again.
          mark_read(l);
        }
      } else if (pass <= lc.lb_numb_lib) {
        if (!read_file(mdoc, lc.lmi_path.trimmed(), lc.lmi_file(pass).trimmed(),
                       lc.lmi_ext.trimmed(), "(lib..)", lc.lmi_file(pass).view(), nodist, list,
                       ierr, iend))
          return;
      } else {
        if (!read_file(mdoc, lc.lmi2_path.trimmed(), lc.lmi2_file.trimmed(), lc.lmi2_ext.trimmed(),
                       "(lib2.)", lc.lmi2_file.view(), nodist, list, ierr, iend))
          return;
      }
    }
    lc.lmi_iun = 0;
    if (pass < lc.lb_numb_lib) continue;
    if (pass == lc.lb_numb_lib && dictionary::name_present(lc.lmi2_file.view())) continue;
    break;
  }
  lc.lb_pass = 0;
}

void set_ener_pointer_to_atom_(int32_t mdoc, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  if (r.lea_natom < 1) return;
  auto find = [&](const rt::FixedText<4>& t, int32_t& index, std::string_view what) {
    for (int32_t k = 1; k <= r.lea_natom; ++k)
      if (r.lea_aname(k) == t) {
        index = k;
        return;
      }
    msgerr_(mdoc, std::string("ERROR: ener_lib(") + std::string(what) + "): atom type:" + t.str() +
                      " not found in the list");
    ierr = 1;
  };
  for (int32_t k = 1; k <= r.leb_nbond; ++k) {
    find(r.leb_1atm(k), r.leb_i1atm(k), "bond");
    find(r.leb_2atm(k), r.leb_i2atm(k), "bond");
  }
  for (int32_t k = 1; k <= r.leg_nangl; ++k) {
    find(r.leg_1atm(k), r.leg_i1atm(k), "angle");
    find(r.leg_2atm(k), r.leg_i2atm(k), "angle");
    find(r.leg_3atm(k), r.leg_i3atm(k), "angle");
  }
}
