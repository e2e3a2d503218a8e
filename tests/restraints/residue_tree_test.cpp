// Internal coordinates of real residues along their library trees, turned
// back into coordinates by the rebuild; the torsion codes and the rules that
// keep an earlier code; the ring rule.
#include "restraints/residue_tree.h"

#include <gtest/gtest.h>

#include <string>

#include "dictionary/modif.h"
#include "monomer_fixture.h"
#include "restraints/end_torsions.h"
#include "restraints/rebuild_tree.h"

namespace {

using fixture::Residue;

class ResidueTree : public testing::Test {
 protected:
  // Residue `number` of 2BEG chain A in C1/S1 with its monomer in L1.
  void current(const char* code, int number) {
    fixture::monomer_in_l1(code);
    truth = fixture::pdb_residue("2BEG.pdb", 'A', number);
    fixture::residue_in_slot(s1, truth, code, 0);
  }
  int row(const char* name) const {
    for (int i = 1; i <= s1.igatm; ++i)
      if (s1.aname(i) == name) return i;
    ADD_FAILURE() << name;
    return 0;
  }
  int32_t tree(char flag = 'S') {
    int32_t ierr = -1;
    captured([&] { def_dist_th_ph_(0, ' ', flag, ierr); });
    return ierr;
  }
  // The residue kept (L2, C2/S2) with its start torsions, every atom but
  // those keep() holds removed, rebuilt as a fragment start; the worst
  // distance from the entry.
  template <typename Keep>
  float rebuilt(Keep keep) {
    int32_t ierr = 0;
    captured([&] {
      copyl2_(0, ierr);
      copyc2_(0, ierr);
      calc_l_th_phi_(0, 'M', 'S', 1, 1, 1, ierr);
    });
    EXPECT_EQ(ierr, 0);
    for (int i = 1; i <= s2.igatm; ++i) {
      if (keep(std::string(s2.aname(i).trimmed()))) continue;
      s2.atype(i) = "M";
      s2.xyz(1, i) = s2.xyz(2, i) = s2.xyz(3, i) = 0.0f;
      ++removed;
    }
    int32_t na = 0;
    captured([&] { rebuild_(0, ' ', 'M', 'S', 1, 1, 1, 'A', 'Y', na, ierr); });
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(na, removed);
    float worst = 0.0f;
    for (int i = 1; i <= s2.igatm; ++i) {
      EXPECT_NE(s2.atype(i), "M") << s2.aname(i).view();
      const fixture::Xyz& x = truth.at(std::string(s2.aname(i).trimmed()));
      if (s2.id_psi(i) == "?") {
        // No torsion of the library reaches this atom (a methyl, amine or
        // hydroxyl hydrogen): only its riding geometry is fixed.
        const int b = s2.iback(i), bb = s2.iback(b);
        const fixture::V xt{x.x[0], x.x[1], x.x[2]};
        const fixture::V bt{truth.at(std::string(s2.aname(b).trimmed())).x[0],
                            truth.at(std::string(s2.aname(b).trimmed())).x[1],
                            truth.at(std::string(s2.aname(b).trimmed())).x[2]};
        EXPECT_NEAR(fixture::norm(fixture::sub(fixture::at(s2, i), fixture::at(s2, b))),
                    fixture::norm(fixture::sub(xt, bt)), 0.01)
            << s2.aname(i).view();
        EXPECT_NEAR(fixture::angle(fixture::at(s2, bb), fixture::at(s2, b), fixture::at(s2, i)),
                    fixture::angle(fixture::at(s2, bb), fixture::at(s2, b), xt), 1.0)
            << s2.aname(i).view();
        continue;
      }
      const float d = fixture::distance(s2.xyz.column(i), x.x);
      EXPECT_LT(d, 0.01f) << s2.aname(i).view() << " code " << s2.id_psi(i).view();
      worst = std::max(worst, d);
    }
    return worst;
  }

  r_scratch_t& r = r_scratch;
  restraints::WorkSlot s1 = restraints::slot1();
  restraints::WorkSlot s2 = restraints::slot2();
  Residue truth;
  int removed = 0;
};

TEST_F(ResidueTree, LeucineComesBackFromItsBackboneFrame) {
  current("LEU", 34);
  EXPECT_EQ(tree(), 0);
  EXPECT_LT(rebuilt([](const std::string& n) { return n == "N" || n == "CA" || n == "C"; }), 0.01f);
}

TEST_F(ResidueTree, PhenylalanineRingComesBackFromItsBackboneFrame) {
  current("PHE", 19);
  EXPECT_EQ(tree(), 0);
  EXPECT_LT(rebuilt([](const std::string& n) { return n == "N" || n == "CA" || n == "C"; }), 0.01f);
}

TEST_F(ResidueTree, LysineAndSerineHydrogensComeBack) {
  for (auto [code, number] : {std::pair{"LYS", 28}, std::pair{"SER", 26}}) {
    removed = 0;
    current(code, number);
    EXPECT_EQ(tree(), 0);
    EXPECT_LT(rebuilt([](const std::string& n) { return n[0] != 'H'; }), 0.01f) << code;
  }
}

TEST_F(ResidueTree, IdealAndMeasuredValuesOnTheAtomAndItsRow) {
  current("LEU", 34);
  const int cg = row("CG"), cb = row("CB"), ca = row("CA");
  s1.xyz(1, cg) += 0.3f;  // a model value apart from the ideal one
  EXPECT_EQ(tree(), 0);
  const float d = fixture::distance(s1.xyz.column(cg), s1.xyz.column(cb));
  EXPECT_NEAR(s1.dist(cg), d, 1e-4);
  EXPECT_EQ(r.l1a_length(cg), 1.530f);  // the library bond CB-CG
  EXPECT_NEAR(s1.tht(cg), fixture::angle(fixture::at(s1, ca), fixture::at(s1, cb), fixture::at(s1, cg)), 0.01);
  EXPECT_EQ(s1.id_psi(cg), "vv");
}

TEST_F(ResidueTree, LowOccupancyAndMissingAtomsTakeTheIdealValues) {
  current("LEU", 34);
  const int cg = row("CG"), hg = row("HG");
  s1.occ(cg) = 0.001f;
  s1.atype(hg) = "M";
  EXPECT_EQ(tree(), 0);
  EXPECT_EQ(s1.dist(cg), 1.530f);
  EXPECT_EQ(s1.dist(hg), 1.090f);
}

TEST_F(ResidueTree, ChainStartGivesTheFirstThreeAtomsNoTorsion) {
  current("LEU", 34);
  EXPECT_EQ(tree('S'), 0);
  for (const char* n : {"N", "CA", "C"}) EXPECT_EQ(s1.id_psi(row(n)), ".") << n;
  current("LEU", 34);
  EXPECT_EQ(tree('Y'), 0);
  EXPECT_EQ(s1.id_psi(row("N")), "?");
}

// A chain end carries the terminal carboxylate: its carbonyl O is no longer
// the last forward atom of C, and C's forward atom lies beyond the residue
// (the tree's end mark).  O takes its library torsion as an atom whose back
// atom has no forward atom here.
TEST_F(ResidueTree, TorsionOntoTheEndAtomOfAChainEnd) {
  fixture::monomer_in_l1("ASP");
  int32_t ierr = -1;
  captured([&] { modif_(0, "COO", ierr); });
  ASSERT_EQ(ierr, 0);
  truth = fixture::pdb_residue("2BEG.pdb", 'A', 23);
  fixture::residue_in_slot(s1, truth, "ASP", 0);
  const int c = row("C");
  ASSERT_LT(r.l1a_iforw(r_scratch.s1_ilib(c)), 0);
  EXPECT_EQ(tree('M'), 0);
  EXPECT_EQ(s1.id_psi(row("O")), "Co1T");
}

TEST_F(ResidueTree, AnEarlierTorsionCodeIsKept) {
  current("LEU", 34);
  const int hb2 = row("HB2");
  s1.id_psi(hb2) = "Co9X";
  s1.psi(hb2) = 42.0f;
  EXPECT_EQ(tree(), 0);
  EXPECT_EQ(s1.id_psi(hb2), "Co9X");
  EXPECT_EQ(s1.psi(hb2), 42.0f);
}

TEST_F(ResidueTree, ATorsionListedAgainstTheTreeKeepsItsValue) {
  current("LEU", 34);
  int t = 0;
  for (int k = 1; k <= r.l1t_ntors; ++k)
    if (r.l1t_1atm(k) == "N" && r.l1t_4atm(k) == "CG") t = k;
  ASSERT_GT(t, 0);
  std::swap(r.l1t_1atm(t), r.l1t_4atm(t));
  std::swap(r.l1t_2atm(t), r.l1t_3atm(t));
  const int cg = row("CG");
  s1.atype(cg) = "M";  // the ideal value then stands for the measured one
  EXPECT_EQ(tree('Y'), 0);
  EXPECT_EQ(s1.id_psi(cg), "vv");
  EXPECT_EQ(s1.psi(cg), r.l1t_val(t));
  EXPECT_EQ(r.l1a_phi(s1.ilib(cg)), r.l1t_val(t));
}

TEST_F(ResidueTree, TraceHeadingsInOrder) {
  current("ALA", 21);
  int32_t ierr = -1;
  const std::string out = captured([&] { def_dist_th_ph_(0, 'T', 'S', ierr); });
  size_t at = 0;
  for (const char* h : {" --- tree ---bond", " --- tree --- angle", " --- tree --- tors", " --- tree --- chir",
                        " --- tree --- plan", " --- tree --- end"}) {
    const size_t next = out.find(h, at);
    EXPECT_NE(next, std::string::npos) << h;
    at = next;
  }
}

TEST(RingRule, TorsionsAcrossRingsAndOutOfThem) {
  r_scratch_t& r = r_scratch;
  const char* types[] = {"CR6", "CR66", "C", "NR5", "CR56", "CR15", "CH1"};
  for (int i = 0; i < 7; ++i) r.l1a_chem(i + 1) = types[i];
  struct Case {
    const char* label;
    int l, k, j, i;
    float want;
  } cases[] = {
      {"inner bond not in rings", 1, 3, 1, 1, 0.0f},
      {"both ends fused, six", 6, 2, 2, 1, 180.0f},
      {"both ends fused five, outer alike", 4, 5, 5, 4, 0.0f},
      {"first end fused, last atom ring", 3, 2, 1, 1, 180.0f},
      {"first end fused, last atom not", 1, 2, 1, 3, 0.0f},
      {"second end fused, first atom ring", 1, 1, 2, 3, 180.0f},
      {"single rings, outer atoms differ", 3, 1, 6, 1, 180.0f},
      {"single rings, outer atoms both out", 7, 1, 6, 3, 0.0f},
  };
  for (const Case& c : cases) {
    float v = -1.0f;
    check_ring_ph_(c.l, c.k, c.j, c.i, v);
    EXPECT_EQ(v, c.want) << c.label;
  }
}

}  // namespace

namespace {

// The library's bond a-b and angle a-b-c of the kept residue's monomer (L2).
float l2_bond(std::string_view a, std::string_view b) {
  const r_scratch_t& r = r_scratch;
  for (int k = 1; k <= r.l2b_nbond; ++k)
    if ((r.l2b_1atm(k) == a && r.l2b_2atm(k) == b) || (r.l2b_1atm(k) == b && r.l2b_2atm(k) == a))
      return r.l2b_val(k);
  return 0.0f;
}
float l2_angle(std::string_view a, std::string_view b, std::string_view c) {
  const r_scratch_t& r = r_scratch;
  for (int k = 1; k <= r.l2g_nangl; ++k)
    if (r.l2g_2atm(k) == b && ((r.l2g_1atm(k) == a && r.l2g_3atm(k) == c) ||
                               (r.l2g_1atm(k) == c && r.l2g_3atm(k) == a)))
      return r.l2g_val(k);
  return 0.0f;
}

TEST_F(ResidueTree, HydrogensOfAModelWithoutThemTakeTheLibraryGeometry) {
  for (auto [code, number] : {std::pair{"LEU", 34}, std::pair{"PHE", 20}, std::pair{"LYS", 28}}) {
    current(code, number);
    for (int i = 1; i <= s1.igatm; ++i)
      if (s1.asymb(i)(1) == 'H') {
        s1.atype(i) = "M";
        s1.xyz(1, i) = s1.xyz(2, i) = s1.xyz(3, i) = 0.0f;
      }
    EXPECT_EQ(tree(), 0);
    int32_t ierr = 0, na = 0;
    captured([&] {
      copyl2_(0, ierr);
      copyc2_(0, ierr);
      calc_l_th_phi_(0, 'M', 'S', 1, 1, 1, ierr);
      rebuild_(0, ' ', 'M', 'S', 1, 1, 1, 'A', 'N', na, ierr);
    });
    EXPECT_EQ(ierr, 0);
    for (int i = 1; i <= s2.igatm; ++i) {
      if (s2.asymb(i)(1) != 'H') continue;
      ASSERT_EQ(s2.atype(i), "R") << code << " " << s2.aname(i).view();
      const int b = s2.iback(i);
      const std::string_view hn = s2.aname(i).view(), bn = s2.aname(b).view();
      EXPECT_NEAR(fixture::norm(fixture::sub(fixture::at(s2, i), fixture::at(s2, b))), l2_bond(hn, bn), 0.01)
          << code << " " << hn;
      // The angle to the atom the hydrogen's parent hangs on (or, at the
      // tree start, to the start's first child).
      const int ref = s2.iback(b) > 0 ? s2.iback(b) : s2.conn(s2.ndist(b), b);
      EXPECT_NEAR(fixture::angle(fixture::at(s2, ref), fixture::at(s2, b), fixture::at(s2, i)),
                  l2_angle(s2.aname(ref).view(), bn, hn), 1.0)
          << code << " " << hn;
    }
  }
}

}  // namespace
