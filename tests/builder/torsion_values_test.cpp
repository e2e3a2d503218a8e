// Torsion rows: refused atoms, unmeasured and measured torsions, constant
// library torsions and the ring rule, planes, ids and a full table.
#include "builder/torsion_values.h"

#include <gtest/gtest.h>

#include "geom_fixture.h"
#include "support/capture.h"

using namespace geomtest;

namespace {

struct TorsionValues : L1Test {
  int a = 0, b = 0, c = 0, d = 0;
  // A butane-like chain C1-C2-C3-C4 at a torsion of 60 degrees.
  void chain(const char* t2 = "CH2", const char* t3 = "CH2") {
    a = atom("C1", "C", "CH3", 1.0f, 1.0f, 0.0f);
    b = atom("C2", "C", t2, 0.0f, 0.0f, 0.0f, a);
    c = atom("C3", "C", t3, 0.0f, 0.0f, 1.5f, b);
    d = atom("C4", "C", "CH3", 0.0f, 1.0f, 2.5f, c);
  }
};

TEST_F(TorsionValues, RepeatedAtomAddsNoRow) {
  chain();
  int32_t nv = 3, nc = 4, ierr = 5;
  set_vtors_(0, a, b, c, a, nv, nc, ierr);
  EXPECT_EQ(r_scratch.l1t_ntors, 0);
  EXPECT_EQ(nv, 3);
  EXPECT_EQ(nc, 4);
  EXPECT_EQ(ierr, 0);
}

TEST_F(TorsionValues, UnmeasuredRotatableTorsionIs175) {
  chain();
  r_scratch.l1a_coor_flag(d) = "N";
  int32_t nv = 0, nc = 0, ierr = 0;
  set_vtors_(0, a, b, c, d, nv, nc, ierr);
  ASSERT_EQ(r_scratch.l1t_ntors, 1);
  EXPECT_FLOAT_EQ(r_scratch.l1t_val(1), 175.0f);
  EXPECT_EQ(r_scratch.l1t_prd(1), 1);
  EXPECT_FLOAT_EQ(r_scratch.l1t_dev(1), 20.0f);
  EXPECT_EQ(r_scratch.l1t_flag(1).str(), "N");
  EXPECT_EQ(r_scratch.l1t_label(1).str(), "var_1   ");
  EXPECT_EQ(nv, 1);
}

TEST_F(TorsionValues, MeasuredTorsionKeepsItsValueAndLibraryPeriod) {
  chain();
  lib_tors(".", "CH2", "CH2", ".", 1.0f, 180.0f, 3);
  int32_t nv = 0, nc = 0, ierr = 0;
  set_vtors_(0, a, b, c, d, nv, nc, ierr);
  EXPECT_EQ(r_scratch.l1t_flag(1).str(), "C");
  EXPECT_NEAR(r_scratch.l1t_val(1), r_scratch.l1t_vobs(1), 1e-5);
  EXPECT_FLOAT_EQ(r_scratch.l1t_eval(1), 180.0f);
  EXPECT_EQ(r_scratch.l1t_prd(1), 3);
}

TEST_F(TorsionValues, ReversedCentralTypesMatch) {
  chain("CH1", "CH2");
  lib_tors("X", "CH2", "CH1", "Y", 1.0f, 60.0f, 3);
  int32_t nv = 0, nc = 0, ierr = 0;
  set_vtors_(0, a, b, c, d, nv, nc, ierr);
  EXPECT_FLOAT_EQ(r_scratch.l1t_eval(1), 60.0f);
}

TEST_F(TorsionValues, ConstantTorsionOppositeItsObservedValueTurnsHalfWay) {
  // Observed 170 against a constant library value of 0: ideal 180, library 0.
  a = atom("C1", "C", "C", 1.0f, 0.0f, 0.0f);
  b = atom("C2", "C", "C", 0.0f, 0.0f, 0.0f, a);
  c = atom("C3", "C", "C", 0.0f, 0.0f, 1.5f, b);
  d = atom("C4", "C", "C", -0.9848f, 0.1736f, 1.5f, c);
  lib_tors(".", "C", "C", ".", 5.0f, 0.0f, 2);
  int32_t nv = 0, nc = 0, ierr = 0;
  set_vtors_(0, a, b, c, d, nv, nc, ierr);
  EXPECT_NEAR(r_scratch.l1t_vobs(1), 170.0f, 0.05f);
  EXPECT_FLOAT_EQ(r_scratch.l1t_val(1), 180.0f);
  EXPECT_FLOAT_EQ(r_scratch.l1t_eval(1), 0.0f);
  EXPECT_EQ(r_scratch.l1t_prd(1), 0);
  EXPECT_EQ(r_scratch.l1t_label(1).str(), "CONST_1 ");
  EXPECT_FLOAT_EQ(r_scratch.l1t_dev(1), 0.0f);
}

TEST_F(TorsionValues, AllFourAtomsInOnePlaneMakeItConstant) {
  chain();
  lib_tors(".", "CH2", "CH2", ".", 1.0f, 180.0f, 3);
  plane({"C1", "C2", "C3", "C4"});
  int32_t nv = 0, nc = 0, ierr = 0;
  set_vtors_(0, a, b, c, d, nv, nc, ierr);
  EXPECT_EQ(r_scratch.l1t_prd(1), 0);
  EXPECT_EQ(r_scratch.l1t_label(1).str(), "CONST_1 ");
}

TEST_F(TorsionValues, ConstantIdsKeepTheirLastTwoDigits) {
  struct Row {
    const char* label;
    int before;
    const char* id;
  } rows[] = {{"10th", 9, "CONST_10"}, {"100th", 99, "CONST_00"}, {"123rd", 122, "CONST_23"}};
  for (const Row& row : rows) {
    clear_all();
    chain();
    plane({"C1", "C2", "C3", "C4"});
    int32_t nv = 0, nc = row.before, ierr = 0;
    set_vtors_(0, a, b, c, d, nv, nc, ierr);
    EXPECT_EQ(r_scratch.l1t_label(1).str(), row.id) << row.label;
  }
}

TEST_F(TorsionValues, FullTableRefusesThe301st) {
  chain();
  r_scratch.l1t_ntors = MAX1TOR;
  int32_t nv = 0, nc = 0, ierr = 0;
  const std::string out = captured([&] { set_vtors_(0, a, b, c, d, nv, nc, ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(r_scratch.l1t_ntors, MAX1TOR);
  EXPECT_EQ(out,
            "  ERROR: number of tors. angles of monomer >   300\n"
            "          Change parameter MAX1TOR in \"lib_com\"\n");
}

}  // namespace
