// The restraint-generation driver on its own: a stop on a fatal model error
// leaves no output file behind that looks whole, and a run without the
// restraint file opens none and prints the short summary.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"
#include "restraints/creat_descr.h"
#include "support/capture.h"
#include "support/temp_dir.h"

namespace {

class CreatDescr : public ::testing::Test {
 protected:
  void SetUp() override {
    int32_t ierr = 0;
    init_atm_inf_(99, ierr);
    set_cif_types_();
    comlib.iquiet = 0;
    comlib.idoc = 0;
    base_ = dir_.file("out");
    initcrd_(99, "in.pdb", "", base_, "", base_, "", base_, 'A', 'Y', ierr);
    ASSERT_EQ(ierr, 0);
  }
  bool exists(std::string_view ext) const { return std::filesystem::exists(base_ + "." + std::string(ext)); }

  TempDir dir_;
  std::string base_;
};

TEST_F(CreatDescr, AModelWithoutChainsStopsAndRemovesItsUnfinishedFiles) {
  asym_part.n_group = 0;
  int32_t ierr = -1;
  const std::string out = captured([&] { creat_descr_(0, ' ', 'A', 0.0f, 0.5f, 'Y', 'Y', 'N', ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_NE(out.find("  ERROR: N-chains = 0\n"), std::string::npos) << out;
  EXPECT_NE(out.find("unfinished file removed: " + base_ + ".rst"), std::string::npos) << out;
  EXPECT_FALSE(exists("crd"));
  EXPECT_FALSE(exists("str"));
  EXPECT_FALSE(exists("rst"));
}

TEST_F(CreatDescr, ABrokenResidueTreeStopsWithItsMessage) {
  asym_part.n_group = 1;
  asym_part.nres_chain(1) = 1;
  asym_part.ires_first(1) = 1;
  asym_part.ires_start_tree(1) = 0;
  asym_part.ires_end_tree(1) = 1;
  resid_inf.n_residue = 1;
  int32_t ierr = -1;
  const std::string out = captured([&] { creat_descr_(0, ' ', 'N', 0.0f, 0.5f, 'Y', 'Y', 'N', ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_NE(out.find("  ERROR: wrong tree structure ...\n"), std::string::npos) << out;
  EXPECT_FALSE(exists("crd"));
  EXPECT_FALSE(exists("rst"));
}

}  // namespace
