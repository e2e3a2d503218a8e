// The restraint file controller, block titles and block comments.  The
// reader of the output room tells the forms apart by the first line, so the
// text form always begins with "global_" and the unformatted form has no
// header at all.
#include "restraints/rst_file.h"

#include <cmath>
#include <cstring>
#include <string>

#include "dictionary/lib_com.h"
#include "dictionary/libcom.h"
#include "foundation/atom_com.h"
#include "foundation/dates.h"
#include "foundation/file_open.h"
#include "foundation/messages.h"
#include "output/out_lines.h"
#include "runtime/format.h"
#include "runtime/units.h"

namespace {

constexpr std::string_view kItems[] = {
    "_restr.record",    "_restr.number",    "_restr.label",     "_restr.period", "_restr.atom_id_1",
    "_restr.atom_id_2", "_restr.atom_id_3", "_restr.atom_id_4", "_restr.value",  "_restr.dev",
    "_restr.val_obs",   "_restr.dist",      "_restr.dist_dev",  "_restr.econst",
};

bool no_file() { return crdinf.crro_file.is_blank(); }

// A residue name with its blanks shown as '_'.
rt::FixedText<8> shown_name(std::string_view name) {
  rt::FixedText<8> t(name);
  for (int i = 1; i <= 8; ++i)
    if (t(i) == ' ') t(i) = '_';
  return t;
}

// Residue number (characters 3-6, blanks as '0') and insertion code
// (character 7, blank as '-') of a 12-character residue text.
rt::FixedText<5> shown_number(std::string_view pnum) {
  const rt::FixedText<12> p(pnum);
  rt::FixedText<5> t(p.sub(3, 7));
  for (int i = 1; i <= 4; ++i)
    if (t(i) == ' ') t(i) = '0';
  if (t(5) == ' ') t(5) = '-';
  return t;
}

void write_header(int32_t iun, int32_t& ierr) {
  crdinf_t& c = crdinf;
  output::Line line;
  auto put = [&](std::string_view text) { wrtstr_(iun, 0, text, ierr); };
  put("global_");
  output::put_line(iun, line, ierr, "(A,1X,A4)", "_entry.id  ", c.cr_cd_pdb);
  // The stored texts keep their apostrophes: one before a blank would end
  // a quoted value early, which put_quoted turns into a text field.
  const std::string_view keywords = c.cr_name_pdb.is_blank() ? " " : c.cr_name_pdb.trimmed();
  output::put_quoted(iun, ierr, "_struct.keywords   ", keywords);
  // An entry without a date (or with "?") would leave the item without a
  // value, which ends the file for a CIF reader: it is written unknown.
  const std::string_view date =
      foundation::pdb_date_form(c.cr_date_pdb.view()) ? c.cr_date_pdb.view() : std::string_view("XX-XXX-XX");
  output::put_line(iun, line, ierr, "(A,1X,A9)", "_autid.creation_date  ", date);
  if (c.cr_title.is_blank()) c.cr_title = "---";
  std::string_view title = c.cr_title.trimmed();
  if (title.size() > 60) title = title.substr(0, 60);
  output::put_quoted(iun, ierr, "_struct.title     ", title);
  output::put_line(iun, line, ierr, "(A,2X,A16)", "_lib.name   ", libcom.lb_name);
  output::put_line(iun, line, ierr, "(A,2X,A16)", "_lib.version", libcom.lb_vers);
  output::put_line(iun, line, ierr, "(A,2X,A16)", "_lib.update ", libcom.lb_date);
  put("# ------------------------------------------------");
  put("data_restraints");
  put("#");
  put("loop_");
  put("#");
  for (std::string_view item : kItems) put(item);
}

void open_file(int32_t mdoc, int32_t& ierr) {
  crdinf_t& c = crdinf;
  int32_t iun = 0;
  if (restraints::rst_unformatted()) {
    // The opener tidies the texts it is given; the run's names stay as set.
    rt::FixedText<256> path(c.crro_path), name(c.crro_file), ext(c.crro_ext);
    openuw_(iun, 99, path, name, ext, ierr);
    c.crro_iun = iun;
    if (ierr != 0) msgerr_(mdoc, " ERR: cann't open RST_file.");
    return;
  }
  openfw_(iun, 99, c.crro_path, c.crro_file, c.crro_ext, ierr);
  c.crro_iun = iun;
  if (ierr != 0) {
    msgerr_(mdoc, " ERR: can't open RST_file.");
    return;
  }
  write_header(iun, ierr);
}

void residue_block(int32_t mdoc, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  const int32_t iun = crdinf.crro_iun;
  if (iun == 0) {
    msgerr_(mdoc, " ERR: don't open RST_file");
    ierr = 1;
    return;
  }
  rt::FixedText<8> source_id(r.c1_rtype.trimmed().substr(0, 8));
  if (r.c1_rtype.is_blank()) source_id = "?";
  if (!restraints::rst_unformatted()) {
    output::Line line;
    output::put_line(iun, line, ierr, "(A,A8,A,A5,A,A4,A,A16)", "# data_restr_",
                     shown_name(r.c1_rname), "_", shown_number(r.c1_pnum), "_",
                     r.c1_pnum.sub(8, 11), "_", r.c1_rtype);
  }
  wrt_rst_title_(iun, mdoc, "MONO", source_id, ierr);
}

}  // namespace

namespace restraints {

namespace {
// The residue stages write their records at a quieter message code than the
// run's; what the file's records themselves warn of goes to the log at the
// code the file was opened with.
int32_t g_log_code = 0;
}  // namespace

int32_t rst_log_code() { return g_log_code; }

bool rst_unformatted() { return crdinf.cr_form_rst(1) == 'U'; }

float finite_or_zero(float v) { return std::isfinite(v) ? v : 0.0f; }

bool put_rst_record(std::string_view name, int32_t num, std::string_view label, int32_t iperiod,
                    int32_t ia1, int32_t ia2, int32_t ia3, int32_t ia4, float vidl, float sd,
                    float vobs, float dist, float desd, float econst, int32_t mdoc,
                    std::string_view failure) {
  // Kind, number, label, period, four atoms, six reals: the reader's layout.
  char rec[4 + 4 + 8 + 5 * 4 + 6 * 4];
  char* p = rec;
  auto text = [&p](std::string_view t, int n) {
    const rt::FixedText<8> f(t);
    std::memcpy(p, f.c, n);
    p += n;
  };
  auto word = [&p](auto v) {
    std::memcpy(p, &v, 4);
    p += 4;
  };
  text(name, 4);
  word(num);
  text(label, 8);
  for (int32_t v : {iperiod, ia1, ia2, ia3, ia4}) word(v);
  for (float v : {vidl, sd, vobs, dist, desd, econst}) word(finite_or_zero(v));
  const int32_t iun = crdinf.crro_iun;
  if (rt::write_unformatted(iun, std::string_view(rec, sizeof rec)) == rt::IOSTAT_OK) return true;
  msgerr_(mdoc, failure);
  rt::unit_close_or_remove(iun);
  return false;
}

void put_link_comment(std::string_view link, std::string_view rname1, std::string_view pnum1,
                      std::string_view rname2, std::string_view pnum2, int32_t& ierr) {
  const rt::FixedText<12> p1(pnum1), p2(pnum2);
  output::Line line;
  output::put_line(crdinf.crro_iun, line, ierr, "(A,A8,A,A8,A,A5,A,A4,A,A8,A,A5,A,A4)", "# link_'",
                   rt::FixedText<8>(link), "'_", shown_name(rname1), "_", shown_number(pnum1), "_",
                   p1.sub(8, 11), "-", shown_name(rname2), "_", shown_number(pnum2), "_",
                   p2.sub(8, 11));
}

}  // namespace restraints

void wrt_rst_(std::string_view mode, int32_t mdoc, int32_t& ierr) {
  if (no_file()) {
    crdinf.crro_file = "";
    return;
  }
  const rt::FixedText<4> word(mode);
  if (word == "TITL" || word == "WRIT" || word == "STOP") ierr = 0;
  if (word == "TITL") {
    restraints::g_log_code = mdoc;
    open_file(mdoc, ierr);
  } else if (word == "WRIT") {
    residue_block(mdoc, ierr);
  } else if (word == "STOP") {
    if (crdinf.crro_iun == 0) {
      msgerr_(mdoc, " ERR: don't open RST_file / for close/");
      ierr = 1;
      return;
    }
    // The last records go out at the close: a full device shows there.
    if (rt::unit_close_or_remove(crdinf.crro_iun) != 0) {
      msgerr_(mdoc, " ERROR: WRITE TO OUTPUT FILE /rst/");
      ierr = 4;
    }
  }
}

void wrt_rst_title_(int32_t iun, int32_t mdoc, std::string_view source, std::string_view source_id,
                    int32_t& ierr) {
  if (restraints::rst_unformatted()) {
    if (!restraints::put_rst_record(source, 0, source_id, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, mdoc,
                                    " ERR: WRITE TO FILE /rst/"))
      ierr = 1;
    return;
  }
  output::Line line;
  // A link or residue name with a blank (a connection named 'MY LINK') is
  // quoted, or the reader would take its two halves for two values.
  output::put_line(iun, line, ierr, "(A4,A,A,A)", rt::FixedText<4>(source), " . ",
                   output::cif_cell(rt::FixedText<8>(source_id).view(), 8),
                   " . . . . . . . . . . .");
}

void wrt_t_l_(int32_t mdoc, std::string_view link, int32_t& ierr) {
  if (no_file() || crdinf.crro_iun == 0) return;
  const r_scratch_t& r = r_scratch;
  if (!restraints::rst_unformatted())
    restraints::put_link_comment(link, r.c2_rname, r.c2_pnum, r.c1_rname, r.c1_pnum, ierr);
  wrt_rst_title_(crdinf.crro_iun, mdoc, "LINK", link, ierr);
}
