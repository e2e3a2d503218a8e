// Error writer with its XML error document, and scratch/open helpers.
#include "foundation/errwrt.h"

#include <string>

#include "foundation/hooks.h"
#include "foundation/messages.h"
#include "runtime/run.h"
#include "runtime/units.h"
#include "suite/library_f.h"
#include "suite/ptq7_parser_f.h"

namespace {

void write_xml_error(std::string_view used) {
  rt::FixedText<512> xml;
  ugtenv_("XMLOUT", xml);
  if (xml.is_blank()) return;
  int32_t unit = 0;
  int32_t ifail = 0;
  ptqdpn_(unit, xml.trimmed(), "UNKNOWN", "F", 0, ifail);
  if (ifail < 0 || unit <= 0) return;
  rt::write_record(unit, "<?xml version=\"1.0\" encoding=\"ASCII\" standalone=\"yes\"?>");
  rt::write_record(unit, "<!-- kavlin output  -->");
  rt::write_record(unit, "<KAVLIN>");
  rt::write_record(unit, "Error <err_level>         1</err_level><br/>");
  std::string rec = "Message <err_message> ";
  rec.append(used);
  rec.append("</err_message><br/>");
  rt::write_record(unit, rec);
  // Written as a list item: the record begins with one blank.
  rt::write_record(unit, " </KAVLIN>");
  rt::unit_close(unit);
}

void open_by_name(int32_t& iunit, std::string_view file_name, std::string_view form,
                  int32_t& ierr) {
  ierr = 0;
  if (rt::len_trim(file_name) == 0) return;
  iunit = 0;
  int32_t ifail = -1;
  ptqdpn_(iunit, rt::trim_right(file_name), "UNKNOWN", form, 0, ifail);
}

}  // namespace

void errwrt_(int32_t i, std::string_view line) {
  if (files.isysw < 1) files.isysw = 6;
  int32_t n = lenstr_(line);
  if (n < 1) n = 1;
  // An empty argument still yields the one blank the used length promises.
  std::string used = n <= static_cast<int32_t>(line.size()) ? std::string(line.substr(0, n))
                                                            : std::string(n, ' ');
  switch (i) {
    case -1:
      rt::write_record(files.isysw, used);
      return;
    case 0:
      rt::write_record(files.isysw, "===> Warning: " + used);
      return;
    case 1:
      break;
    default:
      return;
  }
  rt::write_record(files.isysw, "===> Error: " + used);
  kavlin_clean_up_files_();
  write_xml_error(used);
  ptqerr_(1, used);
  // ptqerr_ at level 1 ends the run; make sure this routine never returns.
  rt::stop_run(1);
}

void find_unique_file_name_(rt::TextRef file_out, std::string_view extension) {
  rt::FixedText<512> temp;
  ugtenv_("TEMP1", temp);
  std::string name = temp.is_blank() ? std::string("local") : std::string(temp.trimmed());
  name.append(rt::trim_right(extension));
  file_out.assign(name);
}

void open_form_file_(int32_t& iunit, std::string_view file_name, int32_t& ierr) {
  open_by_name(iunit, file_name, "F", ierr);
}

void open_unform_file_(int32_t& iunit, std::string_view file_name, int32_t& ierr) {
  open_by_name(iunit, file_name, "U", ierr);
}
