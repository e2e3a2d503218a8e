// Look-ups of bonds, angles, torsions, chiral centres and planes in the work
// descriptions, the energy-library fallbacks and the ring codes.  Energy
// rows use the Engh & Huber (1991) lengths and angles of their types.
#include "dictionary/descr_lookups.h"

#include <gtest/gtest.h>

#include "descr_builder.h"

namespace {

void energy_bond(const char* t1, const char* t2, float len) {
  r_scratch_t& r = r_scratch;
  const int k = ++r.leb_nbond;
  r.leb_1atm(k) = t1;
  r.leb_2atm(k) = t2;
  r.leb_length(k) = len;
}

void energy_angle(const char* t1, const char* t2, const char* t3, float a) {
  r_scratch_t& r = r_scratch;
  const int k = ++r.leg_nangl;
  r.leg_1atm(k) = t1;
  r.leg_2atm(k) = t2;
  r.leg_3atm(k) = t3;
  r.leg_angle(k) = a;
}

void energy_tors(const char* t2, const char* t3, float value, float konst) {
  r_scratch_t& r = r_scratch;
  const int k = ++r.let_ntors;
  r.let_1atm(k) = ".";
  r.let_2atm(k) = t2;
  r.let_3atm(k) = t3;
  r.let_4atm(k) = ".";
  r.let_angle(k) = value;
  r.let_const(k) = konst;
}

class Lookups : public testing::Test {
 protected:
  void SetUp() override {
    descr::alanine_l1();
    r_scratch.leb_nbond = r_scratch.leg_nangl = r_scratch.let_ntors = 0;
    r_scratch.llg_nangl = r_scratch.llc_nchir = 0;
  }
};

}  // namespace

TEST_F(Lookups, BondFoundInEitherOrderGivesItsRow) {
  float val = -1.0f;
  int32_t lb = 0, ierr = -1;
  srch_bond_(0, "ALA", 2, 1, val, lb, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(lb, 1);
  EXPECT_FLOAT_EQ(val, 1.468f);
}

TEST_F(Lookups, BondFromTheEnergyLibraryLeavesTheRowAlone) {
  energy_bond("CH3", "NH1", 1.458f);  // typed pair, reversed
  float val = 0.0f;
  int32_t lb = 77, ierr = 0;
  srch_bond_(0, "ALA", 1, 5, val, lb, ierr);  // N-CB is not a bond of alanine
  EXPECT_EQ(ierr, 3);
  EXPECT_EQ(lb, 77);
  EXPECT_FLOAT_EQ(val, 1.458f);
}

TEST_F(Lookups, DeuteriumIsTypedAsHydrogenAgainstLongHydrogenTypes) {
  descr::add_l1_atom({"D1", "D", "HNH1", "N", ".", 0, 0, 0});
  energy_bond("HNH1", "CH1", 1.10f);  // three characters beginning with H: "H"
  energy_bond("H", "CH1", 0.98f);
  float val = 0.0f;
  int32_t lb = 0, ierr = 0;
  srch_bond_(0, "ALA", 7, 2, val, lb, ierr);
  EXPECT_EQ(ierr, 3);
  EXPECT_FLOAT_EQ(val, 1.10f);
}

TEST_F(Lookups, HalfBondRowsGiveTheMeanOrNothing) {
  energy_bond("NH1", ".", 1.40f);
  energy_bond("CH3", ".", 1.50f);
  float val = 0.0f;
  int32_t lb = 0, ierr = 0;
  srch_bond_(0, "ALA", 1, 5, val, lb, ierr);
  EXPECT_EQ(ierr, 3);
  EXPECT_FLOAT_EQ(val, 1.45f);
  srch_bond_(0, "ALA", 1, 4, val, lb, ierr);  // O has no half-bond row
  EXPECT_EQ(ierr, 2);
  EXPECT_FLOAT_EQ(val, 0.0f);
}

TEST_F(Lookups, AngleRowReversedAroundTheVertex) {
  descr::add_l1_angle("N", "CA", "C", 111.2f);
  descr::add_l1_angle("C", "CA", "CB", 110.5f);
  float val = 0.0f;
  int32_t lg = 0, ierr = 0;
  srch_angl_(0, "ALA", 5, 2, 3, val, lg, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(lg, 2);
  EXPECT_FLOAT_EQ(val, 110.5f);
  srch_angl_(0, "ALA", 2, 1, 3, val, lg, ierr);  // another vertex: no row
  EXPECT_EQ(ierr, 2);
  EXPECT_EQ(lg, 0);
}

TEST_F(Lookups, VertexRowNeedsAPositiveAngle) {
  descr::add_l1_angle("N", "CA", "C", 111.2f);
  energy_angle(".", "CH1", ".", 0.0f);
  energy_angle(".", "CH1", ".", 109.5f);
  float val = 0.0f;
  int32_t lg = 5, ierr = 0;
  srch_angl_(0, "ALA", 1, 2, 5, val, lg, ierr);
  EXPECT_EQ(ierr, 3);
  EXPECT_FLOAT_EQ(val, 109.5f);
}

TEST_F(Lookups, LinkAngleMatchesNamesWithTheirMonomerFlags) {
  // Peptide link angle CA(1)-C(1)-N(2): C and CA from L2 (monomer 1), N from L1 (monomer 2).
  r_scratch_t& r = r_scratch;
  r.l2a_aname(1) = "CA";
  r.l2a_aname(2) = "C";
  r.llg_nangl = 1;
  r.llg_1atm(1) = "N";
  r.llg_f1atm(1) = 2;
  r.llg_2atm(1) = "C";
  r.llg_f2atm(1) = 1;
  r.llg_3atm(1) = "CA";
  r.llg_f3atm(1) = 1;
  r.llg_val(1) = 116.2f;
  float val = 0.0f;
  int32_t lg = 0, ierr = 0;
  srch_angl_l_(0, "ALA", 1, 2, 1, 2, 2, 1, val, lg, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(lg, 1);
  EXPECT_FLOAT_EQ(val, 116.2f);
  srch_angl_l_(0, "ALA", 1, 2, 1, 2, 2, 2, val, lg, ierr);  // N taken from L2: wrong monomer
  EXPECT_EQ(ierr, 2);
}

TEST_F(Lookups, TorsionStoredReversedGivesInverse) {
  descr::add_l1_tors("CB", "CA", "N", "C", -120.0f);
  float val = 0.0f;
  int32_t lt = 0, inv = 0, ierr = 0;
  srch_tors_(0, "ALA", 3, 1, 2, 5, val, lt, inv, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(lt, 1);
  EXPECT_EQ(inv, -1);
  EXPECT_FLOAT_EQ(val, -120.0f);
}

TEST_F(Lookups, TorsionAboutAFlatRingBondIsZeroOrStraight) {
  descr::clear_l1();
  descr::add_l1_tors("X", "X", "X", "X", 0.0f);  // a row that matches nothing
  const char* chem[] = {"CR6", "CR16", "CR6", "C1"};
  for (int i = 0; i < 4; ++i) descr::add_l1_atom({"A", "C", chem[i], ".", ".", 0, 0, 0});
  energy_tors("CR16", "CR6", 60.0f, 1.0f);  // soft row: value kept
  float val = 0.0f;
  int32_t lt = 0, inv = 0, ierr = 0;
  srch_tors_(0, "", 1, 2, 3, 4, val, lt, inv, ierr);
  EXPECT_EQ(ierr, 3);
  EXPECT_FLOAT_EQ(val, 60.0f);
  r_scratch.let_const(1) = 10.0f;  // stiff: first character of r1 ("R") differs from r4 ("N")
  srch_tors_(0, "", 1, 2, 3, 4, val, lt, inv, ierr);
  EXPECT_FLOAT_EQ(val, 180.0f);
  r_scratch.l1a_chem(4) = "CR6";
  srch_tors_(0, "", 1, 2, 3, 4, val, lt, inv, ierr);
  EXPECT_FLOAT_EQ(val, 0.0f);
  EXPECT_EQ(inv, 1);
}

TEST_F(Lookups, ChiralSignBothTakesTheFlag) {
  const struct {
    const char* label;
    const char* flag;
    int is;
  } cases[] = {{"flag L", "L", -1}, {"flag R", "R", 1}, {"other flag", "N", 1}};
  for (const auto& c : cases) {
    descr::alanine_l1();
    descr::add_l1_chir("CA", "N", "C", "CB", "both", c.flag);
    float vol = 0.0f;
    int32_t lc = 0, is = 0, ierr = 0;
    srch_chir_(0, "ALA", 2, 1, 3, 5, vol, lc, is, ierr);
    EXPECT_EQ(ierr, 0) << c.label;
    EXPECT_EQ(lc, 1) << c.label;
    EXPECT_EQ(is, c.is) << c.label;
  }
}

TEST_F(Lookups, ChiralParityAndNegativeSign) {
  descr::add_l1_chir("CA", "N", "C", "CB", "negativ");
  float vol = 0.0f;
  int32_t lc = 0, is = 0, ierr = 0;
  srch_chir_(0, "ALA", 2, 3, 5, 1, vol, lc, is, ierr);  // cyclic order: parity +1
  EXPECT_EQ(is, -1);
  srch_chir_(0, "ALA", 2, 3, 1, 5, vol, lc, is, ierr);  // swapped: parity -1
  EXPECT_EQ(is, 1);
  EXPECT_FLOAT_EQ(vol, 2.5f);
  srch_chir_(0, "ALA", 2, 3, 1, 4, vol, lc, is, ierr);  // O is no neighbour
  EXPECT_EQ(ierr, 2);
  EXPECT_EQ(lc, 0);
}

TEST_F(Lookups, CentreLookupsPassOverRowsWithoutHandedness) {
  descr::add_l1_chir("CA", "N", "C", "CB", "cross3");
  descr::add_l1_chir("CA", "N", "C", "CB", "positiv");
  int32_t lc = 0, ierr = 0;
  srch_chir_centre_(0, "ALA", 2, lc, ierr);
  EXPECT_EQ(lc, 2);
  r_scratch_t& r = r_scratch;
  r.l2c_nchir = 1;
  r.l2c_1atm(1) = "CA";
  r.l2c_2atm(1) = "N";
  r.l2c_3atm(1) = "C";
  r.l2c_4atm(1) = "CB";
  r.l2c_sign(1) = "both";
  rt::FixedText<4> a2, a3, a4;
  int32_t is = 5;
  srch_chir_centre_2_(0, "CA", lc, a2, a3, a4, is, ierr);
  EXPECT_EQ(lc, 1);
  EXPECT_EQ(is, 0);
  EXPECT_EQ(a4, "CB");
  r.llc_nchir = 2;
  r.llc_lname(1) = "TRANS";
  r.llc_1atm(1) = "CA";
  r.llc_sign(1) = "positiv";
  r.llc_lname(2) = "CIS";
  r.llc_1atm(2) = "CA";
  r.llc_sign(2) = "positiv";
  srch_chir_centre_l_(0, "CIS", "CA", lc, ierr);
  EXPECT_EQ(lc, 2);
}

TEST_F(Lookups, PlaneNeedsAllFourAtoms) {
  descr::add_l1_plane("plan-1", {"CA", "C", "O", "N"});
  descr::add_l1_plane("plan-2", {"CA", "C", "O", "OXT"});
  int32_t lp = 9, ierr = 0;
  srch_plan_(0, "ALA", 2, 3, 4, 6, lp, ierr);
  EXPECT_EQ(lp, 2);
  srch_plan_(0, "ALA", 2, 3, 4, 5, lp, ierr);  // CB is in neither
  EXPECT_EQ(lp, 0);
  EXPECT_EQ(ierr, 0);
}

TEST(RingCodes, EnergyTypesToRingCodes) {
  const struct {
    const char* type;
    const char* code;
  } cases[] = {{"CR66", "RR6"}, {"NR55", "RRR"}, {"CR56", "RR5"}, {"CR5", "R5 "},
               {"CR15", "R5 "}, {"NRD6", "R6 "}, {"CR6", "R6 "},  {"C1", "N  "}};
  for (const auto& c : cases) {
    rt::FixedText<3> ring;
    check_ring_(c.type, ring);
    EXPECT_EQ(ring.view(), c.code) << c.type;
  }
}

TEST(RingCodes, TorsionRingIdAndFlatValue) {
  // Six ring atoms 1..6 (ring 1) and an exocyclic atom 7 on atom 1.
  r_scratch_t& r = r_scratch;
  for (int i = 1; i <= 7; ++i) r.l1a_nring(i) = 0;
  for (int i = 1; i <= 6; ++i) {
    r.l1a_nring(i) = 1;
    r.l1a_ring_id(1, i) = 1;
    r.l1a_ring_flat(1, i) = 1;
  }
  const struct {
    const char* label;
    int n1, n2, n3, n4;
    int flat;
    int id;
    float phi;
  } cases[] = {{"inside a flat ring", 6, 1, 2, 3, 1, 3, 0.0f},
               {"exocyclic on a flat ring", 7, 1, 2, 3, 1, 2, 180.0f},
               {"exocyclic on a ring not flat", 7, 1, 2, 3, 0, -2, 180.0f},
               {"atoms in no ring", 7, 7, 7, 7, 1, 0, 0.0f}};
  for (const auto& c : cases) {
    for (int i = 1; i <= 6; ++i) r.l1a_ring_flat(1, i) = c.flat;
    int32_t id = 9, ierr = 1;
    float phi = -1.0f;
    check_ring_id_(0, c.n1, c.n2, c.n3, c.n4, id, phi, ierr);
    EXPECT_EQ(id, c.id) << c.label;
    EXPECT_FLOAT_EQ(phi, c.phi) << c.label;
    EXPECT_EQ(ierr, 0) << c.label;
  }
}
