// Links between consecutive residues on real geometry: every peptide of an
// entry, a cis peptide, a chain break, and a broken residue tree.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <vector>

#include "connect/consecutive_links.h"
#include "entry_fixture.h"

namespace {

using conntest::conn_code;
using conntest::residues_of_type;

struct Result {
  int32_t ierr = -1, nsug = -1;
  std::string out;
};

Result connect_consecutive(char cis_flag = 'Y', char conn_flag = 'Y') {
  Result r;
  char dnew = 'N';
  r.out = captured([&] {
    def_conn_(0, ' ', conn_flag, cis_flag, 'Y', link_inf.ln_n, dnew, r.nsug, r.ierr);
  });
  return r;
}

// Atom lines of 2BEG chain A from residue `first` to `last`.
std::vector<std::string> chain_a(int first, int last) {
  std::ifstream in(ORB_TEST_DATA_DIR "/2BEG.pdb");
  std::vector<std::string> out = {pdbtest::kCryst};
  for (std::string l; std::getline(in, l);) {
    if (l.rfind("ATOM", 0) != 0 || l[21] != 'A') continue;
    const int n = std::stoi(l.substr(22, 4));
    if (n >= first && n <= last) out.push_back(l);
  }
  return out;
}

float coord(const std::string& l, int k) { return std::stof(l.substr(30 + 8 * k, 8)); }
void set_coord(std::string& l, const float* x) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%8.3f%8.3f%8.3f", x[0], x[1], x[2]);
  l.replace(30, 24, buf);
}
bool is_atom(const std::string& l, int resnum, const char* name) {
  return std::stoi(l.substr(22, 4)) == resnum && l.substr(12, 4) == name;
}

// Turns residue `resnum` (and everything after it) half a turn about the
// bond from the C of the residue before to its N: the peptide torsion goes
// from trans to cis, bond lengths and angles stay those of the entry.
void flip_about_peptide_bond(std::vector<std::string>& lines, int resnum) {
  float c[3] = {}, n[3] = {};
  for (const std::string& l : lines) {
    if (l.rfind("ATOM", 0) != 0) continue;
    for (int k = 0; k < 3; ++k) {
      if (is_atom(l, resnum - 1, " C  ")) c[k] = coord(l, k);
      if (is_atom(l, resnum, " N  ")) n[k] = coord(l, k);
    }
  }
  float u[3] = {n[0] - c[0], n[1] - c[1], n[2] - c[2]};
  const float len = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
  for (float& v : u) v /= len;
  for (std::string& l : lines) {
    if (l.rfind("ATOM", 0) != 0 || std::stoi(l.substr(22, 4)) < resnum) continue;
    float p[3], d[3];
    for (int k = 0; k < 3; ++k) d[k] = coord(l, k) - n[k];
    // Half a turn: p = 2 (d.u) u - d, about the axis through N.
    const float du = d[0] * u[0] + d[1] * u[1] + d[2] * u[2];
    for (int k = 0; k < 3; ++k) p[k] = n[k] + 2.0f * du * u[k] - d[k];
    set_coord(l, p);
  }
}

int32_t read_lines(const std::vector<std::string>& lines) {
  pdbtest::TempFile f(lines);
  return conntest::read_entry(f.path());
}

TEST(ConsecutiveLinks, EveryPeptideOfARealEntryIsTrans) {
  ASSERT_EQ(conntest::read_entry("2BEG.pdb"), 0);
  conntest::load_library();
  ASSERT_EQ(asym_part.n_group, 5);
  const Result r = connect_consecutive();
  EXPECT_EQ(r.ierr, 0);
  EXPECT_EQ(residues_of_type(conn_code("TRANS")), resid_inf.n_residue - asym_part.n_group) << r.out;
  EXPECT_EQ(residues_of_type(conn_code("CIS")), 0);
  EXPECT_EQ(link_inf.ln_n, 0);  // plain trans peptides need no row
  EXPECT_EQ(r.out, "");
}

TEST(ConsecutiveLinks, CisPeptideIsFoundAndEntered) {
  std::vector<std::string> lines = chain_a(17, 20);
  flip_about_peptide_bond(lines, 19);
  ASSERT_EQ(read_lines(lines), 0);
  conntest::load_library();
  const Result r = connect_consecutive('Y');
  EXPECT_EQ(r.ierr, 0);
  EXPECT_EQ(resid_inf.iconn_type(3), conn_code("CIS"));
  EXPECT_EQ(resid_inf.iconn_type(4), conn_code("TRANS"));
  ASSERT_EQ(link_inf.ln_n, 1);
  EXPECT_EQ(link_inf.ln_id(1).view(), "CIS     ");
  EXPECT_EQ(link_inf.ln_1ires(1), 2);
  EXPECT_EQ(link_inf.ln_2ires(1), 3);
  EXPECT_NE(r.out.find("  WARNING : CIS peptide bond is found, angle ="), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("            ch:AA   res:  18  VAL      -->  19  PHE\n"), std::string::npos)
      << r.out;
}

TEST(ConsecutiveLinks, CisPeptideIsOnlyReportedWhenCisIsNotWanted) {
  std::vector<std::string> lines = chain_a(17, 19);
  flip_about_peptide_bond(lines, 19);
  ASSERT_EQ(read_lines(lines), 0);
  conntest::load_library();
  const Result r = connect_consecutive('N');
  EXPECT_EQ(resid_inf.iconn_type(3), conn_code("TRANS"));
  EXPECT_EQ(link_inf.ln_n, 0);
  EXPECT_NE(r.out.find("  WARNING : CIS peptide bond (not be used) angle ="), std::string::npos);
}

TEST(ConsecutiveLinks, ChainBreakBecomesAGap) {
  // Residues 17-19 and 21-23 of chain A with 20 missing: the reader marks
  // the number jump and the two ends are far apart.
  std::vector<std::string> lines = chain_a(17, 19);
  const std::vector<std::string> tail = chain_a(21, 23);
  lines.insert(lines.end(), tail.begin() + 1, tail.end());
  ASSERT_EQ(read_lines(lines), 0);
  conntest::load_library();
  ASSERT_EQ(resid_inf.iconn_type(4), conn_code("gap"));
  const Result r = connect_consecutive();
  EXPECT_EQ(r.ierr, 0);
  EXPECT_EQ(resid_inf.iconn_type(4), conn_code("gap"));
  EXPECT_EQ(resid_inf.iconn_type(5), conn_code("TRANS"));
  ASSERT_EQ(link_inf.ln_n, 1);
  EXPECT_EQ(link_inf.ln_id(1).view(), "gap     ");
  EXPECT_NE(r.out.find("  WARNING : conn: gap.     ch:AA   res:  19  PHE     -->  21  ALA\n"),
            std::string::npos)
      << r.out;
}

// The same residues taken for nucleotides (residue class DNA), so that the
// pair across the jump is looked at for the phosphate link, whose atoms
// (O3' and P) none of them has: the jump in the numbers makes the pair a
// gap, entered as a row; consecutive numbers without the atoms make none.
TEST(ConsecutiveLinks, NumberJumpInANucleicAcidIsAGap) {
  for (const bool jump : {true, false}) {
    SCOPED_TRACE(jump ? "numbers 17-19, 21-23" : "numbers 17-19");
    std::vector<std::string> lines = chain_a(17, 19);
    if (jump) {
      const std::vector<std::string> tail = chain_a(21, 23);
      lines.insert(lines.end(), tail.begin() + 1, tail.end());
    }
    ASSERT_EQ(read_lines(lines), 0);
    conntest::load_library();
    for (int ir = 1; ir <= resid_inf.n_residue; ++ir) resid_inf.ires_type(ir) = 5;
    const Result r = connect_consecutive();
    EXPECT_EQ(r.ierr, 0);
    if (!jump) {
      EXPECT_EQ(link_inf.ln_n, 0) << r.out;
      continue;
    }
    ASSERT_EQ(link_inf.ln_n, 1) << r.out;
    EXPECT_EQ(link_inf.ln_id(1).view(), "gap     ");
    EXPECT_EQ(link_inf.ln_1ires(1), 3);
    EXPECT_EQ(link_inf.ln_2ires(1), 4);
    EXPECT_EQ(resid_inf.iconn_type(4), conn_code("gap"));
  }
}

TEST(ConsecutiveLinks, BrokenResidueTreeStopsTheStage) {
  ASSERT_EQ(read_lines(chain_a(17, 21)), 0);
  conntest::load_library();
  resid_inf.ires_forw(3) = 0;
  const Result r = connect_consecutive();
  EXPECT_EQ(r.ierr, 1);
  EXPECT_EQ(r.out.substr(r.out.size() - 36), "  ERROR: wrong tree structure .....\n");
}

TEST(ConsecutiveLinks, WaterBetweenTwoResiduesLinksNeither) {
  std::vector<std::string> lines = chain_a(17, 18);
  lines.push_back(pdbtest::water('A', 19));
  ASSERT_EQ(read_lines(lines), 0);
  conntest::load_library();
  // Put the water into the chain, as a model whose chain runs through it.
  if (asym_part.n_group == 2) {
    asym_part.n_group = 1;
    asym_part.nres_chain(1) = 3;
    asym_part.ires_end_tree(1) = 3;
    resid_inf.ires_forw(2) = 3;
  }
  const Result r = connect_consecutive();
  EXPECT_EQ(r.ierr, 0);
  EXPECT_EQ(resid_inf.iconn_type(2), conn_code("TRANS"));
  EXPECT_EQ(resid_inf.iconn_type(3), 1);
}

}  // namespace
