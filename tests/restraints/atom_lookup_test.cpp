// Finding residue atoms with their alternate positions (in the residue and
// for a link), and which combinations of positions may form one restraint.
#include "restraints/atom_lookup.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "residue_fixture.h"
#include "restraints/link_atoms.h"
#include "support/capture.h"

namespace {

class AtomLookup : public testing::Test {
 protected:
  void SetUp() override { rtest::clear_c1(); }
  int32_t find(const char* name) {
    ierr = -1;
    srch_num_(0, name, n, corr, iname, ierr);
    return n;
  }
  int32_t n = -1, ierr = -1;
  restraints::AltCodes corr;
  restraints::AltPlaces iname;
};

}  // namespace

TEST_F(AtomLookup, MainPositionFirstThenAlternatesInTreeOrder) {
  rtest::add({"N", {0, 0, 0}});
  rtest::add({"CB", {1, 0, 0}, "A"});
  rtest::add({"CA", {2, 0, 0}});
  rtest::add({"CB", {1, 1, 0}, "B"});
  rtest::add({"CB", {1, 2, 0}, "C", 1, "Y", "2"});
  ASSERT_EQ(find("CB"), 3);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(iname(1), 2);
  EXPECT_EQ(iname(2), 4);
  EXPECT_EQ(iname(3), 5);
  EXPECT_EQ(corr(1), ".A");
  EXPECT_EQ(corr(2), ".B");
  EXPECT_EQ(corr(3), "2C");
}

TEST_F(AtomLookup, AbsentAndDeletedAtomsAreNotFoundMissingOnesAre) {
  rtest::add({"OXT", {0, 0, 0}, ".", 1, "U"});
  rtest::add({"H", {0, 0, 0}, ".", 1, "D"});
  rtest::add({"CG", {0, 0, 0}, ".", 0, "M"});
  EXPECT_EQ(find("OXT"), 0);
  EXPECT_EQ(find("H"), 0);
  EXPECT_EQ(find("CG"), 1);
  EXPECT_EQ(find("CG1"), 0);  // a longer name is another name
}

TEST_F(AtomLookup, PositionsBeyondTheTableAreReportedAndDropped) {
  const char* codes = "ABCDEFGHIJKLMNOPQRSTUV";  // 22 positions of one name
  for (int i = 0; i < 22; ++i)
    rtest::add({"SG", {0, 0, float(i)}, std::string(1, codes[i]).c_str()});
  std::string out = captured([&] { find("SG"); });
  EXPECT_EQ(n, MX1ALT);
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(iname(MX1ALT), MX1ALT);
  const std::string twice =
      "  ERR: number of alt. positions >    20\n"
      "          Change parameter MX1ALT in \"lib_com\"\n";
  EXPECT_EQ(out, twice + twice);
}

TEST(AltCompatibility, CodesThatMayShareARestraint) {
  struct Row {
    const char* label;
    std::vector<const char*> codes;
    char expect;
  };
  const Row rows[] = {
      {"common atom with conformer A", {"..", ".A"}, 'Y'},
      {"conformers A and B", {".A", ".B"}, 'N'},
      {"correction code against a conformer", {"1.", ".A"}, 'N'},
      {"two common atoms", {"..", ".."}, 'Y'},
      {"one correction code throughout", {"1A", "..", "1B"}, 'Y'},
      {"two correction codes", {"1.", "2."}, 'N'},
      {"torsion A A B A", {".A", ".A", ".B", ".A"}, 'N'},
      {"torsion A common A common", {".A", "..", ".A", ".."}, 'Y'},
  };
  for (const Row& row : rows) {
    std::vector<rt::FixedText<2>> corr;
    for (const char* c : row.codes) corr.emplace_back(c);
    char check = '?';
    chk_alt_(static_cast<int32_t>(corr.size()), corr.data(), check);
    EXPECT_EQ(check, row.expect) << row.label;
  }
}

// Combinations come last atom innermost, so that a later conformer
// overwrites an earlier one; an atom without positions gives none.
TEST(AltCompatibility, CombinationsInOrderOnlyCompatibleOnes) {
  const char* codes[2][3] = {{".A", ".B", ""}, {"..", ".A", ".B"}};
  const int32_t n[2] = {2, 3};
  std::vector<std::pair<int, int>> all, kept;
  restraints::each_combination(2, n, [&](const int32_t* idx) { all.push_back({idx[0], idx[1]}); });
  using Pairs = std::vector<std::pair<int, int>>;
  EXPECT_EQ(all, (Pairs{{1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 2}, {2, 3}}));
  restraints::each_compatible(
      2, n, [&](int k, int32_t i) { return rt::FixedText<2>(codes[k][i - 1]); },
      [&](const int32_t* idx) { kept.push_back({idx[0], idx[1]}); });
  EXPECT_EQ(kept, (Pairs{{1, 2}, {2, 3}})) << "the common position of atom 2 stands for neither";
  const int32_t none[3] = {2, 0, 1};
  int calls = 0;
  restraints::each_combination(3, none, [&](const int32_t*) { ++calls; });
  EXPECT_EQ(calls, 0) << "an atom without positions";
}

// A common position of an atom that has a copy of its own in a conformer is
// not the atom's place in that conformer; it still serves the conformers the
// atom has no copy of, and an atom without copies serves them all.
TEST(AltCompatibility, ACommonPositionGivesWayToTheAtomsOwnCopy) {
  using Codes = std::vector<std::vector<const char*>>;
  using Kept = std::vector<std::vector<int>>;
  auto kept = [](const Codes& codes) {
    int32_t n[4] = {};
    for (size_t k = 0; k < codes.size(); ++k) n[k] = static_cast<int32_t>(codes[k].size());
    Kept out;
    restraints::each_compatible(
        static_cast<int>(codes.size()), n,
        [&](int k, int32_t i) { return rt::FixedText<2>(codes[k][i - 1]); },
        [&](const int32_t* idx) { out.emplace_back(idx, idx + codes.size()); });
    return out;
  };
  // Blank CZ beside CZ B, NH1 in A and B: CZ-NH1 once per conformer.
  EXPECT_EQ(kept({{"..", ".B"}, {".A", ".B"}}), (Kept{{1, 1}, {2, 2}}));
  // The copy listed before the common position changes nothing.
  EXPECT_EQ(kept({{".B", ".."}, {".A", ".B"}}), (Kept{{1, 2}, {2, 1}}));
  // NE without copies stays with every CZ; a combination of common
  // positions only stands for no conformer.
  EXPECT_EQ(kept({{".."}, {"..", ".B"}}), (Kept{{1, 1}, {1, 2}}));
  // The conformer may come from a later atom: NE-CZ-NH1.
  EXPECT_EQ(kept({{".."}, {"..", ".B"}, {".A", ".B"}}), (Kept{{1, 1, 1}, {1, 2, 2}}));
  // With a correction code in use, its letter is the conformer.
  EXPECT_EQ(kept({{"..", "1."}, {"1.", "2."}}), (Kept{{1, 2}, {2, 1}}));
  // An alternate copy does not push the common position out of a
  // correction-code combination.
  EXPECT_EQ(kept({{"..", ".B"}, {"1B"}}), (Kept{{1, 1}}));
}

// A plane is written once per code in use: each code listed once under its
// own sign, a correction code winning over the alternate beside it.
TEST(AltCompatibility, PlaneCodesAreListedOncePerSign) {
  int32_t corr[4] = {}, alt[4] = {};
  int ncorr = 0, nalt = 0;
  auto code = [&](const char* pair) {
    return restraints::conformer_code(rt::FixedText<2>(pair), corr, ncorr, alt, nalt);
  };
  EXPECT_EQ(code(".."), 0);
  EXPECT_EQ(code(".A"), -'A');
  EXPECT_EQ(code(".B"), -'B');
  EXPECT_EQ(code(".A"), -'A');
  EXPECT_EQ(code("1B"), '1');
  ASSERT_EQ(nalt, 2);
  EXPECT_EQ(alt[0], -'A');
  EXPECT_EQ(alt[1], -'B');
  ASSERT_EQ(ncorr, 1);
  EXPECT_EQ(corr[0], '1');
}

// The link atom search: alternate filter, exclusion list, atom numbers and
// coordinates only for positions that have them.
TEST_F(AtomLookup, LinkSearchFiltersConformersAndNumbersByTheCaller) {
  rtest::add({"N", {0, 0, 0}});
  rtest::add({"SG", {1, 0, 0}, "A"});
  rtest::add({"SG", {1, 1, 0}, "B", 0.001f});
  rtest::add({"SG", {1, 2, 0}, "C", 1, "M"});
  r_scratch_t& r = r_scratch;
  for (int k = 1; k <= r.c1_natom; ++k) r.s1_icrd(k) = 700 + k;
  restraints::AltNumbers iat;
  restraints::AltPoints x;
  for (int k = 1; k <= MX1ALT; ++k) x(1, k) = -9;
  srch_num1_(0, "SG", '.', n, corr, iname, iat, x, 0, "", 0, ierr);
  ASSERT_EQ(n, 3);
  EXPECT_EQ(iname(1), 2);
  EXPECT_EQ(iat(1), 2);  // the atom in C1
  EXPECT_EQ(x(1, 1), 1);
  EXPECT_EQ(iat(2), 0);    // occupancy 0.001: no coordinates
  EXPECT_EQ(iat(3), 0);    // missing
  EXPECT_EQ(x(1, 3), -9);  // and left as it was
  srch_num1_(0, "SG", 'B', n, corr, iname, iat, x, 0, "", 5, ierr);
  ASSERT_EQ(n, 1);  // only conformer B, though A is the main position
  EXPECT_EQ(corr(1), ".B");
  EXPECT_EQ(iname(1), 3);
  rtest::add({"OG", {2, 0, 0}, "A"});
  rtest::add({"OG", {2, 1, 0}, "B"});
  r.s1_icrd(6) = 706;
  srch_num1_(0, "OG", '.', n, corr, iname, iat, x, 2, "A.", 1, ierr);
  ASSERT_EQ(n, 1);  // A is excluded, '.' excludes nothing
  EXPECT_EQ(corr(1), ".B");
  EXPECT_EQ(iat(1), 706);  // the model-wide number with lid > 0
  srch_num1_(0, "N", '.', n, corr, iname, iat, x, 1, "A", 0, ierr);
  EXPECT_EQ(n, 1);  // an atom without conformers is never excluded
}

// A library link spells nucleotide atoms in one style, a residue of a
// current file in the other: the link search finds either under the other
// name, prefers the name as written, and finds nothing for a name of neither
// kind that the residue lacks.
TEST_F(AtomLookup, LinkSearchFindsANucleotideAtomUnderItsOtherSpelling) {
  rtest::add({"O3'", {0, 0, 0}});
  rtest::add({"OP1", {1, 0, 0}});
  rtest::add({"O1P", {2, 0, 0}});
  rtest::add({"O5*", {3, 0, 0}});
  restraints::AltNumbers iat;
  restraints::AltPoints x;
  const struct {
    const char* asked;
    int32_t place;
  } cases[] = {{"O3*", 1}, {"O3'", 1}, {"OP1", 2}, {"O1P", 3}, {"O5'", 4}, {"O2P", 0}, {"C3*", 0}};
  for (const auto& c : cases) {
    srch_num1_(0, c.asked, '.', n, corr, iname, iat, x, 0, "", 0, ierr);
    EXPECT_EQ(ierr, 0) << c.asked;
    EXPECT_EQ(n, c.place == 0 ? 0 : 1) << c.asked;
    if (n == 1) {
      EXPECT_EQ(iname(1), c.place) << c.asked;
    }
  }
}
