// Ring-relative chirality signs: the hand of a centre seen through three
// atoms, writing an open hand back, the fused-bond translation, and ring
// atoms without a reference substituent.
#include "builder/ring_chirality.h"

#include <gtest/gtest.h>

#include "geom_fixture.h"

using namespace geomtest;

namespace {

struct RingChirality : L1Test {
  int c = 0, a = 0, b = 0, d = 0, e = 0;
  void centre(const char* flag) {
    c = atom("C1", "C", "CH1", 0, 0, 0);
    a = atom("N1", "N", ".", 1, 0, 0, c);
    b = atom("O1", "O", ".", 0, 1, 0, c);
    d = atom("C2", "C", ".", 0, 0, 1, c);
    e = atom("C3", "C", ".", -1, -1, -1, c);
    r_scratch_t& s = r_scratch;
    s.l1c_nchir = 1;
    s.l1c_i1atm(1) = c;
    s.l1c_i2atm(1) = a;
    s.l1c_i3atm(1) = b;
    s.l1c_i4atm(1) = d;
    s.l1c_sign(1) = "positiv";
    s.l1c_flag(1) = flag;
  }
};

TEST_F(RingChirality, SignOfACentreSeenThroughThreeAtoms) {
  centre("R");
  struct Row {
    const char* label;
    int x, y, z;
    int sign;
  };
  const Row rows[] = {
      {"partners in order", a, b, d, 1},
      {"rotated order", b, d, a, 1},
      {"two swapped", b, a, d, -1},
      {"one atom outside the partners", a, b, e, -1},
  };
  for (const Row& row : rows) {
    int32_t ich = 0, sg = 0;
    get_chir_sign_(c, row.x, row.y, row.z, ich, sg);
    EXPECT_EQ(ich, 1) << row.label;
    EXPECT_EQ(sg, row.sign) << row.label;
  }
}

TEST_F(RingChirality, TwoAtomsOutsideThePartnersGiveNoSign) {
  centre("R");
  int32_t ich = 7, sg = 7;
  get_chir_sign_(c, a, e, e + 1, ich, sg);
  EXPECT_EQ(ich, 0);
  EXPECT_EQ(sg, 0);
}

TEST_F(RingChirality, OpenHandReadsAs9AndIsFixedByAWantedSign) {
  centre("B");
  int32_t ich = 0, sg = 0;
  get_chir_sign_(c, a, b, d, ich, sg);
  EXPECT_EQ(sg, 9);
  set_chir_sign_(1, c, a, b, d, 1);
  EXPECT_EQ(r_scratch.l1c_flag(1).str(), "R");
  set_chir_sign_(1, c, a, b, d, -1);  // the hand is fixed now
  EXPECT_EQ(r_scratch.l1c_flag(1).str(), "R");
}

TEST_F(RingChirality, FusedBondCodesTranslateTheTwoSigns) {
  struct Row {
    const char* label;
    int code, s1, s2;
  } rows[] = {{"not fused", 0, 1, -1},
              {"code 211", 211, 1, 1},
              {"code 221", 221, -1, 1},
              {"code 222", 222, -1, -1}};
  for (const Row& row : rows) {
    int32_t o1 = 0, o2 = 0;
    get_correct_chir_(1, 1, row.code, o1, o2);
    EXPECT_EQ(o1, row.s1) << row.label;
    EXPECT_EQ(o2, row.s2) << row.label;
  }
  int32_t k1 = 9, k2 = 9;
  get_correct_chir_(9, 9, 222, k1, k2);
  EXPECT_EQ(k1, 9);
  EXPECT_EQ(k2, 9);
}

TEST_F(RingChirality, RingCarbonWithOneHydrogenHasNoReference) {
  // Cyclopentane-like ring C1..C5 with one hydrogen on C1 and a chiral row elsewhere.
  const int r1 = atom("C1", "C", "CH1", 0, 0, 0);
  const int r2 = atom("C2", "C", "CH2", 1, 0, 0, r1);
  const int r3 = atom("C3", "C", "CH2", 1, 1, 0, r2);
  const int r4 = atom("C4", "C", "CH2", 0, 1, 0, r3);
  const int r5 = atom("C5", "C", "CH2", -1, 0.5f, 0, r4);
  atom("H1", "H", "H", -0.5f, -0.5f, 0, r1);
  close_ring(r1, r5);
  in_ring(1, 5, false, {r1, r2, r3, r4, r5});
  r_scratch.l1c_nchir = 1;
  r_scratch.l1c_i1atm(1) = r3;
  r_scratch.l1c_flag(1) = "R";
  builder::RingRecord r;
  r.nr = 5;
  const int order[5] = {r1, r2, r3, r4, r5};
  for (int k = 1; k <= 5; ++k) r.iatom[k] = order[k - 1];
  int32_t ierr = 0;
  get_ring_chir_(0, 1, r, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(r.iachir[1], 0);
  EXPECT_EQ(r.ichir[1], 0);
  EXPECT_EQ(r.nch[1], 0);
}

}  // namespace
