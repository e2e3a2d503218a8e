// Ring perception on real components (fused rings of tryptophan and of a
// purine nucleotide) and on rings drawn by hand.
#include "dictionary/ring_perception.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "component_l1.h"
#include "dictionary/new_bonds.h"
#include "support/capture.h"

namespace {

using comp::l1_atom;

int32_t perceive() {
  int32_t ierr = 0, nringt = -1;
  lib_conn_(0, "    ", ierr);
  ring_(0, 'N', nringt, 1, ierr);
  EXPECT_EQ(ierr, 0);
  return nringt;
}

// Names of the atoms of ring r, sorted.
std::set<std::string> ring_atoms(int r) {
  std::set<std::string> s;
  for (int i = 1; i <= r_scratch.l1a_natom; ++i)
    for (int k = 1; k <= r_scratch.l1a_nring(i); ++k)
      if (r_scratch.l1a_ring_id(k, i) == r) s.insert(std::string(r_scratch.l1a_aname(i).trimmed()));
  return s;
}

TEST(RingPerception, TryptophanHasItsFiveAndSixRingsSharingTwoAtoms) {
  comp::load_l1(comp::read("TRP"), "TRP");
  ASSERT_EQ(perceive(), 2);
  EXPECT_EQ(ring_atoms(1), (std::set<std::string>{"CG", "CD1", "NE1", "CE2", "CD2"}));
  EXPECT_EQ(ring_atoms(2), (std::set<std::string>{"CD2", "CE2", "CZ2", "CH2", "CZ3", "CE3"}));
  EXPECT_EQ(r_scratch.l1a_nring(l1_atom("CD2")), 2);
  EXPECT_EQ(r_scratch.l1a_nring(l1_atom("CE2")), 2);
  EXPECT_EQ(r_scratch.l1a_nring(l1_atom("CB")), 0);
  const int cg = l1_atom("CG");
  EXPECT_EQ(r_scratch.l1a_ring_ord(1, cg), 5);
  EXPECT_EQ(r_scratch.l1a_ring_flat(1, cg), 1);
}

TEST(RingPerception, PurineNucleotideHasThreeRingsAndTheSugarIsNotFlat) {
  comp::load_l1(comp::read("A", true), "A");
  int32_t ierr = 0;
  lib_conn_(0, "    ", ierr);
  define_chir_flag_(0, ierr);  // sugar carbons with four neighbours become candidates
  int32_t nringt = 0;
  ring_(0, 'N', nringt, 1, ierr);
  ASSERT_EQ(nringt, 3);
  int flat = 0, not_flat = 0;
  for (int r = 1; r <= 3; ++r) {
    const std::set<std::string> atoms = ring_atoms(r);
    const int a = l1_atom(atoms.begin()->c_str());
    for (int k = 1; k <= r_scratch.l1a_nring(a); ++k)
      if (r_scratch.l1a_ring_id(k, a) == r)
        (r_scratch.l1a_ring_flat(k, a) == 1 ? flat : not_flat) += 1;
  }
  EXPECT_EQ(flat, 2);
  EXPECT_EQ(not_flat, 1);
  EXPECT_EQ(ring_atoms(1).count("O4*"), 1u);
  EXPECT_EQ(r_scratch.l1a_nring(l1_atom("C4")), 2);
  EXPECT_EQ(r_scratch.l1a_nring(l1_atom("C5")), 2);
}

void ring_of(int n, const char* symb = "C", char cls = 'C') {
  descr::clear_l1();
  char name[16];
  for (int k = 1; k <= n; ++k) {
    std::snprintf(name, sizeof name, "C%d", k);
    const int i = descr::add_l1_atom({name, symb, ".", ".", ".", 0.0f, 0.0f, 0.0f});
    r_scratch.l1a_atype(i) = std::string(1, cls);
    r_scratch.l1a_ichir(i) = 0;
  }
  char next[16];
  for (int k = 1; k <= n; ++k) {
    std::snprintf(name, sizeof name, "C%d", k);
    std::snprintf(next, sizeof next, "C%d", k % n + 1);
    descr::add_l1_bond(name, next, 1.4f);
  }
}

TEST(RingPerception, ClosingBondIsMarkedAndNotFollowedAgain) {
  ring_of(6);
  ASSERT_EQ(perceive(), 1);
  int negative = 0;
  for (int i = 1; i <= 6; ++i)
    for (int k = 1; k <= r_scratch.l1a_ndist(i); ++k)
      if (r_scratch.l1a_conn(k, i) < 0) ++negative;
  EXPECT_EQ(negative, 2);
  EXPECT_EQ(r_scratch.l1a_conn(2, 1), -6);  // C1 lists C2, C6: the bond back to the start
  int32_t ierr = 0, again = -1;
  ring_(0, 'N', again, 1, ierr);
  EXPECT_EQ(again, 0);
}

TEST(RingPerception, OnlyFourToSixAtomRingsCount) {
  const struct {
    const char* label;
    int size;
    int rings;
  } cases[] = {{"three", 3, 0}, {"four", 4, 1}, {"five", 5, 1}, {"six", 6, 1}, {"seven", 7, 0}};
  for (const auto& c : cases) {
    ring_of(c.size);
    EXPECT_EQ(perceive(), c.rings) << c.label;
  }
}

TEST(RingPerception, ThirteenthRingOfAnAtomIsNotRecorded) {
  // M bonded to A1..A12, each pair of neighbours closed by a B atom into a
  // four-membered ring (12 rings), and a thirteenth ring M-A1-C1-D1-A3.
  descr::clear_l1();
  std::vector<std::string> names = {"M"};
  for (const char* p : {"A", "B"})
    for (int k = 1; k <= 12; ++k) names.push_back(p + std::to_string(k));
  names.push_back("C1");
  names.push_back("D1");
  for (const std::string& n : names) {
    const int i = descr::add_l1_atom({n.c_str(), "C", ".", ".", ".", 0, 0, 0});
    r_scratch.l1a_atype(i) = "C";
    r_scratch.l1a_ichir(i) = 0;
  }
  for (int k = 1; k <= 12; ++k) {
    const std::string a = 'A' + std::to_string(k), b = 'B' + std::to_string(k);
    const std::string next = 'A' + std::to_string(k % 12 + 1);
    descr::add_l1_bond("M", a.c_str(), 2.0f);
    descr::add_l1_bond(a.c_str(), b.c_str(), 1.5f);
    descr::add_l1_bond(b.c_str(), next.c_str(), 1.5f);
  }
  descr::add_l1_bond("A1", "C1", 1.5f);
  descr::add_l1_bond("C1", "D1", 1.5f);
  descr::add_l1_bond("D1", "A3", 1.5f);
  int32_t nringt = 0;
  const std::string out = captured([&] { nringt = perceive(); });
  EXPECT_EQ(nringt, 12);
  EXPECT_EQ(r_scratch.l1a_nring(1), 12);
  EXPECT_EQ(out,
            "  WARNING: number of rings of atom M    of new monomer ALA      >    12\n"
            "           Change parameter MAX1BRN in \"lib_com\"\n");
}

TEST(RingPerception, SulphurMakesARingNotFlat) {
  ring_of(5);
  r_scratch.l1a_symb(3) = "S";
  r_scratch.l1a_atype(3) = "P";
  ASSERT_EQ(perceive(), 1);
  EXPECT_EQ(r_scratch.l1a_ring_flat(1, 1), 0);
}

}  // namespace
