// Residue trees after an mmCIF read: the tree check and repair (loops cut,
// pieces joined with the gap code, forward links threaded from start to
// finish), the rebuild of entity and chain trees from author numbers, and
// the carboxy terminus from an OXT atom.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "entity_model.h"
#include "output/entity_descr.h"
#include "output/entity_tree.h"

using entity_test::auth;

namespace {

// Runs the tree check over positions off+1 .. off+n of arrays that also hold
// `off` positions before the range; back links are given as absolute
// positions, 0 for none.
struct Tree {
  int off;
  std::vector<int32_t> back, forw, type;
  int32_t start, finish;

  Tree(std::vector<int32_t> b, int32_t s, int32_t f, int offset = 0)
      : off(offset), back(b), forw(b.size(), 7), type(b.size(), 2), start(s), finish(f) {}

  int n() const { return static_cast<int>(back.size()) - off; }
  int32_t& bk(int p) { return back[p - 1]; }
  int32_t& fw(int p) { return forw[p - 1]; }
  int32_t& ty(int p) { return type[p - 1]; }

  void check() {
    int32_t ierr = 5;
    check_tree_crd_(0, 0, start, finish, off + 1, off + n(), back.data(), forw.data(), type.data(), ierr);
    EXPECT_EQ(ierr, 0);
  }

  // One tree: every position's back links lead to the start without a loop.
  testing::AssertionResult one_tree() {
    for (int i = off + 1; i <= off + n(); ++i) {
      int j = i, k = 0;
      while (bk(j) >= 1 && k <= n()) {
        j = bk(j);
        ++k;
      }
      if (k > n()) return testing::AssertionFailure() << "loop through " << i;
      if (j != start) return testing::AssertionFailure() << "root of " << i << " is " << j;
    }
    return testing::AssertionSuccess();
  }

  // Following the forward links from the start meets every position once
  // and stops at the finish, whose forward link is -1.
  testing::AssertionResult threaded() {
    std::vector<int> seen(back.size() + 1, 0);
    int p = start, last = 0;
    while (p >= off + 1 && p <= off + n()) {
      if (seen[p]) return testing::AssertionFailure() << "position " << p << " met twice";
      seen[p] = 1;
      last = p;
      p = fw(p);
    }
    if (p != -1) return testing::AssertionFailure() << "thread leaves at " << p;
    for (int i = off + 1; i <= off + n(); ++i)
      if (!seen[i]) return testing::AssertionFailure() << "position " << i << " not reached";
    if (last != finish) return testing::AssertionFailure() << "thread ends at " << last << ", finish " << finish;
    return testing::AssertionSuccess();
  }
};

}  // namespace

TEST(TreeCheck, LinearChainUnchanged) {
  Tree t({0, 1, 2, 3, 4}, 1, 5);
  t.check();
  EXPECT_EQ(t.start, 1);
  EXPECT_EQ(t.finish, 5);
  const std::vector<int32_t> back = {0, 1, 2, 3, 4}, forw = {2, 3, 4, 5, -1};
  EXPECT_EQ(t.back, back);
  EXPECT_EQ(t.forw, forw);
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(t.ty(i), 2);
}

TEST(TreeCheck, RangeInsideLargerArrays) {
  // Positions 4..6 of the arrays; 1..3 belong to someone else.
  Tree t({9, 9, 9, 0, 4, 5}, 4, 6, 3);
  t.check();
  EXPECT_EQ(t.start, 4);
  EXPECT_EQ(t.finish, 6);
  EXPECT_EQ(t.fw(4), 5);
  EXPECT_EQ(t.fw(5), 6);
  EXPECT_EQ(t.fw(6), -1);
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(t.bk(i), 9);
    EXPECT_EQ(t.fw(i), 7);
  }
}

TEST(TreeCheck, TwoPiecesJoinedWithGap) {
  Tree t({0, 1, 2, 0, 4, 5}, 1, 6);
  t.check();
  EXPECT_EQ(t.start, 1);
  EXPECT_EQ(t.finish, 6);
  EXPECT_EQ(t.bk(4), 3);
  EXPECT_EQ(t.ty(4), 10);
  const std::vector<int32_t> forw = {2, 3, 4, 5, 6, -1};
  EXPECT_EQ(t.forw, forw);
}

TEST(TreeCheck, StartPieceAfterFinishPiece) {
  // Finish piece 1..3, start piece 4..6: the finish piece follows the start
  // piece, so the old end of the start piece leads on to position 1.
  Tree t({0, 1, 2, 0, 4, 5}, 4, 3);
  t.check();
  EXPECT_EQ(t.start, 4);
  EXPECT_EQ(t.finish, 3);
  EXPECT_EQ(t.bk(1), 6);
  EXPECT_EQ(t.ty(1), 10);
  const std::vector<int32_t> forw = {2, 3, -1, 5, 6, 1};
  EXPECT_EQ(t.forw, forw);
}

TEST(TreeCheck, OtherPiecesHangFromTheRoot) {
  // Start piece 1..2, a piece 3..4, finish piece 5..6.
  Tree t({0, 1, 0, 3, 0, 5}, 1, 6);
  t.check();
  EXPECT_EQ(t.start, 1);
  EXPECT_EQ(t.bk(5), 2);  // the finish piece follows the start piece
  EXPECT_EQ(t.ty(5), 10);
  EXPECT_EQ(t.bk(3), 1);  // the middle piece is a branch from the root
  EXPECT_EQ(t.ty(3), 10);
  const std::vector<int32_t> forw = {2, 3, 4, 5, 6, -1};
  EXPECT_EQ(t.forw, forw);
  EXPECT_TRUE(t.threaded());
}

TEST(TreeCheck, MutualBackLinksAreCut) {
  Tree t({0, 3, 2, 3}, 1, 4);
  t.check();
  // The walk from 2 cuts 3 from 2; 3, now a root, is hung behind the start
  // piece with the gap code.
  EXPECT_EQ(t.bk(2), 3);
  EXPECT_EQ(t.bk(3), 1);
  EXPECT_EQ(t.ty(3), 10);
  EXPECT_EQ(t.ty(2), 2);
  EXPECT_TRUE(t.one_tree());
  EXPECT_TRUE(t.threaded());
}

TEST(TreeCheck, OwnBackNeighbourIsCut) {
  Tree t({1}, 1, 0);
  t.check();
  EXPECT_EQ(t.bk(1), 0);
  EXPECT_EQ(t.ty(1), 10);
  EXPECT_EQ(t.start, 1);
  EXPECT_EQ(t.finish, 1);
  EXPECT_EQ(t.fw(1), -1);
}

TEST(TreeCheck, LoopEnteredFromOutsideIsCutAndJoined) {
  // 1 <- 2 <- 3 <- 2 ... : 3 and 2 point at each other, 4 hangs from 3.
  Tree t({0, 3, 2, 3, 4}, 1, 5);
  t.check();
  EXPECT_TRUE(t.one_tree());
  EXPECT_TRUE(t.threaded());
}

TEST(TreeCheck, BranchesAreThreadedInOrderOfTheirEnds) {
  // 1 <- 2 <- 3 and 1 <- 4 <- 5: two branches from residue 1.
  Tree t({0, 1, 2, 1, 4}, 1, 5);
  t.check();
  const std::vector<int32_t> forw = {2, 3, 4, 5, -1};
  EXPECT_EQ(t.forw, forw);  // the end of the first branch leads to the second
  EXPECT_EQ(t.start, 1);
  EXPECT_EQ(t.finish, 5);
}

TEST(TreeCheck, MissingFinishBecomesLastEnd) {
  Tree t({0, 1, 2, 1}, 1, 0);
  t.check();
  EXPECT_EQ(t.finish, 4);
  EXPECT_EQ(t.fw(3), 4);
  EXPECT_EQ(t.fw(4), -1);
}

TEST(TreeCheck, InvalidStartReplacedByRoot) {
  Tree t({0, 1, 2}, 2, 3);  // 2 has a back neighbour: not a start
  t.check();
  EXPECT_EQ(t.start, 1);
  EXPECT_TRUE(t.threaded());
}

TEST(TreeCheck, FinishWithBranchesDoesNotCloseACircle) {
  // The finish 4 is a piece of one residue; the other pieces are hung from
  // it, so it is no end any more.  The thread must not come back to it.
  Tree t({0, 3, 0, 0, 0, 0}, 3, 4);
  t.check();
  EXPECT_TRUE(t.one_tree());
  EXPECT_TRUE(t.threaded());
  EXPECT_EQ(t.start, 3);
}

TEST(TreeCheck, BackLinkOutsideRangeStartsAPiece) {
  Tree t({0, 1, 40, 3}, 1, 4);
  t.check();
  EXPECT_EQ(t.bk(3), 2);
  EXPECT_EQ(t.ty(3), 10);
  EXPECT_TRUE(t.threaded());
}

TEST(TreeCheck, AnyBackLinksGiveOneThreadedTree) {
  // Random back links (roots, loops, links out of the range) and random
  // start and finish: the result is always one tree, threaded once through.
  std::mt19937 rng(20240611);
  for (int iter = 0; iter < 20000; ++iter) {
    const int n = 1 + static_cast<int>(rng() % (iter % 4 == 0 ? 25 : 7));
    const int off = static_cast<int>(rng() % 3);
    std::vector<int32_t> b(off + n, 0);
    for (int i = off; i < off + n; ++i) {
      const int r = static_cast<int>(rng() % 10);
      b[i] = r < 3 ? 0 : (r < 9 ? off + 1 + static_cast<int>(rng() % n) : off + n + 3);
    }
    const int32_t s = rng() % 3 == 0 ? 0 : off + 1 + static_cast<int32_t>(rng() % n);
    const int32_t f = rng() % 3 == 0 ? 0 : off + 1 + static_cast<int32_t>(rng() % n);
    Tree t(b, s, f, off);
    t.check();
    ASSERT_TRUE(t.one_tree()) << "iteration " << iter;
    ASSERT_TRUE(t.threaded()) << "iteration " << iter;
    for (int i = off + 1; i <= off + n; ++i) {
      if (t.bk(i) != b[i - 1]) {
        ASSERT_EQ(t.ty(i), 10) << "iteration " << iter << " position " << i;
      }
    }
  }
}

namespace {

class EntityTree : public entity_test::Model {
 protected:
  // Entity e over sequence positions [first, first + names.size()), numbered
  // from num0; back numbers: the number before, "." for the first.
  int entity(std::vector<const char*> names, int num0, int32_t ich_type = 3) {
    const int e = ++cif_entity_list.n_chn_ent;
    const int first = cif_ent_poly_seq.ent_nresidue + 1;
    cif_entity_list.ent_nres_chain(e) = static_cast<int32_t>(names.size());
    cif_entity_list.ent_ires_first(e) = first;
    cif_entity_list.ent_ichain_type(e) = ich_type;
    cif_entity_list.ent_iterm_s_type(e) = 2;
    cif_entity_list.ent_iterm_f_type(e) = 2;
    cif_entity_list.ent_res_start_tree(e) = auth(num0);
    cif_entity_list.ent_res_end_tree(e) = auth(num0 + static_cast<int>(names.size()) - 1);
    for (std::size_t k = 0; k < names.size(); ++k) {
      const int p = ++cif_ent_poly_seq.ent_nresidue;
      cif_ent_poly_seq.ent_res_name(p) = names[k];
      cif_ent_poly_seq.ent_res_auth_num(p) = auth(num0 + static_cast<int>(k));
      if (k == 0)
        cif_ent_poly_seq.ent_res_auth_bnum(p) = ".";
      else
        cif_ent_poly_seq.ent_res_auth_bnum(p) = auth(num0 + static_cast<int>(k) - 1);
      cif_ent_poly_seq.ent_iconn_type(p) = k == 0 ? 1 : 3;
      cif_ent_poly_seq.ent_ires_back(p) = 0;
      cif_ent_poly_seq.ent_ires_forw(p) = 0;
    }
    return e;
  }

  void assign(int g, int e) {
    const int a = ++cif_asym_part.n_grp_asm;
    cif_asym_part.asm_chain_pointer(a) = e;
    asym_part.igroup_asm(g) = a;
  }

  int entity_link(int e, int n1, int n2) {
    const int l = ++cif_ent_link.ent_ln_n;
    cif_ent_link.ent_ln_ichain(l) = e;
    cif_ent_link.ent_ln_auth_num1(l) = auth(n1);
    cif_ent_link.ent_ln_auth_num2(l) = auth(n2);
    return l;
  }

  // The model residues of chain g lose their trees, as a reader leaves them.
  void flatten(int g) {
    for (int k = 0; k < asym_part.nres_chain(g); ++k) {
      const int r = asym_part.ires_first(g) + k;
      resid_inf.ires_back(r) = 0;
      resid_inf.ires_forw(r) = 0;
      resid_inf.iconn_type(r) = 1;
    }
    asym_part.ich_type(g) = 2;
  }

  int32_t copy() {
    int32_t ierr = 9;
    copy_entity_tree_(0, ierr);
    return ierr;
  }
};

}  // namespace

TEST_F(EntityTree, WithoutEntitiesTheDescriptionIsBuilt) {
  chain("AA", 3, {"ALA", "GLY", "SER"});
  EXPECT_EQ(copy(), 0);
  EXPECT_EQ(cif_entity_list.n_chn_ent, 1);
  EXPECT_EQ(cif_ent_poly_seq.ent_nresidue, 3);
  EXPECT_EQ(asym_part.igroup_asm(1), 1);
}

TEST_F(EntityTree, WithoutAssemblyGroupsTheDescriptionIsBuilt) {
  chain("AA", 3, {"ALA", "GLY", "SER"});
  entity({"TRP"}, 1);
  cif_entity_list.ent_chain_id(1) = "QQ";
  EXPECT_EQ(copy(), 0);
  EXPECT_EQ(cif_entity_list.n_chn_ent, 1);
  EXPECT_EQ(cif_entity_list.ent_chain_id(1).str(), "AA  ");
  EXPECT_EQ(cif_ent_poly_seq.ent_res_name(1).trimmed(), "ALA");
}

TEST_F(EntityTree, FailedBuildReturnsItsStatus) {
  const int g = chain("AA", 3, {"ALA"});
  asym_part.nres_chain(g) = 0;
  int32_t ierr = 0;
  const std::string out = entity_test::captured([&] { ierr = copy(); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(out, "  ERROR: N-residues = 0\n");
}

TEST_F(EntityTree, NoChainsNothingHappens) {
  cif_entity_list.n_chn_ent = 0;
  EXPECT_EQ(copy(), 0);
  EXPECT_EQ(cif_entity_list.n_chn_ent, 0);
}

TEST_F(EntityTree, EntityTreeAndChainTreeFromAuthorNumbers) {
  const int w = chain("W", 9, {"HOH", "HOH"});
  const int g = chain("A", 3, {"ALA", "GLY", "SER"}, 5);  // residues 3..5
  flatten(g);
  const int e = entity({"ALA", "GLY", "SER"}, 5);  // positions 1..3
  const int ew = ++cif_entity_list.n_chn_ent;      // water entity, no sequence
  cif_entity_list.ent_nres_chain(ew) = 0;
  assign(w, ew);
  assign(g, e);
  const int l = entity_link(e, 5, 7);
  EXPECT_EQ(copy(), 0);
  // The entity's own tree.
  EXPECT_EQ(cif_entity_list.ent_ires_start_tree(e), 1);
  EXPECT_EQ(cif_entity_list.ent_ires_end_tree(e), 3);
  EXPECT_EQ(cif_entity_list.ent_res_start_tree(e).str(), auth(5));
  EXPECT_EQ(cif_entity_list.ent_res_end_tree(e).str(), auth(7));
  const int eb[3] = {0, 1, 2}, ef[3] = {2, 3, -1};
  for (int p = 1; p <= 3; ++p) {
    EXPECT_EQ(cif_ent_poly_seq.ent_ires_back(p), eb[p - 1]) << p;
    EXPECT_EQ(cif_ent_poly_seq.ent_ires_forw(p), ef[p - 1]) << p;
  }
  EXPECT_EQ(cif_ent_link.ent_ln_1ires(l), 1);
  EXPECT_EQ(cif_ent_link.ent_ln_2ires(l), 3);
  EXPECT_EQ(cif_ent_link.ent_ln_1rnam(l).trimmed(), "ALA");
  EXPECT_EQ(cif_ent_link.ent_ln_2rnam(l).trimmed(), "SER");
  // The chain takes it over, at its own residue indexes.
  EXPECT_EQ(asym_part.ich_type(g), 3);
  EXPECT_EQ(asym_part.iterm_s_type(g), 2);
  EXPECT_EQ(asym_part.iterm_f_type(g), 2);
  EXPECT_EQ(asym_part.ires_start_tree(g), 3);
  EXPECT_EQ(asym_part.ires_end_tree(g), 5);
  const int rb[3] = {0, 3, 4}, rf[3] = {4, 5, -1}, rc[3] = {1, 3, 3};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(resid_inf.ires_back(3 + k), rb[k]) << k;
    EXPECT_EQ(resid_inf.ires_forw(3 + k), rf[k]) << k;
    EXPECT_EQ(resid_inf.iconn_type(3 + k), rc[k]) << k;
  }
  // The water chain is not touched.
  EXPECT_EQ(asym_part.ich_type(w), 9);
}

TEST_F(EntityTree, ResidueMissingFromEntityBecomesGapPiece) {
  const int g = chain_nums("A", 3, {"ALA", "GLY", "XXX", "SER"}, {1, 2, 9, 3});  // residues 1..4
  flatten(g);
  const int e = entity({"ALA", "GLY", "SER"}, 1);
  assign(g, e);
  EXPECT_EQ(copy(), 0);
  // Residue 3 (number 9) has no entity position: a piece of its own, hung
  // from the root with the gap code; residue 4 follows residue 2.
  EXPECT_EQ(resid_inf.ires_back(3), 1);
  EXPECT_EQ(resid_inf.iconn_type(3), 10);
  EXPECT_EQ(resid_inf.ires_back(4), 2);
  EXPECT_EQ(resid_inf.iconn_type(4), 3);
  EXPECT_EQ(asym_part.ires_start_tree(g), 1);
  EXPECT_EQ(asym_part.ires_end_tree(g), 4);
  EXPECT_EQ(resid_inf.ires_forw(1), 3);
  EXPECT_EQ(resid_inf.ires_forw(3), 2);
  EXPECT_EQ(resid_inf.ires_forw(2), 4);
  EXPECT_EQ(resid_inf.ires_forw(4), -1);
}

TEST_F(EntityTree, SingleResidueEntityLeavesChainAlone) {
  const int g = chain("A", 3, {"ALA"}, 1, 3, 3);
  asym_part.ich_type(g) = 10;
  const int e = entity({"ALA"}, 1, 4);
  assign(g, e);
  EXPECT_EQ(copy(), 0);
  EXPECT_EQ(asym_part.ich_type(g), 10);
  EXPECT_EQ(asym_part.iterm_s_type(g), 3);
  EXPECT_EQ(asym_part.iterm_f_type(g), 3);
  EXPECT_EQ(asym_part.ires_start_tree(g), 1);
}

TEST_F(EntityTree, EntitiesWithSameNumbersKeepTheirOwnResidues) {
  const int ga = chain("A", 3, {"ALA", "GLY"});
  const int gb = chain("B", 3, {"TRP", "TYR"});
  const int ea = entity({"ALA", "GLY"}, 1);  // positions 1, 2
  const int eb = entity({"TRP", "TYR"}, 1);  // positions 3, 4
  assign(ga, ea);
  assign(gb, eb);
  const int la = entity_link(ea, 1, 2);
  const int lb = entity_link(eb, 1, 2);
  EXPECT_EQ(copy(), 0);
  EXPECT_EQ(cif_ent_link.ent_ln_1ires(la), 1);
  EXPECT_EQ(cif_ent_link.ent_ln_2ires(la), 2);
  EXPECT_EQ(cif_ent_link.ent_ln_1ires(lb), 3);
  EXPECT_EQ(cif_ent_link.ent_ln_2ires(lb), 4);
  EXPECT_EQ(cif_ent_link.ent_ln_2rnam(lb).trimmed(), "TYR");
  EXPECT_EQ(cif_ent_poly_seq.ent_ires_back(4), 3);
  EXPECT_EQ(resid_inf.ires_back(4), 3);
}

TEST_F(EntityTree, StartNotFoundFallsBackToRootOfTree) {
  const int g = chain("A", 3, {"ALA", "GLY", "SER"});
  const int e = entity({"ALA", "GLY", "SER"}, 1);
  assign(g, e);
  cif_entity_list.ent_res_start_tree(e) = auth(40);
  cif_entity_list.ent_ires_start_tree(e) = 2;  // not a root: replaced
  EXPECT_EQ(copy(), 0);
  EXPECT_EQ(cif_entity_list.ent_ires_start_tree(e), 1);
  EXPECT_EQ(cif_entity_list.ent_res_start_tree(e).str(), auth(1));
}

TEST_F(EntityTree, RepeatedAuthorNumberTakesTheLastPosition) {
  const int g = chain("A", 3, {"ALA", "GLY", "SER"});
  const int e = entity({"ALA", "GLY", "SER"}, 1);
  assign(g, e);
  // Positions 2 and 3 both carry number 2; position 3 names 2 as its back
  // number, which finds itself (the last position with 2): a loop that the
  // tree check cuts and joins again behind position 2.
  cif_ent_poly_seq.ent_res_auth_num(3) = auth(2);
  cif_ent_poly_seq.ent_res_auth_bnum(3) = auth(2);
  cif_entity_list.ent_res_end_tree(e) = auth(2);
  const int l = entity_link(e, 1, 2);
  EXPECT_EQ(copy(), 0);
  EXPECT_EQ(cif_ent_link.ent_ln_2ires(l), 3);
  EXPECT_EQ(cif_ent_link.ent_ln_2rnam(l).trimmed(), "SER");
  EXPECT_EQ(cif_entity_list.ent_ires_end_tree(e), 3);
  EXPECT_EQ(cif_ent_poly_seq.ent_ires_back(3), 2);
  EXPECT_EQ(cif_ent_poly_seq.ent_iconn_type(3), 10);
  EXPECT_EQ(cif_ent_poly_seq.ent_ires_forw(2), 3);
}

class Terminus : public entity_test::Model {};

TEST_F(Terminus, OxtGivesCarboxyTerminus) {
  const int g = chain("AA", 3, {"ALA", "GLY"});
  atom_inf.atm_name(2) = "OXT";
  for (int32_t code : {1, 2, 7}) {
    asym_part.iterm_f_type(g) = code;
    int32_t ierr = 5;
    check_terminus_(0, ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(asym_part.iterm_f_type(g), 2) << code;
  }
  for (int32_t code : {3, 6, 8}) {
    asym_part.iterm_f_type(g) = code;
    int32_t ierr = 5;
    check_terminus_(0, ierr);
    EXPECT_EQ(asym_part.iterm_f_type(g), code);
  }
}

TEST_F(Terminus, EntityCodeFollowsButNotItsWord) {
  const int g = chain("AA", 10, {"ALA", "GLY"});
  atom_inf.atm_name(2) = "OXT";
  cif_entity_list.n_chn_ent = 1;
  cif_entity_list.ent_iterm_f_type(1) = 7;
  cif_entity_list.ent_term_f_type(1) = "TERMINUS";
  cif_asym_part.n_grp_asm = 1;
  cif_asym_part.asm_chain_pointer(1) = 1;
  asym_part.igroup_asm(g) = 1;
  int32_t ierr = 5;
  check_terminus_(0, ierr);
  EXPECT_EQ(asym_part.iterm_f_type(g), 2);
  EXPECT_EQ(cif_entity_list.ent_iterm_f_type(1), 2);
  EXPECT_EQ(cif_entity_list.ent_term_f_type(1).trimmed(), "TERMINUS");
}

TEST_F(Terminus, OnlyRealOxtOfPeptideOrPolymerEnd) {
  const int a = chain("AA", 3, {"ALA", "GLY"});
  atom_inf.atm_name(2) = "OXT";
  atom_inf.atm_type(2) = "U";  // not a real atom
  const int b = chain("BB", 5, {"DA", "DC"});
  atom_inf.atm_name(4) = "OXT";
  const int c = chain("CC", 4, {"ALA", "GLY"});
  atom_inf.atm_name(5) = "OXT";  // not in the end residue
  int32_t ierr = 0;
  check_terminus_(0, ierr);
  EXPECT_EQ(asym_part.iterm_f_type(a), 1);
  EXPECT_EQ(asym_part.iterm_f_type(b), 1);
  EXPECT_EQ(asym_part.iterm_f_type(c), 1);
  atom_inf.atm_type(2) = "D";
  check_terminus_(0, ierr);
  EXPECT_EQ(asym_part.iterm_f_type(a), 1);
}
