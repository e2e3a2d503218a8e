// Element and class of atoms from their names, the residue-name repairs,
// chain-identifier renaming when identifiers collide, and CIF quoting of
// atom names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/atom_com.h"
#include "foundation/atom_names.h"
#include "foundation/residue_class.h"

namespace {

std::string ctype_of(std::string_view s) {
  rt::FixedText<4> c("?");
  set_ctype_(s, c);
  return c.str();
}

struct Corrected {
  std::string aname, rname, asymb, ctype;
};

Corrected corr(std::string_view aname, std::string_view rname) {
  rt::FixedText<4> a(aname), s("?"), c("?");
  rt::FixedText<8> r(rname);
  corr_name_(a, r, s, c);
  return {a.str(), r.str(), s.str(), c.str()};
}

class AtomNames : public testing::Test {
 protected:
  void SetUp() override { init_res_type_tab_(); }
};

// Chains with one residue each; group_id as given, residue keys blank.
void set_chains(const std::vector<std::string>& ids) {
  asym_part.n_group = static_cast<int32_t>(ids.size());
  for (int i = 1; i <= asym_part.n_group; ++i) {
    asym_part.group_id(i) = ids[i - 1];
    asym_part.chain_id(i) = "none";
    asym_part.ires_first(i) = i;
    asym_part.nres_chain(i) = 1;
    resid_inf.res_num_pdb(i) = "Q9  12 ????Z";
  }
  resid_inf.n_residue = asym_part.n_group;
}

std::vector<std::string> chain_ids() {
  std::vector<std::string> v;
  for (int i = 1; i <= asym_part.n_group; ++i) v.push_back(asym_part.chain_id(i).str());
  return v;
}

std::vector<std::string> group_ids() {
  std::vector<std::string> v;
  for (int i = 1; i <= asym_part.n_group; ++i) v.push_back(asym_part.group_id(i).str());
  return v;
}

std::string fixed_cif(std::string_view name, int width) {
  std::string s(name);
  s.resize(width, ' ');
  corr_name_cif_out_(s);
  return s;
}

}  // namespace

TEST(AtomClasses, FromElementSymbol) {
  EXPECT_EQ(ctype_of("ZN"), "$   ");
  EXPECT_EQ(ctype_of("N"), "C   ");
  EXPECT_EQ(ctype_of("D"), "H   ");
  EXPECT_EQ(ctype_of("H"), "H   ");
  EXPECT_EQ(ctype_of("I"), "$   ");
  EXPECT_EQ(ctype_of("W  "), "$   ");
  EXPECT_EQ(ctype_of("C"), "C   ");
  EXPECT_EQ(ctype_of("HG"), "$   ");
  EXPECT_EQ(ctype_of("zn"), "C   ");
}

TEST_F(AtomNames, LeadingBlankNamesTakeElementFromColumnTwo) {
  Corrected c = corr(" CA ", "ALA");
  EXPECT_EQ(c.aname, "CA  ");
  EXPECT_EQ(c.asymb, "C   ");
  EXPECT_EQ(c.ctype, "C   ");
  c = corr(" SG ", "CYS");
  EXPECT_EQ(c.aname, "SG  ");
  EXPECT_EQ(c.asymb, "S   ");
  EXPECT_EQ(c.ctype, "$   ");
  c = corr(" H  ", "ALA");
  EXPECT_EQ(c.aname, "H   ");
  EXPECT_EQ(c.asymb, "H   ");
  EXPECT_EQ(c.ctype, "H   ");
  c = corr(" O 1", "XYZ");  // the blank left in place 2 closes up
  EXPECT_EQ(c.aname, "O1  ");
}

TEST_F(AtomNames, TwoLetterMetalsStartInColumnOne) {
  Corrected c = corr("ZN  ", "ZN");
  EXPECT_EQ(c.aname, "ZN  ");
  EXPECT_EQ(c.asymb, "ZN  ");
  EXPECT_EQ(c.ctype, "$   ");
  c = corr("CA  ", "CA");
  EXPECT_EQ(c.asymb, "CA  ");
  EXPECT_EQ(c.ctype, "$   ");
  c = corr("HE21", "GLN");  // looks like helium, is a hydrogen
  EXPECT_EQ(c.asymb, "H   ");
  EXPECT_EQ(c.ctype, "H   ");
  c = corr("HA 2", "XYZ");  // not a metal: element from column two, inner blank kept visible
  EXPECT_EQ(c.asymb, "A   ");
  EXPECT_EQ(c.ctype, "C   ");
  EXPECT_EQ(c.aname, "HA_2");
}

TEST_F(AtomNames, DigitsAndQuotesRotateToTheEnd) {
  Corrected c = corr("1HB ", "ALA");
  EXPECT_EQ(c.aname, "HB1 ");
  EXPECT_EQ(c.asymb, "H   ");
  EXPECT_EQ(c.ctype, "H   ");
  c = corr("2HG1", "VAL");
  EXPECT_EQ(c.aname, "HG12");
  EXPECT_EQ(c.asymb, "H   ");
  c = corr("1   ", "XYZ");  // a lone digit becomes a hydrogen name
  EXPECT_EQ(c.aname, "H1  ");
  EXPECT_EQ(c.asymb, "H   ");
  c = corr("*C1 ", "XYZ");  // the class is left alone for non-hydrogens
  EXPECT_EQ(c.aname, "C1* ");
  EXPECT_EQ(c.asymb, "C   ");
  EXPECT_EQ(c.ctype, "?   ");
  c = corr("'O5 ", "XYZ");
  EXPECT_EQ(c.aname, "O5' ");
  EXPECT_EQ(c.asymb, "O   ");
}

TEST_F(AtomNames, ResidueNameRepairs) {
  EXPECT_EQ(corr(" O  ", "  WAT").rname, "HOH     ");
  EXPECT_EQ(corr(" O  ", "DOD").rname, "HOH     ");
  EXPECT_EQ(corr(" O  ", "H2O").rname, "HOH     ");
  EXPECT_EQ(corr(" N1 ", "CYT").rname, "C       ");
  EXPECT_EQ(corr(" N1 ", "ADE").rname, "A       ");
  EXPECT_EQ(corr(" N1 ", "URI").rname, "U       ");
  EXPECT_EQ(corr(" N1 ", "WATX").rname, "WATX    ");
  EXPECT_EQ(corr(" C1 ", "A'B").rname, "A,B     ");
}

TEST_F(AtomNames, NucleotidePrimesBecomeStars) {
  Corrected c = corr(" O5'", "  A");
  EXPECT_EQ(c.rname, "A       ");
  EXPECT_EQ(c.aname, "O5* ");
  c = corr(" O5'", "DA");
  EXPECT_EQ(c.aname, "O5' ");
  c = corr(" O51", "G");
  EXPECT_EQ(c.aname, "O1P ");
  EXPECT_EQ(c.ctype, "C   ");
  c = corr(" P5 ", "U");
  EXPECT_EQ(c.aname, "P   ");
}

TEST_F(AtomNames, WaterDeuteriumAndPeptideTermini) {
  Corrected c = corr(" O  ", "WAT");
  EXPECT_EQ(c.aname, "O   ");
  EXPECT_EQ(c.asymb, "O   ");
  EXPECT_EQ(c.ctype, "C   ");
  c = corr(" D1 ", "HOH");
  EXPECT_EQ(c.aname, "H1  ");
  EXPECT_EQ(c.asymb, "H   ");
  EXPECT_EQ(c.ctype, "H   ");
  c = corr(" OW ", "HOH");
  EXPECT_EQ(c.aname, "O   ");
  c = corr(" X  ", "DUM");
  EXPECT_EQ(c.aname, "DUM ");
  EXPECT_EQ(c.asymb, "O   ");
  c = corr(" D  ", "GLY");
  EXPECT_EQ(c.asymb, "H   ");
  EXPECT_EQ(c.ctype, "H   ");
  c = corr(" OT ", "GLY");
  EXPECT_EQ(c.aname, "OXT ");
  c = corr("HT2 ", "ALA");
  EXPECT_EQ(c.aname, "H2  ");
  EXPECT_EQ(c.asymb, "H   ");
  EXPECT_EQ(c.ctype, "H   ");
  c = corr(" H0 ", "ALA");
  EXPECT_EQ(c.aname, "H   ");
  EXPECT_EQ(c.ctype, "H   ");
}

TEST(ChainIdentifiers, CollidingFirstCharactersGetAlphabetCharacters) {
  set_chains({"A1", "A2", "A3"});
  int32_t inew = -1, ierr = -1;
  check_chain_id_pdb_(0, inew, ierr);
  EXPECT_EQ(chain_ids(), (std::vector<std::string>{"AA  ", "Aa  ", "Ab  "}));
  EXPECT_EQ(group_ids(), chain_ids());
  EXPECT_EQ(inew, 1);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(resid_inf.res_num_pdb(2).str(), "Aa  12 Aa  Z");
  EXPECT_EQ(resid_inf.res_num_pdb(1).str(), "AA  12 AA  Z");
}

TEST(ChainIdentifiers, InterleavedChains) {
  set_chains({"A1", "B2", "A3", "A4", "B5"});
  int32_t inew = 0, ierr = 0;
  check_chain_id_pdb_(0, inew, ierr);
  EXPECT_EQ(chain_ids(), (std::vector<std::string>{"AA  ", "BB  ", "Aa  ", "Ab  ", "Ba  "}));
}

TEST(ChainIdentifiers, BlankAndDotBecomeX) {
  set_chains({" 1", ".1", "C"});
  int32_t inew = 0, ierr = 0;
  check_chain_id_pdb_(0, inew, ierr);
  EXPECT_EQ(chain_ids(), (std::vector<std::string>{"XX  ", "Xa  ", "CC  "}));
}

TEST(ChainIdentifiers, SingleChainIsNotNew) {
  set_chains({"B7"});
  int32_t inew = 9, ierr = 9;
  check_chain_id_pdb_(0, inew, ierr);
  EXPECT_EQ(chain_ids(), (std::vector<std::string>{"BB  "}));
  EXPECT_EQ(inew, 0);
}

TEST(ChainIdentifiers, SixtyOneChainsExhaustTheAlphabet) {
  set_chains(std::vector<std::string>(61, "A"));
  int32_t inew = 0, ierr = 0;
  check_chain_id_pdb_(0, inew, ierr);
  const std::string expected_second = "Aabcdefghijklmnopqrstuvwxyz" "BCDEFGHIJKLMNOPRSTUVWXYZ" "123456789" "9";
  ASSERT_EQ(expected_second.size(), 61u);
  for (int i = 1; i <= 61; ++i) {
    EXPECT_EQ(asym_part.chain_id(i)(1), 'A') << i;
    EXPECT_EQ(asym_part.chain_id(i)(2), expected_second[i - 1]) << i;
  }
}

TEST(ChainIdentifiers, CifCheckActsOnlyOnCollisions) {
  set_chains({"A1", "B1"});
  int32_t inew = 9, ierr = 9;
  check_chain_id_cif_(0, inew, ierr);
  EXPECT_EQ(group_ids(), (std::vector<std::string>{"A1  ", "B1  "}));
  EXPECT_EQ(chain_ids(), (std::vector<std::string>{"none", "none"}));
  EXPECT_EQ(inew, 0);
  set_chains({"AA", "BB", "AA"});
  check_chain_id_cif_(0, inew, ierr);
  EXPECT_EQ(chain_ids(), (std::vector<std::string>{"AA  ", "BB  ", "Aa  "}));
  EXPECT_EQ(inew, 1);
  set_chains({"A1"});
  check_chain_id_cif_(0, inew, ierr);
  EXPECT_EQ(chain_ids(), (std::vector<std::string>{"none"}));
}

TEST(SegmentIdentifiers, RepeatedSegmentsGetDistinctFourthCharacters) {
  set_chains({"SEGA", "SEGA", "SEGA", "SEGB"});
  int32_t inew = 9, ierr = 9;
  check_chain_id_seg_(0, inew, ierr);
  EXPECT_EQ(group_ids(), (std::vector<std::string>{"SEGA", "SEGa", "SEGb", "SEGB"}));
  EXPECT_EQ(inew, 0);
  EXPECT_EQ(chain_ids(), (std::vector<std::string>(4, "none")));
  EXPECT_EQ(resid_inf.res_num_pdb(3).str(), "SE  12 SEGb ");
}

TEST(SegmentIdentifiers, ShortSegmentsGetUnderscores) {
  set_chains({"A", "A"});
  int32_t inew = 9, ierr = 9;
  check_chain_id_seg_(0, inew, ierr);
  EXPECT_EQ(group_ids(), (std::vector<std::string>{"A   ", "A__a"}));
  EXPECT_EQ(resid_inf.res_num_pdb(2).str(), "A_  12 A__a ");
  EXPECT_EQ(resid_inf.res_num_pdb(1).str(), "A   12 A    ");
}

TEST(SegmentIdentifiers, NothingChangesWithoutRepeats) {
  set_chains({"SEGA", "SEGB"});
  int32_t inew = 9, ierr = 9;
  check_chain_id_seg_(0, inew, ierr);
  EXPECT_EQ(group_ids(), (std::vector<std::string>{"SEGA", "SEGB"}));
  EXPECT_EQ(resid_inf.res_num_pdb(1).str(), "Q9  12 ????Z");
  EXPECT_EQ(inew, 0);
}

TEST(CifAtomNames, BlanksAndQuotes) {
  EXPECT_EQ(fixed_cif("C1 A", 6), "C1_A  ");
  EXPECT_EQ(fixed_cif("C1'", 6), "'C1'' ");
  EXPECT_EQ(fixed_cif("'AB", 6), "'AB'' ");
  EXPECT_EQ(fixed_cif("*C1", 6), "C1*   ");
  EXPECT_EQ(fixed_cif("\"N", 6), "N\"    ");
  EXPECT_EQ(fixed_cif("", 6), "      ");
  EXPECT_EQ(fixed_cif("O5'", 4), "'O5'");  // cut to the width of the text
}
