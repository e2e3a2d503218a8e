// Metal centres: arrangements recognised from coordinates (tetrahedral,
// linear, T, square, trigonal, octahedral), rows checked against the
// centre's neighbours, and the ideal angles that follow.  Zinc and cadmium
// stand at the origin with ligands 2.0 (Zn) or 2.3 (Cd) Angstrom away on
// the ideal directions of each polyhedron.
#include "builder/metal_centres.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "builder/bond_angle_values.h"
#include "builder/metal_geometry.h"
#include "geom_fixture.h"
#include "support/capture.h"

using namespace geomtest;

namespace {

struct Dir {
  float x, y, z;
};

// A metal at the origin with one ligand per direction (tree: metal is the
// root, each ligand a forward atom), and every angle at the metal made.
struct MetalCentres : L1Test {
  int m = 0;
  std::vector<int> lig;
  void centre(const char* symb, float r, const std::vector<Dir>& dirs, const char* lsymb = "N") {
    m = atom(symb, symb, symb, 0, 0, 0);
    int k = 0;
    for (const Dir& d : dirs) {
      const float n = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
      std::string name = lsymb;
      name += std::to_string(++k);
      lig.push_back(atom(name.c_str(), lsymb, "NH1", r * d.x / n, r * d.y / n, r * d.z / n, m));
    }
    int32_t ierr = 0;
    captured([&] {
      for (std::size_t i = 0; i < lig.size(); ++i)
        for (std::size_t j = i + 1; j < lig.size(); ++j)
          set_vangl_(0, "TST", lig[i], m, lig[j], ierr);
    });
  }
  float ideal(int a, int b) {
    for (int g = 1; g <= r_scratch.l1g_nangl; ++g)
      if (r_scratch.l1g_i2atm(g) == m &&
          ((r_scratch.l1g_i1atm(g) == a && r_scratch.l1g_i3atm(g) == b) ||
           (r_scratch.l1g_i1atm(g) == b && r_scratch.l1g_i3atm(g) == a)))
        return r_scratch.l1g_val(g);
    return -1;
  }
  int32_t from_coords() {
    int32_t ierr = -1;
    int32_t ib[10];
    for (std::size_t i = 0; i < lig.size(); ++i) ib[i] = lig[i];
    metal_chir_from_coord_(0, 'N', "TST", m, static_cast<int32_t>(lig.size()), ib, ierr);
    return ierr;
  }
};

const std::vector<Dir> kOcta = {{0, 0, 1},  {1, 0, 0},  {0, 1, 0},
                                {-1, 0, 0}, {0, -1, 0}, {0, 0, -1}};
const std::vector<Dir> kTetra = {{1, 1, 1}, {1, -1, -1}, {-1, 1, -1}, {-1, -1, 1}};

TEST_F(MetalCentres, TetrahedralZincGetsABothRow) {
  centre("ZN", 2.0f, kTetra);
  EXPECT_EQ(from_coords(), 0);
  ASSERT_EQ(r_scratch.l1c_nchir, 1);
  EXPECT_EQ(r_scratch.l1c_sign(1).str(), "both    ");
  EXPECT_EQ(r_scratch.l1c_flag(1).str(), "L");
  EXPECT_EQ(r_scratch.l1c_i1atm(1), m);
  EXPECT_EQ(r_scratch.l1c_i4atm(1), lig[2]);
  EXPECT_NE(r_scratch.l1c_vobs(1), 0.0f);
}

TEST_F(MetalCentres, TetrahedralCentreWithTwoHydrogensGetsNoRow) {
  m = atom("ZN", "ZN", "ZN", 0, 0, 0);
  int k = 0;
  for (const Dir& d : kTetra) {
    const float n = std::sqrt(3.0f);
    const bool h = k++ >= 2;
    lig.push_back(atom(h ? (k == 3 ? "H1" : "H2") : (k == 1 ? "O1" : "O2"), h ? "H" : "O", ".",
                       2 * d.x / n, 2 * d.y / n, 2 * d.z / n, m));
  }
  EXPECT_EQ(from_coords(), 0);
  EXPECT_EQ(r_scratch.l1c_nchir, 0);
}

TEST_F(MetalCentres, OctahedralCadmiumIsCross4WithTransSidesOpposite) {
  centre("CD", 2.3f, kOcta);
  EXPECT_EQ(from_coords(), 0);
  ASSERT_EQ(r_scratch.l1c_nchir, 1);
  const r_scratch_t& s = r_scratch;
  EXPECT_EQ(s.l1c_sign(1).str(), "cross4  ");
  EXPECT_EQ(s.l1c_flag(1).str(), "X");
  EXPECT_EQ(s.l1c_i2atm(1), lig[0]);  // the first neighbour all of whose angles are 90 or 180
  EXPECT_EQ(s.l1c_i3atm(1), lig[5]);
  const int side[4] = {s.l1c_i4atm(1), s.l1c_i5atm(1), s.l1c_i6atm(1), s.l1c_i7atm(1)};
  EXPECT_NEAR(ideal(side[0], side[2]), 180.0f, 1e-4);
  EXPECT_NEAR(ideal(side[1], side[3]), 180.0f, 1e-4);
  EXPECT_NEAR(ideal(side[0], side[1]), 90.0f, 1e-4);
  EXPECT_NEAR(ideal(lig[0], lig[5]), 180.0f, 1e-4);
  EXPECT_NEAR(ideal(lig[0], side[3]), 90.0f, 1e-4);
}

TEST_F(MetalCentres, ArrangementsRecognisedFromCoordinates) {
  const float c120 = -0.5f, s120 = 0.8660254f;
  struct Row {
    const char* label;
    std::vector<Dir> dirs;
    int32_t status;
    const char* sign;
  } rows[] = {
      {"two at 175 degrees: linear", {{1, 0, 0}, {-1, 0.0875f, 0}}, 0, "cross0  "},
      {"two at 100 degrees: axis and one side atom",
       {{1, 0, 0}, {-0.1736f, 0.9848f, 0}},
       0,
       "cross1  "},
      {"two at 120 degrees: trigonal", {{1, 0, 0}, {c120, s120, 0}}, 0, "cross3  "},
      {"two at 130 degrees: nothing known", {{1, 0, 0}, {-0.6428f, 0.7660f, 0}}, 1, ""},
      {"square planar", {{1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, {0, -1, 0}}, 0, "cross2  "},
      {"trigonal planar", {{1, 0, 0}, {c120, s120, 0}, {c120, -s120, 0}}, 0, "cross3  "},
      {"square pyramid", {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, {0, -1, 0}}, 0, "cross4  "},
  };
  for (const Row& row : rows) {
    clear_all();
    lig.clear();
    centre("ZN", 2.0f, row.dirs);
    EXPECT_EQ(from_coords(), row.status) << row.label;
    if (row.status == 0) {
      ASSERT_EQ(r_scratch.l1c_nchir, 1) << row.label;
      EXPECT_EQ(r_scratch.l1c_sign(1).str(), row.sign) << row.label;
    } else {
      EXPECT_EQ(r_scratch.l1c_nchir, 0) << row.label;
    }
  }
}

TEST_F(MetalCentres, NeighbourWithoutCoordinatesStopsBeforeMeasuring) {
  centre("ZN", 2.0f, kOcta);
  r_scratch.l1a_coor_flag(lig[3]) = "N";
  EXPECT_EQ(from_coords(), 2);
  EXPECT_EQ(r_scratch.l1c_nchir, 0);
}

TEST_F(MetalCentres, FullChiralTableGivesStatus3AndTwoLines) {
  centre("ZN", 2.0f, kOcta);
  r_scratch.l1c_nchir = MAX1CHR;
  int32_t st = 0;
  const std::string out = captured([&] { st = from_coords(); });
  EXPECT_EQ(st, 3);
  EXPECT_EQ(out,
            " ERROR: number of chiral centres in monomer TST >    50\n"
            "           Change parameter MAX1CHR in \"lib_com\"\n");
}

TEST_F(MetalCentres, MissingRowIsMadeWithAWarning) {
  centre("ZN", 2.0f, kOcta);
  int32_t ierr = -1;
  const std::string out = captured([&] { check_metal_chir_(0, "TST", 0, 'N', ierr); });
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(out, "  WARNING: there is not metal chirality for:ZN\n");
  EXPECT_EQ(r_scratch.l1c_sign(1).str(), "cross4  ");
}

TEST_F(MetalCentres, UnknownArrangementReportsStatus1) {
  centre("ZN", 2.0f, {{1, 0, 0}, {-0.6428f, 0.7660f, 0}});
  int32_t ierr = -1;
  const std::string out = captured([&] { check_metal_chir_(0, "TST", 0, 'N', ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(out,
            "  WARNING: there is not metal chirality for:ZN\n"
            "  WARNING: coords are not good enough to create Chirality\n");
}

// A "cross" or "star" row given by hand for the octahedron of ligands.
void given_row(const char* sign, std::initializer_list<int> slots) {
  r_scratch_t& s = r_scratch;
  const int k = ++s.l1c_nchir;
  int32_t* idx[9] = {&s.l1c_i1atm(k), &s.l1c_i2atm(k), &s.l1c_i3atm(k),
                     &s.l1c_i4atm(k), &s.l1c_i5atm(k), &s.l1c_i6atm(k),
                     &s.l1c_i7atm(k), &s.l1c_i8atm(k), &s.l1c_i9atm(k)};
  int j = 0;
  for (int a : slots) *idx[j++] = a;
  for (; j < 9; ++j) *idx[j] = 0;
  s.l1c_sign(k) = sign;
  s.l1c_flag(k) = "X";
}

TEST_F(MetalCentres, GivenRowsPassOrFail) {
  struct Row {
    const char* label;
    const char* sign;
    std::vector<int> slots;  // positions in the ligand list, -1 the centre
    int32_t status;
    const char* out;
  } rows[] = {
      {"cross4 with all six", "cross4", {-1, 0, 5, 1, 2, 3, 4}, 0, ""},
      {"cross4 naming three of four sides", "cross4", {-1, 0, 5, 1, 2, 3}, 0, ""},
      {"cross0 with off-axis neighbours", "cross0", {-1, 0, 5}, 0, ""},
      {"cross2 with three further neighbours",
       "cross2",
       {-1, 0, 5, 1},
       1,
       "  ERROR: wrong metal chirality for:ZN\n"},
      {"star6 naming every ligand", "star6", {-1, 0, 1, 2, 3, 4, 5}, 0, ""},
      {"star6 naming no ligand",
       "star6",
       {-1, -1, -1, -1, -1, -1, -1},
       1,
       "  ERROR: wrong metal chirality for:ZN\n"},
  };
  for (const Row& row : rows) {
    clear_all();
    lig.clear();
    centre("ZN", 2.0f, kOcta);
    std::vector<int> slots;
    for (int p : row.slots) slots.push_back(p < 0 ? m : lig[p]);
    r_scratch_t& s = r_scratch;
    const int k = ++s.l1c_nchir;
    int32_t* idx[9] = {&s.l1c_i1atm(k), &s.l1c_i2atm(k), &s.l1c_i3atm(k),
                       &s.l1c_i4atm(k), &s.l1c_i5atm(k), &s.l1c_i6atm(k),
                       &s.l1c_i7atm(k), &s.l1c_i8atm(k), &s.l1c_i9atm(k)};
    for (int j = 0; j < 9; ++j) *idx[j] = j < static_cast<int>(slots.size()) ? slots[j] : 0;
    s.l1c_sign(k) = row.sign;
    int32_t ierr = -1;
    const std::string out = captured([&] { check_metal_chir_(0, "TST", 0, 'N', ierr); });
    EXPECT_EQ(ierr, row.status) << row.label;
    EXPECT_EQ(out, row.out) << row.label;
  }
}

TEST_F(MetalCentres, OrdinaryRowIsLeftAlone) {
  centre("ZN", 2.0f, kTetra);
  given_row("both", {m, lig[0], lig[1], lig[2]});
  int32_t ierr = -1;
  const std::string out = captured([&] { check_metal_chir_(0, "TST", 0, 'N', ierr); });
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(out, "");
  EXPECT_EQ(r_scratch.l1c_nchir, 1);
}

TEST_F(MetalCentres, RowWithALetterForDigitSearchesAsNone) {
  centre("ZN", 2.0f, kOcta);
  given_row("crossX", {m, lig[0], lig[5]});
  int32_t ibc = 0, ifr = 0, icross = 0, lc = 0, ierr = 0;
  int32_t imc[10] = {};
  rt::FixedText<8> sign;
  srch_metal_chir_(0, "TST", m, 0, ibc, ifr, imc, icross, sign, lc, ierr);
  EXPECT_EQ(ierr, 3);
  EXPECT_EQ(lc, 0);
}

TEST_F(MetalCentres, SquareCompletionTakesTheUnnamedSideAtom) {
  centre("ZN", 2.0f, {{1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, {0, -1, 0}});
  given_row("cross2", {m, lig[0], lig[2], lig[1]});
  int32_t ierr = -1;
  captured([&] { check_metal_chir_(0, "TST", 0, 'N', ierr); });
  EXPECT_EQ(ierr, 0);
  EXPECT_NEAR(ideal(lig[1], lig[3]), 180.0f, 1e-4);
  EXPECT_NEAR(ideal(lig[0], lig[3]), 90.0f, 1e-4);
}

TEST_F(MetalCentres, DefaultGeometryNeedsExactlyTwoRightAnglesFor120) {
  centre("ZN", 2.0f, {{1, 0, 0}, {-0.5f, 0.866f, 0}, {-0.5f, -0.866f, 0}});
  for (int g = 1; g <= r_scratch.l1g_nangl; ++g) r_scratch.l1g_val(g) = 120.0f;
  int32_t ib[3] = {lig[0], lig[1], lig[2]}, ierr = -1;
  check_default_met_chir_(0, "TST", m, 3, ib, 'N', ierr);
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(r_scratch.l1c_nchir, 0);
}

}  // namespace

namespace {

// A row with an empty side position: the torsion about the axis bond is
// turned towards a real side atom, never towards the empty position.
TEST_F(MetalCentres, EmptySidePositionNeverEndsATorsion) {
  centre("ZN", 2.0f, kOcta);
  const int c = atom("C1", "C", "CH3", 0, 0, 3.5f, lig[0]);
  given_row("cross4", {m, lig[0], 0, 0, lig[1], lig[2], lig[3]});
  r_scratch_t& s = r_scratch;
  s.l1t_ntors = 1;
  s.l1t_i1atm(1) = c, s.l1t_i2atm(1) = lig[0], s.l1t_i3atm(1) = m, s.l1t_i4atm(1) = lig[5];
  int32_t ierr = -1;
  captured([&] { check_metal_chir_(0, "TST", 0, 'N', ierr); });
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(s.l1t_i4atm(1), lig[1]);
  EXPECT_EQ(s.l1t_4atm(1), s.l1a_aname(lig[1]));
}

}  // namespace
