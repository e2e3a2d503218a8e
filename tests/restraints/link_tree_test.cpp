// Internal coordinates across the peptide link of two real residues: the
// serials joining the trees, bond length and angles given to the atoms of
// the current residue, torsion codes by the period, the planar join, the
// link read backwards, and the early returns.
#include "restraints/link_tree.h"

#include <gtest/gtest.h>

#include <string>

#include "monomer_fixture.h"
#include "restraints/residue_tree.h"

namespace {

class LinkTree : public testing::Test {
 protected:
  // LEU 17 of 2BEG as the residue before (C2/S2/L2), VAL 18 as the current
  // one (C1/S1/L1), each with its own tree values.
  void SetUp() override {
    fixture::monomer_in_l1("VAL");
    fixture::monomer_in_l1("LEU");
    before = fixture::pdb_residue("2BEG.pdb", 'A', 17);
    fixture::residue_in_slot(s1, before, "LEU", 100);
    int32_t ierr = 0;
    captured([&] {
      def_dist_th_ph_(0, ' ', 'S', ierr);
      copyl2_(0, ierr);
      copyc2_(0, ierr);
    });
    fixture::monomer_in_l1("VAL");
    current = fixture::pdb_residue("2BEG.pdb", 'A', 18);
    fixture::residue_in_slot(s1, current, "VAL", 200);
    captured([&] { def_dist_th_ph_(0, ' ', 'Y', ierr); });
    ASSERT_GT(r.lll_nlink, 0);
  }
  int row(const restraints::WorkSlot& s, const char* name) const {
    for (int i = 1; i <= s.igatm; ++i)
      if (s.aname(i) == name) return i;
    ADD_FAILURE() << name;
    return 0;
  }
  fixture::V in1(const char* n) { return fixture::at(s1, row(s1, n)); }
  fixture::V in2(const char* n) { return fixture::at(s2, row(s2, n)); }
  std::string link(const char* id, int32_t irevers = 0, char conn = 'Y', int32_t* status = nullptr) {
    int32_t ierr = -1;
    const std::string out = captured([&] { def_dist_th_ph_link_(0, id, irevers, conn, ierr); });
    if (status) *status = ierr;
    return out;
  }

  r_scratch_t& r = r_scratch;
  restraints::WorkSlot s1 = restraints::slot1();
  restraints::WorkSlot s2 = restraints::slot2();
  fixture::Residue before, current;
};

TEST_F(LinkTree, PeptideBondJoinsTheTreesAndGivesTheRootItsValues) {
  int32_t ierr = -1;
  EXPECT_EQ(link("TRANS", 0, 'Y', &ierr), "");
  EXPECT_EQ(ierr, 0);
  const int n = row(s1, "N"), c = row(s2, "C"), ca = row(s1, "CA");
  EXPECT_EQ(s1.conn_s(n), 100 + c);
  EXPECT_EQ(s2.conn_f(c), 200 + n);
  EXPECT_NEAR(s1.dist(n), fixture::norm(fixture::sub(in1("N"), in2("C"))), 1e-4);
  EXPECT_EQ(r.l1a_length(s1.ilib(n)), 1.329f);
  // Both link angles ending on N reach it; the later row (O-C-N) stays.
  EXPECT_NEAR(s1.tht(n), fixture::angle(in2("O"), in2("C"), in1("N")), 0.01);
  EXPECT_EQ(r.l1a_theta(s1.ilib(n)), 123.0f);
  EXPECT_NEAR(s1.tht(ca), fixture::angle(in2("C"), in1("N"), in1("CA")), 0.01);
  EXPECT_EQ(r.lll_lname(r.lll_ilink), "TRANS");
}

TEST_F(LinkTree, OmegaOfPeriodZeroAndThePlanarJoin) {
  link("TRANS");
  const int ca = row(s1, "CA"), h = row(s1, "H"), o = row(s2, "O");
  EXPECT_EQ(s1.id_psi(ca), "cll");
  EXPECT_NEAR(s1.psi(ca), fixture::torsion(in2("CA"), in2("C"), in1("N"), in1("CA")), 0.01);
  EXPECT_EQ(r.l1a_phi(s1.ilib(ca)), 180.0f);
  // The amide hydrogen and the carbonyl oxygen lie in the link plane.
  EXPECT_EQ(s1.id_psi(h), "cO1P");
  EXPECT_EQ(s1.psi(h), 180.0f);
  EXPECT_EQ(s2.id_psi(o), "cO2P");
  EXPECT_EQ(s2.psi(o), 180.0f);
}

TEST_F(LinkTree, LookingUpOnlyWritesNothing) {
  const int n = row(s1, "N");
  const float dist = s1.dist(n);
  link("TRANS", 0, 'N');
  EXPECT_EQ(s1.conn_s(n), 0);
  EXPECT_EQ(s1.dist(n), dist);
}

TEST_F(LinkTree, ReadBackwardsTheSidesChange) {
  // Read from the second monomer to the first, C is looked for in the
  // current residue and N in the one before: the root gets nothing.
  link("TRANS", 1);
  const int n = row(s1, "N");
  EXPECT_EQ(s1.conn_s(n), 0);
  EXPECT_EQ(s1.id_psi(row(s1, "CA")), "?");
}

TEST_F(LinkTree, MissingLibraryOrLinkWarnsAndGoesOn) {
  int32_t ierr = -1;
  EXPECT_EQ(link("NOSUCH", 0, 'Y', &ierr), "  WARNING : link NOSUCH   not found in library.\n");
  EXPECT_EQ(ierr, 0);
  const int32_t keep = r.lll_nlink;
  r.lll_nlink = 0;
  EXPECT_EQ(link("TRANS", 0, 'Y', &ierr), "  WARNING : number of links in library = 0\n");
  EXPECT_EQ(ierr, 0);
  r.lll_nlink = keep;
  EXPECT_EQ(s1.conn_s(row(s1, "N")), 0);
}

}  // namespace
