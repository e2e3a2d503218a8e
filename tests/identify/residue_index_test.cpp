// Residue index of a real residue and of a monomer, and the index distance.
#include <gtest/gtest.h>

#include "component.h"
#include "identify/coord_bonds.h"
#include "identify/residue_index.h"

namespace {

const std::set<std::string> kLeaving = {"OXT", "HXT", "H2"};

TEST(ResidueIndex, ResidueAndMonomerOfSerineAgree) {
  comp::fill_c1(comp::load("SER", kLeaving), "SER", {}, true);
  int32_t ierr = 0;
  crd_conn_(0, "    ", ierr);
  comp::fill_l1(comp::load("SER", kLeaving), "SER");
  int32_t n1 = 0, n2 = 0;
  rt::FixedText<30> c1, c2;
  rt::FixedText<24> i1, i2, p1, p2;
  calc_index_crd_(99, "SER", n1, c1, i1, p1, ierr);
  EXPECT_EQ(ierr, 0);
  calc_index_(99, "SER", n2, c2, i2, p2, ierr);
  EXPECT_EQ(n1, 6);
  EXPECT_EQ(n2, 6);
  EXPECT_EQ(c1.str(), "030102000000000000000000000000");
  EXPECT_EQ(i1.str(), "005005004001000000000000");
  EXPECT_EQ(p1.str(), "002001002000000000000000");
  EXPECT_EQ(c2.str(), c1.str());
  EXPECT_EQ(i2.str(), i1.str());
  EXPECT_EQ(p2.str(), p1.str());
}

struct Diff {
  int32_t c, i, p;
};
Diff diff(const char* c1, const char* i1, const char* p1, const char* c2, const char* i2, const char* p2) {
  Diff d{-1, -1, -1};
  int32_t ierr = 9;
  calc_index_diff_(0, c1, i1, p1, c2, i2, p2, d.c, d.i, d.p, ierr);
  EXPECT_EQ(ierr, 0);
  return d;
}

// Alanine against serine, both worked out by hand: paths 1-4 differ by
// 1, 1, 2, 1; bonds carbon-oxygen by 1.
TEST(IndexDiff, AlanineAgainstSerine) {
  const Diff d = diff("030101000000000000000000000000", "004004002000000000000000", "002001001000000000000000",
                      "030102000000000000000000000000", "005005004001000000000000", "002001002000000000000000");
  EXPECT_EQ(d.c, 0);
  EXPECT_EQ(d.i, 5);
  EXPECT_EQ(d.p, 1);
}

TEST(IndexDiff, CarbonNitrogenOxygenCountsDoNotCount) {
  const Diff d = diff("091299010000000000000000000000", "000", "000", "010203010000000000000000000000", "000",
                      "000");
  EXPECT_EQ(d.c, 0);
}

}  // namespace
