// Bond records, chain regrouping with segment identifiers, terminus types,
// the sugar and peptide passes and file-type detection.
#include <gtest/gtest.h>

#include <fstream>

#include "coords/chain_termini.h"
#include "coords/file_type.h"
#include "coords/pdb_bonds.h"
#include "coords/pdb_state.h"
#include "foundation/atom_com.h"
#include "pdb_fixture.h"

using namespace pdbtest;

namespace {

// A record with columns 73-80 holding `name`.
std::string named(std::string head, const char* name) {
  head.resize(72, ' ');
  return head + name;
}

// SSBOND between two cysteines of chain `c`, each with its SG atom.
std::vector<std::string> two_cysteines(char c, int n1, int n2) {
  char rec[96];
  std::snprintf(rec, sizeof rec, "SSBOND   1 CYS %c %4d    CYS %c %4d                          1555   1555  2.04", c,
                n1, c, n2);
  std::vector<std::string> l = {kCryst, rec};
  for (int num : {n1, n2}) {
    append(l, residue("CYS", c, num));
    l.push_back(line({.name = " SG ", .res = "CYS", .chain = c, .resnum = num, .elem = " S"}));
  }
  return l;
}

}  // namespace

TEST(PdbBondRecords, DisulphideBecomesALinkOfItsOwnFile) {
  EXPECT_EQ(read_pdb(two_cysteines('A', 23, 88)).ierr, 0);
  ASSERT_EQ(link_inf.ln_n, 1);
  EXPECT_EQ(link_inf.ln_id(1), std::string_view("SS"));
  EXPECT_EQ(link_inf.ln_1ires(1), 1);
  EXPECT_EQ(link_inf.ln_2ires(1), 2);
  EXPECT_EQ(link_inf.ln_atom1(1), std::string_view("SG"));
  EXPECT_EQ(link_inf.ln_symm1(1), std::string_view("1_555"));
  EXPECT_EQ(link_inf.ln_used(1), std::string_view("U"));
  EXPECT_EQ(resid_inf.link_flag(2), std::string_view("Y"));
  // A second file with as many bond records, naming other residues.
  read_pdb(two_cysteines('B', 5, 9));
  ASSERT_EQ(link_inf.ln_n, 1);
  EXPECT_EQ(link_inf.ln_seq1(1), std::string_view("   5 "));
  EXPECT_EQ(link_inf.ln_seq2(1), std::string_view("   9 "));
}

// The symmetry codes of an SSBOND record in the PDB form (ending in the
// sixth column) and as the system's writer puts them (from the first).  A
// code that is no operator text is read as no code, with a warning: kept,
// the link would be made to an image that is not there.  A code of an
// operator the group does not hold makes no link, with the warning.
TEST(PdbBondRecords, SymmetryCodeFromEitherEndOfItsColumns) {
  struct Case {
    const char *label, *symm1, *symm2, *want1, *want2;
    const char* refused = nullptr;  // the code first warned of
    int warnings = 0;
    // The CRYST1 record, when not that of P 21 21 21 (4 operators).
    const char* cryst = nullptr;
    bool made = true;  // false: the link is not made
  };
  const char* cubic = "CRYST1   50.000   50.000   50.000  90.00  90.00  90.00 P 4 3 2      24";
  const Case cases[] = {
      {"PDB form", "  1555", "  2655", "1_555", "2_655"},
      {"from the first column", "1555  ", "3656  ", "1_555", "3_656"},
      {"two-digit operator", " 12555", "12555 ", "12_555", "12_555", nullptr, 0, cubic},
      {"letters", "  ab55", "  1555", "1_555", "1_555", "ab55", 1},
      {"operator 999", "999999", "  2555", "", "", "999999", 1, nullptr, false},
      {"operator 0", "  1555", "000000", "1_555", "1_555", "000000", 1},
      {"an operator the group lacks", "  5555", "  4555", "", "", "5555", 1, nullptr, false},
      {"two-digit operator the group lacks", " 12555", "12555 ", "", "", "12555", 1, nullptr,
       false},
      {"a group the library lacks", "  1555", "  2555", "", "", "2555", 1,
       "CRYST1   50.000   50.000   50.000  90.00  90.00  90.00 Q 1 2 1", false},
      {"a translation of two digits", "  1 55", "  1555", "1_555", "1_555", "1 55", 1},
      {"a translation ending in a letter", "  255X", "  1555", "1_555", "1_555", "255X", 1},
      {"operators with a leading zero", " 01555", "02655 ", "1_555", "2_655"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    std::vector<std::string> l = two_cysteines('A', 23, 88);
    if (c.cryst != nullptr) l[0] = c.cryst;
    l[1].replace(59, 6, c.symm1);
    l[1].replace(66, 6, c.symm2);
    const ReadResult r = read_pdb(l);
    EXPECT_EQ(r.ierr, 0);
    if (c.refused != nullptr) {
      EXPECT_NE(r.out.find("  WARNING : SSBOND record symmetry code \"" + std::string(c.refused) +
                           "\" names no operator"),
                std::string::npos)
          << r.out;
    }
    EXPECT_EQ(count_of(r.out, " names no operator of the space group\n"
                              "            link SG A 23 - SG A 88 is not made\n"),
              c.made ? 0 : 1)
        << r.out;
    if (!c.made) {
      EXPECT_EQ(link_inf.ln_n, 0);
      EXPECT_EQ(count_of(r.out, " names no operator"), c.warnings) << r.out;
      continue;
    }
    ASSERT_EQ(link_inf.ln_n, 1);
    EXPECT_EQ(link_inf.ln_symm1(1), std::string_view(c.want1));
    EXPECT_EQ(link_inf.ln_symm2(1), std::string_view(c.want2));
    EXPECT_EQ(count_of(r.out, " names no operator of the space group\n"
                              "            link SG A 23 - SG A 88 is made without it\n"),
              c.warnings)
        << r.out;
  }
}

TEST(PdbBondRecords, ManyRecordsFindTheirAtoms) {
  std::vector<std::string> l = {kCryst};
  for (int i = 1; i <= 300; ++i) {
    char rec[96];
    std::snprintf(rec, sizeof rec, "SSBOND %3d CYS A %4d    CYS A %4d", i, 2 * i - 1, 2 * i);
    l.push_back(rec);
  }
  for (int num = 1; num <= 600; ++num) l.push_back(line({.name = " SG ", .res = "CYS", .resnum = num}));
  read_pdb(l, {.mdoc = -999});
  ASSERT_EQ(link_inf.ln_n, 300);
  EXPECT_EQ(link_inf.ln_1ires(300), 599);
  EXPECT_EQ(link_inf.ln_2ires(300), 600);
}

TEST(PdbBondRecords, RecordsFindOneAtomResiduesAmongManyUnnamedOnes) {
  // Every residue has one atom, as waters do, and most are named by no
  // record: each atom is looked up afresh, the named ones among them.
  std::vector<std::string> l = {kCryst};
  const int kRecords = 120;
  for (int i = 1; i <= kRecords; ++i) {
    char rec[96];
    std::snprintf(rec, sizeof rec, "SSBOND %3d CYS B %4d    CYS B %4d", i, 7 * i + 1, 7 * i + 5);
    l.push_back(rec);
  }
  for (int num = 1; num <= 7 * kRecords + 7; ++num)
    l.push_back(line({.name = " SG ", .res = "CYS", .chain = 'B', .resnum = num}));
  read_pdb(l, {.mdoc = -999});
  ASSERT_EQ(link_inf.ln_n, kRecords);
  for (int i = 1; i <= kRecords; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(link_inf.ln_1ires(i), 7 * i + 1);
    EXPECT_EQ(link_inf.ln_2ires(i), 7 * i + 5);
  }
}

TEST(PdbBondRecords, CisPeptideBeforeProlineIsPcis) {
  std::vector<std::string> l = {kCryst, "CISPEP   1 ALA A    5    PRO A    6          0        -3.21"};
  append(l, residue("ALA", 'A', 5));
  append(l, residue("PRO", 'A', 6));
  read_pdb(l);
  ASSERT_EQ(link_inf.ln_n, 1);
  EXPECT_EQ(link_inf.ln_id(1), std::string_view("PCIS"));
  EXPECT_EQ(link_inf.ln_atom1(1), std::string_view("C"));
  EXPECT_EQ(link_inf.ln_atom2(1), std::string_view("N"));
}

TEST(PdbBondRecords, LinkAtomsAreLeftJustifiedAndGapMatchesCodesOnly) {
  int32_t ierr = 0;
  pdb_hent.brec_n = 0;
  crdinf.cr_segflag = "N";
  rdlink_(0, "LINK         C   MSE A 151                 N   ASP A 152     1555   1555  1.33", ierr);
  EXPECT_EQ(pdb_hent.brec_kind(1), BREC_LINK);
  EXPECT_EQ(pdb_hent.brec_end1(1), std::string_view("A 151 C    A   "));
  rdlink_(0, named("LINK         C   ALA A   1                 N   GLY A   5     1555   1555", "gap"), ierr);
  EXPECT_EQ(pdb_hent.brec_kind(2), BREC_GAP);
  EXPECT_EQ(pdb_hent.brec_name(2), std::string_view("gap"));
}

TEST(PdbBondRecords, GapLinkMatchesOnResidueCodesAlone) {
  // LINK records between atoms "XX" of ALA A 1 and GLY A 5, which the
  // residues do not have.
  const std::string head = "LINK         XX ALA  A   1" + std::string(16, ' ') + " XX GLY  A   5";
  std::vector<std::string> l = {kCryst, named(head, "gap     "), named(head, "TRANS   ")};
  append(l, residue("ALA", 'A', 1));
  append(l, residue("GLY", 'A', 5));
  read_pdb(l);
  // Only the gap record finds its atoms: each endpoint takes the last atom
  // of its residue; the named link finds no atom "XX".
  ASSERT_EQ(link_inf.ln_n, 1);
  EXPECT_EQ(link_inf.ln_id(1), std::string_view("gap"));
  EXPECT_EQ(link_inf.ln_1ires(1), 1);
  EXPECT_EQ(link_inf.ln_2ires(1), 2);
  EXPECT_EQ(link_inf.ln_atom1(1), std::string_view("O"));
  EXPECT_EQ(link_inf.ln_atom2(1), std::string_view("O"));
  EXPECT_EQ(link_inf.ln_seq2(1), std::string_view("   5 "));
  EXPECT_EQ(link_inf.ln_alt1(1), std::string_view("."));
  EXPECT_EQ(link_inf.ln_used(1), std::string_view("U"));
}

// pdb_reres renumbers a sodium from NA C 12 to NA C 74 and leaves the LINK
// records of 1LCD as they were: the record naming 12 is warned of and makes
// no link, the one naming the present 74 makes its link silently, and an
// SSBOND naming a cysteine the model lacks is warned of as well.
TEST(PdbBondRecords, RecordNamingAnAtomNotInTheModelIsWarnedOf) {
  const std::string to_12 =
      "LINK        NA    NA C  12                 O   HOH A  53     1555   1555  2.10  ";
  const std::string to_74 =
      "LINK        NA    NA C  74                 O   HOH A  57     1555   1555  2.22  ";
  std::vector<std::string> l = {kCryst, to_12, to_74,
                                "SSBOND   1 CYS B    5    CYS B    9                          "
                                "1555   1555  2.04"};
  append(l, residue("CYS", 'B', 5));
  l.push_back(line({.name = " SG ", .res = "CYS", .chain = 'B', .resnum = 5, .elem = " S"}));
  l.push_back(line(
      {.rec = "HETATM", .name = "NA  ", .res = " NA", .chain = 'C', .resnum = 74, .elem = "NA"}));
  l.push_back(water('A', 53));
  l.push_back(water('A', 57));
  const ReadResult r = read_pdb(l);
  EXPECT_EQ(r.ierr, 0);
  ASSERT_EQ(link_inf.ln_n, 1) << r.out;
  EXPECT_EQ(link_inf.ln_seq1(1), std::string_view("  74 "));
  EXPECT_EQ(link_inf.ln_seq2(1), std::string_view("  57 "));
  EXPECT_NE(r.out.find("  WARNING : LINK record names an atom not in the model: NA NA C 12\n"
                       "            link NA NA C 12 - O HOH A 53 is not made\n"
                       "  WARNING : SSBOND record names an atom not in the model: SG B 9\n"
                       "            link SG B 5 - SG B 9 is not made\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.find(" 74 is not made"), std::string::npos) << r.out;
}

namespace {

// LINK record columns 13-27 and 43-57: atom name, alternate code, residue
// name, chain, number and insertion code.
std::string link_record(const char* atom1, char alt1, const char* atom2, char alt2,
                        const char* symm2 = "  1555", char ins2 = ' ') {
  char rec[96];
  std::snprintf(rec, sizeof rec,
                "LINK        %-4.4s%cCYS A   5                %-4.4s%cCYS A   5%c    1555 %6s  2.04",
                atom1, alt1, atom2, alt2, ins2, symm2);
  return rec;
}

}  // namespace

// Records whose ends lie in one residue, CYS A 5 (N, CA, C, O, SG; no HG):
// none makes a link.  One naming one atom at both ends (a conformer of it
// at each) is warned of; one joining two of the residue's atoms is its own
// bond, counted in one line for the file, whether the model has both atoms
// or not (a hydrogen left out).  The residue's copy across a symmetry axis
// is another residue, as is CYS A 5A (a residue of its own, one SG).
TEST(PdbBondRecords, RecordInsideOneResidueMakesNoLink) {
  const char* ssbond_to_itself =
      "SSBOND   1 CYS A    5    CYS A    5                          1555   1555  2.04";
  const struct {
    const char* label;
    std::vector<std::string> records;
    int links;
    const char* message;  // "" for none of the lines below
  } cases[] = {
      {"LINK of one atom",
       {link_record(" SG ", ' ', " SG ", ' ')},
       0,
       "  WARNING : LINK record joins atom SG CYS A 5 to itself: no link is made\n"},
      {"LINK of two conformers of one atom",
       {link_record(" SG ", 'A', " SG ", 'B')},
       0,
       " to itself: no link is made\n"},
      {"SSBOND of one residue",
       {ssbond_to_itself},
       0,
       "  WARNING : SSBOND record joins atom SG A 5 to itself: no link is made\n"},
      {"the residue's own bond",
       {link_record(" CA ", ' ', " SG ", ' ')},
       0,
       "  INFO: 1 LINK record joins two atoms of one residue: passed over, as that residue's own "
       "bond\n"},
      {"a bond to a hydrogen the file lacks, and another",
       {link_record(" SG ", ' ', " HG ", ' '), link_record(" C  ", ' ', " O  ", ' ')},
       0,
       "  INFO: 2 LINK records join two atoms of one residue: passed over, as that residue's own "
       "bonds\n"},
      {"the copy across a two-fold", {link_record(" SG ", ' ', " SG ", ' ', "  2555")}, 1, ""},
      {"the residue of the next insertion code",
       {link_record(" SG ", 'A', " SG ", ' ', "  1555", 'A')},
       1,
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    std::vector<std::string> l = {kCryst};
    append(l, c.records);
    append(l, residue("CYS", 'A', 5));
    l.push_back(
        line({.name = " SG ", .alt = 'A', .res = "CYS", .resnum = 5, .occ = 0.5, .elem = " S"}));
    l.push_back(
        line({.name = " SG ", .alt = 'B', .res = "CYS", .resnum = 5, .occ = 0.5, .elem = " S"}));
    l.push_back(line({.name = " SG ", .res = "CYS", .resnum = 5, .ins = 'A', .x = 4, .elem = " S"}));
    const ReadResult r = read_pdb(l);
    EXPECT_EQ(r.ierr, 0);
    EXPECT_EQ(link_inf.ln_n, c.links) << r.out;
    if (*c.message != '\0') {
      EXPECT_NE(r.out.find(c.message), std::string::npos) << r.out;
    }
    EXPECT_EQ(count_of(r.out, "to itself") + count_of(r.out, "one residue"), *c.message ? 1 : 0)
        << r.out;
    EXPECT_EQ(r.out.find("not in the model"), std::string::npos) << r.out;
  }
}

// A LINK record may spell a nucleotide atom the other way than its atom
// line, for a residue whose primes the reader keeps (DA): it names that
// atom all the same, in its own conformer; another atom, or the other
// conformer, it does not name.
TEST(PdbBondRecords, LinkTakesEitherSpellingOfANucleotideAtom) {
  const struct {
    const char* label;
    const char* atom_line;  // columns 13-16 of the atom line
    char atom_alt;
    const char* link_atom;  // columns 13-17 of the LINK record
    bool found;
  } cases[] = {
      {"star in the record, prime in the model", " O3'", ' ', " O3* ", true},
      {"prime in the record, star in the model", " O3*", ' ', " O3' ", true},
      {"phosphate oxygen of the other spelling", " OP1", ' ', " O1P ", true},
      {"same spelling", " O3'", ' ', " O3' ", true},
      {"another atom", " O3'", ' ', " O2* ", false},
      {"the record's conformer the atom lacks", " O3'", 'A', " O3*B", false},
      {"the record's conformer", " O3'", 'A', " O3*A", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    char rec[96];
    std::snprintf(rec, sizeof rec, "LINK        %-5.5s DA B   5                MG    MG C 301     1555   1555  2.10",
                  c.link_atom);
    std::vector<std::string> l = {kCryst, rec};
    l.push_back(line({.name = " P  ", .res = " DA", .chain = 'B', .resnum = 5, .elem = " P"}));
    l.push_back(line({.name = c.atom_line, .alt = c.atom_alt, .res = " DA", .chain = 'B',
                      .resnum = 5, .elem = " O"}));
    l.push_back(line(
        {.rec = "HETATM", .name = "MG  ", .res = " MG", .chain = 'C', .resnum = 301, .elem = "MG"}));
    const ReadResult r = read_pdb(l);
    EXPECT_EQ(r.ierr, 0);
    ASSERT_EQ(link_inf.ln_n, c.found ? 1 : 0) << r.out;
    EXPECT_EQ(r.out.find("names an atom not in the model") == std::string::npos, c.found) << r.out;
    if (c.found) {
      EXPECT_EQ(link_inf.ln_atom1(1).view().substr(0, 3), std::string(c.atom_line + 1, 3));
    }
  }
}

TEST(PdbBondRecords, ModresNeedsAnIdentifier) {
  std::vector<std::string> l = {kCryst, "MODRES 1A8O MSE A  151  MET  SELENOMETHIONINE"};
  append(l, residue("MSE", 'A', 151, "HETATM"));
  const ReadResult r = read_pdb(l);
  EXPECT_EQ(mod_inf.mod_n, 0);
  EXPECT_NE(r.out.find("  WARNING: MODRES record without ID, ignored.\n"), std::string::npos) << r.out;
  l[1] = named("MODRES 1A8O MSE A  151  MET", "SE-MET  ");
  read_pdb(l);
  ASSERT_EQ(mod_inf.mod_n, 1);
  EXPECT_EQ(mod_inf.mod_id(1), std::string_view("SE-MET"));
  EXPECT_EQ(mod_inf.mod_rnam(1), std::string_view("MET"));
  EXPECT_EQ(mod_inf.mod_rnam_new(1), std::string_view("MSE"));
  EXPECT_EQ(resid_inf.mod_flag(1), std::string_view("Y"));
}

TEST(PdbBondRecords, FullStoreStopsTheRun) {
  int32_t ierr = 0;
  pdb_hent.brec_n = MAXBONDREC - 1;
  EXPECT_EQ(captured([&] { rdssbond_(0, "SSBOND   1 CYS A   23    CYS A   88", ierr); }), "");
  EXPECT_EQ(pdb_hent.brec_n, MAXBONDREC);
  EXPECT_EQ(
      expect_stop(
          1, [&] { rdlink_(0, "LINK         SG  CYS A  23                ZN    ZN A 101", ierr); }),
      "  ERROR: number of LINK records of PDB file >  50000\n"
      "         change parameter MAXBONDREC in pdb_state\n"
      "  ERROR: the run stops: table MAXBONDREC holds 50000 rows and no more\n");
  EXPECT_EQ(pdb_hent.brec_n, MAXBONDREC);
  pdb_hent.brec_n = 0;
}

TEST(PdbRegrouping, SegmentPiecesOfOneChainAreJoined) {
  std::vector<std::string> l = {kCryst};
  append(l, residue("ALA", 'A', 1, "ATOM", ' ', "PROA"));
  append(l, residue("ALA", 'A', 2, "ATOM", ' ', "PROA"));
  append(l, residue("MSE", 'A', 3, "HETATM", ' ', "PROA"));
  append(l, residue("GLY", 'A', 7, "ATOM", ' ', "PROA"));
  l.push_back(kTer);
  append(l, residue("GLY", 'A', 1, "ATOM", ' ', "PROB"));
  EXPECT_EQ(read_pdb(l, {.seg = 'Y'}).ierr, 0);
  ASSERT_EQ(asym_part.n_group, 2);
  EXPECT_EQ(chain_id(1), "PROA");
  EXPECT_EQ(chain_id(2), "PROB");
  EXPECT_EQ(asym_part.nres_chain(1), 4);
  EXPECT_EQ(asym_part.ich_type(1), 3);
  // The HETATM piece joins with a trans link, the piece after it with a gap.
  EXPECT_EQ(resid_inf.iconn_type(3), 2);
  EXPECT_EQ(resid_inf.iconn_type(4), 10);
  EXPECT_EQ(resid_inf.ires_back(3), 2);
  EXPECT_EQ(resid_inf.ires_forw(3), 4);
  // Serials of a joined piece are raised by the serial before it.
  EXPECT_EQ(resid_inf.ires_serial(3), 5);
  EXPECT_EQ(resid_inf.ires_serial(4), 10);
}

TEST(PdbRegrouping, ShortSegmentLinesFallBackToChainIdentifiers) {
  std::vector<std::string> l = {kCryst};
  for (std::string s : residue("ALA", 'A', 1)) l.push_back(s.substr(0, 66));
  l.push_back(kTer);
  for (std::string s : residue("ALA", 'B', 1)) l.push_back(s.substr(0, 66));
  read_pdb(l, {.seg = 'Y'});
  EXPECT_EQ(crdinf.cr_segflag, std::string_view("N"));
  ASSERT_EQ(asym_part.n_group, 2);
  EXPECT_EQ(chain_id(1), "AA  ");
  EXPECT_EQ(chain_id(2), "BB  ");
}

TEST(PdbRegrouping, WaterPiecesOfOneSegmentAreJoined) {
  auto w = [](int n) { return line({.rec = "HETATM", .name = " O  ", .res = "HOH", .resnum = n, .seg = "W", .elem = " O"}); };
  read_pdb({kCryst, w(1), kTer, w(2)}, {.seg = 'Y'});
  ASSERT_EQ(asym_part.n_group, 1);
  EXPECT_EQ(asym_part.ich_type(1), 9);
  EXPECT_EQ(chain_id(1), "W   ");
}

TEST(ChainTermini, ProteinWithAndWithoutOxt) {
  read_pdb(oxt_chain_then("ALA", "GLY", "SER"));
  ASSERT_EQ(asym_part.n_group, 2);
  EXPECT_EQ(asym_part.iterm_s_type(1), 2);
  EXPECT_EQ(asym_part.iterm_f_type(1), 2);
  EXPECT_EQ(asym_part.iterm_s_type(2), 2);
  EXPECT_EQ(asym_part.iterm_f_type(2), 1);
}

TEST(ChainTermini, NucleicAcidEnds) {
  read_pdb({kCryst, line({.name = " P  ", .res = "  A", .elem = " P"}), line({.name = " C1'", .res = "  A"}),
            line({.name = " C1'", .res = "  G", .resnum = 2})});
  ASSERT_EQ(asym_part.n_group, 1);
  EXPECT_EQ(resid_inf.res_name(1), std::string_view("Ad"));
  EXPECT_EQ(asym_part.ich_type(1), 5);
  EXPECT_EQ(asym_part.iterm_s_type(1), 4);
  EXPECT_EQ(asym_part.iterm_f_type(1), 5);
}

TEST(ChainTermini, CyclicPeptideKeepsItsTypesAndWarns) {
  std::vector<std::string> l = {
      kCryst, named("LINK         C   GLY A   2                 N   ALA A   1     1555   1555", "TRANS")};
  append(l, residue("ALA", 'A', 1));
  append(l, residue("GLY", 'A', 2));
  const ReadResult r = read_pdb(l);
  ASSERT_EQ(link_inf.ln_n, 1);
  EXPECT_NE(r.out.find("  WARNING : chain AA   is cyclic ?\n"), std::string::npos) << r.out;
  EXPECT_EQ(asym_part.iterm_s_type(1), 1);
  EXPECT_EQ(asym_part.iterm_f_type(1), 1);
}

// The same ring closed by a LINK record on GLY 2's C, which the file gives
// in two conformers: the record without an alternate code names both, the
// record naming conformer A that one; either way the chain's ends are
// bonded to each other and it is a ring.
TEST(ChainTermini, CyclicPeptideClosedOnAnAtomInTwoConformersIsARing) {
  for (const char alt : {' ', 'A'}) {
    SCOPED_TRACE(std::string("LINK alternate '") + alt + "'");
    std::string link = "LINK         C   GLY A   2                 N   ALA A   1     1555   1555";
    link[16] = alt;
    std::vector<std::string> l = {kCryst, link};
    append(l, residue("ALA", 'A', 1));
    l.push_back(line({.name = " N  ", .res = "GLY", .resnum = 2, .elem = " N"}));
    l.push_back(line({.name = " CA ", .res = "GLY", .resnum = 2}));
    l.push_back(line({.name = " C  ", .alt = 'A', .res = "GLY", .resnum = 2, .occ = 0.5f}));
    l.push_back(line({.name = " C  ", .alt = 'B', .res = "GLY", .resnum = 2, .x = 1.2f, .occ = 0.5f}));
    l.push_back(line({.name = " O  ", .res = "GLY", .resnum = 2, .elem = " O"}));
    const ReadResult r = read_pdb(l);
    ASSERT_EQ(r.ierr, 0) << r.out;
    ASSERT_EQ(link_inf.ln_n, 1);
    EXPECT_EQ(link_inf.ln_1ires(1), 2);
    EXPECT_EQ(link_inf.ln_2ires(1), 1);
    EXPECT_EQ(r.out.find("is cyclic"), r.out.rfind("is cyclic")) << r.out;
    EXPECT_NE(r.out.find("  WARNING : chain AA   is cyclic ?\n"), std::string::npos) << r.out;
    EXPECT_EQ(asym_part.iterm_s_type(1), 1);
    EXPECT_EQ(asym_part.iterm_f_type(1), 1);
  }
}

// The ring closed on ALA 1's N, which the file gives in two conformers, by
// a record naming conformer A of the N (the second atom of the record):
// that N is bonded, so the chain starts with no amino group.
TEST(ChainTermini, NitrogenLinkedInOneConformerIsNoAminoTerminus) {
  std::string link = "LINK         C   GLY A   2                 N   ALA A   1     1555   1555";
  link[46] = 'A';
  std::vector<std::string> l = {kCryst, link};
  l.push_back(
      line({.name = " N  ", .alt = 'A', .res = "ALA", .resnum = 1, .occ = 0.5f, .elem = " N"}));
  l.push_back(line({.name = " N  ",
                    .alt = 'B',
                    .res = "ALA",
                    .resnum = 1,
                    .x = 1.2f,
                    .occ = 0.5f,
                    .elem = " N"}));
  l.push_back(line({.name = " CA ", .res = "ALA", .resnum = 1}));
  l.push_back(line({.name = " C  ", .res = "ALA", .resnum = 1}));
  l.push_back(line({.name = " O  ", .res = "ALA", .resnum = 1, .elem = " O"}));
  append(l, residue("GLY", 'A', 2));
  const ReadResult r = read_pdb(l);
  ASSERT_EQ(r.ierr, 0) << r.out;
  ASSERT_EQ(link_inf.ln_n, 1);
  EXPECT_EQ(link_inf.ln_alt2(1), "A");
  EXPECT_EQ(link_inf.ln_alt1(1)(1), ' ');
  EXPECT_NE(r.out.find("  WARNING : chain AA   is cyclic ?\n"), std::string::npos) << r.out;
  EXPECT_EQ(asym_part.iterm_s_type(1), 1);
  EXPECT_EQ(asym_part.iterm_f_type(1), 1);
}

// 1A8O writes its selenomethionines as HETATM inside chain A: the reader
// splits the chain at each, and the pieces Aa to Ae (one selenomethionine,
// or the residues between two) are joined at both ends to the pieces either
// side, not to themselves: no ring.
TEST(ChainTermini, PiecesJoinedToTheirNeighboursAreNoRings) {
  std::ifstream in(ORB_TEST_DATA_DIR "/1A8O.pdb");
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  const ReadResult r = read_pdb(lines);
  ASSERT_EQ(r.ierr, 0) << r.out;
  std::string pieces;
  for (int g = 1; g <= asym_part.n_group; ++g)
    pieces += chain_id(g) + std::to_string(asym_part.nres_chain(g)) + " ";
  EXPECT_EQ(pieces, "AA  1 Aa  33 Ab  1 Ac  28 Ad  1 Ae  1 Af  5 Ag  88 ");
  EXPECT_EQ(r.out.find("is cyclic"), std::string::npos) << r.out;
}

TEST(PdbCorrections, PyranoseGetsARenameWithDefaultLetters) {
  read_pdb({kCryst, line({.rec = "HETATM", .name = " C1 ", .res = "GLC"})});
  ASSERT_EQ(mod_inf.mod_n, 1);
  EXPECT_EQ(mod_inf.mod_id(1), std::string_view("RENAME"));
  EXPECT_EQ(mod_inf.mod_rnam_new(1), std::string_view("GLC-b-D"));
  EXPECT_EQ(mod_inf.mod_used(1), std::string_view("N"));
}

TEST(PdbCorrections, AlanineInDGeometryIsRenamedWhenAsked) {
  std::vector<std::string> l = {kCryst};
  const struct {
    const char* name;
    float x, y, z;
  } atoms[] = {{" N  ", -0.5f, 1.2f, 0.0f}, {" CA ", 0, 0, 0}, {" C  ", 1.5f, 0, 0}, {" CB ", -0.5f, -0.7f, -1.2f}};
  for (int mirror = 0; mirror < 2; ++mirror)
    for (const auto& p : atoms)
      l.push_back(line({.name = p.name, .resnum = mirror + 1, .x = p.x, .y = p.y, .z = mirror ? -p.z : p.z}));
  const ReadResult r = read_pdb(l, {.pept = 'Y'});
  ASSERT_EQ(resid_inf.n_residue, 2);
  // Exactly one of the two mirror images is the D form.
  const bool first_d = resid_inf.res_name(1) == std::string_view("ALA-D");
  EXPECT_NE(first_d, resid_inf.res_name(2) == std::string_view("ALA-D"));
  EXPECT_NE(r.out.find(first_d ? "  WARNING : D-peptide : ALA    1  chain:A1" : "  WARNING : D-peptide : ALA    2  chain:A1"),
            std::string::npos)
      << r.out;
  read_pdb(l);
  EXPECT_EQ(resid_inf.res_name(1), std::string_view("ALA"));
  EXPECT_EQ(resid_inf.res_name(2), std::string_view("ALA"));
}

namespace {

std::string detect(const std::vector<std::string>& lines) {
  TempFile f(lines);
  rt::FixedText<256> name(f.path());
  rt::FixedText<1> flag(" ");
  int32_t ierr = 0;
  captured([&] { pdb_or_cif_(0, name, flag, ierr); });
  return std::string(flag.view());
}

}  // namespace

TEST(FileTypeDetection, PdbAndCifFiles) {
  EXPECT_EQ(detect({"REMARK   1 A PDB FILE"}), "P");
  EXPECT_EQ(detect({"data_1ABC", "ATOM      1"}), "C");
  EXPECT_EQ(detect({"# comment", "   _atom_site.id 1", "ATOM"}), "C");
  EXPECT_EQ(detect({}), "C");
  std::vector<std::string> blanks(1000, "");
  blanks.push_back("ATOM      1  CA  ALA A   1");
  EXPECT_EQ(detect(blanks), "C");
  blanks.erase(blanks.begin());
  EXPECT_EQ(detect(blanks), "P");
}

TEST(FileTypeDetection, UnusableNameIsReported) {
  rt::FixedText<256> name(" leading.pdb");
  rt::FixedText<1> flag("X");
  int32_t ierr = 0;
  EXPECT_EQ(captured([&] { pdb_or_cif_(-999, name, flag, ierr); }), "  ERROR: can't open input_coord_file\n");
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(flag, std::string_view("X"));
}
