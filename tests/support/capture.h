// Shared test helpers for standard streams and ended runs: what code writes on
// standard output and error (through C stdio, so unit 6, printf and the
// error units are all caught), keyword input fed on standard input, and calls
// that end the run with rt::stop_run.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <source_location>
#include <string>
#include <utility>

#include "runtime/run.h"
#include "support/temp_dir.h"

// Captures standard output and error from construction until finish(), out()
// or err() is first called (or the capture goes).  The file descriptors
// themselves are redirected, so output that bypasses a stream's buffer is
// caught too, and captures nest.  A capture of standard output only leaves
// the sanitizers' reports of a crash on standard error where they can be read.
class Capture {
 public:
  enum class Streams { kOutAndErr, kOutOnly };
  explicit Capture(Streams streams = Streams::kOutAndErr);
  ~Capture();
  Capture(const Capture&) = delete;
  Capture& operator=(const Capture&) = delete;

  const std::string& out();
  const std::string& err();
  // Ends the capture; later output goes where it went before.
  void finish();

 private:
  struct Redirect {
    explicit Redirect(std::FILE* s) : stream(s) {}
    std::FILE* stream;
    int saved_fd = -1;
    std::FILE* sink = nullptr;
    std::string text;
  };
  static void begin(Redirect& r);
  static void end(Redirect& r);

  Redirect out_{stdout};
  Redirect err_{stderr};
  bool with_err_;
  bool done_ = false;
};

// Standard output written while f runs.
template <typename F>
std::string captured(F&& f) {
  Capture cap(Capture::Streams::kOutOnly);
  std::forward<F>(f)();
  return cap.out();
}

// The status with which f ended the run, or -1 when f returned.
template <typename F>
int run_end_status(F&& f) {
  try {
    std::forward<F>(f)();
  } catch (const rt::RunEnd& e) {
    return e.status;
  }
  return -1;
}

// As above, with standard output of f kept in `out`.
template <typename F>
int run_end_status(F&& f, std::string& out) {
  int status = -1;
  out = captured([&] { status = run_end_status(std::forward<F>(f)); });
  return status;
}

// Runs f, which must end the run with `status` (a failure at the caller's line
// otherwise), and returns its standard output.
template <typename F>
std::string expect_stop(int status, F&& f,
                        std::source_location where = std::source_location::current()) {
  std::string out;
  const int got = run_end_status(std::forward<F>(f), out);
  if (got != status) {
    ADD_FAILURE_AT(where.file_name(), static_cast<int>(where.line()))
        << "expected the run to stop with status " << status << ", "
        << (got == -1 ? std::string("but the call returned") : "stopped with " + std::to_string(got))
        << "\noutput:\n"
        << out;
  }
  return out;
}

// Standard input reads `text` while the feed lives, then nothing.
class StdinFeed {
 public:
  explicit StdinFeed(const std::string& text);
  ~StdinFeed();
  StdinFeed(const StdinFeed&) = delete;
  StdinFeed& operator=(const StdinFeed&) = delete;

 private:
  TempDir dir_;
};
