// The modification and link fillers fed record by record: keys, full lists,
// rows spread over blocks, planes built atom by atom.
#include <gtest/gtest.h>

#include "dictionary/lib_com.h"
#include "dictionary/libcom.h"
#include "dictionary/link_fillers.h"
#include "dictionary/mod_fillers.h"
#include "filler_rows.h"

namespace {

using fill::feed;
using fill::row;
r_scratch_t& r = r_scratch;

class ModLinkFillers : public testing::Test {
 protected:
  void SetUp() override {
    setenv("ATOMSF", ORB_DATA_DIR "/atomsf.lib", 0);
    init_cnt_();
    r.ldl_nmod = r.ldl_imod = r.lll_nlink = r.lll_ilink = r.lsf_nasymb = 0;
    libcom.lb_pass = 1;
    libcom.lb_numb_lib = 1;
  }
  void mods(int n) {
    std::string out;
    for (int k = 1; k <= n; ++k)
      ASSERT_EQ(feed(pt_mdlist_, row("_chem_mod", {{"id", ('M' + std::to_string(k)).c_str()},
                                                   {"comp_id", "ALA"}, {"name", "mod"}}),
                     out),
                0);
  }
  void links(int n) {
    std::string out;
    for (int k = 1; k <= n; ++k)
      ASSERT_EQ(feed(pt_lnlist_, row("_chem_link", {{"id", ('L' + std::to_string(k)).c_str()},
                                                    {"comp_id_1", "CYS"}, {"mod_id_2", "DEL"},
                                                    {"group_comp_1", "peptide"}}),
                     out),
                0);
  }
};

TEST_F(ModLinkFillers, ModificationListTakesItsItems) {
  mods(2);
  EXPECT_EQ(r.ldl_nmod, 2);
  EXPECT_EQ(r.ldl_mname(2), "M2");
  EXPECT_EQ(r.ldl_comp(2), "ALA");
  EXPECT_EQ(r.ldl_detail(2), "mod");
  EXPECT_EQ(r.ldl_fuse(2), "N");
}

TEST_F(ModLinkFillers, TheThreeHundredAndFirstModificationKeepsTheList) {
  mods(MAXDMDF);
  std::string out;
  EXPECT_EQ(feed(pt_mdlist_, row("_chem_mod", {{"id", "EXTRA"}}), out), 1);
  EXPECT_EQ(out,
            "  ERR: number of modifications >   300 /lib. limit/\n"
            "  Change parameter MAXDMDF in \"lib_com\"\n");
  EXPECT_EQ(r.ldl_nmod, MAXDMDF);
  EXPECT_EQ(r.ldl_mname(MAXDMDF), "M300");
}

TEST_F(ModLinkFillers, TheThreeHundredAndFirstLinkKeepsTheList) {
  links(MAXLLNK);
  std::string out;
  EXPECT_EQ(feed(pt_lnlist_, row("_chem_link", {{"id", "EXTRA"}}), out), 1);
  EXPECT_EQ(out,
            "  ERR: number of links >   300 /lib. limit/\n"
            "  Change parameter MAXLLNK in \"lib_com\"\n");
  EXPECT_EQ(r.lll_nlink, MAXLLNK);
}

TEST_F(ModLinkFillers, LinkListTakesItsItems) {
  links(1);
  EXPECT_EQ(r.lll_mon1(1), "CYS");
  EXPECT_EQ(r.lll_mon2(1), ".");
  EXPECT_EQ(r.lll_mod2(1), "DEL");
  EXPECT_EQ(r.lll_type1(1), "peptide");
}

TEST_F(ModLinkFillers, RowsOfTheSecondLibraryAreFlaggedC) {
  libcom.lb_pass = 2;
  mods(1);
  links(1);
  EXPECT_EQ(r.ldl_fuse(1), "C");
  EXPECT_EQ(r.lll_fuse(1), "C");
}

TEST_F(ModLinkFillers, DescriptionRowsWithoutAListAreIgnored) {
  std::string out;
  EXPECT_EQ(feed(put_mdlib_, row("_chem_mod_atom", {{"mod_id", "M1"}, {"atom_id", "N"}}), out), 0);
  EXPECT_EQ(feed(put_lnlib_, row("_chem_link_bond", {{"link_id", "L1"}}), out), 0);
  EXPECT_EQ(out, "");
  EXPECT_EQ(r.lda_natom, 0);
  EXPECT_EQ(r.llb_nbond, 0);
}

TEST_F(ModLinkFillers, ModificationKeyNotFirstIsRefused) {
  mods(1);
  std::string out;
  EXPECT_EQ(feed(put_mdlib_, row("_chem_mod_bond", {{"atom_id_1", "N"}, {"mod_id", "M1"}}), out),
            1);
  EXPECT_EQ(out, "  ERR: item _chem_mod_bond.mod_id :M1       must be first in the string\n");
}

TEST_F(ModLinkFillers, UnknownModificationIsReportedWithItsBlock) {
  mods(1);
  std::string out;
  EXPECT_EQ(feed(put_mdlib_, row("_chem_mod_atom", {{"mod_id", "NONE"}}), out, "data_mod_NONE"), 1);
  EXPECT_EQ(out,
            "  ERR: item _chem_mod_atom.mod_id :NONE     not found in the list of modifications\n"
            "  BLOCK :data_mod_NONE\n");
}

TEST_F(ModLinkFillers, ValuesOfARecordWithoutItsKeyWriteNowhere) {
  mods(1);
  links(1);
  std::string out;
  // The list fillers leave a modification and a link current; the
  // description tables are still empty.
  ASSERT_EQ(feed(put_mdlib_, row("_chem_mod_atom", {{"x", "1"}, {"atom_id", "N"}}), out), 0);
  ASSERT_EQ(feed(put_lnlib_, row("_chem_link_bond", {{"x", "1"}, {"atom_id_1", "N"}}), out), 0);
  EXPECT_EQ(r.lda_natom, 0);
  EXPECT_EQ(r.llb_nbond, 0);
}

TEST_F(ModLinkFillers, ModificationAtomRowWithElementCheck) {
  mods(2);
  std::string out;
  ASSERT_EQ(feed(put_mdlib_, row("_chem_mod_atom", {{"mod_id", "M2"}, {"function", "add"},
                                                    {"atom_id", "."}, {"new_atom_id", "H2"},
                                                    {"new_type_symbol", "H"},
                                                    {"new_type_energy", "HN"},
                                                    {"new_partial_charge", "0.25"}}),
                 out),
            0);
  EXPECT_EQ(r.ldl_iatom(2), 1);
  EXPECT_EQ(r.lda_mname(1), "M2");
  EXPECT_EQ(r.lda_funct(1), "add");
  EXPECT_EQ(r.lda_anew(1), "H2");
  EXPECT_EQ(r.lda_symb(1), "H");
  EXPECT_FLOAT_EQ(r.lda_charg(1), 0.25f);
  EXPECT_EQ(r.lsf_nasymb, 1);
}

TEST_F(ModLinkFillers, ModificationEsdIsNotTakenForTheValue) {
  mods(1);
  std::string out;
  ASSERT_EQ(feed(put_mdlib_, row("_chem_mod_bond", {{"mod_id", "M1"}, {"function", "change"},
                                                    {"new_value_dist_esd", "0.02"},
                                                    {"new_value_dist", "1.25"}}),
                 out),
            0);
  EXPECT_FLOAT_EQ(r.ldb_dev(1), 0.02f);
  EXPECT_FLOAT_EQ(r.ldb_val(1), 1.25f);
  ASSERT_EQ(feed(put_mdlib_, row("_chem_mod_tree", {{"mod_id", "M1"}, {"atom_id", "H2"},
                                                    {"atom_back", "N"},
                                                    {"atom_forward", "n/a"}}),
                 out),
            0);
  EXPECT_EQ(r.ldn_forw(1), ".");
  EXPECT_EQ(r.ldn_back(1), "N");
}

TEST_F(ModLinkFillers, ModificationPlaneRowOfFourItemsStoresNoAtom) {
  mods(1);
  std::string out;
  ASSERT_EQ(feed(put_mdlib_, row("_chem_mod_plane_atom", {{"mod_id", "M1"}, {"plane_id", "p"},
                                                          {"function", "add"},
                                                          {"atom_id", "C"}}),
                 out),
            0);
  EXPECT_EQ(r.ldp_nplan, 0);
  ASSERT_EQ(feed(put_mdlib_, row("_chem_mod_plane_atom", {{"mod_id", "M1"}, {"plane_id", "p"},
                                                          {"function", "add"},
                                                          {"atom_id", "C"},
                                                          {"new_dist_esd", "0.02"}}),
                 out),
            0);
  EXPECT_EQ(r.ldp_nplan, 1);
  EXPECT_EQ(r.ldp_atom(1, 1), "C");
}

TEST_F(ModLinkFillers, LinkBondWithMonomerNumbers) {
  links(2);
  std::string out;
  ASSERT_EQ(feed(put_lnlib_, row("_chem_link_bond", {{"link_id", "L2"}, {"atom_1_comp_id", "1"},
                                                     {"atom_id_1", "SG"},
                                                     {"atom_2_comp_id", "2"},
                                                     {"atom_id_2", "SG"}, {"type", "single"},
                                                     {"value_dist_esd", "0.02"},
                                                     {"value_dist", "2.03"}}),
                 out),
            0);
  EXPECT_EQ(r.lll_ibond(2), 1);
  EXPECT_EQ(r.llb_lname(1), "L2");
  EXPECT_EQ(r.llb_f2atm(1), 2);
  EXPECT_FLOAT_EQ(r.llb_val(1), 2.03f);
  EXPECT_FLOAT_EQ(r.llb_dev(1), 0.02f);
}

// The restraint numbers of link and modification rows: read with their
// uncertainty, "." and "?" as 0 (a modification row that deletes gives
// none), refused when no number, an esd below 0 or too large for the
// written fields, naming the link or modification, the atoms and the item.
TEST_F(ModLinkFillers, RestraintNumbersAreReadOrRefused) {
  struct Case {
    const char* label;
    const char* category;
    const char* key;
    const char* item;
    const char* value;
    const char* error;  // nullptr: read as `read`
    float read;
  } cases[] = {
      {"link length with uncertainty", "_chem_link_bond", "link_id", "value_dist", "2.03(2)",
       nullptr, 2.03f},
      {"link length dot", "_chem_link_bond", "link_id", "value_dist", ".", nullptr, 0.0f},
      {"link length letters", "_chem_link_bond", "link_id", "value_dist", "abc",
       "link L1, atoms SG SG: _chem_link_bond.value_dist \"abc\" is not a number", 0},
      {"link esd below 0", "_chem_link_bond", "link_id", "value_dist_esd", "-0.02",
       "link L1, atoms SG SG: _chem_link_bond.value_dist_esd \"-0.02\" is below 0", 0},
      {"modification length dot", "_chem_mod_bond", "mod_id", "new_value_dist", ".", nullptr,
       0.0f},
      {"modification length too large", "_chem_mod_bond", "mod_id", "new_value_dist", "1e30",
       "modification M1, atoms SG SG: _chem_mod_bond.new_value_dist \"1e30\" is too large for "
       "its field (-999.999 to 9999.999)",
       0},
      {"modification esd nan", "_chem_mod_bond", "mod_id", "new_value_dist_esd", "nan",
       "modification M1, atoms SG SG: _chem_mod_bond.new_value_dist_esd \"nan\" is not a number",
       0},
  };
  for (const Case& c : cases) {
    SetUp();
    mods(1);
    links(1);
    const bool link = std::string(c.key) == "link_id";
    std::string out;
    const int32_t status =
        feed(link ? put_lnlib_ : put_mdlib_,
             row(c.category, {{c.key, link ? "L1" : "M1"}, {"atom_id_1", "SG"},
                              {"atom_id_2", "SG"}, {c.item, c.value}}),
             out);
    if (c.error == nullptr) {
      ASSERT_EQ(status, 0) << c.label << out;
      EXPECT_FLOAT_EQ(link ? r.llb_val(1) : r.ldb_val(1), c.read) << c.label;
    } else {
      EXPECT_EQ(status, 1) << c.label;
      EXPECT_EQ(out, std::string(" ERROR: library file ?, ") + c.error + "\n") << c.label;
    }
  }
}

TEST_F(ModLinkFillers, LinkRowsOverSeveralBlocksKeepTheFirstPointer) {
  links(2);
  std::string out;
  ASSERT_EQ(feed(put_lnlib_, row("_chem_link_angle", {{"link_id", "L1"}}), out), 0);
  ASSERT_EQ(feed(put_lnlib_, row("_chem_link_angle", {{"link_id", "L2"}}), out), 0);
  ASSERT_EQ(feed(put_lnlib_, row("_chem_link_angle", {{"link_id", "L1"}, {"atom_id_3", "CA"},
                                                      {"atom_3_comp_id", "2"}}),
                 out, "data_link_L1b"),
            0);
  EXPECT_EQ(r.lll_ithet(1), 1);
  EXPECT_EQ(r.lll_ithet(2), 2);
  EXPECT_EQ(r.llg_3atm(3), "CA");
  EXPECT_EQ(r.llg_f3atm(3), 2);
}

TEST_F(ModLinkFillers, LinkKeyNotFirstIsRefused) {
  links(1);
  std::string out;
  EXPECT_EQ(feed(put_lnlib_, row("_chem_link_tor", {{"atom_id_1", "C"}, {"link_id", "L1"}}), out),
            1);
  EXPECT_EQ(out, "  ERR: item _chem_link_tor.link_id :L1       must be first in the string\n");
  EXPECT_EQ(r.lll_ilink, 0);
}

TEST_F(ModLinkFillers, LinkPlaneRowOfFourItemsStoresNoAtom) {
  links(1);
  std::string out;
  ASSERT_EQ(feed(put_lnlib_, row("_chem_link_plane", {{"link_id", "L1"}, {"plane_id", "p"},
                                                      {"atom_comp_id", "1"}, {"atom_id", "C"}}),
                 out),
            0);
  EXPECT_EQ(r.llp_nplan, 0);
}

TEST_F(ModLinkFillers, LinkPlaneOfFiftyAtomsRefusesTheNext) {
  links(1);
  std::string out;
  for (int k = 0; k <= MAXLAPL; ++k)
    feed(put_lnlib_, row("_chem_link_plane", {{"link_id", "L1"}, {"plane_id", "p"},
                                              {"atom_comp_id", "2"}, {"atom_id", "C"},
                                              {"dist_esd", "0.02"}}),
         out);
  EXPECT_EQ(out,
            "  ERR: read number of plans atom for link: L1        >    50 /lib. limit/\n"
            "  Change parameter MAXLAPL in \"lib_com\"\n");
  EXPECT_EQ(r.llp_natom(1), MAXLAPL);
  EXPECT_EQ(r.llp_fatom(1, 1), 2);
}

TEST_F(ModLinkFillers, LinkChiralCentreIsTheFirstAtom) {
  links(1);
  std::string out;
  ASSERT_EQ(feed(put_lnlib_, row("_chem_link_chir", {{"link_id", "L1"},
                                                     {"atom_centre_comp_id", "2"},
                                                     {"atom_id_centre", "C1"},
                                                     {"atom_id_1", "ND2"},
                                                     {"atom_1_comp_id", "1"},
                                                     {"volume_sign", "positiv"}}),
                 out),
            0);
  EXPECT_EQ(r.llc_1atm(1), "C1");
  EXPECT_EQ(r.llc_f1atm(1), 2);
  EXPECT_EQ(r.llc_2atm(1), "ND2");
  EXPECT_EQ(r.llc_f2atm(1), 1);
  EXPECT_EQ(r.llc_sign(1), "positiv");
}

}  // namespace
