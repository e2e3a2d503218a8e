// Real entries through identification, the input links and the whole
// connectivity stage, as the dictionary-preparation pipeline runs them.
#include <gtest/gtest.h>

#include "connect/connect_driver.h"
#include "connect/input_links.h"
#include "entry_fixture.h"
#include "identify/pre_descr.h"

namespace {

struct Stage {
  int32_t ierr = -1;
  std::string out;
};

// Identification, then the links named in the input, then the driver.
Stage connect_entry(const std::string& entry, char chain_flag = 'N') {
  Stage s;
  std::string log;
  const int32_t read = conntest::read_entry(entry, &log);
  EXPECT_TRUE(read == 0 || read == 9) << log;  // 9: a model without a cell
  conntest::load_library();
  s.out = captured([&] {
    int32_t nmnew = 0, lib2 = 0, kerr = 0;
    rt::FixedText<1> flag("?");
    pre_descr_(0, ' ', 'Y', 'N', 'G', "?test", nmnew, flag, lib2, kerr, s.ierr);
    if (s.ierr != 0) return;
    char dnew = 'N';
    def_link_mod_(0, ' ', dnew, s.ierr);
    if (s.ierr != 0) return;
    check_descr_structure_(0, ' ', 'Y', 0.5f, 'Y', 'Y', 'Y', chain_flag, dnew, 'N', 'Y', 'Y', 'Y', 'N',
                           s.ierr);
  });
  return s;
}

TEST(WholeStage, EveryPeptideOfAnIdentifiedEntryIsLinkedTrans) {
  const Stage s = connect_entry("2BEG.pdb");
  ASSERT_EQ(s.ierr, 0) << s.out;
  EXPECT_EQ(conntest::residues_of_type(conntest::conn_code("TRANS")),
            resid_inf.n_residue - asym_part.n_group);
  EXPECT_EQ(link_inf.ln_n, 0);
  EXPECT_EQ(cif_entity_list.n_chn_ent, 1);
}

// The entry's two one-residue chains put their N atoms 1.49 A apart: two
// copies nearly at one place, which the stage links by distance.
TEST(WholeStage, OverlappingOneResidueChainsAreLinkedByDistance) {
  const Stage s = connect_entry("1SSU_mod.pdb", 'Y');
  ASSERT_EQ(s.ierr, 0) << s.out;
  ASSERT_EQ(asym_part.n_group, 2);
  EXPECT_EQ(asym_part.ich_type(1), 2);
  EXPECT_EQ(asym_part.ich_type(2), 2);
  ASSERT_EQ(link_inf.ln_n, 1);
  EXPECT_EQ(link_inf.ln_id(1).view(), "ASP-ASP ");
  EXPECT_NE(s.out.find("  WARNING : description of link:ASP-ASP  is not in the dictionary.\n"
                       "            link will be created with bond_lenth =   1.500\n"
                       "  WARNING : link:ASP-ASP  is found dist =     1.486"),
            std::string::npos)
      << s.out;
}

}  // namespace
