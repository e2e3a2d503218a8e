// Distance tables, candidate tolerance and the one-atom-a-call assignment,
// on graphs set into mtc_atom by hand.
#include <gtest/gtest.h>

#include <algorithm>

#include "identify/graph_tables.h"
#include "identify/mtc_atom.h"

namespace {

void clear_graphs() {
  mtc_atom_t& mt = mtc_atom;
  std::fill(mt.mt_dist.data(), mt.mt_dist.data() + MXGATM * MXGATM, 0);
  mt.mt_nc = mt.mt_nl = 0;
  for (int d = 1; d <= 8; ++d) mt.mt_cnt_c(d) = mt.mt_cnt_l(d) = 0;
}

void residue_bond(int a, int b) { mtc_atom.mt_dist(std::min(a, b), std::max(a, b)) = 1; }
void library_bond(int a, int b) { mtc_atom.mt_dist(std::max(a, b), std::min(a, b)) = 1; }
int residue_dist(int a, int b) { return mtc_atom.mt_dist(std::min(a, b), std::max(a, b)); }
int library_dist(int a, int b) { return mtc_atom.mt_dist(std::max(a, b), std::min(a, b)); }

TEST(DistanceTable, ChainCutAtEightBonds) {
  clear_graphs();
  mtc_atom.mt_nc = 10;
  for (int a = 1; a < 10; ++a) residue_bond(a, a + 1);
  set_tabconn_c_();
  EXPECT_EQ(residue_dist(1, 2), 1);
  EXPECT_EQ(residue_dist(1, 9), 8);
  EXPECT_EQ(residue_dist(1, 10), 0);
  EXPECT_EQ(residue_dist(3, 7), 4);
}

TEST(DistanceTable, SidesKeepToTheirTriangles) {
  clear_graphs();
  mtc_atom.mt_nc = 3;
  mtc_atom.mt_nl = 3;
  residue_bond(1, 2);
  residue_bond(2, 3);
  library_bond(1, 3);
  set_tabconn_c_();
  set_tabconn_l_();
  EXPECT_EQ(residue_dist(1, 3), 2);
  EXPECT_EQ(library_dist(1, 3), 1);
  EXPECT_EQ(library_dist(1, 2), 0);
}

// One residue atom and nl library atoms of one class; the residue vector
// differs from every library vector by `s`.
int candidates(int nc, int nl, int s) {
  mtc_atom_t& mt = mtc_atom;
  mt.mt_nc = nc;
  mt.mt_nl = nl;
  for (int i = 1; i <= std::max(nc, nl); ++i) {
    mt.mt_cls_c(i) = mt.mt_cls_l(i) = 1;
    for (int d = 1; d <= 8; ++d)
      for (int k = 1; k <= 4; ++k) mt.mt_vec_c(i, d, k) = mt.mt_vec_l(i, d, k) = 0;
  }
  mt.mt_vec_c(1, 2, 3) = s;
  comp_vector_();
  return mt.mt_cand(1, 0);
}

TEST(CandidateTolerance, GrowsWithTheSizeDifference) {
  struct Row {
    const char* label;
    int nc, nl, s, expected;
  };
  const Row rows[] = {
      {"equal sizes need equal vectors", 5, 5, 1, 0},
      {"equal sizes, equal vectors", 5, 5, 0, 5},
      {"small monomer caps at 1", 6, 4, 1, 4},
      {"small monomer refuses 2", 6, 4, 2, 0},
      {"under ten caps at 2", 3, 8, 2, 8},
      {"under ten refuses 3", 3, 8, 3, 0},
      {"large difference caps at 10", 20, 40, 10, 40},
      {"large difference refuses 11", 20, 40, 11, 0},
  };
  for (const Row& r : rows) EXPECT_EQ(candidates(r.nc, r.nl, r.s), r.expected) << r.label;
}

TEST(Assignment, OneAtomPerCallEvenWithManyCandidates) {
  candidates(3, 3, 0);
  for (int i = 1; i <= 3; ++i) mtc_atom.mt_corr(i) = 0;
  int32_t n_new = 0, iflag = 0, iscore = 0, ierr = 0;
  check_equiv_(0, n_new, iflag, iscore, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(n_new, 1);
  EXPECT_EQ(iflag, 1);
  EXPECT_EQ(mtc_atom.mt_corr(1), 1);
  // The library atom taken is gone from the other lists.
  EXPECT_EQ(mtc_atom.mt_cand(2, 0), 2);
  EXPECT_EQ(mtc_atom.mt_cand(1, 2), 2);
}

}  // namespace
