// The torsion a placement reads back from a frame must be the one it placed
// with, or a rebuilt atom taken from the library's ideal coordinates lands
// on the mirror side.
#include "restraints/ideal_hand.h"

#include <gtest/gtest.h>

#include "dictionary/lib_com.h"
#include "foundation/kernels.h"
#include "model_fixture.h"
#include "suite/pi.h"

namespace {

TEST(IdealHand, FrameTorsionReadsBackEveryTorsionOfThePlacement) {
  const float ref[3] = {0.3f, -1.2f, 0.4f}, axis[3] = {1.1f, 0.5f, -0.2f};
  const float deg = suite::kPi<float> / 180.0f;
  for (float t : {-170.0f, -120.0f, -60.0f, -5.0f, 0.0f, 35.0f, 90.0f, 120.0f, 179.0f}) {
    float v[3];
    coord_4_(0.0f, 1.2f, 1.09f, ref, axis, 80.0f * deg, 109.5f * deg, t * deg, v);
    EXPECT_NEAR(restraints::frame_torsion(ref, axis, v), t, 0.01f) << "placed at " << t;
  }
}

TEST(IdealHand, ZeroPutsTheAtomOnTheReferenceSide) {
  // The reference vector points into the axis from the atom before it.
  const float ref[3] = {0, 1, 0}, axis[3] = {1, 0, 0};
  const float cis[3] = {0.3f, -1.0f, 0.0f}, trans[3] = {0.3f, 1.0f, 0.0f};
  EXPECT_NEAR(restraints::frame_torsion(ref, axis, cis), 0.0f, 1e-4f);
  EXPECT_NEAR(restraints::frame_torsion(ref, axis, trans), 180.0f, 1e-4f);
}

// Valine's methyls from the library file: CG2 lies +120 degrees from CG1
// about CA-CB, HB -120; N seen from CA-CB's far end puts CG1 at the
// torsion N-CA-CB-CG1 of the ideal coordinates.
TEST(IdealHand, OffsetsOfTheLibrarysIdealCoordinates) {
  rtest::load_library();
  float x[3] = {};
  ASSERT_TRUE(restraints::ideal_position("VAL", "CB", x));
  EXPECT_FLOAT_EQ(x[0], -0.682f);
  EXPECT_FLOAT_EQ(x[2], 1.098f);
  float off = 0.0f;
  ASSERT_TRUE(restraints::ideal_offset("VAL", "CA", "CB", "CG1", false, "CG2", off));
  EXPECT_NEAR(off, 120.0f, 0.1f);
  ASSERT_TRUE(restraints::ideal_offset("VAL", "CA", "CB", "CG1", false, "HB", off));
  EXPECT_NEAR(off, -120.0f, 0.2f);
  ASSERT_TRUE(restraints::ideal_offset("VAL", "CA", "CB", "N", true, "CG1", off));
  EXPECT_NEAR(off, -60.0f, 0.1f);
}

// Valine's CA row ("positiv") agrees with its ideal coordinates; made to say
// "negativ" it overrules them; a row of either sign or no row says nothing.
TEST(IdealHand, ChiralRowOverrulesIdealCoordinatesOnlyWhenTheyDisagree) {
  rtest::load_library();
  r_scratch_t& r = r_scratch;
  int row = 0;
  for (int k = 1; k <= r.lmc_nchir; ++k)
    if (r.lmc_mname(k) == "VAL" && r.lmc_1atm(k) == "CA") row = k;
  ASSERT_GT(row, 0);
  EXPECT_EQ(restraints::ideal_hand("VAL", "CA", "N", "C", "CB"), 1);
  EXPECT_EQ(restraints::chiral_mirror("VAL", "CA"), 1);
  EXPECT_EQ(restraints::chiral_mirror("VAL", "CB"), 1) << "no row";
  r.lmc_sign(row) = "negativ";
  EXPECT_EQ(restraints::chiral_mirror("VAL", "CA"), -1);
  r.lmc_sign(row) = "both";
  EXPECT_EQ(restraints::chiral_mirror("VAL", "CA"), 1);
  r.lmc_sign(row) = "positiv";
}

TEST(IdealHand, UnknownMonomerOrAtomHasNoIdealPosition) {
  rtest::load_library();
  float x[3];
  float off = 0.0f;
  EXPECT_FALSE(restraints::ideal_position("NOSUCH", "CA", x));
  EXPECT_FALSE(restraints::ideal_position("VAL", "CD1", x));
  EXPECT_FALSE(restraints::ideal_offset("NOSUCH", "CA", "CB", "CG1", false, "CG2", off));
  // A neighbour in line with the bond has no side.
  EXPECT_FALSE(restraints::ideal_offset("VAL", "CA", "CB", "CA", false, "CG2", off));
}

}  // namespace
