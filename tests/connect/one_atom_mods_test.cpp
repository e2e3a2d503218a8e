// Modifications of one atom: a deletion is one row, an addition brings the
// bonds the residue gives the atom, a replacement renames the atom in the
// monomer's bonds and angles and drops the hydrogens bonded to it.
#include <gtest/gtest.h>

#include <string>

#include "connect/new_mods.h"
#include "dictionary/lib_com.h"
#include "foundation/cif_vocab.h"
#include "support/capture.h"

namespace {

class OneAtomMods : public ::testing::Test {
 protected:
  void SetUp() override {
    set_cif_types_();
    r.ldl_nmod = r.lda_natom = r.ldb_nbond = r.ldg_nangl = 0;
    r.leb_nbond = r.leg_nangl = 0;
    com_crt_mod.icrt_mod = 0;
  }
  void TearDown() override { SetUp(); }
  std::string make(const char* mod, const char* func, const char* atom_m, const char* atom_u,
                   const char* chemu) {
    return captured([&] {
      creat_mod_(0, mod, "SER", func, "test change", atom_m, atom_u, 0, 0, imod, ".", chemu, ierr);
    });
  }
  r_scratch_t& r = r_scratch;
  int32_t imod = -1, ierr = -1;
};

TEST_F(OneAtomMods, DeletionIsOneAtomRowAndNothingElse) {
  make("SER-OG", "DEL", "OG", ".", ".");
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(imod, 1);
  ASSERT_EQ(r.ldl_nmod, 1);
  EXPECT_EQ(r.ldl_mname(1).view(), "SER-OG  ");
  ASSERT_EQ(r.lda_natom, 1);
  EXPECT_EQ(r.lda_funct(1).view(), "delete  ");
  EXPECT_EQ(r.lda_aname(1).view(), "OG  ");
  EXPECT_EQ(r.lda_anew(1).view(), ".   ");
  EXPECT_EQ(r.lda_mname(1).view(), "SER-OG  ");
  EXPECT_EQ(r.ldb_nbond + r.ldg_nangl, 0);
}

// The residue N-CA-OX-HX in C1/S1; OX is added with its bond to CA (the
// hydrogen is no bond partner), the energy library is empty.
TEST_F(OneAtomMods, AdditionTakesTheResiduesBondsOfTheAtom) {
  r.c1_natom = 4;
  const char* names[] = {"N", "CA", "OX", "HX"};
  const char* chem[] = {"NH1", "CH1", "OH1", "HOH1"};
  for (int i = 1; i <= 4; ++i) {
    r.c1_aname(i) = names[i - 1];
    r.c1_asymb(i) = std::string_view(names[i - 1], 1);
    r.s1_chem(i) = chem[i - 1];
  }
  r.s1_ndist(1) = 1;
  r.s1_conn(1, 1) = 2;
  r.s1_ndist(2) = 2;
  r.s1_conn(1, 2) = 1;
  r.s1_conn(2, 2) = 3;
  r.s1_ndist(3) = 2;
  r.s1_conn(1, 3) = 2;
  r.s1_conn(2, 3) = 4;
  r.s1_ndist(4) = 1;
  r.s1_conn(1, 4) = 3;
  const std::string out = make("SER+OX", "ADD", ".", "OX", "OH1");
  EXPECT_EQ(ierr, 0);
  ASSERT_EQ(r.lda_natom, 1);
  EXPECT_EQ(r.lda_funct(1).view(), "add     ");
  EXPECT_EQ(r.lda_aname(1).view(), ".   ");
  EXPECT_EQ(r.lda_anew(1).view(), "OX  ");
  EXPECT_EQ(r.lda_chem(1).view(), "OH1 ");
  ASSERT_EQ(r.ldb_nbond, 1);
  EXPECT_EQ(r.ldb_1atm(1).view(), "OX  ");
  EXPECT_EQ(r.ldb_2atm(1).view(), "CA  ");
  EXPECT_FLOAT_EQ(r.ldb_val(1), 1.5f);
  EXPECT_EQ(r.ldg_nangl, 0) << "one atom's addition makes no angles";
  EXPECT_NE(out.find(" WARNING : SER : default bond legnth will be used"), std::string::npos) << out;
}

// The monomer in L1: N-CA-OG-HG with the angles N-CA-OG and CA-OG-HG; OG
// becomes SG of type SH1.
TEST_F(OneAtomMods, ReplacementRenamesTheAtomInTheMonomerAndDropsItsHydrogens) {
  r.l1a_natom = 4;
  const char* names[] = {"N", "CA", "OG", "HG"};
  const char* symb[] = {"N", "C", "O", "H"};
  const char* chem[] = {"NH1", "CH1", "OH1", "HOH1"};
  for (int i = 1; i <= 4; ++i) {
    r.l1a_aname(i) = names[i - 1];
    r.l1a_symb(i) = symb[i - 1];
    r.l1a_chem(i) = chem[i - 1];
  }
  r.l1b_nbond = 3;
  const char* bonds[3][2] = {{"N", "CA"}, {"CA", "OG"}, {"OG", "HG"}};
  for (int b = 1; b <= 3; ++b) {
    r.l1b_1atm(b) = bonds[b - 1][0];
    r.l1b_2atm(b) = bonds[b - 1][1];
    r.l1b_val(b) = 1.4f;
    r.l1b_dev(b) = 0.05f;
  }
  r.l1g_nangl = 2;
  r.l1g_1atm(1) = "N", r.l1g_2atm(1) = "CA", r.l1g_3atm(1) = "OG";
  r.l1g_1atm(2) = "CA", r.l1g_2atm(2) = "OG", r.l1g_3atm(2) = "HG";
  r.l1g_val(1) = 111.0f, r.l1g_dev(1) = 2.5f;
  r.l1g_val(2) = 108.0f, r.l1g_dev(2) = 3.0f;
  make("SER-OG", "REP", "OG", "SG", "SH1");
  EXPECT_EQ(ierr, 0);
  // The atom row, then HG deleted.
  ASSERT_EQ(r.lda_natom, 2);
  EXPECT_EQ(r.lda_funct(1).view(), "change  ");
  EXPECT_EQ(r.lda_aname(1).view(), "OG  ");
  EXPECT_EQ(r.lda_anew(1).view(), "SG  ");
  EXPECT_EQ(r.lda_chem(1).view(), "SH1 ");
  EXPECT_EQ(r.lda_funct(2).view(), "delete  ");
  EXPECT_EQ(r.lda_aname(2).view(), "HG  ");
  // The monomer's bonds and angles name SG now.
  EXPECT_EQ(r.l1b_2atm(2).view(), "SG  ");
  EXPECT_EQ(r.l1b_1atm(3).view(), "SG  ");
  EXPECT_EQ(r.l1g_3atm(1).view(), "SG  ");
  EXPECT_EQ(r.l1g_2atm(2).view(), "SG  ");
  // One changed bond (CA-SG, in the monomer's order) and one changed angle.
  ASSERT_EQ(r.ldb_nbond, 1);
  EXPECT_EQ(r.ldb_1atm(1).view(), "CA  ");
  EXPECT_EQ(r.ldb_2atm(1).view(), "SG  ");
  EXPECT_FLOAT_EQ(r.ldb_dev(1), 0.02f);
  EXPECT_FLOAT_EQ(r.l1b_dev(2), 0.02f);
  EXPECT_FLOAT_EQ(r.ldb_val(1), r.l1b_val(2));
  EXPECT_FLOAT_EQ(r.l1b_dev(1), 0.05f) << "a bond without the atom is left alone";
  ASSERT_EQ(r.ldg_nangl, 1);
  EXPECT_EQ(r.ldg_1atm(1).view(), "N   ");
  EXPECT_EQ(r.ldg_2atm(1).view(), "CA  ");
  EXPECT_EQ(r.ldg_3atm(1).view(), "SG  ");
  EXPECT_FLOAT_EQ(r.ldg_val(1), 111.0f);
  EXPECT_FLOAT_EQ(r.ldg_dev(1), 2.5f);
}

TEST_F(OneAtomMods, UnknownFunctionRegistersNothing) {
  const std::string out = make("SER-OG", "MOV", "OG", "SG", "SH1");
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(r.ldl_nmod, 0);
  EXPECT_EQ(r.lda_natom, 0);
  EXPECT_NE(out.find("unknown function"), std::string::npos) << out;
}

}  // namespace
