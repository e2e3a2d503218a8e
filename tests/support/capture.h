// Helpers shared by the tests of this directory: standard output captured
// around a call, a run ended by a stop, and whole-file reads.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "runtime/run.h"
#include "runtime/units.h"

template <typename F>
std::string captured(F f) {
  std::fflush(stdout);
  testing::internal::CaptureStdout();
  f();
  rt::unit_flush(6);
  std::fflush(stdout);
  return testing::internal::GetCapturedStdout();
}

// Runs f, returning the stop status (-1 when the run was not ended).
template <typename F>
int run_end_status(F f, std::string& out) {
  int status = -1;
  out = captured([&] {
    try {
      f();
    } catch (const rt::RunEnd& e) {
      status = e.status;
    }
  });
  return status;
}

inline std::string file_text(const std::string& path) {
  std::ifstream in(path);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}
