// A bad vector size in the numerical kit: the error writer reports it (its
// error line once, its XML error document) and the run ends with status 1.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "foundation/messages.h"
#include "numeric/vecmat_kit.h"
#include "support/capture.h"
#include "support/temp_dir.h"

namespace {

class NumericKitFatal : public testing::Test {
 protected:
  void SetUp() override {
    files.isysw = 6;
    xml_ = scratch_path() + "vecmat_fatal_error.xml";
    setenv("XMLOUT", xml_.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("XMLOUT");
    std::remove(xml_.c_str());
  }

  // Status 1, the error line first and once, the message in the XML document.
  void expect_reported(const std::function<void()>& f, const std::string& msg, const char* label) {
    std::remove(xml_.c_str());
    std::string out;
    EXPECT_EQ(run_end_status(f, out), 1) << label;
    EXPECT_EQ(out.rfind("===> Error: " + msg + "\n", 0), 0u) << label << "\n" << out;
    EXPECT_EQ(out.find("===> Error:", 1), std::string::npos) << label << "\n" << out;
    EXPECT_NE(file_text(xml_).find("Message <err_message> " + msg + "</err_message><br/>\n"),
              std::string::npos)
        << label << "\n"
        << file_text(xml_);
  }

  std::string xml_;
};

}  // namespace

TEST_F(NumericKitFatal, BadSizesGoThroughErrorWriter) {
  float a[3] = {1, 2, 3}, v[3] = {0, 0, 0};
  int32_t e = 0;
  const struct {
    const char* label;
    std::function<void()> call;
    const char* msg;
  } rows[] = {
      {"dot_r_ empty", [&] { dot_r_(0, 3, a, a); }, "Size mismatch in DOT_R"},
      {"dot_r_ beyond nmax", [&] { dot_r_(4, 3, a, a); }, "Size mismatch in DOT_R"},
      {"dot1_r_ beyond nmax", [&] { dot1_r_(4, 3, a, a); }, "Size mismatch in DOT_R"},
      {"veccopy_r_ beyond nmax", [&] { veccopy_r_(4, 3, v, 1.0f, a); },
       "Size mismatch in VECCOPY_R"},
      {"avecpvec_r_ empty", [&] { avecpvec_r_(0, 3, 1.0f, a, a, v, e); },
       "Size mismatch In AVECPVEC"},
      {"avecpvec_r_ beyond nmax", [&] { avecpvec_r_(4, 3, 1.0f, a, a, v, e); },
       "Size mismatch In AVECPVEC"},
  };
  for (const auto& row : rows) expect_reported(row.call, row.msg, row.label);
}
