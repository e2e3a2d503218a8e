// The ideal-value pass over small trees: the stack limit, dummy atoms,
// ring torsions of puckered rings, the "TEST" switch, plane deviations and
// the listing; ring templates and substituent offsets.
#include "builder/ideal_pass.h"

#include <gtest/gtest.h>

#include <cmath>

#include "builder/ring_torsions.h"
#include "geom_fixture.h"
#include "support/capture.h"

using namespace geomtest;

namespace {

struct IdealPass : L1Test {
  int32_t run(int32_t nringt = 0) {
    int32_t ierr = -1;
    out = captured([&] { calc_vobsn_(0, 'N', "TST     ", nringt, ierr); });
    return ierr;
  }
  std::string out;
};

TEST_F(IdealPass, PuckeredRingWithoutCoordinatesFollowsTheFirstTemplate) {
  // Cyclohexane carbons without coordinates: the first template at start 1
  // gives 0, +60, -60, 0, +60, -60 about bonds 1-2, 2-3, ...
  int a[7] = {};
  for (int k = 1; k <= 6; ++k) {
    const std::string n = 'C' + std::to_string(k);
    a[k] = atom(n.c_str(), "C", "CH2", 0, 0, 0, k > 1 ? a[k - 1] : 0);
    r_scratch.l1a_coor_flag(a[k]) = "N";
  }
  close_ring(a[1], a[6]);
  in_ring(1, 6, false, {a[1], a[2], a[3], a[4], a[5], a[6]});
  lib_angle("CH2", "CH2", "CH2", 111.0f);
  ASSERT_EQ(run(1), 0);
  const float want[7] = {0, 0, 60, -60, 0, 60, -60};
  for (int t = 1; t <= r_scratch.l1t_ntors; ++t) {
    int k = std::min(r_scratch.l1t_i2atm(t), r_scratch.l1t_i3atm(t));
    const int hi = std::max(r_scratch.l1t_i2atm(t), r_scratch.l1t_i3atm(t));
    if (k == 1 && hi == 6) k = 6;
    EXPECT_FLOAT_EQ(r_scratch.l1t_val(t), want[k]) << "bond " << k;
  }
}

TEST_F(IdealPass, RingWithANearlyStraightIdealAngleIsLeftUncorrected) {
  int a[7] = {};
  for (int k = 1; k <= 6; ++k) {
    const std::string n = 'C' + std::to_string(k);
    a[k] = atom(n.c_str(), "C", k == 3 ? "CSP" : "CH2", 0, 0, 0, k > 1 ? a[k - 1] : 0);
    r_scratch.l1a_coor_flag(a[k]) = "N";
  }
  close_ring(a[1], a[6]);
  in_ring(1, 6, false, {a[1], a[2], a[3], a[4], a[5], a[6]});
  lib_angle("CH2", "CSP", "CH2", 175.0f);
  ASSERT_EQ(run(1), 0);
  for (int t = 1; t <= r_scratch.l1t_ntors; ++t) EXPECT_NE(r_scratch.l1t_flag(t).str(), "D");
}

TEST_F(IdealPass, TenPendingBranchesAreAcceptedAndElevenRefused) {
  for (int depth : {10, 11}) {
    clear_all();
    int prev = 0;
    for (int k = 1; k <= depth + 1; ++k) {
      const std::string n = 'C' + std::to_string(k);
      const int a = atom(n.c_str(), "C", ".", static_cast<float>(k), 0, 0, prev);
      if (prev > 0) {
        const std::string l = 'O' + std::to_string(k);
        atom(l.c_str(), "O", ".", static_cast<float>(k), 1, 0, prev);
      }
      prev = a;
    }
    const int32_t st = run();
    if (depth == 10) {
      EXPECT_EQ(st, 0);
    } else {
      EXPECT_EQ(st, 1);
      const std::string tail =
          " ERROR: TST      : N-stack >     10\n"
          "  WARNING : TST      /subroutine CALC_VOBSN/\n";
      ASSERT_GE(out.size(), tail.size());
      EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
    }
  }
}

TEST_F(IdealPass, DummyAtomHasNoBondToItsBackAtom) {
  const int a = atom("C1", "C", ".", 0, 0, 0);
  const int b = atom("C2", "C", ".", 1.5f, 0, 0, a);
  const int d = atom("DU", "C", ".", 2.0f, 1.4f, 0, b);
  const int e = atom("O1", "O", ".", 2.0f, -1.4f, 0, b);
  r_scratch.l1a_type(d) = "DUMMY";
  ASSERT_EQ(run(), 0);
  for (int l = 1; l <= r_scratch.l1b_nbond; ++l)
    EXPECT_NE(r_scratch.l1b_i1atm(l), d) << "bond " << l;
  EXPECT_EQ(r_scratch.l1b_nbond, 2);
  EXPECT_EQ(r_scratch.l1g_nangl, 1);  // C1-C2-O1 only
  EXPECT_EQ(r_scratch.l1g_i3atm(1), e);
}

// The root N with forward atoms CA, H and a hydrogen the builder added (no
// position): the torsion about N-CA starts at the last forward atom the
// model places, as an unplaced one would never be restrained; with every
// forward atom placed it starts at the last one.
TEST_F(IdealPass, TorsionAtTheRootStartsAtAPlacedForwardAtom) {
  for (const bool added : {true, false}) {
    SCOPED_TRACE(added ? "HN added" : "HN placed");
    clear_all();
    const int n = atom("N", "N", ".", 0, 0, 0);
    const int ca = atom("CA", "C", ".", 1.46f, 0, 0, n);
    const int h = atom("H", "H", ".", -0.5f, 0.87f, 0, n);
    const int hn = atom("HN", "H", ".", -0.5f, -0.5f, 0.7f, n);
    const int c = atom("C", "C", ".", 2.0f, 1.42f, 0, ca);
    atom("O", "O", ".", 3.2f, 1.6f, 0, c);
    if (added) r_scratch.l1a_coor_flag(hn) = "N";
    ASSERT_EQ(run(), 0);
    int about_n_ca = 0;
    for (int t = 1; t <= r_scratch.l1t_ntors; ++t) {
      if (r_scratch.l1t_i2atm(t) != n || r_scratch.l1t_i3atm(t) != ca) continue;
      ++about_n_ca;
      EXPECT_EQ(r_scratch.l1t_i1atm(t), added ? h : hn);
      EXPECT_EQ(r_scratch.l1t_i4atm(t), c);
    }
    EXPECT_EQ(about_n_ca, 1);
  }
}

TEST_F(IdealPass, TestSwitchMakesObservedValuesIdeal) {
  r_scratch_t& s = r_scratch;
  s.l1b_nbond = 2;
  s.l1b_val(1) = 1.5f, s.l1b_vobs(1) = 1.52f, s.l1b_type(1) = ".";
  s.l1b_val(2) = 1.5f, s.l1b_vobs(2) = 0.0f, s.l1b_type(2) = "single";
  s.l1g_nangl = 1;
  s.l1g_val(1) = 109.5f, s.l1g_vobs(1) = 112.0f;
  s.l1t_ntors = 1;
  s.l1t_val(1) = 175.0f, s.l1t_vobs(1) = 180.0f;
  s.l1c_nchir = 1;
  s.l1c_vol(1) = 2.5f, s.l1c_vobs(1) = -2.4f;
  int32_t ierr = 7;
  set_vobs_to_vidl_(0, ierr);
  EXPECT_FLOAT_EQ(s.l1b_val(1), 1.52f);
  EXPECT_EQ(s.l1b_type(1).str(), "coval   ");
  EXPECT_FLOAT_EQ(s.l1b_val(2), 1.5f);  // no coordinates: the ideal length stays
  EXPECT_FLOAT_EQ(s.l1g_val(1), 112.0f);
  EXPECT_FLOAT_EQ(s.l1t_val(1), 180.0f);
  EXPECT_FLOAT_EQ(s.l1c_vol(1), 2.5f);
  EXPECT_EQ(ierr, 7);
}

TEST_F(IdealPass, PlaneWithAnUnmeasuredAtomHasNoDeviations) {
  atom("C1", "C", ".", 0, 0, 0.1f);
  atom("C2", "C", ".", 1, 0, -0.1f);
  atom("C3", "C", ".", 1, 1, 0.1f);
  const int d = atom("C4", "C", ".", 0, 1, -0.1f);
  const int p = plane({"C1", "C2", "C3", "C4"});
  int32_t ierr = 0;
  plan_rstr_(0, ierr);
  EXPECT_NEAR(std::fabs(r_scratch.l1p_dobs(1, p)), 0.1f, 1e-3);
  r_scratch.l1a_coor_flag(d) = "N";
  plan_rstr_(0, ierr);
  for (int q = 1; q <= 4; ++q) EXPECT_FLOAT_EQ(r_scratch.l1p_dobs(q, p), 0.0f) << "slot " << q;
}

TEST_F(IdealPass, ListingRowsHaveTheirColumns) {
  const int a = atom("C1", "C", ".", 0, 0, 0);
  atom("C2", "C", ".", 1.5f, 0, 0, a);
  ASSERT_EQ(run(), 0);
  int32_t ierr = 0;
  const std::string listing = captured([&] { print_lib_lbc_(0, ierr); });
  EXPECT_EQ(listing,
            "  N BOND,ANGLE,TORS,CHIR,PLAN:   1   0   0   0   0\n"
            "    1 bond C2   - C1   :   1.500   1.500  2  1coval\n");
  EXPECT_EQ(captured([&] { print_lib_lbc_(99, ierr); }), "");
}

struct RingTemplates : L1Test {};

TEST_F(RingTemplates, UnconstrainedSixRingTakesTheFirstTemplateAtTheFirstStart) {
  const int32_t ps[6] = {9, 9, 9, 9, 9, 9}, nps[6] = {9, 9, 9, 9, 9, 9};
  int32_t frame[6], score = -1, best = -1;
  get_frame_(6, ps, nps, frame, score, best);
  EXPECT_EQ(score, 0);
  EXPECT_EQ(best, 1);
  const int32_t t1[6] = {0, 1, -1, 0, 1, -1};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(frame[k], t1[k]) << "position " << k + 1;
}

TEST_F(RingTemplates, EnvelopeFollowsTheMeasuredSigns) {
  // Signs +, -, +, - and 0 at the last position: the first five-ring
  // template read from its second start.
  const int32_t ps[5] = {1, -1, 1, -1, 0}, nps[5] = {9, 9, 9, 9, 9};
  int32_t frame[5], score = -1, best = -1;
  get_frame_(5, ps, nps, frame, score, best);
  EXPECT_EQ(score, 0);
  EXPECT_EQ(best, 1);
  EXPECT_EQ(frame[4], 0);
}

TEST_F(RingTemplates, SubstituentOffsetsByHand) {
  struct Row {
    const char* label;
    int it, ia, nch, iachir, ichir;
    int id, ierr;
  } rows[] = {
      {"ring neighbour", 5, 5, 1, 3, 1, 0, 0},
      {"no chiral entry", 4, 5, 0, 0, 0, 6, 0},
      {"reference substituent, right hand", 3, 5, 1, 3, 1, -4, 0},
      {"other substituent, right hand", 4, 5, 1, 3, 1, 4, 0},
      {"other substituent, left hand", 4, 5, 1, 3, -1, -4, 0},
      {"open hand", 4, 5, 1, 3, 9, 4, 1},
  };
  for (const Row& r : rows) {
    int32_t id = 0, ierr = 0;
    convert_tors_angle_(r.it, r.ia, r.nch, r.iachir, r.ichir, id, ierr);
    EXPECT_EQ(id, r.id) << r.label;
    EXPECT_EQ(ierr, r.ierr) << r.label;
  }
}

}  // namespace
