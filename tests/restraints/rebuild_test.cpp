// Rebuilding missing atoms along the tree of the kept residue: hydrogens and
// side chains of real residues put back where they were, the start of a
// fragment, the step across a link, the permission and occupancy rules, and
// broken trees.
#include "restraints/rebuild_tree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monomer_fixture.h"
#include "restraints/rebuild_start.h"

namespace {

using fixture::Residue;

class Rebuild : public testing::Test {
 protected:
  // Residue `number` of 2BEG chain A as the kept residue (L2, C2/S2), every
  // internal coordinate taken from its own atoms; then the atoms for which
  // drop() holds are removed.
  template <typename Drop>
  void kept(const char* code, int number, Drop drop) {
    fixture::monomer_in_l1(code);
    fixture::monomer_to_l2();
    truth = fixture::pdb_residue("2BEG.pdb", 'A', number);
    fixture::residue_in_slot(s2, truth, code, 100);
    for (int i = 1; i <= s2.igatm; ++i) ASSERT_EQ(s2.atype(i), "Y") << s2.aname(i).view();
    fixture::internal_coordinates(s2, r.l2a_istart);
    for (int i = 1; i <= s2.igatm; ++i) {
      if (!drop(i)) continue;
      s2.atype(i) = "M";
      s2.xyz(1, i) = s2.xyz(2, i) = s2.xyz(3, i) = 0.0f;
      ++removed;
    }
  }
  bool hydrogen(int i) const { return s2.asymb(i)(1) == 'H'; }
  // The largest distance of a C2 row from its place in the entry; every
  // row must be placed.
  float worst_c2() {
    float worst = 0.0f;
    for (int i = 1; i <= s2.igatm; ++i) {
      EXPECT_NE(s2.atype(i), "M") << s2.aname(i).view();
      const fixture::Xyz& x = truth.at(std::string(s2.aname(i).trimmed()));
      worst = std::max(worst, fixture::distance(s2.xyz.column(i), x.x));
    }
    return worst;
  }
  int32_t run(char flag, char flag_old, char h, char rf, std::string* out = nullptr) {
    int32_t ierr = -1;
    const std::string text =
        captured([&] { rebuild_(0, ' ', flag, flag_old, 1, 1, 1, h, rf, na_rebld, ierr); });
    if (out) *out = text;
    return ierr;
  }

  r_scratch_t& r = r_scratch;
  restraints::WorkSlot s1 = restraints::slot1();
  restraints::WorkSlot s2 = restraints::slot2();
  Residue truth;
  int removed = 0;
  int32_t na_rebld = 0;
};

TEST_F(Rebuild, HydrogensOfAFragmentStartComeBackWhereTheyWere) {
  kept("LEU", 34, [&](int i) { return hydrogen(i); });
  ASSERT_EQ(removed, 11);
  EXPECT_EQ(run('M', 'S', 'A', 'N'), 0);
  EXPECT_EQ(na_rebld, removed);
  EXPECT_LT(worst_c2(), 0.01f);
  for (int i = 1; i <= s2.igatm; ++i)
    if (hydrogen(i)) {
      EXPECT_EQ(s2.atype(i), "R") << s2.aname(i).view();
    }
}

TEST_F(Rebuild, SideChainCutBackComesBackWithItsHydrogens) {
  kept("LEU", 34, [&](int i) {
    const std::string n(s2.aname(i).trimmed());
    return n != "N" && n != "CA" && n != "C" && n != "O" && n != "H" && n != "HA";
  });
  EXPECT_EQ(run('M', 'S', 'A', 'Y'), 0);
  EXPECT_EQ(na_rebld, removed);
  EXPECT_LT(worst_c2(), 0.01f);
}

TEST_F(Rebuild, WholeResidueFromItsStartAtomAndFirstChild) {
  // Everything but N and CA: CA's last child C has no reference and goes in
  // a fixed frame, so only the geometry, not the place, can be checked.
  kept("LEU", 34, [&](int i) { return !(s2.aname(i) == "N") && !(s2.aname(i) == "CA"); });
  EXPECT_EQ(run('M', 'S', 'A', 'Y'), 0);
  EXPECT_EQ(na_rebld, removed);
  auto v = [&](const char* n) {
    for (int i = 1; i <= s2.igatm; ++i)
      if (s2.aname(i) == n) return fixture::at(s2, i);
    ADD_FAILURE() << n;
    return fixture::V{};
  };
  auto t = [&](const char* n) {
    const fixture::Xyz& x = truth.at(n);
    return fixture::V{x.x[0], x.x[1], x.x[2]};
  };
  // Bond lengths, bond angles and a side-chain torsion as in the entry.
  EXPECT_NEAR(fixture::norm(fixture::sub(v("CB"), v("CA"))), fixture::norm(fixture::sub(t("CB"), t("CA"))), 0.01);
  EXPECT_NEAR(fixture::angle(v("N"), v("CA"), v("C")), fixture::angle(t("N"), t("CA"), t("C")), 1.0);
  EXPECT_NEAR(fixture::angle(v("C"), v("CA"), v("CB")), fixture::angle(t("C"), t("CA"), t("CB")), 1.0);
  EXPECT_NEAR(fixture::torsion(v("N"), v("CA"), v("CB"), v("CG")),
              fixture::torsion(t("N"), t("CA"), t("CB"), t("CG")), 1.0);
  EXPECT_NEAR(fixture::torsion(v("CA"), v("CB"), v("CG"), v("CD1")),
              fixture::torsion(t("CA"), t("CB"), t("CG"), t("CD1")), 1.0);
}

TEST_F(Rebuild, NothingWithoutEitherFlag) {
  kept("LEU", 34, [&](int i) { return hydrogen(i); });
  EXPECT_EQ(run('M', 'S', 'N', 'N'), 0);
  EXPECT_EQ(na_rebld, 0);
  for (int i = 1; i <= s2.igatm; ++i)
    if (hydrogen(i)) {
      EXPECT_EQ(s2.atype(i), "M");
    }
}

// Atoms the model never had (no occupancy) take their side about the bond
// from the library: isoleucine's CG2 and HB beside CG1, where the entry has
// them; and the mirror side when CB's chiral row is made to say the other
// hand than the ideal coordinates, for the row decides.
TEST_F(Rebuild, AtomsTheModelNeverHadTakeTheLibrarysSide) {
  for (const bool flipped : {false, true}) {
    SCOPED_TRACE(flipped ? "chiral row flipped" : "library as written");
    removed = 0;
    na_rebld = 0;
    kept("ILE", 31, [&](int i) { return s2.aname(i) == "CG2" || s2.aname(i) == "HB"; });
    ASSERT_EQ(removed, 2);
    for (int i = 1; i <= s2.igatm; ++i)
      if (s2.atype(i) == "M") s2.occ(i) = 0.0f;
    int row = 0;
    for (int k = 1; k <= r.lmc_nchir; ++k)
      if (r.lmc_mname(k) == "ILE" && r.lmc_1atm(k) == "CB") row = k;
    ASSERT_GT(row, 0);
    ASSERT_EQ(r.lmc_sign(row), "positiv");
    if (flipped) r.lmc_sign(row) = "negativ";
    EXPECT_EQ(run('M', 'S', 'A', 'Y'), 0);
    r.lmc_sign(row) = "positiv";
    EXPECT_EQ(na_rebld, 2);
    auto v = [&](const char* n) {
      for (int i = 1; i <= s2.igatm; ++i)
        if (s2.aname(i) == n) return fixture::at(s2, i);
      ADD_FAILURE() << n;
      return fixture::V{};
    };
    const fixture::V c = v("CB"), u = fixture::sub(v("CA"), c), w = fixture::sub(v("CG1"), c),
                     x = fixture::sub(v("CG2"), c);
    const double vol = u.x * (w.y * x.z - w.z * x.y) - u.y * (w.x * x.z - w.z * x.x) +
                       u.z * (w.x * x.y - w.y * x.x);
    EXPECT_GT(flipped ? -vol : vol, 2.0);
    if (flipped) continue;
    for (const char* n : {"CG2", "HB"}) {
      const fixture::Xyz& t = truth.at(n);
      const fixture::V p = v(n);
      EXPECT_LT(fixture::norm(fixture::sub(p, fixture::V{t.x[0], t.x[1], t.x[2]})), 0.15) << n;
    }
  }
}

TEST_F(Rebuild, HydrogensOnlyLeaveMissingHeavyAtomsAndWhatHangsOnThem) {
  kept("LEU", 34, [&](int i) {
    const std::string n(s2.aname(i).trimmed());
    return hydrogen(i) || n == "CD1";
  });
  EXPECT_EQ(run('M', 'S', 'A', 'N'), 0);
  EXPECT_EQ(na_rebld, removed - 4);  // CD1 and its three hydrogens stay missing
  for (int i = 1; i <= s2.igatm; ++i) {
    const std::string n(s2.aname(i).trimmed());
    const bool on_cd1 = n == "CD1" || n.rfind("HD1", 0) == 0;
    EXPECT_EQ(s2.atype(i), on_cd1 ? "M" : (hydrogen(i) ? "R" : "Y")) << n;
  }
}

TEST_F(Rebuild, FragmentStartWithoutTheStartsLastChildPlacesNothingThatNeedsIt) {
  kept("LEU", 34, [&](int i) { return hydrogen(i) || s2.aname(i) == "CA"; });
  EXPECT_EQ(run('M', 'S', 'A', 'Y'), 0);
  // Only the methyl hydrogens, whose frames lie beyond CA, are placed.
  EXPECT_EQ(na_rebld, 6);
  for (int i = 1; i <= s2.igatm; ++i) {
    const std::string n(s2.aname(i).trimmed());
    if (n.rfind("HD", 0) == 0) {
      EXPECT_EQ(s2.atype(i), "R") << n;
    } else if (hydrogen(i) || n == "CA") {
      EXPECT_EQ(s2.atype(i), "M") << n;
      EXPECT_EQ(s2.xyz(1, i), 0.0f) << n;
    }
  }
}

TEST_F(Rebuild, LinkedResidueLeavesItsFirstLevelsToThePreviousOne) {
  kept("LEU", 34, [&](int i) { return hydrogen(i); });
  EXPECT_EQ(run('Y', 'Y', 'A', 'N'), 0);
  // H on N and HA on CA hang on the first two tree levels.
  for (int i = 1; i <= s2.igatm; ++i) {
    const bool first_levels = s2.aname(i) == "H" || s2.aname(i) == "HA";
    if (hydrogen(i)) {
      EXPECT_EQ(s2.atype(i), first_levels ? "M" : "R") << s2.aname(i).view();
    }
  }
  EXPECT_EQ(na_rebld, removed - 2);
}

TEST_F(Rebuild, OccupancyOfHydrogensOnCarbonAndOnTheStartNitrogen) {
  kept("LEU", 34, [&](int i) { return hydrogen(i); });
  for (int i = 1; i <= s2.igatm; ++i) s2.occ(i) = hydrogen(i) ? 0.0f : 0.5f;
  EXPECT_EQ(run('M', 'S', 'A', 'N'), 0);
  for (int i = 1; i <= s2.igatm; ++i) {
    if (!hydrogen(i)) continue;
    // The amide hydrogen of a fragment start has a free torsion on a
    // nitrogen: it is placed but not trusted.
    const float want = s2.aname(i) == "H" ? 0.0f : 0.5f;
    EXPECT_EQ(s2.occ(i), want) << s2.aname(i).view();
    EXPECT_EQ(s2.biso(i), 20.0f);
  }
}

TEST_F(Rebuild, HydroxylHydrogenTrustedOnlyWithAFixedTorsionCode) {
  kept("SER", 26, [&](int i) { return s2.aname(i) == "HG"; });
  int hg = 0;
  for (int i = 1; i <= s2.igatm; ++i)
    if (s2.aname(i) == "HG") hg = i;
  ASSERT_GT(hg, 0);
  s2.id_psi(hg) = "vv";
  EXPECT_EQ(run('M', 'S', 'A', 'N'), 0);
  EXPECT_EQ(s2.atype(hg), "R");
  EXPECT_EQ(s2.occ(hg), 0.0f);
  s2.atype(hg) = "M";
  s2.id_psi(hg) = "cvv";
  EXPECT_EQ(run('M', 'S', 'A', 'N'), 0);
  EXPECT_EQ(s2.occ(hg), 1.0f);
}

TEST_F(Rebuild, StepsAcrossTheLinkIntoTheFirstLevelsOfTheNextResidue) {
  // LEU 17 kept in C2, VAL 18 in C1, linked C(17)-N(18).
  const Residue next = fixture::pdb_residue("2BEG.pdb", 'A', 18);
  fixture::monomer_in_l1("VAL");
  fixture::residue_in_slot(s1, next, "VAL", 200);
  kept("LEU", 17, [](int) { return false; });
  int c = 0, n = 0;
  for (int i = 1; i <= s2.igatm; ++i)
    if (s2.aname(i) == "C") c = i;
  for (int i = 1; i <= s1.igatm; ++i)
    if (s1.aname(i) == "N") n = i;
  ASSERT_TRUE(c > 0 && n > 0);
  s2.conn_f(c) = s1.iglobal + n;
  s1.conn_s(n) = s2.iglobal + c;
  // Internal coordinates of the next residue measured across the link:
  // N hangs on C, its children on the frame CA(18)-C(18)-N.
  fixture::internal_coordinates(s1, n);
  const fixture::V ca = fixture::at(s2, s2.iback(c)), cc = fixture::at(s2, c);
  s1.dist(n) = static_cast<float>(fixture::norm(fixture::sub(fixture::at(s1, n), cc)));
  s1.tht(n) = static_cast<float>(fixture::angle(ca, cc, fixture::at(s1, n)));
  for (int k = 1; k <= s1.ndist(n); ++k) {
    const int m = s1.conn(k, n);
    s1.tht(m) = static_cast<float>(fixture::angle(cc, fixture::at(s1, n), fixture::at(s1, m)));
  }
  const int last = s1.conn(s1.ndist(n), n);
  const double t_ref = fixture::torsion(ca, cc, fixture::at(s1, n), fixture::at(s1, last));
  s1.psi(last) = static_cast<float>(t_ref);
  for (int k = 1; k < s1.ndist(n); ++k) {
    const int m = s1.conn(k, n);
    s1.psi(m) = static_cast<float>(
        fixture::wrap(fixture::torsion(ca, cc, fixture::at(s1, n), fixture::at(s1, m)) - t_ref));
  }
  const int cav = last;  // CA of VAL, N's last child
  for (int k = 1; k < s1.ndist(cav); ++k) {
    const int m = s1.conn(k, cav);
    s1.tht(m) = static_cast<float>(fixture::angle(fixture::at(s1, n), fixture::at(s1, cav), fixture::at(s1, m)));
  }
  const int cv = s1.conn(s1.ndist(cav), cav);
  const double t2 = fixture::torsion(cc, fixture::at(s1, n), fixture::at(s1, cav), fixture::at(s1, cv));
  s1.psi(cv) = static_cast<float>(t2);
  for (int k = 1; k < s1.ndist(cav); ++k) {
    const int m = s1.conn(k, cav);
    s1.psi(m) = static_cast<float>(fixture::wrap(
        fixture::torsion(cc, fixture::at(s1, n), fixture::at(s1, cav), fixture::at(s1, m)) - t2));
  }
  std::vector<int> gone;
  for (int i = 1; i <= s1.igatm; ++i) {
    const std::string nm(s1.aname(i).trimmed());
    if (nm == "H" || nm == "HA" || nm == "CB") {
      gone.push_back(i);
      s1.atype(i) = "M";
      s1.xyz(1, i) = s1.xyz(2, i) = s1.xyz(3, i) = 0.0f;
    }
  }
  // The next residue's flag 'Y' lets the kept one reach across.
  EXPECT_EQ(run('Y', 'S', 'A', 'Y'), 0);
  EXPECT_EQ(na_rebld, 3);
  for (int i : gone) {
    EXPECT_EQ(s1.atype(i), "R") << s1.aname(i).view();
    EXPECT_LT(fixture::distance(s1.xyz.column(i), next.at(std::string(s1.aname(i).trimmed())).x), 0.01f)
        << s1.aname(i).view();
  }
  // After a gap the next residue is its own fragment start.
  for (int i : gone) s1.atype(i) = "M";
  na_rebld = 0;
  EXPECT_EQ(run('G', 'S', 'A', 'Y'), 0);
  EXPECT_EQ(na_rebld, 0);
}

TEST_F(Rebuild, AResidueWithNothingPlacedGetsNothingAndNoNaN) {
  kept("LEU", 34, [](int) { return true; });
  EXPECT_EQ(run('M', 'S', 'A', 'Y'), 0);
  EXPECT_EQ(na_rebld, 0);
  for (int i = 1; i <= s2.igatm; ++i) {
    EXPECT_EQ(s2.atype(i), "M");
    for (int k = 1; k <= 3; ++k) EXPECT_TRUE(std::isfinite(s2.xyz(k, i)));
  }
}

TEST_F(Rebuild, CoincidentOrInLineReferencesStillGiveFinitePlaces) {
  kept("LEU", 34, [&](int i) { return hydrogen(i); });
  int ca = 0, cb = 0, cg = 0;
  for (int i = 1; i <= s2.igatm; ++i) {
    if (s2.aname(i) == "CA") ca = i;
    if (s2.aname(i) == "CB") cb = i;
    if (s2.aname(i) == "CG") cg = i;
  }
  for (int k = 1; k <= 3; ++k) {
    s2.xyz(k, cb) = s2.xyz(k, ca);                                // CB on top of CA
    s2.xyz(k, cg) = 2.0f * s2.xyz(k, ca) - s2.xyz(k, 1);          // CG in line with N-CA
  }
  EXPECT_EQ(run('M', 'S', 'A', 'N'), 0);
  EXPECT_EQ(na_rebld, removed);
  for (int i = 1; i <= s2.igatm; ++i)
    for (int k = 1; k <= 3; ++k) EXPECT_TRUE(std::isfinite(s2.xyz(k, i))) << s2.aname(i).view();
}

TEST_F(Rebuild, AReferenceThatIsNotANumberLeavesItsChildrenMissing) {
  kept("LEU", 34, [&](int i) { return hydrogen(i); });
  int cd1 = 0;
  for (int i = 1; i <= s2.igatm; ++i)
    if (s2.aname(i) == "CD1") cd1 = i;
  s2.xyz(2, cd1) = std::nanf("");
  EXPECT_EQ(run('M', 'S', 'A', 'N'), 0);
  EXPECT_EQ(na_rebld, removed - 3);
  for (int i = 1; i <= s2.igatm; ++i) {
    if (i == cd1) continue;
    for (int k = 1; k <= 3; ++k) EXPECT_TRUE(std::isfinite(s2.xyz(k, i))) << s2.aname(i).view();
    if (std::string(s2.aname(i).trimmed()).rfind("HD1", 0) == 0) {
      EXPECT_EQ(s2.atype(i), "M");
    }
  }
}

TEST_F(Rebuild, TraceNamesTheRowsAndTheStartOfTheTree) {
  kept("LEU", 34, [&](int i) { return hydrogen(i); });
  int32_t ierr = -1;
  const std::string out = captured([&] { rebuild_(0, 'T', 'M', 'S', 1, 1, 1, 'A', 'N', na_rebld, ierr); });
  EXPECT_EQ(ierr, 0);
  EXPECT_NE(out.find(" rebuild: start"), std::string::npos);
  EXPECT_NE(out.find("HD23"), std::string::npos);
  EXPECT_NE(out.find("---end init-------------------"), std::string::npos);
  EXPECT_EQ(na_rebld, removed);
}

// A comb of twelve atoms, each with two children, the second leading on:
// depth d holds d pending branches.
void comb_tree(int teeth) {
  r_scratch_t& r = r_scratch;
  const int n = 2 * teeth + 1;
  r.l2a_natom = n;
  r.l2a_istart = 1;
  r.l2a_ifinish = n;
  r.c2_rname = "COMB";
  r.c2_pnum = "  A   1 A   ";
  for (int i = 1; i <= n; ++i) {
    r.l2a_aname(i) = 'X' + std::to_string(i);
    r.l2a_ndist(i) = 0;
    r.l2a_iback(i) = 0;
  }
  for (int t = 0; t < teeth; ++t) {
    const int a = 2 * t + 1;
    r.l2a_ndist(a) = 2;
    r.l2a_conn(1, a) = a + 2;  // the spine goes first, the leaf stays pending
    r.l2a_conn(2, a) = a + 1;
    r.l2a_iback(a + 1) = r.l2a_iback(a + 2) = a;
  }
  r.c2_igatm = 0;
}

TEST(RebuildWalk, TenPendingBranchesAreWalkedElevenAreRefused) {
  comb_tree(10);
  int32_t na = 0, ierr = -1;
  std::string out = captured([&] { rebuild_(0, ' ', 'M', 'S', 1, 1, 1, 'A', 'Y', na, ierr); });
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(out, "");
  comb_tree(11);
  out = captured([&] { rebuild_(0, ' ', 'M', 'S', 1, 1, 1, 'A', 'Y', na, ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(out, "  WARNING : COMB     : N-stack >     10\n  WARNING : COMB       A   1 A    : wrong tree structure\n");
}

TEST(RebuildWalk, NegativeForwardCountWithBranchesPendingIsABrokenTree) {
  comb_tree(3);
  r_scratch.l2a_ndist(4) = -1;
  int32_t na = 0, ierr = -1;
  const std::string out = captured([&] { rebuild_(0, ' ', 'M', 'S', 1, 1, 1, 'A', 'Y', na, ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(out, "  WARNING : COMB       A   1 A    : wrong tree structure\n");
}

}  // namespace
