// Bond orders chosen so that they add up with the hydrogens the model gives;
// the types in L1 are those the lengths gave, as the bond stage leaves them.
#include "builder/given_hydrogens.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "l1_fixture.h"
#include "support/capture.h"

namespace {

using fx::R;

class GivenHydrogens : public testing::Test {
 protected:
  void SetUp() override { fx::clear_l1("ENM"); }
  // Atoms named after their element's letter; bonds "A-B" single, "A=B"
  // double, "A~B" aromatic; then the hydrogens the model gives, "A:n".
  void molecule(std::initializer_list<std::string> bonds, std::initializer_list<std::string> hs) {
    for (const std::string& b : bonds) {
      const std::size_t k = b.find_first_of("-=~");
      const std::string a1 = b.substr(0, k), a2 = b.substr(k + 1);
      for (const std::string& n : {a1, a2})
        if (!fx::index_of(n)) fx::atom(n.c_str(), n.substr(0, 1).c_str());
      fx::bond(a1.c_str(), a2.c_str(),
               b[k] == '-'   ? "single"
               : b[k] == '=' ? "double"
                             : "aromatic");
    }
    for (const std::string& h : hs)
      for (int i = std::stoi(h.substr(h.find(':') + 1)); i > 0; --i) {
        std::string n = "H";
        n += std::to_string(R().l1a_natom);
        fx::atom(n.c_str(), "H");
        fx::bond(h.substr(0, h.find(':')).c_str(), n.c_str(), "single");
      }
  }
  // The bonds the lengths typed other than single may be double.
  std::string choose() {
    std::vector<char> multiple(static_cast<std::size_t>(R().l1b_nbond) + 1, 0);
    for (int lb = 1; lb <= R().l1b_nbond; ++lb) multiple[lb] = fx::type_of(lb) != "single";
    out = captured([&] { builder::orders_for_given_hydrogens(0, multiple); });
    std::string t;
    for (int lb = 1; lb <= R().l1b_nbond; ++lb)
      if (R().l1b_2atm(lb)(1) != 'H') t += fx::type_of(lb).substr(0, 1);
    return t;
  }
  float charge(const char* a) { return R().l1a_charg(fx::index_of(a)); }
  static std::string warning(const char* atom) {
    return "  WARNING: ENM      : no choice of bond orders adds up to the valence of atom " +
           std::string(atom) + "\n";
  }
  std::string out;
};

}  // namespace

TEST_F(GivenHydrogens, EnaminoneTakesTheOnlyDoubleBondsThatAddUp) {
  // N2-C10 typed C=N by its 1.393 A (the nitrogen charged for it), C10-C11 aromatic.
  molecule({"C1-N2", "N2=C10", "C10~C11", "C11-C12", "C12=O1", "C12-C13"},
           {"C1:3", "N2:1", "C10:1", "C11:1", "C13:3"});
  R().l1a_charg(fx::index_of("N2")) = 1.0f;
  EXPECT_EQ(choose(), "ssdsds");
  EXPECT_EQ(out, "");
  EXPECT_EQ(charge("N2"), 0.0f);
}

TEST_F(GivenHydrogens, WithoutHydrogensOnCarbonTheTypesStay) {
  // Without any hydrogen nothing fixes a count.
  molecule({"C1-N2", "N2=C10", "C10~C11", "C11-C12", "C12=O1", "C12-C13"}, {});
  EXPECT_EQ(choose(), "sdasds");
  EXPECT_EQ(out, "");
}

TEST_F(GivenHydrogens, IminiumNitrogenIsChargedForItsDoubleBond) {
  molecule({"C1-C2", "C2~N1"}, {"C1:3", "C2:1", "N1:2"});
  EXPECT_EQ(choose(), "sd");
  EXPECT_EQ(charge("N1"), 1.0f);
}

TEST_F(GivenHydrogens, NoChargeComesBeforeFewerChangedBonds) {
  // A vinylogous thioaldehyde typed as its zwitterion by the lengths: the
  // iminium form keeps every type, the neutral one changes N2=C10 and
  // C11=C12, and is taken.
  molecule({"C1-N2", "N2=C10", "C10~C11", "C11=C12", "C12~S1"},
           {"C1:3", "N2:1", "C10:1", "C11:1", "C12:1"});
  R().l1a_charg(fx::index_of("N2")) = 1.0f;
  EXPECT_EQ(choose(), "ssdsd");
  EXPECT_EQ(out, "");
  EXPECT_EQ(charge("N2"), 0.0f);
}

TEST_F(GivenHydrogens, CarboxylateOxygenMayEndOneBondShort) {
  // Acetate: one oxygen of the pair is the anion's, delocalised later.
  molecule({"C1-C2", "C2=O1", "C2-O2"}, {"C1:3"});
  EXPECT_EQ(choose(), "sds");
  EXPECT_EQ(out, "");
}

TEST_F(GivenHydrogens, NoChoiceAddingUpNamesTheAtomAndKeepsTheTypes) {
  // Propene whose terminal CH2 was given one hydrogen: C3 cannot reach four.
  molecule({"C1-C2", "C2=C3"}, {"C1:3", "C2:1", "C3:1"});
  EXPECT_EQ(choose(), "sd");
  EXPECT_EQ(out, warning("C3"));
}

TEST_F(GivenHydrogens, BondOfSingleLengthIsNoDoubleForALostHydrogen) {
  // C1 lost a hydrogen; C=N would fill it, but the length typed C1-N1 single.
  molecule({"C2-C1", "C1-N1"}, {"C2:3", "C1:1", "N1:2"});
  EXPECT_EQ(choose(), "ss");
  EXPECT_EQ(out, warning("C1"));
  EXPECT_EQ(charge("N1"), 0.0f);
}

TEST_F(GivenHydrogens, OnlyALinearAtomTakesTwoDoubleBonds) {
  // N1~C1~N2 bent at 120 degrees, C1's hydrogen lost: N1=C1=N2 would add up.
  fx::atom("N1", "N", -1.15f, 0.66f, 0.0f);
  fx::atom("C1", "C", 0.0f, 0.0f, 0.0f);
  fx::atom("N2", "N", 1.15f, 0.66f, 0.0f);
  molecule({"N1~C1", "C1~N2", "C9-C8"}, {"N1:1", "N2:1", "C9:3", "C8:3"});
  EXPECT_EQ(choose(), "aas");
  EXPECT_EQ(out, warning("C1"));  // the nitrogens could add up if C1 could
}

TEST_F(GivenHydrogens, PolarHydrogensOnlyFixTheirAtomsAndLeaveCarbonToAddItsOwn) {
  // A docked enaminone: H7 on N2 alone.  N2 keeps its one hydrogen and stays
  // neutral; C10=C11 leaves each of them one hydrogen to add, N2=C10 would
  // leave C11 two.
  molecule({"C1-N2", "N2=C10", "C10~C11", "C11-C12", "C12=O1", "C12-C13"}, {"N2:1"});
  R().l1a_charg(fx::index_of("N2")) = 1.0f;
  EXPECT_EQ(choose(), "ssdsds");
  EXPECT_EQ(out, "");
  EXPECT_EQ(charge("N2"), 0.0f);
}

TEST_F(GivenHydrogens, PolarHydrogensOnlyTerminalCarbonTakesNoDoubleBondForItsHydrogens) {
  // The same pose with noisy coordinates: the N-methyl bond came out short
  // enough for a double bond.  C1=N2 would save C1 a hydrogen but make N2,
  // which keeps its given one, a cation; a methyl shows no shape to say so.
  molecule({"C1~N2", "N2=C10", "C10~C11", "C11-C12", "C12=O1", "C12-C13"}, {"N2:1"});
  EXPECT_EQ(choose(), "ssdsds");
  EXPECT_EQ(out, "");
  EXPECT_EQ(charge("N2"), 0.0f);
}

TEST_F(GivenHydrogens, PolarHydrogensOnlyFlatCarbonTakesACationBeforeAHydrogen) {
  // An amidinium given as two NH2: its carbon has no hydrogen to add, so
  // one C=N takes the charge rather than the carbon a fourth neighbour.
  molecule({"C9-C1", "C1~N1", "C1~N2"}, {"N1:2", "N2:2"});
  EXPECT_EQ(choose(), "ssd");
  EXPECT_EQ(charge("N1"), 0.0f);
  EXPECT_EQ(charge("N2"), 1.0f);
}

TEST_F(GivenHydrogens, PolarHydrogensOnlyNameTheAtomNoChoiceServes) {
  // An amine that lost one of its two hydrogens, bound by a single length.
  molecule({"C2-C1", "C1-N1"}, {"N1:1"});
  EXPECT_EQ(choose(), "ss");
  EXPECT_EQ(out, warning("N1"));
}
