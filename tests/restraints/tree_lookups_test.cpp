// The look-ups the residue and link trees share: the offset about a centre
// from three ideal angles, and the walks along the L1 atom tree.
#include <gtest/gtest.h>

#include "dictionary/lib_com.h"
#include "restraints/tree_lookups.h"

namespace {

using restraints::l1_extra_partner;
using restraints::l1_forward_from_end;
using restraints::offset_from_angles;

TEST(TreeLookups, OffsetFromAnglesOfCommonCentres) {
  struct Row {
    const char* label;
    float a_bx, a_by, a_xy, offset;
  };
  const Row rows[] = {
      {"tetrahedral centre", 109.4712f, 109.4712f, 109.4712f, 120.0f},
      {"trigonal planar centre", 120.0f, 120.0f, 120.0f, 180.0f},
      {"x and y on one side (eclipsed)", 110.0f, 110.0f, 0.0f, 0.0f},
  };
  for (const Row& row : rows)
    EXPECT_NEAR(offset_from_angles(row.a_bx, row.a_by, row.a_xy), row.offset, 0.05f) << row.label;
}

TEST(TreeLookups, ForwardAtomCountedFromTheLast) {
  r_scratch_t& r = r_scratch;
  r.l1a_ndist(4) = 3;
  r.l1a_conn(1, 4) = 5;
  r.l1a_conn(2, 4) = 6;
  r.l1a_conn(3, 4) = 7;
  EXPECT_EQ(l1_forward_from_end(4, 1), 7) << "the last";
  EXPECT_EQ(l1_forward_from_end(4, 3), 5) << "the first";
  EXPECT_EQ(l1_forward_from_end(4, 4), 0) << "past the first";
  EXPECT_EQ(l1_forward_from_end(0, 1), 0) << "no atom";
  EXPECT_EQ(l1_forward_from_end(MAX1ATM + 1, 1), 0) << "beyond the table";
  r.l1a_ndist(4) = 0;
}

TEST(TreeLookups, ExtraPartnerFromTheLastConnectionHoldingTheAtom) {
  r_scratch_t& r = r_scratch;
  r.l1n_nconn = 3;
  r.l1n_i1atm(1) = 2, r.l1n_i2atm(1) = 9;
  r.l1n_i1atm(2) = 3, r.l1n_i2atm(2) = 4;
  r.l1n_i1atm(3) = 8, r.l1n_i2atm(3) = 2;
  EXPECT_EQ(l1_extra_partner(2), 8) << "either end, the last wins";
  EXPECT_EQ(l1_extra_partner(4), 3) << "second end";
  EXPECT_EQ(l1_extra_partner(5), 0) << "in no connection";
  r.l1n_nconn = 0;
  EXPECT_EQ(l1_extra_partner(2), 0) << "no connections";
}

}  // namespace
