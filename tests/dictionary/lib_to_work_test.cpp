// Copies of library monomers into L1: by code, synonym and derivative, the
// modifications they bring, minimal descriptions, extra connections and the
// capacities of L1; and the count of a monomer's atom rows.
#include "dictionary/lib_to_work.h"

#include <gtest/gtest.h>

#include <string>

#include "dict_builder.h"
#include "dictionary/libcom.h"
#include "support/capture.h"

namespace {

class LibCopy : public testing::Test {
 protected:
  void SetUp() override {
    descr::clear_dictionary();
    descr::mod_begin("AA-STAND");  // the peptide link replaces the carboxyl OXT
    descr::mod_atom("delete", "OXT", ".");
    descr::mod_begin("NH3");  // terminal amine: a second hydrogen on N
    descr::mod_atom("add", ".", "H2", "H", "HNH3");
    libcom.lb_hflag = "Y";
  }
  // Copies code; returns the output.
  std::string copy(const char* code, int32_t expect_status = 0) {
    mon = code;
    int32_t ierr = -1;
    const std::string out = captured([&] { cp_mlib_(0, mon, ierr); });
    EXPECT_EQ(ierr, expect_status) << code;
    return out;
  }
  rt::FixedText<8> mon;
  r_scratch_t& r = r_scratch;
};

}  // namespace

TEST_F(LibCopy, ByCodeWithTheStandardPeptideModification) {
  descr::sugar_entry();
  const int l = descr::alanine_entry();
  EXPECT_EQ(copy("ALA"), "");
  EXPECT_EQ(mon, "ALA");
  EXPECT_EQ(r.l1l_mname, "ALA");
  EXPECT_EQ(r.l1l_name, "ALANINE");
  EXPECT_EQ(r.l1l_hflag, "Y");
  EXPECT_EQ(r.l1l_natm, 6);
  EXPECT_EQ(r.l1a_natom, 5);  // OXT gone
  EXPECT_EQ(r.l1b_nbond, 4);
  EXPECT_EQ(r.l1a_aname(5), "CB");
  EXPECT_EQ(r.l1a_atype(1), "M");
  EXPECT_EQ(r.l1a_id_psi(5), "?");  // numbered again by the modification
  EXPECT_EQ(r.l1b_flag(1), "N");
  EXPECT_EQ(r.l1n_nconn, 0);
  EXPECT_EQ(r.lml_prsnt(l), ".");
}

TEST_F(LibCopy, EntryNotLoadedIsNotTakenDirectly) {
  descr::alanine_entry("ALA", "R");
  EXPECT_EQ(copy("ALA", 2),
            " We are here. Check synonyms\n"
            "  ERR: monomer ALA      not found in library..\n");
}

TEST_F(LibCopy, BySynonymWithItsModification) {
  descr::alanine_entry();
  r.lms_nsyn = 1;
  r.lms_amname(1) = "ALN";
  r.lms_mname(1) = "ALA";
  r.lms_mod(1) = "NH3";
  copy("ALN");
  EXPECT_EQ(mon, "ALA");
  EXPECT_EQ(r.l1a_natom, 6);  // NH3 adds H2, the peptide modification drops OXT
  EXPECT_EQ(r.l1a_aname(6), "H2");
}

TEST_F(LibCopy, SynonymWithoutItsEntryStillReplacesTheCode) {
  descr::alanine_entry();
  r.lms_nsyn = 1;
  r.lms_amname(1) = "XAL";
  r.lms_mname(1) = "ZZZ";
  copy("XAL", 2);
  EXPECT_EQ(mon, "ZZZ");
}

TEST_F(LibCopy, ByDerivativeNamedAndTypedAfterIt) {
  descr::alanine_entry();
  r.ldr_nder = 1;
  r.ldr_mname(1) = "DAL";
  r.ldr_smname(1) = "ALA";
  r.ldr_mod(1) = "NH3";
  r.ldr_name(1) = "D-ALANINE";
  r.ldr_type(1) = "D-peptide";
  copy("DAL");
  EXPECT_EQ(mon, "DAL");
  EXPECT_EQ(r.l1l_mname, "ALA");
  EXPECT_EQ(r.l1l_name, "D-ALANINE");
  EXPECT_EQ(r.l1l_type, "D-peptide");
  EXPECT_EQ(r.l1a_natom, 6);  // NH3 adds H2; DAL is a peptide, so OXT goes
  EXPECT_EQ(r.l1a_aname(6), "H2");
}

TEST_F(LibCopy, SecondLevelDerivativeTakesAnEntryNotLoaded) {
  descr::alanine_entry("BAS", "N");
  descr::mod_begin("M1");
  descr::mod_atom("add", ".", "X1", "C", "C");
  descr::mod_begin("M2");
  descr::mod_atom("add", ".", "X2", "C", "C");
  r.ldr_nder = 2;
  r.ldr_mname(1) = "TOP";
  r.ldr_smname(1) = "MID";
  r.ldr_mod(1) = "M2";
  r.ldr_name(1) = "TOP NAME";
  r.ldr_mname(2) = "MID";
  r.ldr_smname(2) = "BAS";
  r.ldr_mod(2) = "M1";
  r.ldr_name(2) = "MID NAME";
  copy("TOP");
  EXPECT_EQ(r.l1l_mname, "BAS");
  EXPECT_EQ(r.l1l_name, "MID NAME");
  EXPECT_EQ(r.l1a_natom, 7);
  EXPECT_EQ(r.l1a_aname(7), "X2");
}

TEST_F(LibCopy, OneAtomMonomerEndsItsTree) {
  descr::clear_l1();
  descr::add_l1_atom({"ZN", "ZN", "ZN", ".", ".", 0, 0, 0});
  descr::store_l1("ZN");
  copy("ZN");
  EXPECT_EQ(r.l1a_natom, 1);
  EXPECT_EQ(r.l1a_forw(1).view(), "END ");
}

TEST_F(LibCopy, BondsWithoutAnglesMakeAMinimalDescription) {
  descr::sugar_l1();
  const int l = descr::store_l1("NAG");
  copy("NAG");
  EXPECT_EQ(r.l1l_prsnt, "M");
  EXPECT_EQ(r.lml_prsnt(l), "M");
  EXPECT_EQ(r.l1n_nconn, 0);  // no extra connections for a minimal description
}

TEST_F(LibCopy, RingClosureBecomesAnExtraConnectionOnce) {
  descr::sugar_entry();
  copy("NAG");
  EXPECT_EQ(r.l1n_nconn, 1);
  EXPECT_EQ(r.l1n_1atm(1), "O5");
  EXPECT_EQ(r.l1n_2atm(1), "C1");
  EXPECT_EQ(r.l1n_type(1), ".");
  int32_t ierr = 0;
  r.l1n_1atm(1) = "C1";  // the same pair in the other order
  r.l1n_2atm(1) = "O5";
  check_extra_conn_(0, ierr);
  EXPECT_EQ(r.l1n_nconn, 1);
}

TEST_F(LibCopy, RowsOfTheCodeAfterAnotherMonomerAreTaken) {
  descr::alanine_entry("GLY0");
  descr::sugar_entry();
  const int row = ++r.lmb_nbond;  // a later row of the first monomer
  r.lmb_mname(row) = "GLY0";
  r.lmb_1atm(row) = "CB";
  r.lmb_2atm(row) = "N";
  r.lmb_val(row) = 2.5f;
  copy("GLY0");
  EXPECT_EQ(r.l1b_nbond, 6);
  EXPECT_FLOAT_EQ(r.l1b_val(6), 2.5f);
}

TEST_F(LibCopy, AtomBeyondTheWorkAreaStopsTheCopy) {
  descr::clear_l1();
  for (int i = 1; i <= MAX1ATM; ++i) {
    const std::string name = 'C' + std::to_string(i);
    descr::add_l1_atom({name.c_str(), "C", "CH2", ".", ".", 0, 0, 0});
  }
  descr::store_l1("BIG");
  r.lma_mname(++r.lma_natom) = "BIG";  // atom 301
  EXPECT_EQ(copy("BIG", 1),
            "  ERR: number of atoms in monomer BIG      >   300\n"
            "            Change parameter MAX1ATM in \"lib_com\"\n");
  EXPECT_EQ(r.l1a_natom, MAX1ATM);
}

TEST_F(LibCopy, AtomCountStopsAtAnotherMonomer) {
  const int l = descr::alanine_entry();
  descr::sugar_entry();
  r.lma_mname(++r.lma_natom) = "ALA";  // after the rows of another monomer
  int32_t natom = 0, nhatom = 0, ierr = 0;
  count_natom_lib_(0, "ALA", r.lml_iatom(l), natom, nhatom, ierr);
  EXPECT_EQ(natom, 6);
  EXPECT_EQ(nhatom, 6);
  const std::string out = captured([&] { count_natom_lib_(0, "ALA", 0, natom, nhatom, ierr); });
  EXPECT_EQ(out, "  ERR: monomer ALA      number of atoms = 0\n");
  EXPECT_EQ(ierr, 1);
}

TEST_F(LibCopy, AtomCountReachesRowsHighInTheTable) {
  r.lma_natom = 100000;
  descr::clear_l1();
  descr::add_l1_atom({"C1", "C", "CH3", ".", ".", 0, 0, 0});
  descr::add_l1_atom({"H1", "H", "H", "C1", ".", 0, 0, 0});
  descr::store_l1("HIGH");
  int32_t natom = 0, nhatom = 0, ierr = 0;
  count_natom_lib_(0, "HIGH", 100001, natom, nhatom, ierr);
  EXPECT_EQ(natom, 2);
  EXPECT_EQ(nhatom, 1);
}
