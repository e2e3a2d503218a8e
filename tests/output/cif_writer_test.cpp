// The mmCIF coordinate writer piece by piece: header items and symmetry
// operator texts, the entity, connection and modification loops, and the
// atom rows with their B, element, name and column rules.
#include <cmath>
#include <string>
#include <vector>

#include "output/cif_out_atoms.h"
#include "output/cif_out_header.h"
#include "output/conn_loops.h"
#include "output/entity_loops.h"
#include "output/out_lines.h"
#include "output_fixture.h"
#include "runtime/format.h"

using outtest::file_lines;
using outtest::joined;

namespace {

class CifWriter : public outtest::Files {
 protected:
  // A one-chain, one-residue model.
  void small_model() { outtest::ModelBuilder().chain("A").residue("ALA", 1, {"N", "CA"}); }
  // The header alone (owcrd_cif_) as lines; the unit is closed.
  std::vector<std::string> header_lines(int32_t& ierr) {
    int32_t iun = 0;
    owcrd_cif_(0, iun, dir_, "head", "cif", ierr);
    rt::unit_close(iun);
    return file_lines(dir_ + "head.cif");
  }
  // The two lines of the row of crdatm, with `setup` applied first.
  std::vector<std::string> row_lines() {
    const int32_t iun = open_out("row");
    int32_t ierr = 9;
    wrcrd_cif_(0, iun, 0, -1, ierr);
    EXPECT_EQ(ierr, 0);
    return close_and_read(iun, "row");
  }
  void plain_record(const char* name) {
    crdatm.cr_iatold = 7;
    crdatm.cr_aname = name;
    crdatm.cr_aname_inp = name;
    crdatm.cr_asymb = "C";
    crdatm.cr_atype = "";
    crdatm.cr_alt = "";
    crdatm.cr_corr = "";
    crdatm.cr_btype = ".";
    crdatm.cr_b_flag = 0;
    crdatm.cr_rname = "ALA";
    crdatm.cr_pnum = "A   12 A";
    crdatm.cr_group = "A";
    crdatm.cr_occ = 1.0f;
    crdatm.cr_biso = 20.0f;
    crdatm.cr_mult_factor = 1;
    for (int k = 1; k <= 3; ++k) crdatm.cr_xyz(k) = static_cast<float>(k);
    crdstr.st_chem = "CH1";
  }
  std::string symop(const float m[9], const float v[3]) {
    for (int k = 1; k <= 3; ++k) {
      crst_crd.cs_v_cs(k, 1) = v[k - 1];
      for (int j = 1; j <= 3; ++j) crst_crd.cs_m_cs(k, j, 1) = m[(k - 1) * 3 + j - 1];
    }
    return symop_text(1);
  }
};

bool has_line(const std::vector<std::string>& lines, const std::string& l) {
  for (const std::string& x : lines)
    if (x == l) return true;
  return false;
}

int index_of(const std::vector<std::string>& lines, const std::string& l) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i] == l) return static_cast<int>(i);
  return -1;
}

}  // namespace

TEST_F(CifWriter, BlankEntryCodeWritesHyphens) {
  small_model();
  crst_pdb.cs_cd_pdb = "";
  crst_pdb.cs_name_pdb = "";
  crst_pdb.cs_title = "";
  int32_t ierr = 9;
  const std::vector<std::string> l = header_lines(ierr);
  EXPECT_EQ(ierr, 0);
  ASSERT_GE(l.size(), 8u);
  EXPECT_EQ(l[0], "data_structure_-");
  EXPECT_EQ(l[1], "_entry.id  -");
  EXPECT_EQ(l[2], "_database_2.code_PDB  -");
  EXPECT_EQ(l[3], "_struct_keywords.text  '?'");
  EXPECT_EQ(l[4], "_struct.title  ''");
  EXPECT_TRUE(has_line(l, "_cell.entry  -"));
  EXPECT_TRUE(has_line(l, "_symmetry.entry.id  -"));
  EXPECT_EQ(crst_pdb.cs_cd_pdb, "-");
  EXPECT_EQ(crst_pdb.cs_name_pdb, "?");
}

// Only a date of the PDB form becomes a whole date; anything else would
// come out partial, with blanks that split the value.
TEST_F(CifWriter, DateNotInPdbFormIsWrittenUnknown) {
  struct Case {
    const char *label, *date, *line;
  };
  const Case cases[] = {
      {"a PDB date", "27-MAR-98", "_audit.creation_date  1998-03-27"},
      {"no date read", "", "_audit.creation_date  XXXX-XX-XX"},
      {"the archive's form cut to nine", "1998-03-2", "_audit.creation_date  XXXX-XX-XX"},
      {"a day without its zero", " 7-MAR-98", "_audit.creation_date  XXXX-XX-XX"},
  };
  small_model();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    crst_pdb.cs_date_pdb = c.date;
    int32_t ierr = 9;
    const std::vector<std::string> l = header_lines(ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_TRUE(has_line(l, c.line));
  }
}

// Values with a blank inside stay one value each; the data block name,
// which cannot be quoted, takes '_' for the blank.
TEST_F(CifWriter, HeaderValuesWithBlanksAreQuoted) {
  small_model();
  crst_pdb.cs_cd_pdb = "AB CD";
  asym_part.group_id(1) = "A B";
  int32_t ierr = 9;
  const std::vector<std::string> l = header_lines(ierr);
  EXPECT_EQ(ierr, 0);
  ASSERT_GE(l.size(), 4u);
  EXPECT_EQ(l[0], "data_structure_AB_CD");
  EXPECT_EQ(l[1], "_entry.id  'AB CD'");
  EXPECT_EQ(l[2], "_database_2.code_PDB  'AB CD'");
  EXPECT_EQ(l[3], "_database_2.code_NDB     'AB CD'");
  EXPECT_TRUE(has_line(l, "_cell.entry  'AB CD'"));
  EXPECT_TRUE(has_line(l, "_symmetry.entry.id  'AB CD'"));
  EXPECT_TRUE(has_line(l, "'A B'  'A B'"));
}

// Title and keywords are written whole: quoted while the line stays within
// 78 characters, a text field of one line past that, however long.
TEST_F(CifWriter, LongTitleIsWrittenWhole) {
  struct Case {
    const char* label;
    std::string keywords, title;
    std::vector<std::string> lines;  // from the keywords item on
  };
  const std::string t61(61, 'T'), t62(62, 'T'), k53(53, 'K'), k54(54, 'K'), tmax(MAXTITLE, 'T');
  const Case cases[] = {
      {"both just fit their lines", k53, t61,
       {"_struct_keywords.text  '" + k53 + "'", "_struct.title  '" + t61 + "'"}},
      {"one character more each", k54, t62,
       {"_struct_keywords.text", ";" + k54, ";", "_struct.title", ";" + t62, ";"}},
      {"a title as long as its store", "K", tmax,
       {"_struct_keywords.text  'K'", "_struct.title", ";" + tmax, ";"}},
      {"apostrophes kept inside quotes", "ALZHEIMER'S", "3D STRUCTURE OF ALZHEIMER'S FIBRILS",
       {"_struct_keywords.text  'ALZHEIMER'S'", "_struct.title  '3D STRUCTURE OF ALZHEIMER'S FIBRILS'"}},
  };
  small_model();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    crst_pdb.cs_cd_pdb = "1ABC";
    crst_pdb.cs_name_pdb = c.keywords;
    crst_pdb.cs_title = c.title;
    int32_t ierr = 9;
    const std::vector<std::string> l = header_lines(ierr);
    EXPECT_EQ(ierr, 0);
    ASSERT_GE(l.size(), 3 + c.lines.size());
    EXPECT_EQ(std::vector<std::string>(l.begin() + 3, l.begin() + 3 + c.lines.size()), c.lines);
  }
}

// An apostrophe before a blank would close a quoted value early.
TEST_F(CifWriter, TitleWithQuoteBeforeBlankGoesIntoTextField) {
  small_model();
  crst_pdb.cs_title = "5' END OF RNA";
  int32_t ierr = 9;
  const std::vector<std::string> l = header_lines(ierr);
  const int at = index_of(l, "_struct.title");
  ASSERT_GE(at, 0);
  EXPECT_EQ(l[at + 1], ";5' END OF RNA");
  EXPECT_EQ(l[at + 2], ";");
}

TEST_F(CifWriter, OperatorTexts) {
  const float id[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  const float mxy[9] = {-1, 0, 0, 0, 1, 0, 0, 0, -1};
  const float xmy[9] = {1, -1, 0, 0, 1, 0, 0, 0, 1};
  const float three[9] = {3, 0, 0, 0, 1, 0, 0, 0, 1};
  struct Case {
    const char* what;
    const float* m;
    float v[3];
    const char* want;
  };
  const Case cases[] = {
      {"two-fold with half translation", mxy, {0, 0.5f, 0}, "-X,1/2+Y,-Z,"},
      {"eighth and whole cell add nothing", id, {0.125f, 1.0f, 0}, "+X,+Y,+Z,"},
      {"negative half ahead of the terms", id, {-0.5f, 0, 0}, "-1/2+X,+Y,+Z,"},
      {"two terms in one row", xmy, {0, 0, 0}, "+X-Y,+Y,+Z,"},
      {"multiplier digit", three, {0, 0, 0.75f}, "+3X,+Y,3/4+Z,"},
      {"sixths", id, {1.0f / 6.0f, 2.0f / 3.0f, 5.0f / 6.0f}, "1/6+X,2/3+Y,5/6+Z,"},
  };
  for (const Case& c : cases) EXPECT_EQ(symop(c.m, c.v), c.want) << c.what;
}

TEST_F(CifWriter, EntitySequenceRowsFollowTreeWithTermini) {
  cif_types.conn_type(2) = "TRANS";
  cif_entity_list_t& e = cif_entity_list;
  cif_ent_poly_seq_t& s = cif_ent_poly_seq;
  e.n_chn_ent = 2;
  e.ent_chain_id(1) = "AA";
  e.ent_nres_chain(1) = 2;
  e.ent_ires_first(1) = 1;
  // Stored in reverse: the tree starts at position 2.
  e.ent_ires_start_tree(1) = 2;
  e.ent_ires_end_tree(1) = 1;
  e.ent_term_s_type(1) = "NH3";
  e.ent_term_f_type(1) = "COO";
  s.ent_res_name(1) = "GLY";
  s.ent_res_auth_num(1) = "   2 ";
  s.ent_ires_back(1) = 2;
  s.ent_iconn_type(1) = 2;
  s.ent_res_name(2) = "ALA";
  s.ent_res_auth_num(2) = "   1 ";
  s.ent_ires_back(2) = 0;
  s.ent_ires_forw(2) = 1;
  s.ent_iconn_type(2) = 1;
  e.ent_chain_id(2) = "BB";
  e.ent_nres_chain(2) = 1;
  e.ent_ires_first(2) = 3;
  e.ent_ires_start_tree(2) = e.ent_ires_end_tree(2) = 3;
  e.ent_term_s_type(2) = "NH3";
  e.ent_term_f_type(2) = "COO";
  s.ent_res_name(3) = "HEM";
  s.ent_res_auth_num(3) = " 100 ";
  s.ent_ires_back(3) = 0;
  s.ent_iconn_type(3) = 0;
  const int32_t iun = open_out("seq");
  int32_t ifirst = 0, ierr = 9;
  wrt_entity_poly_(0, iun, ifirst, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(ifirst, 1);
  const std::vector<std::string> l = close_and_read(iun, "seq");
  ASSERT_EQ(l.size(), 15u);
  EXPECT_EQ(l[1], "## ENTITY_POLY_SEQ ##");
  EXPECT_EQ(l[10], "#");
  EXPECT_EQ(l[11], " ALA         1  AA   .        n/a   NH3");
  EXPECT_EQ(l[12], " GLY         2  AA   TRANS       1  COO");
  EXPECT_EQ(l[13], "#");
  EXPECT_EQ(l[14], " HEM       100  BB   .        n/a   COO");
}

TEST_F(CifWriter, EntityTreeThatComesBackIsAnError) {
  cif_entity_list_t& e = cif_entity_list;
  e.n_chn_ent = 1;
  e.ent_nres_chain(1) = 3;
  e.ent_ires_first(1) = 1;
  e.ent_ires_start_tree(1) = 1;
  e.ent_ires_end_tree(1) = 3;
  cif_ent_poly_seq.ent_ires_forw(1) = 2;
  cif_ent_poly_seq.ent_ires_forw(2) = 1;  // never reaches 3
  const int32_t iun = open_out("loop");
  int32_t ifirst = 0, ierr = 9;
  const std::string out = captured([&] { wrt_entity_poly_(0, iun, ifirst, ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(out, "  ERROR: wrong tree structure .....\n");
}

TEST_F(CifWriter, ConnectionRows) {
  outtest::ModelBuilder().chain("A").residue("CYS", 3, {"SG"}).residue("CYS", 40, {"SG"});
  outtest::link_row(1, "SS", "C", "O5'", "B", "");
  outtest::link_row(2, "gap", "C", "O5'", "B", "");
  outtest::link_row(3, "TRANS", "E", "O5'", "B", "");
  link_inf_t& k = link_inf;
  k.ln_used(1) = "S";  // read with its alternate, which it keeps
  k.ln_dist(1) = 2.05f;
  k.ln_dist(2) = 12000.0f;
  k.ln_2ires(2) = 0;
  const int32_t iun = open_out("conn");
  int32_t ifirst = 0, ierr = 9;
  wrt_link_(0, iun, ifirst, ierr);
  EXPECT_EQ(ierr, 0);
  // A second call writes rows only, numbered from 1 again.
  wrt_link_(0, iun, ifirst, ierr);
  const std::vector<std::string> l = close_and_read(iun, "conn");
  ASSERT_EQ(l.size(), 4u + 19u + 8u);
  EXPECT_EQ(l[18], "_struct_conn.dist");
  EXPECT_EQ(l[19], "_struct_conn.ptnr1_auth_asym_id");
  EXPECT_EQ(l[20], "_struct_conn.ptnr2_auth_asym_id");
  EXPECT_EQ(l[21], "_struct_conn.pdbx_ptnr1_PDB_ins_code");
  EXPECT_EQ(l[22], "_struct_conn.pdbx_ptnr2_PDB_ins_code");
  EXPECT_EQ(l[23], "1   SS       SG     .    3 CYS      A    1_555    'O5''  B   40 CYS      A");
  EXPECT_EQ(l[24], "     .               2.050 A    A    . .");
  EXPECT_EQ(l[25], "2   gap      .      .    3 CYS      A    1_555    .      . .    .        .");
  EXPECT_EQ(l[26], "     .            .        A    .    . .");
  EXPECT_EQ(l[27].substr(0, 8), "1   SS  ");
}

// A row not marked special is restrained for every conformer of its atoms:
// it is written without alternates, whatever conformer found it.
TEST_F(CifWriter, ConnectionRowOfEveryConformerHasNoAlternate) {
  outtest::ModelBuilder().chain("A").residue("CYS", 3, {"SG"}).residue("CYS", 40, {"SG"});
  outtest::link_row(1, "SS", "C", "SG", "B", "");
  link_inf.ln_alt1(1) = "A";
  link_inf.ln_used(1) = ".";
  const int32_t iun = open_out("conn");
  int32_t ifirst = 1, ierr = 9;
  wrt_link_(0, iun, ifirst, ierr);
  EXPECT_EQ(ierr, 0);
  const std::vector<std::string> l = close_and_read(iun, "conn");
  ASSERT_EQ(l.size(), 2u);
  EXPECT_EQ(l[0], "1   SS       SG     .    3 CYS      A    1_555    SG     .   40 CYS      A");
}

TEST_F(CifWriter, ModificationRows) {
  outtest::ModelBuilder().chain("B").residue("LYS", 7, {"NZ"});
  mod_inf.mod_n = 2;
  mod_inf.mod_used(1) = "Y";
  mod_inf.mod_used(2) = "N";
  mod_inf.mod_id(2) = "NH3";
  mod_inf.mod_ires(2) = 1;
  mod_inf.mod_ichn(2) = 1;
  mod_inf.mod_rnam(2) = "LYS";
  mod_inf.mod_rnam_new(2) = "";
  const int32_t iun = open_out("mod");
  int32_t ifirst = 0, ierr = 9;
  wrt_mod_(0, iun, ifirst, ierr);
  const std::vector<std::string> l = close_and_read(iun, "mod");
  ASSERT_EQ(l.size(), 10u);
  EXPECT_EQ(l[1], "## STRUCT_ASYM_MOD ##");
  EXPECT_EQ(l[9], "  NH3          7   LYS       .         B");
}

TEST_F(CifWriter, RowColumnsAndBRules) {
  plain_record("CA");
  crdatm.cr_biso = 1234.5f;
  crdatm.cr_occ = 120.0f;
  const std::vector<std::string> l = row_lines();
  ASSERT_EQ(l.size(), 2u);
  EXPECT_EQ(l[0],
            "     7 CA     . ALA      A      12 .    1.000    2.000    3.000 99.99 999.99 C    .");
  EXPECT_EQ(l[1], "       CA     CH1");
  EXPECT_FLOAT_EQ(crdatm.cr_biso, 999.99f);
}

TEST(CifAtomRows, EquivalentBFromU) {
  float b = 0;
  const float u[6] = {0.1f, 0.2f, 0.3f, 0, 0, 0};
  calc_b_equiv_(u, b);
  EXPECT_EQ(rt::fmt("(F6.2)", b), " 15.79");
}

TEST_F(CifWriter, RowLineTwoVariants) {
  plain_record("CA");
  com_out_cif.out_cif_mult = 0;
  crdatm.cr_mult_factor = 3;
  EXPECT_EQ(row_lines()[1], "       CA     CH1    3 .");
  plain_record("CA");
  crdatm.cr_mult_factor = 100;
  crdatm.cr_btype = "A";
  EXPECT_EQ(row_lines()[1], "CA     CH1   .  .    . . . . . .");
  com_out_cif.out_cif_mult = 1;
  plain_record("CA");
  crdatm.cr_btype = "A";
  crdatm.cr_b_flag = 1;
  for (int k = 1; k <= 6; ++k) crdatm.cr_anis(k) = 0.01f * k;
  EXPECT_EQ(row_lines()[1],
            "       CA     CH1      0.0100    0.0200    0.0300    0.0400    0.0500    0.0600");
}

TEST_F(CifWriter, NamesAreQuotedToReadBack) {
  struct Case {
    const char *name, *label;
  };
  const Case cases[] = {
      {"C1'", "'C1''"},  // an apostrophe inside
      {"'C1", "'C1''"},  // a leading quote moves to the end
      {"O 1", "O_1"},    // an inner blank becomes visible
      {"_A_", "'_A_'"},  // a leading underscore reads as an item name
      {"", "?"},         // no name at all
  };
  for (const Case& c : cases) {
    plain_record(c.name);
    const std::vector<std::string> l = row_lines();
    ASSERT_EQ(l.size(), 2u) << c.name;
    EXPECT_EQ(l[0].substr(7, std::string(c.label).size()), c.label) << c.name;
  }
}

// Texts of the fixed columns that a CIF reader would not take back as one
// value each: a blank element (an atom without name or element), a residue
// named "#" that would start a comment, a chain holding a blank, an
// alternate code that is a quote.  The row keeps its 13 values on line 1.
TEST_F(CifWriter, RowTextsThatWouldNotReadBackAreQuoted) {
  struct Case {
    const char* label;
    void (*set)();
    const char* line;
  };
  const Case cases[] = {
      {"blank element", [] { crdatm.cr_asymb = ""; },
       "     7 CA     . ALA      A      12 .    1.000    2.000    3.000  1.00  20.00 .    ."},
      {"residue named #", [] { crdatm.cr_rname = "#"; },
       "     7 CA     . '#'      A      12 .    1.000    2.000    3.000  1.00  20.00 C    ."},
      {"chain with a blank", [] { crdatm.cr_group = "A B"; },
       "     7 CA     . ALA      'A B'   12 .    1.000    2.000    3.000  1.00  20.00 C    ."},
      {"quote as alternate code", [] { crdatm.cr_alt = "'"; },
       "     7 CA     \"'\" ALA      A      12 .    1.000    2.000    3.000  1.00  20.00 C    ."},
      {"blank residue number", [] { crdatm.cr_pnum = "A        "; },
       "     7 CA     . ALA      A    .    .    1.000    2.000    3.000  1.00  20.00 C    ."},
      // As one value "123", residue 12 with the code 3 would read back as 123.
      {"digit insertion code", [] { crdatm.cr_pnum = "A   123"; },
       "     7 CA     . ALA      A      12 3    1.000    2.000    3.000  1.00  20.00 C    ."},
  };
  for (const Case& c : cases) {
    plain_record("CA");
    c.set();
    const std::vector<std::string> l = row_lines();
    ASSERT_EQ(l.size(), 2u) << c.label;
    EXPECT_EQ(l[0], c.line) << c.label;
  }
}

// A chemical type beginning with "_" would begin an item name.
TEST_F(CifWriter, ChemicalTypeIsWrittenAsOneValue) {
  plain_record("CA");
  crdstr.st_chem = "_";
  EXPECT_EQ(row_lines()[1].substr(0, 17), "       CA     '_'");
}

TEST(CifCell, TextsAsOneValueInTheirColumn) {
  struct Case {
    const char *label, *text;
    int width;
    const char* cell;
  };
  const Case cases[] = {
      {"plain text kept with its blanks", "  25A", 5, "  25A"},
      {"blank text", "    ", 4, ".   "},
      {"cut to its column", "ABCDEFGHIJ", 8, "ABCDEFGH"},
      {"comment character", "#", 3, "'#'"},
      {"inner blank", " A B", 4, "'A B'"},
      {"apostrophe before a blank", "A' B", 4, "\"A' B\""},
      {"apostrophe inside a word", "C1'", 4, "C1' "},
      {"item-name character", "_X", 4, "'_X'"},
      {"data block word", "DATA_1", 8, "'DATA_1'"},
      {"loop word", "loop_", 8, "'loop_' "},
      {"loop word as a prefix only", "loop_x", 8, "loop_x  "},
  };
  for (const Case& c : cases) EXPECT_EQ(output::cif_cell(c.text, c.width), c.cell) << c.label;
}

TEST_F(CifWriter, HydrogenRowDroppedWithoutHydrogens) {
  plain_record("H1");
  crdinf.cr_hflag = "N";
  crdatm.cr_asymb = "H";
  crdatm.cr_atype = "M";
  EXPECT_TRUE(row_lines().empty());
}

TEST_F(CifWriter, ElementFromScatteringTypeOrName) {
  struct Case {
    const char* label;
    const char* name;
    int32_t res_type;
    const char* want;
  };
  const Case cases[] = {
      {"amino-acid CA is carbon", "CA", 3, "C"},
      {"CA elsewhere is calcium", "CA", 1, "CA"},
      {"longer name of HG is hydrogen", "HG21", 3, "H"},
      {"HG alone is mercury", "HG", 1, "HG"},
      {"OG is no element: its first letter", "OG1", 3, "O"},
      {"amino-acid NE2 keeps two letters", "NE2", 3, "NE"},
  };
  for (const Case& c : cases) {
    SetUp();
    outtest::ModelBuilder().chain("A").residue("XXX", 1, {c.name}, c.res_type);
    int32_t ierr = 9;
    captured([&] { write_atoms_(0, dir_, "el", "cif", ierr); });
    ASSERT_EQ(ierr, 0) << c.label;
    const std::vector<std::string> l = file_lines(dir_ + "el.cif");
    EXPECT_EQ(rt::trim_right(l[l.size() - 2].substr(77, 4)), c.want) << c.label;
    TearDown();
  }
  SetUp();
  small_model();
  crst_crd.cs_nsfatm = 1;
  crst_crd.cs_element(1) = "?";
  crst_crd.cs_atype(1) = "SE";
  atom_inf.id_sf(1) = 1;
  int32_t ierr = 9;
  captured([&] { write_atoms_(0, dir_, "sf", "cif", ierr); });
  EXPECT_EQ(file_lines(dir_ + "sf.cif")[file_lines(dir_ + "sf.cif").size() - 4].substr(77, 2),
            "SE");
}

// All four characters count, so "SE" is not the type whose element is "?".
TEST_F(CifWriter, ScatteringTypeOfElement) {
  crst_crd.cs_nsfatm = 1;
  crst_crd.cs_element(1) = "?";
  int32_t insf = 0, ierr = 9;
  get_sf_id_(0, "?", insf, ierr);
  EXPECT_EQ(insf, 1);
  get_sf_id_(0, "SE", insf, ierr);
  EXPECT_EQ(ierr, 1);
}

TEST_F(CifWriter, WholeModelEndsWithCountLine) {
  small_model();
  int32_t ierr = 9;
  const std::string out = captured([&] { write_atoms_(0, dir_, "m", "cif", ierr); });
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(out, "  Number of atoms to write :       2\n");
  EXPECT_FALSE(rt::unit_is_open(crdinf.cro_iun));
}

TEST_F(CifWriter, ChainTreeThatComesBackIsAnError) {
  outtest::ModelBuilder()
      .chain("A")
      .residue("ALA", 1, {"N"})
      .residue("ALA", 2, {"N"})
      .residue("ALA", 3, {"N"});
  resid_inf.ires_forw(2) = 1;  // 1 -> 2 -> 1 ...
  int32_t ierr = 9;
  const std::string out = captured([&] { write_atoms_(0, dir_, "m", "cif", ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(out, "  ERROR: wrong tree structure ...../write_atoms/\n");
}
