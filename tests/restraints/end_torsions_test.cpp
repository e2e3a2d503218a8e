// Torsions at the ends of the kept residue: the forward atoms of the last
// tree atom before a gap, the start of a fragment against a linked residue,
// and the snapping of measured torsions.
#include "restraints/end_torsions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "monomer_fixture.h"
#include "restraints/residue_tree.h"

namespace {

class EndTorsions : public testing::Test {
 protected:
  // LEU 34 of 2BEG described and kept (L2, C2/S2).
  void SetUp() override {
    fixture::monomer_in_l1("LEU");
    truth = fixture::pdb_residue("2BEG.pdb", 'A', 34);
    fixture::residue_in_slot(s1, truth, "LEU", 0);
    int32_t ierr = 0;
    captured([&] {
      def_dist_th_ph_(0, ' ', 'Y', ierr);
      copyl2_(0, ierr);
      copyc2_(0, ierr);
    });
  }
  int row(const char* name) const {
    for (int i = 1; i <= s2.igatm; ++i)
      if (s2.aname(i) == name) return i;
    ADD_FAILURE() << name;
    return 0;
  }
  fixture::V at(const char* n) const { return fixture::at(s2, row(n)); }
  int32_t run(char flag, char flag_old) {
    int32_t ierr = -1;
    captured([&] { calc_l_th_phi_(0, flag, flag_old, 1, 1, 1, ierr); });
    return ierr;
  }

  restraints::WorkSlot s1 = restraints::slot1();
  restraints::WorkSlot s2 = restraints::slot2();
  fixture::Residue truth;
};

TEST_F(EndTorsions, BeforeAGapTheLastAtomsForwardAtomsAreMeasured) {
  const int o = row("O");
  EXPECT_EQ(run('G', 'Y'), 0);
  EXPECT_EQ(s2.id_psi(o), "vf1");
  EXPECT_NEAR(s2.psi(o), fixture::torsion(at("N"), at("CA"), at("C"), at("O")), 0.01);
  EXPECT_EQ(r_scratch.l2a_id_psi(s2.ilib(o)), "vf1");
}

TEST_F(EndTorsions, WithoutAGapTheLastAtomKeepsItsValues) {
  const int o = row("O");
  const rt::FixedText<8> code = s2.id_psi(o);
  const float psi = s2.psi(o);
  EXPECT_EQ(run('Y', 'Y'), 0);
  EXPECT_EQ(s2.id_psi(o), code.view());
  EXPECT_EQ(s2.psi(o), psi);
}

TEST_F(EndTorsions, FragmentStartGetsItsStartTorsionsALinkedResidueKeepsItsOwn) {
  const int n = row("N"), h = row("H"), c = row("C");
  EXPECT_EQ(run('Y', 'Y'), 0);
  EXPECT_EQ(s2.id_psi(n), "?");
  EXPECT_EQ(run('Y', 'S'), 0);
  EXPECT_EQ(s2.id_psi(n), ".");
  // CA's last child already has its torsion from CA's chiral centre.
  EXPECT_EQ(s2.id_psi(c), "Co1C");
  // The amide hydrogen: its torsion from the start's frame C-CA-N.
  EXPECT_EQ(s2.id_psi(h), "CODS");
  EXPECT_NEAR(s2.psi(h), fixture::torsion(at("C"), at("CA"), at("N"), at("H")), 0.01);
}

TEST_F(EndTorsions, MeasuredTorsionsSnapToZeroAndHalfTurn) {
  // Four rows a torsion of t degrees apart about the x axis.
  auto put = [&](float t) {
    const float p[4][3] = {{0, 1, 0}, {0, 0, 0}, {1.5f, 0, 0}, {1.5f, std::cos(t * 3.14159265f / 180), std::sin(t * 3.14159265f / 180)}};
    for (int i = 0; i < 4; ++i)
      for (int k = 0; k < 3; ++k) s2.xyz(k + 1, i + 1) = p[i][k];
    for (int i = 1; i <= 4; ++i) s2.atype(i) = "Y";
  };
  struct Case {
    const char* label;
    float t, want;
  } cases[] = {{"near half turn", 179.95f, 180.0f}, {"near half turn, negative", -179.95f, 180.0f},
               {"near zero", 0.05f, 0.0f},          {"near zero, negative", -0.05f, 0.0f},
               {"ordinary", 60.0f, 60.0f}};
  for (const Case& c : cases) {
    put(c.t);
    int32_t iph = 0;
    float ph = 0.0f, ideal = 0.0f;
    calc_phi_s2_(1, 2, 3, 4, 0, iph, ph, ideal, 0.0f);
    EXPECT_EQ(iph, 1) << c.label;
    EXPECT_NEAR(ph, c.want, 1e-3) << c.label;
    EXPECT_EQ(ideal, ph) << c.label;
  }
}

}  // namespace
