// Link restraints between residues of a real entry (1A8O) with the test
// library: the peptide link of two neighbours and the disulphide, written
// in both forms and read back, observed values against the coordinates,
// alternate positions on both sides and a special link for one pair of
// them, and the links that give no records.
#include "restraints/link_restraints.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "dictionary/work_copies.h"
#include "model_fixture.h"
#include "restraints/rst_file.h"
#include "rst_reader.h"
#include "support/temp_dir.h"

namespace {

using rtest::Row;
using rtest::Vec;

class LinkRestraints : public rtest::EntryTest<testing::TestWithParam<char>> {
 protected:
  void SetUp() override {
    comlib.iquiet = 0;
    comlib.idoc = 0;
    crdinf.cr_hflag = "N";
    rtest::write_rst_to(dir.path(), "lnk", GetParam());
    crdrst_t& r = crdrst;
    r.rs_nbond = r.rs_nangl = r.rs_ntors = r.rs_nchir = r.rs_nplan = r.rs_nbnds = 0;
  }
  // Residue ir1 into C2 (serials from 100), ir2 into C1 (from 200).
  void pair(int32_t ir1, int32_t ir2) {
    ASSERT_EQ(rtest::prepare(ir1), 0);
    int32_t ierr = 0;
    copyc2_(99, ierr);
    ASSERT_EQ(rtest::prepare(ir2), 0);
    r_scratch.c2_iglobal = 100;
    r_scratch.c1_iglobal = 200;
  }
  std::vector<Row> describe(const char* link, int32_t lid, int32_t ir1, int32_t ir2,
                            std::string* out = nullptr) {
    int32_t ierr = 0;
    wrt_rst_("TITL", 99, ierr);
    const std::string said =
        captured([&] { dscr_links_(0, ' ', link, lid, 'Y', 1, ir1, 1, ir2, ierr); });
    if (out) *out = said;
    wrt_rst_("STOP", 99, ierr);
    return rtest::read_rows(dir.path() + "/lnk");
  }
  // Side and tree place of a serial (C2 from 100, C1 from 200).
  Vec pos(int32_t serial) const {
    return serial > 200 ? rtest::place_xyz(1, serial - 200) : rtest::place_xyz(2, serial - 100);
  }
  TempDir dir;
};

std::vector<const Row*> of_kind(const std::vector<Row>& rows, const char* kind) {
  std::vector<const Row*> out;
  for (const Row& r : rows)
    if (r.kind == kind) out.push_back(&r);
  return out;
}

}  // namespace

TEST_P(LinkRestraints, PeptideLinkOfTwoNeighbours) {
  const int32_t ala = rtest::residue('A', " 177 "), ser = rtest::residue('A', " 178 ");
  pair(ala, ser);
  const std::vector<Row> rows = describe("TRANS", 0, ala, ser);
  const auto bonds = of_kind(rows, "BOND");
  ASSERT_EQ(bonds.size(), 1u);
  EXPECT_EQ(bonds[0]->source, "TRANS");
  EXPECT_LT(bonds[0]->ia[0], 200);  // C of the first residue
  EXPECT_GT(bonds[0]->ia[1], 200);  // N of the second
  EXPECT_FLOAT_EQ(bonds[0]->vidl, 1.329f);
  EXPECT_NEAR(bonds[0]->vobs, rtest::dist(pos(bonds[0]->ia[0]), pos(bonds[0]->ia[1])), 2e-3);
  const auto angles = of_kind(rows, "ANGL");
  ASSERT_EQ(angles.size(), 3u);
  for (const Row* a : angles)
    EXPECT_NEAR(a->vobs, rtest::angle_deg(pos(a->ia[0]), pos(a->ia[1]), pos(a->ia[2])), 2e-3);
  // CA-C-N: the monomer's CA-C bond and the link's C-N bond at 116.2.
  EXPECT_GT(angles[0]->dist, 2.3f);
  EXPECT_LT(angles[0]->dist, 2.6f);
  const auto tors = of_kind(rows, "TORS");
  ASSERT_EQ(tors.size(), 1u);
  int32_t omega_row = 0;
  for (int32_t i = 1; i <= r_scratch.llt_ntors && omega_row == 0; ++i)
    if (r_scratch.llt_lname(i) == "TRANS") omega_row = i;
  EXPECT_EQ(tors[0]->label, r_scratch.llt_label(omega_row).trimmed());
  const double omega = rtest::torsion_deg(pos(tors[0]->ia[0]), pos(tors[0]->ia[1]),
                                          pos(tors[0]->ia[2]), pos(tors[0]->ia[3]));
  EXPECT_NEAR(std::remainder(tors[0]->vobs - omega, 360.0), 0.0, 2e-3);
  EXPECT_GT(std::fabs(tors[0]->vobs), 160.0f);  // a trans peptide
  const auto plane = of_kind(rows, "PLAN");
  EXPECT_EQ(plane.size(), 5u);  // CA C O | N CA: no hydrogen in the model
  double sum = 0;
  for (const Row* p : plane) sum += p->vobs;
  EXPECT_NEAR(sum, 0.0, 1e-3);  // signed deviations from a least-squares plane
}

TEST_P(LinkRestraints, DisulphideAcrossTheChain) {
  const int32_t c1 = rtest::residue('A', " 198 "), c2 = rtest::residue('A', " 218 ");
  ASSERT_EQ(resid_inf.res_name(c1), "CYS");
  pair(c1, c2);
  const std::vector<Row> rows = describe("SS", 0, c1, c2);
  const auto bonds = of_kind(rows, "BOND");
  ASSERT_EQ(bonds.size(), 1u);
  EXPECT_NEAR(bonds[0]->vobs, rtest::dist(pos(bonds[0]->ia[0]), pos(bonds[0]->ia[1])), 2e-3);
  EXPECT_NEAR(bonds[0]->vobs, 2.04f, 0.1f);
  EXPECT_EQ(of_kind(rows, "ANGL").size(), 2u);
  const auto tors = of_kind(rows, "TORS");
  ASSERT_EQ(tors.size(), 1u);
  EXPECT_EQ(tors[0]->period, 2);
  // The 1-4 distance CB..CB from SG-SG 2.03, the cysteine's CB-SG and the
  // angles of 104 degrees at the two SG.
  EXPECT_GT(tors[0]->dist, 3.0f);
  EXPECT_LT(tors[0]->dist, 4.5f);
}

TEST_P(LinkRestraints, AlternatesOnBothSidesAndASpecialPair) {
  const int32_t c1 = rtest::residue('A', " 198 "), c2 = rtest::residue('A', " 218 ");
  pair(c1, c2);
  // SG in conformers A and B on both sides: B 0.3 A away from A.
  r_scratch_t& r = r_scratch;
  auto split = [](auto& natom, auto& aname, auto& alt, auto& corr, auto& nalt, auto& ialt,
                  auto& occ, auto& xyz, auto& atype, auto& inew, auto& iold, auto& igatm) {
    int32_t sg = 0;
    for (int32_t k = 1; k <= natom; ++k)
      if (aname(k) == "SG") sg = k;
    const int32_t b = ++natom;
    aname(b) = "SG";
    alt(sg) = "A";
    alt(b) = "B";
    corr(b) = ".";
    atype(b) = "Y";
    nalt(sg) = 2;
    nalt(b) = 0;
    ialt(b) = sg;
    occ(sg) = occ(b) = 0.5f;
    for (int i = 1; i <= 3; ++i) xyz(i, b) = xyz(i, sg) + (i == 2 ? 0.3f : 0.0f);
    inew(++igatm) = b;
    iold(b) = igatm;
  };
  split(r.c1_natom, r.c1_aname, r.c1_alt, r.c1_corr, r.c1_nalt, r.c1_ialt, r.c1_occ, r.c1_xyz,
        r.c1_atype, r.s1_inew, r.s1_iold, r.c1_igatm);
  split(r.c2_natom, r.c2_aname, r.c2_alt, r.c2_corr, r.c2_nalt, r.c2_ialt, r.c2_occ, r.c2_xyz,
        r.c2_atype, r.s2_inew, r.s2_iold, r.c2_igatm);
  std::vector<Row> rows = describe("SS", 0, c1, c2);
  auto bonds = of_kind(rows, "BOND");
  ASSERT_EQ(bonds.size(), 2u);  // A-A and B-B, never mixed
  EXPECT_NEAR(bonds[0]->vobs, rtest::dist(pos(bonds[0]->ia[0]), pos(bonds[0]->ia[1])), 2e-3);
  EXPECT_NEAR(bonds[1]->vobs, rtest::dist(pos(bonds[1]->ia[0]), pos(bonds[1]->ia[1])), 2e-3);

  // A special row for A on the first residue and B on the second: only
  // that pair, which the codes alone would refuse.
  link_inf_t& l = link_inf;
  const int32_t saved = l.ln_n;
  const int32_t lid = ++l.ln_n;
  l.ln_id(lid) = "SS";
  l.ln_used(lid) = "S";
  l.ln_1ires(lid) = c1;
  l.ln_2ires(lid) = c2;
  l.ln_1ichn(lid) = l.ln_2ichn(lid) = 1;
  l.ln_atom1(lid) = "SG";
  l.ln_atom2(lid) = "SG";
  l.ln_alt1(lid) = "A";
  l.ln_alt2(lid) = "B";
  for (int32_t k = 1; k <= r.c1_natom; ++k) r.s1_icrd(k) = 500 + k;
  for (int32_t k = 1; k <= r.c2_natom; ++k) r.s2_icrd(k) = 400 + k;
  rows = describe("SS", lid, c1, c2);
  l.ln_n = saved;
  bonds = of_kind(rows, "BOND");
  ASSERT_EQ(bonds.size(), 1u);
  int32_t sg_a = 0, sg_b = 0;
  for (int32_t k = 1; k <= r.c2_natom; ++k)
    if (r.c2_aname(k) == "SG" && r.c2_alt(k) == "A") sg_a = k;
  for (int32_t k = 1; k <= r.c1_natom; ++k)
    if (r.c1_aname(k) == "SG" && r.c1_alt(k) == "B") sg_b = k;
  EXPECT_EQ(bonds[0]->ia[0], 400 + sg_a);  // model-wide numbers for a special link
  EXPECT_EQ(bonds[0]->ia[1], 500 + sg_b);
}

TEST_P(LinkRestraints, LinksThatGiveNoRecords) {
  const int32_t ala = rtest::residue('A', " 177 "), ser = rtest::residue('A', " 178 ");
  pair(ala, ser);
  std::string out;
  r_scratch_t& r = r_scratch;
  const int32_t nlink = r.lll_nlink;
  r.lll_lname(++r.lll_nlink) = "gap";  // a chain break, known to the library
  EXPECT_TRUE(describe("gap", 0, ala, ser, &out).empty());
  r.lll_nlink = nlink;
  EXPECT_EQ(out, "");
  EXPECT_EQ(file_text(dir.path() + "/lnk.rst").find("LINK"), std::string::npos);
  EXPECT_TRUE(describe("NOSUCH", 0, ala, ser, &out).empty());
  EXPECT_EQ(out, "  WARNING : link NOSUCH   not found in library.\n");
  // An atom without coordinates takes the records that use it away; the
  // plane keeps the four members that have them.
  for (int32_t k = 1; k <= r.c1_natom; ++k)
    if (r.c1_aname(k) == "N") r.c1_atype(k) = "M";
  const std::vector<Row> rows = describe("TRANS", 0, ala, ser);
  EXPECT_TRUE(of_kind(rows, "BOND").empty());
  EXPECT_EQ(of_kind(rows, "ANGL").size(), 0u);
  EXPECT_EQ(of_kind(rows, "PLAN").size(), 4u);
}

INSTANTIATE_TEST_SUITE_P(Forms, LinkRestraints, testing::Values('F', 'U'),
                         [](const auto& p) { return p.param == 'U' ? "Unformatted" : "Text"; });
