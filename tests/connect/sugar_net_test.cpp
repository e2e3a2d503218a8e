// Sugar networks: one walkable path through each polysaccharide chain; and
// residue serials made unique per chain.
#include <gtest/gtest.h>

#include <vector>

#include "connect/sugar_net.h"
#include "model_builder.h"
#include "support/capture.h"

namespace {

using conntest::Model;

// A polysaccharide chain of n sugars whose tree pointers the test sets.
void glycan(Model& m, int n) {
  for (int k = 1; k <= n; ++k) m.residue("NAG", 7, 'G', k, {{"C1", float(k), 0, 0}});
  asym_part.ich_type(1) = 7;
}

void tree(std::initializer_list<std::pair<int, int>> back_forw) {
  int ir = 0;
  for (auto [b, f] : back_forw) {
    ++ir;
    resid_inf.ires_back(ir) = b;
    resid_inf.ires_forw(ir) = f;
  }
}

std::vector<int> path() {
  std::vector<int> p;
  int ir = asym_part.ires_start_tree(1);
  for (int s = 0; s < 10 && ir >= 1; ++s, ir = resid_inf.ires_forw(ir)) p.push_back(ir);
  return p;
}

TEST(SugarNet, BranchIsStrungOnAfterTheMainPath) {
  Model m;
  glycan(m, 4);
  // 2 and 3 hang on 1, 4 on 2: ends 3 and 4.
  tree({{-1, 2}, {1, 4}, {1, 0}, {2, 0}});
  int32_t ierr = -1;
  sugar_net_(0, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(path(), (std::vector<int>{1, 2, 4, 3}));
  EXPECT_EQ(asym_part.ires_end_tree(1), 3);
}

TEST(SugarNet, CycleIsOpenedAtTheFirstResidue) {
  Model m;
  glycan(m, 3);
  tree({{3, 2}, {1, 3}, {2, 1}});
  int32_t ierr = -1;
  sugar_net_(0, ierr);
  EXPECT_EQ(path(), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(resid_inf.ires_back(1), -1);
  EXPECT_EQ(asym_part.ires_end_tree(1), 3);
}

TEST(SugarNet, TwoRootsMakeAPlainSequence) {
  Model m;
  glycan(m, 3);
  tree({{-1, 0}, {-1, 3}, {2, 0}});
  int32_t ierr = -1;
  sugar_net_(0, ierr);
  EXPECT_EQ(path(), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(resid_inf.ires_back(2), 1);
  EXPECT_EQ(resid_inf.ires_forw(3), 0);
}

TEST(SugarNet, ResiduesTakeTheTypeOfTheLinkToTheirBackNeighbour) {
  Model m;
  glycan(m, 3);
  tree({{-1, 2}, {1, 3}, {2, 0}});
  m.link("BETA1-4", 2, "C1", 1, "O4");  // either orientation counts
  link_inf.ln_used(m.link("ALPHA1-3", 3, "C1", 2, "O3")) = "S";
  int32_t ierr = -1;
  sugar_net_(0, ierr);
  int32_t beta = 0;
  set_iconn_("BETA1-4", beta);
  EXPECT_EQ(resid_inf.iconn_type(1), 1);
  EXPECT_EQ(resid_inf.iconn_type(2), beta);
  EXPECT_EQ(resid_inf.iconn_type(3), 1);  // its link is passed over
}

TEST(ResidueNumbers, RepeatedSerialRenumbersTheChain) {
  Model m;
  m.residue("ALA", 3, 'A', 5, {{"CA", 0, 0, 0}});
  m.residue("ALA", 3, 'A', 7, {{"CA", 1, 0, 0}});
  m.residue("ALA", 3, 'A', 5, {{"CA", 2, 0, 0}});
  m.residue("GLY", 3, 'B', 9, {{"CA", 3, 0, 0}});
  m.residue("GLY", 3, 'B', 3, {{"CA", 4, 0, 0}});
  com_out_cif.out_cif_ins = 1;
  int32_t ierr = -1;
  check_residue_num_(0, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(resid_inf.ires_serial(2), 6);
  EXPECT_EQ(resid_inf.ires_serial(3), 7);
  EXPECT_EQ(resid_inf.ires_serial(5), 3);  // chain B had no repeat
  EXPECT_EQ(com_out_cif.out_cif_ins, 0);
}

TEST(ResidueNumbers, EmptyModelIsAnError) {
  Model m;
  int32_t ierr = 0;
  EXPECT_EQ(captured([&] { check_residue_num_(0, ierr); }),
            " ERROR: in \"CHECK_RESIDUE_NUM\", N_GROUP or N_ATOM = 0\n");
  EXPECT_EQ(ierr, 1);
}

}  // namespace
