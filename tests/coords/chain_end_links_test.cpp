// A chain's last residue whose C a LINK record bonds to another residue (an
// isopeptide to a lysine's NZ of another chain) is no free carboxyl end:
// it takes no terminal group even with an OXT, where the same chain
// without the record does.  A free end's carboxyl oxygens named O1 and O2
// (as GROMOS names them) take the names O and OXT.
#include <gtest/gtest.h>

#include "coords/chain_termini.h"
#include "foundation/atom_com.h"
#include "pdb_fixture.h"

using namespace pdbtest;

namespace {

// Chain A ALA1-GLY2 closed by an OXT, then LYS1 of chain B with its NZ.
std::vector<std::string> gly_end_and_lysine(const std::string& link) {
  std::vector<std::string> l = {kCryst};
  if (!link.empty()) l.push_back(link);
  append(l, residue("ALA", 'A', 1));
  append(l, residue("GLY", 'A', 2));
  l.push_back(line({.name = " OXT", .res = "GLY", .resnum = 2, .elem = " O"}));
  l.push_back(kTer);
  append(l, residue("LYS", 'B', 1));
  l.push_back(line({.name = " NZ ", .res = "LYS", .chain = 'B', .resnum = 1, .elem = " N"}));
  return l;
}

}  // namespace

TEST(ChainEndLinks, LinkOnTheLastCarbonCancelsTheCarboxylEnd) {
  const struct {
    const char* label;
    std::string link;
    int32_t end_type;  // of chain A's last residue: 2 COO, 1 none
    bool bonded;
  } rows[] = {
      {"no LINK record: a free carboxyl end", "", 2, false},
      {"LINK from GLY2 C to LYS NZ of chain B",
       "LINK         C   GLY A   2                 NZ  LYS B   1     1555   1555  1.33  ", 1, true},
      {"the same LINK written from the lysine's side",
       "LINK         NZ  LYS B   1                 C   GLY A   2     1555   1555  1.33  ", 1, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const ReadResult r = read_pdb(gly_end_and_lysine(row.link));
    ASSERT_EQ(r.ierr, 0) << r.out;
    ASSERT_EQ(asym_part.n_group, 2);
    ASSERT_EQ(link_inf.ln_n, row.link.empty() ? 0 : 1);
    EXPECT_EQ(asym_part.iterm_s_type(1), 2);
    EXPECT_EQ(asym_part.iterm_f_type(1), row.end_type);
    // The identification of a residue alone asks the same of its ends.
    const int32_t gly = asym_part.ires_end_tree(1);
    EXPECT_EQ(chain_end_bonded(gly, asym_part.ichain_grp(1), false), row.bonded);
    EXPECT_FALSE(chain_end_bonded(gly, asym_part.ichain_grp(1), true));
  }
}

TEST(ChainEndLinks, EachChainEndFindsItsOwnRowAmongMany) {
  // Three chains ending GLY 2 with OXT and two lysines; the LINK records
  // bond the ends of chains C and A (C's written from the lysine's side, so
  // the glycine is the row's second residue), chain E's end none.
  std::vector<std::string> l = {
      kCryst, "LINK         NZ  LYS D   1                 C   GLY C   2     1555   1555  1.33  ",
      "LINK         C   GLY A   2                 NZ  LYS B   1     1555   1555  1.33  "};
  for (const char chain : {'A', 'B', 'C', 'D', 'E'}) {
    if (chain == 'B' || chain == 'D') {
      append(l, residue("LYS", chain, 1));
      l.push_back(line({.name = " NZ ", .res = "LYS", .chain = chain, .resnum = 1, .elem = " N"}));
    } else {
      append(l, residue("ALA", chain, 1));
      append(l, residue("GLY", chain, 2));
      l.push_back(line({.name = " OXT", .res = "GLY", .chain = chain, .resnum = 2, .elem = " O"}));
    }
    l.push_back(kTer);
  }
  const ReadResult r = read_pdb(l);
  ASSERT_EQ(r.ierr, 0) << r.out;
  ASSERT_EQ(asym_part.n_group, 5);
  ASSERT_EQ(link_inf.ln_n, 2);
  EXPECT_EQ(asym_part.iterm_f_type(1), 1) << "chain A, bonded by the second row";
  EXPECT_EQ(asym_part.iterm_f_type(3), 1) << "chain C, the row's second residue";
  EXPECT_EQ(asym_part.iterm_f_type(5), 2) << "chain E, no row: a free carboxyl end";
  for (int g : {1, 3, 5}) EXPECT_EQ(asym_part.iterm_s_type(g), 2) << "chain " << g;
}

TEST(ChainEndLinks, CarboxylOxygensO1O2OfAFreeEndTakeTheLibraryNames) {
  // GLY2's C stands at (2.2, 2, 3); O1 1.2 A from it.
  const struct {
    const char* label;
    float o2_z;      // O2 at (2.2, 2, o2_z)
    bool with_o;     // GLY2 keeps an O too
    bool joined;     // a LINK bonds GLY2 C to a lysine of chain B
    const char* names;
    int32_t end_type;
    bool no_o2 = false;  // O1 alone
  } rows[] = {
      {"both bonded to C of the free end", 4.25f, false, false, "N CA C O OXT ", 2},
      {"O2 1.69 A from C, still bonded", 4.69f, false, false, "N CA C O OXT ", 2},
      {"O2 3 A from C", 6.0f, false, false, "N CA C O1 O2 ", 1},
      {"O1 alone, no O2", 4.25f, false, false, "N CA C O1 ", 1, true},
      {"an O beside them", 4.25f, true, false, "N CA C O O1 O2 ", 1},
      {"the end bonded on by a LINK", 4.25f, false, true, "N CA C O1 O2 ", 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    std::vector<std::string> l = {kCryst};
    if (row.joined)
      l.push_back("LINK         C   GLY A   2                 NZ  LYS B   1     1555   1555  1.33  ");
    append(l, residue("ALA", 'A', 1));
    std::vector<std::string> gly = residue("GLY", 'A', 2);
    if (!row.with_o) gly.pop_back();
    append(l, gly);
    l.push_back(line({.name = " O1 ", .res = "GLY", .resnum = 2, .x = 2.2f, .y = 3.2f, .elem = " O"}));
    if (!row.no_o2)
      l.push_back(line({.name = " O2 ", .res = "GLY", .resnum = 2, .x = 2.2f, .z = row.o2_z, .elem = " O"}));
    l.push_back(kTer);
    append(l, residue("LYS", 'B', 1));
    l.push_back(line({.name = " NZ ", .res = "LYS", .chain = 'B', .resnum = 1, .elem = " N"}));
    const ReadResult r = read_pdb(l);
    ASSERT_EQ(r.ierr, 0) << r.out;
    const int32_t gly_r = asym_part.ires_end_tree(1);
    std::string names;
    for (int a = resid_inf.iratm_first(gly_r); a < resid_inf.iratm_first(gly_r) + resid_inf.natm_res(gly_r); ++a)
      names += std::string(atom_inf.atm_name(a).trimmed()) + " ";
    EXPECT_EQ(names, row.names);
    EXPECT_EQ(asym_part.iterm_f_type(1), row.end_type);
  }
}
