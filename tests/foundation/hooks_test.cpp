// Platform helpers: library path from the environment, console line, clock
// and operating-system code.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "foundation/hooks.h"
#include "runtime/units.h"
#include "support/capture.h"

TEST(PlatformHelpers, PathFromVariableThenFallbackThenBlank) {
  unsetenv("ORB_TEST_LIBVAR");
  unsetenv("CLIBD_MON");
  rt::FixedText<32> path("stale");
  int32_t ierr = 3;
  get_path_(0, "ORB_TEST_LIBVAR", path, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_TRUE(path.is_blank());

  setenv("CLIBD_MON", "/mon/lib/", 1);
  get_path_(0, "ORB_TEST_LIBVAR", path, ierr);
  EXPECT_EQ(path, "/mon/lib/");

  setenv("ORB_TEST_LIBVAR", "/own/", 1);
  get_path_(0, "ORB_TEST_LIBVAR", path, ierr);
  EXPECT_EQ(path, "/own/");
  unsetenv("ORB_TEST_LIBVAR");
  unsetenv("CLIBD_MON");
}

TEST(PlatformHelpers, ConsoleLineIsCutTo79Characters) {
  EXPECT_EQ(captured([] { displ_bl_("hello   "); }), " hello\n");
  const std::string longline(100, 'z');
  EXPECT_EQ(captured([&] { displ_bl_(longline); }), " " + std::string(79, 'z') + "\n");
}

TEST(PlatformHelpers, ClockFieldsAreInRange) {
  int32_t ih[7] = {9, -1, -1, -1, -1, -1, -1};
  clock_(ih);
  const int lo[7] = {0, 0, 0, 0, 1, 1, 2000}, hi[7] = {0, 60, 59, 23, 31, 12, 9999};
  for (int k = 0; k < 7; ++k) {
    EXPECT_GE(ih[k], lo[k]) << k;
    EXPECT_LE(ih[k], hi[k]) << k;
  }
}

TEST(PlatformHelpers, SystemCodeAndDocumentationHook) {
  rt::FixedText<3> os;
  getnos_(os);
  EXPECT_EQ(os.view(), "UNX");
}
