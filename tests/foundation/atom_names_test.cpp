// Element and class of atoms from their names, the residue-name repairs,
// chain-identifier renaming when identifiers collide, and CIF quoting of
// atom names.
#include <gtest/gtest.h>

#include <set>
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
  for (const char* m : {"ZN", "I", "W  ", "HG"}) EXPECT_EQ(ctype_of(m), "$   ") << m;
  for (const char* h : {"D", "H"}) EXPECT_EQ(ctype_of(h), "H   ") << h;
  for (const char* c : {"N", "C", "zn"}) EXPECT_EQ(ctype_of(c), "C   ") << c;
}

// Each row: name and residue in, then the name, residue, element and class
// out; an empty expectation is not checked.
TEST_F(AtomNames, NameCorrections) {
  struct Case {
    const char *aname, *rname, *want_a, *want_r, *want_s, *want_c;
  };
  const Case cases[] = {
      // Leading-blank names take the element from column two.
      {" CA ", "ALA", "CA  ", "", "C   ", "C   "},
      {" SG ", "CYS", "SG  ", "", "S   ", "$   "},
      {" H  ", "ALA", "H   ", "", "H   ", "H   "},
      {" O 1", "XYZ", "O1  ", "", "", ""},  // the blank left in place 2 closes up
      // Two-letter metals start in column one.
      {"ZN  ", "ZN", "ZN  ", "", "ZN  ", "$   "},
      {"CA  ", "CA", "", "", "CA  ", "$   "},
      {"HE21", "GLN", "", "", "H   ", "H   "},      // looks like helium, is a hydrogen
      {"HA 2", "XYZ", "HA_2", "", "A   ", "C   "},  // inner blank kept visible
      // Digits and quotes rotate to the end.
      {"1HB ", "ALA", "HB1 ", "", "H   ", "H   "},
      {"2HG1", "VAL", "HG12", "", "H   ", ""},
      {"1   ", "XYZ", "H1  ", "", "H   ", ""},      // a lone digit becomes a hydrogen name
      {"*C1 ", "XYZ", "C1* ", "", "C   ", "?   "},  // class left alone for non-hydrogens
      {"'O5 ", "XYZ", "O5' ", "", "O   ", ""},
      // Residue-name repairs.
      {" O  ", "  WAT", "", "HOH     ", "", ""},
      {" O  ", "DOD", "", "HOH     ", "", ""},
      {" O  ", "H2O", "", "HOH     ", "", ""},
      // The older nucleotide names end as the PDB reader names them.
      {" N1 ", "CYT", "", "Cd      ", "", ""},
      {" N1 ", "ADE", "", "Ad      ", "", ""},
      {" N1 ", "URI", "", "Ur      ", "", ""},
      {" N1 ", "URA", "", "Ur      ", "", ""},  // CHARMM's uracil
      {" N1 ", "GUA", "", "Gd      ", "", ""},
      {" N1 ", "RU5", "", "Ur      ", "", ""},  // Amber's RNA and DNA
      {" N1 ", "RA", "", "Ad      ", "", ""},
      {" N1 ", "DT3", "", "DT      ", "", ""},
      {"RU  ", "RU", "", "RU      ", "", ""},  // a ruthenium ion, no uracil
      {" OH2", "TIP3", "", "HOH     ", "", ""},  // simulation programs' water models
      {" OW ", "SOL", "", "HOH     ", "", ""},
      {" OH2", "TIP", "", "HOH     ", "", ""},  // TIP3 cut to three letters
      {" OH2", "TIP6", "", "TIP6    ", "", ""},
      {" N1 ", "WATX", "", "WATX    ", "", ""},
      {" C1 ", "A'B", "", "A,B     ", "", ""},
      // Nucleotide primes become stars.
      {" O5'", "  A", "O5* ", "Ad      ", "", ""},
      {" O5'", "DA", "O5' ", "DA      ", "", ""},
      // One-letter nucleotides: the deoxy name (a later stage gives the ribo
      // name where the 2' oxygen stands), U and I as ribo.
      {" N2 ", "G", "", "Gd      ", "", ""},
      {" C7 ", "+T", "", "Td      ", "", ""},
      {" P  ", "  U", "", "Ur      ", "", ""},
      {" N1 ", "I", "", "Ir      ", "", ""},
      {" N1 ", "GG", "", "GG      ", "", ""},
      {" O51", "G", "O1P ", "", "", "C   "},
      {" P5 ", "U", "P   ", "", "", ""},
      // Water, deuterium and peptide termini.
      {" O  ", "WAT", "O   ", "", "O   ", "C   "},
      {" D1 ", "HOH", "H1  ", "", "H   ", "H   "},
      {" OW ", "HOH", "O   ", "", "", ""},
      {" HW1", "SOL", "H1  ", "HOH     ", "H   ", "H   "},
      {" HW2", "HOH", "H2  ", "", "H   ", "H   "},
      {" X  ", "DUM", "DUM ", "", "O   ", ""},
      {" D  ", "GLY", "", "", "H   ", "H   "},
      {" OT ", "GLY", "OXT ", "", "", ""},
      {"HT2 ", "ALA", "H2  ", "", "H   ", "H   "},
      {" H0 ", "ALA", "H   ", "", "", "H   "},
  };
  for (const Case& k : cases) {
    const Corrected c = corr(k.aname, k.rname);
    const std::string at = std::string("'") + k.aname + "' in " + k.rname;
    if (*k.want_a) { EXPECT_EQ(c.aname, k.want_a) << at; }
    if (*k.want_r) { EXPECT_EQ(c.rname, k.want_r) << at; }
    if (*k.want_s) { EXPECT_EQ(c.asymb, k.want_s) << at; }
    if (*k.want_c) { EXPECT_EQ(c.ctype, k.want_c) << at; }
  }
}

// The atoms of one dummy residue (OPM's N and O of a membrane plane) take
// names of their own, past the digits the letters, then DUM again.
TEST(DummyAtomNames, EachAtomOfTheResidueTakesANameOfItsOwn) {
  const struct {
    int32_t n;
    const char* name;
  } rows[] = {{1, "DUM"}, {2, "DUM2"}, {9, "DUM9"}, {10, "DUMA"}, {35, "DUMZ"}, {36, "DUM"}};
  for (const auto& row : rows) EXPECT_EQ(foundation::dummy_atom_name(row.n), row.name) << row.n;
}

// A library that holds a monomer TIP keeps the name for it.
TEST_F(AtomNames, CutWaterNameNamesTheLibraryMonomerOfThatName) {
  com_water_name.cut_name_monomer = 1;
  const Corrected held = corr(" OH2", "TIP");
  com_water_name.cut_name_monomer = 0;
  EXPECT_EQ(held.rname, "TIP     ");
  EXPECT_EQ(corr(" OH2", "TIP").rname, "HOH     ");
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

TEST(ChainIdentifiers, InterleavedBlankAndSingleChains) {
  const struct {
    const char* name;
    std::vector<std::string> in, out;
    int32_t inew;
  } cases[] = {{"interleaved A and B", {"A1", "B2", "A3", "A4", "B5"}, {"AA  ", "BB  ", "Aa  ", "Ab  ", "Ba  "}, 1},
               {"blank and dot become X", {" 1", ".1", "C"}, {"XX  ", "Xa  ", "CC  "}, 1},
               {"a single chain is not new", {"B7"}, {"BB  "}, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    set_chains(c.in);
    int32_t inew = 9, ierr = 9;
    check_chain_id_pdb_(0, inew, ierr);
    EXPECT_EQ(chain_ids(), c.out);
    EXPECT_EQ(inew, c.inew);
  }
}

TEST(ChainIdentifiers, SixtyChainsOfOneLetterUseTheAlphabet) {
  set_chains(std::vector<std::string>(60, "A"));
  int32_t inew = 0, ierr = 0;
  check_chain_id_pdb_(0, inew, ierr);
  const std::string expected_second = "Aabcdefghijklmnopqrstuvwxyz" "BCDEFGHIJKLMNOPRSTUVWXYZ" "123456789";
  ASSERT_EQ(expected_second.size(), 60u);
  for (int i = 1; i <= 60; ++i)
    EXPECT_EQ(asym_part.chain_id(i).str(), std::string("A") + expected_second[i - 1] + "  ") << i;
}

TEST(ChainIdentifiers, LaterChainsOfOneLetterTakeAThirdCharacter) {
  // Past the 60 second characters, pairs of alphabet characters: every
  // chain keeps an identifier of its own, here up to 200 chains.
  set_chains(std::vector<std::string>(200, "A"));
  int32_t inew = 0, ierr = 0;
  check_chain_id_pdb_(0, inew, ierr);
  EXPECT_EQ(asym_part.chain_id(60).str(), "A9  ");
  EXPECT_EQ(asym_part.chain_id(61).str(), "Aaa ");
  EXPECT_EQ(asym_part.chain_id(62).str(), "Aab ");
  EXPECT_EQ(asym_part.chain_id(120).str(), "Aa9 ");
  EXPECT_EQ(asym_part.chain_id(121).str(), "Aba ");
  EXPECT_EQ(asym_part.group_id(61).str(), "Aaa ");
  EXPECT_EQ(resid_inf.res_num_pdb(61).sub(8, 11), "Aaa ");
  std::set<std::string> ids;
  for (int i = 1; i <= 200; ++i) ids.insert(asym_part.chain_id(i).str());
  EXPECT_EQ(ids.size(), 200u);
  EXPECT_EQ(inew, 1);
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

// The two spellings of nucleotide atoms, blank-padded as the tables hold
// them; names of neither kind, and a name already in the asked spelling,
// come back as they are.
TEST(NucleotideSpelling, EachNameInTheOtherStyle) {
  using foundation::NucleotideStyle;
  const struct {
    const char* name;
    NucleotideStyle style;
    const char* as_star;
    const char* as_prime;
  } cases[] = {
      {"O1P ", NucleotideStyle::Star, "O1P ", "OP1 "},
      {"OP2", NucleotideStyle::Prime, "O2P", "OP2"},
      {"O3P", NucleotideStyle::Star, "O3P", "OP3"},
      {"O5*", NucleotideStyle::Star, "O5*", "O5'"},
      {"HO5'", NucleotideStyle::Prime, "HO5*", "HO5'"},
      {"H5''", NucleotideStyle::Prime, "H5**", "H5''"},
      {"P   ", NucleotideStyle::None, "P   ", "P   "},
      {"OP", NucleotideStyle::None, "OP", "OP"},
      {"O4P", NucleotideStyle::None, "O4P", "O4P"},
      {"CA", NucleotideStyle::None, "CA", "CA"},
      {"", NucleotideStyle::None, "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(foundation::nucleotide_style(c.name), c.style) << c.name;
    EXPECT_EQ(foundation::nucleotide_name_as(c.name, NucleotideStyle::Star), c.as_star) << c.name;
    EXPECT_EQ(foundation::nucleotide_name_as(c.name, NucleotideStyle::Prime), c.as_prime) << c.name;
    EXPECT_EQ(foundation::nucleotide_name_as(c.name, NucleotideStyle::None), c.name) << c.name;
  }
}

// Two names of one nucleotide atom in either spelling, blank-padded or not;
// names of two atoms are not one, in whatever spelling.
TEST(NucleotideSpelling, SameAtomInEitherSpelling) {
  const struct {
    const char* label;
    const char *a, *b;
    bool same;
  } cases[] = {
      {"prime against star", "O3'", "O3*", true},
      {"star against prime", "O3*", "O3'", true},
      {"padded first name", "O3* ", "O3'", true},
      {"padded second name", "O3'", "O3* ", true},
      {"phosphate oxygens", "O1P", "OP1 ", true},
      {"one spelling", "O2'", "O2'", true},
      {"a name of neither spelling", "MG  ", "MG", true},
      {"two atoms, two spellings", "O2'", "O3*", false},
      {"two atoms of neither spelling", "CA", "CB", false},
      {"a name of neither spelling against a starred one", "O3", "O3*", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(foundation::same_nucleotide_atom(c.a, c.b), c.same) << c.label;
}
