// A bad vector size in the numerical kit, in a program that holds the error
// writer: the writer itself reports it (its error line once, its XML error
// document) and the run ends with status 1.
#include <gtest/gtest.h>

#include "support/capture.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "foundation/errwrt.h"
#include "foundation/messages.h"
#include "numeric/vecmat_kit.h"
#include "runtime/run.h"
#include "runtime/units.h"

namespace {

// The program must hold the error writer whatever else it uses.
[[maybe_unused]] void (*const keep_error_writer)(int32_t, std::string_view) = &errwrt_;

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
  template <typename F>
  void expect_reported(F f, const std::string& msg) {
    std::remove(xml_.c_str());
    std::string out;
    EXPECT_EQ(run_end_status(f, out), 1);
    EXPECT_EQ(out.rfind("===> Error: " + msg + "\n", 0), 0u) << out;
    EXPECT_EQ(out.find("===> Error:", 1), std::string::npos) << out;
    EXPECT_NE(file_text(xml_).find("Message <err_message> " + msg + "</err_message><br/>\n"),
              std::string::npos)
        << file_text(xml_);
  }

  std::string xml_;
};

}  // namespace

TEST_F(NumericKitFatal, BadSizesGoThroughErrorWriter) {
  float a[3] = {1, 2, 3}, v[2] = {0, 0};
  int32_t e = 0;
  expect_reported([&] { dot_r_(0, 3, a, a); }, "Size mismatch in DOT_R");
  expect_reported([&] { dot1_r_(4, 3, a, a); }, "Size mismatch in DOT_R");
  expect_reported([&] { veccopy_r_(3, 2, v, 1.0f, v); }, "Size mismatch in VECCOPY_R");
  expect_reported([&] { avecpvec_r_(0, 2, 1.0f, v, v, v, e); }, "Size mismatch In AVECPVEC");
}

TEST_F(NumericKitFatal, ErrorLineGoesToTheOutputUnit) {
  // The writer's output unit below 1 means standard output, and is stored back.
  files.isysw = 0;
  float a[1] = {1};
  std::string out;
  EXPECT_EQ(run_end_status([&] { dot_r_(2, 1, a, a); }, out), 1);
  EXPECT_EQ(out.rfind("===> Error: Size mismatch in DOT_R\n", 0), 0u) << out;
  EXPECT_EQ(files.isysw, 6);
}
