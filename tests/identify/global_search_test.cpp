// Global library search on a small dictionary of real components: the
// index chooses a monomer of the residue's shape, the graph match accepts it
// only with the residue's own names, the pool search finds a larger monomer,
// and everything else ends as a description of the bare atoms.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "component.h"
#include "dictionary/lib_com.h"
#include "dictionary/dict_index.h"
#include "dictionary/lib_index.h"
#include "dictionary/lib_loading.h"
#include "dictionary/monlib_fixture.h"
#include "dictionary/new_entries.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "foundation/residue_class.h"
#include "identify/candidate_pool.h"
#include "identify/global_search.h"
#include "identify/residue_index.h"
#include "support/capture.h"

namespace {

const std::set<std::string> kLeaving = {"OXT", "HXT", "H2"};

struct Result {
  int32_t ierr;
  std::string mon_new, flag, out;
};

Result run(const std::string& mon, char srch) {
  Result res;
  rt::FixedText<8> mon_new("?");
  rt::FixedText<1> flag("?");
  res.out = captured([&] { global_search_new_(0, 'L', mon, mon_new, flag, srch, 0, 1, 1, 1, res.ierr); });
  res.mon_new = mon_new.str();
  res.flag = flag.str();
  return res;
}

class GlobalSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    init_cnt_();
    r_scratch_t& r = r_scratch;
    r.lml_nmon = r.lml_imon = r.lms_nsyn = r.ldr_nder = r.lmx_nmon = 0;
    r.ldl_nmod = r.lda_natom = r.ldn_nconn = r.ldb_nbond = r.ldg_nangl = r.ldt_ntors = 0;
    r.ldc_nchir = r.ldp_nplan = 0;
    init_res_type_tab_();
    com_match_pool.mem_tot = com_match_pool.match_nmon = 0;
    comlib.iquiet = 0;
    comlib.idoc = 0;
  }
  // A dictionary entry with its index entry and pool record.
  static void add_monomer(const std::string& code) {
    r_scratch_t& r = r_scratch;
    const comp::Component c = comp::load(code, kLeaving);
    comp::fill_l1(c, code);
    r.l1l_fuse = "Y";
    r.l1l_prsnt = ".";
    r.l1l_mode = ".";
    int32_t ierr = 0;
    cpl_mlib_(99, ierr);
    ASSERT_EQ(ierr, 0);
    const int l = r.lml_nmon;
    comp::fill_l1(c, code);
    const int x = ++r.lmx_nmon;
    r.lmx_mname(x) = code;
    calc_index_(99, code, r.lmx_natom(x), r.lmx_content(x), r.lmx_index(x), r.lmx_pair(x), ierr);
    comp::fill_l1(c, code);
    int32_t nac = 0;
    rt::FixedText<30> content;
    rt::FixedText<24> index, pair;
    lib_create_test_index2_(99, l, nac, content, index, pair, ierr);
    com_match_pool_t& pool = com_match_pool;
    const int p = pool.match_pointer(pool.match_nmon + 1);
    ASSERT_GT(p, 0);
    pool.match_nmon += 1;
    pool.mem_tot += 18 + 2 * pool.match_pool(p + 1) + 3 * pool.match_pool(p + 2);
  }
  static void residue(const comp::Component& c, const std::string& name,
                      const std::map<std::string, std::string>& rename = {}) {
    comp::fill_c1(c, name, rename);
    for (int i = 1; i <= r_scratch.c1_natom; ++i) r_scratch.c1_sf_id(i) = 0;
  }
};

TEST_F(GlobalSearch, ResidueUnderAWrongNameFoundByIndex) {
  add_monomer("THR");
  add_monomer("SER");
  residue(comp::load("SER", kLeaving), "XSR");
  const Result r = run("XSR", ' ');
  EXPECT_EQ(r.ierr, 0);
  EXPECT_EQ(r.mon_new, "SER     ");
  EXPECT_EQ(r.flag, "N");
  EXPECT_EQ(r.out.rfind("  WARNING : monomer looks like SER     the program will try to use this\n", 0), 0u);
  EXPECT_EQ(r_scratch.c1_rname.str(), "SER     ");
}

TEST_F(GlobalSearch, IndexMatchWithOtherAtomNamesGetsANewDescription) {
  add_monomer("SER");
  residue(comp::load("SER", kLeaving), "XSR", {{"OG", "O1"}});
  const Result r = run("XSR", ' ');
  EXPECT_EQ(r.ierr, 0);
  EXPECT_EQ(r.mon_new, "        ");
  EXPECT_EQ(r.flag, "Y");
  EXPECT_NE(r.out.find(" WARNING: Some of the atom names of the monomer XSR      is different from the "
                       "library desciption\n          The program will create a new description\n"),
            std::string::npos);
  r_scratch_t& rs = r_scratch;
  EXPECT_EQ(rs.l1l_mname.str(), "XSR     ");
  EXPECT_EQ(rs.l1a_natom, 6);
  EXPECT_EQ(rs.l1b_nbond, 0);
  EXPECT_EQ(rs.l1l_prsnt.str(), "N");
  EXPECT_EQ(rs.l1a_aname(6).str(), "O1  ");
}

// Without the subgraph search the description is made from the coordinates
// under the residue's own names: the atoms keep them (C2 as C1), and the
// warning names each atom the bonds would have named otherwise.
TEST_F(GlobalSearch, NamesAgainstTheBondsKeptWithAWarning) {
  add_monomer("SER");
  residue(comp::load("SER", kLeaving), "XSR", {{"O", "OG"}, {"OG", "O"}});
  r_scratch.c1_pnum = "     26A    ";
  const Result r = run("XSR", ' ');
  EXPECT_EQ(r.ierr, 0);
  EXPECT_EQ(r.flag, "Y");
  EXPECT_NE(r.out.find("          The program will create a new description\n"
                       "  WARNING : residue: XSR         26 chain:A\n"
                       "            atom names do not fit the bonds of SER; the new description keeps them:\n"
                       "            \"OG  \" is bonded as \"O   \"\n"
                       "            \"O   \" is bonded as \"OG  \"\n"),
            std::string::npos)
      << r.out;
  r_scratch_t& rs = r_scratch;
  for (int i = 1; i <= rs.c1_natom; ++i) EXPECT_EQ(rs.c2_aname(i).str(), rs.c1_aname(i).str());
  EXPECT_EQ(rs.l1a_aname(4).str(), "OG  ");
}

}  // namespace

// The test monomer library of tests/data/monlib, loaded through the loading
// sequence: its index and pool files drive the search, and the monomer
// chosen is read on demand.
class TestLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string log;
    ASSERT_EQ(monlib::load(monlib::test_library(), log, 'S'), 0) << log;
    ASSERT_EQ(r_scratch.lmx_nmon, 25);
    ASSERT_EQ(com_match_pool.match_nmon, 21);
  }
};

// Tyrosine without its hydroxyl has phenylalanine's index and atom names.
TEST_F(TestLibrary, ResidueUnderAWrongNameReadOnDemand) {
  comp::fill_c1(comp::load("TYR", {"OXT", "HXT", "H2", "OH", "HH"}), "XTY");
  const auto r = run("XTY", 'G');
  EXPECT_EQ(r.ierr, 0);
  EXPECT_EQ(r.mon_new, "PHE     ");
  EXPECT_EQ(r.flag, "N");
  EXPECT_EQ(r_scratch.lml_fuse(dictionary::find_list_entry("PHE", false)).str(), "Y");
}

// Lysine without NZ has no monomer of its index; lysine in the pool holds it.
TEST_F(TestLibrary, ResidueMissingAtomsDerivedFromTheMonomerHoldingIt) {
  comp::fill_c1(comp::load("LYS", {"OXT", "HXT", "H2", "NZ", "HZ1", "HZ2", "HZ3"}), "XLY");
  const auto r = run("XLY", 'G');
  EXPECT_EQ(r.ierr, 0);
  EXPECT_EQ(r.mon_new, "XLY     ");
  EXPECT_EQ(r.flag, "G");
  EXPECT_NE(r.out.find(" INFO: sub_structure in :LYS"), std::string::npos);
}

namespace {

// C1 atoms beyond the backbone (all but N, CA, C and O) reflected through
// the plane of N, CA and C: CA and every centre of the side chain take the
// other hand, as in the D-amino acid.
void side_chain_mirrored() {
  r_scratch_t& r = r_scratch;
  float p[3][3] = {};
  const char* plane[3] = {"N", "CA", "C"};
  for (int i = 1; i <= r.c1_natom; ++i)
    for (int k = 0; k < 3; ++k)
      if (r.c1_aname(i) == plane[k])
        for (int j = 0; j < 3; ++j) p[k][j] = r.c1_xyz(j + 1, i);
  const float u[3] = {p[0][0] - p[1][0], p[0][1] - p[1][1], p[0][2] - p[1][2]};
  const float v[3] = {p[2][0] - p[1][0], p[2][1] - p[1][1], p[2][2] - p[1][2]};
  float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
  const float len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  for (float& x : n) x /= len;
  for (int i = 1; i <= r.c1_natom; ++i) {
    const std::string name(r.c1_aname(i).trimmed());
    if (name == "N" || name == "CA" || name == "C" || name == "O") continue;
    float d = 0;
    for (int j = 0; j < 3; ++j) d += (r.c1_xyz(j + 1, i) - p[1][j]) * n[j];
    for (int j = 0; j < 3; ++j) r.c1_xyz(j + 1, i) -= 2 * d * n[j];
  }
}

}  // namespace

// A residue whose graph is a library monomer's takes that monomer's name
// and hands only where the model has the same hands: the D-forms of
// arginine and threonine keep their names and get descriptions of their
// own, with the index and with the subgraph search; the L-form under
// another name is renamed; a centre the model has nearly flat is not held
// against the monomer.
TEST_F(TestLibrary, GraphMatchRenamesOnlyWithTheModelsHands) {
  const struct {
    const char* label;
    const char* code;
    const char* name;
    bool mirrored, flat_ca;
    const char* mon_new;
    const char* opposed;  // the warning's centre, "" none
  } rows[] = {
      {"L-arginine under another name", "ARG", "XAR", false, false, "ARG     ", ""},
      {"D-arginine", "ARG", "DAR", true, false, "", "CA  "},
      {"D-threonine: CA reported first of its two centres", "THR", "DTH", true, false, "", "CA  "},
      {"D-arginine with CA near the plane of N, C and CB", "ARG", "DAR", true, true, "ARG     ", ""},
  };
  for (const auto& row : rows) {
    for (const char srch : {'N', 'G'}) {
      SCOPED_TRACE(std::string(row.label) + ", search " + srch);
      comp::fill_c1(comp::load(row.code, {"OXT", "HXT", "H2"}), row.name);
      r_scratch.c1_pnum = "     17A    ";
      if (row.mirrored) side_chain_mirrored();
      if (row.flat_ca) {
        // CA moved to a tenth of its height over the plane of N, C and CB:
        // the volume is a tenth of the D form's, about -0.25 A^3.
        r_scratch_t& r = r_scratch;
        int ca = 0, at[3] = {};
        for (int i = 1; i <= r.c1_natom; ++i) {
          if (r.c1_aname(i) == "CA") ca = i;
          if (r.c1_aname(i) == "N") at[0] = i;
          if (r.c1_aname(i) == "C") at[1] = i;
          if (r.c1_aname(i) == "CB") at[2] = i;
        }
        for (int j = 1; j <= 3; ++j)
          r.c1_xyz(j, ca) = 0.9f * (r.c1_xyz(j, at[0]) + r.c1_xyz(j, at[1]) + r.c1_xyz(j, at[2])) / 3 +
                            0.1f * r.c1_xyz(j, ca);
      }
      const auto r = run(row.name, srch);
      EXPECT_EQ(r.ierr, 0);
      const std::string warning = std::string("           the model's hand at \"") + row.opposed +
                                  "\" is not that of ";
      if (*row.opposed == '\0') {
        EXPECT_EQ(r.mon_new, row.mon_new);
        EXPECT_EQ(r.flag, "N");
        EXPECT_EQ(r.out.find("the model's hand"), std::string::npos) << r.out;
        continue;
      }
      EXPECT_EQ(r.mon_new, "        ");
      EXPECT_EQ(r.flag, "Y");
      EXPECT_EQ(r.out.find("Some of the atom names"), std::string::npos) << r.out;
      EXPECT_NE(r.out.find("  WARNING : residue: " + std::string(row.name) +
                           "         17 chain:A\n " + warning + row.code + " (positiv"),
                std::string::npos)
          << r.out;
      if (srch == 'G') {
        EXPECT_NE(r.out.find(warning + "the monomer holding it (positiv"), std::string::npos) << r.out;
      }
      // The residue's own atoms, for the builder.
      EXPECT_EQ(r_scratch.l1l_mname.str(), std::string(row.name) + "     ");
      EXPECT_EQ(r_scratch.l1l_prsnt.str(), "N");
      EXPECT_EQ(r_scratch.l1a_natom, r_scratch.c1_natom);
    }
  }
}

// Phenylalanine under another name whose CZ is called CX, and whose HZ (on
// that atom) is called CZ: the graph of the heavy atoms names CX as CZ by
// its bonds, a name the residue already uses.  With the subgraph search the
// residue is described from phenylalanine, but its atoms keep their own
// names, in C2 and in the description alike.
TEST_F(TestLibrary, GraphNamesThatWouldRepeatAnAtomsNameAreNotTaken) {
  comp::fill_c1(comp::load("PHE", {"OXT", "HXT", "H2"}), "XPH", {{"CZ", "CX"}, {"HZ", "CZ"}}, true);
  r_scratch_t& rs = r_scratch;
  const auto r = run("XPH", 'G');
  EXPECT_EQ(r.ierr, 0);
  EXPECT_EQ(r.flag, "G");
  EXPECT_NE(r.out.find("monomer looks like PHE"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(" INFO: sub_structure in :PHE"), std::string::npos) << r.out;
  for (int i = 1; i <= rs.c1_natom; ++i) EXPECT_EQ(rs.c2_aname(i).str(), rs.c1_aname(i).str());
  std::set<std::string> names;
  for (int a = 1; a <= rs.l1a_natom; ++a) EXPECT_TRUE(names.insert(rs.l1a_aname(a).str()).second) << a;
  EXPECT_TRUE(names.count("CX  "));
}
