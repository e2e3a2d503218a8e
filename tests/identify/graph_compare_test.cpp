// Graph comparison of a residue with a library monomer, on real components:
// index strings worked out by hand, renamed, swapped, missing and surplus
// atoms, element and size rejections, and the renaming stage.
#include <gtest/gtest.h>

#include "component.h"
#include "dictionary/lib_com.h"
#include "foundation/messages.h"
#include "identify/coord_bonds.h"
#include "identify/graph_compare.h"
#include "identify/mtc_atom.h"
#include "support/capture.h"

namespace {

const std::set<std::string> kLeaving = {"OXT", "HXT", "H2"};

class GraphCompare : public ::testing::Test {
 protected:
  void SetUp() override {
    comlib.iquiet = 0;
    comlib.idoc = 0;
    r_scratch.lms_nsyn = r_scratch.lms_isyn = r_scratch.lms_new = 0;
  }
  // Residue from coordinates (neighbours by distance), monomer from its bonds.
  static void load(const std::string& code, const std::map<std::string, std::string>& rename = {},
                   const std::set<std::string>& drop_residue = {}) {
    std::set<std::string> drop = kLeaving;
    drop.insert(drop_residue.begin(), drop_residue.end());
    comp::fill_c1(comp::load(code, drop), code, rename);
    int32_t ierr = 0;
    crd_conn_(0, "    ", ierr);
    comp::fill_l1(comp::load(code, kLeaving), code);
  }
  static int32_t compare(int32_t isyn, std::string& out, char list = ' ') {
    int32_t ierr = -1;
    out = captured([&] { check_compl_(0, list, "    ", isyn, r_scratch.l1l_mname, ierr); });
    return ierr;
  }
};

// Serine from coordinates: OG adds the paths CA-OG (2), N-OG, C-OG (3) and
// O-OG (4), and the bond CB-OG (C-O).
TEST_F(GraphCompare, SerineResidueIndexFromCoordinates) {
  load("SER");
  int32_t ierr = -1;
  check_compl_(0, 'S', "CRD ", 1, "SER", ierr);
  EXPECT_EQ(mtc_atom.mt_nc, 6);
  EXPECT_EQ(mtc_atom.c_content.str(), "030102000000000000000000000000");
  EXPECT_EQ(mtc_atom.c_index.str(), "005005004001000000000000");
  EXPECT_EQ(mtc_atom.c_pair.str(), "002001002000000000000000");
}

// Phenylalanine: the ring closes paths that a chain would count longer.
// Pairs by path length worked out by hand on the 11 heavy atoms.
TEST_F(GraphCompare, PhenylalanineRingShortensPaths) {
  load("PHE");
  int32_t ierr = -1;
  check_compl_(0, 'S', "CRD ", 1, "PHE", ierr);
  EXPECT_EQ(mtc_atom.c_index.str(), "011013011008007004001000");
  EXPECT_EQ(mtc_atom.c_pair.str(), "009001001000000000000000");
}

TEST_F(GraphCompare, SameNamesChangeNothing) {
  load("TYR");
  std::string out;
  EXPECT_EQ(compare(0, out), 0);
  EXPECT_EQ(out, "");
  EXPECT_EQ(r_scratch.lms_nsyn, 0);
  for (int i = 1; i <= mtc_atom.mt_nc; ++i) {
    const int j = mtc_atom.mt_corr(i);
    ASSERT_GT(j, 0);
    EXPECT_EQ(mtc_atom.mt_cname(i).str(), mtc_atom.mt_lname(j).str());
  }
}

TEST_F(GraphCompare, RenamedAtomsTakeLibraryNamesAndBecomeSynonyms) {
  load("SER", {{"OG", "O1"}, {"CB", "C3"}});
  comlib.idoc = 0;
  std::string out;
  ASSERT_EQ(compare(0, out, 'L'), 0);
  EXPECT_EQ(out,
            "  WARNING : program changed some atom names to standard\n"
            "            SER       \"C3  \" ---> \"CB  \"\n"
            "            SER       \"O1  \" ---> \"OG  \"\n");
  r_scratch_t& r = r_scratch;
  EXPECT_EQ(r.c1_aname(5).str(), "CB  ");
  EXPECT_EQ(r.c1_aname(6).str(), "OG  ");
  ASSERT_EQ(r.lms_nsyn, 2);
  EXPECT_EQ(r.lms_isyn, 1);
  EXPECT_EQ(r.lms_new, 2);
  EXPECT_EQ(r.lms_mname(1).str(), "SER     ");
  EXPECT_EQ(r.lms_amname(1).str(), ".       ");
  EXPECT_EQ(r.lms_atom(1).str(), "CB  ");
  EXPECT_EQ(r.lms_aatom(1).str(), "C3  ");
  EXPECT_EQ(r.lms_flag(2).str(), "N");
}

TEST_F(GraphCompare, IsynOneChangesNoWorkArea) {
  load("SER", {{"OG", "O1"}});
  r_scratch.l1a_x(6) = 99.0f;
  r_scratch.c2_aname(6) = "KEEP";
  std::string out;
  ASSERT_EQ(compare(1, out), 0);
  EXPECT_EQ(r_scratch.c1_aname(6).str(), "O1  ");
  EXPECT_EQ(r_scratch.c2_aname(6).str(), "KEEP");
  EXPECT_EQ(r_scratch.l1a_x(6), 99.0f);
  EXPECT_EQ(r_scratch.lms_nsyn, 0);
}

// The carboxylate oxygens have equal surroundings: each stays on the library
// atom of its own name, in either order of the file.
TEST_F(GraphCompare, SymmetricOxygensKeepTheirNames) {
  load("ASP", {{"OD1", "OD2"}, {"OD2", "OD1"}});
  std::string out;
  ASSERT_EQ(compare(0, out), 0);
  EXPECT_EQ(out, "");
  EXPECT_EQ(r_scratch.lms_nsyn, 0);
}

// O and OG exchanged: each name is the library's, but the bonds say the
// atom named O is the hydroxyl.  The atoms are named by their bonds.
TEST_F(GraphCompare, ExchangedNamesAgainstTheBondsAreRenamed) {
  load("SER", {{"O", "OG"}, {"OG", "O"}});
  std::string out;
  ASSERT_EQ(compare(2, out, 'L'), 0);
  EXPECT_EQ(out,
            "  WARNING : program changed some atom names to standard\n"
            "            SER       \"OG  \" ---> \"O   \"\n"
            "            SER       \"O   \" ---> \"OG  \"\n");
  r_scratch_t& r = r_scratch;
  EXPECT_EQ(r.c1_aname(4).str(), "OG  ") << "C1 keeps the file's names";
  EXPECT_EQ(r.c2_aname(4).str(), "O   ");
  EXPECT_EQ(r.c2_aname(6).str(), "OG  ");
  EXPECT_EQ(r.lms_nsyn, 0);
}

TEST_F(GraphCompare, HydrogensTakeNoPart) {
  comp::fill_c1(comp::load("SER", kLeaving), "SER", {{"HG", "HOG"}}, true);
  int32_t ierr = 0;
  crd_conn_(0, "    ", ierr);
  comp::fill_l1(comp::load("SER", kLeaving), "SER", false);
  std::string out;
  EXPECT_EQ(compare(0, out), 0);
  EXPECT_EQ(r_scratch.lms_nsyn, 0);
  EXPECT_EQ(mtc_atom.mt_nc, 6);
}

TEST_F(GraphCompare, ResidueMissingAnAtomStillMatches) {
  load("LYS", {{"CE", "C5"}}, {"NZ"});
  std::string out;
  ASSERT_EQ(compare(0, out), 0);
  EXPECT_EQ(r_scratch.c1_aname(8).str(), "CE  ");
}

TEST_F(GraphCompare, SizeDifferenceAboveTwoRejected) {
  load("LYS", {}, {"CD", "CE", "NZ"});
  std::string out;
  EXPECT_EQ(compare(0, out), 11);
}

TEST_F(GraphCompare, OtherElementCountMustAgree) {
  comp::Component c = comp::load("MET", kLeaving);
  for (auto& a : c.atoms)
    if (a.name == "SD") a.symb = "SE";
  comp::fill_c1(c, "MSE");
  int32_t ierr = 0;
  crd_conn_(0, "    ", ierr);
  comp::fill_l1(comp::load("MET", kLeaving), "MET");
  std::string out;
  EXPECT_EQ(compare(0, out), 12);
}

// A single atom of the library's name needs no renaming; the copy C2 that the
// callers compare with C1 must still be this residue's, not a stale one.
TEST_F(GraphCompare, SingleAtomOfTheLibraryNameRefreshesTheCopy) {
  comp::fill_c1(comp::load("HOH"), "HOH");
  comp::fill_l1(comp::load("HOH"), "HOH");
  r_scratch.c2_aname(1) = "OLD";
  std::string out;
  EXPECT_EQ(compare(2, out), 0);
  EXPECT_EQ(r_scratch.c2_aname(1).str(), "O   ");
}

TEST(CreateIndex, HalvesCountsAndCapsAtThreeDigits) {
  rt::Array1<int32_t, 8> index{}, ipair{};
  index(1) = 8;       // 4
  index(2) = 2000;    // 1000 -> 999
  index(3) = 1999;    // 999
  index(8) = 1;       // 0
  ipair(1) = 246;     // 123
  rt::FixedText<24> ci, cp;
  create_index_(index, ci, ipair, cp);
  EXPECT_EQ(ci.str(), "004999999000000000000000");
  EXPECT_EQ(cp.str(), "123000000000000000000000");
}

}  // namespace

namespace {

TEST_F(GraphCompare, TraceListsBothSidesAndTheMatch) {
  load("PHE", {{"CZ", "C9"}});
  std::string out;
  ASSERT_EQ(compare(0, out, 'T'), 0);
  EXPECT_NE(out.find(" crd NA:  11PHE"), std::string::npos);
  EXPECT_NE(out.find(" Natom(crd,lib),Nocc:  11  11   0"), std::string::npos);
  EXPECT_NE(out.find(" -->011013011008007004001000;"), std::string::npos);
  EXPECT_NE(out.find(" ISCORE :     0"), std::string::npos);
  EXPECT_NE(out.find("\"C9  \" ---> \"CZ  \""), std::string::npos);
}

}  // namespace
