// The library tree check on dictionary entries: a library tree kept and
// turned along the backbone, trees built for entries without one (peptide,
// nucleotide, pyranose, ring ligand) and the entries stored back.
#include "dictionary/tree_check.h"

#include <gtest/gtest.h>

#include <string>

#include "component_l1.h"
#include "dict_builder.h"
#include "dictionary/tree_numbering.h"
#include "support/capture.h"

namespace {

using comp::l1_atom;

// Stores L1 as a library entry read in the first pass of the loading.
int store(const char* code) {
  for (int i = 1; i <= r_scratch.l1a_natom; ++i) r_scratch.l1a_iold(i) = r_scratch.l1a_inew(i) = i;
  const int l = descr::store_l1(code);
  r_scratch.lml_pass(l) = 1;
  return l;
}

// A library entry holding the component without a tree, one angle row so
// that the description is not a minimal one.
int component_entry(const char* code, const comp::Component& c) {
  comp::load_l1(c, code);
  descr::add_l1_angle(c.bonds[0].first.c_str(), c.bonds[0].second.c_str(),
                      c.bonds[1].second.c_str(), 109.5f);
  return store(code);
}

// The main chain from the first atom to the last, by forward atoms.
std::string main_chain() {
  std::string s;
  int k = r_scratch.l1a_istart;
  for (int steps = 0; k >= 1 && steps <= r_scratch.l1a_natom; ++steps) {
    if (!s.empty()) s += '-';
    s += std::string(r_scratch.l1a_aname(k).trimmed());
    k = r_scratch.l1a_iforw(k);
  }
  return s;
}

class TreeCheck : public testing::Test {
 protected:
  void SetUp() override { descr::clear_dictionary(); }
};

TEST_F(TreeCheck, LibraryTreeRunningFromCarbonylIsTurnedAndNotStored) {
  descr::alanine_l1();
  r_scratch.l1a_natom = 5;  // no OXT
  r_scratch.l1b_nbond = 4;
  const char* back[] = {"CA", "C", ".", "C", "CA"};
  const char* forw[] = {"END", "N", "CA", ".", "."};
  for (int i = 1; i <= 5; ++i) {
    r_scratch.l1a_back(i) = back[i - 1];
    r_scratch.l1a_forw(i) = forw[i - 1];
  }
  descr::add_l1_angle("N", "CA", "C", 111.2f);
  const int l = store("ALA");
  int32_t ierr = -1;
  check_rlib_tree_(0, 'N', l, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(main_chain(), "N-CA-C");
  EXPECT_EQ(r_scratch.lml_nmon, 1);
  EXPECT_EQ(r_scratch.lml_fuse(l), "Y");
  EXPECT_EQ(r_scratch.lml_natm(l), 5);
}

TEST_F(TreeCheck, PeptideWithoutTreeGetsOneAlongItsBackboneAndIsStored) {
  const int l = component_entry("ALA", comp::read("ALA"));
  int32_t ierr = -1;
  check_rlib_tree_(0, 'N', l, ierr);
  ASSERT_EQ(ierr, 0);
  EXPECT_EQ(main_chain(), "N-CA-C");
  ASSERT_EQ(r_scratch.lml_nmon, 2);
  EXPECT_EQ(r_scratch.lml_mname(1), "???");
  EXPECT_EQ(r_scratch.lml_mname(2), "ALA");
  // The first entry of the list is a library entry like any other.
  EXPECT_EQ(r_scratch.lml_fuse(2), "Y");
}

TEST_F(TreeCheck, NucleotideRunsFromPhosphorusToThreePrimeOxygen) {
  const int l = component_entry("A", comp::read("A", true));
  int32_t ierr = -1;
  check_rlib_tree_(0, 'N', l, ierr);
  ASSERT_EQ(ierr, 0);
  EXPECT_EQ(r_scratch.l1a_istart, l1_atom("P"));
  EXPECT_EQ(r_scratch.l1a_ifinish, l1_atom("O3*"));
  EXPECT_EQ(main_chain(), "P-O5*-C5*-C4*-C3*-O3*");
}

TEST_F(TreeCheck, PyranoseRunsFromC1ToO5) {
  const int l = component_entry("NAG", comp::read("NAG"));
  int32_t ierr = -1;
  check_rlib_tree_(0, 'N', l, ierr);
  ASSERT_EQ(ierr, 0);
  EXPECT_EQ(main_chain(), "C1-C2-C3-C4-C5-O5");
  ASSERT_EQ(r_scratch.l1n_nconn, 1);  // the ring closes on one bond
}

TEST_F(TreeCheck, RingLigandWithoutTreeGetsAWalkableTree) {
  const int l = component_entry("HSX", comp::read("HIS"));
  int32_t ierr = -1;
  check_rlib_tree_(0, 'N', l, ierr);
  ASSERT_EQ(ierr, 0);
  EXPECT_EQ(r_scratch.l1n_nconn, 1);
  // Element types stand in for the energy library.
  int t = 0;
  for (const char* name : {"C", "N", "O", "H"}) r_scratch.lea_aname(++t) = name;
  r_scratch.lea_natom = t;
  for (int i = 1; i <= r_scratch.l1a_natom; ++i) r_scratch.l1a_chem(i) = r_scratch.l1a_symb(i);
  int32_t inum = -1;
  const std::string out = captured([&] { set_num_(0, "HSX", "", inum); });
  EXPECT_EQ(inum, 0);
  EXPECT_EQ(out.find("WARNING"), std::string::npos) << out;
  std::vector<bool> seen(r_scratch.l1a_natom + 1, false);
  for (int i = 1; i <= r_scratch.l1a_natom; ++i) {
    const int m = r_scratch.l1a_inew(i);
    ASSERT_TRUE(m >= 1 && m <= r_scratch.l1a_natom && !seen[m]) << "atom " << i;
    seen[m] = true;
    EXPECT_EQ(r_scratch.l1a_iold(m), i);
  }
  r_scratch.lea_natom = 0;
}

TEST_F(TreeCheck, MonomerInTwoPiecesIsWarnedAndTheSecondPieceHung) {
  comp::Component c = comp::read("ALA");
  c.atoms.push_back({"ZN", "ZN", 9.0f, 9.0f, 9.0f});
  const int l = component_entry("ALZ", c);
  int32_t ierr = -1;
  const std::string out = captured([&] { check_rlib_tree_(0, 'N', l, ierr); });
  EXPECT_EQ(ierr, 0);
  EXPECT_NE(out.find(" WARNING: monomer:ALZ      not completely connected."), std::string::npos);
  EXPECT_EQ(r_scratch.l1a_type(l1_atom("ZN")), "DUMMY");
}

TEST(TreeDirection, OnlyTheLastAtomMovesWhenNitrogenIsAbsent) {
  descr::alanine_l1();
  r_scratch.l1a_aname(1) = "NX";
  r_scratch.l1a_back(2) = "NX";
  r_scratch.l1a_forw(3) = ".";
  r_scratch.l1a_forw(6) = "END";
  int32_t ierr = 0;
  set_num_(99, "ALA", "", ierr);
  ASSERT_EQ(r_scratch.l1a_ifinish, 6);
  check_tree_direction_(0, 'N', 3, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(r_scratch.l1a_istart, 1);
  EXPECT_EQ(r_scratch.l1a_ifinish, 3);
}

}  // namespace
