// Tree renumbering and validation after an edit, and moving the ends of the
// main chain, on the heavy atoms of alanine (N-CA-C main chain).
#include <gtest/gtest.h>

#include "descr_builder.h"
#include "dictionary/tree_backbone.h"
#include "dictionary/tree_renumber.h"
#include "support/capture.h"

namespace {

int32_t renumber(std::string* out = nullptr, const char* pnum = "            ") {
  int32_t ierr = -1;
  const std::string text = captured([&] { set_num_mod_(0, "ALA     ", pnum, ierr); });
  if (out) *out = text;
  return ierr;
}

}  // namespace

TEST(TreeRenumber, SoundTreeResolvedAndMainChainMarked) {
  descr::alanine_l1();
  std::string out;
  EXPECT_EQ(renumber(&out), 0);
  EXPECT_EQ(out, "");
  r_scratch_t& r = r_scratch;
  EXPECT_EQ(r.l1a_istart, 1);
  EXPECT_EQ(r.l1a_ifinish, 3);
  EXPECT_EQ(r.l1a_iback(5), 2);
  EXPECT_EQ(r.l1a_iforw(3), -1);
  const int ndist[] = {1, 1, 0, 0, 0, 0};
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(r.l1a_ndist(i), ndist[i - 1]) << i;
  EXPECT_EQ(r.l1a_id_psi(4).view(), "?       ");
  EXPECT_FLOAT_EQ(r.l1a_length(4), -1.0f);
}

TEST(TreeRenumber, EmptyDescriptionHasNeitherEnd) {
  descr::clear_l1();
  std::string out;
  EXPECT_EQ(renumber(&out), 1);
  EXPECT_EQ(out,
            "  WARNING : ALA      : first atom of the tree is absent\n"
            "  WARNING : ALA      : last atom of the tree is absent\n");
}

TEST(TreeRenumber, EveryDuplicatedPairReportedAndLowestIndexUsed) {
  descr::alanine_l1();
  r_scratch.l1a_aname(5) = "CA";
  r_scratch.l1a_aname(6) = "CA";
  std::string out;
  EXPECT_EQ(renumber(&out, "A12         "), 1);
  const std::string line = "  WARNING : ALA      A12          : duplicated atom_name : CA\n";
  EXPECT_EQ(out, line + line + line);
  EXPECT_EQ(r_scratch.l1a_iback(3), 2);
}

TEST(TreeRenumber, AbsentBackAtomDetachesHydrogenButNotCarbon) {
  descr::alanine_l1();
  descr::add_l1_atom({"HXT", "H", "H", "OX1", "", 0, 0, 0});
  std::string out;
  EXPECT_EQ(renumber(&out), 0);
  EXPECT_EQ(r_scratch.l1a_back(7), ".");
  EXPECT_EQ(r_scratch.l1a_forw(7), ".");
  EXPECT_EQ(r_scratch.l1a_iback(7), 0);
  r_scratch.l1a_natom = 6;
  r_scratch.l1a_back(5) = "CX";
  r_scratch.l1a_forw(4).blank();
  EXPECT_EQ(renumber(&out), 1);
  EXPECT_EQ(out, "  WARNING : ALA      : back_atom for CB   is absent\n");
  EXPECT_EQ(r_scratch.l1a_forw(4), ".");
}

TEST(TreeRenumber, ForwardAtomMustHangOnItsAtom) {
  descr::alanine_l1();
  r_scratch.l1a_forw(2) = "O";  // O hangs on C, not on CA
  r_scratch.l1a_forw(1) = "XX";
  std::string out;
  EXPECT_EQ(renumber(&out), 1);
  EXPECT_EQ(out,
            "  WARNING : ALA      : forward_atom for N    is absent\n"
            "  WARNING : ALA      : atom CA   has wrong forward_atom O\n");
}

TEST(TreeRenumber, TwoFirstAtomsAndTwoLastAtoms) {
  descr::alanine_l1();
  r_scratch.l1a_back(5) = ".";
  std::string out;
  EXPECT_EQ(renumber(&out), 1);
  EXPECT_EQ(out, "  WARNING : ALA      : wrong definition of first atom of the tree\n");
  EXPECT_EQ(r_scratch.l1a_istart, 5);
  r_scratch.l1a_back(5) = "CA";
  r_scratch.l1a_forw(6) = "END1";  // "END" on three characters marks a last atom
  EXPECT_EQ(renumber(&out), 1);
  EXPECT_EQ(out, "  WARNING : ALA      : multiple definition of last atom of the tree\n");
  EXPECT_EQ(r_scratch.l1a_ifinish, 6);
}

TEST(TreeRenumber, MainChainThroughADetachedHydrogenIsReported) {
  descr::clear_l1();
  descr::add_l1_atom({"N", "N", "NH1", ".", ".", 0, 0, 0});
  descr::add_l1_atom({"H1", "H", "H", "NX", "C", 0, 0, 0});
  descr::add_l1_atom({"C", "C", "C", "H1", "END", 0, 0, 0});
  std::string out;
  EXPECT_EQ(renumber(&out), 1);
  EXPECT_EQ(out, "  WARNING : ALA      : main chain of the tree does not reach its first atom\n");
}

TEST(TreeBackbone, NewFirstAtomReversesThePathToTheOldOne) {
  descr::alanine_l1();
  r_scratch_t& r = r_scratch;
  r.l1a_type(2) = "T-CA";
  renumber();
  int32_t ierr = -1;
  mod_tree_backbone_(1, 5, 0, ierr);  // CB
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(r.l1a_istart, 5);
  EXPECT_EQ(r.l1a_back(5), ".");
  EXPECT_EQ(r.l1a_iback(5), -1);
  EXPECT_EQ(r.l1a_back(2), "CB");
  EXPECT_EQ(r.l1a_back(1), "CA");
  EXPECT_EQ(r.l1a_forw(1), ".");
  EXPECT_EQ(r.l1a_type(2), ".");
  EXPECT_EQ(r.l1a_type(1), "T-CA");
  // The main chain now runs CB-CA-C.
  EXPECT_EQ(r.l1a_forw(5), "CA");
  EXPECT_EQ(r.l1a_forw(2), "C");
}

TEST(TreeBackbone, NewLastAtomKeepsTheOldLastAtomOnItsPath) {
  descr::alanine_l1();
  renumber();
  r_scratch_t& r = r_scratch;
  int32_t ierr = -1;
  mod_tree_backbone_(2, 0, 6, ierr);  // OXT hangs on the old last atom C
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(r.l1a_ifinish, 6);
  EXPECT_EQ(r.l1a_forw(6), "END");
  EXPECT_EQ(r.l1a_forw(3), "OXT");
  EXPECT_EQ(r.l1a_iforw(3), 6);
  EXPECT_EQ(renumber(), 0);
}

TEST(TreeBackbone, NewLastAtomOffThePathClearsTheOldEnd) {
  descr::alanine_l1();
  renumber();
  int32_t ierr = -1;
  mod_tree_backbone_(2, 0, 5, ierr);  // CB
  EXPECT_EQ(r_scratch.l1a_forw(3), ".");
  EXPECT_EQ(r_scratch.l1a_forw(2), "CB");
  EXPECT_EQ(renumber(), 0);
}

TEST(TreeBackbone, ReversalMakesTheLastAtomFirstAndTheFirstLast) {
  descr::alanine_l1();
  r_scratch_t& r = r_scratch;
  r.l1a_type(2) = "T-CA";
  renumber();
  int32_t ierr = -1;
  mod_tree_backbone_(0, 0, 0, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(r.l1a_istart, 3);
  EXPECT_EQ(r.l1a_ifinish, 1);
  EXPECT_EQ(r.l1a_back(3), ".");
  EXPECT_EQ(r.l1a_forw(3), "CA");
  EXPECT_EQ(r.l1a_back(2), "C");
  EXPECT_EQ(r.l1a_forw(2), "N");
  EXPECT_EQ(r.l1a_back(1), "CA");
  EXPECT_EQ(r.l1a_forw(1), "END");
  EXPECT_EQ(r.l1a_type(1), "T-CA");
  EXPECT_EQ(renumber(), 0);  // the side atoms still hang where they did
}

TEST(TreeBackbone, BadIndexOrUnknownOperation) {
  descr::alanine_l1();
  renumber();
  const struct {
    const char* label;
    int itype, istart, ifinish, ierr;
  } cases[] = {
      {"first atom 0", 1, 0, 0, 1}, {"last atom 0", 2, 0, 0, 1}, {"operation 3", 3, 0, 0, 0}};
  for (const auto& c : cases) {
    int32_t ierr = -1;
    mod_tree_backbone_(c.itype, c.istart, c.ifinish, ierr);
    EXPECT_EQ(ierr, c.ierr) << c.label;
    EXPECT_EQ(r_scratch.l1a_istart, 1) << c.label;
    EXPECT_EQ(r_scratch.l1a_ifinish, 3) << c.label;
  }
}
