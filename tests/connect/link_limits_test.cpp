// The limits of the link stages on either side: how far the walk along a
// chain lets a peptide bond stretch (exactly 1.3 times its ideal still
// bonds), how far the search by distance lets an O3'-P bond stretch between
// residues of two chains, and the proline form a peptide link the file
// names takes onto a proline, in the walk and in the pass over the link
// table.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "connect/consecutive_links.h"
#include "connect/distance_links.h"
#include "connect/input_links.h"
#include "dictionary/dict_index.h"
#include "dictionary/lib_com.h"
#include "dictionary/link_lookup.h"
#include "entry_fixture.h"
#include "model_builder.h"

namespace {

using conntest::conn_code;
using conntest::Model;

// ------------------------------------------------------------ the walk's break test

// The peptide link's bond C-N between the two sides of the link-atom store,
// `length` apart along x, measured against the library's trans link.
int32_t walk_break(float length, float& dist) {
  r_scratch_t& r = r_scratch;
  int32_t il = 0;
  look_link_list_("TRANS", il);
  EXPECT_GT(il, 0);
  const int32_t c = r.iconn_atom_ind(1, il), n = r.iconn_atom_ind(2, il);
  EXPECT_GT(c, 0);
  EXPECT_GT(n, 0);
  for (int k = 1; k <= nstor_par; ++k) r.iflag_stor(k, 1) = r.iflag_stor(k, 2) = 0;
  r.iflag_stor(c, 1) = 1;
  r.iflag_stor(n, 2) = 1;
  r.x_stor(c, 1) = r.y_stor(c, 1) = r.z_stor(c, 1) = 0.0f;
  r.x_stor(n, 2) = length;
  r.y_stor(n, 2) = r.z_stor(n, 2) = 0.0f;
  float ideal = 0.0f;
  int32_t idist = -9, ia1 = 0, ia2 = 0, irevers = -1;
  calc_conn_dist_(il, ideal, dist, idist, ia1, ia2, irevers);
  EXPECT_FLOAT_EQ(ideal, 1.329f);
  return idist;
}

// The longest float length whose ratio to the trans link's 1.329 A is the
// break factor exactly, as the walk divides, and the next float length.
float exactly_at_the_limit() {
  const float ideal = 1.329f;
  float d = dictionary::kPolymerBreakFactor * ideal;
  for (int step = 0; step < 8 && d / ideal < dictionary::kPolymerBreakFactor; ++step)
    d = std::nextafter(d, 2.0f);
  while (std::nextafter(d, 2.0f) / ideal == dictionary::kPolymerBreakFactor)
    d = std::nextafter(d, 2.0f);
  return d;
}

TEST(LinkLimits, WalkBondsAPeptideExactlyAtTheBreakLimit) {
  conntest::load_library();
  const float at = exactly_at_the_limit();
  ASSERT_EQ(at / 1.329f, 1.3f);
  const struct {
    const char* label;
    float length;
    int32_t idist;
  } rows[] = {
      {"well within (1.33 A)", 1.33f, 0},
      {"exactly 1.3 times the ideal", at, 0},
      {"the next float length", std::nextafter(at, 2.0f), 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    float dist = 0.0f;
    EXPECT_EQ(walk_break(row.length, dist), row.idist);
    EXPECT_FLOAT_EQ(dist, row.length);
  }
}

// ------------------------------------------------------------ the search by distance

// Two adenosines of chains A and B, O3* of the first `length` from P of
// the second along x: no walk joins them, so only the search by distance
// can bond them, and a phosphodiester bond holds only within 1.3 times the
// library's ideal 1.607 A (2.089 A), well inside the 2.4 A the search
// allows an oxygen and a phosphorus otherwise.
TEST(LinkLimits, SearchByDistanceKeepsAPhosphodiesterWithinTheBreakLimit) {
  const struct {
    const char* label;
    float length;
    bool linked;
  } rows[] = {
      {"2.05 A (1.28 times the ideal): bonded", 2.05f, true},
      {"2.13 A (1.33 times the ideal): a break", 2.13f, false},
      {"2.35 A (within the O-P reach, 1.46 times): a break", 2.35f, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Model m;
    m.residue("A", 6, 'A', 1, {{"C3*", -1.43f, 0, 0}, {"O3*", 0, 0, 0, "O"}});
    m.residue("A", 6, 'B', 2,
              {{"P", row.length, 0, 0, "P"}, {"O5*", row.length + 0.9f, 1.3f, 0, "O"}});
    conntest::load_library();
    int32_t ierr = -1, nsug = 0;
    char dnew = 'N';
    const std::string out =
        captured([&] { def_link_new_(0, ' ', 'Y', 'Y', 'Y', 0, dnew, nsug, ierr); });
    EXPECT_EQ(ierr, 0) << out;
    if (!row.linked) {
      EXPECT_EQ(link_inf.ln_n, 0) << out;
      continue;
    }
    ASSERT_EQ(link_inf.ln_n, 1) << out;
    EXPECT_EQ(link_inf.ln_id(1).view(), "p       ");
    EXPECT_EQ(link_inf.ln_1ires(1), 1);
    EXPECT_EQ(link_inf.ln_atom1(1).view().substr(0, 4), "O3* ");
    EXPECT_EQ(link_inf.ln_2ires(1), 2);
    EXPECT_EQ(link_inf.ln_atom2(1).view().substr(0, 4), "P   ");
  }
}

// ------------------------------------------------------------ the proline form

// Residues 143-146 of chain A of 3P1U (LYS PHE GLY PRO) from
// tests/data/pdb_3p1u_mse_pro.pdb, with one LINK record of our own naming
// the peptide bond GLY145 C - PRO146 N and none of the entry's, read with
// the test library and the links of the file resolved: the record's link
// resolves to the first library link of its atoms, the plain trans link.
int read_gly_pro_with_link() {
  std::ifstream in(ORB_TEST_DATA_DIR "/pdb_3p1u_mse_pro.pdb");
  std::vector<std::string> lines = {
      pdbtest::kCryst,
      "LINK         C   GLY A 145                 N   PRO A 146     1555   1555  1.33  "};
  for (std::string l; std::getline(in, l);) {
    if (l.rfind("ATOM", 0) != 0) continue;
    const int n = std::stoi(l.substr(22, 4));
    if (n >= 143 && n <= 146) lines.push_back(l);
  }
  pdbtest::TempFile f(lines);
  EXPECT_EQ(conntest::read_entry(f.path()), 0);
  conntest::load_library();
  char dnew = 'N';
  int32_t ierr = -1;
  const std::string out = captured([&] { def_link_mod_(0, ' ', dnew, ierr); });
  EXPECT_EQ(ierr, 0) << out;
  EXPECT_EQ(link_inf.ln_n, 1) << out;
  int pro = 0;
  for (int ir = 1; ir <= resid_inf.n_residue; ++ir)
    if (resid_inf.res_name(ir) == "PRO") pro = ir;
  return pro;
}

TEST(LinkLimits, LinkTheFileNamesOntoAProlineTakesTheProlineFormInTheWalk) {
  const int pro = read_gly_pro_with_link();
  ASSERT_EQ(pro, 4);
  ASSERT_EQ(link_inf.ln_id(1).view(), "TRANS   ");
  int32_t ierr = -1, nsug = 0;
  char dnew = 'N';
  const std::string out =
      captured([&] { def_conn_(0, ' ', 'Y', 'Y', 'Y', link_inf.ln_n, dnew, nsug, ierr); });
  EXPECT_EQ(ierr, 0) << out;
  ASSERT_EQ(link_inf.ln_n, 1) << out;
  EXPECT_EQ(link_inf.ln_id(1).view(), "PTRANS  ");
  EXPECT_EQ(resid_inf.iconn_type(pro), conn_code("PTRANS"));
  // The residues before keep the plain trans link.
  EXPECT_EQ(resid_inf.iconn_type(pro - 1), conn_code("TRANS"));
}

TEST(LinkLimits, LinkTheFileNamesOntoAProlineTakesTheProlineFormInTheLinkPass) {
  const int pro = read_gly_pro_with_link();
  ASSERT_EQ(pro, 4);
  ASSERT_EQ(link_inf.ln_id(1).view(), "TRANS   ");
  captured([&] { connect::peptide_link_forms(0, 'N', link_inf.ln_n); });
  EXPECT_EQ(link_inf.ln_id(1).view(), "PTRANS  ");
  EXPECT_FLOAT_EQ(link_inf.ln_dist(1), 1.341f);  // the proline form's ideal C-N
}

// The library's proline forms name "PRO" at their nitrogen end.  A peptide
// bond the file names by one of those forms (the written coordinates name
// the form a first run gave a link onto a hydroxyproline) finds that
// description for any residue there, either way round; the N-methyl forms,
// which the test library lacks, are the proline forms renamed.
TEST(LinkLimits, NamedProlineFormFindsItsDescriptionOntoAnyResidue) {
  const struct {
    const char* form;
    const char* library;  // the test library's link taken under that name
    bool reversed;        // the N end given first
  } rows[] = {{"PTRANS", "PTRANS", false}, {"PCIS", "PCIS", false},    {"NMTRANS", "PTRANS", false},
              {"NMCIS", "PCIS", false},    {"PTRANS", "PTRANS", true}, {"PCIS", "PCIS", true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.form) + (row.reversed ? " reversed" : ""));
    set_cif_types_();
    conntest::load_library();
    r_scratch_t& r = r_scratch;
    int32_t want = 0;
    look_link_list_(row.library, want);
    ASSERT_GT(want, 0);
    for (int k = 1; k <= r.llb_nbond; ++k)
      if (r.llb_lname(k) == row.library) r.llb_lname(k) = row.form;
    r.lll_lname(want) = row.form;
    dictionary::reset_dictionary_index();
    int32_t il = 0, irevers = -1;
    rt::FixedText<8> mod1("?"), mod2("?");
    const bool found = row.reversed ? connect::peptide_link("HYP", "N   ", 3, "HIS", "C   ", 3, il,
                                                            mod1, mod2, irevers, row.form)
                                    : connect::peptide_link("HIS", "C   ", 3, "HYP", "N   ", 3, il,
                                                            mod1, mod2, irevers, row.form);
    EXPECT_TRUE(found);
    EXPECT_EQ(il, want);
    EXPECT_EQ(irevers, row.reversed ? 1 : 0);
    // The modification of the proline end goes to the residue at the N.
    EXPECT_EQ((row.reversed ? mod1 : mod2), r.lll_mod2(want));
  }
}

// A form the file names is looked for under its own name, padded as a
// coordinate file's 8-character link field gives it.
TEST(LinkLimits, NamedProlineFormIsTakenFromABlankPaddedField) {
  set_cif_types_();
  conntest::load_library();
  int32_t want = 0;
  look_link_list_("PTRANS", want);
  int32_t il = 0, irevers = -1;
  rt::FixedText<8> mod1("?"), mod2("?");
  EXPECT_TRUE(connect::peptide_link("HIS", "C   ", 3, "HYP", "N   ", 3, il, mod1, mod2, irevers,
                                    rt::FixedText<8>("PTRANS").view()));
  EXPECT_EQ(il, want);
}

}  // namespace
