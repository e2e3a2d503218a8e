// The general end-of-run and warning messages: message line, times line and
// closing markers, and the exit status chosen by level.
#include "suite/library_err.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "runtime/run.h"
#include "suite/ptq7_html.h"
#include "suite/ptq7_program.h"

void ptqerror_noexit(int level, const char* message) {
  const char* name = ptq7ProgramName(nullptr);
  if (!name || !name[0]) name = "PTQ7";
  const char* msg = message ? message : "";
  if (level == 1 || level == -1) {
    std::fflush(stdout);
    // Only a real system error has a message worth adding.
    if (level == -1 && errno != 0)
      std::fprintf(stderr, "Last system error message: %s\n", std::strerror(errno));
    std::fprintf(stderr, " %s:  %s\n", name, msg);
  }
  if (level == 0 || level == 1 || level == -1) {
    ptq7printf(0, " %s:  %s\n", name, msg);
    ptq7ProgramTime(0);
    if (html_log_output(-1)) std::fputs("</pre>\n</html>\n", stdout);
    if (summary_output(-1)) std::fputs("<!--SUMMARY_END-->\n", stdout);
  } else if (level == 2) {
    ptq7printf(0, " \n $TEXT:Warning: $$ comment $$ \n WARNING: %s\n $$\n", msg);
  } else if (level >= 3) {
    ptq7printf(0, "%s\n", msg);
  }
}

void ptqerror(int level, const char* message) {
  ptqerror_noexit(level, message);
  if (level == 0) rt::stop_run(0);
  if (level == 1 || level == -1) rt::stop_run(1);
}
