// The monomer list and description fillers fed record by record: where
// each item goes, the key rules, conversions, limits and messages.
#include <gtest/gtest.h>

#include "dictionary/lib_com.h"
#include "dictionary/libcom.h"
#include "dictionary/mon_fillers.h"
#include "dictionary/mon_list_fillers.h"
#include "filler_rows.h"

namespace {

using fill::feed;
using fill::row;
r_scratch_t& r = r_scratch;

// An empty dictionary with entry TST marked for reading in pass 1.
class MonomerFillers : public testing::Test {
 protected:
  void SetUp() override {
    setenv("ATOMSF", ORB_DATA_DIR "/atomsf.lib", 0);
    init_cnt_();
    r.lml_nmon = r.lml_imon = r.lms_nsyn = r.ldr_nder = r.lsf_nasymb = 0;
    libcom.lb_pass = 1;
    libcom.lb_numb_lib = 1;
    std::string out;
    ASSERT_EQ(feed(pt_mlist_, row("_chem_comp", {{"id", "TST"}, {"group", "L-peptide"}}), out), 0);
    r.lml_fuse(1) = "R";
    captured([] {});  // the scattering-factor file reports its opening once
  }
  int32_t atom(std::initializer_list<std::pair<const char*, const char*>> items,
               std::string* msgs = nullptr) {
    std::string out;
    const int32_t e = feed(pt_matom_, row("_chem_comp_atom", items), out);
    if (msgs) *msgs = out;
    return e;
  }
};

TEST_F(MonomerFillers, AtomItemsGoToTheirColumns) {
  ASSERT_EQ(atom({{"comp_id", "TST"}, {"atom_id", "CA"}, {"type_symbol", "c"},
                  {"type_energy", "CH1"}, {"partial_charge", "-0.5"}, {"x", "1.5"},
                  {"y", "2.5"}, {"z", "3.5"}}),
            0);
  ASSERT_EQ(r.lma_natom, 1);
  EXPECT_EQ(r.lml_iatom(1), 1);
  EXPECT_EQ(r.lma_mname(1), "TST");
  EXPECT_EQ(r.lma_aname(1), "CA");
  EXPECT_EQ(r.lma_symb(1), "C");
  EXPECT_EQ(r.lma_sf_id(1), 1);
  EXPECT_EQ(r.lma_chem(1), "CH1");
  EXPECT_FLOAT_EQ(r.lma_charg(1), -0.5f);
  EXPECT_FLOAT_EQ(r.lma_z(1), 3.5f);
  EXPECT_EQ(r.lma_coor_flag(1), "Y");
  EXPECT_EQ(r.lma_back(1), ".");
}

TEST_F(MonomerFillers, CoordinateGivenAsDotLeavesTheFlagN) {
  ASSERT_EQ(atom({{"comp_id", "TST"}, {"atom_id", "CA"}, {"model_Cartn_x", "."}}), 0);
  EXPECT_EQ(r.lma_coor_flag(1), "N");
}

TEST_F(MonomerFillers, ChargeItemIsTakenAfterPartialCharge) {
  ASSERT_EQ(atom({{"comp_id", "TST"}, {"charge", "1.0"}}), 0);
  EXPECT_FLOAT_EQ(r.lma_charg(1), 1.0f);
}

TEST_F(MonomerFillers, AnyItemBeginningWithXIsTheXCoordinate) {
  ASSERT_EQ(atom({{"comp_id", "TST"}, {"xyz_anything", "7.0"}}), 0);
  EXPECT_FLOAT_EQ(r.lma_x(1), 7.0f);
}

TEST_F(MonomerFillers, KeyNotFirstIsRefused) {
  std::string msgs;
  EXPECT_EQ(atom({{"atom_id", "CA"}, {"comp_id", "TST"}}, &msgs), 1);
  EXPECT_EQ(msgs, "  ERR: item _chem_comp_atom.comp_id : must be first in the string\n");
  EXPECT_EQ(r.lml_imon, 0);
  EXPECT_EQ(r.lma_natom, 0);
}

TEST_F(MonomerFillers, UnknownCodeIsReportedWithItsBlock) {
  std::string msgs;
  EXPECT_EQ(atom({{"comp_id", "XYZ"}}, &msgs), 1);
  EXPECT_EQ(msgs, "  ERR: monomer XYZ      not found in the monomer list\n  BLOCK :data_comp_TST\n");
}

TEST_F(MonomerFillers, EntryNotMarkedTakesNoRows) {
  r.lml_fuse(1) = "Y";
  EXPECT_EQ(atom({{"comp_id", "TST"}, {"atom_id", "CA"}}), 0);
  EXPECT_EQ(r.lma_natom, 0);
}

TEST_F(MonomerFillers, EntryOfAnotherPassTakesNoRows) {
  libcom.lb_pass = 2;
  EXPECT_EQ(atom({{"comp_id", "TST"}, {"atom_id", "CA"}}), 0);
  EXPECT_EQ(r.lma_natom, 0);
}

TEST_F(MonomerFillers, AtomNamesAreNormalised) {
  struct Case {
    const char* label;
    const char* in;
    const char* out;
  } cases[] = {{"digit first rotates, blank becomes _", "1HB", "HB_1"},
               {"digit first, four characters", "2HG1", "HG12"},
               {"leading blank dropped", " CA", "CA"},
               {"plain name kept", "HB1", "HB1"},
               {"fifth character replaces the fourth", "HD21X", "HD2X"}};
  for (const Case& c : cases) {
    r.lma_natom = 0;
    r.lml_iatom(1) = 0;
    ASSERT_EQ(atom({{"comp_id", "TST"}, {"atom_id", c.in}}), 0) << c.label;
    EXPECT_EQ(r.lma_aname(1), c.out) << c.label;
  }
}

TEST_F(MonomerFillers, BondTypesAreSpelledTheLibraryWay) {
  struct Case {
    const char* label;
    const char* in;
    const char* out;
  } cases[] = {{"SING", "SING", "single"}, {"DOUB", "DOUB", "double"},
               {"TRIP", "TRIP", "triple"}, {"AROM", "AROM", "arom"},
               {"META", "META", "metal"},   {"DELO", "DELO", "deloc"},
               {"lower case kept", "doub", "doub"}, {"longer word kept", "DOUBLE", "DOUBLE"}};
  for (const Case& c : cases) {
    std::string out;
    ASSERT_EQ(feed(pt_mbond_,
                   row("_chem_comp_bond", {{"comp_id", "TST"}, {"atom_id_1", "C"},
                                           {"atom_id_2", "O"}, {"value_order", c.in},
                                           {"value_dist", "1.23"}, {"value_dist_esd", "0.02"}}),
                   out),
              0);
    EXPECT_EQ(r.lmb_type(r.lmb_nbond), c.out) << c.label;
  }
}

TEST_F(MonomerFillers, EsdIsNotTakenForTheValue) {
  std::string out;
  ASSERT_EQ(feed(pt_mbond_,
                 row("_chem_comp_bond", {{"comp_id", "TST"}, {"value_dist_esd", "0.02"},
                                         {"value_dist", "1.5"}}),
                 out),
            0);
  EXPECT_FLOAT_EQ(r.lmb_dev(1), 0.02f);
  EXPECT_FLOAT_EQ(r.lmb_val(1), 1.5f);
  ASSERT_EQ(feed(pt_mangl_,
                 row("_chem_comp_angle", {{"comp_id", "TST"}, {"atom_id_1", "N"},
                                          {"value_angle_esd", "3.0"}, {"value_angle", "111.0"}}),
                 out),
            0);
  EXPECT_FLOAT_EQ(r.lmg_dev(1), 3.0f);
  EXPECT_FLOAT_EQ(r.lmg_val(1), 111.0f);
}

TEST_F(MonomerFillers, TorsionItemsIncludingLabelAndPeriod) {
  std::string out;
  ASSERT_EQ(feed(pt_mtors_,
                 row("_chem_comp_tor", {{"comp_id", "TST"}, {"id", "chi1"}, {"atom_id_1", "N"},
                                        {"atom_id_4", "1HB"}, {"value_angle", "60"},
                                        {"value_angle_esd", "15"}, {"period", "3"}}),
                 out),
            0);
  EXPECT_EQ(r.lmt_label(1), "chi1");
  EXPECT_EQ(r.lmt_4atm(1), "HB_1");
  EXPECT_EQ(r.lmt_prd(1), 3);
  EXPECT_EQ(r.lmt_2atm(1), ".");
}

TEST_F(MonomerFillers, ChiralCentreFirstThenItsAtoms) {
  std::string out;
  ASSERT_EQ(feed(pt_mchir_,
                 row("_chem_comp_chir", {{"comp_id", "TST"}, {"atom_id_centre", "CA"},
                                         {"atom_id_1", "N"}, {"atom_id_3", "CB"},
                                         {"volume_sign", "negativ"}}),
                 out),
            0);
  EXPECT_EQ(r.lmc_1atm(1), "CA");
  EXPECT_EQ(r.lmc_2atm(1), "N");
  EXPECT_EQ(r.lmc_4atm(1), "CB");
  EXPECT_EQ(r.lmc_3atm(1), ".");
  EXPECT_EQ(r.lmc_sign(1), "negativ");
  EXPECT_EQ(r.lmc_flag(1), "N");
}

TEST_F(MonomerFillers, PlaneAtomsGatherUnderTheirLabel) {
  std::string out;
  for (const char* a : {"C", "O", "N"})
    ASSERT_EQ(feed(pt_mplan_,
                   row("_chem_comp_plane_atom", {{"comp_id", "TST"}, {"plane_id", "pl1"},
                                                 {"atom_id", a}, {"dist_esd", "0.02"}}),
                   out),
              0);
  ASSERT_EQ(feed(pt_mplan_,
                 row("_chem_comp_plane_atom", {{"comp_id", "TST"}, {"plane_id", "pl2"},
                                               {"atom_id", "CB"}, {"dist_esd", "0.02"}}),
                 out),
            0);
  ASSERT_EQ(r.lmp_nplan, 2);
  EXPECT_EQ(r.lmp_natom(1), 3);
  EXPECT_EQ(r.lmp_atom(3, 1), "N");
  EXPECT_FLOAT_EQ(r.lmp_dev(3, 1), 0.02f);
  EXPECT_EQ(r.lmp_label(2), "pl2");
}

TEST_F(MonomerFillers, PlaneRowOfThreeValuesAddsNoAtom) {
  std::string out;
  ASSERT_EQ(feed(pt_mplan_,
                 row("_chem_comp_plane_atom", {{"comp_id", "TST"}, {"plane_id", "pl1"},
                                               {"atom_id", "C"}}),
                 out),
            0);
  EXPECT_EQ(r.lmp_nplan, 0);
}

TEST_F(MonomerFillers, PlaneOfAHundredAtomsRefusesTheNext) {
  std::string out;
  for (int k = 1; k <= MAXMAPL; ++k)
    ASSERT_EQ(feed(pt_mplan_,
                   row("_chem_comp_plane_atom", {{"comp_id", "TST"}, {"plane_id", "p"},
                                                 {"atom_id", "C"}, {"dist_esd", "0.02"}}),
                   out),
              0);
  EXPECT_EQ(feed(pt_mplan_,
                 row("_chem_comp_plane_atom", {{"comp_id", "TST"}, {"plane_id", "p"},
                                               {"atom_id", "C"}, {"dist_esd", "0.02"}}),
                 out),
            1);
  EXPECT_EQ(out,
            "  ERR: read number of plans atom for monomer TST      >   100/lib. limit/\n"
            "  Change parameter MAXMAPL in \"lib_com\"\n");
  EXPECT_EQ(r.lmp_natom(1), MAXMAPL);
}

TEST_F(MonomerFillers, ValuesOfARecordWithoutItsKeyWriteNowhere) {
  ASSERT_EQ(atom({{"comp_id", "TST"}, {"atom_id", "CA"}}), 0);
  std::string out;
  // The entry stays selected from the atom record; the chiral table is empty.
  ASSERT_EQ(feed(pt_mchir_, row("_chem_comp_chir", {{"id", "c1"}, {"atom_id_1", "N"}}), out), 0);
  EXPECT_EQ(r.lmc_nchir, 0);
  ASSERT_EQ(feed(pt_mbond_, row("_chem_comp_bond", {{"id", "b1"}, {"atom_id_1", "N"}}), out), 0);
  EXPECT_EQ(r.lmb_nbond, 0);
}

class TreeRows : public MonomerFillers {
 protected:
  void SetUp() override {
    MonomerFillers::SetUp();
    for (const char* a : {"N", "CA", "C"}) ASSERT_EQ(atom({{"comp_id", "TST"}, {"atom_id", a}}), 0);
  }
  int32_t tree(std::initializer_list<std::pair<const char*, const char*>> items,
               std::string* msgs = nullptr) {
    std::string out;
    const int32_t e = feed(pt_connect_, row("_chem_comp_tree", items), out);
    if (msgs) *msgs = out;
    return e;
  }
};

TEST_F(TreeRows, StartAndEndSetTheEndsOfTheTree) {
  ASSERT_EQ(tree({{"comp_id", "TST"}, {"atom_id", "N"}, {"atom_back", "n/a"},
                  {"atom_forward", "CA"}, {"connect_type", "START"}}),
            0);
  ASSERT_EQ(tree({{"comp_id", "TST"}, {"atom_id", "C"}, {"atom_back", "CA"},
                  {"atom_forward", "n/a"}, {"connect_type", "END"}}),
            0);
  EXPECT_EQ(r.lma_back(1), ".");
  EXPECT_EQ(r.lma_forw(1), "CA");
  EXPECT_EQ(r.lma_back(3), "CA");
  EXPECT_EQ(r.lma_forw(3), "END");
  EXPECT_EQ(r.lml_natm(1), 3);
}

TEST_F(TreeRows, DummyConnectionMarksTheAtom) {
  ASSERT_EQ(tree({{"comp_id", "TST"}, {"atom_id", "CA"}, {"atom_back", "N"},
                  {"connect_type", "DUMMY"}}),
            0);
  EXPECT_EQ(r.lma_type(2), "DUMMY");
}

TEST_F(TreeRows, AddRowIsAnExtraConnection) {
  ASSERT_EQ(tree({{"comp_id", "TST"}, {"atom_id", "C"}, {"atom_back", "N"},
                  {"back_type", "ring"}, {"connect_type", "ADD"}}),
            0);
  ASSERT_EQ(r.lmn_nconn, 1);
  EXPECT_EQ(r.lml_iconn(1), 1);
  EXPECT_EQ(r.lmn_1atm(1), "C");
  EXPECT_EQ(r.lmn_2atm(1), "N");
  EXPECT_EQ(r.lmn_type(1), "ring");
  EXPECT_EQ(r.lma_back(3), ".");
}

TEST_F(TreeRows, AtomMustBeTheSecondItem) {
  std::string msgs;
  EXPECT_EQ(tree({{"comp_id", "TST"}, {"atom_back", "N"}, {"atom_id", "CA"}}, &msgs), 1);
  EXPECT_EQ(msgs, "  ERR: item _chem_comp_tree.atom_id : must be second in the string\n");
}

TEST_F(MonomerFillers, DispatcherSkipsTreeAnglesTorsionsAndPlanesOfMinimalDescriptions) {
  r.lml_prsnt(1) = "M";
  std::string out;
  ASSERT_EQ(atom({{"comp_id", "TST"}, {"atom_id", "N"}}), 0);
  for (const char* cat : {"_chem_comp_angle", "_chem_comp_tor", "_chem_comp_plane_atom",
                          "_chem_comp_tree", "_chem_comp_bond", "_chem_comp_chir"})
    ASSERT_EQ(feed(put_mnlib_, row(cat, {{"comp_id", "TST"}, {"atom_id", "N"},
                                          {"atom_id_1", "N"}, {"x", "1"}}),
                   out),
              0)
        << cat;
  EXPECT_EQ(r.lmg_nangl, 0);
  EXPECT_EQ(r.lmt_ntors, 0);
  EXPECT_EQ(r.lmp_nplan, 0);
  EXPECT_EQ(r.lmb_nbond, 1);
  EXPECT_EQ(r.lmc_nchir, 1);
}

TEST_F(MonomerFillers, DispatcherSkipsTreesOfLaterPasses) {
  r.lml_pass(1) = 2;
  libcom.lb_pass = 2;
  ASSERT_EQ(atom({{"comp_id", "TST"}, {"atom_id", "N"}}), 0);
  std::string out;
  ASSERT_EQ(feed(put_mnlib_, row("_chem_comp_tree", {{"comp_id", "TST"}, {"atom_id", "N"},
                                                      {"connect_type", "START"}, {"x", "1"}}),
                 out),
            0);
  EXPECT_EQ(r.lma_back(1), ".");
  EXPECT_EQ(r.lma_type(1), ".");
  EXPECT_EQ(r.lma_natom, 1);
}

class ListFillers : public testing::Test {
 protected:
  void SetUp() override {
    init_cnt_();
    r.lml_nmon = r.lml_imon = r.lms_nsyn = r.ldr_nder = 0;
    libcom.lb_pass = 1;
    libcom.lb_numb_lib = 1;
  }
};

TEST_F(ListFillers, DuplicateCodeReusesTheEntryAndWarns) {
  std::string out;
  ASSERT_EQ(feed(pt_mlist_, row("_chem_comp", {{"id", "ALA"}, {"number_atoms_all", "10"},
                                               {"name", "first"}}),
                 out),
            0);
  ASSERT_EQ(feed(pt_mlist_, row("_chem_comp", {{"id", "ALA"}, {"name", "second"},
                                               {"desc_level", "m"}}),
                 out),
            0);
  EXPECT_EQ(out,
            "  WARNING: duplicated name of monomer ALA\n"
            "           Last entry will be used.\n");
  EXPECT_EQ(r.lml_nmon, 1);
  EXPECT_EQ(r.lml_name(1), "second");
  EXPECT_EQ(r.lml_natm(1), 10);
  EXPECT_EQ(r.lml_prsnt(1), "M");
  EXPECT_EQ(r.lml_mname2(1), "ALA");
}

TEST_F(ListFillers, ListStopsAtItsCapacityKeepingItsEntries) {
  std::string out;
  r.lml_nmon = MAXMLIST;
  EXPECT_EQ(feed(pt_mlist_, row("_chem_comp", {{"id", "NEW"}}), out), 1);
  EXPECT_EQ(out,
            "  ERROR: number of monomers >  5000 /lib. limit/\n"
            "  Change parameter MAXMLIST in \"lib_com\"\n");
  EXPECT_EQ(r.lml_nmon, MAXMLIST);
  EXPECT_EQ(r.lml_imon, 0);
}

TEST_F(ListFillers, IdMustBeFirst) {
  std::string out;
  EXPECT_EQ(feed(pt_mlist_, row("_chem_comp", {{"name", "x"}, {"id", "ALA"}}), out), 1);
  EXPECT_EQ(out, "  ERR: item _chem_comp.id : must be first in the string\n");
}

TEST_F(ListFillers, SynonymRowsOfBothCategories) {
  std::string out;
  ASSERT_EQ(feed(pt_msyn_, row("_chem_comp_synonym", {{"comp_id", "HOH"},
                                                      {"comp_alternative_id", "WAT"}}),
                 out),
            0);
  ASSERT_EQ(feed(pt_msyn_, row("_chem_comp_synonym_atom",
                               {{"comp_id", "ILE"}, {"atom_id", "CD1"},
                                {"atom_alternative_id", "1HB"}}),
                 out),
            0);
  ASSERT_EQ(r.lms_nsyn, 2);
  EXPECT_EQ(r.lms_amname(1), "WAT");
  EXPECT_EQ(r.lms_atom(1), ".");
  EXPECT_EQ(r.lms_flag(1), ".");
  EXPECT_EQ(r.lms_aatom(2), "1HB");  // synonym atom names are kept as written
}

TEST_F(ListFillers, SynonymOfTheSecondLibraryIsFlaggedN) {
  libcom.lb_pass = 2;
  std::string out;
  ASSERT_EQ(feed(pt_msyn_, row("_chem_comp_synonym", {{"comp_id", "HOH"}}), out), 0);
  EXPECT_EQ(r.lms_flag(1), "N");
}

TEST_F(ListFillers, DerivativeRow) {
  std::string out;
  ASSERT_EQ(feed(pt_mder_, row("_chem_comp_deriv", {{"comp_id", "MSE"},
                                                    {"source_comp_id", "MET"},
                                                    {"mod_id", "SE"},
                                                    {"group", "L-peptide"}}),
                 out),
            0);
  EXPECT_EQ(r.ldr_nder, 1);
  EXPECT_EQ(r.ldr_smname(1), "MET");
  EXPECT_EQ(r.ldr_mod(1), "SE");
  EXPECT_EQ(r.ldr_type(1), "L-peptide");
  EXPECT_EQ(r.ldr_name(1), ".");
  EXPECT_EQ(feed(pt_mder_, row("_chem_comp_deriv", {{"name", "x"}, {"comp_id", "MSE"}}), out), 1);
  EXPECT_EQ(out, "  ERR: item _chem_comp_deriv.comp_id : must be first in the string\n");
}

}  // namespace
