// Trees built from bonds alone, against trees worked out by hand from the
// construction rules (leaf removal from the highest atom down, best terminal
// heavy atom as the start, deepest atom last).
#include "dictionary/tree_create.h"

#include <gtest/gtest.h>

#include <string>

#include "component_l1.h"
#include "dictionary/new_bonds.h"
#include "support/capture.h"

namespace {

using comp::l1_atom;

// "name<back>forw" for every atom, in atom order.
std::string tree_text() {
  std::string s;
  for (int i = 1; i <= r_scratch.l1a_natom; ++i) {
    if (!s.empty()) s += ' ';
    s += std::string(r_scratch.l1a_aname(i).trimmed()) + "<" +
         std::string(r_scratch.l1a_back(i).trimmed()) + ">" +
         std::string(r_scratch.l1a_forw(i).trimmed());
  }
  return s;
}

int32_t build() {
  int32_t ierr = 0;
  lib_conn_(0, "    ", ierr);
  create_tree_new_(0, 'N', ierr);
  return ierr;
}

TEST(TreeConstruction, AlanineStartsAtTheTerminalOxygen) {
  comp::load_l1(comp::read("ALA"), "ALA", true);
  ASSERT_EQ(build(), 0);
  // OXT and CB tie as start candidates (one heavy neighbour, no hydrogen
  // counted); OXT is met first going down.  CB is the deepest heavy atom.
  EXPECT_EQ(tree_text(), "N<CA>. CA<C>CB C<OXT>CA O<C>. CB<CA>END OXT<.>C");
  EXPECT_EQ(r_scratch.l1a_istart, l1_atom("OXT"));
  EXPECT_EQ(r_scratch.l1a_ifinish, l1_atom("CB"));
  EXPECT_EQ(r_scratch.l1n_nconn, 0);
}

TEST(TreeConstruction, OxygenBeatsMethylWhenHydrogensCount) {
  comp::load_l1(comp::read("ALA"), "ALA");
  ASSERT_EQ(build(), 0);
  EXPECT_EQ(r_scratch.l1a_istart, l1_atom("O"));
  EXPECT_EQ(r_scratch.l1a_lencon(1, l1_atom("CB")), 3);  // hydrogen counts given back
}

TEST(TreeConstruction, BenzeneIsCutOnceAndClosedByOneExtraConnection) {
  descr::clear_l1();
  const char* names[] = {"C1", "C2", "C3", "C4", "C5", "C6"};
  for (const char* n : names) {
    const int i = descr::add_l1_atom({n, "C", ".", ".", ".", 0, 0, 0});
    r_scratch.l1a_nring(i) = 0;
    for (int k = 1; k <= MAX1BRN; ++k) r_scratch.l1a_lencon(k, i) = 0;
  }
  for (int k = 0; k < 6; ++k) descr::add_l1_bond(names[k], names[(k + 1) % 6], 1.39f);
  ASSERT_EQ(build(), 0);
  EXPECT_EQ(tree_text(), "C1<C6>END C2<.>C3 C3<C2>C4 C4<C3>C5 C5<C4>C6 C6<C5>C1");
  ASSERT_EQ(r_scratch.l1n_nconn, 1);
  EXPECT_EQ(r_scratch.l1n_1atm(1), "C1");
  EXPECT_EQ(r_scratch.l1n_2atm(1), "C2");
  EXPECT_EQ(r_scratch.l1n_type(1), ".");
}

TEST(TreeConstruction, ProlineRingIsNotOpenedAtTheBackboneBond) {
  descr::proline_l1();
  for (int i = 1; i <= r_scratch.l1a_natom; ++i) {
    r_scratch.l1a_back(i) = ".";
    for (int k = 1; k <= MAX1BRN; ++k) r_scratch.l1a_lencon(k, i) = 0;
  }
  ASSERT_EQ(build(), 0);
  ASSERT_EQ(r_scratch.l1n_nconn, 1);
  EXPECT_EQ(r_scratch.l1n_1atm(1), "N");
  EXPECT_EQ(r_scratch.l1n_2atm(1), "CD");
  EXPECT_EQ(tree_text(), "N<CA>. CA<C>CB C<O>CA O<.>C CB<CA>CG CG<CB>CD CD<CG>END");
}

TEST(TreeConstruction, MonomerWithoutBondsIsAChainOfDummies) {
  descr::clear_l1();
  for (const char* n : {"NA", "CL", "K"}) descr::add_l1_atom({n, n, ".", ".", ".", 0, 0, 0});
  ASSERT_EQ(build(), 0);
  EXPECT_EQ(tree_text(), "NA<.>CL CL<NA>K K<CL>END");
  EXPECT_EQ(r_scratch.l1a_type(2), "DUMMY");
  EXPECT_EQ(r_scratch.l1a_type(3), "DUMMY");
  EXPECT_EQ(r_scratch.l1a_istart, 1);
  EXPECT_EQ(r_scratch.l1a_ifinish, 3);
}

TEST(TreeConstruction, IsolatedAtomHangsFromTheLastAtom) {
  comp::load_l1(comp::read("ALA"), "ALA", true);
  const int zn = descr::add_l1_atom({"ZN", "ZN", ".", ".", ".", 9, 9, 9});
  for (int k = 1; k <= MAX1BRN; ++k) r_scratch.l1a_lencon(k, zn) = 0;
  ASSERT_EQ(build(), 0);
  EXPECT_EQ(r_scratch.l1a_back(zn), "CB");
  EXPECT_EQ(r_scratch.l1a_type(zn), "DUMMY");
  EXPECT_EQ(r_scratch.l1a_forw(l1_atom("CB")), "END");
}

TEST(TreeConstruction, BondsThatResolveNoAtomLeaveNoStart) {
  descr::clear_l1();
  descr::add_l1_atom({"C1", "C", ".", ".", ".", 0, 0, 0});
  descr::add_l1_atom({"C2", "C", ".", ".", ".", 0, 0, 0});
  descr::add_l1_bond("X1", "X2", 1.5f);
  int32_t ierr = 0;
  const std::string out = captured([&] { ierr = build(); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(out, "  ERROR: can not create tree structure\n");
}

}  // namespace
