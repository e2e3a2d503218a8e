// Residue spheres and the verdict on a pair of residues.
#include <gtest/gtest.h>

#include <cmath>

#include "connect/residue_spheres.h"
#include "model_builder.h"
#include "support/capture.h"

namespace {

using conntest::Model;

TEST(ResidueSpheres, CentreIsTheBoxMiddleOfCountedAtoms) {
  Model m;
  // The hydrogen and the atom without occupancy lie far out and do not count.
  m.residue("ALA", 3, 'A', 1,
            {{"N", 0, 0, 0, "N"}, {"CA", 2, 0, 0}, {"CB", 2, 4, 0}, {"H", 50, 0, 0, "H"},
             {"C", -40, 0, 0, "C", 0.0f}});
  int32_t ierr = 0;
  def_center_(0, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_FLOAT_EQ(resid_inf_2.center_res(1, 1), 1.0f);
  EXPECT_FLOAT_EQ(resid_inf_2.center_res(2, 1), 2.0f);
  EXPECT_FLOAT_EQ(resid_inf_2.radius_res(1), std::sqrt(5.0f));
  EXPECT_EQ(resid_inf_2.iflag_res(1), 0);
}

TEST(ResidueSpheres, OneAtomResidueIsAlwaysExamined) {
  Model m;
  m.residue("ALA", 3, 'A', 1, {{"N", 0, 0, 0, "N"}, {"CA", 1, 0, 0}});
  // A water far away, even without occupancy, takes its atom as centre.
  m.residue("HOH", 9, 'W', 1, {{"O", 90, 80, 70, "O", 0.0f}});
  int32_t ierr = 0, iout = -9;
  def_center_(0, ierr);
  EXPECT_FLOAT_EQ(resid_inf_2.center_res(1, 2), 90.0f);
  EXPECT_FLOAT_EQ(resid_inf_2.radius_res(2), 0.0f);
  check_centr_(1, 2, 3.0f, iout);
  EXPECT_EQ(iout, 2);
}

TEST(ResidueSpheres, ResidueWithoutCountedAtomsIsNeverExamined) {
  Model m;
  m.residue("ALA", 3, 'A', 1, {{"N", 0, 0, 0, "N"}, {"CA", 1, 0, 0}});
  m.residue("XXX", 1, 'B', 1, {{"H1", 0.5f, 0, 0, "H"}, {"H2", 1, 0, 0, "D"}});
  int32_t ierr = 0, iout = -9;
  def_center_(0, ierr);
  EXPECT_FLOAT_EQ(resid_inf_2.radius_res(2), -1.0f);
  EXPECT_FLOAT_EQ(resid_inf_2.center_res(1, 2), 0.0f);
  check_centr_(2, 1, 3.0f, iout);
  EXPECT_EQ(iout, 3);
}

TEST(ResidueSpheres, SpheresExactlyTheMarginApartMeet) {
  Model m;
  m.residue("GLY", 3, 'A', 1, {{"N", 0, 0, 0, "N"}, {"CA", 2, 0, 0}});  // centre 1, radius 1
  m.residue("GLY", 3, 'B', 1, {{"N", 6, 0, 0, "N"}, {"CA", 8, 0, 0}});  // centre 7, radius 1
  m.residue("GLY", 3, 'C', 1, {{"N", 6.1f, 0, 0, "N"}, {"CA", 8.1f, 0, 0}});
  int32_t ierr = 0, iout = -9;
  def_center_(0, ierr);
  check_centr_(1, 2, 4.0f, iout);
  EXPECT_EQ(iout, 1);
  check_centr_(1, 3, 4.0f, iout);
  EXPECT_EQ(iout, 0);
}

TEST(ResidueSpheres, EmptyModelSetsStatusWithoutMessage) {
  Model m;
  int32_t ierr = 0;
  EXPECT_EQ(captured([&] { def_center_(0, ierr); }), "");
  EXPECT_EQ(ierr, 1);
}

}  // namespace
