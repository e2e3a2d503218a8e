// Serine of the components as residue (C1, C2) and library monomer (L1): the
// comparison by atom name, the naming differences it repairs, the new
// monomer it declares otherwise, and the residue's names carried back into
// the description.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "component.h"
#include "dictionary/dict_index.h"
#include "dictionary/lib_com.h"
#include "dictionary/work_copies.h"
#include "foundation/messages.h"
#include "identify/name_compare.h"
#include "identify/name_transfer.h"
#include "support/capture.h"

namespace {

const std::set<std::string> kLeaving = {"OXT", "HXT", "H2"};

struct Compare {
  int32_t ierr = -1, nmon = 0;
  std::string mon_new = "?", flag = "N", out;
};

class NameCompare : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("ATOMSF", ORB_DATA_DIR "/atomsf.lib", 0);
    comlib.iquiet = 0;
    comlib.idoc = 0;
    // A list that resolves SER and SER_N1 only.
    r_scratch_t& r = r_scratch;
    r.lms_nsyn = r.ldr_nder = 0;
    r.lml_nmon = 2;
    r.lml_mname(1) = "SER";
    r.lml_mname(2) = "SER_N1";
    dictionary::reset_dictionary_index();
    comp::fill_l1(comp::load("SER", kLeaving), "SER");
  }
  // C1 from serine under the renames (old -> new), then C2 its copy.
  static void residue(const std::map<std::string, std::string>& rename = {}) {
    comp::fill_c1(comp::load("SER", kLeaving), "SER", rename);
    r_scratch_t& r = r_scratch;
    for (int k = 1; k <= r.c1_natom; ++k) {
      r.c1_sf_id(k) = 0;
      r.s1_chem(k) = ".";
      r.c1_atype(k) = "C";
    }
    int32_t ierr = 0;
    copyc2_(99, ierr);
  }
  static Compare compare(int32_t nmon = 0) {
    Compare c;
    c.nmon = nmon;
    rt::FixedText<8> mon_new(c.mon_new);
    rt::FixedText<1> flag(c.flag);
    c.out = captured([&] { check_cmp_mon5_(0, ' ', 'Y', 1, 1, 1, c.nmon, mon_new, flag, c.ierr); });
    c.mon_new = std::string(mon_new.trimmed());
    c.flag = flag.str();
    return c;
  }
  static std::string c2(int k) { return std::string(r_scratch.c2_aname(k).trimmed()); }
};

const char* kHeader = "  WARNING : residue: SER         1  chain:\n";

TEST_F(NameCompare, MissingHydrogensOnlyAreNoDifference) {
  residue();
  const Compare c = compare();
  EXPECT_EQ(c.ierr, 0);
  EXPECT_EQ(c.out, "");
  EXPECT_EQ(c.flag, "N");
  r_scratch_t& r = r_scratch;
  EXPECT_EQ(r.l1a_coor_flag(1).str(), "Y") << "N has coordinates";
  EXPECT_EQ(r.l1a_coor_flag(r.l1a_natom).str(), "N") << "a hydrogen the residue lacks";
}

TEST_F(NameCompare, OneWrongNameOfTheSameElementIsRenamed) {
  residue({{"OG", "OG1"}});
  const Compare c = compare();
  EXPECT_EQ(c.ierr, 0);
  EXPECT_EQ(c.out, std::string(kHeader) +
                       "            atom: \"OG  \" is absent in coord_file\n"
                       "            atom: \"OG1 \" is absent in lib description.\n"
                       "  U,M: OG   OG\n");
  EXPECT_EQ(c2(6), "OG");
  EXPECT_EQ(std::string(r_scratch.c1_aname(6).trimmed()), "OG1") << "C1 keeps the file name";
  EXPECT_EQ(c.flag, "N");
}

TEST_F(NameCompare, TwoWrongNamesPairedCrosswise) {
  residue({{"N", "NX"}, {"CB", "CX"}});
  // Residue order CX before NX: extra (C, N) against missing (N, C).
  r_scratch_t& r = r_scratch;
  std::swap(r.c2_aname(1), r.c2_aname(5));
  std::swap(r.c1_aname(1), r.c1_aname(5));
  std::swap(r.c1_asymb(1), r.c1_asymb(5));
  const Compare c = compare();
  EXPECT_EQ(c.flag, "N");
  EXPECT_EQ(c2(1), "CB");
  EXPECT_EQ(c2(5), "N");
}

TEST_F(NameCompare, DifferentElementsMakeANewMonomer) {
  residue({{"OG", "SG"}});
  r_scratch.c1_asymb(6) = "S";
  const Compare c = compare();
  EXPECT_EQ(c.flag, "Y");
  EXPECT_EQ(c.mon_new, "SER_N2") << "SER_N1 resolves in the library";
  EXPECT_EQ(c.nmon, 2);
  r_scratch_t& r = r_scratch;
  EXPECT_EQ(r.c1_rname.str(), "SER_N2  ");
  EXPECT_EQ(r.l1l_prsnt.str(), "N");
  EXPECT_EQ(r.l1a_natom, r.c1_natom);
  EXPECT_EQ(r.l1a_aname(6).str(), "SG  ");
  EXPECT_EQ(r.l1b_nbond, 0);
  EXPECT_EQ(compare(99).flag, "N") << "no numbers left";
}

TEST_F(NameCompare, EmptyResidueOccupancyAndDuplicatedLibraryNames) {
  residue();
  r_scratch_t& r = r_scratch;
  r.c1_occ(2) = 0.0001f;
  r.l1a_aname(r.l1a_natom) = r.l1a_aname(r.l1a_natom - 1);
  const Compare c = compare();
  EXPECT_EQ(r.l1a_coor_flag(2).str(), "N") << "occupancy 0.0001 gives no coordinates";
  const std::string dup = " : duplicated atom_name (lib) :\"" + r.l1a_aname(r.l1a_natom).str() + "\"";
  EXPECT_EQ(c.out, std::string(kHeader) + "  WARNING : SER     " + dup + "\n");
  r.l1a_natom = 0;
  const Compare empty = compare();
  EXPECT_EQ(empty.ierr, 1);
  EXPECT_EQ(empty.out, "  ERROR: number of atoms in monomer (lib) SER      =      0\n");
}

// ------------------------------------------------------------- name transfer

TEST(NameTransfer, SwappedNamesSwapEverywhere) {
  comp::fill_l1(comp::load("SER", kLeaving), "SER");
  r_scratch_t& r = r_scratch;
  r.c1_natom = r.c2_natom = 2;
  r.c1_aname(1) = "CB";  // the file's CB is the library's OG, and back
  r.c2_aname(1) = "OG";
  r.c1_aname(2) = "OG";
  r.c2_aname(2) = "CB";
  r.l1g_nangl = 1;
  r.l1g_1atm(1) = "CA";
  r.l1g_2atm(1) = "CB";
  r.l1g_3atm(1) = "OG";
  r.l1p_nplan = 1;
  r.l1p_natom(1) = 1;
  r.l1p_atom(1, 1) = "OG";
  r.l1p_atom(2, 1) = "OG";  // beyond the plane's count
  int cb_og = 0;
  for (int b = 1; b <= r.l1b_nbond; ++b)
    if (r.l1b_1atm(b) == "CB" && r.l1b_2atm(b) == "OG") cb_og = b;
  ASSERT_GT(cb_og, 0);
  cp_aname_c1_l1_();
  EXPECT_EQ(r.l1a_aname(5).str(), "OG  ");
  EXPECT_EQ(r.l1a_aname(6).str(), "CB  ");
  EXPECT_EQ(r.l1b_1atm(cb_og).str(), "OG  ");
  EXPECT_EQ(r.l1b_2atm(cb_og).str(), "CB  ");
  EXPECT_EQ(r.l1g_2atm(1).str(), "OG  ");
  EXPECT_EQ(r.l1g_3atm(1).str(), "CB  ");
  EXPECT_EQ(r.l1g_1atm(1).str(), "CA  ") << "no residue atom of that name";
  EXPECT_EQ(r.l1p_atom(1, 1).str(), "CB  ");
  EXPECT_EQ(r.l1p_atom(2, 1).str(), "OG  ");
}

TEST(NameTransfer, LaterResidueAtomWinsAndEmptyResidueChangesNothing) {
  comp::fill_l1(comp::load("SER", kLeaving), "SER");
  r_scratch_t& r = r_scratch;
  r.c1_natom = 2;
  r.c1_aname(1) = "X1";
  r.c2_aname(1) = "OG";
  r.c1_aname(2) = "X2";
  r.c2_aname(2) = "OG";
  cp_aname_c1_l1_();
  EXPECT_EQ(r.l1a_aname(6).str(), "X2  ");
  r.c1_natom = 0;
  r.c2_aname(1) = "N";
  cp_aname_c1_l1_();
  EXPECT_EQ(r.l1a_aname(1).str(), "N   ");
}

// The other way: names passed round three atoms in the residue (C1) are
// taken back to the names the graph gave them (C2) in every record.
TEST(NameTransfer, ResidueNamesPassedRoundTakeTheNamesOfTheirAtoms) {
  comp::fill_l1(comp::load("SER", kLeaving), "SER");
  r_scratch_t& r = r_scratch;
  r.c1_natom = 3;
  const char* c1[] = {"CA", "CB", "OG"};
  const char* c2[] = {"CB", "OG", "CA"};
  for (int k = 0; k < 3; ++k) {
    r.c1_aname(k + 1) = c1[k];
    r.c2_aname(k + 1) = c2[k];
  }
  int ca_cb = 0;
  for (int b = 1; b <= r.l1b_nbond; ++b)
    if (r.l1b_1atm(b) == "CA" && r.l1b_2atm(b) == "CB") ca_cb = b;
  ASSERT_GT(ca_cb, 0);
  identify::l1_names_to_c2();
  EXPECT_EQ(r.l1a_aname(2).str(), "CB  ");
  EXPECT_EQ(r.l1a_aname(5).str(), "OG  ");
  EXPECT_EQ(r.l1a_aname(6).str(), "CA  ");
  EXPECT_EQ(r.l1b_1atm(ca_cb).str(), "CB  ");
  EXPECT_EQ(r.l1b_2atm(ca_cb).str(), "OG  ");
  EXPECT_EQ(r.l1a_aname(1).str(), "N   ") << "no residue atom of that name";
}

}  // namespace
