// How a run ends.  stop_run throws RunEnd; only run_main, which every main
// uses, catches it: it flushes the units and returns the status.  Library code
// never calls exit and never catches everything, so routines that end a run
// can be tested in process (EXPECT_THROW(..., rt::RunEnd)).
#pragma once

namespace rt {

struct RunEnd {
  int status;
};

[[noreturn]] void stop_run(int status);

// Runs body(argc, argv); returns the status of the stop, or 0 when the body
// returns normally.  Units are flushed and closed either way.
int run_main(int argc, char** argv, void (*body)(int, char**));

}  // namespace rt
