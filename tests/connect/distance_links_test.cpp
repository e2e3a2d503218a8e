// Links by distance: disulfides, metal sites, a sugar on an asparagine, the
// atoms that never link, input links taking precedence, the order links
// enter the table, and models that strain the search.
#include <gtest/gtest.h>

#include "connect/distance_links.h"
#include "connect/input_links.h"
#include "entry_fixture.h"
#include "model_builder.h"

namespace {

using conntest::Model;

struct Result {
  int32_t ierr = -1, nsug = 0;
  char dnew = 'N';
  std::string out;
};

Result find_links(char lnk = 'Y', char ss = 'Y', char sugar = 'Y') {
  Result r;
  const int32_t n_init = link_inf.ln_n;
  r.out = captured([&] { def_link_new_(0, ' ', lnk, ss, sugar, n_init, r.dnew, r.nsug, r.ierr); });
  return r;
}

// Two cysteines of different chains whose SG atoms are 2.05 A apart.
void disulfide(Model& m, char alt1 = '.', char alt2 = '.') {
  m.residue("CYS", 3, 'A', 1, {{"CB", -1.5f, 0, 0}, {"SG", 0, 0, 0, "S", 1.0f, alt1}});
  m.residue("CYS", 3, 'B', 7, {{"SG", 2.05f, 0, 0, "S", 1.0f, alt2}, {"CB", 3.5f, 0, 0}});
}

TEST(DistanceLinks, DisulfideIsEnteredWithItsModifications) {
  Model m;
  disulfide(m);
  conntest::load_library();
  const Result r = find_links();
  EXPECT_EQ(r.ierr, 0);
  ASSERT_EQ(link_inf.ln_n, 1);
  EXPECT_EQ(link_inf.ln_id(1).view(), "SS      ");
  EXPECT_EQ(link_inf.ln_atom1(1).view(), "SG   ");
  ASSERT_EQ(mod_inf.mod_n, 2);
  EXPECT_EQ(mod_inf.mod_id(1).view(), "DEL-HG  ");
  EXPECT_EQ(r.out, "  WARNING : link:SS       is found dist =     2.050 ideal_dist=     2.030\n"
                   "            ch:A    res:   1  CYS      at:SG  .->B    res:   7  CYS      at:SG  .\n");
}

TEST(DistanceLinks, DisulfideFlagNReportsWithoutEntering) {
  Model m;
  disulfide(m);
  conntest::load_library();
  const Result r = find_links('Y', 'N');
  EXPECT_EQ(link_inf.ln_n, 0);
  EXPECT_EQ(r.out, "  INFO:     link is found (not be used) dist=   2.050 ideal_dist=   2.030\n"
                   "            ch:A    res:   1  CYS      at:SG  .->ch:B    res:   7  CYS      at:SG  .\n");
}

TEST(DistanceLinks, DifferentAlternatesNeverLinkAnAlternateWithNoneCan) {
  Model m;
  disulfide(m, 'A', 'B');
  conntest::load_library();
  find_links();
  EXPECT_EQ(link_inf.ln_n, 0);
  Model m2;
  disulfide(m2, 'A', '.');
  conntest::load_library();
  find_links();
  EXPECT_EQ(link_inf.ln_n, 1);
}

TEST(DistanceLinks, InputLinkIsMatchedNotDuplicated) {
  Model m;
  disulfide(m);
  m.link("SS", 1, "SG", 2, "SG", 2.05f);
  conntest::load_library();
  const Result r = find_links();
  EXPECT_EQ(link_inf.ln_n, 1);
  EXPECT_EQ(link_inf.ln_id(1).view(), "SS      ");
  EXPECT_EQ(mod_inf.mod_n, 2);
  EXPECT_NE(r.out.find("  WARNING : link:SS       is found"), std::string::npos);
}

TEST(DistanceLinks, SugarOnAsparagineTakesTheLibraryLink) {
  Model m;
  m.residue("ASN", 3, 'A', 40, {{"CG", -1.3f, 0, 0}, {"ND2", 0, 0, 0, "N"}});
  m.residue("NAG", 7, 'B', 1, {{"C1", 1.45f, 0, 0}, {"O5", 2.0f, 1.3f, 0, "O"}});
  conntest::load_library();
  const Result r = find_links('Y', 'Y', 'S');
  ASSERT_EQ(link_inf.ln_n, 1) << r.out;
  EXPECT_EQ(link_inf.ln_id(1).view(), "NAG-ASN ");
  EXPECT_EQ(r.nsug, 0);  // one sugar end only
  EXPECT_EQ(mod_inf.mod_n, 2);
}

// Zinc sites in chains B and C, bound to the second and first aspartate of
// chain A: the pairs of chains A and B come before those of A and C.
TEST(DistanceLinks, MetalSitesEnterInChainPairOrderWithANewDescription) {
  Model m;
  m.residue("ASP", 3, 'A', 1, {{"OD1", 0, 0, 0, "O"}, {"H", 0, -1.5f, 0, "H"}});
  m.residue("ASP", 3, 'A', 2, {{"OD1", 50, 0, 0, "O"}});
  m.residue("ZN", 1, 'B', 1, {{"ZN", 52.3f, 0, 0, "ZN"}});
  m.residue("ZN", 1, 'C', 1, {{"ZN", 0, -2.3f, 0, "ZN"}});
  m.residue("HOH", 9, 'W', 1, {{"O", 0, -4.4f, 0, "O"}});  // next to the metal, never linked
  conntest::load_library();
  const Result r = find_links();
  EXPECT_EQ(r.ierr, 0);
  ASSERT_EQ(link_inf.ln_n, 2) << r.out;
  EXPECT_EQ(link_inf.ln_1ires(1), 2);
  EXPECT_EQ(link_inf.ln_2ires(1), 3);
  EXPECT_EQ(link_inf.ln_1ires(2), 1);
  EXPECT_EQ(link_inf.ln_2ires(2), 4);
  EXPECT_EQ(link_inf.ln_id(1), link_inf.ln_id(2));
  EXPECT_EQ(r.dnew, 'Y');
  EXPECT_NE(r.out.find(" is not in the dictionary."), std::string::npos);
}

TEST(DistanceLinks, OverlappingCopiesAreLinkedAtomByAtomWithoutFailing) {
  Model m;
  const conntest::AtomSpec gly[] = {{"N", 0, 0, 0, "N"}, {"CA", 1.45f, 0, 0}, {"C", 2, 1.4f, 0}};
  m.residue("GLY", 3, 'A', 1, {gly[0], gly[1], gly[2]});
  m.residue("GLY", 3, 'B', 1, {gly[0], gly[1], gly[2]});
  conntest::load_library();
  const Result r = find_links();
  EXPECT_EQ(r.ierr, 0);
  EXPECT_EQ(link_inf.ln_n, 7) << r.out;  // each atom pair of the copies within 1.7 A
  EXPECT_EQ(r.dnew, 'Y');
}

TEST(DistanceLinks, TensOfThousandsOfWatersStayUnlinked) {
  Model m;
  m.residue("ZN", 1, 'A', 1, {{"ZN", 0, 0, 0, "ZN"}});
  for (int k = 0; k < 30000; ++k)
    m.residue("HOH", 9, 'W', k + 1, {{"O", 2.0f + 2.8f * (k % 40), 2.8f * ((k / 40) % 40), 2.8f * (k / 1600), "O"}});
  conntest::load_library();
  const Result r = find_links();
  EXPECT_EQ(r.ierr, 0);
  EXPECT_EQ(link_inf.ln_n, 0);
  EXPECT_EQ(r.out, "");
}

TEST(DistanceLinks, RealEntryDisulfideMatchesItsRecordAndWatersStayFree) {
  ASSERT_EQ(conntest::read_entry(ORB_TEST_DATA_DIR "/1A8O.pdb"), 0);
  conntest::load_library();
  int ss = 0;
  for (int k = 1; k <= link_inf.ln_n; ++k) ss += link_inf.ln_atom1(k) == "SG" ? 1 : 0;
  ASSERT_EQ(ss, 1);
  const int before = link_inf.ln_n;
  int32_t ierr = -1;
  char dnew = 'N';
  captured([&] { def_link_mod_(0, ' ', dnew, ierr); });
  ASSERT_EQ(ierr, 0);
  const Result r = find_links();
  EXPECT_EQ(r.ierr, 0);
  int sg = 0;
  for (int k = 1; k <= link_inf.ln_n; ++k) {
    if (link_inf.ln_atom1(k) == "SG" && link_inf.ln_atom2(k) == "SG") {
      ++sg;
      EXPECT_EQ(link_inf.ln_id(k).view(), "SS      ");
    }
    EXPECT_FALSE(link_inf.ln_1rnam(k) == "HOH" || link_inf.ln_2rnam(k) == "HOH") << k;
  }
  EXPECT_EQ(sg, 1);
  EXPECT_GE(link_inf.ln_n, before);
}

TEST(DistanceLinks, EmptyModelSetsStatusSilently) {
  Model m;
  const Result r = find_links();
  EXPECT_EQ(r.ierr, 1);
  EXPECT_EQ(r.out, "");
}

}  // namespace
