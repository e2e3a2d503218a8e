// Links named in the input: nameless sugar-protein links named, missing
// atoms filled from the library, links the library lacks created, rows
// without residues marked nameless.
#include <gtest/gtest.h>

#include "connect/element_classes.h"
#include "connect/input_links.h"
#include "dictionary/lib_com.h"
#include "entry_fixture.h"
#include "model_builder.h"

namespace {

using conntest::Model;

// dnew_out, when given, receives the new-link flag (which starts as "N").
std::string resolve(int32_t& ierr, char* dnew_out = nullptr) {
  char dnew = 'N';
  std::string out = captured([&] { def_link_mod_(0, ' ', dnew, ierr); });
  if (dnew_out != nullptr) *dnew_out = dnew;
  return out;
}

struct SugarModel {
  int asn, nag;
  Model m;
  SugarModel() {
    asn = m.residue("ASN", 3, 'A', 40, {{"ND2", 0, 0, 0, "N"}});
    nag = m.residue("NAG", 7, 'B', 1, {{"C1", 1.45f, 0, 0}});
  }
};

TEST(InputLinks, NamelessSugarLinkIsNamedSugarFirstFromEitherEnd) {
  SugarModel s;
  s.m.link("", s.asn, "ND2", s.nag, "C1");
  s.m.link(".", s.nag, "C1", s.asn, "ND2");
  conntest::load_library();
  int32_t ierr = -1;
  resolve(ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(link_inf.ln_id(1).view(), "NAG-ASN ");
  EXPECT_EQ(link_inf.ln_id(2).view(), "NAG-ASN ");
  // The link's modifications enter once for each residue.
  ASSERT_EQ(mod_inf.mod_n, 2);
  EXPECT_EQ(resid_inf.mod_flag(s.asn).view(), "Y");
  EXPECT_EQ(resid_inf.mod_flag(s.nag).view(), "Y");
}

TEST(InputLinks, NamedLinkWithoutAtomsTakesTheLibraryBond) {
  SugarModel s;
  const int k = s.m.link("NAG-ASN", s.asn, ".", s.nag, ".");
  conntest::load_library();
  int32_t ierr = -1;
  char dnew = '?';
  resolve(ierr, &dnew);
  EXPECT_EQ(dnew, 'N') << "a link the library holds is nothing new";
  EXPECT_EQ(link_inf.ln_atom1(k).view(), "ND2  ");
  EXPECT_EQ(link_inf.ln_atom2(k).view(), "C1   ");
}

TEST(InputLinks, UnknownLinkOnMissingAtomsIsCreatedAtOnePointFive) {
  Model m;
  m.residue("ALA", 3, 'A', 1, {{"CA", 0, 0, 0}});
  m.residue("ZN", 1, 'B', 1, {{"ZN", 3, 0, 0, "ZN"}});
  m.link("XLINK", 1, "OG", 2, "ZN");
  conntest::load_library();
  const int nlink = r_scratch.lll_nlink;
  int32_t ierr = -1;
  char dnew = '?';
  const std::string out = resolve(ierr, &dnew);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(dnew, 'Y') << "the new description must reach the new library";
  EXPECT_EQ(r_scratch.lll_nlink, nlink + 1);
  EXPECT_EQ(link_inf.ln_used(1).view(), "S");
  EXPECT_EQ(link_inf.ln_ent(1).view(), "C");
  EXPECT_FLOAT_EQ(link_inf.ln_dist(1), 1.5f);
  EXPECT_EQ(mod_inf.mod_n, 0);  // rows made here take no modifications
  EXPECT_EQ(out, "  WARNING : description of link:XLINK    is not in the dictionary\n"
                 "            link will be created with bond_lenth =   1.500\n");
}

TEST(InputLinks, RowWithoutASecondResidueBecomesNameless) {
  SugarModel s;
  const int k = s.m.link("NAG-ASN", s.asn, "ND2", s.nag, "C1");
  link_inf.ln_2ires(k) = 0;
  conntest::load_library();
  int32_t ierr = -1;
  resolve(ierr);
  EXPECT_EQ(link_inf.ln_id(k)(1), '?');
  EXPECT_EQ(mod_inf.mod_n, 0);
}

TEST(InputLinks, NamelessLinkOfOtherClassesIsWarnedAbout) {
  Model m;
  m.residue("ALA", 3, 'A', 1, {{"CA", 0, 0, 0}});
  m.residue("ZN", 1, 'B', 1, {{"ZN", 3, 0, 0, "ZN"}});
  m.link("", 1, "CA", 2, "ZN", 2.2f);
  conntest::load_library();
  int32_t ierr = -1;
  const std::string out = resolve(ierr);
  EXPECT_EQ(out.rfind("  WARNING : link: ALA<-->ZN  is without link_id\n"
                      "            link will be created with covalent bond only\n",
                      0),
            0u);
  EXPECT_EQ(link_inf.ln_id(1).view(), "ALA-ZN  ");
}

// PDB LINK records of the archive layout carry the bond length where a name
// would stand: such a row is nameless, its description is made at that
// length under the residues' names, and a second row of the same length
// between other residues is not taken for the first one's link.
TEST(InputLinks, LengthInTheNameColumnsIsALengthNotAName) {
  Model m;
  m.residue("ALA", 3, 'A', 1, {{"CA", 0, 0, 0}});
  m.residue("ZN", 1, 'B', 1, {{"ZN", 2.1f, 0, 0, "ZN"}});
  m.residue("CD", 1, 'C', 1, {{"CD", 0, 2.1f, 0, "CD"}});
  m.link("  2.10", 1, "CA", 2, "ZN");
  m.link("  2.10", 1, "CA", 3, "CD");
  m.link("12", 1, "CA", 2, "ZN");  // a number without its point is a name
  conntest::load_library();
  int32_t ierr = -1;
  const std::string out = resolve(ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(link_inf.ln_id(1).view(), "ALA-ZN  ");
  EXPECT_EQ(link_inf.ln_id(2).view(), "ALA-CD  ");
  EXPECT_FLOAT_EQ(link_inf.ln_dist(1), 2.1f);
  EXPECT_EQ(link_inf.ln_id(3).view(), "12      ");
  EXPECT_NE(out.find("  WARNING : description of link:ALA-ZN   is not in the dictionary\n"
                     "            link will be created with bond_lenth =   2.100\n"),
            std::string::npos)
      << out;
  EXPECT_EQ(out.find("2.10    is not"), std::string::npos) << out;
}

// A nameless row, or one that gives only an mmCIF connection kind, that the
// library resolves to a link of its own order is put in that order whichever
// partner the file gave first: the restraints give the link's first end to
// the row's first residue.  A symmetric link between two residues of one
// kind is left as given.
TEST(InputLinks, NamelessRowTakesThePartnerOrderOfItsLink) {
  Model m;
  const int ala = m.residue("ALA", 3, 'A', 1, {{"C", 0, 0, 0}});
  const int gly = m.residue("GLY", 3, 'A', 2, {{"N", 1.33f, 0, 0, "N"}});
  const int cys1 = m.residue("CYS", 3, 'B', 5, {{"SG", 0, 3, 0, "S"}});
  const int cys2 = m.residue("CYS", 3, 'B', 9, {{"SG", 2.03f, 3, 0, "S"}});
  const int rev = m.link("covale", gly, "N", ala, "C", 1.33f);
  link_inf.ln_alt1(rev) = "A";
  link_inf.ln_symm1(rev) = "1_555";
  const int fwd = m.link(".", ala, "C", gly, "N", 1.33f);
  const int ss = m.link("disulf", cys2, "SG", cys1, "SG", 2.04f);
  conntest::load_library();
  int32_t ierr = -1;
  char dnew = '?';
  resolve(ierr, &dnew);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(dnew, 'N');
  for (int k : {rev, fwd}) {
    EXPECT_EQ(link_inf.ln_id(k).trimmed(), "TRANS") << k;
    EXPECT_EQ(link_inf.ln_1ires(k), ala) << k;
    EXPECT_EQ(link_inf.ln_2ires(k), gly) << k;
    EXPECT_EQ(link_inf.ln_atom1(k).trimmed(), "C") << k;
    EXPECT_EQ(link_inf.ln_atom2(k).trimmed(), "N") << k;
    EXPECT_EQ(link_inf.ln_1rnam(k).trimmed(), "ALA") << k;
  }
  EXPECT_EQ(link_inf.ln_alt2(rev).view(), "A") << "the alternate code goes with its atom";
  EXPECT_EQ(link_inf.ln_symm2(rev).trimmed(), "1_555");
  EXPECT_EQ(link_inf.ln_alt1(rev).view(), ".");
  EXPECT_EQ(link_inf.ln_id(ss).trimmed(), "SS");
  EXPECT_EQ(link_inf.ln_1ires(ss), cys2);
}

// A nameless row bonding a peptide's C to an N, each end a peptide or a
// chain cap by type or by name (ACE described as no polymer, as a cap the
// library lacks is), takes the trans peptide link in the partner order of
// that link, from either end.  Any other pair keeps a link of its own: the
// same atoms where one end is no peptide (SO4), a C bonded to a C, and a
// named row.
TEST(InputLinks, NamelessPeptideBondOfAResidueTypedOtherwiseTakesTheTransLink) {
  const struct {
    const char* label;
    const char* name1;
    int type1;
    const char* atom1;
    const char* name2;
    int type2;
    const char* atom2;
    const char* link;  // the row's name given
    const char* want;  // its name after
    bool reversed;     // ends swapped into the link's order
  } cases[] = {
      {"cap described as no polymer, N end first", "ALA", 3, "N", "ACE", 2, "C", ".", "TRANS", true},
      {"cap described as no polymer, C end first", "ACE", 2, "C", "ALA", 3, "N", ".", "TRANS", false},
      {"built peptide of type 1", "MSE", 1, "C", "ASP", 3, "N", ".", "TRANS", false},
      {"built peptide of type 1, N end first", "MSE", 1, "N", "ASP", 3, "C", ".", "TRANS", true},
      {"an end that is no peptide", "SO4", 1, "C", "ALA", 3, "N", ".", "SO4-ALA", false},
      {"a carbon to a carbon", "ACE", 2, "C", "ALA", 3, "CA", ".", "ACE-ALA", false},
      {"a named row", "ACE", 2, "C", "ALA", 3, "N", "XLINK", "XLINK", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Model m;
    const int r1 = m.residue(c.name1, c.type1, 'A', 1, {{c.atom1, 0, 0, 0, c.atom1[0] == 'N' ? "N" : "C"}});
    const int r2 = m.residue(c.name2, c.type2, 'B', 2, {{c.atom2, 1.33f, 0, 0, c.atom2[0] == 'N' ? "N" : "C"}});
    const int k = m.link(c.link, r1, c.atom1, r2, c.atom2, 1.33f);
    conntest::load_library();
    int32_t ierr = -1;
    const std::string out = resolve(ierr);
    EXPECT_EQ(ierr, 0) << out;
    EXPECT_EQ(link_inf.ln_id(k).trimmed(), c.want) << out;
    EXPECT_EQ(link_inf.ln_1ires(k), c.reversed ? r2 : r1);
  }
}

// A chain break that a file records is a break: no link is looked for or
// made for it.  A nameless row without its atoms would make a link without
// a bond: it is dropped with a warning, and nothing new reaches the library.
TEST(InputLinks, BreakStaysABreakAndALinkWithoutAtomsIsNotMade) {
  Model m;
  const int a = m.residue("ALA", 3, 'A', 1, {{"C", 0, 0, 0}});
  const int b = m.residue("ALA", 3, 'A', 9, {{"N", 20, 0, 0, "N"}});
  const int zn = m.residue("ZN", 1, 'B', 1, {{"ZN", 3, 0, 0, "ZN"}});
  const int gap = m.link("gap", a, ".", b, ".");
  const int bare = m.link(".", a, ".", zn, ".");
  conntest::load_library();
  const int nlink = r_scratch.lll_nlink;
  int32_t ierr = -1;
  char dnew = '?';
  const std::string out = resolve(ierr, &dnew);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(dnew, 'N');
  EXPECT_EQ(r_scratch.lll_nlink, nlink);
  EXPECT_EQ(link_inf.ln_id(gap).trimmed(), "gap");
  EXPECT_EQ(link_inf.ln_id(bare)(1), '?');
  EXPECT_NE(out.find("  WARNING : link: .        without its atoms is ignored\n"),
            std::string::npos)
      << out;
  EXPECT_EQ(mod_inf.mod_n, 0);
}

// A disulfide the file names (an SSBOND record: no alternates), the SG of
// the first cysteine in conformers A, B and C `a`, `b` and `c` A from the
// other's SG along three axes (c 0: no conformer C).  The SS link's 2.03 A makes
// 4.06 A the reach of the bond.
struct SplitBridge {
  int k = 0;
  std::string out;
  int32_t ierr = -1;
  SplitBridge(float a, float b, float c) {
    Model m;
    const conntest::AtomSpec cb{"CB", -1.8f, 0, 0}, sg_a{"SG", a, 0, 0, "S", 0.4f, 'A'},
        sg_b{"SG", 0, b, 0, "S", 0.3f, 'B'}, sg_c{"SG", 0, 0, c, "S", 0.3f, 'C'};
    const int c1 = c > 0 ? m.residue("CYS", 3, 'A', 1, {cb, sg_a, sg_b, sg_c})
                         : m.residue("CYS", 3, 'A', 1, {cb, sg_a, sg_b});
    const int c2 = m.residue("CYS", 3, 'B', 7, {{"SG", 0, 0, 0, "S"}, {"CB", 0, -1.8f, 0}});
    k = m.link("SS", c1, "SG", c2, "SG");
    conntest::load_library();
    out = resolve(ierr);
  }
};

// Within the reach every conformer keeps the row whole, with the link's
// modifications; beyond it the row holds the first conformer that bonds and
// a new row each further one, each naming its alternate and marked special
// as a file's row for one conformer (no modifications), and the conformer
// left out is warned of.
TEST(InputLinks, DisulfideOfASplitAtomKeepsTheConformersThatBond) {
  {
    SCOPED_TRACE("conformer B 4.05 A away: the row stays whole");
    const SplitBridge s(2.0f, 4.05f, 0.0f);
    EXPECT_EQ(s.ierr, 0);
    ASSERT_EQ(link_inf.ln_n, 1) << s.out;
    EXPECT_EQ(link_inf.ln_alt1(s.k).view(), ".");
    EXPECT_FALSE(link_inf.ln_used(s.k) == "S");
    EXPECT_EQ(mod_inf.mod_n, 2);
    EXPECT_EQ(s.out.find("too far"), std::string::npos) << s.out;
  }
  SCOPED_TRACE("conformer B 4.07 A away, A and C bond: two rows");
  const SplitBridge s(2.0f, 4.07f, 2.1f);
  EXPECT_EQ(s.ierr, 0);
  ASSERT_EQ(link_inf.ln_n, 2) << s.out;
  const struct {
    int row;
    const char* alt1;
  } rows[] = {{s.k, "A"}, {2, "C"}};
  for (const auto& r : rows) {
    EXPECT_EQ(link_inf.ln_id(r.row).view(), "SS      ");
    EXPECT_EQ(link_inf.ln_1ires(r.row), 1);
    EXPECT_EQ(link_inf.ln_2ires(r.row), 2);
    EXPECT_EQ(link_inf.ln_alt1(r.row).view(), r.alt1);
    EXPECT_EQ(link_inf.ln_alt2(r.row).view(), ".");
    EXPECT_EQ(link_inf.ln_used(r.row).view(), "S");
  }
  EXPECT_EQ(mod_inf.mod_n, 0);
  EXPECT_EQ(s.out,
            "  WARNING : link:SS       atoms too far apart to bond, dist =     4.070\n"
            "            ch:A    res:   1  CYS      at:SG  B->ch:B    res:   7  CYS      at:SG  . "
            "ideal_dist=     2.030\n"
            "            link will not be restrained between these conformers\n");
}

}  // namespace

namespace {

// A zinc 2.3 A from an aspartate oxygen, linked by a row of the file named
// XLINK (a link the library lacks) with `dist` in its length column, the
// symmetry codes symm1, symm2 and the oxygen's alternate code alt1.
struct ZincRow {
  int k = 0;
  int32_t ierr = -1;
  std::string out;
  Model m;
  explicit ZincRow(float dist, const char* symm1 = ".", const char* symm2 = ".",
                   const char* alt1 = ".") {
    m.residue("ASP", 3, 'A', 1, {{"OD1", 0, 0, 0, "O"}});
    m.residue("ZN", 1, 'B', 1, {{"ZN", 2.3f, 0, 0, "ZN"}});
    k = m.link("XLINK", 1, "OD1", 2, "ZN", dist);
    link_inf.ln_ent(k) = "C";
    link_inf.ln_symm1(k) = symm1;
    link_inf.ln_symm2(k) = symm2;
    link_inf.ln_alt1(k) = alt1;
    conntest::load_library();
    out = resolve(ierr);
  }
};

}  // namespace

// Without a length of its own a new link to a metal takes the model's
// distance, and says so; the length a LINK record gives stays.
TEST(InputLinks, NewMetalLinkWithoutALengthTakesTheModelsDistance) {
  {
    SCOPED_TRACE("no length in the row: the model's 2.300");
    const ZincRow z(0.0f);
    EXPECT_EQ(z.ierr, 0);
    EXPECT_NEAR(link_inf.ln_dist(z.k), 2.3f, 1e-5f);
    EXPECT_NEAR(r_scratch.llb_val(r_scratch.llb_nbond), 2.3f, 1e-5f);
    EXPECT_EQ(z.out,
              "  WARNING : description of link:XLINK    is not in the dictionary\n"
              "            link will be created with bond_lenth =   2.300\n"
              "            no length in the library for this bond to a metal: the model's "
              "distance is taken\n");
  }
  SCOPED_TRACE("2.52 in the row: the row's");
  const ZincRow z(2.52f);
  EXPECT_NEAR(r_scratch.llb_val(r_scratch.llb_nbond), 2.52f, 1e-5f);
  EXPECT_EQ(z.out,
            "  WARNING : description of link:XLINK    is not in the dictionary\n"
            "            link will be created with bond_lenth =   2.520\n");
}

// A connection row of the file naming a residue the model lacks (a
// renumbered sodium) or an atom its residue lacks makes no link, with a
// warning naming the row, even where the residue after it begins with an
// atom of that name; a row on present atoms makes its link silently,
// and a row of the sequence description (not the file's own) stays silent.
TEST(InputLinks, ConnectionRowOnAnAtomNotInTheModelIsWarnedOf) {
  Model m;
  const int dt = m.residue("DT", 5, 'C', 4, {{"OP1", 0, 0, 0, "O"}});
  const int na = m.residue("NA", 1, 'C', 74, {{"NA", 2.5f, 0, 0, "NA"}});
  const struct {
    const char* label;
    int ir1;
    const char* atom2;
    char ent;
    const char* warning;
  } rows[] = {
      {"sodium 12, renumbered 74", 0, "OP1", 'C',
       "  WARNING : connection row names an atom not in the model: NA NA C 12\n"
       "            link NA NA C 12 - OP1 DT C 4 is not made\n"},
      {"atom OP3 absent", na, "OP3", 'C',
       "  WARNING : connection row names an atom not in the model: OP3 DT C 4\n"
       "            link NA NA C 74 - OP3 DT C 4 is not made\n"},
      {"atom NA absent, though the next residue's first atom is NA", na, "NA", 'C',
       "  WARNING : connection row names an atom not in the model: NA DT C 4\n"
       "            link NA NA C 74 - NA DT C 4 is not made\n"},
      {"present atoms", na, "OP1", 'C', ""},
      {"sequence row", 0, "OP1", 'L', ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    link_inf.ln_n = 0;
    const int k = m.link("XLINK", na, "NA", dt, row.atom2, 2.5f);
    link_inf.ln_1ires(k) = row.ir1;
    link_inf.ln_ent(k) = std::string_view(&row.ent, 1);
    link_inf.ln_1chn(k) = link_inf.ln_2chn(k) = "C";
    link_inf.ln_seq1(k) = row.ir1 == 0 ? "  12 " : "  74 ";
    link_inf.ln_seq2(k) = "   4 ";
    conntest::load_library();
    int32_t ierr = -1;
    const std::string out = resolve(ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(out.substr(0, out.find("  WARNING : description")), row.warning);
    EXPECT_EQ(link_inf.ln_id(k)(1) == '?', *row.warning != '\0' || row.ir1 == 0);
  }
}

// The archive's connection rows keep the prime of a nucleotide atom ("O3'")
// where the reader stars the model's atoms of the common nucleotides
// ("O3*"), and older files the other way round: a row names the atom in
// either spelling, at either end, and takes the model's spelling, by which
// the restraints and the rows written for a later run find it.  An end that
// names no atom stays as it is; a row naming an atom the residue lacks in
// both spellings is warned of, by the end that names it.
TEST(InputLinks, ConnectionRowTakesEitherSpellingOfANucleotideAtom) {
  const struct {
    const char* label;
    const char* model_atom;  // the nucleotide's atom, 2.1 A from the magnesium
    const char* row_atom;    // as the row names it
    bool mg_first;           // the magnesium at the row's first end
    const char* kept;        // the row's atom after the run
    const char* warning;
  } rows[] = {
      {"prime in the row, star in the model", "O3*", "O3'", false, "O3*  ", ""},
      {"star in the row, prime in the model", "O3'", "O3*", false, "O3'  ", ""},
      {"the nucleotide at the second end", "O3*", "O3'", true, "O3*  ", ""},
      {"the other spelling of a phosphate oxygen", "OP1", "O1P", false, "OP1  ", ""},
      {"no atom named", "O3*", ".", false, ".    ", ""},
      {"an atom the residue lacks", "O3*", "O2'", false, "O2'  ",
       "  WARNING : connection row names an atom not in the model: O2' A C 4\n"
       "            link O2' A C 4 - MG MG C 74 is not made\n"},
      {"the same, at the second end", "O3*", "O2*", true, "O2*  ",
       "  WARNING : connection row names an atom not in the model: O2* A C 4\n"
       "            link MG MG C 74 - O2* A C 4 is not made\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Model m;
    const int a = m.residue("A", 5, 'C', 4, {{row.model_atom, 0, 0, 0, "O"}});
    const int mg = m.residue("MG", 1, 'C', 74, {{"MG", 2.1f, 0, 0, "MG"}});
    const int k = row.mg_first ? m.link("metalc", mg, "MG", a, row.row_atom)
                               : m.link("metalc", a, row.row_atom, mg, "MG");
    link_inf.ln_ent(k) = "C";
    link_inf.ln_1chn(k) = link_inf.ln_2chn(k) = "C";
    link_inf.ln_seq1(k) = row.mg_first ? "  74 " : "   4 ";
    link_inf.ln_seq2(k) = row.mg_first ? "   4 " : "  74 ";
    conntest::load_library();
    int32_t ierr = -1;
    const std::string out = resolve(ierr);
    EXPECT_EQ(ierr, 0);
    const std::size_t w = out.find("  WARNING : connection row");
    EXPECT_EQ(w == std::string::npos ? "" : out.substr(w), row.warning);
    EXPECT_EQ((row.mg_first ? link_inf.ln_atom2(k) : link_inf.ln_atom1(k)).view(), row.kept);
    EXPECT_EQ((row.mg_first ? link_inf.ln_atom1(k) : link_inf.ln_atom2(k)).view(), "MG   ");
    EXPECT_EQ(link_inf.ln_id(k)(1) == '?', *row.warning != '\0' || *row.row_atom == '.');
  }
}

// A row to a symmetry mate names an atom that stands elsewhere in the
// crystal: the distance inside the unit is no length of its bond, and a row
// whose alternate code no atom holds has no distance at all.  Either takes
// the length of the two elements (1.5 A with the test library), never the
// distance inside the unit or the -1 of an atom not found, and says nothing
// of the model's distance; the identity written out is inside the unit.
TEST(InputLinks, NewMetalLinkTakesTheModelsDistanceOnlyWhereItMeasuresOne) {
  const struct {
    const char* label;
    const char* symm1;
    const char* symm2;
    const char* alt1;
    float want;
  } rows[] = {
      {"the zinc in a mate", ".", "2_555", ".", 1.5f},
      {"the oxygen in a mate", "2_555", ".", ".", 1.5f},
      {"the identity written out", "1_555", "1_555", ".", 2.3f},
      {"an alternate code no atom holds", ".", ".", "B", 1.5f},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const ZincRow z(0.0f, row.symm1, row.symm2, row.alt1);
    EXPECT_EQ(z.ierr, 0);
    EXPECT_NEAR(r_scratch.llb_val(r_scratch.llb_nbond), row.want, 1e-5f);
    EXPECT_NEAR(link_inf.ln_dist(z.k), row.want, 1e-5f);
    EXPECT_EQ(z.out.find("the model's distance is taken") != std::string::npos, row.want != 1.5f)
        << z.out;
  }
}

// A bond has no length but its own where one atom is a metal and the energy
// library gives the two elements no length: neither a row of the pair nor a
// generic length for each.  The elements are those of the atoms'
// scattering types.
TEST(InputLinks, MetalBondWithoutALibraryLengthIsKnownByItsElements) {
  Model m;
  m.residue("ASP", 3, 'A', 1, {{"OD1", 0, 0, 0, "O"}});
  m.residue("ZN", 1, 'B', 1, {{"ZN", 2.3f, 0, 0, "ZN"}});
  EXPECT_EQ(connect::atom_element(1), "O   ");
  EXPECT_EQ(connect::atom_element(2), "ZN  ");
  atom_inf.id_sf(2) = 0;
  EXPECT_EQ(connect::atom_element(2), "") << "no scattering type";
  conntest::load_library();
  r_scratch_t& r = r_scratch;
  EXPECT_TRUE(connect::unmeasured_metal_bond("ZN", "O")) << "zinc first";
  EXPECT_TRUE(connect::unmeasured_metal_bond("O", "ZN")) << "zinc second";
  EXPECT_FALSE(connect::unmeasured_metal_bond("O", "C")) << "no metal";
  const int32_t n = r.leb_nbond;
  r.leb_nbond = n + 1;
  r.leb_1atm(n + 1) = "ZN";
  r.leb_2atm(n + 1) = ".";
  r.leb_length(n + 1) = 2.0f;
  EXPECT_TRUE(connect::unmeasured_metal_bond("ZN", "O")) << "a generic length for zinc alone";
  r.leb_nbond = n + 2;
  r.leb_1atm(n + 2) = "O";
  r.leb_2atm(n + 2) = ".";
  r.leb_length(n + 2) = 1.4f;
  EXPECT_FALSE(connect::unmeasured_metal_bond("ZN", "O")) << "a generic length for each";
  r.leb_nbond = n + 1;
  r.leb_1atm(n + 1) = "O";
  r.leb_2atm(n + 1) = "ZN";
  EXPECT_FALSE(connect::unmeasured_metal_bond("ZN", "O")) << "a row of the pair";
}
