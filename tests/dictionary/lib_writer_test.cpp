// The monomer-library writers: the title block and lists, the description
// blocks of monomers, links and modifications, entry choice by mode word,
// and files that cannot be written.
#include "dictionary/lib_writer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "dictionary/lib_entry_writer.h"
#include "foundation/atom_com.h"
#include "foundation/file_open.h"
#include "lib_write_fixture.h"

namespace {

using libwrite::file_lines;
using Lines = std::vector<std::string>;

class LibWriter : public testing::Test {
 protected:
  void SetUp() override {
    libwrite::clear_all();
    libwrite::name_outputs(dir);
  }
  void TearDown() override { rt::close_all_units(); }

  // Runs the mode words in turn; the status of the last.
  int32_t write(std::initializer_list<const char*> modes, std::string* out = nullptr) {
    int32_t ierr = -7;
    const std::string text = captured([&] {
      for (const char* m : modes) wrt_lib_(0, m, 0, ierr);
    });
    if (out) *out = text;
    return ierr;
  }
  Lines lines() const { return file_lines(dir.file("new.lib")); }
  // The lines from the first that equals `from`, `n` of them.
  Lines section(const std::string& from, std::size_t n) const {
    const Lines all = lines();
    auto it = std::find(all.begin(), all.end(), from);
    if (it == all.end()) return {};
    const std::size_t k = static_cast<std::size_t>(it - all.begin());
    return Lines(it, all.begin() + static_cast<long>(std::min(all.size(), k + n)));
  }
  bool has(const std::string& line) const {
    const Lines all = lines();
    return std::find(all.begin(), all.end(), line) != all.end();
  }
  // A link of the list, without rows.
  int add_link(const char* id, const char* fuse, const char* name) {
    const int l = ++r.lll_nlink;
    r.lll_lname(l) = id;
    r.lll_fuse(l) = fuse;
    r.lll_detail(l) = name;
    r.lll_mon1(l) = r.lll_mon2(l) = r.lll_mod1(l) = r.lll_mod2(l) = ".";
    r.lll_type1(l) = r.lll_type2(l) = "peptide";
    r.lll_ibond(l) = r.lll_ithet(l) = r.lll_itors(l) = r.lll_ichir(l) = r.lll_iplan(l) = 0;
    return l;
  }
  void add_link_bond(int l, const char* a1, const char* a2, float val, float dev) {
    const int j = ++r.llb_nbond;
    if (r.lll_ibond(l) == 0) r.lll_ibond(l) = j;
    r.llb_lname(j) = r.lll_lname(l);
    r.llb_f1atm(j) = 1;
    r.llb_1atm(j) = a1;
    r.llb_f2atm(j) = 2;
    r.llb_2atm(j) = a2;
    r.llb_type(j) = "single";
    r.llb_val(j) = val;
    r.llb_dev(j) = dev;
  }

  TempDir dir;
  r_scratch_t& r = r_scratch;
};

}  // namespace

TEST_F(LibWriter, TitleBlockAndMonomerList) {
  descr::alanine_entry("ALA", "C");
  r.lml_mname2(1) = "ALA";
  r.lml_type(1) = "L-peptide";
  ASSERT_EQ(write({"TITC", "STOP"}), 0);
  EXPECT_EQ(lines(), (Lines{
                         "global_",
                         "_lib_name         mon_test",
                         "_lib_version      1.0",
                         "_lib_update       2026-12-07",
                         "# ------------------------------------------------",
                         "#",
                         "# ---   LIST OF NEW MONOMERS ---",
                         "#",
                         "data_comp_list",
                         "loop_",
                         "_chem_comp.id",
                         "_chem_comp.three_letter_code",
                         "_chem_comp.name",
                         "_chem_comp.group",
                         "_chem_comp.number_atoms_all",
                         "_chem_comp.number_atoms_nh",
                         "_chem_comp.desc_level",
                         "ALA      ALA 'ALANINE                             ' L-peptide"
                         "           6   6 .",
                     }));
}

TEST_F(LibWriter, AtomCountsLeaveOutHydrogenAndDeuterium) {
  const int l = descr::alanine_entry("ALA", "C");
  r.lma_symb(r.lml_iatom(l) + 3) = "H";
  r.lma_symb(r.lml_iatom(l) + 4) = "D";
  ASSERT_EQ(write({"TITC", "STOP"}), 0);
  EXPECT_EQ(lines().back(), "ALA      .   'ALANINE                             ' .   "
                            "                6   4 .");
}

TEST_F(LibWriter, MonomerNameLongerThanTheColumnIsWrittenWhole) {
  const int l = descr::alanine_entry("ALA", "C");
  r.lml_name(l) = "N-[(2S)-2-AMINOPROPANOYL]-ALANINE METHYL ESTER";
  ASSERT_EQ(write({"TITC", "STOP"}), 0);
  EXPECT_EQ(lines().back(), "ALA      .   'N-[(2S)-2-AMINOPROPANOYL]-ALANINE METHYL ESTER' "
                            ".                   6   6 .");
}

TEST_F(LibWriter, MonomerBlockRowsOfTheLibraryForm) {
  descr::alanine_entry("ALA", "C");
  ASSERT_EQ(write({"TITC", "MONC", "STOP"}), 0);
  EXPECT_EQ(section("data_comp_ALA", 6), (Lines{"data_comp_ALA", "#", "loop_",
                                                "_chem_comp_atom.comp_id", "_chem_comp_atom.atom_id",
                                                "_chem_comp_atom.type_symbol"}));
  for (const char* row : {
           " ALA           OXT    O    OC        0.000      0.661    0.439   -1.742",
           " ALA      N      n/a    CA     START",
           " ALA      C      CA     .      END",
           " ALA      C      OXT       single      1.342    0.020",
           " ALA      N      CA     C       111.200    3.000",
       })
    EXPECT_TRUE(has(row)) << row;
  EXPECT_EQ(lines().back(), "# ------------------------------------------------------");
}
TEST_F(LibWriter, EndOfTreeStaysInTheDictionary) {
  const int l = descr::alanine_entry("ALA", "C");
  const int c = r.lml_iatom(l) + 2;
  ASSERT_EQ(r.lma_forw(c), "END");
  ASSERT_EQ(write({"TITC", "MONC", "MONC", "STOP"}), 0);
  EXPECT_EQ(r.lma_forw(c), "END");
  const Lines all = lines();
  EXPECT_EQ(std::count(all.begin(), all.end(), " ALA      C      CA     .      END"), 2);
}

TEST_F(LibWriter, RetiredEntryWritesNoRows) {
  descr::alanine_entry("ALA", "C");
  descr::alanine_entry("ALA", "C");  // retires the first entry as "???"
  ASSERT_EQ(r.lml_mname(1), "???");
  r.lml_fuse(1) = "C";
  r.lml_iatom(1) = 1;  // pointers kept, as a stale entry might have them
  ASSERT_EQ(write({"TITC", "MONC", "STOP"}), 0);
  const Lines all = lines();
  EXPECT_EQ(std::count(all.begin(), all.end(), "_chem_comp_atom.comp_id"), 1);
  EXPECT_EQ(std::count(all.begin(), all.end(), "data_comp_ALA"), 1);
  for (const std::string& line : all) EXPECT_NE(line.substr(0, 2), " ?") << line;
}

TEST_F(LibWriter, TorsionAnglesFoldedAndPeriodZeroHasNoDeviation) {
  struct Case {
    const char* label;
    float val, dev;
    int prd;
    const char* row;
  };
  const Case cases[] = {
      {"above 180 folds down", 190.0f, 15.0f, 3,
       " ALA      chi1     N      CA     CB     C       -170.000   15.000   3"},
      {"-180 becomes 180", -180.0f, 15.0f, 3,
       " ALA      chi1     N      CA     CB     C        180.000   15.000   3"},
      {"period 0 writes deviation 0", 60.0f, 15.0f, 0,
       " ALA      chi1     N      CA     CB     C         60.000    0.000   0"},
      {"missing deviation is 20", 60.0f, 0.0f, 2,
       " ALA      chi1     N      CA     CB     C         60.000   20.000   2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    libwrite::clear_all();
    descr::alanine_l1();
    const int t = descr::add_l1_tors("N", "CA", "CB", "C", c.val);
    r.l1t_dev(t) = c.dev;
    r.l1t_prd(t) = c.prd;
    descr::store_l1("ALA", "C");
    ASSERT_EQ(write({"TITC", "MONC", "STOP"}), 0);
    EXPECT_TRUE(has(c.row));
  }
}

TEST_F(LibWriter, ChiralIdsCountPerMonomerAndCrossSignsAddALine) {
  descr::alanine_l1();
  descr::add_l1_chir("CA", "N", "C", "CB", "positiv");
  const int k = descr::add_l1_chir("C", "CA", "O", "OXT", "cross4");
  r.l1c_5atm(k) = "N";
  descr::store_l1("ALA", "C");
  ASSERT_EQ(write({"TITC", "MONC", "STOP"}), 0);
  EXPECT_EQ(section("_chem_comp_chir.atom_id_8", 5),
            (Lines{"_chem_comp_chir.atom_id_8",
                   " ALA      chir_01  CA     N      C      CB        positiv",
                   "                   .      .      .      .      .",
                   " ALA      chir_02  C      CA     O      OXT       cross4",
                   "                   N      .      .      .      ."}));
}
TEST_F(LibWriter, MinimalDescriptionHasNoTreeAndBondsWithoutValues) {
  const int l = descr::alanine_entry("ALA", "C");
  r.lml_prsnt(l) = "M";
  ASSERT_EQ(write({"TITC", "MONC", "STOP"}), 0);
  EXPECT_FALSE(has("_chem_comp_tree.comp_id"));
  EXPECT_FALSE(has("_chem_comp_bond.value_dist"));
  EXPECT_TRUE(has(" ALA      N      CA        single"));
}

TEST_F(LibWriter, FourthLetterChoosesEntriesByFuseFlag) {
  struct Case {
    const char* mode;
    Lines codes;
  };
  const Case cases[] = {
      {"TITC", {"AC"}},
      {"TITA", {"AN", "AY", "AC", "AQ"}},
      {"TITL", {"AY", "AC"}},
      {"TITX", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    libwrite::clear_all();
    for (const char* f : {"N", "Y", "C", "?"}) {
      const int l = descr::alanine_entry((std::string("A") + (*f == '?' ? "Q" : f)).c_str());
      r.lml_fuse(l) = f;
    }
    ASSERT_EQ(write({c.mode, "STOP"}), 0);
    Lines got;
    for (const std::string& line : lines())
      if (line.find("'ALANINE") != std::string::npos) got.push_back(line.substr(0, 2));
    EXPECT_EQ(got, c.codes);
  }
}

TEST_F(LibWriter, SynonymsOfTheUserLibraryOnlyWithC) {
  descr::alanine_entry("ALA", "C");
  r.lms_nsyn = 2;
  const char* rows[2][4] = {{"HOH", "WAT", ".", "."}, {"HOH", "WAT", "O", "OW"}};
  for (int k = 1; k <= 2; ++k) {
    r.lms_mname(k) = rows[k - 1][0];
    r.lms_amname(k) = rows[k - 1][1];
    r.lms_mod(k) = ".";
    r.lms_atom(k) = rows[k - 1][2];
    r.lms_aatom(k) = rows[k - 1][3];
    r.lms_flag(k) = k == 1 ? "." : "N";
  }
  r.lms_new = 1;
  ASSERT_EQ(write({"TITC", "STOP"}), 0);
  EXPECT_FALSE(has("data_comp_synonym_list"));
  EXPECT_EQ(section("# ---   LIST OF SYNONYMS ---", 9),
            (Lines{"# ---   LIST OF SYNONYMS ---", "#", "data_comp_synonym_atom_list", "loop_",
                   "_chem_comp_synonym_atom.comp_id",
                   "_chem_comp_synonym_atom.comp_alternative_id",
                   "_chem_comp_synonym_atom.atom_id",
                   "_chem_comp_synonym_atom.atom_alternative_id",
                   "HOH         WAT      O      OW"}));
}

TEST_F(LibWriter, LinkRowsWithTheNameKeptWhole) {
  descr::alanine_entry("ALA", "Y");
  const int l = add_link("TRANS", "C", "trans peptide link to proline");
  add_link_bond(l, "O", "N", 2.250f, 0.0f);
  ASSERT_EQ(write({"TITC", "LINC", "STOP"}), 0);
  EXPECT_EQ(section("_chem_link.name", 3),
            (Lines{"_chem_link.name",
                   "TRANS    .        .        peptide  .        .        peptide",
                   " 'trans peptide link to proline'"}));
  EXPECT_TRUE(has(" TRANS    1 O       2 N         single      2.250    0.020"));
}
TEST_F(LibWriter, RepeatedLinkIdWrittenOnceWithTheFirstWrittenLink) {
  descr::alanine_entry("ALA", "Y");
  const int a = add_link("TRANS", "N", "library link");
  add_link_bond(a, "C", "N", 1.329f, 0.014f);
  const int b = add_link("TRANS", "C", "user link");
  add_link_bond(b, "C", "N", 1.335f, 0.010f);
  add_link("TRANS", "C", "second user link");
  ASSERT_EQ(write({"TITC", "LINC", "STOP"}), 0);
  const Lines all = lines();
  EXPECT_EQ(std::count(all.begin(), all.end(), "data_link_TRANS"), 1);
  EXPECT_TRUE(has(" TRANS    1 C       2 N         single      1.335    0.010"));
  EXPECT_FALSE(has(" TRANS    1 C       2 N         single      1.329    0.014"));
}

TEST_F(LibWriter, ModificationNameWithAPrimeGoesInDoubleQuotes) {
  descr::alanine_entry("ALA", "Y");
  descr::mod_begin("5*END");
  r.ldl_fuse(1) = "C";
  r.ldl_detail(1) = "5' end without phosphate";
  r.ldl_comp(1) = ".";
  r.ldl_type(1) = "RNA";
  descr::mod_tree("change", "O5*", ".", ".", "START");
  ASSERT_EQ(write({"TITC", "MODC", "STOP"}), 0);
  EXPECT_TRUE(has("5*END    \"5' end without phosphate\"" + std::string(23, ' ') + ".        RNA"));
  EXPECT_TRUE(has(" 5*END    change   O5*    n/a    .        .      START"));
}
TEST_F(LibWriter, NoMonomersWithTitaClosesTheFile) {
  std::string out;
  EXPECT_EQ(write({"TITA"}, &out), 0);
  EXPECT_EQ(out, "  Number of monomers = 0\n");
  EXPECT_EQ(libcom.lmo_iun, 0);
  EXPECT_FALSE(rt::unit_is_open(crdinf.cro3_iun));
  EXPECT_EQ(lines().size(), 4u);
}

TEST_F(LibWriter, CallsOutOfOrderAreRefused) {
  struct Case {
    const char* label;
    std::initializer_list<const char*> modes;
    int32_t icrd;
    const char* message;
  };
  const Case cases[] = {
      {"description before title", {"MONC"}, 0, "  ERR: output_lib_file isn't open..\n"},
      {"stop before title", {"STOP"}, 0, "  ERR: output_lib_file can't be close\n"},
      {"title twice", {"TITC", "TITC"}, 0, "  ERR: output_lib_file was open before\n"},
      {"negative unit", {"TITC"}, -1, "  ERR: output_CIFile isn't open.\n"},
  };
  descr::alanine_entry("ALA", "C");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    rt::close_all_units();
    libcom.lmo_iun = 0;
    int32_t ierr = 0;
    const std::string out = captured([&] {
      for (const char* m : c.modes) wrt_lib_(0, m, c.icrd, ierr);
    });
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(out, c.message);
  }
}

TEST_F(LibWriter, PathThatCannotBeOpenedEndsTheRun) {
  descr::alanine_entry("ALA", "C");
  libcom.lmo_path = dir.file("missing/");
  int32_t ierr = 0;
  std::string out;
  EXPECT_EQ(run_end_status([&] { wrt_lib_(0, "TITC", 0, ierr); }, out), 1);
  EXPECT_EQ(libcom.lmo_iun, 0);
  EXPECT_FALSE(std::filesystem::exists(dir.file("missing/new.lib")));
}

TEST_F(LibWriter, FileThatCannotTakeTheLinesIsAnError) {
  descr::alanine_entry("ALA", "C");
  libcom.lmo_path = "/dev/";
  libcom.lmo_file = "full";
  std::string out;
  EXPECT_EQ(write({"TITC", "MONC", "STOP"}, &out), 1);
  EXPECT_NE(out.find(" ERR: can't write output_lib_file"), std::string::npos);
  EXPECT_EQ(libcom.lmo_iun, 0);
}

TEST_F(LibWriter, PerEntryFormHasNoCoordinates) {
  descr::alanine_entry("ALA", "C");
  int32_t ierr = -1;
  captured([&] {
    for (const char* m : {"TITL", "MONL", "STOP"}) wrt_lib_new_(0, m, 0, ierr);
  });
  ASSERT_EQ(ierr, 0);
  EXPECT_FALSE(has("_chem_comp_atom.x"));
  EXPECT_TRUE(has(" ALA           N      N    NH1       0.000"));
}

TEST_F(LibWriter, PerEntryMinimalBondsKeepALongCode) {
  struct Case {
    const char* code;
    const char* row;
  };
  const Case cases[] = {
      {"ALA", " ALA        N      CA        single"},
      {"ABCD", " ABCD       N      CA        single"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    libwrite::clear_all();
    const int l = descr::alanine_entry(c.code, "C");
    r.lml_prsnt(l) = "M";
    int32_t ierr = -1;
    captured([&] {
      for (const char* m : {"TITL", "MONL", "STOP"}) wrt_lib_new_(0, m, 0, ierr);
    });
    ASSERT_EQ(ierr, 0);
    EXPECT_TRUE(has(c.row));
  }
}
