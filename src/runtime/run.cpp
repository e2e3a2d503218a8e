// Ending a run, and the aborts of the bounds checks of texts and tables.
#include "runtime/run.h"

#include <cstdio>
#include <cstdlib>

#include "runtime/array.h"
#include "runtime/fixed_text.h"
#include "runtime/units.h"

namespace rt {

void stop_run(int status) { throw RunEnd{status}; }

int run_main(int argc, char** argv, void (*body)(int, char**)) {
  int status = 0;
  try {
    body(argc, argv);
  } catch (const RunEnd& e) {
    status = e.status;
  }
  flush_all_units();
  close_all_units();
  std::fflush(stdout);
  std::fflush(stderr);
  return status;
}

void array_index_error(const char* what, long index, long lo, long hi) {
  std::fflush(stdout);
  std::fprintf(stderr, "Table %s %ld out of bounds %ld:%ld\n", what, index, lo, hi);
  std::abort();
}

void text_range_error(int i, int j, int n) {
  std::fflush(stdout);
  std::fprintf(stderr, "Substring (%d:%d) out of bounds of a text of length %d\n", i, j, n);
  std::abort();
}

}  // namespace rt
