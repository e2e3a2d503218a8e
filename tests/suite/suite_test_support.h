// Shared helpers of the suite library tests: captured standard output and
// error, environment variables restored after each test, scratch
// directories, keyword input fed on standard input, and a clean library state.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>

#include "runtime/run.h"
#include "runtime/units.h"
#include "suite/ptq7_errno.h"
#include "suite/ptq7_html.h"
#include "suite/ptq7_parser_f.h"
#include "suite/ptq7_program.h"

namespace suite_test {

// Sets or removes variables for one test and puts the old values back.
class EnvGuard {
 public:
  ~EnvGuard() {
    for (auto& [name, old] : saved_) {
      if (old)
        ::setenv(name.c_str(), old->c_str(), 1);
      else
        ::unsetenv(name.c_str());
    }
  }
  void set(const std::string& name, const std::string& value) {
    remember(name);
    ::setenv(name.c_str(), value.c_str(), 1);
  }
  void unset(const std::string& name) {
    remember(name);
    ::unsetenv(name.c_str());
  }
  // For variables the code under test may set.
  void remember(const std::string& name) {
    if (saved_.count(name)) return;
    const char* v = std::getenv(name.c_str());
    saved_[name] = v ? std::optional<std::string>(v) : std::nullopt;
  }

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

// Captures what the code writes on stdout (and stderr) through C stdio.
class Capture {
 public:
  Capture() {
    std::fflush(stdout);
    std::fflush(stderr);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
  }
  ~Capture() {
    if (!done_) finish();
  }
  void finish() {
    std::fflush(stdout);
    std::fflush(stderr);
    out_ = testing::internal::GetCapturedStdout();
    err_ = testing::internal::GetCapturedStderr();
    done_ = true;
  }
  const std::string& out() {
    if (!done_) finish();
    return out_;
  }
  const std::string& err() {
    if (!done_) finish();
    return err_;
  }

 private:
  bool done_ = false;
  std::string out_, err_;
};

// A fresh directory under the system's temporary directory, removed afterwards.
class TempDir {
 public:
  TempDir() {
    char tmpl[] = "/tmp/suite_test_XXXXXX";
    path_ = ::mkdtemp(tmpl);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  std::string write(const std::string& name, const std::string& text) const {
    std::ofstream(file(name)) << text;
    return file(name);
  }

 private:
  std::string path_;
};

// Standard input reads `text` until the guard goes, then reads nothing.
class StdinFeed {
 public:
  explicit StdinFeed(const std::string& text) {
    path_ = dir_.write("stdin.txt", text);
    EXPECT_NE(std::freopen(path_.c_str(), "r", stdin), nullptr);
  }
  ~StdinFeed() { (void)std::freopen("/dev/null", "r", stdin); }

 private:
  TempDir dir_;
  std::string path_;
};

// The status of a run end raised inside f, or -1 when f returns.
template <typename F>
int run_status(F&& f) {
  try {
    f();
  } catch (const rt::RunEnd& e) {
    return e.status;
  }
  return -1;
}

// Every test starts from the state of a new process.
class SuiteTest : public testing::Test {
 protected:
  void SetUp() override {
    ptq7_program_reset_for_tests();
    ptq7h_reset_for_tests();
    parser_state_reset_for_tests();
    ptq7_liberr_verbosity(1);
    ptq7_errno = 0;
    env.unset("PTQ_SUPPRESS_HTML");
    env.unset("PTQ_SUPPRESS_SUMMARY");
    env.unset("PTQ7_OPEN");
  }
  void TearDown() override {
    rt::close_all_units();
    ptq7h_reset_for_tests();
    ptq7_program_reset_for_tests();
    parser_state_reset_for_tests();
  }
  EnvGuard env;
};

}  // namespace suite_test
