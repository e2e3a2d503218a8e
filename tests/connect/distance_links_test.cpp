// Links by distance: disulfides, metal sites, a sugar on an asparagine, the
// atoms that never link, input links taking precedence, the order links
// enter the table, and models that strain the search.
#include <gtest/gtest.h>

#include "connect/distance_links.h"
#include "connect/input_links.h"
#include "dictionary/lib_com.h"
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

std::size_t count_of(const std::string& text, std::string_view what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
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

// An SSBOND record between SG atoms 0.3 A apart: the file names the pair,
// so the rule that takes atoms closer than 0.5 A for one atom written twice
// does not hold, and the log says what is done: the link is found and
// entered, never "no link is made".
TEST(DistanceLinks, InputLinkCloserThanABondIsFoundAndSaidToBe) {
  Model m;
  m.residue("CYS", 3, 'A', 1, {{"CB", -1.5f, 0, 0}, {"SG", 0, 0, 0, "S"}});
  m.residue("CYS", 3, 'B', 7, {{"SG", 0.3f, 0, 0, "S"}, {"CB", 1.8f, 0, 0}});
  m.link("SS", 1, "SG", 2, "SG");
  conntest::load_library();
  const Result r = find_links();
  EXPECT_EQ(r.ierr, 0);
  ASSERT_EQ(link_inf.ln_n, 1) << r.out;
  EXPECT_EQ(link_inf.ln_id(1).view(), "SS      ");
  EXPECT_EQ(mod_inf.mod_n, 2);
  EXPECT_EQ(r.out,
            "  WARNING : link:SS       is found dist =     0.300 ideal_dist=     2.030\n"
            "            ch:A    res:   1  CYS      at:SG  .->B    res:   7  CYS      at:SG  .\n");
}

// Both SG atoms split: A of one 2.04 A from B of the other (and B from A),
// like conformers 6.6 A apart.  Two codes stand together only when equal,
// so the search bonds no pair, and an SSBOND record's row holds in no
// conformer: dropped, each like pair warned of, the crossed ones never.
TEST(DistanceLinks, CrossedConformersOfTwoSplitSulphursNeverBond) {
  const auto split_pair = [](Model& m) {
    m.residue("CYS", 3, 'A', 1, {{"SG", 0, 0, 0, "S", 0.5f, 'A'}, {"SG", 2.04f, 6.6f, 0, "S", 0.5f, 'B'}});
    m.residue("CYS", 3, 'B', 7, {{"SG", 0, 6.6f, 0, "S", 0.5f, 'A'}, {"SG", 2.04f, 0, 0, "S", 0.5f, 'B'}});
  };
  {
    SCOPED_TRACE("found by distance: nothing");
    Model m;
    split_pair(m);
    conntest::load_library();
    const Result r = find_links();
    EXPECT_EQ(r.ierr, 0);
    EXPECT_EQ(link_inf.ln_n, 0) << r.out;
    EXPECT_EQ(r.out, "");
  }
  SCOPED_TRACE("named by an SSBOND record: dropped");
  Model m;
  split_pair(m);
  m.link("SS", 1, "SG", 2, "SG");
  conntest::load_library();
  int32_t ierr = -1;
  char dnew = 'N';
  const std::string out = captured([&] { def_link_mod_(0, ' ', dnew, ierr); });
  EXPECT_EQ(ierr, 0);
  ASSERT_EQ(link_inf.ln_n, 1) << out;
  EXPECT_EQ(link_inf.ln_id(1)(1), '?') << out;
  EXPECT_EQ(count_of(out, "atoms too far apart to bond, dist =     6.600\n"), 2u) << out;
  EXPECT_EQ(count_of(out, "at:SG  A->ch:B    res:   7  CYS      at:SG  A ideal_dist="), 1u) << out;
  EXPECT_EQ(count_of(out, "at:SG  B->ch:B    res:   7  CYS      at:SG  B ideal_dist="), 1u) << out;
  EXPECT_EQ(count_of(out, "2.040"), 0u) << out;
  const Result r = find_links();
  EXPECT_EQ(link_inf.ln_n, 1) << r.out;
  EXPECT_EQ(r.out, "");
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
  // Each pair of different atoms of the copies within 1.7 A; each atom and
  // its copy coincide, which is one atom written twice, not a bond.
  EXPECT_EQ(link_inf.ln_n, 4) << r.out;
  EXPECT_EQ(r.dnew, 'Y');
  EXPECT_EQ(count_of(r.out, "closer than a bond"), 3u);
}

// An aspartate oxygen and a zinc `dist` apart: within the 2.4 A of an
// oxygen and a metal, but closer than 0.5 A only where one atom was written
// twice (two residues over one another), which is no bond.
TEST(DistanceLinks, AtomsCloserThanABondCanBeAreNotLinked) {
  const struct {
    const char* label;
    float dist;
    bool linked;
  } rows[] = {{"0.49 A: one atom twice", 0.49f, false}, {"0.51 A: linked", 0.51f, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Model m;
    m.residue("ASP", 3, 'A', 1, {{"OD1", 0, 0, 0, "O"}});
    m.residue("ZN", 1, 'B', 1, {{"ZN", row.dist, 0, 0, "ZN"}});
    conntest::load_library();
    const Result r = find_links();
    EXPECT_EQ(r.ierr, 0);
    EXPECT_EQ(link_inf.ln_n, row.linked ? 1 : 0) << r.out;
    const std::string warning =
        "  WARNING : atoms closer than a bond can be, dist =     0.490\n"
        "            ch:A    res:   1  ASP      at:OD1 .->ch:B    res:   1  ZN       at:ZN  .\n"
        "            no link is made\n";
    EXPECT_EQ(r.out == warning, !row.linked) << r.out;
  }
}

// An aspartate oxygen in two conformers and a zinc 2.2 A from conformer A;
// conformer B `far_b` from it.  The bond holds for conformer B while the
// search would bond it on its own: within the 2.4 A limit of an oxygen and
// a metal (one row for every conformer).  Beyond, the link holds for
// conformer A alone: its row names the alternate and is marked special, as
// a file's row for one conformer, and takes no modifications; conformer B
// is warned of.  The new description takes the model's 2.2 A.
TEST(DistanceLinks, MetalLinkHoldsOnlyForTheConformersThatBond) {
  const struct {
    const char* label;
    float far_b;
    bool both;
  } rows[] = {{"B 2.39 A away: both conformers", 2.39f, true},
              {"B 2.41 A away: conformer A alone", 2.41f, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Model m;
    m.residue("ASP", 3, 'A', 1,
              {{"OD1", 0, 2.2f, 0, "O", 0.5f, 'A'}, {"OD1", 0, row.far_b, 0, "O", 0.5f, 'B'}});
    m.residue("ZN", 1, 'B', 1, {{"ZN", 0, 0, 0, "ZN"}});
    conntest::load_library();
    const Result r = find_links();
    EXPECT_EQ(r.ierr, 0);
    ASSERT_EQ(link_inf.ln_n, 1) << r.out;
    EXPECT_EQ(link_inf.ln_atom1(1).view(), "OD1  ");
    EXPECT_EQ(link_inf.ln_alt1(1).view(), "A");
    EXPECT_EQ(link_inf.ln_alt2(1).view(), ".");
    EXPECT_EQ(link_inf.ln_used(1) == "S", !row.both);
    const std::string warning =
        "  WARNING : link:ASP-ZN   atoms too far apart to bond, dist =     2.410\n"
        "            ch:A    res:   1  ASP      at:OD1 B->ch:B    res:   1  ZN       at:ZN  . "
        "ideal_dist=     2.200\n"
        "            link will not be restrained between these conformers\n";
    EXPECT_EQ(r.out.find(warning) != std::string::npos, !row.both) << r.out;
    EXPECT_EQ(count_of(r.out, "too far"), row.both ? 0u : 1u);
  }
}

// CYS 136 SG of 1GVZ (no alternate code) and the SG of CYS 201, conformer A
// 2.30 A away and B `far_b`: a disulfide found by distance holds for B only
// within the 2.4 A the search bonds two sulphurs at, not up to twice the
// 2.03 A ideal that a file's SSBOND record may reach.
TEST(DistanceLinks, DisulfideFoundByDistanceHoldsForConformersWithinTheSearchLimit) {
  const struct {
    const char* label;
    float far_b;
    bool both;
  } rows[] = {{"B 2.39 A away: both conformers", 2.39f, true},
              {"B 2.41 A away: conformer A alone", 2.41f, false},
              {"B 3.59 A away, as in 1GVZ: conformer A alone", 3.59f, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Model m;
    m.residue("CYS", 3, 'A', 136, {{"SG", 0, 0, 0, "S"}});
    m.residue("CYS", 3, 'A', 201,
              {{"SG", 2.3f, 0, 0, "S", 0.5f, 'A'}, {"SG", 0, row.far_b, 0, "S", 0.5f, 'B'}});
    conntest::load_library();
    const Result r = find_links();
    EXPECT_EQ(r.ierr, 0);
    ASSERT_EQ(link_inf.ln_n, 1) << r.out;
    EXPECT_EQ(link_inf.ln_id(1).view(), "SS      ");
    EXPECT_EQ(link_inf.ln_alt2(1).view(), "A");
    EXPECT_EQ(link_inf.ln_used(1) == "S", !row.both);
    EXPECT_EQ(count_of(r.out, "at:SG  B ideal_dist=     2.030\n"
                              "            link will not be restrained between these conformers\n"),
              row.both ? 0u : 1u)
        << r.out;
  }
}

// A new link to a metal takes the model's distance where the energy library
// gives no length for the pair (the test library has none for zinc), and
// says so; with a length of the library's own it takes that length.  A new
// link between two other atoms keeps the default length.
TEST(DistanceLinks, NewMetalLinkTakesTheModelsDistanceWhereTheLibraryGivesNone) {
  const std::string observed =
      "            no length in the library for this bond to a metal: the model's distance is "
      "taken\n";
  {
    SCOPED_TRACE("no length in the library: 2.230 A, the model's");
    Model m;
    m.residue("ASP", 3, 'A', 1, {{"OD1", 0, 0, 0, "O"}});
    m.residue("ZN", 1, 'B', 1, {{"ZN", 2.23f, 0, 0, "ZN"}});
    conntest::load_library();
    const Result r = find_links();
    ASSERT_EQ(link_inf.ln_n, 1) << r.out;
    EXPECT_NEAR(link_inf.ln_dist(1), 2.23f, 1e-5f);
    EXPECT_NEAR(r_scratch.llb_val(r_scratch.llb_nbond), 2.23f, 1e-5f);
    EXPECT_NE(r.out.find("            link will be created with bond_lenth =   2.230\n" + observed +
                         "  WARNING : link:ASP-ZN   is found dist =     2.230 ideal_dist=     2.230\n"),
              std::string::npos)
        << r.out;
  }
  {
    SCOPED_TRACE("a length in the library: 2.050 A, the library's");
    Model m;
    m.residue("ASP", 3, 'A', 1, {{"OD1", 0, 0, 0, "O"}});
    m.residue("ZN", 1, 'B', 1, {{"ZN", 2.23f, 0, 0, "ZN"}});
    conntest::load_library();
    const int32_t k = ++r_scratch.leb_nbond;
    r_scratch.leb_1atm(k) = "ZN";
    r_scratch.leb_2atm(k) = "O";
    r_scratch.leb_length(k) = 2.05f;
    const Result r = find_links();
    ASSERT_EQ(link_inf.ln_n, 1) << r.out;
    EXPECT_NEAR(r_scratch.llb_val(r_scratch.llb_nbond), 2.05f, 1e-5f);
    EXPECT_NE(r.out.find("is found dist =     2.230 ideal_dist=     2.050\n"), std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find(observed), std::string::npos) << r.out;
  }
  SCOPED_TRACE("no metal: the default 1.500 A");
  Model m;
  m.residue("ALA", 3, 'A', 1, {{"CB", 0, 0, 0, "C"}});
  m.residue("LIG", 1, 'B', 1, {{"C1", 1.62f, 0, 0, "C"}});
  conntest::load_library();
  const Result r = find_links();
  ASSERT_EQ(link_inf.ln_n, 1) << r.out;
  EXPECT_NE(r.out.find("is found dist =     1.620 ideal_dist=     1.500\n"), std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.find(observed), std::string::npos) << r.out;
}

// Both ends in two conformers: the oxygen's A bonds the zinc's A, the
// oxygen's B lies 4 A from the zinc's B (dropped, warned of); A against B
// never stands together and is neither a row nor a warning, however far.
TEST(DistanceLinks, ConformersOfBothEndsArePairedByTheirCodes) {
  Model m;
  m.residue("ASP", 3, 'A', 1,
            {{"OD1", 0, 0, 0, "O", 0.5f, 'A'}, {"OD1", 10, 0, 0, "O", 0.5f, 'B'}});
  m.residue("ZN", 1, 'B', 1,
            {{"ZN", 0, 2.1f, 0, "ZN", 0.5f, 'A'}, {"ZN", 10, 4.0f, 0, "ZN", 0.5f, 'B'}});
  conntest::load_library();
  const Result r = find_links();
  ASSERT_EQ(link_inf.ln_n, 1) << r.out;
  EXPECT_EQ(link_inf.ln_alt1(1).view(), "A");
  EXPECT_EQ(link_inf.ln_alt2(1).view(), "A");
  EXPECT_EQ(link_inf.ln_used(1).view(), "S");
  EXPECT_NE(
      r.out.find("dist =     4.000\n"
                 "            ch:A    res:   1  ASP      at:OD1 B->ch:B    res:   1  ZN       "
                 "at:ZN  B"),
      std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.find("at:OD1 A->ch:B    res:   1  ZN       at:ZN  B"), std::string::npos);
}

// A residue the library lacks (type 1) before a nucleotide, joined by the
// walk along the chain under the phosphodiester link, whose bond the
// library here ends on the second residue's 5' oxygen, spelt O5*: the
// model's O5' in the other spelling is that atom, so the search by
// distance adds no second link on the pair; an atom of another name at the
// same place is bonded by the search.
TEST(DistanceLinks, PairTheWalkLinksIsNotLinkedAgainInTheOtherSpellingOfItsSecondAtom) {
  const struct {
    const char* label;
    const char* second;  // the second residue's atom, 1.45 A from the first's O3'
    int links;
  } rows[] = {{"O5' for the library's O5*", "O5'", 0},
              {"O5* as the library spells it", "O5*", 0},
              {"O4', no atom of the link", "O4'", 1}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Model m;
    m.residue("XNU", 1, 'A', 1, {{"O3'", 0, 0, 0, "O"}});
    const int down = m.residue("DA", 5, 'A', 2, {{row.second, 1.45f, 0, 0, "O"}});
    conntest::load_library();
    int32_t il = 1;
    while (il < r_scratch.lll_nlink && !(r_scratch.lll_lname(il) == "p")) ++il;
    ASSERT_TRUE(r_scratch.lll_lname(il) == "p");
    r_scratch.llb_2atm(r_scratch.lll_ibond(il)) = "O5*";
    resid_inf.iconn_type(down) = conntest::conn_code("p");
    const Result r = find_links();
    EXPECT_EQ(r.ierr, 0);
    EXPECT_EQ(link_inf.ln_n, row.links) << r.out;
    EXPECT_EQ(count_of(r.out, "is found"), static_cast<std::size_t>(row.links)) << r.out;
  }
}

// A carbonyl C 1.33 A from an N of another chain, found by distance with
// no link row: between a chain cap described as no polymer (ACE, type 2,
// a peptide cap by name) and an alanine, the trans peptide link in its
// partner order whichever residue comes first; where the other end is no
// peptide, a link of its own.
TEST(DistanceLinks, PeptideBondFoundByDistanceTakesTheTransLinkInEitherOrder) {
  const struct {
    const char* label;
    const char* first;
    int type;
    bool cap_first;
    const char* want;
  } rows[] = {{"cap first", "ACE", 2, true, "TRANS"},
              {"alanine first", "ACE", 2, false, "TRANS"},
              {"no peptide", "SO4", 1, true, "SO4-ALA"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Model m;
    int cap = 0, ala = 0;
    if (row.cap_first) cap = m.residue(row.first, row.type, 'A', 1, {{"C", 0, 0, 0}});
    ala = m.residue("ALA", 3, 'B', 2, {{"N", 1.33f, 0, 0, "N"}, {"CA", 2.0f, 1.2f, 0}});
    if (!row.cap_first) cap = m.residue(row.first, row.type, 'C', 1, {{"C", 0, 0, 0}});
    conntest::load_library();
    const Result r = find_links();
    EXPECT_EQ(r.ierr, 0);
    ASSERT_EQ(link_inf.ln_n, 1) << r.out;
    EXPECT_EQ(link_inf.ln_id(1).trimmed(), row.want) << r.out;
    EXPECT_EQ(link_inf.ln_1ires(1), cap);
    EXPECT_EQ(link_inf.ln_2ires(1), ala);
  }
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
