// Known modification records and the room of the modification tables.
#include <gtest/gtest.h>

#include "connect/mod_records.h"
#include "dictionary/lib_com.h"
#include "foundation/cif_vocab.h"
#include "support/capture.h"

namespace {

class ModRecords : public ::testing::Test {
 protected:
  void SetUp() override {
    set_cif_types_();
    r_scratch.ldl_nmod = 2;
    r_scratch.ldl_mname(1) = "RNA-O2*";
    r_scratch.ldl_mname(2) = "DEL-OXT";
  }
  void TearDown() override { r_scratch.ldl_nmod = 0; }
  rt::FixedText<8> mod{"x"};
  int32_t imod = -1, ierr = -1;
};

TEST_F(ModRecords, PeptideOxtDeletionFindsTheLibraryEntry) {
  look_modrec_("DEL", 3, "DEL-OXT_", imod, mod, ierr);
  EXPECT_EQ(mod.view(), "DEL-OXT ");
  EXPECT_EQ(imod, 2);
  EXPECT_EQ(ierr, 0);
}

TEST_F(ModRecords, RecordWithoutLibraryEntryGivesItsNameAndNoIndex) {
  r_scratch.ldl_nmod = 1;
  look_modrec_("DEL", 3, "DEL-OXT_", imod, mod, ierr);
  EXPECT_EQ(mod.view(), "DEL-OXT ");
  EXPECT_EQ(imod, 0);
}

TEST_F(ModRecords, LeadingPartOfTheKeyMatchesOnlyForItsResidueType) {
  look_modrec_("DEL", 3, "DEL-O", imod, mod, ierr);
  EXPECT_EQ(mod.view(), "DEL-OXT ");
  look_modrec_("DEL", 4, "DEL-O", imod, mod, ierr);
  EXPECT_EQ(mod.view(), "        ");
  EXPECT_EQ(imod, 0);
}

TEST_F(ModRecords, BlankDescriptionGivesNothing) {
  look_modrec_("DEL", 5, "   ", imod, mod, ierr);
  EXPECT_EQ(mod.view(), "        ");
  EXPECT_EQ(imod, 0);
}

TEST(ModificationRoom, FirstFullTableIsReportedAlone) {
  int32_t ierr = -1;
  const std::string out = captured([&] { check_memory_l_(0, "MOD", 9000, 9000, 0, 0, 0, ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(out, "  ERROR: number of atoms for the modifications >  9000\n"
                 "         Change parameter MAXDATM in \"lib_com.fh\"\n");
  EXPECT_EQ(captured([&] { check_memory_l_(0, "MOD", 0, 0, 18000, 0, 0, ierr); }),
            "  ERROR: number of angles for the modifications > 18000\n"
            "         Change parameter MAXDANG in \"lib_com.fh\"\n");
}

TEST(ModificationRoom, LastFreeRowPassesAndOtherTablesAreNotTested) {
  int32_t ierr = -1;
  check_memory_l_(0, "MOD", 8999, 8999, 17999, 99999, 99999, ierr);
  EXPECT_EQ(ierr, 0);
  check_memory_l_(0, "LNK", 9000, 9000, 18000, 0, 0, ierr);
  EXPECT_EQ(ierr, 0);
}

}  // namespace
