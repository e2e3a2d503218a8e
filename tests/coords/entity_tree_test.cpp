// Residue trees after an mmCIF read: the tree check and repair (loops cut,
// pieces joined with the gap code, forward links threaded from start to
// finish), the rebuild of entity and chain trees from author numbers, and
// the carboxy terminus from an OXT atom.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "entity_model.h"
#include "coords/entity_descr.h"
#include "coords/entity_tree.h"

using entity_test::auth;
using entity_test::Ints;
using entity_test::Views;

namespace {

// Runs the tree check over positions off+1 .. size of arrays that also hold
// `off` positions before the range (forward links 7, codes 2 to begin with);
// back links are absolute positions, 0 for none.
struct Tree {
  int off;
  Ints back, forw, type;
  int32_t start, finish;

  Tree(Ints b, int32_t s, int32_t f, int offset)
      : off(offset), back(b), forw(b.size(), 7), type(b.size(), 2), start(s), finish(f) {
    int32_t ierr = 5;
    check_tree_crd_(0, 0, start, finish, off + 1, static_cast<int32_t>(back.size()), back.data(), forw.data(),
                    type.data(), ierr);
    EXPECT_EQ(ierr, 0);
  }

  // One tree whose back links all lead to the start without a loop, and a
  // thread of forward links from the start meeting every position once and
  // ending at the finish with -1.
  testing::AssertionResult sound() const {
    const int n = static_cast<int>(back.size()) - off;
    for (int i = off + 1; i <= off + n; ++i) {
      int j = i, k = 0;
      for (; back[j - 1] >= 1 && k <= n; ++k) j = back[j - 1];
      if (k > n) return testing::AssertionFailure() << "loop through " << i;
      if (j != start) return testing::AssertionFailure() << "root of " << i << " is " << j;
    }
    std::vector<int> seen(back.size() + 1, 0);
    int p = start, last = 0;
    for (; p >= off + 1 && p <= off + n; p = forw[p - 1]) {
      if (seen[p]++) return testing::AssertionFailure() << "position " << p << " met twice";
      last = p;
    }
    if (p != -1) return testing::AssertionFailure() << "thread leaves at " << p;
    for (int i = off + 1; i <= off + n; ++i)
      if (!seen[i]) return testing::AssertionFailure() << "position " << i << " not reached";
    if (last != finish) return testing::AssertionFailure() << "thread ends at " << last << ", finish " << finish;
    return testing::AssertionSuccess();
  }
};

}  // namespace

TEST(TreeCheck, RepairsAndThreads) {
  // Empty wanted arrays are not checked; start and finish 0 neither.
  struct Case {
    const char* what;
    Ints back;
    int32_t s, f;
    int off;
    int32_t want_s, want_f;
    Ints want_back, want_forw, want_type;
  } cases[] = {
      {"linear chain unchanged", {0, 1, 2, 3, 4}, 1, 5, 0, 1, 5,
       {0, 1, 2, 3, 4}, {2, 3, 4, 5, -1}, {2, 2, 2, 2, 2}},
      {"range inside larger arrays", {9, 9, 9, 0, 4, 5}, 4, 6, 3, 4, 6,
       {9, 9, 9, 0, 4, 5}, {7, 7, 7, 5, 6, -1}, {2, 2, 2, 2, 2, 2}},
      {"two pieces joined with the gap code", {0, 1, 2, 0, 4, 5}, 1, 6, 0, 1, 6,
       {0, 1, 2, 3, 4, 5}, {2, 3, 4, 5, 6, -1}, {2, 2, 2, 10, 2, 2}},
      // The finish piece 1..3 follows the start piece 4..6.
      {"start piece after finish piece", {0, 1, 2, 0, 4, 5}, 4, 3, 0, 4, 3,
       {6, 1, 2, 0, 4, 5}, {2, 3, -1, 5, 6, 1}, {10, 2, 2, 2, 2, 2}},
      // The finish piece 5..6 follows the start piece; the middle one hangs
      // from the root.
      {"other pieces hang from the root", {0, 1, 0, 3, 0, 5}, 1, 6, 0, 1, 6,
       {0, 1, 1, 3, 2, 5}, {2, 3, 4, 5, 6, -1}, {2, 2, 10, 2, 10, 2}},
      // The walk from 2 cuts 3 from 2; 3 is hung behind the start piece.
      {"mutual back links cut", {0, 3, 2, 3}, 1, 4, 0, 0, 0, {0, 3, 1, 3}, {}, {2, 2, 10, 2}},
      {"own back neighbour cut", {1}, 1, 0, 0, 1, 1, {0}, {-1}, {10}},
      {"loop entered from outside", {0, 3, 2, 3, 4}, 1, 5, 0, 0, 0, {}, {}, {}},
      {"branches threaded in order of their ends", {0, 1, 2, 1, 4}, 1, 5, 0, 1, 5, {}, {2, 3, 4, 5, -1}, {}},
      {"missing finish becomes last end", {0, 1, 2, 1}, 1, 0, 0, 1, 4, {}, {2, 3, 4, -1}, {}},
      {"start with a back neighbour replaced by the root", {0, 1, 2}, 2, 3, 0, 1, 0, {}, {}, {}},
      // The finish 4 gets the other pieces hung from it: no circle back to it.
      {"finish with branches", {0, 3, 0, 0, 0, 0}, 3, 4, 0, 3, 0, {}, {}, {}},
      {"back link outside the range starts a piece", {0, 1, 40, 3}, 1, 4, 0, 0, 0, {0, 1, 2, 3}, {}, {2, 2, 10, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Tree t(c.back, c.s, c.f, c.off);
    EXPECT_TRUE(t.sound());
    if (c.want_s) { EXPECT_EQ(t.start, c.want_s); }
    if (c.want_f) { EXPECT_EQ(t.finish, c.want_f); }
    if (!c.want_back.empty()) { EXPECT_EQ(t.back, c.want_back); }
    if (!c.want_forw.empty()) { EXPECT_EQ(t.forw, c.want_forw); }
    if (!c.want_type.empty()) { EXPECT_EQ(t.type, c.want_type); }
  }
}

TEST(TreeCheck, AnyBackLinksGiveOneThreadedTree) {
  // Random back links (roots, loops, links out of the range) and random
  // start and finish: always one tree, threaded once through, and every
  // changed back link carries the gap code.
  std::mt19937 rng(20240611);
  for (int iter = 0; iter < 20000; ++iter) {
    const int n = 1 + static_cast<int>(rng() % (iter % 4 == 0 ? 25 : 7));
    const int off = static_cast<int>(rng() % 3);
    Ints b(off + n, 0);
    for (int i = off; i < off + n; ++i) {
      const int r = static_cast<int>(rng() % 10);
      b[i] = r < 3 ? 0 : (r < 9 ? off + 1 + static_cast<int>(rng() % n) : off + n + 3);
    }
    const int32_t s = rng() % 3 == 0 ? 0 : off + 1 + static_cast<int32_t>(rng() % n);
    const int32_t f = rng() % 3 == 0 ? 0 : off + 1 + static_cast<int32_t>(rng() % n);
    const Tree t(b, s, f, off);
    ASSERT_TRUE(t.sound()) << "iteration " << iter;
    for (int i = off; i < off + n; ++i)
      if (t.back[i] != b[i]) { ASSERT_EQ(t.type[i], 10) << "iteration " << iter << " position " << i + 1; }
  }
}

namespace {

class EntityTree : public entity_test::Model {
 protected:
  // An entity over the next sequence positions, numbered from num0; back
  // numbers: the number before, "." for the first.
  int entity(std::vector<const char*> names, int num0, int32_t ich_type = 3) {
    const int e = ++cif_entity_list.n_chn_ent;
    const int n = static_cast<int>(names.size());
    cif_entity_list.ent_nres_chain(e) = n;
    cif_entity_list.ent_ires_first(e) = cif_ent_poly_seq.ent_nresidue + 1;
    cif_entity_list.ent_ichain_type(e) = ich_type;
    cif_entity_list.ent_iterm_s_type(e) = cif_entity_list.ent_iterm_f_type(e) = 2;
    cif_entity_list.ent_res_start_tree(e) = auth(num0);
    cif_entity_list.ent_res_end_tree(e) = auth(num0 + n - 1);
    for (int k = 0; k < n; ++k) {
      const int p = ++cif_ent_poly_seq.ent_nresidue;
      cif_ent_poly_seq.ent_res_name(p) = names[k];
      cif_ent_poly_seq.ent_res_auth_num(p) = auth(num0 + k);
      cif_ent_poly_seq.ent_res_auth_bnum(p) = k == 0 ? std::string(".") : auth(num0 + k - 1);
      cif_ent_poly_seq.ent_iconn_type(p) = k == 0 ? 1 : 3;
      cif_ent_poly_seq.ent_ires_back(p) = cif_ent_poly_seq.ent_ires_forw(p) = 0;
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
    for (int r = asym_part.ires_first(g); r < asym_part.ires_first(g) + asym_part.nres_chain(g); ++r) {
      resid_inf.ires_back(r) = resid_inf.ires_forw(r) = 0;
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

TEST_F(EntityTree, WithoutEntitiesOrAssemblyTheDescriptionIsBuilt) {
  EXPECT_EQ(copy(), 0);  // no chains: nothing happens
  EXPECT_EQ(cif_entity_list.n_chn_ent, 0);
  chain("AA", 3, {"ALA", "GLY", "SER"});
  entity({"TRP"}, 1);  // an entity but no assembly groups
  cif_entity_list.ent_chain_id(1) = "QQ";
  EXPECT_EQ(copy(), 0);
  EXPECT_EQ(cif_entity_list.n_chn_ent, 1);
  EXPECT_EQ(cif_entity_list.ent_chain_id(1).str(), "AA  ");
  EXPECT_EQ(cif_ent_poly_seq.ent_nresidue, 3);
  EXPECT_EQ(cif_ent_poly_seq.ent_res_name(1).trimmed(), "ALA");
  EXPECT_EQ(asym_part.igroup_asm(1), 1);
}

TEST_F(EntityTree, FailedBuildReturnsItsStatus) {
  asym_part.nres_chain(chain("AA", 3, {"ALA"})) = 0;
  int32_t ierr = 0;
  EXPECT_EQ(captured([&] { ierr = copy(); }), "  ERROR: N-residues = 0\n");
  EXPECT_EQ(ierr, 1);
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
  // The entity's own tree, then the chain's at its own residue indexes.
  EXPECT_EQ(Ints({cif_entity_list.ent_ires_start_tree(e), cif_entity_list.ent_ires_end_tree(e)}), Ints({1, 3}));
  EXPECT_EQ(cif_entity_list.ent_res_start_tree(e).str() + cif_entity_list.ent_res_end_tree(e).str(), auth(5) + auth(7));
  EXPECT_EQ(COLUMN(1, 3, cif_ent_poly_seq.ent_ires_back(i)), Ints({0, 1, 2}));
  EXPECT_EQ(COLUMN(1, 3, cif_ent_poly_seq.ent_ires_forw(i)), Ints({2, 3, -1}));
  EXPECT_EQ(Ints({cif_ent_link.ent_ln_1ires(l), cif_ent_link.ent_ln_2ires(l)}), Ints({1, 3}));
  EXPECT_EQ(Views({cif_ent_link.ent_ln_1rnam(l).trimmed(), cif_ent_link.ent_ln_2rnam(l).trimmed()}), Views({"ALA", "SER"}));
  EXPECT_EQ(Ints({asym_part.ich_type(g), asym_part.iterm_s_type(g), asym_part.iterm_f_type(g),
                  asym_part.ires_start_tree(g), asym_part.ires_end_tree(g)}),
            Ints({3, 2, 2, 3, 5}));
  EXPECT_EQ(COLUMN(3, 5, resid_inf.ires_back(i)), Ints({0, 3, 4}));
  EXPECT_EQ(COLUMN(3, 5, resid_inf.ires_forw(i)), Ints({4, 5, -1}));
  EXPECT_EQ(COLUMN(3, 5, resid_inf.iconn_type(i)), Ints({1, 3, 3}));
  EXPECT_EQ(asym_part.ich_type(w), 9);  // the water chain is not touched
}

TEST_F(EntityTree, ResidueMissingFromEntityBecomesGapPiece) {
  const int g = chain("A", 3, {"ALA", "GLY", "XXX", "SER"}, 1, 1, 1, {1, 2, 9, 3});
  flatten(g);
  assign(g, entity({"ALA", "GLY", "SER"}, 1));
  EXPECT_EQ(copy(), 0);
  // Residue 3 (number 9) has no entity position: a piece of its own, hung
  // from the root with the gap code; residue 4 follows residue 2.
  EXPECT_EQ(COLUMN(2, 4, resid_inf.ires_back(i)), Ints({1, 1, 2}));
  EXPECT_EQ(COLUMN(2, 4, resid_inf.iconn_type(i)), Ints({3, 10, 3}));
  EXPECT_EQ(COLUMN(1, 4, resid_inf.ires_forw(i)), Ints({3, 4, 2, -1}));
  EXPECT_EQ(Ints({asym_part.ires_start_tree(g), asym_part.ires_end_tree(g)}), Ints({1, 4}));
}

TEST_F(EntityTree, SingleResidueEntityLeavesChainAlone) {
  const int g = chain("A", 3, {"ALA"}, 1, 3, 3);
  asym_part.ich_type(g) = 10;
  assign(g, entity({"ALA"}, 1, 4));
  EXPECT_EQ(copy(), 0);
  EXPECT_EQ(Ints({asym_part.ich_type(g), asym_part.iterm_s_type(g), asym_part.iterm_f_type(g),
                  asym_part.ires_start_tree(g)}),
            Ints({10, 3, 3, 1}));
}

TEST_F(EntityTree, EntitiesWithSameNumbersKeepTheirOwnResidues) {
  const int ga = chain("A", 3, {"ALA", "GLY"}), gb = chain("B", 3, {"TRP", "TYR"});
  const int ea = entity({"ALA", "GLY"}, 1), eb = entity({"TRP", "TYR"}, 1);  // positions 1-2, 3-4
  assign(ga, ea);
  assign(gb, eb);
  const int la = entity_link(ea, 1, 2), lb = entity_link(eb, 1, 2);
  EXPECT_EQ(copy(), 0);
  EXPECT_EQ(Ints({cif_ent_link.ent_ln_1ires(la), cif_ent_link.ent_ln_2ires(la), cif_ent_link.ent_ln_1ires(lb),
                  cif_ent_link.ent_ln_2ires(lb)}),
            Ints({1, 2, 3, 4}));
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

TEST_F(EntityTree, RepeatedAuthorNumberBacksOntoTheNearestEarlierRow) {
  const int g = chain("A", 3, {"ALA", "GLY", "SER"});
  const int e = entity({"ALA", "GLY", "SER"}, 1);
  assign(g, e);
  // Positions 2 and 3 both carry number 2, and position 3 names 2 as its
  // back number: the row before it, not itself (the last row with 2), so
  // its connection stands.  A link end and the tree's end, which no row
  // order tells, take the last row with the number.
  cif_ent_poly_seq.ent_res_auth_num(3) = cif_ent_poly_seq.ent_res_auth_bnum(3) = auth(2);
  cif_entity_list.ent_res_end_tree(e) = auth(2);
  const int l = entity_link(e, 1, 2);
  EXPECT_EQ(copy(), 0);
  EXPECT_EQ(Ints({cif_ent_link.ent_ln_2ires(l), cif_entity_list.ent_ires_end_tree(e)}), Ints({3, 3}));
  EXPECT_EQ(cif_ent_link.ent_ln_2rnam(l).trimmed(), "SER");
  EXPECT_EQ(Ints({cif_ent_poly_seq.ent_ires_back(3), cif_ent_poly_seq.ent_iconn_type(3),
                  cif_ent_poly_seq.ent_ires_forw(2)}),
            Ints({2, 3, 3}));
}

// A chain without a label of its own holding two pieces numbered alike
// (1-3 and 1-3, joined by a gap row), as the file written for Open Babel's
// mmCIF of a two-chain entry gives it: each residue is the entity row with
// its number that appears as often before it, backed onto the nearest
// earlier row; the start is the row without a back number and the end the
// row that carries the end terminus, not the last row with their numbers.
TEST_F(EntityTree, PiecesNumberedAlikeFollowTheRowOrder) {
  const int g = chain("XX", 3, {"LEU", "VAL", "ALA", "LEU", "VAL", "ALA"}, 1, 1, 1, {1, 2, 3, 1, 2, 3});
  flatten(g);
  const int e = entity({"LEU", "VAL", "ALA", "LEU", "VAL", "ALA"}, 1);
  for (int p = 4; p <= 6; ++p) {
    cif_ent_poly_seq.ent_res_auth_num(p) = auth(p - 3);
    cif_ent_poly_seq.ent_res_auth_bnum(p) = auth(p == 4 ? 3 : p - 4);
  }
  cif_ent_poly_seq.ent_iconn_type(4) = 10;
  cif_entity_list.ent_res_end_tree(e) = auth(3);
  cif_ent_poly_seq.ent_mod_id(3) = ".";
  cif_ent_poly_seq.ent_mod_id(6) = "COO";
  assign(g, e);
  EXPECT_EQ(copy(), 0);
  EXPECT_EQ(Ints({cif_entity_list.ent_ires_start_tree(e), cif_entity_list.ent_ires_end_tree(e)}), Ints({1, 6}));
  EXPECT_EQ(COLUMN(1, 6, cif_ent_poly_seq.ent_ires_back(i)), Ints({0, 1, 2, 3, 4, 5}));
  const int f = asym_part.ires_first(g);
  EXPECT_EQ(Ints({asym_part.ires_start_tree(g), asym_part.ires_end_tree(g)}), Ints({f, f + 5}));
  EXPECT_EQ(COLUMN(f, f + 5, resid_inf.ires_back(i)), Ints({0, f, f + 1, f + 2, f + 3, f + 4}));
  EXPECT_EQ(COLUMN(f, f + 5, resid_inf.iconn_type(i)), Ints({1, 3, 3, 10, 3, 3}));
  EXPECT_EQ(Ints({asym_part.iterm_s_type(g), asym_part.iterm_f_type(g)}), Ints({2, 2}));
}

// The end of a chain holding its numbers twice is the row with the end
// number that carries a terminus after a back number; with no such row,
// the last row with the number.  Two pieces of three residues, the second
// starting anew (no back number): the end row is a leaf that the rows after
// it do not make an inner residue, so the chain ends there, and the other
// piece hangs from the start.
TEST_F(EntityTree, EndOfPiecesNumberedAlikeIsTheRowWithItsTerminus) {
  struct Row {
    const char* what;
    std::vector<int> nums;   // the author number of each row and residue
    std::vector<int> bnums;  // its back number, 0 for "."
    std::vector<const char*> mods;
    int32_t start_row, end_row;  // the entity's start and end
    std::vector<int> backs;      // each residue's back neighbour, from the chain's first (-1 none)
  } rows[] = {
      {"terminus on the first piece's end, a piece numbered alike after it", {1, 2, 3, 1, 2, 3},
       {0, 1, 2, 0, 1, 2}, {"NH3", ".", "COO", ".", ".", "."}, 1, 3, {-1, 0, 1, 0, 3, 4}},
      {"no row carries a terminus: the last row with the end number", {1, 2, 3, 4, 5, 6},
       {0, 1, 2, 0, 4, 5}, {".", ".", ".", ".", ".", "."}, 1, 3, {-1, 0, 1, 0, 3, 4}},
      // The end listed first, its back number that of a later row.
      {"terminus on the table's first row", {3, 1, 2, 1, 2, 3},
       {2, 0, 1, 0, 1, 2}, {"COO", "NH3", ".", ".", ".", "."}, 2, 1, {4, -1, 1, 2, 3, 4}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    SetUp();
    const int g = chain("XX", 3, {"GLY", "GLY", "GLY", "GLY", "GLY", "GLY"}, 1, 1, 1, row.nums);
    flatten(g);
    const int e = entity({"GLY", "GLY", "GLY", "GLY", "GLY", "GLY"}, 1);
    for (int p = 1; p <= 6; ++p) {
      cif_ent_poly_seq.ent_res_auth_num(p) = auth(row.nums[p - 1]);
      const int b = row.bnums[p - 1];
      cif_ent_poly_seq.ent_res_auth_bnum(p) = b == 0 ? std::string(".") : auth(b);
      cif_ent_poly_seq.ent_iconn_type(p) = b == 0 ? 1 : 3;
      cif_ent_poly_seq.ent_mod_id(p) = row.mods[p - 1];
    }
    cif_entity_list.ent_res_start_tree(e) = auth(1);
    cif_entity_list.ent_res_end_tree(e) = auth(3);
    assign(g, e);
    EXPECT_EQ(copy(), 0);
    EXPECT_EQ(Ints({cif_entity_list.ent_ires_start_tree(e), cif_entity_list.ent_ires_end_tree(e)}),
              Ints({row.start_row, row.end_row}));
    const int f = asym_part.ires_first(g);
    EXPECT_EQ(Ints({asym_part.ires_start_tree(g), asym_part.ires_end_tree(g)}),
              Ints({f + row.start_row - 1, f + row.end_row - 1}));
    Ints backs;
    for (int k : row.backs) backs.push_back(k < 0 ? 0 : f + k);
    EXPECT_EQ(COLUMN(f, f + 5, resid_inf.ires_back(i)), backs);
  }
}

class Terminus : public entity_test::Model {};

TEST_F(Terminus, OxtGivesCarboxyTerminusAndTheEntityCodeFollows) {
  const int g = chain("AA", 10, {"ALA", "GLY"});
  atom_inf.atm_name(2) = "OXT";
  cif_entity_list.n_chn_ent = cif_asym_part.n_grp_asm = cif_asym_part.asm_chain_pointer(1) = 1;
  asym_part.igroup_asm(g) = 1;
  // Codes 1, 2, 7 become 2 in peptides and polymers; others stay.
  for (int32_t type : {3, 10}) {
    for (int32_t code : {1, 2, 7, 3, 6, 8}) {
    asym_part.ich_type(g) = type;
    asym_part.iterm_f_type(g) = code;
    cif_entity_list.ent_iterm_f_type(1) = 7;
    cif_entity_list.ent_term_f_type(1) = "TERMINUS";
    int32_t ierr = 5;
    check_terminus_(0, ierr);
    EXPECT_EQ(ierr, 0);
    const int32_t want = code == 1 || code == 2 || code == 7 ? 2 : code;
    EXPECT_EQ(asym_part.iterm_f_type(g), want) << type << " " << code;
    if (want == 2) { EXPECT_EQ(cif_entity_list.ent_iterm_f_type(1), 2) << code; }
    EXPECT_EQ(cif_entity_list.ent_term_f_type(1).trimmed(), "TERMINUS");  // the word is not
  }
  }
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
  EXPECT_EQ(Ints({asym_part.iterm_f_type(a), asym_part.iterm_f_type(b), asym_part.iterm_f_type(c)}), Ints({1, 1, 1}));
  atom_inf.atm_type(2) = "D";
  check_terminus_(0, ierr);
  EXPECT_EQ(asym_part.iterm_f_type(a), 1);
}
