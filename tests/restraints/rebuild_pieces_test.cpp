// Two pieces of the rebuild called on their own: the children of one library
// atom's copies, and the start of a tree whose only reference is the start
// atom's last child (put along +x when it is missing itself).
#include <gtest/gtest.h>

#include <string>

#include "monomer_fixture.h"
#include "restraints/rebuild_start.h"
#include "restraints/rebuild_tree.h"

namespace {

class RebuildPieces : public testing::Test {
 protected:
  // Residue 34 of 2BEG chain A (a leucine) as the kept residue, every
  // internal coordinate from its own atoms, the named atoms then removed.
  void kept(std::initializer_list<const char*> drop) {
    fixture::monomer_in_l1("LEU");
    fixture::monomer_to_l2();
    truth = fixture::pdb_residue("2BEG.pdb", 'A', 34);
    fixture::residue_in_slot(s2, truth, "LEU", 100);
    fixture::internal_coordinates(s2, r.l2a_istart);
    for (const char* name : drop) {
      const int i = row(name);
      ASSERT_GT(i, 0) << name;
      s2.atype(i) = "M";
      s2.xyz(1, i) = s2.xyz(2, i) = s2.xyz(3, i) = 0.0f;
    }
  }
  int row(const char* name) const {
    for (int i = 1; i <= s2.igatm; ++i)
      if (s2.aname(i) == name) return i;
    return 0;
  }
  int library_atom(const char* name) const {
    for (int l = 1; l <= r.l2a_natom; ++l)
      if (r.l2a_aname(l) == name) return l;
    return 0;
  }
  float off(const char* name) const {
    return fixture::distance(s2.xyz.column(row(name)), truth.at(name).x);
  }

  r_scratch_t& r = r_scratch;
  restraints::WorkSlot s2 = restraints::slot2();
  fixture::Residue truth;
  int32_t na_rebld = 0, ierr = -1;
};

TEST_F(RebuildPieces, OneAtomsChildrenComeBackWhereTheyWereAndNothingElse) {
  kept({"HB2", "HB3", "HG", "HA"});
  const int cb = library_atom("CB");
  ASSERT_GT(cb, 0);
  rebuild_atom_(0, ' ', cb, 'Y', 'Y', 'A', 'N', na_rebld, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(na_rebld, 2);
  for (const char* h : {"HB2", "HB3"}) {
    EXPECT_EQ(s2.atype(row(h)), "R") << h;
    EXPECT_LT(off(h), 0.01f) << h;
  }
  // Hydrogens of other atoms wait for their own atom's turn.
  EXPECT_EQ(s2.atype(row("HG")), "M");
  EXPECT_EQ(s2.atype(row("HA")), "M");
}

TEST_F(RebuildPieces, OneAtomsChildrenNeedItsPermission) {
  kept({"HB2", "HB3"});
  rebuild_atom_(0, ' ', library_atom("CB"), 'Y', 'Y', 'N', 'N', na_rebld, ierr);
  EXPECT_EQ(na_rebld, 0);
  EXPECT_EQ(s2.atype(row("HB2")), "M");
}

TEST_F(RebuildPieces, MissingLastChildOfTheStartGoesAlongXUnoccupied) {
  kept({"CA", "H"});
  const int n = row("N"), ca = row("CA");
  ASSERT_EQ(s2.ilib(n), r.l2a_istart);
  ASSERT_EQ(s2.conn_from_end(n, 1), ca) << "CA is the start's last child";
  const float bond = s2.dist(ca);
  ASSERT_GT(bond, 1.3f);
  s2.biso(n) = 17.0f;
  rebuild_13b_(0, n, ca, 'A', 'Y', na_rebld, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_FLOAT_EQ(s2.xyz(1, ca), s2.xyz(1, n) + bond);
  EXPECT_FLOAT_EQ(s2.xyz(2, ca), s2.xyz(2, n));
  EXPECT_FLOAT_EQ(s2.xyz(3, ca), s2.xyz(3, n));
  EXPECT_EQ(s2.occ(ca), 0.0f);
  EXPECT_EQ(s2.biso(ca), 17.0f);
  EXPECT_EQ(s2.atype(ca), "R");
  // The start's other child is then placed on the new reference.
  EXPECT_EQ(s2.atype(row("H")), "R");
  EXPECT_NEAR(fixture::distance(s2.xyz.column(row("H")), s2.xyz.column(n)), s2.dist(row("H")), 1e-3);
  EXPECT_EQ(na_rebld, 2);
}

TEST_F(RebuildPieces, StartsOtherChildrenKeepTheirBondAndAngleToThePresentLastChild) {
  kept({"H"});
  const int n = row("N"), ca = row("CA"), h = row("H");
  rebuild_13b_(0, n, ca, 'A', 'N', na_rebld, ierr);
  EXPECT_EQ(na_rebld, 1);
  EXPECT_EQ(s2.atype(h), "R");
  EXPECT_NEAR(fixture::distance(s2.xyz.column(h), s2.xyz.column(n)), s2.dist(h), 1e-3);
  const double angle = fixture::angle(fixture::at(s2, h), fixture::at(s2, n), fixture::at(s2, ca));
  EXPECT_NEAR(angle, fixture::angle(fixture::V{truth.at("H").x[0], truth.at("H").x[1], truth.at("H").x[2]},
                                    fixture::V{truth.at("N").x[0], truth.at("N").x[1], truth.at("N").x[2]},
                                    fixture::V{truth.at("CA").x[0], truth.at("CA").x[1], truth.at("CA").x[2]}),
              1.0);
  EXPECT_EQ(s2.occ(h), s2.occ(n)) << "a hydrogen on the start takes the start's occupancy";
  // CA was present and stays where it is.
  EXPECT_LT(off("CA"), 1e-4f);
}

TEST_F(RebuildPieces, AnUnusableStartPlacesNothing) {
  kept({"N", "CA"});
  rebuild_13b_(0, row("N"), row("CA"), 'A', 'Y', na_rebld, ierr);
  EXPECT_EQ(na_rebld, 0);
  EXPECT_EQ(s2.atype(row("CA")), "M");
}

}  // namespace
