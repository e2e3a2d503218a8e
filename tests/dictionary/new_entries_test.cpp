// New dictionary entries stored from L1, the retirement of older entries of
// the same code, full tables, and the fuse flags around reading.
#include "dictionary/new_entries.h"

#include <gtest/gtest.h>

#include "dict_builder.h"
#include "dictionary/lib_to_work.h"
#include "support/capture.h"

namespace {

class NewEntries : public testing::Test {
 protected:
  void SetUp() override { descr::clear_dictionary(); }
  // Loads an entry of code into L1 with the copy.
  void load(const char* code) {
    rt::FixedText<8> mon(code);
    int32_t ierr = 0;
    captured([&] { cp_mlib_(0, mon, ierr); });
    ASSERT_EQ(ierr, 0);
  }
  int32_t store(std::string* out = nullptr) {
    int32_t ierr = -1;
    const std::string text = captured([&] { cpl_mlib_(0, ierr); });
    if (out) *out = text;
    return ierr;
  }
  r_scratch_t& r = r_scratch;
};

}  // namespace

TEST_F(NewEntries, StoringACodeTwiceRetiresTheEarlierEntries) {
  const int l = descr::alanine_entry("ALA0");
  r.lml_pass(l) = 2;
  load("ALA0");
  r.l1l_fuse = "C";
  ASSERT_EQ(store(), 0);
  ASSERT_EQ(store(), 0);
  EXPECT_EQ(r.lml_nmon, 3);
  for (int old : {1, 2}) {
    EXPECT_EQ(r.lml_mname(old), "???") << old;
    EXPECT_EQ(r.lml_fuse(old), "N") << old;
    EXPECT_EQ(r.lml_iatom(old), 0) << old;
  }
  EXPECT_EQ(r.lml_pass(3), 2);
  EXPECT_EQ(r.lml_fuse(3), "C");
  EXPECT_EQ(r.lma_mname(1), "?");
  EXPECT_EQ(r.lma_mname(7), "?");
  EXPECT_EQ(r.lmb_mname(1), "?");
  EXPECT_EQ(r.lma_natom, 18);  // retired rows keep their places
  EXPECT_EQ(r.lml_iatom(3), 13);
  load("ALA0");
  EXPECT_EQ(r.l1a_natom, 6);
}

TEST_F(NewEntries, NewCodeWithAtomsOnly) {
  descr::alanine_entry();
  descr::clear_l1();
  r.l1l_mname = "ZN2";
  descr::add_l1_atom({"ZN", "ZN", "ZN", ".", "END", 1.0f, 2.0f, 3.0f});
  r.l1a_coor_flag(1) = "N";
  r.l1a_iold(1) = 1;
  ASSERT_EQ(store(), 0);
  const int n = r.lml_nmon;
  EXPECT_EQ(r.lml_mname(n), "ZN2");
  EXPECT_EQ(r.lml_pass(n), 3);
  EXPECT_EQ(r.lml_natm(n), 1);
  EXPECT_EQ(r.lml_nhatm(n), 1);
  EXPECT_EQ(r.lml_ibond(n), 0);
  EXPECT_EQ(r.lml_iplan(n), 0);
  EXPECT_FLOAT_EQ(r.lma_x(r.lml_iatom(n)), 0.0f);  // no coordinates: stored as 0
  EXPECT_EQ(r.lml_mname(1), "ALA");
}

TEST_F(NewEntries, AtomsStoredInNumberingOrder) {
  descr::sugar_entry();
  load("NAG");
  // The numbering puts O5 first and C1 last.
  const int order[] = {6, 2, 3, 4, 5, 1};
  for (int k = 1; k <= 6; ++k) r.l1a_iold(k) = order[k - 1];
  r.l1l_mname = "NAG2";
  ASSERT_EQ(store(), 0);
  EXPECT_EQ(r.lma_aname(r.lml_iatom(r.lml_nmon)), "O5");
  load("NAG2");
  EXPECT_EQ(r.l1a_aname(1), "O5");
  EXPECT_EQ(r.l1a_aname(6), "C1");
  EXPECT_EQ(r.l1n_nconn, 1);
  EXPECT_EQ(r.l1g_nangl, 1);
}

TEST_F(NewEntries, EmptyL1AndFullListAreRefused) {
  descr::clear_l1();
  std::string out;
  EXPECT_EQ(store(&out), 1);
  EXPECT_EQ(out, "  ERR: number of atoms of monomer in library_L1 = 0\n");
  descr::add_l1_atom({"ZN", "ZN", "ZN", ".", "END", 0, 0, 0});
  r.lml_nmon = MAXMLIST;
  EXPECT_EQ(store(&out), 1);
  EXPECT_EQ(out,
            "  ERR: number of monomers >  5000 /lib. limit/\n"
            "            Change parameter MAXMLIST in \"lib_com\"\n");
  EXPECT_EQ(r.lml_nmon, MAXMLIST);
}

TEST_F(NewEntries, FullAtomTableStopsTheStore) {
  descr::alanine_l1();
  for (int k = 1; k <= 6; ++k) r.l1a_iold(k) = k;
  r.l1l_mname = "ALA9";
  r.lma_natom = MAXMATM - 2;
  std::string out;
  EXPECT_EQ(store(&out), 1);
  EXPECT_EQ(out,
            "  ERR: number of atoms for monomer ALA9     >120000 /lib. limit/\n"
            "            Change parameter MAXMATM in \"lib_com\"\n");
  EXPECT_EQ(r.lml_imon, 0);
  EXPECT_EQ(r.lma_natom, MAXMATM);
  EXPECT_EQ(r.lml_mname(r.lml_nmon), "ALA9");
  EXPECT_EQ(r.lml_ibond(r.lml_nmon), 0);
}

TEST_F(NewEntries, EmptyPlaneIsRefused) {
  descr::alanine_l1();
  for (int k = 1; k <= 6; ++k) r.l1a_iold(k) = k;
  descr::add_l1_plane("plan-1", {});
  std::string out;
  EXPECT_EQ(store(&out), 1);
  EXPECT_EQ(out,
            "  ERR: number of plan atoms in monomer ALA      >   100  or = 0\n"
            "            Change parameter MAXMAPL in \"lib_com\"\n");
}

TEST_F(NewEntries, EntriesToBeReadLoseTheirRowsAndThenComeIntoForce) {
  const int a = descr::alanine_entry("ALA", "R");
  const int n = descr::sugar_entry();
  int32_t ierr = -1;
  check_fuse_r_(0, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(r.lml_iatom(a), 0);
  EXPECT_EQ(r.lml_ibond(a), 0);
  EXPECT_EQ(r.lma_mname(1), "?");
  EXPECT_EQ(r.lml_mname(a), "ALA");
  EXPECT_EQ(r.lml_fuse(a), "R");
  EXPECT_EQ(r.lml_iatom(n), 7);
  r.lml_fuse(n) = "C";
  set_fuse_y_(0, ierr);
  EXPECT_EQ(r.lml_fuse(a), "Y");
  EXPECT_EQ(r.lml_fuse(n), "C");
}
