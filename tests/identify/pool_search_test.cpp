// Pool records made from work descriptions, and the search of the pool for a
// monomer that contains the residue.  The dictionary holds real components
// stored through the new-entry routine; the library part of the pool is made
// by the record routine itself, one record a stored monomer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "component.h"
#include "dictionary/lib_com.h"
#include "dictionary/dict_index.h"
#include "dictionary/lib_index.h"
#include "dictionary/new_bonds.h"
#include "dictionary/new_entries.h"
#include "foundation/messages.h"
#include "foundation/residue_class.h"
#include "identify/candidate_pool.h"
#include "identify/coord_bonds.h"
#include "identify/subgraph_search.h"
#include "dictionary/monlib_fixture.h"
#include "support/capture.h"

namespace {

const std::set<std::string> kLeaving = {"OXT", "HXT", "H2"};

void clear_dictionary() {
  init_cnt_();
  r_scratch_t& r = r_scratch;
  r.lml_nmon = r.lml_imon = r.lms_nsyn = r.ldr_nder = 0;
  r.ldl_nmod = r.lda_natom = r.ldn_nconn = r.ldb_nbond = r.ldg_nangl = r.ldt_ntors = 0;
  r.ldc_nchir = r.ldp_nplan = 0;
  init_res_type_tab_();
  com_match_pool.mem_tot = 0;
  com_match_pool.match_nmon = 0;
}

std::vector<int16_t> record_at(int p) {
  const int n = com_match_pool.match_pool(p + 1), nb = com_match_pool.match_pool(p + 2);
  std::vector<int16_t> w;
  for (int k = 0; k < 18 + 2 * n + 3 * nb; ++k) w.push_back(com_match_pool.match_pool(p + k));
  return w;
}

// Stores the component as a dictionary entry and appends its pool record to
// the library part of the pool.
void add_monomer(const std::string& code, const std::set<std::string>& drop = kLeaving) {
  comp::fill_l1(comp::load(code, drop), code);
  r_scratch_t& r = r_scratch;
  r.l1l_fuse = "Y";
  r.l1l_prsnt = ".";
  r.l1l_mode = ".";
  int32_t ierr = 0;
  cpl_mlib_(99, ierr);
  ASSERT_EQ(ierr, 0) << code;
  const int l = r.lml_nmon;
  comp::fill_l1(comp::load(code, drop), code);
  int32_t nac = 0;
  rt::FixedText<30> content;
  rt::FixedText<24> index, pair;
  lib_create_test_index2_(99, l, nac, content, index, pair, ierr);
  ASSERT_EQ(ierr, 0) << code;
  com_match_pool_t& pool = com_match_pool;
  const int p = pool.match_pointer(pool.match_nmon + 1);
  ASSERT_GT(p, 0) << code;
  pool.match_nmon += 1;
  pool.mem_tot += static_cast<int>(record_at(p).size());
}

// The residue as the global search leaves it: L1 from its coordinates with
// bonds by distance, and its record in the query slot.
void query(const comp::Component& c, const std::string& name) {
  comp::fill_l1(c, name, false);
  r_scratch_t& r = r_scratch;
  r.l1b_nbond = 0;
  for (int a = 1; a <= r.l1a_natom; ++a) {
    r.l1a_ndist(a) = r.l1a_lencon(1, a) = 0;
    const char cls = dictionary::bond_class(r.l1a_symb(a).view());
    r.l1a_atype(a) = std::string_view(&cls, 1);
  }
  int32_t ierr = 0, nac = 0;
  coor_conn_(99, "    ", ierr);
  rt::FixedText<30> content;
  rt::FixedText<24> index, pair;
  lib_create_test_index2_(99, 0, nac, content, index, pair, ierr);
  ASSERT_EQ(ierr, 0);
}

int32_t search(std::string& out) {
  int32_t ierr = -1;
  comlib.iquiet = 0;
  out = captured([&] { test_gm_(0, ' ', 'G', 0, "", "", "", ierr); });
  return ierr;
}

// Alanine: N CA C O CB; bonds N-CA, CA-C, CA-CB (single) and C=O, in pair order.
TEST(PoolRecord, AlanineWorkedOutByHand) {
  clear_dictionary();
  add_monomer("ALA");
  const std::vector<int16_t> expected = {1, 5, 4, 3, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // head
                                         1, 2, 2, 1, 3, 1, 4, 3, 5, 1,                          // atoms
                                         1, 2, 1, 2, 3, 1, 2, 5, 1, 3, 4, 2};                   // bonds
  EXPECT_EQ(record_at(com_match_pool.match_pointer(1)), expected);
  EXPECT_EQ(com_match_pool.mem_tot, 40);
}

TEST(PoolRecord, QuerySlotStandsBehindTheLibraryRecords) {
  clear_dictionary();
  add_monomer("ALA");
  query(comp::load("SER", kLeaving), "XSR");
  EXPECT_EQ(com_match_pool.match_pointer(2), 41);
  EXPECT_EQ(com_match_pool.match_nmon, 1);
  EXPECT_EQ(com_match_pool.mem_tot, 40);
  const std::vector<int16_t> rec = record_at(41);
  EXPECT_EQ(rec[0], 0);
  EXPECT_EQ(rec[1], 6);
  EXPECT_EQ(rec[2], 5);
}

TEST(PoolRecord, SmallGraphsGetNoRecord) {
  clear_dictionary();
  // Glycine has 4 heavy atoms; alanine without its CB too; alanine has 5.
  query(comp::load("GLY", kLeaving), "GLY");
  EXPECT_EQ(com_match_pool.match_pointer(1), 0) << "4 heavy atoms";
  query(comp::load("ALA", kLeaving), "ALA");
  EXPECT_EQ(com_match_pool.match_pointer(1), 1) << "5 heavy atoms, 4 bonds";
  // Five heavy atoms with three heavy bonds: CB apart from the backbone.
  comp::Component c = comp::load("ALA", kLeaving);
  c.atoms[4].x += 5.0f;
  query(c, "ALA");
  EXPECT_EQ(com_match_pool.match_pointer(1), 0) << "3 heavy bonds";
}

TEST(PoolRecord, FullPoolEndsWithOneLine) {
  clear_dictionary();
  com_match_pool.mem_tot = maxmpool - 39;
  comp::fill_l1(comp::load("ALA", kLeaving), "ALA");
  comlib.iquiet = 0;
  int32_t ierr = 0, nac = 0;
  rt::FixedText<30> content;
  rt::FixedText<24> index, pair;
  const std::string out = captured([&] { lib_create_test_index2_(0, 0, nac, content, index, pair, ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(out, "  ERROR: in LIB_CREATE_INDEX2: Insufficient memory:\n");
  EXPECT_EQ(nac, 5);
}

TEST(PoolRecord, FullPointerTableReportedNotOverrun) {
  clear_dictionary();
  com_match_pool.match_nmon = maxmponter;
  comp::fill_l1(comp::load("ALA", kLeaving), "ALA");
  comlib.iquiet = 0;
  int32_t ierr = 0, nac = 0;
  rt::FixedText<30> content;
  rt::FixedText<24> index, pair;
  const std::string out = captured([&] { lib_create_test_index2_(0, 0, nac, content, index, pair, ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(out,
            "  ERROR: in LIB_CREATE_INDEX2: number of pool records >  3499\n"
            "           Change parameter maxmponter in \"lib_index\"\n");
}

class PoolSearch : public ::testing::Test {
 protected:
  void SetUp() override { clear_dictionary(); }
};

TEST_F(PoolSearch, ResidueInsideALargerMonomer) {
  add_monomer("LYS");
  add_monomer("TYR");
  // Tyrosine without its hydroxyl oxygen, under a name the dictionary lacks.
  query(comp::load("TYR", {"OXT", "HXT", "H2", "OH", "HH"}), "XPH");
  std::string out;
  ASSERT_EQ(search(out), 0) << out;
  EXPECT_NE(out.find(" INFO: sub_structure in :TYR"), std::string::npos);
  r_scratch_t& r = r_scratch;
  EXPECT_EQ(r.l1l_mname.str(), "XPH     ");
  EXPECT_EQ(r.l1l_type.str(), "non-polymer     ");
  bool oh = false, cz = false;
  for (int a = 1; a <= r.l1a_natom; ++a) {
    oh |= r.l1a_aname(a) == "OH";
    cz |= r.l1a_aname(a) == "CZ";
  }
  EXPECT_FALSE(oh);
  EXPECT_TRUE(cz);
}

TEST_F(PoolSearch, EarlierCandidateWins) {
  add_monomer("TYR");
  add_monomer("PHE");
  query(comp::load("PHE", kLeaving), "XPH");
  std::string out;
  ASSERT_EQ(search(out), 0);
  EXPECT_NE(out.find("sub_structure in :TYR"), std::string::npos);
}

TEST_F(PoolSearch, OwnNameNeverMatched) {
  add_monomer("PHE");
  add_monomer("TYR");
  query(comp::load("PHE", kLeaving), "PHE");
  std::string out;
  ASSERT_EQ(search(out), 0);
  EXPECT_NE(out.find("sub_structure in :TYR"), std::string::npos);
}

TEST_F(PoolSearch, ResidueThatMatchesNothing) {
  add_monomer("SER");
  add_monomer("THR");
  query(comp::load("MET", kLeaving), "XMT");
  std::string out;
  EXPECT_EQ(search(out), 1);
  EXPECT_EQ(out, "  INFO:  no sub_structure was found\n");
}

// A residue without a record of its own must not meet the query of the
// residue before it, still standing in the slot.
TEST_F(PoolSearch, NoRecordNoMatch) {
  add_monomer("TYR");
  query(comp::load("PHE", kLeaving), "XPH");
  query(comp::load("GLY", kLeaving), "XGL");
  std::string out;
  EXPECT_EQ(search(out), 1);
  EXPECT_EQ(out, "  INFO:  no sub_structure was found\n");
}

// The test library loaded as a run loads it: every description is read on
// demand, so the candidate found is read during the search.  The residue's
// own names (not the monomer's) must come out of the first search.
TEST(PoolSearchOnDemand, FirstSearchKeepsTheResidueNames) {
  std::string log;
  ASSERT_EQ(monlib::load(monlib::test_library(), log), 0) << log;
  const int phe = monlib::entry_of("PHE");
  ASSERT_GT(phe, 0);
  ASSERT_EQ(r_scratch.lml_fuse(phe).str(), "N");
  // Tyrosine without its hydroxyl (a phenylalanine) with two atoms named
  // otherwise than in the library.
  query(comp::load("TYR", {"OXT", "HXT", "H2", "OH", "HH"}), "XPH");
  r_scratch_t& r = r_scratch;
  for (int a = 1; a <= r.l1a_natom; ++a) {
    if (r.l1a_aname(a) == "CZ") r.l1a_aname(a) = "CZZ";
    if (r.l1a_aname(a) == "CB") r.l1a_aname(a) = "CBB";
  }
  std::string out;
  ASSERT_EQ(search(out), 0) << out;
  EXPECT_NE(out.find("sub_structure in :PHE"), std::string::npos) << out;
  EXPECT_EQ(r.lml_fuse(dictionary::find_list_entry("PHE", false)).str(), "Y");
  EXPECT_EQ(r.l1l_mname.str(), "XPH     ");
  std::set<std::string> names;
  for (int a = 1; a <= r.l1a_natom; ++a) names.insert(std::string(r.l1a_aname(a).trimmed()));
  EXPECT_TRUE(names.count("CZZ")) << "residue name of the ring carbon";
  EXPECT_TRUE(names.count("CBB")) << "residue name of the beta carbon";
  EXPECT_FALSE(names.count("CZ")) << "monomer name must not come through";
  EXPECT_FALSE(names.count("OH")) << "atom the residue lacks";
}

}  // namespace
