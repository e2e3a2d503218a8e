// Applying modifications to alanine and proline in L1: the look-up and its
// statuses, the proline and terminal-amine variants, and every record editor.
#include "dictionary/modif.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "descr_builder.h"
#include "mod_builder.h"
#include "support/capture.h"

namespace {

// Alanine with angles, a torsion, its chiral centre and the carboxyl plane.
void alanine_full() {
  descr::alanine_l1();
  descr::add_l1_angle("N", "CA", "C", 111.2f);
  descr::add_l1_angle("CA", "C", "O", 120.8f);
  descr::add_l1_angle("CA", "C", "OXT", 117.0f);
  descr::add_l1_tors("N", "CA", "C", "O", 180.0f, "psi");
  descr::add_l1_chir("CA", "N", "C", "CB", "positiv");
  descr::add_l1_plane("plan-1", {"CA", "C", "O", "OXT"});
}

class Modif : public testing::Test {
 protected:
  void SetUp() override {
    alanine_full();
    descr::clear_mods();
    descr::mod_begin("TEST");
    dictionary::forget_missing_modifications();
  }
  // Applies "TEST"; returns what it printed.
  std::string apply(int32_t expect_status = 0) {
    int32_t ierr = -1;
    const std::string out = captured([&] { modif_(0, "TEST", ierr); });
    EXPECT_EQ(ierr, expect_status);
    return out;
  }
  r_scratch_t& r = r_scratch;
};

}  // namespace

TEST_F(Modif, EmptyModificationListIsNotFound) {
  r.ldl_nmod = 0;
  int32_t ierr = -1;
  EXPECT_EQ(captured([&] { modif_(0, "AA-STAND", ierr); }),
            "  WARNING: number of modifications in library = 0\n");
  EXPECT_EQ(ierr, 0);
}

TEST_F(Modif, AbsentCodeIsNotFoundAndL1Unchanged) {
  int32_t ierr = -1;
  EXPECT_EQ(captured([&] { modif_(0, "XYZ", ierr); }),
            "  WARNING: the library has no modification XYZ: ALA is described without it\n");
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(r.l1a_natom, 6);
}

// Every residue of a monomer asks for its modifications, at identification
// and at the restraints: the line is given once a modification and monomer
// until the next library loading forgets it.
TEST_F(Modif, AbsentCodeIsReportedOncePerMonomer) {
  int32_t ierr = -1;
  auto ask = [&](const char* mod) { return captured([&] { modif_(0, mod, ierr); }); };
  EXPECT_NE(ask("XYZ"), "");
  EXPECT_EQ(ask("XYZ"), "") << "the same pair again";
  EXPECT_EQ(ask("XYZW"),
            "  WARNING: the library has no modification XYZW: ALA is described without it\n")
      << "another modification, a code that begins alike";
  r.l1l_mname = "GLY";
  EXPECT_EQ(ask("XYZ"),
            "  WARNING: the library has no modification XYZ: GLY is described without it\n")
      << "another monomer";
  dictionary::forget_missing_modifications();
  EXPECT_NE(ask("XYZ"), "") << "after the library is loaded again";
  EXPECT_EQ(ierr, 0);
}

TEST_F(Modif, SubstitutedNitrogenTakesTheVariant) {
  const struct {
    const char* label;
    void (*build)();
    const char* asked;
    const char* applied;
  } cases[] = {
      {"proline, terminal amine", descr::proline_l1, "NH3", "NH2"},
      {"N-methyl, terminal amine",
       [] {
         descr::proline_l1();
         r_scratch.l1b_2atm(2) = "CN";
       },
       "NH3", "NH2N"},
      {"proline, peptide", descr::proline_l1, "AA-STAND", "AA-STPRO"},
      {"alanine, terminal amine", alanine_full, "NH3", "NH3"},
      {"three atoms",
       [] {
         descr::proline_l1();
         r_scratch.l1a_natom = 3;
       },
       "NH3", "NH3"},
  };
  for (const char* code : {"NH3", "NH2", "NH2N", "AA-STAND", "AA-STPRO"}) descr::mod_begin(code);
  for (const auto& c : cases) {
    c.build();
    int32_t ierr = -1;
    captured([&] { modif_(0, c.asked, ierr); });
    EXPECT_EQ(ierr, 0) << c.label;
    EXPECT_EQ(r.ldl_mname(r.ldl_imod), c.applied) << c.label;
  }
}

TEST_F(Modif, AtomDeletionRemovesEveryRowNamingIt) {
  descr::mod_atom("delete", "OXT", ".");
  EXPECT_EQ(apply(), "");
  EXPECT_EQ(r.l1a_natom, 5);
  EXPECT_EQ(r.l1a_nhatom, 5);
  EXPECT_EQ(r.l1b_nbond, 4);
  EXPECT_EQ(r.l1g_nangl, 2);
  EXPECT_EQ(r.l1p_nplan, 0);  // the carboxyl plane is left with three atoms
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(r.l1a_atype(i), "M") << i;
  EXPECT_EQ(r.l1a_ifinish, 3);
}

TEST_F(Modif, DeletingTheFirstAtomMovesTheTreeStart) {
  descr::mod_atom("delete", "N", ".");
  apply();
  EXPECT_EQ(r.l1a_aname(1), "CA");
  EXPECT_EQ(r.l1a_back(1), ".");
  EXPECT_EQ(r.l1a_istart, 1);
  EXPECT_EQ(r.l1c_nchir, 0);
}

TEST_F(Modif, DeletingTheLastAtomMovesTheTreeEnd) {
  descr::mod_atom("deleted", "O", ".");  // six characters decide
  descr::mod_atom("delete", "OXT", ".");
  descr::mod_atom("delete", "C", ".");
  EXPECT_EQ(apply(), "");
  EXPECT_EQ(r.l1a_natom, 3);
  EXPECT_EQ(r.l1a_ifinish, 2);
  EXPECT_EQ(r.l1a_forw(2), "END");
}

TEST_F(Modif, AtomChangeRenamesInRowsButNotInPlanesOrTree) {
  descr::mod_atom("change", "OXT", "O2", ".", "OC", -0.5f);
  apply();
  EXPECT_EQ(r.l1a_aname(6), "O2");
  EXPECT_EQ(r.l1a_chem(6), "OC");
  EXPECT_EQ(r.l1a_symb(6), "O");
  EXPECT_FLOAT_EQ(r.l1a_charg(6), -0.5f);
  EXPECT_EQ(r.l1b_2atm(5), "O2");
  EXPECT_EQ(r.l1g_3atm(3), "O2");
  EXPECT_EQ(r.l1p_atom(4, 1), "OXT");
}

TEST_F(Modif, AtomAddedOnceAndCountedWhenHeavy) {
  r.l1a_nhatom = 6;
  descr::mod_atom("add", ".", "H2", "H", "HNH2");
  descr::mod_atom("add", ".", "CN", "C", "CH3");
  descr::mod_atom("add", ".", "CB", "C", "CH3");  // exists
  apply();
  EXPECT_EQ(r.l1a_natom, 8);
  EXPECT_EQ(r.l1a_nhatom, 7);
  EXPECT_EQ(r.l1a_aname(7), "H2");
  EXPECT_EQ(r.l1a_coor_flag(8), "N");
  EXPECT_EQ(r.l1a_atype(8), "M");
}

TEST_F(Modif, AtomAddedToAFullDescriptionIsReportedAndSkipped) {
  for (int i = 7; i <= MAX1ATM; ++i) {
    const std::string name = 'X' + std::to_string(i);
    descr::add_l1_atom({name.c_str(), "C", "C", "CB", ".", 0, 0, 0});
  }
  descr::mod_atom("add", ".", "H2", "H", "H");
  EXPECT_EQ(apply(),
            "  WARNING: number of atoms in monomer ALA      for mod  >   300\n"
            "          Change parameter MAX1ATM in \"lib_com.fh\"\n");
  EXPECT_EQ(r.l1a_natom, MAX1ATM);
}

TEST_F(Modif, TreeRecordMovesTheLastAtom) {
  descr::mod_tree("change", "C", ".", "OXT", ".");
  descr::mod_tree("change", "OXT", ".", ".", "END");
  EXPECT_EQ(apply(), "");
  EXPECT_EQ(r.l1a_forw(3), "OXT");
  EXPECT_EQ(r.l1a_forw(6), "END");
  EXPECT_EQ(r.l1a_ifinish, 6);
}

TEST_F(Modif, TreeRecordStartMakesANewFirstAtom) {
  descr::mod_tree("change", "CB", ".", ".", "START");
  EXPECT_EQ(apply(), "");
  EXPECT_EQ(r.l1a_istart, 5);
  EXPECT_EQ(r.l1a_back(5), ".");
  EXPECT_EQ(r.l1a_back(1), "CA");
}

TEST_F(Modif, ConnectionsDeletedRewrittenAndAdded) {
  r.l1n_nconn = 2;
  r.l1n_1atm(1) = "N";
  r.l1n_2atm(1) = "C";
  r.l1n_1atm(2) = "CB";
  r.l1n_2atm(2) = "O";
  descr::mod_tree("delete", ".", ".", ".", ".", "C", "N");
  descr::mod_tree("change", ".", ".", ".", "LINK", "O", "CB");
  descr::mod_tree("add", ".", ".", ".", "RING", "CA", "OXT");
  apply();
  EXPECT_EQ(r.l1n_nconn, 2);
  EXPECT_EQ(r.l1n_1atm(1), "O");
  EXPECT_EQ(r.l1n_type(1), "LINK");
  EXPECT_EQ(r.l1n_2atm(2), "OXT");
  EXPECT_EQ(r.l1n_type(2), "RING");
}

TEST_F(Modif, BondDeletedInEitherOrder) {
  descr::mod_bond("delete", "OXT", "C", 0.0f);
  apply();
  EXPECT_EQ(r.l1b_nbond, 4);
  EXPECT_EQ(r.l1b_2atm(4), "O");
}

TEST_F(Modif, BondChangedKeepsWhatTheRecordLeavesOpen) {
  descr::mod_bond("change", "C", "OXT", 1.249f, "deloc");
  descr::mod_bond("change", "C", "O", 0.0f, ".");
  apply();
  EXPECT_FLOAT_EQ(r.l1b_val(5), 1.249f);
  EXPECT_EQ(r.l1b_type(5), "deloc");
  EXPECT_FLOAT_EQ(r.l1b_val(4), 1.207f);
  EXPECT_EQ(r.l1b_type(4), "single");
}

TEST_F(Modif, BondAddedUpdatesAnExistingBondOrAppends) {
  descr::mod_bond("add", "CA", "N", 1.458f);
  descr::mod_bond("add", "N", "H2", 0.89f, "single");
  apply();
  EXPECT_EQ(r.l1b_nbond, 6);
  EXPECT_FLOAT_EQ(r.l1b_val(1), 1.458f);
  EXPECT_EQ(r.l1b_2atm(6), "H2");
  EXPECT_EQ(r.l1b_i2atm(6), 0);
}

TEST_F(Modif, AngleFoundReversedButNotAroundAnotherVertex) {
  descr::mod_angle("change", "C", "CA", "N", 110.0f);
  descr::mod_angle("delete", "CA", "N", "C", 0.0f);
  apply();
  EXPECT_EQ(r.l1g_nangl, 3);
  EXPECT_FLOAT_EQ(r.l1g_val(1), 110.0f);
}

TEST_F(Modif, TorsionPeriodAlwaysTakenLabelOnlyWhenGiven) {
  descr::mod_tors("change", "O", "C", "CA", "N", 0.0f, 2, ".");
  descr::mod_tors("add", "CB", "CA", "C", "O", 60.0f, 3, "chi");
  apply();
  EXPECT_EQ(r.l1t_prd(1), 2);
  EXPECT_EQ(r.l1t_label(1), "psi");
  EXPECT_FLOAT_EQ(r.l1t_val(1), 180.0f);
  EXPECT_EQ(r.l1t_ntors, 2);
  EXPECT_EQ(r.l1t_label(2), "chi");
}

TEST_F(Modif, DeletedChiralCentreDisappears) {
  descr::mod_chir("delete", "CA", "N", "C", "CB", ".");
  apply();
  EXPECT_EQ(r.l1c_nchir, 0);
}

TEST_F(Modif, CrossChangeReplacesTheNeighbours) {
  descr::mod_chir("change", "CA", "N", "CB", "OXT", "cross3", 0.0f);
  apply();
  EXPECT_EQ(r.l1c_nchir, 1);
  EXPECT_EQ(r.l1c_sign(1), "cross3");
  EXPECT_EQ(r.l1c_3atm(1), "CB");
  EXPECT_EQ(r.l1c_4atm(1), "OXT");
  EXPECT_FLOAT_EQ(r.l1c_vol(1), 2.5f);
}

TEST_F(Modif, ChiralCentreAddedOrUpdated) {
  descr::mod_chir("add", "CB", "C", "N", "CA", "negativ", 2.6f);  // CA-N-C-CB reversed
  descr::mod_chir("add", "C", "CA", "O", "OXT", "positiv", 2.4f);
  apply();
  EXPECT_EQ(r.l1c_nchir, 2);
  EXPECT_EQ(r.l1c_sign(1), "negativ");
  EXPECT_EQ(r.l1c_1atm(1), "CA");
  EXPECT_EQ(r.l1c_1atm(2), "C");
}

TEST_F(Modif, PlaneOfThreeAtomsWarnsAndStopsThePlaneRecords) {
  descr::mod_plane("add", "plan-2", {"N", "CA", "CB"});
  descr::mod_plane("add", "plan-3", {"N", "CA", "CB", "C"});
  EXPECT_EQ(apply(), "  WARNING: number of plan atoms in mod TEST      < 4\n");
  EXPECT_EQ(r.l1p_nplan, 1);
}

TEST_F(Modif, PlanesSharingThreeAtomsMerge) {
  descr::mod_plane("add", "plan-2", {"C", "O", "OXT", "CB"}, 0.05f);
  apply();
  EXPECT_EQ(r.l1p_nplan, 1);
  EXPECT_EQ(r.l1p_natom(1), 5);
  EXPECT_EQ(r.l1p_atom(5, 1), "CB");
  EXPECT_FLOAT_EQ(r.l1p_dev(5, 1), 0.05f);
}

TEST_F(Modif, PlaneSlotDeletedAndPlaneChanged) {
  descr::add_l1_plane("plan-2", {"N", "CA", "CB", "C", "HA"});  // two atoms shared
  descr::mod_plane("change", "plan-1", {"O"}, 0.1f);
  descr::mod_plane("delete", "plan-2", {"CB"});
  apply();
  EXPECT_FLOAT_EQ(r.l1p_dev(3, 1), 0.1f);
  EXPECT_EQ(r.l1p_natom(2), 4);
  EXPECT_EQ(r.l1p_atom(4, 2), "HA");
}

TEST_F(Modif, OversizedPlaneRecordStopsBeforeTheChiralRecords) {
  descr::mod_plane("add", "plan-2", {"N", "CA", "CB", "C"});
  r.ldp_natom(1) = 97;
  descr::mod_chir("delete", "CA", "N", "C", "CB", ".");
  EXPECT_EQ(apply(1),
            "  ERR: number of plan atoms in mod TEST     >   100\n"
            "            Change parameter MAX1APL in \"lib_com.fh\"\n");
  EXPECT_EQ(r.l1c_nchir, 1);
}

TEST_F(Modif, MinimalDescriptionGetsAtomsBondsAndChiralsOnly) {
  r.l1l_prsnt = "M";
  descr::mod_angle("delete", "N", "CA", "C", 0.0f);
  descr::mod_bond("delete", "CA", "CB", 0.0f);
  descr::mod_chir("delete", "CA", "N", "C", "CB", ".");
  apply();
  EXPECT_EQ(r.l1g_nangl, 3);
  EXPECT_EQ(r.l1b_nbond, 4);
  EXPECT_EQ(r.l1c_nchir, 0);
}

TEST_F(Modif, RejectedTreeStillReturnsZero) {
  r.l1a_aname(6) = "O";
  descr::mod_bond("change", "C", "O", 1.25f);
  const std::string out = apply();
  EXPECT_EQ(out, "  WARNING : ALA      : duplicated atom_name : O\n");
  EXPECT_FLOAT_EQ(r.l1b_val(4), 1.25f);
}

// The 5' end of a nucleotide, its tree P-O5'-C5' with the phosphate oxygens
// on P, under the library's 5'-end modification (delete the phosphate, the
// hydroxyl hydrogen on O5').  Current files and older libraries spell the
// same atoms otherwise; either spelling of the modification edits either
// spelling of the residue, and the library's rows keep their own.
TEST_F(Modif, FivePrimeEndMatchesEitherSpellingOfTheNucleotideAtoms) {
  struct Spelling {
    const char *p1, *p2, *o5, *c5, *ho5;
  };
  const Spelling star{"O1P", "O2P", "O5*", "C5*", "HO5*"};
  const Spelling prime{"OP1", "OP2", "O5'", "C5'", "HO5'"};
  for (const auto& [res, mod] :
       {std::pair{prime, star}, std::pair{star, prime}, std::pair{prime, prime}}) {
    SCOPED_TRACE(std::string(res.o5) + " under " + mod.o5);
    descr::clear_l1();
    r.l1l_mname = "DA";
    descr::add_l1_atom({"P", "P", "P", ".", res.o5, 0.0f, 0.0f, 0.0f});
    descr::add_l1_atom({res.p1, "O", "OP", "P", ".", 1.0f, 1.0f, 0.0f});
    descr::add_l1_atom({res.p2, "O", "OP", "P", ".", -1.0f, 1.0f, 0.0f});
    descr::add_l1_atom({res.o5, "O", "O2", "P", res.c5, 0.0f, -1.5f, 0.0f});
    descr::add_l1_atom({res.c5, "C", "CH2", res.o5, "END", 0.0f, -2.5f, 1.0f});
    descr::add_l1_bond("P", res.p1, 1.48f);
    descr::add_l1_bond("P", res.p2, 1.48f);
    descr::add_l1_bond("P", res.o5, 1.59f);
    descr::add_l1_bond(res.o5, res.c5, 1.43f);
    descr::add_l1_angle(res.p1, "P", res.o5, 108.0f);
    descr::clear_mods();
    descr::mod_begin("5*END");
    descr::mod_atom("delete", "P", ".");
    descr::mod_atom("delete", mod.p1, ".");
    descr::mod_atom("delete", mod.p2, ".");
    descr::mod_atom("change", mod.o5, ".", ".", "OH1");
    descr::mod_atom("add", ".", mod.ho5, "H", "HO");
    descr::mod_bond("add", mod.o5, mod.ho5, 0.967f);
    descr::mod_angle("add", mod.c5, mod.o5, mod.ho5, 109.5f);
    int32_t ierr = -1;
    captured([&] { modif_(0, "5*END", ierr); });
    EXPECT_EQ(ierr, 0);
    std::vector<std::string> names;
    for (int i = 1; i <= r.l1a_natom; ++i) names.emplace_back(r.l1a_aname(i).trimmed());
    EXPECT_EQ(names, (std::vector<std::string>{res.o5, res.c5, res.ho5}));
    EXPECT_EQ(r.l1a_chem(1), "OH1");
    ASSERT_EQ(r.l1b_nbond, 2);
    EXPECT_EQ(r.l1b_1atm(2), res.o5);
    EXPECT_EQ(r.l1b_2atm(2), res.ho5);
    ASSERT_EQ(r.l1g_nangl, 1);
    EXPECT_EQ(r.l1g_1atm(1), res.c5);
    EXPECT_EQ(r.lda_aname(2), mod.p1);
    EXPECT_EQ(r.ldb_1atm(1), mod.o5);
  }
}
