// Bond typing by observed length, by the user's list and by given chemical
// types, and the metal table.
#include "builder/bond_types.h"

#include <gtest/gtest.h>

#include "builder/metals.h"
#include "l1_fixture.h"
#include "support/capture.h"

namespace {

using fx::atom;
using fx::bond;
using fx::bond_len;
using fx::R;
using fx::type_of;

class BondTypes : public testing::Test {
 protected:
  void SetUp() override {
    fx::clear_l1();
    fx::small_energy_library();
  }
  int32_t coord() {
    int32_t ierr = -1;
    out = captured([&] { add_type_using_coord_(0, 'L', ierr); });
    return ierr;
  }
  std::string out;
};

// A carbon C1 with three hydrogens and the partner atom X.
}  // namespace

TEST(IsItMetal, TableMembership) {
  struct Case {
    const char* label;
    const char* symb;
    bool metal;
  };
  const Case cases[] = {
      {"chlorine", "CL", true},    {"selenium", "SE", true},   {"zinc", "ZN  ", true},
      {"potassium", "K", true},    {"tungsten", "W   ", true}, {"carbon", "C", false},
      {"nitrogen", "N   ", false}, {"sulfur", "S", false},     {"phosphorus", "P", false},
      {"lower case", "Zn", false}, {"unknown", "XX", false},
  };
  for (const Case& c : cases) EXPECT_EQ(is_it_metal_(c.symb), c.metal) << c.label;
}

TEST_F(BondTypes, CoordElementMissingFromLibraryFailsWithItsName) {
  atom("C1", "C");
  atom("X1", "XX");
  atom("C2", "C");
  atom("C3", "C");
  const int b = bond_len("C1", "X1", 1.9f);
  bond_len("C1", "C2", 1.53f);
  bond_len("C1", "C3", 1.53f);
  EXPECT_EQ(coord(), 1);
  EXPECT_EQ(type_of(b), "single");
  EXPECT_EQ(out,
            " ERROR: Atom X1 with element name XX\n"
            "        does not exist in theenergetic library \"ener_lib.cif\"\n"
            " ERROR: Bond C1 - X1 of elements C - XX fits no bond of \"ener_lib.cif\"\n"
            " ERROR: Energetic library - \"ener_lib.cif\" is incomplete\n");
}

// Both elements in the library, but no row joins them (an amidoxime's N-O,
// a phosphonate's C-P): each such bond is named, in bond order, and no
// atom line is given; the bonds a row typed are not named.
TEST_F(BondTypes, CoordPairsWithoutARowAreEachNamed) {
  atom("C1", "C");
  atom("N1", "N");
  atom("O1", "O");
  atom("C2", "C");
  atom("P1", "P");
  const int no = bond_len("N1", "O1", 1.41f);
  const int cn = bond_len("C1", "N1", 1.29f);
  const int cp = bond_len("C2", "P1", 1.80f);
  bond_len("C1", "C2", 1.50f);
  EXPECT_EQ(coord(), 1);
  EXPECT_EQ(type_of(cn), "double");
  EXPECT_EQ(type_of(no), "single");
  EXPECT_EQ(type_of(cp), "single");
  EXPECT_EQ(out,
            " ERROR: Bond N1 - O1 of elements N - O fits no bond of \"ener_lib.cif\"\n"
            " ERROR: Bond C2 - P1 of elements C - P fits no bond of \"ener_lib.cif\"\n"
            " ERROR: Energetic library - \"ener_lib.cif\" is incomplete\n");
}

TEST_F(BondTypes, CoordSpTypesMatchOnlyTripleRows) {
  // A "double" row of exactly the observed length is passed over for a C#N pair.
  fx::energy_bond("CSP", "NS", 1.14f, "double");
  atom("C1", "C");
  atom("N1", "N");
  atom("C2", "C");
  const int t = bond_len("C1", "N1", 1.14f);
  const int s = bond_len("C1", "C2", 1.38f);
  EXPECT_EQ(coord(), 0);
  EXPECT_EQ(type_of(t), "triple");
  EXPECT_EQ(type_of(s), "single");  // aromatic by length, single beside the triple bond
}

TEST_F(BondTypes, CoordHalfBondRowsTypeAPairWithoutItsOwnRow) {
  fx::energy_type("SE", "SE");
  fx::energy_bond("CH2", ".", 1.53f, "single");
  fx::energy_bond("SE", ".", 1.95f, "single");
  atom("C1", "C");
  atom("SE1", "SE");
  atom("C2", "C");
  atom("C3", "C");
  const int b = bond_len("C1", "SE1", 1.74f);
  bond_len("C1", "C2", 1.34f);
  bond_len("C1", "C3", 1.34f);
  EXPECT_EQ(coord(), 0);
  EXPECT_EQ(type_of(b), "single");
}

TEST_F(BondTypes, CoordNeighbourWithoutBondRowFailsThoughLaterSearchesSucceed) {
  atom("C1", "C");
  atom("C2", "C");
  atom("C3", "C");
  atom("C4", "C");
  atom("C5", "C");
  bond_len("C1", "C2", 1.53f);
  const int lost = bond_len("C1", "C3", 1.53f);
  bond_len("C4", "C3", 1.53f);
  bond_len("C4", "C5", 1.53f);
  R().l1b_1atm(lost) = "C9";  // C1 lists C3, but no row joins them
  EXPECT_NE(coord(), 0);
}

TEST_F(BondTypes, CoordOverValentCarbonKeepsTheDoubleBondFoundFirst) {
  // A guanidine carbon whose three bonds all fall nearest the C=N row
  // (1.279): the first stays double, its nitrogen is charged, the rest give way.
  atom("C1", "C");
  atom("N1", "N");
  atom("N2", "N");
  atom("N3", "N");
  const int kept = bond_len("C1", "N1", 1.28f);
  const int second = bond_len("C1", "N2", 1.28f);
  const int third = bond_len("C1", "N3", 1.28f);
  for (const char* h : {"H11", "H12", "H21", "H22", "H31", "H32"}) {
    atom(h, "H");
    bond_len(h[1] == '1' ? "N1" : h[1] == '2' ? "N2" : "N3", h, 1.01f);
  }
  EXPECT_EQ(coord(), 0);
  EXPECT_EQ(type_of(kept), "double");
  EXPECT_EQ(type_of(second), "single");
  EXPECT_EQ(type_of(third), "single");
  EXPECT_EQ(R().l1a_charg(fx::index_of("N1")), 1.0f);
  EXPECT_EQ(R().l1a_charg(fx::index_of("N2")), 0.0f);
}

TEST_F(BondTypes, CoordOverValentCarbonKeepsItsCarbonylBeforeAnEarlierDouble) {
  // A urea carbon whose three bonds all fall nearest a double row (C=N 1.279,
  // C=O 1.210): the keto oxygen keeps its double bond although C=N comes
  // first, so neither nitrogen is charged (as thymine's O4 and N3).
  atom("C1", "C");
  atom("N1", "N");
  atom("O1", "O");
  atom("N2", "N");
  const int cn1 = bond_len("C1", "N1", 1.28f);
  const int co = bond_len("C1", "O1", 1.21f);
  const int cn2 = bond_len("C1", "N2", 1.28f);
  for (const char* h : {"H11", "H12", "H21", "H22"}) {
    atom(h, "H");
    bond_len(h[1] == '1' ? "N1" : "N2", h, 1.01f);
  }
  EXPECT_EQ(coord(), 0);
  EXPECT_EQ(type_of(co), "double");
  EXPECT_EQ(type_of(cn1), "single");
  EXPECT_EQ(type_of(cn2), "single");
  EXPECT_EQ(R().l1a_charg(fx::index_of("N1")), 0.0f);
  EXPECT_EQ(R().l1a_charg(fx::index_of("N2")), 0.0f);
}

TEST_F(BondTypes, CoordEtherOxygenTakesNoDoubleBond) {
  // C-C-O-C-C with both C-O bonds nearest the C=O row (1.210): an oxygen
  // with two neighbours has no room for a double bond, so both stay single.
  for (const char* n : {"C2", "C1", "O1", "C3", "C4"}) atom(n, n[0] == 'O' ? "O" : "C");
  bond_len("C2", "C1", 1.53f);
  const int first = bond_len("C1", "O1", 1.22f);
  const int second = bond_len("O1", "C3", 1.22f);
  bond_len("C3", "C4", 1.53f);
  EXPECT_EQ(coord(), 0);
  EXPECT_EQ(type_of(first), "single");
  EXPECT_EQ(type_of(second), "single");
}

TEST_F(BondTypes, CoordAromaticBondsLeaveRoomForAnExocyclicDouble) {
  // A ring carbon with two aromatic bonds and C=O outside the ring, as in a
  // purine's keto carbon: the aromatic bonds count one each, so C=O stays.
  atom("C1", "C");
  atom("C2", "C");
  atom("C3", "C");
  atom("O1", "O");
  bond_len("C1", "C2", 1.384f);
  bond_len("C2", "C3", 1.384f);
  bond_len("C3", "C1", 1.384f);
  const int co = bond_len("C2", "O1", 1.21f);
  fx::ring(1, {"C1", "C2", "C3"});
  EXPECT_EQ(coord(), 0);
  EXPECT_EQ(type_of(co), "double");
  EXPECT_EQ(type_of(1), "aromatic");
}

TEST_F(BondTypes, CoordConjugationDoubleGivesWayAtAFullPartner) {
  // The chain carbon C1 (single and aromatic) turns its aromatic bond double,
  // but C2 already carries four bonds.
  for (const char* n : {"C0", "C1", "C2", "C3", "C4", "C5"}) atom(n, "C");
  bond_len("C0", "C1", 1.53f);
  const int ar = bond_len("C1", "C2", 1.384f);
  for (const char* n : {"C3", "C4", "C5"}) bond_len("C2", n, 1.53f);
  EXPECT_EQ(coord(), 0);
  EXPECT_EQ(type_of(ar), "single");
}

TEST_F(BondTypes, ListMetalPartnerIsNotCountedAsNeighbour) {
  atom("C1", "C");
  atom("ZN1", "ZN");
  atom("C2", "C");
  atom("H1", "H");
  atom("H2", "H");
  const int m = bond("C1", "ZN1");
  const int cc = bond("C1", "C2");
  const int ch = bond("C1", "H1");
  bond("C1", "H2");
  int32_t ierr = -1;
  add_type_using_list_(0, 'L', ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(type_of(m), "metal");
  EXPECT_EQ(type_of(ch), "single");
  EXPECT_EQ(type_of(cc), ".");  // three neighbours without the zinc: nothing decides
}

TEST_F(BondTypes, ListUntypedBondsOfAFlatRingBecomeAromatic) {
  // Pyridine with its hydrogens; left untyped the ring bonds would count as
  // single bonds and draw a second hydrogen onto every ring carbon.
  const char* ring_atoms[] = {"N1", "C2", "C3", "C4", "C5", "C6"};
  atom("N1", "N");
  for (int k = 1; k < 6; ++k) atom(ring_atoms[k], "C");
  int ring_bonds[6];
  for (int k = 0; k < 6; ++k) ring_bonds[k] = bond(ring_atoms[k], ring_atoms[(k + 1) % 6]);
  const char* hs[] = {"H2", "H3", "H4", "H5", "H6"};
  for (int k = 0; k < 5; ++k) {
    atom(hs[k], "H");
    bond(ring_atoms[k + 1], hs[k]);
  }
  fx::ring(1, {"N1", "C2", "C3", "C4", "C5", "C6"});
  int32_t ierr = -1;
  add_type_using_list_(0, 'L', ierr);
  for (int k = 0; k < 6; ++k) EXPECT_EQ(type_of(ring_bonds[k]), "aromatic") << "ring bond " << k;
  EXPECT_EQ(type_of(R().l1b_nbond), "single");
  EXPECT_EQ(R().l1a_ichir(1), -1);
}

TEST_F(BondTypes, ChemTypesGiveTheTypesOfTheirPairRows) {
  atom("C1", "C", 0, 0, 0);
  atom("O1", "O", 1.22f, 0, 0);
  atom("C2", "C", -1.5f, 0, 0);
  atom("C3", "C", 0.7f, 1.2f, 0);
  R().l1a_chem(1) = "C";
  R().l1a_chem(2) = "O";
  R().l1a_chem(3) = "CH1";
  R().l1a_chem(4) = "CH3";
  const int co = bond("C1", "O1");
  const int cc = bond("C1", "C2");
  const int c3 = bond("C1", "C3");
  int32_t ierr = -1;
  out = captured([&] { add_type_using_chem_(0, 'L', ierr); });
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(type_of(co), "double");
  EXPECT_EQ(type_of(cc), ".");  // no row for C-CH1, no element rule for a three-connected pair
  EXPECT_EQ(type_of(c3), ".");
  EXPECT_EQ(out, "");
}
