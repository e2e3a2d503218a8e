// Copies between work descriptions: L1 into L2, C1 and C2 both ways.
#include "dictionary/work_copies.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "descr_builder.h"
#include "support/capture.h"

TEST(WorkCopies, OneAtomWithoutRowsGivesEmptyCounts) {
  descr::clear_l1();
  descr::add_l1_atom({"ZN", "ZN", "ZN", ".", "END", 0, 0, 0});
  r_scratch.l2b_nbond = 5;
  r_scratch.l2p_nplan = 2;
  int32_t ierr = 0;
  copyl2_(0, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(r_scratch.l2a_natom, 1);
  EXPECT_EQ(r_scratch.l2a_aname(1), "ZN");
  EXPECT_EQ(r_scratch.l2a_forw(1), "END");
  EXPECT_EQ(r_scratch.l2b_nbond, 0);
  EXPECT_EQ(r_scratch.l2p_nplan, 0);
}

TEST(WorkCopies, ListsAndPlanesCopiedUpToTheirOwnCounts) {
  descr::alanine_l1();
  r_scratch_t& r = r_scratch;
  r.l1a_ndist(2) = 2;
  r.l1a_conn(1, 2) = 3;
  r.l1a_conn(2, 2) = 5;
  r.l1a_conn(3, 2) = 99;  // beyond the count: not copied
  r.l2a_conn(3, 2) = -7;
  descr::add_l1_plane("plan-1", {"CA", "C", "O", "OXT"});
  descr::add_l1_angle("N", "CA", "C", 111.2f);
  int32_t ierr = 0;
  copyl2_(0, ierr);
  EXPECT_EQ(r.l2a_ndist(2), 2);
  EXPECT_EQ(r.l2a_conn(2, 2), 5);
  EXPECT_EQ(r.l2a_conn(3, 2), -7);
  EXPECT_EQ(r.l2p_natom(1), 4);
  EXPECT_EQ(r.l2p_atom(4, 1), "OXT");
  EXPECT_EQ(r.l2g_nangl, 1);
  EXPECT_FLOAT_EQ(r.l2g_val(1), 111.2f);
  EXPECT_EQ(r.l2b_2atm(5), "OXT");
}

TEST(WorkCopies, ResidueThereAndBackRestoresC1) {
  r_scratch_t& r = r_scratch;
  r.c1_natom = 2;
  r.c1_rname = "PRO";
  r.c1_pnum = "  12A";
  r.c1_xyz(3, 2) = 82.579f;
  r.c1_aname(2) = "CD";
  r.s1_conn(12, 2) = 4;
  r.s1_iextr(50, 1) = 6;
  r.s1_ftree = "Y";
  // Keep a copy of the C1/S1 part of the store to compare byte for byte.
  const char* begin = reinterpret_cast<const char*>(&r.c1_natom);
  const char* end = reinterpret_cast<const char*>(&r.s1_ftree) + sizeof r.s1_ftree;
  auto saved = std::make_unique<char[]>(end - begin);
  std::memcpy(saved.get(), begin, end - begin);
  int32_t ierr = 0;
  copyc2_(0, ierr);
  EXPECT_EQ(r.c2_rname, "PRO");
  EXPECT_FLOAT_EQ(r.c2_xyz(3, 2), 82.579f);
  EXPECT_EQ(r.s2_iextr(50, 1), 6);
  r.c1_natom = 0;
  r.c1_aname(2) = "XX";
  r.s1_ftree = "N";
  copyc1_(0, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(std::memcmp(saved.get(), begin, end - begin), 0);
}

TEST(WorkCopies, EmptyC2LeavesC1AsItWas) {
  r_scratch_t& r = r_scratch;
  r.c1_natom = 3;
  r.c1_rname = "ALA";
  r.c2_natom = 0;
  r.c2_rname = "GLY";
  int32_t ierr = 0;
  const std::string out = captured([&] { copyc1_(0, ierr); });
  EXPECT_EQ(out, "  ERR: C2 --> C1 number of atoms =0\n");
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(r.c1_natom, 3);
  EXPECT_EQ(r.c1_rname, "ALA");
}
