// The restraint walk over a chain in which one residue cannot be described
// (SER178 of 1A8O renamed to a monomer the library lacks, so the walk
// drops it): the residues either side are described, and no link
// joins them across the dropped one.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "foundation/atom_com.h"
#include "model_fixture.h"
#include "restraints/creat_descr.h"
#include "support/temp_dir.h"

namespace {

std::string text_of(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The walk over 1A8O with SER178 renamed XYZ: its output, the restraint
// file and the status.
struct Dropped {
  std::string out, rst;
  int32_t ierr = -1;
};

Dropped walk_with_one_dropped() {
  Dropped d;
  rtest::load_library();
  rtest::read_entry("1A8O.pdb");
  comlib.iquiet = 0;
  comlib.idoc = 0;
  const int32_t before = rtest::residue('A', " 177 ");
  const int32_t dropped = rtest::residue('A', " 178 ");
  const int32_t after = rtest::residue('A', " 179 ");
  EXPECT_GT(dropped, 0);
  EXPECT_EQ(resid_inf.ires_forw(before), dropped);
  EXPECT_EQ(resid_inf.ires_forw(dropped), after);
  if (dropped < 1) return d;
  // The chain links as the connection stage makes them: TRANS throughout.
  const int32_t ig = resid_inf.i_chain(dropped);
  for (int32_t ir = asym_part.ires_start_tree(ig); ir > 0 && ir != asym_part.ires_end_tree(ig);) {
    ir = resid_inf.ires_forw(ir);
    if (ir > 0) resid_inf.iconn_type(ir) = 2;
  }
  resid_inf.res_name(dropped) = "XYZ";

  TempDir dir;
  const std::string base = dir.file("out");
  int32_t ierr = 0;
  captured([&] { initcrd_(99, "in.pdb", "", base, "", base, "", base, 'A', 'Y', ierr); });
  EXPECT_EQ(ierr, 0);
  d.out = captured([&] { creat_descr_(0, ' ', 'A', 0.0f, 0.5f, 'Y', 'N', 'N', d.ierr); });
  d.rst = text_of(base + ".rst");
  // Later tests read their entries again.
  resid_inf.res_name(dropped) = "SER";
  return d;
}

}  // namespace

TEST(DroppedResidue, LeavesAGapOnEachSideAndNoLinkAcrossIt) {
  const Dropped d = walk_with_one_dropped();
  const std::string& rst = d.rst;
  const std::string& out = d.out;

  // Both neighbours are described, the one after as a fragment start.
  EXPECT_NE(rst.find("data_restr_ALA______0177-_Aa"), std::string::npos) << rst.substr(0, 2000);
  EXPECT_NE(rst.find("data_restr_GLN______0179-_Aa"), std::string::npos);
  EXPECT_EQ(rst.find("data_restr_XYZ______0178"), std::string::npos);
  // No link reaches the dropped residue or spans it, and nothing was
  // measured between atoms of residues the link does not join.
  EXPECT_EQ(rst.find("_0178-_Aa  -"), std::string::npos);
  EXPECT_EQ(rst.find("-_Aa  -GLN______0179"), std::string::npos);
  EXPECT_EQ(out.find("too far apart"), std::string::npos) << out;
  EXPECT_EQ(out.find("far from the model"), std::string::npos) << out;
  // The link after the gap is there again.
  EXPECT_NE(rst.find("_0179-_Aa  -"), std::string::npos);
}

// The run fails, and its last line names the first residues it left out:
// the selenomethionines, which the test library lacks, and XYZ.
TEST(DroppedResidue, EndsTheRunWithAnErrorLineNamingTheResidues) {
  const Dropped d = walk_with_one_dropped();
  EXPECT_EQ(d.ierr, 1);
  const std::string want =
      "\n  ERROR: not every residue and link is described: MSE 151 AA has no description; "
      "XYZ 178 Aa has no description; MSE 185 Ab has no description; and 2 more\n";
  ASSERT_GE(d.out.size(), want.size()) << d.out;
  EXPECT_EQ(d.out.substr(d.out.size() - want.size()), want) << d.out;
}
