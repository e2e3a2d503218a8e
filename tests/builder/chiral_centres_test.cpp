// Chiral rows with their signs, atom-centred planes, the pruning of the
// user's rows and the peptide rule.
#include "builder/chiral_centres.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "builder/valency.h"
#include "l1_fixture.h"
#include "support/capture.h"

namespace {

using fx::atom;
using fx::bond;
using fx::R;

class Chirality : public testing::Test {
 protected:
  void SetUp() override {
    fx::clear_l1();
    fx::clear_energy();
  }
  int32_t run(int32_t itype_res = 1) {
    int32_t ierr = -1;
    out = captured([&] { check_chir_(0, 'L', itype_res, ierr); });
    return ierr;
  }
  std::string sign(int k) const { return std::string(R().l1c_sign(k).trimmed()); }
  std::string out;
};

// A tetrahedral centre CA with N, C, CB and HA at the corners of a cube
// (mirrored through the xy plane when `mirror`), flagged tetrahedral; C
// carries its O, so that C and CB are not alike.
void centre(bool mirror = false, bool coords = true, const char* third = "CB") {
  const float m = mirror ? -1.0f : 1.0f;
  atom("CA", "C", 0, 0, 0, coords);
  atom("N", "N", 0.87f, 0.87f, 0.87f * m, coords);
  atom("C", "C", 0.87f, -0.87f, -0.87f * m, coords);
  atom(third, "C", -0.87f, 0.87f, -0.87f * m, coords);
  atom("HA", "H", -0.87f, -0.87f, 0.87f * m, coords);
  for (const char* n : {"N", "C", third, "HA"}) bond("CA", n, "single");
  atom("O", "O", 1.5f, -1.5f, -1.5f * m, coords);
  bond("C", "O", "double");
  R().l1a_ichir(1) = 1;
}

// Volume of CA's first three neighbours, computed here in double precision.
// Trigonal atom X with the given partners, flagged flat.
void trigonal(std::initializer_list<const char*> heavy, std::initializer_list<const char*> hs) {
  atom("X", "C");
  R().l1a_ichir(1) = -1;
  for (const char* n : heavy) {
    atom(n, "C");
    bond("X", n, "single");
  }
  for (const char* n : hs) {
    atom(n, "H");
    bond("X", n, "single");
  }
}

}  // namespace

TEST_F(Chirality, PeptideRuleSignsCAWithoutCoordinates) {
  struct Case {
    const char* label;
    int32_t itype_res;
    const char* third;
    const char* sign;
    const char* flag;
  };
  const Case cases[] = {
      {"L-peptide N,C,CB", 3, "CB", "positiv", "R"},
      {"D-peptide N,C,CB", 4, "CB", "negativ", "L"},
      {"non-polymer", 2, "CB", "both", "B"},
      {"L-peptide without CB", 3, "CG", "both", "B"},
  };
  for (const Case& c : cases) {
    fx::clear_l1();
    centre(false, false, c.third);
    run(c.itype_res);
    EXPECT_EQ(sign(1), c.sign) << c.label;
    EXPECT_EQ(R().l1c_flag(1), c.flag) << c.label;
  }
}

TEST_F(Chirality, GroupSharingThreeAtomsWithAPlaneMakesNone) {
  trigonal({"O", "CA", "N"}, {});
  bond("N", "CA", "single");
  R().l1a_ichir(fx::index_of("N")) = -1;  // N, X, CA: all in X's plane
  run();
  EXPECT_EQ(R().l1p_nplan, 1);
}

TEST_F(Chirality, UserRowsArePrunedByShapeAndFlag) {
  centre();
  atom("C9", "C");
  R().l1c_nchir = 3;
  const char* centres[] = {"C9", "C", "CA"};
  const char* signs[] = {"cross4", "positiv", "negativ"};
  for (int k = 1; k <= 3; ++k) {
    R().l1c_1atm(k) = centres[k - 1];
    R().l1c_i1atm(k) = fx::index_of(centres[k - 1]);
    R().l1c_sign(k) = signs[k - 1];
    R().l1c_flag(k) = "U";
  }
  run();
  ASSERT_EQ(R().l1c_nchir, 2);  // C (flag 0) dropped; CA kept and not given a second row
  EXPECT_EQ(R().l1c_1atm(1), "C9");
  EXPECT_EQ(R().l1c_1atm(2), "CA");
  EXPECT_EQ(sign(2), "negativ");
  EXPECT_EQ(R().l1c_flag(2), "U");
}

TEST_F(Chirality, FullChiralTableStopsWithTheParameterToRaise) {
  centre();
  R().l1c_nchir = MAX1CHR;
  for (int k = 1; k <= MAX1CHR; ++k) {
    R().l1c_1atm(k) = "ZZ";
    R().l1c_sign(k) = "cross6";
  }
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(R().l1c_nchir, MAX1CHR);
  EXPECT_EQ(out,
            " ERROR: number of chiral centres in monomer NEW      >    50\n"
            "           Change parameter MAX1CHR in \"lib_com\"\n");
}

// Centre X with carbons A, B, D and oxygen O at the corners of a cube (A, B,
// O give a positive volume), then the atoms beyond: {parent, atom, element}.
TEST_F(Chirality, TwoAlikeSubstituentsLeaveTheHandOpen) {
  struct Case {
    const char* label;
    std::vector<std::array<const char*, 3>> beyond;
    std::vector<rt::FixedText<4>> outside;  // atoms bonded to a neighbouring residue
    const char* sign;
  };
  const Case cases[] = {
      {"two methyls", {{"D", "E", "C"}}, {}, "both"},
      {"ethyl beside propyl",
       {{"A", "A1", "C"}, {"B", "B1", "C"}, {"B1", "B2", "C"}},
       {},
       "positiv"},
      {"alike four bonds out",
       {{"A", "A1", "C"},
        {"A1", "A2", "C"},
        {"A2", "A3", "CL"},
        {"B", "B1", "C"},
        {"B1", "B2", "C"},
        {"B2", "B3", "CL"}},
       {},
       "both"},
      {"chlorine beside bromine four bonds out",
       {{"A", "A1", "C"},
        {"A1", "A2", "C"},
        {"A2", "A3", "CL"},
        {"B", "B1", "C"},
        {"B1", "B2", "C"},
        {"B2", "B3", "BR"}},
       {},
       "positiv"},
      {"one of two CH2-O bonded out of the residue",
       {{"A", "A1", "O"}, {"B", "B1", "O"}},
       {"B1"},
       "positiv"},
      {"ring atom: its two ring neighbours",
       {{"A", "R1", "C"}, {"R1", "R2", "C"}, {"R2", "B", ""}, {"D", "E", "O"}},
       {},
       "positiv"},
      {"in a cyclopropane ring, beside an ethyl", {{"A", "B", ""}, {"D", "E", "C"}}, {}, "positiv"},
      {"cyclopropyl beside cyclobutyl",
       {{"A", "A1", "C"}, {"A1", "A2", "C"}, {"A2", "A", ""}, {"B", "B1", "C"}, {"B1", "B2", "C"},
        {"B2", "B3", "C"}, {"B3", "B", ""}},
       {},
       "positiv"},
  };
  for (const Case& c : cases) {
    fx::clear_l1();
    atom("X", "C");
    atom("A", "C", 0.87f, 0.87f, 0.87f);
    atom("B", "C", 0.87f, -0.87f, -0.87f);
    atom("O", "O", -0.87f, 0.87f, -0.87f);
    atom("D", "C", -0.87f, -0.87f, 0.87f);
    for (const char* n : {"A", "B", "O", "D"}) bond("X", n, "single");
    for (const auto& [parent, name, elem] : c.beyond) {
      if (*elem != '\0') atom(name, elem, 3.0f, 3.0f, 3.0f);  // far from the centre
      bond(parent, name, "single");
    }
    R().l1a_ichir(1) = 1;
    builder::set_outside_bonds(c.outside);
    run();
    builder::set_outside_bonds({});
    ASSERT_EQ(R().l1c_nchir, 1) << c.label;
    EXPECT_EQ(sign(1), c.sign) << c.label;
    EXPECT_EQ(R().l1c_flag(1), std::string(c.sign) == "both" ? "B" : "R") << c.label;
  }
}

TEST_F(Chirality, ThreeHeavyNeighboursInThePlaneOfTheAtomGiveNoRow) {
  // A carboxyl carbon flagged tetrahedral (a hydrogen added to it by wrong
  // bond orders): its heavy neighbours lie in one plane with it, so neither
  // a signed row nor "both"; lifted 0.5 A out of that plane it is a pyramid.
  for (const float lift : {0.0f, 0.5f}) {
    fx::clear_l1();
    atom("C", "C", 0, 0, 0);
    atom("CA", "C", 1.5f, 0, lift);
    atom("O", "O", -0.75f, 1.3f, lift);
    atom("OXT", "O", -0.75f, -1.3f, lift);
    atom("H", "H", 0, 0, -1.0f, false);
    for (const char* n : {"CA", "O", "OXT", "H"}) bond("C", n, "single");
    R().l1a_ichir(1) = 2;
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(R().l1c_nchir, lift > 0.0f ? 1 : 0) << "lift " << lift;
  }
}

namespace {

// A copy of the centre of centre(): CA, N, C, CB where centre() puts them
// (mirrored through the xy plane when `mirror`), less the atoms named in
// `lacking`, then the atoms of `extra`.
void add_copy(builder::MonomerCopies& m, const char* label, bool mirror,
              const std::string& lacking = "", std::vector<builder::CopyAtom> extra = {}) {
  const float z = mirror ? -1.0f : 1.0f;
  m.label.push_back(label);
  m.first.push_back(static_cast<int32_t>(m.atoms.size()));
  const builder::CopyAtom atoms[] = {{"CA", 0, 0, 0},
                                     {"N", 0.87f, 0.87f, 0.87f * z},
                                     {"C", 0.87f, -0.87f, -0.87f * z},
                                     {"CB", -0.87f, 0.87f, -0.87f * z}};
  for (const builder::CopyAtom& a : atoms)
    if (lacking != a.name.trimmed()) m.atoms.push_back(a);
  for (const builder::CopyAtom& a : extra) m.atoms.push_back(a);
}

}  // namespace

// The centre is built from the first copy, of centre()'s hand; the sign is
// the hand most copies have, each copy that has every atom of the centre
// voting once with the first atom of each name.
TEST_F(Chirality, CopiesOfTheMonomerVoteForTheHand) {
  centre();
  ASSERT_EQ(run(), 0);
  const std::string own = sign(1), other = own == "positiv" ? "negativ" : "positiv";
  const builder::CopyAtom cb_where_ha = {"CB", -0.87f, -0.87f, 0.87f};  // the other hand
  struct Case {
    const char* label;
    std::vector<std::tuple<const char*, bool, std::string, std::vector<builder::CopyAtom>>> copies;
    std::string sign, warnings;
  };
  const Case cases[] = {
      {"two of three of the other hand",
       {{"one", false, "", {}}, {"two", true, "", {}}, {"three", true, "", {}}},
       other,
       "  WARNING: NEW : chiral centre CA is " + own + " in one, " + other + " in 2 of 3 copies\n"},
      {"one of each hand and one lacking CB",
       {{"one", false, "", {}}, {"two", true, "", {}}, {"three", true, "CB", {}}},
       "both",
       "  WARNING: NEW : chiral centre CA is positiv in 1 copy and negativ in 1: its sign is "
       "both\n"},
      {"a second CB of the other hand in one copy",
       {{"one", false, "", {}}, {"two", true, "", {}}, {"three", false, "", {cb_where_ha}}},
       own,
       "  WARNING: NEW : chiral centre CA is " + other + " in two, " + own + " in 2 of 3 copies\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    fx::clear_l1();
    centre();
    builder::MonomerCopies m;
    for (const auto& [label, mirror, lacking, extra] : c.copies)
      add_copy(m, label, mirror, lacking, extra);
    m.first.push_back(static_cast<int32_t>(m.atoms.size()));
    builder::set_monomer_copies(m);
    const int32_t ierr = run();
    builder::set_monomer_copies({});
    ASSERT_EQ(ierr, 0);
    ASSERT_EQ(R().l1c_nchir, 1);
    EXPECT_EQ(sign(1), c.sign);
    EXPECT_EQ(R().l1c_flag(1), c.sign == "both" ? "B" : c.sign == "positiv" ? "R" : "L");
    EXPECT_EQ(out, c.warnings);
  }
}
