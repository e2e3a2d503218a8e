// Link look-ups on the test library: by name, by residues and atoms in either
// order, by class wildcards, and the lenient match with its ideal length.
#include <gtest/gtest.h>

#include "dictionary/lib_com.h"
#include "dictionary/link_lookup.h"
#include "foundation/cif_vocab.h"
#include "monlib_fixture.h"

namespace {

r_scratch_t& r = r_scratch;

// Residue types of the vocabulary.
constexpr int32_t kPeptide = 3, kSugar = 7, kSolvent = 9;

class LinkLookup : public testing::Test {
 protected:
  void SetUp() override {
    set_cif_types_();
    std::string out;
    ASSERT_EQ(monlib::load(monlib::test_library(), out), 0) << out;
  }
  static int32_t index_of(const char* name) {
    for (int32_t i = 1; i <= r.lll_nlink; ++i)
      if (r.lll_lname(i) == name) return i;
    return 0;
  }
  // A library link joining two residues of one monomer through different
  // atoms (an isopeptide), added by hand after the library was read.
  static int32_t add_isopeptide(const char* name = "ISO") {
    const int32_t i = ++r.lll_nlink;
    r.lll_lname(i) = name;
    r.lll_mon1(i) = "LYS";
    r.lll_mon2(i) = "LYS";
    r.lll_mod1(i) = "M1";
    r.lll_mod2(i) = "M2";
    r.lll_type1(i) = "peptide";
    r.lll_type2(i) = "peptide";
    r.lll_fuse(i) = "N";
    const int32_t k = ++r.llb_nbond;
    r.lll_ibond(i) = k;
    r.llb_lname(k) = name;
    r.llb_1atm(k) = "NZ";
    r.llb_2atm(k) = "C";
    r.llb_val(k) = 1.33f;
    return i;
  }

  struct Found {
    int32_t ilink = 99, irevers = 99;
    rt::FixedText<8> mod1{"x"}, mod2{"x"};
  };
  static Found look(const char* links, const char* mon1, const char* atom1, const char* mon2,
                    const char* atom2, int32_t t1, int32_t t2) {
    Found f;
    look_link_(links, mon1, atom1, mon2, atom2, t1, t2, f.ilink, f.mod1, f.mod2, f.irevers);
    return f;
  }
};

TEST_F(LinkLookup, ListFindsTheNameAndMarksTheLinkUsed) {
  const int32_t ss = index_of("SS");
  ASSERT_GT(ss, 0);
  int32_t ilink = -5;
  look_link_list_("SS      ", ilink);
  EXPECT_EQ(ilink, ss);
  EXPECT_EQ(r.lll_fuse(ss), "Y");
  look_link_list_("NAG-ASN", ilink);
  EXPECT_EQ(ilink, index_of("NAG-ASN"));
  look_link_list_("SSX", ilink);
  EXPECT_EQ(ilink, 0);
  // A name longer than the field is not cut to "NAG-ASN".
  look_link_list_("NAG-ASNX", ilink);
  EXPECT_EQ(ilink, 0);
  look_link_list_("NAG-ASN  X", ilink);
  EXPECT_EQ(ilink, 0);
}

TEST_F(LinkLookup, ListWithABlankNameMarksNothingAndKeepsMadeMarks) {
  for (int32_t i = 1; i <= r.lll_nlink; ++i) r.lll_fuse(i) = "N";
  int32_t ilink = -5;
  look_link_list_("        ", ilink);
  EXPECT_EQ(ilink, 0);
  for (int32_t i = 1; i <= r.lll_nlink; ++i) EXPECT_EQ(r.lll_fuse(i), "N") << i;
  const int32_t cis = index_of("CIS"), p = index_of("p");
  r.lll_fuse(cis) = "C";
  r.lll_fuse(p) = "?";
  look_link_list_("CIS", ilink);
  EXPECT_EQ(ilink, cis);
  look_link_list_("p", ilink);
  EXPECT_EQ(ilink, p);
  EXPECT_EQ(r.lll_fuse(cis), "C");
  EXPECT_EQ(r.lll_fuse(p), "?");
}

TEST_F(LinkLookup, ResiduesInLibraryOrderGiveTheLinkAndItsModifications) {
  const Found f = look("", "ASN", "ND2", "NAG", "C1", kPeptide, kSugar);
  EXPECT_EQ(f.ilink, index_of("NAG-ASN"));
  EXPECT_EQ(f.irevers, 0);
  EXPECT_EQ(f.mod1, "DEL-HD22");
  EXPECT_EQ(f.mod2, "DEL-O1");
}

TEST_F(LinkLookup, ResiduesInReverseOrderExchangeTheModifications) {
  // A sugar name longer than three characters matches on its stem.
  const Found f = look("", "NAGB", "C1", "ASN", "ND2", kSugar, kPeptide);
  EXPECT_EQ(f.ilink, index_of("NAG-ASN"));
  EXPECT_EQ(f.irevers, 1);
  EXPECT_EQ(f.mod1, "DEL-O1");
  EXPECT_EQ(f.mod2, "DEL-HD22");
  // Not for a residue that is not a sugar.
  EXPECT_EQ(look("", "NAGB", "C1", "ASN", "ND2", 2, kPeptide).ilink, 0);
}

TEST_F(LinkLookup, ClassWildcardsMatchEitherAtomOrder) {
  const int32_t trans = index_of("TRANS");
  Found f = look("", "ALA", "C", "GLY", "N", kPeptide, kPeptide);
  EXPECT_EQ(f.ilink, trans);
  EXPECT_EQ(f.irevers, 0);
  EXPECT_EQ(f.mod1, ".");
  f = look("", "ALA", "N", "GLY", "C", kPeptide, kPeptide);
  EXPECT_EQ(f.ilink, trans);
  EXPECT_EQ(f.irevers, 1);
  // "." is an unnamed search.
  EXPECT_EQ(look(".", "ALA", "C", "GLY", "N", kPeptide, kPeptide).ilink, trans);
  // A residue of another class is not a peptide end.
  EXPECT_EQ(look("", "HOH", "C", "GLY", "N", kSolvent, kPeptide).ilink, 0);
}

TEST_F(LinkLookup, NamedLinkIsTakenOrRefusedAtOnce) {
  Found f = look("PTRANS", "ALA", "C", "PRO", "N", kPeptide, kPeptide);
  EXPECT_EQ(f.ilink, index_of("PTRANS"));
  EXPECT_EQ(f.mod1, ".");
  EXPECT_EQ(f.mod2, "AA-STPRO");
  EXPECT_EQ(look("CIS", "ALA", "C", "GLY", "N", kPeptide, kPeptide).ilink, index_of("CIS"));
  // The right residues through other atoms: -1, not the next link.
  f = look("TRANS", "ALA", "CA", "GLY", "N", kPeptide, kPeptide);
  EXPECT_EQ(f.ilink, -1);
  EXPECT_EQ(f.mod1, ".");
  EXPECT_EQ(look("NOSUCH", "ALA", "C", "GLY", "N", kPeptide, kPeptide).ilink, -1);
  EXPECT_EQ(look("", "HOH", "O", "HOH", "O", kSolvent, kSolvent).ilink, 0);
}

TEST_F(LinkLookup, SwappedAtomsFitOnlyTwoResiduesOfOneMonomer) {
  // ASN..NAG through C1 of ASN and ND2 of NAG is not the glycosidic bond.
  EXPECT_EQ(look("", "ASN", "C1", "NAG", "ND2", kPeptide, kSugar).ilink, 0);
  int32_t ilink = 0;
  look_link_list_("SS", ilink);  // the index is built before the link is added
  const int32_t iso = add_isopeptide();
  const Found f = look("", "LYS", "C", "LYS", "NZ", kPeptide, kPeptide);
  EXPECT_EQ(f.ilink, iso);
  EXPECT_EQ(f.irevers, 1);
  EXPECT_EQ(f.mod1, "M2");
  EXPECT_EQ(f.mod2, "M1");
}

TEST_F(LinkLookup, LinkAtomsOfANamedLink) {
  rt::FixedText<4> a1("x"), a2("x");
  int32_t ilink = -5;
  get_link_atom_("NAG-ASN", a1, a2, ilink);
  EXPECT_EQ(ilink, index_of("NAG-ASN"));
  EXPECT_EQ(a1, "ND2");
  EXPECT_EQ(a2, "C1");
  for (const char* name : {"", ".", "?SS", "gap", "NOSUCH"}) {
    a1 = "x";
    get_link_atom_(name, a1, a2, ilink);
    EXPECT_EQ(ilink, 0) << name;
    EXPECT_EQ(a1, "x") << name;
  }
}

TEST_F(LinkLookup, LenientMatchGivesTheIdealLength) {
  float d = -1.0f;
  int32_t ilink = -5;
  check_link_info_("", "ASN", "NAG", "ND2", "C1", d, ilink);
  EXPECT_EQ(ilink, index_of("NAG-ASN"));
  EXPECT_FLOAT_EQ(d, 1.45f);
  check_link_info_(".", "NAG", "ASN", "C1", "ND2", d, ilink);
  EXPECT_EQ(ilink, index_of("NAG-ASN"));
  // Two peptides fit the class-only ends both ways; the reverse wins.
  check_link_info_("TRANS", "ALA", "GLY", "N", "C", d, ilink);
  EXPECT_EQ(ilink, index_of("TRANS"));
  EXPECT_FLOAT_EQ(d, 1.329f);
  check_link_info_("NOSUCH", "ASN", "NAG", "ND2", "C1", d, ilink);
  EXPECT_EQ(ilink, 0);
  EXPECT_EQ(d, 0.0f);
}

TEST_F(LinkLookup, LenientMatchNeverReturnsAGapLink) {
  add_isopeptide("gap");
  float d = -1.0f;
  int32_t ilink = -5;
  check_link_info_("", "LYS", "LYS", "C", "NZ", d, ilink);
  EXPECT_EQ(ilink, 0);
  check_link_info_("gap", "LYS", "LYS", "C", "NZ", d, ilink);
  EXPECT_EQ(ilink, 0);
}

TEST_F(LinkLookup, ListFilledAgainByHandIsIndexedAgain) {
  int32_t ilink = 0;
  look_link_list_("SS", ilink);
  ASSERT_GT(ilink, 0);
  // Same length, new names: the first one is found where it now stands.
  for (int32_t i = 1; i <= r.lll_nlink; ++i) r.lll_lname(i) = 'L' + std::to_string(i);
  look_link_list_("L1", ilink);
  EXPECT_EQ(ilink, 1);
  look_link_list_("SS", ilink);
  EXPECT_EQ(ilink, 0);
}

TEST_F(LinkLookup, EmptyLibraryOrOverlongNamesFindNothing) {
  float d = -1.0f;
  int32_t ilink = -5;
  check_link_info_("", "ASNXXXXXX", "NAG", "ND2", "C1", d, ilink);
  EXPECT_EQ(ilink, 0);
  EXPECT_EQ(look("", "ASN", "ND2  X", "NAG", "C1", kPeptide, kSugar).ilink, 0);
  r.lll_nlink = 0;
  look_link_list_("SS", ilink);
  EXPECT_EQ(ilink, 0);
  EXPECT_EQ(look("", "ASN", "ND2", "NAG", "C1", kPeptide, kSugar).ilink, 0);
  EXPECT_EQ(look("SS", "CYS", "SG", "CYS", "SG", kPeptide, kPeptide).ilink, -1);
  rt::FixedText<4> a1, a2;
  get_link_atom_("SS", a1, a2, ilink);
  EXPECT_EQ(ilink, 0);
  check_link_info_("", "ASN", "NAG", "ND2", "C1", d, ilink);
  EXPECT_EQ(ilink, 0);
}

}  // namespace
