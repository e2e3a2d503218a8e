// The PDB reader on water numbers past 9999, written as simulation programs
// write them: on into column 27, or from 0 or 1 again.
#include <gtest/gtest.h>

#include "foundation/atom_com.h"
#include "pdb_fixture.h"

using namespace pdbtest;

namespace {

enum class Past9999 { FifthDigit, FromZero, FromOne };

// A water oxygen and one hydrogen of segment SOLV, no chain letter, its
// number laid out in the given way.
void add_water(std::vector<std::string>& l, int num, Past9999 how) {
  int resnum = num;
  char ins = ' ';
  if (num > 9999) {
    if (how == Past9999::FifthDigit) {
      resnum = num / 10;  // "1000" in columns 23-26 and "0" in 27 write 10000
      ins = static_cast<char>('0' + num % 10);
    } else {
      resnum = how == Past9999::FromZero ? num % 10000 : (num - 1) % 9999 + 1;
    }
  }
  for (const char* name : {" OH2", " H1 "})
    l.push_back(line({.name = name,
                      .res = "HOH",
                      .chain = ' ',
                      .resnum = resnum,
                      .ins = ins,
                      .seg = "SOLV",
                      .elem = name[1] == 'O' ? " O" : " H"}));
}

std::vector<std::string> waters(int first, int last, Past9999 how) {
  std::vector<std::string> l = {kCryst};
  for (int n = first; n <= last; ++n) add_water(l, n, how);
  return l;
}

std::string number(int r) { return std::string(resid_inf.res_num_pdb(r).sub(3, 7).view()); }

const char* kFifthDigitWarning =
    "  WARNING: water numbers above 9999 kept modulo 10000, a new water chain at each 10000\n";
const char* kRestartWarning =
    "  WARNING: water numbers restart after 9999, a new water chain at each restart\n";

}  // namespace

// Before, the fifth digit became an insertion code '?', and waters 10000 to
// 10009 were one residue of thirty atoms.
TEST(PdbWaterNumbers, FifthDigitKeepsEveryWaterApartInAChainOfItsOwn) {
  for (const char seg : {'N', 'Y'}) {
    SCOPED_TRACE(seg);
    const ReadResult r =
        read_pdb(waters(9998, 10011, Past9999::FifthDigit), {.seg = seg, .hremove = 'N'});
    ASSERT_EQ(r.ierr, 0) << r.out;
    ASSERT_EQ(resid_inf.n_residue, 14);
    ASSERT_EQ(asym_part.n_group, 2);
    EXPECT_EQ(asym_part.nres_chain(1), 2);
    EXPECT_EQ(asym_part.nres_chain(2), 12);
    for (int k = 1; k <= 14; ++k) EXPECT_EQ(resid_inf.natm_res(k), 2) << k;
    EXPECT_EQ(number(2), "9999 ");
    EXPECT_EQ(number(3), "   0 ");
    EXPECT_EQ(number(14), "  11 ");
    EXPECT_EQ(asym_part.ich_type(2), 9);
    if (seg == 'Y') {
      EXPECT_EQ(chain_id(1), "SOLV");
      EXPECT_EQ(chain_id(2), "SOLV");
    } else {
      EXPECT_NE(chain_id(1), chain_id(2));
    }
    EXPECT_EQ(count_of(r.out, "WARNING: water numbers"), 1) << r.out;
    EXPECT_NE(r.out.find(kFifthDigitWarning), std::string::npos) << r.out;
  }
}

// Before, the numbers after the restart were those of the chain's first
// waters again: status 6 and two error lines a water.
TEST(PdbWaterNumbers, NumbersRestartingAfter9999StartAWaterChainEachTime) {
  for (const Past9999 how : {Past9999::FromZero, Past9999::FromOne}) {
    SCOPED_TRACE(how == Past9999::FromZero ? "from 0" : "from 1");
    // 10000 to 20002: restarting at 10000 and again at 20000 (from 0) or
    // 19999 (from 1, which writes 9999 numbers a round).
    const ReadResult r =
        read_pdb(waters(9990, 20002, how), {.mdoc = -999, .seg = 'Y', .hremove = 'N'});
    ASSERT_EQ(r.ierr, 0) << r.out;
    EXPECT_EQ(resid_inf.n_residue, 10013);
    ASSERT_EQ(asym_part.n_group, 3);
    EXPECT_EQ(asym_part.nres_chain(1), 10);
    EXPECT_EQ(number(11), how == Past9999::FromZero ? "   0 " : "   1 ");
    for (int g = 1; g <= 3; ++g) EXPECT_EQ(chain_id(g), "SOLV") << g;
    EXPECT_EQ(count_of(r.out, "WARNING: water numbers"), 1) << r.out;
    EXPECT_NE(r.out.find(kRestartWarning), std::string::npos) << r.out;
  }
}

// Every digit of the last four is kept, the thousands too: 11234 is 1234
// of the further chain, and 11235 after it no wrap.
TEST(PdbWaterNumbers, FifthDigitKeepsTheOtherFourWhole) {
  std::vector<std::string> l = {kCryst};
  for (const int n : {9999, 11234, 11235}) add_water(l, n, Past9999::FifthDigit);
  const ReadResult r = read_pdb(l, {.seg = 'N', .hremove = 'N'});
  ASSERT_EQ(r.ierr, 0) << r.out;
  ASSERT_EQ(resid_inf.n_residue, 3);
  ASSERT_EQ(asym_part.n_group, 2);
  EXPECT_EQ(asym_part.nres_chain(2), 2);
  EXPECT_EQ(number(2), "1234 ");
  EXPECT_EQ(number(3), "1235 ");
}

// A number that goes back elsewhere than after 9999 is still the same
// number twice in one chain.
TEST(PdbWaterNumbers, NumberGoingBackBefore9999IsStillRefused) {
  std::vector<std::string> l = waters(9990, 9998, Past9999::FromZero);
  add_water(l, 5, Past9999::FromZero);
  add_water(l, 9992, Past9999::FromZero);
  const ReadResult r = read_pdb(l, {.mdoc = -999, .seg = 'Y'});
  EXPECT_EQ(r.ierr, 6);
  EXPECT_EQ(asym_part.n_group, 1);
  EXPECT_EQ(count_of(r.out, "WARNING: water numbers"), 0) << r.out;
}

// Other residues keep the digit in column 27 as their insertion code; so
// does a water whose columns 23-26 do not hold four digits (OpenMM's 1000
// is 100 with code 0, another water than 100 with code 1).
TEST(PdbWaterNumbers, DigitInColumn27OfOtherResiduesStaysTheirInsertionCode) {
  std::vector<std::string> l = {kCryst};
  append(l, residue("ALA", 'A', 1000, "ATOM", '1'));
  l.push_back(line({.rec = "HETATM", .name = " C1 ", .res = "LIG", .resnum = 2000, .ins = '2'}));
  l.push_back(line(
      {.rec = "HETATM", .name = " O  ", .res = "HOH", .resnum = 999, .ins = '3', .elem = " O"}));
  const ReadResult r = read_pdb(l);
  ASSERT_EQ(r.ierr, 0) << r.out;
  ASSERT_EQ(resid_inf.n_residue, 3);
  EXPECT_EQ(number(1), "10001");
  EXPECT_EQ(number(2), "20002");
  EXPECT_EQ(number(3), " 9993");
  EXPECT_EQ(count_of(r.out, "WARNING: water numbers"), 0) << r.out;
}

namespace {

// A water oxygen at `x` (y and z fixed) with chain letter `chain`, segment
// `seg`, its number `num`; a residue name of four letters runs on into
// column 21, as simulation programs write TIP3.
std::string water_at(char chain, const std::string& seg, int num, float x,
                     const std::string& res = "HOH", const std::string& name = " O  ") {
  std::string l = line({.rec = "HETATM",
               .name = name,
               .res = res,
               .chain = chain,
               .resnum = num,
               .x = x,
               .y = 10.0f,
               .z = 10.0f,
               .seg = seg,
               .elem = " O"});
  if (res.size() == 4) l[20] = res[3];
  return l;
}

struct WatersAgain {
  const char* label;
  char chain;
  const char* seg;
  std::vector<std::pair<int, float>> waters;  // number and x of each, in file order
  int32_t ierr;
  std::vector<int> chain_sizes;  // residues of each chain of the model
  int warnings;                  // lines naming numbers of the blank chain that repeat
  const char* res = "HOH";
  const char* name = " O  ";
  int anew = 0;  // lines saying waters given again are numbered anew
};

const char* kAgainWarning =
    "  WARNING: water numbers of the blank chain repeat, a new water chain at each repeat\n";

}  // namespace

// With the chain letters gone, the waters of an entry's chains that each
// number their own stand in one run: a water lying apart from the water
// that holds its number is another water, the first of a further water
// chain; one lying on it is that water given again.  A named chain or
// segment still holds a number once.
TEST(PdbWaterNumbers, BlankChainWatersNumberedAgainLyingApartStartAWaterChain) {
  const std::vector<WatersAgain> rows = {
      {"blank chain, two chains' waters far apart", ' ', "",
       {{393, 10}, {394, 13}, {393, 30}, {394, 33}}, 0, {2, 2}, 1},
      {"blank chain, a run of three before the repeat", ' ', "",
       {{393, 10}, {394, 13}, {395, 16}, {393, 30}}, 0, {3, 1}, 1},
      {"blank chain, three runs", ' ', "",
       {{1, 10}, {2, 13}, {1, 30}, {2, 33}, {1, 40}}, 0, {2, 2, 1}, 1},
      {"blank chain, the third water on the first", ' ', "",
       {{393, 10}, {394, 13}, {393, 10.2f}}, 6, {3}, 0},
      {"blank chain, a number before the restart after 9999 is no repeat after it", ' ', "",
       {{199, 10}, {9999, 13}, {0, 30}, {199, 33}}, 0, {2, 2}, 0},
      {"chain A keeps a number once", 'A', "",
       {{393, 10}, {394, 13}, {393, 30}, {394, 33}}, 6, {4}, 0},
      {"segment SOLV keeps a number once", ' ', "SOLV",
       {{393, 10}, {394, 13}, {393, 30}, {394, 33}}, 6, {4}, 0},
      {"blank chain, TIP3 whose last letter stands in column 21", ' ', "",
       {{1, 10}, {2, 13}, {1, 30}, {2, 33}}, 0, {2, 2}, 1, "TIP3"},
      {"chain A, TIP3 keeps a number once", 'A', "",
       {{1, 10}, {2, 13}, {1, 30}, {2, 33}}, 6, {4}, 0, "TIP3"},
      {"blank chain, waters at one number in a row, one water chain", ' ', "",
       {{1, 10}, {1, 13}, {1, 16}}, 0, {3}, 0, "HOH", " O  ", 1},
      {"blank chain, waters at one number in a row, the third on the second", ' ', "",
       {{1, 10}, {1, 13}, {1, 13.2f}}, 0, {2}, 0, "HOH", " O  ", 1},
      {"chain A, waters at one number in a row, one water chain", 'A', "",
       {{0, 10}, {0, 13}, {0, 16}, {0, 19}}, 0, {4}, 0, "HOH", " O  ", 1},
      {"waters read anew take numbers past the chain's highest", 'A', "",
       {{5, 10}, {2, 13}, {2, 16}, {6, 19}}, 0, {4}, 0, "HOH", " O  ", 1},
      {"blank chain, TIP3's OH2 at one number in a row", ' ', "",
       {{0, 10}, {0, 13}, {0, 16}}, 0, {3}, 0, "TIP3", " OH2", 1},
      {"chain A, SOL's OW at one number in a row", 'A', "",
       {{0, 10}, {0, 13}, {0, 16}}, 0, {3}, 0, "SOL", " OW ", 1},
      // A number read anew is none that a later water holds (GROMACS writes
      // waters past 9999 by their first four digits, ten at each number).
      {"blank chain, waters 1,1,1,2,2,2,3,3,3: one water chain", ' ', "",
       {{1, 10}, {1, 13}, {1, 16}, {2, 19}, {2, 22}, {2, 25}, {3, 28}, {3, 31}, {3, 34}}, 0, {9}, 0,
       "HOH", " O  ", 1},
      {"chain A, waters 1,1,1,2,2,2,3,3,3: one water chain", 'A', "",
       {{1, 10}, {1, 13}, {1, 16}, {2, 19}, {2, 22}, {2, 25}, {3, 28}, {3, 31}, {3, 34}}, 0, {9}, 0,
       "HOH", " O  ", 1},
      {"blank chain, waters 0, 0, 1", ' ', "", {{0, 10}, {0, 13}, {1, 16}}, 0, {3}, 0, "HOH",
       " O  ", 1},
      {"chain A, waters 9998, 9998, 9999: none free past the highest, the lowest free taken", 'A',
       "", {{9998, 10}, {9998, 13}, {9999, 16}}, 0, {3}, 0, "HOH", " O  ", 1},
      {"chain A, waters past 9999 by their first digits: a further water chain", 'A', "",
       {{9998, 10}, {9999, 13}, {1000, 16}, {1000, 19}, {1001, 22}}, 0, {2, 3}, 0, "HOH", " O  ",
       1},
  };
  for (const WatersAgain& row : rows) {
    SCOPED_TRACE(row.label);
    std::vector<std::string> l = {kCryst};
    for (const auto& [num, x] : row.waters)
      l.push_back(water_at(row.chain, row.seg, num, x, row.res, row.name));
    const ReadResult r = read_pdb(l);
    EXPECT_EQ(r.ierr, row.ierr) << r.out;
    ASSERT_EQ(asym_part.n_group, static_cast<int32_t>(row.chain_sizes.size())) << r.out;
    for (int g = 1; g <= asym_part.n_group; ++g) {
      EXPECT_EQ(asym_part.nres_chain(g), row.chain_sizes[static_cast<std::size_t>(g - 1)]) << g;
      EXPECT_EQ(asym_part.ich_type(g), 9) << g;
    }
    EXPECT_EQ(count_of(r.out, kAgainWarning), row.warnings) << r.out;
    EXPECT_EQ(count_of(r.out, "numbered anew"), row.anew) << r.out;
  }
}

// Read by segments, the further water chain is not joined back to the one
// before (they share the blank segment), and the names the groups take
// stay apart.
TEST(PdbWaterNumbers, BlankChainWatersNumberedAgainStayApartReadBySegments) {
  std::vector<std::string> l = {kCryst};
  for (const auto& [num, x] : std::vector<std::pair<int, float>>{{393, 10}, {394, 13}, {393, 30}})
    l.push_back(water_at(' ', "", num, x));
  for (const char seg : {'N', 'Y'}) {
    SCOPED_TRACE(seg);
    const ReadResult r = read_pdb(l, {.seg = seg});
    ASSERT_EQ(r.ierr, 0) << r.out;
    ASSERT_EQ(asym_part.n_group, 2);
    EXPECT_EQ(asym_part.nres_chain(1), 2);
    if (seg == 'N') {
      EXPECT_EQ(chain_id(1), "XX  ");
      EXPECT_EQ(chain_id(2), "Xa  ");
    }
  }
}

// A water given again at its number after a TER record (ProDy ends each
// water so) is read anew whole: its hydrogens go with its oxygen.
TEST(PdbWaterNumbers, WaterGivenAgainAfterTerKeepsItsHydrogens) {
  std::vector<std::string> l = {kCryst};
  for (const float x : {10.0f, 40.0f}) {
    for (const char* name : {" O  ", " H1 ", " H2 "})
      l.push_back(line({.name = name, .res = "WAT", .chain = 'A', .resnum = 866,
                        .x = x + (name[1] == 'O' ? 0.0f : 0.8f), .y = name[2] == '2' ? 0.6f : 0.0f,
                        .z = 0, .elem = name[1] == 'O' ? " O" : " H"}));
    l.push_back(kTer);
  }
  const ReadResult r = read_pdb(l, {.hremove = 'N'});
  ASSERT_EQ(r.ierr, 0) << r.out;
  ASSERT_EQ(resid_inf.n_residue, 2) << r.out;
  EXPECT_EQ(resid_inf.natm_res(1), 3);
  EXPECT_EQ(resid_inf.natm_res(2), 3);
  EXPECT_EQ(number(2), " 867 ");
}

// With hydrogens left out, a water's O given again after its H1 and H2 is
// another water, not a conformer of the O before: the next atom kept tells.
TEST(PdbWaterNumbers, WatersGivenAgainStayWatersWithTheirHydrogensLeftOut) {
  std::vector<std::string> l = {kCryst};
  for (const float x : {10.0f, 20.0f, 30.0f})
    for (const char* name : {" O  ", " H1 ", " H2 "})
      l.push_back(line({.rec = "HETATM", .name = name, .res = "HOH", .chain = 'A', .resnum = 0,
                        .x = x + (name[1] == 'O' ? 0.0f : 0.8f), .y = name[2] == '2' ? 0.6f : 0.0f,
                        .z = 0, .elem = name[1] == 'O' ? " O" : " H"}));
  for (const char h : {'Y', 'N'}) {
    SCOPED_TRACE(h);
    const ReadResult r = read_pdb(l, {.hremove = h});
    ASSERT_EQ(r.ierr, 0) << r.out;
    ASSERT_EQ(resid_inf.n_residue, 3) << r.out;
    EXPECT_EQ(number(3), "   2 ");
  }
}
