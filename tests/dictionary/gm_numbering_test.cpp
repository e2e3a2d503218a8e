// Renumbering L1 and L2 from atom names and compressing L1 after a match.
#include "dictionary/gm_numbering.h"

#include <gtest/gtest.h>

#include "descr_builder.h"

namespace {

// Alanine with its angle, torsion, chiral centre and carboxyl plane.
void alanine_full() {
  descr::alanine_l1();
  descr::add_l1_angle("N", "CA", "C", 111.2f);
  descr::add_l1_tors("N", "CA", "C", "O", 180.0f, "psi");
  descr::add_l1_chir("CA", "N", "C", "CB", "positiv");
  descr::add_l1_plane("plan-1", {"CA", "C", "O", "OXT"});
  int32_t ierr = 0;
  set_num_l1_gm_(0, ierr);
}

}  // namespace

TEST(GmNumbering, NamesResolvedToNumbersAndUnknownNamesToZero) {
  alanine_full();
  descr::add_l1_bond("CA", "HA", 0.98f);  // HA is not an atom of this L1
  int32_t ierr = 0;
  set_num_l1_gm_(0, ierr);
  r_scratch_t& r = r_scratch;
  EXPECT_EQ(r.l1b_i1atm(5), 3);
  EXPECT_EQ(r.l1b_i2atm(5), 6);
  EXPECT_EQ(r.l1b_i1atm(6), 2);
  EXPECT_EQ(r.l1b_i2atm(6), 0);
  EXPECT_EQ(r.l1t_i4atm(1), 4);
  EXPECT_EQ(r.l1c_i4atm(1), 5);
  EXPECT_EQ(r.l1c_i5atm(1), 0);
  EXPECT_EQ(r.l1p_iatom(4, 1), 6);
  EXPECT_EQ(r.l1a_iback(2), 1);
  EXPECT_EQ(r.l1a_iforw(2), 3);
}

TEST(GmNumbering, TheLaterOfTwoEqualNamesWins) {
  alanine_full();
  r_scratch.l1a_aname(6) = "O";  // OXT renamed to a second O
  int32_t ierr = 0;
  set_num_l1_gm_(0, ierr);
  EXPECT_EQ(r_scratch.l1b_i2atm(4), 6);
  EXPECT_EQ(r_scratch.l1t_i4atm(1), 6);
}

TEST(GmNumbering, UnmatchedAtomDroppedWithEveryRecordNamingIt) {
  alanine_full();
  r_scratch.l1a_aname(5) = "????";  // CB matched nothing
  int32_t ierr = 0;
  set_num_l1_gm_(0, ierr);
  compress_l1_gm_(0, ierr);
  r_scratch_t& r = r_scratch;
  EXPECT_EQ(r.l1a_natom, 5);
  EXPECT_EQ(r.l1a_aname(5), "OXT");
  EXPECT_EQ(r.l1b_nbond, 4);
  EXPECT_EQ(r.l1b_2atm(3), "O");
  EXPECT_EQ(r.l1c_nchir, 0);
  // Numbers are those of before the compression until the next renumbering.
  EXPECT_EQ(r.l1b_i2atm(4), 6);
  set_num_l1_gm_(0, ierr);
  EXPECT_EQ(r.l1b_i2atm(4), 5);
}

TEST(GmNumbering, PlaneKeptWithFourAtomsAndDroppedWithThree) {
  alanine_full();
  descr::add_l1_plane("plan-2", {"N", "CA", "C", "O", "CB"});
  int32_t ierr = 0;
  set_num_l1_gm_(0, ierr);
  r_scratch.l1a_aname(6) = "????";
  set_num_l1_gm_(0, ierr);  // OXT leaves plane 1 with three numbered atoms
  compress_l1_gm_(0, ierr);
  EXPECT_EQ(r_scratch.l1p_nplan, 1);
  EXPECT_EQ(r_scratch.l1p_label(1), "plan-2");
  EXPECT_EQ(r_scratch.l1p_natom(1), 5);
}

TEST(GmNumbering, CrossCentreNeedsOnlyItsCentre) {
  const struct {
    const char* label;
    const char* sign;
    int kept;
  } cases[] = {{"cross4 centre", "cross4", 1}, {"positive centre", "positiv", 0}};
  for (const auto& c : cases) {
    alanine_full();
    r_scratch.l1c_sign(1) = c.sign;
    r_scratch.l1c_i2atm(1) = 0;
    int32_t ierr = 0;
    compress_l1_gm_(0, ierr);
    EXPECT_EQ(r_scratch.l1c_nchir, c.kept) << c.label;
  }
}
