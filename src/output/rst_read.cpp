// Restraint and van der Waals row readers.  The restraint generator writes
// these files; the readers take back what it wrote, one restraint a call.
#include "output/rst_read.h"

#include <cstring>
#include <string>

#include "coords/cif_atom_rows.h"
#include "foundation/atom_com.h"
#include "foundation/cif_tokeniser.h"
#include "foundation/file_open.h"
#include "foundation/messages.h"
#include "output/cif_rows_in.h"
#include "runtime/format.h"
#include "runtime/units.h"

namespace {

constexpr std::string_view kPrefix = "_restr.";

// Item names after the prefix, first match wins ("dist_dev" before "dist").
constexpr std::string_view kRstItems[] = {
    "record",    "number", "label", "period",  "atom_id_1", "atom_id_2", "atom_id_3",
    "atom_id_4", "value",  "dev",   "val_obs", "dist_dev",  "dist",      "econst",
};
constexpr std::string_view kVdwItems[] = {
    "record",  "number", "atom_id_1", "atom_id_2", "rad_min",
    "rad_obs", "econst", "type",      "hflag",     "symmetry",
};

// The unformatted record: name, number, label, period, four atoms, six reals.
constexpr std::size_t kRecordBytes = 4 + 4 + 8 + 5 * 4 + 6 * 4;

bool is_title(const rt::FixedText<4>& name) { return name == "MONO" || name == "LINK"; }

void take_title() {
  crdrst.rs_source = crdrst.rs_name;
  crdrst.rs_source_id = crdrst.rs_label;
}

void take_rst_items() {
  crdrst_t& r = crdrst;
  auto take = [&](int index, std::string_view text, int32_t iv, float rv) {
    switch (index) {
      case 0:
        r.rs_name = text.substr(0, 4);
        break;
      case 1:
        r.rs_num = iv;
        break;
      case 2:
        r.rs_label = text.substr(0, 8);
        break;
      case 3:
        r.rs_prd = iv;
        break;
      case 4:
        r.rs_ia1 = iv;
        break;
      case 5:
        r.rs_ia2 = iv;
        break;
      case 6:
        r.rs_ia3 = iv;
        break;
      case 7:
        r.rs_ia4 = iv;
        break;
      case 8:
        r.rs_vidl = rv;
        break;
      case 9:
        r.rs_sdi = rv;
        break;
      case 10:
        r.rs_vobs = rv;
        break;
      case 11:
        r.rs_desd = rv;
        break;
      case 12:
        r.rs_dist = rv;
        break;
      case 13:
        r.rs_cns = rv;
        break;
      default:
        break;
    }
  };
  output::take_row_items(kPrefix, kRstItems, take);
}

void take_vdw_items() {
  crdrsv_t& v = crdrsv;
  auto take = [&](int index, std::string_view text, int32_t iv, float rv) {
    switch (index) {
      case 0:
        v.rsv_name = text.substr(0, 4);
        break;
      case 1:
        v.rsv_num = iv;
        break;
      case 2:
        v.rsv_ia1 = iv;
        break;
      case 3:
        v.rsv_ia2 = iv;
        break;
      case 4:
        v.rsv_ridl = rv;
        break;
      case 5:
        v.rsv_robs = rv;
        break;
      case 6:
        v.rsv_cns = rv;
        break;
      case 7:
        v.rsv_type = text.substr(0, 1);
        break;
      case 8:
        v.rsv_hflag = text.substr(0, 1);
        break;
      case 9:
        v.rsv_symm = text.substr(0, 8);
        break;
      default:
        break;
    }
  };
  output::take_row_items(kPrefix, kVdwItems, take);
}

// Fields of one unformatted record; false when it is too short for them.
bool unpack_record(const std::string& rec) {
  if (rec.size() < kRecordBytes) return false;
  crdrst_t& r = crdrst;
  const char* p = rec.data();
  auto text = [&p](auto& t, int n) {
    t = std::string_view(p, n);
    p += n;
  };
  auto word = [&p](auto& v) {
    std::memcpy(&v, p, 4);
    p += 4;
  };
  text(r.rs_name, 4);
  word(r.rs_num);
  text(r.rs_label, 8);
  word(r.rs_prd);
  word(r.rs_ia1);
  word(r.rs_ia2);
  word(r.rs_ia3);
  word(r.rs_ia4);
  word(r.rs_vidl);
  word(r.rs_sdi);
  word(r.rs_vobs);
  word(r.rs_dist);
  word(r.rs_desd);
  word(r.rs_cns);
  return true;
}

void read_unformatted(int32_t mdoc, int32_t in, int32_t& mode, int32_t& iend, int32_t& ierr) {
  static std::string rec;  // one buffer for the whole file
  for (;;) {
    const int st = rt::read_unformatted(in, rec);
    mode = 0;
    if (st == rt::IOSTAT_END) {
      com_crd_cif.iend_cif = 1;
      rt::unit_close(in);
      iend = 1;
      return;
    }
    if (st != rt::IOSTAT_OK || !unpack_record(rec)) {
      msgerr_(mdoc, " ERR: READ OF FILE /rst/");
      rt::unit_close(in);
      ierr = 1;
      return;
    }
    if (is_title(crdrst.rs_name)) {
      take_title();
      continue;
    }
    iend = 0;
    com_crd_cif.iend_cif = 0;
    return;
  }
}

}  // namespace

void orrst_cif_(int32_t mdoc, int32_t& in, rt::TextRef path, std::string_view name,
                std::string_view ext, int32_t& ierr) {
  ierr = 0;
  path.fill(' ');
  openfr_(in, 99, path, name, ext, ierr);
  crdinf.crr_iun = in;
  if (ierr != 0) {
    msgerr_(mdoc, " ERR: OPEN INPUT_FILE");
    ierr = 1;
    return;
  }
  std::string first;
  if (rt::read_record(in, first) == rt::IOSTAT_END) {
    ierr = 100;
    return;
  }
  if (first.compare(0, 7, "global_") == 0) {
    crdinf.cr_form_rst = "F";
    rt::unit_rewind(in);
    return;
  }
  rt::unit_close(in);
  rt::FixedText<256> uname(name), uext(ext);
  openur_(in, 99, path, uname, uext, ierr);
  if (ierr != 0) {
    msgerr_(mdoc, " ERR: OPEN INPUT_FILE");
    ierr = 1;
    return;
  }
  crdinf.cr_form_rst = "U";
}

void orvdw_cif_(int32_t mdoc, int32_t& in, rt::TextRef path, std::string_view name,
                std::string_view ext, int32_t& ierr) {
  ierr = 0;
  path.fill(' ');
  openfr_(in, 99, path, name, ext, ierr);
  crdinf.crv_iun = in;
  if (ierr != 0) {
    msgerr_(mdoc, " ERR: OPEN INPUT_FILE");
    ierr = 1;
  }
}

void rdrst_cif_(int32_t mdoc, int32_t in, int32_t& mode, int32_t& iend, int32_t& ierr) {
  ierr = 0;
  output::rows_begin(in, iend);
  if (crdinf.cr_form_rst(1) == 'U') {
    read_unformatted(mdoc, in, mode, iend, ierr);
    return;
  }
  for (;;) {
    if (output::next_row(in, mdoc, kPrefix, " ERR: READ OF FILE /rst/", false, mode, iend, ierr) !=
        output::RowStep::Record)
      return;
    take_rst_items();
    if (!is_title(crdrst.rs_name)) break;
    take_title();
  }
  mode = 0;
  const crdrst_t& r = crdrst;
  rt::write_to(crdatm.cr_line.ref(), "(A4,1X,I6,1X,A8,1X,I1,4(1X,I6),3(1X,F8.3))", r.rs_name,
               r.rs_num, r.rs_label, r.rs_prd, r.rs_ia1, r.rs_ia2, r.rs_ia3, r.rs_ia4, r.rs_vidl,
               r.rs_sdi, r.rs_vobs);
}

void rdvdw_cif_(int32_t mdoc, int32_t in, int32_t& mode, int32_t& iend, int32_t& ierr) {
  ierr = 0;
  output::rows_begin(in, iend);
  if (output::next_row(in, mdoc, kPrefix, " ERR: READ OF FILE /vdw/", true, mode, iend, ierr) !=
      output::RowStep::Record)
    return;
  take_vdw_items();
  mode = 0;
  const crdrsv_t& v = crdrsv;
  rt::write_to(crdatm.cr_line.ref(), "(A4,1X,I6,1X,A8,2(1X,I6),3(1X,F8.3),1X,A1,1X,A1)", v.rsv_name,
               v.rsv_num, v.rsv_symm.sub(1, 8), v.rsv_ia1, v.rsv_ia2, v.rsv_ridl, v.rsv_robs,
               v.rsv_cns, v.rsv_type, v.rsv_hflag);
  msgdoc_(mdoc, crdatm.cr_line.view());
}
