// Residues resolved against the test library by name: directly, through a
// synonym, as a derivative; the library entries a model marks for reading;
// atom names through the synonym rows.
#include <gtest/gtest.h>

#include <string>

#include "dictionary/dict_index.h"
#include "dictionary/lib_com.h"
#include "dictionary/libcom.h"
#include "dictionary/monlib_fixture.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "identify/lib_lookup.h"
#include "identify/monomer_list.h"
#include "support/capture.h"

namespace {

struct Lookup {
  int32_t ierr = -1, nmuse = 0;
  std::string mon, amon, mod, type, flag, out;
};

class LibLookup : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string log;
    ASSERT_EQ(monlib::load(monlib::test_library(), log), 0) << log;
    comlib.iquiet = 0;
    comlib.idoc = 0;
  }
  static Lookup look(const char* name, int32_t nmuse = 0) {
    Lookup res;
    rt::FixedText<8> mon(name), amon("?"), mod("?");
    rt::FixedText<1> flag("?");
    rt::FixedText<16> type("?");
    res.nmuse = nmuse;
    res.out = captured([&] {
      check_mon_lib_(0, mon, "A   12 A   ", amon, mod, flag, res.nmuse, 0, type, ' ', res.ierr);
    });
    res.mon = std::string(mon.trimmed());
    res.amon = std::string(amon.trimmed());
    res.mod = std::string(mod.trimmed());
    res.type = std::string(type.trimmed());
    res.flag = flag.str();
    return res;
  }
  static void add_derivative(const char* code, const char* parent, const char* type) {
    r_scratch_t& r = r_scratch;
    const int j = ++r.ldr_nder;
    r.ldr_mname(j) = code;
    r.ldr_smname(j) = parent;
    r.ldr_type(j) = type;
    r.ldr_mod(j) = ".";
    r.ldr_name(j) = ".";
  }
};

TEST_F(LibLookup, DirectNameReadsCopiesAndCountsTheFirstUseOnly) {
  // "N": a monomer the model has not used yet.
  r_scratch.lml_prsnt(dictionary::find_list_entry("SER", false)) = "N";
  const Lookup first = look("SER");
  EXPECT_EQ(first.ierr, 0);
  EXPECT_EQ(first.flag, "N");
  EXPECT_EQ(first.type, "L-peptide");
  EXPECT_EQ(first.amon, ".");
  EXPECT_EQ(first.nmuse, 1);
  EXPECT_EQ(first.out, "");
  r_scratch_t& r = r_scratch;
  EXPECT_EQ(r.l1l_mname.str(), "SER     ");
  EXPECT_EQ(r.l1l_prsnt.str(), "N") << "the copy carries the state before this use";
  EXPECT_GT(r.l1a_natom, 5);
  EXPECT_EQ(r.c1_pnum.str(), "A   12 A    ");
  EXPECT_EQ(r.lml_prsnt(dictionary::find_list_entry("SER", false)).str(), "Y");
  EXPECT_EQ(look("SER", 1).nmuse, 1) << "a monomer already in use";
}

TEST_F(LibLookup, SynonymNameGivesTheLibraryName) {
  const Lookup w = look("WAT");
  EXPECT_EQ(w.ierr, 0);
  EXPECT_EQ(w.mon, "HOH");
  EXPECT_EQ(w.amon, "WAT");
  EXPECT_EQ(w.mod, ".");
  EXPECT_EQ(r_scratch.l1l_mname.str(), "HOH     ");
}

TEST_F(LibLookup, DerivativesOfOneAndTwoGenerations) {
  add_derivative("SEP", "SER", "L-peptide-deriv");
  add_derivative("SE2", "SEP", "other");
  const Lookup one = look("SEP");
  EXPECT_EQ(one.ierr, 0) << one.out;
  EXPECT_EQ(one.mon, "SEP");
  EXPECT_EQ(one.amon, "SER");
  EXPECT_EQ(one.type, "L-peptide-deriv") << "type of the derivative row";
  const Lookup two = look("SE2");
  EXPECT_EQ(two.ierr, 0) << two.out;
  EXPECT_EQ(two.amon, "SER");
  EXPECT_EQ(two.type, "L-peptide") << "type of the listed grandparent";
}

TEST_F(LibLookup, UnknownResidueGetsAnEmptyNewMonomer) {
  const Lookup u = look("LIG");
  EXPECT_EQ(u.ierr, 1);
  EXPECT_EQ(u.flag, "Y");
  EXPECT_EQ(u.type, "non-polymer");
  EXPECT_EQ(u.nmuse, 1);
  EXPECT_EQ(u.out, "  WARNING : residue: LIG        12  chain:A    - is not in the library\n");
  r_scratch_t& r = r_scratch;
  EXPECT_EQ(r.l1l_mname.str(), "LIG     ");
  EXPECT_EQ(r.l1l_prsnt.str(), "N");
  EXPECT_EQ(r.l1l_type.str(), "non-polymer     ");
  EXPECT_EQ(r.l1a_natom, 0);
  EXPECT_EQ(r.l1b_nbond, 0);
  EXPECT_EQ(libcom.lb_pass, 0);
}

// A library value "." or "?" is no name: the generic atom row of ILE
// (comp_alternative_id ".") and a row written with "?" name no residue, not
// even one read without a name.
TEST_F(LibLookup, NoNameOfTheLibraryNamesAResidue) {
  r_scratch_t& r = r_scratch;
  const int32_t nsyn = r.lms_nsyn;
  const int j = ++r.lms_nsyn;
  r.lms_mname(j) = "SER";
  r.lms_amname(j) = "?";
  r.lms_mod(j) = ".";
  r.lms_atom(j) = ".";
  r.lms_aatom(j) = ".";
  for (const char* name : {".", "?"}) {
    SCOPED_TRACE(name);
    const Lookup u = look(name);
    EXPECT_EQ(u.ierr, 1) << u.out;
    EXPECT_EQ(u.flag, "Y");
    EXPECT_EQ(u.mon, name);
    rt::FixedText<8> mon(name);
    int32_t ierr = -1;
    check_mon_name_in_lib_(mon, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(mon.trimmed(), name);
  }
  r.lms_nsyn = nsyn;
  dictionary::reset_dictionary_index();
}

TEST_F(LibLookup, EmptyAndFullMonomerLists) {
  r_scratch_t& r = r_scratch;
  const int32_t n = r.lml_nmon;
  r.lml_nmon = 0;
  const Lookup empty = look("SER");
  EXPECT_EQ(empty.ierr, 2);
  EXPECT_EQ(empty.out, "  ERR: number of monomer in the library = 0\n");
  r.lml_nmon = MAXMLIST;
  const Lookup full = look("LIG");
  r.lml_nmon = n;
  EXPECT_EQ(full.ierr, 1);
  EXPECT_EQ(full.flag, "?") << "nothing prepared";
  EXPECT_NE(full.out.find("  ERR: number of monomers >  5000 /lib. limit/\n"
                          "         Change parameter MAXMLIST in \"lib_com.fh\"\n"),
            std::string::npos)
      << full.out;
  dictionary::reset_dictionary_index();
}

TEST_F(LibLookup, NameTestCopiesNothing) {
  rt::FixedText<8> mon("DOD");
  int32_t ierr = -1;
  const int l1 = r_scratch.l1a_natom;
  check_mon_name_in_lib_(mon, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(mon.str(), "HOH     ");
  EXPECT_EQ(r_scratch.l1a_natom, l1);
  mon = "LIG_N1";
  check_mon_name_in_lib_(mon, ierr);
  EXPECT_EQ(ierr, 1);
}

TEST_F(LibLookup, AtomNamesThroughGenericAndSpecificRows) {
  struct Row {
    const char *mon, *amon, *in, *out, *alt;
  } rows[] = {
      {"ILE", ".", "CD", "CD1", "CD"},    // generic row of the monomer
      {"ILE", ".", "CG1", "CG1", "."},    // no row
      {"HOH", "WAT", "OW", "O", "OW"},    // row of the file name WAT
      {"HOH", "DOD", "OW", "OW", "."},    // that row is not DOD's
      {"SER", ".", "H0", "H", "H0"},      // H0 always becomes H
  };
  for (const Row& row : rows) {
    rt::FixedText<4> aname(row.in), alt("?");
    check_aname_(row.mon, row.amon, ".", aname, alt);
    EXPECT_EQ(std::string(aname.trimmed()), row.out) << row.mon << " " << row.amon << " " << row.in;
    EXPECT_EQ(std::string(alt.trimmed()), row.alt) << row.mon << " " << row.amon << " " << row.in;
  }
}

// A model of residues SER, WAT and a name RENAME rows map to THR.
void small_model() {
  int32_t ierr = 0;
  init_atm_inf_(0, ierr);
  const char* names[] = {"SER", "WAT", "XTH"};
  asym_part.n_group = 1;
  asym_part.ires_first(1) = 1;
  asym_part.nres_chain(1) = 3;
  resid_inf.n_residue = 3;
  atom_inf.n_atom = 3;
  for (int i = 1; i <= 3; ++i) resid_inf.res_name(i) = names[i - 1];
  mod_inf.mod_n = 1;
  mod_inf.mod_ires(1) = 3;
  mod_inf.mod_ichn(1) = 1;
  mod_inf.mod_id(1) = "RENAME";
  mod_inf.mod_rnam(1) = "THR";
  mod_inf.mod_rnam_new(1) = "XTH";
}

TEST_F(LibLookup, ModelMarksAndReadsOnlyWhatItUses) {
  small_model();
  int32_t ierr = -1;
  const std::string out = captured([&] { pre_monom_list_(0, ' ', ierr); });
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(out.find("  I am reading library. Please wait.\n                mon_lib.cif\n"), 0u) << out;
  for (const char* used : {"SER", "HOH", "THR"})
    EXPECT_EQ(r_scratch.lml_fuse(dictionary::find_list_entry(used, false)).str(), "Y") << used;
  for (const char* unused : {"ALA", "TYR", "NAG"})
    EXPECT_EQ(r_scratch.lml_fuse(dictionary::find_list_entry(unused, false)).str(), "N") << unused;
  EXPECT_EQ(captured([&] { pre_monom_list_(999, ' ', ierr); }), "") << "silent with code 999";
}

TEST_F(LibLookup, EmptyModelReadsNothing) {
  small_model();
  atom_inf.n_atom = 0;
  int32_t ierr = -1;
  EXPECT_EQ(captured([&] { pre_monom_list_(0, ' ', ierr); }), "  ERROR: number of atoms = 0...\n");
  EXPECT_EQ(ierr, 1);
}

TEST_F(LibLookup, MarkingKeepsAnotherFlag) {
  const int hoh = dictionary::find_list_entry("HOH", false);
  r_scratch.lml_fuse(hoh) = "Y";
  rt::FixedText<8> mon("DOD");
  int32_t ierr = -1;
  look_mon_lib_(0, mon, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(mon.str(), "HOH     ");
  EXPECT_EQ(r_scratch.lml_fuse(hoh).str(), "Y");
  mon = "SER";
  look_mon_lib_(0, mon, ierr);
  EXPECT_EQ(r_scratch.lml_fuse(dictionary::find_list_entry("SER", false)).str(), "R");
  mon = "LIG";
  look_mon_lib_(0, mon, ierr);
  EXPECT_EQ(ierr, 1);
}

}  // namespace
