// Reciprocal-metric coefficients of a cell, the resolution of one
// reflection, and freeing the reflection-file slots.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "reflections/cmtzlib.h"
#include "reflections/mtz_batch.h"
#include "reflections/mtz_row_index.h"
#include "suite/library_f.h"
#include "suite/ptq7_errno.h"
#include "support/capture.h"

namespace {

TEST(Resolution, CubicCellCoefficients) {
  const float cell[6] = {10, 10, 10, 90, 90, 90};
  double c[6];
  EXPECT_EQ(MtzHklcoeffs(cell, c), 1);
  EXPECT_NEAR(c[0], 0.0025, 1e-12);
  EXPECT_NEAR(c[3], 0.0025, 1e-12);
  EXPECT_NEAR(c[5], 0.0025, 1e-12);
  EXPECT_NEAR(c[1], 0.0, 1e-12);
  EXPECT_NEAR(c[2], 0.0, 1e-12);
  EXPECT_NEAR(c[4], 0.0, 1e-12);
  const int32_t h100[3] = {1, 0, 0};
  EXPECT_FLOAT_EQ(MtzInd2reso(h100, c), 0.01f);
  const int32_t h123[3] = {1, 2, 3};
  EXPECT_FLOAT_EQ(MtzInd2reso(h123, c), 0.14f);
}

TEST(Resolution, OrthorhombicAndMonoclinicCells) {
  const float ortho[6] = {10, 20, 40, 90, 90, 90};
  double c[6];
  ASSERT_EQ(MtzHklcoeffs(ortho, c), 1);
  const int32_t hkl[3] = {1, 1, 1};
  // 1/d^2 = 1/a^2 + 1/b^2 + 1/c^2
  EXPECT_NEAR(MtzInd2reso(hkl, c), 0.01 + 0.0025 + 0.000625, 1e-7);
  // Monoclinic, beta 120: 1/d^2 of (0 0 1) is 1/(c sin beta)^2.
  const float mono[6] = {10, 12, 14, 90, 120, 90};
  ASSERT_EQ(MtzHklcoeffs(mono, c), 1);
  const int32_t l1[3] = {0, 0, 1};
  const double s = std::sin(120.0 * M_PI / 180.0);
  EXPECT_NEAR(MtzInd2reso(l1, c), 1.0 / (14.0 * 14.0 * s * s), 1e-6);
  const int32_t k1[3] = {0, 1, 0};
  EXPECT_NEAR(MtzInd2reso(k1, c), 1.0 / 144.0, 1e-7);
  // The cross term: (1 0 1) = (1/sin^2 beta)(1/a^2 + 1/c^2 - 2 cos beta/(a c)).
  const int32_t h101[3] = {1, 0, 1};
  const double cb = std::cos(120.0 * M_PI / 180.0);
  EXPECT_NEAR(MtzInd2reso(h101, c), (0.01 + 1.0 / 196.0 - 2 * cb / 140.0) / (s * s), 1e-6);
}

TEST(Resolution, DegenerateCellSignalsAndGivesZeros) {
  const float cell[6] = {10, 10, 10, 90, 90, 0.0005f};
  double c[6] = {1, 1, 1, 1, 1, 1};
  int status = -1;
  const std::string out = captured([&] { status = MtzHklcoeffs(cell, c); });
  EXPECT_EQ(status, 0);
  for (double v : c) EXPECT_EQ(v, 0.0);
  EXPECT_EQ(out,
            ">>>>>> PTQ7 library signal mtz:Invalid cell dimensions (Error)\n"
            "\t raised in MtzHklcoeffs <<<<<<\n");
  EXPECT_EQ(ptq7_errno, ptq7_error_word(PTQ7_ERRNO_MTZ, PTQ7_LEVEL_ERROR, 9));
  const int32_t hkl[3] = {3, 4, 5};
  EXPECT_EQ(MtzInd2reso(hkl, c), 0.0f);
}

TEST(Resolution, RangeOverRowsAgreesWithOneReflectionAtATime) {
  // The range routine works rows out side by side: its values must be those
  // of MtzInd2reso bit for bit, in a skewed cell, for indices of both
  // signs, fractions, values beyond any index and values that are no number.
  const float cell[6] = {31.7f, 45.2f, 88.9f, 71.3f, 102.6f, 96.1f};
  double c[6];
  ASSERT_EQ(MtzHklcoeffs(cell, c), 1);
  const float odd[] = {std::nanf(""), INFINITY, -INFINITY, 2.0e9f, -1.99e9f, 0.999f, -7.5f};
  std::vector<float> h, k, l;
  for (int i = 0; i < 601; ++i) {
    h.push_back(static_cast<float>(i % 23 - 11));
    k.push_back(static_cast<float>(i % 7 - 3));
    l.push_back(i % 11 == 0 ? odd[(i / 11) % 7] : static_cast<float>(i % 5));
  }
  for (bool positive_only : {false, true}) {
    SCOPED_TRACE(positive_only ? "positive values only" : "every value");
    float lo = 0.5f, hi = 0.01f, want_lo = lo, want_hi = hi;
    for (std::size_t i = 0; i < h.size(); ++i) {
      const int32_t hkl[3] = {reflections::truncated_index(h[i]), reflections::truncated_index(k[i]),
                              reflections::truncated_index(l[i])};
      const float s = MtzInd2reso(hkl, c);
      if (positive_only && s <= 0.0f) continue;
      want_lo = std::min(want_lo, s);
      want_hi = std::max(want_hi, s);
    }
    reflections::widen_reso_range(h.data(), k.data(), l.data(), h.size(), c, positive_only, lo, hi);
    EXPECT_EQ(lo, want_lo);
    EXPECT_EQ(hi, want_hi);
  }
  // A range that is no number stays so, as a one-row-at-a-time pass leaves it.
  float lo = std::nanf(""), hi = 1.0f;
  reflections::widen_reso_range(h.data(), k.data(), l.data(), h.size(), c, false, lo, hi);
  EXPECT_TRUE(std::isnan(lo));
}

TEST(ReflectionSlots, TidyFreesEverySlot) {
  for (int i = 1; i <= MTZ_MAX_SLOTS; ++i) EXPECT_EQ(mtz_slot(i), nullptr);
  mtz_slot(1) = std::make_unique<MtzFile>();
  mtz_slot(3) = std::make_unique<MtzFile>();
  MtzMemTidy();
  for (int i = 1; i <= MTZ_MAX_SLOTS; ++i) EXPECT_EQ(mtz_slot(i), nullptr);
  MtzMemTidy();
}

TEST(ReflectionSlots, LibraryEndOfRunTidyFreesSlots) {
  mtz_slot(2) = std::make_unique<MtzFile>();
  ptq7f_mem_tidy();
  EXPECT_EQ(mtz_slot(2), nullptr);
}

}  // namespace
