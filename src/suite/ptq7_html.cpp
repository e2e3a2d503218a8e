// Summary-block and HTML markers of the log.  The code-base side keeps its
// own flags, initialised once from the environment; the library side keeps
// two flags that the end-of-run message consults.
#include "suite/ptq7_html.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct HtmlState {
  int unit = 6;
  bool html = false;
  bool summary = false;
  std::string cbin;
  std::string chtml;
  std::string program_id;
  int initialised = -1;
  bool summary_open = false;
  int summary_depth = 0;
};

HtmlState ptq7hdat;
int lib_html = 0;
int lib_summary = 0;

// The values are held in 160-character fields.
std::string env160(const char* name) {
  const char* v = std::getenv(name);
  std::string s = v ? v : "";
  if (s.size() > 160) s.resize(160);
  return s;
}

bool env_blank(const char* name) {
  const char* v = std::getenv(name);
  if (!v) return true;
  for (; *v; ++v)
    if (*v != ' ') return false;
  return true;
}

}  // namespace

int summary_output(int n) {
  if (n >= 0) lib_summary = n;
  return lib_summary;
}

int html_log_output(int n) {
  if (n >= 0) lib_html = n;
  return lib_html;
}

void ptq7h_init_clib_(int html, int summary) {
  html_log_output(html);
  summary_output(summary);
}

void ptq7h_init_lib_(int32_t html, int32_t summary) {
  if (ptq7hdat.initialised != -1) return;
  ptq7hdat.unit = 6;
  ptq7hdat.cbin = env160("CBIN");
  ptq7hdat.chtml = env160("CHTML");
  ptq7hdat.program_id = env160("PTQ_PROGRAM_ID");
  ptq7hdat.html = html >= 0 && env_blank("PTQ_SUPPRESS_HTML");
  ptq7hdat.summary = summary >= 0 && env_blank("PTQ_SUPPRESS_SUMMARY");
  ptq7h_init_clib_(ptq7hdat.html ? 1 : 0, ptq7hdat.summary ? 1 : 0);
  ptq7hdat.initialised = 0;
  ptq7hdat.summary_open = false;
  ptq7hdat.summary_depth = 0;
}

void ptq7h_summary_beg_() {
  ptq7h_init_lib_(0, 0);
  if (!ptq7hdat.summary) return;
  if (!ptq7hdat.summary_open) {
    std::fputs(ptq7hdat.html ? "<B><FONT COLOR=\"#FF0000\"><!--SUMMARY_BEGIN-->\n"
                             : "<!--SUMMARY_BEGIN-->\n",
               stdout);
    ptq7hdat.summary_depth = 1;
    ptq7hdat.summary_open = true;
  } else {
    ++ptq7hdat.summary_depth;
  }
}

void ptq7h_summary_end_() {
  ptq7h_init_lib_(0, 0);
  if (!ptq7hdat.summary) return;
  if (!ptq7hdat.summary_open) {
    ptq7hdat.summary_depth = 0;
    return;
  }
  if (ptq7hdat.summary_depth <= 1) {
    std::fputs(ptq7hdat.html ? "<!--SUMMARY_END--></FONT></B>\n" : "<!--SUMMARY_END-->\n", stdout);
    ptq7hdat.summary_depth = 0;
    ptq7hdat.summary_open = false;
  } else {
    --ptq7hdat.summary_depth;
  }
}

void ptq7h_pre_beg_() {
  ptq7h_init_lib_(0, 0);
  if (ptq7hdat.html) std::fputs("<pre>\n", stdout);
}

void ptq7h_reset_for_tests() {
  ptq7hdat = HtmlState{};
  lib_html = 0;
  lib_summary = 0;
}
