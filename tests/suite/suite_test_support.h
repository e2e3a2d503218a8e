// Shared helpers of the suite library tests: environment variables restored
// after each test and a clean library state.  Output capture, stops, standard
// input and scratch directories come from tests/support.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/units.h"
#include "suite/ptq7_errno.h"
#include "suite/ptq7_html.h"
#include "suite/ptq7_parser_f.h"
#include "suite/ptq7_program.h"
#include "support/capture.h"
#include "support/temp_dir.h"

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

// `text` with every digit read as 0, so that clock readings compare by layout.
inline std::string digits_zeroed(std::string_view text) {
  std::string s(text);
  for (char& c : s) {
    if (c >= '0' && c <= '9') c = '0';
  }
  return s;
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
