// New modifications: their names and descriptions, the full library, and
// the rows of added atoms with default lengths and angles.
#include <gtest/gtest.h>

#include "connect/new_mods.h"
#include "dictionary/lib_com.h"
#include "foundation/cif_vocab.h"
#include "support/capture.h"

namespace {

class NewMods : public ::testing::Test {
 protected:
  void SetUp() override {
    set_cif_types_();
    auto& r = r_scratch;
    r.ldl_nmod = r.lda_natom = r.ldb_nbond = r.ldg_nangl = 0;
    r.leb_nbond = r.leg_nangl = 0;
    com_crt_mod.icrt_mod = 0;
  }
  void TearDown() override { SetUp(); }
  rt::FixedText<8> mod{""};
  rt::FixedText<80> namem{""};
  ModAtoms atoms{};
  int32_t imod = -1, ierr = -1;
};

TEST_F(NewMods, OneAtomDeletionIsNamedAfterMonomerAndAtom) {
  look_mod_("ALA", "OXT", "", 0, mod, namem, atoms, "DEL", imod, 3, ierr);
  EXPECT_EQ(mod.view(), "ALA-OXT ");
  EXPECT_EQ(namem.trimmed(), "DEL-OXT_->ALA");
  EXPECT_EQ(imod, 0);
}

TEST_F(NewMods, SeveralAtomsAreListedInTheDescription) {
  atoms[0] = "O1";
  atoms[1] = "O2";
  look_mod_("GAL", "", "", 2, mod, namem, atoms, "MDL", imod, 7, ierr);
  EXPECT_EQ(mod.view(), "GAL-2O1 ");
  EXPECT_EQ(namem.trimmed(), "DEL-O1__-O2__");
}

TEST_F(NewMods, KnownChangeFindsTheLibraryModification) {
  r_scratch.ldl_nmod = 1;
  r_scratch.ldl_mname(1) = "DEL-OXT";
  atoms[0] = "OXT";
  look_mod_("ALA", "", "", 1, mod, namem, atoms, "MDL", imod, 3, ierr);
  EXPECT_EQ(mod.view(), "DEL-OXT ");
  EXPECT_EQ(imod, 1);
  r_scratch.ldl_mname(1) = "DEL-O1";
  atoms[0] = "O1";
  look_mod_("GAL", "", "", 1, mod, namem, atoms, "MDL", imod, 7, ierr);
  EXPECT_EQ(mod.view(), "DEL-O1  ");
  EXPECT_EQ(imod, 1);
}

TEST_F(NewMods, FullLibraryIsReportedOnceAndRefusesEveryTime) {
  r_scratch.ldl_nmod = MAXDMDF;
  atoms[0] = "OXT";
  const std::string first =
      captured([&] { creat_mod_ndel_(0, "ALA-1OXT", "ALA", imod, "DEL-OXT_", 1, atoms, ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_NE(first.find("  WARNING : Number of modifications >   300\n"
                       "            Change parameter MAXDMDF in \"lib_com.fh\"\n"
                       "            Now program stops to create new modifications.\n"),
            std::string::npos);
  const std::string second =
      captured([&] { creat_mod_ndel_(0, "ALA-1OXT", "ALA", imod, "DEL-OXT_", 1, atoms, ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(second.find("Number of modifications"), std::string::npos);
  EXPECT_EQ(r_scratch.ldl_nmod, MAXDMDF);
}

TEST_F(NewMods, AtomCountOutsideOneToNineDoesNothing) {
  for (int n : {0, 10}) {
    ierr = -1;
    creat_mod_ndel_(0, "X", "ALA", imod, "DEL", n, atoms, ierr);
    EXPECT_EQ(ierr, 0) << n;
  }
  EXPECT_EQ(r_scratch.ldl_nmod, 0);
}

// The residue N-CA-OX in C1/S1; OX is added, the energy library is empty.
TEST_F(NewMods, AddedAtomGetsBondAndAngleWithDefaultValues) {
  auto& r = r_scratch;
  r.c1_natom = 3;
  const char* names[] = {"N", "CA", "OX"};
  const char* chem[] = {"NH1", "CH1", "OH1"};
  for (int i = 1; i <= 3; ++i) {
    r.c1_aname(i) = names[i - 1];
    r.c1_asymb(i) = std::string_view(names[i - 1], 1);
    r.s1_chem(i) = chem[i - 1];
  }
  r.s1_ndist(1) = 1;
  r.s1_conn(1, 1) = 2;
  r.s1_ndist(2) = 2;
  r.s1_conn(1, 2) = 1;
  r.s1_conn(2, 2) = 3;
  r.s1_ndist(3) = 1;
  r.s1_conn(1, 3) = 2;
  atoms[0] = "OX";
  ModAtoms types{};
  types[0] = "OH1";
  const std::string out = captured(
      [&] { creat_mod_nadd_(0, "ALA+1OX", "ALA", imod, "ADD-OX__", 1, atoms, types, ierr); });
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(imod, 1);
  EXPECT_EQ(r.lda_natom, 1);
  EXPECT_EQ(r.lda_funct(1).view(), "add     ");
  ASSERT_EQ(r.ldb_nbond, 1);
  EXPECT_EQ(r.ldb_2atm(1).view(), "CA  ");
  EXPECT_FLOAT_EQ(r.ldb_val(1), 1.5f);
  ASSERT_EQ(r.ldg_nangl, 1);
  EXPECT_EQ(r.ldg_2atm(1).view(), "CA  ");
  EXPECT_FLOAT_EQ(r.ldg_val(1), 109.45f);
  EXPECT_EQ(r.ldl_fuse(1).view(), "C");
  EXPECT_NE(out.find("            ALA      : default bond legnth will be used\n"
                     "            chem_type: OH1 -CH1     1.500 (OX  -CA  )\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("            chem_type: NH1 -CH1 -OH1   109.450 (N   -CA  -OX  )\n"),
            std::string::npos)
      << out;
}

}  // namespace
