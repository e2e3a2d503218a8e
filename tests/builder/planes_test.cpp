// Planes widened by flat rings, merged where they share atoms, renumbered,
// and given the hydrogens of their trigonal atoms.
#include "builder/planes.h"

#include <gtest/gtest.h>

#include <set>

#include "builder/chiral_centres.h"
#include "l1_fixture.h"
#include "support/capture.h"

namespace {

using fx::atom;
using fx::bond;
using fx::R;

int32_t plan(int32_t nring) {
  int32_t ierr = 0;
  captured([&] { check_plan_(0, nring, 'L', ierr); });
  return ierr;
}

void plane(std::initializer_list<const char*> names) {
  const int p = ++R().l1p_nplan;
  R().l1p_natom(p) = 0;
  R().l1p_label(p) = "plan-" + std::to_string(p);
  for (const char* n : names) {
    const int a = ++R().l1p_natom(p);
    R().l1p_atom(a, p) = n;
    R().l1p_iatom(a, p) = fx::index_of(n);
    R().l1p_dev(a, p) = 0.05f;
    R().l1p_dobs(a, p) = 0.0f;
  }
}

std::set<std::string> plane_names(int p) {
  std::set<std::string> s;
  for (int a = 1; a <= R().l1p_natom(p); ++a) s.insert(std::string(R().l1p_atom(a, p).trimmed()));
  return s;
}

// Amide fragment: planes (C, O, CA, N) and (N, C, CD, HN) share C and N.
void amide(const char* cn_type) {
  for (const char* n : {"C", "O", "CA", "N", "CD", "HN"})
    atom(n, n[0] == 'H' ? "H" : n[0] == 'O' ? "O" : n[0] == 'N' ? "N" : "C");
  bond("C", "O", "double");
  bond("C", "CA", "single");
  if (cn_type) bond("C", "N", cn_type);
  bond("N", "CD", "single");
  bond("N", "HN", "single");
  plane({"C", "O", "CA", "N"});
  plane({"N", "C", "CD", "HN"});
}

class Planes : public testing::Test {
 protected:
  void SetUp() override { fx::clear_l1(); }
};

}  // namespace

TEST_F(Planes, TwoSharedAtomsMergeOnlyWhenTheirBondKeepsThemCoplanar) {
  struct Case {
    const char* label;
    const char* cn_type;  // nullptr: no bond row between C and N
    int ring;             // 0 none, 1 flat ring, -1 puckered ring holding C and N
    int planes;
  };
  const Case cases[] = {
      {"single bond outside rings", "single", 0, 2},
      {"delocalised bond outside rings", "deloc", 0, 1},
      {"double bond in a puckered ring only", "double", -1, 2},
      {"single bond in a flat ring", "single", 1, 1},
      {"no bond row", nullptr, 0, 2},
  };
  for (const Case& c : cases) {
    fx::clear_l1();
    amide(c.cn_type);
    if (c.ring != 0) fx::ring(1, {"C", "N", "CA", "CD"}, c.ring > 0);
    // nring 0: the planes are compared without ring planes of their own.
    EXPECT_EQ(plan(0), 0) << c.label;
    EXPECT_EQ(R().l1p_nplan, c.planes) << c.label;
  }
}

TEST_F(Planes, MergedPlanesAreRenumberedWithoutGaps) {
  for (const char* n : {"A", "B", "C", "D", "E", "X", "Y", "Z"}) atom(n, "C");
  plane({"A", "B", "C", "D"});
  plane({"A", "B", "C", "E"});
  plane({"X", "Y", "Z"});
  plan(0);
  ASSERT_EQ(R().l1p_nplan, 2);
  EXPECT_EQ(R().l1p_label(2), "plan-2");
  EXPECT_EQ(plane_names(1), (std::set<std::string>{"A", "B", "C", "D", "E"}));
  EXPECT_EQ(plane_names(2), (std::set<std::string>{"X", "Y", "Z"}));
  EXPECT_FLOAT_EQ(R().l1p_dev(3, 2), 0.02f);
  EXPECT_FLOAT_EQ(R().l1p_dobs(5, 1), 0.0f);
}

TEST_F(Planes, RingMarkIsTheHighestFlatRingOfTheAtom) {
  for (const char* n : {"A", "B", "C", "D"}) atom(n, "C");
  fx::ring(1, {"A", "B"});
  fx::ring(2, {"A", "C"});
  fx::ring(3, {"A", "D"}, false);
  plan(3);
  EXPECT_EQ(R().l1a_icr(1), 2);
  EXPECT_EQ(R().l1a_icr(4), 0);
}

TEST_F(Planes, FullPlaneTableStopsWithTheParameterToRaise) {
  for (const char* n : {"A", "B"}) atom(n, "C");
  fx::ring(1, {"A", "B"});
  R().l1p_nplan = MAX1PLN;
  for (int p = 1; p <= MAX1PLN; ++p) R().l1p_natom(p) = 0;
  int32_t ierr = 0;
  const std::string out = captured([&] { check_plan_(0, 1, 'L', ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(out,
            "  ERROR: number of planar groups in new monomerNEW      >    80\n"
            "           Change parameter MAX1PLN in \"lib_com\"\n");
}

TEST_F(Planes, HydrogensOfTrigonalAtomsJoinTheirPlane) {
  struct Case {
    const char* label;
    bool tree_back;  // X reached from the tree: one forward neighbour less
    bool joins;
  };
  const Case cases[] = {
      {"two neighbours and a hydrogen", false, true},
      {"one forward neighbour and a back atom", true, true},
  };
  for (const Case& c : cases) {
    fx::clear_l1();
    atom("X", "C");
    atom("C1", "C");
    atom("H1", "H");
    bond("X", "C1", "single");
    bond("X", "H1", "single");
    if (c.tree_back) {
      R().l1a_ndist(1) = 1;
      R().l1a_conn(1, 1) = 3;
      R().l1a_iback(1) = 2;
    }
    R().l1a_ichir(1) = -1;
    plane({"X", "C1"});
    int32_t ierr = -1;
    add_hatom_to_plan_(0, ierr);
    EXPECT_EQ(ierr, 0) << c.label;
    EXPECT_EQ(plane_names(1).count("H1"), c.joins ? 1u : 0u) << c.label;
  }
}
