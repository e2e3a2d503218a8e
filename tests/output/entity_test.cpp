// Entity description and the residue-tree repair after an mmCIF read.
#include <gtest/gtest.h>

#include <vector>

#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "output/entity_descr.h"
#include "output/entity_tree.h"

namespace {

// Runs the tree check over positions 1..n of small arrays; back links are
// given 1-based, 0 for none.
struct SmallTree {
  std::vector<int32_t> back, forw, type;
  int32_t start, finish;

  SmallTree(std::vector<int32_t> b, int32_t s, int32_t f)
      : back(std::move(b)), forw(back.size(), 7), type(back.size(), 2), start(s), finish(f) {}

  void check() {
    int32_t ierr = 5;
    check_tree_crd_(0, 0, start, finish, 1, static_cast<int32_t>(back.size()), back.data(), forw.data(),
                    type.data(), ierr);
    EXPECT_EQ(ierr, 0);
  }
  // Follows the forward links from the start; every position once, ending at finish.
  void expect_threaded() {
    std::vector<int> seen(back.size() + 1, 0);
    int32_t p = start;
    int steps = 0;
    while (p >= 1 && steps <= static_cast<int>(back.size())) {
      ASSERT_EQ(seen[p], 0) << "position " << p << " visited twice";
      seen[p] = 1;
      if (p == finish) break;
      ASSERT_NE(forw[p - 1], p) << "position " << p << " is its own forward neighbour";
      p = forw[p - 1];
      ++steps;
    }
    EXPECT_EQ(p, finish);
    for (std::size_t i = 1; i < seen.size(); ++i) EXPECT_EQ(seen[i], 1) << "position " << i << " not reached";
    EXPECT_EQ(forw[finish - 1], -1);
  }
};

}  // namespace

TEST(EntityTree, LinearChainUnchanged) {
  SmallTree t({0, 1, 2, 3, 4}, 1, 5);
  t.check();
  EXPECT_EQ(t.start, 1);
  EXPECT_EQ(t.finish, 5);
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(t.forw[i - 1], i + 1);
  EXPECT_EQ(t.forw[4], -1);
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(t.type[i - 1], 2);
}

TEST(EntityTree, TwoPiecesJoinedWithGap) {
  SmallTree t({0, 1, 2, 0, 4, 5}, 1, 6);
  t.check();
  EXPECT_EQ(t.start, 1);
  EXPECT_EQ(t.back[3], 3);
  EXPECT_EQ(t.type[3], 10);
  t.expect_threaded();
}

TEST(EntityTree, MutualBackLinksAreCut) {
  SmallTree t({0, 3, 2, 3}, 1, 4);
  t.check();
  // Position 3 is cut from 2 and then, as the root of its piece, hung
  // behind the start piece with the gap code.
  EXPECT_EQ(t.back[1], 3);
  EXPECT_EQ(t.back[2], 1);
  EXPECT_EQ(t.type[2], 10);
  t.expect_threaded();
}

TEST(EntityTree, BranchesAreThreaded) {
  // 1 <- 2 <- 3 and 1 <- 4 <- 5: two branches from residue 1.
  SmallTree t({0, 1, 2, 1, 4}, 1, 5);
  t.check();
  EXPECT_EQ(t.forw[2], 4);  // end of the first branch leads to the second
  t.expect_threaded();
}

TEST(EntityTree, MissingFinishBecomesLastEnd) {
  SmallTree t({0, 1, 2}, 1, 0);
  t.check();
  EXPECT_EQ(t.finish, 3);
}

TEST(EntityTree, BackLinkOutsideRangeStartsAPiece) {
  SmallTree t({0, 1, 40, 3}, 1, 4);
  t.check();
  EXPECT_EQ(t.back[2], 2);
  EXPECT_EQ(t.type[2], 10);
  t.expect_threaded();
}

namespace {

// Chains of residues: name list per chain, all atoms "CA" except a final OXT.
class EntityModel : public testing::Test {
 protected:
  void SetUp() override {
    set_cif_types_();
    int32_t ierr = 0;
    init_atm_inf_(0, ierr);
  }

  int chain(const char* gid, int32_t ich_type, std::vector<const char*> names, int first_num = 1,
            int32_t s_term = 1, int32_t f_term = 1) {
    const int g = ++asym_part.n_group;
    asym_part.group_id(g) = gid;
    asym_part.ich_type(g) = ich_type;
    asym_part.ires_first(g) = resid_inf.n_residue + 1;
    asym_part.nres_chain(g) = static_cast<int32_t>(names.size());
    asym_part.iatom_first(g) = atom_inf.n_atom + 1;
    asym_part.iterm_s_type(g) = s_term;
    asym_part.iterm_f_type(g) = f_term;
    int k = 0;
    for (const char* n : names) {
      const int r = ++resid_inf.n_residue;
      resid_inf.res_name(r) = n;
      rt::FixedText<12> key;
      key.blank();
      char num[8];
      std::snprintf(num, sizeof num, "%4d ", first_num + k);
      key.sub(3, 7).assign(num);
      resid_inf.res_num_pdb(r) = key;
      resid_inf.ires_back(r) = k == 0 ? -1 : r - 1;
      resid_inf.ires_forw(r) = k + 1 == static_cast<int>(names.size()) ? 0 : r + 1;
      resid_inf.iconn_type(r) = k == 0 ? 1 : 2;
      resid_inf.i_chain(r) = g;
      resid_inf.iratm_first(r) = atom_inf.n_atom + 1;
      resid_inf.natm_res(r) = 1;
      const int a = ++atom_inf.n_atom;
      atom_inf.i_resid(a) = r;
      atom_inf.atm_name(a) = "CA";
      atom_inf.atm_type(a) = ".";
      ++k;
    }
    asym_part.ires_start_tree(g) = asym_part.ires_first(g);
    asym_part.ires_end_tree(g) = resid_inf.n_residue;
    return g;
  }
};

}  // namespace

TEST_F(EntityModel, IdenticalProteinChainsShareEntityWatersJoinOne) {
  chain("AA", 3, {"ALA", "GLY", "SER"});
  chain("BB", 3, {"ALA", "GLY", "SER"});
  chain("WA", 9, {"HOH", "HOH"});
  chain("WB", 9, {"HOH"});
  int32_t ierr = 9;
  creat_ent_descr_(0, " ", ierr);
  EXPECT_EQ(ierr, 0);
  ASSERT_EQ(cif_entity_list.n_chn_ent, 2);
  EXPECT_EQ(cif_entity_list.ent_chain_id(1).trimmed(), "AA");
  EXPECT_EQ(cif_entity_list.ent_chain_type(1).trimmed(), "polypeptide");
  EXPECT_EQ(cif_entity_list.ent_nres_chain(1), 3);
  EXPECT_EQ(cif_entity_list.ent_iterm_s_type(1), 7);
  EXPECT_EQ(cif_entity_list.ent_term_f_type(1).trimmed(), "TERMINUS");
  EXPECT_EQ(cif_entity_list.ent_res_start_tree(1).str(), "   1 ");
  EXPECT_EQ(cif_entity_list.ent_res_end_tree(1).str(), "   3 ");
  EXPECT_EQ(cif_entity_list.ent_chain_id(2).trimmed(), "HOH");
  EXPECT_EQ(cif_entity_list.ent_nres_chain(2), 0);
  EXPECT_EQ(cif_ent_poly_seq.ent_nresidue, 3);
  EXPECT_EQ(cif_asym_part.n_grp_asm, 4);
  EXPECT_EQ(cif_asym_part.asm_chain_pointer(2), 1);
  EXPECT_EQ(asym_part.chain_id(2).trimmed(), "AA");
  EXPECT_EQ(asym_part.chain_id(4).trimmed(), "HOH");
}

TEST_F(EntityModel, DifferentTerminusOrNumberingMakesNewEntity) {
  chain("AA", 3, {"ALA", "GLY"}, 1, 1, 2);
  chain("BB", 3, {"ALA", "GLY"}, 1, 1, 1);
  chain("CC", 3, {"ALA", "GLY"}, 5, 1, 2);
  int32_t ierr = 0;
  creat_ent_descr_(0, " ", ierr);
  EXPECT_EQ(cif_entity_list.n_chn_ent, 3);
}

TEST_F(EntityModel, NonPolymersGroupedByResidueName) {
  chain("LA", 2, {"NAGX"});
  chain("LB", 2, {"NAG"});
  int32_t ierr = 0;
  creat_ent_descr_(0, " ", ierr);
  ASSERT_EQ(cif_entity_list.n_chn_ent, 1);
  EXPECT_EQ(cif_entity_list.ent_chain_id(1).str(), "NAG ");
  EXPECT_EQ(cif_entity_list.ent_chain_type(1).trimmed(), "non-polymer");
}

TEST_F(EntityModel, PolymerChainWithoutTreeIsAnError) {
  const int g = chain("AA", 3, {"ALA", "GLY"});
  asym_part.ires_end_tree(g) = 0;
  testing::internal::CaptureStdout();
  int32_t ierr = 0;
  creat_ent_descr_(0, " ", ierr);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(ierr, 1);
  EXPECT_NE(out.find(" ERROR: wrong tree structure ...(in creat_ent_descr)"), std::string::npos);
}

TEST_F(EntityModel, OxtGivesCarboxyTerminus) {
  const int g = chain("AA", 3, {"ALA", "GLY"});
  atom_inf.atm_name(2) = "OXT";
  asym_part.iterm_f_type(g) = 7;
  int32_t ierr = 0;
  check_terminus_(0, ierr);
  EXPECT_EQ(asym_part.iterm_f_type(g), 2);
  asym_part.iterm_f_type(g) = 6;
  check_terminus_(0, ierr);
  EXPECT_EQ(asym_part.iterm_f_type(g), 6);
}

TEST_F(EntityModel, CopyWithoutEntitiesBuildsFromModel) {
  chain("AA", 3, {"ALA", "GLY", "SER"});
  int32_t ierr = 5;
  copy_entity_tree_(0, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(cif_entity_list.n_chn_ent, 1);
  EXPECT_EQ(asym_part.igroup_asm(1), 1);
}
