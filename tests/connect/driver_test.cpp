// The connectivity driver over a whole entry: the stages it runs, its
// silent mode and its trace, and where a failing stage stops it.
#include <gtest/gtest.h>

#include "connect/connect_driver.h"
#include "connect/input_links.h"
#include "entry_fixture.h"

namespace {

struct StageRun {
  int32_t ierr = -1;
  char dnew = '?';
  std::string out;
};

StageRun run(int32_t mdoc, char list, char conn = 'Y', char lnk = 'Y', char chain = 'N') {
  StageRun r;
  r.out = captured([&] {
    check_descr_structure_(mdoc, list, 'Y', 0.5f, conn, 'Y', lnk, chain, r.dnew, 'N', 'Y', 'Y',
                           'N', 'N', r.ierr);
  });
  return r;
}

TEST(ConnectivityDriver, WholeEntryLinksEveryPeptideSilently) {
  ASSERT_EQ(conntest::read_entry("2BEG.pdb"), 0);
  conntest::load_library();
  const StageRun r = run(0, 'S');
  EXPECT_EQ(r.ierr, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.dnew, 'N');
  EXPECT_EQ(conntest::residues_of_type(conntest::conn_code("TRANS")),
            resid_inf.n_residue - asym_part.n_group);
  EXPECT_EQ(cif_entity_list.n_chn_ent, 1);  // five copies of one chain
}

TEST(ConnectivityDriver, WithoutLinkStagesChainsStayAsRead) {
  ASSERT_EQ(conntest::read_entry("2BEG.pdb"), 0);
  conntest::load_library();
  const int groups = asym_part.n_group;
  resid_inf.iconn_type(2) = 1;  // as no consecutive-link stage would leave it
  const StageRun r = run(0, ' ', '0', '0');
  EXPECT_EQ(r.ierr, 0);
  EXPECT_EQ(asym_part.n_group, groups);
  EXPECT_EQ(resid_inf.iconn_type(2), 1);
  EXPECT_EQ(link_inf.ln_n, 0);
}

TEST(ConnectivityDriver, ForcedChainStageRebuildsTheSameChains) {
  ASSERT_EQ(conntest::read_entry("2BEG.pdb"), 0);
  conntest::load_library();
  const StageRun r = run(0, 'S', 'Y', 'Y', 'Y');
  EXPECT_EQ(r.ierr, 0);
  ASSERT_EQ(asym_part.n_group, 5);
  for (int g = 1; g <= 5; ++g) {
    EXPECT_EQ(asym_part.nres_chain(g), 26) << g;
    EXPECT_EQ(asym_part.ich_type(g), 3) << g;
  }
}

TEST(ConnectivityDriver, TraceCountLineIsWrittenWhateverTheCode) {
  ASSERT_EQ(conntest::read_entry("2BEG.pdb"), 0);
  conntest::load_library();
  const StageRun r = run(99, 'T', '0', '0');
  // The entity listing of the trace follows on standard output too.
  EXPECT_EQ(r.out.rfind(" --> nsug:  0 5\n", 0), 0u) << r.out;
}

TEST(ConnectivityDriver, EmptyModelStopsAtTheFirstStage) {
  int32_t ierr = 0;
  init_atm_inf_(0, ierr);
  const StageRun r = run(0, ' ');
  EXPECT_EQ(r.ierr, 1);
  EXPECT_EQ(r.out, " ERROR: in \"DEF_SPEC_POS\", N_GROUP or N_ATOM = 0\n");
  EXPECT_EQ(cif_entity_list.n_chn_ent, 0);
}

}  // namespace
