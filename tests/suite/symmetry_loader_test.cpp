// Loading space groups from the symmetry data file: by extended symbol, by
// operator list, by number, the name rules, the record built, and files
// that are missing, incomplete or too big for the loader.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "suite/csymlib.h"
#include "symmetry_test_support.h"

namespace {

using symmetry_test::BlockInfo;
using symmetry_test::quietly;

class SpacegroupLoader : public symmetry_test::SymmetryTest {};

std::string xhm_of(const SpacegroupPtr& sg) { return sg ? sg->symbol_xhm : "<none>"; }

}  // namespace

TEST_F(SpacegroupLoader, EveryBlockIsFoundByItsExtendedSymbol) {
  const std::vector<BlockInfo> blocks = symmetry_test::list_blocks(symmetry_test::data_file());
  ASSERT_EQ(blocks.size(), 555u);
  for (const BlockInfo& b : blocks) {
    SpacegroupPtr sg = quietly([&] { return ptq7spg_load_by_spgname(b.xhm.c_str()); });
    ASSERT_TRUE(sg) << b.xhm;
    EXPECT_EQ(std::string(sg->symbol_xhm), b.xhm);
    EXPECT_EQ(sg->number, b.number) << b.xhm;
    EXPECT_EQ(sg->nsymop_prim, b.nsym) << b.xhm;
    EXPECT_EQ(sg->nsymop, b.nsym * b.ncen) << b.xhm;
    ASSERT_EQ(static_cast<int>(sg->invsymop.size()), sg->nsymop);
  }
}

TEST_F(SpacegroupLoader, EveryBlockIsFoundFromShuffledShiftedOperators) {
  const std::vector<BlockInfo> blocks = symmetry_test::list_blocks(symmetry_test::data_file());
  unsigned seed = 12345;
  for (const BlockInfo& b : blocks) {
    SpacegroupPtr sg = quietly([&] { return ptq7spg_load_by_spgname(b.xhm.c_str()); });
    ASSERT_TRUE(sg) << b.xhm;
    std::vector<Symop> ops = sg->symop;
    // Reverse the list, rotate it by a varying amount, and move every
    // translation by a whole number of cells.
    std::reverse(ops.begin(), ops.end());
    seed = seed * 1103515245u + 12345u;
    std::rotate(ops.begin(), ops.begin() + (seed >> 8) % ops.size(), ops.end());
    for (size_t i = 0; i < ops.size(); ++i)
      for (int j = 0; j < 3; ++j) ops[i].trn[j] += static_cast<float>(static_cast<int>((i + j) % 4) - 2);
    SpacegroupPtr found =
        quietly([&] { return ptq7_spgrp_reverse_lookup(static_cast<int>(ops.size()), ops.data()); });
    ASSERT_TRUE(found) << b.xhm;
    EXPECT_EQ(xhm_of(found), b.xhm);
    // A record loaded by operators keeps the caller's list as given.
    ASSERT_EQ(found->nsymop, static_cast<int>(ops.size()));
    EXPECT_EQ(found->symop[0].trn[0], ops[0].trn[0]);
  }
}

TEST_F(SpacegroupLoader, LoadByNumberFindsTheFirstBlockOfThatNumber) {
  const std::vector<BlockInfo> blocks = symmetry_test::list_blocks(symmetry_test::data_file());
  std::map<int, std::string> first;
  for (const BlockInfo& b : blocks) first.emplace(b.number, b.xhm);
  ASSERT_EQ(first.size(), 230u);
  for (const auto& [number, xhm] : first) {
    SpacegroupPtr sg = quietly([&] { return ptq7spg_load_by_standard_num(number); });
    EXPECT_EQ(xhm_of(sg), xhm) << number;
  }
}

TEST_F(SpacegroupLoader, NameMatchingRules) {
  struct Case {
    const char* asked;
    const char* found;
  } cases[] = {
      {"P 21", "P 1 21 1"},   {"p21", "P 1 21 1"},   {"P 1 21 1", "P 1 21 1"},
      {"P21", "P 1 21 1"},    {"H 3", "R 3 :H"},     {"R 3 :H", "R 3 :H"},
      {"r 3 :r", "R 3 :R"},   {"R 3", "R 3 :R"},     {"P212121", "P 21 21 21"},
      {"P 1", "P 1"},         {"P-1", "P -1"},
      // The first block whose short form matches wins: 'C 1 1 2' stands
      // before 'C 1 2 1' in the file.
      {"C2", "C 1 1 2"},      {"C 1 2 1", "C 1 2 1"},
  };
  for (const Case& c : cases) {
    SpacegroupPtr sg = quietly([&] { return ptq7spg_load_by_spgname(c.asked); });
    EXPECT_EQ(xhm_of(sg), c.found) << c.asked;
  }
  // By suite name the old symbol is tried before the extended one.
  SpacegroupPtr sg = quietly([] { return ptq7spg_load_by_ptq7_spgname("R 3"); });
  EXPECT_EQ(xhm_of(sg), "R 3 :R");
  sg = quietly([] { return ptq7spg_load_by_ptq7_spgname("H 3"); });
  EXPECT_EQ(xhm_of(sg), "R 3 :H");
}

TEST(SpacegroupNames, ComparisonHelpers) {
  EXPECT_EQ(ptq7spg_name_equal_to_lib("P 1 21 1", "P 21"), 1);
  EXPECT_EQ(ptq7spg_name_equal_to_lib("P 1 21 1", "P 1"), 0);
  EXPECT_EQ(ptq7spg_name_equal_to_lib("P 21 21 21", " P212121"), 0);  // a leading blank counts
  EXPECT_EQ(ptq7spg_name_equal("P 21", "p 21"), 1);
  EXPECT_EQ(ptq7spg_name_equal("P 21", "P21"), 0);
  EXPECT_EQ(ptq7spg_pgname_equal("PG4/mmm", "4/MMM"), 1);
  EXPECT_EQ(ptq7spg_pgname_equal("PG 4", "PG422"), 0);
  char out[32];
  EXPECT_STREQ(ptq7spg_to_shortname(out, "P 1 21 1"), "P21");
  EXPECT_STREQ(ptq7spg_to_shortname(out, "C 1 2 1"), "C2");
  EXPECT_STREQ(ptq7spg_to_shortname(out, "P 21 21 21"), "P212121");
  EXPECT_STREQ(ptq7spg_to_shortname(out, "P 1"), "P1");
  EXPECT_STREQ(ptq7spg_to_shortname(out, "P 3 1 2"), "P312");
  EXPECT_STREQ(ptq7spg_to_shortname(out, "R -3 2"), "R-32");
  // A ':H' name reads as the H lattice, a ':R' name as the bare symbol.
  EXPECT_EQ(ptq7spg_name_equal_to_lib("H 3", "R 3 :H"), 1);
  EXPECT_EQ(ptq7spg_name_equal_to_lib("R 3 :H", "H 3"), 1);
  EXPECT_EQ(ptq7spg_name_equal_to_lib("R 3", "R 3 :R"), 1);
  EXPECT_EQ(ptq7spg_name_equal_to_lib("R 3", "R 3 :H"), 0);
  char name[] = "R 3 :H";
  EXPECT_STREQ(ptq7spg_name_de_colon(name), "H 3   ");
  char name2[] = "R 3 2 :R";
  EXPECT_STREQ(ptq7spg_name_de_colon(name2), "R 3 2   ");
}

TEST(SpacegroupOperators, ListEqualityIgnoresOrderAndWholeCells) {
  Symop a[2] = {{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {0, 0, 0}},
                {{{-1, 0, 0}, {0, 1, 0}, {0, 0, -1}}, {0, 0.5f, 0}}};
  Symop b[2] = {a[1], a[0]};
  EXPECT_EQ(ptq7_spgrp_equal(2, a, 2, b), 1);
  EXPECT_EQ(ptq7_spgrp_equal(2, a, 1, b), 0);
  b[0].trn[1] = -0.5f;
  ptq7spg_norm_trans(b[0]);
  EXPECT_FLOAT_EQ(b[0].trn[1], 0.5f);
  b[0].trn[1] = 0.25f;
  EXPECT_EQ(ptq7_spgrp_equal(2, a, 2, b), 0);
  // Code: rotation digits in base 4 (low two bits), translations in twelfths.
  EXPECT_EQ(ptq7_symop_code(a[0]), ((((((((1 * 4 + 0) * 4 + 0) * 4 + 0) * 4 + 1) * 4 + 0) * 4 + 0) * 4 + 0) * 4 + 1) << 12);
  EXPECT_EQ(ptq7_symop_code(a[1]) & 0xFFF, 6 << 4);
}

TEST_F(SpacegroupLoader, RecordOfP212121) {
  SpacegroupPtr sg = quietly([] { return ptq7spg_load_by_spgname("P 21 21 21"); });
  ASSERT_TRUE(sg);
  EXPECT_EQ(sg->number, 19);
  EXPECT_EQ(sg->ptq7_number, 19);
  EXPECT_STREQ(sg->point_group, "PG222");
  EXPECT_EQ(sg->laue_code, 6);
  EXPECT_STREQ(sg->laue_name, "mmm");
  EXPECT_EQ(sg->laue_sampling[0], 4);
  EXPECT_EQ(sg->patterson_number, 47);
  EXPECT_STREQ(sg->patterson_name, "Pmmm");
  EXPECT_STREQ(sg->asu_descr, "h>=0 and k>=0 and l>=0");
  EXPECT_EQ(sg->nsymop, 4);
  // Without a suite map asymmetric unit the origin-based one serves for both.
  EXPECT_STREQ(sg->mapasu_ptq7_descr, sg->mapasu_zero_descr);
  for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(sg->mapasu_ptq7[i], sg->mapasu_zero[i]);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_EQ(sg->chb[i][j], i == j ? 1.0f : 0.0f);
  // Every inverse undoes its operator, translations in [0, 1).
  for (int n = 0; n < sg->nsymop; ++n) {
    Symop prod;
    ptq7spg_symop_product(prod, sg->symop[n], sg->invsymop[n]);
    ptq7spg_norm_trans(prod);
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) EXPECT_FLOAT_EQ(prod.rot[i][j], i == j ? 1.0f : 0.0f);
      EXPECT_NEAR(prod.trn[i], 0.0f, 1e-6f);
      EXPECT_GE(sg->invsymop[n].trn[i], 0.0f);
      EXPECT_LT(sg->invsymop[n].trn[i], 1.0f);
    }
  }
}

TEST_F(SpacegroupLoader, CentredOperatorsFollowThePrimitiveOnes) {
  SpacegroupPtr sg = quietly([] { return ptq7spg_load_by_spgname("C 1 2 1"); });
  ASSERT_TRUE(sg);
  ASSERT_EQ(sg->nsymop, 4);
  EXPECT_EQ(sg->nsymop_prim, 2);
  EXPECT_STREQ(sg->patterson_name, "C2/m");
  // Operator 3 is the centring (1/2, 1/2, 0) after the identity, 4 after the 2-fold.
  EXPECT_FLOAT_EQ(sg->symop[2].trn[0], 0.5f);
  EXPECT_FLOAT_EQ(sg->symop[2].trn[1], 0.5f);
  EXPECT_FLOAT_EQ(sg->symop[2].rot[0][0], 1.0f);
  EXPECT_FLOAT_EQ(sg->symop[3].rot[0][0], -1.0f);
  EXPECT_FLOAT_EQ(sg->symop[3].trn[0], 0.5f);
}

TEST_F(SpacegroupLoader, FourCentringLinesGiveSixteenOperators) {
  // F 2 2 2: symop x,y,z / -x,-y,z / x,-y,-z / -x,y,-z; cenop x,y,z /
  // x,y+1/2,z+1/2 / x+1/2,y,z+1/2 / x+1/2,y+1/2,z.
  SpacegroupPtr sg = quietly([] { return ptq7spg_load_by_spgname("F 2 2 2"); });
  ASSERT_TRUE(sg);
  ASSERT_EQ(sg->nsymop, 16);
  EXPECT_EQ(sg->nsymop_prim, 4);
  const float diag[4][3] = {{1, 1, 1}, {-1, -1, 1}, {1, -1, -1}, {-1, 1, -1}};
  const float cen[4][3] = {{0, 0, 0}, {0, 0.5f, 0.5f}, {0.5f, 0, 0.5f}, {0.5f, 0.5f, 0}};
  for (int c = 0; c < 4; ++c)
    for (int p = 0; p < 4; ++p) {
      const Symop& op = sg->symop[4 * c + p];
      for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(op.rot[i][i], diag[p][i]) << c << " " << p;
        EXPECT_FLOAT_EQ(op.trn[i], cen[c][i]) << c << " " << p;
      }
    }
  EXPECT_EQ(sg->patterson_number, 69);
  EXPECT_STREQ(sg->patterson_name, "Fmmm");
  EXPECT_STREQ(sg->mapasu_zero_descr, "0<=x<=1/4; 0<=y<=1/4; 0<=z<1");
  EXPECT_NEAR(sg->mapasu_zero[0], 0.25001f, 1e-6f);
  EXPECT_NEAR(sg->mapasu_zero[2], 0.99999f, 1e-6f);
  // Four centring translations: a general reflection is counted four times.
  EXPECT_EQ(sg->epsilon_zones[12], 4);
}

TEST(SpacegroupOperators, TranslationsNormalisedWhateverTheirSize) {
  Symop op = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {-2.5f, 3.25f, -1.0f}};
  ptq7spg_norm_trans(op);
  EXPECT_FLOAT_EQ(op.trn[0], 0.5f);
  EXPECT_FLOAT_EQ(op.trn[1], 0.25f);
  EXPECT_EQ(op.trn[2], 0.0f);
  EXPECT_FALSE(std::signbit(op.trn[2]));
  // Values far beyond any cell end at once instead of counting cells.
  op.trn[0] = 1e30f;
  op.trn[1] = -3e9f;
  op.trn[2] = -1e-30f;
  ptq7spg_norm_trans(op);
  EXPECT_EQ(op.trn[0], 0.0f);
  EXPECT_EQ(op.trn[1], 0.0f);
  EXPECT_GE(op.trn[2], 0.0f);
  EXPECT_LT(op.trn[2], 1.0f);
}

TEST_F(SpacegroupLoader, RhombohedralSettingsAndChangeOfBasis) {
  SpacegroupPtr h = quietly([] { return ptq7spg_load_by_spgname("R 3 :H"); });
  ASSERT_TRUE(h);
  EXPECT_EQ(h->nsymop, 9);
  EXPECT_EQ(h->patterson_number, 148);
  EXPECT_STREQ(h->patterson_name, "H-3");
  SpacegroupPtr r = quietly([] { return ptq7spg_load_by_spgname("R 3 :R"); });
  ASSERT_TRUE(r);
  EXPECT_EQ(r->ptq7_number, 1146);
  EXPECT_EQ(r->nsymop, 3);
  // basisop -y+z,x+z,-x+y+z
  EXPECT_FLOAT_EQ(r->chb[0][1], -1.0f);
  EXPECT_FLOAT_EQ(r->chb[0][2], 1.0f);
  EXPECT_FLOAT_EQ(r->chb[2][0], -1.0f);
}

TEST_F(SpacegroupLoader, UnknownGroupIsReportedAndNull) {
  Capture cap;
  EXPECT_FALSE(ptq7spg_load_by_spgname("P 7 7 7"));
  EXPECT_FALSE(ptq7spg_load_by_standard_num(231));
  Symop odd = {{{0, 1, 0}, {0, 0, 1}, {1, 1, 1}}, {0, 0, 0}};
  EXPECT_FALSE(ptq7_spgrp_reverse_lookup(1, &odd));
  const std::string out = cap.out();
  size_t n = 0;
  for (size_t p = out.find(" Failed to find spacegroup in SYMINFO! \n"); p != std::string::npos;
       p = out.find(" Failed to find spacegroup in SYMINFO! \n", p + 1))
    ++n;
  EXPECT_EQ(n, 3u);
  EXPECT_NE(out.find(" Logical Name: SYMINFO   Filename: " + symmetry_test::data_file() + "\n"),
            std::string::npos);
}

TEST_F(SpacegroupLoader, MissingFileAndMissingVariables) {
  {
    env.set("SYMINFO", "/nonexistent/syminfo.lib");
    Capture cap;
    EXPECT_FALSE(ptq7spg_load_by_standard_num(1));
    EXPECT_NE(cap.out().find("csym:Cannot find SYMINFO file - no symmetry information"),
              std::string::npos);
  }
  {
    env.unset("SYMINFO");
    Capture cap;
    EXPECT_FALSE(ptq7spg_load_by_standard_num(1));
    EXPECT_EQ(cap.out(),
              "Environment variable SYMINFO not set ... guessing location of symmetry file. \n"
              "Environment variable PTQ7 not set ... big trouble! \n");
  }
  {
    TempDir dir;
    std::filesystem::create_directories(dir.path() + "/lib/data");
    std::filesystem::copy_file(symmetry_test::data_file(), dir.path() + "/lib/data/syminfo.lib");
    env.set("PTQ7", dir.path());
    Capture cap;
    SpacegroupPtr sg = ptq7spg_load_by_standard_num(4);
    EXPECT_EQ(xhm_of(sg), "P 1 21 1");
    EXPECT_NE(cap.out().find(" SYMINFO file set to " + dir.path() + "/lib/data/syminfo.lib \n"),
              std::string::npos);
  }
}

namespace {

std::string block(int number, const std::string& xhm, int nsym, int ncen,
                  const std::string& extra = "") {
  std::string b = "begin_spacegroup\nnumber  " + std::to_string(number) +
                  "\nbasisop x,y,z\nsymbol ptq7 " + std::to_string(number) + "\nsymbol Hall 'P 1'\n" +
                  "symbol xHM  '" + xhm + "'\nsymbol old  ''\nsymbol patt 'P -1' '-1'\n" +
                  "symbol pgrp '1' '1'\n" +
                  "hklasu ptq7 'l>0 or (l==0 and (h>0 or (h==0 and k>=0)))'\n" +
                  "mapasu zero 0<=x<1; 0<=y<1; 0<=z<1\n" + extra;
  for (int i = 0; i < nsym; ++i) b += "symop x,y,z\n";
  for (int i = 0; i < ncen; ++i) b += "cenop x,y,z\n";
  return b + "end_spacegroup\n\n";
}

}  // namespace

TEST_F(SpacegroupLoader, BlockBeyondCapacityIsRefusedNotOverrun) {
  TempDir dir;
  const std::string path =
      dir.write("big.lib", block(1, "P 1", 193, 1) + block(1, "A 1", 1, 5) +
                               block(1, "B 1", 1, 1, "symbol Hall '" + std::string(45, 'P') + "'\n") +
                               block(1, "C 1", 1, 1));
  env.set("SYMINFO", path);
  Capture cap;
  SpacegroupPtr sg = ptq7spg_load_by_standard_num(1);
  EXPECT_EQ(xhm_of(sg), "C 1");
  const std::string out = cap.out();
  EXPECT_NE(out.find(" Spacegroup 1 (P 1) in SYMINFO exceeds the loader's capacity "
                     "(number of symop lines); block ignored \n"),
            std::string::npos);
  EXPECT_NE(out.find("(A 1) in SYMINFO exceeds the loader's capacity (number of cenop lines)"),
            std::string::npos);
  EXPECT_NE(out.find("(B 1) in SYMINFO exceeds the loader's capacity (Hall symbol)"),
            std::string::npos);
}

TEST_F(SpacegroupLoader, BlockWithoutCentringLineIsRefused) {
  TempDir dir;
  const std::string path = dir.write("nocen.lib", block(1, "P 1", 1, 0) + block(1, "C 1", 1, 1));
  env.set("SYMINFO", path);
  Capture cap;
  SpacegroupPtr sg = ptq7spg_load_by_standard_num(1);
  EXPECT_EQ(xhm_of(sg), "C 1");
  EXPECT_NE(cap.out().find(" Spacegroup 1 (P 1) in SYMINFO has no cenop line; block ignored \n"),
            std::string::npos);
}

// A damaged data file is told from one that merely lacks a group: a file
// cut anywhere inside a block, even right after the line that opens it, is
// cut; one cut just after a whole block is a shorter library.
TEST_F(SpacegroupLoader, DamagedDataFileIsToldFromAShortOne) {
  using suite::SymmetryLibrary;
  const std::string two = block(1, "P 1", 1, 1) + block(4, "P 1 21 1", 2, 1);
  const std::string cut_in_line = two.substr(0, two.rfind("symop x,y,z") + 7);
  const struct {
    const char* label;
    std::string text;
    SymmetryLibrary state;
  } rows[] = {
      {"whole blocks", two, SymmetryLibrary::kSound},
      {"cut after a whole block", block(1, "P 1", 1, 1), SymmetryLibrary::kSound},
      {"comment after the last block", two + "# end of file\n", SymmetryLibrary::kSound},
      {"no character", "", SymmetryLibrary::kEmpty},
      {"blank lines only", "\n  \n\t\n", SymmetryLibrary::kEmpty},
      {"cut inside an operator line", cut_in_line, SymmetryLibrary::kCutInGroup},
      {"cut after the opening line", two + "begin_spacegroup\n", SymmetryLibrary::kCutInGroup},
      {"cut before any end", two.substr(0, 200), SymmetryLibrary::kNoGroup},
      {"text of another kind", "x y z\n\x01\x02garbage\nmore words\n", SymmetryLibrary::kNoGroup},
      // Groups a load passes over, or builds from fewer operators than given.
      {"a group without a centring line", two + block(5, "C 1 2 1", 2, 0), SymmetryLibrary::kUnusableGroup},
      {"a group without symop lines", block(2, "P -1", 0, 1) + two, SymmetryLibrary::kUnusableGroup},
      {"a group beyond capacity", two + block(1, "A 1", 1, 5), SymmetryLibrary::kUnusableGroup},
      {"a symop that is no operator", block(4, "P 1 21 1", 1, 1, "symop x,,z\n"),
       SymmetryLibrary::kUnusableGroup},
      {"a cenop that is no operator", block(4, "P 1 21 1", 1, 1, "cenop x,y\n"),
       SymmetryLibrary::kUnusableGroup},
      // Operators the reader takes, but not as written: each read as another
      // operator or as none.
      {"a term of two divisors", block(4, "P 1 21 1", 1, 1, "symop -y+1/2,x+1/2,z+3/4/5\n") + two,
       SymmetryLibrary::kUnusableGroup},
      {"a rotation of a half", two + block(4, "P 1 21 1", 1, 1, "symop -x,y,-z/2\n"),
       SymmetryLibrary::kUnusableGroup},
      {"a separator after the third row", two + block(4, "P 1 21 1", 1, 1, "symop x,y,z,\n"),
       SymmetryLibrary::kUnusableGroup},
      {"a fourth row", two + block(4, "P 1 21 1", 1, 1, "symop x,y,z,x\n"), SymmetryLibrary::kUnusableGroup},
      {"a singular rotation", two + block(4, "P 1 21 1", 1, 1, "symop x,x,z\n"),
       SymmetryLibrary::kUnusableGroup},
      {"a character the reader passes over", two + block(4, "P 1 21 1", 1, 1, "cenop x,y,q\n"),
       SymmetryLibrary::kUnusableGroup},
      {"a column named twice in a row", two + block(4, "P 1 21 1", 1, 1, "symop x,y,z+1/2+1/4\n"),
       SymmetryLibrary::kUnusableGroup},
      {"a digit after a letter", two + block(4, "P 1 21 1", 1, 1, "symop x2,y,z\n"),
       SymmetryLibrary::kUnusableGroup},
      {"operators in every form the reader takes as written",
       two + block(4, "P 1 21 1", 1, 1,
                   "symop 1/2+x, -Y , 1/2-z\nsymop -x+y,y,-z+0.25\nsymop h,-k,l\nsymop a*,-b*,c*\n"
                   "symop 2x-y,x,z\n"),
       SymmetryLibrary::kSound},
  };
  TempDir dir;
  int k = 0;
  for (const auto& row : rows) {
    const std::string path = dir.write("lib" + std::to_string(++k), row.text);
    EXPECT_EQ(suite::symmetry_library_state(path.c_str()), row.state) << row.label;
  }
  std::string which;
  const std::string cenop = dir.write("cenop.lib", two + block(4, "P 1 21 1", 1, 1, "cenop x,y\n"));
  suite::SymmetryLibrary state = SymmetryLibrary::kSound;
  const std::string out = captured([&] { state = suite::symmetry_library_state(cenop.c_str(), &which); });
  EXPECT_EQ(state, SymmetryLibrary::kUnusableGroup);
  EXPECT_EQ(which, "space group 4 'P 1 21 1': cenop \"x,y\" is no operator");
  EXPECT_EQ(out, "") << "the message names the text: the operator reader's report is not wanted";
  // The first symop that is none is named before any cenop, blanks at its end dropped.
  const std::string both = dir.write(
      "both.lib", two + block(4, "P 1 21 1", 2, 1, "cenop x,y,z,\nsymop x,y,z+3/4/5  \n"));
  EXPECT_EQ(suite::symmetry_library_state(both.c_str(), &which), SymmetryLibrary::kUnusableGroup);
  EXPECT_EQ(which, "space group 4 'P 1 21 1': symop \"x,y,z+3/4/5\" is no operator");
  EXPECT_EQ(suite::symmetry_library_state(dir.file("none").c_str()), SymmetryLibrary::kUnreadable);
  EXPECT_EQ(suite::symmetry_library_state(dir.path().c_str()), SymmetryLibrary::kUnreadable) << "a directory";
  EXPECT_EQ(suite::symmetry_library_state(symmetry_test::data_file().c_str()), SymmetryLibrary::kSound);
}

TEST_F(SpacegroupLoader, GroupNumberBeyondIntegerRangeReadsAsNone) {
  TempDir dir;
  std::string b = block(1, "P 1", 1, 1);
  b.replace(b.find("number  1\n"), 10, "number  111111111111111111\n");
  env.set("SYMINFO", dir.write("huge.lib", b));
  SpacegroupPtr sg = quietly([] { return ptq7spg_load_by_spgname("P 1"); });
  ASSERT_TRUE(sg);
  EXPECT_EQ(sg->number, 0);
}

TEST_F(SpacegroupLoader, FieldsOfOneBlockDoNotLeakIntoTheNext) {
  TempDir dir;
  const std::string path =
      dir.write("two.lib", block(1, "P 1", 1, 1, "mapasu ptq7 0<=x<1/2; 0<=y<1; 0<=z<1\n") +
                               block(2, "Q 1", 1, 1));
  env.set("SYMINFO", path);
  SpacegroupPtr first = quietly([] { return ptq7spg_load_by_standard_num(1); });
  ASSERT_TRUE(first);
  EXPECT_NEAR(first->mapasu_ptq7[0], 0.49999f, 1e-6f);
  EXPECT_NEAR(first->mapasu_zero[0], 0.99999f, 1e-6f);
  SpacegroupPtr second = quietly([] { return ptq7spg_load_by_standard_num(2); });
  ASSERT_TRUE(second);
  EXPECT_NEAR(second->mapasu_ptq7[0], 0.99999f, 1e-6f);
}

TEST_F(SpacegroupLoader, UnknownAsymmetricUnitConditionIsRefused) {
  TempDir dir;
  std::string b = block(1, "P 1", 1, 1);
  b.replace(b.find("l>0 or"), 6, "l>1 or");
  env.set("SYMINFO", dir.write("bad.lib", b));
  Capture cap;
  EXPECT_FALSE(ptq7spg_load_by_standard_num(1));
  EXPECT_NE(cap.out().find("csym:ASU definition not found for this spacegroup"), std::string::npos);
}

TEST_F(SpacegroupLoader, HallSymbolQuery) {
  SpacegroupPtr sg = quietly([] { return ptq7spg_load_by_spgname("P 21 21 21"); });
  ASSERT_TRUE(sg);
  EXPECT_STREQ(ptq7spg_symbol_Hall(sg.get()), "P 2ac 2ab");
  Capture cap;
  EXPECT_EQ(ptq7spg_symbol_Hall(nullptr), nullptr);
  EXPECT_NE(cap.out().find("Pointer to spacegroup structure is NULL"), std::string::npos);
  ptq7spg_free(sg);
  EXPECT_FALSE(sg);
}

// The data file is held in memory between loads: what a load finds and says
// must stay what a fresh read of the file gives.
TEST_F(SpacegroupLoader, RepeatedLoadsRepeatTheRefusalMessagesAndTheRecord) {
  TempDir dir;
  env.set("SYMINFO", dir.write("held.lib", block(1, "P 1", 193, 1) + block(1, "C 1", 1, 1)));
  std::string said[2];
  SpacegroupPtr sg[2];
  for (int i = 0; i < 2; ++i) {
    Capture cap;
    sg[i] = ptq7spg_load_by_spgname("C 1");
    said[i] = cap.out();
  }
  ASSERT_TRUE(sg[0] && sg[1]);
  EXPECT_EQ(said[1], said[0]);
  EXPECT_NE(said[1].find("(P 1) in SYMINFO exceeds the loader's capacity"), std::string::npos);
  EXPECT_EQ(sg[1]->number, sg[0]->number);
  EXPECT_STREQ(sg[1]->symbol_xhm, "C 1");
}

// A record loaded again by the same number or name comes from the record
// kept: every field as a fresh load gives it, also after loads of others.
TEST_F(SpacegroupLoader, KeptRecordsEqualFreshLoads) {
  const auto same = [](const Spacegroup& a, const Spacegroup& b) {
    return a.number == b.number && a.ptq7_number == b.ptq7_number &&
           std::strcmp(a.symbol_hall, b.symbol_hall) == 0 &&
           std::strcmp(a.symbol_xhm, b.symbol_xhm) == 0 &&
           std::strcmp(a.point_group, b.point_group) == 0 && a.nsymop == b.nsymop &&
           a.nsymop_prim == b.nsymop_prim && a.symop.size() == b.symop.size() &&
           std::memcmp(a.symop.data(), b.symop.data(), a.symop.size() * sizeof(Symop)) == 0 &&
           std::memcmp(a.invsymop.data(), b.invsymop.data(), a.invsymop.size() * sizeof(Symop)) == 0 &&
           std::memcmp(a.chb, b.chb, sizeof a.chb) == 0 && a.asu_test == b.asu_test &&
           std::strcmp(a.asu_descr, b.asu_descr) == 0 &&
           std::memcmp(a.centric_zones, b.centric_zones, sizeof a.centric_zones) == 0 &&
           std::memcmp(a.epsilon_zones, b.epsilon_zones, sizeof a.epsilon_zones) == 0 &&
           std::memcmp(a.mapasu_zero, b.mapasu_zero, sizeof a.mapasu_zero) == 0 &&
           std::memcmp(a.mapasu_ptq7, b.mapasu_ptq7, sizeof a.mapasu_ptq7) == 0 &&
           a.laue_code == b.laue_code && a.patterson_number == b.patterson_number;
  };
  SpacegroupPtr first = quietly([] { return ptq7spg_load_by_spgname("P 65 2 2"); });
  SpacegroupPtr by_number = quietly([] { return ptq7spg_load_by_standard_num(179); });
  SpacegroupPtr again = quietly([] { return ptq7spg_load_by_spgname("P 65 2 2"); });
  SpacegroupPtr old_name = quietly([] { return ptq7spg_load_by_ptq7_spgname("P 65 2 2"); });
  SpacegroupPtr number_again = quietly([] { return ptq7spg_load_by_standard_num(179); });
  ASSERT_TRUE(first && by_number && again && old_name && number_again);
  EXPECT_STREQ(first->symbol_xhm, "P 65 2 2");
  EXPECT_TRUE(same(*first, *again));
  EXPECT_TRUE(same(*first, *old_name));
  EXPECT_TRUE(same(*first, *by_number));
  EXPECT_TRUE(same(*by_number, *number_again));
  EXPECT_NE(again.get(), first.get());
  // Another group by number is not the kept one.
  SpacegroupPtr other = quietly([] { return ptq7spg_load_by_standard_num(19); });
  ASSERT_TRUE(other);
  EXPECT_STREQ(other->symbol_xhm, "P 21 21 21");
}

TEST_F(SpacegroupLoader, FileRewrittenInPlaceIsReadAgain) {
  // Same path, same size, written within the resolution of file times.
  TempDir dir;
  const std::string path = dir.write("same.lib", block(1, "P 1", 1, 1));
  env.set("SYMINFO", path);
  EXPECT_EQ(xhm_of(quietly([] { return ptq7spg_load_by_standard_num(1); })), "P 1");
  dir.write("same.lib", block(1, "C 1", 1, 1));
  EXPECT_EQ(xhm_of(quietly([] { return ptq7spg_load_by_standard_num(1); })), "C 1");
  // Another name is another file.
  env.set("SYMINFO", dir.write("other.lib", block(1, "B 1", 1, 1)));
  EXPECT_EQ(xhm_of(quietly([] { return ptq7spg_load_by_standard_num(1); })), "B 1");
}

TEST_F(SpacegroupLoader, LinesLongerThanTheLineBufferAreTakenInPieces) {
  // The loader reads 79 characters at a time: the rest of a longer line is
  // a line of its own, so an operator behind a long comment counts.
  std::string b = block(1, "P 1", 1, 1);
  b.replace(b.find("symop x,y,z\n"), 12, "#" + std::string(78, '-') + "symop -x,-y,-z\n");
  TempDir dir;
  env.set("SYMINFO", dir.write("long.lib", b));
  SpacegroupPtr sg = quietly([] { return ptq7spg_load_by_standard_num(1); });
  ASSERT_TRUE(sg);
  ASSERT_EQ(sg->nsymop, 1);
  EXPECT_EQ(sg->symop[0].rot[0][0], -1.0f);
}
