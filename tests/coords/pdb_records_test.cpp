// Record parsers of the PDB reader: atom-name correction, header records and
// crystal records, each on one hand-written line.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "coords/pdb_corrections.h"
#include "coords/pdb_crystal.h"
#include "coords/pdb_header.h"
#include "coords/pdb_state.h"
#include "foundation/atom_com.h"
#include "foundation/residue_class.h"
#include "pdb_fixture.h"

namespace {

struct Named {
  std::string name, res, elem, cls;
};

Named corr(const char* name, const char* res) {
  init_res_type_tab_();
  rt::FixedText<4> aname(name), asymb, ctype;
  rt::FixedText<3> rname(res);
  corr_name_pdb_(aname, rname, asymb, ctype);
  return {std::string(aname.view()), std::string(rname.view()), std::string(asymb.view()),
          std::string(ctype.view())};
}

constexpr float kPi = 3.14159265f;

}  // namespace

TEST(PdbAtomNames, CorrectedNameResidueElementAndClass) {
  // Name and residue as read; then the expected name, residue, element and
  // class, "" where the case does not look.
  const struct {
    const char *name, *res;
    Named want;
  } cases[] = {
      {" CA ", "ALA", {"CA  ", "", "C   ", "C   "}},   {"CA  ", "CA ", {"", "", "CA  ", "$   "}},
      {"HG11", "VAL", {"", "", "HG  ", ""}},          {"1HB ", "ALA", {"HB1 ", "", "H   ", "H   "}},
      {"1HG1", "VAL", {"HG11", "", "", ""}},          {"HE21", "GLN", {"", "", "H   ", "H   "}},
      {" D1 ", "HOH", {"H1  ", "", "H   ", ""}},        {" OW ", "WAT", {"O   ", "HOH", "O   ", ""}},
      {" O5'", "  A", {"O5* ", "Ad ", "", ""}},         {" OT ", "GLY", {"OXT ", "", "", ""}},
      {" P5 ", "  C", {"P   ", "", "", ""}},          {" HT1", "ALA", {"H1  ", "", "", "H   "}},
      {" H0 ", "GLY", {"H   ", "", "", ""}},
      // GROMACS's water hydrogens, read as the library's H1 and H2.
      {" HW1", "SOL", {"H1  ", "HOH", "H   ", "H   "}},
      {" HW2", "SOL", {"H2  ", "HOH", "H   ", "H   "}},
      // Amber's RNA and DNA; a ruthenium ion under the name of its uracil.
      {" P  ", "RG3", {"", "Gd ", "", ""}},          {" P  ", "DC5", {"", "DC ", "", ""}},
      {" P  ", " RU", {"", "Ur ", "", ""}},          {"RU  ", " RU", {"", "RU ", "RU  ", "$   "}},
      // A leading digit moves behind the name as the mmCIF reader moves it.
      {"3HB ", "SER", {"HB3 ", "", "H   ", "H   "}},   {"2H  ", "GLY", {"H2  ", "", "H   ", "H   "}},
      {"1DB ", "ALA", {"HB1 ", "", "H   ", "H   "}},   {"1HD1", "LEU", {"HD11", "", "H   ", "H   "}},
      // The same names written from column 14, as some programs place every
      // name of a one-letter element: the same atoms.  A digit before another
      // letter is no such name.
      {" 1HB", "ALA", {"HB1 ", "", "H   ", "H   "}},   {" 3HZ", "LYS", {"HZ3 ", "", "H   ", "H   "}},
      {" 2H ", "GLY", {"H2  ", "", "H   ", "H   "}},   {" 1C ", "XYZ", {"1C  ", "", "1   ", ""}},
  };
  for (const auto& c : cases) {
    const Named n = corr(c.name, c.res);
    if (!c.want.name.empty()) { EXPECT_EQ(n.name, c.want.name) << c.name << c.res; }
    if (!c.want.res.empty()) { EXPECT_EQ(n.res, c.want.res) << c.name << c.res; }
    if (!c.want.elem.empty()) { EXPECT_EQ(n.elem, c.want.elem) << c.name << c.res; }
    if (!c.want.cls.empty()) { EXPECT_EQ(n.cls, c.want.cls) << c.name << c.res; }
  }
}

// The answers kept by residue name must be those of a first look whatever
// came before: each name is asked alone first, then again among many other
// names (so that kept answers are pushed out and share places), and in
// residue fields of other widths.
TEST(PdbAtomNames, KeptAnswersByResidueNameAreThoseOfAFirstLook) {
  const char* special[][2] = {{" O5'", "  A"}, {" OW ", "WAT"}, {" P5 ", "  C"}, {" C1'", "PSU"},
                              {" O2'", "URI"}, {" HT1", "ALA"}, {" D1 ", "DOD"}, {" X  ", "DUM"},
                              {" CA ", "LYS"}, {" O3'", "1MG"}, {" N  ", "+C "}, {" P  ", " RU"},
                              {"RU  ", " RU"}};
  std::vector<Named> first;
  for (const auto& s : special) first.push_back(corr(s[0], s[1]));
  // Names that no rule renames, many sharing their first characters.
  std::vector<std::string> others;
  for (char a : {'A', 'C', 'H', 'P', 'W'})
    for (char b = 'A'; b <= 'Z'; ++b)
      for (char c : {'X', 'Q', '1'}) others.push_back(std::string{a, b, c});
  for (int round = 0; round < 3; ++round) {
    for (std::size_t i = 0; i < std::size(special); ++i) {
      for (std::size_t k = i * 7 % others.size(); k < others.size(); k += 5)
        ASSERT_EQ(corr(" CA ", others[k].c_str()).res, others[k]) << "kept answer of another name";
      SCOPED_TRACE(std::string(special[i][1]) + " round " + std::to_string(round));
      const Named again = corr(special[i][0], special[i][1]);
      EXPECT_EQ(again.name, first[i].name);
      EXPECT_EQ(again.res, first[i].res);
      EXPECT_EQ(again.elem, first[i].elem);
      EXPECT_EQ(again.cls, first[i].cls);
      // The same name in a wider field.
      rt::FixedText<4> aname(special[i][0]), asymb, ctype;
      rt::FixedText<8> rname(special[i][1]);
      corr_name_pdb_(aname, rname, asymb, ctype);
      EXPECT_EQ(std::string(rname.trimmed()), std::string(rt::trim_right(first[i].res)));
      EXPECT_EQ(std::string(aname.view()), first[i].name);
    }
  }
  // Residue classes as the class routines give them, among many names.
  std::vector<std::string> names = others;
  for (const char* n : {"ALA", "ARG", "ASN", "ASP", "CYS", "GLN", "GLU", "GLY", "HIS", "ILE", "LEU",
                        "LYS", "MET", "PHE", "PRO", "SER", "THR", "TRP", "TYR", "VAL", "DA", "DC",
                        "DG", "DT", "A", "C", "G", "U", "HOH", "MAN", "NAG", "GLC", "MSE", "SO4"})
    names.insert(names.begin() + static_cast<long>(names.size() / 2), n);
  for (int round = 0; round < 2; ++round)
    for (const std::string& n : names) {
      int32_t want = 1, ierr = 0;
      rt::FixedText<80> work;
      const rt::FixedText<8> monn(n);
      get_standard_res_type_(0, work, monn, want, ierr);
      if (want == 1) get_ini_res_type_(0, work, monn, want, ierr);
      // A force-field name (CYX among the names above) is the residue it
      // stands for.
      if (want == 1 && !foundation::force_field_standard(n).empty()) want = 3;
      EXPECT_EQ(pdb::residue_class(n), want) << n;
    }
  for (const char* n : {"LYS", "HOH", "DA", "MAN", "ALA", "LYS"}) {
    int32_t want = 1, ierr = 0;
    rt::FixedText<80> work;
    const rt::FixedText<8> monn(n);
    get_standard_res_type_(0, work, monn, want, ierr);
    if (want == 1) get_ini_res_type_(0, work, monn, want, ierr);
    EXPECT_EQ(pdb::residue_class(n), want) << n;
  }
}

TEST(PdbHeaderRecords, BlankDateAndCodeGetDefaults) {
  rdhead_pdb_("HEADER    HYDROLASE");
  EXPECT_EQ(crdinf.cr_date_pdb, std::string_view("XX-XXX-XX"));
  EXPECT_EQ(crdinf.cr_cd_pdb, std::string_view("XXXX"));
  EXPECT_EQ(crst_pdb.cs_cd_pdb, std::string_view("XXXX"));
  EXPECT_EQ(crdinf.cr_name_pdb, std::string_view("HYDROLASE"));
}

TEST(PdbHeaderRecords, ApostropheIsKept) {
  rdhead_pdb_("HEADER    DNA 5'-END                              27-MAR-98   1ABC");
  EXPECT_EQ(crdinf.cr_name_pdb, std::string_view("DNA 5'-END"));
  EXPECT_EQ(crdinf.cr_date_pdb, std::string_view("27-MAR-98"));
  EXPECT_EQ(crdinf.cr_cd_pdb, std::string_view("1ABC"));
  rdtitle_pdb_("TITLE     THE 3' END");
  EXPECT_EQ(crdinf.cr_title, std::string_view("THE 3' END"));
  rdcompnd_("COMPND");
  EXPECT_EQ(crst_pdb.cs_title, std::string_view("---"));
}

// A title of several TITLE records is read whole, up to column 80 of each.
TEST(PdbHeaderRecords, TitleGoesOnOverItsRecords) {
  const std::string full70 = std::string(69, 'A') + "Z";
  const struct {
    const char* label;
    std::vector<std::string> records;
    std::string title;
  } rows[] = {
      {"three records", {"TITLE     STRUCTURE OF THE", "TITLE    2 LAC REPRESSOR", "TITLE    3 HEADPIECE"},
       "STRUCTURE OF THE LAC REPRESSOR HEADPIECE"},
      {"a record full to column 80", {"TITLE     " + full70, "TITLE    2 END"}, full70 + " END"},
      {"a new first record starts afresh", {"TITLE     OLD", "TITLE     NEW", "TITLE    2 ONE"}, "NEW ONE"},
      {"a continuation without a first record", {"TITLE    2 LATE"}, "LATE"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.label);
    crdinf.cr_title = "---";
    for (const std::string& rec : r.records) rdtitle_pdb_(rec);
    EXPECT_EQ(crdinf.cr_title.trimmed(), r.title);
    EXPECT_EQ(crst_pdb.cs_title.trimmed(), r.title);
  }
}

// The KEYWDS records of a file, joined as the TITLE records are, stand in
// the place of the HEADER record's classification, as an mmCIF file's
// _struct_keywords.text does.
TEST(PdbHeaderRecords, KeywordsGoOnOverTheirRecordsInPlaceOfTheClassification) {
  const std::string header = "HEADER    PROTEIN FIBRIL                          24-OCT-05   2BEG";
  const std::string atom = pdbtest::line({.name = " CA ", .res = "ALA", .resnum = 1, .elem = " C"});
  // Records full to column 79: 69 characters, a continuation's first blank.
  const std::string full68 = std::string(67, 'K') + "Z";
  std::vector<std::string> long_keywords = {"KEYWDS    K" + full68};
  for (int k = 2; k <= 15; ++k) {
    char number[4];
    std::snprintf(number, sizeof number, "%2d", k);
    long_keywords.push_back("KEYWDS  " + std::string(number) + " " + full68);
  }
  const struct {
    const char* label;
    std::vector<std::string> records;
    std::string keywords, warning;
  } rows[] = {
      {"three records, an apostrophe kept",
       {header, "KEYWDS    ALZHEIMER'S, FIBRIL, PROTOFILAMENT, BETA-SANDWICH, QUENCHED",
        "KEYWDS   2 HYDROGEN/DEUTERIUM EXCHANGE, PAIRWISE MUTAGENESIS, PROTEIN",
        "KEYWDS   3 FIBRIL"},
       "ALZHEIMER'S, FIBRIL, PROTOFILAMENT, BETA-SANDWICH, QUENCHED HYDROGEN/DEUTERIUM EXCHANGE, "
       "PAIRWISE MUTAGENESIS, PROTEIN FIBRIL",
       ""},
      {"no KEYWDS record", {header}, "PROTEIN FIBRIL", ""},
      {"a KEYWDS record without text", {header, "KEYWDS"}, "PROTEIN FIBRIL", ""},
      {"a continuation without a first record", {header, "KEYWDS   2 LATE"}, "LATE", ""},
      {"no HEADER record", {"KEYWDS    GENE REGULATION/DNA"}, "GENE REGULATION/DNA", ""},
      {"a trajectory's next frame",
       {header, "KEYWDS    FIRST FRAME", pdbtest::kCryst, "MODEL        1", atom, "ENDMDL",
        "KEYWDS    NEXT FRAME", "MODEL        2"},
       "FIRST FRAME",
       ""},
      {"past the length of the store", long_keywords, "",
       " WARNING: KEYWDS of 1035 characters is cut to its first " + std::to_string(MAXTITLE)},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.label);
    std::vector<std::string> l = r.records;
    l.push_back(pdbtest::kCryst);
    l.push_back(atom);
    const pdbtest::ReadResult read = pdbtest::read_pdb(l);
    ASSERT_EQ(read.ierr, 0) << read.out;
    if (r.warning.empty()) {
      EXPECT_EQ(crdinf.cr_name_pdb.trimmed(), r.keywords);
      EXPECT_EQ(pdbtest::count_of(read.out, "is cut to its first"), 0) << read.out;
    } else {
      EXPECT_EQ(crdinf.cr_name_pdb.trimmed().size(), static_cast<std::size_t>(MAXTITLE));
      EXPECT_EQ(pdbtest::count_of(read.out, r.warning + "\n"), 1) << read.out;
    }
    EXPECT_EQ(crst_pdb.cs_name_pdb.trimmed(), crdinf.cr_name_pdb.trimmed());
  }
}

TEST(PdbHeaderRecords, ResolutionAndRValueRemarks) {
  crdinf.cr_resl_pdb = ".";
  rdremark_("REMARK   2 RESOLUTION. 2.00 ANGSTROMS.");
  EXPECT_EQ(crdinf.cr_resl_pdb, std::string_view("RESOLUTION. 2.00 ANGSTROMS."));
  rdremark_("REMARK   3   R VALUE            (WORKING SET) : 0.198");
  EXPECT_EQ(crst_pdb.cs_rfac_pdb, std::string_view("  R VALUE            (WORKING SET) :"));
  rdremark_("REMARK ABC RESOLUTION. 9.99");
  EXPECT_EQ(crdinf.cr_resl_pdb, std::string_view("RESOLUTION. 2.00 ANGSTROMS."));
}

TEST(PdbHeaderRecords, HetRowsAreUniqueAndLimited) {
  pdb_hent.het_n = 0;
  rdhet_("HET    NAG  A 401      14");
  rdhet_("HET    NAG  B 402      14");
  EXPECT_EQ(pdb_hent.het_n, 1);
  EXPECT_EQ(pdb_hent.het_natom(1), 14);
  EXPECT_EQ(pdb_hent.het_name(1), std::string_view("."));
  rdformul_("FORMUL   2  NAG    2(C8 H15 N O6)");
  EXPECT_EQ(pdb_hent.het_formula(1), std::string_view("2(C8 H15 N O6)"));
  for (int i = 0; i < 60; ++i) {
    char line[32];
    std::snprintf(line, sizeof line, "HET    X%02d  A 401      14", i);
    rdhet_(line);
  }
  EXPECT_EQ(pdb_hent.het_n, MAXHETREC);
}

// A CRYST1 record of the given cell and space-group text, read quietly.
void read_cryst1(const std::string& cell, const std::string& group, int32_t nospgr = 0) {
  setenv("SYMINFO", ORB_DATA_DIR "/syminfo.lib", 1);
  captured([&] { rdcryst1_("CRYST1" + cell + " " + group, nospgr); });
}

const std::string kOrthoCell = "   52.300   58.100   61.200  90.00  90.00  90.00";

TEST(PdbCrystalRecords, CellAndSpaceGroupName) {
  sttcrec.st_cell_flag = sttcrec.st_spgr_flag = 0;
  read_cryst1(kOrthoCell, "P 21 21 21    4");
  EXPECT_FLOAT_EQ(crdinf.cr_cell(1), 52.3f);
  EXPECT_NEAR(crdinf.cr_cell(4), kPi / 2, 1e-6);
  EXPECT_EQ(sttcrec.st_cell_flag, 1);
  EXPECT_EQ(sttcrec.st_spgr_flag, 1);
  EXPECT_EQ(crst_crd.cs_nsym, 4);
  EXPECT_EQ(crst_crd.cs_spgr, std::string_view("P 21 21 21"));
}

TEST(PdbCrystalRecords, WrongCellTakesTheDefaultCubeWithAWarning) {
  const std::string out = captured([] {
    rdcryst1_("CRYST1    0.000   58.100   61.200  90.00  90.00  90.00 P 1", 0);
  });
  const std::string warning =
      "  WARNING: wrong CELL parameters in PDB file\n           Default: 100,100,100,90,90,90\n";
  EXPECT_EQ(out.substr(0, warning.size()), warning);
  EXPECT_EQ(sttcrec.st_cell_flag, -1);
  EXPECT_FLOAT_EQ(crst_crd.cs_cell(2), 100.0f);
}

// Edges of half an angstrom or less, or past what the field holds, and flat
// angles are not a cell.
TEST(PdbCrystalRecords, CellEdgeMustExceedHalfAnAngstrom) {
  const struct {
    const char* name;
    const char* cell;
    int32_t flag;
  } cases[] = {
      {"a of 0.5", "    0.500   58.100   61.200  90.00  90.00  90.00", -1},
      {"c of 0.5", "   52.300   58.100    0.500  90.00  90.00  90.00", -1},
      {"a of 0.501", "    0.501   58.100   61.200  90.00  90.00  90.00", 1},
      {"a below 0", "   -5.000   58.100   61.200  90.00  90.00  90.00", -1},
      {"a past a float", "   1.0e39   58.100   61.200  90.00  90.00  90.00", -1},
      {"a of 1e39, read as 1e36", "     1e39   58.100   61.200  90.00  90.00  90.00", -1},
      {"a the widest the field holds", "99999.999   58.100   61.200  90.00  90.00  90.00", 1},
      {"a of 100000.1", " 100000.1   58.100   61.200  90.00  90.00  90.00", -1},
      {"a of 100001", "100001.00   58.100   61.200  90.00  90.00  90.00", -1},
      {"alpha of 0.03 degrees", "   52.300   58.100   61.200   0.03  90.00  90.00", -1},
      {"gamma of 179.97 degrees", "   52.300   58.100   61.200  90.00  90.00 179.97", -1},
      {"beta of 0", "   52.300   58.100   61.200  90.00   0.00  90.00", -1},
      {"beta of 180 degrees", "   52.300   58.100   61.200  90.00 180.00  90.00", -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    read_cryst1(c.cell, "P 1");
    EXPECT_EQ(sttcrec.st_cell_flag, c.flag);
  }
}

// Converters write a group they do not know as mmCIF marks a value not
// given: read as a name, it would leave the model without an operator.
TEST(PdbCrystalRecords, BlankSpaceGroupIsP1WithAWarning) {
  const struct {
    const char* name;
    const char* group;  // columns 56 on
  } cases[] = {
      {"blank", ""},
      {"question mark", "?"},
      {"full stop after blanks", "    ."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string line =
        std::string("CRYST1   52.300   58.100   61.200  90.00  90.00  90.00 ") + c.group;
    const std::string out = captured([&] { rdcryst1_(line, 0); });
    const std::string warning =
        "  WARNING: wrong card \"CRYST1\" of PDB_file.\n           default space group \"P 1\"\n";
    EXPECT_EQ(out.substr(0, warning.size()), warning);
    EXPECT_EQ(crst_crd.cs_nsym, 1);
    EXPECT_EQ(crst_crd.cs_nspgr, 1);
    EXPECT_EQ(crst_crd.cs_spgr, std::string_view("P 1"));
  }
}

// A monoclinic short name takes the unique axis c when only gamma differs
// from 90 degrees, else b.
TEST(PdbCrystalRecords, MonoclinicShortNameTakesTheUniqueAxisFromTheAngles) {
  const char* kBetaOblique = "   52.300   58.100   61.200  90.00 101.50  90.00";
  const char* kGammaOblique = "   52.300   58.100   61.200  90.00  90.00 101.50";
  const struct {
    const char* name;
    const char* group;
    const char* cell;
    int32_t sett;
    const char* spgr;
    int32_t nsym;
  } cases[] = {
      {"P 21, beta oblique", "P 21", kBetaOblique, 2, "P 1 21 1", 2},
      {"P 21, gamma oblique", "P 21", kGammaOblique, 1, "P 1 1 21", 2},
      {"P2, beta oblique", "P2", kBetaOblique, 2, "P 1 2 1", 2},
      {"C2, beta oblique", "C2", kBetaOblique, 2, "C 1 2 1", 4},
      {"B 2, gamma oblique", "B 2", kGammaOblique, 1, "B 1 1 2", 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    read_cryst1(c.cell, c.group);
    EXPECT_EQ(crdinf.cr_sett, c.sett);
    EXPECT_EQ(crst_crd.cs_spgr, std::string_view(c.spgr));
    EXPECT_EQ(crst_crd.cs_nsym, c.nsym);
  }
}

TEST(PdbCrystalRecords, RhombohedralNameOnHexagonalAxesBecomesH) {
  read_cryst1("   52.300   52.300   61.200  90.00  90.00 120.00", "R 3");
  EXPECT_EQ(crdinf.cr_sett, 2);
  EXPECT_EQ(crst_crd.cs_spgr, std::string_view("H 3"));
  EXPECT_EQ(crst_crd.cs_nsym, 9);
}

// Groups 146 and 155 given by number are on hexagonal axes (setting 2) when
// gamma is 120 degrees, on rhombohedral axes (setting 1) otherwise.
TEST(PdbCrystalRecords, RhombohedralGroupNumbersTakeTheirSettingFromGamma) {
  const std::string hexagonal = "   52.300   52.300   61.200  90.00  90.00 120.00";
  const std::string rhombohedral = "   52.300   52.300   52.300  80.00  80.00  80.00";
  const struct {
    const char* name;
    const char* group;
    const std::string& cell;
    int32_t sett;
  } cases[] = {
      {"146 hexagonal", "146", hexagonal, 2},
      {"146 rhombohedral", "146", rhombohedral, 1},
      {"155 hexagonal", "155", hexagonal, 2},
      {"155 rhombohedral", "155", rhombohedral, 1},
      {"147 hexagonal", "147", hexagonal, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    read_cryst1(c.cell, c.group);
    EXPECT_EQ(crst_crd.cs_nspgr, std::atoi(c.group));
    EXPECT_EQ(crdinf.cr_sett, c.sett);
    EXPECT_EQ(crst_crd.cs_sett, c.sett);
  }
}

TEST(PdbCrystalRecords, MonoclinicNumberWithRightGammaTakesTheSecondSetting) {
  read_cryst1(kOrthoCell, "4");
  EXPECT_EQ(crdinf.cr_nspgr, 4);
  EXPECT_EQ(crdinf.cr_sett, 2);
}

TEST(PdbCrystalRecords, CallersGroupNumberOverridesTheRecord) {
  read_cryst1(kOrthoCell, "P 1", 19);
  EXPECT_EQ(crst_crd.cs_nspgr, 19);
  EXPECT_EQ(crst_crd.cs_nsym, 4);
}

TEST(PdbCrystalRecords, ScaleRowsAreStoredAsTheyCome) {
  sttcrec.st_scale_flag = 0;
  crst_pdb.cs_scale(1, 1) = 7.0f;
  rdscale_("SCALE2      0.000000  0.017211  0.000000        0.50000");
  EXPECT_FLOAT_EQ(crst_pdb.cs_scale(2, 2), 0.017211f);
  EXPECT_FLOAT_EQ(crst_pdb.cs_u(2), 0.5f);
  EXPECT_FLOAT_EQ(crst_pdb.cs_scale(1, 1), 7.0f);
  EXPECT_EQ(sttcrec.st_scale_flag, 1);
}

// A cell or SCALE field that holds no number stops the read, naming the
// record, its line, the field and its text, and nothing of the record is
// stored; a blank field reads as 0 (a blank cell length is a wrong cell,
// the default cube).
TEST(PdbCrystalRecords, FieldThatIsNoNumberIsRefusedWithNothingStored) {
  const std::string cell = "CRYST1   52.300   58.100   61.200  90.00  90.00  90.00 P 1";
  const std::string scale = "SCALE1      0.019120  0.000000  0.000000        0.00000";
  const auto with = [](std::string l, int column, const char* text) {
    return l.replace(static_cast<std::size_t>(column - 1), std::strlen(text), text);
  };
  const struct {
    const char* label;
    std::string line;
    const char* error;  // "" when the record is read
  } cases[] = {
      {"cell length a of letters", with(cell, 7, "      abc"), " a \"abc\""},
      {"cell length c with two points", with(cell, 25, "   61.2.0"), " c \"61.2.0\""},
      {"angle gamma of letters", with(cell, 48, "  9x.00"), " gamma \"9x.00\""},
      {"cell length b blank", with(cell, 16, "         "), ""},
      {"cell read whole", cell, ""},
      {"S12 of letters", with(scale, 21, "       abc"), " S12 \"abc\""},
      {"S33 of letters",
       with("SCALE3      0.000000  0.000000  0.016340        0.00000", 31, "  0.0163x0"),
       " S33 \"0.0163x0\""},
      {"U2 of letters",
       with("SCALE2      0.000000  0.017212  0.000000        0.00000", 46, "       nan"),
       " U2 \"nan\""},
      {"SCALE1 read whole", scale, ""},
  };
  setenv("SYMINFO", ORB_DATA_DIR "/syminfo.lib", 1);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const bool cryst = c.line.compare(0, 6, "CRYST1") == 0;
    sttcrec.st_nline = 7;
    sttcrec.st_cell_flag = 5;
    sttcrec.st_scale_flag = 0;
    sttcrec.st_scale_rows = 0;
    crdinf.cr_cell(3) = -3.0f;
    crst_pdb.cs_scale(1, 1) = crst_pdb.cs_scale(2, 3) = crst_pdb.cs_scale(3, 3) = -3.0f;
    int32_t status = -1;
    const std::string out =
        captured([&] { status = cryst ? rdcryst1_(c.line, 0) : rdscale_(c.line); });
    const bool refused = *c.error != '\0';
    EXPECT_EQ(status, refused ? 1 : 0);
    if (refused) {
      EXPECT_EQ(out, "  ERROR: wrong number in PDB " + c.line.substr(0, 6) +
                         " record, line 7:" + c.error + "\n " + c.line + "\n");
      EXPECT_EQ(sttcrec.st_cell_flag, 5);
      EXPECT_FLOAT_EQ(crdinf.cr_cell(3), -3.0f);
      EXPECT_EQ(sttcrec.st_scale_flag, 0);
      EXPECT_EQ(sttcrec.st_scale_rows, 0);
      EXPECT_FLOAT_EQ(crst_pdb.cs_scale(1, 1) + crst_pdb.cs_scale(2, 3) + crst_pdb.cs_scale(3, 3),
                      -9.0f);
    } else if (cryst) {
      EXPECT_EQ(sttcrec.st_cell_flag, c.line == cell ? 1 : -1);
      EXPECT_FLOAT_EQ(crdinf.cr_cell(3), c.line == cell ? 61.2f : 100.0f);
    } else {
      EXPECT_FLOAT_EQ(crst_pdb.cs_scale(1, 1), 0.01912f);
      EXPECT_EQ(sttcrec.st_scale_rows, 1);
    }
  }
}

TEST(PdbCrystalRecords, NcsOperators) {
  crst_crd.cs_ncs = 0;
  rdmtrix_("MTRIX1   1  1.000000  0.000000  0.000000        0.00000    1");
  EXPECT_EQ(crst_crd.cs_ncs, 0);
  rdmtrix_("MTRIX3   2  0.000000  0.000000  1.000000        3.00000");
  EXPECT_EQ(crst_crd.cs_ncs, 2);
  EXPECT_FLOAT_EQ(crst_crd.cs_m_ncs(3, 3, 2), 1.0f);
  EXPECT_FLOAT_EQ(crst_crd.cs_v_ncs(3, 2), 3.0f);
  const std::string out = captured([] { rdmtrix_("MTRIX1 101  1.000000  0.000000  0.000000        0.00000"); });
  EXPECT_EQ(out, "  WARNING: number of NCS operators of PDB file  >   100\n"
                 "         Change parameter MAXNCS in \"atom_com\"\n");
  EXPECT_EQ(crst_crd.cs_ncs, 2);
}

// A number that returns within the run holds the atoms of both visits, and
// a copy of the table is noted into apart from the table it was copied from.
TEST(PdbBlankChainTables, NumberReturningInTheRunKeepsEveryAtom) {
  const float a[3] = {0, 0, 0}, b[3] = {5, 0, 0}, c[3] = {10, 0, 0}, d[3] = {20, 0, 0};
  pdb::BlankChainNumbers t;
  t.note(true, "X0", "   1 ", a);
  t.note(true, "X0", "   2 ", b);
  t.note(true, "X0", "   1 ", c);
  EXPECT_TRUE(t.lies_on("   1 ", a));
  EXPECT_TRUE(t.lies_on("   1 ", c));
  EXPECT_TRUE(t.begins_further_chain("   2 ", a));
  EXPECT_FALSE(t.lies_on("   3 ", a));
  pdb::BlankChainNumbers copy = t;
  copy.note(true, "X0", "   1 ", d);
  EXPECT_TRUE(copy.lies_on("   1 ", d));
  EXPECT_FALSE(t.lies_on("   1 ", d));
  t.note(true, "X1", "   1 ", d);  // another key: the run begins anew
  EXPECT_FALSE(t.lies_on("   1 ", a));
}

// A run of thousands of numbers (a box's waters), a number wider than the
// five columns and the run begun anew after it: each number is held at its
// own atoms only, and none of the run before.
TEST(PdbBlankChainTables, LongRunHoldsEachNumberAtItsAtoms) {
  pdb::BlankChainNumbers t;
  const auto at = [](int i) { return std::array<float, 3>{10.0f * i, 0, 0}; };
  const auto number = [](int i) {
    char s[8];
    std::snprintf(s, sizeof s, "%5d", i);
    return std::string(s);
  };
  for (int round = 0; round < 2; ++round) {
    const std::string key = round == 0 ? "X0" : "X1";
    for (int i = 0; i < 3000; ++i) t.note(true, key, number(i), at(i).data());
    t.note(true, key, "123456789", at(3001).data());
    for (int i = 0; i < 3000; i += 7) {
      EXPECT_TRUE(t.lies_on(number(i), at(i).data())) << i;
      EXPECT_TRUE(t.begins_further_chain(number(i), at(i + 1).data())) << i;
    }
    EXPECT_TRUE(t.lies_on("123456789", at(3001).data()));
    EXPECT_FALSE(t.lies_on("12345678", at(3001).data()));
    EXPECT_FALSE(t.lies_on(number(3000), at(3000).data()));
  }
  t.note(true, "X2", number(5), at(5).data());
  EXPECT_FALSE(t.lies_on(number(6), at(6).data()));
  EXPECT_FALSE(t.lies_on("123456789", at(3001).data()));
}

// A water given again is read at the number past its chain's highest,
// written as four columns hold it, below 0 as well.
TEST(PdbWaterNumbersAgain, WaterGivenAgainIsWrittenInFourColumns) {
  const struct {
    const char* given;
    const char* read;
  } rows[] = {{"  -5", "  -4"}, {"-999", "-998"}, {"   9", "  10"}, {"9998", "9999"}};
  for (const auto& r : rows) {
    pdb::WaterNumbersAgain w;
    const pdb::LaterWaterNumbers later;
    w.note(true, false, r.given);
    char number[4];
    std::memcpy(number, r.given, 4);
    EXPECT_TRUE(w.read_anew(true, number, later)) << r.given;
    EXPECT_EQ(std::string_view(number, 4), r.read) << r.given;
  }
}

// An atom name is one name however it is written (left, from column 14, or
// padded with zero bytes); the residue holds what was noted since its first.
TEST(PdbResidueAgain, NameHeldAgainLyingApartBeginsTheResidueAgain) {
  const float at[3] = {0, 0, 0}, bonded[3] = {1.5f, 0, 0}, apart[3] = {10, 0, 0};
  pdb::ResidueAgain r;
  r.atom(true, " CA ", ' ', false, at);
  r.atom(false, "CB  ", ' ', false, bonded);
  EXPECT_TRUE(r.begins_again("CA  ", ' ', false, apart));
  EXPECT_TRUE(r.begins_again(std::string_view("CA\0\0", 4), ' ', false, apart));
  EXPECT_TRUE(r.begins_again(" CB", ' ', false, apart));
  EXPECT_FALSE(r.begins_again("CG  ", ' ', false, apart)) << "a name not held";
  EXPECT_FALSE(r.begins_again("CA  ", ' ', false, bonded)) << "within a bond";
  r.atom(true, "N   ", ' ', false, apart);
  EXPECT_FALSE(r.begins_again("CA  ", ' ', false, at)) << "the residue before";
}
