// Delocalised oxygen groups, hydrogen counts and the hydrogen atoms appended
// with their names and bond rows.
#include "builder/valency.h"

#include <gtest/gtest.h>

#include "l1_fixture.h"
#include "support/capture.h"

namespace {

using fx::atom;
using fx::bond;
using fx::R;

class Valency : public testing::Test {
 protected:
  void SetUp() override { fx::clear_l1(); }
  int32_t run() {
    int32_t ierr = -1;
    out = captured([&] { use_valency_(0, 'L', ierr); });
    return ierr;
  }
  std::string name(int i) const { return std::string(R().l1a_aname(i).trimmed()); }
  std::string out;
};

// Heavy atom `name` held by `n` chlorine atoms (which take no hydrogens).
void held_by_chlorines(const char* name, const char* symb, int n) {
  atom(name, symb);
  for (int k = 1; k <= n; ++k) {
    const std::string cl = std::string("CL") + std::to_string(R().l1a_natom);
    atom(cl.c_str(), "CL");
    bond(name, cl.c_str(), "single");
  }
}

int32_t missing(float anbond, int32_t nbond_atom, float oxidation, const char* symb) {
  int32_t n = -1;
  const int32_t nbond = static_cast<int32_t>(anbond + 0.6f);
  find_hydr_type_(0, nbond, anbond, nbond_atom, oxidation, n, symb);
  return n;
}

}  // namespace

TEST(FindHydrType, HydrogensByElementOrderAndCharge) {
  struct Case {
    const char* label;
    float anbond;
    int nbond_atom;
    float oxidation;
    const char* symb;
    int expected;
  };
  const Case cases[] = {
      {"aromatic carbon", 3.0f, 2, 0.0f, "C", 1},
      {"charged nitrogen with three single bonds", 3.0f, 3, 1.0f, "N", 1},
      {"carboxylate oxygen", 1.5f, 1, -0.5f, "O", 0},
      {"phosphate phosphorus", 5.0f, 4, 0.0f, "P", 0},
      {"boron with one bond", 1.0f, 1, 0.0f, "B", 2},
      {"carbon with five bonds", 5.0f, 5, 0.0f, "C", 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(missing(c.anbond, c.nbond_atom, c.oxidation, c.symb), c.expected) << c.label;
}

TEST(FindHydrType, UnknownSymbolTakesNoHydrogenWithWarning) {
  int32_t n = -1;
  const std::string out = captured([&] { find_hydr_type_(0, 1, 1.0f, 1, 0.0f, n, "XX  "); });
  EXPECT_EQ(n, 0);
  EXPECT_EQ(out, " WARNING: Unrecognised atom name: XX\n");
}

TEST_F(Valency, MethylHydrogensAreNumbered) {
  held_by_chlorines("C7", "C", 1);
  run();
  ASSERT_EQ(R().l1a_natom, 5);
  EXPECT_EQ(name(3), "H71");
  EXPECT_EQ(name(4), "H72");
  EXPECT_EQ(name(5), "H73");
}

TEST_F(Valency, NameTakenBecomesNumberedWithUnderscores) {
  held_by_chlorines("C4", "C", 3);
  atom("H4", "H");
  run();
  EXPECT_EQ(name(R().l1a_natom), "H__1");
}

TEST_F(Valency, RenamedHydrogenNeverRepeatsAnEarlierName) {
  // H__1 stands before HA: the rename of HA must be checked against it too.
  held_by_chlorines("CA", "C", 3);
  atom("H__1", "H");
  atom("HA", "H");
  run();
  EXPECT_EQ(name(R().l1a_natom), "H__2");
}

TEST_F(Valency, PhosphateMonoesterOxygensShareTwoCharges) {
  held_by_chlorines("C1", "C", 3);
  atom("P1", "P");
  for (const char* o : {"O1", "O2", "O3", "O4"}) atom(o, "O");
  bond("P1", "O1", "double");
  bond("P1", "O2", "single");
  bond("P1", "O3", "single");
  bond("P1", "O4", "single");
  bond("O4", "C1", "single");
  EXPECT_EQ(run(), 0);
  for (const char* o : {"O1", "O2", "O3"})
    EXPECT_FLOAT_EQ(R().l1a_charg(fx::index_of(o)), -0.66f) << o;
  EXPECT_FLOAT_EQ(R().l1a_charg(fx::index_of("O4")), 0.0f);
  EXPECT_EQ(fx::type_of(4), "deloc");   // P1-O1
  EXPECT_EQ(fx::type_of(7), "single");  // P1-O4 of the ester
}

TEST_F(Valency, FullAtomTableStopsWithTheParameterToRaise) {
  held_by_chlorines("C1", "C", 1);
  while (R().l1a_natom < MAX1ATM - 1) atom("X", "CL");  // unbonded: not visited
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(R().l1a_natom, MAX1ATM);
  EXPECT_EQ(out,
            "  ERROR : number of atoms of monomer >   300\n"
            "          Change parameter MAX1ATM in \"lib_com\"\n");
}

TEST_F(Valency, AtomFlatAmongThreeNeighboursTakesNoHydrogen) {
  // Three single bonds (a ring carbon whose bonds were all taken single)
  // leave carbon one short; a hydrogen would make it tetrahedral where the
  // model holds it in the plane of its neighbours.  A pyramid takes it.
  for (const float lift : {0.0f, 0.5f}) {
    fx::clear_l1();
    atom("C1", "C", 0, 0, 0);
    atom("C2", "C", 1.5f, 0, lift);
    atom("C3", "C", -0.75f, 1.3f, lift);
    atom("C4", "C", -0.75f, -1.3f, lift);
    for (const char* n : {"C2", "C3", "C4"}) bond("C1", n, "single");
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(R().l1a_lencon(1, 1), lift > 0.0f ? 1 : 0) << "lift " << lift;
  }
}

TEST_F(Valency, NitrogenWithoutADoubleBondKeepsItsHydrogen) {
  struct Case {
    const char* label;
    const char* to_carbonyl;
    bool in_ring;
    float charge;
    int hydrogens;
  };
  // The amide nitrogen's bond to the carbonyl carbon typed delocalised; in a
  // ring its bonds come from the ring stage as they are; a charge or a
  // double bond leaves the count to the bond orders.
  const Case cases[] = {
      {"amide, delocalised", "deloc", false, 0.0f, 1},
      {"amide, aromatic", "aromatic", false, 0.0f, 1},
      {"imine, double", "double", false, 0.0f, 0},
      {"ring nitrogen, delocalised", "deloc", true, 0.0f, 0},
      {"charged, delocalised", "deloc", false, 1.0f, 1},
  };
  for (const Case& c : cases) {
    fx::clear_l1();
    atom("C1", "C");
    atom("N1", "N");
    atom("C2", "C");
    bond("C1", "N1", c.to_carbonyl);
    bond("N1", "C2", "single");
    if (c.in_ring) fx::ring(1, {"C1", "N1", "C2"});
    R().l1a_charg(2) = c.charge;
    EXPECT_EQ(run(), 0) << c.label;
    EXPECT_EQ(R().l1a_lencon(1, 2), c.hydrogens) << c.label;
  }
}
