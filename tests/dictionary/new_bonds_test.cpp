// Bonds from coordinates, neighbour lists, triangles, connectivity and
// chirality flags of the builder, on real components and on small sets of
// atoms placed by hand.
#include "dictionary/new_bonds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "component_l1.h"
#include "dictionary/neighbour_grid.h"
#include "foundation/messages.h"
#include "support/capture.h"

namespace {

using comp::l1_atom;

int add_atom(const char* name, const char* symb, char cls, float x, float y = 0.0f,
             float z = 0.0f) {
  const int i = descr::add_l1_atom({name, symb, ".", ".", ".", x, y, z});
  r_scratch.l1a_atype(i) = std::string(1, cls);
  r_scratch.l1a_ichir(i) = 0;
  for (int k = 1; k <= MAX1BRN; ++k) r_scratch.l1a_lencon(k, i) = 0;
  return i;
}

class BondsFromCoordinates : public testing::TestWithParam<const char*> {};

TEST_P(BondsFromCoordinates, FindTheComponentsOwnBondList) {
  const comp::Component c = comp::read(GetParam());
  comp::load_l1(c, GetParam(), false, false);
  std::set<std::pair<std::string, std::string>> expected;
  for (auto [a1, a2] : c.bonds) {
    if (a2 < a1) std::swap(a1, a2);
    expected.emplace(a1, a2);
  }
  int32_t ierr = -1;
  list_bonds_from_coor_(0, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(comp::l1_bond_set(), expected);
}

INSTANTIATE_TEST_SUITE_P(Components, BondsFromCoordinates,
                         testing::Values("ALA", "PRO", "TRP", "MET", "CYS", "NAG", "A", "DA"));

struct LimitCase {
  const char* label;
  const char* s1;
  char c1;
  const char* s2;
  char c2;
  float d;
  bool bonded;
};

TEST(BondsFromCoordinatesRows, LimitsByAtomClass) {
  const LimitCase cases[] = {
      {"same place", "C", 'C', "C", 'C', 0.0005f, false},
      {"C-H at the limit", "C", 'C', "H", 'H', 1.2f, true},
      {"O-O 1.8", "O", 'C', "O", 'C', 1.8f, false},
      {"S-S 2.1", "S", 'P', "S", 'P', 2.1f, true},
      {"metal-metal 2.8", "FE", '$', "FE", '$', 2.8f, true},
      {"metal-O 2.6", "ZN", '$', "O", 'C', 2.6f, false},
      // A hydrogen bonds within the length its partner's element gives.
      {"C-H past the limit", "C", 'C', "H", 'H', 1.21f, false},
      {"N-H 1.3", "H", 'H', "N", 'C', 1.3f, false},
      {"H-H 1.3", "H", 'H', "H", 'H', 1.3f, false},
      {"S-H 1.34", "S", 'P', "H", 'H', 1.34f, true},
      {"H-S 1.45", "H", 'H', "S", 'P', 1.45f, true},
      {"S-H 2.2", "S", 'P', "H", 'H', 2.2f, false},
      {"P-H 1.42", "P", 'P', "H", 'H', 1.42f, true},
      {"Se-H 1.47", "SE", '$', "H", 'H', 1.47f, true},
      {"Si-H 1.48", "SI", '$', "H", 'H', 1.48f, true},
      {"metal-H 1.5", "ZN", '$', "H", 'H', 1.5f, false},
      {"S-H same place", "S", 'P', "H", 'H', 0.0005f, false},
  };
  for (const LimitCase& c : cases) {
    descr::clear_l1();
    add_atom("A1", c.s1, c.c1, 0.0f);
    add_atom("A2", c.s2, c.c2, c.d);
    int32_t ierr = 0;
    list_bonds_from_coor_(0, ierr);
    EXPECT_EQ(r_scratch.l1b_nbond >= 1, c.bonded) << c.label;
  }
}

TEST(BondsFromCoordinatesRows, HydrogenWithTwoPartnersIsDroppedAndBondsFoundAgain) {
  descr::clear_l1();
  add_atom("C1", "C", 'C', 0.0f);
  add_atom("H1", "H", 'H', 1.1f);
  add_atom("C2", "C", 'C', 2.2f);
  int32_t ierr = 0;
  list_bonds_from_coor_(0, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(r_scratch.l1a_natom, 2);
  EXPECT_EQ(r_scratch.l1b_nbond, 0);
}

// A hydrogen past 1.2 A bonds only to its nearest S, P, Se... and only
// when no atom bonds it by the class limits: it keeps one bond, and a
// hydrogen bonded as before keeps exactly its bonds.
TEST(BondsFromCoordinatesRows, LongHydrogenBondGoesToTheNearestPartnerOnly) {
  // On one line through the hydrogen, the heavy atoms too far apart to bond.
  struct Case {
    const char* label;
    const char* names[2];
    const char* symbs[2];
    char classes[2];
    float at[2];
    const char* bonds;
  };
  const Case cases[] = {
      {"C 1.09 and S 1.40", {"C1", "S1"}, {"C", "S"}, {'C', 'P'}, {-1.09f, 1.40f}, "H1-C1 "},
      {"S 1.34 and P 1.45", {"S1", "P1"}, {"S", "P"}, {'P', 'P'}, {1.34f, -1.45f}, "H1-S1 "},
      {"P 1.36 and S 1.40", {"S1", "P1"}, {"S", "P"}, {'P', 'P'}, {1.40f, -1.36f}, "H1-P1 "},
  };
  for (const Case& c : cases) {
    descr::clear_l1();
    add_atom("H1", "H", 'H', 0.0f);
    for (int k = 0; k < 2; ++k) add_atom(c.names[k], c.symbs[k], c.classes[k], c.at[k]);
    int32_t ierr = 0;
    list_bonds_from_coor_(0, ierr);
    EXPECT_EQ(ierr, 0) << c.label;
    EXPECT_EQ(r_scratch.l1a_natom, 3) << c.label;
    std::string bonds;
    for (int b = 1; b <= r_scratch.l1b_nbond; ++b)
      bonds += std::string(r_scratch.l1b_1atm(b).view().substr(0, 2)) + "-" +
               std::string(r_scratch.l1b_2atm(b).view().substr(0, 2)) + " ";
    EXPECT_EQ(bonds, c.bonds) << c.label;
  }
}

TEST(BondsFromCoordinatesRows, AtomsAcrossASharedAtomAreNotBonded) {
  // A P-O-C ester pressed to 104 degrees at O puts P and C 2.39 A apart,
  // inside the 2.4 A reach of a phosphorus pair; an epoxide's C-C bond makes
  // 62 degrees at its oxygen and stays.
  struct Case {
    const char* label;
    const char* names[3];
    const char* symbs[3];
    char classes[3];
    float at[3][2];
    int bonds;
  };
  const Case cases[] = {
      {"ester P...C",
       {"O1", "P1", "C1"},
       {"O", "P", "C"},
       {'C', 'P', 'C'},
       {{0.0f, 0.0f}, {1.60f, 0.0f}, {-0.346f, 1.3875f}},
       2},
      {"epoxide",
       {"C1", "C2", "O1"},
       {"C", "C", "O"},
       {'C', 'C', 'C'},
       {{0.0f, 0.0f}, {1.47f, 0.0f}, {0.735f, 1.22f}},
       3},
  };
  for (const Case& c : cases) {
    descr::clear_l1();
    for (int k = 0; k < 3; ++k)
      add_atom(c.names[k], c.symbs[k], c.classes[k], c.at[k][0], c.at[k][1]);
    int32_t ierr = 0;
    list_bonds_from_coor_(0, ierr);
    EXPECT_EQ(ierr, 0) << c.label;
    EXPECT_EQ(r_scratch.l1b_nbond, c.bonds) << c.label;
    int counted = 0;
    for (int i = 1; i <= 3; ++i) counted += r_scratch.l1a_ndist(i);
    EXPECT_EQ(counted, 2 * c.bonds) << c.label;
  }
}

TEST(BondsFromCoordinatesRows, MoreThan300BondsStopAfterTwoLines) {
  descr::clear_l1();
  // A ladder of 2 x 150 carbons 1.5 apart: 448 bonds, diagonals out of reach.
  char name[16];
  for (int k = 0; k < 150; ++k)
    for (int row = 0; row < 2; ++row) {
      std::snprintf(name, sizeof name, "C%d", 2 * k + row);
      add_atom(name, "C", 'C', 1.5f * k, 1.5f * row);
    }
  int32_t ierr = 0;
  const std::string out = captured([&] { list_bonds_from_coor_(0, ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(r_scratch.l1b_nbond, 300);
  EXPECT_EQ(out,
            "  ERROR: number of bonds of new monomer ALA      >   300\n"
            "           Change parameter MAX1BND in \"lib_com\"\n");
}

// Points numbered straight through the box, and points hashed because one
// far outlier makes the box too big to number.
TEST(NeighbourGrid, GivesThePairsOfAnAllPairsScanInItsOrder) {
  for (const bool outlier : {false, true}) {
    constexpr int n = 400;
    std::vector<float> x(n), y(n), z(n);
    for (int i = 0; i < n; ++i) {
      x[i] = std::fmod(i * 7.31f, 23.0f) - 11.0f;
      y[i] = std::fmod(i * 3.17f, 19.0f);
      z[i] = std::fmod(i * 5.53f, 17.0f) - 40.0f;
    }
    x[17] = std::numeric_limits<float>::quiet_NaN();
    if (outlier) x[33] = 1.0e12f;
    const float reach = 2.85f;
    auto close = [&](int i, int j) {
      const float dx = x[i - 1] - x[j - 1], dy = y[i - 1] - y[j - 1], dz = z[i - 1] - z[j - 1];
      return std::sqrt(dx * dx + dy * dy + dz * dz) <= reach;
    };
    std::vector<std::pair<int, int>> brute, grid_pairs;
    for (int i = 1; i <= n; ++i)
      for (int j = i + 1; j <= n; ++j)
        if (close(i, j)) brute.emplace_back(i, j);
    static dictionary::NeighbourGrid<512> grid;
    grid.for_each_candidate(n, x.data(), y.data(), z.data(), reach, [&](int i, int j) {
      if (close(i, j)) grid_pairs.emplace_back(i, j);
    });
    EXPECT_FALSE(brute.empty()) << "outlier " << outlier;
    EXPECT_EQ(grid_pairs, brute) << "outlier " << outlier;
  }
}

// One grid given point sets of changing size, as a run gives it model after
// model: its tables are sized to each set (grown for a larger one, their
// leftovers unseen by a smaller one), and each set gets exactly its pairs.
TEST(NeighbourGrid, SizedToEachPointSetInTurn) {
  dictionary::NeighbourGrid<4096> grid;
  for (const int n : {5, 3000, 40, 1, 700}) {
    std::vector<float> x(n), y(n), z(n);
    for (int i = 0; i < n; ++i) {
      x[i] = std::fmod(i * 1.91f, 31.0f);
      y[i] = std::fmod(i * 2.37f, 29.0f);
      z[i] = std::fmod(i * 0.73f, 37.0f) + (n == 40 ? 1.0e9f * (i % 2) : 0.0f);
    }
    const float reach = 2.4f;
    auto close = [&](int i, int j) {
      const float dx = x[i - 1] - x[j - 1], dy = y[i - 1] - y[j - 1], dz = z[i - 1] - z[j - 1];
      return dx * dx + dy * dy + dz * dz <= reach * reach;
    };
    std::vector<std::pair<int, int>> brute, found;
    for (int i = 1; i <= n; ++i)
      for (int j = i + 1; j <= n; ++j)
        if (close(i, j)) brute.emplace_back(i, j);
    grid.for_each_candidate(n, x.data(), y.data(), z.data(), reach, [&](int i, int j) {
      if (close(i, j)) found.emplace_back(i, j);
    });
    EXPECT_EQ(found, brute) << n << " points";
  }
}

TEST(NeighbourLists, AscendingWithHydrogenCountsAndBondOrientation) {
  comp::load_l1(comp::read("ALA"), "ALA");
  // Reversed row: its atom numbers follow the row, not the atom order.
  r_scratch.l1b_1atm(1) = "CA";
  r_scratch.l1b_2atm(1) = "N";
  int32_t ierr = 0;
  lib_conn_(0, "    ", ierr);
  const int n = l1_atom("N"), ca = l1_atom("CA"), cb = l1_atom("CB");
  EXPECT_EQ(r_scratch.l1b_i1atm(1), ca);
  EXPECT_EQ(r_scratch.l1b_i2atm(1), n);
  EXPECT_NEAR(r_scratch.l1b_vobs(1), 1.468f, 0.002f);
  ASSERT_EQ(r_scratch.l1a_ndist(ca), 4);
  EXPECT_EQ(r_scratch.l1a_conn(1, ca), n);
  EXPECT_EQ(r_scratch.l1a_conn(2, ca), l1_atom("C"));
  EXPECT_EQ(r_scratch.l1a_conn(3, ca), cb);
  EXPECT_EQ(r_scratch.l1a_conn(4, ca), l1_atom("HA"));
  EXPECT_EQ(r_scratch.l1a_lencon(1, ca), 1);
  EXPECT_EQ(r_scratch.l1a_lencon(1, cb), 3);
  EXPECT_EQ(r_scratch.l1a_lencon(1, n), 2);
}

TEST(NeighbourLists, ThirteenthNeighbourIsRefusedWithWarning) {
  descr::clear_l1();
  add_atom("M", "U", '$', 0.0f);
  char name[16];
  for (int k = 1; k <= 13; ++k) {
    std::snprintf(name, sizeof name, "O%d", k);
    add_atom(name, "O", 'C', static_cast<float>(k));
    descr::add_l1_bond("M", name, 2.0f);
  }
  int32_t ierr = 0;
  const std::string out = captured([&] { lib_conn_(0, "    ", ierr); });
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(r_scratch.l1a_ndist(1), 12);
  EXPECT_EQ(r_scratch.l1a_ndist(14), 1);
  EXPECT_EQ(out,
            "  WARNING: number of connections of new monomer ALA      atom M    >    12\n"
            "           Change parameter MAX1BRN in \"lib_com\"\n");
}

struct TriangleCase {
  const char* label;
  const char* bonds[3][2];
  const char* removed_a;
  const char* removed_b;
};

TEST(Triangles, RemovedBondDependsOnTheSharedAtom) {
  const TriangleCase cases[] = {
      {"water-like O shared", {{"O", "H1"}, {"O", "H2"}, {"H1", "H2"}}, "H1", "H2"},
      {"hydrogen shared", {{"H1", "C1"}, {"H1", "H2"}, {"C1", "H2"}}, "H1", "H2"},
      {"far atom heavy", {{"C1", "H1"}, {"C1", "N1"}, {"N1", "H1"}}, nullptr, nullptr},
  };
  for (const TriangleCase& c : cases) {
    descr::clear_l1();
    for (const char* a : {"O", "H1", "H2", "C1", "N1"})
      add_atom(a, a[0] == 'H' ? "H" : "C", a[0] == 'H' ? 'H' : 'C', 0.0f);
    for (const auto& b : c.bonds) descr::add_l1_bond(b[0], b[1], 1.0f);
    int32_t ierr = 0;
    lib_conn_(0, "    ", ierr);
    const std::string out = captured([&] { remove_triangle_h_(0, ierr); });
    if (c.removed_a == nullptr) {
      EXPECT_EQ(r_scratch.l1b_nbond, 3) << c.label;
      EXPECT_EQ(out, "") << c.label;
      continue;
    }
    EXPECT_EQ(r_scratch.l1b_nbond, 2) << c.label;
    EXPECT_EQ(comp::l1_bond_set().count({c.removed_a, c.removed_b}), 0u) << c.label;
    EXPECT_NE(out.find("           bond:H1   - H2   is removed\n"), std::string::npos) << c.label;
  }
}

TEST(Connectivity, TwoMoleculesAreRefused) {
  comp::Component c = comp::read("ALA");
  for (comp::Atom& a : comp::read("HOH").atoms) {
    a.name = "W" + a.name;
    a.x += 10.0f;
    c.atoms.push_back(a);
  }
  comp::load_l1(c, "ALW", false, false);
  int32_t ierr = 0;
  list_bonds_from_coor_(0, ierr);
  lib_conn_(0, "COOR", ierr);
  const std::string out = captured([&] { check_connectivity_(0, 'N', ierr); });
  EXPECT_EQ(ierr, 20);
  EXPECT_EQ(out, "  ERROR: monomer:ALW      is not completely connected.\n");
}

TEST(ChiralFlags, PyramidOfHeavyAtomsIsACandidateAndAPlaneIsNot) {
  for (float lift : {0.0f, 0.6f}) {
    descr::clear_l1();
    add_atom("N1", "N", 'C', 0.0f, 0.0f, lift);
    add_atom("C1", "C", 'C', 1.45f);
    add_atom("C2", "C", 'C', -0.72f, 1.26f);
    add_atom("C3", "C", 'C', -0.72f, -1.26f);
    for (const char* a : {"C1", "C2", "C3"}) descr::add_l1_bond("N1", a, 1.45f);
    int32_t ierr = 0;
    lib_conn_(0, "    ", ierr);
    define_chir_flag_(0, ierr);
    EXPECT_EQ(r_scratch.l1a_ichir(1), lift > 0.0f ? 2 : 0) << "lift " << lift;
  }
}

}  // namespace
