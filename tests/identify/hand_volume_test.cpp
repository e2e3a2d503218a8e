// The volume below which a graph rename does not hold the model's hand
// against the monomer's: arginine under another name, its CA moved through
// the plane of N, C and CB until the chiral volume there is just beyond or
// just short of 0.5 A^3 of the other sign.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "component.h"
#include "dictionary/lib_com.h"
#include "dictionary/monlib_fixture.h"
#include "identify/global_search.h"
#include "support/capture.h"

namespace {

struct Result {
  int32_t ierr = -1;
  std::string mon_new, flag, out;
};

Result run(const std::string& mon, char srch) {
  Result res;
  rt::FixedText<8> mon_new("?");
  rt::FixedText<1> flag("?");
  res.out =
      captured([&] { global_search_new_(0, 'L', mon, mon_new, flag, srch, 0, 1, 1, 1, res.ierr); });
  res.mon_new = mon_new.str();
  res.flag = flag.str();
  return res;
}

int c1_atom(const char* name) {
  for (int i = 1; i <= r_scratch.c1_natom; ++i)
    if (r_scratch.c1_aname(i) == name) return i;
  return 0;
}

// CA moved along the line to the centroid g of N, C and CB, to
// g + f (CA - g): the chiral volume at CA (N-CA, C-CA, CB-CA) scales by f,
// as the height of CA over the plane does.  Returns the new volume.
double move_ca(double f) {
  r_scratch_t& r = r_scratch;
  const int ca = c1_atom("CA"), at[3] = {c1_atom("N"), c1_atom("C"), c1_atom("CB")};
  double g[3];
  for (int j = 1; j <= 3; ++j) {
    g[j - 1] = (r.c1_xyz(j, at[0]) + r.c1_xyz(j, at[1]) + r.c1_xyz(j, at[2])) / 3.0;
    r.c1_xyz(j, ca) = static_cast<float>(g[j - 1] + f * (r.c1_xyz(j, ca) - g[j - 1]));
  }
  double v[3][3];
  for (int k = 0; k < 3; ++k)
    for (int j = 0; j < 3; ++j) v[k][j] = r.c1_xyz(j + 1, at[k]) - r.c1_xyz(j + 1, ca);
  return v[0][0] * (v[1][1] * v[2][2] - v[1][2] * v[2][1]) +
         v[0][1] * (v[1][2] * v[2][0] - v[1][0] * v[2][2]) +
         v[0][2] * (v[1][0] * v[2][1] - v[1][1] * v[2][0]);
}

class HandVolume : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string log;
    ASSERT_EQ(monlib::load(monlib::test_library(), log, 'S'), 0) << log;
  }
};

}  // namespace

TEST_F(HandVolume, RenameHoldsOnlyAHandBeyondHalfACubicAngstrom) {
  const struct {
    const char* label;
    double volume;  // of the opposite sign to the monomer's
    bool renamed;
  } rows[] = {
      {"0.49 A^3 of the other hand: as good as flat, renamed", 0.49, true},
      {"0.51 A^3 of the other hand: held against the monomer", 0.51, false},
  };
  for (const auto& row : rows) {
    for (const char srch : {'N', 'G'}) {
      SCOPED_TRACE(std::string(row.label) + ", search " + srch);
      comp::fill_c1(comp::load("ARG", {"OXT", "HXT", "H2"}), "XAR");
      const double ideal = move_ca(1.0);
      ASSERT_GT(ideal, 2.0);  // the L form, the monomer's positive sign
      const double got = move_ca(-row.volume / ideal);
      ASSERT_NEAR(got, -row.volume, 1e-3);
      const Result r = run("XAR", srch);
      EXPECT_EQ(r.ierr, 0);
      if (row.renamed) {
        EXPECT_EQ(r.mon_new, "ARG     ");
        EXPECT_EQ(r.flag, "N");
        EXPECT_EQ(r.out.find("the model's hand"), std::string::npos) << r.out;
      } else {
        EXPECT_EQ(r.mon_new, "        ");
        EXPECT_EQ(r.flag, "Y");
        EXPECT_NE(r.out.find("the model's hand at \"CA  \" is not that of ARG"), std::string::npos)
            << r.out;
      }
    }
  }
}
