// A bad vector size in the numerical kit, in a program that holds the error
// writer: the writer itself reports it (its error line once, its XML error
// document) and the run ends with status 1.
#include <gtest/gtest.h>

#include "capture.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "foundation/errwrt.h"
#include "foundation/messages.h"
#include "numeric/vecmat_kit.h"
#include "runtime/run.h"
#include "runtime/units.h"

namespace {

// The program must hold the error writer whatever else it uses.
[[maybe_unused]] void (*const keep_error_writer)(int32_t, std::string_view) = &errwrt_;

struct Stop {
  int status = -1;
  std::string out;
};

template <typename F>
Stop run_to_stop(F f) {
  Stop s;
  std::fflush(stdout);
  testing::internal::CaptureStdout();
  try {
    f();
  } catch (const rt::RunEnd& e) {
    s.status = e.status;
  }
  rt::unit_flush(6);
  std::fflush(stdout);
  s.out = testing::internal::GetCapturedStdout();
  return s;
}

class NumericKitFatal : public testing::Test {
 protected:
  void SetUp() override {
    files.isysw = 6;
    xml_ = testing::TempDir() + "vecmat_fatal_error.xml";
    std::remove(xml_.c_str());
    setenv("XMLOUT", xml_.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("XMLOUT");
    std::remove(xml_.c_str());
  }

  // Status 1, the error line first and once, the message in the XML document.
  void expect_reported(const Stop& s, const std::string& msg) {
    EXPECT_EQ(s.status, 1);
    EXPECT_EQ(s.out.rfind("===> Error: " + msg + "\n", 0), 0u) << s.out;
    EXPECT_EQ(s.out.find("===> Error:", 1), std::string::npos) << s.out;
    EXPECT_NE(file_text(xml_).find("Message <err_message> " + msg + "</err_message><br/>\n"),
              std::string::npos)
        << file_text(xml_);
  }

  std::string xml_;
};

}  // namespace

TEST_F(NumericKitFatal, DotSizeGoesThroughErrorWriter) {
  float a[3] = {1, 2, 3};
  expect_reported(run_to_stop([&] { dot_r_(0, 3, a, a); }), "Size mismatch in DOT_R");
  std::remove(xml_.c_str());
  expect_reported(run_to_stop([&] { dot1_r_(4, 3, a, a); }), "Size mismatch in DOT_R");
}

TEST_F(NumericKitFatal, CopyAndScaledSumGoThroughErrorWriter) {
  float v[2] = {0, 0};
  int32_t e = 0;
  expect_reported(run_to_stop([&] { veccopy_r_(3, 2, v, 1.0f, v); }), "Size mismatch in VECCOPY_R");
  std::remove(xml_.c_str());
  expect_reported(run_to_stop([&] { avecpvec_r_(0, 2, 1.0f, v, v, v, e); }),
                  "Size mismatch In AVECPVEC");
}

TEST_F(NumericKitFatal, ErrorLineGoesToTheOutputUnit) {
  // The writer's output unit below 1 means standard output, and is stored back.
  files.isysw = 0;
  float a[1] = {1};
  const Stop s = run_to_stop([&] { dot_r_(2, 1, a, a); });
  EXPECT_EQ(s.status, 1);
  EXPECT_EQ(s.out.rfind("===> Error: Size mismatch in DOT_R\n", 0), 0u) << s.out;
  EXPECT_EQ(files.isysw, 6);
}
