// The restraint stage's own break test of a peptide link: ALA177 and SER178
// of 1A8O with SER178's N moved along the line from ALA177's C until the
// two are a given length apart.  Within 1.3 times the trans link's ideal
// 1.329 A (1.728 A) the link is restrained; beyond it the link joins no
// bonded atoms and gives no records, whichever stage made it.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "dictionary/work_copies.h"
#include "model_fixture.h"
#include "restraints/link_restraints.h"
#include "restraints/rst_file.h"
#include "rst_reader.h"
#include "support/temp_dir.h"

namespace {

using LinkBreakLimit = rtest::EntryTest<>;

int32_t c_atom(int32_t natom, const auto& names, const char* name) {
  for (int32_t k = 1; k <= natom; ++k)
    if (names(k) == name) return k;
  return 0;
}

TEST_F(LinkBreakLimit, PeptideLinkIsRestrainedOnlyWithinTheBreakLimit) {
  comlib.iquiet = 0;
  comlib.idoc = 0;
  crdinf.cr_hflag = "N";
  const int32_t ala = rtest::residue('A', " 177 "), ser = rtest::residue('A', " 178 ");
  const struct {
    const char* label;
    float length;
    bool restrained;
  } rows[] = {
      {"1.72 A (1.294 times the ideal): bonded", 1.72f, true},
      {"1.74 A (1.309 times the ideal): a break", 1.74f, false},
      {"1.95 A (1.467 times the ideal): a break", 1.95f, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TempDir dir;
    rtest::write_rst_to(dir.path(), "lnk", 'F');
    crdrst_t& rs = crdrst;
    rs.rs_nbond = rs.rs_nangl = rs.rs_ntors = rs.rs_nchir = rs.rs_nplan = rs.rs_nbnds = 0;
    // ALA177 into C2, SER178 into C1, as the generator pairs them.
    ASSERT_EQ(rtest::prepare(ala), 0);
    int32_t ierr = 0;
    copyc2_(99, ierr);
    ASSERT_EQ(rtest::prepare(ser), 0);
    r_scratch_t& r = r_scratch;
    r.c2_iglobal = 100;
    r.c1_iglobal = 200;
    const int32_t c = c_atom(r.c2_natom, r.c2_aname, "C"), n = c_atom(r.c1_natom, r.c1_aname, "N");
    ASSERT_GT(c, 0);
    ASSERT_GT(n, 0);
    float d[3], now2 = 0.0f;
    for (int k = 0; k < 3; ++k) {
      d[k] = r.c1_xyz(k + 1, n) - r.c2_xyz(k + 1, c);
      now2 += d[k] * d[k];
    }
    const float f = row.length / std::sqrt(now2);
    for (int k = 0; k < 3; ++k) r.c1_xyz(k + 1, n) = r.c2_xyz(k + 1, c) + d[k] * f;

    wrt_rst_("TITL", 99, ierr);
    const std::string out =
        captured([&] { dscr_links_(0, ' ', "TRANS", 0, 'Y', 1, ala, 1, ser, ierr); });
    wrt_rst_("STOP", 99, ierr);
    const std::vector<rtest::Row> records = rtest::read_rows(dir.path() + "/lnk");
    int bonds = 0;
    for (const rtest::Row& rec : records) {
      if (rec.kind != "BOND") continue;
      ++bonds;
      EXPECT_NEAR(rec.vobs, row.length, 2e-3f);
    }
    if (row.restrained) {
      EXPECT_EQ(bonds, 1);
      EXPECT_EQ(out.find("too far apart"), std::string::npos) << out;
    } else {
      EXPECT_TRUE(records.empty()) << records.front().kind;
      EXPECT_NE(out.find("  WARNING : link:TRANS    atoms too far apart to bond, dist ="),
                std::string::npos)
          << out;
    }
  }
}

}  // namespace
