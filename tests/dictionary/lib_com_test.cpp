// Emptying the dictionary rows: row texts, counts and start pointers reset,
// the lists and coordinates kept.
#include <gtest/gtest.h>

#include <iterator>

#include "dictionary/lib_com.h"

TEST(DictionaryTables, EmptyingResetsRowTextsAndKeepsCoordinates) {
  r_scratch.lma_natom = 5;
  r_scratch.lma_aname(1) = "CA";
  r_scratch.lma_type(1) = "DUMMY";
  r_scratch.lma_charg(MAXMATM) = 0.5f;
  r_scratch.lma_x(1) = 1.5f;
  init_cnt_();
  EXPECT_EQ(r_scratch.lma_natom, 0);
  for (int i : {1, MAXMATM}) {
    EXPECT_EQ(r_scratch.lma_aname(i).view(), "?   ");
    EXPECT_EQ(r_scratch.lma_back(i), "?");
    EXPECT_EQ(r_scratch.lma_forw(i), "?");
    EXPECT_EQ(r_scratch.lma_chem(i), "?");
    EXPECT_EQ(r_scratch.lma_symb(i), "?");
    EXPECT_EQ(r_scratch.lma_type(i).view(), ".       ");
    EXPECT_FLOAT_EQ(r_scratch.lma_charg(i), 0.0f);
  }
  EXPECT_FLOAT_EQ(r_scratch.lma_x(1), 1.5f);
}

TEST(DictionaryTables, EmptyingZeroesEveryRowCount) {
  int32_t* const counts[] = {&r_scratch.lmb_nbond, &r_scratch.lmp_nplan, &r_scratch.llc_nchir,
                             &r_scratch.llp_nplan, &r_scratch.lda_natom, &r_scratch.ldp_nplan,
                             &r_scratch.lmn_nconn, &r_scratch.ldn_nconn};
  for (int32_t* n : counts) *n = 7;
  init_cnt_();
  for (std::size_t k = 0; k < std::size(counts); ++k) EXPECT_EQ(*counts[k], 0) << k;
}

TEST(DictionaryTables, EmptyingClearsStartPointersButKeepsTheLists) {
  r_scratch.lml_nmon = 3;
  r_scratch.lml_mname(1) = "ALA";
  r_scratch.lml_ibond(2) = 7;
  r_scratch.lml_pass(MAXMLIST) = 2;
  r_scratch.lll_nlink = 1;
  r_scratch.lll_itors(MAXLLNK) = 4;
  r_scratch.ldl_nmod = 1;
  r_scratch.ldl_ichir(1) = 9;
  r_scratch.lms_nsyn = 2;
  init_cnt_();
  EXPECT_EQ(r_scratch.lml_ibond(2), 0);
  EXPECT_EQ(r_scratch.lml_pass(MAXMLIST), 0);
  EXPECT_EQ(r_scratch.lll_itors(MAXLLNK), 0);
  EXPECT_EQ(r_scratch.ldl_ichir(1), 0);
  EXPECT_EQ(r_scratch.lml_nmon, 3);
  EXPECT_EQ(r_scratch.lml_mname(1), "ALA");
  EXPECT_EQ(r_scratch.lll_nlink, 1);
  EXPECT_EQ(r_scratch.ldl_nmod, 1);
  EXPECT_EQ(r_scratch.lms_nsyn, 2);
}

TEST(DictionaryTables, PlanesHoldUpToTheirAtomCapacity) {
  // Plane atoms are stored atom-fastest: the last atom of the last plane is
  // the last element, and the first atom of plane 2 follows the last of plane 1.
  r_scratch.lmp_atom(MAXMAPL, MAXMPLN) = "O1";
  EXPECT_EQ(&r_scratch.lmp_atom(MAXMAPL, MAXMPLN), r_scratch.lmp_atom.data() + MAXMAPL * MAXMPLN - 1);
  EXPECT_EQ(&r_scratch.llp_atom(1, 2), &r_scratch.llp_atom(MAXLAPL, 1) + 1);
  EXPECT_EQ(&r_scratch.l1p_atom(1, 2), &r_scratch.l1p_atom(MAX1APL, 1) + 1);
  EXPECT_EQ(&r_scratch.s1_iextr(1, 2), &r_scratch.s1_iextr(MX1EXT, 1) + 1);
  EXPECT_EQ(&r_scratch.l1a_conn(1, 2), &r_scratch.l1a_conn(MAX1BRN, 1) + 1);
}
